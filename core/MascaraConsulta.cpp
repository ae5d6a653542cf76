#include "MascaraConsulta.h"

#include "platform/Logger.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QSet>

namespace ModGlobal {

namespace {

constexpr long kFileAccessError = 75; // VB "Path/File access error"
constexpr qint64 kMaxMaskFileBytes = 64LL * 1024 * 1024;

QByteArray fixedField(const QString &text, int width)
{
    QByteArray bytes = platform::textfile::encode1252(text).left(width);
    bytes.append(QByteArray(width - bytes.size(), ' '));
    return bytes;
}

QString cleanField(const QByteArray &bytes)
{
    QString text = platform::textfile::decode1252(bytes);
    text.remove(QChar(0)).remove(QChar(0xFF));
    return text.trimmed();
}

MascaraConsulta mask(const char *vista, const char *titulo, const char *columnas)
{
    return MascaraConsulta{QString::fromLatin1(titulo), QString::fromLatin1(vista), QString::fromLatin1(columnas),
                           QString()};
}

// The bytes of an existing mask file; empty when there is none.
QByteArray existingRecords(const QString &archivo)
{
    QFile file(archivo);
    if (!file.exists())
        return QByteArray();
    if (file.size() > kMaxMaskFileBytes || !file.open(QIODevice::ReadOnly))
        throw platform::RuntimeError(kFileAccessError,
                                     QStringLiteral("No se puede leer %1: %2").arg(archivo, file.errorString()),
                                     QStringLiteral("GenerarMascaraConsultas"));
    return file.readAll();
}

void writeWhole(const QString &archivo, const QByteArray &contents)
{
    const platform::Status written = platform::textfile::writeWhole(archivo, contents);
    if (!written.ok())
        throw platform::RuntimeError(kFileAccessError, written.message(), QStringLiteral("GenerarMascaraConsultas"));
}

} // namespace

QByteArray MascaraConsulta::toRecord() const
{
    QByteArray record;
    record.reserve(kLargo);
    record += fixedField(Titulo.trimmed(), kTitulo);
    record += fixedField(Vista, kVista);
    record += fixedField(Columnas.trimmed(), kColumnas);
    record += fixedField(Condicion.trimmed(), kCondicion);
    record += "\r\n";
    return record;
}

MascaraConsulta MascaraConsulta::fromRecord(const QByteArray &record)
{
    MascaraConsulta m;
    m.Titulo = cleanField(record.mid(0, kTitulo));
    m.Vista = cleanField(record.mid(kTitulo, kVista));
    m.Columnas = cleanField(record.mid(kTitulo + kVista, kColumnas));
    m.Condicion = cleanField(record.mid(kTitulo + kVista + kColumnas, kCondicion));
    return m;
}

QList<MascaraConsulta> mascarasPorOmision()
{
    return {
        mask("V_MA_ARTICULOS", "ARTICULOS", "|DESCRIPCION|IDARTICULO|"),
        mask("VT_CLIENTES", "CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"),
        mask("VT_PROVEEDORES", "PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"),
        mask("MA_CONTACTOS", "CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"),
        mask("V_TA_VENDEDORES", "VENDEDORES", "|NOMBRE|IDVENDEDOR|"),
        mask("V_TA_TECNICOS", "TECNICOS", "|NOMBRE|IDTECNICO|"),
        mask("V_MA_MANTENIMIENTOS", "MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"),
        mask("MA_CUENTAS", "CUENTAS", "|DESCRIPCION|CODIGO|"),
        mask("V_TA_Tareas", "TAREAS", "|Descripcion|IdTarea|"),
        mask("V_TA_UnidadNegocio", "UnidadNegocio", "|Descripcion|Codigo|"),
        mask("V_TA_DEPOSITO", "DEPOSITO", "|Descripcion|IdDeposito|"),
    };
}

void GenerarMascaraConsultas(const QString &archivo)
{
    // Each record goes after the last whole record, as a random-access append does.
    QByteArray contents = existingRecords(archivo);
    contents.truncate((contents.size() / MascaraConsulta::kLargo) * MascaraConsulta::kLargo);
    for (const MascaraConsulta &m : mascarasPorOmision())
        contents += m.toRecord();
    writeWhole(archivo, contents);
}

bool MascarasEnBuenEstado(const QString &archivo)
{
    QFile file(archivo);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0 || file.size() % MascaraConsulta::kLargo != 0
        || file.size() > kMaxMaskFileBytes)
        return false;
    const QByteArray bytes = file.readAll();
    for (qsizetype end = MascaraConsulta::kLargo; end <= bytes.size(); end += MascaraConsulta::kLargo) {
        if (bytes.at(end - 2) != '\r' || bytes.at(end - 1) != '\n')
            return false;
    }
    return bytes.size() == file.size();
}

void RehacerMascaraConsultas(const QString &archivo)
{
    const QByteArray bytes = existingRecords(archivo);
    QByteArray contents;
    QSet<QString> views;
    for (qsizetype end = MascaraConsulta::kLargo; end <= bytes.size(); end += MascaraConsulta::kLargo) {
        const QByteArray record = bytes.mid(end - MascaraConsulta::kLargo, MascaraConsulta::kLargo);
        const QString view = MascaraConsulta::fromRecord(record).Vista;
        if (!record.endsWith("\r\n") || view.isEmpty())
            continue; // a torn or blank record
        contents += record;
        views.insert(view.toUpper());
    }
    for (const MascaraConsulta &m : mascarasPorOmision()) {
        if (!views.contains(m.Vista.toUpper()))
            contents += m.toRecord();
    }
    writeWhole(archivo, contents);
}

QList<MascaraConsulta> LeerMascaras(const QString &archivo)
{
    QList<MascaraConsulta> masks;
    QFile file(archivo);
    if (!file.open(QIODevice::ReadOnly)) {
        platform::logger().warning(
            QStringLiteral("No se puede leer el archivo de máscaras %1: %2").arg(archivo, file.errorString()));
        return masks;
    }
    if (file.size() > kMaxMaskFileBytes) {
        platform::logger().warning(
            QStringLiteral("El archivo de máscaras %1 es demasiado grande; se ignora").arg(archivo));
        return masks;
    }
    const QByteArray bytes = file.readAll();
    const qint64 whole = bytes.size() / MascaraConsulta::kLargo;
    if (bytes.size() % MascaraConsulta::kLargo != 0)
        platform::logger().warning(
            QStringLiteral("El archivo de máscaras %1 termina en un registro incompleto; se ignora").arg(archivo));
    for (qint64 i = 0; i < whole; ++i)
        masks << MascaraConsulta::fromRecord(bytes.mid(i * MascaraConsulta::kLargo, MascaraConsulta::kLargo));
    return masks;
}

} // namespace ModGlobal
