// Laying out a 2,000-word frame, and asking for every word and run with its bounds the way the
// text paths do (item i of the collection, then its four bounds).
#include "fonts/layout/TextLayout.h"

#include <benchmark/benchmark.h>

using namespace fonts::layout;

namespace {

TextLayoutInput TwoThousandWords() {
    TextLayoutInput in;
    in.frame.left = 36;
    in.frame.top = 36;
    in.frame.width = 648;
    in.frame.height = 468;
    const wchar_t* words[] = {L"layout", L"of", L"a", L"frame", L"with", L"several", L"paragraphs", L"and", L"runs"};
    RunStyle plain;
    plain.size = 12;
    RunStyle bold = plain;
    bold.bold = true;
    ParagraphFormat f;
    f.alignment = AlignJustify;
    for (int i = 0; i < 2000; ++i) {
        std::wstring w = words[i % 9];
        w += (i % 100 == 99 && i != 1999) ? L"\r" : (i == 1999 ? L"" : L" ");
        in.AddRun(w, (i / 7) % 3 == 0 ? bold : plain, f);
    }
    return in;
}

float Bounds(CTextLayout& layout, TextSpan span) {
    TextBox b = layout.Bounds(span);
    return b.left + b.top + b.width + b.height;
}

}  // namespace

static void LayoutTwoThousandWords(benchmark::State& state) {
    TextLayoutInput a = TwoThousandWords(), b = a;
    b.frame.width += 1;  // alternate inputs so every pass lays the text out again
    CTextLayout layout;
    bool flip = false;
    for (auto _ : state) {
        layout.SetInput(flip ? a : b);
        flip = !flip;
        benchmark::DoNotOptimize(layout.Lines().size());
    }
}
BENCHMARK(LayoutTwoThousandWords)->Unit(benchmark::kMillisecond);

static void QueryAllWordsAndRuns(benchmark::State& state) {
    CTextLayout layout;
    layout.SetInput(TwoThousandWords());
    layout.Lines();
    const TextSpan whole{0, -1};
    for (auto _ : state) {
        float sum = 0;
        for (TextUnit unit : {TextUnit::Words, TextUnit::Runs}) {
            SubRange all = layout.Sub(unit, whole, -1, -1);
            for (int i = 1; i <= all.count; ++i) sum += Bounds(layout, layout.Sub(unit, all.span, i, 1).span);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(QueryAllWordsAndRuns)->Unit(benchmark::kMillisecond);

static void LayoutAndQueryOnce(benchmark::State& state) {
    const TextLayoutInput input = TwoThousandWords();
    for (auto _ : state) {
        CTextLayout layout;
        layout.SetInput(input);
        float sum = 0;
        for (TextUnit unit : {TextUnit::Words, TextUnit::Runs})
            for (const TextSpan& t : layout.Items(unit, TextSpan{0, -1})) sum += Bounds(layout, t);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(LayoutAndQueryOnce)->Unit(benchmark::kMillisecond);

// What a host pays per query when it hands the same inputs again instead of tracking changes.
static void SetInputUnchanged(benchmark::State& state) {
    const TextLayoutInput input = TwoThousandWords();
    CTextLayout layout;
    layout.SetInput(input);
    for (auto _ : state) benchmark::DoNotOptimize(layout.SetInput(input));
}
BENCHMARK(SetInputUnchanged)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
