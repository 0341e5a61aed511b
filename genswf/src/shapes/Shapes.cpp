// A slide's shape handles on the timeline path.
//
// Skeleton: no handle is made yet.

#include "genswf/shapes/Shapes.h"

#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"

namespace genswf {

std::shared_ptr<CShapes> CShapes::Create(CSlide* slide) { return std::make_shared<CShapes>(slide); }

CShapes::CShapes(CSlide* slide) : m_slide(slide) {}

CShapes::~CShapes() = default;

}  // namespace genswf
