// The component library's entry points: class factory, unload check and registration, which
// also records the installation folder (the folder holding lng/ and res/) for the settings.
#include "addin/control/BrindlecastFree.h"

#include "com/ComServer.h"
#include "genswf/utils/RegistryKey.h"
#include "genswf/utils/Utils.h"

using namespace addin;

namespace {

const wchar_t* const kMachineKey = L"Software\\Ombrel Works\\Brindlecast 1 Roru";
const wchar_t* const kTypeLibId = L"{CC40917D-765C-4992-896D-B7A68E17B96B}";

const char kModuleAnchor = 0;

com::CComServerModule& Module() {
    static com::CComServerModule module({{CLSID_BrindlecastFree,
                                          kBrindlecastProgId,
                                          kBrindlecastVersionIndependentProgId,
                                          kBrindlecastClassDescription,
                                          &CreateBrindlecastFree,
                                          L"Apartment",
                                          {
                                              {L"Programmable", L"", L""},
                                              {L"Control", L"", L""},
                                              {L"ToolboxBitmap32", L"", L"%MODULE%, 102"},
                                              {L"MiscStatus", L"", L"0"},
                                              {L"MiscStatus\\1", L"", L"131473"},
                                              {L"TypeLib", L"", kTypeLibId},
                                              {L"Version", L"", L"1.0"},
                                          }}});
    module.SetModuleAddress(&kModuleAnchor);
    return module;
}

// The library lives in "<installation>/lib"; the language files in "<installation>/lng".
std::wstring InstallationFolder() {
    const std::wstring modulePath = Module().ModulePath();
    if (modulePath.empty()) return std::wstring();
    return genswf::GetFolderOfPath(genswf::GetFolderOfPath(modulePath));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return Module().GetClassObject(rclsid, riid, ppv);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return Module().CanUnloadNow() == S_OK && BrindlecastFreeObjectCount() == 0 ? S_OK : S_FALSE;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
    const HRESULT hr = Module().RegisterServer();
    if (FAILED(hr)) return hr;
    const std::wstring folder = InstallationFolder();
    if (folder.empty()) return SELFREG_E_CLASS;
    genswf::CRegistryKey machine;
    if (machine.Create(HKEY_LOCAL_MACHINE, kMachineKey) != ERROR_SUCCESS ||
        !machine.SetStringValue(folder, L"Installation Folder"))
        return SELFREG_E_CLASS;
    return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
    // The installation folder stays: other users' settings and a reinstall read it.
    return Module().UnregisterServer();
}
