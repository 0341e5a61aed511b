// The slide wrapper.

#include "genswf/ppt/PptSlide.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptHeadersFooters.h"
#include "genswf/ppt/PptMaster.h"
#include "genswf/ppt/PptShapes.h"
#include "genswf/ppt/PptSlideRange.h"

namespace genswf {

struct CPptSlide::Impl {
    PowerPoint::_Slide* slide = nullptr;
    PowerPoint::_Master* master = nullptr;
    std::shared_ptr<CPptMaster> masterWrapper;
    PowerPoint::Shapes* shapes = nullptr;
    std::shared_ptr<CPptShapes> shapesWrapper;
    bool slideIdRead = false;
    LONG slideId = 0;
    bool slideIndexRead = false;
    LONG slideIndex = 0;
    PowerPoint::HeadersFooters* headersFooters = nullptr;
    std::shared_ptr<CPptHeadersFooters> headersFootersWrapper;
};

CPptSlide::CPptSlide(PowerPoint::_Slide* slide) : m_impl(new Impl) { m_impl->slide = AddRefCopy(slide); }

CPptSlide::~CPptSlide() {
    m_impl->headersFootersWrapper.reset();
    SafeRelease(m_impl->headersFooters);
    m_impl->shapesWrapper.reset();
    SafeRelease(m_impl->shapes);
    m_impl->masterWrapper.reset();
    SafeRelease(m_impl->master);
    SafeRelease(m_impl->slide);
}

PowerPoint::Shapes* CPptSlide::GetShapesPtr() {
    if (!m_impl->shapes) {
        if (!m_impl->slide || m_impl->slide->get_Shapes(&m_impl->shapes) < 0 || !m_impl->shapes) {
            m_impl->shapes = nullptr;
            ThrowPptException(__FILE__, 60);
        }
    }
    return AddRefCopy(m_impl->shapes);
}

std::shared_ptr<CPptShapes> CPptSlide::GetShapes() {
    if (!m_impl->shapesWrapper) {
        PowerPoint::Shapes* shapes = GetShapesPtr();
        m_impl->shapesWrapper = CreatePptShapes(shapes);
        shapes->Release();
    }
    return m_impl->shapesWrapper;
}

PowerPoint::HeadersFooters* CPptSlide::GetHeadersFootersPtr() {
    if (!m_impl->headersFooters) {
        if (!m_impl->slide || m_impl->slide->get_HeadersFooters(&m_impl->headersFooters) < 0 ||
            !m_impl->headersFooters) {
            m_impl->headersFooters = nullptr;
            ThrowPptException(__FILE__, 109);
        }
    }
    return AddRefCopy(m_impl->headersFooters);
}

std::shared_ptr<CPptHeadersFooters> CPptSlide::GetHeadersFooters() {
    if (!m_impl->headersFootersWrapper) {
        PowerPoint::HeadersFooters* headersFooters = GetHeadersFootersPtr();
        m_impl->headersFootersWrapper = CreatePptHeadersFooters(headersFooters);
        headersFooters->Release();
    }
    return m_impl->headersFootersWrapper;
}

LONG CPptSlide::GetSlideID() {
    if (!m_impl->slideIdRead) {
        if (!m_impl->slide || m_impl->slide->get_SlideID(&m_impl->slideId) < 0) ThrowPptException(__FILE__, 70);
        m_impl->slideIdRead = true;
    }
    return m_impl->slideId;
}

std::shared_ptr<CPptSlide> CPptSlide::Duplicate() {
    PowerPoint::SlideRange* range = nullptr;
    if (!m_impl->slide || m_impl->slide->Duplicate(&range) < 0 || !range) {
        SafeRelease(range);
        ThrowPptException(__FILE__, 92);
    }
    // The copy exists from here on: when it cannot be handed out, it is taken out again.
    std::shared_ptr<CPptSlide> copy;
    try {
        std::shared_ptr<CPptSlideRange> rangeWrapper = CreatePptSlideRange(range);
        copy = rangeWrapper->GetSlide(0);
        if (!copy) ThrowPptException(__FILE__, 92);  // PowerPoint gave an empty range
    } catch (...) {
        range->Delete();
        range->Release();
        throw;
    }
    range->Release();
    return copy;
}

void CPptSlide::Delete() {
    if (!m_impl->slide || m_impl->slide->Delete() < 0) ThrowPptException(__FILE__, 130);
    SafeRelease(m_impl->slide);
}

LONG CPptSlide::GetSlideIndex() {
    if (!m_impl->slideIndexRead) {
        LONG index = 0;
        if (!m_impl->slide || m_impl->slide->get_SlideIndex(&index) < 0) ThrowPptException(__FILE__, 77);
        m_impl->slideIndex = index - 1;
        m_impl->slideIndexRead = true;
    }
    return m_impl->slideIndex;
}

PowerPoint::_Master* CPptSlide::GetMasterPtr() {
    if (!m_impl->master) {
        if (!m_impl->slide || m_impl->slide->get_Master(&m_impl->master) < 0 || !m_impl->master) {
            m_impl->master = nullptr;
            ThrowPptException(__FILE__, 50);
        }
    }
    return AddRefCopy(m_impl->master);
}

std::shared_ptr<CPptMaster> CPptSlide::GetMaster() {
    if (!m_impl->masterWrapper) {
        PowerPoint::_Master* master = GetMasterPtr();
        m_impl->masterWrapper = CreatePptMaster(master);
        master->Release();
    }
    return m_impl->masterWrapper;
}

void CPptSlide::Export(const std::wstring& fileName, const std::wstring& filterName, LONG scaleWidth,
                       LONG scaleHeight) {
    if (!m_impl->slide) ThrowPptException(__FILE__, 124);
    BSTR file = BstrFromWString(fileName);
    BSTR filter = BstrFromWString(filterName);
    HRESULT hr = m_impl->slide->Export(file, filter, scaleWidth, scaleHeight);
    SysFreeString(file);
    SysFreeString(filter);
    if (hr < 0) ThrowPptException(__FILE__, 124);
}

void CPptSlide::MoveTo(LONG toPos) {
    PowerPoint::_Slide* slide = nullptr;
    if (!m_impl->slide || m_impl->slide->QueryInterface(PowerPoint::IID__Slide, reinterpret_cast<void**>(&slide)) < 0 ||
        !slide)
        ThrowPptException(__FILE__, 104);
    HRESULT hr = slide->MoveTo(toPos + 1);
    slide->Release();
    if (hr < 0) ThrowPptException(__FILE__, 104);
}

void CPptSlide::HideHeadersFooters() {
    std::shared_ptr<CPptHeadersFooters> headersFooters = GetHeadersFooters();
    headersFooters->GetFooter()->SetVisible(PowerPoint::msoFalse);
    headersFooters->GetHeader()->SetVisible(PowerPoint::msoFalse);
    headersFooters->GetDateAndTime()->SetVisible(PowerPoint::msoFalse);
    headersFooters->GetSlideNumber()->SetVisible(PowerPoint::msoFalse);
}

std::shared_ptr<CPptSlide> CreatePptSlide(PowerPoint::_Slide* slide) { return std::make_shared<CPptSlide>(slide); }

}  // namespace genswf
