#pragma once
// "PowerPoint to Flash conversion error": the error's caption and description, with a report
// that can go to support as a mail link.

#include "ui/DialogModel.h"

#include <string>

namespace addin {

class CErrorReportDialog : public ui::CDialogModel {
public:
    static constexpr int IDD = 261;
    static constexpr int IDC_MORE = 218;
    static constexpr int IDC_SEND_REPORT = 237;
    static constexpr int IDC_MESSAGE = 265;
    static constexpr int IDC_DETAILS = 266;

    CErrorReportDialog(const std::wstring& message, const std::wstring& description);

    void OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;

    void ShowDetails(bool shown);
    bool AreDetailsShown() const { return detailsShown; }

    // The report text and the mail link Send report opens.
    std::wstring BuildReport() const;
    std::wstring BuildMailLink() const;

    const std::wstring& GetMessage() const { return message; }
    const std::wstring& GetDescription() const { return description; }

private:
    std::wstring message;
    std::wstring description;
    bool detailsShown = false;
};

}  // namespace addin
