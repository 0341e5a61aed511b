// The images collection: duplicates by path, size, PNG dimensions and SHA-1; its failures.

#include "ImageTestUtil.h"
#include "genswf/images/ImagesCollection.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using genswf::ImagesCollection;

namespace {

// A PNG whose byte size does not depend on its pixels' values: stored, not compressed.
std::vector<std::uint8_t> StoredPng(std::uint32_t w, std::uint32_t h, std::uint8_t shade) {
    std::vector<std::uint8_t> raw;
    for (std::uint32_t y = 0; y < h; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), w, shade);
    }
    // zlib header, one stored block, Adler-32.
    std::vector<std::uint8_t> z = {0x78,
                                   0x01,
                                   0x01,
                                   std::uint8_t(raw.size()),
                                   std::uint8_t(raw.size() >> 8),
                                   std::uint8_t(~raw.size()),
                                   std::uint8_t(~raw.size() >> 8)};
    for (std::uint8_t c : raw) z.push_back(c);
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    const std::uint32_t adler = (b << 16) | a;
    for (int s = 24; s >= 0; s -= 8) z.push_back(std::uint8_t(adler >> s));
    return imagetest::BuildPng({{"IHDR", imagetest::Ihdr(w, h, 8, 0)}, {"IDAT", z}, {"IEND", {}}});
}

struct Failure {
    int code = -1;
    std::wstring message;
};

Failure FailureOf(const std::function<void()>& action) {
    Failure f;
    try {
        action();
    } catch (const genswf::CBaseException& e) {
        f.code = e.GetCode();
        f.message = e.GetMessage();
    }
    return f;
}

// "<text> in file genswf/src/images/ImagesCollection.cpp at line <n>"
void ExpectLocated(const Failure& f, const std::wstring& text) {
    EXPECT_EQ(f.code, 2);
    ASSERT_GE(f.message.size(), text.size());
    EXPECT_EQ(f.message.substr(0, text.size()), text);
    const std::string rest = imagetest::Narrow(f.message.substr(text.size()));
    const std::string where = " in file genswf/src/images/ImagesCollection.cpp at line ";
    EXPECT_EQ(rest.substr(0, where.size()), where);
    const std::string line = rest.size() > where.size() ? rest.substr(where.size()) : "";
    EXPECT_TRUE(!line.empty() && line.find_first_not_of("0123456789") == std::string::npos) << rest;
}

}  // namespace

TEST(ImagesCollectionTest, DuplicatesAreFoundByPathSizeDimensionsAndContent) {
    CScratchFolder f;
    imagetest::WriteBytes(f / L"bg1.png", StoredPng(4, 6, 1));
    imagetest::WriteBytes(f / L"bg2.png", StoredPng(4, 6, 1));  // same bytes
    imagetest::WriteBytes(f / L"bg3.png", StoredPng(4, 6, 2));  // same size and dimensions, other pixels
    imagetest::WriteBytes(f / L"bg4.png", StoredPng(5, 5, 1));  // same byte size, other dimensions
    imagetest::WriteBytes(f / L"bg5.PNG", StoredPng(4, 6, 1));  // upper-case extension
    imagetest::WriteBytes(f / L"a.wmf", {1, 2, 3, 4, 5});
    imagetest::WriteBytes(f / L"b.wmf", {1, 2, 3, 4, 5});
    imagetest::WriteBytes(f / L"c.wmf", {1, 2, 3, 4, 6});
    ASSERT_EQ(imagetest::ReadBytes(f / L"bg3.png").size(), imagetest::ReadBytes(f / L"bg4.png").size());

    ImagesCollection images;
    struct Step {
        const wchar_t* file;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Step steps[] = {
        {L"bg1.png", L"bg1", L"bg1"}, {L"bg2.png", L"bg2", L"bg1"}, {L"bg3.png", L"bg3", L"bg3"},
        {L"bg4.png", L"bg4", L"bg4"}, {L"bg5.PNG", L"bg5", L"bg1"}, {L"bg3.png", L"again", L"bg3"},
        {L"a.wmf", L"img1", L"img1"}, {L"b.wmf", L"img2", L"img1"}, {L"c.wmf", L"img3", L"img3"},
    };
    for (const Step& s : steps) EXPECT_EQ(images.AddImage(f / s.file, s.name), s.expected) << s.file;
    EXPECT_EQ(images.GetCount(), 5u);
}

TEST(ImagesCollectionTest, SamePathIsAnsweredWithoutReadingTheFileAgain) {
    CScratchFolder f;
    const std::wstring path = f / L"img1.png";
    imagetest::WriteBytes(path, StoredPng(2, 2, 0));
    ImagesCollection images;
    EXPECT_EQ(images.AddImage(path, L"img1"), L"img1");
    std::remove(imagetest::Narrow(path).c_str());
    EXPECT_EQ(images.AddImage(path, L"img9"), L"img1");
    // The path is compared exactly: another spelling is another file.
    const Failure other = FailureOf([&] { images.AddImage(f / L"IMG1.png", L"x"); });
    ExpectLocated(other, L"Cannot open image file " + (f / L"IMG1.png"));
}

TEST(ImagesCollectionTest, FailuresNameTheFileAndRegisterNothing) {
    CScratchFolder f;
    imagetest::WriteBytes(f / L"good.png", StoredPng(3, 3, 7));
    const auto goodSize = imagetest::ReadBytes(f / L"good.png").size();
    imagetest::WriteBytes(f / L"fake.png", std::vector<std::uint8_t>(goodSize, 'x'));  // same size, no PNG
    imagetest::WriteBytes(f / L"fake2.PNG", std::vector<std::uint8_t>(goodSize + 1, 'x'));
    imagetest::WriteBytes(f / L"empty.emf", {});

    ImagesCollection images;
    ASSERT_EQ(images.AddImage(f / L"good.png", L"img1"), L"img1");

    struct Case {
        const wchar_t* file;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"missing.png", L"Cannot open image file "},
        {L"fake.png", L"Cannot parse png file content "},
        {L"fake2.PNG", L"Cannot parse png file content "},  // no same-size rival: fails on registering
        {L"empty.emf", L"Cannot load image file "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(imagetest::Narrow(c.file));
        ExpectLocated(FailureOf([&] { images.AddImage(f / c.file, L"bad"); }), c.text + (f / c.file));
        EXPECT_EQ(images.GetCount(), 1u);
    }
    // A path that failed is not remembered: once the file is good it registers.
    imagetest::WriteBytes(f / L"fake2.PNG", StoredPng(5, 5, 1));
    EXPECT_EQ(images.AddImage(f / L"fake2.PNG", L"img2"), L"img2");
    EXPECT_EQ(images.GetCount(), 2u);
}
