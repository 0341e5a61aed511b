// PNG output with fixed settings, so the same pixels always give the same bytes, and files that
// appear whole or not at all.

#include "Internal.h"
#include "base/files/AtomicFile.h"

#include <png.h>

#include <zlib.h>

#include <unistd.h>
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

// Rows must outlive the longjmp target, so the caller owns them.
bool WritePng(const std::vector<png_bytep>& rows, int width, int height, bool withAlpha,
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
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
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
    std::vector<std::uint8_t> pixels(static_cast<size_t>(w) * h * channels);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        std::uint8_t* dst = &pixels[static_cast<size_t>(y) * w * channels];
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
    }
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) rows[static_cast<size_t>(y)] = &pixels[static_cast<size_t>(y) * w * channels];
    std::vector<std::uint8_t> out;
    out.reserve(pixels.size() / 4 + 1024);
    if (!WritePng(rows, w, h, withAlpha, out)) throw RenderError("PNG encoding failed");
    return out;
}

void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    if (base::files::WriteFileAtomically(path.string(), bytes) != 0)
        throw RenderError("Cannot write file " + path.string());
}

}  // namespace detail

std::vector<std::uint8_t> EncodePng(const Raster& raster, bool withAlpha) {
    if (raster.width <= 0 || raster.height <= 0 ||
        raster.rgba.size() != static_cast<size_t>(raster.width) * raster.height * 4)
        throw RenderError("PNG encoding: raster size does not match its pixels");
    const int channels = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> pixels;
    const std::uint8_t* base = raster.rgba.data();
    if (!withAlpha) {
        pixels.resize(static_cast<size_t>(raster.width) * raster.height * 3);
        for (size_t i = 0, n = static_cast<size_t>(raster.width) * raster.height; i < n; ++i) {
            pixels[3 * i] = base[4 * i];
            pixels[3 * i + 1] = base[4 * i + 1];
            pixels[3 * i + 2] = base[4 * i + 2];
        }
        base = pixels.data();
    }
    std::vector<png_bytep> rows(static_cast<size_t>(raster.height));
    for (int y = 0; y < raster.height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(base + static_cast<size_t>(y) * raster.width * channels);
    std::vector<std::uint8_t> out;
    if (!detail::WritePng(rows, raster.width, raster.height, withAlpha, out)) throw RenderError("PNG encoding failed");
    return out;
}

}  // namespace render
