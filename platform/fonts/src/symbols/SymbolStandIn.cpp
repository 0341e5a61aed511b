// The stand-in font of a symbol face: the glyphs its codes show, copied out of a Unicode font
// (the donor) into a small TrueType font of their own with a symbol character map, as the real
// face has. Composite glyphs bring their components along.

#include "fonts/symbols/SymbolFonts.h"

#include "FontText.h"
#include "TableChecksum.h"
#include "base/bytes/ByteView.h"
#include "base/encodings/TextEncoding.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace fonts::symbols {
namespace {

// Composite glyphs nest a few levels at most; a donor claiming more is damaged.
constexpr std::size_t kMaxGlyphs = 4096;
// The vertical metrics of the faces stood in for, in ems: a bullet must not make its line
// taller than the text beside it, whatever the donor's own (often generous) metrics.
constexpr double kAscent = 0.9, kDescent = 0.21;

// The donor draws its geometric shapes (the round, square and diamond bullets) larger and
// lower than the symbol faces do: the faces' round bullet is about three fifths of an em across
// and stands centred half an em above the baseline, beside the middle of the text's capitals.
// Those glyphs are shown through a scaled, raised reference to the donor's outline.
bool IsBulletShape(char32_t u) {
    return (u >= 0x25A0 && u <= 0x25FF) || (u >= 0x2B1B && u <= 0x2B2F) || (u >= 0x1F780 && u <= 0x1F7D8) ||
           u == 0x2022 || u == 0x2756 || u == 0x29EB;
}
constexpr double kBulletScale = 0.83;  // of the donor's size
constexpr double kBulletAxis = 0.5;    // ems above the baseline

struct TableRef {
    std::size_t offset = 0, length = 0;
};

// The donor font's bytes, big-endian as sfnt files are.
class CReader : public base::bytes::ByteView {
public:
    explicit CReader(const std::vector<std::uint8_t>& b) : ByteView(b) {}
    bool Find(const char* tag, TableRef& out) const {
        const std::uint16_t count = BeU16(4);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t rec = 12 + 16 * i;
            if (!Has(rec, 16)) return false;
            if (std::memcmp(data() + rec, tag, 4) != 0) continue;
            out.offset = BeU32(rec + 8);
            out.length = BeU32(rec + 12);
            return Has(out.offset, out.length);
        }
        return false;
    }
    const std::uint8_t* At(std::size_t at) const { return data() + at; }
};

class CWriter {
public:
    void U8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v) {
        U8((v >> 8) & 0xFF);
        U8(v & 0xFF);
    }
    void U32(std::uint32_t v) {
        U16(v >> 16);
        U16(v & 0xFFFF);
    }
    void Put16(std::size_t at, unsigned v) {
        bytes[at] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
    }
    void Append(const std::uint8_t* p, std::size_t n) { bytes.insert(bytes.end(), p, p + n); }
    void Pad4() {
        while (bytes.size() % 4) U8(0);
    }
    std::vector<std::uint8_t> bytes;
};

// Component glyph indexes of a composite glyph, with the offsets where they are written.
bool Components(const std::uint8_t* g, std::size_t size, std::vector<std::pair<std::size_t, std::uint16_t>>& out) {
    const base::bytes::ByteView glyph(g, size);
    std::size_t at = 10;
    for (std::size_t guard = 0; guard < 64; ++guard) {
        if (at + 4 > size) return false;
        const unsigned flags = glyph.BeU16(at);
        out.emplace_back(at + 2, glyph.BeU16(at + 2));
        at += 4 + ((flags & 0x1) ? 4 : 2);
        if (flags & 0x8)
            at += 2;
        else if (flags & 0x40)
            at += 4;
        else if (flags & 0x80)
            at += 8;
        if (!(flags & 0x20)) return at <= size;
    }
    return false;
}

struct Donor {
    CReader r;
    TableRef head, hhea, maxp, hmtx, loca, glyf;
    int unitsPerEm = 0;
    bool longLoca = false;
    std::size_t glyphCount = 0, hMetrics = 0;

    explicit Donor(const std::vector<std::uint8_t>& b) : r(b) {}
    bool Open() {
        if (!r.Find("head", head) || !r.Find("hhea", hhea) || !r.Find("maxp", maxp) || !r.Find("hmtx", hmtx) ||
            !r.Find("loca", loca) || !r.Find("glyf", glyf) || head.length < 54 || hhea.length < 36 || maxp.length < 6)
            return false;
        unitsPerEm = r.BeU16(head.offset + 18);
        longLoca = r.BeI16(head.offset + 50) != 0;
        glyphCount = r.BeU16(maxp.offset + 4);
        hMetrics = r.BeU16(hhea.offset + 34);
        return unitsPerEm > 0 && hMetrics > 0 && hmtx.length >= hMetrics * 4;
    }
    // The glyph's bytes inside glyf; empty for a glyph without outline.
    bool Glyph(std::uint16_t gid, std::size_t& at, std::size_t& size) const {
        if (gid >= glyphCount) return false;
        std::size_t a, b;
        if (longLoca) {
            if ((gid + 2) * std::size_t(4) > loca.length) return false;
            a = r.BeU32(loca.offset + 4 * gid);
            b = r.BeU32(loca.offset + 4 * gid + 4);
        } else {
            if ((gid + 2) * std::size_t(2) > loca.length) return false;
            a = std::size_t(r.BeU16(loca.offset + 2 * gid)) * 2;
            b = std::size_t(r.BeU16(loca.offset + 2 * gid + 2)) * 2;
        }
        if (b < a || b > glyf.length) return false;
        at = glyf.offset + a;
        size = b - a;
        return true;
    }
    void Metrics(std::uint16_t gid, unsigned& advance, int& lsb) const {
        const std::size_t m = std::min<std::size_t>(gid, hMetrics - 1);
        advance = r.BeU16(hmtx.offset + 4 * m);
        if (gid < hMetrics)
            lsb = r.BeI16(hmtx.offset + 4 * gid + 2);
        else {
            const std::size_t at = hmtx.offset + 4 * hMetrics + 2 * (gid - hMetrics);
            lsb = at + 2 <= hmtx.offset + hmtx.length ? r.BeI16(at) : 0;
        }
    }
};

std::vector<std::uint8_t> NameTable(const std::wstring& family) {
    std::wstring postscript;
    for (wchar_t c : family)
        if (c > L' ' && c < 0x7F) postscript += c;
    const std::pair<unsigned, std::wstring> names[] = {{1, family}, {2, L"Regular"}, {4, family}, {6, postscript}};
    CWriter w, strings;
    w.U16(0);
    w.U16(4);
    w.U16(6 + 4 * 12);
    for (const auto& n : names) {
        w.U16(3);  // Windows, Unicode BMP, US English
        w.U16(1);
        w.U16(0x409);
        w.U16(n.first);
        w.U16(static_cast<unsigned>(n.second.size() * 2));
        w.U16(static_cast<unsigned>(strings.bytes.size()));
        for (wchar_t c : n.second) strings.U16(static_cast<unsigned>(c) & 0xFFFF);
    }
    w.Append(strings.bytes.data(), strings.bytes.size());
    return w.bytes;
}

}  // namespace

std::shared_ptr<const FontFileData> MakeSymbolStandIn(const std::wstring& faceName, const FontFileData& donorFile) {
    if (!IsSymbolFace(faceName)) return nullptr;
    const std::vector<std::uint8_t>& bytes = donorFile.bytes;
    Donor donor(bytes);
    if (!donor.Open()) return nullptr;

    // Which donor glyph each code shows, through the donor's Unicode map.
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    FT_Face face = nullptr;
    std::map<unsigned, std::uint16_t> codeToDonor;
    std::map<unsigned, std::uint16_t> bulletCodes;  // code -> the donor glyph it shows resized
    if (FT_New_Memory_Face(library, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &face) == 0) {
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0)
            for (unsigned code = 0x20; code <= 0xFF; ++code)
                if (char32_t u = SymbolToUnicode(faceName, code))
                    if (FT_UInt gid = FT_Get_Char_Index(face, u); gid != 0 && gid < donor.glyphCount) {
                        codeToDonor[code] = static_cast<std::uint16_t>(gid);
                        if (IsBulletShape(u)) bulletCodes[code] = static_cast<std::uint16_t>(gid);
                    }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    if (codeToDonor.empty()) return nullptr;

    // New glyph order: the missing glyph, the mapped glyphs, then the components they use.
    std::vector<std::uint16_t> order{0};
    std::map<std::uint16_t, std::uint16_t> newId{{0, 0}};
    auto add = [&](std::uint16_t gid) {
        if (newId.count(gid) || order.size() >= kMaxGlyphs) return;
        newId[gid] = static_cast<std::uint16_t>(order.size());
        order.push_back(gid);
    };
    for (const auto& m : codeToDonor) add(m.second);
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::size_t at = 0, size = 0;
        if (!donor.Glyph(order[i], at, size) || size < 10 || donor.r.BeI16(at) >= 0) continue;
        std::vector<std::pair<std::size_t, std::uint16_t>> parts;
        if (!Components(donor.r.At(at), size, parts)) continue;
        for (const auto& p : parts)
            if (p.second < donor.glyphCount) add(p.second);
    }

    // glyf and loca (long offsets), composites pointing at the new indexes.
    CWriter glyf, loca, hmtx;
    unsigned advanceMax = 0;
    for (std::uint16_t gid : order) {
        loca.U32(static_cast<std::uint32_t>(glyf.bytes.size()));
        std::size_t at = 0, size = 0;
        if (donor.Glyph(gid, at, size) && size >= 10) {
            const std::size_t start = glyf.bytes.size();
            glyf.Append(donor.r.At(at), size);
            std::vector<std::pair<std::size_t, std::uint16_t>> parts;
            if (donor.r.BeI16(at) < 0) {
                if (Components(donor.r.At(at), size, parts)) {
                    for (const auto& p : parts) {
                        auto found = newId.find(p.second);
                        glyf.Put16(start + p.first, found != newId.end() ? found->second : 0);
                    }
                } else {
                    glyf.bytes.resize(start);  // a damaged composite draws nothing
                }
            }
            glyf.Pad4();
        }
        unsigned advance = 0;
        int lsb = 0;
        donor.Metrics(gid, advance, lsb);
        advanceMax = std::max(advanceMax, advance);
        hmtx.U16(advance);
        hmtx.U16(static_cast<unsigned>(lsb) & 0xFFFF);
    }
    // The resized bullet shapes: composites of one scaled, moved component each.
    std::map<unsigned, std::uint16_t> codeToGlyph;
    for (const auto& m : codeToDonor) codeToGlyph[m.first] = newId[m.second];
    const double scale = kBulletScale, axis = kBulletAxis * donor.unitsPerEm;
    std::map<std::uint16_t, std::uint16_t> resized;  // donor glyph -> its composite
    for (const auto& m : bulletCodes) {
        if (auto done = resized.find(m.second); done != resized.end()) {
            codeToGlyph[m.first] = done->second;
            continue;
        }
        std::size_t at = 0, size = 0;
        if (order.size() >= kMaxGlyphs || !donor.Glyph(m.second, at, size) || size < 10) continue;
        const double x0 = donor.r.BeI16(at + 2), y0 = donor.r.BeI16(at + 4), x1 = donor.r.BeI16(at + 6),
                     y1 = donor.r.BeI16(at + 8);
        if (x1 <= x0 || y1 <= y0) continue;
        const double cx = (x0 + x1) / 2, dx = cx * (1 - scale), dy = axis - scale * (y0 + y1) / 2;
        auto word = [](double v) { return static_cast<unsigned>(static_cast<int>(std::lround(v))) & 0xFFFF; };
        const std::uint16_t id = static_cast<std::uint16_t>(order.size());
        order.push_back(m.second);  // keeps the counts right; its bytes are written here
        resized[m.second] = id;
        codeToGlyph[m.first] = id;
        loca.U32(static_cast<std::uint32_t>(glyf.bytes.size()));
        glyf.U16(0xFFFF);  // a composite
        glyf.U16(word(scale * x0 + dx));
        glyf.U16(word(scale * y0 + dy));
        glyf.U16(word(scale * x1 + dx));
        glyf.U16(word(scale * y1 + dy));
        // Word arguments, x/y offsets, one scale, offsets not scaled.
        glyf.U16(0x0001 | 0x0002 | 0x0008 | 0x1000);
        glyf.U16(newId[m.second]);
        glyf.U16(word(dx));
        glyf.U16(word(dy));
        glyf.U16(word(scale * 16384));
        glyf.Pad4();
        unsigned advance = 0;
        int lsb = 0;
        donor.Metrics(m.second, advance, lsb);
        hmtx.U16(advance);
        hmtx.U16(word(scale * x0 + dx));
    }
    loca.U32(static_cast<std::uint32_t>(glyf.bytes.size()));

    // A symbol map (Windows, symbol encoding) at 0xF020-0xF0FF, one segment per code.
    CWriter cmap;
    const unsigned segments = static_cast<unsigned>(codeToDonor.size() + 1);
    cmap.U16(0);
    cmap.U16(1);
    cmap.U16(3);
    cmap.U16(0);
    cmap.U32(12);
    cmap.U16(4);
    cmap.U16(16 + 8 * segments);
    cmap.U16(0);
    unsigned searchRange = 2, selector = 0;
    while (searchRange * 2 <= segments * 2) {
        searchRange *= 2;
        ++selector;
    }
    cmap.U16(segments * 2);
    cmap.U16(searchRange);
    cmap.U16(selector);
    cmap.U16(segments * 2 - searchRange);
    for (const auto& m : codeToDonor) cmap.U16(0xF000 | m.first);
    cmap.U16(0xFFFF);
    cmap.U16(0);
    for (const auto& m : codeToDonor) cmap.U16(0xF000 | m.first);
    cmap.U16(0xFFFF);
    for (const auto& m : codeToGlyph) cmap.U16((m.second - (0xF000 | m.first)) & 0xFFFF);
    cmap.U16(1);
    for (unsigned i = 0; i < segments; ++i) cmap.U16(0);

    const int upem = donor.unitsPerEm;
    const int ascent = static_cast<int>(kAscent * upem + 0.5), descent = static_cast<int>(kDescent * upem + 0.5);
    CWriter head;
    head.Append(donor.r.At(donor.head.offset), 54);
    head.Put16(8, 0);  // checksum adjustment, set once the font is whole
    head.Put16(10, 0);
    head.Put16(50, 1);  // long loca offsets

    CWriter hhea;
    hhea.U32(0x00010000);
    hhea.U16(static_cast<unsigned>(ascent));
    hhea.U16(static_cast<unsigned>(-descent) & 0xFFFF);
    hhea.U16(0);
    hhea.U16(advanceMax);
    for (int i = 0; i < 3; ++i) hhea.U16(0);  // min side bearings, max extent
    hhea.U16(1);                              // caret upright
    for (int i = 0; i < 7; ++i) hhea.U16(0);
    hhea.U16(static_cast<unsigned>(order.size()));

    CWriter maxp;
    maxp.Append(donor.r.At(donor.maxp.offset), std::min<std::size_t>(donor.maxp.length, 32));
    maxp.Put16(4, static_cast<unsigned>(order.size()));

    CWriter os2;  // version 1: the metrics Windows reads, and the symbol code page
    os2.U16(1);
    os2.U16(advanceMax / 2);
    os2.U16(400);
    os2.U16(5);
    os2.U16(0);
    for (int i = 0; i < 10; ++i) os2.U16(0);  // sub/superscript sizes and offsets, strikeout
    os2.U16(0);                               // family class
    os2.U8(5);                                // panose: a pictorial face
    for (int i = 0; i < 9; ++i) os2.U8(0);
    for (int i = 0; i < 4; ++i) os2.U32(0);  // unicode ranges
    os2.Append(reinterpret_cast<const std::uint8_t*>("NONE"), 4);
    os2.U16(0x40);
    os2.U16(0xF020);
    os2.U16(0xF0FF);
    os2.U16(static_cast<unsigned>(ascent));
    os2.U16(static_cast<unsigned>(-descent) & 0xFFFF);
    os2.U16(0);
    os2.U16(static_cast<unsigned>(ascent));
    os2.U16(static_cast<unsigned>(descent));
    os2.U32(0x80000000u);  // symbol character set
    os2.U32(0);

    CWriter post;
    post.U32(0x00030000);
    for (int i = 0; i < 7; ++i) post.U32(0);

    const std::wstring family = TrimBlanks(faceName);
    const std::pair<const char*, std::vector<std::uint8_t>> tables[] = {
        {"OS/2", os2.bytes},         {"cmap", cmap.bytes}, {"glyf", glyf.bytes}, {"head", head.bytes},
        {"hhea", hhea.bytes},        {"hmtx", hmtx.bytes}, {"loca", loca.bytes}, {"maxp", maxp.bytes},
        {"name", NameTable(family)}, {"post", post.bytes}};
    const unsigned count = sizeof tables / sizeof tables[0];
    CWriter font;
    font.U32(0x00010000);
    font.U16(count);
    font.U16(128);  // search range for ten tables: 8 * 16
    font.U16(3);
    font.U16(count * 16 - 128);
    std::size_t offset = 12 + 16 * count, headAt = 0;
    for (const auto& t : tables) {
        font.Append(reinterpret_cast<const std::uint8_t*>(t.first), 4);
        font.U32(0);  // checksum, below
        font.U32(static_cast<std::uint32_t>(offset));
        font.U32(static_cast<std::uint32_t>(t.second.size()));
        offset += (t.second.size() + 3) & ~std::size_t(3);
    }
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t at = font.bytes.size();
        if (std::strcmp(tables[i].first, "head") == 0) headAt = at;
        font.Append(tables[i].second.data(), tables[i].second.size());
        font.Pad4();
        const std::uint32_t sum = TableChecksum(font.bytes.data() + at, tables[i].second.size());
        const std::size_t rec = 12 + 16 * i + 4;
        font.Put16(rec, sum >> 16);
        font.Put16(rec + 2, sum & 0xFFFF);
    }
    const std::uint32_t adjust = 0xB1B0AFBAu - TableChecksum(font.bytes.data(), font.bytes.size());
    font.Put16(headAt + 8, adjust >> 16);
    font.Put16(headAt + 10, adjust & 0xFFFF);

    auto result = std::make_shared<FontFileData>();
    result->bytes = std::move(font.bytes);
    // Its own identity, so caches keyed by file and face never confuse it with the donor.
    result->sourcePath = donorFile.sourcePath + "#" + base::encodings::Utf8FromWide(LowerCase(family));
    result->faceIndex = 0;
    result->familyName = family;
    return result;
}

}  // namespace fonts::symbols
