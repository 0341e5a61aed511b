// Zoom, spiral, stretch and swivel: the object is scaled about a fixed point every frame.

#include "ExporterSupport.h"
#include "genswf/animation/EffectExporters.h"

#include <cmath>

namespace genswf {

namespace {

void Zoom(CEffectExporterFactory* owner, const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float W = owner ? owner->GetMovieWidth() : 0.0f;
    const float H = owner ? owner->GetMovieHeight() : 0.0f;
    const float h = pl.GetHeight();
    const float cx = pl.GetX() + pl.GetWidth() * 0.5f, cy = pl.GetY() + h * 0.5f;
    const bool exit = effect.IsExit();
    const float twoThirds = 0.6666667f, fourThirds = 1.3333334f;
    float s0 = 0.0f, s1 = 1.0f;
    float x0 = cx, y0 = cy, x1 = cx, y1 = cy;
    // The bottom of the movie, where 31 and 34 zoom from or to.
    const float bx = W * 0.5f, by = H * 0.5f + h * 8.0f * 0.5f;
    // An entrance ends at the object's resting placement and an exit starts there.
    switch (effect.GetDirection()) {
    case 20:
        s0 = exit ? 1.0f : 4.0f;
        s1 = exit ? 0.0f : 1.0f;
        break;
    case 29:
        s0 = exit ? 1.0f : twoThirds;
        s1 = exit ? fourThirds : 1.0f;
        break;
    case 30:
        s0 = exit ? 1.0f : 0.0f;
        s1 = exit ? 0.0f : 1.0f;
        (exit ? x1 : x0) = W * 0.5f;
        (exit ? y1 : y0) = H * 0.5f;
        break;
    case 31:
        s0 = exit ? 1.0f : 8.0f;
        s1 = exit ? 8.0f : 1.0f;
        (exit ? x1 : x0) = bx;
        (exit ? y1 : y0) = by;
        break;
    case 32:
        s0 = exit ? 1.0f : fourThirds;
        s1 = exit ? twoThirds : 1.0f;
        break;
    case 33:
        s0 = exit ? 1.0f : 0.0f;
        s1 = exit ? 0.0f : 1.0f;
        (exit ? x1 : x0) = W * 0.5f;
        (exit ? y1 : y0) = H * 0.5f;
        break;
    case 34:
        s0 = exit ? 1.0f : 8.0f;
        s1 = exit ? 8.0f : 1.0f;
        (exit ? x1 : x0) = bx;
        (exit ? y1 : y0) = by;
        break;
    default:  // 19 and any direction without its own zoom
        s0 = exit ? 1.0f : 0.0f;
        s1 = exit ? 4.0f : 1.0f;
        break;
    }
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        const float s = Lerp(s0, s1, p);
        object.PlaceAt(frame, ScaledAbout(pl.GetMatrix(), cx, cy, s, s, Lerp(x0, x1, p), Lerp(y0, y1, p)));
    });
}

void Spiral(CEffectExporterFactory* owner, const CPlacement& pl, CAnimatedObject& object,
            const CTimeLineEffect& effect) {
    const float W = owner ? owner->GetMovieWidth() : 0.0f;
    const float H = owner ? owner->GetMovieHeight() : 0.0f;
    const float x = pl.GetX(), y = pl.GetY(), w = pl.GetWidth(), h = pl.GetHeight();
    const float cx = x + w * 0.5f, cy = y + h * 0.5f;
    const float R = std::sqrt((x + w) * (x + w) + (y - H) * (y - H));
    // A movie without a width would divide by zero; its path is then a circle.
    const float Ry = W > 0.0f ? R * H / W : R;
    const bool exit = effect.IsExit();
    const float k0 = exit ? 0.0f : 1.0f, k1 = exit ? 1.0f : 0.0f;
    const float s0 = exit ? 1.0f : 0.0f, s1 = exit ? 0.0f : 1.0f;
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        const float k = Lerp(k0, k1, p);
        const double angle = (-180.0 + 315.0 * static_cast<double>(p)) * 3.14159265359 * 0.005555555555555556;
        const float dx = static_cast<float>(std::cos(angle) * k * R);
        const float dy = static_cast<float>(std::sin(angle) * k * Ry);
        const float s = Lerp(s0, s1, p);
        CMatrix m = ScaledAbout(pl.GetMatrix(), cx, cy, s, s, cx, cy);
        m.Translate(dx, dy);
        object.PlaceAt(frame, m);
    });
}

void Stretch(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float x = pl.GetX(), y = pl.GetY(), w = pl.GetWidth(), h = pl.GetHeight();
    float sx0 = 1.0f, sy0 = 0.0f, ax = 0.0f, ay = y;
    switch (effect.GetDirection()) {
    case 2:
        sx0 = 0.0f;
        sy0 = 1.0f;
        ax = x + w;
        ay = 0.0f;
        break;
    case 3:
        sx0 = 1.0f;
        sy0 = 0.0f;
        ax = 0.0f;
        ay = y + h;
        break;
    case 4:
        sx0 = 0.0f;
        sy0 = 1.0f;
        ax = x;
        ay = 0.0f;
        break;
    case 16:
        sx0 = 0.0f;
        sy0 = 1.0f;
        ax = x + w * 0.5f;
        ay = 0.0f;
        break;
    default:
        break;  // 1 and any direction without its own stretch: from the top edge
    }
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        const float q = effect.IsExit() ? 1.0f - p : p;
        const float sx = sx0 + (1.0f - sx0) * q, sy = sy0 + (1.0f - sy0) * q;
        object.PlaceAt(frame, ScaledAbout(pl.GetMatrix(), ax, ay, sx, sy, ax, ay));
    });
}

void Swivel(const CPlacement& pl, CAnimatedObject& object, const CTimeLineEffect& effect) {
    // Vertical for 17; horizontal for 16 and any other direction.
    const bool vertical = effect.GetDirection() == 17;
    const float ax = vertical ? 0.0f : pl.GetX() + pl.GetWidth() * 0.5f;
    const float ay = vertical ? pl.GetY() + pl.GetHeight() * 0.5f : 0.0f;
    const float a0 = effect.IsExit() ? 0.0f : -90.0f, a1 = effect.IsExit() ? 450.0f : 360.0f;
    const float degree = 0.017453292f;
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        const float c = std::cos(Lerp(a0, a1, p) * degree);
        const float sx = vertical ? 1.0f : c, sy = vertical ? c : 1.0f;
        object.PlaceAt(frame, ScaledAbout(pl.GetMatrix(), ax, ay, sx, sy, ax, ay));
    });
}

void ZoomWorker(CEffectExporterFactory* owner, const CPlacement& pl, CAnimatedObject& o, const CTimeLineEffect& e) {
    Zoom(owner, pl, o, e);
}
void SpiralWorker(CEffectExporterFactory* owner, const CPlacement& pl, CAnimatedObject& o, const CTimeLineEffect& e) {
    Spiral(owner, pl, o, e);
}
void StretchWorker(CEffectExporterFactory*, const CPlacement& pl, CAnimatedObject& o, const CTimeLineEffect& e) {
    Stretch(pl, o, e);
}
void SwivelWorker(CEffectExporterFactory*, const CPlacement& pl, CAnimatedObject& o, const CTimeLineEffect& e) {
    Swivel(pl, o, e);
}

}  // namespace

#define BC_SAME_WORKER(Class, Worker)                                            \
    void Class::ExportEntrance(const std::shared_ptr<CPlacement>& placement,     \
                               const std::shared_ptr<CAnimatedObject>& object,   \
                               const std::shared_ptr<CTimeLineEffect>& effect) { \
        Worker(m_owner, *placement, *object, *effect);                           \
    }                                                                            \
    void Class::ExportExit(const std::shared_ptr<CPlacement>& placement,         \
                           const std::shared_ptr<CAnimatedObject>& object,       \
                           const std::shared_ptr<CTimeLineEffect>& effect) {     \
        Worker(m_owner, *placement, *object, *effect);                           \
    }

BC_SAME_WORKER(CZoomEffectExporter, ZoomWorker)
BC_SAME_WORKER(CSpiralEffectExporter, SpiralWorker)
BC_SAME_WORKER(CStretchEffectExporter, StretchWorker)
BC_SAME_WORKER(CSwivelEffectExporter, SwivelWorker)

std::shared_ptr<CEffectExporterBase> CreateZoomEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CZoomEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateSpiralEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CSpiralEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateStretchEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CStretchEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateSwivelEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CSwivelEffectExporter>(owner);
}

}  // namespace genswf
