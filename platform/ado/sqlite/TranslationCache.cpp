#include "TranslationCache.h"

#include "platform/ado/ValueConversion.h"

#include <initializer_list>

namespace ado {

namespace {

constexpr int kIndexDigits = 6;
const QLatin1String kNumberMark("987654"); // a placeholder number: 987654nnnnnn
constexpr QChar kStringMark = QChar(0x01); // a placeholder text: '\x01nnnnnn'

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_'
            || u == u'@' || u == u'#' || u == u'$';
    return c.isLetterOrNumber();
}

// Index of the character closing a quoted piece that starts at `open`; -1 when unterminated.
qsizetype closing(const QString &sql, qsizetype open, QChar close, bool doubledEscapes)
{
    for (qsizetype j = open + 1; j < sql.size(); ++j) {
        if (sql[j] != close)
            continue;
        if (doubledEscapes && j + 1 < sql.size() && sql[j + 1] == close) {
            ++j;
            continue;
        }
        return j;
    }
    return -1;
}

// Text that holds a placeholder's marks cannot be told from its shape.
bool hasMark(const QString &text) { return text.contains(kStringMark) || text.contains(kNumberMark); }

bool shapeable(const QString &sql) { return !hasMark(sql); }

// Words that end an ORDER BY / GROUP BY list.
bool isClauseWord(QStringView word)
{
    for (const char16_t *w : {u"LIMIT", u"HAVING", u"UNION", u"EXCEPT", u"INTERSECT", u"FROM", u"WHERE", u"SELECT",
                              u"OFFSET", u"FOR", u"OPTION", u"INTO", u"ORDER", u"GROUP"})
        if (word.compare(QStringView(w), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

// Appends the placeholder's index as kIndexDigits digits.
static void appendIndex(QString &shape, size_t index)
{
    QChar digits[kIndexDigits];
    for (int d = kIndexDigits - 1; d >= 0; --d, index /= 10)
        digits[d] = QChar(u'0' + char16_t(index % 10));
    shape.append(digits, kIndexDigits);
}

bool TranslationCache::shapeOf(const QString &sql, QString &shape, std::vector<QStringView> &literals, bool &bindable)
{
    shape.reserve(sql.size() + 64);
    bool firstWord = true;
    bindable = true;
    // ORDER BY 1 / GROUP BY 1 name a column by its number: such a number must stay in the text
    int depth = 0, byDepth = -1;
    enum class Last { Other, By, Comma } last = Last::Other;
    QStringView previousWord;
    bool afterLike = false; // the last word was LIKE (an N before a literal aside)
    const qsizetype n = sql.size();
    const QChar *s = sql.constData();
    qsizetype copied = 0; // s[copied, i) still to be appended as it stands
    auto placeholder = [&](qsizetype begin, qsizetype end, bool text) {
        shape.append(s + copied, begin - copied);
        if (text) {
            shape.append(u'\'');
            shape.append(kStringMark);
        } else {
            shape.append(kNumberMark);
        }
        appendIndex(shape, literals.size());
        if (text)
            shape.append(u'\'');
        literals.push_back(QStringView(s + begin, end - begin));
        copied = end;
    };
    for (qsizetype i = 0; i < n;) {
        const char16_t c = s[i].unicode();
        qsizetype end = i + 1;
        if (literals.size() >= 999999)
            return false;
        if (c == u'\'') {
            end = closing(sql, i, u'\'', true);
            if (end < 0)
                return false;
            // a LIKE pattern with a fixed start adds a range on it (see SqlTranslator): by its content
            if (afterLike && end > i + 1 && sql[i + 1] != u'%' && sql[i + 1] != u'_' && sql[i + 1] != u'[')
                return false;
            placeholder(i, ++end, true);
            last = Last::Other;
        } else if (c == u'-' && i + 1 < n && s[i + 1] == u'-') {
            end = sql.indexOf(u'\n', i);
            end = end < 0 ? n : end;
        } else if (c == u'/' && i + 1 < n && s[i + 1] == u'*') {
            end = sql.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return false;
            end += 2;
        } else if (c == u'[' || c == u'"') {
            end = closing(sql, i, c == u'[' ? QChar(u']') : QChar(u'"'), c == u'"');
            if (end < 0)
                return false;
            ++end;
        } else if (c >= u'0' && c <= u'9') {
            while (end < n && (s[end].isDigit() || s[end] == u'.'))
                ++end;
            if (end < n && isWordChar(s[end])) { // 1e5, 0x1F: kept as they stand
                while (end < n && isWordChar(s[end]))
                    ++end;
            } else {
                if (byDepth == depth && last != Last::Other)
                    bindable = false;
                // a number a double would round goes as text (see SqlTranslator): by its content
                const QStringView number(s + i, end - i);
                if (number.contains(u'.') && !ValueConversion::exactAsDouble(number))
                    return false;
                placeholder(i, end, false);
            }
            last = Last::Other;
        } else if (c > u' ' && isWordChar(s[i])) {
            while (end < n && isWordChar(s[end]))
                ++end;
            const QStringView word(s + i, end - i);
            // CONVERT reads its style number, TOP n PERCENT its number; CREATE and ALTER read column sizes.
            if (word.size() == 7 && word.compare(u"CONVERT", Qt::CaseInsensitive) == 0)
                return false;
            // TOP n PERCENT keeps or drops the clause by the number's value.
            if (word.size() == 7 && word.compare(u"PERCENT", Qt::CaseInsensitive) == 0)
                return false;
            if (firstWord
                && (word.compare(u"CREATE", Qt::CaseInsensitive) == 0
                    || word.compare(u"ALTER", Qt::CaseInsensitive) == 0))
                return false;
            if (firstWord && word.compare(u"PRAGMA", Qt::CaseInsensitive) == 0)
                bindable = false; // its arguments are no expressions
            firstWord = false;
            last = Last::Other;
            if (word.compare(u"BY", Qt::CaseInsensitive) == 0
                && (previousWord.compare(u"ORDER", Qt::CaseInsensitive) == 0
                    || previousWord.compare(u"GROUP", Qt::CaseInsensitive) == 0)) {
                byDepth = depth;
                last = Last::By;
            } else if (depth == byDepth && isClauseWord(word)) {
                byDepth = -1;
            }
            previousWord = word;
            if (!(word.size() == 1 && (word[0] == u'N' || word[0] == u'n') && end < n && s[end] == u'\''))
                afterLike = word.compare(u"LIKE", Qt::CaseInsensitive) == 0;
        } else if (c == u'(') {
            ++depth;
            last = Last::Other;
        } else if (c == u')') {
            if (--depth < byDepth)
                byDepth = -1;
            last = Last::Other;
        } else if (c == u',') {
            last = Last::Comma;
        } else if (c > u' ') {
            last = Last::Other;
            if (c == u';')
                byDepth = -1;
        }
        i = end;
    }
    shape.append(s + copied, n - copied);
    return true;
}

bool TranslationCache::substitute(const QString &translated, qsizetype count,
                                  const std::function<void(QString &, qsizetype)> &put, QString &out)
{
    out.clear();
    out.reserve(translated.size() + 64);
    const qsizetype n = translated.size();
    const QChar *t = translated.constData();
    auto index = [&](qsizetype at, qsizetype &value) {
        value = 0;
        if (at + kIndexDigits > n)
            return false;
        for (int d = 0; d < kIndexDigits; ++d) {
            if (!t[at + d].isDigit())
                return false;
            value = value * 10 + (t[at + d].unicode() - u'0');
        }
        return value < count;
    };
    qsizetype copied = 0;
    qsizetype text = translated.indexOf(kStringMark);
    qsizetype number = translated.indexOf(kNumberMark);
    while (text >= 0 || number >= 0) {
        qsizetype k = 0, begin = 0, end = 0;
        if (text >= 0 && (number < 0 || text < number)) { // '\x01nnnnnn'
            begin = text - 1;
            end = text + 1 + kIndexDigits + 1;
            if (begin < 0 || t[begin] != u'\'' || !index(text + 1, k) || end > n || t[end - 1] != u'\'')
                return false;
        } else { // 987654nnnnnn, standing alone
            begin = number;
            end = number + kNumberMark.size() + kIndexDigits;
            if ((begin > 0 && isWordChar(t[begin - 1])) || !index(number + kNumberMark.size(), k)
                || (end < n && isWordChar(t[end]))) {
                number = translated.indexOf(kNumberMark, number + 1);
                continue;
            }
        }
        out.append(t + copied, begin - copied);
        put(out, k);
        copied = end;
        if (text >= 0 && text < copied)
            text = translated.indexOf(kStringMark, copied);
        if (number >= 0 && number < copied)
            number = translated.indexOf(kNumberMark, copied);
    }
    out.append(t + copied, n - copied);
    return true;
}

QList<TranslatedStatement> TranslationCache::translate(const QString &sql, const std::vector<BoundKind> &kinds)
{
    QString shape;
    std::vector<QStringView> literals;
    bool bindable = false;
    const std::vector<BoundKind> *known = kinds.empty() ? nullptr : &kinds;
    if (!shapeable(sql) || !shapeOf(sql, shape, literals, bindable))
        return m_translator.translate(sql, known);
    const Entry &entry = entryFor(shape, bindable, kinds);
    QList<TranslatedStatement> result = entry.translated;
    const auto put = [&](QString &out, qsizetype k) { out.append(literals[size_t(k)]); };
    for (TranslatedStatement &st : result) {
        if (st.sql.isEmpty())
            continue;
        QString out;
        // a placeholder left over (glued to a word, so not taken for one): translate the text
        if (!substitute(st.sql, qsizetype(literals.size()), put, out) || hasMark(out))
            return m_translator.translate(sql, known);
        st.sql = std::move(out);
    }
    return result;
}

bool TranslationCache::translateBound(const QString &sql, QList<TranslatedStatement> &out,
                                      std::vector<QStringView> &literals)
{
    QString shape;
    bool bindable = false;
    literals.clear();
    if (!shapeable(sql) || !shapeOf(sql, shape, literals, bindable) || !bindable)
        return false;
    const Entry &entry = entryFor(shape, bindable);
    if (!entry.bindable)
        return false;
    out = entry.bound;
    return true;
}

const TranslationCache::Entry &TranslationCache::entryFor(const QString &shape, bool bindable,
                                                          const std::vector<BoundKind> &kinds)
{
    QString key = shape;
    if (!kinds.empty()) { // the same text for values of other kinds translates otherwise
        key += QChar(0x02);
        for (const BoundKind k : kinds)
            key += QChar(u'a' + char16_t(k));
    }
    auto it = m_shapes.constFind(key);
    if (it != m_shapes.constEnd())
        return *it;
    if (m_shapes.size() >= m_capacity)
        m_shapes.clear();
    Entry entry;
    entry.translated = m_translator.translate(shape, kinds.empty() ? nullptr : &kinds);
    entry.bound = entry.translated;
    entry.bindable = bindable;
    // the n-th literal becomes the parameter ?n+1
    const auto put = [](QString &out, qsizetype k) { out += u'?' + QString::number(k + 1); };
    for (TranslatedStatement &st : entry.bound) {
        QString out;
        if (st.sql.isEmpty())
            continue;
        if (!substitute(st.sql, 999999, put, out) || hasMark(out))
            entry.bindable = false;
        st.sql = std::move(out);
    }
    return *m_shapes.insert(key, std::move(entry));
}

} // namespace ado
