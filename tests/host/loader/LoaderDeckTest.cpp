// The loader over small files written here: the edit chain, group geometry, drawing properties,
// text resolved through the master, fields and links, and damaged records.

#include "CfbBuilder.h"
#include "DeckBuilder.h"
#include "libpptparser/RecordTypes.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace PowerPoint::Loader;
using namespace testdeck;
using testrec::Atom;
using testrec::Bytes;
using testrec::Cat;
using testrec::Container;
using testrec::U16s;
using testrec::U32s;

namespace {

LoadResult LoadStream(const Bytes& stream, uint32_t edit) {
    const Bytes user = CurrentUser(edit);
    return LoadPresentationFromMemory(File(stream, &user), L"deck.ppt");
}

LoadResult LoadDeck(const Deck& deck) {
    uint32_t edit = 0;
    const Bytes stream = deck.Stream(edit);
    return LoadStream(stream, edit);
}

Bytes TextShape(uint32_t id, const std::u16string& text, std::initializer_list<Bytes> rest = {}) {
    return SpShape(202, id, 0xA00, {ClientAnchor(576, 576, 1152, 864), TextBox(4, text, rest)});
}

const CHostShape& OnlyShape(const LoadResult& r, size_t slide = 0) {
    const auto& slides = r.document->Slides();
    if (slide >= slides.size() || slides[slide]->shapes.empty()) throw std::runtime_error("no shape");
    return *slides[slide]->shapes.front();
}

bool HasWarning(const LoadResult& r, const std::wstring& part) {
    for (const std::wstring& w : r.warnings)
        if (w.find(part) != std::wstring::npos) return true;
    return false;
}

}  // namespace

TEST(LoaderEditChain, TheLatestSaveWinsAndOlderEditsFillTheRest) {
    Deck deck;
    deck.slides.push_back(Slide({TextShape(1025, u"old")}));
    deck.slides.push_back(Slide({TextShape(2049, u"second")}, 257));
    uint32_t first = 0;
    Bytes stream = deck.Stream(first);
    Deck changed = deck;
    changed.slides[0].shapes = {TextShape(1025, u"new")};
    const uint32_t second = AppendEdit(stream, first, 3, changed.SlideRecord(0));

    const LoadResult latest = LoadStream(stream, second);
    ASSERT_EQ(latest.document->Slides().size(), 2u);
    EXPECT_TRUE(latest.usedEditChain);
    EXPECT_EQ(OnlyShape(latest, 0).data.text.text, L"new");
    EXPECT_EQ(OnlyShape(latest, 1).data.text.text, L"second");  // only in the older edit's directory

    // The current-user record decides, not the order of the stream.
    EXPECT_EQ(OnlyShape(LoadStream(stream, first), 0).data.text.text, L"old");

    // Without the current-user stream the stream is walked; the file still loads.
    const LoadResult linear = LoadPresentationFromMemory(File(stream, nullptr), L"deck.ppt");
    EXPECT_FALSE(linear.usedEditChain);
    ASSERT_EQ(linear.document->Slides().size(), 2u);
    EXPECT_EQ(OnlyShape(linear, 0).data.text.text, L"new");
    EXPECT_TRUE(HasWarning(linear, L"Current User"));
}

TEST(LoaderEditChain, ACyclicOrBrokenChainEndsWithAWarning) {
    Deck deck;
    deck.slides.push_back(Slide({TextShape(1025, u"old")}));
    uint32_t first = 0;
    Bytes stream = deck.Stream(first);
    Deck changed = deck;
    changed.slides[0].shapes = {TextShape(1025, u"new")};
    const uint32_t second = AppendEdit(stream, first, 3, changed.SlideRecord(0));

    struct Case {
        const char* name;
        uint32_t previous;  // the newest edit's link to the one before
    } cases[] = {{"points at itself", second}, {"points outside the stream", 0x7FFFFFF0u}, {"points into a record", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = stream;
        testcfb::PutU32(damaged, second + 8 + 8, c.previous);
        const LoadResult r = LoadStream(damaged, second);
        // The document and master come from the older edit, which is now out of reach: the
        // directories are read in stream order instead, later ones over earlier ones.
        EXPECT_FALSE(r.usedEditChain);
        ASSERT_EQ(r.document->Slides().size(), 1u);
        EXPECT_EQ(OnlyShape(r).data.text.text, L"new");
    }

    // A current-user record that points nowhere falls back to the walk as well.
    const LoadResult r = LoadStream(stream, 3);
    EXPECT_FALSE(r.usedEditChain);
    ASSERT_EQ(r.document->Slides().size(), 1u);
    EXPECT_EQ(OnlyShape(r).data.text.text, L"new");
}

TEST(LoaderEditChain, ASlideMissingFromThePersistDirectoryIsLeftOutWithAWarning) {
    Deck deck;
    deck.slides.push_back(Slide({TextShape(1025, u"one")}));
    deck.slides.push_back(Slide({TextShape(2049, u"two")}, 257));
    uint32_t edit = 0;
    Bytes stream = deck.Stream(edit);
    // The directory's offsets: document, master, slide 1, slide 2.
    const uint32_t dirAt = testcfb::GetU32(stream, edit + 8 + 12);
    testcfb::PutU32(stream, dirAt + 8 + 4 + 3 * 4, 0x00FFFFFF);
    const LoadResult r = LoadStream(stream, edit);
    ASSERT_EQ(r.document->Slides().size(), 1u);
    EXPECT_EQ(r.document->Slides()[0]->slideId, 256);
    EXPECT_TRUE(HasWarning(r, L"slide 257"));
}

TEST(LoaderShapes, GroupsAreFlattenedIntoSlideCoordinates) {
    // Group space 0..1000 shown at 100..200 points; an inner group halves it again.
    Deck deck;
    deck.slides.push_back(Slide({Group(1030, 0, 0, 1000, 1000, ClientAnchor(800, 800, 1600, 1600),
                                       {SpShape(1, 1031, 0xA02, {ChildAnchor(500, 0, 1000, 500)}),
                                        Group(1032, 0, 0, 100, 100, ChildAnchor(0, 500, 500, 1000),
                                              {SpShape(3, 1033, 0xA02, {ChildAnchor(50, 50, 100, 100)})})})}));
    const LoadResult r = LoadDeck(deck);
    const auto& shapes = r.document->Slides()[0]->shapes;
    ASSERT_EQ(shapes.size(), 2u);
    struct Box {
        float left, top, width, height;
    } expected[] = {{150, 100, 50, 50}, {125, 175, 25, 25}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(shapes[i]->data.left, expected[i].left) << i;
        EXPECT_FLOAT_EQ(shapes[i]->data.top, expected[i].top) << i;
        EXPECT_FLOAT_EQ(shapes[i]->data.width, expected[i].width) << i;
        EXPECT_FLOAT_EQ(shapes[i]->data.height, expected[i].height) << i;
    }
    EXPECT_EQ(shapes[1]->data.autoShapeType, msoShapeOval);
    EXPECT_EQ(shapes[1]->data.id, 1033);
}

TEST(LoaderShapes, AGroupsTurnFlipsAndScaleReachItsChildren) {
    // Group space 0..1000 shown at 100..200 points, turned a quarter and mirrored left to right.
    // Turned first and mirrored after, the top-left strip of the group stays at the top-left,
    // now standing upright: the child keeps the group's turn and flip.
    Deck deck;
    const Bytes turned = Opt({{0x0004, 90u << 16}});
    deck.slides.push_back(
        Slide({Group(1030, 0, 0, 1000, 1000, ClientAnchor(800, 800, 1600, 1600),
                     {SpShape(6, 1031, 0xA02, {ChildAnchor(0, 0, 500, 250)}),
                      SpShape(6, 1032, 0xA42, {Opt({{0x0004, 30u << 16}}), ChildAnchor(0, 0, 500, 250)})},
                     0x241, turned)}));
    const LoadResult r = LoadDeck(deck);
    const auto& shapes = r.document->Slides()[0]->shapes;
    ASSERT_EQ(shapes.size(), 2u);
    const ShapeData& d = shapes[0]->data;
    EXPECT_FLOAT_EQ(d.left, 87.5f);
    EXPECT_FLOAT_EQ(d.top, 112.5f);
    EXPECT_FLOAT_EQ(d.width, 50.0f);
    EXPECT_FLOAT_EQ(d.height, 25.0f);
    EXPECT_FLOAT_EQ(d.rotation, 90.0f);
    EXPECT_EQ(d.horizontalFlip, msoTrue);
    EXPECT_EQ(d.verticalFlip, msoFalse);
    // A child mirrored itself takes the group's turn the other way; the two mirrors cancel.
    const ShapeData& m = shapes[1]->data;
    EXPECT_FLOAT_EQ(m.rotation, 300.0f);
    EXPECT_EQ(m.horizontalFlip, msoFalse);
    EXPECT_EQ(m.autoShapeType, msoShapeRightTriangle);
}

TEST(LoaderShapes, FreeformsGradientsShadowsAndLineStylesAreRead) {
    // Vertices as 16-bit pairs, segments, and one guide; a shaded fill with its colours; a shadow.
    const Bytes vertices = {3, 0, 3, 0, 0xF0, 0xFF, 0, 0, 0, 0, 100, 0, 0, 0, 50, 0, 100, 0};
    const Bytes segments = {4, 0, 4, 0, 2, 0, 0x00, 0x40, 0x02, 0x00, 0x01, 0x60, 0x00, 0x80};
    const Bytes guides = {1, 0, 1, 0, 8, 0, 0x01, 0x20, 0x42, 0x01, 1, 0, 2, 0};
    Bytes complex = vertices;
    complex.insert(complex.end(), segments.begin(), segments.end());
    complex.insert(complex.end(), guides.begin(), guides.end());
    Deck d2;
    d2.slides.push_back(Slide({SpShape(0, 1025, 0xA00,
                                       {Opt({{0x0142, 100},
                                             {0x0143, 100},
                                             {0x8145, static_cast<uint32_t>(vertices.size())},
                                             {0x8146, static_cast<uint32_t>(segments.size())},
                                             {0x8156, static_cast<uint32_t>(guides.size())},
                                             {0x0180, 7},           // shaded
                                             {0x0181, 0x00FF0000},  // blue
                                             {0x0183, 0x100101F0},  // the fill colour darkened to 1/255
                                             {0x018B, 90u << 16},   // across
                                             {0x018C, 50},          // back colour in the middle
                                             {0x01CD, 1},           // double line
                                             {0x01D1, 1},           // triangle at the end
                                             {0x023F, 0x00020002},  // shadow on
                                             {0x0205, 38100}},      // 3 points to the right
                                            complex),
                                        ClientAnchor(0, 0, 800, 800)})}));
    const LoadResult r = LoadDeck(d2);
    const ShapeData& d = OnlyShape(r).data;
    EXPECT_EQ(d.type, msoFreeform);
    EXPECT_EQ(d.geometry.vertices, (std::vector<std::int32_t>{0, 0, 100, 0, 50, 100}));
    EXPECT_EQ(d.geometry.segments, (std::vector<std::uint16_t>{0x4000, 0x0002, 0x6001, 0x8000}));
    ASSERT_EQ(d.geometry.guides.size(), 4u);
    EXPECT_EQ(d.geometry.guides[1], 0x0142);
    EXPECT_FLOAT_EQ(d.geometry.geoRight, 100.0f);
    EXPECT_EQ(d.fill.type, msoFillGradient);
    EXPECT_FLOAT_EQ(d.fill.gradientAngle, 0.0f);
    ASSERT_EQ(d.fill.gradientStops.size(), 4u);
    EXPECT_EQ(d.fill.gradientStops[0].color.rgb, 0xFF0000u);
    EXPECT_FLOAT_EQ(d.fill.gradientStops[1].position, 0.5f);
    EXPECT_EQ(d.fill.gradientStops[1].color.rgb, 0x010000u);  // derived, not white
    EXPECT_EQ(d.line.compound, 1);
    EXPECT_EQ(d.line.endArrowheadStyle, 2);
    EXPECT_EQ(d.shadow.visible, msoTrue);
    EXPECT_FLOAT_EQ(d.shadow.offsetX, 3.0f);
    EXPECT_FLOAT_EQ(d.shadow.offsetY, 2.0f);
}

TEST(LoaderShapes, GeometryAndDrawingPropertiesBecomeHostValues) {
    Deck deck;
    // Rotated a quarter turn: the stored box is the rotated one, so width and height swap.
    deck.slides.push_back(Slide(
        {SpShape(1, 1025, 0xAC0,
                 {Opt({{0x0004, 90u << 16},
                       {0x0147, 5400},
                       {0x0181, 0x08000004},  // fill: scheme colour 4
                       {0x0182, 0x8000},      // half opaque
                       {0x01C0, 0x000000FF},
                       {0x01CB, 25400},
                       {0x01CE, 1},
                       {0x03BF, 0x00020002}}),  // hidden
                  ClientAnchor(0, 0, 800, 400)}),
         SpShape(1, 1026, 0xA00, {Opt({{0x01BF, 0x00100000}, {0x01FF, 0x00080000}}), ClientAnchor(0, 0, 80, 80)})}));
    const LoadResult r = LoadDeck(deck);
    const auto& shapes = r.document->Slides()[0]->shapes;
    ASSERT_EQ(shapes.size(), 2u);
    const ShapeData& d = shapes[0]->data;
    EXPECT_FLOAT_EQ(d.rotation, 90.0f);
    EXPECT_FLOAT_EQ(d.width, 50.0f);
    EXPECT_FLOAT_EQ(d.height, 100.0f);
    EXPECT_FLOAT_EQ(d.left, 25.0f);
    EXPECT_FLOAT_EQ(d.top, -25.0f);
    EXPECT_EQ(d.horizontalFlip, msoTrue);
    EXPECT_EQ(d.verticalFlip, msoTrue);
    ASSERT_EQ(d.adjustments.size(), 1u);
    EXPECT_FLOAT_EQ(d.adjustments[0], 0.25f);
    EXPECT_EQ(d.fill.foreColor.scheme, ppFill);
    EXPECT_EQ(d.fill.foreColor.rgb, 0xBBE0E3u);
    EXPECT_NEAR(d.fill.transparency, 0.5f, 1e-4);
    EXPECT_EQ(d.line.foreColor.rgb, 0x0000FFu);
    EXPECT_FLOAT_EQ(d.line.weight, 2.0f);
    EXPECT_EQ(d.line.dashStyle, msoLineDash);
    EXPECT_EQ(d.visible, msoFalse);
    // Fill and line switched off by their boolean properties.
    EXPECT_EQ(shapes[1]->data.fill.visible, msoFalse);
    EXPECT_EQ(shapes[1]->data.line.visible, msoFalse);
    EXPECT_EQ(shapes[1]->data.visible, msoTrue);
}

TEST(LoaderSheets, BackgroundsFollowTheMasterOrAreTheSlidesOwn) {
    Deck deck;
    deck.masterBackground = Opt({{0x0181, 0xFF0000}});  // blue (0x00BBGGRR)
    Slide follows({}, 256);
    follows.background = Opt({{0x0181, 0x00FF00}});  // ignored: the slide follows its master
    Slide own({}, 257);
    own.flags = 0x3;
    own.background = Opt({{0x0181, 0x0000FF}});
    Slide damaged({}, 258);  // says it has a background of its own, but holds none
    damaged.flags = 0x3;
    deck.slides = {follows, own, damaged};
    const LoadResult r = LoadDeck(deck);
    EXPECT_EQ(r.document->Master()->background.fill.foreColor.rgb, 0xFF0000u);
    const auto& slides = r.document->Slides();
    ASSERT_EQ(slides.size(), 3u);
    struct Expect {
        MsoTriState follows;
        ULONG color;
    } expected[] = {{msoTrue, 0xFF0000}, {msoFalse, 0x0000FF}, {msoFalse, 0xFF0000}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(slides[i]->followMasterBackground, expected[i].follows);
        EXPECT_EQ(slides[i]->background.fill.type, msoFillSolid);
        EXPECT_EQ(slides[i]->background.fill.foreColor.rgb, expected[i].color);
    }
}

TEST(LoaderSheets, PlaceholdersTellWhichKindTheyAre) {
    // The file's placeholder ids and the object model's types for them.
    const std::pair<uint8_t, LONG> kinds[] = {
        {1, 1},   {2, 2},   {7, 16},  {8, 13},  {9, 15}, {10, 14}, {13, 1},  {14, 2},
        {15, 3},  {16, 4},  {17, 5},  {18, 6},  {19, 7}, {20, 8},  {21, 12}, {22, 9},
        {23, 11}, {24, 10}, {25, 17}, {26, 18}, {5, 0},  {27, 0},  {255, 0},
    };
    Deck deck;
    std::vector<Bytes> shapes;
    uint32_t id = 1025;
    for (const auto& kind : kinds)
        shapes.push_back(SpShape(1, id++, 0xA00, {ClientAnchor(0, 0, 80, 80), ClientData({Placeholder(kind.first)})}));
    shapes.push_back(SpShape(1, id++, 0xA00, {ClientAnchor(0, 0, 80, 80)}));
    deck.slides.push_back(Slide(shapes));
    const LoadResult r = LoadDeck(deck);
    const auto& loaded = r.document->Slides().at(0)->shapes;
    ASSERT_EQ(loaded.size(), std::size(kinds) + 1);
    for (size_t i = 0; i < std::size(kinds); ++i) {
        EXPECT_EQ(loaded[i]->data.type, msoPlaceholder) << int(kinds[i].first);
        EXPECT_EQ(loaded[i]->data.placeholderType, kinds[i].second) << int(kinds[i].first);
    }
    EXPECT_EQ(loaded.back()->data.type, msoAutoShape);
    EXPECT_EQ(loaded.back()->data.placeholderType, 0);
}

TEST(LoaderText, FormatsResolveThroughTheMasterStylesAndTheDefaults) {
    Deck deck;
    // Body text: level 1 is 32 points, level 2 is 28 points and bold, bullets on level 1.
    deck.masterRecords.push_back(Atom(4003,
                                      Cat({U16s({2}), U32s({0x1}), U16s({1}), U32s({0x20000}), U16s({32}), U32s({0}),
                                           U32s({0x20001}), U16s({1, 28})}),
                                      1));
    const Bytes style = StyleRuns({ParagraphRun(6, 0, 0), ParagraphRun(3, 1, 0)},
                                  {CharacterRun(2, 0), CharacterRun(3, 0x10002, U16s({2, 1})), CharacterRun(4, 0)});
    deck.slides.push_back(Slide(
        {SpShape(1, 1025, 0xA00,
                 {ClientAnchor(0, 0, 800, 800), ClientData({Placeholder(14)}), TextBox(1, u"Hello\rAB", {style})})}));
    const LoadResult r = LoadDeck(deck);
    const TextData& t = OnlyShape(r).data.text;
    ASSERT_EQ(t.text, L"Hello\rAB");
    ASSERT_EQ(t.paragraphs.size(), 2u);
    EXPECT_EQ(t.paragraphs[0].indentLevel, 1);
    EXPECT_EQ(t.paragraphs[1].indentLevel, 2);
    EXPECT_EQ(t.paragraphs[0].bullet.visible, msoTrue);
    EXPECT_EQ(t.paragraphs[0].bullet.type, ppBulletUnnumbered);
    EXPECT_EQ(t.paragraphs[1].bullet.visible, msoTrue);  // inherited from level 1
    EXPECT_FLOAT_EQ(t.charFonts[0].size, 32.0f);
    EXPECT_EQ(t.charFonts[0].name, L"Arial");
    EXPECT_EQ(t.charFonts[0].italic, msoFalse);
    EXPECT_EQ(t.charFonts[2].name, L"Courier New");  // the run's own font
    EXPECT_EQ(t.charFonts[2].italic, msoTrue);
    EXPECT_EQ(t.charFonts[5].italic, msoFalse);  // the paragraph mark ends that run
    EXPECT_FLOAT_EQ(t.charFonts[6].size, 28.0f);
    EXPECT_EQ(t.charFonts[6].bold, msoTrue);
    EXPECT_EQ(t.charFonts[0].bold, msoFalse);
    EXPECT_EQ(t.charFonts[0].color.scheme, ppForeground);
}

TEST(LoaderText, FieldsAreExpandedAndLinksFollowThem) {
    Deck deck;
    const Bytes link =
        Container(4055, {Atom(4051, U32s({7})), CString(0, u"Example"), CString(1, u"http://example.org/")});
    deck.documentRecords.push_back(Container(1033, {Atom(1034, U32s({7})), link}));
    const Bytes action = Container(4082, {Atom(4083, Cat({U32s({0, 7}), Bytes{4, 0, 0, 0, 8, 0, 0, 0}}))});
    const Bytes range = Atom(4063, U32s({8, 12}));
    auto slide = [&](uint32_t id) {
        return Slide({TextShape(id, u"Page * of link", {Atom(4056, U32s({5})), action, range})}, id);
    };
    deck.slides = {slide(256), slide(257)};
    deck.slides[1].shapes = {TextShape(2049, u"Page * of link", {Atom(4056, U32s({5})), action, range})};
    deck.slides.push_back(slide(258));
    for (int i = 0; i < 8; ++i)  // the tenth slide's number is two characters long
        deck.slides.push_back(slide(259 + static_cast<uint32_t>(i)));
    const LoadResult r = LoadDeck(deck);
    ASSERT_EQ(r.document->Slides().size(), 11u);
    const TextData& first = OnlyShape(r, 0).data.text;
    EXPECT_EQ(first.text, L"Page 1 of link");
    const TextData& tenth = OnlyShape(r, 9).data.text;
    EXPECT_EQ(tenth.text, L"Page 10 of link");
    ASSERT_EQ(tenth.links.size(), 1u);
    EXPECT_EQ(tenth.links[0].start, 9);  // moved on by the longer number
    EXPECT_EQ(tenth.links[0].length, 4);
    EXPECT_EQ(tenth.links[0].click.action, ppActionHyperlink);
    EXPECT_EQ(tenth.links[0].click.hyperlink.address, L"http://example.org/");
    EXPECT_EQ(tenth.charFonts.size(), tenth.text.size());
}

TEST(LoaderBadRecords, DamagedRecordsAreSkippedAndTheRestLoads) {
    struct Case {
        const char* name;
        Bytes shape;
    } cases[] = {
        // A property table that claims more properties than its record holds.
        {"property table too short", SpShape(1, 1025, 0xA00,
                                             {testrec::Record(3, 50, libpptparser::kRecordEscherOPT, U32s({0x181, 0})),
                                              ClientAnchor(0, 0, 80, 80)})},
        // Style runs that run past their atom, and a run of zero characters.
        {"style runs cut short", TextShape(1025, u"abc", {Atom(4001, U32s({4, 0x20000}))})},
        {"style run of no characters", TextShape(1025, u"abc", {StyleRuns({ParagraphRun(0, 0, 0)}, {})})},
        // A picture and a link that the file does not hold.
        {"picture missing", SpShape(75, 1025, 0xA00, {Opt({{0x4104, 9}}), ClientAnchor(0, 0, 80, 80)})},
        {"link missing", SpShape(1, 1025, 0xA00,
                                 {ClientAnchor(0, 0, 80, 80),
                                  ClientData({Container(4082, {Atom(4083, Cat({U32s({0, 99}), Bytes(8, 0)}))})})})},
        // A shape without its shape atom, and one without an anchor.
        {"shape atom missing", Container(libpptparser::kRecordEscherSpContainer, {ClientAnchor(0, 0, 80, 80)})},
        {"anchor missing", SpShape(1, 1025, 0xA00, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deck deck;
        deck.slides.push_back(Slide({c.shape, TextShape(2000, u"after")}));
        const LoadResult r = LoadDeck(deck);
        ASSERT_EQ(r.document->Slides().size(), 1u);
        const auto& shapes = r.document->Slides()[0]->shapes;
        ASSERT_FALSE(shapes.empty());
        EXPECT_EQ(shapes.back()->data.text.text, L"after");
        for (const CHostShape* s : shapes) EXPECT_EQ(s->data.text.charFonts.size(), s->data.text.text.size());
    }
}

TEST(LoaderAnimation, TheTimelineWinsOverOlderSettingsWhichBuildOneOtherwise) {
    // Older settings: fly from the left, on click, by first-level paragraphs, dim after.
    const Bytes info =
        Container(4116, {Atom(4081, Cat({U32s({0xFE0000FF, 0, 0, 0}), U16s({1, 1}), Bytes{2, 12, 0, 1, 0, 0, 0, 0}}))});
    auto animated = [&](uint32_t id) {
        return SpShape(1, id, 0xA00,
                       {ClientAnchor(0, 0, 800, 800), ClientData({info}), TextBox(4, u"one\rtwo\rthree")});
    };
    // A timeline whose main sequence fades the shape out on click.
    auto variant = [](uint16_t id, int32_t value) {
        return Atom(0xF142, Cat({Bytes{1}, U32s({static_cast<uint32_t>(value)})}), id);
    };
    const Bytes effect = Container(0xF144, {Container(0xF13D, {variant(0x14, 1), variant(0x09, 10), variant(0x0B, 2)}),
                                            Container(0xF13C, {Atom(11003, U32s({0, 1, 2049, 0, 0}))})});
    const Bytes main = Container(0xF144, {Container(0xF13D, {variant(0x14, 4)}), effect});
    const Bytes tags =
        Container(5000, {Container(5002, {CString(0, u"___PPT10"), Container(5003, {Container(0xF144, {main})})})});
    Deck deck;
    deck.slides.push_back(Slide({animated(1025)}, 256));
    deck.slides.push_back(Slide({animated(2049)}, 257));
    deck.slides[1].records.push_back(tags);
    const LoadResult r = LoadDeck(deck);
    ASSERT_EQ(r.document->Slides().size(), 2u);

    const AnimationData& a = OnlyShape(r, 0).data.animation;
    EXPECT_EQ(a.animate, msoTrue);
    EXPECT_EQ(a.entryEffect, 3329);  // fly from the left
    EXPECT_EQ(a.afterEffect, ppAfterEffectDim);
    EXPECT_EQ(a.dimColor.rgb, 0x0000FFu);
    EXPECT_EQ(a.textLevelEffect, ppAnimateByFirstLevel);
    const auto& built = r.document->Slides()[0]->effects;
    ASSERT_EQ(built.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(built[i]->data.effectType, msoAnimEffectFly);
        EXPECT_EQ(built[i]->data.direction, msoAnimDirectionLeft);
        EXPECT_EQ(built[i]->data.paragraph, static_cast<LONG>(i + 1));
        EXPECT_EQ(built[i]->data.triggerType, msoAnimTriggerOnPageClick);
    }

    const auto& own = r.document->Slides()[1]->effects;
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0]->data.effectType, msoAnimEffectFade);
    EXPECT_EQ(own[0]->data.exit, msoTrue);
    EXPECT_EQ(own[0]->data.shape, r.document->Slides()[1]->shapes[0]);
}

TEST(LoaderPictures, TheBlipStoreFindsPicturesInTheStreamAndCopiesStayBounded) {
    // One picture of 100 000 bytes in the "Pictures" stream, shown by ten shapes.
    Bytes png(100000, 0x42);
    png[0] = 0x89;
    png[1] = 'P';
    const Bytes blip =
        testrec::Record(0, 0x6E0, libpptparser::kRecordEscherBlipPng, Cat({Bytes(16, 0), Bytes{0xFF}, png}));
    Bytes entry = {6, 6};
    entry.resize(18, 0);
    entry = Cat({entry, U16s({0xFF}), U32s({static_cast<uint32_t>(blip.size()), 10, 0}), Bytes{0, 0, 0, 0}});
    const Bytes store = testrec::Record(0xF, 1, libpptparser::kRecordEscherBStoreContainer,
                                        testrec::Record(2, 6, libpptparser::kRecordEscherBSE, entry));
    Deck deck;
    deck.documentRecords.push_back(
        Container(libpptparser::kRecordPPDrawingGroup, {Container(libpptparser::kRecordEscherDggContainer, {store})}));
    std::vector<Bytes> shapes;
    for (uint32_t i = 0; i < 10; ++i)
        shapes.push_back(SpShape(75, 1025 + i, 0xA00, {Opt({{0x4104, 1}}), ClientAnchor(0, 0, 80, 80)}));
    deck.slides.push_back(Slide(shapes));
    const Bytes file = deck.SavedFile({{"Pictures", blip}});

    LoadOptions options;
    options.maxCopiedBytes = 350000;
    const LoadResult r = LoadPresentationFromMemory(file, L"pictures.ppt", options);
    const auto& loaded = r.document->Slides()[0]->shapes;
    ASSERT_EQ(loaded.size(), 10u);
    size_t withPicture = 0;
    for (const CHostShape* s : loaded) {
        EXPECT_EQ(s->data.type, msoPicture);
        if (!s->data.picture.imageBytes.empty()) {
            ++withPicture;
            EXPECT_EQ(s->data.picture.imageBytes, png);
        }
    }
    EXPECT_EQ(withPicture, 3u);
    EXPECT_TRUE(HasWarning(r, L"copies were left out"));

    // Without a limit in reach every shape has its picture.
    const LoadResult all = LoadPresentationFromMemory(file, L"pictures.ppt");
    for (const CHostShape* s : all.document->Slides()[0]->shapes)
        EXPECT_EQ(s->data.picture.imageBytes.size(), png.size());
}

TEST(LoaderPictures, ColourModeBrightnessContrastAndTransparentColourAsStored) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint16_t, uint32_t>> props;
        MsoPictureColorType colorType;
        float brightness, contrast;
        bool transparent;
        ULONG transparentColor;
    };
    const Case cases[] = {
        {"nothing stored", {}, msoPictureAutomatic, 0.5f, 0.5f, false, 0},
        {"brightest and no contrast", {{0x109, 0x8000}, {0x108, 0}}, msoPictureAutomatic, 1.0f, 0.0f, false, 0},
        {"darkest, contrast doubled",
         {{0x109, 0xFFFF8000}, {0x108, 0x20000}},
         msoPictureAutomatic,
         0.0f,
         0.75f,
         false,
         0},
        {"washout", {{0x109, 0x599A}, {0x108, 0x4CCD}}, msoPictureWatermark, 0.85f, 0.15f, false, 0},
        // Bit 2 grey, bit 1 black and white, each with its use bit 16 higher.
        {"grayscale", {{0x13F, 0x00040004}}, msoPictureGrayscale, 0.5f, 0.5f, false, 0},
        {"black and white", {{0x13F, 0x00020002}}, msoPictureBlackAndWhite, 0.5f, 0.5f, false, 0},
        {"grey bit without its use bit", {{0x13F, 0x00000004}}, msoPictureAutomatic, 0.5f, 0.5f, false, 0},
        {"transparent green", {{0x107, 0x0000FF00}}, msoPictureAutomatic, 0.5f, 0.5f, true, 0x00FF00},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<uint16_t, uint32_t>> props = {{0x4104, 1}};
        props.insert(props.end(), c.props.begin(), c.props.end());
        Deck deck;
        deck.slides.push_back(Slide({SpShape(75, 1025, 0xA00, {Opt(props), ClientAnchor(0, 0, 80, 80)})}));
        const LoadResult loaded = LoadDeck(deck);
        const PictureData& p = OnlyShape(loaded).data.picture;
        EXPECT_EQ(p.colorType, c.colorType) << c.name;
        EXPECT_NEAR(p.brightness, c.brightness, 1e-3) << c.name;
        EXPECT_NEAR(p.contrast, c.contrast, 1e-3) << c.name;
        EXPECT_EQ(p.hasTransparencyColor, c.transparent) << c.name;
        if (c.transparent) {
            EXPECT_EQ(p.transparencyColor, c.transparentColor) << c.name;
        }
    }
}

// A shaded fill's back colour is opaque unless stored otherwise, and each colour keeps its
// transparency where the focus puts it.
TEST(LoaderFills, GradientColoursKeepTheirOwnTransparency) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint16_t, uint32_t>> props;
        std::vector<std::pair<float, float>> stops;  // position, transparency
    };
    const Case cases[] = {
        {"back colour at the end", {{0x18C, 100}}, {{0.0f, 0.5f}, {1.0f, 0.0f}}},
        {"back colour at the start", {{0x18C, 0}}, {{0.0f, 0.0f}, {1.0f, 0.5f}}},
        {"back colour in the middle", {{0x18C, 50}}, {{0.0f, 0.5f}, {0.5f, 0.0f}, {0.5f, 0.0f}, {1.0f, 0.5f}}},
        {"back colour's own opacity", {{0x18C, 100}, {0x184, 0x4000}}, {{0.0f, 0.5f}, {1.0f, 0.75f}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<uint16_t, uint32_t>> props = {
            {0x180, 7}, {0x181, 0x0000FF}, {0x182, 0x8000}, {0x183, 0xFF0000}};
        props.insert(props.end(), c.props.begin(), c.props.end());
        Deck deck;
        deck.slides.push_back(Slide({SpShape(1, 1025, 0xA00, {Opt(props), ClientAnchor(0, 0, 80, 80)})}));
        const LoadResult loaded = LoadDeck(deck);
        const FillData& f = OnlyShape(loaded).data.fill;
        ASSERT_EQ(f.type, msoFillGradient) << c.name;
        ASSERT_EQ(f.gradientStops.size(), c.stops.size()) << c.name;
        for (size_t i = 0; i < c.stops.size(); ++i) {
            EXPECT_NEAR(f.gradientStops[i].position, c.stops[i].first, 1e-3) << c.name << " stop " << i;
            EXPECT_NEAR(f.gradientStops[i].transparency, c.stops[i].second, 1e-3) << c.name << " stop " << i;
        }
    }
}
