#include "RecepcionMaestros.h"

#include "ReglasTablas.h"

#include "package/Format.h"

#include "db/BloqueoCorrida.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Estado.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"
#include "zip/ArchiveReader.h"
#include "zip/ModZIP.h"
#include "zip/PrivateFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace recepcion {

namespace {

const QString kCRLF = QStringLiteral("\r\n");
constexpr int kMaximoBarra = 29;
// Prefix of the folder each unattended run extracts its package into, inside the drop folder.
constexpr char kCarpetaPropia[] = ".imaestros-recepcion-";

QString textoFin(FinRecepcion fin)
{
    switch (fin) {
    case FinRecepcion::Completa:
        return QStringLiteral("Recepción finalizada");
    case FinRecepcion::Rechazada:
        return QStringLiteral("Recepción cancelada (otra base de datos de origen)");
    case FinRecepcion::SinControl:
        return QStringLiteral("Recepción incompleta (falta el archivo de control)");
    case FinRecepcion::Incompleta:
        return QStringLiteral("Recepción incompleta (faltan tablas en el paquete)");
    case FinRecepcion::PaqueteIlegible:
        return QStringLiteral("Recepción fallida (paquete ilegible)");
    case FinRecepcion::Detenida:
        return QStringLiteral("Recepción detenida por el operador");
    case FinRecepcion::Fallida:
        return QStringLiteral("Recepción fallida");
    case FinRecepcion::Terminar:
        return QStringLiteral("Recepción interrumpida (calendario fiscal)");
    case FinRecepcion::Ocupada:
        return QStringLiteral("Recepción no hecha (base de datos ocupada)");
    }
    return QString();
}

bool esTablaOpcional(const QString &tabla) { return package::extraTables().contains(tabla, Qt::CaseInsensitive); }

// What keeps the package from being read as a file, or "" when nothing does. A FIFO is
// never opened: reading one would wait for a writer.
QString problemaDelPaquete(const QString &ruta)
{
    const QByteArray nativa = QFile::encodeName(ruta);
    struct stat datos {};
    if (::stat(nativa.constData(), &datos) != 0) {
        const int error = errno;
        switch (error) {
        case ENOENT:
            return QStringLiteral("no existe el archivo");
        case EACCES:
            return QStringLiteral("no se puede leer: falta permiso para entrar en su carpeta \"%1\"")
                .arg(QFileInfo(ruta).absolutePath());
        case ELOOP:
            return QStringLiteral("no se puede leer: sus enlaces simbólicos forman un ciclo");
        case ENOTDIR:
            return QStringLiteral("no se puede leer: una parte de su ruta no es una carpeta");
        default:
            return QStringLiteral("no se puede leer: %1").arg(QString::fromLocal8Bit(std::strerror(error)));
        }
    }
    if (S_ISDIR(datos.st_mode))
        return QStringLiteral("es una carpeta, no un archivo");
    if (S_ISFIFO(datos.st_mode))
        return QStringLiteral("es una FIFO (tubería con nombre), no un archivo común");
    if (!S_ISREG(datos.st_mode))
        return QStringLiteral("no es un archivo común (es un dispositivo o un socket)");
    if (::access(nativa.constData(), R_OK) != 0)
        return QStringLiteral("no se puede leer: no hay permiso de lectura sobre el archivo");
    return QString();
}

} // namespace

QString tituloAplicacion() { return QStringLiteral("Recepción de Maestros"); }

QString ResumenRecepcion::linea() const
{
    QString texto = QStringLiteral("%1: %2 tablas, %3 registros leídos, %4 insertados, %5 modificados, %6 rechazados, "
                                   "%7 segundos")
                        .arg(textoFin(fin))
                        .arg(tablas)
                        .arg(leidos)
                        .arg(inserciones)
                        .arg(modificaciones)
                        .arg(rechazados)
                        .arg(QLocale(QLocale::Spanish, QLocale::Argentina).toString(segundos, 'f', 1));
    QStringList sinEscribir;
    for (const TablaSinClave &t : sinClave)
        sinEscribir << QStringLiteral("%1 %2 %3")
                           .arg(t.tabla)
                           .arg(t.lineas)
                           .arg(t.lineas == 1 ? QStringLiteral("línea") : QStringLiteral("líneas"));
    if (!sinEscribir.isEmpty())
        texto += QStringLiteral("; leídas y no escritas (sus tablas no tienen clave): ")
            + sinEscribir.join(QStringLiteral(", "));
    if (!motivo.isEmpty())
        texto += QStringLiteral(" - ") + motivo;
    if (!informeFallido.isEmpty())
        texto +=
            QStringLiteral(" - ") + informeFallido + QStringLiteral(": no contiene todos los registros rechazados");
    return texto;
}

RecepcionMaestros::RecepcionMaestros(DB_Dll &db) : m_db(db) {}

void RecepcionMaestros::setVista(VistaRecepcion *vista) { m_vista = vista ? vista : &m_vistaNula; }

void RecepcionMaestros::setMostrarErrores(std::function<void(const QString &)> mostrar)
{
    m_mostrarErrores = std::move(mostrar);
}

QStringList RecepcionMaestros::tablasInteractivas() { return package::tableOrder() + package::extraTables(); }

QStringList RecepcionMaestros::tablasAutomaticas()
{
    return QStringList{QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("S_TA_EQUIV"),
                       QStringLiteral("V_MA_PRECIOSCAB"), QStringLiteral("V_MA_PRECIOS")}
    + package::extraTables();
}

QString RecepcionMaestros::BaseTransmitida(const QString &carpeta)
{
    QFile archivo(platform::findFileNoCase(platform::fromWindowsPath(carpeta), package::originFileName()));
    if (!archivo.open(QIODevice::ReadOnly))
        return QString();
    for (int n = 1; !archivo.atEnd(); ++n) {
        QByteArray linea = archivo.readLine();
        if (n < 7)
            continue;
        while (linea.endsWith('\n') || linea.endsWith('\r'))
            linea.chop(1);
        return platform::textfile::decode1252(linea);
    }
    return QString();
}

platform::Result<QString> RecepcionMaestros::CarpetaArchivo(const QDateTime &ahora)
{
    // The machine's short date and time, with their separators made fit for a folder name.
    const QStringList niveles = {
        QStringLiteral("E-MAILS"), QStringLiteral("RECEPCION"),
        ahora.toString(QStringLiteral("dd/MM/yyyy")).replace(QLatin1Char('/'), QLatin1Char('-')),
        ahora.toString(QStringLiteral("HH:mm:ss")).replace(QLatin1Char(':'), QLatin1Char('.'))};
    QString ruta = platform::programFolder();
    for (const QString &nivel : niveles) {
        ruta = platform::joinPath(ruta, nivel);
        const QFileInfo info(ruta);
        if (info.isDir())
            continue;
        if (info.exists() || !QDir().mkdir(ruta))
            return platform::Result<QString>::failure(
                QStringLiteral("No se puede crear la carpeta de recepción \"%1\"").arg(ruta));
    }
    return ruta;
}

bool RecepcionMaestros::abrirPaquete(const QString &zip, const QString &carpeta, ResumenRecepcion &r)
{
    const QString ruta = platform::fromWindowsPath(zip);
    const auto ilegible = [&](const QString &problema) {
        r.fin = FinRecepcion::PaqueteIlegible;
        r.motivo = QStringLiteral("No se puede leer el paquete \"%1\": %2").arg(ruta, problema);
        return false;
    };
    if (const QString problema = problemaDelPaquete(ruta); !problema.isEmpty())
        return ilegible(problema);
    ziplayer::ArchiveReader lector;
    if (const platform::Status abierto = lector.open(ruta); !abierto.ok())
        return ilegible(abierto.message());
    QStringList nombres;
    for (const ziplayer::ArchiveEntry &e : lector.entries()) {
        if (e.isFolder)
            continue;
        // The files the reception keeps in the drop folder are never a package's to write.
        const QString nombre = QFileInfo(e.name).fileName();
        for (const QString &propio : {package::archiveName(), package::errorFileName()}) {
            if (nombre.compare(propio, Qt::CaseInsensitive) == 0)
                return ilegible(
                    QStringLiteral("trae un archivo \"%1\", que no puede ser parte de un paquete").arg(e.name));
        }
        nombres << e.name;
    }
    if (const platform::Status extraido = ModZIP::Descomprimir(ruta, carpeta); !extraido.ok())
        return ilegible(extraido.message());
    m_paquete = ArchivosPaquete(platform::fromWindowsPath(carpeta));
    m_paquete.limitarA(nombres);
    return true;
}

bool RecepcionMaestros::tomarBase(db::BloqueoCorrida &bloqueo, ResumenRecepcion &r)
{
    const platform::Status tomada =
        bloqueo.tomar(m_db.gCnn, esperaCorrida, [this](const QString &espera) { m_vista->actualizando(espera); });
    if (tomada.ok())
        return true;
    r.fin = FinRecepcion::Ocupada;
    r.motivo = tomada.message();
    return false;
}

// The package's origin against the last reception's: two different databases are mixed
// only when the operator says so.
bool RecepcionMaestros::origenAceptado()
{
    const auto &f = platform::suite::gFunciones();
    m_origen = m_paquete.ruta(package::originFileName()).isEmpty() ? QString() : BaseTransmitida(m_paquete.carpeta());
    QString ultimo;
    ado::Recordset rs;
    if (m_db.AbrirRecordset(
            QStringLiteral("Select max(Transmision) as NroTrans from mv_transmisiones where Tipo = 'N'"), rs, nullptr,
            ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true)
        && !rs.EOF()) {
        const long numero = long(f.NuloAVacio(rs.value(QStringLiteral("nrotrans"))).toDouble());
        if (m_db.AbrirRecordset(
                QStringLiteral("Select * from mv_transmisiones where Tipo = 'N' and transmision = %1").arg(numero), rs,
                nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true)
            && !rs.EOF())
            ultimo = f.NuloAVacio(rs.value(QStringLiteral("DbOrigen")));
    }
    m_db.CierraRecordset(rs);
    if (ultimo.isEmpty() || ultimo.trimmed().compare(m_origen.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    const int respuesta = platform::msgBox(
        QStringLiteral("ATENCION!, la ultima recepcion de informacion pertenecio a la base de datos ") + ultimo + kCRLF
            + QStringLiteral("la informacion actual pertenece a la base de datos ") + m_origen + kCRLF + kCRLF
            + QStringLiteral("-Si continua con la recepcion estara mazclando la informacion de 2 bases de datos "
                             "distintas...")
            + kCRLF + QStringLiteral("-Desea continuar con la recepcion...???"),
        platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2, QStringLiteral("Aviso al Operador"));
    if (respuesta == platform::vbYes)
        return true;
    platform::logger().warning(QStringLiteral("Recepción cancelada: el paquete viene de la base \"%1\" y la última "
                                              "recepción de \"%2\"")
                                   .arg(m_origen, ultimo));
    estado.ProcesoCancelado = true;
    return false;
}

void RecepcionMaestros::importarTablas(const QStringList &tablas, bool automatica, ContextoImportacion &ctx,
                                       ResumenRecepcion &r)
{
    // A failing row rolls its whole group back and the group is written again row by row,
    // each row in a transaction of its own: no statement needs a savepoint of its own.
    StatementRollbackOff sinReversion(m_db);
    ImportadorTabla importador(ctx);
    int barra = 0;
    m_vista->avance(barra, kMaximoBarra);
    estado.FaltaControl = false;
    for (const QString &tabla : tablas) {
        if (estado.Interrumpir) {
            r.fin = FinRecepcion::Detenida;
            r.motivo = QStringLiteral("antes de la tabla %1").arg(tabla);
            return;
        }
        if (esTablaOpcional(tabla) && !m_db.ExisteTablaDB(tabla))
            continue;
        if (automatica) {
            short detener = 0;
            platform::suite::gEstado().Actualizar(detener, QStringLiteral("Insertando Campos"), QStringLiteral("..."),
                                                  tabla);
        }
        const long leidasAntes = estado.RegistrosRecibidos;
        const ResultadoTabla resultado =
            importador.ImportarTabla(tabla, automatica && tabla == QLatin1String("V_MA_ARTICULOS"));
        m_vista->avance(++barra, kMaximoBarra);
        if (!reglaTabla(tabla) && (resultado == ResultadoTabla::Completa || resultado == ResultadoTabla::Detenida))
            anotarSinClave(tabla, estado.RegistrosRecibidos - leidasAntes, r);
        switch (resultado) {
        case ResultadoTabla::Completa:
            ++r.tablas;
            continue;
        case ResultadoTabla::Ausente:
            continue;
        case ResultadoTabla::FaltaArchivo:
            r.tablasFaltantes << tabla;
            continue;
        case ResultadoTabla::SinControl:
            r.fin = FinRecepcion::SinControl;
            if (automatica)
                continue; // every table of the unattended way reports it
            return;
        case ResultadoTabla::Detenida:
            r.fin = FinRecepcion::Detenida;
            if (estado.Interrumpir)
                r.motivo = QStringLiteral("en la tabla %1").arg(tabla);
            return;
        case ResultadoTabla::Fallida:
            r.fin = FinRecepcion::Fallida;
            return;
        case ResultadoTabla::Terminar:
            r.fin = FinRecepcion::Terminar;
            return;
        }
    }
    if (!r.tablasFaltantes.isEmpty() && r.fin == FinRecepcion::Completa) {
        // Half a package is no reception: it is not recorded and the run says so.
        QStringList archivos;
        for (const QString &tabla : std::as_const(r.tablasFaltantes))
            archivos << package::dataFileName(tabla);
        r.fin = FinRecepcion::Incompleta;
        r.motivo = QStringLiteral("el archivo de control nombra tablas que el paquete no trae: faltan %1")
                       .arg(archivos.join(QStringLiteral(", ")));
    }
}

// A table without a key rule is read and counted, and none of its rows is written: the run
// says so rather than pass over its lines in silence.
void RecepcionMaestros::anotarSinClave(const QString &tabla, long lineas, ResumenRecepcion &r)
{
    r.sinClave.push_back({tabla, lineas});
    platform::logger().info(
        QStringLiteral("%1: %2 líneas leídas; ninguna se escribe: la tabla no tiene clave").arg(tabla).arg(lineas));
}

bool RecepcionMaestros::agregarFila(const Datos &datos, ado::Recordset &rsTabla, ResumenRecepcion &r)
{
    const auto &f = platform::suite::gFunciones();
    try {
        rsTabla.AddNew();
        const bool numeroTexto = m_db.ADOText(long(rsTabla.field(QStringLiteral("Transmision")).Type()));
        rsTabla.field(QStringLiteral("Tipo")).setValue(QStringLiteral("N"));
        rsTabla.field(QStringLiteral("Transmision"))
            .setValue(numeroTexto ? platform::Variant(f.AlinearDerecha(datos.numero.trimmed(), 4))
                                  : platform::Variant(datos.numero.trimmed().toLongLong()));
        rsTabla.field(QStringLiteral("Fecha")).setValue(QDate::currentDate());
        rsTabla.field(QStringLiteral("Hora")).setValue(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
        rsTabla.field(QStringLiteral("responsable_recepcion")).setValue(datos.responsable.trimmed());
        rsTabla.field(QStringLiteral("registros_recibidos")).setValue(estado.RegistrosRecibidos);
        rsTabla.field(QStringLiteral("ubicacion_archivo")).setValue(datos.ubicacion.trimmed());
        rsTabla.field(QStringLiteral("anulado")).setValue(0);
        rsTabla.field(QStringLiteral("DbOrigen")).setValue(m_origen.trimmed());
        if (r.fin == FinRecepcion::Detenida) // what an interrupted reception left in the database
            rsTabla.field(QStringLiteral("LOG"))
                .setValue(
                    QStringLiteral("Interrumpida por el operador %1; %2 tablas completas").arg(r.motivo).arg(r.tablas));
        rsTabla.Update();
        return true;
    } catch (const platform::RuntimeError &e) {
        try {
            rsTabla.CancelUpdate();
        } catch (const platform::RuntimeError &) {
        }
        r.fin = FinRecepcion::Fallida;
        r.motivo = QStringLiteral("No se pudo registrar la recepción en MV_TRANSMISIONES: ") + e.Description();
        return false;
    }
}

void RecepcionMaestros::terminar(ResumenRecepcion &r, qint64 inicio)
{
    if (const platform::Status guardado = m_errores.cerrar(); !guardado.ok())
        r.informeFallido = guardado.message();
    r.leidos = estado.RegistrosRecibidos;
    r.inserciones = estado.CantInserciones;
    r.modificaciones = estado.CantModificaciones;
    r.rechazados = estado.CantErrores;
    r.segundos = double(QDateTime::currentMSecsSinceEpoch() - inicio) / 1000.0;
    r.archivoErrores = m_errores.ruta();
    if (r.fin != FinRecepcion::Completa && r.fin != FinRecepcion::Terminar)
        estado.ProcesoCancelado = true;
    if (r.fin == FinRecepcion::Completa)
        platform::logger().info(r.linea());
    else
        platform::logger().error(r.linea());
}

ResumenRecepcion RecepcionMaestros::RecibirMaestros(const Datos &datos, ado::Recordset &rsTabla)
{
    const qint64 inicio = QDateTime::currentMSecsSinceEpoch();
    ResumenRecepcion r;
    db::BloqueoCorrida bloqueo;
    estado.reiniciarContadores();
    const platform::Result<QString> carpeta = CarpetaArchivo(QDateTime::currentDateTime());
    if (!carpeta.ok()) {
        r.fin = FinRecepcion::Fallida;
        r.motivo = carpeta.message();
    } else if (r.carpeta = carpeta.value();
               !abrirPaquete(datos.ubicacion.trimmed(), r.carpeta, r) || !origenAceptado()) {
        if (r.fin == FinRecepcion::Completa)
            r.fin = FinRecepcion::Rechazada;
    } else if (tomarBase(bloqueo, r)) {
        if (const platform::Status abierto = m_errores.abrir(m_paquete.rutaNueva(package::errorFileName()));
            !abierto.ok())
            platform::logger().warning(abierto.message());
        ContextoImportacion ctx{
            m_db, estado, m_errores, *m_vista, m_paquete, datos.numero.trimmed(), datos.soloAltas, m_mostrarErrores};
        importarTablas(tablasInteractivas(), false, ctx, r);
        if (r.fin == FinRecepcion::Completa || (r.fin == FinRecepcion::Detenida && estado.Interrumpir))
            agregarFila(datos, rsTabla, r);
    }
    if (r.fin == FinRecepcion::PaqueteIlegible || r.fin == FinRecepcion::Ocupada
        || (r.fin == FinRecepcion::Fallida && !r.motivo.isEmpty()))
        platform::msgBox(r.motivo, platform::vbCritical, QStringLiteral("Aviso al Operador"));
    terminar(r, inicio);
    return r;
}

ResumenRecepcion RecepcionMaestros::GeneraAutomatica()
{
    const qint64 inicio = QDateTime::currentMSecsSinceEpoch();
    ResumenRecepcion r;
    platform::suite::Estado &ventana = platform::suite::gEstado();
    ventana.Mostrar(QStringLiteral("Preparando Datos"), 0);
    Separador = QStringLiteral("\t");
    estado.reiniciarContadores();
    r.carpeta = platform::fromWindowsPath(QStringLiteral("C:\\RECIBIR\\"));
    short detener = 0;
    ventana.Actualizar(detener, QStringLiteral("Descomprimiendo"));
    // The package is read from a folder of this run's inside the drop folder: a package
    // dropped meanwhile, or files left by an earlier one, never mix with it. Gone at the end.
    ziplayer::PrivateFolder::removeAbandoned(r.carpeta, QString::fromLatin1(kCarpetaPropia));
    ziplayer::PrivateFolder propia(r.carpeta, QString::fromLatin1(kCarpetaPropia));
    db::BloqueoCorrida bloqueo;
    if (!propia.status().ok()) {
        r.fin = FinRecepcion::PaqueteIlegible;
        r.motivo = propia.status().message();
        platform::msgBox(r.motivo, platform::vbCritical, QStringLiteral("Aviso al Operador"));
    } else if (!abrirPaquete(QStringLiteral("C:\\RECIBIR\\Archivos.zip"), propia.path(), r)) {
        platform::msgBox(r.motivo, platform::vbCritical, QStringLiteral("Aviso al Operador"));
    } else if (!origenAceptado()) {
        r.fin = FinRecepcion::Rechazada;
    } else if (!tomarBase(bloqueo, r)) {
        platform::msgBox(r.motivo, platform::vbCritical, QStringLiteral("Aviso al Operador"));
    } else {
        // The reject report stays where the drop folder's users look for it.
        if (const platform::Status abierto =
                m_errores.abrir(ArchivosPaquete(r.carpeta).rutaNueva(package::errorFileName()));
            !abierto.ok())
            platform::logger().warning(abierto.message());
        ContextoImportacion ctx{m_db,  estado,          m_errores, *m_vista, m_paquete, QStringLiteral("0"),
                                false, m_mostrarErrores};
        importarTablas(tablasAutomaticas(), true, ctx, r);
    }
    ventana.Cerrar();
    terminar(r, inicio);
    return r;
}

} // namespace recepcion
