// The build of a slide's shapes without the timeline: the order they appear in, when each
// appears, when what waits for the next build is hidden or dimmed, and where the slide ends.

#include "SlideTestSupport.h"
#include "genswf/shapes/Shape.h"
#include "genswf/slides/SlideAnimations2000.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace slidetest;

namespace {

constexpr PpEntryEffect kCut = 257;    // appears at once
constexpr PpEntryEffect kFade = 1537;  // takes 0.5 seconds

struct Build {
    const wchar_t* name;
    LONG order;  // 0: not animated
    PpAdvanceMode mode = ppAdvanceOnClick;
    float advanceTime = 0.0f;
    PpAfterEffect after = ppAfterEffectNothing;
    PpEntryEffect effect = kCut;
};

CHostShape* AddBuild(CHostSlide* slide, const Build& b, int i) {
    CHostShape* shape = slide->AddShape(msoAutoShape, b.name, 20.0f + 60.0f * static_cast<float>(i), 40, 50, 30);
    shape->data.fill.foreColor.rgb = 0x3050A0;
    shape->data.hasTextFrame = msoFalse;  // pictures only; text builds have tests of their own
    if (b.order > 0) {
        AnimationData& a = shape->data.animation;
        a.animate = msoTrue;
        a.animationOrder = b.order;
        a.advanceMode = b.mode;
        a.advanceTime = b.advanceTime;
        a.afterEffect = b.after;
        a.entryEffect = b.effect;
        a.dimColor.rgb = 0x808080;
    }
    return shape;
}

// Show and object ids count per movie; what matters is which command comes when.
std::string WithoutIds(const std::string& frames) {
    std::string out;
    for (char ch : frames) {
        const bool inId = !out.empty() && (std::isalpha(static_cast<unsigned char>(out.back())) || out.back() == '#');
        if (!(inId && std::isdigit(static_cast<unsigned char>(ch))))
            out += ch;
        else if (out.back() != '#')
            out += '#';
    }
    return out;
}

std::vector<std::wstring> Names(const std::vector<std::shared_ptr<CShape>>& shapes) {
    std::vector<std::wstring> names;
    for (const auto& shape : shapes) names.push_back(shape->GetName());
    return names;
}

// The frames of each shape's own layer, in z-order, after the background and any frame button.
std::vector<std::string> ShapeLayers(const CSlide& slide) {
    std::vector<std::string> layers = DescribeLayers(slide.GetLayersElement());
    std::vector<std::string> shapes;
    for (const std::string& layer : layers)
        if (layer.find("bg0") == std::string::npos && layer.find("show button") == std::string::npos)
            shapes.push_back(layer);
    return shapes;
}

TEST(SlideAnimations, EqualOrdersKeepTheSlidesOrder) {
    Deck deck(1);
    const Build builds[] = {{L"First", 2}, {L"Second", 1}, {L"Static", 0}, {L"Third", 2}};
    for (int i = 0; i < 4; ++i) AddBuild(deck.Slide(0), builds[i], i);
    std::shared_ptr<CMovie> movie;
    ASSERT_EQ("", FailureOf([&] { movie = deck.Movie(); }));
    const auto& slide = movie->GetSlides()[0];
    const CRefPtr<CSlideAnimations2000>& animations = slide->GetAnimations2000();
    EXPECT_EQ((std::vector<std::wstring>{L"Second", L"First", L"Third"}), Names(animations->GetAnimatedShapes()));
    EXPECT_EQ(std::vector<std::wstring>{L"Static"}, Names(animations->GetStaticShapes()));
    EXPECT_EQ(L"First", animations->GetAnimatedShape(1)->GetName());
    EXPECT_FALSE(animations->GetAnimatedShape(3));
    EXPECT_EQ(4u, slide->GetShapesByZOrder().size());
    EXPECT_EQ(L"Third", slide->GetShapesByZOrder()[3]->GetName());

    ASSERT_EQ("", FailureOf([&] { ExportSlides(*movie, false); }));
    // Each waits 2 seconds for its click: Second at 2 s, First at 4 s, Third at 6 s.
    const std::vector<std::string> layers = ShapeLayers(*slide);
    ASSERT_EQ(4u, layers.size());
    EXPECT_EQ(0u, layers[0].find("40: show")) << layers[0];
    EXPECT_EQ(0u, layers[1].find("20: show")) << layers[1];
    EXPECT_EQ(0u, layers[2].find("0: show")) << layers[2];
    EXPECT_EQ(0u, layers[3].find("60: show")) << layers[3];
    EXPECT_FLOAT_EQ(6.0f, animations->GetAnimationLength());
    EXPECT_FLOAT_EQ(8.0f, slide->GetSlideDuration());
}

struct TimingCase {
    const char* name;
    std::vector<Build> builds;
    std::vector<std::string> layers;  // each shape's layer, in slide order
    float length;                     // seconds of animation
    const char* end;                  // the background layer
};

TEST(SlideAnimations, TimingOfBuildsAndWhatWaitsForTheNext) {
    const TimingCase cases[] = {
        {"on click: hidden and dimmed when the next one starts",
         {{L"A", 1, ppAdvanceOnClick, 0, ppAfterEffectHideOnClick},
          {L"B", 2, ppAdvanceOnClick, 0, ppAfterEffectDim},
          {L"C", 3}},
         {"20: show img0; 40: hide show0", "40: show img2; 60: hide show1 show img3", "60: show img4"},
         6.0f,
         "0: show bg0; 80: actionStop"},
        {"after a time: no margin, the effect's length counts",
         {{L"A", 1, ppAdvanceOnTime, 1.5f, ppAfterEffectNothing, kFade}, {L"B", 2, ppAdvanceOnTime, 0.0f}},
         {"15: show img0; 16: modify; 17: modify; 18: modify; 19: modify; 20: modify", "20: show img1"},
         2.0f,
         "0: show bg0; 50: actionStop"},
        {"the last one hidden on the next click waits its own delay",
         {{L"A", 1, ppAdvanceOnClick, 0, ppAfterEffectHideOnClick, kFade}},
         {"20: show img0; 21: modify; 22: modify; 23: modify; 24: modify; 25: modify; 45: hide show0"},
         2.5f,
         "0: show bg0; 50: actionStop"},
        {"the last one dimmed after its own time",
         {{L"A", 1, ppAdvanceOnTime, 1.0f, ppAfterEffectDim, kFade}},
         {"10: show img0; 11: modify; 12: modify; 13: modify; 14: modify; 15: modify; 25: hide show0 show img1"},
         1.5f,
         "0: show bg0; 50: actionStop"},
        {"a long build ends the slide late",
         {{L"A", 1}, {L"B", 2}, {L"C", 3}, {L"D", 4}},
         {"20: show img0", "40: show img1", "60: show img2", "80: show img3"},
         8.0f,
         "0: show bg0; 100: actionStop"},
    };
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deck deck(2);
        for (std::size_t i = 0; i < c.builds.size(); ++i) AddBuild(deck.Slide(0), c.builds[i], static_cast<int>(i));
        auto movie = deck.Movie();
        ASSERT_EQ("", FailureOf([&] { ExportSlides(*movie); }));
        const auto& slide = movie->GetSlides()[0];
        EXPECT_FLOAT_EQ(c.length, slide->GetAnimations2000()->GetAnimationLength());
        const std::vector<std::string> all = DescribeLayers(slide->GetLayersElement());
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(c.end, all[0]);
        const std::vector<std::string> layers = ShapeLayers(*slide);
        ASSERT_EQ(c.layers.size(), layers.size());
        for (std::size_t i = 0; i < layers.size(); ++i) EXPECT_EQ(WithoutIds(c.layers[i]), WithoutIds(layers[i]));
    }
}

// An automatic transition does not wait for the build's margin beyond the slide's delay.
TEST(SlideAnimations, AutomaticTransitionJumpsAfterTheBuild) {
    Deck deck(2);
    AddBuild(deck.Slide(0), {L"A", 1}, 0);
    deck.Slide(0)->transition.advanceTime = 9.0f;
    auto movie = deck.Movie([](CExportSettings& s) { s.SetAutomaticSlideTransition(true); });
    ASSERT_EQ("", FailureOf([&] { ExportSlides(*movie); }));
    const auto& slide = movie->GetSlides()[0];
    // 2 s of build and 2 s of margin are less than the 9 s the transition asks.
    EXPECT_FLOAT_EQ(9.0f, slide->GetSlideDuration());
    EXPECT_EQ("0: show bg0; 90: actionSetTarget .. actionGoToFrame 1", DescribeLayers(slide->GetLayersElement())[0]);
}

}  // namespace
