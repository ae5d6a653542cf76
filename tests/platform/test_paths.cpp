#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

TEST(Paths, FindsFileWithoutRegardToCase)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("ControlMA.dat")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(findFileNoCase(dir.path(), QStringLiteral("CONTROLMA.DAT")),
              dir.filePath(QStringLiteral("ControlMA.dat")));
    EXPECT_EQ(findFileNoCase(dir.path(), QStringLiteral("missing.dat")), dir.filePath(QStringLiteral("missing.dat")));
}

TEST(Paths, ProgramFolderOverrideAndWindowsRoot)
{
    setProgramFolder(QStringLiteral("/opt/imaestros/"));
    EXPECT_EQ(programFolder(), QStringLiteral("/opt/imaestros"));
    qunsetenv("IMAESTROS_ROOT");
    EXPECT_EQ(fromWindowsPath(QStringLiteral("C:\\RECIBIR\\Archivos.zip")),
              QStringLiteral("/opt/imaestros/RECIBIR/Archivos.zip"));
    EXPECT_EQ(fromWindowsPath(QStringLiteral("E-MAILS\\RECEPCION")), QStringLiteral("E-MAILS/RECEPCION"));
    setProgramFolder(QString());
}
