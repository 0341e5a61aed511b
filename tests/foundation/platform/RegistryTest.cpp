// The registry: values and keys through the Win32-style calls, persistence, corrupt hive files
// and concurrent writers.

#include "TempRegistry.h"
#include "registry/Registry.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::wstring kProduct = L"Software\\Ombrel Works\\Brindlecast 1 Roru";

std::string Utf16(const std::wstring& text) { return registry::Utf16BytesFromWide(text); }

LONG SetRaw(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const std::string& bytes) {
    HKEY key;
    LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExW(key, name, 0, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc;
}

bool GetRaw(HKEY root, const std::wstring& path, const wchar_t* name, DWORD& type, std::string& bytes) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        bytes.assign(size, '\0');
        rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<unsigned char*>(&bytes[0]), &size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::vector<std::string> CorruptFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.find(".corrupt") != std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(Registry, StringAndDwordValuesFollowTheQueryRules) {
    CTempRegistry registry;
    const std::wstring publish = kProduct + L"\\Publish";

    // Missing key and missing value give the default unchanged.
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, publish, L"Output Folder", L"dflt"), L"dflt");
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, publish, L"Level", 5u), 5u);
    ASSERT_TRUE(registry::WriteString(HKEY_CURRENT_USER, publish, L"Other", L"x"));
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, publish, L"Output Folder", L"dflt"), L"dflt");

    // An empty REG_SZ reads as "", not as the default; it is stored with its terminator.
    ASSERT_TRUE(registry::WriteString(HKEY_CURRENT_USER, publish, L"Empty", L""));
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, publish, L"Empty", L"dflt"), L"");
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, publish, L"Empty", type, bytes));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, std::string(2, '\0'));

    // A DWORD read of a long REG_SZ into 4 bytes: ERROR_MORE_DATA with the size needed.
    ASSERT_TRUE(registry::WriteString(HKEY_CURRENT_USER, publish, L"Export Slide Range", L"EXPORT_ALL_SLIDES"));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, publish.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD value = 77;
    DWORD cb = sizeof value;
    EXPECT_EQ(
        RegQueryValueExW(key, L"Export Slide Range", nullptr, nullptr, reinterpret_cast<unsigned char*>(&value), &cb),
        ERROR_MORE_DATA);
    EXPECT_EQ(cb, (17u + 1u) * 2u);
    EXPECT_EQ(value, 77u);
    // The size query alone succeeds; data without a size is refused.
    cb = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Export Slide Range", nullptr, &type, nullptr, &cb), ERROR_SUCCESS);
    EXPECT_EQ(cb, 36u);
    EXPECT_EQ(
        RegQueryValueExW(key, L"Export Slide Range", nullptr, &type, reinterpret_cast<unsigned char*>(&value), nullptr),
        ERROR_INVALID_PARAMETER);
    // A read-only handle cannot write.
    EXPECT_EQ(RegSetValueExW(key, L"x", 0, REG_DWORD, reinterpret_cast<unsigned char*>(&value), 4),
              ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, publish, L"Export Slide Range", 9u), 9u);

    // DWORDs are little-endian 4-byte values; a DWORD read of them as a string is the default's job
    // of the caller, not ours: ReadString gives the default for non-string types.
    ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, kProduct + L"\\Options", L"LanguageId", 0x01020304u));
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, kProduct + L"\\Options", L"LanguageId", 0), 0x01020304u);
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, kProduct + L"\\Options", L"LanguageId", type, bytes));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(bytes, std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, kProduct + L"\\Options", L"LanguageId", L"d"), L"d");
}

TEST(Registry, NamesAreCaseInsensitiveAndKeepTheirFirstCase) {
    CTempRegistry registry;
    ASSERT_TRUE(registry::WriteString(HKEY_LOCAL_MACHINE, L"Software\\MixedCase", L"Installation Folder", L"/opt/a"));
    ASSERT_TRUE(registry::WriteString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\mixedcase", L"INSTALLATION FOLDER", L"/opt/b"));
    EXPECT_EQ(registry::ReadString(HKEY_LOCAL_MACHINE, L"software\\MIXEDCASE", L"installation folder"), L"/opt/b");

    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_READ, &key), ERROR_SUCCESS);
    wchar_t name[64];
    DWORD cch = 64;
    ASSERT_EQ(RegEnumKeyExW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name), L"MixedCase");
    cch = 64;
    EXPECT_EQ(RegEnumKeyExW(key, 1, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"software\\mixedcase", 0, KEY_READ, &key), ERROR_SUCCESS);
    cch = 64;
    ASSERT_EQ(RegEnumValueW(key, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(name), L"Installation Folder");
    RegCloseKey(key);

    // Only ASCII letters fold.
    ASSERT_TRUE(registry::WriteString(HKEY_LOCAL_MACHINE, L"K", L"\u00C9t\u00E9", L"upper"));
    EXPECT_EQ(registry::ReadString(HKEY_LOCAL_MACHINE, L"K", L"\u00E9t\u00E9", L"none"), L"none");

    // The unnamed value: nullptr and L"" are the same value.
    ASSERT_TRUE(registry::WriteString(HKEY_CLASSES_ROOT, L"Lib.Class", L"", L"Class"));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Lib.Class", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 12u);
    RegCloseKey(key);
}

TEST(Registry, KeysAndHandles) {
    CTempRegistry registry;
    HKEY key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"A\\B\\C", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"a\\b\\c\\", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

    // Sub keys open relative to a handle; names that no key can have are refused.
    HKEY child;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A\\Missing", 0, KEY_READ, &child), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(child, nullptr);
    for (const wchar_t* bad : {L"\\Lead", L"A\\\\B", L"Tab\tName"})
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, bad, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
                  ERROR_INVALID_PARAMETER)
            << testing::PrintToString(std::wstring(bad));

    // A key with sub keys survives RegDeleteKeyW; RegDeleteTreeW removes it all.
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"A\\B"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"A\\B"), ERROR_SUCCESS);
    EXPECT_FALSE(registry::KeyExists(HKEY_CURRENT_USER, L"A\\B"));
    EXPECT_TRUE(registry::KeyExists(HKEY_CURRENT_USER, L"A"));
    EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"A\\B"), ERROR_FILE_NOT_FOUND);

    // The handle to the deleted key does not bring it back.
    DWORD v = 1;
    EXPECT_EQ(RegSetValueExW(key, L"v", 0, REG_DWORD, reinterpret_cast<unsigned char*>(&v), 4), ERROR_KEY_DELETED);
    EXPECT_FALSE(registry::KeyExists(HKEY_CURRENT_USER, L"A\\B\\C"));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    // A closed handle is refused, not used.
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(key, L"v", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);

    // Values: delete one, and empty a key in place with RegDeleteTreeW(key, null).
    ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, L"A", L"one", 1));
    ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, L"A\\Sub", L"two", 2));
    EXPECT_TRUE(registry::DeleteValue(HKEY_CURRENT_USER, L"A", L"ONE"));
    EXPECT_FALSE(registry::DeleteValue(HKEY_CURRENT_USER, L"A", L"one"));
    ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, L"A", L"one", 1));
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeW(key, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(registry::KeyExists(HKEY_CURRENT_USER, L"A"));
    EXPECT_FALSE(registry::KeyExists(HKEY_CURRENT_USER, L"A\\Sub"));
    EXPECT_FALSE(registry::ValueExists(HKEY_CURRENT_USER, L"A", L"one"));
    // A hive root cannot be deleted.
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L""), ERROR_ACCESS_DENIED);
}

TEST(Registry, ValuesSurviveARestartByteForByte) {
    CTempRegistry registry;
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {L"plain", REG_SZ, Utf16(L"C:\\Users\\me\\Presentations")},
        {L"quotes \"and\" \\ back", REG_SZ, Utf16(L"say \"hi\"\\n\nnew line\ttab\r")},
        {L"unicode \u00E9\U0001F600", REG_SZ, Utf16(L"\u00C5ngstr\u00F6m \u4E2D\u6587 \U0001F600")},
        {L"", REG_SZ, Utf16(L"the unnamed value")},
        {L"empty", REG_SZ, Utf16(L"")},
        {L"no terminator", REG_SZ, std::string("a\0b\0", 4)},
        {L"embedded nul", REG_SZ, std::string("a\0\0\0b\0\0\0", 8)},
        {L"odd length", REG_SZ, std::string("a\0b", 3)},
        {L"lone surrogate", REG_SZ, std::string("\x00\xD8\0\0", 4)},
        {L"zero bytes", REG_SZ, std::string()},
        {L"dword", REG_DWORD, std::string("\xFF\x00\x10\x80", 4)},
        {L"short dword", REG_DWORD, std::string("\x01\x02", 2)},
        {L"binary", REG_BINARY, std::string("\x00\x01\xFE\xFF\n[", 6)},
        {L"control \x01 name", 0x1234, std::string("x")},
    };
    for (const Case& c : cases)
        ASSERT_EQ(SetRaw(HKEY_CURRENT_USER, L"Persist\\Key ] [with] brackets", c.name, c.type, c.bytes), ERROR_SUCCESS);
    ASSERT_TRUE(registry::WriteString(HKEY_CURRENT_USER, L"Persist\\Empty Key\\Leaf", L"x", L"y"));
    ASSERT_EQ(RegDeleteValueW(HKEY_CURRENT_USER, nullptr), ERROR_FILE_NOT_FOUND);
    HKEY empty;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Persist\\Childless", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &empty,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(empty);

    registry::ResetForTesting();  // as a new process would start
    for (const Case& c : cases) {
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, L"persist\\key ] [WITH] brackets", c.name, type, bytes))
            << "value " << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(type, c.type) << testing::PrintToString(std::wstring(c.name));
        EXPECT_EQ(bytes, c.bytes) << testing::PrintToString(std::wstring(c.name));
    }
    EXPECT_TRUE(registry::KeyExists(HKEY_CURRENT_USER, L"Persist\\Childless"));
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Persist\\Empty Key\\Leaf", L"x"), L"y");
    // ReadString stops at the first NUL and tolerates a missing terminator.
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Persist\\Key ] [with] brackets", L"embedded nul"), L"a");
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Persist\\Key ] [with] brackets", L"no terminator"), L"ab");

    // The file is readable text.
    const std::string text = CTempRegistry::ReadFile(registry::HiveFilePath(HKEY_CURRENT_USER));
    EXPECT_NE(text.find("[Persist\\Key ] [with] brackets]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"plain\"=sz:\"C:\\\\Users\\\\me\\\\Presentations\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"dword\"=dword:8010"
                        "00ff\n"),
              std::string::npos)
        << text;
    // No temporary files are left behind.
    for (const auto& entry : std::filesystem::directory_iterator(registry.Folder()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(Registry, AnotherProcessesWriteIsSeen) {
    CTempRegistry registry;
    ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, L"Shared", L"n", 1));
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, L"Shared", L"n"), 1u);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(registry::WriteDword(HKEY_CURRENT_USER, L"Shared", L"n", 2) &&
                      registry::WriteString(HKEY_CURRENT_USER, L"Shared\\New", L"s", L"child")
                  ? 0
                  : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, L"Shared", L"n"), 2u);
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Shared\\New", L"s"), L"child");
    // Our next write keeps the child's.
    ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, L"Shared", L"m", 3));
    registry::ResetForTesting();
    EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Shared\\New", L"s"), L"child");
    EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, L"Shared", L"m"), 3u);
}

TEST(Registry, ConcurrentWritersKeepEveryValue) {
    CTempRegistry registry;
    constexpr int kWriters = 3;
    constexpr int kValues = 60;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool ok = true;
            for (int i = 0; i < kValues; ++i) {
                const std::wstring name = L"w" + std::to_wstring(w) + L"-" + std::to_wstring(i);
                // Each writer also rewrites one shared value, and reads between writes.
                ok = registry::WriteString(HKEY_CURRENT_USER, L"Race", name, name + L" value") && ok;
                ok = registry::WriteDword(HKEY_CURRENT_USER, L"Race\\Shared", L"last", static_cast<DWORD>(w)) && ok;
                ok = registry::ReadString(HKEY_CURRENT_USER, L"Race", name) == name + L" value" && ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    registry::ResetForTesting();
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValues; ++i) {
            const std::wstring name = L"w" + std::to_wstring(w) + L"-" + std::to_wstring(i);
            EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Race", name, L"missing"), name + L" value");
        }
    EXPECT_LT(registry::ReadDword(HKEY_CURRENT_USER, L"Race\\Shared", L"last", 99), static_cast<DWORD>(kWriters));
    EXPECT_TRUE(CorruptFiles(registry.Folder()).empty());
}

TEST(Registry, UnparsableHiveIsMovedAsideAndReadsGiveDefaults) {
    // Each text must be refused as a whole: a partial load would look like lost settings.
    const std::vector<std::string> corrupt = {
        "[Key]\n\"unterminated=sz:\"x\"\n",
        "\"before any key\"=dword:00000001\n",
        "[Key]\n\"n\"=dword:123\n",
        "[Key]\n\"n\"=sz:\"bad \\q escape\"\n",
        "[Key]\n\"n\"=sz:\"x\" trailing\n",
        "[Key]\n\"n\"=hex(3):0g\n",
        "[Key]\n\"n\"=qword:0\n",
        "[A\\\\B]\n",
        "[Key\n",
        "[Key]\n\"n\"=sz:\"\xC3\x28\"\n",  // invalid UTF-8
        "garbage\n",
    };
    for (std::size_t i = 0; i < corrupt.size(); ++i) {
        CTempRegistry registry;
        const std::string hive = registry::HiveFilePath(HKEY_CURRENT_USER);
        CTempRegistry::WriteFile(hive, corrupt[i] + "[Key]\n\"good\"=sz:\"kept?\"\n");
        testing::internal::CaptureStderr();
        EXPECT_EQ(registry::ReadString(HKEY_CURRENT_USER, L"Key", L"good", L"default"), L"default") << "case " << i;
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_NE(warning.find(hive + ".corrupt"), std::string::npos) << "case " << i << ": " << warning;
        EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
        EXPECT_EQ(CorruptFiles(registry.Folder()), std::vector<std::string>{"HKEY_CURRENT_USER.reg.corrupt"})
            << "case " << i;
    }

    // Files we never write but that are fine: comments, CRLF, blank lines, empty hex data.
    CTempRegistry registry;
    CTempRegistry::WriteFile(registry::HiveFilePath(HKEY_LOCAL_MACHINE),
                             "; hand edited\r\n\r\n[Software]\r\n@=sz:\"d\"\r\n\"Raw\"=hex(0):\r\n  \n[Software\\x]\n");
    EXPECT_EQ(registry::ReadString(HKEY_LOCAL_MACHINE, L"Software", L""), L"d");
    EXPECT_TRUE(registry::ValueExists(HKEY_LOCAL_MACHINE, L"Software", L"Raw"));
    EXPECT_TRUE(registry::KeyExists(HKEY_LOCAL_MACHINE, L"Software\\X"));
}

TEST(Registry, EarlierCorruptFilesAreNotOverwrittenAndWritesStartAfresh) {
    CTempRegistry registry;
    const std::string hive = registry::HiveFilePath(HKEY_CURRENT_USER);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 3; ++round) {
        CTempRegistry::WriteFile(hive, "broken " + std::to_string(round) + "\n");
        registry::ResetForTesting();
        // A write after the file was found corrupt goes to a fresh file.
        ASSERT_TRUE(registry::WriteDword(HKEY_CURRENT_USER, L"After", L"round", static_cast<DWORD>(round)));
        EXPECT_EQ(registry::ReadDword(HKEY_CURRENT_USER, L"After", L"round", 99), static_cast<DWORD>(round));
    }
    testing::internal::GetCapturedStderr();
    const std::vector<std::string> expected = {"HKEY_CURRENT_USER.reg.corrupt", "HKEY_CURRENT_USER.reg.corrupt.1",
                                               "HKEY_CURRENT_USER.reg.corrupt.2"};
    ASSERT_EQ(CorruptFiles(registry.Folder()), expected);
    EXPECT_EQ(CTempRegistry::ReadFile(registry.Folder() + "/HKEY_CURRENT_USER.reg.corrupt"), "broken 0\n");
    EXPECT_EQ(CTempRegistry::ReadFile(registry.Folder() + "/HKEY_CURRENT_USER.reg.corrupt.2"), "broken 2\n");
    // Other hives are untouched by one hive's corruption.
    EXPECT_EQ(registry::ReadString(HKEY_LOCAL_MACHINE, L"After", L"round", L"none"), L"none");
}

TEST(Registry, RegistryFolderFollowsTheEnvironment) {
    CTempRegistry registry;
    EXPECT_EQ(registry::RegistryFolder(), registry.Folder());
    EXPECT_EQ(registry::HiveFilePath(HKEY_CLASSES_ROOT), registry.Folder() + "/HKEY_CLASSES_ROOT.reg");
    EXPECT_EQ(registry::HiveFilePath(nullptr), "");

    unsetenv("BRINDLECAST_REGISTRY");
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string oldXdg = xdg ? xdg : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(registry::RegistryFolder(), "/cfg/brindlecast/registry");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(registry::RegistryFolder(), std::string(std::getenv("HOME")) + "/.config/brindlecast/registry");
    if (xdg) setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
    setenv("BRINDLECAST_REGISTRY", registry.Folder().c_str(), 1);
}
