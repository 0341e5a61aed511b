// The text path's walk through the object model: a frame of 2,000 words, every line, word and
// run with its bounds, as the converter asks for them.

#include "powerpoint/host/PowerPointHost.h"

#include <benchmark/benchmark.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

CHostDocumentRef MakeDeck(CHostShape*& shape) {
    CHostDocumentRef doc = CHostDocument::Create();
    shape = doc->AddSlide()->AddShape(msoTextBox, L"Body", 36, 36, 648, 468);
    shape->data.hasTextFrame = msoTrue;
    FontData bold;
    bold.bold = msoTrue;
    static const wchar_t* words[] = {L"layout ", L"of ", L"a ", L"frame ", L"with ", L"many ", L"words "};
    for (int i = 0; i < 2000; ++i) {
        std::wstring w = words[i % 7];
        if (i % 100 == 99) w.back() = L'\r';
        shape->data.text.AddRun(w, i % 11 == 0 ? bold : FontData());
    }
    return doc;
}

float Sum(TextRange* r) {
    float l = 0, t = 0, w = 0, h = 0;
    r->get_BoundLeft(&l);
    r->get_BoundTop(&t);
    r->get_BoundWidth(&w);
    r->get_BoundHeight(&h);
    return l + t + w + h;
}

// One pass of the walk: lines of each paragraph, the words of each line and the runs of each word.
float Walk(TextRange* all) {
    float total = 0;
    CComPtr<TextRange> paragraphs;
    all->Paragraphs(0, -1, &paragraphs);
    LONG pc = 0;
    paragraphs->get_Count(&pc);
    for (LONG p = 1; p <= pc; ++p) {
        CComPtr<TextRange> para, lines;
        paragraphs->Paragraphs(p, 1, &para);
        para->Lines(0, -1, &lines);
        LONG lc = 0;
        lines->get_Count(&lc);
        for (LONG l = 1; l <= lc; ++l) {
            CComPtr<TextRange> line, words;
            lines->Lines(l, 1, &line);
            total += Sum(line);
            line->Words(0, -1, &words);
            LONG wc = 0;
            words->get_Count(&wc);
            for (LONG w = 1; w <= wc; ++w) {
                CComPtr<TextRange> word, runs;
                words->Words(w, 1, &word);
                total += Sum(word);
                word->Runs(0, -1, &runs);
                LONG rc = 0;
                runs->get_Count(&rc);
                for (LONG r = 1; r <= rc; ++r) {
                    CComPtr<TextRange> run;
                    runs->Runs(r, 1, &run);
                    total += Sum(run);
                }
            }
        }
    }
    return total;
}

void BM_WalkLaidOutFrame(benchmark::State& state) {
    CHostShape* shape = nullptr;
    CHostDocumentRef doc = MakeDeck(shape);
    CComPtr<TextFrame> frame;
    shape->Interface()->get_TextFrame(&frame);
    CComPtr<TextRange> all;
    frame->get_TextRange(&all);
    Walk(all);  // the layout is made once; the walk is what repeats
    for (auto _ : state) benchmark::DoNotOptimize(Walk(all));
}
BENCHMARK(BM_WalkLaidOutFrame)->Unit(benchmark::kMillisecond);

// A fresh document each time: the layout is made, then walked.
void BM_LayOutAndWalk(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        CHostShape* shape = nullptr;
        CHostDocumentRef doc = MakeDeck(shape);
        CComPtr<TextFrame> frame;
        shape->Interface()->get_TextFrame(&frame);
        CComPtr<TextRange> all;
        frame->get_TextRange(&all);
        state.ResumeTiming();
        benchmark::DoNotOptimize(Walk(all));
    }
}
BENCHMARK(BM_LayOutAndWalk)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
