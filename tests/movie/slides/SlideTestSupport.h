#pragma once
// A presentation in the in-memory host, the movie of its export, and readers of what the slides
// wrote into the movie description.

#include "TempDir.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/slides/Slide.h"
#include "powerpoint/host/PowerPointHost.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace slidetest {

// A deck of empty slides under one master; "9.0" exports without the timeline, "11.0" with it.
struct Deck {
    PowerPoint::Host::CHostDocumentRef doc = PowerPoint::Host::CHostDocument::Create();
    CScratchFolder scratch;
    std::shared_ptr<genswf::CExportSettings> settings;

    explicit Deck(int slides, const wchar_t* version = L"9.0");
    PowerPoint::Host::CHostSlide* Slide(int i) const { return doc->Slides().at(static_cast<std::size_t>(i)); }
    // The working folder, with a trailing '/'.
    std::wstring Folder() const { return scratch.FolderPath(); }
    // The movie of every slide; adjust changes the settings before the movie reads them.
    std::shared_ptr<genswf::CMovie> Movie(const std::function<void(genswf::CExportSettings&)>& adjust = {});
};

// What the movie export does with the slides, without the hyperlink and object passes: the
// attributes, each slide's sprite on the root timeline, then the backgrounds; saved as
// "movie.xml" in the working folder. Returns its path.
std::wstring ExportSlides(genswf::CMovie& movie, bool backgrounds = true);

// Empty when the file validates against the compiler's schema; the messages otherwise.
std::string Validate(const std::wstring& path);
// Empty when the description compiles; the compiler's message otherwise.
std::string Compile(const std::wstring& path);

std::string U8(const std::wstring& text);
// Empty when f returns; the message of what it threw otherwise.
std::string FailureOf(const std::function<void()>& f);
genswf::XmlElementPtr Child(const genswf::XmlNodePtr& parent, const std::wstring& name, int nth = 0);
std::vector<genswf::XmlElementPtr> Children(const genswf::XmlNodePtr& parent, const std::wstring& name);
// The element under parent whose "id" is id, searched in depth.
genswf::XmlElementPtr FindById(const genswf::XmlNodePtr& parent, const std::wstring& id);
// "index: command ...; index: ..." of the frames of a layer: "show bg0", "hide show3",
// "actionStop", "actionGoToFrame 2", "startSound snd0 trim 60", "actionGetURL http://... _top".
std::string DescribeFrames(const genswf::XmlNodePtr& layer);
// The frames of every layer of a slide sprite, one line per layer.
std::vector<std::string> DescribeLayers(const genswf::XmlElementPtr& layers);

}  // namespace slidetest
