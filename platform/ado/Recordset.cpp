#include "Recordset.h"

#include "Connection.h"
#include "ErrorScope.h"

#include <QRegularExpression>

#include <algorithm>

namespace ado {

namespace {

constexpr long kPosUnknown = -1, kPosBOF = -2, kPosEOF = -3;
constexpr long kNotUpdatable = 3251;
constexpr long kBadArgument = 3001;

[[noreturn]] void raise(long number, const QString &description)
{
    throw Exception(number, description, QStringLiteral("ADODB.Recordset"));
}

[[noreturn]] void raiseNoCurrent()
{
    raise(errnum::BofOrEof,
          QStringLiteral("BOF o EOF es True, o el registro actual se eliminó. "
                         "La operación requiere un registro actual."));
}

} // namespace

Recordset::Recordset() = default;

Recordset::~Recordset() = default;

void Recordset::Open(const QString &source, Connection &connection, int cursorType, int lockType, long)
{
    if (m_open)
        raise(errnum::ObjectOpen, QStringLiteral("No se permite la operación si el objeto está abierto."));
    std::shared_ptr<Recordset> fetched = connection.run(source, nullptr);
    m_cursorType = cursorType;
    m_lockType = lockType;
    m_connection = &connection;
    m_source = source;
    m_open = fetched->m_open; // an action statement leaves the recordset closed, as ADO does
    m_columns = std::move(fetched->m_columns);
    m_rows = std::move(fetched->m_rows);
    m_position = 0;
    m_editMode = EditMode::None;
    m_currentDeleted = false;
}

void Recordset::attach(ResultSet result, Connection *connection, const QString &source)
{
    m_open = result.hasRows;
    m_connection = connection;
    m_source = source;
    m_columns = std::move(result.columns);
    m_rows = std::move(result.rows);
    m_position = 0;
    m_editMode = EditMode::None;
    m_currentDeleted = false;
}

void Recordset::Close()
{
    requireOpen();
    m_editMode = EditMode::None; // a pending edit is cancelled
    m_open = false;
    m_columns.clear();
    m_rows.clear();
    m_position = 0;
    m_currentDeleted = false;
}

void Recordset::requireOpen() const
{
    if (!m_open)
        raise(errnum::ObjectClosed, QStringLiteral("No se permite la operación si el objeto está cerrado."));
}

void Recordset::requireCurrent() const
{
    requireOpen();
    if (m_currentDeleted || m_position < 0 || m_position >= long(m_rows.size()))
        raiseNoCurrent();
}

void Recordset::requireUpdatable() const
{
    requireOpen();
    if (m_lockType == adLockReadOnly)
        raise(kNotUpdatable,
              QStringLiteral("El conjunto de registros actual no admite actualizaciones "
                             "(tipo de bloqueo de sólo lectura)."));
}

bool Recordset::BOF() const
{
    requireOpen();
    return !m_currentDeleted && (m_rows.empty() || m_position < 0);
}

bool Recordset::EOF() const
{
    requireOpen();
    return !m_currentDeleted && (m_rows.empty() || m_position >= long(m_rows.size()));
}

// Leaving a row with a pending edit writes it, as ADO does.
void Recordset::finishEdit()
{
    if (m_editMode != EditMode::None)
        Update();
}

void Recordset::MoveFirst()
{
    requireOpen();
    finishEdit();
    if (m_rows.empty())
        raiseNoCurrent();
    m_position = 0;
    m_currentDeleted = false;
}

void Recordset::MoveLast()
{
    requireOpen();
    finishEdit();
    if (m_rows.empty())
        raiseNoCurrent();
    m_position = long(m_rows.size()) - 1;
    m_currentDeleted = false;
}

void Recordset::MoveNext()
{
    requireOpen();
    finishEdit();
    if (EOF())
        raiseNoCurrent();
    if (m_currentDeleted)
        m_currentDeleted = false; // the next row already sits at m_position
    else
        ++m_position;
}

void Recordset::MovePrevious()
{
    requireOpen();
    finishEdit();
    if (BOF())
        raiseNoCurrent();
    m_currentDeleted = false;
    --m_position;
}

void Recordset::Move(long count)
{
    requireOpen();
    finishEdit();
    if (count == 0)
        return;
    if ((count > 0 && EOF()) || (count < 0 && BOF()))
        raiseNoCurrent();
    long target = m_position + count;
    if (m_currentDeleted && count > 0)
        --target;
    m_currentDeleted = false;
    m_position = std::clamp(target, -1L, long(m_rows.size()));
}

long Recordset::RecordCount() const
{
    requireOpen();
    return long(m_rows.size());
}

long Recordset::AbsolutePosition() const
{
    requireOpen();
    if (m_rows.empty())
        return kPosUnknown;
    if (BOF())
        return kPosBOF;
    if (EOF())
        return kPosEOF;
    return m_position + 1;
}

void Recordset::setAbsolutePosition(long position)
{
    requireOpen();
    if (position < 1 || position > long(m_rows.size()))
        raise(kBadArgument,
              QStringLiteral("Posición fuera del intervalo: %1 (hay %2 registros).").arg(position).arg(m_rows.size()));
    finishEdit();
    m_position = position - 1;
    m_currentDeleted = false;
}

const ColumnInfo &Recordset::column(int index) const
{
    requireOpen();
    if (index < 0 || index >= int(m_columns.size()))
        raise(errnum::ItemNotFound, QStringLiteral("No se encuentra el elemento %1 en la colección.").arg(index));
    return m_columns[size_t(index)];
}

platform::Variant Recordset::cell(int index) const
{
    column(index);
    if (m_editMode != EditMode::None)
        return m_editRow[size_t(index)];
    requireCurrent();
    return m_rows[size_t(m_position)][size_t(index)];
}

void Recordset::setCell(int index, const platform::Variant &value)
{
    column(index);
    requireUpdatable();
    if (m_editMode == EditMode::None) {
        requireCurrent();
        m_editRow = m_rows[size_t(m_position)];
        m_changed.assign(m_columns.size(), false);
        m_editMode = EditMode::Edit;
    }
    m_editRow[size_t(index)] = value;
    m_changed[size_t(index)] = true;
}

void Recordset::AddNew()
{
    requireUpdatable();
    finishEdit();
    m_editRow.assign(m_columns.size(), platform::Variant::null());
    m_changed.assign(m_columns.size(), false);
    m_editMode = EditMode::Add;
}

void Recordset::CancelUpdate()
{
    requireOpen();
    m_editMode = EditMode::None;
    m_editRow.clear();
    m_changed.clear();
}

// The one table every column comes from: the engine's column origin, else "FROM <table>".
QString Recordset::baseTable() const
{
    QString table;
    for (const ColumnInfo &c : m_columns) {
        if (c.BaseTable.isEmpty())
            continue;
        if (!table.isEmpty() && table.compare(c.BaseTable, Qt::CaseInsensitive) != 0)
            raise(kNotUpdatable,
                  QStringLiteral("No se puede actualizar: la consulta lee más de una tabla "
                                 "('%1', '%2').")
                      .arg(table, c.BaseTable));
        table = c.BaseTable;
    }
    if (!table.isEmpty())
        return table;
    static const QRegularExpression from(
        QStringLiteral(R"(\bFROM\s+(?:dbo\.)?\[?([\w@#$]+)\]?\s*(?:with\s*\(\s*nolock\s*\))?\s*(?:WHERE\b|ORDER\b|$))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(m_source);
    if (!m.hasMatch())
        raise(kNotUpdatable,
              QStringLiteral("No se puede actualizar: no se reconoce una única tabla base en "
                             "\"%1\".")
                  .arg(m_source));
    return m.captured(1);
}

static QString baseColumnOf(const ColumnInfo &c) { return c.BaseColumn.isEmpty() ? c.Name : c.BaseColumn; }

// Identifies `row`: by the table's primary key when the recordset holds all of it, else by
// every column value the engine can compare.
void Recordset::keyOf(const QString &table, const Row &row, QStringList &names, Row &values) const
{
    const bool originKnown =
        std::any_of(m_columns.begin(), m_columns.end(), [](const ColumnInfo &c) { return !c.BaseTable.isEmpty(); });
    const QStringList pk = m_connection->backend()->primaryKey(table);
    for (const QString &key : pk) {
        const int i = Fields(const_cast<Recordset *>(this)).indexOf(key);
        // "ID * 2 AS ID" is named like the key but does not identify the row.
        if (i < 0 || (originKnown && m_columns[size_t(i)].BaseTable.isEmpty())
            || baseColumnOf(m_columns[size_t(i)]).compare(key, Qt::CaseInsensitive) != 0) {
            names.clear(), values.clear();
            break;
        }
        names << baseColumnOf(m_columns[size_t(i)]);
        values.push_back(row[size_t(i)]);
    }
    if (!names.isEmpty())
        return;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (originKnown && m_columns[i].BaseTable.isEmpty())
            continue; // an expression, not a column of the table
        if (row[i].kind() == platform::Variant::Kind::Bytes || m_columns[i].Type == adLongVarChar
            || m_columns[i].Type == adLongVarWChar)
            continue; // long values do not compare reliably
        names << baseColumnOf(m_columns[i]);
        values.push_back(row[i]);
    }
}

void Recordset::writeEdit()
{
    const QString table = baseTable();
    Backend *backend = m_connection->backend();
    QStringList columns;
    Row values;
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_changed[i]) {
            columns << baseColumnOf(m_columns[i]);
            values.push_back(m_editRow[i]);
        }
    if (m_editMode == EditMode::Add) {
        backend->insertRow(table, columns, values);
        return;
    }
    if (columns.isEmpty())
        return;
    QStringList keyNames;
    Row keyValues;
    keyOf(table, m_rows[size_t(m_position)], keyNames, keyValues);
    backend->updateRow(table, columns, values, keyNames, keyValues);
}

void Recordset::Update()
{
    requireOpen();
    if (m_editMode == EditMode::None)
        return;
    if (!m_connection || m_connection->State() != adStateOpen)
        raise(errnum::ConnectionClosed, QStringLiteral("La conexión del conjunto de registros está cerrada."));
    guardedCall(m_connection->errors(), QStringLiteral("ADODB.Recordset"), [&] { writeEdit(); });
    if (m_editMode == EditMode::Add) {
        m_rows.push_back(std::move(m_editRow));
        m_position = long(m_rows.size()) - 1; // the new row becomes current
    } else {
        m_rows[size_t(m_position)] = std::move(m_editRow);
    }
    m_currentDeleted = false;
    CancelUpdate();
}

void Recordset::Delete()
{
    requireUpdatable();
    if (m_editMode == EditMode::Add) {
        CancelUpdate();
        return;
    }
    requireCurrent();
    if (!m_connection || m_connection->State() != adStateOpen)
        raise(errnum::ConnectionClosed, QStringLiteral("La conexión del conjunto de registros está cerrada."));
    guardedCall(m_connection->errors(), QStringLiteral("ADODB.Recordset"), [&] {
        const QString table = baseTable();
        QStringList keyNames;
        Row keyValues;
        keyOf(table, m_rows[size_t(m_position)], keyNames, keyValues);
        m_connection->backend()->deleteRow(table, keyNames, keyValues);
    });
    CancelUpdate();
    m_rows.erase(m_rows.begin() + m_position);
    m_currentDeleted = true;
}

} // namespace ado
