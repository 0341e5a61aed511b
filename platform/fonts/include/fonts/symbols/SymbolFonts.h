#pragma once
// Symbol faces: fonts whose codes name pictures (bullets, arrows, check marks, Greek letters)
// rather than the letters those codes spell in other fonts. Text and bullets in them are stored
// as codes 0x20-0xFF or 0xF020-0xF0FF. Where the system lacks such a face, a stand-in is made:
// a standalone TrueType font under the face's own name, with a symbol character map at
// 0xF020-0xF0FF whose glyphs are the pictures the codes name, taken from a Unicode font that
// has them. Layout, pictures and the movie's embedded fonts all get their bytes through
// FindSystemFont, so all three show the same glyphs.

#include "fonts/SystemFonts.h"

#include <memory>
#include <string>

namespace fonts::symbols {

// The symbol faces with a code table: Wingdings, Wingdings 2, Wingdings 3, Webdings, Symbol,
// and the dingbats of Monotype Sorts / Zapf Dingbats. Case and surrounding blanks do not matter.
bool IsSymbolFace(const std::wstring& faceName);

// The Unicode character a code of a symbol face shows (0x6C in Wingdings: U+25CF, a black
// circle); 0xF0xx codes are read as their low byte. 0 when the face has no table or the code
// shows nothing. The one map for every user: the stand-in fonts are made from it.
char32_t SymbolToUnicode(const std::wstring& faceName, char32_t code);

// Builds the stand-in font of a symbol face from a donor font with TrueType outlines and a
// Unicode map; null when the face has no table or the donor has none of its pictures or is
// damaged. FindSystemFont answers with it (made once per face) whenever the system has no face
// of the requested symbol face's own name.
std::shared_ptr<const FontFileData> MakeSymbolStandIn(const std::wstring& faceName, const FontFileData& donor);

}  // namespace fonts::symbols
