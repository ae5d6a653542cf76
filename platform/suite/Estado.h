#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace platform::suite {

// The status window of the suite's library (gEstado): a title and up to three
// lines of progress. The desktop shows a window; the unattended mode logs lines.
class Estado {
public:
    virtual ~Estado() = default;
    virtual void Mostrar(const QString &titulo, int indicador) = 0;
    // `detener` may be set non-zero by the window to ask the caller to stop.
    virtual void Actualizar(short &detener, const QString &linea1, const QString &linea2 = QString(),
                            const QString &linea3 = QString()) = 0;
    virtual void Cerrar() = 0;
};

// Writes every change of the status to the logger; never asks to stop.
class LogEstado : public Estado {
public:
    void Mostrar(const QString &titulo, int indicador) override;
    void Actualizar(short &detener, const QString &linea1, const QString &linea2 = QString(),
                    const QString &linea3 = QString()) override;
    void Cerrar() override;

private:
    QString m_titulo;
};

// The status object in force: the one installed by setEstadoFactory, else a LogEstado,
// created on first use.
Estado &gEstado();
// Chooses what gEstado() creates from now on (the desktop installs its window).
void setEstadoFactory(std::function<std::unique_ptr<Estado>()> factory);
void releaseEstado();

} // namespace platform::suite
