// Text sprites of the shape text index and their layout model.
//
// Skeleton: the layout model is not built yet.

#include "genswf/text/TextSprite.h"

#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/SwfTextField.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

CTextLayoutWord::CTextLayoutWord(CTextLayoutLine* line_, int wordNumber_)
    : line(line_), movie(line_->movie), wordNumber(wordNumber_), index(line_->index) {
    NotBuilt(L"CTextLayoutWord");
}
CTextLayoutWord::~CTextLayoutWord() = default;
Rect CTextLayoutWord::GetBounds() const { NotBuilt(L"CTextLayoutWord::GetBounds"); }
void CTextLayoutWord::WriteObjects(const XmlElementPtr& /*objects*/) { NotBuilt(L"CTextLayoutWord::WriteObjects"); }
void CTextLayoutWord::AddFrames(CFrameList& /*frameList*/, int /*pass*/) { NotBuilt(L"CTextLayoutWord::AddFrames"); }

CTextLayoutLine::CTextLayoutLine(CTextLayoutParagraph* paragraph_, int lineNumber_)
    : paragraph(paragraph_), movie(paragraph_->movie), lineNumber(lineNumber_), index(paragraph_->index) {
    NotBuilt(L"CTextLayoutLine");
}
CTextLayoutLine::~CTextLayoutLine() = default;
Rect CTextLayoutLine::GetBounds() const { NotBuilt(L"CTextLayoutLine::GetBounds"); }
void CTextLayoutLine::WriteObjects(const XmlElementPtr& /*objects*/) { NotBuilt(L"CTextLayoutLine::WriteObjects"); }
void CTextLayoutLine::AddFrames(CFrameList& /*frameList*/, int /*pass*/) { NotBuilt(L"CTextLayoutLine::AddFrames"); }

CTextBullet::CTextBullet(CTextLayoutParagraph* paragraph_, CMovie* movie_, CRefPtr<SwfTextField> field_)
    : paragraph(paragraph_), movie(movie_), field(std::move(field_)) {}
CTextBullet::~CTextBullet() = default;

CTextLayoutParagraph::CTextLayoutParagraph(CTextSprite* sprite_, int /*k*/)
    : sprite(sprite_), movie(sprite_->GetMovie()), index(sprite_->GetIndex()) {
    NotBuilt(L"CTextLayoutParagraph");
}
CTextLayoutParagraph::~CTextLayoutParagraph() = default;
Rect CTextLayoutParagraph::GetBounds() const { NotBuilt(L"CTextLayoutParagraph::GetBounds"); }
void CTextLayoutParagraph::WriteObjects(const XmlElementPtr& /*objects*/) {
    NotBuilt(L"CTextLayoutParagraph::WriteObjects");
}
void CTextLayoutParagraph::AddFrames(CFrameList& /*frameList*/, int /*pass*/) {
    NotBuilt(L"CTextLayoutParagraph::AddFrames");
}

CTextSprite::CTextSprite(CShapeTextIndex* index, int firstParagraph, int paragraphCount, bool dimmed, COLORREF dimColor)
    : m_owner(index),
      m_movie(index->GetMovie()),
      m_firstParagraph(firstParagraph),
      m_paragraphCount(paragraphCount),
      m_dimmed(dimmed),
      m_dimColor(dimColor) {
    NotBuilt(L"CTextSprite");
}

CTextSprite::~CTextSprite() = default;
void CTextSprite::Write(const XmlElementPtr& /*parent*/) { NotBuilt(L"CTextSprite::Write"); }
Rect CTextSprite::GetBounds() const { NotBuilt(L"CTextSprite::GetBounds"); }
CMatrix CTextSprite::GetPlacementMatrix() const { NotBuilt(L"CTextSprite::GetPlacementMatrix"); }

}  // namespace genswf
