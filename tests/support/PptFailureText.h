#pragma once
// What the wrapper tests share: the text of an object-model failure and how to catch it.

#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace bctest {

// The message of the CPPTException that f throws (its code must be 1), or "(no exception)".
inline std::wstring PptFailureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const genswf::CPPTException& e) {
        EXPECT_EQ(1, e.GetCode());
        return e.GetMessage();
    }
    return L"(no exception)";
}

// "PPT Exception in file <sourcePath> at line <line>", sourcePath relative to the repository.
inline std::wstring PptFailureText(const std::string& sourcePath, int line) {
    return L"PPT Exception in file " + std::wstring(sourcePath.begin(), sourcePath.end()) + L" at line " +
           std::to_wstring(line);
}

}  // namespace bctest
