#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace db {

// The textual rewriting of SQL Server statements for Oracle, and the cutting of a
// batch into single statements. Pure text functions: no connection involved.
class OracleDialect {
public:
    // The ten rewriting rules (TOP, LEN, [names], date literals, Charindex, CONVERT,
    // empty strings, style 103, SUBSTRING, ISNULL). A one-word statement: "LEN" gives
    // "LENGTH", anything else is returned unchanged. Raises RuntimeError(5) on a TOP
    // without a following blank or an apostrophe without its partner.
    static QString rewrite(const QString &statement);
    // True when the statement holds "SET NOCOUNT" or "IF NOT EXIST" (it is dropped).
    static bool isDropped(const QString &statement);
    // The batch with GO separators, SET NOCOUNT and CR removed and the T-SQL transaction
    // words mapped to "SET TRANSACTION", "COMMIT", "ROLLBACK".
    static QString normalizeBatch(const QString &batch);
    // The normalised batch cut at the statement keywords, each statement trimmed.
    static QStringList splitBatch(const QString &batch);
    // A literal the date rule converts (dates with an optional time), or nothing.
    static std::optional<QDate> parseDate(const QString &text);

private:
    static QString topToRownum(const QString &s);
    static QString lengthFunction(const QString &s);
    static QString dateLiterals(const QString &s);
    static QString emptyStrings(const QString &s);
    static QString style103(const QString &s);
};

} // namespace db
