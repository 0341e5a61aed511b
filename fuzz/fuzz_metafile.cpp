// The compiler's metafile reader, which turns metafile sprites into drawing paths.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tarnquill/Wmf.h"

using namespace tarnquill::wmf;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)LooksLikeWmf(data, size);
    try {
        const Drawing drawing = ParseWmf(data, size);
        for (const Path& path : drawing.paths)
            for (const Contour& contour : path.contours)
                for (const Segment& segment : contour.segments)
                    if (!std::isfinite(segment.to.x) || !std::isfinite(segment.to.y)) __builtin_trap();
    } catch (const WmfError& e) {
        if (!*e.what()) __builtin_trap();
    }
    return 0;
}
