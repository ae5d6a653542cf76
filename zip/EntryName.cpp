#include "zip/EntryName.h"

#include "platform/TextFile.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace ziplayer::entryname {

namespace {

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return false;
    }
    return true;
}

bool startsWithDrive(const QString &path)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    return drive.match(path).hasMatch();
}

} // namespace

QString decode(const QByteArray &raw)
{
    if (isAscii(raw))
        return QString::fromLatin1(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return text;
    return platform::textfile::decode1252(raw);
}

QByteArray encode(const QString &name, bool &utf8)
{
    utf8 = false;
    const QByteArray ansi = platform::textfile::encode1252(name);
    // '?' marks a character outside Windows-1252: keep the name whole in UTF-8 then.
    if (platform::textfile::decode1252(ansi) == name)
        return ansi;
    utf8 = true;
    return name.toUtf8();
}

std::optional<QString> safeRelativePath(const QString &name)
{
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1Char('/')) || startsWithDrive(path))
        return std::nullopt;
    QStringList kept;
    for (const QString &part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return std::nullopt;
        if (part != QLatin1String("."))
            kept.append(part);
    }
    return kept.join(QLatin1Char('/'));
}

bool isFolderName(const QString &name) { return name.endsWith(QLatin1Char('/')) || name.endsWith(QLatin1Char('\\')); }

QString placeKey(const QString &relativePath)
{
    QString key = relativePath.toCaseFolded();
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return key;
}

} // namespace ziplayer::entryname
