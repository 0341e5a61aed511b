#pragma once
// The renderer of shapes and slides: draws a plain description of a shape or a slide with cairo
// and writes it as PNG (deterministic bytes) or, for a shape's outline and fill, as a small
// Windows metafile. It knows nothing of the presentation host; the host fills these structs.
//
// Units: lengths in points (1/72 inch), angles in degrees (clockwise, y pointing down),
// colours 0x00BBGGRR, transparency 0 (opaque) to 1 (invisible).

#include "render/ShapeGeometry.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

typedef struct _cairo cairo_t;

namespace render {

// Bad arguments (sizes, scales) and files that cannot be written.
class RenderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Point {
    double x = 0, y = 0;
};

struct Frame {
    double left = 0, top = 0, width = 0, height = 0;
};

enum class ShapeKind {
    AutoShape,  // geometry from autoShapeType and adjustments
    Line,       // a line or connector across the frame
    Freeform,   // geometry from paths
    Picture,    // picture bytes in the frame
    TextOnly,   // a text box: its frame as a rectangle
};

enum class ConnectorKind { Straight, Elbow, Curved };

// Dash styles and arrowheads use the object model's numbers.
enum DashStyle : int {
    DashSolid = 1,
    DashSquareDot = 2,
    DashRoundDot = 3,
    DashDash = 4,
    DashDashDot = 5,
    DashDashDotDot = 6,
    DashLongDash = 7,
    DashLongDashDot = 8,
};
enum ArrowheadStyle : int {
    ArrowNone = 1,
    ArrowTriangle = 2,
    ArrowOpen = 3,
    ArrowStealth = 4,
    ArrowDiamond = 5,
    ArrowOval = 6,
};
// Widths: 1 narrow, 2 medium, 3 wide; lengths: 1 short, 2 medium, 3 long.
struct Arrowhead {
    int style = ArrowNone;
    int width = 2;
    int length = 2;
};

enum class PictureFormat { Unknown, Png, Jpeg, Dib, Wmf, Emf };

// How a picture's colours are shown: as they are, in shades of grey, in black and white only, or
// washed out (pale behind text: white stays white, black turns a light grey; the picture's own
// brightness and contrast are not applied on top).
enum class PictureColor { Automatic, Grayscale, BlackAndWhite, Washout };

struct PictureData {
    std::vector<std::uint8_t> bytes;
    PictureFormat format = PictureFormat::Unknown;  // Unknown: told from the bytes
    double brightness = 0.5;                        // 0.5 and 0.5 leave the colours as they are; 0 and 0 give black
    double contrast = 0.5;
    PictureColor color = PictureColor::Automatic;  // applied before brightness and contrast
    // Pixels of exactly this colour (0x00BBGGRR) in a bitmap picture are left transparent.
    bool hasTransparentColor = false;
    std::uint32_t transparentColor = 0;
    // Parts of the picture cut away, as fractions of its width (left, right) and height.
    double cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0;
};

enum class FillKind { None, Solid, Gradient, Picture, Pattern, Texture };

// Linear runs along gradientAngle; the others grow from the focus rectangle (radial as ellipses,
// rectangular as rectangles, path along the shape's own outline, drawn here as rectangles).
enum class GradientKind { Linear, Radial, Rectangular, Path };

struct GradientStop {
    double position = 0;  // 0 at the start of the run, 1 at its end
    std::uint32_t color = 0;
    double transparency = -1;  // < 0: from the fill's transparency and transparency2 by position
};

struct FillData {
    FillKind kind = FillKind::None;
    std::uint32_t color = 0xFFFFFF;   // solid, and the gradient's first colour
    std::uint32_t color2 = 0x000000;  // the gradient's second colour
    // Direction of the gradient: 0 runs from color at the left to color2 at the right,
    // 90 from the top to the bottom.
    double gradientAngle = 90;
    GradientKind gradient = GradientKind::Linear;
    // Stops between color and color2 when there are more than two colours (empty: just the two).
    std::vector<GradientStop> stops;
    // Where the run of a non-linear gradient starts, as fractions of the frame; color lies there.
    double focusLeft = 0.5, focusTop = 0.5, focusRight = 0.5, focusBottom = 0.5;
    double transparency = 0;
    double transparency2 = -1;  // the second colour's, when it differs (< 0: the same)
    // Pattern: 8 x 8 bits, rows top first, a set bit drawn in color, a clear one in color2.
    std::uint8_t pattern[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    PictureData picture;                   // Picture: stretched over the frame; Texture: tiled at its own size
    double tileWidth = 0, tileHeight = 0;  // Texture: the tile's size in points (0: 96 dpi pixels)
    // Textures and patterns: the point of a tile at tileOrigin (from the tile's centre, in tile
    // sizes) lies at tileShapeOrigin (from the frame's centre, in frame sizes). Both 0: a tile is
    // centred on the frame, and the others lie around it.
    double tileOriginX = 0, tileOriginY = 0, tileShapeOriginX = 0, tileShapeOriginY = 0;

    static FillData Solid(std::uint32_t bgr, double transparency = 0) {
        FillData f;
        f.kind = FillKind::Solid;
        f.color = bgr;
        f.transparency = transparency;
        return f;
    }
};

struct LineData {
    bool visible = false;
    std::uint32_t color = 0x000000;
    double weight = 0.75;
    double transparency = 0;
    int dashStyle = DashSolid;
    Arrowhead beginArrow, endArrow;  // lines, connectors and open freeforms
    // Simple, double, thick-thin, thin-thick, triple: the file's compound line styles.
    enum Compound { Simple, Double, ThickThin, ThinThick, Triple } compound = Simple;
};

struct ShadowData {
    bool visible = false;
    double offsetX = 2, offsetY = 2;  // points, on the page
    std::uint32_t color = 0x808080;
    double transparency = 0;
};

// One segment of a freeform path.
struct PathSegment {
    enum Kind { MoveTo, LineTo, CurveTo, Close } kind = LineTo;
    Point p[3];  // MoveTo/LineTo: p[0]; CurveTo: two control points and the end point
};

struct Path {
    std::vector<PathSegment> segments;
};

// Draws a shape's text. The context's user space is in points with its origin at the frame's
// top-left corner and the shape's rotation applied (flips are not: text is never mirrored).
using TextPainter = std::function<void(cairo_t*)>;

struct ShapeDrawing {
    ShapeKind kind = ShapeKind::AutoShape;
    int autoShapeType = 1;  // the object model's AutoShape numbers (1 rectangle, 9 oval, ...)
    // The file's shape type, which names the geometry; 0: taken from autoShapeType (or, for lines,
    // from the connector kind).
    int shapeType = 0;
    Frame frame;
    double rotation = 0;
    bool flipH = false, flipV = false;
    // As the file stores them, divided by 21600: coordinates as fractions of the frame's width or
    // height (callouts: pairs x, y). Missing values take the shape's defaults.
    std::vector<double> adjustments;
    ConnectorKind connector = ConnectorKind::Straight;
    // Freeform paths; their coordinates map pathBox onto the frame. An empty pathBox (zero width
    // or height) means the coordinates are points from the frame's top-left corner.
    std::vector<Path> paths;
    Frame pathBox;
    // A freeform's geometry as the file stores it; used when it has vertices.
    FreeformData freeform;
    FillData fill;
    LineData line;
    ShadowData shadow;
    PictureData picture;  // ShapeKind::Picture
    TextPainter text;     // optional
    // Everything the text painter's pixels depend on, as bytes that differ whenever they may; a
    // drawing with a painter and no key is drawn afresh each time, never taken from a memory.
    std::string textKey;
};

// Appends a number's bytes to a drawing key, as the memory's own keys and text keys are written:
// scalars only, whose bytes are their value (no padding to differ between equal values).
template <class T>
void AppendKeyScalar(std::string& key, const T& value) {
    static_assert(std::is_arithmetic<T>::value || std::is_enum<T>::value, "scalars only: no padding bytes");
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

struct SlideDrawing {
    double width = 720, height = 540;  // points
    // Solid, gradient or picture over the whole slide; what it leaves uncovered is white.
    FillData background = FillData::Solid(0xFFFFFF);
    std::vector<ShapeDrawing> shapes;  // back to front
    // The first layerShapes shapes are the design's own graphics, drawn alike on every slide of
    // the design: with a memory, the background and they are drawn once and copied after that.
    std::size_t layerShapes = 0;
};

// What the renderer drew for one document: finished pictures and slides' design layers, found
// again by everything that decides their pixels (the drawing in full, the size or scale), so
// the same drawing asked again costs a look-up. Without a memory everything is drawn afresh;
// with one the bytes are the same. Safe to share between threads.
class PictureMemory {
public:
    // budgetBytes: what the kept pictures and their keys may take together.
    explicit PictureMemory(std::size_t budgetBytes = 12u << 20);
    ~PictureMemory();
    PictureMemory(const PictureMemory&) = delete;
    PictureMemory& operator=(const PictureMemory&) = delete;

    // Pictures and layers served from the memory instead of being drawn.
    std::size_t Hits() const;

    struct Impl;

private:
    friend struct PictureMemoryAccess;
    std::unique_ptr<Impl> m_impl;
};

// A picture in memory: straight (not premultiplied) RGBA, 4 bytes a pixel, rows top first.
struct Raster {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    // (r, g, b, a) of one pixel; outside the picture all 0.
    std::uint32_t At(int x, int y) const;
};

// Size in pixels of a shape's picture at the given scale (pixels per point): the frame, or the
// bounding box of the rotated frame, at least one pixel (and at least the line's width).
void ShapePictureSize(const ShapeDrawing& shape, double scaleX, double scaleY, int& width, int& height);

// The shape alone, cropped to its frame (the line drawn inside the picture), transparent around.
Raster RenderShapeRaster(const ShapeDrawing& shape, double scaleX, double scaleY);
std::vector<std::uint8_t> RenderShapePng(const ShapeDrawing& shape, double scaleX, double scaleY,
                                         PictureMemory* memory = nullptr);
void RenderShapePng(const ShapeDrawing& shape, double scaleX, double scaleY, const std::filesystem::path& path,
                    PictureMemory* memory = nullptr);

// A Windows metafile (placeable header) of the shape's outline and fill, unrotated, one logical
// unit a sixteenth of a pixel or coarser so that every coordinate fits 16 bits.
std::vector<std::uint8_t> RenderShapeWmf(const ShapeDrawing& shape, double scaleX, double scaleY);
void RenderShapeWmf(const ShapeDrawing& shape, double scaleX, double scaleY, const std::filesystem::path& path);

// The whole slide at exactly width x height pixels, opaque.
Raster RenderSlideRaster(const SlideDrawing& slide, int widthPx, int heightPx);
std::vector<std::uint8_t> RenderSlidePng(const SlideDrawing& slide, int widthPx, int heightPx,
                                         PictureMemory* memory = nullptr);
void RenderSlidePng(const SlideDrawing& slide, int widthPx, int heightPx, const std::filesystem::path& path,
                    PictureMemory* memory = nullptr);

// PNG bytes of a raster: 8-bit RGBA (withAlpha) or RGB, no time or text chunks, fixed zlib level
// and row filter, so equal rasters give equal bytes.
std::vector<std::uint8_t> EncodePng(const Raster& raster, bool withAlpha);

// Whether the renderer draws the geometry of an AutoShape type itself (others are drawn as
// their frame's rectangle, with a line in the log).
bool IsAutoShapeDrawn(int autoShapeType);

// Where the renderer says what it could not draw ("shape type 144 (textArchUp) is drawn as its
// frame"); standard error unless set. Not thread-safe to change while drawing.
using RenderLog = std::function<void(const std::string&)>;
void SetRenderLog(RenderLog log);

}  // namespace render
