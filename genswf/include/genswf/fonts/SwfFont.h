#pragma once
// One font the movie embeds: the whole font file of a system face, its character maps and glyph
// metrics (read once with FreeType), and the characters the movie uses from it.

#include "genswf/movie/MovieTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FT_FaceRec_;
struct FT_LibraryRec_;

namespace genswf {

class CMovie;

// Font units of one character as its character map gave it.
struct GlyphMetrics {
    std::int32_t code = 0;  // as the character map reported it (before folding)
    std::int32_t advanceX = 0;
    std::int32_t advanceY = 0;
    std::int32_t xMin = 0;
    std::int32_t yMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMax = 0;
};

// The parsed face of one SwfFont.
class CFontFace {
public:
    CFontFace();
    virtual ~CFontFace();
    CFontFace(const CFontFace&) = delete;
    CFontFace& operator=(const CFontFace&) = delete;

    // Parses the font from memory (the data must outlive the face) and indexes every character of
    // every character map; false when FreeType cannot read the font or one of its glyphs.
    bool Load(const std::uint8_t* data, std::size_t size, long faceIndex);
    void Clear();

    std::wstring GetFamilyName() const;  // from the ANSI code page
    bool IsBold() const;
    bool IsItalic() const;
    int GetUnitsPerEm() const;
    int GetAscender() const;
    int GetDescender() const;
    bool HasSymbolCharmap() const { return m_hasSymbolCharmap; }

    // The code as this face looks it up: in a face with a symbol map, 0xF000-0xF0FF keeps only its
    // low byte. Codes beyond 16 bits are no key of any face and come back unchanged.
    std::uint32_t Fold(std::uint32_t code) const;
    // Metrics of a folded code, null when the face has no such character.
    const GlyphMetrics* Find(std::uint32_t foldedCode) const;
    std::size_t GetGlyphCount() const { return m_metrics.size(); }

private:
    std::vector<GlyphMetrics> m_metrics;
    // (code, index into m_metrics), sorted by code; each code once.
    std::vector<std::pair<std::uint16_t, std::uint32_t>> m_codeIndex;
    FT_FaceRec_* m_face = nullptr;
    FT_LibraryRec_* m_library = nullptr;
    bool m_hasSymbolCharmap = false;
};

// Where the font bytes of a face come from: face name, bold, italic -> the whole font file; false
// when the system has no data for the face.
using FontDataSource =
    std::function<bool(const std::wstring& faceName, bool bold, bool italic, std::vector<std::uint8_t>& data)>;
// Replaces the source (an empty one restores the system fonts) and returns the previous one.
FontDataSource SetFontDataSource(FontDataSource source);

class SwfFont {
public:
    // Null when neither the face nor its stand-by gives a font that fits the kind.
    static std::shared_ptr<SwfFont> Create(CMovie* movie, const std::wstring& faceName, bool bold, bool italic,
                                           int kind);

    SwfFont(CMovie* movie, const std::wstring& faceName, bool bold, bool italic, int kind);
    virtual ~SwfFont();
    SwfFont(const SwfFont&) = delete;
    SwfFont& operator=(const SwfFont&) = delete;

    bool HasChar(std::uint32_t code) const;
    void AddChar(std::uint32_t code);
    std::wstring GetUsedChars() const;
    bool IsSameFace(const SwfFont& other) const;
    // Ems: multiply by the point size for points.
    float GetTextWidth(const std::wstring& text) const;
    std::wstring ToHtml(const std::wstring& text) const;
    // Writes the font file as <folder>/<id>.ttf; throws CBaseException (code 2) on failure.
    void SaveFontFile(const std::wstring& folder);
    // "font" with "id", "src", "name", "chars".
    void WriteXml(const XmlNodePtr& parent);

    bool IsValid() const { return m_valid; }
    const std::wstring& GetId() const { return m_id; }
    const std::wstring& GetFileName() const { return m_fileName; }
    const std::wstring& GetFamilyName() const { return m_familyName; }
    const std::wstring& GetLowerCaseFamilyName() const { return m_lowerCaseFamilyName; }
    bool IsBold() const { return m_bold; }
    bool IsItalic() const { return m_italic; }
    int GetUnitsPerEm() const { return m_unitsPerEm; }
    int GetAscender() const { return m_ascender; }
    int GetDescender() const { return m_descender; }
    int GetHeight() const { return m_height; }
    float GetAscent() const { return m_ascent; }
    float GetDescent() const { return m_descent; }
    float GetLineHeight() const { return m_lineHeight; }
    bool IsFallback() const { return m_isFallback; }
    int GetFallbackKind() const { return m_fallbackKind; }
    bool IsFileSaved() const { return m_fileSaved; }
    const std::vector<std::uint8_t>& GetFontData() const { return m_fontData; }
    const CFontFace& GetFace() const { return *m_face; }
    bool HasUsedChars() const { return !m_usedChars.empty(); }

    // The face tried when the requested one gives no usable font.
    static std::wstring GetStandByFace(int kind, const std::wstring& requested);

private:
    // One attempt with one face name; true when the font is valid.
    bool TryFace(const std::wstring& faceName, bool bold, bool italic, int kind);

    CMovie* m_movie;
    std::unique_ptr<CFontFace> m_face;
    bool m_valid = false;
    std::vector<std::uint8_t> m_fontData;
    bool m_bold = false;
    bool m_italic = false;
    int m_unitsPerEm = 0;
    int m_ascender = 0;
    int m_descender = 0;
    int m_height = 0;
    float m_ascent = 0.0f;
    float m_descent = 0.0f;
    float m_lineHeight = 0.0f;
    bool m_fileSaved = false;
    bool m_isFallback = false;
    std::wstring m_familyName;
    std::wstring m_lowerCaseFamilyName;
    std::vector<std::uint16_t> m_usedChars;
    std::vector<std::uint32_t> m_usedBitmap;
    std::wstring m_id;
    std::wstring m_fileName;
    int m_fallbackKind = 0;
};

}  // namespace genswf
