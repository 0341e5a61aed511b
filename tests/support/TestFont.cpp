#include "TestFont.h"

#include <algorithm>
#include <utility>

namespace fontstest {
namespace {

struct Writer {
    std::vector<std::uint8_t> b;
    void U8(unsigned v) { b.push_back(std::uint8_t(v)); }
    void U16(unsigned v) {
        U8(v >> 8);
        U8(v);
    }
    void S16(int v) { U16(unsigned(v) & 0xFFFF); }
    void U32(std::uint32_t v) {
        U16(v >> 16);
        U16(v & 0xFFFF);
    }
    void Pad4() {
        while (b.size() % 4) U8(0);
    }
};

std::uint32_t CheckSum(const std::vector<std::uint8_t>& t) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < t.size(); i += 4) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | (i + k < t.size() ? t[i + k] : 0);
        sum += v;
    }
    return sum;
}

// Format 4 over the given (code, glyph) pairs, one segment each.
std::vector<std::uint8_t> Format4(const std::vector<std::pair<std::uint32_t, unsigned>>& map) {
    std::vector<std::pair<std::uint32_t, unsigned>> segs;
    for (auto& m : map)
        if (m.first < 0xFFFF) segs.push_back(m);
    std::sort(segs.begin(), segs.end());
    segs.push_back({0xFFFF, 0});
    const unsigned segCount = unsigned(segs.size());
    unsigned searchRange = 2, entrySelector = 0;
    while (searchRange * 2 <= segCount * 2) {
        searchRange *= 2;
        ++entrySelector;
    }
    Writer w;
    w.U16(4);
    w.U16(16 + 8 * segCount);
    w.U16(0);
    w.U16(segCount * 2);
    w.U16(searchRange);
    w.U16(entrySelector);
    w.U16(segCount * 2 - searchRange);
    for (auto& s : segs) w.U16(s.first);
    w.U16(0);
    for (auto& s : segs) w.U16(s.first);
    for (auto& s : segs) w.U16(s.first == 0xFFFF ? 1 : (s.second - s.first) & 0xFFFF);
    for (std::size_t i = 0; i < segs.size(); ++i) w.U16(0);
    return w.b;
}

std::vector<std::uint8_t> Format12(const std::vector<std::pair<std::uint32_t, unsigned>>& map) {
    std::vector<std::pair<std::uint32_t, unsigned>> groups(map);
    std::sort(groups.begin(), groups.end());
    Writer w;
    w.U16(12);
    w.U16(0);
    w.U32(16 + 12 * std::uint32_t(groups.size()));
    w.U32(0);
    w.U32(std::uint32_t(groups.size()));
    for (auto& g : groups) {
        w.U32(g.first);
        w.U32(g.first);
        w.U32(g.second);
    }
    return w.b;
}

}  // namespace

std::vector<std::uint8_t> BuildTestFont(const TestFontSpec& spec) {
    const unsigned numGlyphs = unsigned(spec.glyphs.size()) + 1;  // glyph 0 is .notdef
    std::vector<std::pair<std::uint32_t, unsigned>> map;
    bool astral = false;
    for (std::size_t i = 0; i < spec.glyphs.size(); ++i) {
        map.push_back({spec.glyphs[i].code, unsigned(i + 1)});
        astral = astral || spec.glyphs[i].code > 0xFFFF;
    }

    // glyf and loca
    Writer glyf, loca;
    loca.U32(0);  // .notdef: empty
    loca.U32(0);
    int fxMin = 0, fyMin = 0, fxMax = 0, fyMax = 0, maxAdvance = 0;
    for (const TestGlyph& g : spec.glyphs) {
        maxAdvance = std::max(maxAdvance, g.advance);
        if (g.xMin != g.xMax || g.yMin != g.yMax) {
            fxMin = std::min(fxMin, g.xMin);
            fyMin = std::min(fyMin, g.yMin);
            fxMax = std::max(fxMax, g.xMax);
            fyMax = std::max(fyMax, g.yMax);
            glyf.S16(1);
            glyf.S16(g.xMin);
            glyf.S16(g.yMin);
            glyf.S16(g.xMax);
            glyf.S16(g.yMax);
            glyf.U16(3);
            glyf.U16(0);
            for (int k = 0; k < 4; ++k) glyf.U8(0x01);
            const int xs[4] = {g.xMin, g.xMax, g.xMax, g.xMin};
            const int ys[4] = {g.yMin, g.yMin, g.yMax, g.yMax};
            int last = 0;
            for (int x : xs) {
                glyf.S16(x - last);
                last = x;
            }
            last = 0;
            for (int y : ys) {
                glyf.S16(y - last);
                last = y;
            }
            glyf.Pad4();
        }
        loca.U32(std::uint32_t(glyf.b.size()));
    }

    Writer head;
    head.U32(0x00010000);
    head.U32(0x00010000);
    head.U32(0);
    head.U32(0x5F0F3CF5);
    head.U16(0);
    head.U16(unsigned(spec.unitsPerEm));
    for (int i = 0; i < 4; ++i) head.U32(0);
    head.S16(fxMin);
    head.S16(fyMin);
    head.S16(fxMax);
    head.S16(fyMax);
    head.U16((spec.bold ? 1u : 0u) | (spec.italic ? 2u : 0u));
    head.U16(8);
    head.S16(2);
    head.S16(1);  // long loca
    head.S16(0);

    Writer hhea;
    hhea.U32(0x00010000);
    hhea.S16(spec.ascender);
    hhea.S16(spec.descender);
    hhea.S16(0);
    hhea.U16(unsigned(maxAdvance));
    hhea.S16(0);
    hhea.S16(0);
    hhea.S16(fxMax);
    hhea.S16(1);
    hhea.S16(0);
    hhea.S16(0);
    for (int i = 0; i < 4; ++i) hhea.S16(0);
    hhea.S16(0);
    hhea.U16(numGlyphs);

    Writer hmtx;
    hmtx.U16(500);
    hmtx.S16(0);
    for (const TestGlyph& g : spec.glyphs) {
        hmtx.U16(unsigned(g.advance));
        hmtx.S16(g.xMin);
    }

    Writer maxp;
    maxp.U32(0x00010000);
    maxp.U16(numGlyphs);
    maxp.U16(4);
    maxp.U16(1);
    maxp.U16(0);
    maxp.U16(0);
    maxp.U16(2);
    for (int i = 0; i < 8; ++i) maxp.U16(0);

    Writer cmap;
    std::vector<std::uint8_t> sub4 = Format4(map);
    std::vector<std::uint8_t> sub12 = astral ? Format12(map) : std::vector<std::uint8_t>();
    const unsigned numTables = astral ? 2 : 1;
    cmap.U16(0);
    cmap.U16(numTables);
    cmap.U16(3);
    cmap.U16(spec.symbol ? 0 : 1);
    cmap.U32(4 + 8 * numTables);
    if (astral) {
        cmap.U16(3);
        cmap.U16(10);
        cmap.U32(4 + 8 * numTables + std::uint32_t(sub4.size()));
    }
    cmap.b.insert(cmap.b.end(), sub4.begin(), sub4.end());
    cmap.b.insert(cmap.b.end(), sub12.begin(), sub12.end());

    Writer name;
    std::vector<std::uint8_t> family;
    for (char c : spec.family) {
        family.push_back(0);
        family.push_back(std::uint8_t(c));
    }
    name.U16(0);
    name.U16(1);
    name.U16(6 + 12);
    name.U16(3);
    name.U16(1);
    name.U16(0x409);
    name.U16(1);
    name.U16(unsigned(family.size()));
    name.U16(0);
    name.b.insert(name.b.end(), family.begin(), family.end());

    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> tables = {
        {"cmap", cmap.b}, {"glyf", glyf.b}, {"head", head.b}, {"hhea", hhea.b},
        {"hmtx", hmtx.b}, {"loca", loca.b}, {"maxp", maxp.b}, {"name", name.b}};
    Writer out;
    out.U32(0x00010000);
    out.U16(unsigned(tables.size()));
    out.U16(128);
    out.U16(3);
    out.U16(unsigned(tables.size()) * 16 - 128);
    std::uint32_t offset = 12 + 16 * std::uint32_t(tables.size());
    for (auto& t : tables) {
        for (char c : t.first) out.U8(std::uint8_t(c));
        out.U32(CheckSum(t.second));
        out.U32(offset);
        out.U32(std::uint32_t(t.second.size()));
        offset += (std::uint32_t(t.second.size()) + 3) & ~3u;
    }
    for (auto& t : tables) {
        out.b.insert(out.b.end(), t.second.begin(), t.second.end());
        out.Pad4();
    }
    return out.b;
}

std::vector<std::uint8_t> SimpleFont(const std::string& family, const std::wstring& chars, bool bold, bool italic,
                                     bool symbol) {
    TestFontSpec spec;
    spec.family = family;
    spec.bold = bold;
    spec.italic = italic;
    spec.symbol = symbol;
    for (wchar_t c : chars) spec.glyphs.push_back({std::uint32_t(c), 500, 50, 0, 450, 700});
    return BuildTestFont(spec);
}

}  // namespace fontstest
