#include "ValueConversion.h"

#include <QStringList>

namespace ado {

namespace {

struct Declared {
    QString base;      // upper case, without the size
    QStringList sizes; // what the parentheses hold
};

Declared parse(const QString &declared)
{
    Declared d;
    const QString text = declared.trimmed().toUpper();
    const qsizetype open = text.indexOf(u'(');
    d.base = (open < 0 ? text : text.left(open)).trimmed().section(u' ', 0, 0);
    if (open >= 0) {
        const qsizetype close = text.indexOf(u')', open);
        for (const QString &s : text.mid(open + 1, close < 0 ? -1 : close - open - 1).split(u','))
            d.sizes << s.trimmed();
    }
    return d;
}

QString quoted(const QString &text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

int number(const QStringList &sizes, int index, int fallback)
{
    bool ok = false;
    const int n = sizes.value(index).toInt(&ok);
    return ok ? n : fallback;
}

} // namespace

bool ValueConversion::isText(const QString &declared)
{
    static const QStringList names{QStringLiteral("CHAR"),     QStringLiteral("VARCHAR"), QStringLiteral("NCHAR"),
                                   QStringLiteral("NVARCHAR"), QStringLiteral("TEXT"),    QStringLiteral("NTEXT"),
                                   QStringLiteral("CHARACTER")};
    return names.contains(parse(declared).base);
}

QString ValueConversion::wrap(const QString &declared, const QString &column, const QString &value)
{
    const Declared d = parse(declared);
    const QString col = quoted(column);
    static const QStringList simple{
        QStringLiteral("INT"),      QStringLiteral("SMALLINT"),      QStringLiteral("TINYINT"),
        QStringLiteral("BIGINT"),   QStringLiteral("BIT"),           QStringLiteral("FLOAT"),
        QStringLiteral("REAL"),     QStringLiteral("MONEY"),         QStringLiteral("SMALLMONEY"),
        QStringLiteral("DATETIME"), QStringLiteral("SMALLDATETIME"), QStringLiteral("DATE")};
    QString base = d.base;
    if (base == QLatin1String("INTEGER"))
        base = QStringLiteral("INT");
    else if (base == QLatin1String("DATETIME2"))
        base = QStringLiteral("DATETIME");
    else if (base == QLatin1String("DOUBLE"))
        base = QStringLiteral("FLOAT");
    if (simple.contains(base))
        return QStringLiteral("vk_%1(%2, %3)").arg(base.toLower(), value, col);
    if (base == QLatin1String("DECIMAL") || base == QLatin1String("NUMERIC"))
        return QStringLiteral("vk_decimal(%1, %2, %3, %4)")
            .arg(value)
            .arg(number(d.sizes, 0, 18))
            .arg(number(d.sizes, 1, 0))
            .arg(col);
    const bool sizedText = base == QLatin1String("CHAR") || base == QLatin1String("VARCHAR")
        || base == QLatin1String("NCHAR") || base == QLatin1String("NVARCHAR") || base == QLatin1String("CHARACTER");
    if (sizedText && number(d.sizes, 0, 0) > 0)
        return QStringLiteral("vk_char(%1, %2, %3)").arg(value).arg(number(d.sizes, 0, 0)).arg(col);
    return value;
}

} // namespace ado
