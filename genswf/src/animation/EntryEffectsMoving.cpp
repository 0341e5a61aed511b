// Entry effects that place the shape and then move, scale or fade it without a mask.

#include "genswf/animation/EntryEffects.h"

#include <algorithm>
#include <cmath>

namespace genswf {

namespace {

constexpr float kPi = 3.14159265358979f;

// A show at the first frame and a modify on that show at every later one.
class CPlacementWriter {
public:
    CPlacementWriter(CShapeObjectRecord& record, const std::shared_ptr<CFrameList>& frames)
        : m_record(record), m_track(frames->AddTrack()) {}

    std::shared_ptr<CPlacementCommand> Place(std::uint32_t frame, std::uint32_t start, const CMatrix& matrix) {
        if (frame == start) {
            m_show = m_track->AddShow(frame, m_record.objectId, matrix);
            m_record.SetShowCommand(m_show);
            return m_show;
        }
        return m_track->AddModify(frame, m_show->GetShowId(), matrix);
    }

    const std::shared_ptr<CFrameTrack>& Track() const { return m_track; }
    const std::shared_ptr<CShowCommand>& Show() const { return m_show; }

private:
    CShapeObjectRecord& m_record;
    std::shared_ptr<CFrameTrack> m_track;
    std::shared_ptr<CShowCommand> m_show;
};

// m scaled by (sx, sy) about (px, py), after m itself.
CMatrix ScaledAbout(const CMatrix& m, float sx, float sy, float px, float py) {
    CMatrix result = m;
    result.Translate(-px, -py);
    result.Scale(sx, sy);
    result.Translate(px, py);
    return result;
}

}  // namespace

void CCutTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                 float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    record.SetShowCommand(frames->AddTrack()->AddShow(f.start, record.objectId, record.secondMatrix));
}

void CNoTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    record.SetShowCommand(frames->AddTrack()->AddShow(f.start, record.objectId, record.secondMatrix));
}

void CFlashOnceTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                       float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    auto track = frames->AddTrack();
    auto show = track->AddShow(f.start, record.objectId, record.firstMatrix);
    record.SetShowCommand(show);
    track->AddHide(f.end, show->GetShowId());
}

void CFadeTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                  float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    CPlacementWriter writer(record, frames);
    // Single precision on purpose: the steps accumulate as the player's would.
    float shift = -255.0f;
    const float step = 256.0f / static_cast<float>(f.n);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        auto command = writer.Place(frame, f.start, record.firstMatrix);
        // The steps overshoot by one at the end; the shape ends fully opaque, not past it.
        command->AddIntAttribute(L"shiftAlpha", std::min(static_cast<int>(shift), 0));
        shift = shift + step;
    }
}

CFlyTransition::CFlyTransition(int code) {
    duration = (code >= 3341 && code <= 3344) ? 5.0f : 0.5f;
    switch (code) {
    case 3329:
    case 3341:
        horizontal = -1;
        break;
    case 3330:
    case 3342:
        vertical = -1;
        break;
    case 3331:
    case 3343:
        horizontal = 1;
        break;
    case 3332:
    case 3344:
        vertical = 1;
        break;
    case 3333:
        horizontal = -1;
        vertical = -1;
        break;
    case 3334:
        horizontal = 1;
        vertical = -1;
        break;
    case 3335:
        horizontal = -1;
        vertical = 1;
        break;
    case 3336:
        horizontal = 1;
        vertical = 1;
        break;
    default:
        break;
    }
}

void CFlyTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                 float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float movieWidth = static_cast<float>(record.movie->GetMovieWidth());
    const float movieHeight = static_cast<float>(record.movie->GetMovieHeight());
    float offsetX = 0.0f, offsetY = 0.0f;
    if (horizontal > 0) offsetX = movieWidth - record.x;
    if (horizontal < 0) offsetX = -(record.x + record.width);
    if (vertical > 0) offsetY = movieHeight - record.y;
    if (vertical < 0) offsetY = -(record.y + record.height);
    const float n = static_cast<float>(f.n);
    CPlacementWriter writer(record, frames);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        // Computed from the step count rather than accumulated, so the end is exact.
        const float remaining = static_cast<float>(f.end - frame) / n;
        CMatrix m = record.firstMatrix;
        m.Translate(offsetX * remaining, offsetY * remaining);
        writer.Place(frame, f.start, m);
    }
}

CZoomTransition::CZoomTransition(int code_) : code(code_) {
    switch (code) {
    case 3346:
        startScale = 2.0f / 3.0f;
        break;
    case 3347:
    case 3350:
        startScale = 5.0f;
        break;
    case 3348:
        startScale = 4.0f / 3.0f;
        break;
    default:
        startScale = 0.0f;
        break;
    }
}

void CZoomTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                  float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float cx = record.x + record.width / 2.0f;
    const float cy = record.y + record.height / 2.0f;
    float fromX = cx, fromY = cy;
    if (code == 3349) {
        fromX = static_cast<float>(record.movie->GetMovieWidth()) / 2.0f;
        fromY = static_cast<float>(record.movie->GetMovieHeight()) / 2.0f;
    } else if (code == 3350) {
        fromY = static_cast<float>(record.movie->GetMovieHeight()) + startScale * record.width / 2.0f;
    }
    const float n = static_cast<float>(f.n);
    CPlacementWriter writer(record, frames);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float done = static_cast<float>(frame - f.start) / n;
        const float scale = startScale + (1.0f - startScale) * done;
        CMatrix m = record.firstMatrix;
        m.Translate(-cx, -cy);
        m.Scale(scale, scale);
        m.Translate(fromX + (cx - fromX) * done, fromY + (cy - fromY) * done);
        writer.Place(frame, f.start, m);
    }
}

CStretchTransition::CStretchTransition(int code) {
    switch (code) {
    case 3351:
        startScaleX = 0;
        startScaleY = 1;
        changeX = 1;
        anchorX = 0.5f;
        break;
    case 3352:
        startScaleX = 0;
        startScaleY = 1;
        changeX = 1;
        break;
    case 3353:
        startScaleX = 1;
        startScaleY = 0;
        changeY = 1;
        break;
    case 3354:
        startScaleX = 0;
        startScaleY = 1;
        changeX = 1;
        anchorX = 1;
        break;
    case 3355:
        startScaleX = 1;
        startScaleY = 0;
        changeY = 1;
        anchorY = 1;
        break;
    default:
        break;
    }
}

void CStretchTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                     float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float px = record.x + record.width * anchorX;
    const float py = record.y + record.height * anchorY;
    const float n = static_cast<float>(f.n);
    CPlacementWriter writer(record, frames);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float done = static_cast<float>(frame - f.start) / n;
        writer.Place(
            frame, f.start,
            ScaledAbout(record.firstMatrix, startScaleX + changeX * done, startScaleY + changeY * done, px, py));
    }
}

void CSwivelTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                    float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float axis = record.x + record.width / 2.0f;
    const float n = static_cast<float>(f.n);
    CPlacementWriter writer(record, frames);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float angle = 2.5f * kPi * static_cast<float>(frame - f.start) / n;
        writer.Place(frame, f.start, ScaledAbout(record.firstMatrix, std::sin(angle), 1.0f, axis, 0.0f));
    }
}

void CSpiralTransition::WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                                    float startSeconds) const {
    const EntryEffectFrames f = Frames(record, startSeconds);
    const float movieWidth = static_cast<float>(record.movie->GetMovieWidth());
    const float movieHeight = static_cast<float>(record.movie->GetMovieHeight());
    // An empty movie has no aspect to keep.
    const float aspect = movieWidth > 0.0f ? movieHeight / movieWidth : 1.0f;
    const float cx = record.x + record.width / 2.0f;
    const float cy = record.y + record.height / 2.0f;
    const float r0 = std::fmax(movieWidth / 2.0f, cx);
    const float n = static_cast<float>(f.n);
    CPlacementWriter writer(record, frames);
    for (std::uint32_t frame = f.start; frame <= f.end; ++frame) {
        const float k = static_cast<float>(frame - f.start);
        const float a = k * (kPi / 2.0f) / n;
        const float theta = k * 315.0f / n * 0.017453292f;
        const float s = k / n;
        const float vx = -r0 * std::cos(a);
        const float offsetX = vx * std::cos(theta);
        const float offsetY = vx * std::sin(theta) * aspect;
        CMatrix m = record.firstMatrix;
        m.Translate(-cx, -cy);
        m.Scale(s, s);
        m.Translate(cx + offsetX, cy + offsetY);
        writer.Place(frame, f.start, m);
    }
}

}  // namespace genswf
