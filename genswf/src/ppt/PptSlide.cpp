// The slide wrapper.

#include "genswf/ppt/PptSlide.h"

#include "PptHelpers.h"
#include "genswf/ppt/PptHeadersFooters.h"
#include "genswf/ppt/PptMaster.h"
#include "genswf/ppt/PptShapes.h"
#include "genswf/ppt/PptSlideRange.h"

namespace genswf {

struct CPptSlide::Impl {
    CComPtr<PowerPoint::_Slide> slide;
    CComPtr<PowerPoint::_Master> master;
    std::shared_ptr<CPptMaster> masterWrapper;
    CComPtr<PowerPoint::Shapes> shapes;
    std::shared_ptr<CPptShapes> shapesWrapper;
    bool slideIdRead = false;
    LONG slideId = 0;
    bool slideIndexRead = false;
    LONG slideIndex = 0;
    CComPtr<PowerPoint::HeadersFooters> headersFooters;
    std::shared_ptr<CPptHeadersFooters> headersFootersWrapper;
};

CPptSlide::CPptSlide(PowerPoint::_Slide* slide) : m_impl(new Impl) { m_impl->slide = slide; }

// Each wrapper is declared after the interface it was made from, so it goes first.
CPptSlide::~CPptSlide() = default;

PowerPoint::Shapes* CPptSlide::GetShapesPtr() {
    return ReadPtrOnce(m_impl->shapes, m_impl->slide.Get(), &PowerPoint::_Slide::get_Shapes, __FILE__, 60);
}

std::shared_ptr<CPptShapes> CPptSlide::GetShapes() {
    if (!m_impl->shapesWrapper) m_impl->shapesWrapper = CreatePptShapes(Adopt(GetShapesPtr()));
    return m_impl->shapesWrapper;
}

PowerPoint::HeadersFooters* CPptSlide::GetHeadersFootersPtr() {
    return ReadPtrOnce(m_impl->headersFooters, m_impl->slide.Get(), &PowerPoint::_Slide::get_HeadersFooters, __FILE__,
                       109);
}

std::shared_ptr<CPptHeadersFooters> CPptSlide::GetHeadersFooters() {
    if (!m_impl->headersFootersWrapper)
        m_impl->headersFootersWrapper = CreatePptHeadersFooters(Adopt(GetHeadersFootersPtr()));
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
    CComPtr<PowerPoint::SlideRange> range;
    if (!m_impl->slide || m_impl->slide->Duplicate(&range) < 0 || !range) ThrowPptException(__FILE__, 92);
    // The copy exists from here on: when it cannot be handed out, it is taken out again.
    std::shared_ptr<CPptSlide> copy;
    try {
        std::shared_ptr<CPptSlideRange> rangeWrapper = CreatePptSlideRange(range);
        copy = rangeWrapper->GetSlide(0);
        if (!copy) ThrowPptException(__FILE__, 92);  // PowerPoint gave an empty range
    } catch (...) {
        range->Delete();
        throw;
    }
    return copy;
}

void CPptSlide::Delete() {
    if (!m_impl->slide || m_impl->slide->Delete() < 0) ThrowPptException(__FILE__, 130);
    m_impl->slide.Release();
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
    return ReadPtrOnce(m_impl->master, m_impl->slide.Get(), &PowerPoint::_Slide::get_Master, __FILE__, 50);
}

std::shared_ptr<CPptMaster> CPptSlide::GetMaster() {
    if (!m_impl->masterWrapper) m_impl->masterWrapper = CreatePptMaster(Adopt(GetMasterPtr()));
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
    CComPtr<PowerPoint::_Slide> slide;
    if (!m_impl->slide || m_impl->slide->QueryInterface(PowerPoint::IID__Slide, reinterpret_cast<void**>(&slide)) < 0 ||
        !slide || slide->MoveTo(toPos + 1) < 0)
        ThrowPptException(__FILE__, 104);
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
