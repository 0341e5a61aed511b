#include "fonts/FontMetrics.h"

#include "FontText.h"
#include "base/encodings/TextEncoding.h"
#include "fonts/SystemFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <map>
#include <mutex>
#include <tuple>

namespace fonts {
namespace {

std::mutex g_lock;  // the FreeType library handle and the metrics cache
FT_Library g_library = nullptr;
std::map<std::tuple<std::wstring, bool, bool>, std::shared_ptr<const CFontMetrics>> g_cache;
std::map<std::pair<std::string, int>, std::shared_ptr<const CFontMetrics>> g_byFace;  // per file and face

FT_Library Library() {
    if (!g_library && FT_Init_FreeType(&g_library) != 0) g_library = nullptr;
    return g_library;
}

}  // namespace

float CFontMetrics::LineHeightEm() const { return float(m_ascender - m_descender) / float(m_unitsPerEm); }
float CFontMetrics::LineSpacingEm() const { return float(m_ascender - m_descender + m_lineGap) / float(m_unitsPerEm); }
float CFontMetrics::AscentEm() const { return float(m_ascender) / float(m_unitsPerEm); }
float CFontMetrics::DescentEm() const { return float(m_descender) / float(m_unitsPerEm); }

bool CFontMetrics::HasChar(char32_t code) const {
    if (code < m_bmp.size()) return m_bmp[code] >= 0;
    return m_astral.count(code) != 0;
}

std::int32_t CFontMetrics::Advance(char32_t code) const {
    if (code < m_bmp.size()) {
        std::int32_t a = m_bmp[code];
        return a >= 0 ? a : m_missingAdvance;
    }
    auto found = m_astral.find(code);
    return found != m_astral.end() ? found->second : m_missingAdvance;
}

std::shared_ptr<const CFontMetrics> CFontMetrics::Synthetic() {
    auto m = std::make_shared<CFontMetrics>();
    m->m_synthetic = true;
    m->m_familyName = L"(synthetic)";
    return m;
}

std::shared_ptr<const CFontMetrics> CFontMetrics::FromData(const std::uint8_t* data, std::size_t size,
                                                           std::string* error) {
    std::lock_guard<std::mutex> hold(g_lock);
    FT_Library library = Library();
    if (!library) {
        if (error) *error = "FreeType is not available";
        return nullptr;
    }
    if (!data || size == 0 || size > std::size_t(0x7FFFFFFF)) {
        if (error) *error = "no font data";
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, data, FT_Long(size), 0, &face) != 0 || !face) {
        if (error) *error = "FreeType cannot read the font data";
        return nullptr;
    }
    auto m = std::make_shared<CFontMetrics>();
    // A face without an em size cannot scale anything; such data is refused.
    if (face->units_per_EM == 0) {
        FT_Done_Face(face);
        if (error) *error = "font has no units per em";
        return nullptr;
    }
    m->m_unitsPerEm = face->units_per_EM;
    m->m_ascender = face->ascender;
    m->m_descender = face->descender;
    m->m_lineGap = face->height - (face->ascender - face->descender);
    if (m->m_lineGap < 0) m->m_lineGap = 0;
    m->m_bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    m->m_italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    if (face->family_name) m->m_familyName = base::encodings::WideFromUtf8(face->family_name);

    const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING;
    FT_Fixed advance = 0;
    if (FT_Get_Advance(face, 0, flags, &advance) == 0) m->m_missingAdvance = std::int32_t(advance);
    m->m_bmp.assign(0x10000, -1);
    // The first character map that has a code wins; a symbol map also answers for the low byte
    // of its 0xF0xx codes, as text in symbol fonts is written either way.
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap map = face->charmaps[i];
        if (FT_Set_Charmap(face, map) != 0) continue;
        bool symbol = map->encoding == FT_ENCODING_MS_SYMBOL;
        m->m_symbol = m->m_symbol || symbol;
        FT_UInt glyph = 0;
        FT_ULong code = FT_Get_First_Char(face, &glyph);
        for (std::size_t guard = 0; glyph != 0 && guard < 0x110000; ++guard) {
            if (FT_Get_Advance(face, glyph, flags, &advance) == 0) {
                std::int32_t a = std::int32_t(advance);
                auto put = [&](char32_t c) {
                    if (c < 0x10000) {
                        if (m->m_bmp[c] < 0) m->m_bmp[c] = a;
                    } else if (c <= 0x10FFFF)
                        m->m_astral.emplace(c, a);
                };
                put(char32_t(code));
                if (symbol && code >= 0xF000 && code <= 0xF0FF) put(char32_t(code & 0xFF));
            }
            FT_ULong next = FT_Get_Next_Char(face, code, &glyph);
            if (next <= code) break;
            code = next;
        }
    }
    FT_Done_Face(face);
    return m;
}

std::shared_ptr<const CFontMetrics> GetFontMetrics(const std::wstring& faceName, bool bold, bool italic) {
    auto key = std::make_tuple(LowerCase(TrimBlanks(faceName)), bold, italic);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto found = g_cache.find(key);
        if (found != g_cache.end()) return found->second;
    }
    std::shared_ptr<const CFontMetrics> metrics;
    // The stand-by faces mirror what the movie falls back to when a face gives no data.
    for (const std::wstring& name : {faceName, std::wstring(L"Arial"), std::wstring(L"DejaVu Sans")}) {
        std::shared_ptr<const FontFileData> file = FindSystemFont(name, bold, italic);
        if (!file) continue;
        {
            std::lock_guard<std::mutex> hold(g_lock);
            auto found = g_byFace.find(std::make_pair(file->sourcePath, file->faceIndex));
            if (found != g_byFace.end()) {
                metrics = found->second;
                break;
            }
        }
        metrics = CFontMetrics::FromData(file->bytes.data(), file->bytes.size());
        if (metrics) {
            std::lock_guard<std::mutex> hold(g_lock);
            g_byFace[std::make_pair(file->sourcePath, file->faceIndex)] = metrics;
            break;
        }
    }
    if (!metrics) metrics = CFontMetrics::Synthetic();
    std::lock_guard<std::mutex> hold(g_lock);
    return g_cache.emplace(key, metrics).first->second;
}

}  // namespace fonts
