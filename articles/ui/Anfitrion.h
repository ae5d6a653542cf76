#pragma once

#include <QString>

namespace articles::ui {

// The article form as a program of the suite opens it: the program started with the
// suite's command line and "@Menu=FrmArtAlta". Further items carry the host's public
// variables: "@Lista" (pIdLista, the price list that saving writes), "@Codigo"
// (CodArtNuevo, a bar code typed in for the operator) and "@DesdeConsulta" ("SI": the form
// stays open after each save until Esc).
struct PedidoAlta {
    QString lista;
    QString codigo;
    bool desdeConsulta = false;

    static bool pedido(const QString &lineaDeComandos); // "@Menu=FrmArtAlta"
    static PedidoAlta desdeLinea(const QString &lineaDeComandos);
};

// What the host reads afterwards: "pAceptar=SI" or "pAceptar=NO", then "CodArtNuevo=" and the
// article saved or shown last, one per line.
struct RespuestaAlta {
    bool pAceptar = false;
    QString CodArtNuevo;
    QString texto() const;
};

// Shows the form modally on the open connection and returns its public variables.
RespuestaAlta MostrarAltaArticulos(const PedidoAlta &pedido);

} // namespace articles::ui
