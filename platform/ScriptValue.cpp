#include "ScriptValue.h"

#include "platform/StandardErrors.h"
#include "platform/Variant.h"

#include <vector>

namespace platform {

ScriptValue ScriptValue::null()
{
    ScriptValue v;
    v.m_value = NullTag{};
    return v;
}

std::shared_ptr<Dictionary> ScriptValue::dictionary() const
{
    const auto *p = std::get_if<std::shared_ptr<Dictionary>>(&m_value);
    return p ? *p : nullptr;
}

std::shared_ptr<Collection> ScriptValue::collection() const
{
    const auto *p = std::get_if<std::shared_ptr<Collection>>(&m_value);
    return p ? *p : nullptr;
}

QString ScriptValue::toString() const
{
    switch (kind()) {
    case Kind::Empty:
    case Kind::Null:
        return QString();
    case Kind::Bool:
        return Variant(std::get<bool>(m_value)).toString();
    case Kind::Text:
        return std::get<QString>(m_value);
    case Kind::Decimal:
        return std::get<Decimal>(m_value).toString(regional().decimalSeparator);
    case Kind::Dictionary:
    case Kind::Collection:
        break;
    }
    throw errors::error(errors::TypeMismatch);
}

double ScriptValue::toDouble() const
{
    switch (kind()) {
    case Kind::Empty:
    case Kind::Null:
        return 0.0;
    case Kind::Bool:
        return std::get<bool>(m_value) ? -1.0 : 0.0;
    case Kind::Text:
        return Variant(std::get<QString>(m_value)).toDouble();
    case Kind::Decimal:
        return std::get<Decimal>(m_value).toDouble();
    case Kind::Dictionary:
    case Kind::Collection:
        break;
    }
    throw errors::error(errors::TypeMismatch);
}

bool ScriptValue::operator==(const ScriptValue &other) const { return m_value == other.m_value; }

namespace {
struct PendingReleases {
    std::vector<std::shared_ptr<void>> containers;
    bool draining = false;
};
thread_local PendingReleases pending;
} // namespace

template <typename T> bool ReleaseQueue::parkLastReference(ScriptValue &value)
{
    auto *p = std::get_if<std::shared_ptr<T>>(&value.m_value);
    if (!p || p->use_count() != 1)
        return false;
    pending.containers.push_back(std::move(*p));
    return true;
}

void ReleaseQueue::park(ScriptValue &value)
{
    if (!parkLastReference<Dictionary>(value))
        parkLastReference<Collection>(value);
}

void ReleaseQueue::drain()
{
    if (pending.draining)
        return; // an outer drain releases what was parked
    pending.draining = true;
    while (!pending.containers.empty()) {
        std::shared_ptr<void> last = std::move(pending.containers.back());
        pending.containers.pop_back();
    } // each container released here parks its own containers
    pending.draining = false;
}

} // namespace platform
