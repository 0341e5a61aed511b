#pragma once
// Paragraphs and lines of the text-frame path, as PowerPoint wrapped them: each line keeps the
// pieces of its words' runs and the metrics of its tallest piece; the first line also carries
// the paragraph's bullet.

#include "genswf/geometry/Geometry.h"
#include "genswf/ppt/Ppt.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace genswf {

class CActionSettingList;
class CPlacedTextFieldGroups;
class CPptTextFrame;
class CPptTextRange;
class CShapeContext;
class CSpriteObject;
class CTextAnimatedObject;
class CTextExportContext;
class CTextFrameContent;
class CTextPiece;

class CTextLine {
public:
    // Takes the metrics of the tallest piece; the baseline from the line's extent.
    CTextLine(const std::shared_ptr<CPptTextFrame>& textFrame, const std::shared_ptr<CPptTextRange>& lineRange,
              std::vector<std::shared_ptr<CTextPiece>> pieces);
    virtual ~CTextLine();

    // One group of placed fields per piece, in piece order.
    std::shared_ptr<CPlacedTextFieldGroups> Layout(CTextExportContext& context);

    const std::vector<std::shared_ptr<CTextPiece>>& GetPieces() const { return m_pieces; }
    // Points.
    float GetAscent() const { return m_ascent; }
    float GetDescent() const { return m_descent; }
    float GetBaseline() const { return m_baseline; }
    float GetHeight() const { return m_height; }

private:
    std::vector<std::shared_ptr<CTextPiece>> m_pieces;
    float m_ascent = 0.0f;
    float m_descent = 0.0f;
    float m_baseline = 0.0f;
    float m_height = 0.0f;
};

class CTextParagraph {
public:
    static std::shared_ptr<CTextParagraph> Create(CTextFrameContent* owner, const std::shared_ptr<CPptTextRange>& range,
                                                  const std::shared_ptr<CShapeContext>& shapeContext);
    // Collects the lines at once.
    CTextParagraph(CTextFrameContent* owner, const std::shared_ptr<CPptTextRange>& range,
                   const std::shared_ptr<CShapeContext>& shapeContext);
    virtual ~CTextParagraph();
    CTextParagraph(const CTextParagraph&) = delete;
    CTextParagraph& operator=(const CTextParagraph&) = delete;

    // A sprite of the paragraph's text fields, drawing pass by drawing pass.
    std::shared_ptr<CSpriteObject> ExportSprite(CTextExportContext& context);

    // Points.
    float GetBoundLeft();
    float GetBoundTop();
    float GetBoundWidth();
    float GetBoundHeight();
    Rect GetBoundsInPoints();
    // Movie units.
    Rect GetBounds();
    // 1-based.
    LONG GetIndentLevel();
    // Click actions of this shape's text overlapping [start, start + length), start 0-based.
    std::shared_ptr<CActionSettingList> FindActionSettings(LONG start, LONG length);

    const std::shared_ptr<CTextPiece>& GetBulletPiece() const { return m_bullet; }
    // Null when the paragraph has no line.
    const std::shared_ptr<CTextAnimatedObject>& GetAnimationTarget() const { return m_animationTarget; }
    std::size_t GetLineCount() const { return m_lines.size(); }
    const std::shared_ptr<CTextLine>& GetLine(std::size_t i) const { return m_lines[i]; }
    CTextFrameContent* GetOwner() const { return m_owner; }
    const std::shared_ptr<CPptTextRange>& GetRange() const { return m_range; }
    const std::shared_ptr<CShapeContext>& GetShapeContext() const { return m_shapeContext; }

protected:
    void CollectLines();
    std::vector<std::shared_ptr<CTextPiece>> CollectWordPieces(const std::shared_ptr<CPptTextRange>& word,
                                                               LONG lineStart, LONG lineEnd);
    std::vector<std::shared_ptr<CTextPiece>> CollectRunPieces(const std::shared_ptr<CPptTextRange>& word,
                                                              const std::shared_ptr<CPptTextRange>& run, LONG from,
                                                              LONG to);
    void MakeBullet();

private:
    CTextFrameContent* m_owner;
    std::shared_ptr<CPptTextRange> m_range;
    std::shared_ptr<CShapeContext> m_shapeContext;
    std::vector<std::shared_ptr<CTextLine>> m_lines;
    std::shared_ptr<CTextPiece> m_bullet;
    std::shared_ptr<CTextAnimatedObject> m_animationTarget;
};

}  // namespace genswf
