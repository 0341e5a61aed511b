// The text-frame path: paragraphs and lines as PowerPoint wrapped them, the pieces of their
// runs, the placed fields of each piece and the paragraph's sprite.
#include "TextPathFixture.h"

#include <cmath>

using namespace textpaths;

namespace {

ParagraphData Bulleted(PpBulletType type, PpParagraphAlignment alignment = ppAlignLeft) {
    ParagraphData p;
    p.alignment = alignment;
    p.bullet.visible = msoTrue;
    p.bullet.type = type;
    p.bullet.character = 0x2022;
    p.bullet.style = ppBulletArabicPeriod;
    return p;
}

std::string SpriteOf(TextSlide& deck, const FramePath& path, std::size_t paragraph) {
    CTextExportContext context(path.content.get());
    auto parent = deck.Parent();
    path.content->GetParagraph(paragraph)->ExportSprite(context)->Write(parent);
    return Xml(parent);
}

}  // namespace

TEST(TextFrame, PlainParagraphSprite) {
    REQUIRE_TEXT_FONTS();
    TextSlide deck;
    CHostShape* box = deck.AddText(L"Body", 100, 50, 300, 200);
    box->data.text.AddRun(L"Hello world", TextFont(18));
    deck.MakeMovie();
    FramePath path = deck.Frame(box);
    ASSERT_EQ(1u, path.content->GetParagraphCount());
    EXPECT_TRUE(path.content->GetParagraph(0)->GetAnimationTarget());
    // By hand: the line is 1.2 x 18 = 21.6 points tall, so each field is 21.6 + 5 = 26.6 units
    // (532 twips). The face's ascent and height are 1854 and 2288 of 2048 units per em, so the
    // baseline lies 21.6 x 1854 / 2288 = 17.503 points down and the field's top 17.503 - 16.295
    // = 1.208 below the line's: y = 50 + 1.208 - 2 = 49.208 (984 twips); x = 100 - 2 and 100 +
    // width("Hello ") 46.02 - 2.
    EXPECT_EQ(
        "<test><sprite id=\"spr0\"><objects>"
        "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"1020tw\" height=\"532tw\" color=\"#000000\" "
        "fontId=\"fnt0\" fontSize=\"360tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hello "
        "]]></htmlText>"
        "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"960tw\" height=\"532tw\" color=\"#000000\" "
        "fontId=\"fnt0\" fontSize=\"360tw\" multiline=\"0\" selectable=\"0\" "
        "wordWrap=\"0\"><![CDATA[world]]></htmlText>"
        "</objects><layers><layer><frame index=\"0\">"
        "<show id=\"show0\" objectId=\"txt0\" moveX=\"1960tw\" moveY=\"984tw\"/>"
        "<show id=\"show1\" objectId=\"txt1\" moveX=\"2880tw\" moveY=\"984tw\"/>"
        "</frame></layer></layers></sprite></test>",
        SpriteOf(deck, path, 0));
}

// Wrapped, aligned, mixed and vertical text: every stretch starts where the layout put its first
// character, on the layout's baseline, at the movie's scale.
TEST(TextFrame, StretchesSitWhereTheLayoutPutThem) {
    REQUIRE_TEXT_FONTS();
    struct Case {
        const char* name;
        PpParagraphAlignment alignment;
        MsoTextOrientation orientation;
        float scale;
        bool mixed;
    };
    const Case cases[] = {
        {"wrapped", ppAlignLeft, msoTextOrientationHorizontal, 1.0f, false},
        {"right-aligned", ppAlignRight, msoTextOrientationHorizontal, 1.0f, false},
        {"centred at scale 2", ppAlignCenter, msoTextOrientationHorizontal, 2.0f, false},
        {"mixed sizes", ppAlignLeft, msoTextOrientationHorizontal, 1.0f, true},
        {"vertical", ppAlignLeft, msoTextOrientationVerticalFarEast, 1.0f, false},
        {"vertical mixed at scale 1.5", ppAlignLeft, msoTextOrientationVerticalFarEast, 1.5f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextSlide deck;
        CHostShape* box = deck.AddText(L"Body", 100, 50, 160, 240);
        box->data.text.orientation = c.orientation;
        ParagraphData format;
        format.alignment = c.alignment;
        box->data.text.AddRun(L"A paragraph long enough ", TextFont(18), format);
        box->data.text.AddRun(L"to wrap ", TextFont(c.mixed ? 30 : 18), format);
        box->data.text.AddRun(L"onto further lines\rAnd one more.", TextFont(c.mixed ? 12 : 18), format);
        deck.MakeMovie(c.scale);
        FramePath path = deck.Frame(box);
        ASSERT_EQ(2u, path.content->GetParagraphCount());
        EXPECT_GE(path.content->GetParagraph(0)->GetLineCount(), 2u);
        const std::vector<Face> faces = FrameFaces(path);
        ExpectAtLayout(faces, box, c.scale);
        // A vertical field is turned a quarter clockwise; a horizontal one is only moved.
        const bool vertical = c.orientation == msoTextOrientationVerticalFarEast;
        for (const Face& face : faces) {
            EXPECT_FLOAT_EQ(vertical ? 0.0f : 1.0f, face.matrix.a);
            EXPECT_FLOAT_EQ(vertical ? 1.0f : 0.0f, face.matrix.b);
        }
    }
}

// A line's stretches share the tallest one's metrics and so one baseline.
TEST(TextFrame, MixedSizesOnOneLineShareTheTallestMetrics) {
    REQUIRE_TEXT_FONTS();
    TextSlide deck;
    CHostShape* box = deck.AddText(L"Body", 100, 50, 400, 200);
    box->data.text.AddRun(L"small ", TextFont(10));
    box->data.text.AddRun(L"large ", TextFont(20));
    box->data.text.AddRun(L"same", TextFont(20));
    deck.MakeMovie();
    FramePath path = deck.Frame(box);
    const auto& line = path.content->GetParagraph(0)->GetLine(0);
    ASSERT_EQ(3u, line->GetPieces().size());
    const auto& large = line->GetPieces()[1];
    EXPECT_FLOAT_EQ(large->GetAscent(), line->GetAscent());
    EXPECT_FLOAT_EQ(large->GetSize(), line->GetHeight());
    const std::vector<Face> faces = FrameFaces(path);
    ASSERT_EQ(3u, faces.size());
    EXPECT_NEAR(BaselineOf(faces[0], 1.0f).y, BaselineOf(faces[1], 1.0f).y, 1e-3f);
    EXPECT_NEAR(BaselineOf(faces[1], 1.0f).y, BaselineOf(faces[2], 1.0f).y, 1e-3f);
    ExpectAtLayout(faces, box);
}

// Bullets and numbers: left of the first line (above it in vertical text), where the layout drew
// them when the indent is wider than the bullet; only the first line carries the bullet.
TEST(TextFrame, BulletsSitBeforeTheirFirstLine) {
    REQUIRE_TEXT_FONTS();
    for (MsoTextOrientation orientation : {msoTextOrientationHorizontal, msoTextOrientationVerticalFarEast}) {
        for (PpBulletType type : {ppBulletUnnumbered, ppBulletNumbered}) {
            SCOPED_TRACE(std::to_string(orientation) + "/" + std::to_string(type));
            TextSlide deck;
            CHostShape* box = deck.AddText(L"Body", 100, 50, 200, 200);
            box->data.text.orientation = orientation;
            box->data.text.rulerLevels[0] = {0, 27};
            box->data.text.AddRun(L"First item that wraps onto a second line\rSecond item", TextFont(18),
                                  Bulleted(type));
            deck.MakeMovie();
            FramePath path = deck.Frame(box);
            auto layout = TextSlide::Layout(box);
            const std::vector<Face> faces = FrameFaces(path);
            int bullets = 0;
            for (std::size_t p = 0; p < 2; ++p) {
                const auto& paragraph = path.content->GetParagraph(p);
                ASSERT_TRUE(paragraph->GetBulletPiece());
                const auto& pieces = paragraph->GetLine(0)->GetPieces();
                EXPECT_EQ(paragraph->GetBulletPiece(), pieces.back());
                for (std::size_t l = 1; l < paragraph->GetLineCount(); ++l)
                    for (const auto& piece : paragraph->GetLine(l)->GetPieces())
                        EXPECT_NE(paragraph->GetBulletPiece(), piece);
            }
            for (const Face& face : faces) {
                if (!face.bullet) continue;
                const fonts::layout::BulletPlacement expected = layout->BulletOf(bullets++);
                EXPECT_EQ(U8(expected.text), U8(face.text));
                const Baseline b = BaselineOf(face, 1.0f);
                EXPECT_NEAR(expected.originX, b.x, 0.05f);
                EXPECT_NEAR(expected.originY, b.y, 0.05f);
            }
            EXPECT_EQ(2, bullets);
            ExpectAtLayout(faces, box);
            // The bullet ends before its line starts.
            const auto& first = path.content->GetParagraph(0);
            const auto& bullet = first->GetBulletPiece();
            const auto& text = first->GetLine(0)->GetPieces().front();
            if (orientation == msoTextOrientationHorizontal)
                EXPECT_LE(bullet->GetLeft() + bullet->GetWidth(), text->GetLeft() + 1e-3f);
            else
                EXPECT_LE(bullet->GetTop() + bullet->GetHeight(), text->GetTop() + 1e-3f);
        }
    }
}

// Orientations the placement does not know are laid out as horizontal text rather than left at
// the origin without a size.
TEST(TextFrame, OtherOrientationsArePlacedAsHorizontal) {
    REQUIRE_TEXT_FONTS();
    TextSlide deck;
    CHostShape* box = deck.AddText(L"Body", 100, 50, 200, 200);
    box->data.text.orientation = msoTextOrientationUpward;
    box->data.text.AddRun(L"Upward", TextFont(18));
    deck.MakeMovie();
    FramePath path = deck.Frame(box);
    const auto& piece = path.content->GetParagraph(0)->GetLine(0)->GetPieces().front();
    const std::vector<Face> faces = FrameFaces(path);
    ASSERT_EQ(1u, faces.size());
    EXPECT_FLOAT_EQ(1.0f, faces[0].matrix.a);
    EXPECT_FLOAT_EQ(piece->GetLeft() - 2.0f, faces[0].matrix.tx);
    CTextExportContext context(path.content.get());
    auto placed = path.content->GetParagraph(0)->GetLine(0)->Layout(context)->GetAt(0)->FindByPass(TEXT_PASS_FACE);
    EXPECT_GT(placed->field->width, 5.0f);
    EXPECT_GT(placed->field->height, 5.0f);
}

// A line whose text has no height sits on its top edge: no division by zero reaches a matrix.
TEST(TextFrame, ZeroHeightLineHasZeroBaseline) {
    REQUIRE_TEXT_FONTS();
    TextSlide deck;
    CHostShape* box = deck.AddText(L"Body", 100, 50, 200, 200);
    box->data.text.AddRun(L"Flat", TextFont(0.0f));
    deck.MakeMovie();
    FramePath path = deck.Frame(box);
    ASSERT_EQ(1u, path.content->GetParagraph(0)->GetLineCount());
    const auto& line = path.content->GetParagraph(0)->GetLine(0);
    EXPECT_EQ(0.0f, line->GetHeight());
    EXPECT_EQ(0.0f, line->GetBaseline());
    for (const Face& face : FrameFaces(path)) {
        EXPECT_TRUE(std::isfinite(face.matrix.tx));
        EXPECT_TRUE(std::isfinite(face.matrix.ty));
    }
}

// A frame without text gives a model without paragraphs, and its export does nothing.
TEST(TextFrame, EmptyFrameHasNoParagraphs) {
    TextSlide deck;
    CHostShape* box = deck.AddText(L"Body", 100, 50, 200, 200);
    deck.MakeMovie();
    FramePath path = deck.Frame(box);
    EXPECT_FALSE(path.content->HasText());
    EXPECT_EQ(0u, path.content->GetParagraphCount());
}
