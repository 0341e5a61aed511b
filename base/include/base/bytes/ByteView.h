// Reading integers from bytes of a file: a read-only window with little- and big-endian reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace base::bytes {

// A window on bytes owned elsewhere. A read of a field that does not fit in the window gives 0,
// so a short structure keeps defaults for what is missing and no read ever leaves the window.
// Reads are little-endian unless their name says big-endian (`Be`).
class ByteView {
public:
    ByteView() = default;
    ByteView(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}
    ByteView(const std::vector<std::uint8_t>& bytes) : ByteView(bytes.data(), bytes.size()) {}

    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Whether `width` bytes at `offset` lie inside the window (no overflow for any arguments).
    bool Has(std::size_t offset, std::size_t width) const { return offset <= m_size && width <= m_size - offset; }

    // The part of the window from `offset`, at most `width` bytes long; empty past the end.
    ByteView Sub(std::size_t offset, std::size_t width = SIZE_MAX) const {
        if (offset >= m_size) return ByteView();
        return ByteView(m_data + offset, width < m_size - offset ? width : m_size - offset);
    }

    std::uint8_t U8(std::size_t offset) const { return Has(offset, 1) ? m_data[offset] : 0; }
    std::uint16_t U16(std::size_t offset) const {
        return Has(offset, 2) ? static_cast<std::uint16_t>(m_data[offset] | (m_data[offset + 1] << 8)) : 0;
    }
    std::uint32_t U32(std::size_t offset) const {
        return Has(offset, 4) ? U16(offset) | (static_cast<std::uint32_t>(U16(offset + 2)) << 16) : 0;
    }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }

    std::uint16_t BeU16(std::size_t offset) const {
        return Has(offset, 2) ? static_cast<std::uint16_t>((m_data[offset] << 8) | m_data[offset + 1]) : 0;
    }
    std::uint32_t BeU32(std::size_t offset) const {
        return Has(offset, 4) ? (static_cast<std::uint32_t>(BeU16(offset)) << 16) | BeU16(offset + 2) : 0;
    }
    std::int16_t BeI16(std::size_t offset) const { return static_cast<std::int16_t>(BeU16(offset)); }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

}  // namespace base::bytes
