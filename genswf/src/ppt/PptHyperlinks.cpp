// The hyperlinks of a slide.

#include "genswf/ppt/PptHyperlinks.h"

#include "PptHelpers.h"

#include <algorithm>

namespace genswf {

CPptHyperlinks::CPptHyperlinks(PowerPoint::Hyperlinks* hyperlinks) : CPptObject(hyperlinks) {
    LONG count = 0;
    if (!hyperlinks || hyperlinks->get_Count(&count) < 0 || count < 0) ThrowPptException(__FILE__, 21);
    // The count comes from PowerPoint; the list grows with what Item really hands out.
    std::vector<CComPtr<PowerPoint::Hyperlink>> items;
    items.reserve(static_cast<std::size_t>(std::min<LONG>(count, 1024)));
    for (LONG i = 1; i <= count; ++i) {
        CComPtr<PowerPoint::Hyperlink> item;
        if (hyperlinks->Item(i, &item) < 0 || !item) ThrowPptException(__FILE__, 26);
        items.push_back(std::move(item));
    }
    m_pHyperlinks = hyperlinks;
    m_items = std::move(items);
}

CPptHyperlinks::~CPptHyperlinks() = default;

PowerPoint::Hyperlink* CPptHyperlinks::GetItemPtr(LONG index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return AddRefCopy(m_items[static_cast<std::size_t>(index)]);
}

}  // namespace genswf
