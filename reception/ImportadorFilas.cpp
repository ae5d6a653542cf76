// The import's writes: rows go to the database in groups, one transaction per group. When a
// row fails, its group is rolled back and written again one row per transaction, so that
// only the failing rows are lost, each reported with its reason.

#include "ImportadorInterno.h"

#include "ErroresRecepcion.h"

#include "core/MostrarError.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Types.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

namespace recepcion {

namespace {

int &tamanoGrupo()
{
    static int filas = 2000;
    return filas;
}

QByteArray firma(const std::vector<int> &columnas)
{
    QByteArray key;
    key.reserve(qsizetype(columnas.size()));
    for (int c : columnas)
        key.append(char(c & 0x7F)).append(char(c >> 7));
    return key;
}

} // namespace

void ImportadorTabla::setTamanoGrupo(int filas) { tamanoGrupo() = std::max(1, filas); }

void ImportadorTabla::agregar(Operacion operacion)
{
    ado::Connection &cnn = m_ctx.db.gCnn;
    try {
        if (m_grupo.empty())
            cnn.BeginTrans();
        m_grupo.push_back(std::move(operacion));
        try {
            contar(escribir(m_grupo.back()), m_gInserciones, m_gModificaciones);
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
        m_ctx.db.gCnn.CommitTrans();
    } catch (const platform::RuntimeError &e) {
        if (esFallaDeConexion(e, m_ctx.db.gCnn.errors())) {
            fallaDeEjecucion(e);
            return;
        }
        repetirGrupoFilaPorFila();
        return;
    }
    m_ctx.estado.CantInserciones += m_gInserciones;
    m_ctx.estado.CantModificaciones += m_gModificaciones;
    m_gInserciones = m_gModificaciones = 0;
    m_grupo.clear();
}

// The operator's interruption: the open group is rolled back, its lines as if never read.
void ImportadorTabla::descartarGrupo()
{
    long lineas = long(m_grupo.size());
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
    m_gInserciones = m_gModificaciones = 0;
    m_ctx.estado.RegistrosRecibidos -= lineas;
}

// The group's rows again, each alone: those that still fail are rejected with the reason.
// A row leaves the group once it is written or rejected; a lost connection leaves the rest
// in the group, for the replay that follows Retry.
void ImportadorTabla::repetirGrupoFilaPorFila()
{
    ado::Connection &cnn = m_ctx.db.gCnn;
    try {
        cnn.RollbackTrans();
    } catch (const platform::RuntimeError &) {
        // the engine already ended the transaction
    }
    m_gInserciones = m_gModificaciones = 0;
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
