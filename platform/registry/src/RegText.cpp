#include "RegText.h"

namespace registry {
namespace detail {

std::wstring Fold(const std::wstring& name) {
    std::wstring folded = name;
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return folded;
}

}  // namespace detail
}  // namespace registry
