#pragma once
// "Publish presentation": proposes the output file, shows the movie's size, and takes which
// slides go out and whether they advance by themselves. Publish writes the choices into the
// settings and saves them.

#include "com/ComPtr.h"
#include "powerpoint/model/PowerPoint.h"
#include "ui/DialogModel.h"

#include <string>
#include <vector>

namespace addin {

class CSettings;

class CPublishDialog : public ui::CDialogModel {
public:
    static constexpr int IDD = 101;
    static constexpr int IDC_FILE_NAME = 201;
    static constexpr int IDC_BROWSE = 203;
    static constexpr int IDC_ALL_SLIDES = 206;
    static constexpr int IDC_SELECTED_SLIDES = 207;
    static constexpr int IDC_CURRENT_SLIDE = 208;
    static constexpr int IDC_WIDTH = 209;
    static constexpr int IDC_HEIGHT = 210;
    static constexpr int IDC_SCALE = 211;
    static constexpr int IDC_AUTO_TRANSITION = 216;
    static constexpr int IDC_DURATION = 217;
    static constexpr int IDC_MORE = 218;
    static constexpr int IDC_TRANSITION_GROUP = 226;
    static constexpr int IDC_DURATION_LABEL = 227;
    static constexpr int IDC_SECONDS_LABEL = 228;
    static constexpr int IDC_LESS = 230;
    static constexpr int IDC_BANNER = 235;
    static constexpr int kBannerClick = 33280;
    static constexpr int kSloganCount = 12;
    // The controls the short form hides.
    static const std::vector<int>& LongFormControls();

    // Reads the presentation's name and slide size at once: a failing name read throws
    // genswf::CPPTException; a null presentation is refused the same way.
    CPublishDialog(PowerPoint::_Presentation* presentation, PowerPoint::SlideRange* slideRange, CSettings* settings);
    ~CPublishDialog() override;

    void OnInitDialog() override;
    bool OnCommand(int id, int notifyCode) override;
    // The banner's click (WM_NOTIFY from 235).
    void OnBannerClick();

    void SetForm(int shrinked);
    // The browse dialog's answer: the chosen path becomes the output file.
    void OnBrowseResult(const std::wstring& path);
    // Shows the movie's size at the settings' scale again (after its size changed).
    void RefreshDimensions();

    // Off: Publish writes the choices into the settings without saving them; the caller saves
    // them once the export went well.
    void SetSaveOnPublish(bool on) { saveOnPublish = on; }

    // Why Publish was refused (the dialog stays open); empty after an accepted Publish.
    const std::wstring& GetValidationError() const { return validationError; }

    const std::wstring& GetOutputFilePath() const { return outputFilePath; }
    const std::wstring& GetPresentationName() const { return presentationName; }
    int GetExportMode() const { return exportMode; }
    int GetShrinked() const { return shrinked; }
    bool GetAutomaticSlideTransition() const { return automaticSlideTransition; }
    int GetAutomaticSlideTransitionDelay() const { return automaticSlideTransitionDelay; }
    CSettings* GetSettings() const { return settings; }
    // The banner's slogan, line by line.
    const std::vector<std::wstring>& GetBannerLines() const { return bannerLines; }

private:
    void OnPublish();
    void EnableDurationControls();

    CSettings* settings;
    CComPtr<PowerPoint::SlideRange> slideRange;
    CComPtr<PowerPoint::_Presentation> presentation;
    std::wstring outputFilePath;
    std::wstring presentationName;
    int automaticSlideTransitionDelay = 0;
    int exportMode = 0;
    int shrinked = 1;
    bool automaticSlideTransition = false;
    bool saveOnPublish = true;
    std::vector<std::wstring> bannerLines;
    std::wstring validationError;
};

// The slogan index for a value of rand(): 0 to count - 1 whatever RAND_MAX is.
int SloganIndex(int randomValue, int count);

}  // namespace addin
