// The bullet of a paragraph of the shape text index, read once.

#include "genswf/text/BulletRecord.h"

#include "base/numbering/BulletNumber.h"
#include "genswf/ppt/PptFont.h"

#include <cstdint>

namespace genswf {

namespace {

template <class T, class I>
T ReadOrZero(I* object, HRESULT (I::*get)(T*)) {
    T value = 0;
    if (!object || (object->*get)(&value) < 0) return 0;
    return value;
}

COLORREF ColorOf(PowerPoint::Font* font) {
    return font ? static_cast<COLORREF>(CPptFont::Create(font)->GetColor()) : 0;
}

}  // namespace

CBulletRecord::CBulletRecord(CMovie* movie, PowerPoint::TextRange* paragraphText,
                             PowerPoint::BulletFormat* bulletFormat)
    : m_movie(movie), m_bulletFormat(bulletFormat) {
    Read(paragraphText);
}

CBulletRecord::~CBulletRecord() = default;

void CBulletRecord::Read(PowerPoint::TextRange* paragraphText) {
    PowerPoint::BulletFormat* bullet = m_bulletFormat;
    m_visible = ReadOrZero(bullet, &PowerPoint::BulletFormat::get_Visible) != 0;
    if (m_visible) {
        m_type = ReadOrZero(bullet, &PowerPoint::BulletFormat::get_Type);
        if (m_type == 0) m_visible = false;
    }
    if (!m_visible) {
        m_type = 0;
        return;
    }

    m_useTextFont = ReadOrZero(bullet, &PowerPoint::BulletFormat::get_UseTextFont) != 0;
    if (bullet->get_Font(&m_bulletFont) < 0) m_bulletFont.Release();
    if (paragraphText && ReadOrZero(paragraphText, &PowerPoint::TextRange::get_Length) != 0) {
        CComPtr<PowerPoint::TextRange> first;
        if (paragraphText->Characters(1, 1, &first) >= 0 && first) {
            if (first->get_Font(&m_textFont) < 0) m_textFont.Release();
        }
    }
    m_useTextColor = ReadOrZero(bullet, &PowerPoint::BulletFormat::get_UseTextColor) != 0;
    float relativeSize = 1.0f;
    if (bullet->get_RelativeSize(&relativeSize) >= 0) m_relativeSize = relativeSize;

    m_color = ColorOf(m_bulletFont);
    // An empty paragraph has no text font to take; its bullet keeps its own font and colour
    // rather than losing both.
    if (m_useTextFont && m_textFont) {
        m_bulletFont = m_textFont;
        if (m_useTextColor) m_color = ColorOf(m_textFont);
    }

    if (m_type == PowerPoint::ppBulletUnnumbered || m_type == PowerPoint::ppBulletPicture) {
        // One UTF-16 unit as stored; symbol-font codes stay as they are.
        m_character = static_cast<wchar_t>(
            static_cast<std::uint16_t>(ReadOrZero(bullet, &PowerPoint::BulletFormat::get_Character)));
        m_text.assign(1, m_character);
    } else if (m_type == PowerPoint::ppBulletNumbered) {
        const LONG style = ReadOrZero(bullet, &PowerPoint::BulletFormat::get_Style);
        const LONG number = ReadOrZero(bullet, &PowerPoint::BulletFormat::get_Number);
        m_text = base::numbering::FormatBulletNumber(style, number);
    }
}

CRefPtr<CBulletRecord> CreateBulletRecord(CMovie* movie, PowerPoint::TextRange* paragraphText,
                                          PowerPoint::BulletFormat* bulletFormat) {
    return CRefPtr<CBulletRecord>(new CBulletRecord(movie, paragraphText, bulletFormat));
}

}  // namespace genswf
