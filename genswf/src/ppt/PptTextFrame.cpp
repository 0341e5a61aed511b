// The text frame of a shape.

#include "genswf/ppt/PptTextFrame.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptRuler.h"

namespace genswf {

CPptTextFrame::CPptTextFrame(PowerPoint::TextFrame* frame) : m_pFrame(AddRefCopy(frame)) {}

CPptTextFrame::~CPptTextFrame() {
    m_ruler.reset();
    SafeRelease(m_pRuler);
    SafeRelease(m_pTextRange);
    SafeRelease(m_pParentShape);
    SafeRelease(m_pFrame);
}

PowerPoint::Shape* CPptTextFrame::GetParentShape() {
    if (!m_pParentShape) {
        PowerPoint::IDispatch* parent = nullptr;
        if (!m_pFrame || m_pFrame->get_Parent(&parent) < 0) {
            SafeRelease(parent);
            ThrowPptException(__FILE__, 58);
        }
        m_pParentShape = QueryShape(parent);
        SafeRelease(parent);
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
    if (!m_pTextRange) {
        if (!m_pFrame || m_pFrame->get_TextRange(&m_pTextRange) < 0 || !m_pTextRange) {
            SafeRelease(m_pTextRange);
            ThrowPptException(__FILE__, 45);
        }
    }
    return AddRefCopy(m_pTextRange);
}

PowerPoint::Ruler* CPptTextFrame::GetRulerPtr() {
    if (!m_pRuler) {
        if (!m_pFrame || m_pFrame->get_Ruler(&m_pRuler) < 0 || !m_pRuler) {
            SafeRelease(m_pRuler);
            ThrowPptException(__FILE__, 66);
        }
    }
    return AddRefCopy(m_pRuler);
}

std::shared_ptr<CPptRuler> CPptTextFrame::GetRuler() {
    if (!m_ruler) {
        PowerPoint::Ruler* ruler = GetRulerPtr();
        m_ruler = CreatePptRuler(ruler);
        ruler->Release();
    }
    return m_ruler;
}

void CPptTextFrame::SetAutoSize(PowerPoint::PpAutoSize value) {
    if (!m_pFrame || m_pFrame->put_AutoSize(value) < 0) ThrowPptException(__FILE__, 85);
}

std::shared_ptr<CPptTextFrame> CreatePptTextFrame(PowerPoint::TextFrame* frame) {
    return std::make_shared<CPptTextFrame>(frame);
}

}  // namespace genswf
