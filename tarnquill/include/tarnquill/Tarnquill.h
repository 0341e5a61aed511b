// The compiler component as its callers see it: one class, one interface.
// Call order the driver relies on: put_IgnoreErrors, put_BaseFolder, put_SchemaPath, Compile,
// GetSwfData, GetSwfSize. GetLastErrorText explains the last failing Compile.
#pragma once

#include "com/ComLite.h"

inline constexpr CLSID CLSID_TarnquillCompiler = com::GuidFromLiteral("D2403EC7-03E2-44BC-A3F6-DE230C9BD7AE");
inline constexpr IID IID_ITarnquillCompiler = com::GuidFromLiteral("FF21BD68-20A3-4F69-BFE4-94449ABE9B1A");
inline constexpr IID IID_ITarnquillProgress = com::GuidFromLiteral("FF21BD69-20A3-4F69-BFE4-94449ABE9B1A");
inline constexpr IID IID_ITarnquillCompileReports = com::GuidFromLiteral("FF21BD6A-20A3-4F69-BFE4-94449ABE9B1A");
inline constexpr const wchar_t* kTarnquillProgId = L"Tarnquill.Compiler.1";

struct ITarnquillCompiler : IUnknown {
    // VARIANT_FALSE (the driver's choice): a description that cannot be compiled fails Compile.
    // VARIANT_TRUE: pictures that cannot be read become empty shapes instead.
    virtual HRESULT put_IgnoreErrors(VARIANT_BOOL ignore) = 0;
    // Folder against which the files named by the description are resolved; empty: the
    // folder of the description itself.
    virtual HRESULT put_BaseFolder(BSTR folder) = 0;
    // XML schema to validate the description against; empty: no validation.
    virtual HRESULT put_SchemaPath(BSTR path) = 0;
    // S_OK with the SWF kept for GetSwfData; E_FAIL when the description cannot be compiled
    // (then GetLastErrorText tells why and no SWF is kept); E_INVALIDARG for a null path.
    virtual HRESULT Compile(BSTR xmlPath) = 0;
    // A VARIANT of type VT_ARRAY|VT_UI1 holding the SWF bytes; E_UNEXPECTED before a
    // successful Compile.
    virtual HRESULT GetSwfData(VARIANT* data) = 0;
    // Number of SWF bytes (the length of GetSwfData's array); 0 before a successful Compile.
    virtual HRESULT GetSwfSize(LONG* size) = 0;
    // The message of the last failing Compile (element, attribute and line when known);
    // empty after a success.
    virtual HRESULT GetLastErrorText(BSTR* text) = 0;
};
BC_DECLARE_INTERFACE_IID(ITarnquillCompiler, IID_ITarnquillCompiler)

// Implemented by a caller that wants to follow a compile.
struct ITarnquillProgress : IUnknown {
    // done of total steps so far, called on the thread that called Compile. A failure code
    // stops the compile: Compile returns that code and keeps no SWF.
    virtual HRESULT OnProgress(LONG done, LONG total) = 0;
};
BC_DECLARE_INTERFACE_IID(ITarnquillProgress, IID_ITarnquillProgress)

// The component's second interface: progress of the next compiles and the warnings of the
// last one. Callers that do not ask for it see the compiler as before.
struct ITarnquillCompileReports : IUnknown {
    // Held (AddRef'ed) until replaced; null stops the reports.
    virtual HRESULT put_Progress(ITarnquillProgress* progress) = 0;
    // What the last Compile left out or changed while still writing the SWF; none after a
    // failure.
    virtual HRESULT get_WarningCount(LONG* count) = 0;
    // E_INVALIDARG for an index outside 0 .. count - 1.
    virtual HRESULT GetWarningText(LONG index, BSTR* text) = 0;
};
BC_DECLARE_INTERFACE_IID(ITarnquillCompileReports, IID_ITarnquillCompileReports)
