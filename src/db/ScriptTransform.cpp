#include "db/ScriptTransform.h"

#include <algorithm>
#include <string_view>

namespace kov {
namespace {

constexpr std::size_t kShortMax = 255;

// Transliteration of one letter, or nullptr when the letter is shown as it is.
const char* translitOf(char16_t ch, bool hebrew) {
  if (hebrew) {
    switch (ch) {
      case u'K': case u'k': return "k";
      case u'M': case u'm': return "m";
      case u'N': case u'n': return "n";
      case u'P': case u'p': return "ph";
      case u'Y': case u'y': return "tz";
      case u'h': return "th";
      case u'w': return "sh";
      case u'x': return "ch";
      default: return nullptr;
    }
  }
  switch (ch) {
    case u'c': return "ch";
    case u'f': return "ph";
    case u'h': return "E";
    case u'q': return "th";
    case u'w': return "O";
    case u'y': return "ps";
    default: return nullptr;
  }
}

char16_t unitOf(char ch) { return static_cast<unsigned char>(ch); }
char16_t unitOf(char16_t ch) { return ch; }

// Works on code units so the 8-bit and 16-bit forms share one definition.
template <typename CharT>
std::basic_string<CharT> applyImpl(std::basic_string_view<CharT> in, const ScriptOptions& o) {
  std::basic_string<CharT> out;
  if (o.translit) {
    // Built from the input; the final-sigma step does not apply to a transliteration.
    out.reserve(in.size() + in.size() / 2);
    for (CharT ch : in) {
      if (const char* t = translitOf(unitOf(ch), o.hebrew)) {
        for (; *t; ++t) out.push_back(static_cast<CharT>(*t));
      } else {
        out.push_back(ch);
      }
    }
    return out;
  }
  out.assign(in);
  if (!o.hebrew && o.modernGreek && out.size() >= 2) {
    // The last letter outside tags decides; scanning backward '>' opens a tag and '<' closes it.
    bool inTag = false;
    for (std::size_t i = out.size(); i-- > 0;) {
      const CharT ch = out[i];
      if (ch == CharT('>')) { inTag = true; continue; }
      if (ch == CharT('<')) { inTag = false; continue; }
      if (inTag) continue;
      if (ch == CharT('s')) out[i] = CharT('V');
      break;
    }
  }
  return out;
}

template <typename CharT>
std::basic_string<CharT> flipImpl(std::basic_string_view<CharT> in) {
  std::basic_string<CharT> out(in);
  if (out.empty() || (out.front() >= CharT('0') && out.front() <= CharT('9'))) return out;
  std::reverse(out.begin(), out.end());
  if constexpr (sizeof(CharT) == 2) {
    // A character outside the basic plane must stay one character: restore its pair order.
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
      if (out[i] >= 0xDC00 && out[i] <= 0xDFFF && out[i + 1] >= 0xD800 && out[i + 1] <= 0xDBFF) {
        std::swap(out[i], out[i + 1]);
        ++i;
      }
    }
  }
  return out;
}

std::u16string_view view16(const QString& s) {
  return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

QString fromU16(const std::u16string& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::string cut(std::string s) {
  if (s.size() > kShortMax) s.resize(kShortMax);
  return s;
}

}  // namespace

std::string applyScriptOptions(const std::string& text, const ScriptOptions& options) {
  return cut(applyImpl<char>(text, options));
}

QString applyScriptOptions(const QString& text, const ScriptOptions& options) {
  return fromU16(applyImpl<char16_t>(view16(text), options));
}

std::string undoScriptOptions(const std::string& text, const ScriptOptions& options) {
  std::string s = text;
  if (!options.hebrew && options.modernGreek && !s.empty() && s.back() == 'V') s.back() = 's';
  if (!options.translit) return cut(std::move(s));

  struct Group { const char* from; char to; };
  static constexpr Group kGreek[] = {{"th", 'q'}, {"ph", 'f'}, {"ps", 'y'}, {"ch", 'c'}};
  static constexpr Group kHebrew[] = {
      {"ch", 'x'}, {"ph", 'p'}, {"tz", 'y'}, {"sh", 'w'}, {"th", 'h'}};
  const Group* groups = options.hebrew ? kHebrew : kGreek;
  const std::size_t groupCount = options.hebrew ? std::size(kHebrew) : std::size(kGreek);

  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    bool matched = false;
    if (i + 1 < s.size()) {
      for (std::size_t g = 0; g < groupCount; ++g) {
        if (s[i] == groups[g].from[0] && s[i + 1] == groups[g].from[1]) {
          out.push_back(groups[g].to);
          i += 2;
          matched = true;
          break;
        }
      }
    }
    if (matched) continue;
    char ch = s[i++];
    if (!options.hebrew) {
      if (ch == 'E') ch = 'h';
      else if (ch == 'O') ch = 'w';
    }
    out.push_back(ch);
  }
  return cut(std::move(out));
}

std::string flipWord(const std::string& text) { return flipImpl<char>(text); }

QString flipWord(const QString& text) { return fromU16(flipImpl<char16_t>(view16(text))); }

}  // namespace kov
