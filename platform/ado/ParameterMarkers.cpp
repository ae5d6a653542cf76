#include "ParameterMarkers.h"

#include "SqlTokenizer.h"

namespace ado {

namespace {

const QLatin1String kPrefix("@vkp");

bool isMarker(QStringView sql, const SqlToken &t)
{
    return t.type == SqlToken::Type::Symbol && t.len == 1 && sql[t.pos] == u'?';
}

} // namespace

int ParameterMarkers::count(const QString &sql)
{
    int n = 0;
    for (const SqlToken &t : SqlTokenizer::tokenize(sql))
        n += isMarker(sql, t) ? 1 : 0;
    return n;
}

QString ParameterMarkers::named(const QString &sql, int &count)
{
    count = 0;
    QString out;
    out.reserve(sql.size() + 16);
    qsizetype copied = 0;
    for (const SqlToken &t : SqlTokenizer::tokenize(sql)) {
        if (!isMarker(sql, t))
            continue;
        out += QStringView(sql).mid(copied, t.pos - copied);
        if (t.pos > 0 && !sql[t.pos - 1].isSpace()) // never glued to what comes before ("@?")
            out += u' ';
        out += kPrefix + QString::number(++count) + u' ';
        copied = t.pos + 1;
    }
    out += QStringView(sql).mid(copied);
    return out;
}

int ParameterMarkers::indexOf(QStringView name)
{
    if (name.startsWith(u'@'))
        name = name.mid(1);
    if (name.size() < 4 || !name.startsWith(QLatin1String("vkp"), Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = name.mid(3).toInt(&ok);
    return ok && n > 0 ? n - 1 : -1;
}

QString ParameterMarkers::positional(const QString &sql, std::vector<int> &order)
{
    order.clear();
    QString out;
    out.reserve(sql.size());
    qsizetype copied = 0;
    for (const SqlToken &t : SqlTokenizer::tokenize(sql)) {
        if (t.type != SqlToken::Type::Variable)
            continue;
        const int index = indexOf(QStringView(sql).mid(t.pos, t.len));
        if (index < 0)
            continue;
        out += QStringView(sql).mid(copied, t.pos - copied);
        out += u'?';
        order.push_back(index);
        copied = t.pos + t.len;
    }
    out += QStringView(sql).mid(copied);
    return out;
}

} // namespace ado
