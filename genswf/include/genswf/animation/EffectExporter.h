#pragma once
// Effect exporters of the animation timeline: the animated object an effect is written onto,
// the exporter base with its entrance/exit dispatch, and the registry that hands out one
// exporter per effect number.

#include "Placement.h"
#include "TimeLine.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/movie/MovieObjects.h"

#include <cstdint>
#include <map>
#include <memory>

namespace genswf {

class CEffectExporterFactory;

// The target of an effect: a shape or a piece of text. It remembers what is shown, on which
// track and through which mask, so that the effects of one object follow on from each other.
class CAnimatedObject {
public:
    CAnimatedObject() = default;
    virtual ~CAnimatedObject() = default;
    CAnimatedObject(const CAnimatedObject&) = delete;
    CAnimatedObject& operator=(const CAnimatedObject&) = delete;

    // The owner's layer, in which the object's tracks are made.
    virtual std::shared_ptr<CLayer> GetLayer() = 0;

    void SetObject(const std::shared_ptr<CMovieObject>& object);
    std::shared_ptr<CObjectsCollection> GetObjects();
    void ResetTracks();

    std::shared_ptr<CShowCommand> ShowObject(std::uint32_t frame, const std::shared_ptr<CMovieObject>& object,
                                             const CMatrix& matrix);
    std::shared_ptr<CReplaceCommand> ReplaceObject(std::uint32_t frame, const std::shared_ptr<CMovieObject>& object,
                                                   const CMatrix& matrix);
    std::shared_ptr<CModifyCommand> ModifyObject(std::uint32_t frame, const CMatrix& matrix);
    void HideObject(std::uint32_t frame);
    // Shows, replaces or modifies the current object, whichever is due.
    std::shared_ptr<CPlacementCommand> PlaceAt(std::uint32_t frame, const CMatrix& matrix);

    void ShowMask(std::uint32_t frame, const std::shared_ptr<CMovieObject>& mask, const CMatrix& matrix);
    void ReplaceMask(std::uint32_t frame, const std::shared_ptr<CMovieObject>& mask, const CMatrix& matrix);
    void HideMask(std::uint32_t frame);
    std::shared_ptr<CPlacementCommand> PlaceWithMask(std::uint32_t frame, const std::shared_ptr<CMovieObject>& mask,
                                                     const CMatrix& maskMatrix, const CMatrix& objectMatrix);

    bool WasShownBefore() const { return m_shownBefore; }
    bool IsShown() const { return m_objectShow != nullptr; }
    bool IsMaskShown() const { return m_maskShow != nullptr; }
    const std::shared_ptr<CMovieObject>& GetCurrentObject() const { return m_currentObject; }
    const std::shared_ptr<CMovieObject>& GetMaskObject() const { return m_maskObject; }
    const std::shared_ptr<CShowCommand>& GetObjectShow() const { return m_objectShow; }
    const std::shared_ptr<CShowCommand>& GetMaskShow() const { return m_maskShow; }

protected:
    // The owner's objects collection; asked once.
    virtual std::shared_ptr<CObjectsCollection> FetchObjects() = 0;

private:
    std::shared_ptr<CFrameTrack> ObjectTrack();
    std::shared_ptr<CFrameTrack> MaskTrack();
    std::shared_ptr<CFrameTrack> NewTrack();

    bool m_shownBefore = false;
    std::shared_ptr<CFrameTrack> m_objectTrack;
    std::shared_ptr<CShowCommand> m_objectShow;
    std::shared_ptr<CObjectsCollection> m_objects;
    std::shared_ptr<CMovieObject> m_currentObject;
    std::shared_ptr<CMovieObject> m_replacement;
    std::shared_ptr<CMovieObject> m_maskObject;
    std::shared_ptr<CMovieObject> m_maskReplacement;
    std::shared_ptr<CShowCommand> m_maskShow;
    std::shared_ptr<CFrameTrack> m_maskTrack;
};

class CEffectExporterBase {
public:
    explicit CEffectExporterBase(CEffectExporterFactory* owner) : m_owner(owner) {}
    // Seconds the effect takes.
    virtual float GetDuration(const std::shared_ptr<CTimeLineEffect>& effect) = 0;
    virtual ~CEffectExporterBase() = default;
    CEffectExporterBase(const CEffectExporterBase&) = delete;
    CEffectExporterBase& operator=(const CEffectExporterBase&) = delete;

    // Starts the object on fresh tracks, then writes the effect.
    void Export(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                std::shared_ptr<CTimeLineEffect> effect);

    std::uint32_t GetMovieStartFrame() const;
    CEffectExporterFactory* GetOwner() const { return m_owner; }

protected:
    virtual void ExportEffect(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                              std::shared_ptr<CTimeLineEffect> effect) = 0;

    CEffectExporterFactory* m_owner;
};

// An exporter with an entrance and an exit half; the base shows a never-shown object before its
// exit and hides the mask, and the object of an exit, at the end frame.
class CEffectExporter : public CEffectExporterBase {
public:
    using CEffectExporterBase::CEffectExporterBase;
    float GetDuration(const std::shared_ptr<CTimeLineEffect>& effect) override;

protected:
    void ExportEffect(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                      std::shared_ptr<CTimeLineEffect> effect) override;
    virtual void ExportEntrance(const std::shared_ptr<CPlacement>& placement,
                                const std::shared_ptr<CAnimatedObject>& object,
                                const std::shared_ptr<CTimeLineEffect>& effect) = 0;
    virtual void ExportExit(const std::shared_ptr<CPlacement>& placement,
                            const std::shared_ptr<CAnimatedObject>& object,
                            const std::shared_ptr<CTimeLineEffect>& effect) = 0;
};

// Shows a never-shown object without animation; takes no time.
class CStaticEffectExporter : public CEffectExporterBase {
public:
    using CEffectExporterBase::CEffectExporterBase;
    float GetDuration(const std::shared_ptr<CTimeLineEffect>&) override { return 0.0f; }

protected:
    void ExportEffect(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                      std::shared_ptr<CTimeLineEffect> effect) override;
};

// Shows an embedded movie clipped to its shape's bounds for the whole movie.
class CEmbeddedMovieExporter : public CEffectExporterBase {
public:
    using CEffectExporterBase::CEffectExporterBase;
    float GetDuration(const std::shared_ptr<CTimeLineEffect>&) override { return 0.0f; }

protected:
    void ExportEffect(std::shared_ptr<CPlacement> placement, std::shared_ptr<CAnimatedObject> object,
                      std::shared_ptr<CTimeLineEffect> effect) override;
};

// One per export: the exporter of each effect number, with the fallback for all others.
class CEffectExporterFactory {
public:
    static std::shared_ptr<CEffectExporterFactory> Create(CMovie* movie);
    virtual ~CEffectExporterFactory();
    CEffectExporterFactory(const CEffectExporterFactory&) = delete;
    CEffectExporterFactory& operator=(const CEffectExporterFactory&) = delete;

    void Register(std::int32_t effectNumber, std::shared_ptr<CEffectExporterBase> exporter);
    // Never empty: an empty record or an unregistered number gets the fallback.
    std::shared_ptr<CEffectExporterBase> GetExporter(const std::shared_ptr<CTimeLineEffect>& effect) const;
    std::shared_ptr<CEffectExporterBase> GetEmbeddedMovieExporter() const;

    std::uint32_t GetStartFrame() const;
    float GetMovieWidth() const;
    float GetMovieHeight() const;
    CMovie* GetMovie() const;

private:
    CEffectExporterFactory();
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace genswf
