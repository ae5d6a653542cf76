#include "Format.h"

#include "platform/TextFile.h"
#include "platform/suite/Funciones.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <charconv>
#include <initializer_list>

namespace package {

QString controlFileName() { return QStringLiteral("CONTROLMA.DAT"); }
QString controlFileWrittenName() { return QStringLiteral("ControlMA.dat"); }
QString originFileName() { return QStringLiteral("CONTROL.DAT"); }
QString archiveName() { return QStringLiteral("Archivos.zip"); }
QString errorFileName() { return QStringLiteral("Errores.TXT"); }
QString dataFileName(const QString &table) { return table + QStringLiteral(".DAT"); }

const QStringList &tableOrder()
{
    static const QStringList tables = {
        QStringLiteral("V_TA_UNIDAD"),        QStringLiteral("V_TA_RUBROS"),
        QStringLiteral("V_TA_TIPOARTICULO"),  QStringLiteral("V_TA_POLITICAPRECIOS"),
        QStringLiteral("V_TA_PERCEPCION"),    QStringLiteral("V_TA_FAMILIAS"),
        QStringLiteral("V_TA_TARIFAFLETE"),   QStringLiteral("TA_ESTADOS"),
        QStringLiteral("TA_PAISES"),          QStringLiteral("TA_TIPODOCUMENTO"),
        QStringLiteral("TA_CONDIVA"),         QStringLiteral("V_TA_CPRA_VTA"),
        QStringLiteral("V_TA_CATEGORIA"),     QStringLiteral("V_TA_VENDEDORES"),
        QStringLiteral("V_TA_MOTIVOCPRA"),    QStringLiteral("V_TA_MOTIVOVTA"),
        QStringLiteral("V_TA_DEPOSITO"),      QStringLiteral("V_TA_TECNICOS"),
        QStringLiteral("MA_CUENTAS"),         QStringLiteral("MA_CUENTASADIC"),
        QStringLiteral("V_TA_TAREAS"),        QStringLiteral("V_MA_INSUMOS"),
        QStringLiteral("V_MA_INSUMOSTAREAS"), QStringLiteral("V_MA_ARTICULOS"),
        QStringLiteral("S_TA_EQUIV"),         QStringLiteral("V_MA_PRECIOSCAB"),
        QStringLiteral("V_MA_PRECIOS"),
    };
    return tables;
}

const QStringList &extraTables()
{
    static const QStringList tables = {QStringLiteral("B_CODIGOS"), QStringLiteral("B_ALIAS")};
    return tables;
}

QString controlTitle() { return QStringLiteral("Trasmision"); }
QString pricesYes() { return QStringLiteral("PRECIOS_SI"); }
QString pricesNo() { return QStringLiteral("PRECIOS_NO"); }

QString writeFieldList(const QStringList &names)
{
    QStringList written;
    for (const QString &name : names) {
        const bool bracketed = name.compare(QLatin1String("DEBE-HABER"), Qt::CaseInsensitive) == 0
            || name.compare(QLatin1String("NUMERO ASIENTO"), Qt::CaseInsensitive) == 0;
        written << (bracketed ? QLatin1Char('[') + name + QLatin1Char(']') : name);
    }
    return written.join(QStringLiteral(" | "));
}

QStringList readFieldList(const QString &line)
{
    QStringList names;
    if (line.trimmed().isEmpty())
        return names;
    for (QString name : line.split(QLatin1Char('|'))) {
        name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        names << name.trimmed();
    }
    return names;
}

QString writeLine(const QStringList &values)
{
    QString line;
    for (const QString &value : values)
        line += value + QChar(kSeparator);
    return line;
}

QStringList readLine(const QString &line)
{
    if (line.isEmpty())
        return {};
    // As split() cuts it, without its growing list: most lines hold a few dozen values.
    QStringList values;
    values.reserve(32);
    const QChar *data = line.constData();
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (data[i] == QChar(kSeparator)) {
            values.append(QString(data + start, i - start));
            start = i + 1;
        }
    }
    if (start == 0)
        values.append(line);
    else
        values.append(QString(data + start, line.size() - start));
    if (values.size() > 1 && values.last().isEmpty())
        values.removeLast();
    return values;
}

qsizetype controlCharacterAt(const QString &line)
{
    const QChar *data = line.constData();
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t u = data[i].unicode();
        if ((u < 0x20 && u != kSeparator) || u == 0x7F)
            return i;
    }
    return -1;
}

QString controlCharacterName(QChar c)
{
    switch (c.unicode()) {
    case 0:
        return QStringLiteral("NUL");
    case '\r':
        return QStringLiteral("CR");
    case '\n':
        return QStringLiteral("LF");
    case 0x7F:
        return QStringLiteral("DEL");
    default:
        return QStringLiteral("de código %1").arg(int(c.unicode()));
    }
}

QString nullText() { return QStringLiteral("NULL"); }

bool isNull(const QString &value)
{
    const QStringView t = QStringView(value).trimmed();
    return t.size() == 4 && t.compare(u"NULL", Qt::CaseInsensitive) == 0;
}

QString writeNumber(double value)
{
    // The shortest text that reads back as the same number: a rate of six decimals keeps
    // all of them, and no exponent is ever written.
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString writeDate(const QDateTime &value)
{
    const bool timeOfDay = value.time().isValid() && value.time() != QTime(0, 0);
    return value.toString(timeOfDay ? QStringLiteral("dd/MM/yyyy HH:mm:ss") : QStringLiteral("dd/MM/yyyy"));
}

QString writeValue(const platform::Variant &value, bool booleanColumn)
{
    using Kind = platform::Variant::Kind;
    if (value.isNull() || value.isEmpty())
        return value.isNull() ? nullText() : QString();
    if (booleanColumn || value.kind() == Kind::Bool) {
        static const QStringList falseWords = {QStringLiteral("FALSE"), QStringLiteral("FALSO"), QStringLiteral("0"),
                                               QStringLiteral("NO"), QStringLiteral("N")};
        const bool no = value.kind() == Kind::Bool
            ? !value.toBool()
            : falseWords.contains(value.toString().trimmed(), Qt::CaseInsensitive);
        return no ? QStringLiteral("0") : QStringLiteral("1");
    }
    switch (value.kind()) {
    case Kind::Int:
        return QString::number(value.toInt64());
    case Kind::Double:
        return writeNumber(value.toDouble());
    case Kind::DateTime:
        return writeDate(value.toDateTime());
    default:
        return platform::suite::gFunciones().LimpiarTexto(value.toString());
    }
}

namespace {

// The common form - ASCII digits with an optional leading sign and at most one decimal mark -
// read without building a QString; nullopt leaves anything else to the full reading.
std::optional<double> readPlainNumber(QStringView t)
{
    char buffer[48];
    if (t.size() >= qsizetype(sizeof buffer))
        return std::nullopt;
    qsizetype n = 0;
    int marks = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c >= u'0' && c <= u'9')
            buffer[n++] = char(c);
        else if (c == u',' || c == u'.')
            buffer[n++] = '.', ++marks;
        else if (i == 0 && c == u'-')
            buffer[n++] = '-';
        else if (i != 0 || c != u'+')
            return std::nullopt;
    }
    if (marks > 1 || n == 0)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value, std::chars_format::fixed);
    if (error != std::errc() || end != buffer + n)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> readNumber(const QString &text)
{
    if (const std::optional<double> plain = readPlainNumber(QStringView(text).trimmed()))
        return plain;
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const bool both = t.contains(QLatin1Char(',')) && t.contains(QLatin1Char('.'));
    if (both)
        t.remove(QLatin1Char('.'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    int marks = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.'))
            ++marks;
        else if (!c.isDigit() && !(i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'))))
            return std::nullopt;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || marks > 1)
        return std::nullopt;
    return value;
}

namespace {

bool readInt(QStringView text, int &out)
{
    if (text.isEmpty() || text.size() > 4)
        return false;
    for (QChar c : text) {
        if (!c.isDigit())
            return false;
    }
    out = text.toInt();
    return true;
}

std::optional<QTime> readTime(QStringView text)
{
    const QList<QStringView> parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int h = 0, m = 0, s = 0;
    if (!readInt(parts[0], h) || !readInt(parts[1], m) || (parts.size() == 3 && !readInt(parts[2], s)))
        return std::nullopt;
    const QTime time(h, m, s);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

// The same date and time as QDateTime(date, time), in the system's zone read once: the C
// library's local time looks at the zone file again for every value when TZ is not set.
QDateTime localDateTime(const QDate &date, const QTime &time)
{
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? QDateTime(date, time, zone) : QDateTime(date, time);
}

// Up to four ASCII digits from `at`, stopping at `end` or at `stop`; false for anything
// else. `at` is left on the character after them.
bool readAsciiInt(const char16_t *&at, const char16_t *end, char16_t stop, int &out)
{
    const char16_t *start = at;
    out = 0;
    for (; at < end && *at != stop; ++at) {
        if (*at < u'0' || *at > u'9' || at - start == 4)
            return false;
        out = out * 10 + int(*at - u'0');
    }
    return at > start;
}

// The common form in ASCII, read in one pass: the parts of the date and of the time, and how
// many digits the year has. nullopt leaves anything else (other separators, other digits,
// a malformed text) to the full reading.
std::optional<QDateTime> readAsciiDate(QStringView t)
{
    const char16_t *at = t.utf16();
    const char16_t *end = at + t.size();
    const char16_t *blank = std::find(at, end, u' ');
    char16_t separator = 0;
    for (char16_t s : {u'/', u'-', u'.'}) {
        if (std::find(at, blank, s) != blank) {
            separator = s;
            break;
        }
    }
    int d = 0, m = 0, y = 0;
    if (!separator || !readAsciiInt(at, blank, separator, d) || at == blank || !readAsciiInt(++at, blank, separator, m)
        || at == blank)
        return std::nullopt;
    const char16_t *yearAt = ++at;
    if (!readAsciiInt(at, blank, separator, y) || at != blank)
        return std::nullopt;
    const qsizetype yearDigits = at - yearAt;
    if (yearDigits != 2 && yearDigits != 4)
        return std::nullopt;
    if (yearDigits == 2)
        y += y < 50 ? 2000 : 1900;
    int h = 0, mi = 0, s = 0;
    if (blank != end) {
        at = blank + 1;
        while (at < end && (*at == u' ' || (*at >= u'\t' && *at <= u'\r')))
            ++at;
        if (!readAsciiInt(at, end, u':', h) || at == end || !readAsciiInt(++at, end, u':', mi)
            || (at != end && (!readAsciiInt(++at, end, u':', s) || at != end)))
            return std::nullopt;
    }
    const QDate date(y, m, d);
    const QTime time(h, mi, s);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return localDateTime(date, time);
}

} // namespace

std::optional<QDateTime> readDate(const QString &text)
{
    if (const std::optional<QDateTime> plain = readAsciiDate(QStringView(text).trimmed()))
        return plain;
    const QString t = text.trimmed();
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    const QStringView datePart = blank < 0 ? QStringView(t) : QStringView(t).left(blank);
    QTime time(0, 0);
    if (blank >= 0) {
        const auto read = readTime(QStringView(t).mid(blank + 1).trimmed());
        if (!read)
            return std::nullopt;
        time = *read;
    }
    QList<QStringView> parts;
    for (char16_t separator : {u'/', u'-', u'.'}) {
        if (datePart.contains(separator)) {
            parts = datePart.split(separator);
            break;
        }
    }
    int d = 0, m = 0, y = 0;
    if (parts.size() != 3 || !readInt(parts[0], d) || !readInt(parts[1], m) || !readInt(parts[2], y))
        return std::nullopt;
    if (parts[2].size() == 2)
        y += y < 50 ? 2000 : 1900;
    else if (parts[2].size() != 4)
        return std::nullopt;
    const QDate date(y, m, d);
    if (!date.isValid())
        return std::nullopt;
    return localDateTime(date, time);
}

namespace {

const QString kDeletionStart = QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA='V' AND IDLISTA='");
const QString kDeletionMiddle = QStringLiteral("' AND IDARTICULO='");
constexpr qsizetype kListWidth = 4;
constexpr qsizetype kArticleWidth = 25;

} // namespace

QString writePriceDeletion(const QString &list, const QString &article)
{
    const auto &f = platform::suite::gFunciones();
    return kDeletionStart + f.AlinearDerecha(list.trimmed(), int(kListWidth)) + kDeletionMiddle
        + f.AlinearDerecha(article.trimmed(), int(kArticleWidth)) + QLatin1Char('\'');
}

std::optional<PriceDeletion> readPriceDeletion(const QString &line)
{
    const qsizetype middleAt = kDeletionStart.size() + kListWidth;
    const qsizetype articleAt = middleAt + kDeletionMiddle.size();
    if (line.size() != articleAt + kArticleWidth + 1 || !line.endsWith(QLatin1Char('\''))
        || controlCharacterAt(line) >= 0 || !line.startsWith(kDeletionStart, Qt::CaseInsensitive)
        || QStringView(line).mid(middleAt, kDeletionMiddle.size()).compare(kDeletionMiddle, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return PriceDeletion{line.mid(kDeletionStart.size(), kListWidth), line.mid(articleAt, kArticleWidth)};
}

namespace {

bool isOneOf(const QString &column, std::initializer_list<const char *> names)
{
    const QString name = column.trimmed();
    for (const char *candidate : names) {
        if (name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

bool leftOutOfLine(const QString &column) { return isOneOf(column, {"ID", "IMAGEN", "TRANSMISION", "RECEPCION"}); }

bool leftOutOfFieldList(const QString &column) { return isOneOf(column, {"ID", "IMAGEN"}); }

QString unwritableText(const QString &text)
{
    for (const QChar c : text) {
        if (c == QChar(kSeparator))
            return QStringLiteral("contiene un tabulador");
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("contiene un salto de línea");
        if (c.unicode() < 32 || c.unicode() == 127)
            return QStringLiteral("contiene el carácter de control %1").arg(int(c.unicode()));
    }
    const QString outside = platform::textfile::firstOutside1252(text);
    if (!outside.isEmpty())
        return QStringLiteral("contiene el carácter \"%1\", que Windows-1252 no admite").arg(outside);
    if (isNull(text))
        return QStringLiteral("es el texto \"%1\", que se lee como NULL").arg(text);
    return QString();
}

} // namespace package
