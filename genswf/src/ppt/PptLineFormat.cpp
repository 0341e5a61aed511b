// The line wrapper.

#include "genswf/ppt/PptLineFormat.h"

#include "PptHelpers.h"

namespace genswf {

CPptLineFormat::CPptLineFormat(PowerPoint::LineFormat* line) : CPptObject<PowerPoint::LineFormat>(line), m_pLine(line) {
    PowerPoint::MsoTriState visible = 0;
    if (!m_pLine || m_pLine->get_Visible(&visible) < 0) ThrowPptException(__FILE__, 23);
    m_visible = visible;
}

CPptLineFormat::~CPptLineFormat() = default;

float CPptLineFormat::GetTransparency() {
    if (!m_transparencyRead) {
        float transparency = 0.0f;
        if (!m_pLine || m_pLine->get_Transparency(&transparency) < 0) ThrowPptException(__FILE__, 74);
        m_transparency = transparency;
        m_transparencyRead = true;
    }
    return m_transparency;
}

std::shared_ptr<CPptLineFormat> CreatePptLineFormat(PowerPoint::LineFormat* line) {
    return std::make_shared<CPptLineFormat>(line);
}

}  // namespace genswf
