#include "ImportadorInterno.h"

#include "ErroresRecepcion.h"
#include "RecepcionMaestros.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "package/LineReader.h"

#include "core/Rutinas.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/suite/Estado.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <QFileInfo>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace recepcion {

namespace {

const QString kCRLF = QStringLiteral("\r\n");

bool esTabla(const QString &tabla, const char *nombre)
{
    return tabla.compare(QLatin1String(nombre), Qt::CaseInsensitive) == 0;
}

bool esRecepcionOTransmision(const QString &nombre)
{
    return nombre.compare(QLatin1String("RECEPCION"), Qt::CaseInsensitive) == 0
        || nombre.compare(QLatin1String("TRANSMISION"), Qt::CaseInsensitive) == 0;
}

// A line with nothing in it once its "null" fields and separators are taken away.
bool sinDatos(const QString &linea)
{
    // A character that no "null" can take away and that is not a blank once cleaned is data:
    // most lines are told at their first character, without building the cleaned copy.
    for (const QChar c : linea) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || c.isSpace())
            continue;
        if (QStringView(u"nNuUlL").contains(c))
            break;
        return false;
    }
    const auto &f = platform::suite::gFunciones();
    QString resto = linea;
    resto.remove(QStringLiteral("null"), Qt::CaseInsensitive);
    return f.LimpiarTexto(resto).trimmed().isEmpty();
}

// Why a line holding a control character is not loaded, naming the field that holds it.
QString motivoControl(const QString &linea, qsizetype at, const QStringList &nombres)
{
    const qsizetype campo = QStringView(linea).left(at).count(QChar(package::kSeparator));
    const QString donde = campo < nombres.size()
        ? QStringLiteral("la columna %1 (campo %2)").arg(nombres[campo]).arg(campo + 1)
        : QStringLiteral("el campo %1").arg(campo + 1);
    return QStringLiteral("el valor de %1 contiene el carácter de control %2, que un paquete no puede traer")
        .arg(donde, package::controlCharacterName(linea[at]));
}

// The line as the error file shows it: its control characters as "?", so the file stays
// one line per entry.
QString sinControles(QString linea)
{
    for (QChar &c : linea) {
        if ((c.unicode() < 0x20 && c != QChar(package::kSeparator)) || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    }
    return linea;
}

} // namespace

ImportadorTabla::ImportadorTabla(ContextoImportacion &contexto) : m_ctx(contexto), m_escritor(contexto.db.gCnn) {}

ImportadorTabla::~ImportadorTabla() = default;

ResultadoTabla ImportadorTabla::ImportarTabla(const QString &tabla, bool mostrarEstado)
{
    m_linea = 0;
    m_entradasAlEmpezar = m_ctx.errores.entradas();
    m_detener = false;
    m_fallida = false;
    m_inserts.clear();
    m_updates.clear();
    if (mostrarEstado) {
        short detener = 0;
        platform::suite::gEstado().Actualizar(detener, QStringLiteral("Verificando"), tabla);
    }
    if (const std::optional<ResultadoTabla> sinControl = leerControl(tabla))
        return *sinControl;
    if (m_fallida)
        return ResultadoTabla::Fallida;
    const QString datos = m_ctx.paquete.ruta(package::dataFileName(tabla));
    if (datos.isEmpty()) {
        if (!m_plan->enControl) {
            platform::logger().info(QStringLiteral("El paquete no trae la tabla %1").arg(tabla));
            return ResultadoTabla::Ausente;
        }
        m_ctx.errores.nota(tabla, m_plan->campos,
                           QStringLiteral("Falta el archivo %1 en el paquete: la tabla no se importó.")
                               .arg(package::dataFileName(tabla)));
        informarErrores();
        return ResultadoTabla::FaltaArchivo;
    }
    const ResultadoTabla resultado = leerDatos(datos, mostrarEstado);
    informarErrores();
    return resultado;
}

// The control file: its absence is reported once per table and stops the table.
std::optional<ResultadoTabla> ImportadorTabla::leerControl(const QString &tabla)
{
    const QString ruta = m_ctx.paquete.ruta(package::controlFileName());
    platform::Result<package::ControlFile> control =
        ruta.isEmpty() ? platform::Result<package::ControlFile>::failure(QString()) : package::ControlFile::read(ruta);
    if (!control.ok()) {
        const QString mostrada = ruta.isEmpty() ? m_ctx.paquete.rutaNueva(package::controlFileName()) : ruta;
        platform::msgBox(QStringLiteral("No existe el archivo de Control Maestros enviados ") + kCRLF + mostrada + kCRLF
                             + QStringLiteral("Verifique si ha elegido el archivo correcto"),
                         platform::vbOKOnly, tituloAplicacion());
        m_ctx.estado.FaltaControl = true;
        return ResultadoTabla::SinControl;
    }
    armarPlan(tabla, control.value().fieldNames(tabla), control.value().pricesFor(tabla));
    m_plan->enControl = control.value().hasBlock(tabla);
    return std::nullopt;
}

void ImportadorTabla::armarPlan(const QString &tabla, const QStringList &campos, bool precios)
{
    m_plan = std::make_unique<Plan>();
    Plan &p = *m_plan;
    p.tabla = tabla;
    p.regla = reglaTabla(tabla);
    p.campos = campos;
    p.precios = precios;
    p.admiteMas = esTabla(tabla, "V_MA_ARTICULOS") || esTabla(tabla, "S_TA_EQUIV");
    for (const QString &nombre : campos) {
        if (!esRecepcionOTransmision(nombre))
            p.nombresDatos << nombre;
    }
    if (!p.regla || campos.isEmpty() || p.regla->camino == Camino::BorradoAsiento)
        return;
    platform::Result<TablaLocal> local = TablaLocal::leer(m_ctx.db, tabla);
    while (!local.ok()) {
        p.errorLocal = local.message();
        // A lost connection is not the table's fault: the operator decides whether to go on.
        const platform::RuntimeError error(local.code(), local.message(), QStringLiteral("ImportarTabla"));
        if (!esFallaDeConexion(error, m_ctx.db.gCnn.errors()) || !seguirTrasFalla(error))
            return;
        local = TablaLocal::leer(m_ctx.db, tabla);
    }
    p.local = local.value();
    for (const QString &nombre : p.nombresDatos) {
        const int columna = p.local->indice(nombre);
        p.columnaDe.push_back(columna);
        if (columna < 0)
            m_ctx.errores.nota(
                tabla, campos,
                QStringLiteral("La columna %1 no existe en la tabla local: sus valores no se importan.").arg(nombre));
    }
    if (campos.contains(QStringLiteral("RECEPCION"), Qt::CaseInsensitive))
        p.columnaRecepcion = p.local->indice(QStringLiteral("RECEPCION"));
    QStringList terminos;
    for (const TerminoClave &t : p.regla->claves) {
        p.posClave.push_back(p.posicion(t.columna));
        const int columna = p.local->indice(t.columna);
        p.columnaClave.push_back(columna);
        terminos << nombreSql(columna >= 0 ? p.local->columna(columna).nombre : t.columna) + QStringLiteral(" = ?");
    }
    for (qsizetype pos = 0; pos < p.nombresDatos.size(); ++pos) {
        const int columna = p.columnaDe[size_t(pos)];
        const auto clave = std::find(p.columnaClave.begin(), p.columnaClave.end(), columna);
        p.claveDe.push_back(columna >= 0 && clave != p.columnaClave.end() ? int(clave - p.columnaClave.begin()) : -1);
        p.reglaDe.push_back(reglaDeColumna(tabla, p.nombresDatos[pos], precios));
    }
    p.condicionClave = QStringLiteral(" WHERE ") + terminos.join(QStringLiteral(" AND "));
    p.sqlBusqueda = QStringLiteral("SELECT 1 FROM ") + p.local->nombre() + p.condicionClave;
}

ResultadoTabla ImportadorTabla::leerDatos(const QString &ruta, bool mostrarEstado)
{
    package::LineReader lector;
    if (const platform::Status abierto = lector.open(ruta); !abierto.ok()) {
        m_ctx.errores.nota(m_plan->tabla, m_plan->campos, abierto.message());
        return ResultadoTabla::Completa;
    }
    m_bytesLeidos = 0;
    m_bytesArchivo = QFileInfo(ruta).size();
    leerLineas(lector, mostrarEstado);
    if (!lector.error().isEmpty())
        m_ctx.errores.nota(m_plan->tabla, m_plan->campos,
                           QStringLiteral("No se pudo leer el archivo %1 después de la línea %2: %3")
                               .arg(ruta)
                               .arg(m_linea)
                               .arg(lector.error()));
    lector.close();
    const bool interrumpida = m_ctx.estado.Interrumpir;
    if (interrumpida) {
        descartarGrupo();
    } else if (!m_fallida && !m_ctx.estado.FinalizarPrograma) {
        confirmarGrupo();
        cerrarAsiento();
    }
    mostrarProgreso(false, QString(), true);
    if (m_ctx.estado.FinalizarPrograma)
        return ResultadoTabla::Terminar;
    if (m_fallida)
        return ResultadoTabla::Fallida;
    return m_detener || interrumpida ? ResultadoTabla::Detenida : ResultadoTabla::Completa;
}

bool ImportadorTabla::seguirLeyendo() const
{
    return !m_detener && !m_fallida && !m_ctx.estado.FinalizarPrograma && !m_ctx.estado.Interrumpir;
}

// While the database writes a row, another thread reads and prepares the lines after it,
// which are then taken one by one in the file's order. Reading ahead stops as soon as the
// writes stop.
class ImportadorTabla::ColaLeidas {
public:
    static constexpr size_t kLineasPorLote = 256;

    // False when the writes no longer take lines.
    bool poner(std::vector<Leida> &&lote)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_hayLugar.wait(lock, [&] { return m_lotes.size() < kLotes || m_abandonada; });
        if (m_abandonada)
            return false;
        m_lotes.push_back(std::move(lote));
        m_hayLote.notify_one();
        return true;
    }
    // No more lines; `error` when reading failed in a way the reader does not report itself.
    void terminar(std::exception_ptr error = nullptr)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_terminada = true;
        m_error = error;
        m_hayLote.notify_all();
    }
    // The next lines; false after the last one.
    bool tomar(std::vector<Leida> &lote)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_hayLote.wait(lock, [&] { return !m_lotes.empty() || m_terminada; });
        if (m_lotes.empty()) {
            if (m_error)
                std::rethrow_exception(m_error);
            return false;
        }
        lote = std::move(m_lotes.front());
        m_lotes.pop_front();
        m_hayLugar.notify_one();
        return true;
    }
    void abandonar()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_abandonada = true;
        m_hayLugar.notify_all();
    }

private:
    static constexpr size_t kLotes = 8; // read ahead: a few thousand lines at most
    std::mutex m_mutex;
    std::condition_variable m_hayLote, m_hayLugar;
    std::deque<std::vector<Leida>> m_lotes;
    bool m_terminada = false, m_abandonada = false;
    std::exception_ptr m_error;
};

void ImportadorTabla::leerLineas(package::LineReader &lector, bool mostrarEstado)
{
    ColaLeidas cola;
    std::thread lectura([&] {
        try {
            leerAdelante(lector, cola);
            cola.terminar();
        } catch (...) {
            cola.terminar(std::current_exception());
        }
    });
    struct Fin {
        ColaLeidas &cola;
        std::thread &lectura;
        ~Fin()
        {
            cola.abandonar();
            lectura.join();
        }
    } fin{cola, lectura};
    std::vector<Leida> lote;
    while (seguirLeyendo() && cola.tomar(lote)) {
        for (Leida &l : lote) {
            if (!seguirLeyendo())
                break;
            tomarLinea(l, mostrarEstado);
        }
    }
}

// A line read and prepared: counted, then written, rejected or left.
void ImportadorTabla::tomarLinea(Leida &l, bool mostrarEstado)
{
    ++m_linea;
    ++m_ctx.estado.RegistrosRecibidos;
    m_bytesLeidos += l.bytes;
    switch (l.paso) {
    case Leida::Paso::Larga:
        rechazarLarga(l.bytesLinea, l.linea);
        break;
    case Leida::Paso::Nada:
        break;
    case Leida::Paso::Rechazo:
        rechazar(l.motivo, l.texto);
        break;
    case Leida::Paso::Fila:
        agregar(std::move(*l.fila));
        break;
    case Leida::Paso::Campos:
        if (m_plan->regla->camino == Camino::LoteAsientos)
            agregarAsiento(l.campos, l.linea);
        else if (std::optional<Operacion> op = armarBorradoAsiento(l.campos, l.linea))
            agregar(std::move(*op));
        break;
    }
    mostrarProgreso(mostrarEstado, l.linea, false);
}

// On the reading thread: touches nothing but the reader, the queue and what the plan holds.
void ImportadorTabla::leerAdelante(package::LineReader &lector, ColaLeidas &cola) const
{
    std::vector<Leida> lote;
    lote.reserve(ColaLeidas::kLineasPorLote);
    long numero = 0;
    QString linea;
    while (lector.next(linea)) {
        Leida l;
        l.numero = ++numero;
        l.bytesLinea = lector.lineBytes();
        l.bytes = lector.tooLong() ? l.bytesLinea : linea.size() + 2; // one byte a character, and CR LF
        l.linea = std::move(linea);
        linea = QString();
        if (lector.tooLong())
            l.paso = Leida::Paso::Larga;
        else
            prepararLinea(l);
        lote.push_back(std::move(l));
        if (lote.size() == ColaLeidas::kLineasPorLote) {
            if (!cola.poner(std::move(lote)))
                return;
            lote = std::vector<Leida>();
            lote.reserve(ColaLeidas::kLineasPorLote);
        }
    }
    if (!lote.empty())
        cola.poner(std::move(lote));
}

// What a line comes to, up to its write.
void ImportadorTabla::prepararLinea(Leida &l) const
{
    const Plan &p = *m_plan;
    const QString &linea = l.linea;
    if (esTabla(p.tabla, "V_MA_PRECIOS")) {
        if (const std::optional<package::PriceDeletion> borrado = package::readPriceDeletion(linea)) {
            Operacion op;
            op.tipo = Operacion::Tipo::BorradoPrecio;
            op.linea = l.numero;
            op.texto = linea;
            op.clave = {platform::Variant(borrado->list), platform::Variant(borrado->article)};
            l.fila = std::move(op);
            l.paso = Leida::Paso::Fila;
            return;
        }
    }
    // read and counted: a blank or all-NULL line writes nothing and is no reject, nor does a
    // line of a table without a key to write it by
    if (sinDatos(linea) || !p.regla) {
        l.paso = Leida::Paso::Nada;
        return;
    }
    l.paso = Leida::Paso::Rechazo;
    // The sending never writes such a value; stored, it could not be sent back (and
    // PostgreSQL would cut a text at its NUL).
    if (const qsizetype at = package::controlCharacterAt(linea); at >= 0) {
        l.motivo = motivoControl(linea, at, p.nombresDatos);
        l.texto = sinControles(linea);
        return;
    }
    l.texto = linea;
    QStringList campos = package::readLine(linea);
    l.motivo = motivoCampos(campos);
    if (!l.motivo.isEmpty())
        return;
    if (p.regla->camino != Camino::Busqueda) {
        l.campos = std::move(campos);
        l.paso = Leida::Paso::Campos;
        return;
    }
    l.fila = armarFila(campos, linea, l.numero, l.motivo);
    l.paso = l.fila ? Leida::Paso::Fila : l.motivo.isEmpty() ? Leida::Paso::Nada : Leida::Paso::Rechazo;
}

// Why a line's fields cannot make a row ("" when they can).
QString ImportadorTabla::motivoCampos(const QStringList &campos) const
{
    const Plan &p = *m_plan;
    if (p.campos.isEmpty())
        return QStringLiteral("el archivo de control no trae la lista de campos de la tabla");
    if (!p.local && p.regla->camino != Camino::BorradoAsiento)
        return p.errorLocal;
    const qsizetype esperados = p.nombresDatos.size();
    if (campos.size() < esperados || (campos.size() > esperados && !p.admiteMas))
        return QStringLiteral("la línea tiene %1 campos y la lista de campos de la tabla nombra %2")
            .arg(campos.size())
            .arg(esperados);
    return QString();
}

// The key of a row: each key column's field, trimmed and right-aligned to its width. Returns
// why the row has no usable key ("" when it has one).
QString ImportadorTabla::armarClave(const QStringList &campos, Valores &clave, bool &vacia) const
{
    const Plan &p = *m_plan;
    vacia = false;
    for (qsizetype i = 0; i < p.regla->claves.size(); ++i) {
        const TerminoClave &t = p.regla->claves[i];
        const int pos = p.posClave[size_t(i)];
        if (pos < 0 || p.columnaClave[size_t(i)] < 0)
            return QStringLiteral("falta la columna clave %1").arg(t.columna);
        QString valor = campos[pos].trimmed();
        if (package::isNull(valor) && !t.siNulo.isEmpty())
            valor = t.siNulo;
        if (package::isNull(valor))
            return QStringLiteral("la columna clave %1 es NULL").arg(t.columna);
        vacia = vacia || valor.isEmpty();
        if (t.texto) {
            clave.emplace_back(t.ancho > 0 ? platform::suite::gFunciones().AlinearDerecha(valor, t.ancho) : valor);
            continue;
        }
        const platform::Result<platform::Variant> numero =
            valorPara(p.local->columna(p.columnaClave[size_t(i)]), valor, t.columna);
        if (!numero.ok())
            return numero.message();
        clave.push_back(numero.value());
    }
    return QString();
}

// The row of line `numero`; nullopt with `motivo` when it is rejected, without it when the
// line writes nothing.
std::optional<ImportadorTabla::Operacion> ImportadorTabla::armarFila(const QStringList &campos, const QString &linea,
                                                                     long numero, QString &motivo) const
{
    const Plan &p = *m_plan;
    Operacion op;
    op.linea = numero;
    op.texto = linea;
    bool vacia = false;
    motivo = armarClave(campos, op.clave, vacia);
    if (!motivo.isEmpty())
        return std::nullopt;
    if (vacia && p.regla->saltaClaveVacia)
        return std::nullopt;
    op.columnas.reserve(p.columnaDe.size() + 1);
    op.valores.reserve(p.columnaDe.size() + 1);
    for (size_t pos = 0; pos < p.columnaDe.size(); ++pos) {
        const int columna = p.columnaDe[pos];
        if (columna < 0)
            continue;
        if (const int clave = p.claveDe[pos]; clave >= 0) {
            op.columnas.push_back(columna);
            op.valores.push_back(op.clave[size_t(clave)]);
            continue;
        }
        const DecisionColumna d = decidir(p.reglaDe[pos], campos[qsizetype(pos)]);
        if (!d.tomar)
            continue;
        const platform::Result<platform::Variant> valor = valorPara(
            p.local->columna(columna), d.recepcion ? m_ctx.numeroRecepcion : d.valor, p.nombresDatos[qsizetype(pos)]);
        if (!valor.ok()) {
            motivo = valor.message();
            return std::nullopt;
        }
        op.columnas.push_back(columna);
        op.valores.push_back(valor.value());
    }
    if (p.columnaRecepcion >= 0) {
        op.columnas.push_back(p.columnaRecepcion);
        op.valores.push_back(valorPara(p.local->columna(p.columnaRecepcion), m_ctx.numeroRecepcion).value());
    }
    return op;
}

void ImportadorTabla::rechazarLarga(qint64 bytes, const QString &comienzo)
{
    rechazar(QStringLiteral("la línea mide %1 bytes y un paquete no trae líneas de más de %2: se muestra su comienzo")
                 .arg(bytes)
                 .arg(package::LineReader::kMaxLineBytes),
             sinControles(comienzo) + QStringLiteral(" ..."));
}

void ImportadorTabla::rechazar(const QString &motivo, const QString &linea)
{
    if (!m_grupo.empty() && m_pendientes < m_grupo.size() && enConjunto()) {
        Operacion op;
        op.tipo = Operacion::Tipo::Rechazo;
        op.linea = m_linea;
        op.texto = linea;
        op.motivo = motivo;
        agregar(std::move(op));
        return;
    }
    const Plan &p = *m_plan;
    m_ctx.errores.rechazo(p.tabla, p.campos, m_linea, motivo, linea);
    ++m_ctx.estado.CantErrores;
}

void ImportadorTabla::mostrarProgreso(bool mostrarEstado, const QString &linea, bool forzar)
{
    const EstadoRecepcion &e = m_ctx.estado;
    if (forzar || m_refrescoVista.toca()) {
        m_ctx.vista.actualizando(QStringLiteral("Actualizando %1 : %2 registros").arg(m_plan->tabla).arg(m_linea));
        m_ctx.vista.contadores(e.CantInserciones + m_gInserciones, e.CantModificaciones + m_gModificaciones,
                               e.CantErrores);
        m_ctx.vista.avanceTabla(m_bytesArchivo > 0 ? std::min(1.0, double(m_bytesLeidos) / double(m_bytesArchivo))
                                                   : 1.0);
        m_ctx.vista.atender();
    }
    if (mostrarEstado && m_refrescoEstado.toca()) {
        short detener = 0;
        platform::suite::gEstado().Actualizar(detener, m_plan->tabla, linea.left(20).trimmed());
        m_detener = detener != 0;
    }
}

// After a table with entries in the error file: the file is brought up to date and shown.
void ImportadorTabla::informarErrores()
{
    ErroresRecepcion &errores = m_ctx.errores;
    errores.vaciar();
    if (errores.entradas() == m_entradasAlEmpezar || m_ctx.estado.FinalizarPrograma || m_ctx.estado.Interrumpir)
        return;
    if (!errores.falla().isEmpty()) {
        // Never pointed at as if it held the rejected rows.
        platform::logger().error(errores.falla());
        platform::msgBox(QStringLiteral("Se han producido errores de actualización") + kCRLF + errores.falla()
                             + QStringLiteral(": no contiene todos los registros rechazados"),
                         platform::vbCritical, QStringLiteral("Aviso al Usuario"));
        return;
    }
    platform::msgBox(QStringLiteral("Se han producido errores de actualización") + kCRLF
                         + QStringLiteral("Consulte el archivo ") + errores.ruta(),
                     platform::vbInformation, QStringLiteral("Aviso al Usuario"));
    if (m_ctx.mostrarErrores)
        m_ctx.mostrarErrores(errores.ruta());
}

} // namespace recepcion
