// Movie objects, collections, layers and definition objects.

#include "MovieTestUtil.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

using namespace genswf;
using movietest::U8;
using movietest::Xml;

namespace {

struct MovieFixture : ::testing::Test {
    std::shared_ptr<CMovie> movie = CMovie::CreateEmpty();
    XmlElementPtr parent = movie->CreateElement(movie->GetObjectsElement(), L"p");
    // Markup of what was written into the scratch parent.
    std::string Written() {
        std::string xml = Xml(parent);
        if (xml == "<p/>") return "";
        return xml.substr(3, xml.size() - 7);
    }
};

using Collections = MovieFixture;

TEST_F(Collections, EmptyCollectionsWriteNothing) {
    CreateObjectsCollection(movie.get())->Write(parent);
    CreateLayersCollection(movie.get())->Write(parent);
    CreateStylesCollection(movie.get())->Write(parent);
    EXPECT_EQ(Written(), "");
}

TEST_F(Collections, OneMemberWritesContainerAndMember) {
    auto objects = CreateObjectsCollection(movie.get());
    objects->AddRectangle(0, 0, 1, 1);
    auto styles = CreateStylesCollection(movie.get());
    styles->Add(CreateSolidFillObject(movie.get(), 0x0000FF00, 128));
    auto layers = CreateLayersCollection(movie.get());
    layers->AddLayer()->AddTrack()->AddShow(0, L"rect0", CMatrix());
    styles->Write(parent);
    objects->Write(parent);
    layers->Write(parent);
    EXPECT_EQ(Written(),
              "<styles><solidFillStyle id=\"style0\" color=\"#00ff00\" alpha=\"128\"/></styles>"
              "<objects><rectangle id=\"rect0\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\"/></objects>"
              "<layers><layer><frame index=\"0\"><show id=\"show0\" objectId=\"rect0\"/></frame></layer></layers>");
}

TEST_F(Collections, LayerWithOnlyLabelsOrNoTracksWritesNothing) {
    auto layers = CreateLayersCollection(movie.get());
    layers->AddLayer()->AddTrack()->AddLabel(3, L"intro");
    layers->AddLayer();
    layers->Write(parent);
    EXPECT_EQ(Written(), "<layers/>");
}

TEST_F(Collections, WriteMembersUsesTheGivenContainer) {
    auto objects = CreateObjectsCollection(movie.get());
    objects->AddShape();
    objects->AddFont()->src = L"f.ttf";
    objects->WriteMembers(parent);
    EXPECT_EQ(Written(), "<shape id=\"shape0\"/><font id=\"fnt0\" src=\"f.ttf\"/>");
}

TEST_F(Collections, ContainsAndAddAll) {
    auto a = CreateObjectsCollection(movie.get());
    auto b = CreateObjectsCollection(movie.get());
    auto oval = b->AddOval(0, 0, 1, 1);
    EXPECT_FALSE(a->Contains(oval));
    a->AddAll(b);
    EXPECT_TRUE(a->Contains(oval));
    a->AddAll(a);  // its own members, appended once
    EXPECT_EQ(a->GetObjects().size(), 2u);
    auto layers = CreateLayersCollection(movie.get());
    layers->AddLayer();
    layers->AddAll(layers);
    EXPECT_EQ(layers->GetLayers().size(), 2u);
}

TEST_F(Collections, AttributeListOrderAndFirstValueKept) {
    auto rect = CreateRectangleObject(movie.get(), 0, 0, 1, 1);
    rect->AddAttribute(L"width", L"w");  // the writer's own "width" stays
    rect->AddAttribute(L"name", L"n");
    rect->AddAttribute(L"height", L"h");
    rect->SetFillStyle(L"style0");
    rect->SetFillStyle(L"style1");
    rect->Write(parent);
    EXPECT_EQ(Written(),
              "<rectangle id=\"rect0\" x=\"0tw\" y=\"0tw\" width=\"w\" height=\"h\" fillStyle=\"style0\" name=\"n\"/>");
}

TEST_F(Collections, AttributeNamesSortByCodeUnit) {
    auto oval = CreateOvalObject(movie.get(), 0, 0, 0, 0);
    for (const wchar_t* name : {L"width", L"src", L"name", L"lockroot", L"height", L"fontSize", L"fontId"})
        oval->AddAttribute(name, L"");
    std::vector<std::string> order;
    for (const auto& item : oval->GetAttributes().Items()) order.push_back(U8(item.first));
    EXPECT_EQ(order, (std::vector<std::string>{"fontId", "fontSize", "height", "lockroot", "name", "src", "width"}));
}

using Definitions = MovieFixture;

TEST_F(Definitions, Image) {
    auto image = CreateImageObject(movie.get(), L"p.png", 1, 2, 3, 4);
    image->smoothing = true;
    movie->WriteSprite(parent, L"spr0");
    image->Write(parent);
    auto second = CreateImageObject(movie.get(), L"q.jpg", 0, 0, 1, 1);
    second->jpegQuality = 70;
    second->Write(parent);
    EXPECT_EQ(Written(),
              "<image id=\"img1\" src=\"q.jpg\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\" jpegQuality=\"70\"/>"
              "<image id=\"img0\" src=\"p.png\" x=\"20tw\" y=\"40tw\" width=\"60tw\" height=\"80tw\" smoothing=\"1\"/>"
              "<sprite id=\"spr0\"/>");
}

TEST_F(Definitions, Sprites) {
    auto embedded = CreateSpriteObject(movie.get());
    embedded->src = L"clip.swf";
    embedded->Write(parent);
    auto empty = CreateSpriteObject(movie.get());
    empty->Write(parent);
    auto full = CreateSpriteObject(movie.get());
    full->name = L"n";
    full->SetWidth(10);
    full->SetHeight(5);
    full->lockroot = false;
    full->GetObjects()->AddRectangle(0, 0, 1, 1);
    full->GetLayers()->AddLayer()->AddTrack()->AddShow(2, L"rect0", CMatrix());
    full->Write(parent);
    EXPECT_EQ(Written(),
              "<sprite id=\"spr0\" lockroot=\"1\" src=\"clip.swf\"/>"
              "<sprite id=\"spr1\"/>"
              "<sprite id=\"spr2\" height=\"100tw\" name=\"n\" width=\"200tw\">"
              "<objects><rectangle id=\"rect0\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\"/></objects>"
              "<layers><layer><frame index=\"2\"><show id=\"show0\" objectId=\"rect0\"/></frame></layer></layers>"
              "</sprite>");
}

TEST_F(Definitions, SpriteHoldingItselfIsAnError) {
    auto sprite = CreateSpriteObject(movie.get());
    sprite->GetObjects()->Add(sprite);
    EXPECT_THROW(sprite->Write(parent), CBaseException);
    // The guard is released by the failure: a sound sprite writes again.
    sprite->objects = CreateObjectsCollection(movie.get());  // also breaks the ownership cycle
    EXPECT_NO_THROW(sprite->Write(parent));
}

TEST_F(Definitions, TextFields) {
    auto plain = CreateTextFieldObject(movie.get(), 0, 0, 10, 10);
    plain->html = L"<p>hi</p>";
    plain->Write(parent);
    auto styled = CreateTextFieldObject(movie.get(), 0, 0, 10, 10);
    styled->fontId = L"fnt3";
    styled->fontSize = 12.0f;
    styled->color = 0x000000FF;
    styled->multiline = styled->wordWrap = styled->selectable = true;
    styled->Write(parent);
    EXPECT_EQ(
        Written(),
        "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"200tw\" height=\"200tw\" color=\"#000000\" "
        "multiline=\"0\" selectable=\"0\" wordWrap=\"0\"><![CDATA[<p>hi</p>]]></htmlText>"
        "<htmlText id=\"txt1\" x=\"0tw\" y=\"0tw\" width=\"200tw\" height=\"200tw\" color=\"#ff0000\" "
        "fontId=\"fnt3\" fontSize=\"240tw\" multiline=\"1\" selectable=\"1\" wordWrap=\"1\"><![CDATA[]]></htmlText>");
}

TEST_F(Definitions, ShapesFontsSounds) {
    auto shape = CreateShapeObject(movie.get());
    shape->AddRectangle(0, 0, 1, 1)->SetFillStyle(L"style0");
    shape->AddOval(1, 1, 2, 2)->SetFillStyle(L"style1");
    shape->AddAttribute(L"ignored", L"x");
    shape->Write(parent);
    auto font = CreateFontObject(movie.get());
    font->SetId(L"fnt7");
    font->src = L"a.ttf";
    font->name = L"fnt7";
    font->Write(parent);
    auto sound = CreateSoundObject(movie.get(), L"s.wav");
    sound->mp3Quality = 128;
    sound->Write(parent);
    CreateSoundObject(movie.get(), L"t.wav")->Write(parent);
    EXPECT_EQ(Written(),
              "<shape id=\"shape0\"><rectangle id=\"rect0\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\" "
              "fillStyle=\"style0\"/><oval id=\"oval0\" x=\"20tw\" y=\"20tw\" width=\"40tw\" height=\"40tw\" "
              "fillStyle=\"style1\"/></shape>"
              "<font id=\"fnt7\" src=\"a.ttf\" name=\"fnt7\"/>"
              "<sound id=\"snd0\" src=\"s.wav\" mp3Quality=\"128\"/>"
              "<sound id=\"snd1\" src=\"t.wav\"/>");
}

TEST_F(Definitions, Buttons) {
    auto objects = CreateObjectsCollection(movie.get());
    auto push = objects->AddButton(nullptr, L"rect0", L"rect0", L"rect0", L"rect0");
    auto owner = CreateSpriteObject(movie.get());
    auto menu = CreateButtonObject(movie.get(), owner.get(), L"a", L"b", L"c", L"d");
    push->Write(parent);
    menu->Write(parent);
    EXPECT_EQ(Written(),
              "<button id=\"button0\" type=\"push\" up=\"rect0\" over=\"rect0\" down=\"rect0\" hit=\"rect0\"/>"
              "<button id=\"button1\" type=\"menu\" up=\"a\" over=\"b\" down=\"c\" hit=\"d\"/>");
}

TEST_F(Definitions, ButtonWrittenAgainAddsOnlyNewActions) {
    auto button = CreateButtonObject(movie.get(), nullptr, L"r", L"r", L"r", L"r");
    button->GetActions().AddGetURL(L"http://a", L"_blank");
    button->Write(parent);
    button->Write(parent);
    button->GetActions().AddSetTarget(L"/");
    button->GetActions().AddGoToFrame(3);
    auto elsewhere = movie->CreateElement(movie->GetObjectsElement(), L"q");
    button->Write(elsewhere);
    EXPECT_EQ(Written(),
              "<button id=\"button0\" type=\"push\" up=\"r\" over=\"r\" down=\"r\" hit=\"r\">"
              "<actionGetURL url=\"http://a\" target=\"_blank\"/><actionSetTarget spriteName=\"/\"/>"
              "<actionGoToFrame index=\"3\"/></button>");
    EXPECT_EQ(Xml(elsewhere), "<q/>");
}

TEST_F(Definitions, SolidFillAlphaIsClamped) {
    struct {
        int alpha;
        const char* expected;
    } cases[] = {{255, ""}, {256, ""}, {1000, ""}, {0, " alpha=\"0\""}, {-5, " alpha=\"0\""}, {254, " alpha=\"254\""}};
    for (const auto& c : cases) {
        auto style = CreateSolidFillObject(movie.get(), 0, c.alpha);
        auto holder = movie->CreateElement(parent, L"h");
        style->Write(holder);
        EXPECT_EQ(Xml(holder),
                  "<h><solidFillStyle id=\"" + U8(style->GetId()) + "\" color=\"#000000\"" + c.expected + "/></h>")
            << c.alpha;
    }
}

}  // namespace
