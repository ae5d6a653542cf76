// FrmArtAlta: the master-article web service.
#include "ArticuloMaestro.h"
#include "ElCodigo.h"
#include "FrmArtAltaModelo.h"
#include "Pasos.h"

#include "core/Configuracion.h"
#include "platform/Logger.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

namespace articles {

namespace {

constexpr int kAmarillo = 0xFFFF;
constexpr int kVerde = 0xFF00;
const QString kNoSePudoConectar = QStringLiteral("NO SE PUDO CONECTAR AL WEB SERVICE DE ARTICULOS");
const QString kNoExiste = QStringLiteral("Actualmente el codigo informado no existe en la base maestra");

// The lookup codes the service's descriptions give, in the order they are made.
struct CodigoMaestro {
    const char *tabla;
    const char *campo;
    QString ArticuloMaestro::*descripcion;
};
const CodigoMaestro kCodigos[] = {
    {"v_ta_rubros", "idRubro", &ArticuloMaestro::descRubro},
    {"V_TA_TipoArticulo", "idTipo", &ArticuloMaestro::descMarca},
    {"v_ta_unidad", "idUnidad", &ArticuloMaestro::descUnidad},
};

} // namespace

QString FrmArtAltaModelo::ObtenerDescMaestra(const QString &codigo, bool &pError, QString &mensaje)
{
    LblProceso = QStringLiteral("Consultando Base Maestra...");
    LblProcesoBackColor = kAmarillo;
    emit repintar();
    const QString base = ModGlobal::Cfg(QStringLiteral("WSArticulos")).trimmed();
    if (base.isEmpty()) {
        LblProceso = QStringLiteral("NO ESTA CONFIGURADO EL WEB SERVICE DE ARTICULOS,  Vaya a Utilidades, "
                                    "Configuracion del Sistema, Solapa Articulos");
        pError = false;
        return QString();
    }
    if (codigo.trimmed().isEmpty()) {
        mensaje = QStringLiteral("Debe informar el codigo.");
        platform::msgBox(QStringLiteral("Debe informar el numero de Codigo de Barras"),
                         platform::vbCritical | platform::vbOKOnly, QStringLiteral("Aviso al Operador"));
        pError = true;
        return QString();
    }
    LblProceso = kNoSePudoConectar;
    ArticuloMaestro articulo = ConsultarArticuloMaestro(base, codigo);
    switch (articulo.estado) {
    case ArticuloMaestro::Estado::SinConexion:
        // An error page, a reply that is not the article's object or a time-out says nothing
        // about the article: the operator is told the service could not be reached.
        platform::logger().warning(QStringLiteral("ObtenerDescMaestra: %1").arg(articulo.error));
        mensaje = kNoSePudoConectar;
        pError = true;
        return QString();
    case ArticuloMaestro::Estado::Vacia:
        LblProceso = QStringLiteral("NO HAY INFO");
        [[fallthrough]];
    case ArticuloMaestro::Estado::NoExiste:
        pError = true;
        mensaje = kNoExiste;
        LblProceso = mensaje;
        emit repintar();
        LblProcesoBackColor = kBlanco;
        return QString();
    case ArticuloMaestro::Estado::Encontrado:
        break;
    }
    ponerArticuloMaestro(articulo);
    return articulo.descripcion;
}

// The codes of the service's category, brand and unit descriptions (made when new) go into
// their boxes, the descriptions as ElCodigo cleaned them into their labels.
void FrmArtAltaModelo::ponerArticuloMaestro(ArticuloMaestro &articulo)
{
    QString codigos[3];
    const Manejador manejar = [](const platform::RuntimeError &error) {
        return respuestaDe(platform::suite::TratarError(error, QString(), QStringLiteral("ObtenerDescMaestra")));
    };
    const auto codigoDe = [&](int i) {
        return [&, i] {
            codigos[i] = ElCodigo(QString::fromLatin1(kCodigos[i].tabla), articulo.*kCodigos[i].descripcion);
            return true;
        };
    };
    const bool completo = PasoAPaso({codigoDe(0), codigoDe(1), codigoDe(2)}, manejar);
    if (!completo)
        return;
    for (int i = 0; i < 3; ++i) {
        ponerTexto(QString::fromLatin1(kCodigos[i].campo), codigos[i]);
        ponerEtiqueta(QString::fromLatin1(kCodigos[i].campo), articulo.*kCodigos[i].descripcion);
    }
    LblProcesoBackColor = kVerde;
    LblProceso = QStringLiteral("Encontrado...");
    emit repintar();
}

} // namespace articles
