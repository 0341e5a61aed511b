#pragma once
// Turns a movie description into SWF bytes through the registered compiler component.

#include <cstdint>
#include <string>
#include <vector>

namespace genswf {

// Empties bytes, then fills it with the SWF file compiled from xmlPath (the full path of
// "movie.xml", whose folder holds the files it names). Set-up failures throw
// CXml2SwfException; a failing compile, result or size call throws CComError.
void CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes);

}  // namespace genswf
