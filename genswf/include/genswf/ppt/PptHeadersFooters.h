#pragma once
// The headers-and-footers wrappers of a slide.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptHeaderFooter {
public:
    explicit CPptHeaderFooter(PowerPoint::HeaderFooter* headerFooter);
    virtual ~CPptHeaderFooter();
    CPptHeaderFooter(const CPptHeaderFooter&) = delete;
    CPptHeaderFooter& operator=(const CPptHeaderFooter&) = delete;

    // Writes Visible; true once written.
    bool SetVisible(PowerPoint::MsoTriState value);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class CPptHeadersFooters {
public:
    explicit CPptHeadersFooters(PowerPoint::HeadersFooters* headersFooters);
    virtual ~CPptHeadersFooters();
    CPptHeadersFooters(const CPptHeadersFooters&) = delete;
    CPptHeadersFooters& operator=(const CPptHeadersFooters&) = delete;

    // AddRef'ed copies.
    PowerPoint::HeaderFooter* GetDateAndTimePtr();
    PowerPoint::HeaderFooter* GetSlideNumberPtr();
    PowerPoint::HeaderFooter* GetHeaderPtr();
    PowerPoint::HeaderFooter* GetFooterPtr();

    std::shared_ptr<CPptHeaderFooter> GetDateAndTime();
    std::shared_ptr<CPptHeaderFooter> GetSlideNumber();
    std::shared_ptr<CPptHeaderFooter> GetHeader();
    std::shared_ptr<CPptHeaderFooter> GetFooter();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptHeadersFooters> CreatePptHeadersFooters(PowerPoint::HeadersFooters* headersFooters);
std::shared_ptr<CPptHeaderFooter> CreatePptHeaderFooter(PowerPoint::HeaderFooter* headerFooter);

}  // namespace genswf
