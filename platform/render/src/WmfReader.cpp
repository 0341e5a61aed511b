// Reading and playing Windows metafiles: the records the renderer writes, plus the common
// drawing records of metafile pictures (lines, poly-lines, round rectangles, bitmaps).

#include "Internal.h"

#include "base/bytes/ByteView.h"
#include "base/metafile/WmfRecords.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

bool Fail(std::string* error, const char* message) {
    if (error) *error = message;
    return false;
}

}  // namespace

bool ReadWmf(const std::vector<std::uint8_t>& bytes, WmfFile& out, std::string* error) {
    using base::metafile::WmfStatus;
    out = WmfFile();
    base::metafile::WmfRecordReader reader(bytes);
    base::metafile::WmfHeader header;
    switch (reader.ReadHeader(header)) {
    case WmfStatus::kOk:
        break;
    case WmfStatus::kNotMetafile:
        return Fail(error, "not a metafile header");
    default:
        return Fail(error, "too short for a metafile header");
    }
    if (header.placeable && !header.placeableChecksumOk) return Fail(error, "placeable header checksum is wrong");
    out.placeable = header.placeable;
    out.boundsLeft = header.boundsLeft;
    out.boundsTop = header.boundsTop;
    out.boundsRight = header.boundsRight;
    out.boundsBottom = header.boundsBottom;
    out.unitsPerInch = header.unitsPerInch;
    out.sizeWords = header.sizeWords;
    out.numberOfObjects = header.numberOfObjects;
    base::metafile::WmfRecordView view;
    for (;;) {
        const WmfStatus status = reader.Next(view);
        if (status == WmfStatus::kBadRecordSize) return Fail(error, "record size runs past the end");
        if (status != WmfStatus::kOk) return Fail(error, "records end without an end-of-file record");
        WmfRecord rec;
        rec.function = view.function;
        rec.params.reserve(view.words - 3);
        for (std::uint32_t i = 3; i < view.words; ++i) rec.params.push_back(view.params.U16(2 * (i - 3)));
        out.records.push_back(std::move(rec));
        if (view.function == WmfEof) break;
    }
    return true;
}

namespace detail {

namespace {

struct WmfObject {
    enum Kind { Empty, Pen, Brush, Font, Other } kind = Empty;
    int style = 0;
    double width = 0;
    std::uint32_t color = 0;
    MetafileFont font;
};

// The bytes of a record's words from word `first` on.
std::vector<std::uint8_t> ParamBytes(const WmfRecord& r, size_t first) {
    std::vector<std::uint8_t> b;
    for (size_t i = first; i < r.params.size(); ++i) {
        b.push_back(r.params[i] & 0xFF);
        b.push_back(r.params[i] >> 8);
    }
    return b;
}

MetafileFont FontOf(const WmfRecord& r) {
    MetafileFont f;
    f.height = r.Param(0);
    f.escapement = r.Param(2);
    f.weight = r.Param(4);
    f.italic = (r.Param(5) & 0xFF) != 0;
    f.underline = (static_cast<std::uint16_t>(r.Param(5)) >> 8) != 0;
    // The face name: bytes from word 9 on, in the ANSI code page (Latin-1 is near enough here).
    for (std::uint8_t c : ParamBytes(r, 9)) {
        if (c == 0) break;
        f.face.push_back(static_cast<wchar_t>(c));
        if (f.face.size() >= 32) break;
    }
    return f;
}

// Where a bitmap record puts its bitmap: the part of it (source, in its pixels) and the box it is
// drawn into (destination, logical units; negative sizes mirror).
struct BitmapCopy {
    double srcX = 0, srcY = 0, srcW = 0, srcH = 0;
    double dstX = 0, dstY = 0, dstW = 0, dstH = 0;
    size_t dibWord = 0;  // where the bitmap starts among the record's words
};

bool BitmapCopyOf(const WmfRecord& r, BitmapCopy& c) {
    auto p = [&](size_t i) { return static_cast<double>(r.Param(i)); };
    switch (r.function) {
    case 0x0F43:
        if (r.params.size() <= 11) return false;
        c = {p(6), p(5), p(4), p(3), p(10), p(9), p(8), p(7), 11};
        return true;
    case 0x0B41:
        if (r.params.size() <= 11) return false;  // the form that copies from the picture itself
        c = {p(5), p(4), p(3), p(2), p(9), p(8), p(7), p(6), 10};
        return true;
    case 0x0940:
        if (r.params.size() <= 9) return false;
        c = {p(3), p(2), p(5), p(4), p(7), p(6), p(5), p(4), 8};
        return true;
    case 0x0D33:
        if (r.params.size() <= 9) return false;
        c = {p(4), p(3), p(6), p(5), p(8), p(7), p(6), p(5), 9};
        return true;
    default:
        return false;
    }
}

void DrawBitmapCopy(cairo_t* cr, const WmfRecord& r, const BitmapCopy& c, const ToneMap& tone) {
    if (c.dstW == 0 || c.dstH == 0 || c.srcW <= 0 || c.srcH <= 0) return;
    PictureData pic;
    pic.bytes = ParamBytes(r, c.dibWord);
    pic.format = PictureFormat::Dib;
    tone.CopyTo(pic);
    // The source rectangle becomes a crop of the whole bitmap.
    const base::bytes::ByteView dib(pic.bytes);
    const bool core = dib.U32(0) == 12;
    const double bw = core ? dib.U16(4) : dib.I32(4), bh = std::fabs(core ? dib.I16(6) : double(dib.I32(8)));
    if (bw > 0 && bh > 0) {
        pic.cropLeft = c.srcX / bw;
        pic.cropTop = c.srcY / bh;
        pic.cropRight = 1 - (c.srcX + c.srcW) / bw;
        pic.cropBottom = 1 - (c.srcY + c.srcH) / bh;
    }
    cairo_save(cr);
    cairo_translate(cr, c.dstX, c.dstY);
    cairo_scale(cr, c.dstW < 0 ? -1 : 1, c.dstH < 0 ? -1 : 1);
    DrawPicture(cr, pic, std::fabs(c.dstW), std::fabs(c.dstH));
    cairo_restore(cr);
}

void SetColor(cairo_t* cr, std::uint32_t bgr, const ToneMap& tone) {
    bgr = tone.ApplyRgb(bgr);
    cairo_set_source_rgb(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0);
}

}  // namespace

void PlayWmf(cairo_t* cr, const WmfFile& wmf, double w, double h, const ToneMap& tone) {
    double orgX = 0, orgY = 0, extX = 0, extY = 0;
    if (wmf.placeable) {
        orgX = wmf.boundsLeft;
        orgY = wmf.boundsTop;
        extX = wmf.boundsRight - wmf.boundsLeft;
        extY = wmf.boundsBottom - wmf.boundsTop;
    }
    std::vector<WmfObject> objects(std::min<size_t>(wmf.numberOfObjects, 4096));
    WmfObject pen{WmfObject::Pen, 0, 0, 0, {}}, brush{WmfObject::Brush, 0, 0, 0xFFFFFF, {}};
    MetafileTextStyle text;
    std::uint32_t bkColor = 0xFFFFFF;
    struct Saved {
        WmfObject pen, brush;
        MetafileTextStyle text;
        double orgX, orgY, extX, extY;
    };
    std::vector<Saved> saved;
    bool winding = false;
    double curX = 0, curY = 0;
    cairo_save(cr);
    cairo_matrix_t base;
    cairo_get_matrix(cr, &base);
    // Maps logical coordinates onto the box.
    auto applyMapping = [&]() {
        cairo_set_matrix(cr, &base);
        if (extX != 0 && extY != 0) {
            cairo_scale(cr, w / extX, h / extY);
            cairo_translate(cr, -orgX, -orgY);
        }
    };
    applyMapping();
    auto fillAndStroke = [&](bool fill) {
        if (fill && brush.kind == WmfObject::Brush && brush.style != 1 /* null brush */) {
            SetColor(cr, brush.color, tone);
            cairo_set_fill_rule(cr, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_fill_preserve(cr);
        }
        if (pen.kind == WmfObject::Pen && (pen.style & 0x0F) != 5 /* null pen */) {
            SetColor(cr, pen.color, tone);
            cairo_matrix_t m;
            cairo_get_matrix(cr, &m);
            double lw = pen.width > 0 ? pen.width : 0;
            double devW = lw * std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
            cairo_save(cr);
            cairo_identity_matrix(cr);
            cairo_set_line_width(cr, std::max(devW, 1.0));
            cairo_stroke_preserve(cr);
            cairo_restore(cr);
        }
        cairo_new_path(cr);
    };
    for (const WmfRecord& r : wmf.records) {
        switch (r.function) {
        case WmfSetWindowOrg:
            orgY = r.Param(0);
            orgX = r.Param(1);
            applyMapping();
            break;
        case WmfSetWindowExt:
            extY = r.Param(0);
            extX = r.Param(1);
            applyMapping();
            break;
        case WmfSetPolyFillMode:
            winding = r.Param(0) == 2;
            break;
        case WmfCreatePenIndirect:
        case WmfCreateBrushIndirect:
        case 0x02FB:
        case 0x00F7:
        case 0x01F9:
        case 0x0142:
        case 0x06FF: {  // fonts, palettes, patterns, regions
            WmfObject o;
            if (r.function == WmfCreatePenIndirect) {
                o = {WmfObject::Pen,
                     r.Param(0),
                     static_cast<double>(r.Param(1)),
                     std::uint32_t(r.params.size() > 4 ? r.params[3] | (r.params[4] << 16) : 0),
                     {}};
            } else if (r.function == WmfCreateBrushIndirect) {
                o = {WmfObject::Brush,
                     r.Param(0),
                     0,
                     std::uint32_t(r.params.size() > 2 ? r.params[1] | (r.params[2] << 16) : 0),
                     {}};
            } else if (r.function == 0x02FB) {
                o.kind = WmfObject::Font;
                o.font = FontOf(r);
            } else if (r.function == 0x0142) {  // a pattern brush: drawn in its bitmap's mean colour
                const std::vector<std::uint8_t> dib = ParamBytes(r, 2);
                o = {WmfObject::Brush, 0, 0, 0x808080, {}};
                AverageDibColor(dib.data(), dib.size(), o.color);
            } else {
                o.kind = WmfObject::Other;
            }
            o.color &= 0xFFFFFF;
            auto slot = std::find_if(objects.begin(), objects.end(),
                                     [](const WmfObject& x) { return x.kind == WmfObject::Empty; });
            if (slot != objects.end()) *slot = std::move(o);
            break;
        }
        case WmfSelectObject: {
            size_t i = static_cast<std::uint16_t>(r.Param(0));
            if (i < objects.size()) {
                if (objects[i].kind == WmfObject::Pen)
                    pen = objects[i];
                else if (objects[i].kind == WmfObject::Brush)
                    brush = objects[i];
                else if (objects[i].kind == WmfObject::Font)
                    text.font = objects[i].font;
            }
            break;
        }
        case WmfDeleteObject: {
            size_t i = static_cast<std::uint16_t>(r.Param(0));
            if (i < objects.size()) objects[i] = WmfObject();
            break;
        }
        case WmfMoveTo:
            curY = r.Param(0);
            curX = r.Param(1);
            break;
        case WmfLineTo: {
            double y = r.Param(0), x = r.Param(1);
            cairo_move_to(cr, curX, curY);
            cairo_line_to(cr, x, y);
            curX = x;
            curY = y;
            fillAndStroke(false);
            break;
        }
        case WmfPolygon:
        case WmfPolyline: {
            size_t n = std::min<size_t>(static_cast<std::uint16_t>(r.Param(0)), (r.params.size() - 1) / 2);
            if (r.params.empty() || n == 0) break;
            for (size_t i = 0; i < n; ++i) {
                double x = r.Param(1 + 2 * i), y = r.Param(2 + 2 * i);
                if (i == 0)
                    cairo_move_to(cr, x, y);
                else
                    cairo_line_to(cr, x, y);
            }
            if (r.function == WmfPolygon) cairo_close_path(cr);
            fillAndStroke(r.function == WmfPolygon);
            break;
        }
        case WmfPolyPolygon: {
            if (r.params.empty()) break;
            size_t polys = static_cast<std::uint16_t>(r.Param(0));
            if (polys >= r.params.size()) break;
            size_t at = 1 + polys;
            for (size_t p = 0; p < polys; ++p) {
                size_t n = static_cast<std::uint16_t>(r.Param(1 + p));
                if (at + 2 * n > r.params.size()) break;
                for (size_t i = 0; i < n; ++i) {
                    double x = r.Param(at + 2 * i), y = r.Param(at + 2 * i + 1);
                    if (i == 0)
                        cairo_move_to(cr, x, y);
                    else
                        cairo_line_to(cr, x, y);
                }
                if (n) cairo_close_path(cr);
                at += 2 * n;
            }
            fillAndStroke(true);
            break;
        }
        case WmfRectangle:
        case WmfEllipse:
        case 0x061C: {  // round rectangle: corner size first
            size_t k = r.function == 0x061C ? 2 : 0;
            double bottom = r.Param(k), right = r.Param(k + 1), top = r.Param(k + 2), left = r.Param(k + 3);
            if (r.function == WmfEllipse) {
                cairo_save(cr);
                cairo_translate(cr, (left + right) / 2, (top + bottom) / 2);
                cairo_scale(cr, std::max(std::fabs(right - left) / 2, 1e-3),
                            std::max(std::fabs(bottom - top) / 2, 1e-3));
                cairo_arc(cr, 0, 0, 1, 0, 2 * 3.14159265358979323846);
                cairo_restore(cr);
            } else {
                cairo_rectangle(cr, left, top, right - left, bottom - top);
            }
            fillAndStroke(true);
            break;
        }
        case 0x0209:  // text colour
            text.color = std::uint32_t(r.params.size() > 1 ? r.params[0] | (r.params[1] << 16) : 0) & 0xFFFFFF;
            break;
        case 0x0201:  // background colour
            bkColor = std::uint32_t(r.params.size() > 1 ? r.params[0] | (r.params[1] << 16) : 0) & 0xFFFFFF;
            break;
        case 0x012E:
            text.align = static_cast<std::uint16_t>(r.Param(0));
            break;
        case 0x001E:  // save and restore the drawing state
            if (saved.size() < 256) {
                saved.push_back({pen, brush, text, orgX, orgY, extX, extY});
                cairo_save(cr);
            }
            break;
        case 0x0127: {
            const int n = r.Param(0);
            for (int k = 0; k < (n < 0 ? -n : 1) && !saved.empty(); ++k) {
                pen = saved.back().pen;
                brush = saved.back().brush;
                text = saved.back().text;
                orgX = saved.back().orgX, orgY = saved.back().orgY;
                extX = saved.back().extX, extY = saved.back().extY;
                saved.pop_back();
                cairo_restore(cr);
            }
            applyMapping();
            break;
        }
        case 0x0416: {  // clip to a rectangle
            const double bottom = r.Param(0), right = r.Param(1), top = r.Param(2), left = r.Param(3);
            cairo_rectangle(cr, left, top, right - left, bottom - top);
            cairo_clip(cr);
            break;
        }
        case 0x061D: {  // a rectangle in the brush (or white or black, as the operation says)
            if (r.params.size() < 6) break;
            const std::uint32_t rop = r.params[0] | (std::uint32_t(r.params[1]) << 16);
            const double h = r.Param(2), w = r.Param(3), y = r.Param(4), x = r.Param(5);
            if (rop == 0x00AA0029 || (brush.style == 1 && rop != 0x00FF0062 && rop != 0x00000042)) break;
            SetColor(cr, rop == 0x00FF0062 ? 0xFFFFFF : rop == 0x00000042 ? 0 : brush.color, tone);
            cairo_rectangle(cr, x, y, w, h);
            cairo_fill(cr);
            break;
        }
        case 0x0521:    // text
        case 0x0A32: {  // text with options and advances
            std::wstring chars;
            std::vector<double> dx;
            double x = 0, y = 0;
            if (r.function == 0x0521) {
                const size_t n = static_cast<std::uint16_t>(r.Param(0));
                const size_t words = (n + 1) / 2;
                if (r.params.size() < 1 + words + 2) break;
                const std::vector<std::uint8_t> bytes = ParamBytes(r, 1);
                for (size_t i = 0; i < n; ++i) chars.push_back(static_cast<wchar_t>(bytes[i]));
                y = r.Param(1 + words);
                x = r.Param(2 + words);
            } else {
                if (r.params.size() < 4) break;
                y = r.Param(0);
                x = r.Param(1);
                const size_t n = static_cast<std::uint16_t>(r.Param(2));
                const int options = r.Param(3);
                size_t at = 4;
                const bool hasRect = (options & 0x6) != 0;
                if (hasRect) at += 4;
                const size_t words = (n + 1) / 2;
                if (r.params.size() < at + words) break;
                if ((options & 0x2) && hasRect) {  // opaque: the rectangle first
                    cairo_rectangle(cr, r.Param(4), r.Param(5), r.Param(6) - r.Param(4), r.Param(7) - r.Param(5));
                    SetColor(cr, bkColor, tone);
                    cairo_fill(cr);
                }
                const std::vector<std::uint8_t> bytes = ParamBytes(r, at);
                for (size_t i = 0; i < n; ++i) chars.push_back(static_cast<wchar_t>(bytes[i]));
                at += words;
                if (r.params.size() >= at + n)
                    for (size_t i = 0; i < n; ++i) dx.push_back(r.Param(at + i));
            }
            const bool updateCp = (text.align & 1) != 0;
            const double advance =
                DrawMetafileText(cr, text, chars, dx, updateCp ? curX : x, updateCp ? curY : y, tone);
            if (updateCp) curX += advance;
            break;
        }
        case 0x0F43:    // stretched bitmap: operation, colour use, source, destination, bitmap
        case 0x0B41:    // the same without the colour use; a record without a bitmap paints nothing
        case 0x0940:    // a bitmap at its own size: operation, source corner, size, destination
        case 0x0D33: {  // a bitmap's rows at their own size: colour use, rows, source, size, destination
            BitmapCopy copy;
            if (BitmapCopyOf(r, copy)) DrawBitmapCopy(cr, r, copy, tone);
            break;
        }
        default:
            break;
        }
    }
    for (; !saved.empty(); saved.pop_back()) cairo_restore(cr);
    cairo_restore(cr);
}

}  // namespace detail
}  // namespace render
