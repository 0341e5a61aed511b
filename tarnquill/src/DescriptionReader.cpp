#include "DescriptionReader.h"

#include "tarnquill/Compiler.h"

#include "base/encodings/TextEncoding.h"

#include <libxml/tree.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace tarnquill {
namespace {

// Lengths beyond this cannot be added or encoded safely in SWF records.
constexpr std::int64_t kMaxTwips = 1 << 29;
constexpr std::uint32_t kMaxFrameIndex = 65534;  // frame count is a 16-bit field
constexpr int kMaxNesting = 64;

std::string Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

long Line(const xmlNode* node) { return static_cast<long>(xmlGetLineNo(node)); }

Where At(const xmlNode* node) { return Where{Name(node), Line(node)}; }

[[noreturn]] void Fail(const xmlNode* node, const std::string& attribute, const std::string& message) {
    throw CompileError(message, Name(node), attribute, Line(node));
}

std::optional<std::string> Attr(const xmlNode* node, const char* name) {
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        if (a->ns == nullptr && std::strcmp(reinterpret_cast<const char*>(a->name), name) == 0) {
            // Mostly one text node: its content is the value as it stands.
            const xmlNode* only = a->children;
            if (!only) return std::string();
            if (only->type == XML_TEXT_NODE && !only->next)
                return std::string(only->content ? reinterpret_cast<const char*>(only->content) : "");
            xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
            std::string text = value ? reinterpret_cast<const char*>(value) : "";
            xmlFree(value);
            return text;
        }
    }
    return std::nullopt;
}

std::string Required(const xmlNode* node, const char* name) {
    auto value = Attr(node, name);
    if (!value) Fail(node, name, "required attribute is missing");
    return *value;
}

std::string RequiredId(const xmlNode* node, const char* name) {
    std::string value = Required(node, name);
    if (value.empty()) Fail(node, name, "empty id");
    return value;
}

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    auto [end, ec] = std::from_chars(begin, text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

std::int64_t ParseInteger(const xmlNode* node, const char* name, const std::string& text, std::int64_t low,
                          std::int64_t high) {
    std::int64_t value = 0;
    const char* begin = text.data();
    if (!text.empty() && *begin == '+') ++begin;
    auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        Fail(node, name, "not an integer: \"" + text + "\"");
    if (value < low || value > high)
        Fail(node, name, "value " + text + " out of range " + std::to_string(low) + ".." + std::to_string(high));
    return value;
}

std::int64_t IntAttr(const xmlNode* node, const char* name, std::int64_t fallback, std::int64_t low,
                     std::int64_t high) {
    auto text = Attr(node, name);
    return text ? ParseInteger(node, name, *text, low, high) : fallback;
}

// "30tw" is twips; a plain number (or "px") is pixels.
std::int32_t ParseTwips(const xmlNode* node, const char* name, const std::string& text) {
    std::string number = text;
    double scale = 20.0;
    if (number.size() > 2 && number.compare(number.size() - 2, 2, "tw") == 0) {
        number.resize(number.size() - 2);
        scale = 1.0;
    } else if (number.size() > 2 && number.compare(number.size() - 2, 2, "px") == 0) {
        number.resize(number.size() - 2);
    }
    double value = 0;
    if (!ParseDouble(number, value)) Fail(node, name, "not a length: \"" + text + "\"");
    double twips = std::round(value * scale);
    if (std::fabs(twips) > static_cast<double>(kMaxTwips)) Fail(node, name, "length out of range: \"" + text + "\"");
    return static_cast<std::int32_t>(twips);
}

std::int32_t TwipsAttr(const xmlNode* node, const char* name, std::int32_t fallback = 0) {
    auto text = Attr(node, name);
    return text ? ParseTwips(node, name, *text) : fallback;
}

double FactorAttr(const xmlNode* node, const char* name, double fallback) {
    auto text = Attr(node, name);
    if (!text) return fallback;
    double value = 0;
    if (!ParseDouble(*text, value)) Fail(node, name, "not a number: \"" + *text + "\"");
    // MATRIX factors are signed 16.16 fixed point.
    if (std::fabs(value) >= 32767.0) Fail(node, name, "value out of range: \"" + *text + "\"");
    return value;
}

bool BoolAttr(const xmlNode* node, const char* name, bool fallback) {
    auto text = Attr(node, name);
    if (!text) return fallback;
    if (*text == "1" || *text == "true") return true;
    if (*text == "0" || *text == "false") return false;
    Fail(node, name, "not a boolean (0 or 1): \"" + *text + "\"");
}

std::uint32_t ColorAttr(const xmlNode* node, const char* name, std::uint32_t fallback) {
    auto text = Attr(node, name);
    if (!text) return fallback;
    const std::string& t = *text;
    std::uint32_t value = 0;
    bool ok = t.size() == 7 && t[0] == '#';
    if (ok) {
        auto [end, ec] = std::from_chars(t.data() + 1, t.data() + 7, value, 16);
        ok = ec == std::errc() && end == t.data() + 7;
    }
    if (!ok) Fail(node, name, "not a colour (#rrggbb): \"" + t + "\"");
    return value;
}

bool IsElement(const xmlNode* node) { return node->type == XML_ELEMENT_NODE; }

// Text between elements must be blank; anything else is a malformed description.
void CheckChildren(const xmlNode* node) {
    for (const xmlNode* c = node->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE) {
            for (const xmlChar* p = c->content; p && *p; ++p)
                if (!std::strchr(" \t\r\n", *p)) Fail(node, "", "unexpected text content");
        } else if (c->type == XML_CDATA_SECTION_NODE) {
            Fail(node, "", "unexpected character data");
        }
    }
}

class Reader {
public:
    explicit Reader(Movie& movie) : movie_(movie) {}

    void ReadRoot(const xmlNode* root) {
        if (Name(root) != "movie") Fail(root, "", "the root element must be \"movie\"");
        // Pixels; players refuse a stage larger than 8191 pixels a side.
        movie_.widthPx = static_cast<std::uint32_t>(ParseInteger(root, "width", Required(root, "width"), 1, 8191));
        movie_.heightPx = static_cast<std::uint32_t>(ParseInteger(root, "height", Required(root, "height"), 1, 8191));
        if (auto rate = Attr(root, "frameRate")) {
            double value = 0;
            if (!ParseDouble(*rate, value)) Fail(root, "frameRate", "not a number: \"" + *rate + "\"");
            if (value <= 0 || value > 255) Fail(root, "frameRate", "value out of range 0..255: \"" + *rate + "\"");
            movie_.frameRate = value;
        }
        movie_.compressed = BoolAttr(root, "compressed", false);
        movie_.bgColor = ColorAttr(root, "bgColor", 0xffffff);
        movie_.objectsFirst = BoolAttr(root, "saveObjectsFirst", true);
        ReadContainer(root, movie_.root, 0);
    }

private:
    // "styles", "objects" and "layers" under the movie or a sprite.
    void ReadContainer(const xmlNode* node, Timeline& timeline, int depth) {
        if (depth > kMaxNesting) Fail(node, "", "sprites nested too deeply");
        CheckChildren(node);
        for (const xmlNode* c = node->children; c; c = c->next) {
            if (!IsElement(c)) continue;
            std::string name = Name(c);
            if (name == "styles")
                ReadStyles(c);
            else if (name == "objects")
                ReadObjects(c, depth);
            else if (name == "layers")
                ReadLayers(c, timeline);
            else
                Fail(c, "", "unexpected element under \"" + Name(node) + "\"");
        }
    }

    void ReadStyles(const xmlNode* node) {
        CheckChildren(node);
        for (const xmlNode* c = node->children; c; c = c->next) {
            if (!IsElement(c)) continue;
            if (Name(c) != "solidFillStyle") Fail(c, "", "unexpected element under \"styles\"");
            FillStyle style;
            style.id = RequiredId(c, "id");
            style.rgb = ColorAttr(c, "color", 0);
            style.alpha = static_cast<std::uint8_t>(IntAttr(c, "alpha", 255, 0, 255));
            style.where = At(c);
            if (!movie_.styles.emplace(style.id, style).second)
                Fail(c, "id", "duplicate style id \"" + style.id + "\"");
        }
    }

    void Register(const std::shared_ptr<Definition>& def, const xmlNode* node) {
        if (!movie_.byId.emplace(def->id, def).second) Fail(node, "id", "duplicate id \"" + def->id + "\"");
        if (!def->isPart) movie_.definitions.push_back(def);
    }

    void ReadObjects(const xmlNode* node, int depth) {
        CheckChildren(node);
        for (const xmlNode* c = node->children; c; c = c->next)
            if (IsElement(c)) ReadDefinition(c, depth);
    }

    std::shared_ptr<Definition> Box(const xmlNode* node, DefKind kind) {
        auto def = std::make_shared<Definition>();
        def->kind = kind;
        def->id = RequiredId(node, "id");
        def->where = At(node);
        def->x = TwipsAttr(node, "x");
        def->y = TwipsAttr(node, "y");
        def->width = TwipsAttr(node, "width");
        def->height = TwipsAttr(node, "height");
        return def;
    }

    void ReadDefinition(const xmlNode* node, int depth) {
        std::string name = Name(node);
        std::shared_ptr<Definition> def;
        if (name == "rectangle" || name == "oval") {
            def = Box(node, name == "oval" ? DefKind::Oval : DefKind::Rectangle);
            def->fillStyle = Attr(node, "fillStyle").value_or("");
            Register(def, node);
        } else if (name == "shape") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Shape;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            Register(def, node);
            CheckChildren(node);
            for (const xmlNode* c = node->children; c; c = c->next) {
                if (!IsElement(c)) continue;
                std::string part = Name(c);
                if (part != "rectangle" && part != "oval") Fail(c, "", "a shape holds only \"rectangle\" and \"oval\"");
                auto p = Box(c, part == "oval" ? DefKind::Oval : DefKind::Rectangle);
                p->fillStyle = Attr(c, "fillStyle").value_or("");
                p->isPart = true;
                Register(p, c);
                def->parts.push_back(p);
            }
        } else if (name == "image") {
            def = Box(node, DefKind::Image);
            def->src = Required(node, "src");
            if (def->src.empty()) Fail(node, "src", "empty file name");
            def->jpegQuality = static_cast<int>(IntAttr(node, "jpegQuality", 0, 0, 100));
            def->smoothing = BoolAttr(node, "smoothing", false);
            if (def->width < 0 || def->height < 0) Fail(node, "width", "negative picture size");
            Register(def, node);
        } else if (name == "sprite") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Sprite;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            def->name = Attr(node, "name").value_or("");
            def->src = Attr(node, "src").value_or("");
            def->lockroot = BoolAttr(node, "lockroot", true);
            def->hasWidth = Attr(node, "width").has_value();
            def->hasHeight = Attr(node, "height").has_value();
            def->width = TwipsAttr(node, "width");
            def->height = TwipsAttr(node, "height");
            def->timeline = std::make_shared<Timeline>();
            // Registered before its content so that nested definitions follow it in
            // document order; emission order is settled later by dependencies.
            Register(def, node);
            if (!def->src.empty()) {
                for (const xmlNode* c = node->children; c; c = c->next)
                    if (IsElement(c)) Fail(c, "", "a sprite with \"src\" has no content");
            } else {
                ReadContainer(node, *def->timeline, depth + 1);
            }
        } else if (name == "button") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Button;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            std::string type = Attr(node, "type").value_or("push");
            if (type != "push" && type != "menu") Fail(node, "type", "unknown button type \"" + type + "\"");
            def->menu = type == "menu";
            def->up = Attr(node, "up").value_or("");
            def->over = Attr(node, "over").value_or("");
            def->down = Attr(node, "down").value_or("");
            def->hit = Attr(node, "hit").value_or("");
            if (def->up.empty() && def->over.empty() && def->down.empty() && def->hit.empty())
                Fail(node, "up", "a button needs at least one state");
            CheckChildren(node);
            for (const xmlNode* c = node->children; c; c = c->next)
                if (IsElement(c)) def->actions.push_back(ReadAction(c));
            Register(def, node);
        } else if (name == "font") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Font;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            def->src = Required(node, "src");
            def->fontName = Attr(node, "name").value_or("");
            std::string chars = Attr(node, "chars").value_or("");
            def->chars = DecodeUtf8(node, chars);
            Register(def, node);
        } else if (name == "htmlText") {
            def = Box(node, DefKind::Text);
            def->fontId = Attr(node, "fontId").value_or("");
            def->fontSize = TwipsAttr(node, "fontSize");
            def->color = ColorAttr(node, "color", 0);
            def->multiline = BoolAttr(node, "multiline", false);
            def->wordWrap = BoolAttr(node, "wordWrap", false);
            def->selectable = BoolAttr(node, "selectable", false);
            for (const xmlNode* c = node->children; c; c = c->next) {
                if (c->type == XML_CDATA_SECTION_NODE || c->type == XML_TEXT_NODE)
                    def->html += reinterpret_cast<const char*>(c->content ? c->content : BAD_CAST "");
                else if (IsElement(c))
                    Fail(c, "", "unexpected element in \"htmlText\"");
            }
            Register(def, node);
        } else if (name == "sound") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Sound;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            def->src = Required(node, "src");
            def->mp3Quality = static_cast<int>(IntAttr(node, "mp3Quality", 0, 0, 320));
            Register(def, node);
        } else {
            Fail(node, "", "unknown definition element");
        }
    }

    static std::u32string DecodeUtf8(const xmlNode* node, const std::string& text) {
        std::wstring wide;
        if (!base::encodings::StrictWideFromUtf8(text, wide)) Fail(node, "chars", "invalid UTF-8");
        return std::u32string(wide.begin(), wide.end());
    }

    Action ReadAction(const xmlNode* node) {
        Action action;
        action.where = At(node);
        std::string name = Name(node);
        if (name == "actionStop") {
            action.kind = ActionKind::Stop;
        } else if (name == "actionGetURL") {
            action.kind = ActionKind::GetURL;
            action.url = Required(node, "url");
            action.target = Attr(node, "target").value_or("");
        } else if (name == "actionSetTarget") {
            action.kind = ActionKind::SetTarget;
            action.name = Required(node, "spriteName");
        } else if (name == "actionGoToFrame") {
            action.kind = ActionKind::GoToFrame;
            action.index =
                static_cast<std::int32_t>(ParseInteger(node, "index", Required(node, "index"), 0, kMaxFrameIndex));
        } else if (name == "actionCallFunction") {
            action.kind = ActionKind::CallFunction;
            action.name = Required(node, "name");
            if (action.name.empty()) Fail(node, "name", "empty function name");
            CheckChildren(node);
            for (const xmlNode* c = node->children; c; c = c->next) {
                if (!IsElement(c)) continue;
                if (Name(c) != "paramInteger") Fail(c, "", "unexpected element under \"actionCallFunction\"");
                action.params.push_back(
                    static_cast<std::int32_t>(ParseInteger(c, "value", Required(c, "value"), INT32_MIN, INT32_MAX)));
            }
        } else {
            Fail(node, "", "unknown action element");
        }
        if (name != "actionCallFunction") {
            for (const xmlNode* c = node->children; c; c = c->next)
                if (IsElement(c)) Fail(c, "", "unexpected element under \"" + name + "\"");
        }
        return action;
    }

    void ReadLayers(const xmlNode* node, Timeline& timeline) {
        CheckChildren(node);
        for (const xmlNode* c = node->children; c; c = c->next) {
            if (!IsElement(c)) continue;
            if (Name(c) != "layer") Fail(c, "", "unexpected element under \"layers\"");
            Layer layer;
            CheckChildren(c);
            for (const xmlNode* f = c->children; f; f = f->next) {
                if (!IsElement(f)) continue;
                if (Name(f) != "frame") Fail(f, "", "unexpected element under \"layer\"");
                layer.frames.push_back(ReadFrame(f));
            }
            timeline.layers.push_back(std::move(layer));
        }
    }

    void ReadPlacement(const xmlNode* node, Placement& p) {
        p.tx = TwipsAttr(node, "moveX");
        p.ty = TwipsAttr(node, "moveY");
        p.a = FactorAttr(node, "scaleX", 1.0);
        p.d = FactorAttr(node, "scaleY", 1.0);
        p.c = FactorAttr(node, "skewX", 0.0);
        p.b = FactorAttr(node, "skewY", 0.0);
        static const char* const shifts[4] = {"shiftRed", "shiftGreen", "shiftBlue", "shiftAlpha"};
        // Add terms of a colour transform are 16-bit signed in SWF.
        for (int i = 0; i < 4; ++i) p.shift[i] = static_cast<std::int32_t>(IntAttr(node, shifts[i], 0, -16384, 16383));
        p.maskId = Attr(node, "maskId").value_or("");
    }

    Frame ReadFrame(const xmlNode* node) {
        Frame frame;
        frame.where = At(node);
        frame.index =
            static_cast<std::uint32_t>(ParseInteger(node, "index", Required(node, "index"), 0, kMaxFrameIndex));
        frame.label = Attr(node, "label").value_or("");
        CheckChildren(node);
        for (const xmlNode* c = node->children; c; c = c->next) {
            if (!IsElement(c)) continue;
            Command cmd;
            cmd.where = At(c);
            std::string name = Name(c);
            if (name == "show") {
                cmd.kind = CommandKind::Show;
                cmd.showId = RequiredId(c, "id");
                cmd.objectId = RequiredId(c, "objectId");
                ReadPlacement(c, cmd.placement);
            } else if (name == "replace") {
                cmd.kind = CommandKind::Replace;
                cmd.showId = RequiredId(c, "showId");
                cmd.objectId = RequiredId(c, "objectId");
                ReadPlacement(c, cmd.placement);
            } else if (name == "modify") {
                cmd.kind = CommandKind::Modify;
                cmd.showId = RequiredId(c, "showId");
                ReadPlacement(c, cmd.placement);
            } else if (name == "hide") {
                cmd.kind = CommandKind::Hide;
                cmd.showId = RequiredId(c, "showId");
            } else if (name == "actions") {
                cmd.kind = CommandKind::Actions;
                CheckChildren(c);
                for (const xmlNode* a = c->children; a; a = a->next)
                    if (IsElement(a)) cmd.actions.push_back(ReadAction(a));
            } else if (name == "startSoundStream") {
                cmd.kind = CommandKind::StartSound;
                cmd.objectId = RequiredId(c, "objectId");
                cmd.trimFrames = static_cast<std::int32_t>(IntAttr(c, "trimFrames", -1, -1, kMaxFrameIndex));
                cmd.trimToMovie = BoolAttr(c, "trimToMovie", false);
                cmd.stopOnFinish = BoolAttr(c, "stopOnFinish", false);
            } else {
                Fail(c, "", "unknown frame command");
            }
            if (cmd.kind != CommandKind::Actions) {
                for (const xmlNode* k = c->children; k; k = k->next)
                    if (IsElement(k)) Fail(k, "", "unexpected element under \"" + name + "\"");
            }
            frame.commands.push_back(std::move(cmd));
        }
        return frame;
    }

    Movie& movie_;
};

}  // namespace

Movie ReadMovie(xmlDoc* document) {
    Movie movie;
    const xmlNode* root = xmlDocGetRootElement(document);
    if (!root) throw CompileError("the description has no root element");
    Reader(movie).ReadRoot(root);
    return movie;
}

}  // namespace tarnquill
