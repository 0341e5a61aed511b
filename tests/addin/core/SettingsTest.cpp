#include "AddinTestSupport.h"
#include "addin/settings/Settings.h"

#include <gtest/gtest.h>

using namespace addin;

namespace {

const std::wstring kMachine = L"Software\\Ombrel Works\\Brindlecast 1 Roru";
const std::wstring kPublish = L"Software\\Ombrel Works\\Brindlecast 1 Roru\\Publish";
const std::wstring kOptions = L"Software\\Ombrel Works\\Brindlecast 1 Roru\\Options";

// A registry and a home whose documents folder is known.
class SettingsTest : public ::testing::Test {
protected:
    CTestRegistry registry;
    CScratchFolder home;
    CEnvOverride homeEnv{"HOME", home.Native().c_str()};
    CEnvOverride configEnv{"XDG_CONFIG_HOME", (home.Native() + "/config").c_str()};

    std::wstring Documents() const { return home.Path() + L"/Documents"; }

    static DWORD ValueType(HKEY root, const std::wstring& path, const std::wstring& name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return REG_NONE;
        DWORD type = REG_NONE;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = REG_NONE;
        RegCloseKey(key);
        return type;
    }
};

void ExpectDefaults(const CSettings& settings, const std::wstring& outputFolder) {
    EXPECT_EQ(settings.OutputFolder, outputFolder);
    EXPECT_EQ(settings.InstallationFolder, L"");
    EXPECT_EQ(settings.ExportMode, 0);
    EXPECT_EQ(settings.PublishDialogShrinked, 1);
    EXPECT_FALSE(settings.AutomaticSlideTransition);
    EXPECT_EQ(settings.AutomaticSlideTransitionDelay, 5);
    EXPECT_EQ(settings.LanguageId, 0);
    EXPECT_FALSE(settings.KeepOriginalImageQuality);
    EXPECT_FALSE(settings.DebugMode);
    // Never stored: back at their defaults with every new settings object.
    EXPECT_EQ(settings.Scale, 100);
    EXPECT_EQ(settings.MovieWidth, 720);
    EXPECT_EQ(settings.MovieHeight, 540);
    EXPECT_EQ(settings.FrameRate, 24);
    EXPECT_EQ(settings.ImageQuality, 75);
    EXPECT_EQ(settings.OutputFilePath, L"");
    EXPECT_EQ(settings.PresentationName, L"");
}

TEST_F(SettingsTest, EmptyRegistryGivesDefaults) {
    CSettings settings;
    settings.Load();
    ExpectDefaults(settings, Documents() + L"/Presentations");
}

TEST_F(SettingsTest, ConfiguredDocumentsFolderIsUsed) {
    if (!genswf::FileExists(L"/usr/bin/xdg-user-dir")) GTEST_SKIP() << "xdg-user-dir is not installed";
    ASSERT_TRUE(genswf::CreateFolderTree(home / L"config"));
    WriteBytes(home.Native() + "/config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    CSettings settings;
    settings.Load();
    EXPECT_EQ(settings.OutputFolder, home.Path() + L"/Papers/Presentations");
}

TEST_F(SettingsTest, CorruptRegistryGivesDefaultsAndCanBeSavedAgain) {
    // Load once so the hive files exist, then damage them.
    CSettings first;
    first.ExportMode = 2;
    first.Save();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        WriteBytes(registry::HiveFilePath(root),
                   std::string("\x00\xff garbage [[[ =\n\"", 17) + std::string(5000, '\x01'));
    registry::ResetForTesting();

    CSettings settings;
    settings.Load();
    ExpectDefaults(settings, Documents() + L"/Presentations");

    settings.ExportMode = 1;
    settings.Save();
    CSettings reread;
    reread.Load();
    EXPECT_EQ(reread.ExportMode, 1);
}

TEST_F(SettingsTest, SaveAndLoadRoundTrip) {
    CSettings settings;
    settings.OutputFolder = L"/srv/movies/Ünïcødé";
    settings.ExportMode = 2;
    settings.PublishDialogShrinked = 0;
    settings.AutomaticSlideTransition = true;
    settings.AutomaticSlideTransitionDelay = 42;
    settings.LanguageId = 1031;
    settings.KeepOriginalImageQuality = true;
    settings.Scale = 50;         // not stored
    settings.ImageQuality = 20;  // not stored
    settings.Save();

    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, kPublish, L"Export Slide Range"), L"EXPORT_CURRENT_SLIDE");
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, kOptions, L"PublishDialogState"), L"EXPANDED");
    EXPECT_EQ(ValueType(HKEY_CURRENT_USER, kPublish, L"Output Folder"), REG_SZ);
    for (const wchar_t* name :
         {L"AutomaticSlideTransition", L"AutomaticSlideTransitionDelay", L"LanguageId", L"KeepOriginalImageQuality"})
        EXPECT_EQ(ValueType(HKEY_CURRENT_USER, kOptions, name), REG_DWORD) << genswf::Utf8FromWide(name);

    CSettings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.OutputFolder, L"/srv/movies/Ünïcødé");
    EXPECT_EQ(loaded.ExportMode, 2);
    EXPECT_EQ(loaded.PublishDialogShrinked, 0);
    EXPECT_TRUE(loaded.AutomaticSlideTransition);
    EXPECT_EQ(loaded.AutomaticSlideTransitionDelay, 42);
    EXPECT_EQ(loaded.LanguageId, 1031);
    EXPECT_TRUE(loaded.KeepOriginalImageQuality);
    EXPECT_EQ(loaded.Scale, 100);
    EXPECT_EQ(loaded.ImageQuality, 75);
}

TEST_F(SettingsTest, StoredTextsMapExactly) {
    struct Case {
        const wchar_t* range;
        int mode;
        const wchar_t* state;
        int shrinked;
    };
    const Case cases[] = {
        {L"EXPORT_ALL_SLIDES", 0, L"SHRINKED", 1},      {L"EXPORT_SELECTED_SLIDES", 1, L"EXPANDED", 0},
        {L"EXPORT_CURRENT_SLIDE", 2, L"shrinked", 0},   {L"export_current_slide", 0, L"", 0},
        {L"EXPORT_CURRENT_SLIDE ", 0, L"SHRINKED ", 0}, {L"", 0, L"anything", 0},
    };
    for (const Case& c : cases) {
        registry::WriteString(HKEY_CURRENT_USER, kPublish, L"Export Slide Range", c.range);
        registry::WriteString(HKEY_CURRENT_USER, kOptions, L"PublishDialogState", c.state);
        CSettings settings;
        settings.Load();
        EXPECT_EQ(settings.ExportMode, c.mode) << genswf::Utf8FromWide(c.range);
        EXPECT_EQ(settings.PublishDialogShrinked, c.shrinked) << genswf::Utf8FromWide(c.state);
    }
}

TEST_F(SettingsTest, UnknownModesAreSavedAsEmptyTexts) {
    CSettings settings;
    settings.ExportMode = 7;
    settings.PublishDialogShrinked = 3;
    settings.Save();
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, kPublish, L"Export Slide Range", L"x"), L"");
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, kOptions, L"PublishDialogState", L"x"), L"");
    CSettings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.ExportMode, 0);
    EXPECT_EQ(loaded.PublishDialogShrinked, 0);
}

TEST_F(SettingsTest, OutOfRangeNumbersFallBack) {
    struct Case {
        DWORD stored;
        int delay;
        int language;
    };
    const Case cases[] = {
        {0, 5, 0},           {1, 1, 1},       {3600, 3600, 3600},  {3601, 5, 3601},
        {0xFFFF, 5, 0xFFFF}, {0x10000, 5, 0}, {0xFFFFFFFFu, 5, 0},  // -1 written by a careless dialog
    };
    for (const Case& c : cases) {
        registry::WriteDword(HKEY_CURRENT_USER, kOptions, L"AutomaticSlideTransitionDelay", c.stored);
        registry::WriteDword(HKEY_CURRENT_USER, kOptions, L"LanguageId", c.stored);
        CSettings settings;
        settings.Load();
        EXPECT_EQ(settings.AutomaticSlideTransitionDelay, c.delay) << c.stored;
        EXPECT_EQ(settings.LanguageId, c.language) << c.stored;
    }
    // A value of the wrong type is no number at all.
    registry::WriteString(HKEY_CURRENT_USER, kOptions, L"AutomaticSlideTransitionDelay", L"30");
    CSettings settings;
    settings.Load();
    EXPECT_EQ(settings.AutomaticSlideTransitionDelay, 5);
}

TEST_F(SettingsTest, MachineValuesAreReadButNeverWritten) {
    registry::WriteString(HKEY_LOCAL_MACHINE, kMachine, L"Installation Folder", L"/opt/brindlecast");
    registry::WriteDword(HKEY_LOCAL_MACHINE, kMachine, L"DebugMode", 7);
    CSettings settings;
    settings.Load();
    EXPECT_EQ(settings.InstallationFolder, L"/opt/brindlecast");
    EXPECT_TRUE(settings.DebugMode);

    settings.InstallationFolder.clear();
    settings.DebugMode = false;
    settings.Save();
    EXPECT_EQ(registry::ReadString(HKEY_LOCAL_MACHINE, kMachine, L"Installation Folder"), L"/opt/brindlecast");
    EXPECT_EQ(registry::ReadDword(HKEY_LOCAL_MACHINE, kMachine, L"DebugMode"), 7u);
}

TEST_F(SettingsTest, SaveLeavesAnAbsentMachineKeyAbsent) {
    CSettings settings;
    settings.InstallationFolder = L"/home/someone/fake";
    settings.Save();
    EXPECT_FALSE(registry::KeyExists(HKEY_LOCAL_MACHINE, kMachine));
    EXPECT_TRUE(registry::KeyExists(HKEY_CURRENT_USER, kOptions));
}

TEST_F(SettingsTest, SaveLanguageIdWritesOnlyTheLanguage) {
    CSettings settings;
    settings.LanguageId = 2057;
    settings.ExportMode = 2;
    settings.SaveLanguageId();
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, kOptions, L"LanguageId"), 2057u);
    EXPECT_FALSE(registry::ValueExists(HKEY_CURRENT_USER, kPublish, L"Export Slide Range"));
}

TEST(SettingsFolders, LanguageAndResourceFolders) {
    struct Case {
        const wchar_t* installation;
        const wchar_t* languages;
        const wchar_t* resources;
    };
    const Case cases[] = {
        {L"/opt/bc", L"/opt/bc/lng", L"/opt/bc/res"},
        {L"/opt/bc/", L"/opt/bc/lng", L"/opt/bc/res"},
        {L"C:\\Program Files\\BC\\", L"C:\\Program Files\\BC\\lng", L"C:\\Program Files\\BC\\res"},
        {L"", L"", L""},  // never the root's "/lng"
    };
    for (const Case& c : cases) {
        CSettings settings;
        settings.InstallationFolder = c.installation;
        EXPECT_EQ(settings.GetLanguageFolder(), c.languages);
        EXPECT_EQ(settings.GetResourceFolder(), c.resources);
    }
}

}  // namespace
