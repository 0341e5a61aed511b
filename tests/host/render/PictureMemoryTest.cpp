// A memory of drawn pictures serves a picture again only for a drawing that draws the same
// pixels, and encoding reuses nothing of an earlier picture that differs.

#include "CairoPng.h"
#include "render/BcRender.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

using namespace render;

namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;

ShapeDrawing Box() {
    ShapeDrawing s;
    s.autoShapeType = 1;
    s.frame = {30, 20, 60, 40};
    s.fill = FillData::Solid(kRed);
    s.line.visible = true;
    s.line.color = kBlue;
    s.line.weight = 2;
    return s;
}

// A 2 x 2 picture, one pixel of it in the given colour.
std::vector<std::uint8_t> TinyPng(std::uint8_t red) {
    Raster r;
    r.width = r.height = 2;
    r.rgba.assign(16, 255);
    r.rgba[0] = red;
    return EncodePng(r, false);
}

// A painter that draws a bar in the colour it is given.
TextPainter Bar(std::uint32_t bgr) {
    return [bgr](cairo_t* cr) {
        cairo_set_source_rgb(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0);
        cairo_rectangle(cr, 5, 5, 20, 8);
        cairo_fill(cr);
    };
}

struct Change {
    const char* name;
    std::function<void(ShapeDrawing&)> apply;
};

std::vector<Change> PixelChanges() {
    return {
        {"fill colour", [](ShapeDrawing& s) { s.fill.color = kBlue; }},
        {"fill transparency", [](ShapeDrawing& s) { s.fill.transparency = 0.5; }},
        {"gradient stop",
         [](ShapeDrawing& s) {
             s.fill.kind = FillKind::Gradient;
             s.fill.stops = {{0, kRed, -1}, {0.5, 0x00FF00, -1}, {1, kBlue, -1}};
         }},
        {"line weight", [](ShapeDrawing& s) { s.line.weight = 3; }},
        {"line dashes", [](ShapeDrawing& s) { s.line.dashStyle = DashDash; }},
        {"line colour", [](ShapeDrawing& s) { s.line.color = 0x00FF00; }},
        {"frame size", [](ShapeDrawing& s) { s.frame.width = 61; }},
        {"rotation", [](ShapeDrawing& s) { s.rotation = 30; }},
        {"flip",
         [](ShapeDrawing& s) {
             s.autoShapeType = 8;
             s.flipH = true;
         }},
        {"geometry", [](ShapeDrawing& s) { s.autoShapeType = 9; }},
        {"adjustment",
         [](ShapeDrawing& s) {
             s.autoShapeType = 5;
             s.adjustments = {0.4};
         }},

        {"picture pixel",
         [](ShapeDrawing& s) {
             s.kind = ShapeKind::Picture;
             s.picture.bytes = TinyPng(1);
         }},
        {"picture crop",
         [](ShapeDrawing& s) {
             s.kind = ShapeKind::Picture;
             s.picture.bytes = TinyPng(0);
             s.picture.cropLeft = 0.5;
         }},
        {"picture colours",
         [](ShapeDrawing& s) {
             s.kind = ShapeKind::Picture;
             s.picture.bytes = TinyPng(0);
             s.picture.color = PictureColor::Grayscale;
         }},
        {"text",
         [](ShapeDrawing& s) {
             s.text = Bar(0x00FF00);
             s.textKey = "green bar";
         }},
    };
}

// The picture base is drawn as: a picture first put in the memory, or a picture of a drawing
// that differs from it.
ShapeDrawing Base() {
    ShapeDrawing s = Box();
    s.text = Bar(0);
    s.textKey = "black bar";
    return s;
}

}  // namespace

TEST(PictureMemory, AChangedDrawingNeverGetsTheEarlierPicture) {
    for (const Change& c : PixelChanges()) {
        SCOPED_TRACE(c.name);
        ShapeDrawing base = Base();
        if (std::string(c.name).rfind("picture ", 0) == 0) {
            base.kind = ShapeKind::Picture;
            base.picture.bytes = TinyPng(0);
        }
        ShapeDrawing changed = base;
        c.apply(changed);
        PictureMemory memory;
        const std::vector<std::uint8_t> first = RenderShapePng(base, 2, 2, &memory);
        EXPECT_EQ(first, RenderShapePng(base, 2, 2, &memory));
        EXPECT_EQ(1u, memory.Hits());
        const std::vector<std::uint8_t> fresh = RenderShapePng(changed, 2, 2);
        EXPECT_NE(first, fresh);
        EXPECT_EQ(fresh, RenderShapePng(changed, 2, 2, &memory));
        EXPECT_EQ(1u, memory.Hits());
    }
    // The scale is part of the picture too.
    PictureMemory memory;
    const ShapeDrawing box = Box();
    const std::vector<std::uint8_t> once = RenderShapePng(box, 1, 1, &memory);
    EXPECT_EQ(RenderShapePng(box, 1, 1.5), RenderShapePng(box, 1, 1.5, &memory));
    EXPECT_NE(once, RenderShapePng(box, 1, 1.5, &memory));
}

// A painter without a key may draw differently each time: it is always drawn.
TEST(PictureMemory, TextWithoutAKeyIsDrawnEachTime) {
    auto color = std::make_shared<std::uint32_t>(0);
    ShapeDrawing s = Box();
    s.text = [color](cairo_t* cr) { Bar (*color)(cr); };
    SlideDrawing slide;
    slide.shapes = {s};
    slide.layerShapes = 1;
    PictureMemory memory;
    const auto shapeBefore = RenderShapePng(s, 1, 1, &memory);
    const auto slideBefore = RenderSlidePng(slide, 360, 270, &memory);
    *color = 0x00FF00;
    const auto shapeAfter = RenderShapePng(s, 1, 1, &memory);
    const auto slideAfter = RenderSlidePng(slide, 360, 270, &memory);
    EXPECT_NE(shapeBefore, shapeAfter);
    EXPECT_NE(slideBefore, slideAfter);
    EXPECT_EQ(RenderShapePng(s, 1, 1), shapeAfter);
    EXPECT_EQ(RenderSlidePng(slide, 360, 270), slideAfter);
    EXPECT_EQ(0u, memory.Hits());
}

// Slides of one design share the layer of their background and the design's graphics; what lies
// on it, and any change to the layer, shows as it would drawn afresh.
TEST(PictureMemory, SlidesDrawOnTheirDesignLayer) {
    SlideDrawing design;
    design.background = FillData::Solid(0xEEEEEE);
    ShapeDrawing stripe = Box();
    stripe.frame = {0, 0, 720, 30};
    design.shapes = {stripe, Box()};
    design.layerShapes = 2;
    auto numbered = [&](std::uint32_t color, double left) {
        SlideDrawing slide = design;
        ShapeDrawing number = Box();
        number.frame = {left, 500, 20, 20};
        number.fill.color = color;
        slide.shapes.push_back(number);
        return slide;
    };
    struct Case {
        const char* name;
        SlideDrawing slide;
        bool sharesLayer;
    };
    SlideDrawing otherBackground = numbered(kRed, 600);
    otherBackground.background.color = 0xEEEEEF;
    SlideDrawing otherGraphics = numbered(kRed, 600);
    otherGraphics.shapes[1].line.weight = 2.5;
    const Case cases[] = {
        {"first slide", numbered(kRed, 600), false},        {"another number", numbered(kBlue, 600), true},
        {"a number elsewhere", numbered(kBlue, 620), true}, {"the layer alone", design, true},
        {"another background", otherBackground, false},     {"other graphics", otherGraphics, false},
    };
    PictureMemory memory;
    std::vector<std::vector<std::uint8_t>> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t hits = memory.Hits();
        const std::vector<std::uint8_t> png = RenderSlidePng(c.slide, 720, 540, &memory);
        EXPECT_EQ(c.sharesLayer ? hits + 1 : hits, memory.Hits());
        EXPECT_EQ(RenderSlidePng(c.slide, 720, 540), png);
        for (const auto& earlier : seen) EXPECT_NE(earlier, png);
        seen.push_back(png);
        // Asked again, the finished picture is served whole.
        EXPECT_EQ(png, RenderSlidePng(c.slide, 720, 540, &memory));
        EXPECT_EQ(memory.Hits(), (c.sharesLayer ? hits + 1 : hits) + 1);
    }
}

// Rows are encoded in bands, and bands of an earlier picture are taken again where their pixels
// are the same: a change in the first or last row of a band must show in that band.
TEST(RenderPng, ARowChangedAtABandsEdgeIsEncodedInBothBands) {
    SlideDrawing plain;
    plain.background = FillData::Solid(0x336699);
    for (const double row : {63.0, 64.0, 127.0, 0.0, 539.0}) {
        SCOPED_TRACE(row);
        SlideDrawing marked = plain;
        ShapeDrawing line;
        line.frame = {100, row, 300, 1};
        line.fill = FillData::Solid(0xFFFFFF);
        marked.shapes.push_back(line);
        for (const SlideDrawing* order : {&plain, &marked, &plain}) {
            const std::vector<std::uint8_t> png = RenderSlidePng(*order, 720, 540);
            // Read back with cairo: the same pixels as drawn.
            const Raster drawn = RenderSlideRaster(*order, 720, 540), read = bctest::DecodeWithCairo(png);
            const bool same = read.rgba == drawn.rgba;
            EXPECT_TRUE(same) << (order == &plain ? "plain" : "marked");
        }
    }
}

// A shape's own picture does not show where the shape lies: the same shape elsewhere is served
// from the memory, and a place that is no number is refused as without one.
TEST(PictureMemory, AShapesPictureIsFoundWhereverTheShapeLies) {
    PictureMemory memory;
    ShapeDrawing here = Box(), there = Box();
    there.frame.left += 100;
    there.frame.top += 7;
    const std::vector<std::uint8_t> png = RenderShapePng(here, 1, 1, &memory);
    EXPECT_EQ(png, RenderShapePng(there, 1, 1, &memory));
    EXPECT_EQ(1u, memory.Hits());
    ShapeDrawing nowhere = Box();
    nowhere.frame.left = std::nan("");
    EXPECT_THROW(RenderShapePng(nowhere, 1, 1, &memory), RenderError);
    // On a slide the place shows.
    SlideDrawing a, b;
    a.shapes = {here};
    b.shapes = {there};
    EXPECT_NE(RenderSlidePng(a, 360, 270, &memory), RenderSlidePng(b, 360, 270, &memory));
}
