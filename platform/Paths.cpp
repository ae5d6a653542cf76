#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
} // namespace

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QString home = qEnvironmentVariable("IMAESTROS_HOME");
    if (!home.isEmpty())
        return withoutTrailingSeparator(home);
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return withoutTrailingSeparator(QDir::currentPath());
}

void setProgramFolder(const QString &folder)
{
    overrideFolder() = folder.isEmpty() ? QString() : withoutTrailingSeparator(folder);
}

QString executableName()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return QStringLiteral("imaestros");
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
