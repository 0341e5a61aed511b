#pragma once
// Shared pieces of the whole-export tests: the corpus and checker locations, a child process
// with its output, and what the independent parser says of a movie.

#include "AddinTestSupport.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// The corpus folder, or empty (with the reason in `why`) when it is absent.
std::string CorpusDir(std::string& why);
std::string CorpusFile(const std::string& name);

struct ProcessResult {
    int status = -1;  // exit status; 128 + signal when killed
    std::string out;
    std::string err;
};

struct ProcessOptions {
    std::string folder;                                    // working folder; empty: this one
    std::vector<std::pair<std::string, std::string>> env;  // set in the child
    // Called with the child's pid while it runs, every millisecond until it returns true.
    std::function<bool(int pid)> whileRunning;
};

ProcessResult Run(const std::vector<std::string>& args, const ProcessOptions& options = ProcessOptions());

// The movie's frame count as the independent parser reads it: -1 with `why` when the checker is
// absent, -2 with the parser's complaint when it refuses the file.
int ParsedFrameCount(const std::string& movie, std::string& why);

// Entries of folder whose names start with prefix.
int CountEntries(const std::string& folder, const std::string& prefix);

std::string ReadText(const std::string& path);

// A private registry whose installation folder is the build folder (its lng/ and res/), and a
// private temporary folder.
class CInstallation {
public:
    CInstallation();
    ~CInstallation();
    const CScratchFolder& Temp() const { return m_temp; }

private:
    CTestRegistry m_registry;
    CScratchFolder m_temp;
    CEnvOverride m_tmpdir;
};

}  // namespace e2e
