#pragma once
// Points the registry at a fresh folder for one test and forgets all in-memory state.

#include "TempDir.h"
#include "registry/Registry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class CTempRegistry {
public:
    CTempRegistry() {
        m_folder = m_scratch.Native() + "/registry";  // created by the first write
        const char* old = std::getenv("BRINDLECAST_REGISTRY");
        m_hadOld = old != nullptr;
        if (old) m_old = old;
        setenv("BRINDLECAST_REGISTRY", m_folder.c_str(), 1);
        registry::ResetForTesting();
    }
    ~CTempRegistry() {
        if (m_hadOld)
            setenv("BRINDLECAST_REGISTRY", m_old.c_str(), 1);
        else
            unsetenv("BRINDLECAST_REGISTRY");
        registry::ResetForTesting();
    }
    CTempRegistry(const CTempRegistry&) = delete;
    CTempRegistry& operator=(const CTempRegistry&) = delete;

    const std::string& Folder() const { return m_folder; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void WriteFile(const std::string& path, const std::string& content) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    }

private:
    CScratchFolder m_scratch;
    std::string m_folder;
    std::string m_old;
    bool m_hadOld = false;
};
