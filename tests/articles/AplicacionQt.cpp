#include "AplicacionQt.h"

#include <QApplication>

QGuiApplication &aplicacionQt()
{
    if (auto *existente = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return *existente;
    static int argc = 1;
    static char nombre[] = "test_articles";
    static char *argv[] = {nombre, nullptr};
    static auto *aplicacion = new QApplication(argc, argv);
    return *aplicacion;
}
