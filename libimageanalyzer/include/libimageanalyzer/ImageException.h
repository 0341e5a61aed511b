#pragma once
// The one failure of the image library: a message naming what went wrong and, where there is
// one, the file.

#include <string>

namespace libimageanalyzer {

class CBaseException {
public:
    explicit CBaseException(std::wstring message) : m_message(std::move(message)) {}
    virtual ~CBaseException() = default;
    CBaseException(const CBaseException&) = default;
    CBaseException& operator=(const CBaseException&) = default;

    const std::wstring& GetMessage() const { return m_message; }

private:
    std::wstring m_message;
};

// Paths arrive as wide text; file calls want UTF-8 with '/' separators.
std::string NativeImagePath(const std::wstring& path);

}  // namespace libimageanalyzer
