#pragma once
// The add-in's view for a terminal and a command line: dialogs are answered from scripted
// answers, progress is drawn on stderr when it is a terminal, Ctrl-C is Cancel, and errors are
// written with their report's mail link.

#include "addin/dialogs/AddinView.h"
#include "ui/ScriptedAnswers.h"
#include "ui/Terminal.h"

#include <string>

namespace addin {

class CConsoleView : public IAddinView {
public:
    explicit CConsoleView(std::FILE* stream = stderr) : output(stream) {}

    ui::CScriptedAnswers& Answers() { return answers; }
    ui::CTerminalOutput& Output() { return output; }

    int RunPublish(CPublishDialog& dialog) override;
    int RunProgress(CProgressDialog& dialog) override;
    int RunErrorReport(CErrorReportDialog& dialog) override;
    int RunOptions(COptionsDialog& dialog) override;
    int RunAbout(CAboutDialog& dialog) override;
    void PumpProgress(CProgressDialog& dialog) override;
    void OpenOutput(const std::wstring& folder, const std::wstring& file) override;

    // The last error written ("caption: description"), or why Publish was refused.
    const std::wstring& GetLastError() const { return lastError; }
    void ClearLastError() { lastError.clear(); }
    // Reports a failure outside the dialogs (no presentation, unreadable name).
    void ReportFailure(const std::wstring& caption, const std::wstring& description);

private:
    // After a good export on a terminal: how many warnings, then each once.
    void ShowWarnings(const CProgressDialog& dialog);

    ui::CScriptedAnswers answers;
    ui::CTerminalOutput output;
    std::wstring lastError;
};

}  // namespace addin
