// The movie document's writers: value forms, element vocabulary, ids, shared styles, saving.

#include "MovieTestUtil.h"
#include "genswf/movie/Movie.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <limits>

using namespace genswf;
using movietest::U8;
using movietest::Xml;

namespace {

std::string AttrText(const XmlAttributePtr& a) { return U8(a->name()) + "=" + U8(a->value()); }

TEST(MovieWriter, ValueForms) {
    auto movie = CMovie::CreateEmpty();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct {
        XmlAttributePtr attribute;
        const char* expected;
    } cases[] = {
        {movie->CreateFloatAttribute(L"x", 1.5f), "x=30tw"},
        {movie->CreateFloatAttribute(L"x", -0.06f), "x=-1tw"},
        {movie->CreateFloatAttribute(L"x", 0.04f), "x=0tw"},
        {movie->CreateFloatAttribute(L"x", 0.049f), "x=0tw"},
        {movie->CreateFloatAttribute(L"x", 100.0f), "x=2000tw"},
        {movie->CreateFloatAttribute(L"x", nan), "x=0tw"},
        {movie->CreateFloatAttribute(L"x", inf), "x=2147483647tw"},
        {movie->CreateFloatAttribute(L"x", -1e30f), "x=-2147483648tw"},
        {movie->CreateIntAttribute(L"i", -2147483647 - 1), "i=-2147483648"},
        {movie->CreateUIntAttribute(L"u", 4294967295u), "u=4294967295"},
        {movie->CreateColorAttribute(0x000000FF), "color=#ff0000"},
        {movie->CreateColorAttribute(0x00FF0000), "color=#0000ff"},
        {movie->CreateColorAttribute(0x00FFFFFF), "color=#ffffff"},
        {movie->CreateColorAttribute(0xAB010203), "color=#030201"},
        {movie->CreateAlphaAttribute(0), "alpha=0"},
        {movie->CreateAlphaAttribute(128), "alpha=128"},
        {movie->CreateAlphaAttribute(256), "alpha=255"},
        {movie->CreateAlphaAttribute(-1), "alpha=0"},
        {movie->CreateAttribute(L"s", L" as <is> "), "s= as <is> "},
    };
    for (const auto& c : cases) EXPECT_EQ(AttrText(c.attribute), c.expected);
}

TEST(MovieWriter, BadAttributeNameIsReported) {
    auto movie = CMovie::CreateEmpty();
    try {
        movie->CreateStringAttribute(L"bad name", L"v");
        FAIL() << "no exception";
    } catch (const CBaseException& e) {
        EXPECT_EQ(e.GetCode(), 3);
        EXPECT_EQ(U8(e.GetMessage())
                      .rfind("CreateStringAttribute failed: attrName=\"bad name\"\nattrValue=\"v\" in file ", 0),
                  0u)
            << U8(e.GetMessage());
    }
}

TEST(MovieWriter, SkeletonAndMovieAttributes) {
    auto movie = CMovie::CreateEmpty();
    movie->WriteMovieAttributes(640, 480, 24, 0x00FFFFFF, false);
    EXPECT_EQ(Xml(movie->GetDocument()),
              "<movie width=\"640\" height=\"480\" frameRate=\"24\" compressed=\"1\" bgColor=\"#ffffff\" "
              "saveObjectsFirst=\"0\"><styles/><objects/><layers/></movie>\n");
    auto other = CMovie::CreateEmpty();
    other->WriteMovieAttributes(1, 2, 3, 0x000000FF, true);
    EXPECT_EQ(Xml(other->GetRootElement()).find("saveObjectsFirst"), std::string::npos);
}

TEST(MovieWriter, ElementVocabulary) {
    auto movie = CMovie::CreateEmpty();
    auto p = movie->GetObjectsElement();
    struct {
        XmlElementPtr element;
        const char* expected;
    } cases[] = {
        {movie->WriteFrame(p, -3), "<frame index=\"-3\"/>"},
        {movie->WriteSprite(p, L"spr0"), "<sprite id=\"spr0\"/>"},
        {movie->WriteShape(p, L"shape0"), "<shape id=\"shape0\"/>"},
        {movie->WriteRectangle(p, L"rect0", 1, 2, 3.5f, -4),
         "<rectangle id=\"rect0\" x=\"20tw\" y=\"40tw\" width=\"70tw\" height=\"-80tw\"/>"},
        {movie->WriteOval(p, L"oval0", 0, 0, 1, 1),
         "<oval id=\"oval0\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\"/>"},
        {movie->WriteSolidFillStyle(p, L"style0", 0x000000FF, 255),
         "<solidFillStyle id=\"style0\" color=\"#ff0000\"/>"},
        {movie->WriteSolidFillStyle(p, L"style1", 0, 0),
         "<solidFillStyle id=\"style1\" color=\"#000000\" alpha=\"0\"/>"},
        {movie->WriteSolidFillStyle(p, L"style2", 0, 256), "<solidFillStyle id=\"style2\" color=\"#000000\"/>"},
        {movie->WriteImage(p, L"img0", L"a.png", 0, 0, 1, 1, 0),
         "<image id=\"img0\" src=\"a.png\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\"/>"},
        {movie->WriteImage(p, L"img1", L"b.png", 0, 0, 1, 1, 80),
         "<image id=\"img1\" src=\"b.png\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\" jpegQuality=\"80\"/>"},
        {movie->WriteFont(p, L"fnt0", L"f.ttf"), "<font id=\"fnt0\" src=\"f.ttf\"/>"},
        {movie->WriteHtmlText(p, L"txt0", 1, 1, 1, 1),
         "<htmlText id=\"txt0\" x=\"20tw\" y=\"20tw\" width=\"20tw\" height=\"20tw\"/>"},
        {movie->WriteSound(p, L"snd0", L"s.mp3"), "<sound id=\"snd0\" src=\"s.mp3\"/>"},
        {movie->WriteButton(p, L"button0", L"push", L"u", L"o", L"d", L"h"),
         "<button id=\"button0\" type=\"push\" up=\"u\" over=\"o\" down=\"d\" hit=\"h\"/>"},
        {movie->WriteShow(p, L"show0", L"spr0"), "<show id=\"show0\" objectId=\"spr0\"/>"},
        {movie->WriteReplace(p, L"show0", L"spr1"), "<replace showId=\"show0\" objectId=\"spr1\"/>"},
        {movie->WriteModify(p), "<modify/>"},
        {movie->WriteHide(p, L"show0"), "<hide showId=\"show0\"/>"},
        {movie->WriteStartSoundStream(p, L"snd0"), "<startSoundStream objectId=\"snd0\"/>"},
        {movie->WriteActions(p), "<actions/>"},
        {movie->WriteActionStop(p), "<actionStop/>"},
        {movie->WriteActionGetURL(p, L"http://x/?a=1&b=2"), "<actionGetURL url=\"http://x/?a=1&amp;b=2\"/>"},
        {movie->WriteActionSetTarget(p, L"/"), "<actionSetTarget spriteName=\"/\"/>"},
        {movie->WriteActionGoToFrame(p, 7), "<actionGoToFrame index=\"7\"/>"},
        {movie->WriteActionCallFunction(p, L"f"), "<actionCallFunction name=\"f\"/>"},
        {movie->WriteParamInteger(p, -1), "<paramInteger value=\"-1\"/>"},
        {movie->WriteStyles(p), "<styles/>"},
        {movie->WriteLayers(p), "<layers/>"},
        {movie->WriteLayer(p), "<layer/>"},
    };
    for (const auto& c : cases) EXPECT_EQ(Xml(c.element), c.expected);
    EXPECT_THROW(movie->WriteSprite(nullptr, L"spr9"), CBaseException);
}

TEST(MovieWriter, ImagesAndBackgroundLayersGoFirst) {
    auto movie = CMovie::CreateEmpty();
    auto objects = movie->GetObjectsElement();
    movie->WriteImage(objects, L"img0", L"a.png", 0, 0, 1, 1, 0);  // into an empty parent
    movie->WriteSprite(objects, L"spr0");
    movie->WriteImage(objects, L"img1", L"b.png", 0, 0, 1, 1, 0);
    auto layers = movie->GetLayersElement();
    movie->WriteLayer(layers)->setAttribute(L"n", L"1");
    movie->InsertLayerFirst(layers)->setAttribute(L"n", L"bg");
    std::string xml = Xml(movie->GetRootElement());
    EXPECT_LT(xml.find("img1"), xml.find("img0"));
    EXPECT_LT(xml.find("img0"), xml.find("spr0"));
    EXPECT_LT(xml.find("\"bg\""), xml.find("\"1\""));
}

TEST(MovieWriter, IdSequences) {
    auto movie = CMovie::CreateEmpty();
    EXPECT_EQ(U8(movie->NewStyleId()), "style0");
    EXPECT_EQ(U8(movie->NewRectId()), "rect0");
    EXPECT_EQ(U8(movie->NewButtonId()), "button0");
    EXPECT_EQ(U8(movie->NewShowId()), "show0");
    EXPECT_EQ(U8(movie->NewSpriteId()), "spr0");
    EXPECT_EQ(U8(movie->NewFontId()), "fnt0");
    EXPECT_EQ(U8(movie->NewTextId()), "txt0");
    EXPECT_EQ(U8(movie->NewOvalId()), "oval0");
    EXPECT_EQ(U8(movie->MakeSoundId()), "snd0");
    // Images and shapes share one sequence.
    EXPECT_EQ(U8(movie->NewImageId()), "img0");
    EXPECT_EQ(U8(movie->NewShapeId()), "shape1");
    EXPECT_EQ(U8(movie->NewImageId()), "img2");
    EXPECT_EQ(U8(movie->NewStyleId()), "style1");
    EXPECT_EQ(U8(movie->NewShowId()), "show1");
}

TEST(MovieWriter, SharedFillStylesAreMadeOnce) {
    auto movie = CMovie::CreateEmpty();
    EXPECT_EQ(U8(movie->GetTransparentFillStyleId()), "style0");
    EXPECT_EQ(U8(movie->GetBlackFillStyleId()), "style1");
    EXPECT_EQ(U8(movie->GetTransparentFillStyleId()), "style0");
    EXPECT_EQ(U8(movie->GetObjects()->GetBlackFillStyleId()), "style1");
    EXPECT_EQ(Xml(movie->GetStylesElement()),
              "<styles><solidFillStyle id=\"style0\" color=\"#ff00ff\" alpha=\"0\"/>"
              "<solidFillStyle id=\"style1\" color=\"#000000\"/></styles>");
}

TEST(MovieWriter, SaveXmlPutsTagsOnLinesButLeavesTextAlone) {
    CScratchFolder folder;
    auto movie = CMovie::CreateEmpty();
    auto text = movie->WriteHtmlText(movie->GetObjectsElement(), L"txt0", 0, 0, 1, 1);
    movie->AppendCDataSection(text, L"<p>a><b</p>\x01]]>end\xFFFF");
    movie->WriteActionGetURL(movie->GetObjectsElement(), L"u?x=a><b");
    movie->SaveXml(folder / L"movie.xml");
    EXPECT_EQ(movietest::ReadFile(folder.Native() + "/movie.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<movie>\n<styles/>\n<objects>\n"
              "<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"20tw\" height=\"20tw\">"
              "<![CDATA[<p>a><b</p>]]]]><![CDATA[>end]]></htmlText>\n"
              "<actionGetURL url=\"u?x=a&gt;&lt;b\"/>\n</objects>\n<layers/>\n</movie>\n");
    for (auto child = movie->GetObjectsElement()->firstChild(); child; child = child->nextSibling())
        if (child->nodeName() == L"htmlText") {
            EXPECT_EQ(U8(child->text()), "<p>a><b</p>]]>end");
        }
    // The movie's element handles still write into the saved document.
    movie->WriteSprite(movie->GetObjectsElement(), L"spr0");
    EXPECT_NE(Xml(movie->GetDocument()).find("<sprite id=\"spr0\"/></objects>"), std::string::npos);
}

// Checked at once, a description that does not read back is an error and no file; checked
// beside, the file is written and the check, which outlives the movie, carries the same error.
TEST(MovieWriter, SaveXmlFailuresAreErrorsAndLeaveNoFile) {
    for (const bool beside : {false, true}) {
        SCOPED_TRACE(beside ? "checked beside" : "checked at once");
        CScratchFolder folder;
        // A text node past the reader's size limit cannot be read back.
        auto movie = CMovie::CreateEmpty();
        movie->SetDescriptionCheckBeside(beside);
        auto text = movie->WriteHtmlText(movie->GetObjectsElement(), L"txt0", 0, 0, 1, 1);
        movie->AppendCDataSection(text, std::wstring(11u * 1024u * 1024u, L'x'));
        std::wstring message;
        try {
            movie->SaveXml(folder / L"movie.xml");
            const std::shared_future<void> check = movie->GetDescriptionCheck();
            movie.reset();
            ASSERT_TRUE(check.valid());
            check.get();
        } catch (const CBaseException& e) {
            EXPECT_EQ(e.GetCode(), 3);
            message = e.GetMessage();
        }
        EXPECT_EQ(U8(message).rfind("Cannot reload the movie description: ", 0), 0u) << U8(message);
        EXPECT_NE(U8(message).find(" in file genswf/src/movie/"), std::string::npos);
        EXPECT_EQ(beside, std::filesystem::exists(folder.Native() + "/movie.xml"));
    }
    CScratchFolder folder;
    auto movie = CMovie::CreateEmpty();
    EXPECT_THROW(movie->SaveXml(folder / L"no/such/folder/movie.xml"), CBaseException);
}

TEST(MovieWriter, SeparateTagsOnlyBetweenTags) {
    struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"<a><b/></a>", L"<a>\n<b/>\n</a>"},
        {L"<a>x<b/>y</a>", L"<a>x<b/>y</a>"},
        {L"<a><![CDATA[><]]></a>", L"<a><![CDATA[><]]></a>"},
        {L"<a t='><'><b/><!--><--><?p ><?></a>", L"<a t='><'>\n<b/><!--><--><?p ><?></a>"},
        {L"<a v=\"><\"/><b/>", L"<a v=\"><\"/>\n<b/>"},
        {L"<a><![CDATA[unclosed><", L"<a><![CDATA[unclosed><"},
        {L"<a></a><b>", L"<a>\n</a>\n<b>"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(U8(SeparateTags(c.in)), U8(c.out)) << U8(c.in);
}

// A locale that writes decimals with a comma: an installed one, or one compiled for the test.
const char* UseCommaLocale(CScratchFolder& folder) {
    const char* installed[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
    for (const char* name : installed)
        if (std::setlocale(LC_ALL, name)) return name;
    const std::string command = "localedef -i de_DE -f UTF-8 '" + folder.Native() + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return nullptr;
    setenv("LOCPATH", folder.Native().c_str(), 1);
    const char* chosen = std::setlocale(LC_ALL, "de_DE.UTF-8") ? "de_DE.UTF-8 (compiled)" : nullptr;
    unsetenv("LOCPATH");
    return chosen;
}

TEST(MovieWriter, DecimalsIgnoreTheLocale) {
    CScratchFolder folder;
    const char* chosen = UseCommaLocale(folder);
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is available";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    auto movie = CMovie::CreateEmpty();
    auto list = CreateFrameList(movie.get());
    CMatrix m;
    m.a = 0.5f;
    list->AddTrack()->AddShow(0, L"spr0", m);
    auto layer = movie->WriteLayer(movie->GetLayersElement());
    list->Write(layer, 0);
    std::setlocale(LC_ALL, "C");
    EXPECT_STREQ(probe, "0,5") << chosen;  // the locale really is in force
    EXPECT_NE(Xml(layer).find("scaleX=\"0.5000000\""), std::string::npos) << chosen;
}

}  // namespace
