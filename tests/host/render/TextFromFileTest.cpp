// Text as the loader hands it to the layout: text that shrinks to fit its frame, and a run whose
// colour the file leaves undefined.

#include "CfbBuilder.h"
#include "DeckBuilder.h"
#include "fonts/layout/TextLayout.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace PowerPoint::Loader;
using namespace testdeck;
using testrec::Atom;
using testrec::Bytes;
using testrec::Cat;
using testrec::U16s;
using testrec::U32s;

namespace {

const CHostShape& LoadOne(const Deck& deck) {
    static LoadResult r;
    r = LoadPresentationFromMemory(deck.SavedFile(), L"deck.ppt");
    if (r.document->Slides().empty() || r.document->Slides()[0]->shapes.empty()) throw std::runtime_error("no shape");
    return *r.document->Slides()[0]->shapes.front();
}

// A text box one inch wide and half an inch tall.
Deck OneTextBox(const std::u16string& text, const std::vector<std::pair<uint16_t, uint32_t>>& props,
                std::initializer_list<Bytes> textRecords = {}) {
    Deck deck;
    deck.slides.push_back(Slide(
        {SpShape(202, 1025, 0xA00, {Opt(props), ClientAnchor(576, 576, 1152, 864), TextBox(4, text, textRecords)})}));
    return deck;
}

// How far the shape's laid-out lines reach down.
float TextHeight(const CHostShape& shape) {
    fonts::layout::TextLayoutInput in;
    std::vector<fonts::layout::RunStyle> styles;
    for (const FontData& f : shape.data.text.charFonts) {
        fonts::layout::RunStyle s;
        s.fontName = f.name;
        s.size = f.size;
        styles.push_back(s);
    }
    fonts::layout::Frame frame;
    frame.left = shape.data.left;
    frame.top = shape.data.top;
    frame.width = shape.data.width;
    frame.height = shape.data.height;
    std::vector<fonts::layout::ParagraphFormat> formats;
    for (const ParagraphData& p : shape.data.text.paragraphs) {
        fonts::layout::ParagraphFormat f;
        f.spaceWithin = p.spaceWithin;
        formats.push_back(f);
    }
    fonts::layout::CTextLayout layout;
    layout.SetInput(fonts::layout::TextLayoutInput::FromCharacters(shape.data.text.text, styles, formats, frame));
    const auto& lines = layout.Lines();
    return lines.empty() ? 0.0f : lines.back().bounds.top + lines.back().bounds.height - lines.front().bounds.top;
}

}  // namespace

TEST(TextFromFile, TextThatShrinksToFitIsLaidOutAtTheSizeShown) {
    const std::u16string longText = u"one two three four five six seven eight nine ten";
    const uint32_t fitText = 0x10001;  // the use bit and the flag of fitting text to the shape
    struct Case {
        const char* what;
        std::u16string text;
        std::vector<std::pair<uint16_t, uint32_t>> props;
        bool shrunk;   // smaller than the 18 points the text has
        float size;    // 0: any size that lets the text fit
        float within;  // line spacing as stored afterwards
    } cases[] = {
        {"the scale the file kept", u"short", {{0xBF, fitText}, {0x86, 0x8000}}, true, 9.0f, 1.0f},
        {"a scale found for overflowing text", longText, {{0xBF, fitText}}, true, 0.0f, 0.8f},
        {"text that fits stays as it is", u"short", {{0xBF, fitText}}, false, 18.0f, 1.0f},
        {"overflowing text without the flag", longText, {}, false, 18.0f, 1.0f},
        {"the flag's use bit unset", longText, {{0xBF, 0x1}}, false, 18.0f, 1.0f},
        {"a scale of 1 or more is none", u"short", {{0xBF, fitText}, {0x86, 0x10000}}, false, 18.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CHostShape& shape = LoadOne(OneTextBox(c.text, c.props));
        const TextData& t = shape.data.text;
        ASSERT_FALSE(t.charFonts.empty());
        for (const FontData& f : t.charFonts) {
            if (c.size > 0)
                EXPECT_FLOAT_EQ(f.size, c.size);
            else
                EXPECT_LT(f.size, 18.0f);
        }
        ASSERT_FALSE(t.paragraphs.empty());
        EXPECT_NEAR(t.paragraphs[0].spaceWithin, c.within, 1e-5);
        const float room = shape.data.height - t.marginTop - t.marginBottom;
        if (c.shrunk) {
            EXPECT_LE(TextHeight(shape), room);
        } else if (c.text == longText) {
            EXPECT_GT(TextHeight(shape), room);  // the case shows overflowing text
        }
    }
}

TEST(TextFromFile, AnUndefinedRunColourTakesTheInheritedOne) {
    // The master's style of other text is red; the run's own colour has the index of "undefined".
    Deck deck =
        OneTextBox(u"Hello", {}, {StyleRuns({ParagraphRun(6, 0, 0)}, {CharacterRun(6, 0x40000, U32s({0xFFFFFFFF}))})});
    deck.masterRecords.push_back(Atom(4003, Cat({U16s({1}), U32s({0}), U32s({0x40000}), U32s({0xFE0000FF})}), 4));
    const TextData& t = LoadOne(deck).data.text;
    ASSERT_EQ(t.charFonts.size(), 5u);
    for (const FontData& f : t.charFonts) EXPECT_EQ(f.color.rgb, 0x0000FFu);

    // A defined colour of the run still wins.
    Deck own =
        OneTextBox(u"Hello", {}, {StyleRuns({ParagraphRun(6, 0, 0)}, {CharacterRun(6, 0x40000, U32s({0xFE00FF00}))})});
    own.masterRecords = deck.masterRecords;
    EXPECT_EQ(LoadOne(own).data.text.charFonts[0].color.rgb, 0x00FF00u);
}
