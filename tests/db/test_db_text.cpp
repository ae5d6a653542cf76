// What the database class writes as text: literals, type classes, synonym views, lookup
// statements and connection strings.
#include "db/DB_Dll.h"
#include "db/LookupStatements.h"
#include "db/SqlText.h"
#include "tests/db/QtPrinters.h"

#include <gtest/gtest.h>

using db::LookupStatements;
using platform::Variant;

namespace {

struct ValueCase {
    const char *name;
    Variant value;
    const char *kind;
    const char *expected;
};

const ValueCase kValues[] = {
    {"DecimalComma", Variant("12,50"), "@", "12.5"},
    {"Half", Variant("0,5"), "@", "0.5"},
    {"Negative", Variant("-3"), "@", "-3"},
    {"NoGrouping", Variant("1.234,5"), "@", "1234.5"},
    {"ReceivedDecimalPoint", Variant("12.5"), "@", "12.5"},
    {"NumberVariant", Variant(12.5), "@", "12.5"},
    {"NullNumber", Variant::null(), "@", "0"},
    // Amounts are written digit for digit, never through a double.
    {"LargeAmountKeepsEveryDigit", Variant("123.456.789.012.345,6789"), "@", "123456789012345.6789"},
    {"FifthDecimalRoundsAway", Variant("0,00005"), "@", "0.0001"},
    {"RoundingCarriesIntoTheUnits", Variant("-9,99995"), "@", "-10"},
    {"TinyNegativeIsZero", Variant("-0,00001"), "@", "0"},
    {"LeadingZerosDropped", Variant("007,10"), "@", "7.1"},
    {"Quoted", Variant("ABC"), "'", "'ABC'"},
    {"QuotedApostropheDoubled", Variant("O'Brien"), "'", "'O''Brien'"},
    {"QuotedEmpty", Variant(""), "'", "''"},
    {"NullQuoted", Variant::null(), "'", "NULL"},
    {"NullBare", Variant::null(), "", "NULL"},
    {"Bare", Variant("GETDATE()"), "", "GETDATE()"},
    {"BareEmpty", Variant(""), "", ""},
    {"TwoApostrophesIsBare", Variant("X"), "''", "X"},
    {"BlankAtIsBare", Variant("5,5"), " @", "5,5"},
};

class SqlValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SqlValueTest, WritesTheLiteral)
{
    DB_Dll db;
    EXPECT_EQ(db.SQLValue(GetParam().value, QString::fromUtf8(GetParam().kind)).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SqlValueTest, ::testing::ValuesIn(kValues),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SqlValue, UnreadableNumberRaisesToTheCaller)
{
    DB_Dll db;
    EXPECT_THROW(db.SQLValue(Variant("doce"), QStringLiteral("@")), platform::RuntimeError);
}

TEST(TypeClasses, EveryAdoTypeBelongsToAtMostOneClass)
{
    DB_Dll db;
    struct Case {
        long type;
        char cls; // d date, t text, n numeric, c currency, b boolean, - none
    };
    const Case cases[] = {{7, 'd'},   {64, 'd'},  {133, 'd'}, {134, 'd'}, {135, 'd'}, {137, 'd'}, {8, 't'},
                          {129, 't'}, {130, 't'}, {200, 't'}, {201, 't'}, {202, 't'}, {203, 't'}, {2, 'n'},
                          {3, 'n'},   {4, 'n'},   {5, 'n'},   {14, 'n'},  {16, 'n'},  {17, 'n'},  {18, 'n'},
                          {19, 'n'},  {20, 'n'},  {21, 'n'},  {131, 'n'}, {6, 'c'},   {11, 'b'},  {139, '-'},
                          {72, '-'},  {128, '-'}, {12, '-'},  {0, '-'},   {204, '-'}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(db.adodate(c.type), c.cls == 'd');
        EXPECT_EQ(db.ADOText(c.type), c.cls == 't');
        EXPECT_EQ(db.ADONumeric(c.type), c.cls == 'n');
        EXPECT_EQ(db.ADOCurrency(c.type), c.cls == 'c');
        EXPECT_EQ(db.ADOBoolean(c.type), c.cls == 'b');
        EXPECT_EQ(db.ADOComilla(c.type), (c.cls == 'd' || c.cls == 't') ? QStringLiteral("'") : QString());
    }
}

struct SynonymCase {
    const char *name;
    const char *input;
    const char *expected;
};

const SynonymCase kSynonyms[] = {
    {"Basic", "SELECT * FROM MA_CUENTAS WHERE 1=1", "SELECT * FROM SS_MA_CUENTAS WHERE 1=1"},
    {"AtTheEnd", "SELECT * FROM MA_CUENTAS", "SELECT * FROM SS_MA_CUENTAS"},
    {"BeforeAComma", "SELECT * FROM MA_CUENTAS, V_TA_CAJAS WHERE 1=1",
     "SELECT * FROM SS_MA_CUENTAS, SS_V_TA_CAJAS WHERE 1=1"},
    {"LowerCase", "select * from ma_cuentas where 1=1", "select * from SS_MA_CUENTAS where 1=1"},
    {"QualifiedColumn", "SELECT MA_CUENTAS.ID FROM MA_CUENTAS", "SELECT SS_MA_CUENTAS.ID FROM SS_MA_CUENTAS"},
    {"AdminPrefixReadsTable", "SELECT * FROM @Admin_MA_CUENTAS", "SELECT * FROM MA_CUENTAS"},
    {"LongerNamesUntouched", "SELECT * FROM MA_CUENTAS_AUX, X_MA_CUENTAS",
     "SELECT * FROM MA_CUENTAS_AUX, X_MA_CUENTAS"},
    {"ViewNamesNotDoubled", "SELECT * FROM SS_MA_CUENTAS", "SELECT * FROM SS_MA_CUENTAS"},
    {"Diario", "SELECT * FROM AC_CUENTASDIARIO A JOIN AC_CUENTASDIARIO_CCOSTO B ON 1=1",
     "SELECT * FROM SS_AC_CUENTASDIARIO A JOIN SS_AC_CUENTAS_DIARIO_CCOSTO B ON 1=1"},
    {"Views", "SELECT * FROM V_TA_DEPOSITO,V_TA_FAMILIAS", "SELECT * FROM SS_V_TA_DEPOSITO,SS_V_TA_FAMILIAS"},
    {"LiteralsUntouched", "SELECT * FROM MA_CUENTAS WHERE NOMBRE = 'MA_CUENTAS' OR X = 'it''s V_TA_CAJAS'",
     "SELECT * FROM SS_MA_CUENTAS WHERE NOMBRE = 'MA_CUENTAS' OR X = 'it''s V_TA_CAJAS'"},
    {"NamesAfterALiteral", "SELECT 'a,b' AS T, MA_CUENTAS.ID FROM MA_CUENTAS",
     "SELECT 'a,b' AS T, SS_MA_CUENTAS.ID FROM SS_MA_CUENTAS"},
    {"UnclosedLiteralUntouched", "SELECT * FROM MA_CUENTAS WHERE N = 'MA_CUENTAS",
     "SELECT * FROM SS_MA_CUENTAS WHERE N = 'MA_CUENTAS"},
    {"AsientosKeptWhileNotConfidential", "SELECT * FROM MV_ASIENTOS, MA_CUENTAS",
     "SELECT * FROM MV_ASIENTOS, MA_CUENTAS"},
};

class SynonymTest : public ::testing::TestWithParam<SynonymCase> {};

TEST_P(SynonymTest, RestrictedUserReadsTheViews)
{
    gSS_CONFIDENCIALIDAD = false;
    DB_Dll db;
    db.gEsAdmin = false;
    EXPECT_EQ(db.SS_TSinonimos(QString::fromUtf8(GetParam().input)).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Statements, SynonymTest, ::testing::ValuesIn(kSynonyms),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Synonyms, ConfidentialityAndAdministrator)
{
    DB_Dll db;
    const QString statement = QStringLiteral("SELECT * FROM MV_ASIENTOS, MA_CUENTAS");
    gSS_CONFIDENCIALIDAD = true;
    EXPECT_EQ(db.SS_TSinonimos(statement), QStringLiteral("SELECT * FROM SS_MV_ASIENTOS, SS_MA_CUENTAS"));
    db.gEsAdmin = true;
    EXPECT_EQ(db.SS_TSinonimos(statement), statement);
    gSS_CONFIDENCIALIDAD = false;
}

// The text EjecutaConsultaSQL runs (and writes back) for a restricted user; the connection
// is not open, so each call also shows that a failure is reported with its errors.
TEST(StatementText, AdminPrefixAndSynonymsBeforeExecution)
{
    struct Case {
        const char *input;
        const char *expected;
    };
    const Case cases[] = {
        {"DROP TABLE X CREATE TABLE X AS SELECT * FROM MA_CUENTAS",
         "DROP TABLE X CREATE TABLE X AS SELECT * FROM SS_MA_CUENTAS"},
        {"DROP TABLE X CREATE TABLE X AS SELECT * FROM MA_CUENTAS DELETE FROM X",
         "DROP TABLE X CREATE TABLE X AS SELECT * FROM MA_CUENTAS DELETE FROM X"},
        {"drop table X create table X as select * from @admin_V_TA_CAJAS",
         "drop table X create table X as select * from V_TA_CAJAS"},
        {"DROP VIEW X CREATE VIEW X AS SELECT 1 DELETE FROM @Admin_T",
         "DROP VIEW X CREATE VIEW X AS SELECT 1 DELETE FROM T"},
        {"SELECT * FROM MA_CUENTAS, @ADMIN_T", "SELECT * FROM MA_CUENTAS, T"},
    };
    gSS_CONFIDENCIALIDAD = false;
    DB_Dll db;
    db.gEsAdmin = false;
    for (const Case &c : cases) {
        QString sql = QString::fromUtf8(c.input);
        EXPECT_FALSE(db.EjecutaConsultaSQL(sql)) << c.input;
        EXPECT_EQ(sql.toStdString(), c.expected);
        EXPECT_GT(db.gCnn.errors().Count(), 0) << "a failure leaves its errors";
    }
}

TEST(LookupText, StatementsAsSent)
{
    struct Case {
        QString got;
        const char *expected;
    };
    const QString T = QStringLiteral("T");
    const QString C = QStringLiteral("C");
    const Case cases[] = {
        {LookupStatements::maximo(T, C, QString()), "SELECT MAX(C) AS MAYOR FROM T"},
        {LookupStatements::maximo(T, C, QStringLiteral(" X=1 ")), "SELECT MAX(C) AS MAYOR FROM T WHERE X=1"},
        {LookupStatements::minimo(T, C, QStringLiteral(" X=1")),
         "SELECT MIN(C) AS MENOR FROM T  with(nolock)  WHERE X=1"},
        {LookupStatements::ultimoCodigo(T, C, QStringLiteral("   ")), "SELECT MAX(C) AS MAYOR FROM T"},
        {LookupStatements::ultimoCodigo(T, C, QStringLiteral(" TIPO='N'")),
         "SELECT MAX(C) AS MAYOR FROM T WHERE  TIPO='N'"},
        {LookupStatements::existe(T, QStringLiteral("1 "), C, 8, QString()),
         "SELECT TOP 1  * FROM T with(nolock)  WHERE LTRIM(RTRIM(C)) ='1'"},
        {LookupStatements::existe(T, QStringLiteral("O'B"), C, 8, QString()),
         "SELECT TOP 1  * FROM T with(nolock)  WHERE LTRIM(RTRIM(C)) ='O''B'"},
        {LookupStatements::existe(T, QStringLiteral("01/02/2021 "), C, 7, QString()),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C = 01/02/2021 "},
        {LookupStatements::existe(T, QStringLiteral("  12"), C, 3, QString()),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C = 12"},
        {LookupStatements::existe(T, QStringLiteral("abc"), C, 5, QString()),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C = 0"},
        {LookupStatements::existe(T, QStringLiteral("X"), C, 200, QString()),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C = X"},
        {LookupStatements::existe(T, QStringLiteral("v"), C, 8, QStringLiteral("A=1")),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE A=1"},
        {LookupStatements::existeST(T, QStringLiteral("v"), C, 8, QStringLiteral(" where A=1")),
         "SELECT * FROM T with(nolock)    where A=1"},
        {LookupStatements::existeST(T, QStringLiteral("v"), C, 8, QStringLiteral("A=1")),
         "SELECT * FROM T with(nolock)   WHERE A=1"},
        {LookupStatements::existeST(T, QStringLiteral("1 "), C, 8, QString()),
         "SELECT * FROM T with(nolock)   WHERE C ='1 '"},
        {LookupStatements::datosTabla(T, QStringLiteral(" V "), C, 8, QString(), true),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE LTRIM(RTRIM(C)) ='V' "},
        {LookupStatements::datosTabla(T, QStringLiteral(" V "), C, 8, QStringLiteral("X=1"), false),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C =' V '  AND X=1"},
        {LookupStatements::datosTabla(T, QStringLiteral("01/02/2021 "), C, 7, QString(), false),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C = #01/02/2021# "},
        {LookupStatements::datosTabla(T, QStringLiteral("  12"), C, 4, QStringLiteral("X=1"), false),
         "SELECT TOP 1 * FROM T with(nolock)  WHERE C = 12 AND X=1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got.toStdString(), c.expected);
}

TEST(LookupText, LeadingNumberReadsLikeVal)
{
    EXPECT_EQ(db::sqltext::leadingNumber(QStringLiteral("  12")), 12);
    EXPECT_EQ(db::sqltext::leadingNumber(QStringLiteral("1 2")), 12);
    EXPECT_EQ(db::sqltext::leadingNumber(QStringLiteral("-1.5x")), -1.5);
    EXPECT_EQ(db::sqltext::leadingNumber(QStringLiteral("x1")), 0);
    EXPECT_EQ(db::sqltext::leadingNumber(QString()), 0);
    EXPECT_EQ(db::sqltext::plainNumber(1234.5), QStringLiteral("1234.5"));
    EXPECT_EQ(db::sqltext::plainNumber(-3), QStringLiteral("-3"));
}

TEST(ConnectionText, EachPlatformItsString)
{
    DB_Dll db;
    db.gDBName = QStringLiteral("XE");
    db.gUsuario = QStringLiteral("u");
    db.gUserPassWord = QStringLiteral("p");
    db.gExtended = QStringLiteral("App=X;");
    struct Case {
        const char *servidor;
        const char *expected;
    };
    const Case cases[] = {
        {"#ORA", "Provider=OraOLEDB.Oracle.1;Data Source=XE;User Id=u;Password=p;"},
        {"SRV\\INST", "PROVIDER=SQLOLEDB;Server=SRV\\INST;Database =XE;UId=u;Pwd=p;App=X;"},
        {"!", "Provider=SQLite;Data Source=XE;"},
        {"%pg.local:54329", "Provider=PostgreSQL;Server=pg.local;Port=54329;Database=XE;UId=u;Pwd=p;"},
        {"%pg.local", "Provider=PostgreSQL;Server=pg.local;Port=5432;Database=XE;UId=u;Pwd=p;"},
    };
    for (const Case &c : cases) {
        db.gServidor = QString::fromUtf8(c.servidor);
        EXPECT_EQ(db.construyeConnString().toStdString(), c.expected) << c.servidor;
    }
}

TEST(ConnectionText, DialogPlatformMarksTheServer)
{
    struct Case {
        const char *servidor;
        int plataforma;
        const char *expected;
    };
    const Case cases[] = {{"SRV", 0, "SRV"}, {"SRV", 1, "#SRV"}, {"#SRV", 1, "#SRV"},      {"#SRV", 0, "#SRV"},
                          {"#X", 2, "!X"},   {"", 2, "!"},       {"host:1", 3, "%host:1"}, {"%host", 3, "%host"}};
    for (const Case &c : cases)
        EXPECT_EQ(DB_Dll::marcaServidor(QString::fromUtf8(c.servidor), c.plataforma).toStdString(), c.expected);
}

} // namespace
