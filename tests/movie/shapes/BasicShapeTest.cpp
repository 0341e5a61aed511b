// The shape exporters of the timeline path: the class of each shape type, the movie object that
// shows a shape (picture, vector sprite, embedded movie), the retries when PowerPoint refuses a
// picture, the placement and frame of a shape, the colour behind its text, and the shape list,
// holder and context that reach it.

#include "CfbBuilder.h"
#include "PptFailureText.h"
#include "ShapeFixture.h"
#include "SwfTestSupport.h"
#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/TimeLine.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/shapes/ShapeEffectList.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/shapes/Shapes.h"
#include "genswf/text/TextFrameContent.h"
#include "powerpoint/controls/FlashControl.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <typeindex>

using namespace genswf;
using namespace shapetest;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

class BasicShapeTest : public ShapeTest {
protected:
    std::shared_ptr<CBasicShape> Make(CHostShape* node) {
        if (!movie) Movie(L"11.0");
        auto index = std::find(slide->shapes.begin(), slide->shapes.end(), node) - slide->shapes.begin();
        auto handle = CreateBasicShapeHandle(Slide(), node->Interface(), static_cast<int>(index));
        handles.push_back(handle);
        return handle->GetHolder()->GetBasicShape();
    }
    std::vector<std::shared_ptr<CBasicShapeHandle>> handles;
};

void ExpectMatrix(const CMatrix& expected, const CMatrix& actual) {
    EXPECT_NEAR(expected.a, actual.a, 1e-4);
    EXPECT_NEAR(expected.b, actual.b, 1e-4);
    EXPECT_NEAR(expected.c, actual.c, 1e-4);
    EXPECT_NEAR(expected.d, actual.d, 1e-4);
    EXPECT_NEAR(expected.tx, actual.tx, 1e-3);
    EXPECT_NEAR(expected.ty, actual.ty, 1e-3);
}

// The show commands of the shape's first layer.
std::vector<std::shared_ptr<CShowCommand>> Shows(CBasicShape& shape) {
    std::vector<std::shared_ptr<CShowCommand>> shows;
    for (const auto& track : shape.GetFirstLayer()->GetFrames()->GetTracks())
        for (const auto& [frame, commands] : track->GetCommandMap())
            for (const auto& command : commands)
                if (auto show = std::dynamic_pointer_cast<CShowCommand>(command)) shows.push_back(show);
    return shows;
}

// The contents of a control's storage that embeds this movie.
std::vector<std::uint8_t> FlashStorage(const std::vector<std::uint8_t>& swf) {
    std::vector<std::uint8_t> contents = {0x66, 0x55, 0x66, 0x55};
    for (int i = 0; i < 4; ++i) contents.push_back(static_cast<std::uint8_t>(swf.size() >> (8 * i)));
    contents.insert(contents.end(), swf.begin(), swf.end());
    return testcfb::Build({{"Contents", contents}});
}

TEST_F(BasicShapeTest, EveryTypeHasItsClass) {
    const std::pair<MsoShapeType, std::type_index> cases[] = {
        {msoAutoShape, typeid(CAutoShape)},
        {msoCallout, typeid(CCalloutShape)},
        {msoChart, typeid(CChartShape)},
        {msoComment, typeid(CCommentShape)},
        {msoFreeform, typeid(CFreeformShape)},
        {msoGroup, typeid(CGroupShape)},
        {msoEmbeddedOLEObject, typeid(COleObjectShape)},
        {msoFormControl, typeid(CFormControlShape)},
        {msoLine, typeid(CLineShape)},
        {msoLinkedOLEObject, typeid(COleObjectShape)},
        {msoLinkedPicture, typeid(CPictureShape)},
        {msoOLEControlObject, typeid(COleObjectShape)},
        {msoPicture, typeid(CPictureShape)},
        {msoPlaceholder, typeid(CPlaceholderShape)},
        {msoTextEffect, typeid(CTextEffectShape)},
        {msoMedia, typeid(CMediaShape)},
        {msoTextBox, typeid(CTextBoxShape)},
        {msoScriptAnchor, typeid(CScriptAnchorShape)},
        {msoTable, typeid(CTableShape)},
        {msoCanvas, typeid(CCanvasShape)},
        {msoDiagram, typeid(CDiagramShape)},
        {msoInk, typeid(CInkShape)},
        {msoInkComment, typeid(CInkCommentShape)},
        {0, typeid(CBasicShape)},
        {-2, typeid(CBasicShape)},
        {24, typeid(CBasicShape)},
    };
    for (const auto& [type, expected] : cases) {
        SCOPED_TRACE(type);
        auto shape = Make(Add(type, 10, 10, 100, 50));
        const CBasicShape& made = *shape;
        EXPECT_EQ(expected, std::type_index(typeid(made)));
        // Each class shows its shape once, where the shape lies.
        shape->Export();
        const auto shows = Shows(*shape);
        ASSERT_EQ(1u, shows.size());
        ExpectMatrix(CMatrix(1, 0, 0, 1, 10, 10), shows[0]->matrix);
    }
}

// A slide holding one shape of every type, exported whole by both versions (the shapes of the
// path without a timeline and the basic shapes of the timeline), compiles.
TEST_F(BasicShapeTest, EveryTypeThroughTheWholeExportCompiles) {
    for (MsoShapeType type = 1; type <= 24; ++type) {
        CHostShape* node = Add(type, 20.0f + 25.0f * static_cast<float>(type), 40.0f + 15.0f * static_cast<float>(type),
                               120, 60, L"Type " + std::to_wstring(type));
        node->data.rotation = type % 3 == 0 ? 20.0f : 0.0f;
        if (type == msoMedia) node->data.mediaType = ppMediaTypeMovie;
    }
    for (const wchar_t* version : {L"9.0", L"11.0"}) {
        SCOPED_TRACE(U8(version));
        movie.reset();
        Movie(version, 360, 270);
        movie->Export(L"movie.xml");
        EXPECT_FALSE(CompileDescription(scratch.FolderPath() + L"movie.xml").tags.empty());
        EXPECT_EQ(24u, ShapeCount());
    }
}

TEST_F(BasicShapeTest, ShapeBecomesASpriteOverAMetafileOrAPicture) {
    struct Case {
        const char* name;
        MsoShapeType type;
        std::function<void(ShapeData&)> setUp;
        bool sprite;  // else an image
    };
    const Case cases[] = {
        {"solid rectangle", msoAutoShape, [](ShapeData&) {}, true},
        {"line", msoLine, [](ShapeData&) {}, true},
        {"semi-transparent fill", msoAutoShape, [](ShapeData& d) { d.fill.transparency = 0.5f; }, false},
        {"clear fill is no half", msoAutoShape, [](ShapeData& d) { d.fill.transparency = 1.0f; }, true},
        {"gradient fill", msoFreeform, [](ShapeData& d) { d.fill.type = msoFillGradient; }, false},
        {"invisible gradient fill", msoFreeform,
         [](ShapeData& d) {
             d.fill.type = msoFillGradient;
             d.fill.visible = msoFalse;
         },
         true},
        {"semi-transparent line", msoTable, [](ShapeData& d) { d.line.transparency = 0.25f; }, false},
        {"invisible semi-transparent line", msoGroup,
         [](ShapeData& d) {
             d.line.transparency = 0.25f;
             d.line.visible = msoFalse;
         },
         true},
        {"picture", msoPicture, [](ShapeData&) {}, false},
        {"unknown type", 24, [](ShapeData&) {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(c.type, 100, 50, 200, 100);
        c.setUp(node->data);
        auto shape = Make(node);
        auto object = shape->ExportAsPicture(shape->GetShape());
        ASSERT_TRUE(object);
        if (c.sprite) {
            auto sprite = std::dynamic_pointer_cast<CSpriteObject>(object);
            ASSERT_TRUE(sprite);
            EXPECT_EQ(scratch.FolderPath() + sprite->GetId() + L".wmf", sprite->src);
            EXPECT_TRUE(FileExists(sprite->src));
            EXPECT_TRUE(sprite->hasWidth && sprite->hasHeight);
            EXPECT_FLOAT_EQ(200.0f, sprite->width);
            EXPECT_FLOAT_EQ(100.0f, sprite->height);
        } else {
            auto image = std::dynamic_pointer_cast<CImageObject>(object);
            ASSERT_TRUE(image);
            EXPECT_EQ(scratch.FolderPath() + image->GetId() + L".png", image->src);
            EXPECT_TRUE(FileExists(image->src));
            // Later versions take the picture's own size.
            EXPECT_EQ(0.0f, image->width);
            EXPECT_TRUE(image->smoothing);
        }
    }
}

TEST_F(BasicShapeTest, PictureRetriesAndFailures) {
    struct Case {
        const char* name;
        const wchar_t* version;
        MsoShapeType type;
        int failures;             // Shape.Export calls that fail, from the first
        std::wstring extension;   // of the object made, or empty
        std::wstring failedPath;  // extension of the path in the failure
    };
    const Case cases[] = {
        {"picture: PNG refused, metafile taken", L"11.0", msoPicture, 1, L".wmf", L""},
        {"picture: both refused", L"11.0", msoPicture, 2, L"", L".wmf"},
        {"version 9 draws metafiles and fails at once", L"9.0", msoPicture, 1, L"", L".wmf"},
        {"vector sprite refused: the picture path", L"11.0", msoAutoShape, 1, L".png", L""},
        {"vector sprite and picture refused", L"11.0", msoAutoShape, 3, L"", L".wmf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(c.version);
        CHostShape* node = Add(c.type, 100, 50, 200, 100);
        auto shape = Make(node);
        doc->Fail("Shape.Export", E_FAIL, nullptr, c.failures);
        std::shared_ptr<CMovieObject> object;
        std::wstring failure;
        try {
            object = shape->ExportAsPicture(shape->GetShape());
        } catch (const CPPTException& e) {
            EXPECT_EQ(1, e.GetCode());
            failure = e.GetMessage();
        }
        doc->ClearFaults();
        if (c.extension.empty()) {
            EXPECT_FALSE(object);
            const std::wstring tail = c.failedPath + L" in file genswf/src/shapes/BasicShape.cpp at line 349";
            EXPECT_EQ(0u, failure.find(L"failed to save shape as " + scratch.FolderPath())) << U8(failure);
            EXPECT_TRUE(EndsWith(failure, tail)) << U8(failure);
        } else if (c.extension == L".wmf") {
            // The compiler draws a metafile as a sprite of the shape's size, never as an image.
            auto sprite = std::dynamic_pointer_cast<CSpriteObject>(object);
            ASSERT_TRUE(sprite) << U8(failure);
            EXPECT_EQ(scratch.FolderPath() + sprite->GetId() + L".wmf", sprite->src);
            EXPECT_TRUE(FileExists(sprite->src));
            EXPECT_TRUE(sprite->hasWidth && sprite->hasHeight);
            EXPECT_FLOAT_EQ(200.0f, sprite->width);
        } else {
            auto image = std::dynamic_pointer_cast<CImageObject>(object);
            ASSERT_TRUE(image) << U8(failure);
            EXPECT_EQ(scratch.FolderPath() + image->GetId() + c.extension, image->src);
            EXPECT_TRUE(FileExists(image->src));
        }
        // No half-written metafile of a refused sprite is left to be compiled.
        for (const auto& entry : std::filesystem::directory_iterator(U8(scratch.FolderPath())))
            EXPECT_NE(0u, entry.path().filename().string().find("spr")) << entry.path();
    }
}

// Pictures PowerPoint refuses in the picture format are saved once more as metafiles and reach
// the compiler in a form it draws.
TEST_F(BasicShapeTest, RetriedMetafilesCompile) {
    CHostShape* picture = Add(msoPicture, 100, 50, 200, 100, L"Picture");
    picture->data.rotation = 30;
    CHostShape* clear = Add(msoAutoShape, 100, 250, 200, 100, L"Clear");
    clear->data.fill.transparency = 0.5f;
    Movie(L"11.0");
    // The first picture of each shape is refused (the second rule counts from the call after the
    // first rule's); the metafile after it is taken.
    doc->Fail("Shape.Export", E_FAIL, nullptr, 1);
    doc->Fail("Shape.Export", E_FAIL, nullptr, 1, 1);
    doc->ResetCalls();
    movie->Export(L"movie.xml");
    doc->ClearFaults();
    EXPECT_EQ(4, doc->Calls("Shape.Export"));
    const swftest::Movie compiled = CompileDescription(scratch.FolderPath() + L"movie.xml");
    EXPECT_FALSE(compiled.tags.empty());
    int metafiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(U8(scratch.FolderPath())))
        if (entry.path().extension() == ".wmf") ++metafiles;
    EXPECT_EQ(2, metafiles);
}

TEST_F(BasicShapeTest, CopyIsDeletedWhateverFails) {
    struct Case {
        const char* name;
        std::string member;
    };
    const Case cases[] = {
        {"the copy cannot be taken out of its range", "ShapeRange.Item"},
        {"the copy cannot be deleted itself", "Shape.Delete"},
        {"the copy's text cannot be deleted", "TextFrame.DeleteText"},
        {"the copy's size cannot be freed from its text", "TextFrame.put_AutoSize"},
        {"nothing can be exported", "Shape.Export"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100);
        node->SetText(L"Hello");
        node->data.rotation = 20;
        node->data.fill.transparency = 0.5f;
        auto shape = Make(node);
        const std::size_t before = ShapeCount();
        doc->Fail(c.member, E_FAIL);
        try {
            shape->ExportAsPicture(shape->GetShape());
        } catch (const CBaseException&) {}
        doc->ClearFaults();
        EXPECT_EQ(before, ShapeCount());
        EXPECT_EQ(L"Hello", node->data.text.text);
        EXPECT_FLOAT_EQ(20.0f, node->data.rotation);
    }
}

TEST_F(BasicShapeTest, ShapeWithoutTextOrTurnIsExportedInPlace) {
    struct Case {
        const char* name;
        float rotation;
        bool text;
        int duplicates;  // of the user's shape; a turned one is also asked whether it turns
        int exportsInPlace;
    };
    const Case cases[] = {
        {"plain", 0, false, 0, 1},
        {"turned", 15, false, 2, 0},
        {"with text", 0, true, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(msoPicture, 100, 50, 200, 100);
        if (c.text) node->SetText(L"caption");
        node->data.rotation = c.rotation;
        auto shape = Make(node);
        doc->ResetCalls();
        shape->SaveShapeAsPicture(shape->GetShape());
        EXPECT_EQ(c.duplicates, doc->Calls("Shape.Duplicate", node));
        EXPECT_EQ(c.exportsInPlace, doc->Calls("Shape.Export", node));
    }
}

TEST_F(BasicShapeTest, PlacementTurnsAboutThePowerPointFrame) {
    struct Case {
        const char* name;
        MsoShapeType type;
        MsoAutoShapeType autoShape;
        float rotation;
        std::vector<float> adjustments;
        int movieWidth;
        CMatrix matrix;
        Rect bounds;  // movie units
    };
    const float c30 = std::cos(30.0f * 0.0174532924f), s30 = std::sin(30.0f * 0.0174532924f);
    const Case cases[] = {
        {"unturned, movie of the slide's size",
         msoAutoShape,
         msoShapeRectangle,
         0,
         {},
         720,
         CMatrix(1, 0, 0, 1, 100, 50),
         Rect(100, 50, 200, 100)},
        {"turned 30 degrees, movie at half size",
         msoAutoShape,
         msoShapeRectangle,
         30,
         {},
         360,
         CMatrix(c30, s30, -s30, c30, 100 - 50 * c30 + 25 * s30, 50 - 50 * s30 - 25 * c30),
         Rect(100 - 50 * c30 - 25 * s30, 50 - 50 * s30 - 25 * c30, 100 * c30 + 50 * s30, 100 * s30 + 50 * c30)},
        {"callout grows left and up to its tip",
         msoAutoShape,
         106,
         0,
         {-0.25f, -0.5f},
         720,
         CMatrix(1, 0, 0, 1, 50, 0),
         Rect(50, 0, 250, 150)},
        {"turned callout turns about PowerPoint's frame",
         msoAutoShape,
         106,
         90,
         {-0.25f, -0.5f},
         720,
         CMatrix(0, 1, -1, 0, 300, -50),
         Rect(150, -50, 150, 250)},
        {"embedded objects are never turned",
         msoEmbeddedOLEObject,
         msoShapeRectangle,
         30,
         {},
         720,
         CMatrix(1, 0, 0, 1, 100, 50),
         Rect(100, 50, 200, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(L"11.0", c.movieWidth, c.movieWidth * 3 / 4);
        CHostShape* node = Add(c.type, 100, 50, 200, 100);
        node->data.autoShapeType = c.autoShape;
        node->data.rotation = c.rotation;
        node->data.adjustments = c.adjustments;
        auto shape = Make(node);
        ExpectMatrix(c.matrix, shape->GetPlacement());
        const Rect bounds = shape->GetBounds();
        EXPECT_NEAR(c.bounds.x, bounds.x, 1e-3);
        EXPECT_NEAR(c.bounds.y, bounds.y, 1e-3);
        EXPECT_NEAR(c.bounds.width, bounds.width, 1e-3);
        EXPECT_NEAR(c.bounds.height, bounds.height, 1e-3);

        // The plain export shows the object there.
        shape->Export();
        const auto shows = Shows(*shape);
        ASSERT_EQ(1u, shows.size());
        ExpectMatrix(c.matrix, shows[0]->matrix);
        EXPECT_TRUE(shape->GetObjectsCollection()->Contains(shape->GetAnimatedObject()->GetCurrentObject()));
    }
}

TEST_F(BasicShapeTest, CalloutWhoseTipCannotBeReadKeepsItsFrame) {
    CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100);
    node->data.autoShapeType = 105;
    node->data.adjustments = {-0.25f, -0.5f};
    auto shape = Make(node);
    doc->Fail("Adjustments.get_Item", E_FAIL, nullptr, 1, 1);
    EXPECT_FLOAT_EQ(100.0f, shape->GetLeft());
    EXPECT_FLOAT_EQ(50.0f, shape->GetTop());
    EXPECT_FLOAT_EQ(200.0f, shape->GetWidth());
    EXPECT_FLOAT_EQ(100.0f, shape->GetHeight());
}

TEST_F(BasicShapeTest, ShapeAndTextAreExportedApart) {
    struct Case {
        const char* name;
        MsoTriState visible;
        bool text;
        std::size_t shapeShows;
        bool textShown;
    };
    const Case cases[] = {
        {"hidden shape without text", msoFalse, false, 0, false},
        {"hidden shape with text: only the text", msoFalse, true, 0, true},
        {"visible shape without text: only the picture", msoTrue, false, 1, false},
        {"visible shape with text: both", msoTrue, true, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100);
        node->data.visible = c.visible;
        if (c.text) node->SetText(L"Hello");
        auto shape = Make(node);
        shape->Export();
        EXPECT_EQ(c.shapeShows, Shows(*shape).size());
        EXPECT_EQ(c.textShown, shape->GetSecondLayer()->GetFrames()->HasCommands());
    }
}

// Once its slide is exported a shape lets its text model go; the movie written afterwards still
// shows the text, and a later reader gets the text read again, never an empty model.
TEST_F(BasicShapeTest, ExportedSlideLetsTheTextModelGo) {
    CHostShape* node = Add(msoAutoShape, 100, 50, 300, 100);
    node->SetText(L"Hello\rWorld");
    Movie(L"11.0");
    const auto& list = Slide()->GetShapeList();
    ASSERT_TRUE(list);
    ASSERT_EQ(1u, list->GetHandles().size());
    const std::shared_ptr<CBasicShape> shape = list->GetHandles()[0]->GetHolder()->GetBasicShape();
    std::weak_ptr<CTextFrameContent> read = shape->GetTextContent();
    ASSERT_EQ(2u, read.lock()->GetParagraphCount());

    movie->Export(L"movie.xml");
    EXPECT_TRUE(read.expired());
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(scratch.FolderPath() + L"movie.xml", bytes));
    const std::string xml(bytes.begin(), bytes.end());
    EXPECT_NE(std::string::npos, xml.find("Hello"));
    EXPECT_NE(std::string::npos, xml.find("World"));

    const std::shared_ptr<CTextFrameContent> again = shape->GetTextContent();
    ASSERT_TRUE(again);
    EXPECT_EQ(2u, again->GetParagraphCount());
}

TEST_F(BasicShapeTest, WholeShapeEffectsReuseTheExportedObject) {
    auto effect = [](std::int32_t paragraph, std::uint32_t start) {
        CTimeLineEffect::Values values;
        values.paragraph = paragraph;
        values.targetShapeName = L"Shape 1";
        auto made = std::make_shared<CTimeLineEffect>(values);
        made->SetStartFrame(start);
        made->SetEndFrame(start + 5);
        return made;
    };
    CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100);
    auto shape = Make(node);
    doc->ResetCalls();
    shape->ExportWithEffect(effect(0, 0));  // a paragraph's: the text's business
    EXPECT_FALSE(shape->GetAnimatedObject()->GetCurrentObject());
    shape->ExportWithEffect(effect(-1, 10));
    auto first = shape->GetAnimatedObject()->GetCurrentObject();
    ASSERT_TRUE(first);
    shape->ExportWithEffect(effect(-1, 30));
    EXPECT_EQ(first, shape->GetAnimatedObject()->GetCurrentObject());
    EXPECT_EQ(1u, shape->GetObjectsCollection()->GetObjects().size());
    EXPECT_EQ(1, doc->Calls("Shape.Export"));
}

TEST_F(BasicShapeTest, ColourBehindTheTextFollowsTheFill) {
    struct Case {
        const char* name;
        MsoTriState visible, fill;
        COLORREF base;
    };
    // Without a fill, the slide's background colour.
    doc->Master()->background.fill.foreColor.rgb = 0x0000AA;
    const Case cases[] = {
        {"visible shape with a fill", msoTrue, msoTrue, 0x204080},
        {"visible shape without a fill", msoTrue, msoFalse, 0x0000AA},
        {"hidden shape with a fill", msoFalse, msoTrue, 0x204080},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100);
        node->data.visible = c.visible;
        node->data.fill.visible = c.fill;
        node->data.fill.foreColor.rgb = 0x204080;
        auto shape = Make(node);
        EXPECT_EQ(c.base, shape->GetBaseColor());
    }
    auto colored = Make(Add(msoAutoShape, 0, 0, 10, 10));
    EXPECT_EQ(0xFFFFFFu, colored->GetBaseColor());
    EXPECT_EQ(0xFFFFFFu, colored->GetLightColor());
    EXPECT_EQ(0x999999u, colored->GetDarkColor());
    EXPECT_EQ(0xC0C0C0u, colored->GetContrastColor(0));
}

TEST_F(BasicShapeTest, EmbeddedMovieIsAFittedSpriteOnItsOwnExporter) {
    Movie(L"11.0", 360, 270);
    CHostShape* node = Add(msoOLEControlObject, 100, 100, 275, 100, L"Flash");
    node->data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.1";
    node->data.ole.object = Controls::CreateFlashControl(FlashStorage(swftest::Compressed(swftest::Plain())));
    auto shape = std::dynamic_pointer_cast<COleObjectShape>(Make(node));
    ASSERT_TRUE(shape);
    ASSERT_TRUE(shape->GetEmbeddedMovie());

    auto sprite = std::dynamic_pointer_cast<CSpriteObject>(shape->ExportAsPicture(shape->GetShape()));
    ASSERT_TRUE(sprite);
    EXPECT_EQ(scratch.FolderPath() + sprite->GetId() + L".swf", sprite->src);
    EXPECT_FALSE(sprite->hasWidth);
    std::vector<std::uint8_t> written;
    ASSERT_TRUE(ReadWholeFile(sprite->src, written));
    EXPECT_EQ(std::string("CWS"), std::string(written.begin(), written.begin() + 3));

    // Fitted (scale 0.25, 68.75 points in), to half size, then where the shape lies.
    ExpectMatrix(CMatrix(0.125f, 0, 0, 0.125f, 84.375f, 50.0f), shape->GetPlacement());
    EXPECT_EQ(movie->GetEffectExporterFactory()->GetEmbeddedMovieExporter(), shape->GetEffectExporter(nullptr));
}

TEST_F(BasicShapeTest, OleObjectsWithoutAMovie) {
    struct Case {
        const char* name;
        MsoShapeType type;
        std::function<void(CHostShape&, CHostDocument&)> setUp;
        bool sprite;  // a vector sprite; else a picture
    };
    const Case cases[] = {
        {"listed embedded Flash object", msoEmbeddedOLEObject,
         [](CHostShape& s, CHostDocument&) { s.data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.7"; }, true},
        {"ProgIDs are compared exactly", msoEmbeddedOLEObject,
         [](CHostShape& s, CHostDocument&) { s.data.ole.progId = L"shockwaveflash.shockwaveflash.7"; }, false},
        {"an object that cannot name itself", msoEmbeddedOLEObject,
         [](CHostShape& s, CHostDocument& d) {
             s.data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.7";
             d.Fail("OLEFormat.get_ProgID", E_FAIL);
         },
         false},
        {"control that cannot name its movie", msoOLEControlObject,
         [](CHostShape& s, CHostDocument& d) {
             s.data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.1";
             s.data.ole.object = Controls::CreateFlashControl({});
             d.Fail("OLEFormat.get_Object", E_FAIL);
         },
         false},
        {"control whose storage holds no movie", msoOLEControlObject,
         [](CHostShape& s, CHostDocument&) {
             s.data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.1";
             s.data.ole.object = Controls::CreateFlashControl(testcfb::Build({{"Contents", {1, 2, 3}}}));
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(c.type, 100, 50, 200, 100);
        c.setUp(*node, *doc);
        auto shape = std::dynamic_pointer_cast<COleObjectShape>(Make(node));
        ASSERT_TRUE(shape);
        auto object = shape->ExportAsPicture(shape->GetShape());
        doc->ClearFaults();
        EXPECT_FALSE(shape->GetEmbeddedMovie());
        EXPECT_EQ(c.sprite, std::dynamic_pointer_cast<CSpriteObject>(object) != nullptr);
        EXPECT_EQ(!c.sprite, std::dynamic_pointer_cast<CImageObject>(object) != nullptr);
        ExpectMatrix(CMatrix(1, 0, 0, 1, 100, 50), shape->GetPlacement());
    }
}

TEST_F(BasicShapeTest, ShapeListKeepsCollectionAndStackingOrder) {
    Movie(L"11.0");
    for (const wchar_t* name : {L"back", L"middle", L"front"}) Add(msoAutoShape, 0, 0, 10, 10, name);
    auto list = CShapes::Create(Slide());
    ASSERT_EQ(3u, list->GetHandles().size());
    ASSERT_EQ(3u, list->GetHandlesByZOrder().size());
    const wchar_t* names[] = {L"back", L"middle", L"front"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(names[i], list->GetHandles()[i]->GetName());
        EXPECT_EQ(names[i], list->GetHandlesByZOrder()[i]->GetName());
        EXPECT_EQ(i, list->GetHandles()[i]->GetHolder()->GetShapeIndex());
        EXPECT_EQ(i, list->GetHandles()[i]->GetHolder()->GetContext()->GetShapeIndex());
    }
    doc->Fail("Shapes.Item", E_FAIL, nullptr, 1, 1);
    EXPECT_EQ(bctest::PptFailureText("genswf/src/shapes/Shapes.cpp", 35),
              bctest::PptFailureOf([&] { CShapes::Create(Slide()); }));
}

TEST_F(BasicShapeTest, EmptySlideGivesAnEmptyList) {
    Movie(L"11.0");
    auto list = CShapes::Create(Slide());
    EXPECT_TRUE(list->GetHandles().empty());
    EXPECT_TRUE(list->GetHandlesByZOrder().empty());
}

TEST_F(BasicShapeTest, ContextConvertsToMovieUnits) {
    struct Case {
        int width;
        float x, expected;
    };
    for (const Case& c : {Case{720, 123.5f, 123.5f}, Case{360, 123.5f, 61.75f}}) {
        movie.reset();
        Movie(L"11.0", c.width, c.width * 3 / 4);
        auto context = CShapeContext::Create(Slide(), 0);
        EXPECT_FLOAT_EQ(c.expected, context->ToMovieX(c.x));
        EXPECT_FLOAT_EQ(c.expected, context->ToMovieY(c.x));
        EXPECT_FLOAT_EQ(static_cast<float>(c.width), context->GetSlideWidthInMovie());
        EXPECT_EQ(scratch.FolderPath(), context->GetWorkFolder());
        EXPECT_EQ(movie.get(), context->GetMovie());
    }
}

TEST(ShapeEffectList, GathersTheEffectsOfItsShapeByExactName) {
    auto effect = [](const std::wstring& target) {
        CTimeLineEffect::Values values;
        values.targetShapeName = target;
        return std::make_shared<CTimeLineEffect>(values);
    };
    auto list = CShapeEffectList::Create(L"Title 1");
    list->AddIfTarget(effect(L"Title 1"));
    list->AddIfTarget(effect(L"title 1"));
    list->AddIfTarget(effect(L"Title 10"));
    list->AddIfTarget(nullptr);
    auto second = effect(L"Title 1");
    list->AddIfTarget(second);
    ASSERT_EQ(2u, list->GetCount());
    EXPECT_EQ(second, list->GetItem(1));
}

}  // namespace
