#pragma once

#include "articles/FrmArtAltaModelo.h"

#include <QDialog>
#include <QList>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace articles::ui {

// The article window "Articulos": the boxes, labels and buttons of the form with their
// names, over a FrmArtAltaModelo that holds the state and does the work. The window shows
// the model and forwards every key, focus change, edit and click to it; it sees every key
// before the focused control (F2 saves, Esc cancels, F5 looks up, F7 asks the master
// base) and hides itself when the model asks, which ends a modal display.
//
// A host sets the public variables on modelo() (pIdLista, DesdeConsulta, CodArtNuevo and
// PonerCodigo) before showing it, shows it modally with exec() and reads pAceptar and
// CodArtNuevo afterwards.
class FrmArtAlta : public QDialog {
    Q_OBJECT
public:
    // Without a model the window makes its own, with the article picture (ModeloConImagen).
    explicit FrmArtAlta(std::unique_ptr<FrmArtAltaModelo> modelo = nullptr, QWidget *parent = nullptr);
    ~FrmArtAlta() override;

    FrmArtAltaModelo &modelo() { return *m_modelo; }
    // Places the host's CodArtNuevo in the bar-code box (loading the form first).
    void PonerCodigo();

    QList<QLineEdit *> txtFields;
    QList<QLineEdit *> TxtDesc;
    QList<QLabel *> lblDesc;
    QList<QCheckBox *> ChkFields;
    QPushButton *CmdAlta = nullptr;
    QPushButton *CmdConsultar = nullptr;
    QPushButton *CmdCancelar = nullptr;
    QPushButton *CmdMaestro = nullptr;
    QPushButton *CmdPegar = nullptr;
    QPushButton *CmdBuscar1 = nullptr;
    QPushButton *CmdGoogle = nullptr;
    QPushButton *CmdQuitar1 = nullptr;
    QLabel *PicLogo = nullptr;
    QLabel *imglogo = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QList<QLabel *> Label4;
    QList<QLabel *> Label6;
    QList<QLabel *> lbRubro;
    QLabel *lblLabels8 = nullptr; // lblLabels(8) "Unidad Medida:"
    QLabel *lblPreciosIva = nullptr;
    QLabel *LblProceso = nullptr;
    QLabel *lblMensaje = nullptr;
    QGroupBox *FramAlta = nullptr;

    // Shows the model's state in the controls.
    void sincronizar();

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void crearControles();
    void distribuir();
    void conectar();
    void ordenDeTabulacion();
    bool teclaDelFormulario(QKeyEvent *event);
    bool eventoDeCaja(int indice, QEvent *event);
    void enfocar(const Control &control);
    void pintarFoco(QLineEdit *enfocada);

    std::unique_ptr<FrmArtAltaModelo> m_modelo;
    QLineEdit *m_cajaQueSeDeja = nullptr; // the box whose leaving is being validated
    bool m_retenerFoco = false;           // its validation asked to keep the focus in it
};

} // namespace articles::ui
