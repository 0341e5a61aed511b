// Fonts named by "font": outlines of the used characters from a TrueType/OpenType file.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tarnquill {

// Files beyond this are refused before they are read.
constexpr std::uint64_t kMaxFontFileBytes = 64ull * 1024 * 1024;

struct EmbeddedFont {
    std::vector<std::uint8_t> body;  // DefineFont3 body after the character id
    std::string familyName;          // as the file names it
    std::set<char32_t> glyphs;       // characters that have an outline in the tag
    std::u32string missing;          // asked for but not in the file (or not encodable)
};

// Throws InputError naming the file when it cannot be read or FreeType rejects it.
EmbeddedFont BuildFont(const std::string& path, const std::string& name, const std::u32string& chars);

}  // namespace tarnquill
