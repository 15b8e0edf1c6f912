#include "records/rowstore.h"

#include <cstring>

namespace corvane {

namespace {

// Lengths are stored as LEB128 varints of length + 1; 0 marks a null value.
void putVarint(std::string &out, std::uint64_t n)
{
    while (n >= 0x80) {
        out.push_back(char((n & 0x7f) | 0x80));
        n >>= 7;
    }
    out.push_back(char(n));
}

std::uint64_t getVarint(const char *&p)
{
    std::uint64_t n = 0;
    int shift = 0;
    unsigned char byte;
    do {
        byte = static_cast<unsigned char>(*p++);
        n |= std::uint64_t(byte & 0x7f) << shift;
        shift += 7;
    } while (byte & 0x80);
    return n;
}

} // namespace

int RowStore::size() const
{
    return int(m_locators.size());
}

void RowStore::beginRow()
{
    m_building.clear();
}

void RowStore::addValue(const Value &value)
{
    if (!value) {
        putVarint(m_building, 0);
        return;
    }
    putVarint(m_building, std::uint64_t(value->size()) + 1);
    m_building.append(value->data(), value->size());
}

void RowStore::appendRow()
{
    m_locators.push_back(place(m_building));
}

void RowStore::replaceRow(int row)
{
    // The old bytes stay behind unused; edits are rare next to the rows read.
    m_locators.at(std::size_t(row)) = place(m_building);
}

void RowStore::removeRow(int row)
{
    m_locators.erase(m_locators.begin() + row);
}

std::uint64_t RowStore::place(const std::string &row)
{
    const std::size_t length = row.size();
    if (length > ChunkSize) {
        // An outsized row gets a chunk of its own; the next row starts afresh.
        m_chunks.push_back(std::make_unique<char[]>(length));
        m_used = ChunkSize;
    } else if (m_chunks.empty() || m_used + length > ChunkSize) {
        m_chunks.push_back(std::make_unique<char[]>(ChunkSize));
        m_used = 0;
    }
    const std::uint64_t chunk = m_chunks.size() - 1;
    const std::size_t offset = length > ChunkSize ? 0 : m_used;
    std::memcpy(m_chunks.back().get() + offset, row.data(), length);
    if (length <= ChunkSize)
        m_used += length;
    return chunk << 32 | offset;
}

RowStore::Value RowStore::value(int row, int column) const
{
    const std::uint64_t locator = m_locators.at(std::size_t(row));
    const char *p = m_chunks[locator >> 32].get() + (locator & 0xffffffffu);
    for (int i = 0; i < column; ++i) {
        const std::uint64_t n = getVarint(p);
        if (n > 0)
            p += n - 1;
    }
    const std::uint64_t n = getVarint(p);
    if (n == 0)
        return std::nullopt;
    return QByteArrayView(p, qsizetype(n - 1));
}

} // namespace corvane
