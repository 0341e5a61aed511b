#include "ComError.h"

#include <cstdio>

namespace {

std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        auto u = static_cast<unsigned long>(c);
        if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF))
            u = 0xFFFD;
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0x10000) {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (u >> 18));
            out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

} // namespace

CComError::CComError(HRESULT hr, std::wstring message, const IID& iid)
    : m_hr(hr), m_iid(iid), m_message(message.empty() ? HResultMessage(hr) : std::move(message))
{
    char code[32];
    std::snprintf(code, sizeof code, " (0x%08X)", static_cast<unsigned>(hr));
    m_what = Utf8(m_message) + code;
}

HRESULT ThrowIfFailed(HRESULT hr, const std::wstring& message, const IID& iid)
{
    if (FAILED(hr))
        throw CComError(hr, message, iid);
    return hr;
}
