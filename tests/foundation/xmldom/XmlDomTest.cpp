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
    };
    for (const auto& c : cases) EXPECT_THROW(c.call(), XmlDomError) << c.what;
    EXPECT_EQ(X(d.root), "<r><a><b/></a></r>");
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
