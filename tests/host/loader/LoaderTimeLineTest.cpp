// The stand-in's loader reads a slide's whole timeline from the file: each effect's class,
// preset and variant, trigger, delay, duration, paragraph and after-effect, and the interactive
// sequences with their trigger shapes, as the object model gives them.

#include "DeckBuilder.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace PowerPoint::Loader;
using namespace testdeck;
using testrec::Atom;
using testrec::Bytes;
using testrec::Cat;
using testrec::U32s;

namespace {

// --- Timeline records ----------------------------------------------------------------------------

Bytes Box(uint16_t type, const std::vector<Bytes>& children, uint16_t instance = 0) {
    Bytes body;
    for (const Bytes& c : children) body.insert(body.end(), c.begin(), c.end());
    return testrec::Record(0xF, instance, type, body);
}

Bytes Int(uint16_t id, int32_t value) {
    return Atom(0xF142, Cat({Bytes{1}, U32s({static_cast<uint32_t>(value)})}), id);
}
Bytes Flag(uint16_t id) { return Atom(0xF142, Bytes{0, 1}, id); }
Bytes Properties(const std::vector<Bytes>& variants) { return Box(0xF13D, variants); }

// A time node's atom; duration in milliseconds, negative for none.
Bytes NodeAtom(int32_t duration = -1) {
    return Atom(0xF127, U32s({0, 0, 0, 3, 0, 0, static_cast<uint32_t>(duration < 0 ? 0 : duration),
                              duration < 0 ? 0u : 0x10u}));
}

Bytes Target(uint32_t shape, uint32_t kind = 0, uint32_t from = 0xFFFFFFFF, uint32_t to = 0xFFFFFFFF) {
    return Box(0xF13C, {Atom(11003, U32s({kind, 1, shape, from, to}))});
}

// A begin condition: event (0 none, 5 click, 9 next), delay in milliseconds, an optional target.
Bytes Begin(int32_t delay, uint32_t event = 0, const Bytes& target = {}) {
    std::vector<Bytes> parts{Atom(0xF128, U32s({target.empty() ? 0u : 1u, event, 0, static_cast<uint32_t>(delay)}))};
    if (!target.empty()) parts.push_back(target);
    return Box(0xF125, parts, 1);
}

// A behaviour of the effect that runs `duration` ms from `delay` on the shape.
Bytes Behaviour(uint32_t shape, int32_t duration, int32_t delay = 0) {
    return Box(0xF144, {NodeAtom(duration), Properties({}), Box(0xF12B, {Box(0xF12A, {Target(shape)})}), Begin(delay)});
}

// After-effects: a colour change dims to rgb, a visibility set hides (on the next click when
// it waits for one).
Bytes Dim(uint32_t shape, uint8_t r, uint8_t g, uint8_t b) {
    Bytes atom = U32s({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, r, g, b});
    return Box(0xF144, {NodeAtom(1), Properties({Flag(0x0D)}),
                        Box(0xF12C, {Atom(0xF135, atom), Box(0xF12A, {Target(shape)})}), Begin(500)});
}
Bytes Hide(uint32_t shape, bool onNext) {
    return Box(0xF144, {NodeAtom(1), Properties({Flag(0x0D)}), Box(0xF131, {Box(0xF12A, {Target(shape)})}),
                        onNext ? Begin(0, 9) : Begin(500)});
}

struct EffectSpec {
    int32_t nodeType, presetClass, preset, subtype;
    int32_t delay;
    std::vector<Bytes> children;
};

Bytes EffectNode(const EffectSpec& e) {
    std::vector<Bytes> parts{
        NodeAtom(),
        Properties({Int(0x14, e.nodeType), Int(0x09, e.preset), Int(0x0B, e.presetClass), Int(0x0A, e.subtype)}),
        Begin(e.delay)};
    parts.insert(parts.end(), e.children.begin(), e.children.end());
    return Box(0xF144, parts);
}

// A click group: an outer node that waits for the click, an inner one holding the effects.
Bytes Group(const std::vector<EffectSpec>& effects) {
    std::vector<Bytes> inner{NodeAtom(), Properties({}), Begin(0)};
    for (const EffectSpec& e : effects) inner.push_back(EffectNode(e));
    return Box(0xF144, {NodeAtom(), Properties({}), Begin(-1), Box(0xF144, inner)});
}

Bytes Timeline(const std::vector<Bytes>& groups, const std::vector<Bytes>& interactive) {
    std::vector<Bytes> main{NodeAtom(), Properties({Int(0x14, 4)})};
    main.insert(main.end(), groups.begin(), groups.end());
    std::vector<Bytes> root{NodeAtom(), Properties({Int(0x14, 9)}), Box(0xF144, main)};
    root.insert(root.end(), interactive.begin(), interactive.end());
    return Box(5000, {Box(5002, {CString(0, u"___PPT10"), Box(5003, {Box(0xF144, root)})})});
}

Bytes InteractiveSequence(uint32_t trigger, const std::vector<EffectSpec>& effects) {
    std::vector<Bytes> parts{NodeAtom(), Properties({Int(0x14, 5)}), Begin(0, 5, Target(trigger)), Group(effects)};
    return Box(0xF144, parts);
}

LoadResult LoadDeck(const Deck& deck) { return LoadPresentationFromMemory(deck.SavedFile(), L"deck.ppt"); }

constexpr uint32_t kBox = 1025, kText = 1026, kButton = 1027;

Deck AnimatedDeck() {
    auto shape = [](uint32_t id, int16_t left) {
        return SpShape(1, id, 0xA00, {ClientAnchor(left, 100, left + 400, 300)});
    };
    const Bytes text = SpShape(202, kText, 0xA00, {ClientAnchor(100, 400, 900, 800), TextBox(4, u"One\rTwo\rThree")});
    const std::vector<Bytes> main{
        // Flies in from the left 0.25 s after the click; its behaviours end at 750 ms.
        Group({{1, 1, 2, 8, 250, {Behaviour(kBox, 1), Behaviour(kBox, 750), Behaviour(kBox, 500, 250)}},
               // With it, the second paragraph fades out.
               {2,
                2,
                10,
                0,
                0,
                {Box(0xF144,
                     {NodeAtom(500), Properties({}), Box(0xF12B, {Box(0xF12A, {Target(kText, 2, 4, 7)})}), Begin(0)})}},
               // After it, the box grows and shrinks over 2 s, then dims to red.
               {3, 3, 6, 0, 0, {Behaviour(kBox, 2000), Dim(kBox, 255, 0, 0)}}}),
        // Zooms in, hidden after; fades in, hidden on the next click; a motion path; a verb
        // (no effect of its own); an effect on a shape the slide does not hold.
        Group({{1, 1, 23, 16, 0, {Behaviour(kText, 500), Hide(kText, false)}}}),
        Group({{1, 1, 10, 0, 0, {Behaviour(kBox, 500), Hide(kBox, true)}}}),
        Group({{1, 4, 35, 0, 0, {Behaviour(kBox, 1000)}}}),
        Group({{1, 5, 1, 0, 0, {Behaviour(kBox, 1)}}}),
        Group({{1, 1, 10, 0, 0, {Behaviour(9999, 500)}}}),
    };
    const std::vector<Bytes> interactive{InteractiveSequence(
        kButton, {{1, 1, 16, 21, 0, {Behaviour(kText, 500)}}, {3, 2, 1, 0, 100, {Behaviour(kText, 1)}}})};
    Deck deck;
    deck.slides.push_back(Slide({shape(kBox, 100), text, shape(kButton, 1000)}));
    deck.slides[0].records.push_back(Timeline(main, interactive));
    return deck;
}

CHostShape* ShapeById(CHostSlide* slide, LONG id) {
    for (CHostShape* s : slide->shapes)
        if (s->data.id == id) return s;
    return nullptr;
}

TEST(LoaderTimeLine, EveryEffectOfTheMainSequenceAsTheFileStatesIt) {
    const LoadResult r = LoadDeck(AnimatedDeck());
    ASSERT_EQ(1u, r.document->Slides().size());
    CHostSlide* slide = r.document->Slides()[0];
    CHostShape* box = ShapeById(slide, kBox);
    CHostShape* text = ShapeById(slide, kText);
    ASSERT_TRUE(box && text);

    struct Expected {
        CHostShape* shape;
        LONG presetClass, type;
        MsoTriState exit;
        MsoAnimTriggerType trigger;
        float delay, duration;
        MsoAnimDirection direction;
        LONG paragraph;
        MsoAnimAfterEffect after;
    } expected[] = {
        {box, 1, 2, msoFalse, msoAnimTriggerOnPageClick, 0.25f, 0.75f, msoAnimDirectionLeft, 0, msoAnimAfterEffectNone},
        {text, 2, 10, msoTrue, msoAnimTriggerWithPrevious, 0, 0.5f, 0, 2, msoAnimAfterEffectNone},
        {box, 3, 59, msoFalse, msoAnimTriggerAfterPrevious, 0, 2.0f, 0, 0, msoAnimAfterEffectDim},
        {text, 1, 23, msoFalse, msoAnimTriggerOnPageClick, 0, 0.5f, 19, 0, msoAnimAfterEffectHide},
        {box, 1, 10, msoFalse, msoAnimTriggerOnPageClick, 0, 0.5f, 0, 0, msoAnimAfterEffectHideOnNextClick},
        {box, 4, 0, msoFalse, msoAnimTriggerOnPageClick, 0, 1.0f, 0, 0, msoAnimAfterEffectNone},
    };
    ASSERT_EQ(std::size(expected), slide->effects.size());
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const Expected& x = expected[i];
        const EffectData& d = slide->effects[i]->data;
        EXPECT_EQ(x.shape, d.shape);
        EXPECT_EQ(x.presetClass, d.presetClass);
        EXPECT_EQ(x.type, d.effectType);
        EXPECT_EQ(x.exit, d.exit);
        EXPECT_EQ(x.trigger, d.triggerType);
        EXPECT_FLOAT_EQ(x.delay, d.triggerDelayTime);
        EXPECT_FLOAT_EQ(x.duration, d.duration);
        EXPECT_EQ(x.direction, d.direction);
        EXPECT_EQ(x.paragraph, d.paragraph);
        EXPECT_EQ(x.after, d.afterEffect);
    }
    EXPECT_EQ(0x0000FFu, slide->effects[2]->data.dimColor.rgb);
    EXPECT_EQ(35, slide->effects[5]->data.presetId);  // the path's own number stays with the host
    bool warned = false;
    for (const std::wstring& w : r.warnings) warned |= w.find(L"9999") != std::wstring::npos;
    EXPECT_TRUE(warned);
}

TEST(LoaderTimeLine, InteractiveSequencesAndTheirTriggersThroughTheObjectModel) {
    const LoadResult r = LoadDeck(AnimatedDeck());
    CHostSlide* slide = r.document->Slides()[0];
    ASSERT_EQ(1u, slide->interactiveSequences.size());
    EXPECT_EQ(ShapeById(slide, kButton), slide->interactiveSequences[0]->trigger);

    CComPtr<TimeLine> timeLine;
    ASSERT_EQ(S_OK, slide->Interface()->get_TimeLine(&timeLine));
    CComPtr<Sequence> main;
    ASSERT_EQ(S_OK, timeLine->get_MainSequence(&main));
    LONG count = 0;
    ASSERT_EQ(S_OK, main->get_Count(&count));
    EXPECT_EQ(6, count);

    CComPtr<Sequences> sequences;
    ASSERT_EQ(S_OK, timeLine->get_InteractiveSequences(&sequences));
    ASSERT_EQ(S_OK, sequences->get_Count(&count));
    ASSERT_EQ(1, count);
    CComPtr<Sequence> interactive;
    ASSERT_EQ(S_OK, sequences->Item(1, &interactive));
    ASSERT_EQ(S_OK, interactive->get_Count(&count));
    ASSERT_EQ(2, count);

    const MsoAnimTriggerType triggers[] = {msoAnimTriggerOnShapeClick, msoAnimTriggerAfterPrevious};
    for (LONG i = 1; i <= 2; ++i) {
        SCOPED_TRACE(i);
        CComPtr<Effect> effect;
        ASSERT_EQ(S_OK, interactive->Item(i, &effect));
        LONG index = 0;
        ASSERT_EQ(S_OK, effect->get_Index(&index));
        EXPECT_EQ(i, index);
        CComPtr<Timing> timing;
        ASSERT_EQ(S_OK, effect->get_Timing(&timing));
        MsoAnimTriggerType trigger = 0;
        ASSERT_EQ(S_OK, timing->get_TriggerType(&trigger));
        EXPECT_EQ(triggers[i - 1], trigger);
        CComPtr<Shape> shape;
        if (trigger == msoAnimTriggerOnShapeClick) {
            ASSERT_EQ(S_OK, timing->get_TriggerShape(&shape));
            LONG id = 0;
            ASSERT_EQ(S_OK, shape->get_Id(&id));
            EXPECT_EQ(static_cast<LONG>(kButton), id);
        } else {
            EXPECT_LT(timing->get_TriggerShape(&shape), 0);
        }
    }
    CComPtr<Effect> split;
    ASSERT_EQ(S_OK, interactive->Item(1, &split));
    CComPtr<EffectParameters> parameters;
    ASSERT_EQ(S_OK, split->get_EffectParameters(&parameters));
    MsoAnimDirection direction = 0;
    ASSERT_EQ(S_OK, parameters->get_Direction(&direction));
    EXPECT_EQ(23, direction);  // closing from the top and bottom edges

    // The dim after-effect and its colour.
    CComPtr<Effect> grow;
    ASSERT_EQ(S_OK, main->Item(3, &grow));
    CComPtr<EffectInformation> information;
    ASSERT_EQ(S_OK, grow->get_EffectInformation(&information));
    MsoAnimAfterEffect after = 0;
    ASSERT_EQ(S_OK, information->get_AfterEffect(&after));
    EXPECT_EQ(msoAnimAfterEffectDim, after);
    CComPtr<ColorFormat> dim;
    ASSERT_EQ(S_OK, information->get_Dim(&dim));
    ULONG rgb = 0;
    ASSERT_EQ(S_OK, dim->get_RGB(&rgb));
    EXPECT_EQ(0x0000FFu, rgb);
}

TEST(LoaderTimeLine, OlderSettingsGiveTheTimelinesAfterEffects) {
    // Older settings: appear on click, dim to blue after.
    const Bytes info = testrec::Container(
        4116, {Atom(4081, Cat({U32s({0xFEFF0000, 0, 0, 0}), testrec::U16s({1, 0}), Bytes{0, 0, 0, 1, 0, 0, 0, 0}}))});
    Deck deck;
    deck.slides.push_back(Slide({SpShape(1, kBox, 0xA00, {ClientAnchor(0, 0, 800, 800), ClientData({info})})}));
    const LoadResult r = LoadDeck(deck);
    const auto& built = r.document->Slides()[0]->effects;
    ASSERT_EQ(1u, built.size());
    EXPECT_EQ(msoAnimAfterEffectDim, built[0]->data.afterEffect);  // not the older model's number
    EXPECT_EQ(0xFF0000u, built[0]->data.dimColor.rgb);
}

// Three coloured boxes that fly, wipe and zoom in one after the other, and the first leaving
// again: what a converted deck plays. BC_WRITE_ANIMATED_DECK names a file to keep it in.
TEST(LoaderTimeLine, ADeckOfBoxesEnteringInTurn) {
    auto box = [](uint32_t id, int16_t left, uint32_t color) {
        return SpShape(1, id, 0xA00,
                       {Opt({{0x181, color}, {0x1BF, 0x00100010}}), ClientAnchor(left, 700, left + 900, 1500)});
    };
    const std::vector<Bytes> groups{
        Group({{1, 1, 2, 8, 0, {Behaviour(2001, 500)}}}),                      // fly in from the left
        Group({{3, 1, 22, 1, 500, {Behaviour(2002, 1000)}}}),                  // then wipe down
        Group({{1, 1, 23, 16, 0, {Behaviour(2003, 1000)}}}),                   // zoom in
        Group({{1, 2, 10, 0, 0, {Behaviour(2001, 500), Hide(2001, false)}}}),  // the first fades out
    };
    Deck deck;
    deck.slides.push_back(Slide({box(2001, 400, 0x0000FF), box(2002, 2200, 0x00A000), box(2003, 4000, 0xFF0000)}));
    deck.slides[0].records.push_back(Timeline(groups, {}));
    const Bytes file = deck.SavedFile();
    const LoadResult r = LoadPresentationFromMemory(file, L"boxes.ppt");
    const auto& effects = r.document->Slides().at(0)->effects;
    ASSERT_EQ(4u, effects.size());
    const MsoAnimEffect types[] = {2, 22, 23, 10};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(types[i], effects[i]->data.effectType);
    EXPECT_EQ(msoAnimTriggerAfterPrevious, effects[1]->data.triggerType);
    EXPECT_EQ(msoAnimDirectionUp, effects[1]->data.direction);
    EXPECT_EQ(msoTrue, effects[3]->data.exit);
    if (const char* keep = std::getenv("BC_WRITE_ANIMATED_DECK"))
        std::ofstream(keep, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

}  // namespace
