// The presentation wrapper.

#include "genswf/ppt/PptPresentation.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptSlides.h"

namespace genswf {

struct CPptPresentation::Impl {
    PowerPoint::_Presentation* presentation = nullptr;
    PowerPoint::Slides* slides = nullptr;
    std::shared_ptr<CPptSlides> slidesWrapper;
    bool pathRead = false;
    std::wstring path;
    bool fullNameRead = false;
    std::wstring fullName;
    PowerPoint::_Application* application = nullptr;
};

CPptPresentation::CPptPresentation(PowerPoint::_Presentation* presentation) : m_impl(new Impl) {
    m_impl->presentation = AddRefCopy(presentation);
}

CPptPresentation::~CPptPresentation() {
    SafeRelease(m_impl->application);
    m_impl->slidesWrapper.reset();
    SafeRelease(m_impl->slides);
    SafeRelease(m_impl->presentation);
}

PowerPoint::_Application* CPptPresentation::GetApplication() {
    if (!m_impl->application) {
        if (!m_impl->presentation || m_impl->presentation->get_Application(&m_impl->application) < 0 ||
            !m_impl->application) {
            m_impl->application = nullptr;
            ThrowPptException(__FILE__, 55);
        }
    }
    return AddRefCopy(m_impl->application);
}

PowerPoint::Slides* CPptPresentation::GetSlidesPtr() {
    if (!m_impl->slides) {
        if (!m_impl->presentation || m_impl->presentation->get_Slides(&m_impl->slides) < 0 || !m_impl->slides) {
            m_impl->slides = nullptr;
            ThrowPptException(__FILE__, 31);
        }
    }
    return AddRefCopy(m_impl->slides);
}

std::shared_ptr<CPptSlides> CPptPresentation::GetSlides() {
    if (!m_impl->slidesWrapper) {
        PowerPoint::Slides* slides = GetSlidesPtr();
        m_impl->slidesWrapper = CreatePptSlides(slides);
        slides->Release();
    }
    return m_impl->slidesWrapper;
}

const std::wstring& CPptPresentation::GetFullName() {
    if (!m_impl->fullNameRead) {
        BSTR text = nullptr;
        if (!m_impl->presentation || m_impl->presentation->get_FullName(&text) < 0) ThrowPptException(__FILE__, 60);
        m_impl->fullName = TakeBstr(text);
        m_impl->fullNameRead = true;
    }
    return m_impl->fullName;
}

const std::wstring& CPptPresentation::GetPath() {
    if (!m_impl->pathRead) {
        BSTR text = nullptr;
        if (!m_impl->presentation || m_impl->presentation->get_Path(&text) < 0) ThrowPptException(__FILE__, 45);
        m_impl->path = TakeBstr(text);
        m_impl->pathRead = true;
    }
    return m_impl->path;
}

PowerPoint::_Presentation* CPptPresentation::GetPresentationPtr() { return AddRefCopy(m_impl->presentation); }

std::shared_ptr<CPptPresentation> CreatePptPresentation(PowerPoint::_Presentation* presentation) {
    return std::make_shared<CPptPresentation>(presentation);
}

}  // namespace genswf
