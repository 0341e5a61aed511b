// Text ranges: the application's 1-based item collections, fonts, paragraphs and text links.

#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

std::wstring Text(TextRange* r) {
    BSTR b = nullptr;
    EXPECT_EQ(S_OK, r->get_Text(&b));
    std::wstring s = WStringFromBstr(b);
    SysFreeString(b);
    return s;
}

struct TextDeck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape;
    CComPtr<TextRange> all;
    TextDeck() {
        shape = doc->AddSlide()->AddShape(msoTextBox, L"Body", 0, 0, 300, 200);
        shape->data.hasTextFrame = msoTrue;
        FontData bold;
        bold.bold = msoTrue;
        ParagraphData numbered;
        numbered.bullet.type = ppBulletNumbered;
        numbered.bullet.visible = msoTrue;
        numbered.bullet.startValue = 3;
        shape->data.text.AddRun(L"One two", FontData(), numbered);
        shape->data.text.AddRun(L" three\r", bold, numbered);
        shape->data.text.AddRun(L"Four.", FontData(), numbered);
        CComPtr<TextFrame> frame;
        EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
        EXPECT_EQ(S_OK, frame->get_TextRange(&all));
    }
};

struct SubCase {
    const char* name;
    HRESULT (TextRange::*method)(LONG, LONG, TextRange**);
    LONG start, length;
    std::wstring text;
    LONG rangeStart;  // 1-based, as the range reports it
    LONG count;
};

TEST(HostText, ItemCollectionsCountFromOne) {
    const SubCase cases[] = {
        {"all paragraphs", &TextRange::Paragraphs, -1, -1, L"One two three\rFour.", 1, 2},
        {"all words, counted from 0", &TextRange::Words, 0, -1, L"One two three\rFour.", 1, 4},
        {"second paragraph", &TextRange::Paragraphs, 2, -1, L"Four.", 15, 1},
        {"beyond the last paragraph", &TextRange::Paragraphs, 3, -1, L"", 20, 0},
        {"first word keeps its space", &TextRange::Words, 1, -1, L"One ", 1, 1},
        {"third word takes the paragraph mark", &TextRange::Words, 3, -1, L"three\r", 9, 1},
        {"two words", &TextRange::Words, 2, 2, L"two three\r", 5, 2},
        {"runs split at the bold change", &TextRange::Runs, 2, -1, L" three\r", 8, 1},
        {"eleventh character", &TextRange::Characters, 11, 5, L"ree\rF", 11, 5},
        {"zero length", &TextRange::Characters, 2, 0, L"", 2, 0},
    };
    for (const SubCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextDeck d;
        CComPtr<TextRange> sub;
        ASSERT_EQ(S_OK, ((*d.all).*c.method)(c.start, c.length, &sub));
        EXPECT_EQ(c.text, Text(sub));
        LONG start = 0, count = -1;
        sub->get_Start(&start);
        sub->get_Count(&count);
        EXPECT_EQ(c.rangeStart, start);
        EXPECT_EQ(c.count, count);
    }
    TextDeck d;
    CComPtr<TextRange> bad;
    EXPECT_EQ(E_INVALIDARG, d.all->Paragraphs(0, 1, &bad));
    EXPECT_EQ(E_INVALIDARG, d.all->Words(1, -5, &bad));
    EXPECT_EQ(E_INVALIDARG, d.all->Words(0, 1, &bad));
}

TEST(HostText, FontsParagraphsAndBulletNumbers) {
    TextDeck d;
    CComPtr<TextRange> second;
    d.all->Runs(2, -1, &second);
    CComPtr<Font> font;
    ASSERT_EQ(S_OK, second->get_Font(&font));
    MsoTriState bold = 0;
    font->get_Bold(&bold);
    EXPECT_EQ(msoTrue, bold);
    ASSERT_EQ(S_OK, font->put_Size(30));
    EXPECT_EQ(30.0f, d.shape->data.text.charFonts[8].size);
    EXPECT_EQ(18.0f, d.shape->data.text.charFonts[0].size);

    CComPtr<TextRange> para2;
    d.all->Paragraphs(2, 1, &para2);
    CComPtr<ParagraphFormat> format;
    para2->get_ParagraphFormat(&format);
    CComPtr<BulletFormat> bullet;
    format->get_Bullet(&bullet);
    LONG number = 0;
    bullet->get_Number(&number);
    EXPECT_EQ(4, number);  // starts at 3, second numbered paragraph
}

TEST(HostText, TextLinksReachTheirRangeFrameAndShape) {
    TextDeck d;
    d.shape->data.text.links.push_back({4, 3, ActionData(), ActionData()});
    d.shape->data.text.links[0].click.action = ppActionHyperlink;
    d.shape->data.text.links[0].click.hyperlink.address = L"http://example.org/";

    CComPtr<Hyperlinks> links;
    d.shape->Slide()->Interface()->get_Hyperlinks(&links);
    LONG count = 0;
    links->get_Count(&count);
    ASSERT_EQ(1, count);
    CComPtr<Hyperlink> link;
    ASSERT_EQ(S_OK, links->Item(1, &link));
    MsoHyperlinkType type = -1;
    link->get_Type(&type);
    EXPECT_EQ(msoHyperlinkRange, type);
    CComPtr<IUnknown> parent;
    ASSERT_EQ(S_OK, link->get_Parent(&parent));
    CComPtr<ActionSetting> action;
    ASSERT_EQ(S_OK, parent.QueryInterface(&action));
    CComPtr<IUnknown> owner;
    ASSERT_EQ(S_OK, action->get_Parent(&owner));
    CComPtr<TextRange> range;
    ASSERT_EQ(S_OK, owner.QueryInterface(&range));
    EXPECT_EQ(L"two", Text(range));
    CComPtr<IUnknown> frameUnknown;
    range->get_Parent(&frameUnknown);
    CComPtr<TextFrame> frame;
    ASSERT_EQ(S_OK, frameUnknown.QueryInterface(&frame));
    CComPtr<IUnknown> shapeUnknown;
    frame->get_Parent(&shapeUnknown);
    CComPtr<Shape> shape;
    ASSERT_EQ(S_OK, shapeUnknown.QueryInterface(&shape));
    EXPECT_EQ(d.shape->Interface().Get(), shape.Get());

    // Replacing text before the link moves it; replacing the linked text drops it.
    CComPtr<TextRange> first;
    d.all->Words(1, 1, &first);
    ASSERT_EQ(S_OK, first->put_Text(CBstr(L"A ")));
    ASSERT_EQ(1u, d.shape->data.text.links.size());
    EXPECT_EQ(2, d.shape->data.text.links[0].start);
    EXPECT_EQ(L"A two three\rFour.", d.shape->data.text.text);
    EXPECT_EQ(d.shape->data.text.text.size(), d.shape->data.text.charFonts.size());
}

// Thousands of ranges over one text: each one asked for again is the same object with its own
// characters, however many were made in between.
TEST(HostText, RangesStayThemselvesAmongThousands) {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape = doc->AddSlide()->AddShape(msoTextBox, L"Body", 0, 0, 300, 200);
    std::wstring text;
    for (int i = 0; i < 3000; ++i) text.push_back(static_cast<wchar_t>(L'a' + i % 26));
    shape->SetText(text);
    CComPtr<TextFrame> frame;
    ASSERT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
    CComPtr<TextRange> all;
    ASSERT_EQ(S_OK, frame->get_TextRange(&all));
    std::vector<CComPtr<TextRange>> first(text.size());
    for (LONG i = 0; i < static_cast<LONG>(text.size()); ++i) ASSERT_EQ(S_OK, all->Characters(i + 1, 1, &first[i]));
    for (LONG i = 0; i < static_cast<LONG>(text.size()); i += 7) {
        CComPtr<TextRange> again;
        ASSERT_EQ(S_OK, all->Characters(i + 1, 1, &again));
        EXPECT_EQ(first[i].Get(), again.Get()) << i;
        EXPECT_EQ(text.substr(static_cast<std::size_t>(i), 1), Text(again)) << i;
    }
    // A font hands out one colour object, whichever call asks.
    CComPtr<Font> font;
    ASSERT_EQ(S_OK, first[10]->get_Font(&font));
    CComPtr<ColorFormat> color, colorAgain;
    ASSERT_EQ(S_OK, font->get_Color(&color));
    ASSERT_EQ(S_OK, font->get_Color(&colorAgain));
    EXPECT_EQ(color.Get(), colorAgain.Get());
}

}  // namespace
