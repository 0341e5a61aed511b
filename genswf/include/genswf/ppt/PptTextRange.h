#pragma once
// A range of a shape's text: its characters, position, bounds, font and paragraph format, and
// its paragraphs, lines, words, runs and characters as ranges of their own.

#include "Ppt.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace genswf {

class CPptFont;
class CPptParagraphFormat;

class CPptTextRange : public CPptObject<PowerPoint::TextRange>, public std::enable_shared_from_this<CPptTextRange> {
public:
    explicit CPptTextRange(PowerPoint::TextRange* range);
    ~CPptTextRange() override;

    // Items in the range (after a sub-range call: paragraphs, lines, ...).
    LONG GetCount();
    // The TextFrame the range belongs to, AddRef'ed; null when its parent is something else.
    PowerPoint::TextFrame* GetParentTextFrame();
    // 0-based position of the first character in the whole text of the frame.
    LONG GetStart();
    LONG GetLength();
    // Points.
    float GetBoundLeft();
    float GetBoundTop();
    float GetBoundWidth();
    float GetBoundHeight();

    // Sub-ranges: start counts from 0; (-1, -1) is the whole collection, whose GetCount is the
    // number of items. Made once per (start, length). Characters(0, GetLength()) of a range whose
    // length was read and that is held by a shared_ptr is the range itself.
    std::shared_ptr<CPptTextRange> Paragraphs(LONG start, LONG length);
    std::shared_ptr<CPptTextRange> Words(LONG start, LONG length);
    std::shared_ptr<CPptTextRange> Characters(LONG start, LONG length);
    std::shared_ptr<CPptTextRange> Lines(LONG start, LONG length);
    std::shared_ptr<CPptTextRange> Runs(LONG start, LONG length);
    // Lets go of the sub-ranges made so far (a later call makes them again): a caller done
    // reading a text's items keeps no wrapper of each word, run and character alive.
    void ReleaseSubRanges();

    const std::wstring& GetText();
    // AddRef'ed.
    PowerPoint::Font* GetFontPtr();
    PowerPoint::ParagraphFormat* GetParagraphFormatPtr();
    // 1 to 5, as the application counts them.
    LONG GetIndentLevel();
    std::shared_ptr<CPptParagraphFormat> GetParagraphFormat();
    std::shared_ptr<CPptFont> GetFont();

private:
    // Sub-ranges of one kind by (start, length), in key order. A flat list: callers ask for
    // items in order, so a new one almost always goes last, and a text's items are few enough
    // that one block beats a tree node per item.
    using SubRangeKey = std::pair<LONG, LONG>;
    using SubRanges = std::vector<std::pair<SubRangeKey, std::shared_ptr<CPptTextRange>>>;
    using SubRangeMember = HRESULT (PowerPoint::TextRange::*)(LONG, LONG, PowerPoint::TextRange**);
    std::shared_ptr<CPptTextRange> SubRange(SubRanges& cache, SubRangeMember member, LONG start, LONG length, int line);

    CComPtr<PowerPoint::TextRange> m_pRange;
    CComPtr<PowerPoint::Font> m_pFont;
    bool m_textRead = false;
    std::wstring m_text;
    CComPtr<PowerPoint::TextFrame> m_pParentTextFrame;
    CComPtr<PowerPoint::ParagraphFormat> m_pParagraphFormat;
    // Made on the first sub-range call: most ranges (characters, runs) are never divided, and a
    // wrapper without the five maps is less than half the size.
    struct SubRangeCaches {
        SubRanges characters;
        SubRanges words;
        SubRanges lines;
        SubRanges paragraphs;
        SubRanges runs;
    };
    SubRangeCaches& Caches();
    std::unique_ptr<SubRangeCaches> m_subRanges;
    bool m_startRead = false;
    LONG m_start = 0;
    bool m_lengthRead = false;
    LONG m_length = 0;
    bool m_countRead = false;
    LONG m_count = 0;
    bool m_boundLeftRead = false;
    float m_boundLeft = 0.0f;
    bool m_boundTopRead = false;
    float m_boundTop = 0.0f;
    bool m_boundWidthRead = false;
    float m_boundWidth = 0.0f;
    bool m_boundHeightRead = false;
    float m_boundHeight = 0.0f;
    bool m_indentLevelRead = false;
    LONG m_indentLevel = 0;
    std::shared_ptr<CPptParagraphFormat> m_paragraphFormat;
    std::shared_ptr<CPptFont> m_font;
};

std::shared_ptr<CPptTextRange> CreatePptTextRange(PowerPoint::TextRange* range);

}  // namespace genswf
