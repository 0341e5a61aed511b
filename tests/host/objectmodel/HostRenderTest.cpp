// Shape.Export and Slide.Export: pictures of the requested size, drawn from the host's state
// (fills, backgrounds, master graphics, text, headers and footers), written deterministically.

#include "FileBytes.h"
#include "PngSize.h"
#include "TempDir.h"
#include "powerpoint/render/HostRender.h"
#include "render/BcWmf.h"

#include <gtest/gtest.h>

#include <array>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

using namespace PowerPoint;
using namespace PowerPoint::Host;
namespace fs = std::filesystem;

namespace {

// A text box without fill or line on the master: left, top, width, height in points.
CHostShape* AddMasterTextBox(CHostDocument& doc, const std::array<float, 4>& place, const std::wstring& text) {
    CHostShape* box = doc.Master()->shapes.emplace_back(doc.Make<CHostShape>(&doc, doc.Master()));
    box->data.type = msoTextBox;
    box->data.left = place[0];
    box->data.top = place[1];
    box->data.width = place[2];
    box->data.height = place[3];
    box->data.hasTextFrame = msoTrue;
    box->data.fill.visible = msoFalse;
    box->data.line.visible = msoFalse;
    box->data.text.AddRun(text);
    return box;
}

constexpr std::uint32_t kRed = 0x0000FF, kBlue = 0xFF0000;  // 0x00BBGGRR

std::uint32_t Rgb(std::uint32_t pixel) { return pixel >> 8; }  // 0xRRGGBB of 0xRRGGBBAA
std::uint32_t Alpha(std::uint32_t pixel) { return pixel & 0xFF; }

struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = doc->AddSlide();
    CHostShape* box;
    Deck() {
        box = slide->AddShape(msoAutoShape, L"Box", 100, 100, 100, 50);
        box->data.fill.foreColor.rgb = kRed;
        box->data.line.visible = msoFalse;
    }
};

TEST(HostRender, ShapeExportWritesThePictureAtTheSlidesScale) {
    CScratchFolder dir;
    Deck d;
    struct Case {
        const char* name;
        LONG scaleWidth, scaleHeight;  // the slide (720 x 540 points) in pixels
        int width, height;
    };
    const Case cases[] = {
        {"one pixel a point", 720, 540, 100, 50},
        {"twice", 1440, 1080, 200, 100},
        {"wider than high", 360, 1080, 50, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring file = (dir / (std::string(c.name) + ".png")).wstring();
        ASSERT_EQ(S_OK,
                  d.box->Interface()->Export(CBstr(file), ppShapeFormatPNG, c.scaleWidth, c.scaleHeight, ppScaleXY));
        const std::vector<std::uint8_t> png = bctest::FileBytes(file);
        EXPECT_EQ(std::make_pair(c.width, c.height), bctest::PngSize(png));
        EXPECT_EQ(6, png[25]);  // colour type: RGB with alpha
        // The same state gives the same bytes.
        const std::wstring again = (dir / (std::string(c.name) + "-again.png")).wstring();
        ASSERT_EQ(S_OK,
                  d.box->Interface()->Export(CBstr(again), ppShapeFormatPNG, c.scaleWidth, c.scaleHeight, ppScaleXY));
        EXPECT_EQ(png, bctest::FileBytes(again));
    }
    // What the picture shows: the fill, opaque, over the whole frame.
    const render::Raster r = render::RenderShapeRaster(ShapeDrawingOf(d.box), 1, 1);
    EXPECT_EQ(0xFF0000u, Rgb(r.At(50, 25)));
    EXPECT_EQ(255u, Alpha(r.At(1, 1)));

    // The metafile holds the outline and the fill as the compiler reads them.
    const std::wstring wmf = dir / L"box.wmf";
    ASSERT_EQ(S_OK, d.box->Interface()->Export(CBstr(wmf), ppShapeFormatWMF, 720, 540, ppScaleXY));
    render::WmfFile parsed;
    std::string error;
    ASSERT_TRUE(render::ReadWmf(bctest::FileBytes(wmf), parsed, &error)) << error;
    EXPECT_TRUE(parsed.placeable);
    bool brush = false, outline = false;
    for (const render::WmfRecord& rec : parsed.records) {
        brush |= rec.function == render::WmfCreateBrushIndirect;
        outline |= rec.function == render::WmfRectangle || rec.function == render::WmfPolygon;
    }
    EXPECT_TRUE(brush);
    EXPECT_TRUE(outline);
}

TEST(HostRender, GeometryFollowsTheFilesShapeTypeUntilTheAutoShapeTypeChanges) {
    Deck d;
    d.box->data.shapeType = 5;  // a triangle, as loaded
    d.box->data.autoShapeType = msoShapeIsoscelesTriangle;
    render::Raster r = render::RenderShapeRaster(ShapeDrawingOf(d.box), 1, 1);
    EXPECT_EQ(0u, Alpha(r.At(2, 2)));  // beside the apex
    EXPECT_EQ(255u, Alpha(r.At(50, 45)));
    d.box->data.autoShapeType = msoShapeRectangle;  // changed through the object model
    r = render::RenderShapeRaster(ShapeDrawingOf(d.box), 1, 1);
    EXPECT_EQ(255u, Alpha(r.At(2, 2)));
    // A freeform draws the file's own vertices: a triangle pointing down.
    d.box->data.type = msoFreeform;
    d.box->data.shapeType = 0;
    d.box->data.geometry.vertices = {0, 0, 100, 0, 50, 100};
    d.box->data.geometry.geoRight = d.box->data.geometry.geoBottom = 100;
    r = render::RenderShapeRaster(ShapeDrawingOf(d.box), 1, 1);
    EXPECT_EQ(255u, Alpha(r.At(50, 5)));
    EXPECT_EQ(0u, Alpha(r.At(5, 45)));
}

TEST(HostRender, ExportRefusesBadRequestsWithoutWritingAFile) {
    CScratchFolder dir;
    Deck d;
    const std::wstring file = dir / L"x.png";
    CComPtr<Shape> shape = d.box->Interface();
    struct Case {
        const char* name;
        std::function<HRESULT()> call;
        HRESULT expected;
    };
    const Case cases[] = {
        {"no scale", [&] { return shape->Export(CBstr(file), ppShapeFormatPNG, 0, 540, ppScaleXY); }, E_INVALIDARG},
        {"negative scale", [&] { return shape->Export(CBstr(file), ppShapeFormatPNG, 720, -1, ppScaleXY); },
         E_INVALIDARG},
        {"scale to fit", [&] { return shape->Export(CBstr(file), ppShapeFormatPNG, 720, 540, ppScaleToFit); },
         E_INVALIDARG},
        {"GIF", [&] { return shape->Export(CBstr(file), ppShapeFormatGIF, 720, 540, ppScaleXY); }, E_NOTIMPL},
        {"unknown filter", [&] { return shape->Export(CBstr(file), 77, 720, 540, ppScaleXY); }, E_INVALIDARG},
        {"no path", [&] { return shape->Export(CBstr(L""), ppShapeFormatPNG, 720, 540, ppScaleXY); }, E_INVALIDARG},
        {"picture too large",
         [&] { return shape->Export(CBstr(file), ppShapeFormatPNG, 2000000000, 2000000000, ppScaleXY); }, E_FAIL},
        {"slide as JPEG", [&] { return d.slide->Interface()->Export(CBstr(file), CBstr(L"jpg"), 720, 540); },
         E_NOTIMPL},
        {"slide without size", [&] { return d.slide->Interface()->Export(CBstr(file), CBstr(L"png"), 0, 540); },
         E_INVALIDARG},
        {"slide too large", [&] { return d.slide->Interface()->Export(CBstr(file), CBstr(L"PNG"), 100000, 100000); },
         E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.call());
        EXPECT_FALSE(fs::exists(dir / "x.png"));
    }
    const std::wstring missing = dir / L"no/such/folder/x.png";
    EXPECT_TRUE(FAILED(shape->Export(CBstr(missing), ppShapeFormatPNG, 720, 540, ppScaleXY)));
    EXPECT_TRUE(FAILED(d.slide->Interface()->Export(CBstr(missing), CBstr(L"png"), 720, 540)));
    // Injected faults reach the caller like any other member's.
    d.doc->Fail("Slide.Export", E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, d.slide->Interface()->Export(CBstr(file), CBstr(L"png"), 720, 540));
}

TEST(HostRender, SlideExportDrawsBackgroundMasterGraphicsAndVisibleShapes) {
    CScratchFolder dir;
    Deck d;
    d.doc->Master()->background.fill.foreColor.rgb = kBlue;
    CHostShape* stripe = d.doc->Master()->shapes.emplace_back(d.doc->Make<CHostShape>(d.doc.Get(), d.doc->Master()));
    stripe->data.type = msoAutoShape;
    stripe->data.left = 0;
    stripe->data.top = 0;
    stripe->data.width = 720;
    stripe->data.height = 20;
    stripe->data.fill.foreColor.rgb = 0x00FF00;
    stripe->data.line.visible = msoFalse;
    CHostShape* hidden = d.slide->AddShape(msoAutoShape, L"Hidden", 400, 300, 50, 50);
    hidden->data.fill.foreColor.rgb = 0;
    hidden->data.visible = msoFalse;

    const std::wstring file = dir / L"slide.png";
    ASSERT_EQ(S_OK, d.slide->Interface()->Export(CBstr(file), CBstr(L"png"), 960, 720));
    EXPECT_EQ(std::make_pair(960, 720), bctest::PngSize(bctest::FileBytes(file)));

    const render::Raster r = render::RenderSlideRaster(SlideDrawingOf(d.slide), 720, 540);
    EXPECT_EQ(0x0000FFu, Rgb(r.At(600, 400)));  // the master's background
    EXPECT_EQ(0x00FF00u, Rgb(r.At(300, 10)));   // the master's graphics
    EXPECT_EQ(0xFF0000u, Rgb(r.At(150, 125)));  // the slide's shape
    EXPECT_EQ(0x0000FFu, Rgb(r.At(425, 325)));  // a hidden shape is not drawn

    // A slide of its own background; master placeholders never show.
    d.slide->followMasterBackground = msoFalse;
    d.slide->background.fill.foreColor.rgb = 0x00FFFF;
    stripe->data.type = msoPlaceholder;
    const render::Raster own = render::RenderSlideRaster(SlideDrawingOf(d.slide), 720, 540);
    EXPECT_EQ(0xFFFF00u, Rgb(own.At(600, 400)));
    EXPECT_EQ(0xFFFF00u, Rgb(own.At(300, 10)));
}

// The glyphs lie inside the bounds that the text range reports for them.
TEST(HostRender, TextIsDrawnWhereTheLayoutPutsIt) {
    Deck d;
    CHostShape* text = d.slide->AddTextBox(L"Text", 50, 50, 300, 100, L"");
    FontData big;
    big.size = 40;
    big.color.rgb = 0;
    text->data.text.AddRun(L"HIH", big);
    text->data.fill.visible = msoFalse;
    text->data.line.visible = msoFalse;

    CComPtr<TextFrame> frame;
    ASSERT_EQ(S_OK, text->Interface()->get_TextFrame(&frame));
    CComPtr<TextRange> all, middle;
    ASSERT_EQ(S_OK, frame->get_TextRange(&all));
    ASSERT_EQ(S_OK, all->Characters(2, 1, &middle));
    float left = 0, top = 0, width = 0, height = 0;
    middle->get_BoundLeft(&left);
    middle->get_BoundTop(&top);
    middle->get_BoundWidth(&width);
    middle->get_BoundHeight(&height);

    // Shape pictures start at the frame's corner; one pixel a point.
    const render::Raster r = render::RenderShapeRaster(ShapeDrawingOf(text), 1, 1);
    int inside = 0, outside = 0;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            if (Alpha(r.At(x, y)) < 128) continue;
            const float sx = float(x) + 50.5f, sy = float(y) + 50.5f;  // the pixel's centre on the slide
            if (sx >= left && sx <= left + width && sy >= top && sy <= top + height)
                ++inside;
            else if (sy < top - 1 || sy > top + height + 1)
                ++outside;  // above or below the line
        }
    EXPECT_GT(inside, 100);  // the letter I, 40 points high
    EXPECT_EQ(0, outside);

    // A duplicate without text draws no glyph at all.
    text->data.text.text.clear();
    const render::Raster empty = render::RenderShapeRaster(ShapeDrawingOf(text), 1, 1);
    for (std::size_t i = 3; i < empty.rgba.size(); i += 4) ASSERT_EQ(0, empty.rgba[i]);
}

// Linked text takes the slide's hyperlink colour and is underlined, as PowerPoint draws it; the
// text around it keeps its own colour and no line.
TEST(HostRender, LinkedTextTakesTheHyperlinkColourUnderlined) {
    constexpr std::uint32_t kGreen = 0x00FF00;
    Deck d;
    d.slide->colorScheme[6] = kGreen;
    CHostShape* text = d.slide->AddTextBox(L"Text", 0, 0, 400, 100, L"");
    FontData big;
    big.size = 40;
    big.color.rgb = 0;
    text->data.text.AddRun(L"HIH HIH", big);
    text->data.fill.visible = msoFalse;
    text->data.line.visible = msoFalse;
    TextLinkData link;
    link.start = 4;
    link.length = 3;
    link.click.action = ppActionHyperlink;
    link.click.hyperlink.address = L"http://example.invalid/";
    text->data.text.links.push_back(link);

    CComPtr<TextFrame> frame;
    ASSERT_EQ(S_OK, text->Interface()->get_TextFrame(&frame));
    CComPtr<TextRange> all, linked;
    ASSERT_EQ(S_OK, frame->get_TextRange(&all));
    ASSERT_EQ(S_OK, all->Characters(5, 3, &linked));
    float linkLeft = 0;
    linked->get_BoundLeft(&linkLeft);

    const render::Raster r = render::RenderShapeRaster(ShapeDrawingOf(text), 1, 1);
    int plainBlack = 0, plainGreen = 0, linkGreen = 0, linkBlack = 0;
    int lowestPlain = -1, lowestLink = -1;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const std::uint32_t px = r.At(x, y);
            if (Alpha(px) < 250) continue;
            const bool inLink = float(x) >= linkLeft;
            const bool green = Rgb(px) == kGreen, black = Rgb(px) == 0;
            (inLink ? linkGreen : plainGreen) += green;
            (inLink ? linkBlack : plainBlack) += black;
            (inLink ? lowestLink : lowestPlain) = y;
        }
    EXPECT_GT(plainBlack, 100);
    EXPECT_EQ(0, plainGreen);
    EXPECT_GT(linkGreen, 100);
    EXPECT_EQ(0, linkBlack);
    // The line runs under the letters, which have no descenders.
    EXPECT_GT(lowestLink, lowestPlain);
}

// Hiding the headers and footers changes the picture only where they are drawn.
TEST(HostRender, HeadersAndFootersChangeOnlyTheirOwnArea) {
    Deck d;
    HeadersFootersData& hf = d.slide->headersFooters;
    hf.footer.visible = msoTrue;
    hf.footer.text = L"Company footer";
    hf.slideNumber.visible = msoTrue;
    hf.dateAndTime.visible = msoTrue;
    hf.dateAndTime.text = L"1/2/2003";
    const render::Raster with = render::RenderSlideRaster(SlideDrawingOf(d.slide), 720, 540);

    CComPtr<HeadersFooters> headers;
    ASSERT_EQ(S_OK, d.slide->Interface()->get_HeadersFooters(&headers));
    for (auto get : {&HeadersFooters::get_Footer, &HeadersFooters::get_SlideNumber, &HeadersFooters::get_DateAndTime}) {
        CComPtr<HeaderFooter> element;
        ASSERT_EQ(S_OK, ((*headers).*get)(&element));
        ASSERT_EQ(S_OK, element->put_Visible(msoFalse));
    }
    const render::Raster without = render::RenderSlideRaster(SlideDrawingOf(d.slide), 720, 540);
    int changed = 0;
    bool left = false, centre = false, right = false;
    for (int y = 0; y < 540; ++y)
        for (int x = 0; x < 720; ++x)
            if (with.At(x, y) != without.At(x, y)) {
                ++changed;
                ASSERT_GE(y, 492) << x;
                left |= x < 204;
                centre |= x > 246 && x < 474;
                right |= x > 516;
            }
    EXPECT_GT(changed, 0);
    EXPECT_TRUE(left && centre && right);

    // A placeholder of the master places its element and gives it its font.
    CHostShape* number = d.doc->Master()->shapes.emplace_back(d.doc->Make<CHostShape>(d.doc.Get(), d.doc->Master()));
    number->data.type = msoPlaceholder;
    number->data.placeholderType = ppPlaceholderSlideNumber;
    number->data.left = 20;
    number->data.top = 20;
    number->data.width = 100;
    number->data.height = 40;
    number->data.fill.visible = msoFalse;
    number->data.line.visible = msoFalse;
    number->data.text.AddRun(L"#");
    hf.slideNumber.visible = msoTrue;
    const render::Raster numbered = render::RenderSlideRaster(SlideDrawingOf(d.slide), 720, 540);
    for (int y = 0; y < 540; ++y)
        for (int x = 0; x < 720; ++x)
            if (numbered.At(x, y) != without.At(x, y)) {
                ASSERT_TRUE(x >= 20 && x < 120 && y >= 20 && y < 60) << x << ", " << y;
            }
}

// A slide's own footer placeholder replaces the master's footer and hides with it.
TEST(HostRender, ASlidesOwnFooterPlaceholderStandsInForTheMasters) {
    Deck d;
    HeadersFootersData& hf = d.slide->headersFooters;
    hf.footer.visible = msoTrue;
    hf.footer.text = L"Company footer";
    CHostShape* footer = d.slide->AddTextBox(L"Footer Placeholder 2", 300, 20, 200, 30, L"Company footer");
    footer->data.type = msoPlaceholder;
    footer->data.placeholderType = ppPlaceholderFooter;
    std::vector<CHostShape*> drawn;
    SlideDrawingOf(d.slide, &drawn);
    EXPECT_EQ((std::vector<CHostShape*>{d.box, footer}), drawn);

    hf.footer.visible = msoFalse;
    SlideDrawingOf(d.slide, &drawn);
    EXPECT_EQ(std::vector<CHostShape*>{d.box}, drawn);

    // Another placeholder is an ordinary shape: it shows whatever the footer does.
    footer->data.placeholderType = 2;  // body
    SlideDrawingOf(d.slide, &drawn);
    EXPECT_EQ((std::vector<CHostShape*>{d.box, footer}), drawn);
}

// A master's fields show the values of the slide they are drawn on: a slide number field in a
// master's text box draws exactly as the plain number would, on each slide its own; a footer
// field takes the slide's footer, an empty one shows nothing.
TEST(HostRender, FieldsOfTheMasterShowEachSlidesValues) {
    struct Case {
        const char* name;
        TextFieldData::Kind kind;
        int slide;  // 1-based
        std::wstring footer, expected;
    };
    const Case cases[] = {
        {"number on slide 1", TextFieldData::SlideNumber, 1, L"", L"Page 1 of the deck"},
        {"number on slide 2", TextFieldData::SlideNumber, 2, L"", L"Page 2 of the deck"},
        {"footer", TextFieldData::Footer, 2, L"Quarterly", L"Page Quarterly of the deck"},
        {"empty footer", TextFieldData::Footer, 2, L"", L"Page  of the deck"},
    };
    auto drawWith = [](const std::wstring& text, const TextFieldData* field, int slideNumber,
                       const std::wstring& footer) {
        CHostDocumentRef doc = CHostDocument::Create();
        doc->AddSlide();
        CHostSlide* second = doc->AddSlide();
        CHostSlide* slide = slideNumber == 1 ? doc->Slides().front() : second;
        slide->headersFooters.footer.text = footer;
        CHostShape* box = AddMasterTextBox(*doc, {40, 40, 400, 60}, text);
        if (field) box->data.text.fields.push_back(*field);
        return render::RenderSlideRaster(SlideDrawingOf(slide), 360, 270);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TextFieldData field{c.kind, 5, L"*"};
        const render::Raster withField = drawWith(L"Page * of the deck", &field, c.slide, c.footer);
        const render::Raster plain = drawWith(c.expected, nullptr, c.slide, c.footer);
        const render::Raster star = drawWith(L"Page * of the deck", nullptr, c.slide, c.footer);
        EXPECT_EQ(withField.rgba, plain.rgba);
        EXPECT_NE(withField.rgba, star.rgba);
    }
}

}  // namespace

// Exports remember what they drew for the document; every change that shows on the picture
// must still show on the next export.
TEST(HostRender, RepeatedExportsShowEveryChange) {
    CScratchFolder dir;
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* first = doc->AddSlide();
    CHostSlide* second = doc->AddSlide();
    CHostMaster* master = doc->Master();
    CHostShape* stripe = master->shapes.emplace_back(doc->Make<CHostShape>(doc.Get(), master));
    stripe->data.left = 0;
    stripe->data.width = 720;
    stripe->data.height = 30;
    stripe->data.fill.foreColor.rgb = kBlue;
    CHostShape* page = AddMasterTextBox(*doc, {40, 60, 300, 40}, L"Page *");
    page->data.text.fields.push_back({TextFieldData::SlideNumber, 5, L"*"});
    for (CHostSlide* slide : {first, second}) slide->headersFooters.slideNumber.visible = msoTrue;
    CHostShape* box = first->AddShape(msoAutoShape, L"Box", 100, 200, 100, 50);
    box->data.fill.foreColor.rgb = kRed;

    int exports = 0;
    auto slidePicture = [&](CHostSlide* slide) {
        const std::wstring file = dir / (L"slide" + std::to_wstring(++exports) + L".png");
        EXPECT_EQ(S_OK, slide->Interface()->Export(CBstr(file), CBstr(L"png"), 360, 270));
        // What the slide draws now, without anything remembered.
        EXPECT_EQ(render::RenderSlidePng(SlideDrawingOf(slide), 360, 270), bctest::FileBytes(file));
        return bctest::FileBytes(file);
    };
    auto shapePicture = [&] {
        const std::wstring file = dir / (L"shape" + std::to_wstring(++exports) + L".png");
        EXPECT_EQ(S_OK, box->Interface()->Export(CBstr(file), ppShapeFormatPNG, 720, 540, ppScaleXY));
        EXPECT_EQ(render::RenderShapePng(ShapeDrawingOf(box), 1, 1), bctest::FileBytes(file));
        return bctest::FileBytes(file);
    };
    EXPECT_NE(slidePicture(first), slidePicture(second));  // each its own page number

    struct Change {
        const char* name;
        std::function<void()> apply;
    };
    const Change changes[] = {
        {"master text colour", [&] { page->data.text.charFonts[2].color.rgb = kRed; }},
        {"master text size",
         [&] {
             for (FontData& f : page->data.text.charFonts) f.size = 24;
             doc->Touch();
         }},
        {"master text", [&] { page->data.text.AddRun(L"!"); }},
        {"master graphics", [&] { stripe->data.fill.foreColor.rgb = 0x00FF00; }},
        {"master background", [&] { master->background.fill.foreColor.rgb = 0xEEEEEE; }},
        {"scheme shadow colour",
         [&] {
             page->data.text.charFonts[0].shadow = msoTrue;
             doc->Touch();
             master->colorScheme[2] = kBlue;
         }},
        {"footer",
         [&] {
             first->headersFooters.footer.visible = msoTrue;
             first->headersFooters.footer.text = L"Draft";
         }},
        {"slide's shape", [&] { box->data.fill.foreColor.rgb = kBlue; }},
        {"slide order", [&] { std::swap(doc->MutableSlides()[0], doc->MutableSlides()[1]); }},
    };
    std::vector<std::uint8_t> before = slidePicture(first);
    std::vector<std::uint8_t> shapeBefore = shapePicture();
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        c.apply();
        const std::vector<std::uint8_t> after = slidePicture(first);
        EXPECT_NE(before, after);
        before = after;
        const std::vector<std::uint8_t> shapeAfter = shapePicture();
        if (std::string(c.name) == "slide's shape") {
            EXPECT_NE(shapeBefore, shapeAfter);
        }
        shapeBefore = shapeAfter;
    }
}
