#pragma once
// CComError: a failed HRESULT raised as an exception, with the interface it came from.

#include "ComBase.h"

#include <exception>
#include <string>

class CComError : public std::exception {
public:
    explicit CComError(HRESULT hr, std::wstring message = std::wstring(), const IID& iid = GUID_NULL);

    HRESULT Error() const { return m_hr; }
    const IID& Iid() const { return m_iid; }
    // The message given, else the HRESULT's own text.
    const std::wstring& ErrorMessage() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    HRESULT m_hr;
    IID m_iid;
    std::wstring m_message;
    std::string m_what;  // UTF-8, with the code in hex
};

// Throws CComError when hr is a failure; returns hr otherwise.
HRESULT ThrowIfFailed(HRESULT hr, const std::wstring& message = std::wstring(), const IID& iid = GUID_NULL);
