#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <variant>

namespace platform {

// A VB-style Variant: Empty (never assigned) and Null (the database's NULL)
// are distinct states, as the system's code tests them separately.
class Variant {
public:
    enum class Kind { Empty, Null, Bool, Int, Double, Text, DateTime, Bytes };

    Variant() = default;
    Variant(bool v) : m_value(v) {}
    Variant(int v) : m_value(std::int64_t(v)) {}
    Variant(long v) : m_value(std::int64_t(v)) {}
    Variant(long long v) : m_value(std::int64_t(v)) {}
    Variant(double v) : m_value(v) {}
    Variant(const QString &v) : m_value(v) {}
    Variant(const char *v) : m_value(QString::fromUtf8(v)) {}
    Variant(const QDateTime &v) : m_value(v) {}
    Variant(const QDate &v) : m_value(QDateTime(v, QTime(0, 0))) {}
    Variant(const QByteArray &v) : m_value(v) {}

    static Variant null();

    Kind kind() const;
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNull() const { return kind() == Kind::Null; }
    bool isNumeric() const { return kind() == Kind::Int || kind() == Kind::Double || kind() == Kind::Bool; }

    // VB CStr: Empty gives "", Null gives "" (callers that care test isNull first),
    // numbers use the regional decimal separator, dates dd/MM/yyyy [HH:mm:ss].
    QString toString() const;
    // VB Val-like conversions: unreadable text gives 0.
    double toDouble() const;
    std::int64_t toInt64() const;
    bool toBool() const;
    QDateTime toDateTime() const;
    QByteArray toBytes() const;
    // The text held, without a copy; null when the value is not text.
    const QString *text() const { return std::get_if<QString>(&m_value); }

    bool operator==(const Variant &other) const;

private:
    struct NullTag {
        bool operator==(const NullTag &) const { return true; }
    };
    std::variant<std::monostate, NullTag, bool, std::int64_t, double, QString, QDateTime, QByteArray> m_value;
};

// Regional settings the system formats numbers and dates with (es_AR by default).
struct RegionalSettings {
    QChar decimalSeparator = QLatin1Char(',');
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
};
RegionalSettings &regional();

} // namespace platform
