#pragma once

#include "EstadoEnvio.h"
#include "ListaMarcas.h"
#include "ReglasEnvio.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class DB_Dll;

namespace ado {
class Recordset;
}

namespace package {
class LineWriter;
}

namespace envio {

// What the export of one table did.
struct TablaExportada {
    long filas = 0;              // lines of rows written
    QList<FilaOmitida> omitidas; // rows left out: a value could not travel unchanged
    QString aviso;               // why its rows are not stamped, when they are not
};

// Writes one table of the sending database into its table file of a package: the withdrawn
// price first (V_MA_PRECIOS only), then one line per row to send. Unless retransmitting,
// every row written is owed its stamp in `marcas`, which the sending runs only once the
// package is delivered; the withdrawn price is owed its mark there too. Nothing is written to
// the database here. Failures raise platform::RuntimeError.
class ExportadorTabla {
public:
    ExportadorTabla(DB_Dll &db, VistaEnvio &vista, ListaMarcas &marcas);

    TablaExportada ExportarTabla(const QString &tabla, const OpcionesExportacion &opciones);
    // Rows read per query.
    void setTamanoPagina(int filas) { m_tamanoPagina = filas; }

private:
    struct Columnas;
    void bajaDePrecio(package::LineWriter &archivo, const OpcionesExportacion &opciones);
    Columnas columnasDe(ado::Recordset &rs, const QString &tabla, TablaExportada &resultado, bool marcar);
    void exportarFila(ado::Recordset &rs, const Columnas &columnas, package::LineWriter &archivo,
                      TablaExportada &resultado);
    void mostrar(const QString &tabla, long contador, long total, bool forzar);

    DB_Dll &m_db;
    VistaEnvio &m_vista;
    ListaMarcas &m_marcas;
    int m_tamanoPagina = 2000;
    qint64 m_ultimoRefresco = -1;
};

} // namespace envio
