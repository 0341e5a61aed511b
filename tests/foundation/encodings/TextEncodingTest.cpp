#include "base/encodings/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace base::encodings;

namespace {

const std::wstring kFffd(1, L'\xFFFD');

std::wstring W(std::initializer_list<std::uint32_t> units) {
    std::wstring text;
    for (std::uint32_t u : units) text += static_cast<wchar_t>(u);
    return text;
}

const unsigned char* Data(const std::string& bytes) { return reinterpret_cast<const unsigned char*>(bytes.data()); }

// Every scalar value once, in order.
std::wstring AllScalarValues() {
    std::wstring text;
    for (std::uint32_t c = 0; c <= 0x10FFFF; ++c)
        if (c < 0xD800 || c > 0xDFFF) text += static_cast<wchar_t>(c);
    return text;
}

}  // namespace

TEST(TextEncoding, Utf8FromWideJoinsPairsAndReplacesWhatIsNoCharacter) {
    struct Case {
        const char* what;
        std::wstring wide;
        std::string utf8;
        bool strictOk;
    };
    const Case cases[] = {
        {"empty", L"", "", true},
        {"ascii with NUL", std::wstring(L"a\0b", 3), std::string("a\0b", 3), true},
        {"last one-byte", W({0x7F}), "\x7F", true},
        {"first two-byte", W({0x80}), "\xC2\x80", true},
        {"last two-byte", W({0x7FF}), "\xDF\xBF", true},
        {"first three-byte", W({0x800}), "\xE0\xA0\x80", true},
        {"last three-byte", W({0xFFFF}), "\xEF\xBF\xBF", true},
        {"first four-byte", W({0x10000}), "\xF0\x90\x80\x80", true},
        {"last code point", W({0x10FFFF}), "\xF4\x8F\xBF\xBF", true},
        {"pair held as two units", W({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80", true},
        {"lone high", W({'a', 0xD800, 'b'}),
         "a\xEF\xBF\xBD"
         "b",
         false},
        {"lone high at the end", W({'a', 0xDBFF}), "a\xEF\xBF\xBD", false},
        {"lone low", W({0xDC00}), "\xEF\xBF\xBD", false},
        {"pair the wrong way round", W({0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD", false},
        {"beyond U+10FFFF", W({0x110000}), "\xEF\xBF\xBD", false},
        {"negative wchar_t", W({0xFFFFFFFF}), "\xEF\xBF\xBD", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Utf8FromWide(c.wide), c.utf8);
        std::string strict = "left over";
        EXPECT_EQ(StrictUtf8FromWide(c.wide, strict), c.strictOk);
        EXPECT_EQ(strict, c.strictOk ? c.utf8 : std::string());
    }
}

TEST(TextEncoding, WideFromUtf8ReplacesEachByteOfAMalformedSequence) {
    struct Case {
        const char* what;
        std::string utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"empty", "", L""},
        {"mixed widths", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", W({'a', 0xE9, 0x20AC, 0x1F600})},
        {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"last code point", "\xF4\x8F\xBF\xBF", W({0x10FFFF})},
        {"stray continuation",
         "a\x80"
         "b",
         L"a\xFFFD"
         L"b"},
        {"unknown byte",
         "a\xFF"
         "b",
         L"a\xFFFD"
         L"b"},
        {"overlong NUL", "\xC0\x80", kFffd + kFffd},
        {"overlong three-byte", "\xE0\x80\x80", kFffd + kFffd + kFffd},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", kFffd + kFffd + kFffd + kFffd},
        {"encoded surrogate", "\xED\xA0\x80", kFffd + kFffd + kFffd},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", kFffd + kFffd + kFffd + kFffd + kFffd},
        {"cut at the end", "a\xC3", L"a\xFFFD"},
        {"cut three-byte at the end", "\xE2\x82", kFffd + kFffd},
        {"cut before ASCII",
         "\xE2\x82"
         "A",
         kFffd + kFffd + L"A"},
        {"lead before a new lead", "\xC3\xC3\xA9", kFffd + W({0xE9})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide);
        EXPECT_EQ(WideFromUtf8(c.utf8.data(), c.utf8.size()), c.wide);
        const bool wellFormed = c.wide.find(L'\xFFFD') == std::wstring::npos;
        std::wstring strict = L"left over";
        EXPECT_EQ(StrictWideFromUtf8(c.utf8, strict), wellFormed);
        EXPECT_EQ(strict, wellFormed ? c.wide : std::wstring());
    }
    EXPECT_EQ(WideFromUtf8(nullptr, 3), L"");
}

TEST(TextEncoding, Utf16UnitsAndLittleEndianBytes) {
    struct Case {
        const char* what;
        std::wstring wide;
        std::u16string units;
        std::wstring back;
    };
    const Case cases[] = {
        {"empty", L"", u"", L""},
        {"BMP with NUL", std::wstring(L"\u00C5\0\u4E2D", 3), std::u16string(u"\u00C5\0\u4E2D", 3),
         std::wstring(L"\u00C5\0\u4E2D", 3)},
        {"last BMP", W({0xFFFF}), u"\uFFFF", W({0xFFFF})},
        {"supplementary", W({0x10000, 0x10FFFF}), u"\U00010000\U0010FFFF", W({0x10000, 0x10FFFF})},
        {"pair held as two units", W({0xD83D, 0xDE00}), u"\U0001F600", W({0x1F600})},
        {"lone high", W({0xD800, 'x'}), u"\uFFFDx", L"\uFFFDx"},
        {"lone low", W({0xDFFF}), u"\uFFFD", kFffd},
        {"beyond U+10FFFF", W({0x110000}), u"\uFFFD", kFffd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Utf16FromWide(c.wide), c.units);
        EXPECT_EQ(WideFromUtf16(c.units), c.back);
        const std::string bytes = Utf16LeBytesFromWide(c.wide);
        ASSERT_EQ(bytes.size(), c.units.size() * 2);
        for (std::size_t i = 0; i < c.units.size(); ++i) {
            EXPECT_EQ(static_cast<unsigned char>(bytes[2 * i]), c.units[i] & 0xFF);
            EXPECT_EQ(static_cast<unsigned char>(bytes[2 * i + 1]), c.units[i] >> 8);
        }
        EXPECT_EQ(WideFromUtf16LeBytes(Data(bytes), bytes.size()), c.back);
        std::wstring strict;
        EXPECT_TRUE(StrictWideFromUtf16LeBytes(Data(bytes), bytes.size(), strict));
        EXPECT_EQ(strict, c.back);
    }
    EXPECT_EQ(WideFromUtf16(nullptr, 4), L"");
    EXPECT_EQ(WideFromUtf16LeBytes(nullptr, 4), L"");
}

TEST(TextEncoding, Utf16FromUnitsThatAreNotWellFormed) {
    struct Case {
        const char* what;
        std::string le;  // UTF-16LE bytes
        std::wstring lenient;
        std::wstring toNul;
        bool strictOk;
    };
    const Case cases[] = {
        {"lone high at the end", std::string("a\0\x00\xD8", 4), L"a\xFFFD", L"a\xFFFD", false},
        {"lone high before a letter",
         std::string("\x00\xD8"
                     "b\0",
                     4),
         L"\xFFFD"
         L"b",
         L"\xFFFD"
         L"b",
         false},
        {"lone low", std::string("\x00\xDC", 2), kFffd, kFffd, false},
        {"pair the wrong way round", std::string("\x00\xDC\x00\xD8", 4), kFffd + kFffd, kFffd + kFffd, false},
        {"high, high, low", std::string("\x3D\xD8\x3D\xD8\x00\xDE", 6), kFffd + W({0x1F600}), kFffd + W({0x1F600}),
         false},
        {"odd trailing byte", std::string("a\0b", 3), L"a", L"a", false},
        {"terminator and more", std::string("a\0\0\0b\0", 6), std::wstring(L"a\0b", 3), L"a", true},
        {"terminator first", std::string("\0\0b\0", 4), std::wstring(L"\0b", 2), L"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WideFromUtf16LeBytes(Data(c.le), c.le.size()), c.lenient);
        EXPECT_EQ(WideFromUtf16LeBytesToNul(Data(c.le), c.le.size()), c.toNul);
        std::wstring strict = L"left over";
        EXPECT_EQ(StrictWideFromUtf16LeBytes(Data(c.le), c.le.size(), strict), c.strictOk);
        EXPECT_EQ(strict, c.strictOk ? c.lenient : std::wstring());
        // The same units big-endian decode the same way.
        std::string be = c.le;
        for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
        EXPECT_EQ(WideFromUtf16BeBytes(Data(be), be.size()), c.lenient);
    }
}

TEST(TextEncoding, EveryScalarValueSurvivesUtf8AndUtf16) {
    const std::wstring all = AllScalarValues();
    const std::string utf8 = Utf8FromWide(all);
    EXPECT_EQ(WideFromUtf8(utf8), all);
    std::wstring strict;
    EXPECT_TRUE(StrictWideFromUtf8(utf8, strict));
    EXPECT_EQ(strict, all);
    EXPECT_EQ(WideFromUtf16(Utf16FromWide(all)), all);
    const std::string le = Utf16LeBytesFromWide(all);
    EXPECT_EQ(WideFromUtf16LeBytes(Data(le), le.size()), all);
}

TEST(TextEncoding, Cp1252AndLatin1) {
    struct Case {
        const char* what;
        std::wstring wide;
        std::string cp1252;
        std::string latin1;
    };
    const Case cases[] = {
        {"ASCII and Latin-1 letters", L"A\u00E4\u00FF", "A\xE4\xFF", "A\xE4\xFF"},
        {"euro and quotes", L"\u20AC\u201C\u201D\u0178", "\x80\x93\x94\x9F", "????"},
        {"unassigned bytes keep their C1 characters", L"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D",
         "\x81\x8D\x8F\x90\x9D"},
        // U+0080 is not the euro sign: as byte 0x80 it would come back as one.
        {"assigned C1 characters have no byte", L"\u0080\u0099", "??", "\x80\x99"},
        {"outside both", L"\u4E2D\U0001F600", "??", "??"},
        // One byte per unit, so that offsets into text kept as UTF-16 units still hold.
        {"pair held as two units", W({0xD83D, 0xDE00}), "??", "??"},
        {"negative wchar_t", W({0xFFFFFFFF}), "?", "?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Cp1252FromWide(c.wide), c.cp1252);
        EXPECT_EQ(Latin1FromWide(c.wide), c.latin1);
    }
    EXPECT_EQ(Cp1252FromWide(L"a\u4E2D", '_'), "a_");
    EXPECT_EQ(Latin1FromWide(L"a\u0100", '_'), "a_");

    // Every byte reads back as itself, in both code pages.
    std::string every;
    for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
    EXPECT_EQ(Cp1252FromWide(WideFromCp1252(every)), every);
    EXPECT_EQ(Latin1FromWide(WideFromLatin1(every)), every);
    EXPECT_EQ(WideFromCp1252("\x80\x9F\xA0"), L"\u20AC\u0178\u00A0");
    EXPECT_EQ(WideFromLatin1("\x80\x9F\xA0"), L"\u0080\u009F\u00A0");
    EXPECT_EQ(WideFromLatin1(nullptr, 2), L"");
}
