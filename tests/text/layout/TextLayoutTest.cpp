// Layout cases with expected bounds worked out from the font's own advances and line metrics.
#include "LayoutFixture.h"

#include <cmath>
#include <limits>

using namespace fonts::layout;
using namespace layouttest;

namespace {

enum class Expect { Left, Center, Right };

struct LineCase {
    const char* name;
    std::wstring text;
    float width;  // of the frame; the text is 20 pt Arial
    int alignment;
    bool wrap;
    std::vector<std::wstring> lines;
    Expect expect;
};

std::wstring Visible(const std::wstring& line) {
    std::size_t e = line.find_last_not_of(L" \t\v\r");
    return e == std::wstring::npos ? std::wstring() : line.substr(0, e + 1);
}

}  // namespace

TEST(TextLayout, WrapsAndAlignsLines) {
    REQUIRE_FONTS();
    const float s = 20.0f;
    const LineCase cases[] = {
        {"paragraph that wraps",
         L"alpha beta gamma delta",
         Advance(L"alpha beta gamma", s) - 1,
         AlignLeft,
         true,
         {L"alpha beta ", L"gamma delta"},
         Expect::Left},
        {"word longer than the line",
         L"mmmmmmmmmmmm",
         Advance(L"mmmmm", s) + 0.5f,
         AlignLeft,
         true,
         {L"mmmmm", L"mmmmm", L"mm"},
         Expect::Left},
        {"long word after a short one",
         L"ab mmmmmmmmmm",
         Advance(L"mmmmmmm", s) + 0.5f,
         AlignLeft,
         true,
         {L"ab ", L"mmmmmmm", L"mmm"},
         Expect::Left},
        {"blanks hang past the margin",
         L"aa    bb",
         Advance(L"aa", s) + 1,
         AlignLeft,
         true,
         {L"aa    ", L"bb"},
         Expect::Left},
        {"centred", L"centred text", 300, AlignCenter, true, {L"centred text"}, Expect::Center},
        {"centred lines wrap too",
         L"one two three",
         Advance(L"one two", s) + 1,
         AlignCenter,
         true,
         {L"one two ", L"three"},
         Expect::Center},
        {"right-aligned, trailing blank hangs", L"right ", 300, AlignRight, true, {L"right "}, Expect::Right},
        {"no wrap keeps one line",
         L"alpha beta gamma delta",
         40,
         AlignLeft,
         false,
         {L"alpha beta gamma delta"},
         Expect::Left},
        {"line break inside a paragraph", L"one\vtwo", 300, AlignLeft, true, {L"one\v", L"two"}, Expect::Left},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextLayoutInput in = Input(c.width);
        in.frame.wordWrap = c.wrap;
        ParagraphFormat f;
        f.alignment = c.alignment;
        in.AddRun(c.text, Style(s), f);
        CTextLayout layout;
        layout.SetInput(in);
        const auto& lines = layout.Lines();
        ASSERT_EQ(lines.size(), c.lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(TextOf(layout, lines[i].span), c.lines[i]);
            const float visible = Advance(Visible(c.lines[i]), s);
            float left = kLeft;
            if (c.expect == Expect::Center)
                left += (c.width - visible) / 2;
            else if (c.expect == Expect::Right)
                left += c.width - visible;
            EXPECT_NEAR(lines[i].bounds.left, left, kEps) << i;
            // The line's box runs over all its characters, blanks included.
            EXPECT_NEAR(lines[i].bounds.width, Advance(c.lines[i], s), kEps) << i;
            EXPECT_NEAR(lines[i].bounds.top, kTop + float(i) * Spacing(s), kEps) << i;
            EXPECT_NEAR(lines[i].bounds.height, Spacing(s), kEps) << i;
        }
    }
}

TEST(TextLayout, JustifyStretchesBlanksButNotTheLastLine) {
    REQUIRE_FONTS();
    const float s = 20.0f, width = Advance(L"aa bb cc d", s);
    for (int alignment : {AlignJustify, AlignDistribute}) {
        SCOPED_TRACE(alignment);
        TextLayoutInput in = Input(width);
        ParagraphFormat f;
        f.alignment = alignment;
        in.AddRun(L"aa bb cc dd ee", Style(s), f);
        CTextLayout layout;
        layout.SetInput(in);
        const auto& lines = layout.Lines();
        ASSERT_EQ(lines.size(), 2u);
        ASSERT_EQ(TextOf(layout, lines[0].span), L"aa bb cc ");
        // The first line's last letter ends at the margin; its two inner blanks share the slack.
        TextBox cc = layout.Bounds(TextSpan{6, 2});
        EXPECT_NEAR(cc.left + cc.width, kLeft + width, kEps);
        const float slack = width - Advance(L"aa bb cc", s);
        EXPECT_NEAR(layout.Bounds(TextSpan{3, 2}).left, kLeft + Advance(L"aa ", s) + slack / 2, kEps);
        // The last line stays left unless the paragraph is distributed, which spreads it too.
        TextBox ee = layout.Bounds(TextSpan{12, 2});
        if (alignment == AlignJustify)
            EXPECT_NEAR(ee.left, kLeft + Advance(L"dd ", s), kEps);
        else
            EXPECT_NEAR(ee.left + ee.width, kLeft + width, kEps);
    }
}

TEST(TextLayout, RunsOfDifferentSizesShareTheTallestLine) {
    REQUIRE_FONTS();
    TextLayoutInput in = Input(400);
    in.AddRun(L"small ", Style(10));
    in.AddRun(L"BIG", Style(20));
    in.AddRun(L" small", Style(10));
    CTextLayout layout;
    layout.SetInput(in);
    ASSERT_EQ(layout.Lines().size(), 1u);
    const LineInfo& line = layout.Lines()[0];
    auto m = Metrics();
    EXPECT_NEAR(line.extent, Spacing(20), kEps);
    EXPECT_NEAR(line.lineHeight, m->LineHeightEm() * 20, kEps);
    EXPECT_NEAR(line.ascent, m->AscentEm() * 20, kEps);
    EXPECT_NEAR(line.descent, m->DescentEm() * 20, kEps);
    // The baseline divides the line as the tallest piece's ascent divides its height.
    EXPECT_NEAR(line.baseline, line.extent * line.ascent / line.lineHeight, kEps);
    auto runs = layout.Items(TextUnit::Runs, TextSpan{0, -1});
    ASSERT_EQ(runs.size(), 3u);
    float x = kLeft;
    const float sizes[] = {10, 20, 10};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        TextBox b = layout.Bounds(runs[i]);
        EXPECT_NEAR(b.left, x, kEps);
        EXPECT_NEAR(b.width, Advance(TextOf(layout, runs[i]), sizes[i]), kEps);
        EXPECT_NEAR(b.top, kTop, kEps);
        EXPECT_NEAR(b.height, line.extent, kEps);
        x += b.width;
    }
    // Every glyph of the line sits on the same baseline.
    EXPECT_NEAR(layout.Char(0).originY, kTop + line.baseline, kEps);
    EXPECT_NEAR(layout.Char(7).originY, kTop + line.baseline, kEps);
}

TEST(TextLayout, ScriptsAreSmallerAndMoveOffTheBaseline) {
    REQUIRE_FONTS();
    const struct {
        bool super, sub;
        float offset, expectedShift;  // points up
    } cases[] = {{true, false, 0.0f, 0.3f * 20}, {false, true, 0.0f, -0.25f * 20}, {true, false, 0.5f, 0.5f * 20}};
    for (const auto& c : cases) {
        TextLayoutInput in = Input(400);
        in.AddRun(L"x", Style(20));
        RunStyle script = Style(20);
        script.superscript = c.super;
        script.subscript = c.sub;
        script.baselineOffset = c.offset;
        in.AddRun(L"2", script);
        CTextLayout layout;
        layout.SetInput(in);
        const LineInfo& line = layout.Lines()[0];
        CharPlacement two = layout.Char(1);
        // Drawn at two thirds of the whole points: 20 -> 13.
        EXPECT_FLOAT_EQ(two.size, 13.0f);
        EXPECT_NEAR(two.bounds.width, Advance(L"2", 13), kEps);
        EXPECT_NEAR(two.bounds.left, kLeft + Advance(L"x", 20), kEps);
        // A sub-range's top and height are its line's, raised or not.
        EXPECT_NEAR(two.bounds.top, kTop, kEps);
        EXPECT_NEAR(two.bounds.height, line.extent, kEps);
        EXPECT_NEAR(two.originY, kTop + line.baseline - c.expectedShift, kEps);
        // The line keeps the full-size run's metrics.
        EXPECT_NEAR(line.extent, Spacing(20), kEps);
    }
}

TEST(TextLayout, BulletsHangBeforeTheTextAtEachIndentLevel) {
    REQUIRE_FONTS();
    const float s = 20.0f;
    const float bulletWidth = Advance(L"\u2022", s);
    const struct {
        int level;
        float first, left;  // ruler level
        bool bullet;
        float textStart;    // expected first-line start, from the inner left
        float secondStart;  // expected start of wrapped lines
    } cases[] = {
        {1, 0, 27, true, 27, 27},                 // the gap is wider than the bullet
        {2, 27, 30, true, 27 + bulletWidth, 30},  // the bullet is wider than the gap
        {3, 54, 54, false, 54, 54},               // no bullet: first-line margin
        {4, 10, 40, false, 10, 40},               // first-line indent without bullet
        {5, 126, 126, true, 126 + bulletWidth, 126},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        TextLayoutInput in = Input(c.textStart + Advance(L"alpha beta ", s) + 1);
        in.frame.rulerLevels[std::size_t(c.level - 1)] = RulerLevel{c.first, c.left};
        ParagraphFormat f;
        f.indentLevel = c.level;
        f.bullet.visible = c.bullet;
        f.bullet.text = L"\u2022";
        in.AddRun(L"alpha beta gamma", Style(s), f);
        CTextLayout layout;
        layout.SetInput(in);
        const auto& lines = layout.Lines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_NEAR(lines[0].bounds.left, kLeft + c.textStart, kEps);
        EXPECT_NEAR(lines[1].bounds.left, kLeft + c.secondStart, kEps);
        BulletPlacement b = layout.BulletOf(0);
        EXPECT_EQ(b.shown, c.bullet);
        if (c.bullet) {
            const float hang = std::max(bulletWidth, std::fabs(c.first - c.left));
            EXPECT_NEAR(b.bounds.left, lines[0].bounds.left - hang, kEps);
            EXPECT_NEAR(b.bounds.width, bulletWidth, kEps);
            EXPECT_NEAR(b.bounds.top, lines[0].bounds.top, kEps);
            EXPECT_NEAR(b.bounds.height, lines[0].bounds.height, kEps);
            EXPECT_NEAR(b.originY, kTop + lines[0].baseline, kEps);
        }
    }

    // No bullet on an empty paragraph; a larger bullet makes the first line taller.
    TextLayoutInput in = Input(300);
    ParagraphFormat f;
    f.bullet.visible = true;
    f.bullet.text = L"\u2022";
    f.bullet.size = 40;
    in.AddRun(L"\rtext", Style(s), f);
    CTextLayout layout;
    layout.SetInput(in);
    EXPECT_FALSE(layout.BulletOf(0).shown);
    EXPECT_TRUE(layout.BulletOf(1).shown);
    EXPECT_NEAR(layout.Lines()[1].extent, Spacing(40), kEps);
    EXPECT_NEAR(layout.Lines()[0].extent, Spacing(s), kEps);
}

TEST(TextLayout, VerticalTextFlowsDownAndStacksLinesLeftwards) {
    REQUIRE_FONTS();
    const float s = 20.0f;
    // 120 wide, and tall enough for "alpha beta " but not "gamma" after it.
    TextLayoutInput in = Input(120, Advance(L"alpha beta gam", s));
    in.frame.orientation = OrientationVerticalFarEast;
    in.AddRun(L"alpha beta gamma", Style(s));
    CTextLayout layout;
    layout.SetInput(in);
    const auto& lines = layout.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(TextOf(layout, lines[0].span), L"alpha beta ");
    const float pitch = Spacing(s);
    for (std::size_t i = 0; i < 2; ++i) {
        // Lines are as wide as their pitch, the first one against the right edge.
        EXPECT_NEAR(lines[i].bounds.width, pitch, kEps);
        EXPECT_NEAR(lines[i].bounds.left, kLeft + 120 - pitch * float(i + 1), kEps);
        EXPECT_NEAR(lines[i].bounds.top, kTop, kEps);
        EXPECT_NEAR(lines[i].bounds.height, Advance(TextOf(layout, lines[i].span), s), kEps);
    }
    TextBox beta = layout.Bounds(TextSpan{6, 4});
    EXPECT_NEAR(beta.top, kTop + Advance(L"alpha ", s), kEps);
    EXPECT_NEAR(beta.height, Advance(L"beta", s), kEps);
    EXPECT_NEAR(beta.left, lines[0].bounds.left, kEps);
    EXPECT_NEAR(beta.width, pitch, kEps);
    // The baseline is measured from the line's right edge: glyph tops face right.
    EXPECT_NEAR(layout.Char(0).originX, kLeft + 120 - lines[0].baseline, kEps);
}

TEST(TextLayout, EmptyParagraphsKeepTheirLines) {
    REQUIRE_FONTS();
    TextLayoutInput in = Input(300);
    in.AddRun(L"one\r", Style(20));
    in.AddRun(L"\r", Style(30));  // an empty paragraph whose mark is 30 pt
    in.AddRun(L"two", Style(20));
    CTextLayout layout;
    layout.SetInput(in);
    ASSERT_EQ(layout.Text(), L"one\r\rtwo");
    const auto& lines = layout.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].span, (TextSpan{4, 1}));
    EXPECT_NEAR(lines[1].extent, Spacing(30), kEps);
    EXPECT_NEAR(lines[1].bounds.width, 0, kEps);
    EXPECT_NEAR(lines[2].bounds.top, kTop + Spacing(20) + Spacing(30), kEps);
    EXPECT_EQ(layout.Count(TextUnit::Paragraphs, TextSpan{0, -1}), 3);
    EXPECT_EQ(layout.Count(TextUnit::Lines, TextSpan{0, -1}), 3);
    EXPECT_EQ(layout.Sub(TextUnit::Paragraphs, TextSpan{0, -1}, 2, 1).span, (TextSpan{4, 1}));

    // A final mark leaves an empty last paragraph of length 0, which the whole text counts.
    TextLayoutInput tail = Input(300);
    tail.AddRun(L"one\r", Style(20));
    layout.SetInput(tail);
    EXPECT_EQ(layout.Count(TextUnit::Paragraphs, TextSpan{0, -1}), 2);
    EXPECT_EQ(layout.Sub(TextUnit::Lines, TextSpan{0, -1}, 2, 1).span, (TextSpan{4, 0}));
    TextBox caret = layout.Bounds(TextSpan{4, 0});
    EXPECT_NEAR(caret.top, kTop + Spacing(20), kEps);
    EXPECT_NEAR(caret.height, Spacing(20), kEps);

    // An empty text has no paragraphs, but its caret still has a place and a height.
    TextLayoutInput empty = Input(300);
    empty.AddRun(L"", Style(20));
    layout.SetInput(empty);
    EXPECT_EQ(layout.Count(TextUnit::Paragraphs, TextSpan{0, -1}), 0);
    EXPECT_EQ(layout.Count(TextUnit::Words, TextSpan{0, -1}), 0);
    TextBox box = layout.Bounds(TextSpan{0, -1});
    EXPECT_NEAR(box.left, kLeft, kEps);
    EXPECT_NEAR(box.height, Spacing(20), kEps);
}

TEST(TextLayout, InsetsAnchorsAndParagraphSpacing) {
    REQUIRE_FONTS();
    const float s = 20.0f, h = 200.0f;
    const struct {
        const char* name;
        int anchor;
        float before, after, within;
        bool inLines, withinInLines;
        float secondLineTop;  // from the inner top, before anchoring
    } cases[] = {
        {"top", AnchorTop, 0, 0, 1, true, true, Spacing(s)},
        {"middle", AnchorMiddle, 0, 0, 1, true, true, Spacing(s)},
        {"bottom", AnchorBottom, 0, 0, 1, true, true, Spacing(s)},
        {"space before and after in points", AnchorTop, 6, 4, 1, false, true, Spacing(s) + 4 + 6},
        {"spacing in lines", AnchorTop, 0.5f, 0.25f, 1.5f, true, true,
         1.5f * Spacing(s) + 0.25f * Spacing(s) + 0.5f * Spacing(s)},
        {"exact line spacing in points", AnchorTop, 0, 0, 30, true, false, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextLayoutInput in = Input(300, h);
        in.frame.marginLeft = 7.2f;
        in.frame.marginTop = 3.6f;
        in.frame.marginRight = 7.2f;
        in.frame.marginBottom = 3.6f;
        in.frame.verticalAnchor = c.anchor;
        ParagraphFormat f;
        f.spaceBefore = c.before;
        f.spaceAfter = c.after;
        f.spaceWithin = c.within;
        f.lineRuleBefore = f.lineRuleAfter = c.inLines;
        f.lineRuleWithin = c.withinInLines;
        in.AddRun(L"first\rsecond", Style(s), f);
        CTextLayout layout;
        layout.SetInput(in);
        const auto& lines = layout.Lines();
        ASSERT_EQ(lines.size(), 2u);
        const float pitch = c.withinInLines ? Spacing(s) * c.within : c.within;
        // No space before the first paragraph nor after the last.
        const float total = c.secondLineTop + pitch;
        const float inner = h - 7.2f;
        float offset = 0;
        if (c.anchor == AnchorMiddle)
            offset = (inner - total) / 2;
        else if (c.anchor == AnchorBottom)
            offset = inner - total;
        EXPECT_NEAR(lines[0].bounds.left, kLeft + 7.2f, kEps);
        EXPECT_NEAR(lines[0].bounds.top, kTop + 3.6f + offset, kEps);
        EXPECT_NEAR(lines[1].bounds.top, kTop + 3.6f + offset + c.secondLineTop, kEps);
        EXPECT_NEAR(lines[1].bounds.height, pitch, kEps);
    }
}

TEST(TextLayout, BadInputStaysFiniteAndBounded) {
    TextLayoutInput in = Input(std::nanf(""), -50);
    in.frame.marginLeft = std::numeric_limits<float>::infinity();
    RunStyle odd = Style(std::numeric_limits<float>::infinity(), L"");
    odd.baselineOffset = std::nanf("");
    ParagraphFormat f;
    f.indentLevel = 99;
    f.spaceWithin = -3;
    f.spaceBefore = std::nanf("");
    f.alignment = 77;
    f.bullet.visible = true;
    f.bullet.text = L"\u2022";
    f.bullet.size = -1;
    in.AddRun(L"text\twith\ttabs\r\r\v\x01 \x7f", odd, f);
    in.AddRun(L"\U0001F600", Style(0), f);
    in.frame.orientation = 12345;
    CTextLayout layout;
    layout.SetInput(in);
    for (const LineInfo& l : layout.Lines()) {
        EXPECT_TRUE(std::isfinite(l.bounds.left) && std::isfinite(l.bounds.top));
        EXPECT_TRUE(std::isfinite(l.bounds.width) && std::isfinite(l.bounds.height));
    }
    const int n = layout.TextLength();
    for (int k = -2; k <= n + 2; ++k) {
        TextBox b = layout.Bounds(TextSpan{k, 1});
        EXPECT_TRUE(std::isfinite(b.left) && std::isfinite(b.top) && std::isfinite(b.width) && std::isfinite(b.height));
    }
    EXPECT_EQ(layout.Sub(TextUnit::Words, TextSpan{0, -1}, 1000, 1).count, 0);
    EXPECT_EQ(layout.Sub(TextUnit::Characters, TextSpan{2, 3}, 2, 1000000).span, (TextSpan{3, 2}));
}

TEST(TextLayout, RecomputesOnlyWhenInputsChange) {
    TextLayoutInput in = Input(300);
    in.AddRun(L"some text", Style(20));
    CTextLayout layout;
    EXPECT_TRUE(layout.SetInput(in));
    const auto revision = layout.Revision();
    EXPECT_FALSE(layout.SetInput(in));
    EXPECT_EQ(layout.Revision(), revision);
    const float before = layout.Bounds(TextSpan{0, -1}).width;
    in.paragraphs[0].runs[0].style.size = 40;
    EXPECT_TRUE(layout.SetInput(in));
    EXPECT_GT(layout.Revision(), revision);
    EXPECT_GT(layout.Bounds(TextSpan{0, -1}).width, before);
    in.frame.left += 10;
    EXPECT_TRUE(layout.SetInput(in));
}

// Single spacing is 1.2 times the largest size on the line whatever the face, so a substituted
// face's own leading never moves the lines; spacing in lines and points builds on it.
TEST(TextLayout, LinePitchFollowsTheSizeNotTheFace) {
    REQUIRE_FONTS();
    struct Case {
        const wchar_t* font;
        float size, within;
        bool inLines;
        float pitch;
    };
    const Case cases[] = {
        {L"Arial", 20, 1, true, 24},        {L"Times New Roman", 20, 1, true, 24}, {L"DejaVu Sans", 20, 1, true, 24},
        {L"No Such Face", 20, 1, true, 24}, {L"Arial", 32, 0.9f, true, 34.56f},    {L"Arial", 32, 1.5f, true, 57.6f},
        {L"Arial", 32, 20, false, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " pt, " << c.within << (c.inLines ? " lines" : " points"));
        ParagraphFormat format;
        format.spaceWithin = c.within;
        format.lineRuleWithin = c.inLines;
        TextLayoutInput in = Input(400);
        in.AddRun(L"one\vtwo\vthree", Style(c.size, c.font), format);
        CTextLayout layout;
        layout.SetInput(in);
        const auto& lines = layout.Lines();
        ASSERT_EQ(lines.size(), 3u);
        for (const LineInfo& line : lines) EXPECT_NEAR(line.extent, c.pitch, 1e-3);
        EXPECT_NEAR(lines[2].bounds.top - lines[0].bounds.top, 2 * c.pitch, 1e-3);
    }
}
