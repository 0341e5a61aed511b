// A deck that converts with warnings, as the command-line host shows it: the movie is written
// and the run succeeds; a terminal hears how many warnings and each one, a pipe hears nothing,
// and the export log keeps them.
#include "DeckBuilder.h"
#include "E2eSupport.h"
#include "base/encodings/TextEncoding.h"
#include "libpptparser/RecordTypes.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>

namespace {

using namespace testdeck;
using testrec::Atom;
using testrec::Container;

const std::string kHost = BC_BINARY_DIR "/bin/brindlecast";

// One slide whose sound (a slide tag names it) is no sound, and a shape of a type the renderer
// can only draw as its frame.
std::string WriteWarningDeck(const std::string& folder) {
    const std::string soundPath = folder + "/ding.wav";
    WriteBytes(soundPath, "this is no sound at all");
    Slide slide({SpShape(201, 1026, 0xA00, {ClientAnchor(1440, 576, 2880, 1152)})});
    const std::u16string soundName(soundPath.begin(), soundPath.end());
    slide.records.push_back(Container(libpptparser::kRecordProgTags,
                                      {Container(libpptparser::kRecordProgStringTag,
                                                 {CString(0, u"GENSWF_SOUND_FULL_PATH"), CString(1, soundName)})}));
    Deck deck;
    deck.slides = {slide};
    const Bytes bytes = deck.SavedFile();
    const std::string path = folder + "/warned.ppt";
    WriteBytes(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

struct TerminalRun {
    int status = -1;
    std::string output;
};

// The host on a pseudo-terminal: what a user watching it sees.
TerminalRun RunOnTerminal(const std::vector<std::string>& args) {
    TerminalRun run;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) return run;
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    char buffer[4096];
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) {
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0) break;  // the child has gone and the terminal is closed
            run.output.append(buffer, static_cast<std::size_t>(got));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            break;
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ::close(master);
    return run;
}

std::string FindExportLog(const std::string& temp) {
    DIR* dir = ::opendir(temp.c_str());
    std::string found;
    while (dir) {
        dirent* entry = ::readdir(dir);
        if (!entry) break;
        const std::string name = entry->d_name;
        if (name.rfind("bclite", 0) == 0) found = temp + "/" + name + "/export.log";
    }
    if (dir) ::closedir(dir);
    return found;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

TEST(HostWarnings, AMovieWithWarningsIsWrittenAndSaysSoOnlyWhereAUserWatches) {
    e2e::CInstallation install;
    CScratchFolder work;
    const std::string deck = WriteWarningDeck(work.Native());

    // Output to pipes: nothing but errors, and there are none.
    const std::string piped = work.Native() + "/piped.swf";
    const e2e::ProcessResult quiet = e2e::Run({kHost, deck, "-o", piped});
    EXPECT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "");
    EXPECT_TRUE(Exists(piped));

    // On a terminal: the summary and each warning once; the export log (kept by --debug) too.
    const std::string shown = work.Native() + "/shown.swf";
    const TerminalRun run = RunOnTerminal({kHost, deck, "-o", shown, "--debug"});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Exists(shown));
    EXPECT_NE(run.output.find("The movie was written with 2 warnings:"), std::string::npos) << run.output;
    const char* const warnings[] = {"Slide 1: its sound cannot be played and is left out.",
                                    "Drawing: shape type 201 is drawn as its frame"};
    for (const char* warning : warnings) {
        const std::size_t first = run.output.find(warning);
        EXPECT_NE(first, std::string::npos) << warning << "\n" << run.output;
        EXPECT_EQ(run.output.find(warning, first + 1), std::string::npos) << warning << " twice\n" << run.output;
    }
    const std::string logPath = FindExportLog(install.Temp().Native());
    ASSERT_FALSE(logPath.empty()) << "no export kept in " << install.Temp().Native();
    const std::string logBytes = e2e::ReadText(logPath);
    const std::string log = base::encodings::Utf8FromWide(base::encodings::WideFromUtf16LeBytes(
        reinterpret_cast<const unsigned char*>(logBytes.data()), logBytes.size()));
    EXPECT_NE(log.find("Movie written with 2 warnings:"), std::string::npos) << log;
    for (const char* warning : warnings) EXPECT_NE(log.find(warning), std::string::npos) << warning << "\n" << log;
}

}  // namespace
