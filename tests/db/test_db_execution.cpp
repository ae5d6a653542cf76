// The database class on real databases: statements, recordsets, lookups, schema, the
// administrator flag and the connection failures.
#include "db/DB_Dll.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Recordset.h"
#include "platform/ui/Operator.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

using platform::Variant;
using testsupport::DatabaseTest;

namespace {

// Answers the error dialogs; an unexpected question fails the test.
std::shared_ptr<platform::ScriptedOperator> scripted()
{
    return std::make_shared<platform::ScriptedOperator>(
        [](const QString &message) { ADD_FAILURE() << message.toStdString(); });
}

class DbExecTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_operator = scripted();
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
        DB_Dll &db = gDB();
        db.gLogErr = m_logDir.filePath(QStringLiteral("VKERR.LOG"));
        db.gServidor = isSqlite() ? QStringLiteral("!") : QStringLiteral("%pg");
        db.OpenServerADODB(false, ado::adUseClient, connectionString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
        db.gEsAdmin = true;
    }
    void TearDown() override
    {
        m_scope.reset();
        releaseSharedDatabases();
        DatabaseTest::TearDown();
    }
    DB_Dll &db() { return gDB(); }
    QByteArray log() const
    {
        QFile file(m_logDir.filePath(QStringLiteral("VKERR.LOG")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    long count(const QString &table)
    {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT COUNT(*) AS N FROM ") + table, db().gCnn);
        return long(rs.value(QStringLiteral("N")).toInt64());
    }

    QTemporaryDir m_logDir;
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
};

TEST_P(DbExecTest, StatementRunsWithoutTheAdminPrefix)
{
    recreateTable(QStringLiteral("DBX_T"), QStringLiteral("ID INT PRIMARY KEY, N VARCHAR(5)"));
    QString sql = QStringLiteral("INSERT INTO @Admin_DBX_T (ID, N) VALUES (1, 'a')");
    long affected = 0;
    EXPECT_TRUE(db().EjecutaConsultaSQL(sql, &affected));
    EXPECT_EQ(sql, QStringLiteral("INSERT INTO DBX_T (ID, N) VALUES (1, 'a')"));
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(db().gCnn.errors().Count(), 0);
    EXPECT_EQ(count(QStringLiteral("DBX_T")), 1);

    // A query with the prefix reads the table itself, also for an administrator.
    ado::Recordset rs;
    sql = QStringLiteral("SELECT N FROM @admin_DBX_T");
    ASSERT_TRUE(db().AbrirRecordset(sql, rs));
    EXPECT_EQ(sql, QStringLiteral("SELECT N FROM DBX_T"));
    EXPECT_EQ(rs.value(QStringLiteral("N")).toString(), QStringLiteral("a"));
}

TEST_P(DbExecTest, FailedStatementIsReportedWithItsErrors)
{
    recreateTable(QStringLiteral("DBX_T"), QStringLiteral("ID INT PRIMARY KEY, N VARCHAR(5)"));
    ASSERT_TRUE(db().EjecutaConsultaSQL(QStringLiteral("INSERT INTO DBX_T VALUES (1, 'a')")));
    EXPECT_FALSE(db().EjecutaConsultaSQL(QStringLiteral("INSERT INTO DBX_T VALUES (1, 'b')")));
    ASSERT_GT(db().gCnn.errors().Count(), 0);
    EXPECT_EQ(db().gCnn.errors()[0].NativeError, ado::native::DuplicateKey);
    EXPECT_TRUE(m_operator->asked().isEmpty()) << "statement failures are silent";
}

TEST_P(DbExecTest, RejectedTruncationIsNeverHidden)
{
    // As on SQL Server, a value longer than its column is refused (8152), on every engine;
    // it is never stored whole or cut while the statement reports success.
    recreateTable(QStringLiteral("DBX_T"), QStringLiteral("ID INT PRIMARY KEY, N VARCHAR(5)"));
    ASSERT_TRUE(db().EjecutaConsultaSQL(QStringLiteral("INSERT INTO DBX_T VALUES (1, 'abcde')")));
    for (const char *statement :
         {"INSERT INTO DBX_T VALUES (2, 'abcdefghij')", "UPDATE DBX_T SET N = 'abcdefghij' WHERE ID = 1"}) {
        EXPECT_FALSE(db().EjecutaConsultaSQL(QString::fromLatin1(statement))) << statement;
        ASSERT_GT(db().gCnn.errors().Count(), 0) << statement;
        EXPECT_EQ(db().gCnn.errors()[0].NativeError, ado::native::StringTruncated) << statement;
    }
    EXPECT_EQ(count(QStringLiteral("DBX_T")), 1);
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT N FROM DBX_T WHERE ID = 1"), db().gCnn);
    EXPECT_EQ(rs.value(QStringLiteral("N")).toString(), QStringLiteral("abcde"));
}

TEST_P(DbExecTest, RestrictedUserReadsTheSynonymViewUnlessAdminPrefix)
{
    recreateTable(QStringLiteral("MA_CUENTAS"), QStringLiteral("ID INT, RESERVADA INT"));
    try {
        db().gCnn.Execute(QStringLiteral("DROP VIEW SS_MA_CUENTAS"));
    } catch (const platform::RuntimeError &) {
    }
    db().gCnn.Execute(QStringLiteral("INSERT INTO MA_CUENTAS VALUES (1, 0)"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO MA_CUENTAS VALUES (2, 1)"));
    db().gCnn.Execute(QStringLiteral("CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS WHERE RESERVADA = 0"));
    db().gEsAdmin = false;
    ado::Recordset rs;
    QString sql = QStringLiteral("SELECT * FROM MA_CUENTAS");
    ASSERT_TRUE(db().AbrirRecordset(sql, rs));
    EXPECT_EQ(sql, QStringLiteral("SELECT * FROM SS_MA_CUENTAS"));
    EXPECT_EQ(rs.RecordCount(), 1);
    sql = QStringLiteral("SELECT * FROM @Admin_MA_CUENTAS");
    ASSERT_TRUE(db().AbrirRecordset(sql, rs));
    EXPECT_EQ(sql, QStringLiteral("SELECT * FROM MA_CUENTAS"));
    EXPECT_EQ(rs.RecordCount(), 2);
    db().CierraRecordset(rs);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    db().CierraRecordset(rs); // closed already: nothing happens
    db().gCnn.Execute(QStringLiteral("DROP VIEW SS_MA_CUENTAS"));
}

TEST_P(DbExecTest, FailedQueryIsAskedAboutAndLogged)
{
    m_operator->expect(QStringLiteral("Ha ocurrido el Siguiente Error ("), platform::vbIgnore);
    ado::Recordset rs;
    EXPECT_FALSE(db().AbrirRecordset(QStringLiteral("SELECT * FROM DBX_NO_EXISTE"), rs));
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    EXPECT_EQ(m_operator->asked().size(), 1);
    EXPECT_TRUE(
        m_operator->asked().at(0).title.endsWith(QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
    EXPECT_TRUE(log().contains("Rutina: - AbrirRecordset Mensaje Ha ocurrido el Siguiente Error ("));
    EXPECT_TRUE(log().endsWith(" Respondi\xf3 : Ignorar\r\n"));
}

// Creates the missing table when asked, then answers Retry.
class FixingOperator : public platform::OperatorService {
public:
    explicit FixingOperator(ado::Connection &cnn) : m_cnn(cnn) {}
    platform::Reply ask(const platform::Question &) override
    {
        ++asked;
        testsupport::recreateTable(m_cnn, QStringLiteral("DBX_LATE"), QStringLiteral("ID INT"));
        return {platform::vbRetry, QString()};
    }
    int asked = 0;

private:
    ado::Connection &m_cnn;
};

TEST_P(DbExecTest, RetryRepeatsTheOpen)
{
    try {
        db().gCnn.Execute(QStringLiteral("DROP TABLE DBX_LATE"));
    } catch (const platform::RuntimeError &) {
    }
    auto fixer = std::make_shared<FixingOperator>(cnn());
    platform::ScopedOperator scope(fixer);
    ado::Recordset rs;
    EXPECT_TRUE(db().AbrirRecordset(QStringLiteral("SELECT * FROM DBX_LATE"), rs));
    EXPECT_EQ(fixer->asked, 1);
}

// The reception's and the sending's road: kept when the connection is opened again, refused
// inside a transaction (the connection stays as it was).
TEST_P(DbExecTest, StatementRollbackSettingOutlivesAReconnection)
{
    EXPECT_TRUE(db().setStatementRollback(false));
    db().ReintentaConectar();
    ASSERT_TRUE(db().gOpenFlag);
    EXPECT_FALSE(db().gCnn.StatementRollback());
    db().reabrirCon(db().ajustesDeConexion());
    ASSERT_TRUE(db().gOpenFlag);
    EXPECT_FALSE(db().gCnn.StatementRollback());
    db().gCnn.BeginTrans();
    EXPECT_FALSE(db().setStatementRollback(true));
    db().gCnn.RollbackTrans();
    EXPECT_FALSE(db().gCnn.StatementRollback());
    EXPECT_TRUE(db().setStatementRollback(true));
    EXPECT_TRUE(db().gCnn.StatementRollback());
}

TEST_P(DbExecTest, MaximaAndLastCode)
{
    recreateTable(QStringLiteral("DBX_TR"), QStringLiteral("TRANSMISION INT, TIPO VARCHAR(1), FECHA VARCHAR(10)"));
    Variant v = db().BuscaUltimoCodigo(QStringLiteral("DBX_TR"), QStringLiteral("TRANSMISION"), Variant(3),
                                       QStringLiteral(" TIPO='N'"));
    ASSERT_TRUE(v.isNumeric()) << "an aggregate over no rows gives a row holding Null";
    EXPECT_EQ(v.toDouble(), 0);
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("DBX_TR"), QStringLiteral("FECHA"), Variant(7)).toString(), QString());
    for (const char *row : {"(5, 'N', '01/02/2021')", "(9, 'M', '31/12/2020')", "(7, 'N', NULL)"})
        db().gCnn.Execute(QStringLiteral("INSERT INTO DBX_TR VALUES ") + QString::fromUtf8(row));
    EXPECT_EQ(db().BuscaUltimoCodigo(QStringLiteral("DBX_TR"), QStringLiteral("TRANSMISION"), Variant(3),
                                     QStringLiteral(" TIPO='N'"))
                  .toDouble(),
              7);
    EXPECT_EQ(db().BuscaUltimoCodigo(QStringLiteral("DBX_TR"), QStringLiteral("TRANSMISION"), Variant(3),
                                     QStringLiteral("   "))
                  .toDouble(),
              9);
    EXPECT_EQ(db().BuscaMinimo(QStringLiteral("DBX_TR"), QStringLiteral("TRANSMISION"), Variant(),
                               QStringLiteral("TIPO = 'N'"))
                  .toDouble(),
              5);
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("DBX_TR"), QStringLiteral("FECHA"), Variant(7)).toString(),
              QStringLiteral("31/12/2020"));
    EXPECT_THROW(db().BuscaMaximo(QStringLiteral("DBX_NO_EXISTE"), QStringLiteral("X")), platform::RuntimeError);
}

TEST_P(DbExecTest, ArticleMaximumSkipsCodesStartingWithZero)
{
    recreateTable(QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("IDARTICULO VARCHAR(10)"));
    for (const char *code : {"0999", "0100"})
        db().gCnn.Execute(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('%1')").arg(QString::fromUtf8(code)));
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("v_ma_articulos"), QStringLiteral("IDARTICULO")).toDouble(), 0);
    db().gCnn.Execute(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('5000')"));
    EXPECT_EQ(db().BuscaMaximo(QStringLiteral("v_ma_articulos"), QStringLiteral("IDARTICULO")).toDouble(), 5000);
}

TEST_P(DbExecTest, SingleRowLookups)
{
    recreateTable(QStringLiteral("DBX_CLI"), QStringLiteral("CODIGO VARCHAR(10), NOMBRE VARCHAR(20), NUM INT"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO DBX_CLI VALUES ('   1', 'Uno', 1)"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO DBX_CLI VALUES ('O''B', NULL, 2)"));
    const QString t = QStringLiteral("DBX_CLI");
    const QString c = QStringLiteral("CODIGO");
    EXPECT_TRUE(db().ExisteEnTabla(t, QStringLiteral("1 "), c, nullptr, 8));
    EXPECT_FALSE(db().ExisteEnTablaST(t, QStringLiteral("1 "), c, nullptr, 8));
    EXPECT_TRUE(db().ExisteEnTabla(t, QStringLiteral("O'B"), c, nullptr, 8)) << "apostrophe escaped";
    EXPECT_TRUE(db().ExisteEnTabla(t, QStringLiteral(" 2"), QStringLiteral("NUM"), nullptr, 3));
    EXPECT_FALSE(db().ExisteEnTabla(t, QStringLiteral("x"), c, nullptr, 8, QStringLiteral("NUM = 3")));
    EXPECT_TRUE(db().ExisteEnTablaST(t, QString(), c, nullptr, 8, QStringLiteral(" where NUM = 2 ")));

    EXPECT_EQ(db().DatosTabla(t, QStringLiteral("1"), QStringLiteral("NOMBRE"), c, 8, QString(), true).toString(),
              QStringLiteral("Uno"));
    const Variant nulo = db().DatosTabla(t, QStringLiteral("O'B"), QStringLiteral("NOMBRE"), c, 8, QString(), true);
    EXPECT_FALSE(nulo.isNull());
    EXPECT_EQ(nulo.toString(), QString());
    EXPECT_EQ(db().DatosTabla(t, QStringLiteral("9"), QStringLiteral("NOMBRE"), c, 8, QString(), true).toString(),
              QString());
    EXPECT_EQ(db().DatosTabla(t, QStringLiteral("1"), QStringLiteral("NOMBRE"), c, 8, QStringLiteral("NUM = 1"), true)
                  .toString(),
              QStringLiteral("Uno"));
}

TEST_P(DbExecTest, LookupRecordsetIsReopenedAndKept)
{
    recreateTable(QStringLiteral("DBX_CLI"), QStringLiteral("CODIGO VARCHAR(10), NUM INT"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO DBX_CLI VALUES ('A', 1)"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO DBX_CLI VALUES ('B', 2)"));
    ado::Recordset rs;
    rs.setCursorType(ado::adOpenDynamic);
    rs.setLockType(ado::adLockOptimistic);
    ASSERT_TRUE(db().ExisteEnTabla(QStringLiteral("DBX_CLI"), QStringLiteral("A"), QStringLiteral("CODIGO"), &rs, 8));
    EXPECT_EQ(rs.value(QStringLiteral("NUM")).toInt64(), 1);
    EXPECT_EQ(rs.LockType(), ado::adLockOptimistic) << "the recordset's own types are kept";
    ASSERT_TRUE(
        db().ExisteEnTablaST(QStringLiteral("DBX_CLI"), QString(), QString(), &rs, 8, QStringLiteral("NUM > 0"), true));
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.LockType(), ado::adLockReadOnly);
}

TEST_P(DbExecTest, LookupErrorsAreAskedAbout)
{
    m_operator->expect(QString(), platform::vbAbort);
    EXPECT_FALSE(
        db().ExisteEnTabla(QStringLiteral("DBX_NO_EXISTE"), QStringLiteral("1"), QStringLiteral("C"), nullptr, 8));
    ASSERT_EQ(m_operator->asked().size(), 1);
    EXPECT_EQ(m_operator->asked().at(0).title, QStringLiteral("Aviso al Operador"));
    EXPECT_EQ(m_operator->asked().at(0).style, 18);
    // A silent DatosTabla on a missing column gives "" without asking.
    recreateTable(QStringLiteral("DBX_CLI"), QStringLiteral("CODIGO VARCHAR(10)"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO DBX_CLI VALUES ('A')"));
    EXPECT_EQ(db().DatosTabla(QStringLiteral("DBX_CLI"), QStringLiteral("A"), QStringLiteral("NO_HAY"),
                              QStringLiteral("CODIGO"), 8, QString(), true, true)
                  .toString(),
              QString());
    EXPECT_EQ(m_operator->asked().size(), 1);
}

TEST_P(DbExecTest, SchemaQuestionsAndAddedColumn)
{
    recreateTable(QStringLiteral("DBX_ENV"), QStringLiteral("ID INT"));
    EXPECT_TRUE(db().ExisteTablaDB(QStringLiteral("dbx_env")));
    EXPECT_FALSE(db().ExisteTablaDB(QStringLiteral("DBX_NO_EXISTE")));
    EXPECT_FALSE(db().ExisteCampoDB(QStringLiteral("DBX_ENV"), QStringLiteral("Transmision")));
    EXPECT_FALSE(
        db().VerCampoDB(QStringLiteral("DBX_ENV"), QStringLiteral("Transmision"), false, QStringLiteral("INT"), true));
    EXPECT_TRUE(
        db().VerCampoDB(QStringLiteral("DBX_ENV"), QStringLiteral("Transmision"), true, QStringLiteral("INT"), true));
    EXPECT_TRUE(db().ExisteCampoDB(QStringLiteral("DBX_ENV"), QStringLiteral("TRANSMISION")));
    EXPECT_TRUE(
        db().VerCampoDB(QStringLiteral("DBX_ENV"), QStringLiteral("Transmision"), true, QStringLiteral("INT"), true));
    EXPECT_FALSE(
        db().VerCampoDB(QStringLiteral("DBX_NO_EXISTE"), QStringLiteral("X"), true, QStringLiteral("INT"), true));
}

TEST_P(DbExecTest, AdministratorFlag)
{
    try {
        db().gCnn.Execute(QStringLiteral("DROP TABLE TA_USUARIOS"));
    } catch (const platform::RuntimeError &) {
    }
    auto reopen = [&](bool validaAdmin, bool muestraError) {
        db().gCnn.Close();
        db().gDBName = isSqlite() ? QStringLiteral("x")
                                  : ado::ConnectionString::parse(connectionString()).value(QStringLiteral("Database"));
        db().OpenServerADODB(false, ado::adUseClient, connectionString(), validaAdmin, muestraError);
        ASSERT_TRUE(db().gOpenFlag);
    };
    db().gEsAdmin = false;
    reopen(true, true);
    EXPECT_FALSE(db().gEsAdmin) << "without TA_USUARIOS the flag is left as it was";
    reopen(false, true);
    EXPECT_TRUE(db().gEsAdmin);

    db().gCnn.Execute(QStringLiteral("CREATE TABLE TA_USUARIOS (NOMBRE VARCHAR(20), ADMINISTRADOR VARCHAR(5))"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO TA_USUARIOS VALUES ('ana', '1')"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO TA_USUARIOS VALUES ('bea', '0')"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO TA_USUARIOS VALUES ('cid', '2')"));
    db().gCnn.Execute(QStringLiteral("INSERT INTO TA_USUARIOS VALUES ('dan', '')"));
    db().gEsAdmin = false;
    db().gUsuario = QStringLiteral("bea");
    reopen(true, false);
    EXPECT_TRUE(db().gEsAdmin) << "MuestraError False trusts the table's presence";
    struct Case {
        const char *user;
        bool admin;
    };
    for (const Case &c :
         {Case{"ana", true}, Case{"bea", false}, Case{"cid", false}, Case{"dan", false}, Case{"nadie", false}}) {
        db().gUsuario = QString::fromUtf8(c.user);
        reopen(true, true);
        EXPECT_EQ(db().gEsAdmin, c.admin) << c.user;
    }
    db().gCnn.Execute(QStringLiteral("DROP TABLE TA_USUARIOS"));
}

TEST_P(DbExecTest, OracleBatchRunnerCutsAndCounts)
{
    recreateTable(QStringLiteral("DBX_LOTE"), QStringLiteral("ID INT"));
    // The runner works on the connection; only the text decides that it is Oracle.
    db().gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;");
    QString batch = QStringLiteral("SET NOCOUNT ON\r\nBEGIN TRANSACTION\r\nINSERT INTO DBX_LOTE VALUES (1)\r\n"
                                   "GO\r\nINSERT INTO DBX_LOTE VALUES (2)\r\nCOMMIT TRANSACTION");
    long affected = 0;
    EXPECT_TRUE(db().EjecutaConsultaSQL(batch, &affected));
    EXPECT_EQ(affected, 2);
    EXPECT_TRUE(batch.isEmpty()) << "the batch is consumed";
    batch = QStringLiteral("BEGIN TRANSACTION\r\nDELETE FROM DBX_LOTE\r\nROLLBACK TRANSACTION");
    EXPECT_TRUE(db().EjecutaConsultaSQL(batch));
    EXPECT_EQ(count(QStringLiteral("DBX_LOTE")), 2);
    batch = QStringLiteral("SELECT 1");
    affected = 0;
    EXPECT_TRUE(db().EjecutaConsultaSQL(batch, &affected));
    EXPECT_EQ(affected, 0);
    batch = QStringLiteral("INSERT INTO DBX_NO_EXISTE VALUES (1)");
    EXPECT_FALSE(db().EjecutaConsultaSQL(batch));
    EXPECT_GT(db().gCnn.errors().Count(), 0);
}

IMAESTROS_DATABASE_TESTS(DbExecTest);

// ---- connections that cannot open -----------------------------------------------------

class OpenFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_operator = scripted();
        m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
    }
    void TearDown() override
    {
        DB_Dll::setDialogoAcceso(nullptr);
        m_scope.reset();
        releaseSharedDatabases();
    }
    QTemporaryDir m_dir;
    std::shared_ptr<platform::ScriptedOperator> m_operator;
    std::unique_ptr<platform::ScopedOperator> m_scope;
};

TEST_F(OpenFailureTest, ConnectionErrorAsksToRetryAndNoGivesUp)
{
    DB_Dll &db = gDB();
    db.gServidor = QStringLiteral("%127.0.0.1:1"); // nothing listens there
    db.gUsuario = QStringLiteral("sa");
    db.gDBName = QStringLiteral("ventas");
    m_operator->expect(QStringLiteral(" - Desea Intentarlo Nuevamente??? "), platform::vbNo);
    db.OpenServerADODB(false, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.State(), ado::adStateClosed);
    ASSERT_EQ(m_operator->asked().size(), 1);
    const platform::Question &q = m_operator->asked().at(0);
    EXPECT_EQ(q.title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(q.style, 20);
    EXPECT_TRUE(q.text.startsWith(QStringLiteral(" Estado de Sql: ")));
    // no server answered: the server's name is what to check, not the user and password
    EXPECT_TRUE(q.text.contains(QStringLiteral("1. Verifique el nombre del servidor"))) << q.text.toStdString();
    EXPECT_FALSE(q.text.contains(QStringLiteral("contraseña"))) << q.text.toStdString();

    db.OpenServerADODB(false, ado::adUseClient, QString(), true, false);
    EXPECT_FALSE(db.gOpenFlag) << "MuestraError False fails silently";
}

// A login the server refuses gets the advice on user, password and database.
TEST_F(OpenFailureTest, WrongPostgreSqlPasswordGetsTheLoginAdvice)
{
    const QString pg = qEnvironmentVariable("IMAESTROS_PG_CONNSTR");
    if (pg.isEmpty())
        GTEST_SKIP() << "PostgreSQL not available (set IMAESTROS_PG_CONNSTR)";
    QString wrong;
    for (const QString &pair : pg.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        wrong +=
            (pair.trimmed().startsWith(QLatin1String("Pwd="), Qt::CaseInsensitive) ? QStringLiteral("Pwd=no-es") : pair)
            + QLatin1Char(';');
    DB_Dll &db = gDB();
    db.gServidor = QStringLiteral("%localhost");
    db.gUsuario = QStringLiteral("imaestros");
    m_operator->expect(QStringLiteral(" - Desea Intentarlo Nuevamente??? "), platform::vbNo);
    db.OpenServerADODB(false, ado::adUseClient, wrong, false, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(m_operator->asked().size(), 1);
    const QString text = m_operator->asked().at(0).text;
    EXPECT_TRUE(text.contains(QStringLiteral("1. Verifique el Usuario, contraseña y base de datos")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("3. Verifique si el inicio de sesion para el usuario imaestros existe")));
    EXPECT_FALSE(text.contains(QStringLiteral("ocupada")));
}

// An embedded database another connection keeps locked (BEGIN EXCLUSIVE: not even read).
class LockedDatabase {
public:
    explicit LockedDatabase(const QString &path)
    {
        m_holder.Open(testsupport::sqliteConnectionString(path));
        m_holder.Execute(QStringLiteral("CREATE TABLE T_LOCKED (ID INT)"));
        m_holder.Execute(QStringLiteral("BEGIN EXCLUSIVE"));
        m_holder.Execute(QStringLiteral("INSERT INTO T_LOCKED VALUES (1)"));
    }
    void release() { m_holder.Execute(QStringLiteral("COMMIT")); }

private:
    ado::Connection m_holder;
};

// Start-up waits for the lock as a statement does, up to the connection time-out, and opens.
TEST_F(OpenFailureTest, LockedEmbeddedDatabaseIsWaitedFor)
{
    const QString path = m_dir.filePath(QStringLiteral("bloqueada.sqlite"));
    LockedDatabase lock(path);
    std::thread releaser([&] {
        QThread::msleep(1500);
        lock.release();
    });
    DB_Dll &db = gDB();
    db.gServidor = QStringLiteral("!");
    db.gDBName = path;
    db.gCnn.setConnectionTimeout(10);
    QElapsedTimer clock;
    clock.start();
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    const qint64 waited = clock.elapsed();
    releaser.join();
    EXPECT_TRUE(db.gOpenFlag) << "no question expected";
    EXPECT_GE(waited, 1000);
    EXPECT_EQ(db.gCnn.Execute(QStringLiteral("SELECT COUNT(*) FROM T_LOCKED"))->field(0).Value().toInt64(), 1);
}

// Held past the time-out: the database is said to be busy, with no advice on user and password.
TEST_F(OpenFailureTest, LockedEmbeddedDatabaseIsReportedBusy)
{
    const QString path = m_dir.filePath(QStringLiteral("bloqueada.sqlite"));
    LockedDatabase lock(path);
    DB_Dll &db = gDB();
    db.gServidor = QStringLiteral("!");
    db.gDBName = path;
    db.gUsuario = QStringLiteral("sa");
    db.gCnn.setConnectionTimeout(1);
    m_operator->expect(QStringLiteral("ocupada"), platform::vbNo);
    QElapsedTimer clock;
    clock.start();
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    EXPECT_GE(clock.elapsed(), 900) << "gave up without waiting";
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(m_operator->asked().size(), 1);
    const QString text = m_operator->asked().at(0).text;
    EXPECT_TRUE(text.contains(QStringLiteral("La base de datos esta ocupada: otro proceso la tiene bloqueada")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("está ocupada: otro proceso la tiene bloqueada y no la liberó en 1 s")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("contraseña"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("inicio de sesion"))) << text.toStdString();
    EXPECT_EQ(db.gCnn.errors()[0].NativeError, 1222);
    lock.release();
}

TEST_F(OpenFailureTest, YesShowsTheDialogAgainAndItsValuesAreUsed)
{
    const QString good = m_dir.filePath(QStringLiteral("buena.sqlite"));
    {
        ado::Connection create;
        create.Open(testsupport::sqliteConnectionString(good));
        create.Close();
    }
    int shown = 0;
    DB_Dll::setDialogoAcceso([&](DB_Dll::DatosAcceso &datos) {
        ++shown;
        EXPECT_EQ(datos.plataforma, 0);
        datos.dbName = good;
        datos.servidor = QStringLiteral("local");
        datos.plataforma = 2;
        return true;
    });
    DB_Dll &db = gDB();
    db.gServidor = QStringLiteral("!");
    db.gDBName = m_dir.filePath(QStringLiteral("falta/base.sqlite"));
    m_operator->expect(QStringLiteral("Desea Intentarlo Nuevamente"), platform::vbYes);
    db.OpenServerADODB(false, ado::adUseClient, QString(), false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(db.gServidor, QStringLiteral("!local"));
    EXPECT_EQ(db.gProveedor, QStringLiteral("SQLite"));
    EXPECT_EQ(db.gConnString, QStringLiteral("Provider=SQLite;Data Source=") + good + QLatin1Char(';'));
}

TEST_F(OpenFailureTest, CancelledDialogOpensNothing)
{
    DB_Dll &db = gDB();
    db.OpenServerADODB(true, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag) << "no dialog installed counts as cancelled";
    DB_Dll::setDialogoAcceso([](DB_Dll::DatosAcceso &datos) {
        datos.servidor = QStringLiteral("SRV");
        datos.plataforma = 1;
        return false;
    });
    db.OpenServerADODB(true, ado::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.State(), ado::adStateClosed);
    EXPECT_EQ(db.gServidor, QString());
}

TEST_F(OpenFailureTest, OracleChoiceMarksTheServer)
{
    DB_Dll::setDialogoAcceso([](DB_Dll::DatosAcceso &datos) {
        datos.servidor = QStringLiteral("SRV");
        datos.dbName = QStringLiteral("XE");
        datos.plataforma = 1;
        return true;
    });
    DB_Dll &db = gDB();
    db.OpenServerADODB(true, ado::adUseClient, QString(), false, false);
    EXPECT_EQ(db.gServidor, QStringLiteral("#SRV"));
    EXPECT_EQ(db.gProveedor, QStringLiteral("OraOLEDB.Oracle.1"));
    EXPECT_TRUE(db.gConnString.startsWith(QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;")));
}

TEST_F(OpenFailureTest, EmptyProviderBecomesSqlOledbWithAGivenString)
{
    const QString path = m_dir.filePath(QStringLiteral("p.sqlite"));
    DB_Dll db;
    db.OpenServerADODB(false, ado::adUseClient, testsupport::sqliteConnectionString(path), false, false);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_TRUE(db.gEsAdmin);
}

TEST_F(OpenFailureTest, AccessCannotExistHereAndSaysWhy)
{
    DB_Dll db;
    db.gProveedor = db.pJETOLEDB40();
    db.gDBName = m_dir.filePath(QStringLiteral("datos.mdb"));
    m_operator->expect(QString(), platform::vbOK);
    db.OpenLocalADODB(QString(), QStringLiteral("User ID"), QStringLiteral("Password"));
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(m_operator->asked().size(), 1);
    EXPECT_EQ(m_operator->asked().at(0).style, platform::vbCritical);
    EXPECT_TRUE(m_operator->asked().at(0).text.contains(QStringLiteral("Microsoft.Jet.OLEDB.4.0")))
        << m_operator->asked().at(0).text.toStdString();
}

} // namespace
