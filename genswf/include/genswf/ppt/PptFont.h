#pragma once
// The font snapshot of a text range or bullet.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

// Everything but the baseline offset is read once, when the snapshot is made; a read that fails
// leaves its value empty or zero, so a font never fails the text that uses it.
class CPptFont {
public:
    explicit CPptFont(PowerPoint::Font* font);
    virtual ~CPptFont();
    CPptFont(const CPptFont&) = delete;
    CPptFont& operator=(const CPptFont&) = delete;

    static std::shared_ptr<CPptFont> Create(PowerPoint::Font* font);

    const std::wstring& GetName() const { return m_name; }
    const std::wstring& GetNameAscii() const { return m_nameAscii; }
    const std::wstring& GetNameComplexScript() const { return m_nameComplexScript; }
    const std::wstring& GetNameFarEast() const { return m_nameFarEast; }
    const std::wstring& GetNameOther() const { return m_nameOther; }
    float GetSize() const { return m_size; }
    // The size the text is drawn at: two thirds (whole points) for sub- and superscript.
    float GetDisplaySize() const { return m_displaySize; }
    // Read on first use; 0 when it cannot be read (not asked again).
    float GetBaselineOffset();
    float GetFloatSlot24() { return GetBaselineOffset(); }
    PowerPoint::MsoTriState GetEmboss() const { return m_emboss; }
    PowerPoint::MsoTriState GetShadow() const { return m_shadow; }
    PowerPoint::MsoTriState GetBold() const { return m_bold; }
    PowerPoint::MsoTriState GetItalic() const { return m_italic; }
    PowerPoint::MsoTriState GetUnderline() const { return m_underline; }
    PowerPoint::MsoTriState GetSubscript() const { return m_subscript; }
    PowerPoint::MsoTriState GetSuperscript() const { return m_superscript; }
    // 0x00BBGGRR.
    ULONG GetColor() const { return m_color; }

private:
    CComPtr<PowerPoint::Font> m_pFont;
    std::wstring m_name;
    std::wstring m_nameAscii;
    std::wstring m_nameComplexScript;
    std::wstring m_nameFarEast;
    std::wstring m_nameOther;
    float m_size = 0.0f;
    float m_displaySize = 0.0f;
    bool m_baselineOffsetRead = false;
    float m_baselineOffset = 0.0f;
    PowerPoint::MsoTriState m_emboss = 0;
    PowerPoint::MsoTriState m_shadow = 0;
    PowerPoint::MsoTriState m_bold = 0;
    PowerPoint::MsoTriState m_italic = 0;
    PowerPoint::MsoTriState m_underline = 0;
    PowerPoint::MsoTriState m_subscript = 0;
    PowerPoint::MsoTriState m_superscript = 0;
    ULONG m_color = 0;
};

}  // namespace genswf
