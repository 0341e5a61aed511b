#pragma once
// The entry-effect classes, one per family of entry-effect codes. Each constructor turns its
// code into constant factors; nothing changes afterwards, so one object serves every shape.

#include "EntryEffect.h"

namespace genswf {

// --- Mask-based effects ----------------------------------------------------------------------

class CWipeTransition : public CTransitionEffect {
public:
    explicit CWipeTransition(int code);
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float moveX = 0, moveY = 0, growH = 0, growW = 0, startX = 0, startY = 0, startH = 0, startW = 0;
};

class CUncoverTransition : public CTransitionEffect {
public:
    explicit CUncoverTransition(int code);
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    struct Band {
        float startX = 0, startY = 0, moveX = 0, moveY = 0, startW = 1, startH = 1, growW = 0, growH = 0;
    };
    Band first, second;
    bool twoRectangles = false;
};

class CBlindsTransition : public CTransitionEffect {
public:
    explicit CBlindsTransition(int code);
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float a = 0, b = 0, c = 1, d = 1, e = 0, f = 0;
};

class CBoxTransition : public CTransitionEffect {
public:
    explicit CBoxTransition(int code);
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    int code;
    float start = 0, move = 0, size = 0, grow = 0;
};

class CSplitTransition : public CTransitionEffect {
public:
    explicit CSplitTransition(int code);
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float moveX1 = 0, moveX2 = 0, moveY1 = 0, moveY2 = 0, startX1 = 0, startX2 = 0, startY1 = 0, startY2 = 0;
    float startW = 0, startH = 0, growW = 0, growH = 0;
};

class CStripsTransition : public CTransitionEffect {
public:
    explicit CStripsTransition(int code);
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float factors[5] = {0, 0, 0, 0, 0};
};

class CCoverTransition : public CTransitionEffect {
public:
    explicit CCoverTransition(int code);
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float dx = 0, dy = 0, offsetX = 0, offsetY = 0;
};

// The registry's fallback: the shape at once, clipped to its own bounds.
class CDefaultTransition : public CTransitionEffect {
public:
    float GetDuration() const override { return 0.0f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;
};

// --- Moving, fading and plain effects --------------------------------------------------------

class CFadeTransition : public CTransitionEffect {
public:
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;
};

class CFlyTransition : public CTransitionEffect {
public:
    explicit CFlyTransition(int code);
    float GetDuration() const override { return duration; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float duration = 0.5f;
    int horizontal = 0, vertical = 0;
};

class CZoomTransition : public CTransitionEffect {
public:
    explicit CZoomTransition(int code);
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float startScale = 0;
    int code;
};

class CStretchTransition : public CTransitionEffect {
public:
    explicit CStretchTransition(int code);
    float GetDuration() const override { return 0.5f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float startScaleX = 0, startScaleY = 0, changeX = 0, changeY = 0, anchorX = 0, anchorY = 0;
};

class CSwivelTransition : public CTransitionEffect {
public:
    float GetDuration() const override { return 5.0f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;
};

class CSpiralTransition : public CTransitionEffect {
public:
    bool GetClassFlag() const override { return true; }
    float GetDuration() const override { return 1.0f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;
};

class CFlashOnceTransition : public CTransitionEffect {
public:
    explicit CFlashOnceTransition(float duration_) : duration(duration_) {}
    float GetDuration() const override { return duration; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;

    float duration;
};

class CCutTransition : public CTransitionEffect {
public:
    float GetDuration() const override { return 0.0f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;
};

class CNoTransition : public CTransitionEffect {
public:
    float GetDuration() const override { return 0.0f; }
    void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames, float startSeconds) const override;
};

}  // namespace genswf
