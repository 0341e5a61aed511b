#pragma once
// The animation timeline of a slide: its main sequence, the sequence's effects, and each
// effect's timing, parameters and information, with the stored records that carry those values
// on after the object model is let go.

#include "Ppt.h"

#include <memory>
#include <vector>

namespace genswf {

class CPptSequence;
class CPptEffect;

class CPptTimeLine : public CPptObject<PowerPoint::TimeLine> {
public:
    explicit CPptTimeLine(PowerPoint::TimeLine* timeLine);
    ~CPptTimeLine() override;

    PowerPoint::Sequence* GetMainSequencePtr();  // AddRef'ed
    // The main sequence's wrapper, made once (it reads the sequence's count).
    std::shared_ptr<CPptSequence> GetMainSequence();

private:
    CComPtr<PowerPoint::TimeLine> m_pTimeLine;
    CComPtr<PowerPoint::Sequence> m_pMainSequence;
    std::shared_ptr<CPptSequence> m_mainSequence;
};

class CPptSequence : public CPptObject<PowerPoint::Sequence> {
public:
    // Reads Count, so it throws when that cannot be read.
    explicit CPptSequence(PowerPoint::Sequence* sequence);
    ~CPptSequence() override;

    LONG GetCount() const { return m_count; }
    // Effect i (0-based), AddRef'ed; null when i is outside 0 to Count - 1.
    PowerPoint::Effect* GetItem(LONG i);
    // The wrapper of effect i, made once per index; empty when i is outside 0 to Count - 1.
    std::shared_ptr<CPptEffect> GetEffect(LONG i);

private:
    CComPtr<PowerPoint::Sequence> m_pSequence;
    LONG m_count = 0;
    std::vector<CComPtr<PowerPoint::Effect>> m_effects;
    std::vector<std::shared_ptr<CPptEffect>> m_effectWrappers;
};

class CPptEffect : public CPptObject<PowerPoint::Effect> {
public:
    explicit CPptEffect(PowerPoint::Effect* effect);
    ~CPptEffect() override;

    // The target shape, AddRef'ed; null when the effect has none.
    PowerPoint::Shape* GetShapePtr();
    LONG GetIndex();                                         // 0-based
    PowerPoint::Timing* GetTimingPtr();                      // AddRef'ed
    PowerPoint::MsoAnimEffect GetEffectType();               // 1 (appear) when unreadable
    PowerPoint::EffectParameters* GetEffectParametersPtr();  // AddRef'ed
    LONG GetParagraph();                                     // 0-based; -1: the whole shape or unreadable
    PowerPoint::MsoTriState GetExit();
    PowerPoint::EffectInformation* GetEffectInformationPtr();  // AddRef'ed

private:
    CComPtr<PowerPoint::Effect> m_pEffect;
    CComPtr<PowerPoint::EffectInformation> m_pEffectInformation;
    CComPtr<PowerPoint::EffectParameters> m_pEffectParameters;
    CComPtr<PowerPoint::Shape> m_pShape;
    CComPtr<PowerPoint::Timing> m_pTiming;
    bool m_effectTypeRead = false;
    PowerPoint::MsoAnimEffect m_effectType = 0;
    bool m_paragraphRead = false;
    LONG m_paragraph = 0;
    bool m_exitRead = false;
    PowerPoint::MsoTriState m_exit = 0;
    bool m_indexRead = false;
    LONG m_index = 0;
};

class CPptTiming {
public:
    explicit CPptTiming(PowerPoint::Timing* timing);
    virtual ~CPptTiming();
    CPptTiming(const CPptTiming&) = delete;
    CPptTiming& operator=(const CPptTiming&) = delete;

    float GetDuration();          // seconds
    float GetTriggerDelayTime();  // seconds
    PowerPoint::MsoAnimTriggerType GetTriggerType();

private:
    CComPtr<PowerPoint::Timing> m_pTiming;
    bool m_durationRead = false;
    float m_duration = 0.0f;
    bool m_triggerDelayTimeRead = false;
    float m_triggerDelayTime = 0.0f;
    bool m_triggerTypeRead = false;
    PowerPoint::MsoAnimTriggerType m_triggerType = 0;
};

class CPptEffectParameters {
public:
    explicit CPptEffectParameters(PowerPoint::EffectParameters* parameters);
    virtual ~CPptEffectParameters();
    CPptEffectParameters(const CPptEffectParameters&) = delete;
    CPptEffectParameters& operator=(const CPptEffectParameters&) = delete;

    PowerPoint::MsoAnimDirection GetDirection();  // 0 when unreadable

private:
    CComPtr<PowerPoint::EffectParameters> m_pParameters;
    bool m_directionRead = false;
    PowerPoint::MsoAnimDirection m_direction = 0;
};

class CPptEffectInformation {
public:
    explicit CPptEffectInformation(PowerPoint::EffectInformation* information);
    virtual ~CPptEffectInformation();
    CPptEffectInformation(const CPptEffectInformation&) = delete;
    CPptEffectInformation& operator=(const CPptEffectInformation&) = delete;

    PowerPoint::MsoTriState GetAnimateTextInReverse();
    PowerPoint::MsoAnimateByLevel GetBuildByLevelEffect();  // 0 when unreadable

private:
    CComPtr<PowerPoint::EffectInformation> m_pInformation;
    bool m_animateTextInReverseRead = false;
    PowerPoint::MsoTriState m_animateTextInReverse = 0;
    bool m_buildByLevelEffectRead = false;
    PowerPoint::MsoAnimateByLevel m_buildByLevelEffect = 0;
};

// The timing of one effect, kept after the object model is let go.
class CEffectTiming {
public:
    CEffectTiming(float duration, float triggerDelayTime, LONG triggerType)
        : m_duration(duration), m_triggerDelayTime(triggerDelayTime), m_triggerType(triggerType) {}
    virtual ~CEffectTiming() = default;

    float GetDuration() const { return m_duration; }                  // seconds
    float GetTriggerDelayTime() const { return m_triggerDelayTime; }  // seconds
    // 0 none, 1 on page click, 2 with previous, 3 after previous, 4 on shape click.
    LONG GetTriggerType() const { return m_triggerType; }

private:
    float m_duration;
    float m_triggerDelayTime;
    LONG m_triggerType;
};

class CEffectParameters {
public:
    explicit CEffectParameters(LONG direction) : m_direction(direction) {}
    virtual ~CEffectParameters() = default;

    LONG GetDirection() const { return m_direction; }

private:
    LONG m_direction;
};

class CEffectInformation {
public:
    CEffectInformation(LONG buildByLevelEffect, bool animateTextInReverse)
        : m_buildByLevelEffect(buildByLevelEffect), m_animateTextInReverse(animateTextInReverse) {}
    virtual ~CEffectInformation() = default;

    LONG GetBuildByLevelEffect() const { return m_buildByLevelEffect; }
    bool GetAnimateTextInReverse() const { return m_animateTextInReverse; }

private:
    LONG m_buildByLevelEffect;
    bool m_animateTextInReverse;
};

// Each reads its wrapper once; a failing read throws and makes no record.
std::shared_ptr<CEffectTiming> CreateEffectTiming(CPptTiming& timing);
std::shared_ptr<CEffectParameters> CreateEffectParameters(CPptEffectParameters& parameters);
std::shared_ptr<CEffectInformation> CreateEffectInformation(CPptEffectInformation& information);

}  // namespace genswf
