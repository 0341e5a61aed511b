// Playing enhanced metafiles: the drawing records of pictures that embedded documents and
// drawing programs leave in presentations (shapes, paths, lines, text, bitmaps, clipping), with
// the page and world transforms. Records beyond those are skipped; every length is checked
// against the record and the file before it is read.

#include "Internal.h"

#include "base/bytes/ByteView.h"
#include "fonts/SystemFonts.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace render {
namespace detail {

namespace {

constexpr std::size_t kMaxObjects = 65536;
constexpr std::size_t kMaxSavedStates = 256;
constexpr std::size_t kMaxTextChars = 8192;
constexpr double kMaxGlyphPixels = 4096;

// Little-endian reads inside one record; out of range reads give 0 (callers check lengths first).
struct Rec {
    const std::uint8_t* p = nullptr;
    std::size_t size = 0;
    std::uint32_t type = 0;
    base::bytes::ByteView Bytes() const { return {p, size}; }
    bool Has(std::size_t at, std::size_t n) const { return Bytes().Has(at, n); }
    std::uint32_t U32(std::size_t at) const { return Bytes().U32(at); }
    std::int32_t I32(std::size_t at) const { return Bytes().I32(at); }
    std::uint16_t U16(std::size_t at) const { return Bytes().U16(at); }
    std::int16_t I16(std::size_t at) const { return Bytes().I16(at); }
    // A rectangle (left, top, right, bottom) added to the path; its sides are taken apart in
    // double, as the coordinates can lie anywhere in 32 bits.
    void AddRectangle(cairo_t* cr, std::size_t at) const {
        const double left = I32(at), top = I32(at + 4);
        cairo_rectangle(cr, left, top, I32(at + 8) - left, I32(at + 12) - top);
    }
    float F32(std::size_t at) const {
        const std::uint32_t v = U32(at);
        float f;
        std::memcpy(&f, &v, 4);
        return std::isfinite(f) ? f : 0.0f;
    }
};

// Faces for the metafile's text, by name and style, kept for the process.
class CFaceCache {
public:
    static CFaceCache& Instance() {
        static CFaceCache cache;
        return cache;
    }
    ~CFaceCache() {
        for (auto& e : m_faces) {
            if (e.second.cairoFace) cairo_font_face_destroy(e.second.cairoFace);
            if (e.second.face) FT_Done_Face(e.second.face);
        }
        if (m_library) FT_Done_FreeType(m_library);
    }
    // Null when the system has no face at all; the FT face's metrics are read under the lock.
    cairo_font_face_t* Get(const std::wstring& name, bool bold, bool italic, FT_Face* ftFace) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto key = std::make_tuple(name, bold, italic);
        auto it = m_faces.find(key);
        if (it == m_faces.end()) {
            Entry& e = m_faces[key];
            if (!m_library && FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
            e.data = fonts::FindSystemFont(name.empty() ? std::wstring(L"Arial") : name, bold, italic);
            if (m_library && e.data && !e.data->bytes.empty() &&
                FT_New_Memory_Face(m_library, e.data->bytes.data(), static_cast<FT_Long>(e.data->bytes.size()), 0,
                                   &e.face) == 0) {
                if (!e.face->charmap && e.face->num_charmaps > 0) FT_Set_Charmap(e.face, e.face->charmaps[0]);
                e.cairoFace = cairo_ft_font_face_create_for_ft_face(e.face, FT_LOAD_NO_HINTING);
            } else {
                e.face = nullptr;
            }
            it = m_faces.find(key);
        }
        *ftFace = it->second.face;
        return it->second.cairoFace;
    }
    std::mutex& Mutex() { return m_mutex; }

private:
    struct Entry {
        std::shared_ptr<const fonts::FontFileData> data;
        FT_Face face = nullptr;
        cairo_font_face_t* cairoFace = nullptr;
    };
    std::mutex m_mutex;
    FT_Library m_library = nullptr;
    std::map<std::tuple<std::wstring, bool, bool>, Entry> m_faces;
};

}  // namespace

double DrawMetafileText(cairo_t* cr, const MetafileTextStyle& style, const std::wstring& text,
                        const std::vector<double>& dx, double x, double y, const ToneMap& tone) {
    const MetafileFont& font = style.font;
    FT_Face ft = nullptr;
    CFaceCache& faces = CFaceCache::Instance();
    cairo_font_face_t* face = faces.Get(font.face, font.weight >= 600, font.italic, &ft);
    if (!face || !ft || text.empty()) return 0;
    std::lock_guard<std::mutex> lock(faces.Mutex());
    const double upem = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
    const double ascent = ft->ascender / upem, descent = -ft->descender / upem;
    double em = std::fabs(font.height);
    if (font.height > 0 && ascent + descent > 0) em = font.height / (ascent + descent);
    if (font.height == 0) em = 12;
    if (!(em > 0) || !std::isfinite(em)) return 0;

    // Glyphs upright however the page is mirrored; turned by the font's escapement. Glyphs
    // larger along either axis than any picture could show are not drawn: their rendering alone
    // would be huge, and the font engine refuses such sizes (and loses memory doing so).
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (!(em * std::max(std::hypot(m.xx, m.yx), std::hypot(m.xy, m.yy)) <= kMaxGlyphPixels)) return 0;
    const double signX = m.xx < 0 ? -1 : 1, signY = m.yy < 0 ? -1 : 1;
    const double angle = -font.escapement / 10 * M_PI / 180 * signX * signY;
    std::vector<cairo_glyph_t> glyphs;
    double pen = 0;
    for (std::size_t i = 0; i < text.size() && i < kMaxTextChars; ++i) {
        FT_UInt index = FT_Get_Char_Index(ft, FT_ULong(text[i]));
        if (index == 0 && text[i] < 0x100) index = FT_Get_Char_Index(ft, FT_ULong(text[i]) | 0xF000);
        double advance = 0;
        if (i < dx.size())
            advance = std::fabs(dx[i]);
        else if (FT_Load_Glyph(ft, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
            advance = ft->glyph->advance.x / upem * em;
        if (index != 0) glyphs.push_back({index, pen, 0});
        pen += advance;
    }
    double startX = 0;
    if ((style.align & 6) == 6)
        startX = -pen / 2;
    else if (style.align & 2)
        startX = -pen;
    const double baseline = (style.align & 24) == 24 ? 0 : (style.align & 8) ? -descent * em : ascent * em;

    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, signX, signY);
    cairo_rotate(cr, angle);
    cairo_translate(cr, startX, baseline);
    cairo_set_font_face(cr, face);
    cairo_matrix_t fm;
    cairo_matrix_init_scale(&fm, em, em);
    cairo_set_font_matrix(cr, &fm);
    const std::uint32_t bgr = tone.ApplyRgb(style.color & 0xFFFFFF);
    cairo_set_source_rgb(cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0);
    if (!glyphs.empty()) cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    if (font.underline) {
        cairo_rectangle(cr, 0, em * 0.1, pen, std::max(em * 0.05, 0.5));
        cairo_fill(cr);
    }
    cairo_restore(cr);
    return pen * signX;
}

namespace {

struct Pen {
    std::uint32_t style = 0;  // PS_* (5: null)
    double width = 0;         // logical units; 0 is one device pixel
    std::uint32_t color = 0;
};
struct Brush {
    std::uint32_t style = 0;  // BS_* (1: null)
    std::uint32_t color = 0xFFFFFF;
};
using Font = MetafileFont;
struct Object {
    enum Kind { Empty, PenObject, BrushObject, FontObject, Other } kind = Empty;
    Pen pen;
    Brush brush;
    Font font;
};

struct DcState {
    cairo_matrix_t world;  // logical to page
    double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
    double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
    int mapMode = 1;
    Pen pen;
    Brush brush;
    Font font;
    std::uint32_t textAlign = 0, textColor = 0, bkColor = 0xFFFFFF;
    bool opaqueBk = true, winding = false;
    double curX = 0, curY = 0;
};

class CEmfPlayer {
public:
    CEmfPlayer(cairo_t* cr, const ToneMap& tone) : m_cr(cr), m_tone(tone) {}

    bool Play(const std::vector<std::uint8_t>& bytes, double w, double h) {
        if (bytes.size() < 88) return false;
        Rec header{bytes.data(), bytes.size(), 0};
        const std::uint32_t headerSize = header.U32(4);
        if (header.U32(0) != 1 || headerSize < 88 || headerSize > bytes.size() || header.U32(40) != 0x464D4520)
            return false;
        // The picture's extent in device pixels: its frame (hundredths of a millimetre) at the
        // reference device's resolution, or its bounds when the frame is empty.
        const double devW = header.I32(72), devH = header.I32(76), mmW = header.I32(80), mmH = header.I32(84);
        double x0 = header.I32(8), y0 = header.I32(12), x1 = header.I32(16) + 1.0, y1 = header.I32(20) + 1.0;
        const double fx0 = header.I32(24), fy0 = header.I32(28), fx1 = header.I32(32), fy1 = header.I32(36);
        if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0 && fx1 > fx0 && fy1 > fy0) {
            x0 = fx0 * devW / (mmW * 100);
            x1 = fx1 * devW / (mmW * 100);
            y0 = fy0 * devH / (mmH * 100);
            y1 = fy1 * devH / (mmH * 100);
        }
        if (!(x1 > x0) || !(y1 > y0)) return false;
        m_pixelsPerMm = devW > 0 && mmW > 0 ? devW / mmW : 96 / 25.4;
        m_objects.resize(std::min<std::size_t>(header.U16(56), kMaxObjects));

        cairo_save(m_cr);
        cairo_rectangle(m_cr, 0, 0, w, h);
        cairo_clip(m_cr);
        cairo_get_matrix(m_cr, &m_base);
        m_width = w;
        m_height = h;
        m_box = m_base;
        cairo_matrix_scale(&m_box, w / (x1 - x0), h / (y1 - y0));
        cairo_matrix_translate(&m_box, -x0, -y0);
        cairo_matrix_init_identity(&m_dc.world);
        m_dc.pen.color = 0;
        m_dc.brush.color = 0xFFFFFF;
        ApplyTransform();

        std::size_t pos = 0;
        while (bytes.size() - pos >= 8) {
            Rec r{bytes.data() + pos, 0, 0};
            r.size = 8;
            const std::uint32_t type = r.U32(0), size = r.U32(4);
            if (size < 8 || size % 4 != 0 || size > bytes.size() - pos) break;
            r.size = size;
            r.type = type;
            if (type == 14) break;  // end of file
            Record(r);
            pos += size;
        }
        while (!m_saved.empty()) Restore();
        cairo_restore(m_cr);
        return true;
    }

private:
    void SetColor(std::uint32_t bgr) {
        bgr = m_tone.ApplyRgb(bgr & 0xFFFFFF);
        cairo_set_source_rgb(m_cr, (bgr & 0xFF) / 255.0, ((bgr >> 8) & 0xFF) / 255.0, ((bgr >> 16) & 0xFF) / 255.0);
    }

    // Logical units to the box: world transform, then the page's window to viewport mapping.
    void ApplyTransform() {
        const DcState& s = m_dc;
        double sx = 1, sy = 1;
        switch (s.mapMode) {
        case 7:  // isotropic and anisotropic: the extents' ratio
        case 8:
            sx = s.winExtX != 0 ? s.vpExtX / s.winExtX : 1;
            sy = s.winExtY != 0 ? s.vpExtY / s.winExtY : 1;
            if (s.mapMode == 7) {
                const double k = std::min(std::fabs(sx), std::fabs(sy));
                sx = std::copysign(k, sx);
                sy = std::copysign(k, sy);
            }
            break;
        case 2:  // tenths of a millimetre, y up
            sx = m_pixelsPerMm / 10, sy = -sx;
            break;
        case 3:  // hundredths of a millimetre
            sx = m_pixelsPerMm / 100, sy = -sx;
            break;
        case 4:  // hundredths of an inch
            sx = m_pixelsPerMm * 0.254, sy = -sx;
            break;
        case 5:  // thousandths of an inch
            sx = m_pixelsPerMm * 0.0254, sy = -sx;
            break;
        case 6:  // twips
            sx = m_pixelsPerMm * 25.4 / 1440, sy = -sx;
            break;
        default:
            break;
        }
        if (!std::isfinite(sx) || !std::isfinite(sy) || sx == 0 || sy == 0) sx = sy = 1;
        cairo_matrix_t page;
        cairo_matrix_init(&page, sx, 0, 0, sy, s.vpOrgX - s.winOrgX * sx, s.vpOrgY - s.winOrgY * sy);
        cairo_matrix_t m;
        cairo_matrix_multiply(&m, &s.world, &page);
        cairo_matrix_t full;
        cairo_matrix_multiply(&full, &m, &m_box);
        if (cairo_matrix_invert(&full) != CAIRO_STATUS_SUCCESS) return;  // degenerate: keep the last one
        cairo_matrix_multiply(&full, &m, &m_box);
        cairo_set_matrix(m_cr, &full);
    }

    void FillAndStroke(bool fill, bool stroke = true) {
        if (fill && m_dc.brush.style != 1) {
            SetColor(m_dc.brush.color);
            cairo_set_fill_rule(m_cr, m_dc.winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_fill_preserve(m_cr);
        }
        if (stroke && (m_dc.pen.style & 0x0F) != 5) {
            SetColor(m_dc.pen.color);
            cairo_matrix_t m;
            cairo_get_matrix(m_cr, &m);
            const double scale = std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
            const double devW = m_dc.pen.width * scale;
            cairo_save(m_cr);
            cairo_identity_matrix(m_cr);
            cairo_set_line_width(m_cr, std::max(devW, 0.6));
            cairo_set_line_join(m_cr, (m_dc.pen.style & 0xF000) == 0x1000   ? CAIRO_LINE_JOIN_BEVEL
                                      : (m_dc.pen.style & 0xF000) == 0x2000 ? CAIRO_LINE_JOIN_MITER
                                                                            : CAIRO_LINE_JOIN_ROUND);
            cairo_set_line_cap(m_cr, (m_dc.pen.style & 0xF00) == 0x100   ? CAIRO_LINE_CAP_SQUARE
                                     : (m_dc.pen.style & 0xF00) == 0x200 ? CAIRO_LINE_CAP_BUTT
                                                                         : CAIRO_LINE_CAP_ROUND);
            cairo_stroke_preserve(m_cr);
            cairo_restore(m_cr);
        }
        cairo_new_path(m_cr);
    }

    // Ends a drawing record: in a path bracket the outline is kept for the path's own record.
    void Finish(bool fill) {
        if (!m_inPath) FillAndStroke(fill);
    }

    void Save() {
        if (m_saved.size() >= kMaxSavedStates) return;
        m_saved.push_back(m_dc);
        cairo_save(m_cr);
    }
    void Restore() {
        if (m_saved.empty()) return;
        cairo_path_t* path = m_inPath ? cairo_copy_path(m_cr) : nullptr;
        m_dc = m_saved.back();
        m_saved.pop_back();
        cairo_restore(m_cr);
        if (path) {
            cairo_append_path(m_cr, path);
            cairo_path_destroy(path);
        }
        ApplyTransform();
    }

    // Points of a poly record: count at `at`, then x, y pairs of 16 or 32 bits.
    bool Points(const Rec& r, std::size_t at, std::size_t count, bool small,
                std::vector<std::pair<double, double>>& out) {
        const std::size_t each = small ? 4 : 8;
        if (count > (r.size - std::min(r.size, at)) / each) return false;
        out.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t p = at + i * each;
            out[i] = small ? std::make_pair(double(r.I16(p)), double(r.I16(p + 2)))
                           : std::make_pair(double(r.I32(p)), double(r.I32(p + 4)));
        }
        return true;
    }

    void Poly(const Rec& r, bool small) {
        std::vector<std::pair<double, double>> pts;
        if (!Points(r, 28, r.U32(24), small, pts) || pts.empty()) return;
        const std::uint32_t kind = small ? r.type - 83 : r.type;  // 16-bit records mirror 2..6
        const bool to = kind == 5 || kind == 6;
        const bool bezier = kind == 2 || kind == 5;
        std::size_t i = 0;
        if (!to) {
            cairo_move_to(m_cr, pts[0].first, pts[0].second);
            i = 1;
        } else if (!cairo_has_current_point(m_cr)) {
            cairo_move_to(m_cr, m_dc.curX, m_dc.curY);
        }
        if (bezier) {
            for (; i + 2 < pts.size(); i += 3)
                cairo_curve_to(m_cr, pts[i].first, pts[i].second, pts[i + 1].first, pts[i + 1].second, pts[i + 2].first,
                               pts[i + 2].second);
        } else {
            for (; i < pts.size(); ++i) cairo_line_to(m_cr, pts[i].first, pts[i].second);
        }
        m_dc.curX = pts.back().first;
        m_dc.curY = pts.back().second;
        if (kind == 3) cairo_close_path(m_cr);
        if (!to || !m_inPath) Finish(kind == 3);
    }

    void PolyPoly(const Rec& r, bool small, bool polygon) {
        const std::uint32_t polys = r.U32(24), total = r.U32(28);
        if (r.size < 32 || polys > (r.size - 32) / 4) return;
        std::vector<std::pair<double, double>> pts;
        if (!Points(r, 32 + std::size_t(polys) * 4, total, small, pts)) return;
        std::size_t at = 0;
        for (std::uint32_t k = 0; k < polys; ++k) {
            const std::size_t n = r.U32(32 + k * 4);
            if (n > pts.size() - at) break;
            for (std::size_t i = 0; i < n; ++i) {
                if (i == 0)
                    cairo_move_to(m_cr, pts[at].first, pts[at].second);
                else
                    cairo_line_to(m_cr, pts[at + i].first, pts[at + i].second);
            }
            if (polygon && n) cairo_close_path(m_cr);
            at += n;
        }
        Finish(polygon);
    }

    void Box(const Rec& r, std::uint32_t kind) {
        const double l = r.I32(8), t = r.I32(12), rt = r.I32(16), b = r.I32(20);
        if (kind == 42) {
            cairo_save(m_cr);
            cairo_translate(m_cr, (l + rt) / 2, (t + b) / 2);
            cairo_scale(m_cr, std::max(std::fabs(rt - l) / 2, 1e-3), std::max(std::fabs(b - t) / 2, 1e-3));
            cairo_new_sub_path(m_cr);
            cairo_arc(m_cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_close_path(m_cr);
            cairo_restore(m_cr);
        } else if (kind == 44) {
            const double rx = std::min(std::fabs(r.I32(24)) / 2, std::fabs(rt - l) / 2);
            const double ry = std::min(std::fabs(r.I32(28)) / 2, std::fabs(b - t) / 2);
            const double x0 = std::min(l, rt), x1 = std::max(l, rt), y0 = std::min(t, b), y1 = std::max(t, b);
            if (rx <= 0 || ry <= 0) {
                cairo_rectangle(m_cr, x0, y0, x1 - x0, y1 - y0);
            } else {
                const double k = 0.5523;
                cairo_move_to(m_cr, x0 + rx, y0);
                cairo_line_to(m_cr, x1 - rx, y0);
                cairo_curve_to(m_cr, x1 - rx + k * rx, y0, x1, y0 + ry - k * ry, x1, y0 + ry);
                cairo_line_to(m_cr, x1, y1 - ry);
                cairo_curve_to(m_cr, x1, y1 - ry + k * ry, x1 - rx + k * rx, y1, x1 - rx, y1);
                cairo_line_to(m_cr, x0 + rx, y1);
                cairo_curve_to(m_cr, x0 + rx - k * rx, y1, x0, y1 - ry + k * ry, x0, y1 - ry);
                cairo_line_to(m_cr, x0, y0 + ry);
                cairo_curve_to(m_cr, x0, y0 + ry - k * ry, x0 + rx - k * rx, y0, x0 + rx, y0);
                cairo_close_path(m_cr);
            }
        } else {
            cairo_rectangle(m_cr, l, t, rt - l, b - t);
        }
        Finish(true);
    }

    // A bitmap (header and bits at their offsets in the record) into a logical rectangle;
    // without one, the rectangle takes the brush (or white or black, as the raster operation says).
    void Bitmap(const Rec& r, double x, double y, double w, double h, std::uint32_t offBmi, std::uint32_t cbBmi,
                std::uint32_t offBits, std::uint32_t cbBits, std::uint32_t rop, double srcX, double srcY, double srcW,
                double srcH) {
        if (w == 0 || h == 0) return;
        if (cbBmi == 0 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits)) {
            if (rop == 0x00AA0029) return;  // leaves the destination alone
            cairo_rectangle(m_cr, x, y, w, h);
            if (rop == 0x00FF0062)
                SetColor(0xFFFFFF);
            else if (rop == 0x00000042)
                SetColor(0);
            else if (m_dc.brush.style != 1)
                SetColor(m_dc.brush.color);
            else {
                cairo_new_path(m_cr);
                return;
            }
            cairo_fill(m_cr);
            return;
        }
        std::vector<std::uint8_t> dib(r.p + offBmi, r.p + offBmi + cbBmi);
        dib.insert(dib.end(), r.p + offBits, r.p + offBits + cbBits);
        Pixels px;
        if (!DecodeDib(dib.data(), dib.size(), px) || px.width <= 0 || px.height <= 0) return;
        PictureData pic;
        pic.bytes = std::move(dib);
        pic.format = PictureFormat::Dib;
        m_tone.CopyTo(pic);
        // A source rectangle inside the bitmap becomes a crop.
        if (srcW > 0 && srcH > 0) {
            pic.cropLeft = std::clamp(srcX / px.width, 0.0, 1.0);
            pic.cropTop = std::clamp(srcY / px.height, 0.0, 1.0);
            pic.cropRight = std::clamp(1 - (srcX + srcW) / px.width, 0.0, 1.0);
            pic.cropBottom = std::clamp(1 - (srcY + srcH) / px.height, 0.0, 1.0);
        }
        cairo_save(m_cr);
        cairo_translate(m_cr, x, y);
        cairo_scale(m_cr, w < 0 ? -1 : 1, h < 0 ? -1 : 1);
        DrawPicture(m_cr, pic, std::fabs(w), std::fabs(h));
        cairo_restore(m_cr);
    }

    void Text(const Rec& r, bool wide) {
        const double refX = r.I32(36), refY = r.I32(40);
        const std::uint32_t count = std::min<std::uint32_t>(r.U32(44), kMaxTextChars);
        const std::uint32_t offString = r.U32(48), options = r.U32(52), offDx = r.U32(72);
        if (count == 0 || !r.Has(offString, std::size_t(count) * (wide ? 2 : 1))) return;
        std::wstring text;
        for (std::uint32_t i = 0; i < count; ++i)
            text.push_back(wide ? wchar_t(r.U16(offString + 2 * i)) : wchar_t(r.p[offString + i]));
        std::vector<double> dx;
        if (offDx != 0 && r.Has(offDx, std::size_t(count) * 4))
            for (std::uint32_t i = 0; i < count; ++i) dx.push_back(r.I32(offDx + 4 * i));

        if ((options & 0x2) && r.I32(64) > r.I32(56) && r.I32(68) > r.I32(60)) {  // opaque: the rectangle first
            r.AddRectangle(m_cr, 56);
            SetColor(m_dc.bkColor);
            cairo_fill(m_cr);
        }
        MetafileTextStyle style;
        style.font = m_dc.font;
        style.align = m_dc.textAlign;
        style.color = m_dc.textColor;
        const bool updateCp = (m_dc.textAlign & 1) != 0;
        cairo_save(m_cr);
        if (options & 0x4) {  // clipped to its rectangle
            r.AddRectangle(m_cr, 56);
            cairo_clip(m_cr);
        }
        const double advance =
            DrawMetafileText(m_cr, style, text, dx, updateCp ? m_dc.curX : refX, updateCp ? m_dc.curY : refY, m_tone);
        cairo_restore(m_cr);
        if (updateCp) m_dc.curX += advance;
    }

    void ClipRegion(const Rec& r) {
        const std::uint32_t cb = r.U32(8), mode = r.U32(12);
        if (mode != 5 && mode != 1) return;  // copy and intersect; the others widen the clip
        if (mode == 5) {                     // back to the picture's own box
            cairo_reset_clip(m_cr);
            cairo_save(m_cr);
            cairo_set_matrix(m_cr, &m_base);
            cairo_rectangle(m_cr, 0, 0, m_width, m_height);
            cairo_restore(m_cr);
            cairo_clip(m_cr);
        }
        if (cb < 32 || !r.Has(16, cb)) return;
        const std::uint32_t n = r.U32(24);
        if (n > (cb - 32) / 16) return;
        // Region rectangles are device units.
        cairo_save(m_cr);
        cairo_set_matrix(m_cr, &m_box);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::size_t at = 48 + i * 16;
            r.AddRectangle(m_cr, at);
        }
        cairo_restore(m_cr);
        cairo_clip(m_cr);
    }

    Object* Slot(std::uint32_t index) { return index < m_objects.size() ? &m_objects[index] : nullptr; }

    void Select(std::uint32_t index) {
        if (index & 0x80000000u) {  // stock objects
            switch (index & 0x7FFFFFFFu) {
            case 0:
                m_dc.brush = {0, 0xFFFFFF};
                break;
            case 1:
                m_dc.brush = {0, 0xC0C0C0};
                break;
            case 2:
                m_dc.brush = {0, 0x808080};
                break;
            case 3:
                m_dc.brush = {0, 0x404040};
                break;
            case 4:
                m_dc.brush = {0, 0x000000};
                break;
            case 5:
                m_dc.brush = {1, 0};
                break;
            case 6:
                m_dc.pen = {0, 0, 0xFFFFFF};
                break;
            case 7:
                m_dc.pen = {0, 0, 0x000000};
                break;
            case 8:
                m_dc.pen = {5, 0, 0};
                break;
            default:
                break;
            }
            return;
        }
        const Object* o = Slot(index);
        if (!o) return;
        if (o->kind == Object::PenObject) m_dc.pen = o->pen;
        if (o->kind == Object::BrushObject) m_dc.brush = o->brush;
        if (o->kind == Object::FontObject) m_dc.font = o->font;
    }

    void Record(const Rec& r) {
        switch (r.type) {
        case 9:
            m_dc.winExtX = r.I32(8), m_dc.winExtY = r.I32(12);
            ApplyTransform();
            break;
        case 10:
            m_dc.winOrgX = r.I32(8), m_dc.winOrgY = r.I32(12);
            ApplyTransform();
            break;
        case 11:
            m_dc.vpExtX = r.I32(8), m_dc.vpExtY = r.I32(12);
            ApplyTransform();
            break;
        case 12:
            m_dc.vpOrgX = r.I32(8), m_dc.vpOrgY = r.I32(12);
            ApplyTransform();
            break;
        case 17:
            m_dc.mapMode = r.I32(8);
            ApplyTransform();
            break;
        case 18:
            m_dc.opaqueBk = r.U32(8) == 2;
            break;
        case 19:
            m_dc.winding = r.U32(8) == 2;
            break;
        case 22:
            m_dc.textAlign = r.U32(8);
            break;
        case 24:
            m_dc.textColor = r.U32(8) & 0xFFFFFF;
            break;
        case 25:
            m_dc.bkColor = r.U32(8) & 0xFFFFFF;
            break;
        case 27:
            m_dc.curX = r.I32(8), m_dc.curY = r.I32(12);
            if (m_inPath) cairo_move_to(m_cr, m_dc.curX, m_dc.curY);
            break;
        case 54: {
            const double x = r.I32(8), y = r.I32(12);
            if (!m_inPath || !cairo_has_current_point(m_cr)) cairo_move_to(m_cr, m_dc.curX, m_dc.curY);
            cairo_line_to(m_cr, x, y);
            m_dc.curX = x, m_dc.curY = y;
            Finish(false);
            break;
        }
        case 33:
            Save();
            break;
        case 34: {
            const std::int32_t n = r.I32(8);
            // Negative: that many states back; positive: the state of that number.
            const std::size_t pops = n < 0                              ? std::size_t(-std::int64_t(n))
                                     : std::size_t(n) <= m_saved.size() ? m_saved.size() - std::size_t(n) + 1
                                                                        : 0;
            for (std::size_t i = 0; i < pops && !m_saved.empty(); ++i) Restore();
            break;
        }
        case 35:
        case 36: {
            cairo_matrix_t x;
            cairo_matrix_init(&x, r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
            const std::uint32_t mode = r.type == 35 ? 4 : r.U32(32);
            cairo_matrix_t result = m_dc.world;
            if (mode == 1)
                cairo_matrix_init_identity(&result);
            else if (mode == 2)
                cairo_matrix_multiply(&result, &x, &m_dc.world);
            else if (mode == 3)
                cairo_matrix_multiply(&result, &m_dc.world, &x);
            else if (mode == 4)
                result = x;
            m_dc.world = result;
            ApplyTransform();
            break;
        }
        case 37:
            Select(r.U32(8));
            break;
        case 38:
            if (Object* o = Slot(r.U32(8))) {
                *o = Object();
                o->kind = Object::PenObject;
                o->pen = {r.U32(12), double(r.I32(16)), r.U32(24) & 0xFFFFFF};
            }
            break;
        case 95:
            if (Object* o = Slot(r.U32(8))) {
                *o = Object();
                o->kind = Object::PenObject;
                o->pen = {r.U32(28), double(r.U32(32)), r.U32(40) & 0xFFFFFF};
                if (r.U32(36) == 1) o->pen.style = 5;  // a null brush draws nothing
            }
            break;
        case 39:
            if (Object* o = Slot(r.U32(8))) {
                *o = Object();
                o->kind = Object::BrushObject;
                // Hatched brushes are drawn in their colour; patterns and bitmaps as their colour too.
                o->brush = {r.U32(12) == 1 ? 1u : 0u, r.U32(16) & 0xFFFFFF};
            }
            break;
        case 93:  // brushes of a bitmap pattern: drawn in the bitmap's mean colour
        case 94:
            if (Object* o = Slot(r.U32(8))) {
                *o = Object();
                o->kind = Object::BrushObject;
                o->brush = {0, 0x808080};
                const std::uint32_t offBmi = r.U32(16), cbBmi = r.U32(20), offBits = r.U32(24), cbBits = r.U32(28);
                if (cbBmi && r.Has(offBmi, cbBmi) && r.Has(offBits, cbBits)) {
                    std::vector<std::uint8_t> dib(r.p + offBmi, r.p + offBmi + cbBmi);
                    dib.insert(dib.end(), r.p + offBits, r.p + offBits + cbBits);
                    AverageDibColor(dib.data(), dib.size(), o->brush.color);
                }
            }
            break;
        case 82:
            if (Object* o = Slot(r.U32(8))) {
                *o = Object();
                o->kind = Object::FontObject;
                Font& f = o->font;
                f.height = r.I32(12);
                f.escapement = r.I32(20);
                f.weight = r.I32(28);
                f.italic = r.Has(32, 1) && r.p[32] != 0;
                f.underline = r.Has(33, 1) && r.p[33] != 0;
                for (std::size_t i = 0; i < 32 && r.Has(40 + 2 * i, 2); ++i) {
                    const wchar_t c = wchar_t(r.U16(40 + 2 * i));
                    if (c == 0) break;
                    f.face.push_back(c);
                }
            }
            break;
        case 40:
            if (Object* o = Slot(r.U32(8))) *o = Object();
            break;
        case 42:
        case 43:
        case 44:
            Box(r, r.type);
            break;
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
            Poly(r, false);
            break;
        case 85:
        case 86:
        case 87:
        case 88:
        case 89:
            Poly(r, true);
            break;
        case 7:
            PolyPoly(r, false, false);
            break;
        case 8:
            PolyPoly(r, false, true);
            break;
        case 90:
            PolyPoly(r, true, false);
            break;
        case 91:
            PolyPoly(r, true, true);
            break;
        case 59:
            cairo_new_path(m_cr);
            m_inPath = true;
            break;
        case 60:
            m_inPath = false;
            break;
        case 61:
            cairo_close_path(m_cr);
            break;
        case 68:
            cairo_new_path(m_cr), m_inPath = false;
            break;
        case 62:
            FillAndStroke(true, false);
            break;
        case 63:
            FillAndStroke(true, true);
            break;
        case 64:
            FillAndStroke(false, true);
            break;
        case 67:  // the path becomes the clip
            cairo_set_fill_rule(m_cr, m_dc.winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(m_cr);
            break;
        case 30:
            r.AddRectangle(m_cr, 8);
            cairo_clip(m_cr);
            break;
        case 75:
            ClipRegion(r);
            break;
        case 76:
        case 77: {
            const double x = r.I32(24), y = r.I32(28), w = r.I32(32), h = r.I32(36);
            const double srcW = r.type == 77 ? r.I32(100) : w, srcH = r.type == 77 ? r.I32(104) : h;
            Bitmap(r, x, y, w, h, r.U32(84), r.U32(88), r.U32(92), r.U32(96), r.U32(40), r.I32(44), r.I32(48), srcW,
                   srcH);
            break;
        }
        case 81:
            Bitmap(r, r.I32(24), r.I32(28), r.I32(72), r.I32(76), r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(68),
                   r.I32(32), r.I32(36), r.I32(40), r.I32(44));
            break;
        case 80:
            Bitmap(r, r.I32(24), r.I32(28), r.I32(40), r.I32(44), r.U32(48), r.U32(52), r.U32(56), r.U32(60),
                   0x00CC0020, r.I32(32), r.I32(36), r.I32(40), r.I32(44));
            break;
        case 83:
            Text(r, false);
            break;
        case 84:
            Text(r, true);
            break;
        default:
            break;
        }
    }

    cairo_t* m_cr;
    ToneMap m_tone;
    cairo_matrix_t m_base;  // the box's user space
    cairo_matrix_t m_box;   // device units of the picture onto the box
    double m_width = 0, m_height = 0;
    double m_pixelsPerMm = 96 / 25.4;
    DcState m_dc;
    std::vector<DcState> m_saved;
    std::vector<Object> m_objects;
    bool m_inPath = false;
};

}  // namespace

bool PlayEmf(cairo_t* cr, const std::vector<std::uint8_t>& bytes, double w, double h, const ToneMap& tone) {
    CEmfPlayer player(cr, tone);
    return player.Play(bytes, w, h);
}

}  // namespace detail
}  // namespace render
