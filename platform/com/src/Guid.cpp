#include "com/ComBase.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

bool operator<(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
    if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
    if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
    return std::memcmp(a.Data4, b.Data4, sizeof a.Data4) < 0;
}

namespace com {

std::wstring GuidToString(REFGUID g) {
    wchar_t text[40];
    std::swprintf(text, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(g.Data1),
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

bool GuidFromString(const std::wstring& text, GUID* guid) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (!guid || text.size() != 38 || text[0] != L'{' || text[37] != L'}') return false;
    auto hex = [&text](std::size_t pos, int digits, std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < digits; ++i) {
            wchar_t c = text[pos + static_cast<std::size_t>(i)];
            int v = c >= L'0' && c <= L'9'   ? c - L'0'
                    : c >= L'a' && c <= L'f' ? c - L'a' + 10
                    : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                             : -1;
            if (v < 0) return false;
            value = (value << 4) | static_cast<std::uint32_t>(v);
        }
        return true;
    };
    if (text[9] != L'-' || text[14] != L'-' || text[19] != L'-' || text[24] != L'-') return false;
    GUID g{};
    std::uint32_t v;
    if (!hex(1, 8, v)) return false;
    g.Data1 = v;
    if (!hex(10, 4, v)) return false;
    g.Data2 = static_cast<std::uint16_t>(v);
    if (!hex(15, 4, v)) return false;
    g.Data3 = static_cast<std::uint16_t>(v);
    const std::size_t offsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hex(offsets[i], 2, v)) return false;
        g.Data4[i] = static_cast<std::uint8_t>(v);
    }
    *guid = g;
    return true;
}

}  // namespace com

std::wstring HResultMessage(HRESULT hr) {
    struct Entry {
        HRESULT hr;
        const wchar_t* text;
    };
    static const Entry entries[] = {
        {S_OK, L"The operation completed successfully"},
        {S_FALSE, L"The operation completed with a false result"},
        {E_NOTIMPL, L"Not implemented"},
        {E_NOINTERFACE, L"No such interface supported"},
        {E_POINTER, L"Invalid pointer"},
        {E_ABORT, L"Operation aborted"},
        {E_FAIL, L"Unspecified error"},
        {E_UNEXPECTED, L"Catastrophic failure"},
        {E_ACCESSDENIED, L"Access is denied"},
        {E_HANDLE, L"Invalid handle"},
        {E_OUTOFMEMORY, L"Not enough memory"},
        {E_INVALIDARG, L"The parameter is incorrect"},
        {CLASS_E_NOAGGREGATION, L"Class does not support aggregation"},
        {CLASS_E_CLASSNOTAVAILABLE, L"Class factory cannot supply requested class"},
        {REGDB_E_READREGDB, L"Could not read key from registry"},
        {REGDB_E_WRITEREGDB, L"Could not write key to registry"},
        {REGDB_E_CLASSNOTREG, L"Class not registered"},
        {SELFREG_E_TYPELIB, L"Failed to register the type library"},
        {SELFREG_E_CLASS, L"Failed to register the class"},
        {CO_E_NOTINITIALIZED, L"CoInitialize has not been called"},
        {CO_E_CLASSSTRING, L"Invalid class string"},
        {CO_E_DLLNOTFOUND, L"The component library was not found"},
        {CO_E_ERRORINDLL, L"The component library cannot be loaded or has no class factory"},
        {DISP_E_TYPEMISMATCH, L"Type mismatch"},
        {DISP_E_BADVARTYPE, L"Bad variable type"},
        {DISP_E_EXCEPTION, L"Exception occurred"},
        {DISP_E_OVERFLOW, L"Out of present range"},
        {DISP_E_BADINDEX, L"Invalid index"},
        {DISP_E_ARRAYISLOCKED, L"Memory is locked"},
    };
    for (const Entry& e : entries)
        if (e.hr == hr) return e.text;
    wchar_t text[40];
    std::swprintf(text, 40, L"Unknown error 0x%08X", static_cast<unsigned>(hr));
    return text;
}
