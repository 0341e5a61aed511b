// bcregsvr [-u] LIBRARY.so: registers (or unregisters) an in-process component by calling its
// DllRegisterServer (or DllUnregisterServer).

#include "BcVersion.h"
#include "com/ComLite.h"

#include <dlfcn.h>
#include <getopt.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: bcregsvr [-u] LIBRARY.so\n"
        "Registers the in-process component in LIBRARY.so (calls its DllRegisterServer).\n"
        "  -u, --unregister  unregister instead (calls DllUnregisterServer)\n"
        "  -h, --help        show this text\n"
        "  --version         show the version\n"
        "Exit status: 0 on success, 1 when loading or registering fails, 2 for wrong arguments.\n"
        "The registry folder is $BRINDLECAST_REGISTRY, else $XDG_CONFIG_HOME/brindlecast/registry,\n"
        "else ~/.config/brindlecast/registry.\n",
        out);
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += static_cast<unsigned long>(c) < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The option as the user wrote it, for the message about it.
std::string Offending(char** argv) {
    if (optopt > 0 && optopt < 128) return std::string("-") + static_cast<char>(optopt);
    return argv[optind - 1];
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    enum { kVersion = 256 };
    static const option kOptions[] = {{"unregister", no_argument, nullptr, 'u'},
                                      {"help", no_argument, nullptr, 'h'},
                                      {"version", no_argument, nullptr, kVersion},
                                      {nullptr, 0, nullptr, 0}};
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":hu", kOptions, nullptr)) != -1;) {
        switch (c) {
        case 'h':
            PrintUsage(stdout);
            return 0;
        case kVersion:
            std::printf("bcregsvr %s\n", BC_VERSION_STRING);
            return 0;
        case 'u':
            unregister = true;
            break;
        default:
            std::fprintf(stderr, "bcregsvr: unknown option %s\n", Offending(argv).c_str());
            PrintUsage(stderr);
            return 2;
        }
    }
    // "/u" unregisters too, in the platform's own spelling.
    std::vector<const char*> names;
    for (int i = optind; i < argc; ++i) {
        if (std::strcmp(argv[i], "/u") == 0)
            unregister = true;
        else
            names.push_back(argv[i]);
    }
    if (names.size() > 1) {
        std::fprintf(stderr, "bcregsvr: only one library at a time\n");
        return 2;
    }
    if (names.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    const char* library = names[0];

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
