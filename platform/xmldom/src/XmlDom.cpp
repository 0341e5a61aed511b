#include "xmldom/XmlDom.h"

#include "XmlText.h"
#include "base/files/AtomicFile.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace xmldom {

namespace detail {

// Owns the libxml2 document and every node made for it. A node out of the tree (new, removed
// or replaced) is remembered in `detached` and freed with the document, so handles never
// dangle. The list may hold nodes that were attached since, and a node more than once: a node
// counts as detached when it has no parent, and the list is pruned as it grows.
struct DocumentState {
    xmlDocPtr doc = nullptr;
    std::vector<xmlNodePtr> detached;
    std::size_t pruneAt = 1024;
    XmlParseError parseError;
    // Attribute names already checked, each with its copy in the dictionary: the description
    // sets the same few dozen names hundreds of thousands of times.
    std::unordered_map<std::wstring, const xmlChar*> attributeNames;
    // The UTF-8 of the value being set, kept between calls so its room is made once.
    std::string valueUtf8;

    DocumentState() {
        // Once per process, before any thread could race on the parser's globals.
        static const bool initialised = (xmlInitParser(), true);
        (void)initialised;
        doc = xmlNewDoc(BAD_CAST "1.0");
        if (!doc) throw XmlDomError("cannot create an XML document");
        // Element and attribute names repeat by the thousand: each is kept once, in the document's
        // dictionary (freed with it). Nodes never move to another document, and the names of nodes
        // parsed without one stay their own.
        doc->dict = xmlDictCreate();
        if (!doc->dict) {
            xmlFreeDoc(doc);
            throw XmlDomError("cannot create an XML document");
        }
    }
    ~DocumentState() {
        // All roots are found before any is freed: a freed subtree may hold listed nodes.
        Prune();
        for (xmlNodePtr node : detached) {
            if (node->type == XML_ATTRIBUTE_NODE)
                xmlFreeProp(reinterpret_cast<xmlAttrPtr>(node));
            else
                xmlFreeNode(node);
        }
        xmlFreeDoc(doc);
    }

    void Detached(xmlNodePtr node) {
        detached.push_back(node);
        if (detached.size() >= pruneAt) {
            Prune();
            pruneAt = std::max<std::size_t>(1024, detached.size() * 2);
        }
    }

    // Keeps each parentless node once.
    void Prune() {
        detached.erase(
            std::remove_if(detached.begin(), detached.end(), [](xmlNodePtr n) { return n->parent != nullptr; }),
            detached.end());
        std::sort(detached.begin(), detached.end());
        detached.erase(std::unique(detached.begin(), detached.end()), detached.end());
    }

    DocumentState(const DocumentState&) = delete;
    DocumentState& operator=(const DocumentState&) = delete;

    static std::shared_ptr<XmlNode> Wrap(const std::shared_ptr<DocumentState>& state, xmlNodePtr node) {
        if (!node) return nullptr;
        switch (node->type) {
        case XML_ELEMENT_NODE:
            return std::shared_ptr<XmlNode>(new XmlElement(state, node));
        case XML_ATTRIBUTE_NODE:
            return std::shared_ptr<XmlNode>(new XmlAttribute(state, node));
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
            return std::shared_ptr<XmlNode>(new XmlCharacterData(state, node));
        case XML_DOCUMENT_NODE:
            return std::shared_ptr<XmlNode>(new XmlDocument(state, node));
        default:
            return std::shared_ptr<XmlNode>(new XmlNode(state, node));
        }
    }
};

}  // namespace detail

using detail::DocumentState;
using detail::WideFromUtf8;
using detail::XmlUtf8FromWide;

namespace {

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

std::wstring Wide(const xmlChar* s) { return WideFromUtf8(reinterpret_cast<const char*>(s)); }

// Element and attribute names must be XML names; anything else would not serialise.
std::string CheckedName(const std::wstring& name, const char* what) {
    std::string utf8;
    if (name.empty() || !base::encodings::StrictUtf8FromWide(name, utf8) || xmlValidateName(X(utf8), 0) != 0)
        throw XmlDomError(std::string("invalid ") + what + " name '" + std::string(utf8.begin(), utf8.end()) + "'");
    return utf8;
}

// The content of a node as libxml2 gives it, freed here.
std::wstring Content(xmlNodePtr node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::wstring result = Wide(content);
    xmlFree(content);
    return result;
}

// Values up to this many bytes repeat (numbers, colours, ids of shared objects): they are kept
// once in the document's dictionary, which libxml2 knows not to free with the node.
constexpr std::size_t kSharedValueBytes = 24;

void SetAttributeValue(DocumentState& state, xmlAttrPtr attr, const std::wstring& value) {
    xmlDocPtr doc = state.doc;
    std::string& utf8 = state.valueUtf8;
    utf8.clear();
    detail::AppendXmlUtf8(utf8, value);
    // A text child holds the value as it stands: no entity references are read out of it.
    xmlNodePtr text = nullptr;
    if (utf8.size() <= kSharedValueBytes && doc->dict) {
        const xmlChar* shared = xmlDictLookup(doc->dict, X(utf8), static_cast<int>(utf8.size()));
        if (shared) text = xmlNewDocText(doc, nullptr);
        if (text) text->content = const_cast<xmlChar*>(shared);
    } else {
        text = xmlNewDocTextLen(doc, X(utf8), static_cast<int>(std::min<std::size_t>(utf8.size(), INT_MAX)));
    }
    if (!text) throw XmlDomError("out of memory");
    if (attr->children) xmlFreeNodeList(attr->children);
    text->parent = reinterpret_cast<xmlNodePtr>(attr);
    attr->children = text;
    attr->last = text;
}

// Links child under parent before ref (at the end when ref is null). child must be unlinked.
void LinkChild(xmlNodePtr parent, xmlNodePtr child, xmlNodePtr ref) {
    child->parent = parent;
    if (!ref) {
        child->next = nullptr;
        child->prev = parent->last;
        if (parent->last)
            parent->last->next = child;
        else
            parent->children = child;
        parent->last = child;
    } else {
        child->next = ref;
        child->prev = ref->prev;
        if (ref->prev)
            ref->prev->next = child;
        else
            parent->children = child;
        ref->prev = child;
    }
}

int AppendToString(void* context, const char* buffer, int length) {
    static_cast<std::string*>(context)->append(buffer, static_cast<std::size_t>(length));
    return length;
}

// Serialises one node, or the whole document, into UTF-8. The output goes straight into a
// std::string, whose growth is amortised.
std::string Serialize(xmlNodePtr node, bool withDeclaration) {
    std::string result;
    int options = withDeclaration ? 0 : XML_SAVE_NO_DECL;
    xmlSaveCtxtPtr ctxt = xmlSaveToIO(AppendToString, nullptr, &result, "UTF-8", options);
    if (!ctxt) throw XmlDomError("cannot serialise the XML document");
    long written;
    if (node->type == XML_DOCUMENT_NODE)
        written = xmlSaveDoc(ctxt, reinterpret_cast<xmlDocPtr>(node));
    else
        written = xmlSaveTree(ctxt, node);
    int closed = xmlSaveClose(ctxt);
    if (written < 0 || closed < 0) throw XmlDomError("cannot serialise the XML document");
    return result;
}

bool IsCharacterNode(xmlElementType type) { return type == XML_TEXT_NODE || type == XML_CDATA_SECTION_NODE; }

}  // namespace

// --- XmlNode ---------------------------------------------------------------------------------

NodeType XmlNode::nodeType() const {
    switch (m_node->type) {
    case XML_ELEMENT_NODE:
        return NODE_ELEMENT;
    case XML_ATTRIBUTE_NODE:
        return NODE_ATTRIBUTE;
    case XML_TEXT_NODE:
        return NODE_TEXT;
    case XML_CDATA_SECTION_NODE:
        return NODE_CDATA_SECTION;
    case XML_PI_NODE:
        return NODE_PROCESSING_INSTRUCTION;
    case XML_COMMENT_NODE:
        return NODE_COMMENT;
    case XML_DOCUMENT_NODE:
        return NODE_DOCUMENT;
    default:
        return NODE_OTHER;
    }
}

std::wstring XmlNode::nodeName() const {
    switch (m_node->type) {
    case XML_TEXT_NODE:
        return L"#text";
    case XML_CDATA_SECTION_NODE:
        return L"#cdata-section";
    case XML_COMMENT_NODE:
        return L"#comment";
    case XML_DOCUMENT_NODE:
        return L"#document";
    default:
        return Wide(m_node->name);
    }
}

std::wstring XmlNode::nodeValue() const {
    switch (m_node->type) {
    case XML_ATTRIBUTE_NODE:
        return Content(m_node);
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return Wide(m_node->content);
    default:
        return std::wstring();
    }
}

void XmlNode::setNodeValue(const std::wstring& value) {
    switch (m_node->type) {
    case XML_ATTRIBUTE_NODE:
        SetAttributeValue(*m_state, reinterpret_cast<xmlAttrPtr>(m_node), value);
        return;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
        xmlNodeSetContent(m_node, X(XmlUtf8FromWide(value)));
        return;
    case XML_COMMENT_NODE: {
        std::string utf8 = XmlUtf8FromWide(value);
        if (utf8.find("--") != std::string::npos || (!utf8.empty() && utf8.back() == '-'))
            throw XmlDomError("a comment cannot hold \"--\" or end in '-'");
        xmlNodeSetContent(m_node, X(utf8));
        return;
    }
    default:
        throw XmlDomError("this node has no value to set");
    }
}

std::wstring XmlNode::text() const { return Content(m_node); }

std::wstring XmlNode::xml() const {
    std::string utf8 = xmlUtf8();
    return WideFromUtf8(utf8.data(), utf8.size());
}

std::string XmlNode::xmlUtf8() const {
    std::string utf8 = Serialize(m_node, false);
    // An attribute serialises with the space that separates it inside a tag.
    if (m_node->type == XML_ATTRIBUTE_NODE && !utf8.empty() && utf8.front() == ' ') utf8.erase(0, 1);
    return utf8;
}

std::shared_ptr<XmlNode> XmlNode::parentNode() const {
    return DocumentState::Wrap(m_state, m_node->type == XML_DOCUMENT_NODE ? nullptr : m_node->parent);
}

std::shared_ptr<XmlNode> XmlNode::firstChild() const {
    if (m_node->type == XML_ATTRIBUTE_NODE) return nullptr;
    return DocumentState::Wrap(m_state, m_node->children);
}

std::shared_ptr<XmlNode> XmlNode::lastChild() const {
    if (m_node->type == XML_ATTRIBUTE_NODE) return nullptr;
    return DocumentState::Wrap(m_state, m_node->last);
}

std::shared_ptr<XmlNode> XmlNode::previousSibling() const {
    if (m_node->type == XML_ATTRIBUTE_NODE || m_node->type == XML_DOCUMENT_NODE) return nullptr;
    return DocumentState::Wrap(m_state, m_node->prev);
}

std::shared_ptr<XmlNode> XmlNode::nextSibling() const {
    if (m_node->type == XML_ATTRIBUTE_NODE || m_node->type == XML_DOCUMENT_NODE) return nullptr;
    return DocumentState::Wrap(m_state, m_node->next);
}

bool XmlNode::hasChildNodes() const { return m_node->type != XML_ATTRIBUTE_NODE && m_node->children != nullptr; }

std::shared_ptr<XmlNodeList> XmlNode::childNodes() const {
    return std::shared_ptr<XmlNodeList>(new XmlNodeList(m_state, m_node));
}

std::shared_ptr<XmlNamedNodeMap> XmlNode::attributes() const {
    if (m_node->type != XML_ELEMENT_NODE) return nullptr;
    return std::shared_ptr<XmlNamedNodeMap>(new XmlNamedNodeMap(m_state, m_node));
}

std::shared_ptr<XmlDocument> XmlNode::ownerDocument() const {
    return std::static_pointer_cast<XmlDocument>(
        DocumentState::Wrap(m_state, reinterpret_cast<xmlNodePtr>(m_state->doc)));
}

std::shared_ptr<XmlNode> XmlNode::appendChild(const std::shared_ptr<XmlNode>& newChild) {
    return insertBefore(newChild, nullptr);
}

std::shared_ptr<XmlNode> XmlNode::insertBefore(const std::shared_ptr<XmlNode>& newChild,
                                               const std::shared_ptr<XmlNode>& refChild) {
    if (!newChild) throw XmlDomError("no node to insert");
    if (newChild->m_state != m_state) throw XmlDomError("the node belongs to another document");
    xmlNodePtr parent = m_node;
    xmlNodePtr child = newChild->m_node;
    xmlNodePtr ref = refChild ? refChild->m_node : nullptr;

    if (parent->type != XML_ELEMENT_NODE && parent->type != XML_DOCUMENT_NODE)
        throw XmlDomError("this node cannot have children");
    switch (child->type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        break;
    default:
        throw XmlDomError("this kind of node cannot be inserted as a child");
    }
    if (parent->type == XML_DOCUMENT_NODE) {
        if (IsCharacterNode(child->type)) throw XmlDomError("text cannot stand at the top level");
        if (child->type == XML_ELEMENT_NODE) {
            for (xmlNodePtr c = parent->children; c; c = c->next)
                if (c->type == XML_ELEMENT_NODE && c != child)
                    throw XmlDomError("only one top-level element is allowed");
        }
    }
    if (ref && ref->parent != parent) throw XmlDomError("the reference node is not a child of this node");
    for (xmlNodePtr p = parent; p; p = p->parent)
        if (p == child) throw XmlDomError("a node cannot be inserted under itself");
    if (ref == child) return newChild;

    if (child->parent) xmlUnlinkNode(child);
    LinkChild(parent, child, ref);
    return newChild;
}

std::shared_ptr<XmlNode> XmlNode::removeChild(const std::shared_ptr<XmlNode>& oldChild) {
    if (!oldChild || oldChild->m_state != m_state || oldChild->m_node->parent != m_node ||
        oldChild->m_node->type == XML_ATTRIBUTE_NODE)
        throw XmlDomError("the node is not a child of this node");
    xmlUnlinkNode(oldChild->m_node);
    m_state->Detached(oldChild->m_node);
    return oldChild;
}

bool XmlNode::isSameNode(const std::shared_ptr<XmlNode>& other) const { return other && other->m_node == m_node; }

// --- XmlElement ------------------------------------------------------------------------------

namespace {
xmlAttrPtr FindAttribute(xmlNodePtr element, const xmlChar* name) {
    for (xmlAttrPtr a = element->properties; a; a = a->next)
        if (xmlStrEqual(a->name, name)) return a;
    return nullptr;
}
xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name) { return FindAttribute(element, X(name)); }
}  // namespace

std::wstring XmlElement::getAttribute(const std::wstring& name) const {
    std::string utf8;
    if (!base::encodings::StrictUtf8FromWide(name, utf8)) return std::wstring();
    xmlAttrPtr a = FindAttribute(m_node, utf8);
    return a ? Content(reinterpret_cast<xmlNodePtr>(a)) : std::wstring();
}

bool XmlElement::hasAttribute(const std::wstring& name) const {
    std::string utf8;
    return base::encodings::StrictUtf8FromWide(name, utf8) && FindAttribute(m_node, utf8) != nullptr;
}

void XmlElement::setAttribute(const std::wstring& name, const std::wstring& value) {
    // The same result as createAttribute + setNamedItem, without the handles in between.
    auto known = m_state->attributeNames.find(name);
    if (known == m_state->attributeNames.end()) {
        const std::string utf8 = CheckedName(name, "attribute");
        const xmlChar* interned = xmlDictLookup(m_state->doc->dict, X(utf8), -1);
        if (!interned) throw XmlDomError("out of memory");
        known = m_state->attributeNames.emplace(name, interned).first;
    }
    const xmlChar* attributeName = known->second;
    xmlAttrPtr attr = FindAttribute(m_node, attributeName);
    if (attr) {
        SetAttributeValue(*m_state, attr, value);
        return;
    }
    attr = xmlNewDocProp(m_state->doc, attributeName, nullptr);
    if (!attr) throw XmlDomError("out of memory");
    try {
        SetAttributeValue(*m_state, attr, value);
    } catch (...) {
        xmlFreeProp(attr);
        throw;
    }
    attr->parent = m_node;
    if (!m_node->properties) {
        m_node->properties = attr;
    } else {
        xmlAttrPtr last = m_node->properties;
        while (last->next) last = last->next;
        last->next = attr;
        attr->prev = last;
    }
}

// --- XmlNodeList -----------------------------------------------------------------------------

long XmlNodeList::length() const {
    if (m_parent->type == XML_ATTRIBUTE_NODE) return 0;
    long n = 0;
    for (xmlNodePtr c = m_parent->children; c; c = c->next) ++n;
    return n;
}

std::shared_ptr<XmlNode> XmlNodeList::item(long index) const {
    if (index < 0 || m_parent->type == XML_ATTRIBUTE_NODE) return nullptr;
    xmlNodePtr c = m_parent->children;
    for (long i = 0; c && i < index; ++i) c = c->next;
    return DocumentState::Wrap(m_state, c);
}

// --- XmlNamedNodeMap -------------------------------------------------------------------------

long XmlNamedNodeMap::length() const {
    long n = 0;
    for (xmlAttrPtr a = m_element->properties; a; a = a->next) ++n;
    return n;
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::item(long index) const {
    if (index < 0) return nullptr;
    xmlAttrPtr a = m_element->properties;
    for (long i = 0; a && i < index; ++i) a = a->next;
    return DocumentState::Wrap(m_state, reinterpret_cast<xmlNodePtr>(a));
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::getNamedItem(const std::wstring& name) const {
    std::string utf8;
    if (!base::encodings::StrictUtf8FromWide(name, utf8)) return nullptr;
    return DocumentState::Wrap(m_state, reinterpret_cast<xmlNodePtr>(FindAttribute(m_element, utf8)));
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::setNamedItem(const std::shared_ptr<XmlNode>& attribute) {
    if (!attribute || attribute->m_node->type != XML_ATTRIBUTE_NODE)
        throw XmlDomError("only attributes can be added to an attribute map");
    if (attribute->m_state != m_state) throw XmlDomError("the attribute belongs to another document");
    auto* attr = reinterpret_cast<xmlAttrPtr>(attribute->m_node);
    if (attr->parent == m_element) return nullptr;
    if (attr->parent) throw XmlDomError("the attribute is in use by another element");

    xmlAttrPtr old = nullptr;
    for (xmlAttrPtr a = m_element->properties; a; a = a->next)
        if (xmlStrEqual(a->name, attr->name)) {
            old = a;
            break;
        }
    attr->parent = m_element;
    if (old) {
        // Take the old one's place, so the order of the attributes stays as first written.
        attr->prev = old->prev;
        attr->next = old->next;
        if (old->prev)
            old->prev->next = attr;
        else
            m_element->properties = attr;
        if (old->next) old->next->prev = attr;
        old->parent = nullptr;
        old->prev = nullptr;
        old->next = nullptr;
        m_state->Detached(reinterpret_cast<xmlNodePtr>(old));
        return DocumentState::Wrap(m_state, reinterpret_cast<xmlNodePtr>(old));
    }
    attr->next = nullptr;
    attr->prev = nullptr;
    if (!m_element->properties) {
        m_element->properties = attr;
    } else {
        xmlAttrPtr last = m_element->properties;
        while (last->next) last = last->next;
        last->next = attr;
        attr->prev = last;
    }
    return nullptr;
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::removeNamedItem(const std::wstring& name) {
    std::string utf8;
    if (!base::encodings::StrictUtf8FromWide(name, utf8)) return nullptr;
    xmlAttrPtr a = FindAttribute(m_element, utf8);
    if (!a) return nullptr;
    auto node = reinterpret_cast<xmlNodePtr>(a);
    xmlUnlinkNode(node);
    m_state->Detached(node);
    return DocumentState::Wrap(m_state, node);
}

// --- XmlDocument -----------------------------------------------------------------------------

std::shared_ptr<XmlDocument> XmlDocument::Create() {
    auto state = std::make_shared<DocumentState>();
    return std::shared_ptr<XmlDocument>(new XmlDocument(state, reinterpret_cast<xmlNodePtr>(state->doc)));
}

std::shared_ptr<XmlElement> XmlDocument::createElement(const std::wstring& tagName) {
    std::string name = CheckedName(tagName, "element");
    xmlNodePtr node = xmlNewDocNode(m_state->doc, nullptr, X(name), nullptr);
    if (!node) throw XmlDomError("out of memory");
    m_state->Detached(node);
    return std::static_pointer_cast<XmlElement>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlAttribute> XmlDocument::createAttribute(const std::wstring& name) {
    std::string utf8 = CheckedName(name, "attribute");
    xmlAttrPtr attr = xmlNewDocProp(m_state->doc, X(utf8), nullptr);
    if (!attr) throw XmlDomError("out of memory");
    auto node = reinterpret_cast<xmlNodePtr>(attr);
    m_state->Detached(node);
    return std::static_pointer_cast<XmlAttribute>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlCharacterData> XmlDocument::createTextNode(const std::wstring& data) {
    xmlNodePtr node = xmlNewDocText(m_state->doc, X(XmlUtf8FromWide(data)));
    if (!node) throw XmlDomError("out of memory");
    m_state->Detached(node);
    return std::static_pointer_cast<XmlCharacterData>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlCharacterData> XmlDocument::createCDATASection(const std::wstring& data) {
    // The serialiser closes and reopens the section around every "]]>" it holds.
    std::string utf8 = XmlUtf8FromWide(data);
    if (utf8.size() > static_cast<std::size_t>(INT_MAX)) throw XmlDomError("CDATA section too large");
    xmlNodePtr node = xmlNewCDataBlock(m_state->doc, X(utf8), static_cast<int>(utf8.size()));
    if (!node) throw XmlDomError("out of memory");
    m_state->Detached(node);
    return std::static_pointer_cast<XmlCharacterData>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlElement> XmlDocument::documentElement() const {
    for (xmlNodePtr c = m_state->doc->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE) return std::static_pointer_cast<XmlElement>(DocumentState::Wrap(m_state, c));
    return nullptr;
}

const XmlParseError& XmlDocument::parseError() const { return m_state->parseError; }

bool XmlDocument::loadXML(const std::wstring& text) {
    std::string utf8;
    if (!base::encodings::StrictUtf8FromWide(text, utf8)) {
        m_state->parseError = XmlParseError();
        m_state->parseError.errorCode = -1;
        m_state->parseError.reason = L"the text holds an invalid character";
        return false;
    }
    return loadXMLUtf8(utf8);
}

// Parses the text into a document, or, without `build`, only reads it through (the document
// comes back empty). Null on failure, with parseError filled in.
xmlDocPtr XmlDocument::Parse(const std::string& utf8, bool build) {
    XmlParseError& error = m_state->parseError;
    error = XmlParseError();
    auto fail = [&](int code, const std::wstring& reason, int line, int column) -> xmlDocPtr {
        error.errorCode = code;
        error.reason = reason;
        error.line = line;
        error.linepos = column;
        return nullptr;
    };
    if (utf8.size() > static_cast<std::size_t>(INT_MAX)) return fail(-1, L"the text is too large", 0, 0);

    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return fail(-1, L"out of memory", 0, 0);
    if (!build) {
        // The parser still checks every construct and its limits; no node is made.
        xmlSAXHandlerPtr sax = ctxt->sax;
        sax->startElementNs = nullptr;
        sax->endElementNs = nullptr;
        sax->startElement = nullptr;
        sax->endElement = nullptr;
        sax->characters = nullptr;
        sax->ignorableWhitespace = nullptr;
        sax->cdataBlock = nullptr;
        sax->comment = nullptr;
        sax->processingInstruction = nullptr;
        sax->reference = nullptr;
    }
    // No network, no external entities, nothing printed: failures are reported through
    // parseError. Without a dictionary every name is the node's own, so nodes can move over.
    const int options = XML_PARSE_NONET | XML_PARSE_NODICT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", options);
    if (!parsed || !ctxt->wellFormed) {
        xmlErrorPtr e = xmlCtxtGetLastError(ctxt);
        std::wstring reason = e && e->message ? WideFromUtf8(e->message) : std::wstring(L"malformed XML");
        while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L' ')) reason.pop_back();
        int code = e && e->code ? e->code : -1;
        int line = e ? e->line : 0;
        int column = e ? e->int2 : 0;
        if (parsed) xmlFreeDoc(parsed);
        xmlFreeParserCtxt(ctxt);
        return fail(code, reason, line, column);
    }
    xmlFreeParserCtxt(ctxt);
    if (parsed->intSubset || parsed->extSubset || parsed->dict) {
        xmlFreeDoc(parsed);
        return fail(-1, L"a document type declaration is not allowed", 0, 0);
    }
    return parsed;
}

bool XmlDocument::checkXMLUtf8(const std::string& utf8) {
    xmlDocPtr parsed = Parse(utf8, false);
    if (!parsed) return false;
    xmlFreeDoc(parsed);
    return true;
}

bool XmlDocument::loadXMLUtf8(const std::string& utf8) {
    xmlDocPtr parsed = Parse(utf8, true);
    if (!parsed) return false;
    // The old content leaves the tree (handles on it stay valid); the parsed nodes move in.
    auto docNode = reinterpret_cast<xmlNodePtr>(m_state->doc);
    while (xmlNodePtr c = docNode->children) {
        xmlUnlinkNode(c);
        m_state->Detached(c);
    }
    while (xmlNodePtr c = parsed->children) {
        xmlUnlinkNode(c);
        xmlSetTreeDoc(c, m_state->doc);
        LinkChild(docNode, c, nullptr);
    }
    xmlFreeDoc(parsed);
    return true;
}

void XmlDocument::save(const std::wstring& path) const {
    std::string target;
    if (path.empty() || !base::encodings::StrictUtf8FromWide(path, target)) throw XmlDomError("invalid file path");
    for (char& ch : target)
        if (ch == '\\') ch = '/';
    std::string bytes = Serialize(m_node, true);

    // Saved documents are read back by the next step of the same run: whole or absent is enough.
    if (int err = base::files::WriteFileAtomically(target, bytes.data(), bytes.size(), 0666, base::files::Sync::None))
        throw XmlDomError("cannot write " + target + ": " + std::strerror(err));
}

}  // namespace xmldom
