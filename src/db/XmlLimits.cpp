#include "db/XmlLimits.h"

#include <QXmlStreamReader>

namespace kov {

bool xmlNestedTooDeep(const QByteArray& xml) {
  QXmlStreamReader reader(xml);
  int depth = 0;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement && ++depth > kMaxXmlDepth) return true;
    if (token == QXmlStreamReader::EndElement) --depth;
  }
  return false;
}

}  // namespace kov
