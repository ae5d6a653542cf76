#include "Estado.h"

#include "platform/Logger.h"

#include <QStringList>

namespace platform::suite {

void LogEstado::Mostrar(const QString &titulo, int)
{
    m_titulo = titulo;
    logger().info(QStringLiteral("[%1]").arg(titulo));
}

void LogEstado::Actualizar(short &, const QString &linea1, const QString &linea2, const QString &linea3)
{
    QStringList lines;
    for (const QString &line : {linea1, linea2, linea3}) {
        if (!line.isEmpty())
            lines << line;
    }
    logger().info(QStringLiteral("[%1] %2").arg(m_titulo, lines.join(QStringLiteral(" - "))));
}

void LogEstado::Cerrar() { m_titulo.clear(); }

namespace {
std::unique_ptr<Estado> &instance()
{
    static std::unique_ptr<Estado> object;
    return object;
}
std::function<std::unique_ptr<Estado>()> &factory()
{
    static std::function<std::unique_ptr<Estado>()> make;
    return make;
}
} // namespace

Estado &gEstado()
{
    if (!instance())
        instance() = factory() ? factory()() : std::make_unique<LogEstado>();
    return *instance();
}

void setEstadoFactory(std::function<std::unique_ptr<Estado>()> make)
{
    factory() = std::move(make);
    instance().reset();
}

void releaseEstado() { instance().reset(); }

} // namespace platform::suite
