#include "base/metafile/WmfRecords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using base::metafile::WmfHeader;
using base::metafile::WmfRecordReader;
using base::metafile::WmfRecordView;
using base::metafile::WmfStatus;
using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

Bytes Header(unsigned objects = 2) {
    Bytes b;
    Put16(b, 1);       // in memory
    Put16(b, 9);       // header words
    Put16(b, 0x0300);  // version
    Put32(b, 0);       // size in words
    Put16(b, objects);
    Put32(b, 0);  // largest record
    Put16(b, 0);
    return b;
}

Bytes Record(unsigned function, const std::vector<unsigned>& params) {
    Bytes b;
    Put32(b, static_cast<std::uint32_t>(3 + params.size()));
    Put16(b, function);
    for (unsigned p : params) Put16(b, p);
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Placeable(std::int16_t right, std::int16_t bottom, bool goodSum) {
    Bytes b;
    Put32(b, base::metafile::kPlaceableKey);
    Put16(b, 0);  // handle
    for (int v : {0, 0, int(right), int(bottom)}) Put16(b, static_cast<unsigned>(v) & 0xFFFF);
    Put16(b, 1440);
    Put32(b, 0);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i < 10; ++i) sum ^= static_cast<std::uint16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    Put16(b, goodSum ? sum : sum ^ 1u);
    return b;
}

TEST(WmfRecordsTest, HeadersThenRecordsInOrder) {
    const Bytes file = Cat({Placeable(-300, 200, true), Header(5), Record(0x0213, {7, 8}), Record(0, {})});
    WmfRecordReader reader(file);
    WmfHeader header;
    ASSERT_EQ(reader.ReadHeader(header), WmfStatus::kOk);
    EXPECT_TRUE(header.placeable);
    EXPECT_TRUE(header.placeableChecksumOk);
    EXPECT_EQ(header.boundsRight, -300);
    EXPECT_EQ(header.boundsBottom, 200);
    EXPECT_EQ(header.unitsPerInch, 1440);
    EXPECT_EQ(header.numberOfObjects, 5);

    WmfRecordView r;
    ASSERT_EQ(reader.Next(r), WmfStatus::kOk);
    EXPECT_EQ(r.offset, 40u);
    EXPECT_EQ(r.function, 0x0213);
    EXPECT_EQ(r.words, 5u);
    EXPECT_EQ(r.params.size(), 4u);
    EXPECT_EQ(r.params.U16(2), 8);
    ASSERT_EQ(reader.Next(r), WmfStatus::kOk);
    EXPECT_EQ(r.function, base::metafile::kWmfEof);
    EXPECT_TRUE(r.params.empty());
    EXPECT_EQ(reader.Next(r), WmfStatus::kEnd);

    const Bytes badSumFile = Cat({Placeable(1, 1, false), Header()});
    WmfRecordReader badSum(badSumFile);
    ASSERT_EQ(badSum.ReadHeader(header), WmfStatus::kOk);
    EXPECT_FALSE(header.placeableChecksumOk) << "the caller decides what a wrong sum means";
}

TEST(WmfRecordsTest, DamageIsNamedNeverReadPast) {
    Bytes notMetafile = Header();
    notMetafile[2] = 10;  // header words
    Bytes words2 = Header();
    Put32(words2, 2);
    Put16(words2, 0);
    Bytes tooLong = Cat({Header(), Record(0x0213, {1, 2})});
    const Bytes placeable = Placeable(1, 1, true);
    tooLong[18] = 6;  // claims one word more than there is
    struct Case {
        const char* name;
        Bytes bytes;
        WmfStatus header, record;
    };
    const Case cases[] = {
        {"empty", {}, WmfStatus::kHeaderCutShort, WmfStatus::kEnd},
        {"placeable cut short", Bytes(placeable.begin(), placeable.end() - 1), WmfStatus::kPlaceableCutShort,
         WmfStatus::kEnd},
        {"placeable without header", placeable, WmfStatus::kHeaderCutShort, WmfStatus::kEnd},
        {"header cut short", Bytes(17, 0), WmfStatus::kHeaderCutShort, WmfStatus::kEnd},
        {"another header", notMetafile, WmfStatus::kNotMetafile, WmfStatus::kEnd},
        {"no records", Header(), WmfStatus::kOk, WmfStatus::kEnd},
        {"record header cut short", Cat({Header(), Bytes(5, 1)}), WmfStatus::kOk, WmfStatus::kRecordCutShort},
        {"record under three words", words2, WmfStatus::kOk, WmfStatus::kBadRecordSize},
        {"record past the end", tooLong, WmfStatus::kOk, WmfStatus::kBadRecordSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WmfRecordReader reader(c.bytes);
        WmfHeader header;
        EXPECT_EQ(reader.ReadHeader(header), c.header);
        if (c.header != WmfStatus::kOk) continue;
        WmfRecordView r;
        EXPECT_EQ(reader.Next(r), c.record);
    }
}

}  // namespace
