// What the shape exporters take from the saved presentation and from the slide: the anchor and
// turn of connectors, picture frames among placeholders, and the hyperlinks that make a shape a
// button.

#include "DeckBuilder.h"
#include "ShapeFixture.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/Shape.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/SlideActions.h"
#include "powerpoint/loader/PptLoader.h"

using namespace genswf;
using namespace shapetest;
using namespace testdeck;
using namespace testrec;
using namespace PowerPoint;

namespace {

// A presentation file of one slide with these shapes, loaded into the host; its movie.
struct LoadedDeck {
    CScratchFolder scratch;
    Loader::LoadResult loaded;
    std::shared_ptr<CMovie> movie;

    LoadedDeck(std::vector<Bytes> shapes, const wchar_t* version) {
        Deck deck;
        deck.slides = {Slide(std::move(shapes))};
        std::uint32_t edit = 0;
        const Bytes stream = deck.Stream(edit);
        const Bytes user = CurrentUser(edit);
        Loader::LoadOptions options;
        options.version = version;
        loaded = Loader::LoadPresentationFromMemory(File(stream, &user), L"parsed.ppt", options);
        CEffectRegistry::CreateGlobal(Doc().Application());
        auto settings = CExportSettings::Create(Doc().Presentation());
        settings->SetTempFolder(scratch.FolderPath());
        settings->ReadSlides(nullptr);
        movie = CMovie::Create(settings);
    }
    ~LoadedDeck() {
        for (const auto& change : Doc().Changes())
            ADD_FAILURE() << "the presentation was changed: " << U8(change.object) << " " << change.member;
        CEffectRegistry::CreateGlobal(nullptr);
    }
    Host::CHostDocument& Doc() const { return *loaded.document; }
    Host::CHostShape* Node(std::size_t i) const { return Doc().Slides()[0]->shapes.at(i); }
    CSlide* SlideOf() const { return movie->GetSlide(0).get(); }
};

// A connector of 200 x 50 points at (100, 100) as the file anchors it, turned 90 degrees, with one
// bend point (0.5, -1) of its frame.
Bytes TurnedConnector() {
    return SpShape(33, 1025, 0xA00,
                   {Opt({{0x0004, 90u << 16}, {0x0147, 10800}, {0x0148, static_cast<std::uint32_t>(-21600)}}),
                    ClientAnchor(800, 800, 800 + 1600, 800 + 400)});
}

TEST(ParsedDeck, ConnectorsTakeTheSavedAnchorAndTurnTheirBends) {
    {
        LoadedDeck deck({TurnedConnector()}, L"9.0");
        ASSERT_EQ(msoTrue, deck.Node(0)->data.connector);
        // PowerPoint's frame is the anchor turned a quarter about its centre.
        EXPECT_FLOAT_EQ(175.0f, deck.Node(0)->data.left);
        auto shape = CShape::Create(deck.Node(0)->Interface(), deck.SlideOf(), 0);
        EXPECT_FLOAT_EQ(100.0f, shape->GetLeft());
        EXPECT_FLOAT_EQ(100.0f, shape->GetTop());
        EXPECT_FLOAT_EQ(200.0f, shape->GetWidth());
        EXPECT_FLOAT_EQ(50.0f, shape->GetHeight());
        // The bend (0.5, -1) turned to (2, 0.5) lies 400 points right of the anchor's left.
        EXPECT_FLOAT_EQ(100.0f, shape->GetBoundsLeft());
        EXPECT_FLOAT_EQ(100.0f, shape->GetBoundsTop());
        EXPECT_FLOAT_EQ(400.0f, shape->GetBoundsWidth());
        EXPECT_FLOAT_EQ(50.0f, shape->GetBoundsHeight());
    }
    {
        LoadedDeck deck({TurnedConnector()}, L"11.0");
        auto handle = CreateBasicShapeHandle(deck.SlideOf(), deck.Node(0)->Interface(), 0);
        auto& shape = *handle->GetHolder()->GetBasicShape();
        EXPECT_FLOAT_EQ(100.0f, shape.GetLeft());
        EXPECT_FLOAT_EQ(100.0f, shape.GetTop());
        EXPECT_FLOAT_EQ(400.0f, shape.GetWidth());
        EXPECT_FLOAT_EQ(50.0f, shape.GetHeight());
    }
}

TEST(ParsedDeck, PlaceholderIsAPictureOnlyWhenItIsAPictureFrame) {
    LoadedDeck deck({SpShape(75, 1025, 0xA00, {ClientAnchor(800, 800, 2400, 1600), ClientData({Placeholder(26)})}),
                     SpShape(1, 1026, 0xA00, {ClientAnchor(800, 1800, 2400, 2600), ClientData({Placeholder(14)})})},
                    L"9.0");
    ASSERT_EQ(msoPlaceholder, deck.Node(0)->data.type);
    ASSERT_EQ(msoPlaceholder, deck.Node(1)->data.type);
    EXPECT_TRUE(CShape::Create(deck.Node(0)->Interface(), deck.SlideOf(), 0)->IsExportedAsPicture());
    EXPECT_FALSE(CShape::Create(deck.Node(1)->Interface(), deck.SlideOf(), 1)->IsExportedAsPicture());
}

// A rectangle without fill and line that links somewhere, on click and, doing the same, on
// mouse-over.
struct LinkedDeck : ShapeTest {
    Host::CHostShape* Linked() {
        Host::CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100, L"Link");
        node->data.fill.visible = msoFalse;
        node->data.line.visible = msoFalse;
        node->data.click.action = ppActionHyperlink;
        node->data.click.hyperlink.address = L"https://example.org/";
        node->data.over = node->data.click;
        return node;
    }
};

TEST_F(LinkedDeck, LinkedShapeIsAPictureShownThroughItsButton) {
    Host::CHostShape* node = Linked();
    Movie(L"9.0");
    const std::size_t sources = movie->GetHyperlinkSources().size();
    auto shape = CShape::Create(node->Interface(), Slide(), 0);
    ASSERT_TRUE(shape->IsExportedAsPicture());
    // The mouse-over action is no second click.
    ASSERT_EQ(1u, shape->GetActionSettings()->GetCount());
    shape->SavePictures(scratch.FolderPath());
    XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
    shape->ExportDefinitions(defs);
    ASSERT_TRUE(shape->GetButton());
    EXPECT_EQ(shape->GetButton()->GetId(), shape->GetImageId());
    EXPECT_EQ(shape->GetImageId(), Child(defs, L"button")->getAttribute(L"id"));
    ASSERT_EQ(sources + 1, movie->GetHyperlinkSources().size());
    EXPECT_EQ(shape->GetButton(), movie->GetHyperlinkSources().back()->button);
    EXPECT_EQ(0, movie->GetHyperlinkSources().back()->slideId);

    float clock = 0.0f, last = 0.0f;
    shape->ExportBuild(clock, last);
    EXPECT_EQ(shape->GetButton()->GetId(), shape->GetPlacedPicture()->objectId);
}

TEST_F(LinkedDeck, LinkedBasicShapeIsAPushButtonOverItsPicture) {
    Host::CHostShape* node = Linked();
    Movie(L"11.0");
    const std::size_t sources = movie->GetHyperlinkSources().size();
    auto handle = CreateBasicShapeHandle(Slide(), node->Interface(), 0);
    handle->Export();
    handle->Export();
    auto& shape = *handle->GetHolder()->GetBasicShape();
    auto button = std::dynamic_pointer_cast<CButtonObject>(shape.GetAnimatedObject()->GetCurrentObject());
    ASSERT_TRUE(button);
    const auto& objects = shape.GetObjectsCollection()->GetObjects();
    ASSERT_EQ(2u, objects.size());
    // The picture is defined before the button that shows it in all four states.
    EXPECT_EQ(button, objects[1]);
    const std::wstring picture = objects[0]->GetId();
    EXPECT_EQ(picture, button->up);
    EXPECT_EQ(picture, button->over);
    EXPECT_EQ(picture, button->down);
    EXPECT_EQ(picture, button->hit);
    ASSERT_EQ(sources + 1, movie->GetHyperlinkSources().size());
    EXPECT_EQ(button, movie->GetHyperlinkSources().back()->button);
}

}  // namespace
