// The XML document the movie description is built in.

#include "TempDir.h"
#include "base/encodings/TextEncoding.h"
#include "base/files/WholeFile.h"
#include "xmldom/XmlDom.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace xmldom;

namespace {

std::string U8(const std::wstring& text) { return base::encodings::Utf8FromWide(text); }

std::string ReadFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(0, base::files::ReadWholeFile(path, bytes, 1 << 20)) << path;
    return std::string(bytes.begin(), bytes.end());
}

std::string X(const std::shared_ptr<XmlNode>& node) { return U8(node->xml()); }

struct Doc {
    std::shared_ptr<XmlDocument> doc = XmlDocument::Create();
    std::shared_ptr<XmlElement> root;
    Doc() {
        root = doc->createElement(L"r");
        doc->appendChild(root);
    }
    std::shared_ptr<XmlAttribute> Attr(const std::wstring& name, const std::wstring& value) {
        auto a = doc->createAttribute(name);
        a->setValue(value);
        return a;
    }
};

TEST(XmlDom, AttributeMapKeepsInsertionOrderAndReplacesInPlace) {
    Doc d;
    auto map = d.root->attributes();
    EXPECT_EQ(map->setNamedItem(d.Attr(L"b", L"1")), nullptr);
    map->setNamedItem(d.Attr(L"a", L"2"));
    map->setNamedItem(d.Attr(L"c", L"3"));
    auto replaced = map->setNamedItem(d.Attr(L"a", L"new"));
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(U8(replaced->nodeValue()), "2");
    EXPECT_EQ(replaced->parentNode(), nullptr);
    EXPECT_EQ(X(d.root), "<r b=\"1\" a=\"new\" c=\"3\"/>");
    EXPECT_EQ(map->length(), 3);
    EXPECT_EQ(U8(map->item(1)->nodeName()), "a");
    EXPECT_EQ(U8(map->getNamedItem(L"c")->nodeValue()), "3");
    EXPECT_EQ(map->getNamedItem(L"zz"), nullptr);

    // An attribute can belong to one element only.
    auto other = d.doc->createElement(L"o");
    d.root->appendChild(other);
    EXPECT_THROW(other->attributes()->setNamedItem(map->item(0)), XmlDomError);
    EXPECT_THROW(map->setNamedItem(d.doc->createElement(L"e")), XmlDomError);

    ASSERT_NE(map->removeNamedItem(L"b"), nullptr);
    EXPECT_EQ(X(d.root), "<r a=\"new\" c=\"3\"><o/></r>");
}

TEST(XmlDom, ValuesAreTextNotMarkup) {
    Doc d;
    d.root->attributes()->setNamedItem(d.Attr(L"v", L"a><b &amp; \"q\" 'x' \t\n\r"));
    d.root->appendChild(d.doc->createTextNode(L"1 < 2 && 3 > 2"));
    EXPECT_EQ(U8(d.root->getAttribute(L"v")), "a><b &amp; \"q\" 'x' \t\n\r");
    const std::wstring xml = d.doc->xml();
    ASSERT_TRUE(d.doc->loadXML(xml)) << U8(d.doc->parseError().reason);
    auto root = d.doc->documentElement();
    EXPECT_EQ(U8(root->getAttribute(L"v")), "a><b &amp; \"q\" 'x' \t\n\r");
    EXPECT_EQ(U8(root->text()), "1 < 2 && 3 > 2");
    EXPECT_EQ(d.doc->xml(), xml);
}

TEST(XmlDom, ForbiddenCharactersAreDroppedAndCDataSplitsAtItsEnd) {
    Doc d;
    std::wstring bad = L"a";
    for (wchar_t c : {0x0, 0x1, 0x8, 0xB, 0xC, 0xE, 0x1F, 0xD800, 0xDFFF, 0xFFFE, 0xFFFF, 0x110000}) {
        bad.push_back(c);
        bad.push_back(L'.');
    }
    bad += L"\tb\u00e9\U0001F600";
    auto cdata = d.doc->createCDATASection(bad + L"]]>x]]]>y");
    d.root->appendChild(cdata);
    d.root->attributes()->setNamedItem(d.Attr(L"v", bad));
    // A pair of surrogates held as two units is one character.
    d.root->appendChild(d.doc->createTextNode(std::wstring(L"\xD83D\xDE00")));

    ASSERT_TRUE(d.doc->loadXML(d.doc->xml())) << U8(d.doc->parseError().reason);
    auto root = d.doc->documentElement();
    EXPECT_EQ(U8(root->getAttribute(L"v")), "a............\tb\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(U8(root->text()), "a............\tb\xC3\xA9\xF0\x9F\x98\x80]]>x]]]>y\xF0\x9F\x98\x80");
}

// Values short enough to be kept once per document and longer ones, set, replaced, read back,
// detached and freed with the document: each element keeps its own last value.
TEST(XmlDom, SetAttributeKeepsEachElementsLastValue) {
    const std::wstring shared(24, L'7'), unshared(25, L'8');
    struct Case {
        std::wstring first, second;
    } cases[] = {
        {L"0", L"1"},      {L"0", unshared},  {unshared, L"0"},     {shared, shared},
        {L"", L"x\u00e9"}, {L"a\x1 b", L"0"}, {L"\U0001F600", L""}, {unshared + L"9", unshared},
    };
    Doc d;
    std::vector<std::shared_ptr<XmlElement>> elements;
    for (const Case& c : cases) {
        auto e = d.doc->createElement(L"e");
        d.root->appendChild(e);
        e->setAttribute(L"v", c.first);
        e->setAttribute(L"w", c.first);
        e->setAttribute(L"v", c.second);
        elements.push_back(e);
    }
    // The same value through the attribute node, and an attribute taken away while others share
    // its value.
    elements[0]->attributes()->getNamedItem(L"w")->setNodeValue(L"0");
    ASSERT_NE(elements[1]->attributes()->removeNamedItem(L"w"), nullptr);

    ASSERT_TRUE(d.doc->loadXML(d.doc->xml())) << U8(d.doc->parseError().reason);
    auto loaded = d.doc->documentElement()->childNodes();
    ASSERT_EQ(loaded->length(), static_cast<long>(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        auto e = std::static_pointer_cast<XmlElement>(loaded->item(static_cast<long>(i)));
        std::wstring second = cases[i].second, first = cases[i].first;
        if (i == 5) first = L"a b";
        EXPECT_EQ(e->getAttribute(L"v"), second) << i;
        if (i == 0) first = L"0";
        if (i == 1)
            EXPECT_FALSE(e->hasAttribute(L"w"));
        else
            EXPECT_EQ(e->getAttribute(L"w"), first) << i;
    }
    // A name refused once is refused again.
    EXPECT_THROW(d.root->setAttribute(L"1x", L"0"), XmlDomError);
    EXPECT_THROW(d.root->setAttribute(L"1x", L"0"), XmlDomError);
}

TEST(XmlDom, InsertBeforeAppendAndMove) {
    Doc d;
    auto a = d.doc->createElement(L"a");
    auto b = d.doc->createElement(L"b");
    auto c = d.doc->createElement(L"c");
    d.root->appendChild(a);
    d.root->insertBefore(b, a);
    d.root->insertBefore(c, nullptr);
    EXPECT_EQ(X(d.root), "<r><b/><a/><c/></r>");
    EXPECT_TRUE(d.root->firstChild()->isSameNode(b));
    EXPECT_EQ(d.root->childNodes()->length(), 3);
    EXPECT_TRUE(d.root->childNodes()->item(2)->isSameNode(c));
    EXPECT_EQ(d.root->childNodes()->item(3), nullptr);

    // Appending a node that is in the tree moves it.
    a->appendChild(b);
    EXPECT_EQ(X(d.root), "<r><a><b/></a><c/></r>");
    d.root->removeChild(c);
    EXPECT_EQ(X(d.root), "<r><a><b/></a></r>");
    EXPECT_EQ(c->parentNode(), nullptr);
    b->appendChild(c);  // a removed node can come back
    EXPECT_EQ(X(d.root), "<r><a><b><c/></b></a></r>");
}

TEST(XmlDom, TreeRulesAreEnforced) {
    Doc d;
    auto a = d.doc->createElement(L"a");
    auto b = d.doc->createElement(L"b");
    d.root->appendChild(a);
    a->appendChild(b);
    auto other = XmlDocument::Create();
    struct Case {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"cycle", [&] { b->appendChild(a); }},
        {"self", [&] { a->appendChild(a); }},
        {"second root", [&] { d.doc->appendChild(d.doc->createElement(L"x")); }},
        {"text at top", [&] { d.doc->appendChild(d.doc->createTextNode(L"t")); }},
        {"attribute as child", [&] { a->appendChild(d.doc->createAttribute(L"n")); }},
        {"other document", [&] { a->appendChild(other->createElement(L"x")); }},
        {"ref not a child", [&] { d.root->insertBefore(d.doc->createElement(L"x"), b); }},
        {"remove non-child", [&] { d.root->removeChild(b); }},
        {"child of text", [&] { d.doc->createTextNode(L"t")->appendChild(d.doc->createElement(L"x")); }},
        {"null", [&] { a->appendChild(nullptr); }},
        {"bad element name", [&] { d.doc->createElement(L"1a"); }},
        {"empty element name", [&] { d.doc->createElement(L""); }},
        {"bad attribute name", [&] { d.doc->createAttribute(L"a b"); }},
        {"value of element", [&] { a->setNodeValue(L"x"); }},
        {"attribute as reference",
         [&] {
             a->setAttribute(L"k", L"v");
             a->insertBefore(d.doc->createElement(L"x"), a->attributes()->item(0));
         }},
    };
    for (const auto& c : cases) EXPECT_THROW(c.call(), XmlDomError) << c.what;
    EXPECT_EQ(X(d.root), "<r><a k=\"v\"><b/></a></r>");
    // Nodes at the same place of two documents are not the same node.
    EXPECT_FALSE(d.doc->isSameNode(*other));
    EXPECT_FALSE(d.root->isSameNode(other->createElement(L"r")));
}

// The escaping where it could go wrong: the same value as an attribute in the document, the same
// in the markup of the element alone (non-ASCII as character references there) and as text.
TEST(XmlDom, SerialisationEscapesValuesAndText) {
    struct Case {
        const wchar_t* value;
        const char* inDocument;
        const char* inElement;
        const char* text;
    } cases[] = {
        {L"", "", "", ""},
        {L"<>&\"'", "&lt;&gt;&amp;&quot;'", "&lt;&gt;&amp;&quot;'", "&lt;&gt;&amp;\"'"},
        {L"a\t\n\r b", "a&#9;&#10;&#13; b", "a&#9;&#10;&#13; b", "a\t\n&#13; b"},
        {L"&amp;&#10;", "&amp;amp;&amp;#10;", "&amp;amp;&amp;#10;", "&amp;amp;&amp;#10;"},
        {L"]]>", "]]&gt;", "]]&gt;", "]]&gt;"},
        {L"\x7F\x80\u00e9\u4e2d\U0001F600", "\x7F\xC2\x80\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80",
         "\x7F&#x80;&#xE9;&#x4E2D;&#x1F600;", "\x7F\xC2\x80\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"},
        {L"a\x1"
         L"\xFFFE"
         L"\xD800"
         L"b",
         "ab", "ab", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.value));
        Doc d;
        auto e = d.doc->createElement(L"e");
        d.root->appendChild(e);
        e->setAttribute(L"v", c.value);
        e->appendChild(d.doc->createTextNode(c.value));
        const std::string text = c.text;
        EXPECT_EQ(d.doc->xmlUtf8(), "<r><e v=\"" + std::string(c.inDocument) + "\">" + text + "</e></r>\n");
        EXPECT_EQ(e->xmlUtf8(), "<e v=\"" + std::string(c.inElement) + "\">" + text + "</e>");
        EXPECT_EQ(e->attributes()->item(0)->xmlUtf8(), "v=\"" + std::string(c.inElement) + "\"");
        EXPECT_EQ(e->firstChild()->xmlUtf8(), text);
    }
}

TEST(XmlDom, CDataSectionsSplitWhereTheyWouldClose) {
    const struct {
        const wchar_t* data;
        const char* xml;
    } cases[] = {
        {L"", "<![CDATA[]]>"},
        {L"<&>", "<![CDATA[<&>]]>"},
        {L"]]>", "<![CDATA[]]]]><![CDATA[>]]>"},
        {L"a]]>b]]>", "<![CDATA[a]]]]><![CDATA[>b]]]]><![CDATA[>]]>"},
        {L"]]]>>", "<![CDATA[]]]]]><![CDATA[>>]]>"},
        {L"]] >]", "<![CDATA[]] >]]]>"},
    };
    Doc d;
    for (const auto& c : cases) {
        auto cdata = d.doc->createCDATASection(c.data);
        d.root->appendChild(cdata);
        EXPECT_EQ(cdata->xmlUtf8(), c.xml) << U8(c.data);
        EXPECT_EQ(cdata->data(), c.data);
    }
}

// A loaded text keeps its comments, instructions and white space, and an element without content
// is written short; an empty text still makes an element with content.
TEST(XmlDom, LoadedTextSerialisesAsRead) {
    Doc d;
    ASSERT_TRUE(
        d.doc->loadXMLUtf8("<?xml version=\"1.0\" standalone=\"yes\"?><!-- top --><?pi data?>"
                           "<a b='x\"y' c=\"&#10;&lt;&#x3c;\">\n <b></b><!--in--><?p?><?q ?>"
                           "<![CDATA[<raw>]]>t&amp;\xC3\xA9</a><?end?>\n"))
        << U8(d.doc->parseError().reason);
    EXPECT_EQ(d.doc->xmlUtf8(),
              "<!-- top -->\n<?pi data?>\n"
              "<a b=\"x&quot;y\" c=\"&#10;&lt;&lt;\">\n <b/><!--in--><?p?><?q ?><![CDATA[<raw>]]>t&amp;\xC3\xA9</a>\n"
              "<?end?>\n");
    auto a = d.doc->documentElement();
    EXPECT_EQ(U8(a->getAttribute(L"c")), "\n<<");
    EXPECT_EQ(U8(a->text()), "\n <raw>t&\xC3\xA9");
    EXPECT_EQ(U8(d.doc->firstChild()->nodeValue()), " top ");
    EXPECT_EQ(d.doc->childNodes()->item(1)->nodeType(), NODE_PROCESSING_INSTRUCTION);
    EXPECT_EQ(U8(d.doc->childNodes()->item(1)->nodeName()), "pi");
    EXPECT_EQ(U8(d.doc->childNodes()->item(1)->nodeValue()), "data");

    // Prefixes stay on the names and declarations come first.
    ASSERT_TRUE(d.doc->loadXMLUtf8("<x:a xmlns:x=\"urn:x\" x:b=\"1\" xml:lang=\"en\"><x:c/></x:a>"));
    EXPECT_EQ(d.doc->xmlUtf8(), "<x:a xmlns:x=\"urn:x\" x:b=\"1\" xml:lang=\"en\"><x:c/></x:a>\n");
    EXPECT_EQ(U8(d.doc->documentElement()->nodeName()), "x:a");
    EXPECT_EQ(U8(d.doc->documentElement()->getAttribute(L"xml:lang")), "en");

    Doc e;
    e.root->appendChild(e.doc->createTextNode(L""));
    EXPECT_EQ(e.doc->xmlUtf8(), "<r></r>\n");
    EXPECT_EQ(XmlDocument::Create()->xmlUtf8(), "");
}

// Serialising, reading the text and freeing do not recurse: any depth the API can build works.
TEST(XmlDom, DeepTreesSerialise) {
    const int depth = 200000;
    Doc d;
    // Built from the leaf up, so each insertion finds its parent at the top.
    std::shared_ptr<XmlNode> top = d.doc->createTextNode(L"x");
    for (int i = 0; i < depth; ++i) {
        auto e = d.doc->createElement(L"e");
        e->appendChild(top);
        top = e;
    }
    d.root->appendChild(top);
    const std::string xml = d.doc->xmlUtf8();
    EXPECT_EQ(xml.size(), 9u + 7u * depth);
    EXPECT_EQ(xml.substr(xml.size() - 13), "</e></e></r>\n");
    EXPECT_EQ(U8(d.root->text()), "x");
}

TEST(XmlDom, FailedLoadKeepsContentAndTellsWhy) {
    Doc d;
    d.root->setAttribute(L"k", L"v");
    const std::wstring before = d.doc->xml();
    struct Case {
        const wchar_t* text;
        const char* reasonPart;
    } cases[] = {
        {L"<a><b></a>", ""},  {L"", ""},
        {L"<a>&#1;</a>", ""}, {L"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", "document type"},
        {L"<a/><b/>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(d.doc->loadXML(c.text)) << U8(c.text);
        EXPECT_NE(d.doc->parseError().errorCode, 0);
        EXPECT_FALSE(d.doc->parseError().reason.empty());
        EXPECT_NE(U8(d.doc->parseError().reason).find(c.reasonPart), std::string::npos)
            << U8(d.doc->parseError().reason);
        EXPECT_EQ(d.doc->xml(), before);
    }
    EXPECT_TRUE(d.doc->loadXML(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><z a=\"\u00e9\"/>"));
    EXPECT_EQ(d.doc->parseError().errorCode, 0);
    EXPECT_EQ(U8(d.doc->documentElement()->getAttribute(L"a")), "\xC3\xA9");
    // Handles on the replaced content stay usable; they are simply out of the document.
    EXPECT_EQ(X(d.root), "<r k=\"v\"/>");
    EXPECT_EQ(d.root->parentNode(), nullptr);
}

// The check reads a text as a load would, with the same verdict and error, and keeps the content.
TEST(XmlDom, CheckGivesTheLoadsVerdictWithoutLoading) {
    std::string nested;
    for (int i = 0; i < 300; ++i) nested += "<a>";
    for (int i = 0; i < 300; ++i) nested += "</a>";
    const std::string cases[] = {
        "<a><b></a>",
        "",
        "<a>&#1;</a>",
        "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",
        "<a/><b/>",
        nested,  // deeper than the reader goes
        "<a>\n<b x=\"&lt;\"><![CDATA[<]]></b>\n<!-- c --><?p q?></a>\n",
        "<a><![CDATA[" + std::string(11u * 1024u * 1024u, 'x') + "]]></a>",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 60));
        Doc checked, loaded;
        checked.root->setAttribute(L"k", L"v");
        const std::wstring before = checked.doc->xml();
        const bool ok = checked.doc->checkXMLUtf8(text);
        EXPECT_EQ(ok, loaded.doc->loadXMLUtf8(text));
        EXPECT_EQ(checked.doc->parseError().errorCode, loaded.doc->parseError().errorCode);
        EXPECT_EQ(U8(checked.doc->parseError().reason), U8(loaded.doc->parseError().reason));
        EXPECT_EQ(checked.doc->parseError().line, loaded.doc->parseError().line);
        EXPECT_EQ(checked.doc->xml(), before);
    }
}

TEST(XmlDom, SaveWritesUtf8WithDeclarationAndNoPartialFile) {
    CScratchFolder folder;
    Doc d;
    d.root->setAttribute(L"t", L"\u00e9\u4e2d");
    d.doc->save(folder / L"out.xml");
    EXPECT_EQ(ReadFile(folder.Native() + "/out.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r t=\"\xC3\xA9\xE4\xB8\xAD\"/>\n");
    // Backslashes separate folders as well.
    d.doc->save(folder.Path() + L"\\back.xml");
    EXPECT_TRUE(std::filesystem::exists(folder.Native() + "/back.xml"));

    EXPECT_THROW(d.doc->save(folder / L"missing/out.xml"), XmlDomError);
    EXPECT_THROW(d.doc->save(L""), XmlDomError);
    std::size_t files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.Native())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u);  // no temporary left behind
}

}  // namespace
