// Slides as the compiler sees them: a deck made in the host exported into a description that
// the schema accepts and the compiler turns into a movie, and real decks whose slides share
// their master's background.

#include "MediaFixtures.h"
#include "SlideTestSupport.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/slides/SlideActions.h"
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

AnimationData Build(LONG order, PpAfterEffect after, PpAdvanceMode mode, PpEntryEffect effect) {
    AnimationData a;
    a.animate = msoTrue;
    a.animationOrder = order;
    a.afterEffect = after;
    a.advanceMode = mode;
    a.entryEffect = effect;
    return a;
}

// Slides with shapes of each kind, builds, links, sounds and footers, through the whole export of
// both versions: the description validates, compiles, and the user's deck is left as it was.
TEST(SlideMovie, BuilderSlidesWithShapesValidateAndCompile) {
    for (const wchar_t* version : {L"9.0", L"11.0"}) {
        SCOPED_TRACE(U8(version));
        Deck deck(3, version);
        const std::wstring wav = deck.Folder() + L"ding.wav";
        media::Write(U8(wav), media::Wav(1, 11025, 8, 2000));
        for (int i = 0; i < 3; ++i) deck.Slide(i)->headersFooters.footer = {msoTrue, L"Footer"};

        CHostSlide* first = deck.Slide(0);
        first->tags.push_back({L"GENSWF_SOUND_FULL_PATH", wav});
        first->AddTextBox(L"Title", 40, 20, 640, 60, L"Shapes of every kind");
        CHostShape* box = first->AddShape(msoAutoShape, L"Box", 40, 120, 160, 100);
        box->data.rotation = 30;
        box->data.animation = Build(1, ppAfterEffectDim, ppAdvanceOnClick, 1537);
        box->data.animation.dimColor.rgb = 0x808080;
        CHostShape* picture = first->AddShape(msoPicture, L"Picture", 240, 120, 120, 90);
        picture->data.animation = Build(2, ppAfterEffectHideOnClick, ppAdvanceOnTime, 257);
        picture->data.animation.advanceTime = 1.0f;
        CHostShape* line = first->AddShape(msoLine, L"Line", 40, 260, 300, 0);
        line->data.fill.visible = msoFalse;
        CHostShape* callout = first->AddShape(msoAutoShape, L"Callout", 400, 260, 120, 60);
        callout->data.autoShapeType = 106;
        callout->data.adjustments = {-0.3f, 1.6f};
        callout->data.horizontalFlip = msoTrue;
        first->AddShape(msoAutoShape, L"Next", 560, 420, 100, 60)->data.click.action = ppActionNextSlide;
        CHostShape* sound = first->AddShape(msoMedia, L"Sound", 600, 40, 32, 32);
        sound->data.mediaType = ppMediaTypeSound;
        sound->data.sound = {ppSoundWAV, wav, {}};

        CHostSlide* second = deck.Slide(1);
        second->transition.advanceOnTime = msoTrue;
        second->transition.advanceTime = 2.0f;
        CHostShape* body = second->AddTextBox(L"Body", 40, 100, 500, 120, L"First point\rSecond point");
        body->data.animation = Build(1, ppAfterEffectHide, ppAdvanceOnTime, 1537);
        body->data.animation.animateTextInReverse = msoTrue;
        body->data.animation.textLevelEffect = ppAnimateByFirstLevel;
        body->data.animation.advanceTime = 0.5f;
        CHostShape* link = second->AddShape(msoAutoShape, L"Link", 40, 300, 200, 60);
        link->data.click = {ppActionHyperlink, msoFalse, L"", {L"http://example.org/", L"", L""}};
        for (MsoShapeType type : {msoGroup, msoTable, msoFreeform, msoEmbeddedOLEObject, msoTextEffect})
            second->AddShape(type, L"Kind " + std::to_wstring(type), 300.0f + 20.0f * type, 300, 60, 40);

        auto movie = deck.Movie([](CExportSettings& s) { s.SetMovieSize(640, 480); });
        ASSERT_EQ("", FailureOf([&] { movie->Export(L"movie.xml"); }));
        const std::wstring path = deck.Folder() + L"movie.xml";
        EXPECT_EQ("", Validate(path));
        EXPECT_EQ("", Compile(path));
        for (const ChangeRecord& change : deck.doc->Changes())
            ADD_FAILURE() << U8(change.object) << " " << change.member;
        EXPECT_EQ(7u, first->shapes.size());
        // The move to the next slide became a button of the first slide.
        ASSERT_FALSE(movie->GetHyperlinkSources().empty());
        const std::shared_ptr<CHyperlinkSource>& next = movie->GetHyperlinkSources()[0];
        EXPECT_EQ(0, next->slideId);
        // The first slide waits for a click: its click-anywhere button lies below the linked one.
        const std::string linked = "show " + U8(next->button->GetId());
        const std::vector<std::string> layers = DescribeLayers(movie->GetSlides()[0]->GetLayersElement());
        std::size_t frameLayer = layers.size(), linkLayer = layers.size();
        for (std::size_t i = 0; i < layers.size(); ++i) {
            if (layers[i].find(linked) != std::string::npos && linkLayer == layers.size()) linkLayer = i;
            if (layers[i].find("show button") != std::string::npos && layers[i].find(linked) == std::string::npos &&
                frameLayer == layers.size())
                frameLayer = i;
        }
        EXPECT_LT(frameLayer, linkLayer);
        EXPECT_LT(linkLayer, layers.size());
        genswf::CEffectRegistry::CreateGlobal(nullptr);
    }
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
