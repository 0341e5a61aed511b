// The compiler's movie description: any XML text compiled, with the compiler's test pictures at
// hand for the descriptions that name them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "tarnquill/Compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarnquill::CompileOptions options;
    options.baseFolder = BC_SOURCE_DIR "/tests/data/compiler";
    try {
        const auto result = tarnquill::CompileText(std::string(reinterpret_cast<const char*>(data), size), options);
        if (result.swf.size() < 21) __builtin_trap();
    } catch (const tarnquill::CompileError& e) {
        if (e.Message().empty()) __builtin_trap();
    }
    return 0;
}
