// The bullet record read from a paragraph's BulletFormat.
#include "genswf/movie/Movie.h"
#include "genswf/text/BulletRecord.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <functional>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

// A text box of one paragraph; `set` changes its bullet and text before the record reads them.
struct BulletDeck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape = nullptr;
    std::shared_ptr<CMovie> movie = CMovie::CreateEmpty();

    BulletDeck(const std::wstring& text, const std::function<void(BulletData&, FontData&)>& set) {
        shape = doc->AddSlide()->AddShape(msoTextBox, L"Body", 10, 20, 300, 200);
        shape->data.hasTextFrame = msoTrue;
        FontData font;
        font.color.rgb = 0x0000FF;
        ParagraphData paragraph;
        paragraph.bullet.visible = msoTrue;
        paragraph.bullet.type = ppBulletUnnumbered;
        paragraph.bullet.font.color.rgb = 0x00FF00;
        set(paragraph.bullet, font);
        shape->data.text.AddRun(text, font, paragraph);
        if (text.empty()) shape->data.text.paragraphs.assign(1, paragraph);
    }

    CRefPtr<CBulletRecord> Read() {
        TextFrame* frame = nullptr;
        TextRange* all = nullptr;
        TextRange* first = nullptr;
        ParagraphFormat* format = nullptr;
        BulletFormat* bullet = nullptr;
        EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
        EXPECT_EQ(S_OK, frame->get_TextRange(&all));
        EXPECT_EQ(S_OK, all->Paragraphs(1, 1, &first));
        EXPECT_EQ(S_OK, first->get_ParagraphFormat(&format));
        EXPECT_EQ(S_OK, format->get_Bullet(&bullet));
        auto record = CreateBulletRecord(movie.get(), first, bullet);
        bullet->Release();
        format->Release();
        first->Release();
        all->Release();
        frame->Release();
        return record;
    }

    ULONG References() {
        doc->AddRef();
        return doc->Release();
    }
};

TEST(BulletRecord, TextOfEachKindOfBullet) {
    struct Case {
        const char* name;
        MsoTriState visible;
        PpBulletType type;
        LONG character;
        PpNumberedBulletStyle style;
        LONG start;
        bool visibleAfter;
        PpBulletType typeAfter;
        std::wstring text;
    } cases[] = {
        {"character", msoTrue, ppBulletUnnumbered, 0x2022, 0, 1, true, 1, L"\u2022"},
        {"symbol-font character", msoTrue, ppBulletUnnumbered, 0xF0B7, 0, 1, true, 1, std::wstring(1, wchar_t(0xF0B7))},
        {"picture", msoTrue, ppBulletPicture, L'*', 0, 1, true, 3, L"*"},
        {"numbered roman", msoTrue, ppBulletNumbered, 0, 4, 4, true, 2, L"(iv)"},
        {"numbered without a scheme", msoTrue, ppBulletNumbered, 0, 30, 3, true, 2, L""},
        {"hidden character bullet", msoFalse, ppBulletUnnumbered, 0x2022, 0, 1, false, 0, L""},
        {"visible but of no type", msoTrue, ppBulletNone, 0x2022, 0, 1, false, 0, L""},
    };
    for (const Case& c : cases) {
        BulletDeck deck(L"Item", [&](BulletData& b, FontData&) {
            b.visible = c.visible;
            b.type = c.type;
            b.character = c.character;
            b.style = c.style;
            b.startValue = c.start;
        });
        auto record = deck.Read();
        EXPECT_EQ(c.visibleAfter, record->IsVisible()) << c.name;
        EXPECT_EQ(c.typeAfter, record->GetType()) << c.name;
        EXPECT_EQ(c.text, record->GetText()) << c.name;
        if (!c.visibleAfter) {
            EXPECT_EQ(nullptr, record->GetBulletFont()) << c.name;
            EXPECT_EQ(nullptr, record->GetTextFont()) << c.name;
            EXPECT_EQ(0, deck.doc->Calls("BulletFormat.get_Font")) << c.name;
        }
    }
}

TEST(BulletRecord, FontAndColourFollowTheUseTextFlags) {
    struct Case {
        MsoTriState useTextFont, useTextColor;
        bool bulletFontIsTextFont;
        COLORREF color;
    } cases[] = {
        {msoFalse, msoFalse, false, 0x00FF00},
        {msoFalse, msoTrue, false, 0x00FF00},  // the bullet's own font keeps its own colour
        {msoTrue, msoFalse, true, 0x00FF00},
        {msoTrue, msoTrue, true, 0x0000FF},
    };
    for (const Case& c : cases) {
        BulletDeck deck(L"Item", [&](BulletData& b, FontData&) {
            b.useTextFont = c.useTextFont;
            b.useTextColor = c.useTextColor;
        });
        auto record = deck.Read();
        ASSERT_NE(nullptr, record->GetTextFont());
        ASSERT_NE(nullptr, record->GetBulletFont());
        EXPECT_EQ(c.bulletFontIsTextFont, record->GetBulletFont() == record->GetTextFont());
        EXPECT_EQ(c.color, record->GetColor()) << c.useTextFont << c.useTextColor;
    }
}

TEST(BulletRecord, EmptyParagraphKeepsTheBulletsOwnFont) {
    BulletDeck deck(L"", [](BulletData& b, FontData&) {
        b.useTextFont = msoTrue;
        b.useTextColor = msoTrue;
    });
    auto record = deck.Read();
    EXPECT_EQ(nullptr, record->GetTextFont());
    EXPECT_NE(nullptr, record->GetBulletFont());
    EXPECT_EQ(0x00FF00u, record->GetColor());
    EXPECT_EQ(L"\u2022", record->GetText());
}

TEST(BulletRecord, FailingReadsLeaveNoBulletAndReleaseEverything) {
    for (const char* member : {"BulletFormat.get_Visible", "BulletFormat.get_Type"}) {
        BulletDeck deck(L"Item", [](BulletData&, FontData&) {});
        deck.doc->Fail(member, E_FAIL);
        auto record = deck.Read();
        EXPECT_FALSE(record->IsVisible()) << member;
        EXPECT_EQ(0, record->GetType()) << member;
        EXPECT_TRUE(record->GetText().empty()) << member;
    }
    // A failing character read gives a NUL character rather than an error.
    BulletDeck deck(L"Item", [](BulletData&, FontData&) {});
    deck.doc->Fail("BulletFormat.get_Character", E_FAIL);
    EXPECT_EQ(std::wstring(1, L'\0'), deck.Read()->GetText());

    // Every interface the record took goes back with it.
    BulletDeck held(L"Item", [](BulletData& b, FontData&) { b.useTextFont = msoTrue; });
    const ULONG before = held.References();
    {
        auto record = held.Read();
        EXPECT_NE(nullptr, record->GetBulletFont());
    }
    EXPECT_EQ(before, held.References());
}

}  // namespace
