#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The run's shared lookup object (gConsulta) as start-up and the shared routines see it:
// where its queries run, where its query masks are, which column a lookup returns and
// what was chosen. The lookup browser, which sits above this module, installs the real
// object with setLookupFactory; until then (unattended runs, tests of this module) a
// lookup shows nothing and returns nothing chosen.
class SharedLookup {
public:
    virtual ~SharedLookup();

    QString gConnString;
    bool gUsarMascarasConsultas = false;
    QString gRutaMascaraConsultas;
    QString CampoDevuelto;
    QString ValorDevuelto;

    // Shows the lookup for `SQL` (a statement or a bare table/view name) and leaves the
    // chosen value in ValorDevuelto ("" when nothing was chosen). The pointer arguments are
    // in-out and may be null; empty texts and false stand for arguments not given. Never
    // raises. This base chooses nothing.
    virtual void ConsultaSearch(const QString &SQL, QStringList *CmpsDevueltos = nullptr,
                                const QString &Clave = QString(), QString *CampoBusqueda = nullptr,
                                QString *Where = nullptr, const QString &SentenciaOpcional = QString(),
                                bool TreeView = false, const QString &ValoresDefault = QString());
    // True when the last lookup ended without a choice the operator accepted (cancelled,
    // failed or not shown).
    bool cancelled() const { return m_cancelled; }

protected:
    bool m_cancelled = false;
};

// The shared object, created on first use by the installed factory (a plain
// SharedLookup when none is installed).
SharedLookup &gConsulta();
// Chooses what gConsulta() creates. An object that exists already is replaced at once;
// its connection and mask settings carry over to the new one.
void setLookupFactory(std::function<std::unique_ptr<SharedLookup>()> factory);
// Drops the shared object; the next gConsulta() creates a new one.
void releaseConsulta();
