// The article window, offscreen, with the master-article service and the image server on
// 127.0.0.1: a new bar code brings its description and picture; a stored article shows its own.

#include "AplicacionQt.h"
#include "ArticlesDatabase.h"
#include "ServidorHttp.h"

#include "articles/ui/FrmArtAlta.h"
#include "platform/Paths.h"

#include "tests/core/QtPrint.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Form = articles::FrmArtAltaModelo;
using articles::ui::FrmArtAlta;

// The colour shown at a point of the window's picture box.
QColor mostrado(const FrmArtAlta &ventana, QPoint punto)
{
    return ventana.PicLogo->pixmap().toImage().pixelColor(punto);
}

bool parecido(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8
        && std::abs(a.blue() - b.blue()) <= 8;
}

class ArticleWindowPicture : public ArticlesDatabaseTest {
protected:
    void SetUp() override
    {
        aplicacionQt();
        ArticlesDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configurar(QStringLiteral("PIVA"), QStringLiteral("21"));
        configurar(QStringLiteral("RutaImagenes"), QStringLiteral("img\\"));
        configurar(QStringLiteral("WSArticulos"), m_servidor.direccion(QStringLiteral("/maestro/")));
        configurar(QStringLiteral("WSImagenes"), m_servidor.direccion(QStringLiteral("/UPC/")));
        lista(QStringLiteral("1"), QStringLiteral("Mayorista"));
    }
    void mostrar(FrmArtAlta &ventana)
    {
        ventana.show();
        QApplication::setActiveWindow(&ventana);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ventana));
    }
    QString carpeta() const { return platform::programFolder() + QStringLiteral("/img/"); }

    ServidorHttp m_servidor;
};

TEST_P(ArticleWindowPicture, ANewBarCodeBringsItsDescriptionAndPictureFromTheServers)
{
    QImage imagen(120, 90, QImage::Format_RGB32);
    imagen.fill(QColor(200, 30, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && imagen.save(&buffer, "PNG"));
    m_servidor.responder("/maestro/7790001", {200, R"([{"descripcion":"Yerba [1 kg]","descRubro":"Almacen"}])"});
    m_servidor.responder("/UPC/7790001.png", {200, bytes, "image/png"});

    FrmArtAlta ventana;
    ventana.modelo().pIdLista = QStringLiteral("1");
    mostrar(ventana);
    QTest::keyClicks(ventana.txtFields[Form::kCodigo], QStringLiteral("7790001"));
    QTest::keyClick(ventana.txtFields[Form::kCodigo], Qt::Key_Return);

    EXPECT_EQ(ventana.txtFields[Form::kDescripcion]->text(), QStringLiteral("Yerba [1 kg]"));
    EXPECT_EQ(ventana.TxtDesc[0]->text(), QStringLiteral("Almacen"));
    EXPECT_EQ(ventana.LblProceso->text(), QStringLiteral("Encontrado..."));
    EXPECT_EQ(ventana.lblMensaje->text(), QStringLiteral("Imagen descargada con exito..."));
    EXPECT_TRUE(parecido(mostrado(ventana, QPoint(10, 10)), QColor(200, 30, 40)));
    EXPECT_TRUE(ventana.CmdPegar->isEnabled());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    EXPECT_TRUE(ventana.modelo().pAceptar);
    const QString guardada = carpeta() + QStringLiteral("1.jpg");
    EXPECT_EQ(scalar(QStringLiteral("SELECT RutaImagen FROM V_MA_ARTICULOS")), guardada);
    EXPECT_EQ(QImage(guardada).size(), QSize(120, 90));
    EXPECT_EQ(QImage(carpeta() + QStringLiteral("thumbs4/1.bmp")).size(), QSize(120, 90));
    EXPECT_EQ(QImage(carpeta() + QStringLiteral("thumbs0/1.bmp")).size(), QSize(20, 15));
    EXPECT_EQ(QDir(carpeta()).entryList({QStringLiteral("TMP_*")}, QDir::Files), QStringList());
}

TEST_P(ArticleWindowPicture, AStoredArticleIsShownWithItsPictureAndAPasteReplacesIt)
{
    articulo(QStringLiteral("5"), QStringLiteral("779"), QStringLiteral("Yerba"));
    QDir().mkpath(carpeta());
    QImage guardada(300, 300, QImage::Format_RGB32);
    guardada.fill(QColor(20, 40, 220));
    ASSERT_TRUE(guardada.save(carpeta() + QStringLiteral("779.jpg")));

    FrmArtAlta ventana;
    ventana.modelo().DesdeConsulta = true;
    mostrar(ventana);
    QTest::keyClicks(ventana.txtFields[Form::kCodigo], QStringLiteral("779"));
    QTest::keyClick(ventana.txtFields[Form::kCodigo], Qt::Key_Return);
    EXPECT_EQ(ventana.txtFields[Form::kDescripcion]->text(), QStringLiteral("Yerba"));
    EXPECT_EQ(ventana.txtFields[Form::kRutaImagen]->text(), carpeta() + QStringLiteral("779.jpg"));
    EXPECT_EQ(ventana.PicLogo->toolTip(), carpeta() + QStringLiteral("779.jpg"));
    EXPECT_TRUE(parecido(mostrado(ventana, QPoint(150, 150)), QColor(20, 40, 220)));
    EXPECT_TRUE(m_servidor.pedidos().isEmpty()); // a picture is shown: nothing downloaded

    QImage pegada(100, 50, QImage::Format_RGB32);
    pegada.fill(QColor(250, 250, 0));
    QGuiApplication::clipboard()->setImage(pegada);
    QTest::mouseClick(ventana.CmdPegar, Qt::LeftButton);
    EXPECT_TRUE(parecido(mostrado(ventana, QPoint(100, 100)), QColor(250, 250, 0))); // fitted, centred
    EXPECT_EQ(mostrado(ventana, QPoint(100, 10)).alpha(), 0);                        // above it, nothing
    QTest::mouseClick(ventana.CmdAlta, Qt::LeftButton);
    EXPECT_EQ(QImage(carpeta() + QStringLiteral("5.jpg")).size(), QSize(100, 50));
    EXPECT_EQ(scalar(QStringLiteral("SELECT RutaImagen FROM V_MA_ARTICULOS")), carpeta() + QStringLiteral("5.jpg"));
}

IMAESTROS_DATABASE_TESTS(ArticleWindowPicture);

} // namespace
