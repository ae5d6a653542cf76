#pragma once

#include "platform/Result.h"
#include "platform/ScriptValue.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace platform {

// The scripting runtime's Dictionary: text keys compared exactly (case-sensitive),
// members kept in the order they were added.
class Dictionary {
public:
    Dictionary() = default;
    ~Dictionary();
    Dictionary(const Dictionary &) = delete;
    Dictionary &operator=(const Dictionary &) = delete;

    int Count() const { return int(m_members.size()); }
    bool Exists(const QString &key) const { return find(key) >= 0; }
    // Adds a member at the end. A key already there fails with error 457 ("This key is
    // already associated with an element of this collection") and changes nothing.
    [[nodiscard]] Status Add(QString key, ScriptValue item);
    // The member's value; Empty when there is no such key.
    ScriptValue Item(const QString &key) const;
    // Replaces the member's value, or adds the member at the end.
    void setItem(const QString &key, ScriptValue item);
    QStringList Keys() const;

    // Members by 0-based position, in the order they were added.
    const QString &keyAt(int index) const { return m_members[std::size_t(index)].first; }
    const ScriptValue &itemAt(int index) const { return m_members[std::size_t(index)].second; }

private:
    int find(const QString &key) const;
    void append(QString key, ScriptValue item);

    std::vector<std::pair<QString, ScriptValue>> m_members;
    QHash<QString, int> m_index; // kept once the dictionary outgrows a short scan
};

} // namespace platform
