#include "EnvOverride.h"
#include "TempDir.h"
#include "genswf/utils/ModuleVersionInfo.h"
#include "genswf/utils/PngFile.h"
#include "genswf/utils/RegistryKey.h"
#include "genswf/utils/Utils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace genswf;

namespace {

class RegistryKeyTest : public ::testing::Test {
protected:
    CScratchFolder m_scratch;
    CEnvOverride m_registryFolder{"BRINDLECAST_REGISTRY", m_scratch.Native().c_str()};
};

TEST_F(RegistryKeyTest, ValuesAndDefaults) {
    CRegistryKey key;
    EXPECT_EQ(key.QueryStringValue(L"x", L"fallback"), L"fallback") << "no key held";
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\Test\\Key"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryStringValue(L"missing", L"default"), L"default");
    EXPECT_EQ(key.QueryDWORDValue(L"missing", 17u), 17u);

    EXPECT_TRUE(key.SetStringValue(L"", L"empty"));
    EXPECT_EQ(key.QueryStringValue(L"empty", L"default"), L"");
    // Without a default: an empty value is a value, a missing one is nothing.
    EXPECT_EQ(key.QueryStringValue(L"empty"), std::optional<std::wstring>(L""));
    EXPECT_EQ(key.QueryStringValue(L"missing"), std::nullopt);
    EXPECT_TRUE(key.SetStringValue(L"Gr\x00fc\x00df \x1F600", L"text"));
    EXPECT_EQ(key.QueryStringValue(L"text", L""), L"Gr\x00fc\x00df \x1F600");
    // A value longer than 64 Ki characters is read whole, not taken for missing.
    const std::wstring longValue(70000, L'x');
    EXPECT_TRUE(key.SetStringValue(longValue, L"long"));
    EXPECT_EQ(key.QueryStringValue(L"long", L"default"), longValue);
    EXPECT_TRUE(key.SetDWORDValue(0xDEADBEEF, L"number"));
    EXPECT_EQ(key.QueryDWORDValue(L"number", 0), 0xDEADBEEFu);

    // A string longer than four bytes is no DWORD.
    EXPECT_TRUE(key.SetStringValue(L"long text", L"notANumber"));
    EXPECT_EQ(key.QueryDWORDValue(L"notANumber", 5u), 5u);
    EXPECT_TRUE(key.Close());
    EXPECT_TRUE(key.Close()) << "closing twice is fine";

    // The values outlive the key object.
    CRegistryKey again;
    ASSERT_EQ(again.Open(HKEY_CURRENT_USER, L"Software\\Test\\Key"), ERROR_SUCCESS);
    EXPECT_EQ(again.QueryDWORDValue(L"number", 0), 0xDEADBEEFu);
}

TEST_F(RegistryKeyTest, FailedOpenKeepsTheHeldKey) {
    CRegistryKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\Held"), ERROR_SUCCESS);
    ASSERT_TRUE(key.SetDWORDValue(3, L"v"));
    EXPECT_NE(key.Open(HKEY_CURRENT_USER, L"Software\\Nowhere\\AtAll"), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryDWORDValue(L"v", 0), 3u);
}

std::string PngHeader(std::uint32_t width, std::uint32_t height, std::uint32_t ihdrLength = 13) {
    std::string bytes("\x89PNG\r\n\x1a\n", 8);
    const auto be32 = [&bytes](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((v >> shift) & 0xFF);
    };
    be32(ihdrLength);
    bytes += "IHDR";
    be32(width);
    be32(height);
    bytes += std::string("\x08\x06\x00\x00\x00", 5);
    be32(0);  // CRC: not checked here
    return bytes;
}

TEST(PngFile, HeaderChecks) {
    CScratchFolder scratch;
    struct Case {
        const char* name;
        std::string bytes;
        bool accepted;
    } cases[] = {
        {"good.png", PngHeader(640, 480), true},
        {"short.png", PngHeader(640, 480).substr(0, 28), false},
        {"jpeg.png", std::string("\xff\xd8\xff\xe0", 4) + std::string(40, '\0'), false},
        {"zerowidth.png", PngHeader(0, 10), false},
        {"zeroheight.png", PngHeader(10, 0), false},
        {"badihdr.png", PngHeader(10, 10, 14), false},
        {"empty.png", std::string(), false},
    };
    for (const auto& c : cases) {
        const std::wstring path = scratch / WideFromUtf8(c.name);
        ASSERT_TRUE(WriteWholeFile(path, c.bytes.data(), c.bytes.size()));
        for (bool whole : {false, true}) {
            const auto png = CPngFile::Create(path, whole);
            EXPECT_EQ(png != nullptr, c.accepted) << c.name << " whole=" << whole;
        }
    }
    EXPECT_EQ(CPngFile::Create(scratch / L"missing.png", true), nullptr);
}

TEST(PngFile, HeaderOnlyOrWholeFile) {
    CScratchFolder scratch;
    std::string bytes = PngHeader(1234, 567);
    bytes += std::string(5 * 1024 * 1024, 'z');
    const std::wstring path = scratch / L"big.png";
    ASSERT_TRUE(WriteWholeFile(path, bytes.data(), bytes.size()));

    const auto header = CPngFile::Create(path, false);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetBytes().size(), CPngFile::kHeaderBytes);
    EXPECT_EQ(header->GetWidth(), 1234u);
    EXPECT_EQ(header->GetHeight(), 567u);

    const auto whole = CPngFile::Create(path, true);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->GetBytes().size(), bytes.size());
}

TEST(ModuleVersion, ComesFromTheBuild) {
    const CModuleVersionInfo none(nullptr);
    EXPECT_TRUE(none.GetFileVersion().empty());

    static int anchor = 0;
    const CModuleVersionInfo info(&anchor, L"040904b0", L"ProductName");
    EXPECT_EQ(info.GetStringValue(), L"Brindlecast");
    EXPECT_FALSE(info.GetFileVersion().empty());
    EXPECT_EQ(info.GetProductVersion(), info.GetFileVersion() + L".0");
    EXPECT_EQ(std::count(info.GetFileVersion().begin(), info.GetFileVersion().end(), L'.'), 2);
}

}  // namespace
