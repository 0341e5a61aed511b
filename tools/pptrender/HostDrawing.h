#pragma once
// What the renderer is given for a slide of a loaded presentation: the host's shape state mapped
// onto the renderer's drawings (the same mapping Shape.Export and Slide.Export need).

#include "BcRender.h"
#include "PptLoader.h"

#include <vector>

namespace pptrender {

// false for shapes with nothing to draw (groups, whose members are drawn on their own).
bool ToDrawing(const PowerPoint::Host::ShapeData& d, bcrender::ShapeDrawing& s);

bcrender::FillData ToFill(const PowerPoint::Host::FillData& f, const std::vector<std::uint8_t>& pictureBytes);

// Slide `index` (0-based): background, the master's graphics, then the slide's visible shapes.
// `slideShapes` receives the host shapes behind the drawings from `firstSlideShape` on.
bcrender::SlideDrawing SlideFromHost(const PowerPoint::Loader::LoadResult& loaded, size_t index,
                                     size_t& firstSlideShape,
                                     std::vector<const PowerPoint::Host::CHostShape*>& slideShapes);

} // namespace pptrender
