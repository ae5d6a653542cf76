#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/sqlite/DateText.h"
#include "platform/ado/sqlite/SqliteFunctions.h"
#include "platform/ado/sqlite/TranslationCache.h"

#include "tests/support/TestDatabase.h"
#include <sqlite3.h>

#include <QElapsedTimer>

#include <charconv>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

using namespace ado;

namespace {

std::unique_ptr<Connection> openSqlite(const QString &path = testsupport::freshSqliteFile())
{
    auto cnn = std::make_unique<Connection>();
    cnn->Open(testsupport::sqliteConnectionString(path));
    return cnn;
}

QString text(Connection &cnn, const QString &sql) { return cnn.Execute(sql)->field(0).Value().toString(); }

TEST(DateText, ReadsTheFormsTheSystemWrites)
{
    struct Case {
        const char *text;
        const char *normalised; // nullptr: not a date
    };
    const Case cases[] = {
        {"31/12/20 10:30", "2020-12-31 10:30:00"},
        {"31/12/20", "2020-12-31 00:00:00"},
        {"01/02/2021", "2021-02-01 00:00:00"},
        {"1/2/2021", "2021-02-01 00:00:00"},
        {"31-12-1999 23:59:58", "1999-12-31 23:59:58"},
        {"01/02/49", "2049-02-01 00:00:00"},
        {"01/02/50", "1950-02-01 00:00:00"},
        {"2021-02-01", "2021-02-01 00:00:00"},
        {"2021-02-01T08:05:09.123", "2021-02-01 08:05:09.123"},
        {"20210201 08:05", "2021-02-01 08:05:00"},
        {" 2021-02-01 08:05:09 ", "2021-02-01 08:05:09"},
        {"10:30", "1900-01-01 10:30:00"},
        {"31/02/2021", nullptr},
        {"13/13/2021", nullptr},
        {"2021", nullptr},
        {"hola", nullptr},
        {"31/12/2020 25:00", nullptr},
        {"31/12/2020 x", nullptr},
    };
    for (const Case &c : cases) {
        const auto parts = DateText::parse(c.text, qsizetype(strlen(c.text)));
        if (!c.normalised) {
            EXPECT_FALSE(parts.has_value()) << c.text;
            continue;
        }
        ASSERT_TRUE(parts.has_value()) << c.text;
        EXPECT_EQ(DateText::normalised(*parts), QByteArray(c.normalised)) << c.text;
    }
}

// Translating by shape must give exactly what translating the text gives.
TEST(TranslationCache, GivesTheTranslatorsOwnResult)
{
    const char *statements[] = {
        "SELECT TOP 1 * FROM MA_ARTICULOS with(nolock) WHERE IdArticulo = '0001' AND Precio > 12.5",
        "SELECT TOP 10 Descripcion FROM dbo.[MA CUENTAS] WHERE [Nombre 'raro'] = N'Ñandú' ORDER BY 1",
        "SELECT ISNULL(Nombre, 'sin nombre') + ' (' + LTRIM(RTRIM(Codigo)) + ')' AS T FROM TA_RUBROS",
        "SELECT LEN('abc'), CHARINDEX('b', Nombre), SUBSTRING(Nombre, 2, 3) FROM T WHERE -5 < X",
        "SELECT CONVERT(varchar(10), Fecha, 103) AS F, CONVERT(int, '12') FROM MV_TRANSMISIONES",
        "INSERT INTO MV_TRANSMISIONES (NUMERO, TIPO, FECHA) VALUES (17, 'N', '31/12/20 10:30')",
        "INSERT INTO T (A) VALUES ('it''s; GO -- not a comment')",
        "UPDATE TA_CONFIGURACION SET Valor = 'x' WHERE Clave = 'TimeOut' -- it's a comment",
        "IF NOT EXISTS (SELECT * FROM T WHERE ID = 3) INSERT INTO T (ID, N) VALUES (3, 'tres')",
        "DELETE T WHERE FECHA < getDate() AND N IN (1, 2, 3.5)",
        "BEGIN TRANSACTION",
        "COMMIT TRANSACTION",
        "ROLLBACK TRANSACTION",
        "INSERT INTO A VALUES (1, 'a')\r\nGO\r\nINSERT INTO A VALUES (2, 'b'); UPDATE A SET N = 0",
        "EXEC VK_CREACALENDARIO '01/01/2021', '31/12/2021'",
        "CREATE TABLE X (ID INT PRIMARY KEY, NOMBRE VARCHAR(30) NOT NULL, P DECIMAL(18, 4))",
        "SELECT /* 'quoted' 12 */ 0x1F, 1e5, 987654000001 FROM T",
        "SELECT CONVERT(varchar, 987654000001) FROM T",
        "SELECT 'unterminated FROM T",
        "SELECT @@IDENTITY",
    };
    TranslationCache cache(Dialect::SQLite);
    const SqlTranslator translator(Dialect::SQLite);
    for (int pass = 0; pass < 2; ++pass) { // the second pass reads the remembered shapes
        for (const char *text : statements) {
            QString sql = QString::fromUtf8(text);
            if (pass == 1) // other values, same shapes
                sql.replace(QLatin1String("17"), QLatin1String("18"))
                    .replace(QLatin1String("'N'"), QLatin1String("'M'"));
            const auto expected = translator.translate(sql);
            const auto actual = cache.translate(sql);
            ASSERT_EQ(actual.size(), expected.size()) << text;
            for (qsizetype i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(actual[i].kind, expected[i].kind) << text;
                EXPECT_EQ(actual[i].sql, expected[i].sql) << text;
            }
        }
    }
}

// Statements of one shape compile once with their literals bound; statements that read a
// literal's place keep it in the text.
TEST(TranslationCache, BindsLiteralsWhereTheyAreValues)
{
    struct Case {
        const char *sql;
        const char *bound; // nullptr: not bound
        int literals;
    };
    const Case cases[] = {
        {"SELECT TOP 3 A FROM T WHERE B = 'it''s' AND C > -2.5", "SELECT A FROM T WHERE B = ?2 AND C > -?3 LIMIT ?1",
         3},
        {"SELECT A, B FROM T ORDER BY 2", nullptr, 0},
        {"SELECT A FROM T WHERE B = 1 GROUP BY A, 1", nullptr, 0},
        {"SELECT A FROM T WHERE B = 1 ORDER BY CASE WHEN A = 2 THEN 0 ELSE 1 END",
         "SELECT A FROM T WHERE B = ?1 "
         "ORDER BY CASE WHEN A = ?2 THEN "
         "?3 ELSE ?4 END",
         4},
        {"PRAGMA table_info('T')", nullptr, 0},
    };
    TranslationCache cache(Dialect::SQLite);
    for (const Case &c : cases) {
        QList<TranslatedStatement> out;
        std::vector<QStringView> literals;
        const QString sql = QString::fromUtf8(c.sql);
        const bool bound = cache.translateBound(sql, out, literals);
        if (!c.bound) {
            EXPECT_FALSE(bound) << c.sql;
            continue;
        }
        ASSERT_TRUE(bound) << c.sql;
        ASSERT_EQ(out.size(), 1) << c.sql;
        EXPECT_EQ(out[0].sql.toStdString(), c.bound);
        EXPECT_EQ(int(literals.size()), c.literals) << c.sql;
    }
}

// Column numbers in ORDER BY keep ordering; literals bound or not give the same rows.
TEST(SqliteBackend, ShapedStatementsReadAsWritten)
{
    auto cnn = openSqlite();
    cnn->Execute(QStringLiteral("CREATE TABLE s (a INT, b VARCHAR(5))"));
    cnn->Execute(QStringLiteral("INSERT INTO s VALUES (1, 'z'); INSERT INTO s VALUES (2, 'y'); "
                                "INSERT INTO s VALUES (3, 'x')"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT a, b FROM s ORDER BY 2")), QStringLiteral("3"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT TOP 1 a FROM s WHERE b <> 'x' ORDER BY b DESC")), QStringLiteral("1"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT TOP 1 a FROM s WHERE b <> 'z' ORDER BY b DESC")), QStringLiteral("2"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT COUNT(*) FROM s WHERE a IN (1, 3) AND b LIKE '%'")),
              QStringLiteral("2"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT 'it''s' + b FROM s WHERE a = 2")), QStringLiteral("it'sy"));
}

TEST(VkTextCollation, IgnoresCaseAndTrailingBlanks)
{
    auto cmp = [](const char *a, const char *b) {
        return SqliteFunctions::compareText(a, int(strlen(a)), b, int(strlen(b)));
    };
    EXPECT_EQ(cmp("abc", "ABC"), 0);
    EXPECT_EQ(cmp("abc  ", "abc"), 0);
    EXPECT_EQ(cmp("ÑANDÚ", "ñandú"), 0);
    EXPECT_EQ(cmp("ÁÉÍÓÚ", "áéíóú"), 0);
    EXPECT_NE(cmp("a", "á"), 0) << "accents still count, as in SQL Server's default";
    EXPECT_NE(cmp(" abc", "abc"), 0) << "leading blanks count";
    EXPECT_LT(cmp("abc", "abd"), 0);
    EXPECT_LT(cmp("ab", "abc"), 0);
    EXPECT_GT(cmp("B", "a"), 0);
}

// A number bound to an amount or a decimal is stored as its shortest digits read as text would
// be: whatever way the conversion takes for it, the value and its storage class agree.
TEST(SqliteConversions, BoundNumbersStoreAsTheirDigitsWould)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_EQ(SqliteFunctions::registerAll(db), SQLITE_OK);
    std::vector<double> values{0.0,
                               -0.0,
                               1.0,
                               -1.0,
                               0.5,
                               1.005,
                               -1.005,
                               0.1 + 0.2,
                               9014.66,
                               123456.78905,
                               99999.99995,
                               214748.3647,
                               214748.36475,
                               922337203685477.0,
                               99999999999999.98,
                               1e14,
                               1e15,
                               1e-5,
                               5e-5,
                               1.23e20,
                               12345.6789,
                               -12345.6789};
    std::mt19937_64 random(7);
    for (int i = 0; i < 3000; ++i) {
        const double magnitude = std::pow(10.0, int(random() % 17) - 2);
        const double scaled = double(random() % 1000000) / 1000000.0 * magnitude;
        const int decimals = int(random() % 7);
        const double value = std::round(scaled * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
        values.push_back(random() % 2 ? -value : value);
    }
    for (const char *call : {"vk_money(?, 'M')", "vk_smallmoney(?, 'S')", "vk_decimal(?, 9, 4, 'D')",
                             "vk_decimal(?, 18, 6, 'F')", "vk_decimal(?, 10, 0, 'Z')"}) {
        sqlite3_stmt *stmt = nullptr;
        const std::string sql = std::string("SELECT ") + call + ", typeof(" + call + ")";
        ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
        auto convert = [&](auto bind) {
            sqlite3_reset(stmt);
            bind();
            const int rc = sqlite3_step(stmt);
            const std::string out = rc != SQLITE_ROW
                ? std::string("refused")
                : std::string(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))) + " "
                    + std::to_string(sqlite3_column_double(stmt, 0));
            return std::make_pair(out, rc == SQLITE_ROW ? sqlite3_column_double(stmt, 0) : 0.0);
        };
        for (const double x : values) {
            char digits[64];
            const auto end = std::to_chars(digits, digits + sizeof digits, x, std::chars_format::fixed).ptr;
            const auto asNumber = convert([&] {
                sqlite3_bind_double(stmt, 1, x);
                sqlite3_bind_double(stmt, 2, x);
            });
            const auto asText = convert([&] {
                sqlite3_bind_text(stmt, 1, digits, int(end - digits), SQLITE_TRANSIENT);
                sqlite3_bind_text(stmt, 2, digits, int(end - digits), SQLITE_TRANSIENT);
            });
            EXPECT_EQ(asNumber.first, asText.first) << call << " of " << std::string(digits, end);
            EXPECT_EQ(asNumber.second, asText.second) << call << " of " << std::string(digits, end);
        }
        for (const qint64 n :
             {qint64(0), qint64(-7), qint64(99999), qint64(100000), qint64(214748), qint64(922337203685477),
              qint64(9223372036854775807), qint64(-9223372036854775807) - 1}) {
            const std::string digits = std::to_string(n);
            const auto asNumber = convert([&] {
                sqlite3_bind_int64(stmt, 1, n);
                sqlite3_bind_int64(stmt, 2, n);
            });
            const auto asText = convert([&] {
                sqlite3_bind_text(stmt, 1, digits.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(stmt, 2, digits.c_str(), -1, SQLITE_TRANSIENT);
            });
            EXPECT_EQ(asNumber.first, asText.first) << call << " of " << digits;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

// Without the translator's help: the engine's own pieces as the translator's DDL uses them.
TEST(SqliteBackend, CollationLikeAndLengthChecks)
{
    auto cnn = openSqlite();
    cnn->Execute(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, nombre VARCHAR(5) COLLATE VKTEXT "
                                "CONSTRAINT vklen_nombre CHECK (length(nombre) <= 5))"));
    cnn->Execute(QStringLiteral("INSERT INTO t VALUES (1, 'Ñandú')"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT count(*) FROM t WHERE nombre = 'ñANDÚ  '")), QStringLiteral("1"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT count(*) FROM t WHERE nombre LIKE 'ña_d%'")), QStringLiteral("1"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT count(*) FROM t WHERE nombre LIKE 'x%'")), QStringLiteral("0"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT count(*) FROM t WHERE nombre LIKE '%\\%' ESCAPE '\\'")),
              QStringLiteral("0"));
    EXPECT_THROW(cnn->Execute(QStringLiteral("INSERT INTO t VALUES (2, 'seis l')")), Exception);
    const Error &e = cnn->errors()[0];
    EXPECT_EQ(e.NativeError, native::StringTruncated);
    EXPECT_TRUE(e.Description.contains(QStringLiteral("'t'")) && e.Description.contains(QStringLiteral("nombre")))
        << e.Description.toStdString();
}

// A pattern with a fixed start bounds its column by range: an index on the column serves it.
TEST(SqliteBackend, LikeWithAFixedStartUsesTheColumnsIndex)
{
    const QString path = testsupport::freshSqliteFile();
    auto cnn = openSqlite(path);
    cnn->Execute(QStringLiteral("CREATE TABLE art (id INT PRIMARY KEY, descripcion VARCHAR(40))"));
    cnn->Execute(QStringLiteral("CREATE INDEX ix_art_descripcion ON art (descripcion)"));
    for (int i = 0; i < 50; ++i)
        cnn->Execute(QStringLiteral("INSERT INTO art VALUES (%1, 'Tornillo %1')").arg(i));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT COUNT(*) FROM art WHERE descripcion LIKE 'TORNILLO 1%'")),
              QStringLiteral("11"));
    // the engine's plan for the translated statement, on the same file
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(SqliteFunctions::registerAll(db), SQLITE_OK);
    auto plan = [&](const char *condition) {
        const QString sql =
            SqlTranslator(Dialect::SQLite)
                .translate(QStringLiteral("SELECT id FROM art WHERE %1").arg(QString::fromUtf8(condition)))
                .front()
                .sql;
        sqlite3_stmt *stmt = nullptr;
        std::string out;
        if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return std::string("error: ") + sqlite3_errmsg(db);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            out += reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)) + std::string("\n");
        sqlite3_finalize(stmt);
        return out;
    };
    EXPECT_NE(plan("descripcion LIKE 'torn%'").find("USING INDEX ix_art_descripcion"), std::string::npos)
        << plan("descripcion LIKE 'torn%'");
    EXPECT_EQ(plan("descripcion LIKE '%torn%'").find("USING INDEX"), std::string::npos)
        << plan("descripcion LIKE '%torn%'");
    sqlite3_close(db);
}

TEST(SqliteBackend, DatesAreStoredNormalisedAndBadDatesRefused)
{
    const QString path = testsupport::freshSqliteFile();
    {
        auto cnn = openSqlite(path);
        cnn->Execute(QStringLiteral("CREATE TABLE mv (id INTEGER PRIMARY KEY, fecha DATETIME)"));
    }
    auto cnn = openSqlite(path); // the triggers come back with every connection
    cnn->Execute(QStringLiteral("INSERT INTO mv VALUES (1, '01/02/21 10:30')"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT 'x' || fecha FROM mv")), QStringLiteral("x2021-02-01 10:30:00"));
    cnn->Execute(QStringLiteral("UPDATE mv SET fecha = '31/12/2020'"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT 'x' || fecha FROM mv")), QStringLiteral("x2020-12-31 00:00:00"));
    EXPECT_THROW(cnn->Execute(QStringLiteral("INSERT INTO mv VALUES (2, '32/01/2021')")), Exception);
    EXPECT_EQ(cnn->errors()[0].NativeError, 241);
    EXPECT_TRUE(cnn->errors()[0].Description.contains(QStringLiteral("fecha")));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT count(*) FROM mv")), QStringLiteral("1"));
    // a table made later gets its triggers too; dropping and making it again works
    cnn->Execute(QStringLiteral("DROP TABLE mv"));
    cnn->Execute(QStringLiteral("CREATE TABLE mv (id INTEGER PRIMARY KEY, otra DATE)"));
    cnn->Execute(QStringLiteral("INSERT INTO mv VALUES (1, '05/06/22')"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT 'x' || otra FROM mv")), QStringLiteral("x2022-06-05 00:00:00"));
}

TEST(SqliteBackend, DateCollationComparesByValue)
{
    auto cnn = openSqlite();
    cnn->Execute(QStringLiteral("CREATE TABLE f (id INTEGER PRIMARY KEY, fecha DATETIME)"));
    cnn->Execute(QStringLiteral("INSERT INTO f VALUES (1, '31/12/2020');INSERT INTO f VALUES (2, '01/02/21 10:30')"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT count(*) FROM f WHERE fecha COLLATE VKDATE >= '01/02/2021'")),
              QStringLiteral("1"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT id FROM f WHERE fecha COLLATE VKDATE = '01/02/2021 10:30'")),
              QStringLiteral("2"));
    // any two forms, not only the stored one
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT '01/02/2021' COLLATE VKDATE > '31/12/20 23:59'")), QStringLiteral("1"));
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT '2021-02-01' COLLATE VKDATE = '01/02/21'")), QStringLiteral("1"));
}

TEST(SqliteBackend, CachedStatementsSeeSchemaChanges)
{
    auto cnn = openSqlite();
    cnn->Execute(QStringLiteral("CREATE TABLE c (a INT)"));
    cnn->Execute(QStringLiteral("INSERT INTO c VALUES (1)"));
    EXPECT_EQ(cnn->Execute(QStringLiteral("SELECT * FROM c"))->fields().Count(), 1);
    cnn->Execute(QStringLiteral("ALTER TABLE c ADD b VARCHAR(7)"));
    auto rs = cnn->Execute(QStringLiteral("SELECT * FROM c"));
    ASSERT_EQ(rs->fields().Count(), 2);
    EXPECT_EQ(rs->field(1).Type(), adVarChar);
    EXPECT_EQ(rs->field(1).DefinedSize(), 7);
}

TEST(SqliteBackend, CommandTimeoutStopsALongStatement)
{
    auto cnn = openSqlite();
    cnn->Execute(QStringLiteral("CREATE TABLE n (i INT)"));
    for (int i = 0; i < 10; ++i)
        cnn->Execute(QStringLiteral("INSERT INTO n VALUES (%1)").arg(i));
    cnn->setCommandTimeout(1); // 10^10 rows would take hours
    QElapsedTimer clock;
    clock.start();
    try {
        cnn->Execute(QStringLiteral("SELECT count(*) FROM n a, n b, n c, n d, n e, n f, n g, n h, n i, n j"));
        FAIL() << "an endless statement returned";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Number(), errnum::Timeout) << e.Description().toStdString();
    }
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(text(*cnn, QStringLiteral("SELECT 2")), QStringLiteral("2")) << "the connection is still usable";
}

TEST(SqliteBackend, KeysAndBlanksOfTheConnectionString)
{
    const QString path = testsupport::freshSqliteFile();
    Connection cnn;
    cnn.Open(QStringLiteral(" provider = sqlite ; DATA SOURCE = %1 ; mode = create ").arg(path));
    EXPECT_EQ(cnn.State(), adStateOpen);
    EXPECT_FALSE(cnn.DefaultDatabase().isEmpty());
    cnn.setDefaultDatabase(QStringLiteral("VK_PRUEBA"));
    EXPECT_EQ(cnn.DefaultDatabase(), QStringLiteral("VK_PRUEBA"));
    cnn.setIsolationLevel(adXactReadUncommitted);
    EXPECT_EQ(cnn.IsolationLevel(), adXactReadUncommitted);
}

} // namespace
