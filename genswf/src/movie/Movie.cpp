#include "genswf/movie/Movie.h"

#include "genswf/utils/Exceptions.h"

#include <charconv>
#include <climits>
#include <cwchar>

namespace genswf {

XmlNamedNodeMapPtr GetElementAttributes(const XmlElementPtr& element) {
    if (!element) throw CBaseException(3, LocatedMessage(L"No element to read attributes from", __FILE__, __LINE__));
    return element->attributes();
}

void CAttributeList::Write(CMovie* movie, const XmlElementPtr& element) const {
    for (const auto& item : m_items) movie->SetElementAttribute(element, item.first, item.second);
}

void CMovie::CreateDocument() {
    try {
        m_document = xmldom::XmlDocument::Create();
    } catch (const xmldom::XmlDomError& e) {
        throw CBaseException(
            3, LocatedMessage(L"Failed to create XML document: " + WideFromUtf8(e.what()), __FILE__, __LINE__));
    }
    m_root = CreateElement(m_document, L"movie");
    m_stylesElement = CreateElement(m_root, L"styles");
    m_objectsElement = CreateElement(m_root, L"objects");
    m_layersElement = CreateElement(m_root, L"layers");
}

void CMovie::CreateCollections() {
    m_objects = CreateObjectsCollection(this);
    m_layers = CreateLayersCollection(this);
    m_styles = CreateStylesCollection(this);
}

// --- Ids -------------------------------------------------------------------------------------

std::wstring CMovie::NextId(const wchar_t* prefix, std::int32_t& counter) {
    // Running past the counter's range would hand out ids twice.
    if (counter == INT32_MAX)
        throw CBaseException(3, LocatedMessage(std::wstring(L"Out of ids for ") + prefix, __FILE__, __LINE__));
    // Prefix and digits go into one string made at its final size: every object and every show
    // of the movie takes an id.
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, counter++).ptr;
    const std::size_t prefixLength = std::wcslen(prefix);
    std::wstring id;
    id.reserve(prefixLength + static_cast<std::size_t>(end - digits));
    id.append(prefix, prefixLength);
    id.append(static_cast<const char*>(digits), end);
    return id;
}

std::wstring CMovie::NewShowId() { return NextId(L"show", m_showCounter); }
std::wstring CMovie::NewSpriteId() { return NextId(L"spr", m_spriteCounter); }
std::wstring CMovie::NewFontId() { return NextId(L"fnt", m_fontCounter); }
std::wstring CMovie::NewTextId() { return NextId(L"txt", m_textCounter); }
std::wstring CMovie::NewImageId() { return NextId(L"img", m_shapeImageCounter); }
std::wstring CMovie::NewShapeId() { return NextId(L"shape", m_shapeImageCounter); }
std::wstring CMovie::NewRectId() { return NextId(L"rect", m_rectCounter); }
std::wstring CMovie::NewOvalId() { return NextId(L"oval", m_ovalCounter); }
std::wstring CMovie::MakeSoundId() { return NextId(L"snd", m_soundCounter); }
std::wstring CMovie::NewButtonId() { return NextId(L"button", m_buttonCounter); }
std::wstring CMovie::NewStyleId() { return NextId(L"style", m_styleCounter); }

// --- Shared fill styles ----------------------------------------------------------------------

std::wstring CMovie::GetBlackFillStyleId() {
    if (m_blackFillStyleId.empty()) {
        std::wstring id = NewStyleId();
        WriteSolidFillStyle(m_stylesElement, id, 0, 255);
        m_blackFillStyleId = id;
    }
    return m_blackFillStyleId;
}

std::wstring CMovie::GetTransparentFillStyleId() {
    if (!m_transparentFillStyle) {
        auto style = CreateSolidFillObject(this, 0xFF00FF, 0);
        style->Write(m_stylesElement);
        m_transparentFillStyle = style;
    }
    return m_transparentFillStyle->GetId();
}

}  // namespace genswf
