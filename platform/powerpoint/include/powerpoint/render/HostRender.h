#pragma once
// What the presentation host draws: its shapes and slides described for the renderer, text
// included (glyph outlines placed where the text layout put each character). Shape.Export and
// Slide.Export render these; tools can render them too.

#include "powerpoint/host/PowerPointHost.h"
#include "render/BcRender.h"

#include <vector>

namespace PowerPoint {
namespace Host {

// The shape in its current state. Its text painter keeps the document alive.
render::ShapeDrawing ShapeDrawingOf(CHostShape* shape);

// A slide's picture: its background (or the master's), the master's own graphics, the slide's
// visible shapes and its visible date, footer and slide number. `drawn`, when given, receives the
// shape behind each drawing (null for the date, footer and slide number).
render::SlideDrawing SlideDrawingOf(CHostSlide* slide, std::vector<CHostShape*>* drawn = nullptr);

// The size of the slides of a slide's or a shape's presentation, in points.
void SlideSizeOf(const CHostNode* node, float& width, float& height);

}  // namespace Host
}  // namespace PowerPoint
