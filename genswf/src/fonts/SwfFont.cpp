// One embedded font: the system face's whole font file, what it can show and how wide it is,
// the characters the movie uses, its file and its "font" element.
#include "genswf/fonts/SwfFont.h"

#include "fonts/SystemFonts.h"
#include "genswf/fonts/FontTable.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

#include <cstdio>
#include <utility>

namespace genswf {
namespace {

FontDataSource& CurrentSource() {
    static FontDataSource source;
    return source;
}

bool GetFaceData(const std::wstring& faceName, bool bold, bool italic, std::vector<std::uint8_t>& data) {
    const FontDataSource& source = CurrentSource();
    if (source) return source(faceName, bold, italic, data);
    return fonts::GetFontData(faceName, bold, italic, data);
}

constexpr std::size_t kBitmapWords = 65536 / 32;

}  // namespace

FontDataSource SetFontDataSource(FontDataSource source) {
    FontDataSource previous = std::move(CurrentSource());
    CurrentSource() = std::move(source);
    return previous;
}

std::shared_ptr<SwfFont> SwfFont::Create(CMovie* movie, const std::wstring& faceName, bool bold, bool italic,
                                         int kind) {
    auto font = std::make_shared<SwfFont>(movie, faceName, bold, italic, kind);
    if (!font->IsValid()) return nullptr;
    return font;
}

std::wstring SwfFont::GetStandByFace(int kind, const std::wstring& requested) {
    switch (kind) {
    case kFontKindNone:
    case kFontKindText:
        return L"Arial";
    case kFontKindPicture:
        return L"Wingdings";
    case kFontKindSymbol:
        return L"Symbol";
    default:
        return requested;
    }
}

SwfFont::SwfFont(CMovie* movie, const std::wstring& faceName, bool bold, bool italic, int kind)
    : m_movie(movie), m_face(new CFontFace), m_usedBitmap(kBitmapWords, 0u) {
    if (m_movie) m_id = m_movie->NewFontId();
    m_usedChars.reserve(1024);
    if (TryFace(faceName, bold, italic, kind)) return;
    m_fallbackKind = kind;
    m_isFallback = true;
    TryFace(GetStandByFace(kind, faceName), bold, italic, kind);
}

SwfFont::~SwfFont() {
    // The face reads from the font data; let it go first.
    m_face->Clear();
}

bool SwfFont::TryFace(const std::wstring& faceName, bool bold, bool italic, int kind) {
    m_face->Clear();
    m_valid = false;
    std::vector<std::uint8_t> data;
    if (!GetFaceData(faceName, bold, italic, data) || data.empty()) return false;
    m_fontData.swap(data);
    if (!m_face->Load(m_fontData.data(), m_fontData.size(), 0)) return false;
    m_bold = m_face->IsBold();
    m_italic = m_face->IsItalic();
    m_unitsPerEm = m_face->GetUnitsPerEm();
    m_ascender = m_face->GetAscender();
    m_descender = m_face->GetDescender();
    m_height = m_ascender - m_descender;
    m_ascent = float(m_ascender) / float(m_unitsPerEm);
    m_descent = float(m_descender) / float(m_unitsPerEm);
    m_lineHeight = float(m_height) / float(m_unitsPerEm);
    m_familyName = m_face->GetFamilyName();
    m_lowerCaseFamilyName = ToLowerCase(m_familyName);
    m_valid = kind != kFontKindSymbol || m_face->HasSymbolCharmap();
    return m_valid;
}

bool SwfFont::HasChar(std::uint32_t code) const { return m_face->Find(m_face->Fold(code)) != nullptr; }

void SwfFont::AddChar(std::uint32_t code) {
    const std::uint32_t folded = m_face->Fold(code);
    // The bitmap has one bit per 16-bit code; nothing wider is ever embedded.
    if (folded > 0xFFFF) return;
    std::uint32_t& word = m_usedBitmap[folded >> 5];
    const std::uint32_t bit = 1u << (folded & 31);
    if (word & bit) return;
    word |= bit;
    m_usedChars.push_back(std::uint16_t(folded));
}

std::wstring SwfFont::GetUsedChars() const { return std::wstring(m_usedChars.begin(), m_usedChars.end()); }

bool SwfFont::IsSameFace(const SwfFont& other) const {
    return m_lowerCaseFamilyName == other.m_lowerCaseFamilyName && m_bold == other.m_bold && m_italic == other.m_italic;
}

float SwfFont::GetTextWidth(const std::wstring& text) const {
    if (m_unitsPerEm <= 0) return 0.0f;
    const float unitsPerEm = float(m_unitsPerEm);
    float width = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const GlyphMetrics* m = m_face->Find(m_face->Fold(std::uint32_t(text[i])));
        if (!m) continue;
        float advance = float(m->advanceX) / unitsPerEm;
        // The last glyph may reach past its advance; the text is as wide as its ink.
        if (i + 1 == text.size()) {
            const float box = float(m->xMax - m->xMin) / unitsPerEm;
            if (box > advance) advance = box;
        }
        width += advance;
    }
    return width;
}

std::wstring SwfFont::ToHtml(const std::wstring& text) const {
    std::wstring html;
    html.reserve(text.size() + 100);
    if (m_bold) html += L"<B>";
    if (m_italic) html += L"<I>";
    for (wchar_t c : text) {
        const std::uint32_t folded = m_face->Fold(std::uint32_t(c));
        if (folded < 0x20) continue;
        switch (folded) {
        case 0x22:
            html += L"&quot;";
            break;
        case 0x26:
            html += L"&amp;";
            break;
        case 0x3C:
            html += L"&lt;";
            break;
        case 0x3E:
            html += L"&gt;";
            break;
        default:
            html += wchar_t(folded);
            break;
        }
    }
    if (m_italic) html += L"</I>";
    if (m_bold) html += L"</B>";
    return html;
}

void SwfFont::SaveFontFile(const std::wstring& folder) {
    m_fileName = IncludeTrailingBackslash(folder) + m_id + L".ttf";
    m_fileSaved = false;
    {
        CFileHandle file;
        if (file.Create(m_fileName, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL) &&
            (m_fontData.empty() || file.Write(m_fontData.data(), m_fontData.size()))) {
            m_fileSaved = true;
            return;
        }
        if (file.IsValid()) {
            file.Close();
            // No half-written font is left for the compiler to find.
            std::remove(NativePath(m_fileName).c_str());
        }
    }
    throw CBaseException(2, LocatedMessage(L"Cannot save font file " + m_fileName, __FILE__, __LINE__));
}

void SwfFont::WriteXml(const XmlNodePtr& parent) {
    XmlElementPtr element = m_movie->WriteFont(parent, m_id, m_fileName);
    m_movie->SetElementAttribute(element, L"name", m_id);
    m_movie->SetElementAttribute(element, L"chars", GetUsedChars());
}

}  // namespace genswf
