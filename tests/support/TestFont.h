#pragma once
// Small TrueType fonts made in memory, so each test states exactly which characters, metrics,
// styles and character maps its font has.

#include <cstdint>
#include <string>
#include <vector>

namespace fontstest {

struct TestGlyph {
    std::uint32_t code = 0;
    int advance = 500;
    // An outline box; all zero gives an empty glyph.
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct TestFontSpec {
    std::string family = "Test Sans";
    bool bold = false;
    bool italic = false;
    bool symbol = false;  // the BMP map is a Windows symbol map (codes given as 0xF0xx)
    int unitsPerEm = 1000;
    int ascender = 800;
    int descender = -200;
    std::vector<TestGlyph> glyphs;
};

std::vector<std::uint8_t> BuildTestFont(const TestFontSpec& spec);

// A plain font with the given characters, each 500 units wide with a 400-unit box.
std::vector<std::uint8_t> SimpleFont(const std::string& family, const std::wstring& chars, bool bold = false,
                                     bool italic = false, bool symbol = false);

}  // namespace fontstest
