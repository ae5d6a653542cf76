#include "lookup/Lib_FrmCons3Logic.h"

#include "lookup/ColumnWidths.h"
#include "lookup/Quantities.h"
#include "lookup/SqlClauses.h"
#include "lookup/VbKey.h"

#include "core/Configuracion.h"
#include "core/Inicio.h"
#include "core/MostrarError.h"
#include "db/DB_Dll.h"
#include "db/SqlText.h"
#include "platform/Logger.h"
#include "platform/Paths.h"
#include "platform/suite/Funciones.h"
#include "platform/ui/Operator.h"

#include <QFile>

#include <algorithm>
#include <utility>

namespace lookup {

namespace {

using platform::suite::gFunciones;

using namespace vbkey;

bool has(const QString &text, const char *what) { return text.contains(QLatin1String(what), Qt::CaseInsensitive); }

bool same(const QString &a, const char *b) { return a.trimmed().compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

bool printable(const QString &typed) { return !typed.isEmpty() && typed.at(0).unicode() >= 0x20; }

} // namespace

Lib_FrmCons3Logic::Lib_FrmCons3Logic(QObject *parent) : QObject(parent), m_boxes(1)
{
    letterWidth = [](int letters) { return 120.0 * letters; };
}

Lib_FrmCons3Logic::~Lib_FrmCons3Logic() = default;

// ---- loading ----

bool Lib_FrmCons3Logic::Form_Load()
{
    for (;;) {
        try {
            return load();
        } catch (const platform::RuntimeError &error) {
            if (ModGlobal::MostrarError(error, 18, QStringLiteral("FORM_LOAD")) != platform::vbRetry)
                return false;
        }
    }
}

bool Lib_FrmCons3Logic::openStatement(const QString &statement, ado::Recordset &rs)
{
    DB_Dll &db = UsarUDBC ? gDBConsultas() : gDB();
    if (db.AbrirRecordset(statement, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true))
        return true;
    platform::logger().error(QStringLiteral("Consulta: no se pudo abrir \"%1\"").arg(statement.trimmed()));
    return false;
}

RowReading Lib_FrmCons3Logic::rowReading() const { return {m_articulos, CheckBoxes, CampoDevuelto, ValoresDefault}; }

// A second connection sees only what is committed and the server's own tables: a lookup
// inside an open transaction, or on a temporary table ("#"), reads on the window's.
bool Lib_FrmCons3Logic::canReadInBackground() const
{
    const DB_Dll &db = UsarUDBC ? gDBConsultas() : gDB();
    const ado::Connection &cnn = db.gCnn;
    return cnn.State() == ado::adStateOpen && cnn.backend() && !cnn.backend()->inTransaction()
        && !cnn.ConnectionString().trimmed().isEmpty() && !SQL.contains(QLatin1Char('#'));
}

void Lib_FrmCons3Logic::prepareRest(int columns)
{
    m_restColumns = columns;
    emit loadingChanged(true);
}

void Lib_FrmCons3Logic::readRest()
{
    if (m_restColumns <= 0)
        return;
    DB_Dll &db = UsarUDBC ? gDBConsultas() : gDB();
    BackgroundRows::Request request;
    request.connectionString = db.gCnn.ConnectionString();
    request.isolationLevel = db.gCnn.IsolationLevel();
    request.commandTimeout = db.gCnn.CommandTimeout();
    request.defaultDatabase = db.gCnn.DefaultDatabase();
    // The text the database class would send: synonym views, no "@Admin_", Oracle's dialect.
    request.statement = db.ORACLE_Dicc(
        db::sqltext::replaceNoCase(db.SS_TSinonimos(m_listStatement), QStringLiteral("@Admin_"), QString()));
    request.columns = std::exchange(m_restColumns, 0);
    request.reading = rowReading();
    const unsigned generation = ++m_restGeneration;
    m_rest = std::make_unique<BackgroundRows>(std::move(request), this, [this, generation] {
        if (generation == m_restGeneration && m_rest)
            restArrived();
    });
}

void Lib_FrmCons3Logic::dropRest()
{
    const bool wasLoading = loading();
    m_restColumns = 0;
    m_rest.reset();
    ++m_restGeneration;
    if (wasLoading)
        emit loadingChanged(false);
}

void Lib_FrmCons3Logic::waitForRows()
{
    readRest();
    if (!m_rest)
        return;
    m_rest->wait();
    restArrived();
}

void Lib_FrmCons3Logic::restArrived()
{
    std::unique_ptr<BackgroundRows> rest = std::move(m_rest);
    ++m_restGeneration;
    LookupListModel::Content content;
    bool read = rest->ok();
    if (read) {
        content = rest->takeRows();
    } else {
        // Its own connection could not read it (a lost server, a session's own table):
        // the window's connection reads it as every list is read.
        platform::logger().warning(
            QStringLiteral("Consulta: \"%1\" se lee en la conexion principal: %2").arg(SQL.trimmed(), rest->problem()));
        ado::Recordset rs;
        if (openStatement(m_listStatement, rs)) {
            readRows(rs, rowReading(), content);
            read = content.rows.columnCount() == m_model.columns();
            (UsarUDBC ? gDBConsultas() : gDB()).CierraRecordset(rs);
        }
    }
    rest.reset();
    if (read) {
        if (m_uncheckRest)
            std::fill(content.checked.begin(), content.checked.end(), 0);
        const int kept = m_selectedRow;
        const std::vector<int> moved = m_model.replaceRows(std::move(content));
        m_selectedRow = kept >= 0 && std::size_t(kept) < moved.size() ? moved[std::size_t(kept)] : -1;
        applySort();
        // A row the operator chose stays chosen; the first row stands selected otherwise.
        if ((m_selectedRow < 0 || m_selectedByDefault) && m_model.rows() > 0)
            m_selectedRow = m_model.rowAt(0);
    }
    emit loadingChanged(false);
    if (m_selectedRow >= 0)
        emit selectionMoved(selectedRow());
}

bool Lib_FrmCons3Logic::load()
{
    m_articulos = has(SQL, "articulos");
    Valores.clear();
    Cantidades.clear();
    if (SQL.trimmed().isEmpty()) {
        dropRest();
        m_model.setCheckBoxes(CheckBoxes);
        m_model.clear();
        emit reloaded();
        return true;
    }
    if (!SQL.endsWith(QLatin1Char(' ')))
        SQL += QLatin1Char(' '); // so the name after FROM always ends in a blank; never more than one
    // A list sorted on its first column is read in that order, the engine's (its collation),
    // by every read, ties broken by every column: its first screen is then the top of the
    // whole list, and the rest arrives below it. A statement that cannot be ordered so is
    // read whole and sorted here.
    const bool sortedHere = OrdenarPorLwv || m_sorted;
    m_listStatement = SQL;
    m_engineOrdered = false;
    if (sortedHere && m_sortKey == 0) {
        const QString inOrder = sqlclauses::orderedFirstBy(SQL, 1, m_sortAscending, sqlclauses::selectListSize(SQL));
        if (!inOrder.isEmpty()) {
            m_listStatement = inOrder;
            m_engineOrdered = true;
        }
    }
    // The first screen at once, the rest in the background (when the statement allows it).
    const QString firstScreen = firstScreenRows > 0 && canReadInBackground() && (!sortedHere || m_engineOrdered)
        ? sqlclauses::limitRows(m_listStatement, firstScreenRows)
        : QString();
    ado::Recordset rs;
    if (!openStatement(firstScreen.isEmpty() ? m_listStatement : firstScreen, rs))
        return false;
    dropRest(); // the rows of the statement shown before are of no use now
    m_uncheckRest = false;
    m_tableName = sqlclauses::tableName(SQL);
    if (m_firstStatement.isEmpty())
        m_firstStatement = SQL;
    m_baseStatement = SQL;
    m_model.setCheckBoxes(CheckBoxes);
    LookupListModel::Content content;
    Encolumnar(rs, content);
    Leer(rs, content);
    gDB().CierraRecordset(rs);
    const bool whole = firstScreen.isEmpty() || content.rows.rowCount() < firstScreenRows;
    const int columns = content.rows.columnCount();
    m_selectedRow = -1;
    m_model.setColouring(same(MuestraStock, "SI") && m_articulos);
    m_model.setLevelColours({StkNivel1.toString(), StkNivel2.toString(), StkNivel3.toString(), StkNivel4.toString()});
    m_model.adopt(std::move(content));
    if (OrdenarPorLwv)
        m_sorted = true;
    applySort();
    LeerAnchos();
    emit reloaded();
    if (m_model.rows() > 0)
        selectRow(0); // as a list view does: its first row stands selected until the operator moves
    m_selectedByDefault = true;
    if (!whole)
        prepareRest(columns);
    if (!FiltroInicial.trimmed().isEmpty())
        setBoxText(0, FiltroInicial);
    return true;
}

QString Lib_FrmCons3Logic::captionOf(const QString &field) const
{
    for (int n = 1; n <= 8; ++n) {
        if (field.compare(QStringLiteral("PRECIO%1").arg(n), Qt::CaseInsensitive) == 0)
            return ModGlobal::Cfg(QStringLiteral("NOM_PCLASE%1").arg(n));
    }
    return field;
}

void Lib_FrmCons3Logic::Encolumnar(ado::Recordset &rs, LookupListModel::Content &content)
{
    const bool articleCaptions = has(SQL, "V_MA_ARTICULOS") || has(SQL, "STK_MA_ARTICULOS");
    const bool wider = same(ValoresDefault, "@10");
    ado::Fields fields = rs.fields();
    const int count = fields.Count();
    if (int(m_boxes.size()) < count)
        m_boxes.resize(std::size_t(count));
    m_visibleBoxes = std::max(1, std::max(m_visibleBoxes, count));
    for (int j = 0; j < count; ++j) {
        const ado::Field field = fields.Item(j);
        long w = field.DefinedSize();
        if (field.Type() == ado::adCurrency || field.Type() == ado::adNumeric)
            w = 12;
        if (w <= 0)
            w = 12; // a column the engine gives no size would otherwise not show at all
        w = std::min(w, 60L);
        m_boxes[std::size_t(j)].field = field.Name();
        ListColumn column;
        column.field = field.Name();
        if (articleCaptions) {
            column.caption = captionOf(field.Name());
        } else {
            column.caption = field.Name();
            if (wider)
                w += 10;
        }
        column.width = letterWidth(int(w));
        content.columns.push_back(column);
    }
}

void Lib_FrmCons3Logic::Leer(ado::Recordset &rs, LookupListModel::Content &content)
{
    readRows(rs, rowReading(), content);
}

ColumnsLayout Lib_FrmCons3Logic::CalcularAncho(double screenWidth) const
{
    std::vector<double> widths;
    for (int i = 0; i < m_model.columns(); ++i)
        widths.push_back(m_model.column(i).width);
    ColumnsLayout layout = layoutColumns(widths, screenWidth);
    if (preferredWidth > 0)
        layout.windowWidth = std::min(preferredWidth, screenWidth);
    return layout;
}

void Lib_FrmCons3Logic::fitColumns(const std::function<double(int column, int position)> &width, int rows)
{
    if (!width)
        return;
    const int shown = std::min(rows, m_model.rows());
    for (int c = m_savedColumns; c < m_model.columns(); ++c) {
        double w = std::max(m_model.column(c).width, width(c, -1));
        for (int position = 0; position < shown; ++position)
            w = std::max(w, width(c, position));
        m_model.setColumnWidth(c, w);
    }
}

void Lib_FrmCons3Logic::LeerAnchos()
{
    m_savedColumns = 0;
    const QString file = columnwidths::widthFile(platform::programFolder());
    if (!QFile::exists(file))
        return;
    if (same(m_tableName, "Stk_ma_articulos"))
        m_tableName = QStringLiteral("VT_MA_ARTICULOS");
    const columnwidths::Saved saved = columnwidths::read(file, m_tableName, m_model.columns());
    for (std::size_t i = 0; i < saved.widths.size() && int(i) < m_model.columns(); ++i)
        m_model.setColumnWidth(int(i), saved.widths[i]);
    m_savedColumns = std::min(int(saved.widths.size()), m_model.columns());
}

void Lib_FrmCons3Logic::GrabarAnchos()
{
    if (!GrabarCfg)
        return;
    std::vector<double> widths;
    for (int i = 0; i < m_model.columns(); ++i)
        widths.push_back(m_model.column(i).width);
    const QString folder = platform::programFolder();
    const platform::Status written =
        columnwidths::write(columnwidths::widthFile(folder), columnwidths::auxFile(folder), m_tableName, widths);
    if (!written.ok())
        platform::msgBox(written.message(), platform::vbCritical, QStringLiteral("Aviso al Operador"));
}

void Lib_FrmCons3Logic::Form_Unload()
{
    dropRest();
    UsarUDBC = false;
    GrabarAnchos();
    m_model.clear();
}

void Lib_FrmCons3Logic::fillOptions(const QString &titulo, const QStringList &rows, const QList<bool> &checked,
                                    int longest)
{
    dropRest();
    m_savedColumns = 0;
    LookupListModel::Content content;
    preferredWidth = 120.0 * longest;
    content.columns.push_back(ListColumn{titulo, titulo, preferredWidth});
    content.rows.reset(1);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        content.rows.append(0, rows.at(i));
        content.checked.push_back(checked.value(i) ? 1 : 0);
    }
    m_boxes.assign(1, Box{titulo, QString()});
    m_visibleBoxes = 1;
    m_model.setCheckBoxes(CheckBoxes);
    m_model.adopt(std::move(content));
    m_sorted = OrdenarPorLwv;
    m_engineOrdered = false; // rows given here: sorted here
    applySort();
    emit reloaded();
}

// ---- search boxes ----

QString Lib_FrmCons3Logic::boxText(int index) const
{
    return index >= 0 && index < boxCount() ? m_boxes[std::size_t(index)].text : QString();
}

QString Lib_FrmCons3Logic::boxField(int index) const
{
    return index >= 0 && index < boxCount() ? m_boxes[std::size_t(index)].field : QString();
}

void Lib_FrmCons3Logic::CmbSearch_GotFocus(int index) { m_activeBox = index; }

void Lib_FrmCons3Logic::setBoxText(int index, const QString &text)
{
    if (index < 0 || index >= boxCount())
        return;
    emit boxTextChanged(index, text);
    CmbSearch_Change(index, text);
}

void Lib_FrmCons3Logic::CmbSearch_Change(int index, const QString &text)
{
    if (index < 0 || index >= boxCount())
        return;
    m_boxes[std::size_t(index)].text = text;
    waitForRows();
    const int n = Busqueda(index, text.trimmed());
    if (n != 0)
        selectRow(n - 1);
}

void Lib_FrmCons3Logic::CmbSearch_KeyDown(int index, int keyCode, int)
{
    if (keyCode == F5) {
        serverSearch(index);
    } else if (keyCode == Enter) {
        CmdAceptar_Click();
    } else if (goesToList(keyCode)) {
        ListView1_KeyDown(keyCode, 0);
        emit focusToList();
    }
}

QString Lib_FrmCons3Logic::serverSearchStatement(int index)
{
    const sqlclauses::Parts parts = sqlclauses::split(SQL);
    m_closingClause = parts.closing;
    QString prefix;
    if (has(m_baseStatement, "stk_ma_articulos."))
        prefix = QStringLiteral("stk_ma_articulos.");
    if (has(m_baseStatement, "v_ma_articulos."))
        prefix = QStringLiteral("v_ma_articulos.");
    const QString column = boxField(index);
    QString text = boxText(index);
    QString pattern;
    if (CfgUsaConsultaLIKE) {
        pattern = QLatin1Char('%') + text.replace(QLatin1Char(' '), QLatin1Char('%')) + QLatin1Char('%');
    } else {
        text = gFunciones().Reemplazar(text, QStringLiteral("*"), QStringLiteral("%"));
        setBoxText(index, text);
        pattern = text + QLatin1Char('%');
    }
    const QString condition = prefix + column + QStringLiteral(" like ") + gDB().SQLValue(pattern, QStringLiteral("'"));
    return sqlclauses::addCondition(SQL, condition, sqlclauses::lowerJoiners());
}

void Lib_FrmCons3Logic::serverSearch(int index)
{
    if (index < 0 || index >= boxCount() || SQL.trimmed().isEmpty())
        return; // the pickers list no statement: there is nothing to narrow
    const QString previous = SQL;
    const QString previousBase = m_baseStatement;
    const QString statement = serverSearchStatement(index);
    setBoxText(index, QString());
    SQL = statement;
    m_baseStatement = SQL;
    if (!Form_Load()) {
        // The server refused the narrower statement: the list stays as it was.
        SQL = previous;
        m_baseStatement = previousBase;
    }
}

// ---- the list ----

int Lib_FrmCons3Logic::selectedRow() const { return m_selectedRow < 0 ? -1 : m_model.positionOf(m_selectedRow); }

void Lib_FrmCons3Logic::selectRow(int position)
{
    m_selectedByDefault = false;
    if (position < 0 || position >= m_model.rows()) {
        m_selectedRow = -1;
        return;
    }
    m_selectedRow = m_model.rowAt(position);
    emit selectionMoved(position);
}

int Lib_FrmCons3Logic::Busqueda(long Clave, const QString &QueValor) const
{
    const int column = Clave <= 0 ? 0 : int(Clave);
    return m_model.findPrefix(column, QueValor) + 1;
}

int Lib_FrmCons3Logic::IndiceColumna(const QString &Columna) const
{
    const QString wanted = Columna.trimmed();
    for (int i = 0; i < m_model.columns(); ++i) {
        if (m_model.column(i).caption.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

void Lib_FrmCons3Logic::ListView1_KeyDown(int keyCode, int shift, const QString &typed)
{
    if (keyCode == Space && CheckBoxes) {
        const int row = selectedRow();
        if (row >= 0)
            m_model.setChecked(row, !m_model.isChecked(row));
    } else if (keyCode == Enter) {
        CmdAceptar_Click();
    } else if (UsaCantidades && keyCode == Insert && (shift == ShiftState || shift == 0)) {
        changeQuantity(keyCode, shift);
    } else if (UsaCantidades && keyCode == Delete && shift == 0) {
        changeQuantity(keyCode, shift);
    } else if ((keyCode >= 47 && keyCode <= 93) || keyCode == Space || (keyCode >= 97 && keyCode <= 125)) {
        // The real character typed goes to the search box (keypad digits too); keys that
        // type nothing (function keys) only move the focus there.
        const QString text = boxText(m_activeBox);
        setBoxText(m_activeBox, printable(typed) ? text + typed : text);
        emit focusToBox(m_activeBox);
    } else if (keyCode == Backspace) {
        setBoxText(m_activeBox, boxText(m_activeBox).chopped(boxText(m_activeBox).isEmpty() ? 0 : 1));
        emit focusToBox(m_activeBox);
    }
}

void Lib_FrmCons3Logic::changeQuantity(int keyCode, int shift)
{
    const int row = selectedRow();
    if (row < 0)
        return; // nothing selected: nothing to change
    const int column = IndiceColumna(QStringLiteral("Cantidad")) - 1;
    for (;;) {
        try {
            if (column < 0)
                throw platform::RuntimeError(380, QStringLiteral("No existe la columna Cantidad"));
            break;
        } catch (const platform::RuntimeError &error) {
            const int answer = ModGlobal::MostrarError(error, 18, QStringLiteral("ListView1_KeyDown"));
            if (answer != platform::vbRetry)
                return;
        }
    }
    const double current = quantities::read(m_model.cell(row, column));
    if (keyCode == Insert && shift == ShiftState) {
        const QString answer = platform::inputBox(QStringLiteral("Ingrese la Cantidad del Articulo..."),
                                                  QStringLiteral("Carga de Datos"), m_model.cell(row, column));
        const double value = quantities::read(answer);
        if (value == 0)
            return; // cancelled or zero: the row stays as it was
        m_model.setCell(row, column, quantities::write(value, 2));
        m_model.setChecked(row, true);
    } else if (keyCode == Insert) {
        m_model.setCell(row, column, quantities::write(current + 1, 1));
        m_model.setChecked(row, true);
    } else {
        m_model.setCell(row, column, quantities::write(current - 1, 1));
        if (quantities::read(m_model.cell(row, column)) <= 0) {
            m_model.setChecked(row, false);
            m_model.setCell(row, column, quantities::write(0, 2));
        }
    }
}

void Lib_FrmCons3Logic::applySort()
{
    if (m_sorted && !m_engineOrdered)
        m_model.sortBy(m_sortKey, m_sortAscending);
}

void Lib_FrmCons3Logic::ListView1_ColumnClick(int column)
{
    waitForRows();
    const int keep = m_selectedRow;
    m_sorted = true;
    m_engineOrdered = false; // the operator's sort is this list's own
    m_sortKey = column;
    m_sortAscending = !m_sortAscending;
    applySort();
    m_selectedRow = keep;
    if (keep >= 0)
        emit selectionMoved(selectedRow());
}

void Lib_FrmCons3Logic::uncheckAll()
{
    m_uncheckRest = true;
    for (int i = 0; i < m_model.rows(); ++i)
        m_model.setChecked(i, false);
}

// ---- commands ----

QString Lib_FrmCons3Logic::valueOf(int position, const QString &column, const QString &current) const
{
    const int k = IndiceColumna(column);
    return k == 0 ? current : m_model.cell(position, k - 1);
}

void Lib_FrmCons3Logic::hide(bool chosen)
{
    m_chosen = chosen;
    m_hidden = true;
    emit hideRequested();
}

void Lib_FrmCons3Logic::CmdAceptar_Click()
{
    QString current;
    if (CheckBoxes) {
        waitForRows(); // rows still to come may be checked by ValoresDefault
        if (CampoDevuelto.isEmpty() && m_model.columns() > 0)
            CampoDevuelto = m_model.column(0).caption;
        for (int i = 0; i < m_model.rows(); ++i) {
            if (!m_model.isChecked(i))
                continue;
            current = valueOf(i, CampoDevuelto, current);
            Valores << current;
        }
        hide(true);
        return;
    }
    const int row = selectedRow();
    if (row < 0) {
        hide(false); // no selection, no choice
        return;
    }
    if (CmpsDevueltos) {
        for (const QString &name : *CmpsDevueltos) {
            current = valueOf(row, name, current);
            Valores << current;
        }
    }
    if (!CampoDevuelto.trimmed().isEmpty())
        current = valueOf(row, CampoDevuelto, current);
    ValorDevuelto = current;
    hide(true);
}

void Lib_FrmCons3Logic::CmdCancelar_Click()
{
    ValorDevuelto.clear();
    CmpsDevueltos.reset();
    Valores.clear();
    hide(false);
}

void Lib_FrmCons3Logic::CmdNueva_Click()
{
    const QString previous = SQL;
    SQL = m_firstStatement;
    if (!Form_Load())
        SQL = previous;
    emit focusToBox(0);
}

void Lib_FrmCons3Logic::CmdTodos_Click()
{
    waitForRows();
    for (int i = 0; i < m_model.rows(); ++i)
        m_model.setChecked(i, !m_model.isChecked(i));
}

std::pair<QString, QString> Lib_FrmCons3Logic::registrationProgram(const QString &table)
{
    const QString name = table.trimmed();
    if (same(name, "VT_CLIENTES"))
        return {QStringLiteral("clientes"), QStringLiteral("1")};
    if (same(name, "VT_PROVEEDORES"))
        return {QStringLiteral("clientes"), QStringLiteral("0")};
    if (same(name, "V_TA_Tecnicos"))
        return {QStringLiteral("tecnicos"), QString()};
    if (same(name, "V_TA_VENDEDORES"))
        return {QStringLiteral("vendedores"), QString()};
    if (same(name, "V_MA_ARTICULOS") || same(name, "VT_MA_ARTICULOS"))
        return {QStringLiteral("articulos"), QString()};
    return {QStringLiteral("tablas"), name};
}

void Lib_FrmCons3Logic::CmdNuevo_Click()
{
    const auto [program, parameter] = registrationProgram(m_tableName);
    std::int64_t process = 0;
    ModGlobal::MenuExes(QStringLiteral("SHELL:") + program, parameter, process);
}

void Lib_FrmCons3Logic::Form_KeyDown(int &keyCode, int)
{
    if (keyCode != F12 || !m_articulos)
        return;
    keyCode = 0;
    reportShortage();
}

void Lib_FrmCons3Logic::reportShortage()
{
    const int row = selectedRow();
    if (row < 0)
        return; // nothing selected: nothing to report
    const QString code = valueOf(row, QStringLiteral("idarticulo"), QString()).trimmed();
    const QString description = valueOf(row, QStringLiteral("Descripcion"), QString()).trimmed();
    if (code.isEmpty()) {
        platform::logger().warning(QStringLiteral("Faltante sin código de artículo: no se informa"));
        return;
    }
    const QString question = QStringLiteral("Desea informar el articulo ") + code + QLatin1Char(' ') + description
        + QStringLiteral("\r\ncomo un faltante de stock?");
    if (platform::msgBox(question, platform::vbQuestion | platform::vbYesNo, QStringLiteral("Atención!"))
        != platform::vbYes)
        return;
    DB_Dll &db = gDB();
    const QString quote = QStringLiteral("'");
    QString insert = QStringLiteral("INSERT INTO V_MV_FALTANTES (FechaHora,IdArticulo,Descripcion,Usuario) "
                                    "values(getDate(),")
        + db.SQLValue(gFunciones().AlinearDerecha(code, 25), quote) + QLatin1Char(',') + db.SQLValue(description, quote)
        + QLatin1Char(',') + db.SQLValue(db.gUsuario, quote) + QLatin1Char(')');
    if (db.EjecutaConsultaSQL(insert))
        return;
    const QString reason = db.gCnn.errors().Count() > 0 ? db.gCnn.errors().Item(0).Description : QString();
    platform::msgBox(QStringLiteral("No se pudo informar el faltante: ") + reason, platform::vbCritical,
                     QStringLiteral("Aviso al Operador"));
}

} // namespace lookup
