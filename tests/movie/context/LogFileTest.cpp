// The export log's bytes: UTF-16LE without a byte-order mark, CR LF line ends, nothing for
// empty text or a closed log.

#include "ExportFixtures.h"

#include "genswf/movie/LogFile.h"

#include <gtest/gtest.h>

using namespace genswf;
using namespace exporttest;

namespace {

std::vector<std::uint8_t> Utf16Le(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(LogFile, WritesUtf16UnitsAndLineEnds) {
    struct {
        const char* name;
        void (*write)(CLogFile&);
        std::u16string expected;
    } const cases[] = {
        {"line", [](CLogFile& l) { l.WriteLine(L"Slides: 3"); }, u"Slides: 3\r\n"},
        {"pieces",
         [](CLogFile& l) {
             l.Write(L"a");
             l.Write(L"b");
             l.WriteNewLine();
         },
         u"ab\r\n"},
        {"beyond U+FFFF", [](CLogFile& l) { l.Write(L"\U0001F600"); }, u"\U0001F600"},
        {"ANSI text", [](CLogFile& l) { l.WriteLineA("\x80 caf\xe9"); }, u"\u20AC caf\u00E9\r\n"},
        {"ANSI piece", [](CLogFile& l) { l.WriteA("x"); }, u"x"},
        {"empty text",
         [](CLogFile& l) {
             l.Write(L"");
             l.WriteA("");
         },
         u""},
        {"empty line", [](CLogFile& l) { l.WriteLine(L""); }, u"\r\n"},
    };
    CScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = scratch.FolderPath() + L"log.txt";
        auto log = CLogFile::Create();
        ASSERT_TRUE(log->Open(path));
        c.write(*log);
        // Every write is in the file at once, before the log is closed.
        EXPECT_EQ(FileBytes(path), Utf16Le(c.expected));
        log->Close();
        EXPECT_FALSE(log->IsOpen());
    }
}

TEST(LogFile, AClosedLogWritesNothing) {
    CScratchFolder scratch;
    const std::wstring path = scratch.FolderPath() + L"log.txt";
    auto log = CLogFile::Create();
    EXPECT_FALSE(log->IsOpen());
    log->WriteLine(L"never stored");
    log->WriteLineA("never stored");

    ASSERT_TRUE(log->Open(path));
    log->WriteLine(L"kept");
    log->Close();
    log->WriteLine(L"after close");
    EXPECT_EQ(FileBytes(path), Utf16Le(u"kept\r\n"));

    // Opening again starts a new file; a folder that does not exist leaves the log closed.
    ASSERT_TRUE(log->Open(path));
    EXPECT_TRUE(FileBytes(path).empty());
    EXPECT_FALSE(log->Open(scratch.FolderPath() + L"missing/log.txt"));
    EXPECT_FALSE(log->IsOpen());
    EXPECT_TRUE(log->GetPath().empty());
}

}  // namespace
