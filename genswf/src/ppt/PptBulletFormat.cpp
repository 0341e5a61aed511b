// The bullet of a paragraph and the text drawn for it.

#include "PptBulletFormat.h"

#include "PptFont.h"
#include "PptHelpers.h"
#include "Utils.h"

#include <algorithm>
#include <cstdint>

namespace genswf {

namespace {

// Letters of an alphabetic number repeat once per round of the alphabet; past this many the
// text would only grow, so longer runs are cut here (numbers up to 106496 are exact).
constexpr LONG kMaxAlphabeticRepeat = 4096;

// Every form writes the number, then ".", then ")", then puts "(" in front.
std::wstring Decorate(std::wstring number, bool parenLeft, bool parenRight, bool period)
{
    if (period)
        number += L'.';
    if (parenRight)
        number += L')';
    if (parenLeft)
        number.insert(number.begin(), L'(');
    return number;
}

std::wstring FormatRomanNumber(LONG number, bool parenLeft, bool parenRight, bool period, bool lowerCase)
{
    std::wstring text = Decorate(ToRomanNumeral(number), parenLeft, parenRight, period);
    return lowerCase ? ToLowerCase(text) : text;
}

std::wstring FormatArabicNumber(LONG number, bool parenLeft, bool parenRight, bool period)
{
    return Decorate(std::to_wstring(number), parenLeft, parenRight, period);
}

// 1 is A, 26 is Z, 27 is AA, 28 is BB. Numbers below 1 have no letters.
std::wstring FormatAlphabeticNumber(LONG number, bool parenLeft, bool parenRight, bool period, bool lowerCase)
{
    std::wstring letters;
    if (number >= 1) {
        const LONG k = number - 1;
        const LONG repeat = std::min<LONG>(k / 26 + 1, kMaxAlphabeticRepeat);
        letters.assign(static_cast<std::size_t>(repeat), static_cast<wchar_t>((lowerCase ? L'a' : L'A') + k % 26));
    }
    return Decorate(letters, parenLeft, parenRight, period);
}

enum class Form { Alphabetic, Arabic, Roman };

struct NumberingScheme {
    Form form;
    bool parenLeft;
    bool parenRight;
    bool period;
    bool lowerCase;
};

// By numbered-bullet style; styles 16 to 29 are the other scripts' schemes, written with
// western digits.
constexpr NumberingScheme kSchemes[30] = {
    {Form::Alphabetic, false, false, true, true},   // 0  a.
    {Form::Alphabetic, false, false, true, false},  // 1  A.
    {Form::Arabic, false, true, false, false},      // 2  1)
    {Form::Arabic, false, false, true, false},      // 3  1.
    {Form::Roman, true, true, false, true},         // 4  (i)
    {Form::Roman, false, true, false, true},        // 5  i)
    {Form::Roman, false, false, true, true},        // 6  i.
    {Form::Roman, false, false, true, false},       // 7  I.
    {Form::Alphabetic, true, true, false, true},    // 8  (a)
    {Form::Alphabetic, false, true, false, true},   // 9  a)
    {Form::Alphabetic, true, true, false, false},   // 10 (A)
    {Form::Alphabetic, false, true, false, false},  // 11 A)
    {Form::Arabic, true, true, false, false},       // 12 (1)
    {Form::Arabic, false, false, false, false},     // 13 1
    {Form::Roman, true, true, false, false},        // 14 (I)
    {Form::Roman, false, true, false, false},       // 15 I)
    {Form::Arabic, false, false, false, false},     // 16
    {Form::Arabic, false, false, true, false},      // 17
    {Form::Arabic, false, false, false, false},     // 18
    {Form::Arabic, false, false, false, false},     // 19
    {Form::Arabic, false, false, false, false},     // 20
    {Form::Arabic, false, false, false, false},     // 21
    {Form::Arabic, false, false, true, false},      // 22
    {Form::Arabic, false, false, false, false},     // 23
    {Form::Arabic, false, false, false, false},     // 24
    {Form::Arabic, false, false, false, false},     // 25
    {Form::Arabic, false, false, false, false},     // 26
    {Form::Arabic, false, false, true, false},      // 27
    {Form::Arabic, false, false, false, false},     // 28
    {Form::Arabic, false, false, true, false},      // 29
};

std::wstring FormatBulletNumber(PowerPoint::PpNumberedBulletStyle style, LONG number)
{
    if (style < 0 || style >= 30)
        return std::wstring();
    const NumberingScheme& s = kSchemes[style];
    switch (s.form) {
    case Form::Alphabetic:
        return FormatAlphabeticNumber(number, s.parenLeft, s.parenRight, s.period, s.lowerCase);
    case Form::Roman:
        return FormatRomanNumber(number, s.parenLeft, s.parenRight, s.period, s.lowerCase);
    case Form::Arabic:
        break;
    }
    return FormatArabicNumber(number, s.parenLeft, s.parenRight, s.period);
}

} // namespace

CPptBulletFormat::CPptBulletFormat(PowerPoint::BulletFormat* bullet)
    : CPptObject<PowerPoint::BulletFormat>(bullet), m_pBullet(AddRefCopy(bullet))
{
}

CPptBulletFormat::~CPptBulletFormat()
{
    m_font.reset();
    SafeRelease(m_pFont);
    SafeRelease(m_pBullet);
}

PowerPoint::MsoTriState CPptBulletFormat::GetVisible()
{
    if (!m_visibleRead) {
        if (!m_pBullet || m_pBullet->get_Visible(&m_visible) < 0)
            ThrowPptException(__FILE__, 48);
        m_visibleRead = true;
    }
    return m_visible;
}

LONG CPptBulletFormat::GetCharacter()
{
    const PowerPoint::PpBulletType type = GetType();
    if (type != PowerPoint::ppBulletUnnumbered && type != PowerPoint::ppBulletPicture)
        return 32;
    if (!m_characterRead) {
        if (!m_pBullet || m_pBullet->get_Character(&m_character) < 0)
            ThrowPptException(__FILE__, 77);
        m_characterRead = true;
    }
    return m_character;
}

PowerPoint::MsoTriState CPptBulletFormat::GetUseTextColor()
{
    if (!m_useTextColorRead) {
        if (!m_pBullet || m_pBullet->get_UseTextColor(&m_useTextColor) < 0)
            ThrowPptException(__FILE__, 53);
        m_useTextColorRead = true;
    }
    return m_useTextColor;
}

PowerPoint::MsoTriState CPptBulletFormat::GetUseTextFont()
{
    if (!m_useTextFontRead) {
        if (!m_pBullet || m_pBullet->get_UseTextFont(&m_useTextFont) < 0)
            ThrowPptException(__FILE__, 58);
        m_useTextFontRead = true;
    }
    return m_useTextFont;
}

PowerPoint::Font* CPptBulletFormat::GetFontPtr()
{
    if (!m_pFont) {
        if (!m_pBullet || m_pBullet->get_Font(&m_pFont) < 0 || !m_pFont) {
            SafeRelease(m_pFont);
            ThrowPptException(__FILE__, 63);
        }
    }
    return AddRefCopy(m_pFont);
}

std::shared_ptr<CPptFont> CPptBulletFormat::GetFont()
{
    if (!m_font) {
        PowerPoint::Font* font = GetFontPtr();
        m_font = CPptFont::Create(font);
        font->Release();
    }
    return m_font;
}

PowerPoint::PpBulletType CPptBulletFormat::GetType()
{
    if (!m_typeRead) {
        if (!m_pBullet || m_pBullet->get_Type(&m_type) < 0)
            ThrowPptException(__FILE__, 68);
        m_typeRead = true;
    }
    return m_type;
}

PowerPoint::PpNumberedBulletStyle CPptBulletFormat::GetStyle()
{
    if (!m_styleRead) {
        if (!m_pBullet || m_pBullet->get_Style(&m_style) < 0)
            ThrowPptException(__FILE__, 226);
        m_styleRead = true;
    }
    return m_style;
}

LONG CPptBulletFormat::GetNumber()
{
    if (!m_numberRead) {
        if (!m_pBullet || m_pBullet->get_Number(&m_number) < 0)
            ThrowPptException(__FILE__, 218);
        m_numberRead = true;
    }
    return m_number;
}

const std::wstring& CPptBulletFormat::GetBulletText()
{
    if (m_bulletTextMade)
        return m_bulletText;
    const PowerPoint::PpBulletType type = GetType();
    if (type == PowerPoint::ppBulletUnnumbered || type == PowerPoint::ppBulletPicture) {
        // One UTF-16 unit, as the character is stored; symbol-font codes stay as they are.
        m_bulletText.assign(1, static_cast<wchar_t>(static_cast<std::uint16_t>(GetCharacter())));
    } else if (type == PowerPoint::ppBulletNumbered) {
        const LONG number = GetNumber();
        m_bulletText = FormatBulletNumber(GetStyle(), number);
    } else {
        return m_bulletText;
    }
    m_bulletTextMade = true;
    return m_bulletText;
}

std::shared_ptr<CPptBulletFormat> CreatePptBulletFormat(PowerPoint::BulletFormat* bullet)
{
    return std::make_shared<CPptBulletFormat>(bullet);
}

} // namespace genswf
