// A DESTDIR install into a temporary folder: the files land under the standard prefixes,
// and the installed programs run from there on their own (no source tree, no build tree).

#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Install, ProgramsSchemaLauncherAndIconUnderThePrefixAndTheProgramRuns)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const apptest::Outcome installed = apptest::run(QStringLiteral(IMAESTROS_CMAKE),
                                                    {QStringLiteral("--install"), QStringLiteral(IMAESTROS_BUILD_DIR),
                                                     QStringLiteral("--prefix"), QStringLiteral("/opt/imaestros")},
                                                    {{QStringLiteral("DESTDIR"), root.path()}});
    ASSERT_EQ(installed.status, 0) << installed.err.toStdString() << installed.out.toStdString();

    const QString prefix = root.filePath(QStringLiteral("opt/imaestros"));
    for (const char *file :
         {"bin/imaestros", "bin/imaestros-dbinit", "share/imaestros/schema/sqlserver/imaestros.sql",
          "share/imaestros/schema/sqlserver/vk_estadisticas.sql", "share/imaestros/schema/postgresql/00-setup.sql",
          "share/applications/imaestros.desktop", "share/icons/hicolor/scalable/apps/imaestros.svg"})
        EXPECT_TRUE(QFile::exists(prefix + QLatin1Char('/') + QString::fromLatin1(file))) << file;
    QFile desktop(prefix + QStringLiteral("/share/applications/imaestros.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=imaestros\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=imaestros\n")));

    // Run from elsewhere, as a user would: the schema comes with the installed programs,
    // and the program keeps its files in the user's data folder.
    const QString home = root.filePath(QStringLiteral("home"));
    const QString db = root.filePath(QStringLiteral("datos/suite.db"));
    ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("datos"))));
    const QMap<QString, QString> user{{QStringLiteral("HOME"), home},
                                      {QStringLiteral("XDG_DATA_HOME"), QString()},
                                      {QStringLiteral("IMAESTROS_HOME"), QString()},
                                      {QStringLiteral("IMAESTROS_SCHEMA"), QString()}};
    const apptest::Outcome created =
        apptest::run(prefix + QStringLiteral("/bin/imaestros-dbinit"), {db}, user, root.path());
    ASSERT_EQ(created.status, 0) << created.err.toStdString();
    // The package its unattended reception takes (C:\RECIBIR\ lives in the program folder).
    const QString inbox = home + QStringLiteral("/.local/share/imaestros/RECIBIR");
    ASSERT_TRUE(QDir().mkpath(inbox));
    ASSERT_EQ(apptest::run(QStringLiteral(IMAESTROS_SAMPLE), {inbox + QStringLiteral("/Archivos.zip")}).status, 0);
    const apptest::Outcome ran = apptest::run(
        prefix + QStringLiteral("/bin/imaestros"),
        {QStringLiteral("@Server=!;@DbName=%1;@Usuario=operador;@ParametroAdicional=AUTO").arg(db)}, user, root.path());
    EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
    EXPECT_TRUE(QFile::exists(home + QStringLiteral("/.local/share/imaestros/imaestros.log")));
    EXPECT_TRUE(QFile::exists(home + QStringLiteral("/.local/share/imaestros/consultas.vkr")));
}

} // namespace
