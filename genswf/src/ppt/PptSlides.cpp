// The slide collection wrapper.

#include "genswf/ppt/PptSlides.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptSlide.h"

#include <vector>

namespace genswf {

struct CPptSlides::Impl {
    CComPtr<PowerPoint::Slides> slides;
    std::vector<CComPtr<PowerPoint::_Slide>> slidePtrs;
    std::vector<std::shared_ptr<CPptSlide>> slideWrappers;
    bool countRead = false;
};

CPptSlides::CPptSlides(PowerPoint::Slides* slides) : m_impl(new Impl) { m_impl->slides = slides; }

CPptSlides::~CPptSlides() = default;

LONG CPptSlides::GetCount() {
    if (!m_impl->countRead) {
        LONG count = 0;
        if (!m_impl->slides || m_impl->slides->get_Count(&count) < 0) ThrowPptException(__FILE__, 33);
        if (count < 0) count = 0;
        m_impl->slidePtrs.assign(static_cast<std::size_t>(count), CComPtr<PowerPoint::_Slide>());
        m_impl->slideWrappers.assign(static_cast<std::size_t>(count), nullptr);
        m_impl->countRead = true;
    }
    return static_cast<LONG>(m_impl->slidePtrs.size());
}

PowerPoint::_Slide* CPptSlides::GetSlidePtr(std::uint32_t i) {
    if (i >= static_cast<std::uint32_t>(GetCount())) return nullptr;
    return ReadSlideOnce(m_impl->slides.Get(), i, m_impl->slidePtrs[i], __FILE__, 49);
}

std::shared_ptr<CPptSlide> CPptSlides::GetSlide(std::uint32_t i) {
    if (i >= static_cast<std::uint32_t>(GetCount())) return nullptr;
    std::shared_ptr<CPptSlide>& slot = m_impl->slideWrappers[i];
    if (!slot) {
        slot = CreatePptSlide(Adopt(GetSlidePtr(i)));
    }
    return slot;
}

PowerPoint::SlideRange* CPptSlides::Range(VARIANT index) {
    CComPtr<PowerPoint::SlideRange> range;
    if (!m_impl->slides || m_impl->slides->Range(index, &range) < 0 || !range) ThrowPptException(__FILE__, 76);
    return range.Detach();
}

std::shared_ptr<CPptSlide> CPptSlides::FindBySlideId(LONG id) {
    const LONG count = GetCount();
    for (LONG i = 0; i < count; ++i) {
        std::shared_ptr<CPptSlide> slide = GetSlide(static_cast<std::uint32_t>(i));
        if (slide->GetSlideID() == id) return slide;
    }
    return nullptr;
}

std::shared_ptr<CPptSlides> CreatePptSlides(PowerPoint::Slides* slides) { return std::make_shared<CPptSlides>(slides); }

}  // namespace genswf
