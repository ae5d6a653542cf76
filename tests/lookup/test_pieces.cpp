// The list's building blocks that need no database: row store and its comparisons, the
// quantity format, the column-width file, the layout numbers, and the shared library's
// operations the lookup uses.
#include "lookup/ColumnWidths.h"
#include "lookup/LookupLayout.h"
#include "lookup/LookupListModel.h"
#include "lookup/Quantities.h"

#include "platform/TextFile.h"
#include "platform/suite/Funciones.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace lookup;

std::string s(const QString &text) { return text.toStdString(); }

LookupListModel::Content content(const QList<QStringList> &rows)
{
    LookupListModel::Content c;
    const int columns = rows.isEmpty() ? 1 : int(rows.first().size());
    for (int i = 0; i < columns; ++i)
        c.columns.push_back(ListColumn{QStringLiteral("C%1").arg(i), QStringLiteral("C%1").arg(i), 1500});
    c.rows.reset(columns);
    for (const QStringList &row : rows) {
        for (int i = 0; i < columns; ++i)
            c.rows.append(i, row.at(i));
    }
    return c;
}

TEST(LookupRows, KeepsEveryTextAsWritten)
{
    LookupRows rows;
    rows.reset(2);
    const QStringList texts = {QStringLiteral("Ñandú"), QString(), QStringLiteral("  25"), QStringLiteral("€ 😀 x")};
    for (const QString &t : texts) {
        rows.append(0, t);
        rows.append(1, t + QLatin1Char('!'));
    }
    ASSERT_EQ(rows.rowCount(), 4);
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(rows.text(i, 0), texts[i]);
        EXPECT_EQ(rows.text(i, 1), texts[i] + QLatin1Char('!'));
    }
    EXPECT_EQ(rows.textBytes(), std::size_t((texts.join(QString()).toUtf8().size()) * 2 + 4));
}

TEST(LookupRows, FoldedPrefixAndOrder)
{
    struct Case {
        const char *cell, *prefix;
        bool match;
    };
    const Case cases[] = {
        {"  Tornillo 8 ", "torn", true},
        {"TORNILLO", "tornillo", true},
        {"Torn", "tornillo", false},
        {"Ñandú", "ñan", true},
        {"ñandú", "ÑANDÚ", true},
        {"Arandela", "", true},
        {"Árbol", "ár", true},
        {"Árbol", "ar", false},
        {"abc", "abd", false},
        // long prefixes are compared eight letters at a time
        {"ARTICULO DE PRUEBA 000123 COLOR ROJO", "articulo de prueba 0001", true},
        {"ARTICULO DE PRUEBA 000123 COLOR ROJO", "articulo de prueba 0002", false},
        {"ARTICULO@DE[PRUEBA", "articulo`de{prueba", false}, // '@' and '[' lie beside the capitals
        {"articulo de prueba", "ARTICULO DE PRUEBA", true},
        {"CAÑO DE COBRE TRES CUARTOS", "caño de cobre tres", true},
        {"  ARTICULO  ", "articulo", true},
        {"ARTICUL", "articulo", false},
        {"ARTICULO   ", "articulo  x", false},
    };
    for (const Case &c : cases) {
        const std::string prefix = QString::fromUtf8(c.prefix).trimmed().toCaseFolded().toStdString();
        EXPECT_EQ(folded::startsWith(c.cell, prefix), c.match) << c.cell << " / " << c.prefix;
    }
    EXPECT_LT(folded::compare("abc", "ABD"), 0);
    EXPECT_EQ(folded::compare("ÑANDÚ", "ñandú"), 0);
    EXPECT_GT(folded::compare("b", "A"), 0);
    EXPECT_LT(folded::compare("ab", "abc"), 0);
}

TEST(LookupListModel, SearchSortChecksAndEdits)
{
    LookupListModel model;
    model.adopt(content({{QStringLiteral("Tuerca"), QStringLiteral("3")},
                         {QStringLiteral("arandela"), QStringLiteral("1")},
                         {QStringLiteral("Tornillo"), QStringLiteral("2")}}));
    EXPECT_EQ(model.findPrefix(0, QStringLiteral(" to ")), 2);
    EXPECT_EQ(model.findPrefix(0, QStringLiteral("x")), -1);
    EXPECT_EQ(model.findPrefix(0, QString()), 0);
    model.setCheckBoxes(true);
    model.setChecked(0, true);
    model.setCell(0, 1, QStringLiteral("9"));
    model.sortBy(0, true);
    EXPECT_EQ(s(model.cell(0, 0)), "arandela");
    EXPECT_EQ(s(model.cell(2, 0)), "Tuerca");
    EXPECT_TRUE(model.isChecked(2)); // the check and the edit follow the row
    EXPECT_EQ(s(model.cell(2, 1)), "9");
    EXPECT_EQ(model.findPrefix(0, QStringLiteral("t")), 1); // first in the sorted order
    model.sortBy(1, false);
    EXPECT_EQ(s(model.cell(0, 0)), "Tuerca");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
}

TEST(LookupListModel, RowsReadAgainKeepTheOperatorsChecksAndEdits)
{
    const QList<QStringList> first = {{QStringLiteral("Arandela"), QStringLiteral("1")},
                                      {QStringLiteral("Bulon"), QStringLiteral("2")}};
    QList<QStringList> whole = first;
    whole << QStringList{QStringLiteral("Tornillo"), QStringLiteral("3")}
          << QStringList{QStringLiteral("Tuerca"), QStringLiteral("4")};

    // the whole list starts with the rows shown: they are added after them
    LookupListModel model;
    model.setCheckBoxes(true);
    model.adopt(content(first));
    model.setChecked(1, true);
    model.setCell(0, 1, QStringLiteral("9"));
    LookupListModel::Content rest = content(whole);
    rest.checked = {0, 0, 0, 1}; // checked by the defaults
    EXPECT_EQ(model.replaceRows(std::move(rest)), (std::vector<int>{0, 1}));
    ASSERT_EQ(model.rows(), 4);
    EXPECT_EQ(s(model.cell(0, 1)), "9");
    EXPECT_FALSE(model.isChecked(0));
    EXPECT_TRUE(model.isChecked(1));
    EXPECT_TRUE(model.isChecked(3));
    EXPECT_EQ(model.findPrefix(0, QStringLiteral("tu")), 3);

    // read in another order (rows of equal sort keys, rows changed in between): each row
    // held is found by its texts; one the new list lacks is gone
    LookupListModel other;
    other.setCheckBoxes(true);
    other.adopt(content({{QStringLiteral("Bulon"), QStringLiteral("2")},
                         {QStringLiteral("Arandela"), QStringLiteral("1")},
                         {QStringLiteral("Clavo"), QStringLiteral("5")},
                         {QStringLiteral("Bulon"), QStringLiteral("2")}}));
    other.setChecked(0, true);
    other.setCell(3, 1, QStringLiteral("7"));
    other.sortBy(0, true);
    EXPECT_EQ(other.replaceRows(content(whole)), (std::vector<int>{1, 0, -1, -1}));
    ASSERT_EQ(other.rows(), 4);
    EXPECT_EQ(s(other.cell(0, 0)), "Arandela"); // back in the read order
    EXPECT_TRUE(other.isChecked(1));
    EXPECT_EQ(s(other.cell(1, 1)), "2"); // the edited twin had no row left to go to
    EXPECT_FALSE(other.isChecked(2));
}

TEST(Quantities, OneFormatBothWays)
{
    const std::pair<const char *, double> reads[] = {
        {"2,5", 2.5}, {"  3,25 kg", 3.25}, {"2.5", 2.5}, {"-1,5", -1.5}, {"abc", 0}, {"", 0}, {"1.234,5", 1}};
    for (const auto &[text, value] : reads)
        EXPECT_DOUBLE_EQ(quantities::read(QString::fromUtf8(text)), value) << text;
    EXPECT_EQ(s(quantities::write(3.5, 1)), "3,5");
    EXPECT_EQ(s(quantities::write(12, 2)), "12,00");
    EXPECT_EQ(s(quantities::write(-0.001, 2)), "0,00");
    for (const double value : {0.1, 2.5, 1234567.25})
        EXPECT_DOUBLE_EQ(quantities::read(quantities::write(value, 2)), value);
}

class WidthFileTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString file() const { return columnwidths::widthFile(m_dir.path()); }
    QString aux() const { return columnwidths::auxFile(m_dir.path()); }
    QByteArray bytes() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void put(const QByteArray &content)
    {
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
};

TEST_F(WidthFileTest, RoundTripKeepsOtherTablesAndOneLinePerTable)
{
    put("\"V_TA_RUBROS\",\"100|200|\"\r\n\"OTRA\",\"5|\"\r\n");
    ASSERT_TRUE(columnwidths::write(file(), aux(), QStringLiteral("VT_MA_ARTICULOS"), {4215, 1815, 1200}).ok());
    ASSERT_TRUE(columnwidths::write(file(), aux(), QStringLiteral("vt_ma_articulos"), {4000, 1800.5}).ok());
    EXPECT_EQ(bytes(),
              QByteArray("\"V_TA_RUBROS\",\"100|200|\"\r\n\"OTRA\",\"5|\"\r\n"
                         "\"vt_ma_articulos\",\"4000|1800,5|\"\r\n"));
    EXPECT_FALSE(QFile::exists(QDir(m_dir.path()).filePath(QStringLiteral("CONSULTASLEN.AUX"))));
    const columnwidths::Saved saved = columnwidths::read(file(), QStringLiteral("VT_MA_ARTICULOS"), 3);
    EXPECT_TRUE(saved.found);
    EXPECT_EQ(saved.widths, (std::vector<double>{4000, 1800.5}));
}

TEST_F(WidthFileTest, ReplacedWholeNeverRewrittenInPlace)
{
    const QByteArray old("\"OTRA\",\"5|\"\r\n");
    put(old);
    QFile reader(file()); // someone reading the old file meanwhile
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    ASSERT_TRUE(columnwidths::write(file(), aux(), QStringLiteral("T"), {100}).ok());
    EXPECT_EQ(reader.readAll(), old); // a new file took the name: the old one is untouched
    EXPECT_EQ(bytes(), old + "\"T\",\"100|\"\r\n");

    // an auxiliary file that cannot be written leaves the width file as it was
    const QByteArray before = bytes();
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("CONSULTASLEN.AUX")));
    const platform::Status failed = columnwidths::write(file(), aux(), QStringLiteral("U"), {7});
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.message().contains(QStringLiteral("CONSULTASLEN.AUX"))) << s(failed.message());
    EXPECT_EQ(bytes(), before);
}

TEST_F(WidthFileTest, DamagedLinesKeepWhatWasRead)
{
    put("\"T\",\"100|abc|300|\"\r\n\"U\",\"10|20|\"\nsin comillas,\"7|\"\r\n\"T2\",\"1|2|3|4|\"\r\n");
    EXPECT_EQ(columnwidths::read(file(), QStringLiteral("T"), 3).widths, (std::vector<double>{100}));
    EXPECT_EQ(columnwidths::read(file(), QStringLiteral("u"), 3).widths, (std::vector<double>{10, 20}));
    EXPECT_EQ(columnwidths::read(file(), QStringLiteral("SIN COMILLAS"), 1).widths, (std::vector<double>{7}));
    EXPECT_EQ(columnwidths::read(file(), QStringLiteral("T2"), 2).widths, (std::vector<double>{1, 2}));
    EXPECT_FALSE(columnwidths::read(file(), QStringLiteral("NINGUNA"), 2).found);
    EXPECT_FALSE(columnwidths::read(QDir(m_dir.path()).filePath(QStringLiteral("nada")), QStringLiteral("T"), 2).found);
}

TEST_F(WidthFileTest, FoundWhateverTheCaseOfItsName)
{
    QFile lower(QDir(m_dir.path()).filePath(QStringLiteral("consultaslen.vkr")));
    ASSERT_TRUE(lower.open(QIODevice::WriteOnly));
    lower.write("\"T\",\"100|\"\r\n");
    lower.close();
    EXPECT_TRUE(file().endsWith(QStringLiteral("consultaslen.vkr")));
    ASSERT_TRUE(columnwidths::write(file(), aux(), QStringLiteral("U"), {50}).ok());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("consultaslen.vkr")});
    EXPECT_EQ(bytes(), QByteArray("\"T\",\"100|\"\r\n\"U\",\"50|\"\r\n"));
}

TEST(LookupLayout, ColumnsAndWindow)
{
    const ColumnsLayout columns = layoutColumns({1500, 1500, 1500}, 20000);
    EXPECT_EQ(columns.listWidth, 4860);
    EXPECT_EQ(columns.picWidth, 4860);
    EXPECT_EQ(columns.scrollWidth, 4500);
    EXPECT_EQ(columns.scrollMax, 3204);
    EXPECT_EQ(columns.windowWidth, 5140);
    EXPECT_EQ(columns.boxLeft, (std::vector<double>{0, 1500, 3000}));
    EXPECT_EQ(columns.boxWidth, (std::vector<double>{1450, 1450, 1450}));
    EXPECT_EQ(layoutColumns({1500, 1500, 1500}, 5000).windowWidth, 4520);
    EXPECT_EQ(layoutColumns({40000}, 100000).scrollMax, 32700);

    WindowSizes sizes;
    sizes.width = 5140;
    sizes.height = 6000;
    sizes.frameHeight = 700;
    sizes.scrollHeight = 255;
    sizes.aceptarWidth = 1200;
    sizes.cancelarWidth = 1200;
    sizes.nuevoWidth = 900;
    const WindowLayout window = layoutWindow(sizes);
    EXPECT_EQ(window.picWidth, 5020);
    EXPECT_EQ(window.listWidth, 5000);
    EXPECT_EQ(window.picHeight, 4820);
    EXPECT_EQ(window.listHeight, 3520);
    EXPECT_EQ(window.frameTop, 4780);
    EXPECT_EQ(window.scrollTop, 4445);
    EXPECT_EQ(window.cancelarLeft, 1970);
    EXPECT_EQ(window.nuevaLeft, 3790);
    EXPECT_EQ(window.labelWidth, 4100);
    sizes.nuevaVisible = false;
    EXPECT_EQ(layoutWindow(sizes).cancelarLeft, 3790); // Cancelar takes the place of the hidden button
    sizes.width = 2500;
    const WindowLayout narrow = layoutWindow(sizes);
    EXPECT_EQ(narrow.aceptarWidth, 600);
    EXPECT_EQ(narrow.cancelarWidth, 600);
    EXPECT_EQ(narrow.cancelarLeft, 1750);
    EXPECT_EQ(narrow.nuevaLeft, 1750);
}

TEST(SharedLibrary, FurtherOperations)
{
    const platform::suite::Funciones &f = platform::suite::gFunciones();
    EXPECT_EQ(f.TextoAEntero(QStringLiteral("3")), 3);
    EXPECT_EQ(f.TextoAEntero(QStringLiteral("2,5")), 2); // halves to even
    EXPECT_EQ(f.TextoAEntero(QStringLiteral("3,5")), 4);
    EXPECT_DOUBLE_EQ(f.TextoADoble(QStringLiteral("1.234,56789")), 1234.56789);
    EXPECT_DOUBLE_EQ(f.TextoADoble(QString()), 0);
    EXPECT_THROW(f.TextoADoble(QStringLiteral("12x")), platform::RuntimeError);
    EXPECT_EQ(s(f.AlinearDerecha(QStringLiteral(" 7 "))), " 7 ");
    QString folder, name, extension, file;
    f.DividirRuta(QStringLiteral("C:\\FOTOS\\art.01.JPG"), folder, name, extension, file);
    EXPECT_EQ(s(folder), "C:\\FOTOS\\");
    EXPECT_EQ(s(name), "art.01");
    EXPECT_EQ(s(extension), "JPG");
    EXPECT_EQ(s(file), "art.01.JPG");
    f.DividirRuta(QStringLiteral("leeme"), folder, name, extension, file);
    EXPECT_EQ(s(extension), "");
}

} // namespace
