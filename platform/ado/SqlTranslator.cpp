#include "SqlTranslator.h"

#include "LikeTranslation.h"
#include "ParameterMarkers.h"
#include "SqlTokenizer.h"
#include "ValueConversion.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace ado {

namespace {

using Type = SqlToken::Type;

struct Range {
    int b = 0;
    int e = 0;
};

// ASCII keyword comparison without regard to case; cheap enough to run on
// every token (length and first letter rule most words out at once).
bool sameWord(QStringView word, std::string_view kw)
{
    if (word.size() != qsizetype(kw.size()))
        return false;
    for (size_t k = 0; k < kw.size(); ++k) {
        const char16_t c = word[qsizetype(k)].unicode();
        const char16_t upper = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        const char16_t want = (kw[k] >= 'a' && kw[k] <= 'z') ? char16_t(kw[k] - 32) : char16_t(kw[k]);
        if (upper != want)
            return false;
    }
    return true;
}

bool equalsAny(QStringView word, std::initializer_list<std::string_view> words)
{
    for (std::string_view w : words)
        if (sameWord(word, w))
            return true;
    return false;
}

enum WordClass : quint8 {
    StatementWord = 1, // starts a statement when a batch runs them together
    ReservedWord = 2,  // must stay quoted even when it looks like a plain name
    TableHint = 4,
    TextFunction = 8,
};

int compareWord(QStringView word, std::string_view kw)
{
    const qsizetype n = std::min(word.size(), qsizetype(kw.size()));
    for (qsizetype k = 0; k < n; ++k) {
        char16_t c = word[k].unicode();
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
        const char16_t want = char16_t(kw[size_t(k)]);
        if (c != want)
            return c < want ? -1 : 1;
    }
    return word.size() == qsizetype(kw.size()) ? 0 : (word.size() < qsizetype(kw.size()) ? -1 : 1);
}

using WordEntry = std::pair<std::string_view, quint8>;

std::vector<WordEntry> buildWordTable()
{
    std::vector<WordEntry> table;
    auto add = [&](quint8 cls, std::initializer_list<std::string_view> words) {
        for (std::string_view w : words) {
            auto it = std::find_if(table.begin(), table.end(), [&](const WordEntry &e) { return e.first == w; });
            if (it == table.end())
                table.emplace_back(w, cls);
            else
                it->second |= cls;
        }
    };
    add(StatementWord,
        {"INSERT", "UPDATE", "DELETE", "SELECT", "CREATE", "DROP", "ALTER", "TRUNCATE", "GRANT", "EXEC", "EXECUTE",
         "DECLARE", "IF", "SET", "BEGIN", "COMMIT", "ROLLBACK", "PRINT"});
    add(ReservedWord,
        {"ALL", "AND", "ANY", "AS", "ASC", "BETWEEN", "BOTH", "BY", "CASE", "CAST", "CHECK", "COLLATE", "COLUMN",
         "CONSTRAINT", "CREATE", "CROSS", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER",
         "DEFAULT", "DELETE", "DESC", "DISTINCT", "DO", "DROP", "ELSE", "END", "EXCEPT", "EXISTS", "FALSE", "FETCH",
         "FOR", "FOREIGN", "FROM", "FULL", "GRANT", "GROUP", "HAVING", "IN", "INDEX", "INNER", "INSERT", "INTERSECT",
         "INTO", "IS", "JOIN", "KEY", "LEADING", "LEFT", "LIKE", "LIMIT", "LOCALTIME", "LOCALTIMESTAMP", "NATURAL",
         "NOT", "NULL", "OFFSET", "ON", "ONLY", "OR", "ORDER", "OUTER", "PRIMARY", "REFERENCES", "RETURNING", "RIGHT",
         "SELECT", "SESSION_USER", "SET", "SOME", "TABLE", "THEN", "TO", "TRAILING", "TRUE", "UNION", "UNIQUE",
         "UPDATE", "USER", "USING", "VALUES", "WHEN", "WHERE", "WINDOW", "WITH",
         // words SQLite or PostgreSQL keep for themselves
         "ABORT", "ACTION", "ANALYZE", "ARRAY", "AUTOINCREMENT", "COMMIT", "CONFLICT", "CURRENT", "DEFERRABLE",
         "ESCAPE", "EXCLUSIVE", "FILTER", "GLOB", "GROUPS", "IF", "ILIKE", "INDEXED", "INITIALLY", "ISNULL", "LATERAL",
         "MATCH", "NOTNULL", "NOTHING", "OVER", "PARTITION", "PLAN", "QUERY", "RANGE", "RECURSIVE", "REGEXP", "RENAME",
         "REPLACE", "ROLLBACK", "ROW", "ROWS", "SIMILAR", "TEMP", "TEMPORARY", "TRANSACTION", "TRIGGER", "VACUUM",
         "VARIADIC", "VERBOSE", "VIEW", "VIRTUAL"});
    add(TableHint,
        {"NOLOCK", "READUNCOMMITTED", "ROWLOCK", "UPDLOCK", "HOLDLOCK", "NOWAIT", "READPAST", "PAGLOCK", "TABLOCK",
         "TABLOCKX", "XLOCK"});
    add(TextFunction,
        {"LTRIM", "RTRIM", "UPPER", "LOWER", "LEFT", "RIGHT", "REPLACE", "SPACE", "REPLICATE", "STR", "CHAR", "NCHAR",
         "SUBSTRING", "SUBSTR", "TRIM"});
    std::sort(table.begin(), table.end());
    return table;
}

quint8 wordClass(QStringView word)
{
    static const std::vector<WordEntry> table = buildWordTable();
    if (word.isEmpty() || word.size() > 20)
        return 0;
    auto it = std::lower_bound(table.begin(), table.end(), word,
                               [](const WordEntry &e, QStringView w) { return compareWord(w, e.first) > 0; });
    return it != table.end() && compareWord(word, it->first) == 0 ? it->second : 0;
}

bool isReservedName(QStringView w) { return wordClass(w) & ReservedWord; }

bool isTextType(QStringView w) { return equalsAny(w, {"CHAR", "VARCHAR", "NVARCHAR", "NCHAR", "TEXT", "NTEXT"}); }

bool isDateType(QStringView w) { return equalsAny(w, {"DATETIME", "SMALLDATETIME", "DATE", "DATETIME2"}); }

bool isPlainIdentifier(QStringView name)
{
    if (name.isEmpty() || !(name[0].isLetter() || name[0] == u'_') || name[0].unicode() > 127)
        return false;
    for (QChar c : name)
        if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == u'_'))
            return false;
    return !isReservedName(name);
}

// One translated piece of an expression: a token, a parenthesised group or a
// function call, kept apart so that operators can look at their operands.
struct Piece {
    enum class Kind { Space, Token, Group, Call, Skip };
    Kind kind = Kind::Token;
    int tok = 0;          // first source token
    QString text;         // the translation; null: the source text as it stands
    bool textual = false; // known to be text (a literal, a text function)
    QStringView source = {};
    bool collated = false; // part of a concatenation that has the text collation

    QStringView str() const { return text.isNull() ? source : QStringView(text); }
};

// Thrown when a statement nests beyond reason: it then passes on as written.
struct TooComplex {};

// Translates the statements of one batch.
class Writer {
public:
    Writer(const QString &sql, Dialect dialect, ColumnCatalog *catalog, const std::vector<BoundKind> *kinds)
        : m_sql(sql), m_toks(SqlTokenizer::tokenize(sql)), m_dialect(dialect), m_catalog(catalog), m_kinds(kinds)
    {
        m_class.resize(m_toks.size());
        for (size_t i = 0; i < m_toks.size(); ++i)
            if (m_toks[i].type == Type::Word)
                m_class[i] = wordClass(text(int(i)));
    }

    QList<TranslatedStatement> run();

private:
    // token helpers
    QStringView text(int i) const { return QStringView(m_sql).mid(m_toks[i].pos, m_toks[i].len); }
    Type type(int i) const { return m_toks[i].type; }
    bool isSig(int i) const { return type(i) != Type::Space && type(i) != Type::Comment; }
    bool isWord(int i, const char *w) const;
    bool isSymbol(int i, const char16_t *s) const;
    bool isSymbol(int i, char16_t c) const
    {
        return i >= 0 && i < int(m_toks.size()) && m_toks[i].len == 1 && type(i) == Type::Symbol
            && m_sql[m_toks[i].pos] == c;
    }
    int nextSig(int i, int e) const;
    int prevSig(int i, int b) const;
    int matchParen(int open, int e) const;
    QString source(int b, int e) const;
    bool pg() const { return m_dialect == Dialect::PostgreSQL; }

    // splitting
    std::vector<Range> split(int b, int e) const;
    bool isGoLine(int i, int b, int e) const;
    int transactionEnd(int i, int e) const;
    bool startsStatement(int i, int prev, QStringView first, QStringView second, bool selectSeen) const;

    // statements
    void statement(Range r, QList<TranslatedStatement> &out);
    QString rewrite(Range r, bool &handled, QList<TranslatedStatement> &extra);
    QString alterTable(Range r, QList<TranslatedStatement> &extra);
    bool transaction(Range r, QList<TranslatedStatement> &out) const;
    bool isSessionOption(Range r) const;
    QString ifStatement(Range r, bool &handled);
    Range ifBody(Range r) const;
    QString guardedInsert(Range body, const QString &condition, bool &handled);
    bool hasMarkers(Range r) const;
    QString dml(Range r, const QString &extraCondition);
    QString insert(Range r);
    QList<CatalogColumn> insertTargets(Range r, int &body);
    QString valueList(Range items, const QList<CatalogColumn> &targets, bool &typed);
    QString valueRows(int b, int e, const QList<CatalogColumn> &targets);
    QString selectValues(Range r, int select, const QList<CatalogColumn> &targets);
    QString assignments(int b, int e);
    QString converted(const CatalogColumn &c, Range value, const QString &text) const;
    QString dollarTag(const QString &body) const;

    // tables and columns
    struct TableRef {
        QString name;
        QString alias;
    };
    int qualifiedName(int i, int e, int &last) const;
    std::vector<TableRef> tablesIn(Range r) const;
    std::optional<CatalogColumn> findColumn(QStringView qualifier, QStringView name) const;
    static CatalogColumn columnNamed(const QList<CatalogColumn> &table, QStringView name);
    QString createTable(Range r, QList<TranslatedStatement> &extra);
    QString alterTableAdd(Range r, int addTok, QList<TranslatedStatement> &extra);
    QString columnDefinition(Range r, const QString &table, bool tablePk, bool &keyTaken,
                             QList<TranslatedStatement> &extra);
    QStringList columnAttributes(Range r, bool &identity, bool &primaryKey);
    QString columnType(int typeTok, int typeEnd, bool identity);
    void postgreSqlColumn(int name, int typeTok, int typeEnd, const QString &table, const QString &col, bool sizedText,
                          QStringList &def, QList<TranslatedStatement> &extra) const;
    QString exec(Range r);
    std::vector<Range> commaSplit(int b, int e) const;

    // expressions
    QString expr(int b, int e, bool *textConcat = nullptr);
    int groupPiece(int open, int b, int e, std::vector<Piece> &ps);
    int wordPieces(int i, int b, int e, std::vector<Piece> &ps, QString &limit);
    Piece tokenPiece(int i) const;
    BoundKind markerKind(int i) const;
    QString joinPieces(const std::vector<Piece> &ps, const QString &limit) const;
    int hintGroupEnd(int open, int e) const;
    int selectTop(int sel, int e, QString &limit) const;
    QString identifier(int i) const;
    QStringView bareName(int i) const;
    QString call(int name, int open, int close, bool &textual);
    QString convert(const std::vector<Range> &args);
    QString mappedType(int b, int e);
    void concatenation(std::vector<Piece> &ps, bool *textConcat) const;
    void likeOperator(std::vector<Piece> &ps) const;
    bool likeBoundary(const Piece *p) const;
    void exactNumbers(std::vector<Piece> &ps) const;
    void collateText(std::vector<Piece> &ps) const;
    QString collated(const QString &text) const;
    void numericComparisons(std::vector<Piece> &ps) const;
    bool columnRef(const std::vector<Piece> &ps, const std::vector<int> &sig, int s, bool before, int &first, int &last,
                   std::optional<CatalogColumn> &column) const;

    const QString &m_sql;
    std::vector<SqlToken> m_toks;
    Dialect m_dialect;
    ColumnCatalog *m_catalog;
    const std::vector<BoundKind> *m_kinds; // of a command's markers; null: unknown
    std::vector<TableRef> m_scope;         // the tables of the statement being translated
    int m_textArgs = 0;                    // inside the arguments of a text function: its result gets the collation
    std::vector<quint8> m_class;           // WordClass of each Word token
    bool m_ddl = false;                    // inside CREATE TABLE / INDEX, ALTER TABLE
    bool m_keyList = false;                // a key constraint on PostgreSQL, which takes no ASC/DESC
    int m_depth = 0;                       // parentheses being translated
    static constexpr int kMaxDepth = 200;
    static constexpr qsizetype kMaxRepeatedText = 20000; // text a rewrite may write twice
};

bool Writer::isWord(int i, const char *w) const
{
    return i >= 0 && i < int(m_toks.size()) && type(i) == Type::Word && sameWord(text(i), w);
}

bool Writer::isSymbol(int i, const char16_t *s) const
{
    return i >= 0 && i < int(m_toks.size()) && type(i) == Type::Symbol && text(i) == QStringView(s);
}

int Writer::nextSig(int i, int e) const
{
    while (i < e && !isSig(i))
        ++i;
    return i;
}

int Writer::prevSig(int i, int b) const
{
    for (--i; i >= b; --i)
        if (isSig(i))
            return i;
    return b - 1;
}

int Writer::matchParen(int open, int e) const
{
    int depth = 0;
    for (int i = open; i < e; ++i) {
        if (isSymbol(i, u'('))
            ++depth;
        else if (isSymbol(i, u')') && --depth == 0)
            return i;
    }
    return e;
}

QString Writer::source(int b, int e) const
{
    if (b >= e)
        return {};
    const qsizetype from = m_toks[b].pos;
    return m_sql.mid(from, m_toks[e - 1].pos + m_toks[e - 1].len - from);
}

// ---------------------------------------------------------------- splitting

bool Writer::isGoLine(int i, int b, int e) const
{
    if (!isWord(i, "GO"))
        return false;
    const bool lineStart =
        i == b || (type(i - 1) == Type::Space && m_toks[i - 1].newline) || (i - 1 == b && type(i - 1) == Type::Space);
    int j = i + 1;
    if (j < e && type(j) == Type::Space && !m_toks[j].newline)
        ++j;
    if (j < e && type(j) == Type::Comment && !m_toks[j].newline && text(j).startsWith(u"--"))
        ++j;
    const bool lineEnd = j >= e || (type(j) == Type::Space && m_toks[j].newline);
    return lineStart && lineEnd;
}

// End (exclusive) of BEGIN TRAN [name] / COMMIT [TRAN] [name] starting at i,
// or -1 when the words at i are no transaction statement.
int Writer::transactionEnd(int i, int e) const
{
    int j = nextSig(i + 1, e);
    const bool tranWord = isWord(j, "TRAN") || isWord(j, "TRANSACTION");
    if (isWord(i, "BEGIN")) {
        if (!tranWord)
            return -1;
    } else if (!isWord(i, "COMMIT") && !isWord(i, "ROLLBACK")) {
        return -1;
    } else if (!tranWord && !isWord(j, "WORK")) {
        return i + 1;
    }
    int name = nextSig(j + 1, e);
    if (name < e
        && (type(name) == Type::Variable || type(name) == Type::QuotedName
            || (type(name) == Type::Word && !(m_class[name] & StatementWord) && !isWord(name, "GO")
                && !isWord(name, "ELSE") && !isWord(name, "END"))))
        return name + 1;
    return j + 1;
}

bool Writer::startsStatement(int i, int prev, QStringView first, QStringView second, bool selectSeen) const
{
    const QStringView w = text(i);
    if (!(m_class[i] & StatementWord))
        return false;
    if (equalsAny(first, {"GRANT", "REVOKE", "DENY", "WITH"}))
        return false;
    if (equalsAny(first, {"CREATE", "ALTER"}) && equalsAny(second, {"TRIGGER", "PROCEDURE", "PROC", "FUNCTION"}))
        return false;
    const bool afterComma = isSymbol(prev, u',') || isWord(prev, "FOR");
    if (equalsAny(first, {"SET"}))
        return true;
    if (equalsAny(w, {"INSERT"}))
        return !afterComma && !isWord(prev, "AFTER") && !isWord(prev, "OF");
    if (equalsAny(w, {"UPDATE", "DELETE"})) // ON DELETE CASCADE, FOR UPDATE
        return !afterComma && !isWord(prev, "ON") && !isWord(prev, "AFTER") && !isWord(prev, "OF");
    if (equalsAny(w, {"SELECT"})) {
        if (afterComma || isWord(prev, "UNION") || isWord(prev, "ALL") || isWord(prev, "EXCEPT")
            || isWord(prev, "INTERSECT") || isWord(prev, "AS"))
            return false;
        if (equalsAny(first, {"CREATE", "ALTER", "DECLARE"}))
            return false;
        return !equalsAny(first, {"INSERT"}) || selectSeen;
    }
    if (equalsAny(w, {"SET"}))
        return !equalsAny(first, {"UPDATE"}) && !isWord(prev, "DELETE") && !isWord(prev, "UPDATE");
    if (equalsAny(w, {"DROP", "ALTER"}) && equalsAny(first, {"ALTER"}))
        return false;
    if (isWord(i, "BEGIN"))
        return transactionEnd(i, int(m_toks.size())) > 0;
    return true;
}

// Statement ranges of [b, e): cut at ";", at GO lines, after transaction
// words and where a new statement word starts at the outer level.
std::vector<Range> Writer::split(int b, int e) const
{
    std::vector<Range> out;
    int start = b;
    int depth = 0;
    int block = 0;
    QStringView first;
    QStringView second;
    bool ifPending = false;
    bool inIf = false;
    bool selectSeen = false;
    int prev = -1;
    auto flush = [&](int end, int next) {
        if (nextSig(start, end) < end)
            out.push_back({start, end});
        start = next;
        first = {};
        second = {};
        ifPending = inIf = selectSeen = false;
        prev = -1;
    };
    for (int i = b; i < e; ++i) {
        if (!isSig(i))
            continue;
        if (isSymbol(i, u'('))
            ++depth;
        else if (isSymbol(i, u')'))
            depth = std::max(0, depth - 1);
        if (depth == 0 && block == 0 && isSymbol(i, u';')) {
            flush(i, i + 1);
            continue;
        }
        if (isGoLine(i, b, e)) {
            flush(i, i + 1);
            continue;
        }
        if (depth == 0 && type(i) == Type::Word) {
            bool ifBody = false;
            if (block == 0 && prev >= 0 && startsStatement(i, prev, first, second, selectSeen)) {
                if (ifPending) { // the statement the IF guards: it leads from here on
                    ifPending = false;
                    ifBody = true;
                    first = text(i);
                    second = {};
                } else {
                    flush(i, i);
                }
            }
            if (!ifBody && first.isEmpty()) {
                const int tranEnd = transactionEnd(i, e);
                if (tranEnd > 0) {
                    flush(tranEnd, tranEnd);
                    i = tranEnd - 1;
                    continue;
                }
                first = text(i);
                ifPending = inIf = isWord(i, "IF");
            } else if (!ifBody && second.isEmpty()) {
                second = text(i);
            }
            if (isWord(i, "SELECT") || isWord(i, "VALUES"))
                selectSeen = true; // an INSERT takes no further SELECT
            if (isWord(i, "ELSE") && block == 0 && inIf)
                ifPending = true; // the ELSE branch belongs to the IF
            if (isWord(i, "BEGIN") && transactionEnd(i, e) < 0) {
                ifPending = false;
                ++block;
            } else if (isWord(i, "CASE")) {
                ++block;
            } else if (isWord(i, "END") && block > 0) {
                --block;
            }
        }
        prev = i;
    }
    flush(e, e);
    return out;
}

QList<TranslatedStatement> Writer::run()
{
    QList<TranslatedStatement> out;
    for (const Range &r : split(0, int(m_toks.size())))
        statement(r, out);
    return out;
}

// ---------------------------------------------------------------- statements

// SET NOCOUNT ON and the like: options with no meaning (or no need) on the
// engines. Only the bare statement is dropped, never more text with it.
bool Writer::isSessionOption(Range r) const
{
    const int set = nextSig(r.b, r.e);
    const int option = nextSig(set + 1, r.e);
    if (!isWord(set, "SET"))
        return false;
    int value = nextSig(option + 1, r.e);
    if (isWord(option, "IDENTITY_INSERT"))
        value = nextSig(value + 1, r.e);
    else if (!isWord(option, "NOCOUNT") && !isWord(option, "ANSI_NULLS") && !isWord(option, "QUOTED_IDENTIFIER")
             && !isWord(option, "ANSI_PADDING") && !isWord(option, "ANSI_WARNINGS"))
        return false;
    return (isWord(value, "ON") || isWord(value, "OFF")) && nextSig(value + 1, r.e) >= r.e;
}

bool Writer::transaction(Range r, QList<TranslatedStatement> &out) const
{
    using Kind = TranslatedStatement::Kind;
    const int first = nextSig(r.b, r.e);
    const int end = transactionEnd(first, r.e);
    if (end < 0 || nextSig(end, r.e) < r.e)
        return false;
    if (isWord(first, "BEGIN"))
        out.append({Kind::Begin, {}});
    else if (isWord(first, "COMMIT"))
        out.append({Kind::Commit, {}});
    else
        out.append({Kind::Rollback, {}});
    return true;
}

void Writer::statement(Range r, QList<TranslatedStatement> &out)
{
    const int first = nextSig(r.b, r.e);
    if (first >= r.e || transaction(r, out) || isSessionOption(r))
        return;
    while (r.e > r.b && type(r.e - 1) == Type::Space)
        --r.e;
    r.b = first;
    m_scope = m_catalog ? tablesIn(r) : std::vector<TableRef>{};
    QList<TranslatedStatement> extra;
    bool handled = true;
    QString sql;
    try {
        sql = rewrite(r, handled, extra);
    } catch (const TooComplex &) {
        handled = false;
        extra.clear();
        m_depth = 0, m_textArgs = 0, m_ddl = false, m_keyList = false;
    }
    if (!handled) // not ours: the engine reports it as written
        sql = source(r.b, r.e);
    sql = sql.trimmed();
    if (!sql.isEmpty())
        out.append({TranslatedStatement::Kind::Statement, sql});
    out.append(extra);
}

// One statement by its leading words.
QString Writer::rewrite(Range r, bool &handled, QList<TranslatedStatement> &extra)
{
    const int first = r.b;
    const int second = nextSig(first + 1, r.e);
    m_ddl = false;
    if (isWord(first, "IF"))
        return ifStatement(r, handled);
    if (isWord(first, "CREATE") && isWord(second, "TABLE"))
        return createTable(r, extra);
    if (isWord(first, "ALTER") && isWord(second, "TABLE"))
        return alterTable(r, extra);
    if (isWord(first, "CREATE")) {
        m_ddl = isWord(second, "INDEX") || isWord(second, "UNIQUE") || isWord(second, "CLUSTERED")
            || isWord(second, "NONCLUSTERED");
        return expr(r.b, r.e);
    }
    if (isWord(first, "UPDATE") || isWord(first, "DELETE"))
        return dml(r, {});
    if (isWord(first, "INSERT"))
        return insert(r);
    if (isWord(first, "EXEC") || isWord(first, "EXECUTE"))
        return exec(r);
    return expr(r.b, r.e);
}

// ALTER TABLE t ADD columns gets the column treatment of CREATE TABLE; other
// alterations only have their names and storage clauses translated.
QString Writer::alterTable(Range r, QList<TranslatedStatement> &extra)
{
    int add = r.b;
    while (add < r.e && !isWord(add, "ADD"))
        ++add;
    const int what = nextSig(add + 1, r.e);
    if (add < r.e && !isWord(what, "CONSTRAINT") && !isWord(what, "PRIMARY") && !isWord(what, "FOREIGN")
        && !isWord(what, "UNIQUE") && !isWord(what, "CHECK"))
        return alterTableAdd(r, add, extra);
    m_ddl = true;
    m_keyList = pg();
    const QString sql = expr(r.b, r.e);
    m_keyList = false;
    return sql;
}

// The statement an IF guards: from the first statement word after the
// condition; a BEGIN ... END around one statement is taken off. Empty when
// there is none or the block holds more than one statement.
Range Writer::ifBody(Range r) const
{
    int depth = 0;
    int start = r.e;
    for (int i = r.b + 1; i < r.e; ++i) {
        if (isSymbol(i, u'('))
            ++depth;
        else if (isSymbol(i, u')'))
            --depth;
        else if (depth == 0 && isWord(i, "ELSE"))
            return {r.e, r.e}; // two branches: not ours
        else if (depth == 0 && start == r.e && type(i) == Type::Word && (m_class[i] & StatementWord))
            start = i;
    }
    Range body{start, r.e};
    const int last = prevSig(body.e, body.b);
    if (isWord(body.b, "BEGIN") && isWord(last, "END")) {
        const std::vector<Range> parts = split(body.b + 1, last);
        if (parts.size() != 1)
            return {r.e, r.e};
        body = {nextSig(parts[0].b, parts[0].e), parts[0].e};
    }
    while (body.e > body.b && !isSig(body.e - 1))
        --body.e;
    return body;
}

// IF ... <statement>: the guard moves into the statement, which the engines
// then run on their own. DROP and CREATE take the engines' IF [NOT] EXISTS;
// INSERT, UPDATE and DELETE take an [NOT] EXISTS (query) condition.
QString Writer::ifStatement(Range r, bool &handled)
{
    handled = false;
    const Range body = ifBody(r);
    if (body.b >= body.e)
        return {};
    const int kind = nextSig(body.b + 1, body.e);
    if (isWord(body.b, "DROP") && type(kind) == Type::Word) {
        handled = true;
        return QStringLiteral("DROP %1 IF EXISTS %2")
            .arg(text(kind).toString().toUpper(), expr(kind + 1, body.e).trimmed());
    }
    if (isWord(body.b, "CREATE") && (isWord(kind, "TABLE") || isWord(kind, "INDEX") || isWord(kind, "UNIQUE"))) {
        QList<TranslatedStatement> extra;
        handled = true;
        QString sql = rewrite(body, handled, extra);
        const qsizetype at = sql.indexOf(isWord(kind, "TABLE") ? u" TABLE " : u" INDEX ", 0, Qt::CaseInsensitive);
        if (pg() && handled && at >= 0 && isWord(kind, "TABLE") && !extra.isEmpty()) {
            // the column comments only with the table they describe
            QStringList steps{sql};
            for (const TranslatedStatement &t : extra)
                steps << t.sql;
            const QString table = sql.mid(at + 7).section(u'(', 0, 0).trimmed();
            const QString body =
                QStringLiteral("BEGIN IF pg_catalog.to_regclass('%1') IS NULL THEN %2; END IF; END")
                    .arg(QString(table).replace(u'\'', QStringLiteral("''")), steps.join(QStringLiteral("; ")));
            const QString tag = dollarTag(body);
            return QStringLiteral("DO %1%2%1").arg(tag, body);
        }
        if (!handled || at < 0 || !extra.isEmpty()) { // a trigger must not be created twice
            handled = false;
            return {};
        }
        return sql.insert(at + 7, QStringLiteral("IF NOT EXISTS "));
    }
    int i = nextSig(r.b + 1, r.e);
    const bool negated = isWord(i, "NOT");
    if (negated)
        i = nextSig(i + 1, r.e);
    const int open = nextSig(i + 1, r.e);
    const int close = matchParen(open, r.e);
    if (!isWord(i, "EXISTS") || !isSymbol(open, u'(') || nextSig(close + 1, r.e) > body.b)
        return {};
    const QString condition =
        QStringLiteral("%1EXISTS (%2)").arg(negated ? QStringLiteral("NOT ") : QString(), expr(open + 1, close));
    handled = true;
    if (isWord(body.b, "UPDATE") || isWord(body.b, "DELETE"))
        return dml(body, condition);
    if (isWord(body.b, "INSERT"))
        return guardedInsert(body, condition, handled);
    handled = false;
    return {};
}

// INSERT ... VALUES (...) under an EXISTS condition: INSERT ... SELECT values WHERE condition.
QString Writer::guardedInsert(Range body, const QString &condition, bool &handled)
{
    int values = -1;
    const QList<CatalogColumn> targets = insertTargets(body, values);
    const int open = nextSig(values + 1, body.e);
    const bool plain = values >= 0 && isWord(values, "VALUES") && isSymbol(open, u'(');
    const int close = plain ? matchParen(open, body.e) : body.e;
    const bool single = plain && close < body.e && nextSig(close + 1, body.e) >= body.e;
    bool typed = false;
    const QString list = single ? valueList({open + 1, close}, targets, typed) : QString();
    // PostgreSQL types the literals of an INSERT ... SELECT as text: there the values need
    // the types their conversions give, or a DO block keeps the INSERT as written. A
    // command's markers cannot reach into a DO block: their values come typed.
    if (pg() && !typed && !hasMarkers(body)) {
        const QString statement =
            QStringLiteral("BEGIN IF %1 THEN %2; END IF; END").arg(condition, insert(body).trimmed());
        const QString tag = dollarTag(statement);
        return QStringLiteral("DO %1 %2 %1").arg(tag, statement);
    }
    if (!single) {
        handled = false;
        return {};
    }
    return QStringLiteral("%1 SELECT %2 WHERE %3").arg(expr(body.b, values).trimmed(), list, condition);
}

// A dollar quote the quoted text does not hold, so that no value can end it.
QString Writer::dollarTag(const QString &body) const
{
    QString tag = QStringLiteral("$vk$");
    for (int n = 1; body.contains(tag); ++n)
        tag = QStringLiteral("$vk%1$").arg(n);
    return tag;
}

// A command's value markers ("@vkp<n>", see ParameterMarkers) in the range.
bool Writer::hasMarkers(Range r) const
{
    for (int i = r.b; i < r.e; ++i)
        if (type(i) == Type::Variable && text(i).startsWith(u"@vkp", Qt::CaseInsensitive))
            return true;
    return false;
}

// UPDATE / DELETE: DELETE gets the FROM that SQL Server lets one leave out;
// UPDATE t SET ... FROM t WHERE loses the FROM (a self-join the engines would
// read as a cross join); an extra condition is and-ed to the WHERE.
QString Writer::dml(Range r, const QString &extraCondition)
{
    const int second = nextSig(r.b + 1, r.e);
    int where = -1;
    int selfFrom = -1;
    int selfFromEnd = -1;
    bool hasFrom = false;
    int depth = 0;
    for (int i = r.b; i < r.e; ++i) {
        if (isSymbol(i, u'('))
            ++depth;
        else if (isSymbol(i, u')'))
            --depth;
        else if (depth == 0 && isWord(i, "WHERE") && where < 0)
            where = i;
        else if (depth == 0 && isWord(i, "FROM") && i > second)
            hasFrom = true;
        if (depth == 0 && isWord(i, "FROM") && isWord(r.b, "UPDATE")) {
            const int name = nextSig(i + 1, r.e);
            const int after = nextSig(name + 1, r.e);
            if (name < r.e && text(name).compare(text(second), Qt::CaseInsensitive) == 0
                && (after >= r.e || isWord(after, "WHERE"))) {
                selfFrom = i;
                selfFromEnd = name + 1;
            }
        }
    }
    QString out;
    int from = r.b;
    if (isWord(r.b, "DELETE") && !isWord(second, "FROM") && !isWord(second, "TOP") && !hasFrom) {
        out = expr(r.b, second) + QStringLiteral("FROM ");
        from = second;
    }
    const int headEnd = where >= 0 ? where : r.e;
    if (selfFrom >= 0) {
        out += assignments(from, selfFrom) + expr(selfFromEnd, headEnd);
    } else {
        out += assignments(from, headEnd);
    }
    if (extraCondition.isEmpty())
        return out + (where >= 0 ? expr(where, r.e) : QString());
    if (where >= 0)
        return out + QStringLiteral("WHERE (") + expr(where + 1, r.e).trimmed() + QStringLiteral(") AND ")
            + extraCondition;
    return out.trimmed() + QStringLiteral(" WHERE ") + extraCondition;
}

// ---------------------------------------------------------------- typed values

// A table name at i ([dbo.]name, quoted or not): the index after it, `last` its last
// part; -1 when no name starts at i.
int Writer::qualifiedName(int i, int e, int &last) const
{
    auto isName = [&](int k) {
        return k < e
            && (type(k) == Type::QuotedName
                || (type(k) == Type::Word && !isReservedName(text(k)) && !(m_class[k] & StatementWord)));
    };
    if (!isName(i))
        return -1;
    last = i;
    while (isSymbol(nextSig(last + 1, e), u'.') && isName(nextSig(nextSig(last + 1, e) + 1, e)))
        last = nextSig(nextSig(last + 1, e) + 1, e);
    return last + 1;
}

// The tables a statement names after FROM, JOIN, UPDATE, INTO and DELETE, with their aliases.
std::vector<Writer::TableRef> Writer::tablesIn(Range r) const
{
    std::vector<TableRef> out;
    for (int i = r.b; i < r.e; ++i) {
        if (type(i) != Type::Word
            || !(isWord(i, "FROM") || isWord(i, "JOIN") || isWord(i, "UPDATE") || isWord(i, "INTO")
                 || isWord(i, "DELETE")))
            continue;
        int j = nextSig(i + 1, r.e);
        for (;;) {
            int last = -1;
            const int after = qualifiedName(j, r.e, last);
            if (after < 0)
                break;
            TableRef t{bareName(last).toString(), {}};
            int k = nextSig(after, r.e);
            if (isWord(k, "AS"))
                k = nextSig(k + 1, r.e);
            int aliasLast = -1;
            if (k < r.e && qualifiedName(k, r.e, aliasLast) == k + 1 && !(m_class[k] & TableHint)) {
                t.alias = bareName(k).toString();
                k = nextSig(k + 1, r.e);
            }
            out.push_back(t);
            if (!isWord(i, "FROM") || !isSymbol(k, u','))
                break;
            j = nextSig(k + 1, r.e); // FROM a, b
        }
    }
    return out;
}

CatalogColumn Writer::columnNamed(const QList<CatalogColumn> &table, QStringView name)
{
    for (const CatalogColumn &c : table)
        if (name.compare(c.name, Qt::CaseInsensitive) == 0)
            return c;
    return CatalogColumn{name.toString(), {}};
}

// The column a reference names among the statement's tables (the first that has it).
std::optional<CatalogColumn> Writer::findColumn(QStringView qualifier, QStringView name) const
{
    for (const TableRef &t : m_scope) {
        if (!qualifier.isEmpty() && qualifier.compare(t.alias, Qt::CaseInsensitive) != 0
            && qualifier.compare(t.name, Qt::CaseInsensitive) != 0)
            continue;
        const CatalogColumn c = columnNamed(m_catalog->columns(t.name), name);
        if (!c.declared.isEmpty())
            return c;
    }
    return std::nullopt;
}

// The columns an INSERT writes, in value order (empty when the table is unknown), and the
// index of its VALUES or SELECT word in `body` (-1 when there is none to find).
QList<CatalogColumn> Writer::insertTargets(Range r, int &body)
{
    body = -1;
    int i = nextSig(r.b + 1, r.e);
    if (isWord(i, "INTO"))
        i = nextSig(i + 1, r.e);
    int last = -1;
    const int after = qualifiedName(i, r.e, last);
    if (after < 0)
        return {};
    const QList<CatalogColumn> table =
        m_catalog ? m_catalog->columns(bareName(last).toString()) : QList<CatalogColumn>{};
    QList<CatalogColumn> targets = table;
    int next = nextSig(after, r.e);
    if (isSymbol(next, u'(')) {
        const int close = matchParen(next, r.e);
        if (close >= r.e)
            return {};
        targets.clear();
        for (const Range &c : commaSplit(next + 1, close)) {
            const int n = nextSig(c.b, c.e);
            targets << columnNamed(table, n < c.e ? bareName(n) : QStringView());
        }
        next = nextSig(close + 1, r.e);
    }
    if (isWord(next, "VALUES") || isWord(next, "SELECT"))
        body = next;
    return table.isEmpty() ? QList<CatalogColumn>{} : targets;
}

// The values of one VALUES row (or SELECT list), each in its column's conversion; as they
// stand when the columns are unknown or do not match. `typed`: every column is known.
QString Writer::valueList(Range items, const QList<CatalogColumn> &targets, bool &typed)
{
    const std::vector<Range> values = commaSplit(items.b, items.e);
    typed = !targets.isEmpty() && int(values.size()) == targets.size();
    if (!typed)
        return expr(items.b, items.e);
    QStringList out;
    for (size_t k = 0; k < values.size(); ++k) {
        const CatalogColumn &c = targets[qsizetype(k)];
        const int first = nextSig(values[k].b, values[k].e);
        typed = typed && !c.declared.isEmpty();
        const QString value = expr(values[k].b, values[k].e).trimmed();
        out << (c.declared.isEmpty() || isWord(first, "DEFAULT") ? value : converted(c, values[k], value));
    }
    return out.join(QStringLiteral(", "));
}

// A value written to column c, in its conversion, unless it is a command's marker whose values
// are of a kind the column takes as it is: those go to the engine bare, typed by their binding.
QString Writer::converted(const CatalogColumn &c, Range value, const QString &text) const
{
    const int first = nextSig(value.b, value.e);
    if (first < value.e && nextSig(first + 1, value.e) >= value.e) {
        const BoundKind kind = markerKind(first);
        // PostgreSQL: a value prepared on the server comes untyped; typed, it takes the
        // conversion of its own type (and, bare, goes where a text would not)
        static const char *const types[] = {nullptr, "bigint", nullptr, nullptr, "timestamp", "integer", nullptr};
        const char *type = pg() ? types[int(kind)] : nullptr;
        const QString typed = type ? QStringLiteral("CAST(%1 AS %2)").arg(text, QLatin1String(type)) : text;
        if (kind != BoundKind::Unset && !ValueConversion::needsConversion(c.declared, kind, pg()))
            return typed;
        return ValueConversion::wrap(c.declared, c.name, typed);
    }
    return ValueConversion::wrap(c.declared, c.name, text);
}

// VALUES (...), (...): each row through valueList.
QString Writer::valueRows(int b, int e, const QList<CatalogColumn> &targets)
{
    QString out;
    int i = b;
    for (;;) {
        const int open = nextSig(i, e);
        const int close = isSymbol(open, u'(') ? matchParen(open, e) : e;
        if (close >= e)
            break;
        bool typed = false;
        out += expr(i, open) + u'(' + valueList({open + 1, close}, targets, typed) + u')';
        i = close + 1;
        const int comma = nextSig(i, e);
        if (!isSymbol(comma, u','))
            break;
        out += expr(i, comma + 1);
        i = comma + 1;
    }
    return out + expr(i, e);
}

// INSERT ... SELECT list FROM ...: the list through valueList (not with TOP or *).
QString Writer::selectValues(Range r, int select, const QList<CatalogColumn> &targets)
{
    int i = nextSig(select + 1, r.e);
    if (isWord(i, "DISTINCT") || isWord(i, "ALL"))
        i = nextSig(i + 1, r.e);
    int end = i;
    for (int depth = 0; end < r.e; ++end) {
        if (isSymbol(end, u'('))
            ++depth;
        else if (isSymbol(end, u')'))
            --depth;
        else if (depth == 0
                 && (isWord(end, "FROM") || isWord(end, "WHERE") || isWord(end, "GROUP") || isWord(end, "ORDER")
                     || isWord(end, "UNION") || isWord(end, "HAVING") || isWord(end, "EXCEPT")
                     || isWord(end, "INTERSECT") || isWord(end, "INTO")))
            break;
        else if (depth == 0 && (isWord(end, "TOP") || isSymbol(end, u'*')))
            return expr(r.b, r.e);
    }
    bool typed = false;
    const QString list = valueList({i, end}, targets, typed);
    return expr(r.b, i) + list + (end < r.e ? QStringLiteral(" ") + expr(end, r.e) : QString());
}

QString Writer::insert(Range r)
{
    int body = -1;
    const QList<CatalogColumn> targets = insertTargets(r, body);
    if (targets.isEmpty() || body < 0)
        return expr(r.b, r.e);
    if (isWord(body, "VALUES"))
        return expr(r.b, body + 1) + valueRows(body + 1, r.e, targets);
    return selectValues(r, body, targets);
}

// UPDATE ... SET col = value, ...: each value in its column's conversion.
QString Writer::assignments(int b, int e)
{
    int set = -1;
    for (int i = b, depth = 0; i < e && set < 0; ++i) {
        depth += isSymbol(i, u'(') ? 1 : isSymbol(i, u')') ? -1 : 0;
        if (depth == 0 && isWord(i, "SET"))
            set = i;
    }
    int last = -1;
    if (!m_catalog || set < 0 || !isWord(b, "UPDATE") || qualifiedName(nextSig(b + 1, e), e, last) < 0)
        return expr(b, e);
    const QList<CatalogColumn> table = m_catalog->columns(bareName(last).toString());
    int setEnd = set + 1;
    for (int depth = 0; setEnd < e; ++setEnd) {
        depth += isSymbol(setEnd, u'(') ? 1 : isSymbol(setEnd, u')') ? -1 : 0;
        if (depth == 0 && isWord(setEnd, "FROM"))
            break;
    }
    if (table.isEmpty())
        return expr(b, e);
    QString out = expr(b, set + 1);
    bool firstItem = true;
    for (const Range &item : commaSplit(set + 1, setEnd)) {
        if (!firstItem)
            out += u',';
        firstItem = false;
        int eq = item.b;
        while (eq < item.e && !isSymbol(eq, u'='))
            ++eq;
        const int name = prevSig(eq, item.b);
        const int lastSig = prevSig(item.e, item.b);
        const CatalogColumn c =
            eq < item.e && name >= item.b && (type(name) == Type::Word || type(name) == Type::QuotedName)
            ? columnNamed(table, bareName(name))
            : CatalogColumn{};
        if (c.declared.isEmpty() || lastSig <= eq) {
            out += expr(item.b, item.e);
            continue;
        }
        out += expr(item.b, eq + 1) + u' ' + converted(c, {eq + 1, lastSig + 1}, expr(eq + 1, lastSig + 1).trimmed())
            + expr(lastSig + 1, item.e);
    }
    return out + expr(setEnd, e);
}

// EXEC proc args: PostgreSQL calls the procedure; SQLite has none, so the
// statement passes on to the backend as written.
QString Writer::exec(Range r)
{
    const int name = nextSig(r.b + 1, r.e);
    if (!pg() || name >= r.e || (type(name) != Type::Word && type(name) != Type::QuotedName))
        return expr(r.b, r.e);
    int argsStart = name + 1;
    while (argsStart + 1 < r.e && isSymbol(argsStart, u'.'))
        argsStart += 2;
    return QStringLiteral("CALL %1(%2)").arg(expr(name, argsStart), expr(argsStart, r.e).trimmed());
}

std::vector<Range> Writer::commaSplit(int b, int e) const
{
    std::vector<Range> out;
    int depth = 0;
    int start = b;
    for (int i = b; i < e; ++i) {
        if (isSymbol(i, u'('))
            ++depth;
        else if (isSymbol(i, u')'))
            --depth;
        else if (depth == 0 && isSymbol(i, u',')) {
            out.push_back({start, i});
            start = i + 1;
        }
    }
    out.push_back({start, e});
    return out;
}

// ---------------------------------------------------------------- DDL

QString Writer::createTable(Range r, QList<TranslatedStatement> &extra)
{
    m_ddl = true;
    int open = r.b;
    while (open < r.e && !isSymbol(open, u'('))
        ++open;
    if (open >= r.e)
        return expr(r.b, r.e);
    const int close = matchParen(open, r.e);
    const QString head = expr(r.b, open).simplified();
    const QString table = head.section(u' ', 2, 2);
    const std::vector<Range> elems = commaSplit(open + 1, close);

    // A single-column PRIMARY KEY (col) of an identity column moves onto the
    // column in SQLite, which only auto-increments an INTEGER PRIMARY KEY.
    QString pkColumn;
    int pkElem = -1;
    for (int k = 0; k < int(elems.size()); ++k) {
        int i = nextSig(elems[k].b, elems[k].e);
        if (isWord(i, "CONSTRAINT"))
            i = nextSig(nextSig(i + 1, elems[k].e) + 1, elems[k].e);
        if (!isWord(i, "PRIMARY"))
            continue;
        int p = i;
        while (p < elems[k].e && !isSymbol(p, u'('))
            ++p;
        const std::vector<Range> cols = commaSplit(p + 1, matchParen(p, elems[k].e));
        if (p < elems[k].e && cols.size() == 1) {
            pkColumn = identifier(nextSig(cols[0].b, cols[0].e));
            pkElem = k;
        }
    }
    QStringList defs;
    bool pkMoved = false;
    for (int k = 0; k < int(elems.size()); ++k) {
        const Range el = elems[k];
        const int f = nextSig(el.b, el.e);
        if (f >= el.e)
            continue;
        if (isWord(f, "CONSTRAINT") || isWord(f, "PRIMARY") || isWord(f, "UNIQUE") || isWord(f, "FOREIGN")
            || isWord(f, "CHECK") || isWord(f, "INDEX")) {
            m_keyList = pg();
            defs << expr(el.b, el.e).simplified();
            m_keyList = false;
            continue;
        }
        const bool tablePk = pkElem >= 0 && identifier(f) == pkColumn;
        bool keyTaken = false;
        defs << columnDefinition(el, table, tablePk, keyTaken, extra);
        pkMoved = pkMoved || keyTaken;
    }
    if (pkMoved && pkElem >= 0)
        defs.removeAt(pkElem);
    QString sql = head + QStringLiteral(" (") + defs.join(QStringLiteral(", ")) + u')';
    const QString tail = expr(close + 1, r.e).simplified();
    return tail.isEmpty() ? sql : sql + u' ' + tail;
}

QString Writer::alterTableAdd(Range r, int addTok, QList<TranslatedStatement> &extra)
{
    m_ddl = true;
    const QString head = expr(r.b, addTok).simplified();
    const QString table = head.section(u' ', 2, 2);
    QStringList adds;
    QList<TranslatedStatement> triggers;
    for (const Range &col : commaSplit(addTok + 1, r.e)) {
        bool keyTaken = false;
        adds << columnDefinition(col, table, false, keyTaken, triggers);
    }
    if (pg()) {
        extra.append(triggers); // the columns' type comments
        return head + QStringLiteral(" ADD ") + adds.join(QStringLiteral(", ADD "));
    }
    // SQLite adds one column per statement.
    for (int k = 1; k < adds.size(); ++k)
        extra.append({TranslatedStatement::Kind::Statement, head + QStringLiteral(" ADD COLUMN ") + adds[k]});
    extra.append(triggers);
    return head + QStringLiteral(" ADD COLUMN ") + adds.value(0);
}

// name type[(size)] attributes: the type mapped, text columns given the
// case-insensitive collation and (SQLite) a named length check.
QString Writer::columnDefinition(Range r, const QString &table, bool tablePk, bool &keyTaken,
                                 QList<TranslatedStatement> &extra)
{
    const int name = nextSig(r.b, r.e);
    const int typeTok = nextSig(name + 1, r.e);
    if (typeTok >= r.e || (type(typeTok) != Type::Word && type(typeTok) != Type::QuotedName))
        return expr(r.b, r.e).simplified();
    int attrs = typeTok + 1;
    int gOpen = -1;
    int gClose = -1;
    if (isSymbol(nextSig(attrs, r.e), u'(')) {
        gOpen = nextSig(attrs, r.e);
        gClose = matchParen(gOpen, r.e);
        if (gClose >= r.e) // "varchar(" without its end: the engine reports it as written
            return expr(r.b, r.e).simplified();
        attrs = gClose + 1;
    }
    bool identity = false;
    bool primaryKey = tablePk;
    const QStringList rest = columnAttributes({attrs, r.e}, identity, primaryKey);
    const QString col = identifier(name);
    const bool textType = isTextType(bareName(typeTok));
    QStringList def{col, columnType(typeTok, gOpen < 0 ? typeTok + 1 : gClose + 1, identity)};
    QStringList attributes = rest;
    if (identity && !pg()) {
        auto isKeyWord = [](const QString &s) {
            return s.compare(u"PRIMARY", Qt::CaseInsensitive) == 0 || s.compare(u"KEY", Qt::CaseInsensitive) == 0;
        };
        if (primaryKey) {
            def[1] = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
            attributes.removeIf(isKeyWord);
            keyTaken = tablePk;
        } else {
            // Not the key: a trigger numbers the rows the way IDENTITY would,
            // so the column must accept the NULL the INSERT leaves in it.
            for (int k = 0; k + 1 < attributes.size(); ++k)
                if (attributes[k].compare(u"NOT", Qt::CaseInsensitive) == 0
                    && attributes[k + 1].compare(u"NULL", Qt::CaseInsensitive) == 0)
                    attributes.remove(k, 2);
            QString raw = text(name).toString().remove(u'[').remove(u']').remove(u'"');
            extra.append({TranslatedStatement::Kind::Statement,
                          QStringLiteral("CREATE TRIGGER \"vkid_%1_%2\" AFTER INSERT ON %3 WHEN NEW.%4 IS NULL "
                                         "BEGIN UPDATE %3 SET %4 = NEW.rowid WHERE rowid = NEW.rowid; END")
                              .arg(QString(table).remove(u'"'), raw, table, col)});
        }
    }
    if (textType)
        def << (pg() ? QStringLiteral("COLLATE vktext") : QStringLiteral("COLLATE VKTEXT"));
    // SQLite keeps dates as text: VKDATE compares them by value, whatever form a literal has.
    else if (!pg() && isDateType(bareName(typeTok)))
        def << QStringLiteral("COLLATE VKDATE");
    def << attributes;
    const int size = gOpen >= 0 ? nextSig(gOpen + 1, gClose) : -1;
    const bool sizedText = textType && size >= 0 && size < gClose && type(size) == Type::Number;
    if (pg())
        postgreSqlColumn(name, typeTok, gOpen < 0 ? typeTok + 1 : gClose + 1, table, col, sizedText, def, extra);
    if (!pg() && sizedText) {
        QString cname = text(name).toString().remove(u'[').remove(u']').remove(u'"');
        for (QChar &c : cname)
            if (!c.isLetterOrNumber() && c != u'_')
                c = u'_';
        def << QStringLiteral("CONSTRAINT vklen_%1 CHECK (length(%2) <= %3)").arg(cname, col, text(size));
    }
    return def.join(u' ').simplified();
}

// PostgreSQL: VARCHAR(n) / NVARCHAR(n) are stored as BPCHAR, whose comparisons ignore
// trailing blanks as SQL Server's do, with their length kept by a CHECK named vklen_<col>
// (reported as SQL Server's truncation). The SQL Server type goes into the column's
// comment ("vk:NVARCHAR(40)"): the ODBC backend reads types and sizes from it.
void Writer::postgreSqlColumn(int name, int typeTok, int typeEnd, const QString &table, const QString &col,
                              bool sizedText, QStringList &def, QList<TranslatedStatement> &extra) const
{
    QString declared = bareName(typeTok).toString() + source(typeTok + 1, typeEnd);
    declared = declared.simplified().remove(u' ').toUpper();
    if (sizedText && equalsAny(bareName(typeTok), {"VARCHAR", "NVARCHAR"})) {
        QString cname = text(name).toString().remove(u'[').remove(u']').remove(u'"');
        for (QChar &c : cname)
            if (!c.isLetterOrNumber() && c != u'_')
                c = u'_';
        const int size = nextSig(nextSig(typeTok + 1, typeEnd) + 1, typeEnd);
        def[1] = QStringLiteral("BPCHAR");
        def << QStringLiteral("CONSTRAINT vklen_%1 CHECK (length(%2) <= %3)").arg(cname, col, text(size));
    }
    if (!table.isEmpty())
        extra.append({TranslatedStatement::Kind::Statement,
                      QStringLiteral("COMMENT ON COLUMN %1.%2 IS 'vk:%3'")
                          .arg(table, col, declared.replace(u'\'', QStringLiteral("''")))});
}

// The attributes after a column's type, translated one by one; IDENTITY and
// COLLATE are taken out (the caller writes the engine's own).
QStringList Writer::columnAttributes(Range r, bool &identity, bool &primaryKey)
{
    QStringList rest;
    for (int i = nextSig(r.b, r.e); i < r.e; i = nextSig(i + 1, r.e)) {
        if (isWord(i, "IDENTITY")) {
            identity = true;
            const int g = nextSig(i + 1, r.e);
            if (isSymbol(g, u'('))
                i = matchParen(g, r.e);
            continue;
        }
        if (isWord(i, "COLLATE")) {
            i = nextSig(i + 1, r.e);
            continue;
        }
        if (isWord(i, "NOT") && isWord(nextSig(i + 1, r.e), "FOR")) {
            i = nextSig(nextSig(i + 1, r.e) + 1, r.e); // NOT FOR REPLICATION
            continue;
        }
        if (isWord(i, "PRIMARY"))
            primaryKey = true;
        int end = i + 1;
        const int next = nextSig(end, r.e);
        if (isWord(i, "DEFAULT") && type(next) == Type::Word && isSymbol(nextSig(next + 1, r.e), u'(')) {
            // SQLite takes an expression default only in parentheses
            const int close = std::min(matchParen(nextSig(next + 1, r.e), r.e) + 1, r.e);
            rest << QStringLiteral("DEFAULT (") + expr(next, close).trimmed() + u')';
            i = close - 1;
            continue;
        }
        if (isSymbol(i, u'('))
            end = std::min(matchParen(i, r.e) + 1, r.e);
        else if (type(i) == Type::Word && isSymbol(next, u'(') && !isWord(i, "DEFAULT") && !isWord(i, "CHECK"))
            end = std::min(matchParen(next, r.e) + 1, r.e);
        const QString piece = expr(i, end).trimmed();
        if (!piece.isEmpty())
            rest << piece;
        i = end - 1;
    }
    return rest;
}

QString Writer::columnType(int typeTok, int typeEnd, bool identity)
{
    if (identity && !pg())
        return QStringLiteral("INTEGER");
    if (identity) {
        const bool integral = equalsAny(bareName(typeTok), {"INT", "INTEGER", "SMALLINT", "BIGINT"});
        return (integral ? mappedType(typeTok, typeEnd) : QStringLiteral("BIGINT"))
            + QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY");
    }
    if (!pg()) {
        // (MAX) is no size SQLite reads: the long types ADO reports for it
        const int open = nextSig(typeTok + 1, typeEnd);
        if (isSymbol(open, u'(') && isWord(nextSig(open + 1, typeEnd), "MAX")) {
            const QStringView t = bareName(typeTok);
            return equalsAny(t, {"VARBINARY", "BINARY"}) ? QStringLiteral("BLOB")
                : equalsAny(t, {"NVARCHAR", "NCHAR"})    ? QStringLiteral("NTEXT")
                                                         : QStringLiteral("TEXT");
        }
        return bareName(typeTok).toString() + source(typeTok + 1, typeEnd);
    }
    return mappedType(typeTok, typeEnd);
}

// A SQL Server type (tokens [b, e)) in the engine's words.
QString Writer::mappedType(int b, int e)
{
    const QStringView t = bareName(b);
    const int open = nextSig(b + 1, e);
    const bool sized = isSymbol(open, u'(');
    const bool max = sized && isWord(nextSig(open + 1, e), "MAX");
    if (!pg()) {
        if (max)
            return equalsAny(t, {"VARBINARY"}) ? QStringLiteral("BLOB") : QStringLiteral("TEXT");
        return t.toString() + source(b + 1, e);
    }
    if (equalsAny(t, {"DATETIME", "SMALLDATETIME", "DATETIME2"}))
        return QStringLiteral("TIMESTAMP(3)");
    if (equalsAny(t, {"MONEY"}))
        return QStringLiteral("NUMERIC(19,4)");
    if (equalsAny(t, {"SMALLMONEY"}))
        return QStringLiteral("NUMERIC(10,4)");
    if (equalsAny(t, {"TINYINT", "BIT"}))
        return QStringLiteral("SMALLINT");
    if (equalsAny(t, {"FLOAT"}))
        return QStringLiteral("DOUBLE PRECISION");
    if (equalsAny(t, {"IMAGE", "VARBINARY", "BINARY"}))
        return QStringLiteral("BYTEA");
    if (equalsAny(t, {"NTEXT", "TEXT"}) || (max && isTextType(t)))
        return QStringLiteral("TEXT");
    if (equalsAny(t, {"NVARCHAR"}))
        return QStringLiteral("VARCHAR") + source(b + 1, e).trimmed();
    if (equalsAny(t, {"NCHAR"}))
        return QStringLiteral("CHAR") + source(b + 1, e).trimmed();
    if (equalsAny(t, {"UNIQUEIDENTIFIER"}))
        return QStringLiteral("UUID");
    return t.toString() + source(b + 1, e);
}

// ---------------------------------------------------------------- expressions

// End (exclusive) of a table-hint group "(NOLOCK[, ...])" opening at open, or -1.
int Writer::hintGroupEnd(int open, int e) const
{
    const int close = matchParen(open, e);
    if (close >= e)
        return -1;
    bool any = false;
    bool expectHint = true;
    for (int i = nextSig(open + 1, close); i < close; i = nextSig(i + 1, close)) {
        if (expectHint && type(i) == Type::Word && (m_class[i] & TableHint))
            any = true;
        else if (expectHint || !isSymbol(i, u','))
            return -1;
        expectHint = !expectHint;
    }
    return any && !expectHint ? close + 1 : -1;
}

// SELECT [DISTINCT|ALL] TOP n / TOP (n): returns the index after the TOP
// clause (and sets limit), or -1 when the select has no TOP we translate.
int Writer::selectTop(int sel, int e, QString &limit) const
{
    int i = nextSig(sel + 1, e);
    if (isWord(i, "DISTINCT") || isWord(i, "ALL"))
        i = nextSig(i + 1, e);
    if (!isWord(i, "TOP"))
        return -1;
    int n = nextSig(i + 1, e);
    int after = n + 1;
    QString count;
    if (n < e && type(n) == Type::Number) {
        count = text(n).toString();
    } else if (isSymbol(n, u'(')) {
        after = matchParen(n, e) + 1;
        count = source(n + 1, after - 1).trimmed();
    } else {
        return -1;
    }
    const int next = nextSig(after, e);
    if (isWord(next, "PERCENT")) {
        // TOP 100 PERCENT (the idiom that lets a view hold ORDER BY) is every
        // row; a smaller share is left for the engine to refuse
        if (count.toDouble() < 100)
            return -1;
        limit.clear();
        return -(next + 1); // TOP 100 PERCENT: dropped, no limit
    }
    if (isWord(next, "WITH"))
        return -1;
    limit = count;
    return after;
}

// A name without its brackets or quotes ([char] is char).
QStringView Writer::bareName(int i) const
{
    const QStringView t = text(i);
    if (type(i) == Type::QuotedName && t.size() >= 2)
        return t.mid(1, t.size() - 2);
    return t;
}

QString Writer::identifier(int i) const
{
    QString name;
    const QStringView t = text(i);
    if (type(i) == Type::QuotedName) {
        const QChar close = t[0] == u'[' ? u']' : u'"';
        name = t.mid(1, t.endsWith(close) && t.size() > 1 ? t.size() - 2 : t.size() - 1).toString();
        name.replace(QString(2, close), QString(close));
    } else {
        return t.toString();
    }
    if (pg()) {
        // PostgreSQL folds only ASCII letters of an unquoted name
        for (QChar &c : name)
            if (c.unicode() >= u'A' && c.unicode() <= u'Z')
                c = QChar(c.unicode() + 32);
    }
    if (isPlainIdentifier(name))
        return name;
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString Writer::expr(int b, int e, bool *textConcat)
{
    std::vector<Piece> ps;
    QString limit;
    for (int i = b; i < e; ++i) {
        const Type t = type(i);
        if (t == Type::Space || t == Type::Comment) {
            ps.push_back({Piece::Kind::Space, i, {}, false, text(i)});
        } else if (isSymbol(i, u'(')) {
            i = groupPiece(i, b, e, ps);
        } else if ((t == Type::Word || t == Type::QuotedName) && m_toks[i].len <= 5 && sameWord(bareName(i), "DBO")
                   && isSymbol(i + 1, u'.')) {
            ++i; // dbo.name: the engines have no such schema
        } else {
            const int last = t == Type::Word ? wordPieces(i, b, e, ps, limit) : -1;
            if (last >= 0)
                i = last;
            else
                ps.push_back(tokenPiece(i));
        }
    }
    concatenation(ps, textConcat);
    if (m_catalog)
        numericComparisons(ps);
    collateText(ps);
    likeOperator(ps);
    if (!pg())
        exactNumbers(ps);
    return joinPieces(ps, limit);
}

// A parenthesised group at open: a table hint (dropped), DDL options
// (dropped), or a translated group. Returns the last token consumed.
int Writer::groupPiece(int open, int b, int e, std::vector<Piece> &ps)
{
    const int before = prevSig(open, b);
    const int hintEnd = hintGroupEnd(open, e);
    if (hintEnd > 0 && before >= b && (type(before) == Type::Word || type(before) == Type::QuotedName)) {
        // drop WITH and the blanks before the hint; those after it stay
        for (auto k = ps.rbegin(); k != ps.rend(); ++k) {
            const bool with = k->tok == before && isWord(before, "WITH");
            if (k->kind != Piece::Kind::Space && k->kind != Piece::Kind::Skip && !with)
                break;
            k->kind = Piece::Kind::Skip;
        }
        return hintEnd - 1;
    }
    const int close = matchParen(open, e);
    if (m_ddl && isWord(before, "WITH")) { // WITH (PAD_INDEX = OFF, ...)
        for (Piece &p : ps)
            if (p.tok == before)
                p.kind = Piece::Kind::Skip;
        return close;
    }
    if (m_depth > kMaxDepth) { // absurd nesting: left as written rather than risk the stack
        ps.push_back({Piece::Kind::Group, open, source(open, std::min(close + 1, e))});
        return close;
    }
    bool inner = false;
    ++m_depth;
    // the arguments of a text function: its result gets the collation, they need none
    const bool textArgs = before >= b && type(before) == Type::Word && (m_class[before] & TextFunction);
    m_textArgs += textArgs ? 1 : 0;
    const QString group = u'(' + expr(open + 1, close, &inner) + (close < e ? QStringLiteral(")") : QString());
    m_textArgs -= textArgs ? 1 : 0;
    --m_depth;
    ps.push_back({Piece::Kind::Group, open, group, inner});
    return close;
}

// Words that change the text around them: function calls, SELECT TOP and
// the storage clauses of DDL. Returns the last token consumed, or -1 when the
// word is an ordinary token.
int Writer::wordPieces(int i, int b, int e, std::vector<Piece> &ps, QString &limit)
{
    const int next = nextSig(i + 1, e);
    if (isSymbol(next, u'(') && !isSymbol(prevSig(i, b), u'.')) {
        bool textual = false;
        const int close = matchParen(next, e);
        const QString c = call(i, next, close, textual);
        if (!c.isNull()) {
            ps.push_back({Piece::Kind::Call, i, c, textual});
            return close;
        }
    }
    if (isWord(i, "SELECT") && limit.isEmpty()) {
        const int after = selectTop(i, e, limit);
        if (after == -1)
            return -1;
        ps.push_back({Piece::Kind::Token, i, {}, false, text(i)});
        if (!isWord(next, "TOP")) { // DISTINCT / ALL
            ps.push_back({Piece::Kind::Space, i + 1, QStringLiteral(" ")});
            ps.push_back({Piece::Kind::Token, next, {}, false, text(next)});
        }
        return (after > 0 ? after : -after) - 1;
    }
    if (m_ddl && (isWord(i, "CLUSTERED") || isWord(i, "NONCLUSTERED")))
        return i;
    if (m_keyList && (isWord(i, "ASC") || isWord(i, "DESC"))) {
        if (!ps.empty() && ps.back().kind == Piece::Kind::Space)
            ps.back().kind = Piece::Kind::Skip;
        return i;
    }
    if (m_ddl && isWord(i, "ON") && sameWord(bareName(next), "PRIMARY") && !isWord(nextSig(next + 1, e), "KEY"))
        return next; // ON [PRIMARY]: the file group
    if (m_ddl && isWord(i, "TEXTIMAGE_ON"))
        return next;
    return -1;
}

Piece Writer::tokenPiece(int i) const
{
    Piece p{Piece::Kind::Token, i, {}, false, text(i)};
    if (type(i) == Type::QuotedName) {
        p.text = identifier(i);
    } else if (type(i) == Type::String) {
        p.textual = true;
        if (m_toks[i].national)
            p.text = text(i).mid(1).toString(); // N'text'
    } else if (type(i) == Type::Variable && text(i).compare(u"@@IDENTITY", Qt::CaseInsensitive) == 0) {
        p.text = pg() ? QStringLiteral("lastval()") : QStringLiteral("last_insert_rowid()");
    } else if (pg() && markerKind(i) == BoundKind::Double) {
        // a double goes as the digits that read back as it (see OdbcCommand): typed, they are a number
        p.text = QStringLiteral("CAST(") + text(i).toString() + QStringLiteral(" AS numeric)");
    }
    return p;
}

// The kind of a command's marker at token i; Unset when unknown or no marker.
BoundKind Writer::markerKind(int i) const
{
    if (!m_kinds || type(i) != Type::Variable)
        return BoundKind::Unset;
    const int index = ParameterMarkers::indexOf(text(i));
    return index >= 0 && index < int(m_kinds->size()) ? (*m_kinds)[size_t(index)] : BoundKind::Unset;
}

// The pieces joined; a LIMIT goes after the last word, before trailing
// blanks and comments (a -- comment would swallow it).
QString Writer::joinPieces(const std::vector<Piece> &ps, const QString &limit) const
{
    int tail = int(ps.size());
    while (tail > 0 && (ps[tail - 1].kind == Piece::Kind::Space || ps[tail - 1].kind == Piece::Kind::Skip))
        --tail;
    QString out;
    out.reserve(m_sql.size() + 32);
    for (int k = 0; k <= int(ps.size()); ++k) {
        if (k == tail && !limit.isEmpty())
            out += QStringLiteral(" LIMIT ") + limit;
        if (k < int(ps.size()) && ps[k].kind != Piece::Kind::Skip)
            out += ps[k].str();
    }
    return out;
}

// Function calls the engines spell otherwise. A null result: not ours.
QString Writer::call(int name, int open, int close, bool &textual)
{
    const QStringView f = text(name);
    std::vector<Range> args = commaSplit(open + 1, close);
    if (args.size() == 1 && nextSig(args[0].b, args[0].e) >= args[0].e)
        args.clear();
    auto arg = [&](int k) {
        if (++m_depth > kMaxDepth) // calls nested beyond reason: left as written
            throw TooComplex();
        ++m_textArgs;
        const QString a = expr(args[k].b, args[k].e).trimmed();
        --m_textArgs;
        --m_depth;
        return a;
    };
    textual = m_class[name] & TextFunction;
    if (equalsAny(f, {"GETDATE"}) && args.empty())
        return pg() ? QStringLiteral("LOCALTIMESTAMP(0)") : QStringLiteral("datetime('now','localtime')");
    if (equalsAny(f, {"SCOPE_IDENTITY"}) && args.empty())
        return pg() ? QStringLiteral("lastval()") : QStringLiteral("last_insert_rowid()");
    if (equalsAny(f, {"ISNULL"}) && args.size() == 2) {
        textual = type(nextSig(args[1].b, args[1].e)) == Type::String;
        return (pg() ? QStringLiteral("COALESCE(") : QStringLiteral("IFNULL(")) + arg(0) + u',' + arg(1) + u')';
    }
    if (equalsAny(f, {"LEN"}) && args.size() == 1)
        return QStringLiteral("LENGTH(RTRIM(") + arg(0) + QStringLiteral("))");
    if (equalsAny(f, {"SUBSTRING"}) && args.size() == 3)
        return (pg() ? QStringLiteral("SUBSTRING(") : QStringLiteral("SUBSTR(")) + arg(0) + u',' + arg(1) + u','
            + arg(2) + u')';
    if (equalsAny(f, {"CHARINDEX"}) && (args.size() == 2 || args.size() == 3)) {
        // SQL Server searches without regard to case; PostgreSQL refuses
        // substring searches under a nondeterministic collation.
        const QString find = pg() ? QStringLiteral("STRPOS") : QStringLiteral("INSTR");
        const QString coll = pg() ? QStringLiteral(" COLLATE \"default\"") : QString();
        const QString needle = QStringLiteral("UPPER(") + arg(0) + u')' + coll;
        if (args.size() == 2)
            return find + QStringLiteral("(UPPER(") + arg(1) + u')' + coll + u',' + needle + u')';
        // from a start position: search the tail and shift the hit back. The haystack and
        // the start are written more than once: nested ones would double the text at each level.
        const QString haystack = arg(1), from = arg(2);
        if (haystack.size() + from.size() > kMaxRepeatedText)
            throw TooComplex();
        const QString start = QStringLiteral("(CASE WHEN (%1) > 1 THEN (%1) ELSE 1 END)").arg(from);
        const QString sub = pg() ? QStringLiteral("SUBSTRING") : QStringLiteral("SUBSTR");
        const QString pos = QStringLiteral("%1(UPPER(%2(%3,%4))%5,%6)").arg(find, sub, haystack, start, coll, needle);
        return QStringLiteral("(CASE WHEN %1 > 0 THEN %1 + %2 - 1 ELSE 0 END)").arg(pos, start);
    }
    if (equalsAny(f, {"CONVERT"}) && (args.size() == 2 || args.size() == 3))
        return convert(args);
    return {};
}

// CONVERT(type, x[, style]) becomes CAST; style 103 (dd/mm/yyyy) of a date
// becomes the engine's date formatting.
QString Writer::convert(const std::vector<Range> &args)
{
    const int typeTok = nextSig(args[0].b, args[0].e);
    if (type(typeTok) != Type::Word)
        return {};
    const QString value = expr(args[1].b, args[1].e).trimmed();
    if (args.size() == 3) {
        const int style = nextSig(args[2].b, args[2].e);
        if (text(style) != u"103" || !isTextType(text(typeTok)))
            return {};
        return pg() ? QStringLiteral("TO_CHAR(%1,'DD/MM/YYYY')").arg(value)
                    : QStringLiteral("strftime('%d/%m/%Y',%1)").arg(value);
    }
    Range t = args[0];
    while (t.e > t.b && !isSig(t.e - 1))
        --t.e;
    return QStringLiteral("CAST(%1 AS %2)").arg(value, mappedType(typeTok, t.e));
}

// String concatenation: a chain a + b + c whose operands include a text
// literal or a text function, or which is compared with a text literal.
void Writer::concatenation(std::vector<Piece> &ps, bool *textConcat) const
{
    std::vector<int> sig;
    for (int k = 0; k < int(ps.size()); ++k)
        if (ps[k].kind != Piece::Kind::Space && ps[k].kind != Piece::Kind::Skip)
            sig.push_back(k);
    const int n = int(sig.size());
    auto tokType = [&](int s) { return type(ps[sig[s]].tok); };
    auto isTok = [&](int s, auto sym) {
        return s >= 0 && s < n && ps[sig[s]].kind == Piece::Kind::Token && isSymbol(ps[sig[s]].tok, sym);
    };
    auto isNameTok = [&](int s) {
        if (s < 0 || s >= n || ps[sig[s]].kind != Piece::Kind::Token)
            return false;
        const Type t = tokType(s);
        return t == Type::QuotedName || (t == Type::Word && !(m_class[ps[sig[s]].tok] & ReservedWord));
    };
    auto operandStart = [&](int s) {
        if (s < 0 || s >= n)
            return false;
        const Piece &p = ps[sig[s]];
        if (p.kind == Piece::Kind::Group || p.kind == Piece::Kind::Call)
            return true;
        const Type t = type(p.tok);
        return t == Type::String || t == Type::Number || t == Type::Variable || isNameTok(s);
    };
    auto operandEnd = [&](int s, bool &textual) {
        textual = ps[sig[s]].textual;
        if (isNameTok(s)) {
            const bool fn = m_class[ps[sig[s]].tok] & TextFunction;
            while (isTok(s + 1, u'.') && isNameTok(s + 2))
                s += 2;
            if (s + 1 < n && ps[sig[s + 1]].kind == Piece::Kind::Group) {
                ++s;
                textual = fn;
            }
        }
        return s;
    };
    auto comparedWithText = [&](int before, int after) {
        auto cmp = [&](int s) {
            return isTok(s, u'=') || isTok(s, u"<>") || isTok(s, u"!=")
                || (s >= 0 && s < n && ps[sig[s]].kind == Piece::Kind::Token && isWord(ps[sig[s]].tok, "LIKE"));
        };
        auto str = [&](int s) { return s >= 0 && s < n && ps[sig[s]].textual; };
        return (cmp(before) && str(before - 1)) || (cmp(after) && str(after + 1));
    };
    for (int s = 0; s < n;) {
        if (!operandStart(s)) {
            ++s;
            continue;
        }
        bool textual = false;
        bool t = false;
        int end = operandEnd(s, t);
        textual = t;
        std::vector<int> plus;
        while (isTok(end + 1, u'+') && operandStart(end + 2)) {
            plus.push_back(sig[end + 1]);
            end = operandEnd(end + 2, t);
            textual = textual || t;
        }
        if (!plus.empty() && (textual || comparedWithText(s - 1, end + 1))) {
            for (int k : plus)
                ps[k].text = QStringLiteral("||");
            if (textConcat)
                *textConcat = true;
            if (!m_ddl && m_textArgs == 0) { // the whole chain compares as text does
                for (int k = sig[s]; k <= sig[end]; ++k)
                    ps[k].collated = true;
                ps[sig[s]].text = (pg() ? QStringLiteral("CAST(") : QStringLiteral("(")) + ps[sig[s]].str().toString();
                ps[sig[end]].text = ps[sig[end]].str().toString()
                    + (pg() ? QStringLiteral(" AS bpchar)") : QStringLiteral(") COLLATE VKTEXT"));
            }
        }
        s = end + 1;
    }
}

// Text from a function or a concatenation compares as text columns do, whatever it is
// compared with: SQLite gives it the VKTEXT collation; PostgreSQL makes it BPCHAR, whose
// comparisons ignore trailing blanks, keeping the case-insensitive collation it derives
// from its columns. A bare column has its collation already. Not inside definitions, and
// not for the arguments of a text function (its result gets it).
void Writer::collateText(std::vector<Piece> &ps) const
{
    if (m_ddl || m_textArgs > 0)
        return;
    int prev = -1;
    for (int k = 0; k < int(ps.size()); ++k) {
        Piece &p = ps[k];
        if (p.kind == Piece::Kind::Space || p.kind == Piece::Kind::Skip)
            continue;
        if (p.collated) {
            prev = -1;
            continue;
        }
        if (p.kind == Piece::Kind::Call && p.textual) {
            p.text = collated(p.text);
        } else if (p.kind == Piece::Kind::Group && prev >= 0 && ps[prev].kind == Piece::Kind::Token
                   && type(ps[prev].tok) == Type::Word && (m_class[ps[prev].tok] & TextFunction)
                   && !isSymbol(prevSig(ps[prev].tok, 0), u'.')) {
            // UPPER(...) and the like: the call is the word and its group
            if (pg())
                ps[prev].text = QStringLiteral("CAST(") + ps[prev].str().toString();
            p.text = p.str().toString() + (pg() ? QStringLiteral(" AS bpchar)") : QStringLiteral(" COLLATE VKTEXT"));
        }
        prev = k;
    }
}

// `text`, an operand, with the text collation: "x COLLATE VKTEXT" / "CAST(x AS bpchar)".
QString Writer::collated(const QString &text) const
{
    return pg() ? QStringLiteral("CAST(") + text + QStringLiteral(" AS bpchar)")
                : text + QStringLiteral(" COLLATE VKTEXT");
}

// A column reference (name or qualifier.name) in the significant pieces around s: before
// an operator it ends at s, after one it starts at s. [first, last] gets its extent.
bool Writer::columnRef(const std::vector<Piece> &ps, const std::vector<int> &sig, int s, bool before, int &first,
                       int &last, std::optional<CatalogColumn> &column) const
{
    auto nameAt = [&](int t) {
        if (t < 0 || t >= int(sig.size()) || ps[sig[t]].kind != Piece::Kind::Token)
            return false;
        const int tok = ps[sig[t]].tok;
        return type(tok) == Type::QuotedName || (type(tok) == Type::Word && !(m_class[tok] & ReservedWord));
    };
    auto dotAt = [&](int t) {
        return t >= 0 && t < int(sig.size()) && ps[sig[t]].kind == Piece::Kind::Token && isSymbol(ps[sig[t]].tok, u'.');
    };
    first = last = s;
    if (before) {
        while (dotAt(first - 1) && nameAt(first - 2))
            first -= 2;
        if (dotAt(first - 1))
            return false;
    } else {
        while (dotAt(last + 1) && nameAt(last + 2))
            last += 2;
        if (last + 1 < int(sig.size()) && (ps[sig[last + 1]].kind == Piece::Kind::Group || dotAt(last + 1)))
            return false; // a call, or more than a name
    }
    if (!nameAt(first) || !nameAt(last))
        return false;
    const QStringView qualifier = last > first ? bareName(ps[sig[last - 2]].tok) : QStringView();
    column = findColumn(qualifier, bareName(ps[sig[last]].tok));
    return column.has_value();
}

// SQL Server compares a character column with a bare number as numbers ('   7' = 7):
// the column goes through vk_num, which reads it as the number's type or refuses it as
// SQL Server would.
void Writer::numericComparisons(std::vector<Piece> &ps) const
{
    std::vector<int> sig;
    for (int k = 0; k < int(ps.size()); ++k)
        if (ps[k].kind != Piece::Kind::Space && ps[k].kind != Piece::Kind::Skip)
            sig.push_back(k);
    auto isCompare = [&](int t) {
        if (t < 0 || t >= int(sig.size()) || ps[sig[t]].kind != Piece::Kind::Token)
            return false;
        const int tok = ps[sig[t]].tok;
        return isSymbol(tok, u'=') || isSymbol(tok, u"<>") || isSymbol(tok, u"!=") || isSymbol(tok, u'<')
            || isSymbol(tok, u'>') || isSymbol(tok, u"<=") || isSymbol(tok, u">=");
    };
    // a number at t (with its sign): its text, or null
    auto numberAt = [&](int t, bool forward, int &end) -> QString {
        end = t;
        if (t < 0 || t >= int(sig.size()) || ps[sig[t]].kind != Piece::Kind::Token)
            return {};
        const bool sign = forward && (isSymbol(ps[sig[t]].tok, u'-') || isSymbol(ps[sig[t]].tok, u'+'));
        const int n = sign ? t + 1 : t;
        if (n >= int(sig.size()) || ps[sig[n]].kind != Piece::Kind::Token || type(ps[sig[n]].tok) != Type::Number)
            return {};
        end = n;
        return (sign ? ps[sig[t]].str().toString() : QString()) + ps[sig[n]].str().toString();
    };
    for (int t = 0; t < int(sig.size()); ++t) {
        if (!isCompare(t))
            continue;
        int first = -1, last = -1, end = -1;
        std::optional<CatalogColumn> column;
        QString number = numberAt(t + 1, true, end); // column op number
        bool found = !number.isNull() && columnRef(ps, sig, t - 1, true, first, last, column);
        if (!found) { // number op column
            number = numberAt(t - 1, false, end);
            found = !number.isNull() && columnRef(ps, sig, t + 1, false, first, last, column);
            if (found && t - 2 >= 0 && ps[sig[t - 2]].kind == Piece::Kind::Token && isSymbol(ps[sig[t - 2]].tok, u'-'))
                number.prepend(u'-');
        }
        if (!found || !ValueConversion::isText(column->declared))
            continue;
        ps[sig[first]].text = QStringLiteral("vk_num(") + ps[sig[first]].str().toString();
        ps[sig[last]].text = ps[sig[last]].str().toString() + QStringLiteral(", ") + number + u')';
    }
}

// What may stand before a bare column compared with LIKE, or after its pattern, for the pair
// to be a condition of its own (not an operand of + or of NOT).
bool Writer::likeBoundary(const Piece *p) const
{
    return !p
        || (p->kind == Piece::Kind::Token && type(p->tok) == Type::Word
            && equalsAny(text(p->tok),
                         {"WHERE", "AND", "OR", "ON", "WHEN", "HAVING", "THEN", "ELSE", "END", "ORDER", "GROUP",
                          "UNION", "EXCEPT", "INTERSECT"}));
}

namespace {

QString quotedText(const QString &text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

// The text of a string literal token ('it''s', N'x').
QString literalText(QStringView token)
{
    if (token.startsWith(u'N') || token.startsWith(u'n'))
        token = token.mid(1);
    return token.mid(1, token.size() - 2).toString().replace(QStringLiteral("''"), QStringLiteral("'"));
}

} // namespace

// LIKE as SQL Server reads it (see LikeTranslation). SQLite's like() is SQL Server's; PostgreSQL
// gets the pattern rewritten: a literal into ILIKE or ~*, any other pattern into ~* with
// vk_likere() (run once, in a subquery), the operand taken out of its columns'
// nondeterministic collation, which pattern matching refuses. A literal pattern with a fixed
// start also bounds a bare column by range, so that an index on the column can serve it.
void Writer::likeOperator(std::vector<Piece> &ps) const
{
    std::vector<int> sig;
    for (int k = 0; k < int(ps.size()); ++k)
        if (ps[k].kind != Piece::Kind::Space && ps[k].kind != Piece::Kind::Skip)
            sig.push_back(k);
    const int n = int(sig.size());
    auto piece = [&](int s) -> Piece * { return s >= 0 && s < n ? &ps[sig[s]] : nullptr; };
    auto isWordAt = [&](int s, const char *w) {
        const Piece *p = piece(s);
        return p && p->kind == Piece::Kind::Token && isWord(p->tok, w);
    };
    auto isNameAt = [&](int s) {
        const Piece *p = piece(s);
        return p && p->kind == Piece::Kind::Token
            && (type(p->tok) == Type::QuotedName || (type(p->tok) == Type::Word && !(m_class[p->tok] & ReservedWord)));
    };
    auto isDotAt = [&](int s) {
        const Piece *p = piece(s);
        return p && p->kind == Piece::Kind::Token && isSymbol(p->tok, u'.');
    };
    auto ends = [&](int s) {
        const Piece *p = piece(s);
        return !p || likeBoundary(p) || isWordAt(s, "ESCAPE") || isWordAt(s, "LIMIT")
            || (p->kind == Piece::Kind::Token && (isSymbol(p->tok, u',') || isSymbol(p->tok, u';')));
    };
    for (int s = 0; s < n; ++s) {
        if (!isWordAt(s, "LIKE"))
            continue;
        const bool negated = isWordAt(s - 1, "NOT");
        const int operand = negated ? s - 2 : s - 1;
        if (operand < 0 || s + 1 >= n)
            continue;
        int last = s + 1; // the pattern's last piece
        while (!ends(last + 1))
            ++last;
        const int escape = isWordAt(last + 1, "ESCAPE") && piece(last + 2) ? last + 2 : -1;
        auto isStringAt = [&](int t) {
            const Piece *p = piece(t);
            return p && p->kind == Piece::Kind::Token && type(p->tok) == Type::String;
        };
        const bool literal = last == s + 1 && isStringAt(s + 1)
            && (escape < 0 || (isStringAt(escape) && literalText(text(piece(escape)->tok)).size() == 1));
        const QString pattern = literal ? literalText(text(piece(s + 1)->tok)) : QString();
        const QChar escapeChar = literal && escape >= 0 ? literalText(text(piece(escape)->tok))[0] : QChar();

        // the bare column's range, written before the operand gets its collation
        int first = operand;
        while (isDotAt(first - 1) && isNameAt(first - 2))
            first -= 2;
        // SQL Server reads a number or a date as its text under LIKE; a range on it would
        // compare it with text, so only a column known to hold text gets one.
        std::optional<CatalogColumn> column;
        if (m_catalog && isNameAt(first) && isNameAt(operand) && !isDotAt(first - 1)) {
            const QStringView qualifier = operand > first ? bareName(piece(operand - 2)->tok) : QStringView();
            column = findColumn(qualifier, bareName(piece(operand)->tok));
        }
        // (without a catalog every operand is taken for text)
        const bool textColumn = !m_catalog || (column && ValueConversion::isText(column->declared));
        QString range;
        const QString start = literal && !negated && escape < 0 ? LikeTranslation::prefix(pattern) : QString();
        if (!start.isEmpty() && textColumn && likeBoundary(piece(first - 1)) && ends(last + 1)) {
            QString column;
            for (int t = first; t <= operand; ++t)
                column += piece(t)->str();
            range = QStringLiteral(" AND %1 >= %2 AND %1 < %3")
                        .arg(column, quotedText(start), quotedText(start + LikeTranslation::highest(pg())));
        }
        if (pg()) {
            Piece &like = *piece(s);
            if (!textColumn) { // pattern matching takes text only; bpchar loses no match as text
                piece(first)->text = QStringLiteral("CAST(") + piece(first)->str().toString();
                piece(operand)->text = piece(operand)->str().toString() + QStringLiteral(" AS text)");
            }
            piece(operand)->text = piece(operand)->str().toString() + QStringLiteral(" COLLATE \"default\"");
            const std::optional<QString> ilike =
                literal ? LikeTranslation::postgresIlike(pattern, escapeChar) : std::nullopt;
            if (ilike) {
                like.text = QStringLiteral("ILIKE");
                piece(s + 1)->text = quotedText(*ilike);
            } else {
                like.text = negated ? QStringLiteral("!~*") : QStringLiteral("~*");
                if (negated)
                    piece(s - 1)->kind = Piece::Kind::Skip;
                if (literal) {
                    piece(s + 1)->text = quotedText(LikeTranslation::postgresRegex(pattern, escapeChar));
                } else {
                    piece(s + 1)->text = QStringLiteral("(SELECT vk_likere(") + piece(s + 1)->str().toString();
                    piece(last)->text = piece(last)->str().toString()
                        + (escape >= 0 ? QStringLiteral(", ") + piece(escape)->str().toString() : QString())
                        + QStringLiteral("))");
                }
                if (escape >= 0) // read into the pattern
                    piece(escape - 1)->kind = piece(escape)->kind = Piece::Kind::Skip;
            }
        }
        if (!range.isEmpty()) {
            piece(first)->text = u'(' + piece(first)->str().toString();
            piece(last)->text = piece(last)->str().toString() + range + u')';
        }
        s = last;
    }
}

// SQLite reads a number with a point as a double: one a double cannot hold ("123456789012345.6789")
// goes as text instead, its sign with it, so that a conversion (vk_money, vk_decimal) reads every
// digit and refuses what it cannot store rather than store a neighbour; compared with a number
// column it is read as a number all the same.
void Writer::exactNumbers(std::vector<Piece> &ps) const
{
    int prev = -1, beforePrev = -1;
    for (int k = 0; k < int(ps.size()); ++k) {
        Piece &p = ps[k];
        if (p.kind == Piece::Kind::Space || p.kind == Piece::Kind::Skip)
            continue;
        if (p.kind == Piece::Kind::Token && type(p.tok) == Type::Number && text(p.tok).contains(u'.')
            && !ValueConversion::exactAsDouble(text(p.tok))) {
            QString sign;
            const bool signed_ = prev >= 0 && ps[prev].kind == Piece::Kind::Token
                && (isSymbol(ps[prev].tok, u'-') || isSymbol(ps[prev].tok, u'+'));
            const Piece *before = beforePrev >= 0 ? &ps[beforePrev] : nullptr;
            const bool unary = signed_
                && (!before
                    || (before->kind == Piece::Kind::Token && type(before->tok) == Type::Symbol
                        && !isSymbol(before->tok, u')'))
                    || (before->kind == Piece::Kind::Token && type(before->tok) == Type::Word
                        && equalsAny(text(before->tok),
                                     {"SELECT", "WHERE", "AND", "OR", "NOT", "SET", "THEN", "ELSE", "WHEN", "ON",
                                      "LIKE", "BETWEEN", "CASE", "DISTINCT", "HAVING", "RETURN", "VALUES"})));
            if (unary) {
                if (isSymbol(ps[prev].tok, u'-'))
                    sign = QStringLiteral("-");
                ps[prev].kind = Piece::Kind::Skip;
                for (int g = prev + 1; g < k; ++g) // blanks between the sign and the number
                    ps[g].kind = Piece::Kind::Skip;
            }
            p.text = u'\'' + sign + text(p.tok).toString() + u'\'';
        }
        beforePrev = prev;
        prev = k;
    }
}

} // namespace

QList<TranslatedStatement> SqlTranslator::translate(const QString &batch, const std::vector<BoundKind> *kinds) const
{
    return Writer(batch, m_dialect, m_catalog, kinds).run();
}

} // namespace ado
