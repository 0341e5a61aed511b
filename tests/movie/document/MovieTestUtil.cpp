#include "MovieTestUtil.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace movietest {

std::string U8(const std::wstring& text) { return genswf::Utf8FromWide(text); }

std::string Xml(const genswf::XmlNodePtr& node) { return U8(node->xml()); }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace movietest
