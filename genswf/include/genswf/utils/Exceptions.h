#pragma once
// The exception family every layer of the conversion throws. Thrown by value, caught by
// constant reference; the receiver tells the classes apart by catching derived ones first.

#include <string>

namespace genswf {

class CBaseException {
public:
    CBaseException(int code, std::wstring message) : m_code(code), m_message(std::move(message)) {}
    virtual ~CBaseException() = default;
    CBaseException(const CBaseException&) = default;
    CBaseException& operator=(const CBaseException&) = default;

    int GetCode() const { return m_code; }
    const std::wstring& GetMessage() const { return m_message; }

private:
    int m_code;
    std::wstring m_message;
};

// A PowerPoint object-model call failed.
class CPPTException : public CBaseException {
public:
    CPPTException() : CBaseException(0, std::wstring()) {}
    explicit CPPTException(std::wstring message) : CBaseException(1, std::move(message)) {}
};

// The user pressed Cancel; raised by the progress sink.
class CInterruptedException : public CBaseException {
public:
    CInterruptedException() : CBaseException(1, std::wstring()) {}
};

// The XML-to-SWF compiler could not be created, configured or located.
class CXml2SwfException : public CBaseException {
public:
    explicit CXml2SwfException(std::wstring message) : CBaseException(1, std::move(message)) {}
};

// An embedded Flash movie could not be taken out of an OLE shape.
class CSwfExtractionException : public CBaseException {
public:
    CSwfExtractionException() : CBaseException(1, std::wstring()) {}
};

// " in file <source path> at line <n>", appended to messages that name their place.
std::wstring SourceLocationSuffix(const char* sourceFile, int line);

// text + SourceLocationSuffix(sourceFile, line).
std::wstring LocatedMessage(const std::wstring& text, const char* sourceFile, int line);

// "PPT Exception in file <source path> at line <n>".
std::wstring PPTExceptionMessage(const char* sourceFile, int line);

}  // namespace genswf

// The converter's own failure; lives in the global namespace.
class CConvertException : public genswf::CBaseException {
public:
    explicit CConvertException(std::wstring message) : CBaseException(1, std::move(message)) {}
};

// Throws the PowerPoint failure for the current source line.
#define THROW_PPT_EXCEPTION() throw ::genswf::CPPTException(::genswf::PPTExceptionMessage(__FILE__, __LINE__))

// Tests an HRESULT from the object model and throws the PowerPoint failure when it is negative.
#define CHECK_PPT_HR(expr)                     \
    do {                                       \
        if ((expr) < 0) THROW_PPT_EXCEPTION(); \
    } while (0)
