// The shape wrapper over the in-memory host: every read cached once and retried after a failure,
// the failure texts, the OLE guard, rotation probing on a copy, text stripping, picture export,
// and the colours derived from the colour behind the text.

#include "WrapperTestSupport.h"
#include "genswf/ppt/PptFillFormat.h"
#include "genswf/ppt/PptLineFormat.h"
#include "genswf/ppt/PptOleFormat.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptShapes.h"
#include "genswf/ppt/PptSoundFormat.h"

#include <cstdio>
#include <fstream>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace wrapperstest;

namespace {

void Release(IUnknown* p) {
    if (p) p->Release();
}

struct ShapeRead {
    const char* name;
    const char* member;
    MsoShapeType type;  // the shape's type: some members exist only for some kinds
    std::function<void(CPptShape&)> read;
    int line;
};

std::vector<ShapeRead> ShapeReads() {
    return {
        {"adjustments", "Shape.get_Adjustments", msoAutoShape, [](CPptShape& s) { Release(s.GetAdjustmentsPtr()); },
         126},
        {"auto shape type", "Shape.get_AutoShapeType", msoAutoShape, [](CPptShape& s) { s.GetAutoShapeType(); }, 246},
        {"connector", "Shape.get_Connector", msoAutoShape, [](CPptShape& s) { s.GetConnector(); }, 519},
        {"fill", "Shape.get_Fill", msoAutoShape, [](CPptShape& s) { s.GetFill(); }, 75},
        {"height", "Shape.get_Height", msoAutoShape, [](CPptShape& s) { s.GetHeight(); }, 209},
        {"horizontal flip", "Shape.get_HorizontalFlip", msoAutoShape, [](CPptShape& s) { s.GetHorizontalFlip(); }, 262},
        {"left", "Shape.get_Left", msoAutoShape, [](CPptShape& s) { s.GetLeft(); }, 194},
        {"line", "Shape.get_Line", msoAutoShape, [](CPptShape& s) { s.GetLine(); }, 106},
        {"name", "Shape.get_Name", msoAutoShape, [](CPptShape& s) { s.GetName(); }, 231},
        {"rotation", "Shape.get_Rotation", msoAutoShape, [](CPptShape& s) { s.GetRotation(); }, 214},
        {"picture format", "Shape.get_PictureFormat", msoPicture,
         [](CPptShape& s) { Release(s.GetPictureFormatPtr()); }, 116},
        {"text frame", "Shape.get_TextFrame", msoTextBox, [](CPptShape& s) { Release(s.GetTextFramePtr()); }, 87},
        {"top", "Shape.get_Top", msoAutoShape, [](CPptShape& s) { s.GetTop(); }, 199},
        {"type", "Shape.get_Type", msoAutoShape, [](CPptShape& s) { s.GetType(); }, 236},
        {"vertical flip", "Shape.get_VerticalFlip", msoAutoShape, [](CPptShape& s) { s.GetVerticalFlip(); }, 267},
        {"visible", "Shape.get_Visible", msoAutoShape, [](CPptShape& s) { s.GetVisible(); }, 257},
        {"width", "Shape.get_Width", msoAutoShape, [](CPptShape& s) { s.GetWidth(); }, 204},
        {"z-order", "Shape.get_ZOrderPosition", msoAutoShape, [](CPptShape& s) { s.GetZOrderPosition(); }, 221},
        {"OLE format", "Shape.get_OLEFormat", msoLinkedOLEObject, [](CPptShape& s) { s.GetOLEFormat(); }, 170},
        {"animation settings", "Shape.get_AnimationSettings", msoAutoShape,
         [](CPptShape& s) { Release(s.GetAnimationSettingsPtr()); }, 96},
        {"action settings", "Shape.get_ActionSettings", msoAutoShape,
         [](CPptShape& s) { Release(s.GetActionSettingsPtr()); }, 136},
        {"media type", "Shape.get_MediaType", msoMedia, [](CPptShape& s) { s.GetMediaType(); }, 241},
        {"has text frame", "Shape.get_HasTextFrame", msoAutoShape, [](CPptShape& s) { s.GetHasTextFrame(); }, 252},
        {"sound format", "Shape.get_SoundFormat", msoMedia, [](CPptShape& s) { s.GetSoundFormat(); }, 183},
    };
}

TEST(ShapeWrapper, EachReadIsKeptAndAFailedReadIsAskedAgain) {
    for (const ShapeRead& c : ShapeReads()) {
        SCOPED_TRACE(c.name);
        OneSlide deck;
        CHostShape* node = deck.Add(c.type, L"Target");
        if (c.type == msoTextBox) node->SetText(L"Hello");
        auto shape = CreatePptShape(node->Interface());
        deck.doc->Fail(c.member, E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage("PptShape.cpp", c.line), bctest::PptFailureOf([&] { c.read(*shape); }));
        EXPECT_EQ(1, deck.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(*shape));
        EXPECT_NO_THROW(c.read(*shape));
        EXPECT_EQ(2, deck.doc->Calls(c.member)) << "asked again after the failure, then kept";
    }
}

TEST(ShapeWrapper, ValuesAsThePresentationHasThem) {
    OneSlide deck;
    CHostShape* back = deck.Add(msoAutoShape, L"");
    CHostShape* front = deck.Add(msoAutoShape, L"Oval \u00e9t\u00e9");
    front->data.autoShapeType = msoShapeOval;
    front->data.left = 12.5f;
    front->data.top = 7.25f;
    front->data.width = 200.0f;
    front->data.height = 80.5f;
    front->data.rotation = 45.0f;
    front->data.horizontalFlip = msoTrue;
    front->data.visible = msoFalse;
    front->data.connector = msoTrue;
    front->data.hasTextFrame = msoFalse;

    auto backShape = CreatePptShape(back->Interface());
    EXPECT_EQ(0, backShape->GetZOrderPosition()) << "the back of the z-order is 0";
    EXPECT_EQ(L"", backShape->GetName());

    auto shape = CreatePptShape(front->Interface());
    EXPECT_EQ(1, shape->GetZOrderPosition());
    EXPECT_EQ(L"Oval \u00e9t\u00e9", shape->GetName());
    EXPECT_EQ(msoAutoShape, shape->GetType());
    EXPECT_EQ(msoShapeOval, shape->GetAutoShapeType());
    EXPECT_FLOAT_EQ(12.5f, shape->GetLeft());
    EXPECT_FLOAT_EQ(7.25f, shape->GetTop());
    EXPECT_FLOAT_EQ(200.0f, shape->GetWidth());
    EXPECT_FLOAT_EQ(80.5f, shape->GetHeight());
    EXPECT_FLOAT_EQ(45.0f, shape->GetRotation());
    EXPECT_EQ(msoTrue, shape->GetHorizontalFlip());
    EXPECT_EQ(msoFalse, shape->GetVerticalFlip());
    EXPECT_EQ(msoFalse, shape->GetVisible());
    EXPECT_EQ(msoTrue, shape->GetConnector());
    EXPECT_EQ(msoFalse, shape->GetHasTextFrame());

    // Nothing is refreshed: the wrapper answers what it read first.
    front->data.left = 99.0f;
    EXPECT_FLOAT_EQ(12.5f, shape->GetLeft());

    // Children are made once and shared; the Ptr operations hand out a reference of their own.
    EXPECT_EQ(shape->GetFill(), shape->GetFill());
    EXPECT_EQ(shape->GetLine(), shape->GetLine());
    EXPECT_EQ(1, deck.doc->Calls("Shape.get_Fill"));
    FillFormat* fill = shape->GetFillPtr();
    ASSERT_NE(nullptr, fill);
    fill->Release();
    EXPECT_EQ(1, deck.doc->Calls("Shape.get_Fill"));
}

TEST(ShapeWrapper, OleFormatOnlyForOleShapes) {
    struct Case {
        MsoShapeType type;
        bool ole;
    };
    const Case cases[] = {{msoEmbeddedOLEObject, true}, {msoLinkedOLEObject, true}, {msoOLEControlObject, true},
                          {msoPicture, false},          {msoAutoShape, false},      {msoMedia, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        OneSlide deck;
        auto shape = CreatePptShape(deck.Add(c.type, L"Object")->Interface());
        if (c.ole) {
            auto format = shape->GetOLEFormat();
            EXPECT_TRUE(format);
            EXPECT_EQ(format, shape->GetOLEFormat());
        } else {
            EXPECT_EQ(L"Ole Format is available only for OLE shapes",
                      bctest::PptFailureOf([&] { shape->GetOLEFormat(); }));
            EXPECT_EQ(0, deck.doc->Calls("Shape.get_OLEFormat")) << "refused before asking";
        }
    }
    // The guard reads the type first; its failure is the type's own.
    OneSlide deck;
    auto shape = CreatePptShape(deck.Add(msoLinkedOLEObject, L"Object")->Interface());
    deck.doc->Fail("Shape.get_Type", E_FAIL, nullptr, 1);
    EXPECT_EQ(PptMessage("PptShape.cpp", 236), bctest::PptFailureOf([&] { shape->GetOLEFormatPtr(); }));
    Release(shape->GetOLEFormatPtr());
}

TEST(ShapeWrapper, RotationIsProbedOnceOnACopy) {
    {
        // An OLE control cannot be turned: the answer comes without a copy.
        OneSlide deck;
        auto control = CreatePptShape(deck.Add(msoOLEControlObject, L"Control")->Interface());
        EXPECT_FALSE(control->CanSetRotation());
        EXPECT_EQ(0, deck.doc->Calls("Shape.Duplicate"));
        EXPECT_EQ(0, deck.doc->Calls("Shape.put_Rotation"));
    }
    OneSlide deck;
    CHostShape* node = deck.Add(msoAutoShape, L"Box");
    node->data.rotation = 30.0f;
    auto shape = CreatePptShape(node->Interface());
    EXPECT_TRUE(shape->CanSetRotation());
    EXPECT_EQ(1, deck.doc->Calls("Shape.Duplicate"));
    EXPECT_EQ(1, deck.doc->Calls("Shape.put_Rotation"));
    EXPECT_EQ(1, deck.doc->Calls("Shape.Delete"));
    EXPECT_TRUE(shape->CanSetRotation());
    EXPECT_EQ(1, deck.doc->Calls("Shape.Duplicate")) << "decided once";
    ASSERT_EQ(1u, deck.slide->shapes.size()) << "the copy is gone";
    EXPECT_FLOAT_EQ(30.0f, node->data.rotation) << "the user's shape is not turned";
    EXPECT_TRUE(deck.doc->Changes().empty());

    // The probe on a shape PowerPoint refuses to turn answers false.
    deck.doc->Fail("Shape.put_Rotation", E_FAIL);
    auto stubborn = CreatePptShape(deck.Add(msoAutoShape, L"Stubborn")->Interface());
    EXPECT_FALSE(stubborn->CanSetRotation());
    EXPECT_EQ(2u, deck.slide->shapes.size());
    deck.doc->ClearFaults();

    // A failed copy leaves the question open.
    auto again = CreatePptShape(deck.Add(msoAutoShape, L"Again")->Interface());
    deck.doc->Fail("Shape.Duplicate", E_FAIL, nullptr, 1);
    EXPECT_EQ(PptMessage("PptShape.cpp", 145), bctest::PptFailureOf([&] { again->CanSetRotation(); }));
    EXPECT_TRUE(again->CanSetRotation());
}

TEST(ShapeWrapper, SetRotationWritesTheCacheAndNeverThrows) {
    OneSlide deck;
    CHostShape* node = deck.Add(msoAutoShape, L"Box");
    node->data.rotation = 30.0f;
    auto copy = CreatePptShape(node->Interface())->Duplicate();
    EXPECT_TRUE(copy->SetRotation(0.0f));
    EXPECT_FLOAT_EQ(0.0f, copy->GetRotation());
    EXPECT_EQ(0, deck.doc->Calls("Shape.get_Rotation")) << "the written value is kept";

    auto ole = CreatePptShape(deck.Add(msoEmbeddedOLEObject, L"Chart")->Interface());
    EXPECT_FALSE(ole->SetRotation(0.0f));  // refused by PowerPoint, reported by the result
    copy->Delete();
    EXPECT_FALSE(copy->SetRotation(10.0f)) << "a deleted shape refuses, without a call through null";
}

TEST(ShapeWrapper, DuplicateAndDelete) {
    OneSlide deck;
    CHostShape* node = deck.Add(msoAutoShape, L"Box");
    auto shape = CreatePptShape(node->Interface());
    auto copy = shape->Duplicate();
    ASSERT_EQ(2u, deck.slide->shapes.size());
    EXPECT_EQ(1, copy->GetZOrderPosition()) << "the copy lies on top";
    EXPECT_EQ(L"Box", copy->GetName());
    copy->Delete();
    EXPECT_EQ(1u, deck.slide->shapes.size());
    EXPECT_TRUE(deck.doc->Changes().empty()) << "only the copy was touched";
    // After Delete only destruction is allowed; further calls fail cleanly.
    EXPECT_EQ(PptMessage("PptShape.cpp", 354), bctest::PptFailureOf([&] { copy->Delete(); }));
    EXPECT_EQ(PptMessage("PptShape.cpp", 194), bctest::PptFailureOf([&] { copy->GetLeft(); }));
    EXPECT_EQ(PptMessage("PptShape.cpp", 145), bctest::PptFailureOf([&] { copy->Duplicate(); }));
    EXPECT_EQ(1, copy->GetZOrderPosition()) << "values read before stay";

    struct Case {
        const char* member;
        int line;
    };
    for (const Case& c : {Case{"Shape.Duplicate", 145}, Case{"ShapeRange.Item", 147}, Case{"Shape.Delete", 354}}) {
        SCOPED_TRACE(c.member);
        OneSlide d;
        auto s = CreatePptShape(d.Add(msoAutoShape, L"Box")->Interface());
        d.doc->Fail(c.member, E_FAIL);
        EXPECT_EQ(PptMessage("PptShape.cpp", c.line), bctest::PptFailureOf([&] {
                      if (std::string(c.member) == "Shape.Delete")
                          s->Delete();
                      else
                          s->Duplicate();
                  }));
    }
}

TEST(ShapeWrapper, DeleteTextOnlyWhereThereIsAFrame) {
    OneSlide deck;
    CHostShape* line = deck.Add(msoLine, L"Line");
    line->data.hasTextFrame = msoFalse;
    auto plain = CreatePptShape(line->Interface());
    plain->DeleteText();
    EXPECT_EQ(0, deck.doc->Calls("Shape.get_TextFrame"));
    EXPECT_EQ(0, deck.doc->Calls("TextFrame.DeleteText"));

    CHostShape* node = deck.slide->AddTextBox(L"Title", 0, 0, 300, 40, L"Quarterly figures");
    auto copy = CreatePptShape(node->Interface())->Duplicate();
    copy->DeleteText();
    EXPECT_EQ(L"Quarterly figures", node->data.text.text);
    EXPECT_EQ(L"", deck.slide->shapes.back()->data.text.text);

    deck.doc->Fail("TextFrame.DeleteText", E_FAIL);
    EXPECT_EQ(PptMessage("PptShape.cpp", 332), bctest::PptFailureOf([&] { copy->DeleteText(); }));
}

TEST(ShapeWrapper, ExportReportsByItsResult) {
    OneSlide deck;
    CHostShape* node = deck.Add(msoAutoShape, L"Box");
    auto shape = CreatePptShape(node->Interface());
    const std::string plainPath = testing::TempDir() + "wrapper-shape.png";
    EXPECT_TRUE(shape->Export(std::wstring(plainPath.begin(), plainPath.end()), ppShapeFormatPNG, 100, 50, ppScaleXY));
    std::ifstream written(plainPath, std::ios::binary);
    char signature[4] = {};
    written.read(signature, 4);
    EXPECT_EQ(std::string("\x89PNG", 4), std::string(signature, 4));
    std::remove(plainPath.c_str());

    deck.doc->Fail("Shape.Export", E_FAIL);
    EXPECT_FALSE(shape->Export(std::wstring(plainPath.begin(), plainPath.end()), ppShapeFormatPNG, 100, 50, ppScaleXY));
    EXPECT_EQ(2, deck.doc->Calls("Shape.Export"));
}

TEST(ShapeWrapper, TextColoursFollowTheBackground) {
    struct Case {
        ULONG background, highlight, shadow;
    };
    const Case cases[] = {
        {0x808080, 0xC0C0C0, 0x4C4C4C},  // grey
        {0x0000FF, 0x7F7FFF, 0x000099},  // pure red
        {0xFFFFFF, 0xFFFFFF, 0x999999},  // white saturates
        {0x000000, 0x000000, 0x000000},  // black stays black
        {0x204060, 0x507090, 0x132639},  // mixed: half of the largest (0x60) lifts each part
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.background);
        OneSlide deck;
        auto shape = CreatePptShape(deck.Add(msoAutoShape, L"Box")->Interface());
        shape->SetBackgroundColor(c.background);
        EXPECT_EQ(c.background, shape->GetBackgroundColor());
        EXPECT_EQ(c.highlight, shape->GetEmbossHighlightColor());
        EXPECT_EQ(c.shadow, shape->GetEmbossShadowColor());
        shape->SetBackgroundColor(0x123456);
        EXPECT_EQ(c.background, shape->GetBackgroundColor()) << "only the first call counts";
        EXPECT_EQ(c.shadow, shape->GetEmbossShadowColor());
    }

    struct ShadowCase {
        ULONG background, text, shadow;
    };
    const ShadowCase shadows[] = {
        {0xFFFFFF, 0x000000, 0xC0C0C0}, {0xFFFFFF, 0x0000FF, 0xC0C0C0},  // white: silver for any text
        {0x000000, 0xFFFFFF, 0xC0C0C0}, {0x000000, 0x000000, 0xFFFFFF},  // black: silver for white text
        {0x808080, 0x0000FF, 0x000000}, {0x808080, 0x000000, 0xFFFFFF},  // other: black unless the text is
    };
    for (const ShadowCase& c : shadows) {
        SCOPED_TRACE(std::to_string(c.background) + " / " + std::to_string(c.text));
        OneSlide deck;
        auto shape = CreatePptShape(deck.Add(msoAutoShape, L"Box")->Interface());
        shape->SetBackgroundColor(c.background);
        EXPECT_EQ(c.shadow, shape->GetShadowColor(c.text));
    }
}

TEST(ShapeWrapper, RangeOverAllShapesHidesThem) {
    OneSlide deck;
    deck.Add(msoAutoShape, L"One");
    deck.Add(msoPicture, L"Two");
    CComPtr<_Slide> slide = deck.slide->Interface();
    CComPtr<Shapes> shapes;
    ASSERT_EQ(S_OK, slide->get_Shapes(&shapes));
    auto wrapper = CreatePptShapes(shapes);
    EXPECT_EQ(2, wrapper->GetCount());
    VARIANT all;
    VariantInit(&all);
    wrapper->Range(all)->SetVisible(msoFalse);
    for (CHostShape* s : deck.slide->shapes) EXPECT_EQ(msoFalse, s->data.visible);
}

}  // namespace
