#pragma once

#include "articles/FrmArtAltaModelo.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>

namespace articles {

// A picture box: the picture it holds and where it is drawn, in pixels of the box.
struct CajaImagen {
    QImage Picture; // null: no picture
    QRectF dibujo;
    QString ToolTipText;
    QSize tamano = QSize(200, 200);
    QString archivo; // the file the picture was read from as it is ("" once it was changed)
};

// The article form's model with the article picture: the picture box PicLogo and the pasted
// picture imglogo, the commands "Buscar", "PEGAR" and "Quitar", the download by bar code from
// the image server (setting "WSImagenes": its address up to "/UPC/", where the bar code and
// ".png" go), the picture of a stored article, and its saving as a JPEG with its thumbnails.
class ModeloConImagen : public FrmArtAltaModelo {
    Q_OBJECT

public:
    explicit ModeloConImagen(QObject *parent = nullptr);

    CajaImagen PicLogo;
    QImage imglogo;
    QString lblMensaje;
    // Gives the clipboard's picture (null when it holds none); the desktop's clipboard by default.
    std::function<QImage()> portapapeles;

    // Shows a picture file at its own size in PicLogo; tells the operator when it cannot be read.
    void AsignarFoto(const QString &Imagen);
    // Downloads the picture of the bar code (asked for when the box is empty) and shows it.
    void DescargarImagen() override;
    // Draws the picture into the box, fitted and centred.
    static void Escalar_Imagen(const QImage &Img1, CajaImagen &Destino);
    void CmdBuscar1_Click();
    void CmdPegar_Click();
    void CmdQuitar1_Click();

    // The article's temporary picture file: TMP_, the article code and ".jpg", in the picture folder.
    QString archivoTemporal() const;

signals:
    void imagenCambiada();          // PicLogo or lblMensaje changed: show them at once
    void esperaPedida(bool espera); // a download starts (the wait cursor) or ends

protected:
    bool hayImagen() const override;
    void quitarImagen() override;
    void mostrarImagenDelArticulo() override;
    bool guardarImagen(const QString &ruta) override;
    void GenerarMiniaturas(const QString &carpeta, const QString &origen, const QString &codigo) override;

private:
    QString texto(const char *campo) const;
    void ponerTexto(const char *campo, const QString &texto);
    void mensaje(const QString &texto);
    void mostrarDescargada(const QString &codigo, const QString &temporal, bool escrita);
};

} // namespace articles
