// Enhanced metafile pictures: a small metafile made record by record is drawn with its page
// mapping, objects, clipping, bitmaps and text; damaged ones never read past their bytes.

#include "render/BcRender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace render;

namespace {

class EmfBuilder {
public:
    // A picture of 100 x 100 device pixels (frame in hundredths of a millimetre at 1000 pixels
    // per 254 mm).
    EmfBuilder() {
        Begin(1);
        Rect(0, 0, 99, 99);
        Rect(0, 0, 2540, 2540);
        U32(0x464D4520);  // " EMF"
        U32(0x10000);
        U32(0);   // size, patched at the end
        U32(0);   // records
        U32(16);  // handles (16 bits) and a reserved word
        U32(0);
        U32(0);
        U32(0);
        U32(1000);  // reference device in pixels
        U32(1000);
        U32(254);  // and in millimetres
        U32(254);
        End();
    }
    EmfBuilder& Record(std::uint32_t type, std::vector<std::int32_t> values) {
        Begin(type);
        for (std::int32_t v : values) U32(static_cast<std::uint32_t>(v));
        End();
        return *this;
    }
    // A text record at (x, y) with advances of `advance` each.
    EmfBuilder& Text(std::int32_t x, std::int32_t y, const std::u16string& text, std::int32_t advance) {
        Begin(84);
        Rect(0, 0, 0, 0);
        U32(1);  // graphics mode
        U32(0);
        U32(0);
        U32(x);
        U32(y);
        U32(static_cast<std::uint32_t>(text.size()));
        const std::uint32_t offString = 76, offDx = offString + ((text.size() * 2 + 3) / 4) * 4;
        U32(offString);
        U32(0);  // options
        Rect(0, 0, 0, 0);
        U32(offDx);
        for (char16_t c : text) {
            m_bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            m_bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        while (m_bytes.size() % 4) m_bytes.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) U32(static_cast<std::uint32_t>(advance));
        End();
        return *this;
    }
    // A font of the given height (negative: the em) and face.
    EmfBuilder& Font(std::uint32_t slot, std::int32_t height, const std::u16string& face) {
        Begin(82);
        U32(slot);
        U32(static_cast<std::uint32_t>(height));
        for (int i = 0; i < 3; ++i) U32(0);  // width, escapement, orientation
        U32(400);                            // weight
        U32(0);                              // italic, underline, strike-out, character set
        U32(0);
        for (std::size_t i = 0; i < 32; ++i) {
            const char16_t c = i < face.size() ? face[i] : 0;
            m_bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            m_bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        End();
        return *this;
    }
    // A 24-bit bitmap of 2 x 2 (red, green over blue, white) stretched over a rectangle.
    EmfBuilder& Bitmap(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        Begin(81);
        Rect(0, 0, 0, 0);
        U32(x);
        U32(y);
        U32(0);
        U32(0);
        U32(2);
        U32(2);
        U32(80);  // header offset and size
        U32(40);
        U32(120);  // bits
        U32(16);
        U32(0);           // usage
        U32(0x00CC0020);  // copy
        U32(w);
        U32(h);
        const std::uint32_t header[10] = {40, 2, 2, 1 | (24u << 16), 0, 16, 0, 0, 0, 0};
        for (std::uint32_t v : header) U32(v);
        const std::uint8_t rows[16] = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
        m_bytes.insert(m_bytes.end(), rows, rows + 16);
        End();
        return *this;
    }
    std::vector<std::uint8_t> Bytes() {
        std::vector<std::uint8_t> b = m_bytes;
        const std::size_t start = b.size();
        const std::uint32_t eof[5] = {14, 20, 0, 16, 20};
        for (std::uint32_t v : eof)
            for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
        (void)start;
        const std::uint32_t size = static_cast<std::uint32_t>(b.size());
        for (int k = 0; k < 4; ++k) b[48 + k] = static_cast<std::uint8_t>(size >> (8 * k));
        return b;
    }

private:
    void U32(std::uint32_t v) {
        for (int k = 0; k < 4; ++k) m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
    void Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        for (std::int32_t v : {l, t, r, b}) U32(static_cast<std::uint32_t>(v));
    }
    void Begin(std::uint32_t type) {
        m_start = m_bytes.size();
        U32(type);
        U32(0);
    }
    void End() {
        const std::uint32_t size = static_cast<std::uint32_t>(m_bytes.size() - m_start);
        for (int k = 0; k < 4; ++k) m_bytes[m_start + 4 + k] = static_cast<std::uint8_t>(size >> (8 * k));
    }
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_start = 0;
};

ShapeDrawing Picture(std::vector<std::uint8_t> bytes) {
    ShapeDrawing s;
    s.kind = ShapeKind::Picture;
    s.frame = {0, 0, 100, 100};
    s.picture.bytes = std::move(bytes);
    return s;
}

// A scene in logical units of 0..1000 mapped onto the picture: a red rectangle over the left
// half (no outline), a green one clipped to the top-right quarter, the bitmap in the
// bottom-right quarter, and a line of text in the bottom-left quarter.
std::vector<std::uint8_t> Scene() {
    EmfBuilder b;
    b.Record(17, {8})                     // anisotropic mapping
        .Record(9, {1000, 1000})          // window extent
        .Record(11, {100, 100})           // viewport extent
        .Record(39, {1, 0, 0x0000FF, 0})  // red brush in slot 1
        .Record(37, {1})
        .Record(37, {static_cast<std::int32_t>(0x80000008u)})  // the null pen
        .Record(43, {0, 0, 500, 1000})
        .Record(33, {})                   // save
        .Record(30, {500, 0, 1000, 500})  // clip
        .Record(39, {2, 0, 0x00FF00, 0})
        .Record(37, {2})
        .Record(43, {0, 0, 1000, 1000})
        .Record(34, {-1})  // restore: the clip and the red brush come back
        .Bitmap(500, 500, 500, 500)
        .Font(3, -200, u"Liberation Sans")
        .Record(37, {3})
        .Record(22, {24})  // baseline
        .Record(24, {0x000000})
        .Text(20, 900, u"HHHH", 110);
    return b.Bytes();
}

}  // namespace

TEST(RenderEmf, SceneDrawsWithItsMappingClipBitmapAndText) {
    const Raster r = RenderShapeRaster(Picture(Scene()), 1, 1);
    EXPECT_EQ(r.At(10, 10), 0xFF0000FFu);  // red, left half
    EXPECT_EQ(r.At(10, 40), 0xFF0000FFu);
    EXPECT_EQ(r.At(90, 10), 0x00FF00FFu);  // green only inside the clip
    EXPECT_EQ(r.At(60, 40), 0x00FF00FFu);
    EXPECT_EQ(r.At(60, 60), 0xFF0000FFu);  // the bitmap's top-left pixel is red
    EXPECT_EQ(r.At(90, 60), 0x00FF00FFu);  // top-right green
    EXPECT_EQ(r.At(60, 90), 0x0000FFFFu);  // bottom-left blue
    EXPECT_EQ(r.At(90, 90), 0xFFFFFFFFu);  // bottom-right white
    // The text's glyphs stand on the baseline at y 90 in the red half, within their advances.
    int dark = 0, beyond = 0;
    for (int y = 60; y < 100; ++y)
        for (int x = 0; x < 50; ++x) {
            const std::uint32_t p = r.At(x, y);
            if ((p >> 24) < 0x80 && ((p >> 16) & 0xFF) < 0x80) {
                if (y > 91 || x > 47) ++beyond;
                ++dark;
            }
        }
    EXPECT_GT(dark, 40);
    EXPECT_EQ(beyond, 0);
}

TEST(RenderEmf, DamagedMetafilesNeverReadPastTheirBytes) {
    const std::vector<std::uint8_t> scene = Scene();
    for (std::size_t n = 0; n < scene.size(); n += 2) {
        std::vector<std::uint8_t> cut(scene.begin(), scene.begin() + static_cast<long>(n));
        RenderShapeRaster(Picture(cut), 0.3, 0.3);
    }
    // Records claiming more points, polygons, characters or bitmap bytes than they hold.
    for (std::uint32_t type : {3u, 8u, 86u, 91u, 84u, 81u, 76u, 75u, 82u}) {
        EmfBuilder b;
        b.Record(type, {0, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF});
        RenderShapeRaster(Picture(b.Bytes()), 1, 1);
    }
    // A poly-polygon too short for its own counts, and a font taller than any picture: nothing
    // drawn, promptly.
    {
        EmfBuilder b;
        b.Record(8, {0, 0, 0, 0, -1}).Record(91, {0, 0, 0, 0, -1});
        b.Font(1, -2000000000, u"Liberation Sans").Record(37, {1}).Text(0, 0, u"H", 0);
        RenderShapeRaster(Picture(b.Bytes()), 1, 1);
    }
    // A clip whose sides lie near the ends of 32 bits: its width does not fit in 32 bits.
    {
        EmfBuilder b;
        b.Record(30, {-1442840575, -2000000000, 1879048192, 2000000000}).Record(27, {0, 0}).Record(54, {10, 10});
        RenderShapeRaster(Picture(b.Bytes()), 1, 1);
    }
    // Text under a mapping that stretches one axis ten thousand times more than the other: each
    // axis alone is past any glyph size, though the area scale is not.
    {
        EmfBuilder b;
        b.Record(17, {8}).Record(9, {1000000, 1}).Record(11, {100, 100});
        b.Font(1, -800, u"Liberation Sans").Record(37, {1}).Text(0, 0, u"HHHH", 0);
        RenderShapeRaster(Picture(b.Bytes()), 1, 1);
    }
    // A header that is not one: the placeholder.
    std::vector<std::uint8_t> bad = scene;
    bad[40] = 'X';
    EXPECT_EQ(RenderShapeRaster(Picture(bad), 1, 1).At(50, 20) & 0xFF, 0xFFu);
}
