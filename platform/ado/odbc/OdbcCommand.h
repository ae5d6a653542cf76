#pragma once

#include "platform/ado/Backend.h"
#include "platform/ado/SqlTranslator.h"

#include <memory>
#include <vector>

namespace ado {

class OdbcBackend;
class OdbcHandle;

// A command text prepared once through ODBC (SQLPrepare) and run with its values bound
// (SQLBindParameter). SQL Server gets the text as written; PostgreSQL gets it translated,
// the markers numbered first so that each keeps its value wherever the translation moves it.
class OdbcCommand : public PreparedCommand {
public:
    OdbcCommand(OdbcBackend &backend, const QString &sql, const BoundKinds &kinds);
    ~OdbcCommand() override;
    OdbcCommand(const OdbcCommand &) = delete;
    OdbcCommand &operator=(const OdbcCommand &) = delete;

    int parameterCount() const override { return m_count; }
    bool valid() const override { return !m_lifetime.expired(); }
    ResultSet execute(const BoundValues &values, int timeoutSeconds, std::vector<BackendError> &warnings) override;

private:
    struct Step {
        TranslatedStatement::Kind kind = TranslatedStatement::Kind::Statement;
        QString sql;
        std::unique_ptr<OdbcHandle> statement;
        std::vector<int> order; // the value of each "?" of the prepared text
    };
    void addStatement(const QString &sql, std::vector<int> order);
    void run(Step &step, const BoundValues &values, int timeoutSeconds, ResultSet &result,
             std::vector<BackendError> &warnings);

    OdbcBackend &m_backend;
    std::weak_ptr<int> m_lifetime;
    int m_count = 0;
    std::vector<Step> m_steps;
};

} // namespace ado
