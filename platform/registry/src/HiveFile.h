#pragma once
// The in-memory tree of a hive and its text file form.
//
//   ; comment lines and blank lines are ignored
//   [Software\Vendor\Product]            one line per key, full path from the hive root
//   @=sz:"text"                          the unnamed value
//   "Name"=dword:0000002a
//   "Other"=hex(3):01,ff                 any other type or size, as bytes
//
// Quoted text escapes \\ \" \n \r \t \0, \uXXXX and \UXXXXXXXX; the file is UTF-8.

#include "base/wintypes/BcWinTypes.h"

#include <map>
#include <memory>
#include <string>

namespace registry {
namespace detail {

constexpr std::size_t kMaxHiveFileSize = 64u << 20;

struct RegValue {
    std::wstring name;  // as first written
    DWORD type = 0;
    std::string data;
};

struct RegKeyNode {
    std::wstring name;                                            // as first written
    std::map<std::wstring, std::unique_ptr<RegKeyNode>> subKeys;  // by folded name
    std::map<std::wstring, RegValue> values;                      // by folded name
};

// A key name the registry accepts: 1..255 characters, no '\', no control characters, all
// representable in UTF-8.
bool IsValidKeyName(const std::wstring& name);

// Fills root from text; false with a one-line reason (and line number) when it cannot be parsed.
bool ParseHive(const std::string& text, RegKeyNode& root, std::string& error);
std::string SerializeHive(const RegKeyNode& root, const char* hiveName);

}  // namespace detail
}  // namespace registry
