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
// the layer, with and without statement rollback, with a read of every row, and their rows per
// second by the wall clock are printed (no bound: the server dominates). A phase of rows with a
// date (bound, converted, read back) prints its figures too, without a bound. Last, a typical
// statement of the forms is translated for PostgreSQL again and again: microseconds per
// statement, with a bound of its own.
//
//     ado_bench [N]        (N defaults to 100000)

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlTranslator.h"
#include "platform/ado/sqlite/SqliteFunctions.h"

#include <QDateTime>
#include <QElapsedTimer>
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

// ---- dates (figures only) ----

// Rows with a date: bound INSERT and a read of every row, through the layer (each value converted
// and read back as a date) and directly (the date's stored text as it is). Best of the rounds.
struct DateFigures {
    double direct[2], layer[2];
    DateFigures()
    {
        std::fill(std::begin(direct), std::end(direct), std::numeric_limits<double>::max());
        std::fill(std::begin(layer), std::end(layer), std::numeric_limits<double>::max());
    }
};

const QString kCreateDates = QStringLiteral("CREATE TABLE FECHAS (ID INT NOT NULL PRIMARY KEY, FECHA DATETIME)");
const QString kInsertDate = QStringLiteral("INSERT INTO FECHAS (ID, FECHA) VALUES (?, ?)");

QDateTime dateOf(size_t i)
{
    return QDateTime(QDate(2000 + int(i % 25), int(i % 12) + 1, int(i % 28) + 1),
                     QTime(int(i % 24), int(i % 60), int(i % 59)));
}

void dateRound(size_t n, DateFigures &best)
{
    QTemporaryDir dir;
    ado::Connection cnn;
    cnn.Open(connectionString(dir.filePath(QStringLiteral("dates.sqlite"))));
    cnn.Execute(kCreateDates);
    auto rs = cnn.Execute(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'FECHAS'"));
    sqlite3 *db = openDirect(dir.filePath(QStringLiteral("direct.sqlite")), rs->field(0).Value().toString().toUtf8());
    std::vector<QByteArray> texts;
    for (size_t i = 0; i < n; ++i)
        texts.push_back(dateOf(i).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8());
    long long ignored = 0, sumDirect = 0, sumLayer = 0;
    {
        runDirect(db, "BEGIN", ignored);
        cnn.BeginTrans();
        DirectStatement insert(db, kInsertDate);
        auto command = layerCommand(cnn, kInsertDate, 2);
        phase(
            n, best.direct[0], best.layer[0],
            [&](size_t i) {
                sqlite3_bind_int(insert.stmt, 1, int(i));
                sqlite3_bind_text(insert.stmt, 2, texts[i].constData(), int(texts[i].size()), SQLITE_STATIC);
                insert.run(ignored);
            },
            [&](size_t i) {
                command->Parameters()[0].setValue(int(i));
                command->Parameters()[1].setValue(dateOf(i));
                command->Execute();
            });
        runDirect(db, "COMMIT", ignored);
        cnn.CommitTrans();
    }
    keep(best.direct[1], seconds([&] { runDirect(db, "SELECT ID, FECHA FROM FECHAS", sumDirect); }));
    keep(best.layer[1], seconds([&] {
             auto all = cnn.Execute(QStringLiteral("SELECT ID, FECHA FROM FECHAS"));
             ado::Fields fields = all->fields();
             for (; !all->EOF(); all->MoveNext())
                 sumLayer += fields[0].Value().toInt64() + fields[1].Value().toDateTime().date().day();
         }));
    sqlite3_close(db);
}

// ---- LIKE (figures only) ----

// The lookup's searches over the articles: a pattern anywhere in the text (like-mode's
// '%tornillo%8%') and one with a fixed start, which an index on the column serves. Through the
// layer (LIKE as SQL Server reads it) and directly with the engine's own LIKE; milliseconds
// per search, the best of the rounds.
struct LikeFigures {
    double direct[2], layer[2];
    LikeFigures()
    {
        std::fill(std::begin(direct), std::end(direct), std::numeric_limits<double>::max());
        std::fill(std::begin(layer), std::end(layer), std::numeric_limits<double>::max());
    }
};
const char *const kLikePatterns[] = {"%prueba número 9%9%", "Artículo de prueba número 99%"};
constexpr int kSearches = 10;

void likeRound(const Workload &w, LikeFigures &best)
{
    QTemporaryDir dir;
    ado::Connection cnn;
    cnn.Open(connectionString(dir.filePath(QStringLiteral("like.sqlite"))));
    cnn.Execute(kCreate);
    cnn.BeginTrans();
    {
        auto cmd = layerCommand(cnn, kInsert, 5);
        for (const Article &a : w.rows)
            insertBound(*cmd, a);
    }
    cnn.CommitTrans();
    cnn.Execute(QStringLiteral("CREATE INDEX IX_ART_DESCRIPCION ON ARTICULOS (DESCRIPCION)"));
    cnn.Close();
    sqlite3 *db = nullptr;
    check(sqlite3_open_v2(dir.filePath(QStringLiteral("like.sqlite")).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE,
                          nullptr),
          db, "open");
    check(ado::SqliteFunctions::registerAll(db), db, "functions");
    // the engine's own LIKE again (ASCII case ignored), with its index optimisation
    check(sqlite3_exec(db, "PRAGMA case_sensitive_like = 0", nullptr, nullptr, nullptr), db, "like");
    cnn.Open(connectionString(dir.filePath(QStringLiteral("like.sqlite"))));
    long long a = 0, b = 0;
    for (int p = 0; p < 2; ++p) {
        const QString sql = QStringLiteral("SELECT COUNT(*) FROM ARTICULOS WHERE DESCRIPCION LIKE '%1'")
                                .arg(QString::fromUtf8(kLikePatterns[p]));
        const QByteArray direct = sql.toUtf8();
        keep(best.direct[p],
             seconds([&] {
                 for (int k = 0; k < kSearches; ++k)
                     runDirect(db, direct, a);
             }) / kSearches);
        keep(best.layer[p],
             seconds([&] {
                 for (int k = 0; k < kSearches; ++k)
                     readLayer(cnn.Execute(sql), b);
             }) / kSearches);
    }
    sqlite3_close(db);
}

// ---- PostgreSQL (figures only: the server's time counts, so the clock is the wall's) ----

double wallSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

template <typename F> double wall(F &&f)
{
    const double start = wallSeconds();
    f();
    return wallSeconds() - start;
}

const QString kCreatePg =
    QStringLiteral("CREATE TABLE ARTICULOS (ID INT NOT NULL PRIMARY KEY, CODIGO VARCHAR(20) NOT NULL, "
                   "DESCRIPCION VARCHAR(60), PRECIO FLOAT, STOCK INT, FECHA DATETIME)");
const QString kInsertPg =
    QStringLiteral("INSERT INTO ARTICULOS (ID, CODIGO, DESCRIPCION, PRECIO, STOCK, FECHA) VALUES (?, ?, ?, ?, ?, ?)");

void dropArticles(ado::Connection &cnn)
{
    try {
        cnn.Execute(QStringLiteral("DROP TABLE ARTICULOS"));
    } catch (const ado::Exception &) {
        // not there yet
    }
}

// Rows per second of n bound inserts in one transaction.
double pgInserts(ado::Connection &cnn, const Workload &w, size_t n)
{
    dropArticles(cnn);
    cnn.Execute(kCreatePg);
    return n / wall([&] {
               cnn.BeginTrans();
               auto cmd = layerCommand(cnn, kInsertPg, 6);
               for (size_t i = 0; i < n; ++i) {
                   cmd->Parameters()[5].setValue(dateOf(i));
                   insertBound(*cmd, w.rows[i]);
               }
               cnn.CommitTrans();
           });
}

// The bound phases and a read of every row on PostgreSQL, through the layer.
void postgreSqlFigures(const Workload &w, const QString &connection)
{
    const size_t n = std::min<size_t>(w.rows.size(), 20000);
    const size_t keys = std::min<size_t>(n, 5000);
    ado::Connection cnn, bulk;
    cnn.Open(connection);
    bulk.setStatementRollback(false);
    bulk.Open(connection);
    const double bulkInsert = pgInserts(bulk, w, n);
    const double insert = pgInserts(cnn, w, n);
    long long sum = 0;
    const double select = keys / wall([&] {
                              auto cmd = layerCommand(cnn, kSelect, 1);
                              for (size_t i = 0; i < keys; ++i) {
                                  cmd->Parameters()[0].setValue(int((long long)(i + 1) * 7919 % n) + 1);
                                  readLayer(cmd->Execute(), sum);
                              }
                          });
    double read = std::numeric_limits<double>::max();
    for (int r = 0; r < 3; ++r)
        read = std::min(read, wall([&] {
                            auto rs = cnn.Execute(QStringLiteral(
                                "SELECT ID, CODIGO, DESCRIPCION, PRECIO, STOCK, FECHA FROM ARTICULOS ORDER BY ID"));
                            readLayer(rs, sum);
                        }));
    dropArticles(cnn);
    std::printf("\nPostgreSQL through the layer (wall clock, figures only):\n"
                "  INSERT ? (%zu rows, one transaction)              %9.0f rows/s\n"
                "  INSERT ? without statement rollback (prepared)    %9.0f rows/s\n"
                "  SELECT ? by key (%zu keys)                         %9.0f rows/s\n"
                "  SELECT of every row (%zu rows, 6 columns)         %9.0f rows/s\n",
                n, insert, bulkInsert, keys, select, n, n / read);
}

// Microseconds to translate a typical lookup statement for PostgreSQL, best of the rounds; an
// empty result or one still in the source's dialect is a wrong result.
constexpr double kTranslateBoundMicroseconds = 100.0;

double translateMicroseconds()
{
    const QString sql = QStringLiteral(
        "SELECT TOP 1  * FROM V_MA_ARTICULOS with(nolock)  WHERE LTRIM(RTRIM(IDARTICULO)) ='A1' AND "
        "ISNULL(SUSPENDIDO,0) = 0 AND [Descripcion] LIKE N'%tornillo%' AND LEN(CODIGO) > 2 ORDER BY DESCRIPCION");
    const ado::SqlTranslator translator(ado::Dialect::PostgreSQL);
    const QString translated = translator.translate(sql).front().sql;
    if (!translated.contains(QLatin1String("LIMIT 1")) || translated.contains(QLatin1String("ISNULL")))
        throw std::runtime_error("translation: unexpected result " + translated.toStdString());
    const int statements = 2000;
    double best = std::numeric_limits<double>::max();
    for (int r = 0; r < kRounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        qsizetype total = 0;
        for (int k = 0; k < statements; ++k)
            total += translator.translate(sql).front().sql.size();
        if (total != translated.size() * statements)
            throw std::runtime_error("translation: results differ between runs");
        best = std::min(best, double(timer.nsecsElapsed()) / 1000.0 / statements);
    }
    return best;
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
    DateFigures dates;
    LikeFigures likes;
    long long sums[2][2] = {};
    double translate = 0;
    try {
        for (int r = 0; r < kRounds; ++r) {
            round(w, best, sums);
            dateRound(size_t(n), dates);
            likeRound(w, likes);
        }
        translate = translateMicroseconds();
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
    std::printf("\nDates (figures only): a DATETIME bound and converted, then every row read back as a date:\n");
    const char *const dateNames[] = {"INSERT ?", "SELECT"};
    for (int p = 0; p < 2; ++p)
        std::printf("%-9s %14.0f %14.0f %7.2f\n", dateNames[p], n / dates.direct[p], n / dates.layer[p],
                    dates.layer[p] / dates.direct[p]);
    std::printf("\nLIKE over %d articles (figures only), ms per search, the engine's own LIKE / the layer's:\n", n);
    for (int p = 0; p < 2; ++p)
        std::printf("  %-32s %8.2f %8.2f\n", kLikePatterns[p], likes.direct[p] * 1000, likes.layer[p] * 1000);
    const bool translateOk = translate <= kTranslateBoundMicroseconds;
    within = within && translateOk;
    std::printf("\nTranslation of a typical statement for PostgreSQL: %.1f us per statement (bound %.0f)%s\n",
                translate, kTranslateBoundMicroseconds, translateOk ? "" : "  OUT OF BOUND");
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
