#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <charconv>

using namespace ado;
using platform::Variant;
using testsupport::DatabaseTest;

namespace {

// What SQL Server stores for a value written to a typed column, or the error it refuses it
// with. Each engine must do the same, for the literal and for the same value bound.
class ValuesTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_VAL"),
                      QStringLiteral("ID INT PRIMARY KEY, I INT, S SMALLINT, TI TINYINT, BI BIGINT, B BIT, F FLOAT, "
                                     "M MONEY, D DECIMAL(10,2), DT DATETIME, SD SMALLDATETIME, DA DATE, C VARCHAR(4)"));
    }
};

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

struct ValueCase {
    const char *column;
    const char *literal; // as written in the statement
    Variant stored;      // what reads back (Empty: an error is expected)
    long native = 0;     // SQL Server's error number
};

const ValueCase kValues[] = {
    {"I", "'12'", 12},
    {"I", "' 12 '", 12},
    {"I", "12.7", 12},
    {"I", "-12.7", -12},
    {"I", "''", 0},
    {"I", "'abc'", {}, 245},
    {"I", "'12.7'", {}, 245},
    {"I", "3000000000", {}, 8115},
    {"I", "'3000000000'", {}, 248},
    {"S", "40000", {}, 220},
    {"TI", "300", {}, 220},
    {"TI", "-1", {}, 220},
    {"BI", "'9007199254740993'", 9007199254740993LL},
    {"B", "5", true},
    {"B", "'true'", true},
    {"B", "0", false},
    {"B", "'x'", {}, 245},
    {"F", "'1e3'", 1000.0},
    {"F", "'abc'", {}, 8114},
    {"M", "1.23456", 1.2346},
    {"M", "'12.5'", 12.5},
    {"M", "'abc'", {}, 235},
    {"D", "1.005", 1.01},
    {"D", "'-3.14159'", -3.14},
    {"D", "123456789.5", {}, 8115},
    {"D", "'x'", {}, 8114},
    {"DT", "'20210201'", at(2021, 2, 1)},
    {"DT", "'2021-02-01 08:05:09'", at(2021, 2, 1, 8, 5, 9)},
    {"DT", "'31/12/2020 10:30'", at(2020, 12, 31, 10, 30)},
    {"DT", "'01/02/21'", at(2021, 2, 1)},
    {"DT", "''", at(1900, 1, 1)},
    {"DT", "2", at(1900, 1, 3)},
    {"DT", "'abc'", {}, 241},
    {"DT", "'31/02/2021'", {}, 241},
    {"DT", "'01/01/1700'", {}, 242},
    {"DT", "'01/01/0001'", {}, 242},
    {"DT", "'31/12/1752 23:59:59'", {}, 242},
    {"DT", "'01/01/1753'", at(1753, 1, 1)},
    {"DT", "20210201", {}, 8115},
    {"SD", "'01/02/2021 10:30:45'", at(2021, 2, 1, 10, 31)},
    {"DA", "'01/02/2021 10:30'", at(2021, 2, 1)},
    {"C", "'abc   '", QStringLiteral("abc ")},
    {"C", "'abcde'", {}, native::StringTruncated},
};

// The value a literal stands for, as a command would bind it.
Variant boundValue(const char *literal)
{
    const QString text = QString::fromLatin1(literal);
    if (text.startsWith(u'\''))
        return text.mid(1, text.size() - 2);
    bool whole = false;
    const qlonglong n = text.toLongLong(&whole);
    return whole ? Variant(n) : Variant(text.toDouble());
}

void expectStored(const Variant &actual, const Variant &expected, const std::string &what)
{
    using K = Variant::Kind;
    switch (expected.kind()) {
    case K::Double:
        EXPECT_DOUBLE_EQ(actual.toDouble(), expected.toDouble()) << what;
        break;
    case K::Bool:
        EXPECT_EQ(actual.toBool(), expected.toBool()) << what;
        break;
    case K::DateTime:
        EXPECT_EQ(actual.toDateTime(), expected.toDateTime()) << what;
        break;
    case K::Text:
        EXPECT_EQ(actual.toString(), expected.toString()) << what;
        break;
    default:
        EXPECT_EQ(actual.toInt64(), expected.toInt64()) << what;
        break;
    }
}

TEST_P(ValuesTest, ConvertedByTheColumnTypeOrRefusedAsSqlServerDoes)
{
    Command insert;
    insert.setActiveConnection(&cnn());
    int id = 0;
    for (const ValueCase &c : kValues) {
        const QString column = QString::fromLatin1(c.column);
        for (const bool bound : {false, true}) {
            const std::string what = std::string(c.column) + " <- " + c.literal + (bound ? " (bound)" : " (literal)");
            ++id;
            try {
                if (bound) {
                    insert.setCommandText(QStringLiteral("INSERT INTO T_VAL (ID, %1) VALUES (?, ?)").arg(column));
                    while (insert.Parameters().Count() > 0)
                        insert.Parameters().Delete(0);
                    const Variant value = boundValue(c.literal);
                    insert.Parameters().Append(
                        insert.CreateParameter(QStringLiteral("id"), adInteger, adParamInput, 0, id));
                    insert.Parameters().Append(insert.CreateParameter(
                        QStringLiteral("v"), value.kind() == Variant::Kind::Text ? adVarChar : adNumeric, adParamInput,
                        0, value));
                    insert.Execute();
                } else {
                    cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, %1) VALUES (%2, %3)")
                                      .arg(column)
                                      .arg(id)
                                      .arg(QString::fromLatin1(c.literal)));
                }
                if (c.native) {
                    ADD_FAILURE() << what << ": stored, expected error " << c.native;
                    continue;
                }
            } catch (const Exception &e) {
                if (!c.native)
                    ADD_FAILURE() << what << ": " << e.Description().toStdString();
                else
                    EXPECT_EQ(cnn().errors()[0].NativeError, c.native) << what << ": " << e.Description().toStdString();
                continue;
            }
            auto rs = cnn().Execute(QStringLiteral("SELECT %1 FROM T_VAL WHERE ID = %2").arg(column).arg(id));
            ASSERT_FALSE(rs->EOF()) << what;
            expectStored(rs->field(0).Value(), c.stored, what);
        }
    }
}

// Dates bound as dates (as a reception binds them) keep the range of the column's type as
// literals do: datetime from 1753, smalldatetime from 1900 to 6 June 2079, date from year 1.
TEST_P(ValuesTest, BoundDatesKeepTheRangeOfTheColumnsType)
{
    const struct {
        const char *column;
        QDateTime value;
        bool stored;
    } cases[] = {
        {"DT", at(1, 1, 1), false},
        {"DT", at(1000, 1, 1), false},
        {"DT", at(1752, 12, 31, 23, 59, 59), false},
        {"DT", at(1753, 1, 1), true},
        {"DT", at(9999, 12, 31, 23, 59, 59), true},
        {"SD", at(1899, 12, 31, 23, 59), false},
        {"SD", at(1900, 1, 1), true},
        {"SD", at(2079, 6, 7), false},
        {"DA", at(1, 1, 1), true},
    };
    Command insert;
    insert.setActiveConnection(&cnn());
    int id = 0;
    for (const auto &c : cases) {
        const QString column = QString::fromLatin1(c.column);
        const std::string what = std::string(c.column) + " <- " + c.value.toString(Qt::ISODate).toStdString();
        insert.setCommandText(QStringLiteral("INSERT INTO T_VAL (ID, %1) VALUES (?, ?)").arg(column));
        while (insert.Parameters().Count() > 0)
            insert.Parameters().Delete(0);
        insert.Parameters().Append(insert.CreateParameter(QStringLiteral("id"), adInteger, adParamInput, 0, ++id));
        insert.Parameters().Append(
            insert.CreateParameter(QStringLiteral("v"), adDBTimeStamp, adParamInput, 0, Variant(c.value)));
        try {
            insert.Execute();
            EXPECT_TRUE(c.stored) << what << ": stored, expected error 242";
        } catch (const Exception &e) {
            EXPECT_FALSE(c.stored) << what << ": " << e.Description().toStdString();
            if (!c.stored) {
                EXPECT_EQ(cnn().errors()[0].NativeError, 242) << what << ": " << e.Description().toStdString();
            }
            continue;
        }
        auto rs = cnn().Execute(QStringLiteral("SELECT %1 FROM T_VAL WHERE ID = %2").arg(column).arg(id));
        ASSERT_FALSE(rs->EOF()) << what;
        EXPECT_EQ(rs->field(0).Value().toDateTime().date(), c.value.date()) << what;
    }
}

// UPDATE converts as INSERT does; stored decimals keep their scale, so sums and
// comparisons with the literal are exact.
TEST_P(ValuesTest, UpdatesConvertAndDecimalsStayExact)
{
    cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, M, D, I) VALUES (1, 0.1, 0.1, 1)"));
    cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, M, D, I) VALUES (2, 0.2, 0.2, 2)"));
    auto scalar = [&](const char *sql) { return cnn().Execute(QString::fromLatin1(sql))->field(0).Value(); };
    EXPECT_EQ(scalar("SELECT SUM(M) FROM T_VAL").toDouble(), 0.3);
    EXPECT_EQ(scalar("SELECT SUM(D) FROM T_VAL").toDouble(), 0.3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM (SELECT SUM(M) AS T FROM T_VAL) X WHERE T = 0.3").toInt64(), 1);
    cnn().Execute(QStringLiteral("UPDATE T_VAL SET M = M + 0.2, I = '7', DT = '01/02/2021' WHERE ID = 1"));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T_VAL WHERE M = 0.3 AND I = 7").toInt64(), 1);
    EXPECT_EQ(scalar("SELECT DT FROM T_VAL WHERE ID = 1").toDateTime(), at(2021, 2, 1));
    EXPECT_THROW(cnn().Execute(QStringLiteral("UPDATE T_VAL SET I = 'siete' WHERE ID = 1")), Exception);
    EXPECT_EQ(cnn().errors()[0].NativeError, 245);
    // many values of money summed come back exact at four decimals
    for (int id = 3; id < 103; ++id)
        cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, M) VALUES (%1, 0.0001)").arg(id));
    EXPECT_EQ(scalar("SELECT SUM(M) FROM T_VAL").toDouble(), 0.51);
}

// INSERT ... SELECT and multi-row VALUES convert every value as well.
TEST_P(ValuesTest, EveryWayOfInsertingConverts)
{
    cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, I, DT) VALUES (1, '1', '20210201'), (2, '2', '02/02/2021')"));
    cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, I, DT) SELECT ID + 10, '12' + '', '03/02/21' FROM T_VAL "
                                 "WHERE ID = 1"));
    cnn().Execute(QStringLiteral("IF NOT EXISTS (SELECT * FROM T_VAL WHERE ID = 20) "
                                 "INSERT INTO T_VAL (ID, I, C) VALUES (20, ' 20 ', 'xy      ')"));
    auto rs = cnn().Execute(QStringLiteral("SELECT ID, I, DT, C FROM T_VAL ORDER BY ID"));
    ASSERT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->value(QStringLiteral("DT")).toDateTime(), at(2021, 2, 1));
    rs->MoveNext();
    EXPECT_EQ(rs->value(QStringLiteral("DT")).toDateTime(), at(2021, 2, 2));
    rs->MoveNext();
    EXPECT_EQ(rs->value(QStringLiteral("ID")).toInt64(), 11);
    EXPECT_EQ(rs->value(QStringLiteral("DT")).toDateTime(), at(2021, 2, 3));
    rs->MoveNext();
    EXPECT_EQ(rs->value(QStringLiteral("I")).toInt64(), 20);
    EXPECT_EQ(rs->value(QStringLiteral("C")).toString(), QStringLiteral("xy  "));
    EXPECT_THROW(cnn().Execute(QStringLiteral("INSERT INTO T_VAL (ID, I) SELECT 30, 'x' + NOMBRE FROM "
                                              "(SELECT 'y' AS NOMBRE) Q")),
                 Exception);
    EXPECT_EQ(cnn().errors()[0].NativeError, 245);
}

// Amounts and decimals at and around their limits, written as literals and bound as exact
// text: stored digit for digit or refused with 8115 (SQL Server's overflow), never rounded to
// a neighbour. SQL Server holds every value in range; SQLite's doubles hold about 15
// significant digits, so there a value that needs more is refused, also with 8115.
struct AmountCase {
    const char *column;
    const char *literal;
    const char *stored;        // digits as stored (nullptr: refused with 8115 on every engine)
    bool beyondDouble = false; // refused with 8115 on SQLite only: no double holds it
};

const AmountCase kAmounts[] = {
    {"M", "922337203685477.5807", "922337203685477.5807", true},
    {"M", "922337203685477.5808", nullptr},
    {"M", "-922337203685477.5808", "-922337203685477.5808", true},
    {"M", "-922337203685477.5809", nullptr},
    {"M", "922337203685477.58074", "922337203685477.5807", true},
    {"M", "922337203685477.58075", nullptr},
    {"M", "123456789012345.6789", "123456789012345.6789", true},
    {"M", "-123456789012345.6789", "-123456789012345.6789", true},
    {"M", "922337203685477", "922337203685477"},
    {"M", "12345678901.2345", "12345678901.2345"},
    {"M", "-12345678901.2345", "-12345678901.2345"},
    {"M", "9014.66", "9014.66"},
    {"M", "0.00005", "0.0001"},
    {"M", "-0.00005", "-0.0001"},
    {"M", "0.00004", "0"},
    {"M", "99999999999.99999", "100000000000"},
    {"SM", "214748.3647", "214748.3647"},
    {"SM", "214748.3648", nullptr},
    {"SM", "-214748.3648", "-214748.3648"},
    {"SM", "-214748.3649", nullptr},
    {"D", "99999999.99", "99999999.99"},
    {"D", "99999999.995", nullptr},
    {"D", "-99999999.99", "-99999999.99"},
    {"D", "0.005", "0.01"},
    {"DL", "99999999999999.9999", "99999999999999.9999", true},
    {"DL", "-99999999999999.9999", "-99999999999999.9999", true},
    {"DL", "100000000000000", nullptr},
    {"DL", "12345678901.2345", "12345678901.2345"},
};

// "9014.6600" and "9014.66" alike: no trailing zeros, no point without a fraction.
QString plainDigits(QString text)
{
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

class AmountsTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (IsSkipped())
            return;
        recreateTable(QStringLiteral("T_AMT"),
                      QStringLiteral("ID INT PRIMARY KEY, M MONEY, SM SMALLMONEY, D DECIMAL(10,2), "
                                     "DL DECIMAL(18,4), DZ DECIMAL(18,0)"));
    }

    // The stored value's digits: PostgreSQL's numeric text; SQLite's integer, or its double as the
    // shortest text that reads back as it (the stored value itself when it was stored exactly).
    QString storedDigits(const QString &column, int id)
    {
        if (!isSqlite())
            return plainDigits(
                cnn()
                    .Execute(
                        QStringLiteral("SELECT CAST(%1 AS VARCHAR(40)) FROM T_AMT WHERE ID = %2").arg(column).arg(id))
                    ->field(0)
                    .Value()
                    .toString());
        auto rs = cnn().Execute(
            QStringLiteral(
                "SELECT CASE WHEN typeof(%1) = 'integer' THEN CAST(%1 AS TEXT) END, %1 FROM T_AMT WHERE ID = %2")
                .arg(column)
                .arg(id));
        if (!rs->field(0).Value().isNull()) // a whole number: exactly as the engine holds it
            return rs->field(0).Value().toString();
        char buffer[64];
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, rs->field(1).Value().toDouble(), std::chars_format::fixed)
                .ptr;
        return plainDigits(QString::fromLatin1(buffer, end - buffer));
    }
};

TEST_P(AmountsTest, StoredDigitForDigitOrRefusedNeverRounded)
{
    Command insert;
    insert.setActiveConnection(&cnn());
    int id = 0;
    for (const AmountCase &c : kAmounts) {
        const QString column = QString::fromLatin1(c.column);
        const QString literal = QString::fromLatin1(c.literal);
        const bool refused = !c.stored || (isSqlite() && c.beyondDouble);
        for (const bool bound : {false, true}) {
            const std::string what = std::string(c.column) + " <- " + c.literal + (bound ? " (bound)" : " (literal)");
            ++id;
            try {
                if (bound) {
                    insert.setCommandText(QStringLiteral("INSERT INTO T_AMT (ID, %1) VALUES (?, ?)").arg(column));
                    while (insert.Parameters().Count() > 0)
                        insert.Parameters().Delete(0);
                    insert.Parameters().Append(
                        insert.CreateParameter(QStringLiteral("id"), adInteger, adParamInput, 0, id));
                    insert.Parameters().Append(
                        insert.CreateParameter(QStringLiteral("v"), adVarChar, adParamInput, 0, literal));
                    insert.Execute();
                } else {
                    cnn().Execute(
                        QStringLiteral("INSERT INTO T_AMT (ID, %1) VALUES (%2, %3)").arg(column).arg(id).arg(literal));
                }
            } catch (const Exception &e) {
                if (!refused)
                    ADD_FAILURE() << what << ": " << e.Description().toStdString();
                else
                    EXPECT_EQ(cnn().errors()[0].NativeError, 8115) << what << ": " << e.Description().toStdString();
                continue;
            }
            if (refused) {
                ADD_FAILURE() << what << ": stored as " << storedDigits(column, id).toStdString()
                              << ", expected error 8115";
                continue;
            }
            EXPECT_EQ(storedDigits(column, id).toStdString(), c.stored) << what;
        }
    }
}

// A double bound to an amount or a decimal stands for the shortest digits that read back as it:
// those are stored, not the 15 digits a float-to-numeric conversion keeps; a whole number keeps
// all of its digits.
TEST_P(AmountsTest, BoundNumbersKeepTheirDigits)
{
    const struct {
        const char *column;
        Variant value;
        const char *stored;
    } cases[] = {
        {"M", 123456789012.3456, "123456789012.3456"},
        {"M", 9014.66, "9014.66"},
        {"M", 0.1 + 0.2, "0.3"},
        {"DL", 99999999999999.98, "99999999999999.98"},
        {"D", -1.005, "-1.01"},
        {"DZ", 123456789012345678LL, "123456789012345678"},
        {"M", 922337203685477LL, "922337203685477"},
    };
    Command insert;
    insert.setActiveConnection(&cnn());
    int id = 0;
    for (const auto &c : cases) {
        const QString column = QString::fromLatin1(c.column);
        insert.setCommandText(QStringLiteral("INSERT INTO T_AMT (ID, %1) VALUES (?, ?)").arg(column));
        while (insert.Parameters().Count() > 0)
            insert.Parameters().Delete(0);
        insert.Parameters().Append(insert.CreateParameter(QStringLiteral("id"), adInteger, adParamInput, 0, ++id));
        insert.Parameters().Append(insert.CreateParameter(QStringLiteral("v"), adDouble, adParamInput, 0, c.value));
        insert.Execute();
        EXPECT_EQ(storedDigits(column, id).toStdString(), c.stored) << c.column;
    }
}

IMAESTROS_DATABASE_TESTS(ValuesTest);
IMAESTROS_DATABASE_TESTS(AmountsTest);

} // namespace
