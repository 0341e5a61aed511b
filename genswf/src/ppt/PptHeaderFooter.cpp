// One header or footer placeholder of a slide.

#include "PptHelpers.h"
#include "genswf/ppt/PptHeadersFooters.h"

namespace genswf {

struct CPptHeaderFooter::Impl {
    CComPtr<PowerPoint::HeaderFooter> headerFooter;
    bool visibleWritten = false;
    PowerPoint::MsoTriState visible = 0;
};

CPptHeaderFooter::CPptHeaderFooter(PowerPoint::HeaderFooter* headerFooter) : m_impl(new Impl) {
    m_impl->headerFooter = headerFooter;
}

CPptHeaderFooter::~CPptHeaderFooter() = default;

bool CPptHeaderFooter::SetVisible(PowerPoint::MsoTriState value) {
    if (!m_impl->headerFooter || m_impl->headerFooter->put_Visible(value) < 0) ThrowPptException(__FILE__, 32);
    m_impl->visible = value;
    m_impl->visibleWritten = true;
    return true;
}

std::shared_ptr<CPptHeaderFooter> CreatePptHeaderFooter(PowerPoint::HeaderFooter* headerFooter) {
    return std::make_shared<CPptHeaderFooter>(headerFooter);
}

}  // namespace genswf
