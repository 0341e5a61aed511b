// The compiler of one movie: the state shared by frame planning, the definition kinds,
// sounds, text, imported files and the output, each of which has a source of its own.
#pragma once

#include "DescriptionReader.h"
#include "Fonts.h"
#include "ImageBitmaps.h"
#include "Pictures.h"
#include "Sounds.h"
#include "SwfWriter.h"
#include "tarnquill/Compiler.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tarnquill {

// "line 3, element "x", attribute "y": message", leaving out what is not known.
std::string FormatError(const std::string& message, const std::string& element, const std::string& attribute,
                        long line);

[[noreturn]] inline void FailAt(const Where& where, const std::string& attribute, const std::string& message) {
    throw CompileError(message, where.element, attribute, where.line);
}

// A file named by the description: relative to the description's folder unless absolute.
std::string ResolvePath(const std::string& baseFolder, const std::string& src);

// How many workers make image bitmaps beside the compiler.
unsigned ImageBitmapThreads();

constexpr std::uint64_t kMaxFrames = 65535;  // the frame count is a 16-bit field

inline bool IsPlaceable(DefKind kind) { return kind != DefKind::Font && kind != DefKind::Sound; }

// Characters whose placement can be swapped in place; others are removed and placed anew.
inline bool IsGraphic(DefKind kind) {
    return kind == DefKind::Rectangle || kind == DefKind::Oval || kind == DefKind::Shape || kind == DefKind::Image;
}

struct ShowInfo {
    const Command* show = nullptr;
    const Definition* def = nullptr;
    std::uint32_t frame = 0;
    std::uint16_t depth = 0;
    std::uint16_t clipDepth = 0;  // non-zero for a mask
};

struct Plan {
    std::uint32_t frameCount = 1;
    std::vector<std::vector<const Command*>> frames;  // shows of a frame first, then the rest in order
    std::vector<std::string> labels;
    std::unordered_map<std::string, ShowInfo> shows;
    std::vector<const Definition*> references;   // in order of first use
    std::vector<std::unique_ptr<Command>> made;  // sound stops and stops at a sound's end
};

class Compiler {
public:
    // `imageBitmaps` makes the bitmaps of the movie's images (those it was given); an image it
    // does not know is made when it is written.
    Compiler(Movie& movie, const CompileOptions& options, std::vector<std::string>& warnings,
             ImageBitmaps& imageBitmaps)
        : movie_(movie), options_(options), warnings_(warnings), imageBitmaps_(imageBitmaps) {}

    static constexpr unsigned kMaxImageThreads = 4;

    // The whole file (Compiler.cpp).
    std::vector<std::uint8_t> Run();

private:
    struct FrameState {
        std::unordered_map<std::string, const Definition*> current;  // show id -> shown character, while displayed
    };

    struct FontInfo {
        std::uint16_t id = 0;
        std::string name;  // what the SWF calls it: the "name" attribute, else the id
        EmbeddedFont font;
    };

    const Definition& Lookup(const std::string& id, const Where& where, const char* attribute) {
        auto it = movie_.byId.find(id);
        if (it == movie_.byId.end()) FailAt(where, attribute, "id \"" + id + "\" has no definition");
        return *it->second;
    }

    const FillStyle& Style(const Definition& def) {
        auto it = movie_.styles.find(def.fillStyle);
        if (it == movie_.styles.end())
            FailAt(def.where, "fillStyle", "fill style \"" + def.fillStyle + "\" has no definition");
        return it->second;
    }

    std::uint16_t NewCharacterId(const Where& where) {
        if (nextId_ > 65535) FailAt(where, "id", "too many definitions for one movie (65535 at most)");
        return static_cast<std::uint16_t>(nextId_++);
    }

    std::uint16_t CharacterOf(const Definition& def) { return ids_.at(&def); }

    const FontInfo& Font(const Definition& def) {
        Emit(def);
        return fonts_.at(&def);
    }

    // The movie header after the file's first 8 bytes: stage, frame rate, frame count.
    std::vector<std::uint8_t> Header(std::uint32_t frameCount) const;
    // Hands what is written so far to the movie's compression once there is enough of it.
    void Pack();
    static constexpr std::size_t kPackedPiece = 64 * 1024;
    std::vector<std::uint8_t> Finish(std::uint32_t frameCount);

    // Timelines (CompilerFrames.cpp).
    Plan MakePlan(const Timeline& timeline, const Where& owner);
    void Place(BitWriter& w, const ShowInfo& info, const Definition* def, const Placement& p, bool move);
    void EmitFrame(const Plan& plan, std::uint32_t f, FrameState& state, std::vector<std::uint8_t>& out);
    void EmitStartSound(const Command& cmd, std::vector<std::uint8_t>& out);

    // Sounds: loading, stops at a sound's end, the definition (CompilerSounds.cpp).
    void PlanSounds(Plan& plan);
    const Sound& LoadSound(const Definition& def);
    std::uint16_t EmitSound(const Definition& def);

    // Definition kinds (CompilerDefinitions.cpp).
    std::uint16_t Emit(const Definition& def);
    static Rect Bounds(const Definition& d);
    static bool Contains(const Rect& outer, const Rect& inner);
    std::uint16_t EmitShape(const Definition& def, const std::vector<const Definition*>& parts);
    static void WriteFillCount(BitWriter& w, std::size_t count);
    std::string ResolvePath(const std::string& src) const { return tarnquill::ResolvePath(options_.baseFolder, src); }
    std::uint16_t EmitEmptyShape(const Definition& def);
    std::uint16_t EmitImage(const Definition& def);
    std::uint16_t EmitSprite(const Definition& def);
    std::uint16_t EmitButton(const Definition& def);

    // Sprites from files: metafiles and movies (CompilerImport.cpp).
    std::uint16_t EmitSpriteFromFile(const Definition& def);
    std::uint16_t EmitImportedMovie(const Definition& def, const std::vector<std::uint8_t>& bytes);
    std::uint16_t EmitMetafile(const Definition& def, const std::vector<std::uint8_t>& bytes);

    // Fonts and text fields (CompilerText.cpp).
    std::uint16_t EmitFont(const Definition& def);
    std::optional<std::string> FaceOf(const std::string& face);
    std::uint16_t EmitText(const Definition& def);

    Movie& movie_;
    const CompileOptions& options_;
    std::vector<std::string>& warnings_;
    std::vector<std::uint8_t> out_;          // the tags not yet handed to packer_
    std::unique_ptr<DeflateThread> packer_;  // compresses the movie as it is written
    std::uint64_t packed_ = 0;               // bytes handed to packer_
    ImageBitmaps& imageBitmaps_;
    std::unordered_map<const Definition*, std::uint16_t> ids_;
    std::map<const Definition*, FontInfo> fonts_;
    std::map<const Definition*, Sound> sounds_;
    std::unordered_set<const Definition*> visiting_;
    std::uint32_t nextId_ = 1;
};

}  // namespace tarnquill
