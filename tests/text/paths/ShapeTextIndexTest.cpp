// The shape text index and its text sprites: PowerPoint's own paragraphs, lines and words of a
// slide shape's text, the build groups and dimmed copies, and the fields of every word placed
// where the layout drew the text.
#include "TextPathFixture.h"

#include "genswf/utils/Exceptions.h"

#include <cmath>

using namespace textpaths;

namespace {

// Counts the reports; throws the interruption at report number cancelAt (0: never).
class CountingProgress : public CProgressSink {
public:
    void PumpMessagesAndCheckCancel() override {
        if (++calls == cancelAt) throw CInterruptedException();
    }
    int calls = 0;
    int cancelAt = 0;
};

std::string TextOf(const CTextRangeItem& item) {
    BSTR raw = nullptr;
    EXPECT_EQ(S_OK, item.range->get_Text(&raw));
    std::wstring text = WStringFromBstr(raw);
    SysFreeString(raw);
    return U8(text);
}

ParagraphData Level(LONG level) {
    ParagraphData p;
    p.indentLevel = level;
    return p;
}

}  // namespace

// Every item holds PowerPoint's piece with a 0-based start: its text is the shape's text there.
// Lines belong to the paragraph they start in; a word that PowerPoint breaks over two lines
// belongs to both, and each line's fields hold only that line's part of it.
TEST(ShapeTextIndex, ItemsArePowerPointsPiecesCountedFromZero) {
    REQUIRE_TEXT_FONTS();
    TextSlide deck;
    CHostShape* box = deck.AddText(L"Body", 100, 50, 120, 300);
    box->data.text.AddRun(L"A paragraph that wraps\rUnbreakablelongwordthatoverflows end", TextFont(18));
    deck.MakeMovie();
    std::shared_ptr<CShape> shape = deck.SlideShape(box);
    ASSERT_TRUE(shape->GetTextIndex());
    CShapeTextIndex& index = *shape->GetTextIndex();
    const std::string text = U8(box->data.text.text);

    ASSERT_EQ(2u, index.GetParagraphCount());
    ASSERT_GE(index.GetLineCount(), 4u);
    auto check = [&](const CTextRangeItem& item, std::size_t number) {
        EXPECT_EQ(int(number), item.number);
        EXPECT_EQ(text.substr(std::size_t(item.start), std::size_t(item.length)), TextOf(item));
    };
    for (std::size_t i = 0; i < index.GetParagraphCount(); ++i) check(*index.GetParagraph(i), i);
    for (std::size_t i = 0; i < index.GetLineCount(); ++i) check(*index.GetLine(i), i);
    for (std::size_t i = 0; i < index.GetWordCount(); ++i) check(*index.GetWord(i), i);
    EXPECT_EQ(0, index.GetParagraph(0)->start);
    EXPECT_EQ(int(text.find('\r')) + 1, index.GetParagraph(1)->start);

    // The lines of the paragraphs, in order, are all lines once.
    std::vector<CRefPtr<CTextLineItem>> lines, all;
    for (std::size_t p = 0; p < index.GetParagraphCount(); ++p) {
        ASSERT_GT(index.GetLinesOfParagraph(p, lines), 0u);
        const CTextParagraphItem& paragraph = *index.GetParagraph(p);
        for (const auto& line : lines) {
            EXPECT_GE(line->start, paragraph.start);
            EXPECT_LT(line->start, paragraph.start + paragraph.length);
        }
        all.insert(all.end(), lines.begin(), lines.end());
    }
    ASSERT_EQ(index.GetLineCount(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(int(i), all[i]->number);

    // The long word overflows its line: PowerPoint breaks it, and it is a word of every line it
    // reaches.
    const int longStart = int(text.find("Unbreakable"));
    std::vector<int> linesOfLongWord;
    std::vector<CRefPtr<CTextWordItem>> words;
    for (std::size_t l = 0; l < index.GetLineCount(); ++l) {
        index.GetWordsOfLine(l, words);
        for (const auto& word : words)
            if (word->start == longStart) linesOfLongWord.push_back(int(l));
    }
    ASSERT_GE(linesOfLongWord.size(), 2u);
    std::string shown;
    const CTextSprite& sprite = *index.GetTextSprite(0);
    for (const auto& line : sprite.GetParagraphs()[1]->lines) {
        std::string ofLine;
        for (const auto& word : line->words)
            for (const auto& field : word->fields) ofLine += U8(field->GetText());
        EXPECT_EQ(TextOf(*line->lineItem), ofLine);
        shown += ofLine;
    }
    EXPECT_EQ(text.substr(std::size_t(longStart)), shown);
}

// Build groups follow the shape's text build level; a dimming shape gets a dimmed copy of each
// group, written after all main sprites, in its dim colour and with ids of its own.
TEST(ShapeTextIndex, BuildGroupsAndDimmedCopies) {
    REQUIRE_TEXT_FONTS();
    struct Case {
        const char* name;
        MsoTriState animate;
        PpTextLevelEffect level;
        std::vector<std::pair<int, std::size_t>> groups;  // first paragraph, paragraphs
    };
    const Case cases[] = {
        {"not animated", msoFalse, ppAnimateByFirstLevel, {{0, 5}}},
        {"all levels at once", msoTrue, ppAnimateByAllLevels, {{0, 5}}},
        {"by first level", msoTrue, ppAnimateByFirstLevel, {{0, 3}, {3, 2}}},
        {"by second level", msoTrue, 2, {{0, 1}, {1, 1}, {2, 1}, {3, 2}}},
        {"no level", msoTrue, ppAnimateLevelNone, {{0, 5}}},
    };
    for (const Case& c : cases) {
        for (bool dim : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (dim ? ", dimmed" : ""));
            TextSlide deck;
            CHostShape* box = deck.AddText(L"Body", 100, 50, 400, 300);
            box->data.animation.animate = c.animate;
            box->data.animation.textLevelEffect = c.level;
            box->data.animation.afterEffect = dim ? ppAfterEffectDim : ppAfterEffectNothing;
            box->data.animation.dimColor.rgb = 0x336699;
            const LONG levels[] = {1, 2, 2, 1, 3};
            for (int i = 0; i < 5; ++i)
                box->data.text.AddRun(std::wstring(i ? L"\r" : L"") + L"Item " + std::to_wstring(i), TextFont(18),
                                      Level(levels[i]));
            deck.MakeMovie();
            std::shared_ptr<CShape> shape = deck.SlideShape(box);
            ASSERT_TRUE(shape->GetTextIndex());
            CShapeTextIndex& index = *shape->GetTextIndex();
            ASSERT_EQ(c.groups.size(), index.GetTextSpriteCount());
            for (std::size_t g = 0; g < c.groups.size(); ++g) {
                EXPECT_EQ(c.groups[g].first, index.GetTextSprite(g)->GetFirstParagraph());
                EXPECT_EQ(c.groups[g].second, index.GetTextSprite(g)->GetParagraphCount());
            }
            const bool dims = dim && c.animate == msoTrue;
            ASSERT_EQ(dims ? c.groups.size() : 0u, index.GetDimmedTextSpriteCount());
            if (!dims) continue;

            // Written main 1, main 2, ..., then dimmed 1, dimmed 2, ...
            std::vector<std::wstring> order;
            for (std::size_t g = 0; g < c.groups.size(); ++g) order.push_back(index.GetTextSprite(g)->GetId());
            for (std::size_t g = 0; g < c.groups.size(); ++g) {
                EXPECT_NE(index.GetTextSprite(g)->GetId(), index.GetDimmedTextSprite(g)->GetId());
                order.push_back(index.GetDimmedTextSprite(g)->GetId());
            }
            auto parent = deck.Parent();
            index.WriteTextSprites(parent);
            const std::string xml = U8(parent->xml());
            std::size_t at = 0;
            for (const std::wstring& id : order) {
                const std::size_t found = xml.find("<sprite id=\"" + U8(id) + "\"", at);
                ASSERT_NE(std::string::npos, found) << U8(id);
                at = found;
            }
            // The dimmed copy shows the same text, every field in the dim colour.
            for (std::size_t g = 0; g < c.groups.size(); ++g) {
                const CTextSprite& main = *index.GetTextSprite(g);
                const CTextSprite& dimmed = *index.GetDimmedTextSprite(g);
                ASSERT_EQ(main.GetParagraphCount(), dimmed.GetParagraphCount());
                for (std::size_t p = 0; p < main.GetParagraphCount(); ++p)
                    for (const auto& line : dimmed.GetParagraphs()[p]->lines)
                        for (const auto& word : line->words)
                            for (const auto& field : word->fields) {
                                EXPECT_TRUE(field->GetForcedColor());
                                for (const auto& piece : field->GetPieces())
                                    EXPECT_EQ(COLORREF(0x336699), piece.second->GetColor());
                            }
            }
        }
    }
}

// A frame, text or paragraph list PowerPoint cannot give is a shape without text: no items, no
// sprites, and no crash on the missing interface.
TEST(ShapeTextIndex, UnreachableTextIsNoText) {
    REQUIRE_TEXT_FONTS();
    for (const char* member : {"Shape.get_TextFrame", "TextFrame.get_TextRange", "TextRange.Paragraphs"}) {
        SCOPED_TRACE(member);
        TextSlide deck;
        CHostShape* box = deck.AddText(L"Body", 100, 50, 400, 300);
        box->data.text.AddRun(L"Hello world", TextFont(18));
        deck.MakeMovie();
        std::shared_ptr<CShape> shape = deck.SlideShape(box);
        ASSERT_TRUE(shape->GetTextIndex());
        deck.doc->Fail(member, E_FAIL);
        CRefPtr<CShapeTextIndex> index = CShapeTextIndex::Create(shape.get());
        deck.doc->ClearFaults();
        EXPECT_EQ(0u, index->GetParagraphCount());
        EXPECT_EQ(0u, index->GetTextSpriteCount());
        auto parent = deck.Parent();
        index->WriteTextSprites(parent);
        EXPECT_EQ("<test/>", Xml(parent));
    }
}

// The index reports after every piece it reads and the layout after every word, so a long text
// shows movement; a cancel ends the construction with the interruption.
TEST(ShapeTextIndex, ProgressPerPieceAndWordAndCancel) {
    REQUIRE_TEXT_FONTS();
    auto build = [](CProgressSink* progress) {
        auto deck = std::make_unique<TextSlide>();
        CHostShape* box = deck->AddText(L"Body", 100, 50, 150, 300);
        box->data.text.AddRun(L"One paragraph of several words that wraps\rAnother one", TextFont(18));
        auto settings = CExportSettings::Create(deck->doc->Presentation());
        settings->SetTempFolder(deck->scratch.FolderPath());
        settings->SetProgressSink(progress);
        deck->movie = CMovie::Create(settings);
        return std::make_pair(std::move(deck), box);
    };
    CountingProgress counting;
    auto made = build(&counting);
    counting.calls = 0;
    std::shared_ptr<CShape> shape = made.first->SlideShape(made.second);
    ASSERT_TRUE(shape->GetTextIndex());
    const CShapeTextIndex& index = *shape->GetTextIndex();
    std::size_t wordsOfLines = 0;
    std::vector<CRefPtr<CTextWordItem>> words;
    for (std::size_t l = 0; l < index.GetLineCount(); ++l) wordsOfLines += index.GetWordsOfLine(l, words);
    const std::size_t pieces = index.GetParagraphCount() + index.GetLineCount() + index.GetWordCount();
    EXPECT_GE(std::size_t(counting.calls), pieces + wordsOfLines);

    // Cancelled while the pieces are read, and while the words are laid out.
    for (int at : {1, int(pieces), int(pieces + wordsOfLines)}) {
        SCOPED_TRACE(at);
        CountingProgress cancelling;
        auto again = build(&cancelling);
        cancelling.calls = 0;
        cancelling.cancelAt = at;
        EXPECT_THROW(again.first->SlideShape(again.second), CInterruptedException);
        EXPECT_EQ(at, cancelling.calls);
    }
}

// Text of no height sits on its line's top (no division by zero reaches a matrix), and an
// orientation the placement does not know is laid out as horizontal text.
TEST(ShapeTextIndex, ZeroHeightAndOtherOrientations) {
    REQUIRE_TEXT_FONTS();
    struct Case {
        const char* name;
        float size;
        MsoTextOrientation orientation;
    };
    for (const Case& c :
         {Case{"zero size", 0.0f, msoTextOrientationHorizontal}, Case{"upward", 18.0f, msoTextOrientationUpward}}) {
        SCOPED_TRACE(c.name);
        TextSlide deck;
        CHostShape* box = deck.AddText(L"Body", 100, 50, 200, 200);
        box->data.text.orientation = c.orientation;
        box->data.text.AddRun(L"Flat", TextFont(c.size));
        deck.MakeMovie();
        std::shared_ptr<CShape> shape = deck.SlideShape(box);
        ASSERT_TRUE(shape->GetTextIndex());
        const std::vector<Face> faces = IndexFaces(*shape->GetTextIndex(), deck.Parent());
        ASSERT_EQ(1u, faces.size());
        const auto& line = shape->GetTextIndex()->GetTextSprite(0)->GetParagraphs()[0]->lines[0];
        if (c.size == 0.0f) {
            EXPECT_EQ(0.0f, line->baseline);
        }
        EXPECT_TRUE(std::isfinite(faces[0].matrix.tx));
        EXPECT_TRUE(std::isfinite(faces[0].matrix.ty));
        EXPECT_FLOAT_EQ(1.0f, faces[0].matrix.a);
        EXPECT_FLOAT_EQ(shape->GetTextIndex()->GetWord(0)->left - 2.0f, faces[0].matrix.tx);
    }
}
