// Taking the movie out of a Flash control shape: from the control's saved storage, or from the
// movie file it names.

#include "CfbBuilder.h"
#include "SwfTestSupport.h"
#include "TempDir.h"
#include "genswf/ppt/PptShape.h"
#include "genswf/shapes/EmbeddedMovie.h"
#include "powerpoint/host/PowerPointHost.h"

#include "com/ComBstr.h"
#include "com/ComServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace genswf;
using namespace swftest;
using namespace PowerPoint::Host;

namespace {

// The control as the presentation hands it out: it can save its storage and names its movie.
class CFakeFlashControl : public com::CComObjectImpl<IShockwaveFlash, IPersistStorage> {
public:
    std::vector<std::uint8_t> storage;
    VARIANT_BOOL embed = VARIANT_TRUE;
    std::wstring movie;
    HRESULT movieResult = S_OK;
    HRESULT saveResult = S_OK;

    HRESULT get_Movie(BSTR* out) override {
        *out = movieResult < 0 ? nullptr : BstrFromWString(movie);
        return movieResult;
    }
    HRESULT get_EmbedMovie(VARIANT_BOOL* out) override {
        *out = embed;
        return S_OK;
    }
    HRESULT Save(IStorage* target, BOOL) override {
        if (saveResult < 0) return saveResult;
        return target->WriteCompoundImage(storage.data(), static_cast<ULONG>(storage.size()));
    }
};

// Only the control's dispatch face, no storage.
class CStoragelessControl : public com::CComObjectImpl<IShockwaveFlash> {
public:
    HRESULT get_Movie(BSTR* out) override {
        *out = nullptr;
        return S_OK;
    }
    HRESULT get_EmbedMovie(VARIANT_BOOL* out) override {
        *out = VARIANT_TRUE;
        return S_OK;
    }
};

std::vector<std::uint8_t> U32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

// A "Contents" stream as the control writes it: a mark, a size, some properties, then the movie
// behind its length.
std::vector<std::uint8_t> ContentsWith(const std::vector<std::uint8_t>& movie) {
    std::vector<std::uint8_t> out = U32(0x55665566);
    const auto size = U32(static_cast<std::uint32_t>(movie.size() + 64));
    out.insert(out.end(), size.begin(), size.end());
    out.insert(out.end(), 40, 0x11);
    const auto length = U32(static_cast<std::uint32_t>(movie.size()));
    out.insert(out.end(), length.begin(), length.end());
    out.insert(out.end(), movie.begin(), movie.end());
    out.insert(out.end(), 20, 0x00);  // properties after the movie
    return out;
}

struct ControlSlide {
    CHostDocumentRef doc = CHostDocument::Create();
    CHostSlide* slide = doc->AddSlide();
    CHostShape* node = slide->AddShape(PowerPoint::msoOLEControlObject, L"Flash", 0, 0, 275, 100);
    CFakeFlashControl* control = new CFakeFlashControl();

    ControlSlide() {
        node->data.ole.progId = L"ShockwaveFlash.ShockwaveFlash.1";
        node->data.ole.object = CComPtr<IUnknown>(static_cast<IShockwaveFlash*>(control));
        control->Release();
    }
    std::shared_ptr<CSwfContent> Content(const std::wstring& location = L"") {
        return CreateSwfContent(CreatePptShape(node->Interface()), location);
    }
};

TEST(FlashControl, EmbeddedMovieComesOutOfTheSavedStorage) {
    const auto plain = Plain();
    struct Case {
        const char* name;
        std::vector<std::uint8_t> movie;
    };
    const Case cases[] = {{"plain", plain}, {"compressed", Compressed(plain)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlSlide deck;
        deck.control->storage = testcfb::Build({{"Contents", ContentsWith(c.movie)}, {"\x03ObjInfo", {0, 0, 0, 0}}});
        auto content = deck.Content();
        ASSERT_TRUE(content);
        EXPECT_EQ(c.movie, content->GetSourceBytes());
        EXPECT_TRUE(std::equal(plain.begin() + 1, plain.end(), content->GetMovieData().begin() + 1,
                               content->GetMovieData().end()));
        EXPECT_FLOAT_EQ(0.25f, content->GetFitMatrix().a);
        EXPECT_FLOAT_EQ(68.75f, content->GetFitMatrix().tx);
    }
}

TEST(FlashControl, NoMovieGivesNoContent) {
    struct Case {
        const char* name;
        std::function<void(ControlSlide&)> setUp;
    };
    const Case cases[] = {
        {"storage without Contents",
         [](ControlSlide& d) {
             d.control->storage = testcfb::Build({{"Other", Plain()}});
         }},
        {"Contents without a movie",
         [](ControlSlide& d) {
             d.control->storage = testcfb::Build({{"Contents", std::vector<std::uint8_t>(300, 7)}});
         }},
        {"storage that is no compound file", [](ControlSlide& d) { d.control->storage = Plain(); }},
        {"empty storage", [](ControlSlide&) {}},
        {"save fails",
         [](ControlSlide& d) {
             d.control->storage = testcfb::Build({{"Contents", ContentsWith(Plain())}});
             d.control->saveResult = E_FAIL;
         }},
        {"no object", [](ControlSlide& d) { d.node->data.ole.object = nullptr; }},
        {"control without storage",
         [](ControlSlide& d) {
             auto* bare = new CStoragelessControl();
             d.node->data.ole.object = CComPtr<IUnknown>(static_cast<IShockwaveFlash*>(bare));
             bare->Release();
         }},
        {"linked, no movie named", [](ControlSlide& d) { d.control->embed = VARIANT_FALSE; }},
        {"linked, movie nowhere",
         [](ControlSlide& d) {
             d.control->embed = VARIANT_FALSE;
             d.control->movie = L"/nonexistent/folder/clip.swf";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlSlide deck;
        c.setUp(deck);
        EXPECT_FALSE(deck.Content(L"/nonexistent/deck.ppt"));
    }
}

TEST(FlashControl, LinkedMovieIsReadFromItsFileOrBesideThePresentation) {
    CScratchFolder folder;
    const auto movie = Compressed(Plain());
    folder.Write("clip.swf", movie);
    folder.Write("empty.swf", {});

    ControlSlide deck;
    deck.control->embed = VARIANT_FALSE;
    deck.control->movie = (folder / "clip.swf").wstring();
    auto direct = deck.Content();
    ASSERT_TRUE(direct);
    EXPECT_EQ(movie, direct->GetSourceBytes());

    // Moved along with the presentation: the absolute path is stale, the name still counts. The
    // location is the presentation's folder, and the movie lies in it, not in its parent.
    deck.control->movie = L"C:\\Users\\someone\\Movies\\clip.swf";
    EXPECT_FALSE(deck.Content());
    auto beside = deck.Content((folder / "").wstring());
    ASSERT_TRUE(beside);
    EXPECT_EQ(movie, beside->GetSourceBytes());
    std::filesystem::create_directory(folder / "talks");
    EXPECT_FALSE(deck.Content((folder / "talks").wstring()));

    deck.control->movie = (folder / "empty.swf").wstring();
    EXPECT_FALSE(deck.Content((folder / "").wstring()));
}

TEST(FlashControl, FailedMovieReadMeansNoMovie) {
    ControlSlide deck;
    deck.control->embed = VARIANT_FALSE;
    deck.control->movieResult = E_FAIL;
    EXPECT_FALSE(deck.Content());
}

TEST(FlashControl, FindsTheMovieInsideContents) {
    const auto plain = Plain();
    const auto packed = Compressed(plain);
    std::vector<std::uint8_t> packedUnprefixed(30, 0);
    packedUnprefixed.insert(packedUnprefixed.end(), packed.begin(), packed.end());
    // A plain movie that claims more bytes than the stream holds is passed over.
    auto overlong = plain;
    overlong[4] = 200;
    std::vector<std::uint8_t> overlongThenGood = overlong;
    overlongThenGood.insert(overlongThenGood.end(), plain.begin(), plain.end());

    struct Case {
        const char* name;
        std::vector<std::uint8_t> contents;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"movie at the start", plain, plain},
        {"behind its length", ContentsWith(packed), packed},
        {"compressed without a length runs to the end", packedUnprefixed, packed},
        {"overlong then good", overlongThenGood, plain},
        {"nothing", std::vector<std::uint8_t>(100, 'W'), {}},
        {"too short", {'F', 'W', 'S', 8}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, FindMovieInContents(c.contents.data(), c.contents.size()));
    }
}

}  // namespace
