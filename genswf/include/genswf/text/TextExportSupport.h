#pragma once
// Small objects the text-frame path makes while it exports a text shape: the context that
// reaches the movie and the colours behind the text, the parameters of one line's layout, the
// lazily fetched parsed text frame, and the paragraphs' animation target.

#include "genswf/animation/EffectExporter.h"
#include "genswf/utils/Utils.h"

#include <memory>
#include <vector>

namespace libpptparser {
class CTextFrame;
}

namespace genswf {

class CBasicShape;
class CLayer;
class CMovie;
class CObjectsCollection;
class CPptTextFrame;
class CTextFieldObject;
class CTextFrameContent;
class CTextParagraph;

// Everything forwards through the text-frame model to its basic shape.
class CTextExportContext {
public:
    explicit CTextExportContext(CTextFrameContent* content) : m_content(content) {}
    virtual ~CTextExportContext() = default;

    CMovie* GetMovie() const;
    // Points to movie units.
    float ScaleX(float x) const;
    float ScaleY(float y) const;
    std::shared_ptr<CTextFieldObject> CreateTextField(float x, float y, float width, float height) const;
    COLORREF GetLightColor() const;
    COLORREF GetDarkColor() const;
    COLORREF GetBaseColor() const;
    COLORREF GetContrastColor(COLORREF color) const;
    CTextFrameContent* GetContent() const { return m_content; }

private:
    CTextFrameContent* m_content;
};

// Left empty by the text-frame model, which keeps its paragraphs in a vector of its own.
class CTextParagraphList {
public:
    virtual ~CTextParagraphList() = default;
    std::vector<std::shared_ptr<CTextParagraph>> paragraphs;
};

class CTextFrameSource {
public:
    CTextFrameSource(std::shared_ptr<CPptTextFrame> frame, CBasicShape* shape)
        : m_frame(std::move(frame)), m_shape(shape) {}
    virtual ~CTextFrameSource() = default;

    // Asked of the shape's parsed link while none is held; stays empty without one.
    std::shared_ptr<libpptparser::CTextFrame> GetParsedTextFrame();
    const std::shared_ptr<CPptTextFrame>& GetFrame() const { return m_frame; }

private:
    std::shared_ptr<CPptTextFrame> m_frame;
    std::shared_ptr<libpptparser::CTextFrame> m_parsedFrame;
    CBasicShape* m_shape;
};

// One line's layout call: its metrics (points) and the colour of linked text.
struct CTextLayoutParams {
    CTextExportContext* context = nullptr;
    float lineHeight = 0.0f;
    float ascent = 0.0f;
    float descent = 0.0f;
    float baseline = 0.0f;
    COLORREF hyperlinkColor = 0;
};

// A paragraph's effect target; its frames go into the shape's second layer.
class CTextAnimatedObject : public CAnimatedObject {
public:
    static std::shared_ptr<CTextAnimatedObject> Create(CBasicShape* owner);
    explicit CTextAnimatedObject(CBasicShape* owner) : m_owner(owner) {}
    std::shared_ptr<CLayer> GetLayer() override;

protected:
    std::shared_ptr<CObjectsCollection> FetchObjects() override;

private:
    CBasicShape* m_owner;
    std::shared_ptr<CLayer> m_layer;
};

}  // namespace genswf
