// The article window, offscreen: an operator types a bar code, a description and a price
// and presses F2.

#include "ArticlesDatabase.h"

#include "articles/ui/Anfitrion.h"
#include "articles/ui/FrmArtAlta.h"

#include "tests/core/QtPrint.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

IMAESTROS_DATABASE_TESTS(ArticleWindow);

} // namespace
