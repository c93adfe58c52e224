#pragma once
#include <stdexcept>
#include <string>

namespace kov {

// A fixed table of the display (font slots, word list, hit records) would overflow. It ends the
// current drawing operation; the message loop reports it and the program goes on.
class DisplayRangeError : public std::out_of_range {
 public:
  explicit DisplayRangeError(const std::string& what) : std::out_of_range(what) {}
};

}  // namespace kov
