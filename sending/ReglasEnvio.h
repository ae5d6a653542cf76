#pragma once

#include "LectorPaginado.h"

#include <QString>
#include <QStringList>

// The per-table rules of the export: which rows a table sends and how a sent row is stamped.
namespace envio {

struct OpcionesExportacion {
    QString numero;            // the transmission number (digits)
    QString carpeta;           // where the table file is written
    QString idLista;           // the price list, trimmed; blank: every list
    bool retransmitir = false; // "Retransmitir": every row, none stamped
    QString unidadNegocio;     // the form's copy of the business unit
};

// The price list as it is stored: right-aligned in four characters.
QString listaAlineada(const QString &idLista);

// The rows a table sends: its source (the table itself for MA_CUENTAS, V_TA_DEPOSITO and
// V_TA_FAMILIAS also for a restricted user, "@ADMIN_" in front), the unsent-rows filter
// unless retransmitting, the price list where one applies (the articles and equivalences
// then join their prices and send every row that has one), and the columns its pages follow.
ConsultaTabla consultaPara(const QString &tabla, const OpcionesExportacion &opciones);

// The source a table's field list is read from: the same as its rows' (never a join).
QString origenDeCampos(const QString &tabla);

// How a sent row of a table is stamped: "UPDATE <tabla> SET <asignaciones> WHERE <claves>".
// `claves` are written as the statement names them; `campos` are the row's fields that hold
// their values. The tables stamped by their ID column use it when the row has one (`filaConId`), else the
// catalogue's keys. Empty `claves`: the table has no key, and its rows are not stamped.
struct ReglaMarca {
    QString asignaciones; // holds one "?" for the transmission number
    QStringList claves;
    QStringList campos;
};
ReglaMarca reglaMarca(const QString &tabla, bool filaConId);

} // namespace envio
