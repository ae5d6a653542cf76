#pragma once

#include "package/FreshFile.h"

#include "platform/Result.h"

#include <QString>
#include <QStringList>

namespace recepcion {

// Everything a reception could not load, gathered over the whole run in one file,
// Errores.TXT in the package folder (Windows-1252, CR LF): under a heading per table (the
// table and its field list), each rejected row as its line number and reason, then the
// line itself. Notes about a table (a column the local table lacks) go under the same
// heading; they are not rows and are not counted. Entries are written as they come, so a
// large run keeps nothing of them in memory. Others feed the folder: the file is always a new
// one that takes the name (what stood there, a link included, is replaced, never written to).
class ErroresRecepcion {
public:
    // Creates the file anew, in place of the one an earlier run left.
    [[nodiscard]] platform::Status abrir(const QString &ruta);
    // Writes out what is pending and closes the file; fails, naming it and the reason, when
    // any of its writes failed (a full disk): then it does not hold every entry.
    [[nodiscard]] platform::Status cerrar();
    const QString &ruta() const { return m_ruta; }

    void rechazo(const QString &tabla, const QStringList &campos, long linea, const QString &motivo,
                 const QString &texto);
    void nota(const QString &tabla, const QStringList &campos, const QString &texto);
    // Writes what is pending to the disk.
    void vaciar();
    // Why the file does not hold every entry (a write failed); "" while it does.
    const QString &falla() const { return m_falla; }

    long filasRechazadas() const { return m_filas; }
    long entradas() const { return m_entradas; }

private:
    void encabezado(const QString &tabla, const QStringList &campos);
    void linea(const QString &texto);

    package::FreshFile m_archivo;
    QString m_ruta;
    QString m_tablaActual;
    QByteArray m_pendiente;
    QString m_falla;
    long m_filas = 0;
    long m_entradas = 0;
};

} // namespace recepcion
