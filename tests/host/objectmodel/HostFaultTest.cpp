// Fault injection reaches the member it is asked to, and call counting sees every call.

#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <functional>

using namespace PowerPoint;
using namespace PowerPoint::Host;

namespace {

constexpr HRESULT kInjected = MAKE_HRESULT_FAILURE(0x80041234u);

struct Fixture {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = doc->AddSlide();
    CHostShape* shape = slide->AddTextBox(L"Text 1", 0, 0, 100, 50, L"Some text");
    CHostShape* media = slide->AddShape(msoMedia, L"Sound 2", 0, 0, 10, 10);
    CHostShape* ole = slide->AddShape(msoEmbeddedOLEObject, L"Object 3", 0, 0, 10, 10);
    CHostEffect* effect = slide->AddEffect(shape);
    Fixture() {
        shape->data.click.action = ppActionHyperlink;
        shape->data.click.hyperlink.address = L"http://example.org/";
    }
};

struct Case {
    const char* member;
    std::function<HRESULT(Fixture&)> call;
};

// Walks to an interface without faults in the way; returns it AddRef'ed.
template <class I, class F>
CComPtr<I> Get(F f) {
    CComPtr<I> p;
    EXPECT_EQ(S_OK, f(&p));
    return p;
}

std::vector<Case> Cases() {
    VARIANT one;
    VariantInit(&one);
    one.vt = VT_I4;
    one.lVal = 1;
    return {
        {"Application.get_Version",
         [](Fixture& f) {
             CBstr s;
             return f.doc->Application()->get_Version(&s);
         }},
        {"Presentation.get_Slides",
         [](Fixture& f) {
             CComPtr<Slides> s;
             return f.doc->Presentation()->get_Slides(&s);
         }},
        {"Presentation.get_Name",
         [](Fixture& f) {
             CBstr s;
             return f.doc->Presentation()->get_Name(&s);
         }},
        {"Presentation.get_Path",
         [](Fixture& f) {
             CBstr s;
             return f.doc->Presentation()->get_Path(&s);
         }},
        {"Presentation.put_Saved", [](Fixture& f) { return f.doc->Presentation()->put_Saved(msoTrue); }},
        {"Slides.get_Count",
         [](Fixture& f) {
             auto s = Get<Slides>([&](Slides** p) { return f.doc->Presentation()->get_Slides(p); });
             LONG n;
             return s->get_Count(&n);
         }},
        {"Slides.Item",
         [one](Fixture& f) {
             auto s = Get<Slides>([&](Slides** p) { return f.doc->Presentation()->get_Slides(p); });
             CComPtr<_Slide> slide;
             return s->Item(one, &slide);
         }},
        {"Slide.get_SlideIndex",
         [](Fixture& f) {
             LONG n;
             return f.slide->Interface()->get_SlideIndex(&n);
         }},
        {"Slide.Duplicate",
         [](Fixture& f) {
             CComPtr<SlideRange> r;
             return f.slide->Interface()->Duplicate(&r);
         }},
        {"Slide.MoveTo", [](Fixture& f) { return f.slide->Interface()->MoveTo(1); }},
        {"Slide.get_Hyperlinks",
         [](Fixture& f) {
             CComPtr<Hyperlinks> h;
             return f.slide->Interface()->get_Hyperlinks(&h);
         }},
        {"Master.get_Width",
         [](Fixture& f) {
             float w;
             return f.doc->Master()->Interface()->get_Width(&w);
         }},
        {"Shape.get_Left",
         [](Fixture& f) {
             float v;
             return f.shape->Interface()->get_Left(&v);
         }},
        {"Shape.put_Rotation", [](Fixture& f) { return f.shape->Interface()->put_Rotation(10); }},
        {"Shape.get_Name",
         [](Fixture& f) {
             CBstr s;
             return f.shape->Interface()->get_Name(&s);
         }},
        {"Shape.Delete", [](Fixture& f) { return f.shape->Interface()->Delete(); }},
        {"FillFormat.get_Visible",
         [](Fixture& f) {
             auto fill = Get<FillFormat>([&](FillFormat** p) { return f.shape->Interface()->get_Fill(p); });
             MsoTriState v;
             return fill->get_Visible(&v);
         }},
        {"ColorFormat.get_RGB",
         [](Fixture& f) {
             auto fill = Get<FillFormat>([&](FillFormat** p) { return f.shape->Interface()->get_Fill(p); });
             auto color = Get<ColorFormat>([&](ColorFormat** p) { return fill->get_ForeColor(p); });
             ULONG v;
             return color->get_RGB(&v);
         }},
        {"TextFrame.get_TextRange",
         [](Fixture& f) {
             auto frame = Get<TextFrame>([&](TextFrame** p) { return f.shape->Interface()->get_TextFrame(p); });
             CComPtr<TextRange> r;
             return frame->get_TextRange(&r);
         }},
        {"TextRange.get_Text",
         [](Fixture& f) {
             auto frame = Get<TextFrame>([&](TextFrame** p) { return f.shape->Interface()->get_TextFrame(p); });
             auto range = Get<TextRange>([&](TextRange** p) { return frame->get_TextRange(p); });
             CBstr s;
             return range->get_Text(&s);
         }},
        {"Font.get_Size",
         [](Fixture& f) {
             auto frame = Get<TextFrame>([&](TextFrame** p) { return f.shape->Interface()->get_TextFrame(p); });
             auto range = Get<TextRange>([&](TextRange** p) { return frame->get_TextRange(p); });
             auto font = Get<Font>([&](Font** p) { return range->get_Font(p); });
             float v;
             return font->get_Size(&v);
         }},
        {"SoundFormat.get_Type",
         [](Fixture& f) {
             auto sound = Get<SoundFormat>([&](SoundFormat** p) { return f.media->Interface()->get_SoundFormat(p); });
             PpSoundFormatType v;
             return sound->get_Type(&v);
         }},
        {"OLEFormat.get_ProgID",
         [](Fixture& f) {
             auto o = Get<OLEFormat>([&](OLEFormat** p) { return f.ole->Interface()->get_OLEFormat(p); });
             CBstr s;
             return o->get_ProgID(&s);
         }},
        {"ActionSetting.get_Hyperlink",
         [](Fixture& f) {
             auto all =
                 Get<ActionSettings>([&](ActionSettings** p) { return f.shape->Interface()->get_ActionSettings(p); });
             auto a = Get<ActionSetting>([&](ActionSetting** p) { return all->Item(ppMouseClick, p); });
             CComPtr<Hyperlink> h;
             return a->get_Hyperlink(&h);
         }},
        {"Effect.get_Paragraph",
         [](Fixture& f) {
             auto t = Get<TimeLine>([&](TimeLine** p) { return f.slide->Interface()->get_TimeLine(p); });
             auto s = Get<Sequence>([&](Sequence** p) { return t->get_MainSequence(p); });
             auto e = Get<Effect>([&](Effect** p) { return s->Item(1, p); });
             LONG v;
             return e->get_Paragraph(&v);
         }},
        {"AnimationSettings.get_Animate",
         [](Fixture& f) {
             auto a = Get<AnimationSettings>(
                 [&](AnimationSettings** p) { return f.shape->Interface()->get_AnimationSettings(p); });
             MsoTriState v;
             return a->get_Animate(&v);
         }},
        {"HeaderFooter.put_Visible",
         [](Fixture& f) {
             auto hf =
                 Get<HeadersFooters>([&](HeadersFooters** p) { return f.slide->Interface()->get_HeadersFooters(p); });
             auto footer = Get<HeaderFooter>([&](HeaderFooter** p) { return hf->get_Footer(p); });
             return footer->put_Visible(msoFalse);
         }},
        {"Tags.Add",
         [](Fixture& f) {
             auto t = Get<Tags>([&](Tags** p) { return f.slide->Interface()->get_Tags(p); });
             return t->Add(CBstr(L"A"), CBstr(L"b"));
         }},
    };
}

TEST(HostFaults, EachMemberFailsWithTheInjectedCodeAndOthersStillWork) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.member);
        Fixture clean;
        EXPECT_EQ(S_OK, c.call(clean)) << "works without a fault";
        Fixture f;
        f.doc->Fail(c.member, kInjected);
        f.doc->ResetCalls();
        EXPECT_EQ(kInjected, c.call(f));
        EXPECT_EQ(1, f.doc->Calls(c.member));
        f.doc->ClearFaults();
        EXPECT_TRUE(SUCCEEDED(c.call(f))) << "works again once the fault is cleared";
    }
}

TEST(HostFaults, FaultsTargetOneObjectSkipAndCount) {
    Fixture f;
    CHostShape* other = f.slide->AddShape(msoAutoShape, L"Other", 0, 0, 1, 1);
    float v = 0;
    // Only the named object fails.
    f.doc->Fail("Shape.get_Left", kInjected, f.shape);
    EXPECT_EQ(kInjected, f.shape->Interface()->get_Left(&v));
    EXPECT_EQ(S_OK, other->Interface()->get_Left(&v));
    f.doc->ClearFaults();
    // A sub-object's fault can name its shape or its own state.
    f.doc->Fail("FillFormat.*", kInjected, &other->data.fill);
    CComPtr<FillFormat> fill;
    other->Interface()->get_Fill(&fill);
    MsoTriState t = 0;
    EXPECT_EQ(kInjected, fill->get_Visible(&t));
    EXPECT_EQ(kInjected, fill->get_Type(&t));
    f.doc->ClearFaults();
    // The first call passes, the next two fail, then it works again.
    f.doc->Fail("*", E_FAIL, f.shape, 2, 1);
    EXPECT_EQ(S_OK, f.shape->Interface()->get_Top(&v));
    EXPECT_EQ(E_FAIL, f.shape->Interface()->get_Width(&v));
    EXPECT_EQ(E_FAIL, f.shape->Interface()->get_Height(&v));
    EXPECT_EQ(S_OK, f.shape->Interface()->get_Height(&v));
    EXPECT_EQ(2, f.doc->Calls("Shape.get_Height", f.shape));
    EXPECT_EQ(0, f.doc->Calls("Shape.get_Height", other));
}

TEST(HostFaults, NullOutParameterIsRefused) {
    Fixture f;
    EXPECT_EQ(E_POINTER, f.shape->Interface()->get_Left(nullptr));
    EXPECT_EQ(E_POINTER, f.doc->Presentation()->get_Slides(nullptr));
}

}  // namespace
