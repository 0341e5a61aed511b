// The shape's text frame wrapper.

#include "PptHelpers.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"

namespace genswf {

std::shared_ptr<CPptTextFrame> CPptShape::GetTextFrame() {
    if (!m_textFrame) {
        CComPtr<PowerPoint::TextFrame> frame;
        frame.Attach(GetTextFramePtr());
        m_textFrame = CreatePptTextFrame(frame);
    }
    return m_textFrame;
}

}  // namespace genswf
