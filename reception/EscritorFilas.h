#pragma once

#include "platform/Variant.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace ado {
class Connection;
}

namespace recepcion {

using Valores = std::vector<platform::Variant>;

// Runs the reception's statements with the values of one row. A statement is written once
// with "?" where each value goes; this class alone decides how the values reach the
// database. Today they are written as literals: text between apostrophes with its own
// apostrophes doubled, numbers with a decimal point, dates as yyyy-mm-ddThh:mm:ss, Null as
// NULL; so a value can never become part of the statement. Failures raise the connection's
// RuntimeError (its Errors keep the details).
class EscritorFilas {
public:
    explicit EscritorFilas(ado::Connection &cnn) : m_cnn(cnn) {}

    // Runs an action statement; returns the rows affected (-1 when unknown).
    long ejecuta(const QString &sentencia, const Valores &valores);
    // Runs a query; true when it gives at least one row.
    bool hayFila(const QString &sentencia, const Valores &valores);
    // Runs a query; the values of its first row (empty when none).
    Valores primeraFila(const QString &sentencia, const Valores &valores);

    // The statement as it reaches the database (for logs and tests).
    QString texto(const QString &sentencia, const Valores &valores);

private:
    const QStringList &partes(const QString &sentencia);
    ado::Connection &m_cnn;
    QHash<QString, QStringList> m_partes;
};

// A value as an SQL literal, as EscritorFilas writes it.
QString literal(const platform::Variant &valor);

} // namespace recepcion
