// The font snapshot.

#include "genswf/ppt/PptFont.h"

#include "PptHelpers.h"

#include <cmath>

namespace genswf {

namespace {

void ReadName(PowerPoint::Font* font, HRESULT (PowerPoint::Font::*get)(BSTR*), std::wstring& name) {
    BSTR text = nullptr;
    if ((font->*get)(&text) < 0) {
        SysFreeString(text);
        return;
    }
    name = TakeBstr(text);
}

void ReadState(PowerPoint::Font* font, HRESULT (PowerPoint::Font::*get)(PowerPoint::MsoTriState*),
               PowerPoint::MsoTriState& state) {
    PowerPoint::MsoTriState value = 0;
    if ((font->*get)(&value) >= 0) state = value;
}

// Sub- and superscript are drawn at two thirds of the size, in whole points. A size beyond
// the integers (or not a number) is drawn as it is rather than converted out of range.
float DisplaySize(float size, bool scripted) {
    if (!scripted) return size;
    const double whole = std::trunc(static_cast<double>(size));
    if (!(whole > -2147483648.0 && whole < 2147483648.0)) return size;
    const long long points = static_cast<long long>(whole);
    return static_cast<float>(points * 2 / 3);
}

}  // namespace

CPptFont::CPptFont(PowerPoint::Font* font) : m_pFont(font) {
    if (!m_pFont) return;
    ReadName(m_pFont, &PowerPoint::Font::get_Name, m_name);
    ReadName(m_pFont, &PowerPoint::Font::get_NameAscii, m_nameAscii);
    ReadName(m_pFont, &PowerPoint::Font::get_NameComplexScript, m_nameComplexScript);
    ReadName(m_pFont, &PowerPoint::Font::get_NameFarEast, m_nameFarEast);
    ReadName(m_pFont, &PowerPoint::Font::get_NameOther, m_nameOther);

    ReadState(m_pFont, &PowerPoint::Font::get_Emboss, m_emboss);
    ReadState(m_pFont, &PowerPoint::Font::get_Shadow, m_shadow);
    ReadState(m_pFont, &PowerPoint::Font::get_Bold, m_bold);
    ReadState(m_pFont, &PowerPoint::Font::get_Italic, m_italic);
    ReadState(m_pFont, &PowerPoint::Font::get_Underline, m_underline);
    ReadState(m_pFont, &PowerPoint::Font::get_Subscript, m_subscript);
    ReadState(m_pFont, &PowerPoint::Font::get_Superscript, m_superscript);

    CComPtr<PowerPoint::ColorFormat> color;
    if (m_pFont->get_Color(&color) >= 0 && color) {
        ULONG rgb = 0;
        if (color->get_RGB(&rgb) >= 0) m_color = rgb;
    }

    float size = 0.0f;
    if (m_pFont->get_Size(&size) >= 0) m_size = size;
    m_displaySize = DisplaySize(m_size, m_subscript != 0 || m_superscript != 0);
}

CPptFont::~CPptFont() = default;

std::shared_ptr<CPptFont> CPptFont::Create(PowerPoint::Font* font) { return std::make_shared<CPptFont>(font); }

float CPptFont::GetBaselineOffset() {
    if (!m_baselineOffsetRead) {
        float offset = 0.0f;
        // A font that cannot tell its offset sits on the baseline.
        if (!m_pFont || m_pFont->get_BaselineOffset(&offset) < 0) offset = 0.0f;
        m_baselineOffset = offset;
        m_baselineOffsetRead = true;
    }
    return m_baselineOffset;
}

}  // namespace genswf
