// A slide's animations without the timeline, and its build sequences.
//
// Skeleton: no animation is timed yet.

#include "genswf/slides/SlideAnimations2000.h"

#include "genswf/shapes/Shape.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

void CSequenceList::Add(int start, int end) {
    m_sequences.emplace_back(start, end);
    if (end > m_lastFrame) m_lastFrame = end;
}

void CSequenceList::Write(CMovie* /*movie*/, const XmlElementPtr& /*layer*/, const std::wstring& /*prefix*/,
                          const std::wstring& /*startSuffix*/, const std::wstring& /*endSuffix*/) {
    throw CBaseException(0, L"CSequenceList::Write is not built yet");
}

CRefPtr<CSlideAnimations2000> CSlideAnimations2000::Create(CSlide* slide) {
    return CRefPtr<CSlideAnimations2000>(new CSlideAnimations2000(slide));
}

CSlideAnimations2000::CSlideAnimations2000(CSlide* slide) : m_slide(slide) {}

CSlideAnimations2000::~CSlideAnimations2000() = default;

void CSlideAnimations2000::Export() {}

std::shared_ptr<CShape> CSlideAnimations2000::GetAnimatedShape(std::size_t i) const {
    return i < m_animatedShapes.size() ? m_animatedShapes[i] : nullptr;
}

}  // namespace genswf
