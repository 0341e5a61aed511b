#pragma once
// The slide collection wrapper.

#include "Ppt.h"

#include <cstdint>
#include <memory>

namespace genswf {

class CPptSlide;

class CPptSlides {
public:
    explicit CPptSlides(PowerPoint::Slides* slides);
    virtual ~CPptSlides();
    CPptSlides(const CPptSlides&) = delete;
    CPptSlides& operator=(const CPptSlides&) = delete;

    LONG GetCount();
    // Slide i (0-based), AddRef'ed; null when i is not below the count.
    PowerPoint::_Slide* GetSlidePtr(std::uint32_t i);
    // The wrapper of slide i, made once; empty when i is not below the count.
    std::shared_ptr<CPptSlide> GetSlide(std::uint32_t i);
    // The range PowerPoint gives for the index, AddRef'ed (not wrapped).
    PowerPoint::SlideRange* Range(VARIANT index);
    // The first slide whose id is id, or empty.
    std::shared_ptr<CPptSlide> FindBySlideId(LONG id);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptSlides> CreatePptSlides(PowerPoint::Slides* slides);

}  // namespace genswf
