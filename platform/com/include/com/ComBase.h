#pragma once
// COM-lite basics: HRESULT, GUID, IUnknown and IClassFactory.

#include "base/wintypes/BcWinTypes.h"

#include <cstdint>
#include <string>

// ---- HRESULT --------------------------------------------------------------------------------
using HRESULT = std::int32_t;
using SCODE = std::int32_t;

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr HRESULT MAKE_HRESULT_FAILURE(std::uint32_t value) { return static_cast<HRESULT>(value); }

constexpr int FACILITY_WIN32 = 7;
constexpr HRESULT HRESULT_FROM_WIN32(long error) {
    return error <= 0 ? static_cast<HRESULT>(error)
                      : static_cast<HRESULT>((static_cast<std::uint32_t>(error) & 0xFFFFu) | (FACILITY_WIN32 << 16) |
                                             0x80000000u);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MAKE_HRESULT_FAILURE(0x80004001u);
constexpr HRESULT E_NOINTERFACE = MAKE_HRESULT_FAILURE(0x80004002u);
constexpr HRESULT E_POINTER = MAKE_HRESULT_FAILURE(0x80004003u);
constexpr HRESULT E_ABORT = MAKE_HRESULT_FAILURE(0x80004004u);
constexpr HRESULT E_FAIL = MAKE_HRESULT_FAILURE(0x80004005u);
constexpr HRESULT E_UNEXPECTED = MAKE_HRESULT_FAILURE(0x8000FFFFu);
constexpr HRESULT E_ACCESSDENIED = MAKE_HRESULT_FAILURE(0x80070005u);
constexpr HRESULT E_HANDLE = MAKE_HRESULT_FAILURE(0x80070006u);
constexpr HRESULT E_OUTOFMEMORY = MAKE_HRESULT_FAILURE(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MAKE_HRESULT_FAILURE(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = MAKE_HRESULT_FAILURE(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MAKE_HRESULT_FAILURE(0x80040111u);
constexpr HRESULT REGDB_E_READREGDB = MAKE_HRESULT_FAILURE(0x80040150u);
constexpr HRESULT REGDB_E_WRITEREGDB = MAKE_HRESULT_FAILURE(0x80040151u);
constexpr HRESULT REGDB_E_CLASSNOTREG = MAKE_HRESULT_FAILURE(0x80040154u);
constexpr HRESULT SELFREG_E_TYPELIB = MAKE_HRESULT_FAILURE(0x80040200u);
constexpr HRESULT SELFREG_E_CLASS = MAKE_HRESULT_FAILURE(0x80040201u);
constexpr HRESULT CO_E_NOTINITIALIZED = MAKE_HRESULT_FAILURE(0x800401F0u);
constexpr HRESULT CO_E_CLASSSTRING = MAKE_HRESULT_FAILURE(0x800401F3u);
constexpr HRESULT CO_E_DLLNOTFOUND = MAKE_HRESULT_FAILURE(0x800401F8u);
constexpr HRESULT CO_E_ERRORINDLL = MAKE_HRESULT_FAILURE(0x800401F9u);
constexpr HRESULT DISP_E_TYPEMISMATCH = MAKE_HRESULT_FAILURE(0x80020005u);
constexpr HRESULT DISP_E_BADVARTYPE = MAKE_HRESULT_FAILURE(0x80020008u);
constexpr HRESULT DISP_E_EXCEPTION = MAKE_HRESULT_FAILURE(0x80020009u);
constexpr HRESULT DISP_E_OVERFLOW = MAKE_HRESULT_FAILURE(0x8002000Au);
constexpr HRESULT DISP_E_BADINDEX = MAKE_HRESULT_FAILURE(0x8002000Bu);
constexpr HRESULT DISP_E_ARRAYISLOCKED = MAKE_HRESULT_FAILURE(0x8002000Du);

// A short English text for an HRESULT ("Unspecified error", "Class not registered", ...);
// unknown codes read "Unknown error 0x8XXXXXXX".
std::wstring HResultMessage(HRESULT hr);

// Method declaration helpers, so interfaces read as they do elsewhere.
#define STDMETHODCALLTYPE
#define STDMETHOD(method) virtual HRESULT method
#define STDMETHOD_(type, method) virtual type method
#define STDMETHODIMP HRESULT
#define STDMETHODIMP_(type) type

// ---- GUID -----------------------------------------------------------------------------------
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPCLSID = CLSID*;

constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
constexpr bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
constexpr bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return IsEqualGUID(a, b); }
constexpr bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
constexpr bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }
// An ordering, so GUIDs can key a std::map.
bool operator<(REFGUID a, REFGUID b);

// Declares a GUID constant in the header that names it:
//   DEFINE_GUID(IID_IFoo, 0x12345678, 0x1234, 0x1234, 0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC);
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

namespace com {
namespace detail {
constexpr int HexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : throw "not a hexadecimal digit in a GUID literal";
}
constexpr std::uint32_t HexField(const char* s, int digits) {
    std::uint32_t v = 0;
    for (int i = 0; i < digits; ++i) v = (v << 4) | static_cast<std::uint32_t>(HexDigit(s[i]));
    return v;
}
constexpr const char* SkipBrace(const char* s) { return s[0] == '{' ? s + 1 : s; }
}  // namespace detail

// A GUID from its text, with or without braces, at compile time:
//   inline constexpr CLSID CLSID_Foo = com::GuidFromLiteral("0B49FC2B-A0A1-4870-8991-A228600B48D8");
// Malformed text does not compile when used in a constant expression.
constexpr GUID GuidFromLiteral(const char* text) {
    const char* s = detail::SkipBrace(text);
    if (s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-')
        throw "GUID literal must read xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx";
    GUID g{detail::HexField(s, 8),
           static_cast<std::uint16_t>(detail::HexField(s + 9, 4)),
           static_cast<std::uint16_t>(detail::HexField(s + 14, 4)),
           {}};
    const int offsets[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<std::uint8_t>(detail::HexField(s + offsets[i], 2));
    return g;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::wstring GuidToString(REFGUID guid);
// Accepts exactly that form (any case, braces required); false leaves *guid untouched.
bool GuidFromString(const std::wstring& text, GUID* guid);
}  // namespace com

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr CLSID CLSID_NULL = GUID_NULL;

// ---- Interface ids for templates ----------------------------------------------------------
// Each interface names its IID once, next to its declaration and in its own namespace:
//   BC_DECLARE_INTERFACE_IID(IFoo, IID_IFoo);
// and templates (CComPtr::QueryInterface, UuidOf<T>()) find it. A derived interface without its
// own declaration does not compile rather than silently using its base's IID.
namespace com {
template <class T>
struct IidTag {};
}  // namespace com

#define BC_DECLARE_INTERFACE_IID(Interface, iid) \
    inline const IID& BcInterfaceIid(::com::IidTag<Interface>) { return iid; }

template <class T>
const IID& UuidOf() {
    return BcInterfaceIid(::com::IidTag<T>());
}

// ---- IUnknown and IClassFactory -----------------------------------------------------------
DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    // Objects go away through Release; the destructor is virtual so "delete this" in any
    // implementation destroys the whole object.
    virtual ~IUnknown() = default;
};
BC_DECLARE_INTERFACE_IID(IUnknown, IID_IUnknown)

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;
};
BC_DECLARE_INTERFACE_IID(IClassFactory, IID_IClassFactory)
