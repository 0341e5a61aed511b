// A slide's animation timeline as movie output.
//
// Skeleton: the scheduler and the export are not built yet.

#include "genswf/animation/SlideTimeLineExport.h"

#include "genswf/animation/TimeLine.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

namespace {

[[noreturn]] void NotBuilt(const wchar_t* what) { throw CBaseException(0, std::wstring(what) + L" is not built yet"); }

}  // namespace

std::uint32_t CTimeLineContext::GetStartFrame() const { NotBuilt(L"CTimeLineContext::GetStartFrame"); }
float CTimeLineContext::FramesToSeconds(std::uint32_t /*frame*/) const {
    NotBuilt(L"CTimeLineContext::FramesToSeconds");
}
std::uint32_t CTimeLineContext::SecondsToFrames(float /*seconds*/) const {
    NotBuilt(L"CTimeLineContext::SecondsToFrames");
}
float CTimeLineContext::GetTimeMargin() const { NotBuilt(L"CTimeLineContext::GetTimeMargin"); }
float CTimeLineContext::GetEffectDuration(const std::shared_ptr<CTimeLineEffect>& /*effect*/) const {
    NotBuilt(L"CTimeLineContext::GetEffectDuration");
}

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

void CDefaultEffectScheduler::Reset() { NotBuilt(L"CDefaultEffectScheduler::Reset"); }
FrameRange CDefaultEffectScheduler::ComputeFrames(const std::shared_ptr<CTimeLineEffect>& /*effect*/) {
    NotBuilt(L"CDefaultEffectScheduler::ComputeFrames");
}

std::shared_ptr<CSlideTimeLineExport> CSlideTimeLineExport::Create(CSlide* slide) {
    return std::make_shared<CSlideTimeLineExport>(slide);
}

CSlideTimeLineExport::CSlideTimeLineExport(CSlide* slide)
    : m_slide(slide),
      m_styles(CreateStylesCollection(slide->GetMovie())),
      m_objects(CreateObjectsCollection(slide->GetMovie())),
      m_layers(CreateLayersCollection(slide->GetMovie())) {}

CSlideTimeLineExport::~CSlideTimeLineExport() = default;

void CSlideTimeLineExport::Export() { NotBuilt(L"CSlideTimeLineExport::Export"); }

}  // namespace genswf
