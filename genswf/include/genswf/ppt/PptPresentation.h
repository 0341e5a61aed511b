#pragma once
// The presentation wrapper.

#include "Ppt.h"

#include <memory>
#include <string>

namespace genswf {

class CPptSlides;

class CPptPresentation {
public:
    explicit CPptPresentation(PowerPoint::_Presentation* presentation);
    virtual ~CPptPresentation();
    CPptPresentation(const CPptPresentation&) = delete;
    CPptPresentation& operator=(const CPptPresentation&) = delete;

    // AddRef'ed copies; the caller releases them.
    PowerPoint::_Application* GetApplication();
    PowerPoint::Slides* GetSlidesPtr();
    PowerPoint::_Presentation* GetPresentationPtr();

    std::shared_ptr<CPptSlides> GetSlides();
    const std::wstring& GetFullName();
    const std::wstring& GetPath();  // may be empty

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptPresentation> CreatePptPresentation(PowerPoint::_Presentation* presentation);

}  // namespace genswf
