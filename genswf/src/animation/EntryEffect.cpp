#include "genswf/animation/EntryEffect.h"

#include <cmath>
#include <limits>

namespace genswf {

CShapeObjectRecord::CShapeObjectRecord(CMovie* movie_, XmlElementPtr objectsElement_, std::wstring objectId_, float x_,
                                       float y_, float width_, float height_, const CMatrix& matrix)
    : objectId(std::move(objectId_)),
      x(x_),
      y(y_),
      width(width_),
      height(height_),
      firstMatrix(matrix),
      secondMatrix(matrix),
      movie(movie_),
      objectsElement(std::move(objectsElement_)) {}

void CShapeObjectRecord::SetShowCommand(const std::shared_ptr<CShowCommand>& command) {
    showCommand = command;
    showId = command ? command->GetShowId() : std::wstring();
}

CRefPtr<CShapeObjectRecord> CreateShapeObjectRecord(CMovie* movie, const XmlElementPtr& objectsElement,
                                                    const std::wstring& id, float x, float y, float width, float height,
                                                    const CMatrix& matrix) {
    return CRefPtr<CShapeObjectRecord>(new CShapeObjectRecord(movie, objectsElement, id, x, y, width, height, matrix));
}

std::uint32_t SecondsToFrame(int frameRate, float seconds) {
    // Single precision, as every other frame computation of the movie.
    const float value = static_cast<float>(frameRate) * seconds + 0.5f;
    if (!(value >= 0.0f))  // negative or NaN
        return 0;
    // Frame numbers are written as signed 32-bit indexes; keep room for end + 1.
    constexpr std::uint32_t kLimit = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) - 2u;
    if (value >= static_cast<float>(kLimit)) return kLimit;
    return static_cast<std::uint32_t>(value);
}

EntryEffectFrames ComputeEntryEffectFrames(int frameRate, float startSeconds, float duration) {
    EntryEffectFrames frames{};
    frames.start = SecondsToFrame(frameRate, startSeconds);
    frames.end = SecondsToFrame(frameRate, startSeconds + duration);
    if (frames.end < frames.start + 1) frames.end = frames.start + 1;
    frames.n = frames.end - frames.start;
    return frames;
}

EntryEffectFrames CTransitionEffect::Frames(const CShapeObjectRecord& record, float startSeconds) const {
    return ComputeEntryEffectFrames(record.movie->GetFrameRate(), startSeconds, GetDuration());
}

CTransitionMask::CTransitionMask(CMovie* movie)
    : m_track(CreateFrameTrack(movie)), m_movie(movie), m_spriteId(movie->NewSpriteId()) {}

std::shared_ptr<CRectangleObject> CTransitionMask::AddRectangle(float x, float y, float width, float height) {
    auto rectangle = CreateRectangleObject(m_movie, x, y, width, height);
    m_parts.push_back(rectangle);
    return rectangle;
}

std::shared_ptr<CShapeObject> CTransitionMask::AddShape() {
    auto shape = CreateShapeObject(m_movie);
    m_parts.push_back(shape);
    return shape;
}

void CTransitionMask::Write(const XmlElementPtr& parent) {
    XmlElementPtr sprite = m_movie->WriteSprite(parent, m_spriteId);
    XmlElementPtr objects = m_movie->WriteObjects(sprite);
    XmlElementPtr layers = m_movie->WriteLayers(sprite);
    XmlElementPtr layer = m_movie->WriteLayer(layers);
    // Play once, then hold the last state.
    m_track->AddActions(m_track->GetLastFrame())->GetActions().AddStop();
    for (const auto& part : m_parts) part->Write(objects);
    auto frames = CreateFrameList(m_movie);
    frames->Add(m_track);
    frames->Write(layer, 0);
}

CRefPtr<CTransitionMask> CreateTransitionMask(CMovie* movie) {
    return CRefPtr<CTransitionMask>(new CTransitionMask(movie));
}

}  // namespace genswf
