#pragma once
// The user's choices for an export and the installation's location. The control owns one for
// its lifetime; the dialogs edit it and the converter reads it.

#include <string>

namespace addin {

class CSettings {
public:
    // The automatic transition's delay in seconds; a stored value outside the range loads as
    // the default.
    static constexpr int kDefaultTransitionDelay = 5;
    static constexpr unsigned kMinTransitionDelay = 1;
    static constexpr unsigned kMaxTransitionDelay = 3600;

    CSettings() = default;
    virtual ~CSettings() = default;

    void Load();
    void Save();
    void SaveLanguageId();
    // "<installation folder>/lng" and "<installation folder>/res"; empty without an
    // installation folder.
    std::wstring GetLanguageFolder() const;
    std::wstring GetResourceFolder() const;
    // The documents folder + "/Presentations".
    static std::wstring GetDefaultOutputFolder();

    std::wstring OutputFilePath;
    std::wstring OutputFolder;
    std::wstring InstallationFolder;
    std::wstring PresentationName;
    int ExportMode = 0;  // 0 all slides, 1 the given range, 2 the current slide
    int Scale = 100;
    int MovieWidth = 720;
    int MovieHeight = 540;
    int FrameRate = 24;
    bool AutomaticSlideTransition = false;
    bool DebugMode = false;
    int AutomaticSlideTransitionDelay = kDefaultTransitionDelay;
    int PublishDialogShrinked = 1;
    bool KeepOriginalImageQuality = false;
    int ImageQuality = 75;
    int LanguageId = 0;
};

}  // namespace addin
