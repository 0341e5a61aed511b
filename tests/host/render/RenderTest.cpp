// Shape and slide pictures: pixels at chosen points, sizes, determinism, pictures, bad input.

#include "CairoPng.h"
#include "FileBytes.h"
#include "TempDir.h"
#include "render/BcRender.h"

#include "LargestAllocation.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <png.h>

#include <unistd.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace render;

namespace {

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00;

// 0xRRGGBBAA of a colour 0x00BBGGRR, opaque.
std::uint32_t Opaque(std::uint32_t bgr) {
    return ((bgr & 0xFF) << 24) | (((bgr >> 8) & 0xFF) << 16) | (((bgr >> 16) & 0xFF) << 8) | 0xFF;
}

ShapeDrawing Auto(int type, double w, double h, std::uint32_t fill = kRed) {
    ShapeDrawing s;
    s.autoShapeType = type;
    s.frame = {30, 20, w, h};
    s.fill = FillData::Solid(fill);
    return s;
}

ShapeDrawing WithLine(ShapeDrawing s, std::uint32_t color, double weight) {
    s.line.visible = true;
    s.line.color = color;
    s.line.weight = weight;
    return s;
}

enum Expect { Fill, Line, Clear };

struct PixelCase {
    const char* name;
    ShapeDrawing shape;
    double scale;
    int width, height;  // expected picture size
    std::vector<std::tuple<int, int, Expect>> points;
};

std::vector<PixelCase> PixelCases() {
    std::vector<PixelCase> cases;
    cases.push_back({"rectangle with its line inside the picture",
                     WithLine(Auto(1, 100, 50), kBlue, 4),
                     1,
                     100,
                     50,
                     {{50, 25, Fill}, {1, 25, Line}, {98, 25, Line}, {50, 0, Line}, {50, 49, Line}, {0, 0, Line}}});
    cases.push_back({"oval: corners transparent",
                     WithLine(Auto(9, 100, 50), kBlue, 4),
                     1,
                     100,
                     50,
                     {{50, 25, Fill}, {1, 25, Line}, {50, 1, Line}, {2, 2, Clear}, {97, 47, Clear}}});
    cases.push_back({"right triangle", Auto(8, 100, 100), 1, 100, 100, {{20, 80, Fill}, {80, 20, Clear}}});
    {
        ShapeDrawing s = Auto(8, 100, 100);
        s.flipH = true;
        cases.push_back({"right triangle flipped horizontally", s, 1, 100, 100, {{90, 60, Fill}, {10, 60, Clear}}});
        s.flipH = false;
        s.flipV = true;
        cases.push_back({"right triangle flipped vertically", s, 1, 100, 100, {{20, 20, Fill}, {80, 80, Clear}}});
    }
    {
        ShapeDrawing s = Auto(8, 100, 50);
        s.rotation = 90;
        // Turned clockwise about its centre: the right angle comes to the top-left corner.
        cases.push_back({"right triangle turned 90 degrees", s, 1, 50, 100, {{10, 20, Fill}, {40, 80, Clear}}});
        s.rotation = -270;
        cases.push_back({"a turn of -270 is one of 90", s, 1, 50, 100, {{10, 20, Fill}, {40, 80, Clear}}});
    }
    cases.push_back({"scaled rectangle", Auto(1, 40, 30), 2.5, 100, 75, {{1, 1, Fill}, {98, 73, Fill}}});
    {
        ShapeDrawing s;
        s.kind = ShapeKind::Line;
        s.frame = {0, 0, 100, 0};
        s = WithLine(s, kBlue, 2);
        cases.push_back({"horizontal line gets the line's height", s, 1, 100, 2, {{50, 0, Line}, {50, 1, Line}}});
    }
    {
        ShapeDrawing s = WithLine(Auto(7, 100, 80), kBlue, 2);
        s.fill.kind = FillKind::None;
        cases.push_back({"triangle without fill", s, 1, 100, 80, {{50, 60, Clear}, {50, 78, Line}}});
    }
    {
        ShapeDrawing s = Auto(18, 100, 100);
        cases.push_back({"donut has a hole", s, 1, 100, 100, {{50, 50, Clear}, {50, 10, Fill}}});
    }
    return cases;
}

}  // namespace

TEST(RenderShape, PixelsAtChosenPoints) {
    for (const PixelCase& c : PixelCases()) {
        SCOPED_TRACE(c.name);
        const Raster r = bctest::DecodeWithCairo(RenderShapePng(c.shape, c.scale, c.scale));
        ASSERT_EQ(r.width, c.width);
        ASSERT_EQ(r.height, c.height);
        for (const auto& [x, y, expect] : c.points) {
            SCOPED_TRACE("at " + std::to_string(x) + ", " + std::to_string(y));
            const std::uint32_t px = r.At(x, y);
            switch (expect) {
            case Fill:
                EXPECT_EQ(px, Opaque(c.shape.fill.color));
                break;
            case Line:
                EXPECT_EQ(px, Opaque(c.shape.line.color));
                break;
            case Clear:
                EXPECT_EQ(px & 0xFF, 0u);
                break;
            }
        }
    }
}

TEST(RenderShape, SameDrawingGivesSameBytesWithoutTimeChunk) {
    ShapeDrawing s = WithLine(Auto(92, 120, 90), kBlue, 3);
    s.rotation = 33;
    s.fill.transparency = 0.4;
    const auto a = RenderShapePng(s, 1.3, 1.3), b = RenderShapePng(s, 1.3, 1.3);
    EXPECT_EQ(a, b);
    // Only the image's own chunks: no time, text or gamma chunks that could vary.
    std::vector<std::string> chunks;
    for (size_t pos = 8; pos + 8 <= a.size();) {
        const std::uint32_t len = (a[pos] << 24) | (a[pos + 1] << 16) | (a[pos + 2] << 8) | a[pos + 3];
        chunks.emplace_back(reinterpret_cast<const char*>(&a[pos + 4]), 4);
        pos += 12 + len;
    }
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front(), "IHDR");
    EXPECT_EQ(chunks.back(), "IEND");
    for (const std::string& c : chunks) EXPECT_TRUE(c == "IHDR" || c == "IDAT" || c == "IEND") << c;
}

// Pixels read back through libpng, as RGBA.
std::vector<std::uint8_t> DecodeRgba(const std::vector<std::uint8_t>& png, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

// Pictures are written in bands of rows, large ones on several threads: every size around a
// band's edge reads back as the same pixels, and the same pixels give the same bytes.
TEST(RenderPng, EveryRowReadsBackAcrossBands) {
    const int sizes[][2] = {{1, 1}, {3, 63}, {5, 64}, {7, 65}, {2, 129}, {700, 530}};
    for (const auto& size : sizes) {
        for (bool withAlpha : {true, false}) {
            SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]) + (withAlpha ? " rgba" : " rgb"));
            Raster raster;
            raster.width = size[0];
            raster.height = size[1];
            raster.rgba.resize(static_cast<std::size_t>(size[0]) * size[1] * 4);
            std::uint32_t seed = 12345;
            for (std::size_t i = 0; i < raster.rgba.size(); ++i) {
                seed = seed * 1103515245u + 12345u;
                // Flat runs with some noise, as slides are: both deflate paths are taken.
                raster.rgba[i] =
                    (i / 4) % 97 < 60 ? static_cast<std::uint8_t>(i % 4 * 60) : static_cast<std::uint8_t>(seed >> 16);
            }
            const std::vector<std::uint8_t> png = EncodePng(raster, withAlpha);
            EXPECT_EQ(EncodePng(raster, withAlpha), png);
            int w = 0, h = 0;
            const std::vector<std::uint8_t> back = DecodeRgba(png, w, h);
            ASSERT_EQ(w, size[0]);
            ASSERT_EQ(h, size[1]);
            std::vector<std::uint8_t> expected = raster.rgba;
            if (!withAlpha)
                for (std::size_t i = 3; i < expected.size(); i += 4) expected[i] = 255;
            EXPECT_TRUE(back == expected);
        }
    }
}

// A drawn picture's file holds the colours the raster gives: straight, not premultiplied.
TEST(RenderPng, ShapePictureReadsBackAsItsRaster) {
    ShapeDrawing s = WithLine(Auto(92, 400, 300), kBlue, 3);
    s.rotation = 21;
    s.fill.transparency = 0.35;
    const Raster raster = RenderShapeRaster(s, 1.2, 1.2);
    int w = 0, h = 0;
    const std::vector<std::uint8_t> back = DecodeRgba(RenderShapePng(s, 1.2, 1.2), w, h);
    ASSERT_EQ(w, raster.width);
    ASSERT_EQ(h, raster.height);
    ASSERT_GE(static_cast<std::int64_t>(w) * h, 128 * 1024);  // large enough for the threaded path
    EXPECT_TRUE(back == raster.rgba);
}

// Pictures drawn again are not encoded again; a picture one pixel apart from one just encoded
// must still get bytes of its own, in any order, for slides and shapes alike.
TEST(RenderSlide, RepeatedPicturesKeepTheirOwnBytes) {
    SlideDrawing plain;
    SlideDrawing dot = plain;
    ShapeDrawing speck = Auto(1, 1, 1, kRed);
    speck.frame = {700, 520, 0.5, 0.5};
    dot.shapes.push_back(speck);
    SlideDrawing tinted = plain;
    tinted.background = FillData::Solid(0xFEFFFF);
    const SlideDrawing* order[] = {&plain, &dot, &plain, &tinted, &dot, &tinted, &plain};
    std::vector<std::vector<std::uint8_t>> first(3);
    for (const SlideDrawing* d : order) {
        const std::size_t k = d == &plain ? 0 : d == &dot ? 1 : 2;
        const std::vector<std::uint8_t> png = RenderSlidePng(*d, 720, 540);
        if (first[k].empty()) first[k] = png;
        EXPECT_EQ(first[k], png) << "drawing " << k;
        const Raster drawn = RenderSlideRaster(*d, 720, 540), read = bctest::DecodeWithCairo(png);
        ASSERT_EQ(drawn.rgba.size(), read.rgba.size());
        EXPECT_TRUE(drawn.rgba == read.rgba) << "drawing " << k;
    }
    EXPECT_NE(first[0], first[1]);
    EXPECT_NE(first[0], first[2]);

    ShapeDrawing clear = Auto(1, 40, 30, kBlue);
    clear.fill.transparency = 1;
    ShapeDrawing faint = clear;
    faint.fill.transparency = 0.99;
    const auto a = RenderShapePng(clear, 1, 1), b = RenderShapePng(faint, 1, 1), c = RenderShapePng(clear, 1, 1);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, c);
}

TEST(RenderShape, TransparentFillKeepsItsAlpha) {
    ShapeDrawing s = Auto(1, 10, 10);
    s.fill.transparency = 0.5;
    const Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_NEAR(static_cast<int>(r.At(5, 5) & 0xFF), 128, 1);
    EXPECT_EQ(r.At(5, 5) >> 24, 0xFFu);  // colour not darkened by premultiplication
}

TEST(RenderShape, GradientRunsAlongItsAngle) {
    ShapeDrawing s = Auto(1, 200, 20);
    s.fill.kind = FillKind::Gradient;
    s.fill.color = kRed;
    s.fill.color2 = kBlue;
    s.fill.gradientAngle = 0;
    Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_GT(r.At(1, 10) >> 24, 240u);            // red at the left
    EXPECT_GT((r.At(198, 10) >> 8) & 0xFF, 240u);  // blue at the right
    s.fill.gradientAngle = 180;
    r = RenderShapeRaster(s, 1, 1);
    EXPECT_GT((r.At(1, 10) >> 8) & 0xFF, 240u);
}

// Fills other than solid and linear, the shadow and compound lines, each read at a few points of
// a white slide (one point a pixel): the colour a point must be near, per channel.
// A stop's own transparency goes with its colour: opaque red at one end, clear blue at the other,
// along a line and growing from the centre of a rectangle; a stop without one takes the fill's.
TEST(RenderShape, GradientStopsCarryTheirTransparency) {
    struct Case {
        const char* name;
        GradientKind kind;
        std::vector<GradientStop> stops;
        int opaqueX, clearX;  // along the middle row of a 200 x 20 frame
    };
    const Case cases[] = {
        {"linear", GradientKind::Linear, {{0, kRed, 0}, {1, kBlue, 1}}, 1, 198},
        {"linear, stops reversed", GradientKind::Linear, {{0, kBlue, 1}, {1, kRed, 0}}, 198, 1},
        {"rectangular from the centre", GradientKind::Rectangular, {{0, kRed, 0}, {1, kBlue, 1}}, 100, 1},
        {"the fill's transparency where a stop has none",
         GradientKind::Linear,
         {{0, kRed, -1}, {1, kBlue, 1}},
         -1,
         198},
    };
    for (const Case& c : cases) {
        ShapeDrawing s = Auto(1, 200, 20);
        s.frame = {0, 0, 200, 20};
        s.fill.kind = FillKind::Gradient;
        s.fill.gradient = c.kind;
        s.fill.gradientAngle = 0;
        s.fill.stops = c.stops;
        s.fill.transparency = 0.5;
        const Raster r = RenderShapeRaster(s, 1, 1);
        if (c.opaqueX >= 0) {
            EXPECT_GT(r.At(c.opaqueX, 10) & 0xFF, 240u) << c.name;
        } else {
            EXPECT_NEAR(static_cast<int>(r.At(1, 10) & 0xFF), 128, 4) << c.name;
        }
        EXPECT_LT(r.At(c.clearX, 10) & 0xFF, 16u) << c.name;
    }
}

TEST(RenderSlide, FillKindsShadowsAndCompoundLines) {
    struct Probe {
        int x, y;
        std::uint32_t bgr;
    };
    struct Case {
        const char* what;
        ShapeDrawing shape;
        std::vector<Probe> probes;
    };
    constexpr std::uint32_t kWhite = 0xFFFFFF, kGrey = 0x808080;
    std::vector<Case> cases;
    auto square = [](std::uint32_t color = kRed) {
        ShapeDrawing s = Auto(1, 100, 100, color);
        s.frame = {100, 100, 100, 100};
        return s;
    };
    {
        ShapeDrawing s = square();
        s.fill.kind = FillKind::Gradient;
        s.fill.gradient = GradientKind::Radial;
        s.fill.color2 = kBlue;
        cases.push_back({"radial: the first colour at the focus, the second at the far corners",
                         s,
                         {{150, 150, kRed}, {101, 101, kBlue}, {198, 198, kBlue}}});
        s.fill.gradient = GradientKind::Rectangular;
        s.fill.focusLeft = s.fill.focusRight = s.fill.focusTop = s.fill.focusBottom = 0;
        cases.push_back({"rectangular from the top-left corner", s, {{101, 101, kRed}, {199, 199, kBlue}}});
        s.fill.gradient = GradientKind::Path;
        s.fill.focusLeft = s.fill.focusRight = s.fill.focusTop = s.fill.focusBottom = 0.5;
        cases.push_back({"path: the centre outwards", s, {{150, 150, kRed}, {150, 101, kBlue}, {101, 150, kBlue}}});
    }
    {
        ShapeDrawing s = square();
        s.fill.kind = FillKind::Pattern;
        s.fill.color2 = kBlue;
        // Left half of each 8 x 8 cell set, right half clear: a cell is 8 pixels at 96 dpi, 6 points,
        // from the frame's corner.
        for (std::uint8_t& row : s.fill.pattern) row = 0xF0;
        cases.push_back({"pattern: set bits in the first colour, clear ones in the second",
                         s,
                         {{101, 101, kRed}, {104, 101, kBlue}, {107, 150, kRed}, {110, 150, kBlue}}});
    }
    {
        ShapeDrawing s = square();
        s.shadow.visible = true;
        s.shadow.offsetX = 10;
        s.shadow.offsetY = 20;
        s.shadow.color = kGrey;
        cases.push_back(
            {"shadow moved by its offset, under the shape",
             s,
             {{150, 150, kRed}, {205, 215, kGrey}, {150, 215, kGrey}, {105, 215, kWhite}, {205, 105, kWhite}}});
        s.shadow.transparency = 0.5;
        cases.push_back({"half transparent shadow", s, {{205, 215, 0xC0C0C0}, {150, 150, kRed}}});
    }
    {
        ShapeDrawing s = WithLine(square(), kBlue, 12);
        s.fill.kind = FillKind::None;
        s.line.compound = LineData::Double;
        // The line is centred on the frame's edge at x = 100: 94..106, its middle third open.
        cases.push_back(
            {"double line: two strokes with a gap", s, {{95, 150, kBlue}, {100, 150, kWhite}, {105, 150, kBlue}}});
        s.line.compound = LineData::Triple;
        cases.push_back(
            {"triple line: the middle stroke in the gap",
             s,
             {{94, 150, kBlue}, {97, 150, kWhite}, {100, 150, kBlue}, {102, 150, kWhite}, {105, 150, kBlue}}});
        s.line.compound = LineData::Simple;
        cases.push_back({"simple line is solid across", s, {{95, 150, kBlue}, {100, 150, kBlue}, {105, 150, kBlue}}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SlideDrawing slide;
        slide.background = FillData::Solid(kWhite);
        slide.shapes.push_back(c.shape);
        const Raster r = RenderSlideRaster(slide, 720, 540);
        for (const Probe& p : c.probes) {
            SCOPED_TRACE("at " + std::to_string(p.x) + ", " + std::to_string(p.y));
            const std::uint32_t px = r.At(p.x, p.y), want = Opaque(p.bgr);
            for (int shift : {24, 16, 8}) EXPECT_NEAR(int((px >> shift) & 0xFF), int((want >> shift) & 0xFF), 24);
        }
    }
}

TEST(RenderShape, DashedLineLeavesGaps) {
    ShapeDrawing s;
    s.kind = ShapeKind::Line;
    s.frame = {0, 0, 200, 0};
    s = WithLine(s, kBlue, 2);
    s.line.dashStyle = DashDash;
    const Raster r = RenderShapeRaster(s, 1, 1);
    int on = 0, off = 0;
    for (int x = 0; x < r.width; ++x) ((r.At(x, 1) & 0xFF) > 128 ? on : off)++;
    EXPECT_GT(on, 60);
    EXPECT_GT(off, 40);
}

TEST(RenderShape, ArrowheadIsWiderThanTheLine) {
    ShapeDrawing s;
    s.kind = ShapeKind::Line;
    s.frame = {0, 0, 100, 0};
    s = WithLine(s, kBlue, 2);
    s.line.endArrow.style = ArrowTriangle;
    const Raster r = RenderShapeRaster(s, 1, 1);
    ASSERT_GE(r.height, 6);  // room for the arrowhead
    const int mid = r.height / 2;
    EXPECT_EQ(r.At(94, mid), Opaque(kBlue));    // arrowhead near the tip
    EXPECT_EQ(r.At(10, 0) & 0xFF, 0u);          // above the line's start: empty
    EXPECT_GT(r.At(92, mid - 2) & 0xFF, 200u);  // but the arrowhead reaches there
}

TEST(RenderShape, TextPainterDrawsInTheUnflippedFrame) {
    ShapeDrawing s = Auto(1, 100, 50);
    s.flipH = true;
    s.text = [](cairo_t* cr) {
        cairo_rectangle(cr, 0, 0, 10, 10);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_fill(cr);
    };
    SlideDrawing slide;
    slide.shapes.push_back(s);
    const Raster r = RenderSlideRaster(slide, 720, 540);
    EXPECT_EQ(r.At(35, 25), Opaque(kGreen));  // the frame starts at 30, 20
    EXPECT_EQ(r.At(125, 25), Opaque(kRed));
}

TEST(RenderSlide, SizeIsExactlyAsAsked) {
    SlideDrawing slide;
    slide.shapes.push_back(Auto(9, 300, 200));
    for (auto [w, h] : {std::pair{720, 540}, {1, 1}, {333, 77}, {1024, 768}}) {
        const Raster r = bctest::DecodeWithCairo(RenderSlidePng(slide, w, h));
        EXPECT_EQ(r.width, w);
        EXPECT_EQ(r.height, h);
    }
}

TEST(RenderSlide, BackgroundFillsAndShapesLieOnTop) {
    SlideDrawing slide;
    slide.background = FillData::Solid(kBlue);
    ShapeDrawing half = Auto(1, 100, 100, kRed);
    half.frame = {0, 0, 100, 100};
    half.fill.transparency = 0.5;
    slide.shapes.push_back(half);
    const Raster r = RenderSlideRaster(slide, 720, 540);
    EXPECT_EQ(r.At(700, 500), Opaque(kBlue));
    const std::uint32_t mixed = r.At(50, 50);
    EXPECT_NEAR(static_cast<int>(mixed >> 24), 128, 2);          // red half
    EXPECT_NEAR(static_cast<int>((mixed >> 8) & 0xFF), 127, 2);  // blue half
    EXPECT_EQ(mixed & 0xFF, 0xFFu);                              // slides are opaque
}

TEST(RenderSlide, FooterChangesOnlyItsOwnArea) {
    SlideDrawing base;
    base.background.kind = FillKind::Gradient;
    base.background.color = 0xEEDDCC;
    base.background.color2 = 0x663311;
    base.shapes.push_back(WithLine(Auto(5, 400, 300, 0x44AA88), 0x202020, 2));  // the master's graphics
    SlideDrawing withFooter = base;
    ShapeDrawing footer;
    footer.kind = ShapeKind::TextOnly;
    footer.frame = {600, 500, 100, 30};
    footer.text = [](cairo_t* cr) {
        cairo_rectangle(cr, 5, 5, 20, 15);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_fill(cr);
    };
    withFooter.shapes.push_back(footer);
    const Raster a = RenderSlideRaster(base, 720, 540), b = RenderSlideRaster(withFooter, 720, 540);
    ASSERT_EQ(a.width, b.width);
    int inside = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const bool inFooter = x >= 599 && x <= 701 && y >= 499 && y <= 531;
            if (a.At(x, y) != b.At(x, y)) {
                ASSERT_TRUE(inFooter) << x << ", " << y;
                ++inside;
            }
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_EQ(RenderSlidePng(withFooter, 720, 540), RenderSlidePng(withFooter, 720, 540));
}

// ---- pictures ----

namespace {

// A 2 x 2 picture: red, green / blue, white.
Raster Quad() {
    Raster r;
    r.width = 2;
    r.height = 2;
    r.rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    return r;
}

// The same picture as a bottom-up 24-bit bitmap with its file header.
std::vector<std::uint8_t> QuadDib() {
    std::vector<std::uint8_t> b(14 + 40 + 16, 0);
    b[0] = 'B';
    b[1] = 'M';
    b[10] = 54;
    b[14] = 40;
    b[18] = 2;                                                          // width
    b[22] = 2;                                                          // height
    b[26] = 1;                                                          // planes
    b[28] = 24;                                                         // bits
    const std::uint8_t rows[2][8] = {{255, 0, 0, 255, 255, 255, 0, 0},  // bottom: blue, white (BGR)
                                     {0, 0, 255, 0, 255, 0, 0, 0}};     // top: red, green
    std::memcpy(&b[54], rows[0], 8);
    std::memcpy(&b[62], rows[1], 8);
    return b;
}

// The same picture as a run-length coded bitmap of 8 or 4 bits (compression 1 or 2) with
// palette red, green, blue, white; a literal stretch and a jump show in the 8-bit one.
std::vector<std::uint8_t> QuadRle(int bits) {
    std::vector<std::uint8_t> b(40 + 16, 0);
    b[0] = 40;
    b[4] = 2;   // width
    b[8] = 2;   // height
    b[12] = 1;  // planes
    b[14] = static_cast<std::uint8_t>(bits);
    b[16] = bits == 8 ? 1 : 2;
    b[32] = 4;  // colours used
    const std::uint8_t palette[16] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(&b[40], palette, 16);
    const std::vector<std::uint8_t> codes =
        // 8 bits: a run for each bottom pixel, a line end, a jump over the top row's first pixel,
        // a run for its second, a jump beyond the picture, the end.
        bits == 8 ? std::vector<std::uint8_t>{1, 2, 1, 3, 0, 0, 0, 2, 1, 0, 1, 1, 0, 2, 0xFF, 0, 0, 1}
                  : std::vector<std::uint8_t>{2, 0x23, 0, 0, 2, 0x01, 0, 1};
    b.insert(b.end(), codes.begin(), codes.end());
    return b;
}

ShapeDrawing PictureShape(std::vector<std::uint8_t> bytes) {
    ShapeDrawing s;
    s.kind = ShapeKind::Picture;
    s.frame = {0, 0, 100, 100};
    s.picture.bytes = std::move(bytes);
    return s;
}

}  // namespace

TEST(RenderPicture, FormatsDrawTheirPixels) {
    for (auto bytes : {EncodePng(Quad(), true), QuadDib(), QuadRle(8), QuadRle(4)}) {
        const Raster r = RenderShapeRaster(PictureShape(bytes), 1, 1);
        if (bytes == QuadRle(8))  // the jump skipped the top-left pixel: the background shows
            EXPECT_EQ(r.At(10, 10) & 0xFF, 0u);
        else
            EXPECT_EQ(r.At(10, 10), 0xFF0000FFu);
        EXPECT_EQ(r.At(90, 10), 0x00FF00FFu);
        EXPECT_EQ(r.At(10, 90), 0x0000FFFFu);
        EXPECT_EQ(r.At(90, 90), 0xFFFFFFFFu);
    }
}

TEST(RenderPicture, DimPictureIsBlackAndKeepsItsShape) {
    Raster quad = Quad();
    quad.rgba[3] = 0;  // top-left transparent
    ShapeDrawing s = PictureShape(EncodePng(quad, true));
    s.picture.brightness = 0;
    s.picture.contrast = 0;
    const Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_EQ(r.At(90, 90), 0x000000FFu);
    EXPECT_EQ(r.At(90, 10), 0x000000FFu);
    EXPECT_EQ(r.At(10, 10) & 0xFF, 0u);
    // The same bytes drawn again without dimming show their colours (decoded pictures are reused).
    s.picture.brightness = s.picture.contrast = 0.5;
    EXPECT_EQ(RenderShapeRaster(s, 1, 1).At(90, 90), 0xFFFFFFFFu);
}

// Each quarter of the test picture (red, green, blue, white) after the picture's colour settings,
// as 0xRRGGBBAA; the transparent colour is matched before the picture is recoloured.
TEST(RenderPicture, ColourModesAndTransparentColour) {
    struct Case {
        const char* name;
        PictureColor color;
        double brightness, contrast;
        bool transparent;
        std::uint32_t transparentColor;  // 0x00BBGGRR
        std::uint32_t red, green, blue, white;
    };
    const Case cases[] = {
        {"as stored", PictureColor::Automatic, 0.5, 0.5, false, 0, 0xFF0000FF, 0x00FF00FF, 0x0000FFFF, 0xFFFFFFFF},
        {"grayscale", PictureColor::Grayscale, 0.5, 0.5, false, 0, 0x4C4C4CFF, 0x969696FF, 0x1D1D1DFF, 0xFFFFFFFF},
        {"black and white", PictureColor::BlackAndWhite, 0.5, 0.5, false, 0, 0x000000FF, 0xFFFFFFFF, 0x000000FF,
         0xFFFFFFFF},
        // Brighter, the red's grey (76) passes the middle and turns white.
        {"black and white, brighter", PictureColor::BlackAndWhite, 0.75, 0.5, false, 0, 0xFFFFFFFF, 0xFFFFFFFF,
         0xFFFFFFFF, 0xFFFFFFFF},
        // Pale whatever the stored brightness and contrast: a missing channel turns light grey.
        {"washout", PictureColor::Washout, 0.1, 0.9, false, 0, 0xFFD9D9FF, 0xD9FFD9FF, 0xD9D9FFFF, 0xFFFFFFFF},
        {"brightest", PictureColor::Automatic, 1.0, 0.5, false, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {"green transparent", PictureColor::Automatic, 0.5, 0.5, true, 0x00FF00, 0xFF0000FF, 0, 0x0000FFFF, 0xFFFFFFFF},
        {"red transparent, then grey", PictureColor::Grayscale, 0.5, 0.5, true, 0x0000FF, 0, 0x969696FF, 0x1D1D1DFF,
         0xFFFFFFFF},
        {"a colour the picture lacks", PictureColor::Automatic, 0.5, 0.5, true, 0x123456, 0xFF0000FF, 0x00FF00FF,
         0x0000FFFF, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        ShapeDrawing s = PictureShape(EncodePng(Quad(), true));
        s.picture.color = c.color;
        s.picture.brightness = c.brightness;
        s.picture.contrast = c.contrast;
        s.picture.hasTransparentColor = c.transparent;
        s.picture.transparentColor = c.transparentColor;
        const Raster r = RenderShapeRaster(s, 1, 1);
        auto seen = [&](int x, int y) {  // a transparent pixel's colour does not matter
            const std::uint32_t p = r.At(x, y);
            return (p & 0xFF) == 0 ? 0u : p;
        };
        EXPECT_EQ(seen(10, 10), c.red) << c.name;
        EXPECT_EQ(seen(90, 10), c.green) << c.name;
        EXPECT_EQ(seen(10, 90), c.blue) << c.name;
        EXPECT_EQ(seen(90, 90), c.white) << c.name;
    }
}

// A texture of 2 x 2 pixels (red, green over blue, white), each pixel 10 points, tiled over a
// 30-point square: a tile is centred on the square (its corner at 5, 5), the others lie around
// it; where the stored origins move it, the whole tiling moves.
TEST(RenderPicture, TextureTilesLieAroundTheFramesCentre) {
    struct Case {
        const char* name;
        double shapeOriginX, tileOriginX;
        std::vector<std::tuple<int, int, std::uint32_t>> pixels;  // 0xRRGGBBAA
    };
    const Case cases[] = {
        {"centred",
         0,
         0,
         {{9, 9, 0xFF0000FF},
          {19, 9, 0x00FF00FF},
          {9, 19, 0x0000FFFF},
          {19, 19, 0xFFFFFFFF},
          {0, 0, 0xFFFFFFFF},
          {29, 29, 0xFF0000FF}}},
        // The tile's left edge on the frame's left edge: tiles start at 0.
        {"tile's left edge on the frame's",
         -0.5,
         -0.5,
         {{4, 4, 0xFF0000FF}, {14, 4, 0x00FF00FF}, {24, 4, 0xFF0000FF}, {4, 14, 0x0000FFFF}}},
    };
    for (const Case& c : cases) {
        ShapeDrawing s = Auto(1, 30, 30);
        s.frame = {0, 0, 30, 30};
        s.fill.kind = FillKind::Texture;
        s.fill.picture.bytes = EncodePng(Quad(), true);
        s.fill.tileWidth = s.fill.tileHeight = 20;
        s.fill.tileShapeOriginX = s.fill.tileShapeOriginY = c.shapeOriginX;
        s.fill.tileOriginX = s.fill.tileOriginY = c.tileOriginX;
        const Raster r = RenderShapeRaster(s, 1, 1);
        for (const auto& [x, y, expected] : c.pixels) {
            const std::uint32_t p = r.At(x, y);
            for (int shift = 0; shift < 32; shift += 8)  // pixels a tenth of a tile pixel from its centre
                EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 30)
                    << c.name << " at " << x << ", " << y;
        }
    }
}

TEST(RenderPicture, CropShowsThePartLeft) {
    ShapeDrawing s = PictureShape(EncodePng(Quad(), true));
    s.picture.cropLeft = 0.5;
    const Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_EQ(r.At(10, 10), 0x00FF00FFu);
    EXPECT_EQ(r.At(10, 90), 0xFFFFFFFFu);
}

TEST(RenderPicture, UnreadableBytesDrawAPlaceholder) {
    for (std::vector<std::uint8_t> bytes :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0},
          std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 1, 2}, std::vector<std::uint8_t>(300, 'B')}) {
        const Raster r = RenderShapeRaster(PictureShape(bytes), 1, 1);
        EXPECT_EQ(r.At(50, 20) & 0xFF, 0xFFu) << "placeholder is opaque";
    }
    // A truncated picture never reads past its bytes.
    std::vector<std::uint8_t> png = EncodePng(Quad(), true);
    for (size_t n = 0; n < png.size(); n += 3) {
        std::vector<std::uint8_t> cut(png.begin(), png.begin() + static_cast<long>(n));
        RenderShapeRaster(PictureShape(cut), 0.2, 0.2);
    }
    for (const std::vector<std::uint8_t>& dib : {QuadDib(), QuadRle(8), QuadRle(4)})
        for (size_t n = 0; n < dib.size(); ++n) {
            std::vector<std::uint8_t> cut(dib.begin(), dib.begin() + static_cast<long>(n));
            RenderShapeRaster(PictureShape(cut), 0.2, 0.2);
        }
}

// A PNG chunk that claims a gigabyte draws the placeholder without that memory taken.
TEST(RenderPicture, ChunkLengthsClaimedAreNotAllocated) {
    const std::vector<std::uint8_t> bytes = bctest::FileBytes(BC_SOURCE_DIR "/tests/data/compiler/text-claims-1gb.png");
    ASSERT_GT(bytes.size(), 50u);
    testsupport::LargestAllocation largest;
    const Raster r = RenderShapeRaster(PictureShape(bytes), 1, 1);
    EXPECT_EQ(r.At(50, 20) & 0xFF, 0xFFu) << "placeholder is opaque";
    if (largest.Watching()) {
        EXPECT_LT(largest.Bytes(), 64u << 20);
    }
}

TEST(RenderPicture, SlideBackgroundPictureIsStretched) {
    SlideDrawing slide;
    slide.background.kind = FillKind::Picture;
    slide.background.picture.bytes = EncodePng(Quad(), true);
    const Raster r = RenderSlideRaster(slide, 200, 100);
    EXPECT_EQ(r.At(10, 10), 0xFF0000FFu);
    EXPECT_EQ(r.At(190, 90), 0xFFFFFFFFu);
}

// ---- bad arguments ----

TEST(RenderErrors, BadSizesAndScalesAreRefused) {
    ShapeDrawing s = Auto(1, 10, 10);
    for (double scale : {0.0, -1.0, std::nan(""), double(INFINITY), 1e9})
        EXPECT_THROW(RenderShapePng(s, scale, 1), RenderError) << scale;
    ShapeDrawing negative = s;
    negative.frame.width = -5;
    EXPECT_THROW(RenderShapePng(negative, 1, 1), RenderError);
    ShapeDrawing huge = s;
    huge.frame.width = 1e7;
    EXPECT_THROW(RenderShapePng(huge, 1, 1), RenderError);
    EXPECT_THROW(RenderShapeWmf(huge, 1, 1), RenderError);
    SlideDrawing slide;
    for (auto [w, h] : {std::pair{0, 10}, {10, -1}, {100000, 10}, {20000, 20000}})
        EXPECT_THROW(RenderSlidePng(slide, w, h), RenderError) << w << " x " << h;
    slide.width = 0;
    EXPECT_THROW(RenderSlidePng(slide, 10, 10), RenderError);
}

TEST(RenderErrors, BrokenShapeOnASlideIsLeftOut) {
    // Red shapes over the whole slide, each broken in one value, before and after a good blue
    // square: the slide shows white and the square, nothing red and nothing in between.
    const Frame broken[] = {{std::nan(""), 0, 72, 54}, {0, std::nan(""), 72, 54}, {0, 0, INFINITY, 54},
                            {0, 0, 72, std::nan("")},  {72, 0, -72, 54},          {0, 54, 72, -54}};
    SlideDrawing slide;
    slide.width = 72;
    slide.height = 54;
    auto addBroken = [&](const Frame& frame) {
        ShapeDrawing bad = Auto(1, 72, 54);
        bad.frame = frame;
        slide.shapes.push_back(bad);
    };
    for (const Frame& f : broken) addBroken(f);
    ShapeDrawing good = Auto(1, 10, 10, kBlue);  // at (30, 20)
    slide.shapes.push_back(good);
    for (const Frame& f : broken) addBroken(f);

    const Raster r = RenderSlideRaster(slide, 72, 54);
    ASSERT_EQ(r.width, 72);
    ASSERT_EQ(r.height, 54);
    int blue = 0, other = 0;
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const bool inside = x >= 30 && x < 40 && y >= 20 && y < 30;
            const std::uint32_t expected = inside ? Opaque(kBlue) : 0xFFFFFFFFu;
            if (r.At(x, y) != expected) {
                ++other;
            } else if (inside) {
                ++blue;
            }
        }
    }
    EXPECT_EQ(blue, 100) << "the good shape is drawn";
    EXPECT_EQ(other, 0) << "pixels that are neither background nor the good shape";
}

TEST(RenderErrors, FailedWriteLeavesNoFile) {
    CScratchFolder folder;
    const auto dir = folder.Fs();
    const auto good = dir / "shape.png";
    RenderShapePng(Auto(1, 10, 10), 1, 1, good);
    EXPECT_TRUE(std::filesystem::exists(good));
    const auto missing = dir / "no" / "such" / "folder" / "shape.png";
    EXPECT_THROW(RenderShapePng(Auto(1, 10, 10), 1, 1, missing), RenderError);
    EXPECT_THROW(RenderShapePng(Auto(1, 10, 10), 0, 1, dir / "bad.png"), RenderError);
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.png"));
}

TEST(RenderGeometry, EveryDrawnTypeStaysInsideItsPicture) {
    // Shapes whose outline lies within the frame fill their frame and leave no ink outside it.
    // Drawn filled, without a line (a line is centred on the outline and its corners reach
    // past it), on a slide with a margin around the frame, so ink outside the frame shows.
    // Edges may smooth into the pixel next to the frame. Callouts and the balloon (137) reach
    // out to their tip, arcs and brackets are mostly line, and are left out here.
    constexpr int kLeft = 40, kTop = 30, kWidth = 80, kHeight = 60, kMargin = 1;
    SlideDrawing slide;
    slide.width = kLeft * 2 + kWidth;
    slide.height = kTop * 2 + kHeight;
    int drawn = 0;
    for (int type = 1; type <= 137; ++type) {
        if (!IsAutoShapeDrawn(type) || (type >= 105 && type <= 124) || (type >= 25 && type <= 32) || type == 137)
            continue;
        ++drawn;
        SCOPED_TRACE(type);
        ShapeDrawing s = Auto(type, kWidth, kHeight);
        s.frame.left = kLeft;
        s.frame.top = kTop;
        slide.shapes = {s};
        const Raster r = RenderSlideRaster(slide, static_cast<int>(slide.width), static_cast<int>(slide.height));
        int inside = 0, outside = 0;
        for (int y = 0; y < r.height; ++y) {
            for (int x = 0; x < r.width; ++x) {
                if (r.At(x, y) == 0xFFFFFFFFu) continue;
                const bool inFrame = x >= kLeft - kMargin && x < kLeft + kWidth + kMargin && y >= kTop - kMargin &&
                                     y < kTop + kHeight + kMargin;
                ++(inFrame ? inside : outside);
            }
        }
        EXPECT_GT(inside, kWidth * kHeight / 10);
        EXPECT_EQ(outside, 0);
    }
    EXPECT_GE(drawn, 95);
    EXPECT_FALSE(IsAutoShapeDrawn(20));  // the block arc has no template
}
