// The animation timeline of a slide in the in-memory host: timeline, main sequence, effects with
// their timing, parameters and information.

#include "HostObjects.h"

#include <algorithm>

namespace PowerPoint {
namespace Host {

// ---- Timeline ---------------------------------------------------------------------------------

class CTimingObject : public CObject<Timing> {
public:
    CTimingObject(CHostDocument* doc, CHostEffect* effect) : CObject(doc, effect, &effect->data), m_effect(effect) {}
    const char* InterfaceName() const override { return "Timing"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
#define HOST_TIMING_PROPERTY(Name, field, Type) \
    HRESULT get_##Name(Type* out) override {    \
        HOST_ENTER_OUT("get_" #Name, out);      \
        *out = m_effect->data.field;            \
        return S_OK;                            \
    }                                           \
    HRESULT put_##Name(Type value) override {   \
        HOST_ENTER("put_" #Name);               \
        Written("put_" #Name);                  \
        m_effect->data.field = value;           \
        return S_OK;                            \
    }
    HOST_TIMING_PROPERTY(Duration, duration, float)
    HOST_TIMING_PROPERTY(TriggerType, triggerType, MsoAnimTriggerType)
    HOST_TIMING_PROPERTY(TriggerDelayTime, triggerDelayTime, float)
#undef HOST_TIMING_PROPERTY
    HRESULT get_TriggerShape(Shape** out) override {
        HOST_ENTER_OUT("get_TriggerShape", out);
        *out = nullptr;
        if (m_effect->data.triggerType != msoAnimTriggerOnShapeClick || !m_effect->sequence ||
            !m_effect->sequence->trigger)
            return E_FAIL;
        return GiveOut<Shape>(ShapeObject(m_effect->sequence->trigger), out);
    }

private:
    CHostEffect* m_effect;
};

class CEffectParametersObject : public CObject<EffectParameters> {
public:
    CEffectParametersObject(CHostDocument* doc, CHostEffect* effect)
        : CObject(doc, effect, &effect->data.direction), m_effect(effect) {}
    const char* InterfaceName() const override { return "EffectParameters"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Direction(MsoAnimDirection* out) override {
        HOST_ENTER_OUT("get_Direction", out);
        *out = m_effect->data.direction;
        return S_OK;
    }

private:
    CHostEffect* m_effect;
};

class CEffectInformationObject : public CObject<EffectInformation> {
public:
    CEffectInformationObject(CHostDocument* doc, CHostEffect* effect)
        : CObject(doc, effect, &effect->data.buildByLevelEffect), m_effect(effect) {}
    const char* InterfaceName() const override { return "EffectInformation"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_AfterEffect(MsoAnimAfterEffect* out) override {
        HOST_ENTER_OUT("get_AfterEffect", out);
        *out = m_effect->data.afterEffect;
        return S_OK;
    }
    HRESULT get_AnimateBackground(MsoTriState* out) override {
        HOST_ENTER_OUT("get_AnimateBackground", out);
        *out = m_effect->data.animateBackground;
        return S_OK;
    }
    HRESULT get_AnimateTextInReverse(MsoTriState* out) override {
        HOST_ENTER_OUT("get_AnimateTextInReverse", out);
        *out = m_effect->data.animateTextInReverse;
        return S_OK;
    }
    HRESULT get_BuildByLevelEffect(MsoAnimateByLevel* out) override {
        HOST_ENTER_OUT("get_BuildByLevelEffect", out);
        *out = m_effect->data.buildByLevelEffect;
        return S_OK;
    }
    HRESULT get_Dim(ColorFormat** out) override {
        HOST_ENTER_OUT("get_Dim", out);
        return GiveOut<ColorFormat>(ColorFormatObject(m_doc, m_effect, &m_effect->data.dimColor), out);
    }

private:
    CHostEffect* m_effect;
};

class CEffectObject : public CObject<Effect> {
public:
    CEffectObject(CHostDocument* doc, CHostEffect* effect) : CObject(doc, effect, effect), m_effect(effect) {}
    const char* InterfaceName() const override { return "Effect"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Shape(Shape** out) override {
        HOST_ENTER_OUT("get_Shape", out);
        *out = nullptr;
        if (m_effect->data.shape) return GiveOut<Shape>(ShapeObject(m_effect->data.shape), out);
        return S_OK;
    }
    HRESULT get_Index(LONG* out) override {
        HOST_ENTER_OUT("get_Index", out);
        auto* slide = static_cast<CHostSlide*>(m_effect->Owner());
        // The position in the effect's own sequence.
        const std::vector<CHostEffect*>& effects = m_effect->sequence ? m_effect->sequence->effects : slide->effects;
        auto it = std::find(effects.begin(), effects.end(), m_effect);
        if (it == effects.end()) return E_FAIL;
        *out = static_cast<LONG>(it - effects.begin()) + 1;
        return S_OK;
    }
    HRESULT get_Timing(Timing** out) override {
        HOST_ENTER_OUT("get_Timing", out);
        return GiveOut<Timing>(Obtain<CTimingObject>(m_doc, &m_effect->data, 0, 0, m_doc, m_effect), out);
    }
    HRESULT get_EffectType(MsoAnimEffect* out) override {
        HOST_ENTER_OUT("get_EffectType", out);
        *out = m_effect->data.effectType;
        return S_OK;
    }
    HRESULT get_EffectParameters(EffectParameters** out) override {
        HOST_ENTER_OUT("get_EffectParameters", out);
        return GiveOut<EffectParameters>(Obtain<CEffectParametersObject>(m_doc, &m_effect->data, 0, 0, m_doc, m_effect),
                                         out);
    }
    HRESULT get_Paragraph(LONG* out) override {
        HOST_ENTER_OUT("get_Paragraph", out);
        *out = m_effect->data.paragraph;
        return S_OK;
    }
    HRESULT get_Exit(MsoTriState* out) override {
        HOST_ENTER_OUT("get_Exit", out);
        *out = m_effect->data.exit;
        return S_OK;
    }
    HRESULT get_EffectInformation(EffectInformation** out) override {
        HOST_ENTER_OUT("get_EffectInformation", out);
        return GiveOut<EffectInformation>(
            Obtain<CEffectInformationObject>(m_doc, &m_effect->data, 0, 0, m_doc, m_effect), out);
    }

private:
    CHostEffect* m_effect;
};

class CSequenceObject : public CObject<Sequence> {
public:
    CSequenceObject(CHostDocument* doc, CHostNode* node, std::vector<CHostEffect*>* effects)
        : CObject(doc, node, effects), m_effects(effects) {}
    const char* InterfaceName() const override { return "Sequence"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(m_effects->size());
        return S_OK;
    }
    HRESULT Item(LONG index, Effect** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        if (index < 1 || index > static_cast<LONG>(m_effects->size())) return E_INVALIDARG;
        CHostEffect* effect = (*m_effects)[static_cast<std::size_t>(index - 1)];
        return GiveOut<Effect>(Obtain<CEffectObject>(m_doc, effect, 0, 0, m_doc, effect), out);
    }

private:
    std::vector<CHostEffect*>* m_effects;
};

class CSequencesObject : public CObject<Sequences> {
public:
    CSequencesObject(CHostDocument* doc, CHostSlide* slide)
        : CObject(doc, slide, &slide->interactiveSequences), m_slide(slide) {}
    const char* InterfaceName() const override { return "Sequences"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_Count(LONG* out) override {
        HOST_ENTER_OUT("get_Count", out);
        *out = static_cast<LONG>(m_slide->interactiveSequences.size());
        return S_OK;
    }
    HRESULT Item(LONG index, Sequence** out) override {
        HOST_ENTER_OUT("Item", out);
        *out = nullptr;
        if (index < 1 || index > static_cast<LONG>(m_slide->interactiveSequences.size())) return E_INVALIDARG;
        CHostSequence* sequence = m_slide->interactiveSequences[static_cast<std::size_t>(index - 1)];
        return GiveOut<Sequence>(
            Obtain<CSequenceObject>(m_doc, &sequence->effects, 0, 0, m_doc, sequence, &sequence->effects), out);
    }

private:
    CHostSlide* m_slide;
};

class CTimeLineObject : public CObject<TimeLine> {
public:
    CTimeLineObject(CHostDocument* doc, CHostSlide* slide) : CObject(doc, slide, &slide->hasTimeLine), m_slide(slide) {}
    const char* InterfaceName() const override { return "TimeLine"; }
    HOST_APPLICATION
    HRESULT get_Parent(IDispatch** out) override {
        HOST_ENTER_OUT("get_Parent", out);
        return GiveOut<IDispatch>(SlideObject(m_slide), out);
    }
    HRESULT get_MainSequence(Sequence** out) override {
        HOST_ENTER_OUT("get_MainSequence", out);
        return GiveOut<Sequence>(
            Obtain<CSequenceObject>(m_doc, &m_slide->effects, 0, 0, m_doc, m_slide, &m_slide->effects), out);
    }
    HRESULT get_InteractiveSequences(Sequences** out) override {
        HOST_ENTER_OUT("get_InteractiveSequences", out);
        return GiveOut<Sequences>(Obtain<CSequencesObject>(m_doc, &m_slide->interactiveSequences, 0, 0, m_doc, m_slide),
                                  out);
    }

private:
    CHostSlide* m_slide;
};

TimeLine* TimeLineObject(CHostSlide* slide) {
    CHostDocument* doc = slide->Document();
    return Obtain<CTimeLineObject>(doc, slide, 0, 0, doc, slide);
}

}  // namespace Host
}  // namespace PowerPoint
