#include "SqliteBackend.h"

#include "DateText.h"
#include "SqliteCommand.h"
#include "SqliteErrorMap.h"
#include "SqliteFunctions.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace ado {

namespace {

constexpr int kProgressSteps = 1000;          // VM steps between two looks at the clock
constexpr unsigned kBloomFilter = 0x00080000; // the engine's optimisation flags
constexpr unsigned kBloomPulldown = 0x00100000;

BackendError simpleError(long number, long native, const char *state, const QString &description)
{
    return BackendError{number, native, QString::fromLatin1(state), description};
}

// First keyword of a statement, upper case ("INSERT", "WITH"...).
QByteArray firstKeyword(const char *sql)
{
    const char *p = sql;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '(')
            ++p;
        if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n')
                ++p;
            continue;
        }
        if (p[0] == '/' && p[1] == '*') {
            const char *end = std::strstr(p + 2, "*/");
            p = end ? end + 2 : p + std::strlen(p);
            continue;
        }
        break;
    }
    const char *start = p;
    while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'))
        ++p;
    return QByteArray(start, p - start).toUpper();
}

platform::Variant textValue(sqlite3_stmt *stmt, int i)
{
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
    return platform::Variant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)));
}

platform::Variant storedValue(sqlite3_stmt *stmt, int i, int storage)
{
    switch (storage) {
    case SQLITE_INTEGER:
        return platform::Variant(static_cast<long long>(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return platform::Variant(sqlite3_column_double(stmt, i));
    case SQLITE_BLOB:
        return platform::Variant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, i)), sqlite3_column_bytes(stmt, i)));
    case SQLITE_NULL:
        return platform::Variant::null();
    default:
        return textValue(stmt, i);
    }
}

platform::Variant dateValue(sqlite3_stmt *stmt, int i, int storage)
{
    if (storage != SQLITE_TEXT)
        return storedValue(stmt, i, storage);
    const char *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
    if (const auto dt = DateText::toDateTime(text, sqlite3_column_bytes(stmt, i)))
        return platform::Variant(*dt);
    return textValue(stmt, i);
}

// One cell, typed by the column's declared type.
platform::Variant cellValue(sqlite3_stmt *stmt, int i, ValueClass cls)
{
    const int storage = sqlite3_column_type(stmt, i);
    if (storage == SQLITE_NULL)
        return platform::Variant::null();
    switch (cls) {
    case ValueClass::Text:
        return textValue(stmt, i);
    case ValueClass::Int:
        return storage == SQLITE_INTEGER ? storedValue(stmt, i, storage)
            : storage == SQLITE_FLOAT    ? platform::Variant(sqlite3_column_double(stmt, i))
                                         : storedValue(stmt, i, storage);
    case ValueClass::Double:
        return storage == SQLITE_INTEGER || storage == SQLITE_FLOAT ? platform::Variant(sqlite3_column_double(stmt, i))
                                                                    : storedValue(stmt, i, storage);
    case ValueClass::Bool:
        return storage == SQLITE_INTEGER || storage == SQLITE_FLOAT
            ? platform::Variant(sqlite3_column_double(stmt, i) != 0.0)
            : storedValue(stmt, i, storage);
    case ValueClass::Date:
    case ValueClass::Time:
        return dateValue(stmt, i, storage);
    case ValueClass::Bytes:
        if (storage == SQLITE_TEXT)
            return platform::Variant(QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                                sqlite3_column_bytes(stmt, i)));
        return storedValue(stmt, i, storage);
    case ValueClass::Dynamic:
        break;
    }
    return storedValue(stmt, i, storage);
}

bool isNormalisedDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}(\.\d{3})?$)"));
    return text.size() >= 19 && re.match(text).hasMatch();
}

// An expression column (no declared type) takes its type from its values.
void inferColumn(ColumnInfo &column, std::vector<Row> &rows, size_t index)
{
    using K = platform::Variant::Kind;
    const platform::Variant *first = nullptr;
    bool allDates = true;
    long longest = 1;
    for (const Row &row : rows) {
        const platform::Variant &v = row[index];
        if (v.isNull())
            continue;
        if (!first)
            first = &v;
        if (v.kind() == K::Text) {
            const QString text = v.toString();
            longest = std::max(longest, long(text.size()));
            allDates = allDates && isNormalisedDate(text);
        } else {
            allDates = false;
        }
    }
    if (!first) {
        column.Type = adInteger, column.DefinedSize = 4;
    } else if (first->kind() == K::Int) {
        const auto v = first->toInt64();
        const bool big = v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min();
        column.Type = big ? adBigInt : adInteger, column.DefinedSize = big ? 8 : 4;
    } else if (first->kind() == K::Double) {
        column.Type = adDouble, column.DefinedSize = 8;
    } else if (first->kind() == K::Bytes) {
        column.Type = adLongVarBinary, column.DefinedSize = 2147483647;
    } else if (allDates) {
        column.Type = adDBTimeStamp, column.DefinedSize = 8;
        for (Row &row : rows)
            if (!row[index].isNull()) {
                const QByteArray text = row[index].toString().toLatin1();
                row[index] = platform::Variant(*DateText::toDateTime(text.constData(), text.size()));
            }
    } else {
        column.Type = adVarChar, column.DefinedSize = longest;
    }
}

QString keyTerms(const SqliteBackend &backend, const QStringList &keyColumns)
{
    QStringList terms;
    for (const QString &c : keyColumns)
        terms << backend.quoteIdentifier(c) + QStringLiteral(" IS ?");
    return terms.join(QStringLiteral(" AND "));
}

} // namespace

namespace {

// A text as UTF-8 in `out`, reusing its room: most texts are plain ASCII and are copied as they are.
void writeUtf8(const QString &text, std::string &out)
{
    const qsizetype n = text.size();
    out.resize(size_t(n));
    const char16_t *in = reinterpret_cast<const char16_t *>(text.utf16());
    for (qsizetype i = 0; i < n; ++i) {
        if (in[i] >= 0x80) {
            const QByteArray utf8 = text.toUtf8();
            out.assign(utf8.constData(), size_t(utf8.size()));
            return;
        }
        out[size_t(i)] = char(in[i]);
    }
}

} // namespace

void SqliteBackend::bind(sqlite3_stmt *stmt, int index, const platform::Variant &v, std::string *keep)
{
    using K = platform::Variant::Kind;
    switch (v.kind()) {
    case K::Empty:
    case K::Null:
        sqlite3_bind_null(stmt, index);
        break;
    case K::Bool:
        sqlite3_bind_int(stmt, index, v.toBool() ? 1 : 0);
        break;
    case K::Int:
        sqlite3_bind_int64(stmt, index, v.toInt64());
        break;
    case K::Double:
        sqlite3_bind_double(stmt, index, v.toDouble());
        break;
    case K::DateTime: {
        const QDateTime dt = v.toDateTime();
        DateText::Parts p{dt.date().year(),   dt.date().month(),  dt.date().day(),  dt.time().hour(),
                          dt.time().minute(), dt.time().second(), dt.time().msec(), true};
        char text[DateText::kNormalisedMax];
        const int n = DateText::writeNormalised(p, text);
        if (keep) {
            keep->assign(text, size_t(n));
            sqlite3_bind_text(stmt, index, keep->data(), n, SQLITE_STATIC);
        } else {
            sqlite3_bind_text(stmt, index, text, n, SQLITE_TRANSIENT);
        }
        break;
    }
    case K::Bytes: {
        const QByteArray bytes = v.toBytes();
        sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    case K::Text: {
        if (keep) {
            writeUtf8(*v.text(), *keep);
            sqlite3_bind_text(stmt, index, keep->data(), int(keep->size()), SQLITE_STATIC);
            break;
        }
        const QByteArray text = v.toString().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

int sqliteProgress(void *self)
{
    auto *backend = static_cast<SqliteBackend *>(self);
    return backend->m_hasDeadline && std::chrono::steady_clock::now() > backend->m_deadline ? 1 : 0;
}

SqliteBackend::SqliteBackend() = default;

SqliteBackend::~SqliteBackend() { close(); }

void SqliteBackend::open(const ConnectionString &cs, const QString &, const QString &, int timeoutSeconds)
{
    if (m_db)
        throw BackendFailure(
            simpleError(errnum::ObjectOpen, 0, "HY000", QStringLiteral("La conexión ya está abierta.")));
    QString path = cs.value(QStringLiteral("Data Source")).trimmed();
    if (path.isEmpty())
        throw BackendFailure(simpleError(
            errnum::GenericFailure, 0, "IM002",
            QStringLiteral("La cadena de conexión de SQLite no indica el archivo (Data Source=<archivo>).")));
    const bool create =
        cs.value(QStringLiteral("Mode")).trimmed().compare(QLatin1String("Create"), Qt::CaseInsensitive) == 0;
    const bool memory = path == QLatin1String(":memory:");
    if (!memory && !create && !QFileInfo(path).isFile())
        throw BackendFailure(SqliteErrorMap::openFailure(path, QStringLiteral("el archivo no existe")));
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw BackendFailure(SqliteErrorMap::openFailure(path, msg));
    }
    m_db = db;
    m_path = path;
    m_lifetime = std::make_shared<int>(0);
    // Every statement waits for a locked file, the first one too: another run may be writing.
    m_busyTimeoutSeconds = -1;
    setDeadline(timeoutSeconds); // as long as the connection time-out
    m_hasDeadline = false;       // statements get their own deadline
    sqlite3_extended_result_codes(m_db, 1);
    // The engine's Bloom filter compares key bytes, not by the key's collation: under
    // VKTEXT it drops rows a join should find ('B' against 'b  ').
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, m_db, kBloomFilter | kBloomPulldown);
    // foreign_keys also proves the file is a database ("file is not a database" otherwise).
    // Reading the schema waits for a file another process keeps locked, up to the time-out.
    char *err = nullptr;
    if (sqlite3_exec(m_db, "PRAGMA foreign_keys = ON; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, &err)
            != SQLITE_OK
        || SqliteFunctions::registerAll(m_db) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db));
        const int code = sqlite3_extended_errcode(m_db);
        sqlite3_free(err);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_lifetime.reset();
        throw BackendFailure(SqliteErrorMap::openFailure(path, msg, code, std::max(timeoutSeconds, 0)));
    }
    sqlite3_progress_handler(m_db, kProgressSteps, sqliteProgress, this);
    m_tranCount = 0;
    m_engineEndedTransaction = false;
    m_catalog.setDatabase(m_db);
    m_translator.setCatalog(&m_catalog);
    m_translator.clear();
}

void SqliteBackend::close()
{
    if (!m_db)
        return;
    m_cache.clear();
    for (sqlite3_stmt **kept : {&m_begin, &m_commit}) {
        sqlite3_finalize(*kept);
        *kept = nullptr;
    }
    m_lifetime.reset();
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_tranCount = 0;
}

void SqliteBackend::requireOpen() const
{
    if (!m_db)
        throw BackendFailure(
            simpleError(errnum::ConnectionClosed, 0, "08003", QStringLiteral("La conexión está cerrada.")));
}

void SqliteBackend::fail(const QByteArray &sql) const
{
    throw BackendFailure(
        SqliteErrorMap::map(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)), sql));
}

void SqliteBackend::exec(const char *sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QByteArray(sql));
}

void SqliteBackend::execKept(sqlite3_stmt *&stmt, const char *sql)
{
    if (!stmt && sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        fail(QByteArray(sql));
    if (sqlite3_step(stmt) != SQLITE_DONE) {
        const BackendFailure failure(
            SqliteErrorMap::map(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)), sql));
        sqlite3_reset(stmt);
        throw failure;
    }
    sqlite3_reset(stmt);
}

void SqliteBackend::setDeadline(int timeoutSeconds)
{
    m_hasDeadline = timeoutSeconds > 0;
    if (m_hasDeadline)
        m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    // 0 waits for a lock without limit, as ADO does.
    const int busy = std::max(timeoutSeconds, 0);
    if (busy != m_busyTimeoutSeconds) {
        sqlite3_busy_timeout(m_db, busy > 0 ? busy * 1000 : std::numeric_limits<int>::max());
        m_busyTimeoutSeconds = busy;
    }
}

ResultSet SqliteBackend::execute(const QString &sql, int timeoutSeconds, std::vector<BackendError> &)
{
    requireOpen();
    // Statements of one shape compile once: their literals are bound as parameters.
    QList<TranslatedStatement> bound;
    std::vector<QStringView> literals;
    if (!sql.contains(QChar(0)) && m_translator.translateBound(sql, bound, literals)) {
        QList<TranslatedStatement> written; // the literal form, should a statement need it
        return runSteps(
            timeoutSeconds, int(bound.size()), [&](int i) { return bound[i].kind; },
            [&](int i, ResultSet &result, long &affected) {
                if (runShaped(bound[i].sql.toUtf8(), literals, result, affected))
                    return;
                if (written.isEmpty())
                    written = m_translator.translate(sql);
                runText(written[i].sql.toUtf8(), result, affected);
            });
    }
    const QList<TranslatedStatement> statements = m_translator.translate(sql);
    return runSteps(
        timeoutSeconds, int(statements.size()), [&](int i) { return statements[i].kind; },
        [&](int i, ResultSet &result, long &affected) { runText(statements[i].sql.toUtf8(), result, affected); });
}

namespace {

// A literal of a statement's text as the value it stands for.
void bindLiteral(sqlite3_stmt *stmt, int index, QStringView literal)
{
    if (literal.startsWith(u'\'')) {
        QString text = literal.mid(1, literal.size() - 2).toString();
        text.replace(QStringLiteral("''"), QStringLiteral("'"));
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    bool ok = false;
    if (!literal.contains(u'.')) {
        const qlonglong n = literal.toLongLong(&ok);
        if (ok) {
            sqlite3_bind_int64(stmt, index, n);
            return;
        }
    }
    sqlite3_bind_double(stmt, index, literal.toDouble()); // a decimal, or a whole number beyond 64 bits
}

} // namespace

// Runs one translated statement whose literals are the parameters ?1..?n; false when it
// must run in its literal form (it does not compile as one statement with parameters).
bool SqliteBackend::runShaped(const QByteArray &sql, const std::vector<QStringView> &literals, ResultSet &result,
                              long &affected)
{
    PreparedStatement *ps = m_cache.find(sql);
    if (!ps) {
        PreparedStatement fresh;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &fresh.stmt, &tail) != SQLITE_OK || !fresh.stmt
            || !firstKeyword(tail).isEmpty()) {
            sqlite3_finalize(fresh.stmt);
            return false;
        }
        classify(fresh);
        if (fresh.changesSchema) {
            sqlite3_finalize(fresh.stmt);
            return false;
        }
        ps = m_cache.insert(sql, std::move(fresh));
    }
    const int count = sqlite3_bind_parameter_count(ps->stmt);
    for (int i = 1; i <= count && i <= int(literals.size()); ++i)
        bindLiteral(ps->stmt, i, literals[size_t(i - 1)]);
    runPrepared(*ps, result, affected);
    return true;
}

std::unique_ptr<PreparedCommand> SqliteBackend::prepare(const QString &sql, const BoundKinds &kinds)
{
    requireOpen();
    return std::make_unique<SqliteCommand>(*this, sql, kinds);
}

ResultSet SqliteBackend::runSteps(int timeoutSeconds, int count, const std::function<Kind(int)> &kindOf,
                                  const std::function<void(int, ResultSet &, long &)> &run)
{
    requireOpen();
    setDeadline(timeoutSeconds);
    struct DeadlineGuard {
        bool &flag;
        ~DeadlineGuard() { flag = false; }
    } guard{m_hasDeadline};
    ResultSet result;
    long affected = -1;
    for (int i = 0; i < count; ++i) {
        switch (kindOf(i)) {
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
            run(i, result, affected);
            break;
        }
    }
    if (!result.hasRows)
        result.recordsAffected = affected;
    return result;
}

// The engine stops reading at a NUL: the rest would be dropped (or never reached).
void SqliteBackend::checkNoNul(const QByteArray &sql)
{
    if (const qsizetype nul = sql.indexOf('\0'); nul >= 0)
        throw BackendFailure(
            simpleError(errnum::CommandFailed, native::SyntaxError, "42000",
                        QStringLiteral("La instrucción contiene un carácter nulo (posición %1): \"%2\"")
                            .arg(nul + 1)
                            .arg(QString::fromUtf8(sql.left(nul)))));
}

// What a prepared statement does: counts changed rows, changes the schema.
void SqliteBackend::classify(PreparedStatement &ps)
{
    const QByteArray keyword = firstKeyword(sqlite3_sql(ps.stmt));
    ps.changesRows =
        keyword == "INSERT" || keyword == "UPDATE" || keyword == "DELETE" || keyword == "REPLACE" || keyword == "WITH";
    ps.changesSchema = keyword == "CREATE" || keyword == "ALTER" || keyword == "DROP";
}

// Runs every statement of `sql`; a text holding exactly one statement is kept prepared.
void SqliteBackend::runText(const QByteArray &sql, ResultSet &result, long &affected)
{
    checkNoNul(sql);
    if (PreparedStatement *cached = m_cache.find(sql)) {
        runPrepared(*cached, result, affected);
        return;
    }
    const char *start = sql.constData();
    const char *end = start + sql.size();
    while (start < end) {
        PreparedStatement ps;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(m_db, start, int(end - start), &ps.stmt, &tail) != SQLITE_OK)
            fail(QByteArray(start, end - start));
        if (!ps.stmt) { // blanks or a comment only
            start = tail;
            continue;
        }
        classify(ps);
        const bool wholeText = start == sql.constData() && (tail == end || firstKeyword(tail).isEmpty());
        if (wholeText && !ps.changesSchema) {
            runPrepared(*m_cache.insert(sql, std::move(ps)), result, affected);
            return;
        }
        struct Finalizer {
            sqlite3_stmt *s;
            ~Finalizer() { sqlite3_finalize(s); }
        } finalizer{ps.stmt};
        runPrepared(ps, result, affected);
        start = tail;
    }
}

void SqliteBackend::runPrepared(PreparedStatement &ps, ResultSet &result, long &affected)
{
    if (sqlite3_column_count(ps.stmt) > 0) {
        fetchRows(ps, result);
    } else {
        const int rc = sqlite3_step(ps.stmt);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            sqlite3_reset(ps.stmt);
            syncTransactionState();
            fail(QByteArray(sqlite3_sql(ps.stmt)));
        }
        sqlite3_reset(ps.stmt);
        if (ps.changesRows)
            affected = std::max(affected, 0L) + long(sqlite3_changes(m_db));
    }
    afterStatement(ps);
}

void SqliteBackend::describe(PreparedStatement &ps) const
{
    const int n = sqlite3_column_count(ps.stmt);
    ps.columns.resize(size_t(n));
    ps.classes.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        ColumnInfo &c = ps.columns[size_t(i)];
        c.Name = QString::fromUtf8(sqlite3_column_name(ps.stmt, i));
        const SqliteColumnType t = SqliteTypeMap::fromDeclared(sqlite3_column_decltype(ps.stmt, i));
        c.Type = t.type;
        c.DefinedSize = t.definedSize;
        ps.classes[size_t(i)] = t.valueClass;
        if (const char *table = sqlite3_column_table_name(ps.stmt, i))
            c.BaseTable = QString::fromUtf8(table);
        if (const char *origin = sqlite3_column_origin_name(ps.stmt, i))
            c.BaseColumn = QString::fromUtf8(origin);
    }
    ps.described = true;
}

void SqliteBackend::fetchRows(PreparedStatement &ps, ResultSet &result)
{
    if (!ps.described)
        describe(ps);
    result = ResultSet{};
    result.hasRows = true;
    result.columns = ps.columns;
    const int n = int(ps.columns.size());
    int rc;
    while ((rc = sqlite3_step(ps.stmt)) == SQLITE_ROW) {
        Row row;
        row.reserve(size_t(n));
        for (int i = 0; i < n; ++i)
            row.push_back(cellValue(ps.stmt, i, ps.classes[size_t(i)]));
        result.rows.push_back(std::move(row));
    }
    sqlite3_reset(ps.stmt);
    if (rc != SQLITE_DONE) {
        syncTransactionState();
        result = ResultSet{};
        fail(QByteArray(sqlite3_sql(ps.stmt)));
    }
    for (size_t i = 0; i < size_t(n); ++i)
        if (ps.classes[i] == ValueClass::Dynamic)
            inferColumn(result.columns[i], result.rows, i);
}

void SqliteBackend::afterStatement(const PreparedStatement &ps)
{
    syncTransactionState();
    if (!ps.changesSchema)
        return;
    m_cache.clear(); // cached statements may describe columns that changed
    ++m_schemaGeneration;
    m_catalog.clear();
    m_translator.clear();
}

// Raw "BEGIN"/"COMMIT" text and errors that end a transaction keep the count right.
void SqliteBackend::syncTransactionState()
{
    const bool autocommit = sqlite3_get_autocommit(m_db) != 0;
    if (autocommit && m_tranCount > 0) {
        m_tranCount = 0;
        m_engineEndedTransaction = true;
    } else if (!autocommit && m_tranCount == 0) {
        m_tranCount = 1;
    }
}

void SqliteBackend::beginTransaction()
{
    requireOpen();
    // IMMEDIATE takes the write lock now, waiting for it: two deferred transactions that
    // both read and then write would each wait for the other, and one would fail at once.
    if (m_tranCount == 0)
        execKept(m_begin, "BEGIN IMMEDIATE");
    ++m_tranCount;
    m_engineEndedTransaction = false;
}

void SqliteBackend::commit()
{
    requireOpen();
    syncTransactionState();
    if (m_tranCount == 0)
        throw BackendFailure(simpleError(
            errnum::CommandFailed, 3902, "25000",
            QStringLiteral("La solicitud COMMIT TRANSACTION no tiene la correspondiente BEGIN TRANSACTION.")));
    if (m_tranCount == 1)
        execKept(m_commit, "COMMIT");
    --m_tranCount;
}

void SqliteBackend::rollback()
{
    requireOpen();
    syncTransactionState();
    if (m_tranCount == 0) {
        if (m_engineEndedTransaction) { // the engine already rolled it back after an error
            m_engineEndedTransaction = false;
            return;
        }
        throw BackendFailure(simpleError(
            errnum::CommandFailed, 3903, "25000",
            QStringLiteral("La solicitud ROLLBACK TRANSACTION no tiene la correspondiente BEGIN TRANSACTION.")));
    }
    exec("ROLLBACK");
    m_tranCount = 0;
}

bool SqliteBackend::inTransaction() const { return m_db && sqlite3_get_autocommit(m_db) == 0; }

void SqliteBackend::setIsolationLevel(int adoLevel)
{
    requireOpen();
    exec(adoLevel == adXactReadUncommitted ? "PRAGMA read_uncommitted = 1" : "PRAGMA read_uncommitted = 0");
}

void SqliteBackend::setDefaultDatabase(const QString &name)
{
    m_defaultDatabase = name; // one database per file: the name is only remembered
}

QString SqliteBackend::defaultDatabase() const
{
    if (!m_defaultDatabase.isEmpty())
        return m_defaultDatabase;
    return m_path == QLatin1String(":memory:") ? QStringLiteral("main") : QFileInfo(m_path).completeBaseName();
}

QStringList SqliteBackend::tables()
{
    requireOpen();
    std::vector<BackendError> warnings;
    const ResultSet rs = execute(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                                                "AND substr(name,1,7) <> 'sqlite_' ORDER BY name"),
                                 0, warnings);
    QStringList names;
    for (const Row &row : rs.rows)
        names << row[0].toString();
    return names;
}

std::vector<SchemaColumn> SqliteBackend::columns(const QString &table)
{
    requireOpen();
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = "PRAGMA table_info(" + quoteIdentifier(table).toUtf8() + ")";
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        fail(sql);
    std::vector<SchemaColumn> result;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        SchemaColumn c;
        c.Ordinal = sqlite3_column_int(stmt, 0) + 1;
        c.Name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
        const SqliteColumnType t =
            SqliteTypeMap::fromDeclared(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2)));
        c.Type = t.type;
        c.DefinedSize = t.definedSize;
        c.Nullable = sqlite3_column_int(stmt, 3) == 0 && sqlite3_column_int(stmt, 5) == 0;
        result.push_back(c);
    }
    sqlite3_finalize(stmt);
    return result;
}

QStringList SqliteBackend::primaryKey(const QString &table)
{
    requireOpen();
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = "PRAGMA table_info(" + quoteIdentifier(table).toUtf8() + ")";
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        fail(sql);
    std::vector<std::pair<int, QString>> keys;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        if (const int pk = sqlite3_column_int(stmt, 5); pk > 0)
            keys.emplace_back(pk, QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))));
    sqlite3_finalize(stmt);
    std::sort(keys.begin(), keys.end());
    QStringList names;
    for (const auto &k : keys)
        names << k.second;
    return names;
}

QString SqliteBackend::quoteIdentifier(const QString &name) const
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// Runs one statement in SQL Server's dialect with "?" markers, its values converted by the
// columns' types as a command's are.
long SqliteBackend::runBound(const QString &sql, const Row &values)
{
    SqliteCommand command(*this, sql, {});
    BoundValues bound;
    for (const platform::Variant &v : values)
        bound.push_back(BoundValue{v, adVarWChar, 0});
    std::vector<BackendError> warnings;
    return command.execute(bound, 0, warnings).recordsAffected;
}

// Runs an UPDATE or DELETE that must touch exactly one row; undone otherwise.
long SqliteBackend::changeOneRow(const QString &table, const QString &sql, const Row &values)
{
    // Outside a transaction the savepoint opens one of its own: it must not be counted as
    // the caller's, or a BEGIN right after would open none.
    const int tranCount = m_tranCount;
    struct CountRestorer {
        SqliteBackend &self;
        int count;
        ~CountRestorer()
        {
            self.m_tranCount = count;
            self.syncTransactionState();
        }
    } restorer{*this, tranCount};
    exec("SAVEPOINT vk_row");
    long n = 0;
    try {
        n = runBound(sql, values);
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK TO vk_row; RELEASE vk_row", nullptr, nullptr, nullptr);
        throw;
    }
    if (n != 1) {
        exec("ROLLBACK TO vk_row; RELEASE vk_row");
        throw BackendFailure(
            simpleError(errnum::GenericFailure, 0, "HY000",
                        n == 0 ? QStringLiteral("No se encuentra la fila a modificar en la tabla '%1': sus valores "
                                                "cambiaron desde que se leyó.")
                                     .arg(table)
                               : QStringLiteral("La fila de la tabla '%1' no se identifica de forma única (%2 filas).")
                                     .arg(table)
                                     .arg(n)));
    }
    exec("RELEASE vk_row");
    return n;
}

long SqliteBackend::insertRow(const QString &table, const QStringList &columns, const Row &values)
{
    requireOpen();
    QStringList names, marks;
    for (const QString &c : columns) {
        names << quoteIdentifier(c);
        marks << QStringLiteral("?");
    }
    return runBound(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(quoteIdentifier(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                    values);
}

long SqliteBackend::updateRow(const QString &table, const QStringList &columns, const Row &values,
                              const QStringList &keyColumns, const Row &keyValues)
{
    requireOpen();
    QStringList sets;
    for (const QString &c : columns)
        sets << quoteIdentifier(c) + QStringLiteral(" = ?");
    Row all = values;
    all.insert(all.end(), keyValues.begin(), keyValues.end());
    return changeOneRow(table,
                        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                            .arg(quoteIdentifier(table), sets.join(QLatin1Char(',')), keyTerms(*this, keyColumns)),
                        all);
}

long SqliteBackend::deleteRow(const QString &table, const QStringList &keyColumns, const Row &keyValues)
{
    requireOpen();
    return changeOneRow(
        table, QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoteIdentifier(table), keyTerms(*this, keyColumns)),
        keyValues);
}

} // namespace ado
