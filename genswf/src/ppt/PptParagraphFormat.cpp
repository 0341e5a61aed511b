// The paragraph format of a text range.

#include "genswf/ppt/PptParagraphFormat.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptBulletFormat.h"

namespace genswf {

CPptParagraphFormat::CPptParagraphFormat(PowerPoint::ParagraphFormat* format)
    : CPptObject<PowerPoint::ParagraphFormat>(format), m_pFormat(AddRefCopy(format)) {}

CPptParagraphFormat::~CPptParagraphFormat() {
    m_bullet.reset();
    SafeRelease(m_pBullet);
    SafeRelease(m_pFormat);
}

PowerPoint::PpBaselineAlignment CPptParagraphFormat::GetBaseLineAlignment() {
    if (!m_baseLineAlignmentRead) {
        if (!m_pFormat || m_pFormat->get_BaseLineAlignment(&m_baseLineAlignment) < 0) ThrowPptException(__FILE__, 39);
        m_baseLineAlignmentRead = true;
    }
    return m_baseLineAlignment;
}

PowerPoint::BulletFormat* CPptParagraphFormat::GetBulletPtr() {
    if (!m_pBullet) {
        if (!m_pFormat || m_pFormat->get_Bullet(&m_pBullet) < 0 || !m_pBullet) {
            SafeRelease(m_pBullet);
            ThrowPptException(__FILE__, 44);
        }
    }
    return AddRefCopy(m_pBullet);
}

std::shared_ptr<CPptBulletFormat> CPptParagraphFormat::GetBullet() {
    if (!m_bullet) {
        PowerPoint::BulletFormat* bullet = GetBulletPtr();
        m_bullet = CreatePptBulletFormat(bullet);
        bullet->Release();
    }
    return m_bullet;
}

std::shared_ptr<CPptParagraphFormat> CreatePptParagraphFormat(PowerPoint::ParagraphFormat* format) {
    return std::make_shared<CPptParagraphFormat>(format);
}

}  // namespace genswf
