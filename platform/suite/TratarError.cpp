#include "TratarError.h"

#include "platform/Logger.h"
#include "platform/ui/Operator.h"

namespace platform::suite {

namespace {
ErrorHandler &handler()
{
    static ErrorHandler installed;
    return installed;
}

int defaultTreatment(const RuntimeError &error, const QString &mensaje, const QString &rutina)
{
    if (error.Number() == 0)
        return 0;
    QString text =
        QStringLiteral("Ha ocurrido el Siguiente Error (%1) %2").arg(error.Number()).arg(error.Description().trimmed());
    if (!mensaje.trimmed().isEmpty())
        text = mensaje.trimmed() + QStringLiteral("\r\n") + text;
    logger().error(QStringLiteral("%1: %2").arg(rutina, text));
    return msgBox(text, vbAbortRetryIgnore | vbCritical, error.Source());
}
} // namespace

int TratarError(const RuntimeError &error, const QString &mensaje, const QString &rutina)
{
    return handler() ? handler()(error, mensaje, rutina) : defaultTreatment(error, mensaje, rutina);
}

void setErrorHandler(ErrorHandler installed) { handler() = std::move(installed); }

} // namespace platform::suite
