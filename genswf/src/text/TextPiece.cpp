// Text pieces of the text-frame path and the fields their layout places.
//
// Skeleton: the layout is not built yet.

#include "genswf/text/TextPiece.h"

#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/TextExportSupport.h"
#include "genswf/text/TextStyle.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

std::shared_ptr<CPlacedTextField> CreatePlacedTextField(std::shared_ptr<CActionSettingList> actionSettings,
                                                        std::shared_ptr<CTextFieldObject> field, const CMatrix& matrix,
                                                        int pass) {
    return std::make_shared<CPlacedTextField>(std::move(actionSettings), std::move(field), matrix, pass);
}

std::shared_ptr<CPlacedTextField> CPlacedTextFieldList::FindByPass(int pass) const {
    for (const auto& field : fields)
        if (field && field->pass == pass) return field;
    return nullptr;
}

void CPlacedTextFieldGroups::AddAll(const CPlacedTextFieldGroups& other) {
    for (const auto& group : other.m_groups) m_groups.push_back(group);
}

std::shared_ptr<CTextPiece> CTextPiece::CreateFromRange(const std::shared_ptr<CPptTextRange>& /*range*/,
                                                        const std::shared_ptr<TextStyle>& /*style*/) {
    NotBuilt(L"CTextPiece::CreateFromRange");
}

std::shared_ptr<CTextPiece> CTextPiece::CreateBullet(const std::shared_ptr<CPptTextRange>& /*paragraphRange*/,
                                                     const std::shared_ptr<TextStyle>& /*style*/,
                                                     const Rect& /*rectangle*/) {
    NotBuilt(L"CTextPiece::CreateBullet");
}

CTextPiece::CTextPiece() = default;
CTextPiece::~CTextPiece() = default;

std::shared_ptr<CPlacedTextFieldList> CTextPiece::Layout(const CTextLayoutParams& /*params*/) {
    NotBuilt(L"CTextPiece::Layout");
}

LONG CTextPiece::GetOrientation() const { NotBuilt(L"CTextPiece::GetOrientation"); }
void CTextPiece::ComputeMetrics() { NotBuilt(L"CTextPiece::ComputeMetrics"); }

}  // namespace genswf
