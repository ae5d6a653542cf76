#include "SuiteDatabase.h"

#include "core/Sentencias.h"
#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"

#include "QtPrint.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using ModGlobal::AgregarCampo;
using ModGlobal::ArmarSentencia;
using ModGlobal::gCampos;

const QString Q = QStringLiteral("'");

TEST(StatementBuilder, InsertAndUpdateText)
{
    QStringList list{QString()};
    QString condition = QStringLiteral("ID = 1");
    AgregarCampo(QStringLiteral("A"), QStringLiteral("x"), Q, true);
    AgregarCampo(QStringLiteral("B"), QStringLiteral("nUlL"), Q, false);
    ArmarSentencia(gCampos, list, QStringLiteral("T"), false, condition, true);
    ArmarSentencia(gCampos, list, QStringLiteral("T"), true, condition, false);
    ASSERT_EQ(list.size(), 5);
    EXPECT_EQ(list.at(1), QStringLiteral("INSERT INTO T (A,B) VALUES ('x',Null)"));
    EXPECT_EQ(list.at(3), QStringLiteral("UPDATE T SET A = 'x',B = Null  WHERE ID = 1"));
    EXPECT_EQ(condition, QStringLiteral(" WHERE ID = 1"));
    EXPECT_TRUE(list.at(2).isEmpty());
    EXPECT_TRUE(list.at(4).isEmpty());
    EXPECT_TRUE(gCampos.isEmpty());
}

TEST(StatementBuilder, ConditionWithKeywordKeptAndNumbers)
{
    QStringList list{QString()};
    QString condition = QStringLiteral("where Codigo = '1'");
    AgregarCampo(QStringLiteral("N"), QStringLiteral("12,5"), QStringLiteral("@"), true);
    ArmarSentencia(gCampos, list, QStringLiteral("T"), true, condition, false);
    EXPECT_EQ(list.at(1), QStringLiteral("UPDATE T SET N = 12.5 where Codigo = '1'"));
}

TEST(StatementBuilder, ApostrophesAreEscapedNotDropped)
{
    QStringList list{QString()};
    QString none;
    QString value = QStringLiteral("O'Brien");
    AgregarCampo(QStringLiteral("Nombre"), value, Q, true);
    ArmarSentencia(gCampos, list, QStringLiteral("T"), false, none, false);
    EXPECT_EQ(list.at(1), QStringLiteral("INSERT INTO T (Nombre) VALUES ('O''Brien')"));
    EXPECT_EQ(value, QStringLiteral("O'Brien"));
}

TEST(StatementBuilder, NextStatementStartsCleanWithoutFirstFlag)
{
    QStringList list{QString()};
    QString none;
    AgregarCampo(QStringLiteral("A"), QStringLiteral("1"), Q, true);
    ArmarSentencia(gCampos, list, QStringLiteral("T"), false, none, false);
    AgregarCampo(QStringLiteral("B"), QStringLiteral("2"), Q, false);
    ArmarSentencia(gCampos, list, QStringLiteral("T"), false, none, false);
    EXPECT_EQ(list.at(3), QStringLiteral("INSERT INTO T (B) VALUES ('2')"));
}

class StatementsDb : public SuiteDatabaseTest {
protected:
    void SetUp() override
    {
        SuiteDatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_TIPOS"),
                      QStringLiteral("Codigo varchar(4) NOT NULL PRIMARY KEY, Nombre varchar(30) NULL, "
                                     "Cantidad int NULL, Precio money NULL, Activo bit NULL, Alta datetime NULL"));
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            try {
                exec(QStringLiteral("DROP TABLE T_TIPOS"));
            } catch (const platform::RuntimeError &) {
            }
        }
        SuiteDatabaseTest::TearDown();
    }
    // Builds the INSERT with CargarCampo for each column of T_TIPOS.
    QString insertFor(const QStringList &values)
    {
        ado::Recordset rs;
        EXPECT_TRUE(gDB().AbrirRecordset(QStringLiteral("SELECT * FROM T_TIPOS WHERE 1 = 0"), rs));
        const QStringList columns{QStringLiteral("Codigo"), QStringLiteral("[Nombre]"), QStringLiteral("Cantidad"),
                                  QStringLiteral("Precio"), QStringLiteral("Activo"),   QStringLiteral("Alta")};
        for (int i = 0; i < columns.size(); ++i) {
            QString column = columns.at(i);
            ModGlobal::CargarCampo(rs, column, values.at(i), i == 0);
        }
        gDB().CierraRecordset(rs);
        QStringList list{QString()};
        QString none;
        ArmarSentencia(gCampos, list, QStringLiteral("T_TIPOS"), false, none, false);
        return list.at(1);
    }
    void run(const QStringList &statements, bool &failed, std::int32_t &native, QString &text,
             bool ignoreDuplicates = false, bool show = false)
    {
        QString script;
        ModGlobal::GActualizarDatoScript(statements, failed, native, ignoreDuplicates, false, script, text, show);
    }
};

TEST_P(StatementsDb, CargarCampoChoosesTheLiteralByColumnType)
{
    EXPECT_EQ(insertFor({QStringLiteral("1"), QStringLiteral(" AB "), QStringLiteral("7"), QStringLiteral("12,5"),
                         QStringLiteral("x"), QStringLiteral("31/12/2020")}),
              QStringLiteral("INSERT INTO T_TIPOS (Codigo,Nombre,Cantidad,Precio,Activo,Alta) VALUES ('   "
                             "1','AB',7,12.5,'1','31/12/2020')"));
    EXPECT_EQ(insertFor({QStringLiteral(" "), QStringLiteral(""), QStringLiteral("0"), QStringLiteral("0"),
                         QStringLiteral("FALSO"), QStringLiteral("  ")}),
              QStringLiteral(
                  "INSERT INTO T_TIPOS (Codigo,Nombre,Cantidad,Precio,Activo,Alta) VALUES (Null,Null,0,0,'0',Null)"));
    for (const char *yes : {"SI", "S", "TRUE", "1", ""})
        EXPECT_TRUE(insertFor({QStringLiteral("1"), QString(), QStringLiteral("0"), QStringLiteral("0"),
                               QString::fromUtf8(yes), QString()})
                        .contains(QStringLiteral(",'1',Null)")))
            << yes;
    for (const char *no : {"NO", "N", "FALSE", "0"})
        EXPECT_TRUE(insertFor({QStringLiteral("1"), QString(), QStringLiteral("0"), QStringLiteral("0"),
                               QString::fromUtf8(no), QString()})
                        .contains(QStringLiteral(",'0',Null)")))
            << no;
}

TEST_P(StatementsDb, DateThatIsNotDayFirstIsRefusedNamingTheValue)
{
    for (const char *bad : {"12/31/2020", "no es fecha", "31/02/2021"}) {
        try {
            insertFor({QStringLiteral("1"), QString(), QStringLiteral("0"), QStringLiteral("0"), QString(),
                       QString::fromUtf8(bad)});
            ADD_FAILURE() << bad << " was taken as a date";
        } catch (const platform::RuntimeError &error) {
            EXPECT_EQ(error.Number(), 3421) << bad;
            EXPECT_TRUE(error.Description().contains(QString::fromUtf8(bad))) << error.Description().toStdString();
            EXPECT_TRUE(error.Description().contains(QStringLiteral("Alta"))) << error.Description().toStdString();
        }
    }
    // The save's error handler shows it as the conversion error of that column.
    operatorScript().expect(QStringLiteral("Debe ingresar una fecha y el formato es incorrecto"), platform::vbOK);
    EXPECT_EQ(
        ModGlobal::ErroresActualizacion(platform::RuntimeError(3421, QStringLiteral("x")), QStringLiteral("Alta")), 0);
}

TEST_P(StatementsDb, RunnerCommitsEveryStatement)
{
    const QStringList list{QString(), QStringLiteral("INSERT INTO T_TIPOS (Codigo,Nombre) VALUES ('   1','A')"),
                           QString(), QStringLiteral("INSERT INTO T_TIPOS (Codigo,Nombre) VALUES ('   2','O''B')"),
                           QString()};
    bool failed = true;
    std::int32_t native = -1;
    QString text, script;
    ModGlobal::GActualizarDatoScript(list, failed, native, false, false, script, text, true);
    EXPECT_FALSE(failed);
    EXPECT_EQ(native, 0);
    EXPECT_EQ(count(QStringLiteral("T_TIPOS")), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Nombre FROM T_TIPOS WHERE Codigo = '   2'")), QStringLiteral("O'B"));
    EXPECT_EQ(script,
              QStringLiteral("BEGIN TRANSACTION \r\r\r") + list.at(1) + QStringLiteral("\r") + list.at(3)
                  + QStringLiteral("\r"));
    EXPECT_EQ(count(QStringLiteral("AUX_ERR")), 0);
}

TEST_P(StatementsDb, BlankListRunsNothing)
{
    bool failed = true;
    std::int32_t native = 99;
    QString text;
    run({QString(), QStringLiteral("   "), QString()}, failed, native, text);
    EXPECT_FALSE(failed);
    EXPECT_EQ(native, 99);
}

TEST_P(StatementsDb, FailureRollsBackShowsAndRecords)
{
    exec(QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   9')"));
    operatorScript().expect(QStringLiteral("2627 : "), platform::vbOK);
    const QStringList list{QString(), QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   1')"),
                           QString(), QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   9')"),
                           QString(), QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   3')"),
                           QString()};
    bool failed = false;
    std::int32_t native = 0;
    QString text;
    run(list, failed, native, text, false, true);
    EXPECT_TRUE(failed);
    EXPECT_EQ(native, 2627);
    EXPECT_TRUE(text.startsWith(QStringLiteral("2627 : "))) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 1);
    EXPECT_EQ(count(QStringLiteral("T_TIPOS")), 1); // nothing of the batch stays
    ASSERT_EQ(operatorScript().asked().size(), 1);
    EXPECT_EQ(operatorScript().asked().at(0).title, QStringLiteral("Aviso al Operador!"));
    EXPECT_EQ(operatorScript().asked().at(0).style, 16);
    EXPECT_EQ(count(QStringLiteral("AUX_ERR")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Error FROM AUX_ERR")), QStringLiteral("2627"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT SQL FROM AUX_ERR")).contains(QStringLiteral("('   3')")));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Usuario FROM AUX_ERR")), QStringLiteral("ana"));
    EXPECT_TRUE(gDB().gCnn.errors().isEmpty());
}

TEST_P(StatementsDb, ToleratedDuplicateIsSilentButStillRolledBack)
{
    exec(QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   9')"));
    const QStringList list{QString(), QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   1')"), QString(),
                           QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   9')"), QString()};
    bool failed = false;
    std::int32_t native = 0;
    QString text;
    run(list, failed, native, text, true, true);
    EXPECT_TRUE(failed);
    EXPECT_EQ(native, 2627);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_FALSE(text.contains(QStringLiteral("2627 : ")));
    EXPECT_EQ(count(QStringLiteral("T_TIPOS")), 1);
    EXPECT_EQ(count(QStringLiteral("AUX_ERR")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM AUX_ERR")), QStringLiteral(""));
}

TEST_P(StatementsDb, ToleranceFlagsSilenceOnlyTheirOwnError)
{
    // A CHECK violation is the constraint conflict 547, like a missing parent row.
    recreateTable(QStringLiteral("T_HIJOS"),
                  QStringLiteral("Id int NOT NULL PRIMARY KEY, Cantidad int NULL CHECK (Cantidad >= 0)"));
    const QStringList list{QString(), QStringLiteral("INSERT INTO T_HIJOS (Id, Cantidad) VALUES (1, 5)"), QString(),
                           QStringLiteral("INSERT INTO T_HIJOS (Id, Cantidad) VALUES (2, -1)"), QString()};
    struct Case {
        bool ignoreDuplicates;
        bool ignoreForeignKeys;
        bool shown;
    };
    const Case cases[] = {{false, true, false}, {true, false, true}, {false, false, true}};
    for (const Case &c : cases) {
        if (c.shown)
            operatorScript().expect(QStringLiteral("547 : "), platform::vbOK);
        bool failed = false;
        std::int32_t native = 0;
        QString script, text;
        ModGlobal::GActualizarDatoScript(list, failed, native, c.ignoreDuplicates, c.ignoreForeignKeys, script, text,
                                         true);
        EXPECT_TRUE(failed);
        EXPECT_EQ(native, 547);
        EXPECT_EQ(text.startsWith(QStringLiteral("547 : ")), c.shown) << text.toStdString();
        EXPECT_EQ(count(QStringLiteral("T_HIJOS")), 0); // rolled back all the same
    }
    EXPECT_EQ(operatorScript().asked().size(), 2);
    EXPECT_EQ(count(QStringLiteral("AUX_ERR")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ERR WHERE Descripcion = ''")), QStringLiteral("1"));
    exec(QStringLiteral("DROP TABLE T_HIJOS"));
}

TEST_P(StatementsDb, MissingAuxErrChangesNothingInTheOutcome)
{
    exec(QStringLiteral("DROP TABLE AUX_ERR"));
    const QStringList list{QString(), QStringLiteral("INSERT INTO NO_SUCH_TABLE (A) VALUES (1)"), QString()};
    bool failed = false;
    std::int32_t native = 0;
    QString text;
    run(list, failed, native, text, false, false);
    EXPECT_TRUE(failed);
    EXPECT_EQ(native, 208);
    EXPECT_FALSE(text.isEmpty());
}

TEST_P(StatementsDb, ErroresActualizacionMessages)
{
    // A duplicate key left in the connection's errors.
    QString statement = QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   1')");
    ASSERT_TRUE(gDB().EjecutaConsultaSQL(statement));
    statement = QStringLiteral("INSERT INTO T_TIPOS (Codigo) VALUES ('   1')");
    ASSERT_FALSE(gDB().EjecutaConsultaSQL(statement));
    operatorScript().expect(QStringLiteral("La grabacion se ha cancelado"), platform::vbOK);
    EXPECT_EQ(ModGlobal::ErroresActualizacion(platform::RuntimeError(-2147217873, QStringLiteral("dup")),
                                              QStringLiteral("Codigo")),
              0);
    EXPECT_EQ(operatorScript().asked().at(0).title, QStringLiteral("Clave Duplicada"));
    EXPECT_TRUE(gDB().gCnn.errors().isEmpty());

    operatorScript().expect(QStringLiteral("En el campo: Precio"), platform::vbOK);
    EXPECT_EQ(
        ModGlobal::ErroresActualizacion(platform::RuntimeError(3421, QStringLiteral("conv")), QStringLiteral("Precio")),
        0);
    EXPECT_EQ(operatorScript().asked().at(1).title, QStringLiteral("Error en conversion de datos"));
}

IMAESTROS_DATABASE_TESTS(StatementsDb);

// The message for each native error left on the main connection by a failed save.
TEST(ErroresActualizacion, MessageByNativeError)
{
    QTemporaryDir logs;
    const QByteArray savedTemp = qgetenv("TEMP"), savedTmp = qgetenv("TMP");
    qputenv("TEMP", "x");
    qputenv("TMP", logs.path().toLocal8Bit());
    auto script = std::make_shared<platform::ScriptedOperator>(
        [](const QString &q) { ADD_FAILURE() << "unexpected question: " << q.toStdString(); });
    platform::ScopedOperator scope(script);
    const QString conversion = QStringLiteral(
        "Verifique las siguientes opciones: \r\n\r\n1) Ha ingresado letras donde debe ingresar numeros\r\n\r\n"
        "2) Debe ingresar una fecha y el formato es incorrecto\r\n\r\nEn el campo: Precio");
    struct Case {
        long native;
        int answer;
        QString text;
        QString title;
        std::int16_t result;
        bool cleared;
    };
    const Case cases[] = {
        {1010, platform::vbOK, conversion, QStringLiteral("Error en conversion de datos "), 0, true},
        {515, platform::vbOK, QStringLiteral("Descripcion del Error: 515 - nulo"),
         QStringLiteral("Error en conversion de datos - NULOS NO PERMITIDO"), 0, true},
        {2627, platform::vbOK,
         QStringLiteral("Descripcion del Error: 2627 - nulo\r\n\r\nLa grabacion se ha cancelado... Cambie el campo "
                        "principal e intente grabar nuevamente"),
         QStringLiteral("Clave Duplicada"), 0, true},
        {208, platform::vbRetry, QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) objeto"),
         QStringLiteral("Prov - Actualizar Datos Aviso al operador!!! - 2 "), 4, false},
        {208, platform::vbOK, QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) objeto"),
         QStringLiteral("Prov - Actualizar Datos Aviso al operador!!! - 2 "), 0, false},
    };
    ado::Errors &errors = gDB().gCnn.errors();
    for (const Case &c : cases) {
        errors.Clear();
        errors.Add(ado::Error{-2147217900, c.native, QStringLiteral("23000"), QStringLiteral("nulo"), QString()});
        script->expect(QString(), c.answer);
        EXPECT_EQ(ModGlobal::ErroresActualizacion(
                      platform::RuntimeError(-2147217900, QStringLiteral("objeto"), QStringLiteral("Prov")),
                      QStringLiteral("Precio")),
                  c.result)
            << c.native;
        const auto &asked = script->asked().last();
        EXPECT_EQ(asked.text, c.text) << c.native;
        EXPECT_EQ(asked.title, c.title) << c.native;
        EXPECT_EQ(asked.style, c.cleared ? 16 : 18) << c.native;
        EXPECT_EQ(errors.isEmpty(), c.cleared) << c.native;
    }
    errors.Clear();
    releaseSharedDatabases();
    qputenv("TEMP", savedTemp);
    qputenv("TMP", savedTmp);
}

TEST(AdaptarSQL, OracleRewritesTopAndLen)
{
    DB_Dll &db = gDB();
    db.gConnString = QStringLiteral("Provider=SQLOLEDB;Data Source=x");
    EXPECT_EQ(ModGlobal::AdaptarSQL(QStringLiteral("SELECT top 10 * FROM T")),
              QStringLiteral("SELECT top 10 * FROM T"));
    db.gConnString = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=x");
    EXPECT_EQ(ModGlobal::AdaptarSQL(QStringLiteral("SELECT top 10 * FROM T")),
              QStringLiteral("SELECT  *  FROM T WHERE ROWNUM <=  10 "));
    EXPECT_EQ(ModGlobal::AdaptarSQL(QStringLiteral("len")), QStringLiteral("LENGTH"));
    EXPECT_EQ(ModGlobal::AdaptarSQL(QStringLiteral("SELECT * FROM T")), QStringLiteral("SELECT * FROM T"));
    releaseSharedDatabases();
}

} // namespace
