// The element and attribute writers of the movie document, and its saving.

#include "genswf/movie/Movie.h"

#include "base/files/AtomicFile.h"
#include "genswf/utils/Exceptions.h"
#include "genswf/utils/Utils.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <system_error>

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
        throw CBaseException(
            3, LocatedMessage(L"CreateStringAttribute failed: attrName=\"" + name + L"\"\nattrValue=\"" + value + L"\"",
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

void CMovie::SetElementAttribute(const XmlElementPtr& element, const std::wstring& name, const std::wstring& value) {
    if (!element) throw CBaseException(3, LocatedMessage(L"No element for attribute " + name, __FILE__, __LINE__));
    try {
        element->setAttribute(name, value);
    } catch (const xmldom::XmlDomError&) {
        throw CBaseException(
            3, LocatedMessage(L"CreateStringAttribute failed: attrName=\"" + name + L"\"\nattrValue=\"" + value + L"\"",
                              __FILE__, __LINE__));
    }
}

// --- Element writers -------------------------------------------------------------------------

XmlElementPtr CMovie::CreateWithId(const XmlNodePtr& parent, const wchar_t* name, const std::wstring& id) {
    XmlElementPtr element = CreateElement(parent, name);
    SetElementAttribute(element, L"id", id);
    return element;
}

void CMovie::AddRect(const XmlElementPtr& element, float x, float y, float width, float height) {
    SetElementAttribute(element, L"x", FloatToTwips(x));
    SetElementAttribute(element, L"y", FloatToTwips(y));
    SetElementAttribute(element, L"width", FloatToTwips(width));
    SetElementAttribute(element, L"height", FloatToTwips(height));
}

void CMovie::WriteMovieAttributes(unsigned width, unsigned height, unsigned frameRate, COLORREF bgColor,
                                  bool saveObjectsFirst) {
    SetElementAttribute(m_root, L"width", UIntToWString(width));
    SetElementAttribute(m_root, L"height", UIntToWString(height));
    SetElementAttribute(m_root, L"frameRate", UIntToWString(frameRate));
    SetElementAttribute(m_root, L"compressed", L"1");
    SetElementAttribute(m_root, L"bgColor", ColorToWString(bgColor));
    if (!saveObjectsFirst) SetElementAttribute(m_root, L"saveObjectsFirst", L"0");
}

XmlElementPtr CMovie::WriteStyles(const XmlNodePtr& parent) { return CreateElement(parent, L"styles"); }
XmlElementPtr CMovie::WriteObjects(const XmlNodePtr& parent) { return CreateElement(parent, L"objects"); }
XmlElementPtr CMovie::WriteLayers(const XmlNodePtr& parent) { return CreateElement(parent, L"layers"); }
XmlElementPtr CMovie::WriteLayer(const XmlNodePtr& parent) { return CreateElement(parent, L"layer"); }
XmlElementPtr CMovie::InsertLayerFirst(const XmlNodePtr& parent) { return InsertElementFirst(parent, L"layer"); }

XmlElementPtr CMovie::WriteFrame(const XmlNodePtr& parent, int index) {
    XmlElementPtr element = CreateElement(parent, L"frame");
    SetElementAttribute(element, L"index", IntToWString(index));
    return element;
}

XmlElementPtr CMovie::WriteSprite(const XmlNodePtr& parent, const std::wstring& id) {
    return CreateWithId(parent, L"sprite", id);
}

XmlElementPtr CMovie::WriteShape(const XmlNodePtr& parent, const std::wstring& id) {
    return CreateWithId(parent, L"shape", id);
}

XmlElementPtr CMovie::WriteRectangle(const XmlNodePtr& parent, const std::wstring& id, float x, float y, float width,
                                     float height) {
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

XmlElementPtr CMovie::WriteSolidFillStyle(const XmlNodePtr& parent, const std::wstring& id, COLORREF color, int alpha) {
    XmlElementPtr element = CreateWithId(parent, L"solidFillStyle", id);
    SetElementAttribute(element, L"color", ColorToWString(color));
    if (std::clamp(alpha, 0, 255) != 255)
        SetElementAttribute(element, L"alpha", IntToWString(std::clamp(alpha, 0, 255)));
    return element;
}

XmlElementPtr CMovie::WriteImage(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src, float x,
                                 float y, float width, float height, int jpegQuality) {
    XmlElementPtr element = InsertElementFirst(parent, L"image");
    SetElementAttribute(element, L"id", id);
    SetElementAttribute(element, L"src", src);
    AddRect(element, x, y, width, height);
    if (jpegQuality != 0) SetElementAttribute(element, L"jpegQuality", IntToWString(jpegQuality));
    return element;
}

XmlElementPtr CMovie::WriteFont(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& src) {
    XmlElementPtr element = CreateWithId(parent, L"font", id);
    SetElementAttribute(element, L"src", src);
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
    SetElementAttribute(element, L"src", src);
    return element;
}

XmlElementPtr CMovie::WriteButton(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& type,
                                  const std::wstring& up, const std::wstring& over, const std::wstring& down,
                                  const std::wstring& hit) {
    XmlElementPtr element = CreateWithId(parent, L"button", id);
    SetElementAttribute(element, L"type", type);
    SetElementAttribute(element, L"up", up);
    SetElementAttribute(element, L"over", over);
    SetElementAttribute(element, L"down", down);
    SetElementAttribute(element, L"hit", hit);
    return element;
}

XmlElementPtr CMovie::WriteShow(const XmlNodePtr& parent, const std::wstring& id, const std::wstring& objectId) {
    XmlElementPtr element = CreateWithId(parent, L"show", id);
    SetElementAttribute(element, L"objectId", objectId);
    return element;
}

XmlElementPtr CMovie::WriteReplace(const XmlNodePtr& parent, const std::wstring& showId, const std::wstring& objectId) {
    XmlElementPtr element = CreateElement(parent, L"replace");
    SetElementAttribute(element, L"showId", showId);
    SetElementAttribute(element, L"objectId", objectId);
    return element;
}

XmlElementPtr CMovie::WriteModify(const XmlNodePtr& parent) { return CreateElement(parent, L"modify"); }

XmlElementPtr CMovie::WriteHide(const XmlNodePtr& parent, const std::wstring& showId) {
    XmlElementPtr element = CreateElement(parent, L"hide");
    SetElementAttribute(element, L"showId", showId);
    return element;
}

XmlElementPtr CMovie::WriteStartSoundStream(const XmlNodePtr& parent, const std::wstring& objectId) {
    XmlElementPtr element = CreateElement(parent, L"startSoundStream");
    SetElementAttribute(element, L"objectId", objectId);
    return element;
}

XmlElementPtr CMovie::WriteActions(const XmlNodePtr& parent) { return CreateElement(parent, L"actions"); }
XmlElementPtr CMovie::WriteActionStop(const XmlNodePtr& parent) { return CreateElement(parent, L"actionStop"); }

XmlElementPtr CMovie::WriteActionGetURL(const XmlNodePtr& parent, const std::wstring& url) {
    XmlElementPtr element = CreateElement(parent, L"actionGetURL");
    SetElementAttribute(element, L"url", url);
    return element;
}

XmlElementPtr CMovie::WriteActionSetTarget(const XmlNodePtr& parent, const std::wstring& spriteName) {
    XmlElementPtr element = CreateElement(parent, L"actionSetTarget");
    SetElementAttribute(element, L"spriteName", spriteName);
    return element;
}

XmlElementPtr CMovie::WriteActionGoToFrame(const XmlNodePtr& parent, int index) {
    XmlElementPtr element = CreateElement(parent, L"actionGoToFrame");
    SetElementAttribute(element, L"index", IntToWString(index));
    return element;
}

XmlElementPtr CMovie::WriteActionCallFunction(const XmlNodePtr& parent, const std::wstring& name) {
    XmlElementPtr element = CreateElement(parent, L"actionCallFunction");
    SetElementAttribute(element, L"name", name);
    return element;
}

XmlElementPtr CMovie::WriteParamInteger(const XmlNodePtr& parent, int value) {
    XmlElementPtr element = CreateElement(parent, L"paramInteger");
    SetElementAttribute(element, L"value", IntToWString(value));
    return element;
}

// --- Saving ----------------------------------------------------------------------------------

namespace {

template <class String>
bool StartsWith(const String& text, std::size_t at, const char* prefix) {
    for (std::size_t k = 0; prefix[k]; ++k)
        if (at + k >= text.size() || text[at + k] != static_cast<typename String::value_type>(prefix[k])) return false;
    return true;
}

template <class String>
std::size_t Find(const String& text, const char* needle, std::size_t from) {
    const String wanted(needle, needle + std::char_traits<char>::length(needle));
    return text.find(wanted, from);
}

// A start, end or empty-element tag, as opposed to CDATA, comments and the like.
template <class String>
bool IsTag(const String& xml, std::size_t at) {
    return at + 1 < xml.size() && xml[at] == '<' && xml[at + 1] != '!' && xml[at + 1] != '?';
}

// End (one past) of the markup construct that starts with '<' at `at`.
template <class String>
std::size_t MarkupEnd(const String& xml, std::size_t at) {
    auto after = [&](const char* closing, std::size_t from) {
        std::size_t found = Find(xml, closing, from);
        return found == String::npos ? xml.size() : found + std::char_traits<char>::length(closing);
    };
    if (StartsWith(xml, at, "<![CDATA[")) return after("]]>", at + 9);
    if (StartsWith(xml, at, "<!--")) return after("-->", at + 4);
    if (StartsWith(xml, at, "<?")) return after("?>", at + 2);
    typename String::value_type quote = 0;
    for (std::size_t i = at + 1; i < xml.size(); ++i) {
        auto c = xml[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return xml.size();
}

template <class String>
String SeparateTagsIn(const String& xml) {
    String out;
    out.reserve(xml.size() + xml.size() / 16);
    std::size_t i = 0;
    while (i < xml.size()) {
        if (xml[i] == '<') {
            const bool tag = IsTag(xml, i);
            std::size_t end = MarkupEnd(xml, i);
            out.append(xml, i, end - i);
            i = end;
            // Only between two tags: a line feed next to a CDATA section would become part
            // of the element's text.
            if (tag && out.back() == '>' && IsTag(xml, i)) out.push_back('\n');
        } else {
            std::size_t end = xml.find('<', i);
            if (end == String::npos) end = xml.size();
            out.append(xml, i, end - i);
            i = end;
        }
    }
    return out;
}

}  // namespace

std::wstring SeparateTags(const std::wstring& xml) { return SeparateTagsIn(xml); }
std::string SeparateTags(const std::string& xml) { return SeparateTagsIn(xml); }

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Reads the description back, the declaration left out; throws what the failure means.
void CheckDescription(const std::string& file) {
    const std::size_t skip = sizeof kDeclaration - 1;
    xmldom::XmlParseError error;
    if (xmldom::XmlDocument::CheckXmlUtf8(file.data() + skip, file.size() - skip, error)) return;
    throw CBaseException(3, LocatedMessage(L"Cannot reload the movie description: " + error.reason + L" (line " +
                                               IntToWString(error.line) + L", column " +
                                               IntToWString(error.linepos) + L")",
                                           __FILE__, __LINE__));
}

}  // namespace

void CMovie::SaveXml(const std::wstring& path) {
    // UTF-8 throughout: the markup characters are ASCII, and the text is a quarter of its
    // wide size. The text with its tags on lines of their own is what the file holds; it is
    // read through once, as the compiler will read it, but no second tree is built from it.
    auto file = std::make_shared<std::string>(kDeclaration);
    *file += SeparateTags(m_document->xmlUtf8());
    m_descriptionCheck = std::shared_future<void>();
    if (!m_descriptionCheckBeside) {
        CheckDescription(*file);
    } else {
        try {
            m_descriptionCheck = std::async(std::launch::async, [file] { CheckDescription(*file); }).share();
        } catch (const std::system_error&) {
            CheckDescription(*file);  // no thread to spare
        }
    }
    const std::string target = NativePath(path);
    // The description is read back by the compiler in this run: whole or absent is enough.
    if (const int err =
            base::files::WriteFileAtomically(target, file->data(), file->size(), 0666, base::files::Sync::None))
        throw CBaseException(3, LocatedMessage(L"Cannot save the movie description: cannot write " +
                                                   WideFromUtf8(target) + L": " + WideFromUtf8(std::strerror(err)),
                                               __FILE__, __LINE__));
}

}  // namespace genswf
