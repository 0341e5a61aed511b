// The parser's model and the loader read the same slides from a file: the same count, in the same
// order, with the same identities; on the corpus, on files whose edit chain is damaged, and on a
// PowerPoint 95 file that holds its 97-2003 presentation in a storage of its own.

#include "CfbBuilder.h"
#include "DeckBuilder.h"
#include "FileBytes.h"
#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/Presentation.h"
#include "libpptparser/StreamParser.h"
#include "powerpoint/loader/PptLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace PowerPoint::Loader;
using namespace testdeck;
using testrec::Bytes;

namespace {

std::shared_ptr<libpptparser::CPresentation> ParseBytes(const Bytes& file, bool* dual = nullptr) {
    libpptparser::CStreamParser parser(std::make_unique<compoundfile::CCompoundFileStorage>(file));
    parser.Parse();
    if (dual) *dual = parser.IsDualFormat();
    return parser.GetPresentation();
}

// The slide ids of both readers, in their order.
std::vector<uint32_t> ParsedIds(const libpptparser::CPresentation& model) {
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < model.GetSlides()->GetCount(); ++i)
        ids.push_back(model.GetSlides()->GetItem(i)->GetSlideId());
    return ids;
}

std::vector<uint32_t> LoadedIds(const LoadResult& r) {
    std::vector<uint32_t> ids;
    for (const CHostSlide* s : r.document->Slides()) ids.push_back(static_cast<uint32_t>(s->slideId));
    return ids;
}

bool HasWarning(const std::vector<std::wstring>& warnings, const std::wstring& part) {
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const std::wstring& w) { return w.find(part) != std::wstring::npos; });
}

Bytes TextShape(uint32_t id, const std::u16string& text) {
    return SpShape(202, id, 0xA00, {ClientAnchor(576, 576, 1152, 864), TextBox(4, text)});
}

std::wstring FirstText(const CHostSlide& slide) {
    return slide.shapes.empty() ? L"<none>" : slide.shapes.front()->data.text.text;
}

}  // namespace

TEST(ReadersAgree, OnTheSlidesOfEveryCorpusFile) {
    if (!std::filesystem::is_directory(BC_CORPUS_DIR))
        GTEST_SKIP() << "corpus folder " << BC_CORPUS_DIR << " is absent";
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(BC_CORPUS_DIR))
        if (e.path().extension() == ".ppt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    int compared = 0;
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        std::shared_ptr<libpptparser::CPresentation> model;
        try {
            libpptparser::CStreamParser parser(file.string());
            parser.Parse();
            model = parser.GetPresentation();
        } catch (const libpptparser::CPptParserException&) {
            continue;  // refused or too damaged for the model; the corpus tests judge those
        }
        LoadResult loaded;
        try {
            loaded = LoadPresentation(file.string());
        } catch (const CPptLoadError& e) {
            ADD_FAILURE() << "the parser reads it, the loader refuses it: " << e.what();
            continue;
        }
        ++compared;
        // Same slides, same order, matched by identity and not only by position. A file that lost
        // its list of slides has slides without identity in the model; the application gives
        // them new ones.
        std::vector<uint32_t> parsedIds = ParsedIds(*model), loadedIds = LoadedIds(loaded);
        ASSERT_EQ(parsedIds.size(), loadedIds.size());
        for (size_t i = 0; i < parsedIds.size(); ++i)
            if (parsedIds[i] == 0) loadedIds[i] = 0;
        EXPECT_EQ(parsedIds, loadedIds);
        const auto& slides = loaded.document->Slides();
        for (size_t i = 0; i < model->GetSlides()->GetCount() && i < slides.size(); ++i) {
            EXPECT_EQ(model->GetSlides()->GetItem(i)->GetIndex(), i);
            if (parsedIds[i] != 0) {
                EXPECT_EQ(model->GetSlides()->FindSlide(static_cast<uint32_t>(slides[i]->slideId)),
                          model->GetSlides()->GetItem(i));
            }
        }
        EXPECT_EQ(model->IsRecovered(), !loaded.usedEditChain);
    }
    EXPECT_GE(compared, 25);

    struct Known {
        const char* file;
        size_t slides;
    } known[] = {{"basic_test_ppt_file.ppt", 2}, {"bug56240.ppt", 105}, {"bullets.ppt", 2}};
    for (const Known& k : known) {
        SCOPED_TRACE(k.file);
        const std::string path = std::string(BC_CORPUS_DIR) + "/" + k.file;
        libpptparser::CStreamParser parser(path);
        parser.Parse();
        EXPECT_EQ(parser.GetPresentation()->GetSlides()->GetCount(), k.slides);
        EXPECT_EQ(LoadPresentation(path).document->Slides().size(), k.slides);
    }
}

TEST(ReadersAgree, ADamagedEditChainIsRecoveredFromEveryDirectory) {
    // Six slides saved once, then slide 1 changed and slide 4 changed in two later saves.
    Deck deck;
    for (uint32_t i = 0; i < 6; ++i)
        deck.slides.push_back(Slide(
            {TextShape(1025 + 1024 * i, u"slide " + std::u16string(1, static_cast<char16_t>(u'1' + i)))}, 256 + i));
    uint32_t first = 0;
    Bytes stream = deck.Stream(first);
    Deck changed = deck;
    changed.slides[0].shapes = {TextShape(1025, u"slide 1, later")};
    changed.slides[3].shapes = {TextShape(4097, u"slide 4, later")};
    const uint32_t second = AppendEdit(stream, first, 3, changed.SlideRecord(0));
    const uint32_t third = AppendEdit(stream, second, 6, changed.SlideRecord(3));
    const uint32_t thirdDirectory = testcfb::GetU32(stream, third + 8 + 12);

    struct Case {
        const char* name;
        uint32_t currentUserOffset;
        uint64_t patchAt;  // 0: nothing patched
        uint32_t patch;
    } cases[] = {
        {"the chain is whole", third, 0, 0},
        {"the current user points outside the stream", 0x7FFFFFF0u, 0, 0},
        {"the current user points at another record", thirdDirectory, 0, 0},
        {"the last edit's directory offset points at another record", third, third + 8 + 12, first},
        {"the last edit's link points outside the stream", third, third + 8 + 8, 0x7FFFFFF0u},
        {"the middle edit's link points at another record", third, second + 8 + 8, thirdDirectory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = stream;
        if (c.patchAt) testcfb::PutU32(damaged, c.patchAt, c.patch);
        const Bytes user = CurrentUser(c.currentUserOffset);
        const Bytes file = File(damaged, &user);
        const bool whole = c.patchAt == 0 && c.currentUserOffset == third;

        const LoadResult loaded = LoadPresentationFromMemory(file, L"deck.ppt");
        const auto model = ParseBytes(file);
        const std::vector<uint32_t> ids{256, 257, 258, 259, 260, 261};
        EXPECT_EQ(LoadedIds(loaded), ids);
        EXPECT_EQ(ParsedIds(*model), ids);
        EXPECT_EQ(loaded.usedEditChain, whole);
        EXPECT_EQ(model->IsRecovered(), !whole);
        EXPECT_EQ(HasWarning(loaded.warnings, L"recovered"), !whole);
        EXPECT_EQ(HasWarning(model->GetWarnings(), L"recovered"), !whole);
        // Every save's latest state: the walk takes later directories over earlier ones.
        ASSERT_EQ(loaded.document->Slides().size(), 6u);
        EXPECT_EQ(FirstText(*loaded.document->Slides()[0]), L"slide 1, later");
        EXPECT_EQ(FirstText(*loaded.document->Slides()[1]), L"slide 2");
        EXPECT_EQ(FirstText(*loaded.document->Slides()[3]), L"slide 4, later");
        ASSERT_EQ(model->GetSlides()->GetCount(), 6u);
        const auto frame = model->GetSlides()->GetItem(3)->GetShapes()->GetItem(0)->GetTextFrame();
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->GetText(), L"slide 4, later");
    }
}

TEST(ReadersAgree, APowerPoint95FileIsReadFromItsStorageOfTheNewerFormat) {
    Deck deck;
    deck.slides.push_back(Slide({TextShape(1025, u"first")}));
    deck.slides.push_back(Slide({TextShape(2049, u"second")}, 257));
    uint32_t edit = 0;
    const Bytes stream = deck.Stream(edit);
    const Bytes user = CurrentUser(edit);
    // The older format's own streams: a record stream this reader does not understand, a header,
    // and a current-user stream without the newer format's record.
    const std::vector<testcfb::Stream> older = {{"PowerPoint Document", testcfb::Pattern(3000)},
                                                {"Header", testcfb::Pattern(57, 7)},
                                                {"Current User", testcfb::Pattern(15, 3)}};
    std::vector<testcfb::Stream> both = older;
    both.push_back({"PP97_DUALSTORAGE/PowerPoint Document", stream});
    both.push_back({"PP97_DUALSTORAGE/Current User", user});
    both.push_back({"PP97_DUALSTORAGE/Pictures", {}});
    const Bytes dualFile = testcfb::Build(both);

    bool dual = false;
    const auto model = ParseBytes(dualFile, &dual);
    EXPECT_TRUE(dual);
    EXPECT_EQ(ParsedIds(*model), (std::vector<uint32_t>{256, 257}));
    const LoadResult loaded = LoadPresentationFromMemory(dualFile, L"both.ppt");
    EXPECT_EQ(LoadedIds(loaded), (std::vector<uint32_t>{256, 257}));
    EXPECT_TRUE(loaded.usedEditChain);
    EXPECT_EQ(FirstText(*loaded.document->Slides()[1]), L"second");

    // Its copy is a plain file of the newer format, which both readers read alike.
    const std::filesystem::path copy =
        std::filesystem::temp_directory_path() / ("readers-copy-" + std::to_string(::getpid()) + ".ppt");
    CComPtr<_Presentation> p = loaded.document->Presentation();
    ASSERT_EQ(p->SaveCopyAs(CBstr(copy.wstring()), ppSaveAsPresentation, msoFalse), S_OK);
    const Bytes saved = bctest::FileBytes(copy.string());
    std::filesystem::remove(copy);
    compoundfile::CCompoundFileStorage storage(saved);
    ASSERT_TRUE(storage.Open());
    EXPECT_FALSE(storage.HasStream("Header"));
    EXPECT_TRUE(storage.HasStream("Pictures"));
    compoundfile::CCompoundFileStream document(storage, "PowerPoint Document");
    EXPECT_EQ(document.ReadAll(), stream);
    const auto reread = ParseBytes(saved, &dual);
    EXPECT_FALSE(dual);
    EXPECT_EQ(ParsedIds(*reread), (std::vector<uint32_t>{256, 257}));
    EXPECT_EQ(LoadedIds(LoadPresentationFromMemory(saved, L"copy.ppt")), (std::vector<uint32_t>{256, 257}));

    // Without the storage, or with a storage that holds no presentation of the newer format, the
    // file is the older format alone and is refused as such.
    std::vector<testcfb::Stream> emptyStorage = older;
    emptyStorage.push_back({"PP97_DUALSTORAGE/Current User", testcfb::Pattern(15, 3)});
    emptyStorage.push_back({"PP97_DUALSTORAGE/PowerPoint Document", stream});
    for (const Bytes& file : {testcfb::Build(older), testcfb::Build(emptyStorage)}) {
        try {
            ParseBytes(file);
            ADD_FAILURE() << "parsed";
        } catch (const libpptparser::CPptParserException& e) {
            EXPECT_EQ(e.GetKind(), libpptparser::CPptParserException::kOlderFormat);
            EXPECT_NE(e.GetMessage().find(L"PowerPoint 95"), std::wstring::npos);
        }
        try {
            LoadPresentationFromMemory(file, L"older.ppt");
            ADD_FAILURE() << "loaded";
        } catch (const CPptLoadError& e) {
            EXPECT_EQ(e.GetKind(), CPptLoadError::kOlderFormat);
        }
    }
}

TEST(ReadersAgree, ObjectsPastARecordThatRunsOffTheStreamAreReadWhereTheDirectoryPlacesThem) {
    Deck deck;
    for (uint32_t i = 0; i < 3; ++i)
        deck.slides.push_back(Slide(
            {TextShape(1025 + 1024 * i, u"slide " + std::u16string(1, static_cast<char16_t>(u'1' + i)))}, 256 + i));
    uint32_t edit = 0;
    const Bytes stream = deck.Stream(edit);
    const uint32_t directory = testcfb::GetU32(stream, edit + 8 + 12);
    // Persist ids 1 (document), 2 (master), 3.. (slides), as the deck writes them.
    const auto objectAt = [&](uint32_t persistId) { return testcfb::GetU32(stream, directory + 8 + 4 * persistId); };
    // A record's length with its high bytes damaged runs far past the end of the stream.
    const auto runOff = [](Bytes& s, uint32_t at) {
        testcfb::PutU32(s, at + 4, testcfb::GetU32(s, at + 4) | 0x7F000000u);
    };
    // The document's list of masters, inside the document.
    const Bytes masterList = {0x1F, 0x00, 0xF0, 0x0F};
    const uint32_t masterListAt = static_cast<uint32_t>(
        std::search(stream.begin(), stream.end(), masterList.begin(), masterList.end()) - stream.begin());

    struct Case {
        const char* name;
        std::vector<uint32_t> damaged;
        std::vector<uint32_t> ids;
        std::wstring firstText;
    } cases[] = {
        {"the master", {objectAt(2)}, {256, 257, 258}, L"slide 1"},
        {"the first slide", {objectAt(3)}, {257, 258}, L"slide 2"},
        // The document's walk ends before its slide list: the slides are those of the stream.
        {"the master and the document's list of masters", {objectAt(2), masterListAt}, {0, 0, 0}, L"slide 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes damaged = stream;
        for (uint32_t at : c.damaged) runOff(damaged, at);
        const Bytes user = CurrentUser(edit);
        const Bytes file = File(damaged, &user);
        const LoadResult loaded = LoadPresentationFromMemory(file, L"deck.ppt");
        const auto model = ParseBytes(file);
        // Slides found without the list of slides have no identity in the model (0).
        EXPECT_EQ(ParsedIds(*model), c.ids);
        const std::vector<uint32_t> loadedIds = LoadedIds(loaded);
        ASSERT_EQ(loadedIds.size(), c.ids.size());
        if (c.ids.front() != 0) {
            EXPECT_EQ(loadedIds, c.ids);
        }
        EXPECT_TRUE(loaded.usedEditChain);
        EXPECT_TRUE(HasWarning(loaded.warnings, L"where the directory places them"));
        EXPECT_EQ(FirstText(*loaded.document->Slides()[0]), c.firstText);
        const auto frame = model->GetSlides()->GetItem(0)->GetShapes()->GetItem(0)->GetTextFrame();
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->GetText(), c.firstText);
    }

    // A directory that places an object inside another one past the end of the walk does not
    // make the same bytes two records: the object that holds them is read, the other is not.
    Bytes inside = stream;
    runOff(inside, objectAt(2));
    testcfb::PutU32(inside, directory + 8 + 4 * 4, objectAt(3) + 8);  // slide 2 "inside" slide 1
    const Bytes user = CurrentUser(edit);
    const Bytes file = File(inside, &user);
    EXPECT_EQ(ParsedIds(*ParseBytes(file)), (std::vector<uint32_t>{256, 258}));
    EXPECT_EQ(LoadedIds(LoadPresentationFromMemory(file, L"deck.ppt")), (std::vector<uint32_t>{256, 258}));
}
