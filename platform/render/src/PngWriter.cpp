// PNG output with fixed settings, so the same pixels always give the same bytes, and files that
// appear whole or not at all.

#include "Internal.h"
#include "base/files/AtomicFile.h"

#include <png.h>

#include <zlib.h>

#include <unistd.h>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace render {

std::uint32_t Raster::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

namespace detail {
namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

void PngWarning(png_structp, png_const_charp) {}

// Writes the picture one row at a time: `fillRow(y, row)` puts row y into `row`, which the caller
// owns so that it outlives the longjmp target. No copy of the whole picture is made.
template <class FillRow>
bool WritePng(int width, int height, bool withAlpha, std::vector<std::uint8_t>& row, FillRow fillRow,
              std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    // Fast deflate with the "up" filter: slide pictures are mostly flat areas and repeated rows.
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        fillRow(y, row.data());
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeSurfacePng(cairo_surface_t* surface, bool withAlpha) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int channels = withAlpha ? 4 : 3;
    auto fillRow = [&](int y, std::uint8_t* dst) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x, dst += channels) {
            const std::uint32_t v = src[x];
            std::uint32_t a = hasAlpha ? v >> 24 : 255;
            std::uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
            if (a != 255 && a != 0) {  // cairo keeps colours premultiplied
                r = (r * 255 + a / 2) / a;
                g = (g * 255 + a / 2) / a;
                b = (b * 255 + a / 2) / a;
            } else if (a == 0) {
                r = g = b = 0;
            }
            dst[0] = static_cast<std::uint8_t>(r);
            dst[1] = static_cast<std::uint8_t>(g);
            dst[2] = static_cast<std::uint8_t>(b);
            if (withAlpha) dst[3] = static_cast<std::uint8_t>(a);
        }
    };
    std::vector<std::uint8_t> row(static_cast<size_t>(w) * channels);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<size_t>(w) * h * channels / 8 + 1024);
    if (!WritePng(w, h, withAlpha, row, fillRow, out)) throw RenderError("PNG encoding failed");
    return out;
}

void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Exported pictures are handed straight to the next step: whole or absent is enough.
    if (base::files::WriteFileAtomically(path.string(), bytes, 0666, base::files::Flush::No) != 0)
        throw RenderError("Cannot write file " + path.string());
}

}  // namespace detail

std::vector<std::uint8_t> EncodePng(const Raster& raster, bool withAlpha) {
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.rgba.size() != static_cast<size_t>(raster.width) * raster.height * 4)
        throw RenderError("PNG encoding: raster size does not match its pixels");
    const int channels = withAlpha ? 4 : 3;
    const std::uint8_t* base = raster.rgba.data();
    const size_t width = static_cast<size_t>(raster.width);
    auto fillRow = [&](int y, std::uint8_t* dst) {
        const std::uint8_t* src = base + static_cast<size_t>(y) * width * 4;
        if (withAlpha) {
            std::copy(src, src + width * 4, dst);
            return;
        }
        for (size_t x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    };
    std::vector<std::uint8_t> row(width * channels);
    std::vector<std::uint8_t> out;
    if (!detail::WritePng(raster.width, raster.height, withAlpha, row, fillRow, out))
        throw RenderError("PNG encoding failed");
    return out;
}

}  // namespace render
