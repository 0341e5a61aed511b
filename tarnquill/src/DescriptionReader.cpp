#include "DescriptionReader.h"

#include "tarnquill/Compiler.h"

#include "base/encodings/TextEncoding.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <optional>
#include <unordered_map>

namespace tarnquill {
namespace {

// Lengths beyond this cannot be added or encoded safely in SWF records.
constexpr std::int64_t kMaxTwips = 1 << 29;
constexpr std::uint32_t kMaxFrameIndex = 65534;  // frame count is a 16-bit field
constexpr int kMaxNesting = 64;

// The tree with its element and attribute names indexed, so that asking an element for an
// attribute compares numbers, not strings.
class Tree {
public:
    explicit Tree(const Description& description) : description_(description), same_(description.names.size()) {
        byName_.reserve(description.names.size());
        for (std::uint32_t i = 0; i < description.names.size(); ++i)
            same_[i] = byName_.emplace(description.names[i], i).first->second;
    }

    const Description& Get() const { return description_; }

    // The number standing for `name`; -1 when no element or attribute has it.
    std::int64_t Find(std::string_view name) const {
        auto found = byName_.find(name);
        return found == byName_.end() ? -1 : found->second;
    }

    // The same for a name spelled in the reader's code: remembered by its address, so that its
    // letters are hashed once per description. The letters are still compared, so a name that
    // is not a string literal is found all the same.
    std::int64_t FindLiteral(const char* name) const {
        auto known = byAddress_.find(name);
        if (known != byAddress_.end() && known->second.name == name) return known->second.id;
        const std::int64_t id = Find(name);
        byAddress_[name] = Remembered{name, id};
        return id;
    }

    // The number standing for the name at `index` of the description's names (a name kept
    // twice answers to its first place).
    std::uint32_t Of(std::uint32_t index) const { return same_[index]; }

private:
    const Description& description_;
    std::unordered_map<std::string_view, std::uint32_t> byName_;
    std::vector<std::uint32_t> same_;
    struct Remembered {
        std::string name;
        std::int64_t id;
    };
    mutable std::unordered_map<const char*, Remembered> byAddress_;
};

// One element of the tree, with the tree it belongs to.
class Node {
public:
    Node(const Tree& tree, std::int32_t index) : tree_(&tree), index_(index) {}
    explicit operator bool() const { return index_ >= 0; }
    Node Children() const { return Node(*tree_, Get().firstChild); }
    Node Next() const { return Node(*tree_, Get().next); }
    std::size_t ChildCount() const {
        std::size_t count = 0;
        for (Node c = Children(); c; c = c.Next()) ++count;
        return count;
    }
    const std::string& Name() const { return tree_->Get().names[Get().name]; }
    long Line() const { return Get().line; }
    Description::Stray Stray() const { return Get().stray; }
    std::string Text() const { return tree_->Get().values.substr(Get().text, Get().textLength); }
    // The value as it is kept in the tree: valid while the tree is. `name` is a string literal.
    std::optional<std::string_view> Attr(const char* name) const {
        const std::int64_t id = tree_->FindLiteral(name);
        if (id < 0) return std::nullopt;
        const Description& d = tree_->Get();
        const Description::Element& e = Get();
        for (std::uint32_t i = e.firstAttribute; i < e.firstAttribute + e.attributeCount; ++i) {
            const Description::Attribute& a = d.attributes[i];
            if (tree_->Of(a.name) == id) return std::string_view(d.values).substr(a.value, a.length);
        }
        return std::nullopt;
    }

private:
    const Description::Element& Get() const { return tree_->Get().elements[static_cast<std::size_t>(index_)]; }
    const Tree* tree_;
    std::int32_t index_;
};

const std::string& Name(Node node) { return node.Name(); }

long Line(Node node) { return node.Line(); }

Where At(Node node) { return Where{Name(node), Line(node)}; }

[[noreturn]] void Fail(Node node, const std::string& attribute, const std::string& message) {
    throw CompileError(message, Name(node), attribute, Line(node));
}

std::optional<std::string_view> Attr(Node node, const char* name) { return node.Attr(name); }

// An attribute's value as the model keeps it; empty when it is absent.
std::string AttrOrEmpty(Node node, const char* name) {
    return std::string(Attr(node, name).value_or(std::string_view()));
}

std::string_view Required(Node node, const char* name) {
    auto value = Attr(node, name);
    if (!value) Fail(node, name, "required attribute is missing");
    return *value;
}

std::string RequiredId(Node node, const char* name) {
    std::string_view value = Required(node, name);
    if (value.empty()) Fail(node, name, "empty id");
    return std::string(value);
}

// A value as messages show it.
std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool ParseDouble(std::string_view text, double& out) {
    if (text.empty()) return false;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    auto [end, ec] = std::from_chars(begin, text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

std::int64_t ParseInteger(Node node, const char* name, std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const char* begin = text.data();
    if (!text.empty() && *begin == '+') ++begin;
    auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        Fail(node, name, "not an integer: " + Quoted(text));
    if (value < low || value > high)
        Fail(node, name,
             "value " + std::string(text) + " out of range " + std::to_string(low) + ".." + std::to_string(high));
    return value;
}

std::int64_t IntAttr(Node node, const char* name, std::int64_t fallback, std::int64_t low, std::int64_t high) {
    auto text = Attr(node, name);
    return text ? ParseInteger(node, name, *text, low, high) : fallback;
}

// "30tw" is twips; a plain number (or "px") is pixels.
std::int32_t ParseTwips(Node node, const char* name, std::string_view text) {
    std::string_view number = text;
    double scale = 20.0;
    if (number.size() > 2 && number.compare(number.size() - 2, 2, "tw") == 0) {
        number.remove_suffix(2);
        scale = 1.0;
    } else if (number.size() > 2 && number.compare(number.size() - 2, 2, "px") == 0) {
        number.remove_suffix(2);
    }
    double value = 0;
    if (!ParseDouble(number, value)) Fail(node, name, "not a length: " + Quoted(text));
    double twips = std::round(value * scale);
    if (std::fabs(twips) > static_cast<double>(kMaxTwips)) Fail(node, name, "length out of range: " + Quoted(text));
    return static_cast<std::int32_t>(twips);
}

std::int32_t TwipsAttr(Node node, const char* name, std::int32_t fallback = 0) {
    auto text = Attr(node, name);
    return text ? ParseTwips(node, name, *text) : fallback;
}

double FactorAttr(Node node, const char* name, double fallback) {
    auto text = Attr(node, name);
    if (!text) return fallback;
    double value = 0;
    if (!ParseDouble(*text, value)) Fail(node, name, "not a number: " + Quoted(*text));
    // MATRIX factors are signed 16.16 fixed point.
    if (std::fabs(value) >= 32767.0) Fail(node, name, "value out of range: " + Quoted(*text));
    return value;
}

bool BoolAttr(Node node, const char* name, bool fallback) {
    auto text = Attr(node, name);
    if (!text) return fallback;
    if (*text == "1" || *text == "true") return true;
    if (*text == "0" || *text == "false") return false;
    Fail(node, name, "not a boolean (0 or 1): " + Quoted(*text));
}

std::uint32_t ColorAttr(Node node, const char* name, std::uint32_t fallback) {
    auto text = Attr(node, name);
    if (!text) return fallback;
    const std::string_view t = *text;
    std::uint32_t value = 0;
    bool ok = t.size() == 7 && t[0] == '#';
    if (ok) {
        auto [end, ec] = std::from_chars(t.data() + 1, t.data() + 7, value, 16);
        ok = ec == std::errc() && end == t.data() + 7;
    }
    if (!ok) Fail(node, name, "not a colour (#rrggbb): " + Quoted(t));
    return value;
}

// Text between elements must be blank; anything else is a malformed description.
void CheckChildren(Node node) {
    if (node.Stray() == Description::kText) Fail(node, "", "unexpected text content");
    if (node.Stray() == Description::kCharacterData) Fail(node, "", "unexpected character data");
}

class Reader {
public:
    Reader(Movie& movie, const std::function<void(const Definition&)>& onImage) : movie_(movie), onImage_(onImage) {}

    void ReadRoot(Node root) {
        if (Name(root) != "movie") Fail(root, "", "the root element must be \"movie\"");
        // Pixels; players refuse a stage larger than 8191 pixels a side.
        movie_.widthPx = static_cast<std::uint32_t>(ParseInteger(root, "width", Required(root, "width"), 1, 8191));
        movie_.heightPx = static_cast<std::uint32_t>(ParseInteger(root, "height", Required(root, "height"), 1, 8191));
        if (auto rate = Attr(root, "frameRate")) {
            double value = 0;
            if (!ParseDouble(*rate, value)) Fail(root, "frameRate", "not a number: " + Quoted(*rate));
            if (value <= 0 || value > 255) Fail(root, "frameRate", "value out of range 0..255: " + Quoted(*rate));
            movie_.frameRate = value;
        }
        movie_.compressed = BoolAttr(root, "compressed", false);
        movie_.bgColor = ColorAttr(root, "bgColor", 0xffffff);
        movie_.objectsFirst = BoolAttr(root, "saveObjectsFirst", true);
        ReadContainer(root, movie_.root, 0);
    }

private:
    // "styles", "objects" and "layers" under the movie or a sprite.
    void ReadContainer(Node node, Timeline& timeline, int depth) {
        if (depth > kMaxNesting) Fail(node, "", "sprites nested too deeply");
        CheckChildren(node);
        for (Node c = node.Children(); c; c = c.Next()) {
            const std::string& name = Name(c);
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

    void ReadStyles(Node node) {
        CheckChildren(node);
        for (Node c = node.Children(); c; c = c.Next()) {
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

    void Register(const std::shared_ptr<Definition>& def, Node node) {
        if (!movie_.byId.emplace(def->id, def).second) Fail(node, "id", "duplicate id \"" + def->id + "\"");
        if (!def->isPart) movie_.definitions.push_back(def);
    }

    void ReadObjects(Node node, int depth) {
        CheckChildren(node);
        for (Node c = node.Children(); c; c = c.Next()) ReadDefinition(c, depth);
    }

    std::shared_ptr<Definition> Box(Node node, DefKind kind) {
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

    void ReadDefinition(Node node, int depth) {
        const std::string& name = Name(node);
        std::shared_ptr<Definition> def;
        if (name == "rectangle" || name == "oval") {
            def = Box(node, name == "oval" ? DefKind::Oval : DefKind::Rectangle);
            def->fillStyle = AttrOrEmpty(node, "fillStyle");
            Register(def, node);
        } else if (name == "shape") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Shape;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            Register(def, node);
            CheckChildren(node);
            for (Node c = node.Children(); c; c = c.Next()) {
                const std::string& part = Name(c);
                if (part != "rectangle" && part != "oval") Fail(c, "", "a shape holds only \"rectangle\" and \"oval\"");
                auto p = Box(c, part == "oval" ? DefKind::Oval : DefKind::Rectangle);
                p->fillStyle = AttrOrEmpty(c, "fillStyle");
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
            if (onImage_) onImage_(*def);
        } else if (name == "sprite") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Sprite;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            def->name = AttrOrEmpty(node, "name");
            def->src = AttrOrEmpty(node, "src");
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
                for (Node c = node.Children(); c; c = c.Next()) Fail(c, "", "a sprite with \"src\" has no content");
            } else {
                ReadContainer(node, *def->timeline, depth + 1);
            }
        } else if (name == "button") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Button;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            const std::string_view type = Attr(node, "type").value_or("push");
            if (type != "push" && type != "menu") Fail(node, "type", "unknown button type " + Quoted(type));
            def->menu = type == "menu";
            def->up = AttrOrEmpty(node, "up");
            def->over = AttrOrEmpty(node, "over");
            def->down = AttrOrEmpty(node, "down");
            def->hit = AttrOrEmpty(node, "hit");
            if (def->up.empty() && def->over.empty() && def->down.empty() && def->hit.empty())
                Fail(node, "up", "a button needs at least one state");
            CheckChildren(node);
            for (Node c = node.Children(); c; c = c.Next()) def->actions.push_back(ReadAction(c));
            Register(def, node);
        } else if (name == "font") {
            def = std::make_shared<Definition>();
            def->kind = DefKind::Font;
            def->id = RequiredId(node, "id");
            def->where = At(node);
            def->src = Required(node, "src");
            def->fontName = AttrOrEmpty(node, "name");
            def->chars = DecodeUtf8(node, AttrOrEmpty(node, "chars"));
            Register(def, node);
        } else if (name == "htmlText") {
            def = Box(node, DefKind::Text);
            def->fontId = AttrOrEmpty(node, "fontId");
            def->fontSize = TwipsAttr(node, "fontSize");
            def->color = ColorAttr(node, "color", 0);
            def->multiline = BoolAttr(node, "multiline", false);
            def->wordWrap = BoolAttr(node, "wordWrap", false);
            def->selectable = BoolAttr(node, "selectable", false);
            if (Node c = node.Children()) Fail(c, "", "unexpected element in \"htmlText\"");
            def->html = node.Text();
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

    static std::u32string DecodeUtf8(Node node, const std::string& text) {
        std::wstring wide;
        if (!base::encodings::StrictWideFromUtf8(text, wide)) Fail(node, "chars", "invalid UTF-8");
        return std::u32string(wide.begin(), wide.end());
    }

    Action ReadAction(Node node) {
        Action action;
        action.where = At(node);
        const std::string& name = Name(node);
        if (name == "actionStop") {
            action.kind = ActionKind::Stop;
        } else if (name == "actionGetURL") {
            action.kind = ActionKind::GetURL;
            action.url = Required(node, "url");
            action.target = AttrOrEmpty(node, "target");
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
            for (Node c = node.Children(); c; c = c.Next()) {
                if (Name(c) != "paramInteger") Fail(c, "", "unexpected element under \"actionCallFunction\"");
                action.params.push_back(
                    static_cast<std::int32_t>(ParseInteger(c, "value", Required(c, "value"), INT32_MIN, INT32_MAX)));
            }
        } else {
            Fail(node, "", "unknown action element");
        }
        if (name != "actionCallFunction") {
            for (Node c = node.Children(); c; c = c.Next()) Fail(c, "", "unexpected element under \"" + name + "\"");
        }
        return action;
    }

    void ReadLayers(Node node, Timeline& timeline) {
        CheckChildren(node);
        for (Node c = node.Children(); c; c = c.Next()) {
            if (Name(c) != "layer") Fail(c, "", "unexpected element under \"layers\"");
            Layer layer;
            CheckChildren(c);
            layer.frames.reserve(c.ChildCount());
            for (Node f = c.Children(); f; f = f.Next()) {
                if (Name(f) != "frame") Fail(f, "", "unexpected element under \"layer\"");
                layer.frames.push_back(ReadFrame(f));
            }
            timeline.layers.push_back(std::move(layer));
        }
    }

    void ReadPlacement(Node node, Placement& p) {
        p.tx = TwipsAttr(node, "moveX");
        p.ty = TwipsAttr(node, "moveY");
        p.a = FactorAttr(node, "scaleX", 1.0);
        p.d = FactorAttr(node, "scaleY", 1.0);
        p.c = FactorAttr(node, "skewX", 0.0);
        p.b = FactorAttr(node, "skewY", 0.0);
        static const char* const shifts[4] = {"shiftRed", "shiftGreen", "shiftBlue", "shiftAlpha"};
        // Add terms of a colour transform are 16-bit signed in SWF.
        for (int i = 0; i < 4; ++i) p.shift[i] = static_cast<std::int32_t>(IntAttr(node, shifts[i], 0, -16384, 16383));
        p.maskId = AttrOrEmpty(node, "maskId");
    }

    Frame ReadFrame(Node node) {
        Frame frame;
        frame.where = At(node);
        frame.index =
            static_cast<std::uint32_t>(ParseInteger(node, "index", Required(node, "index"), 0, kMaxFrameIndex));
        frame.label = AttrOrEmpty(node, "label");
        CheckChildren(node);
        frame.commands.reserve(node.ChildCount());
        for (Node c = node.Children(); c; c = c.Next()) {
            Command cmd;
            cmd.where = At(c);
            const std::string& name = Name(c);
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
                for (Node a = c.Children(); a; a = a.Next()) cmd.actions.push_back(ReadAction(a));
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
                for (Node k = c.Children(); k; k = k.Next()) Fail(k, "", "unexpected element under \"" + name + "\"");
            }
            frame.commands.push_back(std::move(cmd));
        }
        return frame;
    }

    Movie& movie_;
    const std::function<void(const Definition&)>& onImage_;
};

}  // namespace

Movie ReadMovie(const Description& description, const std::function<void(const Definition&)>& onImage) {
    Movie movie;
    if (description.elements.empty()) throw CompileError("the description has no root element");
    const Tree tree(description);
    Reader(movie, onImage).ReadRoot(Node(tree, 0));
    return movie;
}

}  // namespace tarnquill

namespace tarnquill {

void XmlErrors::Handler(void* context, xmlErrorPtr error) {
    auto* self = static_cast<XmlErrors*>(context);
    if (!error || error->level < XML_ERR_ERROR || !self->message.empty()) return;
    self->message = error->message ? error->message : "malformed XML";
    while (!self->message.empty() && (self->message.back() == '\n' || self->message.back() == ' '))
        self->message.pop_back();
    self->line = error->line;
}

void XmlErrors::Silent(void*, const char*, ...) {}

namespace {

const int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR | XML_PARSE_COMPACT;

// Only this element's text is read; the others only need to know whether theirs is blank.
const char kTextElement[] = "htmlText";

bool Blank(const xmlChar* text, int length) {
    for (int i = 0; i < length; ++i)
        if (!std::strchr(" \t\r\n", text[i])) return false;
    return true;
}

// The first stray text among an element's children is kept: character data always, text when it
// is not blank.
void NoteStray(Description::Element& e, const xmlChar* text, int length, Description::Stray kind) {
    if (e.stray == Description::kNone && (kind == Description::kCharacterData || !Blank(text, length))) e.stray = kind;
}

// Links element `child` after `lastChild`, the last child of `parent` so far (-1: none yet).
void LinkChild(Description& d, std::int32_t parent, std::int32_t& lastChild, std::int32_t child) {
    if (lastChild < 0)
        d.elements[static_cast<std::size_t>(parent)].firstChild = child;
    else
        d.elements[static_cast<std::size_t>(lastChild)].next = child;
    lastChild = child;
}

std::uint32_t Offset(std::size_t size) {
    if (size > 0xffffffffu) throw CompileError("description too large");
    return static_cast<std::uint32_t>(size);
}

// Fills the tree from libxml2's SAX2 callbacks.
class Builder {
public:
    explicit Builder(xmlParserCtxtPtr parser) : parser_(parser) {}

    static void Install(xmlSAXHandler& sax) {
        std::memset(&sax, 0, sizeof sax);
        sax.initialized = XML_SAX2_MAGIC;
        // What the callbacks throw must not cross the parser: it is kept, and the parse stopped.
        sax.startElementNs = [](void* context, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                                int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaulted,
                                const xmlChar** attributes) {
            Guard(context, [&] {
                StartElement(context, localname, prefix, uri, namespaceCount, namespaces, attributeCount, defaulted,
                             attributes);
            });
        };
        sax.endElementNs = [](void* context, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri) {
            Guard(context, [&] { EndElement(context, localname, prefix, uri); });
        };
        sax.characters = [](void* context, const xmlChar* text, int length) {
            Guard(context, [&] { Characters(context, text, length); });
        };
        sax.ignorableWhitespace = sax.characters;  // blanks are text, as in libxml2's own tree
        sax.cdataBlock = [](void* context, const xmlChar* text, int length) {
            Guard(context, [&] { CharacterData(context, text, length); });
        };
        sax.internalSubset = InternalSubset;
    }

    Description description;
    bool throughTree = false;
    bool tooLarge = false;  // beyond what the tree's 32-bit offsets reach
    std::exception_ptr failure;

private:
    static constexpr std::size_t kMax = 0xffffffffu;

    struct Open {
        std::int32_t index;
        std::int32_t lastChild = -1;
        bool keepText = false;
        std::string text;
    };

    static Builder& Of(void* context) { return *static_cast<Builder*>(context); }

    template <typename Callback>
    static void Guard(void* context, const Callback& callback) {
        Builder& self = Of(context);
        if (self.failure) return;
        try {
            callback();
        } catch (...) {
            self.failure = std::current_exception();
            xmlStopParser(self.parser_);
        }
    }

    // Entities and ids declared by a document type are left to libxml2's tree.
    void Stop() {
        throughTree = true;
        xmlStopParser(parser_);
    }

    void TooLarge() {
        tooLarge = true;
        xmlStopParser(parser_);
    }

    std::uint32_t Intern(const xmlChar* name) {
        // Names come out of the parser's dictionary: one pointer per name.
        auto found = ids_.find(name);
        if (found != ids_.end()) return found->second;
        auto id = static_cast<std::uint32_t>(description.names.size());
        description.names.emplace_back(reinterpret_cast<const char*>(name));
        ids_.emplace(name, id);
        return id;
    }

    static void StartElement(void* context, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                             const xmlChar**, int attributeCount, int defaulted, const xmlChar** attributes) {
        Builder& self = Of(context);
        Description& d = self.description;
        if (self.tooLarge) return;
        auto index = static_cast<std::int32_t>(d.elements.size());
        if (d.elements.size() >= 0x7fffffff || d.attributes.size() + static_cast<std::size_t>(attributeCount) >= kMax)
            return self.TooLarge();
        Description::Element e;
        e.name = self.Intern(localname);
        e.line = self.parser_->input ? self.parser_->input->line : 0;
        e.firstAttribute = static_cast<std::uint32_t>(d.attributes.size());
        // Defaulted attributes (from a document type) stay out, as in libxml2's tree.
        for (int i = 0; i < attributeCount - defaulted; ++i) {
            const xmlChar** a = attributes + 5 * i;
            if (a[2]) {  // in a namespace: not one of ours
                if (std::strcmp(reinterpret_cast<const char*>(a[0]), "id") == 0 && a[1] &&
                    std::strcmp(reinterpret_cast<const char*>(a[1]), "xml") == 0)
                    return self.Stop();
                continue;
            }
            if (a[1]) continue;  // an undeclared prefix, which the parser reports
            auto length = static_cast<std::size_t>(a[4] - a[3]);
            if (d.values.size() + length >= kMax) return self.TooLarge();
            Description::Attribute attribute{self.Intern(a[0]), static_cast<std::uint32_t>(d.values.size()), 0};
            if (std::memchr(a[3], '&', length)) {
                // The parser leaves "&#38;" for a "&"; libxml2's tree decodes it this way.
                xmlNodePtr list = xmlStringLenGetNodeList(nullptr, a[3], static_cast<int>(length));
                xmlChar* value = xmlNodeListGetString(nullptr, list, 1);
                if (value) d.values += reinterpret_cast<const char*>(value);
                xmlFree(value);
                xmlFreeNodeList(list);
            } else {
                d.values.append(reinterpret_cast<const char*>(a[3]), length);
            }
            attribute.length = static_cast<std::uint32_t>(d.values.size() - attribute.value);
            d.attributes.push_back(attribute);
        }
        e.attributeCount = static_cast<std::uint32_t>(d.attributes.size() - e.firstAttribute);
        d.elements.push_back(e);
        if (!self.open_.empty()) {
            Open& parent = self.open_.back();
            LinkChild(d, parent.index, parent.lastChild, index);
        }
        self.open_.push_back(Open{index, -1, d.names[e.name] == kTextElement, {}});
    }

    static void EndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        Builder& self = Of(context);
        if (self.open_.empty() || self.tooLarge) return;
        Open& open = self.open_.back();
        if (open.keepText) {
            if (self.description.values.size() + open.text.size() >= kMax) return self.TooLarge();
            Description::Element& e = self.description.elements[static_cast<std::size_t>(open.index)];
            e.text = static_cast<std::uint32_t>(self.description.values.size());
            e.textLength = static_cast<std::uint32_t>(open.text.size());
            self.description.values += open.text;
        }
        self.open_.pop_back();
    }

    void Text(const xmlChar* text, int length, Description::Stray stray) {
        if (open_.empty() || tooLarge) return;
        Open& open = open_.back();
        NoteStray(description.elements[static_cast<std::size_t>(open.index)], text, length, stray);
        if (open.keepText) open.text.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    }

    static void Characters(void* context, const xmlChar* text, int length) {
        Of(context).Text(text, length, Description::kText);
    }

    static void CharacterData(void* context, const xmlChar* text, int length) {
        Of(context).Text(text, length, Description::kCharacterData);
    }

    static void InternalSubset(void* context, const xmlChar*, const xmlChar*, const xmlChar*) { Of(context).Stop(); }

    xmlParserCtxtPtr parser_;
    std::unordered_map<const xmlChar*, std::uint32_t> ids_;
    std::vector<Open> open_;
};

// The same tree out of libxml2's: attribute values as their nodes give them, lines as
// libxml2 tells them.
class TreeCopy {
public:
    explicit TreeCopy(Description& d) : d_(d) {}

    std::int32_t Copy(const xmlNode* node) {
        auto index = static_cast<std::int32_t>(d_.elements.size());
        Description::Element e;
        e.name = Intern(reinterpret_cast<const char*>(node->name));
        e.line = static_cast<long>(xmlGetLineNo(node));
        e.firstAttribute = Offset(d_.attributes.size());
        for (const xmlAttr* a = node->properties; a; a = a->next) {
            if (a->ns) continue;
            Description::Attribute attribute{Intern(reinterpret_cast<const char*>(a->name)), Offset(d_.values.size()),
                                             0};
            const xmlNode* only = a->children;
            if (only && only->type == XML_TEXT_NODE && !only->next) {
                if (only->content) d_.values += reinterpret_cast<const char*>(only->content);
            } else if (only) {
                xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
                if (value) d_.values += reinterpret_cast<const char*>(value);
                xmlFree(value);
            }
            attribute.length = Offset(d_.values.size() - attribute.value);
            d_.attributes.push_back(attribute);
        }
        e.attributeCount = Offset(d_.attributes.size() - e.firstAttribute);
        d_.elements.push_back(e);
        const bool keepText = d_.names[e.name] == kTextElement;
        std::string text;
        std::int32_t last = -1;
        for (const xmlNode* c = node->children; c; c = c->next) {
            if (c->type == XML_ELEMENT_NODE) {
                const std::int32_t child = Copy(c);
                LinkChild(d_, index, last, child);
            } else if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) {
                const char* content = c->content ? reinterpret_cast<const char*>(c->content) : "";
                NoteStray(d_.elements[static_cast<std::size_t>(index)], reinterpret_cast<const xmlChar*>(content),
                          static_cast<int>(std::strlen(content)),
                          c->type == XML_CDATA_SECTION_NODE ? Description::kCharacterData : Description::kText);
                if (keepText) text += content;
            }
        }
        if (keepText) {
            d_.elements[static_cast<std::size_t>(index)].text = Offset(d_.values.size());
            d_.elements[static_cast<std::size_t>(index)].textLength = Offset(text.size());
            d_.values += text;
        }
        return index;
    }

private:
    std::uint32_t Intern(const std::string& name) {
        auto found = ids_.find(name);
        if (found != ids_.end()) return found->second;
        auto id = static_cast<std::uint32_t>(d_.names.size());
        d_.names.push_back(name);
        ids_.emplace(name, id);
        return id;
    }

    Description& d_;
    std::unordered_map<std::string, std::uint32_t> ids_;
};

struct DocumentOwner {
    xmlDocPtr doc = nullptr;
    ~DocumentOwner() {
        if (doc) xmlFreeDoc(doc);
    }
};

[[noreturn]] void Malformed(const XmlErrors& errors) {
    throw CompileError("malformed description: " + (errors.message.empty() ? "cannot parse" : errors.message), "", "",
                       errors.line);
}

}  // namespace

Description ParseDescription(const DescriptionSource& source, const std::function<void(_xmlDoc*)>& throughTree) {
    const std::string& text = source.pathOrText;
    if (!source.isFile && text.size() > 0x7fffffff) throw CompileError("description too large");
    XmlErrors errors;
    xmlSetStructuredErrorFunc(&errors, XmlErrors::Handler);
    xmlSetGenericErrorFunc(nullptr, XmlErrors::Silent);
    struct Unhook {
        ~Unhook() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    } unhook;

    xmlParserCtxtPtr parser = source.isFile ? xmlCreateURLParserCtxt(text.c_str(), kParseOptions)
                                            : xmlCreateMemoryParserCtxt(text.data(), static_cast<int>(text.size()));
    if (!parser) Malformed(errors);
    // The parse as libxml2 reads a file or a text into its tree, with our callbacks instead.
    Builder builder(parser);
    Builder::Install(*parser->sax);
    xmlCtxtUseOptions(parser, kParseOptions);
    parser->userData = &builder;
    if (!source.isFile && parser->input && !parser->input->filename)
        parser->input->filename = reinterpret_cast<char*>(xmlStrdup(BAD_CAST "movie.xml"));
    xmlParseDocument(parser);
    const bool wellFormed = parser->wellFormed != 0;
    if (parser->myDoc) xmlFreeDoc(parser->myDoc);
    parser->myDoc = nullptr;
    xmlFreeParserCtxt(parser);
    if (builder.failure) std::rethrow_exception(builder.failure);
    if (builder.tooLarge) throw CompileError("description too large");
    if (!builder.throughTree) {
        if (!wellFormed || !errors.message.empty()) Malformed(errors);
        return std::move(builder.description);
    }

    errors = XmlErrors();
    DocumentOwner owner;
    owner.doc = source.isFile
                    ? xmlReadFile(text.c_str(), nullptr, kParseOptions)
                    : xmlReadMemory(text.data(), static_cast<int>(text.size()), "movie.xml", nullptr, kParseOptions);
    if (!owner.doc || !errors.message.empty()) Malformed(errors);
    Description description;
    if (const xmlNode* root = xmlDocGetRootElement(owner.doc)) TreeCopy(description).Copy(root);
    if (throughTree) throughTree(owner.doc);
    return description;
}

}  // namespace tarnquill
