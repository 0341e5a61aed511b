// Shapes of a drawing: geometry (groups flattened into slide coordinates), fill, line, pictures,
// placeholders, OLE and media objects, text frames, actions and animation settings.

#include "LoaderInternal.h"
#include "powerpoint/layout/HostTextLayout.h"

#include "libpptparser/PptContainers.h"
#include "powerpoint/controls/FlashControl.h"
#include "render/ShapeGeometry.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace PowerPoint {
namespace Loader {
namespace Detail {

using namespace Host;

namespace {

// Groups nest by their records; deeper nesting than this is refused as damage.
constexpr int kMaxGroupDepth = 32;

// A storage that claims more than this is not believed.
constexpr std::uint32_t kMaxStorageSize = 128u * 1024u * 1024u;

// What the application stores for a washed-out picture: brightness +0.35, contrast 0.3.
constexpr std::uint32_t kWashoutBrightness = 0x599A;
constexpr std::uint32_t kWashoutContrast = 0x4CCD;

// The storage image of an OLE object (uncompressed, or inflated from instance 1); empty with a
// warning when the record is missing or damaged.
std::vector<std::uint8_t> ReadObjectStorage(CLoadContext& ctx, const CPptContainer& exObject) {
    RecordPtr atom = FirstChild(&exObject, libpptparser::kRecordExOleObjAtom);
    if (!atom || atom->GetBytes().size() < 20) return {};
    RecordPtr stg = ctx.RecordAtPersist(atom->GetBytes().U32(16));
    if (!stg || stg->GetType() != libpptparser::kRecordExOleObjStg) {
        ctx.Warn(L"an embedded object's storage is missing from the file");
        return {};
    }
    const CPptByteView b = stg->GetBytes();
    std::vector<std::uint8_t> out;
    if (stg->GetInstance() == 0) {
        if (b.size() > kMaxStorageSize || !ctx.CanCopy(b.size())) return {};
        out.assign(b.data(), b.data() + b.size());
        return out;
    }
    const std::uint32_t expected = b.size() >= 4 ? b.U32(0) : 0;
    // Deflate shrinks data by about a thousand at most; a larger claim is not believed.
    if (expected == 0 || expected > kMaxStorageSize || expected / 1032 > b.size() || !ctx.CanCopy(expected)) {
        ctx.Warn(L"an embedded object's storage has an impossible size");
        return {};
    }
    out.assign(expected, 0);
    uLongf produced = expected;
    if (uncompress(out.data(), &produced, b.data() + 4, static_cast<uLong>(b.size() - 4)) != Z_OK ||
        produced != expected) {
        ctx.Warn(L"an embedded object's storage could not be inflated");
        return {};
    }
    return out;
}

struct Rect {
    double left = 0, top = 0, right = 0, bottom = 0;
};

constexpr double kPi = 3.14159265358979323846;

// Maps a group's own coordinates to slide points: p' = m * p + t, with the rotation and flips
// the group's children take on and the scale along the group's own axes.
struct Transform {
    double m[4] = {1, 0, 0, 1};
    double tx = 0, ty = 0;
    double sx = 1, sy = 1;
    double rotation = 0;
    bool flipH = false, flipV = false;

    void Map(double x, double y, double& ox, double& oy) const {
        ox = m[0] * x + m[1] * y + tx;
        oy = m[2] * x + m[3] * y + ty;
    }
};

bool ReadClientAnchor(const CPptRecord& r, Rect& out) {
    const CPptByteView b = r.GetBytes();
    if (b.size() >= 16) {
        out = {b.I32(4) / 8.0, b.I32(0) / 8.0, b.I32(8) / 8.0, b.I32(12) / 8.0};
        return true;
    }
    if (b.size() >= 8) {
        out = {b.I16(2) / 8.0, b.I16(0) / 8.0, b.I16(4) / 8.0, b.I16(6) / 8.0};
        return true;
    }
    return false;
}

// In the group's own units.
bool ReadChildAnchor(const CPptRecord& r, Rect& out) {
    const CPptByteView b = r.GetBytes();
    if (b.size() < 16) return false;
    out = {static_cast<double>(b.I32(0)), static_cast<double>(b.I32(4)), static_cast<double>(b.I32(8)),
           static_cast<double>(b.I32(12))};
    return true;
}

// Between 45 and 135 degrees (and 225 to 315) the stored box is the turned one.
bool StoredTurned(double rotation) { return (rotation >= 45 && rotation < 135) || (rotation >= 225 && rotation < 315); }

double NormalDegrees(double r) {
    if (!std::isfinite(r)) return 0;
    r = std::fmod(r, 360.0);
    return r < 0 ? r + 360.0 : r;
}

// Where a shape with an anchor in the group's units and its own rotation and flips lies on the
// slide: centre, size, and the rotation and flips it is drawn with.
struct Placed {
    double cx = 0, cy = 0, w = 0, h = 0, rotation = 0;
    bool flipH = false, flipV = false;
};

Placed Place(const Transform& t, const Rect& r, double rotation, bool flipH, bool flipV) {
    Placed p;
    t.Map((r.left + r.right) / 2, (r.top + r.bottom) / 2, p.cx, p.cy);
    double w = r.right - r.left, h = r.bottom - r.top;
    if (StoredTurned(rotation)) {
        std::swap(w, h);
        p.w = w * t.sy;
        p.h = h * t.sx;
    } else {
        p.w = w * t.sx;
        p.h = h * t.sy;
    }
    // Flips apply after the turn: the group's turn reaches a mirrored child the other way.
    const bool mirrored = flipH != flipV;
    p.rotation = NormalDegrees(rotation + (mirrored ? -t.rotation : t.rotation));
    p.flipH = flipH != t.flipH;
    p.flipV = flipV != t.flipV;
    return p;
}

MsoAutoShapeType AutoShapeOf(std::uint16_t spt) {
    const int type = render::AutoShapeOfShapeType(spt);
    return type > 0 ? static_cast<MsoAutoShapeType>(type) : msoShapeNotPrimitive;
}

std::wstring KindName(MsoShapeType type, std::uint16_t spt) {
    switch (type) {
    case msoPlaceholder:
        return L"Rectangle";
    case msoPicture:
        return L"Picture";
    case msoTextBox:
        return L"Text Box";
    case msoLine:
        return L"Line";
    case msoGroup:
        return L"Group";
    case msoEmbeddedOLEObject:
    case msoLinkedOLEObject:
    case msoOLEControlObject:
        return L"Object";
    case msoMedia:
        return L"Media";
    case msoFreeform:
        return L"Freeform";
    default:
        break;
    }
    switch (spt) {
    case 1:
        return L"Rectangle";
    case 3:
        return L"Oval";
    default:
        return L"AutoShape";
    }
}

double Fixed(std::uint32_t v) { return static_cast<std::int32_t>(v) / 65536.0; }

// A property of the shape itself, else of the master shape it inherits from.
bool Prop(const COptTable& own, const COptTable* inherited, std::uint16_t id, std::uint32_t& v) {
    return own.Get(id, v) || (inherited && inherited->Get(id, v));
}

// One flag of a packed boolean property: where its use bit is set, own value first.
bool BoolProp(const COptTable& own, const COptTable* inherited, std::uint16_t id, int bit, bool fallback) {
    std::uint32_t v = 0;
    if (own.Get(id, v) && (v & (1u << (bit + 16)))) return (v & (1u << bit)) != 0;
    if (inherited && inherited->Get(id, v) && (v & (1u << (bit + 16)))) return (v & (1u << bit)) != 0;
    return fallback;
}

int PlaceholderTextType(int placeholder) {
    switch (placeholder) {
    case 1:
    case 13:
    case 17:
        return 0;  // titles
    case 3:
    case 15:
        return 6;  // centred titles
    case 4:
    case 16:
        return 5;  // subtitles
    case 2:
    case 14:
    case 18:
    case 19:
        return 1;
    case 6:
    case 12:
        return 2;
    default:
        return 4;
    }
}

// The object model's placeholder type of a file's placeholder id; 0 for those it has no name for.
LONG PlaceholderTypeOf(int placeholder) {
    static const LONG kTypes[] = {
        0,  1,  2,  3,  4,       // master title, body, centred title, subtitle
        0,  2,                   // notes page: slide image, body
        16, 13, 15, 14,          // master date, slide number, footer, header
        0,  2,                   // notes slide image, notes body
        1,  2,  3,  4,           // title, body, centred title, subtitle
        5,  6,                   // vertical title and body
        7,  8,  12, 9,  11, 10,  // object, chart, table, clip art, organisation chart, media clip
        17, 18,                  // vertical object, picture
    };
    return placeholder > 0 && placeholder < static_cast<int>(std::size(kTypes)) ? kTypes[placeholder] : 0;
}

// The master placeholder a slide placeholder inherits from.
int MasterPlaceholderOf(int placeholder) {
    switch (placeholder) {
    case 13:
    case 17:
        return 1;
    case 15:
        return 3;
    case 16:
        return 4;
    case 14:
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
    case 23:
    case 24:
    case 25:
    case 26:
        return 2;
    default:
        return placeholder <= 10 ? placeholder : -1;
    }
}

// A colour of a shape's property: as OptColor, and also the colours taken from the shape's other
// properties with their modification (darker, lighter, ...).
ColorData ShapeColor(std::uint32_t value, const ULONG* scheme, ULONG fallback, ULONG fill, ULONG line) {
    if (!((value >> 24) & 0x10) || ((value >> 24) & 0x08)) return OptColor(value, scheme, fallback);
    ColorData c;
    const std::uint32_t source = value & 0xFF, procedure = (value >> 8) & 0xFF, param = (value >> 16) & 0xFF;
    ULONG base = fallback;
    switch (source) {
    case 0xF0:  // the fill colour
    case 0xF7:  // fill, else line
    case 0xF4:  // the colour being changed
        base = fill;
        break;
    case 0xF1:
    case 0xF2:
    case 0xF6:
        base = line;
        break;
    default:
        return OptColor(value, scheme, fallback);
    }
    auto apply = [&](std::uint32_t ch) -> std::uint32_t {
        int v = static_cast<int>(ch);
        switch (procedure & 0x0F) {
        case 1:  // darker
            v = v * static_cast<int>(param) / 255;
            break;
        case 2:  // lighter
            v = 255 - (255 - v) * static_cast<int>(param) / 255;
            break;
        case 3:
            v += static_cast<int>(param);
            break;
        case 4:
            v -= static_cast<int>(param);
            break;
        case 5:
            v = static_cast<int>(param) - v;
            break;
        case 6:
            v = v < static_cast<int>(param) ? 0 : 255;
            break;
        default:
            break;
        }
        v = std::clamp(v, 0, 255);
        if (procedure & 0x20) v = 255 - v;
        if (procedure & 0x40) v ^= 0x80;
        return static_cast<std::uint32_t>(v);
    };
    c.rgb = apply(base & 0xFF) | (apply((base >> 8) & 0xFF) << 8) | (apply((base >> 16) & 0xFF) << 16);
    return c;
}

// The elements of an array property: count and element size from its 6-byte header, only as many
// as its data holds.
CPptByteView ArrayOf(const COptTable& opt, std::uint16_t id, std::size_t fallbackSize, std::size_t& count,
                     std::size_t& size) {
    count = size = 0;
    const OptProperty* p = opt.Find(id);
    if (!p || !p->complex || p->complexData.size() < 6) return CPptByteView();
    const CPptByteView b = p->complexData;
    const std::uint16_t n = b.U16(0), elem = b.U16(4);
    size = elem == 0xFFF0 ? 4 : (elem ? elem : fallbackSize);
    if (size == 0 || size > 64) return CPptByteView();
    count = std::min<std::size_t>(n, (b.size() - 6) / size);
    return CPptByteView(b.data() + 6, count * size);
}

// A freeform's own geometry: vertices, segments, guides and its box.
void ReadGeometry(const COptTable& opt, GeometryData& g) {
    std::size_t count = 0, size = 0;
    CPptByteView v = ArrayOf(opt, 0x145, 8, count, size);
    if (count > render::kMaxVertices) count = 0;  // over the cap: not read at all
    g.vertices.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        if (size >= 8) {
            g.vertices.push_back(v.I32(i * size));
            g.vertices.push_back(v.I32(i * size + 4));
        } else if (size >= 4) {
            g.vertices.push_back(v.U16(i * size));
            g.vertices.push_back(v.U16(i * size + 2));
        }
    }
    CPptByteView segs = ArrayOf(opt, 0x146, 2, count, size);
    if (count <= render::kMaxSegments && size >= 2)
        for (std::size_t i = 0; i < count; ++i) g.segments.push_back(segs.U16(i * size));
    CPptByteView guides = ArrayOf(opt, 0x156, 8, count, size);
    if (count <= render::kMaxFormulas && size >= 8)
        for (std::size_t i = 0; i < count; ++i)
            for (int k = 0; k < 4; ++k) g.guides.push_back(guides.U16(i * size + k * 2));
    std::uint32_t x = 0;
    if (opt.Get(0x140, x)) g.geoLeft = static_cast<float>(static_cast<std::int32_t>(x));
    if (opt.Get(0x141, x)) g.geoTop = static_cast<float>(static_cast<std::int32_t>(x));
    if (opt.Get(0x142, x)) g.geoRight = static_cast<float>(static_cast<std::int32_t>(x));
    if (opt.Get(0x143, x)) g.geoBottom = static_cast<float>(static_cast<std::int32_t>(x));
}

// Colours along a shaded fill. The focus puts the back colour at that fraction of the run (100 at
// its end, 0 at its start, between: the fill colour at both ends); a negative focus swaps them.
void ReadGradient(const COptTable& opt, const COptTable* inherited, std::uint32_t type, const SheetState& sheet,
                  ULONG line, FillData& fill) {
    std::uint32_t v = 0;
    fill.gradientKind = type == 5 || type == 8 ? gradientRectangular : type == 6 ? gradientPath : gradientLinear;
    const double angle = Prop(opt, inherited, 0x18B, v) ? Fixed(v) : 0.0;
    fill.gradientAngle = static_cast<float>(NormalDegrees(90.0 - angle));
    double focus = Prop(opt, inherited, 0x18C, v) ? static_cast<std::int32_t>(v) / 100.0 : 0.0;
    focus = std::clamp(focus, -1.0, 1.0);
    auto fraction = [&](std::uint16_t id) {
        return static_cast<float>(std::clamp(Prop(opt, inherited, id, v) ? Fixed(v) : 0.0, 0.0, 1.0));
    };
    fill.focusLeft = fraction(0x18D);
    fill.focusTop = fraction(0x18E);
    fill.focusRight = std::max(fill.focusLeft, fraction(0x18F));
    fill.focusBottom = std::max(fill.focusTop, fraction(0x190));

    // The run from the fill colour to the back colour, or the stored colours.
    std::vector<GradientStopData> run = {{0.0f, fill.foreColor}, {1.0f, fill.backColor}};
    std::size_t count = 0, size = 0;
    CPptByteView colors = ArrayOf(opt, 0x197, 8, count, size);
    if (count >= 2 && count <= 64 && size >= 8) {
        run.clear();
        for (std::size_t i = 0; i < count; ++i) {
            GradientStopData stop;
            stop.color = ShapeColor(colors.U32(i * size), sheet.scheme, 0xFFFFFF, fill.foreColor.rgb, line);
            stop.position = static_cast<float>(std::clamp(Fixed(colors.U32(i * size + 4)), 0.0, 1.0));
            run.push_back(stop);
        }
    }
    // Each colour keeps its transparency wherever the focus puts it: the fill colour's at the
    // run's start, the back colour's at its end.
    const float foreT = fill.transparency, backT = fill.backTransparency >= 0 ? fill.backTransparency : foreT;
    for (GradientStopData& s : run) s.transparency = foreT + (backT - foreT) * s.position;
    if (focus < 0) {
        for (GradientStopData& s : run) s.position = 1.0f - s.position;
        std::reverse(run.begin(), run.end());
        focus = -focus;
    }
    std::vector<GradientStopData>& out = fill.gradientStops;
    out.clear();
    if (focus >= 0.995) {
        out = run;
    } else if (focus <= 0.005) {
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            out.push_back({1.0f - it->position, it->color, it->transparency});
    } else {
        for (const GradientStopData& s : run)
            out.push_back({static_cast<float>(s.position * focus), s.color, s.transparency});
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            out.push_back(
                {static_cast<float>(focus + (1.0 - focus) * (1.0 - it->position)), it->color, it->transparency});
    }
}

void ReadFill(const COptTable& opt, const COptTable* inherited, const SheetState& sheet, bool filledByDefault,
              CLoadContext& ctx, FillData& fill, std::vector<std::uint8_t>* pictureBytes) {
    std::uint32_t v = 0;
    const bool filled = BoolProp(opt, inherited, 0x1BF, 4, filledByDefault);
    fill.visible = filled ? msoTrue : msoFalse;
    std::uint32_t type = 0;
    Prop(opt, inherited, 0x180, type);
    switch (type) {
    case 0:
        fill.type = msoFillSolid;
        break;
    case 1:
        fill.type = msoFillPatterned;
        break;
    case 2:
        fill.type = msoFillTextured;
        break;
    case 3:
        fill.type = msoFillPicture;
        break;
    case 9:
        fill.type = msoFillBackground;
        break;
    default:
        fill.type = msoFillGradient;
        break;
    }
    std::uint32_t lineValue = 0;
    Prop(opt, inherited, 0x1C0, lineValue);
    const ULONG line = OptColor(lineValue, sheet.scheme, 0).rgb;
    std::uint32_t color = 0xFFFFFF;
    Prop(opt, inherited, 0x181, color);
    fill.foreColor = ShapeColor(color, sheet.scheme, 0xFFFFFF, 0xFFFFFF, line);
    std::uint32_t back = 0xFFFFFF;
    Prop(opt, inherited, 0x183, back);
    fill.backColor = ShapeColor(back, sheet.scheme, 0xFFFFFF, fill.foreColor.rgb, line);
    std::uint32_t opacity = 0x10000;
    Prop(opt, inherited, 0x182, opacity);
    fill.transparency = static_cast<float>(std::min(1.0, std::max(0.0, 1.0 - Fixed(opacity))));
    if (Prop(opt, inherited, 0x184, opacity))
        fill.backTransparency = static_cast<float>(std::min(1.0, std::max(0.0, 1.0 - Fixed(opacity))));
    // A shaded fill's back colour is opaque unless it says otherwise, whatever the fill colour's.
    if (fill.type == msoFillGradient && fill.backTransparency < 0) fill.backTransparency = 0.0f;
    if (fill.type == msoFillGradient) ReadGradient(opt, inherited, type, sheet, line, fill);
    const std::pair<std::uint16_t, float*> origins[] = {{0x198, &fill.tileOriginX},
                                                        {0x199, &fill.tileOriginY},
                                                        {0x19A, &fill.tileShapeOriginX},
                                                        {0x19B, &fill.tileShapeOriginY}};
    for (const auto& [id, target] : origins)
        if (Prop(opt, inherited, id, v)) *target = static_cast<float>(std::clamp(Fixed(v), -100.0, 100.0));
    if (pictureBytes && type >= 1 && type <= 3 && Prop(opt, inherited, 0x186, v) && v >= 1 && v <= ctx.blips.size() &&
        ctx.CanCopy(ctx.blips[v - 1].bytes.size()))
        *pictureBytes = ctx.blips[v - 1].bytes;
}

void ReadLine(const COptTable& opt, const COptTable* inherited, const SheetState& sheet, bool lineByDefault,
              LineData& line) {
    const bool visible = BoolProp(opt, inherited, 0x1FF, 3, lineByDefault);
    line.visible = visible ? msoTrue : msoFalse;
    std::uint32_t color = 0;
    Prop(opt, inherited, 0x1C0, color);
    line.foreColor = OptColor(color, sheet.scheme, 0);
    std::uint32_t back = 0xFFFFFF;
    Prop(opt, inherited, 0x1C2, back);
    line.backColor = OptColor(back, sheet.scheme, 0xFFFFFF);
    std::uint32_t opacity = 0x10000;
    Prop(opt, inherited, 0x1C1, opacity);
    line.transparency = static_cast<float>(std::min(1.0, std::max(0.0, 1.0 - Fixed(opacity))));
    std::uint32_t width = 9525;
    Prop(opt, inherited, 0x1CB, width);
    line.weight = static_cast<float>(width / 12700.0);
    std::uint32_t dash = 0;
    Prop(opt, inherited, 0x1CE, dash);
    static const MsoLineDashStyle kDash[] = {msoLineSolid, msoLineDash, 3, 5, 6, 3, msoLineDash, 7, 5, 8, 6};
    line.dashStyle = dash < 11 ? kDash[dash] : msoLineSolid;
    std::uint32_t v = 0;
    if (Prop(opt, inherited, 0x1CD, v) && v <= 4) line.compound = static_cast<LONG>(v);
    // The file's arrowheads: none, triangle, stealth, diamond, oval, open.
    static const LONG kArrow[] = {1, 2, 4, 5, 6, 3};
    auto arrow = [&](std::uint16_t id, LONG& out) {
        if (Prop(opt, inherited, id, v) && v < 6) out = kArrow[v];
    };
    auto size = [&](std::uint16_t id, LONG& out) {
        if (Prop(opt, inherited, id, v) && v <= 2) out = static_cast<LONG>(v) + 1;
    };
    arrow(0x1D0, line.beginArrowheadStyle);
    arrow(0x1D1, line.endArrowheadStyle);
    size(0x1D2, line.beginArrowheadWidth);
    size(0x1D3, line.beginArrowheadLength);
    size(0x1D4, line.endArrowheadWidth);
    size(0x1D5, line.endArrowheadLength);
}

void ReadShadow(const COptTable& opt, const COptTable* inherited, const SheetState& sheet, ShadowData& shadow) {
    shadow.visible = BoolProp(opt, inherited, 0x23F, 1, false) ? msoTrue : msoFalse;
    std::uint32_t v = 0x808080;
    Prop(opt, inherited, 0x201, v);
    shadow.color = OptColor(v, sheet.scheme, 0x808080);
    v = 0x10000;
    Prop(opt, inherited, 0x204, v);
    shadow.transparency = static_cast<float>(std::clamp(1.0 - Fixed(v), 0.0, 1.0));
    std::uint32_t x = 25400, y = 25400;
    Prop(opt, inherited, 0x205, x);
    Prop(opt, inherited, 0x206, y);
    shadow.offsetX = static_cast<float>(static_cast<std::int32_t>(x) / 12700.0);
    shadow.offsetY = static_cast<float>(static_cast<std::int32_t>(y) / 12700.0);
}

// The text box of a shape, or the outline text it refers to.
bool FindText(const CPptContainer& box, const SheetState& sheet, TextSource& src) {
    const auto& kids = box.GetChildren();
    std::size_t i = 0;
    std::vector<RecordPtr> records;
    if (!kids.empty() && kids[0]->GetType() == libpptparser::kRecordOutlineTextRefAtom) {
        const std::uint32_t index = kids[0]->GetBytes().U32(0);
        if (index >= sheet.outlineHeaders.size()) return false;
        const std::size_t k = sheet.outlineHeaders[index];
        for (std::size_t j = k; j < sheet.outline.size(); ++j) {
            if (j > k && sheet.outline[j]->GetType() == libpptparser::kRecordTextHeaderAtom) break;
            records.push_back(sheet.outline[j]);
        }
        // The box may still hold fields and links of its own.
        for (std::size_t j = 1; j < kids.size(); ++j) records.push_back(kids[j]);
    } else {
        records = kids;
    }
    bool found = false;
    for (i = 0; i < records.size(); ++i) {
        const CPptRecord& r = *records[i];
        switch (r.GetType()) {
        case libpptparser::kRecordTextHeaderAtom:
            src.textType = static_cast<int>(r.GetBytes().U32(0));
            found = true;
            break;
        case libpptparser::kRecordTextCharsAtom:
        case libpptparser::kRecordTextBytesAtom:
            src.text = RecordText(r);
            found = true;
            break;
        case libpptparser::kRecordStyleTextPropAtom:
            src.style = &r;
            break;
        case libpptparser::kRecordTextRulerAtom:
            src.ruler = &r;
            break;
        case libpptparser::kRecordMasterTextPropAtom:
            src.levels = &r;
            break;
        default:
            src.extras.push_back(&r);
            break;
        }
    }
    return found;
}

// Numbering extension in the shape's client data.
const CPptRecord* FindStyle9(const CPptContainer* clientData) {
    ContainerPtr tags = ChildContainer(clientData, libpptparser::kRecordProgTags);
    if (!tags) return nullptr;
    for (const RecordPtr& r : tags->GetChildren()) {
        ContainerPtr bin = AsContainer(r);
        if (!bin || r->GetType() != libpptparser::kRecordProgBinaryTag || CStringChild(bin.get(), 0) != L"___PPT9")
            continue;
        ContainerPtr data = ChildContainer(bin.get(), libpptparser::kRecordBinaryTagData);
        if (RecordPtr s9 = FirstChild(data.get(), libpptparser::kRecordStyleTextProp9Atom)) return s9.get();
    }
    return nullptr;
}

class CDrawingReader {
public:
    CDrawingReader(CLoadContext& ctx, SheetState& sheet) : m_ctx(ctx), m_sheet(sheet) {}

    void Group(const CPptContainer& group, const Transform& t, int depth) {
        if (depth > kMaxGroupDepth) {
            m_ctx.Warn(L"groups nested deeper than " + std::to_wstring(kMaxGroupDepth) + L" levels were skipped");
            return;
        }
        bool first = true;
        for (const RecordPtr& r : group.GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c) continue;
            if (r->GetType() == libpptparser::kRecordEscherSpContainer) {
                if (first) {
                    first = false;  // the group's own record
                    continue;
                }
                Shape(*c, t);
            } else if (r->GetType() == libpptparser::kRecordEscherSpgrContainer) {
                first = false;
                NestedGroup(*c, t, depth);
            }
        }
    }

private:
    void NestedGroup(const CPptContainer& group, const Transform& t, int depth) {
        ContainerPtr own = ChildContainer(&group, libpptparser::kRecordEscherSpContainer);
        if (!own) {
            m_ctx.Warn(L"a group without its own shape record was skipped");
            return;
        }
        Rect outer;
        bool anchored = false;
        Transform parent = t;
        if (RecordPtr a = FirstChild(own.get(), libpptparser::kRecordEscherClientAnchor)) {
            anchored = ReadClientAnchor(*a, outer);
            if (anchored) parent = Transform();  // a client anchor is in slide points
        }
        if (!anchored)
            if (RecordPtr a = FirstChild(own.get(), libpptparser::kRecordEscherChildAnchor))
                anchored = ReadChildAnchor(*a, outer);
        double rotation = 0;
        bool flipH = false, flipV = false;
        if (RecordPtr fsp = FirstChild(own.get(), libpptparser::kRecordEscherSp)) {
            const std::uint32_t flags = fsp->GetBytes().U32(4);
            flipH = (flags & 0x40) != 0;
            flipV = (flags & 0x80) != 0;
        }
        if (RecordPtr o = FirstChild(own.get(), libpptparser::kRecordEscherOPT)) {
            COptTable opt;
            opt.Add(*o);
            std::uint32_t v = 0;
            if (opt.Get(0x0004, v)) rotation = NormalDegrees(Fixed(v));
        }
        Transform inner = parent;
        if (RecordPtr g = FirstChild(own.get(), libpptparser::kRecordEscherSpgr)) {
            const CPptByteView b = g->GetBytes();
            const double x1 = b.I32(0), y1 = b.I32(4), x2 = b.I32(8), y2 = b.I32(12);
            if (anchored && x2 != x1 && y2 != y1) {
                const Placed p = Place(parent, outer, rotation, flipH, flipV);
                // The group's own box, turned, then mirrored about its centre.
                const double kx = p.w / (x2 - x1), ky = p.h / (y2 - y1);
                const double a = p.rotation * kPi / 180, c = std::cos(a), sn = std::sin(a);
                const double fx = p.flipH ? -1 : 1, fy = p.flipV ? -1 : 1;
                inner.m[0] = fx * c * kx;
                inner.m[1] = -fx * sn * ky;
                inner.m[2] = fy * sn * kx;
                inner.m[3] = fy * c * ky;
                const double gx = (x1 + x2) / 2, gy = (y1 + y2) / 2;
                inner.tx = p.cx - (inner.m[0] * gx + inner.m[1] * gy);
                inner.ty = p.cy - (inner.m[2] * gx + inner.m[3] * gy);
                inner.sx = std::fabs(kx);
                inner.sy = std::fabs(ky);
                inner.rotation = p.rotation;
                inner.flipH = p.flipH;
                inner.flipV = p.flipV;
                if (!std::isfinite(inner.tx) || !std::isfinite(inner.ty) || !std::isfinite(inner.m[0]) ||
                    !std::isfinite(inner.m[3]))
                    inner = parent;
            }
        }
        Group(group, inner, depth + 1);
    }

    void Shape(const CPptContainer& sp, const Transform& t);

    CLoadContext& m_ctx;
    SheetState& m_sheet;
};

void CDrawingReader::Shape(const CPptContainer& sp, const Transform& t) {
    RecordPtr fsp = FirstChild(&sp, libpptparser::kRecordEscherSp);
    if (!fsp) {
        m_ctx.Warn(L"a shape without its shape atom was skipped");
        return;
    }
    const std::uint16_t spt = fsp->GetInstance();
    const std::uint32_t spid = fsp->GetBytes().U32(0);
    const std::uint32_t flags = fsp->GetBytes().U32(4);
    if (flags & (0x8 | 0x400))  // deleted, or the background
        return;

    COptTable opt;
    for (std::uint16_t type :
         {std::uint16_t(libpptparser::kRecordEscherOPT), std::uint16_t(libpptparser::kRecordEscherSecondaryOPT),
          std::uint16_t(libpptparser::kRecordEscherTertiaryOPT)})
        if (RecordPtr r = FirstChild(&sp, type)) opt.Add(*r);

    Rect rect;
    bool anchored = false;
    Transform placing = t;
    if (RecordPtr a = FirstChild(&sp, libpptparser::kRecordEscherClientAnchor)) {
        anchored = ReadClientAnchor(*a, rect);
        if (anchored) placing = Transform();  // slide points
    }
    if (!anchored)
        if (RecordPtr a = FirstChild(&sp, libpptparser::kRecordEscherChildAnchor)) anchored = ReadChildAnchor(*a, rect);
    if (!anchored) m_ctx.Warn(L"shape " + std::to_wstring(spid) + L" has no anchor; it is placed at 0,0");

    ContainerPtr client = ChildContainer(&sp, libpptparser::kRecordEscherClientData);
    ContainerPtr textBox = ChildContainer(&sp, libpptparser::kRecordEscherClientTextbox);

    int placeholder = -1;
    if (RecordPtr ph = FirstChild(client.get(), libpptparser::kRecordOEPlaceholderAtom))
        placeholder = ph->GetBytes().U8(4);
    ContainerPtr exObject;
    if (RecordPtr ref = FirstChild(client.get(), libpptparser::kRecordExObjRefAtom)) {
        auto it = m_ctx.exObjects.find(ref->GetBytes().U32(0));
        if (it != m_ctx.exObjects.end())
            exObject = it->second;
        else
            m_ctx.Warn(L"shape " + std::to_wstring(spid) + L" refers to an object the file does not hold");
    }

    const MasterState::Placeholder* inherited = nullptr;
    if (placeholder > 0 && !m_sheet.isMaster && m_sheet.master) {
        const int mp = MasterPlaceholderOf(placeholder);
        for (const MasterState* m = m_sheet.master; m && !inherited; m = m->base) {
            auto it = m->placeholders.find(mp);
            if (it != m->placeholders.end()) inherited = &it->second;
        }
    }
    const COptTable* inheritedOpt = inherited ? &inherited->opt : nullptr;
    // A shape that names its master shape takes the properties it lacks from that one.
    std::uint32_t masterShape = 0;
    if (!m_sheet.isMaster && opt.Get(0x301, masterShape)) {
        auto it = m_ctx.masterShapes.find(masterShape);
        if (it != m_ctx.masterShapes.end()) inheritedOpt = &it->second;
    }

    CHostShape* shape =
        m_ctx.doc->Make<CHostShape>(m_ctx.doc, m_sheet.slide ? static_cast<CHostNode*>(m_sheet.slide)
                                                             : static_cast<CHostNode*>(m_sheet.hostMaster));
    ShapeData& d = shape->data;
    d.id = static_cast<LONG>(spid & 0x7FFFFFFF);
    m_ctx.maxShapeId = std::max(m_ctx.maxShapeId, spid);

    // Kind of shape.
    const std::uint16_t exType = exObject ? exObject->GetType() : 0;
    if (placeholder > 0) {
        d.type = msoPlaceholder;
        d.placeholderType = PlaceholderTypeOf(placeholder);
    } else if (exType == libpptparser::kRecordExOleEmbed) {
        d.type = msoEmbeddedOLEObject;
    } else if (exType == libpptparser::kRecordExOleLink) {
        d.type = msoLinkedOLEObject;
    } else if (exType == libpptparser::kRecordExControl) {
        d.type = msoOLEControlObject;
    } else if (exType == libpptparser::kRecordExAviMovie || exType == libpptparser::kRecordExMCIMovie ||
               exType == libpptparser::kRecordExWAVAudioEmbedded || exType == libpptparser::kRecordExWAVAudioLink ||
               exType == libpptparser::kRecordExMIDIAudio || exType == libpptparser::kRecordExCDAudio) {
        d.type = msoMedia;
    } else if (flags & 0x10) {
        d.type = msoEmbeddedOLEObject;
    } else if (spt == 75) {
        d.type = msoPicture;
    } else if (spt == 20) {
        d.type = msoLine;
    } else if (spt == 202) {
        d.type = msoTextBox;
    } else if (spt >= 136 && spt <= 175) {
        d.type = msoTextEffect;
    } else if (spt == 0) {
        d.type = msoFreeform;
    } else {
        d.type = msoAutoShape;
    }
    d.autoShapeType = AutoShapeOf(spt);
    d.connector = (spt >= 32 && spt <= 40) ? msoTrue : msoFalse;

    // Geometry, with the rotation, flips and scale of the groups around the shape.
    d.shapeType = spt;
    std::uint32_t v = 0;
    const double ownRotation = opt.Get(0x0004, v) ? NormalDegrees(Fixed(v)) : 0.0;
    const Placed placed = Place(placing, rect, ownRotation, (flags & 0x40) != 0, (flags & 0x80) != 0);
    const double w = placed.w, h = placed.h;
    d.horizontalFlip = placed.flipH ? msoTrue : msoFalse;
    d.verticalFlip = placed.flipV ? msoTrue : msoFalse;
    d.rotation = static_cast<float>(placed.rotation);
    d.left = static_cast<float>(placed.cx - w / 2);
    d.top = static_cast<float>(placed.cy - h / 2);
    d.width = static_cast<float>(w);
    d.height = static_cast<float>(h);
    for (std::uint16_t id = 0x147; id <= 0x150; ++id) {
        if (!opt.Get(id, v)) break;
        d.adjustments.push_back(static_cast<float>(static_cast<std::int32_t>(v) / 21600.0));
    }
    ReadGeometry(opt, d.geometry);

    d.name = opt.String(0x380);
    if (d.name.empty()) d.name = KindName(d.type, spt) + L" " + std::to_wstring(spid & 0x3FF);
    if (opt.Flag(0x3BF, 1, false)) d.visible = msoFalse;

    // Fill and line; lines and picture frames (pictures and the previews of embedded objects)
    // are unfilled, and picture frames unframed, unless they say otherwise.
    const bool pictureFrame = d.type == msoPicture || spt == 75;
    const bool filledByDefault = !(d.type == msoLine || pictureFrame || d.connector == msoTrue);
    std::vector<std::uint8_t> fillPicture;
    ReadFill(opt, inheritedOpt, m_sheet, filledByDefault, m_ctx, d.fill, &fillPicture);
    ReadLine(opt, inheritedOpt, m_sheet, !pictureFrame, d.line);
    ReadShadow(opt, inheritedOpt, m_sheet, d.shadow);

    // Picture (also the preview of OLE objects and media).
    if (opt.Get(0x104, v)) {
        if (v >= 1 && v <= m_ctx.blips.size()) {
            if (m_ctx.CanCopy(m_ctx.blips[v - 1].bytes.size())) d.picture.imageBytes = m_ctx.blips[v - 1].bytes;
        } else
            m_ctx.Warn(L"shape " + std::to_wstring(spid) + L" refers to picture " + std::to_wstring(v) +
                       L", which the file does not hold");
    } else if (!fillPicture.empty() && d.picture.imageBytes.empty()) {
        d.picture.imageBytes = std::move(fillPicture);
    }
    {
        const double l = opt.Value(0x102, 0) / 65536.0, r = opt.Value(0x103, 0) / 65536.0;
        const double tp = opt.Value(0x100, 0) / 65536.0, b = opt.Value(0x101, 0) / 65536.0;
        const double ow = (l + r < 1.0) ? w / (1.0 - l - r) : w, oh = (tp + b < 1.0) ? h / (1.0 - tp - b) : h;
        d.picture.cropLeft = static_cast<float>(static_cast<std::int32_t>(opt.Value(0x102, 0)) / 65536.0 * ow);
        d.picture.cropRight = static_cast<float>(static_cast<std::int32_t>(opt.Value(0x103, 0)) / 65536.0 * ow);
        d.picture.cropTop = static_cast<float>(static_cast<std::int32_t>(opt.Value(0x100, 0)) / 65536.0 * oh);
        d.picture.cropBottom = static_cast<float>(static_cast<std::int32_t>(opt.Value(0x101, 0)) / 65536.0 * oh);
        // Brightness is stored from -0x8000 (black) to 0x8000 (white) around 0 (unchanged).
        std::uint32_t storedBrightness = 0, storedContrast = 0x10000;
        if (opt.Get(0x109, storedBrightness))
            d.picture.brightness = static_cast<float>(
                std::min(1.0, std::max(0.0, 0.5 + static_cast<std::int32_t>(storedBrightness) / 65536.0)));
        if (opt.Get(0x108, storedContrast)) {
            const double c = static_cast<std::int32_t>(storedContrast) / 65536.0;
            d.picture.contrast = static_cast<float>(c <= 0 ? 0.0 : c <= 1.0 ? c / 2.0 : 1.0 - 0.5 / c);
        }
        if (opt.Flag(0x13F, 2, false))
            d.picture.colorType = msoPictureGrayscale;
        else if (opt.Flag(0x13F, 1, false))
            d.picture.colorType = msoPictureBlackAndWhite;
        else if (storedBrightness == kWashoutBrightness && storedContrast == kWashoutContrast)
            d.picture.colorType = msoPictureWatermark;
        // The colour shown transparent (a scheme colour is looked up in the slide's scheme).
        if (opt.Get(0x107, v)) {
            d.picture.hasTransparencyColor = true;
            d.picture.transparencyColor = OptColor(v, m_sheet.scheme, 0xFFFFFF).rgb & 0xFFFFFF;
        }
    }

    // Objects.
    if (exObject) {
        if (exType == libpptparser::kRecordExOleEmbed || exType == libpptparser::kRecordExOleLink ||
            exType == libpptparser::kRecordExControl) {
            d.ole.progId = CStringChild(exObject.get(), 2);
            if (exType == libpptparser::kRecordExControl) {
                // A control saves itself into its storage; the Flash control reads its movie there.
                d.ole.storage = ReadObjectStorage(m_ctx, *exObject);
                if (Controls::IsFlashProgId(d.ole.progId)) d.ole.object = Controls::CreateFlashControl(d.ole.storage);
            }
        } else {
            d.mediaType = (exType == libpptparser::kRecordExAviMovie || exType == libpptparser::kRecordExMCIMovie)
                              ? ppMediaTypeMovie
                              : ppMediaTypeSound;
            if (exType == libpptparser::kRecordExWAVAudioEmbedded) {
                if (RecordPtr a = FirstChild(exObject.get(), libpptparser::kRecordExWAVAudioEmbeddedAtom)) {
                    auto it = m_ctx.sounds.find(a->GetBytes().U32(0));
                    if (it != m_ctx.sounds.end() && m_ctx.CanCopy(it->second.data.size())) {
                        d.sound.type = ppSoundWAV;
                        d.sound.data = it->second.data;
                        d.sound.sourceFullName = it->second.name;
                    }
                }
            } else {
                // Linked media name their file.
                d.sound.sourceFullName = CStringChild(exObject.get(), 0);
                if (exType == libpptparser::kRecordExWAVAudioLink)
                    d.sound.type = ppSoundWAV;
                else if (exType == libpptparser::kRecordExMIDIAudio)
                    d.sound.type = ppSoundMIDI;
                else if (exType == libpptparser::kRecordExCDAudio)
                    d.sound.type = ppSoundCDAudio;
            }
        }
    }

    // Actions and animation settings.
    if (client) {
        for (const RecordPtr& r : client->GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c) continue;
            if (r->GetType() == libpptparser::kRecordInteractiveInfo && r->GetInstance() == 0)
                d.click = ReadInteractive(m_ctx, *c);
            else if (r->GetType() == libpptparser::kRecordInteractiveInfo && r->GetInstance() == 1)
                d.over = ReadInteractive(m_ctx, *c);
            else if (r->GetType() == libpptparser::kRecordAnimationInfo)
                ReadAnimationInfo(m_ctx, *c, m_sheet.scheme, d.animation);
        }
    }

    // Text frame.
    const bool canHoldText = d.type == msoAutoShape || d.type == msoTextBox || d.type == msoPlaceholder ||
                             d.type == msoTextEffect || d.type == msoFreeform;
    TextSource src;
    src.textType = placeholder > 0 ? PlaceholderTextType(placeholder) : 4;
    if (inherited && inherited->textType >= 0) src.textType = inherited->textType;
    bool hasText = textBox && FindText(*textBox, m_sheet, src);
    src.style9 = FindStyle9(client.get());
    if (hasText || canHoldText) {
        d.hasTextFrame = msoTrue;
        ResolveText(m_ctx, m_sheet, src, inherited, d.text);
        TextData& t = d.text;
        t.marginLeft = static_cast<float>((Prop(opt, inheritedOpt, 0x81, v) ? v : 91440) / 12700.0);
        t.marginTop = static_cast<float>((Prop(opt, inheritedOpt, 0x82, v) ? v : 45720) / 12700.0);
        t.marginRight = static_cast<float>((Prop(opt, inheritedOpt, 0x83, v) ? v : 91440) / 12700.0);
        t.marginBottom = static_cast<float>((Prop(opt, inheritedOpt, 0x84, v) ? v : 45720) / 12700.0);
        t.wordWrap = (Prop(opt, inheritedOpt, 0x85, v) && v == 2) ? msoFalse : msoTrue;
        std::uint32_t anchor = 0;
        Prop(opt, inheritedOpt, 0x87, anchor);
        static const MsoVerticalAnchor kVertical[] = {
            msoAnchorTop,    msoAnchorMiddle, msoAnchorBottom, msoAnchorTop, msoAnchorMiddle,
            msoAnchorBottom, msoAnchorTop,    msoAnchorBottom, msoAnchorTop, msoAnchorBottom};
        t.verticalAnchor = anchor < 10 ? kVertical[anchor] : msoAnchorTop;
        t.horizontalAnchor =
            (anchor == 3 || anchor == 4 || anchor == 5 || anchor == 8 || anchor == 9) ? msoAnchorCenter : msoAnchorNone;
        std::uint32_t flow = 0;
        Prop(opt, inheritedOpt, 0x88, flow);
        static const MsoTextOrientation kFlow[] = {msoTextOrientationHorizontal, msoTextOrientationDownward,
                                                   msoTextOrientationUpward,     msoTextOrientationVerticalFarEast,
                                                   msoTextOrientationHorizontal, msoTextOrientationVertical};
        t.orientation = flow < 6 ? kFlow[flow] : msoTextOrientationHorizontal;
        if (BoolProp(opt, inheritedOpt, 0xBF, 1, false)) t.autoSize = ppAutoSizeShapeToFitText;
        // Text that shrinks to fit its frame, by the scale the file kept (16.16) or as it needs.
        if (BoolProp(opt, inheritedOpt, 0xBF, 0, false)) {
            std::uint32_t scale = 0;
            Prop(opt, inheritedOpt, 0x86, scale);
            Host::ShrinkTextToFit(d, static_cast<float>(Fixed(scale)));
        }
    }

    if (m_sheet.isMaster) m_ctx.masterShapes[spid] = opt;
    if (m_sheet.isMaster && placeholder > 0 && m_sheet.master) {
        MasterState::Placeholder& p = m_sheet.master->placeholders[placeholder];
        p.opt = opt;
        p.textType = hasText ? src.textType : PlaceholderTextType(placeholder);
    }
    m_sheet.shapes->push_back(shape);
}

}  // namespace

ColorData OptColor(std::uint32_t value, const ULONG* scheme, ULONG fallback) {
    ColorData c;
    const std::uint8_t flags = static_cast<std::uint8_t>(value >> 24);
    if (flags & 0x08) {
        const std::uint32_t index = value & 0xFF;
        if (index < 8 && scheme) {
            c.rgb = scheme[index];
            c.scheme = static_cast<PpColorSchemeIndex>(index + 1);
        } else {
            c.rgb = fallback;
        }
    } else if (flags & 0x10) {
        c.rgb = fallback;  // a system colour or one taken from another property
    } else {
        c.rgb = value & 0xFFFFFF;
    }
    return c;
}

void LoadDrawing(CLoadContext& ctx, SheetState& sheet, const CPptContainer& sheetRecord) {
    ContainerPtr drawing = ChildContainer(&sheetRecord, libpptparser::kRecordPPDrawing);
    ContainerPtr dg = ChildContainer(drawing.get(), libpptparser::kRecordEscherDgContainer);
    ContainerPtr group = ChildContainer(dg.get(), libpptparser::kRecordEscherSpgrContainer);
    if (!group) {
        ctx.Warn(L"a slide without a drawing has no shapes");
        return;
    }
    CDrawingReader reader(ctx, sheet);
    reader.Group(*group, Transform(), 0);
}

bool ReadBackground(CLoadContext& ctx, SheetState& sheet, const CPptContainer& sheetRecord, Host::BackgroundData& out) {
    ContainerPtr drawing = ChildContainer(&sheetRecord, libpptparser::kRecordPPDrawing);
    ContainerPtr dg = ChildContainer(drawing.get(), libpptparser::kRecordEscherDgContainer);
    if (!dg) return false;
    for (const RecordPtr& r : dg->GetChildren()) {
        ContainerPtr sp = AsContainer(r);
        if (!sp || r->GetType() != libpptparser::kRecordEscherSpContainer) continue;
        RecordPtr fsp = FirstChild(sp.get(), libpptparser::kRecordEscherSp);
        if (!fsp || !(fsp->GetBytes().U32(4) & 0x400)) continue;
        COptTable opt;
        if (RecordPtr o = FirstChild(sp.get(), libpptparser::kRecordEscherOPT)) opt.Add(*o);
        ReadFill(opt, nullptr, sheet, true, ctx, out.fill, &out.imageBytes);
        return true;
    }
    return false;
}

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
