#pragma once
// The measurements of one face that text layout needs, read once with FreeType from the same
// bytes the movie embeds, then kept immutable (and so shareable between threads).

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace fonts {

class CFontMetrics {
public:
    // Parses standalone font bytes; null with a reason when FreeType cannot read them.
    static std::shared_ptr<const CFontMetrics> FromData(const std::uint8_t* data, std::size_t size,
                                                        std::string* error = nullptr);
    // Stand-in measurements for when the system has no usable face at all, so layout still works.
    static std::shared_ptr<const CFontMetrics> Synthetic();

    int UnitsPerEm() const { return m_unitsPerEm; }
    int Ascender() const { return m_ascender; }    // font units, above the baseline
    int Descender() const { return m_descender; }  // font units, negative below the baseline
    int LineGap() const { return m_lineGap; }      // font units, extra leading between lines
    // (ascender - descender) / units per em: the line height a text piece reports.
    float LineHeightEm() const;
    // (ascender - descender + line gap) / units per em: single line spacing.
    float LineSpacingEm() const;
    float AscentEm() const;
    float DescentEm() const;  // negative for ordinary fonts

    bool HasChar(char32_t code) const;
    // Advance in font units; a character the face lacks advances like its missing-glyph box.
    std::int32_t Advance(char32_t code) const;
    float AdvanceEm(char32_t code) const { return float(Advance(code)) / float(m_unitsPerEm); }

    const std::wstring& FamilyName() const { return m_familyName; }
    bool IsBold() const { return m_bold; }
    bool IsItalic() const { return m_italic; }
    bool HasSymbolCharmap() const { return m_symbol; }
    bool IsSynthetic() const { return m_synthetic; }

private:
    int m_unitsPerEm = 1000;
    int m_ascender = 800;
    int m_descender = -200;
    int m_lineGap = 0;
    std::int32_t m_missingAdvance = 500;
    std::vector<std::int32_t> m_bmp;  // advance per BMP code, -1 when absent
    std::unordered_map<char32_t, std::int32_t> m_astral;
    std::wstring m_familyName;
    bool m_bold = false, m_italic = false, m_symbol = false, m_synthetic = false;
};

// Metrics of the system face for a request, cached per face; never null (a request the system
// cannot answer at all gets a fallback face, at worst the synthetic one).
std::shared_ptr<const CFontMetrics> GetFontMetrics(const std::wstring& faceName, bool bold, bool italic);

}  // namespace fonts
