#include "Acceso.h"

#include "Globals.h"
#include "Rutinas.h"
#include "Sentencias.h"
#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Aplicacion.h"
#include "platform/suite/Controles.h"
#include "platform/suite/Estado.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Ini.h"
#include "platform/suite/Sistema.h"
#include "platform/ui/Operator.h"

namespace ModGlobal {

namespace {

// Names of the suite's programs whose access skips the rights query: this program's own.
bool skipsRightsQuery(const QString &proceso)
{
    return proceso.compare(QStringLiteral("PELMORA"), Qt::CaseInsensitive) == 0
        || proceso.compare(platform::executableName(), Qt::CaseInsensitive) == 0;
}

QString taskName(const QString &proceso)
{
    DB_Dll &db = gDB();
    const QString statement =
        QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , TA_MENU.Nombre ")
        + QStringLiteral(" FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON TA_TAREAS.TAREA = TA_MENU.Clave ")
        + QStringLiteral(" WHERE (TA_TAREAS.USUARIO = '") + db::sqltext::escapeQuotes(gUsuarioLogeado)
        + QStringLiteral(" ') AND (TA_MENU.Proceso LIKE '%") + db::sqltext::escapeQuotes(proceso)
        + QStringLiteral("%')");
    ado::Recordset rs;
    QString task;
    if (db.AbrirRecordset(statement, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true) && !rs.BOF()) {
        task = platform::suite::gFunciones().NuloAVacio(rs.value(QStringLiteral("nombre")));
    } else {
        const QString exe = platform::executableName();
        if (exe.compare(QStringLiteral("QD000PR"), Qt::CaseInsensitive) == 0)
            task = QStringLiteral("Menu Principal");
        else if (db.gDBName.compare(db.gUsuario, Qt::CaseInsensitive) == 0
                 || db.gUsuario.compare(QStringLiteral("SUPERVISOR VELKORO MC"), Qt::CaseInsensitive) == 0)
            task = exe;
    }
    db.CierraRecordset(rs);
    return task;
}

// The Id that this connection's own INSERT produced: the session's last identity value,
// which another run's row cannot change (a search by machine, user and minute could find
// it). The row must still be the one written, so an identity that a trigger produced
// elsewhere is never taken for it.
std::int32_t insertedId(const QString &maquina, const QString &usuario, const QString &formulario,
                        const QString &ingreso)
{
    DB_Dll &db = gDB();
    const QString q = QStringLiteral("'");
    const QString statement = QStringLiteral("SELECT Id FROM Control_Acceso WHERE Id = @@IDENTITY AND Maquina = ")
        + db.SQLValue(maquina, q) + QStringLiteral(" AND Usuario = ") + db.SQLValue(usuario, q)
        + QStringLiteral(" AND Formulario = ") + db.SQLValue(formulario, q) + QStringLiteral(" AND Ingreso = ")
        + db.SQLValue(ingreso, q) + QStringLiteral(" AND EGRESO IS NULL");
    ado::Recordset rs;
    std::int32_t id = 0;
    if (db.AbrirRecordset(statement, rs) && !rs.BOF())
        id = std::int32_t(rs.value(QStringLiteral("Id")).toInt64());
    db.CierraRecordset(rs);
    return id;
}

} // namespace

bool RegistrarAcceso(const QString &procesoPedido)
{
    const QString proceso = procesoPedido.isEmpty() ? platform::executableName() : procesoPedido;
    DB_Dll &db = gDB();
    gUsuarioLogeado = db.gUsuario;
    const QString task = skipsRightsQuery(proceso) ? QString() : taskName(proceso);

    const QString maquina = platform::suite::gSistema().NombreMaquina().trimmed().toUpper();
    const QString usuario = gUsuarioLogeado.trimmed().toUpper();
    const QString formulario = proceso.trimmed().toUpper();
    const QString ingreso = AhoraFechaHora();
    const QString q = QStringLiteral("'");
    gSentencias = QStringList{QString()};
    AgregarCampo(QStringLiteral("Maquina"), maquina, q, true);
    AgregarCampo(QStringLiteral("Usuario"), usuario, q, false);
    AgregarCampo(QStringLiteral("Formulario"), formulario, q, false);
    AgregarCampo(QStringLiteral("Tarea"), task.trimmed().toUpper(), q, false);
    AgregarCampo(QStringLiteral("Ingreso"), ingreso, q, false);
    AgregarCampo(QStringLiteral("NombreUsuario"), gUsuarioLogeado, q, false);
    QString noCondition;
    ArmarSentencia(gCampos, gSentencias, QStringLiteral("Control_Acceso"), false, noCondition, false);

    bool failed = false;
    std::int32_t native = 0;
    QString script, errorText;
    GActualizarDatoScript(gSentencias, failed, native, false, false, script, errorText, true);
    if (failed) {
        platform::logger().error(QStringLiteral("No se pudo registrar el acceso: %1").arg(errorText.trimmed()));
        return false;
    }
    const std::int32_t id = insertedId(maquina, usuario, formulario, ingreso);
    if (id == 0) {
        platform::logger().error(QStringLiteral("No se pudo leer el Id de la fila de acceso recién escrita"));
        return false;
    }
    gIdAcceso = id;
    return true;
}

bool RegistrarEgreso()
{
    QString statement = QStringLiteral("UPDATE CONTROL_ACCESO ") + QStringLiteral(" SET EGRESO = '") + AhoraFechaHora()
        + QLatin1Char('\'') + QStringLiteral(" WHERE EGRESO IS NULL AND ") + QStringLiteral(" ID = ")
        + QString::number(gIdAcceso);
    DB_Dll &db = gDB();
    if (!db.gOpenFlag)
        return false;
    long affected = 0;
    if (db.EjecutaConsultaSQL(statement, &affected)) {
        if (gIdAcceso == 0 || affected > 0)
            return true;
        platform::logger().error(
            QStringLiteral("La fila de acceso %1 no se cerró: ya no existe o ya tenía egreso").arg(gIdAcceso));
        return false;
    }
    const QString description =
        db.gCnn.errors().isEmpty() ? QStringLiteral("No se pudo registrar el egreso") : db.gCnn.errors()[0].Description;
    platform::logger().error(QStringLiteral("No se pudo registrar el egreso: %1").arg(description));
    platform::msgBox(description, platform::vbOKOnly);
    return false;
}

bool Finalizar()
{
    const bool closed = RegistrarEgreso();
    platform::suite::releaseIni();
    platform::suite::releaseEstado();
    platform::suite::releaseControles();
    releaseSharedDatabases();
    platform::suite::releaseSistema();
    platform::suite::releaseAplicacion();
    return closed;
}

} // namespace ModGlobal
