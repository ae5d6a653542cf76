#include "cJSONScript.h"

#include "json/JSON.h"
#include "json/cStringBuilder.h"

#include "platform/Collection.h"
#include "platform/Dictionary.h"
#include "platform/StandardErrors.h"
#include "platform/ui/Operator.h"

#include <QStringList>

using platform::ScriptValue;
namespace errors = platform::errors;

namespace {

constexpr std::int32_t kMaxDepth = 40;

// Raises the depth for one call and lowers it however the call ends.
class DepthGuard {
public:
    explicit DepthGuard(std::int32_t &depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard &) = delete;
    DepthGuard &operator=(const DepthGuard &) = delete;

private:
    std::int32_t &m_depth;
};

// A member of a command's argument object (Empty when it has no such member).
ScriptValue argument(const ScriptValue &args, const QString &name)
{
    if (const auto dictionary = args.dictionary())
        return dictionary->Item(name);
    if (args.collection())
        throw errors::error(errors::InvalidArgument); // an array has no named members
    throw errors::error(errors::ObjectNotSet);        // the command was given a text
}

ScriptValue argument(const ScriptValue &args, const char *name) { return argument(args, QString::fromLatin1(name)); }

// The texts of an unknown command's arguments.
QString placeholderText(const ScriptValue &value)
{
    if (value.kind() == ScriptValue::Kind::Text)
        return value.toString();
    const auto dictionary = value.dictionary();
    if (!dictionary)
        return QString();
    QStringList texts;
    for (int i = 0; i < dictionary->Count(); ++i)
        texts << dictionary->itemAt(i).toString();
    return texts.join(QLatin1Char(','));
}

bool compareHolds(const QString &type, const QString &value1, const QString &value2)
{
    if (type == QLatin1String("eq"))
        return QString::compare(value1, value2, Qt::CaseInsensitive) == 0;
    // The others compare character codes, so the text 10 sorts before the text 9.
    const int order = QString::compare(value1, value2, Qt::CaseSensitive);
    if (type == QLatin1String("gt"))
        return order > 0;
    if (type == QLatin1String("lt"))
        return order < 0;
    if (type == QLatin1String("gte"))
        return order >= 0;
    if (type == QLatin1String("lte"))
        return order <= 0;
    return false;
}

} // namespace

QString cJSONScript::Eval(const QString &sJSON)
{
    const ScriptValue root = JSON::Analizar(sJSON);
    const QString errorText = JSON::ErroresParser();
    if (!errorText.isEmpty() || !root.isObject()) {
        platform::msgBox(errorText, platform::vbExclamation, QStringLiteral("Parser Error"));
        return QString();
    }
    if (root.dictionary())
        return ExecCommand(root);
    cStringBuilder output;
    for (const ScriptValue &item : *root.collection())
        output.Append(ExecCommand(item));
    return output.toString();
}

QString cJSONScript::ExecCommand(const ScriptValue &obj)
{
    if (m_depth > kMaxDepth)
        return QStringLiteral("ERROR: Nesting level exceeded.");
    const DepthGuard guard(m_depth);
    switch (obj.kind()) {
    case ScriptValue::Kind::Null:
        return QStringLiteral("null");
    case ScriptValue::Kind::Text:
        return obj.toString();
    case ScriptValue::Kind::Bool:
        return obj == ScriptValue(true) ? QStringLiteral("true") : QStringLiteral("false");
    case ScriptValue::Kind::Dictionary:
        return runCommands(*obj.dictionary());
    case ScriptValue::Kind::Collection: {
        cStringBuilder output;
        for (const ScriptValue &item : *obj.collection())
            output.Append(ExecCommand(item));
        return output.toString();
    }
    case ScriptValue::Kind::Decimal:
    case ScriptValue::Kind::Empty:
        break;
    }
    return obj.toString().replace(QLatin1Char(','), QLatin1Char('.'));
}

QString cJSONScript::runCommands(const platform::Dictionary &commands)
{
    cStringBuilder output;
    for (int i = 0; i < commands.Count(); ++i)
        output.Append(runCommand(commands.keyAt(i), commands.itemAt(i)));
    return output.toString();
}

QString cJSONScript::runCommand(const QString &name, const ScriptValue &value)
{
    // A text is the command's parameter; anything else must be its argument object.
    QString parameter;
    ScriptValue args;
    if (value.kind() == ScriptValue::Kind::Text)
        parameter = value.toString();
    else if (value.isObject())
        args = value;
    else
        throw errors::error(errors::ObjectRequired);

    const QString command = name.toLower();
    if (command == QLatin1String("alert")) {
        platform::msgBox(ExecCommand(argument(args, "message")), platform::vbInformation,
                         ExecCommand(argument(args, "title")));
        return QString();
    }
    if (command == QLatin1String("input"))
        return platform::inputBox(ExecCommand(argument(args, "prompt")), ExecCommand(argument(args, "title")),
                                  ExecCommand(argument(args, "default")));
    if (command == QLatin1String("switch"))
        return runSwitch(args);
    if (command == QLatin1String("set")) {
        const QString variable = argument(args, "name").toString();
        variables().setItem(variable, ScriptValue(ExecCommand(argument(args, "value"))));
        return QString();
    }
    if (command == QLatin1String("get"))
        return runGet(args);
    if (command == QLatin1String("if"))
        return runIf(args);
    if (command == QLatin1String("return"))
        return parameter;
    return QStringLiteral("<%") + name.toUpper() + QLatin1Char('(') + placeholderText(value) + QStringLiteral(")%>");
}

QString cJSONScript::runSwitch(const ScriptValue &args)
{
    QString result = ExecCommand(argument(args, "default"));
    const QString wanted = ExecCommand(argument(args, "case")).toLower();
    const auto items = argument(args, "items").collection();
    if (!items)
        throw errors::error(errors::ObjectRequired);
    for (const ScriptValue &item : *items) {
        const auto choice = item.dictionary();
        if (!choice)
            throw errors::error(errors::ObjectRequired);
        const ScriptValue itemCase = choice->Item(QStringLiteral("case"));
        if (!itemCase.isNull() && itemCase.toString().toLower() == wanted) {
            result = ExecCommand(choice->Item(QStringLiteral("return")));
            break;
        }
    }
    return result;
}

QString cJSONScript::runIf(const ScriptValue &args)
{
    const QString value1 = ExecCommand(argument(args, "value1"));
    const QString value2 = ExecCommand(argument(args, "value2"));
    const QString type = argument(args, "type").toString().toLower();
    return ExecCommand(argument(args, compareHolds(type, value1, value2) ? "true" : "false"));
}

QString cJSONScript::runGet(const ScriptValue &args)
{
    const QString stored = ExecCommand(variables().Item(argument(args, "name").toString()));
    return stored.isEmpty() ? ExecCommand(argument(args, "default")) : stored;
}

platform::Dictionary &cJSONScript::variables()
{
    if (!m_variables)
        m_variables = std::make_shared<platform::Dictionary>();
    return *m_variables;
}
