#include "StatementCache.h"

#include <sqlite3.h>

namespace ado {

PreparedStatement *StatementCache::find(const QByteArray &sql)
{
    const auto it = m_index.constFind(sql);
    if (it == m_index.constEnd())
        return nullptr;
    m_order.splice(m_order.begin(), m_order, *it);
    return &m_order.front().statement;
}

PreparedStatement *StatementCache::insert(const QByteArray &sql, PreparedStatement statement)
{
    if (int(m_order.size()) >= m_capacity) {
        Slot &last = m_order.back();
        sqlite3_finalize(last.statement.stmt);
        m_index.remove(last.sql);
        m_order.pop_back();
    }
    m_order.push_front(Slot{sql, std::move(statement)});
    m_index.insert(sql, m_order.begin());
    return &m_order.front().statement;
}

void StatementCache::clear()
{
    for (Slot &slot : m_order)
        sqlite3_finalize(slot.statement.stmt);
    m_order.clear();
    m_index.clear();
}

} // namespace ado
