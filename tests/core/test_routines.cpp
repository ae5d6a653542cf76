#include "core/Globals.h"
#include "core/Rutinas.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/suite/Ini.h"

#include <QFile>
#include <QTemporaryDir>

#include "QtPrint.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    const char *name;
    const char *text;
    long n;
    const char *expected;
};

class ExtraerCampoTable : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ExtraerCampoTable, Field)
{
    const FieldCase &c = GetParam();
    EXPECT_EQ(ModGlobal::ExtraerCampo(QString::fromUtf8(c.text), c.n, QStringLiteral("\t")),
              QString::fromUtf8(c.expected));
}

const FieldCase kFields[] = {
    {"Second", "a\tb\t", 2, "b"},
    {"TrailingSeparatorGivesNoThirdField", "a\tb\t", 3, ""},
    {"EmptyMiddleField", "a\t\tc", 2, ""},
    {"FieldAfterEmpty", "a\t\tc", 3, "c"},
    {"LastFieldWithoutSeparator", "a\tb", 2, "b"},
    {"FieldsTrimmed", "  a  \t  b  ", 1, "a"},
    {"PastTheEnd", "a\tb", 5, ""},
    {"ZeroIsNothing", "a\tb", 0, ""},
    {"EmptyText", "", 1, ""},
};

INSTANTIATE_TEST_SUITE_P(Table, ExtraerCampoTable, ::testing::ValuesIn(kFields),
                         [](const ::testing::TestParamInfo<FieldCase> &info) { return std::string(info.param.name); });

TEST(ValorLogico, DefaultDecidesTheUnknown)
{
    for (const char *no : {"FALSE", "falso", "0", "No", "n"})
        EXPECT_FALSE(ModGlobal::ValorLogico(QString::fromUtf8(no), true)) << no;
    for (const char *other : {"SI", "x", "", "TRUE"})
        EXPECT_TRUE(ModGlobal::ValorLogico(QString::fromUtf8(other), true)) << other;
    for (const char *yes : {"TRUE", "verdadero", "1", "si", "S"})
        EXPECT_TRUE(ModGlobal::ValorLogico(QString::fromUtf8(yes), false)) << yes;
    for (const char *other : {"NO", "x", ""})
        EXPECT_FALSE(ModGlobal::ValorLogico(QString::fromUtf8(other), false)) << other;
}

TEST(FmtMoneda, SelectorsAndGrouping)
{
    ModGlobal::resetGlobals();
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("12,345abc"), -3, true), QStringLiteral("12,345abc"));
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("1234,5"), -2, true), QStringLiteral("1.234"));
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("1235,5"), -2, false), QStringLiteral("1236"));
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("1234567,891"), 2, true), QStringLiteral("1.234.567,89"));
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("-5"), 3, false), QStringLiteral("-5,000"));
    ModGlobal::gCantidadDecimales = QStringLiteral("1");
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("2,25"), -1, false), QStringLiteral("2,2"));
    ModGlobal::gCantidadDecimales = QStringLiteral(" ");
    EXPECT_EQ(ModGlobal::FmtMoneda(QStringLiteral("2"), -1, false), QStringLiteral("2,00"));
    ModGlobal::resetGlobals();
}

TEST(Files, ExistAndCopy)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.dat"));
    const QString big = dir.filePath(QStringLiteral("big.dat"));
    QFile(empty).open(QIODevice::WriteOnly);
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(32768 * 2 + 17, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        file.write(bytes);
    }
    EXPECT_TRUE(ModGlobal::ExisteArchivo(empty));
    EXPECT_TRUE(ModGlobal::ExisteArchivoSinComillas(QLatin1Char('"') + big + QLatin1Char('"')));
    EXPECT_FALSE(ModGlobal::ExisteArchivo(dir.filePath(QStringLiteral("none"))));
    EXPECT_FALSE(ModGlobal::ExisteArchivo(QString()));

    const QString copy = dir.filePath(QStringLiteral("copy.dat"));
    {
        QFile old(copy);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'z')); // a longer old file must not leave a tail
    }
    ASSERT_TRUE(ModGlobal::CopiarArchivo(big, copy));
    QFile a(big), b(copy);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray original = a.readAll();
    EXPECT_EQ(original, b.readAll());
    a.close();

    // A file copied onto itself (under another spelling of its path) keeps its bytes.
    EXPECT_TRUE(ModGlobal::CopiarArchivo(big, dir.path() + QStringLiteral("/./big.dat")));
    EXPECT_EQ(QFile(big).size(), original.size());

    const QString emptyCopy = dir.filePath(QStringLiteral("empty2.dat"));
    EXPECT_TRUE(ModGlobal::CopiarArchivo(empty, emptyCopy));
    EXPECT_EQ(QFile(emptyCopy).size(), 0);
    EXPECT_FALSE(ModGlobal::CopiarArchivo(dir.filePath(QStringLiteral("none")), dir.filePath(QStringLiteral("x"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x"))));
}

TEST(Files, ExportarPlanillaWritesAndDiscards)
{
    QTemporaryDir dir;
    QString extension = QStringLiteral("txt");
    QString folder = dir.path();
    ModGlobal::ExportarPlanilla(1, QStringLiteral("uno"), extension, folder);
    EXPECT_EQ(extension, QStringLiteral(".txt"));
    const QString file = folder;
    EXPECT_TRUE(file.startsWith(dir.path()));
    EXPECT_TRUE(file.endsWith(QStringLiteral(".txt")));
    ModGlobal::ExportarPlanilla(2, QStringLiteral("dos"), extension, folder);

    // Opening the next file closes this one. A line ends in CR and CR LF, except in a
    // spreadsheet (".xls"), whose lines end in CR LF only.
    QString xls = QStringLiteral("xls");
    QString next = dir.path();
    ModGlobal::ExportarPlanilla(1, QStringLiteral("a"), xls, next);
    const QString sheet = next;
    ModGlobal::ExportarPlanilla(2, QStringLiteral("b"), xls, next);
    QString csv = QStringLiteral(".csv");
    QString last = dir.path();
    ModGlobal::ExportarPlanilla(1, QString(), csv, last);
    auto bytesOf = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    };
    EXPECT_EQ(bytesOf(file), QByteArray("uno\r\r\ndos\r\r\n"));
    EXPECT_EQ(bytesOf(sheet), QByteArray("a\r\nb\r\n"));

    QString discard = last;
    ModGlobal::ExportarPlanilla(4, QString(), csv, discard);
    EXPECT_FALSE(QFile::exists(last));
    EXPECT_EQ(discard, last);
}

class StationFile : public ::testing::Test {
protected:
    void SetUp() override { platform::setProgramFolder(m_dir.path()); }
    void TearDown() override { platform::setProgramFolder(QString()); }
    void write(const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(QStringLiteral("qd000pr.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString read(const char *section, const char *key, const char *fallback)
    {
        return platform::suite::gIni().LeerIni(QStringLiteral("QD000PR.INI"), QString::fromUtf8(section),
                                               QString::fromUtf8(key), QString::fromUtf8(fallback));
    }
    QTemporaryDir m_dir;
};

TEST_F(StationFile, ReadsSectionsAndKeysIgnoringCase)
{
    write("; comment\r\n[PC1|ANA]\r\nFlatToolbars = 0\r\nStyles=\"3\"\r\n[PC1|ANABaseDeDatos]\r\nServidor=SRV\n");
    EXPECT_EQ(read("pc1|ana", "flattoolbars", "1"), QStringLiteral("0"));
    EXPECT_EQ(read("PC1|ANA", "Styles", "1"), QStringLiteral("3"));
    EXPECT_EQ(read("PC1|ANABaseDeDatos", "Servidor", ""), QStringLiteral("SRV"));
    EXPECT_EQ(read("PC1|ANA", "Servidor", "none"), QStringLiteral("none"));
    EXPECT_EQ(read("OTRA", "FlatToolbars", "1"), QStringLiteral("1"));
}

TEST_F(StationFile, MissingOrDamagedFileGivesDefaults)
{
    EXPECT_EQ(read("PC1|ANA", "FlatToolbars", "1"), QStringLiteral("1"));
    write(QByteArray("\x00\xff\xfe[[[=\x01\x02", 9) + QByteArray(300, '\0'));
    EXPECT_EQ(read("PC1|ANA", "FlatToolbars", "1"), QStringLiteral("1"));
}

} // namespace

#include "core/RutinasDatos.h"
#include "core/SharedLookup.h"

namespace {

TEST(DefinicionConsulta, ColumnsByTableName)
{
    struct Case {
        const char *table, *description, *code;
    };
    const Case cases[] = {
        {"v_ta_rubros", "DESCRIPCION", "IDRUBRO"},
        {"V_TA_TipoArticulo", "DESCRIPCION", "IDTIPO"},
        {"V_TA_CPRA_VTA", "DESCRIPCION", "IDCOND_CPRA_VTA"},
        {"V_TA_Tecnicos", "NOMBRE", "IDTECNICO"},
        {"V_MA_ARTICULOS", "DESCRIPCION", "IDARTICULO"},
        {"TA_USUARIOS", "NOMBRE", "NOMBRE"},
        {"MA_CUENTAS", "Descripcion", "Codigo"},
        {"vt_proveedores", "", ""},
        {" ", "", ""},
    };
    for (const Case &c : cases) {
        QString table = QString::fromUtf8(c.table), description, code, third;
        ModGlobal::DefinicionConsulta(table, description, code, third, false, QString());
        EXPECT_EQ(description, QString::fromUtf8(c.description)) << c.table;
        EXPECT_EQ(code, QString::fromUtf8(c.code)) << c.table;
    }
}

// Stands in for the lookup browser: records what it was asked and chooses `answer`.
class FakeLookup : public SharedLookup {
public:
    static inline QString asked;
    static inline QString askedColumn;
    static inline QString answer;
    void ConsultaSearch(const QString &SQL, QStringList *, const QString &, QString *, QString *, const QString &, bool,
                        const QString &) override
    {
        asked = SQL;
        askedColumn = CampoDevuelto;
        ValorDevuelto = answer;
        CampoDevuelto.clear();
    }
};

TEST(DefinicionConsulta, RunsTheLookupAndReturnsTheChosenCode)
{
    gConsulta().gConnString = QStringLiteral("kept");
    setLookupFactory([] { return std::make_unique<FakeLookup>(); });
    EXPECT_EQ(gConsulta().gConnString, QStringLiteral("kept")); // settings carry over
    FakeLookup::answer = QStringLiteral("  7");
    QString table = QStringLiteral("V_TA_RUBROS"), description, code, third;
    ModGlobal::DefinicionConsulta(table, description, code, third, true, QStringLiteral("WHERE A = 1"));
    EXPECT_EQ(FakeLookup::asked, QStringLiteral("select DESCRIPCION,IDRUBRO from V_TA_RUBROS WHERE A = 1"));
    EXPECT_EQ(FakeLookup::askedColumn, QStringLiteral("IDRUBRO"));
    EXPECT_EQ(code, QStringLiteral("  7"));

    setLookupFactory({}); // no browser: nothing chosen
    ModGlobal::DefinicionConsulta(table, description, code, third, true, QString());
    EXPECT_EQ(code, QString());
    EXPECT_TRUE(gConsulta().cancelled());
    releaseConsulta();
}

} // namespace
