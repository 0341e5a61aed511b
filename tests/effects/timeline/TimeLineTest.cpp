// Timeline effect records read over the in-memory host: the effect list of a main sequence,
// the per-shape lists, the record's text and frame arithmetic, and a slide's animation by
// the running version.

#include "genswf/animation/EffectRegistry.h"
#include "genswf/animation/TimeLine.h"
#include "genswf/utils/Exceptions.h"

#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

// Three effects: a box flying in from the left, the second paragraph of a title fading out,
// and one without a target shape.
struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = nullptr;
    CHostShape* box = nullptr;
    CHostShape* title = nullptr;
    CHostEffect* effects[3] = {};
    Deck() {
        slide = doc->AddSlide();
        box = slide->AddShape(msoAutoShape, L"Box", 10, 10, 100, 50);
        title = slide->AddTextBox(L"Title", 0, 0, 600, 80, L"One\rTwo\rThree");
        effects[0] = slide->AddEffect(box, msoAnimEffectFly);
        effects[0]->data.direction = msoAnimDirectionLeft;
        effects[1] = slide->AddEffect(nullptr, msoAnimEffectAppear);
        effects[2] = slide->AddEffect(title, msoAnimEffectFade);
        effects[2]->data.paragraph = 2;
        effects[2]->data.exit = msoTrue;
        effects[2]->data.duration = 0.75f;
        effects[2]->data.triggerDelayTime = 1.5f;
        effects[2]->data.triggerType = msoAnimTriggerAfterPrevious;
        effects[2]->data.buildByLevelEffect = msoAnimateTextByFirstLevel;
    }
    std::shared_ptr<CTimeLineAnimation> Animation(std::vector<std::wstring>* log = nullptr) {
        CComPtr<TimeLine> raw;
        EXPECT_GE(slide->Interface()->get_TimeLine(&raw), 0);
        CPptTimeLine timeLine(raw);
        return CTimeLineAnimation::Create(timeLine, [log](const std::wstring& line) {
            if (log) log->push_back(line);
        });
    }
};

class RegistryReset : public ::testing::Test {
protected:
    void TearDown() override { CEffectRegistry::CreateGlobal(nullptr); }
};

TEST(EffectList, KeepsEffectsWithATargetInSequenceOrder) {
    Deck d;
    auto list = d.Animation()->GetEffectList();
    ASSERT_EQ(2u, list->GetCount());
    auto fly = list->GetItem(0);
    auto fade = list->GetItem(1);
    EXPECT_EQ(0, fly->GetIndex());
    EXPECT_EQ(2, fade->GetIndex());
    EXPECT_EQ(L"Box", fly->GetTargetShapeName());
    EXPECT_EQ(2, fly->GetEffectType());
    EXPECT_EQ(4, fly->GetDirection());
    EXPECT_FALSE(fly->IsExit());
    EXPECT_TRUE(fly->IsShapeEffect());
    EXPECT_FALSE(fly->IsTextEffect());

    EXPECT_TRUE(fade->IsExit());
    EXPECT_EQ(1, fade->GetParagraph());  // PowerPoint's second paragraph
    EXPECT_TRUE(fade->IsTextEffect());
    EXPECT_FALSE(fade->IsShapeEffect());
    EXPECT_FLOAT_EQ(0.75f, fade->GetTiming()->GetDuration());
    EXPECT_FLOAT_EQ(1.5f, fade->GetTiming()->GetTriggerDelayTime());
    EXPECT_EQ(3, fade->GetTiming()->GetTriggerType());
    EXPECT_EQ(1, fade->GetTextBuildLevel());
    EXPECT_FALSE(fly->HasStartFrame());
}

TEST(EffectList, UnreadableParagraphAndTypeFallBackOtherFailuresCostTheEffectAlone) {
    Deck d;
    d.doc->Fail("Effect.get_Paragraph", E_FAIL, d.effects[2]);
    d.doc->Fail("Effect.get_EffectType", E_FAIL, d.effects[2]);
    auto list = d.Animation()->GetEffectList();
    ASSERT_EQ(2u, list->GetCount());
    EXPECT_TRUE(list->GetItem(1)->IsShapeEffect());
    EXPECT_EQ(1, list->GetItem(1)->GetEffectType());

    for (const char* member : {"Effect.get_Exit", "Effect.get_Timing", "Effect.get_Index", "Effect.get_Shape",
                               "Effect.get_EffectParameters", "Effect.get_EffectInformation", "Timing.get_Duration",
                               "Timing.get_TriggerType", "Timing.get_TriggerDelayTime", "Shape.get_Name"}) {
        Deck f;
        const bool ofShape = std::string(member).rfind("Shape.", 0) == 0;
        f.doc->Fail(member, E_FAIL, ofShape ? static_cast<const void*>(f.box) : f.effects[0]);
        std::vector<std::wstring> log;
        auto rest = f.Animation(&log)->GetEffectList();
        ASSERT_EQ(1u, rest->GetCount()) << member;
        EXPECT_EQ(L"Title", rest->GetItem(0)->GetTargetShapeName()) << member;
        ASSERT_EQ(1u, log.size()) << member;
        EXPECT_EQ(0u, log[0].find(L"Effect 1 of the slide's timeline cannot be read")) << member;
    }
}

TEST(EffectList, ShapesOfOneNameKeepTheirOwnEffects) {
    Deck d;
    CHostShape* twin = d.slide->AddShape(msoAutoShape, L"Box", 300, 10, 100, 50);
    d.slide->AddEffect(twin, static_cast<MsoAnimEffect>(22));
    auto list = d.Animation()->GetEffectList();
    auto mine = list->GetEffectsForShape(L"Box", d.box->data.id);
    ASSERT_EQ(1u, mine->GetCount());
    EXPECT_EQ(2, mine->GetItem(0)->GetEffectType());
    auto theirs = list->GetEffectsForShape(L"Box", twin->data.id);
    ASSERT_EQ(1u, theirs->GetCount());
    EXPECT_EQ(22, theirs->GetItem(0)->GetEffectType());
    // Without Ids on either side the name decides.
    EXPECT_EQ(2u, list->GetEffectsForShape(L"Box")->GetCount());
}

TEST(EffectList, PerShapeListsCompareNamesExactly) {
    Deck d;
    CHostShape* lower = d.slide->AddShape(msoAutoShape, L"box", 0, 0, 10, 10);
    d.slide->AddEffect(lower, static_cast<MsoAnimEffect>(22));
    d.slide->AddEffect(d.box, static_cast<MsoAnimEffect>(23));
    auto list = d.Animation()->GetEffectList();
    auto forBox = list->GetEffectsForShape(L"Box");
    ASSERT_EQ(2u, forBox->GetCount());
    EXPECT_EQ(2, forBox->GetItem(0)->GetEffectType());
    EXPECT_EQ(23, forBox->GetItem(1)->GetEffectType());
    auto forLower = list->GetEffectsForShape(L"box");
    ASSERT_EQ(1u, forLower->GetCount());
    EXPECT_EQ(22, forLower->GetItem(0)->GetEffectType());
    EXPECT_EQ(0u, list->GetEffectsForShape(L"Bo")->GetCount());
}

TEST(TimeLineEffect, TextFlagBuildLevelAndFrameArithmetic) {
    struct LevelCase {
        int byLevel, level;
    };
    for (LevelCase c : {LevelCase{0, -1}, {1, 0}, {2, 1}, {6, 5}, {7, -1}, {-3, -1}}) {
        CTimeLineEffect::Values v;
        v.information = std::make_shared<CEffectInformation>(c.byLevel, false);
        EXPECT_EQ(c.level, CTimeLineEffect(v).GetTextBuildLevel()) << c.byLevel;
    }

    CTimeLineEffect::Values v;
    v.paragraph = -1;
    CTimeLineEffect effect(v);
    EXPECT_FALSE(effect.IsTextEffect());
    effect.SetTextFlag();
    EXPECT_TRUE(effect.IsTextEffect());
    EXPECT_TRUE(effect.IsShapeEffect());
    EXPECT_EQ(0, effect.GetDirection());  // no parameters

    effect.SetStartFrame(12);
    effect.SetEndFrame(12);
    EXPECT_EQ(1u, effect.GetDuration());
    EXPECT_FLOAT_EQ(0.0f, effect.GetProgress(12));
    effect.SetStartFrame(10);
    effect.SetEndFrame(20);
    EXPECT_TRUE(effect.HasStartFrame() && effect.HasEndFrame());
    EXPECT_FLOAT_EQ(0.5f, effect.GetProgress(15));
    EXPECT_FLOAT_EQ(1.0f, effect.GetProgress(20));
    // An end before the start, or a frame before it, never wraps to a huge span or progress.
    EXPECT_FLOAT_EQ(0.0f, effect.GetProgress(4));
    effect.SetEndFrame(5);
    EXPECT_EQ(1u, effect.GetDuration());
    EXPECT_FLOAT_EQ(1.0f, effect.GetProgress(11));
}

TEST_F(RegistryReset, SlideAnimationFollowsTheVersion) {
    Deck d;
    CEffectRegistry::CreateGlobal(nullptr);
    EXPECT_THROW(CTimeLineAnimation::CreateForSlide(d.slide->Interface()), CBaseException);

    CEffectRegistry::CreateGlobal(d.doc->Application());
    EXPECT_EQ(2u, CTimeLineAnimation::CreateForSlide(d.slide->Interface())->GetEffectList()->GetCount());

    d.doc->Fail("Slide.get_TimeLine", E_FAIL);
    EXPECT_EQ(0u, CTimeLineAnimation::CreateForSlide(d.slide->Interface())->GetEffectList()->GetCount());
    d.doc->ClearFaults();

    d.doc->version = L"9.0";
    CEffectRegistry::CreateGlobal(d.doc->Application());
    d.doc->ResetCalls();
    EXPECT_EQ(0u, CTimeLineAnimation::CreateForSlide(d.slide->Interface())->GetEffectList()->GetCount());
    EXPECT_EQ(0, d.doc->Calls("Slide.get_TimeLine"));
}

}  // namespace
