#include "Sentencias.h"

#include "MostrarError.h"
#include "Rutinas.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/ado/sqlite/DateText.h"
#include "platform/suite/Funciones.h"
#include "platform/suite/Sistema.h"
#include "platform/ui/Operator.h"

namespace ModGlobal {

QList<CampoValor> gCampos;
QStringList gSentencias;

namespace {

constexpr long kConversionError = 3421;
const QChar kCR(13);
const QString kCRLF = QStringLiteral("\r\n");

bool isDateText(const QString &text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    return !bytes.isEmpty() && ado::DateText::parse(bytes.constData(), bytes.size()).has_value();
}

// A date column's value: a blank text is no date (Null); a text that is not a day-first
// date is refused as the conversion error it is, never stored as Null without a word.
QString dateValue(const QString &campo, const QString &texto)
{
    if (texto.trimmed().isEmpty())
        return QStringLiteral("Null");
    if (!isDateText(texto))
        throw platform::RuntimeError(
            kConversionError,
            QStringLiteral("\"%1\" no es una fecha (día/mes/año) para el campo %2").arg(texto.trimmed(), campo),
            QStringLiteral("CargarCampo"));
    return texto;
}

QString joined(const QList<CampoValor> &pares, bool columns)
{
    QStringList parts;
    for (const CampoValor &pair : pares)
        parts << (columns ? pair.Campo : pair.Valor);
    return parts.join(QLatin1Char(','));
}

QString assignments(const QList<CampoValor> &pares)
{
    QStringList parts;
    for (const CampoValor &pair : pares)
        parts << pair.Campo + QStringLiteral(" = ") + pair.Valor;
    return parts.join(QLatin1Char(','));
}

// One line per error; with several, the last (the server's "statement terminated"
// notice) is left out.
QString errorLines(const ado::Errors &errors)
{
    QString text;
    const int last = errors.Count() == 1 ? 0 : errors.Count() - 2;
    for (int i = 0; i <= last; ++i)
        text += QString::number(errors[i].NativeError) + QStringLiteral(" : ") + errors[i].Description + kCRLF;
    return text;
}

// Runs the statements inside one transaction; false at the first failure (the
// transaction is then still open, for the caller to roll back). A failure that left
// no provider error gets one from the raised error, so it is never mistaken for success.
bool runInTransaction(DB_Dll &db, const QStringList &sentencias)
{
    try {
        db.gCnn.BeginTrans();
        for (const QString &sentencia : sentencias) {
            if (sentencia.trimmed().isEmpty())
                continue;
            QString text = sentencia;
            if (!db.EjecutaConsultaSQL(text))
                return false;
        }
        db.gCnn.CommitTrans();
        return true;
    } catch (const platform::RuntimeError &error) {
        if (db.gCnn.errors().isEmpty())
            db.gCnn.errors().Add(ado::Error{error.Number(), 0, QString(), error.Description(), error.Source()});
        return false;
    }
}

void rollback(DB_Dll &db)
{
    try {
        db.gCnn.RollbackTrans();
    } catch (const platform::RuntimeError &) {
        // Nothing was open any more: the failed statement already ended it.
    }
    db.gCnn.errors().Clear();
}

QString conversionText(const QString &campo)
{
    return QStringLiteral("Verifique las siguientes opciones: ") + kCRLF + kCRLF
        + QStringLiteral("1) Ha ingresado letras donde debe ingresar numeros") + kCRLF + kCRLF
        + QStringLiteral("2) Debe ingresar una fecha y el formato es incorrecto") + kCRLF + kCRLF
        + QStringLiteral("En el campo: ") + campo;
}

} // namespace

void AgregarCampo(const QString &campo, const QString &valor, const QString &tipo, bool primero)
{
    if (primero)
        gCampos.clear();
    CampoValor pair{campo, QString()};
    if (valor.toUpper() == u"NULL")
        pair.Valor = QStringLiteral("Null");
    else
        pair.Valor = gDB().SQLValue(platform::Variant(valor), tipo);
    gCampos.append(pair);
}

void CargarCampo(ado::Recordset &rs, QString &campo, const QString &valorTexto, bool primero)
{
    campo.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    const ado::Field field = rs.field(campo);
    const long type = field.Type();
    DB_Dll &db = gDB();
    const QString quote = QStringLiteral("'");
    if (db.ADOText(type)) {
        if (valorTexto.trimmed().isEmpty())
            AgregarCampo(campo, QStringLiteral("Null"), quote, primero);
        else if (field.DefinedSize() >= 30)
            AgregarCampo(campo, valorTexto.trimmed(), quote, primero);
        else
            AgregarCampo(campo, platform::suite::gFunciones().AlinearDerecha(valorTexto, int(field.DefinedSize())),
                         quote, primero);
    } else if (db.ADONumeric(type) || db.ADOCurrency(type)) {
        AgregarCampo(campo, valorTexto, QStringLiteral("@"), primero);
    } else if (db.ADOBoolean(type)) {
        AgregarCampo(campo, ValorLogico(valorTexto, true) ? QStringLiteral("1") : QStringLiteral("0"), quote, primero);
    } else if (db.adodate(type)) {
        AgregarCampo(campo, dateValue(campo, valorTexto), quote, primero);
    } else {
        AgregarCampo(campo, valorTexto, quote, primero);
    }
}

void ArmarSentencia(QList<CampoValor> &pares, QStringList &sentencias, const QString &tabla, bool actualizar,
                    QString &condicion, bool mantenerPares)
{
    QString statement;
    if (actualizar) {
        if (!condicion.contains(QStringLiteral("WHERE"), Qt::CaseInsensitive))
            condicion = QStringLiteral(" WHERE ") + condicion;
        statement = QStringLiteral("UPDATE ") + tabla + QStringLiteral(" SET ") + assignments(pares) + QLatin1Char(' ')
            + condicion;
    } else {
        statement = QStringLiteral("INSERT INTO ") + tabla + QStringLiteral(" (") + joined(pares, true)
            + QStringLiteral(") VALUES (") + joined(pares, false) + QLatin1Char(')');
    }
    sentencias << statement << QString();
    // The next statement starts with no pairs, whether or not its first call says so.
    if (!mantenerPares)
        pares.clear();
}

void GActualizarDatoScript(const QStringList &sentencias, bool &fallo, std::int32_t &errorNativo,
                           bool ignorarDuplicados, bool ignorarClavesForaneas, QString &script, QString &textoError,
                           bool mostrarMensaje)
{
    fallo = false;
    QString body;
    for (const QString &sentencia : sentencias) {
        if (!sentencia.trimmed().isEmpty())
            body += kCR + sentencia;
    }
    if (body.isEmpty())
        return;
    script = QStringLiteral("BEGIN TRANSACTION ") + kCR + kCR + body + kCR;

    DB_Dll &db = gDB();
    db.gCnn.errors().Clear();
    std::int32_t native = 0;
    if (!runInTransaction(db, sentencias)) {
        fallo = true;
        const ado::Errors &errors = db.gCnn.errors();
        native = errors.isEmpty() ? 0 : std::int32_t(errors[0].NativeError);
        QString shown = errors.isEmpty() ? QString() : errorLines(errors);
        textoError = shown;
        const bool tolerated = (ignorarDuplicados && native == ado::native::DuplicateKey)
            || (ignorarClavesForaneas && native == ado::native::ConstraintConflict);
        if (tolerated) {
            textoError = errors[0].Description;
            shown.clear();
        }
        rollback(db);
        QString proceso = platform::executableName();
        RegistrarErrorAux(script, proceso, native, shown);
        if (!shown.trimmed().isEmpty() && mostrarMensaje)
            platform::msgBox(shown, platform::vbCritical, QStringLiteral("Aviso al Operador!"));
    }
    errorNativo = native;
}

void RegistrarErrorAux(const QString &script, QString &proceso, std::int32_t errorNativo, const QString &textoError)
{
    if (proceso.isEmpty())
        proceso = platform::executableName();
    DB_Dll &db = gDB();
    const QString q = QStringLiteral("'");
    const QString statement =
        QStringLiteral("INSERT INTO AUX_ERR (Proceso,Fecha,Error,Descripcion,SQL,pc,Usuario) VALUES (")
        + db.SQLValue(platform::executableName(), q) + QLatin1Char(',') + db.SQLValue(AhoraFechaHora(), q)
        + QLatin1Char(',') + db.SQLValue(platform::Variant(long(errorNativo)), QStringLiteral("@")) + QLatin1Char(',')
        + db.SQLValue(platform::suite::gFunciones().AjustarLargo(textoError, 250), q) + QLatin1Char(',')
        + db.SQLValue(script, q) + QLatin1Char(',') + db.SQLValue(platform::suite::gSistema().NombreMaquina(), q)
        + QLatin1Char(',') + db.SQLValue(db.gUsuario, q) + QLatin1Char(')');
    try {
        QString text = statement;
        if (!db.EjecutaConsultaSQL(text))
            db.gCnn.errors().Clear(); // a missing AUX_ERR changes nothing for the caller
    } catch (const platform::RuntimeError &) {
        db.gCnn.errors().Clear();
    }
}

std::int16_t ErroresActualizacion(const platform::RuntimeError &error, const QString &campo)
{
    if (error.Number() == kConversionError) {
        platform::msgBox(conversionText(campo), platform::vbCritical, QStringLiteral("Error en conversion de datos"));
        return 0;
    }
    ado::Errors &errors = gDB().gCnn.errors();
    if (errors.Count() > 0) {
        const ado::Error &first = errors[0];
        const QString detail = QStringLiteral("Descripcion del Error: ") + QString::number(first.NativeError)
            + QStringLiteral(" - ") + first.Description;
        bool shown = true;
        switch (first.NativeError) {
        case 1010:
            platform::msgBox(conversionText(campo), platform::vbCritical,
                             QStringLiteral("Error en conversion de datos "));
            break;
        case ado::native::NullNotAllowed:
            platform::msgBox(detail, platform::vbCritical,
                             QStringLiteral("Error en conversion de datos - NULOS NO PERMITIDO"));
            break;
        case ado::native::DuplicateKey:
            platform::msgBox(
                detail + kCRLF + kCRLF
                    + QStringLiteral(
                        "La grabacion se ha cancelado... Cambie el campo principal e intente grabar nuevamente"),
                platform::vbCritical, QStringLiteral("Clave Duplicada"));
            break;
        default:
            shown = false;
        }
        if (shown) {
            errors.Clear();
            return 0;
        }
    }
    const std::int16_t answer = MostrarError(error, 18, QStringLiteral("Actualizar Datos"));
    return (answer == platform::vbRetry || answer == platform::vbIgnore || answer == platform::vbAbort) ? answer : 0;
}

QString AdaptarSQL(const QString &sentencia)
{
    if (!gDB().gConnString.contains(QStringLiteral("oracle"), Qt::CaseInsensitive))
        return sentencia;
    if (platform::suite::gFunciones().ContarPalabras(sentencia) < 2)
        return sentencia.compare(QStringLiteral("LEN"), Qt::CaseInsensitive) == 0 ? QStringLiteral("LENGTH")
                                                                                  : sentencia;
    if (!sentencia.contains(QStringLiteral("top "), Qt::CaseInsensitive))
        return sentencia;
    const qsizetype p = sentencia.indexOf(QStringLiteral("top"), 0, Qt::CaseInsensitive);
    const QString head = sentencia.left(p);
    const QString rest = sentencia.mid(p + 3);
    const qsizetype star = rest.indexOf(QLatin1Char('*'));
    if (star < 0)
        return sentencia;
    const QString count = rest.left(star);
    const QString tail = rest.mid(star + 1);
    return head + QStringLiteral(" * ") + tail + QStringLiteral(" WHERE ROWNUM <= ") + count;
}

} // namespace ModGlobal
