// The exporter base: the entrance/exit dispatch, and the two exporters that need no effect
// record of their own kind (the fallback and the embedded movie).

#include "genswf/animation/EffectExporter.h"

namespace genswf {

void CEffectExporterBase::Export(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                                 std::shared_ptr<CTimeLineEffect> effect) {
    if (!placement || !object) return;
    object->ResetTracks();
    ExportEffect(placement, object, effect);
}

std::uint32_t CEffectExporterBase::GetMovieStartFrame() const { return m_owner ? m_owner->GetStartFrame() : 0u; }

float CEffectExporter::GetDuration(const std::shared_ptr<CTimeLineEffect>& effect) {
    return effect && effect->GetTiming() ? effect->GetTiming()->GetDuration() : 0.0f;
}

void CEffectExporter::ExportEffect(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                                   std::shared_ptr<CTimeLineEffect> effect) {
    // Without a record there are no frames to write; the fallback shows such objects.
    if (!effect) return;
    if (!effect->IsExit()) {
        ExportEntrance(placement, object, effect);
    } else if (object->IsShown()) {
        ExportExit(placement, object, effect);
    } else if (!object->WasShownBefore()) {
        // Visible from the movie's start until it leaves.
        if (effect->GetStartFrame() != GetMovieStartFrame()) {
            object->ShowObject(GetMovieStartFrame(), object->GetCurrentObject(), placement->GetMatrix());
            object->ResetTracks();
        }
        ExportExit(placement, object, effect);
    }
    // An exit of an object that an earlier exit hid writes nothing.

    if (object->GetMaskObject() && object->IsMaskShown()) object->HideMask(effect->GetEndFrame());
    if (effect->IsExit() && object->IsShown()) object->HideObject(effect->GetEndFrame());
}

void CStaticEffectExporter::ExportEffect(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                                         std::shared_ptr<CTimeLineEffect> effect) {
    if (effect && effect->IsExit()) {
        // An exit this system cannot animate still takes the object away, at the exit's end.
        const std::uint32_t end = effect->GetEndFrame();
        if (!object->IsShown() && !object->WasShownBefore()) {
            if (end <= GetMovieStartFrame()) return;
            object->ShowObject(GetMovieStartFrame(), object->GetCurrentObject(), placement->GetMatrix());
        }
        if (object->IsShown()) object->HideObject(end);
        return;
    }
    if (object->WasShownBefore()) return;
    const std::uint32_t frame = effect ? effect->GetStartFrame() : GetMovieStartFrame();
    object->ShowObject(frame, object->GetCurrentObject(), placement->GetMatrix());
}

void CEmbeddedMovieExporter::ExportEffect(std::shared_ptr<CPlacement> placement,
                                          std::shared_ptr<CAnimatedObject> object, std::shared_ptr<CTimeLineEffect>) {
    const std::uint32_t frame = GetMovieStartFrame();
    object->ResetTracks();
    auto objects = object->GetObjects();
    if (!objects) return;
    auto rectangle =
        objects->AddRectangle(placement->GetX(), placement->GetY(), placement->GetWidth(), placement->GetHeight());
    rectangle->SetFillStyle(objects->GetBlackFillStyleId());
    object->PlaceWithMask(frame, rectangle, CMatrix(), placement->GetMatrix());
}

}  // namespace genswf
