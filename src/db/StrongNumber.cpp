#include "db/StrongNumber.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kov {
namespace {

constexpr int kMaxStrong = 9999;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits only, at least one, fitting a signed 32-bit integer.
bool parseDigits(const std::string& s, std::size_t from, std::size_t to, std::int64_t& value) {
  if (from >= to) return false;
  value = 0;
  for (std::size_t i = from; i < to; ++i) {
    if (!isDigit(s[i])) return false;
    value = value * 10 + (s[i] - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return false;
  }
  return true;
}

bool isSeparator(char c) { return c == '\n' || c == '\r' || c == ' ' || c == '/'; }

}  // namespace

std::string strongLabel(int number, bool hebrewMainText) {
  return (hebrewMainText ? "H" : "G") + std::to_string(number);
}

int stepStrongNumber(std::string& text, int delta) {
  auto inRun = [](char c) { return isDigit(c) || c == 'G' || c == 'H'; };
  const auto begin = std::find_if(text.begin(), text.end(), inRun);
  const auto end = std::find_if_not(begin, text.end(), inRun);
  if (end - begin < 2 || (*begin != 'G' && *begin != 'H')) return 0;

  const auto from = static_cast<std::size_t>(begin - text.begin()) + 1;
  const auto to = static_cast<std::size_t>(end - text.begin());
  std::int64_t n = 0;
  if (!parseDigits(text, from, to, n)) return 0;
  n = std::clamp<std::int64_t>(n + delta, 0, kMaxStrong);
  text = std::string(1, *begin) + std::to_string(n);
  return static_cast<int>(n);
}

int nextStrongNumber(const std::string& text, int& cursor, char& letter) {
  // Work 0-based inside; the caller's cursor is 1-based.
  std::size_t pos = cursor < 1 ? 0 : static_cast<std::size_t>(cursor) - 1;
  const std::size_t len = text.size();
  int result = -1;
  while (pos < len) {
    while (pos < len && isSeparator(text[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < len && !isSeparator(text[pos])) ++pos;

    std::size_t digit = start;
    while (digit < pos && !isDigit(text[digit])) ++digit;
    if (digit == pos) continue;
    std::size_t digitsEnd = digit;
    while (digitsEnd < pos && isDigit(text[digitsEnd])) ++digitsEnd;
    letter = (digit > start && (text[digit - 1] == 'H' || text[digit - 1] == 'h')) ? 'H' : 'G';

    std::int64_t value = 0;
    if (parseDigits(text, digit, digitsEnd, value)) {
      result = static_cast<int>(value);
      break;
    }
  }
  cursor = static_cast<int>(std::min<std::size_t>(pos, std::numeric_limits<int>::max() - 1)) + 1;
  return result;
}

}  // namespace kov
