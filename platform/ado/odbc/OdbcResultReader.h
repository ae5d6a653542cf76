#pragma once

#include "OdbcConnectionString.h"
#include "platform/ado/Backend.h"

#include <functional>
#include <sql.h>

namespace ado {

// Reads the current row set of an executed statement: column descriptions mapped
// to ADO types, then every row as Variants (NULL as Variant::null()). When every column has
// a bounded size the rows come in blocks into bound arrays (SQLBindCol with a row array);
// a result with long text or binary columns is read value by value (SQLGetData).
class OdbcResultReader {
public:
    // The SQL Server type a base-table column was declared with ("" when unknown).
    using DeclaredType = std::function<QString(const QString &table, const QString &column)>;

    OdbcResultReader(SQLHSTMT statement, OdbcPlatform platform, DeclaredType declared = {})
        : m_statement(statement), m_platform(platform), m_declared(std::move(declared))
    {}
    // False when the driver failed; the statement's diagnostics tell why.
    bool read(ResultSet &out);

private:
    bool describe(std::vector<ColumnInfo> &columns);
    bool readRows(ResultSet &out);
    bool readBlocks(ResultSet &out);
    struct BoundColumn;
    bool bindable(const ColumnInfo &column, int fetch, BoundColumn &bound) const;
    bool cellValue(BoundColumn &column, size_t row, int columnNumber, platform::Variant &value);
    bool rereadLong(size_t row, int column, platform::Variant &value);
    bool fetchValue(int column, platform::Variant &value);
    bool fetchText(int column, platform::Variant &value);
    bool fetchBinary(int column, platform::Variant &value);

    SQLHSTMT m_statement;
    OdbcPlatform m_platform;
    DeclaredType m_declared;
    std::vector<int> m_fetch; // OdbcColumnType::Fetch of each column
};

} // namespace ado
