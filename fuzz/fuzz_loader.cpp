// Whole files through the presentation host: the loader from memory, then every slide drawn at
// a small size and every text's lines, words and runs laid out and measured.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "powerpoint/loader/PptLoader.h"
#include "powerpoint/render/HostRender.h"
#include "render/BcRender.h"

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

// Drawing and layout are the costly parts; a damaged file may claim many slides and shapes.
constexpr std::size_t kMaxSlides = 12;
constexpr std::size_t kMaxShapes = 64;
constexpr LONG kMaxRanges = 64;

LONG CountOf(TextRange* range) {
    LONG n = 0;
    if (range->get_Count(&n) != S_OK || n < 0) __builtin_trap();
    return n;
}

void CheckBounds(TextRange* range) {
    float v[4] = {};
    if (range->get_BoundLeft(&v[0]) != S_OK || range->get_BoundTop(&v[1]) != S_OK ||
        range->get_BoundWidth(&v[2]) != S_OK || range->get_BoundHeight(&v[3]) != S_OK)
        __builtin_trap();
    for (float x : v)
        if (!std::isfinite(x)) __builtin_trap();
    if (v[2] < 0 || v[3] < 0) __builtin_trap();
}

void WalkText(CHostShape* shape) {
    CComPtr<TextFrame> frame;
    CComPtr<TextRange> all, lines;
    if (shape->Interface()->get_TextFrame(&frame) != S_OK || !frame) return;
    if (frame->get_TextRange(&all) != S_OK || !all) return;
    CheckBounds(all);
    if (all->Lines(0, -1, &lines) != S_OK || !lines) return;
    const LONG count = CountOf(lines);
    for (LONG l = 1; l <= count && l <= kMaxRanges; ++l) {
        CComPtr<TextRange> line, runs;
        if (lines->Lines(l, 1, &line) != S_OK || !line) __builtin_trap();
        CheckBounds(line);
        if (line->Runs(0, -1, &runs) != S_OK || !runs) continue;
        const LONG runCount = CountOf(runs);
        for (LONG r = 1; r <= runCount && r <= kMaxRanges; ++r) {
            CComPtr<TextRange> run;
            if (runs->Runs(r, 1, &run) != S_OK || !run) __builtin_trap();
            CheckBounds(run);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    render::SetRenderLog([](const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Loader::LoadOptions options;
    options.fieldDate = 0;
    options.maxCopiedBytes = 64u << 20;
    Loader::LoadResult loaded;
    try {
        loaded = Loader::LoadPresentationFromMemory(std::vector<std::uint8_t>(data, data + size), L"fuzz.ppt", options);
    } catch (const Loader::CPptLoadError& e) {
        if (e.GetMessage().empty()) __builtin_trap();
        return 0;
    }
    if (!loaded.document.Get()) __builtin_trap();
    const std::vector<CHostSlide*> slides = loaded.document->Slides();
    for (std::size_t s = 0; s < slides.size() && s < kMaxSlides; ++s) {
        const render::Raster picture = render::RenderSlideRaster(SlideDrawingOf(slides[s]), 32, 24);
        if (picture.rgba.size() != 32u * 24u * 4u) __builtin_trap();
        const std::vector<CHostShape*> shapes = slides[s]->shapes;
        for (std::size_t i = 0; i < shapes.size() && i < kMaxShapes; ++i) {
            if (shapes[i]->data.hasTextFrame != msoFalse) WalkText(shapes[i]);
        }
    }
    return 0;
}
