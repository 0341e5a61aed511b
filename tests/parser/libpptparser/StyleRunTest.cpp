// Paragraph and character runs, one mask bit at a time: each field is read with its width, and
// the run after it starts where it should.

#include <gtest/gtest.h>

#include <functional>

#include "RecordBytes.h"
#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptStyleTextPropAtom.h"

using namespace libpptparser;
using namespace testrec;

namespace {

constexpr uint32_t kTextLength = 10;

// A text box: text atom of ten characters, then the style atom.
std::shared_ptr<CPptStyleTextPropAtom> StyleAfterText(const Bytes& styleData, bool byteText = false) {
    const Bytes text = byteText ? Atom(kRecordTextBytesAtom, Bytes(kTextLength, 'a'))
                                : Atom(kRecordTextCharsAtom, Utf16(std::u16string(kTextLength, u'a')));
    const auto box = std::static_pointer_cast<CPptContainer>(
        Tree(Container(kRecordEscherClientTextbox,
                       {Atom(kRecordTextHeaderAtom, U32s({1})), text, Atom(kRecordStyleTextPropAtom, styleData)}))
            ->GetChild(0));
    return std::dynamic_pointer_cast<CPptStyleTextPropAtom>(box->GetChild(2));
}

Bytes ParagraphRun(uint32_t count, uint32_t mask, const Bytes& fields, uint16_t level = 0) {
    return Cat({U32s({count}), U16s({level}), U32s({mask}), fields});
}

Bytes CharacterRun(uint32_t count, uint32_t mask, const Bytes& fields) { return Cat({U32s({count, mask}), fields}); }

struct ParagraphCase {
    const char* field;
    uint32_t mask;
    Bytes fields;
    uint32_t size;
    std::function<uint32_t(const CPptParagraphStyle&)> get;
    uint32_t value;
};

struct CharacterCase {
    const char* field;
    uint32_t mask;
    Bytes fields;
    uint32_t size;
    std::function<uint32_t(const CPptCharacterStyle&)> get;
    uint32_t value;
};

}  // namespace

TEST(StyleRuns, ParagraphFieldPerMaskBit) {
    using P = CPptParagraphStyle;
    const std::vector<ParagraphCase> cases = {
        {"bullet flags (has bullet)", 0x1, U16s({0x0F}), 12, &P::GetBulletFlags, 0x0F},
        {"bullet flags (has colour)", 0x4, U16s({0x05}), 12, &P::GetBulletFlags, 0x05},
        {"bullet font", 0x10, U16s({3}), 12, &P::GetBulletFont, 3},
        {"bullet colour is 32-bit", 0x20, U32s({0xFE123456}), 14, &P::GetBulletColor, 0xFE123456},
        {"bullet size", 0x40, U16s({80}), 12, &P::GetBulletSize, 80},
        {"bullet character", 0x80, U16s({0x2022}), 12, &P::GetBulletChar, 0x2022},
        {"left margin", 0x100, U16s({576}), 12, &P::GetLeftMargin, 576},
        {"indent", 0x400, U16s({288}), 12, &P::GetIndent, 288},
        {"alignment", 0x800, U16s({2}), 12, &P::GetAlignment, 2},
        {"line spacing", 0x1000, U16s({100}), 12, &P::GetLineSpacing, 100},
        {"space before", 0x2000, U16s({20}), 12, &P::GetSpaceBefore, 20},
        {"space after", 0x4000, U16s({30}), 12, &P::GetSpaceAfter, 30},
        {"default tab size", 0x8000, U16s({144}), 12, &P::GetDefaultTabSize, 144},
        {"font alignment", 0x10000, U16s({1}), 12, &P::GetFontAlign, 1},
        {"wrap flags (character wrap)", 0x20000, U16s({1}), 12, &P::GetWrapFlags, 1},
        {"wrap flags (word wrap)", 0x40000, U16s({2}), 12, &P::GetWrapFlags, 2},
        {"wrap flags (overflow)", 0x80000, U16s({4}), 12, &P::GetWrapFlags, 4},
        {"tab stops", 0x100000, Cat({U16s({2}), U16s({100, 0, 200, 1})}), 20,
         [](const P& p) { return p.GetTabStops().size() == 2 ? uint32_t(p.GetTabStops()[1].position) : 0u; }, 200},
        {"text direction", 0x200000, U16s({1}), 12, &P::GetTextDirection, 1},
        {"bits without fields", 0x00000200 | 0x00400000, {}, 10, &P::GetAlignment, 0},
        {"every field", 0x003FFDFF,
         Cat({U16s({1, 0x2022, 2, 90}), U32s({0xFF}), U16s({1, 100, 0, 0, 10, 20, 30}), U16s({1, 50, 0}),
              U16s({3, 7, 9})}),
         10 + 2 * 4 + 4 + 2 * 7 + 6 + 2 * 3, &P::GetTextDirection, 9},
    };
    for (const ParagraphCase& c : cases) {
        SCOPED_TRACE(c.field);
        const auto style =
            StyleAfterText(Cat({ParagraphRun(3, c.mask, c.fields, 2), ParagraphRun(kTextLength - 2, 0, {}),
                                CharacterRun(kTextLength + 1, 0, {})}));
        ASSERT_TRUE(style);
        const auto& paragraphs = style->GetParagraphStyles();
        ASSERT_EQ(paragraphs.size(), 2u);
        EXPECT_EQ(paragraphs[0]->GetSize(), c.size);
        EXPECT_EQ(paragraphs[0]->GetMask(), c.mask);
        EXPECT_EQ(paragraphs[0]->GetIndentLevel(), 2u);
        EXPECT_EQ(c.get(*paragraphs[0]), c.value);
        // The next run is found where the first one really ends.
        EXPECT_EQ(paragraphs[1]->GetCharacterCount(), kTextLength - 2);
        EXPECT_EQ(paragraphs[1]->GetMask(), 0u);
        ASSERT_EQ(style->GetCharacterStyles().size(), 1u);
        EXPECT_EQ(style->GetCharacterStyles()[0]->GetCharacterCount(), kTextLength + 1);
    }
}

TEST(StyleRuns, CharacterFieldPerMaskBit) {
    using C = CPptCharacterStyle;
    const std::vector<CharacterCase> cases = {
        {"style flags (bold)", 0x1, U16s({1}), 10, &C::GetStyleFlags, 1},
        {"style flags (any low bit)", 0x8000, U16s({0x200}), 10, &C::GetStyleFlags, 0x200},
        {"font", 0x10000, U16s({4}), 10, &C::GetFont, 4},
        {"font size", 0x20000, U16s({24}), 10, &C::GetFontSize, 24},
        {"colour is 32-bit", 0x40000, U32s({0x08000002}), 12, &C::GetColor, 0x08000002},
        {"position", 0x80000, U16s({0xFFE2}), 10, &C::GetPosition, 0xFFE2},
        {"extension of 2002", 0x100000, U32s({0x5}), 12, &C::GetPp10Ext, 5},
        {"far-east font", 0x200000, U16s({5}), 10, &C::GetFarEastFont, 5},
        {"ANSI font", 0x400000, U16s({6}), 10, &C::GetAnsiFont, 6},
        {"symbol font", 0x800000, U16s({7}), 10, &C::GetSymbolFont, 7},
        {"new east-Asian font", 0x1000000, U16s({8}), 10, &C::GetNewEastAsianFont, 8},
        {"complex-script font", 0x2000000, U16s({9}), 10, &C::GetComplexScriptFont, 9},
        {"extension of 2003", 0x4000000, U32s({0x77}), 12, &C::GetPp11Ext, 0x77},
        {"style flags then colour", 0x00040001, Cat({U16s({1}), U32s({0xFF})}), 14, &C::GetColor, 0xFF},
        {"no fields", 0, {}, 8, &C::GetFont, 0},
        // Fonts come in the format's order: font, far-east, ANSI, symbol; then size and colour.
        {"fonts in order", 0x00E70000, Cat({U16s({1, 2, 3, 4, 18}), U32s({0xABC})}), 8 + 10 + 4, &C::GetSymbolFont, 4},
    };
    for (const CharacterCase& c : cases) {
        SCOPED_TRACE(c.field);
        const auto style = StyleAfterText(Cat({ParagraphRun(kTextLength + 1, 0, {}), CharacterRun(4, c.mask, c.fields),
                                               CharacterRun(kTextLength - 3, 0x20000, U16s({12}))}));
        ASSERT_TRUE(style);
        const auto& characters = style->GetCharacterStyles();
        ASSERT_EQ(characters.size(), 2u);
        EXPECT_EQ(characters[0]->GetSize(), c.size);
        EXPECT_EQ(c.get(*characters[0]), c.value);
        EXPECT_EQ(characters[1]->GetCharacterCount(), kTextLength - 3);
        EXPECT_EQ(characters[1]->GetFontSize(), 12u);
    }
}

TEST(StyleRuns, WhereRunsStartAndStop) {
    // One run of each covering the ten characters and the final mark.
    auto whole = StyleAfterText(Cat({ParagraphRun(11, 0xF, U16s({1})), CharacterRun(11, 0, {})}));
    EXPECT_EQ(whole->GetParagraphStyles().size(), 1u);
    EXPECT_EQ(whole->GetParagraphStyles()[0]->GetSize(), 12u);
    EXPECT_EQ(whole->GetCharacterStyles().size(), 1u);
    EXPECT_EQ(whole->GetCharacterStyles()[0]->GetSize(), 8u);  // a mask-0 run of exactly 8 bytes at the end

    // 8-bit text counts the same way.
    EXPECT_EQ(
        StyleAfterText(Cat({ParagraphRun(11, 0, {}), CharacterRun(11, 0, {})}), true)->GetCharacterStyles().size(), 1u);

    // Counts that never reach the text's length end when the data is used up.
    auto shortCounts = StyleAfterText(Cat({ParagraphRun(2, 0, {}), ParagraphRun(2, 0, {})}));
    EXPECT_EQ(shortCounts->GetParagraphStyles().size(), 2u);
    EXPECT_EQ(shortCounts->GetCharacterStyles().size(), 0u);

    // A run whose fields would end past the data is not read.
    auto cut = StyleAfterText(Cat({ParagraphRun(11, 0, {}), CharacterRun(11, 0x40000, U16s({1}))}));
    EXPECT_EQ(cut->GetParagraphStyles().size(), 1u);
    EXPECT_EQ(cut->GetCharacterStyles().size(), 0u);
    auto tabs = StyleAfterText(ParagraphRun(11, 0x100000, U16s({0xFFFF, 1, 2})));  // 65535 tab stops announced
    EXPECT_EQ(tabs->GetParagraphStyles().size(), 0u);

    // Huge counts do not wrap the running sum.
    auto huge = StyleAfterText(Cat({ParagraphRun(6, 0, {}), ParagraphRun(0xFFFFFFFF, 0, {}), CharacterRun(11, 0, {})}));
    EXPECT_EQ(huge->GetParagraphStyles().size(), 2u);
    EXPECT_EQ(huge->GetCharacterStyles().size(), 1u);
}

TEST(StyleRuns, NoTextAtomBeforeMeansNoRuns) {
    const Bytes runs = Cat({ParagraphRun(11, 0, {}), CharacterRun(11, 0, {})});
    // First child of its container.
    const auto first = std::static_pointer_cast<CPptContainer>(
        Tree(Container(kRecordEscherClientTextbox, {Atom(kRecordStyleTextPropAtom, runs)}))->GetChild(0));
    const auto a = std::dynamic_pointer_cast<CPptStyleTextPropAtom>(first->GetChild(0));
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->GetParagraphStyles().empty());
    EXPECT_TRUE(a->GetCharacterStyles().empty());
    // Straight after the text header.
    const auto afterHeader = std::static_pointer_cast<CPptContainer>(
        Tree(Container(kRecordEscherClientTextbox,
                       {Atom(kRecordTextHeaderAtom, U32s({1})), Atom(kRecordStyleTextPropAtom, runs)}))
            ->GetChild(0));
    const auto b = std::dynamic_pointer_cast<CPptStyleTextPropAtom>(afterHeader->GetChild(1));
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->GetParagraphStyles().empty());
    // At the top level, with no container of its own.
    const auto top =
        std::dynamic_pointer_cast<CPptStyleTextPropAtom>(Tree(Atom(kRecordStyleTextPropAtom, runs))->GetChild(0));
    ASSERT_TRUE(top);
    EXPECT_TRUE(top->GetCharacterStyles().empty());
}
