// The article window, offscreen: an operator types a bar code, a description and a price
// and presses F2.

#include "ArticlesDatabase.h"

#include "articles/ui/Anfitrion.h"
#include "articles/ui/FrmArtAlta.h"

#include "tests/core/QtPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Form = articles::FrmArtAltaModelo;
using articles::ui::FrmArtAlta;

QApplication &app()
{
    static int argc = 1;
    static char name[] = "test_articles_window";
    static char *argv[] = {name, nullptr};
    static auto *application = new QApplication(argc, argv);
    return *application;
}

class ArticleWindow : public ArticlesDatabaseTest {
protected:
    void SetUp() override
    {
        app();
        ArticlesDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        lista(QStringLiteral("1"), QStringLiteral("Mayorista"));
    }
    void mostrar(FrmArtAlta &ventana)
    {
        ventana.show();
        QApplication::setActiveWindow(&ventana);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    }
};

TEST_P(ArticleWindow, TypingAndF2RegisterTheArticle)
{
    FrmArtAlta ventana;
    ventana.modelo().pIdLista = QStringLiteral("1");
    mostrar(ventana);
    EXPECT_EQ(QApplication::focusWidget(), ventana.txtFields[Form::kCodigo]);
    EXPECT_TRUE(ventana.Label1->isVisible());

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7791234567890"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // without the master-article service the description comes right after the bar code
    ASSERT_EQ(QApplication::focusWidget(), ventana.txtFields[Form::kDescripcion]);
    EXPECT_TRUE(ventana.LblProceso->text().startsWith(QStringLiteral("NO ESTA CONFIGURADO")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Galletitas D'Agostino"));
    ventana.txtFields[Form::kPrecio]->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("123,45"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);

    EXPECT_TRUE(ventana.modelo().pAceptar);
    EXPECT_FALSE(ventana.isVisible()); // the host's modal display ends
    EXPECT_EQ(fila(QStringLiteral("SELECT IdArticulo, CodigoBarra, Descripcion, Precio1 FROM V_MA_ARTICULOS")),
              pad(QStringLiteral("1"), 25) + QLatin1Char('|') + pad(QStringLiteral("7791234567890"), 25)
                  + QStringLiteral("|Galletitas D'Agostino|123,45"));
    EXPECT_EQ(fila(QStringLiteral("SELECT IdLista, Precio1 FROM V_MA_PRECIOS")), QStringLiteral("   1|123,45"));
    EXPECT_EQ(ventana.modelo().CodArtNuevo, pad(QStringLiteral("1"), 25));
    EXPECT_EQ(ventana.txtFields[Form::kCodigo]->text(), QString()); // ready for another
}

TEST_P(ArticleWindow, EscapeCancelsAndAStoredArticleCanBeChanged)
{
    articulo(QStringLiteral("5"), QStringLiteral("779"), QStringLiteral("Yerba"));
    FrmArtAlta ventana;
    ventana.modelo().DesdeConsulta = true;
    ventana.modelo().CodArtNuevo = QStringLiteral(" 779 ");
    ventana.PonerCodigo();
    mostrar(ventana);
    EXPECT_FALSE(ventana.Label1->isVisible());
    EXPECT_EQ(ventana.txtFields[Form::kCodigo]->text(), QStringLiteral("779"));
    QTest::keyClick(ventana.txtFields[Form::kCodigo], Qt::Key_Return);
    EXPECT_EQ(ventana.txtFields[Form::kDescripcion]->text(), QStringLiteral("Yerba"));
    ventana.txtFields[Form::kDescripcion]->setFocus();
    ventana.txtFields[Form::kDescripcion]->selectAll();
    QTest::keyClicks(ventana.txtFields[Form::kDescripcion], QStringLiteral("Yerba mate"));
    QTest::mouseClick(ventana.CmdAlta, Qt::LeftButton);
    EXPECT_TRUE(ventana.isVisible()); // stays open for the next article
    EXPECT_EQ(scalar(QStringLiteral("SELECT Descripcion FROM V_MA_ARTICULOS")), QStringLiteral("Yerba mate"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(ventana.isVisible());
    EXPECT_FALSE(ventana.modelo().pAceptar);
}

// A program of the suite opens the form with its command line and reads the public variables.
TEST_P(ArticleWindow, AHostOpensItFromTheCommandLine)
{
    using articles::ui::PedidoAlta;
    const QString linea = QStringLiteral("@server=!x; @dbname=y; @Menu=frmartalta; @Lista=3; @Codigo= 779 ; "
                                         "@DesdeConsulta=si");
    ASSERT_TRUE(PedidoAlta::pedido(linea));
    EXPECT_FALSE(PedidoAlta::pedido(QStringLiteral("@Menu=Otro")));
    const PedidoAlta pedido = PedidoAlta::desdeLinea(linea);
    EXPECT_EQ(pedido.lista, QStringLiteral("3"));
    EXPECT_EQ(pedido.codigo, QStringLiteral("779"));
    EXPECT_TRUE(pedido.desdeConsulta);

    articulo(QStringLiteral("5"), QStringLiteral("779"), QStringLiteral("Yerba"));
    QTimer::singleShot(0, [] {
        auto *ventana = qobject_cast<FrmArtAlta *>(QApplication::activeModalWidget());
        ASSERT_NE(ventana, nullptr);
        EXPECT_EQ(ventana->txtFields[Form::kCodigo]->text(), QStringLiteral("779"));
        EXPECT_EQ(ventana->modelo().pIdLista, QStringLiteral("3"));
        QTest::keyClick(ventana->txtFields[Form::kCodigo], Qt::Key_Return); // shows the stored article
        QTest::keyClick(ventana->txtFields[Form::kDescripcion], Qt::Key_Escape);
    });
    const articles::ui::RespuestaAlta respuesta = articles::ui::MostrarAltaArticulos(pedido);
    EXPECT_FALSE(respuesta.pAceptar);
    EXPECT_EQ(respuesta.texto(),
              QStringLiteral("pAceptar=NO\nCodArtNuevo=") + pad(QStringLiteral("5"), 25) + QLatin1Char('\n'));
}

// The text a box can show, in pixels: its width less the frame the style draws and the two
// pixels of inner margin on each side that QLineEdit keeps.
int anchoVisible(const QLineEdit *caja)
{
    const int marco = caja->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, caja);
    const QMargins tm = caja->textMargins();
    return caja->contentsRect().width() - 2 * marco - 2 * 2 - tm.left() - tm.right();
}

// Every box shows its whole value at its field's size: a bar code of 25 characters (a
// 13-digit one typed), an amount of 15 (1.234.567,89 typed).
TEST_P(ArticleWindow, EveryBoxShowsItsValueWhole)
{
    configurar(QStringLiteral("PIVAREC"), QStringLiteral("10.5"));
    cuenta(QStringLiteral("PROV1"), QStringLiteral("P1"), QStringLiteral("Proveedor Uno"), QStringLiteral("PR"));
    FrmArtAlta ventana;
    mostrar(ventana);
    const QString barras = QStringLiteral("7790001000012");
    const QString importe = QStringLiteral("1.234.567,89");
    const struct {
        int caja;
        QString tecleado;
        QString mayor; // the largest value of the field's size
    } casos[] = {
        {Form::kCodigo, barras, QString(25, QLatin1Char('9'))},
        {Form::kIdArticulo, barras, QString(25, QLatin1Char('9'))},
        {Form::kCodigoArtProveedor, barras, QString(25, QLatin1Char('9'))},
        {Form::kCosto, importe, QString(15, QLatin1Char('9'))},
        {Form::kPrecio, importe, QString(15, QLatin1Char('9'))},
        {Form::kUtl_P1, importe, QString(15, QLatin1Char('9'))},
        {Form::kTasaIVA, QStringLiteral("10,5"), QString(15, QLatin1Char('9'))},
        {Form::kCuentaProveedor, QStringLiteral("PROV1"), QString(15, QLatin1Char('9'))},
        {Form::kIdUnidad, QStringLiteral("UN"), QString(4, QLatin1Char('9'))},
        {Form::kIdRubro, QStringLiteral("10"), QString(4, QLatin1Char('9'))},
        {Form::kIdTipo, QStringLiteral("20"), QString(4, QLatin1Char('9'))},
    };
    for (const auto &c : casos) {
        QLineEdit *caja = ventana.txtFields[c.caja];
        SCOPED_TRACE(caja->objectName().toStdString());
        ASSERT_TRUE(caja->isVisible());
        QTest::mouseClick(caja, Qt::LeftButton);
        caja->selectAll();
        QTest::keyClicks(caja, c.tecleado);
        ASSERT_EQ(caja->text(), c.tecleado);
        for (const QString &valor : {c.tecleado, c.mayor})
            EXPECT_LE(caja->fontMetrics().horizontalAdvance(valor), anchoVisible(caja)) << valor.toStdString();
    }
}

// However the focus moves (Tab, a click, Enter, another window in between), only the box that
// has it is cyan.
TEST_P(ArticleWindow, OnlyTheFocusedBoxIsColoured)
{
    FrmArtAlta ventana;
    mostrar(ventana);
    const QColor cian(0, 255, 255);
    const auto coloreadas = [&] {
        QList<QLineEdit *> cajas;
        for (QLineEdit *caja : std::as_const(ventana.txtFields)) {
            if (caja->palette().color(QPalette::Base) == cian)
                cajas << caja;
        }
        return cajas;
    };
    const auto soloLaEnfocada = [&](const char *paso) {
        auto *enfocada = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        const bool esCaja = ventana.txtFields.contains(enfocada);
        EXPECT_EQ(coloreadas(), esCaja ? QList<QLineEdit *>{enfocada} : QList<QLineEdit *>{}) << paso;
    };
    soloLaEnfocada("shown");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    soloLaEnfocada("tab");
    QTest::mouseClick(ventana.txtFields[Form::kCosto], Qt::LeftButton);
    soloLaEnfocada("click");
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("100"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    soloLaEnfocada("enter");

    // another window takes the activation; meanwhile the focus inside the form moves
    QWidget otra;
    otra.show();
    QApplication::setActiveWindow(&otra);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&otra));
    ventana.txtFields[Form::kPrecio]->setFocus();
    QApplication::setActiveWindow(&ventana);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    ASSERT_EQ(QApplication::focusWidget(), ventana.txtFields[Form::kPrecio]);
    soloLaEnfocada("back from another window");
    QTest::mouseClick(ventana.TxtDesc[0], Qt::LeftButton);
    soloLaEnfocada("a description box");
}

// Letters in an amount box: the form says which box wants a number and keeps the focus there,
// whether the box is left with Tab or confirmed with Enter.
TEST_P(ArticleWindow, LettersInAnAmountAreToldAndKeepTheFocus)
{
    FrmArtAlta ventana;
    mostrar(ventana);
    QLineEdit *costo = ventana.txtFields[Form::kCosto];
    QTest::mouseClick(costo, Qt::LeftButton);
    QTest::keyClicks(costo, QStringLiteral("12 pesos"));
    operatorScript().expect(QStringLiteral("Costo debe ser un número, por ejemplo 1.234,56."), platform::vbOK);
    QTest::keyClick(costo, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), costo);
    EXPECT_EQ(operatorScript().asked().last().title, QStringLiteral("Aviso al operador..."));

    QLineEdit *precio = ventana.txtFields[Form::kPrecio];
    costo->selectAll();
    QTest::keyClicks(costo, QStringLiteral("10"));
    QTest::mouseClick(precio, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), precio);
    QTest::keyClicks(precio, QStringLiteral("doce"));
    operatorScript().expect(QStringLiteral("Precio de venta debe ser un número"), platform::vbOK);
    QTest::keyClick(precio, Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_EQ(QApplication::focusWidget(), precio);
}

// With every code empty, Tab visits each box the operator may fill, in reading order.
TEST_P(ArticleWindow, TabReachesEveryBoxInReadingOrder)
{
    FrmArtAlta ventana;
    mostrar(ventana);
    const QList<QWidget *> esperado = {ventana.txtFields[Form::kCodigo],
                                       ventana.txtFields[Form::kDescripcion],
                                       ventana.txtFields[Form::kTasaIVA],
                                       ventana.ChkFields[0],
                                       ventana.CmdMaestro,
                                       ventana.txtFields[Form::kCosto],
                                       ventana.txtFields[Form::kUtl_P1],
                                       ventana.txtFields[Form::kIdArticulo],
                                       ventana.txtFields[Form::kPrecio],
                                       ventana.txtFields[Form::kIdUnidad],
                                       ventana.TxtDesc[2],
                                       ventana.txtFields[Form::kIdRubro],
                                       ventana.TxtDesc[0],
                                       ventana.txtFields[Form::kIdTipo],
                                       ventana.TxtDesc[1],
                                       ventana.txtFields[Form::kCuentaProveedor],
                                       ventana.txtFields[Form::kCodigoArtProveedor],
                                       ventana.CmdPegar,
                                       ventana.CmdBuscar1,
                                       ventana.CmdGoogle,
                                       ventana.CmdQuitar1,
                                       ventana.CmdAlta,
                                       ventana.CmdConsultar,
                                       ventana.CmdCancelar,
                                       ventana.txtFields[Form::kCodigo]};
    QList<QWidget *> visitado{QApplication::focusWidget()};
    while (visitado.size() < esperado.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::qWait(1);
        visitado << QApplication::focusWidget();
    }
    QStringList nombres;
    for (QWidget *w : std::as_const(visitado))
        nombres << (w ? w->objectName() + QLatin1Char('/') + QString::fromLatin1(w->metaObject()->className())
                      : QStringLiteral("none"));
    EXPECT_EQ(visitado, esperado) << nombres.join(QStringLiteral(", ")).toStdString();
}

IMAESTROS_DATABASE_TESTS(ArticleWindow);

} // namespace
