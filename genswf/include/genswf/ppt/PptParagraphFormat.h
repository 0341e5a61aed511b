#pragma once
// The paragraph format of a text range.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptBulletFormat;

class CPptParagraphFormat : public CPptObject<PowerPoint::ParagraphFormat> {
public:
    explicit CPptParagraphFormat(PowerPoint::ParagraphFormat* format);
    ~CPptParagraphFormat() override;

    PowerPoint::PpBaselineAlignment GetBaseLineAlignment();
    // AddRef'ed.
    PowerPoint::BulletFormat* GetBulletPtr();
    std::shared_ptr<CPptBulletFormat> GetBullet();

private:
    CComPtr<PowerPoint::ParagraphFormat> m_pFormat;
    bool m_baseLineAlignmentRead = false;
    PowerPoint::PpBaselineAlignment m_baseLineAlignment = 0;
    CComPtr<PowerPoint::BulletFormat> m_pBullet;
    std::shared_ptr<CPptBulletFormat> m_bullet;
};

std::shared_ptr<CPptParagraphFormat> CreatePptParagraphFormat(PowerPoint::ParagraphFormat* format);

}  // namespace genswf
