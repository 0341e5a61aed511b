// What a slide reads when the movie collects it, and the sprite it writes: the end of its
// timeline, the button that moves a waiting slide on, its sound and the presentation-end address.

#include "PptFailureText.h"
#include "SlideTestSupport.h"
#include "genswf/movie/MovieObjects.h"
#include "genswf/shapes/Shapes.h"
#include "genswf/slides/SlideActions.h"
#include "genswf/slides/SlideBackground.h"
#include "genswf/utils/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>

using namespace genswf;
using namespace PowerPoint;
using namespace PowerPoint::Host;
using namespace slidetest;

namespace {

ActionData Link(const std::wstring& address) {
    ActionData a;
    a.action = ppActionHyperlink;
    a.hyperlink.address = address;
    return a;
}

// A PCM WAV file of a few silent samples, 8 bits at 11025 Hz.
void WriteWav(const std::wstring& path) {
    const std::uint8_t bytes[] = {'R', 'I', 'F',  'F',  44, 0,   0,   0,   'W', 'A', 'V', 'E',  'f',
                                  'm', 't', ' ',  16,   0,  0,   0,   1,   0,   1,   0,   0x11, 0x2B,
                                  0,   0,   0x11, 0x2B, 0,  0,   1,   0,   8,   0,   'd', 'a',  't',
                                  'a', 8,   0,    0,    0,  128, 128, 128, 128, 128, 128, 128,  128};
    std::ofstream(NativePath(path), std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(SlideConstruction, SlideWithoutShapesOnBothPaths) {
    for (const wchar_t* version : {L"9.0", L"11.0"}) {
        SCOPED_TRACE(U8(version));
        Deck deck(2, version);
        deck.Slide(1)->colorScheme[6] = 0x123456;
        auto movie = deck.Movie();
        ASSERT_EQ(2u, movie->GetSlideCount());
        const auto& slide = movie->GetSlides()[1];
        EXPECT_TRUE(slide->GetShapes().empty());
        EXPECT_TRUE(slide->GetShapesByZOrder().empty());
        EXPECT_TRUE(slide->GetObjects() && slide->GetLayers() && slide->GetStyles());
        ASSERT_TRUE(slide->GetBackground());
        EXPECT_EQ(0xFFFFFFu, slide->GetBackground()->GetBackgroundColor());
        EXPECT_EQ(version == std::wstring(L"11.0"), slide->GetShapeList() != nullptr);
        EXPECT_EQ(deck.Slide(1)->slideId, slide->GetSlideId());
        EXPECT_EQ(1, slide->GetSlideIndex());
        EXPECT_EQ(1, slide->GetExportIndex());
        EXPECT_EQ(720, slide->GetWidth());
        EXPECT_EQ(540, slide->GetHeight());
        EXPECT_EQ(0x123456u, slide->GetFallbackColor());
        EXPECT_TRUE(slide->GetSpriteId().empty());
        EXPECT_TRUE(slide->GetSoundId().empty());
    }
}

TEST(SlideConstruction, ShapesByNameAndStackingOrder) {
    Deck deck(1);
    for (const wchar_t* name : {L"Twin", L"Other", L"Twin"})
        deck.Slide(0)->AddShape(msoAutoShape, name, 10, 10, 50, 50)->data.hasTextFrame = msoFalse;
    auto movie = deck.Movie();
    const auto& slide = movie->GetSlides()[0];
    // A later shape of the same name takes the name over.
    EXPECT_EQ((std::map<std::wstring, std::int32_t>{{L"Other", 1}, {L"Twin", 2}}), slide->GetShapeIndexByName());
    ASSERT_EQ(3u, slide->GetShapesByZOrder().size());
    for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(slide->GetShapes()[k], slide->GetShapesByZOrder()[k]);
}

TEST(SlideConstruction, BackgroundColourIsTheFillTheSlideShows) {
    Deck deck(2);
    deck.doc->Master()->background.fill.foreColor.rgb = 0x203040;
    deck.Slide(1)->followMasterBackground = msoFalse;
    deck.Slide(1)->background.fill.foreColor.rgb = 0x0000FF;
    auto movie = deck.Movie();
    EXPECT_EQ(0x203040u, movie->GetSlides()[0]->GetBackground()->GetBackgroundColor());
    EXPECT_EQ(0x0000FFu, movie->GetSlides()[1]->GetBackground()->GetBackgroundColor());
}

TEST(SlideConstruction, TransitionTiming) {
    struct Case {
        MsoTriState advanceOnTime;
        float advanceTime;
        int automaticDelay;
        bool automaticTransition;
        float transitionDuration;
        float duration;  // without animations
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {msoFalse, 3.0f, 5, false, 5.0f, 3.0f},
        {msoFalse, 7.0f, 5, false, 7.0f, 7.0f},
        {msoTrue, 3.0f, 5, false, 3.0f, 3.0f},
        {msoTrue, 3.0f, 5, true, 5.0f, 3.0f},
        {msoTrue, 8.0f, 5, true, 8.0f, 8.0f},
        {msoFalse, 0.0f, 5, false, 5.0f, 5.0f},
        {msoFalse, 0.0f, 9, false, 9.0f, 9.0f},
        {msoFalse, -2.0f, 5, false, 5.0f, 5.0f},
        {msoTrue, nan, 4, false, 0.0f, 4.0f},
        // A time stored with a slide that waits for a click does not shorten the user's delay.
        {msoFalse, 1.024f, 2, true, 2.0f, 2.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.advanceOnTime) + " " + std::to_string(c.advanceTime) + " " +
                     std::to_string(c.automaticDelay) + " " + std::to_string(c.automaticTransition));
        Deck deck(1);
        deck.Slide(0)->transition.advanceOnTime = c.advanceOnTime;
        deck.Slide(0)->transition.advanceTime = c.advanceTime;
        auto movie = deck.Movie([&](CExportSettings& s) {
            s.SetAutomaticSlideTransitionDelay(c.automaticDelay);
            s.SetAutomaticSlideTransition(c.automaticTransition);
        });
        const auto& slide = movie->GetSlides()[0];
        EXPECT_FLOAT_EQ(c.transitionDuration, slide->GetTransitionDuration());
        EXPECT_FLOAT_EQ(c.duration, slide->GetSlideDuration());
        EXPECT_EQ(c.advanceOnTime != msoFalse, slide->GetAdvanceOnTime());
    }
}

// A linked button (click and mouse-over), linked text and a shape linked only on mouse-over.
TEST(SlideConstruction, ClickActionsByOwner) {
    Deck deck(1, L"11.0");
    CHostSlide* hostSlide = deck.Slide(0);
    CHostShape* button = hostSlide->AddShape(msoAutoShape, L"Button", 10, 20, 100, 50);
    button->data.click = Link(L"https://example.org/a");
    button->data.over = Link(L"https://example.org/b");
    CHostShape* hover = hostSlide->AddShape(msoAutoShape, L"Hover", 10, 200, 100, 50);
    hover->data.over = Link(L"https://example.org/c");
    // A move to the next slide is a link of the slide; running a program is not.
    hostSlide->AddShape(msoAutoShape, L"Next", 200, 20, 100, 50)->data.click.action = ppActionNextSlide;
    hostSlide->AddShape(msoAutoShape, L"Program", 200, 200, 100, 50)->data.click.action = ppActionRunProgram;
    CHostShape* body = hostSlide->AddTextBox(L"Body", 0, 100, 400, 40, L"A linked text.");
    TextLinkData text;
    text.start = 2;  // "linked": characters 2 to 4
    text.length = 3;
    text.click = Link(L"https://example.org/d");
    body->data.text.links.push_back(text);

    auto movie = deck.Movie();
    const auto& slide = movie->GetSlides()[0];
    EXPECT_EQ(3u, slide->GetClickActions()->GetCount());
    ASSERT_EQ(2u, slide->GetShapeClickActions()->GetCount());
    EXPECT_EQ(L"Button", slide->GetShapeClickActions()->GetAt(0)->shapeName);
    EXPECT_EQ(L"Next", slide->GetShapeClickActions()->GetAt(1)->shapeName);
    EXPECT_EQ(ppActionNextSlide, slide->GetShapeClickActions()->GetAt(1)->action);
    EXPECT_EQ(0u, slide->FindShapeActionSettings(L"Program")->GetCount());
    ASSERT_EQ(1u, slide->GetTextClickActions()->GetCount());
    EXPECT_EQ(L"Body", slide->GetTextClickActions()->GetAt(0)->shapeName);

    EXPECT_EQ(1u, slide->FindShapeActionSettings(L"Button")->GetCount());
    EXPECT_EQ(0u, slide->FindShapeActionSettings(L"button")->GetCount());
    EXPECT_EQ(0u, slide->FindShapeActionSettings(L"Button ")->GetCount());
    EXPECT_EQ(0u, slide->FindShapeActionSettings(L"Hover")->GetCount());
    EXPECT_EQ(0u, slide->FindShapeActionSettings(L"Body")->GetCount());

    struct Range {
        const wchar_t* name;
        LONG start, length;
        std::size_t found;
    };
    // The linked characters are [2, 5) counted from 0.
    const Range ranges[] = {{L"Body", 0, 2, 0}, {L"Body", 0, 3, 1},  {L"Body", 4, 1, 1},   {L"Body", 4, 10, 1},
                            {L"Body", 5, 4, 0}, {L"Body", 2, 3, 1},  {L"Body", 0, 100, 1}, {L"Button", 0, 100, 0},
                            {L"body", 2, 3, 0}, {L"Body", -5, 6, 0}, {L"Body", -5, 8, 1}};
    for (const Range& r : ranges) {
        SCOPED_TRACE(U8(r.name) + " " + std::to_string(r.start) + " " + std::to_string(r.length));
        EXPECT_EQ(r.found, slide->FindTextActionSettings(r.name, r.start, r.length)->GetCount());
    }
}

TEST(SlideConstruction, SoundFromTheSlidesTag) {
    Deck deck(4);
    const std::wstring wav = deck.Folder() + L"sound.wav";
    WriteWav(wav);
    deck.Slide(0)->tags.push_back({L"GENSWF_SOUND_FULL_PATH", deck.Folder() + L"missing.wav"});
    deck.Slide(1)->tags.push_back({L"GENSWF_SOUND_FULL_PATH", deck.scratch.Path()});  // a folder
    deck.Slide(2)->tags.push_back({L"GENSWF_SOUND_FULL_PATH", wav});
    deck.Slide(3)->tags.push_back({L"GENSWF_SOUND_FULL_PATH_X", wav});
    auto movie = deck.Movie();
    const auto& slides = movie->GetSlides();
    for (int i : {0, 1, 3}) {
        EXPECT_TRUE(slides[static_cast<std::size_t>(i)]->GetSoundId().empty()) << i;
        EXPECT_TRUE(slides[static_cast<std::size_t>(i)]->GetSoundPath().empty()) << i;
    }
    // Slides without a sound take no sound id.
    EXPECT_EQ(L"snd0", slides[2]->GetSoundId());
    EXPECT_EQ(wav, slides[2]->GetSoundPath());
    EXPECT_EQ(L"snd1", movie->MakeSoundId());
}

TEST(SlideConstruction, FailedReadsRaiseThePowerPointFailure) {
    const char* members[] = {"Slide.get_ColorScheme",
                             "ColorScheme.Colors",
                             "RGBColor.get_RGB",
                             "Slide.get_SlideID",
                             "Slide.get_SlideShowTransition",
                             "SlideShowTransition.get_AdvanceTime",
                             "Slide.get_Shapes",
                             "Shapes.get_Count",
                             "Slide.get_SlideIndex",
                             "Slide.get_Background",
                             "ShapeRange.get_Fill",
                             "FillFormat.get_ForeColor",
                             "Slide.get_Master",
                             "Master.get_Width",
                             "Slide.get_Tags",
                             "Slide.get_Hyperlinks"};
    for (const char* member : members) {
        SCOPED_TRACE(member);
        Deck deck(1);
        auto movie = deck.Movie();
        deck.doc->Fail(member, E_FAIL);
        const std::wstring failure =
            bctest::PptFailureOf([&] { CSlide::Create(deck.Slide(0)->Interface(), movie.get(), 0); });
        EXPECT_EQ(0u, failure.find(L"PPT Exception in file genswf/src/slides/")) << U8(failure);
        if (std::string(member) == "Slide.get_Hyperlinks") {
            EXPECT_EQ(bctest::PptFailureText("genswf/src/slides/Slide.cpp", 71), failure);
        }
    }
    Deck deck(1);
    auto movie = deck.Movie();
    EXPECT_NE(L"(no exception)", bctest::PptFailureOf([&] { CSlide::Create(nullptr, movie.get(), 0); }));
}

// --- The slide's sprite ----------------------------------------------------------------------

struct EndCase {
    const char* name;
    bool automaticTransition;
    bool looped;
    int advanceOnTimeSlide;  // -1: none; that slide advances after 3 seconds
    const char* ends[3];     // the background layer of each slide after its export
    bool frameButton[3];
};

TEST(SlideExport, EndOfEachSlide) {
    const EndCase cases[] = {
        {"waits for clicks",
         false,
         false,
         -1,
         {"0: show bg0; 50: actionStop", "0: show bg0; 50: actionStop", "0: show bg0; 50: actionStop"},
         {true, true, false}},
        {"automatic transition",
         true,
         false,
         -1,
         {"0: show bg0; 50: actionSetTarget .. actionGoToFrame 1",
          "0: show bg0; 50: actionSetTarget .. actionGoToFrame 2",
          "0: show bg0; 50: actionSetTarget .. actionGoToFrame 3"},
         {false, false, false}},
        {"second slide on time",
         false,
         false,
         1,
         {"0: show bg0; 50: actionStop", "0: show bg0; 30: actionSetTarget .. actionGoToFrame 2",
          "0: show bg0; 50: actionStop"},
         {true, false, false}},
        {"last slide on time stops",
         false,
         false,
         2,
         {"0: show bg0; 50: actionStop", "0: show bg0; 50: actionStop", "0: show bg0; 30: actionStop"},
         {true, true, false}},
        {"looped",
         false,
         true,
         -1,
         {"0: show bg0; 50: actionStop", "0: show bg0; 50: actionStop",
          "0: show bg0; 50: actionSetTarget .. actionGoToFrame 3"},
         {true, true, false}},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        Deck deck(3);
        if (c.looped) deck.doc->tags.push_back({L"GENSWF_MOVIE_LOOPED_PLAYBACK", L"1"});
        if (c.advanceOnTimeSlide >= 0) {
            deck.Slide(c.advanceOnTimeSlide)->transition.advanceOnTime = msoTrue;
            deck.Slide(c.advanceOnTimeSlide)->transition.advanceTime = 3.0f;
        }
        auto movie = deck.Movie([&](CExportSettings& s) { s.SetAutomaticSlideTransition(c.automaticTransition); });
        ExportSlides(*movie);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const auto& slide = movie->GetSlides()[static_cast<std::size_t>(i)];
            EXPECT_EQ(L"sld" + std::to_wstring(i), slide->GetSpriteId());
            const std::vector<std::string> layers = DescribeLayers(slide->GetLayersElement());
            ASSERT_FALSE(layers.empty());
            // The background lies below everything else the slide shows.
            EXPECT_EQ(c.ends[i], layers[0]);
            const bool hasButton = layers.size() > 1 && layers[1].find("show button") != std::string::npos;
            EXPECT_EQ(c.frameButton[i], hasButton);
            EXPECT_EQ(c.frameButton[i] ? 2u : 1u, layers.size());
        }
    }
}

TEST(SlideExport, FrameButtonCoversTheMovieAndGoesToTheNextSlide) {
    Deck deck(2);
    auto movie = deck.Movie([](CExportSettings& s) { s.SetMovieSize(1024, 768); });
    ExportSlides(*movie);
    const auto& slide = movie->GetSlides()[0];
    XmlElementPtr button = Child(slide->GetObjectsElement(), L"button");
    ASSERT_TRUE(button);
    EXPECT_EQ(L"push", button->getAttribute(L"type"));
    const std::wstring rect = button->getAttribute(L"up");
    for (const wchar_t* state : {L"over", L"down", L"hit"}) EXPECT_EQ(rect, button->getAttribute(state));
    std::string actions;
    for (XmlNodePtr a = button->firstChild(); a; a = a->nextSibling()) {
        auto action = std::dynamic_pointer_cast<xmldom::XmlElement>(a);
        actions += U8(action->nodeName()) + " " + U8(action->getAttribute(L"spriteName")) +
                   U8(action->getAttribute(L"index")) + ";";
    }
    EXPECT_EQ("actionSetTarget /;actionGoToFrame 1;", actions);
    XmlElementPtr rectangle = FindById(slide->GetObjectsElement(), rect);
    ASSERT_TRUE(rectangle);
    EXPECT_EQ(L"rectangle", rectangle->nodeName());
    EXPECT_EQ(L"20480tw", rectangle->getAttribute(L"width"));
    EXPECT_EQ(L"15360tw", rectangle->getAttribute(L"height"));
    XmlElementPtr style = FindById(movie->GetStylesElement(), rectangle->getAttribute(L"fillStyle"));
    ASSERT_TRUE(style);
    EXPECT_EQ(L"0", style->getAttribute(L"alpha"));
    // The last slide waits, with nothing to move on to.
    EXPECT_FALSE(Child(movie->GetSlides()[1]->GetObjectsElement(), L"button"));
}

TEST(SlideExport, PresentationEndAddress) {
    struct Case {
        const wchar_t* enabled;
        const wchar_t* url;
        const char* lastLayer;  // the last slide's layer after the background; "" when none
    };
    const Case cases[] = {
        {L"1", L"http://example.org/end", "50: actionGetURL http://example.org/end _top"},
        {L"1", L" \t", ""},
        {L"0", L"http://example.org/end", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.url));
        Deck deck(2);
        deck.doc->tags.push_back({L"GENSWF_MOVIE_PRESENTATION_END_URL_ENABLED", c.enabled});
        deck.doc->tags.push_back({L"GENSWF_MOVIE_PRESENTATION_END_URL", c.url});
        deck.doc->tags.push_back({L"GENSWF_MOVIE_PRESENTATION_END_URL_TARGET", L"_top"});
        auto movie = deck.Movie();
        ExportSlides(*movie);
        const std::vector<std::string> first = DescribeLayers(movie->GetSlides()[0]->GetLayersElement());
        for (const std::string& layer : first) EXPECT_EQ(std::string::npos, layer.find("actionGetURL"));
        const std::vector<std::string> last = DescribeLayers(movie->GetSlides()[1]->GetLayersElement());
        EXPECT_EQ(*c.lastLayer ? 2u : 1u, last.size());
        if (*c.lastLayer && last.size() == 2) {
            EXPECT_EQ(c.lastLayer, last[1]);
        }
    }
}

TEST(SlideExport, SlideSound) {
    Deck deck(3);
    const std::wstring wav = deck.Folder() + L"sound.wav";
    WriteWav(wav);
    const std::wstring text = deck.Folder() + L"notes.wav";
    std::ofstream(NativePath(text)) << "not a sound";
    deck.Slide(0)->tags.push_back({L"GENSWF_SOUND_FULL_PATH", wav});
    deck.Slide(0)->transition.advanceTime = 6.0f;
    deck.Slide(1)->tags.push_back({L"GENSWF_SOUND_FULL_PATH", text});
    auto movie = deck.Movie();
    ExportSlides(*movie);

    const auto& first = movie->GetSlides()[0];
    XmlElementPtr sound = Child(first->GetObjectsElement(), L"sound");
    ASSERT_TRUE(sound);
    EXPECT_EQ(L"snd0", sound->getAttribute(L"id"));
    EXPECT_EQ(wav, sound->getAttribute(L"src"));
    EXPECT_EQ(L"128", sound->getAttribute(L"mp3Quality"));
    const std::vector<std::string> layers = DescribeLayers(first->GetLayersElement());
    ASSERT_EQ(3u, layers.size());
    EXPECT_EQ("0: show bg0; 60: actionStop", layers[0]);
    EXPECT_EQ("1: startSound snd0 trim 60", layers[2]);

    // A file that does not play is left out, and the slide is written without it.
    const auto& second = movie->GetSlides()[1];
    EXPECT_FALSE(Child(second->GetObjectsElement(), L"sound"));
    for (const std::string& layer : DescribeLayers(second->GetLayersElement()))
        EXPECT_EQ(std::string::npos, layer.find("startSound"));
    EXPECT_EQ("", Compile(deck.Folder() + L"movie.xml"));
}

TEST(SlideExport, TimeMarginOffEndsOnTheLastSequence) {
    Deck deck(2);
    auto movie = deck.Movie();
    movie->SetTimeMarginOff(true);
    ExportSlides(*movie);
    const auto& slide = movie->GetSlides()[0];
    EXPECT_EQ(1, slide->GetSequenceCount());
    EXPECT_EQ(1, slide->GetSequences().GetLastFrame());
    const std::vector<std::string> layers = DescribeLayers(slide->GetLayersElement());
    ASSERT_EQ(3u, layers.size());
    EXPECT_EQ("0: show bg0; 1: actionStop", layers[0]);
    EXPECT_EQ("1: actionStop", layers[2]);
}

TEST(SlideExport, SequenceLabels) {
    Deck deck(1);
    auto movie = deck.Movie();
    CSequenceList sequences(0);
    sequences.Add(0, 4);
    sequences.Add(4, 9);
    sequences.Add(9, 7);
    EXPECT_EQ(9, sequences.GetLastFrame());
    sequences.SetLabels(true);
    XmlElementPtr layer = movie->WriteLayer(movie->GetLayersElement());
    sequences.Write(movie.get(), layer, L"sequence_", L"_start", L"_end");
    std::string labels;
    for (const XmlElementPtr& frame : Children(layer, L"frame"))
        labels += U8(frame->getAttribute(L"index")) + "=" + U8(frame->getAttribute(L"label")) + " ";
    EXPECT_EQ("0=sequence_0_start 4=sequence_1_start 7=sequence_2_end 9=sequence_2_start ", labels);
    EXPECT_EQ("0:; 4: actionStop; 7: actionStop; 9: actionStop", DescribeFrames(layer));
}

TEST(SlideExport, WithoutParentTheSlideWritesIntoTheMovie) {
    Deck deck(1);
    auto movie = deck.Movie();
    const auto& slide = movie->GetSlides()[0];
    slide->Export(nullptr);
    EXPECT_TRUE(slide->GetSpriteId().empty());
    EXPECT_TRUE(slide->GetObjectsElement()->isSameNode(movie->GetObjectsElement()));
    EXPECT_TRUE(slide->GetLayersElement()->isSameNode(movie->GetLayersElement()));
}

}  // namespace
