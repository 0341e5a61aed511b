// The component side: class factories, lock count and self-registration.

#include "base/encodings/TextEncoding.h"
#include "com/ComBstr.h"
#include "com/ComServer.h"
#include "registry/Registry.h"

#include <dlfcn.h>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace com {

struct CComServerModule::Factory : IClassFactory {
    Factory(CComServerModule& module, const CComClassInfo& info) : m_module(module), m_info(info) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter) return CLASS_E_NOAGGREGATION;
        if (!m_info.createInstance) return E_UNEXPECTED;
        HRESULT hr = m_info.createInstance(riid, ppv);
        if (FAILED(hr)) *ppv = nullptr;
        return hr;
    }
    HRESULT LockServer(BOOL fLock) override {
        if (fLock)
            m_module.Lock();
        else
            m_module.Unlock();
        return S_OK;
    }

private:
    CComServerModule& m_module;
    const CComClassInfo& m_info;
    std::atomic<ULONG> m_refs{1};
};

CComServerModule::CComServerModule(std::vector<CComClassInfo> classes)
    : m_classes(std::move(classes)), m_factories(m_classes.size(), nullptr) {}

CComServerModule::~CComServerModule() {
    for (IUnknown* factory : m_factories)
        if (factory) factory->Release();
}

std::wstring CComServerModule::ModulePath() const {
    Dl_info info{};
    if (!m_address || !dladdr(m_address, &info) || !info.dli_fname) return std::wstring();
    char resolved[PATH_MAX];
    const char* path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    return base::encodings::WideFromUtf8(path, std::strlen(path));
}

HRESULT CComServerModule::GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (std::size_t i = 0; i < m_classes.size(); ++i) {
        if (!IsEqualCLSID(m_classes[i].clsid, rclsid)) continue;
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_factories[i]) m_factories[i] = new Factory(*this, m_classes[i]);
        return m_factories[i]->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CComServerModule::CanUnloadNow() const { return m_locks.load() == 0 ? S_OK : S_FALSE; }

namespace {

std::wstring ReplaceModule(std::wstring text, const std::wstring& modulePath) {
    const std::wstring token = L"%MODULE%";
    for (std::size_t pos = text.find(token); pos != std::wstring::npos; pos = text.find(token, pos + modulePath.size()))
        text.replace(pos, token.size(), modulePath);
    return text;
}

bool NamesClass(const std::wstring& progId, REFCLSID clsid) {
    GUID named;
    return GuidFromString(registry::ReadString(HKEY_CLASSES_ROOT, progId + L"\\CLSID", L""), &named) &&
           IsEqualGUID(named, clsid);
}

bool RemoveTree(const std::wstring& path) {
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace

HRESULT CComServerModule::RegisterServer() {
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty()) return SELFREG_E_CLASS;
    const HKEY root = HKEY_CLASSES_ROOT;
    bool ok = true;
    for (const CComClassInfo& info : m_classes) {
        const std::wstring clsidText = GuidToString(info.clsid);
        const std::wstring classKey = L"CLSID\\" + clsidText;
        ok = ok && registry::WriteString(root, classKey, L"", info.description);
        ok = ok && registry::WriteString(root, classKey + L"\\InprocServer32", L"", modulePath);
        if (!info.threadingModel.empty())
            ok = ok &&
                 registry::WriteString(root, classKey + L"\\InprocServer32", L"ThreadingModel", info.threadingModel);
        if (!info.progId.empty()) {
            ok = ok && registry::WriteString(root, classKey + L"\\ProgID", L"", info.progId);
            ok = ok && registry::WriteString(root, info.progId, L"", info.description);
            ok = ok && registry::WriteString(root, info.progId + L"\\CLSID", L"", clsidText);
        }
        if (!info.versionIndependentProgId.empty()) {
            const std::wstring& vi = info.versionIndependentProgId;
            ok = ok && registry::WriteString(root, classKey + L"\\VersionIndependentProgID", L"", vi);
            ok = ok && registry::WriteString(root, vi, L"", info.description);
            ok = ok && registry::WriteString(root, vi + L"\\CLSID", L"", clsidText);
            if (!info.progId.empty()) ok = ok && registry::WriteString(root, vi + L"\\CurVer", L"", info.progId);
        }
        for (const CComRegistryValue& extra : info.extraValues) {
            const std::wstring key = extra.subKey.empty() ? classKey : classKey + L"\\" + extra.subKey;
            ok = ok && registry::WriteString(root, key, extra.name, ReplaceModule(extra.text, modulePath));
        }
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT CComServerModule::UnregisterServer() {
    bool ok = true;
    for (const CComClassInfo& info : m_classes) {
        for (const std::wstring* progId : {&info.progId, &info.versionIndependentProgId})
            if (!progId->empty() && progId->find(L'\\') == std::wstring::npos && NamesClass(*progId, info.clsid))
                ok = RemoveTree(*progId) && ok;
        ok = RemoveTree(L"CLSID\\" + GuidToString(info.clsid)) && ok;
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace com
