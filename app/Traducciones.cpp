#include "Traducciones.h"

#include "platform/Logger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace Programa {

namespace {

const QString kBase = QStringLiteral("qtbase_es");

} // namespace

QString archivoTraducciones()
{
    const QString file =
        QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(kBase + QStringLiteral(".qm"));
    return QFileInfo::exists(file) ? file : QString();
}

bool instalarTraducciones(QCoreApplication &app)
{
    auto *traductor = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!traductor->load(kBase, folder) || !QCoreApplication::installTranslator(traductor)) {
        delete traductor;
        platform::logger().info(QStringLiteral("No se encontraron los textos de Qt en castellano (%1.qm en %2): los "
                                               "diálogos de Qt quedan en inglés")
                                    .arg(kBase, folder));
        return false;
    }
    return true;
}

} // namespace Programa
