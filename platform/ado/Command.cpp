#include "Command.h"

#include "Backend.h"
#include "Connection.h"
#include "ErrorScope.h"
#include "Recordset.h"

#include <algorithm>

namespace ado {

namespace {

const QString kSource = QStringLiteral("ADODB.Command");

[[noreturn]] void raise(long number, const QString &description) { throw Exception(number, description, kSource); }

BoundKind kindOf(const platform::Variant &value)
{
    using K = platform::Variant::Kind;
    switch (value.kind()) {
    case K::Empty:
    case K::Null:
        return BoundKind::Unset;
    case K::Bool:
        return BoundKind::Bool;
    case K::Int:
        return BoundKind::Int;
    case K::Double:
        return BoundKind::Double;
    case K::Text:
        return BoundKind::Text;
    case K::DateTime:
        return BoundKind::Date;
    case K::Bytes:
        return BoundKind::Bytes;
    }
    return BoundKind::Unset;
}

constexpr size_t kMaxTranslations = 8;

} // namespace

Command::Command() = default;

Command::~Command() = default;

void Command::setActiveConnection(Connection *connection)
{
    if (connection != m_connection)
        m_translations.clear();
    m_connection = connection;
}

void Command::setCommandText(const QString &text)
{
    if (text != m_text)
        m_translations.clear();
    m_text = text;
}

std::shared_ptr<Parameter> Command::CreateParameter(const QString &name, DataTypeEnum type,
                                                    ParameterDirection direction, long size,
                                                    const platform::Variant &value)
{
    return std::make_shared<Parameter>(name, type, direction, size, value);
}

// The translation for the parameters' current values: one made for the same kinds (a Null
// fits any), or a new one for them, which also keeps the kinds the last one knew for Nulls.
PreparedCommand &Command::prepared()
{
    if (!m_translations.empty() && !m_translations.front().prepared->valid())
        m_translations.clear(); // the connection closed: every translation went with it
    const int n = m_parameters.Count();
    const Backend &backend = *m_connection->backend();
    auto kindAt = [&](int i) { return backend.preparedKind(kindOf(m_parameters.Item(i).Value())); };
    auto fits = [&](const Translation &t) {
        for (int i = 0; i < n; ++i) {
            const BoundKind k = kindAt(i);
            if (k != BoundKind::Unset && (size_t(i) >= t.kinds.size() || t.kinds[size_t(i)] != k))
                return false;
        }
        return true;
    };
    const auto found = std::find_if(m_translations.begin(), m_translations.end(), fits);
    if (found != m_translations.end()) {
        std::rotate(m_translations.begin(), found, found + 1);
        return *m_translations.front().prepared;
    }
    if (m_text.trimmed().isEmpty())
        raise(errnum::CommandFailed, QStringLiteral("No se estableció el texto del comando (CommandText)."));
    Translation t;
    t.kinds.resize(size_t(n), BoundKind::Unset);
    for (int i = 0; i < n; ++i) {
        t.kinds[size_t(i)] = kindAt(i);
        if (t.kinds[size_t(i)] == BoundKind::Unset && !m_translations.empty()
            && size_t(i) < m_translations.front().kinds.size())
            t.kinds[size_t(i)] = m_translations.front().kinds[size_t(i)];
    }
    t.prepared = m_connection->backend()->prepare(m_text, t.kinds);
    if (m_translations.size() >= kMaxTranslations)
        m_translations.pop_back();
    m_translations.insert(m_translations.begin(), std::move(t));
    return *m_translations.front().prepared;
}

// The statement's recordset. A command run many times without rows (inserts, updates)
// hands out the same closed recordset again once its caller let the last one go.
std::shared_ptr<Recordset> Command::recordset(ResultSet result)
{
    if (!result.hasRows && m_closed && m_closed.use_count() == 1 && m_closed->State() == adStateClosed)
        return m_closed;
    auto rs = std::make_shared<Recordset>();
    rs->attach(std::move(result), m_connection, m_text);
    if (rs->State() == adStateClosed)
        m_closed = rs;
    return rs;
}

std::shared_ptr<Recordset> Command::Execute(long *recordsAffected)
{
    const QString closed =
        QStringLiteral("No se puede usar la conexión para Execute: está cerrada o no es válida en este contexto.");
    if (!m_connection)
        raise(errnum::ConnectionClosed, closed);
    return guardedCall(m_connection->errors(), kSource, [&] {
        if (m_connection->State() != adStateOpen)
            raise(errnum::ConnectionClosed, closed);
        PreparedCommand &command = prepared();
        if (m_parameters.Count() != command.parameterCount())
            raise(errnum::ParameterMissing,
                  QStringLiteral("El comando tiene %1 marcadores \"?\" y %2 parámetros.")
                      .arg(command.parameterCount())
                      .arg(m_parameters.Count()));
        m_values.resize(size_t(m_parameters.Count()));
        for (int i = 0; i < m_parameters.Count(); ++i) {
            const Parameter &p = m_parameters.Item(i);
            if (p.Direction() != adParamInput)
                raise(errnum::NotSupported,
                      QStringLiteral("El parámetro %1 (%2) no es de entrada: solo se admiten parámetros de entrada.")
                          .arg(i + 1)
                          .arg(p.Name()));
            m_values[size_t(i)] = BoundValue{p.Value(), p.Type(), p.Size()};
        }
        std::vector<BackendError> warnings;
        ResultSet result = command.execute(m_values, m_commandTimeout, warnings);
        for (const BackendError &w : warnings)
            m_connection->errors().Add(Error{w.number, w.nativeError, w.sqlState, w.description, kSource});
        if (recordsAffected)
            *recordsAffected = result.recordsAffected;
        return recordset(std::move(result));
    });
}

} // namespace ado
