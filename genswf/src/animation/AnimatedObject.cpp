// The animated object: what an effect shows, on which track and through which mask.

#include "genswf/animation/EffectExporter.h"

#include "genswf/utils/Exceptions.h"

namespace genswf {

void CAnimatedObject::SetObject(const std::shared_ptr<CMovieObject>& object) {
    auto objects = GetObjects();
    if (object && objects && !objects->Contains(object)) objects->Add(object);
    m_currentObject = object;
}

std::shared_ptr<CObjectsCollection> CAnimatedObject::GetObjects() {
    if (!m_objects) m_objects = FetchObjects();
    return m_objects;
}

void CAnimatedObject::ResetTracks() {
    m_objectTrack.reset();
    m_maskTrack.reset();
}

std::shared_ptr<CFrameTrack> CAnimatedObject::NewTrack() {
    std::shared_ptr<CLayer> layer = GetLayer();
    if (!layer) throw CBaseException(0, L"An animated object has no layer to write its frames into.");
    return layer->AddTrack();
}

std::shared_ptr<CFrameTrack> CAnimatedObject::ObjectTrack() {
    if (!m_objectTrack) m_objectTrack = NewTrack();
    return m_objectTrack;
}

std::shared_ptr<CFrameTrack> CAnimatedObject::MaskTrack() {
    if (!m_maskTrack) m_maskTrack = NewTrack();
    return m_maskTrack;
}

std::shared_ptr<CShowCommand> CAnimatedObject::ShowObject(std::uint32_t frame,
                                                          const std::shared_ptr<CMovieObject>& object,
                                                          const CMatrix& matrix) {
    // Without a definition there is nothing to show; a show of an empty id would corrupt the movie.
    if (!object) throw CBaseException(0, L"An animated object has no movie object to show.");
    SetObject(object);
    m_objectShow = ObjectTrack()->AddShow(frame, object->GetId(), matrix);
    m_replacement.reset();
    m_shownBefore = true;
    return m_objectShow;
}

std::shared_ptr<CReplaceCommand> CAnimatedObject::ReplaceObject(std::uint32_t frame,
                                                                const std::shared_ptr<CMovieObject>& object,
                                                                const CMatrix& matrix) {
    if (!m_objectShow || !object) return nullptr;
    m_replacement = object;
    return ObjectTrack()->AddReplace(frame, m_objectShow->GetShowId(), object->GetId(), matrix);
}

std::shared_ptr<CModifyCommand> CAnimatedObject::ModifyObject(std::uint32_t frame, const CMatrix& matrix) {
    if (!m_objectShow) return nullptr;
    return ObjectTrack()->AddModify(frame, m_objectShow->GetShowId(), matrix);
}

void CAnimatedObject::HideObject(std::uint32_t frame) {
    // Hiding what is not displayed would write a hide of no show.
    if (m_objectShow) ObjectTrack()->AddHide(frame, m_objectShow->GetShowId());
    m_objectShow.reset();
    m_replacement.reset();
    m_objectTrack.reset();
}

std::shared_ptr<CPlacementCommand> CAnimatedObject::PlaceAt(std::uint32_t frame, const CMatrix& matrix) {
    if (!m_objectShow) return ShowObject(frame, m_currentObject, matrix);
    if (m_replacement && m_replacement != m_currentObject) return ReplaceObject(frame, m_currentObject, matrix);
    return ModifyObject(frame, matrix);
}

void CAnimatedObject::ShowMask(std::uint32_t frame, const std::shared_ptr<CMovieObject>& mask, const CMatrix& matrix) {
    if (!mask) throw CBaseException(0, L"An effect has no mask to show.");
    m_maskObject = mask;
    m_maskShow = MaskTrack()->AddShow(frame, mask->GetId(), matrix);
    m_maskReplacement.reset();
}

void CAnimatedObject::ReplaceMask(std::uint32_t frame, const std::shared_ptr<CMovieObject>& mask,
                                  const CMatrix& matrix) {
    if (!mask) throw CBaseException(0, L"An effect has no mask to show.");
    if (!m_maskShow) {
        ShowMask(frame, mask, matrix);
        return;
    }
    m_maskReplacement = mask;
    MaskTrack()->AddReplace(frame, m_maskShow->GetShowId(), mask->GetId(), matrix);
}

void CAnimatedObject::HideMask(std::uint32_t frame) {
    if (m_maskShow) MaskTrack()->AddHide(frame, m_maskShow->GetShowId());
    m_maskShow.reset();
    m_maskReplacement.reset();
    m_maskTrack.reset();
}

std::shared_ptr<CPlacementCommand> CAnimatedObject::PlaceWithMask(std::uint32_t frame,
                                                                  const std::shared_ptr<CMovieObject>& mask,
                                                                  const CMatrix& maskMatrix,
                                                                  const CMatrix& objectMatrix) {
    if (m_maskShow) {
        ReplaceMask(frame, mask, maskMatrix);
        return PlaceAt(frame, objectMatrix);
    }
    // The object is shown anew above the mask, so the mask can clip it.
    if (m_objectShow) HideObject(frame);
    ShowMask(frame, mask, maskMatrix);
    std::shared_ptr<CPlacementCommand> command = PlaceAt(frame, objectMatrix);
    if (command) command->maskId = m_maskShow->GetShowId();
    return command;
}

}  // namespace genswf
