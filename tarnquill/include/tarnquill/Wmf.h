// Windows metafiles read into drawing paths: pens, brushes, polygons, polylines,
// rectangles, round rectangles, ellipses, poly-polygons, bitmaps, window origin and extent and
// the mapping mode. The compiler turns the paths into SWF shapes; a renderer can draw them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnquill::wmf {

class WmfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Coordinates are in the picture's frame scaled to the unit square: (0, 0) is the top
// left corner, (1, 1) the bottom right, whatever the metafile's own units.
struct Point {
    double x = 0, y = 0;
};

// A contour: a start point and segments, each a line or a quadratic curve.
struct Segment {
    bool curve = false;
    Point control;  // curves only
    Point to;
};

struct Contour {
    Point start;
    std::vector<Segment> segments;
    bool closed = false;
};

// A bitmap of the metafile, the part of it the record copies: straight RGBA, rows top first.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

struct Path {
    std::vector<Contour> contours;
    bool filled = false;
    std::uint32_t fillRgb = 0;  // 0xRRGGBB
    // Filled with drawing.bitmaps[bitmap] instead of fillRgb (-1: none): its top-left pixel corner
    // lies at bitmapOrigin, its bottom-right one at bitmapCorner (mirrored where they cross).
    int bitmap = -1;
    Point bitmapOrigin, bitmapCorner;
    bool evenOdd = true;  // polygon fill mode ALTERNATE (else WINDING)
    bool stroked = false;
    std::uint32_t strokeRgb = 0;
    double strokeWidth = 0;  // in unit-square x units; 0 is the thinnest line
};

struct Drawing {
    double frameWidth = 0, frameHeight = 0;  // the frame in the metafile's logical units
    std::vector<Path> paths;                 // in drawing order
    std::vector<Bitmap> bitmaps;             // what bitmap paths are filled with
    std::vector<std::string> warnings;       // records skipped, one line per kind
};

// Files beyond this are refused before they are read.
constexpr std::uint64_t kMaxWmfBytes = 64ull * 1024 * 1024;

// True when the bytes start like a metafile (placeable or plain header).
bool LooksLikeWmf(const std::uint8_t* data, std::size_t size);

// Throws WmfError when the bytes are not a well-formed metafile.
Drawing ParseWmf(const std::uint8_t* data, std::size_t size);
inline Drawing ParseWmf(const std::vector<std::uint8_t>& bytes) { return ParseWmf(bytes.data(), bytes.size()); }

}  // namespace tarnquill::wmf
