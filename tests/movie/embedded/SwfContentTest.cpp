// Reading SWF headers, fitting the movie into its shape and writing it back.

#include "FileBytes.h"
#include "SwfTestSupport.h"
#include "TempDir.h"
#include "genswf/movie/Movie.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace genswf;
using namespace swftest;

namespace {

TEST(SwfContent, ReadsTheHeaderAndFitsTheMovieIntoTheShape) {
    struct Case {
        const char* name;
        std::uint16_t rate;
        float fps;
        bool compressed;
    };
    const Case cases[] = {
        {"12 fps", 0x0C00, 12.0f, false},
        {"24.5 fps", 0x1880, 24.5f, false},
        {"compressed", 0x1880, 24.5f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameRect r;   // 550 x 400 pixels
        r.xMin = -20;  // sign-extended, not used for the size
        auto plain = Plain(r, c.rate, 42);
        CSwfContent content;
        ASSERT_TRUE(content.Load(c.compressed ? Compressed(plain) : plain, 275.0f, 100.0f));
        EXPECT_TRUE(content.IsValid());
        EXPECT_EQ(c.compressed ? "CWS" : "FWS", content.GetSignature());
        // The header as it came, then the body inflated.
        auto expected = plain;
        expected[0] = c.compressed ? 'C' : 'F';
        EXPECT_EQ(expected, content.GetMovieData());
        EXPECT_EQ(15, content.GetRectBits());
        EXPECT_EQ(-20, content.GetXMin());
        EXPECT_EQ(8000, content.GetYMax());
        EXPECT_FLOAT_EQ(550.0f, content.GetFrameWidth());
        EXPECT_FLOAT_EQ(400.0f, content.GetFrameHeight());
        EXPECT_FLOAT_EQ(c.fps, content.GetFrameRate());
        EXPECT_EQ(42, content.GetFrameCount());
        // s = min(275 / 550, 100 / 400) = 0.25, centred across: (275 - 137.5) / 2.
        const CMatrix& m = content.GetFitMatrix();
        EXPECT_FLOAT_EQ(0.25f, m.a);
        EXPECT_FLOAT_EQ(0.25f, m.d);
        EXPECT_FLOAT_EQ(0.0f, m.b);
        EXPECT_FLOAT_EQ(0.0f, m.c);
        EXPECT_FLOAT_EQ(68.75f, m.tx);
        EXPECT_FLOAT_EQ(0.0f, m.ty);
    }
}

TEST(SwfContent, RefusesWhatIsNotASoundMovie) {
    std::vector<std::uint8_t> fourGigabytes = Compressed(Plain());
    for (int i = 4; i < 8; ++i) fourGigabytes[i] = 0xFF;
    std::vector<std::uint8_t> inflatesShort = Compressed(Plain());
    inflatesShort[4] = static_cast<std::uint8_t>(inflatesShort[4] + 10);
    std::vector<std::uint8_t> inflatesLong = Compressed(Plain());
    inflatesLong[4] = static_cast<std::uint8_t>(inflatesLong[4] - 2);
    std::vector<std::uint8_t> garbageBody = Plain();
    garbageBody[0] = 'C';
    std::vector<std::uint8_t> cutShort = Plain();
    cutShort[4] = static_cast<std::uint8_t>(cutShort[4] + 1);
    FrameRect noStage;
    noStage.xMax = 0;

    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
    };
    const Case cases[] = {
        {"lower-case signature", Plain(FrameRect(), 0x0C00, 1, {}, 8, "fws")},
        {"one letter in lower case", Plain(FrameRect(), 0x0C00, 1, {}, 8, "FwS")},
        {"other first letter", Plain(FrameRect(), 0x0C00, 1, {}, 8, "ZWS")},
        {"other second letter", Plain(FrameRect(), 0x0C00, 1, {}, 8, "CXS")},
        {"other third letter", Plain(FrameRect(), 0x0C00, 1, {}, 8, "FWT")},
        {"version 0", Plain(FrameRect(), 0x0C00, 1, {}, 0)},
        {"compressed before version 6", Compressed(Plain(FrameRect(), 0x0C00, 1, {}, 5))},
        {"compressed, claims 4 GB", fourGigabytes},
        {"compressed, body shorter than claimed", inflatesShort},
        {"compressed, body longer than claimed", inflatesLong},
        {"compressed, body not deflated", garbageBody},
        {"plain, shorter than its length", cutShort},
        {"no stage", Plain(noStage)},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSwfContent content;
        EXPECT_FALSE(content.Load(c.file, 100.0f, 100.0f));
        EXPECT_FALSE(content.IsValid());
    }
}

TEST(SwfContent, HeaderCutShortIsAnExtractionFailure) {
    const std::vector<std::uint8_t> whole = Plain();
    // Shorter than the 8 header bytes; a rectangle without its last bits; no frame count.
    for (std::size_t size : {std::size_t{5}, std::size_t{10}, whole.size() - 6}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> file(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        for (int i = 0; i < 4 && size >= 8; ++i) file[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        CSwfContent content;
        EXPECT_THROW(content.Load(file, 100.0f, 100.0f), CSwfExtractionException);
        EXPECT_FALSE(content.IsValid());
    }
}

TEST(SwfContent, WritesTheMovieBack) {
    CScratchFolder folder;
    FrameRect r;
    r.xMin = -5;
    r.yMin = 3;
    // A body of a few tags after the header.
    auto plain = Plain(r, 0x1880, 9, {0x3F, 0x03, 0x10, 0x00, 0x00, 0x00, 0xAB, 0x40, 0x00, 0x00, 0x00});
    {
        CSwfContent content;
        ASSERT_TRUE(content.Load(plain, 50, 50));
        content.WriteFile(folder / L"plain.swf");
        EXPECT_EQ(plain, bctest::FileBytes(folder / "plain.swf"));
    }
    {
        auto packed = Compressed(plain, 1);
        CSwfContent content;
        ASSERT_TRUE(content.Load(packed, 50, 50));
        EXPECT_EQ(packed, content.GetSourceBytes());
        content.WriteFile(folder / L"packed.swf");
        std::vector<std::uint8_t> expected(packed.begin(), packed.begin() + 8);
        const auto body = Deflate(plain.data() + 8, plain.size() - 8, 9);
        expected.insert(expected.end(), body.begin(), body.end());
        EXPECT_EQ(expected, bctest::FileBytes(folder / "packed.swf"));

        // And it reads back as the same movie.
        CSwfContent again;
        ASSERT_TRUE(again.Load(bctest::FileBytes(folder / "packed.swf"), 50, 50));
        EXPECT_EQ(content.GetMovieData(), again.GetMovieData());
        EXPECT_EQ('C', again.GetMovieData()[0]);
    }
}

TEST(SwfContent, UnwritableFileThrowsAndLeavesNothing) {
    CScratchFolder folder;
    CSwfContent content;
    ASSERT_TRUE(content.Load(Plain(), 10, 10));
    EXPECT_THROW(content.WriteFile(folder / L"missing/movie.swf"), CSwfExtractionException);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_THROW(content.WriteFile(L"/dev/full"), CSwfExtractionException);
    }
}

TEST(SwfContent, SpriteFileAndElement) {
    CScratchFolder folder;
    auto movie = CMovie::CreateEmpty();
    movie->NewSpriteId();  // spr0 is taken
    CSwfContent content;
    ASSERT_TRUE(content.Load(Plain(), 10, 10));
    content.WriteSpriteFile(movie.get(), folder.Path());
    EXPECT_EQ(L"spr1", content.GetSpriteId());
    EXPECT_EQ(folder / L"spr1.swf", content.GetFilePath());
    EXPECT_EQ(Plain(), bctest::FileBytes(folder / "spr1.swf"));

    auto sprite = content.WriteSpriteElement(movie->GetObjectsElement());
    ASSERT_TRUE(sprite);
    EXPECT_EQ(L"spr1", sprite->getAttribute(L"id"));
    EXPECT_EQ(L"1", sprite->getAttribute(L"lockroot"));
    EXPECT_EQ(content.GetFilePath(), sprite->getAttribute(L"src"));
}

}  // namespace
