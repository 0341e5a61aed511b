// Effect exporters: the registry's answers, the animated object's shows, masks and hides, the
// entrance/exit dispatch, and the frames each family of exporters writes.

#include "ExporterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <typeinfo>

using namespace genswf;
using namespace exporterstest;

namespace {

class ExporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        movie = CMovie::CreateEmpty();
        movie->SetFrameRate(12);
        movie->SetMovieSize(720, 540);
        factory = CEffectExporterFactory::Create(movie.get());
        object = std::make_shared<TestObject>(movie.get());
        body = movie->GetObjects()->AddRectangle(0, 0, 50, 40);
        object->SetObject(body);
        CMatrix m;
        m.SetTranslation(100, 50);
        placement = CPlacement::Create(movie.get(), 100, 50, 50, 40, m);
    }
    void Run(const std::shared_ptr<CTimeLineEffect>& effect) {
        factory->GetExporter(effect)->Export(placement, object, effect);
    }
    std::vector<Written> Out() const { return Commands(*object->layer); }

    std::shared_ptr<CMovie> movie;
    std::shared_ptr<CEffectExporterFactory> factory;
    std::shared_ptr<TestObject> object;
    std::shared_ptr<CRectangleObject> body;
    std::shared_ptr<CPlacement> placement;
};

// --- Registry --------------------------------------------------------------------------------

TEST_F(ExporterTest, RegistryMapsEveryNumberToItsClassOrTheFallback) {
    struct Case {
        int number;
        const std::type_info& type;
    };
    const Case cases[] = {
        {1, typeid(CAppearEffectExporter)},       {2, typeid(CFlyEffectExporter)},
        {3, typeid(CBlindsEffectExporter)},       {4, typeid(CBoxEffectExporter)},
        {5, typeid(CCheckerboardEffectExporter)}, {6, typeid(CCircleEffectExporter)},
        {7, typeid(CCrawlEffectExporter)},        {9, typeid(CDissolveEffectExporter)},
        {10, typeid(CFadeEffectExporter)},        {11, typeid(CFlashOnceEffectExporter)},
        {12, typeid(CPeekEffectExporter)},        {14, typeid(CRandomBarsEffectExporter)},
        {15, typeid(CSpiralEffectExporter)},      {16, typeid(CSplitEffectExporter)},
        {17, typeid(CStretchEffectExporter)},     {19, typeid(CSwivelEffectExporter)},
        {22, typeid(CWipeEffectExporter)},        {23, typeid(CZoomEffectExporter)},
        {8, typeid(CStaticEffectExporter)},       {13, typeid(CStaticEffectExporter)},
        {18, typeid(CStaticEffectExporter)},      {20, typeid(CStaticEffectExporter)},
        {21, typeid(CStaticEffectExporter)},      {0, typeid(CStaticEffectExporter)},
        {-1, typeid(CStaticEffectExporter)},      {24, typeid(CStaticEffectExporter)},
    };
    for (const Case& c : cases) {
        auto exporter = factory->GetExporter(Record(c.number, false, 0, 0, 1));
        ASSERT_TRUE(exporter);
        EXPECT_EQ(std::string(c.type.name()), typeid(*exporter).name()) << "effect " << c.number;
    }
    EXPECT_TRUE(dynamic_cast<CStaticEffectExporter*>(factory->GetExporter(nullptr).get()));
    EXPECT_TRUE(dynamic_cast<CEmbeddedMovieExporter*>(factory->GetEmbeddedMovieExporter().get()));

    // The fades are four objects; re-registering replaces; an empty entry falls back.
    auto fade = factory->GetExporter(Record(10, false, 0, 0, 1));
    EXPECT_NE(fade, factory->GetExporter(Record(9, false, 0, 0, 1)));
    factory->Register(8, fade);
    EXPECT_EQ(fade, factory->GetExporter(Record(8, false, 0, 0, 1)));
    factory->Register(8, nullptr);
    EXPECT_TRUE(dynamic_cast<CStaticEffectExporter*>(factory->GetExporter(Record(8, false, 0, 0, 1)).get()));
}

TEST_F(ExporterTest, DurationsComeFromTheTimingExceptForTheFallback) {
    auto effect = Record(10, false, 0, 0, 1, 2.5f);
    EXPECT_FLOAT_EQ(2.5f, factory->GetExporter(effect)->GetDuration(effect));
    auto unknown = Record(21, false, 0, 0, 1, 2.5f);
    EXPECT_FLOAT_EQ(0.0f, factory->GetExporter(unknown)->GetDuration(unknown));
    EXPECT_FLOAT_EQ(720.0f, factory->GetMovieWidth());
    EXPECT_FLOAT_EQ(540.0f, factory->GetMovieHeight());
}

TEST_F(ExporterTest, FallbackShowsANeverShownObjectOnceWithoutAnimation) {
    Run(Record(8, false, 0, 7, 19));
    auto out = Out();
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(7u, out[0].frame);
    EXPECT_EQ(CFrameCommand::SHOW, out[0].Type());

    Run(Record(13, false, 0, 30, 40));  // shown before: nothing more
    EXPECT_EQ(1u, Out().size());

    auto other = std::make_shared<TestObject>(movie.get());
    other->SetObject(body);
    factory->GetExporter(nullptr)->Export(placement, other, nullptr);
    auto shown = Commands(*other->layer);
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(0u, shown[0].frame);  // no record: the movie's start frame
}

TEST_F(ExporterTest, AnExitWithoutAnExporterHidesTheObjectAtItsEnd) {
    // Shown by an entrance, taken away by an exit the system cannot animate.
    Run(Record(8, false, 0, 7, 7));
    Run(Record(21, true, 0, 19, 25));
    auto out = Out();
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(CFrameCommand::HIDE, out[1].Type());
    EXPECT_EQ(25u, out[1].frame);
    EXPECT_FALSE(object->IsShown());
    Run(Record(21, true, 0, 30, 30));  // hidden already: nothing more
    EXPECT_EQ(2u, Out().size());

    // Never shown: there from the movie's start until the exit ends.
    auto other = std::make_shared<TestObject>(movie.get());
    other->SetObject(body);
    auto exit = Record(21, true, 0, 12, 12);
    factory->GetExporter(exit)->Export(placement, other, exit);
    auto shown = Commands(*other->layer);
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(CFrameCommand::SHOW, shown[0].Type());
    EXPECT_EQ(0u, shown[0].frame);
    EXPECT_EQ(CFrameCommand::HIDE, shown[1].Type());
    EXPECT_EQ(12u, shown[1].frame);
}

TEST_F(ExporterTest, EmbeddedMovieIsClippedToItsBoundsFromTheStart) {
    factory->GetEmbeddedMovieExporter()->Export(placement, object, Record(2, false, 4, 30, 40));
    auto out = Out();
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(0u, out[0].frame);
    auto mask = std::dynamic_pointer_cast<CRectangleObject>(object->GetMaskObject());
    ASSERT_TRUE(mask);
    EXPECT_FLOAT_EQ(100.0f, mask->x);
    EXPECT_FLOAT_EQ(40.0f, mask->height);
    EXPECT_TRUE(object->objects->Contains(mask));
    // The mask is on the earlier track, the object shown above it with its reference.
    EXPECT_LT(out[0].track, out[1].track);
    EXPECT_EQ(object->GetMaskShow()->GetShowId(), out[1].Placement()->maskId);
    EXPECT_FLOAT_EQ(100.0f, out[1].Placement()->matrix.tx);
}

// --- Animated object and the entrance/exit dispatch ---------------------------------------------

TEST_F(ExporterTest, ExitOfANeverShownObjectShowsItFromTheMovieStartThenHidesIt) {
    Run(Record(1, true, 0, 12, 18));  // appear exit: a disappearance
    auto out = Out();
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(0u, out[0].frame);
    EXPECT_EQ(CFrameCommand::SHOW, out[0].Type());
    EXPECT_EQ(18u, out[1].frame);
    EXPECT_EQ(CFrameCommand::HIDE, out[1].Type());
    EXPECT_FALSE(object->IsShown());

    Run(Record(10, true, 0, 30, 40));  // already gone: nothing
    EXPECT_EQ(2u, Out().size());

    Run(Record(1, false, 0, 50, 60));  // shown again on a new track
    out = Out();
    ASSERT_EQ(3u, out.size());
    EXPECT_EQ(CFrameCommand::SHOW, out[2].Type());
    EXPECT_NE(out[0].track, out[2].track);
}

TEST_F(ExporterTest, ASecondEffectModifiesWhatTheFirstShowedAndAChangedObjectIsReplaced) {
    Run(Record(1, false, 0, 0, 5));
    auto sprite = movie->GetObjects()->AddRectangle(0, 0, 5, 5);
    object->SetObject(sprite);
    object->ReplaceObject(6, sprite, CMatrix());
    auto other = movie->GetObjects()->AddRectangle(0, 0, 6, 6);
    object->SetObject(other);
    EXPECT_EQ(CFrameCommand::REPLACE, object->PlaceAt(7, CMatrix())->GetType());
    EXPECT_EQ(CFrameCommand::MODIFY, object->PlaceAt(8, CMatrix())->GetType());
    EXPECT_TRUE(object->objects->Contains(other));
}

// --- Fade, appear, flash once ------------------------------------------------------------------

TEST_F(ExporterTest, FadeEntranceAndExitShiftAlphaFrameByFrame) {
    for (bool exit : {false, true}) {
        SetUp();
        if (exit) Run(Record(1, false, 0, 0, 0));  // displayed before it fades out
        Run(Record(10, exit, 0, 10, 20));
        auto out = Out();
        if (exit) out.erase(out.begin());
        ASSERT_EQ(exit ? 12u : 11u, out.size());
        EXPECT_EQ(exit ? CFrameCommand::MODIFY : CFrameCommand::SHOW, out[0].Type());
        EXPECT_EQ(exit ? 0 : -255, out[0].Placement()->shiftAlpha);
        EXPECT_EQ(exit ? -127 : -127, out[5].Placement()->shiftAlpha);  // -127.5 toward zero
        EXPECT_EQ(exit ? -255 : 0, out[10].Placement()->shiftAlpha);
        EXPECT_FLOAT_EQ(100.0f, out[10].Placement()->matrix.tx);
        if (exit) {
            EXPECT_EQ(CFrameCommand::HIDE, out[11].Type());
            EXPECT_EQ(20u, out[11].frame);
        }
    }
}

TEST_F(ExporterTest, TheFourFadesWriteTheSameAndASingleFrameFadeUsesItsStartValue) {
    std::vector<std::vector<int>> alphas;
    for (int type : {5, 9, 10, 14}) {
        SetUp();
        Run(Record(type, false, 0, 3, 9));
        std::vector<int> a;
        for (const auto& w : Out()) a.push_back(w.Placement()->shiftAlpha);
        alphas.push_back(a);
    }
    for (const auto& a : alphas) EXPECT_EQ(alphas[0], a);

    SetUp();
    Run(Record(10, false, 0, 12, 12));
    auto out = Out();
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(-255, out[0].Placement()->shiftAlpha);
}

TEST_F(ExporterTest, FlashOnceModifiesADisplayedObjectAndHidesItAtTheEnd) {
    Run(Record(1, false, 0, 0, 0));
    Run(Record(11, false, 0, 10, 16));
    auto out = Out();
    ASSERT_EQ(3u, out.size());
    EXPECT_EQ(CFrameCommand::MODIFY, out[1].Type());
    EXPECT_EQ(10u, out[1].frame);
    EXPECT_EQ(CFrameCommand::HIDE, out[2].Type());
    EXPECT_EQ(16u, out[2].frame);
}

TEST_F(ExporterTest, AFrameRangeEndingAtTheLastFrameNumberStops) {
    Run(Record(10, false, 0, 0xFFFFFFFEu, 0xFFFFFFFFu));
    EXPECT_EQ(2u, Out().size());
    SetUp();
    Run(Record(10, false, 0, 20, 10));  // start beyond end: nothing
    EXPECT_EQ(0u, Out().size());
}

// --- Motion ------------------------------------------------------------------------------------

TEST_F(ExporterTest, FlyStartsOrEndsJustOutsideTheMovie) {
    struct Case {
        int type;
        bool exit;
        int direction;
        float firstDx, firstDy, lastDx, lastDy;
    };
    const Case cases[] = {
        {2, false, 4, -150, 0, 0, 0},                                // right edge at the movie's left edge
        {7, false, 4, -150, 0, 0, 0},                                // crawl moves the same way
        {2, false, 1, 0, -90, 0, 0},  {2, true, 8, 0, 0, 620, 490},  // out to the bottom right
        {2, false, 0, 0, 0, 0, 0},    {2, false, 5, 0, 0, 0, 0},    {2, false, 10, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        Run(Record(c.type, c.exit, c.direction, 0, 4));
        auto out = Out();
        ASSERT_GE(out.size(), 5u);
        EXPECT_FLOAT_EQ(100 + c.firstDx, out[0].Placement()->matrix.tx) << c.direction;
        EXPECT_FLOAT_EQ(50 + c.firstDy, out[0].Placement()->matrix.ty) << c.direction;
        EXPECT_FLOAT_EQ(100 + c.lastDx, out[4].Placement()->matrix.tx) << c.direction;
        EXPECT_FLOAT_EQ(50 + c.lastDy, out[4].Placement()->matrix.ty) << c.direction;
        EXPECT_EQ(c.exit ? 6u : 5u, out.size());
    }
}

TEST_F(ExporterTest, PeekMovesUnderAFixedMaskAndEndsAtRestUnclipped) {
    Run(Record(12, false, 3, 0, 4));
    auto out = Out();
    auto mask = std::dynamic_pointer_cast<CRectangleObject>(object->GetMaskObject());
    ASSERT_TRUE(mask);
    EXPECT_FLOAT_EQ(99.0f, mask->x);
    EXPECT_FLOAT_EQ(49.0f, mask->y);
    EXPECT_FLOAT_EQ(52.0f, mask->width);
    EXPECT_FLOAT_EQ(42.0f, mask->height);
    // Frame 0: mask show, object show one height below with the mask reference.
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(mask->GetId(), std::static_pointer_cast<CShowCommand>(out[0].command)->GetObjectId());
    EXPECT_FLOAT_EQ(90.0f, out[1].Placement()->matrix.ty);
    EXPECT_FALSE(out[1].Placement()->maskId.empty());
    // Frame 4: the object at rest, the mask hidden.
    const Written& last = out[out.size() - 1];
    EXPECT_EQ(4u, last.frame);
    EXPECT_FALSE(object->IsMaskShown());
    EXPECT_TRUE(object->IsShown());
    bool restAt4 = false, maskHiddenAt4 = false;
    for (const auto& w : out)
        if (w.frame == 4) {
            if (w.Type() == CFrameCommand::MODIFY && w.Placement()->matrix.ty == 50.0f) restAt4 = true;
            if (w.Type() == CFrameCommand::HIDE) maskHiddenAt4 = true;
        }
    EXPECT_TRUE(restAt4);
    EXPECT_TRUE(maskHiddenAt4);

    SetUp();
    Run(Record(12, true, 3, 0, 4));
    int at4 = 0;
    for (const auto& w : Out())
        if (w.frame == 4) {
            ++at4;
            EXPECT_EQ(CFrameCommand::HIDE, w.Type());
        }
    EXPECT_EQ(2, at4);  // the mask and the object, nothing of the peek's own
}

// --- Masks -------------------------------------------------------------------------------------

// The mask shown or put in at each frame, in order (the object itself left out).
std::vector<std::shared_ptr<CMovieObject>> MasksByFrame(const std::vector<Written>& out,
                                                        const CObjectsCollection& objects) {
    const std::wstring body = objects.GetObjects().front()->GetId();
    std::vector<std::shared_ptr<CMovieObject>> masks;
    for (const auto& w : out) {
        std::wstring id;
        if (auto show = std::dynamic_pointer_cast<CShowCommand>(w.command))
            id = show->GetObjectId();
        else if (auto replace = std::dynamic_pointer_cast<CReplaceCommand>(w.command))
            id = replace->objectId;
        for (const auto& o : objects.GetObjects())
            if (o->GetId() == id && id != body) masks.push_back(o);
    }
    return masks;
}

TEST_F(ExporterTest, WipeRevealsFromTheMovingEdgeAndEndsUnclipped) {
    Run(Record(22, false, 2, 0, 4));
    auto masks = MasksByFrame(Out(), *object->objects);
    ASSERT_EQ(4u, masks.size());  // n - 1 mask definitions for n + 1 frames
    auto first = std::dynamic_pointer_cast<CRectangleObject>(masks[0]);
    ASSERT_TRUE(first);
    EXPECT_FLOAT_EQ(151.0f, first->x);
    EXPECT_FLOAT_EQ(0.0f, first->width);
    auto third = std::dynamic_pointer_cast<CRectangleObject>(masks[2]);
    EXPECT_FLOAT_EQ(125.0f, third->x);
    EXPECT_FLOAT_EQ(26.0f, third->width);
    EXPECT_FALSE(object->IsMaskShown());
    EXPECT_TRUE(object->IsShown());

    SetUp();
    Run(Record(22, false, 7, 0, 3));  // no such direction: the full widened bounds throughout
    for (const auto& m : MasksByFrame(Out(), *object->objects)) {
        auto r = std::dynamic_pointer_cast<CRectangleObject>(m);
        EXPECT_FLOAT_EQ(99.0f, r->x);
        EXPECT_FLOAT_EQ(52.0f, r->width);
    }

    SetUp();
    Run(Record(22, false, 2, 6, 6));  // one frame: only the end step
    auto out = Out();
    ASSERT_EQ(1u, out.size());
    EXPECT_TRUE(out[0].Placement()->maskId.empty());
}

TEST_F(ExporterTest, MaskShapesOfBlindsSplitBoxAndCircle) {
    // Blinds exit, vertical: six full-width bands at the start.
    Run(Record(3, true, 17, 0, 4));
    auto masks = MasksByFrame(Out(), *object->objects);
    ASSERT_FALSE(masks.empty());
    auto blinds = std::dynamic_pointer_cast<CShapeObject>(masks[0]);
    ASSERT_TRUE(blinds);
    ASSERT_EQ(6u, blinds->parts.size());
    auto band = std::static_pointer_cast<CRectangleObject>(blinds->parts[1]);
    EXPECT_NEAR(99.0f + 52.0f / 6.0f, band->x, 1e-4);
    EXPECT_NEAR(52.0f / 6.0f, band->width, 1e-4);
    EXPECT_FLOAT_EQ(42.0f, band->height);
    auto later =
        std::static_pointer_cast<CRectangleObject>(std::dynamic_pointer_cast<CShapeObject>(masks[2])->parts[1]);
    EXPECT_NEAR(52.0f / 12.0f, later->width, 1e-4);  // shrinking towards the left edges
    EXPECT_FALSE(object->IsShown());

    // Split entrance, horizontal in: a frame with a hole that starts whole.
    SetUp();
    Run(Record(16, false, 23, 0, 4));
    masks = MasksByFrame(Out(), *object->objects);
    auto split = std::dynamic_pointer_cast<CShapeObject>(masks[0]);
    ASSERT_TRUE(split);
    ASSERT_EQ(2u, split->parts.size());
    auto hole = std::static_pointer_cast<CRectangleObject>(split->parts[1]);
    EXPECT_FLOAT_EQ(42.0f, hole->height);
    auto hole2 =
        std::static_pointer_cast<CRectangleObject>(std::dynamic_pointer_cast<CShapeObject>(masks[2])->parts[1]);
    EXPECT_FLOAT_EQ(21.0f, hole2->height);
    EXPECT_FLOAT_EQ(49.0f + 10.5f, hole2->y);

    // Box and circle out: a solid opening growing from the centre.
    for (int type : {4, 6}) {
        SetUp();
        Run(Record(type, false, 20, 0, 4));
        masks = MasksByFrame(Out(), *object->objects);
        ASSERT_EQ(4u, masks.size());
        EXPECT_EQ(nullptr, std::dynamic_pointer_cast<CShapeObject>(masks[0]));
        float w0 = type == 4 ? std::static_pointer_cast<CRectangleObject>(masks[0])->width
                             : std::static_pointer_cast<COvalObject>(masks[0])->width;
        EXPECT_FLOAT_EQ(0.0f, w0);
    }
    // The circle's opening reaches the corners: at three quarters it is 0.75 of w * sqrt(2).
    auto oval = std::static_pointer_cast<COvalObject>(masks[3]);
    EXPECT_NEAR(0.75f * 50.0f * std::sqrt(2.0f), oval->width, 1e-3);

    // Box in, exit: a solid opening shrinking; circle in, entrance: frame with an oval hole.
    SetUp();
    Run(Record(6, false, 19, 0, 4));
    masks = MasksByFrame(Out(), *object->objects);
    auto circle = std::dynamic_pointer_cast<CShapeObject>(masks[0]);
    ASSERT_TRUE(circle);
    EXPECT_FLOAT_EQ(90.0f, std::static_pointer_cast<CRectangleObject>(circle->parts[0])->x);
    EXPECT_TRUE(std::dynamic_pointer_cast<COvalObject>(circle->parts[1]));
}

// --- Scale and rotation -------------------------------------------------------------------------

TEST_F(ExporterTest, ZoomSpiralStretchAndSwivelFramesAtStartAndEnd) {
    struct Case {
        int type;
        bool exit;
        int direction;
        CMatrix first, last;
    };
    // Resting matrix: translation (100, 50); centre (125, 70); movie 720 x 540.
    const Case cases[] = {
        // Zoom entrances end at rest and exits start there, whatever the direction.
        {23, false, 19, CMatrix(0, 0, 0, 0, 125, 70), CMatrix(1, 0, 0, 1, 100, 50)},
        {23, true, 19, CMatrix(1, 0, 0, 1, 100, 50), CMatrix(4, 0, 0, 4, 25, -10)},
        // from the movie's centre and back to it
        {23, false, 30, CMatrix(0, 0, 0, 0, 360, 270), CMatrix(1, 0, 0, 1, 100, 50)},
        {23, true, 30, CMatrix(1, 0, 0, 1, 100, 50), CMatrix(0, 0, 0, 0, 360, 270)},
        {23, false, 33, CMatrix(0, 0, 0, 0, 360, 270), CMatrix(1, 0, 0, 1, 100, 50)},
        {23, true, 33, CMatrix(1, 0, 0, 1, 100, 50), CMatrix(0, 0, 0, 0, 360, 270)},
        // eight times, centred across, its centre 4 h below the movie's centre
        {23, false, 31, CMatrix(8, 0, 0, 8, 360 - 200, 270 + 160 - 160), CMatrix(1, 0, 0, 1, 100, 50)},
        {23, true, 31, CMatrix(1, 0, 0, 1, 100, 50), CMatrix(8, 0, 0, 8, 360 - 200, 270 + 160 - 160)},
        {23, false, 34, CMatrix(8, 0, 0, 8, 360 - 200, 270 + 160 - 160), CMatrix(1, 0, 0, 1, 100, 50)},
        {23, true, 34, CMatrix(1, 0, 0, 1, 100, 50), CMatrix(8, 0, 0, 8, 360 - 200, 270 + 160 - 160)},
        // small at (-R, 0) from the centre; R = |(150, 50 - 540)|
        {15, false, 0, CMatrix(0, 0, 0, 0, 125 - std::sqrt(150.0f * 150 + 490.0f * 490), 70),
         CMatrix(1, 0, 0, 1, 100, 50)},
        // onto the bottom edge (y + h = 90)
        {17, true, 3, CMatrix(1, 0, 0, 1, 100, 50), CMatrix(1, 0, 0, 0, 100, 90)},
        {19, false, 16, CMatrix(0, 0, 0, 1, 125, 50), CMatrix(1, 0, 0, 1, 100, 50)},
        {19, false, 17, CMatrix(1, 0, 0, 0, 100, 70), CMatrix(1, 0, 0, 1, 100, 50)},
    };
    for (const Case& c : cases) {
        SetUp();
        Run(Record(c.type, c.exit, c.direction, 0, 8));
        auto out = Out();
        ASSERT_GE(out.size(), 9u);
        for (auto [got, want] : {std::make_pair(out[0].Placement()->matrix, c.first),
                                 std::make_pair(out[8].Placement()->matrix, c.last)}) {
            const float tol = 1e-3f * (1.0f + std::fabs(want.tx) + std::fabs(want.ty));
            EXPECT_NEAR(want.a, got.a, 1e-4) << c.type << "/" << c.direction;
            EXPECT_NEAR(want.d, got.d, 1e-4) << c.type << "/" << c.direction;
            EXPECT_NEAR(want.tx, got.tx, tol) << c.type << "/" << c.direction;
            EXPECT_NEAR(want.ty, got.ty, tol) << c.type << "/" << c.direction;
        }
        EXPECT_EQ(c.exit ? 10u : 9u, out.size());
    }
}

}  // namespace
