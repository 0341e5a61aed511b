// The shape range wrapper.

#include "PptHelpers.h"
#include "genswf/ppt/PptShapes.h"

namespace genswf {

struct CPptShapeRange::Impl {
    CComPtr<PowerPoint::ShapeRange> range;
};

CPptShapeRange::CPptShapeRange(PowerPoint::ShapeRange* range) : m_impl(new Impl) { m_impl->range = range; }

CPptShapeRange::~CPptShapeRange() = default;

void CPptShapeRange::Delete() {
    if (!m_impl->range || m_impl->range->Delete() < 0) ThrowPptException(__FILE__, 28);
    m_impl->range.Release();
}

void CPptShapeRange::SetVisible(PowerPoint::MsoTriState value) {
    if (!m_impl->range || m_impl->range->put_Visible(value) < 0) ThrowPptException(__FILE__, 34);
}

std::shared_ptr<CPptShapeRange> CreatePptShapeRange(PowerPoint::ShapeRange* range) {
    return std::make_shared<CPptShapeRange>(range);
}

}  // namespace genswf
