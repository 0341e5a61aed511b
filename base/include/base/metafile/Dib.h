// Device-independent bitmaps, as metafiles and picture blips hold them: header, colour table and
// bits, with or without the 14-byte file header. The renderer and the compiler decode them here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace base::metafile {

// Straight (not premultiplied) RGBA pixels, rows top first.
struct DibPixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// Bitmaps wider or higher than maxSide, or of more than maxPixels pixels, are refused before any
// pixel memory is taken. 1, 4, 8, 16, 24 and 32 bits a pixel, bit fields and run-length coded
// 4- and 8-bit bitmaps are read; pixels a run-length code never reaches stay transparent. Pixels
// are opaque unless a bit-field header of the fourth version or later gives an alpha mask.
bool DecodeDib(const std::uint8_t* data, std::size_t size, DibPixels& out, std::int64_t maxSide,
               std::int64_t maxPixels);

}  // namespace base::metafile
