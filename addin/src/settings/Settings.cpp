#include "addin/settings/Settings.h"

#include "genswf/utils/RegistryKey.h"
#include "genswf/utils/Utils.h"
#include "shell/Shell.h"

#include <optional>

using genswf::CRegistryKey;

namespace addin {

namespace {

const wchar_t* const kMachineKey = L"Software\\Ombrel Works\\Brindlecast 1 Roru";
const wchar_t* const kPublishKey = L"Software\\Ombrel Works\\Brindlecast 1 Roru\\Publish";
const wchar_t* const kOptionsKey = L"Software\\Ombrel Works\\Brindlecast 1 Roru\\Options";

const wchar_t* const kExportModeNames[] = {L"EXPORT_ALL_SLIDES", L"EXPORT_SELECTED_SLIDES", L"EXPORT_CURRENT_SLIDE"};

int ExportModeFromName(const std::wstring& name) {
    for (int mode = 0; mode < 3; ++mode)
        if (name == kExportModeNames[mode]) return mode;
    return 0;
}

std::wstring ExportModeName(int mode) { return mode >= 0 && mode < 3 ? kExportModeNames[mode] : L""; }

std::wstring PublishDialogStateName(int shrinked) {
    if (shrinked == 1) return L"SHRINKED";
    if (shrinked == 0) return L"EXPANDED";
    return std::wstring();
}

}  // namespace

std::wstring CSettings::GetDefaultOutputFolder() {
    const std::wstring documents = shell::GetDocumentsFolder();
    return genswf::IncludeTrailingBackslash(documents) + L"Presentations";
}

void CSettings::Load() {
    CRegistryKey machine;
    if (machine.Open(HKEY_LOCAL_MACHINE, kMachineKey, KEY_READ) == ERROR_SUCCESS) {
        InstallationFolder = machine.QueryStringValue(L"Installation Folder", L"");
        DebugMode = machine.QueryDWORDValue(L"DebugMode", 0) != 0;
    }

    CRegistryKey publish;
    if (publish.Create(HKEY_CURRENT_USER, kPublishKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS) ==
        ERROR_SUCCESS) {
        // The default asks the desktop for the documents folder: only when no folder is saved.
        std::optional<std::wstring> folder = publish.QueryStringValue(L"Output Folder");
        OutputFolder = folder ? std::move(*folder) : GetDefaultOutputFolder();
        ExportMode = ExportModeFromName(publish.QueryStringValue(L"Export Slide Range", L"EXPORT_ALL_SLIDES"));
    }

    CRegistryKey options;
    if (options.Create(HKEY_CURRENT_USER, kOptionsKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS) ==
        ERROR_SUCCESS) {
        PublishDialogShrinked = options.QueryStringValue(L"PublishDialogState", L"SHRINKED") == L"SHRINKED" ? 1 : 0;
        AutomaticSlideTransition = options.QueryDWORDValue(L"AutomaticSlideTransition", 0) != 0;
        const DWORD delay = options.QueryDWORDValue(L"AutomaticSlideTransitionDelay", kDefaultTransitionDelay);
        // A hand-edited or damaged value must not give a movie that never (or instantly) moves on.
        AutomaticSlideTransitionDelay = delay >= kMinTransitionDelay && delay <= kMaxTransitionDelay
                                            ? static_cast<int>(delay)
                                            : kDefaultTransitionDelay;
        const DWORD language = options.QueryDWORDValue(L"LanguageId", 0);
        LanguageId = language <= 0xFFFF ? static_cast<int>(language) : 0;
        KeepOriginalImageQuality = options.QueryDWORDValue(L"KeepOriginalImageQuality", 0) != 0;
    }
}

void CSettings::Save() {
    // The machine-wide key belongs to the installation: "Installation Folder" is written by
    // the set-up only, so a user whose read failed cannot blank it, and "DebugMode" is never
    // written.
    CRegistryKey publish;
    if (publish.Create(HKEY_CURRENT_USER, kPublishKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS) ==
        ERROR_SUCCESS) {
        publish.SetStringValue(OutputFolder, L"Output Folder");
        publish.SetStringValue(ExportModeName(ExportMode), L"Export Slide Range");
    }

    CRegistryKey options;
    if (options.Create(HKEY_CURRENT_USER, kOptionsKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS) ==
        ERROR_SUCCESS) {
        options.SetStringValue(PublishDialogStateName(PublishDialogShrinked), L"PublishDialogState");
        options.SetDWORDValue(AutomaticSlideTransition ? 1 : 0, L"AutomaticSlideTransition");
        options.SetDWORDValue(static_cast<DWORD>(AutomaticSlideTransitionDelay), L"AutomaticSlideTransitionDelay");
        options.SetDWORDValue(static_cast<DWORD>(LanguageId), L"LanguageId");
        options.SetDWORDValue(KeepOriginalImageQuality ? 1 : 0, L"KeepOriginalImageQuality");
    }
}

void CSettings::SaveLanguageId() {
    CRegistryKey options;
    if (options.Create(HKEY_CURRENT_USER, kOptionsKey, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS) ==
        ERROR_SUCCESS)
        options.SetDWORDValue(static_cast<DWORD>(LanguageId), L"LanguageId");
}

std::wstring CSettings::GetLanguageFolder() const {
    // Without an installation folder there is no language folder (not "/lng").
    if (InstallationFolder.empty()) return std::wstring();
    return genswf::IncludeTrailingBackslash(InstallationFolder) + L"lng";
}

std::wstring CSettings::GetResourceFolder() const {
    if (InstallationFolder.empty()) return std::wstring();
    return genswf::IncludeTrailingBackslash(InstallationFolder) + L"res";
}

}  // namespace addin
