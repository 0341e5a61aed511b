#include "SwfWriter.h"

#include "tarnquill/Compiler.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarnquill {

void BitWriter::Bits(std::uint32_t value, int count) {
    // As many of the bits as the last byte has room for at a time, the highest first.
    while (count > 0) {
        if (bitPos_ == 0) data_.push_back(0);
        const int room = 8 - bitPos_;
        const int take = std::min(room, count);
        count -= take;
        const std::uint32_t chunk = (value >> count) & ((1u << take) - 1);
        data_.back() |= static_cast<std::uint8_t>(chunk << (room - take));
        bitPos_ = (bitPos_ + take) & 7;
    }
}

void BitWriter::Bytes(const std::uint8_t* data, std::size_t size) {
    Align();
    data_.insert(data_.end(), data, data + size);
}

void BitWriter::String(const std::string& utf8) {
    Align();
    for (char c : utf8) {
        if (c == '\0') break;  // a zero would end the string early in the player
        data_.push_back(static_cast<std::uint8_t>(c));
    }
    data_.push_back(0);
}

int UnsignedBitCount(std::uint64_t value) {
    int n = 0;
    while (value) {
        ++n;
        value >>= 1;
    }
    return n;
}

int SignedBitCount(std::int64_t value) {
    if (value == 0) return 0;
    return UnsignedBitCount(static_cast<std::uint64_t>(value < 0 ? ~value : value)) + 1;
}

void WriteRect(BitWriter& w, const Rect& r) {
    int n =
        std::max({1, SignedBitCount(r.xMin), SignedBitCount(r.xMax), SignedBitCount(r.yMin), SignedBitCount(r.yMax)});
    w.Align();
    w.Bits(static_cast<std::uint32_t>(n), 5);
    w.SignedBits(r.xMin, n);
    w.SignedBits(r.xMax, n);
    w.SignedBits(r.yMin, n);
    w.SignedBits(r.yMax, n);
    w.Align();
}

static std::int32_t Fixed16(double v) { return static_cast<std::int32_t>(std::lround(v * 65536.0)); }

void WriteMatrix(BitWriter& w, const Placement& p) {
    w.Align();
    std::int32_t sx = Fixed16(p.a), sy = Fixed16(p.d), r0 = Fixed16(p.b), r1 = Fixed16(p.c);
    bool hasScale = sx != 65536 || sy != 65536;
    w.Bits(hasScale ? 1 : 0, 1);
    if (hasScale) {
        int n = std::max({1, SignedBitCount(sx), SignedBitCount(sy)});
        w.Bits(static_cast<std::uint32_t>(n), 5);
        w.SignedBits(sx, n);
        w.SignedBits(sy, n);
    }
    bool hasRotate = r0 != 0 || r1 != 0;
    w.Bits(hasRotate ? 1 : 0, 1);
    if (hasRotate) {
        int n = std::max({1, SignedBitCount(r0), SignedBitCount(r1)});
        w.Bits(static_cast<std::uint32_t>(n), 5);
        w.SignedBits(r0, n);
        w.SignedBits(r1, n);
    }
    int n = std::max(SignedBitCount(p.tx), SignedBitCount(p.ty));
    w.Bits(static_cast<std::uint32_t>(n), 5);
    w.SignedBits(p.tx, n);
    w.SignedBits(p.ty, n);
    w.Align();
}

void WriteColorTransform(BitWriter& w, const std::int32_t shift[4]) {
    w.Align();
    bool hasAdd = shift[0] || shift[1] || shift[2] || shift[3];
    w.Bits(hasAdd ? 1 : 0, 1);
    w.Bits(0, 1);  // no multiply terms
    int n = 0;
    for (int i = 0; i < 4; ++i) n = std::max(n, SignedBitCount(shift[i]));
    if (hasAdd) n = std::max(n, 1);
    w.Bits(static_cast<std::uint32_t>(n), 4);
    if (hasAdd)
        for (int i = 0; i < 4; ++i) w.SignedBits(shift[i], n);
    w.Align();
}

void WriteTagHeader(std::vector<std::uint8_t>& out, int code, std::size_t size, bool forceLong) {
    if (size > 0x7fffffffu) throw CompileError("a tag is too large for the SWF format");
    auto push16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    if (size < 63 && !forceLong) {
        push16(static_cast<std::uint16_t>((code << 6) | static_cast<int>(size)));
    } else {
        push16(static_cast<std::uint16_t>((code << 6) | 0x3f));
        std::uint32_t n = static_cast<std::uint32_t>(size);
        push16(static_cast<std::uint16_t>(n));
        push16(static_cast<std::uint16_t>(n >> 16));
    }
}

void WriteTag(std::vector<std::uint8_t>& out, int code, const std::vector<std::uint8_t>& body, bool forceLong) {
    WriteTagHeader(out, code, body.size(), forceLong);
    out.insert(out.end(), body.begin(), body.end());
}

void ShapeBuilder::MoveTo(std::int32_t x, std::int32_t y, int fill0, int fill1) {
    w_.Bits(0, 1);  // style change record
    w_.Bits(0, 1);  // no new styles
    w_.Bits(0, 1);  // line style unchanged
    w_.Bits(1, 1);  // fill style 1
    w_.Bits(1, 1);  // fill style 0
    w_.Bits(1, 1);  // move to
    int n = std::max({1, SignedBitCount(x), SignedBitCount(y)});
    w_.Bits(static_cast<std::uint32_t>(n), 5);
    w_.SignedBits(x, n);
    w_.SignedBits(y, n);
    w_.Bits(static_cast<std::uint32_t>(fill0), fillBits_);
    w_.Bits(static_cast<std::uint32_t>(fill1), fillBits_);
    x_ = x;
    y_ = y;
}

void ShapeBuilder::MoveOnly(std::int32_t x, std::int32_t y) {
    w_.Bits(0, 1);
    w_.Bits(0x01, 5);  // move to only
    int n = std::max({1, SignedBitCount(x), SignedBitCount(y)});
    w_.Bits(static_cast<std::uint32_t>(n), 5);
    w_.SignedBits(x, n);
    w_.SignedBits(y, n);
    x_ = x;
    y_ = y;
}

void ShapeBuilder::NewStyles(const std::vector<std::uint8_t>& arrays, int fillBits, int lineBits) {
    w_.Bits(0, 1);
    w_.Bits(0x10, 5);  // new styles only
    w_.Bytes(arrays);  // the arrays start on a byte boundary
    w_.Bits(static_cast<std::uint32_t>(fillBits), 4);
    w_.Bits(static_cast<std::uint32_t>(lineBits), 4);
    fillBits_ = fillBits;
    lineBits_ = lineBits;
}

void ShapeBuilder::Select(std::int32_t x, std::int32_t y, int fill0, int fill1, int line) {
    w_.Bits(0, 1);
    w_.Bits(0x0f, 5);  // line style, fill style 1, fill style 0, move to
    int n = std::max({1, SignedBitCount(x), SignedBitCount(y)});
    w_.Bits(static_cast<std::uint32_t>(n), 5);
    w_.SignedBits(x, n);
    w_.SignedBits(y, n);
    w_.Bits(static_cast<std::uint32_t>(fill0), fillBits_);
    w_.Bits(static_cast<std::uint32_t>(fill1), fillBits_);
    w_.Bits(static_cast<std::uint32_t>(line), lineBits_);
    x_ = x;
    y_ = y;
}

// Edge deltas are at most 17 signed bits; longer edges are cut into pieces.
static constexpr std::int64_t kMaxDelta = 65535;

void ShapeBuilder::Edge(std::int64_t dx, std::int64_t dy) {
    if (dx == 0 && dy == 0) return;
    w_.Bits(1, 1);  // edge
    w_.Bits(1, 1);  // straight
    int n = std::max({2, SignedBitCount(dx), SignedBitCount(dy)});
    w_.Bits(static_cast<std::uint32_t>(n - 2), 4);
    if (dx != 0 && dy != 0) {
        w_.Bits(1, 1);  // general line
        w_.SignedBits(static_cast<std::int32_t>(dx), n);
        w_.SignedBits(static_cast<std::int32_t>(dy), n);
    } else if (dx == 0) {
        w_.Bits(0, 1);
        w_.Bits(1, 1);  // vertical
        w_.SignedBits(static_cast<std::int32_t>(dy), n);
    } else {
        w_.Bits(0, 1);
        w_.Bits(0, 1);  // horizontal
        w_.SignedBits(static_cast<std::int32_t>(dx), n);
    }
}

void ShapeBuilder::LineTo(std::int32_t x, std::int32_t y) {
    std::int64_t dx = static_cast<std::int64_t>(x) - x_, dy = static_cast<std::int64_t>(y) - y_;
    std::int64_t pieces =
        std::max<std::int64_t>(1, (std::max(std::llabs(dx), std::llabs(dy)) + kMaxDelta - 1) / kMaxDelta);
    std::int64_t px = x_, py = y_;
    for (std::int64_t i = 1; i <= pieces; ++i) {
        std::int64_t nx = x_ + dx * i / pieces, ny = y_ + dy * i / pieces;
        Edge(nx - px, ny - py);
        px = nx;
        py = ny;
    }
    x_ = x;
    y_ = y;
}

void ShapeBuilder::CurveTo(std::int32_t cx, std::int32_t cy, std::int32_t ax, std::int32_t ay) {
    std::int64_t d[4] = {static_cast<std::int64_t>(cx) - x_, static_cast<std::int64_t>(cy) - y_,
                         static_cast<std::int64_t>(ax) - cx, static_cast<std::int64_t>(ay) - cy};
    bool fits = true;
    for (auto v : d) fits = fits && std::llabs(v) <= kMaxDelta;
    if (!fits) {
        // Split at the middle until each half is short enough.
        double x0 = x_, y0 = y_;
        double mx1 = (x0 + cx) / 2, my1 = (y0 + cy) / 2, mx2 = (cx + double(ax)) / 2, my2 = (cy + double(ay)) / 2;
        double mx = (mx1 + mx2) / 2, my = (my1 + my2) / 2;
        auto r = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
        CurveTo(r(mx1), r(my1), r(mx), r(my));
        CurveTo(r(mx2), r(my2), ax, ay);
        return;
    }
    if (d[0] == 0 && d[1] == 0 && d[2] == 0 && d[3] == 0) return;
    w_.Bits(1, 1);  // edge
    w_.Bits(0, 1);  // curved
    int n = 2;
    for (auto v : d) n = std::max(n, SignedBitCount(v));
    w_.Bits(static_cast<std::uint32_t>(n - 2), 4);
    for (auto v : d) w_.SignedBits(static_cast<std::int32_t>(v), n);
    x_ = ax;
    y_ = ay;
}

void ShapeBuilder::Rectangle(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, int fill0, int fill1) {
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    MoveTo(x, y, fill0, fill1);
    LineTo(x + w, y);
    LineTo(x + w, y + h);
    LineTo(x, y + h);
    LineTo(x, y);
}

void ShapeBuilder::Ellipse(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, int fill0, int fill1) {
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    const double pi = 3.14159265358979323846;
    double rx = w / 2.0, ry = h / 2.0, cx = x + rx, cy = y + ry;
    double k = 1.0 / std::cos(pi / 8);
    auto r = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    MoveTo(r(cx + rx), r(cy), fill0, fill1);
    for (int i = 0; i < 8; ++i) {
        double mid = (i + 0.5) * pi / 4, end = (i + 1) * pi / 4;
        CurveTo(r(cx + rx * k * std::cos(mid)), r(cy + ry * k * std::sin(mid)), r(cx + rx * std::cos(end)),
                r(cy + ry * std::sin(end)));
    }
    // Close exactly on the start point whatever the rounding did.
    LineTo(r(cx + rx), r(cy));
}

void ShapeBuilder::End() {
    w_.Bits(0, 6);
    w_.Align();
}

}  // namespace tarnquill
