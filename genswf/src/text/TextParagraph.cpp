// Paragraphs and lines of the text-frame path.
//
// Skeleton: lines are not collected yet.

#include "genswf/text/TextParagraph.h"

#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/TextExportSupport.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/text/TextPiece.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

CTextLine::CTextLine(const std::shared_ptr<CPptTextFrame>& /*textFrame*/,
                     const std::shared_ptr<CPptTextRange>& /*lineRange*/,
                     std::vector<std::shared_ptr<CTextPiece>> pieces)
    : m_pieces(std::move(pieces)) {}

CTextLine::~CTextLine() = default;

std::shared_ptr<CPlacedTextFieldGroups> CTextLine::Layout(CTextExportContext& /*context*/) {
    NotBuilt(L"CTextLine::Layout");
}

std::shared_ptr<CTextParagraph> CTextParagraph::Create(CTextFrameContent* owner,
                                                       const std::shared_ptr<CPptTextRange>& range,
                                                       const std::shared_ptr<CShapeContext>& shapeContext) {
    return std::make_shared<CTextParagraph>(owner, range, shapeContext);
}

CTextParagraph::CTextParagraph(CTextFrameContent* owner, const std::shared_ptr<CPptTextRange>& range,
                               const std::shared_ptr<CShapeContext>& shapeContext)
    : m_owner(owner), m_range(range), m_shapeContext(shapeContext) {}

CTextParagraph::~CTextParagraph() = default;

std::shared_ptr<CSpriteObject> CTextParagraph::ExportSprite(CTextExportContext& /*context*/) {
    NotBuilt(L"CTextParagraph::ExportSprite");
}

float CTextParagraph::GetBoundLeft() { return m_range->GetBoundLeft(); }
float CTextParagraph::GetBoundTop() { return m_range->GetBoundTop(); }
float CTextParagraph::GetBoundWidth() { return m_range->GetBoundWidth(); }
float CTextParagraph::GetBoundHeight() { return m_range->GetBoundHeight(); }
Rect CTextParagraph::GetBoundsInPoints() { NotBuilt(L"CTextParagraph::GetBoundsInPoints"); }
Rect CTextParagraph::GetBounds() { NotBuilt(L"CTextParagraph::GetBounds"); }
LONG CTextParagraph::GetIndentLevel() { return m_range->GetIndentLevel(); }

std::shared_ptr<CActionSettingList> CTextParagraph::FindActionSettings(LONG /*start*/, LONG /*length*/) {
    NotBuilt(L"CTextParagraph::FindActionSettings");
}

void CTextParagraph::CollectLines() { NotBuilt(L"CTextParagraph::CollectLines"); }

std::vector<std::shared_ptr<CTextPiece>> CTextParagraph::CollectWordPieces(const std::shared_ptr<CPptTextRange>&, LONG,
                                                                           LONG) {
    NotBuilt(L"CTextParagraph::CollectWordPieces");
}

std::vector<std::shared_ptr<CTextPiece>> CTextParagraph::CollectRunPieces(const std::shared_ptr<CPptTextRange>&,
                                                                          const std::shared_ptr<CPptTextRange>&, LONG,
                                                                          LONG) {
    NotBuilt(L"CTextParagraph::CollectRunPieces");
}

void CTextParagraph::MakeBullet() { NotBuilt(L"CTextParagraph::MakeBullet"); }

}  // namespace genswf
