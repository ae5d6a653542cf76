#pragma once

#include "RecepcionMaestros.h"

#include "platform/ado/Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>

class DB_Dll;

namespace recepcion {

// The boxes of the reception form (its control array txtFields), by index.
enum IndiceCaja : int { kTransmision = 0, kResponsable = 1, kUbicacion = 2, kFechaHasta = 3, kFechaDesde = 4 };

struct Caja {
    QString campo; // the data field the box is bound to
    QString tag;
    QString texto;
    bool habilitada = true;
    bool visible = true;
    int largoMaximo = 0; // 0: no limit
};

// The enabled flags of the form's toolbar UtilNet1.
struct BotonesBarra {
    bool nuevo = true, borrar = true, reporte = true, consultar = true;
    bool planilla = true, cancelar = true, grabar = true, cerrar = true;
};

// What the form's window does for the logic: draw the state again, move the focus, end
// the program. It also shows the reception's progress (VistaRecepcion).
class VistaFormulario : public VistaRecepcion {
public:
    virtual void refrescar() {}
    // Focus to box `indice`; a selection when `largo` >= 0.
    virtual void enfocar(int indice, int inicio = -1, int largo = -1)
    {
        Q_UNUSED(indice)
        Q_UNUSED(inicio)
        Q_UNUSED(largo)
    }
    // Focus to the control after box `indice` (the confirm key).
    virtual void pasarFoco(int indice) { Q_UNUSED(indice) }
    // Ends the program (closing the form, or after the calendar question).
    virtual void terminarPrograma() {}
};

// The reception form FrmRecepcionIMaestros without its widgets: its boxes, options, company
// list, check boxes, labels and toolbar flags, its form-level variables, and its event
// handlers and routines. The window (reception_ui) draws this state and forwards its events.
class FormularioRecepcion {
public:
    explicit FormularioRecepcion(DB_Dll &db);
    ~FormularioRecepcion();
    FormularioRecepcion(const FormularioRecepcion &) = delete;
    FormularioRecepcion &operator=(const FormularioRecepcion &) = delete;
    void setVista(VistaFormulario *vista);
    void setMostrarErrores(std::function<void(const QString &ruta)> mostrar);

    // ---- controls ----
    QList<Caja> txtFields;
    BotonesBarra UtilNet1;
    bool optZIP = true;
    bool optDB = false;
    bool frmZIPEnabled = false, FrmDbEnabled = false, optZIPEnabled = false, optDBEnabled = false;
    QStringList CmbEmpresasItems;
    QString CmbEmpresasTexto;
    bool chkPrecios = false, ChkMovimientos = false, ChkMaestros = false, ChkSoloAltas = false;
    QString lblActualizando = QStringLiteral("..."), lblInserts = QStringLiteral("..."),
            lblUpdates = QStringLiteral("..."), lblErrores = QStringLiteral("...");
    int PBImportarValor = 0;
    int PBImportarMaximo = 29;
    double PBImportarTabla = 0; // the share of the table being loaded: the bar moves with its rows

    // ---- form-level variables ----
    ado::Recordset rsTabla;
    QString NombreTabla = QStringLiteral("MV_TRANSMISIONES");
    QString ArchivoBases;
    int IndiceActual = 0;
    bool Grabando = false;
    bool ModoConsulta = false;
    RecepcionMaestros &recepcion() { return m_recepcion; }
    EstadoRecepcion &estado() { return m_recepcion.estado; }

    // ---- event handlers ----
    void Form_Load();
    void Form_Unload();
    void UtilNet1_click(const QString &palabra);
    void CmdBuscar_Click() { UtilNet1_click(QStringLiteral("CONSULTAR")); }
    void CmbEmpresas_GotFocus();
    void optDB_Click();
    void optZIP_Click();
    void txtFields_GotFocus(int indice);
    void txtFields_LostFocus(int indice);
    void txtFields_KeyDown(int indice, int keyCode);
    // The key to type (0: none) for a typed character code.
    int txtFields_KeyPress(int indice, int keyAscii);
    void txtFields_MouseDown(int indice, int boton);

    // ---- routines ----
    void CargarBases();
    void CampoValida(int indice);
    bool Datosvalidos();
    void AbrirRecordset(const QString &tablaActiva);
    void Inicializa();
    void DetalleOn(bool on);
    void VerRelacion() {}
    // Background colour of a box (0xRRGGBB): cyan with the focus, white without it, light
    // cyan for the path box.
    unsigned colorCaja(int indice, bool conFoco) const;
    int IndiceCampo(const QString &campo) const;
    // What the last GRABAR received (its outcome and counters).
    const ResumenRecepcion &ultimaRecepcion() const { return m_ultima; }
    // True while the form waits for the sending of another company's database.
    bool esperandoEnvio() const { return m_esperandoEnvio; }
    // True while a GRABAR receives a package or waits for the sending: the window then offers
    // only the interruption (Cerrar, Esc, the close box).
    bool corriendo() const { return m_corriendo; }
    // The window's close box. Without a run the form may close (the caller then unloads it).
    // During a run the operator is asked whether to interrupt it; on Yes the run stops at its
    // next row and the form unloads once it has stopped. Returns whether it may close now.
    bool puedeCerrar();

private:
    class Progreso;
    void grabar();
    bool desdeBaseDeDatos(const QString &carpeta);
    void ConsultarCampo();
    void MostrarRegistro();
    void avisoFinal(const ResumenRecepcion &r);
    void refrescar();
    void interrumpir();

    DB_Dll &m_db;
    RecepcionMaestros m_recepcion;
    VistaFormulario m_vistaNula;
    VistaFormulario *m_vista = &m_vistaNula;
    std::unique_ptr<Progreso> m_progreso;
    ResumenRecepcion m_ultima;
    bool m_esperandoEnvio = false;
    bool m_corriendo = false;
    bool m_cerrarAlTerminar = false; // the operator interrupted the run to close the form
};

} // namespace recepcion
