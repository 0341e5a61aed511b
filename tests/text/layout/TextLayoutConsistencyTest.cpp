// The collections and the bounds must agree with each other whichever range they are asked on:
// the text paths ask for paragraphs, then the lines of each, the words of each line, and so on.
#include "LayoutFixture.h"

#include <numeric>

using namespace fonts::layout;
using namespace layouttest;

namespace {

TextLayoutInput SampleText(int orientation) {
    TextLayoutInput in = Input(orientation == OrientationHorizontal ? 220.0f : 160.0f, 220.0f);
    in.frame.orientation = orientation;
    ParagraphFormat centred;
    centred.alignment = AlignCenter;
    ParagraphFormat bulleted;
    bulleted.bullet.visible = true;
    bulleted.bullet.text = L"\u2022";
    bulleted.indentLevel = 2;
    ParagraphFormat justified;
    justified.alignment = AlignJustify;
    in.AddRun(L"A title that wraps over lines\r", Style(24), centred);
    in.AddRun(L"Body text with ", Style(14), bulleted);
    RunStyle bold = Style(14);
    bold.bold = true;
    in.AddRun(L"bold words", bold, bulleted);
    in.AddRun(L" and a verylongunbreakablewordthatmustbecut here\r\r", Style(14), bulleted);
    in.AddRun(L"Justified text runs to both margins when it wraps.", Style(12, L"Times New Roman"), justified);
    return in;
}

bool Contains(const TextBox& outer, const TextBox& inner) {
    return inner.left >= outer.left - kEps && inner.top >= outer.top - kEps &&
           inner.left + inner.width <= outer.left + outer.width + kEps &&
           inner.top + inner.height <= outer.top + outer.height + kEps;
}

}  // namespace

TEST(TextLayoutConsistency, CollectionsTileTheTextAndAgreeWithTheirItems) {
    REQUIRE_FONTS();
    for (int orientation : {OrientationHorizontal, OrientationVerticalFarEast}) {
        SCOPED_TRACE(orientation);
        CTextLayout layout;
        layout.SetInput(SampleText(orientation));
        const TextSpan whole{0, -1};
        const int n = layout.TextLength();
        ASSERT_EQ(layout.Text(), SampleText(orientation).Text());
        for (TextUnit unit :
             {TextUnit::Paragraphs, TextUnit::Lines, TextUnit::Words, TextUnit::Runs, TextUnit::Characters}) {
            SCOPED_TRACE(int(unit));
            std::vector<TextSpan> items = layout.Items(unit, whole);
            ASSERT_FALSE(items.empty());
            // Items follow each other without gaps or overlaps and cover the whole text.
            int at = 0;
            for (const TextSpan& t : items) {
                EXPECT_EQ(t.start, at);
                at = t.start + t.length;
            }
            EXPECT_EQ(at, n);
            SubRange all = layout.Sub(unit, whole, -1, -1);
            EXPECT_EQ(all.count, int(items.size()));
            EXPECT_EQ(all.span, (TextSpan{0, n}));
            for (std::size_t i = 0; i < items.size(); ++i) {
                // Item i + 1 of the collection range is the same item as asked on the whole text.
                SubRange one = layout.Sub(unit, all.span, int(i) + 1, 1);
                EXPECT_EQ(one.span, items[i]);
                EXPECT_EQ(one.count, 1);
            }
            // Several items at once span from the first to the last.
            if (items.size() >= 3) {
                SubRange two = layout.Sub(unit, whole, 2, 2);
                EXPECT_EQ(two.span.start, items[1].start);
                EXPECT_EQ(two.span.start + two.span.length, items[2].start + items[2].length);
                EXPECT_EQ(two.count, 2);
            }
            SubRange beyond = layout.Sub(unit, whole, int(items.size()) + 1, 1);
            EXPECT_EQ(beyond.count, 0);
            EXPECT_EQ(beyond.span, (TextSpan{n, 0}));
        }

        const std::vector<LineInfo>& lines = layout.Lines();
        const bool vertical = orientation != OrientationHorizontal;
        TextBox all = layout.Bounds(whole);
        for (const LineInfo& line : lines) {
            // The line's own bounds are those of its range.
            TextBox b = layout.Bounds(line.span);
            EXPECT_NEAR(b.left, line.bounds.left, kEps);
            EXPECT_NEAR(b.top, line.bounds.top, kEps);
            EXPECT_NEAR(b.width, line.bounds.width, kEps);
            EXPECT_NEAR(b.height, line.bounds.height, kEps);
            EXPECT_TRUE(Contains(all, b));
            // Words and runs of the line, cut to it, sit in its band and fill it end to end.
            for (TextUnit unit : {TextUnit::Words, TextUnit::Runs, TextUnit::Characters}) {
                std::vector<TextSpan> parts = layout.Items(unit, line.span);
                ASSERT_FALSE(parts.empty() && line.span.length > 0);
                float lo = 1e9f, hi = -1e9f;
                for (const TextSpan& p : parts) {
                    const int a = std::max(p.start, line.span.start);
                    const int e = std::min(p.start + p.length, line.span.start + line.span.length);
                    if (e <= a) continue;
                    TextBox pb = layout.Bounds(TextSpan{a, e - a});
                    // A sub-range's top and height (left and width when vertical) are its line's.
                    EXPECT_NEAR(vertical ? pb.left : pb.top, vertical ? line.bounds.left : line.bounds.top, kEps);
                    EXPECT_NEAR(vertical ? pb.width : pb.height, line.extent, kEps);
                    lo = std::min(lo, vertical ? pb.top : pb.left);
                    hi = std::max(hi, vertical ? pb.top + pb.height : pb.left + pb.width);
                }
                if (line.span.length > 0) {
                    EXPECT_NEAR(lo, vertical ? line.bounds.top : line.bounds.left, kEps);
                    EXPECT_NEAR(hi,
                                vertical ? line.bounds.top + line.bounds.height : line.bounds.left + line.bounds.width,
                                kEps);
                }
            }
        }
        // Lines of each paragraph, asked on the paragraph, are the whole text's lines in order.
        std::vector<TextSpan> paragraphs = layout.Items(TextUnit::Paragraphs, whole);
        std::size_t next = 0;
        for (const TextSpan& p : paragraphs) {
            for (const TextSpan& l : layout.Items(TextUnit::Lines, p)) {
                ASSERT_LT(next, lines.size());
                EXPECT_EQ(l, lines[next].span);
                ++next;
            }
        }
        EXPECT_EQ(next, lines.size());
        // Lines stack in order across the flow.
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (vertical)
                EXPECT_LT(lines[i].bounds.left, lines[i - 1].bounds.left);
            else
                EXPECT_GT(lines[i].bounds.top, lines[i - 1].bounds.top);
        }
    }
}

TEST(TextLayoutConsistency, CollectionsOnSubRangesTakeWholeOverlappingItems) {
    REQUIRE_FONTS();
    // "alpha bravo" wraps inside "bravo": the word belongs to both lines.
    TextLayoutInput in = Input(Advance(L"alpha bra", 20) + 0.5f);
    in.AddRun(L"alphabravo charlie", Style(20));
    CTextLayout layout;
    layout.SetInput(in);
    const auto& lines = layout.Lines();
    ASSERT_GE(lines.size(), 2u);
    std::vector<TextSpan> words = layout.Items(TextUnit::Words, lines[1].span);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words[0], (TextSpan{0, 11}));  // "alphabravo " starts on the line before
    EXPECT_EQ(layout.Items(TextUnit::Lines, words[0]).size(), 2u);
    // A run over both lines gives one box per line, united.
    TextBox both = layout.Bounds(words[0]);
    EXPECT_NEAR(both.top, lines[0].bounds.top, kEps);
    EXPECT_NEAR(both.height, lines[0].extent + lines[1].extent, kEps);
    // Characters are counted within the range they are asked on.
    EXPECT_EQ(layout.Sub(TextUnit::Characters, TextSpan{6, 5}, 2, 3).span, (TextSpan{7, 3}));
    EXPECT_EQ(layout.Count(TextUnit::Characters, TextSpan{6, 5}), 5);
    // An empty range at a position belongs to the item holding it.
    EXPECT_EQ(layout.Items(TextUnit::Words, TextSpan{12, 0}), (std::vector<TextSpan>{{11, 7}}));
}

TEST(TextLayoutConsistency, CharacterFormBuildsTheSameInput) {
    // A host keeps a style per character and a format per paragraph.
    const std::wstring text = L"ab\rcd\r";
    std::vector<RunStyle> styles(text.size(), Style(10));
    styles[1] = Style(20);
    styles[2] = Style(30);  // the first paragraph's mark
    ParagraphFormat centred;
    centred.alignment = AlignCenter;
    TextLayoutInput in = TextLayoutInput::FromCharacters(text, styles, {centred, ParagraphFormat()}, Frame());
    ASSERT_EQ(in.Text(), text);
    ASSERT_EQ(in.paragraphs.size(), 3u);
    EXPECT_EQ(in.paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(in.paragraphs[0].markStyle, Style(30));
    EXPECT_EQ(in.paragraphs[0].format, centred);
    EXPECT_EQ(in.paragraphs[1].runs.size(), 1u);
    EXPECT_EQ(in.paragraphs[2].format, ParagraphFormat());  // repeats the last format given
    EXPECT_TRUE(in.paragraphs[2].runs.empty());
    // Fewer styles than characters: the last one carries on.
    TextLayoutInput shortStyles = TextLayoutInput::FromCharacters(L"xyz", {Style(12)}, {}, Frame());
    ASSERT_EQ(shortStyles.paragraphs.size(), 1u);
    EXPECT_EQ(shortStyles.paragraphs[0].runs, (std::vector<fonts::layout::Run>{{L"xyz", Style(12)}}));
}
