#pragma once
// Outlines of shapes in their own box (0, 0, width, height) in points, before flips and rotation.

#include "render/BcRender.h"

#include <vector>

namespace render {
namespace detail {

struct Seg {
    enum Kind { Move, Line, Curve, Close } kind;
    Point p[3];
};

struct Geometry {
    std::vector<Seg> fill;         // filled and stroked
    std::vector<Seg> fillOnly;     // filled only (parts the template leaves unstroked)
    std::vector<Seg> strokeOnly;   // stroked only (inner lines, leaders)
    std::vector<Seg> arrowFill;    // arrowheads filled with the line colour
    std::vector<Seg> arrowStroke;  // open arrowheads, stroked with the line
    bool fillable = true;          // lines and connectors have no fill
    bool strokeFill = true;        // false: the outline is filled but not stroked
    bool evenOdd = false;
    enum Simple { None, Rect, Ellipse } simple = None;  // whole outline is one primitive
    // Half the extent that strokes and arrowheads reach beyond the outline, in points.
    double strokeMargin = 0;
};

// The outline of a shape of the given kind in a box of w x h points.
Geometry BuildGeometry(const ShapeDrawing& shape, double w, double h);

}  // namespace detail
}  // namespace render
