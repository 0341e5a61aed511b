#include "addin/shell/ShellServices.h"

#include "shell/Shell.h"

namespace addin {

void ShellOpen(const std::wstring& target, void* owner) {
    ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace addin
