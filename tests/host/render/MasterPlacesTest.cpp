// What a slide shows beyond its shapes' frames: dates, footers and slide numbers where their
// master has a placeholder for them (a master whose footer placeholder was deleted shows no
// footer, one made without any placeholder shows them where a new master would), and text that
// overflows its frame.

#include "powerpoint/render/HostRender.h"

#include <gtest/gtest.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

constexpr LONG kTitle = 1;  // the title placeholder's kind

CHostShape* AddPlaceholder(CHostDocument* doc, LONG kind, float left, float top) {
    CHostShape* s = doc->Master()->shapes.emplace_back(doc->Make<CHostShape>(doc, doc->Master()));
    s->data.type = msoPlaceholder;
    s->data.placeholderType = kind;
    s->data.left = left;
    s->data.top = top;
    s->data.width = 200;
    s->data.height = 36;
    s->data.fill.visible = msoFalse;
    s->data.line.visible = msoFalse;
    s->data.text.AddRun(L"x");
    return s;
}

// The pixels that change when the slide's headers and footers are hidden, as a box.
struct Changed {
    int count = 0, left = 720, top = 540, right = 0, bottom = 0;
};

Changed WhatTheFooterDraws(CHostSlide* slide) {
    HeadersFootersData& hf = slide->headersFooters;
    hf.footer.visible = msoTrue;
    hf.footer.text = L"Company footer";
    const render::Raster with = render::RenderSlideRaster(SlideDrawingOf(slide), 720, 540);
    hf.footer.visible = msoFalse;
    const render::Raster without = render::RenderSlideRaster(SlideDrawingOf(slide), 720, 540);
    Changed c;
    for (int y = 0; y < 540; ++y)
        for (int x = 0; x < 720; ++x)
            if (with.At(x, y) != without.At(x, y)) {
                ++c.count;
                c.left = std::min(c.left, x);
                c.top = std::min(c.top, y);
                c.right = std::max(c.right, x);
                c.bottom = std::max(c.bottom, y);
            }
    return c;
}

}  // namespace

TEST(MasterPlaces, AFooterShowsWhereItsMasterHasAPlaceForIt) {
    {
        SCOPED_TRACE("a master made without placeholders: the new master's place at the bottom");
        CHostDocumentRef doc = CHostDocument::Create();
        const Changed c = WhatTheFooterDraws(doc->AddSlide());
        EXPECT_GT(c.count, 0);
        EXPECT_GE(c.top, 492);
    }
    {
        SCOPED_TRACE("a master with a title but no footer placeholder: no footer");
        CHostDocumentRef doc = CHostDocument::Create();
        AddPlaceholder(doc.Get(), kTitle, 50, 20);
        AddPlaceholder(doc.Get(), ppPlaceholderSlideNumber, 500, 490);
        EXPECT_EQ(WhatTheFooterDraws(doc->AddSlide()).count, 0);
    }
    {
        SCOPED_TRACE("the master's footer placeholder places it");
        CHostDocumentRef doc = CHostDocument::Create();
        AddPlaceholder(doc.Get(), kTitle, 50, 20);
        AddPlaceholder(doc.Get(), ppPlaceholderFooter, 100, 300);
        const Changed c = WhatTheFooterDraws(doc->AddSlide());
        EXPECT_GT(c.count, 0);
        EXPECT_GE(c.left, 100);
        EXPECT_GE(c.top, 300);
        EXPECT_LT(c.bottom, 336 + 4);
    }
}

TEST(MasterPlaces, TextOverflowingItsFrameUpwardIsDrawnWhole) {
    // A title anchored at the bottom of a frame one line high, with three lines of text: the two
    // lines above the frame show on the slide, not cut at its top.
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = doc->AddSlide();
    CHostShape* title = slide->AddTextBox(L"Title", 100, 300, 400, 40, L"one\rtwo\rthree");
    title->data.text.verticalAnchor = msoAnchorBottom;
    for (FontData& f : title->data.text.charFonts) f.size = 24;
    const render::Raster r = render::RenderSlideRaster(SlideDrawingOf(slide), 720, 540);
    int above = 0, inside = 0;
    for (int y = 0; y < 540; ++y)
        for (int x = 100; x < 500; ++x) {
            if ((r.At(x, y) >> 8 & 0xFF) > 128) continue;  // light: not ink
            (y < 300 ? above : inside) += 1;
        }
    EXPECT_GT(inside, 0);
    EXPECT_GT(above, inside);  // two lines above the frame, one in it
}
