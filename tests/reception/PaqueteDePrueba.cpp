#include "PaqueteDePrueba.h"

#include "package/ControlFile.h"
#include "package/Format.h"

#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "zip/Zip32.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

PaqueteDePrueba::PaqueteDePrueba() = default;

PaqueteDePrueba &PaqueteDePrueba::tabla(const QString &nombre, const QStringList &campos, const QStringList &lineas)
{
    bloque(nombre, campos);
    return archivo(nombre + QStringLiteral(".DAT"), lineas);
}

PaqueteDePrueba &PaqueteDePrueba::bloque(const QString &nombre, const QStringList &campos)
{
    m_bloques << nombre << package::writeFieldList(campos) << QString();
    return *this;
}

PaqueteDePrueba &PaqueteDePrueba::archivo(const QString &nombre, const QStringList &lineas)
{
    m_archivos[nombre] = lineas;
    return *this;
}

PaqueteDePrueba &PaqueteDePrueba::precios(bool si)
{
    m_precios = si;
    return *this;
}

PaqueteDePrueba &PaqueteDePrueba::sinControl()
{
    m_control = false;
    return *this;
}

PaqueteDePrueba &PaqueteDePrueba::origen(const QString &base)
{
    return archivo(package::originFileName(),
                   {QStringLiteral("Control"), QString(), QString(), QString(), QString(), QString(), base});
}

platform::Status PaqueteDePrueba::escribirCarpeta(const QString &carpeta, QStringList *rutas) const
{
    QStringList escritas;
    if (m_control) {
        package::ControlFile control;
        control.writeHeader(QStringLiteral("7"), QStringLiteral("Prueba"), QStringLiteral("C:\\ENVIAR\\ControlMA.dat"),
                            QStringLiteral("ORIGEN"), m_precios);
        const QString ruta = QDir(carpeta).filePath(package::controlFileWrittenName());
        if (platform::Status s = platform::textfile::writeLines(ruta, control.lines() + m_bloques); !s.ok())
            return s;
        escritas << ruta;
    }
    for (auto it = m_archivos.constBegin(); it != m_archivos.constEnd(); ++it) {
        const QString ruta = QDir(carpeta).filePath(it.key());
        if (platform::Status s = platform::textfile::writeLines(ruta, it.value()); !s.ok())
            return s;
        escritas << ruta;
    }
    if (rutas)
        *rutas = escritas;
    return {};
}

platform::Status PaqueteDePrueba::escribir(const QString &zip) const
{
    QTemporaryDir carpeta;
    if (!carpeta.isValid())
        return platform::Status::failure(QStringLiteral("sin carpeta temporal"));
    QStringList rutas;
    if (platform::Status s = escribirCarpeta(carpeta.path(), &rutas); !s.ok())
        return s;
    return comprimir(zip, rutas);
}

platform::Status comprimir(const QString &zip, const QStringList &archivos)
{
    QFile::remove(zip);
    ziplayer::Zip32 z;
    ziplayer::ZipOptions opciones;
    opciones.dropFolderNames = 1;
    opciones.quiet = 1;
    if (z.ZpInit(ziplayer::ZipCallbacks{}) != ziplayer::ZE_OK || z.ZpSetOptions(opciones) != ziplayer::ZE_OK)
        return platform::Status::failure(QStringLiteral("zip32"));
    const int code = z.ZpArchive(int(archivos.size()), zip, archivos);
    return code == ziplayer::ZE_OK ? platform::Status() : platform::Status::failure(ziplayer::Zip32::describe(code));
}

QString fila(const QStringList &valores) { return package::writeLine(valores); }
