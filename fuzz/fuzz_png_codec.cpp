// The image analyser's PNG codec: the header read, then the whole image decoded into the buffer
// the header asked for, with and without the palette expanded.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "libimageanalyzer/PngCodec.h"

using namespace libimageanalyzer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    CPngCodec codec;
    codec.SetExpandPalette(data[0] & 1);
    codec.SetStrip16(data[0] & 2);
    codec.SetApplyGamma(data[0] & 4);
    CMemoryStream stream(data + 1, size - 1);
    std::uint32_t width = 0, height = 0, depth = 0, format = 0;
    std::uint64_t bufferSize = 0;
    if (!codec.ReadInfo(stream, width, height, depth, format, bufferSize)) {
        if (codec.GetLastError() == CPngCodec::kErrorNone) __builtin_trap();
        return 0;
    }
    if (bufferSize > CPngCodec::kMaxBufferBytes) __builtin_trap();
    // The decode of a huge image is slow, not wrong; its header is what matters here.
    if (bufferSize > (16u << 20)) return 0;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bufferSize));
    if (!codec.Decode(stream, pixels) && codec.GetLastError() == CPngCodec::kErrorNone) __builtin_trap();
    return 0;
}
