#include "texts/NoteText.h"

#include <QStringDecoder>

namespace kov {

QString decodeNoteFile(const QByteArray& data) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(data);
  if (utf8.hasError()) return QString::fromLatin1(data);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

QStringList splitNoteLines(const QString& text) {
  QStringList lines;
  QString cur;
  bool pending = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
      lines << cur;
      cur.clear();
      pending = false;
    } else {
      cur += c;
      pending = true;
    }
  }
  if (pending) lines << cur;
  return lines;
}

std::vector<TNoteRun> noteTextToRuns(const QString& stored) {
  std::vector<TNoteRun> runs;
  TNoteRun cur;
  auto flush = [&] {
    if (!cur.text.isEmpty()) runs.push_back(cur);
    cur.text.clear();
  };
  for (qsizetype i = 0; i < stored.size(); ++i) {
    const char16_t c = stored[i].unicode();
    if (c == NoteBold || c == NoteItalic || c == NoteSuperscript) {
      flush();
      if (c == NoteBold) cur.bold = !cur.bold;
      if (c == NoteItalic) cur.italic = !cur.italic;
      if (c == NoteSuperscript) cur.superscript = !cur.superscript;
    } else if (c == u'\r') {
      if (i + 1 < stored.size() && stored[i + 1] == QLatin1Char('\n')) ++i;
      cur.text += QLatin1Char('\n');
    } else {
      cur.text += QChar(c);
    }
  }
  flush();
  return runs;
}

QString runsToNoteText(const std::vector<TNoteRun>& runs) {
  QString out;
  bool bold = false, italic = false, sup = false;
  auto to = [&](bool b, bool i, bool s) {
    if (b != bold) out += QChar(NoteBold);
    if (i != italic) out += QChar(NoteItalic);
    if (s != sup) out += QChar(NoteSuperscript);
    bold = b;
    italic = i;
    sup = s;
  };
  for (const TNoteRun& r : runs) {
    if (r.text.isEmpty()) continue;
    to(r.bold, r.italic, r.superscript);
    for (QChar c : r.text) {
      if (c == QLatin1Char('\n'))
        out += QStringLiteral("\r\n");
      else if (c != QLatin1Char('\r'))
        out += c;
    }
  }
  return out;
}

}  // namespace kov
