#pragma once
// The registry: hives HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, kept as one
// UTF-8 text file per hive in $BRINDLECAST_REGISTRY (default $XDG_CONFIG_HOME/brindlecast/registry,
// else ~/.config/brindlecast/registry).
//
// Key paths use '\' separators. Key and value names compare case-insensitively (ASCII) and keep
// the case they were first written with. The unnamed (default) value is nullptr or L"".
// REG_SZ data travels as UTF-16LE bytes including the terminator, cbData = (length + 1) * 2.
//
// Every change is written through at once: under an advisory lock the hive file is re-read,
// the change applied and the whole file replaced atomically, so processes never lose each
// other's writes. Reads pick up another process's writes. A hive file that cannot be parsed is
// moved aside with a ".corrupt" suffix and reads give the callers' defaults.

#include "base/wintypes/BcWinTypes.h"

#include <cstdint>
#include <string>

struct BcRegistryKey;
using HKEY = BcRegistryKey*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u));

// Error codes.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_NO_MORE_ITEMS = 259;
constexpr LONG ERROR_KEY_DELETED = 1018;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// Access rights.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Options and dispositions.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegCreateKeyExW(HKEY root, const wchar_t* subKey, DWORD reserved, wchar_t* cls, DWORD options, REGSAM sam,
                     void* security, HKEY* result, DWORD* disposition);
LONG RegOpenKeyExW(HKEY root, const wchar_t* subKey, DWORD options, REGSAM sam, HKEY* result);
LONG RegQueryValueExW(HKEY key, const wchar_t* name, DWORD* reserved, DWORD* type, unsigned char* data, DWORD* cbData);
LONG RegSetValueExW(HKEY key, const wchar_t* name, DWORD reserved, DWORD type, const unsigned char* data, DWORD cbData);
LONG RegDeleteValueW(HKEY key, const wchar_t* name);
// Deletes a key that has no sub keys (ERROR_ACCESS_DENIED when it has some).
LONG RegDeleteKeyW(HKEY root, const wchar_t* subKey);
// Deletes a key with everything below it; with a null or empty sub key, empties the key itself.
LONG RegDeleteTreeW(HKEY root, const wchar_t* subKey);
// Enumeration in name order (case-folded). name/cchName in wide characters, including the NUL.
LONG RegEnumKeyExW(HKEY key, DWORD index, wchar_t* name, DWORD* cchName, DWORD* reserved, wchar_t* cls, DWORD* cchClass,
                   void* lastWriteTime);
LONG RegEnumValueW(HKEY key, DWORD index, wchar_t* name, DWORD* cchName, DWORD* reserved, DWORD* type,
                   unsigned char* data, DWORD* cbData);
LONG RegCloseKey(HKEY key);

// Conveniences over the calls above; path is relative to root, a missing key or value gives
// the default.
namespace registry {

std::wstring ReadString(HKEY root, const std::wstring& path, const std::wstring& name,
                        const std::wstring& defaultValue = std::wstring());
DWORD ReadDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD defaultValue = 0);
bool WriteString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value);
bool WriteDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);
bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name);
bool KeyExists(HKEY root, const std::wstring& path);
bool DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name);
bool DeleteTree(HKEY root, const std::wstring& path);

// UTF-16LE bytes of REG_SZ data, terminator included, and back (up to the first NUL; a missing
// terminator or odd trailing byte is tolerated).
std::string Utf16BytesFromWide(const std::wstring& text);
std::wstring WideFromUtf16Bytes(const unsigned char* data, std::size_t size);

// The folder of the hive files (UTF-8), as resolved from the environment now.
std::string RegistryFolder();
// The hive file of a root key, e.g. "<folder>/HKEY_CURRENT_USER.reg"; empty for other keys.
std::string HiveFilePath(HKEY root);
// Forgets everything held in memory, as a new process would start (tests).
void ResetForTesting();

}  // namespace registry
