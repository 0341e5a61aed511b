#include "Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>

namespace render {
namespace detail {
namespace {

constexpr double kPi = 3.14159265358979323846;

class Builder {
public:
    explicit Builder(std::vector<Seg>& out) : m_out(out) {}
    void MoveTo(double x, double y) {
        Add(Seg::Move, x, y);
        m_cur = {x, y};
        m_open = true;
    }
    void LineTo(double x, double y) {
        if (!m_open) {
            MoveTo(x, y);
            return;
        }
        Add(Seg::Line, x, y);
        m_cur = {x, y};
    }
    void CurveTo(double x1, double y1, double x2, double y2, double x, double y) {
        if (!m_open) MoveTo(x1, y1);
        m_out.push_back(Seg{Seg::Curve, {{x1, y1}, {x2, y2}, {x, y}}});
        m_cur = {x, y};
    }
    void Close() {
        if (m_open) m_out.push_back(Seg{Seg::Close, {}});
        m_open = false;
    }
    void Polygon(std::initializer_list<Point> pts) {
        bool first = true;
        for (const Point& p : pts) {
            if (first)
                MoveTo(p.x, p.y);
            else
                LineTo(p.x, p.y);
            first = false;
        }
        Close();
    }
    void Polygon(const std::vector<Point>& pts) {
        for (size_t i = 0; i < pts.size(); ++i) {
            if (i == 0)
                MoveTo(pts[i].x, pts[i].y);
            else
                LineTo(pts[i].x, pts[i].y);
        }
        Close();
    }
    // Elliptic arc about (cx, cy) from angle a0 to a1 (degrees, either direction); joins the
    // current point with a line, or starts there.
    void Arc(double cx, double cy, double rx, double ry, double a0, double a1) {
        double t0 = a0 * kPi / 180, t1 = a1 * kPi / 180;
        double sx = cx + rx * std::cos(t0), sy = cy + ry * std::sin(t0);
        if (m_open)
            LineTo(sx, sy);
        else
            MoveTo(sx, sy);
        int n = std::max(1, static_cast<int>(std::ceil(std::fabs(t1 - t0) / (kPi / 2) - 1e-9)));
        double step = (t1 - t0) / n;
        double k = 4.0 / 3.0 * std::tan(step / 4);
        for (int i = 0; i < n; ++i) {
            double u0 = t0 + step * i, u1 = u0 + step;
            double c0 = std::cos(u0), s0 = std::sin(u0), c1 = std::cos(u1), s1 = std::sin(u1);
            CurveTo(cx + rx * (c0 - k * s0), cy + ry * (s0 + k * c0), cx + rx * (c1 + k * s1), cy + ry * (s1 - k * c1),
                    cx + rx * c1, cy + ry * s1);
        }
    }
    void Ellipse(double left, double top, double w, double h) {
        Close();
        Arc(left + w / 2, top + h / 2, w / 2, h / 2, 0, 360);
        Close();
    }
    void Segment(double x0, double y0, double x1, double y1) {
        Close();
        MoveTo(x0, y0);
        LineTo(x1, y1);
        m_open = false;
    }
    Point Current() const { return m_cur; }

private:
    void Add(Seg::Kind k, double x, double y) { m_out.push_back(Seg{k, {{x, y}, {}, {}}}); }
    std::vector<Seg>& m_out;
    Point m_cur;
    bool m_open = false;
};

void Report(const std::string& text);

// Appends an evaluated outline: filled-and-stroked paths to g.fill, the others where they belong.
void AddOutline(const Outline& o, Geometry& g) {
    for (const OutlinePath& p : o.paths) {
        std::vector<Seg>* to = p.filled ? (p.stroked ? &g.fill : &g.fillOnly) : (p.stroked ? &g.strokeOnly : nullptr);
        if (!to) continue;
        for (const OutlineSeg& s : p.segs) {
            Seg seg{static_cast<Seg::Kind>(s.kind), {{s.x[0], s.y[0]}, {s.x[1], s.y[1]}, {s.x[2], s.y[2]}}};
            to->push_back(seg);
        }
    }
}

// The file's shape type that gives a shape its geometry.
int ShapeTypeOf(const ShapeDrawing& s) {
    if (s.shapeType > 0) return s.shapeType;
    if (s.kind == ShapeKind::Line) {
        switch (s.connector) {
        case ConnectorKind::Elbow:
            return 34;
        case ConnectorKind::Curved:
            return 38;
        default:
            return 20;
        }
    }
    return ShapeTypeOfAutoShape(s.autoShapeType);
}

std::vector<double> RawAdjust(const ShapeDrawing& s) {
    std::vector<double> raw;
    for (double a : s.adjustments) raw.push_back(std::isfinite(a) ? std::round(a * 21600) : NAN);
    return raw;
}

// A preset shape's outline from the template table; false for a type without a template (or
// whose formulas fail), which the caller draws as its frame.
bool PresetShape(const ShapeDrawing& s, double w, double h, Geometry& g) {
    const int type = ShapeTypeOf(s);
    ShapeGeometry geometry;
    if (type <= 0 || !PresetGeometry(type, geometry)) return false;
    // The file may show only part of the template (an arc's quarter): its box says which.
    const FreeformData& box = s.freeform;
    if (box.geoRight != box.geoLeft && box.geoBottom != box.geoTop && std::isfinite(box.geoLeft) &&
        std::isfinite(box.geoTop) && std::isfinite(box.geoRight) && std::isfinite(box.geoBottom)) {
        geometry.geoLeft = box.geoLeft;
        geometry.geoTop = box.geoTop;
        geometry.geoRight = box.geoRight;
        geometry.geoBottom = box.geoBottom;
    }
    Outline o;
    std::string error;
    std::vector<double> adjust;
    if (!PresetAdjust(type, RawAdjust(s), adjust) ||
        !EvaluateGeometry(geometry, adjust, w, h, s.line.weight, o, &error)) {
        Report("shape type " + std::to_string(type) + " (" + PresetName(type) + "): " + error);
        return false;
    }
    AddOutline(o, g);
    if (type == 1 || type == 202) g.simple = Geometry::Rect;
    if (type == 3) g.simple = Geometry::Ellipse;
    return true;
}

struct ArrowSize {
    double length, halfWidth;
};

ArrowSize SizeOf(const Arrowhead& a, double weight) {
    static const double factor[4] = {3, 2, 3, 5};
    double base = std::max(weight, 1.5);
    int wi = std::clamp(a.width, 1, 3), li = std::clamp(a.length, 1, 3);
    return {base * factor[li], base * factor[wi] / 2};
}

// Adds the arrowhead whose tip is at `tip`, pointing along (dx, dy); returns how far the line
// should stop short of the tip.
double AddArrow(Geometry& g, const Arrowhead& a, double weight, Point tip, double dx, double dy) {
    if (a.style <= ArrowNone || a.style > ArrowOval) return 0;
    double len = std::hypot(dx, dy);
    if (len <= 0) return 0;
    dx /= len;
    dy /= len;
    ArrowSize sz = SizeOf(a, weight);
    double nx = -dy, ny = dx;
    Point base{tip.x - dx * sz.length, tip.y - dy * sz.length};
    Point c1{base.x + nx * sz.halfWidth, base.y + ny * sz.halfWidth};
    Point c2{base.x - nx * sz.halfWidth, base.y - ny * sz.halfWidth};
    Builder fill(g.arrowFill), stroke(g.arrowStroke);
    switch (a.style) {
    case ArrowTriangle:
        fill.Polygon({tip, c1, c2});
        return sz.length * 0.9;
    case ArrowStealth: {
        Point notch{tip.x - dx * sz.length * 0.6, tip.y - dy * sz.length * 0.6};
        fill.Polygon({tip, c1, notch, c2});
        return sz.length * 0.6;
    }
    case ArrowOpen:
        stroke.MoveTo(c1.x, c1.y);
        stroke.LineTo(tip.x, tip.y);
        stroke.LineTo(c2.x, c2.y);
        return 0;
    case ArrowDiamond: {
        Point mid{tip.x, tip.y};
        fill.Polygon({{mid.x + dx * sz.length / 2, mid.y + dy * sz.length / 2},
                      {mid.x + nx * sz.halfWidth, mid.y + ny * sz.halfWidth},
                      {mid.x - dx * sz.length / 2, mid.y - dy * sz.length / 2},
                      {mid.x - nx * sz.halfWidth, mid.y - ny * sz.halfWidth}});
        return sz.length * 0.4;
    }
    case ArrowOval: {
        // An ellipse along the line's direction, centred on the end.
        Builder& f = fill;
        const int n = 4;
        double rx = sz.length / 2, ry = sz.halfWidth;
        double k = 4.0 / 3.0 * std::tan(kPi / 8);
        auto P = [&](double u, double v) { return Point{tip.x + dx * u + nx * v, tip.y + dy * u + ny * v}; };
        Point p0 = P(rx, 0);
        f.MoveTo(p0.x, p0.y);
        for (int i = 0; i < n; ++i) {
            double t0 = kPi / 2 * i, t1 = t0 + kPi / 2;
            Point q1 = P(rx * (std::cos(t0) - k * std::sin(t0)), ry * (std::sin(t0) + k * std::cos(t0)));
            Point q2 = P(rx * (std::cos(t1) + k * std::sin(t1)), ry * (std::sin(t1) - k * std::cos(t1)));
            Point q3 = P(rx * std::cos(t1), ry * std::sin(t1));
            f.CurveTo(q1.x, q1.y, q2.x, q2.y, q3.x, q3.y);
        }
        f.Close();
        return sz.length * 0.4;
    }
    default:
        return 0;
    }
}

double ArrowReach(const LineData& line) {
    double r = 0;
    for (const Arrowhead* a : {&line.beginArrow, &line.endArrow}) {
        if (a->style > ArrowNone && a->style <= ArrowOval) {
            ArrowSize sz = SizeOf(*a, line.weight);
            r = std::max(
                r, std::max(sz.halfWidth, a->style == ArrowDiamond || a->style == ArrowOval ? sz.length / 2 : 0.0));
        }
    }
    return r;
}

// Puts arrowheads on the ends of every open sub-path of g.fill and shortens straight ends.
void AddArrowsToOpenPaths(Geometry& g, std::vector<Seg>& p, const LineData& line) {
    if (!line.visible) return;
    bool any = (line.beginArrow.style > ArrowNone && line.beginArrow.style <= ArrowOval) ||
               (line.endArrow.style > ArrowNone && line.endArrow.style <= ArrowOval);
    if (!any) return;
    size_t i = 0;
    while (i < p.size()) {
        size_t start = i, end = i + 1;
        while (end < p.size() && p[end].kind != Seg::Move && p[end].kind != Seg::Close) ++end;
        bool closed = end < p.size() && p[end].kind == Seg::Close;
        if (!closed && end - start >= 2) {
            // Begin: tip at the first point, pointing away from the next one.
            Seg& first = p[start];
            Seg& second = p[start + 1];
            Point next = second.p[0];  // the next point, or the first control point
            double back =
                AddArrow(g, line.beginArrow, line.weight, first.p[0], first.p[0].x - next.x, first.p[0].y - next.y);
            if (back > 0 && second.kind == Seg::Line) {
                double dx = next.x - first.p[0].x, dy = next.y - first.p[0].y, l = std::hypot(dx, dy);
                if (l > back) {
                    first.p[0].x += dx / l * back;
                    first.p[0].y += dy / l * back;
                }
            }
            Seg& last = p[end - 1];
            Point tip = last.kind == Seg::Curve ? last.p[2] : last.p[0];
            Point prev;
            if (last.kind == Seg::Curve)
                prev = last.p[1];
            else {
                const Seg& b4 = p[end - 2];
                prev = b4.kind == Seg::Curve ? b4.p[2] : b4.p[0];
            }
            double back2 = AddArrow(g, line.endArrow, line.weight, tip, tip.x - prev.x, tip.y - prev.y);
            if (back2 > 0 && last.kind == Seg::Line) {
                double dx = prev.x - tip.x, dy = prev.y - tip.y, l = std::hypot(dx, dy);
                if (l > back2) {
                    last.p[0].x += dx / l * back2;
                    last.p[0].y += dy / l * back2;
                }
            }
        }
        i = closed ? end + 1 : end;
    }
}

// A freeform from the file's own vertices; false (nothing drawn) when they are damaged.
bool FileFreeform(const ShapeDrawing& s, double w, double h, Geometry& g) {
    ShapeGeometry geometry;
    Outline o;
    std::string error;
    FreeformData data = s.freeform;
    ShapeGeometry preset;
    if (data.guides.empty() && s.shapeType > 0 && PresetGeometry(s.shapeType, preset)) {
        data.presetFormulas = preset.formulas;
        data.presetAdjust = preset.adjustDefaults;
    }
    if (!FreeformGeometry(data, geometry, &error) ||
        !EvaluateGeometry(geometry, RawAdjust(s), w, h, s.line.weight, o, &error)) {
        Report("freeform not drawn: " + error);
        return false;
    }
    // An open path is filled as if closed but stroked open.
    AddOutline(o, g);
    g.evenOdd = true;
    return true;
}

void Freeform(const ShapeDrawing& s, double w, double h, Geometry& g) {
    Builder b(g.fill);
    double sx = 1, sy = 1, ox = 0, oy = 0;
    if (s.pathBox.width > 0 && s.pathBox.height > 0) {
        sx = w / s.pathBox.width;
        sy = h / s.pathBox.height;
        ox = s.pathBox.left;
        oy = s.pathBox.top;
    }
    auto X = [&](const Point& p) { return (p.x - ox) * sx; };
    auto Y = [&](const Point& p) { return (p.y - oy) * sy; };
    for (const Path& path : s.paths) {
        b.Close();
        for (const PathSegment& seg : path.segments) {
            bool finite = true;
            for (const Point& p : seg.p) finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
            if (!finite) continue;
            switch (seg.kind) {
            case PathSegment::MoveTo:
                b.Close();
                b.MoveTo(X(seg.p[0]), Y(seg.p[0]));
                break;
            case PathSegment::LineTo:
                b.LineTo(X(seg.p[0]), Y(seg.p[0]));
                break;
            case PathSegment::CurveTo:
                b.CurveTo(X(seg.p[0]), Y(seg.p[0]), X(seg.p[1]), Y(seg.p[1]), X(seg.p[2]), Y(seg.p[2]));
                break;
            case PathSegment::Close:
                b.Close();
                break;
            }
        }
    }
    // A path left open is not closed here: the painter fills it as if closed but strokes it open.
    g.evenOdd = true;
}

}  // namespace

Geometry BuildGeometry(const ShapeDrawing& s, double w, double h) {
    Geometry g;
    switch (s.kind) {
    case ShapeKind::Line: {
        g.fillable = false;
        Geometry preset;
        if (PresetShape(s, w, h, preset)) {
            // Lines and connectors are strokes only, whatever their template fills.
            for (auto* part : {&preset.fill, &preset.fillOnly, &preset.strokeOnly})
                g.strokeOnly.insert(g.strokeOnly.end(), part->begin(), part->end());
        } else {
            Builder b(g.strokeOnly);
            b.MoveTo(0, 0);
            b.LineTo(w, h);
        }
        // A line's closing marks would join its ends.
        g.strokeOnly.erase(std::remove_if(g.strokeOnly.begin(), g.strokeOnly.end(),
                                          [](const Seg& seg) { return seg.kind == Seg::Close; }),
                           g.strokeOnly.end());
        AddArrowsToOpenPaths(g, g.strokeOnly, s.line);
        break;
    }
    case ShapeKind::Freeform:
        if (!s.freeform.vertices.empty() || !s.freeform.segments.empty()) {
            if (!FileFreeform(s, w, h, g)) return Geometry();  // damaged: nothing drawn
        } else {
            Freeform(s, w, h, g);
        }
        AddArrowsToOpenPaths(g, g.fill, s.line);
        break;
    case ShapeKind::AutoShape:
        if (PresetShape(s, w, h, g)) break;
        Report("shape type " + std::to_string(ShapeTypeOf(s)) +
               (PresetName(ShapeTypeOf(s)).empty() ? std::string() : " (" + PresetName(ShapeTypeOf(s)) + ")") +
               " is drawn as its frame");
        g = Geometry();
        [[fallthrough]];
    case ShapeKind::Picture:
    case ShapeKind::TextOnly:
        Builder(g.fill).Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
        g.simple = Geometry::Rect;
        break;
    }
    if (s.line.visible) {
        g.strokeMargin = std::max(0.0, s.line.weight) / 2;
        if (!g.arrowFill.empty() || !g.arrowStroke.empty())
            g.strokeMargin = std::max(g.strokeMargin, ArrowReach(s.line));
    }
    return g;
}

}  // namespace detail

bool IsAutoShapeDrawn(int autoShapeType) {
    ShapeGeometry g;
    return PresetGeometry(ShapeTypeOfAutoShape(autoShapeType), g);
}

namespace {
std::mutex g_logMutex;
RenderLog g_log;
}  // namespace

void SetRenderLog(RenderLog log) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_log = std::move(log);
}

namespace detail {
namespace {
void Report(const std::string& text) {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_log)
        g_log(text);
    else
        std::fprintf(stderr, "render: %s\n", text.c_str());
}
}  // namespace
}  // namespace detail

}  // namespace render
