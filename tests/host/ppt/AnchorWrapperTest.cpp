// Hyperlink anchors over the in-memory host (the shape a hyperlink belongs to and, for linked
// text, which characters) and the text frame a shape hands out.

#include "WrapperTestSupport.h"
#include "genswf/ppt/PptHyperlinks.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace wrapperstest;

namespace {

TEST(HyperlinkAnchor, NamesTheShapeAndTheLinkedCharacters) {
    LinkedSlide deck;
    deck.button->data.over.action = ppActionHyperlink;
    CPptHyperlink onShape(deck.HyperlinkAt(1));
    auto shapeAnchor = CreateHyperlinkAnchor(onShape);
    EXPECT_EQ(L"Button", shapeAnchor->GetShapeName());
    EXPECT_EQ(L"https://example.org/b", shapeAnchor->GetAddress());
    EXPECT_EQ(L"", shapeAnchor->GetSubAddress());
    EXPECT_EQ(msoHyperlinkShape, shapeAnchor->GetType());
    EXPECT_EQ(ppActionHyperlink, shapeAnchor->GetAction());
    EXPECT_EQ(0, shapeAnchor->GetStart());
    EXPECT_EQ(0, shapeAnchor->GetLength());

    // Text linked from the 11th character on, 6 characters long.
    CPptHyperlink onText(deck.HyperlinkAt(2));
    auto textAnchor = CreateHyperlinkAnchor(onText);
    EXPECT_EQ(L"Body", textAnchor->GetShapeName());
    EXPECT_EQ(L"report.html", textAnchor->GetAddress());
    EXPECT_EQ(msoHyperlinkRange, textAnchor->GetType());
    EXPECT_EQ(10, textAnchor->GetStart());
    EXPECT_EQ(6, textAnchor->GetLength());
    EXPECT_EQ(ppActionHyperlink, textAnchor->GetAction());

    struct Case {
        const char* member;
        LONG item;
        std::wstring message;
    };
    const Case cases[] = {
        {"Hyperlink.get_Parent", 0, L"PPT Exception in file genswf/include/genswf/ppt/Ppt.h at line 23"},
        {"ActionSetting.get_Action", 0, PptMessage("PptActionSetting.cpp", 21)},
        {"ActionSetting.get_Parent", 2, L"PPT Exception in file genswf/include/genswf/ppt/Ppt.h at line 23"},
        {"Shape.get_Name", 0, PptMessage("PptShape.cpp", 231)},
        {"TextRange.get_Start", 2, PptMessage("PptTextRange.cpp", 118)},
        {"TextRange.get_Length", 2, PptMessage("PptTextRange.cpp", 127)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        LinkedSlide d;
        CPptHyperlink link(d.HyperlinkAt(c.item));
        d.doc->Fail(c.member, E_FAIL);
        EXPECT_EQ(c.message, bctest::PptFailureOf([&] { CreateHyperlinkAnchor(link); }));
    }
}

TEST(ShapeWrapper, TextFrameIsMadeOnceAndShared) {
    OneSlide deck;
    CHostShape* node = deck.slide->AddTextBox(L"Title", 0, 0, 300, 40, L"Agenda");
    auto shape = CreatePptShape(node->Interface());
    auto frame = shape->GetTextFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame, shape->GetTextFrame());
    EXPECT_EQ(msoTrue, frame->GetHasText());
    EXPECT_EQ(1, deck.doc->Calls("Shape.get_TextFrame"));

    // No frame: the read fails like any other and is asked again next time.
    CHostShape* line = deck.Add(msoLine, L"Line");
    line->data.hasTextFrame = msoFalse;
    auto bare = CreatePptShape(line->Interface());
    EXPECT_EQ(PptMessage("PptShape.cpp", 87), bctest::PptFailureOf([&] { bare->GetTextFrame(); }));
    EXPECT_EQ(PptMessage("PptShape.cpp", 87), bctest::PptFailureOf([&] { bare->GetTextFrame(); }));
    EXPECT_EQ(3, deck.doc->Calls("Shape.get_TextFrame"));
}

}  // namespace
