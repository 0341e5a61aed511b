// Reads a movie description into a compact tree of its own (libxml2's SAX2 callbacks fill
// it), and the tree into the model, checking every value.
#pragma once

#include "Model.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct _xmlDoc;
struct _xmlError;

namespace tarnquill {

// Elements only, in document order. Of the rest the reader needs to know whether text other
// than blanks or character data sits among an element's children, and the text itself for
// the elements that hold some.
struct Description {
    enum Stray : std::uint8_t { kNone = 0, kText = 1, kCharacterData = 2 };
    struct Attribute {
        std::uint32_t name;           // index into names
        std::uint32_t value, length;  // within values
    };
    struct Element {
        std::uint32_t name = 0;
        long line = 0;
        std::uint32_t firstAttribute = 0, attributeCount = 0;
        std::int32_t firstChild = -1, next = -1;
        Stray stray = kNone;                     // the first one among the children
        std::uint32_t text = 0, textLength = 0;  // within values
    };
    std::vector<std::string> names;
    std::vector<Element> elements;  // the root first
    std::vector<Attribute> attributes;
    std::string values;  // attribute values and kept text, back to back
};

// libxml2 reports through a hook; keep the first message with its line.
struct XmlErrors {
    std::string message;
    long line = 0;
    static void Handler(void* context, _xmlError* error);
    static void Silent(void*, const char*, ...);
};

// Where the description comes from: a file, or the text itself.
struct DescriptionSource {
    bool isFile = true;
    const std::string& pathOrText;
};

// Parses the description, throwing "malformed description" as libxml2 words it. A description
// with a document type declaration or an xml:id attribute goes through libxml2's own tree (its
// entities and ids are libxml2's business); `throughTree` sees that tree before it is freed.
Description ParseDescription(const DescriptionSource& source, const std::function<void(_xmlDoc*)>& throughTree);

// `onImage` hears of each image as soon as it is read, in the order of the description.
Movie ReadMovie(const Description& description, const std::function<void(const Definition&)>& onImage = {});

}  // namespace tarnquill
