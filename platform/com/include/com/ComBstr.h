#pragma once
// BSTR: a UTF-16 string with a 4-byte byte-length prefix before its first character and a
// terminating NUL after its last. A null BSTR is the empty string.

#include "ComBase.h"

#include <memory>
#include <string>

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// Null when psz is null or memory runs out.
BSTR SysAllocString(const OLECHAR* psz);
// len characters copied from pch (zeros when pch is null), plus the terminator.
BSTR SysAllocStringLen(const OLECHAR* pch, UINT len);
// Replaces *pbstr with a copy of psz; FALSE when memory runs out (then *pbstr is unchanged).
BOOL SysReAllocString(BSTR* pbstr, const OLECHAR* psz);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

// Task memory (StringFromCLSID and friends hand out strings from it).
void* CoTaskMemAlloc(std::size_t cb);
void CoTaskMemFree(void* pv);

// Conversions at the UTF-16 edge. Characters that UTF-16 cannot hold and unpaired surrogates
// become U+FFFD. WStringFromBstr keeps embedded NULs (the BSTR's length counts).
BSTR BstrFromWString(const std::wstring& text);
std::wstring WStringFromBstr(BSTR bstr);
std::wstring WStringFromOleStr(const OLECHAR* psz);  // up to the NUL; null gives ""
std::u16string U16FromWString(const std::wstring& text);
std::wstring WStringFromU16(const OLECHAR* pch, std::size_t len);

// Owner of one BSTR.
class CBstr {
public:
    CBstr() = default;
    CBstr(const wchar_t* text) : m_str(text ? BstrFromWString(text) : nullptr) {}
    CBstr(const std::wstring& text) : m_str(BstrFromWString(text)) {}
    CBstr(const OLECHAR* text) : m_str(SysAllocString(text)) {}
    CBstr(const CBstr& other) : m_str(other.Copy()) {}
    CBstr(CBstr&& other) noexcept : m_str(other.Detach()) {}
    ~CBstr() { SysFreeString(m_str); }

    CBstr& operator=(const CBstr& other) {
        if (this != std::addressof(other)) Attach(other.Copy());
        return *this;
    }
    CBstr& operator=(CBstr&& other) noexcept {
        if (this != std::addressof(other)) Attach(other.Detach());
        return *this;
    }
    CBstr& operator=(const std::wstring& text) {
        Attach(BstrFromWString(text));
        return *this;
    }

    operator BSTR() const { return m_str; }
    BSTR Get() const { return m_str; }
    // Receives an out BSTR; whatever was held is freed first.
    BSTR* operator&() {
        Empty();
        return &m_str;
    }
    void Attach(BSTR str) {
        if (str != m_str) SysFreeString(m_str);
        m_str = str;
    }
    BSTR Detach() {
        BSTR s = m_str;
        m_str = nullptr;
        return s;
    }
    void Empty() { Attach(nullptr); }
    BSTR Copy() const { return m_str ? SysAllocStringLen(m_str, SysStringLen(m_str)) : nullptr; }
    UINT Length() const { return SysStringLen(m_str); }
    bool IsEmpty() const { return Length() == 0; }
    std::wstring ToWString() const { return WStringFromBstr(m_str); }

private:
    BSTR m_str = nullptr;
};
