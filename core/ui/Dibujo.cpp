#include "Dibujo.h"

#include "core/Globals.h"
#include "platform/suite/Ini.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>

namespace ModGlobal {

namespace {

QColor fromVbColour(std::int32_t colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(45, 45, 48));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Base, QColor(30, 30, 30));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Button, QColor(60, 60, 64));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    return palette;
}

} // namespace

void DibujarProgreso(QLabel *cuadro, double porcentaje, std::int32_t color, const QString &leyenda)
{
    if (!cuadro)
        return;
    const double value = std::clamp(porcentaje, 0.0, 100.0);
    const QSize size = cuadro->size().expandedTo(QSize(1, 1));
    QPixmap picture(size);
    picture.fill(cuadro->palette().color(QPalette::Base));
    QPainter painter(&picture);
    painter.fillRect(QRect(0, 0, int(size.width() * value / 100.0), size.height()), fromVbColour(color));
    painter.setPen(cuadro->palette().color(QPalette::Text));
    painter.drawText(picture.rect(), Qt::AlignCenter,
                     leyenda + QLatin1Char(' ') + QString::number(qRound(porcentaje)) + QLatin1Char('%'));
    painter.end();
    cuadro->setPixmap(picture);
}

void AplicarSkin(QWidget *formulario)
{
    if (!formulario)
        return;
    const QString style =
        platform::suite::gIni()
            .LeerIni(QStringLiteral("QD000PR.INI"), gClaveEstacion, QStringLiteral("Styles"), QStringLiteral("1"))
            .trimmed();
    if (style != u"1" && style != u"2")
        return;
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        fusion->setParent(formulario);
        formulario->setStyle(fusion);
    }
    if (style == u"2")
        formulario->setPalette(darkPalette());
}

} // namespace ModGlobal
