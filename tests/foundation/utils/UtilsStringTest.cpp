#include "genswf/utils/Utils.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <limits>

using namespace genswf;

namespace {

struct PathCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(PathNames, IncludeTrailingBackslash) {
    const PathCase cases[] = {{L"", L"/"}, {L"C:/x/", L"C:/x/"}, {L"/a\\", L"/a\\"}, {L"/a", L"/a/"}};
    for (const auto& c : cases) EXPECT_EQ(IncludeTrailingBackslash(c.input), c.expected) << c.input;
}

TEST(PathNames, FolderOfPath) {
    const PathCase cases[] = {
        {L"/a/b/c.swf", L"/a/b"}, {L"C:\\x\\y.ppt", L"C:\\x"}, {L"mixed\\a/b", L"mixed\\a"},         {L"name.swf", L""},
        {L"/top.swf", L"/"},      {L"\\\\server", L""},        {L"\\\\server\\share", L"\\\\server"}};
    for (const auto& c : cases) EXPECT_EQ(GetFolderOfPath(c.input), c.expected) << c.input;
}

TEST(PathNames, FileNameAndExtension) {
    EXPECT_EQ(GetFileNameOfPath(L"/a/b\\c.swf"), L"c.swf");
    EXPECT_EQ(GetFileNameOfPath(L"plain"), L"plain");
    EXPECT_EQ(StripExtension(L"/a.b/c"), L"/a");
    EXPECT_EQ(StripExtension(L"noext"), L"noext");
    const PathCase ext[] = {{L"a.b\\c", L"b\\c"}, {L"name.", L""}, {L"none", L""}, {L"x.tar.gz", L"gz"}};
    for (const auto& c : ext) EXPECT_EQ(GetFileExtension(c.input), c.expected) << c.input;
}

TEST(PathNames, ResolveRelativePath) {
    struct Case {
        const wchar_t* relative;
        const wchar_t* base;
        const wchar_t* expected;
    } cases[] = {
        {L"..\\s.wav", L"C:\\a\\b", L"C:/a/s.wav"},        {L"\\s.wav", L"C:\\a\\b", L"C:/s.wav"},
        {L"..\\s.wav", L"/home/u/deck", L"/home/u/s.wav"}, {L"./x/../y.wav", L"/home/u", L"/home/u/y.wav"},
        {L"../../../../s.wav", L"/a", L"/s.wav"},          {L"/abs/s.wav", L"/home/u", L"/abs/s.wav"},
        {L"D:\\abs.wav", L"/home/u", L"D:\\abs.wav"},      {L"\\\\srv\\s.wav", L"/home/u", L"\\\\srv\\s.wav"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolveRelativePath(c.relative, c.base), c.expected) << c.relative;
}

TEST(Numbers, IntegerText) {
    struct Case {
        const wchar_t* text;
        int value;
        bool stoppedEarly;
    } cases[] = {
        {L"#ff", 255, false},
        {L"0x10", 16, false},
        {L"0X1f", 31, false},
        {L"0", 0, false},
        {L"12ab", 12, true},
        {L"-42", -42, false},
        {L"", 0, false},
        {L"#", 0, true},
        {L"99999999999", 2147483647, false},
        {L"-99999999999", -2147483647 - 1, false},
    };
    for (const auto& c : cases) {
        bool stopped = false;
        EXPECT_EQ(WStringToInt(c.text, stopped), c.value) << c.text;
        EXPECT_EQ(stopped, c.stoppedEarly) << c.text;
    }
    EXPECT_EQ(IntToWString(-7), L"-7");
    EXPECT_EQ(IntToWString(0), L"0");
    EXPECT_EQ(IntToWString(INT_MIN), L"-2147483648");
    EXPECT_EQ(UIntToWString(4000000000u), L"4000000000");
}

TEST(Numbers, Twips) {
    struct Case {
        float value;
        const wchar_t* expected;
    } cases[] = {
        {1.5f, L"30tw"},
        {-1.57f, L"-31tw"},
        {0.04f, L"0tw"},
        {0.0f, L"0tw"},
        {std::numeric_limits<float>::quiet_NaN(), L"0tw"},
        {1e20f, L"2147483647tw"},
        {-1e20f, L"-2147483648tw"},
        {std::numeric_limits<float>::infinity(), L"2147483647tw"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToTwips(c.value), c.expected) << c.value;
}

TEST(Numbers, ColourText) {
    EXPECT_EQ(ColorToWString(0x000000FF), L"#ff0000");
    EXPECT_EQ(ColorToWString(0x00FF0000), L"#0000ff");
    EXPECT_EQ(ColorToWString(0xAB123456), L"#563412");
    EXPECT_EQ(ColorToWString(0), L"#000000");
}

TEST(Numbers, FormatFloatIgnoresLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // A locale with a decimal comma, when the machine has one.
    const bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(FormatFloat(1.25, 7), L"1.2500000");
    EXPECT_EQ(FormatFloat(-0.5, 1), L"-0.5");
    EXPECT_EQ(FormatFloat(2.0, 0), L"2");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!switched) GTEST_LOG_(INFO) << "de_DE locale not installed; checked in the C locale only";
}

TEST(Numbers, RomanNumerals) {
    struct Case {
        int n;
        const wchar_t* expected;
    } cases[] = {{0, L""},    {1, L"I"},          {4, L"IV"},      {9, L"IX"},           {14, L"XIV"},
                 {40, L"XL"}, {1994, L"MCMXCIV"}, {4000, L"MMMM"}, {3999, L"MMMCMXCIX"}, {-3, L""}};
    for (const auto& c : cases) EXPECT_EQ(ToRomanNumeral(c.n), c.expected) << c.n;
}

TEST(Strings, SplitJoinAndReplace) {
    std::vector<std::wstring> pieces;
    EXPECT_EQ(SplitString(L"a,,b,", L",", pieces), 4u);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"a", L"", L"b", L""}));
    EXPECT_EQ(SplitString(L"", L",", pieces), 0u);
    EXPECT_TRUE(pieces.empty());
    SplitString(L"x;y,z", L";,", pieces);
    EXPECT_EQ(JoinStrings(pieces, L"-"), L"x-y-z");
    pieces = {L"", L"a", L"", L"b"};
    RemoveEmptyStrings(pieces);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"a", L"b"}));

    EXPECT_EQ(ReplaceAll(L"aaa", L"aa", L"b"), L"ba");
    EXPECT_EQ(ReplaceAll(L"abc", L"", L"x"), L"abc");
    EXPECT_EQ(ReplaceAll(L"a.b.c", L".", L".."), L"a..b..c");
    // Keys are applied in ascending order, so "%a" runs before "%ab".
    EXPECT_EQ(ReplacePlaceholders(L"%ab", {{L"%ab", L"2"}, {L"%a", L"1"}}), L"1b");
}

TEST(Strings, TrimCaseAndCompare) {
    EXPECT_EQ(Trim(L" \t x y \t"), L"x y");
    EXPECT_EQ(Trim(L" \t "), L"");
    EXPECT_EQ(Trim(L"\nx\n"), L"\nx\n");
    EXPECT_EQ(ToLowerCase(L"AbC"), L"abc");
    EXPECT_EQ(CompareNoCase(L"Arial", L"ARIAL"), 0);
    EXPECT_EQ(CompareNoCase(L"b", L"A"), 1);
    EXPECT_EQ(CompareNoCase(L"a", L"ab"), -1);
}

TEST(Strings, UrlEscape) {
    EXPECT_EQ(UrlEscape(L"a b&c"), L"a%20b%26c");
    EXPECT_EQ(UrlEscape(L"\x00e4"), L"%c3%a4");
    EXPECT_EQ(UrlEscape(L"%?=~{"), L"%25%3f%3d%7e%7b");
    EXPECT_EQ(UrlEscape(L"\n"), L"%0a");
    EXPECT_EQ(UrlEscape(L"http://x.example/p"), L"http://x.example/p");
}

TEST(Encodings, RoundTrips) {
    const std::wstring text = L"Gr\x00fc\x00df \x20ac \x4e2d\x6587 \x1F600";
    EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
    EXPECT_EQ(Utf8FromWide(L"\x00e4"), "\xc3\xa4");
    EXPECT_EQ(WideFromUtf8("a\xff"
                           "b"),
              L"a\xfffd"
              L"b");
    EXPECT_EQ(WideFromUtf8("\xc3"), L"\xfffd");
    EXPECT_EQ(WideFromUtf8("\xe0\x80\x80"), L"\xfffd\xfffd\xfffd");

    // The ANSI code page is Windows-1252: 0x80 is the euro sign.
    EXPECT_EQ(MultiByteToWide("\x80\xe4", CP_ACP), L"\x20ac\x00e4");
    EXPECT_EQ(WideToMultiByte(L"\x20ac\x00e4\x4e2d", CP_ACP), "\x80\xe4?");
    EXPECT_EQ(MultiByteToWide("\x80", CP_LATIN1), L"\x0080");
}

}  // namespace
