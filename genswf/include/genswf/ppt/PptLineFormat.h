#pragma once
// The outline of a shape: visibility and transparency.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptLineFormat : public CPptObject<PowerPoint::LineFormat> {
public:
    // Reads Visible, so it throws when that cannot be read.
    explicit CPptLineFormat(PowerPoint::LineFormat* line);
    ~CPptLineFormat() override;

    PowerPoint::MsoTriState GetVisible() const { return m_visible; }
    float GetTransparency();  // 0.0 opaque to 1.0 clear

private:
    CComPtr<PowerPoint::LineFormat> m_pLine;
    PowerPoint::MsoTriState m_visible = 0;
    bool m_transparencyRead = false;
    float m_transparency = 0.0f;
};

std::shared_ptr<CPptLineFormat> CreatePptLineFormat(PowerPoint::LineFormat* line);

}  // namespace genswf
