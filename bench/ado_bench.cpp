// ado_bench: the cost of the ado layer over calling libsqlite3 directly.
//
// The same N text INSERT statements and N SELECT-by-key statements run once through
// ado::Connection::Execute / Recordset (every field of every row read as a Variant) and once
// through libsqlite3 directly, each statement prepared from its text, stepped, read and
// finalized - the fair baseline for statements that arrive as text. Both databases hold the
// same table definition (as the layer creates it) and the same collation functions; the
// inserts of each side run inside one transaction, so that the disk's sync time does not hide
// the CPU cost. Each measurement is the best of five rounds on fresh files.
//
//     ado_bench [N]        (N defaults to 100000)

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/sqlite/SqliteFunctions.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRounds = 5;

const QString kCreate =
    QStringLiteral("CREATE TABLE ARTICULOS (ID INT NOT NULL PRIMARY KEY, CODIGO VARCHAR(20) NOT NULL, "
                   "DESCRIPCION VARCHAR(60), PRECIO FLOAT, STOCK INT)");

struct Workload {
    std::vector<QString> inserts, selects;
    std::vector<QByteArray> insertsUtf8, selectsUtf8;
};

Workload makeWorkload(int n)
{
    Workload w;
    for (int i = 1; i <= n; ++i) {
        w.inserts.push_back(QStringLiteral("INSERT INTO ARTICULOS (ID, CODIGO, DESCRIPCION, PRECIO, STOCK) "
                                           "VALUES (%1, 'A%1', 'Artículo de prueba número %1', %2, %3)")
                                .arg(i)
                                .arg(i * 1.25, 0, 'f', 2)
                                .arg(i % 97));
        // keys in a scattered order, every row once
        const int key = int((long long)i * 7919 % n) + 1;
        w.selects.push_back(
            QStringLiteral("SELECT ID, CODIGO, DESCRIPCION, PRECIO, STOCK FROM ARTICULOS WHERE ID = %1").arg(key));
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

// The table as the layer defines it (translated DDL), copied into the direct database.
QByteArray layerTableSql(const QString &path)
{
    ado::Connection cnn;
    cnn.Open(connectionString(path));
    cnn.Execute(kCreate);
    auto rs = cnn.Execute(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'ARTICULOS'"));
    return rs->field(0).Value().toString().toUtf8();
}

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

// ---- direct libsqlite3 ----

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

void runDirect(sqlite3 *db, const QByteArray &sql, long long &checksum)
{
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr), db, "prepare");
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
    sqlite3_finalize(stmt);
}

// ---- through the layer ----

void runLayer(ado::Connection &cnn, const QString &sql, long long &checksum)
{
    auto rs = cnn.Execute(sql);
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

struct Times {
    double directInsert = std::numeric_limits<double>::max(), layerInsert = directInsert;
    double directSelect = directInsert, layerSelect = directInsert;
};

template <typename F> double seconds(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e9;
}

void round(const Workload &w, Times &best, long long &checksumDirect, long long &checksumLayer)
{
    QTemporaryDir dir;
    const QString layerPath = dir.filePath(QStringLiteral("layer.sqlite"));
    const QByteArray tableSql = layerTableSql(layerPath);
    sqlite3 *db = openDirect(dir.filePath(QStringLiteral("direct.sqlite")), tableSql);
    ado::Connection cnn;
    cnn.Open(connectionString(layerPath));
    const size_t n = w.inserts.size();

    best.directInsert = std::min(best.directInsert, seconds([&] {
                                     long long ignored = 0;
                                     runDirect(db, "BEGIN", ignored);
                                     for (size_t i = 0; i < n; ++i)
                                         runDirect(db, w.insertsUtf8[i], ignored);
                                     runDirect(db, "COMMIT", ignored);
                                 }));
    best.layerInsert = std::min(best.layerInsert, seconds([&] {
                                    long long ignored = 0;
                                    cnn.Execute(QStringLiteral("BEGIN TRANSACTION"));
                                    for (size_t i = 0; i < n; ++i)
                                        runLayer(cnn, w.inserts[i], ignored);
                                    cnn.Execute(QStringLiteral("COMMIT TRANSACTION"));
                                }));
    checksumDirect = checksumLayer = 0;
    best.directSelect = std::min(best.directSelect, seconds([&] {
                                     for (size_t i = 0; i < n; ++i)
                                         runDirect(db, w.selectsUtf8[i], checksumDirect);
                                 }));
    best.layerSelect = std::min(best.layerSelect, seconds([&] {
                                    for (size_t i = 0; i < n; ++i)
                                        runLayer(cnn, w.selects[i], checksumLayer);
                                }));
    sqlite3_close(db);
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
    long long checksumDirect = 0, checksumLayer = 0;
    try {
        for (int r = 0; r < kRounds; ++r)
            round(w, best, checksumDirect, checksumLayer);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "ado_bench: %s\n", e.what());
        return 1;
    }
    std::printf("ado_bench: %d text statements per phase, best of %d rounds.\n", n, kRounds);
    std::printf("Baseline: libsqlite3 called directly, each statement prepared from its text, stepped,\n"
                "read and finalized (the fair baseline for text statements); same table, same collations.\n"
                "Inserts of both sides run in one transaction.\n\n");
    std::printf("%-8s %16s %16s %8s\n", "phase", "direct rows/s", "ado rows/s", "ratio");
    auto line = [&](const char *phase, double direct, double layer) {
        std::printf("%-8s %16.0f %16.0f %8.2f\n", phase, n / direct, n / layer, layer / direct);
    };
    line("INSERT", best.directInsert, best.layerInsert);
    line("SELECT", best.directSelect, best.layerSelect);
    std::printf("\nratio = time through ado / time direct (limit 1.50)\n");
    if (checksumDirect != checksumLayer) {
        std::fprintf(stderr, "ado_bench: the two sides read different data (%lld vs %lld)\n", checksumDirect,
                     checksumLayer);
        return 1;
    }
    return 0;
}
