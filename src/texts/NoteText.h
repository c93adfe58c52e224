#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kov {

// Note, memo and log files are UTF-8; a file that is not valid UTF-8 is an older 8-bit
// file and is read as Latin-1.
QString decodeNoteFile(const QByteArray& data);
// Lines of a text split at CR LF, LF or a lone CR. An empty text has no lines; a final
// line break adds no empty line.
QStringList splitNoteLines(const QString& text);

// Control codes of stored note text; each switches its style on or off.
inline constexpr char16_t NoteBold = 0x02;
inline constexpr char16_t NoteItalic = 0x19;
inline constexpr char16_t NoteSuperscript = 0x14;

// A piece of formatted note text. Line breaks inside `text` are "\n".
struct TNoteRun {
  QString text;
  bool bold = false;
  bool italic = false;
  bool superscript = false;
  bool underline = false;  // offered by the editor, not stored

  bool operator==(const TNoteRun&) const = default;
};

// Stored note text (lines separated by CR LF or CR) to runs of equal style.
std::vector<TNoteRun> noteTextToRuns(const QString& stored);
// Runs to stored note text: a control code wherever bold, italic or superscript
// changes (a style still on at the end stays open, as the editor's text leaves it),
// line breaks as CR LF. Underline is dropped.
QString runsToNoteText(const std::vector<TNoteRun>& runs);

}  // namespace kov
