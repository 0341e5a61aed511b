#pragma once
// Small helpers shared by the movie tests.

#include "TempDir.h"
#include "genswf/movie/Movie.h"

#include <string>

namespace movietest {

// UTF-8 of wide text, for readable assertion output.
std::string U8(const std::wstring& text);

// The markup of a node as UTF-8.
std::string Xml(const genswf::XmlNodePtr& node);

std::string ReadFile(const std::string& path);

}  // namespace movietest
