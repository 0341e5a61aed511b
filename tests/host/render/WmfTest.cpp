// Shape metafiles read back: header, record kinds, coordinates, and the reader's refusals.

#include "QuadDib.h"
#include "render/BcRender.h"
#include "render/BcWmf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace render;

namespace {

ShapeDrawing Shape(ShapeKind kind, int type, double w, double h) {
    ShapeDrawing s;
    s.kind = kind;
    s.autoShapeType = type;
    s.frame = {100, 100, w, h};
    s.fill = FillData::Solid(0x336699);
    s.line.visible = true;
    s.line.color = 0x0000FF;
    s.line.weight = 1;
    return s;
}

std::map<std::uint16_t, int> Kinds(const WmfFile& f) {
    std::map<std::uint16_t, int> n;
    for (const WmfRecord& r : f.records) n[r.function]++;
    return n;
}

WmfFile Read(const std::vector<std::uint8_t>& bytes) {
    WmfFile f;
    std::string error;
    EXPECT_TRUE(ReadWmf(bytes, f, &error)) << error;
    return f;
}

}  // namespace

TEST(RenderWmf, HeaderAndMappingDescribeThePicture) {
    const ShapeDrawing s = Shape(ShapeKind::AutoShape, 1, 100, 50);
    const auto bytes = RenderShapeWmf(s, 1, 1);
    const WmfFile f = Read(bytes);
    EXPECT_TRUE(f.placeable);
    EXPECT_EQ(f.boundsLeft, 0);
    EXPECT_EQ(f.boundsTop, 0);
    EXPECT_EQ(f.boundsRight, 100 * 16);
    EXPECT_EQ(f.boundsBottom, 50 * 16);
    EXPECT_EQ(f.unitsPerInch, 96 * 16);  // the picture's size is its pixel size at 96 per inch
    EXPECT_EQ(f.sizeWords * 2 + 22, bytes.size());
    EXPECT_EQ(f.numberOfObjects, 5);
    ASSERT_GE(f.records.size(), 4u);
    EXPECT_EQ(f.records[0].function, WmfSetMapMode);
    EXPECT_EQ(f.records[0].Param(0), 8);
    EXPECT_EQ(f.records[1].function, WmfSetWindowOrg);
    EXPECT_EQ(f.records[2].function, WmfSetWindowExt);
    EXPECT_EQ(f.records[2].Param(0), 50 * 16);  // height first
    EXPECT_EQ(f.records[2].Param(1), 100 * 16);
    EXPECT_EQ(f.records.back().function, WmfEof);
    EXPECT_EQ(RenderShapeWmf(s, 1, 1), bytes);
}

TEST(RenderWmf, RecordKindsByShape) {
    struct Case {
        const char* name;
        ShapeDrawing shape;
        std::uint16_t outline;  // the record that carries the outline
    };
    ShapeDrawing line = Shape(ShapeKind::Line, 1, 200, 100);
    line.line.endArrow.style = ArrowTriangle;
    ShapeDrawing freeform = Shape(ShapeKind::Freeform, 1, 100, 100);
    freeform.paths.resize(2);
    for (int k = 0; k < 2; ++k) {
        double o = k * 30;
        freeform.paths[k].segments = {{PathSegment::MoveTo, {{o, o}}},
                                      {PathSegment::LineTo, {{o + 60, o}}},
                                      {PathSegment::LineTo, {{o + 60, o + 60}}},
                                      {PathSegment::Close, {}}};
    }
    const Case cases[] = {
        {"rectangle", Shape(ShapeKind::AutoShape, 1, 100, 50), WmfRectangle},
        {"oval", Shape(ShapeKind::AutoShape, 9, 100, 50), WmfEllipse},
        {"star", Shape(ShapeKind::AutoShape, 92, 100, 100), WmfPolygon},
        {"rounded rectangle", Shape(ShapeKind::AutoShape, 5, 100, 50), WmfPolygon},
        {"donut", Shape(ShapeKind::AutoShape, 18, 100, 100), WmfPolyPolygon},
        {"two-part freeform", freeform, WmfPolyPolygon},
        {"line with an arrowhead", line, WmfPolygon},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WmfFile f = Read(RenderShapeWmf(c.shape, 1.5, 1.5));
        const auto kinds = Kinds(f);
        EXPECT_EQ(kinds.count(c.outline), 1u);
        EXPECT_EQ(kinds.at(WmfCreatePenIndirect), 2);
        EXPECT_EQ(kinds.at(WmfCreateBrushIndirect), 3);
        // Nothing outside the set the compiler reads.
        for (const auto& [fn, n] : kinds) {
            const std::uint16_t allowed[] = {WmfSetMapMode,          WmfSetWindowOrg,
                                             WmfSetWindowExt,        WmfSetBkMode,
                                             WmfSetPolyFillMode,     WmfCreatePenIndirect,
                                             WmfCreateBrushIndirect, WmfSelectObject,
                                             WmfDeleteObject,        WmfPolygon,
                                             WmfPolyPolygon,         WmfEllipse,
                                             WmfRectangle,           WmfEof};
            EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), fn), std::end(allowed)) << std::hex << fn;
        }
    }
}

TEST(RenderWmf, PenAndBrushCarryLineAndFill) {
    ShapeDrawing s = Shape(ShapeKind::AutoShape, 1, 100, 50);
    s.line.weight = 3;
    s.line.dashStyle = DashDash;
    const WmfFile f = Read(RenderShapeWmf(s, 1, 1));
    const WmfRecord* pen = nullptr;
    const WmfRecord* brush = nullptr;
    const WmfRecord* rect = nullptr;
    for (const WmfRecord& r : f.records) {
        if (r.function == WmfCreatePenIndirect && !pen) pen = &r;
        if (r.function == WmfCreateBrushIndirect && !brush) brush = &r;
        if (r.function == WmfRectangle) rect = &r;
    }
    ASSERT_TRUE(pen && brush && rect);
    EXPECT_EQ(pen->Param(0), 1);       // dash
    EXPECT_EQ(pen->Param(1), 3 * 16);  // width in logical units
    EXPECT_EQ(static_cast<std::uint16_t>(pen->Param(3)), 0x00FF);
    EXPECT_EQ(brush->Param(0), 0);  // solid
    EXPECT_EQ(static_cast<std::uint16_t>(brush->Param(1)), 0x6699);
    EXPECT_EQ(brush->Param(2), 0x33);
    // The outline is inset by half the line so the pen stays inside: bottom, right, top, left.
    EXPECT_EQ(rect->Param(3), 24);
    EXPECT_EQ(rect->Param(2), 24);
    EXPECT_EQ(rect->Param(1), 100 * 16 - 24);
    EXPECT_EQ(rect->Param(0), 50 * 16 - 24);
}

TEST(RenderWmf, FlippedTriangleIsMirrored) {
    ShapeDrawing s = Shape(ShapeKind::AutoShape, 8, 100, 100);
    s.line.visible = false;
    s.flipH = true;
    const WmfFile f = Read(RenderShapeWmf(s, 1, 1));
    for (const WmfRecord& r : f.records) {
        if (r.function != WmfPolygon) continue;
        ASSERT_EQ(r.Param(0), 3);
        // Right angle at the bottom right after the flip.
        bool found = false;
        for (int i = 0; i < 3; ++i) found = found || (r.Param(1 + 2 * i) == 1600 && r.Param(2 + 2 * i) == 1600);
        EXPECT_TRUE(found);
        return;
    }
    FAIL() << "no polygon";
}

TEST(RenderWmf, ReaderRefusesBrokenFiles) {
    const auto good = RenderShapeWmf(Shape(ShapeKind::AutoShape, 92, 50, 50), 1, 1);
    // Every truncation fails cleanly.
    for (size_t n = 0; n < good.size(); ++n) {
        WmfFile f;
        EXPECT_FALSE(ReadWmf(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n)), f)) << n;
    }
    auto badSum = good;
    badSum[20] ^= 1;
    WmfFile f;
    std::string error;
    EXPECT_FALSE(ReadWmf(badSum, f, &error));
    EXPECT_NE(error.find("checksum"), std::string::npos);
    auto hugeRecord = good;
    hugeRecord[22 + 18] = 0xFF;  // first record's size
    hugeRecord[22 + 19] = 0xFF;
    EXPECT_FALSE(ReadWmf(hugeRecord, f));
}

TEST(RenderWmf, MetafilePictureIsPlayed) {
    // A metafile the renderer wrote, shown as a picture shape, draws its fill colour.
    ShapeDrawing rect = Shape(ShapeKind::AutoShape, 1, 100, 100);
    rect.line.visible = false;
    ShapeDrawing pic;
    pic.kind = ShapeKind::Picture;
    pic.frame = {0, 0, 50, 50};
    pic.picture.bytes = RenderShapeWmf(rect, 1, 1);
    const Raster r = RenderShapeRaster(pic, 1, 1);
    EXPECT_EQ(r.At(25, 25), 0x996633FFu);
}

namespace {

// A metafile picture of 100 x 100 logical units made record by record (no placeable header:
// the window records give its extent).
class WmfBuilder {
public:
    WmfBuilder& Record(std::uint16_t function, std::vector<std::uint16_t> params) {
        const std::uint32_t words = static_cast<std::uint32_t>(3 + params.size());
        m_words.push_back(static_cast<std::uint16_t>(words & 0xFFFF));
        m_words.push_back(static_cast<std::uint16_t>(words >> 16));
        m_words.push_back(function);
        m_words.insert(m_words.end(), params.begin(), params.end());
        return *this;
    }
    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint16_t> all = {1, 9, 0x0300, 0, 0, 8, 0, 0, 0};
        all.insert(all.end(), m_words.begin(), m_words.end());
        all.insert(all.end(), {3, 0, 0});  // end of file
        all[3] = static_cast<std::uint16_t>(all.size() & 0xFFFF);
        std::vector<std::uint8_t> b;
        for (std::uint16_t w : all) {
            b.push_back(static_cast<std::uint8_t>(w & 0xFF));
            b.push_back(static_cast<std::uint8_t>(w >> 8));
        }
        return b;
    }

private:
    std::vector<std::uint16_t> m_words;
};

// Words of a font record: height, four zero words, weight 400, flags, then the face name.
std::vector<std::uint16_t> FontWords(std::int16_t height, const std::string& face) {
    std::vector<std::uint16_t> w = {static_cast<std::uint16_t>(height), 0, 0, 0, 400, 0, 0, 0, 0};
    std::string name = face;
    name.resize(32, '\0');
    for (size_t i = 0; i < name.size(); i += 2)
        w.push_back(static_cast<std::uint16_t>(std::uint8_t(name[i]) | (std::uint8_t(name[i + 1]) << 8)));
    return w;
}

}  // namespace

TEST(RenderWmf, PicturesDrawFillsAndTextInTheirFonts) {
    WmfBuilder b;
    b.Record(WmfSetWindowOrg, {0, 0})
        .Record(WmfSetWindowExt, {100, 100})
        .Record(WmfCreateBrushIndirect, {0, 0x00FF, 0, 0})  // red brush, object 0
        .Record(WmfSelectObject, {0})
        .Record(0x061D, {0x0021, 0x00F0, 100, 50, 0, 0})    // the brush over the left half
        .Record(0x001E, {})                                 // save
        .Record(0x0416, {50, 100, 0, 50})                   // clip to the top-right quarter
        .Record(WmfCreateBrushIndirect, {0, 0xFF00, 0, 0})  // green brush, object 1
        .Record(WmfSelectObject, {1})
        .Record(0x061D, {0x0021, 0x00F0, 100, 100, 0, 0})
        .Record(0x0127, {0xFFFF})  // restore: the clip goes
        .Record(0x02FB, FontWords(-20, "Liberation Sans"))
        .Record(WmfSelectObject, {2})
        .Record(0x0209, {0, 0})  // black text
        .Record(0x012E, {24})    // on its baseline
        .Record(0x0A32, {90, 2, 4, 0, 'H' | ('H' << 8), 'H' | ('H' << 8), 11, 11, 11, 11});
    ShapeDrawing s;
    s.kind = ShapeKind::Picture;
    s.frame = {0, 0, 100, 100};
    s.picture.bytes = b.Bytes();
    const Raster r = RenderShapeRaster(s, 1, 1);
    EXPECT_EQ(r.At(10, 10), 0xFF0000FFu);
    EXPECT_EQ(r.At(90, 10), 0x00FF00FFu);
    EXPECT_EQ(r.At(90, 90) & 0xFF, 0u) << "the green fill stays inside its clip";
    int dark = 0, beyond = 0;
    for (int y = 50; y < 100; ++y)
        for (int x = 0; x < 50; ++x) {
            const std::uint32_t p = r.At(x, y);
            if ((p >> 24) < 0x80 && (p & 0xFF) > 0x80) {
                if (y > 91 || x > 47) ++beyond;
                ++dark;
            }
        }
    EXPECT_GT(dark, 40);
    EXPECT_EQ(beyond, 0);
    // Every cut of the picture plays without reading past its bytes.
    const std::vector<std::uint8_t> bytes = b.Bytes();
    for (size_t n = 0; n < bytes.size(); n += 2) {
        s.picture.bytes.assign(bytes.begin(), bytes.begin() + static_cast<long>(n));
        RenderShapeRaster(s, 0.3, 0.3);
    }
}

// Each bitmap record of a metafile picture lands in its destination box: the bitmap's quarters
// show in the right half of the 100 x 100 picture, the left half stays empty.
TEST(RenderWmf, BitmapRecordsDrawIntoTheirDestination) {
    struct Case {
        const char* name;
        std::uint16_t function;
        std::vector<std::uint16_t> params;
        std::uint16_t window;  // the window's width and height
        bool rightColumnOnly;
    };
    const Case cases[] = {
        {"stretched", 0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 50, 0, 50}, 100, false},
        {"stretched, the right column of the source",
         0x0F43,
         {0x0020, 0x00CC, 0, 2, 1, 0, 1, 100, 50, 0, 50},
         100,
         true},
        {"stretched block transfer", 0x0B41, {0x0020, 0x00CC, 2, 2, 0, 0, 100, 50, 0, 50}, 100, false},
        {"rows at their own size", 0x0D33, {0, 2, 0, 0, 0, 2, 2, 0, 2}, 4, false},
        {"block at its own size", 0x0940, {0x0020, 0x00CC, 0, 0, 2, 2, 0, 2}, 4, false},
    };
    for (const Case& c : cases) {
        WmfBuilder b;
        b.Record(WmfSetWindowOrg, {0, 0})
            .Record(WmfSetWindowExt, {static_cast<std::uint16_t>(c.window / (c.window == 4 ? 2 : 1)), c.window})
            .Record(c.function, bctest::Join(c.params, bctest::QuadDibWords<std::uint16_t>()));
        ShapeDrawing s;
        s.kind = ShapeKind::Picture;
        s.frame = {0, 0, 100, 100};
        s.picture.bytes = b.Bytes();
        const Raster r = RenderShapeRaster(s, 1, 1);
        EXPECT_EQ(r.At(25, 50) & 0xFF, 0u) << c.name << ": the left half is empty";
        if (c.rightColumnOnly) {
            EXPECT_EQ(r.At(75, 10), 0x00FF00FFu) << c.name;
            EXPECT_EQ(r.At(75, 90), 0xFFFFFFFFu) << c.name;
        } else {
            EXPECT_EQ(r.At(60, 10), 0xFF0000FFu) << c.name;
            EXPECT_EQ(r.At(90, 10), 0x00FF00FFu) << c.name;
            EXPECT_EQ(r.At(60, 90), 0x0000FFFFu) << c.name;
            EXPECT_EQ(r.At(90, 90), 0xFFFFFFFFu) << c.name;
        }
    }
}

// Fills no brush can show reach the shape's metafile as a bitmap of the filled area, drawn before
// the outline; a colour stays a brush.
TEST(RenderWmf, PicturesAndFillsBeyondABrushKeepTheirPixels) {
    ShapeDrawing picture = Shape(ShapeKind::Picture, 1, 100, 100);
    picture.frame = {0, 0, 100, 100};
    picture.line.visible = false;
    {
        WmfBuilder quad;
        quad.Record(WmfSetWindowOrg, {0, 0})
            .Record(WmfSetWindowExt, {2, 2})
            .Record(0x0F43,
                    bctest::Join({0x0020, 0x00CC, 0, 2, 2, 0, 0, 2, 2, 0, 0}, bctest::QuadDibWords<std::uint16_t>()));
        picture.picture.bytes = quad.Bytes();
    }
    ShapeDrawing gradient = Shape(ShapeKind::AutoShape, 9, 100, 100);
    gradient.frame = {0, 0, 100, 100};
    gradient.fill.kind = FillKind::Gradient;
    gradient.fill.color = 0x0000FF;
    gradient.fill.color2 = 0xFF0000;
    gradient.fill.gradientAngle = 0;
    ShapeDrawing seeThrough = Shape(ShapeKind::AutoShape, 1, 100, 100);
    seeThrough.frame = {0, 0, 100, 100};
    seeThrough.fill.transparency = 0.5;
    const ShapeDrawing solid = Shape(ShapeKind::AutoShape, 1, 100, 100);

    struct Case {
        const char* name;
        ShapeDrawing shape;
        bool bitmap;
        std::vector<std::pair<Point, std::uint32_t>> pixels;  // 0xRRGGBBAA, played back at 1:1
    };
    const Case cases[] = {
        {"picture", picture, true, {{{10, 10}, 0xFF0000FF}, {{90, 10}, 0x00FF00FF}, {{90, 90}, 0xFFFFFFFF}}},
        // An oval's corners stay transparent; red runs to blue from left to right.
        {"gradient oval", gradient, true, {{{5, 5}, 0}, {{8, 50}, 0xE90016FF}, {{92, 50}, 0x1300ECFF}}},
        // A metafile has no see-through colours: the brush keeps the colour.
        {"see-through colour", seeThrough, false, {{{50, 50}, 0x996633FF}}},
        {"plain colour", solid, false, {}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> bytes = RenderShapeWmf(c.shape, 1, 1);
        const WmfFile f = Read(bytes);
        const auto kinds = Kinds(f);
        EXPECT_EQ(kinds.count(WmfStretchDib), c.bitmap ? 1u : 0u) << c.name;
        if (c.bitmap) {
            const auto dib = std::find_if(f.records.begin(), f.records.end(),
                                          [](const WmfRecord& r) { return r.function == WmfStretchDib; });
            const auto firstOutline = std::find_if(f.records.begin(), f.records.end(), [](const WmfRecord& r) {
                return r.function == WmfPolygon || r.function == WmfRectangle || r.function == WmfEllipse;
            });
            EXPECT_LT(dib - f.records.begin(), firstOutline - f.records.begin()) << c.name;
        }
        ShapeDrawing played;
        played.kind = ShapeKind::Picture;
        played.frame = {0, 0, 100, 100};
        played.picture.bytes = bytes;
        const Raster r = RenderShapeRaster(played, 1, 1);
        for (const auto& [at, expected] : c.pixels) {
            const std::uint32_t p = r.At(static_cast<int>(at.x), static_cast<int>(at.y));
            if ((expected & 0xFF) == 0)
                EXPECT_EQ(p & 0xFF, 0u) << c.name << " at " << at.x << ", " << at.y;
            else
                for (int shift = 0; shift < 32; shift += 8)  // within what smoothing shifts
                    EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 12)
                        << c.name << " at " << at.x << ", " << at.y;
        }
    }
}
