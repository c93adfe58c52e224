#include "Model.h"

namespace kov::import {

QString SourceError::text() const
{
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
    return QStringLiteral("%1: %2").arg(file, message);
}

}  // namespace kov::import
