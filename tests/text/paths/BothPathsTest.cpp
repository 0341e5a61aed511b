// Both text paths over the same slides: the written sprites of plain, linked, shadowed and
// embossed text, linked characters counted alike end to end, and every stretch placed where the
// host's layout drew it, by either path.
#include "TextPathFixture.h"

#include "genswf/slides/SlideActions.h"

using namespace textpaths;

namespace {

enum Look { Plain, Linked, Shadowed, Embossed };

// "Hi there" in 20-point text, "there" linked when asked.
CHostShape* LookBox(TextSlide& deck, Look look) {
    CHostShape* box = deck.AddText(L"Body", 100, 50, 300, 100);
    FontData font = TextFont(20);
    font.color.rgb = 0x0000C0;
    font.shadow = look == Shadowed ? msoTrue : msoFalse;
    font.emboss = look == Embossed ? msoTrue : msoFalse;
    box->data.text.AddRun(L"Hi there", font);
    if (look == Linked) {
        TextLinkData link;
        link.start = 3;
        link.length = 5;
        link.click.action = ppActionHyperlink;
        link.click.hyperlink.address = L"http://example.com/";
        box->data.text.links.push_back(link);
    }
    return box;
}

std::string FrameSprite(TextSlide& deck, CHostShape* box) {
    FramePath path = deck.Frame(box);
    CTextExportContext context(path.content.get());
    auto parent = deck.Parent();
    path.content->GetParagraph(0)->ExportSprite(context)->Write(parent);
    return Xml(parent);
}

std::string IndexSprite(TextSlide& deck, CHostShape* box) {
    std::shared_ptr<CShape> shape = deck.SlideShape(box);
    EXPECT_TRUE(shape->GetTextIndex());
    if (!shape->GetTextIndex()) return std::string();
    auto parent = deck.Parent();
    shape->GetTextIndex()->GetTextSprite(0)->Write(parent);
    return Xml(parent);
}

std::vector<Face> Without(const std::vector<Face>& faces, bool bullets) {
    std::vector<Face> out;
    for (const Face& face : faces)
        if (face.bullet == bullets) out.push_back(face);
    return out;
}

}  // namespace

// Worked out by hand for both paths: the line is 1.2 x 20 = 24 points tall and its baseline
// 24 x 1854 / 2288 = 19.448 down, so a field's top is 19.448 - 18.105 (the ascent) = 1.342 below
// the line's and y = 50 + 1.342 - 2 = 49.342 (986 twips, cut to whole twips). A shadow stands
// 20 x 0.0405 = 0.81 units right of and below its face (+16 twips); the emboss copies one unit
// either side (+-20 twips) in 3/5 of white (#999999), white and the white behind the text. The
// field sizes are the text's plus 5 (face), 10 (shadow, light and base copies) or 0 (dark copy)
// on the text-frame path and plus 10 everywhere on the other. Linked text takes the slide's
// hyperlink colour (white in the builder's colour scheme), is underlined and shown by a button.

// The written sprite of each look on the text-frame path.
TEST(BothPaths, FrameSpriteOfEachLook) {
    REQUIRE_TEXT_FONTS();
    struct Case {
        Look look;
        const char* golden;
    };
    const Case cases[] = {
        {Linked,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"588tw\" height=\"580tw\" color=\"#c00000\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"1011tw\" height=\"580tw\" color=\"#ffffff\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" "
         "wordWrap=\"0\"><![CDATA[<U>there</U>]]></htmlText>"
         "<button id=\"button0\" type=\"push\" up=\"txt1\" over=\"txt1\" down=\"txt1\" hit=\"txt1\"/>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show1\" objectId=\"button0\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "</frame></layer></layers></sprite></test>"},
        {Shadowed,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#c0c0c0\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#c0c0c0\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" "
         "wordWrap=\"0\"><![CDATA[there]]></htmlText>"
         "<htmlText id=\"txt2\" x=\"0tw\" y=\"0tw\" width=\"588tw\" height=\"580tw\" color=\"#c00000\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt3\" x=\"0tw\" y=\"0tw\" width=\"1011tw\" height=\"580tw\" color=\"#c00000\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" "
         "wordWrap=\"0\"><![CDATA[there]]></htmlText>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1976tw\" moveY=\"1003tw\"/>"
         "<show id=\"show1\" objectId=\"txt1\" moveX=\"2465tw\" moveY=\"1003tw\"/>"
         "<show id=\"show2\" objectId=\"txt2\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show3\" objectId=\"txt3\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "</frame></layer></layers></sprite></test>"},
        {Embossed,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"488tw\" height=\"480tw\" color=\"#999999\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"911tw\" height=\"480tw\" color=\"#999999\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[there]]></htmlText>"
         "<htmlText id=\"txt2\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#ffffff\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt3\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#ffffff\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" "
         "wordWrap=\"0\"><![CDATA[there]]></htmlText>"
         "<htmlText id=\"txt4\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#ffffff\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt5\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#ffffff\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" selectable=\"0\" "
         "wordWrap=\"0\"><![CDATA[there]]></htmlText>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1980tw\" moveY=\"1006tw\"/>"
         "<show id=\"show1\" objectId=\"txt1\" moveX=\"2468tw\" moveY=\"1006tw\"/>"
         "<show id=\"show2\" objectId=\"txt2\" moveX=\"1940tw\" moveY=\"966tw\"/>"
         "<show id=\"show3\" objectId=\"txt3\" moveX=\"2428tw\" moveY=\"966tw\"/>"
         "<show id=\"show4\" objectId=\"txt4\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show5\" objectId=\"txt5\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "</frame></layer></layers></sprite></test>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.look));
        TextSlide deck;
        CHostShape* box = LookBox(deck, c.look);
        deck.MakeMovie();
        EXPECT_EQ(c.golden, FrameSprite(deck, box));
    }
}

// The written text sprite of each look on the shape-text-index path.
TEST(BothPaths, IndexSpriteOfEachLook) {
    REQUIRE_TEXT_FONTS();
    struct Case {
        Look look;
        const char* golden;
    };
    const Case cases[] = {
        {Plain,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#c00000\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#c00000\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[there]]></htmlText>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show1\" objectId=\"txt1\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "<actions><actionStop/></actions>"
         "</frame></layer></layers></sprite></test>"},
        {Linked,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#c00000\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#ffffff\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[<U>there</U>]]></htmlText>"
         "<button id=\"button0\" type=\"push\" up=\"txt1\" over=\"txt1\" down=\"txt1\" hit=\"txt1\"/>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show1\" objectId=\"button0\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "<actions><actionStop/></actions>"
         "</frame></layer></layers></sprite></test>"},
        {Shadowed,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#c0c0c0\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#c00000\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt2\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#c0c0c0\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[there]]></htmlText>"
         "<htmlText id=\"txt3\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#c00000\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[there]]></htmlText>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1976tw\" moveY=\"1003tw\"/>"
         "<show id=\"show1\" objectId=\"txt2\" moveX=\"2465tw\" moveY=\"1003tw\"/>"
         "<show id=\"show2\" objectId=\"txt1\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show3\" objectId=\"txt3\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "<actions><actionStop/></actions>"
         "</frame></layer></layers></sprite></test>"},
        {Embossed,
         "<test><sprite id=\"spr0\"><objects>"
         "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#999999\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#ffffff\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt2\" x=\"0tw\" y=\"0tw\" width=\"688tw\" height=\"680tw\" color=\"#ffffff\" fontId=\"fnt0\" "
         "fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\"><![CDATA[Hi ]]></htmlText>"
         "<htmlText id=\"txt3\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#999999\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[there]]></htmlText>"
         "<htmlText id=\"txt4\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#ffffff\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[there]]></htmlText>"
         "<htmlText id=\"txt5\" x=\"0tw\" y=\"0tw\" width=\"1111tw\" height=\"680tw\" color=\"#ffffff\" "
         "fontId=\"fnt0\" fontSize=\"400tw\" multiline=\"0\" wordWrap=\"0\" "
         "selectable=\"0\"><![CDATA[there]]></htmlText>"
         "</objects><layers><layer><frame index=\"0\">"
         "<show id=\"show0\" objectId=\"txt0\" moveX=\"1980tw\" moveY=\"1006tw\"/>"
         "<show id=\"show1\" objectId=\"txt3\" moveX=\"2468tw\" moveY=\"1006tw\"/>"
         "<show id=\"show2\" objectId=\"txt1\" moveX=\"1940tw\" moveY=\"966tw\"/>"
         "<show id=\"show3\" objectId=\"txt4\" moveX=\"2428tw\" moveY=\"966tw\"/>"
         "<show id=\"show4\" objectId=\"txt2\" moveX=\"1960tw\" moveY=\"986tw\"/>"
         "<show id=\"show5\" objectId=\"txt5\" moveX=\"2448tw\" moveY=\"986tw\"/>"
         "<actions><actionStop/></actions>"
         "</frame></layer></layers></sprite></test>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.look));
        TextSlide deck;
        CHostShape* box = LookBox(deck, c.look);
        deck.MakeMovie(1.0f, true);
        EXPECT_EQ(c.golden, IndexSprite(deck, box));
    }
}

// A link over characters [3, 8) links exactly those characters on both paths: no stretch
// reaches one character before or after it.
TEST(BothPaths, LinkedCharactersCountFromZeroOnBothPaths) {
    REQUIRE_TEXT_FONTS();
    for (LONG start : {0, 3, 5}) {
        SCOPED_TRACE(start);
        TextSlide deck;
        CHostShape* box = deck.AddText(L"Body", 100, 50, 400, 100);
        box->data.text.AddRun(L"one two three", TextFont(18));
        TextLinkData link;
        link.start = start;
        link.length = 3;
        link.click.action = ppActionHyperlink;
        link.click.hyperlink.address = L"http://example.com/";
        box->data.text.links.push_back(link);
        deck.MakeMovie(1.0f, true);
        const std::string linked = U8(box->data.text.text.substr(std::size_t(start), 3));

        FramePath frame = deck.Frame(box);
        std::string fromFrame;
        for (std::size_t l = 0; l < frame.content->GetParagraph(0)->GetLineCount(); ++l)
            for (const auto& piece : frame.content->GetParagraph(0)->GetLine(l)->GetPieces())
                if (piece->GetActionSettings() && !piece->GetActionSettings()->IsEmpty())
                    fromFrame += U8(piece->GetText());
        EXPECT_EQ(linked, fromFrame);

        std::shared_ptr<CShape> shape = deck.SlideShape(box);
        ASSERT_TRUE(shape->GetTextIndex());
        std::string fromIndex;
        for (const auto& paragraph : shape->GetTextIndex()->GetTextSprite(0)->GetParagraphs())
            for (const auto& line : paragraph->lines)
                for (const auto& word : line->words)
                    for (const auto& field : word->fields)
                        if (field->HasTextHyperlink()) fromIndex += U8(field->GetText());
        EXPECT_EQ(linked, fromIndex);
    }
}

// Wrapped, aligned, mixed, vertical and bulleted text at several scales: the shape-text-index
// path puts every stretch where the layout drew it, and both paths place the same slide alike.
TEST(BothPaths, SameSlideSamePlaces) {
    REQUIRE_TEXT_FONTS();
    struct Case {
        const char* name;
        PpParagraphAlignment alignment;
        MsoTextOrientation orientation;
        float scale;
        bool mixed;
        PpBulletType bullet;
    };
    const Case cases[] = {
        {"wrapped", ppAlignLeft, msoTextOrientationHorizontal, 1.0f, false, ppBulletNone},
        {"right-aligned", ppAlignRight, msoTextOrientationHorizontal, 1.0f, false, ppBulletNone},
        {"centred at scale 2", ppAlignCenter, msoTextOrientationHorizontal, 2.0f, false, ppBulletNone},
        {"mixed sizes", ppAlignLeft, msoTextOrientationHorizontal, 1.0f, true, ppBulletNone},
        {"vertical", ppAlignLeft, msoTextOrientationVerticalFarEast, 1.0f, false, ppBulletNone},
        {"vertical mixed at scale 1.5", ppAlignLeft, msoTextOrientationVerticalFarEast, 1.5f, true, ppBulletNone},
        {"bullets at scale 0.5", ppAlignLeft, msoTextOrientationHorizontal, 0.5f, false, ppBulletUnnumbered},
        {"numbers", ppAlignLeft, msoTextOrientationHorizontal, 1.0f, true, ppBulletNumbered},
        {"vertical numbers at scale 2", ppAlignLeft, msoTextOrientationVerticalFarEast, 2.0f, false, ppBulletNumbered},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextSlide deck;
        CHostShape* box = deck.AddText(L"Body", 100, 50, 160, 240);
        box->data.text.orientation = c.orientation;
        box->data.text.rulerLevels[0] = {0, 27};
        ParagraphData format;
        format.alignment = c.alignment;
        if (c.bullet != ppBulletNone) {
            format.bullet.visible = msoTrue;
            format.bullet.type = c.bullet;
        }
        box->data.text.AddRun(L"A paragraph long enough ", TextFont(18), format);
        box->data.text.AddRun(L"to wrap ", TextFont(c.mixed ? 30 : 18), format);
        box->data.text.AddRun(L"onto further lines\rAnd one more.", TextFont(c.mixed ? 12 : 18), format);
        deck.MakeMovie(c.scale);

        std::shared_ptr<CShape> shape = deck.SlideShape(box);
        ASSERT_TRUE(shape->GetTextIndex());
        const std::vector<Face> index = IndexFaces(*shape->GetTextIndex(), deck.Parent());
        ExpectAtLayout(index, box, c.scale);
        const std::vector<Face> frame = FrameFaces(deck.Frame(box));

        for (bool bullets : {false, true}) {
            const std::vector<Face> a = Without(frame, bullets), b = Without(index, bullets);
            EXPECT_EQ(bullets && c.bullet != ppBulletNone ? 2u : bullets ? 0u : a.size(), b.size());
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t i = 0; i < a.size(); ++i) {
                SCOPED_TRACE(U8(a[i].text));
                EXPECT_EQ(U8(a[i].text), U8(b[i].text));
                EXPECT_EQ(a[i].color, b[i].color);
                EXPECT_EQ(U8(a[i].html), U8(b[i].html));
                const float m[6] = {a[i].matrix.a, a[i].matrix.b,  a[i].matrix.c,
                                    a[i].matrix.d, a[i].matrix.tx, a[i].matrix.ty};
                const float n[6] = {b[i].matrix.a, b[i].matrix.b,  b[i].matrix.c,
                                    b[i].matrix.d, b[i].matrix.tx, b[i].matrix.ty};
                for (int k = 0; k < 6; ++k) EXPECT_NEAR(m[k], n[k], 1e-3f) << k;
            }
        }
        // Bullets of the index path stand where the layout drew them too.
        auto layout = TextSlide::Layout(box);
        int k = 0;
        for (const Face& face : Without(index, true)) {
            const fonts::layout::BulletPlacement expected = layout->BulletOf(k++);
            EXPECT_EQ(U8(expected.text), U8(face.text));
            const Baseline at = BaselineOf(face, c.scale);
            EXPECT_NEAR(expected.originX, at.x, 0.05f);
            EXPECT_NEAR(expected.originY, at.y, 0.05f);
        }
    }
}
