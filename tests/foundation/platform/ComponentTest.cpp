// A component library end to end: self-registration, CoCreateInstance through the registry,
// unregistration, loader failures, and the bcregsvr tool.

#include "BcVersion.h"
#include "TempRegistry.h"
#include "TinyComponent.h"
#include "com/ComLite.h"
#include "registry/Registry.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string RealPath(const char* path) {
    char resolved[PATH_MAX];
    return realpath(path, resolved) ? resolved : path;
}

const std::wstring kClassKey = L"CLSID\\" + com::GuidToString(CLSID_TinyGreeter);

// Loads the component directly, as bcregsvr does.
class CComponentLibrary {
public:
    CComponentLibrary() : m_handle(dlopen(BC_TINY_COMPONENT, RTLD_NOW | RTLD_LOCAL)) {}
    ~CComponentLibrary() {
        if (m_handle) dlclose(m_handle);
    }
    void* Symbol(const char* entry) const { return m_handle ? dlsym(m_handle, entry) : nullptr; }
    HRESULT Call(const char* entry) const {
        auto function = reinterpret_cast<HRESULT (*)()>(Symbol(entry));
        return function ? function() : E_UNEXPECTED;
    }
    bool Loaded() const { return m_handle != nullptr; }

private:
    void* m_handle;
};

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) result.output += buffer;
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

TEST(ComComponent, RegisterCreateCallAndUnregister) {
    CTempRegistry registry;
    CComponentLibrary library;
    ASSERT_TRUE(library.Loaded()) << dlerror();

    // Before registration the class is unknown.
    CComPtr<ITinyGreeter> greeter;
    EXPECT_EQ(greeter.CoCreateInstance(CLSID_TinyGreeter), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(greeter.Get(), nullptr);

    ASSERT_EQ(library.Call("DllRegisterServer"), S_OK);
    const std::wstring modulePath = Wide(RealPath(BC_TINY_COMPONENT));
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey, L""), L"TinyGreeter Class");
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", L""), modulePath);
    EXPECT_EQ(com::InprocServerPath(CLSID_TinyGreeter), modulePath);
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", L"ThreadingModel"),
              L"Apartment");
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\ProgID", L""), kTinyProgId);
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\VersionIndependentProgID", L""),
              kTinyVersionIndependentProgId);
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey, L"Version"), L"1.0");
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\ToolboxBitmap32", L""), modulePath + L", 102");
    EXPECT_EQ(registry::ReadString(HKEY_CLASSES_ROOT, std::wstring(kTinyVersionIndependentProgId) + L"\\CurVer", L""),
              kTinyProgId);

    // ProgIDs lead to the class id, and back.
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"BcTest.TinyGreeter.1", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TinyGreeter);
    clsid = GUID_NULL;
    EXPECT_EQ(CLSIDFromString(u"bctest.tinygreeter", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TinyGreeter);
    EXPECT_EQ(CLSIDFromProgID(u"BcTest.Nothing", &clsid), CO_E_CLASSSTRING);
    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_TinyGreeter, &progId), S_OK);
    EXPECT_EQ(WStringFromOleStr(progId), kTinyProgId);
    CoTaskMemFree(progId);

    // Create by class id and call through the interface.
    ASSERT_EQ(greeter.CoCreateInstance(CLSID_TinyGreeter, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER), S_OK);
    CBstr greeting;
    ASSERT_EQ(greeter->Greet(CBstr(L"Linux \U0001F600"), &greeting), S_OK);
    EXPECT_EQ(greeting.ToWString(), L"Hello, Linux \U0001F600!");
    VARIANT bytes;
    VariantInit(&bytes);
    ASSERT_EQ(greeter->GetBytes(300, &bytes), S_OK);
    ASSERT_EQ(bytes.vt, VT_ARRAY | VT_UI1);
    LONG hi = 0;
    EXPECT_EQ(SafeArrayGetUBound(bytes.parray, 1, &hi), S_OK);
    EXPECT_EQ(hi, 299);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(bytes.parray, &data), S_OK);
    EXPECT_EQ(static_cast<BYTE*>(data)[299], 299 % 256);
    SafeArrayUnaccessData(bytes.parray);
    EXPECT_EQ(VariantClear(&bytes), S_OK);

    // The object's second interface, reached through QueryInterface.
    CComPtr<ITinyCounter> counter;
    ASSERT_EQ(greeter.QueryInterface(&counter), S_OK);
    LONG n = 0;
    counter->Next(&n);
    counter->Next(&n);
    EXPECT_EQ(n, 2);

    // The library stays loaded while objects live.
    EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);
    greeter.Release();
    counter.Release();
    EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);

    // Failures of creation.
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_TinyGreeter, nullptr, CLSCTX_ALL, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    CComPtr<ITinyGreeter> outer;
    ASSERT_EQ(outer.CoCreateInstance(CLSID_TinyGreeter), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_TinyGreeter, outer, CLSCTX_ALL, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_TinyGreeter, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_TinyGreeter, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_POINTER);
    outer.Release();

    // The class factory: one per class, aggregation refused, unknown classes refused.
    auto getClassObject = reinterpret_cast<PFN_DllGetClassObject>(library.Symbol("DllGetClassObject"));
    ASSERT_NE(getClassObject, nullptr);
    CComPtr<IClassFactory> f1, f2;
    ASSERT_EQ(getClassObject(CLSID_TinyGreeter, IID_IClassFactory, reinterpret_cast<void**>(&f1)), S_OK);
    ASSERT_EQ(getClassObject(CLSID_TinyGreeter, IID_IClassFactory, reinterpret_cast<void**>(&f2)), S_OK);
    EXPECT_EQ(f1.Get(), f2.Get());
    EXPECT_EQ(f1->CreateInstance(f2, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(getClassObject(IID_ITinyGreeter, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(getClassObject(CLSID_TinyGreeter, IID_IClassFactory, nullptr), E_POINTER);
    f1->LockServer(TRUE);
    EXPECT_EQ(library.Call("DllCanUnloadNow"), S_FALSE);
    f1->LockServer(FALSE);
    EXPECT_EQ(library.Call("DllCanUnloadNow"), S_OK);
    f1.Release();
    f2.Release();

    // Unregistering removes the keys: the class is unknown again.
    ASSERT_EQ(library.Call("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(registry::KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(registry::KeyExists(HKEY_CLASSES_ROOT, kTinyProgId));
    EXPECT_FALSE(registry::KeyExists(HKEY_CLASSES_ROOT, kTinyVersionIndependentProgId));
    EXPECT_EQ(greeter.CoCreateInstance(CLSID_TinyGreeter), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CLSIDFromProgID(u"BcTest.TinyGreeter.1", &clsid), CO_E_CLASSSTRING);
    // Unregistering twice is harmless.
    EXPECT_EQ(library.Call("DllUnregisterServer"), S_OK);
}

TEST(ComComponent, UnregisterLeavesAProgIdTakenByAnotherClass) {
    CTempRegistry registry;
    CComponentLibrary library;
    ASSERT_TRUE(library.Loaded());
    ASSERT_EQ(library.Call("DllRegisterServer"), S_OK);
    ASSERT_TRUE(registry::WriteString(HKEY_CLASSES_ROOT, std::wstring(kTinyProgId) + L"\\CLSID", L"",
                                      L"{00000000-1111-2222-3333-444444444444}"));
    ASSERT_EQ(library.Call("DllUnregisterServer"), S_OK);
    EXPECT_TRUE(registry::KeyExists(HKEY_CLASSES_ROOT, kTinyProgId));
    EXPECT_FALSE(registry::KeyExists(HKEY_CLASSES_ROOT, kTinyVersionIndependentProgId));
}

TEST(ComComponent, LoaderFailuresAreDistinctHresults) {
    CTempRegistry registry;
    const std::string notALibrary = registry.Folder() + "/not-a-library.so";
    CTempRegistry::WriteFile(notALibrary, "this is text, not ELF");
    struct Case {
        std::string path;
        HRESULT expected;
    };
    const Case cases[] = {
        {"", REGDB_E_CLASSNOTREG},
        {registry.Folder() + "/missing.so", CO_E_DLLNOTFOUND},
        {notALibrary, CO_E_ERRORINDLL},
        {BC_NO_ENTRY_LIBRARY, CO_E_ERRORINDLL},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(registry::WriteString(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", L"", Wide(c.path)));
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(CLSID_TinyGreeter, nullptr, CLSCTX_ALL, IID_IUnknown, &out), c.expected) << c.path;
        EXPECT_EQ(out, nullptr);
        if (!c.path.empty()) {
            EXPECT_FALSE(com::LastLoadError().empty()) << c.path;
        }
    }
}

TEST(ComComponent, BcregsvrRegistersAndUnregisters) {
    CTempRegistry registry;
    const std::string tool = BC_REGSVR;
    const std::string env = "BRINDLECAST_REGISTRY='" + registry.Folder() + "' ";

    CommandResult result = RunCommand(env + tool + " " + BC_TINY_COMPONENT);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, std::string("Registered ") + BC_TINY_COMPONENT + "\n");
    EXPECT_EQ(com::InprocServerPath(CLSID_TinyGreeter), Wide(RealPath(BC_TINY_COMPONENT)));
    CComPtr<ITinyGreeter> greeter;
    EXPECT_EQ(greeter.CoCreateInstance(CLSID_TinyGreeter), S_OK);
    greeter.Release();

    result = RunCommand(env + tool + " -u " + BC_TINY_COMPONENT);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(greeter.CoCreateInstance(CLSID_TinyGreeter), REGDB_E_CLASSNOTREG);

    struct Case {
        std::string args;
        int exitCode;
        std::string contains;
    };
    const Case cases[] = {
        {"--version", 0, std::string("bcregsvr ") + BC_VERSION_STRING},
        {"--help", 0, "usage: bcregsvr [-u] LIBRARY.so"},
        {"", 2, "usage:"},
        {"--bogus", 2, "unknown option"},
        {"a.so b.so", 2, "only one library"},
        {registry.Folder() + "/missing.so", 1, "cannot load"},
        {BC_NO_ENTRY_LIBRARY, 1, "has no DllRegisterServer entry point"},
    };
    for (const Case& c : cases) {
        result = RunCommand(env + tool + " " + c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args << ": " << result.output;
        EXPECT_NE(result.output.find(c.contains), std::string::npos) << c.args << ": " << result.output;
    }
}
