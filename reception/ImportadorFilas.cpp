// The import's writes: rows go to the database in groups, one transaction per group. When a
// row fails, its group is rolled back and written again one row per transaction, so that
// only the failing rows are lost, each reported with its reason.
//
// On a server engine a round trip costs more than the row it carries, so a group's rows are
// written set-wise when the group closes: its keys are looked up in a few statements, its
// new rows go in multi-row INSERTs and its changed rows in one UPDATE per column set. A key
// seen twice starts a new batch, so that the later line updates what the earlier one wrote,
// as one row at a time would. Any failure falls back to the row-by-row replay above.

#include "ImportadorInterno.h"

#include "ErroresRecepcion.h"

#include "core/MostrarError.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Types.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <QSet>

namespace recepcion {

namespace {

int &tamanoGrupo()
{
    static int filas = 2000;
    return filas;
}

ImportadorTabla::Escritura &escritura()
{
    static ImportadorTabla::Escritura e = ImportadorTabla::Escritura::Automatica;
    return e;
}

// Bound values of one statement, and rows of one multi-row statement: within what SQL Server
// takes (2,100 parameters, 1,000 rows of VALUES).
constexpr size_t kMaxParametros = 2000;
constexpr size_t kMaxFilas = 1000;
// Keys looked up in one statement: few enough that the engine reads them through the key's
// index, whatever the table's size, rather than scan the table once for all of them.
constexpr size_t kMaxClaves = 200;

// How many rows of `columnas` values go in one statement.
size_t filasPorSentencia(size_t columnas)
{
    return std::max<size_t>(1, std::min(kMaxFilas, kMaxParametros / std::max<size_t>(1, columnas)));
}

// A key as the database compares it: text without regard to case or trailing blanks, numbers
// by their value.
QString claveComparable(const Valores &clave, const QList<TerminoClave> &terminos)
{
    QString out;
    for (size_t i = 0; i < clave.size(); ++i) {
        const platform::Variant &v = clave[i];
        if (v.isNull()) {
            out += QStringLiteral("\x01");
        } else if (qsizetype(i) < terminos.size() && !terminos[qsizetype(i)].texto) {
            out += QString::number(v.toDouble(), 'g', 17);
        } else {
            QString t = v.toString();
            while (t.endsWith(QLatin1Char(' ')))
                t.chop(1);
            out += t.toUpper();
        }
        out += QChar(0x1F);
    }
    return out;
}

// A whole number of a number column goes as a double, so that the kinds bound to a
// multi-row statement stay the same from row to row (each new mix would be a new statement
// to prepare); the column stores the same value.
platform::Variant valorEnConjunto(const platform::Variant &v)
{
    return v.kind() == platform::Variant::Kind::Int ? platform::Variant(v.toDouble()) : v;
}

// The marker of a key value compared with its column. A text key goes as VARCHAR: compared
// with a value of a wider text type (as a bound text can reach PostgreSQL), the engine would
// convert the column instead and read the whole table rather than its key's index.
QString marcaClave(const TerminoClave &termino, const ColumnaLocal &columna)
{
    if (!termino.texto)
        return QStringLiteral("?");
    return QStringLiteral("CAST(? AS VARCHAR(%1))").arg(columna.largo > 0 ? columna.largo : 8000);
}

QByteArray firma(const std::vector<int> &columnas)
{
    QByteArray key;
    key.reserve(qsizetype(columnas.size()));
    for (int c : columnas)
        key.append(char(c & 0x7F)).append(char(c >> 7));
    return key;
}

// The positions 0..n-1 grouped by the column set each one writes, in the order the sets first
// come: one multi-row statement serves each group.
template <typename ColumnasDe> std::vector<std::vector<size_t>> porColumnas(size_t n, ColumnasDe columnasDe)
{
    std::vector<std::vector<size_t>> grupos;
    QHash<QByteArray, size_t> grupoDe;
    for (size_t i = 0; i < n; ++i) {
        const QByteArray f = firma(columnasDe(i));
        auto it = grupoDe.find(f);
        if (it == grupoDe.end()) {
            it = grupoDe.insert(f, grupos.size());
            grupos.emplace_back();
        }
        grupos[*it].push_back(i);
    }
    return grupos;
}

} // namespace

void ImportadorTabla::setTamanoGrupo(int filas) { tamanoGrupo() = std::max(1, filas); }

void ImportadorTabla::setEscritura(Escritura e) { escritura() = e; }

// PostgreSQL and SQL Server; the embedded engine's round trips cost next to nothing and
// Oracle takes no multi-row VALUES.
bool ImportadorTabla::enConjunto()
{
    if (escritura() == Escritura::FilaPorFila)
        return false;
    if (m_motorServidor < 0) {
        QString proveedor;
        try {
            proveedor = ado::ConnectionString::parse(m_ctx.db.gCnn.ConnectionString()).provider().trimmed();
        } catch (const std::exception &) {
        }
        const bool sqlite = proveedor.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0;
        const bool oracle = proveedor.startsWith(QLatin1String("OraOLEDB"), Qt::CaseInsensitive)
            || proveedor.startsWith(QLatin1String("MSDAORA"), Qt::CaseInsensitive);
        const bool postgres = proveedor.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0;
        m_motorServidor = postgres ? 2 : !proveedor.isEmpty() && !sqlite && !oracle ? 1 : 0;
    }
    return m_motorServidor > 0;
}

void ImportadorTabla::agregar(Operacion operacion)
{
    ado::Connection &cnn = m_ctx.db.gCnn;
    try {
        if (m_grupo.empty()) {
            cnn.BeginTrans();
            m_pendientes = 0;
        }
        m_grupo.push_back(std::move(operacion));
        try {
            if (m_grupo.back().tipo != Operacion::Tipo::Fila || !enConjunto()) {
                escribirPendientes(m_grupo.size() - 1); // the rows before it go first
                contar(escribir(m_grupo.back()), m_gInserciones, m_gModificaciones);
                m_pendientes = m_grupo.size();
            }
        } catch (const platform::RuntimeError &e) {
            if (esFallaDeConexion(e, cnn.errors()))
                throw ErrorDeEjecucion(e);
            repetirGrupoFilaPorFila();
            return;
        }
        if (int(m_grupo.size()) >= tamanoGrupo())
            confirmarGrupo();
    } catch (const ErrorDeEjecucion &falla) {
        fallaDeEjecucion(falla.error);
    } catch (const platform::RuntimeError &e) {
        fallaDeEjecucion(e);
    }
}

void ImportadorTabla::confirmarGrupo()
{
    if (m_grupo.empty())
        return;
    try {
        escribirPendientes(m_grupo.size());
        m_ctx.db.gCnn.CommitTrans();
    } catch (const platform::RuntimeError &e) {
        if (esFallaDeConexion(e, m_ctx.db.gCnn.errors())) {
            fallaDeEjecucion(e);
            return;
        }
        try {
            repetirGrupoFilaPorFila();
        } catch (const ErrorDeEjecucion &falla) {
            fallaDeEjecucion(falla.error);
        }
        return;
    }
    m_ctx.estado.CantInserciones += m_gInserciones;
    m_ctx.estado.CantModificaciones += m_gModificaciones;
    m_gInserciones = m_gModificaciones = 0;
    m_grupo.clear();
    m_pendientes = 0;
}

// The operator's interruption: the open group is rolled back, its lines as if never read.
void ImportadorTabla::descartarGrupo()
{
    // a rejected line stays read: it is in the error file already
    long lineas = long(std::count_if(m_grupo.begin(), m_grupo.end(),
                                     [](const Operacion &op) { return op.tipo != Operacion::Tipo::Rechazo; }));
    if (m_asiento) {
        lineas += long(m_asiento->lineas.size());
        m_asiento.reset();
    }
    if (!m_grupo.empty()) {
        try {
            m_ctx.db.gCnn.RollbackTrans();
        } catch (const platform::RuntimeError &) {
            // the engine already ended the transaction
        }
    }
    m_grupo.clear();
    m_pendientes = 0;
    m_gInserciones = m_gModificaciones = 0;
    m_ctx.estado.RegistrosRecibidos -= lineas;
}

// The group's rows again, each alone: those that still fail are rejected with the reason.
// A row leaves the group once it is written or rejected; a lost connection leaves the rest
// in the group, for the replay that follows Retry.
void ImportadorTabla::repetirGrupoFilaPorFila()
{
    ado::Connection &cnn = m_ctx.db.gCnn;
    platform::logger().info(QStringLiteral("%1: grupo de %2 filas escrito de nuevo fila por fila tras: %3")
                                .arg(m_plan->tabla)
                                .arg(m_grupo.size())
                                .arg(cnn.errors().isEmpty() ? QString() : cnn.errors().Item(0).Description));
    try {
        cnn.RollbackTrans();
    } catch (const platform::RuntimeError &) {
        // the engine already ended the transaction
    }
    m_gInserciones = m_gModificaciones = 0;
    m_pendientes = 0;
    size_t hechas = 0;
    const auto quitarHechas = [&] { m_grupo.erase(m_grupo.begin(), m_grupo.begin() + std::ptrdiff_t(hechas)); };
    for (; hechas < m_grupo.size(); ++hechas) {
        const Operacion &op = m_grupo[hechas];
        try {
            cnn.BeginTrans();
            const Efecto efecto = escribir(op);
            cnn.CommitTrans();
            contar(efecto, m_ctx.estado.CantInserciones, m_ctx.estado.CantModificaciones);
        } catch (const platform::RuntimeError &e) {
            if (esFallaDeConexion(e, cnn.errors())) {
                // Its errors stay on the connection for the operator; the replay that
                // follows begins with the rollback.
                quitarHechas();
                throw ErrorDeEjecucion(e);
            }
            const QString motivo = motivoDe(e);
            try {
                cnn.RollbackTrans();
            } catch (const platform::RuntimeError &) {
            }
            m_ctx.errores.rechazo(m_plan->tabla, m_plan->campos, op.linea, motivo, op.texto);
            ++m_ctx.estado.CantErrores;
        }
    }
    m_grupo.clear();
}

void ImportadorTabla::contar(Efecto efecto, long &inserciones, long &modificaciones)
{
    if (efecto == Efecto::Insertada)
        ++inserciones;
    else if (efecto == Efecto::Modificada)
        ++modificaciones;
}

ImportadorTabla::Efecto ImportadorTabla::escribir(const Operacion &op)
{
    switch (op.tipo) {
    case Operacion::Tipo::BorradoPrecio:
        m_escritor.ejecuta(QStringLiteral("DELETE FROM V_MA_PRECIOS WHERE TIPOLISTA = 'V' AND IDLISTA = ? AND "
                                          "IDARTICULO = ?"),
                           op.clave);
        return Efecto::Ninguno;
    case Operacion::Tipo::BorradoAsiento:
        return borrarAsiento(op);
    case Operacion::Tipo::Rechazo:
        if (!op.informado) {
            m_ctx.errores.rechazo(m_plan->tabla, m_plan->campos, op.linea, op.motivo, op.texto);
            ++m_ctx.estado.CantErrores;
            op.informado = true;
        }
        return Efecto::Ninguno;
    case Operacion::Tipo::Fila:
        break;
    }
    return escribirFila(op);
}

ImportadorTabla::Efecto ImportadorTabla::escribirFila(const Operacion &op)
{
    const Plan &p = *m_plan;
    if (!m_escritor.hayFila(p.sqlBusqueda, op.clave)) {
        m_escritor.ejecuta(sentenciaInsert(op.columnas), op.valores);
        return Efecto::Insertada;
    }
    if (m_ctx.soloAltas)
        return Efecto::Ninguno;
    std::vector<int> columnas;
    Valores valores;
    for (size_t i = 0; i < op.columnas.size(); ++i) {
        if (!p.esClave(op.columnas[i])) {
            columnas.push_back(op.columnas[i]);
            valores.push_back(op.valores[i]);
        }
    }
    if (!columnas.empty()) {
        valores.insert(valores.end(), op.clave.begin(), op.clave.end());
        m_escritor.ejecuta(sentenciaUpdate(columnas), valores);
    }
    return Efecto::Modificada;
}

// The group's rows not written yet, up to `fin`, in batches of distinct keys.
void ImportadorTabla::escribirPendientes(size_t fin)
{
    const Plan &p = *m_plan;
    size_t desde = m_pendientes;
    if (desde == 0 && desde < fin && m_motorServidor == 2) {
        // PostgreSQL plans a prepared lookup for a table that grows under the import: the
        // group's lookups are to go by the keys' indexes (see existentes()).
        m_ctx.db.gCnn.Execute(QStringLiteral("SET LOCAL enable_seqscan = off"));
    }
    while (desde < fin) {
        QSet<QString> claves;
        size_t hasta = desde;
        for (; hasta < fin && m_grupo[hasta].tipo == Operacion::Tipo::Fila; ++hasta) {
            const QString clave = claveComparable(m_grupo[hasta].clave, p.regla->claves);
            if (claves.contains(clave))
                break;
            claves.insert(clave);
        }
        if (hasta == desde) { // not a row: written when it came
            ++desde;
            continue;
        }
        escribirLote(desde, hasta);
        desde = hasta;
    }
    m_pendientes = std::max(m_pendientes, fin);
}

// Rows of distinct keys: which exist, then the new ones inserted and the others updated.
void ImportadorTabla::escribirLote(size_t desde, size_t hasta)
{
    const Plan &p = *m_plan;
    const std::vector<bool> existe = existentes(desde, hasta);
    std::vector<const Operacion *> nuevas;
    std::vector<std::pair<std::vector<int>, Valores>> cambios; // columns and values, then the key
    long modificadas = 0;
    for (size_t i = desde; i < hasta; ++i) {
        const Operacion &op = m_grupo[i];
        if (!existe[i - desde]) {
            nuevas.push_back(&op);
            continue;
        }
        if (m_ctx.soloAltas)
            continue;
        ++modificadas;
        std::vector<int> columnas;
        Valores valores;
        for (size_t c = 0; c < op.columnas.size(); ++c) {
            if (!p.esClave(op.columnas[c])) {
                columnas.push_back(op.columnas[c]);
                valores.push_back(valorEnConjunto(op.valores[c]));
            }
        }
        if (columnas.empty())
            continue;
        valores.insert(valores.end(), op.clave.begin(), op.clave.end());
        cambios.emplace_back(std::move(columnas), std::move(valores));
    }
    insertarLote(nuevas);
    actualizarLote(cambios);
    m_gInserciones += long(nuevas.size());
    m_gModificaciones += modificadas;
    m_escritasTabla += long(nuevas.size());
}

// Per row of the batch, whether the table holds its key.
std::vector<bool> ImportadorTabla::existentes(size_t desde, size_t hasta)
{
    const Plan &p = *m_plan;
    const size_t terminos = p.columnaClave.size();
    QStringList nombres, marcasClave;
    for (size_t k = 0; k < terminos; ++k) {
        const ColumnaLocal &c = p.local->columna(p.columnaClave[k]);
        nombres << nombreSql(c.nombre);
        marcasClave << marcaClave(p.regla->claves.value(qsizetype(k)), c);
    }
    // A lookup prepared while the table was small keeps a plan that reads the table whole
    // (the engine plans a prepared statement once for all its runs): once the rows written
    // have doubled since, the lookups are prepared, and planned, again.
    if (m_tablaBusquedas != p.tabla) {
        m_tablaBusquedas = p.tabla;
        m_busquedas.clear();
        m_escritasTabla = m_escritasAlPreparar = 0;
    }
    if (m_escritasTabla > 2 * std::max(m_escritasAlPreparar, long(kMaxClaves))) {
        for (const QString &sql : std::as_const(m_busquedas))
            m_escritor.descartar(sql);
        m_busquedas.clear();
        m_escritasAlPreparar = m_escritasTabla;
    }
    QSet<QString> halladas;
    const size_t porSentencia = std::min(kMaxClaves, filasPorSentencia(terminos));
    for (size_t i = desde; i < hasta; i += porSentencia) {
        const size_t n = std::min(porSentencia, hasta - i);
        Valores valores;
        valores.reserve(n * terminos);
        for (size_t k = 0; k < n; ++k) {
            const Valores &clave = m_grupo[i + k].clave;
            valores.insert(valores.end(), clave.begin(), clave.end());
        }
        QString sql;
        if (terminos == 1) {
            QStringList marcas(qsizetype(n), marcasClave.first());
            sql = QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (%3)")
                      .arg(nombres.first(), p.local->nombre(), marcas.join(QStringLiteral(", ")));
        } else {
            // Joined to the keys' rows, not a chain of ORs, which the engine plans term by
            // term.
            QStringList columnas, alias, iguales;
            for (size_t k = 0; k < terminos; ++k) {
                columnas << QStringLiteral("vkt.") + nombres[qsizetype(k)];
                alias << QStringLiteral("k%1").arg(k);
                iguales << QStringLiteral("vkt.%1 = vkc.k%2").arg(nombres[qsizetype(k)]).arg(k);
            }
            const QString fila = QLatin1Char('(') + marcasClave.join(QStringLiteral(", ")) + QLatin1Char(')');
            sql = QStringLiteral("SELECT %1 FROM %2 vkt INNER JOIN (VALUES %3) AS vkc (%4) ON %5")
                      .arg(columnas.join(QStringLiteral(", ")), p.local->nombre(),
                           QStringList(qsizetype(n), fila).join(QStringLiteral(", ")), alias.join(QStringLiteral(", ")),
                           iguales.join(QStringLiteral(" AND ")));
        }
        m_busquedas.insert(sql);
        for (const Valores &fila : m_escritor.filas(sql, valores))
            halladas.insert(claveComparable(fila, p.regla->claves));
    }
    std::vector<bool> existe;
    existe.reserve(hasta - desde);
    for (size_t i = desde; i < hasta; ++i)
        existe.push_back(halladas.contains(claveComparable(m_grupo[i].clave, p.regla->claves)));
    return existe;
}

// New rows, in one multi-row INSERT per column set (and size).
void ImportadorTabla::insertarLote(const std::vector<const Operacion *> &filas)
{
    const Plan &p = *m_plan;
    for (const std::vector<size_t> &grupo :
         porColumnas(filas.size(), [&](size_t i) -> const std::vector<int> & { return filas[i]->columnas; })) {
        const std::vector<int> &columnas = filas[grupo.front()]->columnas;
        QStringList nombres;
        for (int c : columnas)
            nombres << nombreSql(p.local->columna(c).nombre);
        const QString fila = QLatin1Char('(')
            + QStringList(qsizetype(columnas.size()), QStringLiteral("?")).join(QStringLiteral(", "))
            + QLatin1Char(')');
        const size_t porSentencia = filasPorSentencia(columnas.size());
        for (size_t i = 0; i < grupo.size(); i += porSentencia) {
            const size_t n = std::min(porSentencia, grupo.size() - i);
            Valores valores;
            valores.reserve(n * columnas.size());
            for (size_t k = 0; k < n; ++k) {
                for (size_t c = 0; c < columnas.size(); ++c)
                    valores.push_back(p.esClave(columnas[c]) ? filas[grupo[i + k]]->valores[c]
                                                             : valorEnConjunto(filas[grupo[i + k]]->valores[c]));
            }
            m_escritor.ejecuta(QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                   .arg(p.local->nombre(), nombres.join(QStringLiteral(", ")),
                                        QStringList(qsizetype(n), fila).join(QStringLiteral(", "))),
                               valores);
        }
    }
}

// Changed rows (their columns, then their values followed by their key), in one UPDATE per
// column set (and size) that joins the table to the rows' values. The table's own triggers
// (those of its views among them) see one update per row, as from single statements.
void ImportadorTabla::actualizarLote(const std::vector<std::pair<std::vector<int>, Valores>> &filas)
{
    const Plan &p = *m_plan;
    const QString tabla = p.local->nombre();
    for (const std::vector<size_t> &grupo :
         porColumnas(filas.size(), [&](size_t i) -> const std::vector<int> & { return filas[i].first; })) {
        const std::vector<int> &columnas = filas[grupo.front()].first;
        const size_t ancho = columnas.size() + p.columnaClave.size();
        QStringList asignaciones, alias, condiciones;
        for (size_t c = 0; c < columnas.size(); ++c) {
            asignaciones << nombreSql(p.local->columna(columnas[c]).nombre) + QStringLiteral(" = vkv.c%1").arg(c);
            alias << QStringLiteral("c%1").arg(c);
        }
        for (size_t k = 0; k < p.columnaClave.size(); ++k) {
            alias << QStringLiteral("k%1").arg(k);
            condiciones << QStringLiteral("%1.%2 = vkv.k%3")
                               .arg(tabla, nombreSql(p.local->columna(p.columnaClave[k]).nombre))
                               .arg(k);
        }
        QStringList marcas(qsizetype(columnas.size()), QStringLiteral("?"));
        for (size_t k = 0; k < p.columnaClave.size(); ++k)
            marcas << marcaClave(p.regla->claves.value(qsizetype(k)), p.local->columna(p.columnaClave[k]));
        const QString fila = QLatin1Char('(') + marcas.join(QStringLiteral(", ")) + QLatin1Char(')');
        const size_t porSentencia = filasPorSentencia(ancho);
        for (size_t i = 0; i < grupo.size(); i += porSentencia) {
            const size_t n = std::min(porSentencia, grupo.size() - i);
            Valores valores;
            valores.reserve(n * ancho);
            for (size_t k = 0; k < n; ++k) {
                const Valores &v = filas[grupo[i + k]].second;
                valores.insert(valores.end(), v.begin(), v.end());
            }
            const long afectadas = m_escritor.ejecuta(
                QStringLiteral("UPDATE %1 SET %2 FROM (VALUES %3) AS vkv (%4) WHERE %5")
                    .arg(tabla, asignaciones.join(QStringLiteral(", ")),
                         QStringList(qsizetype(n), fila).join(QStringLiteral(", ")), alias.join(QStringLiteral(", ")),
                         condiciones.join(QStringLiteral(" AND "))),
                valores);
            // A row the lookup found and the join missed (keys the engine compares otherwise
            // than the lookup's): the replay writes the group one row at a time.
            if (afectadas >= 0 && afectadas < long(n))
                throw platform::RuntimeError(
                    ado::errnum::CommandFailed,
                    QStringLiteral("La actualización de %1 filas de %2 cambió %3.").arg(n).arg(tabla).arg(afectadas),
                    QStringLiteral("ImportarTabla"));
        }
    }
}

QString ImportadorTabla::sentenciaInsert(const std::vector<int> &columnas)
{
    const QByteArray key = firma(columnas);
    auto it = m_inserts.constFind(key);
    if (it != m_inserts.constEnd())
        return *it;
    QStringList nombres;
    QStringList marcas;
    for (int c : columnas) {
        nombres << nombreSql(m_plan->local->columna(c).nombre);
        marcas << QStringLiteral("?");
    }
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(m_plan->local->nombre(), nombres.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", ")));
    return *m_inserts.insert(key, sql);
}

QString ImportadorTabla::sentenciaUpdate(const std::vector<int> &columnas)
{
    const QByteArray key = firma(columnas);
    auto it = m_updates.constFind(key);
    if (it != m_updates.constEnd())
        return *it;
    QStringList asignaciones;
    for (int c : columnas)
        asignaciones << nombreSql(m_plan->local->columna(c).nombre) + QStringLiteral(" = ?");
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2%3")
            .arg(m_plan->local->nombre(), asignaciones.join(QStringLiteral(", ")), m_plan->condicionClave);
    return *m_updates.insert(key, sql);
}

bool ImportadorTabla::esFallaDeConexion(const platform::RuntimeError &error, const ado::Errors &errores)
{
    if (error.Number() == ado::errnum::ConnectionClosed)
        return true;
    return error.Number() == ado::errnum::GenericFailure && !errores.isEmpty()
        && errores.Item(0).NativeError == ado::native::CommunicationLink;
}

QString ImportadorTabla::motivoDe(const platform::RuntimeError &error) const
{
    const ado::Errors &errores = m_ctx.db.gCnn.errors();
    const long nativo = errores.isEmpty() ? 0 : errores.Item(0).NativeError;
    const QString descripcion = errores.isEmpty() ? error.Description() : errores.Item(0).Description;
    const QString texto = platform::suite::gFunciones().LimpiarTexto(descripcion).simplified();
    return nativo ? QStringLiteral("error %1 de la base de datos: %2").arg(nativo).arg(texto)
                  : QStringLiteral("error de la base de datos: %1").arg(texto);
}

// The run cannot go on as it was: the operator decides (the unattended run leaves). Retry
// reopens a lost connection; Retry and Ignore go on. Leaving ends the table and the run.
bool ImportadorTabla::seguirTrasFalla(const platform::RuntimeError &error)
{
    platform::logger().error(
        QStringLiteral("Importación de %1 interrumpida: %2").arg(m_plan->tabla, error.Description()));
    const bool conexion = esFallaDeConexion(error, m_ctx.db.gCnn.errors());
    if (conexion)
        m_escritor.descartar();
    const int respuesta = ModGlobal::MostrarError(error, 18, QStringLiteral("ImportarTabla"));
    if (respuesta == platform::vbRetry && conexion)
        m_ctx.db.ReintentaConectar();
    if (respuesta == platform::vbRetry || respuesta == platform::vbIgnore)
        return true;
    try {
        m_ctx.db.gCnn.RollbackTrans(); // a connection still open keeps no half group
    } catch (const platform::RuntimeError &) {
    }
    m_grupo.clear();
    m_pendientes = 0;
    m_gInserciones = m_gModificaciones = 0;
    m_fallida = true;
    m_ctx.estado.ProcesoCancelado = true;
    return false;
}

// A failure under a group of rows: when the run goes on, the group is written again.
void ImportadorTabla::fallaDeEjecucion(const platform::RuntimeError &error)
{
    if (!seguirTrasFalla(error))
        return;
    try {
        repetirGrupoFilaPorFila();
    } catch (const ErrorDeEjecucion &again) {
        fallaDeEjecucion(again.error);
    } catch (const platform::RuntimeError &again) {
        fallaDeEjecucion(again);
    }
}

} // namespace recepcion
