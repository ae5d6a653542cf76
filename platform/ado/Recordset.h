#pragma once

#include "Backend.h"
#include "Fields.h"
#include "Types.h"

#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

// ADO's EOF() collides with the C library's EOF macro: take <cstdio> in first (its include
// guard then keeps it from coming back) and drop the macro. Use std::char_traits<char>::eof()
// where the C value is needed.
#ifdef EOF
#undef EOF
#endif

namespace ado {

class Connection;

// A client-side, fully fetched recordset (cursor location 3). AddNew/Update/
// Delete write through to the single base table of the query, on the connection that
// filled it (which must outlive the edits).
class Recordset {
public:
    Recordset();
    ~Recordset();

    // Raises like Connection.Execute; the recordset stays closed on failure.
    void Open(const QString &source, Connection &connection, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, long options = -1);
    void Close(); // raises errnum::ObjectClosed when not open
    ObjectState State() const { return m_open ? adStateOpen : adStateClosed; }

    bool BOF() const;
    bool EOF() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long count);
    long RecordCount() const;
    long AbsolutePosition() const; // 1-based; adPosBOF (-2) / adPosEOF (-3), -1 when empty
    void setAbsolutePosition(long position);
    int CursorType() const { return m_cursorType; }
    void setCursorType(int type) { m_cursorType = type; }
    int LockType() const { return m_lockType; }
    void setLockType(int type) { m_lockType = type; }
    QString Source() const { return m_source; }

    Fields fields() { return Fields(this); }
    Field field(int index) { return Fields(this).Item(index); }
    Field field(const QString &name) { return Fields(this).Item(name); }
    platform::Variant value(const QString &name) { return field(name).Value(); }

    // Edits need a lock type other than adLockReadOnly (errnum 3251 otherwise). Setting a
    // field's value starts an edit of the current row; moving to another row updates it.
    // After Delete the deleted row stays current (no field can be read) until a Move.
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    bool editing() const { return m_editMode != EditMode::None; }

    // Filled by Connection: adopts a fetched result.
    void attach(ResultSet result, Connection *connection, const QString &source);

private:
    friend class Field;
    friend class Fields;
    enum class EditMode { None, Edit, Add };
    void requireOpen() const;
    void requireCurrent() const;
    const ColumnInfo &column(int index) const;
    platform::Variant cell(int index) const;
    void setCell(int index, const platform::Variant &value);
    void requireUpdatable() const;
    void finishEdit();
    QString baseTable() const;
    void keyOf(const QString &table, const Row &row, QStringList &names, Row &values) const;
    void writeEdit();

    bool m_open = false;
    Connection *m_connection = nullptr;
    QString m_source;
    int m_cursorType = adOpenForwardOnly;
    int m_lockType = adLockReadOnly;
    std::vector<ColumnInfo> m_columns;
    std::vector<Row> m_rows;
    long m_position = 0; // 0-based index; -1 is BOF, size() is EOF
    EditMode m_editMode = EditMode::None;
    Row m_editRow;
    std::vector<bool> m_changed;   // fields set since AddNew or the start of the edit
    bool m_currentDeleted = false; // the current row was deleted; m_position is the next one
};

} // namespace ado
