#pragma once

#include "Importe.h"

#include "platform/RuntimeError.h"
#include "platform/ado/Recordset.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace articles {

struct ArticuloMaestro;

// Executable name of the suite's purchases program: running under it, the price rows the
// form writes are purchase lists ("C") instead of sale lists ("V"). Empty by default.
extern QString gProgramaCompras;

// A text box of the form: its data field, Tag (the view its F5 lookup reads), length and
// what the operator sees. DataChanged is the changed mark of the box events.
struct CajaTexto {
    QString DataField;
    QString Tag;
    int MaxLength = 0; // 0: no limit
    int TabIndex = 0;
    QString Text;
    QString ToolTipText;
    bool Enabled = true;
    bool Visible = true;
    bool DataChanged = false;
};

// A label bound to a data field (the description labels lblDesc).
struct Etiqueta {
    QString DataField;
    QString Tag;
    QString Caption;
    QString ToolTipText;
    bool Visible = true;
};

enum class Marca { Unchecked = 0, Checked = 1, Grayed = 2 };

// A control of the form that the model asks the focus for.
struct Control {
    enum class Tipo { txtFields, TxtDesc, Boton };
    Tipo tipo = Tipo::txtFields;
    int indice = 0;
    bool operator==(const Control &) const = default;
};

// The article form FrmArtAlta without its widgets: the boxes, labels and flags, the
// public variables a host reads, the commands and the box events, field validation, price
// calculation, registration and update. The Qt form shows this state and forwards its
// events; tests drive it without a window. Messages go through the operator service.
class FrmArtAltaModelo : public QObject {
    Q_OBJECT

public:
    // Box indices of txtFields.
    enum Caja : int {
        kIdArticulo = 0,
        kDescripcion = 1,
        kPrecio = 2,
        kIdUnidad = 3,
        kIdRubro = 4,
        kIdTipo = 5,
        kIdFamilia = 6,
        kCosto = 7,
        kCodigo = 8,
        kTasaIVA = 9,
        kUtl_P1 = 10,
        kCodigoArtProveedor = 11,
        kCuentaProveedor = 12,
        kRutaImagen = 13,
    };
    // Colours as the platform numbers them (blue in the high byte, red in the low one).
    static constexpr int kBlanco = 0xFFFFFF;

    explicit FrmArtAltaModelo(QObject *parent = nullptr);
    ~FrmArtAltaModelo() override;

    // ---- the host's interface ----
    bool pAceptar = false;      // the last "[F2] Grabar" saved the article
    QString CodArtNuevo;        // in: a code for PonerCodigo; out: the article saved or shown last
    QString pIdLista;           // the price list that saving writes
    bool DesdeConsulta = false; // stay open after each save; no banner

    // ---- controls ----
    QString Caption = QStringLiteral("Articulos");
    QList<CajaTexto> txtFields;
    QList<CajaTexto> TxtDesc;
    QList<Etiqueta> lblDesc;
    Marca ChkExento = Marca::Unchecked; // ChkFields(0), data field "Exento"
    bool Label1Visible = true;          // the banner
    QString Label11Caption = QStringLiteral("Precio de venta....");
    bool lbRubro4Visible = true; // "Utilidad"
    bool lblPreciosIvaVisible = false;
    QString LblProceso = QStringLiteral("...");
    int LblProcesoBackColor = kBlanco;
    bool visible = false; // shown by the host, hidden by Grabar or Cancelar

    // ---- public operations ----
    void Form_Load(); // once; PonerCodigo and the commands load the form first
    bool cargado() const { return m_cargado; }
    void Inicializa();
    void PonerCodigo();
    void EnfocaProveedor();
    void CampoValida(int indice);
    void AltaArticulos();
    void ActualizarDatos();
    // Asks the master-article web service (setting "WSArticulos") for the bar code: returns
    // the description and fills the category, brand and unit codes and labels (ObtenerDescMaestra.cpp).
    virtual QString ObtenerDescMaestra(const QString &codigo, bool &pError, QString &mensaje);
    void AsignarDatos();
    void VerRelacion();

    // ---- commands and keys (VB key codes) ----
    void CmdAlta_Click();
    void CmdCancelar_Click();
    void CmdConsultar_Click();
    void CmdMaestro_Click();
    void CmdGoogle_Click();
    void Form_KeyDown(int tecla);
    void txtFields_GotFocus(int indice);
    void txtFields_LostFocus(int indice);
    void txtFields_KeyDown(int indice, int tecla);
    // The character a key press leaves in the box (0: none).
    QChar txtFields_KeyPress(int indice, QChar caracter);
    void txtFields_Validate(int indice);
    // The operator edited a box's text.
    void txtFields_Change(int indice, const QString &texto);

    // ---- form state, for the view and the tests ----
    bool error() const { return m_error; }
    bool grabando() const { return m_grabando; }
    bool articuloNuevo() const { return m_nuevo; }
    bool articuloExistente() const { return m_existente; }
    void setArticuloNuevo(bool nuevo) { m_nuevo = nuevo; }
    void setArticuloExistente(bool existente) { m_existente = existente; }
    Importe precioRecordado() const { return m_precioRecordado; }
    Importe costoRecordado() const { return m_costoRecordado; }
    Importe tasaPorOmision() const { return m_tasaPorOmision; }
    int cajaActual() const { return m_cajaActual; }
    QString carpetaImagenes() const { return m_carpetaImagenes; }
    // The boxes' data fields, in index order (gControles.IndiceCampo's array).
    QStringList camposDeDatos(const QList<CajaTexto> &cajas) const;
    int indiceCaja(const QString &campo) const;

    // The search address of the "Google" command for a description: the words joined by
    // "+", each percent-encoded.
    static QString direccionBusqueda(const QString &descripcion);

signals:
    void focoPedido(const articles::Control &control);
    void pasarFocoPedido(); // the focus moves on from the focused control
    void ocultarPedido();
    void repintar(); // a label changed while a command runs
    // The "Google" command: an address for the desktop to open.
    void abrirDireccion(const QString &direccion);

protected:
    // ---- the article picture (built with the picture part): none here ----
    virtual bool hayImagen() const { return false; }
    virtual void quitarImagen() {}
    virtual void DescargarImagen() {}
    virtual void mostrarImagenDelArticulo() {}
    virtual bool guardarImagen(const QString &) { return false; }
    virtual void GenerarMiniaturas(const QString &, const QString &, const QString &) {}

private:
    struct Alta;
    struct Actualizacion;

    void asegurarCarga();
    void enfocar(Control control);
    void ocultar();
    QString texto(const QString &campo) const;
    void ponerTexto(const QString &campo, const QString &texto);
    QString descripcionDe(const QString &campo) const;
    void ponerDescripcion(const QString &campo, const QString &texto);
    void ponerEtiqueta(const QString &campo, const QString &texto);
    void copiarEtiquetasADescripciones();
    void olvidarArticuloAnterior();
    void limpiarArticulo();
    void ConsultarCampo();
    void ponerArticuloMaestro(ArticuloMaestro &articulo);

    // field validation, one rule per field (CampoValida.cpp)
    void validarCodigo(const QString &valor);
    void validarUtilidad(const QString &campo, const QString &valor);
    void validarTasa(const QString &valor);
    void validarImporte(const QString &campo, const QString &valor, Importe &recordado);
    void validarCodigoLookup(int indice, const QString &valor);
    void validarCuentaProveedor(const QString &valor);
    void validarArticuloProveedor(const QString &valor);
    void CalcularPrecio(const QString &campo, bool cambioUtilidad);
    // The checks a save repeats before it writes anything; false after the message.
    bool entradasValidas();
    // An update needs the stored article it names; false after the message.
    bool articuloAActualizar();
    // Where the picture shown is saved for the article `codigo` ("" when there is none, or
    // when the code cannot name a file: the operator is told the picture is not kept).
    QString rutaDeImagen(const QString &codigo);
    QString mensajeTasa(const QString &valor) const;
    // Why an amount box's text is no amount, in the form's words ("" when it is one).
    QString mensajeImporte(int indice) const;
    QString mensajeCuenta(QString &codigo);

    bool m_cargado = false;
    bool m_error = false;
    bool m_grabando = false;
    bool m_retail = false;
    bool m_clase2ConIva = false;
    bool m_maestroConIva = false;
    bool m_nuevo = false;
    bool m_existente = false;
    Importe m_tasaPorOmision;
    Importe m_precioRecordado;
    Importe m_costoRecordado;
    QString m_clasePrecioVenta;
    QString m_carpetaImagenes;
    QString m_codigoConfirmado; // the bar code last confirmed since Inicializa (trimmed)
    std::int16_t m_cajaActual = 0;
    QString m_mensaje;                   // the pending message of the field validation
    std::optional<Control> m_focoPedido; // the last control the model asked the focus for
    ado::Recordset m_rsArticulo;
    ado::Recordset m_rsConsulta;
};

} // namespace articles
