// DB_Dll: statement execution, recordsets, synonym views and the Oracle batch runner.
#include "db/DB_Dll.h"

#include "db/OracleDialect.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/ui/Operator.h"

using db::sqltext::containsNoCase;
using db::sqltext::replaceNoCase;
using db::sqltext::replaceWholeName;
using platform::RuntimeError;

namespace {

const QString kAdminPrefix = QStringLiteral("@Admin_");

QString sinPrefijoAdmin(const QString &sentencia) { return replaceNoCase(sentencia, kAdminPrefix, QString()); }

bool isLostConnection(const RuntimeError &e)
{
    return e.Number() == ado::errnum::GenericFailure || e.Number() == ado::errnum::ConnectionClosed;
}

// A failed call must leave at least one entry for callers that test Errors.Count.
void keepFailure(ado::Connection &cnn, const RuntimeError &e)
{
    if (!cnn.errors().isEmpty())
        return;
    ado::Error error;
    error.Number = e.Number();
    error.Description = e.Description();
    error.Source = e.Source();
    cnn.errors().Add(error);
}

struct SynonymRule {
    const char *table;
    const char *view;
};

// Tables a restricted user reads through a view, in the order they are rewritten.
const SynonymRule kSynonyms[] = {
    {"V_TA_DEPOSITO", "SS_V_TA_DEPOSITO"},       {"MV_ASIENTOS", "SS_MV_ASIENTOS"},
    {"V_TA_FAMILIAS", "SS_V_TA_FAMILIAS"},       {"V_TA_CAJAS", "SS_V_TA_CAJAS"},
    {"AC_CUENTASDIARIO", "SS_AC_CUENTASDIARIO"}, {"AC_CUENTASDIARIO_CCOSTO", "SS_AC_CUENTAS_DIARIO_CCOSTO"},
};

} // namespace

QString DB_Dll::SS_TSinonimos(const QString &sentencia) const
{
    if (gEsAdmin)
        return sentencia;
    if (containsNoCase(sentencia, QStringLiteral("MV_ASIENTOS")) && !gSS_CONFIDENCIALIDAD)
        return sentencia;
    // Names only: a text literal ('MA_CUENTAS' as a value) is data and stays as written.
    return db::sqltext::rewriteOutsideLiterals(sentencia, [](const QString &code) {
        QString w = replaceWholeName(code, QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"));
        w = replaceNoCase(w, QStringLiteral("@Admin_MA_CUENTAS"), QStringLiteral("MA_CUENTAS"));
        for (const SynonymRule &rule : kSynonyms)
            w = replaceWholeName(w, QString::fromLatin1(rule.table), QString::fromLatin1(rule.view));
        return w;
    });
}

bool DB_Dll::EjecutaConsultaSQL(QString &SentenciaSQL, long *RecordsAffected, std::shared_ptr<ado::Recordset> *Lrcs)
{
    return ejecuta(SentenciaSQL, RecordsAffected, Lrcs, false);
}

bool DB_Dll::EjecutaConsultaSQL(const QString &SentenciaSQL)
{
    QString copy = SentenciaSQL;
    return ejecuta(copy, nullptr, nullptr, false);
}

bool DB_Dll::EjecutaConsultaRSQL(QString &SentenciaSQL, long *RecordsAffected, std::shared_ptr<ado::Recordset> *Lrcs)
{
    return ejecuta(SentenciaSQL, RecordsAffected, Lrcs, true);
}

bool DB_Dll::ejecuta(QString &s, long *recordsAffected, std::shared_ptr<ado::Recordset> *lrcs, bool auxiliar)
{
    const bool dropCreate = containsNoCase(s, QStringLiteral("DROP")) && containsNoCase(s, QStringLiteral("CREATE"));
    const bool admin = containsNoCase(s, QStringLiteral("@ADMIN_"));
    if (!dropCreate || admin)
        s = sinPrefijoAdmin(s);
    else if (!containsNoCase(s, QStringLiteral("DELETE")))
        s = SS_TSinonimos(s);

    const QString ejecutada = s; // the Oracle runner consumes the batch
    try {
        if (containsNoCase(gConnString, QStringLiteral("ORACLE"))) {
            long count = recordsAffected ? *recordsAffected : 0;
            EjecutaLoteOracle(s, count);
            if (recordsAffected)
                *recordsAffected = count;
        } else {
            std::shared_ptr<ado::Recordset> rs = gCnn.Execute(s, recordsAffected, -1);
            if (lrcs)
                *lrcs = rs;
        }
    } catch (const RuntimeError &e) {
        // A failed statement is never passed off as success: its errors stay for the
        // caller, a truncation (8152) included.
        keepFailure(gCnn, e);
        platform::logger().warning(QStringLiteral("Sentencia fallida (") + QString::number(e.Number())
                                   + QStringLiteral(") ") + e.Description() + QStringLiteral(": ") + ejecutada);
        if (auxiliar) {
            const ado::Errors &aux = gDBAuxiliar().gCnn.errors();
            const QString text = aux.isEmpty() ? e.Description() : aux.Item(0).Description;
            platform::msgBox(text, platform::vbCritical, QStringLiteral("Aviso al operador!!!"));
        }
        return false;
    }
    // A truncation warning on a statement that ran is not an error for the caller.
    ado::Errors &errors = gCnn.errors();
    if ((errors.Count() == 1 || errors.Count() == 2) && !containsNoCase(s, QStringLiteral("TRANS"))
        && errors.Item(0).NativeError == ado::native::StringTruncated)
        errors.Clear();
    return true;
}

bool DB_Dll::AbrirRecordset(const QString &SentenciaSQL, ado::Recordset &Lrcs, ado::Connection *Conexionactiva,
                            int CursorType, int LockType, long Options, bool ConvOracle)
{
    QString copy = SentenciaSQL;
    return AbrirRecordset(copy, Lrcs, Conexionactiva, CursorType, LockType, Options, ConvOracle);
}

bool DB_Dll::AbrirRecordset(QString &SentenciaSQL, ado::Recordset &Lrcs, ado::Connection *Conexionactiva,
                            int CursorType, int LockType, long Options, bool ConvOracle)
{
    CierraRecordset(Lrcs);
    SentenciaSQL = sinPrefijoAdmin(SS_TSinonimos(SentenciaSQL));
    bool convert = ConvOracle && containsNoCase(gConnString, QStringLiteral("ORACLE"));
    int attempts = 0;
    for (;;) {
        try {
            if (convert) {
                SentenciaSQL = ORACLE_Dicc(SentenciaSQL);
                convert = false;
            }
            Lrcs.Open(SentenciaSQL, Conexionactiva ? *Conexionactiva : gCnn, CursorType, LockType, Options);
            return true;
        } catch (const RuntimeError &e) {
            if (isLostConnection(e)) {
                if (reconectaPerdida(attempts))
                    continue;
                return false;
            }
            if (TratamientoErrores(e, 18, QStringLiteral("AbrirRecordset")) == platform::vbRetry)
                continue;
            return false;
        }
    }
}

// Up to three reconnections; then the operator chooses between trying again and
// ending the program. True when the connection is back.
bool DB_Dll::reconectaPerdida(int &attempts)
{
    for (;;) {
        while (attempts < 3) {
            ++attempts;
            ReintentaConectar();
            if (gOpenFlag)
                return true;
        }
        const QString nl = QStringLiteral("\n");
        const QString text = nl + QStringLiteral("Se perdio la conexion con la base de datos ") + gDB().gDBName + nl
            + QStringLiteral(" Servidor ") + gDB().gServidor + nl + nl
            + QStringLiteral("Elija SI para reintentar conectarse") + nl
            + QStringLiteral("Elija NO para cerrar la aplicacion") + nl + nl + nl;
        if (platform::msgBox(text, platform::vbYesNo | platform::vbCritical, QStringLiteral("AVISO AL OPERADOR"))
            == platform::vbYes) {
            attempts = 0;
            continue;
        }
        gOpenFlag = false;
        platform::logger().error(QStringLiteral("Conexion perdida con ") + gDBName
                                 + QStringLiteral(": fin del programa"));
        terminarPrograma();
        return false;
    }
}

void DB_Dll::CierraRecordset(ado::Recordset &Lrcs)
{
    try {
        if (Lrcs.State() != ado::adStateOpen)
            return;
        if (Lrcs.editing())
            Lrcs.CancelUpdate();
        Lrcs.Close();
    } catch (const std::exception &) {
    }
}

QString DB_Dll::ORACLE_Dicc(const QString &sentencia) const
{
    if (!containsNoCase(gConnString, QStringLiteral("ORACLE")))
        return sentencia;
    return db::OracleDialect::rewrite(sentencia);
}

QString DB_Dll::LimpiaSentenciaOracle(QString &sentencia)
{
    if (db::OracleDialect::isDropped(sentencia))
        sentencia.clear();
    return sentencia;
}

QString DB_Dll::EjecutaLoteOracle(QString &lote, long &count)
{
    const QStringList statements = db::OracleDialect::splitBatch(lote);
    lote.clear();
    for (const QString &statement : statements) {
        if (statement.compare(QStringLiteral("SET TRANSACTION"), Qt::CaseInsensitive) == 0) {
            gCnn.BeginTrans();
        } else if (statement.compare(QStringLiteral("COMMIT"), Qt::CaseInsensitive) == 0) {
            gCnn.CommitTrans();
        } else if (statement.compare(QStringLiteral("ROLLBACK"), Qt::CaseInsensitive) == 0) {
            gCnn.RollbackTrans();
        } else {
            QString rewritten = ORACLE_Dicc(statement);
            LimpiaSentenciaOracle(rewritten);
            if (rewritten.trimmed().isEmpty())
                continue;
            long affected = 0;
            gCnn.Execute(rewritten, &affected, -1);
            if (affected > 0) // statements without a count report -1
                count += affected;
        }
    }
    // The provider's notice that a command returned no rows is not an error.
    ado::Errors &errors = gCnn.errors();
    if (errors.Count() == 1 && errors.Item(0).Number == 265929)
        errors.Clear();
    return QString();
}
