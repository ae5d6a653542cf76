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
    return detail::guardedRead([&text](QString &errors) { return JsonReader(text, errors).read(); });
}

QString ErroresParser() { return errorText(); }

} // namespace JSON
