#include "SendingDatabase.h"

#include "package/Format.h"
#include "reception/ReglasTablas.h"
#include "sending/Enlace.h"

#include "core/Globals.h"
#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/ado/Backend.h"
#include "platform/ado/Recordset.h"
#include "schema/Schema.h"
#include "schema/SuiteObjects.h"

#include <QDir>

#include <algorithm>

namespace pruebas {

namespace {

bool esTexto(ado::DataType tipo)
{
    return tipo == ado::adChar || tipo == ado::adVarChar || tipo == ado::adWChar || tipo == ado::adVarWChar
        || tipo == ado::adLongVarChar || tipo == ado::adLongVarWChar || tipo == ado::adBSTR;
}

bool esNumero(ado::DataType tipo)
{
    return tipo == ado::adCurrency || tipo == ado::adNumeric || tipo == ado::adDecimal || tipo == ado::adDouble
        || tipo == ado::adSingle;
}

bool esEntero(ado::DataType tipo)
{
    return tipo == ado::adInteger || tipo == ado::adSmallInt || tipo == ado::adTinyInt || tipo == ado::adBigInt
        || tipo == ado::adUnsignedTinyInt;
}

const recepcion::TerminoClave *terminoClave(const QString &tabla, const QString &columna)
{
    const recepcion::ReglaTabla *regla = recepcion::reglaTabla(tabla);
    if (!regla)
        return nullptr;
    for (const recepcion::TerminoClave &t : regla->claves) {
        if (t.columna.compare(columna, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

platform::Variant valorClave(const recepcion::TerminoClave &t, const ado::SchemaColumn &c, int fila)
{
    if (!t.texto)
        return platform::Variant(fila);
    QString valor = (c.DefinedSize >= 20 ? QStringLiteral("Clave'%1") : QStringLiteral("K%1")).arg(fila);
    return platform::Variant(t.ancho > 0 ? valor.rightJustified(t.ancho) : valor);
}

platform::Variant valorTexto(const ado::SchemaColumn &c, int fila)
{
    static const QString textos[] = {QStringLiteral("Ñandú O'Brien, acción"),
                                     QStringLiteral("pingüino; 50% -- ¿sí? \"x\""), QStringLiteral("Descripción 3")};
    const QString texto = textos[(fila - 1) % 3];
    if (fila == 3 && c.Nullable && c.Name.compare(QLatin1String("Descripcion"), Qt::CaseInsensitive) != 0)
        return platform::Variant::null();
    return platform::Variant(c.DefinedSize > 0 ? texto.left(int(c.DefinedSize)) : texto);
}

platform::Variant valorPara(const QString &tabla, const ado::SchemaColumn &c, int fila)
{
    const QString nombre = c.Name.toUpper();
    if (nombre == u"RECEPCION")
        return platform::Variant::null();
    if (nombre == u"TRANSMISION" || nombre == u"DESDETRIGGER")
        return platform::Variant(0);
    if (const recepcion::TerminoClave *t = terminoClave(tabla, c.Name))
        return valorClave(*t, c, fila);
    if (c.Type == ado::adBoolean)
        return platform::Variant(fila != 2);
    if (esTexto(c.Type))
        return valorTexto(c, fila);
    const bool nulo = fila == 3 && c.Nullable && nombre != u"PRECIO";
    if (nulo)
        return platform::Variant::null();
    if (esEntero(c.Type))
        return platform::Variant(fila * 10 + 7);
    if (esNumero(c.Type)) {
        if (nombre == u"FACTOR")
            return platform::Variant(0.333333 * fila);
        return platform::Variant(fila == 1 ? 1234.5 : fila == 2 ? -0.25 : 0.0);
    }
    if (c.Type == ado::adDate || c.Type == ado::adDBTimeStamp || c.Type == ado::adDBDate)
        return platform::Variant(fila == 1 ? QDateTime(QDate(2020, 12, 31), QTime(0, 0))
                                           : QDateTime(QDate(2021, 2, 1), QTime(10, 30, 15)));
    return platform::Variant::null();
}

QString comoTexto(const platform::Variant &v)
{
    using Kind = platform::Variant::Kind;
    switch (v.kind()) {
    case Kind::Null:
    case Kind::Empty:
        return QStringLiteral("<null>");
    case Kind::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Int:
    case Kind::Double:
        return QString::number(v.toDouble(), 'g', 12);
    case Kind::DateTime:
        return v.toDateTime().toString(Qt::ISODate);
    default:
        return QLatin1Char('\'') + v.toString() + QLatin1Char('\'');
    }
}

} // namespace

void crearBaseSuite(ado::Connection &cnn)
{
    schema::dropSuiteObjects(cnn);
    const platform::Status creada = schema::createSuiteDatabase(cnn);
    ASSERT_TRUE(creada.ok()) << creada.message().toStdString();
}

QString tablaBase(const QString &tabla)
{
    if (tabla.startsWith(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive)
        || tabla.startsWith(QLatin1String("V_MA_PRECIOS"), Qt::CaseInsensitive))
        return tabla.mid(2);
    return tabla;
}

void llenarMaestros(ado::Connection &cnn, int filas)
{
    for (const QString &tabla : package::tableOrder()) {
        const QString base = tablaBase(tabla);
        const std::vector<ado::SchemaColumn> columnas = cnn.Columns(base);
        QStringList nombres, marcas;
        for (const ado::SchemaColumn &c : columnas) {
            nombres << c.Name;
            marcas << QStringLiteral("?");
        }
        envio::Sentencia insertar(
            cnn,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(base, nombres.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))));
        for (int fila = 1; fila <= filas; ++fila) {
            envio::Valores valores;
            for (const ado::SchemaColumn &c : columnas)
                valores.push_back(valorPara(tabla, c, fila));
            insertar.ejecutar(valores);
        }
    }
}

QStringList filasComparables(ado::Connection &cnn, const QString &tabla)
{
    const std::shared_ptr<ado::Recordset> rs = cnn.Execute(QStringLiteral("SELECT * FROM ") + tabla);
    QStringList filas;
    for (; !rs->EOF(); rs->MoveNext()) {
        QStringList campos;
        for (int i = 0; i < rs->fields().Count(); ++i) {
            const QString nombre = rs->field(i).Name().toUpper();
            if (package::leftOutOfLine(nombre) || nombre == u"DESDETRIGGER")
                continue;
            campos << nombre + QLatin1Char('=') + comoTexto(rs->field(i).Value());
        }
        filas << campos.join(QStringLiteral(" | "));
    }
    std::sort(filas.begin(), filas.end());
    return filas;
}

QString escalar(ado::Connection &cnn, const QString &sql)
{
    const std::shared_ptr<ado::Recordset> rs = cnn.Execute(sql);
    if (!rs || rs->State() != ado::adStateOpen || rs->BOF() || rs->EOF())
        return QString();
    const platform::Variant valor = rs->field(0).Value();
    return valor.isNull() ? QStringLiteral("<null>") : valor.toString();
}

std::unique_ptr<DB_Dll> abrirDB(const QString &connectionString)
{
    auto db = std::make_unique<DB_Dll>();
    db->gUsuario = QStringLiteral("ana");
    db->OpenServerADODB(false, 3, connectionString, false, false);
    return db;
}

} // namespace pruebas

void SendingDatabaseTest::SetUp()
{
    testsupport::DatabaseTest::SetUp();
    if (IsSkipped())
        return;
    ASSERT_TRUE(m_home.isValid());
    platform::setProgramFolder(m_home.path());
    pruebas::crearBaseSuite(cnn());
    m_operator = std::make_shared<platform::ScriptedOperator>(
        [](const QString &pregunta) { ADD_FAILURE() << "unexpected question: " << pregunta.toStdString(); });
    m_scope = std::make_unique<platform::ScopedOperator>(m_operator);
    ModGlobal::resetGlobals();
    DB_Dll &db = gDB();
    db.gUsuario = QStringLiteral("ana");
    db.OpenServerADODB(false, 3, connectionString(), false, false);
    ASSERT_TRUE(db.gOpenFlag);
}

void SendingDatabaseTest::TearDown()
{
    releaseSharedDatabases();
    m_scope.reset();
    if (m_operator) {
        EXPECT_EQ(m_operator->pending(), 0) << "expected questions were not asked";
    }
    m_operator.reset();
    platform::setProgramFolder(QString());
    testsupport::DatabaseTest::TearDown();
}

void SendingDatabaseTest::exec(const QString &sql) { cnn().Execute(sql); }

QString SendingDatabaseTest::scalar(const QString &sql) { return pruebas::escalar(cnn(), sql); }

long SendingDatabaseTest::count(const QString &tabla, const QString &condicion)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + tabla
                  + (condicion.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condicion))
        .toLong();
}

QString SendingDatabaseTest::carpeta(const QString &nombre)
{
    QDir(m_home.path()).mkpath(nombre);
    return QDir(m_home.path()).filePath(nombre);
}
