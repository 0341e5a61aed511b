// The headers-and-footers collection wrapper of a slide.

#include "genswf/ppt/PptHeadersFooters.h"

#include "PptHelpers.h"

namespace genswf {

struct CPptHeadersFooters::Impl {
    PowerPoint::HeadersFooters* headersFooters = nullptr;
    PowerPoint::HeaderFooter* footer = nullptr;
    PowerPoint::HeaderFooter* header = nullptr;
    PowerPoint::HeaderFooter* dateAndTime = nullptr;
    PowerPoint::HeaderFooter* slideNumber = nullptr;
    std::shared_ptr<CPptHeaderFooter> footerWrapper;
    std::shared_ptr<CPptHeaderFooter> headerWrapper;
    std::shared_ptr<CPptHeaderFooter> dateAndTimeWrapper;
    std::shared_ptr<CPptHeaderFooter> slideNumberWrapper;
};

namespace {
using Getter = HRESULT (PowerPoint::HeadersFooters::*)(PowerPoint::HeaderFooter**);

// Reads one member into its cache; false when PowerPoint fails.
bool ReadOnce(PowerPoint::HeadersFooters* owner, Getter get, PowerPoint::HeaderFooter*& cache) {
    if (!cache) {
        PowerPoint::HeaderFooter* p = nullptr;
        if (!owner || (owner->*get)(&p) < 0 || !p) {
            SafeRelease(p);
            return false;
        }
        cache = p;
    }
    return true;
}

std::shared_ptr<CPptHeaderFooter> Wrap(PowerPoint::HeaderFooter* p, std::shared_ptr<CPptHeaderFooter>& cache) {
    if (!cache) cache = CreatePptHeaderFooter(p);
    p->Release();
    return cache;
}
}  // namespace

CPptHeadersFooters::CPptHeadersFooters(PowerPoint::HeadersFooters* headersFooters) : m_impl(new Impl) {
    m_impl->headersFooters = AddRefCopy(headersFooters);
}

CPptHeadersFooters::~CPptHeadersFooters() {
    m_impl->slideNumberWrapper.reset();
    m_impl->dateAndTimeWrapper.reset();
    m_impl->headerWrapper.reset();
    m_impl->footerWrapper.reset();
    SafeRelease(m_impl->slideNumber);
    SafeRelease(m_impl->dateAndTime);
    SafeRelease(m_impl->header);
    SafeRelease(m_impl->footer);
    SafeRelease(m_impl->headersFooters);
}

PowerPoint::HeaderFooter* CPptHeadersFooters::GetDateAndTimePtr() {
    if (!ReadOnce(m_impl->headersFooters, &PowerPoint::HeadersFooters::get_DateAndTime, m_impl->dateAndTime))
        ThrowPptException(__FILE__, 44);
    return AddRefCopy(m_impl->dateAndTime);
}

PowerPoint::HeaderFooter* CPptHeadersFooters::GetSlideNumberPtr() {
    if (!ReadOnce(m_impl->headersFooters, &PowerPoint::HeadersFooters::get_SlideNumber, m_impl->slideNumber))
        ThrowPptException(__FILE__, 49);
    return AddRefCopy(m_impl->slideNumber);
}

PowerPoint::HeaderFooter* CPptHeadersFooters::GetHeaderPtr() {
    if (!ReadOnce(m_impl->headersFooters, &PowerPoint::HeadersFooters::get_Header, m_impl->header))
        throw CPPTException(LocatedMessage(L"Failed to get header from headersfooters", __FILE__, 36));
    return AddRefCopy(m_impl->header);
}

PowerPoint::HeaderFooter* CPptHeadersFooters::GetFooterPtr() {
    if (!ReadOnce(m_impl->headersFooters, &PowerPoint::HeadersFooters::get_Footer, m_impl->footer))
        ThrowPptException(__FILE__, 27);
    return AddRefCopy(m_impl->footer);
}

std::shared_ptr<CPptHeaderFooter> CPptHeadersFooters::GetDateAndTime() {
    return m_impl->dateAndTimeWrapper ? m_impl->dateAndTimeWrapper
                                      : Wrap(GetDateAndTimePtr(), m_impl->dateAndTimeWrapper);
}

std::shared_ptr<CPptHeaderFooter> CPptHeadersFooters::GetSlideNumber() {
    return m_impl->slideNumberWrapper ? m_impl->slideNumberWrapper
                                      : Wrap(GetSlideNumberPtr(), m_impl->slideNumberWrapper);
}

std::shared_ptr<CPptHeaderFooter> CPptHeadersFooters::GetHeader() {
    return m_impl->headerWrapper ? m_impl->headerWrapper : Wrap(GetHeaderPtr(), m_impl->headerWrapper);
}

std::shared_ptr<CPptHeaderFooter> CPptHeadersFooters::GetFooter() {
    return m_impl->footerWrapper ? m_impl->footerWrapper : Wrap(GetFooterPtr(), m_impl->footerWrapper);
}

std::shared_ptr<CPptHeadersFooters> CreatePptHeadersFooters(PowerPoint::HeadersFooters* headersFooters) {
    return std::make_shared<CPptHeadersFooters>(headersFooters);
}

}  // namespace genswf
