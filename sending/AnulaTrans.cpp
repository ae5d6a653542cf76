#include "AnulaTrans.h"

#include "Enlace.h"
#include "TablaClaves.h"

#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/ado/Recordset.h"
#include "platform/suite/Estado.h"
#include "platform/ui/Operator.h"

#include <QCoreApplication>

namespace AnulaTrans {

namespace {

using envio::Sentencia;
using envio::Valores;
using platform::RuntimeError;
using platform::Variant;

const QString kTitulo = QStringLiteral("Anulando Transmision...");

void atender() { QCoreApplication::processEvents(); }

QString posicion(long actual, long total) { return QStringLiteral("%1 de %2").arg(actual).arg(total); }

// One cancellation: the failures counted so far and the stop request.
struct Anulacion {
    DB_Dll &db;
    Variant numero;
    short detener = 0;
    QStringList fallas;
    bool detenida() const { return detener != 0; }
};

void anularAplicaciones(Anulacion &a, const QString &tabla)
{
    platform::suite::Estado &estado = platform::suite::gEstado();
    Sentencia leer(a.db.gCnn, QStringLiteral("SELECT * FROM AUX_MV_APLICACION_TR WHERE TRANSMISION = ?"));
    const std::shared_ptr<ado::Recordset> rs = leer.abrir({a.numero});
    Sentencia borrar(a.db.gCnn,
                     QStringLiteral("DELETE FROM AUX_MV_APLICACION_TR WHERE IDAPLICACION = ? AND TRANSMISION = ?"));
    const long total = rs->RecordCount();
    for (long fila = 1; !rs->EOF(); rs->MoveNext(), ++fila) {
        estado.Actualizar(a.detener, tabla, posicion(fila, total));
        atender();
        try {
            borrar.ejecutar({rs->value(QStringLiteral("idAplicacion")), a.numero});
        } catch (const RuntimeError &error) {
            a.fallas << QStringLiteral("%1 fila %2: %3").arg(tabla).arg(fila).arg(error.Description());
        }
    }
}

// The condition that addresses one row: its keys, and the transmission's number.
QString condicion(ado::Recordset &rs, const QString &tabla, Valores &valores)
{
    ModGruposEmp::Claves claves = ModGruposEmp::claves(tabla);
    if (claves[0].isEmpty())
        claves[0] = rs.field(0).Name();
    QStringList terminos;
    for (size_t i = 0; i < 6; ++i) {
        if (claves[i].isEmpty())
            continue;
        QString columna = claves[i];
        columna.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        const Variant valor = rs.value(columna);
        if (valor.isNull()) {
            terminos << claves[i] + QStringLiteral(" IS NULL");
        } else {
            terminos << claves[i] + QStringLiteral(" = ?");
            valores.push_back(valor);
        }
    }
    terminos << QStringLiteral("TRANSMISION = ?");
    return QStringLiteral(" WHERE ") + terminos.join(QStringLiteral(" AND "));
}

void anularTabla(Anulacion &a, const QString &tabla)
{
    platform::suite::Estado &estado = platform::suite::gEstado();
    Sentencia leer(a.db.gCnn, QStringLiteral("SELECT * FROM ") + tabla + QStringLiteral(" WHERE TRANSMISION = ?"));
    const std::shared_ptr<ado::Recordset> rs = leer.abrir({a.numero});
    const long total = rs->RecordCount();
    for (long fila = 1; !rs->EOF(); rs->MoveNext(), ++fila) {
        atender();
        estado.Actualizar(a.detener, tabla, posicion(fila, total));
        if (a.detenida())
            return;
        atender();
        try {
            Valores valores;
            const QString donde = condicion(*rs, tabla, valores);
            valores.push_back(a.numero);
            Sentencia(a.db.gCnn, QStringLiteral("update ") + tabla + QStringLiteral(" set transmision = 0 ") + donde)
                .ejecutar(valores);
        } catch (const RuntimeError &error) {
            estado.Actualizar(a.detener, tabla, posicion(fila, total),
                              QStringLiteral("Error al actualizar registro %1").arg(fila));
            a.fallas << QStringLiteral("%1 fila %2: %3").arg(tabla).arg(fila).arg(error.Description());
        }
        atender();
    }
}

bool marcarAnulada(Anulacion &a)
{
    try {
        Sentencia(a.db.gCnn,
                  QStringLiteral("update MV_TRANSMISIONES set anulado = 1 where transmision = ? and tipo = 'T'"))
            .ejecutar({a.numero});
        return true;
    } catch (const RuntimeError &error) {
        platform::msgBox(error.Description());
        a.fallas << error.Description();
        return false;
    }
}

} // namespace

const QStringList &tablasAnuladas()
{
    static const QStringList tablas = {
        QStringLiteral("MV_ASIENTOS"),      QStringLiteral("MV_ASIENTOSCCOSTO"), QStringLiteral("MV_APLICACION"),
        QStringLiteral("V_MA_PRECIOS"),     QStringLiteral("V_MA_ARTICULOS"),    QStringLiteral("MA_CUENTAS"),
        QStringLiteral("MA_CUENTASADIC"),   QStringLiteral("V_TA_VENDEDORES"),   QStringLiteral("V_TA_MOTIVOCPRA"),
        QStringLiteral("V_TA_MOTIVOVTA"),   QStringLiteral("V_TA_CPRA_VTA"),     QStringLiteral("V_TA_PERCEPCION"),
        QStringLiteral("V_TA_CATEGORIA"),   QStringLiteral("TA_ESTADOS"),        QStringLiteral("V_TA_BANCOS"),
        QStringLiteral("TA_PAISES"),        QStringLiteral("TA_TIPODOCUMENTO"),  QStringLiteral("TA_COMPROBANTES"),
        QStringLiteral("V_TA_CPTE"),        QStringLiteral("MV_EJERCICIOS"),     QStringLiteral("TA_CONFIGURACION"),
        QStringLiteral("TA_CCOSTO"),        QStringLiteral("V_MV_CPTEACCIONES"), QStringLiteral("V_MV_CPTE"),
        QStringLiteral("V_MV_CPTEINSUMOS"), QStringLiteral("V_MV_CPTETAREAS"),   QStringLiteral("V_MV_CPTETERCEROS"),
        QStringLiteral("V_MV_CPTE_OBSERV"), QStringLiteral("C_MV_CPTE"),         QStringLiteral("C_MV_CPTEINSUMOS"),
        QStringLiteral("C_MV_CPTETAREAS"),  QStringLiteral("C_MV_CPTE_OBSERV"),  QStringLiteral("V_MV_STOCK"),
    };
    return tablas;
}

bool anulaTipo(const QString &tipo) { return tipo.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0; }

platform::Status AnularTransmision(std::int32_t numero, const QString &tipo)
{
    return AnularTransmision(numero, tipo, gDB());
}

platform::Status AnularTransmision(std::int32_t numero, const QString &tipo, DB_Dll &db)
{
    if (!anulaTipo(tipo))
        return {};
    Anulacion a{db, Variant(static_cast<long long>(numero)), 0, {}};
    platform::suite::Estado &estado = platform::suite::gEstado();
    for (const QString &tabla : tablasAnuladas()) {
        estado.Mostrar(kTitulo, -1);
        estado.Actualizar(a.detener, tabla);
        try {
            if (tabla == u"MV_APLICACION")
                anularAplicaciones(a, tabla);
            else
                anularTabla(a, tabla);
        } catch (const RuntimeError &error) {
            a.fallas << QStringLiteral("%1: %2").arg(tabla, error.Description());
        }
        if (a.detenida())
            return platform::Status::failure(
                QStringLiteral("Se detuvo la anulación de la transmisión %1 en la tabla %2").arg(numero).arg(tabla));
        estado.Cerrar();
    }
    if (a.fallas.isEmpty() && marcarAnulada(a)) {
        estado.Cerrar();
        return {};
    }
    estado.Cerrar();
    for (const QString &falla : a.fallas)
        platform::logger().error(QStringLiteral("Anulación de la transmisión %1: %2").arg(numero).arg(falla));
    const QString mensaje = QStringLiteral("La transmisión %1 no se marcó como anulada: %2 pasos fallaron.\r\n%3")
                                .arg(numero)
                                .arg(a.fallas.size())
                                .arg(a.fallas.mid(0, 10).join(QStringLiteral("\r\n")));
    platform::msgBox(mensaje, platform::vbExclamation, QStringLiteral("Aviso al operador..."));
    return platform::Status::failure(mensaje);
}

} // namespace AnulaTrans
