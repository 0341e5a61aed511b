#pragma once
// What the format and timeline wrapper tests share: the failure text and the document's references.

#include "Exceptions.h"
#include "PowerPointHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace wrapperstest {

// The message of the CPPTException that f throws, or "(no exception)".
inline std::wstring MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const genswf::CPPTException& e) {
        EXPECT_EQ(1, e.GetCode());
        return e.GetMessage();
    }
    return L"(no exception)";
}

inline std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// "PPT Exception in file genswf/src/ppt/<source>.cpp at line <line>".
inline std::wstring PptMessage(const char* source, int line)
{
    return L"PPT Exception in file genswf/src/ppt/" + Widen(source) + L".cpp at line " + std::to_wstring(line);
}

// References held on the document (every host object counts on it).
inline ULONG Refs(const PowerPoint::Host::CHostDocumentRef& doc)
{
    const ULONG n = doc->AddRef();
    doc->Release();
    return n - 1;
}

} // namespace wrapperstest
