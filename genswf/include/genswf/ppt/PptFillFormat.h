#pragma once
// The fill of a shape: visibility, type, transparency and foreground colour.

#include "Ppt.h"
#include "PptColorFormat.h"

#include <memory>

namespace genswf {

class CPptFillFormat : public CPptObject<PowerPoint::FillFormat> {
public:
    // Reads Visible, so it throws when that cannot be read.
    explicit CPptFillFormat(PowerPoint::FillFormat* fill);
    ~CPptFillFormat() override;

    PowerPoint::MsoTriState GetVisible() const { return m_visible; }
    PowerPoint::ColorFormat* GetForeColorPtr();  // AddRef'ed
    std::shared_ptr<CPptColorFormat> GetForeColor();
    float GetTransparency();  // 0.0 opaque to 1.0 clear
    PowerPoint::MsoFillType GetType();

private:
    CComPtr<PowerPoint::ColorFormat> m_pForeColor;
    CComPtr<PowerPoint::FillFormat> m_pFill;
    std::shared_ptr<CPptColorFormat> m_foreColor;
    bool m_transparencyRead = false;
    float m_transparency = 0.0f;
    bool m_typeRead = false;
    PowerPoint::MsoFillType m_type = 0;
    PowerPoint::MsoTriState m_visible = 0;
};

std::shared_ptr<CPptFillFormat> CreatePptFillFormat(PowerPoint::FillFormat* fill);

}  // namespace genswf
