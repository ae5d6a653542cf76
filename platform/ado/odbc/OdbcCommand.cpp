#include "OdbcCommand.h"

#include "OdbcBackend.h"
#include "OdbcHandle.h"
#include "platform/ado/ParameterMarkers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace ado {

namespace {

// One bound value: its buffer lives until the statement has run.
struct ParameterBuffer {
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN columnSize = 1;
    SQLSMALLINT digits = 0;
    QByteArray data;
    SQLLEN indicator = 0;
};

// The SQL type a Null of a parameter's declared type goes as.
SQLSMALLINT sqlTypeOf(DataType type)
{
    switch (type) {
    case adSmallInt:
    case adTinyInt:
    case adUnsignedTinyInt:
    case adInteger:
    case adBoolean:
        return SQL_INTEGER;
    case adBigInt:
        return SQL_BIGINT;
    case adSingle:
    case adDouble:
        return SQL_DOUBLE;
    case adCurrency:
    case adDecimal:
    case adNumeric:
        return SQL_NUMERIC;
    case adDate:
    case adDBDate:
    case adDBTime:
    case adDBTimeStamp:
        return SQL_TYPE_TIMESTAMP;
    case adBinary:
    case adVarBinary:
    case adLongVarBinary:
        return SQL_VARBINARY;
    default:
        return SQL_WVARCHAR;
    }
}

template <typename T> QByteArray bytesOf(const T &value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), qsizetype(sizeof(T)));
}

// `postgreSql`: psqlODBC sends a BIGINT value as quoted text, which the server would then read
// as text, and a double as float8, which the server turns into numeric with 15 digits only.
ParameterBuffer bufferFor(const BoundValue &bound, bool postgreSql)
{
    using K = platform::Variant::Kind;
    const platform::Variant &v = bound.value;
    ParameterBuffer b;
    switch (v.kind()) {
    case K::Empty:
    case K::Null:
        b.sqlType = sqlTypeOf(bound.type);
        b.indicator = SQL_NULL_DATA;
        return b;
    case K::Bool:
    case K::Int: {
        const qint64 n = v.kind() == K::Bool ? (v.toBool() ? 1 : 0) : v.toInt64();
        if (n >= std::numeric_limits<SQLINTEGER>::min() && n <= std::numeric_limits<SQLINTEGER>::max()) {
            b.cType = SQL_C_SLONG, b.sqlType = SQL_INTEGER, b.columnSize = 10;
            b.data = bytesOf(SQLINTEGER(n));
        } else if (!postgreSql) {
            b.cType = SQL_C_SBIGINT, b.sqlType = SQL_BIGINT, b.columnSize = 19;
            b.data = bytesOf(SQLBIGINT(n));
        } else if (std::abs(n) < (qint64(1) << 53)) { // exact as a double, which the driver sends as a number
            b.cType = SQL_C_DOUBLE, b.sqlType = SQL_DOUBLE, b.columnSize = 15;
            b.data = bytesOf(double(n));
        } else { // beyond a double: its digits (the driver sends them as text)
            b.data = QByteArray::number(n);
            b.cType = SQL_C_CHAR, b.sqlType = SQL_DECIMAL, b.columnSize = 19;
        }
        break;
    }
    case K::Double: {
        const double x = v.toDouble();
        if (postgreSql && std::isfinite(x)) {
            // the shortest digits that read back as the double, typed as numeric by the
            // translation (SqlTranslator): a numeric column keeps them all
            char digits[32];
            const auto end = std::to_chars(digits, digits + sizeof digits, x).ptr;
            b.data = QByteArray(digits, end - digits);
            b.cType = SQL_C_CHAR, b.sqlType = SQL_NUMERIC, b.columnSize = 17;
            break;
        }
        b.cType = SQL_C_DOUBLE, b.sqlType = SQL_DOUBLE, b.columnSize = 15;
        b.data = bytesOf(x);
        break;
    }
    case K::DateTime: {
        const QDateTime dt = v.toDateTime();
        SQL_TIMESTAMP_STRUCT ts{};
        ts.year = SQLSMALLINT(dt.date().year());
        ts.month = SQLUSMALLINT(dt.date().month());
        ts.day = SQLUSMALLINT(dt.date().day());
        ts.hour = SQLUSMALLINT(dt.time().hour());
        ts.minute = SQLUSMALLINT(dt.time().minute());
        ts.second = SQLUSMALLINT(dt.time().second());
        ts.fraction = SQLUINTEGER(dt.time().msec()) * 1000000u;
        b.cType = SQL_C_TYPE_TIMESTAMP, b.sqlType = SQL_TYPE_TIMESTAMP, b.columnSize = 23, b.digits = 3;
        b.data = bytesOf(ts);
        break;
    }
    case K::Bytes:
        b.data = v.toBytes();
        b.cType = SQL_C_BINARY;
        b.sqlType = b.data.size() > 8000 ? SQL_LONGVARBINARY : SQL_VARBINARY;
        b.columnSize = SQLULEN(std::max<qsizetype>(b.data.size(), 1));
        break;
    case K::Text: {
        const QString text = v.toString();
        b.data = QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * qsizetype(sizeof(char16_t)));
        b.sqlType = text.size() > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        b.columnSize = SQLULEN(std::max<qsizetype>(text.size(), 1));
        break;
    }
    }
    b.indicator = SQLLEN(b.data.size());
    return b;
}

} // namespace

OdbcCommand::OdbcCommand(OdbcBackend &backend, const QString &sql, const BoundKinds &kinds)
    : m_backend(backend), m_lifetime(backend.m_lifetime)
{
    using Kind = TranslatedStatement::Kind;
    if (!backend.m_translator) { // the engine reads SQL Server's dialect: markers stay as written
        m_count = ParameterMarkers::count(sql);
        std::vector<int> order(static_cast<size_t>(m_count));
        std::iota(order.begin(), order.end(), 0);
        addStatement(sql, std::move(order));
        return;
    }
    const QString named = ParameterMarkers::named(sql, m_count);
    for (const TranslatedStatement &st : backend.m_translator->translate(named, &kinds)) {
        if (st.kind != Kind::Statement) {
            Step step;
            step.kind = st.kind;
            m_steps.push_back(std::move(step));
            continue;
        }
        std::vector<int> order;
        const QString text = ParameterMarkers::positional(st.sql, order);
        addStatement(text, std::move(order));
    }
}

OdbcCommand::~OdbcCommand()
{
    // A closed connection freed its statements with it.
    if (!valid())
        for (Step &step : m_steps)
            if (step.statement)
                step.statement->abandon();
}

void OdbcCommand::addStatement(const QString &sql, std::vector<int> order)
{
    if (sql.trimmed().isEmpty())
        return;
    Step step;
    step.sql = sql;
    step.order = std::move(order);
    step.statement = m_backend.newStatement(-1);
    if (!SQL_SUCCEEDED(SQLPrepareW(step.statement->get(), odbcText(sql), SQL_NTS)))
        m_backend.fail(*step.statement, sql);
    m_steps.push_back(std::move(step));
}

void OdbcCommand::run(Step &step, const BoundValues &values, int timeoutSeconds, ResultSet &result,
                      std::vector<BackendError> &warnings)
{
    m_backend.requireLiveTransaction();
    SQLHSTMT h = step.statement->get();
    SQLFreeStmt(h, SQL_CLOSE);
    SQLFreeStmt(h, SQL_RESET_PARAMS);
    SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(std::max(timeoutSeconds, 0))), 0);
    std::vector<ParameterBuffer> buffers;
    buffers.reserve(step.order.size());
    const bool postgreSql = m_backend.platform() == OdbcPlatform::PostgreSQL;
    for (const int index : step.order)
        buffers.push_back(
            bufferFor(index >= 0 && index < int(values.size()) ? values[size_t(index)] : BoundValue{}, postgreSql));
    for (size_t i = 0; i < buffers.size(); ++i) {
        ParameterBuffer &b = buffers[i];
        if (!SQL_SUCCEEDED(SQLBindParameter(h, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, b.cType, b.sqlType, b.columnSize,
                                            b.digits, b.data.data(), SQLLEN(b.data.size()), &b.indicator)))
            m_backend.fail(*step.statement, step.sql);
    }
    const SQLRETURN rc = SQLExecute(h);
    m_backend.noteStatement(step.sql);
    if (rc == SQL_NO_DATA) { // a searched UPDATE or DELETE that matched nothing
        result.recordsAffected = std::max(result.recordsAffected, 0L);
        const SQLRETURN more = SQLMoreResults(h);
        if (more == SQL_NO_DATA)
            return;
        if (!SQL_SUCCEEDED(more))
            m_backend.fail(*step.statement, step.sql);
        m_backend.collectResults(*step.statement, result, warnings);
        return;
    }
    if (!SQL_SUCCEEDED(rc))
        m_backend.fail(*step.statement, step.sql);
    if (rc == SQL_SUCCESS_WITH_INFO)
        m_backend.addWarnings(*step.statement, warnings);
    m_backend.collectResults(*step.statement, result, warnings);
}

ResultSet OdbcCommand::execute(const BoundValues &values, int timeoutSeconds, std::vector<BackendError> &warnings)
{
    using Kind = TranslatedStatement::Kind;
    if (!m_backend.isOpen())
        m_backend.failClosed();
    ResultSet result;
    for (Step &step : m_steps) {
        switch (step.kind) {
        case Kind::Begin:
            m_backend.beginTransaction();
            break;
        case Kind::Commit:
            m_backend.commit();
            break;
        case Kind::Rollback:
            m_backend.rollback();
            break;
        case Kind::Statement:
            run(step, values, timeoutSeconds, result, warnings);
            break;
        }
    }
    return result;
}

} // namespace ado
