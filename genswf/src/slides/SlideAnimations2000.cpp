// A slide's animations without the timeline: the build order of its shapes, the timing pass
// with the after-effects that wait for the next shape, and the click-driven build sequences.

#include "genswf/slides/SlideAnimations2000.h"

#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/ppt/PptAnimationSettings.h"
#include "genswf/shapes/Shape.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Exceptions.h"

#include <algorithm>

namespace genswf {

namespace {

// The time a shape waits after the previous effect: the margin when it waits for a click, else
// its own advance time.
float DelayOf(const CShape& shape, const CMovie& movie) {
    const CRefPtr<CPptAnimationSettings>& settings = shape.GetAnimationSettings();
    if (!settings || settings->GetAdvanceMode() == PowerPoint::ppAdvanceOnClick) return movie.GetTimeMargin();
    return settings->GetAdvanceTime();
}

bool IsAnimated(const CShape& shape) {
    const CRefPtr<CPptAnimationSettings>& settings = shape.GetAnimationSettings();
    return settings && settings->GetAnimate() == PowerPoint::msoTrue;
}

}  // namespace

// --- Build sequences -------------------------------------------------------------------------

void CSequenceList::Add(int start, int end) {
    m_sequences.emplace_back(start, end);
    if (end > m_lastFrame) m_lastFrame = end;
}

void CSequenceList::Write(CMovie* movie, const XmlElementPtr& layer, const std::wstring& prefix,
                          const std::wstring& startSuffix, const std::wstring& endSuffix) {
    std::shared_ptr<CFrameList> frames = CreateFrameList(movie);
    std::shared_ptr<CFrameTrack> track = frames->AddTrack();
    for (std::size_t i = 0; i < m_sequences.size(); ++i) {
        // Frames are counted from the slide's start; nothing comes before it.
        const std::uint32_t start = static_cast<std::uint32_t>(std::max(m_sequences[i].first, 0));
        const std::uint32_t end = static_cast<std::uint32_t>(std::max(m_sequences[i].second, 0));
        const std::wstring number = IntToWString(static_cast<int>(i));
        track->AddActions(end)->GetActions().AddStop();
        if (m_labels) {
            track->AddEmptyCommand(start);
            track->AddLabel(start, prefix + number + startSuffix);
            track->AddLabel(end, prefix + number + endSuffix);
        }
    }
    frames->Write(layer, 0);
}

// --- Slide animations ------------------------------------------------------------------------

CRefPtr<CSlideAnimations2000> CSlideAnimations2000::Create(CSlide* slide) {
    return CRefPtr<CSlideAnimations2000>(new CSlideAnimations2000(slide));
}

CSlideAnimations2000::CSlideAnimations2000(CSlide* slide) : m_slide(slide) {
    const std::vector<std::shared_ptr<CShape>>& shapes = slide->GetShapes();
    m_animatedShapes.reserve(shapes.size());
    m_staticShapes.reserve(shapes.size());
    for (const std::shared_ptr<CShape>& shape : shapes) {
        if (!shape) continue;
        if (!IsAnimated(*shape)) {
            m_staticShapes.push_back(shape);
            continue;
        }
        // Before the first shape of a greater order: equal orders keep the slide's order.
        const LONG order = shape->GetAnimationSettings()->GetAnimationOrder();
        auto at = std::find_if(m_animatedShapes.begin(), m_animatedShapes.end(), [order](const auto& other) {
            return other->GetAnimationSettings()->GetAnimationOrder() > order;
        });
        m_animatedShapes.insert(at, shape);
    }
}

CSlideAnimations2000::~CSlideAnimations2000() = default;

void CSlideAnimations2000::Export() {
    CMovie* movie = m_slide->GetMovie();

    for (const std::shared_ptr<CShape>& shape : m_staticShapes) {
        float time = 0.0f, duration = 0.0f;
        shape->ExportBuild(time, duration);
    }

    if (movie->GetTimeMarginOff()) {
        const int start = m_staticShapes.empty() ? 0 : movie->GetStartFrame();
        m_slide->GetSequences().Add(start, start + 1);
    }

    float time = 0.0f, duration = 0.0f;
    std::shared_ptr<CShape> pendingHide, pendingDim;
    for (const std::shared_ptr<CShape>& shape : m_animatedShapes) {
        shape->ExportBuild(time, duration);
        // What waited for the next build goes when this shape starts.
        if (pendingHide) {
            pendingHide->HideAll(time);
            pendingHide.reset();
        }
        if (pendingDim) {
            pendingDim->DimAll(time);
            pendingDim.reset();
        }
        switch (shape->GetAnimationSettings()->GetAfterEffect()) {
        case PowerPoint::ppAfterEffectDim:
            pendingDim = shape;
            break;
        case PowerPoint::ppAfterEffectHideOnClick:
            pendingHide = shape;
            break;
        default:
            break;
        }
    }
    if (pendingHide) pendingHide->HideAll(time + duration + DelayOf(*pendingHide, *movie));
    if (pendingDim) pendingDim->DimAll(time + duration + DelayOf(*pendingDim, *movie));

    for (const std::shared_ptr<CShape>& shape : m_slide->GetShapes())
        if (shape) shape->WriteFrames();

    m_animationLength = time + duration;
}

std::shared_ptr<CShape> CSlideAnimations2000::GetAnimatedShape(std::size_t i) const {
    return i < m_animatedShapes.size() ? m_animatedShapes[i] : nullptr;
}

}  // namespace genswf
