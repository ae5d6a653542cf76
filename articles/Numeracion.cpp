#include "Numeracion.h"

#include "platform/RuntimeError.h"

namespace articles {

namespace {

constexpr int kLargoCodigo = 4;

bool soloDigitos(const QString &texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar c : texto) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The stored code (or the part of it after a prefix) read as a whole number.
qint64 entero(const QString &texto)
{
    const QString t = texto.trimmed();
    if (!soloDigitos(t) || t.size() > 18)
        throw platform::RuntimeError(13, QStringLiteral("No coinciden los tipos: '%1'").arg(texto));
    return t.toLongLong();
}

QString conDigitos(qint64 numero, int digitos)
{
    return QStringLiteral("%1").arg(numero, digitos, 10, QLatin1Char('0'));
}

QString siCabe(const QString &codigo) { return codigo.size() > kLargoCodigo ? QString() : codigo; }

QString deBlanco(const std::optional<platform::Variant> &maximo)
{
    if (!maximo || maximo->isNull())
        return QString(); // never started
    return siCabe(QLatin1Char(' ') + QString::number(entero(maximo->toString()) + 1));
}

QString deDigito(QChar prefijo, const std::optional<platform::Variant> &maximo)
{
    if (!maximo)
        return QString();
    if (maximo->isNull())
        return prefijo + QStringLiteral("000");
    return siCabe(QString::number(entero(maximo->toString()) + 1));
}

QString deLetra(QChar prefijo, const std::optional<platform::Variant> &maximo)
{
    if (!maximo)
        return QString();
    if (maximo->isNull())
        return prefijo + QStringLiteral("1");
    return siCabe(prefijo + QString::number(entero(maximo->toString().trimmed().mid(1)) + 1));
}

// The prefix followed by the rest as a three-digit number.
QString tresDigitos(const QString &codigo) { return codigo.left(1) + conDigitos(entero(codigo.mid(1)), 3); }

QString porDigitos(const MaximoDePrefijo &maximo)
{
    for (char d = '1'; d <= '9'; ++d) {
        const QChar prefijo = QLatin1Char(d);
        const QString codigo = deDigito(prefijo, maximo(prefijo));
        // 1999 + 1 runs into the next digit: that digit is asked for its own highest code.
        if (!codigo.isEmpty() && codigo[0] == prefijo)
            return codigo;
    }
    return QString();
}

QString porLetras(const MaximoDePrefijo &maximo, char desde, char hasta)
{
    for (char l = desde; l <= hasta; ++l) {
        const QChar prefijo = QLatin1Char(l);
        const QString codigo = deLetra(prefijo, maximo(prefijo));
        if (!codigo.isEmpty())
            return codigo;
    }
    return QString();
}

} // namespace

std::optional<QString> SumarUno(const QString &numero)
{
    QString digitos = numero.trimmed();
    if (!soloDigitos(digitos))
        return std::nullopt;
    for (qsizetype i = digitos.size() - 1; i >= 0; --i) {
        if (digitos[i] != QLatin1Char('9')) {
            digitos[i] = QChar(digitos[i].unicode() + 1);
            return digitos;
        }
        digitos[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digitos;
}

QString CodigoPorPrefijo(const MaximoDePrefijo &maximo)
{
    QString codigo = deBlanco(maximo(QLatin1Char(' ')));
    if (codigo.isEmpty())
        codigo = porDigitos(maximo);
    if (codigo.isEmpty())
        codigo = porLetras(maximo, 'A', 'Z');
    if (codigo.isEmpty())
        codigo = porLetras(maximo, 'a', 'z');
    return codigo.isEmpty() ? QString() : tresDigitos(codigo);
}

QString CodigoDeFamilia(const QString &padre, int largo, const platform::Variant &maximo)
{
    if (!padre.isEmpty()) {
        if (maximo.isNull() || maximo.isEmpty())
            return padre + QStringLiteral("01");
        const qint64 siguiente = entero(maximo.toString().trimmed().mid(padre.size())) + 1;
        return siguiente > 99 ? QString() : padre + conDigitos(siguiente, 2);
    }
    const qint64 siguiente = (maximo.isNull() || maximo.isEmpty()) ? 1 : entero(maximo.toString()) + 1;
    const QString codigo = conDigitos(siguiente, largo);
    return codigo.size() > largo ? QString() : codigo;
}

} // namespace articles
