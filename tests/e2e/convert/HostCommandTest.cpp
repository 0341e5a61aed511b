// The command-line host as a user runs it: relative paths, its options, its exit statuses, the
// presentations it refuses, and an earlier movie and the saved choices kept when a run fails or
// is cancelled.
#include "E2eSupport.h"
#include "addin/settings/Settings.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

using namespace addin;

namespace {

const std::string kHost = BC_BINARY_DIR "/bin/brindlecast";
const std::string kSample = BC_SOURCE_DIR "/examples/sample.ppt";

e2e::ProcessResult Host(const std::vector<std::string>& args, const e2e::ProcessOptions& options = {}) {
    std::vector<std::string> all{kHost};
    all.insert(all.end(), args.begin(), args.end());
    return e2e::Run(all, options);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

CSettings SavedSettings() {
    registry::ResetForTesting();
    CSettings settings;
    settings.Load();
    return settings;
}

TEST(HostCommand, ConvertsTheSampleIntoRelativePaths) {
    e2e::CInstallation install;
    CScratchFolder work;
    e2e::ProcessOptions inWork;
    inWork.folder = work.Native();
    for (const std::string output : {"sample.swf", "./sub/deep/../deck.swf"}) {
        const e2e::ProcessResult r = Host({kSample, "-o", output}, inWork);
        EXPECT_EQ(r.status, 0) << output << ": " << r.err;
        // Not a terminal: nothing but errors, and there are none.
        EXPECT_EQ(r.out, "") << output;
        EXPECT_EQ(r.err, "") << output;
    }
    EXPECT_TRUE(Exists(work.Native() + "/sample.swf"));
    EXPECT_TRUE(Exists(work.Native() + "/sub/deck.swf"));
    EXPECT_EQ(e2e::CountEntries(install.Temp().Native(), "bclite"), 0);

    std::string why;
    const int frames = e2e::ParsedFrameCount(work.Native() + "/sample.swf", why);
    if (frames == -1) GTEST_SKIP() << why;
    EXPECT_GT(frames, 1) << why;
}

TEST(HostCommand, OptionsAndExitStatuses) {
    e2e::CInstallation install;
    CScratchFolder work;
    ASSERT_EQ(::mkdir((work.Native() + "/deck.ppt").c_str(), 0700), 0);
    e2e::ProcessOptions inWork;
    inWork.folder = work.Native();
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* said;  // in stdout for 0, stderr otherwise
    } cases[] = {
        {{"--help"}, 0, "Usage: brindlecast"},
        {{"-h"}, 0, "--no-auto-advance"},
        {{"--version"}, 0, "brindlecast "},
        {{}, 2, "no presentation given"},
        {{kSample}, 2, "no output file given"},
        {{kSample, "-o"}, 2, "-o needs a value"},
        {{kSample, "--output"}, 2, "--output needs a value"},
        {{kSample, "-o", "a.swf", "--colour=red"}, 2, "unknown option --colour"},
        {{kSample, "-o", "a.swf", "-x"}, 2, "unknown option -x"},
        {{kSample, "--output=a.swf", "--width=0"}, 2, "--width needs a number"},
        {{kSample, "-o", "a.swf", "--auto-advance", "soon"}, 2, "--auto-advance needs seconds"},
        {{kSample, "-o", "a.swf", "--help=1"}, 2, "--help takes no value"},
        {{kSample, "other.ppt", "-o", "a.swf"}, 2, "more than one presentation"},
        {{kSample, "-o", "a.swf", "--slides", "3-1"}, 2, "--slides needs"},
        {{kSample, "-o", "a.swf", "--slides", "1-99"}, 2, "the presentation has"},
        {{kSample, "-o", "."}, 2, "is a folder"},
        // After "--" a name that looks like an option is a file name.
        {{"-o", "a.swf", "--", "--deck.ppt"}, 1, "--deck.ppt"},
        {{"deck.ppt", "-o", "a.swf"}, 1, "deck.ppt is a folder, not a presentation file."},
    };
    for (const Case& c : cases) {
        const e2e::ProcessResult r = Host(c.args, inWork);
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        EXPECT_EQ(r.status, c.status) << line << r.err;
        EXPECT_NE((c.status == 0 ? r.out : r.err).find(c.said), std::string::npos) << line << r.out << r.err;
        if (c.status != 0) {
            EXPECT_EQ(r.out, "") << line;
        }
    }
    EXPECT_FALSE(Exists(work.Native() + "/a.swf"));
}

TEST(HostCommand, RefusedPresentationsGiveTheirMessageAndNoMovie) {
    std::string why;
    if (e2e::CorpusDir(why).empty()) GTEST_SKIP() << why;
    e2e::CInstallation install;
    CScratchFolder work;
    const struct {
        const char* deck;
        const char* said;
    } cases[] = {
        {"Password_Protected-hello.ppt", "password"},
        {"pp40only.ppt", "only PowerPoint 97-2003"},
        {"PPT95.ppt", "only PowerPoint 97-2003"},
    };
    for (const auto& c : cases) {
        const std::string movie = work.Native() + "/" + c.deck + ".swf";
        const e2e::ProcessResult r = Host({e2e::CorpusFile(c.deck), "-o", movie});
        EXPECT_EQ(r.status, 1) << c.deck << ": " << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.deck << ": " << r.err;
        EXPECT_FALSE(Exists(movie)) << c.deck;
    }
    EXPECT_EQ(e2e::CountEntries(install.Temp().Native(), "bclite"), 0);
}

TEST(HostCommand, AFailedRunKeepsTheEarlierMovieAndTheSavedChoices) {
    e2e::CInstallation install;
    CScratchFolder work;
    const std::string movie = work.Native() + "/deck.swf";
    ASSERT_EQ(Host({kSample, "-o", movie, "--auto-advance", "3"}).status, 0);
    EXPECT_TRUE(SavedSettings().AutomaticSlideTransition);
    WriteBytes(movie, "earlier");

    // No temporary folder can be made: the export fails after Publish.
    e2e::ProcessOptions noTemp;
    noTemp.env = {{"TMPDIR", "/proc/no-such-folder"}};
    const e2e::ProcessResult failed = Host({kSample, "-o", movie, "--yes", "--no-auto-advance"}, noTemp);
    EXPECT_EQ(failed.status, 1) << failed.err;
    EXPECT_NE(failed.err.find("Error: "), std::string::npos) << failed.err;
    EXPECT_EQ(e2e::ReadText(movie), "earlier");
    const CSettings kept = SavedSettings();
    EXPECT_TRUE(kept.AutomaticSlideTransition);
    EXPECT_EQ(kept.AutomaticSlideTransitionDelay, 3);

    // --no-auto-advance is the way back once a run succeeds.
    ASSERT_EQ(Host({kSample, "-o", movie, "--yes", "--no-auto-advance"}).status, 0);
    EXPECT_FALSE(SavedSettings().AutomaticSlideTransition);
    EXPECT_NE(e2e::ReadText(movie), "earlier");
}

TEST(HostCommand, CtrlCCancelsCleanly) {
    // A long deck, so the export is still running when Ctrl-C arrives.
    std::string why;
    if (e2e::CorpusDir(why).empty()) GTEST_SKIP() << why;
    e2e::CInstallation install;
    CScratchFolder work;
    const std::string movie = work.Native() + "/deck.swf";
    WriteBytes(movie, "earlier");
    bool sent = false;
    e2e::ProcessOptions interrupt;
    interrupt.whileRunning = [&](int pid) {
        // Once the temporary folder exists the export runs and Ctrl-C is its Cancel.
        if (e2e::CountEntries(install.Temp().Native(), "bclite") < 1) return false;
        ::kill(pid, SIGINT);
        sent = true;
        return true;
    };
    const e2e::ProcessResult r = Host({e2e::CorpusFile("41246-1.ppt"), "-o", movie, "--yes"}, interrupt);
    ASSERT_TRUE(sent);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("cancelled"), std::string::npos) << r.err;
    EXPECT_EQ(e2e::ReadText(movie), "earlier");
    EXPECT_EQ(e2e::CountEntries(install.Temp().Native(), "bclite"), 0);
    EXPECT_EQ(e2e::CountEntries(work.Native(), "."), 2) << "only . and .. besides the movie";
}

}  // namespace
