// DB_Dll: single-row lookups, maxima and the schema questions.
#include "db/DB_Dll.h"

#include "db/LookupStatements.h"
#include "db/SqlText.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <algorithm>

using db::LookupStatements;
using platform::RuntimeError;
using platform::Variant;

namespace {

enum class Paso { Hecho, Siguiente, Abandonar };

// Runs one step of a lookup; an error is asked about ("Aviso al Operador", abort/retry/
// ignore): retry repeats the step, ignore goes on, abort leaves. Silent: leaves at once.
Paso conPregunta(const std::function<void()> &action, bool silencioso = false)
{
    for (;;) {
        try {
            action();
            return Paso::Hecho;
        } catch (const RuntimeError &e) {
            if (silencioso)
                return Paso::Abandonar;
            const int answer = platform::msgBox(e.Description(), platform::vbAbortRetryIgnore | platform::vbCritical,
                                                QStringLiteral("Aviso al Operador"));
            if (answer == platform::vbRetry)
                continue;
            return answer == platform::vbIgnore ? Paso::Siguiente : Paso::Abandonar;
        }
    }
}

double numberOf(const Variant &value)
{
    if (value.isNull() || value.isEmpty())
        return 0;
    if (value.isNumeric())
        return value.toDouble();
    return db::sqltext::leadingNumber(value.toString());
}

QString texto(const Variant &value) { return platform::suite::gFunciones().NuloAVacio(value); }

bool sameName(const QString &listed, const QString &wanted)
{
    const QString bare = listed.mid(listed.lastIndexOf(QLatin1Char('.')) + 1);
    return listed.compare(wanted, Qt::CaseInsensitive) == 0 || bare.compare(wanted, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<Variant> DB_Dll::primerValor(const QString &statement, const QString &column)
{
    ado::Recordset rs;
    rs.Open(statement, gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
    if (rs.EOF()) {
        rs.Close();
        return std::nullopt;
    }
    Variant value = rs.value(column);
    rs.Close();
    return value;
}

Variant DB_Dll::BuscaMaximo(const QString &Tabla, const QString &Campo, const Variant &Tipo, const QString &Condicion)
{
    const bool asText = Tipo.isNumeric() && Tipo.toInt64() == 7;
    std::optional<Variant> raw =
        primerValor(LookupStatements::maximo(Tabla, Campo, Condicion), QStringLiteral("MAYOR"));
    // Article codes that begin with "0" are not counted; one more look is enough.
    if (raw && Tabla.compare(QStringLiteral("V_MA_ARTICULOS"), Qt::CaseInsensitive) == 0
        && texto(*raw).trimmed().startsWith(QLatin1Char('0')))
        raw = primerValor(LookupStatements::maximo(Tabla, Campo, LookupStatements::sinCodigosCero(Condicion)),
                          QStringLiteral("MAYOR"));
    if (!raw)
        return Variant();
    return asText ? Variant(texto(*raw)) : Variant(numberOf(*raw));
}

Variant DB_Dll::BuscaMinimo(const QString &Tabla, const QString &Campo, const Variant &, const QString &Condicion)
{
    std::optional<Variant> raw =
        primerValor(LookupStatements::minimo(Tabla, Campo, Condicion), QStringLiteral("MENOR"));
    return raw ? Variant(numberOf(*raw)) : Variant();
}

Variant DB_Dll::BuscaUltimoCodigo(const QString &QueTabla, const QString &QueCampo, const Variant &,
                                  const QString &Condicion)
{
    std::optional<Variant> raw =
        primerValor(LookupStatements::ultimoCodigo(QueTabla, QueCampo, Condicion), QStringLiteral("MAYOR"));
    return raw ? Variant(numberOf(*raw)) : Variant();
}

bool DB_Dll::ExisteEnTabla(const QString &Tabla, const QString &ValorBuscado, const QString &Campo,
                           ado::Recordset *Lrcs, long Tipodato, const QString &Condicion, bool SoloLectura)
{
    const QString statement = SS_TSinonimos(LookupStatements::existe(Tabla, ValorBuscado, Campo, Tipodato, Condicion));
    return existe(statement, Lrcs, gCnn, SoloLectura, true);
}

bool DB_Dll::ExisteEnTablaST(const QString &Tabla, const QString &ValorBuscado, const QString &Campo,
                             ado::Recordset *Lrcs, long Tipodato, const QString &Condicion, bool SoloLectura)
{
    const QString statement = LookupStatements::existeST(Tabla, ValorBuscado, Campo, Tipodato, Condicion);
    return existe(statement, Lrcs, gDB().gCnn, SoloLectura, false);
}

bool DB_Dll::existe(const QString &statement, ado::Recordset *Lrcs, ado::Connection &cnn, bool SoloLectura, bool oracle)
{
    bool result = false;
    ado::Recordset own;
    ado::Recordset &rs = Lrcs ? *Lrcs : own;
    int cursor = ado::adOpenForwardOnly;
    int lock = ado::adLockReadOnly;
    if (Lrcs) {
        if (conPregunta([&] {
                if (rs.State() != ado::adStateClosed)
                    rs.Close();
            })
            == Paso::Abandonar)
            return result;
        if (!SoloLectura) {
            cursor = rs.CursorType();
            lock = rs.LockType();
        }
    }
    if (conPregunta([&] {
            const QString text = oracle && !Lrcs ? ORACLE_Dicc(statement) : statement;
            rs.Open(text, cnn, cursor, lock, -1);
        })
        == Paso::Abandonar)
        return result;
    if (conPregunta([&] {
            if (rs.State() == ado::adStateOpen)
                result = !rs.BOF();
        })
        == Paso::Abandonar)
        return result;
    if (!Lrcs)
        CierraRecordset(own);
    return result;
}

Variant DB_Dll::DatosTabla(const QString &Tabla, const QString &ValorBuscado, const QString &CampoDevuelto,
                           const QString &CampoBuscado, long Tipodato, const QString &Condicion, bool Recortar,
                           bool Silencioso)
{
    QString statement = LookupStatements::datosTabla(Tabla, ValorBuscado, CampoBuscado, Tipodato, Condicion, Recortar);
    ado::Recordset rs;
    AbrirRecordset(statement, rs, &gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    if (!gOpenFlag)
        return Variant();
    Variant result = QString();
    const Paso paso = conPregunta(
        [&] {
            if (rs.State() == ado::adStateOpen && !rs.EOF())
                result = texto(rs.value(CampoDevuelto));
        },
        Silencioso);
    CierraRecordset(rs);
    if (paso == Paso::Abandonar)
        return Silencioso ? Variant(QString()) : Variant();
    return result;
}

bool DB_Dll::ExisteTablaDB(const QString &Tabla)
{
    for (;;) {
        try {
            const QStringList tables = gCnn.Tables();
            return std::any_of(tables.begin(), tables.end(),
                               [&](const QString &name) { return sameName(name, Tabla); });
        } catch (const RuntimeError &e) {
            if (TratamientoErrores(e, 18, QStringLiteral("ExisteTablaDB")) != platform::vbRetry)
                return false;
        }
    }
}

bool DB_Dll::ExisteCampoDB(const QString &Tabla, const QString &Campo)
{
    for (;;) {
        try {
            for (const ado::SchemaColumn &column : gCnn.Columns(Tabla)) {
                if (column.Name.compare(Campo, Qt::CaseInsensitive) == 0)
                    return true;
            }
            return false;
        } catch (const RuntimeError &e) {
            if (TratamientoErrores(e, 18, QStringLiteral("ExisteCampoDB")) != platform::vbRetry)
                return false;
        }
    }
}

bool DB_Dll::VerCampoDB(const QString &Tabla, const QString &Campo, bool Agregar, const QString &Tipo, bool AceptaNulos,
                        const Variant &Defecto)
{
    if (!ExisteTablaDB(Tabla))
        return false;
    if (ExisteCampoDB(Tabla, Campo))
        return true;
    return Agregar && AddField(Tabla, Campo, Tipo, AceptaNulos, Defecto);
}

bool DB_Dll::AddField(const QString &Tabla, const QString &Campo, const QString &Tipo, bool AceptaNulos,
                      const Variant &Defecto)
{
    QString statement = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo + QLatin1Char(' ')
        + Tipo + (AceptaNulos ? QStringLiteral(" NULL") : QStringLiteral(" NOT NULL"));
    if (!Defecto.isEmpty() && !Defecto.isNull())
        statement += QStringLiteral(" DEFAULT ")
            + SQLValue(Defecto, Defecto.isNumeric() ? QStringLiteral("@") : QStringLiteral("'"));
    return EjecutaConsultaSQL(statement);
}
