// Real presentations through the host: every slide and shape of every file that loads exports
// a picture of the requested size (and a readable metafile), and every text answers its collections with sane bounds.

#include "CorpusDecks.h"
#include "FileBytes.h"
#include "PngSize.h"
#include "TempDir.h"
#include "powerpoint/loader/PptLoader.h"
#include "powerpoint/render/HostRender.h"
#include "render/BcWmf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <unistd.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;
namespace fs = std::filesystem;

namespace {

// Walks paragraphs, lines, words and runs as the text path does; returns the ranges visited.
int WalkText(TextRange* all, const std::string& where) {
    int visited = 0;
    auto check = [&](TextRange* r) {
        float v[4] = {};
        EXPECT_EQ(S_OK, r->get_BoundLeft(&v[0])) << where;
        EXPECT_EQ(S_OK, r->get_BoundTop(&v[1])) << where;
        EXPECT_EQ(S_OK, r->get_BoundWidth(&v[2])) << where;
        EXPECT_EQ(S_OK, r->get_BoundHeight(&v[3])) << where;
        for (float x : v) EXPECT_TRUE(std::isfinite(x)) << where;
        EXPECT_GE(v[2], 0.0f) << where;
        EXPECT_GE(v[3], 0.0f) << where;
        ++visited;
    };
    auto count = [](TextRange* r) {
        LONG n = 0;
        r->get_Count(&n);
        return n;
    };
    CComPtr<TextRange> lines;
    EXPECT_EQ(S_OK, all->Lines(0, -1, &lines)) << where;
    if (!lines) return visited;
    for (LONG l = 1; l <= count(lines); ++l) {
        CComPtr<TextRange> line, words;
        EXPECT_EQ(S_OK, lines->Lines(l, 1, &line)) << where;
        check(line);
        line->Words(0, -1, &words);
        for (LONG w = 1; w <= count(words); ++w) {
            CComPtr<TextRange> word, runs;
            words->Words(w, 1, &word);
            check(word);
            word->Runs(0, -1, &runs);
            for (LONG r = 1; r <= count(runs); ++r) {
                CComPtr<TextRange> run;
                runs->Runs(r, 1, &run);
                check(run);
            }
        }
    }
    return visited;
}

TEST(HostCorpus, EverySlideAndShapeExportsAndEveryTextLaysOut) {
    if (!fs::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    CScratchFolder dir;
    int files = 0, slides = 0, shapes = 0, ranges = 0;
    files += bctest::ForEachLoadedDeck(BC_CORPUS_DIR, [&](const std::string& name, Loader::LoadResult& loaded) {
        CHostDocument& doc = *loaded.document;
        for (CHostSlide* slide : std::vector<CHostSlide*>(doc.Slides())) {
            const std::string where = name + " slide " + std::to_string(slide->SlideIndex());
            const fs::path file = dir / "slide.png";
            ASSERT_EQ(S_OK, slide->Interface()->Export(CBstr(file.wstring()), CBstr(L"png"), 240, 180)) << where;
            EXPECT_EQ(std::make_pair(240, 180), bctest::PngSize(file)) << where;
            ++slides;
            for (CHostShape* shape : std::vector<CHostShape*>(slide->shapes)) {
                const std::string at = where + " shape " + std::to_string(shape->data.id);
                const fs::path picture = dir / "shape.png";
                const HRESULT hr =
                    shape->Interface()->Export(CBstr(picture.wstring()), ppShapeFormatPNG, 240, 180, ppScaleXY);
                EXPECT_EQ(S_OK, hr) << at;
                if (hr == S_OK) {
                    EXPECT_GT(bctest::PngSize(picture).first, 0) << at;
                }
                // The outline and fill as a metafile the compiler can read back.
                const fs::path metafile = dir / "shape.wmf";
                ASSERT_EQ(S_OK,
                          shape->Interface()->Export(CBstr(metafile.wstring()), ppShapeFormatWMF, 240, 180, ppScaleXY))
                    << at;
                render::WmfFile wmf;
                std::string error;
                EXPECT_TRUE(render::ReadWmf(bctest::FileBytes(metafile), wmf, &error)) << at << ": " << error;
                ++shapes;
                if (shape->data.hasTextFrame == msoFalse) continue;
                CComPtr<TextFrame> frame;
                CComPtr<TextRange> all;
                ASSERT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame)) << at;
                ASSERT_EQ(S_OK, frame->get_TextRange(&all)) << at;
                ranges += WalkText(all, at);
            }
        }
    });
    EXPECT_GT(files, 0) << "no corpus file loads";
    EXPECT_GT(shapes, 0);
    EXPECT_GT(ranges, 0) << "no text laid out";
    std::printf("%d files, %d slides, %d shapes, %d text ranges\n", files, slides, shapes, ranges);
}

// Hides a slide's four header and footer elements through the object model.
void HideHeadersFooters(CHostSlide* slide) {
    CComPtr<HeadersFooters> headers;
    ASSERT_EQ(S_OK, slide->Interface()->get_HeadersFooters(&headers));
    for (auto get : {&HeadersFooters::get_Footer, &HeadersFooters::get_Header, &HeadersFooters::get_DateAndTime,
                     &HeadersFooters::get_SlideNumber}) {
        CComPtr<HeaderFooter> element;
        ASSERT_EQ(S_OK, ((*headers).*get)(&element));
        ASSERT_EQ(S_OK, element->put_Visible(msoFalse));
    }
}

// The two background pictures of a slide (with and without its headers and footers) differ only
// where the date, footer and slide number are drawn, and those lie where the master puts them.
TEST(HostCorpus, HeadersAndFootersChangeOnlyTheirOwnPlaces) {
    if (!fs::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    Loader::LoadOptions options;
    options.fieldDate = 19000;
    int compared = 0;
    bctest::ForEachLoadedDeck(
        BC_CORPUS_DIR,
        [&](const std::string& name, Loader::LoadResult& loaded) {
            for (CHostSlide* slide : loaded.document->Slides()) {
                const std::string where = name + " slide " + std::to_string(slide->SlideIndex());
                std::vector<CHostShape*> drawn;
                const render::SlideDrawing with = SlideDrawingOf(slide, &drawn);
                std::vector<render::Frame> places;
                for (std::size_t i = 0; i < drawn.size(); ++i)
                    if (!drawn[i]) places.push_back(with.shapes[i].frame);
                if (places.empty()) continue;
                // Each element sits in the frame of the master's placeholder of its kind, when it has one:
                // only the kinds the master lacks may be drawn elsewhere.
                std::set<LONG> kinds;
                for (const CHostShape* s : slide->master->shapes) {
                    const LONG kind = s->data.placeholderType;
                    if (kind == ppPlaceholderDate || kind == ppPlaceholderFooter || kind == ppPlaceholderSlideNumber)
                        kinds.insert(kind);
                }
                std::size_t elsewhere = 0;
                for (const render::Frame& place : places) {
                    bool matches = false;
                    for (const CHostShape* s : slide->master->shapes)
                        matches |= kinds.count(s->data.placeholderType) && s->data.left == place.left &&
                                   s->data.top == place.top && s->data.width == place.width &&
                                   s->data.height == place.height;
                    elsewhere += matches ? 0 : 1;
                }
                EXPECT_LE(elsewhere, 3 - kinds.size()) << where;
                const int width = static_cast<int>(std::lround(with.width)),
                          height = static_cast<int>(std::lround(with.height));
                const render::Raster shown = render::RenderSlideRaster(with, width, height);
                HideHeadersFooters(slide);
                const render::Raster hidden = render::RenderSlideRaster(SlideDrawingOf(slide), width, height);
                int changed = 0;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        if (shown.At(x, y) == hidden.At(x, y)) continue;
                        ++changed;
                        // Text may run over its frame by a line (a damaged file's date in a large font wraps).
                        bool inside = false;
                        for (const render::Frame& f : places)
                            inside |= x >= f.left - 2 && x < f.left + f.width + 2 && y >= f.top - f.height &&
                                      y < f.top + 2 * f.height;
                        ASSERT_TRUE(inside) << where << " at " << x << ", " << y;
                    }
                EXPECT_GT(changed, 0) << where;
                ++compared;
            }
        },
        options);
    // Some corpus decks show a date, footer or slide number: none compared means they were lost.
    EXPECT_GT(compared, 0) << "no corpus slide shows a header or footer";
    std::printf("%d slides with headers or footers\n", compared);
}

}  // namespace
