#include "base/bytes/ByteView.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using base::bytes::ByteView;

const std::vector<std::uint8_t> kBytes = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF};

TEST(ByteViewTest, ReadsBothByteOrdersAndSigns) {
    const ByteView v(kBytes);
    EXPECT_EQ(v.U8(4), 0xFE);
    EXPECT_EQ(v.U16(0), 0x0201);
    EXPECT_EQ(v.BeU16(0), 0x0102);
    EXPECT_EQ(v.U32(0), 0x04030201u);
    EXPECT_EQ(v.BeU32(0), 0x01020304u);
    EXPECT_EQ(v.U32(2), 0xFFFE0403u);
    EXPECT_EQ(v.I16(4), -2);
    EXPECT_EQ(v.BeI16(4), -257);
    EXPECT_EQ(v.I32(2), static_cast<std::int32_t>(0xFFFE0403u));
}

// A field that does not fit reads as 0, however far out its offset lies, and never reads a byte
// past the window (the sanitizer build would see it).
TEST(ByteViewTest, FieldsThatDoNotFitReadZero) {
    const std::vector<std::uint8_t> backing = {0x11, 0x22, 0x33, 0x44, 0x55};
    const ByteView v(backing.data(), 4);  // the fifth byte lies outside
    struct Case {
        std::size_t offset;
        std::uint32_t u16, u32, be16, be32;
    };
    const Case cases[] = {
        {2, 0x4433, 0, 0x3344, 0},   // 2 bytes fit, 4 do not
        {3, 0, 0, 0, 0},             // one byte left
        {4, 0, 0, 0, 0},             // at the end
        {SIZE_MAX - 1, 0, 0, 0, 0},  // offset plus width overflows
        {0, 0x2211, 0x44332211, 0x1122, 0x11223344},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(v.U16(c.offset), c.u16);
        EXPECT_EQ(v.U32(c.offset), c.u32);
        EXPECT_EQ(v.BeU16(c.offset), c.be16);
        EXPECT_EQ(v.BeU32(c.offset), c.be32);
    }
    EXPECT_EQ(v.U8(4), 0);
    EXPECT_TRUE(v.Has(4, 0));
    EXPECT_FALSE(v.Has(5, 0));
    EXPECT_FALSE(v.Has(1, SIZE_MAX));

    const ByteView none(nullptr, 100);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.U32(0), 0u);
}

TEST(ByteViewTest, SubClipsToTheWindow) {
    const ByteView v(kBytes);
    EXPECT_EQ(v.Sub(2, 2).size(), 2u);
    EXPECT_EQ(v.Sub(2, 2).U16(0), 0x0403);
    EXPECT_EQ(v.Sub(2, 2).U32(0), 0u) << "a part does not read past its own end";
    EXPECT_EQ(v.Sub(4).size(), 2u);
    EXPECT_EQ(v.Sub(4, SIZE_MAX - 1).size(), 2u);
    EXPECT_TRUE(v.Sub(6).empty());
    EXPECT_TRUE(v.Sub(SIZE_MAX, 1).empty());
}

}  // namespace
