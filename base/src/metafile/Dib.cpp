// Decoding device-independent bitmaps into RGBA pixels, every read bounded by the bytes given.

#include "base/metafile/Dib.h"

#include "base/bytes/ByteView.h"

namespace base::metafile {

using base::bytes::ByteView;

namespace {

// Run-length coded 8- and 4-bit bitmaps: runs of one index (or of two alternating nibbles),
// literal stretches, line ends and jumps. Pixels no code reaches stay transparent, as the
// background shows through them.
bool DecodeRle(const std::uint8_t* p, size_t size, int w, int h, int bits, const std::vector<std::uint32_t>& palette,
               DibPixels& out) {
    out.width = w;
    out.height = h;
    out.rgba.assign(static_cast<size_t>(w) * h * 4, 0);
    auto put = [&](int x, int y, unsigned index) {
        if (x < 0 || x >= w || y < 0 || y >= h) return;
        const std::uint32_t rgb = index < palette.size() ? palette[index] : 0;
        std::uint8_t* d = &out.rgba[(static_cast<size_t>(h - 1 - y) * w + x) * 4];
        d[0] = rgb & 0xFF;
        d[1] = (rgb >> 8) & 0xFF;
        d[2] = (rgb >> 16) & 0xFF;
        d[3] = 255;
    };
    int x = 0, y = 0;
    size_t at = 0;
    while (at + 2 <= size && y < h) {
        const unsigned count = p[at], value = p[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < w; ++i, ++x)
                put(x, y, bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0xF));
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // jump right and up
            if (at + 2 > size) break;
            x += p[at];
            y += p[at + 1];
            at += 2;
        } else {  // a literal stretch, padded to a 16-bit boundary
            const size_t bytes = bits == 8 ? value : (value + 1) / 2;
            if (at + bytes > size) break;
            for (unsigned i = 0; i < value; ++i, ++x)
                put(x, y, bits == 8 ? p[at + i] : (i % 2 == 0 ? p[at + i / 2] >> 4 : p[at + i / 2] & 0xF));
            at += (bytes + 1) & ~size_t(1);
        }
    }
    return true;
}

}  // namespace

bool DecodeDib(const std::uint8_t* data, size_t size, DibPixels& out, std::int64_t maxSide, std::int64_t maxPixels) {
    size_t fileOffsetBits = 0;
    if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
        fileOffsetBits = ByteView(data, size).U32(10);
        data += 14;
        size -= 14;
        fileOffsetBits = fileOffsetBits >= 14 ? fileOffsetBits - 14 : 0;
    }
    if (size < 12) return false;
    const ByteView dib(data, size);
    const std::uint32_t headerSize = dib.U32(0);
    std::int64_t w, h;
    int bits;
    std::uint32_t compression = 0, colorsUsed = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {
        w = dib.U16(4);
        h = dib.I16(6);
        bits = dib.U16(10);
        paletteEntry = 3;
    } else if (headerSize >= 40 && headerSize <= size) {
        w = dib.I32(4);
        h = dib.I32(8);
        bits = dib.U16(14);
        compression = dib.U32(16);
        colorsUsed = dib.U32(32);
    } else {
        return false;
    }
    const bool topDown = h < 0;
    if (topDown) h = -h;
    if (w <= 0 || h <= 0 || w > maxSide || h > maxSide || w * h > maxPixels) return false;
    std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    std::uint32_t alphaMask = 0;  // none: opaque
    size_t offset = headerSize;
    if (compression == 3 /* bit fields */ && (bits == 16 || bits == 32)) {
        if (headerSize == 40) {
            if (size < 52) return false;
            for (int i = 0; i < 3; ++i) masks[i] = dib.U32(40 + 4 * i);
            offset += 12;
        } else {
            for (int i = 0; i < 3; ++i) masks[i] = dib.U32(40 + 4 * i);
            // Headers from the fourth version on carry an alpha mask after the colour masks.
            if (headerSize >= 56) alphaMask = dib.U32(52);
        }
    } else if ((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) {
        // run-length coded: decoded once the palette is read
    } else if (compression != 0) {
        return false;  // embedded JPEG/PNG bitmaps are not read
    } else if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        size_t count = colorsUsed ? colorsUsed : (size_t(1) << bits);
        if (count > 256) return false;
        if (offset + count * paletteEntry > size) return false;
        for (size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = data + offset + i * paletteEntry;
            palette.push_back(p[2] | (p[1] << 8) | (p[0] << 16));  // r, g, b in low to high bytes
        }
        offset += count * paletteEntry;
    }
    if (fileOffsetBits > offset && fileOffsetBits < size) offset = fileOffsetBits;
    if (compression == 1 || compression == 2) {
        if (topDown || offset > size) return false;  // run-length bitmaps are stored bottom-up
        return DecodeRle(data + offset, size - offset, static_cast<int>(w), static_cast<int>(h), bits, palette, out);
    }
    const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    if (offset > size || stride * static_cast<size_t>(h) > size - offset) return false;
    auto channel = [](std::uint32_t v, std::uint32_t mask) -> std::uint8_t {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        const std::uint64_t m = mask >> shift, c = (v & mask) >> shift;
        return static_cast<std::uint8_t>(c * 255 / m);
    };
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.rgba.assign(static_cast<size_t>(w * h * 4), 0);
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* src = data + offset + stride * static_cast<size_t>(topDown ? y : h - 1 - y);
        const ByteView row(src, stride);
        std::uint8_t* dst = &out.rgba[static_cast<size_t>(y * w * 4)];
        for (std::int64_t x = 0; x < w; ++x, dst += 4) {
            std::uint32_t rgb = 0;
            std::uint8_t alpha = 255;
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
                const std::uint32_t index = (src[x / perByte] >> shift) & ((1u << bits) - 1);
                rgb = index < palette.size() ? palette[index] : 0;
                break;
            }
            case 16: {
                std::uint32_t v = row.U16(2 * x);
                rgb = channel(v, masks[0]) | (channel(v, masks[1]) << 8) | (channel(v, masks[2]) << 16);
                if (alphaMask) alpha = channel(v, alphaMask);
                break;
            }
            case 24:
                rgb = src[3 * x + 2] | (src[3 * x + 1] << 8) | (src[3 * x] << 16);
                break;
            case 32: {
                std::uint32_t v = row.U32(4 * x);
                rgb = channel(v, masks[0]) | (channel(v, masks[1]) << 8) | (channel(v, masks[2]) << 16);
                if (alphaMask) alpha = channel(v, alphaMask);
                break;
            }
            }
            dst[0] = rgb & 0xFF;
            dst[1] = (rgb >> 8) & 0xFF;
            dst[2] = (rgb >> 16) & 0xFF;
            dst[3] = alpha;
        }
    }
    return true;
}

}  // namespace base::metafile
