// The shape text index of the path without a timeline.

#include "genswf/text/ShapeTextIndex.h"

#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/shapes/Shape.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/text/TextSprite.h"
#include "genswf/utils/ProgressSink.h"

#include <algorithm>
#include <limits>

namespace genswf {

namespace {

template <class T, class I>
T ReadOrZero(I* object, HRESULT (I::*get)(T*)) {
    T value = 0;
    if (!object || (object->*get)(&value) < 0) return 0;
    return value;
}

}  // namespace

std::shared_ptr<libpptparser::CTextFrame> CParsedTextSource::GetParsedTextFrame() {
    if (!m_parsedFrame && m_shape && m_shape->GetParsedLink().HasTextFrame())
        m_parsedFrame = m_shape->GetParsedLink().GetTextFrame();
    return m_parsedFrame;
}

// A read that fails leaves its field at 0.
CTextRangeItem::CTextRangeItem(CShapeTextIndex* owner_, PowerPoint::TextRange* range_, int number_)
    : number(number_), owner(owner_), movie(owner_->GetMovie()), range(range_) {
    PowerPoint::TextRange* r = range.Get();
    left = ReadOrZero(r, &PowerPoint::TextRange::get_BoundLeft);
    top = ReadOrZero(r, &PowerPoint::TextRange::get_BoundTop);
    width = ReadOrZero(r, &PowerPoint::TextRange::get_BoundWidth);
    height = ReadOrZero(r, &PowerPoint::TextRange::get_BoundHeight);
    const LONG oneBased = ReadOrZero(r, &PowerPoint::TextRange::get_Start);
    start = oneBased > 0 ? oneBased - 1 : 0;
    length = std::max<LONG>(0, ReadOrZero(r, &PowerPoint::TextRange::get_Length));
}

CTextRangeItem::~CTextRangeItem() = default;

CTextParagraphItem::CTextParagraphItem(CShapeTextIndex* owner, PowerPoint::TextRange* range, int number)
    : CTextRangeItem(owner, range, number) {
    indentLevel = ReadOrZero(range, &PowerPoint::TextRange::get_IndentLevel);
    CComPtr<PowerPoint::TextRange> first;
    CComPtr<PowerPoint::ParagraphFormat> format;
    CComPtr<PowerPoint::BulletFormat> bulletFormat;
    if (range && range->Characters(1, 1, &first) >= 0 && first && first->get_ParagraphFormat(&format) >= 0 && format) {
        baselineAlignment = ReadOrZero(format.Get(), &PowerPoint::ParagraphFormat::get_BaseLineAlignment);
        if (format->get_Bullet(&bulletFormat) < 0) bulletFormat.Release();
    }
    bullet = CreateBulletRecord(movie, range, bulletFormat.Get());
}

CTextParagraphItem::~CTextParagraphItem() = default;

CRefPtr<CShapeTextIndex> CShapeTextIndex::Create(CShape* shape) {
    return CRefPtr<CShapeTextIndex>(new CShapeTextIndex(shape));
}

CShapeTextIndex::CShapeTextIndex(CShape* shape)
    : m_parsedSource(this, shape), m_movie(shape->GetMovie()), m_shape(shape) {
    // A frame or text that cannot be reached is a shape without text.
    CComPtr<PowerPoint::Shape> itf;
    itf.Attach(shape->GetShapeInterface());
    if (!itf || itf->get_TextFrame(&m_textFrame) < 0 || !m_textFrame) {
        m_textFrame.Release();
        return;
    }
    if (m_textFrame->get_TextRange(&m_textRange) < 0 || !m_textRange) {
        m_textRange.Release();
        return;
    }
    m_orientation = ReadOrZero(m_textFrame.Get(), &PowerPoint::TextFrame::get_Orientation);

    CollectItems(&PowerPoint::TextRange::Paragraphs, m_paragraphs);
    CollectItems(&PowerPoint::TextRange::Lines, m_lines);
    CollectItems(&PowerPoint::TextRange::Words, m_words);
    if (!m_paragraphs.empty()) {
        m_textSprites.reserve(m_paragraphs.size());
        m_dimmedTextSprites.reserve(m_paragraphs.size());
        MakeGroups();
    }
}

CShapeTextIndex::~CShapeTextIndex() = default;

LONG CShapeTextIndex::MaxItems() const {
    const LONG length = ReadOrZero(m_textRange.Get(), &PowerPoint::TextRange::get_Length);
    if (length < 0) return 1;
    return length < std::numeric_limits<LONG>::max() ? length + 1 : length;
}

void CShapeTextIndex::ReportProgress() {
    if (CProgressSink* progress = m_movie ? m_movie->GetProgressSink() : nullptr)
        progress->PumpMessagesAndCheckCancel();
}

template <class Item>
void CShapeTextIndex::CollectItems(HRESULT (PowerPoint::TextRange::*collection)(LONG, LONG, PowerPoint::TextRange**),
                                   std::vector<CRefPtr<Item>>& items) {
    CComPtr<PowerPoint::TextRange> all;
    if ((m_textRange.Get()->*collection)(-1, -1, &all) < 0 || !all) return;
    // No kind has more items than the text has characters (an empty text has one paragraph).
    const LONG count = std::min<LONG>(ReadOrZero(all.Get(), &PowerPoint::TextRange::get_Count), MaxItems());
    if (count <= 0) return;
    items.reserve(static_cast<std::size_t>(count));
    for (LONG i = 1; i <= count; ++i) {
        CComPtr<PowerPoint::TextRange> piece;
        // A piece PowerPoint cannot give is left out; the numbers stay the list positions.
        if ((all.Get()->*collection)(i, 1, &piece) >= 0 && piece)
            items.push_back(CRefPtr<Item>(new Item(this, piece.Get(), static_cast<int>(items.size()))));
        ReportProgress();
    }
}

void CShapeTextIndex::MakeGroups() {
    const CRefPtr<CPptAnimationSettings>& settings = m_shape->GetAnimationSettings();
    const int count = static_cast<int>(m_paragraphs.size());
    const bool animated = settings && settings->GetAnimate() != 0;
    const LONG level = settings ? settings->GetTextLevelEffect() : 0;
    if (!animated || level == PowerPoint::ppAnimateByAllLevels) {
        MakeGroup(0, count);
        return;
    }
    int groupStart = 0;
    int groupCount = 0;
    for (int i = 0; i < count; ++i) {
        if (m_paragraphs[static_cast<std::size_t>(i)]->indentLevel <= level && groupCount >= 1) {
            MakeGroup(groupStart, groupCount);
            groupStart = i;
            groupCount = 1;
        } else {
            ++groupCount;
        }
    }
    if (groupCount != 0) MakeGroup(groupStart, groupCount);
}

void CShapeTextIndex::MakeGroup(int start, int count) {
    CRefPtr<CTextSprite> sprite(new CTextSprite(this, start, count, false, 0));
    if (sprite->GetParagraphCount() == 0) return;
    m_textSprites.push_back(sprite);
    const CRefPtr<CPptAnimationSettings>& settings = m_shape->GetAnimationSettings();
    if (settings && settings->GetAnimate() != 0 && settings->GetAfterEffect() == PowerPoint::ppAfterEffectDim)
        m_dimmedTextSprites.push_back(CRefPtr<CTextSprite>(
            new CTextSprite(this, start, count, true, static_cast<COLORREF>(settings->GetDimColor()))));
}

void CShapeTextIndex::WriteTextSprites(const XmlElementPtr& parent) {
    for (const auto& sprite : m_textSprites) sprite->Write(parent);
    for (const auto& sprite : m_dimmedTextSprites) sprite->Write(parent);
}

std::size_t CShapeTextIndex::GetLinesOfParagraph(std::size_t paragraphNumber,
                                                 std::vector<CRefPtr<CTextLineItem>>& lines) const {
    lines.clear();
    if (paragraphNumber >= m_paragraphs.size()) return 0;
    const CTextParagraphItem& paragraph = *m_paragraphs[paragraphNumber];
    const LONG end = paragraph.start + paragraph.length;
    for (const auto& line : m_lines)
        if (paragraph.start <= line->start && line->start < end) lines.push_back(line);
    return lines.size();
}

std::size_t CShapeTextIndex::GetWordsOfLine(std::size_t lineNumber, std::vector<CRefPtr<CTextWordItem>>& words) const {
    words.clear();
    if (lineNumber >= m_lines.size()) return 0;
    const LONG s = m_lines[lineNumber]->start;
    const LONG e = s + m_lines[lineNumber]->length;
    for (const auto& word : m_words) {
        const LONG ws = word->start;
        const LONG we = ws + word->length;
        if ((ws <= s && s < we) || (ws < e && e <= we) || (s <= ws && we <= e)) words.push_back(word);
    }
    return words.size();
}

const std::vector<std::pair<LONG, LONG>>& CShapeTextIndex::GetRunSpans() {
    if (m_runSpansRead) return m_runSpans;
    m_runSpansRead = true;
    CComPtr<PowerPoint::TextRange> runs;
    if (!m_textRange || m_textRange->Runs(-1, -1, &runs) < 0 || !runs) return m_runSpans;
    const LONG count = std::min<LONG>(ReadOrZero(runs.Get(), &PowerPoint::TextRange::get_Count), MaxItems());
    for (LONG i = 1; i <= count; ++i) {
        CComPtr<PowerPoint::TextRange> run;
        if (runs->Runs(i, 1, &run) < 0 || !run) continue;
        const LONG start = ReadOrZero(run.Get(), &PowerPoint::TextRange::get_Start) - 1;
        const LONG length = ReadOrZero(run.Get(), &PowerPoint::TextRange::get_Length);
        if (start >= 0 && length > 0) m_runSpans.emplace_back(start, length);
    }
    return m_runSpans;
}

}  // namespace genswf
