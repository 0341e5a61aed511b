#include "UiTestSupport.h"

#include "addin/control/BrindlecastFree.h"
#include "com/ComBstr.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

using namespace addin;

namespace {

using PowerPoint::Host::CHostDocument;

struct Control {
    Control() {
        EXPECT_EQ(CreateBrindlecastFree(UuidOf<IBrindlecastFree>(), reinterpret_cast<void**>(&control)), S_OK);
        EXPECT_EQ(control->QueryInterface(UuidOf<IBrindlecastScript>(), reinterpret_cast<void**>(&script)), S_OK);
        Answer(L"terminal", L"0");
    }
    ~Control() {
        script->Release();
        control->Release();
    }
    HRESULT Answer(const std::wstring& name, const std::wstring& value) {
        CBstr n(name), v(value);
        return script->SetAnswer(n, v);
    }
    LONG Outcome() {
        LONG outcome = -1;
        script->get_LastOutcome(&outcome);
        return outcome;
    }
    std::wstring Error() {
        BSTR text = nullptr;
        script->get_LastErrorText(&text);
        std::wstring result = WStringFromBstr(text);
        SysFreeString(text);
        return result;
    }
    IBrindlecastFree* control = nullptr;
    IBrindlecastScript* script = nullptr;
};

TEST(Control, MessagesOfTheCurrentLanguage) {
    CUiTestInstallation install;
    Control c;
    LONG has = -1;
    CBstr known(L"IDS_SLIDE"), unknown(L"NO_SUCH_MESSAGE");
    EXPECT_EQ(c.control->get_HasMessage(known, &has), S_OK);
    EXPECT_EQ(has, 1);
    EXPECT_EQ(c.control->get_HasMessage(unknown, &has), S_OK);
    EXPECT_EQ(has, 0);
    BSTR text = reinterpret_cast<BSTR>(0x1);
    EXPECT_EQ(c.control->get_Message(unknown, &text), E_FAIL);
    EXPECT_EQ(text, reinterpret_cast<BSTR>(0x1));  // untouched
    EXPECT_EQ(c.control->get_Message(known, &text), S_OK);
    EXPECT_EQ(WStringFromBstr(text), L"Slide %d of %d");
    SysFreeString(text);
    EXPECT_EQ(c.control->About(), S_OK);
    EXPECT_EQ(BrindlecastFreeObjectCount(), 1);
}

TEST(Control, AFailedExportKeepsTheSavedChoicesAndTheEarlierMovie) {
    CUiTestInstallation install;
    CSettings before;
    before.Load();
    before.AutomaticSlideTransition = true;
    before.AutomaticSlideTransitionDelay = 7;
    before.ExportMode = 0;
    before.Save();
    CScratchFolder out;
    WriteBytes(out.Native() + "/Deck.swf", "old");

    Control c;
    auto document = CHostDocument::Create();
    document->name = L"Deck.ppt";
    document->AddSlide();
    document->Fail("Slide.get_SlideIndex", E_FAIL);
    ASSERT_EQ(c.Answer(L"output", out.Path() + L"/Deck.swf"), S_OK);
    ASSERT_EQ(c.Answer(L"yes", L"1"), S_OK);
    ASSERT_EQ(c.Answer(L"slides", L"current"), S_OK);
    ASSERT_EQ(c.Answer(L"no-auto-advance", L"1"), S_OK);
    EXPECT_EQ(c.control->Export(document->Presentation(), nullptr), S_OK);
    EXPECT_EQ(c.Outcome(), kOutcomeFailed);
    EXPECT_NE(c.Error().find(L"PPT Exception in file"), std::wstring::npos) << genswf::Utf8FromWide(c.Error());
    std::vector<std::uint8_t> kept;
    ASSERT_TRUE(genswf::ReadWholeFile(out.Path() + L"/Deck.swf", kept));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");

    CSettings saved;
    saved.Load();
    EXPECT_TRUE(saved.AutomaticSlideTransition);
    EXPECT_EQ(saved.AutomaticSlideTransitionDelay, 7);
    EXPECT_EQ(saved.ExportMode, 0);
    EXPECT_NE(saved.OutputFilePath, out.Path() + L"/Deck.swf");
}

TEST(Control, ExportsThatNeverReachTheConverter) {
    CUiTestInstallation install;
    CScratchFolder out;
    WriteBytes(out.Native() + "/Deck.swf", "old");
    Control c;
    auto document = CHostDocument::Create();
    document->name = L"Deck.ppt";
    ASSERT_EQ(c.Answer(L"output", out.Path() + L"/Deck.swf"), S_OK);
    // An existing movie is kept unless the command line says to replace it.
    EXPECT_EQ(c.control->Export(document->Presentation(), nullptr), S_OK);
    EXPECT_EQ(c.Outcome(), kOutcomePublishCancelled);
    EXPECT_NE(c.Error().find(L"already exists"), std::wstring::npos);
    // No presentation, or one whose name cannot be read: reported, S_OK.
    EXPECT_EQ(c.control->Export(nullptr, nullptr), S_OK);
    EXPECT_EQ(c.Outcome(), kOutcomeFailed);
    document->Fail("Presentation.get_Name", E_FAIL);
    EXPECT_EQ(c.control->Export(document->Presentation(), nullptr), S_OK);
    EXPECT_EQ(c.Outcome(), kOutcomeFailed);
    EXPECT_NE(c.Error().find(L"PPT Exception in file"), std::wstring::npos);
    // Bad answers are refused.
    for (auto bad : {std::pair<const wchar_t*, const wchar_t*>{L"width", L"0"},
                     {L"auto-advance", L"0"},
                     {L"slides", L"2-1"},
                     {L"lang", L"70000"},
                     {L"colour", L"red"}})
        EXPECT_EQ(c.Answer(bad.first, bad.second), E_INVALIDARG) << genswf::Utf8FromWide(bad.first);
}

}  // namespace
