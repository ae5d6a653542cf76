// sending_bench: the sending of a package against plain exporters, on SQLite and PostgreSQL.
//
// SQLite: an embedded database as an unattended reception of a generated package leaves it:
// N articles with P prices each (P price lists) and their equivalences, none sent yet. The
// desktop sending, through the sending form's logic as the operator runs it (number
// confirmed, Grabar), builds its package from it: the control file, one table file per table
// (Windows-1252, CR LF, decimal commas, day-first dates), Archivos.zip, and every row written
// stamped with the transmission number in one transaction. In the same run a plain
// exporter - libsqlite3 called directly, one forward query per table, the same text format,
// the same archive, the same stamps keyed the same way in one transaction - does the same job
// on a copy of the database: its rows per second are the ceiling (bound: 0.5 of it). The
// sending's peak memory is read before the exporter runs (bound: 200 MB).
//
// PostgreSQL, when IMAESTROS_PG_CONNSTR names a database (scripts/pg-cluster.sh sets it): the
// same rows (by default 20,000 articles) are loaded there, and the stamped sending over
// psqlODBC alternates, round after round on the same rows (their stamps cleared between
// runs), with a peer over libpq, the server's own client: one REPEATABLE READ transaction,
// COPY (SELECT ...) TO STDOUT per table converted into the same package files and archive,
// then one set-based UPDATE per stamped table. libpq rather than psql as a subprocess: the
// peer then converts the stream in this process as the sending does, and pays no pipe or
// process of its own. Bound: the sending reaches 0.4 of the peer's rows per second.
//
// The program prints every figure and bound and exits 1 when a figure misses its bound, 2
// on a wrong result (a sending that failed, rows missing or left unstamped).
//
//     sending_bench [--check] [--rounds N] [--pg-articles N] [articles] [prices per article]
//
// (100000 and 5 by default; PostgreSQL 20000 articles and 3 rounds.) --check runs one round
// and checks the results only: the figures and bounds are printed, a miss is not a failure
// (CI runs it small, so that the PostgreSQL path stays right without timing the machine).

#include "BenchSupport.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "package/LineWriter.h"
#include "reception/RecepcionMaestros.h"
#include "sending/EnvioMaestros.h"
#include "sending/FormularioEnvio.h"
#include "sending/ReglasEnvio.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"
#include "platform/ado/sqlite/SqliteFunctions.h"
#include "platform/ui/Operator.h"
#include "schema/Schema.h"
#include "schema/SuiteObjects.h"
#include "tools/SamplePackage.h"
#include "zip/ModZIP.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifdef IMAESTROS_BENCH_LIBPQ
#include "PgConnection.h"

#include <libpq-fe.h>
#endif
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

constexpr double kBoundRatio = 0.5;
constexpr double kBoundMegabytes = 200.0;
constexpr double kBoundPgRatio = 0.4;

// Thrown on a wrong result (not a slow one): exit status 2.
struct WrongResult : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using bench::check;
using bench::Figure;
using bench::Options;
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

void step(Statement &s, sqlite3 *db, const char *what)
{
    check(sqlite3_step(s.stmt), db, what);
    sqlite3_reset(s.stmt);
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

// ---------------------------------------------------------------- the sending

// The desktop sending as the operator runs it: the form's logic proposes the next number,
// Enter confirms it, Grabar builds, delivers and stamps. `number` hears the number used.
Figure send(const QString &connectionString, const QString &folder, long expected, int &number)
{
    DB_Dll &db = gDB();
    db.OpenServerADODB(false, 3, connectionString, false, false);
    if (!db.gOpenFlag)
        throw WrongResult("cannot open the sending's database");
    ModGlobal::gUsuarioLogeado = QStringLiteral("Ana");
    envio::FormularioEnvio form(db);
    form.setAvisarFin(false);
    form.Inicializa();
    form.CampoValida(envio::FormularioEnvio::kTransmision);
    form.Dir1_Change(folder);
    form.chkPrecios = true;
    number = form.txtFields[envio::FormularioEnvio::kTransmision].texto.toInt();
    QElapsedTimer clock;
    clock.start();
    form.UtilNet1_click(QStringLiteral("GRABAR"));
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const envio::ResumenEnvio r = form.ultimoEnvio();
    form.descargar();
    releaseSharedDatabases();
    if (!r.ok)
        throw WrongResult("the sending failed: " + r.motivo.toStdString());
    std::printf("  sending: %ld rows written, %ld stamped, %.2f s\n", r.filas, r.marcadas, seconds);
    if (r.filas != expected || r.marcadas != r.filas)
        throw WrongResult("the sending did not write and stamp every row");
    return Figure{r.filas, seconds};
}

// The database as an unattended reception of a generated package leaves it (articles,
// equivalences, price lists and prices); returns the rows it holds.
long receiveSample(const QString &connectionString, const QString &home, int articles, int prices)
{
    samplepackage::Options options;
    options.articles = articles;
    options.pricesPerArticle = prices;
    const QString inbox = QDir(home).filePath(QStringLiteral("RECIBIR"));
    QDir().mkpath(inbox);
    if (const platform::Status made = samplepackage::generate(QDir(inbox).filePath(package::archiveName()), options);
        !made.ok())
        throw std::runtime_error(made.message().toStdString());
    DB_Dll &db = gDB();
    db.OpenServerADODB(false, 3, connectionString, false, false);
    if (!db.gOpenFlag)
        throw std::runtime_error("cannot open the reception's database");
    recepcion::RecepcionMaestros reception(db);
    const recepcion::ResumenRecepcion r = reception.GeneraAutomatica();
    releaseSharedDatabases();
    std::printf("  reception: %s\n", qPrintable(r.linea()));
    if (r.fin != recepcion::FinRecepcion::Completa || r.rechazados != 0)
        throw WrongResult("the reception that fills the database did not end clean");
    return r.inserciones;
}

Figure exportPlain(const QString &file, const QString &folder)
{
    PlainExport exporter(file);
    QElapsedTimer clock;
    clock.start();
    const long rows = exporter.run(folder);
    const Figure figure{rows, double(clock.nsecsElapsed()) / 1e9};
    std::printf("  libsqlite3 exporter: %ld rows, %.2f s\n", figure.rows, figure.seconds);
    return figure;
}

// Returns whether the sending met its bounds.
bool sqlitePhase(const Options &o, const QString &home)
{
    std::printf("SQLite: %d articles x %d prices\n", o.articles, o.prices);
    const QString source = QDir(home).filePath(QStringLiteral("sending.db"));
    const QString copy = QDir(home).filePath(QStringLiteral("plain.db"));
    bench::createSuiteDatabase(QStringLiteral("Provider=SQLite;Data Source=%1;Mode=Create").arg(source));
    const long expected =
        receiveSample(QStringLiteral("Provider=SQLite;Data Source=%1").arg(source), home, o.articles, o.prices);
    if (!QFile::copy(source, copy))
        throw std::runtime_error("cannot copy the database");
    const QString sendFolder = QDir(home).filePath(QStringLiteral("sending"));
    const QString plainFolder = QDir(home).filePath(QStringLiteral("plain"));
    QDir().mkpath(sendFolder);
    QDir().mkpath(plainFolder);

    // The sending first: the peak memory is read before the exporter runs.
    int number = 0;
    const Figure sending =
        send(QStringLiteral("Provider=SQLite;Data Source=%1").arg(source), sendFolder, expected, number);
    const double peak = bench::peakMegabytes();
    const Figure ceiling = exportPlain(copy, plainFolder);
    if (sending.rows != ceiling.rows)
        throw WrongResult("the two sides did not export the same rows");
    const double ratio = sending.perSecond() / ceiling.perSecond();
    const bool fast = ratio >= kBoundRatio;
    std::printf("sending %9.0f rows/s   libsqlite3 exporter %9.0f rows/s   ratio %.2f (bound >= %.2f) %s\n",
                sending.perSecond(), ceiling.perSecond(), ratio, kBoundRatio, bench::verdict(fast, o.check));
    const bool small = peak < kBoundMegabytes;
    std::printf("peak memory %.1f MB (bound < %.0f MB) %s\n", peak, kBoundMegabytes, bench::verdict(small, o.check));
    return fast && small;
}

// ---------------------------------------------------------------- PostgreSQL

#ifdef IMAESTROS_BENCH_LIBPQ

// The peer's libpq connection, with its queries and COPY.
class Pg : public bench::PgConnection {
public:
    using PgConnection::PgConnection;

    long count(const QString &sql)
    {
        PGresult *r = PQexec(m_conn, sql.toUtf8().constData());
        const long n = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 ? std::atol(PQgetvalue(r, 0, 0)) : -1;
        PQclear(r);
        if (n < 0)
            throw std::runtime_error("PostgreSQL: " + sql.toStdString());
        return n;
    }

    // COPY ... TO STDOUT: `line` hears every row (text format, without its line end).
    void copyOut(const QString &sql, const std::function<void(const char *, int)> &line)
    {
        start(sql, PGRES_COPY_OUT);
        char *buffer = nullptr;
        int n = 0;
        while ((n = PQgetCopyData(m_conn, &buffer, 0)) > 0) {
            line(buffer, buffer[n - 1] == '\n' ? n - 1 : n);
            PQfreemem(buffer);
        }
        if (n == -2)
            throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(m_conn));
        finish(sql);
    }
};

// The PostgreSQL source database.
QString article(int n) { return QStringLiteral("A%1").arg(n, 7, 10, QLatin1Char('0')).rightJustified(25); }
QString list(int n) { return QString::number(n).rightJustified(4); }
QString articleText(int n) { return QStringLiteral("Artículo 'Nº %1' de prueba").arg(n); }
QString barCode(int n) { return QStringLiteral("779%1").arg(n, 10, 10, QLatin1Char('0')); }
long rowsOf(int articles, int prices) { return long(articles) + long(articles) * prices + prices; }

// Price lists, articles and their prices, through COPY.
void loadPg(Pg &pg, int articles, int prices)
{
    QByteArray text;
    int l = 0;
    pg.copyIn(QStringLiteral("COPY MA_PRECIOSCAB (IdLista, Descripcion, TipoLista, FechaVigencia, IncluyeIva, "
                             "TRANSMISION) FROM STDIN"),
              [&](QByteArray &data) {
                  if (++l > prices)
                      return false;
                  data = (list(l) + QStringLiteral("\tLista Nº %1\tV\t2021-02-01 00:00:00\t1\t0\n").arg(l)).toUtf8();
                  return true;
              });
    const auto number = [](double v) { return QString::number(v, 'f', 4); };
    int a = 0;
    pg.copyIn(QStringLiteral("COPY MA_ARTICULOS (IdArticulo, Descripcion, IdUnidad, IdRubro, IdFamilia, CodigoBarra, "
                             "Exento, Costo, Precio1, Precio2, Tasaiva, FhAlta, Observaciones, DesdeTrigger, "
                             "TRANSMISION) FROM STDIN"),
              [&](QByteArray &data) {
                  for (int k = 0; k < 1000 && a < articles; ++k) {
                      ++a;
                      data += (article(a) + QLatin1Char('\t') + articleText(a) + QStringLiteral("\t   1\t  12\tF01\t")
                               + barCode(a) + QStringLiteral("\t0\t") + number(a * 0.75) + QLatin1Char('\t')
                               + number(a * 1.25) + QLatin1Char('\t') + number(a * 1.5)
                               + QStringLiteral("\t21\t2021-02-01 10:30:15\tCaja d'12 ñandú\t0\t0\n"))
                                  .toUtf8();
                  }
                  return !data.isEmpty();
              });
    a = 0;
    pg.copyIn(QStringLiteral("COPY MA_PRECIOS (IdLista, IdArticulo, Precio, Costo, FechaVigencia, DesdeTrigger, "
                             "TRANSMISION) FROM STDIN"),
              [&](QByteArray &data) {
                  for (int k = 0; k < 1000 && a < articles; ++k) {
                      ++a;
                      for (int p = 1; p <= prices; ++p)
                          data +=
                              (list(p) + QLatin1Char('\t') + article(a) + QLatin1Char('\t') + number(a * 1.25 + p)
                               + QLatin1Char('\t') + number(a * 0.75) + QStringLiteral("\t2021-02-01 00:00:00\t0\t0\n"))
                                  .toUtf8();
                  }
                  return !data.isEmpty();
              });
    pg.exec(QStringLiteral("ANALYZE"));
}

const char *const kStampedTables[] = {"MA_ARTICULOS", "MA_PRECIOS", "MA_PRECIOSCAB"};

long stampedPg(Pg &pg, int number)
{
    long n = 0;
    for (const char *table : kStampedTables)
        n += pg.count(
            QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TRANSMISION = %2").arg(QLatin1String(table)).arg(number));
    return n;
}

// Every row unsent again, the dead rows of the last run vacuumed: each run starts alike.
void clearStampsPg(Pg &pg)
{
    for (const char *table : kStampedTables) {
        const QString t = QLatin1String(table);
        pg.exec(QStringLiteral("UPDATE %1 SET TRANSMISION = 0%2")
                    .arg(t, t == u"MA_PRECIOSCAB" ? QString() : QStringLiteral(", DESDETRIGGER = 0")));
        pg.exec(QStringLiteral("VACUUM ANALYZE ") + t);
    }
}

// One field of COPY's text format, in the package's form.
enum class PgKind { Text, Number, Boolean, Date, Integer };

PgKind kindOfOid(Oid type)
{
    switch (type) {
    case 16:
        return PgKind::Boolean;
    case 20:
    case 21:
    case 23:
        return PgKind::Integer;
    case 700:
    case 701:
    case 1700:
        return PgKind::Number;
    case 1082:
    case 1114:
    case 1184:
        return PgKind::Date;
    default:
        return PgKind::Text;
    }
}

QString copyValue(const char *p, int n, PgKind kind)
{
    if (n == 2 && p[0] == '\\' && p[1] == 'N')
        return package::nullText();
    switch (kind) {
    case PgKind::Integer:
        return QString::fromLatin1(p, n);
    case PgKind::Boolean:
        return p[0] == 't' ? QStringLiteral("1") : QStringLiteral("0");
    case PgKind::Number: {
        QByteArray v(p, n);
        if (v.contains('.')) {
            while (v.endsWith('0'))
                v.chop(1);
            if (v.endsWith('.'))
                v.chop(1);
        }
        return QString::fromLatin1(v.replace('.', ','));
    }
    case PgKind::Date: {
        const QByteArray iso(p, n);
        QByteArray day = iso.mid(8, 2) + '/' + iso.mid(5, 2) + '/' + iso.left(4);
        const QByteArray time = iso.mid(11, 8);
        if (!time.isEmpty() && time != "00:00:00")
            day += ' ' + time;
        return QString::fromLatin1(day);
    }
    case PgKind::Text:
        break;
    }
    if (!std::memchr(p, '\\', size_t(n)))
        return QString::fromUtf8(p, n);
    QByteArray v;
    v.reserve(n);
    for (int i = 0; i < n; ++i) {
        if (p[i] != '\\' || i + 1 == n) {
            v += p[i];
            continue;
        }
        const char e = p[++i];
        v += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
    }
    return QString::fromUtf8(v);
}

// COPY TO plus one set-based UPDATE per table, in one REPEATABLE READ transaction.
class PgPeer {
public:
    explicit PgPeer(Pg &pg) : m_pg(pg) {}

    long run(const QString &folder, int number)
    {
        m_pg.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
        package::ControlFile control;
        control.writeHeader(QString::number(number), QStringLiteral("Ana"), folder + QStringLiteral("/ControlMA.dat"),
                            QStringLiteral("PEER"), true);
        long rows = 0;
        for (const QString &table : package::tableOrder())
            rows += exportTable(folder, table, control);
        if (!control.save(QDir(folder).filePath(package::controlFileWrittenName())).ok())
            throw std::runtime_error("control");
        const platform::Status packed = ModZIP::ComprimirMaestros(folder + QLatin1Char('/'), QStringLiteral("*.DAT"),
                                                                  QDir(folder).filePath(package::archiveName()));
        if (!packed.ok())
            throw std::runtime_error(packed.message().toStdString());
        long stamped = 0;
        for (const QString &table : package::tableOrder()) {
            const envio::ReglaMarca rule = envio::reglaMarca(table, false);
            if (!rule.claves.isEmpty())
                stamped += m_pg.exec(
                    QStringLiteral("UPDATE %1 SET %2 WHERE TRANSMISION = 0 OR TRANSMISION IS NULL")
                        .arg(table, QString(rule.asignaciones).replace(QLatin1Char('?'), QString::number(number))));
        }
        m_pg.exec(QStringLiteral("COMMIT"));
        if (stamped != rows)
            throw WrongResult("the peer did not stamp every row it wrote");
        return rows;
    }

private:
    long exportTable(const QString &folder, const QString &table, package::ControlFile &control)
    {
        const std::vector<bench::PgConnection::Column> columns = m_pg.columns(table);
        QStringList names;
        std::vector<bool> written;
        std::vector<PgKind> kinds;
        for (const Pg::Column &c : columns) {
            names << c.name;
            written.push_back(!package::leftOutOfLine(c.name));
            kinds.push_back(kindOfOid(c.type));
        }
        control.writeBlock(table, names);
        package::LineWriter file;
        if (!file.open(QDir(folder).filePath(table + QStringLiteral(".dat"))).ok())
            throw std::runtime_error("data file");
        long rows = 0;
        QStringList line;
        m_pg.copyOut(
            QStringLiteral("COPY (SELECT * FROM %1 WHERE TRANSMISION = 0 OR TRANSMISION IS NULL) TO STDOUT").arg(table),
            [&](const char *p, int n) {
                line.clear();
                size_t field = 0;
                int start = 0;
                for (int i = 0; i <= n; ++i) {
                    if (i < n && p[i] != '\t')
                        continue;
                    if (field < written.size() && written[field])
                        line << copyValue(p + start, i - start, kinds[field]);
                    ++field;
                    start = i + 1;
                }
                file.write(package::writeLine(line));
                ++rows;
            });
        if (!file.commit().ok())
            throw std::runtime_error("data file");
        return rows;
    }

    Pg &m_pg;
};

Figure exportPeer(Pg &pg, const QString &folder, int number, long expected)
{
    PgPeer peer(pg);
    QElapsedTimer clock;
    clock.start();
    const long rows = peer.run(folder, number);
    const Figure figure{rows, double(clock.nsecsElapsed()) / 1e9};
    std::printf("  peer (COPY TO, set-based UPDATE): %ld rows, %.2f s\n", figure.rows, figure.seconds);
    if (rows != expected || stampedPg(pg, number) != expected)
        throw WrongResult("the peer did not write and stamp every row");
    return figure;
}

// Returns whether the sending met its bound.
bool pgPhase(const Options &o, const QString &connectionString, const QString &home)
{
    const int articles = o.pgArticles > 0 ? o.pgArticles : std::min(o.articles, 20000);
    const long expected = rowsOf(articles, o.prices);
    std::printf("PostgreSQL: %d articles x %d prices (%ld rows), %d round(s)\n", articles, o.prices, expected,
                o.rounds);
    {
        ado::Connection cnn;
        cnn.Open(connectionString);
        schema::dropSuiteObjects(cnn);
        const platform::Status made = schema::createSuiteDatabase(cnn);
        if (!made.ok())
            throw std::runtime_error(made.message().toStdString());
    }
    Pg pg(connectionString);
    loadPg(pg, articles, o.prices);
    Figure program, peer;
    int number = 100;
    const auto folder = [&](const char *who) {
        const QString path = QDir(home).filePath(QStringLiteral("pg-%1-%2").arg(QLatin1String(who)).arg(number));
        QDir().mkpath(path);
        return path;
    };
    for (int round = 0; round < o.rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            clearStampsPg(pg);
            ++number;
            if ((side + round) % 2 == 0) {
                int used = 0;
                const Figure f = send(connectionString, folder("sending"), expected, used);
                if (stampedPg(pg, used) != expected)
                    throw WrongResult("the sending's stamps are not all in the database");
                program = Figure{program.rows + f.rows, program.seconds + f.seconds};
            } else {
                const Figure f = exportPeer(pg, folder("peer"), number, expected);
                peer = Figure{peer.rows + f.rows, peer.seconds + f.seconds};
            }
        }
    }
    const double ratio = program.perSecond() / peer.perSecond();
    const bool fast = ratio >= kBoundPgRatio;
    std::printf(
        "sending %9.0f rows/s   peer (COPY TO, set-based UPDATE) %9.0f rows/s   ratio %.2f (bound >= %.2f) %s\n",
        program.perSecond(), peer.perSecond(), ratio, kBoundPgRatio, bench::verdict(fast, o.check));
    return fast;
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
    qputenv("IMAESTROS_ROOT", home.path().toUtf8()); // the reception that fills the database reads RECIBIR there
    try {
        const Options o = bench::parseOptions(QCoreApplication::arguments());
        bool met = sqlitePhase(o, home.path());
        const QString pg = qEnvironmentVariable("IMAESTROS_PG_CONNSTR").trimmed();
        if (pg.isEmpty()) {
            std::printf("PostgreSQL: IMAESTROS_PG_CONNSTR not set, not measured\n");
        } else {
#ifdef IMAESTROS_BENCH_LIBPQ
            met = pgPhase(o, pg, home.path()) && met;
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
        std::fprintf(stderr, "sending_bench: %s\n", e.what());
        return 2;
    }
}
