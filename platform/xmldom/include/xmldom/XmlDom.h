#pragma once
// A small DOM document: the members the movie description is written through (create element,
// attribute and CDATA; append and insert-before; attribute map; serialise; load from text; save
// to a path). The nodes live in the document's own store; text is parsed with libxml2 and copied
// in.
//
// Nodes are handles: every accessor returns a new std::shared_ptr to a handle of the same
// underlying node, so compare nodes with isSameNode, not by pointer. A handle keeps its
// document alive; nodes taken out of the tree stay valid until the document goes.
//
// Serialisation is UTF-8 without indentation: an element without children as <a/>; in attribute
// values < > & " and tab, line feed, carriage return as references, in text < > & and carriage
// return; a CDATA section holding "]]>" is closed after "]]" and reopened before ">". Inside the
// markup of a single node (not of the document) attribute values carry non-ASCII characters as
// hexadecimal character references.
//
// Text is wide (one code point per wchar_t). Characters XML 1.0 forbids (most C0 controls,
// surrogates, U+FFFE, U+FFFF, beyond U+10FFFF) are dropped when text enters the document, so
// whatever is put in, the document serialises as well-formed XML.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace xmldom {

enum NodeType {
    NODE_ELEMENT = 1,
    NODE_ATTRIBUTE = 2,
    NODE_TEXT = 3,
    NODE_CDATA_SECTION = 4,
    NODE_PROCESSING_INSTRUCTION = 7,
    NODE_COMMENT = 8,
    NODE_DOCUMENT = 9,
    NODE_OTHER = 0,
};

// A DOM call that cannot be carried out (bad name, wrong node kind, cycle, I/O failure).
class XmlDomError : public std::runtime_error {
public:
    explicit XmlDomError(const std::string& what) : std::runtime_error(what) {}
};

// Why the last loadXML failed.
struct XmlParseError {
    int errorCode = 0;    // 0: the last load succeeded (or none was made)
    std::wstring reason;  // the parser's message, without a trailing line feed
    int line = 0;
    int linepos = 0;
};

namespace detail {
struct DocumentState;
}

class XmlDocument;
class XmlNodeList;
class XmlNamedNodeMap;

class XmlNode {
public:
    virtual ~XmlNode() = default;

    NodeType nodeType() const;
    std::wstring nodeName() const;
    // Attribute value, text or CDATA content, comment; empty for elements and the document.
    std::wstring nodeValue() const;
    void setNodeValue(const std::wstring& value);
    // The concatenated text of the node and its descendants.
    std::wstring text() const;
    // The node's markup (for the document: its whole content, without a declaration).
    std::wstring xml() const;
    // The same as UTF-8, for large documents.
    std::string xmlUtf8() const;

    std::shared_ptr<XmlNode> parentNode() const;
    std::shared_ptr<XmlNode> firstChild() const;
    std::shared_ptr<XmlNode> lastChild() const;
    std::shared_ptr<XmlNode> previousSibling() const;
    std::shared_ptr<XmlNode> nextSibling() const;
    bool hasChildNodes() const;
    std::shared_ptr<XmlNodeList> childNodes() const;
    // The attribute map of an element; empty pointer for other nodes.
    std::shared_ptr<XmlNamedNodeMap> attributes() const;
    std::shared_ptr<XmlDocument> ownerDocument() const;

    // Moves newChild (detaching it first when it is in the tree) to the end of the children.
    std::shared_ptr<XmlNode> appendChild(const std::shared_ptr<XmlNode>& newChild);
    // Inserts before refChild, which must be a child of this node; empty refChild appends.
    std::shared_ptr<XmlNode> insertBefore(const std::shared_ptr<XmlNode>& newChild,
                                          const std::shared_ptr<XmlNode>& refChild);
    std::shared_ptr<XmlNode> removeChild(const std::shared_ptr<XmlNode>& oldChild);

    bool isSameNode(const std::shared_ptr<XmlNode>& other) const;
    bool isSameNode(const XmlNode& other) const { return m_state == other.m_state && m_node == other.m_node; }

protected:
    XmlNode(std::shared_ptr<detail::DocumentState> state, std::uint32_t node)
        : m_state(std::move(state)), m_node(node) {}

    std::shared_ptr<detail::DocumentState> m_state;
    std::uint32_t m_node;  // the node's index in the document's store

    friend struct detail::DocumentState;
    friend class XmlNamedNodeMap;
    friend class XmlNodeList;
};

class XmlElement : public XmlNode {
public:
    std::wstring tagName() const { return nodeName(); }
    // Empty when the attribute is absent.
    std::wstring getAttribute(const std::wstring& name) const;
    bool hasAttribute(const std::wstring& name) const;
    void setAttribute(const std::wstring& name, const std::wstring& value);

private:
    using XmlNode::XmlNode;
    friend struct detail::DocumentState;
};

class XmlAttribute : public XmlNode {
public:
    std::wstring name() const { return nodeName(); }
    std::wstring value() const { return nodeValue(); }
    void setValue(const std::wstring& value) { setNodeValue(value); }

private:
    using XmlNode::XmlNode;
    friend struct detail::DocumentState;
};

// Text, CDATA section and comment nodes.
class XmlCharacterData : public XmlNode {
public:
    std::wstring data() const { return nodeValue(); }

private:
    using XmlNode::XmlNode;
    friend struct detail::DocumentState;
};

// A live view of a node's children.
class XmlNodeList {
public:
    long length() const;
    std::shared_ptr<XmlNode> item(long index) const;  // empty pointer when out of range

private:
    XmlNodeList(std::shared_ptr<detail::DocumentState> state, std::uint32_t parent)
        : m_state(std::move(state)), m_parent(parent) {}
    std::shared_ptr<detail::DocumentState> m_state;
    std::uint32_t m_parent;
    friend class XmlNode;
};

// An element's attributes, in the order they were first added.
class XmlNamedNodeMap {
public:
    long length() const;
    std::shared_ptr<XmlNode> item(long index) const;
    std::shared_ptr<XmlNode> getNamedItem(const std::wstring& name) const;
    // Adds an unattached attribute node. A same-named attribute is replaced where it stands
    // (its position is kept) and returned; otherwise the new one goes last and the result is
    // empty.
    std::shared_ptr<XmlNode> setNamedItem(const std::shared_ptr<XmlNode>& attribute);
    std::shared_ptr<XmlNode> removeNamedItem(const std::wstring& name);

private:
    XmlNamedNodeMap(std::shared_ptr<detail::DocumentState> state, std::uint32_t element)
        : m_state(std::move(state)), m_element(element) {}
    std::shared_ptr<detail::DocumentState> m_state;
    std::uint32_t m_element;
    friend class XmlNode;
};

class XmlDocument : public XmlNode {
public:
    static std::shared_ptr<XmlDocument> Create();

    // New nodes belong to this document and are not yet in the tree.
    std::shared_ptr<XmlElement> createElement(const std::wstring& tagName);
    std::shared_ptr<XmlAttribute> createAttribute(const std::wstring& name);
    std::shared_ptr<XmlCharacterData> createTextNode(const std::wstring& data);
    std::shared_ptr<XmlCharacterData> createCDATASection(const std::wstring& data);

    std::shared_ptr<XmlElement> documentElement() const;

    // Replaces the content by the parsed text. On failure the content stays as it was, the
    // result is false and parseError() tells why. Documents with a DOCTYPE are refused.
    // Prefixed names keep their prefix ("x:a"); namespace declarations become attributes that
    // come before the element's others.
    bool loadXML(const std::wstring& text);
    bool loadXMLUtf8(const std::string& text);
    const XmlParseError& parseError() const;
    // Whether loadXMLUtf8 would accept the text, with the same limits and the same parseError,
    // but without building the tree: the content stays as it is.
    bool checkXMLUtf8(const std::string& text);
    // The same check on its own, safe on any thread: nothing of a document is touched.
    static bool CheckXmlUtf8(const char* text, std::size_t size, XmlParseError& error);

    // Writes the document as UTF-8 with an XML declaration. The file is written beside the
    // target and renamed over it, so a failure leaves no partial file. '\' counts as '/'.
    void save(const std::wstring& path) const;

private:
    using XmlNode::XmlNode;
    friend struct detail::DocumentState;
};

}  // namespace xmldom
