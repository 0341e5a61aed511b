// A range of a shape's text.

#include "genswf/ppt/PptTextRange.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptParagraphFormat.h"

#include <algorithm>
#include <cstdint>

namespace genswf {

namespace {

// start + 1 without overflow: the largest start wraps to a position the application refuses.
LONG OneBased(LONG start) { return static_cast<LONG>(static_cast<std::uint32_t>(start) + 1u); }

}  // namespace

CPptTextRange::CPptTextRange(PowerPoint::TextRange* range)
    : CPptObject<PowerPoint::TextRange>(range), m_pRange(range) {}

CPptTextRange::~CPptTextRange() {
    m_font.reset();
    m_paragraphFormat.reset();
    if (m_subRanges) {
        m_subRanges->runs.clear();
        m_subRanges->paragraphs.clear();
        m_subRanges->lines.clear();
        m_subRanges->words.clear();
        m_subRanges->characters.clear();
    }
}

CPptTextRange::SubRangeCaches& CPptTextRange::Caches() {
    if (!m_subRanges) m_subRanges = std::make_unique<SubRangeCaches>();
    return *m_subRanges;
}

LONG CPptTextRange::GetCount() {
    if (!m_countRead) {
        if (!m_pRange || m_pRange->get_Count(&m_count) < 0) ThrowPptException(__FILE__, 132);
        m_countRead = true;
    }
    return m_count;
}

PowerPoint::TextFrame* CPptTextRange::GetParentTextFrame() {
    if (!m_pParentTextFrame) {
        CComPtr<PowerPoint::IDispatch> parent;
        if (!m_pRange || m_pRange->get_Parent(&parent) < 0) ThrowPptException(__FILE__, 145);
        // A range inside another range has no frame as its parent; that is no failure.
        m_pParentTextFrame = Adopt(QueryTextFrame(parent));
    }
    return AddRefCopy(m_pParentTextFrame);
}

LONG CPptTextRange::GetStart() {
    if (!m_startRead) {
        LONG start = 0;
        if (!m_pRange || m_pRange->get_Start(&start) < 0) ThrowPptException(__FILE__, 118);
        m_start = static_cast<LONG>(static_cast<std::uint32_t>(start) - 1u);
        m_startRead = true;
    }
    return m_start;
}

LONG CPptTextRange::GetLength() {
    if (!m_lengthRead) {
        if (!m_pRange || m_pRange->get_Length(&m_length) < 0) ThrowPptException(__FILE__, 127);
        m_lengthRead = true;
    }
    return m_length;
}

float CPptTextRange::GetBoundLeft() {
    if (!m_boundLeftRead) {
        if (!m_pRange || m_pRange->get_BoundLeft(&m_boundLeft) < 0) ThrowPptException(__FILE__, 154);
        m_boundLeftRead = true;
    }
    return m_boundLeft;
}

float CPptTextRange::GetBoundTop() {
    if (!m_boundTopRead) {
        if (!m_pRange || m_pRange->get_BoundTop(&m_boundTop) < 0) ThrowPptException(__FILE__, 159);
        m_boundTopRead = true;
    }
    return m_boundTop;
}

float CPptTextRange::GetBoundWidth() {
    if (!m_boundWidthRead) {
        if (!m_pRange || m_pRange->get_BoundWidth(&m_boundWidth) < 0) ThrowPptException(__FILE__, 164);
        m_boundWidthRead = true;
    }
    return m_boundWidth;
}

float CPptTextRange::GetBoundHeight() {
    if (!m_boundHeightRead) {
        if (!m_pRange || m_pRange->get_BoundHeight(&m_boundHeight) < 0) ThrowPptException(__FILE__, 169);
        m_boundHeightRead = true;
    }
    return m_boundHeight;
}

std::shared_ptr<CPptTextRange> CPptTextRange::SubRange(SubRanges& cache, SubRangeMember member, LONG start, LONG length,
                                                       int line) {
    const SubRangeKey key(start, length);
    auto at = cache.end();
    if (!cache.empty() && !(cache.back().first < key)) {
        at = std::lower_bound(cache.begin(), cache.end(), key,
                              [](const SubRanges::value_type& item, const SubRangeKey& k) { return item.first < k; });
        if (at->first == key) return at->second;
    }
    CComPtr<PowerPoint::TextRange> range;
    if (!m_pRange || (m_pRange->*member)(OneBased(start), length, &range) < 0 || !range)
        ThrowPptException(__FILE__, line);
    std::shared_ptr<CPptTextRange> wrapper = CreatePptTextRange(range);
    cache.emplace(at, key, wrapper);
    return wrapper;
}

std::shared_ptr<CPptTextRange> CPptTextRange::Paragraphs(LONG start, LONG length) {
    return SubRange(Caches().paragraphs, &PowerPoint::TextRange::Paragraphs, start, length, 85);
}

std::shared_ptr<CPptTextRange> CPptTextRange::Words(LONG start, LONG length) {
    return SubRange(Caches().words, &PowerPoint::TextRange::Words, start, length, 106);
}

std::shared_ptr<CPptTextRange> CPptTextRange::Characters(LONG start, LONG length) {
    // All of a range's characters read the same text, font and bounds as the range: asking the
    // application again would only make a second wrapper of the same thing. Only a length
    // already read counts: the check itself asks the application nothing.
    if (start == 0 && length > 0 && m_lengthRead && length == m_length)
        if (std::shared_ptr<CPptTextRange> self = weak_from_this().lock()) return self;
    return SubRange(Caches().characters, &PowerPoint::TextRange::Characters, start, length, 63);
}

std::shared_ptr<CPptTextRange> CPptTextRange::Lines(LONG start, LONG length) {
    return SubRange(Caches().lines, &PowerPoint::TextRange::Lines, start, length, 101);
}

std::shared_ptr<CPptTextRange> CPptTextRange::Runs(LONG start, LONG length) {
    return SubRange(Caches().runs, &PowerPoint::TextRange::Runs, start, length, 111);
}

void CPptTextRange::ReleaseSubRanges() {
    if (!m_subRanges) return;
    m_subRanges->characters.clear();
    m_subRanges->words.clear();
    m_subRanges->lines.clear();
    m_subRanges->paragraphs.clear();
    m_subRanges->runs.clear();
    m_subRanges.reset();
}

const std::wstring& CPptTextRange::GetText() {
    if (!m_textRead) {
        BSTR text = nullptr;
        if (!m_pRange || m_pRange->get_Text(&text) < 0) {
            SysFreeString(text);
            ThrowPptException(__FILE__, 56);
        }
        // The whole string as long as it says it is, embedded NULs included.
        m_text = TakeBstr(text);
        m_textRead = true;
    }
    return m_text;
}

PowerPoint::Font* CPptTextRange::GetFontPtr() {
    return ReadPtrOnce(m_pFont, m_pRange.Get(), &PowerPoint::TextRange::get_Font, __FILE__, 137);
}

PowerPoint::ParagraphFormat* CPptTextRange::GetParagraphFormatPtr() {
    return ReadPtrOnce(m_pParagraphFormat, m_pRange.Get(), &PowerPoint::TextRange::get_ParagraphFormat, __FILE__, 174);
}

LONG CPptTextRange::GetIndentLevel() {
    if (!m_indentLevelRead) {
        if (!m_pRange || m_pRange->get_IndentLevel(&m_indentLevel) < 0) ThrowPptException(__FILE__, 179);
        m_indentLevelRead = true;
    }
    return m_indentLevel;
}

std::shared_ptr<CPptParagraphFormat> CPptTextRange::GetParagraphFormat() {
    if (!m_paragraphFormat) {
        m_paragraphFormat = CreatePptParagraphFormat(Adopt(GetParagraphFormatPtr()));
    }
    return m_paragraphFormat;
}

std::shared_ptr<CPptFont> CPptTextRange::GetFont() {
    if (!m_font) {
        m_font = CPptFont::Create(Adopt(GetFontPtr()));
    }
    return m_font;
}

std::shared_ptr<CPptTextRange> CreatePptTextRange(PowerPoint::TextRange* range) {
    return std::make_shared<CPptTextRange>(range);
}

}  // namespace genswf
