#pragma once

#include "OdbcConnectionString.h"
#include "platform/ado/Types.h"

#include <QString>
#include <optional>

namespace ado {

// A result column as the driver describes it.
struct OdbcColumnDescription {
    short sqlType = 0;  // SQL_VARCHAR, SQL_INTEGER, ...
    QString typeName;   // the engine's own name ("varchar", "money", "bpchar")
    long long size = 0; // characters for text, bytes for binary, precision for numbers
    short scale = 0;
};

// How a column reads: its ADO type and DefinedSize (as the SQLite backend reports
// them) and how its values are fetched.
struct OdbcColumnType {
    enum class Fetch { Integer, Double, Decimal, Bit, Text, Binary, Timestamp, Date, Time };
    DataType type = adVarChar;
    long definedSize = 0;
    Fetch fetch = Fetch::Text;
};

class OdbcTypeMap {
public:
    static OdbcColumnType map(OdbcPlatform platform, const OdbcColumnDescription &column);
    // A column whose SQL Server type is known ("NVARCHAR(40)", "BIT") reads exactly as
    // on SQLite; nullopt for an unknown declaration.
    static std::optional<OdbcColumnType> fromDeclared(const QString &declared);
};

} // namespace ado
