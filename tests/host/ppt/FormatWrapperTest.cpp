// The fill, line, colour, OLE and sound wrappers over the in-memory host: values, read-once
// caching, retry after a failure, the failure texts and the references they hold.

#include "FileBytes.h"
#include "TempDir.h"
#include "WrapperTestSupport.h"
#include "genswf/ppt/PptColorFormat.h"
#include "genswf/ppt/PptFillFormat.h"
#include "genswf/ppt/PptLineFormat.h"
#include "genswf/ppt/PptOleFormat.h"
#include "genswf/ppt/PptSoundFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace wrapperstest;
namespace fs = std::filesystem;

namespace {

// One slide with a filled box, an embedded object and a sound.
struct Deck {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostShape* box = nullptr;
    CHostShape* ole = nullptr;
    CHostShape* sound = nullptr;
    Deck() {
        CHostSlide* slide = doc->AddSlide();
        box = slide->AddShape(msoAutoShape, L"Box", 10, 10, 100, 50);
        box->data.fill.type = msoFillSolid;
        box->data.fill.transparency = 0.5f;
        box->data.fill.foreColor.rgb = 0x00CC6633;
        box->data.line.visible = msoFalse;
        box->data.line.transparency = 0.25f;
        ole = slide->AddShape(msoEmbeddedOLEObject, L"Movie", 0, 0, 320, 240);
        ole->data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.1";
        sound = slide->AddShape(msoMedia, L"Chime", 0, 0, 32, 32);
        sound->data.mediaType = ppMediaTypeSound;
        sound->data.sound.type = ppSoundWAV;
        sound->data.sound.sourceFullName = L"C:\\Sounds\\chime.wav";
        sound->data.sound.data = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    }
    CComPtr<FillFormat> Fill() {
        CComPtr<FillFormat> p;
        box->Interface()->get_Fill(&p);
        return p;
    }
    CComPtr<LineFormat> Line() {
        CComPtr<LineFormat> p;
        box->Interface()->get_Line(&p);
        return p;
    }
    CComPtr<OLEFormat> Ole() {
        CComPtr<OLEFormat> p;
        ole->Interface()->get_OLEFormat(&p);
        return p;
    }
    CComPtr<SoundFormat> Sound() {
        CComPtr<SoundFormat> p;
        sound->Interface()->get_SoundFormat(&p);
        return p;
    }
};

// The wrappers of one deck, made as the shape wrapper makes them.
struct Formats {
    std::shared_ptr<CPptFillFormat> fill;
    std::shared_ptr<CPptLineFormat> line;
    std::shared_ptr<CPptOleFormat> ole;
    std::shared_ptr<CPptSoundFormat> sound;
    explicit Formats(Deck& d)
        : fill(CreatePptFillFormat(d.Fill())),
          line(CreatePptLineFormat(d.Line())),
          ole(CreatePptOleFormat(d.Ole())),
          sound(CreatePptSoundFormat(d.Sound())) {}
};

struct ReadCase {
    const char* name;
    const char* member;
    std::function<void(Formats&)> read;
    const char* source;
    int line;
};

TEST(FormatWrappers, EachValueIsReadOnceAndAFailureIsRetried) {
    const ReadCase cases[] = {
        {"fill fore colour", "FillFormat.get_ForeColor", [](Formats& f) { f.fill->GetForeColor(); }, "PptFillFormat",
         40},
        {"fill fore colour pointer", "FillFormat.get_ForeColor",
         [](Formats& f) { f.fill->GetForeColorPtr()->Release(); }, "PptFillFormat", 40},
        {"fill transparency", "FillFormat.get_Transparency", [](Formats& f) { f.fill->GetTransparency(); },
         "PptFillFormat", 76},
        {"fill type", "FillFormat.get_Type", [](Formats& f) { f.fill->GetType(); }, "PptFillFormat", 81},
        {"line transparency", "LineFormat.get_Transparency", [](Formats& f) { f.line->GetTransparency(); },
         "PptLineFormat", 74},
        {"colour", "ColorFormat.get_RGB", [](Formats& f) { f.fill->GetForeColor()->GetRGB(); }, "PptColorFormat", 38},
        {"OLE program id", "OLEFormat.get_ProgID", [](Formats& f) { f.ole->GetProgID(); }, "PptOleFormat", 31},
        {"sound type", "SoundFormat.get_Type", [](Formats& f) { f.sound->GetType(); }, "PptSoundFormat", 27},
        {"sound source", "SoundFormat.get_SourceFullName", [](Formats& f) { f.sound->GetSourceFullName(); },
         "PptSoundFormat", 32},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        Formats f(d);
        d.doc->Fail(c.member, E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage(c.source, c.line), bctest::PptFailureOf([&] { c.read(f); }));
        EXPECT_EQ(1, d.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(f));  // nothing was kept, so the object model is asked again
        EXPECT_EQ(2, d.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(f));
        EXPECT_EQ(2, d.doc->Calls(c.member)) << "kept after the first good read";
    }
}

TEST(FormatWrappers, FillAndLineReadVisibleWhenMadeAndAFailureMakesNoWrapper) {
    struct Case {
        const char* name;
        const char* member;
        std::function<MsoTriState(Deck&)> make;  // makes a wrapper and answers its GetVisible
        const char* source;
        MsoTriState visible;
    };
    const Case cases[] = {
        {"fill", "FillFormat.get_Visible", [](Deck& d) { return CreatePptFillFormat(d.Fill())->GetVisible(); },
         "PptFillFormat", msoTrue},
        {"line", "LineFormat.get_Visible", [](Deck& d) { return CreatePptLineFormat(d.Line())->GetVisible(); },
         "PptLineFormat", msoFalse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deck d;
        const ULONG before = Refs(d.doc);
        d.doc->Fail(c.member, E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage(c.source, 23), bctest::PptFailureOf([&] { c.make(d); }));
        EXPECT_EQ(before, Refs(d.doc)) << "the half-made wrapper let go of both its references";
        EXPECT_EQ(c.visible, c.make(d));
        EXPECT_EQ(2, d.doc->Calls(c.member));
        EXPECT_EQ(before, Refs(d.doc));
    }
    // Made once, the visibility is what was read then: later changes are not seen, nor asked.
    Deck d;
    auto fill = CreatePptFillFormat(d.Fill());
    d.box->data.fill.visible = msoFalse;
    EXPECT_EQ(msoTrue, fill->GetVisible());
    EXPECT_EQ(1, d.doc->Calls("FillFormat.get_Visible"));

    EXPECT_THROW(CreatePptFillFormat(nullptr), CPPTException);
    EXPECT_THROW(CreatePptLineFormat(nullptr), CPPTException);
}

TEST(FormatWrappers, ValuesAndTheSharedForeColour) {
    Deck d;
    Formats f(d);
    EXPECT_EQ(msoFillSolid, f.fill->GetType());
    EXPECT_EQ(0.5f, f.fill->GetTransparency());
    EXPECT_EQ(msoFalse, f.line->GetVisible());
    EXPECT_EQ(0.25f, f.line->GetTransparency());
    EXPECT_EQ(L"ShockwaveFlash.ShockwaveFlash.1", f.ole->GetProgID());
    EXPECT_EQ(ppSoundWAV, f.sound->GetType());
    EXPECT_EQ(L"C:\\Sounds\\chime.wav", f.sound->GetSourceFullName());

    // Two asks give one colour wrapper, whose RGB is read once.
    auto color = f.fill->GetForeColor();
    EXPECT_EQ(color, f.fill->GetForeColor());
    EXPECT_EQ(0x00CC6633u, color->GetRGB());
    d.box->data.fill.foreColor.rgb = 0;
    EXPECT_EQ(0x00CC6633u, f.fill->GetForeColor()->GetRGB());
    EXPECT_EQ(1, d.doc->Calls("FillFormat.get_ForeColor"));
    EXPECT_EQ(1, d.doc->Calls("ColorFormat.get_RGB"));

    // The pointer handed out is the kept one, with a reference for the caller.
    ColorFormat* p = f.fill->GetForeColorPtr();
    ULONG rgb = 1;
    EXPECT_EQ(S_OK, p->get_RGB(&rgb));
    p->Release();
    EXPECT_EQ(1, d.doc->Calls("FillFormat.get_ForeColor"));

    // A string keeps the length the object model gives, embedded nulls included.
    Deck nul;
    nul.ole->data.ole.progId = std::wstring(L"A\0B", 3);
    EXPECT_EQ(3u, CreatePptOleFormat(nul.Ole())->GetProgID().size());
}

TEST(FormatWrappers, ReleaseEveryReferenceTheyTook) {
    Deck d;
    const ULONG before = Refs(d.doc);
    {
        Formats f(d);
        f.fill->GetForeColor()->GetRGB();
        f.fill->GetForeColorPtr()->Release();
        f.fill->GetTransparency();
        f.line->GetTransparency();
        f.ole->GetProgID();
        f.sound->GetSourceFullName();
        EXPECT_LT(before, Refs(d.doc));
    }
    EXPECT_EQ(before, Refs(d.doc));
}

// An object model string may be null; the wrappers read it as empty.
class CNullStrings : public OLEFormat, public SoundFormat {
public:
    HRESULT QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT get_Application(_Application** out) override { return *out = nullptr, E_NOTIMPL; }
    HRESULT get_Parent(IDispatch** out) override { return *out = nullptr, E_NOTIMPL; }
    HRESULT get_Object(IDispatch** out) override { return *out = nullptr, E_NOTIMPL; }
    HRESULT get_ProgID(BSTR* out) override { return *out = nullptr, S_OK; }
    HRESULT Export(BSTR, PpSoundFormatType*) override { return E_NOTIMPL; }
    HRESULT get_Type(PpSoundFormatType* out) override { return *out = ppSoundNone, S_OK; }
    HRESULT get_SourceFullName(BSTR* out) override { return *out = nullptr, S_OK; }
    ULONG refs = 1;
};

TEST(FormatWrappers, NullStringsReadAsEmpty) {
    CNullStrings strings;
    {
        auto ole = CreatePptOleFormat(&strings);
        auto sound = CreatePptSoundFormat(&strings);
        EXPECT_EQ(L"", ole->GetProgID());
        EXPECT_EQ(L"", sound->GetSourceFullName());
    }
    EXPECT_EQ(1u, strings.refs);
}

TEST(FormatWrappers, SoundExportWritesEachTimeAndNamesTheTargetWhenItFails) {
    CScratchFolder dir;
    Deck d;
    auto sound = CreatePptSoundFormat(d.Sound());
    // Wide paths are put together by hand: the test runs without a locale that could convert them.
    const std::wstring folder = dir.Path();
    const std::wstring target = folder + L"/chime.wav";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ppSoundWAV, sound->Export(target));
        EXPECT_EQ(d.sound->data.sound.data, bctest::FileBytes(dir / "chime.wav"));
    }
    EXPECT_EQ(2, d.doc->Calls("SoundFormat.Export"));

    const char* source = "genswf/src/ppt/PptSoundFormat.cpp";
    struct Case {
        const char* name;
        std::wstring path;
        std::function<void(Deck&)> arrange;
    };
    const Case cases[] = {
        {"refused by the object model", folder + L"/Kl\u00e4nge, \u266a.wav",
         [](Deck& deck) { deck.doc->Fail("SoundFormat.Export", E_ACCESSDENIED, deck.sound); }},
        {"folder missing", folder + L"/missing/x.wav", [](Deck&) {}},
        {"nothing embedded", folder + L"/empty.wav", [](Deck& deck) { deck.sound->data.sound.data.clear(); }},
        {"empty path", L"", [](Deck&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deck failing;
        c.arrange(failing);
        auto w = CreatePptSoundFormat(failing.Sound());
        EXPECT_EQ(L"Cannot export sound to file " + c.path + L" in file " + Widen(source) + L" at line 41",
                  bctest::PptFailureOf([&] { w->Export(c.path); }));
    }
}

}  // namespace
