#pragma once
// Shape geometry as the file format describes it: preset shape templates (one table, keyed by
// the file's shape type number) and freeforms (vertices, segment information, guides), both
// evaluated by one formula engine into outlines in the shape's own box.

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// Caps on geometry from a file, checked before anything is allocated or evaluated.
constexpr std::size_t kMaxFormulas = 512;
constexpr std::size_t kMaxVertices = 65536;
constexpr std::size_t kMaxSegments = 65536;
constexpr int kMaxFormulaDepth = 64;
constexpr double kMaxCoordinate = 1e7;  // |coordinate| in the geometry's own units

// The operations of the formula engine; the numbers are the file format's guide operations.
enum class FormulaOp : std::uint16_t {
    Sum = 0,        // a + b - c
    Product = 1,    // a * b / c
    Mid = 2,        // (a + b) / 2
    Abs = 3,        // |a|
    Min = 4,        // min(a, b)
    Max = 5,        // max(a, b)
    If = 6,         // a > 0 ? b : c
    Mod = 7,        // sqrt(a^2 + b^2 + c^2)
    Atan2 = 8,      // atan2(b, a), degrees * 65536
    Sin = 9,        // a * sin(b), b in degrees * 65536
    Cos = 10,       // a * cos(b)
    CosAtan2 = 11,  // a * cos(atan2(c, b))
    SinAtan2 = 12,  // a * sin(atan2(c, b))
    Sqrt = 13,      // sqrt(a)
    SumAngle = 14,  // a + (b - c) * 65536
    Ellipse = 15,   // c * sqrt(1 - (a / b)^2)
    Tan = 16,       // a * tan(b)
    Value = 17,     // a (templates' "val"; no guide operation of its own)
};

// What a formula's argument or a path coordinate refers to.
struct Operand {
    enum Kind : std::uint8_t {
        Constant,     // value
        Adjust,       // adjust value `index`
        Formula,      // result of formula `index`
        Width,        // the geometry's width (21600 for templates, geoRight - geoLeft for freeforms)
        Height,       //
        XCenter,      // geoLeft + width / 2
        YCenter,      //
        GeoLeft,      //
        GeoTop,       //
        GeoRight,     //
        GeoBottom,    //
        PixelWidth,   // the frame's size in points
        PixelHeight,  //
        LineWidth,    // the line's width in points
        HasFill,      // 1 or 0
        HasStroke,    //
    } kind = Constant;
    double value = 0;
    int index = 0;

    static Operand Of(double v) { return {Constant, v, 0}; }
};

struct Formula {
    FormulaOp op = FormulaOp::Value;
    Operand a, b, c;
};

// The values a geometry's formulas are evaluated against.
struct FormulaContext {
    std::vector<double> adjust;  // raw values, as stored
    double geoLeft = 0, geoTop = 0, geoRight = 21600, geoBottom = 21600;
    double pixelWidth = 1, pixelHeight = 1, lineWidth = 0.75;
    bool hasFill = true, hasStroke = true;
};

// Evaluates formulas in order of need: a formula may refer to any other, but a cycle, a chain
// deeper than kMaxFormulaDepth, a reference to a formula or adjust value that does not exist or
// a result that is not finite fails the whole evaluation (false, `error` says why).
bool EvaluateFormulas(const std::vector<Formula>& formulas, const FormulaContext& context, std::vector<double>& results,
                      std::string* error = nullptr);
// One formula's value with the results of the others given.
double ApplyFormula(FormulaOp op, double a, double b, double c);

// Reads a template's formula ("sum @1 10800 0", "prod #0 3 4", ...); false if it is not one.
bool ParseFormula(const std::string& text, Formula& out);

// ---- Paths ------------------------------------------------------------------------------------

struct GeometryCommand {
    enum Kind : std::uint8_t {
        MoveTo,          // 1 point
        LineTo,          // 1 point each
        CurveTo,         // 3 points each
        Close,           //
        End,             // ends a sub-path (its fill and stroke flags reset)
        NoFill,          // this sub-path is not filled
        NoStroke,        // this sub-path is not stroked
        AngleEllipseTo,  // centre, radii, start and sweep angles (degrees * 65536); line to start
        AngleEllipse,    // same, move to start
        ArcTo,           // box corners, start vector point, end vector point; counter-clockwise
        Arc,             // same, move to start
        ClockwiseArcTo,  //
        ClockwiseArc,    //
        QuadrantX,       // quarter ellipses to each point, first leaving along x, then alternating
        QuadrantY,       // first leaving along y
        QuadBezier,      // control point and end point each
        RelMoveTo,       // 1 point, relative to the current one
        RelLineTo,       //
        RelCurveTo,      // 3 points, relative
    } kind = MoveTo;
    std::vector<Operand> args;  // two per point
};

struct GeometryRect {
    Operand left, top, right, bottom;
};

// A shape's geometry before evaluation: in a coordinate space of its own (geoLeft.. geoRight),
// mapped onto the shape's frame when drawn.
struct ShapeGeometry {
    std::vector<GeometryCommand> commands;
    std::vector<Formula> formulas;
    std::vector<double> adjustDefaults;  // raw values; missing ones in the shape take these
    std::vector<GeometryRect> textRects;
    std::vector<std::pair<Operand, Operand>> connectionSites;
    double geoLeft = 0, geoTop = 0, geoRight = 21600, geoBottom = 21600;
    bool filled = true, stroked = true;
};

// The template of a preset shape type (the file's shape type numbers); false for a type the
// table has no template for.
bool PresetGeometry(int shapeType, ShapeGeometry& out);
// The template's adjust values for the file's own ones of a shape type (missing ones take the
// file format's defaults); some templates read their values in another sense than the file.
bool PresetAdjust(int shapeType, const std::vector<double>& fileAdjust, std::vector<double>& out);
// The table's name of a shape type ("triangle"), empty when it has none.
std::string PresetName(int shapeType);
// The file's shape type of an AutoShape type of the object model (1 rectangle, 9 oval, ...) and
// back; 0 when there is none.
int ShapeTypeOfAutoShape(int autoShapeType);
int AutoShapeOfShapeType(int shapeType);

// A freeform from the file: vertices as (x, y) pairs, the segment information words and the
// guides (6-byte records: operation and flags, three 16-bit parameters). Value references in the
// guides use the file's numbers (0x0140.. the geometry's box, 0x0147.. the adjust values,
// 0x0400.. other guides). False when the data is damaged (a segment runs past the vertices, a
// count over the caps, an unknown guide reference); `error` says why.
struct FreeformData {
    std::vector<std::int32_t> vertices;  // x0, y0, x1, y1, ...; 0x80000000 | n refers to guide n
    std::vector<std::uint16_t> segments;
    struct Guide {
        std::uint16_t opAndFlags = 0;
        std::uint16_t p1 = 0, p2 = 0, p3 = 0;
    };
    std::vector<Guide> guides;
    double geoLeft = 0, geoTop = 0, geoRight = 21600, geoBottom = 21600;
    // A preset shape whose points were edited keeps its type's formulas and adjust values: they
    // stand for the guides when the file gives none.
    std::vector<Formula> presetFormulas;
    std::vector<double> presetAdjust;
};
bool FreeformGeometry(const FreeformData& data, ShapeGeometry& out, std::string* error = nullptr);

// An evaluated outline in the shape's box (0, 0, width, height), in points.
struct OutlineSeg {
    enum Kind : std::uint8_t { Move, Line, Curve, Close } kind = Move;
    double x[3] = {0, 0, 0}, y[3] = {0, 0, 0};
};
struct OutlinePath {
    std::vector<OutlineSeg> segs;
    bool filled = true, stroked = true;
};
struct Outline {
    std::vector<OutlinePath> paths;
    struct Box {
        double left = 0, top = 0, right = 0, bottom = 0;
    };
    std::vector<Box> textRects;
    std::vector<std::pair<double, double>> connectionSites;
};

// Evaluates a geometry for a box of width x height points. False when a formula fails or a
// coordinate leaves the bounds (the shape is then not drawn); `error` says why.
bool EvaluateGeometry(const ShapeGeometry& geometry, const std::vector<double>& adjust, double width, double height,
                      double lineWidth, Outline& out, std::string* error = nullptr);

}  // namespace render
