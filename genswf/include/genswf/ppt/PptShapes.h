#pragma once
// The shape collection and shape range wrappers.

#include "Ppt.h"

#include <memory>

namespace genswf {

class CPptShapeRange;

class CPptShapes {
public:
    explicit CPptShapes(PowerPoint::Shapes* shapes);
    virtual ~CPptShapes();
    CPptShapes(const CPptShapes&) = delete;
    CPptShapes& operator=(const CPptShapes&) = delete;

    LONG GetCount();
    // VT_EMPTY: every shape of the slide. AddRef'ed.
    PowerPoint::ShapeRange* GetRangePtr(VARIANT index);
    std::shared_ptr<CPptShapeRange> Range(VARIANT index);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class CPptShapeRange {
public:
    explicit CPptShapeRange(PowerPoint::ShapeRange* range);
    virtual ~CPptShapeRange();
    CPptShapeRange(const CPptShapeRange&) = delete;
    CPptShapeRange& operator=(const CPptShapeRange&) = delete;

    // Deletes the shapes; the wrapper may then only be destroyed.
    void Delete();
    void SetVisible(PowerPoint::MsoTriState value);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

std::shared_ptr<CPptShapes> CreatePptShapes(PowerPoint::Shapes* shapes);
std::shared_ptr<CPptShapeRange> CreatePptShapeRange(PowerPoint::ShapeRange* range);

}  // namespace genswf
