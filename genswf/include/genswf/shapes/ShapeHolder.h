#pragma once
// How the timeline path reaches one shape: the handle the slide's shape list keeps and the
// timeline export drives, the holder behind it that owns the exporter, and the context through
// which the exporter and the text reach the movie, the slide and the unit conversions.

#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <string>

namespace genswf {

class CBasicShape;
class CEffectExporterFactory;
class CFontManager;
class CLayersCollection;
class CMovie;
class CObjectsCollection;
class CSlide;
class CTimeLineEffect;

class CShapeContext {
public:
    static std::shared_ptr<CShapeContext> Create(CSlide* owner, int shapeIndex);
    CShapeContext(CSlide* owner, int shapeIndex) : m_owner(owner), m_shapeIndex(shapeIndex) {}
    virtual ~CShapeContext() = default;
    CShapeContext(const CShapeContext&) = delete;
    CShapeContext& operator=(const CShapeContext&) = delete;

    CMovie* GetMovie() const;
    // The movie's working folder, with a trailing separator.
    std::wstring GetWorkFolder() const;
    float GetSlideWidthInMovie() const;
    float GetSlideHeightInMovie() const;
    // Points to movie units.
    float ToMovieX(float x) const;
    float ToMovieY(float y) const;
    std::shared_ptr<CEffectExporterFactory> GetEffectExporterFactory() const;
    std::shared_ptr<CFontManager> GetFontManager() const;
    // The slide background's colour, behind the text of shapes that are not visible.
    COLORREF GetFallbackColor() const;

    CSlide* GetOwner() const { return m_owner; }
    // 0-based position in the slide's Shapes collection.
    int GetShapeIndex() const { return m_shapeIndex; }

private:
    CSlide* m_owner;
    int m_shapeIndex;
};

class CShapeHolder {
public:
    // Context, wrapper and the exporter of the shape's type, in that order.
    CShapeHolder(CSlide* owner, PowerPoint::Shape* shape, int shapeIndex);
    virtual ~CShapeHolder();
    CShapeHolder(const CShapeHolder&) = delete;
    CShapeHolder& operator=(const CShapeHolder&) = delete;

    CSlide* GetOwner() const { return m_owner; }
    int GetShapeIndex() const { return m_shapeIndex; }
    const std::shared_ptr<CBasicShape>& GetBasicShape() const { return m_basicShape; }
    const std::shared_ptr<CShapeContext>& GetContext() const { return m_context; }

private:
    CSlide* m_owner;
    int m_shapeIndex;
    std::shared_ptr<CBasicShape> m_basicShape;
    std::shared_ptr<CShapeContext> m_context;
};

class CBasicShapeHandle {
public:
    explicit CBasicShapeHandle(std::shared_ptr<CShapeHolder> holder) : m_holder(std::move(holder)) {}
    virtual ~CBasicShapeHandle() = default;
    CBasicShapeHandle(const CBasicShapeHandle&) = delete;
    CBasicShapeHandle& operator=(const CBasicShapeHandle&) = delete;

    bool IsVisible();
    // The plain export into the shape's own collections.
    void Export();
    LONG GetZOrderPosition();
    std::shared_ptr<CObjectsCollection> GetObjectsCollection();
    std::shared_ptr<CLayersCollection> GetLayersCollection();
    // Exports the shape once more with the effect.
    void ExportWithEffect(const std::shared_ptr<CTimeLineEffect>& effect);
    std::wstring GetName();
    bool HasTextFrame();

    const std::shared_ptr<CShapeHolder>& GetHolder() const { return m_holder; }

private:
    std::shared_ptr<CShapeHolder> m_holder;
};

std::shared_ptr<CBasicShapeHandle> CreateBasicShapeHandle(CSlide* owner, PowerPoint::Shape* shape, int shapeIndex);

}  // namespace genswf
