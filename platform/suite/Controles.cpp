#include "Controles.h"

#include <memory>

namespace platform::suite {

int Controles::IndiceCampo(const QString &campo, const QStringList &camposDeDatos) const
{
    for (int i = 0; i < camposDeDatos.size(); ++i) {
        if (camposDeDatos.at(i).trimmed().compare(campo.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

namespace {
std::unique_ptr<Controles> &instance()
{
    static std::unique_ptr<Controles> object;
    return object;
}
} // namespace

Controles &gControles()
{
    if (!instance())
        instance() = std::make_unique<Controles>();
    return *instance();
}

void releaseControles() { instance().reset(); }

} // namespace platform::suite
