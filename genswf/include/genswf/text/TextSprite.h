#pragma once
// One build group of a shape's text as a movie sprite, and the layout model under it:
// paragraphs with their bullet, lines with common metrics, words with the text fields the
// font manager made for their characters.

#include "genswf/animation/EntryEffect.h"
#include "genswf/geometry/Geometry.h"
#include "genswf/movie/MovieTypes.h"
#include "genswf/utils/Utils.h"

#include <cstddef>
#include <string>
#include <vector>

namespace genswf {

class CFrameList;
class CMovie;
class CShapeTextIndex;
class CTextLayoutLine;
class CTextLayoutParagraph;
class CTextLineItem;
class CTextParagraphItem;
class CTextSprite;
class CTextWordItem;
class SwfTextField;

class CTextLayoutWord : public CRefCounted {
public:
    // Asks the font manager for the word's fields.
    CTextLayoutWord(CTextLayoutLine* line, int wordNumber);
    ~CTextLayoutWord() override;

    Rect GetBounds() const;
    void WriteObjects(const XmlElementPtr& objects);
    void AddFrames(CFrameList& frameList, int pass);

    std::vector<CRefPtr<SwfTextField>> fields;
    CTextLayoutLine* line;
    CMovie* movie;
    int wordNumber;
    CShapeTextIndex* index;
    float size = 0.0f, descent = 0.0f, ascent = 0.0f;
    float lineAscent = 0.0f, lineDescent = 0.0f, baseline = 0.0f;
};

class CTextLayoutLine : public CRefCounted {
public:
    CTextLayoutLine(CTextLayoutParagraph* paragraph, int lineNumber);
    ~CTextLayoutLine() override;

    Rect GetBounds() const;
    void WriteObjects(const XmlElementPtr& objects);
    void AddFrames(CFrameList& frameList, int pass);

    CRefPtr<CTextLineItem> lineItem;
    std::vector<CRefPtr<CTextWordItem>> wordItems;
    std::vector<CRefPtr<CTextLayoutWord>> words;
    CTextLayoutParagraph* paragraph;
    CMovie* movie;
    int lineNumber;
    CShapeTextIndex* index;
    int firstWord = 0;
    float ascent = 0.0f, descent = 0.0f, size = 0.0f;
    float baseline = 0.0f;
};

class CTextBullet : public CRefCounted {
public:
    CTextBullet(CTextLayoutParagraph* paragraph_, CMovie* movie_, CRefPtr<SwfTextField> field_);
    ~CTextBullet() override;

    CTextLayoutParagraph* paragraph;
    CMovie* movie;
    CRefPtr<SwfTextField> field;
};

class CTextLayoutParagraph : public CRefCounted {
public:
    // Paragraph firstParagraph + k of the sprite's index.
    CTextLayoutParagraph(CTextSprite* sprite, int k);
    ~CTextLayoutParagraph() override;

    Rect GetBounds() const;
    // Lines, then the bullet.
    void WriteObjects(const XmlElementPtr& objects);
    void AddFrames(CFrameList& frameList, int pass);

    CRefPtr<CTextBullet> bullet;
    CTextSprite* sprite;
    CMovie* movie;
    std::vector<CRefPtr<CTextLayoutLine>> lines;
    CShapeTextIndex* index;
    std::vector<CRefPtr<CTextLineItem>> lineItems;
    int firstLine = 0;
    CRefPtr<CTextParagraphItem> paragraphItem;
};

class CTextSprite : public CRefCounted {
public:
    // Builds the layout model of paragraphs [firstParagraph, firstParagraph + count); the id is
    // taken now.
    CTextSprite(CShapeTextIndex* index, int firstParagraph, int paragraphCount, bool dimmed, COLORREF dimColor);
    ~CTextSprite() override;
    CTextSprite(const CTextSprite&) = delete;
    CTextSprite& operator=(const CTextSprite&) = delete;

    // The sprite definition under parent, then the placement record.
    void Write(const XmlElementPtr& parent);
    // Movie units; invalid when empty.
    Rect GetBounds() const;
    // The matrix that turns the sprite about the shape's centre.
    CMatrix GetPlacementMatrix() const;
    // Null before Write.
    const CRefPtr<CShapeObjectRecord>& GetPlacementRecord() const { return m_placementRecord; }

    std::size_t GetParagraphCount() const { return m_paragraphs.size(); }
    const std::vector<CRefPtr<CTextLayoutParagraph>>& GetParagraphs() const { return m_paragraphs; }
    CShapeTextIndex* GetIndex() const { return m_owner; }
    CMovie* GetMovie() const { return m_movie; }
    int GetFirstParagraph() const { return m_firstParagraph; }
    bool IsDimmed() const { return m_dimmed; }
    COLORREF GetDimColor() const { return m_dimColor; }
    const std::wstring& GetId() const { return m_id; }

private:
    CShapeTextIndex* m_owner;
    CMovie* m_movie;
    std::vector<CRefPtr<CTextLayoutParagraph>> m_paragraphs;
    int m_firstParagraph;
    int m_paragraphCount;
    bool m_dimmed;
    COLORREF m_dimColor;
    std::wstring m_id;
    CRefPtr<CShapeObjectRecord> m_placementRecord;
};

}  // namespace genswf
