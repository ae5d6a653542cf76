#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The data folder of an installed program, relative to its executable's folder (the
// build sets it from the install layout).
#ifndef IMAESTROS_DATA_FROM_BIN
#define IMAESTROS_DATA_FROM_BIN "../share/imaestros"
#endif

namespace platform {

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}

QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}
// The running executable, also before the application object exists.
QString runningExecutable()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

QString executablePath() { return runningExecutable(); }

QString installedDataFolder()
{
    const QString exe = runningExecutable();
    if (exe.isEmpty())
        return QString();
    const QString data = QDir::cleanPath(QFileInfo(exe).absolutePath() + QStringLiteral("/" IMAESTROS_DATA_FROM_BIN));
    return QFileInfo(data + QStringLiteral("/schema")).isDir() ? data : QString();
}

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QString home = qEnvironmentVariable("IMAESTROS_HOME");
    if (!home.isEmpty())
        return withoutTrailingSeparator(home);
    // An installed program's folder belongs to the system: each user keeps the
    // program's files in a data folder of their own.
    if (!installedDataFolder().isEmpty())
        return withoutTrailingSeparator(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            + QStringLiteral("/imaestros");
    const QString exe = runningExecutable();
    return exe.isEmpty() ? withoutTrailingSeparator(QDir::currentPath()) : QFileInfo(exe).absolutePath();
}

void setProgramFolder(const QString &folder)
{
    overrideFolder() = folder.isEmpty() ? QString() : withoutTrailingSeparator(folder);
}

QString executableName()
{
    const QString exe = runningExecutable();
    return exe.isEmpty() ? QStringLiteral("imaestros") : QFileInfo(exe).fileName();
}

QString tempFolder()
{
    QString folder = QDir::tempPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString windowsRoot()
{
    const QString root = qEnvironmentVariable("IMAESTROS_ROOT");
    return root.isEmpty() ? programFolder() : withoutTrailingSeparator(root);
}

QString fromWindowsPath(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A drive letter ("C:/...") maps below the root.
    if (p.size() >= 2 && p[1] == QLatin1Char(':') && p[0].isLetter())
        return joinPath(windowsRoot(), p.mid(2));
    return p;
}

QString joinPath(const QString &folder, const QString &name)
{
    QString left = folder;
    QString right = name;
    while (left.endsWith(QLatin1Char('/')) || left.endsWith(QLatin1Char('\\')))
        left.chop(1);
    while (right.startsWith(QLatin1Char('/')) || right.startsWith(QLatin1Char('\\')))
        right.remove(0, 1);
    if (left.isEmpty())
        return QLatin1Char('/') + right;
    return left + QLatin1Char('/') + right;
}

QString findFileNoCase(const QString &folder, const QString &name)
{
    const QString exact = joinPath(folder, name);
    if (QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return joinPath(folder, entry);
    }
    return exact;
}

} // namespace platform
