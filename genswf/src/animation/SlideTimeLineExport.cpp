// A slide's animation timeline as movie output.

#include "genswf/animation/SlideTimeLineExport.h"

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/TimeLine.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/ShapeEffectList.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/shapes/Shapes.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/ProgressSink.h"

#include <algorithm>
#include <cmath>

namespace genswf {

namespace {

// Timings that cannot be meant (negative, not a number) count as none.
float NonNegative(float seconds) { return std::isnan(seconds) || seconds < 0.0f ? 0.0f : seconds; }

std::int32_t ShapeIdOf(const CBasicShapeHandle& handle) {
    const std::shared_ptr<CShapeHolder>& holder = handle.GetHolder();
    const std::shared_ptr<CBasicShape>& shape = holder ? holder->GetBasicShape() : nullptr;
    return shape && shape->GetShape() ? shape->GetShape()->GetId() : 0;
}

}  // namespace

// --- Context ---------------------------------------------------------------------------------

std::uint32_t CTimeLineContext::GetStartFrame() const {
    const int start = m_exporter->GetSlide()->GetMovie()->GetStartFrame();
    return start > 0 ? static_cast<std::uint32_t>(start) : 0u;
}

int CTimeLineContext::GetFrameRate() const { return m_exporter->GetSlide()->GetMovie()->GetFrameRate(); }

float CTimeLineContext::FramesToSeconds(std::uint32_t frame) const {
    const int rate = GetFrameRate();
    return rate > 0 ? static_cast<float>(frame) / static_cast<float>(rate) : 0.0f;
}

std::uint32_t CTimeLineContext::SecondsToFrames(float seconds) const {
    const double frames = static_cast<double>(GetFrameRate()) * static_cast<double>(seconds) + 0.5;
    if (!(frames > 0.0)) return 0u;
    if (frames >= static_cast<double>(kLastFrame)) return kLastFrame;
    return static_cast<std::uint32_t>(frames);
}

float CTimeLineContext::GetTimeMargin() const { return m_exporter->GetSlide()->GetMovie()->GetTimeMargin(); }

float CTimeLineContext::GetEffectDuration(const std::shared_ptr<CTimeLineEffect>& effect) const {
    const std::shared_ptr<CEffectExporterFactory>& factory =
        m_exporter->GetSlide()->GetMovie()->GetEffectExporterFactory();
    if (!factory) throw CBaseException(0, std::wstring());
    return factory->GetExporter(effect)->GetDuration(effect);
}

// --- Schedulers ------------------------------------------------------------------------------

void CEffectScheduler::Begin(CTimeLineContext* context) {
    m_context = context;
    m_count = 0;
    Reset();
}

FrameRange CEffectScheduler::Schedule(const std::shared_ptr<CTimeLineEffect>& effect) {
    FrameRange range = ComputeFrames(effect);
    ++m_count;
    return range;
}

void CEffectScheduler::End() {
    Finish();
    m_context = nullptr;
}

void CDefaultEffectScheduler::Reset() {
    m_previousStartFrame = m_context->GetStartFrame();
    m_previousEndFrame = m_previousStartFrame;
}

FrameRange CDefaultEffectScheduler::ComputeFrames(const std::shared_ptr<CTimeLineEffect>& effect) {
    const float previousStart = m_context->FramesToSeconds(m_previousStartFrame);
    const float previousEnd = m_count == 0 ? previousStart : m_context->FramesToSeconds(m_previousEndFrame);

    const std::shared_ptr<CEffectTiming>& timing = effect ? effect->GetTiming() : nullptr;
    const float delay = timing ? NonNegative(timing->GetTriggerDelayTime()) : 0.0f;
    const LONG trigger = timing ? timing->GetTriggerType() : PowerPoint::msoAnimTriggerNone;
    const float duration = NonNegative(m_context->GetEffectDuration(effect));
    const float margin = NonNegative(m_context->GetTimeMargin());

    float start = previousStart;
    switch (trigger) {
    case PowerPoint::msoAnimTriggerOnPageClick:
        // A click comes the margin after the previous effect began, never before it ended.
        start = std::max(previousStart + margin, previousEnd) + delay;
        break;
    case PowerPoint::msoAnimTriggerWithPrevious:
        start = previousStart + delay;
        break;
    case PowerPoint::msoAnimTriggerAfterPrevious:
        start = previousEnd + delay;
        break;
    default:
        break;
    }

    FrameRange range;
    range.startFrame = m_context->SecondsToFrames(start);
    range.endFrame = std::max(range.startFrame, m_context->SecondsToFrames(start + duration));
    m_previousStartFrame = range.startFrame;
    m_previousEndFrame = range.endFrame;
    return range;
}

// --- Slide timeline export -------------------------------------------------------------------

std::shared_ptr<CSlideTimeLineExport> CSlideTimeLineExport::Create(CSlide* slide) {
    return std::make_shared<CSlideTimeLineExport>(slide);
}

CSlideTimeLineExport::CSlideTimeLineExport(CSlide* slide)
    : m_slide(slide),
      m_styles(CreateStylesCollection(slide->GetMovie())),
      m_objects(CreateObjectsCollection(slide->GetMovie())),
      m_layers(CreateLayersCollection(slide->GetMovie())) {}

CSlideTimeLineExport::~CSlideTimeLineExport() = default;

void CSlideTimeLineExport::Export() {
    CMovie* movie = m_slide->GetMovie();
    CComPtr<PowerPoint::_Slide> slide;
    slide.Attach(m_slide->GetSlideInterface());
    const std::wstring where = L"Slide " + std::to_wstring(m_slide->GetSlideIndex() + 1) + L": ";
    m_animation = CTimeLineAnimation::CreateForSlide(
        slide, [movie, where](const std::wstring& line) { movie->Warn(where + line); });

    SortShapes();
    // The shape bar counts each shape once: the static ones, then the animated ones.
    CProgressSink* progress = m_slide->GetProgress();
    int done = 0;
    auto reportShape = [&]() {
        if (progress) progress->SetShape(done++);
    };
    if (progress) progress->SetShapeCount(static_cast<int>(m_staticShapes.size() + m_animatedShapes.size()));
    for (const std::shared_ptr<CBasicShapeHandle>& shape : m_staticShapes) {
        reportShape();
        shape->Export();
    }
    MarkTextEffects();
    ScheduleEffects();

    for (std::size_t i = 0; i < m_animatedShapes.size(); ++i) {
        const std::shared_ptr<CShapeEffectList>& effects = m_shapeEffects[i];
        for (std::size_t e = 0; e < effects->GetCount(); ++e)
            m_animatedShapes[i]->ExportWithEffect(effects->GetItem(e));
    }
    for (const std::shared_ptr<CBasicShapeHandle>& shape : m_animatedShapes) {
        reportShape();
        shape->Export();
    }

    for (const std::shared_ptr<CBasicShapeHandle>& shape : m_allShapes) {
        m_objects->AddAll(shape->GetObjectsCollection());
        m_layers->AddAll(shape->GetLayersCollection());
    }
}

void CSlideTimeLineExport::SortShapes() {
    m_staticShapes.clear();
    m_animatedShapes.clear();
    m_allShapes.clear();
    m_shapeEffects.clear();
    const std::shared_ptr<CShapes>& list = m_slide->GetShapeList();
    if (!list) return;
    const std::vector<std::shared_ptr<CBasicShapeHandle>>& handles = list->GetHandles();
    m_staticShapes.reserve(handles.size());
    m_animatedShapes.reserve(handles.size());
    m_allShapes.reserve(handles.size());
    const std::shared_ptr<CEffectList>& effects = m_animation->GetEffectList();
    for (const std::shared_ptr<CBasicShapeHandle>& handle : handles) {
        if (!handle) continue;
        std::shared_ptr<CShapeEffectList> own = effects->GetEffectsForShape(handle->GetName(), ShapeIdOf(*handle));
        if (own->GetCount() > 0) {
            m_animatedShapes.push_back(handle);
            m_shapeEffects.push_back(own);
        } else {
            m_staticShapes.push_back(handle);
        }
        m_allShapes.push_back(handle);
    }
}

// A whole-shape effect carries the shape's text too, unless that text has paragraph effects of
// its own.
void CSlideTimeLineExport::MarkTextEffects() {
    for (std::size_t i = 0; i < m_animatedShapes.size(); ++i) {
        if (!m_animatedShapes[i]->IsVisible() || !m_animatedShapes[i]->HasTextFrame()) continue;
        const std::shared_ptr<CShapeEffectList>& effects = m_shapeEffects[i];
        for (std::size_t e = 0; e < effects->GetCount(); ++e) {
            const std::shared_ptr<CTimeLineEffect>& effect = effects->GetItem(e);
            if (!effect->IsShapeEffect() || effect->IsTextEffect()) continue;
            bool paragraphEffect = false;
            for (std::size_t o = 0; o < effects->GetCount(); ++o) {
                const std::shared_ptr<CTimeLineEffect>& other = effects->GetItem(o);
                if (!other->IsShapeEffect()) {
                    paragraphEffect = true;
                } else if (other->GetTextFlag()) {
                    effect->SetTextFlag();
                    break;
                }
            }
            if (!paragraphEffect && !effect->GetTextFlag()) effect->SetTextFlag();
        }
    }
}

void CSlideTimeLineExport::ScheduleEffects() {
    CTimeLineContext context(this);
    CDefaultEffectScheduler scheduler;
    scheduler.Begin(&context);
    const std::shared_ptr<CEffectList>& effects = m_animation->GetEffectList();
    for (std::size_t i = 0; i < effects->GetCount(); ++i) {
        const std::shared_ptr<CTimeLineEffect>& effect = effects->GetItem(i);
        const FrameRange range = scheduler.Schedule(effect);
        effect->SetStartFrame(range.startFrame);
        effect->SetEndFrame(range.endFrame);
    }
    scheduler.End();
}

}  // namespace genswf
