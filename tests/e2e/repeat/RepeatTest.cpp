// A movie depends on the presentation alone: two conversions of the same deck, each with its
// own temporary folder, write the same bytes.
#include "E2eSupport.h"
#include "FileBytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const std::string kHost = BC_BINARY_DIR "/bin/brindlecast";

TEST(RepeatedExport, SameDeckGivesTheSameBytes) {
    std::string why;
    if (e2e::CorpusDir(why).empty()) GTEST_SKIP() << why;
    // Pictures, shared backgrounds and text: the parts that go through files on the way.
    const std::string deck = e2e::CorpusFile("45543.ppt");
    CScratchFolder work;
    std::string movies[2];
    for (int run = 0; run < 2; ++run) {
        e2e::CInstallation install;
        const std::string movie = work.Native() + "/run" + std::to_string(run) + ".swf";
        const e2e::ProcessResult r = e2e::Run({kHost, deck, "-o", movie, "--slides=all"});
        ASSERT_EQ(r.status, 0) << r.err;
        movies[run] = bctest::FileText(movie);
    }
    ASSERT_FALSE(movies[0].empty());
    EXPECT_TRUE(movies[0] == movies[1]) << "the two movies differ (" << movies[0].size() << " and " << movies[1].size()
                                        << " bytes)";
}

}  // namespace
