#pragma once

#include "db/FrmAccesoLogic.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;
class QToolButton;

// "Control de Acceso": the connection dialog. The logic lives in FrmAccesoLogic; this
// form copies the boxes in and out and forwards its events.
class frmAcceso : public QDialog {
    Q_OBJECT
public:
    explicit frmAcceso(QWidget *parent = nullptr);

    // Installs this dialog as the one DB_Dll::OpenServerADODB shows.
    static void instalar();

    FrmAccesoLogic &logica() { return m_logica; }
    bool Aceptar() const { return m_logica.Aceptar; }
    // Form_Load: fills the list; the caller then writes its values with asignar().
    void cargar();
    void asignar(const DB_Dll::DatosAcceso &datos);
    DB_Dll::DatosAcceso datos();

    // Controls, named as the system names them.
    QLineEdit *TxtUserPassword = nullptr;
    QComboBox *CboPlataformaDB = nullptr;
    QPushButton *bcAceptar = nullptr;
    QPushButton *CmdRegistrar = nullptr;
    QPushButton *bcCancelar = nullptr;
    QPushButton *CmdLineaComando = nullptr;
    QGroupBox *framAcceso = nullptr;
    QListView *lstBases = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *TxtPuerto = nullptr;
    QLineEdit *TxtDbName = nullptr;
    QLineEdit *TxtServidor = nullptr;
    QLineEdit *TxtUserId = nullptr;
    QToolButton *cmdBuscarArchivo = nullptr; // picks a SQLite file

private:
    void construir();
    void construirLista();
    void disponer();
    void conectar();
    void aLogica();
    void desdeLogica();
    void refrescarLista();
    void plataformaCambiada(int index);
    void bcAceptar_Click();
    void bcCancelar_Click();
    void CmdRegistrar_Click();
    void CmdLineaComando_Click();
    void lstBases_Click(int row);
    void lstBases_DblClick(int row);
    void buscarArchivo();

    FrmAccesoLogic m_logica;
    QStringListModel *m_modelo = nullptr;
};
