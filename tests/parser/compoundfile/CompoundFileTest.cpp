// The compound-file reader over files written by the test builder, intact and damaged.

#include <gtest/gtest.h>

#include <functional>

#include "CfbBuilder.h"
#include "compoundfile/CompoundFile.h"

using namespace compoundfile;
using testcfb::Layout;
using testcfb::Pattern;
using testcfb::PutU16;
using testcfb::PutU32;

namespace {

std::vector<testcfb::Stream> SampleStreams() {
    return {
        {"PowerPoint Document", Pattern(10000, 1)},
        {"Current User", Pattern(4095, 2)},  // the largest small stream
        {"Pictures", Pattern(4096, 3)},      // the smallest big stream
        {"\x05SummaryInformation", Pattern(100, 4)},
        {"Empty", {}},
    };
}

std::vector<uint8_t> ReadStream(CCompoundFileStorage& storage, const std::string& name) {
    CCompoundFileStream stream(storage, name);
    EXPECT_FALSE(stream.Failed()) << name << ": " << stream.GetErrorText();
    return stream.ReadAll();
}

}  // namespace

class CompoundFileBlockSize : public ::testing::TestWithParam<uint16_t> {};

TEST_P(CompoundFileBlockSize, ReadsEveryStreamExactly) {
    const auto streams = SampleStreams();
    const std::string path = testcfb::WriteTemp(testcfb::Build(streams, GetParam()), "sample.cfb");
    CCompoundFileStorage storage(path);
    ASSERT_TRUE(storage.Open()) << storage.GetErrorText();
    EXPECT_EQ(storage.GetResult(), kResultSuccess);

    for (const auto& s : streams) {
        const std::string name = s.name[0] < 32 ? s.name.substr(1) : s.name;  // control prefix is not matched
        CCompoundFileStream stream(storage, name);
        ASSERT_FALSE(stream.Failed()) << name;
        EXPECT_EQ(stream.GetSize(), s.data.size()) << name;
        EXPECT_EQ(stream.ReadAll(), s.data) << name;
    }

    // Reads across block boundaries from a position, and never past the stream's end.
    CCompoundFileStream document(storage, "/PowerPoint Document");
    std::vector<uint8_t> part(700);
    document.Seek(500);
    ASSERT_EQ(document.Read(part.data(), part.size()), 700u);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), streams[0].data.begin() + 500));
    document.Seek(9990);
    EXPECT_EQ(document.Read(part.data(), part.size()), 10u);
    EXPECT_EQ(document.Read(part.data(), part.size()), 0u);

    CCompoundFileStream small(storage, "Current User");
    small.Seek(4000);
    ASSERT_EQ(small.Read(part.data(), 200), 95u);
    EXPECT_TRUE(std::equal(part.begin(), part.begin() + 95, streams[1].data.begin() + 4000));
}

INSTANTIATE_TEST_SUITE_P(Version3And4, CompoundFileBlockSize, ::testing::Values(9, 12),
                         [](const auto& info) { return info.param == 9 ? "Blocks512" : "Blocks4096"; });

TEST(CompoundFile, LookupsThatFindNoStream) {
    const std::string path = testcfb::WriteTemp(testcfb::Build(SampleStreams()), "lookups.cfb");
    CCompoundFileStorage storage(path);
    ASSERT_TRUE(storage.Open());
    for (const char* name : {"", "/", "PowerPoint", "powerpoint document", "Pictures/x", "\x05SummaryInformation"}) {
        CCompoundFileStream stream(storage, name);
        EXPECT_TRUE(stream.Failed()) << name;
        EXPECT_EQ(stream.GetSize(), 0u) << name;
        uint8_t byte;
        EXPECT_EQ(stream.Read(&byte, 1), 0u) << name;
        EXPECT_FALSE(stream.GetErrorText().empty());
    }
    EXPECT_TRUE(storage.HasStream("Pictures"));
    EXPECT_FALSE(storage.HasStream("/"));  // the root is a storage
}

// Each case damages one field of an intact file; none may open.
TEST(CompoundFile, DamagedHeadersAreRefused) {
    struct Case {
        const char* what;
        int result;
        std::function<void(std::vector<uint8_t>&, const Layout&)> damage;
    };
    const std::vector<Case> cases = {
        {"empty file", kResultNotCompoundFile, [](auto& f, auto&) { f.clear(); }},
        {"wrong signature", kResultNotCompoundFile, [](auto& f, auto&) { f[7] = 0; }},
        {"shorter than the header", kResultDamaged, [](auto& f, auto&) { f.resize(400); }},
        {"threshold 2048", kResultDamaged, [](auto& f, auto&) { PutU32(f, 56, 2048); }},
        {"no allocation blocks", kResultDamaged, [](auto& f, auto&) { PutU32(f, 44, 0); }},
        {"block shift 6", kResultDamaged, [](auto& f, auto&) { PutU16(f, 30, 6); }},
        {"block shift 10", kResultDamaged, [](auto& f, auto&) { PutU16(f, 30, 10); }},
        {"block shift 31", kResultDamaged, [](auto& f, auto&) { PutU16(f, 30, 31); }},
        {"block shift 0xFFFF", kResultDamaged, [](auto& f, auto&) { PutU16(f, 30, 0xFFFF); }},
        {"small shift 7", kResultDamaged, [](auto& f, auto&) { PutU16(f, 32, 7); }},
        {"small shift above block shift", kResultDamaged, [](auto& f, auto&) { PutU16(f, 32, 10); }},
        {"110 allocation blocks, no extension", kResultDamaged, [](auto& f, auto&) { PutU32(f, 44, 110); }},
        {"108 allocation blocks, 1 extension", kResultDamaged,
         [](auto& f, auto&) { PutU32(f, 44, 108), PutU32(f, 72, 1); }},
        {"allocation table larger than the file", kResultDamaged, [](auto& f, auto&) { PutU32(f, 44, 100); }},
        {"huge allocation table", kResultDamaged,
         [](auto& f, auto&) { PutU32(f, 44, 0xFFFFFFF0), PutU32(f, 72, 0x00FFFFFF); }},
        {"extension count larger than the file", kResultDamaged,
         [](auto& f, auto&) { PutU32(f, 44, 110), PutU32(f, 72, 0x7FFFFFFF); }},
        {"small table count larger than the file", kResultDamaged, [](auto& f, auto&) { PutU32(f, 64, 0x10000000); }},
        {"directory start past the end", kResultDamaged, [](auto& f, auto&) { PutU32(f, 48, 5000); }},
        {"directory start free", kResultDamaged, [](auto& f, auto&) { PutU32(f, 48, 0xFFFFFFFF); }},
    };
    for (const Case& c : cases) {
        Layout layout;
        auto file = testcfb::Build(SampleStreams(), 9, &layout);
        c.damage(file, layout);
        CCompoundFileStorage storage(file);
        EXPECT_FALSE(storage.Open()) << c.what;
        EXPECT_EQ(storage.GetResult(), c.result) << c.what;
        EXPECT_FALSE(storage.GetErrorText().empty()) << c.what;
        CCompoundFileStream stream(storage, "PowerPoint Document");
        EXPECT_TRUE(stream.Failed()) << c.what;
    }

    CCompoundFileStorage missing(std::string("/nonexistent/folder/file.ppt"));
    EXPECT_FALSE(missing.Open());
    EXPECT_EQ(missing.GetResult(), kResultCannotOpen);
}

TEST(CompoundFile, TruncatedFileGivesTheBytesThatRemain) {
    Layout layout;
    // The stream is the last thing in the file; another one before it keeps the file larger than
    // the stream's recorded size, so only its chain shows the cut.
    const std::vector<testcfb::Stream> streams = {{"Pictures", Pattern(30000, 4)},
                                                  {"PowerPoint Document", Pattern(20000, 5)}};
    auto file = testcfb::Build(streams, 9, &layout);
    const uint64_t cut = layout.BlockOffset(layout.streamStarts[1]) + 5000 + 100;
    file.resize(cut);
    CCompoundFileStorage storage(file);
    ASSERT_TRUE(storage.Open()) << storage.GetErrorText();
    CCompoundFileStream stream(storage, "PowerPoint Document");
    ASSERT_FALSE(stream.Failed());
    const auto bytes = stream.ReadAll();
    ASSERT_EQ(bytes.size(), 5000u + 100u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), streams[1].data.begin()));
}

TEST(CompoundFile, CyclicChainsEndAtTheFirstRepeat) {
    Layout layout;
    const std::vector<testcfb::Stream> streams = {{"PowerPoint Document", Pattern(5000, 6)},
                                                  {"Small", Pattern(1000, 7)}};
    auto file = testcfb::Build(streams, 9, &layout);
    const uint32_t first = layout.streamStarts[0];
    PutU32(file, layout.FatEntryOffset(first + 2), first);  // block 3 of the stream leads back to block 1
    PutU32(file, layout.FatEntryOffset(layout.directoryStart), layout.directoryStart);  // directory loops on itself
    // Small stream: its mini chain loops from its second block back to its first.
    const uint32_t smallFirst = layout.streamStarts[1];
    PutU32(file, layout.BlockOffset(layout.miniFatStart) + 4 * (smallFirst + 1), smallFirst);

    CCompoundFileStorage storage(file);
    ASSERT_TRUE(storage.Open()) << storage.GetErrorText();
    CCompoundFileStream stream(storage, "PowerPoint Document");
    const auto bytes = stream.ReadAll();
    EXPECT_EQ(bytes.size(), 3u * 512u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), streams[0].data.begin()));
    CCompoundFileStream small(storage, "Small");
    EXPECT_EQ(small.ReadAll().size(), 2u * 64u);

    // A table whose every entry points at itself or back is walked in bounded time.
    EXPECT_EQ(storage.GetReader().GetBigBlockTable().FollowChain(first).size(), 3u);
}

TEST(CompoundFile, StreamSizesBeyondTheFileAreRefused) {
    for (uint16_t shift : {9, 12}) {
        Layout layout;
        auto file = testcfb::Build(SampleStreams(), shift, &layout);
        PutU32(file, layout.DirectoryRecordOffset(1) + 120, 0x7FFFFFF0);
        if (shift == 12) PutU32(file, layout.DirectoryRecordOffset(3) + 124, 1);  // 64-bit size of "Pictures"
        CCompoundFileStorage storage(file);
        ASSERT_TRUE(storage.Open());
        CCompoundFileStream document(storage, "PowerPoint Document");
        EXPECT_TRUE(document.Failed());
        EXPECT_NE(document.GetErrorText().find("exceeds"), std::string::npos) << document.GetErrorText();
        CCompoundFileStream pictures(storage, "Pictures");
        EXPECT_EQ(pictures.Failed(), shift == 12) << "shift " << shift;
    }
}

TEST(CompoundFile, DeepDirectoryIsWalkedWithoutRecursion) {
    // 50000 siblings in one right-leaning chain: a recursive walk would need 50000 frames.
    std::vector<testcfb::Stream> streams;
    for (int i = 0; i < 50000; ++i) streams.push_back({"s" + std::to_string(i), {}});
    streams.back().data = Pattern(10, 8);
    Layout layout;
    auto file = testcfb::Build(streams, 9, &layout);
    // And a link from the last sibling back into the chain.
    PutU32(file, layout.DirectoryRecordOffset(50000) + 72, 2);

    CCompoundFileStorage storage(file);
    ASSERT_TRUE(storage.Open()) << storage.GetErrorText();
    EXPECT_EQ(ReadStream(storage, "s49999"), streams.back().data);
    EXPECT_TRUE(storage.HasStream("s0"));
}
