// Presentations of the corpus opened in the stand-in and exported through the add-in's control
// under both PowerPoint versions the system knows: the movie parses, has a frame per slide and
// an end frame with each slide's sprite shown on its frame, and the presentation is left as it
// was.
#include "E2eSupport.h"
#include "SwfTestReader.h"
#include "addin/control/BrindlecastFree.h"
#include "com/ComBstr.h"
#include "com/ComPtr.h"
#include "powerpoint/host/PowerPointHost.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

using PowerPoint::Loader::CPptLoadError;

struct Exported {
    LONG outcome = kOutcomeNone;
    std::wstring error;
    std::size_t slideCount = 0;
    std::vector<PowerPoint::Host::ChangeRecord> changes;
};

Exported ExportDeck(const std::string& path, const std::wstring& version, const std::wstring& output) {
    PowerPoint::Loader::LoadOptions options;
    options.version = version;
    PowerPoint::Loader::LoadResult loaded = PowerPoint::Loader::LoadPresentation(path, options);
    PowerPoint::Host::CHostDocument& document = *loaded.document;
    Exported result;
    result.slideCount = document.Slides().size();

    CComPtr<IBrindlecastFree> control;
    EXPECT_EQ(CreateBrindlecastFree(UuidOf<IBrindlecastFree>(), reinterpret_cast<void**>(&control)), S_OK);
    CComPtr<IBrindlecastScript> script;
    EXPECT_EQ(control->QueryInterface(UuidOf<IBrindlecastScript>(), reinterpret_cast<void**>(&script)), S_OK);
    for (const auto& [name, value] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"terminal", L"0"}, {L"output", output}, {L"slides", L"all"}, {L"yes", L"1"}}) {
        CBstr n(name), v(value);
        EXPECT_EQ(script->SetAnswer(n, v), S_OK);
    }
    CComPtr<PowerPoint::_Presentation> presentation = document.Presentation();
    EXPECT_EQ(control->Export(presentation.Get(), nullptr), S_OK);
    script->get_LastOutcome(&result.outcome);
    CBstr error;
    script->get_LastErrorText(&error);
    result.error = error.ToWString();
    result.changes = document.Changes();
    return result;
}

// The root timeline, frame by frame: the sprites each frame places.
std::vector<std::set<int>> SpritesPlacedByFrame(const swftest::Movie& movie) {
    std::set<int> sprites;
    std::vector<std::set<int>> frames(1);
    for (const swftest::Tag& tag : movie.tags) {
        if (tag.code == 39) sprites.insert(swftest::DefinedId(tag));
        if (tag.code == 26) {
            const swftest::Placement place = swftest::ReadPlace(tag);
            if (place.hasCharacter && sprites.count(place.character)) frames.back().insert(place.character);
        }
        if (tag.code == 1) frames.emplace_back();
    }
    frames.pop_back();  // what follows the last frame
    return frames;
}

using DeckCase = std::tuple<const char*, const wchar_t*>;

class CorpusExport : public ::testing::TestWithParam<DeckCase> {};

TEST_P(CorpusExport, MovieHasAFramePerSlideAndLeavesThePresentationAlone) {
    const std::string deck = std::get<0>(GetParam());
    const std::wstring version = std::get<1>(GetParam());
    std::string why;
    if (e2e::CorpusDir(why).empty()) GTEST_SKIP() << why;
    e2e::CInstallation install;
    CScratchFolder out;
    const std::wstring movie = out.Path() + L"/movie.swf";

    const Exported exported = ExportDeck(e2e::CorpusFile(deck), version, movie);
    ASSERT_EQ(exported.outcome, kOutcomeSucceeded) << genswf::Utf8FromWide(exported.error);
    for (const auto& change : exported.changes)
        ADD_FAILURE() << "the export changed " << genswf::Utf8FromWide(change.object) << " through " << change.member;
    EXPECT_EQ(e2e::CountEntries(install.Temp().Native(), "bclite"), 0) << "temporary folder left behind";

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(genswf::ReadWholeFile(movie, bytes));
    const swftest::Movie read = swftest::Read(bytes);
    EXPECT_EQ(read.frameCount, static_cast<int>(exported.slideCount) + 1);
    const std::vector<std::set<int>> frames = SpritesPlacedByFrame(read);
    ASSERT_GE(frames.size(), exported.slideCount);
    std::set<int> slideSprites;
    for (std::size_t i = 0; i < exported.slideCount; ++i) {
        EXPECT_FALSE(frames[i].empty()) << "no slide sprite shown on frame " << i;
        for (int id : frames[i]) EXPECT_TRUE(slideSprites.insert(id).second) << "sprite " << id << " shown twice";
    }

    const int parsedFrames = e2e::ParsedFrameCount(genswf::NativePath(movie), why);
    if (parsedFrames == -1) GTEST_SKIP() << why;
    ASSERT_NE(parsedFrames, -2) << why;
    EXPECT_EQ(parsedFrames, static_cast<int>(exported.slideCount) + 1);
}

const char* const kDecks[] = {
    "basic_test_ppt_file.ppt", "bullets.ppt",       "pictures.ppt",        "WithLinks.ppt",
    "backgrounds.ppt",         "text_shapes.ppt",   "headers_footers.ppt", "sound.ppt",
    "SampleShow.ppt",          "54880_chinese.ppt", "empty.ppt",           "table_test.ppt",
};

std::string CaseName(const ::testing::TestParamInfo<DeckCase>& info) {
    std::string name = std::get<0>(info.param);
    name = name.substr(0, name.rfind('.')) + (std::wstring(std::get<1>(info.param)) == L"9.0" ? "_v9" : "_v11");
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Decks, CorpusExport,
                         ::testing::Combine(::testing::ValuesIn(kDecks), ::testing::Values(L"11.0", L"9.0")), CaseName);

}  // namespace
