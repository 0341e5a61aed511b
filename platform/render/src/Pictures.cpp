// Picture decoding (PNG, JPEG, DIB), brightness and contrast, and drawing pictures into a box.

#include "Internal.h"

#include "base/bytes/ByteView.h"
#include "base/metafile/Dib.h"
#include "base/metafile/WmfRecords.h"

#include <png.h>

#include <jpeglib.h>
#include <cstdio>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>

namespace render {
namespace detail {

namespace {

bool SizeAcceptable(std::int64_t w, std::int64_t h) {
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels;
}

using base::bytes::ByteView;

}  // namespace

PictureFormat SniffFormat(const std::vector<std::uint8_t>& b) {
    const ByteView v(b);
    if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return PictureFormat::Png;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return PictureFormat::Jpeg;
    if (b.size() >= 4 && v.U32(0) == base::metafile::kPlaceableKey) return PictureFormat::Wmf;
    if (b.size() >= 44 && v.U32(0) == 1 && std::memcmp(b.data() + 40, " EMF", 4) == 0) return PictureFormat::Emf;
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return PictureFormat::Dib;
    if (b.size() >= 4 && (v.U32(0) == 40 || v.U32(0) == 12 || v.U32(0) == 108 || v.U32(0) == 124))
        return PictureFormat::Dib;
    if (b.size() >= 18 && (v.U16(0) == 1 || v.U16(0) == 2) && v.U16(2) == 9) return PictureFormat::Wmf;
    return PictureFormat::Unknown;
}

// Whether no chunk up to the end chunk claims more than the bytes hold. libpng takes memory for the
// length a chunk claims before reading it, so a damaged length is refused here first.
bool PngChunksFit(const std::vector<std::uint8_t>& bytes) {
    size_t at = 8;
    while (bytes.size() - at >= 12) {
        const std::uint32_t length = ByteView(bytes).BeU32(at);
        if (length > bytes.size() - at - 12) return false;
        if (std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0) return true;
        at += 12 + size_t(length);
    }
    return true;  // cut short after a whole chunk: libpng says whether that is enough
}

bool DecodePng(const std::vector<std::uint8_t>& bytes, Pixels& out) {
    if (bytes.size() < 8 || !PngChunksFit(bytes)) return false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
    if (!SizeAcceptable(image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

void JpegQuiet(j_common_ptr, int) {}

}  // namespace

bool DecodeJpeg(const std::vector<std::uint8_t>& bytes, Pixels& out) {
    if (bytes.empty()) return false;
    jpeg_decompress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    err.mgr.emit_message = JpegQuiet;
    std::vector<std::uint8_t> row;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (!SizeAcceptable(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
    const int comps = info.output_components;
    if ((cmyk && comps != 4) || (!cmyk && comps != 3)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out.width = w;
    out.height = h;
    out.rgba.assign(static_cast<size_t>(w) * h * 4, 0);
    row.resize(static_cast<size_t>(w) * comps);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rowPtr = row.data();
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, &rowPtr, 1) != 1) break;
        std::uint8_t* dst = &out.rgba[static_cast<size_t>(y) * w * 4];
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* s = &row[static_cast<size_t>(x) * comps];
            if (cmyk) {
                // Adobe's CMYK JPEGs store the channels inverted.
                dst[4 * x] = static_cast<std::uint8_t>(s[0] * s[3] / 255);
                dst[4 * x + 1] = static_cast<std::uint8_t>(s[1] * s[3] / 255);
                dst[4 * x + 2] = static_cast<std::uint8_t>(s[2] * s[3] / 255);
            } else {
                dst[4 * x] = s[0];
                dst[4 * x + 1] = s[1];
                dst[4 * x + 2] = s[2];
            }
            dst[4 * x + 3] = 255;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool DecodeDib(const std::uint8_t* data, size_t size, Pixels& out) {
    base::metafile::DibPixels px;
    if (!base::metafile::DecodeDib(data, size, px, kMaxSide, kMaxPixels)) return false;
    out.width = px.width;
    out.height = px.height;
    out.rgba = std::move(px.rgba);
    return true;
}

bool AverageDibColor(const std::uint8_t* data, size_t size, std::uint32_t& bgr) {
    Pixels px;
    if (!DecodeDib(data, size, px) || px.rgba.empty()) return false;
    std::uint64_t sum[3] = {0, 0, 0};
    const size_t n = px.rgba.size() / 4;
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) sum[c] += px.rgba[i * 4 + c];
    bgr = std::uint32_t(sum[0] / n) | (std::uint32_t(sum[1] / n) << 8) | (std::uint32_t(sum[2] / n) << 16);
    return true;
}

std::uint8_t ToneMap::Apply(std::uint8_t c) const {
    // Contrast scales the distance from middle grey (0.5 keeps it, 0 flattens everything to grey,
    // towards 1 it thresholds); brightness then shifts every channel, 0 and 1 reaching black and
    // white whatever the colour.
    const double k = std::isfinite(contrast) ? std::clamp(contrast, 0.0, 1.0) : 0.5;
    const double factor = k <= 0.5 ? 2 * k : 0.5 / std::max(1e-6, 1 - k);
    const double b = std::isfinite(brightness) ? std::clamp(brightness, 0.0, 1.0) : 0.5;
    double v = (c / 255.0 - 0.5) * factor + 0.5;
    v += (b - 0.5) * 2;
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

namespace {

// Grey of the same lightness: the weights of the eye's response to each primary.
std::uint8_t Luma(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return static_cast<std::uint8_t>((r * 299 + g * 587 + b * 114 + 500) / 1000);
}

}  // namespace

std::uint32_t ToneMap::ApplyRgb(std::uint32_t bgr) const {
    if (Identity()) return bgr;
    std::uint32_t r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    if (color != PictureColor::Automatic) r = g = b = Luma(r, g, b);
    r = Apply(static_cast<std::uint8_t>(r));
    g = Apply(static_cast<std::uint8_t>(g));
    b = Apply(static_cast<std::uint8_t>(b));
    if (color == PictureColor::BlackAndWhite) r = g = b = r >= 128 ? 255 : 0;
    return r | (g << 8) | (b << 16);
}

namespace {

// How a bitmap is shown: its colour mode, brightness and contrast, and a colour made transparent.
struct Recolor {
    ToneMap tone;
    bool hasTransparent = false;
    std::uint32_t transparent = 0;  // 0x00BBGGRR
    static Recolor Of(const PictureData& p) {
        return Recolor{ToneMap::Of(p), p.hasTransparentColor, p.transparentColor & 0xFFFFFF};
    }
    bool operator==(const Recolor& o) const {
        return tone.brightness == o.tone.brightness && tone.contrast == o.tone.contrast && tone.color == o.tone.color &&
               hasTransparent == o.hasTransparent && (!hasTransparent || transparent == o.transparent);
    }
};

SurfacePtr ToSurface(const Pixels& px, const Recolor& recolor) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, px.width, px.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    const ToneMap& tone = recolor.tone;
    const bool perChannel = tone.color == PictureColor::Automatic;
    std::uint8_t lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = tone.Identity() ? static_cast<std::uint8_t>(i) : tone.Apply(static_cast<std::uint8_t>(i));
    cairo_surface_flush(surface.get());
    unsigned char* base = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < px.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(base + static_cast<size_t>(y) * stride);
        const std::uint8_t* s = &px.rgba[static_cast<size_t>(y) * px.width * 4];
        for (int x = 0; x < px.width; ++x, s += 4) {
            const std::uint32_t bgr = s[0] | (s[1] << 8) | (s[2] << 16);
            // The transparent colour is matched on the stored pixels, before any recolouring.
            std::uint32_t a = recolor.hasTransparent && bgr == recolor.transparent ? 0 : s[3];
            std::uint32_t r, g, b;
            if (perChannel) {
                r = lut[s[0]];
                g = lut[s[1]];
                b = lut[s[2]];
            } else {
                const std::uint32_t c = tone.ApplyRgb(bgr);
                r = c & 0xFF;
                g = (c >> 8) & 0xFF;
                b = (c >> 16) & 0xFF;
            }
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void Placeholder(cairo_t* cr, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
    cairo_fill_preserve(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, w, h);
    cairo_move_to(cr, w, 0);
    cairo_line_to(cr, 0, h);
    cairo_identity_matrix(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// The same picture is often drawn again and again (a background on every slide, a logo on
// every slide): the last few decoded pictures are kept, per thread, by content and tone.
struct CacheEntry {
    std::array<std::uint8_t, 20> digest;
    size_t size;
    Recolor recolor;
    SurfacePtr surface;  // null: the bytes could not be decoded
};

cairo_surface_t* CachedSurface(const std::vector<std::uint8_t>& bytes, PictureFormat format, const Recolor& recolor) {
    thread_local std::vector<CacheEntry> cache;
    constexpr size_t kEntries = 8;
    const std::array<std::uint8_t, 20> digest = DigestOf(bytes);
    for (size_t i = 0; i < cache.size(); ++i) {
        CacheEntry& e = cache[i];
        if (e.digest == digest && e.size == bytes.size() && e.recolor == recolor) {
            std::rotate(cache.begin(), cache.begin() + static_cast<long>(i), cache.begin() + static_cast<long>(i) + 1);
            return cache.front().surface.get();
        }
    }
    Pixels px;
    bool ok = false;
    switch (format) {
    case PictureFormat::Png:
        ok = DecodePng(bytes, px);
        break;
    case PictureFormat::Jpeg:
        ok = DecodeJpeg(bytes, px);
        break;
    case PictureFormat::Dib:
        ok = DecodeDib(bytes.data(), bytes.size(), px);
        break;
    default:
        ok = false;
        break;  // enhanced metafiles and unknown bytes
    }
    SurfacePtr surface = ok ? ToSurface(px, recolor) : nullptr;
    // Big pictures are not kept, so the cache stays small.
    if (surface && static_cast<std::int64_t>(px.width) * px.height > 8 * 1000 * 1000) {
        thread_local SurfacePtr last;
        last = std::move(surface);
        return last.get();
    }
    if (cache.size() == kEntries) cache.pop_back();
    cache.insert(cache.begin(), CacheEntry{digest, bytes.size(), recolor, std::move(surface)});
    return cache.front().surface.get();
}

double Frac(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }

}  // namespace

void DrawPicture(cairo_t* cr, const PictureData& picture, double w, double h) {
    if (!(w > 0) || !(h > 0)) return;
    PictureFormat format = picture.format == PictureFormat::Unknown ? SniffFormat(picture.bytes) : picture.format;
    const ToneMap tone = ToneMap::Of(picture);
    const double cl = Frac(picture.cropLeft), cr_ = Frac(picture.cropRight);
    const double ct = Frac(picture.cropTop), cb = Frac(picture.cropBottom);
    const double visW = 1 - cl - cr_, visH = 1 - ct - cb;
    if (visW <= 1e-6 || visH <= 1e-6) return;  // cropped away entirely

    if (format == PictureFormat::Wmf || format == PictureFormat::Emf) {
        WmfFile wmf;
        const bool readable = format == PictureFormat::Emf || ReadWmf(picture.bytes, wmf);
        if (readable) {
            cairo_save(cr);
            cairo_rectangle(cr, 0, 0, w, h);
            cairo_clip(cr);
            // The whole picture spans w / visW; shift so the visible part fills the box.
            const double fullW = w / visW, fullH = h / visH;
            cairo_translate(cr, -cl * fullW, -ct * fullH);
            bool played = true;
            if (format == PictureFormat::Wmf)
                PlayWmf(cr, wmf, fullW, fullH, tone);
            else
                played = PlayEmf(cr, picture.bytes, fullW, fullH, tone);
            cairo_restore(cr);
            if (played) return;
        }
        Placeholder(cr, w, h);
        return;
    }
    cairo_surface_t* decoded = CachedSurface(picture.bytes, format, Recolor::Of(picture));
    if (!decoded) {
        Placeholder(cr, w, h);
        return;
    }
    SurfacePtr surface(cairo_surface_reference(decoded));
    Pixels px;
    px.width = cairo_image_surface_get_width(decoded);
    px.height = cairo_image_surface_get_height(decoded);
    // The crop becomes a sub-picture, so smoothing never pulls in pixels that were cut away.
    const double x0 = std::floor(cl * px.width + 1e-6), y0 = std::floor(ct * px.height + 1e-6);
    const double x1 = std::max(x0 + 1, std::ceil((1 - cr_) * px.width - 1e-6));
    const double y1 = std::max(y0 + 1, std::ceil((1 - cb) * px.height - 1e-6));
    SurfacePtr part(cairo_surface_create_for_rectangle(surface.get(), x0, y0, x1 - x0, y1 - y0));
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_clip(cr);
    const double srcW = px.width * visW, srcH = px.height * visH;
    cairo_scale(cr, w / srcW, h / srcH);
    cairo_translate(cr, -(cl * px.width - x0), -(ct * px.height - y0));
    cairo_set_source_surface(cr, part.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace detail
}  // namespace render
