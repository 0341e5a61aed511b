// The presentation wrapper.

#include "genswf/ppt/PptPresentation.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptSlides.h"

namespace genswf {

struct CPptPresentation::Impl {
    CComPtr<PowerPoint::_Presentation> presentation;
    CComPtr<PowerPoint::Slides> slides;
    std::shared_ptr<CPptSlides> slidesWrapper;
    bool pathRead = false;
    std::wstring path;
    bool fullNameRead = false;
    std::wstring fullName;
    CComPtr<PowerPoint::_Application> application;
};

CPptPresentation::CPptPresentation(PowerPoint::_Presentation* presentation) : m_impl(new Impl) {
    m_impl->presentation = presentation;
}

CPptPresentation::~CPptPresentation() = default;

PowerPoint::_Application* CPptPresentation::GetApplication() {
    return ReadPtrOnce(m_impl->application, m_impl->presentation.Get(), &PowerPoint::_Presentation::get_Application,
                       __FILE__, 55);
}

PowerPoint::Slides* CPptPresentation::GetSlidesPtr() {
    return ReadPtrOnce(m_impl->slides, m_impl->presentation.Get(), &PowerPoint::_Presentation::get_Slides, __FILE__,
                       31);
}

std::shared_ptr<CPptSlides> CPptPresentation::GetSlides() {
    if (!m_impl->slidesWrapper) m_impl->slidesWrapper = CreatePptSlides(Adopt(GetSlidesPtr()));
    return m_impl->slidesWrapper;
}

const std::wstring& CPptPresentation::GetFullName() {
    if (!m_impl->fullNameRead) {
        BSTR text = nullptr;
        if (!m_impl->presentation || m_impl->presentation->get_FullName(&text) < 0) {
            SysFreeString(text);
            ThrowPptException(__FILE__, 60);
        }
        m_impl->fullName = TakeBstr(text);
        m_impl->fullNameRead = true;
    }
    return m_impl->fullName;
}

const std::wstring& CPptPresentation::GetPath() {
    if (!m_impl->pathRead) {
        BSTR text = nullptr;
        if (!m_impl->presentation || m_impl->presentation->get_Path(&text) < 0) {
            SysFreeString(text);
            ThrowPptException(__FILE__, 45);
        }
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
