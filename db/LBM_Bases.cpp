#include "db/LBM_Bases.h"

#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/Variant.h"
#include "platform/suite/Funciones.h"

#include <QFileInfo>

namespace LBM_Common {

namespace {

std::function<QDateTime()> &fechaServidorHook()
{
    static std::function<QDateTime()> hook;
    return hook;
}

QString &rutaModulo()
{
    EstadoBases &estado = estadoBases();
    if (estado.ruta.isEmpty())
        estado.ruta = rutaBasesPorDefecto();
    return estado.ruta;
}

// Reading and writing errors of the file, as the run-time errors its callers handle.
[[noreturn]] void raiseFileError(long number, const QString &message)
{
    throw platform::RuntimeError(number, message, QStringLiteral("LBM_Common"));
}

} // namespace

EstadoBases &estadoBases()
{
    static EstadoBases estado;
    return estado;
}

void resetEstadoBases() { estadoBases() = EstadoBases(); }

QString rutaBasesPorDefecto()
{
    return platform::findFileNoCase(platform::programFolder(), QStringLiteral("BASES.TXT"));
}

platform::Status validarRegistro(const QString &nombre, const QString &baseDatos, const QString &usuario,
                                 const QString &servidor, const QString &instancia)
{
    const std::pair<const char *, const QString *> fields[] = {{"nombre", &nombre},
                                                               {"base de datos", &baseDatos},
                                                               {"usuario", &usuario},
                                                               {"servidor", &servidor},
                                                               {"instancia", &instancia}};
    for (const auto &[label, text] : fields) {
        const QString field = QString::fromLatin1(label);
        for (const QChar breaker : {QLatin1Char(','), QLatin1Char('\r'), QLatin1Char('\n')}) {
            if (text->contains(breaker)) {
                const QString shown =
                    breaker == QLatin1Char(',') ? QStringLiteral("\",\"") : QStringLiteral("un salto de línea");
                return platform::Status::failure(
                    QStringLiteral("El %1 \"%2\" no puede contener %3: BASES.TXT separa sus campos con comas")
                        .arg(field, text->trimmed(), shown));
            }
        }
        const QString outside = platform::textfile::firstOutside1252(*text);
        if (!outside.isEmpty())
            return platform::Status::failure(
                QStringLiteral("El %1 \"%2\" contiene el carácter \"%3\" (U+%4), que BASES.TXT no puede guardar")
                    .arg(field, text->trimmed(), outside,
                         QString::number(outside.toUcs4().value(0), 16).toUpper().rightJustified(4, QLatin1Char('0'))));
    }
    return {};
}

void RegistrarBase(const QString &nombre, const QString &baseDatos, const QString &usuario, const QString &password,
                   const QString &servidor, const QString &instancia, int oracle)
{
    if (const platform::Status valid = validarRegistro(nombre, baseDatos, usuario, servidor, instancia); !valid.ok())
        throw platform::RuntimeError(5, valid.message(), QStringLiteral("LBM_Common"));
    const QString &puerto = estadoBases().puerto;
    QString sufijo;
    if (!instancia.isEmpty())
        sufijo = QLatin1Char('/') + instancia + QLatin1Char(':') + puerto;
    else if (!puerto.isEmpty())
        sufijo = QLatin1Char(':') + puerto;
    const QString server = oracle != 0 ? QLatin1Char('#') + servidor : servidor;
    const QString codificada = platform::suite::gFunciones().Codificar(password);
    const QString linea = nombre.trimmed() + QLatin1Char(',') + baseDatos.trimmed() + QLatin1Char(',')
        + usuario.trimmed() + QLatin1Char(',') + codificada.trimmed() + QLatin1Char(',') + server.trimmed() + sufijo;
    const platform::Status written = platform::textfile::appendLines(rutaModulo(), {linea});
    if (!written)
        raiseFileError(
            75, QStringLiteral("No se pudo escribir ") + rutaModulo() + QStringLiteral(": ") + written.message());
}

platform::Result<QList<RegistroBase>> leerRegistros(const QString &ruta)
{
    QList<RegistroBase> registros;
    if (!QFileInfo::exists(ruta))
        return registros;
    platform::Result<QStringList> lines = platform::textfile::readLines(ruta);
    if (!lines)
        return platform::Result<QList<RegistroBase>>::failure(lines.message(), lines.code());
    int number = 0;
    for (const QString &line : lines.value()) {
        ++number;
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() != 5) {
            if (!line.trimmed().isEmpty())
                platform::logger().warning(QStringLiteral("%1, linea %2: se esperaban 5 campos y hay %3; "
                                                          "se omite")
                                               .arg(ruta)
                                               .arg(number)
                                               .arg(fields.size()));
            continue;
        }
        registros.append(
            {fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed(), fields[3].trimmed(), fields[4].trimmed()});
    }
    return registros;
}

bool LeerBase(const QString &buscado, QString &nombre, QString &baseDatos, QString &usuario,
              QString &passwordCodificado, QString &servidor, const QString &archivo)
{
    const QString ruta = archivo.isEmpty() ? rutaModulo() : archivo;
    if (!QFileInfo::exists(ruta))
        return false;
    EstadoBases &estado = estadoBases();
    estado.servidor.clear();
    estado.baseDatos.clear();
    estado.usuario.clear();
    estado.password.clear();
    platform::Result<QList<RegistroBase>> registros = leerRegistros(ruta);
    if (!registros)
        raiseFileError(62, QStringLiteral("No se pudo leer ") + ruta + QStringLiteral(": ") + registros.message());
    // Every well-formed line fills the caller's fields as it is read, so without a match
    // they hold the last one: callers compare the name they get with the one they asked.
    for (const RegistroBase &r : registros.value()) {
        nombre = r.nombre;
        baseDatos = r.baseDatos;
        usuario = r.usuario;
        passwordCodificado = r.password;
        servidor = r.servidor;
        if (r.nombre.compare(buscado.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        estado.servidor = r.servidor;
        estado.baseDatos = r.baseDatos;
        estado.usuario = r.usuario;
        estado.password = platform::suite::gFunciones().Decodificar(r.password);
        return true;
    }
    return false;
}

QString SepararServidor(QString &servidor, const QString &)
{
    EstadoBases &estado = estadoBases();
    const qsizetype colon = servidor.indexOf(QLatin1Char(':'));
    estado.puerto = colon >= 0 ? servidor.mid(colon + 1) : QStringLiteral("1433");
    const qsizetype cut = estado.puerto.indexOf(QLatin1Char(':'));
    if (cut >= 0)
        estado.puerto = estado.puerto.left(cut);
    const qsizetype slash = servidor.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return servidor;
    const QString parte = servidor.left(slash);
    FijarBase(QString(), parte);
    return parte;
}

void FijarBase(const QString &, const QString &servidorParte)
{
    EstadoBases &estado = estadoBases();
    estado.servidorBase = servidorParte;
    try {
        const std::function<QDateTime()> &hook = fechaServidorHook();
        const QDateTime fecha = hook ? hook() : QDateTime::currentDateTime();
        estado.fechaBase = fecha.date().toString(platform::regional().shortDateFormat);
    } catch (const std::exception &) {
        // the working date is a convenience; a failure leaves the previous one
    }
}

void setFechaServidor(std::function<QDateTime()> fechaServidor) { fechaServidorHook() = std::move(fechaServidor); }

} // namespace LBM_Common
