#pragma once
// Names shared by the movie document and the movie object model.

#include "genswf/utils/Utils.h"
#include "xmldom/XmlDom.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace genswf {

using XmlNodePtr = std::shared_ptr<xmldom::XmlNode>;
using XmlElementPtr = std::shared_ptr<xmldom::XmlElement>;
using XmlAttributePtr = std::shared_ptr<xmldom::XmlAttribute>;
using XmlNamedNodeMapPtr = std::shared_ptr<xmldom::XmlNamedNodeMap>;
using XmlDocumentPtr = std::shared_ptr<xmldom::XmlDocument>;

class CMovie;
class CMovieObject;
class CFrameTrack;
class CFrameList;
class CLayer;
class CObjectsCollection;
class CLayersCollection;
class CStylesCollection;
class CSolidFillObject;

// The attribute map of an element (the map adds, and replaces same-named attributes in place).
XmlNamedNodeMapPtr GetElementAttributes(const XmlElementPtr& element);

// An ordered name -> value list of attributes that an object or command writes after its
// element writer's own. Names are plain ASCII, so wide-string order is the code-unit order.
class CAttributeList {
public:
    using Map = std::map<std::wstring, std::wstring>;

    // The first value of a name is kept; later ones are dropped. Name and value are taken by
    // value and moved into the list: most are made for the call (a literal name, a formatted
    // number) and need not be copied again.
    void Add(std::wstring name, std::wstring value) { m_items.emplace(std::move(name), std::move(value)); }
    void AddInt(std::wstring name, int value) { Add(std::move(name), IntToWString(value)); }
    void AddColor(std::wstring name, COLORREF color) { Add(std::move(name), ColorToWString(color)); }
    void AddTwips(std::wstring name, float value) { Add(std::move(name), FloatToTwips(value)); }
    void AddFloat(std::wstring name, float value) { Add(std::move(name), FormatFloat(value, 7)); }
    // Assignment: replaces an earlier value.
    void Set(const std::wstring& name, const std::wstring& value) { m_items[name] = value; }

    // Attaches every entry, in name order, through the movie's attribute writer.
    void Write(CMovie* movie, const XmlElementPtr& element) const;

    const Map& Items() const { return m_items; }
    bool Contains(const std::wstring& name) const { return m_items.count(name) != 0; }

private:
    Map m_items;
};

}  // namespace genswf
