#include "FrmArtAlta.h"

#include "ImagenArticulo.h"

#include "articles/imagen/ModeloConImagen.h"
#include "platform/suite/Sistema.h"
#include "toolbar/VbKeyCode.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace articles::ui {

namespace {

constexpr int kF2 = 113;
constexpr int kF5 = 116;
constexpr int kF7 = 118;
constexpr int kEsc = 27;

QLabel *etiqueta(const char *texto, QWidget *parent) { return new QLabel(QString::fromUtf8(texto), parent); }

QPushButton *boton(const char *nombre, const char *texto, QWidget *parent)
{
    auto *b = new QPushButton(QString::fromUtf8(texto), parent);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setAutoDefault(false); // Enter confirms a box, never a button
    b->setDefault(false);
    return b;
}

void colorDeFondo(QWidget *w, const QColor &color)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Text, Qt::black);
    w->setPalette(p);
}

// The platform's colour numbers: red in the low byte, blue in the high one.
QColor colorDe(int numero) { return QColor(numero & 0xFF, (numero >> 8) & 0xFF, (numero >> 16) & 0xFF); }

// A focus that leaves for another window (a message box, a lookup) is no leaving of the box.
bool dejaLaCaja(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace

FrmArtAlta::FrmArtAlta(std::unique_ptr<FrmArtAltaModelo> modelo, QWidget *parent)
    : QDialog(parent), m_modelo(modelo ? std::move(modelo) : std::make_unique<ModeloConImagen>())
{
    setObjectName(QStringLiteral("FrmArtAlta"));
    crearControles();
    distribuir();
    conectar();
    sincronizar();
}

FrmArtAlta::~FrmArtAlta() = default;

void FrmArtAlta::crearControles()
{
    FramAlta = new QGroupBox(this);
    FramAlta->setObjectName(QStringLiteral("FramAlta"));
    for (int i = 0; i < m_modelo->txtFields.size(); ++i) {
        auto *caja = new QLineEdit(FramAlta);
        caja->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        txtFields << caja;
    }
    txtFields[FrmArtAltaModelo::kDescripcion]->setMinimumHeight(2 * txtFields[0]->sizeHint().height());
    for (int i = 0; i < m_modelo->TxtDesc.size(); ++i) {
        auto *caja = new QLineEdit(FramAlta);
        caja->setObjectName(QStringLiteral("TxtDesc_%1").arg(i));
        TxtDesc << caja;
    }
    for (int i = 0; i < m_modelo->lblDesc.size(); ++i) {
        auto *l = new QLabel(FramAlta);
        l->setObjectName(QStringLiteral("lblDesc_%1").arg(i));
        lblDesc << l;
    }
    auto *exento = new QCheckBox(QStringLiteral("Exento de IVA"), FramAlta);
    exento->setObjectName(QStringLiteral("ChkFields_0"));
    exento->setTristate(true);
    ChkFields << exento;

    CmdAlta = boton("CmdAlta", "[F2] Grabar", this);
    CmdConsultar = boton("CmdConsultar", "[F5] Consultar", this);
    CmdCancelar = boton("CmdCancelar", "[ESC] Cancelar", this);
    CmdMaestro = boton("CmdMaestro", "[F7] Obtener de Base Maestra", FramAlta);
    CmdPegar = boton("CmdPegar", "PEGAR", this);
    CmdBuscar1 = boton("CmdBuscar1", "Buscar", this);
    CmdGoogle = boton("CmdGoogle", "Google", this);
    CmdQuitar1 = boton("CmdQuitar1", "Quitar", this);
    // enabled by ConectarImagen when the model keeps the article picture
    for (QPushButton *b : {CmdPegar, CmdBuscar1, CmdQuitar1})
        b->setEnabled(false);

    PicLogo = new QLabel(this);
    PicLogo->setObjectName(QStringLiteral("PicLogo"));
    PicLogo->setFixedSize(200, 200);
    PicLogo->setFrameShape(QFrame::Box);
    PicLogo->setAlignment(Qt::AlignCenter);
    imglogo = new QLabel(PicLogo);
    imglogo->setObjectName(QStringLiteral("imglogo"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Label1 = etiqueta("Articulo inexistente...! - Opcion Alta Directa por Codigo de Barra", this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(QStringLiteral("QLabel { background: red; color: white; font-weight: bold; "
                                         "font-size: 12pt; }"));
    Label3 = etiqueta("Pulse ESC para cerrar esta pantalla. ", this);
    Label2 = etiqueta("Puede obtener los datos desde la base de codigos de barra (F7) o completar los datos y pulsar "
                      "F2 para dar de alta el producto desde esta misma pantalla. El Rubro unidad y Marca pueden ser "
                      "cambiados.",
                      this);
    Label2->setWordWrap(true);
    Label9 = etiqueta("Codigo de Barras", FramAlta);
    Label10 = etiqueta("Descripción", FramAlta);
    Label11 = etiqueta("Precio de venta....", FramAlta);
    Label4 << etiqueta("Costo......................", FramAlta) << etiqueta("Alicuota de IVA......", FramAlta);
    Label6 << etiqueta("%", FramAlta) << etiqueta("%", FramAlta);
    for (const char *t :
         {"Rubro:", "Marca", "Familia ( ** NO **)", "Codigo:", "Utilidad", "Codigo Proveedor", "Artículo Proveedor"})
        lbRubro << etiqueta(t, FramAlta);
    lblLabels8 = etiqueta("Unidad Medida:", FramAlta);
    lblPreciosIva = etiqueta("El precios de Venta informado incluye IVA", FramAlta);
    LblProceso = new QLabel(this);
    LblProceso->setObjectName(QStringLiteral("LblProceso"));
    LblProceso->setAutoFillBackground(true);
    lblMensaje = new QLabel(this);
    lblMensaje->setObjectName(QStringLiteral("lblMensaje"));
}

void FrmArtAlta::distribuir()
{
    using F = FrmArtAltaModelo;
    auto *g = new QGridLayout(FramAlta);
    int fila = 0;
    const auto linea = [&](QWidget *rotulo, QWidget *caja, QWidget *tercero = nullptr, QWidget *cuarto = nullptr) {
        g->addWidget(rotulo, fila, 0);
        g->addWidget(caja, fila, 1);
        if (tercero)
            g->addWidget(tercero, fila, 2);
        if (cuarto)
            g->addWidget(cuarto, fila, 3);
        ++fila;
    };
    linea(Label9, txtFields[F::kCodigo]);
    g->addWidget(Label10, fila, 0);
    g->addWidget(txtFields[F::kDescripcion], fila++, 1, 1, 5);
    linea(Label4[1], txtFields[F::kTasaIVA], Label6[1], ChkFields[0]);
    g->addWidget(CmdMaestro, fila - 1, 4, 1, 2);
    linea(Label4[0], txtFields[F::kCosto], lbRubro[4], txtFields[F::kUtl_P1]);
    g->addWidget(Label6[0], fila - 1, 4);
    g->addWidget(lbRubro[3], fila, 0);
    g->addWidget(txtFields[F::kIdArticulo], fila++, 1, 1, 2);
    linea(Label11, txtFields[F::kPrecio], lblPreciosIva);
    linea(lblLabels8, txtFields[F::kIdUnidad], TxtDesc[2]);
    linea(lbRubro[0], txtFields[F::kIdRubro], TxtDesc[0]);
    linea(lbRubro[1], txtFields[F::kIdTipo], TxtDesc[1]);
    linea(lbRubro[5], txtFields[F::kCuentaProveedor], lblDesc[4]);
    linea(lbRubro[6], txtFields[F::kCodigoArtProveedor]);
    linea(lbRubro[2], txtFields[F::kIdFamilia], TxtDesc[3]);
    g->addWidget(txtFields[F::kRutaImagen], fila++, 1);
    for (int i = 0; i < 4; ++i)
        g->addWidget(lblDesc[i], fila, i);

    auto *derecha = new QVBoxLayout;
    derecha->addWidget(PicLogo);
    auto *imagen = new QHBoxLayout;
    for (QPushButton *b : {CmdPegar, CmdBuscar1, CmdGoogle, CmdQuitar1})
        imagen->addWidget(b);
    derecha->addLayout(imagen);
    derecha->addStretch();
    for (QPushButton *b : {CmdAlta, CmdConsultar, CmdCancelar})
        derecha->addWidget(b);

    auto *centro = new QHBoxLayout;
    centro->addWidget(FramAlta, 1);
    centro->addLayout(derecha);
    auto *todo = new QVBoxLayout(this);
    todo->addWidget(Label1);
    todo->addWidget(Label3);
    todo->addWidget(Label2);
    todo->addLayout(centro);
    todo->addWidget(LblProceso);
    todo->addWidget(lblMensaje);
}

void FrmArtAlta::conectar()
{
    for (QLineEdit *caja : txtFields + TxtDesc)
        caja->installEventFilter(this);
    for (QWidget *w : QList<QWidget *>{CmdAlta, CmdConsultar, CmdCancelar, CmdMaestro, CmdPegar, CmdBuscar1, CmdGoogle,
                                       CmdQuitar1, ChkFields[0]})
        w->installEventFilter(this);
    for (int i = 0; i < txtFields.size(); ++i)
        connect(txtFields[i], &QLineEdit::textEdited, this,
                [this, i](const QString &t) { m_modelo->txtFields_Change(i, t); });
    for (int i = 0; i < TxtDesc.size(); ++i)
        connect(TxtDesc[i], &QLineEdit::textEdited, this,
                [this, i](const QString &t) { m_modelo->TxtDesc[i].Text = t; });
    connect(ChkFields[0], &QCheckBox::stateChanged, this,
            [this](int estado) { m_modelo->ChkExento = static_cast<Marca>(estado); });
    const auto orden = [this](void (FrmArtAltaModelo::*comando)()) {
        return [this, comando] {
            (m_modelo.get()->*comando)();
            sincronizar();
        };
    };
    connect(CmdAlta, &QPushButton::clicked, this, orden(&FrmArtAltaModelo::CmdAlta_Click));
    connect(CmdCancelar, &QPushButton::clicked, this, orden(&FrmArtAltaModelo::CmdCancelar_Click));
    connect(CmdConsultar, &QPushButton::clicked, this, orden(&FrmArtAltaModelo::CmdConsultar_Click));
    connect(CmdMaestro, &QPushButton::clicked, this, orden(&FrmArtAltaModelo::CmdMaestro_Click));
    connect(CmdGoogle, &QPushButton::clicked, this, orden(&FrmArtAltaModelo::CmdGoogle_Click));
    connect(m_modelo.get(), &FrmArtAltaModelo::focoPedido, this, &FrmArtAlta::enfocar);
    connect(m_modelo.get(), &FrmArtAltaModelo::pasarFocoPedido, this, [this] { focusNextChild(); });
    connect(m_modelo.get(), &FrmArtAltaModelo::ocultarPedido, this, [this] { QDialog::hide(); });
    connect(m_modelo.get(), &FrmArtAltaModelo::repintar, this, [this] {
        sincronizar();
        LblProceso->repaint();
    });
    connect(m_modelo.get(), &FrmArtAltaModelo::abrirDireccion, this, [this](const QString &direccion) {
        platform::suite::gSistema().EjecutarShell(long(winId()), QStringLiteral("open"), direccion, QString(),
                                                  QString(), 0);
    });
    ConectarImagen(*this);
}

void FrmArtAlta::sincronizar()
{
    const FrmArtAltaModelo &m = *m_modelo;
    setWindowTitle(m.Caption);
    const auto caja = [](QLineEdit *w, const CajaTexto &c) {
        if (w->text() != c.Text)
            w->setText(c.Text);
        w->setMaxLength(c.MaxLength > 0 ? c.MaxLength : 32767);
        w->setEnabled(c.Enabled);
        w->setVisible(c.Visible);
        w->setToolTip(c.ToolTipText);
    };
    for (int i = 0; i < txtFields.size(); ++i)
        caja(txtFields[i], m.txtFields[i]);
    for (int i = 0; i < TxtDesc.size(); ++i)
        caja(TxtDesc[i], m.TxtDesc[i]);
    for (int i = 0; i < lblDesc.size(); ++i) {
        lblDesc[i]->setText(m.lblDesc[i].Caption);
        lblDesc[i]->setToolTip(m.lblDesc[i].ToolTipText);
        lblDesc[i]->setVisible(m.lblDesc[i].Visible);
    }
    lbRubro[2]->setVisible(m.txtFields[FrmArtAltaModelo::kIdFamilia].Visible);
    ChkFields[0]->setCheckState(static_cast<Qt::CheckState>(m.ChkExento));
    Label1->setVisible(m.Label1Visible);
    Label11->setText(m.Label11Caption);
    lbRubro[4]->setVisible(m.lbRubro4Visible);
    Label6[0]->setVisible(m.txtFields[FrmArtAltaModelo::kUtl_P1].Visible);
    lblPreciosIva->setVisible(m.lblPreciosIvaVisible);
    LblProceso->setText(m.LblProceso);
    QPalette p = LblProceso->palette();
    p.setColor(QPalette::Window, colorDe(m.LblProcesoBackColor));
    LblProceso->setPalette(p);
    ordenDeTabulacion();
}

// The controls in the order of their tab positions (a box moved to a position goes before
// the one that held it).
void FrmArtAlta::ordenDeTabulacion()
{
    struct Lugar {
        int tab;
        int movida; // 0 for the box that was moved to its position
        QWidget *w;
    };
    QList<Lugar> lugares;
    for (int i = 0; i < txtFields.size(); ++i)
        lugares << Lugar{m_modelo->txtFields[i].TabIndex, i == FrmArtAltaModelo::kDescripcion ? 0 : 1, txtFields[i]};
    for (int i = 0; i < TxtDesc.size(); ++i)
        lugares << Lugar{m_modelo->TxtDesc[i].TabIndex, 1, TxtDesc[i]};
    const std::pair<int, QWidget *> otros[] = {{10, CmdAlta},    {13, CmdConsultar}, {14, CmdCancelar},
                                               {15, CmdMaestro}, {40, ChkFields[0]}, {51, CmdPegar},
                                               {52, CmdBuscar1}, {53, CmdGoogle},    {54, CmdQuitar1}};
    for (const auto &[tab, w] : otros)
        lugares << Lugar{tab, 1, w};
    std::stable_sort(lugares.begin(), lugares.end(), [](const Lugar &a, const Lugar &b) {
        return std::tie(a.tab, a.movida) < std::tie(b.tab, b.movida);
    });
    for (qsizetype i = 1; i < lugares.size(); ++i)
        QWidget::setTabOrder(lugares[i - 1].w, lugares[i].w);
}

void FrmArtAlta::enfocar(const Control &control)
{
    QWidget *w = nullptr;
    if (control.tipo == Control::Tipo::txtFields && control.indice >= 0 && control.indice < txtFields.size())
        w = txtFields[control.indice];
    else if (control.tipo == Control::Tipo::TxtDesc && control.indice >= 0 && control.indice < TxtDesc.size())
        w = TxtDesc[control.indice];
    if (w && w->isVisible() && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

void FrmArtAlta::PonerCodigo()
{
    m_modelo->PonerCodigo();
    sincronizar();
}

void FrmArtAlta::showEvent(QShowEvent *event)
{
    m_modelo->visible = true;
    if (!m_modelo->cargado())
        m_modelo->Form_Load();
    sincronizar();
    QDialog::showEvent(event);
    txtFields[FrmArtAltaModelo::kCodigo]->setFocus(Qt::OtherFocusReason);
}

void FrmArtAlta::closeEvent(QCloseEvent *event)
{
    // The close box leaves as "[ESC] Cancelar" does.
    m_modelo->CmdCancelar_Click();
    event->accept();
}

void FrmArtAlta::reject()
{
    if (isVisible())
        m_modelo->CmdCancelar_Click();
    QDialog::reject();
}

// The form sees every key first (F2, Esc, F7, F5); the focused control still gets it,
// except Esc, which the form has handled.
bool FrmArtAlta::teclaDelFormulario(QKeyEvent *event)
{
    const int tecla = toolbar::vbKeyCode(event->key());
    if (tecla != kF2 && tecla != kEsc && tecla != kF7 && tecla != kF5)
        return false;
    m_modelo->Form_KeyDown(tecla);
    sincronizar();
    return tecla == kEsc;
}

bool FrmArtAlta::eventoDeCaja(int indice, QEvent *event)
{
    QLineEdit *caja = txtFields[indice];
    switch (event->type()) {
    case QEvent::FocusIn:
        m_modelo->txtFields_GotFocus(indice);
        colorDeFondo(caja, QColor(0, 255, 255));
        caja->setSelection(0, int(caja->text().trimmed().size()));
        return false;
    case QEvent::FocusOut:
        if (!dejaLaCaja(static_cast<QFocusEvent *>(event)))
            return false;
        m_modelo->txtFields_Validate(indice);
        m_modelo->txtFields_LostFocus(indice);
        colorDeFondo(caja, Qt::white);
        sincronizar();
        return false;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        const int tecla = toolbar::vbKeyCode(key->key());
        m_modelo->txtFields_KeyDown(indice, tecla);
        if (tecla == 13) { // Enter only confirms the box
            sincronizar();
            return true;
        }
        return !key->text().isEmpty() && m_modelo->txtFields_KeyPress(indice, key->text()[0]).isNull();
    }
    default:
        return false;
    }
}

bool FrmArtAlta::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && teclaDelFormulario(static_cast<QKeyEvent *>(event)))
        return true;
    auto *caja = qobject_cast<QLineEdit *>(watched);
    const int indice = caja ? int(txtFields.indexOf(caja)) : -1;
    if (indice >= 0)
        return eventoDeCaja(indice, event);
    return QDialog::eventFilter(watched, event);
}

} // namespace articles::ui
