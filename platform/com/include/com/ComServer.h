#pragma once
// What a component library needs to be one: a class factory per class, the module's lock count,
// and registration under HKEY_CLASSES_ROOT. A component lists its classes in a CComServerModule
// and exports the four entry points with BC_COM_SERVER_EXPORTS:
//
//   static com::CComServerModule& Module() {
//       static com::CComServerModule module({{CLSID_Foo, L"Lib.Foo.1", L"Lib.Foo", L"Foo Class",
//                                               &CreateFoo}});
//       return module;
//   }
//   BC_COM_SERVER_EXPORTS(Module())

#include "ComBase.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace com {

// One value written below the class key; "%MODULE%" in the text becomes the library's path.
struct CComRegistryValue {
    std::wstring subKey;  // relative to HKEY_CLASSES_ROOT\CLSID\{clsid}; empty: the class key
    std::wstring name;    // empty: the default value
    std::wstring text;
};

struct CComClassInfo {
    CLSID clsid;
    std::wstring progId;                    // "Lib.Class.1"; empty: none
    std::wstring versionIndependentProgId;  // "Lib.Class"; empty: none
    std::wstring description;               // default value of the class and ProgID keys
    // Creates a new object and queries it for riid.
    HRESULT (*createInstance)(REFIID riid, void** ppv);
    std::wstring threadingModel = L"Apartment";
    std::vector<CComRegistryValue> extraValues;
};

class CComServerModule {
public:
    explicit CComServerModule(std::vector<CComClassInfo> classes);
    ~CComServerModule();
    CComServerModule(const CComServerModule&) = delete;
    CComServerModule& operator=(const CComServerModule&) = delete;

    // An address inside the component library; its path is found from it.
    void SetModuleAddress(const void* address) { m_address = address; }
    // Absolute path of the component library; empty when it cannot be found.
    std::wstring ModulePath() const;

    // CLASS_E_CLASSNOTAVAILABLE for a class not listed; E_POINTER for null ppv. Each class's
    // factory is made once and kept.
    HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
    // S_OK when no object or server lock is alive, else S_FALSE.
    HRESULT CanUnloadNow() const;
    // Writes, for each class: CLSID\{clsid} (description), its InprocServer32 (library path,
    // ThreadingModel), ProgID and VersionIndependentProgID, the extra values, and the ProgID keys
    // with CLSID (and CurVer on the version-independent one). SELFREG_E_CLASS on failure.
    HRESULT RegisterServer();
    // Removes those keys. A ProgID key now naming another class is left alone.
    HRESULT UnregisterServer();

    // Objects call Lock in their constructor and Unlock in their destructor.
    void Lock() { ++m_locks; }
    void Unlock() { --m_locks; }
    LONG LockCount() const { return m_locks.load(); }

private:
    struct Factory;
    std::vector<CComClassInfo> m_classes;
    std::vector<IUnknown*> m_factories;  // one per class, made on first use
    std::mutex m_mutex;
    std::atomic<LONG> m_locks{0};
    const void* m_address = nullptr;
};

// IUnknown for an object implementing Interfaces... (each declared with BC_DECLARE_INTERFACE_IID).
// Reference counting is atomic; the last Release deletes the object.
template <class... Interfaces>
class CComObjectImpl : public Interfaces... {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown))
            *ppv = static_cast<IUnknown*>(static_cast<First*>(this));
        else
            (void)((IsEqualIID(riid, UuidOf<Interfaces>()) ? (*ppv = static_cast<Interfaces*>(this), true) : false) ||
                   ...);
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

protected:
    CComObjectImpl() = default;
    ~CComObjectImpl() override = default;

private:
    template <class A, class...>
    struct FirstOf {
        using type = A;
    };
    using First = typename FirstOf<Interfaces...>::type;
    std::atomic<ULONG> m_refs{1};
};

}  // namespace com

// Defines the four exported entry points of a component over a CComServerModule expression.
#define BC_COM_SERVER_EXPORTS(moduleExpr)                                                                     \
    static const char bcComModuleAnchor = 0;                                                                  \
    static ::com::CComServerModule& BcComServerModule() {                                                     \
        ::com::CComServerModule& module = (moduleExpr);                                                       \
        module.SetModuleAddress(&bcComModuleAnchor);                                                          \
        return module;                                                                                        \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, \
                                                                                void** ppv) {                 \
        return BcComServerModule().GetClassObject(rclsid, riid, ppv);                                         \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {                             \
        return BcComServerModule().CanUnloadNow();                                                            \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {                           \
        return BcComServerModule().RegisterServer();                                                          \
    }                                                                                                         \
    extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {                         \
        return BcComServerModule().UnregisterServer();                                                        \
    }
