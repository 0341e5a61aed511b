// The effect timing wrapper and its stored record.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptTiming::CPptTiming(PowerPoint::Timing* timing) : m_pTiming(timing) {}

CPptTiming::~CPptTiming() = default;

float CPptTiming::GetDuration() {
    if (!m_durationRead) {
        float duration = 0.0f;
        if (!m_pTiming || m_pTiming->get_Duration(&duration) < 0) ThrowPptException(__FILE__, 77);
        m_duration = duration;
        m_durationRead = true;
    }
    return m_duration;
}

float CPptTiming::GetTriggerDelayTime() {
    if (!m_triggerDelayTimeRead) {
        float delay = 0.0f;
        if (!m_pTiming || m_pTiming->get_TriggerDelayTime(&delay) < 0) ThrowPptException(__FILE__, 157);
        m_triggerDelayTime = delay;
        m_triggerDelayTimeRead = true;
    }
    return m_triggerDelayTime;
}

PowerPoint::MsoAnimTriggerType CPptTiming::GetTriggerType() {
    if (!m_triggerTypeRead) {
        PowerPoint::MsoAnimTriggerType type = 0;
        if (!m_pTiming || m_pTiming->get_TriggerType(&type) < 0) ThrowPptException(__FILE__, 179);
        m_triggerType = type;
        m_triggerTypeRead = true;
    }
    return m_triggerType;
}

std::shared_ptr<CEffectTiming> CreateEffectTiming(CPptTiming& timing) {
    const float duration = timing.GetDuration();
    const float delay = timing.GetTriggerDelayTime();
    const LONG trigger = timing.GetTriggerType();
    return std::make_shared<CEffectTiming>(duration, delay, trigger);
}

}  // namespace genswf
