// Frame tracks and lists, frame commands, placement attributes and actions.

#include "MovieTestUtil.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace genswf;
using movietest::U8;
using movietest::Xml;

namespace {

struct Frames : ::testing::Test {
    std::shared_ptr<CMovie> movie = CMovie::CreateEmpty();
    std::shared_ptr<CFrameList> list = CreateFrameList(movie.get());
    XmlElementPtr layer = movie->WriteLayer(movie->GetLayersElement());
    std::string Written(std::uint32_t offset = 0) {
        list->Write(layer, offset);
        std::string xml = Xml(layer);
        return xml == "<layer/>" ? "" : xml.substr(7, xml.size() - 15);
    }
};

TEST_F(Frames, TracksMergeInFrameOrderWithOffset) {
    auto first = list->AddTrack();
    auto second = list->AddTrack();
    first->AddHide(5, L"a");
    first->AddHide(2, L"b");
    second->AddHide(3, L"c");
    second->AddHide(5, L"d");
    first->AddHide(5, L"e");
    EXPECT_EQ(Written(10),
              "<frame index=\"12\"><hide showId=\"b\"/></frame>"
              "<frame index=\"13\"><hide showId=\"c\"/></frame>"
              "<frame index=\"15\"><hide showId=\"a\"/><hide showId=\"e\"/><hide showId=\"d\"/></frame>");
}

TEST_F(Frames, LabelsNeedACommandInTheirFrame) {
    auto track = list->AddTrack();
    track->AddHide(1, L"s");
    track->AddLabel(4, L"lonely");
    EXPECT_EQ(Written(), "<frame index=\"1\"><hide showId=\"s\"/></frame>");

    auto other = CreateFrameList(movie.get());
    auto t = other->AddTrack();
    t->AddLabel(4, L"first");
    t->AddLabel(4, L"kept");
    t->AddEmptyCommand(4);
    auto t2 = other->AddTrack();
    t2->AddHide(4, L"s");
    t2->AddLabel(4, L"second");
    auto holder = movie->WriteLayer(movie->GetLayersElement());
    other->Write(holder, 0);
    // The later track's label wins; the empty command writes nothing.
    EXPECT_EQ(Xml(holder), "<layer><frame index=\"4\" label=\"second\"><hide showId=\"s\"/></frame></layer>");
}

TEST_F(Frames, EmptyTracksAndRanges) {
    EXPECT_EQ(list->GetLatestTrack(), nullptr);
    auto track = list->AddTrack();
    EXPECT_FALSE(list->HasCommands());
    EXPECT_TRUE(track->IsEmpty());
    EXPECT_EQ(Written(), "");

    track->AddShow(3, L"o", CMatrix());
    EXPECT_EQ(track->GetFirstFrame(), 3u);
    EXPECT_EQ(track->GetLastFrame(), 3u);
    track->AddLabel(1, L"l");
    EXPECT_EQ(track->GetFirstFrame(), 1u);
    EXPECT_EQ(track->GetLastFrame(), 3u);
    EXPECT_EQ(track->GetCommands(1), nullptr);
    EXPECT_EQ(track->GetCommands(7), nullptr);
    ASSERT_NE(track->GetCommands(3), nullptr);
    EXPECT_EQ(U8(track->GetLabel(1)), "l");
    EXPECT_EQ(U8(track->GetLabel(2)), "");
}

TEST_F(Frames, LatestTrackIsFirstOfTheLatest) {
    auto a = list->AddTrack();
    auto b = list->AddTrack();
    auto c = list->AddTrack();
    a->AddHide(7, L"x");
    b->AddHide(9, L"x");
    c->AddHide(9, L"x");
    EXPECT_EQ(list->GetLatestTrack(), b);
}

TEST_F(Frames, FramesNearTheTopOfTheRangeNeitherHangNorWrap) {
    auto track = list->AddTrack();
    track->AddHide(0, L"a");
    track->AddLabel(0xFFFFFFFFu, L"end");  // a label alone is never written
    EXPECT_EQ(Written(), "<frame index=\"0\"><hide showId=\"a\"/></frame>");

    auto far = CreateFrameList(movie.get());
    far->AddTrack()->AddHide(0xFFFFFFFFu, L"b");
    EXPECT_THROW(far->Write(layer, 0), CBaseException);
    auto shifted = CreateFrameList(movie.get());
    shifted->AddTrack()->AddHide(2, L"c");
    EXPECT_THROW(shifted->Write(layer, 0x7FFFFFFEu), CBaseException);
    auto top = CreateFrameList(movie.get());
    top->AddTrack()->AddHide(1, L"d");
    auto holder = movie->WriteLayer(movie->GetLayersElement());
    top->Write(holder, 0x7FFFFFFEu);
    EXPECT_EQ(Xml(holder), "<layer><frame index=\"2147483647\"><hide showId=\"d\"/></frame></layer>");
}

TEST_F(Frames, PlacementThresholds) {
    struct Case {
        CMatrix m;
        const char* attributes;
    } cases[] = {
        {CMatrix(), ""},
        {CMatrix(1, 0, 0, 1, 0.000005f, 0), ""},
        {CMatrix(1, 0, 0, 1, 0.04f, 0), " moveX=\"0tw\""},
        {CMatrix(1, 0, 0, 1, -1.5f, 2), " moveX=\"-30tw\" moveY=\"40tw\""},
        {CMatrix(1.000005f, 0, 0, 1, 0, 0), ""},
        {CMatrix(0.5f, 0, 0, 1, 0, 0), " scaleX=\"0.5000000\""},
        {CMatrix(1, 0, 0, -1, 0, 0), " scaleY=\"-1.0000000\""},
        {CMatrix(0, 1, -1, 0, 0, 0),
         " scaleX=\"0.0000000\" scaleY=\"0.0000000\" skewX=\"-1.0000000\" skewY=\"1.0000000\""},
        {CMatrix(1, 0, 0, 1, std::nanf(""), 0), ""},
    };
    auto track = list->AddTrack();
    for (const auto& c : cases) track->AddShow(0, L"o", c.m);
    list->Write(layer, 0);
    auto frame = layer->firstChild();
    auto show = frame->firstChild();
    for (const auto& c : cases) {
        ASSERT_NE(show, nullptr);
        std::string xml = Xml(show);
        std::string rest = xml.substr(xml.find("objectId=\"o\"") + 12);
        EXPECT_EQ(rest, std::string(c.attributes) + "/>") << xml;
        show = show->nextSibling();
    }
}

TEST_F(Frames, PlacementAttributeOrderAndExporterAttributes) {
    auto track = list->AddTrack();
    auto show = track->AddShow(0, L"o", CMatrix(1, 0, 0, 1, 1, 0));
    show->maskId = L"show9";
    show->shiftAlpha = -255;
    show->shiftRed = 1;
    show->AddAttribute(L"moveX", L"exporter");  // an exporter's value is kept
    show->AddAttribute(L"name", L"n");
    auto modify = track->AddModify(1, L"show0", CMatrix(1, 0, 0, 1, 2, 3));
    auto plainModify = track->AddModify(2, L"show0", CMatrix());
    auto replace = track->AddReplace(3, L"show0", L"p", CMatrix(2, 0, 0, 2, 0, 0));
    track->AddHide(4, L"show0");
    EXPECT_EQ(Written(),
              "<frame index=\"0\"><show id=\"show0\" objectId=\"o\" maskId=\"show9\" moveX=\"exporter\" name=\"n\" "
              "shiftAlpha=\"-255\" shiftRed=\"1\"/></frame>"
              "<frame index=\"1\"><modify moveX=\"40tw\" moveY=\"60tw\" showId=\"show0\"/></frame>"
              "<frame index=\"2\"><modify showId=\"show0\"/></frame>"
              "<frame index=\"3\"><replace showId=\"show0\" objectId=\"p\" scaleX=\"2.0000000\" "
              "scaleY=\"2.0000000\"/></frame>"
              "<frame index=\"4\"><hide showId=\"show0\"/></frame>");
}

TEST_F(Frames, ShowIdsAreConsecutive) {
    auto track = list->AddTrack();
    for (int i = 0; i < 4; ++i) movie->NewShowId();
    EXPECT_EQ(U8(track->AddShow(0, L"o", CMatrix())->GetShowId()), "show4");
    EXPECT_EQ(U8(track->AddShow(0, L"o", CMatrix())->GetShowId()), "show5");
}

TEST_F(Frames, SoundStartsAndActions) {
    auto track = list->AddTrack();
    auto trimmed = track->AddStartSoundStream(0, L"snd0");
    trimmed->trimFrames = 0;
    trimmed->trimToMovie = true;
    auto toMovie = track->AddStartSoundStream(0, L"snd1");
    toMovie->trimToMovie = true;
    auto stop = track->AddStartSoundStream(0, L"snd2");
    stop->stopOnFinish = true;
    track->AddActions(1);  // stays empty: no "actions", but the frame is written
    auto actions = track->AddActions(2);
    actions->GetActions().AddStop();
    actions->GetActions().AddGoToFrame(0);
    actions->GetActions().AddGetURL(L"http://x", L"");
    actions->GetActions().AddGetURL(L"http://y", L"_blank");
    auto call = actions->GetActions().AddCallFunction(L"f");
    call->AddIntParameter(3);
    call->AddIntParameter(1);
    EXPECT_EQ(Written(),
              "<frame index=\"0\"><startSoundStream objectId=\"snd0\" trimFrames=\"0\"/>"
              "<startSoundStream objectId=\"snd1\" trimToMovie=\"1\"/>"
              "<startSoundStream objectId=\"snd2\" stopOnFinish=\"1\"/></frame>"
              "<frame index=\"1\"/>"
              "<frame index=\"2\"><actions><actionStop/><actionGoToFrame index=\"0\"/>"
              "<actionGetURL url=\"http://x\"/><actionGetURL url=\"http://y\" target=\"_blank\"/>"
              "<actionCallFunction name=\"f\"><paramInteger value=\"3\"/><paramInteger value=\"1\"/>"
              "</actionCallFunction></actions></frame>");
}

TEST_F(Frames, CommandTypesAndNavigation) {
    auto track = list->AddTrack();
    EXPECT_EQ(track->AddShow(0, L"o", CMatrix())->GetType(), 0);
    EXPECT_EQ(track->AddModify(0, L"s", CMatrix())->GetType(), 1);
    EXPECT_EQ(track->AddHide(0, L"s")->GetType(), 2);
    EXPECT_EQ(track->AddReplace(0, L"s", L"o", CMatrix())->GetType(), 3);
    EXPECT_EQ(track->AddActions(0)->GetType(), 4);
    EXPECT_EQ(track->AddStartSoundStream(0, L"o")->GetType(), 7);
    EXPECT_EQ(track->AddEmptyCommand(0)->GetType(), 8);

    movie->SetMovieSize(640, 480);
    auto nav = CreateNavigationState(movie.get());
    EXPECT_EQ(nav->movieWidth, 640u);
    nav->Update(3, 0, 0, 1, 0, 2, L"/");
    EXPECT_FALSE(nav->previousEnabled);
    EXPECT_FALSE(nav->firstEnabled);
    EXPECT_TRUE(nav->nextEnabled);
    EXPECT_TRUE(nav->lastEnabled);
    nav->Update(3, 2, 1, 0, 0, 2, L"/");
    EXPECT_TRUE(nav->previousEnabled);
    EXPECT_FALSE(nav->lastEnabled);
    EXPECT_EQ(U8(nav->target), "/");
}

}  // namespace
