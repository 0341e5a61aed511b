// Fonts, text fields, sounds and their starts, metafile sprites and imported movies, read
// back from the tags we wrote.
#include "MediaFixtures.h"
#include "QuadDib.h"
#include "SwfTestReader.h"
#include "TempDir.h"
#include "tarnquill/Compiler.h"
#include "tarnquill/Wmf.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <zlib.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace {

const std::string kData = BC_SOURCE_DIR "/tests/data/compiler";
const std::string kSchema = BC_BINARY_DIR "/lib/tarnquill.xsd";

tarnquill::CompileResult Compile(const std::string& xml, const CScratchFolder& dir) {
    tarnquill::CompileOptions options;
    options.baseFolder = dir.Native();
    options.schemaPath = kSchema;
    return tarnquill::CompileText(xml, options);
}

std::string Movie(const std::string& objects, const std::string& frames, const std::string& attrs = "") {
    return "<movie width=\"200\" height=\"100\" frameRate=\"12\"" + attrs + "><objects>" + objects +
           "</objects><layers><layer>" + frames + "</layer></layers></movie>";
}

const swftest::Tag* First(const std::vector<swftest::Tag>& tags, int code) {
    for (const auto& t : tags)
        if (t.code == code) return &t;
    return nullptr;
}

std::vector<const swftest::Tag*> All(const std::vector<swftest::Tag>& tags, int code) {
    std::vector<const swftest::Tag*> out;
    for (const auto& t : tags)
        if (t.code == code) out.push_back(&t);
    return out;
}

struct Font {
    int id = 0, flags = 0, language = 0;
    std::string name;
    std::vector<int> codes, advances;
    int ascent = 0, descent = 0;
    std::vector<std::vector<std::uint8_t>> shapes;
};

Font ReadFont(const swftest::Tag& t) {
    Font f;
    swftest::Bits b(t.body);
    f.id = b.U16();
    f.flags = b.U8();
    f.language = b.U8();
    int n = b.U8();
    for (int i = 0; i < n; ++i) f.name += static_cast<char>(b.U8());
    int glyphs = b.U16();
    std::size_t table = b.Pos();
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i <= glyphs; ++i) offsets.push_back(b.U32());
    for (int i = 0; i < glyphs; ++i)
        f.shapes.emplace_back(t.body.begin() + table + offsets[i], t.body.begin() + table + offsets[i + 1]);
    swftest::Bits c(t.body, table + offsets[glyphs]);
    for (int i = 0; i < glyphs; ++i) f.codes.push_back(c.U16());
    f.ascent = c.U16();
    f.descent = c.U16();
    c.U16();
    for (int i = 0; i < glyphs; ++i) f.advances.push_back(static_cast<std::int16_t>(c.U16()));
    return f;
}

// Walks a glyph's records: every contour must end where it started.
void ExpectClosedOutline(const std::vector<std::uint8_t>& shape, int code) {
    swftest::Bits b(shape);
    ASSERT_EQ(b.U8(), 0x10) << code;  // one fill bit, no line bits
    std::int64_t x = 0, y = 0, sx = 0, sy = 0;
    bool first = true, open = false;
    for (;;) {
        if (b.U(1) == 0) {
            int flags = b.U(5);
            if (!flags) break;
            if (first) {
                EXPECT_TRUE(flags & 0x02) << "first record selects fill style 0, glyph " << code;
            }
            if (open) {
                EXPECT_TRUE(x == sx && y == sy) << "open contour in glyph " << code;
            }
            if (flags & 1) {
                int n = b.U(5);
                x = sx = b.S(n);
                y = sy = b.S(n);
            }
            if (flags & 2) {
                std::uint32_t fill = b.U(1);
                if (first) {
                    EXPECT_EQ(fill, 1u) << code;
                }
            }
            if (flags & 4) b.U(1);
            first = false;
            open = true;
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
    if (open) {
        EXPECT_TRUE(x == sx && y == sy) << "open contour in glyph " << code;
    }
}

class FontFixture : public ::testing::Test {
protected:
    void SetUp() override {
        regular = media::SystemFont("DejaVuSans.ttf");
        bold = media::SystemFont("DejaVuSans-Bold.ttf");
        if (regular.empty() || bold.empty()) GTEST_SKIP() << "DejaVu fonts are not installed";
        std::filesystem::copy_file(regular, dir / "sans.ttf");
        std::filesystem::copy_file(bold, dir / "sans-bold.ttf");
    }
    CScratchFolder dir;
    std::string regular, bold;
};

TEST_F(FontFixture, GlyphsAdvancesAndFlagsOfTheCharactersAsked) {
    // U+4E00 is not in the font: skipped with a warning. Duplicates count once.
    auto result = Compile(Movie("<font id=\"fnt0\" src=\"sans.ttf\" name=\"fnt0\" chars=\"bAA &#xe9;&#x4e00;\"/>"
                                "<font id=\"fnt1\" src=\"sans-bold.ttf\" chars=\"A\"/>",
                                ""),
                          dir);
    auto m = swftest::Read(result.swf);
    auto fonts = All(m.tags, 75);
    ASSERT_EQ(fonts.size(), 2u);
    Font f = ReadFont(*fonts[0]);
    EXPECT_EQ(f.name, "fnt0");
    EXPECT_EQ(f.codes, (std::vector<int>{' ', 'A', 'b', 0xe9}));  // ascending
    EXPECT_EQ(f.flags & 0x0f, 0x0c);                              // wide offsets and codes, not bold
    EXPECT_TRUE(f.flags & 0x80);                                  // layout
    for (std::size_t i = 0; i < f.shapes.size(); ++i) ExpectClosedOutline(f.shapes[i], f.codes[i]);
    EXPECT_LE(f.shapes[0].size(), 2u);  // a space has no outline

    // Advances in the 1024 x 20 EM square, as FreeType reads the file.
    FT_Library lib;
    ASSERT_EQ(FT_Init_FreeType(&lib), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(lib, regular.c_str(), 0, &face), 0);
    for (std::size_t i = 0; i < f.codes.size(); ++i) {
        ASSERT_EQ(FT_Load_Char(face, f.codes[i], FT_LOAD_NO_SCALE), 0);
        EXPECT_NEAR(f.advances[i], face->glyph->advance.x * 20480.0 / face->units_per_EM, 0.5) << f.codes[i];
    }
    EXPECT_NEAR(f.ascent, face->ascender * 20480.0 / face->units_per_EM, 0.5);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);

    Font b = ReadFont(*fonts[1]);
    EXPECT_EQ(b.name, "fnt1");  // no name: the id
    EXPECT_EQ(b.flags & 0x01, 0x01);
    EXPECT_EQ(b.codes, std::vector<int>{'A'});
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("U+4E00"), std::string::npos) << result.warnings[0];
}

TEST_F(FontFixture, TextFieldFlagsFontAndMarkup) {
    const std::string font = "<font id=\"fnt0\" src=\"sans.ttf\" name=\"fnt0\" chars=\"Hilo \"/>";
    struct Case {
        std::string attrs;
        int flags1, flags2;
    } cases[] = {
        {"", 0x80 | 0x08 | 0x04 | 0x01, 0x20 | 0x10 | 0x02 | 0x01},
        {" selectable=\"1\" multiline=\"1\" wordWrap=\"1\"", 0x80 | 0x40 | 0x20 | 0x08 | 0x04 | 0x01,
         0x20 | 0x02 | 0x01},
    };
    for (const auto& c : cases) {
        auto result =
            Compile(Movie(font +
                              "<htmlText id=\"t\" x=\"10\" y=\"5\" width=\"100\" height=\"20\" fontId=\"fnt0\" "
                              "fontSize=\"360tw\" color=\"#336699\"" +
                              c.attrs + "><![CDATA[<B>Hi</B> &amp; <U>lo</U>]]></htmlText>",
                          "<frame index=\"0\"><show id=\"s\" objectId=\"t\"/></frame>"),
                    dir);
        auto m = swftest::Read(result.swf);
        const auto* fontTag = First(m.tags, 75);
        const auto* text = First(m.tags, 37);
        ASSERT_TRUE(fontTag && text);
        swftest::Bits b(text->body);
        b.U16();
        int n = b.U(5);
        EXPECT_EQ(b.S(n), 200);
        EXPECT_EQ(b.S(n), 2200);
        EXPECT_EQ(b.S(n), 100);
        EXPECT_EQ(b.S(n), 500);
        EXPECT_EQ(b.U8(), c.flags1) << c.attrs;
        EXPECT_EQ(b.U8(), c.flags2) << c.attrs;
        EXPECT_EQ(b.U16(), swftest::DefinedId(*fontTag));
        EXPECT_EQ(b.U16(), 360);
        EXPECT_EQ(b.U32(), 0xff996633u);  // R G B A read as a little-endian word
        b.U8();
        b.U16();
        b.U16();
        b.U16();
        b.U16();
        EXPECT_EQ(b.Str(), "");
        EXPECT_EQ(b.Str(), "<B>Hi</B> &amp; <U>lo</U>");
        // "&" is not among the font's characters.
        ASSERT_EQ(result.warnings.size(), 1u) << c.attrs;
        EXPECT_NE(result.warnings[0].find("not in font"), std::string::npos);
    }
}

TEST_F(FontFixture, FontFacesInTheMarkupResolveToEmbeddedFonts) {
    auto result =
        Compile(Movie("<font id=\"fnt0\" src=\"sans.ttf\" name=\"fnt0\" chars=\"ab\"/>"
                      "<font id=\"fnt1\" src=\"sans-bold.ttf\" name=\"heavy\" chars=\"ab\"/>"
                      "<htmlText id=\"t\" width=\"10\" height=\"10\"><![CDATA[<FONT FACE=\"DejaVu Sans\">a</FONT>"
                      "<font size='3' face='fnt1'>b</font><font face=Courier>a</font>]]></htmlText>",
                      ""),
                dir);
    auto m = swftest::Read(result.swf);
    const auto* text = First(m.tags, 37);
    ASSERT_NE(text, nullptr);
    swftest::Bits b(text->body);
    b.U16();
    b.SkipRect();
    EXPECT_EQ(b.U8() & 0x01, 0);  // no default font
    EXPECT_EQ(b.U8() & 0x01, 0);  // and no outlines
    b.U32();
    b.U8();
    b.U16();
    b.U16();
    b.U16();
    b.U16();
    b.Str();
    EXPECT_EQ(b.Str(), "<FONT FACE=\"fnt0\">a</FONT><font size='3' face='heavy'>b</font><font face=Courier>a</font>");
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("\"Courier\" is not embedded"), std::string::npos) << result.warnings[0];
}

struct SoundFields {
    int format, rate, size, type;
    std::uint32_t samples;
    std::size_t dataBytes;
};

SoundFields ReadSound(const swftest::Tag& t) {
    swftest::Bits b(t.body);
    b.U16();
    int f = b.U8();
    SoundFields s{f >> 4, (f >> 2) & 3, (f >> 1) & 1, f & 1, b.U32(), t.body.size() - 7};
    return s;
}

TEST(CompilerSounds, WavAndMp3BecomeDefineSound) {
    CScratchFolder dir;
    media::Write(dir / "a.wav", media::Wav(1, 11025, 8, 1000));
    media::Write(dir / "b.wav", media::Wav(2, 44100, 16, 333));
    media::Write(dir / "c.wav", media::Wav(1, 5512, 16, 10));
    auto mp3 = media::Mp3(10);
    std::vector<std::uint8_t> tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 5, 1, 2, 3, 4, 5};
    tagged.insert(tagged.end(), mp3.begin(), mp3.end());
    for (char c : std::string("TAG")) tagged.push_back(static_cast<std::uint8_t>(c));
    tagged.resize(tagged.size() + 125, ' ');
    media::Write(dir / "d.mp3", tagged);
    auto mono = media::Mp3(4, 2, 8, 0, true);
    media::Write(dir / "e.mp3", mono);
    // Samples a movie cannot carry as stored become 16 bits at the next movie rate up.
    media::Write(dir / "8k.wav", media::Wav(1, 8000, 16, 100));
    media::Write(dir / "24bit.wav", media::Wav(1, 22050, 24, 100));
    media::Write(dir / "float.wav", media::Wav(1, 22050, 32, 100, 3));
    media::Write(dir / "48k.wav", media::Wav(2, 48000, 16, 480));
    struct Case {
        const char* file;
        SoundFields expected;
    } cases[] = {
        {"8k.wav", {3, 1, 1, 0, 138, 276}},
        {"24bit.wav", {3, 2, 1, 0, 100, 200}},
        {"float.wav", {3, 2, 1, 0, 100, 200}},
        {"48k.wav", {3, 3, 1, 1, 441, 441 * 4}},
        {"a.wav", {3, 1, 0, 0, 1000, 1000}},
        {"b.wav", {3, 3, 1, 1, 333, 333 * 4}},
        {"c.wav", {3, 0, 1, 0, 10, 20}},
        {"d.mp3", {2, 3, 1, 1, 11520, 2 + mp3.size()}},
        {"e.mp3", {2, 2, 1, 0, 4 * 576, 2 + mono.size()}},
    };
    for (const auto& c : cases) {
        auto m = swftest::Read(Compile(Movie(std::string("<sound id=\"s\" src=\"") + c.file + "\"/>", ""), dir).swf);
        const auto* tag = First(m.tags, 14);
        ASSERT_NE(tag, nullptr) << c.file;
        SoundFields s = ReadSound(*tag);
        auto e = c.expected;
        EXPECT_EQ(std::tie(s.format, s.rate, s.size, s.type, s.samples, s.dataBytes),
                  std::tie(e.format, e.rate, e.size, e.type, e.samples, e.dataBytes))
            << c.file;
        if (std::string(c.file) == "24bit.wav") {
            // The first sample's top two bytes (0x0E, 0x07 of 0x0E0700) as a 16-bit sample.
            EXPECT_EQ(0x07, tag->body[7]);
            EXPECT_EQ(0x0E, tag->body[8]);
        }
    }
}

TEST(CompilerSounds, BadSoundsFailNamingTheFile) {
    CScratchFolder dir;
    auto mp3 = media::Mp3(5);
    auto cut = mp3;
    cut.resize(cut.size() - 100);
    media::Write(dir / "cut.mp3", cut);
    media::Write(dir / "48k.mp3", media::Mp3(3, 3, 9, 1));
    media::Write(dir / "layer2.mp3", media::Mp3(3, 3, 9, 0, false, 2));
    media::Write(dir / "500hz.wav", media::Wav(1, 500, 16, 100));
    media::Write(dir / "12bit.wav", media::Wav(1, 22050, 12, 100));
    media::Write(dir / "adpcm.wav", media::Wav(1, 22050, 4, 100, 2));
    auto longData = media::Wav(1, 22050, 16, 100);
    longData[40] = 0xff;  // data chunk claims more than the file holds
    media::Write(dir / "long.wav", longData);
    media::Write(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
    auto junk = mp3;
    junk.insert(junk.end(), {'x', 'y', 'z', 'w', 'v'});
    media::Write(dir / "junk.mp3", junk);
    struct Case {
        const char* file;
        const char* expected;
    } cases[] = {
        {"cut.mp3", "truncated"},          {"48k.mp3", "48000 Hz"},
        {"layer2.mp3", "layer 2"},         {"500hz.wav", "500 Hz"},
        {"12bit.wav", "12-bit"},           {"adpcm.wav", "not PCM (format 2)"},
        {"long.wav", "runs past the end"}, {"text.wav", "neither a WAV nor an MP3"},
        {"junk.mp3", "no frame at byte"},  {"missing.wav", "cannot open"},
    };
    for (const auto& c : cases) {
        std::string xml = Movie(std::string("<sound id=\"s\" src=\"") + c.file + "\"/>",
                                "<frame index=\"0\"><startSoundStream objectId=\"s\"/></frame>");
        try {
            Compile(xml, dir);
            ADD_FAILURE() << "compiled " << c.file;
        } catch (const tarnquill::CompileError& e) {
            std::string what = e.what();
            EXPECT_NE(what.find(c.expected), std::string::npos) << what;
            EXPECT_NE(what.find(c.file), std::string::npos) << what;
            EXPECT_EQ(e.Element(), "sound") << what;
        }
    }
}

// (frame, tag code, first byte after the sound id for StartSound) of a timeline.
std::vector<std::tuple<int, int, int>> SoundEvents(const std::vector<swftest::Tag>& tags) {
    std::vector<std::tuple<int, int, int>> out;
    int frame = 0;
    for (const auto& t : tags) {
        if (t.code == 1) ++frame;
        if (t.code == 15) out.emplace_back(frame, 15, t.body[2]);
        if (t.code == 12) out.emplace_back(frame, 12, t.body[0]);
    }
    return out;
}

TEST(CompilerSounds, StartTrimAndStopOnFinishMapToStartSoundAndStop) {
    CScratchFolder dir;
    media::Write(dir / "one.wav", media::Wav(1, 22050, 16, 22050));  // one second: 12 frames at 12 fps
    struct Case {
        std::string start;
        int lastFrame;  // of the description
        int frameCount;
        std::vector<std::tuple<int, int, int>> events;
    } cases[] = {
        // the sound's own sprite: the timeline grows to the sound's end and stops there
        {"stopOnFinish=\"1\"", 0, 13, {{0, 15, 0x10}, {12, 12, 0x07}}},
        {"trimFrames=\"5\"", 19, 20, {{0, 15, 0x10}, {5, 15, 0x20}}},
        {"trimFrames=\"30\"", 19, 20, {{0, 15, 0x10}}},  // ends by itself first
        {"trimToMovie=\"1\"", 7, 8, {{0, 15, 0x10}, {7, 15, 0x20}}},
        {"trimToMovie=\"1\"", 19, 20, {{0, 15, 0x10}}},
        {"trimFrames=\"5\" stopOnFinish=\"1\"", 0, 6, {{0, 15, 0x10}, {5, 12, 0x07}, {5, 15, 0x20}}},
        {"trimFrames=\"0\" trimToMovie=\"1\"", 3, 4, {{0, 15, 0x10}, {0, 15, 0x20}}},  // a count wins
    };
    for (const auto& c : cases) {
        std::string frames = "<frame index=\"0\"><startSoundStream objectId=\"s\" " + c.start + "/></frame>";
        if (c.lastFrame > 0) frames += "<frame index=\"" + std::to_string(c.lastFrame) + "\"/>";
        auto m = swftest::Read(Compile(Movie("<sound id=\"s\" src=\"one.wav\"/>", frames), dir).swf);
        EXPECT_EQ(m.frameCount, c.frameCount) << c.start;
        EXPECT_EQ(SoundEvents(m.tags), c.events) << c.start;
    }
}

std::vector<std::uint8_t> SampleWmf() {
    media::WmfWriter w;
    w.Record(0x0103, {8});                   // anisotropic
    w.Record(0x020B, {0, 0});                // window origin (y, x)
    w.Record(0x020C, {100, 200});            // window extent (y, x)
    w.Record(0x02FA, {0, 4, 0, 0x00ff, 0});  // red pen, 4 units
    w.Record(0x02FC, {0, 0xff00, 0, 0});     // green brush
    w.Record(0x012D, {0});
    w.Record(0x012D, {1});
    w.Record(0x041B, {50, 100, 0, 0});      // rectangle: bottom, right, top, left
    w.Record(0x0418, {100, 200, 50, 100});  // ellipse
    w.Record(0x061C, {10, 10, 90, 190, 60, 110});
    w.Record(0x0538, {2, 4, 3, 0, 0, 10, 0, 10, 10, 0, 10, 2, 2, 5, 2, 5, 5});
    w.Record(0x0106, {2});  // winding
    w.Record(0x0324, {3, 0, 0, 50, 0, 25, 40});
    w.Record(0x02FA, {5, 0, 0, 0, 0});  // null pen
    w.Record(0x012D, {2});
    w.Record(0x0325, {2, 0, 0, 10, 10});  // a polyline without a pen draws nothing
    w.Record(0x012D, {0});
    w.Record(0x01F0, {2});
    w.Record(0x0214, {5, 5});
    w.Record(0x0213, {20, 20});
    w.Record(0x0213, {30, 5});
    w.Record(0x0521, {0, 0, 0});  // text is not drawn
    w.Record(0x0521, {0, 0, 0});
    return w.Bytes();
}

TEST(CompilerMetafiles, RecordsBecomePathsInTheUnitFrame) {
    auto bytes = SampleWmf();
    auto d = tarnquill::wmf::ParseWmf(bytes);
    EXPECT_EQ(d.frameWidth, 200);
    EXPECT_EQ(d.frameHeight, 100);
    ASSERT_EQ(d.paths.size(), 6u);  // rectangle, ellipse, round rectangle, poly-polygon, polygon, lines
    const auto& rect = d.paths[0];
    EXPECT_TRUE(rect.filled && rect.stroked);
    EXPECT_EQ(rect.fillRgb, 0x00ff00u);
    EXPECT_EQ(rect.strokeRgb, 0xff0000u);
    EXPECT_DOUBLE_EQ(rect.strokeWidth, 4.0 / 200);
    EXPECT_DOUBLE_EQ(rect.contours[0].segments[1].to.x, 0.5);
    EXPECT_DOUBLE_EQ(rect.contours[0].segments[1].to.y, 0.5);
    EXPECT_TRUE(d.paths[1].contours[0].segments[0].curve);
    EXPECT_EQ(d.paths[3].contours.size(), 2u);
    EXPECT_TRUE(d.paths[3].evenOdd);
    EXPECT_FALSE(d.paths[4].evenOdd);
    const auto& lines = d.paths[5];  // two LineTo records joined into one open contour
    EXPECT_FALSE(lines.filled);
    ASSERT_EQ(lines.contours.size(), 1u);
    EXPECT_FALSE(lines.contours[0].closed);
    EXPECT_EQ(lines.contours[0].segments.size(), 2u);
    ASSERT_EQ(d.warnings.size(), 1u);
    EXPECT_NE(d.warnings[0].find("TextOut"), std::string::npos);
    EXPECT_NE(d.warnings[0].find("2 times"), std::string::npos);

    // Metric mapping modes count y upwards: the frame comes from the placeable bounds.
    media::WmfWriter up;
    up.Record(0x0103, {2});
    up.Record(0x041B, {100, 200, 50, 0});
    auto flipped = tarnquill::wmf::ParseWmf(up.Bytes(true, 200, 100));
    ASSERT_EQ(flipped.paths.size(), 1u);
    EXPECT_DOUBLE_EQ(flipped.paths[0].contours[0].start.y, 0.5);
    EXPECT_DOUBLE_EQ(flipped.paths[0].contours[0].segments[1].to.y, 0.0);
}

TEST(CompilerMetafiles, SpriteOfAShapeScaledToItsSize) {
    CScratchFolder dir;
    media::Write(dir / "p.wmf", SampleWmf());
    auto result = Compile(Movie("<sprite id=\"w\" src=\"p.wmf\" width=\"300\" height=\"150\" name=\"pic\"/>",
                                "<frame index=\"0\"><show id=\"a\" objectId=\"w\"/></frame>"),
                          dir);
    auto m = swftest::Read(result.swf);
    const auto* shape = First(m.tags, 32);
    const auto* sprite = First(m.tags, 39);
    ASSERT_TRUE(shape && sprite);
    swftest::Bits b(shape->body);
    b.U16();
    int n = b.U(5);
    int x0 = b.S(n), x1 = b.S(n), y0 = b.S(n), y1 = b.S(n);
    EXPECT_LE(x0, 0);
    EXPECT_GE(x1, 6000);
    EXPECT_LE(y0, 0);
    EXPECT_GE(y1, 3000);
    EXPECT_LE(x1, 6000 + 61);  // half the widest pen (4 of 200 units: 6 px) beyond the frame
    EXPECT_EQ(swftest::ReadPlace(sprite->children[0]).character, swftest::DefinedId(*shape));
    EXPECT_EQ(swftest::ReadPlace(*First(m.tags, 26)).name, "pic");
    EXPECT_EQ(result.warnings.size(), 1u);
}

TEST(CompilerMetafiles, DamagedMetafilesAndMissingSizesFail) {
    CScratchFolder dir;
    auto good = SampleWmf();
    auto cut = good;
    cut.resize(cut.size() - 20);
    media::Write(dir / "cut.wmf", cut);
    media::WmfWriter ghost;
    ghost.Record(0x012D, {7});
    media::Write(dir / "ghost.wmf", ghost.Bytes());
    media::WmfWriter shortPolygon;
    shortPolygon.Record(0x0324, {50, 0, 0});
    media::Write(dir / "poly.wmf", shortPolygon.Bytes());
    media::Write(dir / "good.wmf", good);
    media::Write(dir / "other.wmf", {'G', 'I', 'F', '8', '9', 'a'});
    struct Case {
        std::string sprite, expected;
    } cases[] = {
        {"src=\"cut.wmf\" width=\"10\" height=\"10\"", "bad size"},
        {"src=\"ghost.wmf\" width=\"10\" height=\"10\"", "object 7 does not exist"},
        {"src=\"poly.wmf\" width=\"10\" height=\"10\"", "cut short"},
        {"src=\"good.wmf\" width=\"10\"", "width and height"},
        {"src=\"other.wmf\" width=\"10\" height=\"10\"", "neither a SWF movie nor a Windows metafile"},
    };
    for (const auto& c : cases) {
        try {
            Compile(Movie("<sprite id=\"w\" " + c.sprite + "/>", ""), dir);
            ADD_FAILURE() << c.sprite;
        } catch (const tarnquill::CompileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
            EXPECT_EQ(e.Element(), "sprite");
        }
    }
}

// A movie of our own to import: a bitmap-filled picture, a shape, a button, a sprite
// with an action and a frame label.
std::vector<std::uint8_t> MovieToImport(bool compressed) {
    tarnquill::CompileOptions options;
    options.baseFolder = kData;
    std::string xml =
        "<movie width=\"100\" height=\"80\" compressed=\"" + std::string(compressed ? "1" : "0") +
        "\"><styles><solidFillStyle id=\"s\" color=\"#112233\"/></styles><objects>"
        "<image id=\"i\" src=\"red40x30.png\"/><rectangle id=\"r\" width=\"10\" height=\"10\" fillStyle=\"s\"/>"
        "<button id=\"b\" up=\"r\" over=\"i\" down=\"r\" hit=\"r\"><actionStop/></button>"
        "<sprite id=\"p\"><layers><layer><frame index=\"0\"><show id=\"x\" objectId=\"i\"/></frame>"
        "<frame index=\"1\"><actions><actionStop/></actions></frame></layer></layers></sprite>"
        "</objects><layers><layer><frame index=\"0\" label=\"start\"><show id=\"a\" objectId=\"b\"/>"
        "<show id=\"c\" objectId=\"p\"/></frame><frame index=\"2\"><hide "
        "showId=\"a\"/></frame></layer></layers></movie>";
    return tarnquill::CompileText(xml, options).swf;
}

TEST(CompilerImport, DefinitionsRenumberedFramesAndActionsKept) {
    for (bool compressed : {false, true}) {
        CScratchFolder dir;
        auto inner = MovieToImport(compressed);
        media::Write(dir / "inner.swf", inner);
        auto original = swftest::Read(inner);
        for (int lockroot : {1, 0}) {
            // Our own definitions come first so that the imported ids must move.
            auto result = Compile(
                Movie("<oval id=\"o\" width=\"5\" height=\"5\"/><sprite id=\"m\" src=\"inner.swf\" lockroot=\"" +
                          std::to_string(lockroot) + "\"/>",
                      "<frame index=\"0\"><show id=\"a\" objectId=\"o\"/><show id=\"b\" objectId=\"m\"/></frame>"),
                dir);
            auto m = swftest::Read(result.swf);
            std::set<int> defined;
            swftest::ExpectDefinedBeforeUse(m.tags, defined);
            int originalDefinitions = 0;
            for (const auto& t : original.tags) originalDefinitions += swftest::DefinedId(t) != 0;
            EXPECT_EQ(static_cast<int>(defined.size()), originalDefinitions + 2);  // the oval and the sprite
            const swftest::Tag* sprite = nullptr;
            for (const auto& t : m.tags)
                if (t.code == 39) sprite = &t;  // the last one: the import
            ASSERT_NE(sprite, nullptr);
            EXPECT_EQ(sprite->body[2] | (sprite->body[3] << 8), original.frameCount);
            int frames = 0, labels = 0, removes = 0;
            for (const auto& t : sprite->children) {
                frames += t.code == 1;
                labels += t.code == 43;
                removes += t.code == 28;
            }
            EXPECT_EQ(frames, original.frameCount);
            EXPECT_EQ(labels, 1);
            EXPECT_EQ(removes, 1);
            EXPECT_EQ(sprite->children[0].code == 12, lockroot == 1) << "lockroot " << lockroot;
            EXPECT_EQ(First(m.tags, 69), &m.tags[0]);  // one file header of our own
            EXPECT_EQ(All(m.tags, 69).size(), 1u);

            // The picture's bitmap fill follows the bitmap to its new id.
            const auto* bitmap = First(m.tags, 36);
            ASSERT_NE(bitmap, nullptr);
            int bitmapId = swftest::DefinedId(*bitmap);
            bool found = false;
            for (const auto* shape : All(m.tags, 32)) {
                swftest::Bits b(shape->body);
                b.U16();
                b.SkipRect();
                if (b.U8() != 1 || (b.U8() & 0xfc) != 0x40) continue;  // one bitmap fill
                EXPECT_EQ(b.U16(), bitmapId);
                found = true;
            }
            EXPECT_TRUE(found);
        }
    }
}

TEST(CompilerImport, DamagedOrForeignMoviesFailNamingTheFile) {
    CScratchFolder dir;
    auto good = MovieToImport(false);
    auto cut = good;
    cut.resize(cut.size() / 2);
    media::Write(dir / "cut.swf", cut);
    auto v11 = good;
    v11[3] = 11;
    media::Write(dir / "v11.swf", v11);
    auto zws = good;
    zws[0] = 'Z';
    media::Write(dir / "zws.swf", zws);
    auto as3 = good;  // the ActionScript 3 flag set in its FileAttributes
    for (std::size_t i = 8; i + 6 < as3.size(); ++i)
        if ((as3[i] | (as3[i + 1] << 8)) == ((69 << 6) | 4)) {
            as3[i + 2] |= 0x08;
            break;
        }
    media::Write(dir / "as3.swf", as3);
    auto huge = good;
    huge[7] = 0x40;  // claims a gigabyte
    media::Write(dir / "huge.swf", huge);
    auto packed = MovieToImport(true);
    for (std::size_t i = 20; i < packed.size(); i += 7) packed[i] ^= 0x5a;
    media::Write(dir / "corrupt.swf", packed);
    struct Case {
        const char* file;
        const char* expected;
    } cases[] = {
        {"cut.swf", "damaged movie"}, {"v11.swf", "unsupported SWF version 11"},
        {"zws.swf", "LZMA"},          {"as3.swf", "ActionScript 3"},
        {"huge.swf", "too large"},    {"corrupt.swf", "damaged movie"},
    };
    for (const auto& c : cases) {
        try {
            Compile(Movie(std::string("<sprite id=\"m\" src=\"") + c.file + "\"/>",
                          "<frame index=\"0\"><show id=\"a\" objectId=\"m\"/></frame>"),
                    dir);
            ADD_FAILURE() << "compiled " << c.file;
        } catch (const tarnquill::CompileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
    }
}

TEST(CompilerFonts, RejectedFontFilesFailNamingTheFile) {
    CScratchFolder dir;
    media::Write(dir / "junk.ttf", std::vector<std::uint8_t>(300, 0x41));
    std::vector<std::uint8_t> truncated;
    std::string regular = media::SystemFont("DejaVuSans.ttf");
    if (!regular.empty()) {
        truncated = media::Read(regular);
        truncated.resize(2000);
    }
    media::Write(dir / "cut.ttf", truncated);
    for (const char* file : {"junk.ttf", "cut.ttf", "none.ttf"}) {
        try {
            Compile(Movie(std::string("<font id=\"f\" src=\"") + file + "\" chars=\"abc\"/>", ""), dir);
            ADD_FAILURE() << "compiled " << file;
        } catch (const tarnquill::CompileError& e) {
            EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
            EXPECT_EQ(e.Element(), "font");
        }
    }
}

}  // namespace

// The three ways a metafile draws a bitmap, each into the right half of a 200 x 100 window (the
// copying records at the bitmap's own size take a window of the bitmap's size).
TEST(CompilerMetafiles, BitmapRecordsBecomeBitmapFilledRectangles) {
    struct Case {
        const char* name;
        std::uint16_t function;
        std::vector<int> params;
        int windowX, windowY;
        double left, top, right, bottom;
        int width, height;         // the part copied
        std::uint32_t firstPixel;  // 0xRRGGBBAA of its top-left pixel
    };
    const Case cases[] = {
        {"stretched, whole",
         0x0F43,
         {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 100},
         200,
         100,
         0.5,
         0,
         1,
         1,
         2,
         2,
         0xFF0000FF},
        // Source x 1, width 1: only the right column (green over white), in the same box.
        {"stretched, right column",
         0x0F43,
         {0x0020, 0x00CC, 0, 2, 1, 0, 1, 100, 100, 0, 100},
         200,
         100,
         0.5,
         0,
         1,
         1,
         1,
         2,
         0x00FF00FF},
        {"stretched block transfer",
         0x0B41,
         {0x0020, 0x00CC, 2, 2, 0, 0, 100, 100, 0, 100},
         200,
         100,
         0.5,
         0,
         1,
         1,
         2,
         2,
         0xFF0000FF},
        {"rows at their own size", 0x0D33, {0, 2, 0, 0, 0, 2, 2, 0, 2}, 4, 2, 0.5, 0, 1, 1, 2, 2, 0xFF0000FF},
        {"block at its own size", 0x0940, {0x0020, 0x00CC, 0, 0, 2, 2, 0, 2}, 4, 2, 0.5, 0, 1, 1, 2, 2, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        media::WmfWriter w;
        w.Record(0x020B, {0, 0});
        w.Record(0x020C, {c.windowY, c.windowX});
        w.Record(c.function, bctest::Join(c.params, bctest::QuadDibWords<int>()));
        const auto d = tarnquill::wmf::ParseWmf(w.Bytes(false));
        ASSERT_EQ(d.paths.size(), 1u) << c.name;
        ASSERT_EQ(d.bitmaps.size(), 1u) << c.name;
        const auto& path = d.paths[0];
        EXPECT_TRUE(path.filled && !path.stroked) << c.name;
        EXPECT_EQ(path.bitmap, 0) << c.name;
        EXPECT_DOUBLE_EQ(path.bitmapOrigin.x, c.left) << c.name;
        EXPECT_DOUBLE_EQ(path.bitmapOrigin.y, c.top) << c.name;
        EXPECT_DOUBLE_EQ(path.bitmapCorner.x, c.right) << c.name;
        EXPECT_DOUBLE_EQ(path.bitmapCorner.y, c.bottom) << c.name;
        const auto& bitmap = d.bitmaps[0];
        EXPECT_EQ(bitmap.width, c.width) << c.name;
        EXPECT_EQ(bitmap.height, c.height) << c.name;
        ASSERT_GE(bitmap.rgba.size(), 4u) << c.name;
        const std::uint32_t first =
            (std::uint32_t(bitmap.rgba[0]) << 24) | (bitmap.rgba[1] << 16) | (bitmap.rgba[2] << 8) | bitmap.rgba[3];
        EXPECT_EQ(first, c.firstPixel) << c.name;
        EXPECT_TRUE(d.warnings.empty()) << c.name << ": " << (d.warnings.empty() ? "" : d.warnings[0]);
    }

    // A bitmap record cut short is a damaged file; one that copies from the picture itself is
    // left out with a warning; every cut of a good one ends in a clear error or a drawing.
    media::WmfWriter cut;
    cut.Record(0x0F43, {0x0020, 0x00CC, 0, 2, 2});
    EXPECT_THROW(tarnquill::wmf::ParseWmf(cut.Bytes(false)), tarnquill::wmf::WmfError);
    media::WmfWriter itself;
    itself.Record(0x0B41, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 100});
    EXPECT_EQ(tarnquill::wmf::ParseWmf(itself.Bytes(false)).paths.size(), 0u);
    media::WmfWriter good;
    good.Record(0x0F43, bctest::Join({0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 100}, bctest::QuadDibWords<int>()));
    const auto bytes = good.Bytes(false);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        try {
            tarnquill::wmf::ParseWmf(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
        } catch (const tarnquill::wmf::WmfError&) {}
    }
}

// A metafile sprite with a bitmap: the movie holds the bitmap's pixels, and the shape fills a
// rectangle with it.
TEST(CompilerMetafiles, BitmapInAMetafileReachesTheMovie) {
    CScratchFolder dir;
    media::WmfWriter w;
    w.Record(0x020B, {0, 0});
    w.Record(0x020C, {100, 200});
    w.Record(0x0F43, bctest::Join({0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 100}, bctest::QuadDibWords<int>()));
    media::Write(dir / "b.wmf", w.Bytes(false));
    auto result = Compile(Movie("<sprite id=\"w\" src=\"b.wmf\" width=\"200\" height=\"100\"/>",
                                "<frame index=\"0\"><show id=\"a\" objectId=\"w\"/></frame>"),
                          dir);
    auto m = swftest::Read(result.swf);
    const auto* bits = First(m.tags, 36);
    const auto* shape = First(m.tags, 32);
    ASSERT_TRUE(bits && shape);
    const std::uint16_t id = static_cast<std::uint16_t>(bits->body[0] | (bits->body[1] << 8));
    EXPECT_EQ(bits->body[2], 5);  // 32-bit ARGB
    EXPECT_EQ(bits->body[3] | (bits->body[4] << 8), 2);
    EXPECT_EQ(bits->body[5] | (bits->body[6] << 8), 2);
    std::vector<std::uint8_t> argb(16);
    uLongf size = argb.size();
    ASSERT_EQ(uncompress(argb.data(), &size, bits->body.data() + 7, bits->body.size() - 7), Z_OK);
    EXPECT_EQ(argb, (std::vector<std::uint8_t>{255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255}));
    // The shape's fill: a clipped, smoothed bitmap fill of that bitmap.
    const std::vector<std::uint8_t> fill = {0x41, static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)};
    EXPECT_NE(std::search(shape->body.begin(), shape->body.end(), fill.begin(), fill.end()), shape->body.end());
}
