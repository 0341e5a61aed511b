// In-memory form of a movie description, after reading and value checks, before ids
// are resolved into SWF character ids.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarnquill {

struct Where {
    std::string element;
    long line = 0;
};

struct FillStyle {
    std::string id;
    std::uint32_t rgb = 0;  // 0xRRGGBB
    std::uint8_t alpha = 255;
    Where where;
};

struct Placement {
    double a = 1, b = 0, c = 0, d = 1;     // x' = a*x + c*y + tx, y' = b*x + d*y + ty
    std::int32_t tx = 0, ty = 0;           // twips
    std::int32_t shift[4] = {0, 0, 0, 0};  // red, green, blue, alpha added
    std::string maskId;
};

enum class ActionKind { Stop, GetURL, SetTarget, GoToFrame, CallFunction };

struct Action {
    ActionKind kind = ActionKind::Stop;
    std::string url, target, name;
    std::int32_t index = 0;
    std::vector<std::int32_t> params;
    Where where;
};

enum class CommandKind { Show, Replace, Modify, Hide, Actions, StartSound };

struct Command {
    CommandKind kind = CommandKind::Show;
    std::string showId;    // the placement this command creates or acts on
    std::string objectId;  // show, replace, startSoundStream
    Placement placement;
    std::vector<Action> actions;
    std::int32_t trimFrames = -1;
    bool trimToMovie = false, stopOnFinish = false;
    bool soundStop = false;  // made by the compiler: stops the sound (trimFrames, trimToMovie)
    Where where;
};

struct Frame {
    std::uint32_t index = 0;
    std::string label;
    std::vector<Command> commands;
    Where where;
};

struct Layer {
    std::vector<Frame> frames;
};

struct Timeline {
    std::vector<Layer> layers;
};

enum class DefKind { Rectangle, Oval, Shape, Image, Sprite, Button, Font, Text, Sound };

struct Definition {
    DefKind kind = DefKind::Rectangle;
    std::string id;
    Where where;
    bool isPart = false;  // a rectangle or oval inside a "shape": emitted only when used

    // rectangle, oval, image, text: position and size in twips
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    std::string fillStyle;                           // rectangle, oval
    std::vector<std::shared_ptr<Definition>> parts;  // shape

    // image, sound, font, sprite with a file
    std::string src;
    int jpegQuality = 0;
    bool smoothing = false;

    // sprite
    std::string name;
    bool lockroot = true;
    bool hasWidth = false, hasHeight = false;
    std::shared_ptr<Timeline> timeline;

    // button
    bool menu = false;
    std::string up, over, down, hit;
    std::vector<Action> actions;

    // font
    std::string fontName;
    std::u32string chars;

    // text field
    std::string fontId;
    std::int32_t fontSize = 0;  // twips
    std::uint32_t color = 0;
    bool multiline = false, wordWrap = false, selectable = false;
    std::string html;

    // sound
    int mp3Quality = 0;
};

struct Movie {
    std::uint32_t widthPx = 0, heightPx = 0;
    double frameRate = 12;
    bool compressed = false;
    std::uint32_t bgColor = 0xffffff;
    bool objectsFirst = true;
    std::vector<std::shared_ptr<Definition>> definitions;  // document order, nested ones hoisted
    std::unordered_map<std::string, std::shared_ptr<Definition>> byId;
    std::map<std::string, FillStyle> styles;
    Timeline root;
};

}  // namespace tarnquill
