// pptrender FILE.ppt --slide N [--shapes] -o OUT.png
// Loads a presentation into the host and draws slide N at its size in points (one pixel a
// point), to look at what the host would draw. With --shapes, each shape of the slide is also
// written as its own picture next to OUT ("OUT-shape3.png"), at the same scale.

#include "BcVersion.h"
#include "HostDrawing.h"
#include "base/encodings/TextEncoding.h"
#include "powerpoint/loader/PptLoader.h"
#include "render/BcRender.h"

#include <getopt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace PowerPoint;
namespace fs = std::filesystem;

namespace {

std::string Utf8(const std::wstring& w) { return base::encodings::Utf8FromWide(w); }

const char kUsage[] =
    "usage: pptrender FILE.ppt --slide N [--shapes] -o OUT.png\n"
    "Draws slide N of a presentation as the host would, one pixel a point.\n"
    "  --slide=N           the slide to draw, from 1 (required)\n"
    "  -o, --output=FILE   the PNG file to write (required)\n"
    "  --shapes            also write each shape of the slide as OUT-shapeK.png\n"
    "  -h, --help          show this help\n"
    "  --version           show the version\n"
    "Exit status: 0 on success, 1 when loading or drawing fails, 2 for wrong arguments.\n";

// Wrong arguments: the first line of the help, on stderr.
int Usage() {
    std::fwrite(kUsage, 1, std::strchr(kUsage, '\n') + 1 - kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    long slideNumber = 0;
    bool shapes = false;
    enum { kSlide = 256, kShapes, kVersion };
    static const option kOptions[] = {
        {"slide", required_argument, nullptr, kSlide}, {"output", required_argument, nullptr, 'o'},
        {"shapes", no_argument, nullptr, kShapes},     {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},   {nullptr, 0, nullptr, 0}};
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":ho:", kOptions, nullptr)) != -1;) {
        switch (c) {
        case 'h':
            std::fputs(kUsage, stdout);
            return 0;
        case kVersion:
            std::printf("pptrender %s\n", BC_VERSION_STRING);
            return 0;
        case kSlide: {
            char* end = nullptr;
            slideNumber = std::strtol(optarg, &end, 10);
            if (!end || *end || end == optarg) return Usage();
            break;
        }
        case 'o':
            output = optarg;
            break;
        case kShapes:
            shapes = true;
            break;
        default:
            return Usage();
        }
    }
    if (argc - optind != 1) return Usage();
    input = argv[optind];
    if (output.empty() || slideNumber < 1) return Usage();

    try {
        Loader::LoadResult loaded = Loader::LoadPresentation(input);
        Host::CHostDocument& doc = *loaded.document;
        const auto& slides = doc.Slides();
        if (slideNumber > static_cast<long>(slides.size())) {
            std::fprintf(stderr, "pptrender: %s has %zu slides, not %ld\n", input.c_str(), slides.size(), slideNumber);
            return 1;
        }
        size_t masterCount = 0;
        std::vector<const Host::CHostShape*> slideShapes;
        const render::SlideDrawing drawing =
            pptrender::SlideFromHost(loaded, static_cast<size_t>(slideNumber - 1), masterCount, slideShapes);
        const int width = std::max(1, static_cast<int>(std::lround(drawing.width)));
        const int height = std::max(1, static_cast<int>(std::lround(drawing.height)));
        render::RenderSlidePng(drawing, width, height, output);
        std::printf("%s: slide %ld, %d x %d, %zu shapes\n", output.c_str(), slideNumber, width, height,
                    drawing.shapes.size());

        if (shapes) {
            const fs::path out(output);
            const double sx = width / drawing.width, sy = height / drawing.height;
            for (size_t i = 0; i < slideShapes.size(); ++i) {
                if (!slideShapes[i])  // the date, footer and slide number are the slide's, not shapes
                    continue;
                fs::path p = out.parent_path() / (out.stem().string() + "-shape" + std::to_string(i + 1) + ".png");
                render::RenderShapePng(drawing.shapes[masterCount + i], sx, sy, p);
                std::printf("%s: %s\n", p.string().c_str(), Utf8(slideShapes[i]->data.name).c_str());
            }
        }
        for (const std::wstring& w : loaded.warnings) std::fprintf(stderr, "pptrender: warning: %s\n", Utf8(w).c_str());
    } catch (const Loader::CPptLoadError& e) {
        std::fprintf(stderr, "pptrender: %s\n", Utf8(e.GetMessage()).c_str());
        return 1;
    } catch (const render::RenderError& e) {
        std::fprintf(stderr, "pptrender: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pptrender: %s\n", e.what());
        return 1;
    }
    return 0;
}
