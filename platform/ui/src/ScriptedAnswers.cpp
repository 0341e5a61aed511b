#include "ui/ScriptedAnswers.h"

#include <climits>

namespace ui {

std::wstring CScriptedAnswers::Get(const std::wstring& name, const std::wstring& fallback) const {
    const auto it = m_values.find(name);
    return it == m_values.end() ? fallback : it->second;
}

bool CScriptedAnswers::GetInt(const std::wstring& name, int& value) const {
    const auto it = m_values.find(name);
    return it != m_values.end() && ParseWholeNumber(it->second, value);
}

bool CScriptedAnswers::GetFlag(const std::wstring& name) const {
    const auto it = m_values.find(name);
    if (it == m_values.end()) return false;
    const std::wstring& v = it->second;
    return !(v == L"0" || v == L"no" || v == L"false" || v == L"off");
}

bool ParseWholeNumber(const std::wstring& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return false;
    long long number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        number = number * 10 + (text[i] - L'0');
        if (number > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) number = -number;
    if (number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace ui
