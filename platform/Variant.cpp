#include "Variant.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace platform {

RegionalSettings &regional()
{
    static RegionalSettings settings;
    return settings;
}

Variant Variant::null()
{
    Variant v;
    v.m_value = NullTag{};
    return v;
}

Variant::Kind Variant::kind() const { return static_cast<Kind>(m_value.index()); }

static QString numberText(double d)
{
    // Shortest round-trip form, no grouping, regional decimal separator.
    QString text = QString::number(d, 'g', 15);
    if (text.contains(QLatin1Char('e')))
        text = QString::number(d, 'f', 10).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
    text.replace(QLatin1Char('.'), regional().decimalSeparator);
    return text;
}

QString Variant::toString() const
{
    switch (kind()) {
    case Kind::Empty:
    case Kind::Null:
        return QString();
    case Kind::Bool:
        return std::get<bool>(m_value) ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case Kind::Int:
        return QString::number(std::get<std::int64_t>(m_value));
    case Kind::Double:
        return numberText(std::get<double>(m_value));
    case Kind::Text:
        return std::get<QString>(m_value);
    case Kind::DateTime: {
        const QDateTime dt = std::get<QDateTime>(m_value);
        const QString date = dt.date().toString(regional().shortDateFormat);
        if (dt.time() == QTime(0, 0))
            return date;
        return date + QLatin1Char(' ') + dt.time().toString(QStringLiteral("HH:mm:ss"));
    }
    case Kind::Bytes:
        return QString::fromLatin1(std::get<QByteArray>(m_value));
    }
    return QString();
}

static double leadingNumber(const QString &text)
{
    // Accepts either decimal separator; stops at the first character that cannot continue a number.
    QString t = text.trimmed();
    int i = 0;
    QString digits;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        digits += t[i++];
    bool seenSep = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit())
            digits += c;
        else if (!seenSep && (c == QLatin1Char('.') || c == QLatin1Char(','))) {
            digits += QLatin1Char('.');
            seenSep = true;
        } else
            break;
    }
    bool ok = false;
    const double d = digits.toDouble(&ok);
    return ok ? d : 0.0;
}

double Variant::toDouble() const
{
    switch (kind()) {
    case Kind::Bool:
        return std::get<bool>(m_value) ? -1.0 : 0.0;
    case Kind::Int:
        return double(std::get<std::int64_t>(m_value));
    case Kind::Double:
        return std::get<double>(m_value);
    case Kind::Text:
        return leadingNumber(std::get<QString>(m_value));
    case Kind::DateTime: {
        // VB date serial: days since 30/12/1899.
        const QDateTime dt = std::get<QDateTime>(m_value);
        const qint64 days = QDate(1899, 12, 30).daysTo(dt.date());
        return double(days) + dt.time().msecsSinceStartOfDay() / 86400000.0;
    }
    default:
        return 0.0;
    }
}

std::int64_t Variant::toInt64() const
{
    // Whole numbers as they are: beyond 2^53 a double would change them.
    if (kind() == Kind::Int)
        return std::get<std::int64_t>(m_value);
    return std::int64_t(std::llround(toDouble()));
}

bool Variant::toBool() const
{
    if (kind() == Kind::Text) {
        const QString t = std::get<QString>(m_value).trimmed();
        if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0
            || t.compare(QStringLiteral("verdadero"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return toDouble() != 0.0;
}

QDateTime Variant::toDateTime() const
{
    switch (kind()) {
    case Kind::DateTime:
        return std::get<QDateTime>(m_value);
    case Kind::Text: {
        const QString t = std::get<QString>(m_value).trimmed();
        for (const char *fmt :
             {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy", "d/M/yyyy", "dd/MM/yy HH:mm", "dd/MM/yy",
              "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"}) {
            QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(fmt));
            if (dt.isValid()) {
                if (QString::fromLatin1(fmt).contains(QLatin1String("/yy"))
                    && !QString::fromLatin1(fmt).contains(QLatin1String("yyyy")) && dt.date().year() < 1930)
                    dt = dt.addYears(100);
                return dt;
            }
        }
        return QDateTime();
    }
    case Kind::Int:
    case Kind::Double: {
        const double serial = toDouble();
        const double whole = std::floor(serial);
        QDateTime dt(QDate(1899, 12, 30).addDays(qint64(whole)), QTime(0, 0));
        return dt.addMSecs(qint64(std::llround((serial - whole) * 86400000.0)));
    }
    default:
        return QDateTime();
    }
}

QByteArray Variant::toBytes() const
{
    if (kind() == Kind::Bytes)
        return std::get<QByteArray>(m_value);
    return toString().toUtf8();
}

bool Variant::operator==(const Variant &other) const { return m_value == other.m_value; }

} // namespace platform
