#pragma once

#include "sending/EstadoEnvio.h"
#include "sending/FormularioEnvio.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeView;

namespace toolbar {
class UtilNet;
}

// "Envío de Maestros": the form from which a transmission package is built out of the
// database the program is connected to. Its state and operations live in
// envio::FormularioEnvio; this class shows them and hands it the operator's events. The
// reception form drives it on its road from another company's database (EnvioDesdeEmpresa).
class FrmEnvioIMaestros : public QWidget, private envio::VistaEnvio {
    Q_OBJECT

public:
    explicit FrmEnvioIMaestros(QWidget *parent = nullptr);
    ~FrmEnvioIMaestros() override;

    // Form_Load. With `iniciarSistema`, start-up runs first on the connection already open
    // (the configuration of the connected database, one more access row). With "AUTO" the
    // unattended sending runs instead, and its outcome is returned: the program then ends
    // without the form ever shown.
    std::optional<envio::ResumenEnvio> Form_Load(bool iniciarSistema);

    // The command dispatcher, public so that a caller can run any command word.
    void UtilNet1_click(const QString &BTag);
    // The first activation's check for an incomplete sending (once per loading); showing the
    // form runs it from the event loop, a caller that drives a sending runs it first.
    void Form_Activate();

    envio::FormularioEnvio &logica() { return *m_logica; }
    bool PFinalizado() const { return m_logica->PFinalizado; }
    void setPFinalizado(bool valor) { m_logica->PFinalizado = valor; }
    // The controls a caller writes before it drives a sending.
    void setResponsable(const QString &texto);
    void setCarpeta(const QString &carpeta); // Dir1.Path
    QString carpeta() const { return m_logica->Dir1; }
    void setOpciones(bool correo, bool maestros, bool movimientos, bool precios);

    // Replaces Finalizar when the program ends from this form while another form waits for
    // it (the road from another company's database puts the run's own settings and
    // connection back and closes the run's access row, but releases nothing the waiting
    // form still uses).
    void setAlTerminar(std::function<void()> accion) { m_alTerminar = std::move(accion); }
    // Ends the program (Form_Unload's last step). Default: the application's event loops end.
    static void setTerminarPrograma(std::function<void()> terminar);
    // True once the form was closed.
    bool cerrado() const { return m_cerrando; }

    // The controls.
    toolbar::UtilNet *UtilNet1 = nullptr;
    std::array<QLineEdit *, 4> txtFields{};
    QCheckBox *ChkListas = nullptr;
    QCheckBox *chkPrecios = nullptr;
    QCheckBox *ChkMaestros = nullptr;
    QCheckBox *chkMail = nullptr;
    QCheckBox *ChkMovimientos = nullptr;
    QGroupBox *Frame2 = nullptr;
    QComboBox *Drive1 = nullptr;
    QTreeView *Dir1 = nullptr;
    QLabel *lblActualizando = nullptr;
    QLabel *pbexportar = nullptr;
    QPlainTextEdit *txtLog = nullptr;

Q_SIGNALS:
    // Every GRABAR ends with it: true when a package was built (PFinalizado set).
    void envioTerminado(bool hecho);
    // The form was closed: the program ends.
    void descargado();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *objeto, QEvent *event) override;

private:
    // VistaEnvio: the run's progress on the form.
    void actualizando(const QString &texto) override;
    void avance(double porcentaje) override;
    void registro(const QString &texto) override;
    void atender() override;

    void crearControles();
    QWidget *crearMarcoNumero();
    QWidget *crearMarcoDestino();
    void leer();
    void refrescar();
    void ejecutar(envio::FormularioEnvio::Accion accion, int caja);
    void confirmarCaja(int caja);
    void Form_Unload();
    void Dir1_Change();
    void Drive1_Change();

    std::unique_ptr<envio::FormularioEnvio> m_logica;
    QFileSystemModel *m_carpetas = nullptr;
    bool m_refrescando = false;
    bool m_cerrando = false;
    std::function<void()> m_alTerminar;
};
