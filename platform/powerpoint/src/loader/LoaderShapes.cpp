// Shapes of a drawing: geometry (groups flattened into slide coordinates), fill, line, pictures,
// placeholders, OLE and media objects, text frames, actions and animation settings.

#include "LoaderInternal.h"

#include "libpptparser/PptContainers.h"
#include "powerpoint/controls/FlashControl.h"

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

// The saved storage of an OLE object or control, referred to by its object atom.
constexpr std::uint16_t kExOleObjStg = 4113;
// A storage that claims more than this is not believed.
constexpr std::uint32_t kMaxStorageSize = 128u * 1024u * 1024u;

// The storage image of an OLE object (uncompressed, or inflated from instance 1); empty with a
// warning when the record is missing or damaged.
std::vector<std::uint8_t> ReadObjectStorage(CLoadContext& ctx, const CPptContainer& exObject) {
    RecordPtr atom = FirstChild(&exObject, kExOleObjAtom);
    if (!atom || atom->GetBytes().size() < 20) return {};
    RecordPtr stg = ctx.RecordAtPersist(atom->GetBytes().U32(16));
    if (!stg || stg->GetType() != kExOleObjStg) {
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

// Maps a group's own coordinates to slide points.
struct Transform {
    double sx = 1, sy = 1, dx = 0, dy = 0;
    Rect Apply(const Rect& r) const {
        return {r.left * sx + dx, r.top * sy + dy, r.right * sx + dx, r.bottom * sy + dy};
    }
};

bool ReadClientAnchor(const CPptRecord& r, Rect& out) {
    const CPptByteView b = r.GetBytes();
    if (b.size() >= 16) {
        out = {S32(b, 4) / 8.0, S32(b, 0) / 8.0, S32(b, 8) / 8.0, S32(b, 12) / 8.0};
        return true;
    }
    if (b.size() >= 8) {
        out = {S16(b, 2) / 8.0, S16(b, 0) / 8.0, S16(b, 4) / 8.0, S16(b, 6) / 8.0};
        return true;
    }
    return false;
}

bool ReadChildAnchor(const CPptRecord& r, const Transform& t, Rect& out) {
    const CPptByteView b = r.GetBytes();
    if (b.size() < 16) return false;
    out = t.Apply({static_cast<double>(S32(b, 0)), static_cast<double>(S32(b, 4)), static_cast<double>(S32(b, 8)),
                   static_cast<double>(S32(b, 12))});
    return true;
}

MsoAutoShapeType AutoShapeOf(std::uint16_t spt) {
    struct Map {
        std::uint16_t spt;
        MsoAutoShapeType type;
    };
    static const Map kMap[] = {
        {1, msoShapeRectangle},
        {2, msoShapeRoundedRectangle},
        {3, msoShapeOval},
        {4, msoShapeDiamond},
        {5, msoShapeIsoscelesTriangle},
        {6, msoShapeRightTriangle},
        {7, msoShapeParallelogram},
        {8, msoShapeTrapezoid},
        {9, 10 /* hexagon */},
        {10, msoShapeOctagon},
        {11, 11 /* cross */},
        {12, 92 /* 5-point star */},
        {13, 33 /* right arrow */},
        {15, 51 /* pentagon */},
        {16, 14 /* cube */},
        {22, 13 /* can */},
        {23, 18 /* donut */},
        {55, 52 /* chevron */},
        {56, 12 /* regular pentagon */},
        {61, msoShapeRectangularCallout},
        {62, msoShapeRoundedRectangularCallout},
        {63, msoShapeOvalCallout},
        {66, 34 /* left arrow */},
        {67, 36 /* down arrow */},
        {68, 35 /* up arrow */},
        {69, 37 /* left-right arrow */},
        {70, 38 /* up-down arrow */},
        {74, 21 /* heart */},
        {96, 17 /* smiley */},
        {106, msoShapeCloudCallout},
        {109, 61 /* process */},
        {110, 63 /* decision */},
        {116, 69 /* terminator */},
        {120, 73 /* connector */},
        {202, msoShapeRectangle},
    };
    for (const Map& m : kMap)
        if (m.spt == spt) return m.type;
    return msoShapeNotPrimitive;
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
    std::uint32_t color = 0xFFFFFF;
    Prop(opt, inherited, 0x181, color);
    fill.foreColor = OptColor(color, sheet.scheme, 0xFFFFFF);
    std::uint32_t back = 0xFFFFFF;
    Prop(opt, inherited, 0x183, back);
    fill.backColor = OptColor(back, sheet.scheme, 0xFFFFFF);
    std::uint32_t opacity = 0x10000;
    Prop(opt, inherited, 0x182, opacity);
    fill.transparency = static_cast<float>(std::min(1.0, std::max(0.0, 1.0 - Fixed(opacity))));
    if (pictureBytes && (type == 2 || type == 3) && Prop(opt, inherited, 0x186, v) && v >= 1 && v <= ctx.blips.size() &&
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
        case kTextRulerAtom:
            src.ruler = &r;
            break;
        case kMasterTextPropAtom:
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
        if (RecordPtr s9 = FirstChild(data.get(), kStyleTextProp9Atom)) return s9.get();
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
        if (RecordPtr a = FirstChild(own.get(), libpptparser::kRecordEscherClientAnchor))
            anchored = ReadClientAnchor(*a, outer);
        if (!anchored)
            if (RecordPtr a = FirstChild(own.get(), kEscherChildAnchor)) anchored = ReadChildAnchor(*a, t, outer);
        Transform inner = t;
        if (RecordPtr g = FirstChild(own.get(), libpptparser::kRecordEscherSpgr)) {
            const CPptByteView b = g->GetBytes();
            const double x1 = S32(b, 0), y1 = S32(b, 4), x2 = S32(b, 8), y2 = S32(b, 12);
            if (anchored && x2 != x1 && y2 != y1) {
                inner.sx = (outer.right - outer.left) / (x2 - x1);
                inner.sy = (outer.bottom - outer.top) / (y2 - y1);
                inner.dx = outer.left - x1 * inner.sx;
                inner.dy = outer.top - y1 * inner.sy;
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
    for (std::uint16_t type : {std::uint16_t(libpptparser::kRecordEscherOPT), std::uint16_t(kEscherSecondaryOPT),
                               std::uint16_t(kEscherTertiaryOPT)})
        if (RecordPtr r = FirstChild(&sp, type)) opt.Add(*r);

    Rect rect;
    bool anchored = false;
    if (RecordPtr a = FirstChild(&sp, libpptparser::kRecordEscherClientAnchor)) anchored = ReadClientAnchor(*a, rect);
    if (!anchored)
        if (RecordPtr a = FirstChild(&sp, kEscherChildAnchor)) anchored = ReadChildAnchor(*a, t, rect);
    if (!anchored) m_ctx.Warn(L"shape " + std::to_wstring(spid) + L" has no anchor; it is placed at 0,0");

    ContainerPtr client = ChildContainer(&sp, libpptparser::kRecordEscherClientData);
    ContainerPtr textBox = ChildContainer(&sp, libpptparser::kRecordEscherClientTextbox);

    int placeholder = -1;
    if (RecordPtr ph = FirstChild(client.get(), kOEPlaceholderAtom)) placeholder = ph->GetBytes().U8(4);
    ContainerPtr exObject;
    if (RecordPtr ref = FirstChild(client.get(), kExObjRefAtom)) {
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
    } else if (exType == kExOleEmbed) {
        d.type = msoEmbeddedOLEObject;
    } else if (exType == kExOleLink) {
        d.type = msoLinkedOLEObject;
    } else if (exType == kExControl) {
        d.type = msoOLEControlObject;
    } else if (exType == kExAviMovie || exType == kExMCIMovie || exType == kExWAVAudioEmbedded ||
               exType == kExWAVAudioLink || exType == kExMIDIAudio || exType == kExCDAudio) {
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

    // Geometry.
    d.horizontalFlip = (flags & 0x40) ? msoTrue : msoFalse;
    d.verticalFlip = (flags & 0x80) ? msoTrue : msoFalse;
    double rotation = 0;
    std::uint32_t v = 0;
    if (opt.Get(0x0004, v)) rotation = Fixed(v);
    rotation = std::fmod(rotation, 360.0);
    if (rotation < 0) rotation += 360.0;
    d.rotation = static_cast<float>(rotation);
    double w = rect.right - rect.left, h = rect.bottom - rect.top;
    double cx = rect.left + w / 2, cy = rect.top + h / 2;
    // Between 45 and 135 degrees (and 225 to 315) the stored box is the rotated one.
    if ((rotation >= 45 && rotation < 135) || (rotation >= 225 && rotation < 315)) std::swap(w, h);
    d.left = static_cast<float>(cx - w / 2);
    d.top = static_cast<float>(cy - h / 2);
    d.width = static_cast<float>(w);
    d.height = static_cast<float>(h);
    for (std::uint16_t id = 0x147; id <= 0x150; ++id) {
        if (!opt.Get(id, v)) break;
        d.adjustments.push_back(static_cast<float>(static_cast<std::int32_t>(v) / 21600.0));
    }

    d.name = opt.String(0x380);
    if (d.name.empty()) d.name = KindName(d.type, spt) + L" " + std::to_wstring(spid & 0x3FF);
    if (opt.Flag(0x3BF, 1, false)) d.visible = msoFalse;

    // Fill and line; lines and pictures are unfilled unless they say otherwise.
    const bool filledByDefault = !(d.type == msoLine || d.type == msoPicture || d.connector == msoTrue);
    std::vector<std::uint8_t> fillPicture;
    ReadFill(opt, inheritedOpt, m_sheet, filledByDefault, m_ctx, d.fill, &fillPicture);
    ReadLine(opt, inheritedOpt, m_sheet, d.type != msoPicture, d.line);

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
        if (opt.Get(0x109, v))
            d.picture.brightness = static_cast<float>(std::min(1.0, std::max(0.0, 0.5 + Fixed(v) / 2.0)));
        if (opt.Get(0x108, v)) {
            const double c = Fixed(v);
            d.picture.contrast = static_cast<float>(c <= 1.0 ? c / 2.0 : 1.0 - 0.5 / c);
        }
        if (opt.Flag(0x13F, 2, false))
            d.picture.colorType = msoPictureGrayscale;
        else if (opt.Flag(0x13F, 1, false))
            d.picture.colorType = msoPictureBlackAndWhite;
    }

    // Objects.
    if (exObject) {
        if (exType == kExOleEmbed || exType == kExOleLink || exType == kExControl) {
            d.ole.progId = CStringChild(exObject.get(), 2);
            if (exType == kExControl) {
                // A control saves itself into its storage; the Flash control reads its movie there.
                d.ole.storage = ReadObjectStorage(m_ctx, *exObject);
                if (Controls::IsFlashProgId(d.ole.progId)) d.ole.object = Controls::CreateFlashControl(d.ole.storage);
            }
        } else {
            d.mediaType = (exType == kExAviMovie || exType == kExMCIMovie) ? ppMediaTypeMovie : ppMediaTypeSound;
            if (exType == kExWAVAudioEmbedded) {
                if (RecordPtr a = FirstChild(exObject.get(), kExWAVAudioEmbeddedAtom)) {
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
                if (exType == kExWAVAudioLink)
                    d.sound.type = ppSoundWAV;
                else if (exType == kExMIDIAudio)
                    d.sound.type = ppSoundMIDI;
                else if (exType == kExCDAudio)
                    d.sound.type = ppSoundCDAudio;
            }
        }
    }

    // Actions and animation settings.
    if (client) {
        for (const RecordPtr& r : client->GetChildren()) {
            ContainerPtr c = AsContainer(r);
            if (!c) continue;
            if (r->GetType() == kInteractiveInfo && r->GetInstance() == 0)
                d.click = ReadInteractive(m_ctx, *c);
            else if (r->GetType() == kInteractiveInfo && r->GetInstance() == 1)
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
