#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// A growable text buffer: the content lives at the front of one storage block that
// grows in whole chunks (8192 characters unless changed), and each piece is copied
// once into place, so building a text from many small pieces costs time in proportion
// to its length. Sizes are given and returned in characters; inside, they are kept in
// bytes (two per character) within the signed 32-bit range.
//
// Errors are raised as platform::RuntimeError and leave the buffer unchanged:
// 9 (Subscript out of range) for positions outside the content, 6 (Overflow) for a
// size past the 32-bit range, 5 (Invalid procedure call or argument) for a chunk
// size below one character.
class cStringBuilder {
public:
    cStringBuilder() = default;
    cStringBuilder(const cStringBuilder &) = delete;
    cStringBuilder &operator=(const cStringBuilder &) = delete;

    // Characters of content.
    std::int32_t Length() const { return m_used / 2; }
    // Characters of storage, content and spare room.
    std::int32_t Capacity() const { return m_capacity / 2; }
    // Growth step in characters; a new size takes effect at the next growth or HeapMinimize.
    std::int32_t ChunkSize() const { return m_chunkSize / 2; }
    void ChunkSize(std::int32_t iChunkSize);

    // The content (one copy); the empty text when there is none.
    QString toString() const;
    // The content becomes a copy of sThis; the empty text empties the buffer as Clear does.
    void TheString(QStringView sThis);
    // Gives back the storage; the chunk size is kept.
    void Clear();

    // sThis must not be a view of this buffer's own storage (use AppendByVal for that).
    void Append(QStringView sThis);
    void AppendByVal(QString sThis) { Append(sThis); }
    // Append, then a carriage return and a line feed.
    void AppendNL(QStringView sThis);
    // Inserts before the character with the 0-based index iIndex (0 = front, Length = end).
    void Insert(std::int32_t iIndex, QStringView sThis);
    void InsertByVal(std::int32_t iIndex, QString sThis) { Insert(iIndex, sThis); }
    // Removes lLen characters from the 0-based index iIndex; the capacity stays.
    void Remove(std::int32_t iIndex, std::int32_t lLen);
    // 1-based position of the first occurrence within the content from lStartIndex
    // (below 1: from the first character), 0 when none. compare 0 matches characters
    // exactly, 1 ignores case.
    std::int32_t Find(QStringView sToFind, std::int32_t lStartIndex = 1, std::int32_t compare = 0) const;
    // Gives back whole chunks of spare storage, leaving at most one chunk spare.
    void HeapMinimize();

private:
    // Grows by whole chunks until the capacity holds `needBytes`; never shrinks.
    void growFor(std::int64_t needBytes);
    // Points m_bytes at the storage after it was replaced or resized.
    void storageChanged();

    QString m_storage;                // exactly m_capacity / 2 characters
    char *m_bytes = nullptr;          // its first byte, while it has any
    std::int32_t m_chunkSize = 16384; // bytes
    std::int32_t m_used = 0;          // bytes
    std::int32_t m_capacity = 0;      // bytes
};
