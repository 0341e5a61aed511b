#pragma once
// Entry effects of the per-shape animation model (no timeline): the base class every effect
// derives from, the shape record the writers work on, the shared frame arithmetic and the
// mask sprite that the mask-based effects reveal a shape through.

#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/utils/Utils.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace genswf {

// What the shape exporter hands to an entry effect: the placed object and its bounds.
class CShapeObjectRecord : public CRefCounted {
public:
    CShapeObjectRecord(CMovie* movie_, XmlElementPtr objectsElement_, std::wstring objectId_, float x_, float y_,
                       float width_, float height_, const CMatrix& matrix);

    // Keeps the show command that placed the shape and its show id.
    void SetShowCommand(const std::shared_ptr<CShowCommand>& command);
    const std::shared_ptr<CShowCommand>& GetShowCommand() const { return showCommand; }
    const std::wstring& GetShowId() const { return showId; }
    XmlElementPtr GetObjectsElement() const { return objectsElement; }

    std::wstring objectId;
    float x, y, width, height;
    CMatrix firstMatrix;   // used by the moving and masked writers
    CMatrix secondMatrix;  // used by cut and no effect
    CMovie* movie;
    XmlElementPtr objectsElement;
    std::shared_ptr<CShowCommand> showCommand;
    std::wstring showId;
};

CRefPtr<CShapeObjectRecord> CreateShapeObjectRecord(CMovie* movie, const XmlElementPtr& objectsElement,
                                                    const std::wstring& id, float x, float y, float width, float height,
                                                    const CMatrix& matrix);

// Seconds to a frame number: value + 0.5 truncated toward zero; negative and non-finite
// values give 0 and values beyond the frame range are capped.
std::uint32_t SecondsToFrame(int frameRate, float seconds);

// The frames an effect spans: start, end (at least start + 1) and n = end - start.
struct EntryEffectFrames {
    std::uint32_t start;
    std::uint32_t end;
    std::uint32_t n;
};
EntryEffectFrames ComputeEntryEffectFrames(int frameRate, float startSeconds, float duration);

class CTransitionEffect : public CRefCounted {
public:
    ~CTransitionEffect() override = default;

    virtual bool GetClassFlag() const { return false; }
    virtual float GetDuration() const = 0;
    // Adds the effect's own tracks to frames and hands the shape's show command to the record.
    virtual void WriteFrames(CShapeObjectRecord& record, std::shared_ptr<CFrameList> frames,
                             float startSeconds) const = 0;

protected:
    // The frames of this effect for the record's movie.
    EntryEffectFrames Frames(const CShapeObjectRecord& record, float startSeconds) const;
};

// A sprite of black rectangles that plays its own frames once and stays on its last one.
class CTransitionMask : public CRefCounted {
public:
    explicit CTransitionMask(CMovie* movie);

    std::shared_ptr<CRectangleObject> AddRectangle(float x, float y, float width, float height);
    std::shared_ptr<CShapeObject> AddShape();
    std::wstring GetId() const { return m_spriteId; }
    const std::shared_ptr<CFrameTrack>& GetTrack() const { return m_track; }
    const std::vector<std::shared_ptr<CMovieObject>>& GetParts() const { return m_parts; }
    // The "sprite" definition under parent: objects, then its one layer with the track.
    void Write(const XmlElementPtr& parent);

private:
    std::shared_ptr<CFrameTrack> m_track;
    CMovie* m_movie;
    std::vector<std::shared_ptr<CMovieObject>> m_parts;
    std::wstring m_spriteId;
};

CRefPtr<CTransitionMask> CreateTransitionMask(CMovie* movie);

}  // namespace genswf
