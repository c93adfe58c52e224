#include "db/TextUtils.h"

#include <algorithm>
#include <limits>

namespace kov {
namespace {

constexpr std::size_t kShortMax = 255;

std::string cut(std::string s) {
  if (s.size() > kShortMax) s.resize(kShortMax);
  return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string cleanSearchText(const std::string& text, bool removeTags) {
  const std::size_t first = text.find_first_not_of(' ');
  std::string out;
  if (first == std::string::npos) return out;
  char previous = '\0';
  bool inTag = false;
  for (std::size_t i = first; i < text.size(); ++i) {
    const char ch = text[i] == ',' ? ' ' : text[i];
    bool drop = (ch == ' ' || ch == '*') && previous == ch;
    if (removeTags) {
      if (ch == '<') inTag = true;
      if (inTag) drop = true;
      if (ch == '>') inTag = false;
    }
    previous = ch;
    if (!drop) out.push_back(ch);
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return cut(std::move(out));
}

std::string versionText(std::int32_t majorVersion, std::int32_t minorVersion,
                        std::int32_t release, std::int32_t build) {
  std::string s = std::to_string(majorVersion) + "." + std::to_string(minorVersion);
  if (build != 0) {
    s += "." + std::to_string(release) + "." + std::to_string(build);
  } else if (release > 0) {
    s += "." + std::to_string(release);
  }
  return s;
}

std::string removeTags(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  bool inTag = false;
  for (char ch : text) {
    if (ch == '<') {
      inTag = true;
    } else if (ch == '>') {
      inTag = false;
    } else if (!inTag) {
      out.push_back(ch);
    }
  }
  return out;
}

QString dropBlanksAfterTags(const QString& text) {
  QString out;
  out.reserve(text.size());
  bool skipping = true;
  for (QChar ch : text) {
    if (skipping && (ch == u' ' || ch == u'\t')) continue;
    skipping = ch == u'>';
    out.append(ch);
  }
  return out;
}

std::string markItalic(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (ch == '<') out += "<i>";
    else if (ch == '>') out += "</i>";
    else out.push_back(ch);
    if (out.size() >= kShortMax) break;
  }
  return cut(std::move(out));
}

std::string trimBlanks(const std::string& text) {
  if (text.empty()) return text;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return " ";
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string addDefaultExtension(const std::string& name, const std::string& extension) {
  if (name.find('.') != std::string::npos) return name;
  return name + "." + extension;
}

std::string nameBeforeDot(const std::string& text) {
  const std::size_t dot = text.find('.');
  return dot == std::string::npos ? std::string() : text.substr(0, dot);
}

std::string withTrailingSlash(const std::string& path) {
  if (path.empty() || path.back() == '/') return path;
  return path + '/';
}

std::string innerText(const std::string& text) {
  if (text.size() < 3) return {};
  return cut(text.substr(1, text.size() - 2));
}

std::optional<BracketName> bracketName(const std::string& entry) {
  const std::size_t open = entry.find('[');
  if (open == std::string::npos) return std::nullopt;
  const std::size_t dot = entry.find('.', open + 1);
  if (dot == std::string::npos) return std::nullopt;
  return BracketName{entry.substr(0, open), entry.substr(open + 1, dot - open - 1)};
}

std::string removeAmpersands(const std::string& caption) {
  std::string out = caption;
  out.erase(std::remove(out.begin(), out.end(), '&'), out.end());
  return out;
}

int leadingNumber(const std::string& text) {
  if (text.empty() || !isDigit(text.front())) return 1;
  long long value = 0;
  for (std::size_t i = 0; i < text.size() && isDigit(text[i]); ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
  }
  return static_cast<int>(value);
}

int textToNumber(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';

  // Digits up to the first that is not one or that would overflow.
  const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                   : std::numeric_limits<int>::max();
  long long value = 0;
  bool fits = true;
  std::size_t j = i;
  for (; j < text.size() && isDigit(text[j]); ++j) {
    const long long next = value * 10 + (text[j] - '0');
    if (next > limit) {
      fits = false;
      break;
    }
    value = next;
  }
  if (fits && j == text.size() && j > i) return static_cast<int>(negative ? -value : value);
  // Not a whole integer: the digits read, without the sign, kept within int.
  return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max()));
}

std::string toLatin1Text(const QString& text) {
  std::string out;
  out.reserve(std::size_t(text.size()));
  for (QChar c : text) out.push_back(c.unicode() < 256 ? char(c.unicode()) : '?');
  return out;
}

}  // namespace kov
