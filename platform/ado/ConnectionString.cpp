#include "Backend.h"
#include "Errors.h"

#include <QRegularExpression>

namespace ado {

namespace {

// The message may reach a log: passwords are never shown.
QString withoutPasswords(QString text)
{
    static const QRegularExpression password(QStringLiteral("\\b(pwd|password)(\\s*=)[^;]*"),
                                             QRegularExpression::CaseInsensitiveOption);
    return text.replace(password, QStringLiteral("\\1\\2***"));
}

[[noreturn]] void malformed(const QString &text, const QString &why)
{
    throw Exception(errnum::GenericFailure,
                    QStringLiteral("Cadena de conexión mal formada (%1): \"%2\"").arg(why, withoutPasswords(text)),
                    QStringLiteral("ado"));
}

// Reads a value that may be quoted ("..." or '...', doubled quote inside) or braced {...}.
QString readValue(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    if (pos >= text.size())
        return QString();
    const QChar open = text[pos];
    if (open != QLatin1Char('"') && open != QLatin1Char('\'') && open != QLatin1Char('{')) {
        const qsizetype end = text.indexOf(QLatin1Char(';'), pos);
        const QString value = text.mid(pos, end < 0 ? -1 : end - pos).trimmed();
        pos = end < 0 ? text.size() : end;
        return value;
    }
    const QChar close = open == QLatin1Char('{') ? QLatin1Char('}') : open;
    QString value;
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != close) {
            value += text[pos];
        } else if (pos + 1 < text.size() && text[pos + 1] == close) {
            value += close;
            ++pos;
        } else {
            ++pos;
            while (pos < text.size() && text[pos].isSpace())
                ++pos;
            if (pos < text.size() && text[pos] != QLatin1Char(';'))
                malformed(text, QStringLiteral("texto después de un valor entre comillas"));
            return value;
        }
    }
    malformed(text, QStringLiteral("comillas sin cerrar"));
}

} // namespace

ConnectionString ConnectionString::parse(const QString &text)
{
    ConnectionString cs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), pos);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), pos);
        if (semi >= 0 && (eq < 0 || semi < eq)) {
            if (!text.mid(pos, semi - pos).trimmed().isEmpty())
                malformed(text, QStringLiteral("falta \"=\" en \"%1\"").arg(text.mid(pos, semi - pos).trimmed()));
            pos = semi + 1;
            continue;
        }
        if (eq < 0) {
            if (!text.mid(pos).trimmed().isEmpty())
                malformed(text, QStringLiteral("falta \"=\" en \"%1\"").arg(text.mid(pos).trimmed()));
            break;
        }
        const QString key = text.mid(pos, eq - pos).trimmed();
        if (key.isEmpty())
            malformed(text, QStringLiteral("clave vacía"));
        pos = eq + 1;
        const QString value = readValue(text, pos);
        cs.m_items.append({key, value});
        if (pos < text.size())
            ++pos; // the ';'
    }
    return cs;
}

QString ConnectionString::value(const QString &key) const
{
    for (const auto &item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return item.second;
    return QString();
}

bool ConnectionString::has(const QString &key) const
{
    for (const auto &item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace ado
