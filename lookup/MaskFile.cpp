#include "lookup/MaskFile.h"

#include "lookup/SqlClauses.h"

#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>

namespace lookup {

namespace {

constexpr qint64 kMaxRecords = 100000; // far beyond any mask file; a bigger file is not one

QString realPath(const QString &path)
{
    const QFileInfo info(path);
    return platform::findFileNoCase(info.absolutePath(), info.fileName());
}

// Skips a literal or quoted name starting at i; returns the index after it, or -1 when it
// is not closed.
qsizetype skipQuoted(const QString &text, qsizetype i, QChar close)
{
    for (qsizetype j = i + 1; j < text.size(); ++j) {
        if (text.at(j) == close) {
            if (close == QLatin1Char('\'') && j + 1 < text.size() && text.at(j + 1) == close) {
                ++j;
                continue;
            }
            return j + 1;
        }
    }
    return -1;
}

} // namespace

QString fragmentProblem(const QString &text)
{
    int depth = 0;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return QStringLiteral("contiene caracteres de control");
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const qsizetype end = skipQuoted(text, i, c == QLatin1Char('[') ? QLatin1Char(']') : c);
            if (end < 0)
                return QStringLiteral("tiene un texto o un nombre sin cerrar");
            for (qsizetype j = i; j < end; ++j) {
                if (text.at(j).unicode() < 0x20 && text.at(j) != QLatin1Char('\t'))
                    return QStringLiteral("contiene caracteres de control");
            }
            i = end;
            continue;
        }
        if (c == QLatin1Char(';'))
            return QStringLiteral("contiene un \";\" fuera de un texto");
        if (text.mid(i, 2) == QStringLiteral("--") || text.mid(i, 2) == QStringLiteral("/*"))
            return QStringLiteral("contiene un comentario");
        if (c == QLatin1Char('('))
            ++depth;
        if (c == QLatin1Char(')') && --depth < 0)
            return QStringLiteral("tiene un paréntesis de más");
        ++i;
    }
    return depth == 0 ? QString() : QStringLiteral("tiene un paréntesis sin cerrar");
}

MaskLookup findMask(const QString &path, const QString &view)
{
    MaskLookup found;
    found.file = realPath(path);
    QFile file(found.file);
    if (!QFileInfo(found.file).isFile() || !file.open(QIODevice::ReadOnly)) {
        found.outcome = MaskLookup::Outcome::NoFile;
        return found;
    }
    const QString wanted = view.trimmed();
    for (int record = 1; record <= kMaxRecords; ++record) {
        const QByteArray bytes = file.read(ModGlobal::MascaraConsulta::kLargo);
        if (bytes.size() < ModGlobal::MascaraConsulta::kLargo)
            break; // end of file (a trailing partial record is not a record)
        const ModGlobal::MascaraConsulta mask = ModGlobal::MascaraConsulta::fromRecord(bytes);
        if (mask.Vista.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        found.mask = mask;
        found.record = record;
        if (!sqlclauses::isPlainName(mask.Vista))
            found.problem = QStringLiteral("el nombre de la vista no es válido");
        if (found.problem.isEmpty())
            found.problem = fragmentProblem(mask.Columnas);
        if (found.problem.isEmpty())
            found.problem = fragmentProblem(mask.Condicion);
        found.outcome = found.problem.isEmpty() ? MaskLookup::Outcome::Found : MaskLookup::Outcome::Damaged;
        return found;
    }
    found.outcome = MaskLookup::Outcome::NotFound;
    return found;
}

} // namespace lookup
