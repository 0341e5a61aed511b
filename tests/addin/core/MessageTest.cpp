#include "AddinTestSupport.h"
#include "addin/language/LanguageManager.h"
#include "addin/settings/Settings.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <fstream>
#include <set>
#include <sstream>

using namespace addin;

namespace {

const std::wstring kSourceDir = genswf::WideFromUtf8(BC_SOURCE_DIR);
const std::wstring kBinaryDir = genswf::WideFromUtf8(BC_BINARY_DIR);

TEST(MessageFormat, OnlyTwoIntegersAreExpanded) {
    struct Case {
        const wchar_t* format;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Slide %d of %d", L"Slide 3 of 10"},
        {L"%i/%u", L"3/10"},
        {L"%d%% done", L"3% done"},
        {L"100%", L"100%"},
        {L"%", L"%"},
        {L"%d %d %d", L"3 10 %d"},
        {L"%s and %d", L"%s and 3"},
        {L"%n%p%x%c%f%ls", L"%n%p%x%c%f%ls"},
        {L"%*d|%.5d", L"%*d|%.5d"},
        {L"[%4d][%-4d][%04d][%+d]", L"[   3][10  ][%04d][%+d]"},
        {L"%ld %hd", L"3 10"},
        {L"%100d", L"%100d"},
        {L"%1$d", L"%1$d"},
        {L"%%d %d", L"%d 3"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatIntegerMessage(c.format, 3, 10), c.expected) << genswf::Utf8FromWide(c.format);
    EXPECT_EQ(FormatIntegerMessage(L"%d %u", -1, -1), L"-1 4294967295");
    EXPECT_EQ(FormatIntegerMessage(L"%99d", 1, 2).size(), 99u);
    // A long hostile text stays a plain copy.
    const std::wstring hostile(100000, L'%');
    EXPECT_EQ(FormatIntegerMessage(hostile + L"s", 1, 2).size(), hostile.size() / 2 + 1);
}

// The English file as the build installs it.
class EnglishFile : public ::testing::Test {
protected:
    void SetUp() override {
        english = CLanguage(kSourceDir + L"/addin/res/english.lng");
        ASSERT_TRUE(english.IsValid());
    }
    CLanguage english;
};

TEST_F(EnglishFile, IsTheUsEnglishDefault) {
    EXPECT_EQ(english.GetLanguageName(), L"English (US)");
    EXPECT_TRUE(english.IsDefaultLanguage());
    EXPECT_TRUE(english.SupportsLanguageId(1033));
    EXPECT_EQ(english.GetDefaultLanguageId(), 1033);
    for (const auto& [name, text] : english.GetMessages()) {
        EXPECT_FALSE(text.empty()) << genswf::Utf8FromWide(name);
        EXPECT_EQ(genswf::Trim(text), text) << genswf::Utf8FromWide(name);
    }
    // The progress lines hold exactly the two numbers.
    for (const wchar_t* name : {L"IDS_SLIDE", L"IDS_SHAPE"}) {
        std::wstring text;
        ASSERT_TRUE(english.GetMessage(name, text));
        const std::wstring formatted = FormatIntegerMessage(text, 123456, 654321);
        EXPECT_NE(formatted.find(L"123456"), std::wstring::npos);
        EXPECT_NE(formatted.find(L"654321"), std::wstring::npos);
        EXPECT_EQ(formatted.find(L'%'), std::wstring::npos);
    }
    std::wstring title;
    ASSERT_TRUE(english.GetMessage(L"IDS_EXPORTING_PRESENTATION", title));
    EXPECT_NE(title.find(L"{presentation_title}"), std::wstring::npos);
    // Slogans are drawn as at most three lines.
    for (int i = 0; i < 12; ++i) {
        std::wstring slogan;
        ASSERT_TRUE(english.GetMessage(L"IDS_SLOGAN" + std::to_wstring(i), slogan)) << i;
        std::vector<std::wstring> lines;
        EXPECT_LE(genswf::SplitString(slogan, L"\n", lines), 3u) << i;
    }
}

// The names the Parts list without a lookup in our code yet (dialogs still to come).
const wchar_t* const kNamedMessages[] = {
    L"IDS_EXPORTING_PRESENTATION",
    L"IDS_TASK_COLLECTING_DATA",
    L"IDS_TASK_EXPORT_FILES",
    L"IDS_TASK_EXPORT_XML",
    L"IDS_SLIDE",
    L"IDS_SHAPE",
    L"ERR_POWERPOINT_EXCEPTION",
    L"ERR_BASE_EXCEPTION",
    L"ERR_INTERNAL_ERROR",
    L"ERR_TARN_QUILL_INTERNAL_ERROR",
    L"ERR_CANNOT_CREATE_OUTPUT_FOLDER",
    L"ERR_CANNOT_CREATE_TEMPORARY_FOLDER",
    L"ERR_WRITE_OUTPUT_FILE_ERROR",
    L"IDC_MORE",
    L"IDC_LESS",
    L"IDS_COMPANY_URL_TOOLTIP",
    L"IDS_PRODUCT_URL_TOOLTIP",
    L"IDS_TARNQUILL_URL_TOOLTIP",
    L"IDS_SUPPORT_TOOLTIP",
};

// Adds every string literal of text that is a whole message name: "IDS_...", "IDC_...", "ERR_...".
void AddLiteralNames(const std::string& text, const std::string& path, std::map<std::string, std::string>& names) {
    for (std::size_t quote = text.find('"'); quote != std::string::npos; quote = text.find('"', quote + 1)) {
        const std::string prefix = text.substr(quote + 1, 4);
        if (prefix != "IDS_" && prefix != "IDC_" && prefix != "ERR_") continue;
        std::size_t end = quote + 5;
        while (end < text.size() &&
               ((text[end] >= 'A' && text[end] <= 'Z') || (text[end] >= '0' && text[end] <= '9') || text[end] == '_'))
            ++end;
        if (end > quote + 5 && end < text.size() && text[end] == '"')
            names.emplace(text.substr(quote + 1, end - quote - 1), path);
    }
}

void CollectNames(const std::string& folder, std::map<std::string, std::string>& names, int depth = 0) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir || depth > 12) {
        if (dir) ::closedir(dir);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name.rfind("build", 0) == 0) continue;
        const std::string path = folder + "/" + name;
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) {
            CollectNames(path, names, depth + 1);
            continue;
        }
        const auto dot = name.rfind('.');
        const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
        if (!S_ISREG(info.st_mode) || (ext != ".cpp" && ext != ".h" && ext != ".hpp" && ext != ".cc")) continue;
        std::ifstream in(path);
        std::stringstream content;
        content << in.rdbuf();
        AddLiteralNames(content.str(), path, names);
    }
    ::closedir(dir);
}

TEST_F(EnglishFile, HasEveryMessageTheCodeLooksUp) {
    // Every string literal that is a whole message name, in the add-in, the movie generation
    // and the tools.
    std::map<std::string, std::string> names;
    for (const char* folder : {"addin", "genswf", "tools"})
        CollectNames(std::string(BC_SOURCE_DIR) + "/" + folder, names);
    for (const wchar_t* name : kNamedMessages) names.emplace(genswf::Utf8FromWide(name), "the named messages");
    for (int i = 0; i < 12; ++i) names.emplace("IDS_SLOGAN" + std::to_string(i), "the slogans");
    EXPECT_GE(names.size(), 31u);
    for (const auto& [name, where] : names)
        EXPECT_TRUE(english.HasMessage(genswf::WideFromUtf8(name)))
            << name << " (used in " << where << ") is not in english.lng";
}

// Resources as the build installs them beside the language files.
class InstalledResources : public ::testing::Test {
protected:
    void SetUp() override {
        if (!genswf::FileExists(kBinaryDir + L"/lng/english.lng"))
            GTEST_SKIP() << "the build has not installed the language files";
        settings.InstallationFolder = kBinaryDir;
        manager = new CLanguageManager(&settings);
        manager->LoadLanguages();
    }
    CTestRegistry registry;
    CEnvOverride lang{"LANG", "de_DE.UTF-8"};
    CSettings settings;
    genswf::CRefPtr<CLanguageManager> manager;
};

TEST_F(InstalledResources, EnglishIsChosenAndTemplatesAreComplete) {
    EXPECT_EQ(manager->GetLanguageId(), 1033);
    EXPECT_EQ(manager->GetMessageString(L"IDS_SLIDE"), L"Slide %d of %d");
    EXPECT_EQ(manager->FormatMessageString(L"IDS_SHAPE", 2, 7), L"Shape 2 of 7");

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(manager->LoadResource(RT_RCDATA, 211, bytes));
    const std::wstring report = genswf::MultiByteToWide(std::string(bytes.begin(), bytes.end()), genswf::CP_ACP);
    for (const wchar_t* placeholder : {L"{ERR_MESSAGE}", L"{ERR_DESCRIPTION}", L"{BRINDLECAST_VERSION}"})
        EXPECT_NE(report.find(placeholder), std::wstring::npos) << genswf::Utf8FromWide(placeholder);
    EXPECT_EQ(report.rfind(L"An exception occurred while converting presentation:\r\n{ERR_MESSAGE}\r\n", 0), 0u);
    EXPECT_EQ(manager->SizeofResource(RT_RCDATA, 211), static_cast<long long>(bytes.size()));
    ASSERT_TRUE(manager->LoadResource(RT_RCDATA, 207, bytes));
    EXPECT_FALSE(bytes.empty());
    EXPECT_FALSE(manager->LoadResource(RT_RCDATA, 999, bytes));
    EXPECT_EQ(manager->SizeofResource(RT_RCDATA, 999), -1);

    const std::wstring mail = manager->LoadString(10144);
    for (const wchar_t* placeholder : {L"{EMAIL}", L"{SUBJ}", L"{BODY}"})
        EXPECT_NE(mail.find(placeholder), std::wstring::npos) << genswf::Utf8FromWide(placeholder);
    EXPECT_EQ(mail.rfind(L"mailto:{EMAIL}?subject=\"{SUBJ}\"&body=\"{BODY}\"", 0), 0u);
    // Every address is ours, under the reserved domain.
    for (unsigned id : {10131u, 10132u, 10135u, 10137u}) {
        const std::wstring url = manager->LoadString(id);
        EXPECT_EQ(url.rfind(L"https://", 0), 0u) << id;
        EXPECT_NE(url.find(L".example/"), std::wstring::npos) << id;
    }
    const std::wstring support = manager->LoadString(10142);
    const std::wstring domain = L"@brindlecast.example";
    ASSERT_GT(support.size(), domain.size());
    EXPECT_EQ(support.substr(support.size() - domain.size()), domain);
    EXPECT_EQ(manager->LoadString(10143), L"General question about Brindlecast");
    EXPECT_EQ(manager->LoadString(12345), L"");
}

TEST(LanguageResources, CurrentLanguageFirstThenUsEnglish) {
    CTestRegistry registry;
    CEnvOverride lang("LANG", "de_DE.UTF-8");
    CScratchFolder installation;
    ASSERT_TRUE(genswf::CreateFolderTree(installation / L"lng"));
    ASSERT_TRUE(genswf::CreateFolderTree(installation / L"res/1031/RCDATA"));
    ASSERT_TRUE(genswf::CreateFolderTree(installation / L"res/1033/RCDATA"));
    ASSERT_TRUE(genswf::CreateFolderTree(installation / L"res/1033/BITMAP"));
    WriteBytes(installation.Native() + "/lng/german.lng",
               Utf16Bytes(LanguageText(L"Deutsch", L"1031", false, L"1031", L"A=a\n")));
    WriteBytes(installation.Native() + "/res/1031/RCDATA/207.txt", "Hallo");
    WriteBytes(installation.Native() + "/res/1033/RCDATA/207.txt", "Hello");
    WriteBytes(installation.Native() + "/res/1033/RCDATA/2070.txt", "not 207");
    WriteBytes(installation.Native() + "/res/1033/RCDATA/211.txt", "Report");
    WriteBytes(installation.Native() + "/res/1033/BITMAP/205.png", "png");
    WriteBytes(installation.Native() + "/res/1031/strings.txt",
               "# German\n10143 = Allgemeine Frage\n99999 = too big\nx = not a number\n");
    WriteBytes(installation.Native() + "/res/1033/strings.txt",
               "10142 = support@brindlecast.example\r\n10143 = General question\r\n10143 = second\r\n");

    CSettings settings;
    settings.InstallationFolder = installation.Path();
    genswf::CRefPtr<CLanguageManager> manager(new CLanguageManager(&settings));
    manager->LoadLanguages();
    ASSERT_EQ(manager->GetLanguageId(), 1031);

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(manager->LoadResource(RT_RCDATA, 207, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Hallo");
    ASSERT_TRUE(manager->LoadResource(RT_RCDATA, 211, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "Report");
    EXPECT_EQ(manager->FindResource(RT_BITMAP, 205), installation.Path() + L"/res/1033/BITMAP/205.png");
    EXPECT_EQ(manager->FindResource(RT_BITMAP, 20), L"");
    EXPECT_EQ(manager->FindResource(L"../1033/RCDATA", 207), L"");
    EXPECT_EQ(manager->LoadString(10143), L"Allgemeine Frage");
    EXPECT_EQ(manager->LoadString(10142), L"support@brindlecast.example");
    EXPECT_EQ(manager->LoadString(99999), L"");
}

TEST(GlobalLanguageManager, NeverNullAndReplaced) {
    CLanguageManager* before = GetLanguageManager();
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->GetMessageString(L"IDS_SLIDE"), L"");
    EXPECT_FALSE(before->HasMessage(L"IDS_SLIDE"));

    genswf::CRefPtr<CLanguageManager> first(new CLanguageManager(nullptr));
    SetLanguageManager(first);
    EXPECT_EQ(GetLanguageManager(), first.Get());
    EXPECT_EQ(first->GetRefCount(), 2);

    genswf::CRefPtr<CLanguageManager> second(new CLanguageManager(nullptr));
    SetLanguageManager(second);
    EXPECT_EQ(GetLanguageManager(), second.Get());
    EXPECT_EQ(first->GetRefCount(), 1);  // the previous manager was released
    SetLanguageManager(second);          // replacing a manager by itself keeps it alive
    EXPECT_EQ(second->GetRefCount(), 2);

    SetLanguageManager(genswf::CRefPtr<CLanguageManager>());
    EXPECT_NE(GetLanguageManager(), nullptr);
    EXPECT_EQ(second->GetRefCount(), 1);
}

}  // namespace
