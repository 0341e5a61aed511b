// The colour wrapper.

#include "genswf/ppt/PptColorFormat.h"

#include "PptHelpers.h"

namespace genswf {

CPptColorFormat::CPptColorFormat(PowerPoint::ColorFormat* color) : m_pColor(color) {}

CPptColorFormat::~CPptColorFormat() = default;

ULONG CPptColorFormat::GetRGB() {
    if (!m_rgbRead) {
        ULONG rgb = 0;
        if (!m_pColor || m_pColor->get_RGB(&rgb) < 0) ThrowPptException(__FILE__, 38);
        m_rgb = rgb;
        m_rgbRead = true;
    }
    return m_rgb;
}

std::shared_ptr<CPptColorFormat> CreatePptColorFormat(PowerPoint::ColorFormat* color) {
    return std::make_shared<CPptColorFormat>(color);
}

}  // namespace genswf
