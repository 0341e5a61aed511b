#pragma once
// A shape's text as the host answers it: the item spans of each unit and the layout of the
// frame, kept per shape on the document and rebuilt only when the text or the frame changed.

#include "powerpoint/host/PowerPointHost.h"

#include "fonts/layout/TextLayout.h"

#include <utility>
#include <vector>

namespace PowerPoint {
namespace Host {

using Span = std::pair<LONG, LONG>;  // start (0-based), length

enum class Unit { Paragraph, Sentence, Word, Character, Run, Line };

// The layout of the shape's text frame, up to date with the shape's state.
fonts::layout::CTextLayout& LayoutOf(CHostShape* shape);

// All items of a unit over the whole text, in order (not for Unit::Character).
const std::vector<Span>& UnitItems(CHostShape* shape, Unit unit);

// The items of a unit that meet [start, start + length), cut to it: an empty range meets the
// item holding its position, and an empty item meets a range that holds its position. A view
// over the shape's cached items: valid until the shape's text changes.
class CItemsIn {
public:
    std::size_t Count() const { return m_count; }
    Span At(std::size_t i) const;

private:
    friend CItemsIn ItemsIn(CHostShape* shape, Unit unit, LONG start, LONG length);
    const std::vector<Span>* m_items = nullptr;  // null: characters
    std::size_t m_first = 0, m_count = 0;
    LONG m_start = 0, m_end = 0;
};
CItemsIn ItemsIn(CHostShape* shape, Unit unit, LONG start, LONG length);

// Paragraph indexes (0-based) that a range touches; at least the one holding start.
std::vector<std::size_t> ParagraphsOf(CHostShape* shape, LONG start, LONG length);

// The number a numbered paragraph shows: it counts on from the start value while numbered
// paragraphs of its level follow each other.
LONG BulletNumber(const TextData& text, std::size_t paragraph);
// The text a bullet draws: its character, or its number in its numbering style.
std::wstring BulletText(const TextData& text, std::size_t paragraph);

// The layout input of a shape's state (its frame and its text).
fonts::layout::TextLayoutInput LayoutInputOf(const ShapeData& shape);

// Text that shrinks to fit its frame: its sizes and line spacing are set to what is shown, as
// an edit of the text would leave them. `storedScale` is the font scale the file kept (0 to 1);
// without one, the largest of the steps the application takes that lets the text fit is found
// here: lines 10 or 20 % closer, then the font smaller by 7.5 % a step, down to a quarter.
// Returns the font scale applied.
float ShrinkTextToFit(ShapeData& shape, float storedScale);

}  // namespace Host
}  // namespace PowerPoint
