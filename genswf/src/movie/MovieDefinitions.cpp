// Definition objects and fill styles.

#include "genswf/movie/Movie.h"

#include "genswf/utils/Exceptions.h"

#include <algorithm>

namespace genswf {

CRectangleObject::CRectangleObject(CMovie* movie, float x_, float y_, float width_, float height_)
    : CDefinitionObject(movie, movie->NewRectId()), x(x_), y(y_), width(width_), height(height_) {}

void CRectangleObject::Write(const XmlElementPtr& parent) {
    WriteAttributes(m_movie->WriteRectangle(parent, m_id, x, y, width, height));
}

COvalObject::COvalObject(CMovie* movie, float x_, float y_, float width_, float height_)
    : CDefinitionObject(movie, movie->NewOvalId()), x(x_), y(y_), width(width_), height(height_) {}

void COvalObject::Write(const XmlElementPtr& parent) {
    WriteAttributes(m_movie->WriteOval(parent, m_id, x, y, width, height));
}

CImageObject::CImageObject(CMovie* movie, const std::wstring& src_, float x_, float y_, float width_, float height_)
    : CDefinitionObject(movie, movie->NewImageId()), x(x_), y(y_), width(width_), height(height_), src(src_) {}

void CImageObject::Write(const XmlElementPtr& parent) {
    if (smoothing) AddIntAttribute(L"smoothing", 1);
    WriteAttributes(m_movie->WriteImage(parent, m_id, src, x, y, width, height, jpegQuality));
}

CSpriteObject::CSpriteObject(CMovie* movie)
    : CMovieObject(movie, movie->NewSpriteId()),
      objects(CreateObjectsCollection(movie)),
      layers(CreateLayersCollection(movie)),
      styles(CreateStylesCollection(movie)) {}

void CSpriteObject::Write(const XmlElementPtr& parent) {
    // A sprite put into its own content would otherwise recurse without end.
    if (m_writing) throw CBaseException(3, LocatedMessage(L"Sprite " + m_id + L" contains itself", __FILE__, __LINE__));
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(m_writing);

    XmlElementPtr element = m_movie->WriteSprite(parent, m_id);
    if (!name.empty()) AddAttribute(L"name", name);
    if (src.empty()) {
        styles->Write(element);
        objects->Write(element);
        layers->Write(element);
    } else {
        AddIntAttribute(L"lockroot", lockroot ? 1 : 0);
        AddAttribute(L"src", src);
    }
    if (hasWidth) AddTwipsAttribute(L"width", width);
    if (hasHeight) AddTwipsAttribute(L"height", height);
    WriteAttributes(element);
}

CTextFieldObject::CTextFieldObject(CMovie* movie, float x_, float y_, float width_, float height_)
    : CMovieObject(movie, movie->NewTextId()), x(x_), y(y_), width(width_), height(height_) {}

void CTextFieldObject::Write(const XmlElementPtr& parent) {
    XmlElementPtr element = m_movie->WriteHtmlText(parent, m_id, x, y, width, height);
    if (!fontId.empty()) AddAttribute(L"fontId", fontId);
    if (fontSize != 0.0f) AddTwipsAttribute(L"fontSize", fontSize);
    AddIntAttribute(L"multiline", multiline ? 1 : 0);
    AddIntAttribute(L"wordWrap", wordWrap ? 1 : 0);
    AddIntAttribute(L"selectable", selectable ? 1 : 0);
    AddColorAttribute(L"color", color);
    WriteAttributes(element);
    m_movie->AppendCDataSection(element, html);
}

CShapeObject::CShapeObject(CMovie* movie) : CMovieObject(movie, movie->NewShapeId()) {}

void CShapeObject::Write(const XmlElementPtr& parent) {
    XmlElementPtr element = m_movie->WriteShape(parent, m_id);
    for (const auto& part : parts) part->Write(element);
}

std::shared_ptr<CRectangleObject> CShapeObject::AddRectangle(float x, float y, float width, float height) {
    auto rectangle = CreateRectangleObject(m_movie, x, y, width, height);
    parts.push_back(rectangle);
    return rectangle;
}

std::shared_ptr<COvalObject> CShapeObject::AddOval(float x, float y, float width, float height) {
    auto oval = CreateOvalObject(m_movie, x, y, width, height);
    parts.push_back(oval);
    return oval;
}

CFontObject::CFontObject(CMovie* movie) : CMovieObject(movie, movie->NewFontId()) {}

void CFontObject::Write(const XmlElementPtr& parent) {
    XmlElementPtr element = m_movie->WriteFont(parent, m_id, src);
    if (!name.empty()) AddAttribute(L"name", name);
    if (!chars.empty()) AddAttribute(L"chars", chars);
    WriteAttributes(element);
}

CSoundObject::CSoundObject(CMovie* movie, const std::wstring& src_)
    : CMovieObject(movie, movie->MakeSoundId()), src(src_) {}

void CSoundObject::Write(const XmlElementPtr& parent) {
    XmlElementPtr element = m_movie->WriteSound(parent, m_id, src);
    if (mp3Quality != 0) AddAttribute(L"mp3Quality", IntToWString(mp3Quality));
    WriteAttributes(element);
}

CButtonObject::CButtonObject(CMovie* movie, CMovieObject* owner_, const std::wstring& up_, const std::wstring& over_,
                             const std::wstring& down_, const std::wstring& hit_)
    : CMovieObject(movie, movie->NewButtonId()),
      actions(movie),
      owner(owner_),
      up(up_),
      down(down_),
      over(over_),
      hit(hit_) {}

void CButtonObject::Write(const XmlElementPtr& parent) {
    if (!element) element = m_movie->WriteButton(parent, m_id, owner ? L"menu" : L"push", up, over, down, hit);
    // A button is written by its slide and again by the hyperlink pass once it has its
    // actions; each action goes into the element once.
    actions.Write(element, m_writtenActions);
    m_writtenActions = actions.GetCount();
}

CStyleObject::CStyleObject(CMovie* movie) : m_id(movie->NewStyleId()), m_movie(movie) {}

CSolidFillObject::CSolidFillObject(CMovie* movie, COLORREF color_, int alpha_)
    : CStyleObject(movie), color(color_), alpha(static_cast<std::uint8_t>(std::clamp(alpha_, 0, 255))) {}

void CSolidFillObject::Write(const XmlElementPtr& parent) { m_movie->WriteSolidFillStyle(parent, m_id, color, alpha); }

std::shared_ptr<CRectangleObject> CreateRectangleObject(CMovie* movie, float x, float y, float width, float height) {
    return std::make_shared<CRectangleObject>(movie, x, y, width, height);
}
std::shared_ptr<COvalObject> CreateOvalObject(CMovie* movie, float x, float y, float width, float height) {
    return std::make_shared<COvalObject>(movie, x, y, width, height);
}
std::shared_ptr<CImageObject> CreateImageObject(CMovie* movie, const std::wstring& src, float x, float y, float width,
                                                float height) {
    return std::make_shared<CImageObject>(movie, src, x, y, width, height);
}
std::shared_ptr<CSpriteObject> CreateSpriteObject(CMovie* movie) { return std::make_shared<CSpriteObject>(movie); }
std::shared_ptr<CTextFieldObject> CreateTextFieldObject(CMovie* movie, float x, float y, float width, float height) {
    return std::make_shared<CTextFieldObject>(movie, x, y, width, height);
}
std::shared_ptr<CShapeObject> CreateShapeObject(CMovie* movie) { return std::make_shared<CShapeObject>(movie); }
std::shared_ptr<CFontObject> CreateFontObject(CMovie* movie) { return std::make_shared<CFontObject>(movie); }
std::shared_ptr<CSoundObject> CreateSoundObject(CMovie* movie, const std::wstring& src) {
    return std::make_shared<CSoundObject>(movie, src);
}
std::shared_ptr<CButtonObject> CreateButtonObject(CMovie* movie, CMovieObject* owner, const std::wstring& up,
                                                  const std::wstring& over, const std::wstring& down,
                                                  const std::wstring& hit) {
    return std::make_shared<CButtonObject>(movie, owner, up, over, down, hit);
}
std::shared_ptr<CSolidFillObject> CreateSolidFillObject(CMovie* movie, COLORREF color, int alpha) {
    return std::make_shared<CSolidFillObject>(movie, color, alpha);
}

}  // namespace genswf
