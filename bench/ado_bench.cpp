// ado_bench: the cost of the ado layer over calling libsqlite3 directly.
//
// Four phases, each timed through the layer and directly on a database with the same table
// (as the layer defines it) and the same collations, best of five rounds on fresh files:
// - text INSERT / SELECT: N statements that arrive as text. Through the layer:
//   Connection::Execute and a Recordset whose every field is read as a Variant; directly:
//   each statement prepared from its text, stepped, read and finalized.
// - bound INSERT / SELECT ("?"): the same rows and keys through ado::Command, prepared once
//   with "?" markers and run with bound values; directly: one prepared statement, bound,
//   stepped, read and reset.
// The inserts of each side run inside one transaction, so that the disk's sync time does not
// hide the CPU cost; times are the thread's CPU time, and the two sides take turns every 500
// rows, so that other load on the machine weighs on both alike. The layer also converts every
// value by its column's type; the direct side stores them as given. Each ratio (time through
// the layer / time direct) has a bound; the program exits with 1 when one is missed. When
// IMAESTROS_PG_CONNSTR names a PostgreSQL database, the bound phases also run there through
// the layer and their rows per second are printed (no bound: the server dominates).
//
//     ado_bench [N]        (N defaults to 100000)

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/sqlite/SqliteFunctions.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRounds = 5;

const QString kCreate =
    QStringLiteral("CREATE TABLE ARTICULOS (ID INT NOT NULL PRIMARY KEY, CODIGO VARCHAR(20) NOT NULL, "
                   "DESCRIPCION VARCHAR(60), PRECIO FLOAT, STOCK INT)");
const QString kInsert =
    QStringLiteral("INSERT INTO ARTICULOS (ID, CODIGO, DESCRIPCION, PRECIO, STOCK) VALUES (?, ?, ?, ?, ?)");
const QString kSelect = QStringLiteral("SELECT ID, CODIGO, DESCRIPCION, PRECIO, STOCK FROM ARTICULOS WHERE ID = ?");

struct Article {
    int id;
    QString codigo, descripcion;
    double precio;
    int stock;
};

struct Workload {
    std::vector<Article> rows;
    std::vector<int> keys; // every row once, in a scattered order
    std::vector<QString> inserts, selects;
    std::vector<QByteArray> insertsUtf8, selectsUtf8;
};

Workload makeWorkload(int n)
{
    Workload w;
    for (int i = 1; i <= n; ++i) {
        Article a{i, QStringLiteral("A%1").arg(i), QStringLiteral("Artículo de prueba número %1").arg(i), i * 1.25,
                  i % 97};
        w.inserts.push_back(QStringLiteral("INSERT INTO ARTICULOS (ID, CODIGO, DESCRIPCION, PRECIO, STOCK) "
                                           "VALUES (%1, '%2', '%3', %4, %5)")
                                .arg(a.id)
                                .arg(a.codigo, a.descripcion)
                                .arg(a.precio, 0, 'f', 2)
                                .arg(a.stock));
        w.rows.push_back(a);
        const int key = int((long long)i * 7919 % n) + 1;
        w.keys.push_back(key);
        w.selects.push_back(QString(kSelect).replace(QLatin1Char('?'), QString::number(key)));
    }
    for (const QString &s : w.inserts)
        w.insertsUtf8.push_back(s.toUtf8());
    for (const QString &s : w.selects)
        w.selectsUtf8.push_back(s.toUtf8());
    return w;
}

QString connectionString(const QString &path)
{
    return QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(path);
}

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

// ---- direct libsqlite3 ----

// The table as the layer defines it (translated DDL), copied into the direct database.
QByteArray layerTableSql(ado::Connection &cnn)
{
    auto rs = cnn.Execute(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'ARTICULOS'"));
    return rs->field(0).Value().toString().toUtf8();
}

sqlite3 *openDirect(const QString &path, const QByteArray &tableSql)
{
    sqlite3 *db = nullptr;
    check(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), db,
          "open");
    check(ado::SqliteFunctions::registerAll(db), db, "functions");
    check(sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr), db, "pragma");
    check(sqlite3_exec(db, tableSql.constData(), nullptr, nullptr, nullptr), db, "create");
    return db;
}

void readRows(sqlite3 *db, sqlite3_stmt *stmt, long long &checksum)
{
    int rc;
    const int columns = sqlite3_column_count(stmt);
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                checksum += sqlite3_column_int64(stmt, c);
                break;
            case SQLITE_FLOAT:
                checksum += (long long)sqlite3_column_double(stmt, c);
                break;
            case SQLITE_TEXT:
                checksum += (unsigned char)sqlite3_column_text(stmt, c)[0];
                break;
            default:
                break;
            }
        }
    }
    check(rc, db, "step");
}

void runDirect(sqlite3 *db, const QByteArray &sql, long long &checksum)
{
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr), db, "prepare");
    readRows(db, stmt, checksum);
    sqlite3_finalize(stmt);
}

struct DirectStatement {
    sqlite3 *db;
    sqlite3_stmt *stmt = nullptr;
    DirectStatement(sqlite3 *d, const QString &sql) : db(d)
    {
        const QByteArray text = sql.toUtf8();
        check(sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr), db, "prepare");
    }
    ~DirectStatement() { sqlite3_finalize(stmt); }
    void run(long long &checksum)
    {
        readRows(db, stmt, checksum);
        sqlite3_reset(stmt);
    }
};

void bindText(sqlite3_stmt *stmt, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// ---- through the layer ----

void readLayer(const std::shared_ptr<ado::Recordset> &rs, long long &checksum)
{
    if (rs->State() != ado::adStateOpen)
        return;
    ado::Fields fields = rs->fields();
    const int columns = fields.Count();
    for (; !rs->EOF(); rs->MoveNext()) {
        for (int c = 0; c < columns; ++c) {
            const platform::Variant v = fields[c].Value();
            switch (v.kind()) {
            case platform::Variant::Kind::Int:
                checksum += v.toInt64();
                break;
            case platform::Variant::Kind::Double:
                checksum += (long long)v.toDouble();
                break;
            case platform::Variant::Kind::Text: {
                const QString text = v.toString();
                checksum += text.isEmpty() ? 0 : text.at(0).unicode();
                break;
            }
            default:
                break;
            }
        }
    }
}

std::unique_ptr<ado::Command> layerCommand(ado::Connection &cnn, const QString &sql, int parameters)
{
    auto cmd = std::make_unique<ado::Command>();
    cmd->setActiveConnection(&cnn);
    cmd->setCommandText(sql);
    for (int i = 0; i < parameters; ++i)
        cmd->Parameters().Append(cmd->CreateParameter(QStringLiteral("p%1").arg(i), ado::adVarChar));
    return cmd;
}

void insertBound(ado::Command &cmd, const Article &a)
{
    ado::Parameters &p = cmd.Parameters();
    p[0].setValue(a.id);
    p[1].setValue(a.codigo);
    p[2].setValue(a.descripcion);
    p[3].setValue(a.precio);
    p[4].setValue(a.stock);
    cmd.Execute();
}

// ---- phases ----

enum Phase { TextInsert, TextSelect, BoundInsert, BoundSelect, PhaseCount };
const char *const kPhaseNames[] = {"INSERT", "SELECT", "INSERT ?", "SELECT ?"};
const double kBounds[] = {1.5, 1.5, 1.3, 1.3};

struct Times {
    double direct[PhaseCount], layer[PhaseCount];
    Times()
    {
        std::fill(std::begin(direct), std::end(direct), std::numeric_limits<double>::max());
        std::fill(std::begin(layer), std::end(layer), std::numeric_limits<double>::max());
    }
};

// The thread's CPU time: other load on the machine does not change it as it changes the clock.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <typename F> double seconds(F &&f)
{
    const double start = cpuSeconds();
    f();
    return cpuSeconds() - start;
}

void keep(double &best, double value) { best = std::min(best, value); }

constexpr size_t kChunk = 500;

// Runs a phase on both sides in alternating chunks of rows, so that both meet the same
// machine load; adds each side's CPU time. `direct(i)` and `layer(i)` handle row i.
template <typename Direct, typename Layer>
void phase(size_t n, double &directBest, double &layerBest, Direct &&direct, Layer &&layer)
{
    double d = 0, l = 0;
    for (size_t from = 0; from < n; from += kChunk) {
        const size_t to = std::min(n, from + kChunk);
        d += seconds([&] {
            for (size_t i = from; i < to; ++i)
                direct(i);
        });
        l += seconds([&] {
            for (size_t i = from; i < to; ++i)
                layer(i);
        });
    }
    keep(directBest, d);
    keep(layerBest, l);
}

// One round on fresh files: each phase on both sides; checksums of what each side read.
void round(const Workload &w, Times &best, long long sums[2][2])
{
    QTemporaryDir dir;
    ado::Connection text, bound;
    text.Open(connectionString(dir.filePath(QStringLiteral("text.sqlite"))));
    bound.Open(connectionString(dir.filePath(QStringLiteral("bound.sqlite"))));
    text.Execute(kCreate);
    bound.Execute(kCreate);
    const QByteArray tableSql = layerTableSql(text);
    sqlite3 *db = openDirect(dir.filePath(QStringLiteral("direct.sqlite")), tableSql);
    sqlite3 *db2 = openDirect(dir.filePath(QStringLiteral("direct2.sqlite")), tableSql);
    const size_t n = w.rows.size();
    long long ignored = 0;

    runDirect(db, "BEGIN", ignored);
    text.Execute(QStringLiteral("BEGIN TRANSACTION"));
    phase(
        n, best.direct[TextInsert], best.layer[TextInsert], [&](size_t i) { runDirect(db, w.insertsUtf8[i], ignored); },
        [&](size_t i) { text.Execute(w.inserts[i]); });
    runDirect(db, "COMMIT", ignored);
    text.Execute(QStringLiteral("COMMIT TRANSACTION"));
    sums[0][0] = sums[0][1] = 0;
    phase(
        n, best.direct[TextSelect], best.layer[TextSelect],
        [&](size_t i) { runDirect(db, w.selectsUtf8[i], sums[0][0]); },
        [&](size_t i) { readLayer(text.Execute(w.selects[i]), sums[0][1]); });

    {
        runDirect(db2, "BEGIN", ignored);
        bound.BeginTrans();
        DirectStatement insert(db2, kInsert);
        auto command = layerCommand(bound, kInsert, 5);
        phase(
            n, best.direct[BoundInsert], best.layer[BoundInsert],
            [&](size_t i) {
                const Article &a = w.rows[i];
                sqlite3_bind_int(insert.stmt, 1, a.id);
                bindText(insert.stmt, 2, a.codigo);
                bindText(insert.stmt, 3, a.descripcion);
                sqlite3_bind_double(insert.stmt, 4, a.precio);
                sqlite3_bind_int(insert.stmt, 5, a.stock);
                insert.run(ignored);
            },
            [&](size_t i) { insertBound(*command, w.rows[i]); });
        runDirect(db2, "COMMIT", ignored);
        bound.CommitTrans();
    }
    sums[1][0] = sums[1][1] = 0;
    {
        DirectStatement select(db2, kSelect);
        auto command = layerCommand(bound, kSelect, 1);
        phase(
            n, best.direct[BoundSelect], best.layer[BoundSelect],
            [&](size_t i) {
                sqlite3_bind_int(select.stmt, 1, w.keys[i]);
                select.run(sums[1][0]);
            },
            [&](size_t i) {
                command->Parameters()[0].setValue(w.keys[i]);
                readLayer(command->Execute(), sums[1][1]);
            });
    }
    sqlite3_close(db);
    sqlite3_close(db2);
}

// The bound phases on PostgreSQL, through the layer: rows per second of each.
void postgreSqlFigures(const Workload &w, const QString &connection)
{
    const size_t n = std::min<size_t>(w.rows.size(), 5000);
    ado::Connection cnn;
    cnn.Open(connection);
    try {
        cnn.Execute(QStringLiteral("DROP TABLE ARTICULOS"));
    } catch (const ado::Exception &) {
        // not there yet
    }
    cnn.Execute(kCreate);
    const double insert = seconds([&] {
        cnn.BeginTrans();
        auto cmd = layerCommand(cnn, kInsert, 5);
        for (size_t i = 0; i < n; ++i)
            insertBound(*cmd, w.rows[i]);
        cnn.CommitTrans();
    });
    long long sum = 0;
    const double select = seconds([&] {
        auto cmd = layerCommand(cnn, kSelect, 1);
        for (size_t i = 0; i < n; ++i) {
            cmd->Parameters()[0].setValue(int((long long)(i + 1) * 7919 % n) + 1);
            readLayer(cmd->Execute(), sum);
        }
    });
    cnn.Execute(QStringLiteral("DROP TABLE ARTICULOS"));
    std::printf("\nPostgreSQL (%zu rows, through ado::Command): INSERT ? %.0f rows/s, SELECT ? %.0f rows/s\n", n,
                n / insert, n / select);
}

} // namespace

int main(int argc, char **argv)
{
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (n <= 0) {
        std::fprintf(stderr, "usage: ado_bench [statements]\n");
        return 2;
    }
    const Workload w = makeWorkload(n);
    Times best;
    long long sums[2][2] = {};
    try {
        for (int r = 0; r < kRounds; ++r)
            round(w, best, sums);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "ado_bench: %s\n", e.what());
        return 1;
    }
    std::printf("ado_bench: %d rows per phase, best of %d rounds.\n", n, kRounds);
    std::printf("Baseline: libsqlite3 called directly on the same table with the same collations: text\n"
                "statements prepared from their text, stepped, read and finalized; \"?\" phases prepared\n"
                "once, bound, stepped, read and reset. Inserts of both sides run in one transaction.\n\n");
    std::printf("%-9s %14s %14s %7s %7s\n", "phase", "direct rows/s", "ado rows/s", "ratio", "bound");
    bool within = true;
    for (int p = 0; p < PhaseCount; ++p) {
        const double ratio = best.layer[p] / best.direct[p];
        const bool ok = ratio <= kBounds[p];
        within = within && ok;
        std::printf("%-9s %14.0f %14.0f %7.2f %7.2f%s\n", kPhaseNames[p], n / best.direct[p], n / best.layer[p], ratio,
                    kBounds[p], ok ? "" : "  OUT OF BOUND");
    }
    std::printf("\nratio = time through ado / time direct\n");
    if (sums[0][0] != sums[0][1] || sums[1][0] != sums[1][1]) {
        std::fprintf(stderr, "ado_bench: the two sides read different data\n");
        return 1;
    }
    const QString pg = qEnvironmentVariable("IMAESTROS_PG_CONNSTR").trimmed();
    if (!pg.isEmpty()) {
        try {
            postgreSqlFigures(w, pg);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "ado_bench: PostgreSQL: %s\n", e.what());
            return 1;
        }
    }
    return within ? 0 : 1;
}
