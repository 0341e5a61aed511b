// The font passes of the text-frame path over runs and bullets, with fonts made for each test:
// which font shows each character, where pieces are cut, and how a bullet is styled and placed.
#include "FontsFixture.h"
#include "TestFont.h"
#include "TextPathFixture.h"

using namespace textpaths;
using fontstest::FakeFonts;
using fontstest::SimpleFont;

namespace {

const wchar_t kSymbolBullet = 0xF0A7;

class FontPasses : public ::testing::Test {
protected:
    void SetUp() override {
        fonts.Add(L"Plain", SimpleFont("Plain", L"abcdefgh\t ()i.0123456789\x2022"));
        fonts.Add(L"Plain", SimpleFont("Plain", L"abcdefgh\t ()i.0123456789\x2022", true, true), true, true);
        fonts.Add(L"Webdings", SimpleFont("Webdings", L"\xF041", false, false, true));
        fonts.Add(L"Wingdings", SimpleFont("Wingdings", L"\xF0A7\xF041", false, false, true));
    }

    CHostShape* Box(const std::wstring& text, const FontData& font, const ParagraphData& paragraph = ParagraphData()) {
        CHostShape* box = deck.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.AddRun(text, font, paragraph);
        return box;
    }

    static FontData Plain(float size = 20.0f) { return TextFont(size, L"Plain"); }

    static std::vector<std::string> Texts(const std::vector<std::shared_ptr<CTextPiece>>& pieces) {
        std::vector<std::string> texts;
        for (const auto& piece : pieces) texts.push_back(U8(piece->GetText()));
        return texts;
    }

    FakeFonts fonts;
    TextSlide deck;
};

ParagraphData Bullet(PpBulletType type, LONG character = 0x2022, PpNumberedBulletStyle style = ppBulletArabicPeriod,
                     LONG startValue = 1) {
    ParagraphData p;
    p.bullet.visible = msoTrue;
    p.bullet.type = type;
    p.bullet.character = character;
    p.bullet.style = style;
    p.bullet.startValue = startValue;
    return p;
}

}  // namespace

// A symbol code in a text face without a symbol map comes from the first picture face that has
// it; the letters around it stay in the text face: three pieces.
TEST_F(FontPasses, SymbolCharacterInARunIsAPieceOfItsOwn) {
    Box(std::wstring(L"ab") + kSymbolBullet + L"cd", Plain());
    deck.MakeMovie();
    FramePath path = deck.Frame(deck.slide->shapes[0]);
    const auto& pieces = path.content->GetParagraph(0)->GetLine(0)->GetPieces();
    ASSERT_EQ(3u, pieces.size());
    EXPECT_EQ((std::vector<std::string>{"ab", U8(std::wstring(1, kSymbolBullet)), "cd"}), Texts(pieces));
    EXPECT_EQ(L"Plain", pieces[0]->GetStyle()->GetFont()->GetFamilyName());
    EXPECT_EQ(L"Wingdings", pieces[1]->GetStyle()->GetFont()->GetFamilyName());
    EXPECT_EQ(pieces[0]->GetStyle()->GetFont(), pieces[2]->GetStyle()->GetFont());
    // One style per stretch of one font.
    EXPECT_NE(pieces[0]->GetStyle(), pieces[2]->GetStyle());
}

// Characters no font shows belong to no piece and are recorded in no font; a line of only such
// characters is dropped, and a paragraph without lines has no animation target.
TEST_F(FontPasses, CharactersWithoutAFontAreLeftOut) {
    Box(L"xyz\rab xyz", Plain());
    deck.MakeMovie();
    FramePath path = deck.Frame(deck.slide->shapes[0]);
    ASSERT_EQ(2u, path.content->GetParagraphCount());
    EXPECT_EQ(0u, path.content->GetParagraph(0)->GetLineCount());
    EXPECT_FALSE(path.content->GetParagraph(0)->GetAnimationTarget());
    EXPECT_EQ((std::vector<std::string>{"ab "}), Texts(path.content->GetParagraph(1)->GetLine(0)->GetPieces()));
    for (const FontEntry& entry : deck.movie->GetFontManager()->GetEntries())
        EXPECT_EQ(std::wstring::npos, entry.font->GetUsedChars().find(L'x')) << U8(entry.font->GetFamilyName());
}

// With blank trimming, a run's leading and trailing blanks are left out and a run of blanks
// yields nothing.
TEST_F(FontPasses, BlankTrimmingLeavesOutTheRunsBlanks) {
    for (bool trim : {false, true}) {
        SCOPED_TRACE(trim);
        TextSlide local;
        CHostShape* box = local.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.AddRun(L"ab  ", Plain());
        box->data.text.AddRun(L"  ", Plain(30.0f));
        box->data.text.AddRun(L"\tcd", Plain());
        auto settings = CExportSettings::Create(local.doc->Presentation());
        settings->SetTempFolder(local.scratch.FolderPath());
        settings->SetTrimRunBlanks(trim);
        local.movie = CMovie::Create(settings);
        FramePath path = local.Frame(box);
        std::vector<std::string> texts;
        for (std::size_t l = 0; l < path.content->GetParagraph(0)->GetLineCount(); ++l)
            for (const std::string& t : Texts(path.content->GetParagraph(0)->GetLine(l)->GetPieces()))
                texts.push_back(t);
        if (trim)
            EXPECT_EQ((std::vector<std::string>{"ab", "cd"}), texts);
        else
            EXPECT_EQ((std::vector<std::string>{"ab  ", "  ", "\t", "cd"}), texts);
    }
}

// Numbers keep the text's bold, italic and underline; character bullets are drawn plain.
TEST_F(FontPasses, BulletStyleByType) {
    struct Case {
        PpBulletType type;
        std::string text;
        bool styled;
    };
    for (const Case& c : {Case{ppBulletNumbered, "1.", true}, Case{ppBulletUnnumbered, "\xE2\x80\xA2", false}}) {
        SCOPED_TRACE(c.text);
        TextSlide local;
        CHostShape* box = local.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.rulerLevels[0] = {0, 27};
        FontData font = Plain();
        font.bold = font.italic = font.underline = msoTrue;
        box->data.text.AddRun(L"abc", font, Bullet(c.type));
        local.MakeMovie();
        FramePath path = local.Frame(box);
        const auto& bullet = path.content->GetParagraph(0)->GetBulletPiece();
        ASSERT_TRUE(bullet);
        EXPECT_EQ(c.text, U8(bullet->GetText()));
        EXPECT_EQ(c.styled, bullet->GetStyle()->GetBold());
        EXPECT_EQ(c.styled, bullet->GetStyle()->GetItalic());
        EXPECT_EQ(c.styled, bullet->GetStyle()->GetUnderline());
    }
}

// The bullet's extent is the larger of its width and its level's indent: a 30-point bullet
// before an 18-point indent starts 30 points left of the line, before a 40-point indent 40.
TEST_F(FontPasses, BulletExtentIsItsWidthOrTheIndent) {
    for (float indent : {18.0f, 40.0f}) {
        SCOPED_TRACE(indent);
        TextSlide local;
        CHostShape* box = local.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.rulerLevels[0] = {0, indent};
        box->data.text.AddRun(L"abc", Plain(60.0f), Bullet(ppBulletUnnumbered));
        local.MakeMovie();
        FramePath path = local.Frame(box);
        const auto& paragraph = path.content->GetParagraph(0);
        const auto& bullet = paragraph->GetBulletPiece();
        ASSERT_TRUE(bullet);
        const float lineLeft = paragraph->GetLine(0)->GetPieces().front()->GetLeft();
        EXPECT_FLOAT_EQ(30.0f, bullet->GetWidth());
        EXPECT_FLOAT_EQ(lineLeft - std::max(30.0f, indent), bullet->GetLeft());
    }
}

// A bullet takes the first font that shows all of it: "(iv)" in a face without "v" is drawn in
// the stand-by face when that has every character; without such a face the characters its own
// font lacks are left out rather than recorded in a font that cannot draw them.
TEST_F(FontPasses, BulletFallsToAFontThatShowsAllOfIt) {
    for (bool standBy : {true, false}) {
        SCOPED_TRACE(standBy);
        FakeFonts local;
        local.fonts = fonts.fonts;
        if (standBy) local.Add(L"Arial", SimpleFont("Stand By", L"()iv"));
        TextSlide slide;
        CHostShape* box = slide.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.rulerLevels[0] = {0, 40};
        box->data.text.AddRun(L"abc", Plain(), Bullet(ppBulletNumbered, 0, 4 /* roman, lower case, in brackets */, 4));
        slide.MakeMovie();
        FramePath path = slide.Frame(box);
        const auto& bullet = path.content->GetParagraph(0)->GetBulletPiece();
        ASSERT_TRUE(bullet);
        const std::shared_ptr<SwfFont>& font = bullet->GetStyle()->GetFont();
        if (standBy) {
            EXPECT_EQ("(iv)", U8(bullet->GetText()));
            EXPECT_EQ(L"Stand By", font->GetFamilyName());
        } else {
            EXPECT_EQ("(i)", U8(bullet->GetText()));
            EXPECT_EQ(L"Plain", font->GetFamilyName());
            EXPECT_EQ(std::wstring::npos, font->GetUsedChars().find(L'v'));
        }
    }
}

// A bullet is drawn at its RelativeSize times its text's size, on both paths, and measured so:
// a 60-point paragraph with a half-size bullet has a 30-point bullet, 15 points wide.
TEST_F(FontPasses, BulletsTakeTheirRelativeSize) {
    struct Case {
        PpBulletType type;
        float relative;
        float size;
    };
    for (const Case& c : {Case{ppBulletUnnumbered, 0.5f, 30.0f}, Case{ppBulletNumbered, 0.75f, 45.0f},
                          Case{ppBulletUnnumbered, 1.0f, 60.0f}, Case{ppBulletUnnumbered, 0.0f, 60.0f}}) {
        SCOPED_TRACE(c.relative);
        TextSlide local;
        CHostShape* box = local.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.rulerLevels[0] = {0, 0};
        ParagraphData paragraph = Bullet(c.type);
        paragraph.bullet.relativeSize = c.relative;
        box->data.text.AddRun(L"abc", Plain(60.0f), paragraph);
        local.MakeMovie();

        FramePath path = local.Frame(box);
        const auto& onFrame = path.content->GetParagraph(0)->GetBulletPiece();
        ASSERT_TRUE(onFrame);
        EXPECT_FLOAT_EQ(c.size, onFrame->GetStyle()->GetSize());

        std::shared_ptr<CShape> shape = local.SlideShape(box);
        ASSERT_TRUE(shape->GetTextIndex());
        const auto& bullet = shape->GetTextIndex()->GetTextSprite(0)->GetParagraphs()[0]->bullet;
        ASSERT_TRUE(bullet && bullet->field);
        EXPECT_FLOAT_EQ(c.size, bullet->field->GetStyle()->GetSize());
        EXPECT_FLOAT_EQ(onFrame->GetWidth(), bullet->field->GetWidth());
        if (c.type == ppBulletUnnumbered) {
            EXPECT_FLOAT_EQ(c.size / 2.0f, onFrame->GetWidth());
        }
    }
}

// A paragraph that holds only its mark shows no bullet on either path, even when the face has a
// glyph for the mark (which keeps the line); the paragraphs around it keep theirs.
TEST_F(FontPasses, EmptyParagraphsShowNoBullet) {
    fonts.Add(L"Marks", SimpleFont("Marks", L"abc\r\x2022"));
    TextSlide local;
    CHostShape* box = local.AddText(L"Body", 100, 50, 400, 300);
    box->data.text.AddRun(L"abc\r\rabc", TextFont(20.0f, L"Marks"), Bullet(ppBulletUnnumbered));
    local.MakeMovie();

    FramePath path = local.Frame(box);
    ASSERT_EQ(3u, path.content->GetParagraphCount());
    std::shared_ptr<CShape> shape = local.SlideShape(box);
    ASSERT_TRUE(shape->GetTextIndex());
    const auto& paragraphs = shape->GetTextIndex()->GetTextSprite(0)->GetParagraphs();
    ASSERT_EQ(3u, paragraphs.size());
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const bool shown = i != 1;
        EXPECT_EQ(shown, static_cast<bool>(path.content->GetParagraph(i)->GetBulletPiece()));
        EXPECT_EQ(shown, static_cast<bool>(paragraphs[i]->bullet));
    }
}
