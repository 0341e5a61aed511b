// The text frame of a shape.

#include "genswf/ppt/PptTextFrame.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptRuler.h"

namespace genswf {

CPptTextFrame::CPptTextFrame(PowerPoint::TextFrame* frame) : m_pFrame(frame) {}

CPptTextFrame::~CPptTextFrame() { m_ruler.reset(); }

PowerPoint::Shape* CPptTextFrame::GetParentShape() {
    if (!m_pParentShape) {
        CComPtr<PowerPoint::IDispatch> parent;
        if (!m_pFrame || m_pFrame->get_Parent(&parent) < 0) ThrowPptException(__FILE__, 58);
        m_pParentShape = Adopt(QueryShape(parent));
    }
    return AddRefCopy(m_pParentShape);
}

PowerPoint::MsoTextOrientation CPptTextFrame::GetOrientation() {
    if (!m_orientationRead) {
        if (!m_pFrame || m_pFrame->get_Orientation(&m_orientation) < 0) ThrowPptException(__FILE__, 50);
        m_orientationRead = true;
    }
    return m_orientation;
}

PowerPoint::MsoTriState CPptTextFrame::GetHasText() {
    if (!m_hasTextRead) {
        if (!m_pFrame || m_pFrame->get_HasText(&m_hasText) < 0) ThrowPptException(__FILE__, 39);
        m_hasTextRead = true;
    }
    return m_hasText;
}

PowerPoint::TextRange* CPptTextFrame::GetTextRange() {
    return ReadPtrOnce(m_pTextRange, m_pFrame.Get(), &PowerPoint::TextFrame::get_TextRange, __FILE__, 45);
}

PowerPoint::Ruler* CPptTextFrame::GetRulerPtr() {
    return ReadPtrOnce(m_pRuler, m_pFrame.Get(), &PowerPoint::TextFrame::get_Ruler, __FILE__, 66);
}

std::shared_ptr<CPptRuler> CPptTextFrame::GetRuler() {
    if (!m_ruler) m_ruler = CreatePptRuler(Adopt(GetRulerPtr()));
    return m_ruler;
}

void CPptTextFrame::SetAutoSize(PowerPoint::PpAutoSize value) {
    if (!m_pFrame || m_pFrame->put_AutoSize(value) < 0) ThrowPptException(__FILE__, 85);
}

std::shared_ptr<CPptTextFrame> CreatePptTextFrame(PowerPoint::TextFrame* frame) {
    return std::make_shared<CPptTextFrame>(frame);
}

}  // namespace genswf
