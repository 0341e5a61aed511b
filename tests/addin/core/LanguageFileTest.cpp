#include "AddinTestSupport.h"
#include "addin/language/Language.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace addin;

namespace {

CLanguage ParseBytes(const std::string& bytes) {
    CLanguage language;
    language.Parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return language;
}

std::wstring Message(const CLanguage& language, const std::wstring& name) {
    std::wstring text;
    return language.GetMessage(name, text) ? text : L"<missing>";
}

const std::wstring kValidHead = L"[info]\nlanguageName=Test\nlanguageIds=1033\n[messages]\n";

// Message values as the parser must read them.
TEST(LanguageFile, MessageValues) {
    struct Case {
        const wchar_t* line;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"A=plain", L"A", L"plain"},
        {L"  A \t=\t spaced out \t", L"A", L"spaced out"},
        {L"A=\"quoted = kept\"", L"A", L"quoted = kept"},
        {L"A=\"  inner blanks  \"", L"A", L"  inner blanks  "},
        {L"A=\"", L"A", L"\""},
        {L"A=\"\"", L"A", L""},
        {L"A=\"only opening", L"A", L"\"only opening"},
        {L"A=ends with a quote\"", L"A", L"ends with a quote\""},
        {L"A=tab\\there", L"A", L"tab\there"},
        {L"A=one\\ntwo\\rthree", L"A", L"one\ntwo\rthree"},
        {L"A=back\\\\slash \\\"q\\\" \\0 \\x", L"A", L"back\\slash \"q\" 0 x"},
        {L"A=trailing\\", L"A", L"trailing"},
        {L"A=\"\\\"nested\\\"\"", L"A", L"\"nested\""},
        {L"A=a=b=c", L"A", L"a=b=c"},
        {L"A=", L"A", L""},
        {L"A B=spaced key", L"A B", L"spaced key"},
        {L"=no key", L"", L"<missing>"},
        {L"no equals sign", L"no equals sign", L"<missing>"},
        {L"; A=comment", L"; A", L"<missing>"},
        {L"   ;A=indented comment", L"A", L"<missing>"},
        {L"A=100% %s %n", L"A", L"100% %s %n"},
    };
    for (const Case& c : cases) {
        const CLanguage language = ParseBytes(Utf16Bytes(kValidHead + c.line + L"\nZ=z"));
        EXPECT_EQ(Message(language, c.name), c.expected) << genswf::Utf8FromWide(c.line);
    }
}

// Whole files: encoding, line ends, sections and validity.
TEST(LanguageFile, Files) {
    const std::wstring body = L"[info]\r\nlanguageName=Deutsch\r\nlanguageIds=1031\r\n[messages]\r\nHELLO=Hallo\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
        const wchar_t* hello;
    };
    std::string oddByte = Utf16Bytes(body) + "A";
    const Case cases[] = {
        {"little-endian BOM", Utf16Bytes(body), true, L"Hallo"},
        {"big-endian BOM", Utf16Bytes(body, true), true, L"Hallo"},
        {"no BOM", Utf16Bytes(body, false, false), false, L"<missing>"},
        {"UTF-8 text", genswf::Utf8FromWide(body), false, L"<missing>"},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + genswf::Utf8FromWide(body), false, L"<missing>"},
        {"BOM only", "\xFF\xFE", false, L"<missing>"},
        {"one byte", "\xFF", false, L"<missing>"},
        {"empty", "", false, L"<missing>"},
        {"odd last byte dropped", oddByte, true, L"Hallo"},
        {"lone CR line ends", Utf16Bytes(L"[info]\rlanguageName=D\rlanguageIds=1\r[messages]\rHELLO=Hallo\r"), true,
         L"Hallo"},
        {"LF line ends", Utf16Bytes(L"[info]\nlanguageName=D\nlanguageIds=1\n[messages]\nHELLO=Hallo"), true, L"Hallo"},
        {"no name", Utf16Bytes(L"[info]\nlanguageIds=1\n[messages]\nHELLO=Hallo"), false, L"Hallo"},
        {"empty name", Utf16Bytes(L"[info]\nlanguageName=\nlanguageIds=1\n[messages]\nHELLO=Hallo"), false, L"Hallo"},
        {"no ids", Utf16Bytes(L"[info]\nlanguageName=D\n[messages]\nHELLO=Hallo"), false, L"Hallo"},
        {"no messages", Utf16Bytes(L"[info]\nlanguageName=D\nlanguageIds=1\n[messages]\n"), false, L"<missing>"},
        {"pairs before any section", Utf16Bytes(L"HELLO=early\n[info]\nlanguageName=D\nlanguageIds=1\n[messages]\nX=1"),
         true, L"<missing>"},
        {"section names are case-sensitive",
         Utf16Bytes(L"[info]\nlanguageName=D\nlanguageIds=1\n[Messages]\nHELLO=Hallo"), false, L"<missing>"},
        {"indented section header", Utf16Bytes(L"  [info]  \nlanguageName=D\nlanguageIds=1\n\t[messages]\nHELLO=Hallo"),
         true, L"Hallo"},
        {"info keys in messages are messages", Utf16Bytes(L"[messages]\nlanguageName=D\nlanguageIds=1\nHELLO=Hallo"),
         false, L"Hallo"},
    };
    for (const Case& c : cases) {
        const CLanguage language = ParseBytes(c.bytes);
        EXPECT_EQ(language.IsValid(), c.valid) << c.what;
        EXPECT_EQ(Message(language, L"HELLO"), c.hello) << c.what;
    }
}

TEST(LanguageFile, DuplicatesAndInfoValues) {
    const CLanguage language =
        ParseBytes(Utf16Bytes(L"[info]\n"
                              L"languageName=\n"
                              L"languageName=First\n"
                              L"languageName=Second\n"
                              L"defaultLanguage=TRUE\n"
                              L"defaultLanguage=yes\n"
                              L"languageIds=1,2\n"
                              L"languageIds= 1033 , 0x407,#40C, 70000, -1, ,0X0C0A\n"
                              L"defaultLanguageId=0x409\n"
                              L"defaultLanguageId=99999\n"
                              L"unknownKey=ignored\n"
                              L"[messages]\n"
                              L"KEY=first\n"
                              L"KEY=second\n"
                              L"key=other case\n"
                              L"[info]\n"
                              L"defaultLanguage=maybe\n"));
    EXPECT_TRUE(language.IsValid());
    EXPECT_EQ(language.GetLanguageName(), L"First");
    EXPECT_TRUE(language.IsDefaultLanguage());
    // Out-of-range ids are left out, never cut down to another language's id; an empty piece is 0.
    EXPECT_EQ(language.GetLanguageIds(), (std::vector<LANGID>{1033, 0x407, 0x40C, 0, 0x0C0A}));
    EXPECT_EQ(language.GetDefaultLanguageId(), 0x409);
    EXPECT_EQ(Message(language, L"KEY"), L"first");
    EXPECT_EQ(Message(language, L"key"), L"other case");
    EXPECT_TRUE(language.SupportsLanguageId(0x40C));
    EXPECT_FALSE(language.SupportsLanguageId(70000 & 0xFFFF));

    const CLanguage cleared = ParseBytes(Utf16Bytes(L"[info]\ndefaultLanguage=true\ndefaultLanguage=False\n"));
    EXPECT_FALSE(cleared.IsDefaultLanguage());
    EXPECT_EQ(cleared.GetDefaultLanguageId(), 1033);
}

TEST(LanguageFile, NonBasicCharacters) {
    // U+1F600 travels as a surrogate pair; a lone surrogate becomes U+FFFD.
    std::string bytes = Utf16Bytes(kValidHead + L"SMILE=\U0001F600 Grüße\nLONE=a");
    bytes += std::string("\x00\xD8", 2);  // lone high surrogate, little-endian
    bytes += Utf16Bytes(L"b\n", false, false);
    const CLanguage language = ParseBytes(bytes);
    EXPECT_EQ(Message(language, L"SMILE"), L"\U0001F600 Grüße");
    EXPECT_EQ(Message(language, L"LONE"),
              L"a\xFFFD"
              L"b");
}

TEST(LanguageFile, FilesOnDisk) {
    CScratchFolder folder;
    WriteBytes(folder.Native() + "/good.lng", Utf16Bytes(kValidHead + L"A=1"));
    EXPECT_TRUE(CLanguage(folder / L"good.lng").IsValid());
    EXPECT_FALSE(CLanguage(folder / L"missing.lng").IsValid());

    // Just over the limit: skipped whole, even though it is well formed.
    std::wstring big = kValidHead + L"A=1\n;";
    big.append(CLanguage::kMaxFileBytes / 2, L'x');
    WriteBytes(folder.Native() + "/big.lng", Utf16Bytes(big));
    EXPECT_FALSE(CLanguage(folder / L"big.lng").IsValid());

    // A folder or a pipe with the extension must neither be read nor block.
    ASSERT_EQ(::mkdir((folder.Native() + "/dir.lng").c_str(), 0700), 0);
    EXPECT_FALSE(CLanguage(folder / L"dir.lng").IsValid());
    ASSERT_EQ(::mkfifo((folder.Native() + "/pipe.lng").c_str(), 0600), 0);
    EXPECT_FALSE(CLanguage(folder / L"pipe.lng").IsValid());
}

TEST(LanguageFile, ArbitraryBytesNeverBreakTheParser) {
    // Deterministic noise behind both byte-order marks.
    std::uint32_t state = 12345;
    for (int round = 0; round < 200; ++round) {
        std::string bytes = round % 2 ? "\xFF\xFE" : "\xFE\xFF";
        const std::size_t size = (round * 37) % 2000;
        for (std::size_t i = 0; i < size; ++i) {
            state = state * 1103515245u + 12345u;
            const char pool[] = "[]=;\\\"\r\n\t infomesagsldIy01x#";
            bytes += (state >> 16) % 3 == 0 ? static_cast<char>(state >> 24) : pool[(state >> 16) % (sizeof pool - 1)];
            bytes += (state >> 8) % 5 == 0 ? static_cast<char>(state) : '\0';
        }
        const CLanguage language = ParseBytes(bytes);
        for (const auto& entry : language.GetMessages()) EXPECT_FALSE(entry.first.empty());
    }
}

}  // namespace
