// Statement building of the lookup: the clause splitter, the three ways a lookup becomes a
// statement, and the query-mask file.
#include "lookup/MaskFile.h"
#include "lookup/QueryBuilder.h"
#include "lookup/SqlClauses.h"

#include "core/MascaraConsulta.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace lookup;

std::string s(const QString &text) { return text.toStdString(); }

TEST(SqlClauses, SplitFindsOnlyTopLevelClauses)
{
    struct Case {
        const char *sql, *head, *condition, *closing;
    };
    const Case cases[] = {
        {"SELECT A FROM T", "SELECT A FROM T", "", ""},
        {"SELECT A FROM T WHERE B = 1 ORDER BY A", "SELECT A FROM T ", " B = 1 ", "ORDER BY A"},
        {"SELECT A FROM T where B = 1 group  by A order by A", "SELECT A FROM T ", " B = 1 ", "group  by A order by A"},
        {"SELECT A FROM T ORDER BY A", "SELECT A FROM T ", "", "ORDER BY A"},
        // literals, quoted names, comments and sub-queries keep their words
        {"SELECT A FROM T WHERE N = 'x where y order by z' ORDER BY A", "SELECT A FROM T ",
         " N = 'x where y order by z' ", "ORDER BY A"},
        {"SELECT A FROM T WHERE N = 'it''s order by' ORDER BY A", "SELECT A FROM T ", " N = 'it''s order by' ",
         "ORDER BY A"},
        {"SELECT (SELECT MAX(X) FROM U WHERE U.K = T.K ORDER BY X) AS M, [order by] FROM T WHERE A > 0",
         "SELECT (SELECT MAX(X) FROM U WHERE U.K = T.K ORDER BY X) AS M, [order by] FROM T ", " A > 0", ""},
        {"SELECT ORDERS, SOMEWHERE FROM T -- where x\nORDER BY ORDERS", "SELECT ORDERS, SOMEWHERE FROM T -- where x\n",
         "", "ORDER BY ORDERS"},
    };
    for (const Case &c : cases) {
        const sqlclauses::Parts parts = sqlclauses::split(QString::fromUtf8(c.sql));
        EXPECT_EQ(s(parts.head), c.head) << c.sql;
        EXPECT_EQ(s(parts.condition), c.condition) << c.sql;
        EXPECT_EQ(s(parts.closing), c.closing) << c.sql;
    }
}

TEST(SqlClauses, AddConditionParenthesisesTheExistingOne)
{
    struct Case {
        const char *sql, *condition, *result;
    };
    const Case cases[] = {
        {"SELECT A FROM T ", "A like 'x%'", "SELECT A FROM T  where A like 'x%' "},
        {"SELECT A FROM T ORDER BY A ", "A like 'x%'", "SELECT A FROM T  where A like 'x%' ORDER BY A "},
        // an OR in the old condition cannot swallow the new one
        {"SELECT A FROM T WHERE B = 1 OR C = 2 ORDER BY A", "A like 'x%'",
         "SELECT A FROM T WHERE (B = 1 OR C = 2) and A like 'x%' ORDER BY A"},
        {"SELECT A, COUNT(*) FROM T WHERE B = 1 GROUP BY A ORDER BY A", "A like 'x%'",
         "SELECT A, COUNT(*) FROM T WHERE (B = 1) and A like 'x%' GROUP BY A ORDER BY A"},
        {"SELECT A FROM T WHERE N = 'a)b' ORDER BY A", "A like 'x%'",
         "SELECT A FROM T WHERE (N = 'a)b') and A like 'x%' ORDER BY A"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(s(sqlclauses::addCondition(QString::fromUtf8(c.sql), QString::fromUtf8(c.condition),
                                             sqlclauses::lowerJoiners())),
                  c.result)
            << c.sql;
    }
}

TEST(SqlClauses, TableNameAndPlainNames)
{
    EXPECT_EQ(s(sqlclauses::tableName(QStringLiteral("select * from V_TA_RUBROS where x = 1"))), "V_TA_RUBROS");
    EXPECT_EQ(s(sqlclauses::tableName(QStringLiteral("select * from V_TA_RUBROS"))), "V_TA_RUBROS");
    EXPECT_EQ(s(sqlclauses::tableName(QStringLiteral(
                  "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0"))),
              "VT_MA_ARTICULOS");
    EXPECT_EQ(s(sqlclauses::tableName(QStringLiteral("SELECT (SELECT 1 FROM U) AS X FROM T"))), "T");
    EXPECT_EQ(s(sqlclauses::tableName(QStringLiteral("SELECT 1"))), "");
    for (const char *good : {"T", "dbo.V_TA_FAMILIAS", "[Mi Tabla]", "@Admin_x", "MA_ARTICULOS"})
        EXPECT_TRUE(sqlclauses::isPlainName(QString::fromUtf8(good))) << good;
    for (const char *bad : {"", "T; DROP TABLE X", "T WHERE 1=1", "a..b", "x'y", "[a]b]"})
        EXPECT_FALSE(sqlclauses::isPlainName(QString::fromUtf8(bad))) << bad;
}

TEST(SqlClauses, LimitRowsForTheFirstScreen)
{
    struct Case {
        const char *sql, *limited; // "" when the statement is read whole
    };
    const Case cases[] = {
        {"SELECT Descripcion, IdRubro FROM V_TA_RUBROS", "SELECT TOP 20 Descripcion, IdRubro FROM V_TA_RUBROS"},
        {"  select distinct Descripcion from T order by 1", "  select distinct TOP 20 Descripcion from T order by 1"},
        {"SELECT ALL * FROM T", "SELECT ALL TOP 20 * FROM T"},
        {"SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY "
         "DESCRIPCION",
         "SELECT TOP 20 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY "
         "DESCRIPCION"},
        {"SELECT DISTINCT TOP 500 A FROM T", "SELECT DISTINCT TOP 20 A FROM T"},
        {"SELECT A FROM T WHERE B = 'x UNION y'", "SELECT TOP 20 A FROM T WHERE B = 'x UNION y'"},
        {"SELECT A FROM T;", "SELECT TOP 20 A FROM T;"},
        {"SELECT TOP 20 A FROM T", ""}, // no more rows than a screen anyway
        {"SELECT TOP 5 A FROM T", ""},
        {"SELECT TOP (500) A FROM T", ""},
        {"SELECT TOP 50 PERCENT A FROM T", ""},
        {"SELECT TOP 500 WITH TIES A FROM T ORDER BY A", ""},
        {"SELECT A FROM T UNION SELECT A FROM U", ""},
        {"SELECT A FROM T EXCEPT SELECT A FROM U", ""},
        {"SELECT A INTO X FROM T", ""},
        {"SELECT A FROM T; DELETE FROM T", ""},
        {"WITH C AS (SELECT A FROM T) SELECT A FROM C", ""},
        {"EXEC sp_lista", ""},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(s(sqlclauses::limitRows(QString::fromUtf8(c.sql), 20)), c.limited) << c.sql;
    EXPECT_EQ(s(sqlclauses::limitRows(QStringLiteral("SELECT A FROM T"), 0)), "");
    // a sub-query's own TOP and UNION are its own
    EXPECT_EQ(s(sqlclauses::limitRows(QStringLiteral("SELECT A FROM T WHERE A IN (SELECT TOP 1 A FROM U UNION "
                                                     "SELECT A FROM V)"),
                                      20)),
              "SELECT TOP 20 A FROM T WHERE A IN (SELECT TOP 1 A FROM U UNION SELECT A FROM V)");
}

TEST(SqlClauses, OrderedFirstByAColumnOfTheSelectList)
{
    const struct {
        const char *sql;
        bool ascending;
        const char *ordered;
    } cases[] = {
        {"SELECT A, B FROM T", true, "SELECT A, B FROM T ORDER BY 1 "},
        {"SELECT A, B FROM T WHERE A > 1 ", false, "SELECT A, B FROM T WHERE A > 1 ORDER BY 1 DESC "},
        {"SELECT A, B FROM T order  by B DESC", true, "SELECT A, B FROM T order  by 1, B DESC"},
        {"SELECT A FROM T WHERE A IN (SELECT A FROM U ORDER BY A)", true,
         "SELECT A FROM T WHERE A IN (SELECT A FROM U ORDER BY A) ORDER BY 1 "},
        {"SELECT A FROM T UNION SELECT A FROM U", true, ""},
        {"SELECT A FROM T; DELETE FROM T", true, ""},
        {"EXEC sp_lista", true, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(s(sqlclauses::orderedFirstBy(QString::fromUtf8(c.sql), 1, c.ascending)), c.ordered) << c.sql;
    EXPECT_EQ(s(sqlclauses::orderedFirstBy(QStringLiteral("SELECT A, B, C FROM T"), 2, false, 3)),
              "SELECT A, B, C FROM T ORDER BY 2 DESC, 1, 3 ");

    const std::pair<const char *, int> sizes[] = {
        {"SELECT A, B FROM T", 2},
        {"select top 100 Descripcion, IdArticulo, f(x, y) AS z from V", 3},
        {"SELECT 'a,b', [c,d] FROM T", 2},
        {"SELECT * FROM T", 0},
        {"SELECT A, T.* FROM T", 0},
        {"SELECT COUNT(*) FROM T", 1},
        {"SELECT 1", 0},
        {"EXEC x", 0},
    };
    for (const auto &[sql, size] : sizes)
        EXPECT_EQ(sqlclauses::selectListSize(QString::fromUtf8(sql)), size) << sql;
}

TEST(QueryBuilder, RowLimitFromTheConfiguration)
{
    const std::pair<const char *, int> cases[] = {{"", 1000},   {" ", 1000},    {"0", 1000},   {"-5", 1000},
                                                  {"250", 250}, {"250.6", 251}, {"12abc", 12}, {"abc", 1000}};
    for (const auto &[text, limit] : cases)
        EXPECT_EQ(rowLimitFrom(QString::fromUtf8(text)), limit) << text;
}

// A mask file of a few records and a database of a few tables, as the builder sees them.
struct World {
    QList<ModGlobal::MascaraConsulta> masks;
    bool noFile = false;
    QHash<QString, QStringList> tables;
    int rowLimit = 1000;

    QueryEnvironment environment() const
    {
        QueryEnvironment env;
        env.rowLimit = rowLimit;
        env.useMasks = true;
        env.mask = [this](const QString &view) {
            MaskLookup found;
            found.outcome = noFile ? MaskLookup::Outcome::NoFile : MaskLookup::Outcome::NotFound;
            for (int i = 0; i < masks.size() && !noFile; ++i) {
                if (masks[i].Vista.compare(view.trimmed(), Qt::CaseInsensitive) == 0) {
                    found.outcome = MaskLookup::Outcome::Found;
                    found.mask = masks[i];
                    found.record = i + 1;
                    break;
                }
            }
            return found;
        };
        env.columns = [this](const QString &table) -> std::optional<QStringList> {
            if (!tables.contains(table.toUpper()))
                return std::nullopt;
            return tables.value(table.toUpper());
        };
        return env;
    }
};

World world()
{
    World w;
    w.masks = ModGlobal::mascarasPorOmision();
    w.masks << ModGlobal::MascaraConsulta{QStringLiteral("X"), QStringLiteral("V_CON_CONDICION"),
                                          QStringLiteral("|DESCRIPCION|CODIGO|"), QStringLiteral("ACTIVO = 1")}
            << ModGlobal::MascaraConsulta{QStringLiteral("X"), QStringLiteral("V_SIN_COLUMNAS"), QString(), QString()}
            << ModGlobal::MascaraConsulta{QStringLiteral("X"), QStringLiteral("V_UNA"), QStringLiteral("|CODIGO|"),
                                          QString()};
    w.tables.insert(QStringLiteral("T"),
                    {QStringLiteral("ID"), QStringLiteral("CODIGO"), QStringLiteral("DESCRIPCION"),
                     QStringLiteral("FECHAHORA_GRABACION")});
    w.tables.insert(QStringLiteral("T_IDS"), {QStringLiteral("ID"), QStringLiteral("FECHAHORA_MODIFICACION")});
    w.tables.insert(QStringLiteral("V_MV_MUTUALES"),
                    {QStringLiteral("ID"), QStringLiteral("NOMBRE"), QStringLiteral("FECHAHORA_GRABACION")});
    w.tables.insert(QStringLiteral("T_SIN_DESCRIPCION"),
                    {QStringLiteral("CODIGO"), QStringLiteral("NOMBRE_X"), QStringLiteral("PRECIO")});
    return w;
}

struct BuildCase {
    const char *name;
    const char *sql, *campo, *where, *optional;
    const char *statement, *campoAfter, *whereAfter;
};

void check(const World &w, const BuildCase &c)
{
    const QueryResult result = buildQuery({QString::fromUtf8(c.sql), QString::fromUtf8(c.campo),
                                           QString::fromUtf8(c.where), QString::fromUtf8(c.optional)},
                                          w.environment());
    EXPECT_EQ(result.outcome, QueryResult::Outcome::Ready) << c.name;
    EXPECT_EQ(s(result.statement), c.statement) << c.name;
    EXPECT_EQ(s(result.CampoBusqueda), c.campoAfter) << c.name;
    EXPECT_EQ(s(result.Where), c.whereAfter) << c.name;
}

TEST(QueryBuilder, CompleteStatements)
{
    const BuildCase cases[] = {
        {"unchanged", "select DESCRIPCION,IDRUBRO from v_ta_rubros ", "", "", "",
         "select DESCRIPCION,IDRUBRO from v_ta_rubros ", "", ""},
        {"article view renamed", "Select Descripcion From V_MA_ARTICULOS Where x = 1", "", "", "",
         "Select Descripcion From VT_MA_ARTICULOS Where x = 1", "", ""},
        {"name holding select", "V_SELECTOS", "", "", "", "V_SELECTOS", "", ""},
        {"condition before ORDER BY", "SELECT A FROM T ORDER BY A", "", "ACTIVO = 1", "",
         "SELECT A FROM T  WHERE (ACTIVO = 1) ORDER BY A", "", " (ACTIVO = 1) "},
        {"merged into the WHERE", "SELECT A FROM T WHERE B = 1 OR C = 2 GROUP BY A ORDER BY A", "", "D = 3", "",
         "SELECT A FROM T WHERE (B = 1 OR C = 2) AND (D = 3) GROUP BY A ORDER BY A", "", " (D = 3) "},
        {"caller's WHERE keyword", "SELECT A FROM T", "", "WHERE D = 3", "", "SELECT A FROM T WHERE (D = 3) ", "",
         " (D = 3) "},
        {"literal holding clauses", "SELECT A FROM T WHERE N = 'x order by' ORDER BY A", "", "D = 3", "",
         "SELECT A FROM T WHERE (N = 'x order by') AND (D = 3) ORDER BY A", "", " (D = 3) "},
        {"one character not wrapped", "SELECT A FROM T", "", "X", "", "SELECT A FROM T WHERE X ", "", "X"},
        {"opening parenthesis not wrapped", "SELECT A FROM T", "", "(A=1)", "", "SELECT A FROM T WHERE (A=1) ", "",
         "(A=1)"},
        {"leading blank wrapped", "SELECT A FROM T", "", " (A=1)", "", "SELECT A FROM T WHERE ( (A=1)) ", "",
         " ( (A=1)) "},
    };
    const World w = world();
    for (const BuildCase &c : cases)
        check(w, c);
}

TEST(QueryBuilder, MaskedNames)
{
    const BuildCase cases[] = {
        {"default article mask", "V_MA_ARTICULOS", "", "", "",
         "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY "
         "DESCRIPCION",
         "DESCRIPCION", ""},
        {"name in another case", " v_ma_articulos ", "IDARTICULO", "", "",
         "SELECT TOP 1000 DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE SUSPENDIDO = 0 ORDER BY "
         "IDARTICULO",
         "IDARTICULO", ""},
        {"customers keep active ones", "VT_CLIENTES", "", "", "",
         "SELECT TOP 1000 RAZON_SOCIAL,CODIGO,CONTACTO FROM VT_CLIENTES  with(nolock)  WHERE Dada_De_Baja = 0 ORDER "
         "BY RAZON_SOCIAL",
         "RAZON_SOCIAL", ""},
        {"mask condition wins", "V_CON_CONDICION", "", "X = 2", "",
         "SELECT TOP 1000 DESCRIPCION,CODIGO FROM V_CON_CONDICION  with(nolock)  WHERE ACTIVO = 1 ORDER BY DESCRIPCION",
         "DESCRIPCION", " (X = 2) "},
        {"caller's condition without one", "MA_CUENTAS", "", "X = 2", "",
         "SELECT TOP 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)  WHERE  (X = 2)  ORDER BY DESCRIPCION",
         "DESCRIPCION", " (X = 2) "},
        {"no column list with a search column", "V_SIN_COLUMNAS", "CODIGO", "", "",
         "SELECT TOP 1000 * FROM V_SIN_COLUMNAS  with(nolock)  ORDER BY CODIGO", "CODIGO", ""},
        {"optional statement unused", "MA_CUENTAS", "", "", "SELECT 1",
         "SELECT TOP 1000 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)  ORDER BY DESCRIPCION", "DESCRIPCION", ""},
    };
    const World w = world();
    for (const BuildCase &c : cases)
        check(w, c);

    World limited = world();
    limited.rowLimit = 250;
    check(limited,
          {"row limit", "MA_CUENTAS", "", "", "",
           "SELECT TOP 250 DESCRIPCION,CODIGO FROM MA_CUENTAS  with(nolock)  ORDER BY DESCRIPCION", "DESCRIPCION", ""});
}

TEST(QueryBuilder, MaskWithoutSearchColumnAsksForConfiguration)
{
    const World w = world();
    for (const char *view : {"V_SIN_COLUMNAS", "V_UNA"}) {
        const QueryResult result = buildQuery({QString::fromUtf8(view), {}, {}, {}}, w.environment());
        EXPECT_EQ(result.outcome, QueryResult::Outcome::NoSearchColumn) << view;
    }
}

TEST(QueryBuilder, NamesWithoutMask)
{
    const BuildCase cases[] = {
        {"discovered columns", "T", "", "", "", "SELECT TOP 1000 DESCRIPCION,CODIGO FROM T  ORDER BY DESCRIPCION",
         "DESCRIPCION", ""},
        {"discovered with condition", "T", "", "ACTIVO = 1", "",
         "SELECT TOP 1000 DESCRIPCION,CODIGO FROM T WHERE   (ACTIVO = 1)  ORDER BY DESCRIPCION", "DESCRIPCION",
         " (ACTIVO = 1) "},
        {"only id columns keep the search column", "T_IDS", "X", "", "", "SELECT TOP 1000  *  FROM T_IDS  ORDER BY X",
         "X", ""},
        {"no search column, no ordering", "T_IDS", "", "", "", "SELECT TOP 1000  *  FROM T_IDS ", "", ""},
        {"mutuales keep their ids", "v_mv_mutuales", "", "", "",
         "SELECT TOP 1000 FECHAHORA_GRABACION,NOMBRE,ID FROM v_mv_mutuales  ORDER BY FECHAHORA_GRABACION",
         "FECHAHORA_GRABACION", ""},
        {"first column without a description", "T_SIN_DESCRIPCION", "", "", "",
         "SELECT TOP 1000 PRECIO,NOMBRE_X,CODIGO FROM T_SIN_DESCRIPCION  ORDER BY CODIGO", "CODIGO", ""},
        {"deposits", "V_TA_DEPOSITO", "", "", "",
         "SELECT TOP 1000 Descripcion,IdDeposito,UnidadNegocio FROM V_TA_DEPOSITO  ORDER BY IDDEPOSITO", "IDDEPOSITO",
         ""},
        {"optional statement", "T", "", "", "SELECT X FROM Y", "SELECT X FROM Y", "", ""},
    };
    World w = world();
    w.masks.clear();
    for (const BuildCase &c : cases)
        check(w, c);
    World noFile = world();
    noFile.noFile = true; // masks on but no file: the table's own columns
    check(noFile, cases[0]);
}

TEST(QueryBuilder, BadNamesAndUnreadableTablesFail)
{
    World w = world();
    w.masks.clear();
    const QueryResult bad = buildQuery({QStringLiteral("T; DROP TABLE T"), {}, {}, {}}, w.environment());
    EXPECT_EQ(bad.outcome, QueryResult::Outcome::Failed);
    EXPECT_TRUE(bad.problem.contains(QStringLiteral("T; DROP TABLE T")));
    const QueryResult missing = buildQuery({QStringLiteral("NO_EXISTE"), {}, {}, {}}, w.environment());
    EXPECT_EQ(missing.outcome, QueryResult::Outcome::Failed);
    EXPECT_TRUE(missing.problem.isEmpty()); // the database class has reported it

    QueryEnvironment damaged = w.environment();
    damaged.mask = [](const QString &) {
        MaskLookup found;
        found.outcome = MaskLookup::Outcome::Damaged;
        found.file = QStringLiteral("/p/consultas.vkr");
        found.record = 3;
        found.problem = QStringLiteral("contiene caracteres de control");
        return found;
    };
    const QueryResult result = buildQuery({QStringLiteral("VT_X"), {}, {}, {}}, damaged);
    EXPECT_EQ(result.outcome, QueryResult::Outcome::Failed);
    EXPECT_EQ(s(result.problem),
              "La máscara de consulta de VT_X (registro 3 de /p/consultas.vkr) está dañada: contiene caracteres de "
              "control");
}

class MaskFileTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString write(const char *name, const QByteArray &content)
    {
        const QString path = QDir(m_dir.path()).filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    static QByteArray record(const char *view, const char *columns, const char *condition)
    {
        return ModGlobal::MascaraConsulta{QStringLiteral("T"), QString::fromLatin1(view), QString::fromLatin1(columns),
                                          QString::fromLatin1(condition)}
            .toRecord();
    }
};

TEST_F(MaskFileTest, FirstMatchingRecordWhateverTheCaseOfTheFileName)
{
    QByteArray content =
        record("V_A", "|X|Y|", "") + record("V_B", "|DESCRIPCION|CODIGO|", "ACTIVO = 1") + record("v_b", "|OTRA|", "");
    content += "partial";
    write("CONSULTAS.VKR", content);
    const MaskLookup found =
        findMask(QDir(m_dir.path()).filePath(QStringLiteral("consultas.vkr")), QStringLiteral(" V_b "));
    ASSERT_EQ(found.outcome, MaskLookup::Outcome::Found);
    EXPECT_EQ(found.record, 2);
    EXPECT_EQ(s(found.mask.Columnas), "|DESCRIPCION|CODIGO|");
    EXPECT_EQ(s(found.mask.Condicion), "ACTIVO = 1");
    EXPECT_TRUE(found.file.endsWith(QStringLiteral("CONSULTAS.VKR")));
    EXPECT_EQ(findMask(found.file, QStringLiteral("V_C")).outcome, MaskLookup::Outcome::NotFound);
    EXPECT_EQ(findMask(QDir(m_dir.path()).filePath(QStringLiteral("otro.vkr")), QStringLiteral("V_A")).outcome,
              MaskLookup::Outcome::NoFile);
}

TEST_F(MaskFileTest, DamagedRecordsAreNamed)
{
    QByteArray broken = record("V_CTRL", "|A|B|", "");
    broken[250] = '\x07';
    const std::pair<QByteArray, const char *> cases[] = {
        {broken, "control"},
        {record("V_Q", "|A|B|", "N = 'abc"), "sin cerrar"},
        {record("V_P", "|A|B|", "(N = 1"), "paréntesis"},
        {record("V_S", "|A|B|", "1=1; DROP TABLE X"), ";"},
        {record("V_C", "|A|B|", "1=1 -- x"), "comentario"},
    };
    for (const auto &[content, problem] : cases) {
        const QString path = write("masks.vkr", content);
        const QString view = ModGlobal::MascaraConsulta::fromRecord(content).Vista;
        const MaskLookup found = findMask(path, view);
        EXPECT_EQ(found.outcome, MaskLookup::Outcome::Damaged) << s(view);
        EXPECT_TRUE(found.problem.contains(QString::fromUtf8(problem))) << s(found.problem);
    }
    EXPECT_TRUE(fragmentProblem(QStringLiteral("N = 'a;b' AND (X = 1)")).isEmpty());
}

} // namespace
