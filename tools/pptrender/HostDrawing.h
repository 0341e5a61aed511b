#pragma once
// A slide of a loaded presentation as the host draws it, with the shapes behind its drawings.

#include "powerpoint/loader/PptLoader.h"
#include "render/BcRender.h"

#include <cstddef>
#include <vector>

namespace pptrender {

// Slide `index` (0-based), drawn as Slide.Export draws it. The slide's own drawings start at
// `firstSlideShape`; `slideShapes` receives the shape behind each of them (null for the date,
// footer and slide number).
render::SlideDrawing SlideFromHost(const PowerPoint::Loader::LoadResult& loaded, std::size_t index,
                                   std::size_t& firstSlideShape,
                                   std::vector<const PowerPoint::Host::CHostShape*>& slideShapes);

}  // namespace pptrender
