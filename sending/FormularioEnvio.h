#pragma once

#include "EnvioMaestros.h"
#include "EstadoEnvio.h"

#include "platform/ado/Recordset.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class DB_Dll;

namespace envio {

// The sending form (FrmEnvioIMaestros) without its widgets: its boxes, options, toolbar
// flags and form-level state, and every operation of the form that need not touch a widget.
// The form shows this state after each call and hands it the operator's events; messages
// go through the operator service.
class FormularioEnvio {
public:
    // Indexes of the txtFields boxes.
    enum Caja { kTransmision = 0, kResponsable = 1, kUbicacion = 2, kLista = 3 };
    // The data field each box is bound to, by index.
    static const QStringList &camposDeDatos();

    struct CajaTexto {
        QString texto;
        bool habilitada = true;
        QString tag;
    };
    // The toolbar's enabled flags.
    struct Botones {
        bool Nuevo = true, Borrar = true, Reporte = true, Consulta = true, Planilla = true, Grabar = true,
             Cancelar = true, Cerrar = true;
    };
    // What the form does after a command.
    enum class Accion {
        Nada,
        FocoNumero, // focus to the number box, its text selected
        Cerrar,     // Form_Unload: the program ends
        PasarFoco,  // a box confirmed by a lookup: focus to the next one
    };

    explicit FormularioEnvio(DB_Dll &db);
    ~FormularioEnvio();

    // ---- state the form shows ----
    std::array<CajaTexto, 4> txtFields;
    bool ChkListas = false;
    bool chkPrecios = false;
    bool ChkMaestros = false;
    bool chkMail = false;
    bool ChkMovimientos = false;
    QString Dir1;                    // the package folder
    bool Frame2 = true;              // the frame with the options, the list and the folders
    bool carpetasHabilitadas = true; // the drive and folder lists
    Botones UtilNet1;
    QString txtLog;

    // ---- form-level variables ----
    bool PFinalizado = false; // a GRABAR ended with a package; never cleared here
    bool PrimeraActivacion = false;
    bool Grabando = false;
    bool ModoConsulta = false;
    int IndiceActual = 0;
    QString UnidadNegocio;
    QString TablaForm = QStringLiteral("MV_TRANSMISIONES");
    bool HuboError() const { return m_envio.HuboError; }
    EnvioMaestros &envio() { return m_envio; }
    // The box the last failed check wants the focus back in (-1: none).
    int focoPedido() const { return m_foco; }
    // The last sending's outcome.
    const ResumenEnvio &ultimoEnvio() const { return m_ultimo; }

    // Hears the end of every GRABAR: true when it built a package (PFinalizado set).
    void setAlTerminarGrabar(std::function<void(bool)> oyente) { m_alTerminar = std::move(oyente); }
    // Hears a sending start and end, and the form's new state before its closing message: the
    // window then shows the form locked, or free again.
    void setAlCambiarCorrida(std::function<void()> oyente) { m_alCambiar = std::move(oyente); }
    // Whether a finished sending tells the operator how it ended (not on the road, where
    // the reception goes on and says it).
    void setAvisarFin(bool avisar) { m_avisarFin = avisar; }
    void setVista(VistaEnvio *vista);

    // True while a sending runs: only its interruption is offered then.
    bool corriendo() const { return m_corriendo; }
    // The close box (Cerrar and Esc reach it through UtilNet1_click). Without a run the form
    // may close. During a run the operator is asked whether to interrupt it; on Yes the run
    // stops at its next row and cerrarAlTerminar() tells the window to unload the form once
    // it has stopped. Returns whether it may close now.
    bool puedeCerrar();
    bool cerrarAlTerminar() const { return m_cerrarAlTerminar; }
    // Stops the sending in progress at its next row (the reception form's interruption).
    void interrumpir();
    // Form_Unload's release of the form's recordset.
    void descargar();

    // Form_Load after start-up: the lookup's connection, Inicializa, the "RETAIL" options.
    // With "AUTO" as additional parameter it runs the unattended sending instead and returns
    // its outcome (the program then ends); otherwise nullopt.
    std::optional<ResumenEnvio> cargar();
    // Form_Activate: the incomplete-transmission check, once per loading.
    void activar();

    void Inicializa();
    bool AbrirRecordset(const QString &tablaActiva);
    void CampoValida(int indice);
    bool Datosvalidos();
    void DetalleOn(bool on);
    void VerRelacion() {}
    QString GeneraWhere() const { return QString(); }
    void Dir1_Change(const QString &carpeta);
    Accion UtilNet1_click(const QString &palabra);
    Accion ConsultarCampo();
    // The unattended sending (public for the form's load).
    ResumenEnvio GeneraAutomatica();
    // Stamps every unsent row with the number in the box (nothing calls it).
    void MarcarTransmitidos();
    // The SQL script runner and its file opener.
    void VerVistas(const QString &ruta);
    void Ejecutar2(const QString &ruta, bool mostrar);

private:
    class Vista;
    void MostrarRegistro();
    void EnviarMaestros();
    void grabar();
    void aviso(const QString &mensaje);
    void avisoFin();
    void cambioDeCorrida();

    DB_Dll &m_db;
    std::unique_ptr<Vista> m_vista;
    EnvioMaestros m_envio;
    ado::Recordset m_rsTransmisiones;
    ResumenEnvio m_ultimo;
    int m_foco = -1;
    std::function<void(bool)> m_alTerminar;
    std::function<void()> m_alCambiar;
    bool m_avisarFin = true;
    bool m_corriendo = false;
    bool m_cerrarAlTerminar = false;
    bool m_reiniciado = false; // the last GRABAR left the form ready for the next number
};

} // namespace envio
