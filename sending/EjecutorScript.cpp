#include "EjecutorScript.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/Variant.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Sistema.h"
#include "platform/suite/TratarError.h"
#include "platform/ui/Operator.h"

#include <QCoreApplication>
#include <QFile>

#include <set>

namespace {

constexpr int kPasadas = 20;
constexpr long kObjetoInexistente = 208;
const QString kAsteriscos = QString(112, QLatin1Char('*'));

bool esSeparador(const QString &linea)
{
    const QString t = linea.trimmed();
    return t.compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0 || t == QLatin1String("/");
}

// An object missing, or one that a script creating views expects to find already there.
bool esperado(long nativo)
{
    static const std::set<long> codigos = {208, 1779, 1781, 1913, 2714, 2729};
    return codigos.count(nativo) > 0;
}

QString carpetaTemporal()
{
    const QString temp = qEnvironmentVariable("TEMP").trimmed();
    return platform::suite::gFunciones().AgregarBarra(temp.isEmpty() ? platform::suite::gSistema().CarpetaTemporal()
                                                                     : temp);
}

QString fecha(const QDate &dia) { return platform::Variant(dia).toString(); }

} // namespace

EjecutorScript::EjecutorScript(DB_Dll &db) : m_db(db)
{
    m_abridor = [](const QString &ruta, bool mostrar) {
        platform::suite::gSistema().EjecutarShell(0, QStringLiteral("open"), ruta, QString(), QString(),
                                                  mostrar ? 2 : 6);
    };
    m_reloj = [] { return QDateTime::currentDateTime(); };
}

QStringList EjecutorScript::bloques(const QStringList &lineas)
{
    QStringList resultado{QString()};
    for (const QString &linea : lineas) {
        if (esSeparador(linea))
            resultado << QString();
        else
            resultado.last() += linea + QStringLiteral("\r\n");
    }
    return resultado;
}

QString EjecutorScript::reemplazarFechas(const QString &bloque, const QDateTime &ahora)
{
    QString texto = bloque;
    texto.replace(QStringLiteral("<DATE>"), fecha(ahora.date()), Qt::CaseInsensitive);
    texto.replace(QStringLiteral("<NOW>"), platform::Variant(ahora).toString(), Qt::CaseInsensitive);
    texto.replace(QStringLiteral("<DATE+YEAR>"), fecha(ahora.date().addYears(1)), Qt::CaseInsensitive);
    texto.replace(QStringLiteral("<DATE-YEAR>"), fecha(ahora.date().addYears(-1)), Qt::CaseInsensitive);
    return texto;
}

// Until the first block runs, a failure goes to the operator: Retry tries again, Ignore
// goes on, anything else leaves.
bool EjecutorScript::leer(const QString &ruta, QStringList &lineas)
{
    for (;;) {
        platform::Result<QStringList> leidas = platform::textfile::readLines(ruta);
        if (leidas.ok()) {
            lineas = leidas.value();
            return true;
        }
        const int respuesta = platform::suite::TratarError(
            platform::RuntimeError(leidas.code(), leidas.message(), QStringLiteral("Ejecutar")), QString(),
            QStringLiteral("Ejecutar"));
        if (respuesta == platform::vbRetry)
            continue;
        return respuesta == platform::vbIgnore;
    }
}

void EjecutorScript::registrar(long nativo, const QString &descripcion, const QString &bloque)
{
    const QDateTime ahora = m_reloj();
    const platform::Status escrito = platform::textfile::appendLines(
        m_log,
        {kAsteriscos, fecha(ahora.date()) + QStringLiteral(" - ") + ahora.time().toString(QStringLiteral("HH:mm:ss")),
         QStringLiteral("  Error %1 %2").arg(nativo).arg(descripcion), kAsteriscos, bloque, kAsteriscos});
    if (!escrito.ok())
        platform::logger().error(escrito.message());
    ++m_registrados;
}

void EjecutorScript::VerVistas(const QString &ruta)
{
    m_pasadas = 0;
    m_registrados = 0;
    m_pendientes.clear();
    if (ruta.isEmpty())
        return;
    const QTime hora = m_reloj().time();
    m_log =
        carpetaTemporal() + QStringLiteral("Script%1%2%3.TXT").arg(hora.hour()).arg(hora.minute()).arg(hora.second());
    (void)platform::textfile::appendLines(m_log, {}); // the log exists even when nothing goes wrong
    QStringList lineas;
    if (!leer(ruta, lineas))
        return;
    const QStringList todos = bloques(lineas);
    ado::Connection &cnn = m_db.gCnn;
    try {
        cnn.Execute(QStringLiteral("SET NOCOUNT ON"));
    } catch (const platform::RuntimeError &error) {
        platform::logger().warning(QStringLiteral("SET NOCOUNT ON: %1").arg(error.Description()));
    }
    struct Falta {
        long nativo;
        QString descripcion;
    };
    QList<int> aCorrer;
    for (int i = 0; i < todos.size(); ++i)
        aCorrer << i;
    QHash<int, Falta> faltas;
    while (!aCorrer.isEmpty() && m_pasadas < kPasadas) {
        ++m_pasadas;
        QList<int> repetir;
        for (int indice : aCorrer) {
            const QString bloque = reemplazarFechas(todos[indice], m_reloj());
            QCoreApplication::processEvents();
            if (m_pasadas > 1 && bloque.contains(QStringLiteral("drop "), Qt::CaseInsensitive))
                continue;
            faltas.remove(indice);
            if (bloque.trimmed().isEmpty())
                continue; // nothing to run (a script ending in a separator)
            try {
                cnn.Execute(bloque);
            } catch (const platform::RuntimeError &error) {
                const long nativo = cnn.errors().isEmpty() ? error.Number() : cnn.errors()[0].NativeError;
                const QString descripcion = cnn.errors().isEmpty() ? error.Description() : cnn.errors()[0].Description;
                if (!esperado(nativo))
                    registrar(nativo, descripcion, bloque);
                // A drop runs once: the object it missed is simply not there yet.
                if (nativo == kObjetoInexistente && !bloque.contains(QStringLiteral("drop "), Qt::CaseInsensitive)) {
                    repetir << indice;
                    faltas.insert(indice, Falta{nativo, descripcion});
                }
            }
            cnn.errors().Clear();
            QCoreApplication::processEvents();
        }
        aCorrer = repetir;
    }
    // What still misses an object after the last pass is reported, not passed over.
    for (auto it = faltas.cbegin(); it != faltas.cend(); ++it) {
        const QString bloque = reemplazarFechas(todos[it.key()], m_reloj());
        registrar(it->nativo, QStringLiteral("(sin resolver) ") + it->descripcion, bloque);
        m_pendientes << bloque;
    }
    if (m_registrados > 0) {
        platform::msgBox(QStringLiteral("Se detectaron errores, consulte el archivo ") + m_log);
        Ejecutar2(m_log, true);
    }
}

void EjecutorScript::Ejecutar2(const QString &ruta, bool mostrar)
{
    QString archivo = ruta;
    if (!archivo.contains(QLatin1Char('"')) && archivo.contains(QLatin1Char(' ')))
        archivo = QLatin1Char('"') + archivo + QLatin1Char('"');
    try {
        m_abridor(ruta, mostrar);
    } catch (const platform::RuntimeError &error) {
        platform::logger().warning(QStringLiteral("No se pudo abrir %1: %2").arg(archivo, error.Description()));
    }
}
