#include "FrmEnvioIMaestros.h"

#include "core/Acceso.h"
#include "core/Inicio.h"
#include "core/ui/Dibujo.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "toolbar/VbKeyCode.h"
#include "toolbar/ui/UtilNet.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

using envio::FormularioEnvio;

namespace {

std::function<void()> &terminarPrograma()
{
    static std::function<void()> terminar = [] { QCoreApplication::exit(0); };
    return terminar;
}

// The box colours: the one being edited, the others (VB colours &HFFFF00 and &HFFFFFF).
const QColor kConFoco(0x00, 0xFF, 0xFF);
const QColor kSinFoco(0xFF, 0xFF, 0xFF);

bool esTeclaDeComando(int tecla) { return tecla == Qt::Key_Escape || (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F24); }

// The enabled look only: a locked box looks locked (the window's colour), like the others.
void colorDeFondo(QLineEdit *caja, const QColor &color)
{
    QPalette p = caja->palette();
    p.setColor(QPalette::Active, QPalette::Base, color);
    p.setColor(QPalette::Inactive, QPalette::Base, color);
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Disabled, QPalette::Window));
    caja->setPalette(p);
}

} // namespace

void FrmEnvioIMaestros::setTerminarPrograma(std::function<void()> terminar)
{
    terminarPrograma() = terminar ? std::move(terminar) : [] { QCoreApplication::exit(0); };
}

FrmEnvioIMaestros::FrmEnvioIMaestros(QWidget *parent)
    : QWidget(parent), m_logica(std::make_unique<FormularioEnvio>(gDB()))
{
    setWindowTitle(QStringLiteral("Envío de Maestros"));
    setObjectName(QStringLiteral("FrmEnvioIMaestros"));
    m_logica->setVista(this);
    m_logica->setAlTerminarGrabar([this](bool hecho) {
        // Told once the form shows the outcome (UtilNet1_click).
        QTimer::singleShot(0, this, [this, hecho] { Q_EMIT envioTerminado(hecho); });
    });
    m_logica->setAlCambiarCorrida([this] { refrescar(); });
    crearControles();
}

FrmEnvioIMaestros::~FrmEnvioIMaestros() = default;

void FrmEnvioIMaestros::crearControles()
{
    UtilNet1 = new toolbar::UtilNet(this);
    UtilNet1->setObjectName(QStringLiteral("UtilNet1"));
    connect(UtilNet1, &toolbar::UtilNet::click, this, &FrmEnvioIMaestros::UtilNet1_click);
    lblActualizando = new QLabel(QStringLiteral("..."), this);
    lblActualizando->setObjectName(QStringLiteral("lblActualizando"));
    pbexportar = new QLabel(this);
    pbexportar->setObjectName(QStringLiteral("pbexportar"));
    pbexportar->setMinimumHeight(20);
    txtLog = new QPlainTextEdit(this);
    txtLog->setObjectName(QStringLiteral("txtLog"));
    txtLog->setReadOnly(true);

    auto *diseno = new QVBoxLayout(this);
    diseno->addWidget(UtilNet1);
    diseno->addWidget(crearMarcoNumero());
    diseno->addWidget(crearMarcoDestino());
    diseno->addWidget(lblActualizando);
    diseno->addWidget(pbexportar);
    diseno->addWidget(txtLog);
    for (size_t i = 0; i < txtFields.size(); ++i) {
        txtFields[i]->setProperty("indice", int(i));
        txtFields[i]->installEventFilter(this);
        colorDeFondo(txtFields[i], kSinFoco);
    }
    // Reading order: the number, the person, the list, the options, the folder; the log last.
    const QList<QWidget *> orden = {txtFields[0],   txtFields[1], txtFields[3], ChkListas, chkPrecios, ChkMaestros,
                                    ChkMovimientos, chkMail,      Drive1,       Dir1,      txtLog};
    for (qsizetype i = 1; i < orden.size(); ++i)
        setTabOrder(orden[i - 1], orden[i]);
    // The number box takes digits only.
    txtFields[0]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), txtFields[0]));
}

QWidget *FrmEnvioIMaestros::crearMarcoNumero()
{
    auto *Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *g = new QGridLayout(Frame1);
    txtFields[0] = new QLineEdit(Frame1);
    txtFields[1] = new QLineEdit(Frame1);
    g->addWidget(new QLabel(QStringLiteral("Transmisión N°:"), Frame1), 0, 0);
    g->addWidget(txtFields[0], 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Responsable:"), Frame1), 1, 0);
    g->addWidget(txtFields[1], 1, 1);
    return Frame1;
}

QWidget *FrmEnvioIMaestros::crearMarcoDestino()
{
    Frame2 = new QGroupBox(QStringLiteral("Destino del Archivo generado "), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *g = new QGridLayout(Frame2);
    txtFields[3] = new QLineEdit(Frame2);
    txtFields[2] = new QLineEdit(Frame2);
    ChkListas = new QCheckBox(QStringLiteral("&Transmitir Listas de Precios"), Frame2);
    chkPrecios = new QCheckBox(QStringLiteral("&Transmitir Precios del Maestro"), Frame2);
    ChkMaestros = new QCheckBox(QStringLiteral("&Retransmitir Archivos Maestros"), Frame2);
    chkMail = new QCheckBox(QStringLiteral("Enviar Correo Electrónico (E-Mail)"), Frame2);
    ChkMovimientos = new QCheckBox(QStringLiteral("&Retransmitir "), Frame2);
    Drive1 = new QComboBox(Frame2);
    for (const QStorageInfo &volumen : QStorageInfo::mountedVolumes())
        Drive1->addItem(volumen.rootPath());
    m_carpetas = new QFileSystemModel(this);
    m_carpetas->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_carpetas->setRootPath(QStringLiteral("/"));
    Dir1 = new QTreeView(Frame2);
    Dir1->setModel(m_carpetas);
    for (int c = 1; c < m_carpetas->columnCount(); ++c)
        Dir1->hideColumn(c);
    g->addWidget(new QLabel(QStringLiteral("Lista a Transmitir:"), Frame2), 0, 0);
    g->addWidget(txtFields[3], 0, 1);
    g->addWidget(ChkListas, 1, 0, 1, 2);
    g->addWidget(chkPrecios, 2, 0, 1, 2);
    g->addWidget(ChkMaestros, 3, 0, 1, 2);
    g->addWidget(ChkMovimientos, 4, 0, 1, 2);
    g->addWidget(chkMail, 5, 0, 1, 2);
    g->addWidget(txtFields[2], 6, 0, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("Dispositivo de Almacenamiento:"), Frame2), 7, 0);
    g->addWidget(Drive1, 7, 1);
    g->addWidget(Dir1, 8, 0, 1, 2);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, &FrmEnvioIMaestros::Dir1_Change);
    // The folders are read in the background: the package folder is shown once its branch is.
    connect(m_carpetas, &QFileSystemModel::directoryLoaded, this, [this] {
        if (Dir1->currentIndex().isValid())
            Dir1->scrollTo(Dir1->currentIndex());
    });
    connect(Drive1, &QComboBox::currentTextChanged, this, &FrmEnvioIMaestros::Drive1_Change);
    return Frame2;
}

std::optional<envio::ResumenEnvio> FrmEnvioIMaestros::Form_Load(bool iniciarSistema)
{
    if (iniciarSistema) {
        QString cadena;
        const platform::Status iniciado = ModGlobal::IniciarSistema(false, QString(), cadena, 3);
        if (!iniciado.ok())
            platform::logger().error(QStringLiteral("Envío de maestros: ") + iniciado.message());
    }
    std::optional<envio::ResumenEnvio> automatica = m_logica->cargar();
    refrescar();
    if (!automatica) {
        txtFields[0]->setFocus();
        txtFields[0]->selectAll();
    }
    return automatica;
}

void FrmEnvioIMaestros::setResponsable(const QString &texto)
{
    m_logica->txtFields[FormularioEnvio::kResponsable].texto = texto;
    refrescar();
}

void FrmEnvioIMaestros::setCarpeta(const QString &carpeta)
{
    m_logica->Dir1_Change(carpeta);
    refrescar();
}

void FrmEnvioIMaestros::setOpciones(bool correo, bool maestros, bool movimientos, bool precios)
{
    m_logica->chkMail = correo;
    m_logica->ChkMaestros = maestros;
    m_logica->ChkMovimientos = movimientos;
    m_logica->chkPrecios = precios;
    refrescar();
}

void FrmEnvioIMaestros::leer()
{
    FormularioEnvio &f = *m_logica;
    for (size_t i = 0; i < txtFields.size(); ++i)
        f.txtFields[i].texto = txtFields[i]->text();
    f.ChkListas = ChkListas->isChecked();
    f.chkPrecios = chkPrecios->isChecked();
    f.ChkMaestros = ChkMaestros->isChecked();
    f.chkMail = chkMail->isChecked();
    f.ChkMovimientos = ChkMovimientos->isChecked();
}

// During a sending only its interruption is offered: every box, option, list and button but
// Cerrar is locked.
void FrmEnvioIMaestros::refrescar()
{
    m_refrescando = true;
    const FormularioEnvio &f = *m_logica;
    const bool libre = !f.corriendo();
    for (size_t i = 0; i < txtFields.size(); ++i) {
        if (txtFields[i]->text() != f.txtFields[i].texto)
            txtFields[i]->setText(f.txtFields[i].texto);
        txtFields[i]->setEnabled(libre && f.txtFields[i].habilitada);
    }
    ChkListas->setChecked(f.ChkListas);
    chkPrecios->setChecked(f.chkPrecios);
    ChkMaestros->setChecked(f.ChkMaestros);
    chkMail->setChecked(f.chkMail);
    ChkMovimientos->setChecked(f.ChkMovimientos);
    Frame2->setEnabled(libre && f.Frame2);
    Drive1->setEnabled(libre && f.carpetasHabilitadas);
    Dir1->setEnabled(libre && f.carpetasHabilitadas);
    if (!f.Dir1.isEmpty() && m_carpetas->filePath(Dir1->currentIndex()) != f.Dir1) {
        const QModelIndex carpeta = m_carpetas->index(f.Dir1);
        Dir1->setCurrentIndex(carpeta);
        Dir1->scrollTo(carpeta);
    }
    if (txtLog->toPlainText() != QString(f.txtLog).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        txtLog->setPlainText(QString(f.txtLog).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    FormularioEnvio::Botones b = f.UtilNet1;
    if (!libre)
        b = FormularioEnvio::Botones{false, false, false, false, false, false, false, true};
    UtilNet1->setNuevoEnabled(b.Nuevo);
    UtilNet1->setBorrarEnabled(b.Borrar);
    UtilNet1->setReporteEnabled(b.Reporte);
    UtilNet1->setConsultaEnabled(b.Consulta);
    UtilNet1->setPlanillaEnabled(b.Planilla);
    UtilNet1->setGrabarEnabled(b.Grabar);
    UtilNet1->setCancelarEnabled(b.Cancelar);
    UtilNet1->setCerrarEnabled(b.Cerrar);
    m_refrescando = false;
}

void FrmEnvioIMaestros::UtilNet1_click(const QString &BTag)
{
    if (m_cerrando)
        return; // the program is ending: its shared objects are gone
    if (m_logica->corriendo())
        refrescar(); // the widgets stay locked (a pressed button may have changed the toolbar's flags)
    else
        leer(); // during a run the logic keeps the run's values
    const FormularioEnvio::Accion accion = m_logica->UtilNet1_click(BTag);
    refrescar();
    if (m_logica->cerrarAlTerminar() && !m_logica->corriendo()) {
        Form_Unload(); // the interrupted sending has stopped
        return;
    }
    ejecutar(accion, m_logica->IndiceActual);
}

void FrmEnvioIMaestros::ejecutar(FormularioEnvio::Accion accion, int caja)
{
    if (m_logica->focoPedido() >= 0) {
        txtFields[size_t(m_logica->focoPedido())]->setFocus();
        return;
    }
    switch (accion) {
    case FormularioEnvio::Accion::FocoNumero:
        txtFields[0]->setFocus();
        txtFields[0]->selectAll();
        break;
    case FormularioEnvio::Accion::Cerrar:
        Form_Unload();
        break;
    case FormularioEnvio::Accion::PasarFoco:
        // The next box the operator can change (the person's is locked for a logged-in user).
        if (caja >= 0 && caja < int(txtFields.size())) {
            txtFields[size_t(caja)]->setFocus();
            focusNextChild();
        }
        break;
    case FormularioEnvio::Accion::Nada:
        break;
    }
}

// The confirm key on a box: its check, then the next box.
void FrmEnvioIMaestros::confirmarCaja(int caja)
{
    leer();
    m_logica->CampoValida(caja);
    refrescar();
    if (!m_logica->HuboError())
        ejecutar(FormularioEnvio::Accion::PasarFoco, caja);
    else
        ejecutar(FormularioEnvio::Accion::Nada, caja);
}

bool FrmEnvioIMaestros::eventFilter(QObject *objeto, QEvent *event)
{
    auto *caja = qobject_cast<QLineEdit *>(objeto);
    const int indice = caja ? caja->property("indice").toInt() : -1;
    if (indice < 0)
        return QWidget::eventFilter(objeto, event);
    FormularioEnvio &f = *m_logica;
    switch (event->type()) {
    case QEvent::FocusIn:
        f.IndiceActual = indice;
        UtilNet1->setConsultaEnabled(!f.txtFields[size_t(indice)].tag.trimmed().isEmpty());
        colorDeFondo(caja, kConFoco);
        break;
    case QEvent::FocusOut:
        colorDeFondo(caja, kSinFoco);
        break;
    case QEvent::MouseButtonPress:
        f.IndiceActual = indice;
        if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            UtilNet1_click(QStringLiteral("CONSULTAR"));
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const int tecla = static_cast<QKeyEvent *>(event)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            confirmarCaja(indice);
            return true;
        }
        if (esTeclaDeComando(tecla)) {
            UtilNet1->KeyAnalisis(toolbar::vbKeyCode(tecla));
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(objeto, event);
}

void FrmEnvioIMaestros::keyPressEvent(QKeyEvent *event)
{
    if (!UtilNet1->KeyAnalisis(toolbar::vbKeyCode(event->key())))
        QWidget::keyPressEvent(event);
}

void FrmEnvioIMaestros::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_logica->PrimeraActivacion)
        QTimer::singleShot(0, this, &FrmEnvioIMaestros::Form_Activate);
}

void FrmEnvioIMaestros::Form_Activate()
{
    if (m_cerrando || !m_logica->PrimeraActivacion)
        return;
    m_logica->activar();
    refrescar();
}

// The close box. During a sending the form stays open: the logic asks whether to interrupt
// it, and the form unloads once the sending has stopped (UtilNet1_click).
void FrmEnvioIMaestros::closeEvent(QCloseEvent *event)
{
    if (!m_cerrando && !m_logica->puedeCerrar()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

// Closing the form ends the program; never under a sending, which still uses the connection.
void FrmEnvioIMaestros::Form_Unload()
{
    if (m_cerrando || m_logica->corriendo())
        return;
    m_cerrando = true;
    unsetCursor();
    m_logica->descargar();
    if (m_alTerminar)
        m_alTerminar();
    else
        (void)ModGlobal::Finalizar();
    hide();
    Q_EMIT descargado();
    terminarPrograma()();
}

void FrmEnvioIMaestros::Dir1_Change()
{
    if (m_refrescando)
        return;
    m_logica->Dir1_Change(m_carpetas->filePath(Dir1->currentIndex()));
    refrescar();
}

void FrmEnvioIMaestros::Drive1_Change()
{
    if (m_refrescando)
        return;
    m_logica->Dir1_Change(Drive1->currentText());
    refrescar();
}

void FrmEnvioIMaestros::actualizando(const QString &texto) { lblActualizando->setText(texto); }

void FrmEnvioIMaestros::avance(double porcentaje)
{
    ModGlobal::DibujarProgreso(pbexportar, porcentaje, 0xFF0000, QString());
}

void FrmEnvioIMaestros::registro(const QString &texto)
{
    txtLog->setPlainText(QString(texto).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void FrmEnvioIMaestros::atender() { QCoreApplication::processEvents(); }
