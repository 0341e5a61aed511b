#pragma once
// An environment variable set for one test and put back as it was afterwards.

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or with nullptr removes) an environment variable for the lifetime of the object.
class CEnvOverride {
public:
    CEnvOverride(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~CEnvOverride() {
        if (m_old) {
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }
    CEnvOverride(const CEnvOverride&) = delete;
    CEnvOverride& operator=(const CEnvOverride&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
