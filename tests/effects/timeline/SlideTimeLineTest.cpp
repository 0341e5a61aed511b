// A slide's timeline export over the in-memory host: the scheduler's frames by trigger, delay,
// duration and frame rate; which whole-shape effects carry the text; static and animated shapes
// and their gathering; and a slide of entrance, exit and paragraph effects compiled into a movie.

#include "DeckBuilder.h"
#include "FileBytes.h"
#include "SlideTestSupport.h"
#include "SwfTestReader.h"
#include "genswf/animation/SlideTimeLineExport.h"
#include "genswf/animation/TimeLine.h"
#include "genswf/fonts/FontManager.h"
#include "genswf/shapes/ShapeEffectList.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/shapes/Shapes.h"
#include "tarnquill/Compiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <vector>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

std::shared_ptr<CTimeLineEffect> Effect(LONG trigger, float delay, float duration, int type = 10) {
    CTimeLineEffect::Values v;
    v.effectType = type;
    v.targetShapeName = L"Box";
    v.timing = std::make_shared<CEffectTiming>(duration, delay, trigger);
    v.parameters = std::make_shared<CEffectParameters>(0);
    v.information = std::make_shared<CEffectInformation>(0, false);
    return std::make_shared<CTimeLineEffect>(v);
}

// --- The scheduler -------------------------------------------------------------------------------

struct Step {
    LONG trigger;
    float delay, duration;
    std::uint32_t start, end;  // expected frames
    int type = 10;             // a fade: its duration is the timing's
};

struct ScheduleCase {
    const char* name;
    int fps;
    std::vector<Step> steps;
    bool marginOff = false;
};

constexpr LONG kNone = msoAnimTriggerNone, kClick = msoAnimTriggerOnPageClick, kWith = msoAnimTriggerWithPrevious,
               kAfter = msoAnimTriggerAfterPrevious, kShape = msoAnimTriggerOnShapeClick;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(EffectScheduler, FramesByTriggerDelayDurationAndFrameRate) {
    const ScheduleCase cases[] = {
        // On click the first effect waits the 2.0 s margin: 2.5 s and 3.5 s at 12 fps.
        {"click at 12 fps", 12, {{kClick, 0.5f, 1.0f, 30, 42}}},
        {"click at 10 fps", 10, {{kClick, 0.5f, 1.0f, 25, 35}}},
        {"click at 24 fps", 24, {{kClick, 0.5f, 1.0f, 60, 84}}},
        {"half frames round up", 15, {{kClick, 0.0f, 0.5f, 30, 38}}},
        {"after previous follows its end",
         12,
         {{kClick, 0.5f, 1.0f, 30, 42}, {kAfter, 0.0f, 1.0f, 42, 54}, {kAfter, 0.25f, 0.5f, 57, 63}}},
        {"with previous shares its start", 12, {{kClick, 0.5f, 1.0f, 30, 42}, {kWith, 0.0f, 0.5f, 30, 36}}},
        {"with previous after its delay", 12, {{kClick, 0.5f, 1.0f, 30, 42}, {kWith, 1.0f, 0.5f, 42, 48}}},
        // A click after an effect from 2 s to 10 s comes at 10 s, not at 2 s + 2 s.
        {"click waits for a late end", 12, {{kWith, 2.0f, 8.0f, 24, 120}, {kClick, 0.5f, 1.0f, 126, 138}}},
        {"click after a short effect waits the margin",
         12,
         {{kClick, 0.0f, 0.5f, 24, 30}, {kClick, 0.0f, 0.5f, 48, 54}}},
        {"first after or with previous start at once", 12, {{kAfter, 1.5f, 0.5f, 18, 24}, {kWith, 0.0f, 1.0f, 18, 30}}},
        // No trigger and a shape's click keep the previous start.
        {"none and shape click",
         12,
         {{kClick, 0.5f, 1.0f, 30, 42}, {kShape, 1.0f, 1.0f, 30, 42}, {kNone, 0, 2, 30, 54}}},
        {"an effect without an exporter takes no time", 12, {{kClick, 0.0f, 3.0f, 24, 24, 21}, {kAfter, 0, 1, 24, 36}}},
        {"without the margin", 12, {{kClick, 0.5f, 1.0f, 6, 18}, {kClick, 0.0f, 1.0f, 18, 30}}, true},
        // Times that cannot be meant count as none; frames stop at a sprite's last frame.
        {"negative delay", 12, {{kClick, -3.0f, 1.0f, 24, 36}}},
        {"negative duration", 12, {{kClick, 0.0f, -1.0f, 24, 24}}},
        {"unreadable times", 12, {{kClick, kNaN, kNaN, 24, 24}, {kAfter, kNaN, 1.0f, 24, 36}}},
        {"huge times", 12, {{kClick, 0.0f, 1e30f, 24, 65534}, {kAfter, 1e30f, 1.0f, 65534, 65534}}},
    };
    slidetest::Deck deck(1, L"11.0");
    auto movie = deck.Movie();
    auto exporter = CSlideTimeLineExport::Create(movie->GetSlide(0).get());
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.name);
        movie->SetFrameRate(c.fps);
        movie->SetTimeMarginOff(c.marginOff);
        CTimeLineContext context(exporter.get());
        CDefaultEffectScheduler scheduler;
        scheduler.Begin(&context);
        for (const Step& step : c.steps) {
            const FrameRange range = scheduler.Schedule(Effect(step.trigger, step.delay, step.duration, step.type));
            EXPECT_EQ(step.start, range.startFrame);
            EXPECT_EQ(step.end, range.endFrame);
        }
        scheduler.End();
    }
}

TEST(EffectScheduler, ContextConvertsByTheMoviesFrameRate) {
    slidetest::Deck deck(1, L"11.0");
    auto movie = deck.Movie();
    movie->SetFrameRate(12);
    auto exporter = CSlideTimeLineExport::Create(movie->GetSlide(0).get());
    CTimeLineContext context(exporter.get());
    EXPECT_EQ(0u, context.GetStartFrame());
    EXPECT_FLOAT_EQ(2.5f, context.FramesToSeconds(30));
    EXPECT_EQ(30u, context.SecondsToFrames(2.5f));
    EXPECT_EQ(12u, context.SecondsToFrames(1.04f));  // 12.48 + 0.5, truncated
    EXPECT_EQ(0u, context.SecondsToFrames(-1.0f));
    EXPECT_FLOAT_EQ(2.0f, context.GetTimeMargin());
    EXPECT_FLOAT_EQ(0.75f, context.GetEffectDuration(Effect(kClick, 0, 0.75f)));
    EXPECT_FLOAT_EQ(0.0f, context.GetEffectDuration(Effect(kClick, 0, 0.75f, 21)));
    movie->SetFrameRate(0);  // a movie without a rate puts everything at its start
    EXPECT_FLOAT_EQ(0.0f, context.FramesToSeconds(30));
    EXPECT_EQ(0u, context.SecondsToFrames(2.5f));
}

// --- The export of a slide -----------------------------------------------------------------------

// A slide in the host whose presentation also has a file of one empty slide behind it, for the
// parsed copy the text export reads.
struct TimelineDeck {
    slidetest::Deck deck{1, L"11.0"};
    CHostSlide* slide = deck.Slide(0);
    std::shared_ptr<CMovie> movie;
    TimelineDeck() {
        testdeck::Deck file;
        file.slides.push_back(testdeck::Slide());
        deck.doc->fileBytes = file.SavedFile();
    }
    std::shared_ptr<CSlideTimeLineExport> Export() {
        movie = deck.Movie();
        movie->SetFrameRate(12);
        auto exporter = CSlideTimeLineExport::Create(movie->GetSlide(0).get());
        try {
            exporter->Export();
        } catch (const CBaseException& e) {
            ADD_FAILURE() << slidetest::U8(e.GetMessage());
        }
        return exporter;
    }
};

TEST(SlideTimeLine, WholeShapeEffectsCarryTheTextUnlessItHasParagraphEffects) {
    TimelineDeck d;
    CHostShape* paragraphs = d.slide->AddTextBox(L"Paragraphs", 10, 10, 300, 80, L"One\rTwo");
    CHostShape* twice = d.slide->AddTextBox(L"Twice", 10, 100, 300, 80, L"Both");
    CHostShape* plain = d.slide->AddShape(msoAutoShape, L"Plain", 10, 200, 100, 50);
    plain->data.hasTextFrame = msoFalse;
    CHostShape* hidden = d.slide->AddTextBox(L"Hidden", 10, 300, 300, 80, L"Unseen");
    hidden->data.visible = msoFalse;

    d.slide->AddEffect(paragraphs, msoAnimEffectFade);                        // 0: whole shape
    d.slide->AddEffect(paragraphs, msoAnimEffectAppear)->data.paragraph = 2;  // 1: its second paragraph
    d.slide->AddEffect(twice, msoAnimEffectFade);                             // 2
    d.slide->AddEffect(twice, msoAnimEffectFly)->data.exit = msoTrue;         // 3
    d.slide->AddEffect(plain, msoAnimEffectFade);                             // 4
    d.slide->AddEffect(hidden, msoAnimEffectFade);                            // 5

    auto exporter = d.Export();
    auto list = exporter->GetAnimation()->GetEffectList();
    ASSERT_EQ(6u, list->GetCount());
    const bool flagged[] = {false, true, true, true, false, false};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(flagged[i], list->GetItem(i)->IsTextEffect()) << "effect " << i;
        EXPECT_TRUE(list->GetItem(i)->HasStartFrame());
    }
    EXPECT_FALSE(list->GetItem(0)->GetTextFlag());
}

TEST(SlideTimeLine, StaticAndAnimatedShapesGatheredInSlideOrder) {
    TimelineDeck d;
    CHostShape* still = d.slide->AddShape(msoAutoShape, L"Still", 10, 10, 100, 50);
    CHostShape* moving = d.slide->AddShape(msoAutoShape, L"Moving", 150, 10, 100, 50);
    // A shape of the same name: the effects know their shape by its Id.
    CHostShape* namesake = d.slide->AddShape(msoAutoShape, L"Moving", 300, 10, 100, 50);
    d.slide->AddEffect(moving, msoAnimEffectFly)->data.direction = msoAnimDirectionLeft;
    d.slide->AddEffect(moving, msoAnimEffectFade)->data.exit = msoTrue;
    (void)still;
    (void)namesake;

    auto exporter = d.Export();
    ASSERT_EQ(3u, exporter->GetAllShapes().size());
    ASSERT_EQ(2u, exporter->GetStaticShapes().size());
    ASSERT_EQ(1u, exporter->GetAnimatedShapes().size());
    EXPECT_EQ(exporter->GetAllShapes()[1], exporter->GetAnimatedShapes()[0]);
    EXPECT_EQ(2u, exporter->GetShapeEffects(0)->GetCount());

    // Every shape's layers, in slide order; the animated one has a track per effect and one
    // for its plain export at most.
    std::vector<std::shared_ptr<CLayer>> expected;
    for (const auto& shape : exporter->GetAllShapes())
        for (const auto& layer : shape->GetLayersCollection()->GetLayers()) expected.push_back(layer);
    EXPECT_EQ(expected, exporter->GetLayer()->GetLayers());
    for (const auto& shape : exporter->GetAllShapes())
        for (const auto& object : shape->GetObjectsCollection()->GetObjects())
            EXPECT_TRUE(exporter->GetFrameItems()->Contains(object));
}

TEST(SlideTimeLine, AnUnreadableEffectIsLeftOutAndTheRestAnimates) {
    TimelineDeck d;
    CHostShape* a = d.slide->AddShape(msoAutoShape, L"A", 10, 10, 100, 50);
    CHostShape* b = d.slide->AddShape(msoAutoShape, L"B", 150, 10, 100, 50);
    CHostEffect* broken = d.slide->AddEffect(a, msoAnimEffectFade);
    d.slide->AddEffect(b, msoAnimEffectFade);
    d.deck.doc->Fail("Effect.get_Timing", E_FAIL, broken);
    auto exporter = d.Export();
    ASSERT_EQ(1u, exporter->GetAnimation()->GetEffectList()->GetCount());
    ASSERT_EQ(1u, exporter->GetAnimatedShapes().size());
    EXPECT_EQ(L"B", exporter->GetAnimatedShapes()[0]->GetName());
}

// --- Compiled ------------------------------------------------------------------------------------

// What a frame of a compiled sprite does: new placements, moves, removals.
struct FrameEvents {
    int shows = 0, moves = 0, hides = 0;
};

std::vector<FrameEvents> SpriteFrames(const swftest::Tag& sprite) {
    std::vector<FrameEvents> frames(1);
    for (const swftest::Tag& t : sprite.children) {
        if (t.code == 1) {
            frames.emplace_back();
        } else if (t.code == 26 || t.code == 70) {
            const swftest::Placement p = swftest::ReadPlace(t);
            (p.move && !p.hasCharacter ? frames.back().moves : frames.back().shows)++;
        } else if (t.code == 28 || t.code == 5) {
            frames.back().hides++;
        }
    }
    return frames;
}

// The movie export's passes for one slide on the timeline path: the slide's sprite on the root,
// then the fonts and the objects and layers the slide gathered. Returns the description's path.
std::wstring ExportTimelineMovie(CMovie& movie) {
    movie.WriteMovieAttributes(movie.GetMovieWidth(), movie.GetMovieHeight(),
                               static_cast<unsigned>(movie.GetFrameRate()), 0xFFFFFF, false);
    const std::shared_ptr<CSlide>& slide = movie.GetSlides().at(0);
    slide->ExportShapePictures(movie.GetTempFolder());
    slide->Export(movie.GetObjectsElement());
    std::shared_ptr<CFrameList> root = CreateFrameList(&movie);
    root->AddTrack()->AddShow(0, slide->GetSpriteId(), CMatrix());
    root->Write(movie.WriteLayer(movie.GetLayersElement()), 0);
    if (movie.GetFontManager()) {
        movie.GetFontManager()->ExportFonts(movie.GetTempFolder());
        movie.GetFontManager()->GetObjects()->WriteMembers(movie.GetObjectsElement());
    }
    slide->GetObjects()->WriteMembers(slide->GetObjectsElement());
    slide->GetLayers()->WriteMembers(slide->GetLayersElement());
    const std::wstring path = movie.GetTempFolder() + L"movie.xml";
    movie.SaveXml(path);
    return path;
}

TEST(SlideTimeLine, EntranceExitAndParagraphEffectsCompileOnTheirFrames) {
    TimelineDeck d;
    CHostShape* box = d.slide->AddShape(msoAutoShape, L"Box", 100, 100, 100, 60);
    box->data.hasTextFrame = msoFalse;
    CHostShape* notes = d.slide->AddTextBox(L"Notes", 300, 100, 300, 120, L"One\rTwo");
    // At 12 fps: fly in on click (2.0 s margin) 24-30; the first paragraph appears after it at
    // 30; the second fades in on click at 4.5 s, 54-60; the box fades out on click at 6.5 s, 78-84.
    CHostEffect* fly = d.slide->AddEffect(box, msoAnimEffectFly);
    fly->data.direction = msoAnimDirectionLeft;
    CHostEffect* first = d.slide->AddEffect(notes, msoAnimEffectAppear);
    first->data.paragraph = 1;
    first->data.triggerType = msoAnimTriggerAfterPrevious;
    first->data.duration = 0.0f;
    d.slide->AddEffect(notes, msoAnimEffectFade)->data.paragraph = 2;
    d.slide->AddEffect(box, msoAnimEffectFade)->data.exit = msoTrue;

    d.movie = d.deck.Movie();
    d.movie->SetFrameRate(12);
    std::wstring xml;
    try {
        xml = ExportTimelineMovie(*d.movie);
    } catch (const CBaseException& e) {
        FAIL() << slidetest::U8(e.GetMessage());
    }

    tarnquill::CompileOptions options;
    tarnquill::CompileResult result;
    try {
        result = tarnquill::CompileFile(NativePath(xml), options);
    } catch (const tarnquill::CompileError& e) {
        FAIL() << e.Message() << " at " << e.Element() << "/" << e.Attribute() << " line " << e.Line();
    }
    if (const char* keep = std::getenv("BC_KEEP_TIMELINE_SWF"))
        std::ofstream(keep, std::ios::binary)
            .write(reinterpret_cast<const char*>(result.swf.data()), static_cast<std::streamsize>(result.swf.size()));
    const swftest::Movie swf = swftest::Read(result.swf);

    // The slide's sprite is the one with the most frames.
    const swftest::Tag* slideSprite = nullptr;
    std::size_t most = 0;
    for (const swftest::Tag& t : swf.tags)
        if (t.code == 39 && SpriteFrames(t).size() > most) {
            most = SpriteFrames(t).size();
            slideSprite = &t;
        }
    ASSERT_TRUE(slideSprite);
    const std::vector<FrameEvents> f = SpriteFrames(*slideSprite);
    ASSERT_GT(f.size(), 85u);
    for (std::size_t i = 1; i < 24; ++i) EXPECT_EQ(0, f[i].shows + f[i].moves + f[i].hides) << "frame " << i;
    EXPECT_GE(f[24].shows, 1) << "the box flies in";
    for (std::size_t i = 25; i <= 30; ++i) EXPECT_GE(f[i].moves, 1) << "frame " << i;
    EXPECT_GE(f[30].shows, 1) << "the first paragraph appears";
    for (std::size_t i = 31; i < 54; ++i) EXPECT_EQ(0, f[i].shows + f[i].moves + f[i].hides) << "frame " << i;
    EXPECT_GE(f[54].shows, 1) << "the second paragraph starts its fade";
    for (std::size_t i = 55; i <= 60; ++i) EXPECT_GE(f[i].moves, 1) << "frame " << i;
    for (std::size_t i = 61; i < 78; ++i) EXPECT_EQ(0, f[i].shows + f[i].moves + f[i].hides) << "frame " << i;
    for (std::size_t i = 78; i <= 84; ++i) EXPECT_GE(f[i].moves, 1) << "frame " << i;
    EXPECT_EQ(1, f[84].hides) << "the box is gone at the end of its exit";
    int hides = 0;
    for (const FrameEvents& e : f) hides += e.hides;
    EXPECT_EQ(1, hides);
}

// --- Without the timeline -----------------------------------------------------------------------

// The frame of the first show in a description of a layer's frames ("0: show img1; 20: ..."),
// or -1.
int FirstShow(const std::string& frames) {
    const std::size_t show = frames.find(" show ");
    if (show == std::string::npos) return -1;
    const std::size_t start = frames.rfind("; ", show);
    return std::stoi(frames.substr(start == std::string::npos ? 0 : start + 2));
}

TEST(SlideAnimations2000, EntryEffectsPlayInBuildOrderAndTheFadeEndsOpaque) {
    TimelineDeck d;
    d.deck.doc->version = L"9.0";
    d.slide->AddShape(msoAutoShape, L"Still", 10, 10, 100, 50);
    CHostShape* first = d.slide->AddShape(msoAutoShape, L"First", 150, 10, 100, 50);
    CHostShape* second = d.slide->AddShape(msoAutoShape, L"Second", 300, 10, 100, 50);
    for (CHostShape* s : {first, second}) s->data.hasTextFrame = msoFalse;
    // Built second, first: the fade on a click, then the fly a second later.
    AnimationData& a = second->data.animation;
    a.animate = msoTrue;
    a.animationOrder = 2;
    a.entryEffect = 3329;  // fly from the left
    a.advanceMode = ppAdvanceOnTime;
    a.advanceTime = 1.0f;
    AnimationData& b = first->data.animation;
    b.animate = msoTrue;
    b.animationOrder = 1;
    b.entryEffect = 1793;  // fade

    d.movie = d.deck.Movie();
    std::wstring xml;
    try {
        xml = slidetest::ExportSlides(*d.movie, false);
    } catch (const CBaseException& e) {
        FAIL() << slidetest::U8(e.GetMessage());
    }
    const XmlElementPtr sprite = slidetest::FindById(d.movie->GetObjectsElement(), L"sld0");
    ASSERT_TRUE(sprite);
    std::vector<int> shows;
    for (const std::string& layer : slidetest::DescribeLayers(slidetest::Child(sprite, L"layers")))
        if (FirstShow(layer) >= 0) shows.push_back(FirstShow(layer));
    // Still, first and second in z-order: at once, after the margin (2 s at 10 fps), a second
    // after the fade began.
    ASSERT_EQ(3u, shows.size());
    EXPECT_EQ(0, shows[0]);
    EXPECT_EQ(20, shows[1]);
    EXPECT_EQ(30, shows[2]);

    const std::string text = bctest::FileText(NativePath(xml));
    EXPECT_NE(std::string::npos, text.find("shiftAlpha=\"-255\""));
    EXPECT_NE(std::string::npos, text.find("shiftAlpha=\"0\""));
    EXPECT_EQ(std::string::npos, text.find("shiftAlpha=\"1\""));
}

}  // namespace
