#include "SqliteCommand.h"

#include "SqliteBackend.h"
#include "platform/ado/ParameterMarkers.h"

#include <sqlite3.h>

namespace ado {

SqliteCommand::SqliteCommand(SqliteBackend &backend, const QString &sql, BoundKinds kinds)
    : m_backend(backend), m_lifetime(backend.m_lifetime), m_sql(sql), m_kinds(std::move(kinds))
{
    build();
}

SqliteCommand::~SqliteCommand() { release(); }

void SqliteCommand::release()
{
    // Also after the connection closed: the engine frees a closed connection with its last statement.
    for (Step &step : m_steps)
        sqlite3_finalize(step.ps.stmt);
    m_steps.clear();
}

void SqliteCommand::build()
{
    m_generation = m_backend.m_schemaGeneration;
    const QString named = ParameterMarkers::named(m_sql, m_count);
    try {
        for (const TranslatedStatement &st : m_backend.m_translator.translate(named, m_kinds)) {
            if (st.kind == TranslatedStatement::Kind::Statement) {
                compile(st.sql.toUtf8());
            } else {
                Step step;
                step.kind = st.kind;
                m_steps.push_back(std::move(step));
            }
        }
    } catch (...) {
        release();
        throw;
    }
}

// One translated text may hold several statements; each becomes a step.
void SqliteCommand::compile(const QByteArray &sql)
{
    m_backend.checkNoNul(sql);
    const char *start = sql.constData();
    const char *end = start + sql.size();
    while (start < end) {
        Step step;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(m_backend.m_db, start, int(end - start), &step.ps.stmt, &tail) != SQLITE_OK)
            m_backend.fail(QByteArray(start, end - start));
        start = tail;
        if (!step.ps.stmt) // blanks or a comment only
            continue;
        m_backend.classify(step.ps);
        const int n = sqlite3_bind_parameter_count(step.ps.stmt);
        for (int i = 1; i <= n; ++i) {
            const char *name = sqlite3_bind_parameter_name(step.ps.stmt, i);
            step.markers.push_back(name ? ParameterMarkers::indexOf(QString::fromLatin1(name)) : -1);
        }
        m_steps.push_back(std::move(step));
    }
}

void SqliteCommand::bindStep(Step &step, const BoundValues &values)
{
    step.bytes.resize(step.markers.size());
    for (size_t i = 0; i < step.markers.size(); ++i) {
        const int slot = step.markers[i];
        if (slot >= 0 && slot < int(values.size()))
            SqliteBackend::bind(step.ps.stmt, int(i) + 1, values[size_t(slot)].value, &step.bytes[i]);
        else
            sqlite3_bind_null(step.ps.stmt, int(i) + 1);
    }
}

ResultSet SqliteCommand::execute(const BoundValues &values, int timeoutSeconds, std::vector<BackendError> &)
{
    if (m_generation != m_backend.m_schemaGeneration) {
        release();
        build();
    }
    return m_backend.runSteps(
        timeoutSeconds, int(m_steps.size()), [&](int i) { return m_steps[size_t(i)].kind; },
        [&](int i, ResultSet &result, long &affected) {
            Step &step = m_steps[size_t(i)];
            bindStep(step, values);
            m_backend.runPrepared(step.ps, result, affected);
        });
}

} // namespace ado
