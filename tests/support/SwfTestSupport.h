#pragma once
// Small SWF files written in the test: a header, a frame rectangle, rate and count, and a body.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace swftest {

struct FrameRect {
    int bits = 15;
    std::int32_t xMin = 0, xMax = 11000, yMin = 0, yMax = 8000;
};

inline void PutBits(std::vector<std::uint8_t>& out, int& bitPos, std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (bitPos == 0) out.push_back(0);
        if ((value >> i) & 1u) out.back() = static_cast<std::uint8_t>(out.back() | (0x80u >> bitPos));
        bitPos = (bitPos + 1) % 8;
    }
}

// The uncompressed file; `signature` goes into the header as given.
inline std::vector<std::uint8_t> Plain(const FrameRect& r = FrameRect(), std::uint16_t rate = 0x0C00,
                                       std::uint16_t count = 7,
                                       const std::vector<std::uint8_t>& tags = {0x40, 0x00, 0x00, 0x00},
                                       std::uint8_t version = 8, const std::string& signature = "FWS") {
    std::vector<std::uint8_t> out(signature.begin(), signature.end());
    out.push_back(version);
    out.insert(out.end(), 4, 0);
    int bitPos = 0;
    const std::uint32_t mask = r.bits >= 32 ? ~0u : ((1u << r.bits) - 1u);
    PutBits(out, bitPos, static_cast<std::uint32_t>(r.bits), 5);
    for (std::int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax})
        PutBits(out, bitPos, static_cast<std::uint32_t>(v) & mask, r.bits);
    out.push_back(static_cast<std::uint8_t>(rate & 0xFF));
    out.push_back(static_cast<std::uint8_t>(rate >> 8));
    out.push_back(static_cast<std::uint8_t>(count & 0xFF));
    out.push_back(static_cast<std::uint8_t>(count >> 8));
    out.insert(out.end(), tags.begin(), tags.end());
    const auto len = static_cast<std::uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(len >> (8 * i));
    return out;
}

inline std::vector<std::uint8_t> Deflate(const std::uint8_t* data, std::size_t size, int level) {
    uLongf packedSize = compressBound(static_cast<uLong>(size));
    std::vector<std::uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, data, static_cast<uLong>(size), level);
    packed.resize(packedSize);
    return packed;
}

// The same movie as "CWS": the header keeps the uncompressed length, the body is deflated.
inline std::vector<std::uint8_t> Compressed(const std::vector<std::uint8_t>& plain, int level = 6) {
    std::vector<std::uint8_t> out(plain.begin(), plain.begin() + 8);
    out[0] = 'C';
    const auto body = Deflate(plain.data() + 8, plain.size() - 8, level);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace swftest
