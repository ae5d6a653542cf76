#include "Ini.h"

#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QFileInfo>

#include <memory>

namespace platform::suite {

namespace {

constexpr qint64 kMaxIniBytes = 4 * 1024 * 1024;

QString resolveFile(const QString &archivo)
{
    if (QFileInfo(archivo).isAbsolute())
        return archivo;
    return findFileNoCase(programFolder(), archivo);
}

bool isSectionLine(const QString &line) { return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')); }

// Removes one pair of surrounding double quotes, as the Windows reader does.
QString unquote(const QString &value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

QString Ini::LeerIni(const QString &archivo, const QString &seccion, const QString &clave,
                     const QString &porOmision) const
{
    const QString path = resolveFile(archivo);
    if (!QFileInfo::exists(path)) {
        logger().info(QStringLiteral("%1 no existe: %2 toma su valor por omisión \"%3\"").arg(path, clave, porOmision));
        return porOmision;
    }
    auto lines = textfile::readLines(path, kMaxIniBytes);
    if (!lines.ok()) {
        logger().warning(QStringLiteral("%1 no se pudo leer (%2): %3 toma su valor por omisión \"%4\"")
                             .arg(path, lines.message(), clave, porOmision));
        return porOmision;
    }
    bool inSection = false;
    for (const QString &raw : lines.value()) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (isSectionLine(line)) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(seccion.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inSection || eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(clave.trimmed(), Qt::CaseInsensitive) == 0)
            return unquote(line.mid(eq + 1).trimmed());
    }
    return porOmision;
}

namespace {
std::unique_ptr<Ini> &instance()
{
    static std::unique_ptr<Ini> object;
    return object;
}
} // namespace

Ini &gIni()
{
    if (!instance())
        instance() = std::make_unique<Ini>();
    return *instance();
}

void releaseIni() { instance().reset(); }

} // namespace platform::suite
