// The package format's lines and values, and the reception's row and column rules.

#include "tests/core/QtPrint.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "package/LineReader.h"
#include "package/LineWriter.h"
#include "platform/TextFile.h"
#include "reception/ReglasTablas.h"
#include "reception/Renglon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

namespace {

const QString TAB = QStringLiteral("\t");

TEST(PackageFormat, DataLinesSplitAtTabsAndTheLastTabEndsTheLine)
{
    const struct {
        const char *linea;
        QStringList valores;
    } casos[] = {
        {"", {}},
        {"a\t", {"a"}},
        {"a\tb", {"a", "b"}},
        {"a\tb\t", {"a", "b"}},
        {"a\t\t", {"a", ""}},
        {"\t", {""}},
        {" x \tNULL\t", {" x ", "NULL"}},
    };
    for (const auto &c : casos)
        EXPECT_EQ(package::readLine(QString::fromUtf8(c.linea)), c.valores) << c.linea;
    EXPECT_EQ(package::writeLine({"a", "", "b"}), QStringLiteral("a\t\tb\t"));
}

TEST(PackageFormat, NumbersTakeADecimalCommaOrPoint)
{
    const struct {
        const char *texto;
        std::optional<double> valor;
    } casos[] = {
        {"12,5", 12.5},
        {"12.5", 12.5},
        {"-3,25", -3.25},
        {"1.234,5", 1234.5},
        {" 7 ", 7.0},
        {"0", 0.0},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"1,2,3", std::nullopt},
        {"1.2.3", std::nullopt},
        {"12,5 kg", std::nullopt},
        {"+5", 5.0},
        {",5", 0.5},
        {"-.5", -0.5},
        {"5,", 5.0},
        {"00012,50", 12.5},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {",", std::nullopt},
        {"1-2", std::nullopt},
        {"+-1", std::nullopt},
        {"1,234.5", 1.2345},
        {"0,1", 0.1},
        {"123456789012345678,25", 123456789012345678.25},
        {"\u0661\u0662", std::nullopt},
    };
    for (const auto &c : casos)
        EXPECT_EQ(package::readNumber(QString::fromUtf8(c.texto)), c.valor) << c.texto;
    EXPECT_EQ(package::writeNumber(1234.5), QStringLiteral("1234,5"));
    EXPECT_EQ(package::writeNumber(-0.25), QStringLiteral("-0,25"));
    EXPECT_EQ(package::writeNumber(7), QStringLiteral("7"));
}

TEST(PackageFormat, DatesAreDayFirst)
{
    const struct {
        const char *texto;
        QDateTime valor;
    } casos[] = {
        {"31/12/2020", QDateTime(QDate(2020, 12, 31), QTime(0, 0))},
        {"1/2/2021", QDateTime(QDate(2021, 2, 1), QTime(0, 0))},
        {"01/02/21", QDateTime(QDate(2021, 2, 1), QTime(0, 0))},
        {"15-03-99", QDateTime(QDate(1999, 3, 15), QTime(0, 0))},
        {"15/03/2024 10:30", QDateTime(QDate(2024, 3, 15), QTime(10, 30))},
        {"15/03/2024 10:30:15", QDateTime(QDate(2024, 3, 15), QTime(10, 30, 15))},
        {"31/02/2020", QDateTime()},
        {"12/31/2020", QDateTime()},
        {"2020/12/31", QDateTime()},
        {"ayer", QDateTime()},
        {"15/03/2024 25:00", QDateTime()},
        {" 29.02.2020  7:05 ", QDateTime(QDate(2020, 2, 29), QTime(7, 5))},
        {"29/02/2021", QDateTime()},
        {"15/03/2024 10", QDateTime()},
        {"15/03/2024 10:30:", QDateTime()},
        {"15/03/2024\t10:30", QDateTime()},
        {"15/03/20245", QDateTime()},
        {"15/03/202", QDateTime()},
        {"00015/03/2024", QDateTime()},
        {"15-03/2024", QDateTime()},
        {"15/03/2024/", QDateTime()},
    };
    for (const auto &c : casos) {
        const std::optional<QDateTime> leida = package::readDate(QString::fromUtf8(c.texto));
        EXPECT_EQ(leida.value_or(QDateTime()), c.valor) << c.texto;
    }
}

TEST(PackageFormat, ValuesAreWrittenAsTheReceptionReadsThem)
{
    using platform::Variant;
    EXPECT_EQ(package::writeValue(Variant::null()), QStringLiteral("NULL"));
    EXPECT_EQ(package::writeValue(Variant::null(), true), QStringLiteral("NULL"));
    for (const char *no : {"FALSE", "falso", "0", "No", "n"})
        EXPECT_EQ(package::writeValue(Variant(QString::fromUtf8(no)), true), QStringLiteral("0")) << no;
    EXPECT_EQ(package::writeValue(Variant(QStringLiteral("S")), true), QStringLiteral("1"));
    EXPECT_EQ(package::writeValue(Variant(12.5)), QStringLiteral("12,5"));
    EXPECT_EQ(package::writeValue(Variant(QDateTime(QDate(2021, 2, 1), QTime(0, 0)))), QStringLiteral("01/02/2021"));
    EXPECT_EQ(package::writeValue(Variant(QDateTime(QDate(2021, 2, 1), QTime(8, 5, 3)))),
              QStringLiteral("01/02/2021 08:05:03"));
    EXPECT_EQ(package::writeValue(Variant(QStringLiteral("O'Brien\tdos\r\nlíneas"))),
              QStringLiteral("O'Brien dos  líneas"));
    for (double n : {0.1, 1234.5678, -7.25}) {
        EXPECT_EQ(package::readNumber(package::writeNumber(n)), n);
    }
}

TEST(PackageFormat, TheWithdrawnPriceLineIsRecognisedOnlyInItsExactForm)
{
    const QString linea = package::writePriceDeletion(QStringLiteral("1"), QStringLiteral("A'1"));
    EXPECT_EQ(linea,
              QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='   1' AND IDARTICULO='")
                  + QStringLiteral("A'1").rightJustified(25) + QLatin1Char('\''));
    const auto leida = package::readPriceDeletion(linea);
    ASSERT_TRUE(leida);
    EXPECT_EQ(leida->list, QStringLiteral("   1"));
    EXPECT_EQ(leida->article, QStringLiteral("A'1").rightJustified(25));
    EXPECT_TRUE(package::readPriceDeletion(linea.toLower()));
    for (const QString &otra :
         {linea + QLatin1Char(' '), QLatin1Char(' ') + linea, linea + QStringLiteral(" OR 1=1"),
          QString(linea).replace(QStringLiteral("TIPOLISTA='V'"), QStringLiteral("TIPOLISTA='C'")),
          QStringLiteral("DELETE FROM V_MA_PRECIOS"), QString(),
          package::writePriceDeletion(QStringLiteral("1"), QStringLiteral("A") + QChar(0) + QStringLiteral("1"))})
        EXPECT_FALSE(package::readPriceDeletion(otra)) << otra.toStdString();
}

TEST(PackageFormat, ALineHoldsNoControlCharacterButItsSeparators)
{
    const struct {
        QString linea;
        qsizetype en;
    } casos[] = {
        {QStringLiteral("a\tb\t"), -1},
        {QStringLiteral("Año ñandú €\t"), -1},
        {QStringLiteral("a") + QChar(0) + QStringLiteral("b\t"), 1},
        {QStringLiteral("a\tb\rc\t"), 3},
        {QStringLiteral("\x1f"), 0},
        {QStringLiteral("ab") + QChar(0x7F), 2},
    };
    for (const auto &c : casos)
        EXPECT_EQ(package::controlCharacterAt(c.linea), c.en) << c.linea.toStdString();
    // The sending refuses every value that holds one.
    for (const auto &c : casos) {
        if (c.en >= 0) {
            EXPECT_FALSE(package::unwritableText(c.linea.mid(c.en, 1)).isEmpty());
        }
    }
}

// Every line of a file as the reader gives it: its text (cut when too long) and its length.
QStringList leerLineas(const QByteArray &contenido)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("T.DAT"));
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(contenido) != contenido.size())
        return {QStringLiteral("<no se pudo escribir>")};
    archivo.close();
    package::LineReader lector;
    if (!lector.open(ruta).ok())
        return {QStringLiteral("<no se pudo abrir>")};
    QStringList lineas;
    QString linea;
    while (lector.next(linea)) {
        lineas << (lector.tooLong() ? QStringLiteral("[%1 bytes] %2").arg(lector.lineBytes()).arg(linea.size())
                                    : QStringLiteral("%1:%2").arg(lector.lineBytes()).arg(linea.left(12)));
    }
    return lineas;
}

TEST(LineReader, LinesEndInCrLfOrLfAndTooLongOnesAreCutAndSkipped)
{
    const qsizetype maximo = package::LineReader::kMaxLineBytes;
    const QByteArray justa(maximo, 'x');
    const QByteArray larga(maximo + 1, 'y');
    const QByteArray enorme(3 * maximo + 17, 'z');
    const struct {
        const char *nombre;
        QByteArray contenido;
        QStringList lineas;
    } casos[] = {
        {"crlf and lf", "a\tb\t\r\nc\n\r\n", {"4:a\tb\t", "1:c", "0:"}},
        {"last line without its end", "a\r\nb", {"1:a", "1:b"}},
        {"a CR inside the line stays", "a\rb\r\n", {"3:a\rb"}},
        {"empty file", "", {}},
        {"the longest line", justa + "\r\nfin\r\n", {QStringLiteral("%1:xxxxxxxxxxxx").arg(maximo), "3:fin"}},
        {"one byte more", larga + "\r\nfin\r\n", {QStringLiteral("[%1 bytes] 120").arg(maximo + 1), "3:fin"}},
        {"far longer",
         "a\n" + enorme + "\nfin",
         {"1:a", QStringLiteral("[%1 bytes] 120").arg(3 * maximo + 17), "3:fin"}},
        {"far longer, at the end", enorme, {QStringLiteral("[%1 bytes] 120").arg(3 * maximo + 17)}},
    };
    for (const auto &c : casos)
        EXPECT_EQ(leerLineas(c.contenido), c.lineas) << c.nombre;
}

// A line of 1 GiB without a line break (a hole of a sparse file: no disk used) is read past
// with the process's address space limited to its current size and 256 MiB more.
TEST(LineReaderDeathTest, AGigabyteLineIsReadPastInBoundedMemory)
{
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("V_MA_ARTICULOS.DAT"));
    const qint64 enorme = qint64(1) << 30;
    {
        QFile archivo(ruta);
        ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
        archivo.write("A1\tuno\t\r\n");
        ASSERT_TRUE(archivo.seek(archivo.pos() + enorme));
        archivo.write("\r\nA3\ttres\t\r\n");
    }
    const auto limitar = [] {
        QFile estado(QStringLiteral("/proc/self/status"));
        qint64 kb = 0;
        if (estado.open(QIODevice::ReadOnly)) {
            for (const QByteArray &l : estado.readAll().split('\n')) {
                if (l.startsWith("VmSize:"))
                    kb = l.mid(7).trimmed().split(' ').first().toLongLong();
            }
        }
        const rlim_t tope = rlim_t(kb) * 1024 + (rlim_t(256) << 20);
        const rlimit limite{tope, tope};
        return kb > 0 && setrlimit(RLIMIT_AS, &limite) == 0;
    };
    EXPECT_EXIT(
        {
            if (!limitar())
                std::_Exit(2);
            package::LineReader lector;
            QString linea;
            const bool bien = lector.open(ruta).ok() && lector.next(linea) && linea == QStringLiteral("A1\tuno\t")
                && lector.next(linea) && lector.tooLong() && lector.lineBytes() == enorme
                && linea.size() == package::LineReader::kShownBytes && lector.next(linea)
                && linea == QStringLiteral("A3\ttres\t") && !lector.next(linea) && lector.error().isEmpty();
            std::_Exit(bien ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A link or a second name that someone planted at a package file's name is replaced by the
// new file; the file it named keeps its content.
TEST(PackageFiles, AreNeverWrittenThroughALinkAtTheirName)
{
    const struct {
        const char *nombre;
        bool simbolico;
        bool control;
    } casos[] = {
        {"data file over a symbolic link", true, false},
        {"data file over a hard link", false, false},
        {"control file over a symbolic link", true, true},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.nombre);
        QTemporaryDir afuera;
        QTemporaryDir carpeta;
        const QString victima = afuera.filePath(QStringLiteral("importante.txt"));
        ASSERT_TRUE(platform::textfile::writeLines(victima, {QStringLiteral("no tocar")}).ok());
        const QString ruta =
            carpeta.filePath(c.control ? QStringLiteral("ControlMA.dat") : QStringLiteral("V_TA_UNIDAD.dat"));
        if (c.simbolico)
            ASSERT_TRUE(QFile::link(victima, ruta));
        else
            ASSERT_EQ(::link(QFile::encodeName(victima).constData(), QFile::encodeName(ruta).constData()), 0);
        if (c.control) {
            package::ControlFile control;
            control.writeHeader(QStringLiteral("1"), QStringLiteral("Ana"), ruta, QStringLiteral("BASE"), true);
            ASSERT_TRUE(control.save(ruta).ok());
        } else {
            package::LineWriter escritor;
            ASSERT_TRUE(escritor.open(ruta).ok());
            escritor.write(QStringLiteral("nuevo"));
            ASSERT_TRUE(escritor.commit().ok());
        }
        EXPECT_EQ(platform::textfile::readAll(victima).value(), QStringLiteral("no tocar\r\n"));
        EXPECT_FALSE(QFileInfo(ruta).isSymLink());
        EXPECT_TRUE(platform::textfile::readAll(ruta).value().startsWith(c.control ? QStringLiteral("Trasmision\r\n")
                                                                                   : QStringLiteral("nuevo\r\n")));
        EXPECT_EQ(QDir(carpeta.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no file left behind
    }
}

TEST(PackageFormat, ControlFileBlocksAndPricesLine)
{
    package::ControlFile control;
    control.writeHeader(QStringLiteral(" 7 "), QStringLiteral("Ana"), QStringLiteral("C:\\ENVIAR\\ControlMA.dat"),
                        QStringLiteral("CENTRAL"), false);
    control.writeBlock(QStringLiteral("MV_ASIENTOS"),
                       {QStringLiteral("CUENTA"), QStringLiteral("NUMERO ASIENTO"), QStringLiteral("DEBE-HABER")});
    control.writeBlock(QStringLiteral("V_MA_ARTICULOS"), {QStringLiteral("IdArticulo"), QStringLiteral("TRANSMISION")});
    EXPECT_EQ(control.lines().mid(0, 6),
              (QStringList{"Trasmision", "7", "Ana", "C:\\ENVIAR\\ControlMA.dat", "CENTRAL", "PRECIOS_NO"}));
    EXPECT_EQ(control.lines().at(7), QStringLiteral("CUENTA | [NUMERO ASIENTO] | [DEBE-HABER]"));
    EXPECT_EQ(control.fieldNames(QStringLiteral(" mv_asientos ")),
              (QStringList{"CUENTA", "NUMERO ASIENTO", "DEBE-HABER"}));
    EXPECT_TRUE(control.fieldNames(QStringLiteral("V_TA_UNIDAD")).isEmpty());
    EXPECT_FALSE(control.pricesFor(QStringLiteral("V_MA_ARTICULOS")));
    EXPECT_TRUE(control.pricesFor(QStringLiteral("V_MA_PRECIOS")));
    QStringList lineas = control.lines();
    lineas[5] = QStringLiteral(" precios_si ");
    EXPECT_TRUE(package::ControlFile::fromLines(lineas).pricesFor(QStringLiteral("V_MA_ARTICULOS")));
}

TEST(RowParsing, FieldCountsPositionsAndFields)
{
    using recepcion::ExtraeCadena3;
    using recepcion::ExtraePosicion;
    using recepcion::ExtraeTotPos;
    const struct {
        const char *texto;
        short campos;
    } cuentas[] = {{"", 1}, {"a", 1}, {"a\t", 1}, {"a\tb", 2}, {"a\tb\t", 2}, {"a\t\t", 2}, {"\t", 1}};
    for (const auto &c : cuentas)
        EXPECT_EQ(ExtraeTotPos(QString::fromUtf8(c.texto), TAB), c.campos) << c.texto;
    EXPECT_EQ(ExtraeCadena3(QStringLiteral("a\t b \tc\t"), 2, TAB), QStringLiteral(" b "));
    EXPECT_EQ(ExtraeCadena3(QStringLiteral("a\tb\t"), 3, TAB), QString());
    EXPECT_EQ(ExtraeCadena3(QStringLiteral("a\tb"), 3, TAB), QString());
    EXPECT_EQ(ExtraeCadena3(QStringLiteral("a\tb"), 0, TAB), QString());
    const QString lista = QStringLiteral("A | B | C").replace(QLatin1Char('|'), TAB);
    EXPECT_EQ(ExtraePosicion(lista, QStringLiteral("c"), TAB), 3);
    EXPECT_EQ(ExtraePosicion(lista, QStringLiteral("b"), TAB), 2);
    EXPECT_EQ(ExtraePosicion(lista, QStringLiteral("Z"), TAB), 3);
}

TEST(TableRules, KeysOfEachTable)
{
    using recepcion::reglaTabla;
    ASSERT_TRUE(reglaTabla(QStringLiteral("v_ta_familias")));
    EXPECT_EQ(reglaTabla(QStringLiteral("v_ta_familias"))->objetoBusqueda, QStringLiteral("@ADMIN_V_TA_FAMILIAS"));
    EXPECT_EQ(reglaTabla(QStringLiteral("V_TA_FAMILIAS"))->claves.first().ancho, 0);
    EXPECT_EQ(reglaTabla(QStringLiteral("V_TA_DEPOSITO"))->objetoBusqueda, QStringLiteral("@ADMIN_V_TA_DEPOSITO"));
    const auto *precios = reglaTabla(QStringLiteral("V_MA_PRECIOS"));
    ASSERT_TRUE(precios);
    EXPECT_EQ(precios->claves.size(), 2);
    EXPECT_EQ(precios->claves[1].ancho, 25);
    EXPECT_TRUE(precios->saltaClaveVacia);
    EXPECT_EQ(reglaTabla(QStringLiteral("TA_COMPROBANTES"))->claves[1].siNulo, QStringLiteral("1"));
    EXPECT_EQ(reglaTabla(QStringLiteral("MV_ASIENTOS"))->camino, recepcion::Camino::LoteAsientos);
    EXPECT_FALSE(reglaTabla(QStringLiteral("B_CODIGOS")));
    EXPECT_FALSE(reglaTabla(QStringLiteral("B_ALIAS")));
}

TEST(TableRules, WhichColumnsARowWrites)
{
    const struct {
        const char *tabla;
        const char *columna;
        const char *valor;
        bool precios;
        bool tomar;
        const char *escrito;
        bool recepcion;
    } casos[] = {
        {"V_TA_UNIDAD", "RECEPCION", "9", true, true, "", true},
        {"V_MA_ARTICULOS", "DESDETRIGGER", "0", true, true, "1", false},
        {"V_MA_ARTICULOS", "Precio3", "12.5", true, true, "12.5", false},
        {"V_MA_ARTICULOS", "Precio3", "12.5", false, false, "", false},
        {"V_MA_ARTICULOS", "Precio3", "NULL", true, false, "", false},
        {"V_MA_ARTICULOS", "CuentaProveedor", "null", true, true, "null", false},
        {"V_MA_ARTICULOS", "Descripcion", "NULL", true, false, "", false},
        {"V_MA_ARTICULOS", "PideEquivalencia", "S", true, true, "0", false},
        {"V_MA_ARTICULOS", "PideEquivalencia", "1", true, true, "1", false},
        {"MA_CUENTAS", "Descripcion", "Null", true, true, "", false},
        {"MA_CUENTAS", "Moneda", "NULL", true, true, "NULL", false},
        {"MA_CUENTAS", "Cuit", "NULL", true, false, "", false},
        {"MA_CUENTAS", "DESDETRIGGER", "0", true, true, "0", false},
    };
    for (const auto &c : casos) {
        const recepcion::DecisionColumna d = recepcion::reglaColumna(
            QString::fromUtf8(c.tabla), QString::fromUtf8(c.columna), QString::fromUtf8(c.valor), c.precios);
        SCOPED_TRACE(std::string(c.tabla) + "." + c.columna + "=" + c.valor);
        EXPECT_EQ(d.tomar, c.tomar);
        EXPECT_EQ(d.recepcion, c.recepcion);
        if (d.tomar && !d.recepcion) {
            EXPECT_EQ(d.valor, QString::fromUtf8(c.escrito));
        }
    }
}

} // namespace
