#include "base/files/AtomicFile.h"
#include "base/files/WholeFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace {

using base::files::Sync;
using base::files::WriteFileAtomically;

std::vector<std::uint8_t> Read(const std::filesystem::path& path) {
    std::vector<std::uint8_t> out;
    EXPECT_EQ(base::files::ReadWholeFile(path.string(), out, 1 << 20), 0);
    return out;
}

std::vector<std::string> Names(const CScratchFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Fs()))
        names.push_back(entry.path().filename().string());
    return names;
}

// Flushed or not, a file is created or replaced whole and no temporary file stays beside it;
// a folder that is not there is an error that writes nothing.
TEST(AtomicFileTest, WritesAndReplacesWithOrWithoutFlushing) {
    for (const Sync sync : {Sync::ToDisk, Sync::None}) {
        SCOPED_TRACE(sync == Sync::ToDisk ? "flushed" : "not flushed");
        CScratchFolder folder;
        const std::string target = (folder / "picture.png").string();
        const std::vector<std::uint8_t> first(70000, 0x11), second{1, 2, 3};
        ASSERT_EQ(WriteFileAtomically(target, first, 0666, sync), 0);
        EXPECT_EQ(Read(target), first);
        ASSERT_EQ(WriteFileAtomically(target, second, 0666, sync), 0);
        EXPECT_EQ(Read(target), second);
        EXPECT_EQ(Names(folder), std::vector<std::string>{"picture.png"});
        EXPECT_EQ(WriteFileAtomically((folder / "absent" / "x.png").string(), second, 0666, sync), ENOENT);
        EXPECT_EQ(Names(folder), std::vector<std::string>{"picture.png"});
    }
}

// A scratch file is written in place under a new name; a name already taken, a planted link
// included, is replaced whole and the link's target is never written through.
TEST(AtomicFileTest, ScratchFilesAreNewOrReplacedWhole) {
    CScratchFolder folder;
    const std::vector<std::uint8_t> first(70000, 0x22), second{4, 5, 6};
    const std::string target = (folder / "bg1.png").string();
    ASSERT_EQ(base::files::WriteScratchFile(target, first.data(), first.size()), 0);
    EXPECT_EQ(Read(target), first);
    ASSERT_EQ(base::files::WriteScratchFile(target, second.data(), second.size()), 0);
    EXPECT_EQ(Read(target), second);

    const std::filesystem::path victim = folder / "victim.txt", link = folder / "bg2.png";
    ASSERT_EQ(WriteFileAtomically(victim.string(), first, 0666, Sync::None), 0);
    std::filesystem::create_symlink(victim, link);
    ASSERT_EQ(base::files::WriteScratchFile(link.string(), second.data(), second.size()), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Read(link), second);
    EXPECT_EQ(Read(victim), first);

    EXPECT_EQ(base::files::WriteScratchFile((folder / "absent" / "x.png").string(), second.data(), second.size()),
              ENOENT);
    std::vector<std::string> names = Names(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"bg1.png", "bg2.png", "victim.txt"}));
}

}  // namespace
