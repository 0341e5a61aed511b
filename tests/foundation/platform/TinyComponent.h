#pragma once
// The interfaces of the tiny test component (TinyComponent.cpp, built as its own library).

#include "com/ComLite.h"

// {6D1B2A3C-4E5F-4A6B-8C7D-9E0F1A2B3C4D}
inline constexpr CLSID CLSID_TinyGreeter = com::GuidFromLiteral("{6D1B2A3C-4E5F-4A6B-8C7D-9E0F1A2B3C4D}");
DEFINE_GUID(IID_ITinyGreeter, 0x1F2E3D4C, 0x5B6A, 0x4978, 0x86, 0x95, 0xA4, 0xB3, 0xC2, 0xD1, 0xE0, 0xF1);
DEFINE_GUID(IID_ITinyCounter, 0x2A3B4C5D, 0x6E7F, 0x4081, 0x92, 0xA3, 0xB4, 0xC5, 0xD6, 0xE7, 0xF8, 0x09);

inline const wchar_t kTinyProgId[] = L"BcTest.TinyGreeter.1";
inline const wchar_t kTinyVersionIndependentProgId[] = L"BcTest.TinyGreeter";

struct ITinyGreeter : IUnknown {
    // "Hello, " + name + "!"
    virtual HRESULT Greet(BSTR name, BSTR* greeting) = 0;
    // A VT_ARRAY|VT_UI1 of count bytes 0, 1, 2, ... (as a compiler hands back its output).
    virtual HRESULT GetBytes(LONG count, VARIANT* data) = 0;
};
BC_DECLARE_INTERFACE_IID(ITinyGreeter, IID_ITinyGreeter)

struct ITinyCounter : IUnknown {
    virtual HRESULT Next(LONG* value) = 0;
};
BC_DECLARE_INTERFACE_IID(ITinyCounter, IID_ITinyCounter)
