#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// Rows of text values kept compactly: each row is one run of bytes (per value a
// length, with null distinguished from empty, then its UTF-8 bytes) inside
// fixed-size chunks, found through one 64-bit locator per row. A million
// customer rows need little more than their text, and growing never copies.
class RowStore
{
public:
    using Value = std::optional<QByteArrayView>;

    int size() const;

    // Builds a row value by value, then adds it at the end or replaces a row.
    void beginRow();
    void addValue(const Value &value);
    void appendRow();
    void replaceRow(int row);
    void removeRow(int row);

    // Value `column` of a row; std::nullopt for null.
    Value value(int row, int column) const;

private:
    static constexpr std::size_t ChunkSize = 1 << 20;
    std::uint64_t place(const std::string &row);

    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::size_t m_used = ChunkSize;
    std::vector<std::uint64_t> m_locators;
    std::string m_building;
};

} // namespace corvane
