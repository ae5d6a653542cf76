#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

namespace platform::textfile {

namespace {

// Windows-1252 0x80..0x9F; 0 marks the five undefined bytes (kept as C1 controls).
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString decode1252(const QByteArray &bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *dst = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            *dst++ = QChar(kHigh[b - 0x80]);
        else
            *dst++ = QChar(b);
    }
    return out;
}

namespace {

bool fits1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] == 0))
        return true;
    for (const char16_t high : kHigh) {
        if (high == u)
            return true;
    }
    return false;
}

} // namespace

QString firstOutside1252(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (fits1252(text.at(i).unicode()))
            continue;
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        return text.mid(i, pair ? 2 : 1);
    }
    return QString();
}

QByteArray encode1252(const QString &text)
{
    QByteArray out;
    out.resize(text.size());
    char *dst = out.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] == 0)) {
            *dst++ = char(u);
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == u) {
                mapped = char(0x80 + i);
                break;
            }
        }
        *dst++ = mapped;
    }
    return out;
}

Result<QString> readAll(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.exists())
        return Result<QString>::failure(QStringLiteral("No existe el archivo: %1").arg(path), 53);
    if (file.size() > maxBytes)
        return Result<QString>::failure(
            QStringLiteral("El archivo %1 supera el tamaño admitido (%2 bytes)").arg(path).arg(maxBytes), 7);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QString>::failure(
            QStringLiteral("No se puede leer el archivo %1: %2").arg(path, file.errorString()), 75);
    return decode1252(file.readAll());
}

Result<QStringList> readLines(const QString &path, qint64 maxBytes)
{
    auto text = readAll(path, maxBytes);
    if (!text)
        return Result<QStringList>::failure(text.message(), text.code());
    QStringList lines = text.value().split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // A final line end does not start another record.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

static QByteArray joinCrLf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += encode1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

Status writeWhole(const QString &path, const QByteArray &bytes)
{
    const auto failed = [&path](const QString &reason) {
        return Status::failure(QStringLiteral("No se puede escribir el archivo %1: %2").arg(path, reason), 75);
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    // QSaveFile::commit() does not see a failure of its last flush (a full disk): flush
    // first, so that such a file is dropped instead of renamed into place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        (void)file.commit();
        return failed(reason);
    }
    if (!file.commit())
        return failed(file.errorString());
    return {};
}

Status writeLines(const QString &path, const QStringList &lines) { return writeWhole(path, joinCrLf(lines)); }

Status appendLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return Status::failure(QStringLiteral("No se puede escribir el archivo %1: %2").arg(path, file.errorString()),
                               75);
    const QByteArray bytes = joinCrLf(lines);
    // QFile buffers: a full disk shows only when the bytes reach the file.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return Status::failure(QStringLiteral("No se puede escribir el archivo %1: %2").arg(path, file.errorString()),
                               75);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("No se puede escribir el archivo %1: %2").arg(path, file.errorString()),
                               75);
    return {};
}

} // namespace platform::textfile
