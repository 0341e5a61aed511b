// A slide's shared background.
//
// Skeleton: nothing is rendered yet.

#include "genswf/slides/SlideBackground.h"

#include "genswf/movie/Movie.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Exceptions.h"

namespace genswf {

std::shared_ptr<CSlideBackground> CSlideBackground::Create(CSlide* slide) {
    return std::make_shared<CSlideBackground>(slide);
}

CSlideBackground::CSlideBackground(CSlide* slide)
    : m_track(CreateFrameTrack(slide->GetMovie())), m_slide(slide), m_movie(slide->GetMovie()) {}

CSlideBackground::~CSlideBackground() = default;

void CSlideBackground::SaveSlideBackground() {
    throw CBaseException(0, L"CSlideBackground::SaveSlideBackground is not built yet");
}

void CSlideBackground::SaveBackgroundImages(CPptSlide& /*copy*/, const std::wstring& /*withTitlesFile*/,
                                            const std::wstring& /*baseFile*/) {
    throw CBaseException(0, L"CSlideBackground::SaveBackgroundImages is not built yet");
}

void CSlideBackground::WriteFrames(const XmlElementPtr& /*layersElement*/, int /*offset*/) {
    throw CBaseException(0, L"CSlideBackground::WriteFrames is not built yet");
}

}  // namespace genswf
