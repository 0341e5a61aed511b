#pragma once
// What the effect workers share: the frame loop and the matrix steps.

#include "genswf/animation/EffectExporter.h"
#include "genswf/animation/EntryEffect.h"

#include <cstdint>

namespace genswf {

// Calls step(frame, progress) for every frame from the start to the end frame, both included;
// nothing when the start lies beyond the end.
template <class Step>
void ForEachFrame(const CTimeLineEffect& effect, Step step) {
    const std::uint32_t start = effect.GetStartFrame();
    const std::uint32_t end = effect.GetEndFrame();
    if (start > end) return;
    for (std::uint32_t frame = start;; ++frame) {
        step(frame, effect.GetProgress(frame));
        if (frame == end)  // also ends a range that reaches the last frame number
            break;
    }
}

// The resting matrix with its fixed point moved to the origin, scaled, then moved to (px, py).
inline CMatrix ScaledAbout(const CMatrix& resting, float fx, float fy, float sx, float sy, float px, float py) {
    CMatrix m = resting;
    m.Translate(-fx, -fy);
    m.Scale(sx, sy);
    m.Translate(px, py);
    return m;
}

inline float Lerp(float from, float to, float p) { return from + (to - from) * p; }

}  // namespace genswf
