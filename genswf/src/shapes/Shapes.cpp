// A slide's shape handles on the timeline path.

#include "genswf/shapes/Shapes.h"

#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Exceptions.h"

#include <map>

namespace genswf {

std::shared_ptr<CShapes> CShapes::Create(CSlide* slide) { return std::make_shared<CShapes>(slide); }

CShapes::CShapes(CSlide* slide) : m_slide(slide) {
    CComPtr<PowerPoint::_Slide> slideInterface;
    slideInterface.Attach(slide ? slide->GetSlideInterface() : nullptr);
    if (!slideInterface || slideInterface->get_Shapes(&m_shapes) < 0 || !m_shapes)
        throw CPPTException(PPTExceptionMessage(__FILE__, 22));
    LONG count = 0;
    if (m_shapes->get_Count(&count) < 0) throw CPPTException(PPTExceptionMessage(__FILE__, 25));
    if (count < 0) count = 0;
    m_handles.reserve(static_cast<std::size_t>(count));
    m_byZOrder.reserve(static_cast<std::size_t>(count));

    // Equal positions keep collection order.
    std::multimap<LONG, std::shared_ptr<CBasicShapeHandle>> byPosition;
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        CComPtr<PowerPoint::Shape> shape;
        if (m_shapes->Item(index, &shape) < 0 || !shape) throw CPPTException(PPTExceptionMessage(__FILE__, 35));
        std::shared_ptr<CBasicShapeHandle> handle = CreateBasicShapeHandle(slide, shape, static_cast<int>(i - 1));
        m_handles.push_back(handle);
        byPosition.emplace(handle->GetZOrderPosition(), handle);
    }
    for (auto& entry : byPosition) m_byZOrder.push_back(entry.second);
}

CShapes::~CShapes() = default;

}  // namespace genswf
