#include "JsonReader.h"

#include "platform/Collection.h"
#include "platform/Decimal.h"
#include "platform/Dictionary.h"

#include <algorithm>

using platform::Collection;
using platform::Decimal;
using platform::Dictionary;
using platform::ScriptValue;

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

bool isNumberChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

JsonReader::JsonReader(const QString &text, QString &errors)
    : m_text(reinterpret_cast<const char16_t *>(text.constData())), m_size(text.size()), m_errors(errors)
{}

ScriptValue JsonReader::read()
{
    SaltarBlancos();
    if (within() && (current() == u'{' || current() == u'['))
        return readTree(current() == u'{');
    m_errors = QStringLiteral("Invalid JSON");
    return {};
}

// The loop of every open container: the top of the stack reads its next member or
// item; a nested object or array is pushed, and a container that ends hands itself
// to the one below.
ScriptValue JsonReader::readTree(bool object)
{
    ScriptValue root;
    if (!openContainer(object, root))
        return root;
    while (!m_stack.empty()) {
        if (!nextMember()) {
            closeTop();
            continue;
        }
        Frame &frame = m_stack.back();
        if (frame.dictionary)
            frame.key = LeerClave();
        m_failure = Failure();
        SaltarBlancos();
        frame.valueStart = m_pos;
        if (within() && (current() == u'{' || current() == u'[')) {
            ScriptValue child;
            if (!openContainer(current() == u'{', child))
                deliver(std::move(child), false);
            continue;
        }
        bool failed = false;
        ScriptValue value = LeerEscalar(failed);
        deliver(std::move(value), failed);
    }
    return root;
}

// Starts an object or array at the position; false (and an empty container) when the
// character there does not open one.
bool JsonReader::openContainer(bool object, ScriptValue &container)
{
    Frame frame;
    if (object) {
        auto dictionary = std::make_shared<Dictionary>();
        frame.dictionary = dictionary.get();
        container = ScriptValue(std::move(dictionary));
    } else {
        auto collection = std::make_shared<Collection>();
        frame.collection = collection.get();
        container = ScriptValue(std::move(collection));
    }
    SaltarBlancos();
    const char16_t open = object ? u'{' : u'[';
    if (!within() || current() != open) {
        report(QStringLiteral("Invalid %1 at position %2 : ")
                   .arg(object ? QStringLiteral("Object") : QStringLiteral("Array"), position()),
               object ? rest() : nextChars(20));
        return false;
    }
    ++m_pos;
    frame.container = container;
    m_stack.push_back(std::move(frame));
    return true;
}

// The head of the member loop: false when the container on top ends here.
bool JsonReader::nextMember()
{
    const bool object = m_stack.back().dictionary != nullptr;
    SaltarBlancos();
    if (within() && current() == (object ? u'}' : u']')) {
        ++m_pos;
        return false;
    }
    if (within() && current() == u',') {
        ++m_pos;
        SaltarBlancos(); // a member follows whatever stands here
        return true;
    }
    if (!within()) {
        report(object ? QStringLiteral("Missing '}': ") : QStringLiteral("Missing ']': "), lastChars(20));
        return false;
    }
    return true;
}

void JsonReader::closeTop()
{
    ScriptValue done = std::move(m_stack.back().container);
    m_stack.pop_back();
    deliver(std::move(done), false);
}

// Hands a value to the container on top; a container that stops hands itself on.
void JsonReader::deliver(ScriptValue value, bool valueFailed)
{
    while (!m_stack.empty()) {
        if (addValue(m_stack.back(), std::move(value), valueFailed))
            return;
        value = std::move(m_stack.back().container);
        m_stack.pop_back();
        valueFailed = false;
    }
}

// Adds the value read (unless its reading failed); false when the container stops.
bool JsonReader::addValue(Frame &frame, ScriptValue value, bool valueFailed)
{
    if (!valueFailed) {
        if (frame.dictionary) {
            const platform::Status added = frame.dictionary->Add(frame.key, std::move(value));
            if (!added)
                m_failure = {true, added.message()};
        } else {
            frame.collection->Add(std::move(value));
        }
    }
    if (m_failure.set) {
        report(m_failure.description + QStringLiteral(": "), frame.dictionary ? QStringView(frame.key) : nextChars(20));
        return false;
    }
    // An item that did not move the position (an invalid literal) would be read
    // again for ever: the array ends with the literal's message instead. At the end of
    // the text (cut off after a comma) the loop goes on, to say that "]" is missing.
    return frame.dictionary || m_pos != frame.valueStart || !within();
}

// A blank is a space, tab, line end or parenthesis; comments run from two slashes to
// the line end, or from a slash and a star to a star and a slash. The flags follow
// each character as the table of the reader's dialect sets them.
void JsonReader::SaltarBlancos()
{
    bool start = false;
    bool comment = false;
    bool longComment = false;
    for (; m_pos < m_size; ++m_pos) {
        switch (m_text[m_pos]) {
        case u'\r':
        case u'\n':
            if (!longComment)
                start = comment = false;
            break;
        case u'\t':
        case u' ':
        case u'(':
        case u')':
            break;
        case u'/':
            if (longComment) {
                if (start)
                    longComment = start = comment = false;
            } else if (start) {
                start = false;
                comment = true;
            } else {
                start = true;
                comment = longComment = false;
            }
            break;
        case u'*':
            if (start) {
                start = false;
                comment = longComment = true;
            } else {
                start = true;
            }
            break;
        default:
            if (!comment)
                return;
        }
    }
}

ScriptValue JsonReader::LeerEscalar(bool &failed)
{
    if (within()) {
        switch (current()) {
        case u'"':
        case u'\'':
            return ScriptValue(LeerCadena());
        case u't':
        case u'f':
            return LeerBooleano();
        case u'n':
            return LeerNulo();
        default:
            break;
        }
    }
    return LeerNumero(failed);
}

// Keys have no escapes: quotes toggle, blanks are dropped even inside quotes, and an
// unquoted ":" ends the key.
QString JsonReader::LeerClave()
{
    SaltarBlancos();
    QString key;
    if (readPlainKey(key))
        return key;
    bool inDouble = false;
    bool inSingle = false;
    qsizetype run = m_pos;
    auto flush = [&] { key.append(QStringView(m_text + run, m_pos - run)); };
    while (within()) {
        const char16_t c = current();
        if (c == u'"' || c == u'\'') {
            flush();
            ++m_pos;
            bool &flag = c == u'"' ? inDouble : inSingle;
            flag = !flag;
            if (!flag) {
                SaltarBlancos();
                if (!within() || current() != u':') {
                    report(QStringLiteral("Invalid Key at position %1 : ").arg(position()), key);
                    return key;
                }
            }
            run = m_pos;
        } else if (c == u':' || c == u'\r' || c == u'\n' || c == u'\t' || c == u' ') {
            flush();
            ++m_pos;
            if (c == u':') {
                if (!inDouble && !inSingle)
                    return key;
                key.append(QLatin1Char(':'));
            }
            run = m_pos;
        } else {
            ++m_pos;
        }
    }
    flush();
    return key;
}

// The usual key, quoted or bare, with no blank or quote inside and ":" after it, read
// in one step; false (the position unmoved) for any other shape.
bool JsonReader::readPlainKey(QString &key)
{
    if (!within())
        return false;
    const bool quoted = current() == u'"' || current() == u'\'';
    const qsizetype start = quoted ? m_pos + 1 : m_pos;
    qsizetype end = start;
    for (; end < m_size; ++end) {
        const char16_t c = m_text[end];
        if (c == u'"' || c == u'\'' || c == u':' || c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            break;
    }
    if (end == m_size || (quoted ? m_text[end] != current() : m_text[end] != u':'))
        return false;
    const QStringView plain(m_text + start, end - start);
    m_pos = quoted ? end + 1 : end;
    if (quoted) {
        SaltarBlancos();
        if (!within() || current() != u':') {
            key = plain.toString();
            report(QStringLiteral("Invalid Key at position %1 : ").arg(position()), key);
            return true;
        }
    }
    ++m_pos; // the ":"
    key = sharedKey(plain);
    return true;
}

QString JsonReader::sharedKey(QStringView key)
{
    QString &cached = m_keys[qHash(key) % m_keys.size()];
    if (cached != key)
        cached = key.toString();
    return cached;
}

// The text up to the closing quote of the same kind; an unterminated string runs to
// the end of the text.
QString JsonReader::LeerCadena()
{
    SaltarBlancos();
    const char16_t quote = current();
    ++m_pos;
    m_buffer.Remove(0, m_buffer.Length());
    qsizetype run = m_pos;
    auto flush = [&] { m_buffer.Append(QStringView(m_text + run, m_pos - run)); };
    while (within()) {
        const char16_t c = current();
        if (c == u'\\') {
            flush();
            ++m_pos;
            readEscape();
            run = m_pos;
        } else if (c == quote) {
            flush();
            ++m_pos;
            return m_buffer.toString();
        } else {
            ++m_pos;
        }
    }
    flush();
    return m_buffer.toString();
}

// The character after a backslash; an unknown one stays to be read as itself.
void JsonReader::readEscape()
{
    if (!within())
        return;
    char16_t added = 0;
    switch (current()) {
    case u'"':
    case u'\\':
    case u'/':
    case u'\'':
        added = current();
        break;
    case u'b':
        added = 8;
        break;
    case u'f':
        added = 12;
        break;
    case u'n':
        added = u'\n';
        break;
    case u'r':
        added = u'\r';
        break;
    case u't':
        added = u'\t';
        break;
    case u'u': {
        // Up to four hexadecimal digits; the reading stops at the first other character.
        const QStringView digits = QStringView(m_text + m_pos + 1, std::min<qsizetype>(4, m_size - m_pos - 1));
        int code = 0;
        for (const QChar d : digits) {
            const int value = hexDigit(d.unicode());
            if (value < 0)
                break;
            code = code * 16 + value;
        }
        const char16_t unit = char16_t(code);
        m_buffer.Append(QStringView(&unit, 1));
        m_pos = std::min(m_pos + 5, m_size);
        return;
    }
    default:
        return;
    }
    m_buffer.Append(QStringView(&added, 1));
    ++m_pos;
}

// Gathers sign, digits, points and exponent letters; a number that runs to the end of
// the text is not converted and reads as Empty.
ScriptValue JsonReader::LeerNumero(bool &failed)
{
    SaltarBlancos();
    const qsizetype start = m_pos;
    while (within() && isNumberChar(current()))
        ++m_pos;
    if (!within())
        return {};
    auto number = Decimal::fromText(QStringView(m_text + start, m_pos - start));
    if (!number) {
        m_failure = {true, number.message()};
        failed = true;
        return {};
    }
    return ScriptValue(number.value());
}

bool JsonReader::startsWith(QStringView word) const { return rest().startsWith(word); }

ScriptValue JsonReader::LeerBooleano()
{
    SaltarBlancos();
    if (startsWith(u"true")) {
        m_pos += 4;
        return ScriptValue(true);
    }
    if (startsWith(u"false")) {
        m_pos += 5;
        return ScriptValue(false);
    }
    report(QStringLiteral("Invalid Boolean at position %1 : ").arg(position()), rest());
    return ScriptValue(false);
}

ScriptValue JsonReader::LeerNulo()
{
    SaltarBlancos();
    if (startsWith(u"null")) {
        m_pos += 4;
        return ScriptValue::null();
    }
    report(QStringLiteral("Invalid null value at position %1 : ").arg(position()), rest());
    return {};
}

QStringView JsonReader::nextChars(qsizetype count) const
{
    return QStringView(m_text + m_pos, std::min(count, m_size - m_pos));
}

QStringView JsonReader::lastChars(qsizetype count) const
{
    const qsizetype length = std::min(count, m_size);
    return QStringView(m_text + m_size - length, length);
}

void JsonReader::report(const QString &head, QStringView tail)
{
    const qsizetype length = head.size() + tail.size() + kLineEnd.size();
    if (m_errors.size() + length > ErrorTextLimit)
        return;
    m_errors.append(head).append(tail).append(kLineEnd);
}

QString JsonReader::trailing()
{
    SaltarBlancos();
    return rest().toString();
}
