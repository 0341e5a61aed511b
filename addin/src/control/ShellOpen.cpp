#include "ShellServices.h"

#include "Shell.h"

void ShellOpen(const std::wstring& target, void* owner) {
    ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}
