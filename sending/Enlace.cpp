#include "Enlace.h"

#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

namespace envio {

ado::DataTypeEnum tipoParametro(const platform::Variant &valor)
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
        return ado::adLongVarBinary;
    default:
        return ado::adVarWChar;
    }
}

Sentencia::Sentencia(ado::Connection &cnn, const QString &texto) : m_texto(texto)
{
    m_comando.setActiveConnection(&cnn);
    m_comando.setCommandText(texto);
}

void Sentencia::enlazar(const Valores &valores)
{
    ado::Parameters &parametros = m_comando.Parameters();
    while (parametros.Count() > int(valores.size()))
        parametros.Delete(parametros.Count() - 1);
    for (size_t i = 0; i < valores.size(); ++i) {
        const ado::DataTypeEnum tipo = tipoParametro(valores[i]);
        if (int(i) < parametros.Count()) {
            parametros.Item(int(i)).setType(tipo);
            parametros.Item(int(i)).setValue(valores[i]);
        } else {
            parametros.Append(
                m_comando.CreateParameter(QStringLiteral("p%1").arg(i + 1), tipo, ado::adParamInput, 0, valores[i]));
        }
    }
}

long Sentencia::ejecutar(const Valores &valores)
{
    enlazar(valores);
    long afectadas = 0;
    m_comando.Execute(&afectadas);
    return afectadas;
}

std::shared_ptr<ado::Recordset> Sentencia::abrir(const Valores &valores)
{
    enlazar(valores);
    return m_comando.Execute();
}

QString paraUsuario(const DB_Dll &db, const QString &sentencia)
{
    return db::sqltext::replaceNoCase(db.SS_TSinonimos(sentencia), QStringLiteral("@ADMIN_"), QString());
}

} // namespace envio
