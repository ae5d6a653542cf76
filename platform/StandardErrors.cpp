#include "StandardErrors.h"

namespace platform::errors {

QString description(Number number)
{
    switch (number) {
    case InvalidArgument:
        return QStringLiteral("Invalid procedure call or argument");
    case Overflow:
        return QStringLiteral("Overflow");
    case OutOfMemory:
        return QStringLiteral("Out of memory");
    case SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case TypeMismatch:
        return QStringLiteral("Type mismatch");
    case ObjectNotSet:
        return QStringLiteral("Object variable or With block variable not set");
    case ObjectRequired:
        return QStringLiteral("Object required");
    case DuplicateKey:
        return QStringLiteral("This key is already associated with an element of this collection");
    }
    return QString();
}

RuntimeError error(Number number) { return RuntimeError(number, description(number)); }

} // namespace platform::errors
