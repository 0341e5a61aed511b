// The shape text index of the path without a timeline.
//
// Skeleton: the index is not built yet.

#include "genswf/text/ShapeTextIndex.h"

#include "genswf/shapes/Shape.h"
#include "genswf/text/BulletRecord.h"
#include "genswf/text/TextSprite.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

std::shared_ptr<libpptparser::CTextFrame> CParsedTextSource::GetParsedTextFrame() {
    NotBuilt(L"CParsedTextSource::GetParsedTextFrame");
}

CTextRangeItem::CTextRangeItem(CShapeTextIndex* owner_, PowerPoint::TextRange* range_, int number_)
    : number(number_), owner(owner_), movie(owner_->GetMovie()), range(range_) {}

CTextRangeItem::~CTextRangeItem() = default;

CTextParagraphItem::CTextParagraphItem(CShapeTextIndex* owner, PowerPoint::TextRange* range, int number)
    : CTextRangeItem(owner, range, number) {}

CTextParagraphItem::~CTextParagraphItem() = default;

CRefPtr<CShapeTextIndex> CShapeTextIndex::Create(CShape* shape) {
    return CRefPtr<CShapeTextIndex>(new CShapeTextIndex(shape));
}

CShapeTextIndex::CShapeTextIndex(CShape* shape)
    : m_parsedSource(this, shape), m_movie(shape->GetMovie()), m_shape(shape) {
    NotBuilt(L"CShapeTextIndex");
}

CShapeTextIndex::~CShapeTextIndex() = default;

void CShapeTextIndex::WriteTextSprites(const XmlElementPtr& /*parent*/) {
    NotBuilt(L"CShapeTextIndex::WriteTextSprites");
}

std::size_t CShapeTextIndex::GetLinesOfParagraph(std::size_t /*paragraphNumber*/,
                                                 std::vector<CRefPtr<CTextLineItem>>& /*lines*/) const {
    NotBuilt(L"CShapeTextIndex::GetLinesOfParagraph");
}

std::size_t CShapeTextIndex::GetWordsOfLine(std::size_t /*lineNumber*/,
                                            std::vector<CRefPtr<CTextWordItem>>& /*words*/) const {
    NotBuilt(L"CShapeTextIndex::GetWordsOfLine");
}

void CShapeTextIndex::MakeGroup(int /*start*/, int /*count*/) { NotBuilt(L"CShapeTextIndex::MakeGroup"); }

}  // namespace genswf
