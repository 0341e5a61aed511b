// Building and saving a movie description: slides x objects per slide; writing frames whose
// numbers reach the top of their range.

#include "genswf/movie/Movie.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace genswf;

namespace {

// One slide: a sprite with `objects` definitions shown on its own timeline, placed on the
// root timeline for one frame.
void AddSlide(CMovie* movie, CFrameTrack* root, int index, int objects) {
    auto sprite = CreateSpriteObject(movie);
    auto track = sprite->GetLayers()->AddLayer()->AddTrack();
    auto defs = sprite->GetObjects();
    for (int k = 0; k < objects; ++k) {
        std::wstring id;
        switch (k % 4) {
        case 0: {
            auto rect = defs->AddRectangle(k * 1.5f, k * 0.5f, 100, 40);
            rect->SetFillStyle(defs->GetBlackFillStyleId());
            id = rect->GetId();
            break;
        }
        case 1: {
            auto image = CreateImageObject(movie, L"img" + IntToWString(k) + L".png", 10, 10, 320, 240);
            image->jpegQuality = 80;
            defs->Add(image);
            id = image->GetId();
            break;
        }
        case 2: {
            auto text = CreateTextFieldObject(movie, 5, 5, 300, 20);
            text->fontId = L"fnt0";
            text->fontSize = 12;
            text->html = L"<p align=\"left\"><font face=\"fnt0\">Slide text & more</font></p>";
            defs->Add(text);
            id = text->GetId();
            break;
        }
        default: {
            auto shape = defs->AddShape();
            shape->AddRectangle(0, 0, 10, 10)->SetFillStyle(defs->GetTransparentFillStyleId());
            shape->AddOval(0, 0, 10, 10)->SetFillStyle(defs->GetBlackFillStyleId());
            id = shape->GetId();
            break;
        }
        }
        CMatrix m;
        m.SetTranslation(k * 2.0f, k * 3.0f);
        auto show = track->AddShow(0, id, m);
        track->AddModify(1 + k % 10, show->GetShowId(), CMatrix(0.5f, 0, 0, 0.5f, 1, 1));
    }
    track->AddActions(12)->GetActions().AddStop();
    movie->GetObjects()->Add(sprite);
    auto show = root->AddShow(static_cast<std::uint32_t>(index), sprite->GetId(), CMatrix());
    root->AddActions(static_cast<std::uint32_t>(index))->GetActions().AddStop();
    root->AddHide(static_cast<std::uint32_t>(index + 1), show->GetShowId());
}

void BuildAndSave(benchmark::State& state) {
    const int slides = static_cast<int>(state.range(0));
    const int objects = static_cast<int>(state.range(1));
    const std::string path = (std::filesystem::temp_directory_path() / "bench_movie.xml").string();
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto movie = CMovie::CreateEmpty();
        movie->WriteMovieAttributes(720, 540, 24, 0xFFFFFF, false);
        auto root = movie->GetLayers()->AddLayer()->AddTrack();
        for (int i = 0; i < slides; ++i) AddSlide(movie.get(), root.get(), i, objects);
        movie->GetObjects()->WriteMembers(movie->GetObjectsElement());
        movie->GetLayers()->WriteMembers(movie->GetLayersElement());
        movie->SaveXml(WideFromUtf8(path));
        bytes = std::filesystem::file_size(path);
    }
    state.counters["elements"] = static_cast<double>(slides) * objects;
    state.counters["fileBytes"] = static_cast<double>(bytes);
    state.SetComplexityN(static_cast<benchmark::IterationCount>(slides) * objects);
    std::remove(path.c_str());
}

BENCHMARK(BuildAndSave)
    ->Args({25, 50})
    ->Args({50, 50})
    ->Args({100, 50})
    ->Args({200, 50})
    ->Args({400, 50})
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A frame list whose tracks reach the last frame number: its writing must not walk the frames
// in between.
void WriteFramesNearTheTop(benchmark::State& state) {
    auto movie = CMovie::CreateEmpty();
    for (auto _ : state) {
        auto list = CreateFrameList(movie.get());
        auto track = list->AddTrack();
        track->AddHide(0, L"a");
        track->AddLabel(0xFFFFFFFFu, L"end");
        auto layer = movie->WriteLayer(movie->GetLayersElement());
        list->Write(layer, 0);
        benchmark::DoNotOptimize(layer);
    }
}
BENCHMARK(WriteFramesNearTheTop)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
