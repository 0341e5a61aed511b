#pragma once
// Points the registry at a fresh folder for one test and forgets all in-memory state.

#include "registry/Registry.h"

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class CTempRegistry {
public:
    CTempRegistry() {
        char pattern[] = "/tmp/bc-registry-XXXXXX";
        const char* made = mkdtemp(pattern);
        m_root = made ? made : "";
        m_folder = m_root + "/registry";  // created by the first write
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
        std::error_code ec;
        if (!m_root.empty()) std::filesystem::remove_all(m_root, ec);
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
    std::string m_root;
    std::string m_folder;
    std::string m_old;
    bool m_hadOld = false;
};
