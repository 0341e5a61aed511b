// The face reader of SwfFont: every character of every character map with its glyph metrics in
// font units, so later questions are map lookups.
#include "genswf/fonts/SwfFont.h"

#include "FreeTypeLibrary.h"
#include "genswf/utils/Utils.h"

#include FT_GLYPH_H
#include FT_OUTLINE_H

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace genswf {
namespace {

bool IsSymbolRange(std::uint32_t code) { return code >= 0xF000 && code <= 0xF0FF; }

// Owner of one FreeType glyph image.
struct GlyphHolder {
    FT_Glyph glyph = nullptr;
    ~GlyphHolder() {
        if (glyph) FT_Done_Glyph(glyph);
    }
};

}  // namespace

CFontFace::CFontFace() : m_library(GetFreeTypeLibrary()) {}

CFontFace::~CFontFace() { Clear(); }

void CFontFace::Clear() {
    // After the library's release at exit the face went with it.
    if (m_face && GetFreeTypeLibrary()) FT_Done_Face(m_face);
    m_face = nullptr;
    m_metrics.clear();
    m_codeIndex.clear();
    m_hasSymbolCharmap = false;
}

bool CFontFace::Load(const std::uint8_t* data, std::size_t size, long faceIndex) {
    Clear();
    m_library = GetFreeTypeLibrary();
    if (!m_library || !data || size == 0 || size > std::size_t(LONG_MAX)) return false;
    FT_Open_Args args{};
    args.flags = FT_OPEN_MEMORY;
    args.memory_base = data;
    args.memory_size = FT_Long(size);
    FT_Face face = nullptr;
    if (FT_Open_Face(m_library, &args, faceIndex, &face) != 0 || !face) return false;
    m_face = face;
    // Every width is a quotient of it.
    if (face->units_per_EM == 0) {
        Clear();
        return false;
    }
    std::vector<bool> seen(0x10000, false);  // the first character map to hold a code gives it
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap charmap = face->charmaps[i];
        if (FT_Set_Charmap(face, charmap) != 0) continue;
        const bool symbol = charmap->encoding == FT_ENCODING_MS_SYMBOL;
        if (symbol) m_hasSymbolCharmap = true;
        FT_UInt glyphIndex = 0;
        FT_ULong code = FT_Get_First_Char(face, &glyphIndex);
        while (glyphIndex != 0) {
            std::uint32_t key = std::uint32_t(code);
            if (symbol && IsSymbolRange(key)) key &= 0xFF;
            // Text reaches fonts as 16-bit units: a code beyond them would pose as another one.
            if (key <= 0xFFFF && !seen[key]) {
                if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) {
                    Clear();
                    return false;
                }
                FT_BBox box{};
                if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
                    // An outline's box is read where it lies in the slot: a glyph copied out of the
                    // slot gives the same unscaled box, at the price of copying every outline.
                    FT_Outline_Get_CBox(&face->glyph->outline, &box);
                } else {
                    GlyphHolder holder;
                    if (FT_Get_Glyph(face->glyph, &holder.glyph) != 0) {
                        Clear();
                        return false;
                    }
                    FT_Glyph_Get_CBox(holder.glyph, FT_GLYPH_BBOX_UNSCALED, &box);
                }
                if (box.xMin > box.xMax) std::swap(box.xMin, box.xMax);
                if (box.yMin > box.yMax) std::swap(box.yMin, box.yMax);
                GlyphMetrics m;
                m.code = std::int32_t(code);
                m.advanceX = std::int32_t(face->glyph->advance.x);
                m.advanceY = std::int32_t(face->glyph->advance.y);
                m.xMin = std::int32_t(box.xMin);
                m.yMin = std::int32_t(box.yMin);
                m.xMax = std::int32_t(box.xMax);
                m.yMax = std::int32_t(box.yMax);
                seen[key] = true;
                m_codeIndex.emplace_back(std::uint16_t(key), std::uint32_t(m_metrics.size()));
                m_metrics.push_back(m);
            }
            code = FT_Get_Next_Char(face, code, &glyphIndex);
        }
    }
    std::sort(m_codeIndex.begin(), m_codeIndex.end());
    return true;
}

std::wstring CFontFace::GetFamilyName() const {
    if (!m_face || !m_face->family_name) return std::wstring();
    return MultiByteToWide(std::string(m_face->family_name), CP_ACP);
}

bool CFontFace::IsBold() const { return m_face && (m_face->style_flags & FT_STYLE_FLAG_BOLD) != 0; }
bool CFontFace::IsItalic() const { return m_face && (m_face->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }
int CFontFace::GetUnitsPerEm() const { return m_face ? m_face->units_per_EM : 0; }
int CFontFace::GetAscender() const { return m_face ? m_face->ascender : 0; }
int CFontFace::GetDescender() const { return m_face ? m_face->descender : 0; }

std::uint32_t CFontFace::Fold(std::uint32_t code) const {
    return m_hasSymbolCharmap && IsSymbolRange(code) ? (code & 0xFF) : code;
}

const GlyphMetrics* CFontFace::Find(std::uint32_t foldedCode) const {
    if (foldedCode > 0xFFFF) return nullptr;
    const auto key = std::uint16_t(foldedCode);
    auto found =
        std::lower_bound(m_codeIndex.begin(), m_codeIndex.end(), key,
                         [](const std::pair<std::uint16_t, std::uint32_t>& e, std::uint16_t k) { return e.first < k; });
    return found == m_codeIndex.end() || found->first != key ? nullptr : &m_metrics[found->second];
}

}  // namespace genswf
