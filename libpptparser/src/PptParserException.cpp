#include "libpptparser/PptParserException.h"

#include "libpptparser/PptStrings.h"

namespace libpptparser {

CPptParserException::CPptParserException(std::wstring message, Kind kind)
    : m_message(std::move(message)), m_utf8(WideToUtf8(m_message)), m_kind(kind) {}

CPptParserException::~CPptParserException() = default;

std::wstring MakeLocatedMessage(const std::wstring& message, const char* file, int line) {
    return message + L" in file " + Utf8ToWide(file ? file : "") + L" at line " + std::to_wstring(line);
}

}  // namespace libpptparser
