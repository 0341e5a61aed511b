// The shape exporter of the path without a timeline: which shapes become pictures, their
// bounds and placement, the pictures PowerPoint renders of them (with the WMF retry and the
// dimmed picture), their definitions, sound shapes, and the build events written as frames.

#include "CfbBuilder.h"
#include "PptFailureText.h"
#include "ShapeFixture.h"
#include "SwfTestSupport.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/shapes/Shape.h"
#include "genswf/text/ShapeTextIndex.h"
#include "powerpoint/controls/FlashControl.h"

#include <cmath>
#include <filesystem>
#include <functional>

using namespace genswf;
using namespace shapetest;
using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

class CShapeTest : public ShapeTest {
protected:
    std::shared_ptr<CShape> Make(CHostShape* node) {
        Movie();
        try {
            return CShape::Create(node->Interface(), Slide(), static_cast<int>(slide->shapes.size()) - 1);
        } catch (const CBaseException& e) {
            ADD_FAILURE() << U8(e.GetMessage());
            throw;
        }
    }
    // Pictures, definitions under the movie's objects, the build at the clock, then frames.
    std::string Build(const std::vector<std::shared_ptr<CShape>>& shapes, float& clock, float& last) {
        for (const auto& s : shapes) s->SavePictures(scratch.FolderPath());
        for (const auto& s : shapes) s->ExportDefinitions(movie->GetObjectsElement());
        for (const auto& s : shapes) s->ExportBuild(clock, last);
        return Frames(shapes);
    }
    std::string Frames(const std::vector<std::shared_ptr<CShape>>& shapes) {
        std::string out;
        for (const auto& s : shapes) {
            s->WriteFrames();
            out += (out.empty() ? "" : " || ") + DescribeFrames(*s->GetFrameList());
        }
        return out;
    }
};

void ExpectMatrix(const CMatrix& expected, const CMatrix& actual) {
    EXPECT_NEAR(expected.a, actual.a, 1e-4);
    EXPECT_NEAR(expected.b, actual.b, 1e-4);
    EXPECT_NEAR(expected.c, actual.c, 1e-4);
    EXPECT_NEAR(expected.d, actual.d, 1e-4);
    EXPECT_NEAR(expected.tx, actual.tx, 1e-3);
    EXPECT_NEAR(expected.ty, actual.ty, 1e-3);
}

void ExpectRect(const Rect& expected, const Rect& actual) {
    EXPECT_NEAR(expected.x, actual.x, 1e-3);
    EXPECT_NEAR(expected.y, actual.y, 1e-3);
    EXPECT_NEAR(expected.width, actual.width, 1e-3);
    EXPECT_NEAR(expected.height, actual.height, 1e-3);
}

TEST_F(CShapeTest, WhichShapesArePictures) {
    struct Case {
        const char* name;
        MsoShapeType type;
        MsoTriState visible, fill, line;
        bool picture;
    };
    const Case cases[] = {
        {"hidden picture", msoPicture, msoFalse, msoFalse, msoFalse, true},
        {"hidden linked picture", msoLinkedPicture, msoFalse, msoFalse, msoFalse, true},
        {"rectangle without fill and line", msoAutoShape, msoTrue, msoFalse, msoFalse, false},
        {"rectangle with a line only", msoAutoShape, msoTrue, msoFalse, msoTrue, true},
        {"text box with a fill only", msoTextBox, msoTrue, msoTrue, msoFalse, true},
        {"hidden rectangle with a fill", msoAutoShape, msoFalse, msoTrue, msoFalse, true},
        {"visible group", msoGroup, msoTrue, msoFalse, msoFalse, true},
        {"hidden table", msoTable, msoFalse, msoTrue, msoTrue, false},
        {"visible embedded object", msoEmbeddedOLEObject, msoTrue, msoFalse, msoFalse, true},
        {"visible control without a movie", msoOLEControlObject, msoTrue, msoFalse, msoFalse, true},
        {"hidden control", msoOLEControlObject, msoFalse, msoTrue, msoTrue, false},
        {"visible media", msoMedia, msoTrue, msoFalse, msoFalse, true},
        {"visible ink", msoInk, msoTrue, msoFalse, msoFalse, true},
        {"placeholder that is no picture frame", msoPlaceholder, msoTrue, msoTrue, msoTrue, false},
        {"unknown type", 24, msoTrue, msoTrue, msoTrue, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHostShape* node = Add(c.type, 10, 10, 100, 50);
        node->data.visible = c.visible;
        node->data.fill.visible = c.fill;
        node->data.line.visible = c.line;
        EXPECT_EQ(c.picture, Make(node)->IsExportedAsPicture());
    }
}

TEST_F(CShapeTest, BoundsAndPlacementTurnAboutTheShapesCentre) {
    struct Case {
        const char* name;
        MsoShapeType type;
        MsoAutoShapeType autoShape;
        float left, top, width, height, rotation;
        std::vector<float> adjustments;
        MsoTriState connector, horizontalFlip, verticalFlip;
        int movieWidth;  // the slide is 720 points wide
        Rect bounds;     // points
        CMatrix matrix;  // of the placed picture, movie units
    };
    const Case cases[] = {
        {"rectangle turned a quarter, movie at half size",
         msoAutoShape,
         msoShapeRectangle,
         100,
         50,
         200,
         100,
         90,
         {},
         msoFalse,
         msoFalse,
         msoFalse,
         360,
         Rect(100, 50, 200, 100),
         CMatrix(0, 1, -1, 0, 125, 0)},
        {"adjustments of a plain rectangle do not count",
         msoAutoShape,
         msoShapeRoundedRectangle,
         100,
         50,
         200,
         100,
         0,
         {0.4f, 3.0f},
         msoFalse,
         msoFalse,
         msoFalse,
         720,
         Rect(100, 50, 200, 100),
         CMatrix(1, 0, 0, 1, 100, 50)},
        {"callout whose tip lies left and below",
         msoAutoShape,
         105,
         100,
         100,
         200,
         100,
         0,
         {-0.25f, 1.5f},
         msoFalse,
         msoFalse,
         msoFalse,
         720,
         Rect(50, 100, 250, 150),
         CMatrix(1, 0, 0, 1, 50, 100)},
        {"the same callout flipped horizontally",
         msoAutoShape,
         105,
         100,
         100,
         200,
         100,
         0,
         {-0.25f, 1.5f},
         msoFalse,
         msoTrue,
         msoFalse,
         720,
         Rect(100, 100, 250, 150),
         CMatrix(1, 0, 0, 1, 100, 100)},
        {"the same callout flipped vertically",
         msoAutoShape,
         105,
         100,
         100,
         200,
         100,
         0,
         {-0.25f, 1.5f},
         msoFalse,
         msoFalse,
         msoTrue,
         720,
         Rect(50, 50, 250, 150),
         CMatrix(1, 0, 0, 1, 50, 50)},
        {"callout turned half way, movie at half size",
         msoAutoShape,
         105,
         100,
         100,
         200,
         100,
         180,
         {-0.25f, 1.5f},
         msoFalse,
         msoFalse,
         msoFalse,
         360,
         Rect(50, 100, 250, 150),
         CMatrix(-1, 0, 0, -1, 175, 100)},
        {"callout shape widened by every pair it has",
         msoCallout,
         msoShapeRectangle,
         100,
         100,
         200,
         100,
         0,
         {0.5f, -0.5f, 1.25f, 0.5f},
         msoFalse,
         msoFalse,
         msoFalse,
         720,
         Rect(100, 50, 250, 150),
         CMatrix(1, 0, 0, 1, 100, 50)},
        {"connector with a bend outside its frame",
         msoAutoShape,
         33,
         100,
         100,
         200,
         100,
         0,
         {0.5f, -1.0f},
         msoTrue,
         msoFalse,
         msoFalse,
         720,
         Rect(100, 0, 200, 200),
         CMatrix(1, 0, 0, 1, 100, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(L"9.0", c.movieWidth, c.movieWidth * 3 / 4);
        CHostShape* node = Add(c.type, c.left, c.top, c.width, c.height);
        node->data.autoShapeType = c.autoShape;
        node->data.rotation = c.rotation;
        node->data.adjustments = c.adjustments;
        node->data.connector = c.connector;
        node->data.horizontalFlip = c.horizontalFlip;
        node->data.verticalFlip = c.verticalFlip;
        auto shape = Make(node);
        // The shape's own rectangle stays PowerPoint's.
        EXPECT_FLOAT_EQ(c.left, shape->GetLeft());
        EXPECT_FLOAT_EQ(c.width, shape->GetWidth());
        ExpectRect(c.bounds, Rect(shape->GetBoundsLeft(), shape->GetBoundsTop(), shape->GetBoundsWidth(),
                                  shape->GetBoundsHeight()));
        shape->PlacePicture(0.0f, CEffectRegistry::GetRequiredGlobal()->GetEffect(0), false);
        ExpectMatrix(c.matrix, shape->GetPlacedPicture()->firstMatrix);
        ExpectMatrix(c.matrix, shape->GetPlacedPicture()->secondMatrix);
    }
}

TEST_F(CShapeTest, RotatedBoundsInMovieUnits) {
    Movie(L"9.0", 360, 270);
    CHostShape* node = Add(msoAutoShape, 100, 50, 200, 100);
    node->data.rotation = 90;
    auto shape = Make(node);
    ExpectRect(Rect(75, 0, 50, 100), shape->GetRotatedBounds());
    ExpectRect(Rect(75, 0, 50, 100), shape->GetRotatedPictureBounds());
}

TEST_F(CShapeTest, PictureComesFromAnUnturnedCopyWithoutText) {
    struct Case {
        const char* name;
        const wchar_t* version;
        MsoShapeType type;
        float rotation;
        const wchar_t* extension;
        float rotationAfter;  // what the movie still has to turn
    };
    const Case cases[] = {
        {"rectangle, version 9 draws metafiles", L"9.0", msoAutoShape, 30, L".wmf", 30},
        {"rectangle, later versions draw PNG", L"11.0", msoAutoShape, 30, L".png", 30},
        {"embedded object keeps its turn in the picture", L"11.0", msoEmbeddedOLEObject, 30, L".png", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(c.version);
        CHostShape* node = Add(c.type, 100, 100, 120, 80);
        node->data.rotation = c.rotation;
        auto shape = Make(node);
        const std::size_t before = ShapeCount();
        doc->ResetCalls();
        shape->SavePictures(scratch.FolderPath());
        EXPECT_EQ(before, ShapeCount());
        EXPECT_EQ(0, doc->Calls("Shape.Export", node));
        EXPECT_TRUE(EndsWith(shape->GetImageFile(), shape->GetImageId() + c.extension)) << U8(shape->GetImageFile());
        EXPECT_TRUE(FileExists(shape->GetImageFile()));
        EXPECT_FLOAT_EQ(c.rotationAfter, shape->GetRotation());
        EXPECT_TRUE(shape->GetDimImageFile().empty());
    }
}

TEST_F(CShapeTest, PictureThatPowerPointRefusesIsSavedAsMetafile) {
    Movie(L"11.0");
    CHostShape* node = Add(msoAutoShape, 100, 100, 120, 80);
    auto shape = Make(node);
    doc->Fail("Shape.Export", E_FAIL, nullptr, 1);
    shape->SavePictures(scratch.FolderPath());
    EXPECT_TRUE(EndsWith(shape->GetImageFile(), shape->GetImageId() + L".wmf"));
    EXPECT_TRUE(FileExists(shape->GetImageFile()));

    CHostShape* other = Add(msoAutoShape, 100, 100, 120, 80);
    auto refused = Make(other);
    const std::size_t before = ShapeCount();
    doc->Fail("Shape.Export", E_FAIL);
    EXPECT_EQ(L"Faied to save shape background in file genswf/src/shapes/ShapePictures.cpp at line 467",
              bctest::PptFailureOf([&] { refused->SavePictures(scratch.FolderPath()); }));
    EXPECT_EQ(before, ShapeCount());
}

TEST_F(CShapeTest, CopyIsDeletedWhateverFails) {
    struct Case {
        const char* name;
        std::function<void(CHostDocument&)> fault;
        bool throws;
    };
    const Case cases[] = {
        {"the copy cannot be taken out of its range", [](CHostDocument& d) { d.Fail("ShapeRange.Item", E_FAIL); },
         true},
        {"the copy refuses to be deleted", [](CHostDocument& d) { d.Fail("Shape.Delete", E_FAIL); }, false},
        {"the dim colour cannot be set", [](CHostDocument& d) { d.Fail("ColorFormat.put_RGB", E_FAIL); }, true},
        {"the copy cannot be turned", [](CHostDocument& d) { d.Fail("Shape.put_Rotation", E_FAIL); }, false},
        {"nothing can be exported", [](CHostDocument& d) { d.Fail("Shape.Export", E_FAIL); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(L"9.0");
        CHostShape* node = Add(msoAutoShape, 100, 100, 120, 80);
        node->data.rotation = 45;
        node->data.animation.animate = msoTrue;
        node->data.animation.afterEffect = ppAfterEffectDim;
        auto shape = Make(node);
        const std::size_t before = ShapeCount();
        c.fault(*doc);
        bool threw = false;
        try {
            shape->SavePictures(scratch.FolderPath());
        } catch (const CBaseException&) {
            threw = true;
        }
        doc->ClearFaults();
        EXPECT_EQ(c.throws, threw);
        EXPECT_EQ(before, ShapeCount());
    }
}

TEST_F(CShapeTest, DimAfterEffectGivesASecondPictureInTheDimColour) {
    struct Case {
        const char* name;
        MsoShapeType type;
        int red, green, blue;  // added to the dimmed picture
    };
    const Case cases[] = {
        {"picture: brightness and contrast 0, colour added", msoPicture, 0x99, 0x66, 0x33},
        {"rectangle: recoloured, nothing added", msoAutoShape, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(L"9.0");
        CHostShape* node = Add(c.type, 100, 100, 120, 80);
        node->data.animation.animate = msoTrue;
        node->data.animation.afterEffect = ppAfterEffectDim;
        node->data.animation.dimColor.rgb = 0x336699;
        auto shape = Make(node);
        shape->SavePictures(scratch.FolderPath());
        ASSERT_FALSE(shape->GetDimImageId().empty());
        EXPECT_NE(shape->GetImageId(), shape->GetDimImageId());
        EXPECT_TRUE(FileExists(shape->GetDimImageFile()));
        EXPECT_EQ(c.red, shape->GetDimRed());
        EXPECT_EQ(c.green, shape->GetDimGreen());
        EXPECT_EQ(c.blue, shape->GetDimBlue());

        XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
        shape->ExportDefinitions(defs);
        // Version 9 draws metafiles, which the compiler takes as sprites.
        EXPECT_EQ(2, CountChildren(defs, L"sprite"));
        // The original keeps its colours and picture settings.
        EXPECT_EQ(0.5f, node->data.picture.brightness);
        EXPECT_EQ(0xFFFFFFu, node->data.fill.foreColor.rgb);
    }
}

TEST_F(CShapeTest, ImageDefinitionIsSizedOnlyByVersion9) {
    struct Case {
        const char* name;
        const wchar_t* version;
        const wchar_t* element;  // a metafile is a sprite of the compiler's, other pictures images
        std::wstring width, height;
    };
    const Case cases[] = {
        {"version 9: a metafile sprite of the bounds in movie units", L"9.0", L"sprite", L"2400tw", L"1200tw"},
        {"later versions: the picture's own size", L"11.0", L"image", L"0tw", L"0tw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(c.version, 360, 270);
        auto shape = Make(Add(msoAutoShape, 100, 100, 240, 120));
        shape->SavePictures(scratch.FolderPath());
        XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
        shape->ExportDefinitions(defs);
        XmlElementPtr image = Child(defs, c.element);
        ASSERT_TRUE(image);
        EXPECT_EQ(shape->GetImageId(), image->getAttribute(L"id"));
        EXPECT_EQ(shape->GetImageFile(), image->getAttribute(L"src"));
        EXPECT_EQ(c.width, image->getAttribute(L"width"));
        EXPECT_EQ(c.height, image->getAttribute(L"height"));
        EXPECT_EQ(std::wstring(c.element) == L"image" ? L"1" : L"", image->getAttribute(L"smoothing"));
        EXPECT_FALSE(shape->GetButton());
    }
}

TEST_F(CShapeTest, SoundShapeWhoseFileIsGoneIsExportedFromPowerPoint) {
    Movie(L"9.0");
    CHostShape* node = Add(msoMedia, 10, 10, 32, 32);
    node->data.mediaType = ppMediaTypeSound;
    node->data.sound.type = ppSoundWAV;
    node->data.sound.sourceFullName = scratch.FolderPath() + L"gone/ding.wav";
    node->data.sound.data = TinyWav();
    auto shape = Make(node);
    shape->SavePictures(scratch.FolderPath());
    XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
    shape->ExportDefinitions(defs);

    // No image for a media shape; a sprite that streams the exported copy.
    EXPECT_EQ(0, CountChildren(defs, L"image"));
    ASSERT_TRUE(shape->GetSoundSprite());
    XmlElementPtr sprite = Child(defs, L"sprite");
    ASSERT_TRUE(sprite);
    EXPECT_EQ(shape->GetSoundSprite()->spriteId, sprite->getAttribute(L"id"));
    const std::string xml = U8(sprite->xml());
    EXPECT_NE(std::string::npos, xml.find(U8(scratch.FolderPath()) + "snd0.wav")) << xml;
    EXPECT_NE(std::string::npos, xml.find("startSoundStream")) << xml;
    EXPECT_TRUE(FileExists(scratch.FolderPath() + L"snd0.wav"));

    float clock = 0.0f, last = 0.0f;
    shape->ExportBuild(clock, last);
    shape->WriteFrames();
    EXPECT_EQ("0: show " + U8(shape->GetSoundSprite()->spriteId), DescribeFrames(*shape->GetFrameList()));
    ExpectMatrix(CMatrix(), shape->GetPlacedPicture()->GetShowCommand()->matrix);
}

TEST_F(CShapeTest, SoundThatPowerPointCannotExportIsReported) {
    Movie(L"9.0");
    CHostShape* node = Add(msoMedia, 10, 10, 32, 32);
    node->data.mediaType = ppMediaTypeSound;
    node->data.sound.type = ppSoundWAV;
    node->data.sound.sourceFullName = scratch.FolderPath() + L"gone/ding.wav";
    auto shape = Make(node);
    doc->Fail("SoundFormat.Export", E_FAIL);
    XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
    EXPECT_THROW(shape->ExportDefinitions(defs), CPPTException);
    EXPECT_FALSE(shape->GetSoundSprite());
}

TEST_F(CShapeTest, SoundThatCannotBePlayedIsLeftOutWithAWarning) {
    Movie(L"9.0");
    CHostShape* node = Add(msoMedia, 10, 10, 32, 32);
    node->data.mediaType = ppMediaTypeSound;
    node->data.sound.type = ppSoundWAV;
    node->data.sound.sourceFullName = scratch.FolderPath() + L"gone/ding.wav";
    node->data.sound.data = {'n', 'o', ' ', 's', 'o', 'u', 'n', 'd'};
    auto shape = Make(node);
    XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
    shape->ExportDefinitions(defs);
    // Neither the file nor PowerPoint's copy plays, and the compiler would refuse the whole
    // movie for it: the movie goes without the sound.
    EXPECT_FALSE(shape->GetSoundSprite());
    EXPECT_EQ(0, CountChildren(defs, L"sprite"));
    const std::vector<std::wstring>& warnings = movie->GetProgressSink()->GetWarnings();
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], L"Slide 1, shape 1: its sound cannot be played and is left out.");
}

TEST_F(CShapeTest, MediaShapeWithoutItsSoundIsNotPlaced) {
    Movie(L"9.0");
    CHostShape* node = Add(msoMedia, 10, 10, 160, 120);
    node->data.mediaType = ppMediaTypeMovie;
    auto shape = Make(node);
    ASSERT_TRUE(shape->IsExportedAsPicture());
    float clock = 1.0f, last = 0.0f;
    EXPECT_EQ("", Build({shape}, clock, last));
    EXPECT_FALSE(shape->GetPlacedPicture());
    EXPECT_FLOAT_EQ(1.0f, clock);
    XmlElementPtr layers = movie->CreateElement(movie->GetRootElement(), L"layersOfShape");
    shape->WriteLayer(layers);
    EXPECT_EQ(0, CountChildren(layers, L"layer"));
}

TEST_F(CShapeTest, BuildTimingOfPictures) {
    struct Step {
        MsoTriState animate;
        PpAdvanceMode mode;
        float advanceTime;
        PpEntryEffect effect;
        PpAfterEffect after;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool marginOff;
        std::string frames;  // per shape, "||" between shapes
        float clock;
    };
    const Step still{msoFalse, ppAdvanceOnClick, 0, 0, ppAfterEffectNothing};
    const Case cases[] = {
        {"not animated: shown at once", {still}, false, "0: show img0", 0.0f},
        {"on click: the time margin",
         {{msoTrue, ppAdvanceOnClick, 0, 257, ppAfterEffectNothing}},
         false,
         "20: show img0",
         2.0f},
        {"on click without the margin",
         {{msoTrue, ppAdvanceOnClick, 0, 257, ppAfterEffectNothing}},
         true,
         "0: show img0",
         0.0f},
        {"after previous: the advance time",
         {{msoTrue, ppAdvanceOnTime, 1.5f, 257, ppAfterEffectNothing},
          {msoTrue, ppAdvanceOnTime, 0.5f, 257, ppAfterEffectNothing}},
         false,
         "15: show img0 || 20: show img1",
         2.0f},
        {"a long effect delays the next on-click shape",
         {{msoTrue, ppAdvanceOnClick, 0, 3341, ppAfterEffectNothing},
          {msoTrue, ppAdvanceOnClick, 0, 257, ppAfterEffectNothing}},
         false,
         "20: show img0 || 70: show img1",
         7.0f},
        {"hidden after its effect",
         {{msoTrue, ppAdvanceOnTime, 1.0f, 3329, ppAfterEffectHide}},
         false,
         "10: show img0 | 15: hide img0",
         1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(L"9.0");
        movie->SetTimeMarginOff(c.marginOff);
        std::vector<std::shared_ptr<CShape>> shapes;
        for (const Step& s : c.steps) {
            CHostShape* node = Add(msoAutoShape, 100, 100, 100, 100);
            node->data.animation.animate = s.animate;
            node->data.animation.advanceMode = s.mode;
            node->data.animation.advanceTime = s.advanceTime;
            node->data.animation.entryEffect = s.effect;
            node->data.animation.afterEffect = s.after;
            shapes.push_back(Make(node));
        }
        float clock = 0.0f, last = 0.0f;
        EXPECT_EQ(c.frames, Build(shapes, clock, last));
        EXPECT_FLOAT_EQ(c.clock, clock);
    }
}

TEST_F(CShapeTest, DimmedPictureReplacesThePictureWithTheColourAddedOnce) {
    Movie(L"9.0");
    std::vector<std::shared_ptr<CShape>> shapes;
    for (MsoShapeType type : {msoPicture, msoAutoShape}) {
        CHostShape* node = Add(type, 100, 100, 100, 100);
        node->data.animation.animate = msoTrue;
        node->data.animation.advanceMode = ppAdvanceOnTime;
        node->data.animation.entryEffect = 257;
        node->data.animation.afterEffect = ppAfterEffectDim;
        node->data.animation.dimColor.rgb = 0x102030;
        shapes.push_back(Make(node));
    }
    float clock = 0.0f, last = 0.0f;
    for (const auto& s : shapes) s->SavePictures(scratch.FolderPath());
    for (const auto& s : shapes) s->ExportDefinitions(movie->GetObjectsElement());
    shapes[0]->ExportBuild(clock, last);
    shapes[1]->ExportBuild(clock, last);
    // The slide dims the first when the second has been shown; a second dim changes nothing.
    shapes[0]->DimAll(3.0f);
    shapes[0]->DimAll(4.0f);
    shapes[1]->DimAll(5.0f);
    EXPECT_TRUE(shapes[0]->GetPictureObjects().empty());
    const std::wstring dim0 = shapes[0]->GetDimImageId(), dim1 = shapes[1]->GetDimImageId();
    EXPECT_EQ("0: show img0 | 30: hide img0 | 30: show " + U8(dim0) +
                  " +48,32,16 || 0: show img2 | 50: hide img2 | 50: show " + U8(dim1),
              Frames(shapes));
    EXPECT_EQ(0, shapes[0]->GetDimRed());
}

TEST_F(CShapeTest, EmbeddedMovieIsWrittenAndPlacedAsASprite) {
    Movie(L"9.0", 360, 270);
    CHostShape* node = Add(msoOLEControlObject, 100, 100, 275, 100, L"Flash");
    node->data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.1";
    // A 550 x 400 movie stored in the control's Contents stream.
    const std::vector<std::uint8_t> swf = swftest::Plain();
    std::vector<std::uint8_t> contents = {0x66, 0x55, 0x66, 0x55, static_cast<std::uint8_t>(swf.size()), 0, 0, 0};
    contents.insert(contents.end(), swf.begin(), swf.end());
    node->data.ole.object = Controls::CreateFlashControl(testcfb::Build({{"Contents", contents}}));
    auto shape = Make(node);
    ASSERT_TRUE(shape->GetEmbeddedMovie());
    ASSERT_TRUE(shape->IsExportedAsPicture());

    shape->SavePictures(scratch.FolderPath());
    const std::wstring spriteId = shape->GetEmbeddedMovie()->GetSpriteId();
    EXPECT_TRUE(FileExists(scratch.FolderPath() + spriteId + L".swf"));
    XmlElementPtr defs = movie->CreateElement(movie->GetRootElement(), L"defs");
    shape->ExportDefinitions(defs);
    XmlElementPtr sprite = Child(defs, L"sprite");
    ASSERT_TRUE(sprite);
    EXPECT_EQ(spriteId, sprite->getAttribute(L"id"));
    EXPECT_EQ(L"1", sprite->getAttribute(L"lockroot"));
    EXPECT_EQ(0, CountChildren(defs, L"image"));

    float clock = 0.0f, last = 0.0f;
    shape->ExportBuild(clock, last);
    // Fitted (scale 0.25, centred 68.75 points in), to half size, at the shape's place.
    ExpectMatrix(CMatrix(0.125f, 0, 0, 0.125f, 84.375f, 50.0f), shape->GetPlacedPicture()->firstMatrix);
    EXPECT_EQ(spriteId, shape->GetPlacedPicture()->objectId);
}

TEST_F(CShapeTest, EmptyTextFrameIsNoText) {
    Movie(L"9.0");
    CHostShape* node = slide->AddShape(msoAutoShape, L"Empty", 10, 10, 100, 50);
    ASSERT_EQ(msoTrue, node->data.hasTextFrame);
    auto shape = Make(node);
    EXPECT_FALSE(shape->HasTextFrame());
    EXPECT_FALSE(shape->GetTextIndex());
}

TEST_F(CShapeTest, BuildTimingOfTextAndPictures) {
    struct Case {
        const char* name;
        bool filled;  // a picture behind the text
        MsoTriState animate, background, reverse;
        PpAdvanceMode mode;
        float advanceTime;
        PpTextLevelEffect level;
        PpAfterEffect after;
        std::string frames;  // P: the picture, A/B: the paragraphs, a: the dimmed first paragraph
        float clock;
    };
    const Case cases[] = {
        {"text by paragraph after 1.5 seconds", false, msoTrue, msoFalse, msoFalse, ppAdvanceOnTime, 1.5f,
         ppAnimateByFirstLevel, ppAfterEffectNothing, "15: show A | 30: show B", 1.5f},
        {"the same in reverse", false, msoTrue, msoFalse, msoTrue, ppAdvanceOnTime, 1.5f, ppAnimateByFirstLevel,
         ppAfterEffectNothing, "15: show B | 30: show A", 1.5f},
        {"the previous paragraph dims when the next comes", false, msoTrue, msoFalse, msoFalse, ppAdvanceOnTime, 1.5f,
         ppAnimateByFirstLevel, ppAfterEffectDim, "15: show A | 30: hide A | 30: show a | 30: show B", 1.5f},
        {"the previous paragraph goes on the next click", false, msoTrue, msoFalse, msoFalse, ppAdvanceOnTime, 1.5f,
         ppAnimateByFirstLevel, ppAfterEffectHideOnClick, "15: show A | 30: hide A | 30: show B", 1.5f},
        {"not animated: both at the start, the clock stays", true, msoFalse, msoFalse, msoFalse, ppAdvanceOnClick, 0,
         ppAnimateLevelNone, ppAfterEffectNothing, "0: show P | 0: show A", 0.0f},
        {"text built over a shape that is there from the start", true, msoTrue, msoFalse, msoFalse, ppAdvanceOnClick, 0,
         ppAnimateByFirstLevel, ppAfterEffectNothing, "0: show P | 20: show A | 40: show B", 2.0f},
        {"shape first, then its text", true, msoTrue, msoTrue, msoFalse, ppAdvanceOnClick, 0, ppAnimateByFirstLevel,
         ppAfterEffectNothing, "20: show P | 40: show A | 60: show B", 4.0f},
        {"shape and all its text at once", true, msoTrue, msoTrue, msoFalse, ppAdvanceOnClick, 0, ppAnimateByAllLevels,
         ppAfterEffectNothing, "20: show P | 20: show A", 2.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        movie.reset();
        Movie(L"9.0");
        CHostShape* node = slide->AddTextBox(L"Body", 100, 100, 300, 120, L"First\rSecond");
        node->data.fill.visible = c.filled ? msoTrue : msoFalse;
        node->data.line.visible = msoFalse;
        node->data.animation.animate = c.animate;
        node->data.animation.animateBackground = c.background;
        node->data.animation.animateTextInReverse = c.reverse;
        node->data.animation.advanceMode = c.mode;
        node->data.animation.advanceTime = c.advanceTime;
        node->data.animation.entryEffect = 257;
        node->data.animation.textLevelEffect = c.level;
        node->data.animation.afterEffect = c.after;
        auto shape = Make(node);
        ASSERT_TRUE(shape->HasTextFrame());
        float clock = 0.0f, last = 0.0f;
        std::string frames = Build({shape}, clock, last);
        // Name the objects by their part.
        auto rename = [&frames](const std::wstring& id, const std::string& letter) {
            const std::string from = " " + U8(id);
            for (std::size_t at = frames.find(from); at != std::string::npos; at = frames.find(from, at + 2)) {
                const std::size_t end = at + from.size();
                if (end == frames.size() || frames[end] == ' ') frames.replace(at + 1, from.size() - 1, letter);
            }
        };
        const auto& index = *shape->GetTextIndex();
        if (index.GetTextSpriteCount() > 1) rename(index.GetTextSprite(1)->GetId(), "B");
        rename(index.GetTextSprite(0)->GetId(), "A");
        if (index.GetDimmedTextSpriteCount() > 0) rename(index.GetDimmedTextSprite(0)->GetId(), "a");
        if (!shape->GetImageId().empty()) rename(shape->GetImageId(), "P");
        EXPECT_EQ(c.frames, frames);
        EXPECT_FLOAT_EQ(c.clock, clock);
        EXPECT_EQ(c.filled, shape->IsExportedAsPicture());
    }
}

TEST_F(CShapeTest, TextAnimatedWithTheShape) {
    struct Case {
        bool filled;
        MsoTriState animate, background;
        PpTextLevelEffect level;
        bool withShape;
    };
    const Case cases[] = {
        {false, msoFalse, msoFalse, ppAnimateLevelNone, false}, {true, msoFalse, msoFalse, ppAnimateByFirstLevel, true},
        {true, msoTrue, msoFalse, ppAnimateLevelNone, true},    {true, msoTrue, msoFalse, ppAnimateByFirstLevel, false},
        {true, msoTrue, msoTrue, ppAnimateByAllLevels, true},   {true, msoTrue, msoTrue, ppAnimateByFirstLevel, false},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i++);
        CHostShape* node = Add(msoAutoShape, 10, 10, 100, 50);
        node->SetText(L"Hi");
        node->data.fill.visible = c.filled ? msoTrue : msoFalse;
        node->data.line.visible = msoFalse;
        node->data.animation.animate = c.animate;
        node->data.animation.animateBackground = c.background;
        node->data.animation.textLevelEffect = c.level;
        EXPECT_EQ(c.withShape, Make(node)->IsTextAnimatedWithShape());
    }
}

}  // namespace
