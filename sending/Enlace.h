#pragma once

#include "platform/Variant.h"
#include "platform/ado/Command.h"

#include <QString>

#include <memory>
#include <vector>

namespace ado {
class Connection;
class Recordset;
} // namespace ado

class DB_Dll;

// Statements of the sending with their values bound to "?" markers, never pasted in.
namespace envio {

using Valores = std::vector<platform::Variant>;

// The parameter type a value is bound with.
ado::DataTypeEnum tipoParametro(const platform::Variant &valor);

// A prepared statement on one connection, run again and again with new values.
class Sentencia {
public:
    Sentencia(ado::Connection &cnn, const QString &texto);
    // Runs an action statement; returns the rows affected. Raises the connection's error.
    long ejecutar(const Valores &valores);
    // Runs a query; its rows (a closed recordset when it gave none). Raises likewise.
    std::shared_ptr<ado::Recordset> abrir(const Valores &valores);
    const QString &texto() const { return m_texto; }
    // A statement of a bulk run takes as long as its rows need: the command time-out is for
    // an operator's query, and cutting the stamps of a large sending would fail it.
    void sinLimiteDeTiempo() { m_comando.setCommandTimeout(0); }

private:
    void enlazar(const Valores &valores);
    ado::Command m_comando;
    QString m_texto;
};

// A statement as a restricted user's connection runs it: the synonym views of DB_Dll, and a
// "@ADMIN_" name read from the table itself.
QString paraUsuario(const DB_Dll &db, const QString &sentencia);

} // namespace envio
