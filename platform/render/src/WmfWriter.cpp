// A shape's outline and fill as a Windows metafile, in the small record set the movie compiler
// reads: pens, brushes, polygons, poly-polygons, ellipses and rectangles.

#include "Geometry.h"
#include "Internal.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace render {

namespace detail {
void ShapePicturePlacement(const ShapeDrawing& shape, double sx, double sy, int& width, int& height,
                           cairo_matrix_t& box, double& lineScale);
SurfacePtr ShapeFillSurface(const ShapeDrawing& shape, double sx, double sy, std::vector<unsigned char>& pixels);
}  // namespace detail

using namespace detail;

namespace {

struct Pt {
    std::int16_t x, y;
};

struct Poly {
    std::vector<Pt> pts;
    bool closed = false;
};

// The records are written after room for the headers, which Finish fills in place.
constexpr size_t kHeadersBytes = 22 + 18;

class Writer {
public:
    Writer() : m_body(kHeadersBytes, 0) {}
    void Record(std::uint16_t function, const std::vector<std::uint16_t>& params) {
        const std::uint32_t words = static_cast<std::uint32_t>(3 + params.size());
        Word32(words);
        Word(function);
        const size_t at = m_body.size();
        m_body.resize(at + 2 * params.size());
        for (size_t i = 0; i < params.size(); ++i) {
            m_body[at + 2 * i] = static_cast<std::uint8_t>(params[i] & 0xFF);
            m_body[at + 2 * i + 1] = static_cast<std::uint8_t>(params[i] >> 8);
        }
        m_maxRecord = std::max(m_maxRecord, words);
    }
    // Room for a record of `bytes` written piece by piece.
    void Reserve(size_t bytes) { m_body.reserve(m_body.size() + bytes); }
    void Bytes(const std::uint8_t* bytes, size_t size) { m_body.insert(m_body.end(), bytes, bytes + size); }
    void Words(const std::vector<std::uint16_t>& params) {
        for (std::uint16_t p : params) Word(p);
    }
    void Header(std::uint16_t function, std::uint32_t words) {
        Word32(words);
        Word(function);
        m_maxRecord = std::max(m_maxRecord, words);
    }
    std::vector<std::uint8_t> Finish(std::int16_t right, std::int16_t bottom, std::uint16_t inch,
                                     std::uint16_t objects) {
        Record(WmfEof, {});
        size_t at = 0;
        auto w16 = [&](std::uint16_t v) {
            m_body[at++] = static_cast<std::uint8_t>(v & 0xFF);
            m_body[at++] = static_cast<std::uint8_t>(v >> 8);
        };
        auto w32 = [&](std::uint32_t v) {
            w16(v & 0xFFFF);
            w16(v >> 16);
        };
        // Placeable header, its checksum the XOR of its first ten words.
        const std::uint16_t head[10] = {
            0xCDD7, 0x9AC6, 0, 0, 0, static_cast<std::uint16_t>(right), static_cast<std::uint16_t>(bottom), inch, 0, 0};
        std::uint16_t sum = 0;
        for (std::uint16_t v : head) {
            w16(v);
            sum ^= v;
        }
        w16(sum);
        const std::uint32_t totalWords = static_cast<std::uint32_t>((m_body.size() - 22) / 2);
        w16(1);       // in memory
        w16(9);       // header words
        w16(0x0300);  // version
        w32(totalWords);
        w16(objects);
        w32(m_maxRecord);
        w16(0);
        return std::move(m_body);
    }

    void Word(std::uint16_t v) {
        m_body.push_back(v & 0xFF);
        m_body.push_back(v >> 8);
    }
    void Word32(std::uint32_t v) {
        Word(v & 0xFFFF);
        Word(v >> 16);
    }

private:
    std::vector<std::uint8_t> m_body;
    std::uint32_t m_maxRecord = 3;
};

std::uint16_t U(std::int32_t v) {
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(v, -32768, 32767)));
}

std::int16_t Clamp16(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0)));
}

// Flattens segments under the matrix into device polygons.
std::vector<Poly> Flatten(const std::vector<Seg>& segs, const cairo_matrix_t& m, double tolerance) {
    std::vector<Poly> out;
    if (segs.empty()) return out;
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
    ContextPtr cr(cairo_create(surface.get()));
    cairo_set_tolerance(cr.get(), tolerance);
    cairo_set_matrix(cr.get(), &m);
    for (const Seg& s : segs) {
        switch (s.kind) {
        case Seg::Move:
            cairo_move_to(cr.get(), s.p[0].x, s.p[0].y);
            break;
        case Seg::Line:
            cairo_line_to(cr.get(), s.p[0].x, s.p[0].y);
            break;
        case Seg::Curve:
            cairo_curve_to(cr.get(), s.p[0].x, s.p[0].y, s.p[1].x, s.p[1].y, s.p[2].x, s.p[2].y);
            break;
        case Seg::Close:
            cairo_close_path(cr.get());
            break;
        }
    }
    cairo_identity_matrix(cr.get());
    cairo_path_t* path = cairo_copy_path_flat(cr.get());
    Poly cur;
    auto flush = [&]() {
        if (cur.pts.size() >= 2) out.push_back(cur);
        cur = Poly();
    };
    for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
        const cairo_path_data_t& d = path->data[i];
        switch (d.header.type) {
        case CAIRO_PATH_MOVE_TO:
            flush();
            cur.pts.push_back({Clamp16(path->data[i + 1].point.x), Clamp16(path->data[i + 1].point.y)});
            break;
        case CAIRO_PATH_LINE_TO: {
            Pt p{Clamp16(path->data[i + 1].point.x), Clamp16(path->data[i + 1].point.y)};
            if (cur.pts.empty() || cur.pts.back().x != p.x || cur.pts.back().y != p.y) cur.pts.push_back(p);
            break;
        }
        case CAIRO_PATH_CLOSE_PATH:
            cur.closed = true;
            if (cur.pts.size() >= 2 && cur.pts.front().x == cur.pts.back().x && cur.pts.front().y == cur.pts.back().y)
                cur.pts.pop_back();
            {
                Pt start = cur.pts.empty() ? Pt{0, 0} : cur.pts.front();
                flush();
                cur.pts.push_back(start);  // cairo continues from the sub-path's start
            }
            break;
        default:
            break;
        }
    }
    flush();
    cairo_path_destroy(path);
    // A record holds at most 65535 points; thin out anything longer.
    for (Poly& p : out) {
        if (p.pts.size() > 32000) {
            size_t step = p.pts.size() / 32000 + 1;
            std::vector<Pt> thin;
            for (size_t i = 0; i < p.pts.size(); i += step) thin.push_back(p.pts[i]);
            p.pts.swap(thin);
        }
    }
    return out;
}

std::vector<std::uint16_t> PointsParams(const std::vector<Pt>& pts) {
    std::vector<std::uint16_t> params;
    params.push_back(static_cast<std::uint16_t>(pts.size()));
    for (const Pt& p : pts) {
        params.push_back(static_cast<std::uint16_t>(p.x));
        params.push_back(static_cast<std::uint16_t>(p.y));
    }
    return params;
}

// Whether the fill is one the record set cannot hold as a brush: a picture, a gradient, a pattern
// or a texture. It goes into the metafile as a bitmap. A colour one can see through stays a brush
// of that colour: the converter sends such shapes the picture way when it can.
bool FillNeedsBitmap(const ShapeDrawing& shape) {
    if (shape.kind == ShapeKind::Picture) return true;
    return shape.fill.kind != FillKind::None && shape.fill.kind != FillKind::Solid;
}

// A stretched-bitmap record of the picture (its pixels with any alpha), placed at `k` logical
// units a pixel. The bitmap is 32 bits a pixel with
// a header that gives the alpha's mask, rows bottom first, colours not premultiplied.
void WriteBitmap(Writer& out, cairo_surface_t* surface, int k) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    auto row = [&](int y) { return reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride); };
    // The picture is the shape's frame already: all of it is kept.
    const int x0 = 0, y0 = 0, x1 = width - 1, y1 = height - 1;
    const int w = x1 - x0 + 1, h = y1 - y0 + 1;
    std::uint8_t header[108] = {};
    auto put32 = [&](size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 108);  // the fourth version's header: masks with alpha
    put32(4, static_cast<std::uint32_t>(w));
    put32(8, static_cast<std::uint32_t>(h));
    header[12] = 1;   // planes
    header[14] = 32;  // bits a pixel
    put32(16, 3);     // bit fields
    put32(20, static_cast<std::uint32_t>(w) * h * 4);
    put32(40, 0x00FF0000);
    put32(44, 0x0000FF00);
    put32(48, 0x000000FF);
    put32(52, 0xFF000000);
    put32(56, 0x73524742);  // sRGB
    const std::vector<std::uint16_t> params = {0x0020,
                                               0x00CC,
                                               0,  // copy the source; colours are values, not palette indexes
                                               static_cast<std::uint16_t>(h),
                                               static_cast<std::uint16_t>(w),
                                               0,
                                               0,
                                               U(h * k),
                                               U(w * k),
                                               U(y0 * k),
                                               U(x0 * k)};
    const size_t pixelBytes = static_cast<size_t>(w) * h * 4;
    out.Reserve(6 + 2 * params.size() + sizeof header + pixelBytes + 64);
    out.Header(WmfStretchDib, static_cast<std::uint32_t>(3 + params.size() + (sizeof header + pixelBytes) / 2));
    out.Words(params);
    out.Bytes(header, sizeof header);
    std::vector<std::uint8_t> line(static_cast<size_t>(w) * 4);
    // Cairo keeps colours premultiplied; a table of reciprocals undoes it without a division.
    static const auto unpremultiply = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t a = 1; a < 256; ++a) t[a] = (255u << 16) / a;
        return t;
    }();
    for (int y = y1; y >= y0; --y) {  // blue, green, red, alpha
        const std::uint32_t* src = row(y) + x0;
        std::uint8_t* d = line.data();
        for (int x = 0; x < w; ++x, d += 4) {
            const std::uint32_t v = src[x], a = v >> 24;
            if (a == 255 || a == 0) {
                d[0] = static_cast<std::uint8_t>(v);
                d[1] = static_cast<std::uint8_t>(v >> 8);
                d[2] = static_cast<std::uint8_t>(v >> 16);
            } else {
                const std::uint32_t k = unpremultiply[a];
                d[0] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, ((v & 0xFF) * k + 0x8000) >> 16));
                d[1] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (((v >> 8) & 0xFF) * k + 0x8000) >> 16));
                d[2] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (((v >> 16) & 0xFF) * k + 0x8000) >> 16));
            }
            d[3] = static_cast<std::uint8_t>(a);
        }
        out.Bytes(line.data(), line.size());
    }
}

// Pen styles by dash style.
std::uint16_t PenStyle(int dash) {
    switch (dash) {
    case DashSquareDot:
    case DashRoundDot:
        return 2;  // dot
    case DashDash:
    case DashLongDash:
        return 1;  // dash
    case DashDashDot:
    case DashLongDashDot:
        return 3;
    case DashDashDotDot:
        return 4;
    default:
        return 0;  // solid
    }
}

}  // namespace

std::vector<std::uint8_t> RenderShapeWmf(const ShapeDrawing& shape, double scaleX, double scaleY) {
    int widthPx = 0, heightPx = 0;
    cairo_matrix_t box;
    double lineScale = 1;
    ShapePicturePlacement(shape, scaleX, scaleY, widthPx, heightPx, box, lineScale);
    // Logical units: a sixteenth of a pixel, coarser for big pictures so coordinates fit 16 bits.
    const int k = std::max(1, std::min(16, 32000 / std::max(widthPx, heightPx)));
    if (static_cast<std::int64_t>(widthPx) * k > 32767 || static_cast<std::int64_t>(heightPx) * k > 32767)
        throw RenderError("Picture is too large for a metafile");
    cairo_matrix_t logical;
    cairo_matrix_init_scale(&logical, k, k);
    cairo_matrix_t m;
    cairo_matrix_multiply(&m, &box, &logical);

    const Geometry g = BuildGeometry(shape, shape.frame.width, shape.frame.height);
    const double tolerance = 0.25 * k;
    const bool lineOn = shape.line.visible && std::isfinite(shape.line.weight) && shape.line.weight >= 0;
    const std::uint32_t lineColor = shape.line.color & 0xFFFFFF;
    const std::int32_t penWidth =
        lineOn ? static_cast<std::int32_t>(std::lround(std::max(1.0, shape.line.weight * lineScale) * k)) : 0;

    bool brushOn = g.fillable && shape.fill.kind != FillKind::None;
    const std::uint32_t brushColor = shape.fill.color & 0xFFFFFF;
    // Fills no brush can show are drawn first, as a bitmap of the shape's filled area; the
    // outline follows without a brush.
    SurfacePtr bitmap;
    if (FillNeedsBitmap(shape)) {
        brushOn = false;
        // The pixels are drawn into a buffer kept for the thread: shape after shape reuses it.
        thread_local std::vector<unsigned char> pixels;
        bitmap = ShapeFillSurface(shape, scaleX, scaleY, pixels);
    }

    Writer w;
    w.Record(WmfSetMapMode, {8});  // anisotropic
    w.Record(WmfSetWindowOrg, {0, 0});
    w.Record(WmfSetWindowExt, {U(heightPx * k), U(widthPx * k)});
    w.Record(WmfSetBkMode, {1});  // transparent
    w.Record(WmfSetPolyFillMode, {static_cast<std::uint16_t>(g.evenOdd ? 1 : 2)});
    // Objects 0 to 4: the line's pen, the fill's brush, a null pen, the arrowheads' brush, a null brush.
    w.Record(WmfCreatePenIndirect,
             {static_cast<std::uint16_t>(lineOn ? PenStyle(shape.line.dashStyle) : 5), U(penWidth), 0,
              static_cast<std::uint16_t>(lineColor & 0xFFFF), static_cast<std::uint16_t>(lineColor >> 16)});
    w.Record(WmfCreateBrushIndirect,
             {static_cast<std::uint16_t>(brushOn ? 0 : 1), static_cast<std::uint16_t>(brushColor & 0xFFFF),
              static_cast<std::uint16_t>(brushColor >> 16), 0});
    w.Record(WmfCreatePenIndirect, {5, 0, 0, 0, 0});
    w.Record(WmfCreateBrushIndirect,
             {0, static_cast<std::uint16_t>(lineColor & 0xFFFF), static_cast<std::uint16_t>(lineColor >> 16), 0});
    w.Record(WmfCreateBrushIndirect, {1, 0, 0, 0});

    auto segments = [&](const std::vector<Poly>& polys) {
        // Open outlines as two-point polygons: drawn by the pen, nothing to fill.
        for (const Poly& p : polys) {
            const size_t n = p.pts.size();
            for (size_t i = 0; i + 1 < n + (p.closed ? 1 : 0); ++i) {
                const Pt& a = p.pts[i];
                const Pt& b = p.pts[(i + 1) % n];
                w.Record(WmfPolygon, PointsParams({a, b}));
            }
        }
    };

    if (bitmap) WriteBitmap(w, bitmap.get(), k);

    // The outline.
    w.Record(WmfSelectObject, {static_cast<std::uint16_t>(lineOn && g.strokeFill ? 0 : 2)});
    w.Record(WmfSelectObject, {static_cast<std::uint16_t>(brushOn ? 1 : 4)});
    const bool axisAligned = std::fabs(m.xy) < 1e-9 && std::fabs(m.yx) < 1e-9;
    if (g.simple != Geometry::None && axisAligned) {
        double x0 = 0, y0 = 0, x1 = shape.frame.width, y1 = shape.frame.height;
        cairo_matrix_transform_point(&m, &x0, &y0);
        cairo_matrix_transform_point(&m, &x1, &y1);
        const std::int16_t l = Clamp16(std::min(x0, x1)), r = Clamp16(std::max(x0, x1));
        const std::int16_t t = Clamp16(std::min(y0, y1)), b = Clamp16(std::max(y0, y1));
        w.Record(g.simple == Geometry::Rect ? WmfRectangle : WmfEllipse,
                 {static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(r), static_cast<std::uint16_t>(t),
                  static_cast<std::uint16_t>(l)});
    } else {
        std::vector<Poly> polys = Flatten(g.fill, m, tolerance);
        if (g.fillable) {
            std::vector<Poly> filled;
            for (const Poly& p : polys)
                if (p.pts.size() >= 3) filled.push_back(p);
            if (filled.size() == 1 && filled[0].closed) {
                w.Record(WmfPolygon, PointsParams(filled[0].pts));
            } else if (!filled.empty()) {
                // Several outlines, or open ones: fill them together, pen off, then stroke.
                std::vector<std::uint16_t> params{static_cast<std::uint16_t>(filled.size())};
                for (const Poly& p : filled) params.push_back(static_cast<std::uint16_t>(p.pts.size()));
                for (const Poly& p : filled)
                    for (const Pt& q : p.pts) {
                        params.push_back(static_cast<std::uint16_t>(q.x));
                        params.push_back(static_cast<std::uint16_t>(q.y));
                    }
                bool allClosed = std::all_of(filled.begin(), filled.end(), [](const Poly& p) { return p.closed; });
                if (!allClosed) w.Record(WmfSelectObject, {2});
                w.Record(WmfPolyPolygon, params);
                if (!allClosed && lineOn && g.strokeFill) {
                    w.Record(WmfSelectObject, {0});
                    w.Record(WmfSelectObject, {4});
                    segments(polys);
                }
            }
        } else if (lineOn) {
            w.Record(WmfSelectObject, {4});
            segments(polys);
        }
    }
    if (brushOn && g.fillable && !g.fillOnly.empty()) {
        // Parts the template fills but does not outline.
        w.Record(WmfSelectObject, {2});
        w.Record(WmfSelectObject, {1});
        for (const Poly& p : Flatten(g.fillOnly, m, tolerance))
            if (p.pts.size() >= 3) w.Record(WmfPolygon, PointsParams(p.pts));
    }
    if (lineOn) {
        w.Record(WmfSelectObject, {0});
        w.Record(WmfSelectObject, {4});
        segments(Flatten(g.strokeOnly, m, tolerance));
        segments(Flatten(g.arrowStroke, m, tolerance));
        if (!g.arrowFill.empty()) {
            w.Record(WmfSelectObject, {2});
            w.Record(WmfSelectObject, {3});
            for (const Poly& p : Flatten(g.arrowFill, m, tolerance))
                if (p.pts.size() >= 3) w.Record(WmfPolygon, PointsParams(p.pts));
        }
    }
    // Deselecting is not possible in a metafile; the player frees objects with the file.
    for (std::uint16_t i = 0; i < 5; ++i) w.Record(WmfDeleteObject, {i});
    return w.Finish(Clamp16(widthPx * k), Clamp16(heightPx * k), static_cast<std::uint16_t>(96 * k), 5);
}

void RenderShapeWmf(const ShapeDrawing& shape, double scaleX, double scaleY, const std::filesystem::path& path) {
    WritePictureFile(path, RenderShapeWmf(shape, scaleX, scaleY));
}

}  // namespace render
