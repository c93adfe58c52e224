#pragma once
#include <stdexcept>
#include <string>

namespace kov {

// A fixed table of the search (query columns, pattern words, word length, query text, rows)
// would overflow. It ends the current search operation; the message loop reports it and the
// program goes on.
class SearchRangeError : public std::range_error {
 public:
  using std::range_error::range_error;
};

}  // namespace kov
