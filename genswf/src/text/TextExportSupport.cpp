// Support objects of the text-frame path.

#include "genswf/text/TextExportSupport.h"

#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/text/TextFrameContent.h"

namespace genswf {

CMovie* CTextExportContext::GetMovie() const { return m_content->GetMovie(); }
float CTextExportContext::ScaleX(float x) const { return GetMovie()->ScaleX(x); }
float CTextExportContext::ScaleY(float y) const { return GetMovie()->ScaleY(y); }

std::shared_ptr<CTextFieldObject> CTextExportContext::CreateTextField(float x, float y, float width,
                                                                      float height) const {
    return CreateTextFieldObject(GetMovie(), x, y, width, height);
}

COLORREF CTextExportContext::GetLightColor() const { return m_content->GetLightColor(); }
COLORREF CTextExportContext::GetDarkColor() const { return m_content->GetDarkColor(); }
COLORREF CTextExportContext::GetBaseColor() const { return m_content->GetBaseColor(); }
COLORREF CTextExportContext::GetContrastColor(COLORREF color) const { return m_content->GetContrastColor(color); }

std::shared_ptr<libpptparser::CTextFrame> CTextFrameSource::GetParsedTextFrame() {
    if (!m_parsedFrame && m_shape) m_parsedFrame = m_shape->GetParsedLink().GetTextFrame();
    return m_parsedFrame;
}

std::shared_ptr<CTextAnimatedObject> CTextAnimatedObject::Create(CBasicShape* owner) {
    return std::make_shared<CTextAnimatedObject>(owner);
}

std::shared_ptr<CLayer> CTextAnimatedObject::GetLayer() {
    if (!m_layer) m_layer = m_owner->GetSecondLayer();
    return m_layer;
}

std::shared_ptr<CObjectsCollection> CTextAnimatedObject::FetchObjects() { return m_owner->GetObjectsCollection(); }

}  // namespace genswf
