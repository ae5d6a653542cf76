#pragma once

#include "Parameter.h"
#include "Types.h"

#include <QString>

#include <memory>
#include <vector>

namespace ado {

class Connection;
class PreparedCommand;
class Recordset;
struct BoundValue;
struct ResultSet;

// ADO Command: a statement with "?" markers whose values come from Parameters, in marker
// order. The text is translated for the engine and prepared on the first Execute, then run
// again with the parameters' current values until CommandText or the connection changes.
// The translation depends on the kinds of the values (a value bound with its column's own
// type goes to the engine as it is): values of other kinds than before (a number where only
// Nulls came, a text where numbers came) get a translation of their own, kept beside the
// others (a Null fits any).
// Values are converted as the engine converts literals of the same kind: a text value
// written to an int column is read as a number or refused with the same error as the
// literal. Failures fill the connection's Errors and raise, as Connection.Execute does.
class Command {
public:
    Command();
    ~Command();
    Command(const Command &) = delete;
    Command &operator=(const Command &) = delete;

    Connection *ActiveConnection() const { return m_connection; }
    void setActiveConnection(Connection *connection);
    QString CommandText() const { return m_text; }
    void setCommandText(const QString &text);
    // Kept for callers that set it: every command is prepared once.
    bool Prepared() const { return m_preparedFlag; }
    void setPrepared(bool prepared) { m_preparedFlag = prepared; }
    // Seconds; 0 waits without limit.
    int CommandTimeout() const { return m_commandTimeout; }
    void setCommandTimeout(int seconds) { m_commandTimeout = seconds; }

    std::shared_ptr<Parameter> CreateParameter(const QString &name, DataTypeEnum type,
                                               ParameterDirection direction = adParamInput, long size = 0,
                                               const platform::Variant &value = {});
    ado::Parameters &Parameters() { return m_parameters; }
    const ado::Parameters &Parameters() const { return m_parameters; }

    // Runs the command. Returns its last row set (a closed recordset when it has none).
    // Raises errnum::ConnectionClosed without an open connection and errnum::ParameterMissing
    // when the parameters do not match the markers.
    std::shared_ptr<Recordset> Execute(long *recordsAffected = nullptr);

private:
    PreparedCommand &prepared();
    std::shared_ptr<Recordset> recordset(ResultSet result);

    Connection *m_connection = nullptr;
    QString m_text;
    bool m_preparedFlag = false;
    int m_commandTimeout = 30;
    ado::Parameters m_parameters;
    struct Translation {
        std::vector<BoundKind> kinds; // of the markers, as the command was translated for them
        std::unique_ptr<PreparedCommand> prepared;
    };
    std::vector<Translation> m_translations; // the last one used first
    std::vector<BoundValue> m_values;
    std::shared_ptr<Recordset> m_closed;
};

} // namespace ado
