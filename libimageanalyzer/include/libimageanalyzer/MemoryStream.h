#pragma once
// Byte streams the PNG codec reads from.

#include <cstddef>
#include <cstdint>

namespace libimageanalyzer {

class CInputStream {
public:
    virtual ~CInputStream() = default;
    // Copies up to count bytes; a negative count reads nothing. Returns the bytes copied.
    virtual long long Read(void* buffer, long long count) = 0;
    // relative: from the current position, else from the start; the result is clamped to the
    // data and returned.
    virtual long long Seek(long long offset, bool relative) = 0;
    virtual long long GetSize() const = 0;
    virtual long long GetPosition() const = 0;
};

// A stream over bytes someone else owns; they must outlive the stream.
class CMemoryStream : public CInputStream {
public:
    CMemoryStream(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(static_cast<long long>(size)) {}

    long long Read(void* buffer, long long count) override;
    long long Seek(long long offset, bool relative) override;
    long long GetSize() const override { return m_size; }
    long long GetPosition() const override { return m_position; }

private:
    const std::uint8_t* m_data;
    long long m_size;
    long long m_position = 0;
};

}  // namespace libimageanalyzer
