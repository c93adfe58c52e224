#pragma once
#include <QByteArray>

namespace kov {

// The document tree reader slows down with the square of the nesting depth, so a hostile
// header could hang a load; the program's own headers nest a few levels.
constexpr int kMaxXmlDepth = 256;

// Whether elements in `xml` nest deeper than kMaxXmlDepth (checked with the streaming reader).
bool xmlNestedTooDeep(const QByteArray& xml);

}  // namespace kov
