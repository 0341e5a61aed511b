// The movie export over decks made in the host: the root timeline with one frame per slide and
// the end frame, the jumps and addresses of linked shapes on both PowerPoint versions, the
// on-click link, and a cancel that leaves no description behind.

#include "SlideTestSupport.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace slidetest;

namespace {

struct RegistryReset {
    ~RegistryReset() { CEffectRegistry::CreateGlobal(nullptr); }
};

// The export, checked against the compiler's schema and compiled.
std::wstring ExportAndCompile(CMovie& movie) {
    movie.Export(L"movie.xml");
    const std::wstring path = movie.GetTempFolder() + L"movie.xml";
    EXPECT_EQ("", Validate(path));
    EXPECT_EQ("", Compile(path));
    return path;
}

std::string RootFrames(CMovie& movie) {
    std::vector<XmlElementPtr> layers = Children(movie.GetLayersElement(), L"layer");
    return layers.empty() ? std::string("no layer") : DescribeFrames(layers.back());
}

TEST(MovieExport, RootTimelineHasOneFramePerSlideAndTheEndFrame) {
    struct Case {
        const char* name;
        int slides;
        bool loopTag;
        const char* frames;
    } cases[] = {
        {"no slides", 0, false, "0: actionStop"},
        {"no slides, looping", 0, true, "0: actionGoToFrame 0"},
        {"one slide stays", 1, false, "0: show sld0 actionStop; 1: actionStop"},
        {"one slide, looping", 1, true, "0: show sld0 actionStop; 1: hide showSlide0 actionGoToFrame 0"},
        {"three slides", 3, false,
         "0: show sld0 actionStop; 1: hide showSlide0 show sld1 actionStop; "
         "2: hide showSlide1 show sld2 actionStop; 3: actionStop"},
        {"three slides, looping", 3, true,
         "0: show sld0 actionStop; 1: hide showSlide0 show sld1 actionStop; "
         "2: hide showSlide1 show sld2 actionStop; 3: hide showSlide2 actionGoToFrame 0"},
    };
    for (const Case& c : cases) {
        for (const wchar_t* version : {L"9.0", L"11.0"}) {
            SCOPED_TRACE(std::string(c.name) + " " + U8(version));
            RegistryReset reset;
            Deck deck(c.slides, version);
            if (c.loopTag) deck.doc->tags.push_back({L"GENSWF_MOVIE_LOOPED_PLAYBACK", L"1"});
            auto movie = deck.Movie();
            ExportAndCompile(*movie);
            EXPECT_EQ(c.frames, RootFrames(*movie));
            std::vector<int> starts;
            for (int i = 0; i < c.slides; ++i) starts.push_back(i);
            EXPECT_EQ(starts, movie->GetSlideStartFrames());
            EXPECT_TRUE(deck.doc->Changes().empty());
        }
    }
}

// Only with the loop allowed by the converter does the looping tag count.
TEST(MovieExport, LoopingTagWithoutLoopAllowedStops) {
    RegistryReset reset;
    Deck deck(1);
    deck.doc->tags.push_back({L"GENSWF_MOVIE_LOOPED_PLAYBACK", L"1"});
    auto movie = deck.Movie();
    movie->SetLoopAllowed(false);
    ExportAndCompile(*movie);
    EXPECT_EQ("0: show sld0 actionStop; 1: actionStop", RootFrames(*movie));
}

ActionData Action(PpActionType type, const std::wstring& address = L"", const std::wstring& subAddress = L"") {
    ActionData a;
    a.action = type;
    a.hyperlink.address = address;
    a.hyperlink.subAddress = subAddress;
    return a;
}

// "action attr attr; action ..." of a button element's actions.
std::string DescribeActions(const XmlElementPtr& button) {
    std::string out;
    for (XmlNodePtr a = button ? button->firstChild() : nullptr; a; a = a->nextSibling()) {
        auto action = std::dynamic_pointer_cast<xmldom::XmlElement>(a);
        if (!action) continue;
        if (!out.empty()) out += "; ";
        out += U8(action->nodeName());
        for (const wchar_t* attribute : {L"spriteName", L"index", L"url", L"target"})
            if (action->hasAttribute(attribute)) out += " " + U8(action->getAttribute(attribute));
    }
    return out;
}

// Four slides, ids 256 + index; `on` holds the link, `range` lists the exported slides (0-based),
// so positions and slide indexes differ once a slide is left out.
struct LinkCase {
    const char* name;
    int on;
    std::vector<int> range;
    ActionData action;
    const char* actions;
};

std::shared_ptr<CMovie> RangeMovie(Deck& deck, const std::vector<int>& range) {
    std::vector<CHostSlide*> chosen;
    for (int i : range) chosen.push_back(deck.Slide(i));
    return deck.Movie([&](CExportSettings& s) {
        CComPtr<SlideRange> slides = deck.doc->MakeSlideRange(chosen);
        s.SetSlideRange(slides);
        s.ReadSlides(slides);
    });
}

// Linked shapes made by the slides of both versions: the source carries the slide's index and
// the pass gives the button its jump or address.
TEST(MovieExport, HyperlinkButtonsOfLinkedShapesOnBothVersions) {
    const std::vector<LinkCase> cases = {
        {"slide id",
         0,
         {0, 2, 3},
         Action(ppActionHyperlink, L"", L"258,3,Third"),
         "actionSetTarget /; actionGoToFrame 1"},
        {"hexadecimal slide id",
         0,
         {0, 2, 3},
         Action(ppActionHyperlink, L"", L"0x102,9,Third"),
         "actionSetTarget /; actionGoToFrame 1"},
        {"link on a later slide",
         3,
         {1, 3},
         Action(ppActionHyperlink, L"", L"257,2,Second"),
         "actionSetTarget /; actionGoToFrame 0"},
        {"unknown id, slide number",
         0,
         {0, 1, 2, 3},
         Action(ppActionHyperlink, L"", L"999,3,Third"),
         "actionSetTarget /; actionGoToFrame 2"},
        {"slide not exported", 0, {0, 2, 3}, Action(ppActionHyperlink, L"", L"257,2,Second"), ""},
        {"slide number out of range", 0, {0, 1}, Action(ppActionHyperlink, L"", L"x,40"), ""},
        {"address and sub-address",
         0,
         {0, 1},
         Action(ppActionHyperlink, L"http://example.org/", L"258,3"),
         "actionGetURL http://example.org/ _blank"},
        {"mail",
         1,
         {1},
         Action(ppActionHyperlink, L"mailto:team@example.org"),
         "actionGetURL mailto:team@example.org _blank"},
        {"relative file",
         0,
         {0},
         Action(ppActionHyperlink, L"notes/handout.pdf"),
         "actionGetURL notes/handout.pdf _blank"},
        {"script", 0, {0}, Action(ppActionHyperlink, L"javascript:alert(1)"), ""},
        {"absolute file", 0, {0}, Action(ppActionHyperlink, L"file:///etc/passwd"), ""},
        {"drive path", 0, {0}, Action(ppActionHyperlink, L"C:\\secret.doc"), ""},
        // The moves between slides come through the slide's links like addresses do.
        {"next slide", 0, {0, 2, 3}, Action(ppActionNextSlide), "actionSetTarget /; actionGoToFrame 1"},
        {"previous slide", 3, {0, 2, 3}, Action(ppActionPreviousSlide), "actionSetTarget /; actionGoToFrame 1"},
        {"first slide", 2, {1, 2}, Action(ppActionFirstSlide), "actionSetTarget /; actionGoToFrame 0"},
        {"last slide", 0, {0, 1, 2}, Action(ppActionLastSlide), "actionSetTarget /; actionGoToFrame 2"},
    };
    for (const LinkCase& c : cases) {
        for (const wchar_t* version : {L"9.0", L"11.0"}) {
            SCOPED_TRACE(std::string(c.name) + " " + U8(version));
            RegistryReset reset;
            Deck deck(4, version);
            CHostShape* link = deck.Slide(c.on)->AddShape(msoAutoShape, L"Link", 100, 100, 200, 80);
            link->data.hasTextFrame = msoFalse;
            link->data.click = c.action;
            auto movie = RangeMovie(deck, c.range);
            ASSERT_EQ(c.range.size(), movie->GetSlideCount());
            ExportAndCompile(*movie);
            ASSERT_EQ(1u, movie->GetHyperlinkSources().size());
            const std::shared_ptr<CHyperlinkSource>& source = movie->GetHyperlinkSources()[0];
            EXPECT_EQ(c.on, source->slideId);
            ASSERT_TRUE(source->button && source->button->GetElement()) << "the button was not written";
            EXPECT_EQ(c.actions, DescribeActions(source->button->GetElement()));
            EXPECT_TRUE(deck.doc->Changes().empty());
        }
    }
}

// The moves between slides, on sources handed to the movie as the exporters hand them.
TEST(MovieExport, HyperlinkPassMovesBetweenExportedSlides) {
    const std::vector<LinkCase> cases = {
        {"next from the first", 0, {0, 1, 2, 3}, Action(ppActionNextSlide), "actionSetTarget /; actionGoToFrame 1"},
        {"next from the last", 3, {0, 1, 2, 3}, Action(ppActionNextSlide), ""},
        {"next over a slide left out", 0, {0, 2, 3}, Action(ppActionNextSlide), "actionSetTarget /; actionGoToFrame 1"},
        {"previous from the first exported", 1, {1, 2}, Action(ppActionPreviousSlide), ""},
        {"previous", 3, {0, 2, 3}, Action(ppActionPreviousSlide), "actionSetTarget /; actionGoToFrame 1"},
        {"first from the first", 0, {0, 1}, Action(ppActionFirstSlide), ""},
        {"first from the third", 3, {1, 2, 3}, Action(ppActionFirstSlide), "actionSetTarget /; actionGoToFrame 0"},
        {"last", 0, {0, 1, 3}, Action(ppActionLastSlide), "actionSetTarget /; actionGoToFrame 2"},
        {"last from the last", 3, {0, 3}, Action(ppActionLastSlide), ""},
        {"on a slide not exported", 1, {0, 2}, Action(ppActionNextSlide), "not written"},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryReset reset;
        Deck deck(4, L"11.0");
        auto movie = RangeMovie(deck, c.range);
        auto setting = std::make_shared<CActionSetting>();
        setting->action = c.action.action;
        setting->mouseEvent = 1;
        auto list = CreateActionSettingList();
        list->Add(setting);
        auto button = CreateButtonObject(movie.get(), nullptr, L"rect0", L"rect0", L"rect0", L"rect0");
        movie->AddHyperlinkSource(CreateHyperlinkButton(button, list, c.on));
        movie->Export(L"movie.xml");
        EXPECT_EQ(c.actions, button->GetElement() ? DescribeActions(button->GetElement()) : "not written");
    }
}

TEST(MovieExport, OnClickLinkCoversTheMovieOnItsOwnLayer) {
    struct Case {
        const char* name;
        std::vector<TagData> tags;
        const char* action;  // empty: no button
    };
    const std::vector<Case> cases = {
        {"enabled, target kept",
         {{L"GENSWF_MOVIE_ONCLICK_URL_ENABLED", L"1"},
          {L"GENSWF_MOVIE_ONCLICK_URL", L"  https://example.org/\t"},
          {L"GENSWF_MOVIE_ONCLICK_URL_TARGET", L"_top"}},
         "actionGetURL https://example.org/ _top"},
        {"unknown target",
         {{L"GENSWF_MOVIE_ONCLICK_URL_ENABLED", L"1"},
          {L"GENSWF_MOVIE_ONCLICK_URL", L"https://example.org/"},
          {L"GENSWF_MOVIE_ONCLICK_URL_TARGET", L"_Blank"}},
         "actionGetURL https://example.org/ _self"},
        {"blank address", {{L"GENSWF_MOVIE_ONCLICK_URL_ENABLED", L"1"}, {L"GENSWF_MOVIE_ONCLICK_URL", L" \t "}}, ""},
        {"not enabled",
         {{L"GENSWF_MOVIE_ONCLICK_URL_ENABLED", L"true"}, {L"GENSWF_MOVIE_ONCLICK_URL", L"http://a/"}},
         ""},
        {"script address",
         {{L"GENSWF_MOVIE_ONCLICK_URL_ENABLED", L"1"}, {L"GENSWF_MOVIE_ONCLICK_URL", L"javascript:void(0)"}},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryReset reset;
        Deck deck(2, L"11.0");
        deck.doc->tags = c.tags;
        auto movie = deck.Movie([](CExportSettings& s) { s.SetMovieSize(640, 480); });
        ExportAndCompile(*movie);
        std::vector<XmlElementPtr> buttons = Children(movie->GetObjectsElement(), L"button");
        std::vector<XmlElementPtr> layers = Children(movie->GetLayersElement(), L"layer");
        if (*c.action == '\0') {
            EXPECT_TRUE(buttons.empty());
            EXPECT_EQ(1u, layers.size());
            continue;
        }
        ASSERT_EQ(1u, buttons.size());
        EXPECT_EQ(c.action, DescribeActions(buttons[0]));
        const std::wstring rect = buttons[0]->getAttribute(L"hit");
        XmlElementPtr rectangle = FindById(movie->GetObjectsElement(), rect);
        ASSERT_TRUE(rectangle);
        EXPECT_EQ(L"12800tw", rectangle->getAttribute(L"width"));
        EXPECT_EQ(L"9600tw", rectangle->getAttribute(L"height"));
        XmlElementPtr style = FindById(movie->GetStylesElement(), rectangle->getAttribute(L"fillStyle"));
        ASSERT_TRUE(style);
        EXPECT_EQ(L"0", style->getAttribute(L"alpha"));
        // The button's layer, then the root timeline.
        ASSERT_EQ(2u, layers.size());
        EXPECT_EQ("0: show " + U8(buttons[0]->getAttribute(L"id")), DescribeFrames(layers[0]));
    }
}

TEST(MovieExport, SafeAddresses) {
    struct Case {
        const wchar_t* address;
        bool safe;
    } cases[] = {
        {L"http://example.org/", true},
        {L"HTTPS://example.org/a?b=c", true},
        {L"mailto:a@b.org", true},
        {L"ftp://files.example.org/", true},
        {L"handout.pdf", true},
        {L"../slides/next.html", true},
        {L"javascript:alert(1)", false},
        {L" JavaScript:alert(1)", false},
        {L"vbscript:x", false},
        {L"file:///etc/passwd", false},
        {L"file://server/share", false},
        {L"C:\\Users\\a.doc", false},
        {L"c:/a.doc", false},
        {L"/etc/passwd", false},
        {L"\\\\server\\share", false},
        {L"data:text/html,x", false},
        {L"", false},
        {L"   ", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.safe, IsSafeMovieUrl(c.address)) << U8(c.address);
}

// Cancels once the export reaches the given task.
class CancelAt : public CProgressSink {
public:
    explicit CancelAt(int task) : m_task(task) {}
    int SetSlide(int index) override {
        if (GetTask() == m_task) throw CInterruptedException();
        return CProgressSink::SetSlide(index);
    }

private:
    int m_task;
};

TEST(MovieExport, CancelLeavesNoDescriptionAndNoChanges) {
    for (int task : {TASK_EXPORT_FILES, TASK_EXPORT_XML}) {
        for (const wchar_t* version : {L"9.0", L"11.0"}) {
            SCOPED_TRACE(std::to_string(task) + " " + U8(version));
            RegistryReset reset;
            CancelAt sink(task);
            Deck deck(2, version);
            deck.Slide(0)->AddShape(msoAutoShape, L"Box", 10, 10, 100, 100)->data.hasTextFrame = msoFalse;
            auto movie = deck.Movie([&](CExportSettings& s) { s.SetProgressSink(&sink); });
            EXPECT_THROW(movie->Export(L"movie.xml"), CInterruptedException);
            EXPECT_FALSE(std::filesystem::exists(NativePath(deck.Folder() + L"movie.xml")));
            EXPECT_TRUE(deck.doc->Changes().empty());
        }
    }
}

}  // namespace
