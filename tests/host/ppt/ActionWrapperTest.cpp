// The interactivity wrappers over the in-memory host: a slide's hyperlinks, one hyperlink, a
// mouse action, and the snapshot of a shape's entry animation.

#include "WrapperTestSupport.h"
#include "genswf/ppt/PptActionSetting.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/ppt/PptHyperlinks.h"

#include <algorithm>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace wrapperstest;

namespace {

TEST(HyperlinkWrappers, ASlideListsItsHyperlinksOnce) {
    {
        OneSlide plain;
        plain.Add(msoAutoShape, L"Box");
        CComPtr<Hyperlinks> links;
        ASSERT_EQ(S_OK, plain.slide->Interface()->get_Hyperlinks(&links));
        CPptHyperlinks none(links);
        EXPECT_EQ(0, none.GetCount());
        EXPECT_EQ(nullptr, none.GetItemPtr(0));
        EXPECT_EQ(0, plain.doc->Calls("Hyperlinks.Item"));
    }
    LinkedSlide deck;
    CPptHyperlinks all(deck.SlideHyperlinks());
    ASSERT_EQ(3, all.GetCount());
    EXPECT_EQ(3, deck.doc->Calls("Hyperlinks.Item"));
    const wchar_t* addresses[] = {L"https://example.org/a", L"https://example.org/b", L"report.html"};
    for (LONG i = 0; i < 3; ++i) {
        CComPtr<Hyperlink> item;
        item.Attach(all.GetItemPtr(i));
        ASSERT_TRUE(item);
        EXPECT_EQ(addresses[i], CPptHyperlink(item).GetAddress());
    }
    EXPECT_EQ(nullptr, all.GetItemPtr(3));
    EXPECT_EQ(nullptr, all.GetItemPtr(-1));
    EXPECT_EQ(3, deck.doc->Calls("Hyperlinks.Item")) << "items come from the list made once";

    struct Case {
        const char* member;
        int skip;
        int line;
    };
    for (const Case& c :
         {Case{"Hyperlinks.get_Count", 0, 21}, Case{"Hyperlinks.Item", 0, 26}, Case{"Hyperlinks.Item", 2, 26}}) {
        SCOPED_TRACE(std::string(c.member) + " after " + std::to_string(c.skip));
        LinkedSlide d;
        CComPtr<Hyperlinks> links = d.SlideHyperlinks();
        d.doc->Fail(c.member, E_FAIL, nullptr, 1, c.skip);
        EXPECT_EQ(PptMessage("PptHyperlinks.cpp", c.line),
                  bctest::PptFailureOf([&] { CPptHyperlinks failing(links); }));
    }
}

TEST(HyperlinkWrappers, AHyperlinkIsReadWhenMade) {
    LinkedSlide deck;
    CPptHyperlink onShape(deck.HyperlinkAt(0));
    EXPECT_EQ(msoHyperlinkShape, onShape.GetType());
    EXPECT_EQ(L"https://example.org/a", onShape.GetAddress());
    EXPECT_EQ(L"top", onShape.GetSubAddress());
    EXPECT_EQ(L"", onShape.GetTextToDisplay());
    EXPECT_EQ(0, deck.doc->Calls("Hyperlink.get_TextToDisplay")) << "a shape hyperlink has no text to read";

    CPptHyperlink onText(deck.HyperlinkAt(2));
    EXPECT_EQ(msoHyperlinkRange, onText.GetType());
    EXPECT_EQ(L"report.html", onText.GetAddress());
    EXPECT_EQ(L"", onText.GetSubAddress());
    EXPECT_EQ(L"report", onText.GetTextToDisplay());

    struct Case {
        const char* member;
        LONG item;
        int line;
    };
    for (const Case& c : {Case{"Hyperlink.get_Type", 0, 20}, Case{"Hyperlink.get_Address", 0, 21},
                          Case{"Hyperlink.get_SubAddress", 0, 22}, Case{"Hyperlink.get_TextToDisplay", 2, 25}}) {
        SCOPED_TRACE(c.member);
        LinkedSlide d;
        CComPtr<Hyperlink> link = d.HyperlinkAt(c.item);
        d.doc->Fail(c.member, E_FAIL);
        EXPECT_EQ(PptMessage("PptHyperlink.cpp", c.line), bctest::PptFailureOf([&] { CPptHyperlink failing(link); }));
    }
}

TEST(HyperlinkWrappers, HyperlinksCompareByTheirTarget) {
    struct Case {
        const char* name;
        HyperlinkData a, b;
        bool equal;
    };
    const Case cases[] = {
        {"same place, other text", {L"a.html", L"s", L"one"}, {L"a.html", L"s", L"two"}, true},
        {"other sub-address", {L"a.html", L"s1", L""}, {L"a.html", L"s2", L""}, false},
        {"other address", {L"a.html", L"", L""}, {L"b.html", L"", L""}, false},
        {"case counts", {L"A.html", L"", L""}, {L"a.html", L"", L""}, false},
        {"a prefix is not enough", {L"a.html", L"s", L""}, {L"a.html", L"s1", L""}, false},
        {"both empty", {L"", L"", L""}, {L"", L"", L""}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OneSlide deck;
        CHostShape* box = deck.slide->AddTextBox(L"Body", 0, 0, 300, 40, L"first second");
        TextLinkData first{0, 5, {}, {}}, second{6, 6, {}, {}};
        first.click.action = second.click.action = ppActionHyperlink;
        first.click.hyperlink = c.a;
        second.click.hyperlink = c.b;
        box->data.text.links = {first, second};
        CComPtr<Hyperlinks> links;
        ASSERT_EQ(S_OK, deck.slide->Interface()->get_Hyperlinks(&links));
        CComPtr<Hyperlink> a, b;
        ASSERT_EQ(S_OK, links->Item(1, &a));
        ASSERT_EQ(S_OK, links->Item(2, &b));
        EXPECT_EQ(c.equal, CPptHyperlink(a) == CPptHyperlink(b));
        EXPECT_EQ(c.equal, CPptHyperlink(b) == CPptHyperlink(a));
    }
}

TEST(ActionSettingWrapper, ReadsItsActionAndComparesWithAnother) {
    LinkedSlide deck;
    deck.button->data.click.animateAction = msoTrue;
    CPptActionSetting click(deck.Action(deck.button, ppMouseClick));
    CPptActionSetting over(deck.Action(deck.button, ppMouseOver));
    EXPECT_EQ(ppActionHyperlink, click.GetAction());
    EXPECT_EQ(msoTrue, click.GetAnimateAction());
    EXPECT_EQ(msoFalse, over.GetAnimateAction());

    // Different animation: no hyperlink is read.
    EXPECT_FALSE(click.IsEqual(over));
    EXPECT_EQ(0, deck.doc->Calls("ActionSetting.get_Hyperlink"));

    // The same action on click and mouse-over: the hyperlinks decide.
    deck.button->data.click.animateAction = msoFalse;
    CPptActionSetting sameClick(deck.Action(deck.button, ppMouseClick));
    EXPECT_FALSE(sameClick.IsEqual(over)) << "different addresses";
    deck.button->data.over = deck.button->data.click;
    CPptActionSetting sameOver(deck.Action(deck.button, ppMouseOver));
    EXPECT_TRUE(sameClick.IsEqual(sameOver));
    EXPECT_TRUE(sameOver.IsEqual(sameClick));
    EXPECT_EQ(3, deck.doc->Calls("ActionSetting.get_Hyperlink")) << "each setting reads its hyperlink once";

    // The parent tells a shape's action from a text's.
    IUnknown* parent = click.GetParent();
    Shape* shape = QueryShape(parent);
    EXPECT_NE(nullptr, shape);
    EXPECT_EQ(nullptr, QueryTextRange(parent));
    shape->Release();
    parent->Release();

    struct Case {
        const char* member;
        int line;
    };
    for (const Case& c : {Case{"ActionSetting.get_Action", 21}, Case{"ActionSetting.get_AnimateAction", 22}}) {
        SCOPED_TRACE(c.member);
        LinkedSlide d;
        CComPtr<ActionSetting> action = d.Action(d.button, ppMouseClick);
        d.doc->Fail(c.member, E_FAIL);
        EXPECT_EQ(PptMessage("PptActionSetting.cpp", c.line),
                  bctest::PptFailureOf([&] { CPptActionSetting failing(action); }));
    }
    LinkedSlide d;
    CPptActionSetting action(d.Action(d.button, ppMouseClick));
    d.doc->Fail("ActionSetting.get_Hyperlink", E_FAIL, nullptr, 1);
    EXPECT_EQ(PptMessage("PptActionSetting.cpp", 34), bctest::PptFailureOf([&] { action.GetHyperlink(); }));
    Hyperlink* link = action.GetHyperlink();
    ASSERT_NE(nullptr, link);
    link->Release();
    EXPECT_EQ(2, d.doc->Calls("ActionSetting.get_Hyperlink"));
}

// Which AnimationSettings members a snapshot asked for.
std::vector<std::string> ReadMembers(CHostDocument& doc) {
    std::vector<std::string> read;
    for (const char* m :
         {"get_Animate", "get_AnimationOrder", "get_AfterEffect", "get_DimColor", "get_AdvanceMode", "get_EntryEffect",
          "get_AdvanceTime", "get_TextLevelEffect", "get_AnimateTextInReverse", "get_AnimateBackground"})
        if (doc.Calls(std::string("AnimationSettings.") + m) > 0) read.push_back(m);
    return read;
}

TEST(AnimationSettingsSnapshot, ReadsOnlyWhatTheAnimationNeeds) {
    struct Case {
        const char* name;
        MsoTriState animate;
        PpAfterEffect afterEffect;
        bool hasText;
        std::vector<std::string> read;
    };
    const std::vector<std::string> common = {"get_Animate",          "get_AnimationOrder", "get_AfterEffect",
                                             "get_AdvanceMode",      "get_EntryEffect",    "get_AdvanceTime",
                                             "get_AnimateBackground"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> all;
        for (const char* m : {"get_Animate", "get_AnimationOrder", "get_AfterEffect", "get_DimColor", "get_AdvanceMode",
                              "get_EntryEffect", "get_AdvanceTime", "get_TextLevelEffect", "get_AnimateTextInReverse",
                              "get_AnimateBackground"})
            if (std::find(common.begin(), common.end(), m) != common.end() ||
                std::find(extra.begin(), extra.end(), m) != extra.end())
                all.push_back(m);
        return all;
    };
    const Case cases[] = {
        {"not animated", msoFalse, ppAfterEffectDim, true, {"get_Animate"}},
        {"animated, hidden after", msoTrue, ppAfterEffectHide, false, with({})},
        {"animated, dimmed after", msoTrue, ppAfterEffectDim, false, with({"get_DimColor"})},
        {"animated text", msoTrue, ppAfterEffectNothing, true,
         with({"get_TextLevelEffect", "get_AnimateTextInReverse"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OneSlide deck;
        CHostShape* node = deck.Add(msoTextBox, L"Animated");
        AnimationData& a = node->data.animation;
        a.animate = c.animate;
        a.animationOrder = 3;
        a.afterEffect = c.afterEffect;
        a.dimColor.rgb = 0x336699;
        a.advanceMode = ppAdvanceOnTime;
        a.advanceTime = 1.5f;
        a.entryEffect = ppEffectAppear;
        a.textLevelEffect = ppAnimateByAllLevels;
        a.animateTextInReverse = msoTrue;
        a.animateBackground = msoTrue;
        CComPtr<AnimationSettings> settings;
        ASSERT_EQ(S_OK, node->Interface()->get_AnimationSettings(&settings));
        CShape* owner = reinterpret_cast<CShape*>(node);  // only kept, never used
        CRefPtr<CPptAnimationSettings> snapshot = CreatePptAnimationSettings(settings, owner, c.hasText);
        EXPECT_EQ(1, snapshot->GetRefCount());
        EXPECT_EQ(owner, snapshot->GetOwner());
        EXPECT_EQ(c.read, ReadMembers(*deck.doc));
        EXPECT_EQ(c.animate, snapshot->GetAnimate());
        if (c.animate != msoTrue) {
            EXPECT_EQ(-1, snapshot->GetAnimationOrder());
            EXPECT_EQ(0, snapshot->GetEntryEffect());
            continue;
        }
        EXPECT_EQ(3, snapshot->GetAnimationOrder());
        EXPECT_EQ(c.afterEffect, snapshot->GetAfterEffect());
        EXPECT_EQ(c.afterEffect == ppAfterEffectDim ? 0x336699u : 0u, snapshot->GetDimColor());
        EXPECT_EQ(ppAdvanceOnTime, snapshot->GetAdvanceMode());
        EXPECT_FLOAT_EQ(1.5f, snapshot->GetAdvanceTime());
        EXPECT_EQ(ppEffectAppear, snapshot->GetEntryEffect());
        EXPECT_EQ(c.hasText ? ppAnimateByAllLevels : 0, snapshot->GetTextLevelEffect());
        EXPECT_EQ(c.hasText ? msoTrue : msoFalse, snapshot->GetAnimateTextInReverse());
        EXPECT_EQ(msoTrue, snapshot->GetAnimateBackground());
        // A snapshot never reads again.
        a.entryEffect = ppEffectCut;
        EXPECT_EQ(ppEffectAppear, snapshot->GetEntryEffect());
    }
}

TEST(AnimationSettingsSnapshot, FailedReadsKeepTheirStartValues) {
    OneSlide deck;
    CHostShape* node = deck.Add(msoAutoShape, L"Animated");
    node->data.animation.animate = msoTrue;
    node->data.animation.animationOrder = 2;
    node->data.animation.afterEffect = ppAfterEffectDim;
    node->data.animation.entryEffect = ppEffectAppear;
    node->data.animation.advanceTime = 4.0f;
    CComPtr<AnimationSettings> settings;
    ASSERT_EQ(S_OK, node->Interface()->get_AnimationSettings(&settings));
    deck.doc->Fail("AnimationSettings.get_AnimationOrder", E_FAIL);
    deck.doc->Fail("AnimationSettings.get_DimColor", E_FAIL);
    deck.doc->Fail("AnimationSettings.get_EntryEffect", E_FAIL);
    CRefPtr<CPptAnimationSettings> snapshot;
    EXPECT_NO_THROW(snapshot = CreatePptAnimationSettings(settings, nullptr, false));
    EXPECT_EQ(-1, snapshot->GetAnimationOrder());
    EXPECT_EQ(0u, snapshot->GetDimColor());
    EXPECT_EQ(0, snapshot->GetEntryEffect());
    EXPECT_FLOAT_EQ(4.0f, snapshot->GetAdvanceTime()) << "later reads still happen";

    // Even the first read failing, or no settings at all, makes a plain snapshot.
    deck.doc->Fail("AnimationSettings.get_Animate", E_FAIL);
    EXPECT_EQ(0, CreatePptAnimationSettings(settings, nullptr, true)->GetAnimate());
    EXPECT_EQ(-1, CreatePptAnimationSettings(nullptr, nullptr, true)->GetAnimationOrder());
}

}  // namespace
