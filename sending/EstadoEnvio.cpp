#include "EstadoEnvio.h"

namespace envio {

QString FilaOmitida::texto() const
{
    return QStringLiteral("%1 (%2): la columna %3 %4").arg(tabla, clave, columna, motivo);
}

QString ResumenEnvio::linea() const
{
    return QStringLiteral("transmisión %1: %2 tablas, %3 filas enviadas, %4 marcadas, %5 no enviadas, %6 s, %7")
        .arg(numero)
        .arg(tablas)
        .arg(filas)
        .arg(marcadas)
        .arg(omitidas.size())
        .arg(segundos, 0, 'f', 1)
        .arg(archivo.isEmpty() ? QStringLiteral("sin paquete") : archivo);
}

} // namespace envio
