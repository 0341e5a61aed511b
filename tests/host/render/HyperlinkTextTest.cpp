// Hyperlinked text on a slide's picture: drawn in the hyperlink colour of the slide's colour
// scheme and underlined, as the application shows it; text whose range has no action keeps its
// own colour.

#include "powerpoint/render/HostRender.h"

#include <gtest/gtest.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

// A slide whose master and slide schemes have different hyperlink colours, with "plain link" in
// black 40-point text; the characters of "link" are returned for the case to change.
CHostShape* Deck(CHostDocumentRef& doc) {
    doc = CHostDocument::Create();
    CHostSlide* slide = doc->AddSlide();
    doc->Master()->colorScheme[6] = 0x00C000;  // green: the master's, which the slide overrides
    slide->colorScheme[6] = 0x0000FF;          // red (0x00BBGGRR)
    CHostShape* box = slide->AddTextBox(L"Text", 100, 100, 500, 100, L"plain link");
    for (FontData& f : box->data.text.charFonts) {
        f.size = 40;
        f.color.rgb = 0x000000;
    }
    return box;
}

render::Raster Picture(CHostShape* box) {
    return render::RenderSlideRaster(SlideDrawingOf(box->Document()->Slides()[0]), 720, 540);
}

}  // namespace

TEST(HyperlinkText, TakesTheSlidesHyperlinkColourAndAnUnderline) {
    // What a linked range looks like: red (the slide's hyperlink colour) and underlined.
    CHostDocumentRef expectedDoc;
    CHostShape* expectedBox = Deck(expectedDoc);
    for (int k = 6; k < 10; ++k) {
        expectedBox->data.text.charFonts[k].color.rgb = 0x0000FF;
        expectedBox->data.text.charFonts[k].underline = msoTrue;
    }
    const render::Raster expected = Picture(expectedBox);
    CHostDocumentRef plainDoc;
    const render::Raster plain = Picture(Deck(plainDoc));
    ASSERT_NE(expected.rgba, plain.rgba);

    struct Case {
        const char* what;
        PpActionType click, over;
        bool linked;
    } cases[] = {
        {"a hyperlink on click", ppActionHyperlink, ppActionNone, true},
        {"a jump to the next slide on mouse over", ppActionNone, ppActionNextSlide, true},
        {"a range without an action", ppActionNone, ppActionNone, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CHostDocumentRef doc;
        CHostShape* box = Deck(doc);
        TextLinkData link;
        link.start = 6;
        link.length = 4;
        link.click.action = c.click;
        link.over.action = c.over;
        box->data.text.links.push_back(link);
        EXPECT_TRUE(Picture(box).rgba == (c.linked ? expected.rgba : plain.rgba));
    }
}
