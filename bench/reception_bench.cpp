// reception_bench: the unattended reception against a plain loader over libsqlite3.
//
// A generated package of N articles with P prices each (the articles, their unit
// equivalences, the price lists and the prices) is received unattended into a fresh
// embedded database, twice: the first reception inserts every row, the second updates
// them all. In the same run a plain loader - libsqlite3 called directly, every statement
// prepared once, one transaction, each line parsed once, a SELECT by key then an INSERT or
// an UPDATE - loads the same files into another fresh database of the same schema (the
// same tables, views, triggers and collations), twice as well: its rows per second are the
// ceiling. The program prints both figures, their ratio against the bound, the peak memory
// against its bound, and a PostgreSQL figure when IMAESTROS_PG_CONNSTR names a database.
// It exits 1 when a figure misses its bound.
//
//     reception_bench [articles] [prices per article]     (100000 and 5 by default)

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
#include "platform/ado/Connection.h"
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

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

constexpr double kBoundRatio = 0.5;
constexpr double kBoundMegabytes = 200.0;

const QStringList kTables = {QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("S_TA_EQUIV"),
                             QStringLiteral("V_MA_PRECIOSCAB"), QStringLiteral("V_MA_PRECIOS")};

using bench::check;
using bench::Figure;
using bench::Statement;

// ---------------------------------------------------------------- the reception

Figure receive(const QString &connectionString)
{
    DB_Dll &db = gDB();
    db.OpenServerADODB(false, 3, connectionString, false, false);
    if (!db.gOpenFlag)
        throw std::runtime_error("no se pudo abrir la base de la recepción");
    recepcion::RecepcionMaestros reception(db);
    QElapsedTimer clock;
    clock.start();
    const recepcion::ResumenRecepcion r = reception.GeneraAutomatica();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("  %s\n", qPrintable(r.linea()));
    releaseSharedDatabases();
    if (r.fin != recepcion::FinRecepcion::Completa || r.rechazados != 0)
        throw std::runtime_error("la recepción no terminó limpia");
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
            throw std::runtime_error("sin archivo de datos");
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

bool report(const char *what, const Figure &reception, const Figure &ceiling)
{
    const double ratio = reception.perSecond() / ceiling.perSecond();
    std::printf("%-28s recepción %9.0f filas/s   cargador libsqlite3 %9.0f filas/s   razón %.2f (mínimo %.2f) %s\n",
                what, reception.perSecond(), ceiling.perSecond(), ratio, kBoundRatio,
                ratio >= kBoundRatio ? "ok" : "NO ALCANZA");
    return ratio >= kBoundRatio;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int articles = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int prices = argc > 2 ? std::atoi(argv[2]) : 5;
    platform::setOperatorService(std::make_shared<platform::UnattendedOperator>());
    platform::logger().addSink([](platform::Logger::Level, const QString &) {});
    QTemporaryDir home;
    platform::setProgramFolder(home.path());
    qputenv("IMAESTROS_ROOT", home.path().toUtf8());
    const QString inbox = QDir(home.path()).filePath(QStringLiteral("RECIBIR"));
    QDir().mkpath(inbox);
    try {
        samplepackage::Options options;
        options.articles = articles;
        options.pricesPerArticle = prices;
        std::printf("Paquete: %d artículos x %d precios\n", articles, prices);
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
        const Figure plainFirst = loadPlain(plain, inbox);
        const Figure plainSecond = loadPlain(plain, inbox);

        // Both sides are measured on the rows of the same four tables (the reception also
        // reads the lines of B_CODIGOS and B_ALIAS, in its own time).
        const Figure firstRows{plainFirst.rows, first.seconds};
        const Figure secondRows{plainSecond.rows, second.seconds};
        bool ok = report("primera recepción (altas)", firstRows, plainFirst);
        ok = report("segunda recepción (cambios)", secondRows, plainSecond) && ok;
        const double peak = bench::peakMegabytes();
        std::printf("memoria máxima %.1f MB (máximo %.0f MB) %s\n", peak, kBoundMegabytes,
                    peak < kBoundMegabytes ? "ok" : "EXCEDIDA");
        ok = ok && peak < kBoundMegabytes;

        const QString pg = qEnvironmentVariable("IMAESTROS_PG_CONNSTR").trimmed();
        if (!pg.isEmpty()) {
            {
                ado::Connection cnn;
                cnn.Open(pg);
                schema::dropSuiteObjects(cnn);
                const platform::Status made = schema::createSuiteDatabase(cnn);
                if (!made.ok())
                    throw std::runtime_error(made.message().toStdString());
            }
            std::printf("PostgreSQL:\n");
            const Figure pgFirst = receive(pg);
            std::printf("PostgreSQL primera recepción %9.0f filas/s\n", pgFirst.perSecond());
        } else {
            std::printf("PostgreSQL: sin IMAESTROS_PG_CONNSTR, no se mide\n");
        }
        return ok ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "reception_bench: %s\n", e.what());
        return 2;
    }
}
