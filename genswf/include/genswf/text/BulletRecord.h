#pragma once
// A paragraph's bullet read once from PowerPoint and kept as plain values: whether it shows,
// its type, fonts, colour, character and the text drawn for it.

#include "genswf/ppt/Ppt.h"
#include "genswf/utils/Utils.h"

#include <string>

namespace genswf {

class CMovie;

class CBulletRecord : public CRefCounted {
public:
    // paragraphText: the paragraph's text range (its first character gives the text font; may
    // be null). Both interfaces are AddRef'ed as needed. Failing reads count as 0: a bullet
    // whose reads fail is simply not there.
    CBulletRecord(CMovie* movie, PowerPoint::TextRange* paragraphText, PowerPoint::BulletFormat* bulletFormat);
    ~CBulletRecord() override;
    CBulletRecord(const CBulletRecord&) = delete;
    CBulletRecord& operator=(const CBulletRecord&) = delete;

    // 0 when the bullet is not visible.
    PowerPoint::PpBulletType GetType() const { return m_type; }
    bool IsVisible() const { return m_visible; }
    bool GetUseTextColor() const { return m_useTextColor; }
    bool GetUseTextFont() const { return m_useTextFont; }
    // The font the bullet is drawn in (the text font when the bullet uses it); not AddRef'ed.
    PowerPoint::Font* GetBulletFont() const { return m_bulletFont; }
    PowerPoint::Font* GetTextFont() const { return m_textFont; }
    COLORREF GetColor() const { return m_color; }
    wchar_t GetCharacter() const { return m_character; }
    // The bullet's size against its font's (RelativeSize); 1 when it cannot be read.
    float GetRelativeSize() const { return m_relativeSize; }
    const std::wstring& GetText() const { return m_text; }
    CMovie* GetMovie() const { return m_movie; }

private:
    void Read(PowerPoint::TextRange* paragraphText);

    PowerPoint::PpBulletType m_type = 0;
    PowerPoint::Font* m_bulletFont = nullptr;
    PowerPoint::Font* m_textFont = nullptr;
    bool m_visible = false;
    bool m_useTextColor = false;
    bool m_useTextFont = false;
    COLORREF m_color = 0;
    wchar_t m_character = 0;
    float m_relativeSize = 1.0f;
    std::wstring m_text;
    CMovie* m_movie;
    PowerPoint::BulletFormat* m_bulletFormat;
};

// PowerPoint draws no bullet before a paragraph that holds nothing but its mark.
inline bool ParagraphShowsBullet(const std::wstring& paragraphText) {
    return paragraphText.find_first_not_of(L'\r') != std::wstring::npos;
}

CRefPtr<CBulletRecord> CreateBulletRecord(CMovie* movie, PowerPoint::TextRange* paragraphText,
                                          PowerPoint::BulletFormat* bulletFormat);

}  // namespace genswf
