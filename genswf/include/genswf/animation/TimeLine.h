#pragma once
// The effects of a slide's animation timeline as plain records: read once from the object
// model, then given their frames by the slide's scheduler and read by the effect exporters.

#include "genswf/ppt/PptTimeLine.h"
#include "genswf/shapes/ShapeEffectList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

// One effect of the timeline. Only the text flag and the frames change after it is made.
class CTimeLineEffect {
public:
    // The values read from the object model, in the order they are read.
    struct Values {
        bool exit = false;
        std::int32_t paragraph = -1;  // -1: the whole shape
        std::int32_t effectType = 1;
        std::wstring targetShapeName;  // empty: no target shape
        std::shared_ptr<CEffectInformation> information;
        std::shared_ptr<CEffectParameters> parameters;
        std::shared_ptr<CEffectTiming> timing;
        std::int32_t index = 0;  // 0-based position in the sequence
        LONG targetShapeId = 0;  // the target's Id; 0 when unknown
    };

    explicit CTimeLineEffect(Values values);
    virtual ~CTimeLineEffect() = default;

    bool IsExit() const { return m_exit; }
    std::int32_t GetParagraph() const { return m_paragraph; }
    std::int32_t GetEffectType() const { return m_effectType; }
    const std::wstring& GetTargetShapeName() const { return m_targetShapeName; }
    // The target's Id on its slide; 0 when it is not known (the name alone then tells).
    LONG GetTargetShapeId() const { return m_targetShapeId; }
    const std::shared_ptr<CEffectInformation>& GetEffectInformation() const { return m_information; }
    const std::shared_ptr<CEffectParameters>& GetEffectParameters() const { return m_parameters; }
    const std::shared_ptr<CEffectTiming>& GetTiming() const { return m_timing; }
    std::int32_t GetIndex() const { return m_index; }

    bool IsTextEffect() const { return m_paragraph >= 0 || m_textFlag; }
    bool IsShapeEffect() const { return m_paragraph < 0; }
    // -1: no build by level; 0 as one object; 1 to 5 by that paragraph level.
    std::int32_t GetTextBuildLevel() const;
    // 0 when the effect has no parameters.
    std::int32_t GetDirection() const;
    void SetTextFlag() { m_textFlag = true; }
    bool GetTextFlag() const { return m_textFlag; }

    void SetStartFrame(std::uint32_t frame);
    void SetEndFrame(std::uint32_t frame);
    bool HasStartFrame() const { return m_hasStartFrame; }
    bool HasEndFrame() const { return m_hasEndFrame; }
    std::uint32_t GetStartFrame() const { return m_startFrame; }
    std::uint32_t GetEndFrame() const { return m_endFrame; }
    // Frames the effect spans; 1 when it starts and ends at the same frame.
    std::uint32_t GetDuration() const;
    // 0.0 at the start frame, 1.0 at the end frame.
    float GetProgress(std::uint32_t frame) const;

private:
    bool m_exit;
    std::int32_t m_paragraph;
    bool m_textFlag = false;
    std::int32_t m_effectType;
    std::wstring m_targetShapeName;
    std::shared_ptr<CEffectInformation> m_information;
    std::shared_ptr<CEffectParameters> m_parameters;
    std::shared_ptr<CEffectTiming> m_timing;
    std::int32_t m_index;
    LONG m_targetShapeId;
    bool m_hasStartFrame = false;
    std::uint32_t m_startFrame = 0;
    std::uint32_t m_endFrame = 0;
    bool m_hasEndFrame = false;
};

// Reads one effect: Exit, Paragraph, EffectType, EffectInformation, EffectParameters, Timing,
// Index, then the target shape's Name and Id. Failing reads other than Paragraph, EffectType and
// the Id throw.
std::shared_ptr<CTimeLineEffect> CreateTimeLineEffect(CPptEffect& effect);

// Where the timeline's readers say what they left out.
using TimeLineLog = std::function<void(const std::wstring&)>;

// The effects of a main sequence that have a target shape, in sequence order.
class CEffectList {
public:
    // An effect that cannot be read is left out with a line to the log; the others stay.
    static std::shared_ptr<CEffectList> Create(CPptSequence& sequence, const TimeLineLog& log = TimeLineLog());
    static std::shared_ptr<CEffectList> CreateEmpty();
    virtual ~CEffectList() = default;

    void Add(const std::shared_ptr<CTimeLineEffect>& effect) { m_effects.push_back(effect); }
    std::size_t GetCount() const { return m_effects.size(); }
    const std::shared_ptr<CTimeLineEffect>& GetItem(std::size_t i) const { return m_effects.at(i); }
    std::shared_ptr<CShapeEffectList> GetEffectsForShape(const std::wstring& name) const;
    // The effects of the shape with this Id (by name for effects whose target Id is unknown).
    std::shared_ptr<CShapeEffectList> GetEffectsForShape(const std::wstring& name, LONG shapeId) const;

private:
    std::vector<std::shared_ptr<CTimeLineEffect>> m_effects;
};

class CTimeLineAnimation {
public:
    static std::shared_ptr<CTimeLineAnimation> Create(CPptTimeLine& timeLine, const TimeLineLog& log = TimeLineLog());
    static std::shared_ptr<CTimeLineAnimation> CreateEmpty();
    // A slide's animation: its timeline when the global registry says the running version has
    // one and the slide gives it, else an empty one. Throws when there is no global registry.
    static std::shared_ptr<CTimeLineAnimation> CreateForSlide(PowerPoint::_Slide* slide,
                                                              const TimeLineLog& log = TimeLineLog());

    explicit CTimeLineAnimation(std::shared_ptr<CEffectList> list) : m_list(std::move(list)) {}
    virtual ~CTimeLineAnimation() = default;

    const std::shared_ptr<CEffectList>& GetEffectList() const { return m_list; }

private:
    std::shared_ptr<CEffectList> m_list;
};

}  // namespace genswf
