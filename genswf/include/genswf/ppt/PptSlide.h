#pragma once
// The slide wrapper.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

class CPptMaster;
class CPptShapes;
class CPptHeadersFooters;

class CPptSlide {
public:
    explicit CPptSlide(PowerPoint::_Slide* slide);
    virtual ~CPptSlide();
    CPptSlide(const CPptSlide&) = delete;
    CPptSlide& operator=(const CPptSlide&) = delete;

    PowerPoint::Shapes* GetShapesPtr();
    std::shared_ptr<CPptShapes> GetShapes();
    PowerPoint::HeadersFooters* GetHeadersFootersPtr();
    std::shared_ptr<CPptHeadersFooters> GetHeadersFooters();
    LONG GetSlideID();
    // A copy of the slide, inserted after it by PowerPoint; the caller deletes it when done.
    std::shared_ptr<CPptSlide> Duplicate();
    // Deletes the slide; the wrapper may then only be destroyed.
    void Delete();
    LONG GetSlideIndex();  // 0-based, as first read
    PowerPoint::_Master* GetMasterPtr();
    std::shared_ptr<CPptMaster> GetMaster();
    void Export(const std::wstring& fileName, const std::wstring& filterName, LONG scaleWidth, LONG scaleHeight);
    void MoveTo(LONG toPos);  // 0-based
    // Makes footer, header, date and slide number invisible.
    void HideHeadersFooters();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptSlide> CreatePptSlide(PowerPoint::_Slide* slide);

}  // namespace genswf
