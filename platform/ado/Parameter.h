#pragma once

#include "Types.h"
#include "platform/Variant.h"

#include <QString>

#include <memory>
#include <vector>

namespace ado {

// One value of a Command, bound to the "?" marker at its position. Only input
// parameters are supported (the system calls no stored procedure through them).
class Parameter {
public:
    Parameter(const QString &name, DataTypeEnum type, ParameterDirection direction, long size,
              const platform::Variant &value);

    QString Name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    DataTypeEnum Type() const { return m_type; }
    void setType(DataTypeEnum type) { m_type = type; }
    ParameterDirection Direction() const { return m_direction; }
    void setDirection(ParameterDirection direction) { m_direction = direction; }
    long Size() const { return m_size; }
    void setSize(long size) { m_size = size; }
    int Precision() const { return m_precision; }
    void setPrecision(int precision) { m_precision = precision; }
    int NumericScale() const { return m_numericScale; }
    void setNumericScale(int scale) { m_numericScale = scale; }
    const platform::Variant &Value() const { return m_value; }
    void setValue(const platform::Variant &value) { m_value = value; }

private:
    QString m_name;
    DataTypeEnum m_type;
    ParameterDirection m_direction;
    long m_size;
    int m_precision = 0;
    int m_numericScale = 0;
    platform::Variant m_value;
};

// A Command's Parameters collection, in marker order. Names are looked up without
// regard to case.
class Parameters {
public:
    void Append(std::shared_ptr<Parameter> parameter); // raises errnum 3001 for a null parameter
    void Delete(int index);                            // raises errnum::ItemNotFound when out of range
    int Count() const { return int(m_items.size()); }
    Parameter &Item(int index) const;           // raises errnum::ItemNotFound when out of range
    Parameter &Item(const QString &name) const; // raises errnum::ItemNotFound when absent
    Parameter &operator[](int index) const { return Item(index); }
    Parameter &operator[](const QString &name) const { return Item(name); }

private:
    std::vector<std::shared_ptr<Parameter>> m_items;
};

} // namespace ado
