#pragma once
// The colour of a fill or line.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptColorFormat {
public:
    explicit CPptColorFormat(PowerPoint::ColorFormat* color);
    virtual ~CPptColorFormat();
    CPptColorFormat(const CPptColorFormat&) = delete;
    CPptColorFormat& operator=(const CPptColorFormat&) = delete;

    ULONG GetRGB();  // 0x00BBGGRR

private:
    CComPtr<PowerPoint::ColorFormat> m_pColor;
    bool m_rgbRead = false;
    ULONG m_rgb = 0;
};

std::shared_ptr<CPptColorFormat> CreatePptColorFormat(PowerPoint::ColorFormat* color);

}  // namespace genswf
