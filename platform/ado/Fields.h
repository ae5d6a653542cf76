#pragma once

#include "Types.h"
#include "platform/Variant.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace ado {

// What a backend knows of one result column.
struct ColumnInfo {
    QString Name;
    DataType Type = adVarChar;
    long DefinedSize = 0; // characters for text, bytes otherwise
    QString BaseTable;    // table the column comes from, when known
    QString BaseColumn;
    bool Nullable = true;
};

class Recordset;

// A field of the recordset's current row.
class Field {
public:
    Field(Recordset *owner, int index) : m_owner(owner), m_index(index) {}
    QString Name() const;
    DataType Type() const;
    long DefinedSize() const;
    platform::Variant Value() const;
    void setValue(const platform::Variant &value); // only between AddNew/edit and Update
    const ColumnInfo &info() const;

private:
    Recordset *m_owner;
    int m_index;
};

// The recordset's Fields collection; names are looked up without regard to case,
// the first match wins.
class Fields {
public:
    explicit Fields(Recordset *owner) : m_owner(owner) {}
    int Count() const;
    Field Item(int index) const;           // raises errnum::ItemNotFound when out of range
    Field Item(const QString &name) const; // raises errnum::ItemNotFound when absent
    Field operator[](int index) const { return Item(index); }
    Field operator[](const QString &name) const { return Item(name); }
    int indexOf(const QString &name) const; // -1 when absent

private:
    Recordset *m_owner;
};

} // namespace ado
