// A presentation file with a Flash control whose storage embeds a movie: the loader keeps the
// storage, the control reads its movie out of it, and the shape exporters fit it and hand it to
// the compiler as a sprite.

#include "CfbBuilder.h"
#include "DeckBuilder.h"
#include "ShapeFixture.h"
#include "SwfTestSupport.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/BasicShape.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "genswf/shapes/Shape.h"
#include "genswf/shapes/ShapeHolder.h"
#include "powerpoint/controls/FlashControl.h"
#include "powerpoint/loader/PptLoader.h"

#include <filesystem>

using namespace genswf;
using namespace shapetest;
using namespace testdeck;
using namespace testrec;
using namespace PowerPoint;

namespace {

constexpr std::uint16_t kExObjList = 1033, kExObjListAtom = 1034, kExControl = 4078, kExControlAtom = 4091,
                        kExOleObjAtom = 4035, kExObjRefAtom = 3009, kExOleObjStg = 4113;
constexpr std::uint32_t kStoragePersistId = 100;

// The control's storage: a Contents stream with the movie behind its length, then the address.
Bytes ControlStorage(const Bytes& movie, const std::u16string& address = u"") {
    Bytes contents = U32s({0x55665566, static_cast<std::uint32_t>(movie.size())});
    contents.insert(contents.end(), movie.begin(), movie.end());
    contents = Cat({contents, U32s({static_cast<std::uint32_t>(address.size())}), Utf16(address)});
    return testcfb::Build({{"Contents", contents}, {"\x03OCXNAME", Utf16(u"ShockwaveFlash1")}});
}

enum class Storage { kCompressed, kPlain, kMissing };

// One slide with a 275 x 100 point Flash control at (100, 100), its object in the document's
// list, and its storage saved later in the edit chain.
Bytes FlashDeck(const Bytes& storage, Storage how) {
    Deck deck;
    deck.slides = {Slide(
        {SpShape(201, 1025, 0xA10,
                 {ClientAnchor(800, 800, 800 + 2200, 800 + 800), ClientData({Atom(kExObjRefAtom, U32s({1}))})})})};
    const Bytes control =
        Container(kExControl,
                  {Atom(kExControlAtom, U32s({256})),
                   Record(1, 0, kExOleObjAtom, U32s({1, 2, 1, 0, kStoragePersistId, 0})), CString(1, u"ShockwaveFlash"),
                   CString(2, u"ShockwaveFlash.ShockwaveFlash.1"), CString(3, u"Shockwave Flash Object")});
    deck.documentRecords = {Container(kExObjList, {Atom(kExObjListAtom, U32s({1})), control})};
    std::uint32_t edit = 0;
    Bytes stream = deck.Stream(edit);
    if (how == Storage::kCompressed) {
        const Bytes packed = swftest::Deflate(storage.data(), storage.size(), 6);
        edit =
            AppendEdit(stream, edit, kStoragePersistId,
                       Record(0, 1, kExOleObjStg, Cat({U32s({static_cast<std::uint32_t>(storage.size())}), packed})));
    } else if (how == Storage::kPlain) {
        edit = AppendEdit(stream, edit, kStoragePersistId, Record(0, 0, kExOleObjStg, storage));
    }
    const Bytes user = CurrentUser(edit);
    return File(stream, &user);
}

// The movie description of one slide's shape exported on the timeline path, compiled.
swftest::Movie CompileShape(Host::CHostDocument& doc, const std::wstring& folder,
                            std::shared_ptr<CMovieObject>& shown) {
    CEffectRegistry::CreateGlobal(doc.Application());
    auto settings = CExportSettings::Create(doc.Presentation());
    settings->SetTempFolder(folder);
    settings->SetMovieSize(360, 270);
    settings->ReadSlides(nullptr);
    auto movie = CMovie::Create(settings);
    movie->WriteMovieAttributes(360, 270, 10, 0xFFFFFF, false);
    auto handle = CreateBasicShapeHandle(movie->GetSlide(0).get(), doc.Slides()[0]->shapes[0]->Interface().Get(), 0);
    handle->Export();
    shown = handle->GetHolder()->GetBasicShape()->GetAnimatedObject()->GetCurrentObject();
    handle->GetObjectsCollection()->WriteMembers(movie->GetObjectsElement());
    handle->GetLayersCollection()->WriteMembers(movie->GetLayersElement());
    const std::wstring xml = folder + L"movie.xml";
    movie->SaveXml(xml);
    return CompileDescription(xml);
}

TEST(FlashDeck, EmbeddedMovieComesOutOfTheFileAndCompilesAsASprite) {
    const Bytes plain = swftest::Plain();
    struct Case {
        const char* name;
        Bytes movie;
        Storage how;
    };
    const Case cases[] = {
        {"compressed storage, plain movie", plain, Storage::kCompressed},
        {"plain storage, compressed movie", swftest::Compressed(plain), Storage::kPlain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScratchFolder scratch;
        const Bytes storage = ControlStorage(c.movie);
        auto loaded = Loader::LoadPresentationFromMemory(FlashDeck(storage, c.how), L"flash.ppt");
        Host::CHostDocument& doc = *loaded.document;
        ASSERT_EQ(1u, doc.Slides().size());
        ASSERT_EQ(1u, doc.Slides()[0]->shapes.size());
        Host::CHostShape* node = doc.Slides()[0]->shapes[0];
        EXPECT_EQ(msoOLEControlObject, node->data.type);
        EXPECT_EQ(L"ShockwaveFlash.ShockwaveFlash.1", node->data.ole.progId);
        EXPECT_EQ(storage, node->data.ole.storage);
        ASSERT_TRUE(node->data.ole.object);

        // The control's movie, fitted into the shape's 275 x 100 points.
        auto content = CreateSwfContent(CreatePptShape(node->Interface()), L"");
        ASSERT_TRUE(content);
        EXPECT_EQ(c.movie, content->GetSourceBytes());
        EXPECT_FLOAT_EQ(0.25f, content->GetFitMatrix().a);
        EXPECT_FLOAT_EQ(68.75f, content->GetFitMatrix().tx);

        std::shared_ptr<CMovieObject> shown;
        const swftest::Movie compiled = CompileShape(doc, scratch.FolderPath(), shown);
        auto sprite = std::dynamic_pointer_cast<CSpriteObject>(shown);
        ASSERT_TRUE(sprite);
        EXPECT_TRUE(EndsWith(sprite->src, L".swf"));
        EXPECT_EQ(1, PlacedSprites(compiled));
        for (const auto& change : doc.Changes()) ADD_FAILURE() << U8(change.object) << " " << change.member;
        CEffectRegistry::CreateGlobal(nullptr);
    }
}

// The whole export of the deck, by both versions (the per-shape exporter without a timeline and
// the basic shapes of the timeline): the slide's sprite holds the movie's sprite.
TEST(FlashDeck, DeckWithAnEmbeddedMovieConvertsOnBothVersions) {
    for (const wchar_t* version : {L"9.0", L"11.0"}) {
        SCOPED_TRACE(U8(version));
        CScratchFolder scratch;
        auto loaded = Loader::LoadPresentationFromMemory(
            FlashDeck(ControlStorage(swftest::Compressed(swftest::Plain())), Storage::kCompressed), L"flash.ppt");
        Host::CHostDocument& doc = *loaded.document;
        doc.version = version;
        auto settings = CExportSettings::Create(doc.Presentation());
        settings->SetTempFolder(scratch.FolderPath());
        settings->SetMovieSize(360, 270);
        settings->ReadSlides(nullptr);
        auto movie = CMovie::Create(settings);
        movie->Export(L"movie.xml");
        // sld0 on the root, the movie's sprite in it.
        EXPECT_EQ(2, PlacedSprites(CompileDescription(scratch.FolderPath() + L"movie.xml")));
        int swfFiles = 0;
        for (const auto& entry : std::filesystem::directory_iterator(U8(scratch.FolderPath())))
            if (entry.path().extension() == ".swf") ++swfFiles;
        EXPECT_EQ(1, swfFiles);
        for (const auto& change : doc.Changes()) ADD_FAILURE() << U8(change.object) << " " << change.member;
        CEffectRegistry::CreateGlobal(nullptr);
    }
}

TEST(FlashDeck, ControlWhoseStorageIsMissingBecomesAPicture) {
    CScratchFolder scratch;
    auto loaded = Loader::LoadPresentationFromMemory(FlashDeck(ControlStorage(swftest::Plain()), Storage::kMissing),
                                                     L"flash.ppt");
    Host::CHostDocument& doc = *loaded.document;
    Host::CHostShape* node = doc.Slides()[0]->shapes[0];
    EXPECT_TRUE(node->data.ole.storage.empty());
    bool warned = false;
    for (const auto& w : loaded.warnings) warned = warned || w.find(L"storage") != std::wstring::npos;
    EXPECT_TRUE(warned);
    EXPECT_FALSE(CreateSwfContent(CreatePptShape(node->Interface()), L""));

    std::shared_ptr<CMovieObject> shown;
    CompileShape(doc, scratch.FolderPath(), shown);
    EXPECT_TRUE(std::dynamic_pointer_cast<CImageObject>(shown));
    EXPECT_TRUE(doc.Changes().empty());
    CEffectRegistry::CreateGlobal(nullptr);
}

TEST(FlashControlStandIn, ReadsTheMovieAndTheAddressOfItsContents) {
    const Bytes movie = swftest::Plain();
    struct Case {
        const char* name;
        Bytes storage;
        VARIANT_BOOL embed;
        std::wstring address;
    };
    const Case cases[] = {
        {"embedded movie", ControlStorage(movie, u"clip.swf"), VARIANT_TRUE, L"clip.swf"},
        {"linked movie", ControlStorage({}, u"C:\\movies\\clip.swf"), VARIANT_FALSE, L"C:\\movies\\clip.swf"},
        {"length past the end", testcfb::Build({{"Contents", U32s({0x55665566, 5000, 1, 2})}}), VARIANT_FALSE, L""},
        {"no mark", testcfb::Build({{"Contents", Cat({U32s({1, 0}), movie})}}), VARIANT_FALSE, L""},
        {"no storage", {}, VARIANT_FALSE, L""},
        {"no compound file", movie, VARIANT_FALSE, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CComPtr<IUnknown> control = Controls::CreateFlashControl(c.storage);
        CComPtr<IShockwaveFlash> flash;
        ASSERT_GE(control->QueryInterface(IID_IShockwaveFlash, reinterpret_cast<void**>(&flash)), 0);
        VARIANT_BOOL embed = 7;
        EXPECT_GE(flash->get_EmbedMovie(&embed), 0);
        EXPECT_EQ(c.embed, embed);
        BSTR address = nullptr;
        EXPECT_GE(flash->get_Movie(&address), 0);
        EXPECT_EQ(c.address, WStringFromBstr(address));
        SysFreeString(address);
    }
    EXPECT_TRUE(Controls::IsFlashProgId(L"ShockwaveFlash.ShockwaveFlash"));
    EXPECT_TRUE(Controls::IsFlashProgId(L"shockwaveflash.shockwaveflash.10"));
    EXPECT_FALSE(Controls::IsFlashProgId(L"ShockwaveFlash.ShockwaveFlashX"));
    EXPECT_FALSE(Controls::IsFlashProgId(L"ShockwaveFlash.ShockwaveFlash."));
    EXPECT_FALSE(Controls::IsFlashProgId(L"Forms.CommandButton.1"));
}

}  // namespace
