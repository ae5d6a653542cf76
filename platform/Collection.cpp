#include "Collection.h"

#include "platform/StandardErrors.h"

namespace platform {

Collection::~Collection()
{
    ReleaseQueue::release(m_items.begin(), m_items.end(), [](ScriptValue &item) -> ScriptValue & { return item; });
}

const ScriptValue &Collection::Item(int index) const
{
    if (index < 1 || index > Count())
        throw errors::error(errors::SubscriptOutOfRange);
    return m_items[std::size_t(index - 1)];
}

} // namespace platform
