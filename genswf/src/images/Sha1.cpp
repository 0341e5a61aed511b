#include "Sha1.h"

#include <algorithm>
#include <cstring>

namespace genswf {

namespace {

inline std::uint32_t Rotl(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }
inline std::uint32_t Choose(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return (x & y) | (~x & z); }
inline std::uint32_t Parity(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t Majority(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return (x & y) | (x & z) | (y & z); }

}  // namespace

void CSha1::Reset() {
    m_state[0] = 0x67452301u;
    m_state[1] = 0xEFCDAB89u;
    m_state[2] = 0x98BADCFEu;
    m_state[3] = 0x10325476u;
    m_state[4] = 0xC3D2E1F0u;
    m_length = 0;
    m_buffered = 0;
}

void CSha1::Block(const std::uint8_t* block) {
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
        w[i] = (std::uint32_t(block[i * 4]) << 24) | (std::uint32_t(block[i * 4 + 1]) << 16) |
               (std::uint32_t(block[i * 4 + 2]) << 8) | std::uint32_t(block[i * 4 + 3]);
    }
    for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);

    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3], e = m_state[4];
    // Five steps at a time with the roles of the words rotated instead of moved.
#define BC_SHA1_STEP(f, k, a, b, c, d, e, i) \
    e += Rotl(a, 5) + (f) + (k) + w[i];      \
    b = Rotl(b, 30);
#define BC_SHA1_FIVE(f, k, i)                         \
    BC_SHA1_STEP(f(b, c, d), k, a, b, c, d, e, i)     \
    BC_SHA1_STEP(f(a, b, c), k, e, a, b, c, d, i + 1) \
    BC_SHA1_STEP(f(e, a, b), k, d, e, a, b, c, i + 2) \
    BC_SHA1_STEP(f(d, e, a), k, c, d, e, a, b, i + 3) \
    BC_SHA1_STEP(f(c, d, e), k, b, c, d, e, a, i + 4)
    for (int i = 0; i < 20; i += 5) {
        BC_SHA1_FIVE(Choose, 0x5A827999u, i)
    }
    for (int i = 20; i < 40; i += 5) {
        BC_SHA1_FIVE(Parity, 0x6ED9EBA1u, i)
    }
    for (int i = 40; i < 60; i += 5) {
        BC_SHA1_FIVE(Majority, 0x8F1BBCDCu, i)
    }
    for (int i = 60; i < 80; i += 5) {
        BC_SHA1_FIVE(Parity, 0xCA62C1D6u, i)
    }
#undef BC_SHA1_FIVE
#undef BC_SHA1_STEP
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    m_state[4] += e;
}

void CSha1::Update(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_length += size;
    if (m_buffered > 0) {
        const std::size_t take = std::min(size, sizeof(m_buffer) - m_buffered);
        std::memcpy(m_buffer + m_buffered, p, take);
        m_buffered += take;
        p += take;
        size -= take;
        if (m_buffered < sizeof(m_buffer)) return;
        Block(m_buffer);
        m_buffered = 0;
    }
    for (; size >= 64; p += 64, size -= 64) Block(p);
    if (size > 0) {
        std::memcpy(m_buffer, p, size);
        m_buffered = size;
    }
}

CSha1::Digest CSha1::Finish() {
    const std::uint64_t bits = m_length * 8;
    static const std::uint8_t kPad[64] = {0x80};
    const std::size_t padding = m_buffered < 56 ? 56 - m_buffered : 120 - m_buffered;
    Update(kPad, padding);
    std::uint8_t tail[8];
    for (int i = 0; i < 8; ++i) tail[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Update(tail, 8);

    Digest digest{};
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 4; ++j) digest[i * 4 + j] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * j));
    }
    Reset();
    return digest;
}

CSha1::Digest CSha1::Of(const void* data, std::size_t size) {
    CSha1 sha;
    sha.Update(data, size);
    return sha.Finish();
}

}  // namespace genswf
