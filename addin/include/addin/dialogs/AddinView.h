#pragma once
// How the add-in's dialogs reach the user. The dialogs keep their logic; a view runs them
// (terminal and scripted answers, or a test's own).

#include <string>

namespace addin {

class CPublishDialog;
class CProgressDialog;
class CErrorReportDialog;
class COptionsDialog;
class CAboutDialog;

class IAddinView {
public:
    virtual ~IAddinView() = default;
    // Each runs its dialog modally to its end and returns the dialog's result.
    virtual int RunPublish(CPublishDialog& dialog) = 0;
    virtual int RunProgress(CProgressDialog& dialog) = 0;
    virtual int RunErrorReport(CErrorReportDialog& dialog) = 0;
    virtual int RunOptions(COptionsDialog& dialog) = 0;
    virtual int RunAbout(CAboutDialog& dialog) = 0;
    // The progress dialog's message pump: show its state and deliver pending input (Cancel).
    virtual void PumpProgress(CProgressDialog& dialog) = 0;
    // After a successful export: show the output folder and the movie.
    virtual void OpenOutput(const std::wstring& folder, const std::wstring& file) = 0;
};

}  // namespace addin
