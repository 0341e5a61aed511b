// Loading presentations into the host: the largest corpus file the loader reads, and the refusal
// of the largest one it does not.

#include "powerpoint/loader/PptLoader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

using PowerPoint::Loader::CPptLoadError;
using PowerPoint::Loader::LoadPresentation;

// The corpus files by size, largest first.
std::vector<std::filesystem::path> BySize() {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(BC_CORPUS_DIR))
        for (const auto& e : std::filesystem::directory_iterator(BC_CORPUS_DIR)) files.push_back(e.path());
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return std::filesystem::file_size(a) > std::filesystem::file_size(b);
    });
    return files;
}

bool Loads(const std::filesystem::path& p) {
    try {
        LoadPresentation(p.string());
        return true;
    } catch (const CPptLoadError&) {
        return false;
    }
}

void BM_LoadLargestReadable(benchmark::State& state) {
    std::filesystem::path file;
    for (const auto& p : BySize())
        if (Loads(p)) {
            file = p;
            break;
        }
    if (file.empty()) {
        state.SkipWithError("corpus folder absent");
        return;
    }
    state.SetLabel(file.filename().string());
    size_t shapes = 0;
    for (auto _ : state) {
        auto r = LoadPresentation(file.string());
        shapes = 0;
        for (auto* s : r.document->Slides()) shapes += s->shapes.size();
        benchmark::DoNotOptimize(shapes);
    }
    state.counters["shapes"] = static_cast<double>(shapes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * std::filesystem::file_size(file)));
}
BENCHMARK(BM_LoadLargestReadable)->Unit(benchmark::kMillisecond);

// The 105-slide deck read from the 97-2003 storage of a PowerPoint 95 file.
void BM_LoadDualFormatDeck(benchmark::State& state) {
    const std::filesystem::path file = std::filesystem::path(BC_CORPUS_DIR) / "bug56240.ppt";
    if (!std::filesystem::exists(file)) {
        state.SkipWithError("bug56240.ppt is absent");
        return;
    }
    size_t slides = 0, shapes = 0;
    for (auto _ : state) {
        auto r = LoadPresentation(file.string());
        slides = r.document->Slides().size();
        shapes = 0;
        for (auto* s : r.document->Slides()) shapes += s->shapes.size();
        benchmark::DoNotOptimize(shapes);
    }
    state.counters["slides"] = static_cast<double>(slides);
    state.counters["shapes"] = static_cast<double>(shapes);
}
BENCHMARK(BM_LoadDualFormatDeck)->Unit(benchmark::kMillisecond);

void BM_RefuseLargest(benchmark::State& state) {
    std::filesystem::path file;
    for (const auto& p : BySize())
        if (!Loads(p)) {
            file = p;
            break;
        }
    if (file.empty()) {
        state.SkipWithError("corpus folder absent");
        return;
    }
    state.SetLabel(file.filename().string());
    for (auto _ : state) benchmark::DoNotOptimize(Loads(file));
}
BENCHMARK(BM_RefuseLargest)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
