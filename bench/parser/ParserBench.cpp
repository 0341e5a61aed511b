// Reading presentations of the shared corpus into their record trees.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"

namespace fs = std::filesystem;

namespace {

// The largest corpus file that yields a record tree (older-format files are refused early).
fs::path LargestParsedFile() {
    fs::path best;
    uintmax_t bestSize = 0;
    const fs::path dir(BC_CORPUS_DIR);
    if (!fs::is_directory(dir)) return best;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".ppt" || entry.file_size() <= bestSize) continue;
        try {
            libpptparser::CStreamParser parser(entry.path().string());
            parser.Parse();
            best = entry.path();
            bestSize = entry.file_size();
        } catch (const libpptparser::CPptParserException&) {}
    }
    return best;
}

void ParseFile(benchmark::State& state, const fs::path& file) {
    if (file.empty() || !fs::exists(file)) {
        state.SkipWithError("corpus folder is absent");
        return;
    }
    size_t records = 0;
    for (auto _ : state) {
        libpptparser::CStreamParser parser(file.string());
        parser.Parse();
        records = parser.GetRoot()->GetChildCount();
        benchmark::DoNotOptimize(records);
    }
    state.SetLabel(file.filename().string());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(file)));
}

void BM_ParseLargestFile(benchmark::State& state) {
    static const fs::path file = LargestParsedFile();
    ParseFile(state, file);
}
BENCHMARK(BM_ParseLargestFile)->Unit(benchmark::kMillisecond);

// File to presentation model: what the export context does once per export.
void BM_ParseLargestFileIntoModel(benchmark::State& state) {
    static const fs::path file = LargestParsedFile();
    if (file.empty()) {
        state.SkipWithError("corpus folder is absent");
        return;
    }
    for (auto _ : state) {
        libpptparser::CStreamParser parser(file.string());
        parser.Parse();
        benchmark::DoNotOptimize(parser.GetPresentation());
    }
    state.SetLabel(file.filename().string());
}
BENCHMARK(BM_ParseLargestFileIntoModel)->Unit(benchmark::kMillisecond);

// The 105-slide deck that holds its presentation in the 97-2003 storage of a PowerPoint 95 file:
// file to record tree, and file to model.
void BM_ParseDualFormatDeck(benchmark::State& state) { ParseFile(state, fs::path(BC_CORPUS_DIR) / "bug56240.ppt"); }
BENCHMARK(BM_ParseDualFormatDeck)->Unit(benchmark::kMillisecond);

void BM_ParseDualFormatDeckIntoModel(benchmark::State& state) {
    const fs::path file = fs::path(BC_CORPUS_DIR) / "bug56240.ppt";
    if (!fs::exists(file)) {
        state.SkipWithError("bug56240.ppt is absent");
        return;
    }
    size_t slides = 0;
    for (auto _ : state) {
        libpptparser::CStreamParser parser(file.string());
        parser.Parse();
        slides = parser.GetPresentation()->GetSlides()->GetCount();
        benchmark::DoNotOptimize(slides);
    }
    state.counters["slides"] = static_cast<double>(slides);
}
BENCHMARK(BM_ParseDualFormatDeckIntoModel)->Unit(benchmark::kMillisecond);

// The largest file of all, refused as an older format after its header and directory.
void BM_RefuseOlderFormat(benchmark::State& state) {
    const fs::path file = fs::path(BC_CORPUS_DIR) / "PPT95.ppt";
    if (!fs::exists(file)) {
        state.SkipWithError("PPT95.ppt is absent");
        return;
    }
    for (auto _ : state) {
        libpptparser::CStreamParser parser(file.string());
        try {
            parser.Parse();
        } catch (const libpptparser::CPptParserException& e) {
            benchmark::DoNotOptimize(e.GetMessage().size());
        }
    }
}
BENCHMARK(BM_RefuseOlderFormat)->Unit(benchmark::kMillisecond);

// The record tree alone, from the document stream of the largest file already in memory.
void BM_BuildRecordTree(benchmark::State& state) {
    static const fs::path file = LargestParsedFile();
    if (file.empty()) {
        state.SkipWithError("corpus folder is absent");
        return;
    }
    compoundfile::CCompoundFileStorage storage(file.string());
    storage.Open();
    compoundfile::CCompoundFileStream stream(storage, "PowerPoint Document");
    const auto bytes = std::make_shared<const std::vector<uint8_t>>(stream.ReadAll());
    for (auto _ : state) benchmark::DoNotOptimize(libpptparser::CStreamParser::BuildRecordTree(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes->size()));
}
BENCHMARK(BM_BuildRecordTree)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
