// The layout runs in "flow" coordinates: u along the lines from the inner edge where lines start,
// v across them from the edge where the first line lies. Only answers are mapped to the slide,
// which lets one algorithm serve horizontal and vertical text.
#include "fonts/layout/TextLayout.h"

#include <algorithm>
#include <cmath>

namespace fonts::layout {
namespace {

constexpr float kDefaultTab = 72.0f;  // a default tab stop every inch
constexpr float kMaxSize = 4000.0f;   // no real text is larger; keeps bad sizes finite
constexpr float kFitSlack = 0.01f;    // rounding room before a glyph counts as overflowing
// Single spacing is this many times the largest size on the line, whatever the face: the
// presentation application's rule, which keeps a substituted face's own leading (or a symbol
// face's generous ascent) from moving the lines.
constexpr float kSingleSpacing = 1.2f;

float Finite(float v, float fallback = 0.0f) { return std::isfinite(v) ? v : fallback; }

bool IsLineBreak(wchar_t c) { return c == L'\v' || c == L'\r' || c == L'\n'; }
// Characters lines may break after, that hang past the margin instead of wrapping.
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; }
bool IsStretchable(wchar_t c) { return c == L' ' || c == 0x3000; }

struct StyleInfo {
    RunStyle style;
    std::shared_ptr<const fonts::CFontMetrics> metrics;
    float drawSize = 0;  // super- and subscripts are drawn at two thirds, in whole points
    float shift = 0;     // points up from the baseline
};

struct ParagraphInfo {
    TextSpan span;       // with the mark
    int contentEnd = 0;  // where the mark (if any) starts
    int markStyle = 0;
    int firstLine = 0, lineCount = 0;
    bool bulletShown = false;
    float bulletU = 0, bulletWidth = 0, bulletSize = 0;
    std::shared_ptr<const fonts::CFontMetrics> bulletMetrics;
};

struct LineData {
    float v = 0;        // flow offset of the line's leading edge
    float natural = 0;  // single spacing of its tallest font
    float caretU = 0;   // where its text starts once aligned (the caret of an empty line)
};

TextBox Union(const TextBox& a, const TextBox& b) {
    float l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    float r = std::max(a.left + a.width, b.left + b.width), bm = std::max(a.top + a.height, b.top + b.height);
    return TextBox{l, t, r - l, bm - t};
}

}  // namespace

bool RunStyle::operator==(const RunStyle& o) const {
    return fontName == o.fontName && size == o.size && bold == o.bold && italic == o.italic &&
           underline == o.underline && superscript == o.superscript && subscript == o.subscript &&
           baselineOffset == o.baselineOffset;
}

bool Bullet::operator==(const Bullet& o) const {
    return visible == o.visible && text == o.text && fontName == o.fontName && bold == o.bold && italic == o.italic &&
           size == o.size;
}

bool ParagraphFormat::operator==(const ParagraphFormat& o) const {
    return alignment == o.alignment && indentLevel == o.indentLevel && spaceWithin == o.spaceWithin &&
           spaceBefore == o.spaceBefore && spaceAfter == o.spaceAfter && lineRuleWithin == o.lineRuleWithin &&
           lineRuleBefore == o.lineRuleBefore && lineRuleAfter == o.lineRuleAfter && bullet == o.bullet;
}

bool Frame::operator==(const Frame& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height && marginLeft == o.marginLeft &&
           marginTop == o.marginTop && marginRight == o.marginRight && marginBottom == o.marginBottom &&
           orientation == o.orientation && verticalAnchor == o.verticalAnchor &&
           horizontalAnchor == o.horizontalAnchor && wordWrap == o.wordWrap && autoSize == o.autoSize &&
           rulerLevels == o.rulerLevels;
}

void TextLayoutInput::AddRun(const std::wstring& text, const RunStyle& style, const ParagraphFormat& format) {
    if (paragraphs.empty()) {
        paragraphs.emplace_back();
        paragraphs.back().format = format;
    }
    std::size_t from = 0;
    for (;;) {
        std::size_t cut = text.find(L'\r', from);
        std::wstring piece = text.substr(from, cut == std::wstring::npos ? std::wstring::npos : cut - from);
        Paragraph& p = paragraphs.back();
        if (!piece.empty()) {
            if (!p.runs.empty() && p.runs.back().style == style)
                p.runs.back().text += piece;
            else
                p.runs.push_back(Run{piece, style});
        }
        p.markStyle = style;
        if (cut == std::wstring::npos) break;
        paragraphs.emplace_back();
        paragraphs.back().format = format;
        paragraphs.back().markStyle = style;
        from = cut + 1;
    }
}

TextLayoutInput TextLayoutInput::FromCharacters(const std::wstring& text, const std::vector<RunStyle>& charStyles,
                                                const std::vector<ParagraphFormat>& paragraphFormats,
                                                const Frame& frame) {
    TextLayoutInput in;
    in.frame = frame;
    const RunStyle fallbackStyle = charStyles.empty() ? RunStyle() : charStyles.back();
    const ParagraphFormat fallbackFormat = paragraphFormats.empty() ? ParagraphFormat() : paragraphFormats.back();
    auto styleAt = [&](std::size_t k) -> const RunStyle& {
        return k < charStyles.size() ? charStyles[k] : fallbackStyle;
    };
    auto newParagraph = [&]() {
        std::size_t i = in.paragraphs.size();
        in.paragraphs.emplace_back();
        in.paragraphs.back().format = i < paragraphFormats.size() ? paragraphFormats[i] : fallbackFormat;
    };
    newParagraph();
    for (std::size_t k = 0; k < text.size(); ++k) {
        const RunStyle& style = styleAt(k);
        Paragraph& p = in.paragraphs.back();
        if (text[k] == L'\r') {
            p.markStyle = style;
            newParagraph();
            in.paragraphs.back().markStyle = style;
            continue;
        }
        if (p.runs.empty() || p.runs.back().style != style) p.runs.push_back(Run{std::wstring(), style});
        p.runs.back().text += text[k];
        p.markStyle = style;
    }
    if (text.empty()) in.paragraphs.back().markStyle = fallbackStyle;
    return in;
}

std::wstring TextLayoutInput::Text() const {
    std::wstring text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i) text += L'\r';
        for (const Run& r : paragraphs[i].runs) text += r.text;
    }
    return text;
}

struct CTextLayout::Impl {
    TextLayoutInput input;
    std::uint64_t revision = 0;
    bool dirty = true;

    // results
    std::wstring text;
    std::vector<int> styleOf;   // per character
    std::vector<float> u, adv;  // per character, flow
    std::vector<int> lineOf;    // per character
    std::vector<StyleInfo> styles;
    std::vector<ParagraphInfo> paragraphs;
    std::vector<LineInfo> lines;
    std::vector<LineData> lineData;
    std::vector<TextSpan> paragraphSpans, words, runs, lineSpans;
    float innerLeft = 0, innerTop = 0, innerWidth = 0, innerHeight = 0;
    float flowWidth = 0, blockHeight = 0;
    int orientation = OrientationHorizontal;

    int StyleIndex(const RunStyle& style);
    void Layout();
    void Flatten();
    void BreakParagraph(int pi, float& v);
    void LineMetrics(LineInfo& line, LineData& data, const ParagraphInfo& p, bool withBullet);
    TextBox Map(float u0, float du, float v0, float dv) const;
    void Ensure() {
        if (dirty) {
            Layout();
            dirty = false;
        }
    }
    const std::vector<TextSpan>& Spans(TextUnit unit) const {
        switch (unit) {
        case TextUnit::Words:
            return words;
        case TextUnit::Lines:
            return lineSpans;
        case TextUnit::Paragraphs:
            return paragraphSpans;
        default:
            return runs;
        }
    }
    std::pair<int, int> Overlap(TextUnit unit, TextSpan range) const;
    TextSpan Clamp(TextSpan range) const;
    TextBox BoundsOf(TextSpan range) const;
};

int CTextLayout::Impl::StyleIndex(const RunStyle& style) {
    for (std::size_t i = 0; i < styles.size(); ++i)
        if (styles[i].style == style) return int(i);
    StyleInfo info;
    info.style = style;
    info.metrics = fonts::GetFontMetrics(style.fontName, style.bold, style.italic);
    float size = std::clamp(Finite(style.size), 0.0f, kMaxSize);
    float offset = std::clamp(Finite(style.baselineOffset), -1.0f, 1.0f);
    if (offset == 0.0f) offset = style.superscript ? 0.3f : style.subscript ? -0.25f : 0.0f;
    info.drawSize = offset != 0.0f ? float(int(size) * 2 / 3) : size;
    info.shift = offset * size;
    styles.push_back(info);
    return int(styles.size() - 1);
}

void CTextLayout::Impl::Flatten() {
    text.clear();
    styleOf.clear();
    styles.clear();
    paragraphs.clear();
    words.clear();
    runs.clear();
    paragraphSpans.clear();
    for (std::size_t pi = 0; pi < input.paragraphs.size(); ++pi) {
        const Paragraph& p = input.paragraphs[pi];
        ParagraphInfo info;
        info.span.start = int(text.size());
        for (const Run& r : p.runs) {
            int s = StyleIndex(r.style);
            text += r.text;
            styleOf.resize(text.size(), s);
        }
        info.contentEnd = int(text.size());
        info.markStyle = StyleIndex(p.markStyle);
        if (pi + 1 < input.paragraphs.size()) {
            text += L'\r';
            styleOf.push_back(info.markStyle);
        }
        info.span.length = int(text.size()) - info.span.start;
        paragraphs.push_back(info);
        paragraphSpans.push_back(info.span);

        // A word is its letters and the blanks and marks after them; runs keep to one paragraph.
        const int end = info.span.start + info.span.length;
        for (int k = info.span.start; k < end;) {
            int start = k;
            while (k < end && !IsBlank(text[k]) && !IsLineBreak(text[k])) ++k;
            while (k < end && (IsBlank(text[k]) || IsLineBreak(text[k]))) ++k;
            words.push_back(TextSpan{start, k - start});
        }
        for (int k = info.span.start; k < end;) {
            int start = k;
            while (k < end && styleOf[k] == styleOf[start]) ++k;
            runs.push_back(TextSpan{start, k - start});
        }
    }
}

TextBox CTextLayout::Impl::Map(float u0, float du, float v0, float dv) const {
    switch (orientation) {
    case OrientationUpward:
        return TextBox{innerLeft + v0, innerTop + innerHeight - (u0 + du), dv, du};
    case OrientationDownward:
    case OrientationVerticalFarEast:
    case OrientationVertical:
        return TextBox{innerLeft + innerWidth - (v0 + dv), innerTop + u0, dv, du};
    default:
        return TextBox{innerLeft + u0, innerTop + v0, du, dv};
    }
}

void CTextLayout::Impl::LineMetrics(LineInfo& line, LineData& data, const ParagraphInfo& p, bool withBullet) {
    // The tallest piece sets the line: the first of the greatest line height wins, the bullet
    // (laid out last) only when strictly taller. Marks count only on a line of nothing else.
    bool any = false;
    auto consider = [&](const fonts::CFontMetrics& m, float size) {
        float h = m.LineHeightEm() * size;
        if (!any || h > line.lineHeight) {
            line.lineHeight = h;
            line.ascent = m.AscentEm() * size;
            line.descent = m.DescentEm() * size;
        }
        data.natural = std::max(any ? data.natural : 0.0f, kSingleSpacing * size);
        any = true;
    };
    const int end = line.span.start + line.span.length;
    int last = -1;
    for (int k = line.span.start; k < end; ++k) {
        if (IsLineBreak(text[k]) || styleOf[k] == last) continue;
        last = styleOf[k];
        consider(*styles[last].metrics, styles[last].drawSize);
    }
    if (!any) {
        int s = (end > line.span.start) ? styleOf[end - 1] : p.markStyle;
        consider(*styles[s].metrics, styles[s].drawSize);
    }
    if (withBullet && p.bulletShown) consider(*p.bulletMetrics, p.bulletSize);

    const ParagraphFormat& f = input.paragraphs[line.paragraph].format;
    float within = std::max(0.0f, Finite(f.spaceWithin, 1.0f));
    line.extent = f.lineRuleWithin ? data.natural * within : within;
    // Placed so that the baseline divides the pitch as ascent divides the tallest piece's height:
    // whoever reads the bounds back derives the baseline the same way.
    line.baseline = line.lineHeight > 0 ? line.extent * line.ascent / line.lineHeight : 0.0f;
}

void CTextLayout::Impl::BreakParagraph(int pi, float& v) {
    ParagraphInfo& p = paragraphs[pi];
    const ParagraphFormat& f = input.paragraphs[pi].format;
    const int paraEnd = p.span.start + p.span.length;
    const int level = std::clamp(f.indentLevel, 1, 5);
    const RulerLevel& ruler = input.frame.rulerLevels[level - 1];
    const float firstMargin = Finite(ruler.firstMargin), leftMargin = Finite(ruler.leftMargin);
    const bool wrap = input.frame.wordWrap;

    // The bullet hangs before the first line's text, at least as wide as the ruler's hanging gap.
    const Bullet& b = f.bullet;
    p.bulletShown = b.visible && !b.text.empty() && p.contentEnd > p.span.start;
    float hang = 0;
    if (p.bulletShown) {
        const RunStyle& first = styles[styleOf[p.span.start]].style;
        p.bulletMetrics = fonts::GetFontMetrics(b.fontName.empty() ? first.fontName : b.fontName,
                                                b.fontName.empty() ? first.bold : b.bold,
                                                b.fontName.empty() ? first.italic : b.italic);
        p.bulletSize = std::clamp(Finite(b.size) > 0 ? b.size : Finite(first.size), 0.0f, kMaxSize);
        for (wchar_t c : b.text) p.bulletWidth += p.bulletMetrics->AdvanceEm(char32_t(c)) * p.bulletSize;
        hang = std::max(p.bulletWidth, std::fabs(firstMargin - leftMargin));
    }

    p.firstLine = int(lines.size());
    int i = p.span.start;
    for (bool firstLine = true;; firstLine = false) {
        const float start = firstLine ? firstMargin + hang : leftMargin;
        const float avail = flowWidth - start;
        auto tabWidth = [&](float at) { return (std::floor(at / kDefaultTab + 1e-4f) + 1.0f) * kDefaultTab - at; };

        int j = i, lastBreak = -1;
        float width = 0;
        bool content = false, hard = false;
        while (j < p.contentEnd) {
            wchar_t c = text[j];
            if (IsLineBreak(c)) {
                ++j;
                hard = true;
                break;
            }
            float w = c == L'\t' ? tabWidth(start + width) : adv[j];
            bool blank = IsBlank(c);
            if (wrap && !blank && j > i && width + w > avail + kFitSlack) {
                if (lastBreak > i) j = lastBreak;  // after the blanks that follow the last whole word
                break;                             // else the word is longer than the line: cut it here
            }
            width += w;
            ++j;
            if (blank) {
                if (content) lastBreak = j;
            } else
                content = true;
        }
        const bool lastLine = !hard && j >= p.contentEnd;
        const int lineEnd = lastLine ? paraEnd : j;

        // Pen positions, then alignment of what is visible (trailing blanks hang).
        float pen = start;
        int contentEnd = i;
        for (int k = i; k < lineEnd; ++k) {
            if (text[k] == L'\t') adv[k] = tabWidth(pen);
            u[k] = pen;
            pen += adv[k];
            if (!IsBlank(text[k]) && !IsLineBreak(text[k])) contentEnd = k + 1;
        }
        float visible = contentEnd > i ? u[contentEnd - 1] + adv[contentEnd - 1] - start : 0.0f;
        float spare = avail - visible;
        float shift = 0;
        switch (f.alignment) {
        case AlignCenter:
            shift = spare / 2;
            break;
        case AlignRight:
            shift = spare;
            break;
        default:
            break;
        }
        const bool stretch = spare > 0 && contentEnd - i > 1 &&
                             ((f.alignment == AlignJustify && !lastLine && !hard) || f.alignment == AlignDistribute);
        if (stretch) {
            int leading = i;
            while (leading < contentEnd && IsBlank(text[leading])) ++leading;
            int gaps = 0;
            for (int k = leading; k < contentEnd; ++k) gaps += IsStretchable(text[k]) ? 1 : 0;
            const bool betweenLetters = gaps == 0;  // only a distributed line spreads its letters
            if (betweenLetters) gaps = contentEnd - leading - 1;
            float extra = gaps > 0 ? spare / float(gaps) : 0.0f, moved = 0;
            for (int k = i; k < lineEnd; ++k) {
                u[k] += moved;
                if (k >= leading && k < contentEnd && gaps > 0) {
                    if (betweenLetters && k < contentEnd - 1)
                        moved += extra;
                    else if (!betweenLetters && IsStretchable(text[k])) {
                        adv[k] += extra;
                        moved += extra;
                    }
                }
            }
        }
        for (int k = i; k < lineEnd; ++k) {
            u[k] += shift;
            lineOf[k] = int(lines.size());
        }

        LineInfo line;
        line.span = TextSpan{i, lineEnd - i};
        line.paragraph = pi;
        LineData data;
        data.caretU = start + shift;
        LineMetrics(line, data, p, firstLine);
        lines.push_back(line);
        lineData.push_back(data);
        lineSpans.push_back(line.span);
        if (lastLine) break;
        i = lineEnd;
    }
    p.lineCount = int(lines.size()) - p.firstLine;
    if (p.bulletShown) p.bulletU = u[p.span.start] - hang;

    // Space before and after, in lines of the paragraph's own first and last lines, or points.
    const LineData& firstData = lineData[p.firstLine];
    const LineData& lastData = lineData.back();
    if (pi > 0) v += std::max(0.0f, Finite(f.spaceBefore)) * (f.lineRuleBefore ? firstData.natural : 1.0f);
    for (int l = p.firstLine; l < int(lines.size()); ++l) {
        lineData[l].v = v;
        v += lines[l].extent;
    }
    if (pi + 1 < int(paragraphs.size()))
        v += std::max(0.0f, Finite(f.spaceAfter)) * (f.lineRuleAfter ? lastData.natural : 1.0f);
}

void CTextLayout::Impl::Layout() {
    const Frame& fr = input.frame;
    orientation = fr.orientation;
    innerLeft = Finite(fr.left) + Finite(fr.marginLeft);
    innerTop = Finite(fr.top) + Finite(fr.marginTop);
    innerWidth = std::max(0.0f, Finite(fr.width) - Finite(fr.marginLeft) - Finite(fr.marginRight));
    innerHeight = std::max(0.0f, Finite(fr.height) - Finite(fr.marginTop) - Finite(fr.marginBottom));
    const bool horizontal = orientation != OrientationUpward && orientation != OrientationDownward &&
                            orientation != OrientationVerticalFarEast && orientation != OrientationVertical;
    flowWidth = horizontal ? innerWidth : innerHeight;
    blockHeight = horizontal ? innerHeight : innerWidth;

    Flatten();
    const std::size_t n = text.size();
    u.assign(n, 0.0f);
    adv.assign(n, 0.0f);
    lineOf.assign(n, 0);
    for (std::size_t k = 0; k < n; ++k) {
        wchar_t c = text[k];
        if (IsLineBreak(c) || c == L'\t' || (c >= 0 && c < 0x20)) continue;
        const StyleInfo& s = styles[styleOf[k]];
        adv[k] = s.metrics->AdvanceEm(char32_t(c)) * s.drawSize;
    }
    lines.clear();
    lineData.clear();
    lineSpans.clear();

    float v = 0;
    for (int pi = 0; pi < int(paragraphs.size()); ++pi) BreakParagraph(pi, v);

    // Anchoring moves the whole block; text taller than the frame overflows the anchored side.
    float offset = 0;
    if (fr.verticalAnchor == AnchorMiddle)
        offset = (blockHeight - v) / 2;
    else if (fr.verticalAnchor == AnchorBottom)
        offset = blockHeight - v;
    for (LineData& d : lineData) d.v += offset;

    if (fr.horizontalAnchor == AnchorCenter && !lines.empty()) {
        float lo = 0, hi = 0;
        bool any = false;
        for (const LineInfo& l : lines) {
            if (l.span.length == 0) continue;
            int a = l.span.start, b = l.span.start + l.span.length - 1;
            lo = any ? std::min(lo, u[a]) : u[a];
            hi = any ? std::max(hi, u[b] + adv[b]) : u[b] + adv[b];
            any = true;
        }
        if (any) {
            float move = (flowWidth - (hi - lo)) / 2 - lo;
            for (float& x : u) x += move;
            for (ParagraphInfo& p : paragraphs) p.bulletU += move;
            for (LineData& d : lineData) d.caretU += move;
        }
    }
    for (std::size_t l = 0; l < lines.size(); ++l) lines[l].bounds = BoundsOf(lines[l].span);
}

TextSpan CTextLayout::Impl::Clamp(TextSpan range) const {
    const int n = int(text.size());
    int s = std::clamp(range.start, 0, n);
    int len = range.length < 0 ? n - s : std::min(range.length, n - s);
    return TextSpan{s, len};
}

TextBox CTextLayout::Impl::BoundsOf(TextSpan range) const {
    range = Clamp(range);
    const int e = range.start + range.length;
    if (lines.empty()) return Map(0, 0, 0, 0);
    if (range.length == 0) {
        const int p = range.start;
        int l = p < int(text.size()) ? lineOf[p] : int(lines.size()) - 1;
        const LineInfo& line = lines[l];
        float at;
        if (p < int(text.size()))
            at = u[p];
        else if (line.span.length > 0) {
            int last = line.span.start + line.span.length - 1;
            at = u[last] + adv[last];
        } else
            at = lineData[l].caretU;
        return Map(at, 0, lineData[l].v, line.extent);
    }
    TextBox box;
    bool any = false;
    for (int l = lineOf[range.start]; l <= lineOf[e - 1]; ++l) {
        const LineInfo& line = lines[l];
        int a = std::max(range.start, line.span.start), b = std::min(e, line.span.start + line.span.length);
        if (b <= a) continue;
        float u0 = std::min(u[a], u[b - 1]), u1 = std::max(u[a] + adv[a], u[b - 1] + adv[b - 1]);
        TextBox part = Map(u0, u1 - u0, lineData[l].v, line.extent);
        box = any ? Union(box, part) : part;
        any = true;
    }
    return box;
}

std::pair<int, int> CTextLayout::Impl::Overlap(TextUnit unit, TextSpan range) const {
    const std::vector<TextSpan>& items = Spans(unit);
    const int n = int(text.size());
    const int s = range.start, e = range.start + range.length;
    auto before = [&](const TextSpan& t) { return t.length > 0 ? t.start + t.length <= s : t.start < s; };
    int lo = int(std::partition_point(items.begin(), items.end(), before) - items.begin());
    if (range.length == 0) {
        if (lo < int(items.size()) && items[lo].start <= s) return {lo, lo + 1};
        if (lo == int(items.size()) && lo > 0 && s == n && items[lo - 1].start + items[lo - 1].length == s)
            return {lo - 1, lo};
        return {lo, lo};
    }
    // An empty last paragraph (after a final mark) belongs to a range only when the range is
    // the whole text.
    const bool wholeText = s == 0 && e == n;
    auto starts = [&](const TextSpan& t) { return t.start < e || (wholeText && t.length == 0 && t.start == e); };
    int hi = int(std::partition_point(items.begin() + lo, items.end(), starts) - items.begin());
    return {lo, hi};
}

CTextLayout::CTextLayout() : m(std::make_unique<Impl>()) {}
CTextLayout::~CTextLayout() = default;

bool CTextLayout::SetInput(const TextLayoutInput& input) {
    if (m->revision > 0 && input == m->input) return false;
    m->input = input;
    ++m->revision;
    m->dirty = true;
    return true;
}

const TextLayoutInput& CTextLayout::Input() const { return m->input; }
std::uint64_t CTextLayout::Revision() const { return m->revision; }

const std::wstring& CTextLayout::Text() {
    m->Ensure();
    return m->text;
}

int CTextLayout::TextLength() {
    m->Ensure();
    return int(m->text.size());
}

std::vector<TextSpan> CTextLayout::Items(TextUnit unit, TextSpan range) {
    m->Ensure();
    range = m->Clamp(range);
    std::vector<TextSpan> out;
    if (m->text.empty()) return out;
    if (unit == TextUnit::Characters) {
        for (int k = 0; k < range.length; ++k) out.push_back(TextSpan{range.start + k, 1});
        return out;
    }
    auto [lo, hi] = m->Overlap(unit, range);
    const std::vector<TextSpan>& items = m->Spans(unit);
    out.assign(items.begin() + lo, items.begin() + hi);
    return out;
}

int CTextLayout::Count(TextUnit unit, TextSpan range) {
    m->Ensure();
    range = m->Clamp(range);
    if (m->text.empty()) return 0;
    if (unit == TextUnit::Characters) return range.length;
    auto [lo, hi] = m->Overlap(unit, range);
    return hi - lo;
}

SubRange CTextLayout::Sub(TextUnit unit, TextSpan range, int start, int length) {
    m->Ensure();
    range = m->Clamp(range);
    const int n = Count(unit, range);
    if (start < 1 && length < 0) return SubRange{range, n};
    const int first = std::max(start, 1);
    const int last = length < 0 ? n : int(std::min<long long>(n, (long long)first + length - 1));
    if (first > n || last < first) return SubRange{TextSpan{range.start + range.length, 0}, 0};
    if (unit == TextUnit::Characters)
        return SubRange{TextSpan{range.start + first - 1, last - first + 1}, last - first + 1};
    const int lo = m->Overlap(unit, range).first;
    const std::vector<TextSpan>& items = m->Spans(unit);
    const TextSpan& a = items[lo + first - 1];
    const TextSpan& b = items[lo + last - 1];
    return SubRange{TextSpan{a.start, b.start + b.length - a.start}, last - first + 1};
}

TextBox CTextLayout::Bounds(TextSpan range) {
    m->Ensure();
    return m->BoundsOf(range);
}

const std::vector<LineInfo>& CTextLayout::Lines() {
    m->Ensure();
    return m->lines;
}

BulletPlacement CTextLayout::BulletOf(int paragraph) {
    m->Ensure();
    BulletPlacement out;
    if (paragraph < 0 || paragraph >= int(m->paragraphs.size())) return out;
    const ParagraphInfo& p = m->paragraphs[paragraph];
    if (!p.bulletShown) return out;
    const LineInfo& line = m->lines[p.firstLine];
    const float v = m->lineData[p.firstLine].v;
    out.shown = true;
    out.text = m->input.paragraphs[paragraph].format.bullet.text;
    out.bounds = m->Map(p.bulletU, p.bulletWidth, v, line.extent);
    TextBox origin = m->Map(p.bulletU, 0, v + line.baseline, 0);
    out.originX = origin.left;
    out.originY = origin.top;
    out.size = p.bulletSize;
    out.metrics = p.bulletMetrics;
    return out;
}

CharPlacement CTextLayout::Char(int position) {
    m->Ensure();
    CharPlacement out;
    if (position < 0 || position >= int(m->text.size())) return out;
    const int l = m->lineOf[position];
    const StyleInfo& s = m->styles[m->styleOf[position]];
    out.bounds = m->BoundsOf(TextSpan{position, 1});
    out.line = l;
    out.size = s.drawSize;
    out.metrics = s.metrics;
    // A raised script moves towards the line's leading edge, across the flow.
    TextBox origin = m->Map(m->u[position], 0, m->lineData[l].v + m->lines[l].baseline - s.shift, 0);
    out.originX = origin.left;
    out.originY = origin.top;
    return out;
}

TextBox CTextLayout::InnerBox() const {
    const Frame& fr = m->input.frame;
    float l = Finite(fr.left) + Finite(fr.marginLeft), t = Finite(fr.top) + Finite(fr.marginTop);
    return TextBox{l, t, std::max(0.0f, Finite(fr.width) - Finite(fr.marginLeft) - Finite(fr.marginRight)),
                   std::max(0.0f, Finite(fr.height) - Finite(fr.marginTop) - Finite(fr.marginBottom))};
}

}  // namespace fonts::layout
