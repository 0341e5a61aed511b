// The text-frame model of a basic shape.
//
// Skeleton: no paragraph is read yet.

#include "genswf/text/TextFrameContent.h"

#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/ShapeExportRequest.h"
#include "genswf/text/TextParagraph.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

std::shared_ptr<CTextFrameContent> CTextFrameContent::Create(const std::shared_ptr<CPptTextFrame>& frame,
                                                             CBasicShape* shape) {
    return std::make_shared<CTextFrameContent>(frame, shape);
}

CTextFrameContent::CTextFrameContent(const std::shared_ptr<CPptTextFrame>& frame, CBasicShape* shape)
    : m_source(frame, shape), m_shape(shape), m_frame(frame) {}

CTextFrameContent::~CTextFrameContent() = default;

void CTextFrameContent::ExportTextShape(const std::shared_ptr<CTextExportRequest>& /*request*/) {
    throw CBaseException(0, L"CTextFrameContent::ExportTextShape is not built yet");
}

CMovie* CTextFrameContent::GetMovie() const { return m_shape->GetContextMovie(); }
COLORREF CTextFrameContent::GetLightColor() const { return m_shape->GetLightColor(); }
COLORREF CTextFrameContent::GetDarkColor() const { return m_shape->GetDarkColor(); }
COLORREF CTextFrameContent::GetBaseColor() const { return m_shape->GetBaseColor(); }
COLORREF CTextFrameContent::GetContrastColor(COLORREF color) const { return m_shape->GetContrastColor(color); }
std::shared_ptr<libpptparser::CTextFrame> CTextFrameContent::GetParsedTextFrame() {
    return m_source.GetParsedTextFrame();
}

}  // namespace genswf
