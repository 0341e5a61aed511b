// The compiler core: movie description (XML) in, SWF bytes out. No COM here; the
// component and the command-line tool are thin shells over these calls.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnquill {

struct CompileOptions {
    std::string baseFolder;     // files named by the description are relative to this (UTF-8)
    std::string schemaPath;     // validate against this XSD when not empty
    bool ignoreErrors = false;  // a picture that cannot be read becomes an empty shape
    // Told how far the compile is (done of total steps, done rising to total) on the calling
    // thread; whatever it throws ends the compile and reaches the caller.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// One failure, with the place in the description when it is known.
class CompileError : public std::runtime_error {
public:
    CompileError(const std::string& message, const std::string& element = {}, const std::string& attribute = {},
                 long line = 0);
    const std::string& Message() const { return message_; }
    const std::string& Element() const { return element_; }
    const std::string& Attribute() const { return attribute_; }
    long Line() const { return line_; }

private:
    std::string message_, element_, attribute_;
    long line_;
};

struct CompileResult {
    std::vector<std::uint8_t> swf;
    std::vector<std::string> warnings;
};

// Both throw CompileError; nothing is written anywhere.
CompileResult CompileFile(const std::string& xmlPath, const CompileOptions& options);
CompileResult CompileText(const std::string& xmlText, const CompileOptions& options);

// Replaces the file whole (see base/files/AtomicFile.h); throws CompileError when it fails.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tarnquill
