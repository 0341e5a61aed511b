// The paragraph format of a text range.

#include "genswf/ppt/PptParagraphFormat.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptBulletFormat.h"

namespace genswf {

CPptParagraphFormat::CPptParagraphFormat(PowerPoint::ParagraphFormat* format)
    : CPptObject<PowerPoint::ParagraphFormat>(format), m_pFormat(format) {}

CPptParagraphFormat::~CPptParagraphFormat() { m_bullet.reset(); }

PowerPoint::PpBaselineAlignment CPptParagraphFormat::GetBaseLineAlignment() {
    if (!m_baseLineAlignmentRead) {
        if (!m_pFormat || m_pFormat->get_BaseLineAlignment(&m_baseLineAlignment) < 0) ThrowPptException(__FILE__, 39);
        m_baseLineAlignmentRead = true;
    }
    return m_baseLineAlignment;
}

PowerPoint::BulletFormat* CPptParagraphFormat::GetBulletPtr() {
    return ReadPtrOnce(m_pBullet, m_pFormat.Get(), &PowerPoint::ParagraphFormat::get_Bullet, __FILE__, 44);
}

std::shared_ptr<CPptBulletFormat> CPptParagraphFormat::GetBullet() {
    if (!m_bullet) {
        m_bullet = CreatePptBulletFormat(Adopt(GetBulletPtr()));
    }
    return m_bullet;
}

std::shared_ptr<CPptParagraphFormat> CreatePptParagraphFormat(PowerPoint::ParagraphFormat* format) {
    return std::make_shared<CPptParagraphFormat>(format);
}

}  // namespace genswf
