#include "RutinasDatos.h"

#include "Configuracion.h"
#include "Globals.h"
#include "SharedLookup.h"
#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/ado/sqlite/DateText.h"
#include "platform/suite/Funciones.h"

#include <cmath>
#include <optional>

namespace ModGlobal {

namespace {

// A configured rate as a currency amount: a blank or missing key reads as 0; a value that
// is not a number raises to the caller.
double currency(const QString &text)
{
    return std::nearbyint(platform::suite::gFunciones().TextoAMoneda(text.trimmed()) * 10000.0) / 10000.0;
}

bool openAccount(ado::Recordset &rs, const QString &column, const QString &codigo, bool soloLectura)
{
    const QString statement = QStringLiteral("SELECT * FROM MA_CUENTAS  with(nolock)  WHERE ") + column
        + QStringLiteral(" =  '") + db::sqltext::escapeQuotes(codigo) + QLatin1Char('\'');
    const int cursor = soloLectura ? ado::adOpenForwardOnly : ado::adOpenDynamic;
    const int lock = soloLectura ? ado::adLockReadOnly : ado::adLockOptimistic;
    return gDB().AbrirRecordset(statement, rs, nullptr, cursor, lock, -1, true) && !rs.BOF();
}

std::optional<QDateTime> dateOf(const platform::Variant &value)
{
    if (value.kind() == platform::Variant::Kind::DateTime)
        return value.toDateTime();
    if (value.kind() == platform::Variant::Kind::Text) {
        const QByteArray bytes = value.toString().trimmed().toLatin1();
        if (auto parsed = ado::DateText::toDateTime(bytes.constData(), bytes.size()))
            return parsed;
    }
    return std::nullopt;
}

struct LookupColumns {
    QString description;
    QString code;
};

// Named tables first, then the families by prefix.
std::optional<LookupColumns> namedTable(const QString &t)
{
    static const QList<QPair<QString, LookupColumns>> named = {
        {QStringLiteral("V_TA_TIPOARTICULO"), {QStringLiteral("DESCRIPCION"), QStringLiteral("IDTIPO")}},
        {QStringLiteral("V_TA_CPRA_VTA"), {QStringLiteral("DESCRIPCION"), QStringLiteral("IDCOND_CPRA_VTA")}},
        {QStringLiteral("V_TA_TECNICOS"), {QStringLiteral("NOMBRE"), QStringLiteral("IDTECNICO")}},
        {QStringLiteral("V_MA_ARTICULOS"), {QStringLiteral("DESCRIPCION"), QStringLiteral("IDARTICULO")}},
        {QStringLiteral("MA_ARTICULOS"), {QStringLiteral("DESCRIPCION"), QStringLiteral("IDARTICULO")}},
        {QStringLiteral("MA_CHOFERES"), {QStringLiteral("NOMBRE"), QStringLiteral("CODIGO")}},
        {QStringLiteral("MA_DESTINATARIOS"), {QStringLiteral("Razon_Social"), QStringLiteral("CODIGO")}},
        {QStringLiteral("MV_EJERCICIOS"), {QStringLiteral("Descripcion"), QStringLiteral("IdEjercicio")}},
        {QStringLiteral("V_MV_REPARTO"), {QStringLiteral("Descripcion"), QStringLiteral("IdReparto")}},
        {QStringLiteral("TA_USUARIOS"), {QStringLiteral("NOMBRE"), QStringLiteral("NOMBRE")}},
        {QStringLiteral("V_MA_PRECIOSCAB"), {QStringLiteral("DESCRIPCION"), QStringLiteral("IDLISTA")}},
        {QStringLiteral("P_MA_CLIENTES"), {QStringLiteral("Razon_Social"), QStringLiteral("Codigo")}},
        {QStringLiteral("P_SINDICATOS"), {QStringLiteral("Descripcion"), QStringLiteral("Codigo")}},
    };
    for (const auto &entry : named) {
        if (entry.first.compare(t, Qt::CaseInsensitive) == 0)
            return entry.second;
    }
    return std::nullopt;
}

QString idFromRest(const QString &rest)
{
    QString name = rest.toUpper();
    if (name.endsWith(QLatin1Char('S')))
        name.chop(1);
    return QStringLiteral("ID") + name;
}

std::optional<LookupColumns> tableFamily(const QString &t)
{
    const QString upper = t.toUpper();
    const qsizetype view = upper.indexOf(QStringLiteral("V_TA_"));
    if (view >= 0)
        return LookupColumns{QStringLiteral("DESCRIPCION"), idFromRest(t.mid(view + 5))};
    for (const char *prefix : {"P_TA_", "TA_", "MV_"}) {
        const QString p = QString::fromLatin1(prefix);
        if (upper.startsWith(p))
            return LookupColumns{QStringLiteral("Descripcion"), idFromRest(t.mid(p.size()))};
    }
    if (upper.startsWith(QStringLiteral("MA_")))
        return LookupColumns{QStringLiteral("Descripcion"), QStringLiteral("Codigo")};
    return std::nullopt;
}

} // namespace

bool EsTasaIva(float tasa)
{
    const double rate = std::nearbyint(double(tasa) * 10000.0) / 10000.0;
    for (const char *key : {"PIVA", "PIVAREC", "PIVADIF", "PIVADIF1", "PIVADIF2"}) {
        if (currency(Cfg(QString::fromLatin1(key))) == rate)
            return true;
    }
    return false;
}

bool BuscarCuenta(QString &codigo, ado::Recordset *rs, bool soloLectura, bool &porCodigoOpcional)
{
    ado::Recordset own;
    ado::Recordset &target = rs ? *rs : own;
    const QString byCode = QStringLiteral("Codigo");
    const QString byOptional = QStringLiteral("CodigoOpcional");
    bool found = false;
    if (openAccount(target, porCodigoOpcional ? byOptional : byCode, codigo, soloLectura)) {
        codigo = platform::suite::gFunciones().NuloAVacio(target.value(byCode));
        found = true;
    } else if (porCodigoOpcional) {
        found = openAccount(target, byCode, codigo, soloLectura);
    } else if (openAccount(target, byOptional, codigo, soloLectura)) {
        porCodigoOpcional = true;
        codigo = platform::suite::gFunciones().NuloAVacio(target.value(byCode));
        found = true;
    }
    if (!rs)
        gDB().CierraRecordset(own);
    return found;
}

QDateTime FechaServidor()
{
    ado::Recordset rs;
    std::optional<QDateTime> server;
    if (gDB().AbrirRecordset(QStringLiteral("select  getDate() as fecha"), rs, nullptr, ado::adOpenForwardOnly,
                             ado::adLockReadOnly, -1, true)
        && !rs.BOF())
        server = dateOf(rs.value(QStringLiteral("Fecha")));
    gDB().CierraRecordset(rs);
    if (server && server->isValid())
        return *server;
    if (gUTILIZARFECHADIA) {
        const QByteArray text = Cfg(QStringLiteral("FECHAOPERHASTA")).trimmed().toLatin1();
        if (auto configured = ado::DateText::toDateTime(text.constData(), text.size()))
            return *configured;
    }
    return QDateTime::currentDateTime();
}

void DefinicionConsulta(QString &tabla, QString &columnaDescripcion, QString &columnaCodigo, QString &columnaTercera,
                        bool consultar, const QString &condicion)
{
    const QString t = tabla.trimmed();
    columnaTercera.clear();
    auto columns = namedTable(t);
    if (!columns)
        columns = tableFamily(t);
    columnaDescripcion = columns ? columns->description : QString();
    columnaCodigo = columns ? columns->code : QString();
    if (!consultar)
        return;
    SharedLookup &consulta = gConsulta();
    consulta.CampoDevuelto = columnaCodigo;
    consulta.ConsultaSearch(QStringLiteral("select ") + columnaDescripcion + QLatin1Char(',') + columnaCodigo
                            + QStringLiteral(" from ") + tabla + QLatin1Char(' ') + condicion);
    columnaCodigo = consulta.ValorDevuelto.isEmpty() ? QString() : consulta.ValorDevuelto;
}

} // namespace ModGlobal
