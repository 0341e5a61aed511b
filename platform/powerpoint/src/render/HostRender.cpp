// Host state onto the renderer's model, text drawn from the layout, and the Export members.

#include "powerpoint/render/HostRender.h"

#include "fonts/SystemFonts.h"
#include "host/HostObjects.h"
#include "powerpoint/layout/HostTextLayout.h"

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <map>
#include <mutex>
#include <new>
#include <tuple>

namespace PowerPoint {
namespace Host {

namespace {

// ---- Glyph outlines ---------------------------------------------------------------------------

// FreeType faces of the system fonts the layout measures with, one per request, kept for the
// process (the bytes come from the font lookup's own cache).
class CGlyphFaces {
public:
    static CGlyphFaces& Instance() {
        static CGlyphFaces faces;
        return faces;
    }
    ~CGlyphFaces() {
        for (auto& entry : m_faces)
            if (entry.second.face) FT_Done_Face(entry.second.face);
        if (m_library) FT_Done_FreeType(m_library);
    }
    std::mutex& Mutex() { return m_mutex; }

    // Null when the system has no usable face; call with the mutex held.
    FT_Face Get(const std::wstring& name, bool bold, bool italic) {
        const auto key = std::make_tuple(name, bold, italic);
        auto it = m_faces.find(key);
        if (it != m_faces.end()) return it->second.face;
        Entry& entry = m_faces[key];
        if (!m_library && FT_Init_FreeType(&m_library) != 0) {
            m_library = nullptr;
            return nullptr;
        }
        entry.data = fonts::FindSystemFont(name, bold, italic);
        if (!entry.data || entry.data->bytes.empty()) return nullptr;
        FT_Face face = nullptr;
        if (FT_New_Memory_Face(m_library, entry.data->bytes.data(), static_cast<FT_Long>(entry.data->bytes.size()), 0,
                               &face) != 0)
            return nullptr;
        // Symbol fonts carry no Unicode map: their own map takes the codes.
        if (!face->charmap && face->num_charmaps > 0) FT_Set_Charmap(face, face->charmaps[0]);
        entry.face = face;
        return face;
    }

private:
    CGlyphFaces() = default;
    struct Entry {
        std::shared_ptr<const fonts::FontFileData> data;
        FT_Face face = nullptr;
    };
    std::mutex m_mutex;
    FT_Library m_library = nullptr;
    std::map<std::tuple<std::wstring, bool, bool>, Entry> m_faces;
};

int MoveTo(const FT_Vector* to, void* user) {
    cairo_t* cr = static_cast<cairo_t*>(user);
    cairo_close_path(cr);
    cairo_move_to(cr, double(to->x), double(to->y));
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    cairo_line_to(static_cast<cairo_t*>(user), double(to->x), double(to->y));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    cairo_t* cr = static_cast<cairo_t*>(user);
    double x0 = 0, y0 = 0;
    cairo_get_current_point(cr, &x0, &y0);
    const double cx = double(control->x), cy = double(control->y);
    cairo_curve_to(cr, x0 + 2.0 / 3.0 * (cx - x0), y0 + 2.0 / 3.0 * (cy - y0),
                   double(to->x) + 2.0 / 3.0 * (cx - double(to->x)), double(to->y) + 2.0 / 3.0 * (cy - double(to->y)),
                   double(to->x), double(to->y));
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    cairo_curve_to(static_cast<cairo_t*>(user), double(c1->x), double(c1->y), double(c2->x), double(c2->y),
                   double(to->x), double(to->y));
    return 0;
}

// Adds one character's outline to the path, its pen at (x, y), turned by `angle` radians about it.
void AddGlyph(cairo_t* cr, FT_Face face, char32_t code, double x, double y, double size, double angle) {
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0 && code < 0x100)
        index = FT_Get_Char_Index(face, code | 0xF000);  // symbol fonts keep their codes up there
    if (index == 0 || size <= 0 || !std::isfinite(size)) return;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face->units_per_EM == 0)
        return;
    static const FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    const double k = size / double(face->units_per_EM);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, k, -k);
    FT_Outline_Decompose(&face->glyph->outline, &funcs, cr);
    cairo_close_path(cr);
    cairo_restore(cr);
}

// Collects the outlines of one colour and fills them together: one fill per colour change
// instead of one per glyph.
class CInk {
public:
    explicit CInk(cairo_t* cr) : m_cr(cr) { cairo_new_path(cr); }
    ~CInk() { Flush(); }
    void Use(ULONG bgr) {
        bgr = ClampColor(bgr);
        if (m_any && bgr == m_color) return;
        Flush();
        m_color = bgr;
        m_any = true;
    }
    void Flush() {
        if (!m_any) return;
        cairo_set_source_rgb(m_cr, double(m_color & 0xFF) / 255.0, double((m_color >> 8) & 0xFF) / 255.0,
                             double((m_color >> 16) & 0xFF) / 255.0);
        cairo_fill(m_cr);  // also clears the path
        m_any = false;
    }

private:
    cairo_t* m_cr;
    ULONG m_color = 0;
    bool m_any = false;
};

bool Drawn(wchar_t c) { return c > 0x20 && c != 0x7F && c != 0xA0 && c != 0x3000; }

// Quarter turns of the glyphs of each text orientation.
double GlyphAngle(int orientation) {
    switch (orientation) {
    case msoTextOrientationUpward:
        return -M_PI / 2;
    case msoTextOrientationDownward:
    case msoTextOrientationVerticalFarEast:
    case msoTextOrientationVertical:
        return M_PI / 2;
    default:
        return 0;
    }
}

// A shadowed character's shadow lies this far (a fraction of its size) down and to the right.
constexpr double kTextShadowOffset = 0.0625;

// Draws a laid-out text: each character's glyph at its pen position, bullets before their
// paragraphs, shadows of shadowed characters under them all. Positions are slide points;
// (left, top) is where the context's origin lies.
// Colours of the scheme that text takes besides its own: shadows, and the hyperlink colour
// PowerPoint draws linked text in (underlined).
struct TextSchemeColors {
    ULONG shadow = 0x808080;
    ULONG link = 0xFFFFFF;
};

// Whether each character lies in a run with an action.
std::vector<bool> LinkedCharacters(const TextData& text) {
    std::vector<bool> linked(text.text.size(), false);
    for (const TextLinkData& link : text.links) {
        if (link.click.action == ppActionNone && link.over.action == ppActionNone) continue;
        const std::size_t from = static_cast<std::size_t>(std::max<LONG>(link.start, 0));
        const std::size_t to = std::min(linked.size(), from + static_cast<std::size_t>(std::max<LONG>(link.length, 0)));
        for (std::size_t k = from; k < to; ++k) linked[k] = true;
    }
    return linked;
}

void PaintText(cairo_t* cr, fonts::layout::CTextLayout& layout, const TextData& text, double left, double top,
               const TextSchemeColors& scheme) {
    const ULONG shadowColor = scheme.shadow;
    const std::wstring& chars = layout.Text();
    if (chars.empty() || chars.size() != text.charFonts.size()) return;
    const double angle = GlyphAngle(static_cast<int>(text.orientation));
    CGlyphFaces& faces = CGlyphFaces::Instance();
    std::lock_guard<std::mutex> lock(faces.Mutex());
    cairo_save(cr);
    CInk ink(cr);
    const bool anyShadow = std::any_of(text.charFonts.begin(), text.charFonts.end(),
                                       [](const FontData& f) { return f.shadow != msoFalse; });
    const std::vector<bool> linked = LinkedCharacters(text);

    for (const bool shadows : {true, false}) {
        if (shadows && !anyShadow) continue;
        const std::size_t paragraphCount = layout.Input().paragraphs.size();
        std::size_t paragraphStart = 0;
        for (std::size_t p = 0; p < paragraphCount && p < text.paragraphs.size(); ++p) {
            const fonts::layout::BulletPlacement bullet = layout.BulletOf(static_cast<int>(p));
            const std::size_t first = std::min(paragraphStart, text.charFonts.size() - 1);
            paragraphStart = chars.find(L'\r', paragraphStart);
            paragraphStart = paragraphStart == std::wstring::npos ? chars.size() : paragraphStart + 1;
            if (!bullet.shown || !bullet.metrics) continue;
            const BulletData& b = text.paragraphs[p].bullet;
            const FontData& textFont = text.charFonts[first];
            if (shadows && textFont.shadow == msoFalse) continue;
            const FontData& font = b.useTextFont != msoFalse ? textFont : b.font;
            FT_Face face = faces.Get(font.name, font.bold != msoFalse, font.italic != msoFalse);
            if (!face) continue;
            const double shift = shadows ? bullet.size * kTextShadowOffset : 0;
            ink.Use(shadows ? shadowColor : b.useTextColor != msoFalse ? textFont.color.rgb : b.font.color.rgb);
            double pen = 0;
            for (wchar_t c : bullet.text) {
                AddGlyph(cr, face, char32_t(c), bullet.originX - left + pen * std::cos(angle) + shift,
                         bullet.originY - top + pen * std::sin(angle) + shift, bullet.size, angle);
                pen += bullet.metrics->AdvanceEm(char32_t(c)) * bullet.size;
            }
        }

        for (std::size_t k = 0; k < chars.size(); ++k) {
            const FontData& font = text.charFonts[k];
            if (shadows && font.shadow == msoFalse) continue;
            const bool link = k < linked.size() && linked[k];
            const bool underline = (font.underline != msoFalse || link) && angle == 0;
            if (!Drawn(chars[k]) && !underline) continue;
            const fonts::layout::CharPlacement place = layout.Char(static_cast<int>(k));
            const double shift = shadows ? place.size * kTextShadowOffset : 0;
            const double x = place.originX - left + shift, y = place.originY - top + shift;
            const ULONG color = shadows ? shadowColor : link ? scheme.link : font.color.rgb;
            ink.Use(color);
            if (Drawn(chars[k]))
                if (FT_Face face = faces.Get(font.name, font.bold != msoFalse, font.italic != msoFalse))
                    AddGlyph(cr, face, char32_t(chars[k]), x, y, place.size, angle);
            if (underline && chars[k] != L'\r' && chars[k] != L'\v') {
                // Filled on its own: its winding must not cancel a descender's crossing it.
                ink.Flush();
                ink.Use(color);
                cairo_rectangle(cr, x, y + place.size * 0.1, place.bounds.width, std::max(0.5, place.size * 0.05));
                ink.Flush();
            }
        }
    }
    ink.Flush();
    cairo_restore(cr);
}

// ---- Keys of drawn text ------------------------------------------------------------------------

// Writes everything the layout and PaintText read of a shape's text, so that equal keys draw
// equal pixels: a member added to the text's state that changes how it is drawn joins it here.
class CTextKey {
public:
    template <class T>
    void Put(const T& value) {
        render::AppendKeyScalar(m_key, value);
    }
    void Put(const std::wstring& text) {
        Put(text.size());
        m_key.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    }
    void Put(const ColorData& c) {
        Put(c.rgb);
        Put(c.scheme);
    }
    void Put(const FontData& f) {
        Put(f.name);
        Put(f.nameAscii);
        Put(f.nameFarEast);
        Put(f.nameOther);
        Put(f.nameComplexScript);
        Put(f.size);
        Put(f.baselineOffset);
        for (MsoTriState t : {f.bold, f.italic, f.underline, f.shadow, f.emboss, f.subscript, f.superscript}) Put(t);
        Put(f.color);
    }
    void Put(const ParagraphData& p) {
        Put(p.alignment);
        Put(p.indentLevel);
        Put(p.baseLineAlignment);
        Put(p.spaceBefore);
        Put(p.spaceAfter);
        Put(p.spaceWithin);
        Put(p.lineRuleBefore);
        Put(p.lineRuleAfter);
        Put(p.lineRuleWithin);
        const BulletData& b = p.bullet;
        Put(b.visible);
        Put(b.type);
        Put(b.character);
        Put(b.relativeSize);
        Put(b.useTextColor);
        Put(b.useTextFont);
        Put(b.font);
        Put(b.style);
        Put(b.startValue);
    }
    void Put(const TextData& t) {
        Put(t.text);
        // Runs of equal fonts: a font and how many characters take it.
        Put(t.charFonts.size());
        for (std::size_t k = 0; k < t.charFonts.size();) {
            std::size_t n = 1;
            while (k + n < t.charFonts.size() && t.charFonts[k + n] == t.charFonts[k]) ++n;
            Put(n);
            Put(t.charFonts[k]);
            k += n;
        }
        Put(t.paragraphs.size());
        for (const ParagraphData& p : t.paragraphs) Put(p);
        Put(t.links.size());
        for (const TextLinkData& l : t.links) {
            Put(l.start);
            Put(l.length);
            Put(l.click.action);
            Put(l.over.action);
        }
        Put(t.fields.size());
        for (const TextFieldData& f : t.fields) {
            Put(f.kind);
            Put(f.position);
            Put(f.value);
        }
        for (float m : {t.marginLeft, t.marginTop, t.marginRight, t.marginBottom}) Put(m);
        Put(t.orientation);
        Put(t.horizontalAnchor);
        Put(t.verticalAnchor);
        Put(t.autoSize);
        Put(t.wordWrap);
        for (const RulerLevelData& r : t.rulerLevels) {
            Put(r.firstMargin);
            Put(r.leftMargin);
        }
    }
    std::string Take() { return std::move(m_key); }

private:
    std::string m_key;
};

// ---- Host state onto the renderer's model -------------------------------------------------------

render::FillData ToFill(const FillData& f, const std::vector<std::uint8_t>& pictureBytes) {
    render::FillData out;
    if (f.visible == msoFalse) return out;
    out.color = ClampColor(f.foreColor.rgb);
    out.color2 = ClampColor(f.backColor.rgb);
    out.transparency = std::clamp(double(f.transparency), 0.0, 1.0);
    switch (f.type) {
    case msoFillSolid:
        out.kind = render::FillKind::Solid;
        break;
    case msoFillPatterned:
        out.kind = pictureBytes.empty() ? render::FillKind::Solid : render::FillKind::Pattern;
        out.tileOriginX = f.tileOriginX;
        out.tileOriginY = f.tileOriginY;
        out.tileShapeOriginX = f.tileShapeOriginX;
        out.tileShapeOriginY = f.tileShapeOriginY;
        out.picture.bytes = pictureBytes;
        break;
    case msoFillGradient:
        out.kind = render::FillKind::Gradient;
        out.gradientAngle = f.gradientAngle;
        out.gradient = f.gradientKind == gradientRadial        ? render::GradientKind::Radial
                       : f.gradientKind == gradientRectangular ? render::GradientKind::Rectangular
                       : f.gradientKind == gradientPath        ? render::GradientKind::Path
                                                               : render::GradientKind::Linear;
        for (const GradientStopData& stop : f.gradientStops)
            out.stops.push_back({stop.position, ClampColor(stop.color.rgb),
                                 stop.transparency >= 0 ? std::clamp(double(stop.transparency), 0.0, 1.0) : -1.0});
        out.focusLeft = f.focusLeft;
        out.focusTop = f.focusTop;
        out.focusRight = f.focusRight;
        out.focusBottom = f.focusBottom;
        if (f.backTransparency >= 0) out.transparency2 = std::clamp(double(f.backTransparency), 0.0, 1.0);
        break;
    case msoFillTextured:
        out.kind = pictureBytes.empty() ? render::FillKind::Solid : render::FillKind::Texture;
        out.tileOriginX = f.tileOriginX;
        out.tileOriginY = f.tileOriginY;
        out.tileShapeOriginX = f.tileShapeOriginX;
        out.tileShapeOriginY = f.tileShapeOriginY;
        out.picture.bytes = pictureBytes;
        break;
    case msoFillPicture:
        out.kind = pictureBytes.empty() ? render::FillKind::Solid : render::FillKind::Picture;
        out.picture.bytes = pictureBytes;
        break;
    default:  // the background shows through
        break;
    }
    return out;
}

render::FreeformData FreeformOf(const GeometryData& g) {
    render::FreeformData f;
    f.vertices = g.vertices;
    f.segments = g.segments;
    for (std::size_t i = 0; i + 3 < g.guides.size(); i += 4)
        f.guides.push_back({g.guides[i], g.guides[i + 1], g.guides[i + 2], g.guides[i + 3]});
    f.geoLeft = g.geoLeft;
    f.geoTop = g.geoTop;
    f.geoRight = g.geoRight;
    f.geoBottom = g.geoBottom;
    return f;
}

// Crops are points of the picture as shown; the renderer takes fractions of the whole picture.
void ToCrop(const PictureData& p, double w, double h, render::PictureData& out) {
    const double fullW = w + p.cropLeft + p.cropRight, fullH = h + p.cropTop + p.cropBottom;
    if (fullW > 0 && std::isfinite(fullW)) {
        out.cropLeft = std::clamp(p.cropLeft / fullW, 0.0, 1.0);
        out.cropRight = std::clamp(p.cropRight / fullW, 0.0, 1.0);
    }
    if (fullH > 0 && std::isfinite(fullH)) {
        out.cropTop = std::clamp(p.cropTop / fullH, 0.0, 1.0);
        out.cropBottom = std::clamp(p.cropBottom / fullH, 0.0, 1.0);
    }
}

render::PictureColor ColorOf(MsoPictureColorType type) {
    switch (type) {
    case msoPictureGrayscale:
        return render::PictureColor::Grayscale;
    case msoPictureBlackAndWhite:
        return render::PictureColor::BlackAndWhite;
    case msoPictureWatermark:
        return render::PictureColor::Washout;
    default:
        return render::PictureColor::Automatic;
    }
}

bool IsOle(MsoShapeType t) {
    return t == msoEmbeddedOLEObject || t == msoLinkedOLEObject || t == msoOLEControlObject || t == msoMedia;
}

render::ShapeDrawing DrawingOf(const ShapeData& d) {
    render::ShapeDrawing s;
    s.frame = {d.left, d.top, std::max(0.0f, d.width), std::max(0.0f, d.height)};
    s.rotation = d.rotation;
    s.flipH = d.horizontalFlip != msoFalse;
    s.flipV = d.verticalFlip != msoFalse;
    s.adjustments.assign(d.adjustments.begin(), d.adjustments.end());
    s.autoShapeType = static_cast<int>(d.autoShapeType);
    const bool hasPicture = !d.picture.imageBytes.empty();
    // A placeholder filled with a picture shows it as its fill; one holding a picture shows it whole.
    const bool pictureFill = d.fill.type == msoFillPicture || d.fill.type == msoFillTextured;
    // The file's type names the geometry unless the AutoShape type was changed since loading.
    const int fileAutoShape = render::AutoShapeOfShapeType(d.shapeType);
    if (d.shapeType > 0 && (fileAutoShape == 0 || fileAutoShape == static_cast<int>(d.autoShapeType)))
        s.shapeType = d.shapeType;
    // Freeforms, and preset shapes whose points were edited, draw the file's own path.
    const bool ownGeometry = !d.geometry.vertices.empty() && (d.shapeType == 0 || !d.geometry.segments.empty());
    if (d.type == msoLine || d.connector != msoFalse)
        s.kind = render::ShapeKind::Line;
    else if (ownGeometry && d.type != msoPicture && d.type != msoPlaceholder && d.type != msoTextBox && !IsOle(d.type))
        s.kind = render::ShapeKind::Freeform;
    else if (d.type == msoPicture || d.type == msoLinkedPicture ||
             (hasPicture && (IsOle(d.type) || (d.type == msoPlaceholder && !pictureFill))))
        s.kind = render::ShapeKind::Picture;
    else if (d.type == msoAutoShape || d.type == msoCallout)
        s.kind = render::ShapeKind::AutoShape;
    else
        s.kind = render::ShapeKind::TextOnly;  // text boxes, placeholders, groups, freeforms without vertices
    s.fill = ToFill(d.fill, d.picture.imageBytes);
    s.line.visible = d.line.visible != msoFalse;
    s.line.color = ClampColor(d.line.foreColor.rgb);
    s.line.weight = d.line.weight;
    s.line.transparency = std::clamp(double(d.line.transparency), 0.0, 1.0);
    s.line.dashStyle = static_cast<int>(d.line.dashStyle);
    s.line.compound = static_cast<render::LineData::Compound>(std::clamp<LONG>(d.line.compound, 0, 4));
    s.line.beginArrow = {static_cast<int>(d.line.beginArrowheadStyle), static_cast<int>(d.line.beginArrowheadWidth),
                         static_cast<int>(d.line.beginArrowheadLength)};
    s.line.endArrow = {static_cast<int>(d.line.endArrowheadStyle), static_cast<int>(d.line.endArrowheadWidth),
                       static_cast<int>(d.line.endArrowheadLength)};
    s.freeform = FreeformOf(d.geometry);
    if (s.kind != render::ShapeKind::Freeform) {
        s.freeform.vertices.clear();
        s.freeform.segments.clear();
        s.freeform.guides.clear();
    }
    s.shadow.visible = d.shadow.visible != msoFalse;
    s.shadow.offsetX = d.shadow.offsetX;
    s.shadow.offsetY = d.shadow.offsetY;
    s.shadow.color = ClampColor(d.shadow.color.rgb);
    s.shadow.transparency = std::clamp(double(d.shadow.transparency), 0.0, 1.0);
    if (s.kind == render::ShapeKind::Picture) {
        s.picture.bytes = d.picture.imageBytes;
        s.picture.brightness = d.picture.brightness;
        s.picture.contrast = d.picture.contrast;
        s.picture.color = ColorOf(d.picture.colorType);
        s.picture.hasTransparentColor = d.picture.hasTransparencyColor;
        s.picture.transparentColor = d.picture.transparencyColor & 0xFFFFFF;
        ToCrop(d.picture, s.frame.width, s.frame.height, s.picture);
    }
    return s;
}

bool HasText(const ShapeData& d) { return d.hasTextFrame != msoFalse && !d.text.text.empty(); }

// The key of a shape's text as PaintText draws it with these scheme colours.
std::string TextKeyOf(const ShapeData& d, const TextSchemeColors& scheme) {
    CTextKey key;
    key.Put(d.text);
    for (float v : {d.left, d.top, d.width, d.height, d.rotation}) key.Put(v);
    key.Put(scheme.shadow);
    key.Put(scheme.link);
    return key.Take();
}

// What this document's exports drew before.
struct CDrawnPictures : CHostDocument::Object {
    render::PictureMemory memory;
};

render::PictureMemory& MemoryOf(CHostDocument* doc) { return Obtain<CDrawnPictures>(doc, doc, 0, 0)->memory; }

const CHostMaster* MasterOf(const CHostNode* node) {
    for (const CHostNode* n = node; n; n = n->Owner()) {
        if (auto* master = dynamic_cast<const CHostMaster*>(n)) return master;
        if (auto* slide = dynamic_cast<const CHostSlide*>(n))
            return slide->master ? slide->master : slide->Document()->Master();
    }
    return node ? node->Document()->Master() : nullptr;
}

// Text shadows take the colour scheme's shadow colour, linked text its hyperlink colour: the
// slide's own scheme on a slide, the master's elsewhere.
TextSchemeColors SchemeColorsOf(const CHostNode* node) {
    const ULONG* scheme = nullptr;
    for (const CHostNode* n = node; n && !scheme; n = n->Owner()) {
        if (auto* slide = dynamic_cast<const CHostSlide*>(n)) scheme = slide->colorScheme;
        if (auto* master = dynamic_cast<const CHostMaster*>(n)) scheme = master->colorScheme;
    }
    if (!scheme) {
        const CHostMaster* master = MasterOf(node);
        if (!master) return TextSchemeColors();
        scheme = master->colorScheme;
    }
    TextSchemeColors colors;
    colors.shadow = scheme[2];
    colors.link = scheme[6];
    return colors;
}

// What a field shows on a slide: the slide's number, or the slide's date, footer or header
// where it has one.
std::wstring FieldValue(const TextFieldData& f, const CHostSlide* slide, const HeadersFootersData& hf) {
    switch (f.kind) {
    case TextFieldData::SlideNumber:
        return slide && slide->SlideIndex() > 0 ? std::to_wstring(slide->SlideIndex()) : f.value;
    case TextFieldData::DateTime:
        return !hf.dateAndTime.text.empty() ? hf.dateAndTime.text : f.value;
    case TextFieldData::Footer:
        return hf.footer.text;
    case TextFieldData::Header:
        return hf.header.text;
    }
    return f.value;
}

// A drawing of shape state made for one picture, with a layout of its own.
render::ShapeDrawing OwnTextDrawing(const ShapeData& d, const TextSchemeColors& scheme) {
    render::ShapeDrawing s = DrawingOf(d);
    if (!HasText(d)) return s;
    auto layout = std::make_shared<fonts::layout::CTextLayout>();
    layout->SetInput(LayoutInputOf(d));
    auto textData = std::make_shared<TextData>(d.text);
    const double left = d.left, top = d.top;
    s.textKey = TextKeyOf(d, scheme);
    s.text = [layout, textData, left, top, scheme](cairo_t* cr) {
        PaintText(cr, *layout, *textData, left, top, scheme);
    };
    return s;
}

// A master's shape whose text holds fields, drawn on a slide with that slide's values.
render::ShapeDrawing FieldsDrawing(const ShapeData& shape, const CHostSlide* slide, const HeadersFootersData& hf) {
    ShapeData d = shape;
    for (TextFieldData& f : d.text.fields) f.value = FieldValue(f, slide, hf);
    d.text.ExpandFields();
    return OwnTextDrawing(d, SchemeColorsOf(slide));
}

// A date, footer or slide number: the master's placeholder of that kind with the element's
// text (its fields filled in, when it has any), or where a new master puts it.
render::ShapeDrawing HeaderFooterDrawing(const CHostMaster* master, LONG kind, const std::wstring& text,
                                         float slideWidth, float slideHeight, const CHostSlide* slide,
                                         const HeadersFootersData& hf) {
    ShapeData d;
    const CHostShape* placeholder = nullptr;
    for (const CHostShape* s : master->shapes)
        if (s->data.placeholderType == kind && !s->IsDeleted()) {
            placeholder = s;
            break;
        }
    if (placeholder && !placeholder->data.text.fields.empty()) {
        d = placeholder->data;
        d.hasTextFrame = msoTrue;
        return FieldsDrawing(d, slide, hf);
    }
    FontData font;
    ParagraphData paragraph;
    if (placeholder) {
        d = placeholder->data;
        if (!d.text.charFonts.empty()) font = d.text.charFonts.front();
        if (!d.text.paragraphs.empty()) paragraph = d.text.paragraphs.front();
    } else {
        const float sx = slideWidth / 720.0f, sy = slideHeight / 540.0f;
        const float left = kind == ppPlaceholderDate ? 36.0f : kind == ppPlaceholderFooter ? 246.0f : 516.0f;
        const float width = kind == ppPlaceholderFooter ? 228.0f : 168.0f;
        d.type = msoPlaceholder;
        d.left = left * sx;
        d.top = 492.0f * sy;
        d.width = width * sx;
        d.height = 36.0f * sy;
        d.fill.visible = msoFalse;
        d.line.visible = msoFalse;
        font.size = 14;
        font.color.rgb = 0x808080;
        paragraph.alignment = kind == ppPlaceholderDate     ? ppAlignLeft
                              : kind == ppPlaceholderFooter ? ppAlignCenter
                                                            : ppAlignRight;
    }
    d.hasTextFrame = msoTrue;
    d.text.text.clear();
    d.text.charFonts.clear();
    d.text.paragraphs.clear();
    d.text.links.clear();
    d.text.fields.clear();
    d.text.AddRun(text, font, paragraph);
    return OwnTextDrawing(d, SchemeColorsOf(slide));
}

bool SameText(const std::wstring& a, const wchar_t* b) {
    std::wstring lower;
    for (wchar_t c : a) lower += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return lower == b;
}

HRESULT FailureOf(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e)) return E_OUTOFMEMORY;
    return E_FAIL;
}

}  // namespace

void SlideSizeOf(const CHostNode* node, float& width, float& height) {
    const CHostMaster* master = MasterOf(node);
    width = master ? master->width : 720.0f;
    height = master ? master->height : 540.0f;
}

render::ShapeDrawing ShapeDrawingOf(CHostShape* shape) {
    render::ShapeDrawing s = DrawingOf(shape->data);
    if (HasText(shape->data)) {
        CHostDocumentRef keep(shape->Document());
        s.text = [keep, shape](cairo_t* cr) {
            PaintText(cr, LayoutOf(shape), shape->data.text, shape->data.left, shape->data.top, SchemeColorsOf(shape));
        };
        s.textKey = TextKeyOf(shape->data, SchemeColorsOf(shape));
    }
    return s;
}

render::SlideDrawing SlideDrawingOf(CHostSlide* slide, std::vector<CHostShape*>* drawn) {
    std::vector<CHostShape*> behind;
    render::SlideDrawing drawing;
    float width = 0, height = 0;
    SlideSizeOf(slide, width, height);
    drawing.width = width;
    drawing.height = height;
    const CHostMaster* master = MasterOf(slide);
    const BackgroundData& background =
        slide->followMasterBackground != msoFalse && master ? master->background : slide->background;
    drawing.background = ToFill(background.fill, background.imageBytes);
    if (drawing.background.kind == render::FillKind::None) drawing.background = render::FillData::Solid(0xFFFFFF);
    // The master's own graphics lie under the slide's shapes; its placeholders do not show.
    if (master)
        for (CHostShape* shape : master->shapes)
            if (shape->data.type != msoPlaceholder && shape->data.visible != msoFalse && !shape->IsDeleted()) {
                drawing.shapes.push_back(shape->data.text.fields.empty()
                                             ? ShapeDrawingOf(shape)
                                             : FieldsDrawing(shape->data, slide, slide->headersFooters));
                behind.push_back(shape);
            }
    drawing.layerShapes = drawing.shapes.size();
    // A date, footer or slide number placeholder of the slide's own shows only while its element
    // is visible, and stands in for the one drawn from the master.
    const HeadersFootersData& hf = slide->headersFooters;
    const std::pair<LONG, const HeaderFooterData*> elements[] = {{ppPlaceholderDate, &hf.dateAndTime},
                                                                 {ppPlaceholderFooter, &hf.footer},
                                                                 {ppPlaceholderSlideNumber, &hf.slideNumber}};
    bool own[3] = {false, false, false};
    for (CHostShape* shape : slide->shapes) {
        if (shape->data.visible == msoFalse || shape->IsDeleted()) continue;
        bool shown = true;
        for (int k = 0; k < 3; ++k)
            if (shape->data.type == msoPlaceholder && shape->data.placeholderType == elements[k].first) {
                own[k] = true;
                shown = elements[k].second->visible != msoFalse;
            }
        if (!shown) continue;
        drawing.shapes.push_back(ShapeDrawingOf(shape));
        behind.push_back(shape);
    }
    // A master with placeholders shows only the elements it has a place for: one whose date or
    // footer placeholder was deleted shows no date or footer. A master without any placeholder
    // (one made in code) takes the places a new master has.
    bool places[3] = {true, true, true};
    if (master && std::any_of(master->shapes.begin(), master->shapes.end(),
                              [](const CHostShape* s) { return s->data.type == msoPlaceholder && !s->IsDeleted(); })) {
        for (int k = 0; k < 3; ++k)
            places[k] = std::any_of(master->shapes.begin(), master->shapes.end(), [&](const CHostShape* s) {
                return s->data.placeholderType == elements[k].first && !s->IsDeleted();
            });
    }
    for (int k = 0; k < 3; ++k) own[k] = own[k] || !places[k];
    if (master) {
        if (!own[0] && hf.dateAndTime.visible != msoFalse && !hf.dateAndTime.text.empty())
            drawing.shapes.push_back(
                HeaderFooterDrawing(master, ppPlaceholderDate, hf.dateAndTime.text, width, height, slide, hf));
        if (!own[1] && hf.footer.visible != msoFalse && !hf.footer.text.empty())
            drawing.shapes.push_back(
                HeaderFooterDrawing(master, ppPlaceholderFooter, hf.footer.text, width, height, slide, hf));
        if (!own[2] && hf.slideNumber.visible != msoFalse && slide->SlideIndex() > 0)
            drawing.shapes.push_back(HeaderFooterDrawing(
                master, ppPlaceholderSlideNumber, std::to_wstring(slide->SlideIndex()), width, height, slide, hf));
    }
    if (drawn) {
        behind.resize(drawing.shapes.size(), nullptr);
        *drawn = std::move(behind);
    }
    return drawing;
}

HRESULT ExportShapePicture(CHostShape* shape, const std::wstring& path, PpShapeFormat filter, LONG scaleWidth,
                           LONG scaleHeight, PpExportMode mode) {
    if (path.empty() || scaleWidth <= 0 || scaleHeight <= 0) return E_INVALIDARG;
    // The scales are the slide's size in pixels; fitting the shape to them is not offered.
    if (mode != ppRelativeToSlide && mode != ppClipRelativeToSlide && mode != ppScaleXY) return E_INVALIDARG;
    if (filter != ppShapeFormatPNG && filter != ppShapeFormatWMF)
        return filter >= ppShapeFormatGIF && filter <= ppShapeFormatEMF ? E_NOTIMPL : E_INVALIDARG;
    float width = 0, height = 0;
    SlideSizeOf(shape, width, height);
    if (!(width > 0) || !(height > 0)) return E_FAIL;
    const double sx = double(scaleWidth) / width, sy = double(scaleHeight) / height;
    try {
        const render::ShapeDrawing drawing = ShapeDrawingOf(shape);
        const std::filesystem::path file(Utf8Path(path));
        if (filter == ppShapeFormatPNG)
            render::RenderShapePng(drawing, sx, sy, file, &MemoryOf(shape->Document()));
        else
            render::RenderShapeWmf(drawing, sx, sy, file);
    } catch (const std::exception& e) {
        return FailureOf(e);
    }
    return S_OK;
}

HRESULT ExportSlidePicture(CHostSlide* slide, const std::wstring& path, const std::wstring& filter, LONG width,
                           LONG height) {
    if (path.empty() || width <= 0 || height <= 0) return E_INVALIDARG;
    if (!SameText(filter, L"png")) return E_NOTIMPL;
    try {
        render::RenderSlidePng(SlideDrawingOf(slide), static_cast<int>(width), static_cast<int>(height),
                               std::filesystem::path(Utf8Path(path)), &MemoryOf(slide->Document()));
    } catch (const std::exception& e) {
        return FailureOf(e);
    }
    return S_OK;
}

}  // namespace Host
}  // namespace PowerPoint
