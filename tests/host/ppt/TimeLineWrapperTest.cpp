// The timeline wrappers over the in-memory host: main sequence, effects in order, their timing,
// parameters and information, the defaults that stand in for unreadable values, and the stored
// records made from them.

#include "WrapperTestSupport.h"
#include "genswf/ppt/PptTimeLine.h"

#include <gtest/gtest.h>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace wrapperstest;

namespace {

// A slide with three effects: a box flying in, the second paragraph of a title leaving, and one
// without a target shape.
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
        effects[1] = slide->AddEffect(title, msoAnimEffectFade);
        effects[1]->data.paragraph = 2;
        effects[1]->data.exit = msoTrue;
        effects[1]->data.duration = 0.75f;
        effects[1]->data.triggerDelayTime = 1.5f;
        effects[1]->data.triggerType = msoAnimTriggerAfterPrevious;
        effects[1]->data.animateTextInReverse = msoTrue;
        effects[1]->data.buildByLevelEffect = msoAnimateTextByFirstLevel;
        effects[2] = slide->AddEffect(nullptr, msoAnimEffectAppear);
    }
};

// The wrappers as the effect list makes them, each on first use; Effect() is effect 1.
struct Walk {
    Deck& d;
    std::unique_ptr<CPptTimeLine> timeLine;
    std::unique_ptr<CPptSequence> sequence;
    std::unique_ptr<CPptEffect> effect;
    std::unique_ptr<CPptTiming> timing;
    std::unique_ptr<CPptEffectParameters> parameters;
    std::unique_ptr<CPptEffectInformation> information;

    explicit Walk(Deck& deck) : d(deck) {
        CComPtr<TimeLine> raw;
        d.slide->Interface()->get_TimeLine(&raw);
        timeLine = std::make_unique<CPptTimeLine>(raw);
    }
    CPptSequence& Sequence() {
        if (!sequence) {
            PowerPoint::Sequence* p = timeLine->GetMainSequencePtr();
            sequence = std::make_unique<CPptSequence>(p);
            p->Release();
        }
        return *sequence;
    }
    CPptEffect& Effect(LONG i = 1) {
        if (!effect) {
            PowerPoint::Effect* p = Sequence().GetItem(i);
            effect = std::make_unique<CPptEffect>(p);
            p->Release();
        }
        return *effect;
    }
    CPptTiming& Timing() {
        if (!timing) {
            PowerPoint::Timing* p = Effect().GetTimingPtr();
            timing = std::make_unique<CPptTiming>(p);
            p->Release();
        }
        return *timing;
    }
    CPptEffectParameters& Parameters() {
        if (!parameters) {
            PowerPoint::EffectParameters* p = Effect().GetEffectParametersPtr();
            parameters = std::make_unique<CPptEffectParameters>(p);
            p->Release();
        }
        return *parameters;
    }
    CPptEffectInformation& Information() {
        if (!information) {
            PowerPoint::EffectInformation* p = Effect().GetEffectInformationPtr();
            information = std::make_unique<CPptEffectInformation>(p);
            p->Release();
        }
        return *information;
    }
};

template <class I>
void ReleaseIt(I* p) {
    if (p) p->Release();
}

struct ReadCase {
    const char* name;
    const char* member;
    std::function<void(Walk&)> read;
    const char* source;
    int line;
};

TEST(TimeLineWrappers, EachValueIsReadOnceAndAFailureIsRetried) {
    const ReadCase cases[] = {
        {"main sequence", "TimeLine.get_MainSequence", [](Walk& w) { ReleaseIt(w.timeLine->GetMainSequencePtr()); },
         "PptTimeLine", 31},
        {"sequence item", "Sequence.Item", [](Walk& w) { ReleaseIt(w.Sequence().GetItem(2)); }, "PptSequence", 35},
        {"effect shape", "Effect.get_Shape", [](Walk& w) { ReleaseIt(w.Effect().GetShapePtr()); }, "PptEffect", 106},
        {"effect index", "Effect.get_Index", [](Walk& w) { w.Effect().GetIndex(); }, "PptEffect", 137},
        {"effect timing", "Effect.get_Timing", [](Walk& w) { ReleaseIt(w.Effect().GetTimingPtr()); }, "PptEffect", 147},
        {"effect parameters", "Effect.get_EffectParameters",
         [](Walk& w) { ReleaseIt(w.Effect().GetEffectParametersPtr()); }, "PptEffect", 53},
        {"effect exit", "Effect.get_Exit", [](Walk& w) { w.Effect().GetExit(); }, "PptEffect", 95},
        {"effect information", "Effect.get_EffectInformation",
         [](Walk& w) { ReleaseIt(w.Effect().GetEffectInformationPtr()); }, "PptEffect", 44},
        {"duration", "Timing.get_Duration", [](Walk& w) { w.Timing().GetDuration(); }, "PptTiming", 77},
        {"trigger type", "Timing.get_TriggerType", [](Walk& w) { w.Timing().GetTriggerType(); }, "PptTiming", 179},
        {"trigger delay", "Timing.get_TriggerDelayTime", [](Walk& w) { w.Timing().GetTriggerDelayTime(); }, "PptTiming",
         157},
        {"text in reverse", "EffectInformation.get_AnimateTextInReverse",
         [](Walk& w) { w.Information().GetAnimateTextInReverse(); }, "PptEffectInformation", 56},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        Walk w(d);
        d.doc->Fail(c.member, E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage(c.source, c.line), bctest::PptFailureOf([&] { c.read(w); }));
        EXPECT_EQ(1, d.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(w));
        EXPECT_EQ(2, d.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(w));
        EXPECT_EQ(2, d.doc->Calls(c.member)) << "kept after the first good read";
    }
}

TEST(TimeLineWrappers, UnreadableTypeParagraphDirectionAndLevelGiveDefaultsOnce) {
    struct Case {
        const char* name;
        const char* member;
        std::function<LONG(Walk&)> read;
        LONG fallback;
        LONG value;  // what a good read gives
    };
    const Case cases[] = {
        {"effect type", "Effect.get_EffectType", [](Walk& w) { return w.Effect().GetEffectType(); }, 1,
         msoAnimEffectFade},
        {"paragraph", "Effect.get_Paragraph", [](Walk& w) { return w.Effect().GetParagraph(); }, -1, 1},
        {"direction", "EffectParameters.get_Direction", [](Walk& w) { return w.Parameters().GetDirection(); }, 0, 0},
        {"build by level", "EffectInformation.get_BuildByLevelEffect",
         [](Walk& w) { return w.Information().GetBuildByLevelEffect(); }, 0, msoAnimateTextByFirstLevel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            Deck d;
            Walk w(d);
            d.doc->Fail(c.member, E_FAIL, nullptr, 1);
            EXPECT_EQ(c.fallback, c.read(w));
            EXPECT_EQ(c.fallback, c.read(w)) << "the default is kept; the failure is not retried";
            EXPECT_EQ(1, d.doc->Calls(c.member));
        }
        Deck d;
        Walk w(d);
        EXPECT_EQ(c.value, c.read(w));
        EXPECT_EQ(c.value, c.read(w));
        EXPECT_EQ(1, d.doc->Calls(c.member));
    }
}

TEST(TimeLineWrappers, PositionsAreZeroBased) {
    // Paragraph: 0 (the whole shape) gives -1, PowerPoint's 2 gives 1.
    const std::pair<LONG, LONG> paragraphs[] = {{0, -1}, {1, 0}, {2, 1}, {7, 6}};
    for (const auto& [given, expected] : paragraphs) {
        Deck d;
        d.effects[1]->data.paragraph = given;
        Walk w(d);
        EXPECT_EQ(expected, w.Effect().GetParagraph()) << given;
    }
    // Index: the first effect (PowerPoint's 1) is 0; item i is PowerPoint's Item(i + 1).
    Deck d;
    Walk w(d);
    CPptSequence& sequence = w.Sequence();
    ASSERT_EQ(3, sequence.GetCount());
    for (LONG i = 0; i < sequence.GetCount(); ++i) {
        PowerPoint::Effect* p = sequence.GetItem(i);
        CPptEffect effect(p);
        p->Release();
        EXPECT_EQ(i, effect.GetIndex());
    }
}

TEST(TimeLineWrappers, SequenceItemsAreKeptAndIndicesCheckedAgainstTheCount) {
    Deck d;
    Walk w(d);
    CPptSequence& sequence = w.Sequence();
    EXPECT_EQ(1, d.doc->Calls("Sequence.get_Count"));
    PowerPoint::Effect* first = sequence.GetItem(0);
    PowerPoint::Effect* again = sequence.GetItem(0);
    EXPECT_EQ(first, again);
    first->Release();
    again->Release();
    EXPECT_EQ(1, d.doc->Calls("Sequence.Item"));

    for (LONG outside : {3L, 4L, -1L, 0x7FFFFFFFL}) {
        EXPECT_EQ(nullptr, sequence.GetItem(outside)) << outside;
    }
    EXPECT_EQ(1, d.doc->Calls("Sequence.Item")) << "an index outside the count asks nothing";

    // The count is the one read when made: effects added later are not seen.
    d.slide->AddEffect(d.box);
    EXPECT_EQ(3, sequence.GetCount());
    EXPECT_EQ(nullptr, sequence.GetItem(3));

    // A slide without effects: an empty sequence that asks for nothing.
    Deck plain;
    plain.slide->effects.clear();
    Walk none(plain);
    EXPECT_EQ(0, none.Sequence().GetCount());
    EXPECT_EQ(nullptr, none.Sequence().GetItem(0));
    EXPECT_EQ(0, plain.doc->Calls("Sequence.Item"));
}

TEST(TimeLineWrappers, SequenceCountFailureMakesNoWrapper) {
    Deck d;
    Walk w(d);
    PowerPoint::Sequence* raw = w.timeLine->GetMainSequencePtr();
    const ULONG before = Refs(d.doc);
    d.doc->Fail("Sequence.get_Count", E_FAIL, nullptr, 1);
    EXPECT_EQ(PptMessage("PptSequence", 20), bctest::PptFailureOf([&] { CPptSequence sequence(raw); }));
    EXPECT_EQ(before, Refs(d.doc)) << "the half-made wrapper let go of both its references";
    EXPECT_EQ(3, CPptSequence(raw).GetCount());
    raw->Release();
}

TEST(TimeLineWrappers, SequenceAndEffectWrappersAreMadeOnce) {
    Deck d;
    Walk w(d);
    {
        // A failing count makes no sequence; the next ask makes it without reading the pointer again.
        d.doc->Fail("Sequence.get_Count", E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage("PptSequence", 20), bctest::PptFailureOf([&] { w.timeLine->GetMainSequence(); }));
        auto sequence = w.timeLine->GetMainSequence();
        EXPECT_EQ(sequence, w.timeLine->GetMainSequence());
        EXPECT_EQ(1, d.doc->Calls("TimeLine.get_MainSequence"));
        EXPECT_EQ(2, d.doc->Calls("Sequence.get_Count"));

        auto second = sequence->GetEffect(1);
        EXPECT_EQ(second, sequence->GetEffect(1));
        EXPECT_EQ(1, second->GetIndex());
        EXPECT_EQ(nullptr, sequence->GetEffect(3));
        EXPECT_EQ(nullptr, sequence->GetEffect(-1));
        EXPECT_EQ(1, d.doc->Calls("Sequence.Item"));
        PowerPoint::Effect* p = sequence->GetItem(1);  // the pointer behind the wrapper, asked once
        ReleaseIt(p);
        EXPECT_EQ(1, d.doc->Calls("Sequence.Item"));
    }
}

TEST(TimeLineWrappers, TargetShapeAndExit) {
    Deck d;
    Walk w(d);
    CPptSequence& sequence = w.Sequence();
    struct Case {
        LONG item;
        CHostShape* target;
        MsoTriState exit;
    };
    const Case cases[] = {{0, d.box, msoFalse}, {1, d.title, msoTrue}, {2, nullptr, msoFalse}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        PowerPoint::Effect* p = sequence.GetItem(c.item);
        CPptEffect effect(p);
        p->Release();
        EXPECT_EQ(c.exit, effect.GetExit());
        d.doc->ResetCalls();
        PowerPoint::Shape* shape = effect.GetShapePtr();
        if (c.target) {
            EXPECT_EQ(c.target->Interface().Get(), shape);
            ReleaseIt(shape);
            ReleaseIt(effect.GetShapePtr());
            EXPECT_EQ(1, d.doc->Calls("Effect.get_Shape"));
        } else {
            // No target is no failure; nothing is kept, so the next call asks again.
            EXPECT_EQ(nullptr, shape);
            EXPECT_EQ(nullptr, effect.GetShapePtr());
            EXPECT_EQ(2, d.doc->Calls("Effect.get_Shape"));
        }
    }
}

TEST(TimeLineWrappers, StoredRecords) {
    {
        Deck d;
        Walk w(d);
        auto timing = CreateEffectTiming(w.Timing());
        EXPECT_EQ(0.75f, timing->GetDuration());
        EXPECT_EQ(1.5f, timing->GetTriggerDelayTime());
        EXPECT_EQ(msoAnimTriggerAfterPrevious, timing->GetTriggerType());
        auto information = CreateEffectInformation(w.Information());
        EXPECT_EQ(msoAnimateTextByFirstLevel, information->GetBuildByLevelEffect());
        EXPECT_TRUE(information->GetAnimateTextInReverse());
        EXPECT_EQ(msoAnimDirectionNone, CreateEffectParameters(w.Parameters())->GetDirection());
    }
    {
        Deck d;
        Walk w(d);
        PowerPoint::Effect* p = w.Sequence().GetItem(0);
        w.effect = std::make_unique<CPptEffect>(p);
        p->Release();
        EXPECT_EQ(msoAnimDirectionLeft, CreateEffectParameters(w.Parameters())->GetDirection());
    }

    // Reverse is true exactly for PowerPoint's -1.
    const std::pair<MsoTriState, bool> reverse[] = {{msoTrue, true}, {msoFalse, false}, {msoCTrue, false}};
    for (const auto& [given, expected] : reverse) {
        Deck d;
        d.effects[1]->data.animateTextInReverse = given;
        Walk w(d);
        EXPECT_EQ(expected, CreateEffectInformation(w.Information())->GetAnimateTextInReverse()) << given;
    }

    // A throwing read makes no record; the reads go in their order and stop at the failure.
    {
        Deck d;
        Walk w(d);
        d.doc->Fail("Timing.get_Duration", E_FAIL);
        std::shared_ptr<CEffectTiming> record;
        EXPECT_EQ(PptMessage("PptTiming", 77), bctest::PptFailureOf([&] { record = CreateEffectTiming(w.Timing()); }));
        EXPECT_EQ(nullptr, record);
        EXPECT_EQ(0, d.doc->Calls("Timing.get_TriggerDelayTime"));
        EXPECT_EQ(0, d.doc->Calls("Timing.get_TriggerType"));
    }
    {
        Deck d;
        Walk w(d);
        d.doc->Fail("EffectInformation.get_AnimateTextInReverse", E_FAIL);
        std::shared_ptr<CEffectInformation> record;
        EXPECT_EQ(PptMessage("PptEffectInformation", 56),
                  bctest::PptFailureOf([&] { record = CreateEffectInformation(w.Information()); }));
        EXPECT_EQ(nullptr, record);
        EXPECT_EQ(1, d.doc->Calls("EffectInformation.get_BuildByLevelEffect")) << "read first";
    }
    {
        // The defaulting reads never stop a record.
        Deck d;
        Walk w(d);
        d.doc->Fail("EffectInformation.get_BuildByLevelEffect", E_FAIL);
        d.doc->Fail("EffectParameters.get_Direction", E_FAIL);
        EXPECT_EQ(0, CreateEffectInformation(w.Information())->GetBuildByLevelEffect());
        EXPECT_EQ(0, CreateEffectParameters(w.Parameters())->GetDirection());
    }
}

TEST(TimeLineWrappers, ReleaseEveryReferenceTheyTook) {
    Deck d;
    const ULONG before = Refs(d.doc);
    {
        Walk w(d);
        ReleaseIt(w.Effect().GetShapePtr());
        w.Effect().GetIndex();
        w.Effect().GetExit();
        w.Effect().GetParagraph();
        w.Effect().GetEffectType();
        CreateEffectTiming(w.Timing());
        CreateEffectParameters(w.Parameters());
        CreateEffectInformation(w.Information());
        ReleaseIt(w.Sequence().GetItem(0));
        ReleaseIt(w.timeLine->GetParent());
        w.timeLine->GetMainSequence()->GetEffect(2)->GetExit();
        EXPECT_LT(before, Refs(d.doc));
    }
    EXPECT_EQ(before, Refs(d.doc));
}

}  // namespace
