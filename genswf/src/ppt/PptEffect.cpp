// The animation effect wrapper.

#include "genswf/ppt/PptTimeLine.h"

#include "PptHelpers.h"

namespace genswf {

CPptEffect::CPptEffect(PowerPoint::Effect* effect) : CPptObject<PowerPoint::Effect>(effect), m_pEffect(effect) {}

CPptEffect::~CPptEffect() = default;

// A null result of the interface-valued reads is a failure too, as nothing could be asked of it.

PowerPoint::EffectInformation* CPptEffect::GetEffectInformationPtr() {
    return ReadPtrOnce(m_pEffectInformation, m_pEffect.Get(), &PowerPoint::Effect::get_EffectInformation, __FILE__, 44);
}

PowerPoint::EffectParameters* CPptEffect::GetEffectParametersPtr() {
    return ReadPtrOnce(m_pEffectParameters, m_pEffect.Get(), &PowerPoint::Effect::get_EffectParameters, __FILE__, 53);
}

PowerPoint::Timing* CPptEffect::GetTimingPtr() {
    return ReadPtrOnce(m_pTiming, m_pEffect.Get(), &PowerPoint::Effect::get_Timing, __FILE__, 147);
}

PowerPoint::Shape* CPptEffect::GetShapePtr() {
    if (!m_pShape) {
        CComPtr<PowerPoint::Shape> target;
        if (!m_pEffect || m_pEffect->get_Shape(&target) < 0) ThrowPptException(__FILE__, 106);
        // A target without the Shape interface (or none at all) is not kept: asked again next time.
        m_pShape = Adopt(QueryShape(target));
    }
    return AddRefCopy(m_pShape);
}

LONG CPptEffect::GetIndex() {
    if (!m_indexRead) {
        LONG index = 0;
        if (!m_pEffect || m_pEffect->get_Index(&index) < 0) ThrowPptException(__FILE__, 137);
        m_index = index - 1;
        m_indexRead = true;
    }
    return m_index;
}

PowerPoint::MsoAnimEffect CPptEffect::GetEffectType() {
    if (!m_effectTypeRead) {
        PowerPoint::MsoAnimEffect type = 0;
        // An unreadable type plays as an appearance; the failure is not retried.
        m_effectType = (m_pEffect && m_pEffect->get_EffectType(&type) >= 0) ? type : PowerPoint::msoAnimEffectAppear;
        m_effectTypeRead = true;
    }
    return m_effectType;
}

LONG CPptEffect::GetParagraph() {
    if (!m_paragraphRead) {
        LONG paragraph = 0;
        // An unreadable paragraph means the whole shape; the failure is not retried.
        m_paragraph = (m_pEffect && m_pEffect->get_Paragraph(&paragraph) >= 0) ? paragraph - 1 : -1;
        m_paragraphRead = true;
    }
    return m_paragraph;
}

PowerPoint::MsoTriState CPptEffect::GetExit() {
    if (!m_exitRead) {
        PowerPoint::MsoTriState exit = 0;
        if (!m_pEffect || m_pEffect->get_Exit(&exit) < 0) ThrowPptException(__FILE__, 95);
        m_exit = exit;
        m_exitRead = true;
    }
    return m_exit;
}

}  // namespace genswf
