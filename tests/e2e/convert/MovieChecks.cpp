#include "MovieChecks.h"

#include "E2eSupport.h"
#include "genswf/utils/Utils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>

namespace e2e {
namespace {

// Tags that define a character, whose body starts with its id.
bool Defines(int code) {
    static const std::set<int> kDefinitions = {
        2, 6, 7, 10, 11, 14, 20, 21, 22, 32, 33, 34, 35, 36, 37, 39, 46, 48, 60, 75, 83, 84, 90,
    };
    return kDefinitions.count(code) != 0;
}

int Id(const swftest::Tag& tag) { return tag.body.size() >= 2 ? tag.body[0] | (tag.body[1] << 8) : 0; }

struct Font {
    std::string name;
    int glyphs = 0;
};

struct Seen {
    std::set<int> defined;
    std::map<int, Font> fonts;
    std::set<int> sprites;
};

// The characters a button shows in its states.
std::vector<int> ButtonCharacters(const swftest::Tag& tag) {
    std::vector<int> ids;
    swftest::Bits bits(tag.body, 2);
    if (tag.code == 34) {
        bits.U8();   // track as menu
        bits.U16();  // offset of the actions
    }
    for (;;) {
        const int flags = bits.U8();
        if (flags == 0) break;
        ids.push_back(bits.U16());
        bits.U16();  // depth
        bits.SkipMatrix();
        if (tag.code == 34) bits.SkipColor();
        if (flags & 0x30) throw std::runtime_error("button record with filters or blend mode");
    }
    return ids;
}

Font ReadFont(const swftest::Tag& tag) {
    Font font;
    if (tag.code == 10) {
        // DefineFont: the offset table's first entry tells the glyph count.
        font.glyphs = tag.body.size() >= 4 ? (tag.body[2] | (tag.body[3] << 8)) / 2 : 0;
        return font;
    }
    swftest::Bits bits(tag.body, 2);
    bits.U8();  // flags
    bits.U8();  // language
    const int length = bits.U8();
    for (int i = 0; i < length; ++i) font.name += static_cast<char>(bits.U8());
    while (!font.name.empty() && font.name.back() == '\0') font.name.pop_back();
    font.glyphs = bits.U16();
    return font;
}

// A text field: its font is one of the movie's embedded fonts, with outlines, and every face its
// markup names is embedded too.
void ExpectEmbeddedFont(const swftest::Tag& tag, const Seen& seen) {
    const int id = Id(tag);
    swftest::Bits bits(tag.body, 2);
    bits.SkipRect();
    const int first = bits.U8(), second = bits.U8();
    const bool hasText = first & 0x80, hasColor = first & 0x04, hasMaxLength = first & 0x02, hasFont = first & 0x01;
    const bool hasFontClass = second & 0x80, hasLayout = second & 0x20, html = second & 0x02, outlines = second & 0x01;
    ASSERT_TRUE(hasFont && !hasFontClass) << "text field " << id << " names no font";
    const int fontId = bits.U16();
    bits.U16();  // height
    const auto font = seen.fonts.find(fontId);
    ASSERT_NE(font, seen.fonts.end()) << "text field " << id << " names font " << fontId << ", not embedded before";
    EXPECT_TRUE(outlines) << "text field " << id << " does not draw with the embedded outlines";
    if (hasColor) bits.U32();
    if (hasMaxLength) bits.U16();
    if (hasLayout) {
        bits.U8();
        for (int i = 0; i < 4; ++i) bits.U16();
    }
    bits.Str();  // variable name
    if (!hasText || !html) return;
    const std::string text = bits.Str();
    static const std::regex kFace("face=\"([^\"]*)\"");
    for (std::sregex_iterator m(text.begin(), text.end(), kFace), end; m != end; ++m) {
        const std::string face = (*m)[1];
        bool embedded = false;
        for (const auto& [fid, f] : seen.fonts) embedded = embedded || f.name == face;
        EXPECT_TRUE(embedded) << "text field " << id << " uses face \"" << face << "\", not embedded";
    }
}

void Walk(const std::vector<swftest::Tag>& tags, Seen& seen) {
    for (const swftest::Tag& tag : tags) {
        std::vector<int> used;
        if (tag.code == 4) used.push_back(Id(tag));
        if (tag.code == 26) {
            const swftest::Placement place = swftest::ReadPlace(tag);
            if (place.hasCharacter) used.push_back(place.character);
        }
        if (tag.code == 34 || tag.code == 7) {
            const std::vector<int> shown = ButtonCharacters(tag);
            used.insert(used.end(), shown.begin(), shown.end());
        }
        if (tag.code == 39) Walk(tag.children, seen);
        for (int id : used) EXPECT_TRUE(seen.defined.count(id)) << "character " << id << " used before it is defined";
        if (tag.code == 37) ExpectEmbeddedFont(tag, seen);
        if (!Defines(tag.code)) continue;
        const int id = Id(tag);
        EXPECT_TRUE(seen.defined.insert(id).second) << "character " << id << " defined twice";
        if (tag.code == 10 || tag.code == 48 || tag.code == 75) seen.fonts[id] = ReadFont(tag);
        if (tag.code == 39) seen.sprites.insert(id);
    }
}

}  // namespace

void ExpectSoundMovie(const std::string& path, std::size_t slideCount) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(genswf::ReadWholeFile(genswf::WideFromUtf8(path), bytes)) << path;
    swftest::Movie movie;
    try {
        movie = swftest::Read(bytes);
    } catch (const std::exception& e) {
        FAIL() << "unreadable movie: " << e.what();
    }
    EXPECT_EQ(movie.frameCount, static_cast<int>(slideCount) + 1) << "a frame per slide and the end frame";

    Seen seen;
    try {
        Walk(movie.tags, seen);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "malformed tag: " << e.what();
    }

    // The root timeline: each slide's sprite shown on its own frame, no sprite on two slides.
    std::vector<std::set<int>> frames(1);
    for (const swftest::Tag& tag : movie.tags) {
        if (tag.code == 26) {
            const swftest::Placement place = swftest::ReadPlace(tag);
            if (place.hasCharacter && seen.sprites.count(place.character)) frames.back().insert(place.character);
        }
        if (tag.code == 1) frames.emplace_back();
    }
    frames.pop_back();  // what follows the last frame
    ASSERT_GE(frames.size(), slideCount);
    std::set<int> slideSprites;
    for (std::size_t i = 0; i < slideCount; ++i) {
        EXPECT_FALSE(frames[i].empty()) << "no slide sprite shown on frame " << i;
        for (int id : frames[i]) EXPECT_TRUE(slideSprites.insert(id).second) << "sprite " << id << " shown twice";
    }

    std::string why;
    const int parsedFrames = ParsedFrameCount(path, why);
    if (parsedFrames == -1) {
        std::printf("not checked by the independent parser: %s\n", why.c_str());
        return;
    }
    ASSERT_NE(parsedFrames, -2) << why;
    EXPECT_EQ(parsedFrames, static_cast<int>(slideCount) + 1);
}

}  // namespace e2e
