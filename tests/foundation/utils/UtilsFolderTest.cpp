#include "TempDir.h"
#include "genswf/utils/Utils.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>

using namespace genswf;

namespace {

void Touch(const std::wstring& path, const std::string& content = "x") {
    ASSERT_TRUE(WriteWholeFile(path, content.data(), content.size())) << NativePath(path);
}

TEST(Folders, CreateFolderAcceptsOnlyAbsolutePaths) {
    CScratchFolder scratch;
    EXPECT_EQ(CreateFolder(L"relative/out"), L"");
    EXPECT_EQ(CreateFolder(L""), L"");
    EXPECT_EQ(CreateFolder(L"  "), L"");
    EXPECT_EQ(CreateFolder(L"//server"), L"");

    const std::wstring deep = scratch / L"a\\b/c";
    EXPECT_EQ(CreateFolder(L"  " + deep + L"\t"), deep + L"/");
    EXPECT_TRUE(FolderExists(scratch / L"a/b/c"));
    EXPECT_EQ(CreateFolder(deep + L"/"), deep + L"/") << "an existing folder is fine";

    Touch(scratch / L"file");
    EXPECT_EQ(CreateFolder(scratch / L"file/sub"), L"") << "a file in the way";
}

TEST(Folders, UniqueTempFolderSkipsExistingNamesAndIsPrivate) {
    CScratchFolder scratch;
    const std::wstring first = CreateUniqueTempFolder(L"bclite", L".tmp", scratch.Path());
    ASSERT_FALSE(first.empty());
    struct stat st;
    ASSERT_EQ(::stat(NativePath(first).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Two folders in quick succession never share a name, even in the same millisecond.
    const std::wstring second = CreateUniqueTempFolder(L"bclite", L".tmp", scratch.Path());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);

    // Files occupying the next candidate names are skipped, never reused.
    std::vector<std::wstring> occupied;
    const std::uint32_t now = GetTickCount();
    for (std::uint32_t n = now; n < now + 50; ++n) {
        const std::wstring name = scratch / (L"bclite" + UIntToWString(n & 0x7FFFFFFF) + L".tmp");
        if (!FolderExists(name)) {
            Touch(name);
            occupied.push_back(name);
        }
    }
    const std::wstring made = CreateUniqueTempFolder(L"bclite", L".tmp", scratch.Path());
    EXPECT_TRUE(FolderExists(made));
    EXPECT_EQ(std::find(occupied.begin(), occupied.end(), made), occupied.end());
    EXPECT_EQ(GetFileNameOfPath(first).rfind(L"bclite", 0), 0u);
}

TEST(Folders, UniqueTempFolderUsesTmpdir) {
    CScratchFolder scratch;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", scratch.Native().c_str(), 1);
    const std::wstring made = CreateUniqueTempFolder(L"bclite", L".tmp", L"");
    if (old)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_EQ(GetFolderOfPath(made), scratch.Path());
}

TEST(Folders, DeleteFolderTreeNeverFollowsLinks) {
    CScratchFolder scratch;
    const std::wstring outside = scratch / L"outside";
    ASSERT_TRUE(CreateFolderTree(outside));
    Touch(outside + L"/keep.txt");

    const std::wstring victim = scratch / L"victim";
    ASSERT_TRUE(CreateFolderTree(victim + L"/sub"));
    Touch(victim + L"/sub/a.png");
    ASSERT_EQ(::symlink(NativePath(outside).c_str(), NativePath(victim + L"/link").c_str()), 0);

    DeleteFolderTree(victim, true);
    EXPECT_FALSE(FolderExists(victim));
    EXPECT_TRUE(FileExists(outside + L"/keep.txt"));

    // A folder that is itself a link is left alone.
    ASSERT_EQ(::symlink(NativePath(outside).c_str(), NativePath(scratch / L"alias").c_str()), 0);
    DeleteFolderTree(scratch / L"alias", true);
    EXPECT_TRUE(FileExists(outside + L"/keep.txt"));
}

TEST(Folders, DeleteFolderTreeHandlesLongPathsAndNonRecursiveMode) {
    CScratchFolder scratch;
    // Deeper than PATH_MAX: built with relative mkdir/chdir steps.
    std::wstring deep = scratch / L"deep";
    ASSERT_TRUE(CreateFolderTree(deep));
    const int top = ::open(NativePath(deep).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(top, 0);
    int fd = top;
    const std::string segment(200, 'd');
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(::mkdirat(fd, segment.c_str(), 0700), 0);
        const int next = ::openat(fd, segment.c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(next, 0);
        if (fd != top) ::close(fd);
        fd = next;
    }
    ::close(::openat(fd, "leaf.txt", O_CREAT | O_WRONLY, 0600));
    if (fd != top) ::close(fd);
    ::close(top);

    DeleteFolderTree(deep, true);
    EXPECT_FALSE(FolderExists(deep));

    const std::wstring shallow = scratch / L"shallow";
    ASSERT_TRUE(CreateFolderTree(shallow + L"/sub"));
    Touch(shallow + L"/file.txt");
    DeleteFolderTree(shallow, false);
    EXPECT_FALSE(FileExists(shallow + L"/file.txt"));
    EXPECT_TRUE(FolderExists(shallow + L"/sub")) << "subfolders stay unless recursive";
    DeleteFolderTree(L"", true);  // nothing happens
}

TEST(Files, WritesEverythingOrFails) {
    CScratchFolder scratch;
    std::string big(3 * 1024 * 1024, 'q');
    const std::wstring path = scratch / L"big.bin";
    ASSERT_TRUE(WriteWholeFile(path, big.data(), big.size()));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back.size(), big.size());
    EXPECT_FALSE(ReadWholeFile(path, back, 100)) << "over the caller's limit";
    EXPECT_FALSE(ReadWholeFile(scratch / L"missing", back));

    CFileHandle handle;
    EXPECT_FALSE(handle.Create(scratch / L"nope/x", GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(handle.Write("x", 1)) << "no handle, no success";
    EXPECT_TRUE(handle.Write(nullptr, 0));
    EXPECT_FALSE(handle.Create(scratch.Path(), GENERIC_READ, 0, OPEN_EXISTING, 0)) << "a folder is not a file";

    if (::access("/dev/full", W_OK) == 0) {
        ASSERT_TRUE(handle.Create(L"/dev/full", GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
        EXPECT_FALSE(handle.Write(big.data(), big.size())) << "a full device is a failed write";
    }
}

}  // namespace
