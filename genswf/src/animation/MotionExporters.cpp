// Fly and crawl from outside the movie, and peek by the object's own size under a fixed mask.

#include "ExporterSupport.h"
#include "genswf/animation/EffectExporters.h"

namespace genswf {

namespace {

// Entrances come in from the offset; exits go out to it.
float Directed(const CTimeLineEffect& effect, float p) { return effect.IsExit() ? 1.0f - p : p; }

void Fly(CEffectExporterFactory* owner, const CPlacement& placement, CAnimatedObject& object,
         const CTimeLineEffect& effect) {
    const float W = owner ? owner->GetMovieWidth() : 0.0f;
    const float H = owner ? owner->GetMovieHeight() : 0.0f;
    const float x = placement.GetX(), y = placement.GetY(), w = placement.GetWidth(), h = placement.GetHeight();
    float dx = 0.0f, dy = 0.0f;
    switch (effect.GetDirection()) {
    case 1:
        dy = -(y + h);
        break;
    case 2:
        dx = W - x;
        break;
    case 3:
        dy = H - y;
        break;
    case 4:
        dx = -(x + w);
        break;
    case 6:
        dx = -(x + w);
        dy = -(y + h);
        break;
    case 7:
        dx = W - x;
        dy = -(y + h);
        break;
    case 8:
        dx = W - x;
        dy = H - y;
        break;
    case 9:
        dx = -(x + w);
        dy = H - y;
        break;
    default:
        break;
    }
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        const float q = Directed(effect, p);
        CMatrix m = placement.GetMatrix();
        m.Translate(dx * (1.0f - q), dy * (1.0f - q));
        object.PlaceAt(frame, m);
    });
}

void Peek(const CPlacement& placement, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const float x = placement.GetX(), y = placement.GetY(), w = placement.GetWidth(), h = placement.GetHeight();
    float dx = 0.0f, dy = 0.0f;
    switch (effect.GetDirection()) {
    case 1:
        dy = -h;
        break;
    case 2:
        dx = w;
        break;
    case 3:
        dy = h;
        break;
    case 4:
        dx = -w;
        break;
    default:
        break;
    }
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        if (frame == effect.GetEndFrame()) {
            if (!effect.IsExit()) object.PlaceAt(frame, placement.GetMatrix());
            return;
        }
        const float q = Directed(effect, p);
        CMatrix m = placement.GetMatrix();
        m.Translate(dx * (1.0f - q), dy * (1.0f - q));
        if (frame == effect.GetStartFrame()) {
            auto objects = object.GetObjects();
            auto mask = objects->AddRectangle(x - 1.0f, y - 1.0f, w + 2.0f, h + 2.0f);
            mask->SetFillStyle(objects->GetBlackFillStyleId());
            object.PlaceWithMask(frame, mask, CMatrix(), m);
        } else {
            object.PlaceAt(frame, m);
        }
    });
}

}  // namespace

void CFlyEffectExporter::ExportEntrance(const std::shared_ptr<CPlacement>& placement,
                                        const std::shared_ptr<CAnimatedObject>& object,
                                        const std::shared_ptr<CTimeLineEffect>& effect) {
    Fly(m_owner, *placement, *object, *effect);
}

void CFlyEffectExporter::ExportExit(const std::shared_ptr<CPlacement>& placement,
                                    const std::shared_ptr<CAnimatedObject>& object,
                                    const std::shared_ptr<CTimeLineEffect>& effect) {
    Fly(m_owner, *placement, *object, *effect);
}

void CPeekEffectExporter::ExportEntrance(const std::shared_ptr<CPlacement>& placement,
                                         const std::shared_ptr<CAnimatedObject>& object,
                                         const std::shared_ptr<CTimeLineEffect>& effect) {
    Peek(*placement, *object, *effect);
}

void CPeekEffectExporter::ExportExit(const std::shared_ptr<CPlacement>& placement,
                                     const std::shared_ptr<CAnimatedObject>& object,
                                     const std::shared_ptr<CTimeLineEffect>& effect) {
    Peek(*placement, *object, *effect);
}

std::shared_ptr<CEffectExporterBase> CreateFlyEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CFlyEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateCrawlEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CCrawlEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreatePeekEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CPeekEffectExporter>(owner);
}

}  // namespace genswf
