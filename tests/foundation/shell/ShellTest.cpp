#include "AddinTestSupport.h"
#include "shell/Shell.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

// A handler program that records its arguments and ends with the given status. One that stays
// open waits until the test lets it go (closes its end of a pipe), or at most a minute, so no
// test leaves it running.
class FakeOpener {
public:
    explicit FakeOpener(int status, bool staysOpen = false) {
        script = folder.Native() + "/opener";
        log = folder.Native() + "/log";
        std::ofstream out(script);
        out << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" << log << "'; done\n";
        if (staysOpen) {
            const std::string gate = folder.Native() + "/gate";
            EXPECT_EQ(::mkfifo(gate.c_str(), 0600), 0);
            // Held open for writing, so the handler's read of the pipe ends only when we close it.
            m_gate = ::open(gate.c_str(), O_RDWR | O_CLOEXEC);
            EXPECT_GE(m_gate, 0);
            out << "timeout 60 cat '" << gate << "' > /dev/null\n";
        }
        out << "exit " << status << "\n";
        out.close();
        ::chmod(script.c_str(), 0700);
    }
    ~FakeOpener() { Release(); }
    FakeOpener(const FakeOpener&) = delete;
    FakeOpener& operator=(const FakeOpener&) = delete;

    // Lets a handler that stays open end.
    void Release() {
        if (m_gate >= 0) ::close(m_gate);
        m_gate = -1;
    }
    std::string Log() const {
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    CScratchFolder folder;
    std::string script;
    std::string log;

private:
    int m_gate = -1;
};

TEST(Shell, OpensTargetsThroughTheHandler) {
    FakeOpener opener(0);
    CEnvOverride use("BRINDLECAST_OPENER", opener.script.c_str());
    CScratchFolder files;
    WriteBytes(files.Native() + "/movie.swf", "FWS");
    WriteBytes(files.Native() + "/-rf", "x");

    struct Case {
        std::wstring target;
        std::string passed;
    };
    const Case cases[] = {
        {L"https://brindlecast.example/?a=1&b=2", "https://brindlecast.example/?a=1&b=2"},
        {L"mailto:support@brindlecast.example?subject=%22Hi%22", "mailto:support@brindlecast.example?subject=%22Hi%22"},
        {files.Path() + L"/movie.swf", files.Native() + "/movie.swf"},
        {files.Path(), files.Native()},
    };
    std::string expectedLog;
    for (const Case& c : cases) {
        std::wstring error = L"unset";
        EXPECT_TRUE(shell::Open(c.target, &error)) << c.passed;
        EXPECT_EQ(error, L"");
        expectedLog += c.passed + "\n";
    }
    // Folder separators of either kind; a relative name from the given folder; a name that
    // looks like an option does not reach the handler as one.
    const std::wstring backslashed = genswf::ReplaceAll(files.Path() + L"/movie.swf", L"/", L"\\");
    EXPECT_GT(ShellExecuteW(nullptr, L"open", backslashed.c_str(), nullptr, nullptr, SW_SHOW), 32);
    EXPECT_GT(ShellExecuteW(nullptr, nullptr, L"movie.swf", nullptr, files.Path().c_str(), SW_SHOWMAXIMIZED), 32);
    ASSERT_EQ(::chdir(files.Native().c_str()), 0);
    EXPECT_GT(ShellExecuteW(nullptr, L"open", L"-rf", nullptr, nullptr, SW_SHOW), 32);
    ASSERT_EQ(::chdir("/"), 0);
    expectedLog += files.Native() + "/movie.swf\n" + files.Native() + "/movie.swf\n./-rf\n";
    EXPECT_EQ(opener.Log(), expectedLog);
}

TEST(Shell, FailuresAreReportedNotFatal) {
    CScratchFolder files;
    WriteBytes(files.Native() + "/movie.swf", "FWS");
    const std::wstring movie = files.Path() + L"/movie.swf";
    {
        FakeOpener opener(3);
        CEnvOverride use("BRINDLECAST_OPENER", opener.script.c_str());
        std::wstring error;
        EXPECT_FALSE(shell::Open(movie, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ShellExecuteW(nullptr, L"open", movie.c_str(), nullptr, nullptr, SW_SHOW), SE_ERR_NOASSOC);
    }
    {
        CEnvOverride use("BRINDLECAST_OPENER", (files.Native() + "/no-such-program").c_str());
        std::wstring error;
        EXPECT_FALSE(shell::Open(L"https://brindlecast.example/", &error));
        EXPECT_NE(error.find(L"not available"), std::wstring::npos);
    }
    {
        FakeOpener opener(0);
        CEnvOverride use("BRINDLECAST_OPENER", opener.script.c_str());
        std::wstring error;
        EXPECT_FALSE(shell::Open(files.Path() + L"/missing.swf", &error));
        EXPECT_EQ(ShellExecuteW(nullptr, L"open", (files.Path() + L"/missing.swf").c_str(), nullptr, nullptr, SW_SHOW),
                  SE_ERR_FNF);
        EXPECT_EQ(ShellExecuteW(nullptr, L"open", L"", nullptr, nullptr, SW_SHOW), SE_ERR_FNF);
        EXPECT_EQ(ShellExecuteW(nullptr, L"print", movie.c_str(), nullptr, nullptr, SW_SHOW), SE_ERR_NOASSOC);
        EXPECT_FALSE(shell::Open(std::wstring(L"a\0b", 3), &error));
        EXPECT_EQ(opener.Log(), "");
    }
}

TEST(Shell, AHandlerThatStaysOpenCountsAsStarted) {
    // The handler cannot end before Release, so Open must have returned while it was still
    // running, and taken that as started (its later failing status is never seen). Waiting for
    // it to end instead would see it give up after a minute with status 1 and report failure.
    FakeOpener opener(1, true);
    CEnvOverride use("BRINDLECAST_OPENER", opener.script.c_str());
    std::wstring error = L"unset";
    EXPECT_TRUE(shell::Open(L"https://brindlecast.example/", &error));
    EXPECT_EQ(error, L"");
    opener.Release();
}

TEST(Shell, DocumentsFolder) {
    CScratchFolder home;
    CEnvOverride homeEnv("HOME", home.Native().c_str());
    CEnvOverride config("XDG_CONFIG_HOME", (home.Native() + "/config").c_str());
    // Nothing configured: the usual folder in the home folder.
    EXPECT_EQ(shell::GetDocumentsFolder(), home.Path() + L"/Documents");
    EXPECT_EQ(shell::GetSpecialFolderPath(CSIDL_PERSONAL), home.Path() + L"/Documents");
    EXPECT_EQ(shell::GetSpecialFolderPath(0), L"");

    ASSERT_TRUE(genswf::CreateFolderTree(home / L"config"));
    WriteBytes(home.Native() + "/config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\n");
    if (genswf::FileExists(L"/usr/bin/xdg-user-dir")) {
        EXPECT_EQ(shell::GetDocumentsFolder(), home.Path() + L"/Mes documents");
    }
    // Without the tool.
    CEnvOverride path("PATH", home.Native().c_str());
    EXPECT_EQ(shell::GetDocumentsFolder(), home.Path() + L"/Documents");
}

}  // namespace
