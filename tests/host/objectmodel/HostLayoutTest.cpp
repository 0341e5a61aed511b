// Text layout through the object model: lines, bounds and the collections that the text path
// walks, checked against the metrics of the faces the layout measures with.

#include "fonts/FontMetrics.h"
#include "powerpoint/host/PowerPointHost.h"
#include "powerpoint/layout/HostTextLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

constexpr float kTol = 0.01f;
// The shape every case lays out in: its inner box is the frame less the default insets.
constexpr float kLeft = 100, kTop = 50, kWidth = 300, kHeight = 200;
constexpr float kInnerLeft = kLeft + 7.2f, kInnerTop = kTop + 3.6f, kInnerWidth = kWidth - 14.4f;

using SubMethod = HRESULT (TextRange::*)(LONG, LONG, TextRange**);

struct Box {
    float left = 0, top = 0, width = 0, height = 0;
};

Box Bounds(TextRange* r) {
    Box b;
    EXPECT_EQ(S_OK, r->get_BoundLeft(&b.left));
    EXPECT_EQ(S_OK, r->get_BoundTop(&b.top));
    EXPECT_EQ(S_OK, r->get_BoundWidth(&b.width));
    EXPECT_EQ(S_OK, r->get_BoundHeight(&b.height));
    return b;
}

std::wstring Text(TextRange* r) {
    BSTR b = nullptr;
    EXPECT_EQ(S_OK, r->get_Text(&b));
    std::wstring s = WStringFromBstr(b);
    SysFreeString(b);
    return s;
}

LONG Count(TextRange* r) {
    LONG n = -1;
    EXPECT_EQ(S_OK, r->get_Count(&n));
    return n;
}

LONG Start(TextRange* r) {
    LONG s = -1;
    EXPECT_EQ(S_OK, r->get_Start(&s));
    return s;
}

LONG Length(TextRange* r) {
    LONG n = -1;
    EXPECT_EQ(S_OK, r->get_Length(&n));
    return n;
}

CComPtr<TextRange> Sub(TextRange* r, SubMethod m, LONG start, LONG length) {
    CComPtr<TextRange> out;
    EXPECT_EQ(S_OK, (r->*m)(start, length, &out));
    return out;
}

const fonts::CFontMetrics& Arial(bool bold = false) { return *fonts::GetFontMetrics(L"Arial", bold, false); }

float Advance(const std::wstring& s, float size, bool bold = false) {
    float w = 0;
    for (wchar_t c : s) w += Arial(bold).AdvanceEm(char32_t(c)) * size;
    return w;
}

float Pitch(float size) { return 1.2f * size; }  // single spacing, whatever the face

FontData Sized(float size) {
    FontData f;
    f.size = size;
    return f;
}

struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* shape;
    Deck() {
        shape = doc->AddSlide()->AddShape(msoTextBox, L"Text", kLeft, kTop, kWidth, kHeight);
        shape->data.hasTextFrame = msoTrue;
    }
    CComPtr<TextRange> All() {
        CComPtr<TextFrame> frame;
        EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
        CComPtr<TextRange> all;
        EXPECT_EQ(S_OK, frame->get_TextRange(&all));
        return all;
    }
    CComPtr<TextRange> Line(LONG i) { return Sub(All(), &TextRange::Lines, i, 1); }
};

void ExpectBox(const Box& actual, const Box& expected) {
    EXPECT_NEAR(expected.left, actual.left, kTol);
    EXPECT_NEAR(expected.top, actual.top, kTol);
    EXPECT_NEAR(expected.width, actual.width, kTol);
    EXPECT_NEAR(expected.height, actual.height, kTol);
}

TEST(HostLayout, ParagraphWrapsAtWordsAndLinesStackByTheFontsSpacing) {
    Deck d;
    const std::wstring para = L"The quick brown fox jumps over the lazy dog and keeps running far away";
    d.shape->data.text.AddRun(para);
    CComPtr<TextRange> lines = Sub(d.All(), &TextRange::Lines, -1, -1);
    const LONG n = Count(lines);
    ASSERT_GE(n, 2);
    std::wstring joined;
    for (LONG i = 1; i <= n; ++i) {
        SCOPED_TRACE(i);
        CComPtr<TextRange> line = d.Line(i);
        const std::wstring text = Text(line);
        joined += text;
        // A line breaks after the blanks that follow its last whole word.
        if (i < n) {
            EXPECT_EQ(L' ', text.back());
        }
        std::wstring visible = text;
        while (!visible.empty() && visible.back() == L' ') visible.pop_back();
        const Box b = Bounds(line);
        EXPECT_NEAR(kInnerLeft, b.left, kTol);
        EXPECT_NEAR(kInnerTop + Pitch(18) * float(i - 1), b.top, kTol);
        EXPECT_NEAR(Pitch(18), b.height, kTol);
        EXPECT_LE(Advance(visible, 18), kInnerWidth + kTol);
        // The next word would not have fitted.
        if (i < n) {
            CComPtr<TextRange> nextWord = Sub(d.Line(i + 1), &TextRange::Words, 1, 1);
            std::wstring word = Text(nextWord);
            while (!word.empty() && word.back() == L' ') word.pop_back();
            EXPECT_GT(Advance(text + word, 18), kInnerWidth);
        }
    }
    EXPECT_EQ(para, joined);
    // The whole text's box spans every line.
    const Box all = Bounds(d.All());
    EXPECT_NEAR(kInnerTop, all.top, kTol);
    EXPECT_NEAR(Pitch(18) * float(n), all.height, kTol);
}

TEST(HostLayout, WordLongerThanTheLineIsCutAtTheMargin) {
    Deck d;
    d.shape->data.width = 100;  // 85.6 points inside
    const std::wstring word(40, L'W');
    d.shape->data.text.AddRun(L"Go " + word);
    CComPtr<TextRange> lines = Sub(d.All(), &TextRange::Lines, -1, -1);
    const LONG n = Count(lines);
    // "Go " alone, then the long word over as many lines as its letters need.
    const float wide = Advance(L"W", 18);
    const int perLine = int(std::floor((85.6f + 0.01f) / wide));
    EXPECT_EQ(L"Go ", Text(d.Line(1)));
    EXPECT_EQ(1 + (40 + perLine - 1) / perLine, n);
    LONG letters = 0;
    for (LONG i = 2; i <= n; ++i) {
        CComPtr<TextRange> line = d.Line(i);
        letters += Length(line);
        EXPECT_LE(Bounds(line).width, 85.6f + kTol);
        // The word's pieces on each line all belong to one word of the whole text.
        CComPtr<TextRange> words = Sub(line, &TextRange::Words, -1, -1);
        EXPECT_EQ(1, Count(words));
    }
    EXPECT_EQ(40, letters);
    EXPECT_EQ(perLine, Length(d.Line(2)));
}

TEST(HostLayout, AlignmentPlacesTheLineInTheInnerBox) {
    struct Case {
        const char* name;
        PpParagraphAlignment alignment;
        float left;  // of "Hello" (its width w)
    };
    const float w = Advance(L"Hello", 18);
    const Case cases[] = {
        {"left", ppAlignLeft, kInnerLeft},
        {"centre", ppAlignCenter, kInnerLeft + (kInnerWidth - w) / 2},
        {"right", ppAlignRight, kInnerLeft + kInnerWidth - w},
        {"justify leaves a last line alone", ppAlignJustify, kInnerLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        ParagraphData p;
        p.alignment = c.alignment;
        d.shape->data.text.AddRun(L"Hello", FontData(), p);
        ExpectBox(Bounds(d.All()), {c.left, kInnerTop, w, Pitch(18)});
    }
}

TEST(HostLayout, JustifiedLinesFillTheWidthExceptTheLast) {
    Deck d;
    ParagraphData p;
    p.alignment = ppAlignJustify;
    d.shape->data.text.AddRun(L"Justified text spreads its words across the whole width of the frame, line by line",
                              FontData(), p);
    const LONG n = Count(Sub(d.All(), &TextRange::Lines, -1, -1));
    ASSERT_GE(n, 2);
    for (LONG i = 1; i < n; ++i) {
        SCOPED_TRACE(i);
        CComPtr<TextRange> line = d.Line(i);
        // Trailing blanks hang past the margin: the visible words end exactly at it.
        std::wstring text = Text(line);
        LONG visible = LONG(text.find_last_not_of(L' ') + 1);
        const Box b = Bounds(Sub(line, &TextRange::Characters, 1, visible));
        EXPECT_NEAR(kInnerLeft, b.left, kTol);
        EXPECT_NEAR(kInnerWidth, b.width, 0.05f);
    }
    CComPtr<TextRange> last = d.Line(n);
    EXPECT_NEAR(Advance(Text(last), 18), Bounds(last).width, kTol);
}

TEST(HostLayout, TwoSizesOnOneLineShareTheTallerLine) {
    Deck d;
    d.shape->data.text.AddRun(L"small ", Sized(10));
    d.shape->data.text.AddRun(L"BIG", Sized(30));
    CComPtr<TextRange> all = d.All();
    EXPECT_EQ(1, Count(Sub(all, &TextRange::Lines, -1, -1)));
    CComPtr<TextRange> runs = Sub(all, &TextRange::Runs, -1, -1);
    ASSERT_EQ(2, Count(runs));
    const Box small = Bounds(Sub(runs, &TextRange::Runs, 1, 1));
    const Box big = Bounds(Sub(runs, &TextRange::Runs, 2, 1));
    // A sub-range's top and height are its line's: the 30-point run's.
    ExpectBox(small, {kInnerLeft, kInnerTop, Advance(L"small ", 10), Pitch(30)});
    ExpectBox(big, {kInnerLeft + Advance(L"small ", 10), kInnerTop, Advance(L"BIG", 30), Pitch(30)});
}

TEST(HostLayout, SuperscriptIsDrawnSmallerInItsLine) {
    Deck d;
    FontData sup;
    sup.superscript = msoTrue;
    sup.baselineOffset = 0.3f;
    d.shape->data.text.AddRun(L"x", Sized(18));
    d.shape->data.text.AddRun(L"2", sup);
    CComPtr<TextRange> two = Sub(d.All(), &TextRange::Characters, 2, 1);
    // Raised text is drawn at two thirds of its size, whole points.
    const Box b = Bounds(two);
    EXPECT_NEAR(kInnerLeft + Advance(L"x", 18), b.left, kTol);
    EXPECT_NEAR(Advance(L"2", 12), b.width, kTol);
    EXPECT_NEAR(kInnerTop, b.top, kTol);
    EXPECT_NEAR(Pitch(18), b.height, kTol);
}

TEST(HostLayout, BulletsAndIndentLevelsMoveTheText) {
    struct Case {
        const char* name;
        LONG level;
        PpBulletType type;
        LONG character;
        PpNumberedBulletStyle style;
        std::wstring bulletText;  // what hangs before the text
    };
    const Case cases[] = {
        {"plain, level 1", 1, ppBulletNone, 0, 0, L""},
        {"plain, level 2", 2, ppBulletNone, 0, 0, L""},
        {"bullet, level 1", 1, ppBulletUnnumbered, 0x2022, 0, L"\x2022"},
        {"bullet, level 3", 3, ppBulletUnnumbered, L'-', 0, L"-"},
        {"numbered 3.", 1, ppBulletNumbered, 0, ppBulletArabicPeriod, L"3."},
        {"numbered (iii)", 2, ppBulletNumbered, 0, 4, L"(iii)"},
    };
    const float rulers[] = {0, 27, 54, 90, 126};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        ParagraphData p;
        p.indentLevel = c.level;
        p.bullet.type = c.type;
        p.bullet.visible = c.type == ppBulletNone ? msoFalse : msoTrue;
        p.bullet.character = c.character;
        p.bullet.style = c.style;
        p.bullet.startValue = 3;
        d.shape->data.text.AddRun(L"Point", FontData(), p);
        const Box b = Bounds(d.All());
        EXPECT_NEAR(kInnerLeft + rulers[c.level - 1] + Advance(c.bulletText, 18), b.left, kTol);
        EXPECT_NEAR(Advance(L"Point", 18), b.width, kTol);
        LONG level = 0;
        d.All()->get_IndentLevel(&level);
        EXPECT_EQ(c.level, level);
    }
}

TEST(HostLayout, HangingRulerIndentAndBulletSize) {
    Deck d;
    d.shape->data.text.rulerLevels[0] = {0, 36};  // first line at 0, the rest at 36
    ParagraphData p;
    p.bullet.type = ppBulletUnnumbered;
    p.bullet.visible = msoTrue;
    p.bullet.relativeSize = 0.5f;
    d.shape->data.text.AddRun(L"First line of a paragraph long enough to need a second line of text", FontData(), p);
    ASSERT_GE(Count(Sub(d.All(), &TextRange::Lines, -1, -1)), 2);
    // The bullet is narrower than the hanging gap, so the text starts at the gap.
    EXPECT_LT(Advance(L"\x2022", 9), 36.0f);
    EXPECT_NEAR(kInnerLeft + 36, Bounds(d.Line(1)).left, kTol);
    EXPECT_NEAR(kInnerLeft + 36, Bounds(d.Line(2)).left, kTol);
}

TEST(HostLayout, VerticalTextFlowsDownAndLinesStackFromTheRight) {
    Deck d;
    d.shape->data.text.orientation = msoTextOrientationVerticalFarEast;
    d.shape->data.text.AddRun(L"Down\vNext");
    CComPtr<TextRange> all = d.All();
    ASSERT_EQ(2, Count(Sub(all, &TextRange::Lines, -1, -1)));
    const float innerRight = kLeft + kWidth - 7.2f;
    const Box first = Bounds(Sub(all, &TextRange::Characters, 1, 4));
    ExpectBox(first, {innerRight - Pitch(18), kInnerTop, Pitch(18), Advance(L"Down", 18)});
    const Box second = Bounds(d.Line(2));
    EXPECT_NEAR(innerRight - 2 * Pitch(18), second.left, kTol);
    EXPECT_NEAR(kInnerTop, second.top, kTol);
}

TEST(HostLayout, EmptyParagraphsTakeALineOfTheirMarksSize) {
    Deck d;
    d.shape->data.text.AddRun(L"A\r", Sized(18));
    d.shape->data.text.AddRun(L"\r", Sized(36));
    d.shape->data.text.AddRun(L"B", Sized(18));
    CComPtr<TextRange> all = d.All();
    CComPtr<TextRange> paragraphs = Sub(all, &TextRange::Paragraphs, -1, -1);
    ASSERT_EQ(3, Count(paragraphs));
    ASSERT_EQ(3, Count(Sub(all, &TextRange::Lines, -1, -1)));
    CComPtr<TextRange> empty = Sub(paragraphs, &TextRange::Paragraphs, 2, 1);
    CComPtr<TextRange> emptyLines = Sub(empty, &TextRange::Lines, -1, -1);
    EXPECT_EQ(1, Count(emptyLines));
    EXPECT_EQ(L"\r", Text(emptyLines));
    const Box b = Bounds(emptyLines);
    EXPECT_NEAR(kInnerTop + Pitch(18), b.top, kTol);
    EXPECT_NEAR(Pitch(36), b.height, kTol);
    EXPECT_NEAR(kInnerTop + Pitch(18) + Pitch(36), Bounds(d.Line(3)).top, kTol);
    // An empty frame still answers: one empty line at the inner corner.
    Deck blank;
    const Box none = Bounds(blank.All());
    EXPECT_NEAR(kInnerLeft, none.left, kTol);
    EXPECT_NEAR(kInnerTop, none.top, kTol);
    EXPECT_EQ(0.0f, none.width);
}

TEST(HostLayout, AnchorsAndInsetsMoveTheBlock) {
    struct Case {
        const char* name;
        MsoVerticalAnchor anchor;
        float marginTop, marginBottom;
        float top;
    };
    const Case cases[] = {
        {"top", msoAnchorTop, 3.6f, 3.6f, kTop + 3.6f},
        {"top, wide inset", msoAnchorTop, 20, 3.6f, kTop + 20},
        {"middle", msoAnchorMiddle, 3.6f, 3.6f, kTop + 3.6f + (kHeight - 7.2f - Pitch(18)) / 2},
        {"bottom", msoAnchorBottom, 3.6f, 10, kTop + kHeight - 10 - Pitch(18)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        d.shape->data.text.verticalAnchor = c.anchor;
        d.shape->data.text.marginTop = c.marginTop;
        d.shape->data.text.marginBottom = c.marginBottom;
        d.shape->data.text.AddRun(L"Anchored");
        EXPECT_NEAR(c.top, Bounds(d.All()).top, kTol);
    }
}

// Every line's words, runs and characters lie in the line, with the line's top and height, and
// the collections asked on sub-ranges agree with the whole text's.
TEST(HostLayout, CollectionsAndSubRangesAgree) {
    Deck d;
    FontData bold;
    bold.bold = msoTrue;
    bold.size = 24;
    d.shape->data.text.AddRun(L"Plain words then ");
    d.shape->data.text.AddRun(L"bold larger words", bold);
    d.shape->data.text.AddRun(L" and plain again across lines\rSecond paragraph, short.\r");
    d.shape->data.text.AddRun(L"Third");
    CComPtr<TextRange> all = d.All();
    CComPtr<TextRange> lines = Sub(all, &TextRange::Lines, 0, -1);
    const LONG lineCount = Count(lines);
    ASSERT_GE(lineCount, 4);

    // Lines of the paragraphs add up to the whole text's lines, in the same places.
    LONG seen = 0;
    CComPtr<TextRange> paragraphs = Sub(all, &TextRange::Paragraphs, 0, -1);
    for (LONG p = 1; p <= Count(paragraphs); ++p) {
        CComPtr<TextRange> para = Sub(paragraphs, &TextRange::Paragraphs, p, 1);
        CComPtr<TextRange> paraLines = Sub(para, &TextRange::Lines, -1, -1);
        for (LONG i = 1; i <= Count(paraLines); ++i) {
            CComPtr<TextRange> a = Sub(paraLines, &TextRange::Lines, i, 1);
            CComPtr<TextRange> b = Sub(lines, &TextRange::Lines, seen + i, 1);
            EXPECT_EQ(Start(b), Start(a));
            EXPECT_EQ(Length(b), Length(a));
            ExpectBox(Bounds(a), Bounds(b));
        }
        seen += Count(paraLines);
    }
    EXPECT_EQ(lineCount, seen);

    for (LONG i = 1; i <= lineCount; ++i) {
        SCOPED_TRACE(i);
        CComPtr<TextRange> line = Sub(lines, &TextRange::Lines, i, 1);
        const Box lb = Bounds(line);
        const LONG lineStart = Start(line), lineEnd = lineStart + Length(line);
        CComPtr<TextRange> words = Sub(line, &TextRange::Words, -1, -1);
        for (LONG w = 1; w <= Count(words); ++w) {
            CComPtr<TextRange> word = Sub(words, &TextRange::Words, w, 1);
            EXPECT_GE(Start(word), lineStart);
            EXPECT_LE(Start(word) + Length(word), lineEnd);
            const Box wb = Bounds(word);
            EXPECT_NEAR(lb.top, wb.top, kTol);
            EXPECT_NEAR(lb.height, wb.height, kTol);
            EXPECT_GE(wb.left, lb.left - kTol);
            EXPECT_LE(wb.left + wb.width, lb.left + lb.width + kTol);
            // The word's runs and characters are the whole text's at the same places.
            CComPtr<TextRange> runs = Sub(word, &TextRange::Runs, -1, -1);
            for (LONG r = 1; r <= Count(runs); ++r) {
                CComPtr<TextRange> run = Sub(runs, &TextRange::Runs, r, 1);
                CComPtr<TextRange> chars = Sub(word, &TextRange::Characters, Start(run) - Start(word) + 1, Length(run));
                CComPtr<TextRange> same = Sub(all, &TextRange::Characters, Start(run), Length(run));
                EXPECT_EQ(Text(run), Text(chars));
                ExpectBox(Bounds(chars), Bounds(same));
                ExpectBox(Bounds(run), Bounds(same));
            }
        }
    }
}

// The layout follows writes made through the object model and edits made by the builder.
TEST(HostLayout, LayoutFollowsTextAndFrameChanges) {
    Deck d;
    d.shape->data.text.AddRun(L"Some words that fit on one line");
    CComPtr<TextRange> all = d.All();
    EXPECT_EQ(1, Count(Sub(all, &TextRange::Lines, -1, -1)));

    struct Step {
        const char* name;
        std::function<void(Deck&)> change;
        std::function<void(Deck&)> check;
    };
    const Step steps[] = {
        {"narrower shape wraps", [](Deck& x) { ASSERT_EQ(S_OK, x.shape->Interface()->put_Width(80)); },
         [](Deck& x) { EXPECT_GT(Count(Sub(x.All(), &TextRange::Lines, -1, -1)), 2); }},
        {"moved shape moves the text", [](Deck& x) { ASSERT_EQ(S_OK, x.shape->Interface()->put_Left(10)); },
         [](Deck& x) { EXPECT_NEAR(17.2f, Bounds(x.All()).left, kTol); }},
        {"new text through the range", [](Deck& x) { ASSERT_EQ(S_OK, x.All()->put_Text(CBstr(L"Hi"))); },
         [](Deck& x) {
             EXPECT_EQ(1, Count(Sub(x.All(), &TextRange::Lines, -1, -1)));
             EXPECT_NEAR(Advance(L"Hi", 18), Bounds(x.All()).width, kTol);
         }},
        {"size through the font",
         [](Deck& x) {
             CComPtr<Font> font;
             ASSERT_EQ(S_OK, x.All()->get_Font(&font));
             ASSERT_EQ(S_OK, font->put_Size(36));
         },
         [](Deck& x) { EXPECT_NEAR(Advance(L"Hi", 36), Bounds(x.All()).width, kTol); }},
        {"builder edits the text", [](Deck& x) { x.shape->data.text.AddRun(L"!", Sized(36)); },
         [](Deck& x) { EXPECT_NEAR(Advance(L"Hi!", 36), Bounds(x.All()).width, kTol); }},
        {"builder sets the text alone", [](Deck& x) { x.shape->data.text.text = L"A\rB"; },
         [](Deck& x) {
             EXPECT_EQ(2, Count(Sub(x.All(), &TextRange::Lines, -1, -1)));
             EXPECT_EQ(2u, x.shape->data.text.paragraphs.size());
         }},
        {"builder edits a font and says so",
         [](Deck& x) {
             for (FontData& f : x.shape->data.text.charFonts) f.size = 10;
             x.doc->Touch();
         },
         [](Deck& x) { EXPECT_NEAR(Pitch(10), Bounds(x.Line(2)).height, kTol); }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.change(d);
        s.check(d);
    }
}

}  // namespace

namespace {

TEST(HostLayout, NumberedBulletTexts) {
    // Numbers count on through a run of numbered paragraphs of one level; deeper ones are skipped.
    TextData t;
    ParagraphData numbered;
    numbered.bullet.type = ppBulletNumbered;
    numbered.bullet.visible = msoTrue;
    numbered.bullet.style = 9;  // a)
    ParagraphData deeper = numbered;
    deeper.indentLevel = 2;
    t.AddRun(L"a\r", FontData(), numbered);
    t.AddRun(L"b\r", FontData(), deeper);
    t.AddRun(L"c", FontData(), numbered);
    t.paragraphs = {numbered, deeper, numbered};
    EXPECT_EQ(L"a)", BulletText(t, 0));
    EXPECT_EQ(L"a)", BulletText(t, 1));
    EXPECT_EQ(L"b)", BulletText(t, 2));
}

}  // namespace

namespace {

// Builder code that sets a text without its fonts leaves the host answering, not crashing.
TEST(HostLayout, TextSetWithoutFontsStillAnswers) {
    Deck d;
    d.shape->data.text.text = L"Bare text\rand more";
    CComPtr<TextRange> all = d.All();
    CComPtr<Font> font;
    ASSERT_EQ(S_OK, all->get_Font(&font));
    float size = 0;
    EXPECT_EQ(S_OK, font->get_Size(&size));
    EXPECT_EQ(S_OK, font->put_Size(20));
    EXPECT_EQ(2, Count(Sub(all, &TextRange::Lines, -1, -1)));
    d.shape->data.text.text += L" again";
    ASSERT_EQ(S_OK, Sub(all, &TextRange::Words, 1, 1)->put_Text(CBstr(L"Plain ")));
    EXPECT_EQ(L"Plain text\rand more again", d.shape->data.text.text);
    EXPECT_EQ(d.shape->data.text.text.size(), d.shape->data.text.charFonts.size());
}

}  // namespace
