#pragma once
// The text of the failure a piece of code ends in, for tests that check messages.

#include "genswf/utils/Exceptions.h"

#include <functional>
#include <string>

namespace bctest {

// The message of the exception of family E (the export's CBaseException unless told, or one
// derived from it) that f throws, or "(no exception)".
template <class E = genswf::CBaseException>
std::wstring MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.GetMessage();
    }
    return L"(no exception)";
}

}  // namespace bctest
