// Wipe, blinds, split, box and circle: the object stays at rest while a new mask is put in
// place of the previous one every frame.

#include "ExporterSupport.h"
#include "genswf/animation/EffectExporters.h"

#include <functional>

namespace genswf {

namespace {

using MaskBuilder = std::function<std::shared_ptr<CMovieObject>(CObjectsCollection&, float)>;

void MaskLoop(const CPlacement& placement, CAnimatedObject& object, const CTimeLineEffect& effect,
              const MaskBuilder& build) {
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        if (frame == effect.GetEndFrame()) {
            // The base hides the mask here, so an entrance ends unclipped.
            if (!effect.IsExit()) object.PlaceAt(frame, placement.GetMatrix());
            return;
        }
        auto objects = object.GetObjects();
        std::shared_ptr<CMovieObject> mask = build(*objects, p);
        if (frame == effect.GetStartFrame())
            object.PlaceWithMask(frame, mask, CMatrix(), placement.GetMatrix());
        else
            object.ReplaceMask(frame, mask, CMatrix());
    });
}

std::shared_ptr<CMovieObject> Solid(CObjectsCollection& objects, std::shared_ptr<CMovieObject> part) {
    part->SetFillStyle(objects.GetBlackFillStyleId());
    return part;
}

// Holes are drawn in the transparent fill over a black frame.
std::shared_ptr<CMovieObject> FrameWithHole(CObjectsCollection& objects, float fx, float fy, float fw, float fh,
                                            bool ovalHole, float hx, float hy, float hw, float hh) {
    auto shape = objects.AddShape();
    shape->AddRectangle(fx, fy, fw, fh)->SetFillStyle(objects.GetBlackFillStyleId());
    const std::wstring transparent = objects.GetTransparentFillStyleId();
    if (ovalHole)
        shape->AddOval(hx, hy, hw, hh)->SetFillStyle(transparent);
    else
        shape->AddRectangle(hx, hy, hw, hh)->SetFillStyle(transparent);
    return shape;
}

}  // namespace

#define BC_SAME_WORKER(Class, Worker)                                            \
    void Class::ExportEntrance(const std::shared_ptr<CPlacement>& placement,     \
                               const std::shared_ptr<CAnimatedObject>& object,   \
                               const std::shared_ptr<CTimeLineEffect>& effect) { \
        Worker(*placement, *object, *effect);                                    \
    }                                                                            \
    void Class::ExportExit(const std::shared_ptr<CPlacement>& placement,         \
                           const std::shared_ptr<CAnimatedObject>& object,       \
                           const std::shared_ptr<CTimeLineEffect>& effect) {     \
        Worker(*placement, *object, *effect);                                    \
    }

namespace {

void Wipe(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float L = pl.GetX() - 1.0f, R = pl.GetX() + pl.GetWidth() + 1.0f;
    const float T = pl.GetY() - 1.0f, B = pl.GetY() + pl.GetHeight() + 1.0f;
    struct Edges {
        float l, t, r, b;
    };
    const Edges full{L, T, R, B};
    Edges from = full, to = full;
    const bool exit = effect.IsExit();
    switch (effect.GetDirection()) {
    case 1:
        if (!exit)
            from = {L, T, R, T};
        else
            to = {L, B, R, B};
        break;
    case 2:
        if (!exit)
            from = {R, T, R, B};
        else
            to = {L, T, L, B};
        break;
    case 3:
        if (!exit)
            from = {L, B, R, B};
        else
            to = {L, T, R, T};
        break;
    case 4:
        if (!exit)
            from = {L, T, L, B};
        else
            to = {R, T, R, B};
        break;
    default:
        break;
    }
    MaskLoop(pl, object, effect, [&](CObjectsCollection& objects, float p) {
        const float left = Lerp(from.l, to.l, p);
        const float top = Lerp(from.t, to.t, p);
        const float width = Lerp(from.r - from.l, to.r - to.l, p);
        const float height = Lerp(from.b - from.t, to.b - to.t, p);
        return Solid(objects, objects.AddRectangle(left, top, width, height));
    });
}

void Blinds(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    // Vertical bands for 17; horizontal ones for 16 and any other direction.
    const bool vertical = effect.GetDirection() == 17;
    const float X = pl.GetX() - 1.0f, Y = pl.GetY() - 1.0f;
    const float Wd = pl.GetWidth() + 2.0f, Ht = pl.GetHeight() + 2.0f;
    const float s = 1.0f / 6.0f;
    MaskLoop(pl, object, effect, [&](CObjectsCollection& objects, float p) {
        const float q = effect.IsExit() ? 1.0f - p : p;
        auto shape = objects.AddShape();
        const std::wstring black = objects.GetBlackFillStyleId();
        for (int i = 0; i < 6; ++i) {
            const float fi = static_cast<float>(i);
            auto band = vertical ? shape->AddRectangle(X + fi * Wd * s, Y, Wd * s * q, Ht)
                                 : shape->AddRectangle(X, Y + fi * Ht * s, Wd, Ht * s * q);
            band->SetFillStyle(black);
        }
        return std::shared_ptr<CMovieObject>(shape);
    });
}

void Split(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float X = pl.GetX() - 1.0f, Y = pl.GetY() - 1.0f;
    const float Wd = pl.GetWidth() + 2.0f, Ht = pl.GetHeight() + 2.0f;
    const bool exit = effect.IsExit();
    float w0 = Wd, h0 = Ht, w1 = Wd, h1 = 0.0f;
    bool solid = exit;
    switch (effect.GetDirection()) {
    case 24:
        w0 = Wd;
        h0 = 0.0f;
        w1 = Wd;
        h1 = Ht;
        solid = !exit;
        break;
    case 25:
        w0 = Wd;
        h0 = Ht;
        w1 = 0.0f;
        h1 = Ht;
        solid = exit;
        break;
    case 26:
        w0 = 0.0f;
        h0 = Ht;
        w1 = Wd;
        h1 = Ht;
        solid = !exit;
        break;
    default:
        break;  // 23 and any other direction: horizontal in
    }
    MaskLoop(pl, object, effect, [&](CObjectsCollection& objects, float p) {
        const float width = Lerp(w0, w1, p), height = Lerp(h0, h1, p);
        const float ox = X + (Wd - width) * 0.5f, oy = Y + (Ht - height) * 0.5f;
        if (solid) return Solid(objects, objects.AddRectangle(ox, oy, width, height));
        return FrameWithHole(objects, X, Y, Wd, Ht, false, ox, oy, width, height);
    });
}

void Box(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float cx = pl.GetX() + pl.GetWidth() * 0.5f, cy = pl.GetY() + pl.GetHeight() * 0.5f;
    const float hw = pl.GetWidth() * 0.5f + 1.0f, hh = pl.GetHeight() * 0.5f + 1.0f;
    // Out (20) grows from the centre; in (19) and any other direction shrinks to it.
    const bool out = effect.GetDirection() == 20;
    const float s0 = out ? 0.0f : 1.0f, s1 = out ? 1.0f : 0.0f;
    const bool solid = out ? !effect.IsExit() : effect.IsExit();
    MaskLoop(pl, object, effect, [&](CObjectsCollection& objects, float p) {
        const float s = Lerp(s0, s1, p);
        const float ix = cx - s * hw, iy = cy - s * hh, iw = 2.0f * s * hw, ih = 2.0f * s * hh;
        if (solid) return Solid(objects, objects.AddRectangle(ix, iy, iw, ih));
        return FrameWithHole(objects, cx - hw, cy - hh, 2.0f * hw, 2.0f * hh, false, ix, iy, iw, ih);
    });
}

void Circle(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float x = pl.GetX(), y = pl.GetY(), w = pl.GetWidth(), h = pl.GetHeight();
    const float cx = x + w * 0.5f, cy = y + h * 0.5f;
    const float k = 0.70710677f;  // the full oval passes through the bounds' corners
    const float rx = w * k, ry = h * k;
    const bool out = effect.GetDirection() == 20;
    const float f0 = out ? 0.0f : 1.0f, f1 = out ? 1.0f : 0.0f;
    const bool solid = out ? !effect.IsExit() : effect.IsExit();
    MaskLoop(pl, object, effect, [&](CObjectsCollection& objects, float p) {
        const float ax = Lerp(f0 * rx, f1 * rx, p), ay = Lerp(f0 * ry, f1 * ry, p);
        const float ox = cx - ax, oy = cy - ay, ow = 2.0f * ax, oh = 2.0f * ay;
        if (solid) return Solid(objects, objects.AddOval(ox, oy, ow, oh));
        return FrameWithHole(objects, x - 10.0f, y - 10.0f, w + 20.0f, h + 20.0f, true, ox, oy, ow, oh);
    });
}

}  // namespace

BC_SAME_WORKER(CWipeEffectExporter, Wipe)
BC_SAME_WORKER(CBlindsEffectExporter, Blinds)
BC_SAME_WORKER(CSplitEffectExporter, Split)
BC_SAME_WORKER(CBoxEffectExporter, Box)
BC_SAME_WORKER(CCircleEffectExporter, Circle)

std::shared_ptr<CEffectExporterBase> CreateWipeEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CWipeEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateBlindsEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CBlindsEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateSplitEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CSplitEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateBoxEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CBoxEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateCircleEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CCircleEffectExporter>(owner);
}

}  // namespace genswf
