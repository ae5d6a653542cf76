// FrmArtAlta: showing a stored article.
#include "FrmArtAltaModelo.h"

#include "Pasos.h"

#include "core/Configuracion.h"
#include "db/DB_Dll.h"
#include "platform/suite/Funciones.h"

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

} // namespace articles
