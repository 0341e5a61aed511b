// De-duplicating a slide deck's worth of image files, and comparing two renderings (a few
// differences, and many far apart).

#include "genswf/images/ImagesCollection.h"
#include "genswf/utils/Utils.h"
#include "libimageanalyzer/ImageComparer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kImages = 500;
constexpr std::uint32_t kWidth = 160, kHeight = 120;

std::shared_ptr<libimageanalyzer::CImageBuffer> Noise(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 4 == 3) ? 255 : std::uint8_t(random());
    auto image = libimageanalyzer::CImageBuffer::Create();
    image->SetRgba(kWidth, kHeight, std::move(pixels));
    return image;
}

// 500 PNG files of one size and dimensions (so every candidate needs its digest); the given
// share of them are copies of five "backgrounds", the rest all differ.
struct Deck {
    std::wstring folder;
    std::vector<std::wstring> paths;
};

// The decks' folders go when the run ends.
struct Decks : std::map<int, Deck> {
    ~Decks() {
        for (auto& entry : *this) genswf::DeleteFolderTree(entry.second.folder, true);
    }
};

const Deck& DeckWithIdentical(int percent) {
    static Decks decks;
    auto found = decks.find(percent);
    if (found != decks.end()) return found->second;

    Deck deck;
    char pattern[] = "/tmp/bcbench-images.XXXXXX";
    deck.folder = genswf::WideFromUtf8(::mkdtemp(pattern));
    const int copies = kImages * percent / 100;
    std::mt19937 random(7);
    for (int i = 0; i < kImages; ++i) {
        const std::uint32_t seed = i < copies ? 1000 + random() % 5 : std::uint32_t(i);
        const std::wstring path = deck.folder + L"/img" + std::to_wstring(i) + L".png";
        libimageanalyzer::CImageRegion(Noise(seed), 0, 0, kWidth - 1, kHeight - 1).SavePng(path);
        deck.paths.push_back(path);
    }
    std::shuffle(deck.paths.begin(), deck.paths.end(), random);
    return decks.emplace(percent, std::move(deck)).first->second;
}

void BM_Deduplicate500(benchmark::State& state) {
    const Deck& deck = DeckWithIdentical(static_cast<int>(state.range(0)));
    std::size_t kept = 0;
    for (auto _ : state) {
        genswf::ImagesCollection images;
        for (std::size_t i = 0; i < deck.paths.size(); ++i) images.AddImage(deck.paths[i], L"img" + std::to_wstring(i));
        kept = images.GetCount();
    }
    state.counters["kept"] = double(kept);
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_Deduplicate500)->Arg(0)->Arg(50)->Arg(90)->Unit(benchmark::kMillisecond);

// A 1280 x 960 background against the same with a footer and a slide number.
void BM_CompareBackgrounds(benchmark::State& state) {
    const std::uint32_t w = 1280, h = 960;
    std::vector<std::uint8_t> base(std::size_t(w) * h * 4, 200);
    std::vector<std::uint8_t> titled = base;
    for (std::uint32_t y = 900; y < 930; ++y) {
        for (std::uint32_t x = 40; x < 400; x += 3) titled[(std::size_t(y) * w + x) * 4] = 0;
        for (std::uint32_t x = 1200; x < 1240; x += 2) titled[(std::size_t(y) * w + x) * 4] = 0;
    }
    for (auto _ : state) {
        auto a = libimageanalyzer::CImageBuffer::Create();
        auto b = libimageanalyzer::CImageBuffer::Create();
        a->SetRgba(w, h, base);
        b->SetRgba(w, h, titled);
        libimageanalyzer::CImageComparer comparer;
        comparer.Compare(a, b, 10);
        benchmark::DoNotOptimize(comparer.GetRegionCount());
    }
}
BENCHMARK(BM_CompareBackgrounds)->Unit(benchmark::kMillisecond);

// Single differing pixels far apart over a 1200 x 900 picture: thousands of regions, none merged.
void BM_CompareScatteredDifferences(benchmark::State& state) {
    const std::uint32_t w = 1200, h = 900;
    std::vector<std::uint8_t> plain(std::size_t(w) * h * 4, 255);
    std::vector<std::uint8_t> marked = plain;
    for (std::uint32_t y = 0; y < h; y += 13)
        for (std::uint32_t x = (y / 13) % 7; x < w; x += 12) marked[(std::size_t(y) * w + x) * 4] = 10;
    std::size_t regions = 0;
    for (auto _ : state) {
        auto a = libimageanalyzer::CImageBuffer::Create();
        auto b = libimageanalyzer::CImageBuffer::Create();
        a->SetRgba(w, h, plain);
        b->SetRgba(w, h, marked);
        libimageanalyzer::CImageComparer comparer;
        comparer.Compare(a, b, 2);
        regions = comparer.GetRegionCount();
    }
    state.counters["regions"] = double(regions);
}
BENCHMARK(BM_CompareScatteredDifferences)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
