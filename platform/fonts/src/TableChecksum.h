#pragma once
// The checksum of a TrueType table: its big-endian 32-bit words summed, the last word padded
// with zeros.

#include "base/bytes/ByteView.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fonts {

inline std::uint32_t TableChecksum(const std::uint8_t* p, std::size_t length) {
    std::uint32_t sum = 0;
    const base::bytes::ByteView table(p, length);
    std::size_t i = 0;
    for (; i + 4 <= length; i += 4) sum += table.BeU32(i);
    if (i < length) {
        std::uint8_t tail[4] = {0, 0, 0, 0};
        std::memcpy(tail, p + i, length - i);
        sum += base::bytes::ByteView(tail, sizeof tail).BeU32(0);
    }
    return sum;
}

}  // namespace fonts
