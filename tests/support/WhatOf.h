#pragma once
// The text of the standard-style exception a piece of code ends in.

#include <functional>
#include <string>

namespace bctest {

// The what() of the exception of type E that f throws, or "(no exception)".
template <class E>
std::string WhatOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(no exception)";
}

}  // namespace bctest
