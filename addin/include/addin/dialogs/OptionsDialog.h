#pragma once
// "Options": picture quality and the interface language; OK saves the settings.

#include "ui/DialogModel.h"

#include <vector>

namespace addin {

class CSettings;

class COptionsDialog : public ui::CDialogModel {
public:
    static constexpr int IDD = 112;
    static constexpr int IDC_MIN_SLIDE_TIME = 226;
    static constexpr int IDC_CLICK_PAUSE = 227;
    static constexpr int IDC_IMAGE_QUALITY = 229;
    static constexpr int IDC_IMAGE_QUALITY_VALUE = 231;
    static constexpr int IDC_KEEP_IMAGE_QUALITY = 233;
    static constexpr int IDC_LOW = 251;
    static constexpr int IDC_HIGH = 252;
    static constexpr int IDC_LANGUAGE = 261;

    explicit COptionsDialog(CSettings* settings);

    void OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;
    // The slider moved (WM_HSCROLL from 229).
    void OnImageQualityScroll(int position);
    void RefreshQualityControls();

    // Language ids in the order of list 261.
    const std::vector<int>& GetLanguageIds() const { return languageIds; }

private:
    CSettings* settings;
    std::vector<int> languageIds;
};

}  // namespace addin
