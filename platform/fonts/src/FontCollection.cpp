// Reading and rebuilding sfnt containers. Every offset and length is checked against the data's
// own size before it is followed: font files are input like any other.
#include "fonts/SystemFonts.h"

#include "TableChecksum.h"

#include "base/bytes/ByteView.h"

#include <algorithm>
#include <cstring>

namespace fonts {
namespace {

constexpr std::uint32_t Tag(char a, char b, char c, char d) {
    return (std::uint32_t(std::uint8_t(a)) << 24) | (std::uint32_t(std::uint8_t(b)) << 16) |
           (std::uint32_t(std::uint8_t(c)) << 8) | std::uint32_t(std::uint8_t(d));
}

using base::bytes::ByteView;

void Put32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}
void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v >> 8);
    p[1] = std::uint8_t(v);
}

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

struct TableRecord {
    std::uint32_t tag, checksum, offset, length;
};

bool KnownSfntVersion(std::uint32_t v) {
    return v == 0x00010000u || v == Tag('t', 'r', 'u', 'e') || v == Tag('O', 'T', 'T', 'O');
}

// The table directory at `at`, every table lying inside the data.
bool ReadDirectory(const std::uint8_t* data, std::size_t size, std::size_t at, std::uint32_t* version,
                   std::vector<TableRecord>& tables, std::string* error) {
    if (at > size || size - at < 12) return Fail(error, "font table directory lies outside the data");
    const ByteView font(data, size);
    *version = font.BeU32(at);
    if (!KnownSfntVersion(*version)) return Fail(error, "not a TrueType or OpenType font");
    std::uint16_t count = font.BeU16(at + 4);
    if (count == 0) return Fail(error, "font has no tables");
    if ((size - at - 12) / 16 < count) return Fail(error, "font table directory is truncated");
    tables.clear();
    tables.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t r = at + 12 + 16 * std::size_t(i);
        TableRecord t{font.BeU32(r), font.BeU32(r + 4), font.BeU32(r + 8), font.BeU32(r + 12)};
        if (t.offset > size || t.length > size - t.offset) return Fail(error, "font table lies outside the data");
        tables.push_back(t);
    }
    return true;
}

}  // namespace

bool IsFontCollection(const std::uint8_t* data, std::size_t size) {
    return data && size >= 12 && ByteView(data, size).BeU32(0) == Tag('t', 't', 'c', 'f');
}

std::uint32_t CollectionFaceCount(const std::uint8_t* data, std::size_t size) {
    if (!IsFontCollection(data, size)) return 0;
    std::uint32_t count = ByteView(data, size).BeU32(8);
    if (count == 0 || (size - 12) / 4 < count) return 0;
    return count;
}

bool CheckSfnt(const std::uint8_t* data, std::size_t size, bool* hasOutlines, std::string* error) {
    if (hasOutlines) *hasOutlines = false;
    if (!data) return Fail(error, "no font data");
    std::uint32_t version = 0;
    std::vector<TableRecord> tables;
    if (!ReadDirectory(data, size, 0, &version, tables, error)) return false;
    bool glyf = false, loca = false;
    for (const TableRecord& t : tables) {
        glyf = glyf || t.tag == Tag('g', 'l', 'y', 'f');
        loca = loca || t.tag == Tag('l', 'o', 'c', 'a');
    }
    if (hasOutlines) *hasOutlines = glyf && loca;
    return true;
}

bool ExtractCollectionFace(const std::uint8_t* data, std::size_t size, std::uint32_t index,
                           std::vector<std::uint8_t>& out, std::string* error) {
    out.clear();
    std::uint32_t faces = CollectionFaceCount(data, size);
    if (faces == 0) return Fail(error, "not a font collection");
    if (index >= faces) return Fail(error, "no such face in the font collection");
    std::uint32_t version = 0;
    std::vector<TableRecord> tables;
    const std::uint32_t faceAt = ByteView(data, size).BeU32(12 + 4 * std::size_t(index));
    if (!ReadDirectory(data, size, faceAt, &version, tables, error)) return false;

    // Readers binary-search the directory, so it goes out sorted by tag; tables the collection
    // shares between faces are copied into this one.
    std::sort(tables.begin(), tables.end(), [](const TableRecord& a, const TableRecord& b) { return a.tag < b.tag; });
    const std::size_t directorySize = 12 + 16 * tables.size();
    std::size_t total = directorySize;
    for (const TableRecord& t : tables) total += (std::size_t(t.length) + 3) & ~std::size_t(3);
    if (total > std::size_t(0xFFFFFFFFu)) return Fail(error, "font collection face is too large");
    out.assign(total, 0);

    const std::uint16_t count = std::uint16_t(tables.size());
    std::uint16_t entrySelector = 0;
    while ((2u << entrySelector) <= count) ++entrySelector;
    const std::uint16_t searchRange = std::uint16_t(16u << entrySelector);
    Put32(out.data(), version);
    Put16(out.data() + 4, count);
    Put16(out.data() + 6, searchRange);
    Put16(out.data() + 8, entrySelector);
    Put16(out.data() + 10, std::uint16_t(count * 16 - searchRange));

    std::size_t at = directorySize;
    std::size_t headAt = 0;
    bool haveHead = false;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const TableRecord& t = tables[i];
        std::memcpy(out.data() + at, data + t.offset, t.length);
        if (t.tag == Tag('h', 'e', 'a', 'd') && t.length >= 12) {
            Put32(out.data() + at + 8, 0);  // checksums are taken with the adjustment cleared
            headAt = at;
            haveHead = true;
        }
        std::uint8_t* r = out.data() + 12 + 16 * i;
        Put32(r, t.tag);
        Put32(r + 4, TableChecksum(out.data() + at, t.length));
        Put32(r + 8, std::uint32_t(at));
        Put32(r + 12, t.length);
        at += (std::size_t(t.length) + 3) & ~std::size_t(3);
    }
    if (haveHead) Put32(out.data() + headAt + 8, 0xB1B0AFBAu - TableChecksum(out.data(), out.size()));
    return true;
}

}  // namespace fonts
