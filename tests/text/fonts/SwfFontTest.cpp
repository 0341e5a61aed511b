// SwfFont: symbol folding, used characters, widths, markup, stand-by faces, font files and the
// "font" element, over fonts made in memory and a real system font.
#include "FontsFixture.h"

#include "genswf/fonts/FontTable.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace genswf;
using namespace fontstest;

namespace {

std::shared_ptr<SwfFont> Make(const std::shared_ptr<CMovie>& movie, const std::wstring& face, int kind = 1,
                              bool bold = false, bool italic = false) {
    return SwfFont::Create(movie.get(), face, bold, italic, kind);
}

}  // namespace

TEST(SwfFont, SymbolFoldingOnlyInFacesWithASymbolMap) {
    FakeFonts fake;
    fake.Add(L"Sym", SimpleFont("Sym", L"\xF041\xF0A7", false, false, true));
    fake.Add(L"Plain", SimpleFont("Plain", L"A"));
    fake.Add(L"Private", SimpleFont("Private", L"\xF041"));
    auto movie = CMovie::CreateEmpty();

    struct Case {
        const wchar_t* face;
        std::uint32_t code;
        bool has;
    } cases[] = {
        {L"Sym", 0xF041, true},    {L"Sym", 0x41, true},   {L"Sym", 0xA7, true},       {L"Sym", 0x42, false},
        {L"Plain", 0xF041, false}, {L"Plain", 0x41, true}, {L"Private", 0xF041, true}, {L"Private", 0x41, false},
    };
    for (const Case& c : cases) {
        auto font = Make(movie, c.face);
        ASSERT_TRUE(font);
        EXPECT_EQ(c.has, font->HasChar(c.code)) << std::hex << c.code;
    }

    auto sym = Make(movie, L"Sym");
    EXPECT_TRUE(sym->GetFace().HasSymbolCharmap());
    sym->AddChar(0xF041);
    sym->AddChar(0x41);
    EXPECT_EQ(L"A", sym->GetUsedChars());
    EXPECT_EQ(L"A", sym->ToHtml(L"\xF041"));

    auto priv = Make(movie, L"Private");
    priv->AddChar(0xF041);
    EXPECT_EQ(L"\xF041", priv->GetUsedChars());
    EXPECT_EQ(L"\xF041", priv->ToHtml(L"\xF041"));
}

TEST(SwfFont, UsedCharactersInFirstUseOrderOnce) {
    FakeFonts fake;
    fake.Add(L"Plain", SimpleFont("Plain", L"ab"));
    auto movie = CMovie::CreateEmpty();
    auto font = Make(movie, L"Plain");
    ASSERT_TRUE(font);
    EXPECT_FALSE(font->HasUsedChars());
    EXPECT_EQ(L"", font->GetUsedChars());
    for (wchar_t c : std::wstring(L"baba")) font->AddChar(c);
    // Beyond 16 bits nothing is recorded (and nothing is written out of the bitmap).
    font->AddChar(0x1F600);
    font->AddChar(0xFFFF);
    font->AddChar(0);
    EXPECT_EQ(std::wstring(L"ba") + wchar_t(0xFFFF) + wchar_t(0), font->GetUsedChars());
}

TEST(SwfFont, CodesBeyondSixteenBitsPoseAsNoOtherCharacter) {
    FakeFonts fake;
    TestFontSpec spec;
    spec.glyphs = {{0x41, 500, 0, 0, 400, 700}, {0x1D400, 900, 0, 0, 800, 700}};
    fake.Add(L"Math", BuildTestFont(spec));
    auto movie = CMovie::CreateEmpty();
    auto font = Make(movie, L"Math");
    ASSERT_TRUE(font);
    EXPECT_TRUE(font->HasChar(0x41));
    // 0x1D400 truncated would be 0xD400.
    EXPECT_FALSE(font->HasChar(0xD400));
    EXPECT_FALSE(font->HasChar(0x1D400));
    EXPECT_EQ(0.0f, font->GetTextWidth(std::wstring(1, wchar_t(0xD400))));
}

TEST(SwfFont, TextWidthWidensOnlyTheLastCharacter) {
    FakeFonts fake;
    TestFontSpec spec;
    spec.unitsPerEm = 1000;
    // 'W' reaches past its advance; 'i' does not.
    spec.glyphs = {{L'W', 600, -50, 0, 750, 700}, {L'i', 250, 50, 0, 200, 700}, {L' ', 300}};
    fake.Add(L"Wide", BuildTestFont(spec));
    auto movie = CMovie::CreateEmpty();
    auto font = Make(movie, L"Wide");
    ASSERT_TRUE(font);

    struct Case {
        const wchar_t* text;
        float ems;
    } cases[] = {
        {L"", 0.0f},    {L"W", 0.8f},   {L"i", 0.25f},      {L"WW", 1.4f},
        {L"Wi", 0.85f}, {L"iW", 1.05f}, {L"W\x263A", 0.6f},  // an unknown last character adds nothing
        {L" ", 0.3f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.ems, font->GetTextWidth(c.text), 1e-5f) << "'" << Utf8FromWide(c.text) << "'";
}

TEST(SwfFont, MarkupEscapesDropsControlsAndWrapsStyles) {
    FakeFonts fake;
    fake.Add(L"Plain", SimpleFont("Plain", L"a"));
    fake.Add(L"Both", SimpleFont("Both", L"a", true, true));
    fake.Add(L"Bold", SimpleFont("Bold", L"a", true, false));
    auto movie = CMovie::CreateEmpty();
    auto plain = Make(movie, L"Plain");
    ASSERT_TRUE(plain);

    struct Case {
        const wchar_t* text;
        const wchar_t* html;
    } cases[] = {
        {L"one\ntwo", L"onetwo"},
        {L"a<b & \"c\"", L"a&lt;b &amp; &quot;c&quot;"},
        {L"x>y 'q'", L"x&gt;y 'q'"},
        {L"\t\r\x0B\x1F end", L" end"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.html, plain->ToHtml(c.text));

    // Bold and italic come from the face, not from the request.
    auto both = Make(movie, L"Both");
    EXPECT_TRUE(both->IsBold());
    EXPECT_TRUE(both->IsItalic());
    EXPECT_EQ(L"<B><I>x</I></B>", both->ToHtml(L"x"));
    auto bold = Make(movie, L"Bold", 1, false, true);
    EXPECT_TRUE(bold->IsBold());
    EXPECT_FALSE(bold->IsItalic());
    EXPECT_EQ(L"<B>x</B>", bold->ToHtml(L"x"));
}

TEST(SwfFont, MetricsFamilyAndIds) {
    FakeFonts fake;
    TestFontSpec spec;
    spec.family = "Metric Face";
    spec.unitsPerEm = 2048;
    spec.ascender = 1854;
    spec.descender = -434;
    spec.glyphs = {{L'a', 1000}};
    fake.Add(L"Metric", BuildTestFont(spec));
    auto movie = CMovie::CreateEmpty();
    auto first = Make(movie, L"Metric");
    auto second = Make(movie, L"Metric");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(L"fnt0", first->GetId());
    EXPECT_EQ(L"fnt1", second->GetId());
    EXPECT_EQ(L"Metric Face", first->GetFamilyName());
    EXPECT_EQ(L"metric face", first->GetLowerCaseFamilyName());
    EXPECT_EQ(2048, first->GetUnitsPerEm());
    EXPECT_EQ(1854, first->GetAscender());
    EXPECT_EQ(-434, first->GetDescender());
    EXPECT_EQ(2288, first->GetHeight());
    EXPECT_FLOAT_EQ(1854.0f / 2048.0f, first->GetAscent());
    EXPECT_FLOAT_EQ(-434.0f / 2048.0f, first->GetDescent());
    EXPECT_FLOAT_EQ(2288.0f / 2048.0f, first->GetLineHeight());
    EXPECT_FALSE(first->IsFallback());
    EXPECT_EQ(0, first->GetFallbackKind());
    EXPECT_TRUE(first->IsSameFace(*second));
}

TEST(SwfFont, StandByFaceOfTheKind) {
    auto movie = CMovie::CreateEmpty();
    struct Case {
        int kind;
        std::vector<std::uint8_t> requestedData;  // empty: the system has no data
        const wchar_t* standBy;
        bool valid;
    } cases[] = {
        {0, {}, L"Arial", true},
        {1, {}, L"Arial", true},
        {1, {1, 2, 3, 4, 5, 6, 7, 8}, L"Arial", true},  // data FreeType cannot read
        {2, {}, L"Wingdings", true},
        {3, SimpleFont("Plain", L"A"), L"Symbol", true},  // no symbol map: not a symbol font
        {7, {}, L"Asked", false},                         // other kinds keep their name
    };
    for (const Case& c : cases) {
        FakeFonts fake;
        if (!c.requestedData.empty()) fake.Add(L"Asked", c.requestedData);
        fake.Add(L"Arial", SimpleFont("Liberation Sans", L"A"));
        fake.Add(L"Wingdings", SimpleFont("Wingdings", L"A"));
        fake.Add(L"Symbol", SimpleFont("Symbol", L"\xF041", false, false, true));
        auto font = Make(movie, L"Asked", c.kind);
        ASSERT_EQ(2u, fake.requests.size()) << c.kind;
        EXPECT_EQ(L"Asked", fake.requests[0]);
        EXPECT_EQ(c.standBy, fake.requests[1]);
        ASSERT_EQ(c.valid, font != nullptr) << c.kind;
        if (font) {
            EXPECT_TRUE(font->IsFallback());
            EXPECT_EQ(c.kind, font->GetFallbackKind());
        }
    }

    // Neither face usable: no font.
    FakeFonts none;
    EXPECT_FALSE(Make(movie, L"Asked", 2));
    // A symbol request met by a symbol face is no fallback.
    FakeFonts sym;
    sym.Add(L"Sym", SimpleFont("Sym", L"\xF0A7", false, false, true));
    auto font = Make(movie, L"Sym", 3);
    ASSERT_TRUE(font);
    EXPECT_FALSE(font->IsFallback());
    EXPECT_EQ(1u, sym.requests.size());
}

TEST(SwfFont, DamagedFontDataIsRefused) {
    auto movie = CMovie::CreateEmpty();
    std::vector<std::uint8_t> good = SimpleFont("Plain", L"abc");
    std::vector<std::vector<std::uint8_t>> bad = {
        std::vector<std::uint8_t>(good.begin(), good.begin() + 40),
        std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2),
        std::vector<std::uint8_t>(200, 0xFF),
    };
    TestFontSpec zeroEm;
    zeroEm.unitsPerEm = 0;
    zeroEm.glyphs = {{L'a', 500}};
    bad.push_back(BuildTestFont(zeroEm));
    for (const auto& data : bad) {
        FakeFonts fake;
        fake.Add(L"Broken", data);
        auto font = Make(movie, L"Broken", 1);
        if (font) {
            // Whatever FreeType salvages, widths stay finite.
            EXPECT_GE(font->GetUnitsPerEm(), 1);
            EXPECT_LT(font->GetTextWidth(L"abc"), 1000.0f);
        }
    }
}

TEST(SwfFont, SavesTheWholeFontAndWritesItsElement) {
    FakeFonts fake;
    std::vector<std::uint8_t> data = SimpleFont("Plain", L"ab");
    fake.Add(L"Plain", data);
    auto movie = CMovie::CreateEmpty();
    auto font = Make(movie, L"Plain");
    ASSERT_TRUE(font);
    font->AddChar(L'b');
    font->AddChar(L'a');

    const std::wstring folder = CreateUniqueTempFolder(L"fonttest", L".tmp", GetTempFolder());
    ASSERT_FALSE(folder.empty());
    font->SaveFontFile(folder);
    EXPECT_TRUE(font->IsFileSaved());
    EXPECT_EQ(IncludeTrailingBackslash(folder) + L"fnt0.ttf", font->GetFileName());
    std::vector<std::uint8_t> written;
    ASSERT_TRUE(ReadWholeFile(font->GetFileName(), written));
    EXPECT_EQ(data, written);

    auto objects = movie->GetObjectsElement();
    font->WriteXml(objects);
    const std::wstring xml = objects->xml();
    EXPECT_NE(std::wstring::npos,
              xml.find(L"<font id=\"fnt0\" src=\"" + font->GetFileName() + L"\" name=\"fnt0\" chars=\"ba\"/>"))
        << Utf8FromWide(xml);

    // A folder that does not exist: code 2, the path, the place; nothing left behind.
    const std::wstring missing = IncludeTrailingBackslash(folder) + L"missing";
    try {
        font->SaveFontFile(missing);
        ADD_FAILURE() << "no exception";
    } catch (const CBaseException& e) {
        EXPECT_EQ(2, e.GetCode());
        const std::wstring prefix =
            L"Cannot save font file " + missing + L"/fnt0.ttf in file genswf/src/fonts/SwfFont.cpp at line ";
        EXPECT_EQ(prefix, e.GetMessage().substr(0, prefix.size())) << Utf8FromWide(e.GetMessage());
    }
    EXPECT_FALSE(font->IsFileSaved());
    DeleteFolderTree(folder, true);
}

// The real system through the platform font lookup: "Arial" comes back as its metric equivalent.
TEST(SwfFont, SystemFontThroughThePlatformLookup) {
    auto movie = CMovie::CreateEmpty();
    auto regular = Make(movie, L"Arial");
    if (!regular) GTEST_SKIP() << "no system font for Arial (fonts-liberation missing)";
    EXPECT_FALSE(regular->IsFallback());
    EXPECT_FALSE(regular->GetFamilyName().empty());
    EXPECT_TRUE(regular->HasChar(L'A'));
    EXPECT_TRUE(regular->HasChar(0x20AC));
    EXPECT_FALSE(regular->HasChar(0xF041));
    EXPECT_FALSE(regular->IsBold());
    // Arial's metrics: 'A' is 1366/2048 em wide.
    if (regular->GetLowerCaseFamilyName() == L"liberation sans") {
        EXPECT_NEAR(1366.0f / 2048.0f, regular->GetTextWidth(L"AA") / 2.0f, 0.01f);
    }

    auto bold = Make(movie, L"arial", 1, true);
    ASSERT_TRUE(bold);
    EXPECT_TRUE(bold->IsBold());
    EXPECT_FALSE(regular->IsSameFace(*bold));
    EXPECT_TRUE(regular->IsSameFace(*Make(movie, L"ARIAL")));
    EXPECT_GT(bold->GetTextWidth(L"Hello"), regular->GetTextWidth(L"Hello"));
    EXPECT_GT(regular->GetAscent(), 0.5f);
    EXPECT_LT(regular->GetDescent(), 0.0f);
}
