#include "Lib_ClsCons3.h"

#include "platform/Logger.h"
#include "platform/RuntimeError.h"

#include <exception>
#include <memory>

namespace {
Lib_ClsCons3::Browser &browser()
{
    static Lib_ClsCons3::Browser installed;
    return installed;
}
} // namespace

void Lib_ClsCons3::setBrowser(Browser installed) { browser() = std::move(installed); }

void Lib_ClsCons3::ConsultaSearch(const QString &sql, const QString &condicion)
{
    ValorDevuelto.clear();
    if (!browser())
        return;
    try {
        ValorDevuelto = browser()(*this, sql, condicion);
    } catch (const platform::RuntimeError &error) {
        platform::logger().error(
            QStringLiteral("ConsultaSearch: (%1) %2").arg(error.Number()).arg(error.Description()));
        ValorDevuelto.clear();
    }
}

Lib_ClsCons3 &gConsulta()
{
    static std::unique_ptr<Lib_ClsCons3> object = std::make_unique<Lib_ClsCons3>();
    return *object;
}
