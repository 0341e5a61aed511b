// PNG reading into image buffers, the memory stream under the codec, and region writing.

#include "FailureText.h"
#include "FileBytes.h"
#include "ImageTestUtil.h"
#include "LargestAllocation.h"
#include "libimageanalyzer/ImageBuffer.h"
#include "libimageanalyzer/ImageComparer.h"
#include "libimageanalyzer/ImageException.h"
#include "libimageanalyzer/MemoryStream.h"
#include "libimageanalyzer/PngCodec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

using namespace libimageanalyzer;
using imagetest::PngSpec;

namespace {

std::shared_ptr<CImageBuffer> Read(const std::wstring& path) {
    auto image = CImageBuffer::Create();
    image->ReadPng(path);
    return image;
}

}  // namespace

TEST(MemoryStreamTest, ReadAndSeekStayInsideTheData) {
    const std::uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    CMemoryStream stream(data, sizeof data);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(stream.Read(buffer, -1), 0);
    EXPECT_EQ(stream.Read(buffer, 4), 4);
    EXPECT_EQ(buffer[3], 3);
    EXPECT_EQ(stream.Read(buffer, 16), 6);  // only what is left
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(stream.Read(buffer, 1), 0);

    struct Case {
        long long from, offset;
        bool relative;
        long long expected;
    };
    const Case cases[] = {
        {5, 2, true, 7},
        {5, -7, true, 0},
        {5, 9, true, 10},
        {5, -3, false, 0},
        {5, 3, false, 3},
        {5, 99, false, 10},
        {5, 0x7FFFFFFFFFFFFFF0LL, true, 10},
    };
    for (const Case& c : cases) {
        stream.Seek(c.from, false);
        EXPECT_EQ(stream.Seek(c.offset, c.relative), c.expected) << c.offset << " relative " << c.relative;
        EXPECT_EQ(stream.GetPosition(), c.expected);
    }
    EXPECT_EQ(stream.GetSize(), 10);
}

TEST(PngCodecTest, ReportsShortAndForeignStreamsAndKeepsThePosition) {
    CPngCodec codec;
    std::uint32_t w = 0, h = 0, depth = 0, format = 0;
    std::uint64_t size = 0;

    const std::uint8_t shortData[5] = {0x89, 'P', 'N', 'G', 0x0D};
    CMemoryStream shortStream(shortData, sizeof shortData);
    EXPECT_FALSE(codec.ReadInfo(shortStream, w, h, depth, format, size));
    EXPECT_EQ(codec.GetLastError(), CPngCodec::kErrorShortStream);

    const std::uint8_t gif[12] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0};
    CMemoryStream gifStream(gif, sizeof gif);
    EXPECT_FALSE(codec.ReadInfo(gifStream, w, h, depth, format, size));
    EXPECT_EQ(codec.GetLastError(), CPngCodec::kErrorNotPng);
    EXPECT_EQ(gifStream.GetPosition(), 0);

    const auto png = imagetest::BuildPng({{"IHDR", imagetest::Ihdr(3, 2, 8, 2)},
                                          {"IDAT", imagetest::Deflate(std::vector<std::uint8_t>(2 * 10, 0))},
                                          {"IEND", {}}});
    CMemoryStream stream(png.data(), png.size());
    ASSERT_TRUE(codec.ReadInfo(stream, w, h, depth, format, size));
    EXPECT_EQ(codec.GetLastError(), CPngCodec::kErrorNone);
    EXPECT_EQ(stream.GetPosition(), 0);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    EXPECT_EQ(depth, 8u);
    EXPECT_EQ(format, kFormatRgb);
    EXPECT_EQ(size, 18u);

    // A pixel buffer smaller than the image is refused, not overrun.
    for (std::size_t bytes : {0u, 17u}) {
        std::vector<std::uint8_t> small(bytes);
        EXPECT_FALSE(codec.Decode(stream, small)) << bytes;
        EXPECT_EQ(codec.GetLastError(), CPngCodec::kErrorBadImage);
    }
    std::vector<std::uint8_t> enough(18, 0xAA);
    EXPECT_TRUE(codec.Decode(stream, enough));
    EXPECT_EQ(enough, std::vector<std::uint8_t>(18, 0));
}

// A text chunk that claims a gigabyte makes the header unreadable without that memory taken.
TEST(PngCodecTest, ChunkLengthsClaimedAreNotAllocated) {
    const std::vector<std::uint8_t> bytes = bctest::FileBytes(BC_SOURCE_DIR "/tests/data/compiler/text-claims-1gb.png");
    ASSERT_GT(bytes.size(), 50u);
    testsupport::LargestAllocation largest;
    CPngCodec codec;
    CMemoryStream stream(bytes.data(), bytes.size());
    std::uint32_t w = 0, h = 0, depth = 0, format = 0;
    std::uint64_t size = 0;
    EXPECT_FALSE(codec.ReadInfo(stream, w, h, depth, format, size));
    EXPECT_EQ(codec.GetLastError(), CPngCodec::kErrorBadImage);
    if (largest.Watching()) {
        EXPECT_LT(largest.Bytes(), 64u << 20);
    }
}

// Every colour type ends in 8-bit channels; palettes and grey become RGB(A). Read as RGBA in
// one pass, each ends as read and converted.
TEST(ImageBufferTest, ReadsEveryColourTypeAndConvertsToRgba) {
    CScratchFolder folder;
    struct Case {
        const char* name;
        PngSpec spec;
        std::uint32_t format;            // after reading
        std::vector<std::uint8_t> rgba;  // after ToRgba(0x80)
    };
    auto spec = [](std::uint32_t w, int type, int depth, std::vector<std::uint8_t> rows) {
        PngSpec s;
        s.width = w;
        s.height = 1;
        s.colourType = type;
        s.bitDepth = depth;
        s.rows = std::move(rows);
        return s;
    };
    PngSpec palette = spec(2, 3, 8, {1, 0});
    palette.palette = {10, 20, 30, 40, 50, 60};
    PngSpec paletteAlpha = palette;
    paletteAlpha.transparency = {0x11, 0x22};
    PngSpec interlaced = spec(2, 2, 8, {1, 2, 3, 4, 5, 6});
    interlaced.interlaced = true;

    const Case cases[] = {
        {"grey 8", spec(2, 0, 8, {7, 200}), kFormatRgb, {7, 7, 7, 0x80, 200, 200, 200, 0x80}},
        {"grey 1", spec(2, 0, 1, {0x80}), kFormatRgb, {255, 255, 255, 0x80, 0, 0, 0, 0x80}},
        {"grey alpha", spec(1, 4, 8, {9, 99}), kFormatRgba, {9, 9, 9, 0x80}},
        {"rgb", spec(1, 2, 8, {1, 2, 3}), kFormatRgb, {1, 2, 3, 0x80}},
        {"rgb, three pixels", spec(3, 2, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9}), kFormatRgb,
         {1, 2, 3, 0x80, 4, 5, 6, 0x80, 7, 8, 9, 0x80}},
        {"rgba", spec(1, 6, 8, {1, 2, 3, 4}), kFormatRgba, {1, 2, 3, 0x80}},
        {"rgb 16", spec(1, 2, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}), kFormatRgb, {0x12, 0x56, 0x9A, 0x80}},
        {"palette", palette, kFormatRgb, {40, 50, 60, 0x80, 10, 20, 30, 0x80}},
        {"palette with tRNS", paletteAlpha, kFormatRgba, {40, 50, 60, 0x80, 10, 20, 30, 0x80}},
        {"interlaced", interlaced, kFormatRgb, {1, 2, 3, 0x80, 4, 5, 6, 0x80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder / L"case.png";
        imagetest::WritePng(path, c.spec);
        auto image = Read(path);
        EXPECT_EQ(image->GetWidth(), c.spec.width);
        EXPECT_EQ(image->GetHeight(), 1u);
        EXPECT_EQ(image->GetBitDepth(), 8u);
        EXPECT_EQ(image->GetPixelCount(), c.spec.width);
        EXPECT_EQ(image->GetFormat(), c.format);
        image->ToRgba(0x80);
        EXPECT_EQ(image->GetFormat(), kFormatRgba);
        EXPECT_EQ(image->GetPixels(), c.rgba);

        auto direct = CImageBuffer::Create();
        direct->ReadPngAsRgba(path, 0x80);
        EXPECT_EQ(direct->GetFormat(), kFormatRgba);
        EXPECT_EQ(direct->GetBitDepth(), 8u);
        EXPECT_EQ(direct->GetPixelCount(), c.spec.width);
        EXPECT_EQ(direct->GetPixels(), c.rgba);
    }
}

TEST(ImageBufferTest, PaletteTransparencyBecomesAlpha) {
    CScratchFolder folder;
    PngSpec s;
    s.width = 2;
    s.colourType = 3;
    s.palette = {10, 20, 30, 40, 50, 60};
    s.transparency = {0x11, 0x22};
    s.rows = {1, 0};
    imagetest::WritePng(folder / L"p.png", s);
    auto image = Read(folder / L"p.png");
    EXPECT_EQ(image->GetPixels(), (std::vector<std::uint8_t>{40, 50, 60, 0x22, 10, 20, 30, 0x11}));
}

TEST(ImageBufferTest, MissingFileLeavesTheBufferAsItWas) {
    CScratchFolder folder;
    auto image = Read(folder / L"missing.png");
    EXPECT_EQ(image->GetWidth(), 0u);
    EXPECT_EQ(image->GetHeight(), 0u);
    EXPECT_EQ(image->GetFormat(), kFormatRgba);
    EXPECT_TRUE(image->GetPixels().empty());
    image->ReadPng(folder.Path());  // a folder is no file either
    EXPECT_EQ(image->GetWidth(), 0u);
}

TEST(ImageBufferTest, BadFilesFailWithTheirMessageAndLeaveTheBuffer) {
    CScratchFolder folder;
    const auto good = imagetest::BuildPng({{"IHDR", imagetest::Ihdr(4, 4, 8, 0)},
                                           {"IDAT", imagetest::Deflate(std::vector<std::uint8_t>(4 * 5, 0))},
                                           {"IEND", {}}});
    auto badCrc = good;
    badCrc[8 + 8 + 13 + 2] ^= 0xFF;  // inside the IHDR CRC
    const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size()) - 20);
    // Claims far more pixel data than its few bytes could inflate to (and more than any
    // buffer we would allocate): refused before the allocation.
    const auto huge = imagetest::BuildPng({{"IHDR", imagetest::Ihdr(60000, 60000, 8, 6)},
                                           {"IDAT", imagetest::Deflate(std::vector<std::uint8_t>(100, 0))},
                                           {"IEND", {}}});
    // Within the buffer cap, but not within what 70 bytes can inflate to.
    const auto bloated = imagetest::BuildPng({{"IHDR", imagetest::Ihdr(8000, 8000, 8, 2)},
                                              {"IDAT", imagetest::Deflate(std::vector<std::uint8_t>(100, 0))},
                                              {"IEND", {}}});
    auto damagedData = good;
    damagedData[8 + 25 + 8 + 2] ^= 0xFF;  // inside the IDAT data: its chunk CRC no longer matches
    // Rows short of what the header promises.
    const auto shortRows = imagetest::BuildPng({{"IHDR", imagetest::Ihdr(4, 4, 8, 0)},
                                                {"IDAT", imagetest::Deflate(std::vector<std::uint8_t>(7, 0))},
                                                {"IEND", {}}});

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const wchar_t* message;
    };
    const Case cases[] = {
        {"empty", {}, L"Can not get image info. Image "},
        {"not png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '!'}, L"Can not get image info. Image "},
        {"bad header crc", badCrc, L"Can not get image info. Image "},
        {"huge", huge, L"Can not get image info. Image "},
        {"bloated", bloated, L"Can not get image info. Image "},
        {"truncated", truncated, L"Can not decode image "},
        {"short rows", shortRows, L"Can not decode image "},
        {"damaged pixel data", damagedData, L"Can not decode image "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = folder / L"bad.png";
        imagetest::WriteBytes(path, c.bytes);
        auto image = CImageBuffer::Create();
        EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { image->ReadPng(path); }), c.message + path);
        EXPECT_EQ(image->GetWidth(), 0u);
        EXPECT_TRUE(image->GetPixels().empty());
    }

    // The chunk CRCs guard the data; a zlib checksum that disagrees with sound chunks (a careless
    // writer's) does not refuse the picture.
    auto idat = imagetest::Deflate(std::vector<std::uint8_t>(4 * 5, 0));
    idat.back() ^= 0x01;
    const std::wstring path = folder / L"adler.png";
    imagetest::WriteBytes(path,
                          imagetest::BuildPng({{"IHDR", imagetest::Ihdr(4, 4, 8, 0)}, {"IDAT", idat}, {"IEND", {}}}));
    auto image = CImageBuffer::Create();
    image->ReadPng(path);
    EXPECT_EQ(image->GetWidth(), 4u);
}

TEST(ImageBufferTest, CodecKeepsPaletteIndexesUnlessExpandingAndSetRgbaChecksTheSize) {
    CScratchFolder folder;
    PngSpec s;
    s.width = 2;
    s.colourType = 3;
    s.palette = {1, 2, 3};
    s.rows = {0, 0};
    imagetest::WritePng(folder / L"p.png", s);
    // Without palette expansion the codec reports the palette layout.
    CPngCodec codec;
    const auto bytes = imagetest::ReadBytes(folder / L"p.png");
    CMemoryStream stream(bytes.data(), bytes.size());
    std::uint32_t w, h, d, format;
    std::uint64_t size;
    ASSERT_TRUE(codec.ReadInfo(stream, w, h, d, format, size));
    EXPECT_EQ(format, kFormatPalette);

    auto image = CImageBuffer::Create();
    EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { image->SetRgba(2, 2, std::vector<std::uint8_t>(15)); }),
              L"Pixel data does not match the picture size");
}

TEST(ImageRegionTest, OnePixelBecomesThreeByThreeWithTransparentBorder) {
    CScratchFolder folder;
    auto image = CImageBuffer::Create();
    // 3 x 2: the region is (1, 1); (2, 1) has alpha 0 and must not leak its colour.
    image->SetRgba(3, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 100, 50, 255, 9, 9, 9, 0});
    CImageRegion(image, 1, 1, 1, 1).SavePng(folder / L"one.png");
    auto back = Read(folder / L"one.png");
    ASSERT_EQ(back->GetWidth(), 3u);
    ASSERT_EQ(back->GetHeight(), 3u);
    ASSERT_EQ(back->GetFormat(), kFormatRgba);
    std::vector<std::uint8_t> expected(9 * 4, 0);
    expected[4 * 4 + 0] = 200;
    expected[4 * 4 + 1] = 100;
    expected[4 * 4 + 2] = 50;
    expected[4 * 4 + 3] = 255;
    EXPECT_EQ(back->GetPixels(), expected);

    CImageRegion(image, 1, 1, 2, 1).SavePng(folder / L"two.png");
    back = Read(folder / L"two.png");
    ASSERT_EQ(back->GetWidth(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(back->GetPixels()[(4 + 2) * 4 + i], 0) << "transparent pixel kept colour";
}

TEST(ImageRegionTest, FailuresLeaveNoFile) {
    CScratchFolder folder;
    auto image = CImageBuffer::Create();
    image->SetRgba(2, 2, std::vector<std::uint8_t>(16, 1));

    const std::wstring noFolder = folder / L"missing/region.png";
    EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { CImageRegion(image, 0, 0, 0, 0).SavePng(noFolder); }),
              L"Can not open file for writing: " + noFolder);

    struct Bounds {
        std::int32_t l, t, r, b;
    };
    for (const Bounds& b : {Bounds{-1, 0, 0, 0}, Bounds{0, 0, 2, 0}, Bounds{0, 0, 0, 2}, Bounds{1, 0, 0, 0}}) {
        const std::wstring path = folder / L"outside.png";
        EXPECT_EQ(bctest::MessageOf<CBaseException>([&] { CImageRegion(image, b.l, b.t, b.r, b.b).SavePng(path); }),
                  L"Can not write region: it lies outside the picture");
        EXPECT_FALSE(imagetest::Exists(path));
    }
}
