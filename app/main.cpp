// The program's entry point: decides desktop or unattended from the command line before
// any widget exists, then runs start-up.

#include "Programa.h"

#include "core/LineaComandos.h"

#include <QApplication>
#include <QCoreApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString commandText = ModGlobal::LineaComandos::fromArguments(arguments);
    const ModGlobal::LineaComandos line = ModGlobal::LineaComandos::parse(commandText);

    std::unique_ptr<QCoreApplication> app;
    if (line.unattended())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    return Programa::run(commandText, line.unattended());
}
