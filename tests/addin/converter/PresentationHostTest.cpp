// The converter's reads of the presentation, against the in-memory host.

#include "TempDir.h"
#include "addin/converter/PresentationConverter.h"
#include "addin/settings/Settings.h"
#include "addin/shell/ShellServices.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/PresentationUtils.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace addin;

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

std::vector<LONG> SlideIndexes(SlideRange* range) {
    std::vector<LONG> indexes;
    if (!range) return indexes;
    LONG count = 0;
    EXPECT_EQ(range->get_Count(&count), S_OK);
    for (LONG i = 1; i <= count; ++i) {
        CComPtr<_Slide> slide;
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        EXPECT_EQ(range->Item(index, &slide), S_OK);
        LONG slideIndex = 0;
        slide->get_SlideIndex(&slideIndex);
        indexes.push_back(slideIndex);
    }
    return indexes;
}

struct CurrentSlideCase {
    const char* what;
    std::function<void(CHostDocument&)> arrange;
    std::vector<LONG> expected;  // empty: no range
};

TEST(CurrentSlideRange, FollowsTheShownSlide) {
    const CurrentSlideCase cases[] = {
        {"the shown slide replaces the selection",
         [](CHostDocument& d) {
             d.viewSlide = d.Slides()[2];
             d.selection = {d.Slides()[0], d.Slides()[1]};
         },
         {3}},
        {"no shown slide given: the first", [](CHostDocument& d) { d.selection = {d.Slides()[1]}; }, {1}},
        {"the view cannot give its slide: the selection as it is",
         [](CHostDocument& d) {
             d.selection = {d.Slides()[1]};
             d.Fail("View.get_Slide", E_FAIL);
         },
         {2}},
        {"unselect fails: the selection as it is",
         [](CHostDocument& d) {
             d.viewSlide = d.Slides()[2];
             d.selection = {d.Slides()[0]};
             d.Fail("Selection.Unselect", E_FAIL);
         },
         {1}},
        {"no window", [](CHostDocument& d) { d.hasWindow = false; }, {}},
        {"windows cannot be read", [](CHostDocument& d) { d.Fail("Presentation.get_Windows", E_FAIL); }, {}},
        {"nothing selectable", [](CHostDocument& d) { d.Fail("Selection.get_SlideRange", E_FAIL); }, {}},
    };
    for (const auto& c : cases) {
        auto doc = CHostDocument::Create();
        for (int i = 0; i < 3; ++i) doc->AddSlide();
        c.arrange(*doc);
        SlideRange* range = GetCurrentSlideRange(doc->Presentation());
        EXPECT_EQ(SlideIndexes(range), c.expected) << c.what;
        EXPECT_EQ(range != nullptr, !c.expected.empty()) << c.what;
        if (range) range->Release();
    }
    EXPECT_EQ(GetCurrentSlideRange(nullptr), nullptr);
}

TEST(PresentationReads, BaseNameAndSlideSize) {
    auto doc = CHostDocument::Create();
    doc->name = L"Quarterly.review.ppt";
    EXPECT_EQ(GetPresentationBaseName(doc->Presentation()), L"Quarterly.review");
    doc->Master()->width = 720.9f;
    doc->Master()->height = 405.2f;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(GetPresentationSlideSize(doc->Presentation(), width, height));
    EXPECT_EQ(width, 720);
    EXPECT_EQ(height, 405);

    doc->Fail("Master.get_Height", E_FAIL);
    EXPECT_FALSE(GetPresentationSlideSize(doc->Presentation(), width, height));
    doc->Fail("Presentation.get_Name", E_FAIL);
    try {
        GetPresentationBaseName(doc->Presentation());
        FAIL() << "no exception";
    } catch (const CPPTException& e) {
        EXPECT_EQ(e.GetMessage().rfind(L"PPT Exception in file genswf/src/utils/PresentationUtils.cpp at line ", 0),
                  0u);
    }
}

// Records the slide range the export sees.
class CRangeRecordingConverter : public CPresentationConverter {
public:
    using CPresentationConverter::CPresentationConverter;
    std::vector<LONG> exported;
    bool sawRange = false;

protected:
    void ExportMovieDescription(const std::wstring&) override {
        sawRange = m_slideRange != nullptr;
        exported = SlideIndexes(m_slideRange);
    }
    void CompileSwf(const std::wstring&, std::vector<std::uint8_t>& bytes) override { bytes.assign(8, 1); }
    std::wstring GetMessageString(const std::wstring& name) override { return name; }
};

TEST(ConverterExportMode, ChoosesTheSlideRange) {
    CScratchFolder folder;
    const std::wstring root = folder.Path();

    auto doc = CHostDocument::Create();
    for (int i = 0; i < 4; ++i) doc->AddSlide();
    doc->viewSlide = doc->Slides()[3];
    CComPtr<SlideRange> given = doc->MakeSlideRange({doc->Slides()[1], doc->Slides()[2]});

    struct Case {
        int mode;
        bool withRange;
        bool expectRange;
        std::vector<LONG> expected;
    } cases[] = {
        {0, true, false, {}},     // all slides: the given range is dropped
        {1, true, true, {2, 3}},  // the given range
        {1, false, false, {}},    // no range given: all slides
        {2, true, true, {4}},     // the slide the window shows
    };
    for (const auto& c : cases) {
        CSettings settings;
        settings.ExportMode = c.mode;
        settings.OutputFilePath = root + L"/out.swf";
        CRangeRecordingConverter converter(doc->Presentation(), &settings, c.withRange ? given.Get() : nullptr,
                                           nullptr);
        converter.Convert();
        EXPECT_EQ(converter.sawRange, c.expectRange) << c.mode;
        EXPECT_EQ(converter.exported, c.expected) << c.mode;
    }
}

}  // namespace
