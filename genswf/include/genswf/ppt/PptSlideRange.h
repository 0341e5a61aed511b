#pragma once
// The slide range wrapper.

#include "Ppt.h"

#include <cstdint>
#include <memory>

namespace genswf {

class CPptSlide;

class CPptSlideRange {
public:
    explicit CPptSlideRange(PowerPoint::SlideRange* range);
    virtual ~CPptSlideRange();
    CPptSlideRange(const CPptSlideRange&) = delete;
    CPptSlideRange& operator=(const CPptSlideRange&) = delete;

    LONG GetCount();
    // Slide i (0-based) of the range, AddRef'ed; null when i is not below the count.
    PowerPoint::_Slide* GetSlidePtr(std::uint32_t i);
    // Its wrapper, made once; empty when i is not below the count.
    std::shared_ptr<CPptSlide> GetSlide(std::uint32_t i);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Empty for a null range.
std::shared_ptr<CPptSlideRange> CreatePptSlideRange(PowerPoint::SlideRange* range);

}  // namespace genswf
