// The bullet of a paragraph and the text drawn for it.

#include "genswf/ppt/PptBulletFormat.h"

#include "PptHelpers.h"
#include "base/numbering/BulletNumber.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/utils/Utils.h"

#include <cstdint>

namespace genswf {

CPptBulletFormat::CPptBulletFormat(PowerPoint::BulletFormat* bullet)
    : CPptObject<PowerPoint::BulletFormat>(bullet), m_pBullet(bullet) {}

CPptBulletFormat::~CPptBulletFormat() { m_font.reset(); }

PowerPoint::MsoTriState CPptBulletFormat::GetVisible() {
    if (!m_visibleRead) {
        if (!m_pBullet || m_pBullet->get_Visible(&m_visible) < 0) ThrowPptException(__FILE__, 48);
        m_visibleRead = true;
    }
    return m_visible;
}

LONG CPptBulletFormat::GetCharacter() {
    const PowerPoint::PpBulletType type = GetType();
    if (type != PowerPoint::ppBulletUnnumbered && type != PowerPoint::ppBulletPicture) return 32;
    if (!m_characterRead) {
        if (!m_pBullet || m_pBullet->get_Character(&m_character) < 0) ThrowPptException(__FILE__, 77);
        m_characterRead = true;
    }
    return m_character;
}

PowerPoint::MsoTriState CPptBulletFormat::GetUseTextColor() {
    if (!m_useTextColorRead) {
        if (!m_pBullet || m_pBullet->get_UseTextColor(&m_useTextColor) < 0) ThrowPptException(__FILE__, 53);
        m_useTextColorRead = true;
    }
    return m_useTextColor;
}

PowerPoint::MsoTriState CPptBulletFormat::GetUseTextFont() {
    if (!m_useTextFontRead) {
        if (!m_pBullet || m_pBullet->get_UseTextFont(&m_useTextFont) < 0) ThrowPptException(__FILE__, 58);
        m_useTextFontRead = true;
    }
    return m_useTextFont;
}

PowerPoint::Font* CPptBulletFormat::GetFontPtr() {
    return ReadPtrOnce(m_pFont, m_pBullet.Get(), &PowerPoint::BulletFormat::get_Font, __FILE__, 63);
}

std::shared_ptr<CPptFont> CPptBulletFormat::GetFont() {
    if (!m_font) {
        m_font = CPptFont::Create(Adopt(GetFontPtr()));
    }
    return m_font;
}

PowerPoint::PpBulletType CPptBulletFormat::GetType() {
    if (!m_typeRead) {
        if (!m_pBullet || m_pBullet->get_Type(&m_type) < 0) ThrowPptException(__FILE__, 68);
        m_typeRead = true;
    }
    return m_type;
}

PowerPoint::PpNumberedBulletStyle CPptBulletFormat::GetStyle() {
    if (!m_styleRead) {
        if (!m_pBullet || m_pBullet->get_Style(&m_style) < 0) ThrowPptException(__FILE__, 226);
        m_styleRead = true;
    }
    return m_style;
}

LONG CPptBulletFormat::GetNumber() {
    if (!m_numberRead) {
        if (!m_pBullet || m_pBullet->get_Number(&m_number) < 0) ThrowPptException(__FILE__, 218);
        m_numberRead = true;
    }
    return m_number;
}

const std::wstring& CPptBulletFormat::GetBulletText() {
    if (m_bulletTextMade) return m_bulletText;
    const PowerPoint::PpBulletType type = GetType();
    if (type == PowerPoint::ppBulletUnnumbered || type == PowerPoint::ppBulletPicture) {
        // One UTF-16 unit, as the character is stored; symbol-font codes stay as they are.
        m_bulletText.assign(1, static_cast<wchar_t>(static_cast<std::uint16_t>(GetCharacter())));
    } else if (type == PowerPoint::ppBulletNumbered) {
        const LONG number = GetNumber();
        m_bulletText = base::numbering::FormatBulletNumber(GetStyle(), number);
    } else {
        return m_bulletText;
    }
    m_bulletTextMade = true;
    return m_bulletText;
}

std::shared_ptr<CPptBulletFormat> CreatePptBulletFormat(PowerPoint::BulletFormat* bullet) {
    return std::make_shared<CPptBulletFormat>(bullet);
}

}  // namespace genswf
