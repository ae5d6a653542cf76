// Dates read back as the local dates and times they were written, in a zone with summer time:
// built in the zone read once, they are the same moments as QDateTime(date, time).
#include "platform/ado/LocalTime.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace ado;

namespace {

// Before any date is built: the zone is read once.
class MadridTime : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("TZ", "Europe/Madrid");
        tzset();
    }
};
const auto *const kMadrid = ::testing::AddGlobalTestEnvironment(new MadridTime);

TEST(LocalTime, DatesReadBackAsWrittenInSummerAndWinter)
{
    Connection cnn;
    cnn.Open(testsupport::sqliteConnectionString(testsupport::freshSqliteFile()));
    cnn.Execute(QStringLiteral("CREATE TABLE T_FECHA (ID INT PRIMARY KEY, F DATETIME, S SMALLDATETIME, D DATE)"));
    cnn.Execute(QStringLiteral("INSERT INTO T_FECHA VALUES (1, '15/07/2021 10:20:30', '31/12/2021 23:59:45', "
                               "'15/07/2021 10:20')"));
    cnn.Execute(QStringLiteral("INSERT INTO T_FECHA VALUES (2, '15/01/2021 10:20:30.250', 2.5, '15/01/2021')"));
    auto rs = cnn.Execute(QStringLiteral("SELECT F, S, D FROM T_FECHA ORDER BY ID"));
    const QDateTime summer = rs->field(0).Value().toDateTime();
    EXPECT_EQ(summer, QDateTime(QDate(2021, 7, 15), QTime(10, 20, 30)));
    EXPECT_EQ(summer.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(), "2021-07-15 10:20:30");
    EXPECT_EQ(summer.offsetFromUtc(), 7200);
    EXPECT_EQ(rs->field(1).Value().toDateTime(), QDateTime(QDate(2022, 1, 1), QTime(0, 0)))
        << "a smalldatetime rounds to the minute, across midnight and the year";
    EXPECT_EQ(rs->field(2).Value().toDateTime(), QDateTime(QDate(2021, 7, 15), QTime(0, 0)));
    rs->MoveNext();
    const QDateTime winter = rs->field(0).Value().toDateTime();
    EXPECT_EQ(winter, QDateTime(QDate(2021, 1, 15), QTime(10, 20, 30, 250)));
    EXPECT_EQ(winter.offsetFromUtc(), 3600);
    EXPECT_EQ(rs->field(1).Value().toDateTime(), QDateTime(QDate(1900, 1, 3), QTime(12, 0)))
        << "a number is days from 1900-01-01";
    EXPECT_EQ(localDateTime(QDate(2021, 3, 28), QTime(3, 30)), QDateTime(QDate(2021, 3, 28), QTime(3, 30)));
}

} // namespace
