#pragma once

#include "json/cStringBuilder.h"

#include "platform/ScriptValue.h"

#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace platform {
class Collection;
class Dictionary;
} // namespace platform

// One read of a JSON text (see JSON.h). Containers are read with an explicit stack
// rather than by recursion, so any depth of nesting ends without exhausting the
// call stack.
class JsonReader {
public:
    // Messages go to `errors`; the text must outlive the reader.
    JsonReader(const QString &text, QString &errors);

    // The root object or array, or Empty ("Invalid JSON").
    platform::ScriptValue read();
    // After read(): the text that follows the root, blanks and comments skipped.
    QString trailing();

    // Beyond this many characters further messages are left out: a message may quote
    // the rest of the text, and a long malformed text could otherwise ask for
    // quadratic memory.
    static constexpr qsizetype ErrorTextLimit = 16 * 1024 * 1024;

private:
    // An object or array being read.
    struct Frame {
        platform::ScriptValue container;
        platform::Dictionary *dictionary = nullptr; // object
        platform::Collection *collection = nullptr; // array
        QString key;                                // object: the member being read
        qsizetype valueStart = 0;                   // where the current value began
    };
    // The run-time error state of the read: set by a value that cannot be read or
    // added, cleared only before each value.
    struct Failure {
        bool set = false;
        QString description;
    };

    platform::ScriptValue readTree(bool object);
    bool openContainer(bool object, platform::ScriptValue &container);
    bool nextMember();
    void deliver(platform::ScriptValue value, bool valueFailed);
    bool addValue(Frame &frame, platform::ScriptValue value, bool valueFailed);
    void closeTop();

    void SaltarBlancos();
    platform::ScriptValue LeerEscalar(bool &failed);
    QString LeerClave();
    bool readPlainKey(QString &key);
    QString sharedKey(QStringView key);
    QString LeerCadena();
    platform::ScriptValue LeerNumero(bool &failed);
    platform::ScriptValue LeerBooleano();
    platform::ScriptValue LeerNulo();
    void readEscape();

    bool within() const { return m_pos < m_size; }
    char16_t current() const { return m_text[m_pos]; }
    bool startsWith(QStringView word) const;
    QStringView rest() const { return QStringView(m_text + m_pos, m_size - m_pos); }
    QStringView nextChars(qsizetype count) const;
    QStringView lastChars(qsizetype count) const;
    QString position() const { return QString::number(m_pos + 1); }
    void report(const QString &head, QStringView tail);

    const char16_t *m_text;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QString &m_errors;
    Failure m_failure;
    std::vector<Frame> m_stack;
    cStringBuilder m_buffer;
    // Keys recently read: the members of a list of similar objects share one copy.
    std::array<QString, 256> m_keys;
};
