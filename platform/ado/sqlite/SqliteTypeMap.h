#pragma once

#include "platform/ado/Types.h"

#include <QByteArray>

namespace ado {

// How a column's stored values are turned into Variants.
enum class ValueClass { Dynamic, Int, Double, Bool, Text, Date, Time, Bytes };

struct SqliteColumnType {
    DataType type = adVarChar;
    long definedSize = 0;
    ValueClass valueClass = ValueClass::Dynamic;
};

// Maps a declared column type ("VARCHAR(30)", "int", "DateTime"...) to its ADO type
// number, its defined size (characters for text, bytes otherwise) and the kind of value
// it reads as. An empty or unknown declaration gives ValueClass::Dynamic.
class SqliteTypeMap {
public:
    static SqliteColumnType fromDeclared(const char *declared);
};

} // namespace ado
