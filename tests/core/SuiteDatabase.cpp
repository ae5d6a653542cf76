#include "SuiteDatabase.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"
#include "schema/Schema.h"

namespace {

const char *const kDropOrder[] = {
    "DROP VIEW V_MA_PRECIOS",      "DROP VIEW V_MA_PRECIOSCAB", "DROP VIEW V_MA_ARTICULOS", "DROP TABLE MA_PRECIOS",
    "DROP TABLE MA_PRECIOSCAB",    "DROP TABLE MA_ARTICULOS",   "DROP TABLE MA_CUENTAS",    "DROP TABLE TA_TAREAS",
    "DROP TABLE TA_MENU",          "DROP TABLE TA_USUARIOS",    "DROP TABLE AUX_ERR",       "DROP TABLE Control_Acceso",
    "DROP TABLE TA_CONFIGURACION",
};

} // namespace

void SuiteDatabaseTest::SetUp()
{
    testsupport::DatabaseTest::SetUp();
    if (IsSkipped())
        return;
    for (const char *statement : kDropOrder) {
        try {
            cnn().Execute(QString::fromLatin1(statement));
        } catch (const platform::RuntimeError &) {
            // not there (a fresh database)
        }
    }
    const platform::Status created = schema::createSuiteDatabase(cnn());
    ASSERT_TRUE(created.ok()) << created.message().toStdString();

    m_operator = std::make_shared<platform::ScriptedOperator>(
        [](const QString &question) { ADD_FAILURE() << "unexpected question: " << question.toStdString(); });
    m_scope = std::make_unique<platform::ScopedOperator>(m_operator);

    ModGlobal::resetGlobals();
    DB_Dll &db = gDB();
    db.gUsuario = QStringLiteral("ana");
    db.OpenServerADODB(false, 3, connectionString(), false, false);
    ASSERT_TRUE(db.gOpenFlag);
}

void SuiteDatabaseTest::TearDown()
{
    releaseSharedDatabases();
    m_scope.reset();
    if (m_operator) {
        EXPECT_EQ(m_operator->pending(), 0) << "expected questions were not asked";
    }
    m_operator.reset();
    testsupport::DatabaseTest::TearDown();
}

void SuiteDatabaseTest::exec(const QString &sql) { cnn().Execute(sql); }

QString SuiteDatabaseTest::scalar(const QString &sql)
{
    auto rs = cnn().Execute(sql);
    if (!rs || rs->State() != ado::adStateOpen || rs->BOF() || rs->EOF())
        return QString();
    const platform::Variant value = rs->field(0).Value();
    return value.isNull() ? QStringLiteral("<null>") : value.toString();
}

long SuiteDatabaseTest::count(const QString &table)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLong();
}
