// The loader over the corpus of real presentations: every file loads or is refused clearly, and
// named files show what a viewer of them sees.

#include "FileBytes.h"
#include "PngSize.h"
#include "TempDir.h"
#include "compoundfile/CompoundFile.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <unistd.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace PowerPoint::Loader;

namespace {

std::string Corpus(const std::string& name) { return std::string(BC_CORPUS_DIR) + "/" + name; }

#define REQUIRE_CORPUS() \
    if (!std::filesystem::is_directory(BC_CORPUS_DIR)) GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent"

const ShapeData& ShapeOn(const LoadResult& r, size_t slide, size_t shape) {
    const auto& slides = r.document->Slides();
    if (slide >= slides.size() || shape >= slides[slide]->shapes.size()) throw std::runtime_error("no such shape");
    return slides[slide]->shapes[shape]->data;
}

// Paragraph p (0-based) of a text, without its mark.
std::wstring Paragraph(const TextData& t, size_t p) {
    size_t start = 0;
    for (size_t i = 0; i < p; ++i) {
        start = t.text.find(L'\r', start);
        if (start == std::wstring::npos) return L"<none>";
        ++start;
    }
    return t.text.substr(start, t.text.find(L'\r', start) - start);
}

}  // namespace

TEST(LoaderCorpus, EveryFileLoadsOrIsRefusedClearly) {
    REQUIRE_CORPUS();
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BC_CORPUS_DIR)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        try {
            const LoadResult r = LoadPresentation(entry.path().string());
            ++loaded;
            // What was loaded is consistent: one font per character, one format per paragraph.
            for (const CHostSlide* s : r.document->Slides()) {
                // A slide that follows its master's background holds a copy of it.
                ASSERT_NE(s->master, nullptr);
                if (s->followMasterBackground == msoTrue) {
                    EXPECT_EQ(s->background.fill.type, s->master->background.fill.type);
                    EXPECT_EQ(s->background.fill.foreColor.rgb, s->master->background.fill.foreColor.rgb);
                    EXPECT_EQ(s->background.imageBytes, s->master->background.imageBytes);
                }
                for (const CHostShape* shape : s->shapes) {
                    const TextData& t = shape->data.text;
                    EXPECT_EQ(t.charFonts.size(), t.text.size());
                    if (shape->data.hasTextFrame == msoTrue) {
                        EXPECT_EQ(static_cast<LONG>(t.paragraphs.size()), t.ParagraphCount());
                    }
                }
            }
            // What SaveCopyAs writes: the file itself, or for a file saved for PowerPoint 95 as
            // well, a plain file of the newer format.
            compoundfile::CCompoundFileStorage storage(entry.path().string());
            if (storage.Open() && storage.HasStream("PP97_DUALSTORAGE/PowerPoint Document"))
                EXPECT_LT(r.document->fileBytes.size(), std::filesystem::file_size(entry.path()));
            else
                EXPECT_EQ(r.document->fileBytes.size(), std::filesystem::file_size(entry.path()));
        } catch (const CPptLoadError& e) {
            // The message names the file and says why.
            const std::wstring message = e.GetMessage();
            EXPECT_NE(message.find(std::wstring(name.begin(), name.end())), std::wstring::npos);
            EXPECT_GT(message.size(), name.size() + 30);
        }
    }
    EXPECT_GE(loaded, 25);
}

TEST(LoaderCorpus, FilesThatCannotBeReadAreRefusedWithTheirReason) {
    REQUIRE_CORPUS();
    struct Case {
        const char* file;
        CPptLoadError::Kind kind;
        const wchar_t* says;
    } cases[] = {
        {"Password_Protected-hello.ppt", CPptLoadError::kEncrypted, L"encrypted"},
        {"pp40only.ppt", CPptLoadError::kOlderFormat, L"PowerPoint 4.0"},
        {"PPT95.ppt", CPptLoadError::kOlderFormat, L"PowerPoint 95"},
        {"no-such-file.ppt", CPptLoadError::kCannotOpen, L"cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        try {
            LoadPresentation(Corpus(c.file));
            ADD_FAILURE() << "loaded";
        } catch (const CPptLoadError& e) {
            EXPECT_EQ(e.GetKind(), c.kind);
            EXPECT_NE(e.GetMessage().find(c.says), std::wstring::npos) << e.what();
        }
    }
}

TEST(LoaderCorpus, CutOrGarbledFilesNeverLoadHalfWay) {
    REQUIRE_CORPUS();
    const std::vector<std::uint8_t> whole = bctest::FileBytes(Corpus("SampleShow.ppt"));
    ASSERT_FALSE(whole.empty());
    std::vector<std::vector<std::uint8_t>> damaged = {
        {},
        std::vector<std::uint8_t>(whole.begin(), whole.begin() + 511),
        std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2)),
    };
    // Every 97th byte overwritten: the structure is wrong almost everywhere.
    std::vector<std::uint8_t> noisy = whole;
    for (size_t i = 512; i < noisy.size(); i += 97) noisy[i] ^= 0x5A;
    damaged.push_back(noisy);
    for (size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            const LoadResult r = LoadPresentationFromMemory(damaged[i], L"damaged.ppt");
            for (const CHostSlide* s : r.document->Slides())
                for (const CHostShape* shape : s->shapes)
                    EXPECT_EQ(shape->data.text.charFonts.size(), shape->data.text.text.size());
        } catch (const CPptLoadError& e) {
            EXPECT_NE(e.GetMessage().find(L"damaged.ppt"), std::wstring::npos);
        }
    }
}

TEST(LoaderFiles, SampleShowTextsFontsAndColours) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("SampleShow.ppt"));
    ASSERT_EQ(r.document->Slides().size(), 2u);
    EXPECT_EQ(r.document->Slides()[0]->slideId, 256);
    EXPECT_FLOAT_EQ(r.document->Master()->width, 720.0f);
    EXPECT_FLOAT_EQ(r.document->Master()->height, 540.0f);

    const ShapeData& title = ShapeOn(r, 0, 0);
    EXPECT_EQ(title.type, msoPlaceholder);
    EXPECT_EQ(title.name, L"The Title");
    EXPECT_EQ(title.text.text, L"Title of the first slide");
    EXPECT_EQ(title.text.charFonts[0].name, L"Calibri");
    EXPECT_FLOAT_EQ(title.text.charFonts[0].size, 44.0f);
    EXPECT_EQ(title.text.paragraphs[0].alignment, ppAlignCenter);
    EXPECT_EQ(title.fill.visible, msoFalse);  // placeholders take their master's empty fill

    const ShapeData& subtitle = ShapeOn(r, 0, 1);
    EXPECT_EQ(Paragraph(subtitle.text, 2), L"This bit is in italic green");
    const FontData& green = subtitle.text.charFonts[subtitle.text.text.find(L"This bit")];
    EXPECT_EQ(green.italic, msoTrue);
    EXPECT_EQ(green.color.rgb, 0x50D092u);
    EXPECT_EQ(subtitle.text.charFonts[0].italic, msoFalse);

    const ShapeData& body = ShapeOn(r, 1, 1);
    ASSERT_EQ(body.text.paragraphs.size(), 3u);
    EXPECT_EQ(Paragraph(body.text, 0), L"It has bullet points on it");
    EXPECT_EQ(body.text.paragraphs[0].bullet.visible, msoTrue);
    const FontData& black = body.text.charFonts[body.text.text.find(L"Especially")];
    EXPECT_EQ(black.name, L"Arial Black");
    EXPECT_FLOAT_EQ(black.size, 16.0f);
    EXPECT_FLOAT_EQ(body.text.charFonts[0].size, 32.0f);
}

TEST(LoaderFiles, BulletsOfTheLatestSave) {
    REQUIRE_CORPUS();
    // The file was saved incrementally; its first saved text says "First line".
    const LoadResult r = LoadPresentation(Corpus("bullets.ppt"));
    EXPECT_TRUE(r.usedEditChain);
    const ShapeData& body = ShapeOn(r, 0, 1);
    EXPECT_EQ(body.text.text,
              L"This is a text placeholder that \rfollows the design pattern\rDefined in the slide "
              L"master\rand has bullets by default");
    for (const ParagraphData& p : body.text.paragraphs) {
        EXPECT_EQ(p.bullet.visible, msoTrue);
        EXPECT_EQ(p.bullet.character, 0x2022);
    }
    const ShapeData& own = ShapeOn(r, 1, 1);
    EXPECT_EQ(own.type, msoTextBox);
    EXPECT_EQ(own.text.text, L"I\u2019m a text box with user-defined\rbullet character");
    EXPECT_EQ(own.text.paragraphs[0].bullet.character, 0x263A);
    EXPECT_EQ(own.text.paragraphs[0].bullet.type, ppBulletUnnumbered);
    EXPECT_FLOAT_EQ(own.text.rulerLevels[1].leftMargin, 36.0f);
}

TEST(LoaderFiles, TextShapesKindsAndGeometry) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("text_shapes.ppt"));
    ASSERT_EQ(r.document->Slides()[0]->shapes.size(), 5u);
    struct Expect {
        MsoShapeType type;
        MsoAutoShapeType autoShape;
        const wchar_t* text;
        float left, top, width, height;
    } expected[] = {
        {msoPlaceholder, msoShapeRectangle, L"Title Placeholder", 36, 21.625f, 648, 90},
        {msoTextBox, msoShapeRectangle, L"Text in a TextBox", 178.75f, 194.875f, 155.25f, 29.625f},
        {msoAutoShape, msoShapeRectangle, L"Rectangle", 468, 198, 114, 72},
        {msoAutoShape, msoShapeOval, L"Ellipse", 312, 258, 72, 72},
        {msoAutoShape, msoShapeOctagon, L"Octagon", 402, 396, 120, 72},
    };
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const ShapeData& d = ShapeOn(r, 0, i);
        EXPECT_EQ(d.type, expected[i].type);
        EXPECT_EQ(d.autoShapeType, expected[i].autoShape);
        EXPECT_EQ(d.text.text, expected[i].text);
        EXPECT_FLOAT_EQ(d.left, expected[i].left);
        EXPECT_FLOAT_EQ(d.top, expected[i].top);
        EXPECT_FLOAT_EQ(d.width, expected[i].width);
        EXPECT_FLOAT_EQ(d.height, expected[i].height);
    }
    // Autoshapes are filled with the scheme's fill colour and centre their text.
    EXPECT_EQ(ShapeOn(r, 0, 2).fill.visible, msoTrue);
    EXPECT_EQ(ShapeOn(r, 0, 2).fill.foreColor.scheme, ppFill);
    EXPECT_EQ(ShapeOn(r, 0, 2).text.verticalAnchor, msoAnchorMiddle);
    EXPECT_EQ(ShapeOn(r, 0, 1).fill.visible, msoFalse);
    EXPECT_EQ(ShapeOn(r, 0, 1).text.autoSize, ppAutoSizeShapeToFitText);
}

TEST(LoaderFiles, BackgroundsAndShapeFills) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("backgrounds.ppt"));
    ASSERT_EQ(r.document->Slides().size(), 4u);
    EXPECT_FLOAT_EQ(r.document->Master()->width, 792.0f);
    EXPECT_FLOAT_EQ(r.document->Master()->height, 612.0f);
    struct Expect {
        MsoFillType background;
        MsoFillType shape;
    } expected[] = {{msoFillPicture, msoFillSolid},
                    {msoFillPatterned, msoFillBackground},
                    {msoFillTextured, msoFillPicture},
                    {msoFillGradient, msoFillGradient}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.document->Slides()[i]->followMasterBackground, msoFalse);
        EXPECT_EQ(r.document->Slides()[i]->background.fill.type, expected[i].background);
        EXPECT_EQ(ShapeOn(r, i, 0).fill.type, expected[i].shape);
    }
    // The picture background is the blip store's PNG; the pattern has its two colours.
    const auto& png = r.document->Slides()[0]->background.imageBytes;
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    // Colours are 0x00BBGGRR: red on green, and a green-to-red gradient.
    EXPECT_EQ(r.document->Slides()[1]->background.fill.foreColor.rgb, 0x0000FFu);
    EXPECT_EQ(r.document->Slides()[1]->background.fill.backColor.rgb, 0x00FF00u);
    EXPECT_EQ(ShapeOn(r, 0, 0).fill.foreColor.rgb, 0x99CC00u);
    EXPECT_EQ(ShapeOn(r, 0, 0).fill.foreColor.scheme, ppFill);
    EXPECT_EQ(ShapeOn(r, 3, 0).fill.foreColor.rgb, 0x00FF00u);
    EXPECT_EQ(ShapeOn(r, 3, 0).fill.backColor.rgb, 0x0000FFu);
    // A picture-filled shape carries the picture's bytes (a JPEG here).
    const auto& jpeg = ShapeOn(r, 2, 0).picture.imageBytes;
    ASSERT_GE(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
}

TEST(LoaderFiles, PicturesOfEveryKind) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("pictures.ppt"));
    ASSERT_EQ(r.document->Slides().size(), 5u);
    struct Expect {
        size_t bytes;
        std::uint8_t first;
        float width, height;
    } expected[] = {
        {11988, 0xFF, 192, 176},  // JPEG
        {3043, 0x89, 130, 92},    // PNG
        {28674, 0x01, 200, 200},  // WMF, inflated
        {42414, 0x00, 200, 200},  // PICT, with its 512-byte header put back
        {6184, 0x01, 200, 200},   // EMF
    };
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const ShapeData& d = ShapeOn(r, i, 0);
        EXPECT_EQ(d.type, msoPicture);
        EXPECT_EQ(d.picture.imageBytes.size(), expected[i].bytes);
        ASSERT_FALSE(d.picture.imageBytes.empty());
        EXPECT_EQ(d.picture.imageBytes[0], expected[i].first);
        EXPECT_FLOAT_EQ(d.width, expected[i].width);
        EXPECT_FLOAT_EQ(d.height, expected[i].height);
        EXPECT_EQ(d.fill.visible, msoFalse);
    }
    EXPECT_EQ(bctest::PngSize(ShapeOn(r, 1, 0).picture.imageBytes), std::make_pair(130, 92));
    // A metafile of this kind starts with its header record of type 1 and its size in words.
    const auto& wmf = ShapeOn(r, 2, 0).picture.imageBytes;
    EXPECT_EQ(wmf[2], 0x09);
}

TEST(LoaderFiles, LinksOfTextRanges) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("WithLinks.ppt"));
    ASSERT_EQ(r.document->Slides().size(), 2u);
    struct Expect {
        size_t slide;
        size_t link;
        const wchar_t* address;
        const wchar_t* text;
    } expected[] = {
        {0, 0, L"http://jakarta.apache.org/poi/", L"http://jakarta.apache.org/poi/"},
        {0, 1, L"http://slashdot.org/", L"http://slashdot.org/"},
        {1, 0, L"http://jakarta.apache.org/poi/hssf/", L"Jakarta HSSF"},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.address);
        const TextData& t = ShapeOn(r, e.slide, 1).text;
        ASSERT_GT(t.links.size(), e.link);
        const TextLinkData& l = t.links[e.link];
        EXPECT_EQ(l.click.action, ppActionHyperlink);
        EXPECT_EQ(l.click.hyperlink.address, e.address);
        const std::wstring linked = t.text.substr(static_cast<size_t>(l.start), static_cast<size_t>(l.length));
        EXPECT_EQ(linked.substr(0, linked.find(L'\r')), e.text);
    }
}

TEST(LoaderFiles, SoundShapeWithItsWave) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("sound.ppt"));
    ASSERT_EQ(r.document->Slides()[0]->shapes.size(), 1u);
    const ShapeData& d = ShapeOn(r, 0, 0);
    EXPECT_EQ(d.type, msoMedia);
    EXPECT_EQ(d.mediaType, ppMediaTypeSound);
    EXPECT_EQ(d.sound.type, ppSoundWAV);
    EXPECT_EQ(d.sound.sourceFullName, L"ringin.wav");
    ASSERT_EQ(d.sound.data.size(), 10026u);
    EXPECT_EQ(std::string(d.sound.data.begin(), d.sound.data.begin() + 4), "RIFF");
    EXPECT_EQ(d.click.action, ppActionPlay);
    // It plays by itself: an animation on time in the older settings, and a play effect after the
    // previous one in the file's own timeline.
    EXPECT_EQ(d.animation.animate, msoTrue);
    EXPECT_EQ(d.animation.advanceMode, ppAdvanceOnTime);
    ASSERT_EQ(r.document->Slides()[0]->effects.size(), 1u);
    const EffectData& play = r.document->Slides()[0]->effects[0]->data;
    EXPECT_EQ(play.triggerType, msoAnimTriggerAfterPrevious);
    EXPECT_EQ(play.effectType, 83);  // media play
    EXPECT_EQ(play.shape, r.document->Slides()[0]->shapes[0]);
}

TEST(LoaderFiles, HeadersAndFootersOfTheDocumentAndOfOneSlide) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("headers_footers.ppt"));
    ASSERT_EQ(r.document->Slides().size(), 2u);
    const HeadersFootersData& first = r.document->Slides()[0]->headersFooters;
    EXPECT_EQ(first.footer.visible, msoTrue);
    EXPECT_EQ(first.footer.text, L"Global Slide Footer");
    EXPECT_EQ(first.slideNumber.visible, msoTrue);
    EXPECT_EQ(first.dateAndTime.visible, msoTrue);
    const HeadersFootersData& second = r.document->Slides()[1]->headersFooters;
    EXPECT_EQ(second.footer.text, L"per-slide footer");
    EXPECT_EQ(second.dateAndTime.text, L"custom date format");
    // The master's footer placeholders keep their fields unexpanded and say which element they place.
    bool footerField = false;
    std::set<LONG> kinds;
    for (const CHostShape* s : r.document->Master()->shapes) {
        footerField = footerField || s->data.text.text == L"*";
        kinds.insert(s->data.placeholderType);
    }
    EXPECT_TRUE(footerField);
    for (LONG kind : {ppPlaceholderDate, ppPlaceholderFooter, ppPlaceholderSlideNumber})
        EXPECT_EQ(kinds.count(kind), 1u) << kind;

    // The first slide shows the date of the day.
    LoadOptions options;
    options.fieldDate = 19000;  // 8 January 2022
    const LoadResult dated = LoadPresentation(Corpus("headers_footers.ppt"), options);
    EXPECT_EQ(dated.document->Slides()[0]->headersFooters.dateAndTime.text, L"1/8/2022");
    EXPECT_EQ(dated.document->Slides()[1]->headersFooters.dateAndTime.text, L"custom date format");
}

TEST(LoaderFiles, NumberedBulletsWithTheirStyleAndStart) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("numbers.ppt"));
    ASSERT_EQ(r.document->Slides().size(), 2u);
    struct Expect {
        size_t slide, paragraph;
        PpNumberedBulletStyle style;
        LONG start;
    } expected[] = {
        {0, 0, ppBulletArabicPeriod, 4},
        {0, 4, 9 /* lower-case letter and parenthesis */, 3},
        {1, 0, ppBulletArabicParenRight, 9},
        {1, 4, ppBulletAlphaUCPeriod, 3},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(testing::Message() << e.slide << "/" << e.paragraph);
        const BulletData& b = ShapeOn(r, e.slide, 1).text.paragraphs.at(e.paragraph).bullet;
        EXPECT_EQ(b.type, ppBulletNumbered);
        EXPECT_EQ(b.style, e.style);
        EXPECT_EQ(b.startValue, e.start);
    }
    EXPECT_EQ(ShapeOn(r, 0, 1).text.paragraphs.at(5).bullet.type, ppBulletUnnumbered);
    EXPECT_EQ(ShapeOn(r, 0, 1).text.paragraphs.at(2).bullet.type, ppBulletNone);
}

TEST(LoaderFiles, NameAndPathOfTheFileAndACopyOfItsBytes) {
    REQUIRE_CORPUS();
    const std::string path = Corpus("SampleShow.ppt");
    const LoadResult r = LoadPresentation(path);
    CComPtr<_Presentation> p = r.document->Presentation();
    CBstr name, folder, full;
    ASSERT_EQ(p->get_Name(&name), S_OK);
    ASSERT_EQ(p->get_Path(&folder), S_OK);
    ASSERT_EQ(p->get_FullName(&full), S_OK);
    EXPECT_EQ(WStringFromBstr(name), L"SampleShow.ppt");
    const std::string corpus = BC_CORPUS_DIR;
    const std::wstring dir(corpus.begin(), corpus.end());
    EXPECT_EQ(WStringFromBstr(folder), dir);
    EXPECT_EQ(WStringFromBstr(full), dir + L"/SampleShow.ppt");

    CScratchFolder scratch;
    const std::filesystem::path copy = scratch / "copy.ppt";
    ASSERT_EQ(p->SaveCopyAs(CBstr(copy.wstring()), ppSaveAsPresentation, msoFalse), S_OK);
    EXPECT_EQ(bctest::FileBytes(copy.string()), bctest::FileBytes(path));
}

TEST(LoaderFiles, SlidesFollowTheirOwnMasters) {
    REQUIRE_CORPUS();
    const LoadResult r = LoadPresentation(Corpus("slide_master.ppt"));
    const auto& slides = r.document->Slides();
    ASSERT_EQ(slides.size(), 3u);
    std::set<const CHostMaster*> masters;
    for (const CHostSlide* s : slides) {
        ASSERT_NE(s->master, nullptr);
        EXPECT_FALSE(s->master->shapes.empty());
        masters.insert(s->master);
    }
    // The slide order of the file is not the order of the slide ids.
    EXPECT_EQ(slides[0]->slideId, 257);
    EXPECT_EQ(slides[1]->slideId, 256);
    EXPECT_EQ(slides[0]->master, r.document->Master());
    EXPECT_EQ(masters.size(), 3u);
}

TEST(LoaderFiles, ARelativePathBecomesAFullOne) {
    REQUIRE_CORPUS();
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(BC_CORPUS_DIR);
    const LoadResult r = LoadPresentation("bullets.ppt");
    std::filesystem::current_path(here);
    EXPECT_EQ(r.document->name, L"bullets.ppt");
    const std::string corpus = BC_CORPUS_DIR;
    EXPECT_EQ(std::filesystem::path(r.document->path), std::filesystem::canonical(corpus));
}
