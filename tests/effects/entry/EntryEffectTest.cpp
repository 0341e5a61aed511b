// Entry effects: the frame arithmetic every writer shares and the frames the writers emit.

#include "genswf/animation/EffectRegistry.h"
#include "genswf/animation/EntryEffects.h"
#include "genswf/utils/Utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace genswf;

namespace {

struct TimingCase {
    int fps;
    float start, duration;
    std::uint32_t first, end;
};

class FrameTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(FrameTimingTest, StartEndAndSteps) {
    const TimingCase& c = GetParam();
    const EntryEffectFrames f = ComputeEntryEffectFrames(c.fps, c.start, c.duration);
    EXPECT_EQ(c.first, f.start);
    EXPECT_EQ(c.end, f.end);
    EXPECT_EQ(c.end - c.first, f.n);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Table, FrameTimingTest,
    ::testing::Values(TimingCase{12, 0.0f, 0.5f, 0, 6}, TimingCase{12, 0.0f, 0.0f, 0, 1},     // at least one step
                      TimingCase{12, 1.04f, 0.0f, 12, 13},                                    // 12.48 + 0.5 truncated
                      TimingCase{12, 0.0f, 5.0f, 0, 60}, TimingCase{12, 0.0f, 0.1f, 0, 1},    // 1.2 + 0.5 truncated
                      TimingCase{12, 0.0f, 1.0f, 0, 12}, TimingCase{25, 2.0f, 0.5f, 50, 63},  // 62.5 + 0.5
                      TimingCase{12, -3.0f, 0.5f, 0, 1},  // before the slide: clamped
                      TimingCase{12, kNaN, 0.5f, 0, 1}, TimingCase{12, kInf, 0.5f, 2147483645u, 2147483646u}),
    [](const ::testing::TestParamInfo<TimingCase>& info) { return "case" + std::to_string(info.index); });

// A movie, its objects element and a shape record at (10, 20), 100 x 50.
class EntryEffectWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        movie = CMovie::CreateEmpty();
        movie->SetFrameRate(12);
        movie->SetMovieSize(720, 540);
        record = CreateShapeObjectRecord(movie.get(), movie->GetObjectsElement(), L"img7", 10, 20, 100, 50,
                                         CMatrix(1, 0, 0, 1, 10, 20));
        frames = CreateFrameList(movie.get());
    }

    void Write(int code, float start = 0.0f) {
        CEffectRegistry registry(L"9.0");
        registry.GetEffect(code)->WriteFrames(*record, frames, start);
    }

    // Every command of every track, in track and frame order.
    std::vector<std::shared_ptr<CFrameCommand>> Commands(const std::shared_ptr<CFrameTrack>& track) const {
        std::vector<std::shared_ptr<CFrameCommand>> all;
        for (const auto& entry : track->GetCommandMap())
            for (const auto& command : entry.second) all.push_back(command);
        return all;
    }

    std::string ObjectsXml() const { return Utf8FromWide(movie->GetObjectsElement()->xml()); }

    std::shared_ptr<CMovie> movie;
    CRefPtr<CShapeObjectRecord> record;
    std::shared_ptr<CFrameList> frames;
};

TEST_F(EntryEffectWriterTest, PlainEffectsShowOnceWithTheSecondMatrix) {
    for (int code : {257, 258, 3844, 0}) {
        SCOPED_TRACE(code);
        SetUp();
        record->secondMatrix = CMatrix(2, 0, 0, 2, 5, 6);
        Write(code, 1.04f);
        ASSERT_EQ(1u, frames->GetTracks().size());
        auto commands = Commands(frames->GetTracks()[0]);
        ASSERT_EQ(1u, commands.size());
        auto show = std::dynamic_pointer_cast<CShowCommand>(commands[0]);
        ASSERT_TRUE(show);
        EXPECT_EQ(12u, show->GetFrame());
        EXPECT_EQ(L"img7", show->GetObjectId());
        EXPECT_EQ(2.0f, show->matrix.a);
        EXPECT_EQ(5.0f, show->matrix.tx);
        EXPECT_EQ(show, record->GetShowCommand());
        EXPECT_EQ(show->GetShowId(), record->GetShowId());
        EXPECT_TRUE(show->maskId.empty());
    }
}

TEST_F(EntryEffectWriterTest, FadeRaisesAlphaInSevenSteps) {
    Write(1793);
    auto commands = Commands(frames->GetTracks().at(0));
    // The last step would overshoot to +1; the shape ends fully opaque.
    const wchar_t* expected[] = {L"-255", L"-212", L"-169", L"-126", L"-84", L"-41", L"0"};
    ASSERT_EQ(7u, commands.size());
    for (std::size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(i, commands[i]->GetFrame());
        EXPECT_EQ(i == 0 ? CFrameCommand::SHOW : CFrameCommand::MODIFY, commands[i]->GetType());
        EXPECT_EQ(expected[i], commands[i]->GetAttributes().Items().at(L"shiftAlpha"));
        EXPECT_FALSE(commands[i]->GetAttributes().Contains(L"maskId"));
    }
}

TEST_F(EntryEffectWriterTest, FlashOnceHidesAfterItsDuration) {
    struct {
        int code;
        std::uint32_t hideFrame;
    } cases[] = {{3841, 1}, {3842, 6}, {3843, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        SetUp();
        Write(c.code);
        auto commands = Commands(frames->GetTracks().at(0));
        ASSERT_EQ(2u, commands.size());
        EXPECT_EQ(CFrameCommand::SHOW, commands[0]->GetType());
        EXPECT_EQ(CFrameCommand::HIDE, commands[1]->GetType());
        EXPECT_EQ(c.hideFrame, commands[1]->GetFrame());
        EXPECT_EQ(record->GetShowId(), std::static_pointer_cast<CHideCommand>(commands[1])->showId);
    }
}

TEST_F(EntryEffectWriterTest, FlyStartsOutsideTheMovieAndEndsInPlace) {
    struct {
        int code;
        std::size_t count;
        float dx, dy;
    } cases[] = {
        {3331, 7, 710, 0},     // from right: movie width - x
        {3329, 7, -110, 0},    // from left: -(x + w)
        {3332, 7, 0, 520},     // from bottom: movie height - y
        {3333, 7, -110, -70},  // from top left
        {3341, 61, -110, 0},   // crawl: 5 s
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        SetUp();
        Write(c.code);
        auto commands = Commands(frames->GetTracks().at(0));
        ASSERT_EQ(c.count, commands.size());
        const float n = static_cast<float>(c.count - 1);
        for (std::size_t i = 0; i < commands.size(); ++i) {
            auto placement = std::static_pointer_cast<CPlacementCommand>(commands[i]);
            const float left = 1.0f - static_cast<float>(i) / n;
            EXPECT_NEAR(10 + c.dx * left, placement->matrix.tx, 1e-3);
            EXPECT_NEAR(20 + c.dy * left, placement->matrix.ty, 1e-3);
        }
    }
}

TEST_F(EntryEffectWriterTest, ScalingEffectsEndAtTheFirstMatrix) {
    for (int code : {3345, 3346, 3347, 3348, 3349, 3350, 3351, 3352, 3353, 3354, 3355, 3356, 3357}) {
        SCOPED_TRACE(code);
        SetUp();
        Write(code);
        auto commands = Commands(frames->GetTracks().at(0));
        ASSERT_GE(commands.size(), 2u);
        auto last = std::static_pointer_cast<CPlacementCommand>(commands.back());
        EXPECT_NEAR(1.0f, last->matrix.a, 1e-4);
        EXPECT_NEAR(1.0f, last->matrix.d, 1e-4);
        EXPECT_NEAR(10.0f, last->matrix.tx, 1e-3);
        EXPECT_NEAR(20.0f, last->matrix.ty, 1e-3);
        EXPECT_EQ(CFrameCommand::SHOW, commands.front()->GetType());
    }
}

TEST_F(EntryEffectWriterTest, ZoomCenterStartsAtTheMovieCentreWithNothingShown) {
    Write(3349);
    auto first = std::static_pointer_cast<CPlacementCommand>(Commands(frames->GetTracks().at(0)).front());
    EXPECT_EQ(0.0f, first->matrix.a);
    float x, y;
    first->matrix.Transform(60, 45, x, y);  // the shape's centre
    EXPECT_NEAR(360.0f, x, 1e-3);
    EXPECT_NEAR(270.0f, y, 1e-3);
}

std::size_t CountOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST_F(EntryEffectWriterTest, WipesGrowAMarginedBarAcrossTheShape) {
    // Shape (10, 20) 100 x 50; the bar has one unit of margin and grows by 102 / 6 = 17.
    struct {
        int code;
        const char* first;
        const char* last;
    } cases[] = {
        {2819, "x=\"180tw\" y=\"380tw\" width=\"40tw\" height=\"1040tw\"",
         "x=\"180tw\" y=\"380tw\" width=\"2080tw\" height=\"1040tw\""},
        {2817, "x=\"2180tw\" y=\"380tw\" width=\"40tw\" height=\"1040tw\"",
         "x=\"140tw\" y=\"380tw\" width=\"2080tw\" height=\"1040tw\""},
        {2820, "x=\"180tw\" y=\"380tw\" width=\"2040tw\" height=\"40tw\"",
         "x=\"180tw\" y=\"380tw\" width=\"2040tw\" height=\"1080tw\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        SetUp();
        Write(c.code);
        const std::string xml = ObjectsXml();
        const std::size_t first = xml.find("<rectangle ");
        const std::size_t last = xml.rfind("<rectangle ");
        EXPECT_NE(std::string::npos, xml.find(c.first, first));
        EXPECT_LT(xml.find(c.first, first), xml.find("/>", first));
        EXPECT_NE(std::string::npos, xml.find(c.last, last));
        // Frame 0 shows the first bar; every later frame replaces it.
        EXPECT_EQ(1u, CountOf(xml, "<show "));
        EXPECT_EQ(6u, CountOf(xml, "<replace "));
    }
}

TEST_F(EntryEffectWriterTest, MaskEffectsWriteOneSpriteOfTheirParts) {
    // Seven frames at 12 frames per second over 0.5 s.
    struct {
        int code;
        std::size_t rectangles, shapes;
    } cases[] = {
        {2819, 7, 0},   // wipe: one rectangle per frame
        {2051, 7, 0},   // uncover right: one
        {2056, 14, 7},  // uncover right-down: two per frame, in one shape
        {769, 42, 7},   // blinds: six per frame
        {3073, 7, 0},   // box out: the box itself
        {3074, 28, 7},  // box in: four bands around it
        {3585, 14, 7},  // split: two per frame
        {2565, 15, 1},  // strips: one staircase, moved
        {1281, 1, 0},   // cover: the bounds, never changed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        SetUp();
        Write(c.code);
        const std::string xml = ObjectsXml();
        EXPECT_EQ(1u, CountOf(xml, "<sprite "));
        EXPECT_EQ(1u, CountOf(xml, "<actionStop"));
        EXPECT_EQ(c.rectangles, CountOf(xml, "<rectangle "));
        EXPECT_EQ(c.rectangles, CountOf(xml, "fillStyle=\""));
        EXPECT_EQ(c.shapes, CountOf(xml, "<shape "));

        // The mask sprite and the masked shape from frame 0; the sprite hidden at frame 7.
        ASSERT_EQ(2u, frames->GetTracks().size());
        auto maskCommands = Commands(frames->GetTracks()[0]);
        ASSERT_EQ(2u, maskCommands.size());
        auto maskShow = std::static_pointer_cast<CShowCommand>(maskCommands[0]);
        EXPECT_EQ(CFrameCommand::HIDE, maskCommands[1]->GetType());
        EXPECT_EQ(7u, maskCommands[1]->GetFrame());
        EXPECT_EQ(maskShow->GetShowId(), record->GetShowCommand()->maskId);
        EXPECT_EQ(L"img7", record->GetShowCommand()->GetObjectId());
    }
}

TEST_F(EntryEffectWriterTest, HorizontalBlindsEndAsSixBandsOfASixth) {
    Write(769);
    const std::string xml = ObjectsXml();
    const std::string lastShape = xml.substr(xml.rfind("<shape "));
    // 50 / 6 units high, 100 wide, one every 50 / 6 from the top.
    EXPECT_EQ(6u, CountOf(lastShape, "height=\"166tw\""));
    EXPECT_EQ(6u, CountOf(lastShape, "width=\"2000tw\""));
    EXPECT_EQ(1u, CountOf(lastShape, "y=\"400tw\""));
    EXPECT_EQ(1u, CountOf(lastShape, "y=\"1233tw\""));
    const std::string firstShape = xml.substr(xml.find("<shape "), xml.find("</shape>") - xml.find("<shape "));
    EXPECT_EQ(6u, CountOf(firstShape, "height=\"0tw\""));
}

TEST_F(EntryEffectWriterTest, MovingWritersNeverMask) {
    for (int code : {1793, 3331, 3345, 3351, 3356, 3357, 3841, 257, 0}) {
        SCOPED_TRACE(code);
        SetUp();
        Write(code);
        for (const auto& track : frames->GetTracks())
            for (const auto& command : Commands(track)) EXPECT_FALSE(command->GetAttributes().Contains(L"maskId"));
        EXPECT_TRUE(record->GetShowCommand()->maskId.empty());
        EXPECT_EQ(std::string::npos, ObjectsXml().find("<sprite"));
    }
}

TEST_F(EntryEffectWriterTest, CoverAndPeekOfOneRowWriteTheSameMotion) {
    const int pairs[][2] = {{1281, 3339}, {1282, 3338}, {1283, 3337}, {1284, 3340}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair[0]);
        std::vector<std::vector<float>> motions;
        for (int code : pair) {
            SetUp();
            Write(code);
            std::vector<float> motion;
            for (const auto& command : Commands(frames->GetTracks().at(1))) {
                auto placement = std::static_pointer_cast<CPlacementCommand>(command);
                motion.push_back(placement->matrix.tx);
                motion.push_back(placement->matrix.ty);
            }
            motions.push_back(motion);
        }
        EXPECT_EQ(motions[0], motions[1]);
        ASSERT_EQ(14u, motions[0].size());
        EXPECT_FLOAT_EQ(10.0f, motions[0][12]);  // in place at the end
        EXPECT_FLOAT_EQ(20.0f, motions[0][13]);
    }
}

TEST_F(EntryEffectWriterTest, DefaultClipsTheShapeToItsBoundsAtOnce) {
    CEffectRegistry registry(L"9.0");
    registry.GetDefaultEffect()->WriteFrames(*record, frames, 0.5f);
    ASSERT_EQ(2u, frames->GetTracks().size());
    auto rectangleShow = std::static_pointer_cast<CShowCommand>(Commands(frames->GetTracks()[0]).at(0));
    auto shapeShow = std::static_pointer_cast<CShowCommand>(Commands(frames->GetTracks()[1]).at(0));
    EXPECT_EQ(6u, shapeShow->GetFrame());
    EXPECT_EQ(rectangleShow->GetShowId(), shapeShow->maskId);
    EXPECT_EQ(shapeShow, record->GetShowCommand());
    EXPECT_NE(std::string::npos, ObjectsXml().find(Utf8FromWide(rectangleShow->GetObjectId())));
}

}  // namespace
