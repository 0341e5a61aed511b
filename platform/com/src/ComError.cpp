#include "com/ComError.h"

#include "base/encodings/TextEncoding.h"

#include <cstdio>

CComError::CComError(HRESULT hr, std::wstring message, const IID& iid)
    : m_hr(hr), m_iid(iid), m_message(message.empty() ? HResultMessage(hr) : std::move(message)) {
    char code[32];
    std::snprintf(code, sizeof code, " (0x%08X)", static_cast<unsigned>(hr));
    m_what = base::encodings::Utf8FromWide(m_message) + code;
}

HRESULT ThrowIfFailed(HRESULT hr, const std::wstring& message, const IID& iid) {
    if (FAILED(hr)) throw CComError(hr, message, iid);
    return hr;
}
