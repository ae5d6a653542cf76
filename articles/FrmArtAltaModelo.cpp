#include "FrmArtAltaModelo.h"

#include "Pasos.h"
#include "Rt_ImgThumbs.h"

#include "core/Configuracion.h"
#include "core/RutinasDatos.h"
#include "core/SharedLookup.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/suite/Controles.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QUrl>

namespace articles {

QString gProgramaCompras;

namespace {

using ModGlobal::Cfg;

constexpr int kTeclaEnter = 13;
constexpr int kTeclaEsc = 27;
constexpr int kTeclaF2 = 113;
constexpr int kTeclaF5 = 116;
constexpr int kTeclaF7 = 118;
const QString kNoConfigurado = QStringLiteral("NO ESTA CONFIGURADO EL WEB SERVICE DE ARTICULOS");

struct DefinicionCaja {
    const char *campo;
    const char *tag;
    int largo;
    int tab;
};

// txtFields in index order: data field, Tag, length, tab position.
constexpr DefinicionCaja kCajas[] = {
    {"IdArticulo", "v_ma_articulos", 25, 33},
    {"Descripcion", "", 150, 11},
    {"Precio", "", 0, 3},
    {"IdUnidad", "V_ta_unidad", 4, 4},
    {"IdRubro", "v_ta_rubros", 4, 5},
    {"IdTipo", "v_ta_tipoArticulo", 4, 6},
    {"IdFamilia", "v_ta_familias", 4, 9},
    {"Costo", "", 0, 1},
    {"Codigo", "", 25, 0},
    {"TasaIVA", "", 0, 12},
    {"Utl_P1", "", 0, 2},
    {"CodigoArtProveedor", " ", 25, 8},
    {"CuentaProveedor", "vt_proveedores", 15, 7},
    {"RutaImagen", " ", 150, 49},
};

bool esSi(const QString &valor) { return valor.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0; }

CajaTexto caja(const DefinicionCaja &d)
{
    CajaTexto c;
    c.DataField = QString::fromLatin1(d.campo);
    c.Tag = QString::fromLatin1(d.tag);
    c.MaxLength = d.largo;
    c.TabIndex = d.tab;
    return c;
}

QList<CajaTexto> cajasDeDescripcion()
{
    const char *const campos[] = {"IdRubro", "idTipo", "IdUnidad", "idFamilia"};
    const char *const ayudas[] = {"Ingrese la descripcion del rubro", "Ingrese la descripcion de la Marca",
                                  "Ingrese la descripcion de la Unidad de Medida", ""};
    const int tabs[] = {42, 43, 41, 44};
    QList<CajaTexto> cajas;
    for (int i = 0; i < 4; ++i) {
        CajaTexto c;
        c.DataField = QString::fromLatin1(campos[i]);
        c.Tag = QStringLiteral("Descripcion");
        c.TabIndex = tabs[i];
        c.ToolTipText = QString::fromLatin1(ayudas[i]);
        c.Visible = i != 3;
        cajas << c;
    }
    return cajas;
}

QList<Etiqueta> etiquetasDeDescripcion()
{
    const char *const campos[] = {"IdRubro", "idTipo", "IdUnidad", "idFamilia", "CuentaProveedor"};
    const char *const tags[] = {"Descripcion", "Descripcion", "descripcion", "Descripcion", "RazonSocial"};
    QList<Etiqueta> etiquetas;
    for (int i = 0; i < 5; ++i)
        etiquetas << Etiqueta{QString::fromLatin1(campos[i]), QString::fromLatin1(tags[i]), QStringLiteral("..."),
                              QString(), i == 4};
    return etiquetas;
}

// The chosen row's code of the lookup a box's Tag names; "" when nothing was chosen. The
// supplier box's view has no lookup rule of its own: it lists the supplier accounts.
QString consultar(const QString &tag)
{
    if (tag.compare(QLatin1String("vt_proveedores"), Qt::CaseInsensitive) == 0) {
        SharedLookup &consulta = gConsulta();
        consulta.CampoDevuelto = QStringLiteral("Codigo");
        consulta.ConsultaSearch(
            QStringLiteral("select Razon_Social,Codigo from MA_CUENTAS where TipoVista in ('PR','CL') "));
        return consulta.ValorDevuelto;
    }
    QString tabla = tag, descripcion, codigo, tercera;
    ModGlobal::DefinicionConsulta(tabla, descripcion, codigo, tercera, true, QString());
    return codigo;
}

} // namespace

FrmArtAltaModelo::FrmArtAltaModelo(QObject *parent) : QObject(parent)
{
    for (const DefinicionCaja &d : kCajas)
        txtFields << caja(d);
    const QString ayuda = QStringLiteral("Este es el codigo de articulo que utiliza el proveedor");
    txtFields[kCodigoArtProveedor].ToolTipText = ayuda;
    txtFields[kRutaImagen].ToolTipText = ayuda;
    txtFields[kRutaImagen].Visible = false;
    txtFields[kIdFamilia].Visible = false;
    txtFields[kIdFamilia].Enabled = false;
    TxtDesc = cajasDeDescripcion();
    lblDesc = etiquetasDeDescripcion();
}

FrmArtAltaModelo::~FrmArtAltaModelo() = default;

// ---------------------------------------------------------------- boxes by data field

QStringList FrmArtAltaModelo::camposDeDatos(const QList<CajaTexto> &cajas) const
{
    QStringList campos;
    for (const CajaTexto &c : cajas)
        campos << c.DataField;
    return campos;
}

int FrmArtAltaModelo::indiceCaja(const QString &campo) const
{
    return platform::suite::gControles().IndiceCampo(campo, camposDeDatos(txtFields));
}

QString FrmArtAltaModelo::texto(const QString &campo) const
{
    const int i = indiceCaja(campo);
    return i < 0 ? QString() : txtFields[i].Text;
}

void FrmArtAltaModelo::ponerTexto(const QString &campo, const QString &texto)
{
    const int i = indiceCaja(campo);
    if (i >= 0)
        txtFields[i].Text = texto;
}

QString FrmArtAltaModelo::descripcionDe(const QString &campo) const
{
    const int i = platform::suite::gControles().IndiceCampo(campo, camposDeDatos(TxtDesc));
    return i < 0 ? QString() : TxtDesc[i].Text;
}

void FrmArtAltaModelo::ponerDescripcion(const QString &campo, const QString &texto)
{
    const int i = platform::suite::gControles().IndiceCampo(campo, camposDeDatos(TxtDesc));
    if (i >= 0)
        TxtDesc[i].Text = texto;
}

void FrmArtAltaModelo::ponerEtiqueta(const QString &campo, const QString &texto)
{
    QStringList campos;
    for (const Etiqueta &e : lblDesc)
        campos << e.DataField;
    const int i = platform::suite::gControles().IndiceCampo(campo, campos);
    if (i >= 0)
        lblDesc[i].Caption = texto;
}

// The "..." of a label whose code box is empty is no description: copied, it would become
// a lookup value of its own when the article is saved.
void FrmArtAltaModelo::copiarEtiquetasADescripciones()
{
    for (int i = 0; i < 3; ++i)
        TxtDesc[i].Text = lblDesc[i].Caption == QLatin1String("...") ? QString() : lblDesc[i].Caption;
}

// A bar code that is not found starts a new article: what the article shown before left
// in the code and description boxes and labels must not pass on to it.
void FrmArtAltaModelo::olvidarArticuloAnterior()
{
    for (const int i :
         {int(kIdArticulo), int(kDescripcion), int(kIdUnidad), int(kIdRubro), int(kIdTipo), int(kIdFamilia)})
        txtFields[i].Text.clear();
    for (int i = 0; i < 4; ++i) {
        lblDesc[i].Caption.clear();
        TxtDesc[i].Text.clear();
    }
}

// Another bar code is another article: nothing of the one shown before (supplier, amounts,
// rate, picture) may be saved into it. Only the bar code box keeps its text.
void FrmArtAltaModelo::limpiarArticulo()
{
    for (int i = 0; i < txtFields.size(); ++i) {
        if (i == kCodigo)
            continue;
        txtFields[i].Text.clear();
        txtFields[i].DataChanged = false;
    }
    txtFields[kTasaIVA].Text = m_tasaPorOmision.texto();
    for (CajaTexto &c : TxtDesc)
        c.Text.clear();
    for (Etiqueta &e : lblDesc) {
        e.Caption = QStringLiteral("...");
        e.ToolTipText.clear();
    }
    ChkExento = Marca::Unchecked;
    m_precioRecordado = Importe();
    m_costoRecordado = Importe();
    OmitirSiFalla(QStringLiteral("FrmArtAlta"), [&] { quitarImagen(); });
}

QString FrmArtAltaModelo::rutaDeImagen(const QString &codigo)
{
    if (!hayImagen())
        return QString();
    if (!Rt_ImgThumbs::NombreDeArchivoValido(codigo)) {
        platform::msgBox(QStringLiteral("La imagen no se guarda: el código de artículo \"%1\" no puede ser nombre de "
                                        "archivo (no admite / \\ : * ? \" < > | ni ser . o ..).")
                             .arg(codigo.trimmed()),
                         platform::vbExclamation, QStringLiteral("Aviso al operador..."));
        return QString();
    }
    return Rt_ImgThumbs::CarpetaImagenes(m_carpetaImagenes) + codigo.trimmed() + QStringLiteral(".jpg");
}

void FrmArtAltaModelo::enfocar(Control control)
{
    m_focoPedido = control;
    emit focoPedido(control);
}

void FrmArtAltaModelo::ocultar()
{
    visible = false;
    emit ocultarPedido();
}

// ---------------------------------------------------------------- start

void FrmArtAltaModelo::asegurarCarga()
{
    if (!m_cargado)
        Form_Load();
}

void FrmArtAltaModelo::Form_Load()
{
    m_cargado = true;
    if (DesdeConsulta)
        Label1Visible = false;
    Inicializa();
    OmitirSiFalla(QStringLiteral("FrmArtAlta"),
                  [&] { m_carpetaImagenes = Cfg(QStringLiteral("RutaImagenes")).trimmed(); });
    OmitirSiFalla(QStringLiteral("FrmArtAlta"), [&] {
        if (Cfg(QStringLiteral("WSArticulos")).trimmed().isEmpty())
            txtFields[kDescripcion].TabIndex = 1; // right after the bar code
    });
}

void FrmArtAltaModelo::Inicializa()
{
    OmitirSiFalla(QStringLiteral("FrmArtAlta"), [&] { m_retail = esSi(Cfg(QStringLiteral("RETAIL"))); });
    for (CajaTexto &c : txtFields) {
        c.Text.clear();
        c.DataChanged = false;
    }
    for (CajaTexto &c : TxtDesc)
        c.Text.clear();
    ChkExento = Marca::Unchecked;
    enfocar({Control::Tipo::txtFields, kCodigo});
    OmitirSiFalla(QStringLiteral("FrmArtAlta"), [&] { quitarImagen(); });
    OmitirSiFalla(QStringLiteral("FrmArtAlta"), [&] {
        m_clase2ConIva = esSi(Cfg(QStringLiteral("Clase2ConIva")));
        m_maestroConIva = esSi(Cfg(QStringLiteral("MaestroArticuloConIva")));
    });
    lblPreciosIvaVisible = m_maestroConIva;
    if (m_retail) {
        txtFields[kPrecio].Enabled = false;
        txtFields[kPrecio].Visible = false;
        txtFields[kUtl_P1].Visible = false;
        Label11Caption = QStringLiteral("Precio (Modificar Lista)");
        lbRubro4Visible = false;
        lblPreciosIvaVisible = false;
    }
    OmitirSiFalla(QStringLiteral("FrmArtAlta"), [&] {
        if (m_tasaPorOmision == Importe())
            m_tasaPorOmision = Importe::desdeTexto(Cfg(QStringLiteral("PIVA")));
    });
    txtFields[kTasaIVA].Text = m_tasaPorOmision.texto();
    LblProcesoBackColor = kBlanco;
    m_grabando = false;
    m_precioRecordado = Importe();
    m_costoRecordado = Importe();
    m_codigoConfirmado.clear();
}

void FrmArtAltaModelo::PonerCodigo()
{
    asegurarCarga();
    txtFields[kCodigo].Text = CodArtNuevo.trimmed();
    CodArtNuevo.clear();
}

void FrmArtAltaModelo::EnfocaProveedor()
{
    const int i = indiceCaja(QStringLiteral("cuentaproveedor"));
    if (i >= 0)
        enfocar({Control::Tipo::txtFields, i});
}

// ---------------------------------------------------------------- commands

void FrmArtAltaModelo::CmdAlta_Click()
{
    asegurarCarga();
    pAceptar = false;
    m_grabando = true;
    if (txtFields[kDescripcion].Text.trimmed().isEmpty()) {
        m_error = true;
        platform::msgBox(QStringLiteral("Debe informar la descripción del artículo; no se grabó nada."),
                         platform::vbCritical, QStringLiteral("Aviso al operador..."));
        enfocar({Control::Tipo::txtFields, kDescripcion});
    } else {
        AltaArticulos();
        if (!m_error) {
            pAceptar = true;
            Inicializa();
            if (!DesdeConsulta)
                ocultar();
        }
    }
    m_grabando = false;
}

void FrmArtAltaModelo::CmdCancelar_Click()
{
    pAceptar = false;
    ocultar();
}

void FrmArtAltaModelo::CmdConsultar_Click() { ConsultarCampo(); }

void FrmArtAltaModelo::CmdMaestro_Click()
{
    asegurarCarga();
    bool fallo = false;
    QString mensaje;
    QString descripcion;
    OmitirSiFalla(QStringLiteral("FrmArtAlta"),
                  [&] { descripcion = ObtenerDescMaestra(txtFields[kCodigo].Text, fallo, mensaje); });
    if (fallo) {
        txtFields[kDescripcion].Text.clear();
        enfocar({Control::Tipo::txtFields, kDescripcion});
        return;
    }
    // Not configured: the status keeps saying so and the typed description stays.
    if (!LblProceso.trimmed().startsWith(kNoConfigurado, Qt::CaseInsensitive)) {
        LblProceso = QStringLiteral("Correcto.");
        emit repintar();
        txtFields[kDescripcion].Text = descripcion;
    }
    enfocar({Control::Tipo::txtFields, kPrecio});
}

QString FrmArtAltaModelo::direccionBusqueda(const QString &descripcion)
{
    QStringList palabras;
    for (const QString &palabra : descripcion.trimmed().split(QLatin1Char(' ')))
        palabras << QString::fromLatin1(QUrl::toPercentEncoding(palabra));
    return QStringLiteral("https://www.google.com/search?q=") + palabras.join(QLatin1Char('+'));
}

void FrmArtAltaModelo::CmdGoogle_Click() { emit abrirDireccion(direccionBusqueda(txtFields[kDescripcion].Text)); }

// ---------------------------------------------------------------- keys and box events

void FrmArtAltaModelo::Form_KeyDown(int tecla)
{
    switch (tecla) {
    case kTeclaF2:
        CmdAlta_Click();
        break;
    case kTeclaEsc:
        CmdCancelar_Click();
        break;
    case kTeclaF7:
        CmdMaestro_Click();
        break;
    case kTeclaF5:
        ConsultarCampo();
        break;
    default:
        break;
    }
}

void FrmArtAltaModelo::txtFields_GotFocus(int indice)
{
    if (indice < 0 || indice >= txtFields.size())
        return;
    m_cajaActual = std::int16_t(indice);
    txtFields[indice].DataChanged = true;
}

void FrmArtAltaModelo::txtFields_LostFocus(int) {}

void FrmArtAltaModelo::txtFields_KeyDown(int indice, int tecla)
{
    if (!platform::suite::gControles().EsTeclaAceptar(tecla) || indice < 0 || indice >= txtFields.size())
        return;
    m_focoPedido.reset();
    // cleared first: a focus the validation moves must not validate the box again
    txtFields[indice].DataChanged = false;
    CampoValida(indice);
    // A validation that sent the focus to another control (a description box) keeps it there.
    const Control propia{Control::Tipo::txtFields, indice};
    if (!m_error && (!m_focoPedido || *m_focoPedido == propia))
        emit pasarFocoPedido();
}

QChar FrmArtAltaModelo::txtFields_KeyPress(int, QChar caracter) { return caracter; }

void FrmArtAltaModelo::txtFields_Validate(int indice)
{
    if (indice >= 0 && indice < txtFields.size() && txtFields[indice].DataChanged && indice != kDescripcion)
        CampoValida(indice);
}

void FrmArtAltaModelo::txtFields_Change(int indice, const QString &texto)
{
    if (indice < 0 || indice >= txtFields.size() || txtFields[indice].Text == texto)
        return;
    txtFields[indice].Text = texto;
    txtFields[indice].DataChanged = true;
}

// ---------------------------------------------------------------- F5

void FrmArtAltaModelo::ConsultarCampo()
{
    asegurarCarga();
    const int indice = m_cajaActual;
    if (indice < 0 || indice >= txtFields.size())
        return;
    QString tag;
    QString valor;
    const Manejador manejar = [](const platform::RuntimeError &error) {
        return respuestaDe(platform::suite::TratarError(error, QString(), QStringLiteral("ConsultarCampo")));
    };
    PasoAPaso({[&] {
                   tag = txtFields[indice].Tag.trimmed();
                   return !tag.isEmpty();
               },
               [&] {
                   const bool fecha = tag.compare(QLatin1String("FECHA"), Qt::CaseInsensitive) == 0;
                   valor = fecha ? platform::suite::gFunciones().PedirFecha() : consultar(tag);
                   return !valor.trimmed().isEmpty();
               },
               [&] {
                   if (tag.compare(QLatin1String("COMPROBANTES"), Qt::CaseInsensitive) == 0)
                       return false;
                   const bool fecha = tag.compare(QLatin1String("Fecha"), Qt::CaseInsensitive) == 0;
                   txtFields[indice].Text = fecha ? valor : valor.trimmed();
                   return true;
               },
               [&] {
                   txtFields_KeyDown(indice, kTeclaEnter);
                   return true;
               }},
              manejar);
}

} // namespace articles
