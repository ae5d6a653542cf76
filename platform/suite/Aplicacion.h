#pragma once

#include <QString>

namespace platform::suite {

// The application object of the suite's library (gAplicacion): remembers the
// program folder that start-up gives it.
class Aplicacion {
public:
    void RutaAplicacion(const QString &carpeta) { m_ruta = carpeta; }
    QString RutaAplicacion() const { return m_ruta; }

private:
    QString m_ruta;
};

Aplicacion &gAplicacion();
void releaseAplicacion();

} // namespace platform::suite
