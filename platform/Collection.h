#pragma once

#include "platform/ScriptValue.h"

#include <vector>

namespace platform {

// The runtime's Collection without keys: values numbered from 1 in the order added.
class Collection {
public:
    Collection() = default;
    ~Collection();
    Collection(const Collection &) = delete;
    Collection &operator=(const Collection &) = delete;

    int Count() const { return int(m_items.size()); }
    void Add(ScriptValue item) { m_items.push_back(std::move(item)); }
    // The value at a 1-based position; outside 1..Count raises Subscript out of range (9).
    const ScriptValue &Item(int index) const;

    std::vector<ScriptValue>::const_iterator begin() const { return m_items.begin(); }
    std::vector<ScriptValue>::const_iterator end() const { return m_items.end(); }

private:
    std::vector<ScriptValue> m_items;
};

} // namespace platform
