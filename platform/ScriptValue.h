#pragma once

#include "platform/Decimal.h"

#include <QString>

#include <memory>
#include <variant>

namespace platform {

class Dictionary;
class Collection;

// A value held by the scripting runtime's Dictionary and Collection, and so by the
// JSON tree: Empty, Null, a Boolean, a text, a Decimal, or a container. Containers are
// shared by reference, as objects are: copying a value does not copy the container.
class ScriptValue {
public:
    enum class Kind { Empty, Null, Bool, Text, Decimal, Dictionary, Collection };

    ScriptValue() = default;
    ScriptValue(bool v) : m_value(v) {}
    ScriptValue(const QString &v) : m_value(v) {}
    ScriptValue(QString &&v) : m_value(std::move(v)) {}
    ScriptValue(const char *v) : m_value(QString::fromUtf8(v)) {}
    ScriptValue(const Decimal &v) : m_value(v) {}
    ScriptValue(std::shared_ptr<Dictionary> v) : m_value(std::move(v)) {}
    ScriptValue(std::shared_ptr<Collection> v) : m_value(std::move(v)) {}

    static ScriptValue null();

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNull() const { return kind() == Kind::Null; }
    bool isObject() const { return kind() == Kind::Dictionary || kind() == Kind::Collection; }

    // The container held, or null for any other kind.
    std::shared_ptr<Dictionary> dictionary() const;
    std::shared_ptr<Collection> collection() const;

    // As text, the way the runtime converts a value: Empty and Null give "", Booleans
    // "Verdadero"/"Falso", decimals use the regional decimal separator. A container
    // has no text: Type mismatch (13) is raised.
    QString toString() const;
    // Decimals as their value, Booleans -1/0, texts by their leading number, else 0.
    // A container raises Type mismatch (13).
    double toDouble() const;

    // Containers compare by identity, decimals by value.
    bool operator==(const ScriptValue &other) const;

private:
    struct NullTag {
        bool operator==(const NullTag &) const { return true; }
    };
    using Storage = std::variant<std::monostate, NullTag, bool, QString, Decimal, std::shared_ptr<Dictionary>,
                                 std::shared_ptr<Collection>>;
    Storage m_value;

    friend class ReleaseQueue;
};

// Containers hold each other through shared pointers, so dropping the last reference
// to a deep tree would release it one stack frame per level. Dictionary and Collection
// hand their values to this queue instead, which releases them one at a time.
class ReleaseQueue {
public:
    // Takes the values' containers (the rest is released at once with the values).
    template <typename It, typename Proj> static void release(It first, It last, Proj value)
    {
        for (; first != last; ++first)
            park(value(*first));
        drain();
    }

private:
    static void park(ScriptValue &value);
    template <typename T> static bool parkLastReference(ScriptValue &value);
    static void drain();
};

} // namespace platform
