#include "Importe.h"

#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace articles {

namespace {

constexpr long kTipos = 13;
constexpr long kDesbordamiento = 6;
constexpr long kDivisionPorCero = 11;

[[noreturn]] void noEsNumero(const QString &texto)
{
    throw platform::RuntimeError(kTipos, QStringLiteral("No coinciden los tipos: '%1'").arg(texto));
}

[[noreturn]] void desborda() { throw platform::RuntimeError(kDesbordamiento, QStringLiteral("Desbordamiento")); }

struct Separadores {
    QChar decimal;
    QChar grupo;
};

// The regional mark, unless a point is the text's only separator (then it is the decimal mark).
Separadores separadoresDe(const QString &numero)
{
    const QChar regional = platform::regional().decimalSeparator;
    const QChar punto = QLatin1Char('.');
    if (regional != punto && !numero.contains(regional) && numero.count(punto) == 1)
        return {punto, QChar()};
    return {regional, regional == QLatin1Char(',') ? punto : QLatin1Char(',')};
}

// Strips sign, "$" and parentheses; returns whether the amount is negative.
bool quitarSigno(QString &t)
{
    bool negativo = false;
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        negativo = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith(QLatin1Char('$')))
        t = t.mid(1).trimmed();
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negativo = negativo != (t[0] == QLatin1Char('-'));
        t = t.mid(1).trimmed();
    }
    return negativo;
}

// The digits before and after the decimal mark; false when the text is not a number.
bool partes(const QString &t, QString &entera, QString &fraccion)
{
    const auto [decimal, grupo] = separadoresDe(t);
    bool enFraccion = false;
    for (const QChar c : t) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            (enFraccion ? fraccion : entera) += c;
        else if (!grupo.isNull() && c == grupo && !enFraccion)
            continue;
        else if (c == decimal && !enFraccion)
            enFraccion = true;
        else
            return false;
    }
    return !entera.isEmpty() || !fraccion.isEmpty();
}

// Four decimals from the fraction's digits, the rest rounded half to even.
std::optional<std::int64_t> diezmilesimosDe(const QString &entera, const QString &fraccion)
{
    constexpr std::int64_t kMaximo = std::numeric_limits<std::int64_t>::max();
    std::int64_t cuenta = 0;
    for (const QChar c : entera) {
        const int digito = c.digitValue();
        if (cuenta > (kMaximo - digito) / 10)
            return std::nullopt;
        cuenta = cuenta * 10 + digito;
    }
    const QString cuatro = (fraccion.left(4) + QStringLiteral("0000")).left(4);
    if (cuenta > kMaximo / Importe::kEscala)
        return std::nullopt;
    cuenta = cuenta * Importe::kEscala + cuatro.toLongLong();
    const QString resto = fraccion.mid(4);
    if (resto.isEmpty())
        return cuenta;
    const int primero = resto[0].digitValue();
    const bool masQueMitad = resto.mid(1).contains(QRegularExpression(QStringLiteral("[1-9]")));
    const bool sube = primero > 5 || (primero == 5 && (masQueMitad || cuenta % 2 != 0));
    if (sube && cuenta == kMaximo)
        return std::nullopt;
    return sube ? cuenta + 1 : cuenta;
}

QString conDecimales(std::int64_t cuenta, QChar marca)
{
    const bool negativo = cuenta < 0;
    const std::uint64_t absoluto = negativo ? 0 - std::uint64_t(cuenta) : std::uint64_t(cuenta);
    QString texto = QString::number(absoluto / Importe::kEscala);
    QString fraccion = QStringLiteral("%1").arg(absoluto % Importe::kEscala, 4, 10, QLatin1Char('0'));
    while (fraccion.endsWith(QLatin1Char('0')))
        fraccion.chop(1);
    if (!fraccion.isEmpty())
        texto += marca + fraccion;
    return negativo ? QLatin1Char('-') + texto : texto;
}

} // namespace

Importe Importe::desdeEntero(std::int64_t unidades)
{
    if (unidades > std::numeric_limits<std::int64_t>::max() / kEscala
        || unidades < std::numeric_limits<std::int64_t>::min() / kEscala)
        desborda();
    return Importe(unidades * kEscala);
}

std::optional<Importe> Importe::leer(const QString &texto)
{
    QString t = texto.trimmed();
    if (t.isEmpty())
        return Importe();
    const bool negativo = quitarSigno(t);
    QString entera, fraccion;
    if (!partes(t, entera, fraccion))
        return std::nullopt;
    const std::optional<std::int64_t> cuenta = diezmilesimosDe(entera, fraccion);
    if (!cuenta)
        return std::nullopt;
    return Importe(negativo ? -*cuenta : *cuenta);
}

Importe Importe::desdeTexto(const QString &texto)
{
    if (const std::optional<Importe> importe = leer(texto))
        return *importe;
    QString t = texto.trimmed();
    quitarSigno(t);
    QString entera, fraccion;
    if (partes(t, entera, fraccion))
        desborda();
    noEsNumero(texto);
}

Importe Importe::desdeDoble(double valor)
{
    if (std::isnan(valor) || std::isinf(valor))
        throw platform::RuntimeError(kDivisionPorCero, QStringLiteral("División por cero"));
    const double escalado = std::nearbyint(valor * double(kEscala)); // to nearest, ties to even
    if (escalado >= 9.2233720368547758e18 || escalado < -9.2233720368547758e18)
        desborda();
    return Importe(std::int64_t(escalado));
}

double Importe::aDoble() const { return double(m_cuenta) / double(kEscala); }

QString Importe::texto() const { return conDecimales(m_cuenta, platform::regional().decimalSeparator); }

QString Importe::textoSql() const { return conDecimales(m_cuenta, QLatin1Char('.')); }

Importe Importe::operator+(Importe otro) const
{
    std::int64_t suma = 0;
    if (__builtin_add_overflow(m_cuenta, otro.m_cuenta, &suma))
        desborda();
    return Importe(suma);
}

Importe Importe::operator-(Importe otro) const
{
    std::int64_t resta = 0;
    if (__builtin_sub_overflow(m_cuenta, otro.m_cuenta, &resta))
        desborda();
    return Importe(resta);
}

Importe Importe::por(Importe otro) const
{
    const __int128 producto = __int128(m_cuenta) * otro.m_cuenta;
    __int128 cociente = producto / kEscala;
    const __int128 resto = producto % kEscala;
    const __int128 doble = (resto < 0 ? -resto : resto) * 2;
    if (doble > kEscala || (doble == kEscala && cociente % 2 != 0))
        cociente += producto < 0 ? -1 : 1;
    if (cociente > std::numeric_limits<std::int64_t>::max() || cociente < std::numeric_limits<std::int64_t>::min())
        desborda();
    return Importe(std::int64_t(cociente));
}

} // namespace articles
