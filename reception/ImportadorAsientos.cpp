// Accounting entries (MV_ASIENTOS): the lines of one entry (same PERIODO, TIPO_REG,
// MES_OPERATIVO and NUMERO ASIENTO, one after the other) are written together in one
// transaction, each replacing the stored row of its key; a failed entry rejects all its
// lines. An entry refused for want of its fiscal calendar offers to create the calendar,
// after which the program ends. Also the voucher actions (V_MV_CPTEACCIONES), whose lines
// delete the accounting row they name.

#include "ImportadorInterno.h"

#include "ErroresRecepcion.h"

#include "package/Format.h"

#include "core/Rutinas.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Types.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

namespace recepcion {

namespace {

const QString kCRLF = QStringLiteral("\r\n");

QString campo(const QStringList &campos, int pos)
{
    return pos >= 0 && pos < campos.size() ? campos[pos].trimmed() : QString();
}

} // namespace

QString sentenciaCalendario(const DB_Dll &db, int anio)
{
    const QString desde = QStringLiteral("01/01/%1").arg(anio);
    const QString hasta = QStringLiteral("31/12/%1").arg(anio);
    const QString proveedor = ado::ConnectionString::parse(db.gCnn.ConnectionString()).provider().trimmed();
    if (proveedor.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("INSERT INTO VK_CREACALENDARIO (DESDE, HASTA) VALUES ('%1', '%2')").arg(desde, hasta);
    return QStringLiteral("EXEC VK_CREACALENDARIO '%1','%2'").arg(desde, hasta);
}

void ImportadorTabla::agregarAsiento(const QStringList &campos, const QString &linea)
{
    const Plan &p = *m_plan;
    const QString clave = QStringList{campo(campos, p.posicion(QStringLiteral("PERIODO"))),
                                      campo(campos, p.posicion(QStringLiteral("TIPO_REG"))),
                                      campo(campos, p.posicion(QStringLiteral("MES_OPERATIVO"))),
                                      campo(campos, p.posicion(QStringLiteral("NUMERO ASIENTO")))}
                              .join(QLatin1Char(','));
    if (m_asiento && m_asiento->clave.compare(clave, Qt::CaseInsensitive) != 0)
        cerrarAsiento();
    if (!m_asiento) {
        m_asiento = std::make_unique<Asiento>();
        m_asiento->clave = clave;
    }
    Operacion op;
    op.linea = m_linea;
    op.texto = linea;
    m_asiento->fecha = campo(campos, p.posicion(QStringLiteral("FECHA")));
    bool vacia = false;
    QString motivo = armarClave(campos, op.clave, vacia);
    if (motivo.isEmpty()) {
        // Every column of the field list that the table has, "null" as NULL.
        for (size_t pos = 0; pos < p.columnaDe.size() && motivo.isEmpty(); ++pos) {
            if (p.columnaDe[pos] < 0)
                continue;
            const platform::Result<platform::Variant> v =
                valorPara(p.local->columna(p.columnaDe[pos]), campos[qsizetype(pos)], p.nombresDatos[qsizetype(pos)]);
            if (v.ok()) {
                op.columnas.push_back(p.columnaDe[pos]);
                op.valores.push_back(v.value());
            } else {
                motivo = v.message();
            }
        }
    }
    if (motivo.isEmpty() && p.columnaRecepcion >= 0) {
        op.columnas.push_back(p.columnaRecepcion);
        op.valores.push_back(valorPara(p.local->columna(p.columnaRecepcion), m_ctx.numeroRecepcion).value());
    }
    m_asiento->rechazos << motivo;
    m_asiento->lineas.push_back(std::move(op));
}

void ImportadorTabla::cerrarAsiento()
{
    if (!m_asiento)
        return;
    std::unique_ptr<Asiento> asiento = std::move(m_asiento);
    const Plan &p = *m_plan;
    auto rechazarTodo = [&](const QString &motivo) {
        for (size_t i = 0; i < asiento->lineas.size(); ++i) {
            const QString propio = asiento->rechazos[qsizetype(i)];
            m_ctx.errores.rechazo(p.tabla, p.campos, asiento->lineas[i].linea, propio.isEmpty() ? motivo : propio,
                                  asiento->lineas[i].texto);
            ++m_ctx.estado.CantErrores;
        }
    };
    const qsizetype malas = asiento->rechazos.size() - asiento->rechazos.count(QString());
    if (malas > 0) {
        rechazarTodo(QStringLiteral("otra línea del mismo asiento fue rechazada"));
        return;
    }
    ado::Connection &cnn = m_ctx.db.gCnn;
    QStringList nombres;
    for (const TerminoClave &t : p.regla->claves)
        nombres << nombreSql(t.columna) + QStringLiteral(" = ?");
    const QString borrar = QStringLiteral("DELETE FROM MV_ASIENTOS WHERE ") + nombres.join(QStringLiteral(" AND "));
    try {
        cnn.BeginTrans();
        for (const Operacion &op : asiento->lineas) {
            if (m_escritor.hayFila(p.sqlBusqueda, op.clave))
                m_escritor.ejecuta(borrar, op.clave);
            m_escritor.ejecuta(sentenciaInsert(op.columnas), op.valores);
        }
        cnn.CommitTrans();
    } catch (const platform::RuntimeError &e) {
        const QString motivo = motivoDe(e);
        const bool integridad = e.Number() == ado::errnum::IntegrityViolation && !cnn.errors().isEmpty()
            && cnn.errors().Item(0).NativeError == ado::native::ConstraintConflict;
        try {
            cnn.RollbackTrans();
        } catch (const platform::RuntimeError &) {
        }
        rechazarTodo(motivo);
        if (integridad && !asiento->fecha.isEmpty())
            preguntarCalendario(asiento->fecha);
    }
}

// A missing fiscal calendar: the operator may create it now; the program ends either way.
void ImportadorTabla::preguntarCalendario(const QString &fecha)
{
    const std::optional<QDateTime> dia = package::readDate(fecha);
    if (!dia)
        return;
    const QString anio = QString::number(dia->date().year());
    m_ctx.errores.vaciar();
    const int respuesta = platform::msgBox(
        QStringLiteral("Debe crear el calendario para el año ") + anio
            + QStringLiteral(" y volver a realizar la recepción") + kCRLF + QStringLiteral("¿Desea crearlo ahora?"),
        platform::vbYesNo | platform::vbCritical, QStringLiteral("Aviso al Usuario"));
    if (respuesta == platform::vbYes) {
        if (m_ctx.db.EjecutaConsultaSQL(sentenciaCalendario(m_ctx.db, dia->date().year())))
            platform::msgBox(QStringLiteral("El calendario para el año ") + anio
                                 + QStringLiteral(" se ha creado con éxito.")
                                 + QStringLiteral("Deberá ejecutar nuevamente la recepción para tomar los cambios."),
                             platform::vbInformation, QStringLiteral("Aviso al Usuario"));
        else
            platform::logger().error(QStringLiteral("No se pudo crear el calendario del año ") + anio);
    }
    m_ctx.estado.FinalizarPrograma = true;
}

std::optional<ImportadorTabla::Operacion> ImportadorTabla::armarBorradoAsiento(const QStringList &campos,
                                                                               const QString &linea)
{
    const Plan &p = *m_plan;
    Operacion op;
    op.tipo = Operacion::Tipo::BorradoAsiento;
    op.linea = m_linea;
    op.texto = linea;
    const auto &f = platform::suite::gFunciones();
    struct Termino {
        const char *campo;
        int ancho;
        bool numero;
        bool fecha;
    };
    const Termino terminos[] = {{"TC", 0, false, false},          {"IDCOMPROBANTE", 0, false, false},
                                {"PERIODO", 6, false, false},     {"TIPO_REG", 4, false, false},
                                {"FECHA", 0, false, true},        {"MES_OPERATIVO", 0, true, false},
                                {"NUMEROASIENTO", 0, true, false}};
    for (const Termino &t : terminos) {
        const int pos = p.posicion(QString::fromLatin1(t.campo));
        if (pos < 0) {
            rechazar(QStringLiteral("falta la columna %1").arg(QString::fromLatin1(t.campo)), linea);
            return std::nullopt;
        }
        const QString valor = campos[pos].trimmed();
        if (package::isNull(valor)) {
            op.clave.push_back(platform::Variant::null()); // matches no row
            continue;
        }
        std::optional<platform::Variant> v;
        if (t.fecha) {
            if (const auto d = package::readDate(valor))
                v = platform::Variant(*d);
        } else if (t.numero) {
            if (const auto n = package::readNumber(valor))
                v = platform::Variant(*n);
        } else {
            v = platform::Variant(t.ancho > 0 ? f.AlinearDerecha(valor, t.ancho) : valor);
        }
        if (!v) {
            rechazar(
                QStringLiteral("valor no válido en la columna %1: \"%2\"").arg(QString::fromLatin1(t.campo), valor),
                linea);
            return std::nullopt;
        }
        op.clave.push_back(*v);
    }
    return op;
}

// The accounting row the voucher names: the first row of its entry whose SUCURSAL, NUMERO
// and LETRA, joined, are the voucher (compared as text is: any case, trailing blanks aside).
ImportadorTabla::Efecto ImportadorTabla::borrarAsiento(const Operacion &op)
{
    for (const platform::Variant &v : op.clave) {
        if (v.isNull())
            return Efecto::Ninguno;
    }
    Valores terminos = op.clave;
    const QString comprobante = terminos[1].toString();
    terminos.erase(terminos.begin() + 1);
    const std::vector<Valores> filas = m_escritor.filas(
        QStringLiteral(
            "SELECT CUENTA, SECUENCIA, MES_OPERATIVO, [NUMERO ASIENTO], PERIODO, TIPO_REG, SUCURSAL, NUMERO, "
            "LETRA FROM MV_ASIENTOS WHERE TC = ? AND PERIODO = ? AND TIPO_REG = ? AND FECHA = ? AND "
            "MES_OPERATIVO = ? AND [NUMERO ASIENTO] = ?"),
        terminos);
    const auto sinBlancosFinales = [](QString s) {
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    };
    for (const Valores &fila : filas) {
        const QString unido = fila[6].toString() + fila[7].toString() + fila[8].toString();
        if (sinBlancosFinales(unido).compare(sinBlancosFinales(comprobante), Qt::CaseInsensitive) != 0)
            continue;
        m_escritor.ejecuta(
            QStringLiteral("DELETE FROM MV_ASIENTOS WHERE CUENTA = ? AND SECUENCIA = ? AND "
                           "MES_OPERATIVO = ? AND [NUMERO ASIENTO] = ? AND PERIODO = ? AND TIPO_REG = ?"),
            Valores(fila.begin(), fila.begin() + 6));
        break;
    }
    return Efecto::Ninguno;
}

} // namespace recepcion
