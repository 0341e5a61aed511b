// Text of real decks on the slide-shape path: the movie shows each word in the face the host
// drew it with, where the host's layout put it, and the saved copy's character styles are asked
// only inside the saved copy's own text.
#include "TextPathFixture.h"

#include "genswf/ppt/PptFont.h"
#include "libpptparser/Presentation.h"
#include "powerpoint/loader/PptLoader.h"

#include <filesystem>

using namespace textpaths;

namespace {

// A deck loaded from a file and the movie of all its slides.
struct LoadedDeck {
    PowerPoint::Loader::LoadResult loaded;
    CScratchFolder scratch;
    std::shared_ptr<CMovie> movie;

    explicit LoadedDeck(const std::filesystem::path& file, bool characterStyleFonts = false) {
        loaded = PowerPoint::Loader::LoadPresentation(file.string());
        auto settings = CExportSettings::Create(loaded.document->Presentation());
        settings->SetTempFolder(scratch.FolderPath());
        settings->SetUseCharacterStyleFonts(characterStyleFonts);
        settings->ReadSlides(nullptr);
        movie = CMovie::Create(settings);
    }

    CHostShape* Host(std::size_t slide, std::size_t shape) const {
        return loaded.document->Slides().at(slide)->shapes.at(shape);
    }

    std::shared_ptr<CShape> SlideShape(std::size_t slide, std::size_t shape) const {
        CComPtr<PowerPoint::Shape> itf = Host(slide, shape)->Interface();
        return CShape::Create(itf.Get(), movie->GetSlide(slide).get(), int(shape));
    }
};

std::filesystem::path SampleDeck() { return std::filesystem::path(BC_SOURCE_DIR) / "examples" / "sample.ppt"; }

// The text fields of every word of the shape's sprites, line by line.
std::vector<std::vector<CRefPtr<SwfTextField>>> FieldsByLine(CShapeTextIndex& index) {
    std::vector<std::vector<CRefPtr<SwfTextField>>> lines;
    for (std::size_t i = 0; i < index.GetTextSpriteCount(); ++i)
        for (const auto& paragraph : index.GetTextSprite(i)->GetParagraphs())
            for (const auto& line : paragraph->lines) {
                lines.emplace_back();
                for (const auto& word : line->words)
                    lines.back().insert(lines.back().end(), word->fields.begin(), word->fields.end());
            }
    return lines;
}

}  // namespace

// The runs of the sample name one font for their text and another in the record's legacy ANSI
// slot. The host draws with the run's font, and so must the movie: each word is shown in the face
// the host measured it with, so it ends where the layout starts the next word.
TEST(DeckText, WordsUseTheFaceTheHostDrewAndMeetTheNextWord) {
    REQUIRE_TEXT_FONTS();
    LoadedDeck deck(SampleDeck());
    const auto& slides = deck.loaded.document->Slides();
    ASSERT_EQ(4u, slides.size());

    int fields = 0;
    for (std::size_t s = 0; s < slides.size(); ++s) {
        for (std::size_t k = 0; k < slides[s]->shapes.size(); ++k) {
            const CHostShape* host = deck.Host(s, k);
            if (host->data.hasTextFrame != msoTrue || host->data.text.text.empty()) continue;
            SCOPED_TRACE("slide " + std::to_string(s + 1) + " shape " + std::to_string(k + 1));
            const FontData& run = host->data.text.charFonts.front();
            EXPECT_EQ(run.name, run.nameAscii);
            EXPECT_EQ(run.name, run.nameOther);

            std::shared_ptr<CShape> shape = deck.SlideShape(s, k);
            if (!shape->GetTextIndex()) continue;
            for (const auto& line : FieldsByLine(*shape->GetTextIndex())) {
                for (std::size_t i = 0; i < line.size(); ++i) {
                    const SwfTextField& field = *line[i];
                    const CPptFont& font = *field.GetStyle()->GetPptFont();
                    auto drawn =
                        fonts::GetFontMetrics(font.GetName(), font.GetBold() == msoTrue, font.GetItalic() == msoTrue);
                    ASSERT_TRUE(drawn);
                    EXPECT_EQ(U8(drawn->FamilyName()), U8(field.GetStyle()->GetFont()->GetFamilyName()))
                        << U8(field.GetText());
                    ++fields;
                    if (i + 1 == line.size()) continue;
                    const float end = field.GetLeft() + field.GetStyle()->GetTextWidth(field.GetText());
                    EXPECT_NEAR(line[i + 1]->GetLeft(), end, 0.25f)
                        << U8(field.GetText()) << " | " << U8(line[i + 1]->GetText());
                }
            }
        }
    }
    EXPECT_GT(fields, 30);
}

// With fonts from the saved copy's character styles, the lookups ask the parsed frame only
// inside its own text, and where PowerPoint's text runs longer (a field shows its value) the rest
// takes the run's own font: no character of PowerPoint's text is lost.
TEST(DeckText, CharacterStyleLookupsStayInsideTheSavedText) {
    REQUIRE_TEXT_FONTS();
    const std::filesystem::path corpus(BC_CORPUS_DIR);
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    const std::wstring value = L"1234567890";
    int frames = 0;
    for (const char* name : {"text_shapes.ppt", "slide_master.ppt", "WithLinks.ppt"}) {
        LoadedDeck deck(corpus / name, true);
        CFontManager& manager = *deck.movie->GetFontManager();
        ASSERT_TRUE(manager.GetUseCharacterStyleFonts());
        const auto& slides = deck.loaded.document->Slides();
        for (std::size_t s = 0; s < slides.size(); ++s) {
            for (std::size_t k = 0; k < slides[s]->shapes.size(); ++k) {
                CHostShape* host = deck.Host(s, k);
                if (host->data.hasTextFrame != msoTrue || host->data.text.text.empty()) continue;
                std::shared_ptr<CShape> probe = deck.SlideShape(s, k);
                if (!probe->GetParsedLink().HasTextFrame()) continue;
                std::shared_ptr<libpptparser::CTextFrame> frame = probe->GetParsedLink().GetTextFrame();
                if (!frame || !frame->HasCharacterStyles()) continue;
                SCOPED_TRACE(std::string(name) + " slide " + std::to_string(s + 1) + " shape " + std::to_string(k + 1));
                ++frames;

                const std::wstring& saved = frame->GetText();
                for (std::uint32_t p = 0; p < saved.size(); ++p) {
                    auto font = manager.FindFontFromCharacterStyle(frame.get(), p, kFontKindText);
                    if (font) {
                        EXPECT_TRUE(font->HasChar(saved[p])) << p;
                    }
                }
                for (std::uint32_t p : {std::uint32_t(saved.size()), std::uint32_t(saved.size() + 7), 0xFFFFFFFFu})
                    EXPECT_FALSE(manager.FindFontFromCharacterStyle(frame.get(), p, kFontKindText)) << p;

                // The slide shows a field's value in place of its first character: PowerPoint's
                // text is longer than the saved copy's, and every position after it is shifted.
                host->data.text.fields.push_back({TextFieldData::SlideNumber, 0, value});
                host->data.text.ExpandFields();
                ASSERT_EQ(saved.size() + value.size() - 1, host->data.text.text.size());
                std::shared_ptr<CShape> shape = deck.SlideShape(s, k);
                ASSERT_TRUE(shape->GetTextIndex());
                // Paragraph marks and other controls show as nothing, whether a face has them or not.
                auto printable = [](const std::wstring& text) {
                    std::wstring out;
                    for (wchar_t c : text)
                        if (c >= 0x20) out += c;
                    return U8(out);
                };
                std::wstring shown;
                for (const auto& line : FieldsByLine(*shape->GetTextIndex()))
                    for (const auto& field : line) shown += field->GetText();
                EXPECT_EQ(printable(host->data.text.text), printable(shown));
            }
        }
    }
    EXPECT_GE(frames, 5);
}
