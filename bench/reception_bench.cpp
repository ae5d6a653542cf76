// reception_bench: the unattended reception against plain loaders, on SQLite and PostgreSQL.
//
// SQLite: a generated package of N articles with P prices each (the articles, their unit
// equivalences, the price lists and the prices) is received unattended into a fresh
// embedded database, twice: the first reception inserts every row, the second updates
// them all. In the same run a plain loader - libsqlite3 called directly, every statement
// prepared once, one transaction, each line parsed once, a SELECT by key then an INSERT or
// an UPDATE - loads the same files into another fresh database of the same schema (the
// same tables, views, triggers and collations), twice as well: its rows per second are the
// ceiling. Bounds: the reception's rows per second at least 0.65 of the loader's on the
// first pass and 0.75 on the second, and the peak memory.
//
// PostgreSQL, when IMAESTROS_PG_CONNSTR names a database (scripts/pg-cluster.sh sets it): a
// package of the same shape (20,000 articles by default) is received unattended into empty
// tables and, alternating with it, loaded by a plain loader over psqlODBC - one prepared
// INSERT per row with its values bound (SQLPrepare once per table, SQLBindParameter and
// SQLExecute per row), statements prepared on the server, no savepoint per statement
// (UseServerSidePrepare=1, Protocol=7.4-1), one transaction - into the same tables, and by
// COPY FROM STDIN over libpq. Three rounds, the tables emptied before every run; the best
// run of each side counts. Bound: the reception's rows per second at least 1.0 of the
// loader's; the ratio to COPY is printed alone. The program's rows and the loader's are
// compared after each round.
//
//     reception_bench [--check] [--rounds N] [--pg-articles N] [articles] [prices per article]
//
// (100000 and 5 by default; PostgreSQL min(articles, 20000) and 3 rounds.) --check runs one
// round and checks the results only (the reception ends clean; on PostgreSQL the program
// stores the loader's rows): the figures and bounds are printed, a miss is not a failure.
// It exits 1 when a figure misses its bound, 2 on a wrong result or a failure.

#include "BenchSupport.h"

#include "tools/SamplePackage.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "package/LineReader.h"
#include "reception/RecepcionMaestros.h"
#include "reception/ReglasTablas.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"
#include "platform/ado/odbc/OdbcConnectionString.h"
#include "platform/ado/sqlite/SqliteFunctions.h"
#include "platform/suite/Estado.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"
#include "schema/Schema.h"
#include "schema/SuiteObjects.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifdef IMAESTROS_BENCH_LIBPQ
#include "PgConnection.h"

#include <libpq-fe.h>
#include <sql.h>
#include <sqlext.h>
#endif
#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

constexpr double kBoundFirst = 0.65;  // first reception (inserts) against the loader
constexpr double kBoundSecond = 0.75; // second reception (updates) against the loader
constexpr double kBoundMegabytes = 200.0;
constexpr double kBoundPg = 1.0; // PostgreSQL: the reception against the ODBC loader

// A result that is wrong, not slow.
struct WrongResult : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const QStringList kTables = {QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("S_TA_EQUIV"),
                             QStringLiteral("V_MA_PRECIOSCAB"), QStringLiteral("V_MA_PRECIOS")};

using bench::check;
using bench::Figure;
using bench::Options;
using bench::Statement;

// ---------------------------------------------------------------- the reception

Figure receive(const QString &connectionString)
{
    DB_Dll &db = gDB();
    db.OpenServerADODB(false, 3, connectionString, false, false);
    if (!db.gOpenFlag)
        throw std::runtime_error("cannot open the reception's database");
    recepcion::RecepcionMaestros reception(db);
    QElapsedTimer clock;
    clock.start();
    const recepcion::ResumenRecepcion r = reception.GeneraAutomatica();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("  %s\n", qPrintable(r.linea()));
    releaseSharedDatabases();
    if (r.fin != recepcion::FinRecepcion::Completa || r.rechazados != 0)
        throw WrongResult("the reception did not end clean");
    return Figure{r.leidos, seconds};
}

// ---------------------------------------------------------------- the plain loader

enum class Kind { Text, Number, Date };

struct LoaderTable {
    QStringList names;         // data positions
    std::vector<Kind> kinds;   // per data position
    std::vector<int> keyAt;    // per key column: data position
    std::vector<int> keyWidth; // right-aligned width
    Statement select, insert, update;
};

Kind kindOfDeclared(const QString &declared)
{
    const QString d = declared.toUpper();
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("TEXT")))
        return Kind::Text;
    if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME")))
        return Kind::Date;
    return Kind::Number;
}

class PlainLoader {
public:
    explicit PlainLoader(const QString &file)
    {
        check(sqlite3_open(file.toUtf8().constData(), &m_db), m_db, "open");
        check(ado::SqliteFunctions::registerAll(m_db), m_db, "functions");
    }
    ~PlainLoader() { sqlite3_close(m_db); }

    long load(const QString &folder)
    {
        const package::ControlFile control =
            package::ControlFile::read(platform::findFileNoCase(folder, package::controlFileName())).value();
        check(sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr), m_db, "begin");
        long rows = 0;
        for (const QString &table : kTables)
            rows += loadTable(folder, table, control.fieldNames(table));
        check(sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr), m_db, "commit");
        return rows;
    }

private:
    void prepare(Statement &s, const QString &sql)
    {
        check(sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &s.stmt, nullptr), m_db, "prepare");
    }

    void describe(const QString &table, const QStringList &fields, LoaderTable &t)
    {
        QHash<QString, QString> declared;
        Statement info;
        prepare(info, QStringLiteral("PRAGMA table_info(%1)").arg(table));
        while (sqlite3_step(info.stmt) == SQLITE_ROW)
            declared.insert(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.stmt, 1))).toUpper(),
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(info.stmt, 2))));
        for (const QString &f : fields) {
            if (f.compare(QLatin1String("TRANSMISION"), Qt::CaseInsensitive) == 0
                || f.compare(QLatin1String("RECEPCION"), Qt::CaseInsensitive) == 0)
                continue;
            t.names << f;
            t.kinds.push_back(kindOfDeclared(declared.value(f.toUpper())));
        }
        const recepcion::ReglaTabla *rule = recepcion::reglaTabla(table);
        QStringList where;
        for (const recepcion::TerminoClave &k : rule->claves) {
            t.keyAt.push_back(int(t.names.indexOf(k.columna.toUpper() == k.columna ? k.columna : k.columna)));
            for (int i = 0; i < t.names.size(); ++i)
                if (t.names[i].compare(k.columna, Qt::CaseInsensitive) == 0)
                    t.keyAt.back() = i;
            t.keyWidth.push_back(k.ancho);
            where << k.columna + QStringLiteral(" = ?");
        }
        QStringList marks, sets;
        for (const QString &n : t.names) {
            marks << QStringLiteral("?");
            sets << n + QStringLiteral(" = ?");
        }
        const QString condition = where.join(QStringLiteral(" AND "));
        prepare(t.select, QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(table, condition));
        prepare(t.insert,
                QStringLiteral("INSERT INTO %1 (%2, RECEPCION) VALUES (%3, 0)")
                    .arg(table, t.names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        prepare(t.update,
                QStringLiteral("UPDATE %1 SET %2, RECEPCION = 0 WHERE %3")
                    .arg(table, sets.join(QStringLiteral(", ")), condition));
    }

    static void bindValue(sqlite3_stmt *s, int index, const QString &value, Kind kind)
    {
        if (package::isNull(value)) {
            sqlite3_bind_null(s, index);
            return;
        }
        if (kind == Kind::Number) {
            sqlite3_bind_double(s, index, package::readNumber(value).value_or(0));
            return;
        }
        QByteArray text = value.toUtf8();
        if (kind == Kind::Date) {
            const std::optional<QDateTime> d = package::readDate(value);
            text = d ? d->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8() : QByteArray();
        }
        sqlite3_bind_text(s, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }

    long loadTable(const QString &folder, const QString &table, const QStringList &fields)
    {
        LoaderTable t;
        describe(table, fields, t);
        Statement erase;
        prepare(erase,
                QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA = 'V' AND IDLISTA = ? AND IDARTICULO = ?"));
        package::LineReader reader;
        if (!reader.open(platform::findFileNoCase(folder, package::dataFileName(table))).ok())
            throw std::runtime_error("no data file for " + table.toStdString());
        QString line;
        long rows = 0;
        while (reader.next(line)) {
            ++rows;
            if (const auto d = package::readPriceDeletion(line)) {
                bindValue(erase.stmt, 1, d->list, Kind::Text);
                bindValue(erase.stmt, 2, d->article, Kind::Text);
                check(sqlite3_step(erase.stmt), m_db, "delete");
                sqlite3_reset(erase.stmt);
                continue;
            }
            const QStringList values = package::readLine(line);
            for (size_t k = 0; k < t.keyAt.size(); ++k) {
                const QString key = values[t.keyAt[k]].trimmed();
                bindValue(t.select.stmt, int(k) + 1, t.keyWidth[k] > 0 ? key.rightJustified(t.keyWidth[k]) : key,
                          Kind::Text);
            }
            const bool exists = sqlite3_step(t.select.stmt) == SQLITE_ROW;
            sqlite3_reset(t.select.stmt);
            sqlite3_stmt *write = exists ? t.update.stmt : t.insert.stmt;
            for (int i = 0; i < t.names.size(); ++i)
                bindValue(write, i + 1, values[i], t.kinds[size_t(i)]);
            if (exists) {
                for (size_t k = 0; k < t.keyAt.size(); ++k) {
                    const QString key = values[t.keyAt[k]].trimmed();
                    bindValue(write, int(t.names.size() + qsizetype(k)) + 1,
                              t.keyWidth[k] > 0 ? key.rightJustified(t.keyWidth[k]) : key, Kind::Text);
                }
            }
            check(sqlite3_step(write), m_db, exists ? "update" : "insert");
            sqlite3_reset(write);
        }
        return rows;
    }

    sqlite3 *m_db = nullptr;
};

Figure loadPlain(const QString &file, const QString &folder)
{
    PlainLoader loader(file);
    QElapsedTimer clock;
    clock.start();
    const long rows = loader.load(folder);
    return Figure{rows, double(clock.nsecsElapsed()) / 1e9};
}

bool report(const char *what, const Figure &reception, const Figure &ceiling, const char *peer, double bound,
            const Options &o)
{
    const double ratio = reception.perSecond() / ceiling.perSecond();
    std::printf("%-30s reception %9.0f rows/s   %s %9.0f rows/s   ratio %.2f (bound %.2f) %s\n", what,
                reception.perSecond(), peer, ceiling.perSecond(), ratio, bound,
                bench::verdict(ratio >= bound, o.check));
    return ratio >= bound;
}

// ---------------------------------------------------------------- PostgreSQL

void freshSchema(const QString &connectionString)
{
    ado::Connection cnn;
    cnn.Open(connectionString);
    schema::dropSuiteObjects(cnn);
    const platform::Status made = schema::createSuiteDatabase(cnn);
    if (!made.ok())
        throw std::runtime_error(made.message().toStdString());
}

#ifdef IMAESTROS_BENCH_LIBPQ

// The peers' libpq connection, with what the comparisons read.
class Pg : public bench::PgConnection {
public:
    using PgConnection::PgConnection;

    // Every row of a query, its values joined by "|" ("<null>" for NULL), but for an ID
    // column (numbered by the table, in the order each side wrote).
    QStringList rows(const QString &sql)
    {
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_TUPLES_OK) {
            const std::string error = PQresultErrorMessage(r);
            PQclear(r);
            throw std::runtime_error("PostgreSQL: " + error + " (" + sql.toStdString() + ")");
        }
        QStringList out;
        for (int row = 0; row < PQntuples(r); ++row) {
            QStringList values;
            for (int c = 0; c < PQnfields(r); ++c)
                if (QByteArray(PQfname(r, c)).compare("id", Qt::CaseInsensitive) != 0)
                    values << (PQgetisnull(r, row, c) ? QStringLiteral("<null>")
                                                      : QString::fromUtf8(PQgetvalue(r, row, c)));
            out << values.join(QLatin1Char('|'));
        }
        PQclear(r);
        return out;
    }
    // The type of each column of `source`, by name (upper case).
    QHash<QString, Oid> types(const QString &source)
    {
        QHash<QString, Oid> out;
        for (const Column &c : columns(source))
            out.insert(c.name.toUpper(), c.type);
        return out;
    }
};

// What a table's lines hold, ready for a statement: the field list's data columns, their
// values as the server reads them (numbers with a point, dates as ISO, NULL as nullopt).
struct PgTable {
    QString name;
    QStringList columns; // the data columns, without RECEPCION and TRANSMISION
    std::vector<std::vector<std::optional<QString>>> rows;
    std::vector<std::pair<QString, QString>> deletions; // withdrawn prices: list, article
    long lines = 0;
};

enum class PgKind { Text, Number, Date };

PgKind pgKind(Oid type)
{
    switch (type) {
    case 16:   // bool
    case 20:   // int8
    case 21:   // int2
    case 23:   // int4
    case 700:  // float4
    case 701:  // float8
    case 790:  // money
    case 1700: // numeric
        return PgKind::Number;
    case 1082: // date
    case 1114: // timestamp
    case 1184: // timestamptz
        return PgKind::Date;
    default:
        return PgKind::Text;
    }
}

std::optional<QString> pgValue(const QString &field, PgKind kind)
{
    if (package::isNull(field))
        return std::nullopt;
    switch (kind) {
    case PgKind::Number: {
        const QString u = field.trimmed().toUpper();
        if (u == QLatin1String("TRUE") || u == QLatin1String("VERDADERO"))
            return QStringLiteral("1");
        if (u == QLatin1String("FALSE") || u == QLatin1String("FALSO"))
            return QStringLiteral("0");
        return QString::number(package::readNumber(field).value_or(0), 'g', 15);
    }
    case PgKind::Date: {
        if (field.trimmed().isEmpty())
            return std::nullopt;
        const std::optional<QDateTime> d = package::readDate(field);
        return d ? std::optional<QString>(d->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : std::nullopt;
    }
    case PgKind::Text:
        break;
    }
    return field;
}

std::vector<PgTable> readPackage(Pg &pg, const QString &folder)
{
    const package::ControlFile control =
        package::ControlFile::read(platform::findFileNoCase(folder, package::controlFileName())).value();
    std::vector<PgTable> tables;
    for (const QString &table : kTables) {
        PgTable t;
        t.name = table;
        const QHash<QString, Oid> types = pg.types(table);
        std::vector<PgKind> kinds;
        for (const QString &f : control.fieldNames(table)) {
            if (f.compare(QLatin1String("TRANSMISION"), Qt::CaseInsensitive) == 0
                || f.compare(QLatin1String("RECEPCION"), Qt::CaseInsensitive) == 0)
                continue;
            t.columns << f;
            kinds.push_back(pgKind(types.value(f.toUpper())));
        }
        package::LineReader reader;
        if (!reader.open(platform::findFileNoCase(folder, package::dataFileName(table))).ok())
            throw std::runtime_error("no data file for " + table.toStdString());
        QString line;
        while (reader.next(line)) {
            ++t.lines;
            if (const auto d = package::readPriceDeletion(line)) {
                t.deletions.emplace_back(d->list, d->article);
                continue;
            }
            // The fields as the reception's column rules leave them (DESDETRIGGER is always 1).
            const QStringList values = package::readLine(line);
            std::vector<std::optional<QString>> row;
            for (qsizetype i = 0; i < t.columns.size(); ++i) {
                const recepcion::DecisionColumna d =
                    recepcion::reglaColumna(table, t.columns[i], values.value(i), true);
                row.push_back(d.tomar ? pgValue(d.valor, kinds[size_t(i)]) : std::nullopt);
            }
            t.rows.push_back(std::move(row));
        }
        tables.push_back(std::move(t));
    }
    return tables;
}

// The plain loader over psqlODBC: plain ODBC calls, one prepared INSERT per table.
class OdbcLoader {
public:
    explicit OdbcLoader(const QString &adoConnectionString)
    {
        const ado::OdbcTarget target = ado::OdbcConnectionString::convert(
            ado::ConnectionString::parse(adoConnectionString), QString(), QString(), 30, false);
        if (!target.connectionString.contains(QLatin1String("UseServerSidePrepare=1"))
            || !target.connectionString.contains(QLatin1String("Protocol=7.4-1")))
            throw std::runtime_error("the ODBC connection string lacks UseServerSidePrepare=1;Protocol=7.4-1");
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        const QByteArray text = target.connectionString.toUtf8();
        SQLCHAR out[1024];
        SQLSMALLINT outLength = 0;
        ok(SQLDriverConnect(m_dbc, nullptr, reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.constData())), SQL_NTS,
                            out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT),
           SQL_HANDLE_DBC, m_dbc, "connect");
        ok(SQLSetConnectAttr(m_dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
           SQL_HANDLE_DBC, m_dbc, "autocommit off");
    }
    ~OdbcLoader()
    {
        SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    OdbcLoader(const OdbcLoader &) = delete;
    OdbcLoader &operator=(const OdbcLoader &) = delete;

    void load(const std::vector<PgTable> &tables)
    {
        for (const PgTable &t : tables) {
            if (!t.deletions.empty()) {
                Statement erase(m_dbc,
                                QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA = 'V' AND IDLISTA = ? "
                                               "AND IDARTICULO = ?"));
                for (const auto &[list, article] : t.deletions)
                    erase.run({list, article});
            }
            QStringList marks(t.columns.size(), QStringLiteral("?"));
            Statement insert(m_dbc,
                             QStringLiteral("INSERT INTO %1 (%2, RECEPCION) VALUES (%3, 0)")
                                 .arg(t.name, t.columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
            for (const auto &row : t.rows)
                insert.run(row);
        }
        ok(SQLEndTran(SQL_HANDLE_DBC, m_dbc, SQL_COMMIT), SQL_HANDLE_DBC, m_dbc, "commit");
    }

private:
    static void ok(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char *what)
    {
        if (SQL_SUCCEEDED(rc))
            return;
        SQLCHAR state[6] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
        throw std::runtime_error(std::string("ODBC ") + what + ": " + reinterpret_cast<const char *>(state) + " "
                                 + reinterpret_cast<const char *>(message));
    }

    class Statement {
    public:
        Statement(SQLHDBC dbc, const QString &sql)
        {
            SQLAllocHandle(SQL_HANDLE_STMT, dbc, &m_stmt);
            const QByteArray text = sql.toUtf8();
            ok(SQLPrepare(m_stmt, reinterpret_cast<SQLCHAR *>(const_cast<char *>(text.constData())), SQL_NTS),
               SQL_HANDLE_STMT, m_stmt, "prepare");
        }
        ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, m_stmt); }
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;

        void run(const std::vector<std::optional<QString>> &values)
        {
            m_buffers.resize(values.size());
            m_lengths.resize(values.size());
            for (size_t i = 0; i < values.size(); ++i) {
                std::u16string &b = m_buffers[i];
                if (values[i]) {
                    b.assign(reinterpret_cast<const char16_t *>(values[i]->utf16()), size_t(values[i]->size()));
                    m_lengths[i] = SQLLEN(b.size() * sizeof(char16_t));
                } else {
                    b.clear();
                    m_lengths[i] = SQL_NULL_DATA;
                }
                ok(SQLBindParameter(m_stmt, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                    std::max<SQLULEN>(1, b.size()), 0, b.data(), SQLLEN(b.size() * sizeof(char16_t)),
                                    &m_lengths[i]),
                   SQL_HANDLE_STMT, m_stmt, "bind");
            }
            const SQLRETURN rc = SQLExecute(m_stmt);
            if (rc != SQL_NO_DATA) // a DELETE that found nothing
                ok(rc, SQL_HANDLE_STMT, m_stmt, "execute");
        }
        void run(std::initializer_list<QString> values)
        {
            std::vector<std::optional<QString>> v(values.begin(), values.end());
            run(v);
        }

    private:
        SQLHSTMT m_stmt = SQL_NULL_HSTMT;
        std::vector<std::u16string> m_buffers;
        std::vector<SQLLEN> m_lengths;
    };

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
};

// COPY's text format: "\N" for NULL, backslash, tab and line ends escaped.
QByteArray copyData(const PgTable &t)
{
    QByteArray data;
    for (const auto &row : t.rows) {
        for (const std::optional<QString> &v : row) {
            if (!v) {
                data += "\\N";
            } else {
                QByteArray b = v->toUtf8();
                b.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
                data += b;
            }
            data += '\t';
        }
        data += "0\n"; // RECEPCION
    }
    return data;
}

// Where COPY writes a table's rows: the object itself, or for a plain view (one without
// INSTEAD OF triggers, which COPY cannot write through) the table under it.
QString copyTarget(Pg &pg, const QString &name)
{
    const QString lower = name.toLower();
    const QStringList plainView = pg.rows(
        QStringLiteral("SELECT u.table_name FROM information_schema.view_table_usage u WHERE u.view_name = '%1' "
                       "AND NOT EXISTS (SELECT 1 FROM pg_trigger g WHERE g.tgrelid = '%1'::regclass)")
            .arg(lower));
    return plainView.isEmpty() ? name : plainView.first();
}

void copyLoad(Pg &pg, const std::vector<PgTable> &tables)
{
    std::vector<QString> targets;
    for (const PgTable &t : tables)
        targets.push_back(copyTarget(pg, t.name));
    pg.exec(QStringLiteral("BEGIN"));
    for (size_t i = 0; i < tables.size(); ++i)
        pg.copyIn(QStringLiteral("COPY %1 (%2, RECEPCION) FROM STDIN")
                      .arg(targets[i], tables[i].columns.join(QStringLiteral(", "))),
                  [data = copyData(tables[i]), sent = false](QByteArray &chunk) mutable {
                      chunk = data; // the whole table in one piece
                      return !std::exchange(sent, true);
                  });
    pg.exec(QStringLiteral("COMMIT"));
}

// The four tables as stored, in key order.
std::vector<QStringList> stored(Pg &pg)
{
    std::vector<QStringList> out;
    for (const QString &table : kTables) {
        QStringList keys;
        for (const recepcion::TerminoClave &k : recepcion::reglaTabla(table)->claves)
            keys << k.columna;
        out.push_back(
            pg.rows(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, keys.join(QStringLiteral(", ")))));
    }
    return out;
}

// The program's rows against the loader's: the same keys and values. A value the loader
// stored NULL is not compared: the package's field read NULL, and the reception leaves such
// a column to the table's default.
void compare(const std::vector<QStringList> &program, const std::vector<QStringList> &loader)
{
    for (size_t t = 0; t < program.size(); ++t) {
        const QString table = kTables[qsizetype(t)];
        if (program[t].size() != loader[t].size())
            throw WrongResult(QStringLiteral("%1: the reception stored %2 rows, the loader %3")
                                  .arg(table)
                                  .arg(program[t].size())
                                  .arg(loader[t].size())
                                  .toStdString());
        for (qsizetype r = 0; r < program[t].size(); ++r) {
            const QStringList a = program[t][r].split(QLatin1Char('|'));
            const QStringList b = loader[t][r].split(QLatin1Char('|'));
            bool same = a.size() == b.size();
            for (qsizetype c = 0; same && c < a.size(); ++c)
                same = a[c] == b[c] || b[c] == QLatin1String("<null>");
            if (!same)
                throw WrongResult(QStringLiteral("%1: the reception stored\n  %2\nthe loader\n  %3")
                                      .arg(table, program[t][r], loader[t][r])
                                      .toStdString());
        }
    }
}

bool pgPhase(const Options &o, const QString &pgConnection, const QString &inbox, const QString &home)
{
    const int articles = o.pgArticles > 0 ? o.pgArticles : std::min(o.articles, 20000);
    samplepackage::Options options;
    options.articles = articles;
    options.pricesPerArticle = o.prices;
    const QString files = QDir(home).filePath(QStringLiteral("pg-files"));
    if (platform::Status s = samplepackage::writeFiles(files, options); !s.ok())
        throw std::runtime_error(s.message().toStdString());
    if (platform::Status s = samplepackage::generate(QDir(inbox).filePath(package::archiveName()), options); !s.ok())
        throw std::runtime_error(s.message().toStdString());

    freshSchema(pgConnection);
    std::vector<PgTable> tables;
    {
        Pg pg(pgConnection);
        tables = readPackage(pg, files);
    }
    long rows = 0;
    for (const PgTable &t : tables)
        rows += t.lines;
    std::printf("PostgreSQL: %d articles x %d prices (%ld rows of the four tables), %d round(s)\n", articles, o.prices,
                rows, o.rounds);
    Figure best{rows, 0}, bestLoader{rows, 0}, bestCopy{rows, 0};
    const auto keep = [](Figure &b, double seconds) {
        if (b.seconds == 0 || seconds < b.seconds)
            b.seconds = seconds;
    };
    for (int round = 1; round <= o.rounds; ++round) {
        freshSchema(pgConnection);
        const Figure received = receive(pgConnection);
        std::vector<QStringList> program;
        {
            Pg pg(pgConnection);
            program = stored(pg);
        }
        freshSchema(pgConnection);
        QElapsedTimer clock;
        {
            OdbcLoader loader(pgConnection);
            clock.start();
            loader.load(tables);
        }
        const double loaderSeconds = double(clock.nsecsElapsed()) / 1e9;
        {
            Pg pg(pgConnection);
            compare(program, stored(pg));
        }
        freshSchema(pgConnection);
        double copySeconds = 0;
        {
            Pg pg(pgConnection);
            clock.start();
            copyLoad(pg, tables);
            copySeconds = double(clock.nsecsElapsed()) / 1e9;
        }
        std::printf("  round %d: reception %.2f s, ODBC loader %.2f s, COPY %.2f s; stored rows equal\n", round,
                    received.seconds, loaderSeconds, copySeconds);
        keep(best, received.seconds);
        keep(bestLoader, loaderSeconds);
        keep(bestCopy, copySeconds);
    }
    const bool met = report("PostgreSQL reception (inserts)", best, bestLoader, "psqlODBC loader", kBoundPg, o);
    std::printf("%-30s reception %9.0f rows/s   COPY            %9.0f rows/s   ratio %.2f (no bound)\n", "",
                best.perSecond(), bestCopy.perSecond(), best.perSecond() / bestCopy.perSecond());
    return met;
}

#endif

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    platform::setOperatorService(std::make_shared<platform::UnattendedOperator>());
    platform::logger().addSink([](platform::Logger::Level, const QString &) {});
    QTemporaryDir home;
    platform::setProgramFolder(home.path());
    qputenv("IMAESTROS_ROOT", home.path().toUtf8());
    const QString inbox = QDir(home.path()).filePath(QStringLiteral("RECIBIR"));
    QDir().mkpath(inbox);
    try {
        const Options o = bench::parseOptions(QCoreApplication::arguments());
        samplepackage::Options options;
        options.articles = o.articles;
        options.pricesPerArticle = o.prices;
        std::printf("SQLite: %d articles x %d prices\n", o.articles, o.prices);
        const platform::Status made = samplepackage::generate(QDir(inbox).filePath(package::archiveName()), options);
        if (!made.ok())
            throw std::runtime_error(made.message().toStdString());

        const QString received = QDir(home.path()).filePath(QStringLiteral("recepcion.db"));
        const QString plain = QDir(home.path()).filePath(QStringLiteral("plano.db"));
        const QString sqlite = QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create");
        bench::createSuiteDatabase(sqlite.arg(received));
        bench::createSuiteDatabase(sqlite.arg(plain));

        const Figure first = receive(sqlite.arg(received));
        const Figure second = receive(sqlite.arg(received));
        // The loader reads the same files, written unpacked: the reception extracts its copy
        // into a folder of its own and removes it.
        const QString files = QDir(home.path()).filePath(QStringLiteral("plano-archivos"));
        if (const platform::Status written = samplepackage::writeFiles(files, options); !written.ok())
            throw std::runtime_error(written.message().toStdString());
        const Figure plainFirst = loadPlain(plain, files);
        const Figure plainSecond = loadPlain(plain, files);

        // Both sides are measured on the rows of the same four tables (the reception also
        // reads the lines of B_CODIGOS and B_ALIAS, in its own time).
        const Figure firstRows{plainFirst.rows, first.seconds};
        const Figure secondRows{plainSecond.rows, second.seconds};
        bool met = report("first reception (inserts)", firstRows, plainFirst, "libsqlite3 loader", kBoundFirst, o);
        met =
            report("second reception (updates)", secondRows, plainSecond, "libsqlite3 loader", kBoundSecond, o) && met;
        const double peak = bench::peakMegabytes();
        std::printf("peak memory %.1f MB (bound %.0f MB) %s\n", peak, kBoundMegabytes,
                    bench::verdict(peak < kBoundMegabytes, o.check));
        met = met && peak < kBoundMegabytes;

        const QString pg = qEnvironmentVariable("IMAESTROS_PG_CONNSTR").trimmed();
        if (pg.isEmpty()) {
            std::printf("PostgreSQL: IMAESTROS_PG_CONNSTR not set, not measured\n");
        } else {
#ifdef IMAESTROS_BENCH_LIBPQ
            met = pgPhase(o, pg, inbox, home.path()) && met;
#else
            throw WrongResult("IMAESTROS_PG_CONNSTR is set, but this build has no libpq (install libpq-dev)");
#endif
        }
        if (o.check) {
            std::printf("check run: the results are right; the bounds are not enforced\n");
            return 0;
        }
        return met ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "reception_bench: %s\n", e.what());
        return 2;
    }
}
