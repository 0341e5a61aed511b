// The host carries out writes as the presentation application would, and logs those made to
// the user's own objects.

#include "com/ComBstr.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

VARIANT I4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Empty() {
    VARIANT v;
    VariantInit(&v);
    return v;
}

std::wstring Take(BSTR b) {
    std::wstring s = WStringFromBstr(b);
    SysFreeString(b);
    return s;
}

struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* s1;
    CHostSlide* s2;
    CHostSlide* s3;
    CHostShape* title;
    CHostShape* box;
    Deck() {
        s1 = doc->AddSlide();
        s2 = doc->AddSlide();
        s3 = doc->AddSlide();
        title = s2->AddTextBox(L"Title 1", 10, 20, 300, 40, L"Hello\rWorld");
        box = s2->AddShape(msoAutoShape, L"Rect 2", 50, 100, 200, 100);
        box->data.fill.foreColor.rgb = 0x0000FF;
        box->data.tags.push_back({L"KIND", L"box"});
        s2->AddEffect(box)->data.duration = 2.0f;
    }
    CComPtr<Slides> SlidesOf() {
        CComPtr<Slides> slides;
        EXPECT_EQ(S_OK, doc->Presentation()->get_Slides(&slides));
        return slides;
    }
    std::vector<LONG> Ids() const {
        std::vector<LONG> ids;
        for (CHostSlide* s : doc->Slides()) ids.push_back(s->slideId);
        return ids;
    }
};

TEST(HostWrites, SlideDuplicateInsertsFullCopyAfterOriginalWithNewId) {
    Deck d;
    CComPtr<SlideRange> range;
    ASSERT_EQ(S_OK, d.s2->Interface()->Duplicate(&range));
    LONG count = 0;
    ASSERT_EQ(S_OK, range->get_Count(&count));
    EXPECT_EQ(1, count);
    CComPtr<_Slide> copy;
    ASSERT_EQ(S_OK, range->Item(I4(1), &copy));
    LONG id = 0, index = 0;
    copy->get_SlideID(&id);
    copy->get_SlideIndex(&index);
    EXPECT_EQ(3, index);
    EXPECT_EQ((std::vector<LONG>{256, 257, id, 258}), d.Ids());
    EXPECT_NE(257, id);

    CComPtr<Shapes> shapes;
    copy->get_Shapes(&shapes);
    LONG shapeCount = 0;
    shapes->get_Count(&shapeCount);
    EXPECT_EQ(2, shapeCount);
    CHostSlide* copyNode = d.doc->Slides()[2];
    EXPECT_EQ(L"Hello\rWorld", copyNode->shapes[0]->data.text.text);
    EXPECT_EQ(0x0000FFu, copyNode->shapes[1]->data.fill.foreColor.rgb);
    ASSERT_EQ(1u, copyNode->effects.size());
    EXPECT_EQ(copyNode->shapes[1], copyNode->effects[0]->data.shape);  // effects follow their copied shapes
    EXPECT_TRUE(d.doc->Changes().empty());
}

TEST(HostWrites, DeleteMoveAndObjectsStayValidAfterDeletion) {
    Deck d;
    CComPtr<_Slide> first = d.s1->Interface();
    ASSERT_EQ(S_OK, d.s3->Interface()->MoveTo(1));
    EXPECT_EQ((std::vector<LONG>{258, 256, 257}), d.Ids());
    EXPECT_EQ(E_INVALIDARG, first->MoveTo(4));
    EXPECT_EQ(E_INVALIDARG, first->MoveTo(0));

    ASSERT_EQ(S_OK, first->Delete());
    EXPECT_EQ((std::vector<LONG>{258, 257}), d.Ids());
    LONG id = 0;
    EXPECT_EQ(HOST_E_DELETED, first->get_SlideID(&id));
    EXPECT_EQ(HOST_E_DELETED, first->Delete());

    CComPtr<Shape> box = d.box->Interface();
    CComPtr<FillFormat> fill;
    ASSERT_EQ(S_OK, box->get_Fill(&fill));
    ASSERT_EQ(S_OK, box->Delete());
    MsoTriState visible = 0;
    EXPECT_EQ(HOST_E_DELETED, fill->get_Visible(&visible));  // sub-objects die with their shape
    EXPECT_TRUE(d.s2->effects.empty());                      // and its animation goes too
    // Deleting the slide makes its shapes unreachable as well.
    CComPtr<Shape> title = d.title->Interface();
    ASSERT_EQ(S_OK, d.s2->Interface()->Delete());
    float left = 0;
    EXPECT_EQ(HOST_E_DELETED, title->get_Left(&left));
}

TEST(HostWrites, ShapeDuplicateCopiesEveryPropertyOntoSameSlide) {
    Deck d;
    d.box->data.rotation = 30;
    d.box->data.click.action = ppActionHyperlink;
    d.box->data.click.hyperlink.address = L"http://example.org/";
    CComPtr<ShapeRange> range;
    ASSERT_EQ(S_OK, d.box->Interface()->Duplicate(&range));
    CComPtr<Shape> copy;
    ASSERT_EQ(S_OK, range->Item(I4(1), &copy));
    ASSERT_EQ(3u, d.s2->shapes.size());
    CHostShape* node = d.s2->shapes[2];
    EXPECT_EQ(d.box->data.name, node->data.name);
    EXPECT_EQ(30.0f, node->data.rotation);
    EXPECT_EQ(L"http://example.org/", node->data.click.hyperlink.address);
    EXPECT_EQ(L"box", node->data.tags[0].value);
    EXPECT_NE(d.box->data.id, node->data.id);
    LONG z = 0;
    copy->get_ZOrderPosition(&z);
    EXPECT_EQ(3, z);

    // Writes to the copy leave the user's presentation and the change log alone.
    EXPECT_EQ(S_OK, copy->put_Rotation(0));
    EXPECT_EQ(S_OK, copy->put_Visible(msoFalse));
    EXPECT_EQ(S_OK, copy->Delete());
    EXPECT_EQ(30.0f, d.box->data.rotation);
    EXPECT_TRUE(d.doc->Changes().empty());
}

CComPtr<TextRange> WholeText(CHostShape* shape) {
    CComPtr<TextFrame> frame;
    EXPECT_EQ(S_OK, shape->Interface()->get_TextFrame(&frame));
    CComPtr<TextRange> text;
    EXPECT_EQ(S_OK, frame->get_TextRange(&text));
    return text;
}

CComPtr<Font> FontOf(CHostShape* shape) {
    CComPtr<Font> font;
    EXPECT_EQ(S_OK, WholeText(shape)->get_Font(&font));
    return font;
}

// Copies share their characters' fonts until one side writes: a write through either side, to
// a font or to the text, shows on that side only.
TEST(HostWrites, CopiesKeepTheirOwnFontsOnceWritten) {
    Deck d;
    CComPtr<ShapeRange> shapeCopies;
    ASSERT_EQ(S_OK, d.title->Interface()->Duplicate(&shapeCopies));
    CComPtr<SlideRange> slideCopies;
    ASSERT_EQ(S_OK, d.s2->Interface()->Duplicate(&slideCopies));
    CHostShape* shapeCopy = d.s2->shapes.back();
    CHostShape* slideCopy = d.doc->Slides()[2]->shapes[0];
    ASSERT_NE(shapeCopy, d.title);
    ASSERT_EQ(L"Hello\rWorld", slideCopy->data.text.text);

    ASSERT_EQ(S_OK, FontOf(shapeCopy)->put_Size(40));
    ASSERT_EQ(S_OK, FontOf(d.title)->put_Bold(msoTrue));
    CComPtr<TextRange> slideCopyText = WholeText(slideCopy);
    ASSERT_EQ(S_OK, slideCopyText->put_Text(CBstr(L"Bye")));
    ASSERT_EQ(S_OK, FontOf(slideCopy)->put_Size(9));

    const struct {
        CHostShape* shape;
        std::wstring text;
        float size;
        MsoTriState bold;
    } expected[] = {{d.title, L"Hello\rWorld", 18, msoTrue},
                    {shapeCopy, L"Hello\rWorld", 40, msoFalse},
                    {slideCopy, L"Bye", 9, msoFalse}};
    for (const auto& e : expected) {
        SCOPED_TRACE(testing::Message() << e.shape->data.name << " " << e.size);
        const TextData& t = e.shape->data.text;
        EXPECT_EQ(e.text, t.text);
        ASSERT_EQ(t.text.size(), t.charFonts.size());
        for (const FontData& f : t.charFonts) {
            EXPECT_EQ(e.size, f.size);
            EXPECT_EQ(e.bold, f.bold);
        }
    }
}

TEST(HostWrites, PropertyWritesBehaveAndOriginalsAreLogged) {
    Deck d;
    CComPtr<Shape> box = d.box->Interface();
    EXPECT_EQ(S_OK, box->put_Rotation(-90));
    EXPECT_EQ(270.0f, d.box->data.rotation);
    EXPECT_EQ(S_OK, box->put_Rotation(725));
    EXPECT_EQ(5.0f, d.box->data.rotation);
    EXPECT_EQ(S_OK, box->put_Visible(msoFalse));
    EXPECT_EQ(msoFalse, d.box->data.visible);

    CHostShape* ole = d.s1->AddShape(msoOLEControlObject, L"Flash", 0, 0, 10, 10);
    EXPECT_EQ(E_FAIL, ole->Interface()->put_Rotation(0));  // controls cannot be turned

    CComPtr<TextFrame> frame;
    ASSERT_EQ(S_OK, d.title->Interface()->get_TextFrame(&frame));
    EXPECT_EQ(S_OK, frame->put_AutoSize(ppAutoSizeShapeToFitText));
    EXPECT_EQ(E_INVALIDARG, frame->put_AutoSize(7));
    EXPECT_EQ(S_OK, frame->DeleteText());
    MsoTriState hasText = msoTrue;
    frame->get_HasText(&hasText);
    EXPECT_EQ(msoFalse, hasText);
    EXPECT_EQ(1, d.title->data.text.ParagraphCount());

    CComPtr<PictureFormat> picture;
    box->get_PictureFormat(&picture);
    EXPECT_EQ(S_OK, picture->put_Brightness(0.8f));
    EXPECT_EQ(S_OK, picture->put_Contrast(0.2f));
    EXPECT_EQ(E_INVALIDARG, picture->put_Contrast(1.5f));
    EXPECT_EQ(0.8f, d.box->data.picture.brightness);
    EXPECT_EQ(0.2f, d.box->data.picture.contrast);

    CComPtr<FillFormat> fill;
    box->get_Fill(&fill);
    CComPtr<ColorFormat> color;
    fill->get_ForeColor(&color);
    EXPECT_EQ(S_OK, color->put_RGB(0x00FF00));
    EXPECT_EQ(E_INVALIDARG, color->put_RGB(0x1000000));
    EXPECT_EQ(0x00FF00u, d.box->data.fill.foreColor.rgb);

    CComPtr<Tags> tags;
    box->get_Tags(&tags);
    EXPECT_EQ(S_OK, tags->Add(CBstr(L"kind"), CBstr(L"changed")));
    BSTR value = nullptr;
    tags->Item(CBstr(L"Kind"), &value);
    EXPECT_EQ(L"changed", Take(value));
    EXPECT_EQ(S_OK, d.doc->Presentation()->put_Saved(msoTrue));

    std::vector<std::string> members;
    for (const ChangeRecord& c : d.doc->Changes()) members.push_back(c.member);
    EXPECT_EQ((std::vector<std::string>{"Shape.put_Rotation", "Shape.put_Rotation", "Shape.put_Visible",
                                        "TextFrame.put_AutoSize", "TextFrame.DeleteText",
                                        "PictureFormat.put_Brightness", "PictureFormat.put_Contrast",
                                        "ColorFormat.put_RGB", "Tags.Add", "Presentation.put_Saved"}),
              members);
    EXPECT_EQ(L"shape 'Rect 2' (slide 257)", d.doc->Changes()[0].object);
}

TEST(HostWrites, ShapeRangeOverAllShapesHidesAndDeletes) {
    Deck d;
    CComPtr<Shapes> shapes;
    d.s2->Interface()->get_Shapes(&shapes);
    CComPtr<ShapeRange> all;
    ASSERT_EQ(S_OK, shapes->Range(Empty(), &all));
    LONG count = 0;
    all->get_Count(&count);
    EXPECT_EQ(2, count);
    EXPECT_EQ(S_OK, all->put_Visible(msoFalse));
    EXPECT_EQ(msoFalse, d.title->data.visible);
    EXPECT_EQ(msoFalse, d.box->data.visible);
    EXPECT_EQ(S_OK, all->Delete());
    EXPECT_TRUE(d.s2->shapes.empty());
    EXPECT_EQ(4u, d.doc->Changes().size());  // two hidden, two deleted
}

TEST(HostWrites, CurrentSlideThroughWindowViewAndSelection) {
    Deck d;
    d.doc->viewSlide = d.s3;
    CComPtr<DocumentWindows> windows;
    ASSERT_EQ(S_OK, d.doc->Presentation()->get_Windows(&windows));
    CComPtr<DocumentWindow> window;
    ASSERT_EQ(S_OK, windows->Item(1, &window));
    CComPtr<View> view;
    ASSERT_EQ(S_OK, window->get_View(&view));
    CComPtr<IUnknown> shown;
    ASSERT_EQ(S_OK, view->get_Slide(&shown));
    CComPtr<_Slide> slide;
    ASSERT_EQ(S_OK, shown.QueryInterface(&slide));
    CComPtr<Selection> selection;
    ASSERT_EQ(S_OK, window->get_Selection(&selection));
    CComPtr<SlideRange> none;
    EXPECT_EQ(E_FAIL, selection->get_SlideRange(&none));
    ASSERT_EQ(S_OK, selection->Unselect());
    ASSERT_EQ(S_OK, slide->Select());
    CComPtr<SlideRange> range;
    ASSERT_EQ(S_OK, selection->get_SlideRange(&range));
    LONG index = 0;
    ASSERT_EQ(S_OK, range->get_SlideIndex(&index));
    EXPECT_EQ(3, index);

    d.doc->hasWindow = false;
    LONG windowCount = -1;
    windows->get_Count(&windowCount);
    EXPECT_EQ(0, windowCount);
    CComPtr<DocumentWindow> missing;
    EXPECT_EQ(E_INVALIDARG, windows->Item(1, &missing));
}

TEST(HostWrites, VersionSelectsTimeline) {
    Deck d;
    CComPtr<TimeLine> timeline;
    ASSERT_EQ(S_OK, d.s2->Interface()->get_TimeLine(&timeline));
    CComPtr<Sequence> sequence;
    ASSERT_EQ(S_OK, timeline->get_MainSequence(&sequence));
    CComPtr<Effect> effect;
    ASSERT_EQ(S_OK, sequence->Item(1, &effect));
    CComPtr<Timing> timing;
    effect->get_Timing(&timing);
    float duration = 0;
    timing->get_Duration(&duration);
    EXPECT_EQ(2.0f, duration);
    CComPtr<Shape> target;
    effect->get_Shape(&target);
    EXPECT_EQ(d.box->Interface().Get(), target.Get());

    d.doc->version = L"9.0";
    BSTR version = nullptr;
    d.doc->Application()->get_Version(&version);
    EXPECT_EQ(L"9.0", Take(version));
    CComPtr<TimeLine> none;
    EXPECT_TRUE(FAILED(d.s2->Interface()->get_TimeLine(&none)));
}

TEST(HostWrites, SaveCopyAsNeedsLoadedBytes) {
    Deck d;
    EXPECT_EQ(E_NOTIMPL, d.doc->Presentation()->SaveCopyAs(CBstr(L"/tmp/x.ppt"), ppSaveAsPresentation, msoFalse));
}

}  // namespace
