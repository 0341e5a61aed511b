#include "xmldom/XmlDom.h"

#include "XmlText.h"
#include "base/files/AtomicFile.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace xmldom {

namespace detail {

constexpr std::uint32_t kNone = UINT32_MAX;

enum class Kind : std::uint8_t { Document, Element, Attribute, Text, CData, Comment, Instruction };

// One node of any kind. Children are linked through parent/first/last/prev/next; an element's
// attributes form their own list from `attributes`, linked through prev/next, with the element
// as parent. A node out of the tree simply has no parent.
struct Node {
    std::string value;  // UTF-8: attribute value, text, CDATA, comment, instruction data
    std::uint32_t parent = kNone;
    std::uint32_t first = kNone;
    std::uint32_t last = kNone;
    std::uint32_t prev = kNone;
    std::uint32_t next = kNone;
    std::uint32_t attributes = kNone;
    std::uint32_t name = kNone;  // element, attribute and instruction: index in the name table
    Kind kind = Kind::Element;
    bool hasData = true;  // an instruction read as "<?p?>" has none (and "<?p ?>" an empty one)
};

// Every node made for a document, from index 0 (the document itself) up, freed with it. Nodes sit
// in fixed blocks, so a reference to one stays good while others are added.
class NodeStore {
public:
    static constexpr unsigned kShift = 12;
    static constexpr std::uint32_t kBlock = 1u << kShift;

    Node& operator[](std::uint32_t i) { return m_blocks[i >> kShift][i & (kBlock - 1)]; }
    const Node& operator[](std::uint32_t i) const { return m_blocks[i >> kShift][i & (kBlock - 1)]; }

    std::uint32_t Add(Kind kind) {
        if (m_count == kNone) throw XmlDomError("too many nodes in one document");
        if ((m_count & (kBlock - 1)) == 0) m_blocks.emplace_back(new Node[kBlock]);
        const std::uint32_t index = m_count++;
        (*this)[index].kind = kind;
        return index;
    }

private:
    std::vector<std::unique_ptr<Node[]>> m_blocks;
    std::uint32_t m_count = 0;
};

// libxml2's globals are set up once per process, before any thread could race on them.
void StartParser() {
    static const bool started = (xmlInitParser(), true);
    (void)started;
}

struct DocumentState {
    NodeStore nodes;
    // Element, attribute and instruction names, each kept once.
    std::vector<std::string> names;
    std::unordered_map<std::string, std::uint32_t> nameIds;
    // Names already checked as XML names: the description sets the same few dozen names
    // hundreds of thousands of times.
    std::unordered_map<std::wstring, std::uint32_t> checkedNames;
    XmlParseError parseError;

    DocumentState() {
        StartParser();
        nodes.Add(Kind::Document);
    }
    DocumentState(const DocumentState&) = delete;
    DocumentState& operator=(const DocumentState&) = delete;

    Node& operator[](std::uint32_t i) { return nodes[i]; }
    const Node& operator[](std::uint32_t i) const { return nodes[i]; }

    std::uint32_t Intern(const std::string& name) {
        auto found = nameIds.find(name);
        if (found != nameIds.end()) return found->second;
        const auto id = static_cast<std::uint32_t>(names.size());
        names.push_back(name);
        nameIds.emplace(name, id);
        return id;
    }

    // The id of a name that must be an XML name (`what` tells which kind, for the error).
    std::uint32_t CheckedName(const std::wstring& name, const char* what) {
        auto known = checkedNames.find(name);
        if (known != checkedNames.end()) return known->second;
        std::string utf8;
        if (name.empty() || !base::encodings::StrictUtf8FromWide(name, utf8) ||
            xmlValidateName(reinterpret_cast<const xmlChar*>(utf8.c_str()), 0) != 0)
            throw XmlDomError(std::string("invalid ") + what + " name '" + utf8 + "'");
        const std::uint32_t id = Intern(utf8);
        checkedNames.emplace(name, id);
        return id;
    }

    // The id of a name given for a look-up; kNone when no node has it.
    std::uint32_t FindName(const std::wstring& name) const {
        auto known = checkedNames.find(name);
        if (known != checkedNames.end()) return known->second;
        std::string utf8;
        if (!base::encodings::StrictUtf8FromWide(name, utf8)) return kNone;
        auto found = nameIds.find(utf8);
        return found == nameIds.end() ? kNone : found->second;
    }

    std::uint32_t FindAttribute(std::uint32_t element, std::uint32_t name) const {
        if (name == kNone) return kNone;
        for (std::uint32_t a = nodes[element].attributes; a != kNone; a = nodes[a].next)
            if (nodes[a].name == name) return a;
        return kNone;
    }

    // Adds a parentless attribute at the end of the element's list.
    void AppendAttribute(std::uint32_t element, std::uint32_t attribute) {
        Node& attr = nodes[attribute];
        attr.parent = element;
        attr.next = kNone;
        attr.prev = kNone;
        std::uint32_t* link = &nodes[element].attributes;
        while (*link != kNone) {
            attr.prev = *link;
            link = &nodes[*link].next;
        }
        *link = attribute;
    }

    void UnlinkAttribute(std::uint32_t attribute) {
        Node& attr = nodes[attribute];
        if (attr.prev != kNone)
            nodes[attr.prev].next = attr.next;
        else
            nodes[attr.parent].attributes = attr.next;
        if (attr.next != kNone) nodes[attr.next].prev = attr.prev;
        attr.parent = attr.prev = attr.next = kNone;
    }

    // Links a parentless child under parent before ref (at the end when ref is kNone).
    void LinkChild(std::uint32_t parent, std::uint32_t child, std::uint32_t ref) {
        Node& p = nodes[parent];
        Node& c = nodes[child];
        c.parent = parent;
        c.next = ref;
        if (ref == kNone) {
            c.prev = p.last;
            if (p.last != kNone)
                nodes[p.last].next = child;
            else
                p.first = child;
            p.last = child;
        } else {
            Node& r = nodes[ref];
            c.prev = r.prev;
            if (r.prev != kNone)
                nodes[r.prev].next = child;
            else
                p.first = child;
            r.prev = child;
        }
    }

    void UnlinkChild(std::uint32_t child) {
        Node& c = nodes[child];
        Node& p = nodes[c.parent];
        if (c.prev != kNone)
            nodes[c.prev].next = c.next;
        else
            p.first = c.next;
        if (c.next != kNone)
            nodes[c.next].prev = c.prev;
        else
            p.last = c.prev;
        c.parent = c.prev = c.next = kNone;
    }

    std::uint32_t NewElement(std::uint32_t name) {
        const std::uint32_t index = nodes.Add(Kind::Element);
        nodes[index].name = name;
        return index;
    }

    static std::shared_ptr<XmlNode> Wrap(const std::shared_ptr<DocumentState>& state, std::uint32_t node) {
        if (node == kNone) return nullptr;
        switch ((*state)[node].kind) {
        case Kind::Element:
            return std::shared_ptr<XmlNode>(new XmlElement(state, node));
        case Kind::Attribute:
            return std::shared_ptr<XmlNode>(new XmlAttribute(state, node));
        case Kind::Text:
        case Kind::CData:
        case Kind::Comment:
            return std::shared_ptr<XmlNode>(new XmlCharacterData(state, node));
        case Kind::Document:
            return std::shared_ptr<XmlNode>(new XmlDocument(state, node));
        default:
            return std::shared_ptr<XmlNode>(new XmlNode(state, node));
        }
    }
};

}  // namespace detail

using detail::DocumentState;
using detail::Kind;
using detail::kNone;
using detail::Node;
using detail::WideFromUtf8;
using detail::XmlUtf8FromWide;

namespace {

std::wstring Wide(const std::string& s) { return WideFromUtf8(s.data(), s.size()); }

// --- Serialisation ---------------------------------------------------------------------------

// Writes nodes as UTF-8 markup into one string.
class Writer {
public:
    // `characterReferences`: non-ASCII characters in attribute values as &#xHEX;.
    Writer(const DocumentState& state, std::string& out, bool characterReferences)
        : m_state(state), m_out(out), m_references(characterReferences) {}

    // The node with everything under it; an attribute as name="value".
    void Subtree(std::uint32_t top) {
        std::uint32_t node = top;
        for (;;) {
            const Node& n = m_state[node];
            if (n.kind == Kind::Element) {
                Open(n);
                if (n.first != kNone) {
                    node = n.first;
                    continue;
                }
            } else {
                Leaf(n);
            }
            // Close the elements the walk leaves.
            while (node != top && m_state[node].next == kNone) {
                node = m_state[node].parent;
                Close(m_state[node]);
            }
            if (node == top) return;
            node = m_state[node].next;
        }
    }

    void Attribute(const Node& attr) {
        m_out += m_state.names[attr.name];
        m_out += "=\"";
        Escaped(attr.value, true);
        m_out += '"';
    }

private:
    void Open(const Node& element) {
        m_out += '<';
        m_out += m_state.names[element.name];
        for (std::uint32_t a = element.attributes; a != kNone; a = m_state[a].next) {
            m_out += ' ';
            Attribute(m_state[a]);
        }
        m_out += element.first == kNone ? "/>" : ">";
    }

    void Close(const Node& element) {
        m_out += "</";
        m_out += m_state.names[element.name];
        m_out += '>';
    }

    void Leaf(const Node& n) {
        switch (n.kind) {
        case Kind::Attribute:
            Attribute(n);
            break;
        case Kind::Text:
            Escaped(n.value, false);
            break;
        case Kind::CData:
            CData(n.value);
            break;
        case Kind::Comment:
            m_out += "<!--";
            m_out += n.value;
            m_out += "-->";
            break;
        case Kind::Instruction:
            m_out += "<?";
            m_out += m_state.names[n.name];
            if (n.hasData) {
                m_out += ' ';
                m_out += n.value;
            }
            m_out += "?>";
            break;
        default:
            break;
        }
    }

    // Markup characters and carriage returns become references in text and attribute values
    // alike; a value also gives its quote, its line feeds and tabs as references (a reader
    // would normalise them away), and, where the writer is asked to, every non-ASCII character.
    void Escaped(const std::string& text, bool attributeValue) {
        std::size_t from = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const char* entity = nullptr;
            switch (byte) {
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '&':
                entity = "&amp;";
                break;
            case '\r':
                entity = "&#13;";
                break;
            case '"':
                if (attributeValue) entity = "&quot;";
                break;
            case '\n':
                if (attributeValue) entity = "&#10;";
                break;
            case '\t':
                if (attributeValue) entity = "&#9;";
                break;
            default:
                break;
            }
            const bool numeric = attributeValue && m_references && byte >= 0x80;
            if (!entity && !numeric) continue;
            m_out.append(text, from, i - from);
            if (entity) {
                m_out += entity;
                from = i + 1;
            } else {
                // Values hold well-formed UTF-8: a lead byte and its continuation bytes.
                std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
                char32_t c = length == 4 ? byte & 0x07 : length == 3 ? byte & 0x0F : length == 2 ? byte & 0x1F : byte;
                std::size_t k = 1;
                for (; k < length && i + k < text.size(); ++k)
                    c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
                char reference[16];
                std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
                m_out += reference;
                i += k - 1;
                from = i + 1;
            }
        }
        m_out.append(text, from, std::string::npos);
    }

    // A section holding "]]>" is closed after its "]]" and a new one opened for the rest.
    void CData(const std::string& data) {
        if (data.empty()) {
            m_out += "<![CDATA[]]>";
            return;
        }
        std::size_t start = 0;
        for (std::size_t end = data.find("]]>"); end != std::string::npos; end = data.find("]]>", end + 2)) {
            m_out += "<![CDATA[";
            m_out.append(data, start, end + 2 - start);
            m_out += "]]>";
            start = end + 2;
        }
        if (start < data.size()) {
            m_out += "<![CDATA[";
            m_out.append(data, start, std::string::npos);
            m_out += "]]>";
        }
    }

    const DocumentState& m_state;
    std::string& m_out;
    const bool m_references;
};

// A rough size for the markup of a subtree, so the string is made big enough at once.
std::size_t EstimatedSize(const DocumentState& state, std::uint32_t top) {
    std::size_t size = 64;
    std::uint32_t node = top;
    for (;;) {
        const Node& n = state[node];
        size += n.value.size() + 16;
        for (std::uint32_t a = n.kind == Kind::Element ? n.attributes : kNone; a != kNone; a = state[a].next)
            size += state[a].value.size() + 16;
        if (n.first != kNone && n.kind != Kind::Attribute) {
            node = n.first;
            continue;
        }
        while (node != top && state[node].next == kNone) node = state[node].parent;
        if (node == top) return size;
        node = state[node].next;
    }
}

std::string Serialize(const DocumentState& state, std::uint32_t node, bool withDeclaration) {
    std::string out;
    const std::size_t estimate = EstimatedSize(state, node);
    out.reserve(estimate + estimate / 4);
    if (state[node].kind == Kind::Document) {
        if (withDeclaration) out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        Writer writer(state, out, false);
        for (std::uint32_t c = state[node].first; c != kNone; c = state[c].next) {
            writer.Subtree(c);
            out += '\n';
        }
    } else {
        Writer(state, out, true).Subtree(node);
    }
    return out;
}

// The text and CDATA under the node, in document order.
std::string TextUnder(const DocumentState& state, std::uint32_t top) {
    const Node& t = state[top];
    if (t.kind != Kind::Element && t.kind != Kind::Document) return t.value;
    std::string text;
    std::uint32_t node = top;
    for (;;) {
        const Node& n = state[node];
        if (n.kind == Kind::Text || n.kind == Kind::CData) text += n.value;
        if (n.first != kNone) {
            node = n.first;
            continue;
        }
        while (node != top && state[node].next == kNone) node = state[node].parent;
        if (node == top) return text;
        node = state[node].next;
    }
}

bool IsCharacterNode(Kind kind) { return kind == Kind::Text || kind == Kind::CData; }

}  // namespace

// --- XmlNode ---------------------------------------------------------------------------------

NodeType XmlNode::nodeType() const {
    switch ((*m_state)[m_node].kind) {
    case Kind::Element:
        return NODE_ELEMENT;
    case Kind::Attribute:
        return NODE_ATTRIBUTE;
    case Kind::Text:
        return NODE_TEXT;
    case Kind::CData:
        return NODE_CDATA_SECTION;
    case Kind::Instruction:
        return NODE_PROCESSING_INSTRUCTION;
    case Kind::Comment:
        return NODE_COMMENT;
    case Kind::Document:
        return NODE_DOCUMENT;
    }
    return NODE_OTHER;
}

std::wstring XmlNode::nodeName() const {
    const Node& n = (*m_state)[m_node];
    switch (n.kind) {
    case Kind::Text:
        return L"#text";
    case Kind::CData:
        return L"#cdata-section";
    case Kind::Comment:
        return L"#comment";
    case Kind::Document:
        return L"#document";
    default:
        return Wide(m_state->names[n.name]);
    }
}

std::wstring XmlNode::nodeValue() const {
    const Node& n = (*m_state)[m_node];
    if (n.kind == Kind::Element || n.kind == Kind::Document) return std::wstring();
    return Wide(n.value);
}

void XmlNode::setNodeValue(const std::wstring& value) {
    Node& n = (*m_state)[m_node];
    switch (n.kind) {
    case Kind::Attribute:
    case Kind::Text:
    case Kind::CData:
        n.value.clear();
        detail::AppendXmlUtf8(n.value, value);
        return;
    case Kind::Comment: {
        std::string utf8 = XmlUtf8FromWide(value);
        if (utf8.find("--") != std::string::npos || (!utf8.empty() && utf8.back() == '-'))
            throw XmlDomError("a comment cannot hold \"--\" or end in '-'");
        n.value = std::move(utf8);
        return;
    }
    default:
        throw XmlDomError("this node has no value to set");
    }
}

std::wstring XmlNode::text() const { return Wide(TextUnder(*m_state, m_node)); }

std::wstring XmlNode::xml() const {
    std::string utf8 = xmlUtf8();
    return WideFromUtf8(utf8.data(), utf8.size());
}

std::string XmlNode::xmlUtf8() const { return Serialize(*m_state, m_node, false); }

std::shared_ptr<XmlNode> XmlNode::parentNode() const {
    // An attribute in a map answers its element.
    return DocumentState::Wrap(m_state, (*m_state)[m_node].parent);
}

std::shared_ptr<XmlNode> XmlNode::firstChild() const { return DocumentState::Wrap(m_state, (*m_state)[m_node].first); }

std::shared_ptr<XmlNode> XmlNode::lastChild() const { return DocumentState::Wrap(m_state, (*m_state)[m_node].last); }

std::shared_ptr<XmlNode> XmlNode::previousSibling() const {
    const Node& n = (*m_state)[m_node];
    return n.kind == Kind::Attribute ? nullptr : DocumentState::Wrap(m_state, n.prev);
}

std::shared_ptr<XmlNode> XmlNode::nextSibling() const {
    const Node& n = (*m_state)[m_node];
    return n.kind == Kind::Attribute ? nullptr : DocumentState::Wrap(m_state, n.next);
}

bool XmlNode::hasChildNodes() const { return (*m_state)[m_node].first != kNone; }

std::shared_ptr<XmlNodeList> XmlNode::childNodes() const {
    return std::shared_ptr<XmlNodeList>(new XmlNodeList(m_state, m_node));
}

std::shared_ptr<XmlNamedNodeMap> XmlNode::attributes() const {
    if ((*m_state)[m_node].kind != Kind::Element) return nullptr;
    return std::shared_ptr<XmlNamedNodeMap>(new XmlNamedNodeMap(m_state, m_node));
}

std::shared_ptr<XmlDocument> XmlNode::ownerDocument() const {
    return std::static_pointer_cast<XmlDocument>(DocumentState::Wrap(m_state, 0));
}

std::shared_ptr<XmlNode> XmlNode::appendChild(const std::shared_ptr<XmlNode>& newChild) {
    return insertBefore(newChild, nullptr);
}

std::shared_ptr<XmlNode> XmlNode::insertBefore(const std::shared_ptr<XmlNode>& newChild,
                                               const std::shared_ptr<XmlNode>& refChild) {
    if (!newChild) throw XmlDomError("no node to insert");
    if (newChild->m_state != m_state) throw XmlDomError("the node belongs to another document");
    DocumentState& state = *m_state;
    const std::uint32_t parent = m_node;
    const std::uint32_t child = newChild->m_node;
    const Kind parentKind = state[parent].kind;
    const Kind childKind = state[child].kind;

    if (parentKind != Kind::Element && parentKind != Kind::Document)
        throw XmlDomError("this node cannot have children");
    if (childKind == Kind::Attribute || childKind == Kind::Document)
        throw XmlDomError("this kind of node cannot be inserted as a child");
    if (parentKind == Kind::Document) {
        if (IsCharacterNode(childKind)) throw XmlDomError("text cannot stand at the top level");
        if (childKind == Kind::Element) {
            for (std::uint32_t c = state[parent].first; c != kNone; c = state[c].next)
                if (state[c].kind == Kind::Element && c != child)
                    throw XmlDomError("only one top-level element is allowed");
        }
    }
    std::uint32_t ref = kNone;
    if (refChild) {
        // An attribute names its element as parent, but is no child of it.
        if (refChild->m_state != m_state || state[refChild->m_node].parent != parent ||
            state[refChild->m_node].kind == Kind::Attribute)
            throw XmlDomError("the reference node is not a child of this node");
        ref = refChild->m_node;
    }
    for (std::uint32_t p = parent; p != kNone; p = state[p].parent)
        if (p == child) throw XmlDomError("a node cannot be inserted under itself");
    if (ref == child) return newChild;

    if (state[child].parent != kNone) state.UnlinkChild(child);
    state.LinkChild(parent, child, ref);
    return newChild;
}

std::shared_ptr<XmlNode> XmlNode::removeChild(const std::shared_ptr<XmlNode>& oldChild) {
    if (!oldChild || oldChild->m_state != m_state || (*m_state)[oldChild->m_node].parent != m_node ||
        (*m_state)[oldChild->m_node].kind == Kind::Attribute)
        throw XmlDomError("the node is not a child of this node");
    m_state->UnlinkChild(oldChild->m_node);
    return oldChild;
}

bool XmlNode::isSameNode(const std::shared_ptr<XmlNode>& other) const { return other && isSameNode(*other); }

// --- XmlElement ------------------------------------------------------------------------------

std::wstring XmlElement::getAttribute(const std::wstring& name) const {
    const std::uint32_t a = m_state->FindAttribute(m_node, m_state->FindName(name));
    return a == kNone ? std::wstring() : Wide((*m_state)[a].value);
}

bool XmlElement::hasAttribute(const std::wstring& name) const {
    return m_state->FindAttribute(m_node, m_state->FindName(name)) != kNone;
}

void XmlElement::setAttribute(const std::wstring& name, const std::wstring& value) {
    // The same result as createAttribute + setNamedItem, without the handles in between.
    DocumentState& state = *m_state;
    const std::uint32_t id = state.CheckedName(name, "attribute");
    std::uint32_t* link = &state[m_node].attributes;
    std::uint32_t last = kNone;
    while (*link != kNone) {
        Node& attr = state[*link];
        if (attr.name == id) {
            attr.value.clear();
            detail::AppendXmlUtf8(attr.value, value);
            return;
        }
        last = *link;
        link = &attr.next;
    }
    const std::uint32_t index = state.nodes.Add(Kind::Attribute);
    Node& attr = state[index];
    attr.name = id;
    detail::AppendXmlUtf8(attr.value, value);
    attr.parent = m_node;
    attr.prev = last;
    *link = index;
}

// --- XmlNodeList -----------------------------------------------------------------------------

long XmlNodeList::length() const {
    long n = 0;
    for (std::uint32_t c = (*m_state)[m_parent].first; c != kNone; c = (*m_state)[c].next) ++n;
    return n;
}

std::shared_ptr<XmlNode> XmlNodeList::item(long index) const {
    if (index < 0) return nullptr;
    std::uint32_t c = (*m_state)[m_parent].first;
    for (long i = 0; c != kNone && i < index; ++i) c = (*m_state)[c].next;
    return DocumentState::Wrap(m_state, c);
}

// --- XmlNamedNodeMap -------------------------------------------------------------------------

long XmlNamedNodeMap::length() const {
    long n = 0;
    for (std::uint32_t a = (*m_state)[m_element].attributes; a != kNone; a = (*m_state)[a].next) ++n;
    return n;
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::item(long index) const {
    if (index < 0) return nullptr;
    std::uint32_t a = (*m_state)[m_element].attributes;
    for (long i = 0; a != kNone && i < index; ++i) a = (*m_state)[a].next;
    return DocumentState::Wrap(m_state, a);
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::getNamedItem(const std::wstring& name) const {
    return DocumentState::Wrap(m_state, m_state->FindAttribute(m_element, m_state->FindName(name)));
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::setNamedItem(const std::shared_ptr<XmlNode>& attribute) {
    if (!attribute || (*attribute->m_state)[attribute->m_node].kind != Kind::Attribute)
        throw XmlDomError("only attributes can be added to an attribute map");
    if (attribute->m_state != m_state) throw XmlDomError("the attribute belongs to another document");
    DocumentState& state = *m_state;
    const std::uint32_t index = attribute->m_node;
    Node& attr = state[index];
    if (attr.parent == m_element) return nullptr;
    if (attr.parent != kNone) throw XmlDomError("the attribute is in use by another element");

    const std::uint32_t old = state.FindAttribute(m_element, attr.name);
    if (old == kNone) {
        state.AppendAttribute(m_element, index);
        return nullptr;
    }
    // Take the old one's place, so the order of the attributes stays as first written.
    Node& o = state[old];
    attr.parent = m_element;
    attr.prev = o.prev;
    attr.next = o.next;
    if (o.prev != kNone)
        state[o.prev].next = index;
    else
        state[m_element].attributes = index;
    if (o.next != kNone) state[o.next].prev = index;
    o.parent = o.prev = o.next = kNone;
    return DocumentState::Wrap(m_state, old);
}

std::shared_ptr<XmlNode> XmlNamedNodeMap::removeNamedItem(const std::wstring& name) {
    const std::uint32_t a = m_state->FindAttribute(m_element, m_state->FindName(name));
    if (a == kNone) return nullptr;
    m_state->UnlinkAttribute(a);
    return DocumentState::Wrap(m_state, a);
}

// --- XmlDocument -----------------------------------------------------------------------------

std::shared_ptr<XmlDocument> XmlDocument::Create() {
    auto state = std::make_shared<DocumentState>();
    return std::shared_ptr<XmlDocument>(new XmlDocument(state, 0));
}

std::shared_ptr<XmlElement> XmlDocument::createElement(const std::wstring& tagName) {
    const std::uint32_t node = m_state->NewElement(m_state->CheckedName(tagName, "element"));
    return std::static_pointer_cast<XmlElement>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlAttribute> XmlDocument::createAttribute(const std::wstring& name) {
    const std::uint32_t id = m_state->CheckedName(name, "attribute");
    const std::uint32_t node = m_state->nodes.Add(Kind::Attribute);
    (*m_state)[node].name = id;
    return std::static_pointer_cast<XmlAttribute>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlCharacterData> XmlDocument::createTextNode(const std::wstring& data) {
    const std::uint32_t node = m_state->nodes.Add(Kind::Text);
    detail::AppendXmlUtf8((*m_state)[node].value, data);
    return std::static_pointer_cast<XmlCharacterData>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlCharacterData> XmlDocument::createCDATASection(const std::wstring& data) {
    // The serialiser closes and reopens the section around every "]]>" it holds.
    const std::uint32_t node = m_state->nodes.Add(Kind::CData);
    detail::AppendXmlUtf8((*m_state)[node].value, data);
    return std::static_pointer_cast<XmlCharacterData>(DocumentState::Wrap(m_state, node));
}

std::shared_ptr<XmlElement> XmlDocument::documentElement() const {
    for (std::uint32_t c = (*m_state)[0].first; c != kNone; c = (*m_state)[c].next)
        if ((*m_state)[c].kind == Kind::Element)
            return std::static_pointer_cast<XmlElement>(DocumentState::Wrap(m_state, c));
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

namespace {

// Parses the text with libxml2, or, without `build`, only reads it through (the document comes
// back empty). Null on failure, with `error` filled in.
xmlDocPtr Parse(XmlParseError& error, const char* utf8, std::size_t size, bool build) {
    error = XmlParseError();
    auto fail = [&](int code, const std::wstring& reason, int line, int column) -> xmlDocPtr {
        error.errorCode = code;
        error.reason = reason;
        error.line = line;
        error.linepos = column;
        return nullptr;
    };
    if (size > static_cast<std::size_t>(INT_MAX)) return fail(-1, L"the text is too large", 0, 0);

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
    // parseError. Without a dictionary every name is the node's own.
    const int options = XML_PARSE_NONET | XML_PARSE_NODICT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlDocPtr parsed = xmlCtxtReadMemory(ctxt, utf8, static_cast<int>(size), nullptr, "UTF-8", options);
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

std::string Utf8(const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

std::string QualifiedName(const xmlChar* prefix, const xmlChar* name) {
    return prefix ? Utf8(prefix) + ":" + Utf8(name) : Utf8(name);
}

// Copies the parsed node and everything under it into the store; kNone for kinds the store
// does not hold.
std::uint32_t Copy(DocumentState& state, xmlNodePtr from) {
    std::uint32_t node = kNone;
    switch (from->type) {
    case XML_ELEMENT_NODE: {
        node = state.NewElement(state.Intern(QualifiedName(from->ns ? from->ns->prefix : nullptr, from->name)));
        for (xmlNsPtr ns = from->nsDef; ns; ns = ns->next) {
            const std::uint32_t attr = state.nodes.Add(Kind::Attribute);
            state[attr].name = state.Intern(ns->prefix ? "xmlns:" + Utf8(ns->prefix) : std::string("xmlns"));
            state[attr].value = Utf8(ns->href);
            state.AppendAttribute(node, attr);
        }
        for (xmlAttrPtr a = from->properties; a; a = a->next) {
            const std::uint32_t attr = state.nodes.Add(Kind::Attribute);
            state[attr].name = state.Intern(QualifiedName(a->ns ? a->ns->prefix : nullptr, a->name));
            // The content, with the references in the value resolved.
            xmlChar* content = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(a));
            state[attr].value = Utf8(content);
            xmlFree(content);
            state.AppendAttribute(node, attr);
        }
        for (xmlNodePtr c = from->children; c; c = c->next) {
            const std::uint32_t child = Copy(state, c);
            if (child != kNone) state.LinkChild(node, child, kNone);
        }
        return node;
    }
    case XML_TEXT_NODE:
        node = state.nodes.Add(Kind::Text);
        break;
    case XML_CDATA_SECTION_NODE:
        node = state.nodes.Add(Kind::CData);
        break;
    case XML_COMMENT_NODE:
        node = state.nodes.Add(Kind::Comment);
        break;
    case XML_PI_NODE:
        node = state.nodes.Add(Kind::Instruction);
        state[node].name = state.Intern(Utf8(from->name));
        state[node].hasData = from->content != nullptr;
        break;
    default:
        return kNone;
    }
    state[node].value = Utf8(from->content);
    return node;
}

}  // namespace

bool XmlDocument::checkXMLUtf8(const std::string& utf8) {
    return CheckXmlUtf8(utf8.data(), utf8.size(), m_state->parseError);
}

bool XmlDocument::CheckXmlUtf8(const char* text, std::size_t size, XmlParseError& error) {
    detail::StartParser();
    xmlDocPtr parsed = Parse(error, text, size, false);
    if (!parsed) return false;
    xmlFreeDoc(parsed);
    return true;
}

bool XmlDocument::loadXMLUtf8(const std::string& utf8) {
    xmlDocPtr parsed = Parse(m_state->parseError, utf8.data(), utf8.size(), true);
    if (!parsed) return false;
    DocumentState& state = *m_state;
    std::vector<std::uint32_t> copies;
    try {
        for (xmlNodePtr c = parsed->children; c; c = c->next) {
            const std::uint32_t copy = Copy(state, c);
            if (copy != kNone) copies.push_back(copy);
        }
    } catch (...) {
        xmlFreeDoc(parsed);
        throw;
    }
    xmlFreeDoc(parsed);
    // The old content leaves the tree (handles on it stay valid); the copies take its place.
    while (state[0].first != kNone) state.UnlinkChild(state[0].first);
    for (std::uint32_t copy : copies) state.LinkChild(0, copy, kNone);
    return true;
}

void XmlDocument::save(const std::wstring& path) const {
    std::string target;
    if (path.empty() || !base::encodings::StrictUtf8FromWide(path, target)) throw XmlDomError("invalid file path");
    for (char& ch : target)
        if (ch == '\\') ch = '/';
    const std::string bytes = Serialize(*m_state, m_node, true);

    // Saved documents are read back by the next step of the same run: whole or absent is enough.
    if (int err = base::files::WriteFileAtomically(target, bytes.data(), bytes.size(), 0666, base::files::Sync::None))
        throw XmlDomError("cannot write " + target + ": " + std::strerror(err));
}

}  // namespace xmldom
