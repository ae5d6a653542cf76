#pragma once

#include "OdbcErrorMap.h"

#include <QString>
#include <sql.h>
#include <sqlext.h>
#include <vector>

namespace ado {

// Owns one ODBC handle (environment, connection or statement) and frees it.
class OdbcHandle {
public:
    OdbcHandle() = default;
    OdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : m_type(type), m_handle(handle) {}
    ~OdbcHandle() { reset(); }
    OdbcHandle(const OdbcHandle &) = delete;
    OdbcHandle &operator=(const OdbcHandle &) = delete;
    OdbcHandle(OdbcHandle &&other) noexcept;
    OdbcHandle &operator=(OdbcHandle &&other) noexcept;

    // Allocates a handle of `type` under `parent`; false when the driver manager refuses.
    bool allocate(SQLSMALLINT type, SQLHANDLE parent);
    void reset();
    // Forgets the handle without freeing it (its connection already freed it).
    void abandon() { m_handle = SQL_NULL_HANDLE; }
    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }
    explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }

    // Every diagnostic record of the handle's last call.
    std::vector<OdbcDiagnostic> diagnostics() const;

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// QString <-> SQLWCHAR (UTF-16 in unixODBC).
inline SQLWCHAR *odbcText(const QString &text)
{
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC with 2-byte SQLWCHAR expected");
    return reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(reinterpret_cast<const char16_t *>(text.utf16())));
}
QString fromOdbcText(const SQLWCHAR *text, qsizetype length);

} // namespace ado
