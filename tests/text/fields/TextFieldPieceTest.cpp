// Text field pieces: the "htmlText" definition, its markup, the button of linked text and the
// frame track that shows the piece.
#include "FontsFixture.h"
#include "TempDir.h"

#include "genswf/movie/Movie.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/text/TextFieldPiece.h"
#include "genswf/text/TextStyle.h"
#include "genswf/utils/Exceptions.h"
#include "xmldom/XmlDom.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace genswf;
using namespace fontstest;

namespace {

class FakeField : public CTextFieldPieceSource {
public:
    CMovie* GetMovie() const override { return movie.get(); }
    const std::wstring& GetText() const override { return text; }
    std::shared_ptr<TextStyle> GetStyle() const override { return style; }
    const CMatrix& GetMatrix() const override { return matrix; }
    float GetFieldWidth() const override { return width; }
    float GetFieldHeight() const override { return height; }
    float ScaleY(float points) const override { return points * scale; }
    LONG GetSlideId() const override { return slideId; }
    void AddHyperlinkSource(const std::shared_ptr<CHyperlinkSource>& source) override { links.push_back(source); }

    std::shared_ptr<CMovie> movie = CMovie::CreateEmpty();
    std::wstring text = L"Hello";
    std::shared_ptr<TextStyle> style;
    CMatrix matrix;
    float width = 50.0f, height = 20.0f, scale = 1.0f;
    LONG slideId = 4;
    std::vector<std::shared_ptr<CHyperlinkSource>> links;
};

class TextFieldPieceTest : public ::testing::Test {
protected:
    void SetUp() override {
        fonts.Add(L"Plain", SimpleFont("Plain", L"Helo<&>]"));
        field.movie->GetObjects();  // the movie's id counters start at 0 for this test
        auto font = SwfFont::Create(field.movie.get(), L"Plain", false, false, 1);
        ASSERT_TRUE(font);
        field.style = TextStyle::Create(font, nullptr);
        field.style->SetSize(12.0f);
        parent = field.movie->CreateElement(field.movie->GetObjectsElement(), L"objects");
    }

    // The commands of the piece's track, as written into a layer.
    std::wstring Frames(const CTextFieldPiece& piece) {
        auto layer = field.movie->CreateElement(field.movie->GetLayersElement(), L"layer");
        auto list = CreateFrameList(field.movie.get());
        list->Add(piece.GetFrameTrack());
        list->Write(layer, 0);
        return layer->xml();
    }

    static std::shared_ptr<CActionSettingList> OneLink() {
        auto list = CreateActionSettingList();
        list->Add(std::make_shared<CActionSetting>());
        return list;
    }

    FakeFonts fonts;
    FakeField field;
    XmlElementPtr parent;
};

TEST_F(TextFieldPieceTest, UnlinkedPieceIsOneTextFieldShownAtFrameZero) {
    field.matrix.SetTranslation(100.0f, 50.0f);
    CMatrix offset;
    offset.SetScale(2.0f, 2.0f);
    auto piece = CreateTextFieldPiece(&field, 0x0000FF, offset);
    EXPECT_EQ(L"txt0", piece->GetId());
    // The offset applies after the field's own placement.
    EXPECT_FLOAT_EQ(200.0f, piece->GetMatrix().tx);
    EXPECT_FLOAT_EQ(100.0f, piece->GetMatrix().ty);
    EXPECT_EQ(nullptr, piece->GetFrameTrack());

    piece->Write(parent);
    ASSERT_EQ(1, parent->childNodes()->length());
    EXPECT_EQ(
        L"<htmlText id=\"txt0\" x=\"0tw\" y=\"0tw\" width=\"1200tw\" height=\"600tw\" color=\"#ff0000\" "
        L"fontId=\"" +
            field.style->GetFont()->GetId() +
            L"\" fontSize=\"240tw\" multiline=\"0\" wordWrap=\"0\" selectable=\"0\">"
            L"<![CDATA[Hello]]></htmlText>",
        parent->firstChild()->xml());
    ASSERT_NE(nullptr, piece->GetFrameTrack());
    const std::wstring frames = Frames(*piece);
    EXPECT_NE(std::wstring::npos, frames.find(L"objectId=\"txt0\"")) << frames;
    EXPECT_NE(std::wstring::npos, frames.find(L"<frame")) << frames;
    EXPECT_EQ(nullptr, piece->GetButton());
    EXPECT_TRUE(field.links.empty());
}

TEST_F(TextFieldPieceTest, SizesOfTheField) {
    struct Case {
        float width, height, scale;
        bool subscript;
        const wchar_t *widthTw, *heightTw, *fontSizeTw;
    } cases[] = {
        {0.0f, 0.0f, 1.0f, false, L"200tw", L"200tw", L"240tw"},
        {0.0f, 0.0f, 1.0f, true, L"200tw", L"200tw", L"160tw"},  // size 12 subscript writes size 8
        {30.5f, 1.0f, 0.5f, false, L"810tw", L"220tw", L"120tw"},
    };
    for (const Case& c : cases) {
        field.width = c.width;
        field.height = c.height;
        field.scale = c.scale;
        field.style->SetSubscript(c.subscript);
        auto piece = CreateTextFieldPiece(&field, 0, CMatrix());
        piece->Write(parent);
        auto element = std::dynamic_pointer_cast<xmldom::XmlElement>(parent->lastChild());
        ASSERT_TRUE(element);
        EXPECT_EQ(c.widthTw, element->getAttribute(L"width"));
        EXPECT_EQ(c.heightTw, element->getAttribute(L"height"));
        EXPECT_EQ(c.fontSizeTw, element->getAttribute(L"fontSize"));
    }
}

TEST_F(TextFieldPieceTest, LinkedTextIsUnderlinedOnceAndShownThroughAButton) {
    struct Case {
        bool linked, underlined;
        const wchar_t* markup;
    } cases[] = {
        {false, false, L"Hello"},
        {false, true, L"<U>Hello</U>"},
        {true, false, L"<U>Hello</U>"},
        {true, true, L"<U>Hello</U>"},
    };
    for (const Case& c : cases) {
        auto element = field.movie->CreateElement(field.movie->GetObjectsElement(), L"objects");
        field.links.clear();
        field.style->SetUnderline(c.underlined);
        auto piece = CreateTextFieldPiece(&field, 0, CMatrix());
        if (c.linked) piece->SetActionSettings(OneLink());
        piece->Write(element);
        auto text = element->firstChild();
        EXPECT_EQ(c.markup, text->text()) << c.linked << c.underlined;
        if (!c.linked) {
            EXPECT_EQ(1, element->childNodes()->length());
            continue;
        }
        // The button follows the text field under the same parent; every state shows the field.
        ASSERT_EQ(2, element->childNodes()->length());
        auto button = std::dynamic_pointer_cast<xmldom::XmlElement>(element->lastChild());
        ASSERT_TRUE(button);
        EXPECT_EQ(L"button", button->tagName());
        EXPECT_EQ(L"push", button->getAttribute(L"type"));
        ASSERT_NE(nullptr, piece->GetButton());
        EXPECT_EQ(piece->GetButton()->GetId(), button->getAttribute(L"id"));
        for (const wchar_t* state : {L"up", L"over", L"down", L"hit"})
            EXPECT_EQ(piece->GetId(), button->getAttribute(state)) << state;
        // The hyperlink pass gets the button, its records and the slide.
        ASSERT_EQ(1u, field.links.size());
        EXPECT_EQ(piece->GetButton(), field.links[0]->button);
        EXPECT_EQ(piece->GetActionSettings(), field.links[0]->actionSettings);
        EXPECT_EQ(4, field.links[0]->slideId);
        const std::wstring frames = Frames(*piece);
        EXPECT_NE(std::wstring::npos, frames.find(L"objectId=\"" + piece->GetButton()->GetId() + L"\"")) << frames;
        EXPECT_EQ(std::wstring::npos, frames.find(L"objectId=\"" + piece->GetId() + L"\"")) << frames;
    }
}

TEST_F(TextFieldPieceTest, AnEmptyActionListIsNoLink) {
    auto piece = CreateTextFieldPiece(&field, 0, CMatrix());
    piece->SetActionSettings(CreateActionSettingList());
    piece->Write(parent);
    EXPECT_EQ(1, parent->childNodes()->length());
    EXPECT_EQ(nullptr, piece->GetButton());
    EXPECT_EQ(L"Hello", parent->firstChild()->text());
}

TEST_F(TextFieldPieceTest, MarkupCharactersStayTextInsideTheSection) {
    field.text = L"H<e&l>]]>o";
    auto piece = CreateTextFieldPiece(&field, 0, CMatrix());
    piece->Write(parent);
    EXPECT_EQ(L"H&lt;e&amp;l&gt;]]&gt;o", parent->firstChild()->text());
    // The whole document still reads back.
    auto reread = xmldom::XmlDocument::Create();
    EXPECT_TRUE(reread->loadXML(field.movie->GetDocument()->xml()));
}

TEST_F(TextFieldPieceTest, StyleWithoutAFontIsAnError) {
    field.style = TextStyle::Create(nullptr, nullptr);
    auto piece = CreateTextFieldPiece(&field, 0, CMatrix());
    try {
        piece->Write(parent);
        FAIL() << "written without a font";
    } catch (const CBaseException& e) {
        EXPECT_NE(std::wstring::npos, e.GetMessage().find(L" in file genswf/src/text/TextFieldPiece.cpp at line "))
            << std::string(e.GetMessage().begin(), e.GetMessage().end());
    }
    EXPECT_EQ(0, parent->childNodes()->length());  // nothing half-written
}

}  // namespace

namespace {

// A movie of one font and one linked piece, saved and compiled by the command-line compiler:
// what the piece writes is a text field the compiler accepts.
TEST(TextFieldPieceMovie, WrittenPieceCompiles) {
#ifndef BC_TARNQUILL_CLI
    GTEST_SKIP() << "no compiler tool in this build";
#else
    FakeFonts fonts;
    fonts.Add(L"Plain", SimpleFont("Plain", L"Helo<&>"));
    FakeField field;
    field.movie->SetMovieSize(200, 100);
    field.movie->WriteMovieAttributes(200, 100, 10, 0xFFFFFF, true);
    auto font = SwfFont::Create(field.movie.get(), L"Plain", false, false, 1);
    ASSERT_TRUE(font);
    for (wchar_t c : std::wstring(L"Helo<&>")) font->AddChar(c);
    field.style = TextStyle::Create(font, nullptr);
    field.style->SetSize(18.0f);
    field.text = L"He<l&o>";
    field.matrix.SetTranslation(20.0f, 30.0f);

    const CScratchFolder scratch;
    const std::string& folder = scratch.Native();
    const std::wstring& wideFolder = scratch.Path();
    font->SaveFontFile(wideFolder);
    ASSERT_TRUE(font->IsFileSaved());
    font->WriteXml(field.movie->GetObjectsElement());

    auto piece = CreateTextFieldPiece(&field, 0x0000FF, CMatrix());
    auto list = CreateActionSettingList();
    list->Add(std::make_shared<CActionSetting>());
    piece->SetActionSettings(list);
    piece->Write(field.movie->GetObjectsElement());
    auto layer = field.movie->WriteLayer(field.movie->GetLayersElement());
    auto frames = CreateFrameList(field.movie.get());
    frames->Add(piece->GetFrameTrack());
    frames->Write(layer, 0);
    field.movie->SaveXml(wideFolder + L"/movie.xml");

    const std::string command = std::string("'") + BC_TARNQUILL_CLI + "' '" + folder + "/movie.xml' -o '" + folder +
                                "/movie.swf' > '" + folder + "/log.txt' 2>&1";
    EXPECT_EQ(0, std::system(command.c_str())) << "see " << folder << "/log.txt";
#endif
}

}  // namespace
