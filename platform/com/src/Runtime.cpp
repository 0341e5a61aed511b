// Object creation through the registry, and class-id text forms.

#include "base/encodings/TextEncoding.h"
#include "com/ComRuntime.h"
#include "registry/Registry.h"

#include <dlfcn.h>
#include <unistd.h>
#include <map>
#include <mutex>
#include <string>

namespace {

std::mutex g_loadMutex;
std::map<std::string, void*> g_libraries;  // by path; loaded libraries stay loaded
thread_local std::string t_lastLoadError;

HRESULT LoadLibraryOnce(const std::string& path, void** handle) {
    std::lock_guard<std::mutex> guard(g_loadMutex);
    auto it = g_libraries.find(path);
    if (it != g_libraries.end()) {
        *handle = it->second;
        t_lastLoadError.clear();
        return S_OK;
    }
    // A bare name would make dlopen search the library path, as the system loader does.
    if (path.find('/') != std::string::npos && access(path.c_str(), F_OK) != 0) {
        t_lastLoadError = path + ": no such file";
        return CO_E_DLLNOTFOUND;
    }
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        const char* why = dlerror();
        t_lastLoadError = why ? why : path + ": cannot be loaded";
        return path.find('/') == std::string::npos ? CO_E_DLLNOTFOUND : CO_E_ERRORINDLL;
    }
    g_libraries[path] = lib;
    t_lastLoadError.clear();
    *handle = lib;
    return S_OK;
}

}  // namespace

HRESULT CoInitialize(void*) { return S_OK; }

HRESULT CoInitializeEx(void*, DWORD) { return S_OK; }

void CoUninitialize() {}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void*, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(dwClsContext & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;  // only in-process servers exist here
    const std::wstring path = com::InprocServerPath(rclsid);
    if (path.empty()) return REGDB_E_CLASSNOTREG;
    void* lib = nullptr;
    HRESULT hr = LoadLibraryOnce(base::encodings::Utf8FromWide(path), &lib);
    if (FAILED(hr)) return hr;
    auto getClassObject = reinterpret_cast<PFN_DllGetClassObject>(dlsym(lib, "DllGetClassObject"));
    if (!getClassObject) {
        t_lastLoadError = base::encodings::Utf8FromWide(path) + ": no DllGetClassObject";
        return CO_E_ERRORINDLL;
    }
    hr = getClassObject(rclsid, riid, ppv);
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    if (!factory) return E_UNEXPECTED;
    hr = factory->CreateInstance(nullptr, riid, ppv);
    factory->Release();
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

namespace {

HRESULT TaskString(const std::wstring& text, LPOLESTR* out) {
    const std::u16string units = U16FromWString(text);
    auto* buffer = static_cast<LPOLESTR>(CoTaskMemAlloc((units.size() + 1) * sizeof(OLECHAR)));
    if (!buffer) return E_OUTOFMEMORY;
    std::copy(units.begin(), units.end(), buffer);
    buffer[units.size()] = 0;
    *out = buffer;
    return S_OK;
}

}  // namespace

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
    if (!lplpsz) return E_INVALIDARG;
    *lplpsz = nullptr;
    return TaskString(com::GuidToString(rclsid), lplpsz);
}

HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz) { return StringFromCLSID(rclsid, lplpsz); }

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    const std::wstring text = com::GuidToString(rguid);
    if (!lpsz || cchMax < static_cast<int>(text.size()) + 1) return 0;
    for (std::size_t i = 0; i < text.size(); ++i) lpsz[i] = static_cast<OLECHAR>(text[i]);
    lpsz[text.size()] = 0;
    return static_cast<int>(text.size()) + 1;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (!lpsz || !pclsid) return E_INVALIDARG;
    return com::CLSIDFromString(WStringFromOleStr(lpsz), pclsid);
}

HRESULT IIDFromString(LPCOLESTR lpsz, IID* lpiid) {
    if (!lpsz || !lpiid) return E_INVALIDARG;
    return com::GuidFromString(WStringFromOleStr(lpsz), lpiid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
    if (!lpszProgID || !lpclsid) return E_INVALIDARG;
    return com::CLSIDFromProgID(WStringFromOleStr(lpszProgID), lpclsid);
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
    if (!lplpszProgID) return E_INVALIDARG;
    *lplpszProgID = nullptr;
    const std::wstring progId =
        registry::ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + com::GuidToString(clsid) + L"\\ProgID", L"");
    if (progId.empty()) return REGDB_E_CLASSNOTREG;
    return TaskString(progId, lplpszProgID);
}

namespace com {

HRESULT CLSIDFromProgID(const std::wstring& progId, CLSID* clsid) {
    if (!clsid) return E_INVALIDARG;
    // A ProgID is a key name: no separators, no empty name.
    if (progId.empty() || progId.find(L'\\') != std::wstring::npos) return CO_E_CLASSSTRING;
    const std::wstring text = registry::ReadString(HKEY_CLASSES_ROOT, progId + L"\\CLSID", L"");
    return GuidFromString(text, clsid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CLSIDFromString(const std::wstring& text, CLSID* clsid) {
    if (!clsid) return E_INVALIDARG;
    if (!text.empty() && text[0] == L'{') return GuidFromString(text, clsid) ? S_OK : CO_E_CLASSSTRING;
    return CLSIDFromProgID(text, clsid);
}

std::wstring InprocServerPath(REFCLSID clsid) {
    return registry::ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidToString(clsid) + L"\\InprocServer32", L"");
}

std::string LastLoadError() { return t_lastLoadError; }

}  // namespace com
