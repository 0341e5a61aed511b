// The files a movie description names: the bytes are written where a fixed description expects
// its picture, sound, font or sprite (an SWF movie or a metafile) and the movie is compiled.
// BC_FUZZ_INPUT chooses which of them this target is.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "tarnquill/Compiler.h"

namespace {

#define BC_FUZZ_LAYERS(show) \
    "<layers><layer><frame index=\"0\">" show "</frame><frame index=\"2\"/></layer></layers></movie>"

const char* const kDescription =
#if BC_FUZZ_INPUT == 0
    "<movie width=\"120\" height=\"90\" frameRate=\"12\"><objects>"
    "<image id=\"i\" src=\"input\" x=\"0tw\" y=\"0tw\" width=\"400tw\" height=\"300tw\"/>"
    "</objects>" BC_FUZZ_LAYERS("<show id=\"a\" objectId=\"i\"/>");
#elif BC_FUZZ_INPUT == 1
    "<movie width=\"120\" height=\"90\" frameRate=\"12\"><objects>"
    "<sound id=\"s\" src=\"input\"/>"
    "</objects>" BC_FUZZ_LAYERS("<startSoundStream objectId=\"s\" stopOnFinish=\"1\"/>");
#elif BC_FUZZ_INPUT == 2
    "<movie width=\"120\" height=\"90\" frameRate=\"12\"><objects>"
    "<font id=\"f\" src=\"input\" name=\"f\" chars=\"Hilo &#xe9;&#x4e00;\"/>"
    "<htmlText id=\"t\" width=\"100\" height=\"20\" fontId=\"f\" fontSize=\"240tw\">"
    "<![CDATA[<B>Hi</B>lo]]></htmlText>"
    "</objects>" BC_FUZZ_LAYERS("<show id=\"a\" objectId=\"t\"/>");
#else
    "<movie width=\"120\" height=\"90\" frameRate=\"12\"><objects>"
    "<sprite id=\"m\" src=\"input\" width=\"50\" height=\"25\"/>"
    "</objects>" BC_FUZZ_LAYERS("<show id=\"a\" objectId=\"m\"/>");
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::WriteBytes(fuzzsupport::ScratchDir() / "input", data, size);
    tarnquill::CompileOptions options;
    options.baseFolder = fuzzsupport::ScratchDir().string();
    try {
        const auto result = tarnquill::CompileText(kDescription, options);
        if (result.swf.size() < 21) __builtin_trap();
    } catch (const tarnquill::CompileError& e) {
        if (e.Message().empty()) __builtin_trap();
    }
    return 0;
}
