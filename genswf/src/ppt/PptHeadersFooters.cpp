// The headers-and-footers collection wrapper of a slide.

#include "genswf/ppt/PptHeadersFooters.h"

#include "PptHelpers.h"

namespace genswf {

struct CPptHeadersFooters::Impl {
    CComPtr<PowerPoint::HeadersFooters> headersFooters;
    CComPtr<PowerPoint::HeaderFooter> footer;
    CComPtr<PowerPoint::HeaderFooter> header;
    CComPtr<PowerPoint::HeaderFooter> dateAndTime;
    CComPtr<PowerPoint::HeaderFooter> slideNumber;
    std::shared_ptr<CPptHeaderFooter> footerWrapper;
    std::shared_ptr<CPptHeaderFooter> headerWrapper;
    std::shared_ptr<CPptHeaderFooter> dateAndTimeWrapper;
    std::shared_ptr<CPptHeaderFooter> slideNumberWrapper;
};

namespace {
using Getter = HRESULT (PowerPoint::HeadersFooters::*)(PowerPoint::HeaderFooter**);

// Reads one member into its cache; false when PowerPoint fails.
bool ReadOnce(PowerPoint::HeadersFooters* owner, Getter get, CComPtr<PowerPoint::HeaderFooter>& cache) {
    if (!cache) {
        CComPtr<PowerPoint::HeaderFooter> p;
        if (!owner || (owner->*get)(&p) < 0 || !p) return false;
        cache = std::move(p);
    }
    return true;
}

std::shared_ptr<CPptHeaderFooter> Wrap(PowerPoint::HeaderFooter* p, std::shared_ptr<CPptHeaderFooter>& cache) {
    const CComPtr<PowerPoint::HeaderFooter> held = Adopt(p);
    if (!cache) cache = CreatePptHeaderFooter(held);
    return cache;
}
}  // namespace

CPptHeadersFooters::CPptHeadersFooters(PowerPoint::HeadersFooters* headersFooters) : m_impl(new Impl) {
    m_impl->headersFooters = headersFooters;
}

CPptHeadersFooters::~CPptHeadersFooters() = default;

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
