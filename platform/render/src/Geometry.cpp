#include "Geometry.h"

#include <algorithm>
#include <cmath>

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

double Adj(const ShapeDrawing& s, size_t i, double def) {
    if (i < s.adjustments.size() && std::isfinite(s.adjustments[i])) return s.adjustments[i];
    return def;
}

void RoundRect(Builder& b, double w, double h, double r) {
    r = std::max(0.0, std::min(r, std::min(w, h) / 2));
    if (r <= 0) {
        b.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
        return;
    }
    b.MoveTo(r, 0);
    b.LineTo(w - r, 0);
    b.Arc(w - r, r, r, r, -90, 0);
    b.LineTo(w, h - r);
    b.Arc(w - r, h - r, r, r, 0, 90);
    b.LineTo(r, h);
    b.Arc(r, h - r, r, r, 90, 180);
    b.LineTo(0, r);
    b.Arc(r, r, r, r, 180, 270);
    b.Close();
}

// Star with `points` tips on the ellipse of the box, inner vertices at `inner` of the radii.
void Star(Builder& b, double w, double h, int points, double inner, double startDeg) {
    std::vector<Point> pts;
    for (int i = 0; i < points * 2; ++i) {
        double t = (startDeg + 180.0 * i / points) * kPi / 180;
        double r = (i % 2 == 0) ? 1.0 : inner;
        pts.push_back({w / 2 + w / 2 * r * std::cos(t), h / 2 + h / 2 * r * std::sin(t)});
    }
    b.Polygon(pts);
}

// The wedge of a rectangular callout: two base points on the side facing the tip.
void RectCallout(Builder& b, double w, double h, double tx, double ty, double radius) {
    double dx = (tx - w / 2) / std::max(w, 1e-9), dy = (ty - h / 2) / std::max(h, 1e-9);
    bool inside = tx >= 0 && tx <= w && ty >= 0 && ty <= h;
    if (inside) {
        RoundRect(b, w, h, radius);
        return;
    }
    // Corners of the body, clockwise from the top-left; the wedge is inserted into one side.
    int side;  // 0 top, 1 right, 2 bottom, 3 left
    if (std::fabs(dy) >= std::fabs(dx))
        side = dy < 0 ? 0 : 2;
    else
        side = dx > 0 ? 1 : 3;
    double r = std::max(0.0, std::min(radius, std::min(w, h) / 2));
    auto base = [&](double len, double along) {
        // Base on the half of the side nearer the tip, well clear of rounded corners.
        double a0 = along < len / 2 ? len / 6 : len * 7 / 12;
        double a1 = along < len / 2 ? len * 5 / 12 : len * 5 / 6;
        return std::make_pair(a0, a1);
    };
    b.MoveTo(r, 0);
    if (side == 0) {
        auto p = base(w, tx);
        b.LineTo(p.first, 0);
        b.LineTo(tx, ty);
        b.LineTo(p.second, 0);
    }
    b.LineTo(w - r, 0);
    if (r > 0) b.Arc(w - r, r, r, r, -90, 0);
    if (side == 1) {
        auto p = base(h, ty);
        b.LineTo(w, p.first);
        b.LineTo(tx, ty);
        b.LineTo(w, p.second);
    }
    b.LineTo(w, h - r);
    if (r > 0) b.Arc(w - r, h - r, r, r, 0, 90);
    if (side == 2) {
        auto p = base(w, tx);
        b.LineTo(w - p.first, h);
        b.LineTo(tx, ty);
        b.LineTo(w - p.second, h);
    }
    b.LineTo(r, h);
    if (r > 0) b.Arc(r, h - r, r, r, 90, 180);
    if (side == 3) {
        auto p = base(h, ty);
        b.LineTo(0, h - p.first);
        b.LineTo(tx, ty);
        b.LineTo(0, h - p.second);
    }
    b.LineTo(0, r);
    if (r > 0) b.Arc(r, r, r, r, 180, 270);
    b.Close();
}

void OvalCallout(Builder& b, double w, double h, double tx, double ty) {
    double cx = w / 2, cy = h / 2;
    double nx = (tx - cx) / std::max(w / 2, 1e-9), ny = (ty - cy) / std::max(h / 2, 1e-9);
    if (nx * nx + ny * ny <= 1.0) {
        b.Ellipse(0, 0, w, h);
        return;
    }
    double a = std::atan2(ny, nx) * 180 / kPi;
    b.Arc(cx, cy, w / 2, h / 2, a + 12, a + 348);
    b.LineTo(tx, ty);
    b.Close();
}

void CloudCallout(Builder& b, double w, double h, double tx, double ty) {
    b.Ellipse(0, 0, w, h);
    double cx = w / 2, cy = h / 2;
    double nx = (tx - cx) / std::max(w / 2, 1e-9), ny = (ty - cy) / std::max(h / 2, 1e-9);
    double d = std::sqrt(nx * nx + ny * ny);
    if (d <= 1.0) return;
    // Three bubbles from the body's edge towards the tip, smallest at the tip.
    double ex = cx + (tx - cx) / d, ey = cy + (ty - cy) / d;
    double m = std::min(w, h);
    const double sizes[3] = {0.12, 0.08, 0.05};
    for (int i = 0; i < 3; ++i) {
        double f = (i + 1) / 3.0;
        double bx = ex + (tx - ex) * f, by = ey + (ty - ey) * f;
        double r = m * sizes[i] / 2;
        b.Ellipse(bx - r, by - r, 2 * r, 2 * r);
    }
}

void Cylinder(Builder& b, Builder& inner, double w, double h, double ry) {
    ry = std::min(ry, h / 2);
    b.MoveTo(0, ry);
    b.LineTo(0, h - ry);
    b.Arc(w / 2, h - ry, w / 2, ry, 180, 0);
    b.LineTo(w, ry);
    b.Arc(w / 2, ry, w / 2, ry, 360, 180);
    b.Close();
    inner.Arc(w / 2, ry, w / 2, ry, 180, 0);
    inner.Close();
}

void HorizontalCylinder(Builder& b, Builder& inner, double w, double h, double rx) {
    rx = std::min(rx, w / 2);
    b.MoveTo(rx, 0);
    b.LineTo(w - rx, 0);
    b.Arc(w - rx, h / 2, rx, h / 2, -90, 90);
    b.LineTo(rx, h);
    b.Arc(rx, h / 2, rx, h / 2, 90, 270);
    b.Close();
    inner.Arc(w - rx, h / 2, rx, h / 2, -90, -270);
    inner.Close();
}

// Autoshape outlines; false for a type this renderer does not draw.
bool AutoShape(const ShapeDrawing& s, double w, double h, Geometry& g) {
    Builder b(g.fill), in(g.strokeOnly);
    const double m = std::min(w, h);
    switch (s.autoShapeType) {
    case 1:
    case 61:  // rectangle, process
        b.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
        g.simple = Geometry::Rect;
        return true;
    case 2:
    case 64: {  // parallelogram, data
        double a = Adj(s, 0, s.autoShapeType == 2 ? 0.25 : 0.2) * w;
        b.Polygon({{a, 0}, {w, 0}, {w - a, h}, {0, h}});
        return true;
    }
    case 3: {  // trapezoid, narrow side on top
        double a = Adj(s, 0, 0.25) * w;
        b.Polygon({{a, 0}, {w - a, 0}, {w, h}, {0, h}});
        return true;
    }
    case 4:
    case 63:  // diamond, decision
        b.Polygon({{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}});
        return true;
    case 5:  // rounded rectangle
        RoundRect(b, w, h, Adj(s, 0, 1.0 / 6) * m);
        return true;
    case 62:  // alternate process
        RoundRect(b, w, h, 0.1176 * m);
        return true;
    case 6: {  // octagon
        double c = std::min(Adj(s, 0, 0.2929) * m, m / 2);
        b.Polygon({{c, 0}, {w - c, 0}, {w, c}, {w, h - c}, {w - c, h}, {c, h}, {0, h - c}, {0, c}});
        return true;
    }
    case 7: {  // isosceles triangle
        double a = Adj(s, 0, 0.5) * w;
        b.Polygon({{a, 0}, {w, h}, {0, h}});
        return true;
    }
    case 8:  // right triangle
        b.Polygon({{0, 0}, {w, h}, {0, h}});
        return true;
    case 9:
    case 73:  // oval, connector
        b.Ellipse(0, 0, w, h);
        g.simple = Geometry::Ellipse;
        return true;
    case 10:
    case 70: {  // hexagon, preparation
        double a = Adj(s, 0, s.autoShapeType == 10 ? 0.25 : 0.2) * w;
        b.Polygon({{a, 0}, {w - a, 0}, {w, h / 2}, {w - a, h}, {a, h}, {0, h / 2}});
        return true;
    }
    case 11: {  // cross
        double c = std::min(Adj(s, 0, 0.25) * m, m / 2);
        b.Polygon({{c, 0},
                   {w - c, 0},
                   {w - c, c},
                   {w, c},
                   {w, h - c},
                   {w - c, h - c},
                   {w - c, h},
                   {c, h},
                   {c, h - c},
                   {0, h - c},
                   {0, c},
                   {c, c}});
        return true;
    }
    case 12:  // regular pentagon
        b.Polygon({{w / 2, 0}, {w, h * 0.3819}, {w * 0.8090, h}, {w * 0.1910, h}, {0, h * 0.3819}});
        return true;
    case 13:  // can
        Cylinder(b, in, w, h, Adj(s, 0, 0.25) * h / 2);
        return true;
    case 86:  // magnetic disk
        Cylinder(b, in, w, h, h / 6);
        return true;
    case 87:  // direct access storage
        HorizontalCylinder(b, in, w, h, w / 6);
        return true;
    case 16: {  // folded corner
        double a = Adj(s, 0, 0.875);
        double fx = a * w, fy = a * h;
        b.Polygon({{0, 0}, {w, 0}, {w, fy}, {fx, h}, {0, h}});
        in.Polygon({{fx, h}, {fx + (w - fx) / 5, fy + (h - fy) / 5}, {w, fy}});
        return true;
    }
    case 18: {  // donut
        double d = std::min(Adj(s, 0, 0.25) * m, m / 2);
        b.Ellipse(0, 0, w, h);
        b.Ellipse(d, d, w - 2 * d, h - 2 * d);
        g.evenOdd = true;
        return true;
    }
    case 33: {  // right arrow
        double a1 = Adj(s, 0, 0.75) * w, a2 = Adj(s, 1, 0.25) * h;
        b.Polygon({{0, a2}, {a1, a2}, {a1, 0}, {w, h / 2}, {a1, h}, {a1, h - a2}, {0, h - a2}});
        return true;
    }
    case 34: {  // left arrow
        double a1 = Adj(s, 0, 0.25) * w, a2 = Adj(s, 1, 0.25) * h;
        b.Polygon({{w, a2}, {a1, a2}, {a1, 0}, {0, h / 2}, {a1, h}, {a1, h - a2}, {w, h - a2}});
        return true;
    }
    case 35: {  // up arrow
        double a1 = Adj(s, 0, 0.25) * h, a2 = Adj(s, 1, 0.25) * w;
        b.Polygon({{a2, h}, {a2, a1}, {0, a1}, {w / 2, 0}, {w, a1}, {w - a2, a1}, {w - a2, h}});
        return true;
    }
    case 36: {  // down arrow
        double a1 = Adj(s, 0, 0.75) * h, a2 = Adj(s, 1, 0.25) * w;
        b.Polygon({{a2, 0}, {a2, a1}, {0, a1}, {w / 2, h}, {w, a1}, {w - a2, a1}, {w - a2, 0}});
        return true;
    }
    case 37: {  // left-right arrow
        double a1 = Adj(s, 0, 0.2) * w, a2 = Adj(s, 1, 0.25) * h;
        b.Polygon({{0, h / 2},
                   {a1, 0},
                   {a1, a2},
                   {w - a1, a2},
                   {w - a1, 0},
                   {w, h / 2},
                   {w - a1, h},
                   {w - a1, h - a2},
                   {a1, h - a2},
                   {a1, h}});
        return true;
    }
    case 38: {  // up-down arrow
        double a1 = Adj(s, 0, 0.25) * w, a2 = Adj(s, 1, 0.2) * h;
        b.Polygon({{w / 2, 0},
                   {w, a2},
                   {w - a1, a2},
                   {w - a1, h - a2},
                   {w, h - a2},
                   {w / 2, h},
                   {0, h - a2},
                   {a1, h - a2},
                   {a1, a2},
                   {0, a2}});
        return true;
    }
    case 50: {  // notched right arrow
        double a1 = Adj(s, 0, 0.75) * w, a2 = Adj(s, 1, 0.25) * h;
        double notch = std::min((h / 2 - a2) * (w - a1) / std::max(h / 2, 1e-9), a1);
        b.Polygon({{0, a2}, {a1, a2}, {a1, 0}, {w, h / 2}, {a1, h}, {a1, h - a2}, {0, h - a2}, {notch, h / 2}});
        return true;
    }
    case 51: {  // pentagon (home plate)
        double a = Adj(s, 0, 0.75) * w;
        b.Polygon({{0, 0}, {a, 0}, {w, h / 2}, {a, h}, {0, h}});
        return true;
    }
    case 52: {  // chevron
        double a = Adj(s, 0, 0.75) * w;
        b.Polygon({{0, 0}, {a, 0}, {w, h / 2}, {a, h}, {0, h}, {w - a, h / 2}});
        return true;
    }
    case 65:  // predefined process
        b.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
        in.Segment(w * 0.1176, 0, w * 0.1176, h);
        in.Segment(w * 0.8824, 0, w * 0.8824, h);
        return true;
    case 66:  // internal storage
        b.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
        in.Segment(w * 0.1958, 0, w * 0.1958, h);
        in.Segment(0, h * 0.1958, w, h * 0.1958);
        return true;
    case 67:
    case 68:  // document (multidocument drawn as one)
        b.MoveTo(0, 0);
        b.LineTo(w, 0);
        b.LineTo(w, h * 0.8019);
        b.CurveTo(w / 2, h * 0.8019, w / 2, h * 1.1075, 0, h * 0.9339);
        b.Close();
        return true;
    case 69: {  // terminator
        double rx = std::min(w * 0.1609, w / 2), ry = h / 2;
        b.MoveTo(rx, 0);
        b.LineTo(w - rx, 0);
        b.Arc(w - rx, ry, rx, ry, -90, 90);
        b.LineTo(rx, h);
        b.Arc(rx, ry, rx, ry, 90, 270);
        b.Close();
        return true;
    }
    case 71:  // manual input
        b.Polygon({{0, h * 0.2}, {w, 0}, {w, h}, {0, h}});
        return true;
    case 72:  // manual operation
        b.Polygon({{0, 0}, {w, 0}, {w * 0.8, h}, {w * 0.2, h}});
        return true;
    case 74:  // off-page connector
        b.Polygon({{0, 0}, {w, 0}, {w, h * 0.8}, {w / 2, h}, {0, h * 0.8}});
        return true;
    case 75:  // card
        b.Polygon({{w * 0.2, 0}, {w, 0}, {w, h}, {0, h}, {0, h * 0.2}});
        return true;
    case 76:  // punched tape
        b.MoveTo(0, h * 0.1);
        b.CurveTo(w * 0.17, -h * 0.1, w * 0.33, h * 0.3, w * 0.5, h * 0.1);
        b.CurveTo(w * 0.67, -h * 0.1, w * 0.83, h * 0.3, w, h * 0.1);
        b.LineTo(w, h * 0.9);
        b.CurveTo(w * 0.83, h * 1.1, w * 0.67, h * 0.7, w * 0.5, h * 0.9);
        b.CurveTo(w * 0.33, h * 1.1, w * 0.17, h * 0.7, 0, h * 0.9);
        b.Close();
        return true;
    case 77: {  // summing junction
        b.Ellipse(0, 0, w, h);
        double c = std::sqrt(0.5);
        in.Segment(w / 2 - w / 2 * c, h / 2 - h / 2 * c, w / 2 + w / 2 * c, h / 2 + h / 2 * c);
        in.Segment(w / 2 + w / 2 * c, h / 2 - h / 2 * c, w / 2 - w / 2 * c, h / 2 + h / 2 * c);
        return true;
    }
    case 78:  // or
        b.Ellipse(0, 0, w, h);
        in.Segment(w / 2, 0, w / 2, h);
        in.Segment(0, h / 2, w, h / 2);
        return true;
    case 79:  // collate
        b.Polygon({{0, 0}, {w, 0}, {w / 2, h / 2}});
        b.Polygon({{w / 2, h / 2}, {w, h}, {0, h}});
        return true;
    case 80:  // sort
        b.Polygon({{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}});
        in.Segment(0, h / 2, w, h / 2);
        return true;
    case 81:  // extract
        b.Polygon({{w / 2, 0}, {w, h}, {0, h}});
        return true;
    case 82:  // merge
        b.Polygon({{0, 0}, {w, 0}, {w / 2, h}});
        return true;
    case 83:  // stored data
        b.MoveTo(w / 6, 0);
        b.LineTo(w, 0);
        b.Arc(w, h / 2, w / 6, h / 2, 270, 90);
        b.LineTo(w / 6, h);
        b.Arc(w / 6, h / 2, w / 6, h / 2, 90, 270);
        b.Close();
        return true;
    case 84:  // delay
        b.MoveTo(0, 0);
        b.LineTo(w / 2, 0);
        b.Arc(w / 2, h / 2, w / 2, h / 2, -90, 90);
        b.LineTo(0, h);
        b.Close();
        return true;
    case 85:  // sequential access storage
        b.Ellipse(0, 0, w, h);
        in.Segment(w / 2, h, w, h);
        return true;
    case 88:  // display
        b.MoveTo(0, h / 2);
        b.LineTo(w / 6, 0);
        b.LineTo(w * 5 / 6, 0);
        b.Arc(w * 5 / 6, h / 2, w / 6, h / 2, -90, 90);
        b.LineTo(w / 6, h);
        b.Close();
        return true;
    case 91: {  // 4-point star
        double a = Adj(s, 0, 0.375);
        Star(b, w, h, 4, std::max(0.0, (0.5 - a) / 0.5) * std::sqrt(2.0), 180);
        return true;
    }
    case 92:  // 5-point star
        b.Polygon({{w * 0.4999, 0},
                   {w * 0.6167, h * 0.3822},
                   {w, h * 0.3822},
                   {w * 0.6889, h * 0.6206},
                   {w * 0.8056, h},
                   {w * 0.4999, h * 0.7676},
                   {w * 0.1944, h},
                   {w * 0.3112, h * 0.6206},
                   {0, h * 0.3822},
                   {w * 0.3832, h * 0.3822}});
        return true;
    case 93:
    case 94:
    case 95:
    case 96: {  // 8-, 16-, 24-, 32-point stars
        static const int tips[] = {8, 16, 24, 32};
        double a = Adj(s, 0, s.autoShapeType == 93 ? 0.1175 : 0.125);
        Star(b, w, h, tips[s.autoShapeType - 93], std::max(0.0, std::min(1.0, (0.5 - a) / 0.5)), -90);
        return true;
    }
    case 105:
    case 106: {  // rectangular and rounded rectangular callouts
        double tx = Adj(s, 0, 0.0625) * w, ty = Adj(s, 1, 1.2) * h;
        RectCallout(b, w, h, tx, ty, s.autoShapeType == 106 ? m / 6 : 0);
        return true;
    }
    case 107:  // oval callout
        OvalCallout(b, w, h, Adj(s, 0, 0.0625) * w, Adj(s, 1, 1.2) * h);
        return true;
    case 108:  // cloud callout: an oval body with bubbles to the tip
        CloudCallout(b, w, h, Adj(s, 0, 0.0625) * w, Adj(s, 1, 1.2) * h);
        return true;
    default:
        break;
    }
    if (s.autoShapeType >= 109 && s.autoShapeType <= 124) {  // line callouts: body and leader
        b.Polygon({{0, 0}, {w, 0}, {w, h}, {0, h}});
        g.simple = Geometry::Rect;
        g.strokeFill = !(s.autoShapeType >= 117 && s.autoShapeType <= 120);  // the "no border" ones
        std::vector<Point> leader;
        for (size_t i = 0; i + 1 < s.adjustments.size(); i += 2)
            leader.push_back({Adj(s, i, 0) * w, Adj(s, i + 1, 0) * h});
        if (leader.empty()) leader.push_back({-w * 0.38, h * 1.12});
        if (leader.size() == 1) leader.push_back({0, h / 2});
        for (size_t i = 0; i < leader.size(); ++i) {
            if (i == 0)
                in.MoveTo(leader[i].x, leader[i].y);
            else
                in.LineTo(leader[i].x, leader[i].y);
        }
        return true;
    }
    return false;
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
void AddArrowsToOpenPaths(Geometry& g, const LineData& line) {
    if (!line.visible) return;
    bool any = (line.beginArrow.style > ArrowNone && line.beginArrow.style <= ArrowOval) ||
               (line.endArrow.style > ArrowNone && line.endArrow.style <= ArrowOval);
    if (!any) return;
    std::vector<Seg>& p = g.fill;
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
        Builder b(g.fill);
        g.fillable = false;
        b.MoveTo(0, 0);
        if (s.connector == ConnectorKind::Elbow) {
            double a = Adj(s, 0, 0.5) * w;
            b.LineTo(a, 0);
            b.LineTo(a, h);
            b.LineTo(w, h);
        } else if (s.connector == ConnectorKind::Curved) {
            double a = Adj(s, 0, 0.5) * w;
            b.CurveTo(a, 0, a, h, w, h);
        } else {
            b.LineTo(w, h);
        }
        AddArrowsToOpenPaths(g, s.line);
        break;
    }
    case ShapeKind::Freeform:
        Freeform(s, w, h, g);
        AddArrowsToOpenPaths(g, s.line);
        break;
    case ShapeKind::AutoShape:
        if (AutoShape(s, w, h, g)) break;
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
    ShapeDrawing s;
    s.autoShapeType = autoShapeType;
    detail::Geometry g;
    return detail::AutoShape(s, 10, 10, g);
}

}  // namespace render
