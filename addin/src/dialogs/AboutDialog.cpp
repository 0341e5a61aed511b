#include "addin/dialogs/AboutDialog.h"

#include "addin/language/LanguageManager.h"
#include "addin/shell/ShellServices.h"
#include "genswf/utils/Utils.h"

using namespace genswf;

namespace addin {

CAboutDialog::CAboutDialog() : CDialogModel(IDD) {}

void CAboutDialog::OnInitDialog() {
    const CLanguageManager* languages = GetLanguageManager();
    struct Area {
        int x, y, width, height;
        unsigned url;
        const wchar_t* tooltip;
    };
    const Area areas[] = {
        {285, 99, 113, 13, 10131, L"IDS_COMPANY_URL_TOOLTIP"},
        {285, 30, 133, 13, 10132, L"IDS_PRODUCT_URL_TOOLTIP"},
        {285, 157, 128, 13, 10135, L"IDS_TARNQUILL_URL_TOOLTIP"},
        {285, 203, 120, 13, 0, L"IDS_SUPPORT_TOOLTIP"},
    };
    links.clear();
    for (const Area& area : areas) {
        CAboutLink link{area.x,
                        area.y,
                        area.x + area.width,
                        area.y + area.height,
                        std::wstring(),
                        languages->GetMessageString(area.tooltip)};
        if (area.url) {
            link.url = languages->LoadString(area.url);
        } else {
            std::vector<std::uint8_t> body;
            languages->LoadResource(RT_RCDATA, 207, body);
            link.url = ReplacePlaceholders(
                languages->LoadString(10144),
                {{L"{EMAIL}", languages->LoadString(10142)},
                 {L"{SUBJ}", UrlEscape(languages->LoadString(10143))},
                 {L"{BODY}", UrlEscape(MultiByteToWide(std::string(body.begin(), body.end()), CP_ACP))}});
        }
        links.push_back(link);
    }
}

bool CAboutDialog::OnCommand(int id, int) {
    if (id == ui::IDOK || id == ui::IDCANCEL) {
        EndDialog(id);
        return true;
    }
    return false;
}

int CAboutDialog::HitTest(int x, int y) const {
    for (std::size_t i = 0; i < links.size(); ++i) {
        const CAboutLink& l = links[i];
        if (x >= l.left && x < l.right && y >= l.top && y < l.bottom) return static_cast<int>(i);
    }
    return -1;
}

bool CAboutDialog::OnLButtonDown(int x, int y) {
    const int index = HitTest(x, y);
    if (index < 0) return false;
    ShellOpen(links[static_cast<std::size_t>(index)].url);
    return true;
}

}  // namespace addin
