#pragma once
// The bullet of a paragraph.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

class CPptFont;

class CPptBulletFormat : public CPptObject<PowerPoint::BulletFormat> {
public:
    explicit CPptBulletFormat(PowerPoint::BulletFormat* bullet);
    ~CPptBulletFormat() override;

    PowerPoint::MsoTriState GetVisible();
    // The bullet character; 32 (a space), without asking, unless the bullet is a character or
    // picture bullet.
    LONG GetCharacter();
    PowerPoint::MsoTriState GetUseTextColor();
    PowerPoint::MsoTriState GetUseTextFont();
    // AddRef'ed.
    PowerPoint::Font* GetFontPtr();
    std::shared_ptr<CPptFont> GetFont();
    PowerPoint::PpBulletType GetType();
    PowerPoint::PpNumberedBulletStyle GetStyle();
    LONG GetNumber();
    // The text drawn as the bullet: its character, or its number in the bullet's numbering style
    // (empty for styles without a scheme). Kept once made; bullets of other types give "" and are
    // asked again next time.
    const std::wstring& GetBulletText();

private:
    CComPtr<PowerPoint::BulletFormat> m_pBullet;
    CComPtr<PowerPoint::Font> m_pFont;
    bool m_visibleRead = false;
    PowerPoint::MsoTriState m_visible = 0;
    bool m_useTextColorRead = false;
    PowerPoint::MsoTriState m_useTextColor = 0;
    bool m_useTextFontRead = false;
    PowerPoint::MsoTriState m_useTextFont = 0;
    bool m_typeRead = false;
    PowerPoint::PpBulletType m_type = 0;
    bool m_characterRead = false;
    LONG m_character = 0;
    bool m_bulletTextMade = false;
    std::wstring m_bulletText;
    bool m_numberRead = false;
    LONG m_number = 0;
    bool m_styleRead = false;
    PowerPoint::PpNumberedBulletStyle m_style = 0;
    std::shared_ptr<CPptFont> m_font;
};

std::shared_ptr<CPptBulletFormat> CreatePptBulletFormat(PowerPoint::BulletFormat* bullet);

}  // namespace genswf
