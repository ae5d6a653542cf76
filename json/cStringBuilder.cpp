#include "cStringBuilder.h"

#include "platform/StandardErrors.h"

#include <cstring>
#include <limits>

namespace {

using platform::errors::error;
namespace errors = platform::errors;

constexpr std::int64_t kMaxBytes = std::numeric_limits<std::int32_t>::max();

// Characters to bytes, raising Overflow past the 32-bit range.
std::int64_t toBytes(std::int64_t characters)
{
    const std::int64_t bytes = characters * 2;
    if (bytes > kMaxBytes || bytes < -kMaxBytes - 1)
        throw error(errors::Overflow);
    return bytes;
}

void checkSize(std::int64_t bytes)
{
    if (bytes > kMaxBytes)
        throw error(errors::Overflow);
}

} // namespace

void cStringBuilder::ChunkSize(std::int32_t iChunkSize)
{
    // A chunk below one character could never make room for anything.
    if (iChunkSize <= 0)
        throw error(errors::InvalidArgument);
    m_chunkSize = std::int32_t(toBytes(iChunkSize));
}

QString cStringBuilder::toString() const
{
    if (m_used == 0)
        return QString();
    return QString(m_storage.constData(), Length());
}

void cStringBuilder::growFor(std::int64_t needBytes)
{
    checkSize(needBytes);
    if (needBytes <= m_capacity)
        return;
    const std::int64_t chunks = (needBytes - m_capacity + m_chunkSize - 1) / m_chunkSize;
    const std::int64_t capacity = m_capacity + chunks * m_chunkSize;
    checkSize(capacity);
    // The spare room is filled with blanks; the content keeps its place.
    m_storage.resize(capacity / 2, QLatin1Char(' '));
    m_capacity = std::int32_t(capacity);
    storageChanged();
}

void cStringBuilder::storageChanged()
{
    m_bytes = m_storage.isEmpty() ? nullptr : reinterpret_cast<char *>(m_storage.data());
}

void cStringBuilder::TheString(QStringView sThis)
{
    if (sThis.isEmpty()) {
        Clear();
        return;
    }
    const std::int64_t length = toBytes(sThis.size());
    growFor(length);
    std::memcpy(m_bytes, sThis.data(), std::size_t(length));
    m_used = std::int32_t(length);
}

void cStringBuilder::Clear()
{
    m_storage = QString();
    m_used = 0;
    m_capacity = 0;
    storageChanged();
}

void cStringBuilder::Append(QStringView sThis)
{
    // The reader appends once per run of plain characters: keep this path short.
    if (sThis.isEmpty())
        return;
    const std::int64_t need = m_used + std::int64_t(sThis.size()) * 2;
    if (need > m_capacity)
        growFor(need); // raises Overflow past the 32-bit range
    std::memcpy(m_bytes + m_used, sThis.data(), std::size_t(need - m_used));
    m_used = std::int32_t(need);
}

void cStringBuilder::AppendNL(QStringView sThis)
{
    Append(sThis);
    Append(u"\r\n");
}

void cStringBuilder::Insert(std::int32_t iIndex, QStringView sThis)
{
    if (iIndex < 0 || iIndex > Length())
        throw error(errors::SubscriptOutOfRange);
    const std::int64_t at = toBytes(iIndex);
    const std::int64_t length = toBytes(sThis.size());
    if (length == 0)
        return;
    growFor(m_used + length);
    std::memmove(m_bytes + at + length, m_bytes + at, std::size_t(m_used - at));
    std::memcpy(m_bytes + at, sThis.data(), std::size_t(length));
    m_used += std::int32_t(length);
}

void cStringBuilder::Remove(std::int32_t iIndex, std::int32_t lLen)
{
    if (iIndex < 0 || iIndex > Length())
        throw error(errors::SubscriptOutOfRange);
    const std::int64_t end = std::int64_t(iIndex) + lLen;
    if (end > std::numeric_limits<std::int32_t>::max())
        throw error(errors::Overflow);
    if (lLen < 0 || end > Length())
        throw error(errors::SubscriptOutOfRange);
    if (lLen == 0)
        return;
    const std::int64_t from = toBytes(end);
    const std::int64_t to = toBytes(iIndex);
    std::memmove(m_bytes + to, m_bytes + from, std::size_t(m_used - from));
    m_used -= std::int32_t(toBytes(lLen));
}

std::int32_t cStringBuilder::Find(QStringView sToFind, std::int32_t lStartIndex, std::int32_t compare) const
{
    if (compare != 0 && compare != 1)
        throw error(errors::InvalidArgument);
    const qsizetype from = lStartIndex >= 1 ? lStartIndex - 1 : 0;
    // Searching the content alone never reports an occurrence in the spare room.
    const QStringView content(m_storage.constData(), Length());
    const qsizetype at = content.indexOf(sToFind, from, compare == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return at < 0 ? 0 : std::int32_t(at + 1);
}

void cStringBuilder::HeapMinimize()
{
    const std::int64_t spare = m_capacity - m_used;
    if (spare <= m_chunkSize)
        return;
    const std::int64_t chunks = (spare - m_chunkSize + m_chunkSize - 1) / m_chunkSize;
    m_capacity = std::int32_t(m_capacity - chunks * m_chunkSize);
    m_storage.resize(m_capacity / 2);
    m_storage.squeeze();
    storageChanged();
}
