// Action-setting records of shapes and linked text, their lists and comparisons.

#include "PptFailureText.h"
#include "genswf/ppt/PptActionSetting.h"
#include "genswf/ppt/PptHyperlinks.h"
#include "genswf/slides/SlideActions.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

ActionData Link(const std::wstring& address, const std::wstring& subAddress = L"") {
    ActionData a;
    a.action = ppActionHyperlink;
    a.hyperlink.address = address;
    a.hyperlink.subAddress = subAddress;
    return a;
}

// A button linked on click and on mouse-over, and a text whose third to fifth characters are
// linked.
struct LinkedSlide {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = doc->AddSlide();
    CHostShape* button = slide->AddShape(msoAutoShape, L"Button", 10, 20, 100, 50);
    CHostShape* body = slide->AddTextBox(L"Body", 0, 100, 400, 40, L"A linked text.");

    LinkedSlide() {
        button->data.click = Link(L"https://example.org/a", L"top");
        button->data.over = Link(L"https://example.org/b");
        TextLinkData text;
        text.start = 2;
        text.length = 3;
        text.click = Link(L"", L"256,3,Title");
        body->data.text.links.push_back(text);
    }
    // The record of the slide's hyperlink at 0-based index.
    std::shared_ptr<CActionSetting> Record(LONG index) {
        CComPtr<Hyperlinks> links;
        EXPECT_EQ(S_OK, slide->Interface()->get_Hyperlinks(&links));
        CComPtr<Hyperlink> link;
        EXPECT_EQ(S_OK, links->Item(index + 1, &link));
        CComPtr<IUnknown> parent;
        EXPECT_EQ(S_OK, link->get_Parent(&parent));
        CComPtr<ActionSetting> setting;
        setting.Attach(QueryActionSetting(parent));
        CPptActionSetting wrapper(setting);
        return CActionSetting::Create(wrapper);
    }
};

std::shared_ptr<CActionSetting> Made(const std::wstring& name, LONG start, LONG length, LONG event, LONG action = 7) {
    auto s = std::make_shared<CActionSetting>();
    s->shapeName = name;
    s->textStart = start;
    s->textLength = length;
    s->mouseEvent = event;
    s->action = action;
    return s;
}

TEST(ActionSetting, RecordsOwnerCharactersAndMouseEvent) {
    LinkedSlide deck;
    // The slide lists the button's click and mouse-over links, then the text's.
    auto click = deck.Record(0);
    EXPECT_EQ(L"Button", click->shapeName);
    EXPECT_EQ(msoHyperlinkShape, click->hyperlinkType);
    EXPECT_EQ(ppActionHyperlink, click->action);
    EXPECT_EQ(ppMouseClick, click->mouseEvent);
    EXPECT_EQ(0, click->textStart);
    EXPECT_EQ(0, click->textLength);
    ASSERT_TRUE(click->hyperlink);
    EXPECT_EQ(L"https://example.org/a", click->hyperlink->GetAddress());
    EXPECT_EQ(L"top", click->hyperlink->GetSubAddress());

    auto over = deck.Record(1);
    EXPECT_EQ(L"Button", over->shapeName);
    EXPECT_EQ(ppMouseOver, over->mouseEvent);
    EXPECT_EQ(L"https://example.org/b", over->hyperlink->GetAddress());

    auto text = deck.Record(2);
    EXPECT_EQ(L"Body", text->shapeName);
    EXPECT_EQ(msoHyperlinkRange, text->hyperlinkType);
    EXPECT_EQ(3, text->textStart);  // 1-based, as the text range gives it
    EXPECT_EQ(3, text->textLength);
    EXPECT_EQ(ppMouseClick, text->mouseEvent);
    EXPECT_EQ(L"256,3,Title", text->hyperlink->GetSubAddress());
}

TEST(ActionSetting, MouseOverThatDoesWhatTheClickDoesIsNoSecondClick) {
    LinkedSlide deck;
    deck.button->data.over = deck.button->data.click;
    EXPECT_EQ(ppMouseClick, deck.Record(0)->mouseEvent);
    EXPECT_EQ(ppMouseOver, deck.Record(1)->mouseEvent);
}

TEST(ActionSetting, ObjectModelFailuresThrow) {
    const char* members[] = {"Shape.get_Name", "Shape.get_ActionSettings", "ActionSettings.Item", "TextRange.get_Start",
                             "TextRange.get_Length"};
    for (const char* member : members) {
        SCOPED_TRACE(member);
        LinkedSlide deck;
        deck.doc->Fail(member, E_FAIL);
        const LONG index = std::string(member).rfind("TextRange", 0) == 0 ? 2 : 0;
        const std::wstring message = bctest::PptFailureOf([&] { deck.Record(index); });
        EXPECT_NE(std::wstring::npos, message.find(L"PPT Exception in file genswf/src/slides/ActionSetting.cpp"))
            << std::string(message.begin(), message.end());
    }
}

TEST(ActionSetting, EqualityIgnoresActionAndTarget) {
    LinkedSlide deck;
    auto a = deck.Record(0);
    deck.button->data.click = Link(L"https://example.org/elsewhere");
    auto b = deck.Record(0);
    EXPECT_TRUE(a->IsEqual(*b));

    struct Case {
        const char* name;
        std::shared_ptr<CActionSetting> other;
        bool equal;
    };
    const auto base = Made(L"Title", 3, 4, 1);
    const Case cases[] = {
        {"other action", Made(L"Title", 3, 4, 1, 1), true}, {"name case", Made(L"title", 3, 4, 1), false},
        {"longer name", Made(L"Title ", 3, 4, 1), false},   {"start", Made(L"Title", 2, 4, 1), false},
        {"length", Made(L"Title", 3, 5, 1), false},         {"mouse over", Made(L"Title", 3, 4, 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.equal, base->IsEqual(*c.other));
    }
}

TEST(ActionSettingList, SameRecordsInAnyOrder) {
    auto ab = CreateActionSettingList();
    ab->Add(Made(L"A", 0, 0, 1));
    ab->Add(Made(L"B", 1, 2, 1));
    auto ba = CreateActionSettingList();
    ba->Add(Made(L"B", 1, 2, 1, 3));
    ba->Add(Made(L"A", 0, 0, 1));
    EXPECT_TRUE(ab->IsEqual(*ba));
    EXPECT_TRUE(ba->IsEqual(*ab));
    EXPECT_EQ(L"A", ab->GetAt(0)->shapeName);  // order of addition

    auto aab = CreateActionSettingList();
    aab->Add(Made(L"A", 0, 0, 1));
    aab->Add(Made(L"A", 0, 0, 1));
    aab->Add(Made(L"B", 1, 2, 1));
    EXPECT_FALSE(ab->IsEqual(*aab));
    EXPECT_FALSE(aab->IsEqual(*ab));

    auto ac = CreateActionSettingList();
    ac->Add(Made(L"A", 0, 0, 1));
    ac->Add(Made(L"C", 1, 2, 1));
    EXPECT_FALSE(ab->IsEqual(*ac));

    EXPECT_TRUE(CreateActionSettingList()->IsEqual(*CreateActionSettingList()));

    auto source = CreateHyperlinkButton(nullptr, ab, 4);
    EXPECT_EQ(ab, source->actionSettings);
    EXPECT_EQ(4, source->slideId);
}

}  // namespace
