// The export context: the log's start and end lines, and the presentation copy that is saved
// and parsed once, only when a parsed slide is asked for.

#include "ExportFixtures.h"

#include "base/encodings/TextEncoding.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/LogFile.h"
#include "genswf/movie/MovieImpl.h"
#include "genswf/movie/ParsedPresentation.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/ppt/PptSlides.h"
#include "libpptparser/Presentation.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <unistd.h>

using namespace genswf;
using namespace exporttest;

namespace {

const std::wstring kSample = WideFromUtf8(BC_SOURCE_DIR "/examples/sample.ppt");

struct Export {
    CScratchFolder scratch;
    Deck deck;
    std::shared_ptr<CExportSettings> settings;
    explicit Export(int slides = 3, bool withTempFolder = true) : deck(slides) {
        deck.doc->Master()->width = 960.0f;
        deck.doc->Master()->height = 540.25f;
        settings = CExportSettings::Create(deck.doc->Presentation());
        if (withTempFolder) settings->SetTempFolder(scratch.FolderPath());
    }
    std::wstring CopyPath() const { return scratch.FolderPath() + L"~tmp.ppt"; }
    std::vector<std::wstring> LogLines() const {
        const std::vector<std::uint8_t> bytes = FileBytes(scratch.FolderPath() + CExportSettings::kLogFileName);
        std::vector<std::wstring> lines;
        SplitString(base::encodings::WideFromUtf16LeBytes(bytes.data(), bytes.size()), L"\r\n", lines);
        RemoveEmptyStrings(lines);
        return lines;
    }
};

TEST(MovieImpl, LogsTheStartAndTheEndOfTheExport) {
    Export e(3);
    {
        CMovieImpl context(e.settings);
        EXPECT_EQ(context.GetExportSettings(), e.settings);
    }
    const std::vector<std::wstring> expected{
        L"Presentation export started.", L"Presentation: /home/user/talks/deck.ppt",
        L"Number of slides: 3",          L"Slide dimensions: 960.0 x 540.2",
        L"Presentation export finished",
    };
    EXPECT_EQ(e.LogLines(), expected);
}

TEST(MovieImpl, IdenticalImagesShareTheFirstName) {
    Export e;
    const std::wstring folder = e.scratch.FolderPath();
    ASSERT_TRUE(WriteWholeFile(folder + L"a.jpg", "same bytes", 10));
    ASSERT_TRUE(WriteWholeFile(folder + L"b.jpg", "same bytes", 10));
    ASSERT_TRUE(WriteWholeFile(folder + L"c.jpg", "other byte", 10));
    CMovieImpl context(e.settings);
    EXPECT_EQ(context.AddImage(folder + L"a.jpg", L"img0"), L"img0");
    EXPECT_EQ(context.AddImage(folder + L"b.jpg", L"img1"), L"img0");
    EXPECT_EQ(context.AddImage(folder + L"c.jpg", L"img2"), L"img2");
    EXPECT_THROW(context.AddImage(folder + L"missing.jpg", L"img3"), CBaseException);
}

TEST(MovieImpl, NoParsedSlideAskedForWritesNoCopy) {
    Export e;
    e.deck.doc->fileBytes = {1, 2, 3};
    { CMovieImpl context(e.settings); }
    EXPECT_FALSE(FileExists(e.CopyPath()));
    EXPECT_EQ(e.deck.doc->Calls("Presentation.SaveCopyAs"), 0);
}

TEST(MovieImpl, TheCopyIsSavedAndParsedOnce) {
    Export e;
    e.deck.doc->fileBytes = FileBytes(kSample);
    if (e.deck.doc->fileBytes.empty()) GTEST_SKIP() << "examples/sample.ppt is missing";
    e.deck.doc->saved = PowerPoint::msoFalse;
    CMovieImpl context(e.settings);

    const auto first = context.GetParsedSlide(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(context.GetParsedSlide(0), first);
    EXPECT_NE(context.GetParsedSlide(3), nullptr);
    EXPECT_EQ(context.GetParsedSlide(4), nullptr);  // the sample has four slides
    EXPECT_EQ(context.GetParsedSlides()->GetCount(), 4u);
    EXPECT_EQ(context.GetParsedSlides(), context.GetParsedPresentation()->GetSlides());

    EXPECT_EQ(e.deck.doc->Calls("Presentation.SaveCopyAs"), 1);
    // Marked saved for the copy, then the user's unsaved mark is back.
    EXPECT_EQ(e.deck.doc->Calls("Presentation.put_Saved"), 2);
    EXPECT_EQ(e.deck.doc->saved, PowerPoint::msoFalse);
    EXPECT_EQ(FileBytes(e.CopyPath()), e.deck.doc->fileBytes);
    EXPECT_EQ(e.deck.doc->name, L"deck.ppt");  // the open presentation keeps its own name
}

TEST(MovieImpl, ALoadedPresentationMatchesItsParsedCopy) {
    // The sample and loadable files of the corpus: their slides go out, and the parsed copy has
    // a slide for each of them. A listed corpus file that is missing fails the test.
    const bool corpus = FolderExists(WideFromUtf8(BC_CORPUS_DIR));
    std::vector<std::string> files{BC_SOURCE_DIR "/examples/sample.ppt"};
    if (corpus) {
        for (const char* name : {"backgrounds.ppt", "41246-1.ppt", "WithMaster.ppt", "empty.ppt", "sound.ppt"})
            files.push_back(std::string(BC_CORPUS_DIR "/") + name);
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(FileExists(WideFromUtf8(file))) << "missing";
        CScratchFolder scratch;
        PowerPoint::Loader::LoadResult result = PowerPoint::Loader::LoadPresentation(file);
        auto settings = CExportSettings::Create(result.document->Presentation());
        settings->SetTempFolder(scratch.FolderPath());
        settings->ReadSlides(nullptr);
        CMovieImpl context(settings);
        const std::size_t slides = result.document->Slides().size();
        ASSERT_EQ(settings->GetExportedSlides().size(), slides);
        EXPECT_EQ(context.GetParsedSlides()->GetCount(), slides);
        if (slides > 0) {
            EXPECT_NE(context.GetParsedSlide(slides - 1), nullptr);
        }
        EXPECT_EQ(FileBytes(scratch.FolderPath() + L"~tmp.ppt"), FileBytes(WideFromUtf8(file)));
    }
    if (!corpus) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent: only the sample was checked";
}

TEST(MovieImpl, AFailedCopyIsReportedAndNotTriedAgain) {
    struct Case {
        const char* name;
        void (*arrange)(Export&);
        int code;  // of the CBaseException thrown
        bool pptFailure;
    };
    const Case cases[] = {
        {"Saved cannot be set",
         [](Export& e) {
             e.deck.doc->fileBytes = {1};
             e.deck.doc->saved = PowerPoint::msoFalse;
             e.deck.doc->Fail("Presentation.put_Saved", E_FAIL);
         },
         1, true},
        {"SaveCopyAs fails",
         [](Export& e) {
             e.deck.doc->fileBytes.clear();
             e.deck.doc->saved = PowerPoint::msoFalse;
         },
         1, true},
        {"the copy is not a presentation",
         [](Export& e) {
             const char text[] = "not a presentation at all";
             e.deck.doc->fileBytes.assign(text, text + sizeof text - 1);
         },
         kParseFailureCode, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Export e;
        c.arrange(e);
        const PowerPoint::MsoTriState savedBefore = e.deck.doc->saved;
        CMovieImpl context(e.settings);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                context.GetParsedSlide(0);
                ADD_FAILURE() << "no exception";
            } catch (const CPPTException& x) {
                EXPECT_TRUE(c.pptFailure);
                EXPECT_EQ(x.GetMessage().rfind(L"PPT Exception in file genswf/src/movie/MovieImpl.cpp at line ", 0), 0u)
                    << NativePath(x.GetMessage());
            } catch (const CBaseException& x) {
                EXPECT_FALSE(c.pptFailure);
                EXPECT_EQ(x.GetCode(), c.code);
            }
        }
        EXPECT_LE(e.deck.doc->Calls("Presentation.SaveCopyAs"), 1);
        EXPECT_EQ(e.deck.doc->saved, savedBefore);  // the user's mark survives a failure
    }
}

TEST(MovieImpl, NoTemporaryFolderMeansNoCopy) {
    Export e(1, false);
    e.deck.doc->fileBytes = {1, 2, 3};
    CMovieImpl context(e.settings);
    EXPECT_THROW(context.GetParsedPresentation(), CBaseException);
    EXPECT_EQ(e.deck.doc->Calls("Presentation.SaveCopyAs"), 0);
    EXPECT_EQ(::access("~tmp.ppt", F_OK), -1);
}

TEST(MovieImpl, ParserWarningsGoIntoTheLog) {
    const std::wstring file = WideFromUtf8(BC_CORPUS_DIR "/sound.ppt");
    if (!FileExists(file)) GTEST_SKIP() << "the corpus is missing";
    Export e;
    // The copy PowerPoint writes loses its sound's data record: the parser leaves the sound out
    // with a warning. The sound container (0x07E6) is followed by its strings, then the data
    // atom (0x07E7), whose type is changed here.
    std::vector<std::uint8_t> bytes = FileBytes(file);
    const std::uint8_t soundHeader[] = {0x0F, 0x00, 0xE6, 0x07};
    const std::uint8_t dataHeader[] = {0x00, 0x00, 0xE7, 0x07};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(soundHeader), std::end(soundHeader));
    at = std::search(at, bytes.end(), std::begin(dataHeader), std::end(dataHeader));
    ASSERT_NE(at, bytes.end());
    at[2] = 0x77;
    at[3] = 0x77;
    e.deck.doc->fileBytes = bytes;

    std::vector<std::wstring> warnings;
    {
        CMovieImpl context(e.settings);
        warnings = context.GetParsedPresentation()->GetWarnings();
    }
    ASSERT_EQ(warnings.size(), 1u);
    const std::vector<std::wstring> lines = e.LogLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 2], L"Parser warning: " + warnings[0]);
    EXPECT_EQ(lines.back(), L"Presentation export finished");
}

}  // namespace
