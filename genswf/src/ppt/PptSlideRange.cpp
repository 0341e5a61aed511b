// The slide range wrapper.

#include "genswf/ppt/PptSlideRange.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptSlide.h"

#include <vector>

namespace genswf {

struct CPptSlideRange::Impl {
    CComPtr<PowerPoint::SlideRange> range;
    bool countRead = false;
    LONG count = 0;
    std::vector<CComPtr<PowerPoint::_Slide>> slidePtrs;
    std::vector<std::shared_ptr<CPptSlide>> slideWrappers;
};

CPptSlideRange::CPptSlideRange(PowerPoint::SlideRange* range) : m_impl(new Impl) { m_impl->range = range; }

CPptSlideRange::~CPptSlideRange() = default;

LONG CPptSlideRange::GetCount() {
    if (!m_impl->countRead) {
        LONG count = 0;
        if (!m_impl->range || m_impl->range->get_Count(&count) < 0) ThrowPptException(__FILE__, 42);
        m_impl->count = count < 0 ? 0 : count;
        m_impl->slidePtrs.assign(static_cast<std::size_t>(m_impl->count), CComPtr<PowerPoint::_Slide>());
        m_impl->slideWrappers.assign(static_cast<std::size_t>(m_impl->count), nullptr);
        m_impl->countRead = true;
    }
    return m_impl->count;
}

PowerPoint::_Slide* CPptSlideRange::GetSlidePtr(std::uint32_t i) {
    // Out of the range: nothing, rather than a read past the cache.
    if (i >= static_cast<std::uint32_t>(GetCount())) return nullptr;
    return ReadSlideOnce(m_impl->range.Get(), i, m_impl->slidePtrs[i], __FILE__, 53);
}

std::shared_ptr<CPptSlide> CPptSlideRange::GetSlide(std::uint32_t i) {
    if (i >= static_cast<std::uint32_t>(GetCount())) return nullptr;
    std::shared_ptr<CPptSlide>& slot = m_impl->slideWrappers[i];
    if (!slot) {
        slot = CreatePptSlide(Adopt(GetSlidePtr(i)));
    }
    return slot;
}

std::shared_ptr<CPptSlideRange> CreatePptSlideRange(PowerPoint::SlideRange* range) {
    if (!range) return nullptr;
    return std::make_shared<CPptSlideRange>(range);
}

}  // namespace genswf
