#include "addin/dialogs/ConsoleView.h"

#include "BcVersion.h"
#include "addin/dialogs/AboutDialog.h"
#include "addin/dialogs/ErrorReportDialog.h"
#include "addin/dialogs/OptionsDialog.h"
#include "addin/dialogs/ProgressDialog.h"
#include "addin/dialogs/PublishDialog.h"
#include "addin/settings/Settings.h"
#include "genswf/utils/Utils.h"
#include "shell/Shell.h"

using namespace genswf;

namespace addin {

int CConsoleView::RunPublish(CPublishDialog& dialog) {
    return ui::RunModal(dialog, [this, &dialog](ui::CDialogModel&) {
        CPublishDialog& publish = dialog;
        CSettings* settings = publish.GetSettings();
        int number = 0;
        if (answers.GetInt(L"width", number)) settings->MovieWidth = number;
        if (answers.GetInt(L"height", number)) settings->MovieHeight = number;
        publish.RefreshDimensions();
        if (answers.Has(L"output")) publish.OnBrowseResult(answers.Get(L"output"));
        const std::wstring slides = answers.Get(L"slides");
        if (slides == L"all") publish.OnCommand(CPublishDialog::IDC_ALL_SLIDES, ui::BN_CLICKED);
        if (slides == L"selected") publish.OnCommand(CPublishDialog::IDC_SELECTED_SLIDES, ui::BN_CLICKED);
        if (slides == L"current") publish.OnCommand(CPublishDialog::IDC_CURRENT_SLIDE, ui::BN_CLICKED);
        if (answers.Has(L"auto-advance")) {
            if (!publish.GetAutomaticSlideTransition())
                publish.OnCommand(CPublishDialog::IDC_AUTO_TRANSITION, ui::BN_CLICKED);
            publish.SetItemText(CPublishDialog::IDC_DURATION, answers.Get(L"auto-advance"));
            publish.OnCommand(CPublishDialog::IDC_DURATION, ui::EN_CHANGE);
        } else if (answers.GetFlag(L"no-auto-advance") && publish.GetAutomaticSlideTransition()) {
            publish.OnCommand(CPublishDialog::IDC_AUTO_TRANSITION, ui::BN_CLICKED);
        }
        // The save dialog asks before replacing a file; here the command line says so.
        if (FileExists(publish.GetOutputFilePath()) && !answers.GetFlag(L"yes")) {
            lastError = publish.GetOutputFilePath() + L" already exists (--yes replaces it).";
            publish.OnCommand(ui::IDCANCEL, ui::BN_CLICKED);
            return;
        }
        publish.OnCommand(ui::IDOK, ui::BN_CLICKED);
        if (!publish.IsEnded()) {
            lastError = publish.GetValidationError();
            publish.OnCommand(ui::IDCANCEL, ui::BN_CLICKED);
            return;
        }
        if (answers.GetFlag(L"debug")) settings->DebugMode = true;
    });
}

int CConsoleView::RunProgress(CProgressDialog& dialog) {
    ui::CInterruptGuard guard;
    const int result = ui::RunModal(dialog, nullptr);
    output.EndProgress();
    if (result == CProgressDialog::kCancelled) lastError = L"The export was cancelled.";
    if (result == CProgressDialog::kSucceeded) ShowWarnings(dialog);
    return result;
}

namespace {

// Warnings quote the presentation (addresses, file names): none of its control characters may
// reach the terminal as commands.
std::wstring Printable(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out)
        if (c < 0x20 || (c >= 0x7f && c < 0xa0)) c = L' ';
    return out;
}

}  // namespace

void CConsoleView::ShowWarnings(const CProgressDialog& dialog) {
    // Off a terminal nothing but errors is written; the export log keeps the warnings.
    if (!output.IsTerminal()) return;
    const std::vector<std::wstring>& warnings = dialog.GetWarnings();
    const int count = static_cast<int>(warnings.size()) + dialog.GetWarningsLeftOut();
    if (count == 0) return;
    output.WriteLine(L"The movie was written with " + std::to_wstring(count) +
                     (count == 1 ? L" warning:" : L" warnings:"));
    for (const std::wstring& warning : warnings) output.WriteLine(L"  warning: " + Printable(warning));
    if (dialog.GetWarningsLeftOut() > 0)
        output.WriteLine(L"  and " + std::to_wstring(dialog.GetWarningsLeftOut()) + L" more");
}

void CConsoleView::PumpProgress(CProgressDialog& dialog) {
    if (ui::CInterruptGuard::TakeInterrupt()) dialog.OnCommand(ui::IDCANCEL, ui::BN_CLICKED);
    if (!output.IsTerminal()) return;
    const ui::CControlState* slides = dialog.FindControl(CProgressDialog::IDC_SLIDE_PROGRESS);
    const ui::CControlState* shapes = dialog.FindControl(CProgressDialog::IDC_SHAPE_PROGRESS);
    std::wstring lines = dialog.GetTitle() + L"\n" + dialog.GetItemText(CProgressDialog::IDC_TASK) + L"\n";
    lines += ui::ProgressBarText(L"", slides ? slides->rangeMin : 0, slides ? slides->rangeMax : 0,
                                 slides ? slides->position : 0) +
             L" " + dialog.GetItemText(CProgressDialog::IDC_SLIDE_TEXT) + L"\n";
    lines += ui::ProgressBarText(L"", shapes ? shapes->rangeMin : 0, shapes ? shapes->rangeMax : 0,
                                 shapes ? shapes->position : 0) +
             L" " + dialog.GetItemText(CProgressDialog::IDC_SHAPE_TEXT);
    output.ShowProgress(lines);
}

int CConsoleView::RunErrorReport(CErrorReportDialog& dialog) {
    return ui::RunModal(dialog, [this, &dialog](ui::CDialogModel&) {
        CErrorReportDialog& report = dialog;
        ReportFailure(report.GetMessage(), report.GetDescription());
        output.WriteLine(L"To send the error report to support, open: " + report.BuildMailLink());
        if (answers.GetFlag(L"send-report"))
            report.OnCommand(CErrorReportDialog::IDC_SEND_REPORT, ui::BN_CLICKED);
        else
            report.OnCommand(ui::IDCANCEL, ui::BN_CLICKED);
    });
}

void CConsoleView::ReportFailure(const std::wstring& caption, const std::wstring& description) {
    lastError = description.empty() ? caption : caption + L": " + description;
    output.WriteLine(L"Error: " + lastError);
}

int CConsoleView::RunOptions(COptionsDialog& dialog) {
    return ui::RunModal(dialog, [this, &dialog](ui::CDialogModel&) {
        COptionsDialog& options = dialog;
        bool changed = false;
        if (answers.Has(L"keep-image-quality") &&
            answers.GetFlag(L"keep-image-quality") != options.IsItemChecked(COptionsDialog::IDC_KEEP_IMAGE_QUALITY)) {
            options.OnCommand(COptionsDialog::IDC_KEEP_IMAGE_QUALITY, ui::BN_CLICKED);
            changed = true;
        }
        int quality = 0;
        if (answers.GetInt(L"image-quality", quality)) {
            options.OnImageQualityScroll(quality);
            changed = true;
        }
        output.WriteLine(L"Image quality: " + (options.IsItemChecked(COptionsDialog::IDC_KEEP_IMAGE_QUALITY)
                                                   ? std::wstring(L"original")
                                                   : options.GetItemText(COptionsDialog::IDC_IMAGE_QUALITY_VALUE)));
        options.OnCommand(changed ? ui::IDOK : ui::IDCANCEL, ui::BN_CLICKED);
    });
}

int CConsoleView::RunAbout(CAboutDialog& dialog) {
    return ui::RunModal(dialog, [this, &dialog](ui::CDialogModel&) {
        CAboutDialog& about = dialog;
        output.WriteLine(L"Brindlecast Roru " + WideFromUtf8(BC_VERSION_STRING));
        for (const CAboutLink& link : about.GetLinks()) output.WriteLine(link.tooltip + L": " + link.url);
        about.OnCommand(ui::IDOK, ui::BN_CLICKED);
    });
}

void CConsoleView::OpenOutput(const std::wstring& folder, const std::wstring& file) {
    if (!answers.GetFlag(L"open")) return;
    ShellExecuteW(nullptr, L"open", folder.c_str(), nullptr, nullptr, SW_SHOW);
    ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace addin
