#include "TranslationCache.h"

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

} // namespace

// Appends the placeholder's index as kIndexDigits digits.
static void appendIndex(QString &shape, size_t index)
{
    QChar digits[kIndexDigits];
    for (int d = kIndexDigits - 1; d >= 0; --d, index /= 10)
        digits[d] = QChar(u'0' + char16_t(index % 10));
    shape.append(digits, kIndexDigits);
}

bool TranslationCache::shapeOf(const QString &sql, QString &shape, std::vector<QStringView> &literals)
{
    shape.reserve(sql.size() + 64);
    bool firstWord = true;
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
            placeholder(i, ++end, true);
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
                placeholder(i, end, false);
            }
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
            firstWord = false;
        }
        i = end;
    }
    shape.append(s + copied, n - copied);
    return true;
}

bool TranslationCache::substitute(const QString &translated, const std::vector<QStringView> &literals, QString &out)
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
        return value < qsizetype(literals.size());
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
        out.append(literals[size_t(k)]);
        copied = end;
        if (text >= 0 && text < copied)
            text = translated.indexOf(kStringMark, copied);
        if (number >= 0 && number < copied)
            number = translated.indexOf(kNumberMark, copied);
    }
    out.append(t + copied, n - copied);
    return true;
}

QList<TranslatedStatement> TranslationCache::translate(const QString &sql)
{
    QString shape;
    std::vector<QStringView> literals;
    if (sql.contains(kStringMark) || !shapeOf(sql, shape, literals))
        return m_translator.translate(sql);
    auto it = m_shapes.constFind(shape);
    if (it == m_shapes.constEnd()) {
        if (m_shapes.size() >= m_capacity)
            m_shapes.clear();
        it = m_shapes.insert(shape, m_translator.translate(shape));
    }
    QList<TranslatedStatement> result = *it;
    for (TranslatedStatement &st : result) {
        if (st.sql.isEmpty())
            continue;
        QString out;
        if (!substitute(st.sql, literals, out))
            return m_translator.translate(sql);
        st.sql = std::move(out);
    }
    return result;
}

} // namespace ado
