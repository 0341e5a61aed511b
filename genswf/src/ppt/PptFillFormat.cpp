// The fill wrapper.

#include "genswf/ppt/PptFillFormat.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptColorFormat.h"

namespace genswf {

CPptFillFormat::CPptFillFormat(PowerPoint::FillFormat* fill) : CPptObject<PowerPoint::FillFormat>(fill), m_pFill(fill) {
    PowerPoint::MsoTriState visible = 0;
    if (!m_pFill || m_pFill->get_Visible(&visible) < 0) ThrowPptException(__FILE__, 23);
    m_visible = visible;
}

CPptFillFormat::~CPptFillFormat() { m_foreColor.reset(); }

PowerPoint::ColorFormat* CPptFillFormat::GetForeColorPtr() {
    return ReadPtrOnce(m_pForeColor, m_pFill.Get(), &PowerPoint::FillFormat::get_ForeColor, __FILE__, 40);
}

std::shared_ptr<CPptColorFormat> CPptFillFormat::GetForeColor() {
    if (!m_foreColor) m_foreColor = CreatePptColorFormat(Adopt(GetForeColorPtr()));
    return m_foreColor;
}

float CPptFillFormat::GetTransparency() {
    if (!m_transparencyRead) {
        float transparency = 0.0f;
        if (!m_pFill || m_pFill->get_Transparency(&transparency) < 0) ThrowPptException(__FILE__, 76);
        m_transparency = transparency;
        m_transparencyRead = true;
    }
    return m_transparency;
}

PowerPoint::MsoFillType CPptFillFormat::GetType() {
    if (!m_typeRead) {
        PowerPoint::MsoFillType type = 0;
        if (!m_pFill || m_pFill->get_Type(&type) < 0) ThrowPptException(__FILE__, 81);
        m_type = type;
        m_typeRead = true;
    }
    return m_type;
}

std::shared_ptr<CPptFillFormat> CreatePptFillFormat(PowerPoint::FillFormat* fill) {
    return std::make_shared<CPptFillFormat>(fill);
}

}  // namespace genswf
