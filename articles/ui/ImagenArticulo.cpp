#include "ImagenArticulo.h"

#include "FrmArtAlta.h"

#include "articles/imagen/ModeloConImagen.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace articles::ui {

namespace {

void mostrar(FrmArtAlta &ventana, const ModeloConImagen &modelo)
{
    QPixmap lienzo(ventana.PicLogo->size());
    lienzo.fill(Qt::transparent);
    if (!modelo.PicLogo.Picture.isNull()) {
        QPainter pintor(&lienzo);
        pintor.setRenderHint(QPainter::SmoothPixmapTransform);
        pintor.drawImage(modelo.PicLogo.dibujo, modelo.PicLogo.Picture);
    }
    ventana.PicLogo->setPixmap(lienzo);
    ventana.PicLogo->setToolTip(modelo.PicLogo.ToolTipText);
    ventana.lblMensaje->setText(modelo.lblMensaje);
    ventana.PicLogo->repaint();
    ventana.lblMensaje->repaint();
}

} // namespace

void ConectarImagen(FrmArtAlta &ventana)
{
    auto *modelo = qobject_cast<ModeloConImagen *>(&ventana.modelo());
    if (!modelo)
        return;
    modelo->PicLogo.tamano = ventana.PicLogo->size();
    ventana.imglogo->hide(); // the pasted picture is drawn fitted into PicLogo
    const auto orden = [&ventana, modelo](void (ModeloConImagen::*comando)()) {
        return [&ventana, modelo, comando] {
            (modelo->*comando)();
            ventana.sincronizar();
        };
    };
    for (const auto &[boton, comando] : {std::pair{ventana.CmdPegar, &ModeloConImagen::CmdPegar_Click},
                                         std::pair{ventana.CmdBuscar1, &ModeloConImagen::CmdBuscar1_Click},
                                         std::pair{ventana.CmdQuitar1, &ModeloConImagen::CmdQuitar1_Click}}) {
        boton->setEnabled(true);
        QObject::connect(boton, &QPushButton::clicked, &ventana, orden(comando));
    }
    QObject::connect(modelo, &ModeloConImagen::imagenCambiada, &ventana,
                     [&ventana, modelo] { mostrar(ventana, *modelo); });
    QObject::connect(modelo, &ModeloConImagen::esperaPedida, &ventana, [](bool espera) {
        if (espera)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    mostrar(ventana, *modelo);
}

} // namespace articles::ui
