// The presentation wrappers over the in-memory host: read-once caching, retry after a failure,
// 0-based edges over the application's 1-based positions, and the failure texts.

#include "PptFailureText.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/ppt/PptHeadersFooters.h"
#include "genswf/ppt/PptMaster.h"
#include "genswf/ppt/PptPresentation.h"
#include "genswf/ppt/PptShapes.h"
#include "genswf/ppt/PptSlide.h"
#include "genswf/ppt/PptSlideRange.h"
#include "genswf/ppt/PptSlides.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    std::shared_ptr<CPptPresentation> presentation;
    explicit Deck(int slides = 3) {
        doc->path = L"/home/user/talks";
        doc->name = L"deck.ppt";
        doc->Master()->width = 720;
        doc->Master()->height = 405;
        for (int i = 0; i < slides; ++i)
            doc->AddSlide()->AddShape(msoAutoShape, L"Shape " + std::to_wstring(i), 0, 0, 10, 10);
        presentation = CreatePptPresentation(doc->Presentation());
    }
    std::shared_ptr<CPptSlide> Slide(std::uint32_t i) { return presentation->GetSlides()->GetSlide(i); }
};

std::wstring PptMessage(const char* file, int line) {
    return bctest::PptFailureText(std::string("genswf/") + file, line);
}

struct ReadCase {
    const char* name;
    const char* member;  // the host member the read calls
    std::function<void(Deck&)> read;
    const char* file;
    int line;
};

std::vector<ReadCase> ReadCases() {
    return {
        {"presentation full name", "Presentation.get_FullName", [](Deck& d) { d.presentation->GetFullName(); },
         "src/ppt/PptPresentation.cpp", 60},
        {"presentation path", "Presentation.get_Path", [](Deck& d) { d.presentation->GetPath(); },
         "src/ppt/PptPresentation.cpp", 45},
        {"presentation slides", "Presentation.get_Slides", [](Deck& d) { d.presentation->GetSlides(); },
         "src/ppt/PptPresentation.cpp", 31},
        {"application", "Presentation.get_Application", [](Deck& d) { d.presentation->GetApplication()->Release(); },
         "src/ppt/PptPresentation.cpp", 55},
        {"slide count", "Slides.get_Count", [](Deck& d) { d.presentation->GetSlides()->GetCount(); },
         "src/ppt/PptSlides.cpp", 33},
        {"slide item", "Slides.Item", [](Deck& d) { d.presentation->GetSlides()->GetSlide(1); },
         "src/ppt/PptSlides.cpp", 49},
        {"slide id", "Slide.get_SlideID", [](Deck& d) { d.Slide(0)->GetSlideID(); }, "src/ppt/PptSlide.cpp", 70},
        {"slide index", "Slide.get_SlideIndex", [](Deck& d) { d.Slide(0)->GetSlideIndex(); }, "src/ppt/PptSlide.cpp",
         77},
        {"slide master", "Slide.get_Master", [](Deck& d) { d.Slide(0)->GetMaster(); }, "src/ppt/PptSlide.cpp", 50},
        {"slide shapes", "Slide.get_Shapes", [](Deck& d) { d.Slide(0)->GetShapes(); }, "src/ppt/PptSlide.cpp", 60},
        {"slide headers and footers", "Slide.get_HeadersFooters", [](Deck& d) { d.Slide(0)->GetHeadersFooters(); },
         "src/ppt/PptSlide.cpp", 109},
        {"master width", "Master.get_Width", [](Deck& d) { d.Slide(0)->GetMaster()->GetWidth(); },
         "src/ppt/PptMaster.cpp", 29},
        {"master height", "Master.get_Height", [](Deck& d) { d.Slide(0)->GetMaster()->GetHeight(); },
         "src/ppt/PptMaster.cpp", 34},
        {"shape count", "Shapes.get_Count", [](Deck& d) { d.Slide(0)->GetShapes()->GetCount(); },
         "src/ppt/PptShapes.cpp", 100},
    };
}

TEST(PptWrappers, EachValueIsReadOnceAndAFailureIsRetried) {
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.name);
        Deck d;
        // First read fails with the operation's own place; nothing is kept, so the next asks again.
        d.doc->Fail(c.member, E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage(c.file, c.line), bctest::PptFailureOf([&] { c.read(d); }));
        const int afterFailure = d.doc->Calls(c.member);
        EXPECT_NO_THROW(c.read(d));
        EXPECT_EQ(afterFailure + 1, d.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(d));
        EXPECT_EQ(afterFailure + 1, d.doc->Calls(c.member)) << "kept after the first good read";
    }
}

TEST(PptWrappers, ValuesAndSharedChildren) {
    Deck d;
    EXPECT_EQ(L"/home/user/talks/deck.ppt", d.presentation->GetFullName());
    EXPECT_EQ(L"/home/user/talks", d.presentation->GetPath());
    EXPECT_EQ(d.presentation->GetSlides(), d.presentation->GetSlides());
    auto slide = d.Slide(1);
    EXPECT_EQ(slide, d.Slide(1));
    EXPECT_EQ(257, slide->GetSlideID());
    EXPECT_EQ(1, slide->GetSlideIndex());
    EXPECT_EQ(slide->GetMaster(), slide->GetMaster());
    EXPECT_EQ(720.0f, slide->GetMaster()->GetWidth());
    EXPECT_EQ(405.0f, slide->GetMaster()->GetHeight());
    EXPECT_EQ(1, slide->GetShapes()->GetCount());

    PowerPoint::_Application* app = d.presentation->GetApplication();
    BSTR version = nullptr;
    app->get_Version(&version);
    EXPECT_EQ(L"11.0", WStringFromBstr(version));
    SysFreeString(version);
    app->Release();

    CHostDocumentRef unsaved = CHostDocument::Create();
    auto p = CreatePptPresentation(unsaved->Presentation());
    EXPECT_EQ(L"", p->GetPath());  // a presentation never saved has no folder
}

TEST(PptWrappers, IndexEdges) {
    {
        Deck empty(0);
        auto slides = empty.presentation->GetSlides();
        EXPECT_EQ(0, slides->GetCount());
        EXPECT_EQ(nullptr, slides->GetSlide(0));
        EXPECT_EQ(nullptr, slides->GetSlidePtr(0));
        EXPECT_EQ(nullptr, slides->FindBySlideId(256));
        EXPECT_EQ(0, empty.doc->Calls("Slides.Item"));
    }
    Deck d;
    auto slides = d.presentation->GetSlides();
    EXPECT_EQ(0, slides->GetSlide(0)->GetSlideIndex());
    EXPECT_EQ(nullptr, slides->GetSlide(3));
    EXPECT_EQ(nullptr, slides->GetSlide(0xFFFFFFFFu));
    EXPECT_EQ(1, d.doc->Calls("Slides.Item"));  // only slide 0 was asked for
    EXPECT_EQ(slides->GetSlide(2), slides->FindBySlideId(258));
    {
        // An unknown id visits every slide once; a second search asks PowerPoint nothing more.
        Deck fresh;
        auto all = fresh.presentation->GetSlides();
        EXPECT_EQ(nullptr, all->FindBySlideId(999));
        EXPECT_EQ(3, fresh.doc->Calls("Slide.get_SlideID"));
        EXPECT_EQ(3, fresh.doc->Calls("Slides.Item"));
        EXPECT_EQ(nullptr, all->FindBySlideId(999));
        EXPECT_EQ(3, fresh.doc->Calls("Slide.get_SlideID"));
    }

    // MoveTo(0) puts the slide at the front; the wrapper keeps the index it read first.
    auto last = slides->GetSlide(2);
    EXPECT_EQ(2, last->GetSlideIndex());
    last->MoveTo(0);
    EXPECT_EQ(258, d.doc->Slides().front()->slideId);
    EXPECT_EQ(2, last->GetSlideIndex());

    // Slide ranges: positions are checked against the range's count.
    EXPECT_EQ(nullptr, CreatePptSlideRange(nullptr));
    auto range = CreatePptSlideRange(d.doc->MakeSlideRange({d.doc->Slides()[2], d.doc->Slides()[0]}));
    EXPECT_EQ(2, range->GetCount());
    EXPECT_EQ(d.doc->Slides()[0]->slideId, range->GetSlide(1)->GetSlideID());
    EXPECT_EQ(nullptr, range->GetSlide(2));
    EXPECT_EQ(nullptr, range->GetSlidePtr(7));

    VARIANT all;
    VariantInit(&all);
    PowerPoint::SlideRange* everything = slides->Range(all);
    LONG count = 0;
    everything->get_Count(&count);
    everything->Release();
    EXPECT_EQ(3, count);
}

TEST(PptWrappers, DuplicateHideMoveAndDeleteLeaveTheOriginalAlone) {
    Deck d;
    for (int i = 0; i < 3; ++i) {
        auto& hf = d.doc->Slides()[static_cast<std::size_t>(i)]->headersFooters;
        hf.footer.visible = hf.header.visible = hf.dateAndTime.visible = hf.slideNumber.visible = msoTrue;
    }
    auto slide = d.Slide(1);
    auto copy = slide->Duplicate();
    ASSERT_TRUE(copy);
    EXPECT_NE(slide->GetSlideID(), copy->GetSlideID());
    EXPECT_EQ(2, copy->GetSlideIndex());
    copy->HideHeadersFooters();
    CHostSlide* copyNode = d.doc->Slides()[2];
    EXPECT_EQ(msoFalse, copyNode->headersFooters.footer.visible);
    EXPECT_EQ(msoFalse, copyNode->headersFooters.slideNumber.visible);
    copy->MoveTo(1);
    EXPECT_EQ(copyNode, d.doc->Slides()[1]);
    VARIANT all;
    VariantInit(&all);
    auto shapes = copy->GetShapes()->Range(all);
    shapes->SetVisible(msoFalse);
    copy->Delete();
    EXPECT_EQ(3u, d.doc->Slides().size());
    EXPECT_EQ(msoTrue, d.doc->Slides()[1]->headersFooters.footer.visible);
    EXPECT_TRUE(d.doc->Changes().empty()) << "only the copy was written";
    // A deleted wrapper refuses further calls instead of calling through a null pointer.
    EXPECT_EQ(PptMessage("src/ppt/PptSlide.cpp", 130), bctest::PptFailureOf([&] { copy->Delete(); }));
}

TEST(PptWrappers, FailureTexts) {
    struct FailCase {
        const char* name;
        const char* member;
        std::function<void(Deck&)> call;
        std::wstring expected;
    };
    const std::vector<FailCase> cases = {
        {"duplicate", "Slide.Duplicate", [](Deck& d) { d.Slide(0)->Duplicate(); },
         PptMessage("src/ppt/PptSlide.cpp", 92)},
        {"range item after duplicate", "SlideRange.Item", [](Deck& d) { d.Slide(0)->Duplicate(); },
         PptMessage("src/ppt/PptSlideRange.cpp", 53)},
        {"delete", "Slide.Delete", [](Deck& d) { d.Slide(0)->Delete(); }, PptMessage("src/ppt/PptSlide.cpp", 130)},
        {"move", "Slide.MoveTo", [](Deck& d) { d.Slide(0)->MoveTo(1); }, PptMessage("src/ppt/PptSlide.cpp", 104)},
        {"export", "Slide.Export", [](Deck& d) { d.Slide(0)->Export(L"/tmp/bg.png", L"png", 10, 10); },
         PptMessage("src/ppt/PptSlide.cpp", 124)},
        {"slides range", "Slides.Range",
         [](Deck& d) {
             VARIANT v;
             VariantInit(&v);
             d.presentation->GetSlides()->Range(v);
         },
         PptMessage("src/ppt/PptSlides.cpp", 76)},
        {"footer", "HeadersFooters.get_Footer", [](Deck& d) { d.Slide(0)->HideHeadersFooters(); },
         PptMessage("src/ppt/PptHeadersFooters.cpp", 27)},
        {"header", "HeadersFooters.get_Header", [](Deck& d) { d.Slide(0)->HideHeadersFooters(); },
         L"Failed to get header from headersfooters in file genswf/src/ppt/PptHeadersFooters.cpp at line 36"},
        {"date", "HeadersFooters.get_DateAndTime", [](Deck& d) { d.Slide(0)->HideHeadersFooters(); },
         PptMessage("src/ppt/PptHeadersFooters.cpp", 44)},
        {"slide number", "HeadersFooters.get_SlideNumber", [](Deck& d) { d.Slide(0)->HideHeadersFooters(); },
         PptMessage("src/ppt/PptHeadersFooters.cpp", 49)},
        {"hide", "HeaderFooter.put_Visible", [](Deck& d) { d.Slide(0)->HideHeadersFooters(); },
         PptMessage("src/ppt/PptHeaderFooter.cpp", 32)},
        {"shape range", "Shapes.Range",
         [](Deck& d) {
             VARIANT v;
             VariantInit(&v);
             d.Slide(0)->GetShapes()->Range(v);
         },
         PptMessage("src/ppt/PptShapes.cpp", 84)},
        {"shape range delete", "ShapeRange.Delete",
         [](Deck& d) {
             VARIANT v;
             VariantInit(&v);
             d.Slide(0)->GetShapes()->Range(v)->Delete();
         },
         PptMessage("src/ppt/PptShapeRange.cpp", 28)},
        {"shape range hide", "ShapeRange.put_Visible",
         [](Deck& d) {
             VARIANT v;
             VariantInit(&v);
             d.Slide(0)->GetShapes()->Range(v)->SetVisible(msoFalse);
         },
         PptMessage("src/ppt/PptShapeRange.cpp", 34)},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        if (*c.member) d.doc->Fail(c.member, E_FAIL);
        EXPECT_EQ(c.expected, bctest::PptFailureOf([&] { c.call(d); }));
    }
}

class CHyperlinkWrapper : public CPptObject<PowerPoint::Hyperlink> {
public:
    using CPptObject::CPptObject;
};

TEST(PptWrappers, ParentIsReadOnceAndItsFailureNamesTheHeader) {
    Deck d;
    CHostShape* shape = d.doc->Slides()[0]->shapes[0];
    shape->data.click.action = ppActionHyperlink;
    CComPtr<ActionSettings> settings;
    shape->Interface()->get_ActionSettings(&settings);
    CComPtr<ActionSetting> action;
    settings->Item(ppMouseClick, &action);
    CComPtr<PowerPoint::Hyperlink> link;
    action->get_Hyperlink(&link);
    CHyperlinkWrapper wrapper(link);

    d.doc->Fail("Hyperlink.get_Parent", E_FAIL, nullptr, 1);
    EXPECT_EQ(L"PPT Exception in file genswf/include/genswf/ppt/Ppt.h at line 23",
              bctest::PptFailureOf([&] { wrapper.GetParent(); }));
    IUnknown* parent = wrapper.GetParent();
    PowerPoint::ActionSetting* asAction = QueryActionSetting(parent);
    ASSERT_NE(nullptr, asAction);
    EXPECT_EQ(nullptr, QueryShape(parent));
    EXPECT_EQ(nullptr, QueryTextRange(nullptr));
    asAction->Release();
    parent->Release();
    wrapper.GetParent()->Release();
    EXPECT_EQ(2, d.doc->Calls("Hyperlink.get_Parent"));
}

}  // namespace
