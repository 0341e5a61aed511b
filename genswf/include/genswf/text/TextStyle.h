#pragma once
// The character format of one stretch of text in a movie text field: the font that shows it,
// its size, colour and PowerPoint's character effects.

#include "genswf/fonts/SwfFont.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <string>

namespace genswf {

class CPptFont;

class TextStyle {
public:
    static std::shared_ptr<TextStyle> Create(const std::shared_ptr<SwfFont>& font,
                                             const std::shared_ptr<CPptFont>& pptFont);

    TextStyle(const std::shared_ptr<SwfFont>& font, const std::shared_ptr<CPptFont>& pptFont);
    virtual ~TextStyle();
    TextStyle(const TextStyle&) = delete;
    TextStyle& operator=(const TextStyle&) = delete;

    void SetSize(float points) { m_size = points; }
    float GetSize() const { return m_size; }
    // The size text is measured and written at: two thirds of the whole points for sub- and
    // superscript.
    float GetEffectiveSize();
    // Points.
    float GetTextWidth(const std::wstring& text);
    float GetBaselineOffset() const;
    // "<U>" around the font's markup when underlined.
    std::wstring ToHtml(const std::wstring& text) const;

    const std::shared_ptr<SwfFont>& GetFont() const { return m_font; }
    const std::shared_ptr<CPptFont>& GetPptFont() const { return m_pptFont; }

    bool GetUnderline() const { return m_underline; }
    void SetUnderline(bool on) { m_underline = on; }
    bool GetShadow() const { return m_shadow; }
    void SetShadow(bool on) { m_shadow = on; }
    bool GetEmboss() const { return m_emboss; }
    void SetEmboss(bool on) { m_emboss = on; }
    bool GetSuperscript() const { return m_superscript; }
    void SetSuperscript(bool on) { m_superscript = on; }
    bool GetSubscript() const { return m_subscript; }
    void SetSubscript(bool on) { m_subscript = on; }
    bool GetItalic() const { return m_italic; }
    void SetItalic(bool on) { m_italic = on; }
    bool GetBold() const { return m_bold; }
    void SetBold(bool on) { m_bold = on; }
    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF color) { m_color = color; }

private:
    std::shared_ptr<CPptFont> m_pptFont;
    std::shared_ptr<SwfFont> m_font;
    float m_size = 0.0f;
    float m_effectiveSize = 0.0f;
    bool m_underline = false;
    bool m_shadow = false;
    bool m_emboss = false;
    bool m_superscript = false;
    bool m_subscript = false;
    bool m_italic = false;
    bool m_bold = false;
    COLORREF m_color = 0;
};

}  // namespace genswf
