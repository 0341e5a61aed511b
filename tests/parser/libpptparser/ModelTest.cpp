// The presentation model over a small hand-made stream and over known corpus files.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "RecordBytes.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"

using namespace libpptparser;
using namespace testrec;

namespace {

constexpr uint16_t kFontEmbedData = 4024;
constexpr uint16_t kProgStringTag = 5001;
constexpr uint16_t kPersistDirectory = 6002;

Bytes Opt(std::initializer_list<std::pair<uint16_t, uint32_t>> properties) {
    Bytes data;
    for (const auto& p : properties) Append16(data, p.first), Append32(data, p.second);
    return Atom(kRecordEscherOPT, data, static_cast<uint16_t>(properties.size()));
}

Bytes Anchor(uint16_t top, uint16_t left, uint16_t right, uint16_t bottom) {
    return Atom(kRecordEscherClientAnchor, U16s({top, left, right, bottom}));
}

Bytes Shape(uint16_t type, std::initializer_list<Bytes> more) {
    Bytes children = Atom(kRecordEscherSp, U32s({1024, 0}), type);
    for (const Bytes& b : more) children = Cat({children, b});
    return Record(0xF, 0, kRecordEscherSpContainer, children);
}

Bytes TimeNode(std::initializer_list<Bytes> children) { return Container(kRecordAnimGroup, children); }

// An effect node: the node atom, then a child node holding a set behaviour with its target.
Bytes Effect(uint32_t refMode, bool withTarget, int32_t soundId = -1) {
    const Bytes target = Container(0xF13C, {Atom(kRecordAnimReferenceAtom, U32s({refMode, 0, 0, 0, 0}))});
    const Bytes behaviour = Container(0xF12B, {Container(0xF12A, {withTarget ? target : Bytes()})});
    Bytes node =
        Cat({Atom(kRecordAnimNodeAtom, U32s({0, 1, 0, 0, 0})), TimeNode({Atom(kRecordAnimNodeAtom, {}), behaviour})});
    if (soundId >= 0)
        node = Cat(
            {node, Container(0xF145, {Container(0xF13C, {Atom(kRecordAnimReferenceAtom,
                                                              U32s({0, 0, static_cast<uint32_t>(soundId), 0, 0}))})})});
    return Record(0xF, 0, kRecordAnimGroup, node);
}

Bytes Slide(uint32_t layout, const Bytes& shapes, const Bytes& tags = {}) {
    const Bytes drawing = Container(
        kRecordPPDrawing, {Container(kRecordEscherDgContainer, {Record(0xF, 0, kRecordEscherSpgrContainer, shapes)})});
    return Container(kRecordSlide,
                     {Atom(kRecordSlideAtom, Cat({U32s({layout, 0, 0, 0, 0}), U16s({0, 0})})), drawing, tags});
}

Bytes TextBox(std::initializer_list<Bytes> children) { return Container(kRecordEscherClientTextbox, children); }

Bytes Runs(std::initializer_list<Bytes> parts) { return Atom(kRecordStyleTextPropAtom, Cat(parts)); }

// The stream: a Document, then slides stored in the order B, A, a title master; the slide
// list orders A before B through the persist directory.
Bytes MakeStream(bool withPersistDirectory = true) {
    const Bytes fonts =
        Container(kRecordFontCollection,
                  {
                      Atom(kRecordFontEntityAtom, Cat({Utf16(u"Arial"), Bytes(64 - 10 + 4)})),
                      Atom(kFontEmbedData, {1, 2, 3, 4}),  // embedded data of the first font: takes no index
                      Atom(kRecordFontEntityAtom, Cat({Utf16(u"Symbol"), Bytes(64 - 12 + 4)})),
                  });
    const Bytes list =
        Container(kRecordSlideListWithText,
                  {
                      Atom(kRecordSlidePersistAtom, U32s({1, 0, 2, 256})),  // slide A
                      Atom(kRecordTextHeaderAtom, U32s({0})), Atom(kRecordTextCharsAtom, Utf16(u"Title A")),
                      Atom(kRecordTextHeaderAtom, U32s({1})), Atom(kRecordTextBytesAtom, {'B', 'o', 'd', 'y', 0xE9}),
                      Runs({U32s({6}), U16s({0}), U32s({0}), U32s({6, 0x10000}), U16s({1})}),
                      Atom(kRecordSlidePersistAtom, U32s({2, 0, 0, 257})),  // slide B
                  });
    const Bytes sounds = Container(kRecordSoundCollection,
                                   {
                                       Atom(kRecordSoundCollAtom, U32s({2})),
                                       Container(kRecordSound, {Atom(kRecordCString, Utf16(u"chime.wav"), 0),
                                                                Atom(kRecordCString, Utf16(u"0x5"), 2),
                                                                Atom(kRecordSoundData, {'R', 'I', 'F', 'F', 0})}),
                                       Container(kRecordSound, {Atom(kRecordCString, Utf16(u"broken.wav"), 0),
                                                                Atom(kRecordCString, Utf16(u"6"), 2)}),
                                   });
    const Bytes document =
        Container(kRecordDocument,
                  {Container(kRecordSlideListWithText, {Atom(kRecordSlidePersistAtom, U32s({3}))}, 1),  // masters first
                   Container(kRecordEnvironment, {fonts}), list, sounds});

    const Bytes shapesA = Cat({
        Shape(0, {Atom(kRecordEscherSpgr, U32s({0, 0, 0, 0}))}),  // the group's own record: not a shape
        Shape(1, {Opt({{0x0004, 90u << 16},
                       {0x0089, 1},
                       {0x0147, 5400},
                       {0x0148, static_cast<uint32_t>(-10800)},
                       {0x014A, 21600}}),
                  Anchor(576, 1152, 2304, 1728),
                  Container(kRecordEscherClientData,
                            {Container(kRecordAnimationInfo,
                                       {Atom(kRecordAnimationInfoAtom, Cat({U32s({0, 0, 5, 0}), Bytes(12)}))})}),
                  TextBox(
                      {Atom(kRecordTextHeaderAtom, U32s({4})), Atom(kRecordTextCharsAtom, Utf16(u"abcdef")),
                       Runs({U32s({7}), U16s({0}), U32s({0}), U32s({3, 0x0}), U32s({4, 0x00810000}), U16s({1, 0})})})}),
        Record(0xF, 0, kRecordEscherSpgrContainer,
               Cat({Shape(0, {Atom(kRecordEscherSpgr, U32s({0, 0, 0, 0})),
                              TextBox({Atom(kRecordTextHeaderAtom, U32s({4}))})}),
                    Shape(1, {Anchor(1, 2, 3, 4)})})),
        Shape(1, {Opt({{0x0004, static_cast<uint32_t>(-90 * 65536)}}), Anchor(0, 0, 8, 8),
                  TextBox({Atom(kRecordOutlineTextRefAtom, U32s({1}))})}),
        Shape(1, {Anchor(0, 0, 8, 8), TextBox({Atom(kRecordOutlineTextRefAtom, U32s({7}))})}),
    });
    const Bytes tagsA = Container(
        kRecordProgTags,
        {
            Container(kProgStringTag, {}),
            Container(kRecordProgBinaryTag, {Container(kRecordBinaryTagData, {})}),  // an older tag without a timeline
            Container(kRecordProgBinaryTag,
                      {Container(kRecordBinaryTagData,
                                 {TimeNode({TimeNode({Atom(kRecordAnimNodeAtom, U32s({0, 0, 0, 0, 0})),
                                                      TimeNode({TimeNode({Effect(2, true, 5), Effect(3, false),
                                                                          Effect(4, true, 99)})})})})})}),
        });
    const Bytes slideA = Slide(1, shapesA, tagsA);
    const Bytes slideB = Slide(0, Shape(1, {Anchor(0, 0, 8, 8)}),
                               Container(kRecordProgTags, {Container(kProgStringTag, {})}));  // string tags only
    const Bytes master = Slide(2, {});

    Bytes stream = Cat({document, slideB, slideA, master});
    if (withPersistDirectory) {
        const uint32_t offsetB = static_cast<uint32_t>(document.size());
        const uint32_t offsetA = offsetB + static_cast<uint32_t>(slideB.size());
        stream = Cat({stream, Atom(kPersistDirectory, U32s({(2u << 20) | 1, 999, offsetB})),  // an older save
                      Atom(kPersistDirectory, U32s({(1u << 20) | 1, offsetA}))});
    }
    return stream;
}

std::shared_ptr<CPresentation> Model(const Bytes& stream) { return std::make_shared<CPresentation>(Tree(stream)); }

std::string ErrorOf(const Bytes& stream) {
    try {
        Model(stream);
    } catch (const CPptParserException& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

}  // namespace

TEST(Model, SlidesFollowTheSlideList) {
    const auto model = Model(MakeStream());
    const auto slides = model->GetSlides();
    ASSERT_EQ(slides->GetCount(), 2u);
    EXPECT_EQ(slides->GetItem(0)->GetLayout(), 1u);  // A, stored second
    EXPECT_EQ(slides->GetItem(1)->GetLayout(), 0u);
    EXPECT_EQ(slides->GetItem(1)->GetIndex(), 1u);
    EXPECT_EQ(slides->GetItem(2), nullptr);
    EXPECT_EQ(slides->GetItem(1)->GetShapes()->GetItem(1), nullptr);

    // Without a persist directory: stored order, title master dropped.
    const auto stored = Model(MakeStream(false))->GetSlides();
    ASSERT_EQ(stored->GetCount(), 2u);
    EXPECT_EQ(stored->GetItem(0)->GetLayout(), 0u);
    EXPECT_EQ(stored->GetItem(1)->GetLayout(), 1u);
}

TEST(Model, ShapesAnchorsRotationAndAdjustments) {
    const auto shapes = Model(MakeStream())->GetSlides()->GetItem(0)->GetShapes();
    ASSERT_EQ(shapes->GetCount(), 4u);  // the group header is not a shape; a nested group is one

    const auto first = shapes->GetItem(0);
    EXPECT_EQ(first->GetIndex(), 0u);
    EXPECT_EQ(first->GetShapeType(), 1u);
    EXPECT_FLOAT_EQ(first->GetRotation(), 90.0f);
    EXPECT_EQ(first->GetFontRotation(), 1);
    ASSERT_EQ(first->GetAdjustmentCount(), 2u);  // 0x149 is absent: the list ends there
    EXPECT_FLOAT_EQ(first->GetAdjustment(0), 0.25f);
    EXPECT_FLOAT_EQ(first->GetAdjustment(1), -0.5f);
    EXPECT_EQ(first->GetAdjustment(5), 0.0f);
    EXPECT_FLOAT_EQ(first->GetTop(), 72.0f);
    EXPECT_FLOAT_EQ(first->GetLeft(), 144.0f);
    EXPECT_FLOAT_EQ(first->GetRight(), 288.0f);
    EXPECT_FLOAT_EQ(first->GetBottom(), 216.0f);
    ASSERT_TRUE(first->GetSound());
    EXPECT_EQ(first->GetSound()->GetName(), L"chime.wav");

    const auto group = shapes->GetItem(1);
    EXPECT_EQ(group->GetShapeType(), 0u);
    EXPECT_EQ(group->GetTextFrame(), nullptr);  // its own text box is not read
    EXPECT_EQ(group->GetRight(), 0.0f);

    EXPECT_FLOAT_EQ(shapes->GetItem(2)->GetRotation(), -90.0f);
}

TEST(Model, TextFramesAndCharacterStyles) {
    const auto model = Model(MakeStream());
    const auto shapes = model->GetSlides()->GetItem(0)->GetShapes();
    const auto text = shapes->GetItem(0)->GetTextFrame();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->GetText(), L"abcdef");
    ASSERT_TRUE(text->HasCharacterStyles());
    ASSERT_EQ(text->GetCharacterStyleCount(), 2u);
    EXPECT_EQ(text->GetCharacterStyle(2), nullptr);

    std::shared_ptr<CCharacterStyle> run;
    const struct {
        uint32_t position;
        bool found;
        uint32_t start;
    } positions[] = {{0, true, 0}, {2, true, 0}, {3, true, 3}, {6, true, 3}, {7, false, 0}, {0xFFFFFFFF, false, 0}};
    for (const auto& p : positions) {
        std::shared_ptr<CCharacterStyle> found;
        EXPECT_EQ(text->FindCharacterStyle(p.position, found), p.found) << p.position;
        if (p.found)
            EXPECT_EQ(found->GetStart(), p.start) << p.position;
        else
            EXPECT_EQ(found, nullptr);
    }
    // No font bit: no font, although the index field reads 0. Fonts are counted among the font
    // entities only, so index 1 is "Symbol" despite the embedded data between them.
    EXPECT_EQ(text->GetCharacterStyle(0)->GetFont(), nullptr);
    ASSERT_TRUE(text->GetCharacterStyle(1)->GetFont());
    EXPECT_EQ(text->GetCharacterStyle(1)->GetFont()->GetFaceName(), L"Symbol");
    ASSERT_TRUE(text->GetCharacterStyle(1)->GetSymbolFont());
    EXPECT_EQ(text->GetCharacterStyle(1)->GetSymbolFont()->GetFaceName(), L"Arial");
    EXPECT_EQ(model->GetFontEntityCount(), 2u);
    EXPECT_EQ(model->GetFontEntity(9), nullptr);

    // Outline text: the slide's second header in the slide list, 8-bit text widened as Latin-1.
    const auto outline = shapes->GetItem(2)->GetTextFrame();
    ASSERT_TRUE(outline);
    EXPECT_EQ(outline->GetText(), L"Body\u00E9");
    ASSERT_EQ(outline->GetCharacterStyleCount(), 1u);
    EXPECT_EQ(outline->GetCharacterStyle(0)->GetFont()->GetFaceName(), L"Symbol");
    // A reference past the slide's texts stops at the next slide's entry: empty, no runs.
    const auto missing = shapes->GetItem(3)->GetTextFrame();
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->GetText().empty());
    EXPECT_FALSE(missing->HasCharacterStyles());
}

TEST(Model, SoundsAndAnimationsAreOptionalAndDroppedWhenBroken) {
    const auto model = Model(MakeStream());
    ASSERT_EQ(model->GetSounds()->GetCount(), 1u);  // the sound without data is left out
    EXPECT_EQ(model->GetSounds()->GetItem(0)->GetId(), 5);
    EXPECT_EQ(model->GetSounds()->GetItem(0)->GetData(), (Bytes{'R', 'I', 'F', 'F', 0}));
    EXPECT_EQ(model->GetSounds()->FindSound(6), nullptr);

    const auto animations = model->GetSlides()->GetItem(0)->GetAnimations();
    ASSERT_TRUE(animations);
    ASSERT_EQ(animations->GetCount(), 2u);  // the effect without a target is left out
    EXPECT_EQ(animations->GetItem(0)->GetRefMode(), 2u);
    ASSERT_TRUE(animations->GetItem(0)->GetSound());
    EXPECT_EQ(animations->GetItem(0)->GetSound()->GetId(), 5);
    EXPECT_EQ(animations->GetItem(1)->GetRefMode(), 4u);
    EXPECT_EQ(animations->GetItem(1)->GetSound(), nullptr);               // sound 99 does not exist
    EXPECT_EQ(model->GetSlides()->GetItem(1)->GetAnimations(), nullptr);  // string tags only

    ASSERT_EQ(model->GetWarnings().size(), 2u);
    EXPECT_NE(WideToUtf8(model->GetWarnings()[0]).find("Sound 2 is left out: Error: no SoundData records found"),
              std::string::npos);
    EXPECT_NE(WideToUtf8(model->GetWarnings()[1]).find("an animation is left out"), std::string::npos);
}

TEST(Model, MissingRequiredRecordsStopTheParse) {
    EXPECT_NE(ErrorOf({}).find("Error getting child from container: no Document record in file libpptparser/src/"),
              std::string::npos);
    EXPECT_NE(ErrorOf(Container(kRecordDocument, {})).find("no Environment record"), std::string::npos);
    const Bytes document =
        Container(kRecordDocument, {Container(kRecordEnvironment, {Container(kRecordFontCollection, {})})});
    EXPECT_EQ(ErrorOf(document), "(nothing thrown)");
}

TEST(Model, DamagedSlidesKeepTheirPlaceWithoutWhatIsLost) {
    // What the application loads with defaults, the model keeps too, so that both list the same
    // slides and shapes: a slide without its atom or drawing, a shape without its anchor.
    const Bytes document =
        Container(kRecordDocument, {Container(kRecordEnvironment, {Container(kRecordFontCollection, {})})});
    const Bytes drawingWithoutGroup = Container(kRecordPPDrawing, {Container(kRecordEscherDgContainer, {})});
    struct Case {
        const char* what;
        Bytes slide;
        size_t shapes;
        const char* warning;
    } cases[] = {
        {"no drawing", Container(kRecordSlide, {Atom(kRecordSlideAtom, U32s({1}))}), 0, "no shape group"},
        {"a drawing without its shape group",
         Container(kRecordSlide, {Atom(kRecordSlideAtom, U32s({1})), drawingWithoutGroup}), 0, "no shape group"},
        {"no slide atom",
         Container(kRecordSlide,
                   {Container(kRecordPPDrawing,
                              {Container(kRecordEscherDgContainer, {Container(kRecordEscherSpgrContainer, {})})})}),
         0, "has no slide atom"},
        {"a shape without its anchor", Slide(0, Shape(1, {})), 1, "Shape 0 has no anchor; it is placed at 0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::shared_ptr<CPresentation> model;
        ASSERT_NO_THROW(model = Model(Cat({document, c.slide})));
        ASSERT_EQ(model->GetSlides()->GetCount(), 1u);
        const auto slide = model->GetSlides()->GetItem(0);
        ASSERT_TRUE(slide->GetShapes());
        ASSERT_EQ(slide->GetShapes()->GetCount(), c.shapes);
        if (c.shapes) {
            EXPECT_EQ(slide->GetShapes()->GetItem(0)->GetRight(), 0.0f);
        }
        ASSERT_EQ(model->GetWarnings().size(), 1u);
        EXPECT_NE(WideToUtf8(model->GetWarnings()[0]).find(c.warning), std::string::npos)
            << WideToUtf8(model->GetWarnings()[0]);
    }
}

TEST(Model, DebugDump) {
    std::ostringstream out;
    CPresentationXmlVisitor visitor(out);
    Model(MakeStream())->Accept(visitor);
    const std::string dump = out.str();
    EXPECT_EQ(dump.rfind("<Presentation>\n  <Slides>\n    <Slide index=\"0\">\n      <Shapes>\n", 0), 0u) << dump;
    EXPECT_NE(
        dump.find("        <Shape index=\"0\" rotation=\"90.000\" fontRotation=\"1\" left=\"144.000\" top=\"72.000\" "
                  "right=\"288.000\" bottom=\"216.000\">\n          <Adjustment value=\"0.250000\"/>\n"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find("<TextFrame text=\"Body?\">\n"), std::string::npos);
    // A shape with neither adjustments nor text closes at once.
    EXPECT_NE(
        dump.find(
            "<Shape index=\"1\" rotation=\"0.000\" fontRotation=\"0\" left=\"0.000\" top=\"0.000\" right=\"0.000\" "
            "bottom=\"0.000\">\n        </Shape>\n"),
        std::string::npos)
        << dump;
    EXPECT_NE(dump.find("<Animation refMode=\"2\">\n          <Sound id=5 filename=\"chime.wav\" size=5/>\n"),
              std::string::npos)
        << dump;
    // The second slide has no animations: only its shapes.
    EXPECT_NE(dump.find("<Slide index=\"1\">\n      <Shapes>\n"), std::string::npos);
    EXPECT_EQ(dump.find("<Animations>", dump.find("<Slide index=\"1\">")), std::string::npos);
}

// Known corpus files, checked against what their authors put in them.
TEST(ModelCorpus, KnownPresentations) {
    const std::filesystem::path dir(BC_CORPUS_DIR);
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    auto load = [&](const char* name) {
        CStreamParser parser((dir / name).string());
        parser.Parse();
        return parser.GetPresentation();
    };

    const auto sample = load("SampleShow.ppt")->GetSlides();
    ASSERT_EQ(sample->GetCount(), 2u);
    const auto subtitle = sample->GetItem(0)->GetShapes()->GetItem(1)->GetTextFrame();
    EXPECT_EQ(subtitle->GetText(), L"Subtitle of the first slide\r\rThis bit is in italic green");
    std::shared_ptr<CCharacterStyle> run;
    ASSERT_TRUE(subtitle->FindCharacterStyle(30, run));
    EXPECT_EQ(run->GetStart(), 29u);
    EXPECT_EQ(run->GetFontStyle() & 2, 2);  // italic
    const auto bullets = sample->GetItem(1)->GetShapes()->GetItem(1)->GetTextFrame();
    ASSERT_TRUE(bullets->FindCharacterStyle(60, run));
    ASSERT_TRUE(run->GetFont());
    EXPECT_EQ(run->GetFont()->GetFaceName(), L"Arial Black");
    EXPECT_EQ(run->GetSize(), 16u);
    const auto title = sample->GetItem(1)->GetShapes()->GetItem(0);
    EXPECT_FLOAT_EQ(title->GetLeft(), 36.0f);
    EXPECT_FLOAT_EQ(title->GetTop(), 21.625f);
    EXPECT_FLOAT_EQ(title->GetRight(), 684.0f);
    EXPECT_FLOAT_EQ(title->GetBottom(), 111.625f);
    EXPECT_EQ(title->GetRotation(), 0.0f);

    // Five Slide records from earlier saves, two slides in the presentation, as the latest save
    // has them (the first save's text said "First line").
    const auto bulletSlides = load("bullets.ppt")->GetSlides();
    ASSERT_EQ(bulletSlides->GetCount(), 2u);
    EXPECT_EQ(bulletSlides->GetItem(0)->GetShapes()->GetItem(1)->GetTextFrame()->GetText(),
              L"This is a text placeholder that \rfollows the design pattern\rDefined in the slide master\rand has "
              L"bullets by default");
    EXPECT_EQ(bulletSlides->GetItem(1)->GetShapes()->GetItem(1)->GetTextFrame()->GetText(),
              L"I\u2019m a text box with user-defined\rbullet character");

    const auto shapes = load("text_shapes.ppt")->GetSlides()->GetItem(0)->GetShapes();
    ASSERT_EQ(shapes->GetCount(), 5u);
    const wchar_t* texts[] = {L"Title Placeholder", L"Text in a TextBox", L"Rectangle", L"Ellipse", L"Octagon"};
    const uint16_t types[] = {1, 202, 1, 3, 10};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(shapes->GetItem(i)->GetTextFrame()->GetText(), texts[i]);
        EXPECT_EQ(shapes->GetItem(i)->GetShapeType(), types[i]) << i;
    }

    const auto master = load("WithMaster.ppt")->GetSlides();
    ASSERT_EQ(master->GetCount(), 2u);
    EXPECT_EQ(master->GetItem(0)->GetShapes()->GetItem(0)->GetTextFrame()->GetText(), L"First page title");
    EXPECT_EQ(master->GetItem(1)->GetShapes()->GetCount(), 3u);
    EXPECT_EQ(master->GetItem(1)->GetShapes()->GetItem(2)->GetTextFrame()->GetText(), L"Footer from the master slide");

    const auto sound = load("sound.ppt");
    ASSERT_EQ(sound->GetSounds()->GetCount(), 1u);
    const auto chime = sound->GetSounds()->GetItem(0);
    EXPECT_EQ(chime->GetName(), L"ringin.wav");
    EXPECT_EQ(chime->GetData().size(), 10026u);
    EXPECT_EQ(std::string(chime->GetData().begin(), chime->GetData().begin() + 4), "RIFF");
    EXPECT_EQ(sound->GetSounds()->FindSound(chime->GetId()), chime);
    EXPECT_EQ(sound->GetSlides()->GetItem(0)->GetShapes()->GetItem(0)->GetShapeType(), 75u);  // the sound's picture
    ASSERT_TRUE(sound->GetSlides()->GetItem(0)->GetAnimations());
    EXPECT_EQ(sound->GetSlides()->GetItem(0)->GetAnimations()->GetCount(), 1u);
}
