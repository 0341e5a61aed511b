// Slide and shape pictures of the largest corpus file that loads, drawn as Slide.Export and
// Shape.Export draw them (text included), encoding left out.

#include "powerpoint/loader/PptLoader.h"
#include "powerpoint/render/HostRender.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

using namespace PowerPoint;
using namespace PowerPoint::Host;
namespace fs = std::filesystem;

namespace {

// The largest file of the corpus that loads; an empty result when there is none.
Loader::LoadResult LargestDeck(std::string& name) {
    std::vector<fs::path> files;
    if (fs::is_directory(BC_CORPUS_DIR))
        for (const auto& e : fs::directory_iterator(BC_CORPUS_DIR))
            if (e.path().extension() == ".ppt") files.push_back(e.path());
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return fs::file_size(a) > fs::file_size(b); });
    for (const fs::path& f : files) {
        try {
            Loader::LoadResult r = Loader::LoadPresentation(f.string());
            name = f.filename().string();
            return r;
        } catch (const Loader::CPptLoadError&) {}
    }
    return Loader::LoadResult();
}

void BM_RenderEverySlide(benchmark::State& state) {
    std::string name;
    Loader::LoadResult deck = LargestDeck(name);
    if (!deck.document.Get()) {
        state.SkipWithError("no corpus file loads");
        return;
    }
    const auto& slides = deck.document->Slides();
    for (auto _ : state)
        for (CHostSlide* slide : slides)
            benchmark::DoNotOptimize(render::RenderSlideRaster(SlideDrawingOf(slide), 720, 540));
    state.SetLabel(name + ", " + std::to_string(slides.size()) + " slides");
}
BENCHMARK(BM_RenderEverySlide)->Unit(benchmark::kMillisecond);

void BM_RenderEveryShape(benchmark::State& state) {
    std::string name;
    Loader::LoadResult deck = LargestDeck(name);
    if (!deck.document.Get()) {
        state.SkipWithError("no corpus file loads");
        return;
    }
    std::size_t shapes = 0;
    for (auto _ : state)
        for (CHostSlide* slide : deck.document->Slides())
            for (CHostShape* shape : slide->shapes) {
                benchmark::DoNotOptimize(render::RenderShapeRaster(ShapeDrawingOf(shape), 1, 1));
                ++shapes;
            }
    state.SetLabel(name);
    state.counters["shapes"] = double(shapes) / double(state.iterations());
}
BENCHMARK(BM_RenderEveryShape)->Unit(benchmark::kMillisecond);

}  // namespace
