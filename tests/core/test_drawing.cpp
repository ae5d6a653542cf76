#include "core/ui/Dibujo.h"
#include "platform/ui/widgets/EstadoVentana.h"

#include <QApplication>
#include <QImage>
#include <QLabel>

#include "QtPrint.h"

#include <gtest/gtest.h>

namespace {

TEST(DibujarProgreso, FillsTheBarToThePercentage)
{
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QLabel box;
    box.resize(200, 20);
    ModGlobal::DibujarProgreso(&box, 50, 0x0000FF, QStringLiteral("Importando")); // VB red
    const QImage image = box.pixmap().toImage();
    ASSERT_EQ(image.width(), 200);
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(255, 0, 0));
    EXPECT_NE(QColor(image.pixel(197, 2)), QColor(255, 0, 0));

    // The desktop's status window shows, updates and closes without asking to stop.
    platform::EstadoVentana estado;
    short stop = 0;
    estado.Mostrar(QStringLiteral("Cargando"), 0);
    estado.Actualizar(stop, QStringLiteral("Exportando Tablas"), QStringLiteral("MA_ARTICULOS"));
    estado.Cerrar();
    EXPECT_EQ(stop, 0);
}

} // namespace
