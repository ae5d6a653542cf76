#pragma once

#include "StatementCache.h"
#include "platform/ado/Backend.h"
#include "platform/ado/SqlTranslator.h"

#include <memory>
#include <vector>

namespace ado {

class SqliteBackend;

// A command text translated and compiled once on the embedded engine. Its markers
// become named parameters before translation, so each keeps its value wherever the
// translation moves it. Compiled anew after a definition ran on the connection, since
// the translation may depend on the tables' columns.
class SqliteCommand : public PreparedCommand {
public:
    SqliteCommand(SqliteBackend &backend, const QString &sql, BoundKinds kinds);
    ~SqliteCommand() override;
    SqliteCommand(const SqliteCommand &) = delete;
    SqliteCommand &operator=(const SqliteCommand &) = delete;

    int parameterCount() const override { return m_count; }
    bool valid() const override { return !m_lifetime.expired(); }
    ResultSet execute(const BoundValues &values, int timeoutSeconds, std::vector<BackendError> &warnings) override;

private:
    struct Step {
        TranslatedStatement::Kind kind = TranslatedStatement::Kind::Statement;
        PreparedStatement ps;
        std::vector<int> markers;       // the value of each engine parameter (-1: none, bound as NULL)
        std::vector<std::string> bytes; // per parameter: its text as bound, kept for the engine
    };
    void build();
    void compile(const QByteArray &sql);
    void release();
    static void bindStep(Step &step, const BoundValues &values);

    SqliteBackend &m_backend;
    std::weak_ptr<int> m_lifetime;
    QString m_sql;
    BoundKinds m_kinds;
    int m_count = 0;
    std::vector<Step> m_steps;
    quint64 m_generation = 0;
};

} // namespace ado
