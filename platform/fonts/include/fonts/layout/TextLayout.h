#pragma once
// Text layout of one text frame: paragraphs of styled runs wrapped into lines inside the frame,
// measured with the metrics of the system faces the movie embeds. The host answers a TextRange's
// Paragraphs, Lines, Words, Runs, Characters and Bound* from it.
//
// Positions are 0-based character offsets in the frame's whole text, where paragraphs are
// joined by '\r' (the last one has none). Bounds are points on the slide.

#include "fonts/FontMetrics.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fonts::layout {

// Values as the presentation object model spells them.
enum Alignment : int { AlignLeft = 1, AlignCenter = 2, AlignRight = 3, AlignJustify = 4, AlignDistribute = 5 };
enum VerticalAnchor : int { AnchorTop = 1, AnchorMiddle = 3, AnchorBottom = 4 };
enum HorizontalAnchor : int { AnchorNone = 1, AnchorCenter = 2 };
enum Orientation : int {
    OrientationHorizontal = 1,
    OrientationUpward = 2,
    OrientationDownward = 3,
    OrientationVerticalFarEast = 4,
    OrientationVertical = 5
};

struct RunStyle {
    std::wstring fontName = L"Arial";
    float size = 18.0f;  // points, as the font states it
    bool bold = false, italic = false, underline = false;
    bool superscript = false, subscript = false;
    float baselineOffset = 0.0f;  // fraction of the size, positive up; 0 takes the script's default
    bool operator==(const RunStyle& o) const;
    bool operator!=(const RunStyle& o) const { return !(*this == o); }
};

struct Run {
    std::wstring text;  // '\v' (and a stray '\r' or '\n') breaks the line inside the paragraph
    RunStyle style;
    bool operator==(const Run& o) const { return text == o.text && style == o.style; }
};

struct Bullet {
    bool visible = false;
    std::wstring text;      // what is drawn: the character, or the number with its punctuation
    std::wstring fontName;  // empty: the font of the paragraph's first character
    bool bold = false, italic = false;
    float size = 0.0f;  // points; 0: the size of the paragraph's first character
    bool operator==(const Bullet& o) const;
};

struct ParagraphFormat {
    int alignment = AlignLeft;
    int indentLevel = 1;  // 1 to 5, picks the ruler level
    float spaceWithin = 1.0f, spaceBefore = 0.0f, spaceAfter = 0.0f;
    bool lineRuleWithin = true, lineRuleBefore = true, lineRuleAfter = true;  // true: in lines, false: points
    Bullet bullet;
    bool operator==(const ParagraphFormat& o) const;
};

struct Paragraph {
    std::vector<Run> runs;
    RunStyle markStyle;  // the paragraph mark's style: an empty paragraph is as tall as it
    ParagraphFormat format;
    bool operator==(const Paragraph& o) const {
        return runs == o.runs && markStyle == o.markStyle && format == o.format;
    }
};

struct RulerLevel {
    float firstMargin = 0.0f, leftMargin = 0.0f;  // points from the inner left edge
    bool operator==(const RulerLevel& o) const { return firstMargin == o.firstMargin && leftMargin == o.leftMargin; }
};

struct Frame {
    float left = 0, top = 0, width = 0, height = 0;  // the shape on the slide, points
    float marginLeft = 7.2f, marginTop = 3.6f, marginRight = 7.2f, marginBottom = 3.6f;
    int orientation = OrientationHorizontal;
    int verticalAnchor = AnchorTop;
    int horizontalAnchor = AnchorNone;
    bool wordWrap = true;
    // Shape-to-fit sizing is already in the stored size, so the layout takes the frame as it is.
    int autoSize = 0;
    std::array<RulerLevel, 5> rulerLevels{{{0, 0}, {27, 27}, {54, 54}, {90, 90}, {126, 126}}};
    bool operator==(const Frame& o) const;
};

struct TextLayoutInput {
    std::vector<Paragraph> paragraphs;
    Frame frame;
    bool operator==(const TextLayoutInput& o) const { return paragraphs == o.paragraphs && frame == o.frame; }

    // Appends a run to the last paragraph (making one when there is none); each '\r' in the text
    // starts a new paragraph with `format`. The paragraph mark takes the run's style.
    void AddRun(const std::wstring& text, const RunStyle& style = RunStyle(),
                const ParagraphFormat& format = ParagraphFormat());
    std::wstring Text() const;

    // From a text kept as characters: one style per character (the '\r' marks included) and one
    // format per paragraph, as a host stores them. Missing entries repeat the last one given.
    static TextLayoutInput FromCharacters(const std::wstring& text, const std::vector<RunStyle>& charStyles,
                                          const std::vector<ParagraphFormat>& paragraphFormats, const Frame& frame);
};

enum class TextUnit { Characters, Words, Lines, Paragraphs, Runs };

struct TextSpan {
    int start = 0;   // 0-based
    int length = 0;  // characters
    bool operator==(const TextSpan& o) const { return start == o.start && length == o.length; }
};

struct TextBox {
    float left = 0, top = 0, width = 0, height = 0;
};

// A sub-range as an object-model collection call returns it: its characters and how many items
// of the asked unit it holds (what its Count answers).
struct SubRange {
    TextSpan span;
    int count = 0;
};

struct LineInfo {
    TextSpan span;       // with its trailing blanks and its line or paragraph mark
    int paragraph = 0;   // 0-based
    TextBox bounds;      // the line's characters; top and height are the line's
    float extent = 0;    // line pitch across the flow (its height, or its width in vertical text)
    float baseline = 0;  // from the line's leading edge (top, or right in vertical text)
    float ascent = 0, descent = 0, lineHeight = 0;  // of the tallest piece, points (descent < 0)
};

struct BulletPlacement {
    bool shown = false;
    std::wstring text;
    TextBox bounds;                  // width (height in vertical text) is the bullet text's own advance
    float originX = 0, originY = 0;  // where its baseline starts
    float size = 0;
    std::shared_ptr<const fonts::CFontMetrics> metrics;
};

struct CharPlacement {
    TextBox bounds;
    float originX = 0, originY = 0;  // pen position on the baseline (the far-east vertical
                                     // layout turns glyphs a quarter clockwise about it)
    float size = 0;                  // the size the glyph is drawn at
    int line = 0;
    std::shared_ptr<const fonts::CFontMetrics> metrics;
};

class CTextLayout {
public:
    CTextLayout();
    ~CTextLayout();
    CTextLayout(const CTextLayout&) = delete;
    CTextLayout& operator=(const CTextLayout&) = delete;

    // Takes new inputs; the layout is recomputed (lazily) only when they differ from the last.
    // Returns true when they did.
    bool SetInput(const TextLayoutInput& input);
    const TextLayoutInput& Input() const;
    // Grows by one whenever the inputs change.
    std::uint64_t Revision() const;

    const std::wstring& Text();
    int TextLength();

    // Items of a unit overlapping a range (whole items, not cut to the range), in text order.
    std::vector<TextSpan> Items(TextUnit unit, TextSpan range);
    int Count(TextUnit unit, TextSpan range);
    // A collection member as the object model calls it on a range: items `start` (from 1)
    // onwards, `length` of them; start < 1 with length < 0 asks for them all. Characters are
    // counted within the range. Beyond the end: an empty span at the range's end, count 0.
    SubRange Sub(TextUnit unit, TextSpan range, int start, int length);

    // Bounding box of the characters of a range: the union over its lines of the characters'
    // advances, each with its line's top and height. An empty range gives the caret box.
    TextBox Bounds(TextSpan range);

    const std::vector<LineInfo>& Lines();
    // The paragraph's bullet as laid out; shown only when visible and the paragraph has text.
    BulletPlacement BulletOf(int paragraph);
    CharPlacement Char(int position);
    // The frame's inner rectangle (frame minus insets), where the text flows.
    TextBox InnerBox() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

}  // namespace fonts::layout
