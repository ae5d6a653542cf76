#include "OdbcHandle.h"

#include <utility>

namespace ado {

OdbcHandle::OdbcHandle(OdbcHandle &&other) noexcept
    : m_type(other.m_type), m_handle(std::exchange(other.m_handle, SQLHANDLE(nullptr)))
{}

OdbcHandle &OdbcHandle::operator=(OdbcHandle &&other) noexcept
{
    if (this != &other) {
        reset();
        m_type = other.m_type;
        m_handle = std::exchange(other.m_handle, SQLHANDLE(nullptr));
    }
    return *this;
}

bool OdbcHandle::allocate(SQLSMALLINT type, SQLHANDLE parent)
{
    reset();
    SQLHANDLE handle = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle)))
        return false;
    m_type = type;
    m_handle = handle;
    return true;
}

void OdbcHandle::reset()
{
    if (m_handle != SQL_NULL_HANDLE)
        SQLFreeHandle(m_type, m_handle);
    m_handle = SQL_NULL_HANDLE;
}

std::vector<OdbcDiagnostic> OdbcHandle::diagnostics() const
{
    std::vector<OdbcDiagnostic> out;
    if (m_handle == SQL_NULL_HANDLE)
        return out;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLWCHAR message[2048] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(m_type, m_handle, record, state, &nativeError, message,
                                            SQLSMALLINT(std::size(message)), &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        const qsizetype used = std::min<qsizetype>(length, qsizetype(std::size(message)) - 1);
        out.push_back({fromOdbcText(state, 5), long(nativeError), fromOdbcText(message, used).trimmed()});
    }
    return out;
}

QString fromOdbcText(const SQLWCHAR *text, qsizetype length)
{
    if (length < 0) {
        length = 0;
        while (text[length] != 0)
            ++length;
    }
    // Copied unit by unit: a surrogate pair may be split between two chunks of SQLGetData.
    return QString(reinterpret_cast<const QChar *>(text), length);
}

} // namespace ado
