#include "EscritorFilas.h"

#include "db/SqlText.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

namespace recepcion {

QString literal(const platform::Variant &valor)
{
    using Kind = platform::Variant::Kind;
    switch (valor.kind()) {
    case Kind::Empty:
    case Kind::Null:
        return QStringLiteral("NULL");
    case Kind::Bool:
        return valor.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Int:
        return QString::number(valor.toInt64());
    case Kind::Double:
        return db::sqltext::plainNumber(valor.toDouble());
    case Kind::DateTime:
        return QLatin1Char('\'') + valor.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
            + QLatin1Char('\'');
    default:
        return QLatin1Char('\'') + db::sqltext::escapeQuotes(valor.toString()) + QLatin1Char('\'');
    }
}

const QStringList &EscritorFilas::partes(const QString &sentencia)
{
    auto it = m_partes.constFind(sentencia);
    if (it == m_partes.constEnd())
        it = m_partes.insert(sentencia, sentencia.split(QLatin1Char('?')));
    return *it;
}

QString EscritorFilas::texto(const QString &sentencia, const Valores &valores)
{
    const QStringList &p = partes(sentencia);
    Q_ASSERT(size_t(p.size()) == valores.size() + 1);
    QString out = p.first();
    for (size_t i = 0; i < valores.size() && qsizetype(i) + 1 < p.size(); ++i)
        out += literal(valores[i]) + p[qsizetype(i) + 1];
    return out;
}

long EscritorFilas::ejecuta(const QString &sentencia, const Valores &valores)
{
    long afectadas = -1;
    m_cnn.Execute(texto(sentencia, valores), &afectadas);
    return afectadas;
}

bool EscritorFilas::hayFila(const QString &sentencia, const Valores &valores)
{
    auto rs = m_cnn.Execute(texto(sentencia, valores));
    return rs && rs->State() == ado::adStateOpen && !rs->EOF();
}

Valores EscritorFilas::primeraFila(const QString &sentencia, const Valores &valores)
{
    Valores fila;
    auto rs = m_cnn.Execute(texto(sentencia, valores));
    if (!rs || rs->State() != ado::adStateOpen || rs->EOF())
        return fila;
    for (int i = 0; i < rs->fields().Count(); ++i)
        fila.push_back(rs->field(i).Value());
    return fila;
}

} // namespace recepcion
