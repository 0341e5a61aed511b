// The shape collection wrapper.

#include "genswf/ppt/PptShapes.h"

#include "PptHelpers.h"

namespace genswf {

struct CPptShapes::Impl {
    PowerPoint::Shapes* shapes = nullptr;
    bool countRead = false;
    LONG count = 0;
};

CPptShapes::CPptShapes(PowerPoint::Shapes* shapes) : m_impl(new Impl) { m_impl->shapes = AddRefCopy(shapes); }

CPptShapes::~CPptShapes() { SafeRelease(m_impl->shapes); }

LONG CPptShapes::GetCount() {
    if (!m_impl->countRead) {
        if (!m_impl->shapes || m_impl->shapes->get_Count(&m_impl->count) < 0) ThrowPptException(__FILE__, 100);
        m_impl->countRead = true;
    }
    return m_impl->count;
}

PowerPoint::ShapeRange* CPptShapes::GetRangePtr(VARIANT index) {
    PowerPoint::ShapeRange* range = nullptr;
    if (!m_impl->shapes || m_impl->shapes->Range(index, &range) < 0 || !range) {
        SafeRelease(range);
        ThrowPptException(__FILE__, 84);
    }
    return range;
}

std::shared_ptr<CPptShapeRange> CPptShapes::Range(VARIANT index) {
    PowerPoint::ShapeRange* range = GetRangePtr(index);
    std::shared_ptr<CPptShapeRange> wrapper = CreatePptShapeRange(range);
    range->Release();
    return wrapper;
}

std::shared_ptr<CPptShapes> CreatePptShapes(PowerPoint::Shapes* shapes) { return std::make_shared<CPptShapes>(shapes); }

}  // namespace genswf
