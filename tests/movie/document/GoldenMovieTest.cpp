// A whole small description, compared with its saved golden file.

#include "MovieTestUtil.h"
#include "genswf/movie/Movie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace genswf;

namespace {

// Two layers: a sprite whose rectangle is masked by an oval, and a push button that jumps
// back to the first frame and opens a page.
std::shared_ptr<CMovie> BuildTwoLayerMovie() {
    auto movie = CMovie::CreateEmpty();
    movie->WriteMovieAttributes(400, 300, 12, 0x00FFFFFF, false);
    auto objects = movie->GetObjects();

    auto sprite = CreateSpriteObject(movie.get());
    auto masked = sprite->GetObjects()->AddRectangle(0, 0, 100, 50);
    masked->SetFillStyle(objects->GetBlackFillStyleId());
    auto mask = sprite->GetObjects()->AddOval(10, 10, 80, 30);
    mask->SetFillStyle(objects->GetTransparentFillStyleId());
    auto inner = sprite->GetLayers()->AddLayer()->AddTrack();
    auto maskShow = inner->AddShow(0, mask->GetId(), CMatrix());
    auto maskedShow = inner->AddShow(0, masked->GetId(), CMatrix());
    maskedShow->maskId = maskShow->GetShowId();
    inner->AddActions(3)->GetActions().AddStop();
    objects->Add(sprite);

    auto face = objects->AddRectangle(0, 0, 40, 20);
    face->SetFillStyle(objects->GetBlackFillStyleId());
    auto button = objects->AddButton(nullptr, face->GetId(), face->GetId(), face->GetId(), face->GetId());
    button->GetActions().AddSetTarget(L"/");
    button->GetActions().AddGoToFrame(0);
    button->GetActions().AddGetURL(L"http://example.com/?a=1&b=2", L"_blank");

    auto content = movie->GetLayers()->AddLayer()->AddTrack();
    CMatrix place;
    place.SetTranslation(20.5f, 10);
    content->AddShow(0, sprite->GetId(), place);
    content->AddActions(4)->GetActions().AddStop();

    auto controls = movie->GetLayers()->AddLayer()->AddTrack();
    CMatrix corner;
    corner.SetScale(0.5f, 0.5f);
    corner.tx = 300;
    auto buttonShow = controls->AddShow(0, button->GetId(), corner);
    controls->AddLabel(2, L"end");
    controls->AddHide(2, buttonShow->GetShowId());

    objects->WriteMembers(movie->GetObjectsElement());
    movie->GetLayers()->WriteMembers(movie->GetLayersElement());
    return movie;
}

// Twentieths of a pixel, as the description writes lengths.
std::string Twips(double pixels) { return std::to_string(static_cast<long>(pixels * 20)) + "tw"; }

TEST(GoldenMovie, TwoLayersWithSpriteButtonAndMask) {
    CScratchFolder folder;
    auto movie = BuildTwoLayerMovie();
    movie->SaveXml(folder / L"movie.xml");
    const std::string written = movietest::ReadFile(folder.Native() + "/movie.xml");
    const std::string golden = std::string(BC_MOVIE_DATA_DIR) + "/two_layers.xml";
    if (std::getenv("BC_UPDATE_GOLDEN")) {
        std::ofstream(golden, std::ios::binary) << written;
        GTEST_SKIP() << "rewrote " << golden << "; run again without BC_UPDATE_GOLDEN to compare";
    }
    EXPECT_EQ(written, movietest::ReadFile(golden)) << "set BC_UPDATE_GOLDEN=1 to rewrite " << golden;

    // What matters in it, from the sizes and places the movie was built with.
    const std::string expected[] = {
        "<rectangle id=\"rect0\" x=\"0tw\" y=\"0tw\" width=\"" + Twips(100) + "\" height=\"" + Twips(50) + "\"",
        "<oval id=\"oval0\" x=\"" + Twips(10) + "\" y=\"" + Twips(10) + "\" width=\"" + Twips(80) + "\" height=\"" +
            Twips(30) + "\"",
        "<rectangle id=\"rect1\" x=\"0tw\" y=\"0tw\" width=\"" + Twips(40) + "\" height=\"" + Twips(20) + "\"",
        "objectId=\"spr0\" moveX=\"" + Twips(20.5) + "\" moveY=\"" + Twips(10) + "\"",
        "objectId=\"button0\" moveX=\"" + Twips(300) + "\" scaleX=\"0.5",
    };
    for (const std::string& e : expected) EXPECT_NE(written.find(e), std::string::npos) << e;
    // Depths follow the order of writing: in the sprite the mask below what it masks, and the
    // content layer below the controls.
    const auto at = [&](const std::string& text) { return written.find(text); };
    EXPECT_LT(at("<show id=\"show0\" objectId=\"oval0\""), at("objectId=\"rect0\" maskId=\"show0\""));
    EXPECT_LT(at("objectId=\"spr0\""), at("objectId=\"button0\""));
    EXPECT_NE(at("objectId=\"rect0\" maskId=\"show0\""), std::string::npos);
    EXPECT_NE(at("objectId=\"button0\""), std::string::npos);
}

}  // namespace
