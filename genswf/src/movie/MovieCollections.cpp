// Collections of objects, layers and styles, and the layer.

#include "genswf/movie/Movie.h"

#include <algorithm>

namespace genswf {

std::shared_ptr<CObjectsCollection> CreateObjectsCollection(CMovie* movie) {
    return std::make_shared<CObjectsCollection>(movie);
}
std::shared_ptr<CLayersCollection> CreateLayersCollection(CMovie* movie) {
    return std::make_shared<CLayersCollection>(movie);
}
std::shared_ptr<CStylesCollection> CreateStylesCollection(CMovie* movie) {
    return std::make_shared<CStylesCollection>(movie);
}
std::shared_ptr<CLayer> CreateLayer(CMovie* movie) { return std::make_shared<CLayer>(movie); }

// --- Objects ---------------------------------------------------------------------------------

void CObjectsCollection::Add(const std::shared_ptr<CMovieObject>& object) { m_objects.push_back(object); }

void CObjectsCollection::AddAll(const std::shared_ptr<CObjectsCollection>& other) {
    if (!other) return;
    // A copy first: the other collection may be this one.
    const auto members = other->m_objects;
    m_objects.insert(m_objects.end(), members.begin(), members.end());
}

bool CObjectsCollection::Contains(const std::shared_ptr<CMovieObject>& object) const {
    return std::find(m_objects.begin(), m_objects.end(), object) != m_objects.end();
}

std::shared_ptr<CButtonObject> CObjectsCollection::AddButton(CMovieObject* owner, const std::wstring& up,
                                                             const std::wstring& over, const std::wstring& down,
                                                             const std::wstring& hit) {
    auto button = CreateButtonObject(m_movie, owner, up, over, down, hit);
    Add(button);
    return button;
}

std::shared_ptr<CRectangleObject> CObjectsCollection::AddRectangle(float x, float y, float width, float height) {
    auto rectangle = CreateRectangleObject(m_movie, x, y, width, height);
    Add(rectangle);
    return rectangle;
}

std::shared_ptr<COvalObject> CObjectsCollection::AddOval(float x, float y, float width, float height) {
    auto oval = CreateOvalObject(m_movie, x, y, width, height);
    Add(oval);
    return oval;
}

std::shared_ptr<CShapeObject> CObjectsCollection::AddShape() {
    auto shape = CreateShapeObject(m_movie);
    Add(shape);
    return shape;
}

std::shared_ptr<CFontObject> CObjectsCollection::AddFont() {
    auto font = CreateFontObject(m_movie);
    Add(font);
    return font;
}

std::shared_ptr<CSoundObject> CObjectsCollection::AddSound(const std::wstring& src) {
    auto sound = CreateSoundObject(m_movie, src);
    Add(sound);
    return sound;
}

std::wstring CObjectsCollection::GetBlackFillStyleId() { return m_movie->GetBlackFillStyleId(); }
std::wstring CObjectsCollection::GetTransparentFillStyleId() { return m_movie->GetTransparentFillStyleId(); }

void CObjectsCollection::Write(const XmlElementPtr& parent) {
    if (m_objects.empty()) return;
    WriteMembers(m_movie->WriteObjects(parent));
}

void CObjectsCollection::WriteMembers(const XmlElementPtr& container) {
    for (const auto& object : m_objects) object->Write(container);
}

// --- Layers ----------------------------------------------------------------------------------

CLayer::CLayer(CMovie* movie) : m_movie(movie), m_frames(CreateFrameList(movie)) {}

std::shared_ptr<CFrameTrack> CLayer::AddTrack() { return m_frames->AddTrack(); }

void CLayer::Write(const XmlElementPtr& parent) {
    if (!m_frames->HasCommands()) return;
    m_frames->Write(m_movie->WriteLayer(parent), 0);
}

std::shared_ptr<CLayer> CLayersCollection::AddLayer() {
    auto layer = CreateLayer(m_movie);
    m_layers.push_back(layer);
    return layer;
}

void CLayersCollection::AddAll(const std::shared_ptr<CLayersCollection>& other) {
    if (!other) return;
    const auto members = other->m_layers;
    m_layers.insert(m_layers.end(), members.begin(), members.end());
}

void CLayersCollection::Write(const XmlElementPtr& parent) {
    if (m_layers.empty()) return;
    WriteMembers(m_movie->WriteLayers(parent));
}

void CLayersCollection::WriteMembers(const XmlElementPtr& container) {
    for (const auto& layer : m_layers) layer->Write(container);
}

// --- Styles ----------------------------------------------------------------------------------

void CStylesCollection::Add(const std::shared_ptr<CStyleObject>& style) { m_styles.push_back(style); }

void CStylesCollection::Write(const XmlElementPtr& parent) {
    if (m_styles.empty()) return;
    XmlElementPtr container = m_movie->WriteStyles(parent);
    for (const auto& style : m_styles) style->Write(container);
}

}  // namespace genswf
