// The shape collection wrapper.

#include "genswf/ppt/PptShapes.h"

#include "PptHelpers.h"

namespace genswf {

struct CPptShapes::Impl {
    CComPtr<PowerPoint::Shapes> shapes;
    bool countRead = false;
    LONG count = 0;
};

CPptShapes::CPptShapes(PowerPoint::Shapes* shapes) : m_impl(new Impl) { m_impl->shapes = shapes; }

CPptShapes::~CPptShapes() = default;

LONG CPptShapes::GetCount() {
    if (!m_impl->countRead) {
        if (!m_impl->shapes || m_impl->shapes->get_Count(&m_impl->count) < 0) ThrowPptException(__FILE__, 100);
        m_impl->countRead = true;
    }
    return m_impl->count;
}

PowerPoint::ShapeRange* CPptShapes::GetRangePtr(VARIANT index) {
    CComPtr<PowerPoint::ShapeRange> range;
    if (!m_impl->shapes || m_impl->shapes->Range(index, &range) < 0 || !range) ThrowPptException(__FILE__, 84);
    return range.Detach();
}

std::shared_ptr<CPptShapeRange> CPptShapes::Range(VARIANT index) {
    return CreatePptShapeRange(Adopt(GetRangePtr(index)));
}

std::shared_ptr<CPptShapes> CreatePptShapes(PowerPoint::Shapes* shapes) { return std::make_shared<CPptShapes>(shapes); }

}  // namespace genswf
