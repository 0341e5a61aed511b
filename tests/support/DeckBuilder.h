#pragma once
// Writes small presentation files for the loader's tests: a document, one master and slides, with
// an edit chain, so that a test can change or damage exactly one record.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "RecordBytes.h"

namespace testdeck {

using testrec::Bytes;

// Drawing properties as (id word, value); complex data is appended in the given order.
Bytes Opt(const std::vector<std::pair<uint16_t, uint32_t>>& props, const Bytes& complex = {});
// Client anchor in master units (1/576 inch), stored top, left, right, bottom.
Bytes ClientAnchor(int16_t left, int16_t top, int16_t right, int16_t bottom);
Bytes ChildAnchor(int32_t left, int32_t top, int32_t right, int32_t bottom);
// A shape: its atom, then the given children in order.
Bytes SpShape(uint16_t shapeType, uint32_t id, uint32_t flags, std::initializer_list<Bytes> children);
// A nested group: the group's own shape (group coordinates, its anchor, its shape flags and
// properties), then the children.
Bytes Group(uint32_t id, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const Bytes& anchor,
            const std::vector<Bytes>& children, uint32_t flags = 0x201, const Bytes& opt = {});
Bytes ClientData(std::initializer_list<Bytes> children);
Bytes Placeholder(uint8_t type, uint32_t position = 0);
// A text box with a header, the text (UTF-16) and the optional style and other records.
Bytes TextBox(uint32_t textType, const std::u16string& text, std::initializer_list<Bytes> rest = {});
Bytes TextChars(const std::u16string& text);
// One paragraph run and one character run (mask and fields already laid out).
Bytes StyleRuns(const std::vector<Bytes>& paragraphRuns, const std::vector<Bytes>& characterRuns);
Bytes ParagraphRun(uint32_t count, uint16_t level, uint32_t mask, const Bytes& fields = {});
Bytes CharacterRun(uint32_t count, uint32_t mask, const Bytes& fields = {});
Bytes CString(uint16_t instance, const std::u16string& text);

struct Slide {
    Slide(std::vector<Bytes> shapeRecords = {}, uint32_t slideId = 256)
        : shapes(std::move(shapeRecords)), id(slideId) {}
    std::vector<Bytes> shapes;
    std::vector<Bytes> records;  // extra records of the slide container (transition, ...)
    std::vector<Bytes> outline;  // the slide's records in the slide list, after its persist atom
    uint32_t id = 256;
    uint16_t flags = 0x7;  // follows the master's objects, scheme and background
    Bytes background;      // the background shape's properties (Opt); empty: no background shape
};

struct Deck {
    std::vector<Slide> slides;
    std::vector<Bytes> masterShapes;
    Bytes masterBackground;              // as Slide::background
    std::vector<Bytes> masterRecords;    // text styles and the like
    std::vector<Bytes> documentRecords;  // object list, sound collection, ...
    std::vector<std::u16string> fonts{u"Arial", u"Courier New"};

    // The "PowerPoint Document" stream; `edit` is the offset of its edit record.
    Bytes Stream(uint32_t& edit) const;
    // The record of slide i alone (persist id 3 + i).
    Bytes SlideRecord(size_t i) const;
    // The whole file saved once: the stream, its current-user stream and the streams in `more`.
    Bytes SavedFile(const std::vector<std::pair<std::string, Bytes>>& more = {}) const;
};

// Appends a later save that replaces persist object `persistId` by `record`; returns the offset of
// the new edit record.
uint32_t AppendEdit(Bytes& stream, uint32_t previousEdit, uint32_t persistId, const Bytes& record);

Bytes CurrentUser(uint32_t edit);
// The compound file: the document stream, the current-user stream (when given) and others.
Bytes File(const Bytes& stream, const Bytes* currentUser, const std::vector<std::pair<std::string, Bytes>>& more = {});

}  // namespace testdeck
