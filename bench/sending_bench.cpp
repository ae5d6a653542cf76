// sending_bench: the sending of a package against a plain export over libsqlite3.
//
// An embedded database holds N articles with P prices each (P price lists), none sent yet.
// The sending builds its package from it: the control file, one table file per table
// (Windows-1252, CR LF, decimal commas, day-first dates), Archivos.zip, and every row
// written stamped with the transmission number in one transaction. In the same run a plain
// exporter - libsqlite3 called directly, one forward query per table, the same text
// format, the same archive, the same stamps keyed the same way in one transaction - does
// the same job on a copy of the database: its rows per second are the ceiling. The program
// prints both figures, their ratio against the bound and the peak memory against its
// bound (the sending's, read before the exporter runs), and exits 1 when a figure misses its
// bound.
//
//     sending_bench [articles] [prices per article]     (100000 and 5 by default)

#include "BenchSupport.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "package/LineWriter.h"
#include "sending/EnvioMaestros.h"
#include "sending/ReglasEnvio.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/ado/Connection.h"
#include "platform/ado/sqlite/SqliteFunctions.h"
#include "platform/ui/Operator.h"
#include "schema/Schema.h"
#include "zip/ModZIP.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr double kBoundRatio = 0.5;
constexpr double kBoundMegabytes = 200.0;

using bench::check;
using bench::Figure;
using bench::Statement;

class Database {
public:
    explicit Database(const QString &file)
    {
        check(sqlite3_open(file.toUtf8().constData(), &m_db), m_db, "open");
        check(ado::SqliteFunctions::registerAll(m_db), m_db, "functions");
    }
    ~Database() { sqlite3_close(m_db); }
    sqlite3 *handle() const { return m_db; }
    void exec(const char *sql) { check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), m_db, sql); }
    void prepare(Statement &s, const QString &sql)
    {
        check(sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &s.stmt, nullptr), m_db, "prepare");
    }

private:
    sqlite3 *m_db = nullptr;
};

void bindText(sqlite3_stmt *s, int i, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(s, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void step(Statement &s, sqlite3 *db, const char *what)
{
    check(sqlite3_step(s.stmt), db, what);
    sqlite3_reset(s.stmt);
}

// ---------------------------------------------------------------- the source database

QString article(int n) { return QStringLiteral("A%1").arg(n, 7, 10, QLatin1Char('0')).rightJustified(25); }
QString list(int n) { return QString::number(n).rightJustified(4); }

void fill(const QString &file, int articles, int prices)
{
    Database db(file);
    db.exec("BEGIN");
    Statement head, art, price;
    db.prepare(head,
               QStringLiteral("INSERT INTO MA_PRECIOSCAB (IdLista, Descripcion, TipoLista, FechaVigencia, "
                              "IncluyeIva, TRANSMISION) VALUES (?, ?, 'V', '2021-02-01 00:00:00', 1, 0)"));
    for (int l = 1; l <= prices; ++l) {
        bindText(head.stmt, 1, list(l));
        bindText(head.stmt, 2, QStringLiteral("Lista Nº %1").arg(l));
        step(head, db.handle(), "header");
    }
    db.prepare(art,
               QStringLiteral("INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, IdUnidad, IdRubro, IdFamilia, "
                              "CodigoBarra, Exento, Costo, Precio1, Precio2, Tasaiva, FhAlta, Observaciones, "
                              "DesdeTrigger, TRANSMISION) VALUES (?, ?, '   1', '  12', 'F01', ?, 0, ?, ?, ?, "
                              "21, '2021-02-01 10:30:15', 'Caja d''12 ñandú', 0, 0)"));
    db.prepare(price,
               QStringLiteral("INSERT INTO MA_PRECIOS (IdLista, IdArticulo, Precio, Costo, FechaVigencia, "
                              "DesdeTrigger, TRANSMISION) VALUES (?, ?, ?, ?, '2021-02-01 00:00:00', 0, 0)"));
    for (int a = 1; a <= articles; ++a) {
        bindText(art.stmt, 1, article(a));
        bindText(art.stmt, 2, QStringLiteral("Artículo 'Nº %1' de prueba").arg(a));
        bindText(art.stmt, 3, QStringLiteral("779%1").arg(a, 10, 10, QLatin1Char('0')));
        sqlite3_bind_double(art.stmt, 4, a * 0.75);
        sqlite3_bind_double(art.stmt, 5, a * 1.25);
        sqlite3_bind_double(art.stmt, 6, a * 1.5);
        step(art, db.handle(), "article");
        for (int l = 1; l <= prices; ++l) {
            bindText(price.stmt, 1, list(l));
            bindText(price.stmt, 2, article(a));
            sqlite3_bind_double(price.stmt, 3, a * 1.25 + l);
            sqlite3_bind_double(price.stmt, 4, a * 0.75);
            step(price, db.handle(), "price");
        }
    }
    db.exec("COMMIT");
}

// ---------------------------------------------------------------- the plain exporter

enum class Kind { Text, Integer, Number, Boolean, Date };

Kind kindOfDeclared(const char *declared)
{
    const QString d = QString::fromLatin1(declared ? declared : "").toUpper();
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("TEXT")))
        return Kind::Text;
    if (d.contains(QLatin1String("BIT")))
        return Kind::Boolean;
    if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME")))
        return Kind::Date;
    if (d.contains(QLatin1String("INT")))
        return Kind::Integer;
    return Kind::Number;
}

QString value(sqlite3_stmt *s, int i, Kind kind)
{
    if (sqlite3_column_type(s, i) == SQLITE_NULL)
        return package::nullText();
    switch (kind) {
    case Kind::Integer:
        return QString::number(sqlite3_column_int64(s, i));
    case Kind::Boolean:
        return sqlite3_column_int(s, i) ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Number:
        return package::writeNumber(sqlite3_column_double(s, i));
    case Kind::Date: {
        // Stored as "yyyy-mm-dd hh:mm:ss": the day-first text is a rearrangement of it.
        const QByteArray iso(reinterpret_cast<const char *>(sqlite3_column_text(s, i)));
        QByteArray day = iso.mid(8, 2) + '/' + iso.mid(5, 2) + '/' + iso.left(4);
        const QByteArray time = iso.mid(11, 8);
        if (!time.isEmpty() && time != "00:00:00")
            day += ' ' + time;
        return QString::fromLatin1(day);
    }
    case Kind::Text:
        break;
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)));
}

struct Stamp {
    QString table;
    QString assignments;
    QStringList keys;
    std::vector<QByteArray> values; // every key value, row after row
};

class PlainExport {
public:
    explicit PlainExport(const QString &file) : m_db(file) {}

    long run(const QString &folder)
    {
        package::ControlFile control;
        control.writeHeader(QStringLiteral("1"), QStringLiteral("Ana"), folder + QStringLiteral("/ControlMA.dat"),
                            QStringLiteral("PLANO"), true);
        long rows = 0;
        for (const QString &table : package::tableOrder())
            rows += exportTable(folder, table, control);
        if (!control.save(QDir(folder).filePath(package::controlFileWrittenName())).ok())
            throw std::runtime_error("control");
        const platform::Status packed = ModZIP::ComprimirMaestros(folder + QLatin1Char('/'), QStringLiteral("*.DAT"),
                                                                  QDir(folder).filePath(package::archiveName()));
        if (!packed.ok())
            throw std::runtime_error(packed.message().toStdString());
        stampAll();
        return rows;
    }

private:
    long exportTable(const QString &folder, const QString &table, package::ControlFile &control)
    {
        Statement select;
        m_db.prepare(select,
                     QStringLiteral("SELECT * FROM %1 WHERE TRANSMISION = 0 OR TRANSMISION IS NULL").arg(table));
        const int columns = sqlite3_column_count(select.stmt);
        QStringList names;
        std::vector<int> written;
        std::vector<Kind> kinds;
        for (int i = 0; i < columns; ++i) {
            const QString name = QString::fromUtf8(sqlite3_column_name(select.stmt, i));
            names << name;
            kinds.push_back(kindOfDeclared(sqlite3_column_decltype(select.stmt, i)));
            if (!package::leftOutOfLine(name))
                written.push_back(i);
        }
        control.writeBlock(table, names);
        const envio::ReglaMarca rule = envio::reglaMarca(table, false);
        Stamp stamp{table, rule.asignaciones, rule.claves, {}};
        std::vector<int> keyAt;
        for (const QString &k : rule.campos)
            keyAt.push_back(int(names.indexOf(QRegularExpression(QStringLiteral("^") + k + QStringLiteral("$"),
                                                                 QRegularExpression::CaseInsensitiveOption))));
        package::LineWriter file;
        if (!file.open(QDir(folder).filePath(table + QStringLiteral(".dat"))).ok())
            throw std::runtime_error("data file");
        long rows = 0;
        QStringList line;
        while (sqlite3_step(select.stmt) == SQLITE_ROW) {
            line.clear();
            for (int i : written)
                line << value(select.stmt, i, kinds[size_t(i)]);
            file.write(package::writeLine(line));
            for (int k : keyAt)
                stamp.values.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(select.stmt, k)));
            ++rows;
        }
        if (!file.commit().ok())
            throw std::runtime_error("data file");
        if (!stamp.keys.isEmpty())
            m_stamps.push_back(std::move(stamp));
        return rows;
    }

    void stampAll()
    {
        m_db.exec("BEGIN");
        for (const Stamp &s : m_stamps) {
            QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE ")
                              .arg(s.table, QString(s.assignments).replace(QStringLiteral("?"), QStringLiteral("1")));
            QStringList terms;
            for (const QString &k : s.keys)
                terms << k + QStringLiteral(" = ?");
            Statement update;
            m_db.prepare(update, sql + terms.join(QStringLiteral(" AND ")));
            const size_t width = size_t(s.keys.size());
            for (size_t at = 0; at + width <= s.values.size(); at += width) {
                for (size_t k = 0; k < width; ++k)
                    sqlite3_bind_text(update.stmt, int(k) + 1, s.values[at + k].constData(),
                                      int(s.values[at + k].size()), SQLITE_STATIC);
                step(update, m_db.handle(), "stamp");
            }
        }
        m_db.exec("COMMIT");
    }

    Database m_db;
    std::vector<Stamp> m_stamps;
};

// ---------------------------------------------------------------- figures

Figure send(const QString &file, const QString &folder)
{
    DB_Dll &db = gDB();
    db.OpenServerADODB(false, 3, QStringLiteral("Provider=SQLite;Data Source=%1").arg(file), false, false);
    if (!db.gOpenFlag)
        throw std::runtime_error("no se pudo abrir la base del envío");
    envio::EnvioMaestros sending(db);
    envio::EnvioMaestros::Datos d;
    d.numero = QStringLiteral("1");
    d.responsable = QStringLiteral("Ana");
    d.carpeta = folder;
    d.precios = true;
    QElapsedTimer clock;
    clock.start();
    const envio::ResumenEnvio r = sending.EnviarMaestros(d);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("  envío: %s\n", qPrintable(r.linea()));
    releaseSharedDatabases();
    if (!r.ok || r.marcadas != r.filas)
        throw std::runtime_error("el envío no terminó limpio: " + r.motivo.toStdString());
    return Figure{r.filas, seconds};
}

Figure exportPlain(const QString &file, const QString &folder)
{
    PlainExport exporter(file);
    QElapsedTimer clock;
    clock.start();
    const long rows = exporter.run(folder);
    const Figure figure{rows, double(clock.nsecsElapsed()) / 1e9};
    std::printf("  exportador libsqlite3: %ld filas en %.1f s\n", figure.rows, figure.seconds);
    return figure;
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
    try {
        std::printf("Base: %d artículos x %d precios\n", articles, prices);
        const QString source = QDir(home.path()).filePath(QStringLiteral("envio.db"));
        const QString copy = QDir(home.path()).filePath(QStringLiteral("plano.db"));
        bench::createSuiteDatabase(QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(source));
        fill(source, articles, prices);
        if (!QFile::copy(source, copy))
            throw std::runtime_error("no se pudo copiar la base");
        const QString sendFolder = QDir(home.path()).filePath(QStringLiteral("envio"));
        const QString plainFolder = QDir(home.path()).filePath(QStringLiteral("plano"));
        QDir().mkpath(sendFolder);
        QDir().mkpath(plainFolder);

        // The sending first: the peak memory is read before the exporter runs.
        const Figure sending = send(source, sendFolder);
        const double peak = bench::peakMegabytes();
        const Figure ceiling = exportPlain(copy, plainFolder);
        if (sending.rows != ceiling.rows)
            throw std::runtime_error("los dos lados no exportaron las mismas filas");
        const double ratio = sending.perSecond() / ceiling.perSecond();
        const bool fast = ratio >= kBoundRatio;
        std::printf("envío %9.0f filas/s   exportador libsqlite3 %9.0f filas/s   razón %.2f (mínimo %.2f) %s\n",
                    sending.perSecond(), ceiling.perSecond(), ratio, kBoundRatio, fast ? "ok" : "NO ALCANZA");
        const bool small = peak < kBoundMegabytes;
        std::printf("memoria máxima %.1f MB (máximo %.0f MB) %s\n", peak, kBoundMegabytes, small ? "ok" : "EXCEDIDA");
        return fast && small ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "sending_bench: %s\n", e.what());
        return 2;
    }
}
