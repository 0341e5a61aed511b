#pragma once
// Creating objects of registered classes, and the text forms of class ids.
//
// An in-process component is a shared library exporting DllGetClassObject, DllCanUnloadNow,
// DllRegisterServer and DllUnregisterServer. CoCreateInstance reads the default value of
// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 (the library's path), loads the library once
// per path and keeps it loaded, and asks its class factory for the object.

#include "ComBase.h"
#include "ComBstr.h"

#include <string>

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD COINIT_MULTITHREADED = 0x0;

// Apartments do not exist here; these succeed and do nothing.
HRESULT CoInitialize(void* pvReserved);
HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit);
void CoUninitialize();

// Failures: E_POINTER (null ppv), CLASS_E_NOAGGREGATION (an outer object: no class here supports
// aggregation), REGDB_E_CLASSNOTREG (no InprocServer32 path, or no in-process context asked
// for), CO_E_DLLNOTFOUND (the library file is missing), CO_E_ERRORINDLL (it cannot be loaded or
// lacks DllGetClassObject), else whatever the library's factory returns. *ppv is null on failure.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* pvReserved, REFIID riid, void** ppv);
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv);

// "{XXXXXXXX-...}" in task memory (free with CoTaskMemFree).
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz);
// Writes into a caller's buffer; returns the characters written including the NUL, 0 when cchMax
// is below 39.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// "{...}" text, or a ProgID (looked up as CLSIDFromProgID does). CO_E_CLASSSTRING when neither.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
HRESULT IIDFromString(LPCOLESTR lpsz, IID* lpiid);
// HKEY_CLASSES_ROOT\<ProgID>\CLSID. CO_E_CLASSSTRING when the ProgID is unknown.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
// HKEY_CLASSES_ROOT\CLSID\{clsid}\ProgID, in task memory. REGDB_E_CLASSNOTREG when absent.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID);

// Shared-library entry points of a component.
using PFN_DllGetClassObject = HRESULT (*)(REFCLSID rclsid, REFIID riid, void** ppv);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();
using PFN_DllUnregisterServer = HRESULT (*)();

namespace com {
// Wide-string forms of the calls above.
HRESULT CLSIDFromProgID(const std::wstring& progId, CLSID* clsid);
HRESULT CLSIDFromString(const std::wstring& text, CLSID* clsid);
// The registered library path of a class; empty when none.
std::wstring InprocServerPath(REFCLSID clsid);
// Why the last library load in this thread failed (the loader's text); empty after a success.
std::string LastLoadError();
}  // namespace com
