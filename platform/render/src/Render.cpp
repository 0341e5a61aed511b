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
    cairo_matrix_t box;             // with flips
    cairo_matrix_t text;            // without flips
    double lineScale;               // device pixels per point for line widths
    double scaleX = 1, scaleY = 1;  // device pixels per point on the page
};

// box = outer . F(flips) . R(rotation) . T(-w/2, -h/2), outer mapping the box centre: a flipped
// shape is turned first and mirrored after, so its turn shows the other way round.
Placement Compose(const ShapeDrawing& s, const cairo_matrix_t& outer, double lineScale) {
    const double w = s.frame.width, h = s.frame.height;
    const double turn = NormalRotation(s.rotation) * kPi / 180;
    Placement p;
    p.lineScale = lineScale;
    p.text = outer;
    // Text is never mirrored; it takes the turn the shape shows.
    cairo_matrix_rotate(&p.text, s.flipH != s.flipV ? -turn : turn);
    cairo_matrix_translate(&p.text, -w / 2, -h / 2);
    cairo_matrix_t m = outer;
    cairo_matrix_scale(&m, s.flipH ? -1 : 1, s.flipV ? -1 : 1);
    cairo_matrix_rotate(&m, turn);
    cairo_matrix_translate(&m, -w / 2, -h / 2);
    p.box = m;
    return p;
}

Placement SlidePlacement(const ShapeDrawing& s, double sx, double sy) {
    cairo_matrix_t outer;
    cairo_matrix_init_scale(&outer, sx, sy);
    cairo_matrix_translate(&outer, s.frame.left + s.frame.width / 2, s.frame.top + s.frame.height / 2);
    Placement p = Compose(s, outer, std::sqrt(sx * sy));
    p.scaleX = sx;
    p.scaleY = sy;
    return p;
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
    Placement p = Compose(s, outer, std::sqrt(sx * sy));
    p.scaleX = sx;
    p.scaleY = sy;
    return p;
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

void AddStop(cairo_pattern_t* pat, double at, std::uint32_t c, double alpha) {
    cairo_pattern_add_color_stop_rgba(pat, std::clamp(at, 0.0, 1.0), (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                      ((c >> 16) & 0xFF) / 255.0, alpha);
}

double StopAlpha(const FillData& fill, double at) {
    const double a0 = Alpha(fill.transparency);
    const double a1 = fill.transparency2 >= 0 ? Alpha(fill.transparency2) : a0;
    return a0 + (a1 - a0) * std::clamp(at, 0.0, 1.0);
}

// The gradient's colours along its run: its stops, or its two colours; each stop's
// transparency resolved (its own, or the fill's at its place).
std::vector<GradientStop> StopsOf(const FillData& fill) {
    std::vector<GradientStop> stops;
    for (const GradientStop& g : fill.stops)
        if (std::isfinite(g.position)) stops.push_back({std::clamp(g.position, 0.0, 1.0), g.color, g.transparency});
    std::stable_sort(stops.begin(), stops.end(),
                     [](const GradientStop& a, const GradientStop& b) { return a.position < b.position; });
    if (stops.size() < 2) stops = {{0, fill.color, -1}, {1, fill.color2, -1}};
    for (GradientStop& g : stops)
        g.transparency = Finite(g.transparency) && g.transparency >= 0 ? std::min(g.transparency, 1.0)
                                                                       : 1 - StopAlpha(fill, g.position);
    return stops;
}

// The opacity of a gradient at `at` along its run.
double AlphaAt(const std::vector<GradientStop>& stops, double at) {
    if (at <= stops.front().position) return Alpha(stops.front().transparency);
    for (std::size_t i = 1; i < stops.size(); ++i)
        if (at <= stops[i].position) {
            const double span = stops[i].position - stops[i - 1].position;
            const double a0 = Alpha(stops[i - 1].transparency), a1 = Alpha(stops[i].transparency);
            return a0 + (a1 - a0) * (span > 0 ? (at - stops[i - 1].position) / span : 1);
        }
    return Alpha(stops.back().transparency);
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// The colour of a gradient at `at` along its run.
std::uint32_t ColorAt(const std::vector<GradientStop>& stops, double at) {
    if (at <= stops.front().position) return stops.front().color;
    for (std::size_t i = 1; i < stops.size(); ++i)
        if (at <= stops[i].position) {
            const double span = stops[i].position - stops[i - 1].position;
            return Mix(stops[i - 1].color, stops[i].color, span > 0 ? (at - stops[i - 1].position) / span : 1);
        }
    return stops.back().color;
}

// Rectangles growing from the focus rectangle to the frame: a mesh of four patches per ring.
cairo_pattern_t* RectangularGradient(const FillData& fill, double w, double h) {
    const auto stops = StopsOf(fill);
    const double fl = std::clamp(fill.focusLeft, 0.0, 1.0) * w, ft = std::clamp(fill.focusTop, 0.0, 1.0) * h;
    const double fr = std::max(fl, std::clamp(fill.focusRight, 0.0, 1.0) * w);
    const double fb = std::max(ft, std::clamp(fill.focusBottom, 0.0, 1.0) * h);
    cairo_pattern_t* mesh = cairo_pattern_create_mesh();
    auto rectAt = [&](double t, double r[4]) {  // left, top, right, bottom
        r[0] = fl * (1 - t);
        r[1] = ft * (1 - t);
        r[2] = fr + (w - fr) * t;
        r[3] = fb + (h - fb) * t;
    };
    std::vector<double> marks;
    for (const GradientStop& g : stops) marks.push_back(g.position);
    if (marks.front() > 0) marks.insert(marks.begin(), 0.0);
    if (marks.back() < 1) marks.push_back(1.0);
    for (std::size_t i = 0; i + 1 < marks.size(); ++i) {
        const double t0 = marks[i], t1 = marks[i + 1];
        if (t1 <= t0) continue;
        double a[4], b[4];
        rectAt(t0, a);
        rectAt(t1, b);
        const std::uint32_t c0 = ColorAt(stops, t0), c1 = ColorAt(stops, t1);
        const double al0 = AlphaAt(stops, t0), al1 = AlphaAt(stops, t1);
        // Each side: inner edge (two corners of a) to outer edge (two corners of b).
        const double sides[4][8] = {{a[0], a[1], a[2], a[1], b[2], b[1], b[0], b[1]},
                                    {a[2], a[1], a[2], a[3], b[2], b[3], b[2], b[1]},
                                    {a[2], a[3], a[0], a[3], b[0], b[3], b[2], b[3]},
                                    {a[0], a[3], a[0], a[1], b[0], b[1], b[0], b[3]}};
        for (const auto& q : sides) {
            cairo_mesh_pattern_begin_patch(mesh);
            cairo_mesh_pattern_move_to(mesh, q[0], q[1]);
            cairo_mesh_pattern_line_to(mesh, q[2], q[3]);
            cairo_mesh_pattern_line_to(mesh, q[4], q[5]);
            cairo_mesh_pattern_line_to(mesh, q[6], q[7]);
            for (int k = 0; k < 4; ++k) {
                const std::uint32_t c = k < 2 ? c0 : c1;
                cairo_mesh_pattern_set_corner_color_rgba(mesh, k, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                                         ((c >> 16) & 0xFF) / 255.0, k < 2 ? al0 : al1);
            }
            cairo_mesh_pattern_end_patch(mesh);
        }
    }
    return mesh;
}

cairo_pattern_t* GradientPattern(const FillData& fill, double w, double h) {
    const auto stops = StopsOf(fill);
    cairo_pattern_t* pat = nullptr;
    switch (fill.gradient) {
    case GradientKind::Radial: {
        const double cx = (fill.focusLeft + fill.focusRight) / 2 * w, cy = (fill.focusTop + fill.focusBottom) / 2 * h;
        double r = 0;
        for (double x : {0.0, w})
            for (double y : {0.0, h}) r = std::max(r, std::hypot(x - cx, y - cy));
        pat = cairo_pattern_create_radial(cx, cy, 0, cx, cy, std::max(r, 1e-6));
        break;
    }
    case GradientKind::Rectangular:
    case GradientKind::Path:
        return RectangularGradient(fill, w, h);
    case GradientKind::Linear:
    default: {
        const double t = (Finite(fill.gradientAngle) ? fill.gradientAngle : 90) * kPi / 180;
        const double dx = std::cos(t), dy = std::sin(t);
        const double half = (std::fabs(w * dx) + std::fabs(h * dy)) / 2;
        pat = cairo_pattern_create_linear(w / 2 - dx * half, h / 2 - dy * half, w / 2 + dx * half, h / 2 + dy * half);
        break;
    }
    }
    for (const GradientStop& g : stops) AddStop(pat, g.position, g.color, Alpha(g.transparency));
    return pat;
}

// A repeating tile: the fill's picture (textures), or its pattern in its two colours.
SurfacePtr TileOf(const FillData& fill) {
    Pixels px;
    const bool decoded = !fill.picture.bytes.empty() && [&] {
        switch (SniffFormat(fill.picture.bytes)) {
        case PictureFormat::Png:
            return DecodePng(fill.picture.bytes, px);
        case PictureFormat::Jpeg:
            return DecodeJpeg(fill.picture.bytes, px);
        case PictureFormat::Dib:
            return DecodeDib(fill.picture.bytes.data(), fill.picture.bytes.size(), px);
        default:
            return false;
        }
    }();
    if (!decoded) {
        px.width = px.height = 8;
        px.rgba.assign(8 * 8 * 4, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const std::uint8_t v = (fill.pattern[y] & (0x80 >> x)) ? 0 : 255;
                std::uint8_t* p = &px.rgba[(y * 8 + x) * 4];
                p[0] = p[1] = p[2] = v;
                p[3] = 255;
            }
    }
    SurfacePtr tile(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, px.width, px.height));
    if (cairo_surface_status(tile.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(tile.get());
    unsigned char* data = cairo_image_surface_get_data(tile.get());
    const int stride = cairo_image_surface_get_stride(tile.get());
    const bool pattern = fill.kind == FillKind::Pattern;
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x) {
            const std::uint8_t* p = &px.rgba[(static_cast<size_t>(y) * px.width + x) * 4];
            std::uint32_t r = p[0], g = p[1], b = p[2], a = p[3];
            if (pattern) {  // dark pixels take the foreground colour, light ones the background
                const std::uint32_t c = (r * 3 + g * 6 + b) / 10 < 128 ? fill.color : fill.color2;
                r = c & 0xFF;
                g = (c >> 8) & 0xFF;
                b = (c >> 16) & 0xFF;
                a = 255;
            }
            reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride)[x] =
                (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
        }
    cairo_surface_mark_dirty(tile.get());
    return tile;
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
        cairo_pattern_t* pat = GradientPattern(fill, w, h);
        cairo_set_source(cr, pat);
        cairo_fill(cr);
        cairo_pattern_destroy(pat);
        return;
    }
    case FillKind::Pattern:
    case FillKind::Texture: {
        SurfacePtr tile = TileOf(fill);
        if (!tile) {
            SetColor(cr, fill.color, alpha);
            cairo_fill(cr);
            return;
        }
        cairo_pattern_t* pat = cairo_pattern_create_for_surface(tile.get());
        cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(pat, fill.kind == FillKind::Pattern ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
        // A tile pixel is 0.75 point (96 per inch), unless its size is given.
        const int tw = cairo_image_surface_get_width(tile.get()), th = cairo_image_surface_get_height(tile.get());
        const double pw = fill.tileWidth > 0 ? fill.tileWidth / tw : 0.75;
        const double ph = fill.tileHeight > 0 ? fill.tileHeight / th : 0.75;
        // The tiles are laid from the frame's centre, not its corner.
        auto finite = [](double v) { return std::isfinite(v) ? std::clamp(v, -100.0, 100.0) : 0.0; };
        const double left = w / 2 + finite(fill.tileShapeOriginX) * w - (0.5 + finite(fill.tileOriginX)) * tw * pw;
        const double top = h / 2 + finite(fill.tileShapeOriginY) * h - (0.5 + finite(fill.tileOriginY)) * th * ph;
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, 1 / pw, 1 / ph);
        cairo_matrix_translate(&m, -left, -top);
        cairo_pattern_set_matrix(pat, &m);
        cairo_save(cr);
        cairo_clip(cr);
        cairo_set_source(cr, pat);
        cairo_paint_with_alpha(cr, alpha);
        cairo_restore(cr);
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

// Strokes the current path in device space so that the width does not follow the box's
// scaling; compound lines are cut out of one wide stroke.
void StrokeLine(cairo_t* cr, const LineData& line, double width, double alpha) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, 10);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    SetDashes(cr, line.dashStyle, width);
    if (line.compound == LineData::Simple || width < 3) {
        cairo_set_line_width(cr, width);
        SetColor(cr, line.color, alpha);
        cairo_stroke(cr);
    } else {
        cairo_path_t* path = cairo_copy_path(cr);
        cairo_new_path(cr);
        cairo_push_group(cr);
        auto stroke = [&](double wd, cairo_operator_t op) {
            cairo_append_path(cr, path);
            cairo_set_operator(cr, op);
            cairo_set_line_width(cr, wd);
            SetColor(cr, line.color, 1);
            cairo_stroke(cr);
        };
        // The gaps are cut with DEST_OUT: cairo leaves a stroke under CLEAR unpainted.
        stroke(width, CAIRO_OPERATOR_OVER);
        if (line.compound == LineData::Triple) {
            stroke(width * 3 / 5, CAIRO_OPERATOR_DEST_OUT);
            stroke(width / 5, CAIRO_OPERATOR_OVER);
        } else {
            stroke(width / 3, CAIRO_OPERATOR_DEST_OUT);
        }
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
        cairo_path_destroy(path);
    }
    cairo_restore(cr);
}

void PaintGeometry(cairo_t* cr, const ShapeDrawing& s, const Geometry& g, const cairo_matrix_t& box, double lineScale,
                   const ShadowData* shadow) {
    const double w = s.frame.width, h = s.frame.height;
    cairo_save(cr);
    cairo_set_matrix(cr, &box);
    const bool filled = g.fillable && s.fill.kind != FillKind::None && w > 0 && h > 0;
    if (filled || (shadow && s.kind == ShapeKind::Picture)) {
        for (const std::vector<Seg>* part : {&g.fill, &g.fillOnly}) {
            if (part->empty()) continue;
            AppendPath(cr, *part);
            cairo_set_fill_rule(cr, g.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
            if (shadow) {
                SetColor(cr, shadow->color, Alpha(shadow->transparency) * Alpha(s.fill.transparency));
                cairo_fill(cr);
            } else {
                FillCurrentPath(cr, s.fill, w, h);
            }
        }
    }
    if (!shadow && s.kind == ShapeKind::Picture) DrawPicture(cr, s.picture, w, h);

    if (s.line.visible && Finite(s.line.weight) && s.line.weight >= 0) {
        LineData line = s.line;
        if (shadow) {
            line.color = shadow->color;
            line.transparency = 1 - Alpha(shadow->transparency) * Alpha(s.line.transparency);
        }
        const double alpha = Alpha(line.transparency);
        if (g.strokeFill) AppendPath(cr, g.fill);
        AppendPath(cr, g.strokeOnly);
        AppendPath(cr, g.arrowStroke);
        StrokeLine(cr, line, std::max(1.0, s.line.weight * lineScale), alpha);
        if (!g.arrowFill.empty()) {
            AppendPath(cr, g.arrowFill);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            SetColor(cr, line.color, alpha);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

void PaintShape(cairo_t* cr, const ShapeDrawing& s, const Placement& place) {
    const double w = s.frame.width, h = s.frame.height;
    const Geometry g = BuildGeometry(s, w, h);
    if (s.shadow.visible && Finite(s.shadow.offsetX) && Finite(s.shadow.offsetY)) {
        // The shadow lies under the shape, moved on the page (not turned with it).
        cairo_matrix_t shifted = place.box;
        shifted.x0 += s.shadow.offsetX * place.scaleX;
        shifted.y0 += s.shadow.offsetY * place.scaleY;
        PaintGeometry(cr, s, g, shifted, place.lineScale, &s.shadow);
    }
    PaintGeometry(cr, s, g, place.box, place.lineScale, nullptr);
    if (s.text) {
        cairo_save(cr);
        cairo_set_matrix(cr, &place.text);
        cairo_new_path(cr);
        s.text(cr);
        cairo_restore(cr);
    }
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

void AppendScalars(std::string& key, std::initializer_list<double> values) {
    for (double v : values) key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// The key of a slide's background and its first `count` shapes at this size; false when one of
// them has none.
bool SlideKey(const SlideDrawing& slide, int widthPx, int heightPx, std::size_t count, std::string& key) {
    key.push_back('S');
    AppendScalars(key, {slide.width, slide.height, double(widthPx), double(heightPx), double(count)});
    AppendFillKey(slide.background, key);
    for (std::size_t i = 0; i < count; ++i)
        if (!AppendDrawingKey(slide.shapes[i], key)) return false;
    return true;
}

// Draws shapes [first, last) of the slide onto the surface.
void PaintSlideShapes(cairo_t* cr, const SlideDrawing& slide, double sx, double sy, std::size_t first,
                      std::size_t last) {
    for (std::size_t i = first; i < last; ++i) {
        const ShapeDrawing& shape = slide.shapes[i];
        // A broken shape is left out rather than failing the slide.
        const Frame& f = shape.frame;
        if (!Finite(f.left) || !Finite(f.top) || !Finite(f.width) || !Finite(f.height) || f.width < 0 || f.height < 0)
            continue;
        PaintShape(cr, shape, SlidePlacement(shape, sx, sy));
    }
}

void CheckSlide(const SlideDrawing& slide, int widthPx, int heightPx) {
    CheckPixels(widthPx, heightPx);
    if (!Finite(slide.width) || !Finite(slide.height) || slide.width <= 0 || slide.height <= 0)
        throw RenderError("Slide size must be positive");
}

// The design layer (background and the first layerShapes shapes) is drawn with a context of its
// own, so a copy of it kept in the memory and the rest drawn on that copy give the same pixels.
SurfacePtr SlideSurface(const SlideDrawing& slide, int widthPx, int heightPx, PictureMemory* memory) {
    CheckSlide(slide, widthPx, heightPx);
    const double sx = widthPx / slide.width, sy = heightPx / slide.height;
    const std::size_t layer = std::min(slide.layerShapes, slide.shapes.size());
    std::string layerKey;
    const bool keyed = memory && SlideKey(slide, widthPx, heightPx, layer, layerKey);
    SurfacePtr surface;
    if (keyed) surface = PictureMemoryAccess::FindLayer(*memory, layerKey);
    if (!surface) {
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, widthPx, heightPx));
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            throw RenderError("Cannot allocate the picture");
        ContextPtr cr(cairo_create(surface.get()));
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        cairo_save(cr.get());
        cairo_scale(cr.get(), sx, sy);
        cairo_rectangle(cr.get(), 0, 0, slide.width, slide.height);
        FillCurrentPath(cr.get(), slide.background, slide.width, slide.height);
        cairo_restore(cr.get());
        PaintSlideShapes(cr.get(), slide, sx, sy, 0, layer);
        cr.reset();
        if (keyed) PictureMemoryAccess::KeepLayer(*memory, std::move(layerKey), surface.get());
    }
    if (layer < slide.shapes.size()) {
        ContextPtr cr(cairo_create(surface.get()));
        PaintSlideShapes(cr.get(), slide, sx, sy, layer, slide.shapes.size());
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

std::vector<std::uint8_t> RenderShapePng(const ShapeDrawing& shape, double scaleX, double scaleY,
                                         PictureMemory* memory) {
    std::string key;
    if (memory) {
        key.push_back('P');
        AppendScalars(key, {scaleX, scaleY});
        if (!AppendDrawingKey(shape, key, false)) key.clear();
    }
    std::vector<std::uint8_t> png;
    if (!key.empty() && PictureMemoryAccess::FindPng(*memory, key, png)) return png;
    SurfacePtr s = ShapeSurface(shape, scaleX, scaleY);
    // Other drawings may still give the same pixels (a picture in another colour mode that
    // changes nothing): the encodings remembered by pixels are asked too.
    png = EncodeSurfacePngOnce(s.get(), true);
    if (key.empty()) return png;
    PictureMemoryAccess::KeepPng(*memory, std::move(key), png);
    return png;
}

void RenderShapePng(const ShapeDrawing& shape, double scaleX, double scaleY, const std::filesystem::path& path,
                    PictureMemory* memory) {
    WritePictureFile(path, RenderShapePng(shape, scaleX, scaleY, memory));
}

Raster RenderSlideRaster(const SlideDrawing& slide, int widthPx, int heightPx) {
    SurfacePtr s = SlideSurface(slide, widthPx, heightPx, nullptr);
    return SurfaceToRaster(s.get());
}

std::vector<std::uint8_t> RenderSlidePng(const SlideDrawing& slide, int widthPx, int heightPx, PictureMemory* memory) {
    std::string key;
    if (memory) {
        CheckSlide(slide, widthPx, heightPx);
        if (!SlideKey(slide, widthPx, heightPx, slide.shapes.size(), key)) key.clear();
    }
    std::vector<std::uint8_t> png;
    if (!key.empty() && PictureMemoryAccess::FindPng(*memory, key, png)) return png;
    SurfacePtr s = SlideSurface(slide, widthPx, heightPx, memory);
    if (key.empty()) return EncodeSurfacePngOnce(s.get(), false);
    png = EncodeSurfacePng(s.get(), false);
    PictureMemoryAccess::KeepPng(*memory, std::move(key), png);
    return png;
}

void RenderSlidePng(const SlideDrawing& slide, int widthPx, int heightPx, const std::filesystem::path& path,
                    PictureMemory* memory) {
    WritePictureFile(path, RenderSlidePng(slide, widthPx, heightPx, memory));
}

namespace detail {
// For the metafile writer: the shape's fill (or picture) alone, where its PNG picture has it.
SurfacePtr ShapeFillSurface(const ShapeDrawing& shape, double sx, double sy, std::vector<unsigned char>& pixels) {
    CheckScale(sx, sy);
    CheckFrame(shape.frame);
    int w = 0, h = 0;
    const Placement place = PicturePlacement(shape, sx, sy, w, h);
    CheckPixels(w, h);
    ShapeDrawing fillOnly = shape;
    fillOnly.line.visible = false;
    fillOnly.shadow.visible = false;
    fillOnly.text = nullptr;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w);
    pixels.assign(static_cast<size_t>(stride) * h, 0);
    SurfacePtr surface(cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_ARGB32, w, h, stride));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) throw RenderError("Cannot allocate the picture");
    ContextPtr cr(cairo_create(surface.get()));
    PaintShape(cr.get(), fillOnly, place);
    cr.reset();
    return surface;
}

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
