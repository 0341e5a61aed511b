#pragma once
// The text-frame model of a basic shape: one paragraph per PowerPoint paragraph, each laid out
// as PowerPoint wrapped it, and the export that turns every paragraph into a sprite of text
// fields handed to the effect exporters as the paragraph's animation target.

#include "genswf/text/TextExportSupport.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace libpptparser {
class CTextFrame;
}

namespace genswf {

class CBasicShape;
class CMovie;
class CPptTextFrame;
class CPptTextRange;
class CTextExportRequest;
class CTextParagraph;

class CTextFrameContent {
public:
    // Reads the frame's paragraphs (and their lines, words and runs) at once.
    static std::shared_ptr<CTextFrameContent> Create(const std::shared_ptr<CPptTextFrame>& frame, CBasicShape* shape);
    CTextFrameContent(const std::shared_ptr<CPptTextFrame>& frame, CBasicShape* shape);
    virtual ~CTextFrameContent();
    CTextFrameContent(const CTextFrameContent&) = delete;
    CTextFrameContent& operator=(const CTextFrameContent&) = delete;

    // Exports every paragraph the request's effect (none: all) concerns.
    void ExportTextShape(const std::shared_ptr<CTextExportRequest>& request);

    // True when there is text to export.
    bool HasText() const { return !m_paragraphs.empty(); }
    std::size_t GetParagraphCount() const { return m_paragraphs.size(); }
    const std::shared_ptr<CTextParagraph>& GetParagraph(std::size_t i) const { return m_paragraphs[i]; }

    // --- Forwarders to the basic shape ---
    CMovie* GetMovie() const;
    COLORREF GetLightColor() const;
    COLORREF GetDarkColor() const;
    COLORREF GetBaseColor() const;
    COLORREF GetContrastColor(COLORREF color) const;
    std::shared_ptr<libpptparser::CTextFrame> GetParsedTextFrame();

    CBasicShape* GetBasicShape() const { return m_shape; }
    const std::shared_ptr<CPptTextFrame>& GetTextFrame() const { return m_frame; }
    // Null when the frame has no text.
    const std::shared_ptr<CPptTextRange>& GetTextRange() const { return m_range; }

private:
    CTextFrameSource m_source;
    CBasicShape* m_shape;
    CTextParagraphList m_paragraphList;
    std::shared_ptr<CPptTextFrame> m_frame;
    std::shared_ptr<CPptTextRange> m_range;
    std::vector<std::shared_ptr<CTextParagraph>> m_paragraphs;
};

}  // namespace genswf
