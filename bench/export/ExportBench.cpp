// Whole exports of the corpus decks: each deck is converted by the command-line host in a child
// process, timed on the wall clock, and its peak resident memory read from the child's usage.
//
//   bench_export [--host PATH] [--repeat N] [--out DIR] [DECK.ppt ...]
//
// Without decks every file of the corpus is converted; a deck given by bare name is looked up in
// the corpus. Each deck runs N times (default 3) and the fastest run is reported with the largest
// peak of all runs. The table goes to stdout.

#include "powerpoint/loader/PptLoader.h"

#include <fcntl.h>
#include <getopt.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
    int status = -1;  // exit status, or -1 when the child did not exit normally
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time: steadier than the wall on a busy machine
    double peakMiB = 0;
};

Run Convert(const std::string& host, const fs::path& deck, const fs::path& movie) {
    std::error_code ignored;
    fs::remove(movie, ignored);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) return run;
    if (child == 0) {
        // Only errors reach the bench's own output; the table stays readable.
        const int devnull = ::open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            ::dup2(devnull, 1);
            ::dup2(devnull, 2);
        }
        ::execl(host.c_str(), host.c_str(), deck.c_str(), "-o", movie.c_str(), "--yes", "--slides=all",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    return run;
}

// Loaded in a child of its own: a child's peak memory starts from its parent's size at the fork,
// so the bench itself stays small.
int SlideCount(const fs::path& deck) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        int count = -1;
        try {
            count = static_cast<int>(PowerPoint::Loader::LoadPresentation(deck.string()).document->Slides().size());
        } catch (const std::exception&) {
        }
        const ssize_t written = ::write(fds[1], &count, sizeof count);
        ::_exit(written == sizeof count ? 0 : 1);
    }
    ::close(fds[1]);
    int count = -1;
    if (child < 0 || ::read(fds[0], &count, sizeof count) != sizeof count) count = -1;
    ::close(fds[0]);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return count;
}

std::string DefaultHost(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::canonical("/proc/self/exe", error);
    return (error ? fs::path(argv0).parent_path() : self.parent_path()).append("brindlecast").string();
}

}  // namespace

int main(int argc, char** argv) {
    std::string host = DefaultHost(argv[0]);
    int repeat = 3;
    fs::path outDir = fs::temp_directory_path() / ("bench-export-" + std::to_string(::getpid()));
    bool ownOutDir = true;
    static const option kOptions[] = {{"host", required_argument, nullptr, 'H'},
                                      {"repeat", required_argument, nullptr, 'r'},
                                      {"out", required_argument, nullptr, 'o'},
                                      {"help", no_argument, nullptr, 'h'},
                                      {nullptr, 0, nullptr, 0}};
    for (;;) {
        const int id = ::getopt_long(argc, argv, "H:r:o:h", kOptions, nullptr);
        if (id == -1) break;
        switch (id) {
        case 'H':
            host = ::optarg;
            break;
        case 'r':
            repeat = std::max(1, std::atoi(::optarg));
            break;
        case 'o':
            outDir = ::optarg;
            ownOutDir = false;
            break;
        case 'h':
            std::puts("Usage: bench_export [--host PATH] [--repeat N] [--out DIR] [DECK.ppt ...]");
            return 0;
        default:
            return 2;
        }
    }
    std::vector<fs::path> decks;
    for (int i = ::optind; i < argc; ++i) {
        fs::path deck = argv[i];
        if (!fs::exists(deck)) deck = fs::path(BC_CORPUS_DIR) / deck;
        decks.push_back(deck);
    }
    if (decks.empty()) {
        if (!fs::is_directory(BC_CORPUS_DIR)) {
            std::fprintf(stderr, "bench_export: no corpus at %s\n", BC_CORPUS_DIR);
            return 1;
        }
        for (const auto& entry : fs::directory_iterator(BC_CORPUS_DIR))
            if (entry.path().extension() == ".ppt") decks.push_back(entry.path());
        std::sort(decks.begin(), decks.end());
    }
    if (::access(host.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_export: no host program at %s (--host)\n", host.c_str());
        return 1;
    }
    fs::create_directories(outDir);

    std::printf("%-64s %6s %5s %9s %9s %9s %10s\n", "deck", "slides", "exit", "seconds", "cpu s", "peak MiB",
                "movie KiB");
    double totalSeconds = 0;
    for (const fs::path& deck : decks) {
        const fs::path movie = outDir / (deck.stem().string() + ".swf");
        Run best;
        best.seconds = 1e30;
        double peak = 0;
        for (int i = 0; i < repeat; ++i) {
            const Run run = Convert(host, deck, movie);
            peak = std::max(peak, run.peakMiB);
            if (run.seconds < best.seconds) best = run;
        }
        std::error_code error;
        const auto size = fs::file_size(movie, error);
        totalSeconds += best.seconds;
        std::printf("%-64s %6d %5d %9.3f %9.3f %9.1f %10.1f\n", deck.filename().c_str(), SlideCount(deck), best.status,
                    best.seconds, best.cpuSeconds, peak, error ? 0.0 : double(size) / 1024.0);
        std::fflush(stdout);
    }
    std::printf("%-64s %6s %5s %9.3f\n", "total", "", "", totalSeconds);
    if (ownOutDir) fs::remove_all(outDir);
    return 0;
}
