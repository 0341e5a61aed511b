// Symbol faces: their codes read as the pictures they name, and the stand-in font the system
// hands out for a symbol face it lacks carries those pictures behind a symbol map.
#include "LayoutFixture.h"

#include "fonts/SystemFonts.h"
#include "fonts/symbols/SymbolFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

using namespace fonts;
using namespace fonts::layout;

namespace {

// An outline glyph's box in font units; empty when the face has no such code.
struct GlyphBox {
    bool found = false;
    long advance = 0, xMin = 0, yMin = 0, xMax = 0, yMax = 0, unitsPerEm = 0;
};

GlyphBox BoxOf(const FontFileData& font, FT_Encoding encoding, FT_ULong code) {
    GlyphBox box;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return box;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, font.bytes.data(), FT_Long(font.bytes.size()), 0, &face) == 0) {
        if (FT_Select_Charmap(face, encoding) == 0) {
            FT_UInt index = FT_Get_Char_Index(face, code);
            if (index && FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) == 0 &&
                face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
                FT_BBox b;
                FT_Outline_Get_CBox(&face->glyph->outline, &b);
                box = {true, face->glyph->advance.x, b.xMin, b.yMin, b.xMax, b.yMax, face->units_per_EM};
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return box;
}

// The font the stand-ins take their pictures from on this system.
std::shared_ptr<const FontFileData> Donor() {
    for (const wchar_t* name : {L"Symbola", L"DejaVu Sans"}) {
        auto font = FindSystemFont(name, false, false);
        if (font && font->familyName == name) return font;
    }
    return nullptr;
}

}  // namespace

TEST(SymbolFonts, CodesOfEachFaceNameTheirPictures) {
    struct Case {
        const wchar_t* face;
        char32_t code, unicode;
    };
    const Case cases[] = {
        {L"Wingdings", 0x6C, 0x25CF},       // round bullet
        {L"Wingdings", 0xF06C, 0x25CF},     // the same code as a symbol-font text stores it
        {L"wingdings ", 0x6E, 0x25A0},      // square bullet; case and blanks do not matter
        {L"Wingdings", 0xA7, 0x25AA},       // small square bullet
        {L"Wingdings", 0xD8, 0x2B9A},       // arrowhead bullet
        {L"Wingdings", 0xFC, 0x2714},       // check mark
        {L"Wingdings", 0x7F, 0},            // a code the face leaves empty
        {L"Wingdings", 0x1F, 0},            // below the table
        {L"Wingdings", 0xF100, 0},          // beyond the symbol range
        {L"Wingdings 2", 0x96, 0x25CF},     //
        {L"Wingdings 3", 0x75, 0x25BA},     //
        {L"Symbol", 0xB7, 0x2022},          // the bullet of the Symbol face
        {L"Symbol", 0x61, 0x03B1},          // Greek letters where Latin ones stand
        {L"Symbol", 0xE6, 0x239B},          // a bracket piece, not a private-use code
        {L"Monotype Sorts", 0x6C, 0x25CF},  //
        {L"ZapfDingbats", 0x76, 0x2756},    //
        {L"Webdings", 0x67, 0x25A0},        // square bullet
        {L"Webdings", 0x6E, 0x26AB},        // round bullet
        {L"Webdings", 0xF03D, 0x23FA},      // the record button, by its symbol-font code
        {L"Webdings", 0x7F, 0},             //
        {L"Arial", 0x6C, 0},                // not a symbol face
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.face, c.face + wcslen(c.face)) << " 0x" << std::hex
                                        << unsigned(c.code));
        EXPECT_EQ(symbols::SymbolToUnicode(c.face, c.code), c.unicode);
    }
    EXPECT_TRUE(symbols::IsSymbolFace(L"Wingdings"));
    EXPECT_FALSE(symbols::IsSymbolFace(L"Times New Roman"));
}

TEST(SymbolFonts, AMissingSymbolFaceComesAsAStandInWithItsPictures) {
    REQUIRE_FONTS();
    auto donor = Donor();
    if (!donor) GTEST_SKIP() << "neither Symbola nor DejaVu Sans is installed";
    auto font = FindSystemFont(L"Wingdings", false, false);
    ASSERT_TRUE(font);
    if (font->familyName != L"Wingdings") GTEST_SKIP() << "the system has a Wingdings face of its own";
    bool outlines = false;
    ASSERT_TRUE(CheckSfnt(font->bytes.data(), font->bytes.size(), &outlines));
    EXPECT_TRUE(outlines);
    // Bold and italic requests share the one stand-in.
    EXPECT_EQ(FindSystemFont(L"wingdings", true, true)->bytes, font->bytes);

    // Each code shows the donor's glyph of its picture, at the code a symbol face uses. The
    // round, square and diamond bullets come smaller and raised: a sixth narrower about their
    // middle, centred half an em above the baseline; other pictures come as they are.
    const struct {
        unsigned code;
        bool bulletShape;
    } codes[] = {{0x6C, true}, {0x6E, true}, {0xA7, true}, {0x77, true}, {0xD8, false}, {0xFC, false}};
    for (const auto& c : codes) {
        SCOPED_TRACE(c.code);
        const GlyphBox want = BoxOf(*donor, FT_ENCODING_UNICODE, symbols::SymbolToUnicode(L"Wingdings", c.code));
        const GlyphBox got = BoxOf(*font, FT_ENCODING_MS_SYMBOL, 0xF000 | c.code);
        if (!want.found) continue;  // the donor lacks this picture; so does the stand-in
        ASSERT_TRUE(got.found);
        EXPECT_EQ(got.advance, want.advance);
        if (!c.bulletShape) {
            EXPECT_EQ(got.xMin, want.xMin);
            EXPECT_EQ(got.yMax, want.yMax);
            EXPECT_EQ(got.xMax, want.xMax);
            continue;
        }
        EXPECT_NEAR(got.xMax - got.xMin, 0.83 * (want.xMax - want.xMin), 3);
        EXPECT_NEAR(got.yMax - got.yMin, 0.83 * (want.yMax - want.yMin), 3);
        EXPECT_NEAR(got.xMin + got.xMax, want.xMin + want.xMax, 3);
        EXPECT_NEAR((got.yMin + got.yMax) / 2.0, 0.5 * got.unitsPerEm, 3);
    }
    // The stand-in has no Unicode map, as the face it stands for: a letter 'l' is not in it.
    EXPECT_FALSE(BoxOf(*font, FT_ENCODING_UNICODE, L'l').found);

    // The layout measures the same font, by either form of the code.
    auto metrics = GetFontMetrics(L"Wingdings", false, false);
    EXPECT_TRUE(metrics->HasSymbolCharmap());
    EXPECT_TRUE(metrics->HasChar(0x6C));
    EXPECT_TRUE(metrics->HasChar(0xF06C));
    EXPECT_EQ(metrics->Advance(0x6C), BoxOf(*donor, FT_ENCODING_UNICODE, 0x25CF).advance);
}

TEST(SymbolFonts, ABulletInASymbolFaceDoesNotMakeItsLineTaller) {
    REQUIRE_FONTS();
    TextLayoutInput in;
    in.frame.width = 400;
    in.frame.height = 200;
    ParagraphFormat format;
    format.bullet.visible = true;
    format.bullet.text = L"\x6C";
    format.bullet.fontName = L"Wingdings";
    RunStyle style;
    style.fontName = L"Times New Roman";
    style.size = 24;
    in.AddRun(L"first\rsecond", style, format);
    CTextLayout layout;
    layout.SetInput(in);
    ASSERT_EQ(layout.Lines().size(), 2u);
    for (const LineInfo& line : layout.Lines()) EXPECT_NEAR(line.extent, layouttest::Spacing(24), 1e-3);
    const BulletPlacement bullet = layout.BulletOf(0);
    ASSERT_TRUE(bullet.shown);
    EXPECT_TRUE(bullet.metrics->HasSymbolCharmap() || bullet.metrics->FamilyName() == L"Wingdings");
    EXPECT_GT(bullet.bounds.width, 0.0f);
}

TEST(SymbolFonts, ADamagedDonorGivesNoStandIn) {
    auto donor = Donor();
    if (!donor) GTEST_SKIP() << "neither Symbola nor DejaVu Sans is installed";
    const std::size_t size = donor->bytes.size();
    for (std::size_t keep : {std::size_t(0), std::size_t(12), std::size_t(200), size / 2}) {
        SCOPED_TRACE(keep);
        FontFileData cut;
        cut.bytes.assign(donor->bytes.begin(), donor->bytes.begin() + static_cast<std::ptrdiff_t>(keep));
        auto standIn = symbols::MakeSymbolStandIn(L"Wingdings", cut);
        if (standIn) {  // what survived must still be a well-formed font
            bool outlines = false;
            EXPECT_TRUE(CheckSfnt(standIn->bytes.data(), standIn->bytes.size(), &outlines));
        }
    }
    EXPECT_FALSE(symbols::MakeSymbolStandIn(L"Arial", *donor));
}
