#include "lookup/Lib_FrmCons3TreeLogic.h"

#include "lookup/SqlClauses.h"
#include "lookup/VbKey.h"

#include "core/MostrarError.h"
#include "db/DB_Dll.h"
#include "db/LookupStatements.h"
#include "platform/Logger.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <optional>
#include <utility>

namespace lookup {

namespace {

using platform::suite::gFunciones;

const QString kRootKey = QStringLiteral("A");

bool is(const QString &value, const char *name) { return value.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }

// The first row whose column, without its blanks, equals the code: the statement of the
// database class's existence test, opened as every read is (synonyms, the "@Admin_" prefix
// and Oracle taken care of). The code is escaped in the literal.
std::optional<QString> fromTable(const QString &table, const QString &column, const QString &code,
                                 const QString &returned)
{
    ado::Recordset rs;
    std::optional<QString> found;
    const QString statement = db::LookupStatements::existe(table, code, column, 8, QString());
    if (gDB().AbrirRecordset(statement, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true) && !rs.BOF()
        && !rs.EOF())
        found = gFunciones().NuloAVacio(rs.value(returned));
    gDB().CierraRecordset(rs);
    return found;
}

} // namespace

Lib_FrmCons3TreeLogic::Lib_FrmCons3TreeLogic(QObject *parent) : QObject(parent) {}

QString Lib_FrmCons3TreeLogic::familyStatement()
{
    return QStringLiteral(
        "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  "
        " Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia))))  "
        "ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia");
}

bool Lib_FrmCons3TreeLogic::Form_Load()
{
    Valores.clear();
    m_tree.clear();
    m_tree.setCheckBoxes(CheckBoxes);
    m_selected = -1;
    const bool loaded = SQL.contains(QStringLiteral("v_ta_familias"), Qt::CaseInsensitive) ? ArmarTreeVFamilias()
                                                                                           : ArmarTreeVAutomatico();
    emit reloaded();
    return loaded;
}

bool Lib_FrmCons3TreeLogic::ArmarTreeVFamilias() { return build(QStringLiteral("ArmarTreeVFamilias"), true); }

bool Lib_FrmCons3TreeLogic::ArmarTreeVAutomatico() { return build(QStringLiteral("ArmarTreeVAutomatico"), false); }

void Lib_FrmCons3TreeLogic::addRoot()
{
    m_tree.clear();
    m_tree.add(QString(), kRootKey, QStringLiteral("Consulta..."));
}

bool Lib_FrmCons3TreeLogic::openRows(ado::Recordset &rs)
{
    DB_Dll &db = gDB();
    if (db.AbrirRecordset(std::as_const(SQL), rs, &db.gCnn, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true))
        return true;
    platform::logger().error(QStringLiteral("Consulta en árbol: no se pudo abrir \"%1\"").arg(SQL.trimmed()));
    return false;
}

bool Lib_FrmCons3TreeLogic::addNode(const QString &routine, const QString &parentKey, const QString &key,
                                    const QString &text)
{
    for (;;) {
        try {
            m_tree.add(parentKey, key, text);
            return true;
        } catch (const platform::RuntimeError &error) {
            const int answer = ModGlobal::MostrarError(error, 18, routine);
            if (answer == platform::vbRetry)
                continue;
            return answer == platform::vbIgnore; // Ignore leaves the row out and goes on
        }
    }
}

QString Lib_FrmCons3TreeLogic::genericParent(const QString &key) const
{
    for (qsizetype length = key.size() - 1; length > 1; --length) {
        const int found = m_tree.find(key.left(length));
        if (found >= 0)
            return m_tree.node(found).key;
    }
    return kRootKey;
}

bool Lib_FrmCons3TreeLogic::build(const QString &routine, bool family)
{
    addRoot();
    if (family)
        SQL = familyStatement();
    ado::Recordset rs;
    if (!openRows(rs))
        return false;
    for (; !rs.BOF() && !rs.EOF(); rs.MoveNext()) {
        const QString code = gFunciones().NuloAVacio(rs.field(0).Value());
        const QString key = kRootKey + code;
        const QString text = code + QStringLiteral(" - ") + gFunciones().NuloAVacio(rs.field(1).Value());
        QString parent = kRootKey;
        if (family) {
            const platform::Variant relative = rs.field(2).Value();
            if (!relative.isNull())
                parent = kRootKey + gFunciones().NuloAVacio(relative);
        } else {
            parent = genericParent(key);
        }
        if (!addNode(routine, parent, key, text))
            break;
    }
    gDB().CierraRecordset(rs);
    return true;
}

void Lib_FrmCons3TreeLogic::selectNode(int node)
{
    m_selected = node >= 0 && node < m_tree.count() ? node : -1;
    if (m_selected >= 0)
        emit selectionMoved(m_selected);
}

void Lib_FrmCons3TreeLogic::CmbSearch_Change(int, const QString &text)
{
    m_boxText = text;
    for (int id = 0; id < m_tree.count(); ++id) {
        const QString nodeText = m_tree.node(id).text;
        const qsizetype dash = nodeText.indexOf(QLatin1Char('-'));
        const QString code = dash < 0 ? QString() : nodeText.left(dash).trimmed();
        const QString description = (dash < 0 ? nodeText : nodeText.mid(dash + 1)).trimmed();
        if (code.startsWith(text, Qt::CaseInsensitive) || description.startsWith(text, Qt::CaseInsensitive)) {
            selectNode(id);
            return;
        }
    }
}

QString Lib_FrmCons3TreeLogic::filterStatement(const QString &text) const
{
    const QString condition = m_boxField + QStringLiteral(" like ")
        + gDB().SQLValue(QLatin1Char('%') + text + QLatin1Char('%'), QStringLiteral("'"));
    return sqlclauses::addCondition(SQL, condition, sqlclauses::lowerJoiners());
}

void Lib_FrmCons3TreeLogic::CmbSearch_KeyDown(int index, int keyCode, int)
{
    if (keyCode == vbkey::F5) {
        m_boxField = QStringLiteral("Descripcion");
        const QString previous = SQL;
        const QString statement = filterStatement(m_boxText);
        emit boxTextChanged(QString());
        CmbSearch_Change(index, QString());
        SQL = statement;
        if (!Form_Load()) {
            SQL = previous; // the server refused the filter: show the tree as it was
            Form_Load();
        }
    } else if (vbkey::goesToList(keyCode)) {
        emit focusToTree();
    }
}

void Lib_FrmCons3TreeLogic::TreeV_NodeCheck(int node, bool checked)
{
    std::vector<int> pending = m_tree.node(node).children;
    while (!pending.empty()) {
        const int id = pending.back();
        pending.pop_back();
        m_tree.setChecked(id, checked);
        const std::vector<int> &children = m_tree.node(id).children;
        pending.insert(pending.end(), children.begin(), children.end());
    }
}

QString Lib_FrmCons3TreeLogic::lookedUp(const QString &code) const
{
    std::optional<QString> found;
    if (is(CampoDevuelto, "IDFAMILIA"))
        found = fromTable(QStringLiteral("@admin_V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"), code, CampoDevuelto);
    else if (is(CampoDevuelto, "IDPOSICION"))
        found = fromTable(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"), code, CampoDevuelto);
    else if (is(CampoDevuelto, "CODIGO")) {
        found = fromTable(QStringLiteral("TA_CCOSTO"), QStringLiteral("CODIGO"), code, CampoDevuelto);
        if (!found)
            found = fromTable(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"), code, CampoDevuelto);
    }
    return found.value_or(QString());
}

void Lib_FrmCons3TreeLogic::hide(bool chosen)
{
    m_chosen = chosen;
    m_hidden = true;
    emit hideRequested();
}

void Lib_FrmCons3TreeLogic::CmdAceptar_Click()
{
    if (CheckBoxes) {
        // The root stands for no row: its empty code is never returned.
        for (int id = 1; id < m_tree.count(); ++id) {
            if (!m_tree.node(id).checked)
                continue;
            const QString code = codeOf(id);
            if (is(CampoDevuelto, "IDFAMILIA") || is(CampoDevuelto, "CODIGO"))
                Valores << code.trimmed();
            else if (is(CampoDevuelto, "IDPOSICION")) {
                if (auto value =
                        fromTable(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"), code, CampoDevuelto))
                    Valores << *value;
            }
        }
        hide(true);
        return;
    }
    if (m_selected <= 0) {
        hide(false); // nothing (or only the root) selected: no choice
        return;
    }
    if (is(CampoDevuelto, "IDFAMILIA") || is(CampoDevuelto, "IDPOSICION") || is(CampoDevuelto, "CODIGO"))
        ValorDevuelto = lookedUp(codeOf(m_selected));
    hide(true);
}

void Lib_FrmCons3TreeLogic::CmdCancelar_Click()
{
    ValorDevuelto.clear();
    CmpsDevueltos.reset();
    Valores.clear();
    hide(false);
}

void Lib_FrmCons3TreeLogic::CmdNueva_Click()
{
    const QStringList kept = Valores;
    Form_Load();
    Valores = kept;
}

} // namespace lookup
