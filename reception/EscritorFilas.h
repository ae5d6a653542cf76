#pragma once

#include "platform/Variant.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <vector>

namespace ado {
class Command;
class Connection;
class Recordset;
} // namespace ado

namespace recepcion {

using Valores = std::vector<platform::Variant>;

// Runs the reception's statements with the values of one row. A statement is written once
// with "?" where each value goes; it is prepared once as an ado::Command and run again with
// each row's values bound to its parameters, so a value never becomes part of a statement.
// Failures raise the connection's RuntimeError (its Errors keep the details).
class EscritorFilas {
public:
    explicit EscritorFilas(ado::Connection &cnn);
    ~EscritorFilas();
    EscritorFilas(const EscritorFilas &) = delete;
    EscritorFilas &operator=(const EscritorFilas &) = delete;

    // Runs an action statement; returns the rows affected (-1 when unknown).
    long ejecuta(const QString &sentencia, const Valores &valores);
    // Runs a query; true when it gives at least one row.
    bool hayFila(const QString &sentencia, const Valores &valores);
    // Runs a query; the values of each of its rows.
    std::vector<Valores> filas(const QString &sentencia, const Valores &valores);

    // Lets the prepared statements go (those of a lost connection, which on SQLite would keep
    // its open transaction, and its locks, alive); they are prepared again on their next use.
    void descartar();
    // Lets one statement go: it is prepared again, and planned anew, on its next use.
    void descartar(const QString &sentencia);

    // The statement with its values written in, for a log line.
    static QString texto(const QString &sentencia, const Valores &valores);

private:
    std::shared_ptr<ado::Recordset> ejecutaComando(const QString &sentencia, const Valores &valores, long *afectadas);
    std::unique_ptr<ado::Command> nuevoComando(const QString &sentencia, const Valores &valores);
    ado::Connection &m_cnn;
    std::unordered_map<QString, std::unique_ptr<ado::Command>> m_comandos;
    // The statements used last, found by their text's address: a row runs the same few long
    // statements, which would otherwise be hashed and compared whole at every use. Each keeps
    // its text, so that no other text can come to have its address.
    struct Reciente {
        QString sentencia;
        ado::Command *comando = nullptr;
    };
    Reciente m_recientes[4];
    size_t m_proximoReciente = 0;
};

// A value as an SQL literal (text between apostrophes with its own apostrophes doubled,
// numbers with a decimal point, dates as yyyy-mm-ddThh:mm:ss, Null as NULL).
QString literal(const platform::Variant &valor);

} // namespace recepcion
