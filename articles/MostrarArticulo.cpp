// FrmArtAlta: showing a stored article and the master-article service's answers that need
// no request.
#include "FrmArtAltaModelo.h"

#include "Pasos.h"

#include "core/Configuracion.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

namespace articles {

namespace {

using platform::suite::gFunciones;

constexpr long kTexto = 8;

bool es(const QString &a, const char *b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// The key column of a description label's lookup.
QString columnaClave(const QString &campo)
{
    for (const char *unidad : {"UD_CPRA", "UD_STOCK", "UD_TTE", "UMCB1", "UMCB2", "UMCB3", "UMCB4"}) {
        if (es(campo, unidad))
            return QStringLiteral("IDUNIDAD");
    }
    for (const char *codigo : {"CUENTAPROVEEDOR", "CUENTACONTABLE", "CUENTACONTABLEC", "politicaprecios"}) {
        if (es(campo, codigo))
            return QStringLiteral("CODIGO");
    }
    return campo.trimmed();
}

} // namespace

void FrmArtAltaModelo::AsignarDatos()
{
    OmitirSiFalla(QStringLiteral("AsignarDatos"), [&] {
        m_clasePrecioVenta = ModGlobal::Cfg(QStringLiteral("ClasePrecioVenta")).trimmed();
        if (m_clasePrecioVenta.isEmpty())
            m_clasePrecioVenta = QStringLiteral("1");
    });
    m_existente = true;
    OmitirSiFalla(QStringLiteral("AsignarDatos"), [&] {
        // the bound boxes show the row's columns of the same name
        for (CajaTexto &caja : txtFields) {
            if (!caja.DataField.isEmpty() && m_rsArticulo.fields().indexOf(caja.DataField) >= 0)
                caja.Text = gFunciones().NuloAVacio(m_rsArticulo.value(caja.DataField));
        }
    });
    LblProceso = QStringLiteral("EL PRODUCTO YA EXISTE EN LA BASE DE DATOS");
    emit repintar();
    CodArtNuevo = texto(QStringLiteral("IdArticulo"));
    OmitirSiFalla(QStringLiteral("AsignarDatos"), [&] {
        ponerTexto(QStringLiteral("Precio"),
                   gFunciones().NuloAVacio(m_rsArticulo.value(QStringLiteral("Precio") + m_clasePrecioVenta)));
    });
    OmitirSiFalla(QStringLiteral("AsignarDatos"), [&] {
        const std::optional<Importe> tasa = Importe::leer(texto(QStringLiteral("TasaIVA")));
        if (texto(QStringLiteral("TasaIVA")).trimmed().isEmpty() || !tasa || *tasa == Importe()) {
            m_tasaPorOmision = Importe::desdeTexto(ModGlobal::Cfg(QStringLiteral("PIVA")));
            ponerTexto(QStringLiteral("TasaIVA"), m_tasaPorOmision.texto());
        }
    });
    if (const std::optional<Importe> precio = Importe::leer(texto(QStringLiteral("Precio"))))
        m_precioRecordado = *precio;
    if (const std::optional<Importe> costo = Importe::leer(texto(QStringLiteral("Costo"))))
        m_costoRecordado = *costo;
    OmitirSiFalla(QStringLiteral("AsignarDatos"), [&] { CalcularPrecio(QStringLiteral("Precio"), false); });
    OmitirSiFalla(QStringLiteral("AsignarDatos"), [&] { mostrarImagenDelArticulo(); });
}

void FrmArtAltaModelo::VerRelacion()
{
    for (Etiqueta &etiqueta : lblDesc) {
        for (const CajaTexto &caja : txtFields) {
            if (caja.DataField.trimmed().isEmpty() || caja.Tag.trimmed().isEmpty() || es(caja.Tag, "FECHA")
                || caja.DataField.trimmed().compare(etiqueta.DataField.trimmed(), Qt::CaseInsensitive) != 0)
                continue;
            if (caja.Text.trimmed().isEmpty()) {
                etiqueta.Caption = QStringLiteral("...");
                continue;
            }
            const bool proveedor = es(caja.Tag, "VT_PROVEEDORES");
            const QString tabla = proveedor ? QStringLiteral("MA_CUENTAS") : caja.Tag;
            const QString columna = proveedor ? QStringLiteral("DESCRIPCION") : etiqueta.Tag;
            const QString descripcion = gDB()
                                            .DatosTabla(tabla, caja.Text.trimmed(), columna,
                                                        columnaClave(etiqueta.DataField), kTexto, QString(), true)
                                            .toString();
            etiqueta.Caption = descripcion;
            etiqueta.ToolTipText = descripcion;
        }
    }
}

QString FrmArtAltaModelo::ObtenerDescMaestra(const QString &codigo, bool &pError, QString &mensaje)
{
    LblProceso = QStringLiteral("Consultando Base Maestra...");
    LblProcesoBackColor = 0xFFFF;
    emit repintar();
    if (ModGlobal::Cfg(QStringLiteral("WSArticulos")).trimmed().isEmpty()) {
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
    LblProceso = QStringLiteral("NO SE PUDO CONECTAR AL WEB SERVICE DE ARTICULOS");
    // The request itself is not part of this build: it reads as a connection that failed.
    platform::logger().warning(QStringLiteral("ObtenerDescMaestra: el servicio de articulos no esta disponible"));
    mensaje = LblProceso;
    pError = true;
    return QString();
}

} // namespace articles
