// Byte and bit level writing of SWF records and tags.
#pragma once

#include "Model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnquill {

class BitWriter {
public:
    // Most records are a few dozen bytes: room for them up front instead of growing byte by byte.
    BitWriter() { data_.reserve(64); }
    void Bits(std::uint32_t value, int count);  // most significant bit first
    void SignedBits(std::int32_t value, int count) { Bits(static_cast<std::uint32_t>(value), count); }
    void Align() { bitPos_ = 0; }
    void U8(std::uint8_t v) {
        Align();
        data_.push_back(v);
    }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void Bytes(const std::uint8_t* data, std::size_t size);
    void Bytes(const std::vector<std::uint8_t>& data) { Bytes(data.data(), data.size()); }
    void String(const std::string& utf8);  // with terminating zero
    std::vector<std::uint8_t>& Data() { return data_; }
    std::size_t Size() const { return data_.size(); }

private:
    std::vector<std::uint8_t> data_;
    int bitPos_ = 0;  // bits used in the last byte, 0 when aligned
};

int SignedBitCount(std::int64_t value);
int UnsignedBitCount(std::uint64_t value);

struct Rect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

void WriteRect(BitWriter& w, const Rect& r);
void WriteMatrix(BitWriter& w, const Placement& p);
void WriteColorTransform(BitWriter& w, const std::int32_t shift[4]);  // CXFORMWITHALPHA, add terms

enum TagCode : int {
    kEnd = 0,
    kShowFrame = 1,
    kSetBackgroundColor = 9,
    kDoAction = 12,
    kStartSound = 15,
    kPlaceObject2 = 26,
    kRemoveObject2 = 28,
    kDefineShape3 = 32,
    kDefineButton2 = 34,
    kDefineBitsJPEG3 = 35,
    kDefineBitsLossless2 = 36,
    kDefineEditText = 37,
    kDefineSprite = 39,
    kFrameLabel = 43,
    kSoundStreamHead2 = 45,
    kFileAttributes = 69,
    kDefineFont3 = 75,
    kDefineFontAlignZones = 73,
    kDefineSound = 14,
    kDefineFontName = 88,
};

// A tag with its header; long form when the body is 63 bytes or more.
void WriteTag(std::vector<std::uint8_t>& out, int code, const std::vector<std::uint8_t>& body, bool forceLong = false);
// The header alone, for a body of `size` bytes the caller appends.
void WriteTagHeader(std::vector<std::uint8_t>& out, int code, std::size_t size, bool forceLong = false);

// Shape outlines built edge by edge, with positions in twips.
class ShapeBuilder {
public:
    explicit ShapeBuilder(int fillBits) : fillBits_(fillBits) {}
    void MoveTo(std::int32_t x, std::int32_t y, int fill0, int fill1);
    // Moves the pen without touching the styles (later contours of a glyph).
    void MoveOnly(std::int32_t x, std::int32_t y);
    // Replaces the style arrays (DefineShape2 and later); `arrays` holds the fill style
    // array followed by the line style array. Later paths then paint above earlier ones.
    void NewStyles(const std::vector<std::uint8_t>& arrays, int fillBits, int lineBits);
    // Moves and selects all three styles with the current bit counts.
    void Select(std::int32_t x, std::int32_t y, int fill0, int fill1, int line);
    void LineTo(std::int32_t x, std::int32_t y);
    void CurveTo(std::int32_t cx, std::int32_t cy, std::int32_t ax, std::int32_t ay);
    void Rectangle(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, int fill0, int fill1);
    void Ellipse(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, int fill0, int fill1);
    void End();  // end record and alignment
    BitWriter& Writer() { return w_; }

private:
    void Edge(std::int64_t dx, std::int64_t dy);
    BitWriter w_;
    int fillBits_;
    int lineBits_ = 0;
    std::int32_t x_ = 0, y_ = 0;
};

}  // namespace tarnquill
