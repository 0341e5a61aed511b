// A 720 x 540 slide with about thirty shapes: drawing alone, and drawing with PNG encoding.

#include "render/BcRender.h"

#include <benchmark/benchmark.h>

using namespace render;

namespace {

SlideDrawing TypicalSlide() {
    SlideDrawing slide;
    slide.background.kind = FillKind::Gradient;
    slide.background.color = 0xF5E8D8;
    slide.background.color2 = 0x8A5A2A;
    const int types[] = {1, 5, 9, 7, 33, 36, 61, 63, 67, 69, 92, 93, 105, 107, 4, 10, 6, 37, 52, 64};
    int i = 0;
    for (int t : types) {
        ShapeDrawing s;
        s.autoShapeType = t;
        s.frame = {20.0 + (i % 5) * 140, 30.0 + (i / 5) * 120, 110, 80};
        s.rotation = (i % 4 == 3) ? 15 : 0;
        s.fill = FillData::Solid(0x3366CC + i * 0x000401, i % 3 == 0 ? 0.3 : 0);
        s.line.visible = true;
        s.line.weight = 1 + i % 3;
        s.line.color = 0x202020;
        slide.shapes.push_back(s);
        ++i;
    }
    for (int k = 0; k < 10; ++k) {
        ShapeDrawing l;
        l.kind = ShapeKind::Line;
        l.connector = static_cast<ConnectorKind>(k % 3);
        l.frame = {30.0 + k * 65, 500, 50, 30};
        l.line.visible = true;
        l.line.weight = 2;
        l.line.endArrow.style = ArrowTriangle;
        l.line.dashStyle = k % 2 ? DashDash : DashSolid;
        slide.shapes.push_back(l);
    }
    return slide;
}

void BM_SlideRaster(benchmark::State& state) {
    const SlideDrawing slide = TypicalSlide();
    for (auto _ : state) benchmark::DoNotOptimize(RenderSlideRaster(slide, 720, 540));
}
BENCHMARK(BM_SlideRaster)->Unit(benchmark::kMillisecond);

void BM_SlidePng(benchmark::State& state) {
    const SlideDrawing slide = TypicalSlide();
    for (auto _ : state) benchmark::DoNotOptimize(RenderSlidePng(slide, 720, 540));
}
BENCHMARK(BM_SlidePng)->Unit(benchmark::kMillisecond);

// Encoding alone, opaque and with alpha; wall time, since large pictures use several threads.
void BM_EncodeSlidePng(benchmark::State& state) {
    const Raster raster = RenderSlideRaster(TypicalSlide(), 720, 540);
    const bool withAlpha = state.range(0) != 0;
    for (auto _ : state) benchmark::DoNotOptimize(EncodePng(raster, withAlpha));
}
BENCHMARK(BM_EncodeSlidePng)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ShapePngEach(benchmark::State& state) {
    const SlideDrawing slide = TypicalSlide();
    for (auto _ : state)
        for (const ShapeDrawing& s : slide.shapes) benchmark::DoNotOptimize(RenderShapePng(s, 1, 1));
}
BENCHMARK(BM_ShapePngEach)->Unit(benchmark::kMillisecond);

void BM_ShapeWmfEach(benchmark::State& state) {
    const SlideDrawing slide = TypicalSlide();
    for (auto _ : state)
        for (const ShapeDrawing& s : slide.shapes) benchmark::DoNotOptimize(RenderShapeWmf(s, 1, 1));
}
BENCHMARK(BM_ShapeWmfEach)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
