#include "genswf/text/TextStyle.h"

#include "genswf/ppt/PptFont.h"

namespace genswf {

std::shared_ptr<TextStyle> TextStyle::Create(const std::shared_ptr<SwfFont>& font,
                                             const std::shared_ptr<CPptFont>& pptFont) {
    return std::make_shared<TextStyle>(font, pptFont);
}

TextStyle::TextStyle(const std::shared_ptr<SwfFont>& font, const std::shared_ptr<CPptFont>& pptFont)
    : m_pptFont(pptFont), m_font(font) {
    if (!pptFont) return;
    m_size = pptFont->GetSize();
    m_effectiveSize = m_size;
    m_underline = pptFont->GetUnderline() == -1;
    m_shadow = pptFont->GetShadow() == -1;
    m_emboss = pptFont->GetEmboss() == -1;
    m_superscript = pptFont->GetSuperscript() == -1;
    m_subscript = pptFont->GetSubscript() == -1;
    m_italic = pptFont->GetItalic() == -1;
    m_bold = pptFont->GetBold() == -1;
    m_color = pptFont->GetColor();
}

TextStyle::~TextStyle() = default;

float TextStyle::GetEffectiveSize() {
    m_effectiveSize = m_size;
    // Whole points only; a size no int holds is left as it is rather than overflow.
    if ((m_subscript || m_superscript) && m_size > -1.0e9f && m_size < 1.0e9f)
        m_effectiveSize = float(static_cast<long long>(m_size) * 2 / 3);
    return m_effectiveSize;
}

float TextStyle::GetTextWidth(const std::wstring& text) {
    if (!m_font) return 0.0f;
    return m_font->GetTextWidth(text) * GetEffectiveSize();
}

float TextStyle::GetBaselineOffset() const { return m_pptFont ? m_pptFont->GetBaselineOffset() : 0.0f; }

std::wstring TextStyle::ToHtml(const std::wstring& text) const {
    std::wstring html;
    html.reserve(text.size() + 100);
    if (m_underline) html += L"<U>";
    if (m_font) html += m_font->ToHtml(text);
    if (m_underline) html += L"</U>";
    return html;
}

}  // namespace genswf
