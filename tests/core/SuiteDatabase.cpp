#include "SuiteDatabase.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/ado/Recordset.h"
#include "schema/Schema.h"
#include "schema/SuiteObjects.h"

void SuiteDatabaseTest::SetUp()
{
    testsupport::DatabaseTest::SetUp();
    if (IsSkipped())
        return;
    schema::dropSuiteObjects(cnn());
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
