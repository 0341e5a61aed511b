// Drawing shapes and slides with cairo.

#include "Geometry.h"
#include "Internal.h"

#include <algorithm>
#include <cmath>

namespace render {

using namespace detail;

namespace {

constexpr double kPi = 3.14159265358979323846;

bool Finite(double v) { return std::isfinite(v); }

void CheckScale(double sx, double sy) {
    if (!Finite(sx) || !Finite(sy) || sx <= 0 || sy <= 0 || sx > 1000 || sy > 1000)
        throw RenderError("Scale must be a positive number of pixels per point");
}

void CheckFrame(const Frame& f) {
    if (!Finite(f.left) || !Finite(f.top) || !Finite(f.width) || !Finite(f.height) || f.width < 0 || f.height < 0)
        throw RenderError("Shape frame must have finite position and non-negative size");
}

void CheckPixels(std::int64_t w, std::int64_t h) {
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels)
        throw RenderError("Picture size " + std::to_string(w) + " x " + std::to_string(h) + " is out of range");
}

double NormalRotation(double deg) {
    if (!Finite(deg)) return 0;
    double r = std::fmod(deg, 360.0);
    if (r < 0) r += 360;
    return r;
}

bool IsRotated(const ShapeDrawing& s) {
    double r = NormalRotation(s.rotation);
    return r > 1e-9 && r < 360 - 1e-9;
}

// How a shape's box (0, 0, w, h in points) lies on the device.
struct Placement {
    cairo_matrix_t box;   // with flips
    cairo_matrix_t text;  // without flips
    double lineScale;     // device pixels per point for line widths
};

// box = outer . R(rotation) . F(flips) . T(-w/2, -h/2), outer mapping the box centre.
Placement Compose(const ShapeDrawing& s, const cairo_matrix_t& outer, double lineScale) {
    const double w = s.frame.width, h = s.frame.height;
    Placement p;
    p.lineScale = lineScale;
    cairo_matrix_t m = outer;
    cairo_matrix_rotate(&m, NormalRotation(s.rotation) * kPi / 180);
    p.text = m;
    cairo_matrix_translate(&p.text, -w / 2, -h / 2);
    cairo_matrix_scale(&m, s.flipH ? -1 : 1, s.flipV ? -1 : 1);
    cairo_matrix_translate(&m, -w / 2, -h / 2);
    p.box = m;
    return p;
}

Placement SlidePlacement(const ShapeDrawing& s, double sx, double sy) {
    cairo_matrix_t outer;
    cairo_matrix_init_scale(&outer, sx, sy);
    cairo_matrix_translate(&outer, s.frame.left + s.frame.width / 2, s.frame.top + s.frame.height / 2);
    return Compose(s, outer, std::sqrt(sx * sy));
}

// The shape's own picture: the frame fills the picture, shrunk about its centre just enough that
// the line stays inside; a rotated shape sits in the middle of its rotated bounding box.
Placement PicturePlacement(const ShapeDrawing& s, double sx, double sy, int& width, int& height) {
    const double w = s.frame.width, h = s.frame.height;
    const Geometry g = BuildGeometry(s, w, h);
    const double m = g.strokeMargin;
    cairo_matrix_t outer;
    if (!IsRotated(s)) {
        auto axis = [&](double extent, double scale, int& size, double& factor, double& offset) {
            const double px = extent * scale, margin = 2 * m * scale;
            size = static_cast<int>(std::max<double>({1.0, std::round(px), std::ceil(margin - 1e-9)}));
            factor = px > 0 ? std::min(1.0, std::max(0.0, size - margin) / px) : 1.0;
            offset = size / 2.0;
        };
        double fx, fy, ox, oy;
        axis(w, sx, width, fx, ox);
        axis(h, sy, height, fy, oy);
        cairo_matrix_init_translate(&outer, ox, oy);
        cairo_matrix_scale(&outer, sx * fx, sy * fy);
    } else {
        cairo_matrix_t r;
        cairo_matrix_init_scale(&r, sx, sy);
        cairo_matrix_rotate(&r, NormalRotation(s.rotation) * kPi / 180);
        double minX = 0, maxX = 0, minY = 0, maxY = 0;
        const double cx[4] = {-w / 2, w / 2, w / 2, -w / 2}, cy[4] = {-h / 2, -h / 2, h / 2, h / 2};
        for (int i = 0; i < 4; ++i) {
            double x = cx[i], y = cy[i];
            cairo_matrix_transform_point(&r, &x, &y);
            minX = i ? std::min(minX, x) : x;
            maxX = i ? std::max(maxX, x) : x;
            minY = i ? std::min(minY, y) : y;
            maxY = i ? std::max(maxY, y) : y;
        }
        width = static_cast<int>(std::max(1.0, std::ceil(maxX - minX + 2 * m * sx - 1e-6)));
        height = static_cast<int>(std::max(1.0, std::ceil(maxY - minY + 2 * m * sy - 1e-6)));
        cairo_matrix_init_translate(&outer, width / 2.0, height / 2.0);
        cairo_matrix_scale(&outer, sx, sy);
    }
    return Compose(s, outer, std::sqrt(sx * sy));
}

void AppendPath(cairo_t* cr, const std::vector<Seg>& segs) {
    for (const Seg& s : segs) {
        switch (s.kind) {
        case Seg::Move:
            cairo_move_to(cr, s.p[0].x, s.p[0].y);
            break;
        case Seg::Line:
            cairo_line_to(cr, s.p[0].x, s.p[0].y);
            break;
        case Seg::Curve:
            cairo_curve_to(cr, s.p[0].x, s.p[0].y, s.p[1].x, s.p[1].y, s.p[2].x, s.p[2].y);
            break;
        case Seg::Close:
            cairo_close_path(cr);
            break;
        }
    }
}

double Alpha(double transparency) {
    if (!Finite(transparency)) return 1;
    return 1 - std::clamp(transparency, 0.0, 1.0);
}

void SetColor(cairo_t* cr, std::uint32_t bgr, double alpha) {
    cairo_set_source_rgba(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0, alpha);
}

// Fills the current path (in box space w x h) with the fill; the path is consumed.
void FillCurrentPath(cairo_t* cr, const FillData& fill, double w, double h) {
    const double alpha = Alpha(fill.transparency);
    switch (fill.kind) {
    case FillKind::None:
        cairo_new_path(cr);
        return;
    case FillKind::Solid:
        SetColor(cr, fill.color, alpha);
        cairo_fill(cr);
        return;
    case FillKind::Gradient: {
        const double t = (Finite(fill.gradientAngle) ? fill.gradientAngle : 90) * kPi / 180;
        const double dx = std::cos(t), dy = std::sin(t);
        const double half = (std::fabs(w * dx) + std::fabs(h * dy)) / 2;
        cairo_pattern_t* pat =
            cairo_pattern_create_linear(w / 2 - dx * half, h / 2 - dy * half, w / 2 + dx * half, h / 2 + dy * half);
        auto stop = [&](double at, std::uint32_t c) {
            cairo_pattern_add_color_stop_rgba(pat, at, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                              ((c >> 16) & 0xFF) / 255.0, alpha);
        };
        stop(0, fill.color);
        stop(1, fill.color2);
        cairo_set_source(cr, pat);
        cairo_fill(cr);
        cairo_pattern_destroy(pat);
        return;
    }
    case FillKind::Picture:
        cairo_save(cr);
        cairo_clip(cr);
        if (alpha < 1) cairo_push_group(cr);
        DrawPicture(cr, fill.picture, w, h);
        if (alpha < 1) {
            cairo_pop_group_to_source(cr);
            cairo_paint_with_alpha(cr, alpha);
        }
        cairo_restore(cr);
        return;
    }
}

void SetDashes(cairo_t* cr, int style, double width) {
    static const double squareDot[] = {1, 1}, roundDot[] = {0, 2}, dash[] = {4, 3}, dashDot[] = {4, 3, 1, 3},
                        dashDotDot[] = {4, 3, 1, 3, 1, 3}, longDash[] = {8, 3}, longDashDot[] = {8, 3, 1, 3};
    const double* pattern = nullptr;
    int n = 0;
    switch (style) {
    case DashSquareDot:
        pattern = squareDot;
        n = 2;
        break;
    case DashRoundDot:
        pattern = roundDot;
        n = 2;
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        break;
    case DashDash:
        pattern = dash;
        n = 2;
        break;
    case DashDashDot:
        pattern = dashDot;
        n = 4;
        break;
    case DashDashDotDot:
        pattern = dashDotDot;
        n = 6;
        break;
    case DashLongDash:
        pattern = longDash;
        n = 2;
        break;
    case DashLongDashDot:
        pattern = longDashDot;
        n = 4;
        break;
    default:
        return;
    }
    double scaled[6];
    for (int i = 0; i < n; ++i) scaled[i] = pattern[i] * width;
    cairo_set_dash(cr, scaled, n, 0);
}

void PaintShape(cairo_t* cr, const ShapeDrawing& s, const Placement& place) {
    const double w = s.frame.width, h = s.frame.height;
    const Geometry g = BuildGeometry(s, w, h);
    cairo_save(cr);
    cairo_set_matrix(cr, &place.box);

    if (g.fillable && s.fill.kind != FillKind::None && !g.fill.empty() && w > 0 && h > 0) {
        AppendPath(cr, g.fill);
        cairo_set_fill_rule(cr, g.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        FillCurrentPath(cr, s.fill, w, h);
    }
    if (s.kind == ShapeKind::Picture) DrawPicture(cr, s.picture, w, h);

    if (s.line.visible && Finite(s.line.weight) && s.line.weight >= 0) {
        const double alpha = Alpha(s.line.transparency);
        if (g.strokeFill) AppendPath(cr, g.fill);
        AppendPath(cr, g.strokeOnly);
        AppendPath(cr, g.arrowStroke);
        // Stroke in device space so that the width does not follow the box's scaling.
        cairo_save(cr);
        cairo_identity_matrix(cr);
        const double width = std::max(1.0, s.line.weight * place.lineScale);
        cairo_set_line_width(cr, width);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr, 10);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        SetDashes(cr, s.line.dashStyle, width);
        SetColor(cr, s.line.color, alpha);
        cairo_stroke(cr);
        cairo_restore(cr);
        if (!g.arrowFill.empty()) {
            AppendPath(cr, g.arrowFill);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            SetColor(cr, s.line.color, alpha);
            cairo_fill(cr);
        }
    }
    if (s.text) {
        cairo_save(cr);
        cairo_set_matrix(cr, &place.text);
        cairo_new_path(cr);
        s.text(cr);
        cairo_restore(cr);
    }
    cairo_restore(cr);
}

Raster SurfaceToRaster(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    Raster r;
    r.width = cairo_image_surface_get_width(surface);
    r.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    r.rgba.resize(static_cast<size_t>(r.width) * r.height * 4);
    for (int y = 0; y < r.height; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        std::uint8_t* dst = &r.rgba[static_cast<size_t>(y) * r.width * 4];
        for (int x = 0; x < r.width; ++x, dst += 4) {
            const std::uint32_t v = src[x], a = alpha ? v >> 24 : 255;
            std::uint32_t c[3] = {(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF};
            if (a != 255) {  // cairo keeps colours premultiplied
                for (std::uint32_t& k : c) k = a ? (k * 255 + a / 2) / a : 0;
            }
            dst[0] = static_cast<std::uint8_t>(c[0]);
            dst[1] = static_cast<std::uint8_t>(c[1]);
            dst[2] = static_cast<std::uint8_t>(c[2]);
            dst[3] = static_cast<std::uint8_t>(a);
        }
    }
    return r;
}

SurfacePtr ShapeSurface(const ShapeDrawing& shape, double sx, double sy) {
    CheckScale(sx, sy);
    CheckFrame(shape.frame);
    int w = 0, h = 0;
    Placement place = PicturePlacement(shape, sx, sy, w, h);
    CheckPixels(w, h);
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) throw RenderError("Cannot allocate the picture");
    ContextPtr cr(cairo_create(surface.get()));
    PaintShape(cr.get(), shape, place);
    return surface;
}

SurfacePtr SlideSurface(const SlideDrawing& slide, int widthPx, int heightPx) {
    CheckPixels(widthPx, heightPx);
    if (!Finite(slide.width) || !Finite(slide.height) || slide.width <= 0 || slide.height <= 0)
        throw RenderError("Slide size must be positive");
    const double sx = widthPx / slide.width, sy = heightPx / slide.height;
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, widthPx, heightPx));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) throw RenderError("Cannot allocate the picture");
    ContextPtr cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    cairo_save(cr.get());
    cairo_scale(cr.get(), sx, sy);
    cairo_rectangle(cr.get(), 0, 0, slide.width, slide.height);
    FillCurrentPath(cr.get(), slide.background, slide.width, slide.height);
    cairo_restore(cr.get());
    for (const ShapeDrawing& shape : slide.shapes) {
        // A broken shape is left out rather than failing the slide.
        const Frame& f = shape.frame;
        if (!Finite(f.left) || !Finite(f.top) || !Finite(f.width) || !Finite(f.height) || f.width < 0 || f.height < 0)
            continue;
        PaintShape(cr.get(), shape, SlidePlacement(shape, sx, sy));
    }
    return surface;
}

}  // namespace

void ShapePictureSize(const ShapeDrawing& shape, double scaleX, double scaleY, int& width, int& height) {
    CheckScale(scaleX, scaleY);
    CheckFrame(shape.frame);
    PicturePlacement(shape, scaleX, scaleY, width, height);
}

Raster RenderShapeRaster(const ShapeDrawing& shape, double scaleX, double scaleY) {
    SurfacePtr s = ShapeSurface(shape, scaleX, scaleY);
    return SurfaceToRaster(s.get());
}

std::vector<std::uint8_t> RenderShapePng(const ShapeDrawing& shape, double scaleX, double scaleY) {
    SurfacePtr s = ShapeSurface(shape, scaleX, scaleY);
    return EncodeSurfacePng(s.get(), true);
}

void RenderShapePng(const ShapeDrawing& shape, double scaleX, double scaleY, const std::filesystem::path& path) {
    WriteFileAtomically(path, RenderShapePng(shape, scaleX, scaleY));
}

Raster RenderSlideRaster(const SlideDrawing& slide, int widthPx, int heightPx) {
    SurfacePtr s = SlideSurface(slide, widthPx, heightPx);
    return SurfaceToRaster(s.get());
}

std::vector<std::uint8_t> RenderSlidePng(const SlideDrawing& slide, int widthPx, int heightPx) {
    SurfacePtr s = SlideSurface(slide, widthPx, heightPx);
    return EncodeSurfacePng(s.get(), false);
}

void RenderSlidePng(const SlideDrawing& slide, int widthPx, int heightPx, const std::filesystem::path& path) {
    WriteFileAtomically(path, RenderSlidePng(slide, widthPx, heightPx));
}

namespace detail {
// For the metafile writer: the same placement as the shape's PNG picture.
void ShapePicturePlacement(const ShapeDrawing& shape, double sx, double sy, int& width, int& height,
                           cairo_matrix_t& box, double& lineScale) {
    CheckScale(sx, sy);
    CheckFrame(shape.frame);
    Placement p = PicturePlacement(shape, sx, sy, width, height);
    CheckPixels(width, height);
    box = p.box;
    lineScale = p.lineScale;
}
}  // namespace detail

}  // namespace render
