// Every presentation of the corpus converted under both PowerPoint versions the system knows:
// it converts into a sound movie and leaves the presentation as it was, or it is refused with
// its one-line reason and leaves no movie.
#include "E2eSupport.h"
#include "MovieChecks.h"
#include "addin/control/BrindlecastFree.h"
#include "com/ComBstr.h"
#include "com/ComPtr.h"
#include "powerpoint/host/PowerPointHost.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <tuple>

using namespace addin;

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

// Every deck of the corpus, and what the converter must do with it: convert it, or refuse it with
// a reason that holds the given words.
struct CorpusDeck {
    const char* name;
    const char* refusal;  // nullptr: converts
    // Under "9.0" the export reads the parsed file too, which refuses some damaged decks that the
    // loader still reads.
    const char* refusalUnderOlderVersion = nullptr;
};

void PrintTo(const CorpusDeck& deck, std::ostream* os) { *os << deck.name; }

const CorpusDeck kCorpus[] = {
    {"41246-1.ppt", nullptr},
    {"45543.ppt", nullptr},
    {"49541_symbol_map.ppt", nullptr},
    {"54880_chinese.ppt", nullptr},
    {"PPT95.ppt", "PowerPoint 95"},
    {"Password_Protected-hello.ppt", "encrypted"},
    {"PictureTypeZero.ppt", nullptr},
    {"SampleShow.ppt", nullptr},
    {"Single_Coloured_Page.ppt", nullptr},
    {"Single_Coloured_Page_With_Fonts_and_Alignments.ppt", nullptr},
    {"WithLinks.ppt", nullptr},
    {"WithMaster.ppt", nullptr},
    {"backgrounds.ppt", nullptr},
    {"badzip.ppt", nullptr},
    {"basic_test_ppt_file.ppt", nullptr},
    {"bug56240.ppt", nullptr},
    {"bullets.ppt", nullptr},
    {"clusterfuzz-testcase-minimized-POIFuzzer-5429732352851968.ppt", "encrypted"},
    {"clusterfuzz-testcase-minimized-POIFuzzer-6411649193738240.ppt", "encrypted"},
    {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-4624961081573376.ppt", "encrypted"},
    {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-4630915954114560.ppt", nullptr},
    {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-5018229722382336.ppt", nullptr},
    {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-5962760801091584.ppt", nullptr},
    {"clusterfuzz-testcase-minimized-POIHSLFFuzzer-6360479850954752.ppt", nullptr},
    {"empty.ppt", nullptr},
    {"empty_textbox.ppt", nullptr},
    {"headers_footers.ppt", nullptr},
    {"missing-moveto.ppt", nullptr},
    {"numbers.ppt", nullptr},
    {"ole2-embedding-2003.ppt", nullptr},
    {"pictures.ppt", nullptr},
    {"pp40only.ppt", "PowerPoint 4.0"},
    {"ppt_with_embeded.ppt", nullptr},
    {"slide_master.ppt", nullptr},
    {"sound.ppt", nullptr},
    {"table_test.ppt", nullptr},
    {"text-margins.ppt", nullptr},
    {"text_shapes.ppt", nullptr},
    {"with_textbox.ppt", nullptr},
};

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

TEST(Corpus, TheTableNamesEveryDeck) {
    std::string why;
    const std::string dir = e2e::CorpusDir(why);
    if (dir.empty()) GTEST_SKIP() << why;
    std::set<std::string> listed, present;
    for (const CorpusDeck& deck : kCorpus) listed.insert(deck.name);
    DIR* folder = ::opendir(dir.c_str());
    ASSERT_TRUE(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ppt") == 0) present.insert(name);
    }
    ::closedir(folder);
    EXPECT_EQ(listed, present);
}

// (deck, PowerPoint version): under the default version the command-line host converts the deck
// as a user runs it; under "9.0" the add-in's control does, in this process.
using DeckCase = std::tuple<CorpusDeck, const wchar_t*>;

class CorpusExport : public ::testing::TestWithParam<DeckCase> {};

TEST_P(CorpusExport, ConvertsOrRefusesWithItsReason) {
    const CorpusDeck deck = std::get<0>(GetParam());
    const std::wstring version = std::get<1>(GetParam());
    std::string why;
    if (e2e::CorpusDir(why).empty()) GTEST_SKIP() << why;
    e2e::CInstallation install;
    CScratchFolder out;
    const std::string movie = out.Native() + "/movie.swf";
    const std::string path = e2e::CorpusFile(deck.name);

    std::size_t slideCount = 0;
    std::string refusal;
    if (version == L"11.0") {
        const e2e::ProcessResult r = e2e::Run({BC_BINARY_DIR "/bin/brindlecast", path, "-o", movie, "--yes"});
        EXPECT_EQ(r.out, "") << "not a terminal: nothing but errors";
        if (r.status == 0) {
            slideCount = PowerPoint::Loader::LoadPresentation(path).document->Slides().size();
        } else {
            EXPECT_EQ(r.status, 1) << r.err;
            refusal = r.err;
            // One line that names the file and says why.
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
            EXPECT_NE(r.err.find(deck.name), std::string::npos) << r.err;
        }
    } else {
        try {
            const Exported exported = ExportDeck(path, version, genswf::WideFromUtf8(movie));
            if (exported.outcome != kOutcomeSucceeded)
                refusal = "outcome " + std::to_string(exported.outcome) + ": " + genswf::Utf8FromWide(exported.error);
            for (const auto& change : exported.changes)
                ADD_FAILURE() << "the export changed " << genswf::Utf8FromWide(change.object) << " through "
                              << change.member;
            slideCount = exported.slideCount;
        } catch (const CPptLoadError& e) {
            refusal = genswf::Utf8FromWide(e.GetMessage());
        }
    }
    EXPECT_EQ(e2e::CountEntries(install.Temp().Native(), "bclite"), 0) << "temporary folder left behind";

    const char* expected =
        version == L"9.0" && deck.refusalUnderOlderVersion ? deck.refusalUnderOlderVersion : deck.refusal;
    if (expected) {
        EXPECT_NE(refusal.find(expected), std::string::npos) << "refused for another reason: " << refusal;
        EXPECT_FALSE(Exists(movie)) << "a refused deck leaves no movie";
        return;
    }
    ASSERT_EQ(refusal, "") << "refused";
    e2e::ExpectSoundMovie(movie, slideCount);
}

std::string CaseName(const ::testing::TestParamInfo<DeckCase>& info) {
    std::string name = std::get<0>(info.param).name;
    name = name.substr(0, name.rfind('.')) + (std::wstring(std::get<1>(info.param)) == L"9.0" ? "_v9" : "_v11");
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Decks, CorpusExport,
                         ::testing::Combine(::testing::ValuesIn(kCorpus), ::testing::Values(L"11.0", L"9.0")),
                         CaseName);

}  // namespace
