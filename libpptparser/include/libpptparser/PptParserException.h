#pragma once
// The parser's one exception: a wide message saying what is wrong with the file.

#include <exception>
#include <string>

namespace libpptparser {

class CPptParserException : public std::exception {
public:
    // Why a file is refused, for callers that treat the reasons apart.
    enum Kind {
        kDamaged,          // the file's structure is broken (the default)
        kCannotOpen,       // the file is missing or unreadable
        kNotPresentation,  // not a compound file, or no presentation stream in it
        kEncrypted,        // protected by a password
        kOlderFormat,      // PowerPoint 95 or 4.0 only
    };

    explicit CPptParserException(std::wstring message, Kind kind = kDamaged);
    virtual ~CPptParserException();

    const std::wstring& GetMessage() const { return m_message; }
    Kind GetKind() const { return m_kind; }
    // The message as UTF-8.
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    std::wstring m_message;
    std::string m_utf8;
    Kind m_kind;
};

// message + " in file " + source path + " at line " + line.
std::wstring MakeLocatedMessage(const std::wstring& message, const char* file, int line);

}  // namespace libpptparser

// Throws CPptParserException with the source location of the throw appended.
#define PPT_PARSER_THROW(message) \
    throw ::libpptparser::CPptParserException(::libpptparser::MakeLocatedMessage((message), __FILE__, __LINE__))
