// The callbacks that the extraction and compression libraries call during a call.
// None lets an error escape into the library: a failing step is skipped and the
// callback returns the result it holds.
#include "zip/ModZIP.h"

#include "platform/Logger.h"
#include "platform/TextFile.h"
#include "platform/ui/Operator.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace ModZIP {

namespace {

constexpr qsizetype UnzipTextLimit = 32801; // bytes 0 to 32,800
constexpr qsizetype ZipTextLimit = 4097;    // bytes 0 to 4,096
constexpr qsizetype NameLimit = 256;
constexpr int UnzipPasswordLimit = 256;
constexpr int ZipPasswordLimit = 4096;
constexpr int ListingWidth = 80;

// The bytes up to the first NUL, at most `limit`, one character per byte.
QString bytesToText(const char *bytes, qsizetype limit)
{
    if (!bytes || limit <= 0)
        return QString();
    const qsizetype length = qsizetype(qstrnlen(bytes, size_t(limit)));
    return platform::textfile::decode1252(QByteArray(bytes, length));
}

// Writes as much of `text` as fits into `length` columns from `column` (counted from 1).
void putColumns(QString &line, int column, int length, const QString &text)
{
    const qsizetype count = std::min<qsizetype>(length, text.size());
    line.replace(column - 1, count, text.left(count));
}

// A number as its decimal text with a sign place: " 9", "-9".
QString signedText(qint64 value) { return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value); }

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString listingHeader()
{
    QString header(ListingWidth, QLatin1Char(' '));
    putColumns(header, 1, 50, QStringLiteral("Filename:"));
    putColumns(header, 53, 4, QStringLiteral("Size"));
    putColumns(header, 62, 4, QStringLiteral("Date"));
    putColumns(header, 71, 4, QStringLiteral("Time"));
    return header;
}

QString listingLine(const ziplayer::ListedEntry &entry)
{
    QString line(ListingWidth, QLatin1Char(' '));
    putColumns(line, 1, 50, bytesToText(entry.fileName, NameLimit));
    putColumns(line, 51, 7, (QString(8, QLatin1Char(' ')) + signedText(entry.size)).right(7));
    putColumns(line, 60, 3, twoDigits(entry.month) + QLatin1Char('/'));
    putColumns(line, 63, 3, twoDigits(entry.day) + QLatin1Char('/'));
    putColumns(line, 66, 2, twoDigits(entry.year).right(2));
    putColumns(line, 70, 3, signedText(entry.hour).right(2) + QLatin1Char(':'));
    putColumns(line, 73, 2, twoDigits(entry.minute));
    return line;
}

// Clears the buffer and copies the answer into it, NUL-terminated, within both limits.
void copyPassword(char *buffer, int size, const QString &answer, int limit)
{
    std::memset(buffer, 0, size_t(size));
    const QByteArray bytes = platform::textfile::encode1252(answer);
    const int count = std::min({int(bytes.size()), size - 1, limit});
    std::memcpy(buffer, bytes.constData(), size_t(count));
    buffer[count] = '\0';
}

} // namespace

int RecibeTextoUnzip(const char *text, unsigned long size)
{
    try {
        // Never read past the size the library gave.
        state().messageText += bytesToText(text, std::min<qsizetype>(qsizetype(size), UnzipTextLimit));
    } catch (...) {
    }
    return 0;
}

void RecibeListadoUnzip(const ziplayer::ListedEntry &entry)
{
    try {
        ModuleState &st = state();
        if (st.listingCounter == 0)
            st.listingText = listingHeader() + QStringLiteral("\r\n");
        st.listingText += listingLine(entry) + QStringLiteral("\r\n");
        ++st.listingCounter;
    } catch (...) {
    }
}

int ConfirmaReemplazo(const char *fileName)
{
    int result = ziplayer::IDM_REPLACE_NO;
    try {
        const QString name = bytesToText(fileName, NameLimit);
        const int answer = platform::msgBox(QStringLiteral("Overwrite ") + name + QLatin1Char('?'),
                                            platform::vbYesNoCancel | platform::vbExclamation,
                                            QStringLiteral("VBUnZip32 - File Already Exists!"));
        if (answer == platform::vbYes)
            result = ziplayer::IDM_REPLACE_YES;
        else if (answer == platform::vbCancel)
            result = ziplayer::IDM_REPLACE_NONE;
    } catch (...) {
    }
    return result;
}

int PideClaveUnzip(char *buffer, int size, const char *prompt, const char *entryName)
{
    Q_UNUSED(prompt)
    Q_UNUSED(entryName)
    int result = ziplayer::PasswordNone;
    try {
        ModuleState &st = state();
        // Once left blank, no later request of the run asks again.
        if (st.passwordRefused == 1)
            return result;
        const QString answer = platform::inputBox(QStringLiteral("Please Enter The Password!"));
        if (answer.isEmpty()) {
            st.passwordRefused = 1;
            return result;
        }
        if (!buffer || size <= 0)
            return result;
        copyPassword(buffer, size, answer, UnzipPasswordLimit);
        result = ziplayer::PasswordGiven;
    } catch (...) {
    }
    return result;
}

int RecibeTextoZip(const char *text, unsigned long size)
{
    try {
        const QString message = bytesToText(text, std::min<qsizetype>(qsizetype(size), ZipTextLimit)).trimmed();
        if (!message.isEmpty())
            platform::logger().info(message);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    } catch (...) {
    }
    return 0;
}

int PideClaveZip(char *buffer, int size, const char *prompt, const char *entryName)
{
    Q_UNUSED(prompt)
    Q_UNUSED(entryName)
    int result = ziplayer::PasswordNone;
    try {
        const QString answer = platform::inputBox(QStringLiteral("Por Favor ingrese el PassWord!!!"));
        if (answer.isEmpty() || !buffer || size <= 0)
            return result;
        copyPassword(buffer, size, answer, ZipPasswordLimit);
        result = ziplayer::PasswordGiven;
    } catch (...) {
    }
    return result;
}

char *PideComentarioZip(char *buffer)
{
    if (buffer)
        buffer[0] = '\0';
    return buffer;
}

} // namespace ModZIP
