// Fade (also dissolve, random bars and checkerboard), appear and flash once.

#include "ExporterSupport.h"
#include "genswf/animation/EffectExporters.h"

namespace genswf {

namespace {

void Fade(const CPlacement& placement, CAnimatedObject& object, const CTimeLineEffect& effect) {
    const int from = effect.IsExit() ? 0 : -255;
    const int to = effect.IsExit() ? -255 : 0;
    ForEachFrame(effect, [&](std::uint32_t frame, float p) {
        auto command = object.PlaceAt(frame, placement.GetMatrix());
        if (command)
            command->shiftAlpha = static_cast<int>(static_cast<float>(from) + static_cast<float>(to - from) * p);
    });
}

void FlashOnce(const CPlacement& placement, CAnimatedObject& object, const CTimeLineEffect& effect) {
    object.PlaceAt(effect.GetStartFrame(), placement.GetMatrix());
    object.HideObject(effect.GetEndFrame());
}

}  // namespace

void CFadeEffectExporter::ExportEntrance(const std::shared_ptr<CPlacement>& placement,
                                         const std::shared_ptr<CAnimatedObject>& object,
                                         const std::shared_ptr<CTimeLineEffect>& effect) {
    Fade(*placement, *object, *effect);
}

void CFadeEffectExporter::ExportExit(const std::shared_ptr<CPlacement>& placement,
                                     const std::shared_ptr<CAnimatedObject>& object,
                                     const std::shared_ptr<CTimeLineEffect>& effect) {
    Fade(*placement, *object, *effect);
}

void CAppearEffectExporter::ExportEntrance(const std::shared_ptr<CPlacement>& placement,
                                           const std::shared_ptr<CAnimatedObject>& object,
                                           const std::shared_ptr<CTimeLineEffect>& effect) {
    object->PlaceAt(effect->GetStartFrame(), placement->GetMatrix());
}

// The base hides the object at the end frame: an appear exit is a disappearance.
void CAppearEffectExporter::ExportExit(const std::shared_ptr<CPlacement>&, const std::shared_ptr<CAnimatedObject>&,
                                       const std::shared_ptr<CTimeLineEffect>&) {}

void CFlashOnceEffectExporter::ExportEntrance(const std::shared_ptr<CPlacement>& placement,
                                              const std::shared_ptr<CAnimatedObject>& object,
                                              const std::shared_ptr<CTimeLineEffect>& effect) {
    FlashOnce(*placement, *object, *effect);
}

void CFlashOnceEffectExporter::ExportExit(const std::shared_ptr<CPlacement>& placement,
                                          const std::shared_ptr<CAnimatedObject>& object,
                                          const std::shared_ptr<CTimeLineEffect>& effect) {
    FlashOnce(*placement, *object, *effect);
}

std::shared_ptr<CEffectExporterBase> CreateFadeEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CFadeEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateDissolveEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CDissolveEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateRandomBarsEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CRandomBarsEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateCheckerboardEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CCheckerboardEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateAppearEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CAppearEffectExporter>(owner);
}
std::shared_ptr<CEffectExporterBase> CreateFlashOnceEffectExporter(CEffectExporterFactory* owner) {
    return std::make_shared<CFlashOnceEffectExporter>(owner);
}

}  // namespace genswf
