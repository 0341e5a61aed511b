#pragma once
// A slide's shapes on the timeline path: one handle per shape, in collection order and in
// z-order.

#include "genswf/ppt/Ppt.h"

#include <memory>
#include <vector>

namespace genswf {

class CBasicShapeHandle;
class CSlide;

class CShapes {
public:
    // Reads the slide's Shapes and makes a handle per item.
    static std::shared_ptr<CShapes> Create(CSlide* slide);
    explicit CShapes(CSlide* slide);
    virtual ~CShapes();
    CShapes(const CShapes&) = delete;
    CShapes& operator=(const CShapes&) = delete;

    // Back to front.
    const std::vector<std::shared_ptr<CBasicShapeHandle>>& GetHandlesByZOrder() const { return m_byZOrder; }
    // In the order of the slide's Shapes collection.
    const std::vector<std::shared_ptr<CBasicShapeHandle>>& GetHandles() const { return m_handles; }

private:
    std::vector<std::shared_ptr<CBasicShapeHandle>> m_byZOrder;
    std::vector<std::shared_ptr<CBasicShapeHandle>> m_handles;
    CComPtr<PowerPoint::Shapes> m_shapes;
    CSlide* m_slide;
};

}  // namespace genswf
