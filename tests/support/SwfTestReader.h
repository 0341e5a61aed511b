// Reads back the tags a compiled SWF holds, independently of the writer's code.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace swftest {

struct Tag {
    int code = 0;
    std::vector<std::uint8_t> body;
    std::vector<Tag> children;  // DefineSprite's control tags
};

struct Placement {
    bool move = false, hasCharacter = false, hasMatrix = false, hasColor = false;
    int depth = 0, character = 0, clipDepth = 0;
    std::string name;
};

class Bits {
public:
    Bits(const std::vector<std::uint8_t>& data, std::size_t pos = 0) : d_(data), byte_(pos) {}
    std::uint32_t U(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (byte_ >= d_.size()) throw std::runtime_error("read past end");
            v = (v << 1) | ((d_[byte_] >> (7 - bit_)) & 1);
            if (++bit_ == 8) {
                bit_ = 0;
                ++byte_;
            }
        }
        return v;
    }
    std::int32_t S(int n) {
        std::uint32_t v = U(n);
        if (n > 0 && n < 32 && (v >> (n - 1)) & 1) v |= ~0u << n;
        return static_cast<std::int32_t>(v);
    }
    void Align() {
        if (bit_) {
            bit_ = 0;
            ++byte_;
        }
    }
    std::uint8_t U8() {
        Align();
        return static_cast<std::uint8_t>(U(8));
    }
    std::uint16_t U16() {
        std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32() {
        std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }
    std::string Str() {
        Align();
        std::string s;
        while (char c = static_cast<char>(U8())) s += c;
        return s;
    }
    void SkipRect() {
        Align();
        int n = U(5);
        U(4 * n);
        Align();
    }
    void SkipMatrix() {
        Align();
        if (U(1)) {
            int n = U(5);
            U(2 * n);
        }
        if (U(1)) {
            int n = U(5);
            U(2 * n);
        }
        int n = U(5);
        U(2 * n);
        Align();
    }
    void SkipColor() {
        Align();
        bool add = U(1), mult = U(1);
        int n = U(4);
        U(n * 4 * (add + mult));
        Align();
    }
    std::size_t Pos() const { return byte_; }

private:
    const std::vector<std::uint8_t>& d_;
    std::size_t byte_;
    int bit_ = 0;
};

inline std::vector<Tag> ReadTags(const std::vector<std::uint8_t>& d, std::size_t pos, std::size_t end) {
    std::vector<Tag> tags;
    while (pos + 2 <= end) {
        int head = d[pos] | (d[pos + 1] << 8);
        pos += 2;
        std::size_t len = head & 0x3f;
        if (len == 0x3f) {
            len = d[pos] | (d[pos + 1] << 8) | (d[pos + 2] << 16) | (static_cast<std::size_t>(d[pos + 3]) << 24);
            pos += 4;
        }
        if (pos + len > end) throw std::runtime_error("tag runs past the end");
        Tag t;
        t.code = head >> 6;
        t.body.assign(d.begin() + pos, d.begin() + pos + len);
        if (t.code == 39) t.children = ReadTags(t.body, 4, t.body.size());
        pos += len;
        tags.push_back(std::move(t));
        if (tags.back().code == 0) break;
    }
    return tags;
}

struct Movie {
    char signature[3] = {};
    int version = 0;
    std::uint32_t fileLength = 0;
    int width = 0, height = 0, frameCount = 0;
    double frameRate = 0;
    std::vector<Tag> tags;
};

inline Movie Read(const std::vector<std::uint8_t>& file) {
    if (file.size() < 8) throw std::runtime_error("too short");
    Movie m;
    for (int i = 0; i < 3; ++i) m.signature[i] = static_cast<char>(file[i]);
    m.version = file[3];
    m.fileLength = file[4] | (file[5] << 8) | (file[6] << 16) | (static_cast<std::uint32_t>(file[7]) << 24);
    std::vector<std::uint8_t> d(file.begin(), file.begin() + 8);
    if (m.signature[0] == 'C') {
        d.resize(m.fileLength);
        uLongf size = m.fileLength - 8;
        if (uncompress(d.data() + 8, &size, file.data() + 8, file.size() - 8) != Z_OK) throw std::runtime_error("zlib");
        d.resize(8 + size);
    } else {
        d = file;
    }
    if (d.size() != m.fileLength) throw std::runtime_error("file length field does not match");
    Bits b(d, 8);
    int n = b.U(5);
    int xmin = b.S(n), xmax = b.S(n), ymin = b.S(n), ymax = b.S(n);
    m.width = (xmax - xmin) / 20;
    m.height = (ymax - ymin) / 20;
    m.frameRate = b.U16() / 256.0;
    m.frameCount = b.U16();
    m.tags = ReadTags(d, b.Pos(), d.size());
    return m;
}

inline Placement ReadPlace(const Tag& t) {
    Bits b(t.body);
    Placement p;
    int flags = b.U8();
    p.move = flags & 1;
    p.hasCharacter = flags & 2;
    p.hasMatrix = flags & 4;
    p.hasColor = flags & 8;
    p.depth = b.U16();
    if (p.hasCharacter) p.character = b.U16();
    if (p.hasMatrix) b.SkipMatrix();
    if (p.hasColor) b.SkipColor();
    if (flags & 0x10) b.U16();
    if (flags & 0x20) p.name = b.Str();
    if (flags & 0x40) p.clipDepth = b.U16();
    return p;
}

inline int DefinedId(const Tag& t) {
    switch (t.code) {
    case 32:
    case 34:
    case 35:
    case 36:
    case 39:
    case 37:
    case 75:
    case 14:
        return t.body[0] | (t.body[1] << 8);
    default:
        return 0;
    }
}

// Every character a tag places or a button shows was defined by an earlier tag, and none twice.
inline void ExpectDefinedBeforeUse(const std::vector<Tag>& tags, std::set<int>& defined) {
    for (const auto& t : tags) {
        if (t.code == 26) {
            auto p = ReadPlace(t);
            if (p.hasCharacter) {
                EXPECT_TRUE(defined.count(p.character)) << "character " << p.character;
            }
        }
        if (t.code == 39) ExpectDefinedBeforeUse(t.children, defined);
        if (int id = DefinedId(t)) {
            EXPECT_TRUE(defined.insert(id).second) << "id defined twice: " << id;
        }
    }
}

}  // namespace swftest
