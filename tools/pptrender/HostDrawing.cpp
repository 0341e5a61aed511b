#include "HostDrawing.h"

#include <algorithm>

using namespace PowerPoint;

namespace pptrender {

namespace {

bcrender::PictureFormat NoFormat() { return bcrender::PictureFormat::Unknown; }

} // namespace

bcrender::FillData ToFill(const Host::FillData& f, const std::vector<std::uint8_t>& pictureBytes)
{
    bcrender::FillData out;
    if (f.visible == msoFalse) return out;
    out.color = f.foreColor.rgb & 0xFFFFFF;
    out.color2 = f.backColor.rgb & 0xFFFFFF;
    out.transparency = f.transparency;
    switch (f.type) {
    case msoFillSolid:
    case msoFillPatterned: // drawn in its foreground colour
        out.kind = bcrender::FillKind::Solid;
        break;
    case msoFillGradient:
        out.kind = bcrender::FillKind::Gradient;
        out.gradientAngle = 90;
        break;
    case msoFillTextured:
    case msoFillPicture:
        out.kind = pictureBytes.empty() ? bcrender::FillKind::Solid : bcrender::FillKind::Picture;
        out.picture.bytes = pictureBytes;
        out.picture.format = NoFormat();
        break;
    default: // the slide's background shows through
        out.kind = bcrender::FillKind::None;
        break;
    }
    return out;
}

// Host crops are points of the picture at its shown scale; the renderer takes fractions.
void ToCrop(const Host::PictureData& p, double w, double h, bcrender::PictureData& out)
{
    const double fullW = w + p.cropLeft + p.cropRight, fullH = h + p.cropTop + p.cropBottom;
    if (fullW > 0) {
        out.cropLeft = p.cropLeft / fullW;
        out.cropRight = p.cropRight / fullW;
    }
    if (fullH > 0) {
        out.cropTop = p.cropTop / fullH;
        out.cropBottom = p.cropBottom / fullH;
    }
}

bool ToDrawing(const Host::ShapeData& d, bcrender::ShapeDrawing& s)
{
    if (d.type == msoGroup) return false;
    s.frame = {d.left, d.top, std::max(0.0f, d.width), std::max(0.0f, d.height)};
    s.rotation = d.rotation;
    s.flipH = d.horizontalFlip != msoFalse;
    s.flipV = d.verticalFlip != msoFalse;
    s.adjustments.assign(d.adjustments.begin(), d.adjustments.end());
    s.autoShapeType = d.autoShapeType;
    const bool hasPicture = !d.picture.imageBytes.empty();
    if (d.type == msoLine || d.connector != msoFalse) {
        s.kind = bcrender::ShapeKind::Line;
    } else if (d.type == msoPicture || d.type == msoLinkedPicture ||
               (hasPicture && (d.type == msoEmbeddedOLEObject || d.type == msoLinkedOLEObject ||
                               d.type == msoOLEControlObject || d.type == msoMedia ||
                               (d.type == msoPlaceholder && d.fill.type != msoFillPicture)))) {
        s.kind = bcrender::ShapeKind::Picture;
    } else if (d.type == msoAutoShape || d.type == msoCallout) {
        s.kind = bcrender::ShapeKind::AutoShape;
    } else {
        s.kind = bcrender::ShapeKind::TextOnly; // text boxes, placeholders, and freeforms (no vertices)
    }
    s.fill = ToFill(d.fill, d.picture.imageBytes);
    s.line.visible = d.line.visible != msoFalse;
    s.line.color = d.line.foreColor.rgb & 0xFFFFFF;
    s.line.weight = d.line.weight;
    s.line.transparency = d.line.transparency;
    s.line.dashStyle = d.line.dashStyle;
    if (s.kind == bcrender::ShapeKind::Picture) {
        s.picture.bytes = d.picture.imageBytes;
        s.picture.brightness = d.picture.brightness;
        s.picture.contrast = d.picture.contrast;
        ToCrop(d.picture, s.frame.width, s.frame.height, s.picture);
    }
    return true;
}

bcrender::SlideDrawing SlideFromHost(const Loader::LoadResult& loaded, size_t index, size_t& firstSlideShape,
                                     std::vector<const Host::CHostShape*>& slideShapes)
{
    const Host::CHostDocument& doc = *loaded.document;
    const Host::CHostSlide* slide = doc.Slides().at(index);
    const Host::CHostMaster* master = slide->master ? slide->master : doc.Master();
    bcrender::SlideDrawing drawing;
    drawing.width = master->width;
    drawing.height = master->height;
    const Loader::BackgroundData* bg = index < loaded.slideBackgrounds.size() ? &loaded.slideBackgrounds[index] : nullptr;
    if ((!bg || bg->followMaster) && !loaded.masterBackgrounds.empty()) bg = &loaded.masterBackgrounds.front();
    if (bg) drawing.background = ToFill(bg->fill, bg->imageBytes);
    if (drawing.background.kind == bcrender::FillKind::None) drawing.background = bcrender::FillData::Solid(0xFFFFFF);
    // The master's own graphics lie under the slide's shapes; its placeholders do not show.
    for (const Host::CHostShape* shape : master->shapes) {
        bcrender::ShapeDrawing s;
        if (shape->data.type != msoPlaceholder && shape->data.visible != msoFalse && ToDrawing(shape->data, s))
            drawing.shapes.push_back(std::move(s));
    }
    firstSlideShape = drawing.shapes.size();
    slideShapes.clear();
    for (const Host::CHostShape* shape : slide->shapes) {
        bcrender::ShapeDrawing s;
        if (shape->data.visible != msoFalse && ToDrawing(shape->data, s)) {
            drawing.shapes.push_back(std::move(s));
            slideShapes.push_back(shape);
        }
    }
    return drawing;
}

} // namespace pptrender
