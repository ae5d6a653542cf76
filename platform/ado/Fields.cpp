#include "Fields.h"

#include "Errors.h"
#include "Recordset.h"

namespace ado {

QString Field::Name() const { return m_owner->column(m_index).Name; }

DataType Field::Type() const { return m_owner->column(m_index).Type; }

long Field::DefinedSize() const { return m_owner->column(m_index).DefinedSize; }

platform::Variant Field::Value() const { return m_owner->cell(m_index); }

void Field::setValue(const platform::Variant &value) { m_owner->setCell(m_index, value); }

const ColumnInfo &Field::info() const { return m_owner->column(m_index); }

int Fields::Count() const
{
    m_owner->requireOpen();
    return int(m_owner->m_columns.size());
}

Field Fields::Item(int index) const
{
    m_owner->column(index); // raises when out of range
    return Field(m_owner, index);
}

Field Fields::Item(const QString &name) const
{
    const int index = indexOf(name);
    if (index < 0)
        throw Exception(errnum::ItemNotFound,
                        QStringLiteral("No se encuentra el elemento '%1' en la colección.").arg(name),
                        QStringLiteral("ADODB.Fields"));
    return Field(m_owner, index);
}

int Fields::indexOf(const QString &name) const
{
    m_owner->requireOpen();
    const auto &columns = m_owner->m_columns;
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

} // namespace ado
