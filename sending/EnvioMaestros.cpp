#include "EnvioMaestros.h"

#include "ExportadorTabla.h"
#include "Instantanea.h"

#include "package/ControlFile.h"
#include "package/Format.h"

#include "core/Globals.h"
#include "core/Sentencias.h"
#include "db/BloqueoCorrida.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Estado.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"
#include "zip/ModZIP.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>

namespace envio {

namespace {

using platform::RuntimeError;

const QString kTituloAviso = QStringLiteral("Aviso al operador...");
constexpr int kMostradasMaximo = 20;

QString conBarra(const QString &carpeta) { return platform::suite::gFunciones().AgregarBarra(carpeta); }

std::filesystem::path ruta(const QString &archivo)
{
    return std::filesystem::path(QFile::encodeName(archivo).toStdString());
}

QString textoLog(const QString &tablas)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("TABLAS TRANSMITIDAS") + crlf + QString(143, QLatin1Char('-')) + crlf
        + QString(tablas).replace(QLatin1Char(','), crlf);
}

// Unwinds a run that the operator interrupted, from its next row to its step.
struct Interrupcion {};

} // namespace

// Passes every call on to the form's view. The run yields to the event loop only through
// atender(), between rows: there an interruption asked for meanwhile ends the run.
class EnvioMaestros::Vigia : public VistaEnvio {
public:
    explicit Vigia(EnvioMaestros &e) : m_e(e) {}
    VistaEnvio *destino = nullptr;
    void actualizando(const QString &texto) override { destino->actualizando(texto); }
    void avance(double porcentaje) override { destino->avance(porcentaje); }
    void registro(const QString &texto) override { destino->registro(texto); }
    void atender() override
    {
        destino->atender();
        if (m_e.m_interrumpir)
            throw Interrupcion{};
    }

private:
    EnvioMaestros &m_e;
};

struct EnvioMaestros::Corrida {
    bool automatica = false;
    OpcionesExportacion opciones; // its folder is the private folder the package is built in
    QString carpeta;              // the package folder
    QString responsable;
    bool precios = false;
    std::unique_ptr<QTemporaryDir> preparacion;
    ListaMarcas marcas;
    bool sinFilasAceptado = false; // the operator let a package without rows replace the one there
    ResumenEnvio resumen;
    QElapsedTimer reloj;
};

EnvioMaestros::EnvioMaestros(DB_Dll &db) : m_db(db), m_vigia(std::make_unique<Vigia>(*this)), m_vista(m_vigia.get())
{
    m_vigia->destino = &m_vistaNula;
}

EnvioMaestros::~EnvioMaestros() = default;

void EnvioMaestros::setVista(VistaEnvio *vista) { m_vigia->destino = vista ? vista : &m_vistaNula; }

QString EnvioMaestros::carpetaAutomatica() { return platform::fromWindowsPath(QStringLiteral("C:\\ENVIAR")); }

QStringList EnvioMaestros::tablasDelEnvio(bool automatica)
{
    QStringList tablas = package::tableOrder();
    if (automatica) {
        for (const QString &extra : package::extraTables()) {
            if (m_db.ExisteTablaDB(extra))
                tablas << extra;
        }
    }
    return tablas;
}

// One step of a run. A failure is reported through the saving errors' routine: Retry runs
// the step again; any other answer leaves the run, which then delivers and stamps nothing.
bool EnvioMaestros::paso(Corrida &corrida, const std::function<void()> &accion)
{
    for (;;) {
        try {
            if (m_interrumpir) // asked for while the last step did not yield between rows (the packing)
                throw Interrupcion{};
            accion();
            return true;
        } catch (const Interrupcion &) {
            HuboError = true;
            corrida.resumen.motivo = QStringLiteral("Envío interrumpido por el operador");
            return false;
        } catch (const RuntimeError &error) {
            platform::suite::gFunciones().Restablecer(0);
            HuboError = true;
            platform::logger().error(
                QStringLiteral("Envío de maestros: (%1) %2").arg(error.Number()).arg(error.Description()));
            if (corrida.automatica)
                platform::suite::gEstado().Cerrar();
            if (ModGlobal::ErroresActualizacion(error, QString()) == platform::vbRetry)
                continue;
            corrida.resumen.motivo = error.Description();
            return false;
        }
    }
}

bool EnvioMaestros::tomarBase(db::BloqueoCorrida &bloqueo, Corrida &corrida)
{
    const platform::Status tomada =
        bloqueo.tomar(m_db.gCnn, esperaCorrida, [this](const QString &espera) { m_vista->actualizando(espera); });
    if (tomada.ok())
        return true;
    HuboError = true;
    corrida.resumen.motivo = tomada.message();
    if (corrida.automatica)
        platform::suite::gEstado().Cerrar();
    platform::msgBox(tomada.message(), platform::vbCritical, kTituloAviso);
    return false;
}

ResumenEnvio EnvioMaestros::terminar(Corrida &corrida)
{
    corrida.preparacion.reset(); // the private folder goes, with whatever a failed run left in it
    corrida.resumen.segundos = double(corrida.reloj.elapsed()) / 1000.0;
    corrida.resumen.ok = !HuboError;
    if (corrida.resumen.ok)
        platform::logger().info(QStringLiteral("Envío de maestros: ") + corrida.resumen.linea());
    else
        platform::logger().error(QStringLiteral("Envío de maestros fallido: ") + corrida.resumen.motivo);
    return corrida.resumen;
}

ResumenEnvio EnvioMaestros::EnviarMaestros(const Datos &datos)
{
    Corrida c;
    c.reloj.start();
    c.opciones = OpcionesExportacion{datos.numero.trimmed(), QString(), datos.idLista.trimmed(), datos.retransmitir,
                                     datos.unidadNegocio};
    c.carpeta = datos.carpeta;
    c.responsable = datos.responsable.trimmed();
    c.precios = datos.precios;
    c.resumen.numero = c.opciones.numero;
    HuboError = false;
    SinDatos = false;
    m_interrumpir = false;
    m_vista->avance(0);
    TablasEnviadas.clear();
    const QStringList tablas = tablasDelEnvio(false);
    m_vista->actualizando(QStringLiteral("Generando Archivo Control.txt..."));
    if (!paso(c, [&] { escribirControl(c, tablas); }))
        return terminar(c);
    if (!paso(c, [&] { agregarFila(c, conBarra(c.carpeta) + QStringLiteral("*.dat")); }))
        return terminar(c);
    db::BloqueoCorrida bloqueo;
    if (!tomarBase(bloqueo, c) || !exportarPaquete(c, tablas, {}))
        return terminar(c);
    m_vista->avance(100);
    if (datos.correo)
        platform::msgBox(QStringLiteral("El paquete %1 está listo para enviarse por correo electrónico.")
                             .arg(QDir::toNativeSeparators(c.resumen.archivo)),
                         platform::vbInformation, kTituloAviso);
    avisarOmitidas(c);
    return terminar(c);
}

ResumenEnvio EnvioMaestros::GeneraAutomatica()
{
    Corrida c;
    c.reloj.start();
    c.automatica = true;
    HuboError = false;
    m_interrumpir = false;
    platform::suite::Estado &estado = platform::suite::gEstado();
    short detener = 0;
    estado.Mostrar(QStringLiteral("Cargando"), 0);
    QString numero;
    if (!paso(c, [&] { numero = numeroAutomatico(); }))
        return terminar(c);
    c.opciones = OpcionesExportacion{numero, QString(), QString(), true, ModGlobal::gUnidadNegocio};
    c.carpeta = carpetaAutomatica();
    c.responsable = ModGlobal::gUsuarioLogeado.trimmed();
    c.precios = true;
    c.resumen.numero = numero;
    m_vista->avance(0);
    TablasEnviadas.clear();
    estado.Actualizar(detener, QStringLiteral("Generando Archivo de Control"));
    const QStringList tablas = tablasDelEnvio(true);
    estado.Actualizar(detener, QStringLiteral("Exportando Tablas"), QStringLiteral("Nombre Campos"));
    if (!paso(c, [&] { escribirControl(c, tablas); }))
        return terminar(c);
    try {
        agregarFila(c, QStringLiteral("C:\\ENVIAR"));
    } catch (const RuntimeError &error) {
        // The package does not depend on its row: it is still made, and the run reports it.
        c.resumen.avisos << error.Description();
        platform::msgBox(error.Description());
    }
    estado.Actualizar(detener, QStringLiteral("Exportando Tablas"), QStringLiteral("Campos"));
    const auto mostrar = [&](const QString &tabla) {
        if (tabla.isEmpty())
            estado.Actualizar(detener, QStringLiteral("Comprimiendo"));
        else
            estado.Actualizar(detener, QStringLiteral("Exportando Tablas"), tabla, QStringLiteral("Campos"));
    };
    db::BloqueoCorrida bloqueo;
    if (!tomarBase(bloqueo, c) || !exportarPaquete(c, tablas, mostrar))
        return terminar(c);
    m_vista->avance(100);
    estado.Cerrar();
    avisarOmitidas(c);
    return terminar(c);
}

// Nothing to send: a package already in the folder (maybe not delivered yet) is replaced by
// one without rows only when the operator says so. Otherwise the run ends here and its row
// is cancelled, since it sent nothing.
bool EnvioMaestros::hayPaqueteAnterior(const Corrida &c) const
{
    return QFileInfo(platform::findFileNoCase(c.carpeta, package::archiveName())).isFile();
}

bool EnvioMaestros::reemplazarSinFilas(Corrida &c)
{
    const QString anterior = platform::findFileNoCase(c.carpeta, package::archiveName());
    if (platform::msgBox(QStringLiteral("No hay registros para enviar.") + QStringLiteral("\r\n")
                             + QStringLiteral("¿Desea reemplazar el paquete %1 por uno sin registros?")
                                   .arg(QDir::toNativeSeparators(anterior)),
                         platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2, kTituloAviso)
        == platform::vbYes)
        return true;
    HuboError = true;
    SinDatos = true;
    c.resumen.motivo = QStringLiteral("No hay registros para enviar: se conservó el paquete %1")
                           .arg(QDir::toNativeSeparators(anterior));
    try {
        Sentencia anular(
            m_db.gCnn, QStringLiteral("UPDATE MV_TRANSMISIONES SET ANULADO = 1 WHERE TIPO = 'M' AND TRANSMISION = ?"));
        anular.ejecutar({platform::Variant(c.opciones.numero.toLongLong())});
    } catch (const RuntimeError &error) {
        platform::logger().warning(
            QStringLiteral("No se pudo anular la transmisión %1: %2").arg(c.opciones.numero, error.Description()));
    }
    return false;
}

// The highest transmission of any type, plus one.
QString EnvioMaestros::numeroAutomatico()
{
    ado::Recordset rs;
    if (!m_db.AbrirRecordset(QStringLiteral("SELECT MAX(Transmision) AS TRANSMISION FROM MV_TRANSMISIONES"), rs))
        throw RuntimeError(3021, QStringLiteral("No se pudo leer el último número de transmisión"),
                           QStringLiteral("GeneraAutomatica"));
    qint64 ultimo = 0;
    if (!rs.BOF() && !rs.EOF()) {
        const QString texto = platform::suite::gFunciones().NuloAVacio(rs.value(QStringLiteral("TRANSMISION")));
        if (!texto.trimmed().isEmpty())
            ultimo = qint64(platform::suite::gFunciones().TextoAMoneda(texto));
    }
    m_db.CierraRecordset(rs);
    return QString::number(ultimo + 1);
}

void EnvioMaestros::escribirControl(Corrida &c, const QStringList &tablas)
{
    c.preparacion =
        std::make_unique<QTemporaryDir>(QDir(c.carpeta).filePath(QStringLiteral(".imaestros-envio-XXXXXX")));
    if (!QFileInfo(c.carpeta).isDir() || !c.preparacion->isValid())
        throw RuntimeError(76, QStringLiteral("No se puede escribir el paquete en la carpeta \"%1\"").arg(c.carpeta),
                           QStringLiteral("EnviarMaestros"));
    c.opciones.carpeta = c.preparacion->path();
    package::ControlFile control;
    control.writeHeader(c.opciones.numero, c.responsable, conBarra(c.carpeta) + package::controlFileWrittenName(),
                        m_db.gDBName, c.precios);
    int hechas = 0;
    for (const QString &tabla : tablas) {
        m_vista->atender();
        control.writeBlock(tabla, camposDe(tabla));
        m_vista->avance(double(++hechas) * 10.0 / double(tablas.size()));
    }
    const platform::Status guardado =
        control.save(QDir(c.opciones.carpeta).filePath(package::controlFileWrittenName()));
    if (!guardado.ok())
        throw RuntimeError(75, guardado.message(), QStringLiteral("EnviarMaestros"));
}

// A table's field list, read from the same source as its rows. A table without its
// TRANSMISION column gets it first, so that the list and the lines agree.
QStringList EnvioMaestros::camposDe(const QString &tabla)
{
    m_db.VerCampoDB(tabla, QStringLiteral("Transmision"), true, QStringLiteral("INT"), true);
    Sentencia primera(m_db.gCnn, paraUsuario(m_db, QStringLiteral("SELECT TOP 1 * FROM ") + origenDeCampos(tabla)));
    const std::shared_ptr<ado::Recordset> rs = primera.abrir({});
    ado::Fields campos = rs->fields();
    QStringList nombres;
    bool conTransmision = false;
    for (int i = 0; i < campos.Count(); ++i) {
        const QString nombre = campos.Item(i).Name();
        conTransmision = conTransmision || nombre.compare(QLatin1String("TRANSMISION"), Qt::CaseInsensitive) == 0;
        if (!package::leftOutOfFieldList(nombre))
            nombres << nombre;
    }
    if (!conTransmision)
        throw RuntimeError(
            3265, QStringLiteral("La tabla %1 no tiene la columna TRANSMISION y no se pudo agregar").arg(tabla),
            QStringLiteral("GrabarCamposTabla"));
    return nombres;
}

void EnvioMaestros::agregarFila(Corrida &c, const QString &ubicacion)
{
    const QDateTime ahora = QDateTime::currentDateTime();
    Sentencia insertar(m_db.gCnn,
                       QStringLiteral("INSERT INTO MV_TRANSMISIONES (TIPO, TRANSMISION, FECHA, HORA, "
                                      "Responsable_Envio, registros_enviados, ubicacion_archivo, ANULADO) "
                                      "VALUES ('M', ?, ?, ?, ?, ?, ?, 0)"));
    insertar.ejecutar({platform::Variant(c.opciones.numero.toLongLong()), platform::Variant(ahora.date()),
                       platform::Variant(ahora.time().toString(QStringLiteral("HH:mm:ss"))),
                       platform::Variant(c.responsable), platform::Variant(RegistrosEnviados),
                       platform::Variant(ubicacion)});
}

void EnvioMaestros::exportar(Corrida &c, const QString &tabla)
{
    ExportadorTabla exportador(m_db, *m_vista, c.marcas);
    exportador.setTamanoPagina(m_tamanoPagina);
    const TablaExportada hecha = exportador.ExportarTabla(tabla, c.opciones);
    RegistrosEnviados += hecha.filas;
    c.resumen.filas += hecha.filas;
    ++c.resumen.tablas;
    c.resumen.omitidas += hecha.omitidas;
    if (!hecha.aviso.isEmpty()) {
        platform::logger().warning(hecha.aviso);
        c.resumen.avisos << hecha.aviso;
    }
    anotarTabla(c, tabla);
}

// The table joins the transmission's list of tables sent: in its row's LOG (which marks a
// sending that stops from here on as incomplete) and in the log box.
void EnvioMaestros::anotarTabla(Corrida &c, const QString &tabla)
{
    if (!TablasEnviadas.isEmpty())
        TablasEnviadas += QLatin1Char(',');
    TablasEnviadas += tabla;
    try {
        Sentencia log(m_db.gCnn,
                      QStringLiteral("UPDATE MV_TRANSMISIONES SET LOG = ? WHERE TRANSMISION = ? AND TIPO = 'M'"));
        log.ejecutar({platform::Variant(TablasEnviadas), platform::Variant(c.opciones.numero.toLongLong())});
    } catch (const RuntimeError &error) {
        platform::logger().warning(
            QStringLiteral("No se pudo anotar la tabla %1 en MV_TRANSMISIONES: %2").arg(tabla, error.Description()));
    }
    m_vista->registro(textoLog(TablasEnviadas));
}

// Packs the private folder and puts the archive in the package folder in one move, in place
// of an older one. The packing consumes its files: it works on links to them, so that the
// step can be repeated.
void EnvioMaestros::empaquetar(Corrida &c)
{
    QDir preparacion(c.opciones.carpeta);
    QDir paquete(preparacion.filePath(QStringLiteral("zip")));
    if ((paquete.exists() && !paquete.removeRecursively()) || !preparacion.mkdir(QStringLiteral("zip")))
        throw RuntimeError(75, QStringLiteral("No se puede preparar el paquete en \"%1\"").arg(paquete.path()),
                           QStringLiteral("ComprimirMaestros"));
    for (const QFileInfo &archivo : preparacion.entryInfoList(QDir::Files)) {
        std::error_code falla;
        std::filesystem::create_hard_link(ruta(archivo.filePath()), ruta(paquete.filePath(archivo.fileName())), falla);
        if (falla && !QFile::copy(archivo.filePath(), paquete.filePath(archivo.fileName())))
            throw RuntimeError(75, QStringLiteral("No se puede preparar el archivo \"%1\"").arg(archivo.filePath()),
                               QStringLiteral("ComprimirMaestros"));
    }
    const QString zip = paquete.filePath(package::archiveName());
    const platform::Status empaquetado =
        ModZIP::ComprimirMaestros(conBarra(paquete.path()), QStringLiteral("*.DAT"), zip);
    if (!empaquetado.ok())
        throw RuntimeError(empaquetado.code(), empaquetado.message(), QStringLiteral("ComprimirMaestros"));
    const QString destino = QDir(c.carpeta).filePath(package::archiveName());
    // An archive (or a link, even a dangling one) spelt in another case goes: the rename below
    // replaces only the exact name, and never follows a link.
    const QString anterior = platform::findFileNoCase(c.carpeta, package::archiveName());
    const QFileInfo previo(anterior);
    if (anterior != destino && (previo.exists() || previo.isSymLink()) && !QFile::remove(anterior))
        throw RuntimeError(75, QStringLiteral("No se pudo reemplazar el paquete anterior \"%1\"").arg(anterior),
                           QStringLiteral("ComprimirMaestros"));
    std::error_code falla;
    std::filesystem::rename(ruta(zip), ruta(destino), falla);
    if (falla)
        throw RuntimeError(75,
                           QStringLiteral("No se pudo dejar el paquete en \"%1\": %2")
                               .arg(destino, QString::fromStdString(falla.message())),
                           QStringLiteral("ComprimirMaestros"));
    c.resumen.archivo = destino;
}

// The stamps owed, the withdrawn prices' marks and the completion of the row, inside the
// export's transaction, once the package is where it belongs.
void EnvioMaestros::marcarEnviados(Corrida &c)
{
    ado::Connection &cnn = m_db.gCnn;
    m_vista->actualizando(QStringLiteral("Actualizando Transmisión "));
    const platform::Variant numero(c.opciones.numero.toLongLong());
    const long total = c.marcas.cantidad();
    c.marcas.aplicar(cnn, numero, [&](long hechas) {
        m_vista->avance(double(hechas) * 100.0 / double(total));
        m_vista->atender();
    });
    Sentencia fin(cnn,
                  QStringLiteral("UPDATE MV_Transmisiones SET Registros_Enviados = ?, FECHAFIN = ? "
                                 "WHERE transmision = ? AND tipo = 'M'"));
    fin.ejecutar({platform::Variant(RegistrosEnviados),
                  platform::Variant(platform::Variant(QDateTime::currentDateTime()).toString()), numero});
    c.resumen.marcadas = total;
}

// The export in one transaction (Instantanea): the tables, the package and, once it is
// delivered, the stamps and the completion of the row, committed together. A failure undoes
// all of it and takes back the package it delivered; Retry runs it again from its first
// table, on a new snapshot (a table read again on its own would mix two moments). `mostrar`
// hears each table before its export and an empty name before the packing.
bool EnvioMaestros::exportarPaquete(Corrida &c, const QStringList &tablas,
                                    const std::function<void(const QString &)> &mostrar)
{
    // The export rolls back whole on a failure, so no statement needs its own savepoint.
    StatementRollbackOff sinReversion(m_db);
    const QString tablasAntes = TablasEnviadas;
    const long registrosAntes = RegistrosEnviados;
    const ResumenEnvio resumenAntes = c.resumen;
    bool preguntar = false;
    const bool hecho = paso(c, [&] {
        preguntar = false;
        TablasEnviadas = tablasAntes;
        RegistrosEnviados = registrosAntes;
        c.resumen = resumenAntes;
        c.marcas.vaciar();
        Instantanea instantanea(m_db.gCnn);
        try {
            for (const QString &tabla : tablas) {
                if (mostrar)
                    mostrar(tabla);
                exportar(c, tabla);
            }
            if (mostrar)
                mostrar(QString());
            if (!c.automatica && !c.sinFilasAceptado && c.resumen.filas == 0 && c.marcas.cantidad() == 0
                && hayPaqueteAnterior(c)) {
                // The operator is asked with no transaction open (on SQLite it holds the write lock).
                instantanea.deshacer();
                preguntar = true;
                return;
            }
            empaquetar(c);
            if (m_interrumpir) // asked for during the packing, which does not yield between rows
                throw Interrupcion{};
            marcarEnviados(c);
            if (m_interrumpir)
                throw Interrupcion{};
            instantanea.confirmar();
        } catch (const Interrupcion &) {
            instantanea.deshacer();
            retirarPaquete(c);
            throw;
        } catch (const RuntimeError &error) {
            const bool conflicto = Instantanea::esConflicto(m_db.gCnn);
            instantanea.deshacer();
            retirarPaquete(c);
            if (conflicto)
                throw RuntimeError(error.Number(),
                                   QStringLiteral("Los datos cambiaron mientras se armaba el paquete (%1): no se marcó "
                                                  "ninguna fila como enviada. Envíe de nuevo para mandar los datos "
                                                  "actuales.")
                                       .arg(error.Description()),
                                   error.Source());
            throw;
        }
    });
    if (hecho && preguntar) {
        if (!reemplazarSinFilas(c))
            return false;
        c.sinFilasAceptado = true;
        TablasEnviadas = tablasAntes;
        RegistrosEnviados = registrosAntes;
        c.resumen = resumenAntes;
        return exportarPaquete(c, tablas, mostrar); // a new moment: rows that came meanwhile travel too
    }
    if (!hecho)
        anotarIncompleta(c);
    return hecho;
}

// A package delivered by a run that then failed is not left as if it had been sent.
void EnvioMaestros::retirarPaquete(Corrida &c)
{
    if (!c.resumen.archivo.isEmpty())
        QFile::remove(c.resumen.archivo);
    c.resumen.archivo.clear();
}

// The failed export's LOG went with its transaction: the tables it had exported are written
// again, so that its row reads as an incomplete transmission.
void EnvioMaestros::anotarIncompleta(Corrida &c)
{
    if (TablasEnviadas.isEmpty())
        return;
    try {
        Sentencia log(m_db.gCnn,
                      QStringLiteral("UPDATE MV_TRANSMISIONES SET LOG = ? WHERE TRANSMISION = ? AND TIPO = 'M'"));
        log.ejecutar({platform::Variant(TablasEnviadas), platform::Variant(c.opciones.numero.toLongLong())});
    } catch (const RuntimeError &error) {
        platform::logger().warning(
            QStringLiteral("No se pudo anotar en MV_TRANSMISIONES la transmisión incompleta %1: %2")
                .arg(c.opciones.numero, error.Description()));
    }
}

void EnvioMaestros::avisarOmitidas(const Corrida &c)
{
    if (c.resumen.omitidas.isEmpty())
        return;
    QStringList lineas;
    for (const FilaOmitida &fila : c.resumen.omitidas) {
        platform::logger().warning(QStringLiteral("Fila no enviada: ") + fila.texto());
        if (lineas.size() < kMostradasMaximo)
            lineas << fila.texto();
    }
    if (c.resumen.omitidas.size() > kMostradasMaximo)
        lineas << QStringLiteral("...");
    platform::msgBox(QStringLiteral("No se enviaron %1 filas: un valor no puede viajar en el paquete sin alterarse. "
                                    "Quedan sin marcar como enviadas hasta que se corrijan:")
                             .arg(c.resumen.omitidas.size())
                         + QStringLiteral("\r\n") + lineas.join(QStringLiteral("\r\n")),
                     platform::vbExclamation, kTituloAviso);
}

} // namespace envio
