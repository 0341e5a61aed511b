// The text pass over the corpus deck with the most text: every slide shape's text index with its
// text sprites written, and every text frame's paragraphs collected and turned into sprites.
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/Shape.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/TextExportSupport.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/text/TextParagraph.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/host/PowerPointHost.h"
#include "powerpoint/loader/PptLoader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace genswf;
using PowerPoint::Host::CHostDocumentRef;

struct TextDeck {
    std::string name;
    CHostDocumentRef doc;
    std::size_t characters = 0;
};

std::size_t TextCharacters(const PowerPoint::Host::CHostDocument& doc) {
    std::size_t n = 0;
    for (const auto* slide : doc.Slides())
        for (const auto* shape : slide->shapes)
            if (shape->data.hasTextFrame == PowerPoint::msoTrue) n += shape->data.text.text.size();
    return n;
}

// The loadable corpus deck whose slides hold the most text, loaded once.
const TextDeck& LargestTextDeck() {
    static TextDeck deck = [] {
        TextDeck best;
        if (!std::filesystem::is_directory(BC_CORPUS_DIR)) return best;
        for (const auto& e : std::filesystem::directory_iterator(BC_CORPUS_DIR)) {
            try {
                auto loaded = PowerPoint::Loader::LoadPresentation(e.path().string());
                const std::size_t n = TextCharacters(*loaded.document);
                if (n > best.characters) best = {e.path().filename().string(), loaded.document, n};
            } catch (const std::exception&) {
                // Decks the loader refuses take no part.
            }
        }
        return best;
    }();
    return deck;
}

struct Scratch {
    Scratch() {
        char pattern[] = "/tmp/bctextbench.XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path = made ? WideFromUtf8(made) + L"/" : std::wstring();
    }
    ~Scratch() { DeleteFolderTree(path, true); }
    std::wstring path;
};

std::shared_ptr<CMovie> MakeMovie(const TextDeck& deck, const Scratch& scratch) {
    auto settings = CExportSettings::Create(deck.doc->Presentation());
    settings->SetTempFolder(scratch.path);
    return CMovie::Create(settings);
}

bool Ready(benchmark::State& state, const TextDeck& deck) {
    if (deck.characters == 0) {
        state.SkipWithError("corpus folder absent or no deck with text loads");
        return false;
    }
    state.SetLabel(deck.name);
    return true;
}

// Calls visit(shape, its slide, its index) for every slide shape of the deck that has a text frame.
template <class Visit>
void ForEachTextShape(const TextDeck& deck, CMovie& movie, Visit visit) {
    const auto& slides = deck.doc->Slides();
    for (std::size_t s = 0; s < slides.size(); ++s) {
        CSlide* slide = movie.GetSlide(s).get();
        for (std::size_t i = 0; i < slides[s]->shapes.size(); ++i) {
            if (slides[s]->shapes[i]->data.hasTextFrame != PowerPoint::msoTrue) continue;
            CComPtr<PowerPoint::Shape> itf = slides[s]->shapes[i]->Interface();
            visit(itf.Get(), slide, int(i));
        }
    }
}

// The shape text index of every slide shape with text, and its sprites written.
void BM_TextIndexPass(benchmark::State& state) {
    const TextDeck& deck = LargestTextDeck();
    if (!Ready(state, deck)) return;
    Scratch scratch;
    std::size_t sprites = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::shared_ptr<CMovie> movie = MakeMovie(deck, scratch);
        XmlElementPtr parent = movie->CreateElement(movie->GetObjectsElement(), L"bench");
        state.ResumeTiming();
        sprites = 0;
        ForEachTextShape(deck, *movie, [&](PowerPoint::Shape* itf, CSlide* slide, int i) {
            std::shared_ptr<CShape> shape = CShape::Create(itf, slide, i);
            if (const CRefPtr<CShapeTextIndex>& index = shape->GetTextIndex()) {
                index->WriteTextSprites(parent);
                sprites += index->GetTextSpriteCount();
            }
        });
        benchmark::DoNotOptimize(sprites);
    }
    state.counters["characters"] = double(deck.characters);
    state.counters["sprites"] = double(sprites);
}
BENCHMARK(BM_TextIndexPass)->Unit(benchmark::kMillisecond);

// The text-frame model of every shape with text, and one sprite per paragraph.
void BM_TextFramePass(benchmark::State& state) {
    const TextDeck& deck = LargestTextDeck();
    if (!Ready(state, deck)) return;
    Scratch scratch;
    std::size_t paragraphs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::shared_ptr<CMovie> movie = MakeMovie(deck, scratch);
        XmlElementPtr parent = movie->CreateElement(movie->GetObjectsElement(), L"bench");
        state.ResumeTiming();
        paragraphs = 0;
        ForEachTextShape(deck, *movie, [&](PowerPoint::Shape* itf, CSlide* slide, int i) {
            auto shape = std::make_shared<CTextBoxShape>(CreatePptShape(itf));
            shape->SetContext(CShapeContext::Create(slide, i));
            CComPtr<PowerPoint::TextFrame> frame;
            if (itf->get_TextFrame(&frame) < 0 || !frame) return;
            auto content = CTextFrameContent::Create(CreatePptTextFrame(frame.Get()), shape.get());
            CTextExportContext context(content.get());
            for (std::size_t p = 0; p < content->GetParagraphCount(); ++p)
                content->GetParagraph(p)->ExportSprite(context)->Write(parent);
            paragraphs += content->GetParagraphCount();
        });
        benchmark::DoNotOptimize(paragraphs);
    }
    state.counters["characters"] = double(deck.characters);
    state.counters["paragraphs"] = double(paragraphs);
}
BENCHMARK(BM_TextFramePass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
