#include "base/files/WholeFile.h"

#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

using base::files::ReadWholeFile;

std::vector<std::uint8_t> Bytes(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

TEST(WholeFileTest, ReadsUpToTheLimitAndRefusesBeyond) {
    CScratchFolder folder;
    // Larger than one read, so the pieces are joined.
    const std::vector<std::uint8_t> big = Bytes(200000);
    folder.Write("big.bin", big);
    folder.Write("empty.bin", {});
    const std::string bigPath = (folder / "big.bin").string();
    struct Case {
        const char* name;
        std::string path;
        std::uint64_t limit;
        int error;
        std::size_t size;
    };
    const Case cases[] = {
        {"whole", bigPath, UINT64_MAX, 0, big.size()},
        {"exactly at the limit", bigPath, big.size(), 0, big.size()},
        {"one byte over", bigPath, big.size() - 1, EFBIG, 0},
        {"empty", (folder / "empty.bin").string(), 0, 0, 0},
        {"missing", (folder / "missing.bin").string(), 100, ENOENT, 0},
        {"folder", folder.Native(), 100, EISDIR, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> out = {1, 2, 3};
        EXPECT_EQ(ReadWholeFile(c.path, out, c.limit), c.error);
        EXPECT_EQ(out.size(), c.size) << "a failed read leaves nothing behind";
        if (c.size == big.size()) {
            EXPECT_EQ(out, big);
        }
    }
}

// A pipe has no size to check first: it is read until it ends, or until it passes the limit.
TEST(WholeFileTest, FilesWithoutSizeStopAtTheLimit) {
    std::signal(SIGPIPE, SIG_IGN);  // a writer left behind sees an error, not a signal
    const std::vector<std::uint8_t> sent = Bytes(100000);
    for (const std::uint64_t limit : {std::uint64_t(100000), std::uint64_t(99999)}) {
        SCOPED_TRACE(limit);
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        std::thread writer([&] {
            std::size_t at = 0;
            while (at < sent.size()) {
                const ssize_t n = ::write(ends[1], sent.data() + at, sent.size() - at);
                if (n <= 0) break;  // the reader gave up and closed its end
                at += static_cast<std::size_t>(n);
            }
            ::close(ends[1]);
        });
        std::vector<std::uint8_t> out;
        const int error = ReadWholeFile(ends[0], out, limit);
        ::close(ends[0]);
        writer.join();
        if (limit == sent.size()) {
            EXPECT_EQ(error, 0);
            EXPECT_EQ(out, sent);
        } else {
            EXPECT_EQ(error, EFBIG);
            EXPECT_TRUE(out.empty());
        }
    }
}

TEST(WholeFileTest, OpenFileIsReadFromItsPosition) {
    CScratchFolder folder;
    const std::vector<std::uint8_t> bytes = Bytes(10);
    folder.Write("ten.bin", bytes);
    const int fd = ::open((folder / "ten.bin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::lseek(fd, 4, SEEK_SET), 4);
    std::vector<std::uint8_t> out;
    // The limit counts what is left, not the whole file.
    EXPECT_EQ(ReadWholeFile(fd, out, 6), 0);
    EXPECT_EQ(out, std::vector<std::uint8_t>(bytes.begin() + 4, bytes.end()));
    ::close(fd);
}

}  // namespace
