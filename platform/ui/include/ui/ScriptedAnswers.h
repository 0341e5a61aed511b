#pragma once
// The answers a scripted view gives to dialogs, by name ("output", "slides", "yes" ...), as a
// command line supplies them.

#include <map>
#include <string>

namespace ui {

class CScriptedAnswers {
public:
    void Set(const std::wstring& name, const std::wstring& value) { m_values[name] = value; }
    void Remove(const std::wstring& name) { m_values.erase(name); }
    bool Has(const std::wstring& name) const { return m_values.count(name) != 0; }
    std::wstring Get(const std::wstring& name, const std::wstring& fallback = std::wstring()) const;
    // A whole decimal number in int range; false (value untouched) otherwise.
    bool GetInt(const std::wstring& name, int& value) const;
    // Present and not "0", "no", "false" or "off".
    bool GetFlag(const std::wstring& name) const;

private:
    std::map<std::wstring, std::wstring> m_values;
};

// Parses a whole decimal number (optional sign) into int range; false for anything else.
bool ParseWholeNumber(const std::wstring& text, int& value);

}  // namespace ui
