// The pptdump tool: options, exit status, one line on failure, recovered files, every corpus file.

#include "CfbBuilder.h"
#include "DeckBuilder.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun Dump(const std::string& arguments) {
    const fs::path tool = fs::path(BC_BINARY_DIR) / "bin" / "pptdump";
    static const CScratchFolder folder;
    const fs::path dir = folder.Fs();
    const std::string command = "'" + tool.string() + "' " + arguments + " >'" + (dir / "out").string() + "' 2>'" +
                                (dir / "err").string() + "'";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    auto slurp = [](const fs::path& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    run.out = slurp(dir / "out");
    run.err = slurp(dir / "err");
    return run;
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(PptDump, OptionsAndFailures) {
    if (!fs::exists(fs::path(BC_BINARY_DIR) / "bin" / "pptdump")) GTEST_SKIP() << "pptdump is not built";
    ToolRun help = Dump("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: pptdump FILE.ppt"), std::string::npos);
    ToolRun version = Dump("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("pptdump ", 0), 0u);

    const struct {
        const char* arguments;
        int status;
        const char* message;
    } failures[] = {
        {"/nonexistent/x.ppt", 1, "Failed to open file"},
        {"'" BC_SOURCE_DIR "/tests/parser/libpptparser/CMakeLists.txt'", 1, "not a PowerPoint 97-2003 presentation"},
        {"", 2, "no file given"},
        {"--frobnicate", 2, "unknown option"},
    };
    for (const auto& f : failures) {
        ToolRun run = Dump(f.arguments);
        EXPECT_EQ(run.status, f.status) << f.arguments;
        EXPECT_EQ(Lines(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(f.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(PptDump, EveryCorpusFilePrintsItsTreeOrOneLine) {
    if (!fs::exists(fs::path(BC_BINARY_DIR) / "bin" / "pptdump")) GTEST_SKIP() << "pptdump is not built";
    const fs::path dir(BC_CORPUS_DIR);
    if (!fs::is_directory(dir)) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    int dumped = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".ppt") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ToolRun run = Dump("'" + entry.path().string() + "'");
        if (run.status == 0) {
            ++dumped;
            EXPECT_EQ(run.out.rfind("<Presentation>\n", 0), 0u);
            EXPECT_NE(run.out.find("</Presentation>\n"), std::string::npos);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.out.empty());
            EXPECT_EQ(Lines(run.err), 1u) << run.err;
        }
    }
    EXPECT_GT(dumped, 0) << "no corpus file dumped";
}

TEST(PptDump, SaysWhenAFileWasRecovered) {
    if (!fs::exists(fs::path(BC_BINARY_DIR) / "bin" / "pptdump")) GTEST_SKIP() << "pptdump is not built";
    testdeck::Deck deck;
    deck.slides.push_back(testdeck::Slide());
    uint32_t edit = 0;
    const testrec::Bytes stream = deck.Stream(edit);
    for (const uint32_t pointsAt : {edit, 0x7FFFFFF0u}) {
        const testrec::Bytes user = testdeck::CurrentUser(pointsAt);
        ToolRun run = Dump("'" + testcfb::WriteTemp(testdeck::File(stream, &user), "deck.ppt") + "'");
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("<Slide index=\"0\">"), std::string::npos);
        EXPECT_EQ(run.err.find("recovered") != std::string::npos, pointsAt != edit) << run.err;
    }
}
