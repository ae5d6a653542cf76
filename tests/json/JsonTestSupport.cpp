#include "JsonTestSupport.h"

#include "platform/Collection.h"
#include "platform/Dictionary.h"
#include "platform/RuntimeError.h"

using platform::ScriptValue;

namespace {

QString valueText(const ScriptValue &v)
{
    switch (v.kind()) {
    case ScriptValue::Kind::Empty:
        return QStringLiteral("empty");
    case ScriptValue::Kind::Null:
        return QStringLiteral("null");
    case ScriptValue::Kind::Bool:
        return v == ScriptValue(true) ? QStringLiteral("true") : QStringLiteral("false");
    case ScriptValue::Kind::Text:
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    case ScriptValue::Kind::Decimal:
        return v.toString().replace(QLatin1Char(','), QLatin1Char('.'));
    case ScriptValue::Kind::Dictionary: {
        const auto d = v.dictionary();
        QStringList members;
        for (int i = 0; i < d->Count(); ++i)
            members << d->keyAt(i) + QLatin1Char(':') + valueText(d->itemAt(i));
        return QLatin1Char('{') + members.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    case ScriptValue::Kind::Collection: {
        QStringList items;
        for (const ScriptValue &item : *v.collection())
            items << valueText(item);
        return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    }
    return QString();
}

} // namespace

QString treeText(const ScriptValue &root) { return root.isEmpty() ? QStringLiteral("none") : valueText(root); }

int nestingDepth(const ScriptValue &root)
{
    int depth = 0;
    ScriptValue v = root;
    while (v.isObject()) {
        ++depth;
        if (const auto d = v.dictionary())
            v = d->Count() ? d->itemAt(d->Count() - 1) : ScriptValue();
        else
            v = v.collection()->Count() ? v.collection()->Item(v.collection()->Count()) : ScriptValue();
    }
    return depth;
}

long raisedNumber(const std::function<void()> &f)
{
    try {
        f();
    } catch (const platform::RuntimeError &e) {
        return e.Number();
    }
    return 0;
}
