#include "JSON.h"

#include "json/JsonReader.h"

#include "platform/RuntimeError.h"
#include "platform/StandardErrors.h"

#include <new>

namespace JSON {

namespace {
QString &errorText()
{
    static QString text;
    return text;
}

QString &trailingText()
{
    static QString text;
    return text;
}
} // namespace

namespace detail {

platform::ScriptValue guardedRead(const std::function<platform::ScriptValue(QString &errors)> &read)
{
    QString &errors = errorText();
    errors.clear();
    // A read never reports success without an object: what escapes it is named.
    try {
        return read(errors);
    } catch (const platform::RuntimeError &e) {
        errors += e.Description() + QStringLiteral("\r\n");
    } catch (const std::bad_alloc &) {
        errors += platform::errors::description(platform::errors::OutOfMemory) + QStringLiteral("\r\n");
    }
    return {};
}

} // namespace detail

platform::ScriptValue Analizar(const QString &text)
{
    trailingText().clear();
    return detail::guardedRead([&text](QString &errors) {
        JsonReader reader(text, errors);
        platform::ScriptValue root = reader.read();
        trailingText() = reader.trailing();
        return root;
    });
}

QString ErroresParser() { return errorText(); }

QString TrailingText() { return trailingText(); }

} // namespace JSON
