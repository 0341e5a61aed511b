#pragma once
// The add-in's component: class BrindlecastFree with its interface IBrindlecastFree, and
// IBrindlecastScript, through which a command-line host answers the dialogs and reads how an
// export ended.

#include "com/ComBase.h"
#include "com/ComBstr.h"

namespace addin {

inline constexpr CLSID CLSID_BrindlecastFree = com::GuidFromLiteral("0B49FC2B-A0A1-4870-8991-A228600B48D8");
inline constexpr GUID LIBID_BrindlecastFree = com::GuidFromLiteral("CC40917D-765C-4992-896D-B7A68E17B96B");
inline constexpr IID IID_IBrindlecastFree = com::GuidFromLiteral("5D0E8A31-7C2B-4E8F-9A61-3B7D2C9E4F10");
inline constexpr IID IID_IBrindlecastScript = com::GuidFromLiteral("5D0E8A32-7C2B-4E8F-9A61-3B7D2C9E4F10");

constexpr const wchar_t* kBrindlecastProgId = L"Brindlecast_free.BrindlecastFree.1";
constexpr const wchar_t* kBrindlecastVersionIndependentProgId = L"Brindlecast_free.BrindlecastFree";
constexpr const wchar_t* kBrindlecastClassDescription = L"BrindlecastFree Class";

struct IBrindlecastFree : IUnknown {
    // 1 when the current language defines the message, else 0; always S_OK.
    virtual HRESULT get_HasMessage(BSTR messageName, LONG* pVal) = 0;
    // E_FAIL, pVal untouched, when the current language lacks the message.
    virtual HRESULT get_Message(BSTR messageName, BSTR* pVal) = 0;
    // presentation: a _Presentation, slideRange: a SlideRange; either may be null. Always S_OK.
    virtual HRESULT Export(IUnknown* presentation, IUnknown* slideRange) = 0;
    virtual HRESULT About() = 0;
    virtual HRESULT Options() = 0;
};
BC_DECLARE_INTERFACE_IID(IBrindlecastFree, IID_IBrindlecastFree)

// How the last Export ended.
enum BrindlecastOutcome : LONG {
    kOutcomeNone = 0,  // no export yet
    kOutcomeSucceeded = 1,
    kOutcomeCancelled = 2,         // Cancel during the conversion
    kOutcomeFailed = 3,            // the error was reported
    kOutcomePublishCancelled = 4,  // the Publish dialog was not accepted
};

struct IBrindlecastScript : IUnknown {
    // Answers for the dialogs: "output", "width", "height", "slides" (all|selected|current),
    // "auto-advance" (seconds), "no-auto-advance" (1: slides wait for a click), "debug", "lang", "yes", "open",
    // "terminal" (progress on stderr). E_INVALIDARG for an unknown name or a value out of range.
    virtual HRESULT SetAnswer(BSTR name, BSTR value) = 0;
    virtual HRESULT get_LastOutcome(LONG* outcome) = 0;
    // "caption: description" of the last failure; empty after a success.
    virtual HRESULT get_LastErrorText(BSTR* text) = 0;
    virtual HRESULT get_LastOutputFile(BSTR* path) = 0;
    // A warning of the host's own (reading the presentation, drawing its shapes) for the
    // running export, or the next one when none runs; shown and logged with the export's own.
    virtual HRESULT AddWarning(BSTR text) = 0;
};
BC_DECLARE_INTERFACE_IID(IBrindlecastScript, IID_IBrindlecastScript)

// Creates a control in this module and queries it for riid.
HRESULT CreateBrindlecastFree(REFIID riid, void** ppv);
// Controls alive in this module (the module may unload at 0).
LONG BrindlecastFreeObjectCount();

}  // namespace addin
