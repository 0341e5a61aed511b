#include "HostDrawing.h"

#include "powerpoint/render/HostRender.h"

namespace pptrender {

render::SlideDrawing SlideFromHost(const PowerPoint::Loader::LoadResult& loaded, std::size_t index,
                                   std::size_t& firstSlideShape,
                                   std::vector<const PowerPoint::Host::CHostShape*>& slideShapes) {
    PowerPoint::Host::CHostSlide* slide = loaded.document->Slides().at(index);
    std::vector<PowerPoint::Host::CHostShape*> drawn;
    render::SlideDrawing drawing = PowerPoint::Host::SlideDrawingOf(slide, &drawn);
    // The master's graphics come first; everything after them belongs to the slide.
    firstSlideShape = 0;
    while (firstSlideShape < drawn.size() && drawn[firstSlideShape] && drawn[firstSlideShape]->Owner() != slide)
        ++firstSlideShape;
    slideShapes.assign(drawn.begin() + static_cast<std::ptrdiff_t>(firstSlideShape), drawn.end());
    return drawing;
}

}  // namespace pptrender
