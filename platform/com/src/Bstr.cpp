#include "com/ComBstr.h"

#include "base/encodings/TextEncoding.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// The 4-byte length prefix precedes the characters; both live in one block.
constexpr std::size_t kPrefix = sizeof(std::uint32_t);
constexpr UINT kMaxLen = (std::numeric_limits<std::uint32_t>::max() - 2 * sizeof(OLECHAR)) / sizeof(OLECHAR) / 2;

std::uint32_t* Prefix(BSTR bstr) { return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(bstr) - kPrefix); }

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT len) {
    if (len > kMaxLen) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(len) * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block) return nullptr;
    const auto byteLen = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &byteLen, kPrefix);
    BSTR str = reinterpret_cast<BSTR>(block + kPrefix);
    if (pch)
        std::memcpy(str, pch, bytes);
    else
        std::memset(str, 0, bytes);
    str[len] = 0;
    return str;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    std::size_t len = 0;
    while (psz[len]) ++len;
    if (len > kMaxLen) return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(len));
}

BOOL SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
    if (!pbstr) return FALSE;
    BSTR copy = SysAllocString(psz);
    if (psz && !copy) return FALSE;
    SysFreeString(*pbstr);
    *pbstr = copy;
    return TRUE;
}

void SysFreeString(BSTR bstr) {
    if (bstr) std::free(Prefix(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, Prefix(bstr), kPrefix);
    return bytes;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }

void* CoTaskMemAlloc(std::size_t cb) { return std::malloc(cb ? cb : 1); }

void CoTaskMemFree(void* pv) { std::free(pv); }

std::u16string U16FromWString(const std::wstring& text) { return base::encodings::Utf16FromWide(text); }

std::wstring WStringFromU16(const OLECHAR* pch, std::size_t len) { return base::encodings::WideFromUtf16(pch, len); }

BSTR BstrFromWString(const std::wstring& text) {
    const std::u16string units = U16FromWString(text);
    if (units.size() > kMaxLen) return nullptr;
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}

std::wstring WStringFromBstr(BSTR bstr) { return WStringFromU16(bstr, SysStringLen(bstr)); }

std::wstring WStringFromOleStr(const OLECHAR* psz) {
    if (!psz) return std::wstring();
    std::size_t len = 0;
    while (psz[len]) ++len;
    return WStringFromU16(psz, len);
}
