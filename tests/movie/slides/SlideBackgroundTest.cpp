// The shared background of slides: one picture for slides of one design, what differs (headers
// and footers) as small pictures over it, and a slide copy that never stays in the presentation.

#include "SlideTestSupport.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/slides/SlideBackground.h"
#include "genswf/utils/Exceptions.h"
#include "libimageanalyzer/ImageBuffer.h"
#include "libimageanalyzer/ImageException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace slidetest;

namespace {

std::shared_ptr<libimageanalyzer::CImageBuffer> ReadRgba(const std::wstring& path) {
    auto picture = libimageanalyzer::CImageBuffer::Create();
    picture->ReadPng(path);
    picture->ToRgba(255);
    return picture;
}

std::vector<XmlElementPtr> MovieImages(CMovie& movie) { return Children(movie.GetObjectsElement(), L"image"); }

// The object ids the background layer of a slide shows at frame 0.
std::vector<std::wstring> BackgroundShows(const CSlide& slide) {
    std::vector<std::wstring> ids;
    XmlElementPtr layer = Child(slide.GetLayersElement(), L"layer");
    XmlElementPtr frame = Child(layer, L"frame");
    if (!frame || frame->getAttribute(L"index") != L"0") return ids;
    for (const XmlElementPtr& show : Children(frame, L"show")) ids.push_back(show->getAttribute(L"objectId"));
    return ids;
}

TEST(SlideBackground, SlidesOfOneDesignShareOnePicture) {
    for (const wchar_t* version : {L"9.0", L"11.0"}) {
        SCOPED_TRACE(U8(version));
        Deck deck(3, version);
        deck.doc->Master()->background.fill.foreColor.rgb = 0x336699;
        auto movie = deck.Movie();
        for (const auto& slide : movie->GetSlides()) slide->GetBackground()->SaveSlideBackground();
        // Slides without shapes have nothing to hide before their pictures are taken.
        EXPECT_EQ(0, deck.doc->Calls("Shapes.Range"));
        const std::vector<XmlElementPtr> images = MovieImages(*movie);
        ASSERT_EQ(1u, images.size());
        EXPECT_EQ(L"bg0", images[0]->getAttribute(L"id"));
        EXPECT_EQ(deck.Folder() + L"bg0.png", images[0]->getAttribute(L"src"));
        EXPECT_EQ(L"14400tw", images[0]->getAttribute(L"width"));
        EXPECT_EQ(L"75", images[0]->getAttribute(L"jpegQuality"));
        EXPECT_EQ(L"1", images[0]->getAttribute(L"smoothing"));
        // The later slides' pictures were rendered but are not referenced.
        EXPECT_TRUE(FileExists(deck.Folder() + L"bg2.png"));
        for (const auto& slide : movie->GetSlides()) {
            const CFrameCommandList* shows = slide->GetBackground()->GetTrack()->GetCommands(0);
            ASSERT_TRUE(shows);
            ASSERT_EQ(1u, shows->size());
            EXPECT_EQ(L"bg0", std::static_pointer_cast<CShowCommand>((*shows)[0])->GetObjectId());
        }
        EXPECT_EQ(3u, deck.doc->Slides().size());
        EXPECT_TRUE(deck.doc->Changes().empty());
    }
}

TEST(SlideBackground, FooterBecomesOneDifferencePictureWithATransparentBorder) {
    Deck deck(1);
    deck.Slide(0)->headersFooters.footer = {msoTrue, L"Confidential"};
    auto movie = deck.Movie();
    ExportSlides(*movie);
    const auto& slide = movie->GetSlides()[0];

    // Where the renderings differ, and how.
    auto base = ReadRgba(deck.Folder() + L"bg0.png");
    auto titles = ReadRgba(deck.Folder() + L"bg0_titles.png");
    ASSERT_EQ(base->GetWidth(), titles->GetWidth());
    const std::uint32_t w = base->GetWidth(), h = base->GetHeight();
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    auto differs = [&](std::uint32_t x, std::uint32_t y) {
        const std::size_t at = (static_cast<std::size_t>(y) * w + x) * 4;
        return !std::equal(base->GetPixels().begin() + at, base->GetPixels().begin() + at + 3,
                           titles->GetPixels().begin() + at);
    };
    for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
            if (differs(x, y)) {
                left = std::min<int>(left, x), right = std::max<int>(right, x);
                top = std::min<int>(top, y), bottom = std::max<int>(bottom, y);
            }
    ASSERT_GE(right, left) << "the footer was not drawn";

    const std::vector<std::wstring> shows = BackgroundShows(*slide);
    ASSERT_EQ(2u, shows.size());
    EXPECT_EQ(L"bg0", shows[0]);
    XmlElementPtr image = FindById(movie->GetObjectsElement(), shows[1]);
    ASSERT_TRUE(image);
    EXPECT_EQ(deck.Folder() + shows[1] + L".png", image->getAttribute(L"src"));
    // Placed one pixel up and left: the picture's border lies around the pixels.
    EXPECT_EQ(FloatToTwips(static_cast<float>(left - 1)), image->getAttribute(L"x"));
    EXPECT_EQ(FloatToTwips(static_cast<float>(top - 1)), image->getAttribute(L"y"));
    EXPECT_EQ(L"0tw", image->getAttribute(L"width"));

    auto region = libimageanalyzer::CImageBuffer::Create();
    region->ReadPng(image->getAttribute(L"src"));
    ASSERT_EQ(static_cast<std::uint32_t>(right - left + 3), region->GetWidth());
    ASSERT_EQ(static_cast<std::uint32_t>(bottom - top + 3), region->GetHeight());
    ASSERT_EQ(libimageanalyzer::kFormatRgba, region->GetFormat());
    const auto& px = region->GetPixels();
    for (std::uint32_t y = 0; y < region->GetHeight(); ++y)
        for (std::uint32_t x = 0; x < region->GetWidth(); ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * region->GetWidth() + x) * 4;
            const bool border = x == 0 || y == 0 || x + 1 == region->GetWidth() || y + 1 == region->GetHeight();
            const bool changed = !border && differs(left + x - 1, top + y - 1);
            ASSERT_EQ(changed ? 255 : 0, px[at + 3]) << x << "," << y;
            if (changed) {
                const std::size_t source = ((static_cast<std::size_t>(top + y - 1)) * w + (left + x - 1)) * 4;
                EXPECT_TRUE(std::equal(px.begin() + at, px.begin() + at + 3, titles->GetPixels().begin() + source));
            }
        }
}

TEST(SlideBackground, IdenticalFootersAreWrittenOnce) {
    Deck deck(3);
    for (int i = 0; i < 3; ++i) deck.Slide(i)->headersFooters.footer = {msoTrue, L"Quarterly report"};
    deck.Slide(2)->headersFooters.slideNumber = {msoTrue, L""};
    auto movie = deck.Movie();
    ExportSlides(*movie);
    const auto& slides = movie->GetSlides();
    const std::vector<std::wstring> first = BackgroundShows(*slides[0]);
    const std::vector<std::wstring> second = BackgroundShows(*slides[1]);
    const std::vector<std::wstring> third = BackgroundShows(*slides[2]);
    ASSERT_EQ(2u, first.size());
    EXPECT_EQ(first, second);
    // The slide number is a picture of its own beside the shared footer.
    ASSERT_EQ(3u, third.size());
    EXPECT_EQ(first[1], third[1]);
    EXPECT_NE(first[1], third[2]);
    EXPECT_EQ(3u, MovieImages(*movie).size());
}

// Each slide's footer is cut out against its own design's background, whichever slide came
// before: one without a footer, one of the same design, or one of another design.
TEST(SlideBackground, DifferencesAreTakenAgainstTheSlidesOwnDesign) {
    Deck deck(4);
    deck.Slide(1)->headersFooters.footer = {msoTrue, L"First footer"};
    deck.Slide(2)->headersFooters.footer = {msoTrue, L"Second footer"};
    deck.Slide(3)->headersFooters.footer = {msoTrue, L"First footer"};
    deck.Slide(3)->followMasterBackground = msoFalse;
    deck.Slide(3)->background.fill.foreColor.rgb = 0x203040;
    auto movie = deck.Movie();
    ExportSlides(*movie);
    const auto& slides = movie->GetSlides();
    EXPECT_EQ(std::vector<std::wstring>{L"bg0"}, BackgroundShows(*slides[0]));
    std::vector<std::uint32_t> widths;
    for (int i = 1; i < 4; ++i) {
        const std::vector<std::wstring> shows = BackgroundShows(*slides[static_cast<std::size_t>(i)]);
        ASSERT_EQ(2u, shows.size()) << i;
        EXPECT_EQ(i == 3 ? L"bg3" : L"bg0", shows[0]);
        auto region = ReadRgba(deck.Folder() + shows[1] + L".png");
        // A footer's size, not the slide's: against the wrong background every pixel differs.
        EXPECT_LT(region->GetWidth(), 400u) << i;
        EXPECT_LT(region->GetHeight(), 60u) << i;
        widths.push_back(region->GetWidth());
    }
    EXPECT_EQ(widths[0], widths[2]);
    EXPECT_NE(BackgroundShows(*slides[1])[1], BackgroundShows(*slides[3])[1]);
}

// The comparisons may run beside the drawing of the next slides, all of them started before the
// first is finished: the description is the one the slide-by-slide export writes.
TEST(SlideBackground, ComparisonsBesideTheDrawingWriteTheSameDescription) {
    enum Way { kOneByOne, kAllStartedThenFinished, kThreadedAllStartedThenFinished };
    auto describe = [](Way way) {
        Deck deck(5);
        deck.Slide(1)->headersFooters.footer = {msoTrue, L"First footer"};
        deck.Slide(2)->headersFooters.footer = {msoTrue, L"Second footer"};
        deck.Slide(3)->headersFooters.footer = {msoTrue, L"First footer"};
        deck.Slide(3)->followMasterBackground = msoFalse;
        deck.Slide(3)->background.fill.foreColor.rgb = 0x203040;
        deck.Slide(4)->headersFooters.footer = {msoTrue, L"Third footer"};
        auto movie = deck.Movie();
        const auto& slides = movie->GetSlides();
        if (way == kOneByOne) {
            for (const auto& slide : slides) slide->GetBackground()->SaveSlideBackground();
        } else {
            CBackgroundComparisons comparisons(way == kThreadedAllStartedThenFinished ? 2u : 0u);
            for (const auto& slide : slides) slide->GetBackground()->StartSlideBackground(comparisons);
            for (const auto& slide : slides) slide->GetBackground()->FinishSlideBackground();
        }
        std::wstring text = movie->GetObjectsElement()->xml();
        for (std::size_t at; (at = text.find(deck.Folder())) != std::wstring::npos;)
            text.erase(at, deck.Folder().size());
        for (const auto& slide : slides) {
            const CFrameCommandList* shows = slide->GetBackground()->GetTrack()->GetCommands(0);
            for (std::size_t i = 0; shows && i < shows->size(); ++i)
                text += L" " + std::static_pointer_cast<CShowCommand>((*shows)[i])->GetObjectId();
        }
        return text;
    };
    const std::wstring expected = describe(kOneByOne);
    EXPECT_NE(std::wstring::npos, expected.find(L"bg3"));  // the other design's base is there
    EXPECT_EQ(expected, describe(kAllStartedThenFinished));
    EXPECT_EQ(expected, describe(kThreadedAllStartedThenFinished));
}

// Out of a debugging run, the pictures only the comparison read are removed once it is done; the
// pictures the movie shows stay for the compiler, threaded or not.
TEST(SlideBackground, SpentPicturesAreRemovedAndShownOnesKept) {
    for (unsigned threads : {0u, 2u}) {
        SCOPED_TRACE(threads);
        Deck deck(3);
        deck.Slide(1)->headersFooters.footer = {msoTrue, L"Footer"};
        auto movie = deck.Movie();
        movie->GetExportSettings()->SetRemoveSpentPictures(true);
        const auto& slides = movie->GetSlides();
        {
            CBackgroundComparisons comparisons(threads);
            for (const auto& slide : slides) slide->GetBackground()->StartSlideBackground(comparisons);
            for (const auto& slide : slides) slide->GetBackground()->FinishSlideBackground();
        }
        const CFrameCommandList* shows = slides[1]->GetBackground()->GetTrack()->GetCommands(0);
        ASSERT_TRUE(shows && shows->size() == 2u);
        EXPECT_TRUE(FileExists(deck.Folder() + L"bg0.png"));
        const std::wstring footer = std::static_pointer_cast<CShowCommand>((*shows)[1])->GetObjectId();
        EXPECT_TRUE(FileExists(deck.Folder() + footer + L".png")) << U8(footer.c_str());
        for (const wchar_t* spent : {L"bg0_titles.png", L"bg1_titles.png", L"bg1.png", L"bg2.png"})
            EXPECT_FALSE(FileExists(deck.Folder() + spent)) << U8(spent);
    }
}

// A comparison that fails reports through its own result, on a worker or not; comparisons still
// queued when the set goes are dropped without waiting for them.
TEST(SlideBackground, ComparisonsReportTheirFailureAndMayBeLeftQueued) {
    for (unsigned threads : {0u, 1u, 3u}) {
        SCOPED_TRACE(threads);
        std::vector<std::future<CBackgroundComparisons::Result>> results;
        {
            CBackgroundComparisons comparisons(threads);
            for (int i = 0; i < 20; ++i)
                results.push_back(comparisons.Compare(L"bg" + std::to_wstring(i % 2), L"/nonexistent/bg.png",
                                                      L"/nonexistent/bg_titles.png"));
            EXPECT_THROW(results.front().get(), libimageanalyzer::CBaseException);
        }
        for (std::size_t i = 1; i < results.size(); ++i) {
            if (threads == 0) continue;  // no worker: each would be worked out when asked for
            // Finished with the reader's error, or dropped: either way no result and no wait.
            EXPECT_ANY_THROW(results[i].get()) << i;
        }
    }
}

TEST(SlideBackground, HiddenHeadersAndFootersGiveNoDifference) {
    Deck deck(1);
    deck.Slide(0)->headersFooters.footer = {msoFalse, L"Not shown"};
    auto movie = deck.Movie();
    ExportSlides(*movie);
    EXPECT_EQ(std::vector<std::wstring>{L"bg0"}, BackgroundShows(*movie->GetSlides()[0]));
}

// The copy takes the original's place, so a slide number shows the original's number.
TEST(SlideBackground, SlideNumberOfTheOriginal) {
    for (const wchar_t* version : {L"9.0", L"11.0"}) {
        SCOPED_TRACE(U8(version));
        Deck deck(3, version);
        for (int i = 0; i < 3; ++i) deck.Slide(i)->headersFooters.slideNumber = {msoTrue, L""};
        auto movie = deck.Movie();
        movie->GetSlides()[1]->GetBackground()->SaveSlideBackground();
        const std::wstring expected = deck.Folder() + L"expected.png";
        ASSERT_EQ(S_OK, deck.Slide(1)->Interface()->Export(CBstr(expected), CBstr(L"png"), 720, 540));
        std::vector<std::uint8_t> a, b;
        ASSERT_TRUE(ReadWholeFile(expected, a));
        ASSERT_TRUE(ReadWholeFile(deck.Folder() + L"bg1_titles.png", b));
        EXPECT_TRUE(a == b);
        EXPECT_EQ(deck.Slide(1), deck.doc->Slides()[1]);
    }
}

// A fault at each step of the background pass: the copy is gone afterwards and nothing of the
// user's presentation was written. Failures of the header and footer elements are tolerated.
TEST(SlideBackground, NoStepLeavesACopyBehind) {
    struct Case {
        const wchar_t* version;
        const char* member;
        int skip;
        bool fails;
    };
    const Case cases[] = {
        {L"11.0", "Slide.Duplicate", 0, true},
        {L"11.0", "SlideRange.Item", 0, true},
        {L"11.0", "Slide.MoveTo", 0, true},
        {L"11.0", "Slide.get_Shapes", 0, true},
        {L"11.0", "Shapes.get_Count", 0, true},
        {L"11.0", "Shapes.Range", 0, true},
        {L"11.0", "ShapeRange.put_Visible", 0, true},
        {L"9.0", "ShapeRange.Delete", 0, true},
        {L"11.0", "Slide.Export", 0, true},
        {L"9.0", "Slide.Export", 1, true},
        {L"11.0", "Slide.get_HeadersFooters", 0, false},
        {L"11.0", "HeadersFooters.get_Footer", 0, false},
        {L"11.0", "HeadersFooters.get_Header", 0, false},
        {L"9.0", "HeaderFooter.put_Visible", 0, false},
        {L"11.0", "HeaderFooter.put_Visible", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.version) + " " + c.member + " skip " + std::to_string(c.skip));
        Deck deck(2, c.version);
        deck.Slide(1)->headersFooters.footer = {msoTrue, L"Footer"};
        auto movie = deck.Movie();
        // Shapes on the slide to hide or delete, added after the movie collected the slide.
        deck.Slide(1)->AddShape(msoAutoShape, L"Box", 100, 100, 200, 100);
        deck.Slide(1)->AddTextBox(L"Text", 100, 300, 200, 50, L"Words");
        const std::vector<CHostSlide*> before = deck.doc->Slides();
        deck.doc->Fail(c.member, E_FAIL, nullptr, -1, c.skip);
        bool failed = false;
        try {
            movie->GetSlides()[1]->GetBackground()->SaveSlideBackground();
        } catch (const CBaseException&) {
            failed = true;
        } catch (const libimageanalyzer::CBaseException&) {
            failed = true;
        }
        EXPECT_EQ(c.fails, failed);
        EXPECT_EQ(before, deck.doc->Slides());
        for (const ChangeRecord& change : deck.doc->Changes())
            ADD_FAILURE() << U8(change.object) << " " << change.member;
        EXPECT_EQ(2u, deck.doc->Slides()[1]->shapes.size());
        EXPECT_EQ(msoTrue, deck.doc->Slides()[1]->headersFooters.footer.visible);
    }
}

TEST(SlideBackground, ACopyThatCannotBeDeletedIsAFailure) {
    Deck deck(1);
    auto movie = deck.Movie();
    deck.doc->Fail("Slide.Delete", E_FAIL);
    EXPECT_THROW(movie->GetSlides()[0]->GetBackground()->SaveSlideBackground(), CPPTException);
    EXPECT_TRUE(deck.doc->Changes().empty());
}

// A slide whose picture export answers success without writing the file.
class CSilentCopy : public _Slide {
public:
    explicit CSilentCopy(CHostSlide* empty) : m_empty(empty->Interface()) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID__Slide)) return E_NOINTERFACE;
        *ppv = static_cast<_Slide*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override { return --m_refs; }
    HRESULT get_Application(_Application**) override { return E_NOTIMPL; }
    HRESULT get_Parent(IDispatch**) override { return E_NOTIMPL; }
    HRESULT get_Shapes(Shapes** out) override { return m_empty->get_Shapes(out); }
    HRESULT get_HeadersFooters(HeadersFooters** out) override { return m_empty->get_HeadersFooters(out); }
    HRESULT get_SlideShowTransition(SlideShowTransition**) override { return E_NOTIMPL; }
    HRESULT get_ColorScheme(ColorScheme**) override { return E_NOTIMPL; }
    HRESULT get_Background(ShapeRange**) override { return E_NOTIMPL; }
    HRESULT get_Name(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_Name(BSTR) override { return E_NOTIMPL; }
    HRESULT get_SlideID(LONG*) override { return E_NOTIMPL; }
    HRESULT Select() override { return E_NOTIMPL; }
    HRESULT Duplicate(SlideRange**) override { return E_NOTIMPL; }
    HRESULT Delete() override {
        deleted = true;
        return S_OK;
    }
    HRESULT get_Tags(Tags**) override { return E_NOTIMPL; }
    HRESULT get_SlideIndex(LONG*) override { return E_NOTIMPL; }
    HRESULT get_SlideNumber(LONG*) override { return E_NOTIMPL; }
    HRESULT get_Master(_Master**) override { return E_NOTIMPL; }
    HRESULT get_Hyperlinks(Hyperlinks**) override { return E_NOTIMPL; }
    HRESULT Export(BSTR, BSTR, LONG, LONG) override { return S_OK; }
    HRESULT MoveTo(LONG) override { return E_NOTIMPL; }
    HRESULT get_TimeLine(TimeLine**) override { return E_NOTIMPL; }

    bool deleted = false;

private:
    CComPtr<_Slide> m_empty;
    ULONG m_refs = 1;
};

TEST(SlideBackground, AMissingPictureIsNamed) {
    Deck deck(2);
    auto movie = deck.Movie();
    CSilentCopy silent(deck.Slide(1));
    {
        CPptSlide copy(&silent);
        const std::wstring titles = deck.Folder() + L"bg0_titles.png";
        try {
            movie->GetSlides()[0]->GetBackground()->SaveBackgroundImages(copy, titles, deck.Folder() + L"bg0.png");
            ADD_FAILURE() << "no failure";
        } catch (const libimageanalyzer::CBaseException& e) {
            EXPECT_EQ(L"Can not read file: " + titles, e.GetMessage());
        }
    }
    EXPECT_TRUE(silent.deleted);
}

}  // namespace
