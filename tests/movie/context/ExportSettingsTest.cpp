// Export settings over the in-memory host: which slides go out and their positions, the slide
// and movie size from the master, the filled values and the log's place.

#include "ExportFixtures.h"

#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/LogFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace genswf;
using namespace exporttest;

namespace {

struct RangeCase {
    const char* name;
    int slideCount;
    std::vector<int> range;  // 1-based slide numbers; empty: no range (all slides)
    std::vector<int> exported;
};

TEST(ExportSettings, ReadSlidesRecordsEachSlideOnceInSlideOrder) {
    const RangeCase cases[] = {
        {"range 5, 2, 9", 10, {5, 2, 9}, {1, 4, 8}},
        {"same slide twice", 4, {3, 1, 3}, {0, 2}},
        {"no range: all slides", 3, {}, {0, 1, 2}},
        {"no range, no slides", 0, {}, {}},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deck deck(c.slideCount);
        auto settings = CExportSettings::Create(deck.doc->Presentation());
        if (c.range.empty())
            settings->ReadSlides(nullptr);
        else
            settings->ReadSlides(deck.Range(c.range));
        EXPECT_EQ(settings->GetExportedSlides(), c.exported);
        EXPECT_EQ(settings->GetLastSlidePosition(), static_cast<int>(c.exported.size()) - 1);
    }
}

TEST(ExportSettings, PositionsFollowAscendingSlideIndex) {
    Deck deck(10);
    auto settings = CExportSettings::Create(deck.doc->Presentation());
    settings->ReadSlides(deck.Range({5, 2, 9}));

    struct {
        int index, position, previous, next;
    } const rows[] = {
        {1, 0, -1, 1},   {4, 1, 0, 2},    {8, 2, 1, -1},  // exported
        {2, -1, -1, -1}, {0, -1, -1, -1}, {9, -1, -1, -1}, {-1, -1, -1, -1}, {1000, -1, -1, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.index);
        EXPECT_EQ(settings->GetSlidePosition(r.index), r.position);
        EXPECT_EQ(settings->GetPreviousSlidePosition(r.index), r.previous);
        EXPECT_EQ(settings->GetNextSlidePosition(r.index), r.next);
    }
    EXPECT_EQ(settings->GetLastSlidePosition(), 2);
}

TEST(ExportSettings, AFailedReadThrowsAndKeepsTheEarlierSlides) {
    struct {
        const char* member;
        bool withRange;
    } const cases[] = {
        {"SlideRange.get_Count", true}, {"SlideRange.Item", true},          {"Slide.get_SlideIndex", true},
        {"Slides.Range", false},        {"Presentation.get_Slides", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        Deck deck(3);
        auto settings = CExportSettings::Create(deck.doc->Presentation());
        settings->ReadSlides(deck.Range({2}));
        CComPtr<PowerPoint::SlideRange> range = deck.Range({1, 3});
        // The second slide's index fails, so the first one was already read.
        deck.doc->Fail(c.member, E_FAIL, nullptr, -1, std::string(c.member) == "Slide.get_SlideIndex" ? 1 : 0);
        try {
            settings->ReadSlides(c.withRange ? range.Get() : nullptr);
            ADD_FAILURE() << "no exception";
        } catch (const CPPTException& e) {
            const std::wstring located = e.GetMessage();
            if (std::string(c.member) == "Presentation.get_Slides")
                EXPECT_EQ(located.rfind(L"PPT Exception in file genswf/src/ppt/PptPresentation.cpp", 0), 0u);
            else
                EXPECT_EQ(located.rfind(L"PPT Exception in file genswf/src/movie/ExportSettings.cpp at line ", 0), 0u)
                    << NativePath(located);
        }
        EXPECT_EQ(settings->GetExportedSlides(), std::vector<int>{1});
    }
}

TEST(ExportSettings, SlideAndMovieSizeComeFromTheMaster) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct {
        const char* name;
        float width, height;
        bool noMaster;
        float slideWidth, slideHeight;
        int movieWidth, movieHeight;
    } const cases[] = {
        {"standard", 720.0f, 540.0f, false, 720.0f, 540.0f, 720, 540},
        {"wide", 960.0f, 540.0f, false, 960.0f, 540.0f, 960, 540},
        {"halves round up", 700.5f, 400.49f, false, 700.5f, 400.49f, 701, 400},
        {"no master", 960.0f, 300.0f, true, 720.0f, 540.0f, 720, 540},
        // Sizes no slide can have would divide by zero or overflow later: the standard size.
        {"zero width", 0.0f, 540.0f, false, 720.0f, 540.0f, 720, 540},
        {"negative height", 720.0f, -5.0f, false, 720.0f, 540.0f, 720, 540},
        {"not a number", nan, 540.0f, false, 720.0f, 540.0f, 720, 540},
        {"huge", 3.0e9f, 540.0f, false, 720.0f, 540.0f, 720, 540},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Deck deck(1);
        deck.doc->Master()->width = c.width;
        deck.doc->Master()->height = c.height;
        if (c.noMaster) deck.doc->Fail("Presentation.get_SlideMaster", E_FAIL);
        auto settings = CExportSettings::Create(deck.doc->Presentation());
        EXPECT_EQ(settings->GetSlideWidth(), c.slideWidth);
        EXPECT_EQ(settings->GetSlideHeight(), c.slideHeight);
        EXPECT_EQ(settings->GetMovieWidth(), c.movieWidth);
        EXPECT_EQ(settings->GetMovieHeight(), c.movieHeight);
        // The converter's fill replaces the movie size, not the slide size.
        settings->SetMovieSize(640, 480);
        EXPECT_EQ(settings->GetMovieWidth(), 640);
        EXPECT_EQ(settings->GetMovieHeight(), 480);
        EXPECT_EQ(settings->GetSlideWidth(), c.slideWidth);
    }
}

TEST(ExportSettings, FailedReadsOfThePresentationThrow) {
    for (const char* member : {"Master.get_Width", "Master.get_Height", "Presentation.get_Path"}) {
        SCOPED_TRACE(member);
        Deck deck(1);
        deck.doc->Fail(member, E_FAIL);
        EXPECT_THROW(CExportSettings::Create(deck.doc->Presentation()), CPPTException);
    }
}

TEST(ExportSettings, DefaultsAndFilledValues) {
    Deck deck(2);
    auto settings = CExportSettings::Create(deck.doc->Presentation());
    EXPECT_EQ(settings->GetPresentationPath(), L"/home/user/talks");
    EXPECT_EQ(settings->GetJpegQuality(), 75);
    EXPECT_EQ(settings->GetMp3Quality(), 128);
    EXPECT_EQ(settings->GetAutomaticSlideTransition(), false);
    EXPECT_EQ(settings->GetAutomaticSlideTransitionDelay(), 5.0f);
    EXPECT_EQ(settings->GetBackgroundColor(), 0xFFFFFFu);
    EXPECT_TRUE(settings->GetImageSmoothing());
    EXPECT_EQ(settings->GetProgressSink(), nullptr);
    EXPECT_EQ(settings->GetSlideRange(), nullptr);
    EXPECT_TRUE(settings->GetTempFolder().empty());
    EXPECT_TRUE(settings->GetExportedSlides().empty());
    EXPECT_EQ(settings->GetLastSlidePosition(), -1);
    EXPECT_EQ(settings->GetStartFrame() + settings->GetFirstSlideFrame(), 0);
    EXPECT_EQ(settings->GetFramesPerSlide(), 1);
    EXPECT_FALSE(settings->GetObjectsFirst());
    EXPECT_TRUE(settings->GetOnClickLink());
    EXPECT_TRUE(settings->GetHyperlinkButtons());
    EXPECT_FALSE(settings->GetAdvanceOnClick());
    EXPECT_EQ(settings->GetNavigationListener(), nullptr);

    settings->SetAutomaticSlideTransition(true);
    settings->SetAutomaticSlideTransitionDelay(12);
    settings->SetTempFolder(L"/tmp/bclite42.tmp");
    EXPECT_TRUE(settings->GetAutomaticSlideTransition());
    EXPECT_EQ(settings->GetAutomaticSlideTransitionDelay(), 12.0f);
    EXPECT_EQ(settings->GetTempFolder(), L"/tmp/bclite42.tmp/");

    CComPtr<PowerPoint::SlideRange> range = deck.Range({2});
    settings->SetSlideRange(range);
    EXPECT_EQ(settings->GetSlideRange(), range.Get());
    settings->SetSlideRange(nullptr);
    EXPECT_EQ(settings->GetSlideRange(), nullptr);
}

TEST(ExportSettings, KeepingTheOriginalImageQualityMeansJpegQualityZero) {
    struct {
        bool keep;
        int imageQuality;
        int jpegQuality;
    } const cases[] = {{false, 75, 75}, {false, 30, 30}, {true, 75, 0}, {true, 100, 0}, {true, 0, 0}};
    Deck deck(1);
    auto settings = CExportSettings::Create(deck.doc->Presentation());
    for (const auto& c : cases) {
        settings->SetImageQuality(c.keep, c.imageQuality);
        EXPECT_EQ(settings->GetJpegQuality(), c.jpegQuality) << c.keep << " " << c.imageQuality;
    }
}

TEST(ExportSettings, FlashProgIdsMatchExactly) {
    Deck deck(1);
    auto settings = CExportSettings::Create(deck.doc->Presentation());
    EXPECT_TRUE(settings->IsFlashProgId(L"ShockwaveFlash.ShockwaveFlash"));
    EXPECT_TRUE(settings->IsFlashProgId(L"ShockwaveFlash.ShockwaveFlash.1"));
    for (const wchar_t* other : {L"shockwaveflash.shockwaveflash.1", L"ShockwaveFlash.ShockwaveFlash.1 ",
                                 L"ShockwaveFlash", L"", L"Package", L"Equation.3"})
        EXPECT_FALSE(settings->IsFlashProgId(other)) << NativePath(other);
}

TEST(ExportSettings, TheLogOpensInTheTemporaryFolderOnceItIsKnown) {
    CScratchFolder scratch;
    Deck deck(1);
    auto settings = CExportSettings::Create(deck.doc->Presentation());
    const std::shared_ptr<CLogFile> early = settings->GetLogFile();
    EXPECT_FALSE(early->IsOpen());

    settings->SetTempFolder(scratch.FolderPath());
    const std::shared_ptr<CLogFile> log = settings->GetLogFile();
    EXPECT_EQ(log, early);
    ASSERT_TRUE(log->IsOpen());
    EXPECT_EQ(log->GetPath(), scratch.FolderPath() + L"export.log");
    EXPECT_EQ(settings->GetLogFile(), log);

    // A folder that cannot take the file leaves the log closed, and nothing fails.
    Deck other(1);
    auto missing = CExportSettings::Create(other.doc->Presentation());
    missing->SetTempFolder(scratch.FolderPath() + L"gone/");
    EXPECT_FALSE(missing->GetLogFile()->IsOpen());
    missing->GetLogFile()->WriteLine(L"nowhere");
}

}  // namespace
