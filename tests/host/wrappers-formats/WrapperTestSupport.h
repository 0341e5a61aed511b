#pragma once
// What the format and timeline wrapper tests share: the failure text and the document's references.

#include "PptFailureText.h"
#include "genswf/utils/Exceptions.h"
#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace wrapperstest {

using bctest::PptFailureOf;

inline std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

// "PPT Exception in file genswf/src/ppt/<source>.cpp at line <line>".
inline std::wstring PptMessage(const char* source, int line) {
    return bctest::PptFailureText(std::string("genswf/src/ppt/") + source + ".cpp", line);
}

// References held on the document (every host object counts on it).
inline ULONG Refs(const PowerPoint::Host::CHostDocumentRef& doc) {
    const ULONG n = doc->AddRef();
    doc->Release();
    return n - 1;
}

}  // namespace wrapperstest
