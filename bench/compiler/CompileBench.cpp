// A long deck: 100 frames showing 300 PNG pictures of 400x300. The time should be PNG
// decoding and zlib, growing linearly with pictures and frames.
#include "tarnquill/Compiler.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

void WritePng(const fs::path& path, int seed) {
    const int w = 400, h = 300;
    std::vector<unsigned char> rgba(w * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgba[(y * w + x) * 4];
            p[0] = static_cast<unsigned char>(x + seed);
            p[1] = static_cast<unsigned char>(y * 2 + seed);
            p[2] = static_cast<unsigned char>((x ^ y) + seed);
            p[3] = 255;
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = PNG_FORMAT_RGBA;
    png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
}

struct Deck {
    fs::path dir;
    Deck(int pictures, int frames) {
        dir = fs::temp_directory_path() / ("tq-bench-" + std::to_string(::getpid()) + "-" + std::to_string(pictures) +
                                           "-" + std::to_string(frames));
        fs::create_directories(dir);
        std::ostringstream xml;
        xml << "<movie width=\"720\" height=\"540\" frameRate=\"12\" compressed=\"1\" "
               "saveObjectsFirst=\"0\">\n<objects>\n";
        for (int i = 0; i < pictures; ++i) {
            fs::path png = dir / ("img" + std::to_string(i) + ".png");
            if (!fs::exists(png)) WritePng(png, i);
            xml << "<image id=\"img" << i << "\" src=\"img" << i
                << ".png\" x=\"0tw\" y=\"0tw\" width=\"0tw\" height=\"0tw\" smoothing=\"1\"/>\n";
        }
        xml << "</objects>\n<layers>\n<layer>\n";
        int perFrame = (pictures + frames - 1) / frames;
        for (int f = 0, i = 0; f < frames; ++f) {
            xml << "<frame index=\"" << f << "\">\n";
            for (int k = 0; k < perFrame && i < pictures; ++k, ++i)
                xml << "<show id=\"show" << i << "\" objectId=\"img" << i << "\" moveX=\"" << (k * 200) << "tw\"/>\n";
            if (f > 0) xml << "<modify showId=\"show0\" moveX=\"" << f * 20 << "tw\"/>\n";
            xml << "</frame>\n";
        }
        xml << "</layer>\n</layers>\n</movie>\n";
        std::ofstream(dir / "movie.xml") << xml.str();
    }
    ~Deck() { fs::remove_all(dir); }
};

void BM_CompileDeck(benchmark::State& state) {
    Deck deck(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto result = tarnquill::CompileFile((deck.dir / "movie.xml").string(), {});
        bytes = result.swf.size();
        benchmark::DoNotOptimize(result.swf.data());
    }
    state.counters["swf_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["pictures_per_s"] =
        benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CompileDeck)->Args({300, 100})->Args({150, 100})->Args({300, 50})->Unit(benchmark::kMillisecond);

// A description kept from an export (brindlecast --debug), named by BRINDLECAST_BENCH_MOVIE,
// compiled as the export does: against the schema beside the library.
void BM_CompileDescription(benchmark::State& state) {
    const char* movie = std::getenv("BRINDLECAST_BENCH_MOVIE");
    if (!movie || !fs::exists(movie)) {
        state.SkipWithError("set BRINDLECAST_BENCH_MOVIE to a kept movie.xml");
        return;
    }
    tarnquill::CompileOptions options;
    options.schemaPath = BC_SCHEMA_PATH;
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto result = tarnquill::CompileFile(movie, options);
        bytes = result.swf.size();
        benchmark::DoNotOptimize(result.swf.data());
    }
    state.counters["swf_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_CompileDescription)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
