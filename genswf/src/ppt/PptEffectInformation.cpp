// The effect information wrapper and its stored record.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptEffectInformation::CPptEffectInformation(PowerPoint::EffectInformation* information)
    : m_pInformation(information) {}

CPptEffectInformation::~CPptEffectInformation() = default;

PowerPoint::MsoTriState CPptEffectInformation::GetAnimateTextInReverse() {
    if (!m_animateTextInReverseRead) {
        PowerPoint::MsoTriState reverse = 0;
        if (!m_pInformation || m_pInformation->get_AnimateTextInReverse(&reverse) < 0) ThrowPptException(__FILE__, 56);
        m_animateTextInReverse = reverse;
        m_animateTextInReverseRead = true;
    }
    return m_animateTextInReverse;
}

PowerPoint::MsoAnimateByLevel CPptEffectInformation::GetBuildByLevelEffect() {
    if (!m_buildByLevelEffectRead) {
        PowerPoint::MsoAnimateByLevel level = 0;
        // An unreadable level means the text is not built by levels; not retried.
        m_buildByLevelEffect = (m_pInformation && m_pInformation->get_BuildByLevelEffect(&level) >= 0)
                                   ? level
                                   : PowerPoint::msoAnimateLevelNone;
        m_buildByLevelEffectRead = true;
    }
    return m_buildByLevelEffect;
}

std::shared_ptr<CEffectInformation> CreateEffectInformation(CPptEffectInformation& information) {
    const LONG level = information.GetBuildByLevelEffect();
    const bool reverse = information.GetAnimateTextInReverse() == PowerPoint::msoTrue;
    return std::make_shared<CEffectInformation>(level, reverse);
}

}  // namespace genswf
