// The compiler read back: tag kinds and order, frames, depths, clip depths, character ids,
// bitmaps, actions, and the errors bad descriptions give.
#include "FileBytes.h"
#include "LargestAllocation.h"
#include "SwfTestReader.h"
#include "TempDir.h"
#include "tarnquill/Compiler.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace {

const std::string kData = BC_SOURCE_DIR "/tests/data/compiler";
const std::string kSchema = BC_BINARY_DIR "/lib/tarnquill.xsd";

swftest::Movie CompileFixture(const std::string& name, bool validate = true) {
    tarnquill::CompileOptions options;
    if (validate) options.schemaPath = kSchema;
    return swftest::Read(tarnquill::CompileFile(kData + "/" + name, options).swf);
}

std::vector<std::uint8_t> CompileXml(const std::string& xml) {
    tarnquill::CompileOptions options;
    options.baseFolder = kData;
    return tarnquill::CompileText(xml, options).swf;
}

std::string Movie(const std::string& objects, const std::string& frames, const std::string& attrs = "") {
    return "<movie width=\"100\" height=\"80\" frameRate=\"12\"" + attrs +
           "><styles><solidFillStyle id=\"s\" color=\"#112233\"/></styles><objects>" + objects +
           "</objects><layers><layer>" + frames + "</layer></layers></movie>";
}

int Count(const std::vector<swftest::Tag>& tags, int code) {
    int n = 0;
    for (const auto& t : tags) n += t.code == code;
    return n;
}

const swftest::Tag& Sprite(const swftest::Movie& m, int index) {
    for (const auto& t : m.tags)
        if (t.code == 39 && index-- == 0) return t;
    throw std::runtime_error("no such sprite");
}

TEST(CompilerStructure, SlidesAsTheExportWritesThem) {
    auto m = CompileFixture("slides.xml");
    EXPECT_EQ(std::string(m.signature, 3), "CWS");
    EXPECT_EQ(m.version, 8);
    EXPECT_EQ(m.width, 720);
    EXPECT_EQ(m.height, 540);
    EXPECT_DOUBLE_EQ(m.frameRate, 12.0);
    EXPECT_EQ(m.frameCount, 3);
    ASSERT_GE(m.tags.size(), 3u);
    EXPECT_EQ(m.tags[0].code, 69);  // FileAttributes first
    EXPECT_EQ(m.tags[1].code, 9);
    EXPECT_EQ(m.tags.back().code, 0);
    EXPECT_EQ(Count(m.tags, 1), 3);
    std::set<int> defined;
    swftest::ExpectDefinedBeforeUse(m.tags, defined);

    // Slide 0: last command at frame 24 gives 25 frames; its label sits on frame 12.
    const auto& sld0 = Sprite(m, 0);
    EXPECT_EQ(sld0.body[2] | (sld0.body[3] << 8), 25);
    EXPECT_EQ(Count(sld0.children, 1), 25);
    int frame = 0;
    for (const auto& t : sld0.children) {
        if (t.code == 1) ++frame;
        if (t.code == 43) {
            EXPECT_EQ(frame, 12);
            EXPECT_EQ(swftest::Bits(t.body).Str(), "sequence_0_end");
        }
        if (t.code == 26) {
            auto p = swftest::ReadPlace(t);
            // Placements are absolute: even a modify without attributes carries both.
            EXPECT_TRUE(p.hasMatrix && p.hasColor);
            EXPECT_EQ(p.depth, p.hasCharacter && p.character == swftest::ReadPlace(sld0.children[0]).character ? 1 : 2);
        }
    }

    // Slide 1 swaps one picture for another in place, then removes it.
    const auto& sld1 = Sprite(m, 1);
    std::vector<swftest::Placement> places;
    for (const auto& t : sld1.children)
        if (t.code == 26) places.push_back(swftest::ReadPlace(t));
    ASSERT_EQ(places.size(), 3u);
    EXPECT_TRUE(places[2].move && places[2].hasCharacter);
    EXPECT_EQ(places[2].depth, 2);
    EXPECT_EQ(Count(sld1.children, 28), 1);

    // Root: the on-click layer is the lowest; each slide takes the next depth.
    std::vector<int> depths;
    for (const auto& t : m.tags)
        if (t.code == 26) depths.push_back(swftest::ReadPlace(t).depth);
    EXPECT_EQ(depths, (std::vector<int>{1, 2, 3}));
}

TEST(CompilerStructure, BitmapsKeepTheirSizeAndKind) {
    auto m = CompileFixture("slides.xml");
    std::map<int, std::pair<int, int>> lossless;
    int jpegs = 0;
    for (const auto& t : m.tags) {
        if (t.code == 36) {
            swftest::Bits b(t.body);
            b.U16();
            EXPECT_EQ(b.U8(), 5);  // premultiplied ARGB
            int w = b.U16();
            lossless[w] = {w, b.U16()};
        }
        jpegs += t.code == 35;
    }
    EXPECT_EQ(lossless.at(40).second, 30);
    EXPECT_EQ(lossless.at(8).second, 4);  // grey picture expanded to colour
    EXPECT_EQ(jpegs, 1);
}

// Bitmap tags in the order written, without their character ids.
std::vector<std::pair<int, std::vector<std::uint8_t>>> Bitmaps(const std::vector<std::uint8_t>& swf) {
    std::vector<std::pair<int, std::vector<std::uint8_t>>> bitmaps;
    for (const auto& t : swftest::Read(swf).tags)
        if (t.code == 35 || t.code == 36)
            bitmaps.emplace_back(t.code, std::vector<std::uint8_t>(t.body.begin() + 2, t.body.end()));
    return bitmaps;
}

// Files with the same bytes share their bitmap; quality, other bytes and broken files do not.
TEST(CompilerStructure, PicturesWithTheSameBytesGiveTheSameBitmapsAsAlone) {
    CScratchFolder folder;
    auto copy = [&](const std::string& from, const std::string& to) {
        std::filesystem::copy_file(kData + "/" + from, folder / to);
    };
    copy("red40x30.png", "a.png");
    copy("red40x30.png", "b.png");
    copy("blue20x20-alpha.png", "c.png");
    copy("truncated.png", "bad1.png");
    copy("truncated.png", "bad2.png");
    struct Picture {
        const char* src;
        const char* extra;
    } pictures[] = {{"a.png", ""},
                    {"b.png", ""},
                    {"a.png", " jpegQuality=\"80\""},
                    {"c.png", ""},
                    {"b.png", " jpegQuality=\"80\""},
                    {"bad1.png", ""},
                    {"bad2.png", ""},
                    {"c.png", " jpegQuality=\"30\""}};
    tarnquill::CompileOptions options;
    options.baseFolder = folder.Native();
    options.ignoreErrors = true;
    auto image = [](int i, const Picture& p) {
        return "<image id=\"i" + std::to_string(i) + "\" src=\"" + p.src + "\"" + p.extra + "/>";
    };
    std::string objects, frames;
    for (int i = 0; i < int(std::size(pictures)); ++i) {
        objects += image(i, pictures[i]);
        frames += "<show id=\"s" + std::to_string(i) + "\" objectId=\"i" + std::to_string(i) + "\"/>";
    }
    const auto all = tarnquill::CompileText(Movie(objects, "<frame index=\"0\">" + frames + "</frame>"), options);
    ASSERT_EQ(all.warnings.size(), 2u);
    EXPECT_NE(all.warnings[0].find("bad1.png"), std::string::npos) << all.warnings[0];
    EXPECT_NE(all.warnings[1].find("bad2.png"), std::string::npos) << all.warnings[1];

    std::vector<std::pair<int, std::vector<std::uint8_t>>> alone;
    for (const Picture& p : pictures)
        for (auto& bitmap :
             Bitmaps(tarnquill::CompileText(
                         Movie(image(0, p), "<frame index=\"0\"><show id=\"s\" objectId=\"i0\"/></frame>"), options)
                         .swf))
            alone.push_back(std::move(bitmap));
    const auto together = Bitmaps(all.swf);
    ASSERT_EQ(together.size(), 6u);
    EXPECT_TRUE(together == alone);
    EXPECT_EQ(together[0], together[1]);
    EXPECT_EQ(together[2], together[4]);
    EXPECT_EQ(together[2].first, 35);
    EXPECT_NE(together[3], together[5]);
}

std::vector<std::uint8_t> ZlibOf(const std::uint8_t* data, std::size_t size, int level) {
    uLongf length = compressBound(static_cast<uLong>(size));
    std::vector<std::uint8_t> out(length);
    EXPECT_EQ(compress2(out.data(), &length, data, static_cast<uLong>(size), level), Z_OK);
    out.resize(length);
    return out;
}

std::vector<std::uint8_t> Inflated(const std::uint8_t* data, std::size_t size, std::size_t expected) {
    uLongf length = static_cast<uLongf>(expected);
    std::vector<std::uint8_t> out(expected + 1);
    EXPECT_EQ(uncompress(out.data(), &length, data, static_cast<uLong>(size)), Z_OK);
    out.resize(length);
    return out;
}

// Every zlib stream the compiler writes is the one compress2 makes at the same level, however
// many pictures came before it and however the movie was cut while it was compressed.
TEST(CompilerOutput, ZlibStreamsAreThoseOfCompress2) {
    std::string objects, frames;
    const char* pictures[] = {"red40x30.png", "blue20x20-alpha.png", "gray8x4.png"};
    for (int i = 0; i < 60; ++i)
        objects += "<image id=\"p" + std::to_string(i) + "\" src=\"" + pictures[i % 3] + "\"" +
                   (i % 4 == 3 ? " jpegQuality=\"" + std::to_string(40 + i) + "\"" : std::string()) + "/>";
    for (int i = 0; i < 3000; ++i)
        objects += "<rectangle id=\"r" + std::to_string(i) + "\" width=\"" + std::to_string(i + 1) +
                   "\" height=\"7\" fillStyle=\"s\"/>";
    for (int f = 0; f < 30; ++f) {
        frames += "<frame index=\"" + std::to_string(f) + "\">";
        for (int k = 0; k < 100; ++k) {
            const int i = f * 100 + k;
            frames += "<show id=\"r" + std::to_string(i) + "\" objectId=\"r" + std::to_string(i) + "\"/>";
        }
        if (f < 20)
            for (int k = 0; k < 3; ++k)
                frames +=
                    "<show id=\"p" + std::to_string(f * 3 + k) + "\" objectId=\"p" + std::to_string(f * 3 + k) + "\"/>";
        frames += "</frame>";
    }
    const auto plain = CompileXml(Movie(objects, frames, " compressed=\"0\""));
    const auto packed = CompileXml(Movie(objects, frames, " compressed=\"1\""));
    ASSERT_GT(plain.size(), 130000u);  // compressed in several pieces
    ASSERT_EQ(plain[0], 'F');
    ASSERT_EQ(packed[0], 'C');
    EXPECT_TRUE(std::equal(plain.begin() + 1, plain.begin() + 8, packed.begin() + 1));
    const auto expected = ZlibOf(plain.data() + 8, plain.size() - 8, 1);
    EXPECT_TRUE(std::vector<std::uint8_t>(packed.begin() + 8, packed.end()) == expected);

    int lossless = 0, jpegs = 0;
    for (const auto& t : swftest::Read(plain).tags) {
        if (t.code != 35 && t.code != 36) continue;
        swftest::Bits b(t.body);
        b.U16();
        std::size_t at = 0, pixels = 0;
        if (t.code == 36) {
            b.U8();
            const std::size_t w = b.U16(), h = b.U16();
            at = 7;
            pixels = w * h * 4;
            ++lossless;
        } else {
            at = 6 + b.U32();
            ++jpegs;
        }
        ASSERT_LT(at, t.body.size());
        const std::uint8_t* stream = t.body.data() + at;
        const std::size_t size = t.body.size() - at;
        const auto raw = Inflated(stream, size, pixels ? pixels : 40 * 30);
        EXPECT_TRUE(ZlibOf(raw.data(), raw.size(), Z_DEFAULT_COMPRESSION) ==
                    std::vector<std::uint8_t>(stream, stream + size))
            << "bitmap " << lossless + jpegs;
    }
    EXPECT_EQ(lossless, 45);
    EXPECT_EQ(jpegs, 15);
}

TEST(CompilerStructure, MasksCoverExactlyWhatTheyMask) {
    auto m = CompileFixture("masks.xml");
    EXPECT_EQ(std::string(m.signature, 3), "FWS");
    EXPECT_EQ(m.frameCount, 7);
    std::vector<std::pair<int, int>> shown;  // depth, clip depth of each new placement, in order
    std::vector<swftest::Placement> moves;
    for (const auto& t : m.tags) {
        if (t.code != 26) continue;
        auto p = swftest::ReadPlace(t);
        if (p.move)
            moves.push_back(p);
        else
            shown.emplace_back(p.depth, p.clipDepth);
    }
    // show0 masks show2, show3 masks show4, the sprite show5 masks show6; show1 is unmasked
    // though it came between a mask and its object.
    std::vector<std::pair<int, int>> expected = {{1, 2}, {3, 0}, {2, 0}, {4, 5}, {5, 0}, {6, 7}, {7, 0}};
    EXPECT_EQ(shown, expected);
    ASSERT_EQ(moves.size(), 1u);  // the replaced wipe mask keeps its clip depth
    EXPECT_EQ(moves[0].depth, 4);
    EXPECT_EQ(moves[0].clipDepth, 5);

    // The frame-with-hole mask uses one fill: the hole toggles it instead of painting alpha 0.
    int holeShape = 0;
    for (const auto& t : m.tags) {
        if (t.code != 32) continue;
        swftest::Bits b(t.body);
        b.U16();
        b.SkipRect();
        int fills = b.U8();
        if (t.body.size() > 40 && fills == 1 && b.U8() == 0x00) ++holeShape;
    }
    EXPECT_GE(holeShape, 1);
}

TEST(CompilerStructure, DefinitionsAllFirstWhenAsked) {
    std::string objects =
        "<rectangle id=\"r\" width=\"10\" height=\"10\" fillStyle=\"s\"/>"
        "<oval id=\"o\" width=\"10\" height=\"10\" fillStyle=\"s\"/>";
    std::string frames =
        "<frame index=\"0\"><show id=\"a\" objectId=\"r\"/></frame>"
        "<frame index=\"2\"><show id=\"b\" objectId=\"o\"/></frame>";
    for (bool first : {true, false}) {
        auto m = swftest::Read(CompileXml(Movie(objects, frames, first ? "" : " saveObjectsFirst=\"0\"")));
        std::vector<int> codes;
        for (const auto& t : m.tags)
            if (t.code == 32 || t.code == 1) codes.push_back(t.code);
        auto expected = first ? std::vector<int>{32, 32, 1, 1, 1} : std::vector<int>{32, 1, 1, 32, 1};
        EXPECT_EQ(codes, expected) << (first ? "objects first" : "objects as needed");
    }
}

// A part of a shape is no definition of its own; shown by itself it is still defined before the
// frame places it, whichever order the definitions take.
TEST(CompilerStructure, ShapePartShownAloneIsDefinedFirst) {
    std::string objects =
        "<shape id=\"sh\"><rectangle id=\"part\" width=\"10\" height=\"10\" fillStyle=\"s\"/></shape>"
        "<oval id=\"o\" width=\"10\" height=\"10\" fillStyle=\"s\"/>";
    std::string frames =
        "<frame index=\"0\"><show id=\"a\" objectId=\"part\"/><show id=\"b\" objectId=\"o\"/></frame>"
        "<frame index=\"1\"><replace showId=\"b\" objectId=\"part\"/></frame>";
    for (bool first : {true, false}) {
        auto m = swftest::Read(CompileXml(Movie(objects, frames, first ? "" : " saveObjectsFirst=\"0\"")));
        std::set<int> defined;
        ExpectDefinedBeforeUse(m.tags, defined);
        EXPECT_EQ(3, Count(m.tags, 32)) << (first ? "objects first" : "objects as needed");
    }
}

TEST(CompilerStructure, ButtonsCarryStatesAndReleaseActions) {
    std::string objects =
        "<rectangle id=\"r\" width=\"10\" height=\"10\" fillStyle=\"s\"/>"
        "<oval id=\"o\" width=\"10\" height=\"10\" fillStyle=\"s\"/>"
        "<button id=\"b\" type=\"menu\" up=\"r\" over=\"o\" down=\"o\" hit=\"r\">"
        "<actionGetURL url=\"u\" target=\"_blank\"/></button>"
        "<button id=\"c\" up=\"r\" over=\"r\" down=\"r\" hit=\"r\"/>";
    auto m = swftest::Read(CompileXml(Movie(objects, "<frame index=\"0\"><show id=\"x\" objectId=\"b\"/></frame>")));
    std::vector<const swftest::Tag*> buttons;
    for (const auto& t : m.tags)
        if (t.code == 34) buttons.push_back(&t);
    ASSERT_EQ(buttons.size(), 2u);
    swftest::Bits b(buttons[0]->body);
    b.U16();
    EXPECT_EQ(b.U8(), 1);  // track as menu
    int offset = b.U16();
    EXPECT_NE(offset, 0);
    EXPECT_EQ(b.U8(), 0x01 | 0x08);  // r: up and hit
    b.U16();
    b.U16();
    b.SkipMatrix();
    b.SkipColor();
    EXPECT_EQ(b.U8(), 0x02 | 0x04);  // o: over and down
    b.U16();
    b.U16();
    b.SkipMatrix();
    b.SkipColor();
    EXPECT_EQ(b.U8(), 0);
    EXPECT_EQ(b.U16(), 0);                                           // the only condition record
    EXPECT_EQ(b.U8(), 0x08);                                         // on release
    EXPECT_EQ(buttons[1]->body[3] | (buttons[1]->body[4] << 8), 0);  // no actions, no offset
}

TEST(CompilerActions, EncodedAsTheElementsAsk) {
    struct Case {
        std::string xml;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"<actionStop/>", {0x07, 0}},
        {"<actionGetURL url=\"a\" target=\"_top\"/>", {0x83, 7, 0, 'a', 0, '_', 't', 'o', 'p', 0, 0}},
        {"<actionGetURL url=\"a\"/>", {0x83, 3, 0, 'a', 0, 0, 0}},
        {"<actionGoToFrame index=\"258\"/>", {0x81, 2, 0, 2, 1, 0}},
        // the target is put back afterwards so that later actions run where they were
        {"<actionSetTarget spriteName=\"..\"/><actionGoToFrame index=\"1\"/>",
         {0x8B, 3, 0, '.', '.', 0, 0x81, 2, 0, 1, 0, 0x8B, 1, 0, 0, 0}},
        {"<actionCallFunction name=\"f\"><paramInteger value=\"3\"/><paramInteger value=\"-1\"/></actionCallFunction>",
         {0x96, 18, 0, 7, 0xff, 0xff, 0xff, 0xff, 7, 3, 0, 0, 0, 7, 2, 0, 0, 0, 0, 'f', 0, 0x3D, 0x17, 0}},
    };
    for (const auto& c : cases) {
        auto m = swftest::Read(CompileXml(Movie("", "<frame index=\"0\"><actions>" + c.xml + "</actions></frame>")));
        const swftest::Tag* action = nullptr;
        for (const auto& t : m.tags)
            if (t.code == 12) action = &t;
        ASSERT_NE(action, nullptr) << c.xml;
        EXPECT_EQ(action->body, c.bytes) << c.xml;
    }
}

TEST(CompilerErrors, BadDescriptionsGiveAClearError) {
    struct Case {
        std::string xml, expected, element;
    } cases[] = {
        {"<movie width=\"10\" height=\"10\"><objects>", "malformed description", ""},
        {"<film width=\"10\" height=\"10\"/>", "root element", "film"},
        {"<movie height=\"10\"/>", "required attribute", "movie"},
        {"<movie width=\"10\" height=\"10\" frameRate=\"0\"/>", "out of range", "movie"},
        {"<movie width=\"99999\" height=\"10\"/>", "out of range", "movie"},
        {Movie("<image id=\"i\" src=\"missing.png\"/>", ""), "cannot open picture", "image"},
        {Movie("<image id=\"i\" src=\"not-a-picture.png\"/>", ""), "unsupported picture", "image"},
        {Movie("<image id=\"i\" src=\"truncated.png\"/>", ""), "damaged or unsupported PNG", "image"},
        {Movie("<image id=\"i\" src=\"huge-claim.png\"/>", ""), "damaged or unsupported PNG", "image"},
        {Movie("<image id=\"i\" src=\"red40x30.png\" jpegQuality=\"101\"/>", ""), "out of range", "image"},
        {Movie("<rectangle id=\"r\" fillStyle=\"nope\"/>", ""), "fill style \"nope\"", "rectangle"},
        {Movie("<rectangle id=\"r\" width=\"9e99\"/>", ""), "length out of range", "rectangle"},
        {Movie("<rectangle id=\"r\"/><oval id=\"r\"/>", ""), "duplicate id", "oval"},
        // Pictures already being made when the reading fails: the reading's error is told.
        {Movie("<image id=\"i\" src=\"red40x30.png\"/><image id=\"j\" src=\"missing.png\"/>"
               "<image id=\"k\" src=\"truncated.png\"/><rectangle id=\"i\"/>",
               ""),
         "duplicate id", "rectangle"},
        {Movie("", "<frame index=\"0\"><show id=\"a\" objectId=\"ghost\"/></frame>"), "has no definition", "show"},
        {Movie("", "<frame index=\"-1\"/>"), "out of range", "frame"},
        {Movie("", "<frame index=\"70000\"/>"), "out of range", "frame"},
        {Movie("<rectangle id=\"r\"/>",
               "<frame index=\"0\"><modify showId=\"a\"/></frame>"
               "<frame index=\"1\"><show id=\"a\" objectId=\"r\"/></frame>"),
         "before its frame", "modify"},
        {Movie("<rectangle id=\"r\"/>",
               "<frame index=\"0\"><show id=\"a\" objectId=\"r\"/>"
               "<show id=\"a\" objectId=\"r\"/></frame>"),
         "duplicate show id", "show"},
        {Movie("<rectangle id=\"r\"/>",
               "<frame index=\"0\"><show id=\"a\" objectId=\"r\" maskId=\"b\"/>"
               "<show id=\"b\" objectId=\"r\" maskId=\"a\"/></frame>"),
         "cycle", "show"},
        {Movie("<sprite id=\"p\"><layers><layer><frame index=\"0\"><show id=\"a\" objectId=\"p\"/></frame>"
               "</layer></layers></sprite>",
               ""),
         "contains itself", "sprite"},
        {Movie("", "<frame index=\"0\"><show id=\"a\" objectId=\"r\" shiftAlpha=\"99999\"/></frame>"), "out of range",
         "show"},
        {Movie("<button id=\"b\" up=\"x\"/>", ""), "has no definition", "button"},
        {Movie("", "<frame index=\"0\"><actions><actionJump/></actions></frame>"), "unknown action", "actionJump"},
    };
    for (const auto& c : cases) {
        try {
            CompileXml(c.xml);
            ADD_FAILURE() << "compiled: " << c.xml;
        } catch (const tarnquill::CompileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
            EXPECT_EQ(e.Element(), c.element) << e.what();
            if (!c.element.empty()) {
                EXPECT_GT(e.Line(), 0) << e.what();
            }
        }
    }
}

// A text chunk that claims a gigabyte ends in the damaged-file error without that memory taken.
TEST(CompilerErrors, ChunkLengthsClaimedByAPictureAreNotAllocated) {
    testsupport::LargestAllocation largest;
    try {
        CompileXml(Movie("<image id=\"i\" src=\"text-claims-1gb.png\"/>", ""));
        ADD_FAILURE() << "compiled";
    } catch (const tarnquill::CompileError& e) {
        EXPECT_NE(std::string(e.what()).find("damaged or unsupported PNG"), std::string::npos) << e.what();
    }
    if (largest.Watching()) {
        EXPECT_LT(largest.Bytes(), 64u << 20);
    }
}

TEST(CompilerErrors, IgnoreErrorsTurnsBadPicturesIntoEmptyShapes) {
    tarnquill::CompileOptions options;
    options.baseFolder = kData;
    options.ignoreErrors = true;
    auto result = tarnquill::CompileText(
        Movie("<image id=\"i\" src=\"missing.png\"/>", "<frame index=\"0\"><show id=\"a\" objectId=\"i\"/></frame>"),
        options);
    EXPECT_EQ(result.warnings.size(), 1u);
    auto m = swftest::Read(result.swf);
    EXPECT_EQ(Count(m.tags, 32), 1);
    EXPECT_EQ(Count(m.tags, 36), 0);
}

TEST(CompilerSchema, AcceptsTheFixturesAndRefusesStrangers) {
    for (const char* name : {"slides.xml", "masks.xml"}) EXPECT_NO_THROW(CompileFixture(name, true)) << name;
    tarnquill::CompileOptions options;
    options.schemaPath = kSchema;
    // The schema's verdict comes first, whether the compile itself would fail or succeed, and
    // an element's error is told at its start tag, wherever in it the check found the fault.
    const struct {
        const char* xml;
        long line;
    } strangers[] = {
        {"<movie width=\"10\" height=\"10\"><layers><tiers/></layers></movie>", 1},
        {"<movie width=\"10\" height=\"10\">\n<layers>\n<layer><frame index=\"0\" nonsense=\"1\"/></layer>\n"
         "</layers>\n</movie>",
         3},
        {"<movie width=\"10\" height=\"10\" colour=\"red\"/>", 1},
        {"<movie width=\"10\" height=\"10\" colour=\"red\">\n<objects><rectangle id=\"r\"/><rectangle id=\"r\"/>"
         "</objects>\n</movie>",
         1},
        {"<movie width=\"10\" height=\"10\">\n<layers>\n\n<tiers/>\n</layers>\n</movie>", 4},
        {"<movie width=\"10\" height=\"10\">\n<layers>\n\nTEXT\n</layers>\n</movie>", 2},
        {"<movie width=\"10\" height=\"10\">\n<layers>\n<layer/><![CDATA[\nzz\n]]>\n</layers>\n</movie>", 2},
        {"<movie width=\"10\" height=\"10\">\n<objects>\n<htmlText id=\"t\"\n width=\"1\" height=\"1\">\nab\n"
         "<b>x</b>\n</htmlText>\n</objects>\n</movie>",
         4},
        {"<movie width=\"10\" height=\"10\">\n<layers><layer><frame index=\"0\"><actions>\n<actionStop>\nzz\n"
         "</actionStop>\n</actions></frame></layer></layers>\n</movie>",
         3},
    };
    CScratchFolder folder;
    for (const auto& stranger : strangers) {
        const std::string xml = stranger.xml;
        const std::string path = (folder / "movie.xml").string();
        std::ofstream(path, std::ios::binary) << xml;
        for (bool file : {false, true}) {
            try {
                if (file)
                    tarnquill::CompileFile(path, options);
                else
                    tarnquill::CompileText(xml, options);
                ADD_FAILURE() << "schema accepted " << xml;
            } catch (const tarnquill::CompileError& e) {
                EXPECT_NE(std::string(e.what()).find("schema"), std::string::npos) << e.what();
                EXPECT_EQ(e.Line(), stranger.line) << xml << (file ? " (file)" : " (text)");
            }
        }
    }
    // Lines past 65535 are told as they are.
    try {
        tarnquill::CompileText(
            "<movie width=\"10\" height=\"10\">\n<objects>" + std::string(70000, '\n') + "zz</objects>\n</movie>",
            options);
        ADD_FAILURE() << "schema accepted the text";
    } catch (const tarnquill::CompileError& e) {
        EXPECT_EQ(e.Line(), 2) << e.what();
    }
    try {
        tarnquill::CompileText("<movie width=\"10\" height=\"10\">\n<objects>" + std::string(70000, '\n') +
                                   "<rectangle id=\"r\" bogus=\"1\"/></objects>\n</movie>",
                               options);
        ADD_FAILURE() << "schema accepted the attribute";
    } catch (const tarnquill::CompileError& e) {
        EXPECT_EQ(e.Line(), 70002) << e.what();
    }
    // A malformed description is told as such, before the schema has a say.
    try {
        tarnquill::CompileText("<movie width=\"10\" height=\"10\" colour=\"red\">\n<objects>\n</movie>", options);
        ADD_FAILURE() << "compiled";
    } catch (const tarnquill::CompileError& e) {
        EXPECT_EQ(e.Message().rfind("malformed description", 0), 0u) << e.what();
        EXPECT_EQ(e.Line(), 3) << e.what();
    }
    options.schemaPath = kData + "/no-such.xsd";
    EXPECT_THROW(tarnquill::CompileText("<movie width=\"10\" height=\"10\"/>", options), tarnquill::CompileError);
}

// Attribute values reach the model with their references replaced and their blanks made
// spaces, as the parser gives them; from a file as from the text.
TEST(CompilerReading, AttributeValuesAsTheParserGivesThem) {
    const struct {
        std::string label, expected, prolog;
    } cases[] = {
        {"a&amp;b", "a&b", ""},
        {"&#38;&#x26;&amp;amp;", "&&&amp;", ""},
        {"x&#10;y&#13;z&#9;", "x\ny\rz\t", ""},
        {"&lt;&gt;&quot;&apos;", "<>\"'", ""},
        {"\xc3\xa9&#xe9;&#x4e00;", "\xc3\xa9\xc3\xa9\xe4\xb8\x80", ""},
        {"a\tb\nc\r\nd", "a b c d", ""},
        {"&co;!", "Co!", "<!DOCTYPE movie [<!ENTITY co \"Co\">]>\n"},
        {"&amp;", "&", "<!DOCTYPE movie>\n"},
    };
    CScratchFolder folder;
    for (const auto& c : cases) {
        const std::string xml = c.prolog + Movie("", "<frame index=\"0\" label=\"" + c.label + "\"/>");
        const std::string path = (folder / "movie.xml").string();
        std::ofstream(path, std::ios::binary) << xml;
        tarnquill::CompileOptions options;
        options.baseFolder = kData;
        for (bool file : {false, true}) {
            auto m = swftest::Read(file ? tarnquill::CompileFile(path, options).swf : CompileXml(xml));
            const swftest::Tag* label = nullptr;
            for (const auto& t : m.tags)
                if (t.code == 43) label = &t;
            ASSERT_NE(label, nullptr) << xml;
            std::string expected = c.expected;
            expected.push_back('\0');
            EXPECT_EQ(std::string(label->body.begin(), label->body.end()), expected) << xml;
        }
    }
}

// What sits between the elements, and where a fault is told.
TEST(CompilerReading, StrayContentAndPlaces) {
    const std::string head = "<movie width=\"10\" height=\"10\">\n";
    const struct {
        std::string xml, message, element;
        long line;
    } cases[] = {
        {head + "<objects>\n</movie>", "malformed description: Opening and ending tag mismatch", "", 3},
        {head + "<layers/>\n</movie>\n\nzz", "malformed description: Extra content", "", 5},
        {head + "<layers>&nope;</layers></movie>", "malformed description: Entity 'nope' not defined", "", 2},
        {head + "<objects>\n<rectangle xml:id=\"a\" id=\"r\"/>\n<oval xml:id=\"a\" id=\"o\"/></objects></movie>",
         "malformed description: ID a already defined", "", 4},
        {head + "<objects>\n  x <rectangle id=\"r\"/></objects></movie>", "unexpected text content", "objects", 2},
        {head + "<objects>x<![CDATA[]]></objects></movie>", "unexpected text content", "objects", 2},
        {head + "<objects><![CDATA[]]>x</objects></movie>", "unexpected character data", "objects", 2},
        {head + "\n<objects><rectangle\n id=\"r\"\n width=\"x\"/></objects></movie>", "not a length", "rectangle", 5},
        {"<!DOCTYPE movie [<!ENTITY t \"x\">]>\n" + head + "<objects>\n&t;<![CDATA[]]></objects></movie>",
         "unexpected character data", "objects", 3},
        {head + "<objects><htmlText id=\"t\">a<b/></htmlText></objects></movie>", "unexpected element in", "b", 2},
        // Lines past 65535 are told as they are.
        {head + "<objects>\n" + std::string(70000, '\n') + "<rectangle id=\"r\" width=\"x\"/></objects></movie>",
         "not a length", "rectangle", 70003},
    };
    for (const auto& c : cases) {
        try {
            CompileXml(c.xml);
            ADD_FAILURE() << "compiled: " << c.xml;
        } catch (const tarnquill::CompileError& e) {
            EXPECT_EQ(e.Message().rfind(c.message, 0), 0u) << e.what();
            EXPECT_EQ(e.Element(), c.element) << e.what();
            EXPECT_EQ(e.Line(), c.line) << e.what();
        }
    }
    // Comments, instructions and blanks written as references are no stray text.
    EXPECT_NO_THROW(CompileXml(
        Movie("<!-- c --> <?pi x?> &#32;&#10;<rectangle id=\"r\" width=\"1\" height=\"1\" fillStyle=\"s\"/>", "")));
}

TEST(CompilerShapes, LongEdgesAndLargeOvalsStayWithinRecordLimits) {
    // 4000 px is beyond what one 17-bit edge delta holds; the outline must still close.
    std::string objects =
        "<rectangle id=\"r\" width=\"4000\" height=\"10\" fillStyle=\"s\"/>"
        "<oval id=\"o\" width=\"6000\" height=\"5000\" fillStyle=\"s\"/>";
    auto m = swftest::Read(CompileXml(Movie(objects, "")));
    for (const auto& t : m.tags) {
        if (t.code != 32) continue;
        swftest::Bits b(t.body);
        b.U16();
        b.SkipRect();
        int fills = b.U8();
        for (int i = 0; i < fills; ++i) {
            b.U8();
            b.U32();
        }
        b.U8();
        int fillBits = b.U(4), lineBits = b.U(4);
        std::int64_t x = 0, y = 0, startX = 0, startY = 0;
        for (;;) {
            if (b.U(1) == 0) {
                int flags = b.U(5);
                if (!flags) break;
                if (flags & 1) {
                    int n = b.U(5);
                    x = startX = b.S(n);
                    y = startY = b.S(n);
                }
                if (flags & 2) b.U(fillBits);
                if (flags & 4) b.U(fillBits);
                if (flags & 8) b.U(lineBits);
            } else if (b.U(1) == 1) {
                int n = b.U(4) + 2;
                if (b.U(1)) {
                    x += b.S(n);
                    y += b.S(n);
                } else if (b.U(1))
                    y += b.S(n);
                else
                    x += b.S(n);
            } else {
                int n = b.U(4) + 2;
                x += b.S(n);
                y += b.S(n);
                x += b.S(n);
                y += b.S(n);
            }
        }
        EXPECT_EQ(x, startX);
        EXPECT_EQ(y, startY);
    }
}

// Someone who can write to the output folder plants a link where the movie's temporary file
// would go: the write must neither follow it (clobbering what it points at) nor fail.
TEST(CompilerOutput, PlantedLinkAtTheTemporaryNameIsNotFollowed) {
    char pattern[] = "/tmp/bctq.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string folder = pattern, target = folder + "/out.swf", victim = folder + "/victim";
    { std::ofstream(victim) << "keep"; }
    const std::string planted = target + ".tmp" + std::to_string(::getpid());
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);

    const std::vector<std::uint8_t> swf =
        CompileXml(Movie("<rectangle id=\"r\" width=\"20\" height=\"20\" fillStyle=\"s\"/>",
                         "<frame index=\"0\"><show id=\"a\" objectId=\"r\"/></frame>"));
    tarnquill::WriteFileAtomically(target, swf);

    EXPECT_EQ(bctest::FileText(victim), "keep");
    EXPECT_EQ(bctest::FileBytes(target), swf);
    char link[256] = {};
    EXPECT_EQ(::readlink(planted.c_str(), link, sizeof link - 1), static_cast<ssize_t>(victim.size()));
    EXPECT_EQ(std::string(link), victim);
    // Nothing else is left beside the movie.
    int entries = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(dir)) entries += e->d_name[0] != '.';
        ::closedir(dir);
    }
    EXPECT_EQ(entries, 3);

    // A folder that is not there leaves a clear error, not a file somewhere else.
    EXPECT_THROW(tarnquill::WriteFileAtomically(folder + "/absent/out.swf", swf), tarnquill::CompileError);
    for (const std::string& f : {planted, victim, target}) ::unlink(f.c_str());
    ::rmdir(folder.c_str());
}

}  // namespace
