// The image comparer: differing pixels, region growing with a distance, merging, and the
// difference pictures it leaves for writing.

#include "FailureText.h"
#include "ImageTestUtil.h"
#include "libimageanalyzer/ImageComparer.h"
#include "libimageanalyzer/ImageException.h"

#include <gtest/gtest.h>

#include <utility>

using namespace libimageanalyzer;

namespace {

struct Box {
    std::int32_t left, top, right, bottom;
    bool operator==(const Box& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << '{' << b.left << ',' << b.top << ',' << b.right << ',' << b.bottom << '}';
}

std::shared_ptr<CImageBuffer> Picture(std::uint32_t w, std::uint32_t h,
                                      const std::vector<std::pair<int, int>>& marks = {}) {
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 4, 0);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 255;  // white, opaque
        pixels[i + 1] = 255;
        pixels[i + 2] = 255;
        pixels[i + 3] = 255;
    }
    for (const auto& m : marks) {
        const std::size_t at = (std::size_t(m.second) * w + m.first) * 4;
        pixels[at] = 10;
        pixels[at + 1] = 20;
        pixels[at + 2] = 30;
    }
    auto image = CImageBuffer::Create();
    image->SetRgba(w, h, std::move(pixels));
    return image;
}

std::vector<Box> Regions(const CImageComparer& comparer) {
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < comparer.GetRegionCount(); ++i) {
        const auto& r = comparer.GetRegion(i);
        boxes.push_back(Box{r->GetLeft(), r->GetTop(), r->GetRight(), r->GetBottom()});
    }
    return boxes;
}

// The regions found by both ways of comparing; they must agree.
std::vector<Box> Compare(std::uint32_t w, std::uint32_t h, const std::vector<std::pair<int, int>>& marks,
                         std::uint32_t distance) {
    CImageComparer comparer;
    comparer.Compare(Picture(w, h), Picture(w, h, marks), distance);
    auto base = Picture(w, h);
    base->ToRgba(0);
    auto picture = Picture(w, h, marks);
    picture->ToRgba(0);
    CImageComparer toBase;
    toBase.CompareToBase(*base, picture, distance);
    EXPECT_EQ(Regions(toBase), Regions(comparer));
    return Regions(comparer);
}

}  // namespace

TEST(ImageComparerTest, RegionsGrowByTheDistanceAndMerge) {
    std::vector<std::pair<int, int>> ring;  // a U below a tall line: grown apart, merged after
    for (int y = 0; y <= 6; ++y) ring.push_back({5, y});
    for (int y = 1; y <= 8; ++y) ring.push_back({8, y});
    for (int x = 2; x <= 7; ++x) ring.push_back({x, 8});
    for (int y = 3; y <= 7; ++y) ring.push_back({2, y});

    struct Case {
        const char* name;
        std::uint32_t w, h;
        std::vector<std::pair<int, int>> marks;
        std::uint32_t distance;
        std::vector<Box> expected;
    };
    const Case cases[] = {
        {"identical", 30, 20, {}, 10, {}},
        {"one pixel", 30, 20, {{5, 7}}, 10, {{5, 7, 5, 7}}},
        {"ten apart joins", 40, 20, {{10, 3}, {20, 3}}, 10, {{10, 3, 20, 3}}},
        {"eleven apart stays apart", 40, 20, {{10, 3}, {21, 3}}, 10, {{10, 3, 10, 3}, {21, 3, 21, 3}}},
        {"diagonal chain", 40, 40, {{1, 1}, {3, 3}, {5, 5}, {30, 30}}, 2, {{1, 1, 5, 5}, {30, 30, 30, 30}}},
        {"block in the corner", 10, 10, {{8, 8}, {9, 8}, {8, 9}, {9, 9}}, 10, {{8, 8, 9, 9}}},
        {"row order", 40, 40, {{30, 2}, {2, 20}}, 3, {{30, 2, 30, 2}, {2, 20, 2, 20}}},
        {"grown apart then merged", 20, 20, ring, 1, {{2, 0, 8, 8}}},
        {"distance zero keeps pixels apart", 10, 10, {{3, 3}, {4, 3}}, 0, {{3, 3, 3, 3}, {4, 3, 4, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Compare(c.w, c.h, c.marks, c.distance), c.expected);
    }
}

TEST(ImageComparerTest, OnlyDifferingPixelsOfTheSecondPictureAreOpaque) {
    auto a = Picture(6, 4);
    auto b = Picture(6, 4, {{1, 1}, {3, 1}});
    // Alpha alone is no difference: both pictures get alpha 0 before they are compared.
    b->GetPixels()[(2 * 6 + 4) * 4 + 3] = 7;
    CImageComparer comparer;
    comparer.Compare(a, b, 10);
    ASSERT_EQ(Regions(comparer), (std::vector<Box>{{1, 1, 3, 1}}));
    EXPECT_EQ(comparer.GetRegion(0)->GetImage(), b);
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 6; ++x) {
            const bool differs = y == 1 && (x == 1 || x == 3);
            EXPECT_EQ(b->GetPixels()[(y * 6 + x) * 4 + 3], differs ? 255 : 0) << x << ',' << y;
            EXPECT_EQ(a->GetPixels()[(y * 6 + x) * 4 + 3], differs ? 255 : 0) << x << ',' << y;
        }
    }

    // Against a shared base: the same marks in the picture, none in the base, which must be RGBA.
    auto base = Picture(6, 4);
    base->ToRgba(0);
    const std::vector<std::uint8_t> untouched = base->GetPixels();
    auto c = Picture(6, 4, {{1, 1}, {3, 1}});
    c->ToRgba(0);
    CImageComparer toBase;
    toBase.CompareToBase(*base, c, 10);
    EXPECT_EQ(Regions(toBase), (std::vector<Box>{{1, 1, 3, 1}}));
    EXPECT_EQ(c->GetPixels(), b->GetPixels());
    EXPECT_EQ(base->GetPixels(), untouched);
    auto rgb = CImageBuffer::Create();
    EXPECT_THROW(toBase.CompareToBase(*rgb, c, 10), CBaseException);
}

TEST(ImageComparerTest, ComparesFilesAndWritesTheDifferences) {
    CScratchFolder folder;
    std::vector<std::uint8_t> base(20 * 10 * 4, 255);
    std::vector<std::uint8_t> titled = base;
    for (int x = 15; x <= 17; x += 2) {  // two digits of a slide number
        const std::size_t at = (std::size_t(8) * 20 + x) * 4;
        titled[at] = 0;
        titled[at + 1] = 0;
    }
    imagetest::WriteRgbaPng(folder / L"bg.png", 20, 10, base);
    imagetest::WriteRgbaPng(folder / L"bg_titles.png", 20, 10, titled);

    CImageComparer comparer;
    comparer.Compare(folder / L"bg.png", folder / L"bg_titles.png", 10);
    ASSERT_EQ(Regions(comparer), (std::vector<Box>{{15, 8, 17, 8}}));
    comparer.GetRegion(0)->SavePng(folder / L"img1.png");

    auto written = CImageBuffer::Create();
    written->ReadPng(folder / L"img1.png");
    ASSERT_EQ(written->GetWidth(), 5u);
    ASSERT_EQ(written->GetHeight(), 3u);
    const auto& px = written->GetPixels();
    for (std::uint32_t x = 0; x < 5; ++x) {
        const std::uint8_t* p = &px[(1 * 5 + x) * 4];
        if (x == 1 || x == 3)
            EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0, 0, 255, 255}));
        else
            EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0, 0, 0, 0})) << x;
    }
}

TEST(ImageComparerTest, SizeMismatchAndMissingFilesFail) {
    CScratchFolder folder;
    imagetest::WriteRgbaPng(folder / L"a.png", 100, 50, std::vector<std::uint8_t>(100 * 50 * 4, 9));
    imagetest::WriteRgbaPng(folder / L"b.png", 100, 51, std::vector<std::uint8_t>(100 * 51 * 4, 9));
    CImageComparer comparer;
    EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { comparer.Compare(folder / L"a.png", folder / L"b.png", 10); }),
              L"Images have difference sizes");
    EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { comparer.Compare(Picture(3, 4), Picture(4, 3), 10); }),
              L"Images have difference sizes");

    // Two missing renderings are no "no difference".
    const std::wstring missing = folder / L"missing.png";
    EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { comparer.Compare(missing, missing, 10); }),
              L"Can not open image file " + missing);
    EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { comparer.Compare(folder / L"a.png", missing, 10); }),
              L"Can not open image file " + missing);
    EXPECT_EQ(comparer.GetRegionCount(), 0u);
}

// Noise far apart gives many regions, one for each mark, every one inside the picture.
TEST(ImageComparerTest, ScatteredDifferencesGiveARegionEach) {
    const std::uint32_t w = 1200, h = 900;
    std::vector<std::pair<int, int>> marks;
    for (std::uint32_t y = 0; y < h; y += 13)
        for (std::uint32_t x = (y / 13) % 7; x < w; x += 12) marks.push_back({int(x), int(y)});
    const auto boxes = Compare(w, h, marks, 2);
    EXPECT_EQ(boxes.size(), marks.size());
    for (const Box& b : boxes) {
        EXPECT_GE(b.left, 0);
        EXPECT_LT(b.right, int(w));
        EXPECT_LT(b.bottom, int(h));
    }
}
