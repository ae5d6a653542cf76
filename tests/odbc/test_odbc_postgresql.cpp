// The ODBC backend against a real PostgreSQL server through psqlODBC.
#include "PgTestServer.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/odbc/OdbcConnectionString.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace ado;
using pgtest::failureOf;
using pgtest::run;
using platform::Variant;

namespace {

class PgBackend : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PG();
        m_db = pgtest::openBackend();
    }
    void recreate(const char *table, const char *columns)
    {
        run(*m_db, QStringLiteral("IF OBJECT_ID('%1') IS NOT NULL DROP TABLE %1").arg(QLatin1String(table)));
        run(*m_db, QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(table), QLatin1String(columns)));
    }
    std::unique_ptr<Backend> m_db;
};

const ColumnInfo &columnNamed(const ResultSet &r, const char *name)
{
    for (const ColumnInfo &c : r.columns)
        if (c.Name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return c;
    throw std::runtime_error(std::string("no column ") + name);
}

} // namespace

// Columns read with the type and size they were declared with on SQL Server.
TEST_F(PgBackend, ColumnsReadWithTheirAdoTypesAndValues)
{
    run(*m_db, QStringLiteral("IF OBJECT_ID('odbc_vista') IS NOT NULL DROP VIEW odbc_vista"));
    recreate("odbc_tipos",
             "Codigo VARCHAR(10) NOT NULL PRIMARY KEY, Nombre NVARCHAR(30), Fijo CHAR(5), Cant INT, "
             "Chico SMALLINT, Mini TINYINT, Grande BIGINT, Simple REAL, Doble FLOAT, Plata MONEY, "
             "Importe DECIMAL(10,2), Activo BIT, Fecha DATETIME, Dia DATE, Memo TEXT, Datos "
             "VARBINARY(MAX)");
    run(*m_db,
        QStringLiteral("INSERT INTO odbc_tipos (Codigo, Nombre, Fijo, Cant, Chico, Mini, Grande, "
                       "Simple, Doble, Plata, "
                       "Importe, Activo, Fecha, Dia, Memo) VALUES ('A1', 'Ñandú', 'ab', 5, -2, "
                       "200, 12345678901, 1.5, "
                       "2.25, 10.1234, 3.45, 1, '31/12/2020 10:11:12', '01/02/2021', 'largo')"));
    run(*m_db, QStringLiteral("INSERT INTO odbc_tipos (Codigo) VALUES ('B2')"));
    const ResultSet r = run(*m_db, QStringLiteral("SELECT * FROM odbc_tipos ORDER BY Codigo"));
    ASSERT_TRUE(r.hasRows);
    ASSERT_EQ(r.rows.size(), 2u);

    struct Expected {
        const char *name;
        DataType type;
        long size;
    } expected[] = {
        {"Codigo", adVarChar, 10},
        {"Nombre", adVarWChar, 30},
        {"Fijo", adChar, 5},
        {"Cant", adInteger, 4},
        {"Chico", adSmallInt, 2},
        {"Mini", adUnsignedTinyInt, 1},
        {"Grande", adBigInt, 8},
        {"Simple", adSingle, 4},
        {"Doble", adDouble, 8},
        {"Plata", adCurrency, 8},
        {"Importe", adNumeric, 19},
        {"Activo", adBoolean, 2},
        {"Fecha", adDBTimeStamp, 8},
        {"Dia", adDBDate, 6},
        {"Memo", adLongVarChar, 2147483647},
        {"Datos", adLongVarBinary, 2147483647},
    };
    const auto schema = m_db->columns(QStringLiteral("odbc_tipos"));
    ASSERT_EQ(schema.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Expected &e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(columnNamed(r, e.name).Type, e.type);
        EXPECT_EQ(columnNamed(r, e.name).DefinedSize, e.size);
        EXPECT_EQ(schema[i].Type, e.type);
        EXPECT_EQ(schema[i].DefinedSize, e.size);
    }
    const Row &a = r.rows[0];
    EXPECT_EQ(a[1].toString().toStdString(), "Ñandú");
    EXPECT_EQ(a[2].toString().trimmed().toStdString(), "ab");
    EXPECT_EQ(a[4].toInt64(), -2);
    EXPECT_EQ(a[5].toInt64(), 200);
    EXPECT_EQ(a[6].toInt64(), 12345678901LL);
    EXPECT_DOUBLE_EQ(a[9].toDouble(), 10.1234);
    EXPECT_DOUBLE_EQ(a[10].toDouble(), 3.45);
    EXPECT_EQ(a[11].kind(), Variant::Kind::Bool);
    EXPECT_TRUE(a[11].toBool());
    // Dates written day first read back as the same dates.
    EXPECT_EQ(a[12].toDateTime(), QDateTime(QDate(2020, 12, 31), QTime(10, 11, 12)));
    EXPECT_EQ(a[13].toDateTime().date(), QDate(2021, 2, 1));
    EXPECT_TRUE(a[15].isNull());
    for (size_t i = 1; i < r.rows[1].size(); ++i)
        EXPECT_TRUE(r.rows[1][i].isNull()) << "column " << i;
    // A view reads with the declarations of the table's columns.
    run(*m_db, QStringLiteral("IF OBJECT_ID('odbc_vista') IS NOT NULL DROP VIEW odbc_vista"));
    run(*m_db, QStringLiteral("CREATE VIEW odbc_vista AS SELECT Codigo, Nombre, Activo FROM odbc_tipos"));
    const ResultSet view = run(*m_db, QStringLiteral("SELECT * FROM odbc_vista ORDER BY Codigo"));
    EXPECT_EQ(columnNamed(view, "Nombre").Type, adVarWChar);
    EXPECT_EQ(columnNamed(view, "Nombre").DefinedSize, 30);
    EXPECT_EQ(view.rows[0][2].kind(), Variant::Kind::Bool);
    // A computed column has no declaration: the driver's description stands.
    const ResultSet computed = run(*m_db, QStringLiteral("SELECT COUNT(*) AS n, MAX(Nombre) AS m FROM odbc_tipos"));
    EXPECT_EQ(computed.columns[0].Type, adBigInt);
    EXPECT_EQ(computed.rows[0][1].toString().toStdString(), "Ñandú");
}

// Values longer than one fetch chunk arrive whole, a pair of UTF-16 units split between
// chunks included; binary values go out as literals and come back byte for byte.
// Results come in blocks of bound arrays: many rows, across blocks, read the same values, Nulls
// and types as value by value (a long text column makes a result read value by value); a text
// longer than its column said (a view's expression under a column's name) is read whole.
TEST_F(PgBackend, RowsReadInBlocksAsValueByValue)
{
    run(*m_db, QStringLiteral("IF OBJECT_ID('odbc_bloque_v') IS NOT NULL DROP VIEW odbc_bloque_v"));
    recreate("odbc_bloque",
             "Id INT NOT NULL PRIMARY KEY, Grande BIGINT, Doble FLOAT, Plata MONEY, "
             "Importe DECIMAL(12,2), Activo BIT, Fecha DATETIME, Dia DATE, Nombre VARCHAR(10), "
             "Fijo CHAR(3), Memo TEXT");
    constexpr int kRows = 2500;
    QString batch;
    for (int i = 1; i <= kRows; ++i) {
        const bool nulls = i % 7 == 0;
        batch += nulls ? QStringLiteral("INSERT INTO odbc_bloque (Id) VALUES (%1);").arg(i)
                       : QStringLiteral("INSERT INTO odbc_bloque VALUES (%1, %2, %3, %4, %5, %6, '%7', '%8', "
                                        "'%9', 'ñ%10', 'memo %1');")
                             .arg(i)
                             .arg(qint64(i) * 10000000000LL)
                             .arg(i + 0.25)
                             .arg(QStringLiteral("%1.1234").arg(i))
                             .arg(QStringLiteral("%1.5").arg(i))
                             .arg(i % 2)
                             .arg(QString::asprintf("2021-%02d-%02d 10:%02d:05.123", i % 12 + 1, i % 28 + 1, i % 60))
                             .arg(QString::asprintf("2020-%02d-%02d", i % 12 + 1, i % 28 + 1))
                             .arg(QStringLiteral("Ñandú%1").arg(i % 100))
                             .arg(i % 10);
        if (i % 250 == 0) {
            run(*m_db, batch);
            batch.clear();
        }
    }
    const ResultSet blocks = run(*m_db,
                                 QStringLiteral("SELECT Id, Grande, Doble, Plata, Importe, Activo, Fecha, "
                                                "Dia, Nombre, Fijo FROM odbc_bloque ORDER BY Id"));
    const ResultSet byValue = run(*m_db,
                                  QStringLiteral("SELECT Id, Grande, Doble, Plata, Importe, Activo, Fecha, "
                                                 "Dia, Nombre, Fijo, Memo FROM odbc_bloque ORDER BY Id"));
    ASSERT_EQ(blocks.rows.size(), size_t(kRows));
    ASSERT_EQ(byValue.rows.size(), size_t(kRows));
    for (size_t r = 0; r < blocks.rows.size(); ++r) {
        for (size_t c = 0; c < blocks.columns.size(); ++c) {
            const Variant &a = blocks.rows[r][c], &b = byValue.rows[r][c];
            ASSERT_EQ(a.kind(), b.kind()) << "row " << r << " column " << c;
            ASSERT_TRUE(a == b) << "row " << r << " column " << c << ": " << a.toString().toStdString() << " / "
                                << b.toString().toStdString();
        }
    }
    const Row &seventh = blocks.rows[6];
    EXPECT_TRUE(seventh[1].isNull() && seventh[6].isNull() && seventh[8].isNull());
    const Row &first = blocks.rows[0];
    EXPECT_EQ(first[1].toInt64(), 10000000000LL);
    EXPECT_EQ(first[3].toDouble(), 1.1234);
    EXPECT_EQ(first[5].toBool(), true);
    EXPECT_EQ(first[6].toDateTime(), QDateTime(QDate(2021, 2, 2), QTime(10, 1, 5, 123)));
    EXPECT_EQ(first[7].toDateTime(), QDateTime(QDate(2020, 2, 2), QTime(0, 0)));
    EXPECT_EQ(first[8].toString(), QStringLiteral("Ñandú1"));
    EXPECT_EQ(first[9].toString(), QStringLiteral("ñ1 ")) << "char(3) keeps its blanks";

    run(*m_db,
        QStringLiteral("CREATE VIEW odbc_bloque_v AS SELECT Id, Nombre || Nombre || Nombre AS Nombre FROM "
                       "odbc_bloque"));
    const ResultSet view = run(*m_db, QStringLiteral("SELECT Id, Nombre FROM odbc_bloque_v WHERE Id < 4 ORDER BY Id"));
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.columns[1].DefinedSize, 10) << "the view's column takes its table column's declaration";
    EXPECT_EQ(view.rows[2][1].toString(), QStringLiteral("Ñandú3Ñandú3Ñandú3"));
}

TEST_F(PgBackend, LongTextAndBinaryRoundTrip)
{
    recreate("odbc_largo", "Id INT NOT NULL PRIMARY KEY, Memo TEXT, Datos VARBINARY(MAX)");
    QString memo;
    for (int i = 0; i < 3000; ++i)
        memo += QStringLiteral("añ\U0001F600");
    QByteArray bytes;
    for (int i = 0; i < 20000; ++i)
        bytes.append(char(i * 7));
    EXPECT_EQ(m_db->insertRow(QStringLiteral("odbc_largo"),
                              {QStringLiteral("Id"), QStringLiteral("Memo"), QStringLiteral("Datos")},
                              {Variant(1), Variant(memo), Variant(bytes)}),
              1);
    const ResultSet r = run(*m_db, QStringLiteral("SELECT Memo, Datos FROM odbc_largo"));
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0].toString(), memo);
    EXPECT_EQ(r.rows[0][1].toBytes(), bytes);
}

TEST_F(PgBackend, ErrorsCarrySqlServerNativeNumbers)
{
    run(*m_db, QStringLiteral("IF OBJECT_ID('odbc_hijo') IS NOT NULL DROP TABLE odbc_hijo"));
    recreate("odbc_padre", "Id INT NOT NULL PRIMARY KEY, Nombre VARCHAR(5) NOT NULL, Cant INT CHECK (Cant >= 0)");
    recreate("odbc_hijo", "Id INT NOT NULL PRIMARY KEY, Padre INT REFERENCES odbc_padre (Id)");
    run(*m_db, QStringLiteral("INSERT INTO odbc_padre (Id, Nombre, Cant) VALUES (1, 'uno', 1)"));
    struct Case {
        const char *sql;
        long native;
        long number;
    } cases[] = {
        {"INSERT INTO odbc_padre (Id, Nombre) VALUES (1, 'otro')", 2627, errnum::IntegrityViolation},
        {"INSERT INTO odbc_hijo (Id, Padre) VALUES (1, 99)", 547, errnum::IntegrityViolation},
        {"UPDATE odbc_padre SET Cant = -1", 547, errnum::IntegrityViolation},
        {"INSERT INTO odbc_padre (Id) VALUES (2)", 515, errnum::IntegrityViolation},
        {"INSERT INTO odbc_padre (Id, Nombre) VALUES (3, 'demasiado')", 8152, errnum::CommandFailed},
        {"SELECT * FROM odbc_no_existe", 208, errnum::CommandFailed},
        {"CREATE TABLE odbc_padre (x INT)", 2714, errnum::CommandFailed},
        {"SELEC 1", 102, errnum::CommandFailed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sql);
        const BackendError e = failureOf(*m_db, QString::fromUtf8(c.sql));
        EXPECT_EQ(e.nativeError, c.native) << e.description.toStdString();
        EXPECT_EQ(e.number, c.number);
        EXPECT_FALSE(e.description.isEmpty());
    }
    // The session is still usable after each error.
    EXPECT_EQ(run(*m_db, QStringLiteral("SELECT COUNT(*) FROM odbc_padre")).rows[0][0].toInt64(), 1);
}

TEST_F(PgBackend, TextComparesIgnoreCase)
{
    recreate("odbc_texto", "Codigo VARCHAR(10) NOT NULL PRIMARY KEY, Fijo CHAR(8), Nombre VARCHAR(40)");
    run(*m_db, QStringLiteral("INSERT INTO odbc_texto (Codigo, Fijo, Nombre) VALUES ('Abc  ', 'xy', 'Camión Rojo')"));
    struct Case {
        const char *where;
        long count;
    } cases[] = {
        {"Codigo = 'ABC'", 1},         {"Codigo = 'abc   '", 1},         {"Fijo = 'XY  '", 1},
        {"Nombre LIKE '%ROJO'", 1},    {"Nombre NOT LIKE 'camión%'", 0}, {"CHARINDEX('rojo', Nombre) = 8", 1},
        {"Nombre = 'camion rojo'", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where);
        const ResultSet r =
            run(*m_db, QStringLiteral("SELECT COUNT(*) FROM odbc_texto WHERE %1").arg(QString::fromUtf8(c.where)));
        EXPECT_EQ(r.rows[0][0].toInt64(), c.count);
    }
    // The value keeps its blanks, as SQL Server's VARCHAR does.
    EXPECT_EQ(run(*m_db, QStringLiteral("SELECT Codigo FROM odbc_texto")).rows[0][0].toString().toStdString(), "Abc  ");
    // A key that differs only in case is the same key, as on SQL Server.
    EXPECT_EQ(failureOf(*m_db, QStringLiteral("INSERT INTO odbc_texto (Codigo) VALUES ('aBC')")).nativeError,
              native::DuplicateKey);
}

TEST_F(PgBackend, BatchTransactionsAndStatementLevelRollback)
{
    recreate("odbc_tx", "Id INT NOT NULL PRIMARY KEY");
    const ResultSet r = run(*m_db,
                            QStringLiteral("BEGIN TRANSACTION\nINSERT INTO odbc_tx VALUES (1)\n"
                                           "INSERT INTO odbc_tx VALUES (2)\nROLLBACK TRANSACTION"));
    EXPECT_FALSE(m_db->inTransaction());
    EXPECT_EQ(run(*m_db, QStringLiteral("SELECT COUNT(*) FROM odbc_tx")).rows[0][0].toInt64(), 0);

    const ResultSet counted =
        run(*m_db, QStringLiteral("INSERT INTO odbc_tx VALUES (1); INSERT INTO odbc_tx VALUES (2)"));
    EXPECT_EQ(counted.recordsAffected, 2);

    // A failing statement inside a transaction undoes itself only, as on SQL Server.
    m_db->beginTransaction();
    run(*m_db, QStringLiteral("INSERT INTO odbc_tx VALUES (3)"));
    EXPECT_EQ(failureOf(*m_db, QStringLiteral("INSERT INTO odbc_tx VALUES (1)")).nativeError, native::DuplicateKey);
    run(*m_db, QStringLiteral("INSERT INTO odbc_tx VALUES (4)"));
    m_db->commit();
    EXPECT_EQ(run(*m_db, QStringLiteral("SELECT COUNT(*) FROM odbc_tx")).rows[0][0].toInt64(), 4);
    EXPECT_EQ(failureOf(*m_db, QStringLiteral("COMMIT TRANSACTION")).nativeError, 3902);
}

TEST_F(PgBackend, SchemaListsTablesColumnsAndKeys)
{
    recreate("ODBC_Esquema",
             "Codigo VARCHAR(12) NOT NULL, Linea INT NOT NULL, Descripcion NVARCHAR(50), "
             "PRIMARY KEY (Codigo, Linea)");
    EXPECT_TRUE(m_db->tables().contains(QStringLiteral("odbc_esquema"), Qt::CaseInsensitive));
    const auto columns = m_db->columns(QStringLiteral("[dbo].[ODBC_ESQUEMA]"));
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].Name.toLower().toStdString(), "codigo");
    EXPECT_EQ(columns[0].Type, adVarChar);
    EXPECT_EQ(columns[0].DefinedSize, 12);
    EXPECT_FALSE(columns[0].Nullable);
    EXPECT_EQ(columns[2].Name.toLower().toStdString(), "descripcion");
    EXPECT_TRUE(columns[2].Nullable);
    EXPECT_EQ(m_db->primaryKey(QStringLiteral("ODBC_Esquema")).join(QLatin1Char(',')).toLower().toStdString(),
              "codigo,linea");
    EXPECT_TRUE(m_db->columns(QStringLiteral("odbc_no_existe")).empty());
}

TEST_F(PgBackend, CommandTimeoutStopsALongQuery)
{
    QElapsedTimer clock;
    clock.start();
    const BackendError e = failureOf(*m_db, QStringLiteral("SELECT pg_sleep(20)"), 1);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(e.number, errnum::Timeout);
    EXPECT_EQ(run(*m_db, QStringLiteral("SELECT 1")).rows.size(), 1u);
}

TEST_F(PgBackend, DefaultDatabaseSwitchesByReconnecting)
{
    const QString home = m_db->defaultDatabase();
    m_db->setDefaultDatabase(home.toUpper()); // the same database: nothing happens
    EXPECT_EQ(m_db->defaultDatabase(), home);
    m_db->setDefaultDatabase(QStringLiteral("postgres"));
    EXPECT_EQ(run(*m_db, QStringLiteral("SELECT current_database()")).rows[0][0].toString().toStdString(), "postgres");
}

// Each wrong part of the connection gives an error that names it, within the time-out.
TEST(PgConnect, WrongPartsAreNamedInTheError)
{
    SKIP_WITHOUT_PG();
    const ConnectionString good = ConnectionString::parse(pgtest::connectionString());
    auto with = [&](const char *key, const QString &value) {
        QString text;
        for (const auto &item : good.items())
            if (item.first.compare(QLatin1String(key), Qt::CaseInsensitive) != 0)
                text += item.first + QLatin1Char('=') + item.second + QLatin1Char(';');
        return text + QLatin1String(key) + QLatin1Char('=') + value + QLatin1Char(';');
    };
    struct Case {
        const char *what;
        QString connection;
        QString named;
    } cases[] = {
        {"host", with("Server", QStringLiteral("no-such-host.invalid")), QStringLiteral("no-such-host.invalid")},
        {"port",
         with("Server", QStringLiteral("127.0.0.1")).replace(good.value(QStringLiteral("Port")), QStringLiteral("1")),
         QStringLiteral("puerto 1")},
        {"user", with("UId", QStringLiteral("nadie")), QStringLiteral("usuario nadie")},
        {"password", with("Pwd", QStringLiteral("equivocada")), QStringLiteral("password authentication failed")},
        {"database", with("Database", QStringLiteral("odbc_sin_base")), QStringLiteral("odbc_sin_base")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ConnectionString cs = ConnectionString::parse(c.connection);
        auto backend = createBackend(cs);
        QElapsedTimer clock;
        clock.start();
        try {
            backend->open(cs, QString(), QString(), 3);
            ADD_FAILURE() << "opened";
        } catch (const BackendFailure &f) {
            EXPECT_EQ(f.errors().front().number, errnum::GenericFailure);
            EXPECT_TRUE(f.errors().front().description.contains(c.named))
                << f.errors().front().description.toStdString();
        }
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_FALSE(backend->isOpen());
    }
}

TEST(PgConnect, UnknownDriverNameIsNamed)
{
    SKIP_WITHOUT_PG();
    qputenv("IMAESTROS_ODBC_POSTGRESQL", "Controlador Inexistente");
    const ConnectionString cs = ConnectionString::parse(pgtest::connectionString());
    auto backend = createBackend(cs);
    try {
        backend->open(cs, QString(), QString(), 3);
        ADD_FAILURE() << "opened";
    } catch (const BackendFailure &f) {
        const QString text = f.errors().front().description;
        EXPECT_TRUE(text.contains(QLatin1String("\"Controlador Inexistente\""))) << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String("IMAESTROS_ODBC_POSTGRESQL"))) << text.toStdString();
    }
    qunsetenv("IMAESTROS_ODBC_POSTGRESQL");
}

// A session the server ends under an open connection: the next statement reports the
// lost link as AbrirRecordset expects it, and Close + Open brings the connection back.
TEST(PgConnection, TerminatedSessionReportsLostLinkAndReopens)
{
    SKIP_WITHOUT_PG();
    Connection cn;
    cn.Open(pgtest::connectionString());
    const auto pid = cn.Execute(QStringLiteral("SELECT pg_backend_pid()"))->field(0).Value().toInt64();
    auto other = pgtest::openBackend();
    run(*other, QStringLiteral("SELECT pg_terminate_backend(%1)").arg(pid));
    try {
        cn.Execute(QStringLiteral("SELECT 1"));
        FAIL() << "no error on a terminated session";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Number(), errnum::GenericFailure);
        ASSERT_GE(cn.errors().Count(), 1);
        EXPECT_EQ(cn.errors()[0].NativeError, native::CommunicationLink);
    }
    cn.Close();
    cn.Open(pgtest::connectionString());
    EXPECT_EQ(cn.Execute(QStringLiteral("SELECT 2"))->field(0).Value().toInt64(), 2);
}
