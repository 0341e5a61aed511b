#include "SwfImport.h"

#include "Files.h"
#include "SwfWriter.h"

#include "base/bytes/ByteView.h"

#include <zlib.h>

#include <cstring>
#include <set>

namespace tarnquill {
namespace {

using base::bytes::ByteView;

[[noreturn]] void Damaged(const std::string& why) { throw InputError("damaged movie: " + why); }

class Reader {
public:
    Reader(const std::vector<std::uint8_t>& d, std::size_t pos, std::size_t end) : d_(d), pos_(pos), end_(end) {}
    std::uint32_t Bits(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (pos_ >= end_) Damaged("a record runs past the end of its tag");
            v = (v << 1) | ((d_[pos_] >> (7 - bit_)) & 1);
            if (++bit_ == 8) bit_ = 0, ++pos_;
        }
        return v;
    }
    void Align() {
        if (bit_) bit_ = 0, ++pos_;
    }
    std::uint8_t U8() {
        Align();
        if (pos_ >= end_) Damaged("a record runs past the end of its tag");
        return d_[pos_++];
    }
    std::uint16_t U16() {
        std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    void Skip(std::size_t n) {
        Align();
        if (n > end_ - pos_) Damaged("a record runs past the end of its tag");
        pos_ += n;
    }
    void SkipString() {
        Align();
        while (U8() != 0) {}
    }
    void SkipRect() {
        Align();
        int n = static_cast<int>(Bits(5));
        Bits(4 * n);
        Align();
    }
    void SkipMatrix() {
        Align();
        if (Bits(1)) Bits(2 * static_cast<int>(Bits(5)));
        if (Bits(1)) Bits(2 * static_cast<int>(Bits(5)));
        Bits(2 * static_cast<int>(Bits(5)));
        Align();
    }
    void SkipColorTransform(bool alpha) {
        Align();
        int add = static_cast<int>(Bits(1)), mult = static_cast<int>(Bits(1)), n = static_cast<int>(Bits(4));
        Bits(n * (alpha ? 4 : 3) * (add + mult));
        Align();
    }
    std::size_t Pos() {
        Align();
        return pos_;
    }

private:
    const std::vector<std::uint8_t>& d_;
    std::size_t pos_, end_;
    int bit_ = 0;
};

struct RawTag {
    int code = 0;
    bool longForm = false;
    std::vector<std::uint8_t> body;
};

std::vector<RawTag> ReadTags(const std::vector<std::uint8_t>& d, std::size_t pos, std::size_t end) {
    std::vector<RawTag> tags;
    while (pos < end) {
        if (end - pos < 2) Damaged("a tag header is cut short");
        const int head = ByteView(d).U16(pos);
        pos += 2;
        std::size_t length = head & 0x3f;
        RawTag tag;
        tag.code = head >> 6;
        if (length == 0x3f) {
            if (end - pos < 4) Damaged("a tag header is cut short");
            length = ByteView(d).U32(pos);
            pos += 4;
            tag.longForm = true;
        }
        if (length > end - pos) Damaged("tag " + std::to_string(tag.code) + " runs past the end of the movie");
        tag.body.assign(d.begin() + static_cast<std::ptrdiff_t>(pos),
                        d.begin() + static_cast<std::ptrdiff_t>(pos + length));
        pos += length;
        if (tag.code == 0) break;
        tags.push_back(std::move(tag));
    }
    return tags;
}

class Importer {
public:
    Importer(const std::function<std::uint16_t()>& newId, std::vector<std::string>& warnings)
        : newId_(newId), warnings_(warnings) {}

    ImportedMovie Run(const std::vector<std::uint8_t>& file, bool lockRoot) {
        ImportedMovie out;
        std::vector<std::uint8_t> d = Unpack(file, out.version);
        Reader header(d, 8, d.size());
        header.SkipRect();
        std::size_t tagsStart = header.Pos() + 4;  // frame rate and count
        if (tagsStart > d.size()) Damaged("the header is cut short");

        if (lockRoot) {
            // this._lockroot = true, before the movie's own first-frame actions.
            static const std::uint8_t kLock[] = {0x96, 6,   0,   0,   't', 'h', 'i', 's', 0,   0x1C, 0x96, 13, 0,    0,
                                                 '_',  'l', 'o', 'c', 'k', 'r', 'o', 'o', 't', 0,    5,    1,  0x4F, 0};
            WriteTag(out.timeline, 12, std::vector<std::uint8_t>(std::begin(kLock), std::end(kLock)));
        }
        std::vector<std::uint8_t> tables;
        bool pending = false;  // control tags after the last frame
        for (RawTag& tag : ReadTags(d, tagsStart, d.size())) {
            int code = tag.code;
            if (code == 72 || code == 82 || code == 76 || (code == 69 && !tag.body.empty() && (tag.body[0] & 0x08)))
                throw InputError("ActionScript 3 movies cannot be imported");
            if (IsControl(code)) {
                PatchControl(tag);
                WriteTag(out.timeline, code, tag.body, tag.longForm);
                if (code == 1)
                    ++frames_, pending = false;
                else
                    pending = true;
                continue;
            }
            switch (code) {
            case 69:
            case 9:
            case 77:
            case 24:
            case 58:
            case 64:
            case 65:
            case 41:
            case 63:
            case 86:
            case 66:
                continue;  // belongs to the file, not to a sprite
            case 8:
                tables = tag.body;
                continue;
            case 6: {  // older JPEG with shared tables: make it self-contained
                if (tag.body.size() < 2) Damaged("a bitmap is cut short");
                std::vector<std::uint8_t> body(tag.body.begin(), tag.body.begin() + 2);
                body.insert(body.end(), tables.begin(), tables.end());
                body.insert(body.end(), tag.body.begin() + 2, tag.body.end());
                tag.body = std::move(body);
                tag.code = code = 21;
                tag.longForm = true;
                break;
            }
            default:
                break;
            }
            if (!PatchDefinition(tag)) {
                warnings_.push_back("tag " + std::to_string(code) +
                                    " of the imported movie is not understood; skipped");
                continue;
            }
            WriteTag(out.definitions, tag.code, tag.body, tag.longForm);
        }
        if (pending || frames_ == 0) {
            WriteTag(out.timeline, 1, {});
            ++frames_;
        }
        if (frames_ > 65535) Damaged("too many frames");
        WriteTag(out.timeline, 0, {});
        out.frameCount = static_cast<std::uint16_t>(frames_);
        out.ids = ids_;
        return out;
    }

private:
    static std::vector<std::uint8_t> Unpack(const std::vector<std::uint8_t>& file, int& version) {
        if (file.size() < 8) throw InputError("not a SWF movie (too short)");
        std::string signature(file.begin(), file.begin() + 3);
        if (signature == "ZWS") throw InputError("LZMA-compressed movies are not supported");
        if (signature != "FWS" && signature != "CWS") throw InputError("not a SWF movie");
        version = file[3];
        // ActionScript 1 and 2 content up to version 10 runs in our version 8 movie.
        if (version < 1 || version > 10) throw InputError("unsupported SWF version " + std::to_string(version));
        std::uint64_t length = ByteView(file).U32(4);
        if (length > kMaxImportedSwfLength)
            throw InputError("the movie is too large (" + std::to_string(length) + " bytes unpacked)");
        if (signature == "FWS") return file;
        std::vector<std::uint8_t> d(file.begin(), file.begin() + 8);
        d.resize(std::max<std::uint64_t>(length, 8));
        z_stream z{};
        if (inflateInit(&z) != Z_OK) throw InputError("zlib cannot start");
        z.next_in = const_cast<Bytef*>(file.data() + 8);
        z.avail_in = static_cast<uInt>(file.size() - 8);
        z.next_out = d.data() + 8;
        z.avail_out = static_cast<uInt>(d.size() - 8);
        int result = inflate(&z, Z_FINISH);
        std::size_t produced = 8 + z.total_out;
        inflateEnd(&z);
        // A length field larger than the data is tolerated; corrupt data is not.
        if (result != Z_STREAM_END && result != Z_BUF_ERROR && result != Z_OK)
            Damaged("its compressed data is corrupt");
        d.resize(produced);
        return d;
    }

    static bool IsControl(int code) {
        switch (code) {
        case 1:
        case 4:
        case 5:
        case 12:
        case 15:
        case 18:
        case 19:
        case 26:
        case 28:
        case 43:
        case 45:
        case 61:
        case 70:
            return true;
        default:
            return false;
        }
    }

    std::uint16_t Map(std::uint16_t old) {
        auto it = ids_.find(old);
        if (it == ids_.end()) Damaged("character " + std::to_string(old) + " is used before it is defined");
        return it->second;
    }

    void Patch(std::vector<std::uint8_t>& body, std::size_t at) {
        if (at + 2 > body.size()) Damaged("a reference is cut short");
        std::uint16_t id = Map(ByteView(body).U16(at));
        body[at] = static_cast<std::uint8_t>(id);
        body[at + 1] = static_cast<std::uint8_t>(id >> 8);
    }

    void Define(std::vector<std::uint8_t>& body, std::size_t at = 0) {
        if (at + 2 > body.size()) Damaged("a definition is cut short");
        std::uint16_t old = ByteView(body).U16(at);
        if (ids_.count(old)) Damaged("character " + std::to_string(old) + " is defined twice");
        std::uint16_t id = newId_();
        ids_[old] = id;
        body[at] = static_cast<std::uint8_t>(id);
        body[at + 1] = static_cast<std::uint8_t>(id >> 8);
    }

    void PatchControl(RawTag& tag) {
        auto& b = tag.body;
        switch (tag.code) {
        case 4:
        case 5:
        case 15:
        case 61:
            Patch(b, 0);
            break;
        case 26:
            if (b.empty()) Damaged("a placement is cut short");
            if (b[0] & 0x02) Patch(b, 3);
            break;
        case 70: {
            Reader r(b, 0, b.size());
            std::uint8_t flags = r.U8(), flags2 = r.U8();
            r.U16();
            if ((flags2 & 0x08) || ((flags2 & 0x10) && (flags & 0x02))) r.SkipString();
            if (flags & 0x02) Patch(b, r.Pos());
            break;
        }
        default:
            break;
        }
    }

    void SoundInfo(Reader& r) {
        std::uint8_t flags = r.U8();
        if (flags & 0x01) r.Skip(4);
        if (flags & 0x02) r.Skip(4);
        if (flags & 0x04) r.Skip(2);
        if (flags & 0x08) r.Skip(8 * static_cast<std::size_t>(r.U8()));
    }

    void FillStyle(Reader& r, std::vector<std::uint8_t>& b, int version) {
        std::uint8_t type = r.U8();
        if (type == 0x00) {
            r.Skip(version >= 3 ? 4 : 3);
        } else if (type == 0x10 || type == 0x12 || type == 0x13) {
            r.SkipMatrix();
            int n = r.U8() & 0x0f;
            r.Skip(static_cast<std::size_t>(n) * (version >= 3 ? 5 : 4));
            if (type == 0x13) r.Skip(2);
        } else if (type >= 0x40 && type <= 0x43) {
            std::size_t at = r.Pos();
            std::uint16_t bitmap = r.U16();
            if (bitmap != 0xffff) Patch(b, at);  // 65535 means no bitmap
            r.SkipMatrix();
        } else {
            Damaged("unknown fill style " + std::to_string(type));
        }
    }

    void StyleArrays(Reader& r, std::vector<std::uint8_t>& b, int version) {
        std::size_t fills = r.U8();
        if (fills == 0xff && version >= 2) fills = r.U16();
        for (std::size_t i = 0; i < fills; ++i) FillStyle(r, b, version);
        std::size_t lines = r.U8();
        if (lines == 0xff && version >= 2) lines = r.U16();
        for (std::size_t i = 0; i < lines; ++i) {
            r.U16();
            if (version == 4) {
                std::uint8_t f1 = r.U8();
                r.U8();
                if (((f1 >> 4) & 3) == 2) r.U16();
                if (f1 & 0x08)
                    FillStyle(r, b, version);
                else
                    r.Skip(4);
            } else {
                r.Skip(version >= 3 ? 4 : 3);
            }
        }
    }

    // Only bitmap fills refer to other characters; the outline is walked to reach the
    // style arrays that records may bring in.
    void PatchShape(std::vector<std::uint8_t>& b, int version) {
        Reader r(b, 2, b.size());
        r.SkipRect();
        if (version == 4) {
            r.SkipRect();
            r.U8();
        }
        StyleArrays(r, b, version);
        int fillBits = static_cast<int>(r.Bits(4)), lineBits = static_cast<int>(r.Bits(4));
        for (;;) {
            if (r.Bits(1) == 0) {
                std::uint32_t flags = r.Bits(5);
                if (flags == 0) break;
                if (flags & 0x01) r.Bits(2 * static_cast<int>(r.Bits(5)));
                if (flags & 0x02) r.Bits(fillBits);
                if (flags & 0x04) r.Bits(fillBits);
                if (flags & 0x08) r.Bits(lineBits);
                if (flags & 0x10) {
                    StyleArrays(r, b, version);
                    fillBits = static_cast<int>(r.Bits(4));
                    lineBits = static_cast<int>(r.Bits(4));
                }
            } else if (r.Bits(1) == 1) {
                int n = static_cast<int>(r.Bits(4)) + 2;
                if (r.Bits(1))
                    r.Bits(2 * n);
                else
                    r.Bits(1 + n);
            } else {
                int n = static_cast<int>(r.Bits(4)) + 2;
                r.Bits(4 * n);
            }
        }
    }

    void PatchMorph(std::vector<std::uint8_t>& b, int version) {
        Reader r(b, 2, b.size());
        r.SkipRect();
        r.SkipRect();
        if (version == 2) {
            r.SkipRect();
            r.SkipRect();
            r.U8();
        }
        r.Skip(4);
        std::size_t fills = r.U8();
        if (fills == 0xff) fills = r.U16();
        for (std::size_t i = 0; i < fills; ++i) {
            std::uint8_t type = r.U8();
            if (type == 0x00) {
                r.Skip(8);
            } else if (type == 0x10 || type == 0x12 || type == 0x13) {
                r.SkipMatrix();
                r.SkipMatrix();
                r.Skip(10 * static_cast<std::size_t>(r.U8() & 0x0f));
            } else if (type >= 0x40 && type <= 0x43) {
                std::size_t at = r.Pos();
                if (r.U16() != 0xffff) Patch(b, at);
                r.SkipMatrix();
                r.SkipMatrix();
            } else {
                Damaged("unknown morph fill style " + std::to_string(type));
            }
        }
    }

    void PatchButtonRecords(Reader& r, std::vector<std::uint8_t>& b, bool two) {
        for (;;) {
            std::uint8_t flags = r.U8();
            if (flags == 0) break;
            Patch(b, r.Pos());
            r.U16();
            r.U16();
            r.SkipMatrix();
            if (!two) continue;
            r.SkipColorTransform(true);
            if (flags & 0x10) {
                std::size_t filters = r.U8();
                for (std::size_t i = 0; i < filters; ++i) {
                    switch (r.U8()) {
                    case 0:
                        r.Skip(23);
                        break;
                    case 1:
                        r.Skip(9);
                        break;
                    case 2:
                        r.Skip(15);
                        break;
                    case 3:
                        r.Skip(27);
                        break;
                    case 4:
                    case 7:
                        r.Skip(5 * static_cast<std::size_t>(r.U8()) + 19);
                        break;
                    case 5: {
                        std::size_t x = r.U8(), y = r.U8();
                        r.Skip(8 + 4 * x * y + 5);
                        break;
                    }
                    case 6:
                        r.Skip(80);
                        break;
                    default:
                        Damaged("unknown filter");
                    }
                }
            }
            if (flags & 0x20) r.U8();
        }
    }

    void PatchText(std::vector<std::uint8_t>& b, bool alpha) {
        Reader r(b, 2, b.size());
        r.SkipRect();
        r.SkipMatrix();
        int glyphBits = r.U8(), advanceBits = r.U8();
        for (;;) {
            std::uint8_t flags = r.U8();
            if (flags == 0) break;
            if (flags & 0x08) {
                Patch(b, r.Pos());
                r.U16();
            }
            if (flags & 0x04) r.Skip(alpha ? 4 : 3);
            if (flags & 0x01) r.U16();
            if (flags & 0x02) r.U16();
            if (flags & 0x08) r.U16();
            int glyphs = r.U8();
            r.Bits(glyphs * (glyphBits + advanceBits));
        }
    }

    std::vector<std::uint8_t> SpriteBody(const std::vector<std::uint8_t>& b) {
        if (b.size() < 4) Damaged("a sprite is cut short");
        std::vector<std::uint8_t> out(b.begin(), b.begin() + 4);
        for (RawTag& tag : ReadTags(b, 4, b.size())) {
            if (!IsControl(tag.code)) {
                if (tag.code == 0) break;
                // Definitions inside sprites are not allowed; other odd tags are dropped.
                if (tag.code == 39) Damaged("a sprite holds a sprite definition");
                warnings_.push_back("tag " + std::to_string(tag.code) + " inside an imported sprite is skipped");
                continue;
            }
            PatchControl(tag);
            WriteTag(out, tag.code, tag.body, tag.longForm);
        }
        WriteTag(out, 0, {});
        return out;
    }

    // False for tags we do not know.
    bool PatchDefinition(RawTag& tag) {
        auto& b = tag.body;
        switch (tag.code) {
        case 2:
            Define(b);
            PatchShape(b, 1);
            return true;
        case 22:
            Define(b);
            PatchShape(b, 2);
            return true;
        case 32:
            Define(b);
            PatchShape(b, 3);
            return true;
        case 83:
            Define(b);
            PatchShape(b, 4);
            return true;
        case 46:
            Define(b);
            PatchMorph(b, 1);
            return true;
        case 84:
            Define(b);
            PatchMorph(b, 2);
            return true;
        case 10:
        case 48:
        case 75:
        case 91:
        case 21:
        case 35:
        case 90:
        case 20:
        case 36:
        case 14:
        case 60:
        case 87:
            Define(b);
            return true;
        case 11:
        case 33:
            Define(b);
            PatchText(b, tag.code == 33);
            return true;
        case 37: {
            Define(b);
            Reader r(b, 2, b.size());
            r.SkipRect();
            std::uint8_t flags = r.U8();
            r.U8();
            if (flags & 0x01) Patch(b, r.Pos());
            return true;
        }
        case 7: {
            Define(b);
            Reader r(b, 2, b.size());
            PatchButtonRecords(r, b, false);
            return true;
        }
        case 34: {
            Define(b);
            Reader r(b, 2, b.size());
            r.U8();
            r.U16();
            PatchButtonRecords(r, b, true);
            return true;
        }
        case 39: {
            Define(b);
            b = SpriteBody(b);
            return true;
        }
        case 13:
        case 62:
        case 73:
        case 88:
        case 74:
        case 78:
        case 23:
        case 59:
            Patch(b, 0);
            return true;
        case 17: {
            Patch(b, 0);
            Reader r(b, 2, b.size());
            for (int i = 0; i < 4; ++i) {
                std::size_t at = r.Pos();
                if (at >= b.size()) break;
                if (r.U16() != 0) {
                    Patch(b, at);
                    SoundInfo(r);
                }
            }
            return true;
        }
        case 56: {
            Reader r(b, 0, b.size());
            std::size_t count = r.U16();
            for (std::size_t i = 0; i < count; ++i) {
                Patch(b, r.Pos());
                r.U16();
                r.SkipString();
            }
            return true;
        }
        case 57:
        case 71: {
            Reader r(b, 0, b.size());
            r.SkipString();
            if (tag.code == 71) r.Skip(2);
            std::size_t count = r.U16();
            for (std::size_t i = 0; i < count; ++i) {
                Define(b, r.Pos());
                r.U16();
                r.SkipString();
            }
            return true;
        }
        default:
            return false;
        }
    }

    const std::function<std::uint16_t()>& newId_;
    std::vector<std::string>& warnings_;
    std::map<std::uint16_t, std::uint16_t> ids_;
    std::uint64_t frames_ = 0;
};

}  // namespace

bool LooksLikeSwf(const std::vector<std::uint8_t>& file) {
    return file.size() >= 3 && (file[0] == 'F' || file[0] == 'C' || file[0] == 'Z') && file[1] == 'W' && file[2] == 'S';
}

ImportedMovie ImportSwf(const std::vector<std::uint8_t>& file, const std::function<std::uint16_t()>& newId,
                        bool lockRoot, std::vector<std::string>& warnings) {
    return Importer(newId, warnings).Run(file, lockRoot);
}

}  // namespace tarnquill
