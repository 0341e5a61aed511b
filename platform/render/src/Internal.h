#pragma once
// Shared pieces of the renderer's sources.

#include "render/BcRender.h"
#include "render/BcWmf.h"

#include <cairo.h>

#include <array>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace render {
namespace detail {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

// Pictures larger than this (in pixels) are refused: decoded or rendered.
constexpr std::int64_t kMaxPixels = 40 * 1000 * 1000;
constexpr int kMaxSide = 20000;

// Straight RGBA pixels of a decoded raster picture.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

PictureFormat SniffFormat(const std::vector<std::uint8_t>& bytes);
bool DecodePng(const std::vector<std::uint8_t>& bytes, Pixels& out);
bool DecodeJpeg(const std::vector<std::uint8_t>& bytes, Pixels& out);
// A device-independent bitmap: header and bits, with or without the 14-byte file header.
bool DecodeDib(const std::uint8_t* data, size_t size, Pixels& out);
// The mean colour (0x00BBGGRR) of a bitmap: how a pattern brush made of it looks from afar.
bool AverageDibColor(const std::uint8_t* data, size_t size, std::uint32_t& bgr);

// Colour after the picture's colour mode, brightness and contrast (automatic, 0.5 and 0.5 leave
// it alone).
struct ToneMap {
    double brightness = 0.5, contrast = 0.5;
    PictureColor color = PictureColor::Automatic;
    static ToneMap Of(const PictureData& p) {
        if (p.color == PictureColor::Washout) return ToneMap{0.75, 0.15, PictureColor::Automatic};
        return ToneMap{p.brightness, p.contrast, p.color};
    }
    bool Identity() const { return brightness == 0.5 && contrast == 0.5 && color == PictureColor::Automatic; }
    // One channel through brightness and contrast only.
    std::uint8_t Apply(std::uint8_t c) const;
    std::uint32_t ApplyRgb(std::uint32_t bgr) const;  // 0x00BBGGRR
    // Copies the settings onto a picture drawn inside another one (a metafile's bitmap).
    void CopyTo(PictureData& p) const {
        p.brightness = brightness;
        p.contrast = contrast;
        p.color = color;
    }
};

// Draws the picture into the box (0, 0, w, h) of the current user space, cropped; a picture
// that cannot be decoded shows as a placeholder frame.
void DrawPicture(cairo_t* cr, const PictureData& picture, double w, double h);

// Plays a metafile into the box (0, 0, w, h) of the current user space.
void PlayWmf(cairo_t* cr, const WmfFile& wmf, double w, double h, const ToneMap& tone);

// Plays an enhanced metafile into the box (0, 0, w, h); false when the bytes are not one.
bool PlayEmf(cairo_t* cr, const std::vector<std::uint8_t>& bytes, double w, double h, const ToneMap& tone);

// Text of a metafile picture: the font as the metafile gives it (logical units), its
// alignment flags, colour, and the reference point (x, y); advances from `dx` where given.
struct MetafileFont {
    double height = -12;  // negative: the em; positive: the cell
    int weight = 400;
    bool italic = false, underline = false;
    double escapement = 0;  // tenths of a degree, counter-clockwise
    std::wstring face;
};
struct MetafileTextStyle {
    MetafileFont font;
    std::uint32_t align = 0;  // TA_* flags
    std::uint32_t color = 0;  // 0x00BBGGRR
};
// Returns the pen's advance along x in logical units.
double DrawMetafileText(cairo_t* cr, const MetafileTextStyle& style, const std::wstring& text,
                        const std::vector<double>& dx, double x, double y, const ToneMap& tone);

// PNG encoding of a cairo image surface (ARGB32 or RGB24).
std::vector<std::uint8_t> EncodeSurfacePng(cairo_surface_t* surface, bool withAlpha);
// The same bytes, taken from the pictures encoded last when one of them has these pixels.
std::vector<std::uint8_t> EncodeSurfacePngOnce(cairo_surface_t* surface, bool withAlpha);

// Writes a picture's file; a failure leaves no partial file and an earlier file is only ever
// replaced whole (nothing is flushed to disk: a picture is scratch for whoever asked for it).
void WritePictureFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// Appends the bytes that tell a shape drawing apart from every drawing with other pixels; false
// (the key left partly written) when its text painter gives no key. placed: drawn on a slide,
// where the frame's place shows; else as the shape's own picture, where only its size does.
bool AppendDrawingKey(const ShapeDrawing& shape, std::string& key, bool placed = true);
void AppendFillKey(const FillData& fill, std::string& key);

// The SHA-1 of some bytes: what tells stored pictures apart wherever they are remembered.
std::array<std::uint8_t, 20> DigestOf(const std::vector<std::uint8_t>& bytes);

}  // namespace detail

// The renderer's way into a PictureMemory.
struct PictureMemoryAccess {
    static bool FindPng(PictureMemory& memory, const std::string& key, std::vector<std::uint8_t>& png);
    static void KeepPng(PictureMemory& memory, std::string key, const std::vector<std::uint8_t>& png);
    // A copy of the kept layer, to draw on; null when there is none.
    static detail::SurfacePtr FindLayer(PictureMemory& memory, const std::string& key);
    static void KeepLayer(PictureMemory& memory, std::string key, cairo_surface_t* surface);
};

}  // namespace render
