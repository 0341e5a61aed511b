// Shape geometry: the formula engine's operations, the template table, point sets of preset
// shapes at their adjust values, freeforms with curves, and damaged or oversized geometry.

#include "render/BcRender.h"
#include "render/ShapeGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace render;

namespace {

constexpr double kDeg = 65536.0;  // angles are degrees * 65536

Operand F(int i) { return Operand{Operand::Formula, 0, i}; }
Operand A(int i) { return Operand{Operand::Adjust, 0, i}; }
Operand C(double v) { return Operand::Of(v); }

// The points (move, line and curve end points) of an outline's paths, in order.
std::vector<std::pair<double, double>> Points(const Outline& o) {
    std::vector<std::pair<double, double>> out;
    for (const OutlinePath& p : o.paths)
        for (const OutlineSeg& s : p.segs) {
            if (s.kind == OutlineSeg::Close) continue;
            const int k = s.kind == OutlineSeg::Curve ? 2 : 0;
            out.push_back({s.x[k], s.y[k]});
        }
    return out;
}

// A preset shape with adjust values as the file stores them.
Outline Preset(int type, std::vector<double> fileAdjust, double w, double h) {
    ShapeGeometry g;
    EXPECT_TRUE(PresetGeometry(type, g)) << type;
    std::vector<double> adjust;
    EXPECT_TRUE(PresetAdjust(type, fileAdjust, adjust));
    Outline o;
    std::string error;
    EXPECT_TRUE(EvaluateGeometry(g, adjust, w, h, 1, o, &error)) << error;
    return o;
}

void ExpectPoints(const Outline& o, const std::vector<std::pair<double, double>>& expected) {
    const auto got = Points(o);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].first, expected[i].first, 1e-6) << "point " << i;
        EXPECT_NEAR(got[i].second, expected[i].second, 1e-6) << "point " << i;
    }
}

std::uint32_t Alpha(const Raster& r, int x, int y) { return r.At(x, y) & 0xFF; }

}  // namespace

TEST(FormulaEngine, EveryOperation) {
    struct Case {
        FormulaOp op;
        double a, b, c, expected;
    } cases[] = {
        {FormulaOp::Sum, 10, 5, 3, 12},
        {FormulaOp::Product, 6, 4, 3, 8},
        {FormulaOp::Product, 6, 4, 0, 0},  // division by zero gives 0, not infinity
        {FormulaOp::Mid, 10, 20, 0, 15},
        {FormulaOp::Abs, -7, 0, 0, 7},
        {FormulaOp::Min, 3, -2, 0, -2},
        {FormulaOp::Max, 3, -2, 0, 3},
        {FormulaOp::If, 1, 5, 9, 5},
        {FormulaOp::If, 0, 5, 9, 9},  // zero is not "greater than 0"
        {FormulaOp::If, -1, 5, 9, 9},
        {FormulaOp::Mod, 3, 4, 12, 13},
        {FormulaOp::Atan2, 1, 1, 0, 45 * kDeg},
        {FormulaOp::Atan2, 0, -1, 0, -90 * kDeg},
        {FormulaOp::Sin, 100, 30 * kDeg, 0, 50},
        {FormulaOp::Cos, 100, 60 * kDeg, 0, 50},
        {FormulaOp::CosAtan2, 10, 3, 4, 6},
        {FormulaOp::SinAtan2, 10, 3, 4, 8},
        {FormulaOp::Sqrt, 81, 0, 0, 9},
        {FormulaOp::Sqrt, -4, 0, 0, 0},
        {FormulaOp::SumAngle, 10 * kDeg, 30, 10, 30 * kDeg},
        {FormulaOp::Ellipse, 6, 10, 100, 80},
        {FormulaOp::Ellipse, 12, 10, 100, 0},  // outside the ellipse
        {FormulaOp::Tan, 10, 45 * kDeg, 0, 10},
        {FormulaOp::Value, 42, 0, 0, 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        EXPECT_NEAR(ApplyFormula(c.op, c.a, c.b, c.c), c.expected, 1e-6 * std::max(1.0, std::fabs(c.expected)));
    }
}

TEST(FormulaEngine, TemplateFormulasParse) {
    struct Case {
        const char* text;
        bool ok;
        FormulaOp op;
        Operand::Kind a, b, c;
    } cases[] = {
        {"sum @1 10800 0", true, FormulaOp::Sum, Operand::Formula, Operand::Constant, Operand::Constant},
        {"prod #0 3 4", true, FormulaOp::Product, Operand::Adjust, Operand::Constant, Operand::Constant},
        {"if @9 width height", true, FormulaOp::If, Operand::Formula, Operand::Width, Operand::Height},
        {"val #2", true, FormulaOp::Value, Operand::Adjust, Operand::Constant, Operand::Constant},
        {"min pixelWidth pixelHeight", true, FormulaOp::Min, Operand::PixelWidth, Operand::PixelHeight,
         Operand::Constant},
        {"", false, FormulaOp::Value, Operand::Constant, Operand::Constant, Operand::Constant},
        {"frobnicate 1 2", false, FormulaOp::Value, Operand::Constant, Operand::Constant, Operand::Constant},
        {"sum 1 2 3 4", false, FormulaOp::Value, Operand::Constant, Operand::Constant, Operand::Constant},
        {"sum @x 1 2", false, FormulaOp::Value, Operand::Constant, Operand::Constant, Operand::Constant},
        {"sum @999999 1 2", false, FormulaOp::Value, Operand::Constant, Operand::Constant, Operand::Constant},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Formula f;
        ASSERT_EQ(ParseFormula(c.text, f), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(f.op, c.op);
        EXPECT_EQ(f.a.kind, c.a);
        EXPECT_EQ(f.b.kind, c.b);
        EXPECT_EQ(f.c.kind, c.c);
    }
}

TEST(FormulaEngine, FormulasReferToEachOtherInAnyOrderButNeverInCircles) {
    FormulaContext ctx;
    ctx.adjust = {100};
    std::vector<double> r;
    // @0 uses @1, which comes later; @1 uses the adjust value and the width.
    std::vector<Formula> ok = {{FormulaOp::Sum, F(1), C(1), C(0)},
                               {FormulaOp::Product, A(0), {Operand::Width}, C(100)}};
    ASSERT_TRUE(EvaluateFormulas(ok, ctx, r));
    EXPECT_DOUBLE_EQ(r[1], 21600);
    EXPECT_DOUBLE_EQ(r[0], 21601);

    struct Bad {
        const char* name;
        std::vector<Formula> formulas;
    } bad[] = {
        {"itself", {{FormulaOp::Sum, F(0), C(1), C(0)}}},
        {"a circle of two", {{FormulaOp::Sum, F(1), C(1), C(0)}, {FormulaOp::Sum, F(0), C(1), C(0)}}},
        {"a formula that does not exist", {{FormulaOp::Sum, F(5), C(1), C(0)}}},
        {"an adjust value that does not exist", {{FormulaOp::Sum, A(3), C(1), C(0)}}},
        {"no finite value", {{FormulaOp::Product, C(1e308), C(1e308), C(1e-308)}}},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        std::string error;
        EXPECT_FALSE(EvaluateFormulas(b.formulas, ctx, r, &error));
        EXPECT_FALSE(error.empty());
    }
    // A chain deeper than the cap fails instead of recursing without end.
    std::vector<Formula> chain(kMaxFormulaDepth + 10);
    for (size_t i = 0; i + 1 < chain.size(); ++i) chain[i] = {FormulaOp::Sum, F(int(i) + 1), C(1), C(0)};
    chain.back() = {FormulaOp::Value, C(0), C(0), C(0)};
    EXPECT_FALSE(EvaluateFormulas(chain, ctx, r));
    // A list longer than the cap is refused before anything is evaluated.
    EXPECT_FALSE(EvaluateFormulas(std::vector<Formula>(kMaxFormulas + 1), ctx, r));
}

TEST(ShapeTable, EveryTemplateEvaluatesAndAutoShapeTypesMapBothWays) {
    int templates = 0;
    for (int type = 0; type <= 202; ++type) {
        ShapeGeometry g;
        if (!PresetGeometry(type, g)) continue;
        ++templates;
        SCOPED_TRACE(type);
        EXPECT_FALSE(PresetName(type).empty());
        Outline o;
        std::string error;
        EXPECT_TRUE(EvaluateGeometry(g, {}, 80, 60, 1, o, &error)) << error;
        EXPECT_FALSE(o.paths.empty());
    }
    EXPECT_GE(templates, 170);
    for (int autoShape = 1; autoShape <= 137; ++autoShape) {
        SCOPED_TRACE(autoShape);
        const int type = ShapeTypeOfAutoShape(autoShape);
        ASSERT_GT(type, 0);
        EXPECT_EQ(AutoShapeOfShapeType(type), autoShape);
    }
    EXPECT_EQ(AutoShapeOfShapeType(202), 1);  // a text box is a rectangle
    EXPECT_EQ(AutoShapeOfShapeType(0), 0);
}

TEST(ShapeTable, PointsOfPresetShapesAtTheirAdjustValues) {
    struct Case {
        const char* name;
        int type;
        std::vector<double> adjust;
        double w, h;
        std::vector<std::pair<double, double>> points;
    } cases[] = {
        {"triangle, apex in the middle by default", 5, {}, 100, 80, {{0, 80}, {50, 0}, {100, 80}}},
        {"triangle, apex at a quarter", 5, {5400}, 100, 80, {{0, 80}, {25, 0}, {100, 80}}},
        {"diamond", 4, {}, 100, 50, {{0, 25}, {50, 0}, {100, 25}, {50, 50}}},
        {"parallelogram", 7, {5400}, 200, 100, {{0, 100}, {50, 0}, {200, 0}, {150, 100}}},
        {"right arrow: head from 3/4, shaft from 1/4 down",
         13,
         {16200, 5400},
         100,
         100,
         {{0, 25}, {75, 25}, {75, 0}, {100, 50}, {75, 100}, {75, 75}, {0, 75}}},
        {"right arrow takes the format's defaults",
         13,
         {},
         100,
         100,
         {{0, 25}, {75, 25}, {75, 0}, {100, 50}, {75, 100}, {75, 75}, {0, 75}}},
        {"right arrow with one value given",
         13,
         {10800},
         100,
         100,
         {{0, 25}, {50, 25}, {50, 0}, {100, 50}, {50, 100}, {50, 75}, {0, 75}}},
        {"elbow connector at a third", 34, {7200}, 90, 30, {{0, 0}, {30, 0}, {30, 30}, {90, 30}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPoints(Preset(c.type, c.adjust, c.w, c.h), c.points);
    }
    // A rounded rectangle keeps round corners on a wide frame: the radius is a share of the
    // shorter side in both directions.
    const Outline rr = Preset(2, {3600}, 300, 60);
    EXPECT_NEAR(Points(rr)[0].first, 10, 1e-6);
    EXPECT_NEAR(Points(rr)[2].second, 10, 1e-6);
    // Text rectangle and connection sites come with the template.
    const Outline tri = Preset(5, {}, 100, 80);
    ASSERT_EQ(tri.textRects.size(), 1u);
    EXPECT_NEAR(tri.textRects[0].left, 25, 1e-6);
    EXPECT_NEAR(tri.textRects[0].top, 40, 1e-6);
    ASSERT_EQ(tri.connectionSites.size(), 4u);
    EXPECT_NEAR(tri.connectionSites[0].first, 50, 1e-6);
}

TEST(ShapeTable, DrawnShapesMatchTheirOutlines) {
    // A picture of each shape: inside points filled, outside points clear.
    struct Case {
        const char* name;
        int autoShapeType;
        std::vector<double> adjustments;  // as the object model stores them (value / 21600)
        std::vector<std::pair<int, int>> filled, clear;
    } cases[] = {
        {"triangle", 7, {}, {{50, 70}, {50, 20}}, {{10, 10}, {90, 10}}},
        {"triangle with its apex at the left", 7, {0}, {{5, 10}, {10, 70}}, {{90, 10}, {60, 20}}},
        {"oval", 9, {}, {{50, 40}}, {{2, 2}, {97, 77}}},
        {"donut", 18, {}, {{50, 5}}, {{50, 40}, {1, 1}}},
        {"heart", 21, {}, {{50, 50}}, {{50, 2}, {2, 77}}},
        {"5-point star", 92, {}, {{50, 40}}, {{5, 75}, {50, 75}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeDrawing s;
        s.autoShapeType = c.autoShapeType;
        s.adjustments = c.adjustments;
        s.frame = {0, 0, 100, 80};
        s.fill = FillData::Solid(0x0000FF);
        const Raster r = RenderShapeRaster(s, 1, 1);
        for (auto [x, y] : c.filled) EXPECT_EQ(Alpha(r, x, y), 255u) << x << "," << y;
        for (auto [x, y] : c.clear) EXPECT_EQ(Alpha(r, x, y), 0u) << x << "," << y;
    }
}

TEST(Freeforms, VerticesSegmentsAndGuidesMakeThePath) {
    // Move, a line, one curve, a line back, close, end: a box with a bulging top.
    FreeformData f;
    f.vertices = {0, 100, 0, 40, 30, 0, 70, 0, 100, 40, 100, 100};
    f.segments = {0x4000, 0x0001, 0x2001, 0x0001, 0x6001, 0x8000};
    f.geoRight = 100;
    f.geoBottom = 100;
    ShapeGeometry g;
    std::string error;
    ASSERT_TRUE(FreeformGeometry(f, g, &error)) << error;
    Outline o;
    ASSERT_TRUE(EvaluateGeometry(g, {}, 200, 100, 1, o, &error)) << error;
    ASSERT_EQ(o.paths.size(), 1u);
    const auto& segs = o.paths[0].segs;
    ASSERT_EQ(segs.size(), 5u);
    EXPECT_EQ(segs[2].kind, OutlineSeg::Curve);
    EXPECT_DOUBLE_EQ(segs[2].x[0], 60);  // control points scale with the frame (x2)
    EXPECT_DOUBLE_EQ(segs[2].x[2], 200);
    EXPECT_DOUBLE_EQ(segs[2].y[2], 40);
    EXPECT_EQ(segs[4].kind, OutlineSeg::Close);

    // A guide: vertex x of the second point is guide 0 = geoRight / 2 (0x0142 = geoRight).
    FreeformData guided;
    guided.vertices = {0, 0, static_cast<std::int32_t>(0x80000000u), 100, 100, 100};
    guided.guides = {{static_cast<std::uint16_t>(0x0001 | 0x2000), 0x0142, 1, 2}};
    guided.geoRight = guided.geoBottom = 100;
    ASSERT_TRUE(FreeformGeometry(guided, g, &error)) << error;
    ASSERT_TRUE(EvaluateGeometry(g, {}, 100, 100, 1, o, &error)) << error;
    EXPECT_EQ(Points(o)[1], (std::pair<double, double>(50, 100)));

    // Drawn: inside the bulge filled, the corners above the curve clear.
    ShapeDrawing s;
    s.kind = ShapeKind::Freeform;
    s.frame = {0, 0, 100, 100};
    s.freeform = f;
    s.fill = FillData::Solid(0x00FF00);
    const Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_EQ(Alpha(r, 50, 50), 255u);
    EXPECT_EQ(Alpha(r, 50, 15), 255u);  // the curve peaks at y = 10
    EXPECT_EQ(Alpha(r, 50, 5), 0u);
    EXPECT_EQ(Alpha(r, 2, 2), 0u);
    EXPECT_EQ(Alpha(r, 97, 2), 0u);
}

TEST(Freeforms, DamagedGeometryDrawsNothingForThatShapeOnly) {
    struct Case {
        const char* name;
        FreeformData data;
    };
    std::vector<Case> cases(5);
    cases[0].name = "a segment runs past the vertices";
    cases[0].data.vertices = {0, 0, 10, 10};
    cases[0].data.segments = {0x4000, 0x0005, 0x8000};
    cases[1].name = "a vertex refers to a guide that does not exist";
    cases[1].data.vertices = {0, 0, static_cast<std::int32_t>(0x80000003u), 10};
    cases[2].name = "a guide refers to an unknown value";
    cases[2].data.vertices = {0, 0, 10, 10};
    cases[2].data.guides = {{0x2000, 0x0999, 0, 0}};
    cases[3].name = "an odd number of coordinates";
    cases[3].data.vertices = {0, 0, 10};
    cases[4].name = "a box out of range";
    cases[4].data.vertices = {0, 0, 10, 10};
    cases[4].data.geoRight = 1e12;
    SlideDrawing slide;
    slide.width = 100;
    slide.height = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeGeometry g;
        std::string error;
        EXPECT_FALSE(FreeformGeometry(c.data, g, &error));
        EXPECT_FALSE(error.empty());
        ShapeDrawing s;
        s.kind = ShapeKind::Freeform;
        s.frame = {0, 0, 100, 100};
        s.freeform = c.data;
        s.fill = FillData::Solid(0x0000FF);
        slide.shapes.push_back(s);
    }
    ShapeDrawing fine;  // drawn after the broken ones
    fine.frame = {40, 40, 20, 20};
    fine.fill = FillData::Solid(0x00FF00);
    slide.shapes.push_back(fine);
    std::vector<std::string> log;
    SetRenderLog([&](const std::string& line) { log.push_back(line); });
    const Raster r = RenderSlideRaster(slide, 100, 100);
    SetRenderLog(nullptr);
    EXPECT_EQ(r.At(10, 10), 0xFFFFFFFFu);  // nothing of the broken shapes
    EXPECT_EQ(r.At(50, 50), 0x00FF00FFu);
    EXPECT_EQ(log.size(), cases.size() * 1);
}

TEST(Freeforms, CountsOverTheCapsAreRefusedBeforeEvaluation) {
    FreeformData f;
    f.vertices.assign((kMaxVertices + 1) * 2, 0);
    ShapeGeometry g;
    EXPECT_FALSE(FreeformGeometry(f, g));
    f.vertices = {0, 0, 1, 1};
    f.segments.assign(kMaxSegments + 1, 0x0001);
    EXPECT_FALSE(FreeformGeometry(f, g));
    f.segments.clear();
    f.guides.resize(kMaxFormulas + 1);
    EXPECT_FALSE(FreeformGeometry(f, g));
}

TEST(ShapeTable, AShapeWithoutTemplateIsItsFrameAndSaysSo) {
    ShapeDrawing s;
    s.shapeType = 144;  // a text path: no outline of its own
    s.frame = {0, 0, 40, 30};
    s.fill = FillData::Solid(0x0000FF);
    std::vector<std::string> log;
    SetRenderLog([&](const std::string& line) { log.push_back(line); });
    const Raster r = RenderShapeRaster(s, 1, 1);
    SetRenderLog(nullptr);
    EXPECT_EQ(Alpha(r, 1, 1), 255u);
    EXPECT_EQ(Alpha(r, 38, 28), 255u);
    ASSERT_FALSE(log.empty());
    for (const std::string& line : log) {
        EXPECT_NE(line.find("144"), std::string::npos);
        EXPECT_NE(line.find("frame"), std::string::npos);
    }
}

TEST(ShapeTable, FlipsApplyAfterTheTurn) {
    // A right triangle (right angle bottom-left) turned 90 degrees has its right angle at the
    // top-left; mirrored as well, the right angle goes to the top-right.
    ShapeDrawing s;
    s.autoShapeType = 8;
    s.frame = {0, 0, 100, 100};
    s.fill = FillData::Solid(0x0000FF);
    s.rotation = 90;
    Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_EQ(Alpha(r, 10, 10), 255u);
    EXPECT_EQ(Alpha(r, 90, 90), 0u);
    s.flipH = true;
    r = RenderShapeRaster(s, 1, 1);
    EXPECT_EQ(Alpha(r, 90, 10), 255u);
    EXPECT_EQ(Alpha(r, 10, 90), 0u);
}
