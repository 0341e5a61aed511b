#pragma once
// SHA-1 (FIPS 180-1): the content digest that tells identical image files apart.

#include <array>
#include <cstddef>
#include <cstdint>

namespace genswf {

class CSha1 {
public:
    using Digest = std::array<std::uint8_t, 20>;

    CSha1() { Reset(); }
    void Reset();
    void Update(const void* data, std::size_t size);
    Digest Finish();  // the digest; the object starts over

    static Digest Of(const void* data, std::size_t size);

private:
    void Block(const std::uint8_t* block);

    std::uint32_t m_state[5];
    std::uint64_t m_length;  // bytes hashed so far
    std::uint8_t m_buffer[64];
    std::size_t m_buffered;
};

}  // namespace genswf
