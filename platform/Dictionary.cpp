#include "Dictionary.h"

#include "platform/StandardErrors.h"

namespace platform {

namespace {
// Up to this many members a scan beats hashing every key.
constexpr std::size_t kScanLimit = 32;
} // namespace

Dictionary::~Dictionary()
{
    ReleaseQueue::release(m_members.begin(), m_members.end(),
                          [](auto &member) -> ScriptValue & { return member.second; });
}

int Dictionary::find(const QString &key) const
{
    if (m_members.size() > kScanLimit)
        return m_index.value(key, -1);
    for (std::size_t i = 0; i < m_members.size(); ++i) {
        if (m_members[i].first == key)
            return int(i);
    }
    return -1;
}

void Dictionary::append(QString key, ScriptValue item)
{
    if (m_members.empty())
        m_members.reserve(8);
    m_members.emplace_back(std::move(key), std::move(item));
    if (m_members.size() == kScanLimit + 1) {
        for (std::size_t i = 0; i < m_members.size(); ++i)
            m_index.insert(m_members[i].first, int(i));
    } else if (m_members.size() > kScanLimit + 1) {
        m_index.insert(m_members.back().first, int(m_members.size() - 1));
    }
}

Status Dictionary::Add(QString key, ScriptValue item)
{
    if (find(key) >= 0)
        return Status::failure(errors::description(errors::DuplicateKey), errors::DuplicateKey);
    append(std::move(key), std::move(item));
    return Status();
}

ScriptValue Dictionary::Item(const QString &key) const
{
    const int i = find(key);
    return i < 0 ? ScriptValue() : m_members[std::size_t(i)].second;
}

void Dictionary::setItem(const QString &key, ScriptValue item)
{
    const int i = find(key);
    if (i < 0)
        append(key, std::move(item));
    else
        m_members[std::size_t(i)].second = std::move(item);
}

QStringList Dictionary::Keys() const
{
    QStringList keys;
    keys.reserve(Count());
    for (const auto &member : m_members)
        keys << member.first;
    return keys;
}

} // namespace platform
