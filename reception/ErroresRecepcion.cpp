#include "ErroresRecepcion.h"

#include "platform/TextFile.h"

namespace recepcion {

platform::Status ErroresRecepcion::abrir(const QString &ruta)
{
    (void)cerrar(); // an earlier run's file, said when it was closed
    m_falla.clear();
    m_ruta = ruta;
    m_tablaActual.clear();
    m_filas = 0;
    m_entradas = 0;
    platform::Status abierto = m_archivo.open(ruta);
    if (abierto.ok())
        abierto = m_archivo.place();
    if (!abierto.ok())
        return platform::Status::failure(QStringLiteral("Archivo de errores: %1").arg(abierto.message()));
    return {};
}

platform::Status ErroresRecepcion::cerrar()
{
    vaciar();
    if (!m_archivo.isOpen())
        return m_falla.isEmpty() ? platform::Status() : platform::Status::failure(m_falla);
    const platform::Status escrito = m_archivo.commit(); // fails too when any write failed, saying why
    m_archivo.close();
    if (!escrito.ok())
        m_falla = escrito.message();
    return m_falla.isEmpty() ? platform::Status() : platform::Status::failure(m_falla);
}

void ErroresRecepcion::linea(const QString &texto)
{
    m_pendiente += platform::textfile::encode1252(texto);
    m_pendiente += "\r\n";
    if (m_pendiente.size() > (1 << 16))
        vaciar();
}

void ErroresRecepcion::vaciar()
{
    const bool escrito = !m_archivo.isOpen() || m_pendiente.isEmpty() || m_archivo.write(m_pendiente);
    m_pendiente.clear();
    if ((!escrito || (m_archivo.isOpen() && !m_archivo.flush())) && m_falla.isEmpty())
        m_falla = QStringLiteral("No se pudo escribir el archivo de errores \"%1\"").arg(m_ruta);
}

void ErroresRecepcion::encabezado(const QString &tabla, const QStringList &campos)
{
    if (m_entradas > 0 && tabla.compare(m_tablaActual, Qt::CaseInsensitive) == 0)
        return;
    m_tablaActual = tabla;
    linea(QString());
    linea(QString());
    linea(QStringLiteral("Los siguientes registros no fueron actualizados en la tabla"));
    linea(tabla);
    linea(campos.join(QLatin1Char('\t')));
}

void ErroresRecepcion::rechazo(const QString &tabla, const QStringList &campos, long numero, const QString &motivo,
                               const QString &texto)
{
    encabezado(tabla, campos);
    linea(QStringLiteral("Línea %1: %2").arg(numero).arg(motivo));
    linea(texto);
    ++m_entradas;
    ++m_filas;
}

void ErroresRecepcion::nota(const QString &tabla, const QStringList &campos, const QString &texto)
{
    encabezado(tabla, campos);
    linea(texto);
    ++m_entradas;
}

} // namespace recepcion
