#pragma once
// The per-shape exporters of the timeline path, one class per PowerPoint shape type: the
// shape's picture (PNG, WMF sprite or embedded Flash sprite, in a button when the shape links
// somewhere), placed with the shape's geometry and handed to the effect exporters, and the
// shape's text through the text-frame model.

#include "genswf/animation/EffectExporter.h"
#include "genswf/geometry/Geometry.h"
#include "genswf/movie/MovieTypes.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/shapes/ShapeExportRequest.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <string>

namespace libpptparser {
class CShape;
class CTextFrame;
}  // namespace libpptparser

namespace genswf {

class CBasicShape;
class CEffectExporterBase;
class CLayer;
class CLayersCollection;
class CMovie;
class CMovieObject;
class CObjectsCollection;
class CPlacement;
class CPptShape;
class CShapeContext;
class CSpriteObject;
class CSwfContent;
class CTextFrameContent;
class CTimeLineEffect;

// Links a basic shape to its parsed shape through the context's slide.
class CBasicShapeParsedLink {
public:
    CBasicShapeParsedLink(CBasicShape* owner, std::shared_ptr<CPptShape> shape);
    virtual ~CBasicShapeParsedLink();
    CBasicShapeParsedLink(const CBasicShapeParsedLink&) = delete;
    CBasicShapeParsedLink& operator=(const CBasicShapeParsedLink&) = delete;

    // Asked once; empty when the parsed slide has no such shape.
    std::shared_ptr<libpptparser::CShape> GetParsedShape();
    // The parsed shape's text frame; empty when there is none.
    std::shared_ptr<libpptparser::CTextFrame> GetTextFrame();

private:
    std::shared_ptr<libpptparser::CShape> m_parsedShape;
    CBasicShape* m_owner;
    std::shared_ptr<CPptShape> m_shape;
};

// Keeps the shape's AnimationSettings interface alive for the export.
class CAnimationSettingsRef {
public:
    explicit CAnimationSettingsRef(PowerPoint::AnimationSettings* settings);
    virtual ~CAnimationSettingsRef();
    CAnimationSettingsRef(const CAnimationSettingsRef&) = delete;
    CAnimationSettingsRef& operator=(const CAnimationSettingsRef&) = delete;

private:
    CComPtr<PowerPoint::AnimationSettings> m_settings;
    int m_reserved = 0;
};

// The effect target of a whole shape: placed in the shape's first layer.
class CBasicShapeAnimatedObject : public CAnimatedObject {
public:
    explicit CBasicShapeAnimatedObject(CBasicShape* owner) : m_owner(owner) {}
    std::shared_ptr<CLayer> GetLayer() override;

protected:
    std::shared_ptr<CObjectsCollection> FetchObjects() override;

private:
    CBasicShape* m_owner;
    std::shared_ptr<CLayer> m_layer;
};

class CBasicShape {
public:
    explicit CBasicShape(std::shared_ptr<CPptShape> shape);

    // --- Virtual operations, in slot order ---
    // Points.
    virtual float GetHeight();
    virtual float GetWidth();
    virtual float GetTop();
    virtual float GetLeft();
    virtual bool IsVisible();
    virtual ~CBasicShape();
    // Movie units: about the centre of the PowerPoint frame, then moved to the shape's place.
    virtual CMatrix GetPlacement();
    virtual float GetExportLeft();
    virtual float GetExportTop();
    virtual float GetExportWidth();
    virtual float GetExportHeight();
    // The movie object that shows the shape.
    virtual std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape);
    virtual std::shared_ptr<CEffectExporterBase> GetEffectExporter(const std::shared_ptr<CTimeLineEffect>& effect);
    virtual void ExportText(const std::shared_ptr<CTextExportRequest>& request);
    virtual void ExportShape(const std::shared_ptr<CShapeExportRequest>& request);

    CBasicShape(const CBasicShape&) = delete;
    CBasicShape& operator=(const CBasicShape&) = delete;

    // Stores the context and fixes the colour behind the shape's text.
    void SetContext(const std::shared_ptr<CShapeContext>& context);

    // --- Entry points ---
    // The shape when visible, then its text when it has any.
    void Export();
    void ExportWithEffect(const std::shared_ptr<CTimeLineEffect>& effect);

    // --- Pictures ---
    // PowerPoint's picture of the shape (unrotated, without text), WMF once when the picture
    // format fails. A metafile comes back as a sprite over it: the compiler draws no metafile
    // as an image.
    std::shared_ptr<CMovieObject> SaveShapeAsPicture(const std::shared_ptr<CPptShape>& shape);
    // A sprite over a WMF picture when the fill and line allow it, else SaveShapeAsPicture.
    std::shared_ptr<CMovieObject> ExportAsWmf(const std::shared_ptr<CPptShape>& shape);

    // --- Read access for the handle, the text and the effects ---
    bool HasTextFrame();
    const std::wstring& GetName();
    LONG GetZOrderPosition();
    std::shared_ptr<CObjectsCollection> GetObjectsCollection();
    std::shared_ptr<CLayersCollection> GetLayersCollection();
    std::shared_ptr<CLayer> GetFirstLayer();
    std::shared_ptr<CLayer> GetSecondLayer();
    // Made on first use; holds no text when the frame has none.
    std::shared_ptr<CTextFrameContent> GetTextContent();
    // Lets the text model go once the slide is exported: the movie objects made from it hold
    // what they need. A later GetTextContent reads the frame again.
    void ReleaseTextContent() { m_textContent.reset(); }
    std::shared_ptr<CAnimatedObject> GetAnimatedObject();
    CMovie* GetContextMovie() const;
    // Degrees; 0 for shapes that cannot be turned.
    float GetRotation();
    // (0, 0, export width, export height) in movie units through the base placement, bounded.
    Rect GetBounds();
    std::shared_ptr<CPlacement> CreatePlacement(const std::shared_ptr<CShapeExportRequest>& request);
    // The PowerPoint frame's centre, in points.
    float GetCenterX();
    float GetCenterY();
    // Degrees: the parsed shape's quarter turns x 90.
    float GetTextRotation();
    COLORREF GetLightColor();
    COLORREF GetDarkColor();
    COLORREF GetBaseColor();
    COLORREF GetContrastColor(COLORREF color);

    const std::shared_ptr<CPptShape>& GetShape() const { return m_shape; }
    const std::shared_ptr<CShapeContext>& GetContext() const { return m_context; }
    CBasicShapeParsedLink& GetParsedLink() { return *m_parsedLink; }

protected:
    // The base placement, whatever a subclass makes of GetPlacement.
    CMatrix GetBasePlacement();
    // Makes the sprite stand for the metafile at path, at the shape's size in movie units.
    void SetMetafile(CSpriteObject& sprite, const std::wstring& path);

    std::unique_ptr<CBasicShapeParsedLink> m_parsedLink;
    std::shared_ptr<CPptShape> m_shape;
    std::shared_ptr<CTextFrameContent> m_textContent;
    std::shared_ptr<CBasicShapeAnimatedObject> m_animatedObject;
    std::shared_ptr<CAnimationSettingsRef> m_animationSettings;
    std::shared_ptr<CShapeContext> m_context;
    std::shared_ptr<CObjectsCollection> m_objects;
    std::shared_ptr<CLayersCollection> m_layers;
    std::shared_ptr<CLayer> m_firstLayer;
    std::shared_ptr<CLayer> m_secondLayer;
};

// Type 1: the frame of callouts and connectors includes their adjustment points.
class CAutoShape : public CBasicShape {
public:
    explicit CAutoShape(std::shared_ptr<CPptShape> shape);
    ~CAutoShape() override;
    float GetHeight() override;
    float GetWidth() override;
    float GetTop() override;
    float GetLeft() override;
    std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape) override;

private:
    void ComputeGeometry();
    bool IsCallout();

    bool m_geometryComputed = false;
    bool m_calloutDecided = false;
    bool m_isCallout = false;
    float m_frameLeft = 0, m_frameTop = 0, m_frameWidth = 0, m_frameHeight = 0;
};

// Types 7, 10 and 12: embedded Flash movies and listed objects.
class COleObjectShape : public CBasicShape {
public:
    explicit COleObjectShape(std::shared_ptr<CPptShape> shape);
    ~COleObjectShape() override;
    CMatrix GetPlacement() override;
    std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape) override;
    std::shared_ptr<CEffectExporterBase> GetEffectExporter(const std::shared_ptr<CTimeLineEffect>& effect) override;

    // The Flash movie the control holds; empty when none (decided once).
    std::shared_ptr<CSwfContent> GetEmbeddedMovie();
    // An embedded OLE object whose ProgID the export settings list (decided once; a failure
    // counts as false).
    bool IsListedObject();

private:
    bool m_movieDecided = false;
    std::shared_ptr<CSwfContent> m_embeddedMovie;
    bool m_listedObject = false;
    bool m_listedDecided = false;
};

// Types whose picture prefers the vector path.
class CFreeformShape : public CBasicShape {
public:
    using CBasicShape::CBasicShape;
    ~CFreeformShape() override;
    std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape) override;
};

class CGroupShape : public CBasicShape {
public:
    using CBasicShape::CBasicShape;
    ~CGroupShape() override;
    std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape) override;
};

class CLineShape : public CBasicShape {
public:
    using CBasicShape::CBasicShape;
    ~CLineShape() override;
    std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape) override;
};

class CTableShape : public CBasicShape {
public:
    using CBasicShape::CBasicShape;
    ~CTableShape() override;
    std::shared_ptr<CMovieObject> ExportAsPicture(const std::shared_ptr<CPptShape>& shape) override;
};

// Types that keep the base behaviour.
class CCalloutShape : public CBasicShape {  // type 2
public:
    using CBasicShape::CBasicShape;
    ~CCalloutShape() override;
};

class CChartShape : public CBasicShape {  // type 3
public:
    using CBasicShape::CBasicShape;
    ~CChartShape() override;
};

class CCommentShape : public CBasicShape {  // type 4
public:
    using CBasicShape::CBasicShape;
    ~CCommentShape() override;
};

class CFormControlShape : public CBasicShape {  // type 8
public:
    using CBasicShape::CBasicShape;
    ~CFormControlShape() override;
};

class CPictureShape : public CBasicShape {  // type 11, 13
public:
    using CBasicShape::CBasicShape;
    ~CPictureShape() override;
};

class CPlaceholderShape : public CBasicShape {  // type 14
public:
    using CBasicShape::CBasicShape;
    ~CPlaceholderShape() override;
};

class CTextEffectShape : public CBasicShape {  // type 15
public:
    using CBasicShape::CBasicShape;
    ~CTextEffectShape() override;
};

class CMediaShape : public CBasicShape {  // type 16
public:
    using CBasicShape::CBasicShape;
    ~CMediaShape() override;
};

class CTextBoxShape : public CBasicShape {  // type 17
public:
    using CBasicShape::CBasicShape;
    ~CTextBoxShape() override;
};

class CScriptAnchorShape : public CBasicShape {  // type 18
public:
    using CBasicShape::CBasicShape;
    ~CScriptAnchorShape() override;
};

class CCanvasShape : public CBasicShape {  // type 20
public:
    using CBasicShape::CBasicShape;
    ~CCanvasShape() override;
};

class CDiagramShape : public CBasicShape {  // type 21
public:
    using CBasicShape::CBasicShape;
    ~CDiagramShape() override;
};

class CInkShape : public CBasicShape {  // type 22
public:
    using CBasicShape::CBasicShape;
    ~CInkShape() override;
};

class CInkCommentShape : public CBasicShape {  // type 23
public:
    using CBasicShape::CBasicShape;
    ~CInkCommentShape() override;
};

// Reads the shape's Type once, makes the class of that type and gives it the context.
std::shared_ptr<CBasicShape> CreateBasicShape(const std::shared_ptr<CPptShape>& shape,
                                              const std::shared_ptr<CShapeContext>& context);

}  // namespace genswf
