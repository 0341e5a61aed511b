// Bullet text in every numbering style, the bullet character, the font snapshot, the ruler's
// levels by index and the paragraph format's bullet, over the in-memory host.

#include "TextDeck.h"
#include "genswf/ppt/PptBulletFormat.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptRuler.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"

using namespace genswf;
using namespace wrapperstest;

namespace {

std::shared_ptr<CPptTextRange> WholeText(TextDeck& d) {
    auto frame = CreatePptTextFrame(d.frame);
    PowerPoint::TextRange* range = frame->GetTextRange();
    auto text = CreatePptTextRange(range);
    range->Release();
    return text;
}

// The bullet of the first paragraph, after `set` changed it.
std::shared_ptr<CPptBulletFormat> FirstBullet(TextDeck& d, const std::function<void(BulletData&)>& set) {
    set(d.shape->data.text.paragraphs[0].bullet);
    return WholeText(d)->Paragraphs(0, 1)->GetParagraphFormat()->GetBullet();
}

struct NumberCase {
    LONG style;
    LONG number;
    std::wstring text;
};

TEST(BulletText, NumbersInTheirStyle) {
    // The texts of every style are the shared numbering's (and tested with it); here the wrapper
    // reads the style and the number once and writes the number in that style.
    const NumberCase cases[] = {
        {4, 4, L"(iv)"}, {1, 27, L"AA."}, {12, 10, L"(10)"}, {30, 3, L""}, {-1, 3, L""},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << ", number " << c.number);
        TextDeck d;
        auto bullet = FirstBullet(d, [&](BulletData& b) {
            b.type = ppBulletNumbered;
            b.style = c.style;
            b.startValue = c.number;
        });
        EXPECT_EQ(c.text, bullet->GetBulletText());
        EXPECT_EQ(&bullet->GetBulletText(), &bullet->GetBulletText());
        EXPECT_EQ(1, d.doc->Calls("BulletFormat.get_Number"));
        EXPECT_EQ(1, d.doc->Calls("BulletFormat.get_Style"));
        EXPECT_EQ(0, d.doc->Calls("BulletFormat.get_Character"));
    }
}

struct CharacterCase {
    const char* name;
    LONG type;
    LONG character;
    LONG expectedCharacter;
    std::wstring text;
    int characterCalls;
};

TEST(BulletText, CharacterBulletsAndBulletsWithoutText) {
    const CharacterCase cases[] = {
        {"round bullet", ppBulletUnnumbered, 0x2022, 0x2022, L"\u2022", 1},
        {"symbol-font bullet", ppBulletUnnumbered, 0xF0B7, 0xF0B7, std::wstring(1, wchar_t(0xF0B7)), 1},
        {"picture bullet", ppBulletPicture, L'*', L'*', L"*", 1},
        {"one unit of a wider code", ppBulletUnnumbered, 0x1F600, 0x1F600, std::wstring(1, wchar_t(0xF600)), 1},
        // Other types never read the character: it is a space, and there is no text.
        {"no bullet", ppBulletNone, 0x2022, 32, L"", 0},
        {"numbered", ppBulletNumbered, 0x2022, 32, L"3.", 0},
        {"mixed", ppBulletMixed, 0x2022, 32, L"", 0},
    };
    for (const CharacterCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextDeck d;
        auto bullet = FirstBullet(d, [&](BulletData& b) {
            b.type = c.type;
            b.character = c.character;
        });
        EXPECT_EQ(c.expectedCharacter, bullet->GetCharacter());
        EXPECT_EQ(c.text, bullet->GetBulletText());
        EXPECT_EQ(c.text, bullet->GetBulletText());
        EXPECT_EQ(c.characterCalls, d.doc->Calls("BulletFormat.get_Character"));
        EXPECT_EQ(1, d.doc->Calls("BulletFormat.get_Type"));
        if (c.type != ppBulletNumbered) {
            EXPECT_EQ(0, d.doc->Calls("BulletFormat.get_Number"));
        }
    }
}

TEST(BulletText, AFailedCharacterLeavesTheTextToBeMade) {
    TextDeck d;
    auto bullet = FirstBullet(d, [](BulletData& b) { b.type = ppBulletUnnumbered; });
    d.doc->Fail("BulletFormat.get_Character", E_FAIL, nullptr, 1);
    EXPECT_EQ(PptMessage("PptBulletFormat.cpp", 77), bctest::PptFailureOf([&] { bullet->GetBulletText(); }));
    EXPECT_EQ(L"\u2022", bullet->GetBulletText());
}

TEST(BulletFormatWrapper, PlainValuesAndNumberingFromTheHost) {
    TextDeck d;
    auto text = WholeText(d);
    d.shape->data.text.paragraphs[1].bullet.useTextColor = msoFalse;
    d.shape->data.text.paragraphs[1].bullet.style = 12;
    auto second = text->Paragraphs(1, 1)->GetParagraphFormat()->GetBullet();
    EXPECT_EQ(msoTrue, second->GetVisible());
    EXPECT_EQ(msoFalse, second->GetUseTextColor());
    EXPECT_EQ(msoTrue, second->GetUseTextFont());
    EXPECT_EQ(ppBulletNumbered, second->GetType());
    EXPECT_EQ(12, second->GetStyle());
    // The second paragraph is one level deeper, so it starts its own count.
    EXPECT_EQ(3, second->GetNumber());
    EXPECT_EQ(L"(3)", second->GetBulletText());
    EXPECT_EQ(L"Arial", second->GetFont()->GetName());
    EXPECT_EQ(ppBaselineAlignBaseline, text->GetParagraphFormat()->GetBaseLineAlignment());
    // The host gives bullets no parent: the shared base reports its own place.
    EXPECT_EQ(L"PPT Exception in file genswf/include/genswf/ppt/Ppt.h at line 23",
              bctest::PptFailureOf([&] { second->GetParent(); }));
}

TEST(FontWrapper, SnapshotOfEveryValue) {
    TextDeck d;
    FontData& f = d.shape->data.text.charFonts[0];
    f.name = L"Liberation Serif";
    f.nameAscii = L"Ascii Face";
    f.nameComplexScript = L"Complex Face";
    f.nameFarEast = L"Far East Face";
    f.nameOther = L"Other Face";
    f.size = 24.0f;
    f.emboss = msoTrue;
    f.shadow = msoFalse;
    f.bold = msoTrue;
    f.italic = msoTrue;
    f.underline = msoTrue;
    f.color.rgb = 0x0000FF;  // pure red
    f.baselineOffset = 0.3f;
    auto font = WholeText(d)->GetFont();
    EXPECT_EQ(L"Liberation Serif", font->GetName());
    EXPECT_EQ(L"Ascii Face", font->GetNameAscii());
    EXPECT_EQ(L"Complex Face", font->GetNameComplexScript());
    EXPECT_EQ(L"Far East Face", font->GetNameFarEast());
    EXPECT_EQ(L"Other Face", font->GetNameOther());
    EXPECT_EQ(24.0f, font->GetSize());
    EXPECT_EQ(24.0f, font->GetDisplaySize());
    EXPECT_EQ(msoTrue, font->GetEmboss());
    EXPECT_EQ(msoFalse, font->GetShadow());
    EXPECT_EQ(msoTrue, font->GetBold());
    EXPECT_EQ(msoTrue, font->GetItalic());
    EXPECT_EQ(msoTrue, font->GetUnderline());
    EXPECT_EQ(msoFalse, font->GetSubscript());
    EXPECT_EQ(msoFalse, font->GetSuperscript());
    EXPECT_EQ(255u, font->GetColor());
    EXPECT_EQ(0, d.doc->Calls("Font.get_BaselineOffset")) << "read on first use only";
    // A snapshot: later changes are not seen.
    f.bold = msoFalse;
    f.size = 8.0f;
    EXPECT_EQ(msoTrue, font->GetBold());
    EXPECT_EQ(24.0f, font->GetSize());
    EXPECT_FLOAT_EQ(0.3f, font->GetBaselineOffset());
    EXPECT_FLOAT_EQ(0.3f, font->GetFloatSlot24());
    EXPECT_EQ(1, d.doc->Calls("Font.get_BaselineOffset"));
    EXPECT_EQ(1, d.doc->Calls("ColorFormat.get_RGB"));
}

struct DisplaySizeCase {
    float size;
    MsoTriState subscript, superscript;
    float display;
};

TEST(FontWrapper, DisplaySizeOfSubAndSuperscript) {
    const DisplaySizeCase cases[] = {
        {18.0f, msoFalse, msoTrue, 12.0f},
        {20.0f, msoTrue, msoFalse, 13.0f},
        {10.5f, msoFalse, msoTrue, 6.0f},
        {18.5f, msoFalse, msoFalse, 18.5f},
        {1.0f, msoTrue, msoFalse, 0.0f},
        {4000.0f, msoTrue, msoTrue, 2666.0f},
        {18.0f, msoTriStateMixed, msoFalse, 12.0f},
        {3e9f, msoFalse, msoTrue, 3e9f},
    };
    for (const DisplaySizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size);
        TextDeck d;
        FontData& f = d.shape->data.text.charFonts[0];
        f.size = c.size;
        f.subscript = c.subscript;
        f.superscript = c.superscript;
        auto font = WholeText(d)->Characters(0, 1)->GetFont();
        EXPECT_EQ(c.size, font->GetSize());
        EXPECT_EQ(c.display, font->GetDisplaySize());
    }
}

TEST(FontWrapper, FailedReadsLeaveInitialValuesAndNeverThrow) {
    const char* members[] = {"Font.get_Name", "Font.get_Bold",        "Font.get_Color", "ColorFormat.get_RGB",
                             "Font.get_Size", "Font.get_Superscript", "Font.*"};
    for (const char* member : members) {
        SCOPED_TRACE(member);
        TextDeck d;
        FontData& f = d.shape->data.text.charFonts[0];
        f.bold = msoTrue;
        f.superscript = msoTrue;
        f.color.rgb = 0x123456;
        d.doc->Fail(member, E_FAIL);
        std::shared_ptr<CPptFont> font;
        ASSERT_NO_THROW(font = WholeText(d)->GetFont());
        const std::string m(member);
        const bool all = m == "Font.*";
        EXPECT_EQ(all || m == "Font.get_Name" ? L"" : L"Arial", font->GetName());
        EXPECT_EQ(all ? L"" : L"Arial", font->GetNameAscii());
        EXPECT_EQ(all || m == "Font.get_Bold" ? 0 : msoTrue, font->GetBold());
        EXPECT_EQ(all || m == "Font.get_Superscript" ? 0 : msoTrue, font->GetSuperscript());
        const bool noColor = all || m == "Font.get_Color" || m == "ColorFormat.get_RGB";
        EXPECT_EQ(noColor ? 0u : 0x123456u, font->GetColor());
        const bool noSize = all || m == "Font.get_Size";
        EXPECT_EQ(noSize ? 0.0f : 18.0f, font->GetSize());
        const bool scripted = !(all || m == "Font.get_Superscript");
        EXPECT_EQ(noSize ? 0.0f : (scripted ? 12.0f : 18.0f), font->GetDisplaySize());
    }

    // The baseline offset answers a failure with 0 and does not ask again.
    TextDeck d;
    d.shape->data.text.charFonts[0].baselineOffset = -0.25f;
    auto font = WholeText(d)->GetFont();
    d.doc->Fail("Font.get_BaselineOffset", E_FAIL, nullptr, 1);
    EXPECT_EQ(0.0f, font->GetBaselineOffset());
    EXPECT_EQ(0.0f, font->GetBaselineOffset());
    EXPECT_EQ(1, d.doc->Calls("Font.get_BaselineOffset"));
}

TEST(RulerWrapper, LevelsByIndex) {
    TextDeck d;
    d.shape->data.text.rulerLevels[0] = {-18.0f, 18.0f};
    d.shape->data.text.rulerLevels[4] = {100.0f, 126.5f};
    auto frame = CreatePptTextFrame(d.frame);
    auto levels = frame->GetRuler()->GetLevels();
    EXPECT_EQ(5, levels->GetCount());

    // Only indices below the count reach the application; level 0 is its level 1.
    EXPECT_EQ(nullptr, levels->GetItem(5));
    EXPECT_EQ(nullptr, levels->GetItemPtr(5));
    EXPECT_EQ(nullptr, levels->GetItem(0xFFFFFFFFu));  // -1 from a signed caller
    EXPECT_EQ(0, d.doc->Calls("RulerLevels.Item"));
    auto first = levels->GetItem(0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(-18.0f, first->GetFirstMargin());
    EXPECT_EQ(18.0f, first->GetLeftMargin());
    auto last = levels->GetItem(4);
    EXPECT_EQ(100.0f, last->GetFirstMargin());
    EXPECT_EQ(126.5f, last->GetLeftMargin());
    EXPECT_EQ(2, d.doc->Calls("RulerLevels.Item"));

    PowerPoint::RulerLevel* ptr = levels->GetItemPtr(4);
    EXPECT_EQ(2, d.doc->Calls("RulerLevels.Item")) << "the kept pointer is handed out";
    ptr->Release();
    EXPECT_EQ(1, d.doc->Calls("RulerLevels.get_Count"));
}

}  // namespace
