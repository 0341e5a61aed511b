// The host's text units and text layout, cached per shape.

#include "powerpoint/layout/HostTextLayout.h"

#include "base/numbering/BulletNumber.h"
#include "host/HostObjects.h"

#include <algorithm>
#include <cwctype>

namespace PowerPoint {
namespace Host {

namespace {

constexpr int kUnitCount = 6;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == 0xA0 || c == L'\v'; }

// What a shape's text looked like when its items and layout were made. Writes through the
// object model move the document's revision; the text and the frame are compared as well, so
// that builder edits of those are seen without help.
class CShapeText : public CHostDocument::Object {
public:
    std::uint64_t revision = 0;
    bool made = false;
    std::wstring text;
    std::size_t fonts = 0, paragraphs = 0;
    fonts::layout::Frame frame;
    fonts::layout::CTextLayout layout;
    bool itemsMade[kUnitCount] = {};
    std::vector<Span> items[kUnitCount];
};

fonts::layout::Frame FrameOf(const ShapeData& d) {
    const TextData& t = d.text;
    fonts::layout::Frame f;
    f.left = d.left;
    f.top = d.top;
    f.width = d.width;
    f.height = d.height;
    f.marginLeft = t.marginLeft;
    f.marginTop = t.marginTop;
    f.marginRight = t.marginRight;
    f.marginBottom = t.marginBottom;
    f.orientation = static_cast<int>(t.orientation);
    f.verticalAnchor = static_cast<int>(t.verticalAnchor);
    f.horizontalAnchor = static_cast<int>(t.horizontalAnchor);
    f.wordWrap = t.wordWrap != msoFalse;
    f.autoSize = static_cast<int>(t.autoSize);
    for (std::size_t i = 0; i < 5; ++i)
        f.rulerLevels[i] = fonts::layout::RulerLevel{t.rulerLevels[i].firstMargin, t.rulerLevels[i].leftMargin};
    return f;
}

fonts::layout::RunStyle StyleOf(const FontData& font) {
    fonts::layout::RunStyle s;
    s.fontName = font.name;
    s.size = font.size;
    s.bold = font.bold != msoFalse;
    s.italic = font.italic != msoFalse;
    s.underline = font.underline != msoFalse;
    s.superscript = font.superscript != msoFalse;
    s.subscript = font.subscript != msoFalse;
    s.baselineOffset = font.baselineOffset;
    return s;
}

// Start of each paragraph in the text.
std::vector<LONG> ParagraphStarts(const std::wstring& text) {
    std::vector<LONG> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == L'\r') starts.push_back(static_cast<LONG>(i + 1));
    return starts;
}

std::vector<Span> MakeItems(const TextData& t, Unit unit) {
    std::vector<Span> items;
    const LONG n = static_cast<LONG>(t.text.size());
    auto at = [&t](LONG i) { return t.text[static_cast<std::size_t>(i)]; };
    switch (unit) {
    case Unit::Paragraph: {
        LONG start = 0;
        for (LONG i = 0; i < n; ++i)
            if (at(i) == L'\r') {
                items.emplace_back(start, i + 1 - start);
                start = i + 1;
            }
        items.emplace_back(start, n - start);
        break;
    }
    case Unit::Word: {
        // A word is its letters and the spaces (and paragraph mark) after them.
        LONG i = 0;
        while (i < n) {
            LONG start = i;
            while (i < n && !IsSpace(at(i)) && at(i) != L'\r') ++i;
            while (i < n && IsSpace(at(i))) ++i;
            if (i < n && at(i) == L'\r') ++i;
            items.emplace_back(start, i - start);
        }
        break;
    }
    case Unit::Sentence: {
        LONG start = 0;
        for (LONG i = 0; i < n; ++i) {
            wchar_t c = at(i);
            bool end = c == L'\r';
            if (c == L'.' || c == L'!' || c == L'?') {
                while (i + 1 < n && IsSpace(at(i + 1))) ++i;
                end = true;
            }
            if (end) {
                items.emplace_back(start, i + 1 - start);
                start = i + 1;
            }
        }
        if (start < n) items.emplace_back(start, n - start);
        break;
    }
    case Unit::Run: {
        LONG start = 0;
        for (LONG i = 1; i <= n; ++i)
            if (i == n || !t.charFonts.SameFont(static_cast<std::size_t>(i), static_cast<std::size_t>(start))) {
                items.emplace_back(start, i - start);
                start = i;
            }
        break;
    }
    case Unit::Character:
    case Unit::Line:
        break;
    }
    return items;
}

CShapeText& Fresh(CHostShape* shape) {
    CHostDocument* doc = shape->Document();
    CShapeText& st = *Obtain<CShapeText>(doc, shape, 0, 0);
    const TextData& t = shape->data.text;
    const fonts::layout::Frame frame = FrameOf(shape->data);
    if (st.made && st.revision == doc->Revision() && st.fonts == t.charFonts.size() &&
        st.paragraphs == t.paragraphs.size() && st.frame == frame && st.text == t.text)
        return st;
    // Builder code may have set the text alone: fonts and paragraphs follow it again.
    TextData& text = shape->data.text;
    if (text.charFonts.size() != text.text.size() ||
        text.paragraphs.size() != static_cast<std::size_t>(text.ParagraphCount()))
        text.Normalize();
    st.made = true;
    st.revision = doc->Revision();
    st.text = t.text;
    st.fonts = t.charFonts.size();
    st.paragraphs = t.paragraphs.size();
    st.frame = frame;
    for (int u = 0; u < kUnitCount; ++u) {
        st.itemsMade[u] = false;
        st.items[u].clear();
    }
    // An unchanged input keeps the layout already made.
    st.layout.SetInput(LayoutInputOf(shape->data));
    return st;
}

}  // namespace

fonts::layout::TextLayoutInput LayoutInputOf(const ShapeData& shape) {
    const TextData& t = shape.text;
    std::vector<fonts::layout::RunStyle> styles;
    styles.reserve(t.charFonts.size());
    // Neighbouring characters mostly share a font: convert each distinct one once.
    const FontData* last = nullptr;
    for (const FontData& f : t.charFonts) {
        if (last && (last == &f || *last == f))
            styles.push_back(styles.back());
        else
            styles.push_back(StyleOf(f));
        last = &f;
    }
    const std::vector<LONG> starts = ParagraphStarts(t.text);
    std::vector<fonts::layout::ParagraphFormat> formats;
    formats.reserve(t.paragraphs.size());
    for (std::size_t p = 0; p < t.paragraphs.size(); ++p) {
        const ParagraphData& pd = t.paragraphs[p];
        fonts::layout::ParagraphFormat f;
        f.alignment = static_cast<int>(pd.alignment);
        f.indentLevel = static_cast<int>(std::clamp<LONG>(pd.indentLevel, 1, 5));
        f.spaceWithin = pd.spaceWithin;
        f.spaceBefore = pd.spaceBefore;
        f.spaceAfter = pd.spaceAfter;
        f.lineRuleWithin = pd.lineRuleWithin != msoFalse;
        f.lineRuleBefore = pd.lineRuleBefore != msoFalse;
        f.lineRuleAfter = pd.lineRuleAfter != msoFalse;
        const BulletData& b = pd.bullet;
        f.bullet.visible = b.visible != msoFalse && b.type != ppBulletNone;
        if (f.bullet.visible) {
            // The paragraph's first character (its mark when it has no text) sizes the bullet.
            FontData first;
            const std::size_t at = p < starts.size() ? static_cast<std::size_t>(starts[p]) : t.charFonts.size();
            if (at < t.charFonts.size())
                first = t.charFonts[at];
            else if (!t.charFonts.empty())
                first = t.charFonts.back();
            f.bullet.text = BulletText(t, p);
            const FontData& face = b.useTextFont != msoFalse ? first : b.font;
            if (b.useTextFont == msoFalse) f.bullet.fontName = b.font.name;
            f.bullet.bold = face.bold != msoFalse;
            f.bullet.italic = face.italic != msoFalse;
            f.bullet.size = b.relativeSize * first.size;
        }
        formats.push_back(f);
    }
    return fonts::layout::TextLayoutInput::FromCharacters(t.text, styles, formats, FrameOf(shape));
}

namespace {

// The text with its sizes scaled and its spacing in lines reduced (never below a tenth of a line).
void ApplyShrink(TextData& t, float scale, float reduction) {
    if (scale != 1.0f) t.charFonts.ForEachFont([scale](FontData& f) { f.size = std::max(1.0f, f.size * scale); });
    if (reduction > 0.0f)
        for (ParagraphData& p : t.paragraphs)
            if (p.lineRuleWithin != msoFalse) p.spaceWithin = std::max(0.1f, p.spaceWithin - reduction);
}

// How far the laid-out text reaches across the flow, from its first line to its last.
float TextExtent(const ShapeData& shape) {
    fonts::layout::CTextLayout layout;
    layout.SetInput(LayoutInputOf(shape));
    const std::vector<fonts::layout::LineInfo>& lines = layout.Lines();
    if (lines.empty()) return 0.0f;
    const bool horizontal = shape.text.orientation == msoTextOrientationHorizontal;
    float lo = 0, hi = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const fonts::layout::TextBox& b = lines[i].bounds;
        const float a = horizontal ? b.top : b.left, z = a + (horizontal ? b.height : b.width);
        lo = i ? std::min(lo, a) : a;
        hi = i ? std::max(hi, z) : z;
    }
    return hi - lo;
}

}  // namespace

float ShrinkTextToFit(ShapeData& shape, float storedScale) {
    TextData& t = shape.text;
    if (t.charFonts.size() != t.text.size() || t.paragraphs.size() != static_cast<std::size_t>(t.ParagraphCount()))
        t.Normalize();
    if (storedScale > 0.0f && storedScale < 1.0f) {
        ApplyShrink(t, storedScale, 0.0f);
        return storedScale;
    }
    if (t.text.empty()) return 1.0f;
    const bool horizontal = t.orientation == msoTextOrientationHorizontal;
    const float room =
        horizontal ? shape.height - t.marginTop - t.marginBottom : shape.width - t.marginLeft - t.marginRight;
    if (!(room > 0.0f) || TextExtent(shape) <= room) return 1.0f;
    struct Step {
        float scale, reduction;
    };
    std::vector<Step> steps{{1.0f, 0.1f}, {1.0f, 0.2f}};
    for (int k = 1; k <= 10; ++k) steps.push_back({1.0f - 0.075f * static_cast<float>(k), 0.2f});
    const TextData original = t;
    for (const Step& step : steps) {
        t = original;
        ApplyShrink(t, step.scale, step.reduction);
        if (TextExtent(shape) <= room) return step.scale;
    }
    return steps.back().scale;  // the smallest step, even where the text still overflows
}

fonts::layout::CTextLayout& LayoutOf(CHostShape* shape) { return Fresh(shape).layout; }

const std::vector<Span>& UnitItems(CHostShape* shape, Unit unit) {
    CShapeText& st = Fresh(shape);
    const int u = static_cast<int>(unit);
    if (!st.itemsMade[u]) {
        if (unit == Unit::Line) {
            for (const fonts::layout::LineInfo& line : st.layout.Lines())
                st.items[u].emplace_back(line.span.start, line.span.length);
        } else {
            st.items[u] = MakeItems(shape->data.text, unit);
        }
        st.itemsMade[u] = true;
    }
    return st.items[u];
}

Span CItemsIn::At(std::size_t i) const {
    if (!m_items) return m_start == m_end ? Span(m_start, 0) : Span(m_start + static_cast<LONG>(i), 1);
    const Span& s = (*m_items)[m_first + i];
    const LONG a = std::max(s.first, m_start), b = std::min(s.first + s.second, m_end);
    return Span(a, std::max<LONG>(0, b - a));
}

CItemsIn ItemsIn(CHostShape* shape, Unit unit, LONG start, LONG length) {
    CItemsIn result;
    const LONG end = start + length;
    result.m_start = start;
    result.m_end = end;
    if (unit == Unit::Character) {
        const LONG n = static_cast<LONG>(shape->data.text.text.size());
        result.m_count = length == 0 ? (start < n ? 1 : 0) : static_cast<std::size_t>(std::max<LONG>(0, length));
        return result;
    }
    // Items are contiguous and in order, so both ends of the block that meets the range are
    // found by bisection.
    const std::vector<Span>& items = UnitItems(shape, unit);
    auto first = std::partition_point(items.begin(), items.end(), [start](const Span& s) {
        const LONG e = s.first + s.second;
        return e < start || (e == start && s.second > 0);
    });
    auto last = std::partition_point(first, items.end(), [start, end, length](const Span& s) {
        if (length == 0) return s.first <= start;
        return s.first < end || (s.second == 0 && s.first == end);
    });
    result.m_items = &items;
    result.m_first = static_cast<std::size_t>(first - items.begin());
    result.m_count = static_cast<std::size_t>(last - first);
    return result;
}

std::vector<std::size_t> ParagraphsOf(CHostShape* shape, LONG start, LONG length) {
    const TextData& t = shape->data.text;
    const LONG size = static_cast<LONG>(t.text.size());
    const std::vector<Span>& paragraphs = UnitItems(shape, Unit::Paragraph);
    auto indexOf = [&paragraphs](LONG pos) {
        // The paragraph whose mark is at or after pos.
        auto it = std::partition_point(paragraphs.begin(), paragraphs.end(),
                                       [pos](const Span& s) { return s.first + s.second <= pos; });
        if (it == paragraphs.end()) --it;
        return static_cast<std::size_t>(it - paragraphs.begin());
    };
    start = std::clamp<LONG>(start, 0, size);
    const std::size_t first = indexOf(start);
    const std::size_t last = length > 0 ? std::max(first, indexOf(std::min(start + length, size) - 1)) : first;
    std::vector<std::size_t> result;
    for (std::size_t p = first; p <= last && p < t.paragraphs.size(); ++p) result.push_back(p);
    return result;
}

LONG BulletNumber(const TextData& t, std::size_t p) {
    if (p >= t.paragraphs.size()) return 0;
    const ParagraphData& para = t.paragraphs[p];
    LONG n = para.bullet.startValue;
    for (std::size_t q = p; q > 0; --q) {
        const ParagraphData& prev = t.paragraphs[q - 1];
        if (prev.indentLevel < para.indentLevel) break;
        if (prev.indentLevel > para.indentLevel) continue;
        if (prev.bullet.type != ppBulletNumbered || prev.bullet.visible == msoFalse) break;
        ++n;
    }
    return n;
}

std::wstring BulletText(const TextData& t, std::size_t p) {
    if (p >= t.paragraphs.size()) return std::wstring();
    const BulletData& b = t.paragraphs[p].bullet;
    switch (b.type) {
    case ppBulletUnnumbered:
    case ppBulletPicture:
        // A code outside Unicode draws nothing rather than an invalid character.
        return b.character > 0 && b.character <= 0x10FFFF ? std::wstring(1, static_cast<wchar_t>(b.character))
                                                          : std::wstring();
    case ppBulletNumbered:
        return base::numbering::FormatBulletNumber(b.style, BulletNumber(t, p));
    default:
        return std::wstring();
    }
}

}  // namespace Host
}  // namespace PowerPoint
