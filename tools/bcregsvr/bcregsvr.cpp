// bcregsvr [-u] LIBRARY.so: registers (or unregisters) an in-process component by calling its
// DllRegisterServer (or DllUnregisterServer).

#include "BcVersion.h"
#include "com/ComLite.h"

#include <dlfcn.h>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: bcregsvr [-u] LIBRARY.so\n"
        "Registers the in-process component in LIBRARY.so (calls its DllRegisterServer).\n"
        "  -u         unregister instead (calls DllUnregisterServer)\n"
        "  --help     show this text\n"
        "  --version  show the version\n"
        "The registry folder is $BRINDLECAST_REGISTRY, else $XDG_CONFIG_HOME/brindlecast/registry,\n"
        "else ~/.config/brindlecast/registry.\n",
        out);
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<unsigned long>(c) < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    const char* library = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            PrintUsage(stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("bcregsvr %s\n", BC_VERSION_STRING);
            return 0;
        }
        if (std::strcmp(arg, "-u") == 0 || std::strcmp(arg, "/u") == 0) {
            unregister = true;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            std::fprintf(stderr, "bcregsvr: unknown option %s\n", arg);
            PrintUsage(stderr);
            return 1;
        } else if (library) {
            std::fprintf(stderr, "bcregsvr: only one library at a time\n");
            return 1;
        } else {
            library = arg;
        }
    }
    if (!library) {
        PrintUsage(stderr);
        return 1;
    }

    // A bare file name means the file here, not a search of the library path.
    std::string path = library;
    if (path.find('/') == std::string::npos) path = "./" + path;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        std::fprintf(stderr, "bcregsvr: cannot load %s: %s\n", library, why ? why : "unknown error");
        return 1;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto function = reinterpret_cast<PFN_DllRegisterServer>(dlsym(handle, entry));
    if (!function) {
        std::fprintf(stderr, "bcregsvr: %s has no %s entry point\n", library, entry);
        dlclose(handle);
        return 1;
    }
    CoInitialize(nullptr);
    HRESULT hr = function();
    CoUninitialize();
    // The library stays loaded: its static objects may still be referenced at exit.
    if (FAILED(hr)) {
        std::fprintf(stderr, "bcregsvr: %s in %s failed: 0x%08X (%s)\n", entry, library, static_cast<unsigned>(hr),
                     Narrow(HResultMessage(hr)).c_str());
        return 1;
    }
    std::printf("%s %s\n", unregister ? "Unregistered" : "Registered", library);
    return 0;
}
