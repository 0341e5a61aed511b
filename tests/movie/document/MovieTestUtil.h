#pragma once
// Small helpers shared by the movie tests.

#include "genswf/movie/Movie.h"

#include <string>

namespace movietest {

// UTF-8 of wide text, for readable assertion output.
std::string U8(const std::wstring& text);

// The markup of a node as UTF-8.
std::string Xml(const genswf::XmlNodePtr& node);

// A fresh scratch folder under the system's temporary folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    std::wstring WPath(const std::string& name) const;

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);

}  // namespace movietest
