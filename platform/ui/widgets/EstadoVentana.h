#pragma once

#include "platform/suite/Estado.h"

#include <QPointer>

class QLabel;
class QWidget;

namespace platform {

// The desktop's status window: a small top-level window with a title and three lines,
// and a "Detener" button that asks the running work to stop.
class EstadoVentana : public suite::Estado {
public:
    EstadoVentana();
    ~EstadoVentana() override;
    void Mostrar(const QString &titulo, int indicador) override;
    void Actualizar(short &detener, const QString &linea1, const QString &linea2 = QString(),
                    const QString &linea3 = QString()) override;
    void Cerrar() override;

private:
    void build();
    QPointer<QWidget> m_window;
    QLabel *m_lines[3] = {nullptr, nullptr, nullptr};
    bool m_stopAsked = false;
};

} // namespace platform
