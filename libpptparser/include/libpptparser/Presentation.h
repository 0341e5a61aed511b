#pragma once
// The read-only presentation model built from the record tree: slides, shapes, text frames,
// sounds and animations. Everything is built eagerly in the constructors; children keep plain
// back pointers to their owners.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "libpptparser/PersistDirectory.h"
#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptContainers.h"
#include "libpptparser/PptRecord.h"
#include "libpptparser/PptStyleTextPropAtom.h"

namespace libpptparser {

class CPresentation;
class CSlidesCollection;
class CSlide;
class CShapesCollection;
class CShape;
class CTextFrame;
class CCharacterStyle;
class CSoundCollection;
class CSound;
class CAnimationsCollection;
class CAnimation;

// Visits the model for the debug dump.
class IPresentationVisitor {
public:
    virtual ~IPresentationVisitor() = default;
    virtual void VisitPresentation(CPresentation& presentation) = 0;
    virtual void VisitSlides(CSlidesCollection& slides) = 0;
    virtual void VisitSlide(CSlide& slide) = 0;
    virtual void VisitShapes(CShapesCollection& shapes) = 0;
    virtual void VisitShape(CShape& shape) = 0;
    virtual void VisitTextFrame(CTextFrame& textFrame) = 0;
    virtual void VisitAnimations(CAnimationsCollection& animations) = 0;
    virtual void VisitAnimation(CAnimation& animation) = 0;
};

// ---------------------------------------------------------------------------------------------
// Sounds

class CSound {
public:
    // Throws CPptParserException when the container lacks its identifier, name or data.
    explicit CSound(const CPptSoundContainer& container);
    virtual ~CSound();
    int32_t GetId() const { return m_id; }
    const std::wstring& GetName() const { return m_name; }
    const std::vector<uint8_t>& GetData() const { return m_data; }

private:
    int32_t m_id;
    std::wstring m_name;
    std::vector<uint8_t> m_data;
};

class CSoundCollection {
public:
    // The sounds of the document's sound collection. A sound whose records are incomplete is left
    // out, with a warning on the presentation.
    CSoundCollection(const CPptContainer& document, CPresentation* presentation);
    virtual ~CSoundCollection();
    size_t GetCount() const { return m_sounds.size(); }
    // Sound i; empty past the end.
    std::shared_ptr<CSound> GetItem(size_t i) const { return i < m_sounds.size() ? m_sounds[i] : nullptr; }
    // The first sound with this identifier; empty when none has it.
    std::shared_ptr<CSound> FindSound(int32_t id) const;

private:
    std::vector<std::shared_ptr<CSound>> m_sounds;
};

// ---------------------------------------------------------------------------------------------
// Text

class CCharacterStyle {
public:
    CCharacterStyle(const CPptCharacterStyle& run, uint32_t start, const CPresentation& presentation);
    virtual ~CCharacterStyle();
    uint32_t GetStart() const { return m_start; }
    uint32_t GetLength() const { return m_length; }
    uint32_t GetMask() const { return m_mask; }
    uint16_t GetFontStyle() const { return m_fontStyle; }
    uint16_t GetSize() const { return m_size; }
    uint32_t GetColor() const { return m_color; }
    uint16_t GetPosition() const { return m_position; }
    std::shared_ptr<CPptFontEntityAtom> GetFont() const { return m_font; }
    std::shared_ptr<CPptFontEntityAtom> GetSymbolFont() const { return m_symbolFont; }

private:
    uint32_t m_start;
    uint32_t m_length;
    uint32_t m_mask;
    uint16_t m_fontStyle;
    uint16_t m_size;
    uint32_t m_color;
    uint16_t m_position;
    std::shared_ptr<CPptFontEntityAtom> m_font;
    std::shared_ptr<CPptFontEntityAtom> m_symbolFont;
};

class CTextFrame {
public:
    CTextFrame(const std::shared_ptr<CPptContainer>& textBox, CShape* shape);
    virtual ~CTextFrame();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitTextFrame(*this); }

    // UTF-16 units, one character each (positions are the ones the runs count).
    const std::wstring& GetText() const { return m_text; }
    bool HasCharacterStyles() const { return m_hasCharacterStyles; }
    size_t GetCharacterStyleCount() const { return m_characterStyles.size(); }
    // Run i; empty past the end.
    std::shared_ptr<CCharacterStyle> GetCharacterStyle(size_t i) const {
        return i < m_characterStyles.size() ? m_characterStyles[i] : nullptr;
    }
    // The run covering the position; false (and `style` untouched) when none does.
    bool FindCharacterStyle(uint32_t position, std::shared_ptr<CCharacterStyle>& style) const;
    CShape* GetShape() const { return m_shape; }

private:
    // From child `i` of the container: an optional text atom, then an optional style atom.
    void ReadText(const CPptContainer& container, size_t i);
    void ReadOutlineText(uint32_t reference);

    std::wstring m_text;
    std::vector<std::shared_ptr<CCharacterStyle>> m_characterStyles;
    bool m_hasCharacterStyles = false;
    CShape* m_shape;
};

// ---------------------------------------------------------------------------------------------
// Shapes

class CShape {
public:
    // From a shape container (0xF004) or a nested group container (0xF003).
    CShape(const std::shared_ptr<CPptRecord>& record, CShapesCollection* collection, CPresentation* presentation,
           uint32_t index);
    virtual ~CShape();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitShape(*this); }

    CShapesCollection* GetCollection() const { return m_collection; }
    CPresentation* GetPresentation() const { return m_presentation; }
    std::shared_ptr<CSound> GetSound() const { return m_sound; }
    std::shared_ptr<CTextFrame> GetTextFrame() const { return m_textFrame; }
    uint16_t GetShapeType() const { return m_shapeType; }
    bool IsGroupHeader() const { return m_isGroupHeader; }
    int32_t GetFontRotation() const { return m_fontRotation; }
    size_t GetAdjustmentCount() const { return m_adjustments.size(); }
    // Adjustment i as a fraction of 21600; 0 past the end.
    float GetAdjustment(size_t i) const { return i < m_adjustments.size() ? m_adjustments[i] : 0.0f; }
    float GetLeft() const { return m_left; }
    float GetTop() const { return m_top; }
    float GetRight() const { return m_right; }
    float GetBottom() const { return m_bottom; }
    float GetRotation() const { return m_rotation; }
    uint32_t GetIndex() const { return m_index; }

private:
    void ReadShape(const CPptContainer& container);
    void ReadGroup(const CPptContainer& container);
    void ReadClientData(const std::shared_ptr<CPptContainer>& clientData);

    CShapesCollection* m_collection;
    CPresentation* m_presentation;
    std::shared_ptr<CSound> m_sound;
    std::shared_ptr<CTextFrame> m_textFrame;
    uint16_t m_shapeType = 0;
    bool m_isGroupHeader = false;
    int32_t m_fontRotation = 0;
    std::vector<float> m_adjustments;
    float m_left = 0, m_top = 0, m_bottom = 0, m_right = 0;
    float m_rotation = 0;
    uint32_t m_index;
};

class CShapesCollection {
public:
    CShapesCollection(const std::shared_ptr<CPptContainer>& group, CSlide* slide, CPresentation* presentation);
    virtual ~CShapesCollection();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitShapes(*this); }
    size_t GetCount() const { return m_shapes.size(); }
    // Shape i; empty past the end.
    std::shared_ptr<CShape> GetItem(size_t i) const { return i < m_shapes.size() ? m_shapes[i] : nullptr; }
    CSlide* GetSlide() const { return m_slide; }
    CPresentation* GetPresentation() const { return m_presentation; }

private:
    CSlide* m_slide;
    CPresentation* m_presentation;
    std::vector<std::shared_ptr<CShape>> m_shapes;
};

// ---------------------------------------------------------------------------------------------
// Animations

class CAnimation {
public:
    // Throws CPptParserException when a record the animation needs is missing.
    CAnimation(const std::shared_ptr<CPptContainer>& node, CAnimationsCollection* collection,
               CPresentation* presentation);
    virtual ~CAnimation();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitAnimation(*this); }
    std::shared_ptr<CSound> GetSound() const { return m_sound; }
    std::shared_ptr<CPptAnimIterationAtom> GetIteration() const { return m_iteration; }
    uint32_t GetRefMode() const { return m_refMode; }
    CAnimationsCollection* GetCollection() const { return m_collection; }
    CPresentation* GetPresentation() const { return m_presentation; }

private:
    CAnimationsCollection* m_collection;
    CPresentation* m_presentation;
    std::shared_ptr<CSound> m_sound;
    std::shared_ptr<CPptAnimIterationAtom> m_iteration;
    uint32_t m_refMode = 0;
};

class CAnimationsCollection {
public:
    // The time nodes three levels below `node` (which may be empty). A malformed one is left
    // out, with a warning on the presentation.
    CAnimationsCollection(const std::shared_ptr<CPptContainer>& node, CSlide* slide, CPresentation* presentation);
    virtual ~CAnimationsCollection();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitAnimations(*this); }
    size_t GetCount() const { return m_animations.size(); }
    std::shared_ptr<CAnimation> GetItem(size_t i) const { return i < m_animations.size() ? m_animations[i] : nullptr; }
    CSlide* GetSlide() const { return m_slide; }
    CPresentation* GetPresentation() const { return m_presentation; }

private:
    CSlide* m_slide;
    CPresentation* m_presentation;
    std::vector<std::shared_ptr<CAnimation>> m_animations;
};

// ---------------------------------------------------------------------------------------------
// Slides and presentation

class CSlide {
public:
    // `persistAtom` is the slide's entry in the slide list when the order came from it.
    CSlide(const std::shared_ptr<CPptContainer>& container, uint32_t index, CSlidesCollection* collection,
           CPresentation* presentation, std::shared_ptr<CPptSlidePersistAtom> persistAtom = nullptr);
    virtual ~CSlide();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitSlide(*this); }

    uint32_t GetIndex() const { return m_index; }
    uint32_t GetLayout() const { return m_layout; }
    uint16_t GetFlags() const { return m_flags; }
    std::shared_ptr<CShapesCollection> GetShapes() const { return m_shapes; }
    // Empty when the slide carries no animation data.
    std::shared_ptr<CAnimationsCollection> GetAnimations() const { return m_animations; }
    CSlidesCollection* GetCollection() const { return m_collection; }
    CPresentation* GetPresentation() const { return m_presentation; }
    std::shared_ptr<CPptSlidePersistAtom> GetPersistAtom() const { return m_persistAtom; }
    // The slide's identity in the file (from its slide-list entry); 0 without one.
    uint32_t GetSlideId() const { return m_persistAtom ? m_persistAtom->GetSlideId() : 0; }
    uint32_t GetPersistReference() const { return m_persistAtom ? m_persistAtom->GetPersistReference() : 0; }

private:
    void ReadAnimations(const CPptContainer& container);

    CSlidesCollection* m_collection;
    CPresentation* m_presentation;
    uint32_t m_index;
    uint32_t m_layout = 0;
    uint16_t m_flags = 0;
    std::shared_ptr<CShapesCollection> m_shapes;
    std::shared_ptr<CAnimationsCollection> m_animations;
    std::shared_ptr<CPptSlidePersistAtom> m_persistAtom;
};

class CSlidesCollection {
public:
    // Slides in the presentation's order: the entries of the latest document's slide list,
    // resolved through the persist directory. An entry whose sheet the file lacks is left out
    // with a warning on the presentation.
    CSlidesCollection(const CPersistDirectory& directory, CPresentation* presentation);
    virtual ~CSlidesCollection();
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitSlides(*this); }
    size_t GetCount() const { return m_slides.size(); }
    // Slide i; empty past the end.
    std::shared_ptr<CSlide> GetItem(size_t i) const { return i < m_slides.size() ? m_slides[i] : nullptr; }
    // The slide with this identity (the object model's SlideID); empty when none has it.
    std::shared_ptr<CSlide> FindSlide(uint32_t slideId) const;
    CPresentation* GetPresentation() const { return m_presentation; }

private:
    std::vector<std::shared_ptr<CSlide>> m_slides;
    CPresentation* m_presentation;
};

class CPresentation {
public:
    // Throws CPptParserException when a record the model needs is missing. Without a directory
    // (a record tree alone) the stream's persist directories are walked in stream order.
    explicit CPresentation(const std::shared_ptr<CPptRecord>& root,
                           std::shared_ptr<const CPersistDirectory> directory = nullptr);
    virtual ~CPresentation();
    CPresentation(const CPresentation&) = delete;
    CPresentation& operator=(const CPresentation&) = delete;
    virtual void Accept(IPresentationVisitor& visitor) { visitor.VisitPresentation(*this); }

    std::shared_ptr<CSlidesCollection> GetSlides() const { return m_slides; }
    std::shared_ptr<CSoundCollection> GetSounds() const { return m_sounds; }
    std::shared_ptr<CPptContainer> GetFontCollection() const { return m_fontCollection; }
    // Empty when the Document has no slide list of instance 0.
    std::shared_ptr<CPptContainer> GetSlideList() const { return m_slideList; }
    // The document of the latest save, which the model was built from.
    std::shared_ptr<CPptContainer> GetDocument() const { return m_document; }
    const CPersistDirectory& GetPersistDirectory() const { return *m_directory; }
    // True when the file's edit chain was damaged and its slides were recovered from every
    // persist directory in stream order.
    bool IsRecovered() const { return m_directory->IsRecovered(); }
    // Font i of the font collection, counting font entity atoms only; empty past the end.
    std::shared_ptr<CPptFontEntityAtom> GetFontEntity(size_t i) const {
        return i < m_fonts.size() ? m_fonts[i] : nullptr;
    }
    size_t GetFontEntityCount() const { return m_fonts.size(); }

    // What was left out of the model (a malformed sound or animation), one line each, for the
    // export log.
    const std::vector<std::wstring>& GetWarnings() const { return m_warnings; }
    void AddWarning(std::wstring warning) { m_warnings.push_back(std::move(warning)); }

private:
    std::shared_ptr<CSlidesCollection> m_slides;
    std::shared_ptr<CSoundCollection> m_sounds;
    std::shared_ptr<CPptContainer> m_fontCollection;
    std::shared_ptr<CPptContainer> m_slideList;
    std::shared_ptr<const CPersistDirectory> m_directory;
    std::shared_ptr<CPptContainer> m_document;
    std::vector<std::shared_ptr<CPptFontEntityAtom>> m_fonts;
    std::vector<std::wstring> m_warnings;
};

// Writes the model as indented XML-like text, for inspecting what the parser found.
class CPresentationXmlVisitor : public IPresentationVisitor {
public:
    CPresentationXmlVisitor(std::ostream& file, uint8_t depth = 0);
    virtual ~CPresentationXmlVisitor();
    void VisitPresentation(CPresentation& presentation) override;
    void VisitSlides(CSlidesCollection& slides) override;
    void VisitSlide(CSlide& slide) override;
    void VisitShapes(CShapesCollection& shapes) override;
    void VisitShape(CShape& shape) override;
    void VisitTextFrame(CTextFrame& textFrame) override;
    void VisitAnimations(CAnimationsCollection& animations) override;
    void VisitAnimation(CAnimation& animation) override;

private:
    void Line(uint8_t depth, const std::string& text);

    std::ostream& m_file;
    uint8_t m_depth;
};

}  // namespace libpptparser
