#include "addin/dialogs/ErrorReportDialog.h"

#include "BcVersion.h"
#include "addin/language/LanguageManager.h"
#include "addin/shell/ShellServices.h"
#include "genswf/utils/ModuleVersionInfo.h"
#include "genswf/utils/Utils.h"

#include <utility>
#include <vector>

using namespace genswf;

namespace addin {

namespace {

constexpr unsigned kReportTemplate = 211;
constexpr unsigned kSupportAddress = 10142;
constexpr unsigned kMailLinkTemplate = 10144;

// Every placeholder replaced in one walk over the template: replacement texts are never
// searched again, so a message that itself reads "{ERR_MESSAGE}" stays as it is.
std::wstring ReplacePlaceholdersOnce(const std::wstring& text,
                                     const std::vector<std::pair<std::wstring, std::wstring>>& placeholders) {
    std::wstring result;
    std::size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        for (const auto& entry : placeholders) {
            if (!entry.first.empty() && text.compare(i, entry.first.size(), entry.first) == 0) {
                result += entry.second;
                i += entry.first.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) result += text[i++];
    }
    return result;
}

// UrlEscape, and also the characters that would end the link's quoted text or cut it short
// in a mail program: '#' starts a fragment, '+' reads as a blank, '"' closes the quotes.
std::wstring MailLinkEscape(const std::wstring& text) {
    std::wstring result;
    for (wchar_t c : UrlEscape(text)) {
        if (c == L'#')
            result += L"%23";
        else if (c == L'+')
            result += L"%2b";
        else if (c == L'"')
            result += L"%22";
        else
            result += c;
    }
    return result;
}

}  // namespace

CErrorReportDialog::CErrorReportDialog(const std::wstring& message, const std::wstring& description)
    : CDialogModel(IDD), message(message), description(description) {}

void CErrorReportDialog::OnInitDialog() {
    SetItemText(IDC_MESSAGE, message);
    SetItemText(IDC_DETAILS, description);
    ShowDetails(false);
}

void CErrorReportDialog::ShowDetails(bool shown) {
    detailsShown = shown;
    ShowItem(IDC_DETAILS, shown);
    SetItemText(IDC_MORE, GetLanguageManager()->GetMessageString(shown ? L"IDC_LESS" : L"IDC_MORE"));
}

bool CErrorReportDialog::OnCommand(int id, int) {
    switch (id) {
    case ui::IDCANCEL:
        EndDialog(ui::IDCANCEL);
        return true;
    case IDC_MORE:
        ShowDetails(!detailsShown);
        return true;
    case IDC_SEND_REPORT:
        ShellOpen(BuildMailLink());
        EndDialog(IDC_SEND_REPORT);
        return true;
    default:
        return false;
    }
}

std::wstring CErrorReportDialog::BuildReport() const {
    std::vector<std::uint8_t> bytes;
    GetLanguageManager()->LoadResource(RT_RCDATA, kReportTemplate, bytes);
    const std::wstring text = MultiByteToWide(std::string(bytes.begin(), bytes.end()), CP_ACP);
    const CModuleVersionInfo version(reinterpret_cast<const void*>(&kReportTemplate));
    std::wstring productVersion = version.GetProductVersion();
    if (productVersion.empty()) productVersion = WideFromUtf8(BC_VERSION_STRING);
    return ReplacePlaceholdersOnce(
        text,
        {{L"{ERR_MESSAGE}", message}, {L"{ERR_DESCRIPTION}", description}, {L"{BRINDLECAST_VERSION}", productVersion}});
}

std::wstring CErrorReportDialog::BuildMailLink() const {
    const CLanguageManager* languages = GetLanguageManager();
    const std::wstring address = languages->LoadString(kSupportAddress);
    const std::wstring link = languages->LoadString(kMailLinkTemplate);
    return ReplacePlaceholdersOnce(link, {{L"{EMAIL}", address},
                                          {L"{SUBJ}", MailLinkEscape(message) + L"[Error Report Roru]"},
                                          {L"{BODY}", MailLinkEscape(BuildReport())}});
}

}  // namespace addin
