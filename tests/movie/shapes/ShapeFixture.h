#pragma once
// A one-slide presentation in the host, the movie of one export of it, and readers for what the
// shape exporters write: frame lists as text, elements by name. Every test ends with the check
// that nothing of the user's presentation was changed.

#include "DeckBuilder.h"
#include "SwfTestReader.h"
#include "TempDir.h"
#include "genswf/animation/EffectRegistry.h"
#include "genswf/movie/ExportSettings.h"
#include "genswf/movie/Movie.h"
#include "genswf/movie/MovieFrames.h"
#include "genswf/slides/Slide.h"
#include "genswf/utils/Utils.h"
#include "powerpoint/host/PowerPointHost.h"
#include "tarnquill/Compiler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace shapetest {

class ShapeTest : public ::testing::Test {
protected:
    PowerPoint::Host::CHostDocumentRef doc = PowerPoint::Host::CHostDocument::Create();
    PowerPoint::Host::CHostSlide* slide = nullptr;
    CScratchFolder scratch;
    std::shared_ptr<genswf::CExportSettings> settings;
    std::shared_ptr<genswf::CMovie> movie;

    void SetUp() override {
        doc->name = L"deck.ppt";
        doc->path = scratch.Path();
        slide = doc->AddSlide();
        // The saved copy the export parses: one slide without shapes, so nothing of it is found
        // for the shapes made in code.
        testdeck::Deck file;
        file.slides = {testdeck::Slide()};
        doc->fileBytes = file.SavedFile();
    }
    void TearDown() override {
        for (const auto& change : doc->Changes())
            ADD_FAILURE() << "the presentation was changed: " << genswf::Utf8FromWide(change.object) << " "
                          << change.member;
        genswf::CEffectRegistry::CreateGlobal(nullptr);
    }

    // A shape without a text frame (text has tests of its own).
    PowerPoint::Host::CHostShape* Add(PowerPoint::MsoShapeType type, float left, float top, float width, float height,
                                      const std::wstring& name = L"") {
        const std::wstring shapeName = name.empty() ? L"Shape " + std::to_wstring(slide->shapes.size() + 1) : name;
        PowerPoint::Host::CHostShape* shape = slide->AddShape(type, shapeName, left, top, width, height);
        shape->data.hasTextFrame = PowerPoint::msoFalse;
        return shape;
    }

    // The movie of an export by this version of PowerPoint, at this movie size (the slide is
    // 720 x 540 points).
    genswf::CMovie& Movie(const wchar_t* version = L"9.0", int width = 720, int height = 540) {
        if (!movie) {
            doc->version = version;
            genswf::CEffectRegistry::CreateGlobal(doc->Application());
            settings = genswf::CExportSettings::Create(doc->Presentation());
            settings->SetTempFolder(scratch.FolderPath());
            settings->SetMovieSize(width, height);
            settings->ReadSlides(nullptr);
            movie = genswf::CMovie::Create(settings);
        }
        return *movie;
    }
    genswf::CSlide* Slide() {
        Movie();
        return movie->GetSlide(0).get();
    }
    // Copies of the user's shapes left on the slide.
    std::size_t ShapeCount() const { return slide->shapes.size(); }
};

inline std::string U8(const std::wstring& text) { return genswf::Utf8FromWide(text); }

// The movie a description compiles to, checked against the compiler's schema; a failure is
// reported and gives an empty movie.
inline swftest::Movie CompileDescription(const std::wstring& xml) {
    tarnquill::CompileOptions options;
    const std::string schema = BC_BINARY_DIR "/lib/tarnquill.xsd";
    if (std::filesystem::exists(schema)) options.schemaPath = schema;
    try {
        return swftest::Read(tarnquill::CompileFile(U8(xml), options).swf);
    } catch (const tarnquill::CompileError& e) {
        ADD_FAILURE() << e.Message() << " at " << e.Element() << "/" << e.Attribute() << " line " << e.Line();
    }
    return {};
}

// The sprites a movie defines (DefineSprite) that its root timeline or a sprite places.
inline int PlacedSprites(const swftest::Movie& movie) {
    std::vector<int> ids;
    std::function<void(const std::vector<swftest::Tag>&)> defined = [&](const std::vector<swftest::Tag>& tags) {
        for (const auto& tag : tags)
            if (tag.code == 39) {
                ids.push_back(swftest::DefinedId(tag));
                defined(tag.children);
            }
    };
    defined(movie.tags);
    int placed = 0;
    std::function<void(const std::vector<swftest::Tag>&)> places = [&](const std::vector<swftest::Tag>& tags) {
        for (const auto& tag : tags) {
            if (tag.code == 26) {
                const swftest::Placement p = swftest::ReadPlace(tag);
                if (p.hasCharacter && std::find(ids.begin(), ids.end(), p.character) != ids.end()) ++placed;
            }
            if (tag.code == 39) places(tag.children);
        }
    };
    places(movie.tags);
    return placed;
}

inline const char* CommandName(int type) {
    switch (type) {
    case genswf::CFrameCommand::SHOW:
        return "show";
    case genswf::CFrameCommand::MODIFY:
        return "modify";
    case genswf::CFrameCommand::HIDE:
        return "hide";
    case genswf::CFrameCommand::REPLACE:
        return "replace";
    case genswf::CFrameCommand::ACTIONS:
        return "actions";
    case genswf::CFrameCommand::START_SOUND_STREAM:
        return "sound";
    default:
        return "other";
    }
}

// "frame: show <object> | frame: hide <object> ..." in frame order (tracks in order within a
// frame), without the moves; a hide names the object its show showed.
inline std::string DescribeFrames(const genswf::CFrameList& frames) {
    std::map<std::wstring, std::wstring> shown;  // show id -> object id
    std::multimap<std::uint32_t, std::string> lines;
    for (const auto& track : frames.GetTracks())
        for (const auto& [frame, commands] : track->GetCommandMap())
            for (const auto& command : commands)
                if (auto show = std::dynamic_pointer_cast<genswf::CShowCommand>(command))
                    shown[show->GetShowId()] = show->GetObjectId();
    for (const auto& track : frames.GetTracks())
        for (const auto& [frame, commands] : track->GetCommandMap())
            for (const auto& command : commands) {
                // The steps of a moving effect are the effect's business.
                if (command->GetType() == genswf::CFrameCommand::MODIFY) continue;
                std::string line = std::to_string(frame) + ": " + CommandName(command->GetType());
                if (auto show = std::dynamic_pointer_cast<genswf::CShowCommand>(command)) {
                    line += " " + U8(show->GetObjectId());
                    if (show->shiftRed || show->shiftGreen || show->shiftBlue)
                        line += " +" + std::to_string(show->shiftRed) + "," + std::to_string(show->shiftGreen) + "," +
                                std::to_string(show->shiftBlue);
                } else if (auto hide = std::dynamic_pointer_cast<genswf::CHideCommand>(command)) {
                    line += " " + U8(shown[hide->showId]);
                }
                lines.emplace(frame, line);
            }
    std::string out;
    for (const auto& [frame, line] : lines) out += (out.empty() ? "" : " | ") + line;
    return out;
}

inline genswf::XmlElementPtr Child(const genswf::XmlNodePtr& parent, const std::wstring& name, int nth = 0) {
    for (genswf::XmlNodePtr node = parent ? parent->firstChild() : nullptr; node; node = node->nextSibling())
        if (node->nodeName() == name && nth-- == 0) return std::dynamic_pointer_cast<xmldom::XmlElement>(node);
    return nullptr;
}

inline int CountChildren(const genswf::XmlNodePtr& parent, const std::wstring& name) {
    int n = 0;
    for (genswf::XmlNodePtr node = parent ? parent->firstChild() : nullptr; node; node = node->nextSibling())
        if (node->nodeName() == name) ++n;
    return n;
}

inline bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A small valid WAV file: 8-bit mono silence.
inline std::vector<std::uint8_t> TinyWav() {
    std::vector<std::uint8_t> out;
    auto put = [&out](const char* s) { out.insert(out.end(), s, s + 4); };
    auto u32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&out](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const std::uint32_t samples = 800;
    put("RIFF");
    u32(36 + samples);
    put("WAVE");
    put("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    put("data");
    u32(samples);
    out.insert(out.end(), samples, 0x80);
    return out;
}

}  // namespace shapetest
