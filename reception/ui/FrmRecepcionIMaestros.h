#pragma once

#include "reception/FormularioRecepcion.h"

#include <QList>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace toolbar {
class UtilNet;
}

// The reception form, the program's start-up form ("Recepción de Maestros"): the window of
// FormularioRecepcion, whose state it draws and to which it forwards every event. Its
// controls carry the names the form's logic uses.
class FrmRecepcionIMaestros : public QWidget, private recepcion::VistaFormulario {
    Q_OBJECT

public:
    explicit FrmRecepcionIMaestros(DB_Dll &db, QWidget *parent = nullptr);
    ~FrmRecepcionIMaestros() override;

    recepcion::FormularioRecepcion &logica() { return m_logica; }
    // Form_Load: prepares a new reception (start-up has run before).
    void cargar();
    // Ends the program (the unload's last step). Default: the application's event loops end.
    static void setTerminarPrograma(std::function<void()> terminar);

    // The controls.
    toolbar::UtilNet *UtilNet1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QList<QLineEdit *> txtFields;
    QRadioButton *optZIP = nullptr;
    QGroupBox *frmZIP = nullptr;
    QPushButton *CmdBuscar = nullptr;
    QLabel *lblActualizando = nullptr;
    QLabel *lblInserts = nullptr;
    QLabel *lblUpdates = nullptr;
    QLabel *lblErrores = nullptr;
    QRadioButton *optDB = nullptr;
    QGroupBox *FrmDb = nullptr;
    QComboBox *CmbEmpresas = nullptr;
    QCheckBox *chkPrecios = nullptr;
    QCheckBox *ChkMovimientos = nullptr;
    QCheckBox *ChkMaestros = nullptr;
    QCheckBox *ChkSoloAltas = nullptr;
    QProgressBar *PBImportar = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // VistaFormulario
    void refrescar() override;
    void enfocar(int indice, int inicio, int largo) override;
    void pasarFoco(int indice) override;
    void terminarPrograma() override;
    void atender() override;

    void construir();
    QWidget *construirCajas();
    QWidget *construirZip();
    QWidget *construirBase();
    void conectar();
    void ordenDeTabulacion();
    void pintarCaja(int indice, bool conFoco);
    bool teclaDeCaja(int indice, QKeyEvent *event);

    recepcion::FormularioRecepcion m_logica;
    bool m_refrescando = false;
    bool m_cerrando = false;
};
