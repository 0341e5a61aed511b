#pragma once
// Turns a movie description into SWF bytes through the registered compiler component.

#include <cstdint>
#include <string>
#include <vector>

namespace genswf {

class CProgressSink;

// Empties bytes, then fills it with the SWF file compiled from xmlPath (the full path of
// "movie.xml", whose folder holds the files it names). Set-up failures throw
// CXml2SwfException; a failing compile, result or size call throws CComError.
// With a progress sink, a compiler that reports its progress gives it as the sink's value in
// percent (the task is the caller's to set) and the sink's cancel stops it, with
// CInterruptedException; the compiler's warnings are added to warnings when given.
void CompileSwf(const std::wstring& xmlPath, std::vector<std::uint8_t>& bytes, CProgressSink* progress = nullptr,
                std::vector<std::wstring>* warnings = nullptr);

}  // namespace genswf
