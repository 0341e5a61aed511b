// What the user sees: a few decks converted, played in a real player with automatic advance,
// each slide's picture taken and compared with the stand-in's drawing of the same slide and with
// the reference pictures. The floors sit below today's scores by a margin that timing and
// anti-aliasing do not reach, and above what a missing background or shape scores.
#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

const std::string kScript = BC_SOURCE_DIR "/scripts/corpus-scores.py";

struct Row {
    std::string outcome;
    double pptrender = 0, worst = 0, reference = -1;  // reference -1: none
};

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The script's table: | deck | slides | outcome | KiB | seconds | vs pptrender | worst | vs reference |
std::map<std::string, Row> ReadTable(const std::string& out) {
    std::map<std::string, Row> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream parts(line);
        for (std::string cell; std::getline(parts, cell, '|');) cells.push_back(Trim(cell));
        if (cells.size() < 9 || cells[1] == "deck" || cells[1].rfind("---", 0) == 0) continue;
        Row row;
        row.outcome = cells[3];
        row.pptrender = std::atof(cells[6].c_str());
        row.worst = std::atof(cells[7].c_str());
        if (cells[8] != "-") row.reference = std::atof(cells[8].c_str());
        rows[cells[1]] = row;
    }
    return rows;
}

TEST(PlayedMovie, SlidesLookAsTheyAreDrawn) {
    std::string why;
    if (e2e::CorpusDir(why).empty()) GTEST_SKIP() << why;
    if (::access(BC_SWFSHOT, X_OK) != 0) GTEST_SKIP() << "no player at " << BC_SWFSHOT;
    if (::access("/usr/bin/python3", X_OK) != 0) GTEST_SKIP() << "no /usr/bin/python3 for the scoring script";
    // Title and body text, bullets, and a deck with a master's shapes and a coloured background.
    const struct {
        const char* deck;
        double pptrender, worst, reference;
    } floors[] = {
        {"basic_test_ppt_file", 0.95, 0.95, 0.90},
        {"bullets", 0.95, 0.95, 0.90},
        {"SampleShow", 0.95, 0.95, 0.90},
    };
    CScratchFolder work;
    std::vector<std::string> args{"/usr/bin/python3", kScript,  "--build",     BC_BINARY_DIR, "--shared",
                                  BC_SHARED_DIR,      "--work", work.Native(), "--only"};
    for (const auto& f : floors) args.push_back(f.deck);
    const e2e::ProcessResult r = e2e::Run(args);
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const std::map<std::string, Row> rows = ReadTable(r.out);
    for (const auto& f : floors) {
        SCOPED_TRACE(f.deck);
        const auto row = rows.find(f.deck);
        ASSERT_NE(row, rows.end()) << r.out;
        EXPECT_EQ(row->second.outcome, "converted");
        EXPECT_GE(row->second.pptrender, f.pptrender) << "mean similarity to the stand-in's drawing";
        EXPECT_GE(row->second.worst, f.worst)
            << "least similar slide (scripts/corpus-scores.py --work DIR keeps the pictures)";
        EXPECT_GE(row->second.reference, f.reference) << "mean similarity to the reference";
    }
}

}  // namespace
