#pragma once
// A private registry whose installation folder is the build folder (lng/ and res/ there).

#include "AddinTestSupport.h"
#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"
#include "genswf/utils/RegistryKey.h"

class CUiTestInstallation {
public:
    CUiTestInstallation() {
        genswf::CRegistryKey machine;
        machine.Create(HKEY_LOCAL_MACHINE, L"Software\\Ombrel Works\\Brindlecast 1 Roru");
        machine.SetStringValue(genswf::WideFromUtf8(BC_BINARY_DIR), L"Installation Folder");
        settings.Load();
        settings.LanguageId = addin::kUsEnglishLanguageId;
        genswf::CRefPtr<addin::CLanguageManager> manager(new addin::CLanguageManager(&settings));
        addin::SetLanguageManager(manager);
        manager->LoadLanguages();
    }
    ~CUiTestInstallation() { addin::SetLanguageManager(nullptr); }

    CTestRegistry registry;
    addin::CSettings settings;
};
