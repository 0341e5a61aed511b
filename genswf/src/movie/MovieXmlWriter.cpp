// The element and attribute writers of the movie document, and its saving.

#include "Movie.h"

#include "Exceptions.h"

#include <algorithm>

namespace genswf {

// --- Nodes -----------------------------------------------------------------------------------

XmlElementPtr CMovie::CreateElement(const XmlNodePtr& parent, const std::wstring& name) {
    if (!parent) throw CBaseException(3, LocatedMessage(L"No parent for XML element " + name, __FILE__, __LINE__));
    XmlElementPtr element = m_document->createElement(name);
    parent->appendChild(element);
    return element;
}

XmlElementPtr CMovie::InsertElementFirst(const XmlNodePtr& parent, const std::wstring& name) {
    if (!parent) throw CBaseException(3, L"Cannot insert XML node first");
    XmlElementPtr element = m_document->createElement(name);
    // firstChild rather than the child list's length: inserting stays constant-time however
    // many children the parent already has.
    if (XmlNodePtr first = parent->firstChild())
        parent->insertBefore(element, first);
    else
        parent->appendChild(element);
    return element;
}

void CMovie::AppendCDataSection(const XmlElementPtr& element, const std::wstring& text) {
    if (!element) throw CBaseException(3, LocatedMessage(L"No element for CDATA section", __FILE__, __LINE__));
    element->appendChild(m_document->createCDATASection(text));
}

// --- Attributes ------------------------------------------------------------------------------

XmlAttributePtr CMovie::CreateStringAttribute(const std::wstring& name, const std::wstring& value) {
    try {
        XmlAttributePtr attribute = m_document->createAttribute(name);
        attribute->setValue(value);
        return attribute;
    } catch (const xmldom::XmlDomError&) {
        throw CBaseException(3, LocatedMessage(L"CreateStringAttribute failed: attrName=\"" + name +
                                                   L"\"\nattrValue=\"" + value + L"\"",
                                               __FILE__, __LINE__));
    }
}

XmlAttributePtr CMovie::CreateAttribute(const std::wstring& name, const std::wstring& value) {
    return CreateStringAttribute(name, value);
}

XmlAttributePtr CMovie::CreateIntAttribute(const std::wstring& name, int value) {
    return CreateStringAttribute(name, IntToWString(value));
}

XmlAttributePtr CMovie::CreateUIntAttribute(const std::wstring& name, unsigned value) {
    return CreateStringAttribute(name, UIntToWString(value));
}

XmlAttributePtr CMovie::CreateFloatAttribute(const std::wstring& name, float value) {
    return CreateStringAttribute(name, FloatToTwips(value));
}

XmlAttributePtr CMovie::CreateColorAttribute(COLORREF color) {
    return CreateStringAttribute(L"color", ColorToWString(color));
}

XmlAttributePtr CMovie::CreateAlphaAttribute(int alpha) {
    // Clamped: masking would turn 256 into fully transparent.
    return CreateIntAttribute(L"alpha", std::clamp(alpha, 0, 255));
}

void CMovie::SetAttribute(const XmlElementPtr& element, const XmlAttributePtr& attribute) {
    GetElementAttributes(element)->setNamedItem(attribute);
}

// --- Element writers -------------------------------------------------------------------------

XmlElementPtr CMovie::CreateWithId(const XmlNodePtr& parent, const wchar_t* name, const std::wstring& id) {
    XmlElementPtr element = CreateElement(parent, name);
    SetAttribute(element, CreateStringAttribute(L"id", id));
    return element;
}

void CMovie::AddRect(const XmlElementPtr& element, float x, float y, float width, float height) {
    SetAttribute(element, CreateFloatAttribute(L"x", x));
    SetAttribute(element, CreateFloatAttribute(L"y", y));
    SetAttribute(element, CreateFloatAttribute(L"width", width));
    SetAttribute(element, CreateFloatAttribute(L"height", height));
}

void CMovie::WriteMovieAttributes(unsigned width, unsigned height, unsigned frameRate, COLORREF bgColor,
                                  bool saveObjectsFirst) {
    SetAttribute(m_root, CreateUIntAttribute(L"width", width));
    SetAttribute(m_root, CreateUIntAttribute(L"height", height));
    SetAttribute(m_root, CreateUIntAttribute(L"frameRate", frameRate));
    SetAttribute(m_root, CreateStringAttribute(L"compressed", L"1"));
    SetAttribute(m_root, CreateStringAttribute(L"bgColor", ColorToWString(bgColor)));
    if (!saveObjectsFirst) SetAttribute(m_root, CreateStringAttribute(L"saveObjectsFirst", L"0"));
}

XmlElementPtr CMovie::WriteStyles(const XmlNodePtr& parent) { return CreateElement(parent, L"styles"); }
XmlElementPtr CMovie::WriteObjects(const XmlNodePtr& parent) { return CreateElement(parent, L"objects"); }
XmlElementPtr CMovie::WriteLayers(const XmlNodePtr& parent) { return CreateElement(parent, L"layers"); }
XmlElementPtr CMovie::WriteLayer(const XmlNodePtr& parent) { return CreateElement(parent, L"layer"); }
XmlElementPtr CMovie::InsertLayerFirst(const XmlNodePtr& parent) { return InsertElementFirst(parent, L"layer"); }

XmlElementPtr CMovie::WriteFrame(const XmlNodePtr& parent, int index) {
    XmlElementPtr element = CreateElement(parent, L"frame");
    SetAttribute(element, CreateIntAttribute(L"index", index));
    return element;
}

XmlElementPtr CMovie::WriteSprite(const XmlNodePtr& parent, const std::wstring& id) {
    return CreateWithId(parent, L"sprite", id);
}

XmlElementPtr CMovie::WriteShape(const XmlNodePtr& parent, const std::wstring& id) {
    return CreateWithId(parent, L"shape", id);
}

XmlElementPtr CMovie::WriteRectangle(const XmlNodePtr& parent, const std::wstring& id, float x, float y,
                                     float width, float height) {
    XmlElementPtr element = CreateWithId(parent, L"rectangle", id);
    AddRect(element, x, y, width, height);
    return element;
}

XmlElementPtr CMovie::WriteOval(const XmlNodePtr& parent, const std::wstring& id, float x, float y, float width,
                                float height) {
    XmlElementPtr element = CreateWithId(parent, L"oval", id);
    AddRect(element, x, y, width, height);
    return element;
}

XmlElementPtr CMovie::WriteSolidFillStyle(const XmlNodePtr& parent, const std::wstring& id, COLORREF color,
                                          int alpha) {
    XmlElementPtr element = CreateWithId(parent, L"solidFillStyle", id);
    SetAttribute(element, CreateColorAttribute(color));
    if (std::clamp(alpha, 0, 255) != 255) SetAttribute(element, CreateAlphaAttribute(alpha));
    return element;
}

XmlElementPtr CMovie::WriteImage(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src, float x,
                                 float y, float width, float height, int jpegQuality) {
    XmlElementPtr element = InsertElementFirst(parent, L"image");
    SetAttribute(element, CreateStringAttribute(L"id", id));
    SetAttribute(element, CreateStringAttribute(L"src", src));
    AddRect(element, x, y, width, height);
    if (jpegQuality != 0) SetAttribute(element, CreateIntAttribute(L"jpegQuality", jpegQuality));
    return element;
}

XmlElementPtr CMovie::WriteFont(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src) {
    XmlElementPtr element = CreateWithId(parent, L"font", id);
    SetAttribute(element, CreateStringAttribute(L"src", src));
    return element;
}

XmlElementPtr CMovie::WriteHtmlText(const XmlNodePtr& parent, const std::wstring& id, float x, float y, float width,
                                    float height) {
    XmlElementPtr element = CreateWithId(parent, L"htmlText", id);
    AddRect(element, x, y, width, height);
    return element;
}

XmlElementPtr CMovie::WriteSound(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src) {
    XmlElementPtr element = CreateWithId(parent, L"sound", id);
    SetAttribute(element, CreateStringAttribute(L"src", src));
    return element;
}

XmlElementPtr CMovie::WriteButton(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& type,
                                  const std::wstring& up, const std::wstring& over, const std::wstring& down,
                                  const std::wstring& hit) {
    XmlElementPtr element = CreateWithId(parent, L"button", id);
    SetAttribute(element, CreateStringAttribute(L"type", type));
    SetAttribute(element, CreateStringAttribute(L"up", up));
    SetAttribute(element, CreateStringAttribute(L"over", over));
    SetAttribute(element, CreateStringAttribute(L"down", down));
    SetAttribute(element, CreateStringAttribute(L"hit", hit));
    return element;
}

XmlElementPtr CMovie::WriteShow(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& objectId) {
    XmlElementPtr element = CreateWithId(parent, L"show", id);
    SetAttribute(element, CreateStringAttribute(L"objectId", objectId));
    return element;
}

XmlElementPtr CMovie::WriteReplace(const XmlNodePtr& parent, const std::wstring& showId,
                                   const std::wstring& objectId) {
    XmlElementPtr element = CreateElement(parent, L"replace");
    SetAttribute(element, CreateStringAttribute(L"showId", showId));
    SetAttribute(element, CreateStringAttribute(L"objectId", objectId));
    return element;
}

XmlElementPtr CMovie::WriteModify(const XmlNodePtr& parent) { return CreateElement(parent, L"modify"); }

XmlElementPtr CMovie::WriteHide(const XmlNodePtr& parent, const std::wstring& showId) {
    XmlElementPtr element = CreateElement(parent, L"hide");
    SetAttribute(element, CreateStringAttribute(L"showId", showId));
    return element;
}

XmlElementPtr CMovie::WriteStartSoundStream(const XmlNodePtr& parent, const std::wstring& objectId) {
    XmlElementPtr element = CreateElement(parent, L"startSoundStream");
    SetAttribute(element, CreateStringAttribute(L"objectId", objectId));
    return element;
}

XmlElementPtr CMovie::WriteActions(const XmlNodePtr& parent) { return CreateElement(parent, L"actions"); }
XmlElementPtr CMovie::WriteActionStop(const XmlNodePtr& parent) { return CreateElement(parent, L"actionStop"); }

XmlElementPtr CMovie::WriteActionGetURL(const XmlNodePtr& parent, const std::wstring& url) {
    XmlElementPtr element = CreateElement(parent, L"actionGetURL");
    SetAttribute(element, CreateStringAttribute(L"url", url));
    return element;
}

XmlElementPtr CMovie::WriteActionSetTarget(const XmlNodePtr& parent, const std::wstring& spriteName) {
    XmlElementPtr element = CreateElement(parent, L"actionSetTarget");
    SetAttribute(element, CreateStringAttribute(L"spriteName", spriteName));
    return element;
}

XmlElementPtr CMovie::WriteActionGoToFrame(const XmlNodePtr& parent, int index) {
    XmlElementPtr element = CreateElement(parent, L"actionGoToFrame");
    SetAttribute(element, CreateIntAttribute(L"index", index));
    return element;
}

XmlElementPtr CMovie::WriteActionCallFunction(const XmlNodePtr& parent, const std::wstring& name) {
    XmlElementPtr element = CreateElement(parent, L"actionCallFunction");
    SetAttribute(element, CreateStringAttribute(L"name", name));
    return element;
}

XmlElementPtr CMovie::WriteParamInteger(const XmlNodePtr& parent, int value) {
    XmlElementPtr element = CreateElement(parent, L"paramInteger");
    SetAttribute(element, CreateIntAttribute(L"value", value));
    return element;
}

// --- Saving ----------------------------------------------------------------------------------

namespace {

bool StartsWith(const std::wstring& text, std::size_t at, const wchar_t* prefix) {
    return text.compare(at, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

// A start, end or empty-element tag, as opposed to CDATA, comments and the like.
bool IsTag(const std::wstring& xml, std::size_t at) {
    return at + 1 < xml.size() && xml[at] == L'<' && xml[at + 1] != L'!' && xml[at + 1] != L'?';
}

// End (one past) of the markup construct that starts with '<' at `at`.
std::size_t MarkupEnd(const std::wstring& xml, std::size_t at) {
    auto after = [&](const wchar_t* closing, std::size_t from) {
        std::size_t found = xml.find(closing, from);
        return found == std::wstring::npos ? xml.size() : found + std::char_traits<wchar_t>::length(closing);
    };
    if (StartsWith(xml, at, L"<![CDATA[")) return after(L"]]>", at + 9);
    if (StartsWith(xml, at, L"<!--")) return after(L"-->", at + 4);
    if (StartsWith(xml, at, L"<?")) return after(L"?>", at + 2);
    wchar_t quote = 0;
    for (std::size_t i = at + 1; i < xml.size(); ++i) {
        wchar_t c = xml[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'>') {
            return i + 1;
        }
    }
    return xml.size();
}

} // namespace

std::wstring SeparateTags(const std::wstring& xml) {
    std::wstring out;
    out.reserve(xml.size() + xml.size() / 16);
    std::size_t i = 0;
    while (i < xml.size()) {
        if (xml[i] == L'<') {
            const bool tag = IsTag(xml, i);
            std::size_t end = MarkupEnd(xml, i);
            out.append(xml, i, end - i);
            i = end;
            // Only between two tags: a line feed next to a CDATA section would become part
            // of the element's text.
            if (tag && out.back() == L'>' && IsTag(xml, i)) out.push_back(L'\n');
        } else {
            std::size_t end = xml.find(L'<', i);
            if (end == std::wstring::npos) end = xml.size();
            out.append(xml, i, end - i);
            i = end;
        }
    }
    return out;
}

void CMovie::SaveXml(const std::wstring& path) {
    const std::wstring text = SeparateTags(m_document->xml());
    if (!m_document->loadXML(text)) {
        const xmldom::XmlParseError& error = m_document->parseError();
        throw CBaseException(3, LocatedMessage(L"Cannot reload the movie description: " + error.reason + L" (line " +
                                                   IntToWString(error.line) + L", column " +
                                                   IntToWString(error.linepos) + L")",
                                               __FILE__, __LINE__));
    }
    // The reload made new nodes: keep the handles on the ones now in the document.
    m_root = m_document->documentElement();
    m_stylesElement = m_objectsElement = m_layersElement = nullptr;
    for (XmlNodePtr child = m_root ? m_root->firstChild() : nullptr; child; child = child->nextSibling()) {
        if (child->nodeType() != xmldom::NODE_ELEMENT) continue;
        auto element = std::static_pointer_cast<xmldom::XmlElement>(child);
        const std::wstring name = element->tagName();
        if (name == L"styles" && !m_stylesElement)
            m_stylesElement = element;
        else if (name == L"objects" && !m_objectsElement)
            m_objectsElement = element;
        else if (name == L"layers" && !m_layersElement)
            m_layersElement = element;
    }
    try {
        m_document->save(path);
    } catch (const xmldom::XmlDomError& e) {
        throw CBaseException(3, LocatedMessage(L"Cannot save the movie description: " + WideFromUtf8(e.what()),
                                               __FILE__, __LINE__));
    }
}

} // namespace genswf
