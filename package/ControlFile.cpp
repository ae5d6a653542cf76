#include "ControlFile.h"

#include "Format.h"
#include "LineWriter.h"

#include "platform/TextFile.h"

namespace package {

platform::Result<ControlFile> ControlFile::read(const QString &path)
{
    platform::Result<QStringList> lines = platform::textfile::readLines(path, 16LL * 1024 * 1024);
    if (!lines.ok())
        return platform::Result<ControlFile>::failure(lines.message(), lines.code());
    return fromLines(lines.value());
}

ControlFile ControlFile::fromLines(QStringList lines)
{
    ControlFile file;
    file.m_lines = std::move(lines);
    return file;
}

qsizetype ControlFile::blockAt(const QString &table) const
{
    const QString name = table.trimmed();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> ControlFile::fieldListLine(const QString &table) const
{
    const qsizetype at = blockAt(table);
    if (at < 0 || at + 1 >= m_lines.size())
        return std::nullopt;
    return m_lines[at + 1];
}

QStringList ControlFile::fieldNames(const QString &table) const
{
    const std::optional<QString> line = fieldListLine(table);
    return line ? readFieldList(*line) : QStringList();
}

bool ControlFile::pricesFor(const QString &table) const
{
    if (table.trimmed().compare(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive) != 0)
        return true;
    qsizetype end = blockAt(table);
    if (end < 0)
        end = m_lines.size();
    for (qsizetype i = 0; i < end; ++i) {
        if (m_lines[i].trimmed().compare(pricesYes(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void ControlFile::writeHeader(const QString &transmission, const QString &responsible, const QString &ownPath,
                              const QString &database, bool prices)
{
    m_lines = {controlTitle(), transmission.trimmed(), responsible.trimmed(),
               ownPath,        database.trimmed(),     prices ? pricesYes() : pricesNo()};
}

void ControlFile::writeBlock(const QString &table, const QStringList &names)
{
    m_lines << table << writeFieldList(names) << QString();
}

platform::Status ControlFile::save(const QString &path) const
{
    LineWriter writer;
    if (platform::Status opened = writer.open(path); !opened.ok())
        return opened;
    for (const QString &line : m_lines)
        writer.write(line);
    return writer.commit();
}

} // namespace package
