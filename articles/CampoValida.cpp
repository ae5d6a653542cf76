// FrmArtAlta: field validation, the price calculation's glue and the checks a save repeats.
#include "FrmArtAltaModelo.h"

#include "CalculoPrecio.h"
#include "Pasos.h"

#include "core/Configuracion.h"
#include "core/RutinasDatos.h"
#include "db/DB_Dll.h"
#include "platform/suite/Controles.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

namespace articles {

namespace {

using platform::suite::gFunciones;

constexpr long kTexto = 8;
const QString kTituloAviso = QStringLiteral("Aviso al operador...");
const QString kCuentaInexistente = QStringLiteral("El Codigo Ingresado es inexistente!!!");

bool es(const QString &campo, const char *nombre)
{
    return campo.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

// The unit, type and category boxes: the table their code is looked up in, the key column
// and the data field of their description box and label.
struct Lookup {
    const char *campo;
    const char *tabla;
    const char *clave;
    const char *descripcion;
};
constexpr Lookup kLookups[] = {
    {"IdUnidad", "v_ta_unidad", "idunidad", "idunidad"},
    {"idTipo", "v_ta_tipoarticulo", "idTipo", "idtipo"},
    {"idRubro", "v_ta_rubros", "idRubro", "idRubro"},
};

const Lookup *lookupDe(const QString &campo)
{
    for (const Lookup &l : kLookups) {
        if (es(campo, l.campo))
            return &l;
    }
    return nullptr;
}

bool existeCodigo(const Lookup &l, const QString &valor, ado::Recordset *rs)
{
    if (valor.trimmed().isEmpty())
        return false; // an empty code is never found
    return gDB().ExisteEnTabla(QString::fromLatin1(l.tabla), valor, QString::fromLatin1(l.clave), rs, kTexto, QString(),
                               true);
}

// The amount boxes and the names the form gives them.
QString nombreDeImporte(const QString &campo)
{
    if (es(campo, "Costo"))
        return QStringLiteral("Costo");
    if (es(campo, "Precio"))
        return QStringLiteral("Precio de venta");
    if (es(campo, "TasaIVA"))
        return QStringLiteral("Alicuota de IVA");
    if (es(campo, "Utl_P1"))
        return QStringLiteral("Utilidad");
    return QString();
}

} // namespace

QString FrmArtAltaModelo::mensajeImporte(int indice) const
{
    const QString nombre = nombreDeImporte(txtFields[indice].DataField);
    if (nombre.isEmpty())
        return QString();
    try {
        Importe::desdeTexto(txtFields[indice].Text);
        return QString();
    } catch (const platform::RuntimeError &error) {
        if (error.Number() == 6)
            return QStringLiteral("%1: el importe es demasiado grande.").arg(nombre);
        return QStringLiteral("%1 debe ser un número, por ejemplo 1.234,56.").arg(nombre);
    }
}

void FrmArtAltaModelo::CampoValida(int indice)
{
    if (indice < 0 || indice >= txtFields.size())
        return;
    m_error = false;
    m_mensaje.clear();
    const QString valor = txtFields[indice].Text;
    const QString campo = txtFields[indice].DataField;
    // An amount that is not a number is told in the form's words; the box keeps the focus.
    m_mensaje = mensajeImporte(indice);
    if (!m_mensaje.isEmpty()) {
        m_error = true;
        enfocar({Control::Tipo::txtFields, indice});
        platform::msgBox(m_mensaje, platform::vbCritical, kTituloAviso);
        m_mensaje.clear();
        return;
    }
    const Manejador manejar = [](const platform::RuntimeError &error) {
        return respuestaDe(gDB().TratamientoErrores(error, 18, QStringLiteral("CAMPO_VALIDA")));
    };
    PasoAPaso({[&] {
                  if (es(campo, "Codigo"))
                      validarCodigo(valor);
                  else if (es(campo, "Utl_P1"))
                      validarUtilidad(campo, valor);
                  else if (es(campo, "TasaIVA"))
                      validarTasa(valor);
                  else if (es(campo, "Costo"))
                      validarImporte(campo, valor, m_costoRecordado);
                  else if (es(campo, "Precio"))
                      validarImporte(campo, valor, m_precioRecordado);
                  else if (lookupDe(campo))
                      validarCodigoLookup(indice, valor);
                  else if (es(campo, "CuentaProveedor"))
                      validarCuentaProveedor(valor);
                  else if (es(campo, "CodigoArtProveedor"))
                      validarArticuloProveedor(valor);
                  return true;
              }},
              manejar);
    if (m_error) {
        platform::msgBox(m_mensaje, platform::vbCritical, kTituloAviso);
        m_mensaje.clear();
    }
}

void FrmArtAltaModelo::validarCodigo(const QString &valor)
{
    const Manejador manejar = [](const platform::RuntimeError &error) {
        return respuestaDe(gDB().TratamientoErrores(error, 18, QStringLiteral("CAMPO_VALIDA")));
    };
    bool hallado = false;
    const bool seguir = PasoAPaso({[&] {
                                       if (!valor.trimmed().isEmpty())
                                           return true;
                                       m_nuevo = true;
                                       m_existente = false;
                                       return false;
                                   },
                                   [&] {
                                       if (!m_codigoConfirmado.isEmpty() && m_codigoConfirmado != valor.trimmed())
                                           limpiarArticulo();
                                       m_codigoConfirmado = valor.trimmed();
                                       return true;
                                   },
                                   [&] {
                                       hallado = gDB().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"),
                                                                     gFunciones().AlinearDerecha(valor.trimmed(), 25),
                                                                     QStringLiteral("codigobarra"), &m_rsArticulo,
                                                                     kTexto, QString(), true);
                                       return true;
                                   },
                                   [&] {
                                       if (hallado) {
                                           AsignarDatos();
                                           VerRelacion();
                                       } else {
                                           olvidarArticuloAnterior();
                                           bool fallo = false;
                                           QString mensaje;
                                           txtFields[kDescripcion].Text = ObtenerDescMaestra(valor, fallo, mensaje);
                                       }
                                       copiarEtiquetasADescripciones();
                                       m_nuevo = !hallado;
                                       m_existente = hallado;
                                       return true;
                                   }},
                                  manejar);
    if (seguir && !hayImagen())
        DescargarImagen();
}

void FrmArtAltaModelo::validarUtilidad(const QString &campo, const QString &valor)
{
    Importe::desdeTexto(valor);
    if (!m_grabando)
        CalcularPrecio(campo, true);
}

void FrmArtAltaModelo::validarTasa(const QString &valor)
{
    m_mensaje = mensajeTasa(valor);
    m_error = !m_mensaje.isEmpty();
}

QString FrmArtAltaModelo::mensajeTasa(const QString &valor) const
{
    if (valor.trimmed().isEmpty())
        return QString();
    const Importe tasa = Importe::desdeTexto(valor);
    if (tasa == Importe())
        return QString();
    if (tasa < Importe() || tasa > Importe::desdeEntero(100))
        return QStringLiteral("Alicuota de IVA debe ser Mayor o Igual a 0 y menor o igual a 100");
    if (!ModGlobal::EsTasaIva(float(tasa.aDoble())))
        return QStringLiteral("Alicuota de IVA no habilitada en configuración");
    return QString();
}

void FrmArtAltaModelo::validarImporte(const QString &campo, const QString &valor, Importe &recordado)
{
    if (m_grabando)
        return;
    const Importe importe = Importe::desdeTexto(valor);
    if (importe != recordado)
        CalcularPrecio(campo, false);
    recordado = importe;
}

void FrmArtAltaModelo::validarCodigoLookup(int indice, const QString &valor)
{
    const Lookup *l = lookupDe(txtFields[indice].DataField);
    const QString nombre = QString::fromLatin1(l->descripcion);
    if (existeCodigo(*l, valor, &m_rsConsulta)) {
        const QString descripcion = gFunciones().NuloAVacio(m_rsConsulta.value(QStringLiteral("Descripcion")));
        ponerEtiqueta(nombre, descripcion);
        ponerDescripcion(nombre, descripcion);
        return;
    }
    const int caja = platform::suite::gControles().IndiceCampo(nombre, camposDeDatos(TxtDesc));
    if (caja >= 0)
        enfocar({Control::Tipo::TxtDesc, caja});
}

QString FrmArtAltaModelo::mensajeCuenta(QString &codigo)
{
    ado::Recordset rs;
    bool porOpcional = false;
    if (!ModGlobal::BuscarCuenta(codigo, &rs, true, porOpcional))
        return kCuentaInexistente;
    const QString tipo = gFunciones().NuloAVacio(rs.value(QStringLiteral("TipoVista"))).trimmed();
    gDB().CierraRecordset(rs);
    if (!es(tipo, "PR") && !es(tipo, "CL"))
        return QStringLiteral("El Codigo Ingresado no Corresponde a un Proveedor ");
    return QString();
}

void FrmArtAltaModelo::validarCuentaProveedor(const QString &valor)
{
    if (valor.trimmed().isEmpty())
        return;
    QString codigo = valor;
    m_mensaje = mensajeCuenta(codigo);
    if (m_mensaje != kCuentaInexistente)
        ponerTexto(QStringLiteral("CuentaProveedor"), codigo);
    if (!m_mensaje.isEmpty()) {
        m_error = true;
        return;
    }
    VerRelacion();
    ponerTexto(QStringLiteral("CuentaProveedor"), codigo);
    EnfocaProveedor();
}

void FrmArtAltaModelo::validarArticuloProveedor(const QString &valor)
{
    if (valor.trimmed().isEmpty())
        return;
    const QString apostrofo = QStringLiteral("'");
    const QString sentencia = QStringLiteral("select idarticulo from v_ma_articulos where cuentaproveedor= ")
        + gDB().SQLValue(platform::Variant(texto(QStringLiteral("cuentaproveedor"))), apostrofo)
        + QStringLiteral(" and codigoartproveedor=")
        + gDB().SQLValue(platform::Variant(gFunciones().AlinearDerecha(valor.trimmed(), 25)), apostrofo);
    ado::Recordset rs;
    const bool abierto =
        gDB().AbrirRecordset(sentencia, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    const bool hay = abierto && !rs.BOF();
    gDB().CierraRecordset(rs);
    if (hay && !m_existente)
        platform::msgBox(QStringLiteral("El Codigo Ingresado para ese proveedor ya existe!!!\r\nEs solo un aviso, "
                                        "puede continuar"),
                         platform::vbInformation, QStringLiteral("Atencion"));
}

void FrmArtAltaModelo::CalcularPrecio(const QString &campo, bool cambioUtilidad)
{
    DatosPrecio datos;
    datos.campo = campo;
    datos.cambioUtilidad = cambioUtilidad;
    datos.costo = texto(QStringLiteral("Costo"));
    datos.precio = texto(QStringLiteral("Precio"));
    datos.tasa = texto(QStringLiteral("TasaIVA"));
    if (Importe::leer(datos.tasa).value_or(Importe()) == Importe())
        datos.tasaGeneral = ModGlobal::Cfg(QStringLiteral("PIVA"));
    datos.utilidad = texto(QStringLiteral("Utl_P1"));
    datos.exento = ChkExento != Marca::Unchecked;
    datos.conIva = m_maestroConIva;
    const PrecioCalculado calculado = articles::CalcularPrecio(datos);
    if (calculado.precio)
        ponerTexto(QStringLiteral("Precio"), *calculado.precio);
    if (calculado.precioRecordado)
        m_precioRecordado = *calculado.precioRecordado;
    if (calculado.utilidad)
        ponerTexto(QStringLiteral("Utl_P1"), *calculado.utilidad);
    if (!calculado.aviso.isEmpty())
        platform::msgBox(calculado.aviso, platform::vbExclamation, kTituloAviso);
}

// The checks of the field validation that a save must not pass over: the amounts, the
// rate, the supplier and the lookup codes. A failure is shown as the validation shows it;
// nothing has been written yet.
bool FrmArtAltaModelo::entradasValidas()
{
    const auto falla = [&](int caja, Control foco) {
        m_error = true;
        m_cajaActual = std::int16_t(caja);
        enfocar(foco);
        return false;
    };
    for (const int caja : {int(kCosto), int(kPrecio), int(kTasaIVA)}) {
        const QString importe = mensajeImporte(caja);
        if (!importe.isEmpty()) {
            platform::msgBox(importe, platform::vbCritical, kTituloAviso);
            return falla(caja, {Control::Tipo::txtFields, caja});
        }
    }
    QString mensaje = mensajeTasa(txtFields[kTasaIVA].Text);
    int caja = kTasaIVA;
    if (mensaje.isEmpty() && !txtFields[kCuentaProveedor].Text.trimmed().isEmpty()) {
        QString codigo = txtFields[kCuentaProveedor].Text;
        mensaje = mensajeCuenta(codigo);
        caja = kCuentaProveedor;
    }
    if (!mensaje.isEmpty()) {
        platform::msgBox(mensaje, platform::vbCritical, kTituloAviso);
        return falla(caja, {Control::Tipo::txtFields, caja});
    }
    for (const Lookup &l : kLookups) {
        const QString campo = QString::fromLatin1(l.campo);
        const QString codigo = texto(campo);
        const QString nombre = QString::fromLatin1(l.descripcion);
        if (codigo.trimmed().isEmpty() || !descripcionDe(nombre).trimmed().isEmpty()
            || existeCodigo(l, codigo, nullptr))
            continue;
        // an unknown code with no description to create it from
        platform::msgBox(kCuentaInexistente, platform::vbCritical, kTituloAviso);
        const int desc = platform::suite::gControles().IndiceCampo(nombre, camposDeDatos(TxtDesc));
        return falla(indiceCaja(campo), {Control::Tipo::TxtDesc, desc});
    }
    return true;
}

} // namespace articles
