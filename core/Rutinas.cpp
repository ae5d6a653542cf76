#include "Rutinas.h"

#include "Globals.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/Variant.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Sistema.h"

#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cmath>
#include <memory>

namespace ModGlobal {

namespace {

QString localPath(const QString &archivo) { return platform::fromWindowsPath(archivo); }

constexpr int kLocaleCurrencyDigits = 2; // es_AR

int decimalsFor(int selector)
{
    if (selector == -2)
        return 0;
    int d = selector;
    if (selector == -1)
        d = int(platform::Variant(gCantidadDecimales.trimmed()).toDouble());
    if (d == -2)
        return 0;
    return d == 0 ? kLocaleCurrencyDigits : d;
}

double roundHalfEven(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::nearbyint(value * scale) / scale; // default rounding mode: to nearest even
}

QString groupThousands(const QString &digits, QChar separator)
{
    QString grouped;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += separator;
        grouped += digits.at(i);
    }
    return grouped;
}

} // namespace

bool ExisteArchivo(const QString &archivo)
{
    if (archivo.trimmed().isEmpty())
        return false;
    QFile file(localPath(archivo));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    return true;
}

bool ExisteArchivoSinComillas(const QString &archivo)
{
    QString name = archivo;
    return ExisteArchivo(name.remove(QLatin1Char('"')));
}

QString ExtraerCampo(const QString &texto, long n, const QString &separador)
{
    auto trimBlanks = [](QString s) {
        while (s.startsWith(QLatin1Char(' ')))
            s.remove(0, 1);
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    };
    QString rest = trimBlanks(texto);
    long count = 0;
    while (!rest.isEmpty()) {
        const qsizetype p = separador.isEmpty() ? -1 : rest.indexOf(separador, 0, Qt::CaseInsensitive);
        ++count;
        if (p < 0)
            return count == n ? trimBlanks(rest) : QString();
        if (count == n)
            return trimBlanks(rest.left(p));
        rest = trimBlanks(rest.mid(p + 1));
    }
    return QString();
}

bool ValorLogico(const QString &texto, bool defecto)
{
    const QString t = texto.trimmed().toUpper();
    if (defecto)
        return !(t == u"FALSE" || t == u"FALSO" || t == u"0" || t == u"NO" || t == u"N");
    return t == u"TRUE" || t == u"VERDADERO" || t == u"1" || t == u"SI" || t == u"S";
}

QString FmtMoneda(const QString &importe, int selector, bool miles)
{
    if (selector == -3)
        return importe;
    const int d = decimalsFor(selector);
    const double value = roundHalfEven(platform::suite::gFunciones().TextoAMoneda(importe), d);
    const QChar decimal = platform::regional().decimalSeparator;
    const QChar thousands = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    QString text = QString::number(std::fabs(value), 'f', d);
    QString whole = text.section(QLatin1Char('.'), 0, 0);
    const QString fraction = d > 0 ? text.section(QLatin1Char('.'), 1, 1) : QString();
    if (miles)
        whole = groupThousands(whole, thousands);
    QString result = (value < 0 ? QStringLiteral("-") : QString()) + whole;
    if (d > 0)
        result += decimal + fraction;
    return result;
}

bool CopiarArchivo(const QString &origen, const QString &destino)
{
    if (!ExisteArchivoSinComillas(origen))
        return false;
    QString source = origen, target = destino;
    QFile in(localPath(source.remove(QLatin1Char('"'))));
    QFile out(localPath(target.remove(QLatin1Char('"'))));
    // Emptying the target first would empty the source too: a file is its own copy.
    const QString sourceFile = QFileInfo(in.fileName()).canonicalFilePath();
    if (sourceFile == QFileInfo(out.fileName()).canonicalFilePath())
        return true;
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    constexpr qint64 kBlock = 16384;
    while (!in.atEnd()) {
        const QByteArray block = in.read(kBlock);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            return false;
        if (out.write(block) != block.size())
            return false;
    }
    return out.flush();
}

namespace {

struct OutputFile {
    QString name;
    std::unique_ptr<QFile> file;
};

OutputFile &outputFile()
{
    static OutputFile record;
    return record;
}

QString outputFolder(const QString &carpeta)
{
    QString folder = carpeta.trimmed();
    if (folder.isEmpty())
        folder = qEnvironmentVariable("temp").trimmed();
    if (folder.isEmpty())
        folder = qEnvironmentVariable("TEMP").trimmed();
    if (folder.isEmpty())
        folder = qEnvironmentVariable("tmp").trimmed();
    if (folder.isEmpty())
        folder = qEnvironmentVariable("TMP").trimmed();
    if (folder.isEmpty())
        folder = platform::suite::gSistema().CarpetaTemporal();
    return localPath(folder);
}

void openOutput(QString &extension, const QString &carpeta)
{
    OutputFile &out = outputFile();
    if (!extension.startsWith(QLatin1Char('.')))
        extension.prepend(QLatin1Char('.'));
    out.name =
        platform::joinPath(outputFolder(carpeta), QTime::currentTime().toString(QStringLiteral("HHmmss")) + extension);
    out.file = std::make_unique<QFile>(out.name);
    if (!out.file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        platform::logger().error(QStringLiteral("No se puede crear %1: %2").arg(out.name, out.file->errorString()));
        out.file.reset();
    }
}

void writeOutput(const QString &linea)
{
    OutputFile &out = outputFile();
    if (!out.file)
        return;
    QString line = linea;
    if (!out.name.endsWith(QStringLiteral("xls"), Qt::CaseInsensitive))
        line += QLatin1Char('\r');
    out.file->write(platform::textfile::encode1252(line + QStringLiteral("\r\n")));
}

void closeOutput()
{
    OutputFile &out = outputFile();
    if (out.file)
        out.file->close();
    out.file.reset();
}

} // namespace

void ExportarPlanilla(int modo, const QString &linea, QString &extension, QString &carpeta)
{
    switch (modo) {
    case 1:
        closeOutput();
        openOutput(extension, carpeta);
        if (!linea.trimmed().isEmpty())
            writeOutput(linea);
        break;
    case 2:
        writeOutput(linea);
        break;
    case 3:
        closeOutput();
        AbrirDocumento(outputFile().name, true);
        break;
    case 4:
        closeOutput();
        QFile::remove(outputFile().name);
        break;
    default:
        return;
    }
    carpeta = outputFile().name;
}

void AbrirDocumento(const QString &ruta, bool minimizado)
{
    QString path = ruta;
    if (!path.contains(QLatin1Char('"')) && path.contains(QLatin1Char(' ')))
        path = QLatin1Char('"') + path + QLatin1Char('"');
    platform::suite::gSistema().EjecutarShell(0, QString(), path, QString(), QString(), minimizado ? 6 : 0);
}

QString FormatoFechaHora() { return QStringLiteral("dd/mm/yy hh:mm"); }
QString FormatoFecha() { return QStringLiteral("dd/mm/yy"); }
QString FormatoHora() { return QStringLiteral("hh:mm"); }
QString AhoraFechaHora() { return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yy HH:mm")); }

} // namespace ModGlobal
