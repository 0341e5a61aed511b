// The text style of a run: flags from PowerPoint's tri-states, the reduced size of sub- and
// superscript, widths in points and the run's markup.
#include "FontsFixture.h"

#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/text/TextStyle.h"
#include "powerpoint/host/PowerPointHost.h"

using namespace genswf;
using namespace fontstest;
using PowerPoint::Host::FontData;

namespace {

std::shared_ptr<CPptFont> Snapshot(const FontData& data) {
    using namespace PowerPoint::Host;
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape = doc->AddSlide()->AddShape(PowerPoint::msoTextBox, L"Box", 0, 0, 100, 50);
    shape->data.hasTextFrame = PowerPoint::msoTrue;
    shape->data.text.AddRun(L"x", data);
    PowerPoint::TextFrame* frame = nullptr;
    EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
    auto wrapper = CreatePptTextFrame(frame);
    frame->Release();
    PowerPoint::TextRange* range = wrapper->GetTextRange();
    auto text = CreatePptTextRange(range);
    range->Release();
    return text->GetFont();
}

}  // namespace

TEST(TextStyle, EffectiveSizeOfScriptedRuns) {
    FakeFonts fake;
    fake.Add(L"Plain", SimpleFont("Plain", L"a"));
    auto movie = CMovie::CreateEmpty();
    auto font = SwfFont::Create(movie.get(), L"Plain", false, false, 1);
    ASSERT_TRUE(font);
    struct Case {
        float size;
        bool sub, super;
        float effective;
    } cases[] = {
        {24.0f, true, false, 16.0f}, {25.5f, true, false, 16.0f},  {10.0f, false, true, 6.0f},
        {24.0f, true, true, 16.0f},  {24.0f, false, false, 24.0f}, {25.5f, false, false, 25.5f},
        {1.0f, false, true, 0.0f},
    };
    for (const Case& c : cases) {
        FontData data;
        data.size = c.size;
        data.subscript = c.sub ? PowerPoint::msoTrue : PowerPoint::msoFalse;
        data.superscript = c.super ? PowerPoint::msoTrue : PowerPoint::msoFalse;
        auto style = TextStyle::Create(font, Snapshot(data));
        EXPECT_EQ(c.size, style->GetSize());
        EXPECT_EQ(c.effective, style->GetEffectiveSize()) << c.size << c.sub << c.super;
        EXPECT_EQ(c.effective, style->GetEffectiveSize());  // reduced once, not again
        // 'a' is half an em.
        EXPECT_FLOAT_EQ(c.effective * 0.5f, style->GetTextWidth(L"a"));
    }
}

TEST(TextStyle, WidthIsEmsTimesTheEffectiveSize) {
    FakeFonts fake;
    TestFontSpec spec;
    spec.glyphs = {{L'a', 500, 0, 0, 400, 500}};
    fake.Add(L"Plain", BuildTestFont(spec));
    auto movie = CMovie::CreateEmpty();
    auto font = SwfFont::Create(movie.get(), L"Plain", false, false, 1);
    FontData data;
    data.size = 24.0f;
    data.subscript = PowerPoint::msoTrue;
    auto style = TextStyle::Create(font, Snapshot(data));
    EXPECT_FLOAT_EQ(32.0f, style->GetTextWidth(L"aaaa"));  // 2 ems at 16 points
    style->SetSubscript(false);
    style->SetSize(10.0f);
    EXPECT_FLOAT_EQ(20.0f, style->GetTextWidth(L"aaaa"));  // at 10 points
}

TEST(TextStyle, FlagsColourAndMarkup) {
    FakeFonts fake;
    fake.Add(L"Bold", SimpleFont("Bold", L"a", true));
    fake.Add(L"Plain", SimpleFont("Plain", L"a"));
    auto movie = CMovie::CreateEmpty();
    auto boldFace = SwfFont::Create(movie.get(), L"Bold", true, false, 1);
    auto plainFace = SwfFont::Create(movie.get(), L"Plain", false, false, 1);
    ASSERT_TRUE(boldFace && plainFace);

    FontData data;
    data.underline = PowerPoint::msoTrue;
    data.bold = PowerPoint::msoTriStateMixed;
    data.italic = PowerPoint::msoCTrue;
    data.shadow = PowerPoint::msoTrue;
    data.emboss = PowerPoint::msoFalse;
    data.color.rgb = 0x0000FF;
    data.baselineOffset = 0.3f;
    auto snapshot = Snapshot(data);
    auto style = TextStyle::Create(boldFace, snapshot);
    EXPECT_TRUE(style->GetUnderline());
    EXPECT_FALSE(style->GetBold());    // mixed
    EXPECT_FALSE(style->GetItalic());  // only -1 is true
    EXPECT_TRUE(style->GetShadow());
    EXPECT_FALSE(style->GetEmboss());
    EXPECT_EQ(0x0000FFu, style->GetColor());
    EXPECT_FLOAT_EQ(0.3f, style->GetBaselineOffset());
    // The face decides bold; the run decides underline.
    EXPECT_EQ(L"<U><B>a &lt; b</B></U>", style->ToHtml(L"a < b"));

    style->SetUnderline(false);
    EXPECT_EQ(L"<B>a</B>", style->ToHtml(L"a"));
    EXPECT_EQ(L"<U>a</U>", TextStyle::Create(plainFace, snapshot)->ToHtml(L"a\n"));
}
