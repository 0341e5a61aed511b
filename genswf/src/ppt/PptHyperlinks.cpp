// The hyperlinks of a slide.

#include "genswf/ppt/PptHyperlinks.h"

#include "PptHelpers.h"

#include <algorithm>

namespace genswf {

CPptHyperlinks::CPptHyperlinks(PowerPoint::Hyperlinks* hyperlinks) : CPptObject(hyperlinks) {
    LONG count = 0;
    if (!hyperlinks || hyperlinks->get_Count(&count) < 0 || count < 0) ThrowPptException(__FILE__, 21);
    // The count comes from PowerPoint; the list grows with what Item really hands out.
    std::vector<PowerPoint::Hyperlink*> items;
    items.reserve(static_cast<std::size_t>(std::min<LONG>(count, 1024)));
    for (LONG i = 1; i <= count; ++i) {
        PowerPoint::Hyperlink* item = nullptr;
        if (hyperlinks->Item(i, &item) < 0 || !item) {
            SafeRelease(item);
            for (PowerPoint::Hyperlink* p : items) p->Release();
            ThrowPptException(__FILE__, 26);
        }
        items.push_back(item);
    }
    m_pHyperlinks = AddRefCopy(hyperlinks);
    m_items = std::move(items);
}

CPptHyperlinks::~CPptHyperlinks() {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) SafeRelease(*it);
    m_items.clear();
    SafeRelease(m_pHyperlinks);
}

PowerPoint::Hyperlink* CPptHyperlinks::GetItemPtr(LONG index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return AddRefCopy(m_items[static_cast<std::size_t>(index)]);
}

}  // namespace genswf
