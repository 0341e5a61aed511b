#pragma once
// The text of a slide shape on the path without a timeline: PowerPoint's own paragraphs, lines
// and words of the shape's text, each with its position and bounds, grouped by the shape's
// build level into text sprites (and their dimmed copies).

#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/text/TextSprite.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace libpptparser {
class CTextFrame;
}

namespace genswf {

class CMovie;
class CShape;
class CShapeTextIndex;

// The parsed text frame of the shape, fetched when first asked and only when the parsed
// shape has one.
class CParsedTextSource {
public:
    CParsedTextSource(CShapeTextIndex* index, CShape* shape) : m_index(index), m_shape(shape) {}
    virtual ~CParsedTextSource() = default;

    std::shared_ptr<libpptparser::CTextFrame> GetParsedTextFrame();

private:
    CShapeTextIndex* m_index;
    CShape* m_shape;
    std::shared_ptr<libpptparser::CTextFrame> m_parsedFrame;
};

// One paragraph, line or word: its bounds (points) and its 0-based place in the shape's text.
class CTextRangeItem : public CRefCounted {
public:
    // Reads Start, Length and the bounds of range (AddRef'ed and kept).
    CTextRangeItem(CShapeTextIndex* owner, PowerPoint::TextRange* range, int number);
    ~CTextRangeItem() override;
    CTextRangeItem(const CTextRangeItem&) = delete;
    CTextRangeItem& operator=(const CTextRangeItem&) = delete;

    float left = 0.0f, top = 0.0f, width = 0.0f, height = 0.0f;
    int start = 0;  // Start - 1
    int length = 0;
    int number = 0;  // 0-based within its kind
    CShapeTextIndex* owner;
    CMovie* movie;
    CComPtr<PowerPoint::TextRange> range;
};

class CTextParagraphItem : public CTextRangeItem {
public:
    CTextParagraphItem(CShapeTextIndex* owner, PowerPoint::TextRange* range, int number);
    ~CTextParagraphItem() override;

    int indentLevel = 0;
    int baselineAlignment = 0;
    CRefPtr<CBulletRecord> bullet;
};

class CTextLineItem : public CTextRangeItem {
public:
    using CTextRangeItem::CTextRangeItem;
};

class CTextWordItem : public CTextRangeItem {
public:
    using CTextRangeItem::CTextRangeItem;
};

class CShapeTextIndex : public CRefCounted {
public:
    // Builds the whole index and its text sprites; progress is reported after every piece.
    static CRefPtr<CShapeTextIndex> Create(CShape* shape);
    explicit CShapeTextIndex(CShape* shape);
    ~CShapeTextIndex() override;
    CShapeTextIndex(const CShapeTextIndex&) = delete;
    CShapeTextIndex& operator=(const CShapeTextIndex&) = delete;

    // Every text sprite, then every dimmed one, under parent.
    void WriteTextSprites(const XmlElementPtr& parent);

    // No bound checks: callers pass valid numbers.
    CRefPtr<CTextParagraphItem> GetParagraph(std::size_t i) const { return m_paragraphs[i]; }
    CRefPtr<CTextLineItem> GetLine(std::size_t i) const { return m_lines[i]; }
    CRefPtr<CTextWordItem> GetWord(std::size_t i) const { return m_words[i]; }
    std::size_t GetParagraphCount() const { return m_paragraphs.size(); }
    std::size_t GetLineCount() const { return m_lines.size(); }
    std::size_t GetWordCount() const { return m_words.size(); }
    // The lines that start in the paragraph.
    std::size_t GetLinesOfParagraph(std::size_t paragraphNumber, std::vector<CRefPtr<CTextLineItem>>& lines) const;
    // The words that overlap the line.
    std::size_t GetWordsOfLine(std::size_t lineNumber, std::vector<CRefPtr<CTextWordItem>>& words) const;

    std::size_t GetTextSpriteCount() const { return m_textSprites.size(); }
    CRefPtr<CTextSprite> GetTextSprite(std::size_t i) const { return m_textSprites[i]; }
    std::size_t GetDimmedTextSpriteCount() const { return m_dimmedTextSprites.size(); }
    CRefPtr<CTextSprite> GetDimmedTextSprite(std::size_t i) const { return m_dimmedTextSprites[i]; }

    CMovie* GetMovie() const { return m_movie; }
    CShape* GetShape() const { return m_shape; }
    // The frame's Orientation (1 horizontal, 4 vertical).
    LONG GetOrientation() const { return m_orientation; }
    // Not AddRef'ed; null when the shape's text could not be reached.
    PowerPoint::TextRange* GetTextRange() const { return m_textRange.Get(); }
    PowerPoint::TextFrame* GetTextFrame() const { return m_textFrame.Get(); }
    CParsedTextSource& GetParsedTextSource() { return m_parsedSource; }
    // PowerPoint's runs of the whole text as (0-based start, length), asked once.
    const std::vector<std::pair<LONG, LONG>>& GetRunSpans();

private:
    // Text sprites of paragraphs [start, start + count), and the dimmed copy when the shape dims.
    void MakeGroup(int start, int count);
    // Every item of one kind: collection(-1, -1), then collection(i, 1) for each.
    template <class Item>
    void CollectItems(HRESULT (PowerPoint::TextRange::*collection)(LONG, LONG, PowerPoint::TextRange**),
                      std::vector<CRefPtr<Item>>& items);
    void MakeGroups();
    void ReportProgress();
    LONG MaxItems() const;

    CParsedTextSource m_parsedSource;
    CMovie* m_movie;
    CComPtr<PowerPoint::TextFrame> m_textFrame;
    CComPtr<PowerPoint::TextRange> m_textRange;
    CShape* m_shape;
    std::vector<CRefPtr<CTextParagraphItem>> m_paragraphs;
    std::vector<CRefPtr<CTextLineItem>> m_lines;
    std::vector<CRefPtr<CTextWordItem>> m_words;
    std::vector<CRefPtr<CTextSprite>> m_textSprites;
    std::vector<CRefPtr<CTextSprite>> m_dimmedTextSprites;
    LONG m_orientation = 0;
    bool m_runSpansRead = false;
    std::vector<std::pair<LONG, LONG>> m_runSpans;
};

}  // namespace genswf
