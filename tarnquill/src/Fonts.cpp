#include "Fonts.h"

#include "Files.h"
#include "SwfWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

#include <algorithm>
#include <cmath>

namespace tarnquill {
namespace {

// DefineFont3 glyphs live in an EM square of 1024 units at 20 subunits each.
constexpr double kEmSquare = 1024.0 * 20.0;

struct Library {
    FT_Library handle = nullptr;
    Library() {
        if (FT_Init_FreeType(&handle) != 0) throw InputError("FreeType cannot start");
    }
    ~Library() { FT_Done_FreeType(handle); }
};

struct Face {
    FT_Face handle = nullptr;
    ~Face() {
        if (handle) FT_Done_Face(handle);
    }
};

std::int32_t Clamp32(double v) { return static_cast<std::int32_t>(std::lround(std::clamp(v, -1e9, 1e9))); }

std::uint16_t ClampU16(double v) { return static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L)); }
std::int16_t ClampS16(double v) { return static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L)); }

// Outline decomposition into SWF edges: y flips (SWF grows downwards), cubic curves of
// CFF outlines become four quadratic pieces each.
struct Outline {
    ShapeBuilder shape{1};
    double scale = 1;
    bool started = false;
    double cx = 0, cy = 0;  // current point in font units

    std::int32_t X(double x) const { return Clamp32(x * scale); }
    std::int32_t Y(double y) const { return Clamp32(-y * scale); }

    static int MoveTo(const FT_Vector* to, void* user) {
        auto* o = static_cast<Outline*>(user);
        if (!o->started)
            o->shape.MoveTo(o->X(to->x), o->Y(to->y), 1, 0);
        else
            o->shape.MoveOnly(o->X(to->x), o->Y(to->y));
        o->started = true;
        o->cx = to->x;
        o->cy = to->y;
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        auto* o = static_cast<Outline*>(user);
        o->shape.LineTo(o->X(to->x), o->Y(to->y));
        o->cx = to->x;
        o->cy = to->y;
        return 0;
    }
    static int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
        auto* o = static_cast<Outline*>(user);
        o->shape.CurveTo(o->X(c->x), o->Y(c->y), o->X(to->x), o->Y(to->y));
        o->cx = to->x;
        o->cy = to->y;
        return 0;
    }
    void Quad(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3) {
        double qx = (3 * (x1 + x2) - x0 - x3) / 4, qy = (3 * (y1 + y2) - y0 - y3) / 4;
        shape.CurveTo(X(qx), Y(qy), X(x3), Y(y3));
    }
    void Cubic(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3, int depth) {
        if (depth == 0) {
            Quad(x0, y0, x1, y1, x2, y2, x3, y3);
            return;
        }
        double ax = (x0 + x1) / 2, ay = (y0 + y1) / 2, bx = (x1 + x2) / 2, by = (y1 + y2) / 2;
        double cx2 = (x2 + x3) / 2, cy2 = (y2 + y3) / 2;
        double dx = (ax + bx) / 2, dy = (ay + by) / 2, ex = (bx + cx2) / 2, ey = (by + cy2) / 2;
        double mx = (dx + ex) / 2, my = (dy + ey) / 2;
        Cubic(x0, y0, ax, ay, dx, dy, mx, my, depth - 1);
        Cubic(mx, my, ex, ey, cx2, cy2, x3, y3, depth - 1);
    }
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* o = static_cast<Outline*>(user);
        o->Cubic(o->cx, o->cy, c1->x, c1->y, c2->x, c2->y, to->x, to->y, 2);
        o->cx = to->x;
        o->cy = to->y;
        return 0;
    }
};

struct Glyph {
    char32_t code;
    std::vector<std::uint8_t> shape;
    std::int16_t advance;
    Rect bounds;
};

}  // namespace

EmbeddedFont BuildFont(const std::string& path, const std::string& name, const std::u32string& chars) {
    std::vector<std::uint8_t> data = ReadWholeFile(path, kMaxFontFileBytes, "font file");
    Library library;
    Face face;
    FT_Error error =
        FT_New_Memory_Face(library.handle, data.data(), static_cast<FT_Long>(data.size()), 0, &face.handle);
    if (error) throw InputError("font file " + path + " is rejected by FreeType (error " + std::to_string(error) + ")");
    if (!FT_IS_SCALABLE(face.handle) || face.handle->units_per_EM == 0)
        throw InputError("font file " + path + " holds no outline font");
    if (name.size() > 255) throw InputError("font name longer than 255 bytes");

    FT_CharMap unicode = nullptr, symbol = nullptr;
    for (int i = 0; i < face.handle->num_charmaps; ++i) {
        FT_CharMap map = face.handle->charmaps[i];
        if (map->encoding == FT_ENCODING_UNICODE && !unicode) unicode = map;
        if (map->encoding == FT_ENCODING_MS_SYMBOL && !symbol) symbol = map;
    }
    auto indexOf = [&](char32_t code) -> FT_UInt {
        FT_UInt index = 0;
        if (unicode && FT_Set_Charmap(face.handle, unicode) == 0) index = FT_Get_Char_Index(face.handle, code);
        // Symbol fonts map their characters into the private range F000-F0FF.
        if (!index && symbol && FT_Set_Charmap(face.handle, symbol) == 0) {
            index = FT_Get_Char_Index(face.handle, code);
            if (!index && code < 0x100) index = FT_Get_Char_Index(face.handle, 0xF000 | code);
        }
        return index;
    };

    EmbeddedFont font;
    font.familyName = face.handle->family_name ? face.handle->family_name : "";
    const double scale = kEmSquare / face.handle->units_per_EM;
    std::set<char32_t> wanted(chars.begin(), chars.end());
    std::vector<Glyph> glyphs;
    for (char32_t code : wanted) {
        FT_UInt index = code <= 0xffff ? indexOf(code) : 0;  // code table entries are 16-bit
        if (!index) {
            font.missing.push_back(code);
            continue;
        }
        error = FT_Load_Glyph(face.handle, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
        if (error)
            throw InputError("font file " + path + ": glyph " + std::to_string(index) + " is damaged (FreeType error " +
                             std::to_string(error) + ")");
        FT_GlyphSlot slot = face.handle->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
            font.missing.push_back(code);
            continue;
        }
        Outline outline;
        outline.scale = scale;
        static const FT_Outline_Funcs funcs = {
            &Outline::MoveTo, &Outline::LineTo, &Outline::ConicTo, &Outline::CubicTo, 0, 0};
        if (FT_Outline_Decompose(&slot->outline, &funcs, &outline) != 0)
            throw InputError("font file " + path + ": the outline of glyph " + std::to_string(index) + " is damaged");
        outline.shape.End();
        Glyph g;
        g.code = code;
        g.shape.push_back(0x10);  // one fill bit, no line bits
        const auto& records = outline.shape.Writer().Data();
        g.shape.insert(g.shape.end(), records.begin(), records.end());
        g.advance = ClampS16(slot->advance.x * scale);
        FT_BBox box{};
        if (slot->outline.n_points > 0) FT_Outline_Get_BBox(&slot->outline, &box);
        g.bounds = Rect{Clamp32(box.xMin * scale), Clamp32(box.xMax * scale), Clamp32(-box.yMax * scale),
                        Clamp32(-box.yMin * scale)};
        glyphs.push_back(std::move(g));
        font.glyphs.insert(code);
    }

    BitWriter w;
    std::uint8_t flags = 0x80 | 0x08 | 0x04;  // layout, wide offsets, wide codes
    if (face.handle->style_flags & FT_STYLE_FLAG_ITALIC) flags |= 0x02;
    if (face.handle->style_flags & FT_STYLE_FLAG_BOLD) flags |= 0x01;
    w.U8(flags);
    w.U8(1);  // Latin
    w.U8(static_cast<std::uint8_t>(name.size()));
    w.Bytes(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
    w.U16(static_cast<std::uint16_t>(glyphs.size()));
    std::uint64_t offset = 4 * (glyphs.size() + 1);
    for (const Glyph& g : glyphs) {
        w.U32(static_cast<std::uint32_t>(offset));
        offset += g.shape.size();
    }
    if (offset > 0xffffffffu) throw InputError("font file " + path + ": too many outlines for one font");
    w.U32(static_cast<std::uint32_t>(offset));
    for (const Glyph& g : glyphs) w.Bytes(g.shape);
    for (const Glyph& g : glyphs) w.U16(static_cast<std::uint16_t>(g.code));
    FT_Face f = face.handle;
    w.U16(ClampU16(f->ascender * scale));
    w.U16(ClampU16(-f->descender * scale));
    w.U16(static_cast<std::uint16_t>(ClampS16((f->height - (f->ascender - f->descender)) * scale)));
    for (const Glyph& g : glyphs) w.U16(static_cast<std::uint16_t>(g.advance));
    for (const Glyph& g : glyphs) WriteRect(w, g.bounds);
    w.U16(0);  // no kerning pairs
    font.body = std::move(w.Data());
    return font;
}

}  // namespace tarnquill
