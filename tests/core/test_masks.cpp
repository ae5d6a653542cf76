#include "core/MascaraConsulta.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QtPrint.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ModGlobal::MascaraConsulta;

QByteArray field(const char *text, int width)
{
    QByteArray bytes(text);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

QByteArray expectedRecord(const char *title, const char *view, const char *columns)
{
    return field(title, 100) + field(view, 100) + field(columns, 500) + QByteArray(500, ' ') + "\r\n";
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(QueryMasks, NewFileHoldsElevenRecordsByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.vkr"));
    ModGlobal::GenerarMascaraConsultas(path);
    const QByteArray bytes = readAll(path);
    const QByteArray expected = expectedRecord("ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|")
        + expectedRecord("CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|")
        + expectedRecord("PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|")
        + expectedRecord("CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|")
        + expectedRecord("VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|")
        + expectedRecord("TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|")
        + expectedRecord("MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|")
        + expectedRecord("CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|")
        + expectedRecord("TAREAS", "V_TA_Tareas", "|Descripcion|IdTarea|")
        + expectedRecord("UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|")
        + expectedRecord("DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|");
    EXPECT_EQ(bytes, expected);
    // Also eleven lines of 1200 characters.
    EXPECT_EQ(bytes.count("\r\n"), 11);
}

TEST(QueryMasks, SecondCallAppendsAfterTheLastWholeRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.vkr"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(expectedRecord("X", "V_X", "|A|B|"));
        file.write("partial record"); // a torn tail is overwritten, not kept in the middle
    }
    ModGlobal::GenerarMascaraConsultas(path);
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 12 * 1202);
    EXPECT_EQ(bytes.left(1202), expectedRecord("X", "V_X", "|A|B|"));
    EXPECT_EQ(bytes.mid(1202, 1202), expectedRecord("ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"));
}

TEST(QueryMasks, ReadsRecordsBackAndIgnoresDamage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.vkr"));
    ModGlobal::GenerarMascaraConsultas(path);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        QByteArray withNul = expectedRecord("NUL", "V_Y", "|C|");
        withNul[100 + 3] = '\0';
        withNul[100 + 4] = char(0xFF);
        file.write(withNul);
        file.write("torn");
    }
    const QList<MascaraConsulta> masks = ModGlobal::LeerMascaras(path);
    ASSERT_EQ(masks.size(), 12);
    EXPECT_EQ(masks.at(0).Titulo, QStringLiteral("ARTICULOS"));
    EXPECT_EQ(masks.at(0).Vista, QStringLiteral("V_MA_ARTICULOS"));
    EXPECT_EQ(masks.at(0).Columnas, QStringLiteral("|DESCRIPCION|IDARTICULO|"));
    EXPECT_EQ(masks.at(11).Vista, QStringLiteral("V_Y"));
    EXPECT_TRUE(ModGlobal::LeerMascaras(dir.filePath(QStringLiteral("missing.vkr"))).isEmpty());
}

TEST(QueryMasks, LongTextsAreCutToTheirField)
{
    MascaraConsulta mask{QString(150, QLatin1Char('T')), QStringLiteral("V"), QString(600, QLatin1Char('C')),
                         QString()};
    const QByteArray record = mask.toRecord();
    ASSERT_EQ(record.size(), 1202);
    EXPECT_EQ(record.left(100), QByteArray(100, 'T'));
    EXPECT_EQ(record.mid(200, 500), QByteArray(500, 'C'));
}

// Runs GenerarMascaraConsultas in a child process whose files may not grow beyond
// `maxBytes`, as on a full disk. Returns 0 when it came back, 3 when it raised.
int generateOnAFullDisk(const QString &path, rlim_t maxBytes)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead of killing
        const rlimit limit{maxBytes, maxBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int status = 0;
        try {
            ModGlobal::GenerarMascaraConsultas(path);
        } catch (const platform::RuntimeError &) {
            status = 3;
        }
        ::_exit(status);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(QueryMasks, AFullDiskLeavesNoPartOfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("consultas.vkr"));
    EXPECT_EQ(generateOnAFullDisk(path, 4096), 3) << "the failure reaches start-up";
    EXPECT_FALSE(QFile::exists(path)) << "a part of the file would pass for the file";

    // An existing file stays as it was.
    const QByteArray own = expectedRecord("PROPIA", "V_PROPIA", "|A|B|");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(own);
    }
    EXPECT_EQ(generateOnAFullDisk(path, 4096), 3);
    EXPECT_EQ(readAll(path), own);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("consultas.vkr")});
}

TEST(QueryMasks, StartUpWritesAnEmptyOrDamagedFileAgain)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("nuevo.vkr"));
    ModGlobal::GenerarMascaraConsultas(fresh);
    const QByteArray defaults = readAll(fresh);
    const QByteArray own = expectedRecord("PROPIA", "V_PROPIA", "|A|B|");
    const struct {
        const char *name;
        bool exists;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"missing", false, {}, defaults},
        {"empty (the full disk's leftover)", true, {}, defaults},
        {"cut inside the fourth record", true, defaults.left(4096), defaults},
        {"own record and a torn tail", true, own + "torn", own + defaults},
        {"own record without its line end", true, own.left(1200) + "  ", defaults},
        {"sound: kept as it is", true, own, own},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name).left(5) + QStringLiteral(".vkr"));
        if (c.exists) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.before);
        }
        // What start-up does with the file.
        if (!ModGlobal::MascarasEnBuenEstado(path))
            ModGlobal::RehacerMascaraConsultas(path);
        EXPECT_EQ(readAll(path), c.after) << c.name;
        EXPECT_TRUE(ModGlobal::MascarasEnBuenEstado(path)) << c.name;
    }
}

TEST(QueryMasks, UnwritableFileRaises)
{
    QTemporaryDir dir;
    EXPECT_THROW(ModGlobal::GenerarMascaraConsultas(dir.filePath(QStringLiteral("no/such/folder/consultas.vkr"))),
                 platform::RuntimeError);
}

} // namespace
