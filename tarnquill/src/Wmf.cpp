#include "tarnquill/Wmf.h"

#include "Pictures.h"
#include "base/metafile/Dib.h"
#include "base/metafile/WmfRecords.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace tarnquill::wmf {
namespace {

using base::metafile::kPlaceableKey;

using base::bytes::ByteView;

enum : std::uint16_t {
    kSaveDC = 0x001E,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetROP2 = 0x0104,
    kSetRelAbs = 0x0105,
    kSetPolyFillMode = 0x0106,
    kSetStretchBltMode = 0x0107,
    kSetTextCharExtra = 0x0108,
    kRestoreDC = 0x0127,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDeleteObject = 0x01F0,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetTextJustification = 0x020A,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kOffsetViewportOrg = 0x0211,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kSetMapperFlags = 0x0231,
    kSelectPalette = 0x0234,
    kRealizePalette = 0x0035,
    kCreatePalette = 0x00F7,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kCreatePatternBrush = 0x01F9,
    kDibCreatePatternBrush = 0x0142,
    kCreateRegion = 0x06FF,
    kDibBitBlt = 0x0940,
    kDibStretchBlt = 0x0B41,
    kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kScaleViewportExt = 0x0412,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kEscape = 0x0626,
};

const char* RecordName(std::uint16_t f) {
    switch (f) {
    case 0x0521:
        return "TextOut";
    case 0x0A32:
        return "ExtTextOut";
    case 0x0922:
        return "BitBlt";
    case 0x0B23:
        return "StretchBlt";
    case 0x0817:
        return "Arc";
    case 0x081A:
        return "Pie";
    case 0x0830:
        return "Chord";
    case 0x0416:
        return "IntersectClipRect";
    case 0x0415:
        return "ExcludeClipRect";
    case 0x012C:
        return "SelectClipRegion";
    case 0x0419:
        return "FloodFill";
    case 0x041F:
        return "SetPixel";
    case 0x041C:
        return "PatBlt";
    case kSetViewportOrg:
    case kSetViewportExt:
    case kOffsetViewportOrg:
    case kScaleViewportExt:
        return "viewport";
    default:
        return nullptr;
    }
}

struct Object {
    enum Kind { Free, Pen, Brush, Other } kind = Free;
    bool visible = false;
    std::uint32_t rgb = 0;
    double width = 0;
};

struct View {
    double orgX = 0, orgY = 0, extX = 1, extY = 1;
    bool hasExt = false;
    int mapMode = 1;
};

struct State {
    Object pen{Object::Pen, true, 0, 0};
    Object brush{Object::Brush, true, 0xffffff, 0};
    bool evenOdd = true;
    View view;
    Point position;
};

struct RawPath {
    Path path;  // logical coordinates
    View view;
};

std::uint32_t Rgb(std::uint16_t lo, std::uint16_t hi) {
    std::uint32_t ref = lo | (static_cast<std::uint32_t>(hi) << 16);  // 0x00BBGGRR
    return ((ref & 0xff) << 16) | (ref & 0xff00) | ((ref >> 16) & 0xff);
}

void AddEllipse(Contour& c, double cx, double cy, double rx, double ry) {
    const double pi = 3.14159265358979323846, k = 1.0 / std::cos(pi / 8);
    c.start = Point{cx + rx, cy};
    for (int i = 0; i < 8; ++i) {
        double mid = (i + 0.5) * pi / 4, end = (i + 1) * pi / 4;
        c.segments.push_back(Segment{true, Point{cx + rx * k * std::cos(mid), cy + ry * k * std::sin(mid)},
                                     Point{cx + rx * std::cos(end), cy + ry * std::sin(end)}});
    }
    c.segments.back().to = c.start;
    c.closed = true;
}

// Quarter ellipse from the current end point, as two quadratic pieces.
void AddCorner(Contour& c, double cx, double cy, double rx, double ry, double fromAngle) {
    const double pi = 3.14159265358979323846, k = 1.0 / std::cos(pi / 8);
    for (int i = 0; i < 2; ++i) {
        double mid = fromAngle + (i + 0.5) * pi / 4, end = fromAngle + (i + 1) * pi / 4;
        c.segments.push_back(Segment{true, Point{cx + rx * k * std::cos(mid), cy + ry * k * std::sin(mid)},
                                     Point{cx + rx * std::cos(end), cy + ry * std::sin(end)}});
    }
}

class Parser {
public:
    Parser(const std::uint8_t* data, std::size_t size) : reader_(ByteView(data, size)) {}

    Drawing Run() {
        using base::metafile::WmfStatus;
        base::metafile::WmfHeader header;
        switch (reader_.ReadHeader(header)) {
        case WmfStatus::kOk:
            break;
        case WmfStatus::kPlaceableCutShort:
            throw WmfError("damaged metafile: placeable header cut short");
        case WmfStatus::kHeaderCutShort:
            throw WmfError("damaged metafile: header cut short");
        default:
            throw WmfError("not a Windows metafile (bad header)");
        }
        const double bbox[4] = {double(header.boundsLeft), double(header.boundsTop), double(header.boundsRight),
                                double(header.boundsBottom)};
        objects_.resize(header.numberOfObjects);

        bool ended = false;
        base::metafile::WmfRecordView record;
        for (;;) {
            const std::size_t pos = reader_.Position();
            const WmfStatus status = reader_.Next(record);
            if (status == WmfStatus::kEnd) break;
            if (status == WmfStatus::kRecordCutShort)
                throw WmfError("damaged metafile: record header cut short at byte " + std::to_string(pos));
            if (status != WmfStatus::kOk)
                throw WmfError("damaged metafile: record at byte " + std::to_string(pos) + " has a bad size");
            params_ = record.params;
            count_ = record.words - 3;
            if (record.function == base::metafile::kWmfEof) {
                ended = true;
                break;
            }
            Record(record.function);
        }
        if (!ended) Warn("the metafile has no end record");
        return Finish(header.placeable, bbox);
    }

private:
    std::int16_t P(std::size_t i) const {
        if (i >= count_) throw WmfError("damaged metafile: a record is shorter than its contents");
        return params_.I16(2 * i);
    }
    std::uint16_t W(std::size_t i) const { return static_cast<std::uint16_t>(P(i)); }

    void Warn(const std::string& text) { warnings_[text]++; }

    void Create(const Object& object) {
        auto free =
            std::find_if(objects_.begin(), objects_.end(), [](const Object& o) { return o.kind == Object::Free; });
        if (free != objects_.end())
            *free = object;
        else if (objects_.size() < 65535)
            objects_.push_back(object);
        else
            throw WmfError("damaged metafile: too many objects");
    }

    Object& At(std::uint16_t index) {
        if (index >= objects_.size() || objects_[index].kind == Object::Free)
            throw WmfError("damaged metafile: object " + std::to_string(index) + " does not exist");
        return objects_[index];
    }

    RawPath& NewPath(bool fill, bool stroke) {
        RawPath raw;
        raw.view = s_.view;
        raw.path.filled = fill && s_.brush.visible;
        raw.path.fillRgb = s_.brush.rgb;
        raw.path.evenOdd = s_.evenOdd;
        raw.path.stroked = stroke && s_.pen.visible;
        raw.path.strokeRgb = s_.pen.rgb;
        raw.path.strokeWidth = s_.pen.width;
        paths_.push_back(std::move(raw));
        return paths_.back();
    }

    Point Pt(std::size_t xIndex) const {
        return Point{static_cast<double>(P(xIndex)), static_cast<double>(P(xIndex + 1))};
    }

    void Polygon(std::size_t first, std::size_t n, Contour& c, bool closed) {
        c.start = Pt(first);
        for (std::size_t i = 1; i < n; ++i) c.segments.push_back(Segment{false, {}, Pt(first + 2 * i)});
        c.closed = closed;
        if (closed) c.segments.push_back(Segment{false, {}, c.start});
    }

    void Box(std::int16_t& left, std::int16_t& top, std::int16_t& right, std::int16_t& bottom, std::size_t at) {
        bottom = P(at);
        right = P(at + 1);
        top = P(at + 2);
        left = P(at + 3);
    }

    void Record(std::uint16_t f) {
        switch (f) {
        case kSetMapMode:
            s_.view.mapMode = P(0);
            break;
        case kSetPolyFillMode:
            s_.evenOdd = P(0) != 2;
            break;
        case kSetWindowOrg:
            s_.view.orgY = P(0);
            s_.view.orgX = P(1);
            break;
        case kOffsetWindowOrg:
            s_.view.orgY += P(0);
            s_.view.orgX += P(1);
            break;
        case kSetWindowExt:
            s_.view.extY = P(0);
            s_.view.extX = P(1);
            s_.view.hasExt = s_.view.extX != 0 && s_.view.extY != 0;
            if (!s_.view.hasExt) Warn("a window extent of zero is ignored");
            break;
        case kScaleWindowExt:
            if (P(0) && P(2)) {
                s_.view.extY = s_.view.extY * P(1) / P(0);
                s_.view.extX = s_.view.extX * P(3) / P(2);
            }
            break;
        case kSaveDC:
            if (saved_.size() < 1024) saved_.push_back(s_);
            break;
        case kRestoreDC: {
            int n = P(0);
            std::size_t keep = n < 0
                                   ? (saved_.size() >= static_cast<std::size_t>(-n) ? saved_.size() + n : saved_.size())
                                   : static_cast<std::size_t>(n > 0 ? n - 1 : saved_.size());
            if (keep < saved_.size()) {
                s_ = saved_[keep];
                saved_.resize(keep);
            }
            break;
        }
        case kCreatePenIndirect: {
            int style = W(0) & 0x0f;
            if (style != 0 && style != 5 && style != 6) Warn("dashed and dotted pens are drawn solid");
            Create(Object{Object::Pen, style != 5, Rgb(W(3), W(4)), static_cast<double>(std::abs(P(1)))});
            break;
        }
        case kCreateBrushIndirect: {
            int style = W(0);
            bool visible = style == 0 || style == 2;
            if (style == 2)
                Warn("hatched brushes are drawn as solid colour");
            else if (style != 0 && style != 1)
                Warn("pattern brushes are not drawn");
            Create(Object{Object::Brush, visible, Rgb(W(1), W(2)), 0});
            break;
        }
        case kCreatePatternBrush:
        case kDibCreatePatternBrush:
            Warn("pattern brushes are not drawn");
            Create(Object{Object::Brush, false, 0, 0});
            break;
        case kCreatePalette:
        case kCreateFontIndirect:
        case kCreateRegion:
            Create(Object{Object::Other, false, 0, 0});
            break;
        case kSelectObject: {
            Object& o = At(W(0));
            if (o.kind == Object::Pen)
                s_.pen = o;
            else if (o.kind == Object::Brush)
                s_.brush = o;
            break;
        }
        case kDeleteObject:
            At(W(0)) = Object{};
            break;
        case kMoveTo:
            s_.position = Point{static_cast<double>(P(1)), static_cast<double>(P(0))};
            break;
        case kLineTo: {
            Point to{static_cast<double>(P(1)), static_cast<double>(P(0))};
            RawPath* last = paths_.empty() ? nullptr : &paths_.back();
            bool extend = last && lineRun_ && last->path.contours.size() == 1 && last->path.stroked == s_.pen.visible &&
                          last->path.strokeRgb == s_.pen.rgb && last->path.strokeWidth == s_.pen.width &&
                          lastEnd_.x == s_.position.x && lastEnd_.y == s_.position.y;
            if (!extend) {
                RawPath& raw = NewPath(false, true);
                raw.path.contours.push_back(Contour{s_.position, {}, false});
                last = &raw;
            }
            last->path.contours[0].segments.push_back(Segment{false, {}, to});
            s_.position = lastEnd_ = to;
            lineRun_ = true;
            return;
        }
        case kPolygon:
        case kPolyline: {
            std::size_t n = W(0);
            if (count_ < 1 + 2 * n) throw WmfError("damaged metafile: polygon points cut short");
            if (n < 2) break;
            RawPath& raw = NewPath(f == kPolygon, true);
            raw.path.contours.emplace_back();
            Polygon(1, n, raw.path.contours.back(), f == kPolygon);
            break;
        }
        case kPolyPolygon: {
            std::size_t polygons = W(0), total = 0;
            if (count_ < 1 + polygons) throw WmfError("damaged metafile: poly-polygon counts cut short");
            for (std::size_t i = 0; i < polygons; ++i) total += W(1 + i);
            if (count_ < 1 + polygons + 2 * total) throw WmfError("damaged metafile: poly-polygon points cut short");
            RawPath& raw = NewPath(true, true);
            std::size_t at = 1 + polygons;
            for (std::size_t i = 0; i < polygons; ++i) {
                std::size_t n = W(1 + i);
                if (n >= 2) {
                    raw.path.contours.emplace_back();
                    Polygon(at, n, raw.path.contours.back(), true);
                }
                at += 2 * n;
            }
            break;
        }
        case kRectangle:
        case kEllipse: {
            std::int16_t l, t, r, b;
            Box(l, t, r, b, 0);
            RawPath& raw = NewPath(true, true);
            raw.path.contours.emplace_back();
            Contour& c = raw.path.contours.back();
            if (f == kEllipse) {
                AddEllipse(c, (l + r) / 2.0, (t + b) / 2.0, (r - l) / 2.0, (b - t) / 2.0);
            } else {
                c.start = Point{double(l), double(t)};
                for (Point p : {Point{double(r), double(t)}, Point{double(r), double(b)}, Point{double(l), double(b)},
                                Point{double(l), double(t)}})
                    c.segments.push_back(Segment{false, {}, p});
                c.closed = true;
            }
            break;
        }
        case kRoundRect: {
            double h = std::abs(P(0)) / 2.0, w = std::abs(P(1)) / 2.0;
            std::int16_t l, t, r, b;
            Box(l, t, r, b, 2);
            double x0 = std::min(l, r), x1 = std::max(l, r), y0 = std::min(t, b), y1 = std::max(t, b);
            w = std::min(w, (x1 - x0) / 2);
            h = std::min(h, (y1 - y0) / 2);
            const double pi = 3.14159265358979323846;
            RawPath& raw = NewPath(true, true);
            raw.path.contours.emplace_back();
            Contour& c = raw.path.contours.back();
            c.start = Point{x0 + w, y0};
            c.segments.push_back(Segment{false, {}, Point{x1 - w, y0}});
            AddCorner(c, x1 - w, y0 + h, w, h, -pi / 2);
            c.segments.push_back(Segment{false, {}, Point{x1, y1 - h}});
            AddCorner(c, x1 - w, y1 - h, w, h, 0);
            c.segments.push_back(Segment{false, {}, Point{x0 + w, y1}});
            AddCorner(c, x0 + w, y1 - h, w, h, pi / 2);
            c.segments.push_back(Segment{false, {}, Point{x0, y0 + h}});
            AddCorner(c, x0 + w, y0 + h, w, h, pi);
            c.segments.back().to = c.start;
            c.closed = true;
            break;
        }
        case kStretchDib:
        case kDibStretchBlt:
        case kDibBitBlt:
        case kSetDibToDev:
            CopyBitmap(f);
            break;
        // State that does not change what we draw.
        case kSetBkMode:
        case kSetBkColor:
        case kSetTextColor:
        case kSetROP2:
        case kSetRelAbs:
        case kSetStretchBltMode:
        case kSetTextAlign:
        case kSetTextCharExtra:
        case kSetTextJustification:
        case kSetMapperFlags:
        case kSelectPalette:
        case kRealizePalette:
        case kEscape:
            break;
        default: {
            const char* name = RecordName(f);
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "records 0x%04X%s%s%s are not drawn", f, name ? " (" : "",
                          name ? name : "", name ? ")" : "");
            Warn(buffer);
            break;
        }
        }
        lineRun_ = false;
    }

    // A bitmap record: the part of its bitmap it copies becomes a rectangle filled with it. The
    // operation is taken as a plain copy; records that copy from the picture itself paint nothing.
    void CopyBitmap(std::uint16_t f) {
        double sx, sy, sw, sh, dx, dy, dw, dh;
        std::size_t dibWord;
        switch (f) {
        case kStretchDib:  // operation, colour use, source height, width, y, x, destination the same
            if (count_ <= 11) throw WmfError("damaged metafile: a bitmap record is cut short");
            sh = P(3), sw = P(4), sy = P(5), sx = P(6), dh = P(7), dw = P(8), dy = P(9), dx = P(10);
            dibWord = 11;
            break;
        case kDibStretchBlt:  // as above without the colour use
            if (count_ <= 11) {
                Warn("bitmap copies from the picture itself are not drawn");
                return;
            }
            sh = P(2), sw = P(3), sy = P(4), sx = P(5), dh = P(6), dw = P(7), dy = P(8), dx = P(9);
            dibWord = 10;
            break;
        case kDibBitBlt:  // operation, source y, x, height, width, destination y, x
            if (count_ <= 9) {
                Warn("bitmap copies from the picture itself are not drawn");
                return;
            }
            sy = P(2), sx = P(3), sh = dh = P(4), sw = dw = P(5), dy = P(6), dx = P(7);
            dibWord = 8;
            break;
        default:  // colour use, rows, first row, source y, x, height, width, destination y, x
            if (count_ <= 9) throw WmfError("damaged metafile: a bitmap record is cut short");
            sy = P(3), sx = P(4), sh = dh = P(5), sw = dw = P(6), dy = P(7), dx = P(8);
            dibWord = 9;
            break;
        }
        if (dw == 0 || dh == 0 || sw <= 0 || sh <= 0) return;
        const ByteView dib = params_.Sub(2 * dibWord, 2 * (count_ - dibWord));
        base::metafile::DibPixels px;
        if (!base::metafile::DecodeDib(dib.data(), dib.size(), px, kMaxPictureSide,
                                       static_cast<std::int64_t>(kMaxPicturePixels))) {
            Warn("bitmaps of a kind not read are not drawn");
            return;
        }
        // The part copied, inside the bitmap.
        const int x0 = static_cast<int>(std::clamp(sx, 0.0, double(px.width)));
        const int y0 = static_cast<int>(std::clamp(sy, 0.0, double(px.height)));
        const int x1 = static_cast<int>(std::clamp(sx + sw, 0.0, double(px.width)));
        const int y1 = static_cast<int>(std::clamp(sy + sh, 0.0, double(px.height)));
        if (x1 <= x0 || y1 <= y0) return;
        const std::uint64_t pixels = static_cast<std::uint64_t>(x1 - x0) * (y1 - y0);
        if (bitmapPixels_ + pixels > kMaxPicturePixels) {
            Warn("bitmaps beyond the size a metafile may hold are not drawn");
            return;
        }
        bitmapPixels_ += pixels;
        Bitmap bitmap;
        bitmap.width = x1 - x0;
        bitmap.height = y1 - y0;
        bitmap.rgba.resize(pixels * 4);
        for (int y = y0; y < y1; ++y)
            std::copy_n(&px.rgba[(static_cast<std::size_t>(y) * px.width + x0) * 4], std::size_t(bitmap.width) * 4,
                        &bitmap.rgba[static_cast<std::size_t>(y - y0) * bitmap.width * 4]);
        // Where the part lands: the destination box, shrunk where the source ran past the bitmap.
        const double kx = dw / sw, ky = dh / sh;
        const double left = dx + (x0 - sx) * kx, top = dy + (y0 - sy) * ky;
        const double right = left + bitmap.width * kx, bottom = top + bitmap.height * ky;
        RawPath raw;
        raw.view = s_.view;
        raw.path.filled = true;
        raw.path.bitmap = static_cast<int>(bitmaps_.size());
        raw.path.bitmapOrigin = Point{left, top};
        raw.path.bitmapCorner = Point{right, bottom};
        Contour c;
        c.start = Point{left, top};
        for (Point p : {Point{right, top}, Point{right, bottom}, Point{left, bottom}, Point{left, top}})
            c.segments.push_back(Segment{false, {}, p});
        c.closed = true;
        raw.path.contours.push_back(std::move(c));
        paths_.push_back(std::move(raw));
        bitmaps_.push_back(std::move(bitmap));
    }

    Drawing Finish(bool placeable, const double bbox[4]) {
        Drawing out;
        // The frame: the window the drawing was made in, else the placeable bounds, else
        // what the drawing covers.
        const View* window = nullptr;
        for (const RawPath& raw : paths_)
            if (raw.view.hasExt) {
                window = &raw.view;
                break;
            }
        if (!window && s_.view.hasExt) window = &s_.view;
        double left = 0, top = 0, width = 1, height = 1;
        bool flip = false;
        if (window) {
            out.frameWidth = std::fabs(window->extX);
            out.frameHeight = std::fabs(window->extY);
        } else {
            if (placeable && bbox[2] != bbox[0] && bbox[3] != bbox[1]) {
                left = bbox[0];
                top = bbox[1];
                width = bbox[2] - bbox[0];
                height = bbox[3] - bbox[1];
            } else {
                double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
                auto grow = [&](const Point& p) {
                    x0 = std::min(x0, p.x);
                    y0 = std::min(y0, p.y);
                    x1 = std::max(x1, p.x);
                    y1 = std::max(y1, p.y);
                };
                for (const RawPath& raw : paths_)
                    for (const Contour& c : raw.path.contours) {
                        grow(c.start);
                        for (const Segment& s : c.segments) {
                            grow(s.to);
                            if (s.curve) grow(s.control);
                        }
                    }
                if (x1 > x0) left = x0, width = x1 - x0;
                if (y1 > y0) top = y0, height = y1 - y0;
            }
            out.frameWidth = std::fabs(width);
            out.frameHeight = std::fabs(height);
            // Metric and English mapping modes count y upwards.
            int mode = paths_.empty() ? s_.view.mapMode : paths_.front().view.mapMode;
            flip = mode >= 2 && mode <= 6;
        }
        for (RawPath& raw : paths_) {
            const View& v = window ? (raw.view.hasExt ? raw.view : *window) : raw.view;
            auto map = [&](Point& p) {
                if (window) {
                    p.x = (p.x - v.orgX) / v.extX;
                    p.y = (p.y - v.orgY) / v.extY;
                } else {
                    p.x = (p.x - left) / width;
                    p.y = (p.y - top) / height;
                    if (flip) p.y = 1 - p.y;
                }
            };
            if (raw.path.bitmap >= 0) {
                map(raw.path.bitmapOrigin);
                map(raw.path.bitmapCorner);
            }
            for (Contour& c : raw.path.contours) {
                map(c.start);
                for (Segment& s : c.segments) {
                    map(s.to);
                    if (s.curve) map(s.control);
                }
            }
            double unitsAcross = window ? std::fabs(v.extX) : std::fabs(width);
            raw.path.strokeWidth = unitsAcross > 0 ? raw.path.strokeWidth / unitsAcross : 0;
            if (raw.path.filled || raw.path.stroked) out.paths.push_back(std::move(raw.path));
        }
        out.bitmaps = std::move(bitmaps_);
        for (const auto& [text, n] : warnings_)
            out.warnings.push_back(n > 1 ? text + " (" + std::to_string(n) + " times)" : text);
        return out;
    }

    base::metafile::WmfRecordReader reader_;
    ByteView params_;
    std::size_t count_ = 0;
    std::vector<Object> objects_;
    State s_;
    std::vector<State> saved_;
    std::vector<RawPath> paths_;
    std::map<std::string, int> warnings_;
    std::vector<Bitmap> bitmaps_;
    std::uint64_t bitmapPixels_ = 0;
    bool lineRun_ = false;
    Point lastEnd_;
};

}  // namespace

bool LooksLikeWmf(const std::uint8_t* data, std::size_t size) {
    const ByteView head(data, size);
    if (size >= 4 && head.U32(0) == kPlaceableKey) return true;
    return size >= 6 && (head.U16(0) == 1 || head.U16(0) == 2) && head.U16(2) == 9 &&
           (head.U16(4) == 0x0100 || head.U16(4) == 0x0300);
}

Drawing ParseWmf(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0) throw WmfError("empty metafile");
    return Parser(data, size).Run();
}

}  // namespace tarnquill::wmf
