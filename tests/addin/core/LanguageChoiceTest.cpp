#include "AddinTestSupport.h"
#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"

#include <gtest/gtest.h>

using namespace addin;

namespace {

const std::wstring kOptions = L"Software\\Ombrel Works\\Brindlecast 1 Roru\\Options";

// An installation folder with a "lng" folder, a private registry and a chosen locale.
class LanguageChoiceTest : public ::testing::Test {
protected:
    CTestRegistry registry;
    CScratchFolder installation;
    CEnvOverride lcAll{"LC_ALL", nullptr};
    CEnvOverride lcMessages{"LC_MESSAGES", nullptr};
    CEnvOverride lang{"LANG", "C.UTF-8"};

    void SetUp() override { ASSERT_TRUE(genswf::CreateFolderTree(installation / L"lng")); }

    void AddFile(const std::string& name, const std::wstring& text) {
        WriteBytes(installation.Native() + "/lng/" + name, Utf16Bytes(text));
    }
    void AddLanguage(const std::string& file, const std::wstring& name, const std::wstring& ids, bool isDefault,
                     const std::wstring& defaultId = L"") {
        AddFile(file, LanguageText(name, ids, isDefault, defaultId, L"NAME=" + name + L"\r\n"));
    }

    // Loads with the saved id; returns the chosen language's name (or "-") and the id kept.
    std::pair<std::wstring, int> Choose(int savedId) {
        CSettings settings;
        settings.InstallationFolder = installation.Path();
        settings.LanguageId = savedId;
        genswf::CRefPtr<CLanguageManager> manager(new CLanguageManager(&settings));
        manager->LoadLanguages();
        std::wstring name;
        if (!manager->GetMessage(L"NAME", name)) name = L"-";
        EXPECT_EQ(static_cast<int>(manager->GetLanguageId()), settings.LanguageId);
        return {name, settings.LanguageId};
    }
};

TEST_F(LanguageChoiceTest, SavedIdThenUserIdThenDefaultFile) {
    AddLanguage("english.lng", L"English", L"1033,2057", true, L"1033");
    AddLanguage("german.lng", L"Deutsch", L"1031,3079,2055", false, L"1031");
    AddLanguage("french.lng", L"Français", L"1036,3084", false, L"1036");

    struct Case {
        const char* locale;
        int saved;
        const wchar_t* chosen;
        int kept;
    };
    const Case cases[] = {
        {"C.UTF-8", 0, L"English", 1033},         {"de_DE.UTF-8", 0, L"Deutsch", 1031},
        {"de_AT.UTF-8", 0, L"Deutsch", 1031},      // matched 3079, keeps the language's own id
        {"de_DE.UTF-8", 1036, L"Français", 1036},  // the saved choice beats the locale
        {"fr_CA", 3084, L"Français", 1036},       {"de_DE", 9999, L"Deutsch", 1031},  // a saved id no file lists
        {"ja_JP.UTF-8", 9999, L"English", 1033},  {"en_GB.UTF-8", 0, L"English", 1033},
    };
    for (const Case& c : cases) {
        CEnvOverride locale("LANG", c.locale);
        const auto [name, kept] = Choose(c.saved);
        EXPECT_EQ(name, c.chosen) << c.locale << " saved " << c.saved;
        EXPECT_EQ(kept, c.kept) << c.locale << " saved " << c.saved;
        EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, kOptions, L"LanguageId"), static_cast<DWORD>(c.kept));
    }
}

TEST_F(LanguageChoiceTest, LocaleVariablesInOrder) {
    AddLanguage("english.lng", L"English", L"1033", true);
    AddLanguage("german.lng", L"Deutsch", L"1031", false, L"1031");
    AddLanguage("french.lng", L"Français", L"1036", false, L"1036");
    {
        CEnvOverride all("LC_ALL", "fr_FR.UTF-8");
        CEnvOverride messages("LC_MESSAGES", "de_DE.UTF-8");
        EXPECT_EQ(Choose(0).first, L"Français");
    }
    {
        CEnvOverride messages("LC_MESSAGES", "de_DE.UTF-8");
        CEnvOverride language("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(Choose(0).first, L"Deutsch");
    }
}

TEST_F(LanguageChoiceTest, KeptIdIsAlwaysOneTheLanguageLists) {
    // The default id is not among the listed ones.
    AddLanguage("german.lng", L"Deutsch", L"1031,3079", true, L"1033");
    {
        CEnvOverride locale("LANG", "de_AT");
        EXPECT_EQ(Choose(0), std::make_pair(std::wstring(L"Deutsch"), 3079));
    }
    EXPECT_EQ(Choose(1031), std::make_pair(std::wstring(L"Deutsch"), 1031));
    // Chosen as the default file: its first listed id.
    EXPECT_EQ(Choose(0), std::make_pair(std::wstring(L"Deutsch"), 1031));
}

TEST_F(LanguageChoiceTest, ChoiceDoesNotDependOnListingOrder) {
    // Both qualify for every candidate; the first by sorted name wins.
    AddLanguage("b-second.lng", L"Second", L"1033", true);
    AddLanguage("a-first.lng", L"First", L"1033", true);
    AddLanguage("c-third.LNG", L"Third", L"1033", true);
    EXPECT_EQ(Choose(0).first, L"First");
    EXPECT_EQ(Choose(1033).first, L"First");
}

TEST_F(LanguageChoiceTest, BadFilesAreSkipped) {
    AddFile("aa-no-name.lng", L"[info]\nlanguageIds=1033\ndefaultLanguage=true\n[messages]\nNAME=bad\n");
    WriteBytes(installation.Native() + "/lng/ab-no-bom.lng",
               "[info]\nlanguageName=X\nlanguageIds=1033\n[messages]\nNAME=bad\n");
    std::wstring huge = LanguageText(L"Huge", L"1033", true, L"", L"NAME=huge\n;");
    huge.append(CLanguage::kMaxFileBytes / 2, L'x');
    AddFile("ac-huge.lng", huge);
    AddFile("ad-ids-out-of-range.lng", LanguageText(L"Range", L"66569", true, L"", L"NAME=range\n"));
    AddLanguage("zz-good.lng", L"Good", L"1033", true);
    WriteBytes(installation.Native() + "/lng/readme.txt",
               Utf16Bytes(LanguageText(L"Txt", L"1033", true, L"", L"NAME=txt\n")));

    CSettings settings;
    settings.InstallationFolder = installation.Path();
    genswf::CRefPtr<CLanguageManager> manager(new CLanguageManager(&settings));
    manager->LoadLanguages();
    ASSERT_EQ(manager->GetLanguages().size(), 1u);
    EXPECT_EQ(manager->GetMessageString(L"NAME"), L"Good");
}

TEST_F(LanguageChoiceTest, NothingToChoose) {
    struct Case {
        const char* what;
        std::wstring installationFolder;
        bool withLanguage;
    };
    const Case cases[] = {
        {"no installation folder", L"", true},
        {"missing folder", installation.Path() + L"/nowhere", true},
        {"no default and no match", installation.Path(), true},
    };
    AddLanguage("german.lng", L"Deutsch", L"1031", false);
    for (const Case& c : cases) {
        CSettings settings;
        settings.InstallationFolder = c.installationFolder;
        genswf::CRefPtr<CLanguageManager> manager(new CLanguageManager(&settings));
        manager->LoadLanguages();
        EXPECT_EQ(manager->GetCurrentLanguage(), nullptr) << c.what;
        EXPECT_FALSE(manager->HasMessage(L"NAME")) << c.what;
        std::wstring text = L"stale";
        EXPECT_FALSE(manager->GetMessage(L"NAME", text)) << c.what;
        EXPECT_EQ(text, L"") << c.what;
        EXPECT_EQ(settings.LanguageId, 0) << c.what;
        EXPECT_FALSE(registry::ValueExists(HKEY_CURRENT_USER, kOptions, L"LanguageId")) << c.what;
    }
}

TEST(LocaleIds, FromLocaleNames) {
    struct Case {
        const char* locale;
        int id;
    };
    const Case cases[] = {
        {"en_US.UTF-8", 1033},
        {"en_US", 1033},
        {"en", 1033},
        {"en_GB.ISO-8859-1", 2057},
        {"de_DE.UTF-8", 1031},
        {"de_DE@euro", 1031},
        {"de_AT", 3079},
        {"de_BE", 1031},
        {"fr_FR", 1036},
        {"fr_CA.utf8", 3084},
        {"es_ES", 3082},
        {"pt_BR", 1046},
        {"pt", 2070},
        {"zh_TW", 1028},
        {"ja_JP.eucJP", 1041},
        {"nb_NO", 1044},
        {"EN-us", 1033},
        {"C", 0},
        {"POSIX", 0},
        {"C.UTF-8", 0},
        {"", 0},
        {"xx_YY", 0},
        {"english", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(LanguageIdFromLocale(c.locale), c.id) << c.locale;

    CEnvOverride all("LC_ALL", nullptr);
    CEnvOverride messages("LC_MESSAGES", nullptr);
    {
        CEnvOverride language("LANG", "xx_YY.UTF-8");
        EXPECT_EQ(GetUserDefaultLangID(), 1033);
    }
    {
        CEnvOverride language("LANG", nullptr);
        EXPECT_EQ(GetUserDefaultLangID(), 1033);
    }
    {
        CEnvOverride language("LANG", "");
        CEnvOverride messagesSet("LC_MESSAGES", "it_IT.UTF-8");
        EXPECT_EQ(GetUserDefaultLangID(), 1040);
    }
}

}  // namespace
