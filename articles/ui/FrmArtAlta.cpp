#include "FrmArtAlta.h"

#include "ImagenArticulo.h"

#include "articles/imagen/ModeloConImagen.h"
#include "platform/suite/Sistema.h"
#include "toolbar/VbKeyCode.h"

#include <QApplication>
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
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
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
    ordenDeTabulacion();
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

namespace {

// The characters a box shows whole: its field's size; an amount 15; the description and
// the lookup descriptions a good part of theirs (they also grow with the window).
int caracteresDe(const CajaTexto &caja, int indice)
{
    using F = FrmArtAltaModelo;
    switch (indice) {
    case F::kDescripcion:
        return 45;
    case F::kPrecio:
    case F::kCosto:
    case F::kTasaIVA:
    case F::kUtl_P1:
        return 15;
    default:
        return caja.MaxLength > 0 ? std::min(caja.MaxLength, 25) : 15;
    }
}

// The width a box needs for that many characters, as QLineEdit measures its own hint: the
// text, the box's inner margins, the cursor and the frame the style draws.
int anchoPara(const QLineEdit *caja, int caracteres)
{
    const QFontMetrics fm = caja->fontMetrics();
    const int texto =
        std::max(fm.horizontalAdvance(QString(caracteres, QLatin1Char('0'))), fm.averageCharWidth() * caracteres);
    const QMargins tm = caja->textMargins();
    const QMargins cm = caja->contentsMargins();
    QStyleOptionFrame opcion;
    opcion.initFrom(caja);
    opcion.lineWidth = caja->hasFrame() ? caja->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opcion, caja) : 0;
    opcion.features = QStyleOptionFrame::None;
    const int contenido = texto + 2 * 2 + 2 + tm.left() + tm.right() + cm.left() + cm.right();
    return caja->style()->sizeFromContents(QStyle::CT_LineEdit, &opcion, QSize(contenido, fm.height()), caja).width();
}

} // namespace

void FrmArtAlta::distribuir()
{
    using F = FrmArtAltaModelo;
    // Every box is as wide as its field: a bar code of 25 characters, an amount of 15.
    for (int i = 0; i < txtFields.size(); ++i) {
        const int ancho = anchoPara(txtFields[i], caracteresDe(m_modelo->txtFields[i], i));
        if (i == F::kDescripcion)
            txtFields[i]->setMinimumWidth(ancho);
        else
            txtFields[i]->setFixedWidth(ancho);
    }
    for (QLineEdit *descripcion : TxtDesc)
        descripcion->setMinimumWidth(anchoPara(descripcion, 30));

    // One row per line of the form: its label, then its boxes left to right.
    auto *g = new QGridLayout(FramAlta);
    g->setColumnStretch(1, 1);
    int fila = 0;
    const auto linea = [&](QWidget *rotulo, std::initializer_list<QWidget *> controles, bool crece = false) {
        if (rotulo)
            g->addWidget(rotulo, fila, 0);
        auto *h = new QHBoxLayout;
        for (QWidget *w : controles)
            h->addWidget(w, crece && w != *controles.begin() ? 1 : 0);
        if (!crece)
            h->addStretch(1);
        g->addLayout(h, fila++, 1);
    };
    linea(Label9, {txtFields[F::kCodigo]});
    linea(Label10, {txtFields[F::kDescripcion]}, true);
    txtFields[F::kDescripcion]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    linea(Label4[1], {txtFields[F::kTasaIVA], Label6[1], ChkFields[0], CmdMaestro});
    linea(Label4[0], {txtFields[F::kCosto], lbRubro[4], txtFields[F::kUtl_P1], Label6[0]});
    linea(lbRubro[3], {txtFields[F::kIdArticulo]});
    linea(Label11, {txtFields[F::kPrecio], lblPreciosIva});
    linea(lblLabels8, {txtFields[F::kIdUnidad], TxtDesc[2]}, true);
    linea(lbRubro[0], {txtFields[F::kIdRubro], TxtDesc[0]}, true);
    linea(lbRubro[1], {txtFields[F::kIdTipo], TxtDesc[1]}, true);
    linea(lbRubro[5], {txtFields[F::kCuentaProveedor], lblDesc[4]}, true);
    linea(lbRubro[6], {txtFields[F::kCodigoArtProveedor]});
    linea(lbRubro[2], {txtFields[F::kIdFamilia], TxtDesc[3]}, true);
    linea(nullptr, {txtFields[F::kRutaImagen], lblDesc[0], lblDesc[1], lblDesc[2], lblDesc[3]});
    g->setRowStretch(fila, 1);

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
}

// Tab walks the controls in reading order: the form's rows top to bottom, each left to right,
// then the picture's buttons and the commands. A box the form hides is skipped by Qt itself.
void FrmArtAlta::ordenDeTabulacion()
{
    using F = FrmArtAltaModelo;
    const QList<QWidget *> orden = {txtFields[F::kCodigo],
                                    txtFields[F::kDescripcion],
                                    txtFields[F::kTasaIVA],
                                    ChkFields[0],
                                    CmdMaestro,
                                    txtFields[F::kCosto],
                                    txtFields[F::kUtl_P1],
                                    txtFields[F::kIdArticulo],
                                    txtFields[F::kPrecio],
                                    txtFields[F::kIdUnidad],
                                    TxtDesc[2],
                                    txtFields[F::kIdRubro],
                                    TxtDesc[0],
                                    txtFields[F::kIdTipo],
                                    TxtDesc[1],
                                    txtFields[F::kCuentaProveedor],
                                    txtFields[F::kCodigoArtProveedor],
                                    txtFields[F::kIdFamilia],
                                    TxtDesc[3],
                                    txtFields[F::kRutaImagen],
                                    CmdPegar,
                                    CmdBuscar1,
                                    CmdGoogle,
                                    CmdQuitar1,
                                    CmdAlta,
                                    CmdConsultar,
                                    CmdCancelar};
    for (qsizetype i = 1; i < orden.size(); ++i)
        QWidget::setTabOrder(orden[i - 1], orden[i]);
}

void FrmArtAlta::enfocar(const Control &control)
{
    QWidget *w = nullptr;
    if (control.tipo == Control::Tipo::txtFields && control.indice >= 0 && control.indice < txtFields.size())
        w = txtFields[control.indice];
    else if (control.tipo == Control::Tipo::TxtDesc && control.indice >= 0 && control.indice < TxtDesc.size())
        w = TxtDesc[control.indice];
    if (!w || !w->isVisible() || !w->isEnabled())
        return;
    // While a box is being left, the operator's Tab or click decides where the focus goes;
    // only a box whose text the validation refused keeps it (see eventoDeCaja).
    if (m_cajaQueSeDeja) {
        m_retenerFoco = m_retenerFoco || w == m_cajaQueSeDeja;
        return;
    }
    w->setFocus(Qt::OtherFocusReason);
}

// Only the box that has the focus is coloured.
void FrmArtAlta::pintarFoco(QLineEdit *enfocada)
{
    for (QLineEdit *caja : std::as_const(txtFields))
        colorDeFondo(caja, caja == enfocada ? QColor(0, 255, 255) : QColor(Qt::white));
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
        pintarFoco(caja);
        // back from a message box or a lookup: the box never lost the focus for the form
        if (!dejaLaCaja(static_cast<QFocusEvent *>(event)))
            return false;
        m_modelo->txtFields_GotFocus(indice);
        caja->setSelection(0, int(caja->text().trimmed().size()));
        return false;
    case QEvent::FocusOut: {
        pintarFoco(nullptr);
        if (!dejaLaCaja(static_cast<QFocusEvent *>(event)))
            return false;
        m_cajaQueSeDeja = caja;
        m_retenerFoco = false;
        m_modelo->txtFields_Validate(indice);
        m_modelo->txtFields_LostFocus(indice);
        m_cajaQueSeDeja = nullptr;
        sincronizar();
        // A text the validation refused (an amount that is no number) keeps the operator in
        // its box; the focus is taken back once the move under way has ended.
        if (m_retenerFoco && m_modelo->error())
            QTimer::singleShot(0, caja, [caja] { caja->setFocus(Qt::OtherFocusReason); });
        return false;
    }
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
