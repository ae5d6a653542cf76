#include "ArticuloMaestro.h"

#include "ClienteHttp.h"

#include "platform/Collection.h"
#include "platform/Dictionary.h"
#include "platform/Logger.h"
#include "json/JSON.h"

#include <memory>

namespace articles {

namespace {

using Estado = ArticuloMaestro::Estado;

ArticuloMaestro sinConexion(const QString &error)
{
    ArticuloMaestro a;
    a.error = error;
    return a;
}

// The object the reply is about: the root, or the first element of a root list.
std::shared_ptr<platform::Dictionary> objetoDe(const platform::ScriptValue &raiz)
{
    if (const auto lista = raiz.collection())
        return lista->Count() > 0 ? lista->Item(1).dictionary() : nullptr;
    return raiz.dictionary();
}

bool leerTexto(const platform::Dictionary &objeto, const char *clave, QString &texto)
{
    const platform::ScriptValue valor = objeto.Item(QString::fromLatin1(clave));
    if (valor.isObject())
        return false;
    texto = valor.isNull() || valor.isEmpty() ? QString() : valor.toString();
    return true;
}

} // namespace

ArticuloMaestro LeerArticuloMaestro(const QString &respuesta)
{
    ArticuloMaestro a;
    QString sinCorchetes = respuesta;
    sinCorchetes.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    if (sinCorchetes.trimmed().isEmpty()) {
        a.estado = Estado::Vacia;
        return a;
    }
    const std::shared_ptr<platform::Dictionary> objeto = objetoDe(JSON::Analizar(respuesta));
    if (!objeto)
        return sinConexion(QStringLiteral("la respuesta no es un objeto JSON: %1").arg(respuesta.left(200)));
    // A reply cut short or followed by more text is no article: its texts may be cut too.
    QString faltas = JSON::ErroresParser().trimmed();
    if (!faltas.isEmpty())
        return sinConexion(QStringLiteral("la respuesta tiene faltas (%1): %2")
                               .arg(faltas.replace(QStringLiteral("\r\n"), QStringLiteral("; ")), respuesta.left(200)));
    if (!JSON::TrailingText().isEmpty())
        return sinConexion(QStringLiteral("la respuesta sigue despues del objeto (%1): %2")
                               .arg(JSON::TrailingText().left(40), respuesta.left(200)));
    if (!leerTexto(*objeto, "descripcion", a.descripcion) || !leerTexto(*objeto, "descRubro", a.descRubro)
        || !leerTexto(*objeto, "descMarca", a.descMarca) || !leerTexto(*objeto, "descUnidad", a.descUnidad))
        return sinConexion(
            QStringLiteral("la respuesta tiene un objeto donde se espera un texto: %1").arg(respuesta.left(200)));
    a.estado = a.descripcion.trimmed().isEmpty() ? Estado::NoExiste : Estado::Encontrado;
    return a;
}

ArticuloMaestro ConsultarArticuloMaestro(const QString &base, const QString &codigo)
{
    const platform::Result<RespuestaHttp> respuesta = ObtenerHttp(DireccionConCodigo(base, codigo));
    if (!respuesta)
        return sinConexion(respuesta.message());
    return LeerArticuloMaestro(TextoDeRespuesta(respuesta.value()));
}

} // namespace articles
