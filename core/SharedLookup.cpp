#include "SharedLookup.h"

namespace {

std::function<std::unique_ptr<SharedLookup>()> &factory()
{
    static std::function<std::unique_ptr<SharedLookup>()> installed;
    return installed;
}

std::unique_ptr<SharedLookup> &instance()
{
    static std::unique_ptr<SharedLookup> object;
    return object;
}

std::unique_ptr<SharedLookup> create()
{
    std::unique_ptr<SharedLookup> made = factory() ? factory()() : nullptr;
    return made ? std::move(made) : std::make_unique<SharedLookup>();
}

} // namespace

SharedLookup::~SharedLookup() = default;

void SharedLookup::ConsultaSearch(const QString &, QStringList *CmpsDevueltos, const QString &, QString *, QString *,
                                  const QString &, bool, const QString &)
{
    ValorDevuelto.clear();
    CampoDevuelto.clear();
    if (CmpsDevueltos)
        CmpsDevueltos->clear();
    m_cancelled = true;
}

SharedLookup &gConsulta()
{
    if (!instance())
        instance() = create();
    return *instance();
}

void setLookupFactory(std::function<std::unique_ptr<SharedLookup>()> made)
{
    factory() = std::move(made);
    if (!instance())
        return;
    std::unique_ptr<SharedLookup> replacement = create();
    replacement->gConnString = instance()->gConnString;
    replacement->gUsarMascarasConsultas = instance()->gUsarMascarasConsultas;
    replacement->gRutaMascaraConsultas = instance()->gRutaMascaraConsultas;
    instance() = std::move(replacement);
}

void releaseConsulta() { instance().reset(); }
