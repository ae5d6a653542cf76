#include "FrmRecepcionIMaestros.h"

#include "toolbar/VbKeyCode.h"
#include "toolbar/ui/UtilNet.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using recepcion::kFechaDesde;
using recepcion::kFechaHasta;
using recepcion::kResponsable;
using recepcion::kTransmision;
using recepcion::kUbicacion;

namespace {

std::function<void()> &terminar()
{
    static std::function<void()> f = [] { QCoreApplication::exit(0); };
    return f;
}

} // namespace

void FrmRecepcionIMaestros::setTerminarPrograma(std::function<void()> accion)
{
    terminar() = accion ? std::move(accion) : [] { QCoreApplication::exit(0); };
}

FrmRecepcionIMaestros::FrmRecepcionIMaestros(DB_Dll &db, QWidget *parent) : QWidget(parent), m_logica(db)
{
    setObjectName(QStringLiteral("FrmRecepcionIMaestros"));
    setWindowTitle(QStringLiteral("Recepción de Maestros"));
    construir();
    conectar();
    ordenDeTabulacion();
    m_logica.setVista(this);
}

FrmRecepcionIMaestros::~FrmRecepcionIMaestros() { m_logica.setVista(nullptr); }

void FrmRecepcionIMaestros::cargar() { m_logica.Form_Load(); }

// ------------------------------------------------------------------ layout

void FrmRecepcionIMaestros::construir()
{
    auto *layout = new QVBoxLayout(this);
    UtilNet1 = new toolbar::UtilNet(this);
    UtilNet1->setObjectName(QStringLiteral("UtilNet1"));
    layout->addWidget(UtilNet1);
    layout->addWidget(construirCajas());
    optZIP = new QRadioButton(QStringLiteral("Toma los datos desde un archivo .ZIP"), this);
    optZIP->setObjectName(QStringLiteral("optZIP"));
    optZIP->setChecked(true);
    layout->addWidget(optZIP);
    layout->addWidget(construirZip());
    optDB = new QRadioButton(QStringLiteral("Toma los datos desde una base de datos"), this);
    optDB->setObjectName(QStringLiteral("optDB"));
    layout->addWidget(optDB);
    layout->addWidget(construirBase());
    ChkSoloAltas = new QCheckBox(QStringLiteral("&Permitir solo altas (No actualiza)"), this);
    ChkSoloAltas->setObjectName(QStringLiteral("ChkSoloAltas"));
    layout->addWidget(ChkSoloAltas);
    PBImportar = new QProgressBar(this);
    PBImportar->setObjectName(QStringLiteral("PBImportar"));
    layout->addWidget(PBImportar);
}

QWidget *FrmRecepcionIMaestros::construirCajas()
{
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(Frame1);
    for (int i = 0; i < m_logica.txtFields.size(); ++i) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        box->setProperty("DataField", m_logica.txtFields[i].campo);
        box->installEventFilter(this);
        txtFields << box;
    }
    grid->addWidget(new QLabel(QStringLiteral("Recepción  N°:"), Frame1), 0, 0);
    grid->addWidget(txtFields[kTransmision], 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Responsable:"), Frame1), 1, 0);
    grid->addWidget(txtFields[kResponsable], 1, 1);
    return Frame1;
}

QWidget *FrmRecepcionIMaestros::construirZip()
{
    frmZIP = new QGroupBox(this);
    frmZIP->setObjectName(QStringLiteral("frmZIP"));
    auto *grid = new QGridLayout(frmZIP);
    grid->addWidget(new QLabel(QStringLiteral("Ruta de Almacenamiento:"), frmZIP), 0, 0);
    txtFields[kUbicacion]->setParent(frmZIP);
    grid->addWidget(txtFields[kUbicacion], 0, 1);
    CmdBuscar = new QPushButton(QStringLiteral("..."), frmZIP);
    CmdBuscar->setObjectName(QStringLiteral("CmdBuscar"));
    CmdBuscar->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(CmdBuscar, 0, 2);
    QLabel **labels[] = {&lblActualizando, &lblInserts, &lblUpdates, &lblErrores};
    const char *names[] = {"lblActualizando", "lblInserts", "lblUpdates", "lblErrores"};
    for (int i = 0; i < 4; ++i) {
        *labels[i] = new QLabel(QStringLiteral("..."), frmZIP);
        (*labels[i])->setObjectName(QString::fromLatin1(names[i]));
        grid->addWidget(*labels[i], i + 1, 0, 1, 3);
    }
    return frmZIP;
}

QWidget *FrmRecepcionIMaestros::construirBase()
{
    FrmDb = new QGroupBox(this);
    FrmDb->setObjectName(QStringLiteral("FrmDb"));
    auto *grid = new QGridLayout(FrmDb);
    grid->addWidget(new QLabel(QStringLiteral("Seleccionar Empresa Origen"), FrmDb), 0, 0);
    CmbEmpresas = new QComboBox(FrmDb);
    CmbEmpresas->setObjectName(QStringLiteral("CmbEmpresas"));
    CmbEmpresas->setEditable(true);
    CmbEmpresas->installEventFilter(this);
    grid->addWidget(CmbEmpresas, 0, 1);
    // The date boxes and ChkMaestros exist hidden; nothing shows them.
    for (int i : {kFechaDesde, kFechaHasta}) {
        txtFields[i]->setParent(FrmDb);
        txtFields[i]->hide();
    }
    chkPrecios = new QCheckBox(QStringLiteral("&Transmitir Precios"), FrmDb);
    chkPrecios->setObjectName(QStringLiteral("chkPrecios"));
    ChkMovimientos = new QCheckBox(QStringLiteral("&Retransmitir Movimientos"), FrmDb);
    ChkMovimientos->setObjectName(QStringLiteral("ChkMovimientos"));
    ChkMaestros = new QCheckBox(QStringLiteral("&Retransmitir Archivos Maestros"), FrmDb);
    ChkMaestros->setObjectName(QStringLiteral("ChkMaestros"));
    ChkMaestros->hide();
    grid->addWidget(chkPrecios, 1, 0, 1, 2);
    grid->addWidget(ChkMovimientos, 2, 0, 1, 2);
    return FrmDb;
}

// The logic holds the form's state: what the operator types or ticks reaches it at once, and
// the window only draws it back (refrescar). Nothing is read back from the widgets later, so
// a focus change can never overwrite what the logic has just set.
void FrmRecepcionIMaestros::conectar()
{
    connect(UtilNet1, &toolbar::UtilNet::click, this,
            [this](const QString &palabra) { m_logica.UtilNet1_click(palabra); });
    connect(CmdBuscar, &QPushButton::clicked, this, [this] { m_logica.CmdBuscar_Click(); });
    connect(optZIP, &QRadioButton::clicked, this, [this] { m_logica.optZIP_Click(); });
    connect(optDB, &QRadioButton::clicked, this, [this] { m_logica.optDB_Click(); });
    for (int i = 0; i < txtFields.size(); ++i)
        connect(txtFields[i], &QLineEdit::textEdited, this,
                [this, i](const QString &texto) { m_logica.txtFields[i].texto = texto; });
    connect(CmbEmpresas, &QComboBox::currentTextChanged, this, [this](const QString &texto) {
        if (!m_refrescando)
            m_logica.CmbEmpresasTexto = texto;
    });
    const std::pair<QCheckBox *, bool recepcion::FormularioRecepcion::*> casillas[] = {
        {chkPrecios, &recepcion::FormularioRecepcion::chkPrecios},
        {ChkMovimientos, &recepcion::FormularioRecepcion::ChkMovimientos},
        {ChkMaestros, &recepcion::FormularioRecepcion::ChkMaestros},
        {ChkSoloAltas, &recepcion::FormularioRecepcion::ChkSoloAltas}};
    for (const auto &[casilla, valor] : casillas)
        connect(casilla, &QCheckBox::toggled, this, [this, v = valor](bool marcada) {
            if (!m_refrescando)
                m_logica.*v = marcada;
        });
}

// Reading order: the number, the person, each source with its box, the check boxes.
void FrmRecepcionIMaestros::ordenDeTabulacion()
{
    const QList<QWidget *> orden = {txtFields[kTransmision],
                                    txtFields[kResponsable],
                                    optZIP,
                                    txtFields[kUbicacion],
                                    optDB,
                                    CmbEmpresas,
                                    chkPrecios,
                                    ChkMovimientos,
                                    ChkSoloAltas};
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden[i - 1], orden[i]);
}

// During a run only its interruption is offered: every box, option and button but Cerrar is
// locked, whatever the detail's state.
void FrmRecepcionIMaestros::refrescar()
{
    m_refrescando = true;
    const recepcion::FormularioRecepcion &f = m_logica;
    const bool libre = !f.corriendo();
    for (int i = 0; i < txtFields.size(); ++i) {
        if (txtFields[i]->text() != f.txtFields[i].texto)
            txtFields[i]->setText(f.txtFields[i].texto);
        txtFields[i]->setEnabled(libre && f.txtFields[i].habilitada);
        const int largo = f.txtFields[i].largoMaximo > 0 ? f.txtFields[i].largoMaximo : 32767;
        if (txtFields[i]->maxLength() != largo)
            txtFields[i]->setMaxLength(largo); // it would drop the selection
        pintarCaja(i, txtFields[i]->hasFocus());
    }
    const recepcion::BotonesBarra b =
        libre ? f.UtilNet1 : recepcion::BotonesBarra{false, false, false, false, false, false, false, true};
    UtilNet1->setNuevoEnabled(b.nuevo);
    UtilNet1->setBorrarEnabled(b.borrar);
    UtilNet1->setReporteEnabled(b.reporte);
    UtilNet1->setConsultaEnabled(b.consultar);
    UtilNet1->setPlanillaEnabled(b.planilla);
    UtilNet1->setCancelarEnabled(b.cancelar);
    UtilNet1->setGrabarEnabled(b.grabar);
    UtilNet1->setCerrarEnabled(b.cerrar);
    optZIP->setChecked(f.optZIP);
    optDB->setChecked(f.optDB);
    frmZIP->setEnabled(libre && f.frmZIPEnabled);
    FrmDb->setEnabled(libre && f.FrmDbEnabled);
    optZIP->setEnabled(libre && f.optZIPEnabled);
    optDB->setEnabled(libre && f.optDBEnabled);
    ChkSoloAltas->setEnabled(libre);
    for (const auto &[casilla, valor] : {std::pair{chkPrecios, f.chkPrecios},
                                         {ChkMovimientos, f.ChkMovimientos},
                                         {ChkMaestros, f.ChkMaestros},
                                         {ChkSoloAltas, f.ChkSoloAltas}})
        casilla->setChecked(valor);
    QStringList items;
    for (int i = 0; i < CmbEmpresas->count(); ++i)
        items << CmbEmpresas->itemText(i);
    if (items != f.CmbEmpresasItems) {
        CmbEmpresas->clear();
        CmbEmpresas->addItems(f.CmbEmpresasItems);
    }
    if (CmbEmpresas->currentText() != f.CmbEmpresasTexto)
        CmbEmpresas->setCurrentText(f.CmbEmpresasTexto);
    lblActualizando->setText(f.lblActualizando);
    lblInserts->setText(f.lblInserts);
    lblUpdates->setText(f.lblUpdates);
    lblErrores->setText(f.lblErrores);
    // In hundredths of a table, so that a long table moves the bar too.
    PBImportar->setRange(0, f.PBImportarMaximo * 100);
    PBImportar->setValue(std::min(f.PBImportarMaximo * 100, f.PBImportarValor * 100 + int(f.PBImportarTabla * 100.0)));
    m_refrescando = false;
}

// The colour goes to the enabled look only: a locked box keeps the disabled look.
void FrmRecepcionIMaestros::pintarCaja(int indice, bool conFoco)
{
    const unsigned rgb = m_logica.colorCaja(indice, conFoco);
    QPalette paleta = txtFields[indice]->palette();
    const QColor color(QRgb(0xFF000000u | rgb));
    paleta.setColor(QPalette::Active, QPalette::Base, color);
    paleta.setColor(QPalette::Inactive, QPalette::Base, color);
    txtFields[indice]->setPalette(paleta);
}

// The focus moves only once the widgets show the logic's state (which boxes are enabled).
void FrmRecepcionIMaestros::enfocar(int indice, int inicio, int largo)
{
    refrescar();
    if (indice < 0 || indice >= txtFields.size() || !txtFields[indice]->isVisibleTo(this))
        return;
    txtFields[indice]->setFocus();
    if (largo >= 0)
        txtFields[indice]->setSelection(inicio, largo);
}

// After the number and the person: the first box the operator can still change, that is
// the person (unless the logged-in user fills it) or the chosen source's box.
void FrmRecepcionIMaestros::pasarFoco(int indice)
{
    refrescar();
    QList<QWidget *> candidatos;
    if (indice == kTransmision)
        candidatos << txtFields[kResponsable];
    if (indice == kTransmision || indice == kResponsable)
        candidatos << (optDB->isChecked() ? static_cast<QWidget *>(CmbEmpresas) : txtFields[kUbicacion]);
    for (QWidget *w : candidatos) {
        if (w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    focusNextChild();
}

void FrmRecepcionIMaestros::terminarPrograma()
{
    m_cerrando = true;
    close();
    terminar()();
}

void FrmRecepcionIMaestros::atender() { QCoreApplication::processEvents(); }

bool FrmRecepcionIMaestros::teclaDeCaja(int indice, QKeyEvent *event)
{
    const int code = toolbar::vbKeyCode(event->key());
    if (code == 27 || (code >= 112 && code <= 135)) {
        UtilNet1->KeyAnalisis(code); // the function keys and Esc reach the toolbar from any box
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_logica.txtFields_KeyDown(indice, 13);
        return true;
    }
    const QString texto = event->text();
    if (texto.size() == 1 && texto[0].unicode() >= 32 && m_logica.txtFields_KeyPress(indice, texto[0].unicode()) == 0)
        return true; // filtered out
    return false;
}

bool FrmRecepcionIMaestros::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == CmbEmpresas && event->type() == QEvent::FocusIn) {
        m_logica.CmbEmpresas_GotFocus();
        return false;
    }
    const int indice = int(txtFields.indexOf(qobject_cast<QLineEdit *>(watched)));
    if (indice < 0)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        m_logica.txtFields_GotFocus(indice);
        pintarCaja(indice, true);
        break;
    case QEvent::FocusOut:
        m_logica.txtFields_LostFocus(indice);
        pintarCaja(indice, false);
        break;
    case QEvent::KeyPress:
        return teclaDeCaja(indice, static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_logica.txtFields_MouseDown(indice, mouse->button() == Qt::RightButton ? 2 : 1);
        return mouse->button() == Qt::RightButton;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmRecepcionIMaestros::keyPressEvent(QKeyEvent *event)
{
    if (const int code = toolbar::vbKeyCode(event->key()); code != 0 && UtilNet1->KeyAnalisis(code))
        return;
    QWidget::keyPressEvent(event);
}

// The close box. During a run the form stays open: the logic asks whether to interrupt it
// and unloads the form once the run has stopped.
void FrmRecepcionIMaestros::closeEvent(QCloseEvent *event)
{
    if (!m_cerrando) {
        if (!m_logica.puedeCerrar()) {
            event->ignore();
            return;
        }
        m_cerrando = true;
        m_logica.Form_Unload(); // ends the program
    }
    event->accept();
}
