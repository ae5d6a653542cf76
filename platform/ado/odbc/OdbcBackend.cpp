#include "OdbcBackend.h"

#include "OdbcCommand.h"
#include "OdbcConnector.h"
#include "OdbcErrorMap.h"
#include "OdbcHandle.h"
#include "OdbcResultReader.h"
#include "OdbcTypeMap.h"
#include "platform/ado/SqlTranslator.h"

#include <algorithm>

namespace ado {

namespace {

using Phase = OdbcErrorMap::Phase;

// SQL Server's own numbers for a transaction word without a transaction.
constexpr long NativeCommitWithoutBegin = 3902;
constexpr long NativeRollbackWithoutBegin = 3903;
constexpr const char *CaseInsensitiveCollation =
    "CREATE COLLATION IF NOT EXISTS vktext (provider = icu, locale = 'und-u-ks-level2', "
    "deterministic = false)";
// Informational messages SQL Server sends on every change of database or language.
constexpr long NativeContextChanged[] = {5701, 5703, 5704};

OdbcPlatform platformOf(const QString &provider)
{
    if (provider.startsWith(QLatin1String("OraOLEDB"), Qt::CaseInsensitive)
        || provider.startsWith(QLatin1String("MSDAORA"), Qt::CaseInsensitive))
        return OdbcPlatform::Oracle;
    if (provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return OdbcPlatform::PostgreSQL;
    return OdbcPlatform::SqlServer;
}

BackendError simpleError(long number, long nativeError, const char *state, const QString &text)
{
    return BackendError{number, nativeError, QString::fromLatin1(state), text};
}

// "[dbo].[Tabla]", "dbo.Tabla", "\"tabla\"" -> "Tabla".
QString bareName(const QString &name)
{
    QString n = name.trimmed();
    const qsizetype dot = n.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        n = n.mid(dot + 1);
    n.remove(QLatin1Char('[')).remove(QLatin1Char(']')).remove(QLatin1Char('"'));
    return n.trimmed();
}

QString escapePattern(const QString &name, const QString &escape)
{
    if (escape.isEmpty())
        return name;
    QString out;
    for (const QChar c : name) {
        if (c == QLatin1Char('_') || c == QLatin1Char('%') || QString(c) == escape)
            out += escape;
        out += c;
    }
    return out;
}

// "key=value;" that ConnectionString::parse reads back, quoting a value with ; or quotes.
QString connectionPair(const QString &key, const QString &value)
{
    QString v = value;
    if (v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('"')) || v.contains(QLatin1Char('\''))
        || v.startsWith(QLatin1Char('{')) || v != v.trimmed())
        v = QLatin1Char('"') + v.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return key + QLatin1Char('=') + v + QLatin1Char(';');
}

// CREATE / ALTER / DROP / COMMENT / DO: the columns' declared types may have changed.
bool isDefinition(const QString &sql)
{
    const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return head == QLatin1String("CREATE") || head == QLatin1String("ALTER") || head == QLatin1String("DROP")
        || head == QLatin1String("COMMENT") || head == QLatin1String("DO");
}

QString columnText(SQLHSTMT statement, SQLUSMALLINT column)
{
    SQLWCHAR buffer[512] = {};
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_WCHAR, buffer, sizeof(buffer), &indicator))
        || indicator == SQL_NULL_DATA)
        return QString();
    const qsizetype chars = indicator == SQL_NO_TOTAL ? 511 : std::min<qsizetype>(indicator / 2, 511);
    return fromOdbcText(buffer, chars);
}

long long columnNumber(SQLHSTMT statement, SQLUSMALLINT column)
{
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_SBIGINT, &value, sizeof(value), &indicator))
        || indicator == SQL_NULL_DATA)
        return 0;
    return value;
}

} // namespace

std::unique_ptr<Backend> createOdbcBackend(const ConnectionString &cs)
{
    if (!OdbcConnectionString::handles(cs.provider()))
        throw BackendFailure(simpleError(errnum::GenericFailure, 0, "IM002",
                                         QStringLiteral("Proveedor no disponible: \"%1\"").arg(cs.provider())));
    return std::make_unique<OdbcBackend>(platformOf(cs.provider().trimmed()));
}

OdbcBackend::OdbcBackend(OdbcPlatform platform) : m_platform(platform)
{
    if (platform == OdbcPlatform::PostgreSQL)
        m_translator = std::make_unique<SqlTranslator>(Dialect::PostgreSQL);
}

OdbcBackend::~OdbcBackend() { close(); }

// ------------------------------------------------------------------ connecting

void OdbcBackend::open(const ConnectionString &cs, const QString &user, const QString &password, int timeoutSeconds)
{
    close();
    m_connection = cs;
    m_target = OdbcConnectionString::convert(cs, user, password, timeoutSeconds, m_statementRollback);
    m_connectionText.clear();
    for (const auto &item : cs.items())
        m_connectionText += connectionPair(item.first, item.second);
    m_user = user;
    m_password = password;
    m_loginTimeout = timeoutSeconds;
    connect(timeoutSeconds);
}

void OdbcBackend::connect(int timeoutSeconds)
{
    OdbcConnector::Outcome outcome = OdbcConnector::connect(m_target.connectionString, timeoutSeconds);
    if (outcome.timedOut) {
        close();
        throw BackendFailure(simpleError(errnum::GenericFailure, 0, "HYT00",
                                         QStringLiteral("No se pudo conectar (%1): el servidor no respondió en %2 s.")
                                             .arg(m_target.describe())
                                             .arg(timeoutSeconds)));
    }
    if (!outcome.connected)
        failConnect(outcome.diagnostics);
    m_env = std::make_unique<OdbcHandle>(std::move(outcome.env));
    m_dbc = std::make_unique<OdbcHandle>(std::move(outcome.dbc));
    m_lifetime = std::make_shared<int>(0);
    m_transactionDepth = 0;
    m_transactionFailed = false;
    m_declaredTypes.clear();
    m_defaultDatabase = m_target.database;
    try {
        prepareSession(timeoutSeconds);
        applyIsolationLevel();
    } catch (...) {
        close();
        throw;
    }
}

void OdbcBackend::prepareSession(int timeoutSeconds)
{
    if (m_platform == OdbcPlatform::SqlServer) {
        SQLWCHAR name[256] = {};
        SQLINTEGER length = 0;
        if (SQL_SUCCEEDED(SQLGetConnectAttrW(m_dbc->get(), SQL_ATTR_CURRENT_CATALOG, name, sizeof(name), &length)))
            m_defaultDatabase = fromOdbcText(name, -1);
        return;
    }
    if (m_platform != OdbcPlatform::PostgreSQL)
        return;
    // Dates the system writes as dd/mm/yy are read day first, as on the suite's servers.
    ResultSet ignored;
    std::vector<BackendError> warnings;
    runStatement(QStringLiteral("SET DateStyle = 'ISO, DMY'"), timeoutSeconds, ignored, warnings);
    // Values are converted by their columns' types when the set-up script made the
    // conversions (see schema/postgresql); without them the engine's own conversions stand.
    runStatement(QStringLiteral("SELECT proname FROM pg_catalog.pg_proc WHERE proname = 'vk_char' UNION ALL "
                                "SELECT collname FROM pg_catalog.pg_collation WHERE collname = 'vktext' "
                                "AND pg_catalog.pg_collation_is_visible(oid)"),
                 timeoutSeconds, ignored, warnings);
    bool conversions = false;
    bool collation = false;
    for (const Row &row : ignored.rows)
        (row.at(0).toString() == QLatin1String("vk_char") ? conversions : collation) = true;
    m_translator->setCatalog(conversions ? &m_catalog : nullptr);
    if (collation)
        return; // asking the engine to create it anyway costs a collator's start-up per connection
    ignored = ResultSet{};
    // Text columns are created with this collation (see schema/postgresql); a database
    // set up without it still works when the user may create it.
    try {
        runStatement(QString::fromLatin1(CaseInsensitiveCollation), timeoutSeconds, ignored, warnings);
    } catch (const BackendFailure &) {
        // no right to create it: CREATE TABLE names the missing collation
    }
}

void OdbcBackend::close()
{
    m_lifetime.reset();
    if (m_dbc) {
        if (m_transactionDepth > 0)
            SQLEndTran(SQL_HANDLE_DBC, m_dbc->get(), SQL_ROLLBACK);
        SQLDisconnect(m_dbc->get());
    }
    m_dbc.reset();
    m_env.reset();
    m_transactionDepth = 0;
    m_transactionFailed = false;
}

bool OdbcBackend::isOpen() const { return m_dbc && *m_dbc; }

// ------------------------------------------------------------------ errors

[[noreturn]] void OdbcBackend::failConnect(const std::vector<OdbcDiagnostic> &diagnostics)
{
    std::vector<BackendError> errors;
    const QString where = m_target.describe();
    for (const OdbcDiagnostic &d : diagnostics) {
        BackendError e = OdbcErrorMap::map(m_platform, Phase::Connecting, d);
        if (d.sqlState == QLatin1String("IM002") || d.sqlState == QLatin1String("IM003")
            || d.message.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive)) {
            e.sqlState = QStringLiteral("IM002");
            e.description = QStringLiteral("El controlador ODBC \"%1\" no está instalado o no se puede cargar "
                                           "(se elige con la variable %2; los registrados están en "
                                           "odbcinst.ini): %3")
                                .arg(m_target.driver, m_target.driverSetting, d.message);
        } else {
            e.description = QStringLiteral("No se pudo conectar (%1): %2").arg(where, d.message);
        }
        e.number = errnum::GenericFailure;
        errors.push_back(e);
    }
    if (errors.empty())
        errors.push_back(
            simpleError(errnum::GenericFailure, 0, "08001", QStringLiteral("No se pudo conectar (%1).").arg(where)));
    close();
    throw BackendFailure(std::move(errors));
}

bool OdbcBackend::connectionDead() const
{
    if (!isOpen())
        return true;
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(m_dbc->get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)))
        return false;
    return dead == SQL_CD_TRUE;
}

[[noreturn]] void OdbcBackend::fail(const OdbcHandle &handle, const QString &context)
{
    std::vector<BackendError> errors;
    bool lost = false;
    for (const OdbcDiagnostic &d : handle.diagnostics()) {
        BackendError e = OdbcErrorMap::map(m_platform, Phase::Executing, d);
        lost = lost || e.nativeError == native::CommunicationLink;
        errors.push_back(e);
    }
    // Nothing on the statement: the connection may tell (its older messages would mislead).
    if (errors.empty() && handle.type() != SQL_HANDLE_DBC && m_dbc)
        for (const OdbcDiagnostic &d : m_dbc->diagnostics())
            errors.push_back(OdbcErrorMap::map(m_platform, Phase::Executing, d));
    if (errors.empty())
        errors.push_back(simpleError(errnum::CommandFailed, 0, "HY000",
                                     QStringLiteral("El controlador ODBC falló sin dar el motivo (%1).").arg(context)));
    if (!lost && connectionDead()) {
        errors.front().number = errnum::GenericFailure;
        errors.front().nativeError = native::CommunicationLink;
        errors.front().sqlState = QStringLiteral("08S01");
        lost = true;
    }
    if (!lost && !m_statementRollback && m_transactionDepth > 0)
        m_transactionFailed = true;
    if (lost) {
        // The server is gone: whatever transaction there was is gone with it.
        m_transactionDepth = 0;
        m_transactionFailed = false;
        errors.front().description = QStringLiteral("Se perdió la conexión con el servidor (%1): %2")
                                         .arg(m_target.describe(), errors.front().description);
    }
    throw BackendFailure(std::move(errors));
}

void OdbcBackend::requireLiveTransaction() const
{
    if (m_transactionFailed)
        throw BackendFailure(simpleError(errnum::CommandFailed, 3930, "25P02",
                                         QStringLiteral("La transacción actual falló y solo admite su reversión "
                                                        "(ROLLBACK TRANSACTION): una instrucción anterior no se "
                                                        "pudo ejecutar.")));
}

[[noreturn]] void OdbcBackend::failClosed() const
{
    throw BackendFailure(
        simpleError(errnum::ConnectionClosed, 0, "08003", QStringLiteral("La conexión está cerrada.")));
}

void OdbcBackend::addWarnings(const OdbcHandle &handle, std::vector<BackendError> &warnings) const
{
    // PostgreSQL's notices ("already exists, skipping") are not the system's warnings.
    if (m_platform == OdbcPlatform::PostgreSQL)
        return;
    for (const OdbcDiagnostic &d : handle.diagnostics()) {
        if (std::find(std::begin(NativeContextChanged), std::end(NativeContextChanged), d.nativeError)
            != std::end(NativeContextChanged))
            continue;
        BackendError w = OdbcErrorMap::map(m_platform, Phase::Executing, d);
        w.number = 0;
        warnings.push_back(w);
    }
}

// ------------------------------------------------------------------ statements

std::unique_ptr<OdbcHandle> OdbcBackend::newStatement(int timeoutSeconds)
{
    if (!isOpen())
        failClosed();
    auto statement = std::make_unique<OdbcHandle>();
    if (!statement->allocate(SQL_HANDLE_STMT, m_dbc->get()))
        fail(*m_dbc, QStringLiteral("SQLAllocHandle"));
    // Our own catalog queries keep the last time-out: psqlODBC sends a SET for every change.
    if (timeoutSeconds < 0)
        timeoutSeconds = m_lastTimeout;
    m_lastTimeout = timeoutSeconds;
    if (timeoutSeconds > 0)
        SQLSetStmtAttr(statement->get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)),
                       0);
    return statement;
}

ResultSet OdbcBackend::execute(const QString &sql, int timeoutSeconds, std::vector<BackendError> &warnings)
{
    if (!isOpen())
        failClosed();
    ResultSet result;
    if (!m_translator) {
        runStatement(sql, timeoutSeconds, result, warnings);
        return result;
    }
    using Kind = TranslatedStatement::Kind;
    for (const TranslatedStatement &statement : m_translator->translate(sql)) {
        switch (statement.kind) {
        case Kind::Begin:
            beginTransaction();
            break;
        case Kind::Commit:
            commit();
            break;
        case Kind::Rollback:
            rollback();
            break;
        case Kind::Statement:
            runStatement(statement.sql, timeoutSeconds, result, warnings);
            break;
        }
    }
    return result;
}

void OdbcBackend::noteStatement(const QString &sql)
{
    if (m_platform == OdbcPlatform::PostgreSQL && isDefinition(sql))
        m_declaredTypes.clear();
}

std::unique_ptr<PreparedCommand> OdbcBackend::prepare(const QString &sql, const BoundKinds &kinds)
{
    if (!isOpen())
        failClosed();
    return std::make_unique<OdbcCommand>(*this, sql, kinds);
}

void OdbcBackend::runStatement(const QString &sql, int timeoutSeconds, ResultSet &result,
                               std::vector<BackendError> &warnings)
{
    if (sql.trimmed().isEmpty())
        return;
    requireLiveTransaction();
    auto statement = newStatement(timeoutSeconds);
    const SQLRETURN rc = SQLExecDirectW(statement->get(), odbcText(sql), SQL_NTS);
    if (rc == SQL_NO_DATA) { // a searched UPDATE or DELETE that matched nothing
        result.recordsAffected = std::max(result.recordsAffected, 0L);
        // ... and a SQL Server batch may go on with more results
        const SQLRETURN more = SQLMoreResults(statement->get());
        if (more == SQL_NO_DATA)
            return;
        if (!SQL_SUCCEEDED(more))
            fail(*statement, sql);
        collectResults(*statement, result, warnings);
        return;
    }
    noteStatement(sql);
    if (!SQL_SUCCEEDED(rc))
        fail(*statement, sql);
    if (rc == SQL_SUCCESS_WITH_INFO)
        addWarnings(*statement, warnings);
    collectResults(*statement, result, warnings);
}

// PostgreSQL keeps a column's SQL Server type in its comment, "vk:NVARCHAR(40)" (written by
// SqlTranslator), so that it reads with the same type and size as on SQL Server.
QString OdbcBackend::declaredType(const QString &table, const QString &column)
{
    return declaredTable(table).byName.value(column.toLower());
}

const OdbcBackend::DeclaredTable &OdbcBackend::declaredTable(const QString &table)
{
    const QString key = table.toLower();
    auto it = m_declaredTypes.constFind(key);
    if (it == m_declaredTypes.constEnd())
        it = m_declaredTypes.insert(key, readDeclaredTypes(key));
    return *it;
}

QList<CatalogColumn> OdbcBackend::Catalog::columns(const QString &table)
{
    return m_backend.isOpen() ? m_backend.declaredTable(table).columns : QList<CatalogColumn>{};
}

OdbcBackend::DeclaredTable OdbcBackend::readDeclaredTypes(const QString &table)
{
    DeclaredTable out;
    auto statement = newStatement(-1);
    QString quoted = table;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    // A view's column takes the declaration of the same-named column it reads (the
    // system's synonym views are SELECT * over one table).
    const QString sql =
        QStringLiteral("SELECT a.attname, COALESCE(pg_catalog.col_description(a.attrelid, a.attnum), "
                       "(SELECT min(pg_catalog.col_description(s.attrelid, s.attnum)) "
                       "FROM pg_catalog.pg_depend d JOIN pg_catalog.pg_rewrite r ON r.oid = d.objid "
                       "JOIN pg_catalog.pg_attribute s ON s.attrelid = d.refobjid AND s.attnum = d.refobjsubid "
                       "WHERE d.classid = 'pg_catalog.pg_rewrite'::pg_catalog.regclass AND r.ev_class = a.attrelid "
                       "AND d.refobjid <> a.attrelid AND s.attname = a.attname)) "
                       "FROM pg_catalog.pg_attribute a "
                       "WHERE a.attrelid = pg_catalog.to_regclass(pg_catalog.quote_ident('%1')) "
                       "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum")
            .arg(quoted);
    if (!SQL_SUCCEEDED(SQLExecDirectW(statement->get(), odbcText(sql), SQL_NTS)))
        return out; // unknown: the driver's description stands
    static const QString mark = QStringLiteral("vk:");
    while (SQL_SUCCEEDED(SQLFetch(statement->get()))) {
        const QString name = columnText(statement->get(), 1);
        const QString comment = columnText(statement->get(), 2);
        const QString declared = comment.startsWith(mark) ? comment.mid(mark.size()).trimmed() : QString();
        out.columns.append(CatalogColumn{name, declared});
        if (!declared.isEmpty())
            out.byName.insert(name.toLower(), declared);
    }
    return out;
}

// Every result of the statement: the last row set is kept, counts are summed.
void OdbcBackend::collectResults(OdbcHandle &statement, ResultSet &result, std::vector<BackendError> &warnings)
{
    for (;;) {
        SQLSMALLINT columns = 0;
        if (!SQL_SUCCEEDED(SQLNumResultCols(statement.get(), &columns)))
            fail(statement, QStringLiteral("SQLNumResultCols"));
        if (columns > 0) {
            ResultSet rows;
            OdbcResultReader::DeclaredType declared;
            if (m_platform == OdbcPlatform::PostgreSQL)
                declared = [this](const QString &table, const QString &column) { return declaredType(table, column); };
            if (!OdbcResultReader(statement.get(), m_platform, declared).read(rows))
                fail(statement, QStringLiteral("SQLFetch"));
            rows.recordsAffected = result.recordsAffected;
            result = std::move(rows);
        } else {
            SQLLEN count = -1;
            if (SQL_SUCCEEDED(SQLRowCount(statement.get(), &count)) && count >= 0)
                result.recordsAffected = std::max(result.recordsAffected, 0L) + long(count);
        }
        const SQLRETURN more = SQLMoreResults(statement.get());
        if (more == SQL_NO_DATA)
            return;
        if (!SQL_SUCCEEDED(more))
            fail(statement, QStringLiteral("SQLMoreResults"));
        if (more == SQL_SUCCESS_WITH_INFO)
            addWarnings(statement, warnings);
    }
}

// ------------------------------------------------------------------ transactions

void OdbcBackend::setAutocommit(bool on)
{
    const auto value = reinterpret_cast<SQLPOINTER>(SQLULEN(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF));
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(m_dbc->get(), SQL_ATTR_AUTOCOMMIT, value, 0)))
        fail(*m_dbc, QStringLiteral("SQL_ATTR_AUTOCOMMIT"));
}

// Nested BEGIN TRAN counts as on SQL Server: only the outermost COMMIT commits.
void OdbcBackend::beginTransaction()
{
    if (!isOpen())
        failClosed();
    if (m_transactionDepth == 0) {
        applyIsolationLevel();
        setAutocommit(false);
    }
    ++m_transactionDepth;
}

void OdbcBackend::endTransaction(bool commitIt)
{
    m_transactionDepth = 0;
    m_transactionFailed = false;
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_dbc->get(), commitIt ? SQL_COMMIT : SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(rc)) {
        OdbcHandle &dbc = *m_dbc;
        std::vector<OdbcDiagnostic> keep = dbc.diagnostics();
        SQLEndTran(SQL_HANDLE_DBC, dbc.get(), SQL_ROLLBACK);
        SQLSetConnectAttr(dbc.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQLULEN(SQL_AUTOCOMMIT_ON)), 0);
        std::vector<BackendError> errors;
        for (const OdbcDiagnostic &d : keep)
            errors.push_back(OdbcErrorMap::map(m_platform, Phase::Executing, d));
        if (errors.empty() || connectionDead()) {
            errors.insert(
                errors.begin(),
                simpleError(errnum::GenericFailure, native::CommunicationLink, "08S01",
                            QStringLiteral("Se perdió la conexión con el servidor (%1).").arg(m_target.describe())));
        }
        throw BackendFailure(std::move(errors));
    }
    setAutocommit(true);
}

void OdbcBackend::commit()
{
    if (!isOpen())
        failClosed();
    if (m_transactionDepth == 0)
        throw BackendFailure(simpleError(errnum::CommandFailed, NativeCommitWithoutBegin, "25000",
                                         QStringLiteral("La solicitud COMMIT TRANSACTION no tiene la "
                                                        "correspondiente BEGIN TRANSACTION.")));
    if (m_transactionFailed) { // the driver rolled it back already: nothing of it is committed
        endTransaction(false);
        throw BackendFailure(simpleError(errnum::CommandFailed, 3930, "25P02",
                                         QStringLiteral("La transacción no se confirmó: una de sus instrucciones "
                                                        "falló y se revirtió entera.")));
    }
    if (--m_transactionDepth > 0)
        return;
    endTransaction(true);
}

void OdbcBackend::rollback()
{
    if (!isOpen())
        failClosed();
    if (m_transactionDepth == 0)
        throw BackendFailure(simpleError(errnum::CommandFailed, NativeRollbackWithoutBegin, "25000",
                                         QStringLiteral("La solicitud ROLLBACK TRANSACTION no tiene la "
                                                        "correspondiente BEGIN TRANSACTION.")));
    endTransaction(false);
}

void OdbcBackend::setIsolationLevel(int adoLevel)
{
    m_isolationLevel = adoLevel;
    if (isOpen() && m_transactionDepth == 0)
        applyIsolationLevel();
}

// psqlODBC takes it when it connects: the connection is opened again with it.
void OdbcBackend::setStatementRollback(bool on)
{
    if (on == m_statementRollback)
        return;
    if (m_transactionDepth > 0)
        throw BackendFailure(simpleError(errnum::CommandFailed, 0, "25000",
                                         QStringLiteral("No se puede cambiar el modo de reversión de las "
                                                        "instrucciones dentro de una transacción.")));
    m_statementRollback = on;
    if (isOpen() && m_platform == OdbcPlatform::PostgreSQL)
        open(ConnectionString(m_connection), m_user, m_password, m_loginTimeout);
}

void OdbcBackend::applyIsolationLevel()
{
    if (!isOpen())
        return;
    const SQLULEN level = m_isolationLevel == adXactReadUncommitted ? SQL_TXN_READ_UNCOMMITTED : SQL_TXN_READ_COMMITTED;
    // An engine without dirty reads (PostgreSQL, Oracle) reads committed data instead.
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(m_dbc->get(), SQL_ATTR_TXN_ISOLATION, reinterpret_cast<SQLPOINTER>(level), 0))
        && level != SQL_TXN_READ_COMMITTED)
        SQLSetConnectAttr(m_dbc->get(), SQL_ATTR_TXN_ISOLATION,
                          reinterpret_cast<SQLPOINTER>(SQLULEN(SQL_TXN_READ_COMMITTED)), 0);
}

// ------------------------------------------------------------------ databases and schema

void OdbcBackend::setDefaultDatabase(const QString &name)
{
    if (!isOpen())
        failClosed();
    const QString wanted = name.trimmed();
    if (wanted.isEmpty() || wanted.compare(m_defaultDatabase, Qt::CaseInsensitive) == 0)
        return;
    if (m_platform == OdbcPlatform::SqlServer) {
        if (!SQL_SUCCEEDED(SQLSetConnectAttrW(m_dbc->get(), SQL_ATTR_CURRENT_CATALOG, odbcText(wanted),
                                              SQLINTEGER(wanted.size() * sizeof(SQLWCHAR)))))
            fail(*m_dbc, QStringLiteral("SQL_ATTR_CURRENT_CATALOG"));
        m_defaultDatabase = wanted;
        return;
    }
    if (m_platform == OdbcPlatform::Oracle) {
        m_defaultDatabase = wanted;
        return;
    }
    // A PostgreSQL session belongs to one database: reconnect to the other one.
    QString text;
    const ConnectionString current = ConnectionString::parse(m_connectionText);
    for (const auto &item : current.items())
        if (item.first.compare(QLatin1String("Database"), Qt::CaseInsensitive) != 0
            && item.first.compare(QLatin1String("Initial Catalog"), Qt::CaseInsensitive) != 0)
            text += connectionPair(item.first, item.second);
    text += connectionPair(QStringLiteral("Database"), wanted);
    open(ConnectionString::parse(text), m_user, m_password, m_loginTimeout);
}

QStringList OdbcBackend::tables()
{
    auto statement = newStatement(-1);
    static const QString types = QStringLiteral("TABLE,VIEW");
    if (!SQL_SUCCEEDED(SQLTablesW(statement->get(), nullptr, 0, nullptr, 0, odbcText(QStringLiteral("%")), SQL_NTS,
                                  odbcText(types), SQL_NTS)))
        fail(*statement, QStringLiteral("SQLTables"));
    QStringList names;
    while (SQL_SUCCEEDED(SQLFetch(statement->get()))) {
        const QString schema = columnText(statement->get(), 2);
        if (schema.compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0
            || schema.compare(QLatin1String("INFORMATION_SCHEMA"), Qt::CaseInsensitive) == 0
            || schema.startsWith(QLatin1String("pg_"), Qt::CaseInsensitive))
            continue;
        names << columnText(statement->get(), 3);
    }
    return names;
}

std::vector<SchemaColumn> OdbcBackend::columns(const QString &table)
{
    const QString name = bareName(table);
    // PostgreSQL folds the unquoted names the system writes to lower case.
    if (m_platform == OdbcPlatform::PostgreSQL) {
        auto found = readColumns(name.toLower());
        if (!found.empty() || name == name.toLower())
            return found;
    }
    return readColumns(name);
}

std::vector<SchemaColumn> OdbcBackend::readColumns(const QString &table)
{
    auto statement = newStatement(-1);
    SQLWCHAR escape[8] = {};
    SQLSMALLINT length = 0;
    SQLGetInfoW(m_dbc->get(), SQL_SEARCH_PATTERN_ESCAPE, escape, sizeof(escape), &length);
    const QString pattern = escapePattern(table, fromOdbcText(escape, -1));
    if (!SQL_SUCCEEDED(SQLColumnsW(statement->get(), nullptr, 0, nullptr, 0, odbcText(pattern), SQL_NTS,
                                   odbcText(QStringLiteral("%")), SQL_NTS)))
        fail(*statement, QStringLiteral("SQLColumns"));
    std::vector<SchemaColumn> out;
    QString firstSchema;
    while (SQL_SUCCEEDED(SQLFetch(statement->get()))) {
        // The same name in another schema is another table.
        const QString schema = columnText(statement->get(), 2);
        if (out.empty())
            firstSchema = schema;
        else if (schema != firstSchema)
            continue;
        OdbcColumnDescription d{short(columnNumber(statement->get(), 5)), columnText(statement->get(), 6),
                                columnNumber(statement->get(), 7), short(columnNumber(statement->get(), 9))};
        SchemaColumn c;
        c.Name = columnText(statement->get(), 4);
        std::optional<OdbcColumnType> declared;
        if (m_platform == OdbcPlatform::PostgreSQL)
            declared = OdbcTypeMap::fromDeclared(declaredType(table, c.Name));
        const OdbcColumnType t = declared ? *declared : OdbcTypeMap::map(m_platform, d);
        c.Type = t.type;
        c.DefinedSize = t.definedSize;
        c.Nullable = columnNumber(statement->get(), 11) != SQL_NO_NULLS;
        c.Ordinal = int(columnNumber(statement->get(), 17));
        out.push_back(c);
    }
    std::sort(out.begin(), out.end(),
              [](const SchemaColumn &a, const SchemaColumn &b) { return a.Ordinal < b.Ordinal; });
    return out;
}

QStringList OdbcBackend::primaryKey(const QString &table)
{
    QString name = bareName(table);
    if (m_platform == OdbcPlatform::PostgreSQL)
        name = name.toLower();
    auto statement = newStatement(-1);
    if (!SQL_SUCCEEDED(SQLPrimaryKeysW(statement->get(), nullptr, 0, nullptr, 0, odbcText(name), SQL_NTS)))
        return {}; // unknown: rows are then identified by all their values
    std::vector<std::pair<long long, QString>> keys;
    while (SQL_SUCCEEDED(SQLFetch(statement->get())))
        keys.emplace_back(columnNumber(statement->get(), 5), columnText(statement->get(), 4));
    std::sort(keys.begin(), keys.end());
    QStringList out;
    for (const auto &key : keys)
        out << key.second;
    return out;
}

QString OdbcBackend::literal(const platform::Variant &value) const
{
    // PostgreSQL has no 0x... binary literal; bytea reads its hex form.
    if (m_platform == OdbcPlatform::PostgreSQL && value.kind() == platform::Variant::Kind::Bytes)
        return QStringLiteral("'\\x%1'::bytea").arg(QString::fromLatin1(value.toBytes().toHex()));
    // Plain '...' text is read in the server's code page: "Ω" would be stored as "?".
    if (m_platform == OdbcPlatform::SqlServer && value.kind() == platform::Variant::Kind::Text)
        return QLatin1Char('N') + Backend::literal(value);
    return Backend::literal(value);
}

long OdbcBackend::updateRow(const QString &table, const QStringList &columns, const Row &values,
                            const QStringList &keyColumns, const Row &keyValues)
{
    return changeOneRow([&] { return Backend::updateRow(table, columns, values, keyColumns, keyValues); });
}

long OdbcBackend::deleteRow(const QString &table, const QStringList &keyColumns, const Row &keyValues)
{
    return changeOneRow([&] { return Backend::deleteRow(table, keyColumns, keyValues); });
}

// Outside a transaction the change gets one of its own; inside the caller's, a savepoint
// (SQL Server's SAVE TRANSACTION needs a statement run first, so it is not used there).
long OdbcBackend::changeOneRow(const std::function<long()> &change)
{
    if (!isOpen())
        failClosed();
    if (m_transactionDepth == 0) {
        beginTransaction();
        long n = 0;
        try {
            n = change();
        } catch (...) {
            try {
                rollback();
            } catch (const BackendFailure &) {
                // the change's own error is the one to report
            }
            throw;
        }
        commit();
        return n;
    }
    if (m_platform == OdbcPlatform::SqlServer)
        return change();
    ResultSet ignored;
    std::vector<BackendError> warnings;
    runStatement(QStringLiteral("SAVEPOINT vk_row"), -1, ignored, warnings);
    long n = 0;
    try {
        n = change();
    } catch (...) {
        try {
            runStatement(QStringLiteral("ROLLBACK TO SAVEPOINT vk_row"), -1, ignored, warnings);
        } catch (const BackendFailure &) {
        }
        throw;
    }
    if (m_platform == OdbcPlatform::PostgreSQL)
        runStatement(QStringLiteral("RELEASE SAVEPOINT vk_row"), -1, ignored, warnings);
    return n;
}

QString OdbcBackend::quoteIdentifier(const QString &name) const
{
    // Statements go out in SQL Server's dialect (PostgreSQL's pass the translator).
    if (m_platform == OdbcPlatform::Oracle)
        return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return QLatin1Char('[') + QString(name).replace(QLatin1Char(']'), QStringLiteral("]]")) + QLatin1Char(']');
}

} // namespace ado
