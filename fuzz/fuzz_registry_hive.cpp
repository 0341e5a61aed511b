// The registry's hive files: the bytes become the current user's hive file, which is read
// through the registry calls (every key and value walked), changed (so the hive is written back
// whole) and read again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "registry/Registry.h"

namespace {

constexpr int kMaxDepth = 8;
constexpr DWORD kMaxEntries = 64;

void Walk(HKEY key, int depth) {
    for (DWORD i = 0; i < kMaxEntries; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        unsigned char bytes[512];
        DWORD type = 0, byteCount = sizeof bytes;
        const LONG status = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, bytes, &byteCount);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) __builtin_trap();
    }
    if (depth >= kMaxDepth) return;
    for (DWORD i = 0; i < kMaxEntries; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        const LONG status = RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) __builtin_trap();
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) __builtin_trap();
        Walk(sub, depth + 1);
        RegCloseKey(sub);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("BRINDLECAST_REGISTRY", (fuzzsupport::ScratchDir() / "registry").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path folder = fuzzsupport::ScratchDir() / "registry";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder);
    fuzzsupport::WriteBytes(registry::HiveFilePath(HKEY_CURRENT_USER), data, size);
    registry::ResetForTesting();

    Walk(HKEY_CURRENT_USER, 0);
    const std::wstring path = L"Software\\Fuzz";
    if (registry::WriteDword(HKEY_CURRENT_USER, path, L"Mark", 0x2A)) {
        registry::ResetForTesting();
        if (registry::ReadDword(HKEY_CURRENT_USER, path, L"Mark", 0) != 0x2A) __builtin_trap();
        Walk(HKEY_CURRENT_USER, 0);
    }
    registry::ResetForTesting();
    return 0;
}
