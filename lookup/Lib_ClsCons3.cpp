#include "lookup/Lib_ClsCons3.h"

#include "lookup/Lib_FrmCons3Logic.h"
#include "lookup/Lib_FrmCons3TreeLogic.h"
#include "lookup/QueryBuilder.h"

#include "core/Configuracion.h"
#include "core/Rutinas.h"
#include "db/DB_Dll.h"
#include "platform/Logger.h"
#include "platform/TextFile.h"
#include "platform/ui/Operator.h"

#include <QFile>

#include <algorithm>

namespace lookup {

namespace {

std::shared_ptr<LookupPresenter> &installedPresenter()
{
    static std::shared_ptr<LookupPresenter> presenter = std::make_shared<NoDisplayPresenter>();
    return presenter;
}

platform::Variant level(const char *key)
{
    const QString value = ModGlobal::Cfg(QString::fromLatin1(key));
    return value.isEmpty() ? platform::Variant(0) : platform::Variant(value);
}

std::optional<QStringList> discoverColumns(const QString &table)
{
    ado::Recordset rs;
    DB_Dll &db = gDB();
    if (!db.AbrirRecordset(QStringLiteral("select top 1 * from ") + table, rs, nullptr, ado::adOpenForwardOnly,
                           ado::adLockReadOnly, -1, true)) {
        platform::logger().error(QStringLiteral("Consulta: no se pudieron leer las columnas de %1").arg(table));
        return std::nullopt;
    }
    QStringList names;
    const ado::Fields fields = rs.fields();
    for (int i = 0; i < fields.Count(); ++i)
        names << fields.Item(i).Name();
    db.CierraRecordset(rs);
    return names;
}

} // namespace

void NoDisplayPresenter::showList(Lib_FrmCons3Logic &form)
{
    platform::logger().warning(QStringLiteral("Consulta sin pantalla: \"%1\" no se muestra").arg(form.SQL.trimmed()));
    form.CmdCancelar_Click();
}

void NoDisplayPresenter::showTree(Lib_FrmCons3TreeLogic &form)
{
    platform::logger().warning(QStringLiteral("Consulta sin pantalla: \"%1\" no se muestra").arg(form.SQL.trimmed()));
    form.CmdCancelar_Click();
}

Lib_ClsCons3::Lib_ClsCons3()
{
    MuestraStock = ModGlobal::Cfg(QStringLiteral("MostrarStockenConsultas"));
    StkNivel1 = level("Stk_Nivel1");
    StkNivel2 = level("Stk_Nivel2");
    StkNivel3 = level("Stk_Nivel3");
    StkNivel4 = level("Stk_Nivel4");
    m_like =
        ModGlobal::Cfg(QStringLiteral("UsaConsultaLike")).trimmed().compare(QStringLiteral("SI"), Qt::CaseInsensitive)
        == 0;
}

Lib_ClsCons3::~Lib_ClsCons3() = default;

void Lib_ClsCons3::setPresenter(std::shared_ptr<LookupPresenter> presenter)
{
    installedPresenter() = presenter ? std::move(presenter) : std::make_shared<NoDisplayPresenter>();
}

LookupPresenter &Lib_ClsCons3::presenter() { return *installedPresenter(); }

void Lib_ClsCons3::endCancelled()
{
    ValorDevuelto.clear();
    Valores.clear();
    Cantidades.clear();
    m_cancelled = true;
}

void Lib_ClsCons3::ConsultaSearch(const QString &SQL, QStringList *CmpsDevueltos, const QString &Clave,
                                  QString *CampoBusqueda, QString *Where, const QString &SentenciaOpcional,
                                  bool TreeView, const QString &ValoresDefault)
{
    m_cancelled = false;
    QueryEnvironment environment;
    environment.rowLimit = rowLimitFrom(ModGlobal::Cfg(QStringLiteral("TopConsArt")));
    environment.useMasks = gUsarMascarasConsultas;
    environment.mask = [this](const QString &view) { return findMask(gRutaMascaraConsultas, view); };
    environment.columns = discoverColumns;
    const QueryRequest request{SQL, CampoBusqueda ? *CampoBusqueda : QString(), Where ? *Where : QString(),
                               SentenciaOpcional};
    const QueryResult query = buildQuery(request, environment);
    if (CampoBusqueda)
        *CampoBusqueda = query.CampoBusqueda;
    if (Where)
        *Where = query.Where;
    if (query.outcome == QueryResult::Outcome::NoSearchColumn) {
        platform::msgBox(QStringLiteral("Debe configurar la consulta para esta tabla"), platform::vbInformation,
                         QStringLiteral("Aviso al operador"));
        endCancelled();
        return;
    }
    if (query.outcome == QueryResult::Outcome::Failed) {
        if (!query.problem.isEmpty()) {
            platform::logger().error(query.problem);
            platform::msgBox(query.problem, platform::vbCritical, QStringLiteral("Aviso al operador"));
        }
        endCancelled();
    } else if (TreeView) {
        showTree(query.statement);
    } else {
        showList(query.statement, Clave, query.CampoBusqueda, ValoresDefault, CmpsDevueltos);
    }
    Checks = false;
    CampoDevuelto.clear();
    if (CmpsDevueltos)
        CmpsDevueltos->clear();
}

void Lib_ClsCons3::configureList(Lib_FrmCons3Logic &form, const QString &statement, const QString &Clave,
                                 const QString &CampoBusqueda, const QString &ValoresDefault,
                                 QStringList *CmpsDevueltos)
{
    form.StkNivel1 = StkNivel1;
    form.StkNivel2 = StkNivel2;
    form.StkNivel3 = StkNivel3;
    form.StkNivel4 = StkNivel4;
    form.MuestraStock = MuestraStock;
    form.CfgUsaConsultaLIKE = m_like;
    form.OrdenarPorLwv = !statement.contains(QStringLiteral("ORDER BY"), Qt::CaseInsensitive);
    form.FiltroInicial = Clave;
    form.CampoBusqueda = CampoBusqueda;
    if (gConnString.isEmpty())
        gConnString = gDB().gConnString;
    form.SQL = statement;
    form.gConnString = gConnString;
    form.CampoDevuelto = CampoDevuelto;
    form.CheckBoxes = Checks;
    form.UsaCantidades = UsaCantidades;
    form.ValoresDefault = ValoresDefault;
    form.firstScreenRows = presenter().firstScreenRows();
    Valores.clear();
    Cantidades.clear();
    if (CmpsDevueltos)
        form.CmpsDevueltos = *CmpsDevueltos;
}

void Lib_ClsCons3::showList(const QString &statement, const QString &Clave, const QString &CampoBusqueda,
                            const QString &ValoresDefault, QStringList *CmpsDevueltos)
{
    Lib_FrmCons3Logic form;
    configureList(form, statement, Clave, CampoBusqueda, ValoresDefault, CmpsDevueltos);
    if (!form.Form_Load()) {
        endCancelled(); // the database class has told the operator why
        return;
    }
    if (Checks)
        form.uncheckAll();
    presenter().showList(form);
    if (!form.hidden())
        form.CmdCancelar_Click();
    Valores = form.Valores;
    Cantidades = form.Cantidades;
    ValorDevuelto = form.ValorDevuelto;
    m_cancelled = form.cancelled();
    form.CampoDevuelto.clear();
    form.Form_Unload();
}

void Lib_ClsCons3::showTree(const QString &statement)
{
    Lib_FrmCons3TreeLogic form;
    form.SQL = statement;
    form.CampoDevuelto = CampoDevuelto;
    form.CheckBoxes = Checks;
    Valores.clear();
    if (!form.Form_Load()) {
        endCancelled();
        return;
    }
    presenter().showTree(form);
    if (!form.hidden())
        form.CmdCancelar_Click();
    ValorDevuelto = form.ValorDevuelto;
    Valores = form.Valores;
    m_cancelled = form.cancelled();
    form.Form_Unload();
}

QString Lib_ClsCons3::pick(const QString &Titulo, const QStringList &rows, bool checks, const QList<bool> &checked)
{
    Lib_FrmCons3Logic form;
    form.Form_Load();
    form.Caption = Titulo;
    form.CmdNuevaVisible = false;
    form.OrdenarPorLwv = true;
    form.CampoDevuelto = Titulo;
    form.CheckBoxes = checks;
    int longest = int(Titulo.size());
    for (const QString &row : rows)
        longest = std::max(longest, int(row.size()) + (checks ? 1 : 0));
    form.fillOptions(Titulo, rows, checked, longest);
    presenter().showList(form);
    if (!form.hidden())
        form.CmdCancelar_Click();
    m_cancelled = form.cancelled();
    if (checks)
        Valores = form.Valores;
    return form.ValorDevuelto;
}

QString Lib_ClsCons3::MenuOpciones(const QString &Titulo, const QStringList &Opc)
{
    return pick(Titulo, Opc, false, {});
}

QString Lib_ClsCons3::CheckOpciones(const QString &Titulo, const QStringList &Opc)
{
    QStringList rows;
    QList<bool> checked;
    for (const QString &option : Opc) {
        rows << option.mid(1);
        checked << option.startsWith(QLatin1Char('1'));
    }
    pick(Titulo, rows, true, checked);
    return QString();
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString &Titulo, const QString &QueArchivo)
{
    if (!ModGlobal::ExisteArchivoSinComillas(QueArchivo)) {
        platform::msgBox(QStringLiteral("No existe el archivo ") + QueArchivo
                         + QStringLiteral(" que desea consultar consulta "));
        m_cancelled = true;
        return QString();
    }
    const QString path = QString(QueArchivo).remove(QLatin1Char('"'));
    const platform::Result<QStringList> lines = platform::textfile::readLines(path);
    if (!lines.ok()) {
        platform::msgBox(lines.message(), platform::vbCritical, QStringLiteral("Aviso al operador"));
        m_cancelled = true;
        return QString();
    }
    return pick(Titulo, lines.value(), false, {});
}

void installLookup(std::shared_ptr<LookupPresenter> presenter)
{
    Lib_ClsCons3::setPresenter(std::move(presenter));
    setLookupFactory([] { return std::make_unique<Lib_ClsCons3>(); });
}

} // namespace lookup
