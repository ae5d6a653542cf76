#include "lookup/ColumnWidths.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/Variant.h"
#include "platform/suite/Funciones.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

#include <unistd.h>

namespace lookup::columnwidths {

namespace {

constexpr qint64 kMaxBytes = 16LL * 1024 * 1024;

// The two fields of a line: each one quoted, or bare up to the next comma.
QStringList fieldsOf(const QString &line)
{
    QStringList fields;
    qsizetype i = 0;
    while (i <= line.size() && fields.size() < 2) {
        while (i < line.size() && line.at(i) == QLatin1Char(' '))
            ++i;
        QString field;
        if (i < line.size() && line.at(i) == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? line.size() : close;
            field = line.mid(i + 1, end - i - 1);
            i = line.indexOf(QLatin1Char(','), end);
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            field = line.mid(i, (comma < 0 ? line.size() : comma) - i).trimmed();
            i = comma;
        }
        fields << field;
        if (i < 0)
            break;
        ++i;
    }
    return fields;
}

QString tableOf(const QByteArray &line) { return fieldsOf(platform::textfile::decode1252(line)).value(0); }

QList<QByteArray> linesOf(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// Applies one line's widths; false when a width did not read (reading then stops).
bool applyLine(const QString &widths, int columns, std::vector<double> &out)
{
    QString rest = widths;
    for (int i = 0; i < columns; ++i) {
        const qsizetype bar = rest.indexOf(QLatin1Char('|'));
        if (bar < 0)
            return false;
        try {
            const double width = platform::suite::gFunciones().TextoAMoneda(rest.left(bar));
            if (std::size_t(i) < out.size())
                out[std::size_t(i)] = width;
            else
                out.push_back(width);
        } catch (const platform::RuntimeError &) {
            return false;
        }
        rest = rest.mid(bar + 1);
    }
    return true;
}

} // namespace

namespace {

// The file of that name in any case; the name as given when there is none. Every lookup
// asks, so the folder is walked without sorting or reading each entry's details.
QString fileNoCase(const QString &folder, const QString &name)
{
    const QString exact = platform::joinPath(folder, name);
    if (QFileInfo::exists(exact))
        return exact;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        if (entries.fileName().compare(name, Qt::CaseInsensitive) == 0)
            return entries.filePath();
    }
    return exact;
}

} // namespace

QString widthFile(const QString &folder) { return fileNoCase(folder, QStringLiteral("CONSULTASLEN.VKR")); }

QString auxFile(const QString &folder) { return fileNoCase(folder, QStringLiteral("CONSULTASLEN.AUX")); }

QString widthText(double twips)
{
    if (twips == std::floor(twips) && std::fabs(twips) < 1e15)
        return QString::number(qint64(twips));
    return QString::number(twips, 'f', 4)
        .remove(QRegularExpression(QStringLiteral("0+$")))
        .replace(QLatin1Char('.'), platform::regional().decimalSeparator);
}

Saved read(const QString &file, const QString &table, int columns)
{
    Saved saved;
    const platform::Result<QStringList> lines = platform::textfile::readLines(file, kMaxBytes);
    if (!lines.ok())
        return saved;
    for (const QString &line : lines.value()) {
        const QStringList fields = fieldsOf(line);
        if (fields.value(0).compare(table, Qt::CaseInsensitive) != 0)
            continue;
        saved.found = true;
        if (!applyLine(fields.value(1), columns, saved.widths))
            break;
    }
    return saved;
}

platform::Status write(const QString &file, const QString &aux, const QString &table, const std::vector<double> &widths)
{
    QByteArray content;
    QFile old(file);
    if (old.exists()) {
        if (old.size() > kMaxBytes || !old.open(QIODevice::ReadOnly))
            return platform::Status::failure(QStringLiteral("No se puede leer %1: %2").arg(file, old.errorString()));
        for (const QByteArray &line : linesOf(old.readAll())) {
            if (tableOf(line).compare(table, Qt::CaseInsensitive) != 0)
                content += line + "\r\n";
        }
    }
    QString own;
    for (const double width : widths)
        own += widthText(width) + QLatin1Char('|');
    content += platform::textfile::encode1252(QStringLiteral("\"%1\",\"%2\"").arg(table, own)) + "\r\n";

    QFile out(aux);
    // On disk before the rename, so that a crash leaves the old file or the whole new one.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(content) != content.size() || !out.flush()
        || ::fsync(out.handle()) != 0) {
        const QString reason = out.errorString();
        out.close();
        QFile::remove(aux);
        return platform::Status::failure(QStringLiteral("No se puede escribir %1: %2").arg(aux, reason));
    }
    out.close();
    if (std::rename(QFile::encodeName(aux).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(aux);
        return platform::Status::failure(QStringLiteral("No se puede reemplazar %1 por %2").arg(file, aux));
    }
    return {};
}

} // namespace lookup::columnwidths
