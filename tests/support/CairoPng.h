#pragma once
// PNG bytes read back with cairo's own reader, independent of the writer under test: straight
// (not premultiplied) RGBA, empty when cairo cannot read them.

#include "render/BcRender.h"

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace bctest {

// Decodes PNG bytes with cairo's own reader, independent of the writer under test.
inline render::Raster DecodeWithCairo(const std::vector<std::uint8_t>& png) {
    struct Reader {
        const std::vector<std::uint8_t>* data;
        std::size_t pos;
    } reader{&png, 0};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* out, unsigned int length) {
            auto* r = static_cast<Reader*>(closure);
            if (r->pos + length > r->data->size()) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(out, r->data->data() + r->pos, length);
            r->pos += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    render::Raster out;
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
        out.width = cairo_image_surface_get_width(s);
        out.height = cairo_image_surface_get_height(s);
        const int stride = cairo_image_surface_get_stride(s);
        const bool alpha = cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32;
        out.rgba.resize(static_cast<std::size_t>(out.width) * out.height * 4);
        for (int y = 0; y < out.height; ++y) {
            for (int x = 0; x < out.width; ++x) {
                std::uint32_t v =
                    reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) + y * stride)[x];
                std::uint32_t a = alpha ? v >> 24 : 255;
                std::uint8_t* d = &out.rgba[(static_cast<std::size_t>(y) * out.width + x) * 4];
                for (int i = 0; i < 3; ++i) {
                    std::uint32_t c = (v >> (16 - 8 * i)) & 0xFF;
                    d[i] = static_cast<std::uint8_t>(a ? (c * 255 + a / 2) / a : 0);
                }
                d[3] = static_cast<std::uint8_t>(a);
            }
        }
    }
    cairo_surface_destroy(s);
    return out;
}

}  // namespace bctest
