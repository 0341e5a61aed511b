// Every slide of the largest corpus presentation that loads, drawn at its size in points.

#include "HostDrawing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

struct Deck {
    std::string name;
    std::vector<render::SlideDrawing> slides;
};

const Deck& LargestDeck() {
    static const Deck deck = [] {
        Deck d;
        std::vector<fs::path> files;
        if (fs::is_directory(BC_CORPUS_DIR))
            for (const auto& e : fs::directory_iterator(BC_CORPUS_DIR))
                if (e.path().extension() == ".ppt") files.push_back(e.path());
        std::sort(files.begin(), files.end(),
                  [](const fs::path& a, const fs::path& b) { return fs::file_size(a) > fs::file_size(b); });
        for (const fs::path& f : files) {
            try {
                auto loaded = PowerPoint::Loader::LoadPresentation(f.string());
                const size_t n = loaded.document->Slides().size();
                if (n == 0) continue;
                d.name = f.filename().string();
                for (size_t i = 0; i < n; ++i) {
                    size_t first = 0;
                    std::vector<const PowerPoint::Host::CHostShape*> shapes;
                    d.slides.push_back(pptrender::SlideFromHost(loaded, i, first, shapes));
                }
                break;
            } catch (const std::exception&) {}
        }
        return d;
    }();
    return deck;
}

void BM_LargestDeckAllSlides(benchmark::State& state) {
    const Deck& deck = LargestDeck();
    if (deck.slides.empty()) {
        state.SkipWithError("no corpus presentation loads");
        return;
    }
    size_t shapes = 0;
    for (const auto& s : deck.slides) shapes += s.shapes.size();
    for (auto _ : state) {
        for (const auto& s : deck.slides) {
            const int w = std::max(1, static_cast<int>(std::lround(s.width)));
            const int h = std::max(1, static_cast<int>(std::lround(s.height)));
            benchmark::DoNotOptimize(render::RenderSlidePng(s, w, h));
        }
    }
    state.SetLabel(deck.name + ": " + std::to_string(deck.slides.size()) + " slides, " + std::to_string(shapes) +
                   " shapes");
    // Seconds per slide.
    state.counters["per_slide"] =
        benchmark::Counter(static_cast<double>(deck.slides.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LargestDeckAllSlides)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
