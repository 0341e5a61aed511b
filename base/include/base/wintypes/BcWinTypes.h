#pragma once
// The Win32 base types the system's code is written in, with Windows' widths (LONG is 32-bit
// here even though C's long is 64-bit on Linux).

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using UINT = unsigned int;
using INT = int;
using BOOL = int;
using FLOAT = float;
using DOUBLE = double;
using LPCWSTR = const wchar_t*;
using LPWSTR = wchar_t*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
