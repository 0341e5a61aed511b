#include "MovieTestUtil.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace movietest {

std::string U8(const std::wstring& text) { return genswf::Utf8FromWide(text); }

std::string Xml(const genswf::XmlNodePtr& node) { return U8(node->xml()); }

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bcmovie-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::wstring TempFolder::WPath(const std::string& name) const { return genswf::WideFromUtf8(m_path + "/" + name); }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace movietest
