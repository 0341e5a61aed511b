#include "UiTestSupport.h"

#include "addin/converter/PresentationConverter.h"
#include "addin/dialogs/AddinView.h"
#include "addin/dialogs/ConsoleView.h"
#include "addin/dialogs/ProgressDialog.h"
#include "com/ComError.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

using namespace addin;

namespace {

// A converter whose movie step runs the test's code instead of the movie export.
class CFakeConverter : public CPresentationConverter {
public:
    CFakeConverter(const CSettings* settings, genswf::CProgressSink* sink,
                   std::function<void(genswf::CProgressSink&)> step)
        : CPresentationConverter(nullptr, settings, nullptr, sink), m_step(std::move(step)) {}

protected:
    void ExportMovieDescription(const std::wstring&) override { m_step(*m_progressSink); }
    void CompileSwf(const std::wstring&, std::vector<std::uint8_t>& bytes) override { bytes = {'F', 'W', 'S'}; }

private:
    std::function<void(genswf::CProgressSink&)> m_step;
};

class CTestProgressDialog : public CProgressDialog {
public:
    CTestProgressDialog(CSettings* settings, std::function<void(genswf::CProgressSink&)> step)
        : CProgressDialog(nullptr, nullptr, settings), m_step(std::move(step)) {}
    int errors = 0;
    std::wstring caption, description;

protected:
    std::unique_ptr<CPresentationConverter> CreateConverter() override {
        return std::make_unique<CFakeConverter>(GetSettings(), this, m_step);
    }
    void ShowError(const std::wstring& c, const std::wstring& d) override {
        ++errors;
        caption = c;
        description = d;
    }

private:
    std::function<void(genswf::CProgressSink&)> m_step;
};

// Counts pumps and presses Cancel (twice) at a chosen pump.
class CPumpView : public IAddinView {
public:
    int pumps = 0;
    int cancelAtPump = -1;
    int RunPublish(CPublishDialog&) override { return 2; }
    int RunProgress(CProgressDialog& d) override { return ui::RunModal(d, nullptr); }
    int RunErrorReport(CErrorReportDialog&) override { return 2; }
    int RunOptions(COptionsDialog&) override { return 2; }
    int RunAbout(CAboutDialog&) override { return 1; }
    void PumpProgress(CProgressDialog& d) override {
        if (++pumps == cancelAtPump) {
            d.OnCommand(ui::IDCANCEL, 0);
            d.OnCommand(ui::IDCANCEL, 0);
        }
    }
    void OpenOutput(const std::wstring&, const std::wstring&) override {}
};

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        install.settings.OutputFilePath = out.Path() + L"/movie.swf";
        install.settings.PresentationName = L"Quarterly";
    }
    CUiTestInstallation install;
    CScratchFolder out;
};

TEST_F(ProgressDialogTest, BarsAndTextsFollowTheReports) {
    CTestProgressDialog dialog(&install.settings, [](genswf::CProgressSink&) {});
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.GetTitle(), L"Exporting \"Quarterly\"");

    const auto slideBar = [&] { return dialog.Control(CProgressDialog::IDC_SLIDE_PROGRESS); };
    dialog.SetSlideCount(3);
    EXPECT_EQ(slideBar().rangeMax, 30);
    dialog.SetSlide(1);
    EXPECT_EQ(slideBar().position, 10);
    EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_SLIDE_TEXT), L"Slide 2 of 3");
    dialog.SetShapeCount(4);
    EXPECT_EQ(dialog.Control(CProgressDialog::IDC_SHAPE_PROGRESS).rangeMax, 4);
    dialog.SetShape(2);  // (2 + 1) * 10 / 4 = 7 of the slide's 10
    EXPECT_EQ(slideBar().position, 17);
    EXPECT_EQ(dialog.Control(CProgressDialog::IDC_SHAPE_PROGRESS).position, 3);
    EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_SHAPE_TEXT), L"Shape 3 of 4");
    dialog.SetShapeCount(0);  // a slide without shapes advances a whole step
    EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_SHAPE_TEXT), L"");
    dialog.SetShape(0);
    EXPECT_EQ(slideBar().position, 20);

    const struct {
        int task;
        bool empty;
    } tasks[] = {{0, true}, {1, false}, {2, false}, {3, false}, {4, false}, {5, true}, {-1, true}};
    for (const auto& t : tasks) {
        dialog.SetTask(t.task);
        EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_TASK).empty(), t.empty) << t.task;
    }
    // Counts from a damaged file do not overflow the bar.
    dialog.SetSlideCount(0x7fffffff);
    EXPECT_EQ(slideBar().rangeMax, 0x7fffffff);
}

TEST_F(ProgressDialogTest, PumpsAtMostEvery200MillisecondsAndCancelStopsAtTheNextReport) {
    std::uint32_t now = 1000;
    int reportsAfterCancel = 0;
    CPumpView view;
    view.cancelAtPump = 3;
    CTestProgressDialog dialog(&install.settings, [&](genswf::CProgressSink& sink) {
        for (int i = 0; i < 100; ++i) {
            now += 50;  // a report every 50 ms: a pump on every fifth
            if (view.pumps >= 3) ++reportsAfterCancel;
            sink.SetShape(i);
        }
    });
    dialog.SetClock([&] { return now; });
    EXPECT_EQ(dialog.DoModal(view), CProgressDialog::kCancelled);
    EXPECT_EQ(view.pumps, 3);          // 200 ms exactly is not yet "more than 200"
    EXPECT_EQ(reportsAfterCancel, 0);  // the report that pumped is the one that stops
    EXPECT_TRUE(dialog.IsCancelled());
    EXPECT_FALSE(dialog.IsItemEnabled(ui::IDCANCEL));
    EXPECT_EQ(dialog.errors, 0);
    EXPECT_TRUE(dialog.GetOutputFilePath().empty());
    EXPECT_FALSE(genswf::FileExists(install.settings.OutputFilePath));
}

// A cancel pressed after the last pump (an export shorter than the pump's interval) still
// stops the export before the output is written.
TEST_F(ProgressDialogTest, ACancelSinceTheLastPumpIsHonouredBeforeTheOutput) {
    std::uint32_t now = 1000;
    CPumpView view;
    view.cancelAtPump = 1;
    CTestProgressDialog dialog(&install.settings, [&](genswf::CProgressSink& sink) {
        now += 50;  // never past the interval: no pump while the movie is made
        sink.SetShape(0);
    });
    dialog.SetClock([&] { return now; });
    EXPECT_EQ(dialog.DoModal(view), CProgressDialog::kCancelled);
    EXPECT_EQ(view.pumps, 1);
    EXPECT_FALSE(genswf::FileExists(install.settings.OutputFilePath));
}

TEST_F(ProgressDialogTest, ClockWrapStillPumps) {
    std::uint32_t now = 0xFFFFFF00u;
    CPumpView view;
    CTestProgressDialog dialog(&install.settings, [&](genswf::CProgressSink& sink) {
        now += 0x200;  // past the wrap of the millisecond counter
        sink.SetValue(1);
        sink.PumpMessagesAndCheckCancel();
    });
    dialog.SetClock([&] { return now; });
    EXPECT_EQ(dialog.DoModal(view), CProgressDialog::kSucceeded);
    EXPECT_EQ(view.pumps, 2);  // past the wrap, and the last look before the output is written
    EXPECT_EQ(dialog.GetOutputFilePath(), install.settings.OutputFilePath);
}

TEST_F(ProgressDialogTest, EachFailureGetsItsCaptionInCatchOrder) {
    struct Case {
        std::function<void()> raise;
        std::wstring caption;
        std::wstring description;
        int result;
    };
    const Case cases[] = {
        {[] { throw genswf::CXml2SwfException(L"no compiler"); }, L"Error during SWF generation", L"no compiler", 3},
        {[] { throw genswf::CInterruptedException(); }, L"", L"", 2},
        {[] { throw CConvertException(L"bad folder"); }, L"Error during convertion", L"bad folder", 3},
        {[] { throw CConvertException(L""); }, L"Error during convertion", L"", 3},
        {[] { throw genswf::CPPTException(L"PPT Exception in file x at line 1"); },
         L"PowerPoint reported an error while the presentation was read", L"PPT Exception in file x at line 1", 3},
        {[] { throw genswf::CSwfExtractionException(); }, L"The presentation could not be converted", L"", 3},
        {[] { throw genswf::CBaseException(7, L"generic"); }, L"The presentation could not be converted", L"generic",
         3},
        {[] { throw CComError(E_FAIL, L"movie.xml: line 26: a metafile sprite needs a positive width"); },
         L"An unexpected error stopped the conversion", L"movie.xml: line 26: a metafile sprite needs a positive width",
         3},
        {[] { throw std::runtime_error("COM error"); }, L"An unexpected error stopped the conversion", L"", 3},
        {[] { throw 42; }, L"An unexpected error stopped the conversion", L"", 3},
    };
    for (const Case& c : cases) {
        CPumpView view;
        CTestProgressDialog dialog(&install.settings, [&](genswf::CProgressSink&) { c.raise(); });
        EXPECT_EQ(dialog.DoModal(view), c.result) << genswf::Utf8FromWide(c.caption);
        EXPECT_EQ(dialog.errors, c.result == 3 ? 1 : 0);
        EXPECT_EQ(dialog.caption, c.caption);
        EXPECT_EQ(dialog.description, c.description);
        EXPECT_TRUE(dialog.GetOutputFilePath().empty());
    }
}

TEST_F(ProgressDialogTest, CompileTaskFollowsThePercentAndWarningsAreKeptOnce) {
    CTestProgressDialog dialog(&install.settings, [](genswf::CProgressSink&) {});
    const auto slideBar = [&] { return dialog.Control(CProgressDialog::IDC_SLIDE_PROGRESS); };
    const auto lowerBar = [&] { return dialog.Control(CProgressDialog::IDC_SHAPE_PROGRESS); };
    dialog.SetSlideCount(3);
    dialog.SetSlide(2);
    dialog.SetShapeCount(7);
    dialog.SetShape(1);
    dialog.SetValue(60);  // before the compile the value moves no bar
    EXPECT_EQ(lowerBar().position, 2);

    dialog.SetTask(genswf::TASK_COMPILE_SWF);
    EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_TASK), L"Compiling the Flash movie...");
    EXPECT_EQ(slideBar().position, slideBar().rangeMax);
    EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_SLIDE_TEXT), L"");
    EXPECT_EQ(dialog.GetItemText(CProgressDialog::IDC_SHAPE_TEXT), L"");
    EXPECT_EQ(lowerBar().rangeMin, 0);
    EXPECT_EQ(lowerBar().rangeMax, 100);
    EXPECT_EQ(lowerBar().position, 0);
    for (const auto& [value, shown] : {std::pair{40, 40}, {250, 100}, {-3, 0}, {100, 100}}) {
        dialog.SetValue(value);
        EXPECT_EQ(lowerBar().position, shown) << value;
    }

    for (const wchar_t* text : {L"sound left out", L"link left out", L"sound left out", L""}) dialog.AddWarning(text);
    EXPECT_EQ(dialog.GetWarnings(), (std::vector<std::wstring>{L"sound left out", L"link left out"}));
    // A damaged deck's flood is counted, not kept.
    for (int i = 0; i < 150; ++i) dialog.AddWarning(L"record " + std::to_wstring(i) + L" skipped");
    EXPECT_EQ(dialog.GetWarnings().size(), genswf::CProgressSink::kMaxWarnings);
    EXPECT_EQ(dialog.GetWarningsLeftOut(), 52);
}

// The console view on a stream that is or is not taken for a terminal.
std::string RunOnConsole(bool terminal, std::function<void(genswf::CProgressSink&)> step, CSettings* settings) {
    std::FILE* stream = std::tmpfile();
    std::string text;
    {
        CConsoleView view(stream);
        view.Output().SetTerminal(terminal);
        CTestProgressDialog dialog(settings, std::move(step));
        dialog.DoModal(view);
    }
    std::rewind(stream);
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, got);
    std::fclose(stream);
    return text;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(ProgressDialogTest, WarningsOfAWrittenMovieAreListedOnceOnATerminalOnly) {
    const auto warn = [](genswf::CProgressSink& sink) {
        sink.AddWarning(L"Slide 1: its sound cannot be played and is left out.");
        sink.AddWarning(L"A link to \x1b]0;owned\x07x is left out.");
        sink.AddWarning(L"Slide 1: its sound cannot be played and is left out.");
    };
    const std::string shown = RunOnConsole(true, warn, &install.settings);
    EXPECT_EQ(Occurrences(shown, "The movie was written with 2 warnings:\n"), 1u) << shown;
    EXPECT_EQ(Occurrences(shown, "  warning: Slide 1: its sound cannot be played and is left out.\n"), 1u) << shown;
    // The deck's control characters do not reach the terminal.
    EXPECT_EQ(Occurrences(shown, "  warning: A link to  ]0;owned x is left out.\n"), 1u) << shown;
    EXPECT_EQ(shown.find('\x07'), std::string::npos);

    // Off a terminal: nothing but errors.
    EXPECT_EQ(RunOnConsole(false, warn, &install.settings), "");
    // A failed export (its error goes to the error report) wrote no movie to warn about.
    const std::string failed = RunOnConsole(
        true,
        [&](genswf::CProgressSink& sink) {
            warn(sink);
            throw CConvertException(L"bad folder");
        },
        &install.settings);
    EXPECT_EQ(failed.find("written with"), std::string::npos) << failed;
    // No warnings, no summary.
    EXPECT_EQ(RunOnConsole(
                  true, [](genswf::CProgressSink&) {}, &install.settings)
                  .find("warning"),
              std::string::npos);
}

}  // namespace
