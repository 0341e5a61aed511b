// pptrender FILE.ppt --slide N [--shapes] -o OUT.png
// Loads a presentation into the host and draws slide N at its size in points (one pixel a
// point), to look at what the host would draw. With --shapes, each shape of the slide is also
// written as its own picture next to OUT ("OUT-shape3.png"), at the same scale.

#include "BcRender.h"
#include "BcVersion.h"
#include "PptLoader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace PowerPoint;
namespace fs = std::filesystem;

namespace {

std::string Utf8(const std::wstring& w)
{
    std::string out;
    for (wchar_t c : w) {
        auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (u >> 18));
            out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

bcrender::PictureFormat NoFormat() { return bcrender::PictureFormat::Unknown; }

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

// false for shapes with nothing to draw (groups, whose members are drawn on their own).
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

int Usage()
{
    std::fprintf(stderr, "usage: pptrender FILE.ppt --slide N [--shapes] -o OUT.png\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string input, output;
    long slideNumber = 0;
    bool shapes = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--slide" && i + 1 < argc) {
            char* end = nullptr;
            slideNumber = std::strtol(argv[++i], &end, 10);
            if (!end || *end) return Usage();
        } else if (a == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (a == "--shapes") {
            shapes = true;
        } else if (a == "--version") {
            std::printf("pptrender %s\n", BC_VERSION_STRING);
            return 0;
        } else if (!a.empty() && a[0] != '-' && input.empty()) {
            input = a;
        } else {
            return Usage();
        }
    }
    if (input.empty() || output.empty() || slideNumber < 1) return Usage();

    try {
        Loader::LoadResult loaded = Loader::LoadPresentation(input);
        Host::CHostDocument& doc = *loaded.document;
        const auto& slides = doc.Slides();
        if (slideNumber > static_cast<long>(slides.size())) {
            std::fprintf(stderr, "pptrender: %s has %zu slides, not %ld\n", input.c_str(), slides.size(), slideNumber);
            return 1;
        }
        const Host::CHostSlide* slide = slides[static_cast<size_t>(slideNumber - 1)];
        const Host::CHostMaster* master = slide->master ? slide->master : doc.Master();

        bcrender::SlideDrawing drawing;
        drawing.width = master->width;
        drawing.height = master->height;
        const Loader::BackgroundData* bg = nullptr;
        if (static_cast<size_t>(slideNumber - 1) < loaded.slideBackgrounds.size())
            bg = &loaded.slideBackgrounds[static_cast<size_t>(slideNumber - 1)];
        if ((!bg || bg->followMaster) && !loaded.masterBackgrounds.empty()) bg = &loaded.masterBackgrounds.front();
        if (bg) drawing.background = ToFill(bg->fill, bg->imageBytes);
        if (drawing.background.kind == bcrender::FillKind::None) drawing.background = bcrender::FillData::Solid(0xFFFFFF);

        // The master's own graphics lie under the slide's shapes; its placeholders do not show.
        for (const Host::CHostShape* shape : master->shapes) {
            bcrender::ShapeDrawing s;
            if (shape->data.type != msoPlaceholder && shape->data.visible != msoFalse && ToDrawing(shape->data, s))
                drawing.shapes.push_back(std::move(s));
        }
        const size_t masterCount = drawing.shapes.size();
        std::vector<const Host::CHostShape*> slideShapes;
        for (const Host::CHostShape* shape : slide->shapes) {
            bcrender::ShapeDrawing s;
            if (shape->data.visible != msoFalse && ToDrawing(shape->data, s)) {
                drawing.shapes.push_back(std::move(s));
                slideShapes.push_back(shape);
            }
        }
        const int width = std::max(1, static_cast<int>(std::lround(drawing.width)));
        const int height = std::max(1, static_cast<int>(std::lround(drawing.height)));
        bcrender::RenderSlidePng(drawing, width, height, output);
        std::printf("%s: slide %ld, %d x %d, %zu shapes\n", output.c_str(), slideNumber, width, height,
                    drawing.shapes.size());

        if (shapes) {
            const fs::path out(output);
            const double sx = width / drawing.width, sy = height / drawing.height;
            for (size_t i = masterCount; i < drawing.shapes.size(); ++i) {
                const size_t n = i - masterCount + 1;
                fs::path p = out.parent_path() / (out.stem().string() + "-shape" + std::to_string(n) + ".png");
                bcrender::ShapeDrawing s = drawing.shapes[i];
                bcrender::RenderShapePng(s, sx, sy, p);
                std::printf("%s: %s\n", p.string().c_str(), Utf8(slideShapes[n - 1]->data.name).c_str());
            }
        }
        for (const std::wstring& w : loaded.warnings) std::fprintf(stderr, "pptrender: warning: %s\n", Utf8(w).c_str());
    } catch (const Loader::CPptLoadError& e) {
        std::fprintf(stderr, "pptrender: %s\n", Utf8(e.GetMessage()).c_str());
        return 1;
    } catch (const bcrender::RenderError& e) {
        std::fprintf(stderr, "pptrender: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pptrender: %s\n", e.what());
        return 1;
    }
    return 0;
}
