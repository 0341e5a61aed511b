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

TEST(GoldenMovie, TwoLayersWithSpriteButtonAndMask) {
    movietest::TempFolder folder;
    auto movie = BuildTwoLayerMovie();
    movie->SaveXml(folder.WPath("movie.xml"));
    const std::string written = movietest::ReadFile(folder.Path() + "/movie.xml");
    const std::string golden = std::string(BC_MOVIE_DATA_DIR) + "/two_layers.xml";
    if (std::getenv("BC_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << written;
    EXPECT_EQ(written, movietest::ReadFile(golden)) << "set BC_UPDATE_GOLDEN=1 to rewrite " << golden;
}

}  // namespace
