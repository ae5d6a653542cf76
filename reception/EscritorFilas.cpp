#include "EscritorFilas.h"

#include "db/SqlText.h"
#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

#include <iterator>

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

namespace {

ado::DataTypeEnum tipoDe(const platform::Variant &valor)
{
    using Kind = platform::Variant::Kind;
    switch (valor.kind()) {
    case Kind::Bool:
        return ado::adBoolean;
    case Kind::Int:
        return ado::adBigInt;
    case Kind::Double:
        return ado::adDouble;
    case Kind::DateTime:
        return ado::adDBTimeStamp;
    case Kind::Bytes:
        return ado::adVarBinary;
    default:
        return ado::adVarChar;
    }
}

} // namespace

EscritorFilas::EscritorFilas(ado::Connection &cnn) : m_cnn(cnn) {}

EscritorFilas::~EscritorFilas() = default;

void EscritorFilas::descartar()
{
    for (Reciente &r : m_recientes)
        r = Reciente{};
    m_comandos.clear();
}

void EscritorFilas::descartar(const QString &sentencia)
{
    for (Reciente &r : m_recientes)
        if (r.sentencia == sentencia)
            r = Reciente{};
    m_comandos.erase(sentencia);
}

QString EscritorFilas::texto(const QString &sentencia, const Valores &valores)
{
    const QStringList partes = sentencia.split(QLatin1Char('?'));
    QString out = partes.first();
    for (size_t i = 0; i < valores.size() && qsizetype(i) + 1 < partes.size(); ++i)
        out += literal(valores[i]) + partes[qsizetype(i) + 1];
    return out;
}

std::shared_ptr<ado::Recordset> EscritorFilas::ejecutaComando(const QString &sentencia, const Valores &valores,
                                                              long *afectadas)
{
    ado::Command *comando = nullptr;
    for (const Reciente &r : m_recientes)
        if (r.comando && r.sentencia.constData() == sentencia.constData() && r.sentencia.size() == sentencia.size())
            comando = r.comando;
    if (!comando) {
        std::unique_ptr<ado::Command> &guardado = m_comandos[sentencia];
        if (!guardado)
            guardado = nuevoComando(sentencia, valores);
        comando = guardado.get();
        m_recientes[m_proximoReciente] = Reciente{sentencia, comando};
        m_proximoReciente = (m_proximoReciente + 1) % std::size(m_recientes);
    }
    ado::Parameters &parametros = comando->Parameters();
    for (size_t i = 0; i < valores.size() && int(i) < parametros.Count(); ++i)
        parametros.Item(int(i)).setValue(valores[i]);
    return comando->Execute(afectadas);
}

std::unique_ptr<ado::Command> EscritorFilas::nuevoComando(const QString &sentencia, const Valores &valores)
{
    auto comando = std::make_unique<ado::Command>();
    comando->setActiveConnection(&m_cnn);
    comando->setCommandText(sentencia);
    comando->setPrepared(true);
    comando->setCommandTimeout(m_cnn.CommandTimeout());
    for (size_t i = 0; i < valores.size(); ++i)
        comando->Parameters().Append(comando->CreateParameter(QStringLiteral("p%1").arg(i), tipoDe(valores[i])));
    return comando;
}

long EscritorFilas::ejecuta(const QString &sentencia, const Valores &valores)
{
    long afectadas = -1;
    ejecutaComando(sentencia, valores, &afectadas);
    return afectadas;
}

bool EscritorFilas::hayFila(const QString &sentencia, const Valores &valores)
{
    auto rs = ejecutaComando(sentencia, valores, nullptr);
    return rs && rs->State() == ado::adStateOpen && !rs->EOF();
}

std::vector<Valores> EscritorFilas::filas(const QString &sentencia, const Valores &valores)
{
    std::vector<Valores> filas;
    auto rs = ejecutaComando(sentencia, valores, nullptr);
    if (!rs || rs->State() != ado::adStateOpen)
        return filas;
    for (; !rs->EOF(); rs->MoveNext()) {
        Valores fila;
        for (int i = 0; i < rs->fields().Count(); ++i)
            fila.push_back(rs->field(i).Value());
        filas.push_back(std::move(fila));
    }
    return filas;
}

} // namespace recepcion
