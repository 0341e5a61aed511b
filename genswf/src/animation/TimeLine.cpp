// Timeline effect records, the effect list of a main sequence and a slide's animation.

#include "genswf/animation/TimeLine.h"

#include "genswf/animation/EffectRegistry.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/utils/Exceptions.h"
#include "ppt/PptHelpers.h"

namespace genswf {

CTimeLineEffect::CTimeLineEffect(Values values)
    : m_exit(values.exit),
      m_paragraph(values.paragraph),
      m_effectType(values.effectType),
      m_targetShapeName(std::move(values.targetShapeName)),
      m_information(std::move(values.information)),
      m_parameters(std::move(values.parameters)),
      m_timing(std::move(values.timing)),
      m_index(values.index),
      m_targetShapeId(values.targetShapeId) {}

std::int32_t CTimeLineEffect::GetTextBuildLevel() const {
    const std::int32_t level = m_information ? m_information->GetBuildByLevelEffect() : 0;
    if (level == 1) return 0;
    if (level >= 2 && level <= 6) return level - 1;
    return -1;
}

std::int32_t CTimeLineEffect::GetDirection() const { return m_parameters ? m_parameters->GetDirection() : 0; }

void CTimeLineEffect::SetStartFrame(std::uint32_t frame) {
    m_hasStartFrame = true;
    m_startFrame = frame;
}

void CTimeLineEffect::SetEndFrame(std::uint32_t frame) {
    m_hasEndFrame = true;
    m_endFrame = frame;
}

// An end set before the start counts as a one-frame effect rather than wrapping around.
std::uint32_t CTimeLineEffect::GetDuration() const {
    return m_endFrame <= m_startFrame ? 1u : m_endFrame - m_startFrame;
}

float CTimeLineEffect::GetProgress(std::uint32_t frame) const {
    if (frame <= m_startFrame) return 0.0f;
    return static_cast<float>(static_cast<double>(frame - m_startFrame) / static_cast<double>(GetDuration()));
}

std::shared_ptr<CTimeLineEffect> CreateTimeLineEffect(CPptEffect& effect) {
    CTimeLineEffect::Values v;
    v.exit = effect.GetExit() == -1;
    v.paragraph = effect.GetParagraph();
    v.effectType = effect.GetEffectType();
    {
        CPptEffectInformation information(Adopt(effect.GetEffectInformationPtr()));
        v.information = CreateEffectInformation(information);
    }
    {
        CPptEffectParameters parameters(Adopt(effect.GetEffectParametersPtr()));
        v.parameters = CreateEffectParameters(parameters);
    }
    {
        CPptTiming timing(Adopt(effect.GetTimingPtr()));
        v.timing = CreateEffectTiming(timing);
    }
    v.index = effect.GetIndex();
    CComPtr<PowerPoint::Shape> shape = Adopt(effect.GetShapePtr());
    if (shape) {
        std::shared_ptr<CPptShape> target = CreatePptShape(shape);
        v.targetShapeName = target->GetName();
        v.targetShapeId = target->GetId();
    }
    return std::make_shared<CTimeLineEffect>(std::move(v));
}

std::shared_ptr<CEffectList> CEffectList::Create(CPptSequence& sequence, const TimeLineLog& log) {
    auto list = CreateEmpty();
    const LONG count = sequence.GetCount();
    if (count <= 0) return list;
    list->m_effects.reserve(static_cast<std::size_t>(count));
    for (LONG i = 0; i < count; ++i) {
        std::shared_ptr<CTimeLineEffect> record;
        // One effect that cannot be read costs that effect, not the slide's other animations.
        try {
            std::shared_ptr<CPptEffect> effect = sequence.GetEffect(i);
            if (!effect) THROW_PPT_EXCEPTION();
            record = CreateTimeLineEffect(*effect);
        } catch (const CBaseException& e) {
            if (log)
                log(L"Effect " + std::to_wstring(i + 1) + L" of the slide's timeline cannot be read and is left out: " +
                    e.GetMessage());
            continue;
        }
        if (!record->GetTargetShapeName().empty()) list->m_effects.push_back(record);
    }
    return list;
}

std::shared_ptr<CEffectList> CEffectList::CreateEmpty() { return std::make_shared<CEffectList>(); }

std::shared_ptr<CShapeEffectList> CEffectList::GetEffectsForShape(const std::wstring& name) const {
    return GetEffectsForShape(name, 0);
}

std::shared_ptr<CShapeEffectList> CEffectList::GetEffectsForShape(const std::wstring& name, LONG shapeId) const {
    auto list = CShapeEffectList::Create(name, shapeId);
    for (const auto& effect : m_effects) list->AddIfTarget(effect);
    return list;
}

std::shared_ptr<CTimeLineAnimation> CTimeLineAnimation::Create(CPptTimeLine& timeLine, const TimeLineLog& log) {
    std::shared_ptr<CPptSequence> sequence = timeLine.GetMainSequence();
    if (!sequence) THROW_PPT_EXCEPTION();
    return std::make_shared<CTimeLineAnimation>(CEffectList::Create(*sequence, log));
}

std::shared_ptr<CTimeLineAnimation> CTimeLineAnimation::CreateEmpty() {
    return std::make_shared<CTimeLineAnimation>(CEffectList::CreateEmpty());
}

std::shared_ptr<CTimeLineAnimation> CTimeLineAnimation::CreateForSlide(PowerPoint::_Slide* slide,
                                                                       const TimeLineLog& log) {
    CRefPtr<CEffectRegistry> registry = CEffectRegistry::GetRequiredGlobal();
    if (!registry->HasTimeLine() || !slide) return CreateEmpty();
    CComPtr<PowerPoint::_Slide> queried;
    if (slide->QueryInterface(PowerPoint::IID__Slide, reinterpret_cast<void**>(&queried)) < 0 || !queried)
        return CreateEmpty();
    CComPtr<PowerPoint::TimeLine> raw;
    if (queried->get_TimeLine(&raw) < 0 || !raw) return CreateEmpty();
    CPptTimeLine timeLine(raw);
    return Create(timeLine, log);
}

}  // namespace genswf
