#pragma once
// A slide of text boxes in the in-memory host, the movie of it, and both text paths over its
// shapes: the text-frame model of a basic shape and the shape text index of a slide shape.

#include "DeckBuilder.h"
#include "TempDir.h"
#include "fonts/FontMetrics.h"
#include "genswf/fonts/FontManager.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/Shape.h"
#include "genswf/shapes/ShapeHolder.h"
#include "genswf/slides/Slide.h"
#include "genswf/text/ShapeTextIndex.h"
#include "genswf/text/SwfTextField.h"
#include "genswf/text/TextExportSupport.h"
#include "genswf/text/TextFrameContent.h"
#include "genswf/text/TextParagraph.h"
#include "genswf/text/TextPiece.h"
#include "genswf/text/TextSprite.h"
#include "genswf/text/TextStyle.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/host/PowerPointHost.h"
#include "powerpoint/layout/HostTextLayout.h"
#include "xmldom/XmlDom.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace textpaths {

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;

inline FontData TextFont(float size = 18.0f, const wchar_t* name = L"Arial") {
    FontData f;
    f.name = f.nameAscii = f.nameOther = name;
    f.size = size;
    return f;
}

// The text-frame path of one shape: its context, basic shape and text-frame model.
struct FramePath {
    std::shared_ptr<CShapeContext> context;
    std::shared_ptr<CBasicShape> shape;
    std::shared_ptr<CTextFrameContent> content;
};

// One slide with text boxes; the movie is made once the slide is built.
struct TextSlide {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = nullptr;
    CScratchFolder scratch;
    std::shared_ptr<CMovie> movie;

    explicit TextSlide(const wchar_t* version = L"11.0") {
        doc->version = version;
        doc->name = L"text.ppt";
        slide = doc->AddSlide();
        // The saved copy the export parses: one slide without shapes, so the parsed shapes give
        // no text rotation and no character styles to the shapes made in code.
        testdeck::Deck file;
        file.slides = {testdeck::Slide()};
        doc->fileBytes = file.SavedFile();
    }

    // A text box without insets, so the text starts at its frame.
    CHostShape* AddText(const std::wstring& name, float left, float top, float width, float height) {
        CHostShape* shape = slide->AddShape(msoTextBox, name, left, top, width, height);
        shape->data.hasTextFrame = msoTrue;
        TextData& t = shape->data.text;
        t.marginLeft = t.marginTop = t.marginRight = t.marginBottom = 0.0f;
        return shape;
    }

    // scale: movie units per point.
    void MakeMovie(float scale = 1.0f, bool textHyperlinks = false) {
        auto settings = CExportSettings::Create(doc->Presentation());
        settings->SetTempFolder(scratch.FolderPath());
        if (scale != 1.0f) settings->SetMovieSize(int(720 * scale + 0.5f), int(540 * scale + 0.5f));
        settings->SetTextHyperlinks(textHyperlinks);
        movie = CMovie::Create(settings);
    }

    CSlide* Slide() const { return movie->GetSlide(0).get(); }

    int IndexOf(const CHostShape* shape) const {
        for (std::size_t i = 0; i < slide->shapes.size(); ++i)
            if (slide->shapes[i] == shape) return int(i);
        return -1;
    }

    FramePath Frame(CHostShape* host) {
        FramePath path;
        const int index = IndexOf(host);
        path.context = CShapeContext::Create(Slide(), index);
        CComPtr<PowerPoint::Shape> itf = host->Interface();
        path.shape = std::make_shared<CTextBoxShape>(CreatePptShape(itf.Get()));
        path.shape->SetContext(path.context);
        CComPtr<PowerPoint::TextFrame> frame;
        EXPECT_EQ(S_OK, itf->get_TextFrame(&frame));
        path.content = CTextFrameContent::Create(CreatePptTextFrame(frame.Get()), path.shape.get());
        return path;
    }

    std::shared_ptr<CShape> SlideShape(CHostShape* host) {
        CComPtr<PowerPoint::Shape> itf = host->Interface();
        return CShape::Create(itf.Get(), Slide(), IndexOf(host));
    }

    // The host's own layout of a shape's text.
    static std::unique_ptr<fonts::layout::CTextLayout> Layout(const CHostShape* host) {
        auto layout = std::make_unique<fonts::layout::CTextLayout>();
        layout->SetInput(LayoutInputOf(host->data));
        return layout;
    }

    XmlElementPtr Parent() { return movie->CreateElement(movie->GetObjectsElement(), L"test"); }
};

inline std::string U8(const std::wstring& text) { return Utf8FromWide(text); }

// One drawn copy of a stretch of text as a path placed it.
struct Face {
    std::wstring text;
    CMatrix matrix;       // movie units, within the text's sprite
    float ascent = 0.0f;  // points
    COLORREF color = 0;
    std::wstring html;
    bool bullet = false;
};

// The copies of one drawing pass of the text-frame path, paragraph by paragraph, line by line.
inline std::vector<Face> FrameFaces(const FramePath& path, int pass = TEXT_PASS_FACE) {
    std::vector<Face> faces;
    CTextExportContext context(path.content.get());
    for (std::size_t p = 0; p < path.content->GetParagraphCount(); ++p) {
        const auto& paragraph = path.content->GetParagraph(p);
        for (std::size_t l = 0; l < paragraph->GetLineCount(); ++l) {
            const auto& line = paragraph->GetLine(l);
            auto groups = line->Layout(context);
            for (std::size_t g = 0; g < groups->GetCount(); ++g) {
                auto placed = groups->GetAt(g)->FindByPass(pass);
                if (!placed) continue;
                const auto& piece = line->GetPieces()[g];
                faces.push_back({piece->GetText(), placed->matrix, piece->GetAscent(), placed->field->color,
                                 placed->field->html, piece == paragraph->GetBulletPiece()});
            }
        }
    }
    return faces;
}

// Writes every text sprite of the index under parent and gives the copies of one drawing pass.
inline std::vector<Face> IndexFaces(CShapeTextIndex& index, const XmlElementPtr& parent, int pass = TEXT_PASS_FACE) {
    std::vector<Face> faces;
    auto take = [&](SwfTextField& field, bool bullet) {
        for (const auto& piece : field.GetPieces())
            if (piece.first == pass)
                faces.push_back({field.GetText(), piece.second->GetMatrix(), field.GetAscent(),
                                 piece.second->GetColor(), field.GetStyle()->ToHtml(field.GetText()), bullet});
    };
    for (std::size_t i = 0; i < index.GetTextSpriteCount(); ++i) {
        auto sprite = index.GetTextSprite(i);
        sprite->Write(parent);
        for (const auto& paragraph : sprite->GetParagraphs()) {
            for (const auto& line : paragraph->lines)
                for (const auto& word : line->words)
                    for (const auto& field : word->fields) take(*field, false);
            if (paragraph->bullet && paragraph->bullet->field) take(*paragraph->bullet->field, true);
        }
    }
    return faces;
}

// Where a face puts the start of its text's baseline, in points: the field's top-left corner is
// 2 units up and left of the text, whose baseline lies one ascent below the text's top.
struct Baseline {
    float x = 0.0f, y = 0.0f;
};
inline Baseline BaselineOf(const Face& face, float scale) {
    float x = 0.0f, y = 0.0f;
    face.matrix.Transform(2.0f, 2.0f + face.ascent * scale, x, y);
    return {x / scale, y / scale};
}

// Every face of the shape's own text (bullets aside) sits where the host's layout put the first
// character of its text: its baseline origin.
inline void ExpectAtLayout(const std::vector<Face>& faces, const CHostShape* host, float scale = 1.0f,
                           float tolerance = 0.05f) {
    std::unique_ptr<fonts::layout::CTextLayout> layout;
    layout = std::make_unique<fonts::layout::CTextLayout>();
    layout->SetInput(LayoutInputOf(host->data));
    const std::wstring& text = host->data.text.text;
    std::size_t from = 0;
    for (const Face& face : faces) {
        if (face.bullet) continue;
        const std::size_t at = text.find(face.text, from);
        ASSERT_NE(std::wstring::npos, at) << U8(face.text);
        from = at + face.text.size();
        const fonts::layout::CharPlacement c = layout->Char(int(at));
        const Baseline b = BaselineOf(face, scale);
        EXPECT_NEAR(c.originX, b.x, tolerance) << U8(face.text);
        EXPECT_NEAR(c.originY, b.y, tolerance) << U8(face.text);
    }
}

// Ids renumbered by first appearance per prefix, so a golden does not depend on what the movie
// made before.
inline std::string NormalizeIds(const std::string& xml) {
    static const std::regex id("\\b(txt|spr|button|show|fnt)([0-9]+)\\b");
    std::map<std::string, std::map<std::string, int>> seen;
    std::string out;
    auto begin = std::sregex_iterator(xml.begin(), xml.end(), id);
    std::size_t last = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        out += xml.substr(last, std::size_t(m.position(0)) - last);
        auto& numbers = seen[m[1].str()];
        auto found = numbers.find(m[2].str());
        const int n = found != numbers.end() ? found->second : int(numbers.size());
        numbers.emplace(m[2].str(), n);
        out += m[1].str() + std::to_string(n);
        last = std::size_t(m.position(0) + m.length(0));
    }
    return out + xml.substr(last);
}

inline std::string Xml(const XmlElementPtr& element) { return NormalizeIds(U8(element->xml())); }

// The skip of tests that need the system's fonts.
inline bool HaveFonts() {
    auto metrics = fonts::GetFontMetrics(L"Arial", false, false);
    return metrics && !metrics->IsSynthetic();
}

}  // namespace textpaths

#define REQUIRE_TEXT_FONTS()                                                                       \
    do {                                                                                           \
        if (!textpaths::HaveFonts()) GTEST_SKIP() << "no system fonts (fonts-liberation missing)"; \
    } while (0)
