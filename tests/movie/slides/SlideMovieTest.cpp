// Slides as the compiler sees them: a deck made in the host exported into a description that
// the schema accepts and the compiler turns into a movie, and real decks whose slides share
// their master's background.

#include "SlideTestSupport.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/slides/SlideBackground.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace slidetest;

namespace {

TEST(SlideMovie, BuilderDeckValidatesAndCompiles) {
    Deck deck(3);
    for (int i = 0; i < 3; ++i) {
        deck.Slide(i)->headersFooters.footer = {msoTrue, L"Brindlecast"};
        deck.Slide(i)->headersFooters.slideNumber = {msoTrue, L""};
    }
    deck.Slide(1)->transition.advanceOnTime = msoTrue;
    deck.Slide(1)->transition.advanceTime = 2.0f;
    deck.Slide(2)->followMasterBackground = msoFalse;
    deck.Slide(2)->background.fill.foreColor.rgb = 0x20C0F0;
    deck.doc->tags.push_back({L"GENSWF_MOVIE_PRESENTATION_END_URL_ENABLED", L"1"});
    deck.doc->tags.push_back({L"GENSWF_MOVIE_PRESENTATION_END_URL", L"http://example.org/"});
    auto movie = deck.Movie([](CExportSettings& s) { s.SetMovieSize(640, 480); });
    const std::wstring path = ExportSlides(*movie);
    EXPECT_EQ("", Validate(path));
    EXPECT_EQ("", Compile(path));
    // Two base pictures (the master's and the third slide's own) and the differences.
    std::set<std::wstring> bases;
    for (const XmlElementPtr& image : Children(movie->GetObjectsElement(), L"image"))
        if (image->getAttribute(L"id").rfind(L"bg", 0) == 0) bases.insert(image->getAttribute(L"id"));
    EXPECT_EQ((std::set<std::wstring>{L"bg0", L"bg2"}), bases);
}

// The background pass alone over a loaded deck: each slide a sprite holding its background.
std::wstring ExportBackgrounds(CMovie& movie) {
    movie.WriteMovieAttributes(movie.GetMovieWidth(), movie.GetMovieHeight(),
                               static_cast<unsigned>(movie.GetFrameRate()), 0xFFFFFF, false);
    std::shared_ptr<CFrameList> root = CreateFrameList(&movie);
    std::shared_ptr<CFrameTrack> track = root->AddTrack();
    for (const auto& slide : movie.GetSlides()) {
        const int i = slide->GetExportIndex();
        const std::wstring id = L"sld" + IntToWString(i);
        XmlElementPtr sprite = movie.WriteSprite(movie.GetObjectsElement(), id);
        XmlElementPtr layers = movie.WriteLayers(sprite);
        slide->GetBackground()->SaveSlideBackground();
        slide->GetBackground()->GetTrack()->AddActions(0)->GetActions().AddStop();
        slide->GetBackground()->WriteFrames(layers, 0);
        track->AddShow(static_cast<std::uint32_t>(i), id, CMatrix())->showId = L"showSlide" + IntToWString(i);
        track->AddActions(static_cast<std::uint32_t>(i))->GetActions().AddStop();
    }
    root->Write(movie.WriteLayer(movie.GetLayersElement()), 0);
    const std::wstring path = movie.GetTempFolder() + L"movie.xml";
    movie.SaveXml(path);
    return path;
}

TEST(SlideMovie, CorpusSlidesShareTheirMastersBackground) {
    const std::filesystem::path corpus(BC_CORPUS_DIR);
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    // Decks whose slides all follow one master with the same background.
    for (const char* name : {"SampleShow.ppt", "WithMaster.ppt", "bullets.ppt"}) {
        SCOPED_TRACE(name);
        Loader::LoadResult loaded = Loader::LoadPresentation((corpus / name).string());
        CScratchFolder scratch;
        auto settings = CExportSettings::Create(loaded.document->Presentation());
        settings->SetTempFolder(scratch.FolderPath());
        settings->ReadSlides(nullptr);
        auto movie = CMovie::Create(settings);
        ASSERT_GE(movie->GetSlideCount(), 2u);
        const std::wstring path = ExportBackgrounds(*movie);
        EXPECT_EQ("", Compile(path));

        std::map<std::wstring, int> shown;
        for (const auto& slide : movie->GetSlides()) {
            const CFrameCommandList* shows = slide->GetBackground()->GetTrack()->GetCommands(0);
            ASSERT_TRUE(shows && !shows->empty());
            ++shown[std::static_pointer_cast<CShowCommand>(shows->front())->GetObjectId()];
        }
        std::set<std::wstring> defined;
        for (const XmlElementPtr& image : Children(movie->GetObjectsElement(), L"image"))
            if (image->getAttribute(L"id").rfind(L"bg", 0) == 0) defined.insert(image->getAttribute(L"id"));
        EXPECT_EQ(std::set<std::wstring>{L"bg0"}, defined);
        EXPECT_EQ(static_cast<int>(movie->GetSlideCount()), shown[L"bg0"]);
        EXPECT_TRUE(loaded.document->Changes().empty());
    }
}

}  // namespace
