#pragma once
// A slide's animation timeline as movie output: static and animated shapes, which whole-shape
// effects also carry the text, the scheduler that gives every effect its frames by PowerPoint's
// trigger rules, and the gathering of every shape's objects and layers in slide order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace genswf {

class CBasicShapeHandle;
class CLayersCollection;
class CObjectsCollection;
class CShapeEffectList;
class CSlide;
class CSlideTimeLineExport;
class CStylesCollection;
class CTimeLineAnimation;
class CTimeLineEffect;

struct FrameRange {
    std::uint32_t startFrame = 0;
    std::uint32_t endFrame = 0;
};

// What a scheduler asks of the slide's movie.
class CTimeLineContext {
public:
    explicit CTimeLineContext(CSlideTimeLineExport* exporter) : m_exporter(exporter) {}
    virtual ~CTimeLineContext() = default;

    // The last frame a slide's sprite can hold; later times are held there.
    static constexpr std::uint32_t kLastFrame = 65534;

    std::uint32_t GetStartFrame() const;
    float FramesToSeconds(std::uint32_t frame) const;
    // Rounded half up; negative or unreadable times give 0, times past the last frame kLastFrame.
    std::uint32_t SecondsToFrames(float seconds) const;
    float GetTimeMargin() const;
    // Seconds, as the effect's exporter counts them.
    float GetEffectDuration(const std::shared_ptr<CTimeLineEffect>& effect) const;
    int GetFrameRate() const;

private:
    CSlideTimeLineExport* m_exporter;
};

class CEffectScheduler {
public:
    virtual ~CEffectScheduler() = default;
    virtual void Reset() = 0;
    virtual void Finish() = 0;
    virtual FrameRange ComputeFrames(const std::shared_ptr<CTimeLineEffect>& effect) = 0;

    void Begin(CTimeLineContext* context);
    FrameRange Schedule(const std::shared_ptr<CTimeLineEffect>& effect);
    void End();

protected:
    CTimeLineContext* m_context = nullptr;
    int m_count = 0;
};

// Effects one after the other in sequence order: on click, with previous, after previous.
class CDefaultEffectScheduler : public CEffectScheduler {
public:
    void Reset() override;
    void Finish() override {}
    FrameRange ComputeFrames(const std::shared_ptr<CTimeLineEffect>& effect) override;

private:
    std::uint32_t m_previousStartFrame = 0;
    std::uint32_t m_previousEndFrame = 0;
};

class CSlideTimeLineExport {
public:
    static std::shared_ptr<CSlideTimeLineExport> Create(CSlide* slide);
    explicit CSlideTimeLineExport(CSlide* slide);
    virtual ~CSlideTimeLineExport();
    CSlideTimeLineExport(const CSlideTimeLineExport&) = delete;
    CSlideTimeLineExport& operator=(const CSlideTimeLineExport&) = delete;

    // Reads the timeline, schedules it and exports every shape into this exporter's collections.
    void Export();

    const std::shared_ptr<CObjectsCollection>& GetFrameItems() const { return m_objects; }
    const std::shared_ptr<CLayersCollection>& GetLayer() const { return m_layers; }
    CSlide* GetSlide() const { return m_slide; }
    const std::shared_ptr<CTimeLineAnimation>& GetAnimation() const { return m_animation; }
    const std::vector<std::shared_ptr<CBasicShapeHandle>>& GetStaticShapes() const { return m_staticShapes; }
    const std::vector<std::shared_ptr<CBasicShapeHandle>>& GetAnimatedShapes() const { return m_animatedShapes; }
    const std::vector<std::shared_ptr<CBasicShapeHandle>>& GetAllShapes() const { return m_allShapes; }
    // The effects of animated shape i, in timeline order.
    const std::shared_ptr<CShapeEffectList>& GetShapeEffects(std::size_t i) const { return m_shapeEffects.at(i); }

private:
    void SortShapes();
    void MarkTextEffects();
    void ScheduleEffects();

    CSlide* m_slide;
    std::shared_ptr<CTimeLineAnimation> m_animation;
    std::vector<std::shared_ptr<CBasicShapeHandle>> m_staticShapes;
    std::vector<std::shared_ptr<CBasicShapeHandle>> m_animatedShapes;
    std::vector<std::shared_ptr<CBasicShapeHandle>> m_allShapes;
    std::vector<std::shared_ptr<CShapeEffectList>> m_shapeEffects;  // beside m_animatedShapes
    std::shared_ptr<CStylesCollection> m_styles;
    std::shared_ptr<CObjectsCollection> m_objects;
    std::shared_ptr<CLayersCollection> m_layers;
};

}  // namespace genswf
