#include "addin/dialogs/OptionsDialog.h"

#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "genswf/utils/Utils.h"

using namespace genswf;

namespace addin {

COptionsDialog::COptionsDialog(CSettings* settings) : CDialogModel(IDD), settings(settings) {}

void COptionsDialog::OnInitDialog() {
    SetItemText(IDC_MIN_SLIDE_TIME, L"5.0");
    SetItemText(IDC_CLICK_PAUSE, L"1.0");

    // The languages the manager found; the current one is selected.
    ui::CControlState& list = Control(IDC_LANGUAGE);
    list.items.clear();
    languageIds.clear();
    const CLanguageManager* languages = GetLanguageManager();
    for (const auto& language : languages->GetLanguages()) {
        if (!language || language->GetLanguageIds().empty()) continue;
        list.items.push_back(language->GetLanguageName());
        languageIds.push_back(language->GetLanguageIds().front());
        if (language.Get() == languages->GetCurrentLanguage()) list.selection = static_cast<int>(list.items.size()) - 1;
    }
    if (list.items.empty()) {
        list.items.push_back(L"English (US)");
        languageIds.push_back(kUsEnglishLanguageId);
    }
    if (list.selection < 0) list.selection = 0;

    CheckItem(IDC_KEEP_IMAGE_QUALITY, settings->KeepOriginalImageQuality);
    RefreshQualityControls();
}

void COptionsDialog::RefreshQualityControls() {
    ui::CControlState& slider = Control(IDC_IMAGE_QUALITY);
    slider.rangeMin = 1;
    slider.rangeMax = 100;
    int quality = settings->ImageQuality;
    if (quality < 1) quality = 1;
    if (quality > 100) quality = 100;
    slider.position = quality;
    const bool enabled = !IsItemChecked(IDC_KEEP_IMAGE_QUALITY);
    for (int id : {IDC_IMAGE_QUALITY, IDC_LOW, IDC_HIGH, IDC_IMAGE_QUALITY_VALUE}) EnableItem(id, enabled);
    SetItemText(IDC_IMAGE_QUALITY_VALUE, IntToWString(slider.position) + L"%");
}

void COptionsDialog::OnImageQualityScroll(int position) {
    ui::CControlState& slider = Control(IDC_IMAGE_QUALITY);
    if (position < slider.rangeMin) position = slider.rangeMin;
    if (position > slider.rangeMax) position = slider.rangeMax;
    slider.position = position;
    SetItemText(IDC_IMAGE_QUALITY_VALUE, IntToWString(position) + L"%");
}

bool COptionsDialog::OnCommand(int id, int) {
    switch (id) {
    case ui::IDOK: {
        settings->KeepOriginalImageQuality = IsItemChecked(IDC_KEEP_IMAGE_QUALITY);
        // The slider is the quality the user set; without this it would be lost on OK.
        settings->ImageQuality = Control(IDC_IMAGE_QUALITY).position;
        const ui::CControlState& list = Control(IDC_LANGUAGE);
        if (list.selection >= 0 && static_cast<std::size_t>(list.selection) < languageIds.size())
            settings->LanguageId = languageIds[static_cast<std::size_t>(list.selection)];
        settings->Save();
        EndDialog(ui::IDOK);
        return true;
    }
    case ui::IDCANCEL:
        EndDialog(ui::IDCANCEL);
        return true;
    case IDC_KEEP_IMAGE_QUALITY:
        CheckItem(IDC_KEEP_IMAGE_QUALITY, !IsItemChecked(IDC_KEEP_IMAGE_QUALITY));
        RefreshQualityControls();
        return true;
    default:
        return false;
    }
}

}  // namespace addin
