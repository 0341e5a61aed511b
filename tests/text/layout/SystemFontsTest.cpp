// Face lookup, collections rebuilt as standalone fonts, and metrics read from the font files.
#include "fonts/FontMetrics.h"
#include "fonts/SystemFonts.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace fonts;

namespace {

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = std::uint8_t(x >> 24);
    v[at + 1] = std::uint8_t(x >> 16);
    v[at + 2] = std::uint8_t(x >> 8);
    v[at + 3] = std::uint8_t(x);
}

// A collection holding the given standalone fonts, each keeping its own tables.
std::vector<std::uint8_t> MakeCollection(const std::vector<const std::vector<std::uint8_t>*>& fonts) {
    std::vector<std::uint8_t> out(12 + 4 * fonts.size(), 0);
    Put32(out, 0, 0x74746366);  // 'ttcf'
    Put32(out, 4, 0x00010000);
    Put32(out, 8, std::uint32_t(fonts.size()));
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        const std::vector<std::uint8_t>& font = *fonts[f];
        const std::size_t base = out.size();
        Put32(out, 12 + 4 * f, std::uint32_t(base));
        // The font's offsets are relative to its own start; in the collection they are absolute.
        out.insert(out.end(), font.begin(), font.end());
        const std::uint16_t tables = std::uint16_t((font[4] << 8) | font[5]);
        for (std::uint16_t t = 0; t < tables; ++t) {
            std::size_t rec = base + 12 + 16 * std::size_t(t);
            Put32(out, rec + 8, Be32(&out[rec + 8]) + std::uint32_t(base));
        }
        while (out.size() % 4) out.push_back(0);
    }
    return out;
}

bool Fonts() { return FindSystemFont(L"Arial", false, false) != nullptr; }

}  // namespace

TEST(SystemFonts, SubstitutesTheNamesUsersExpect) {
    const struct {
        const wchar_t* asked;
        const wchar_t* expected;
    } cases[] = {
        {L"Arial", L"Liberation Sans"},         {L"times new roman", L"Liberation Serif"},
        {L" Courier New ", L"Liberation Mono"}, {L"DejaVu Sans", L"DejaVu Sans"},
        {L"Arial Black", L"Arial Black"},       {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(SubstituteFaceName(c.asked), c.expected) << std::wstring(c.asked).c_str();
}

TEST(SystemFonts, FindsFacesByNameWeightAndSlant) {
    if (!Fonts()) GTEST_SKIP() << "no system fonts (fonts-liberation missing)";
    const struct {
        const wchar_t* name;
        bool bold, italic;
        const wchar_t* family;
    } cases[] = {
        {L"Arial", false, false, L"Liberation Sans"},
        {L"Arial", true, false, L"Liberation Sans"},
        {L"Arial", false, true, L"Liberation Sans"},
        {L"Arial", true, true, L"Liberation Sans"},
        {L"Times New Roman", false, false, L"Liberation Serif"},
        {L"Courier New", true, false, L"Liberation Mono"},
    };
    for (const auto& c : cases) {
        auto face = FindSystemFont(c.name, c.bold, c.italic);
        ASSERT_TRUE(face) << std::wstring(c.name).c_str();
        EXPECT_EQ(face->familyName, c.family);
        EXPECT_EQ(face->bold, c.bold);
        EXPECT_EQ(face->italic, c.italic);
        bool outlines = false;
        EXPECT_TRUE(CheckSfnt(face->bytes.data(), face->bytes.size(), &outlines));
        EXPECT_TRUE(outlines);
        // FreeType reads the same style from the bytes the movie will embed.
        auto metrics = CFontMetrics::FromData(face->bytes.data(), face->bytes.size());
        ASSERT_TRUE(metrics);
        EXPECT_EQ(metrics->IsBold(), c.bold);
        EXPECT_EQ(metrics->IsItalic(), c.italic);
    }
    // Cached: the same object again, under any spelling of the name.
    EXPECT_EQ(FindSystemFont(L"Arial", false, false), FindSystemFont(L"ARIAL ", false, false));
    // A name the system lacks still gets fontconfig's nearest face.
    auto unknown = FindSystemFont(L"No Such Face 1234", false, false);
    ASSERT_TRUE(unknown);
    std::vector<std::uint8_t> data;
    EXPECT_TRUE(GetFontData(L"Arial", false, false, data));
    EXPECT_EQ(data, FindSystemFont(L"Arial", false, false)->bytes);
}

TEST(SystemFonts, MetricsComeFromTheFontFile) {
    if (!Fonts()) GTEST_SKIP() << "no system fonts (fonts-liberation missing)";
    // Liberation Sans 2.x: the metric twin of Arial, values from its head, hhea and hmtx tables.
    auto m = GetFontMetrics(L"Arial", false, false);
    ASSERT_FALSE(m->IsSynthetic());
    EXPECT_EQ(m->UnitsPerEm(), 2048);
    EXPECT_EQ(m->Ascender(), 1854);
    EXPECT_EQ(m->Descender(), -434);
    EXPECT_EQ(m->LineGap(), 67);
    EXPECT_EQ(m->Advance(U'A'), 1366);
    EXPECT_EQ(m->Advance(U' '), 569);
    EXPECT_EQ(m->Advance(U'i'), 455);
    EXPECT_TRUE(m->HasChar(U'A'));
    EXPECT_FALSE(m->HasChar(0xF041));
    // A missing character advances like the missing-glyph box, not zero.
    EXPECT_GT(m->Advance(0x10FFFD), 0);
    EXPECT_EQ(GetFontMetrics(L"arial", false, false), m);
}

TEST(SystemFonts, CollectionFacesBecomeStandaloneFonts) {
    if (!Fonts()) GTEST_SKIP() << "no system fonts (fonts-liberation missing)";
    auto sans = FindSystemFont(L"Liberation Sans", false, false);
    auto serif = FindSystemFont(L"Liberation Serif", true, false);
    ASSERT_TRUE(sans && serif);
    std::vector<std::uint8_t> ttc = MakeCollection({&sans->bytes, &serif->bytes});
    ASSERT_TRUE(IsFontCollection(ttc.data(), ttc.size()));
    ASSERT_EQ(CollectionFaceCount(ttc.data(), ttc.size()), 2u);

    for (std::uint32_t index : {0u, 1u}) {
        std::vector<std::uint8_t> face;
        std::string error;
        ASSERT_TRUE(ExtractCollectionFace(ttc.data(), ttc.size(), index, face, &error)) << error;
        EXPECT_FALSE(IsFontCollection(face.data(), face.size()));
        bool outlines = false;
        ASSERT_TRUE(CheckSfnt(face.data(), face.size(), &outlines));
        EXPECT_TRUE(outlines);
        // The whole file sums to the magic value once head.checkSumAdjustment is right.
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i + 4 <= face.size(); i += 4) sum += Be32(&face[i]);
        EXPECT_EQ(sum, 0xB1B0AFBAu);
        auto metrics = CFontMetrics::FromData(face.data(), face.size());
        ASSERT_TRUE(metrics);
        auto original = CFontMetrics::FromData(index == 0 ? sans->bytes.data() : serif->bytes.data(),
                                               index == 0 ? sans->bytes.size() : serif->bytes.size());
        EXPECT_EQ(metrics->FamilyName(), index == 0 ? L"Liberation Sans" : L"Liberation Serif");
        EXPECT_EQ(metrics->IsBold(), index == 1);
        for (char32_t c : {U'A', U'g', U'W', U' ', U'\u20AC'}) EXPECT_EQ(metrics->Advance(c), original->Advance(c));
    }
}

TEST(SystemFonts, MalformedContainersAreRefused) {
    std::vector<std::uint8_t> out;
    std::string error;
    const std::uint8_t notFont[] = "this is not a font at all";
    EXPECT_FALSE(CheckSfnt(notFont, sizeof notFont, nullptr, &error));
    EXPECT_FALSE(CheckSfnt(nullptr, 0));
    EXPECT_FALSE(ExtractCollectionFace(notFont, sizeof notFont, 0, out, &error));
    EXPECT_TRUE(out.empty());

    // Header claims many faces but holds no offsets for them.
    std::vector<std::uint8_t> ttc(12, 0);
    Put32(ttc, 0, 0x74746366);
    Put32(ttc, 8, 0x7FFFFFFF);
    EXPECT_EQ(CollectionFaceCount(ttc.data(), ttc.size()), 0u);
    EXPECT_FALSE(ExtractCollectionFace(ttc.data(), ttc.size(), 0, out, &error));

    // One face whose directory points past the end, then one whose table does.
    ttc.assign(16 + 12 + 16, 0);
    Put32(ttc, 0, 0x74746366);
    Put32(ttc, 8, 1);
    Put32(ttc, 12, 1000);
    EXPECT_FALSE(ExtractCollectionFace(ttc.data(), ttc.size(), 0, out, &error));
    EXPECT_FALSE(ExtractCollectionFace(ttc.data(), ttc.size(), 5, out, &error));
    Put32(ttc, 12, 16);
    Put32(ttc, 16, 0x00010000);
    ttc[20] = 0;
    ttc[21] = 1;                 // one table
    Put32(ttc, 28, 0x68656164);  // 'head'
    Put32(ttc, 36, 40);          // offset inside
    Put32(ttc, 40, 0xFFFFFFF0);  // length far outside
    EXPECT_FALSE(ExtractCollectionFace(ttc.data(), ttc.size(), 0, out, &error));
    EXPECT_FALSE(error.empty());
    // Table count larger than the data can hold.
    ttc[21] = 0xFF;
    EXPECT_FALSE(ExtractCollectionFace(ttc.data(), ttc.size(), 0, out, &error));

    EXPECT_FALSE(CFontMetrics::FromData(notFont, sizeof notFont));
    EXPECT_FALSE(CFontMetrics::FromData(nullptr, 0));
}
