#include "DeckBuilder.h"

#include "CfbBuilder.h"

#include "libpptparser/RecordTypes.h"

namespace testdeck {

using namespace testrec;

namespace {

Bytes SlideAtom(uint32_t masterId, uint16_t flags) {
    Bytes b = U32s({0});
    b.insert(b.end(), 8, 0);
    Append32(b, masterId);
    Append32(b, 0);
    Append16(b, flags);
    Append16(b, 0);
    return Record(2, 0, libpptparser::kRecordSlideAtom, b);
}

Bytes Drawing(const std::vector<Bytes>& shapes, const Bytes& background) {
    Bytes header = Container(libpptparser::kRecordEscherSpContainer,
                             {Record(1, 0, libpptparser::kRecordEscherSpgr, U32s({0, 0, 0, 0})),
                              Record(2, 0, libpptparser::kRecordEscherSp, U32s({1024, 0x5}))});
    Bytes group = header;
    for (const Bytes& s : shapes) group.insert(group.end(), s.begin(), s.end());
    Bytes dg = Cat({Record(0, 0, libpptparser::kRecordEscherDg, U32s({2, 1025})),
                    Record(0xF, 0, libpptparser::kRecordEscherSpgrContainer, group)});
    // The background shape lies beside the shapes' group.
    if (!background.empty())
        dg = Cat({dg, Record(0xF, 0, libpptparser::kRecordEscherSpContainer,
                             Cat({Record(2, 1, libpptparser::kRecordEscherSp, U32s({1023, 0xC00})), background}))});
    return Container(libpptparser::kRecordPPDrawing, {Record(0xF, 0, libpptparser::kRecordEscherDgContainer, dg)});
}

Bytes Scheme() {
    return Atom(libpptparser::kRecordColorSchemeAtom,
                U32s({0xFFFFFF, 0x000000, 0x808080, 0x000000, 0xBBE0E3, 0x998033, 0xFFFFFF, 0x00CC99}), 1);
}

Bytes PersistAtom(uint32_t ref, uint32_t id) {
    return Atom(libpptparser::kRecordSlidePersistAtom, U32s({ref, 0, 0, id, 0}));
}

Bytes Seq(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

Bytes Opt(const std::vector<std::pair<uint16_t, uint32_t>>& props, const Bytes& complex) {
    Bytes b;
    for (const auto& [id, value] : props) {
        Append16(b, id);
        Append32(b, value);
    }
    b.insert(b.end(), complex.begin(), complex.end());
    return Record(3, static_cast<uint16_t>(props.size()), libpptparser::kRecordEscherOPT, b);
}

Bytes ClientAnchor(int16_t left, int16_t top, int16_t right, int16_t bottom) {
    return Atom(libpptparser::kRecordEscherClientAnchor,
                U16s({static_cast<uint16_t>(top), static_cast<uint16_t>(left), static_cast<uint16_t>(right),
                      static_cast<uint16_t>(bottom)}));
}

Bytes ChildAnchor(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return Atom(libpptparser::kRecordEscherChildAnchor,
                U32s({static_cast<uint32_t>(left), static_cast<uint32_t>(top), static_cast<uint32_t>(right),
                      static_cast<uint32_t>(bottom)}));
}

Bytes SpShape(uint16_t shapeType, uint32_t id, uint32_t flags, std::initializer_list<Bytes> children) {
    Bytes b = Record(2, shapeType, libpptparser::kRecordEscherSp, U32s({id, flags}));
    for (const Bytes& c : children) b.insert(b.end(), c.begin(), c.end());
    return Record(0xF, 0, libpptparser::kRecordEscherSpContainer, b);
}

Bytes Group(uint32_t id, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const Bytes& anchor,
            const std::vector<Bytes>& children, uint32_t flags, const Bytes& opt) {
    Bytes own = Seq({Record(1, 0, libpptparser::kRecordEscherSpgr,
                            U32s({static_cast<uint32_t>(x1), static_cast<uint32_t>(y1), static_cast<uint32_t>(x2),
                                  static_cast<uint32_t>(y2)})),
                     Record(2, 0, libpptparser::kRecordEscherSp, U32s({id, flags})), opt, anchor});
    Bytes b = Record(0xF, 0, libpptparser::kRecordEscherSpContainer, own);
    for (const Bytes& c : children) b.insert(b.end(), c.begin(), c.end());
    return Record(0xF, 0, libpptparser::kRecordEscherSpgrContainer, b);
}

Bytes ClientData(std::initializer_list<Bytes> children) {
    return Container(libpptparser::kRecordEscherClientData, children);
}

Bytes Placeholder(uint8_t type, uint32_t position) {
    Bytes b = U32s({position});
    b.push_back(type);
    b.push_back(0);
    Append16(b, 0);
    return Atom(3011, b);
}

Bytes TextChars(const std::u16string& text) { return Atom(libpptparser::kRecordTextCharsAtom, Utf16(text)); }

Bytes TextBox(uint32_t textType, const std::u16string& text, std::initializer_list<Bytes> rest) {
    Bytes b = Seq({Atom(libpptparser::kRecordTextHeaderAtom, U32s({textType})), TextChars(text)});
    for (const Bytes& r : rest) b.insert(b.end(), r.begin(), r.end());
    return Record(0xF, 0, libpptparser::kRecordEscherClientTextbox, b);
}

Bytes ParagraphRun(uint32_t count, uint16_t level, uint32_t mask, const Bytes& fields) {
    return Cat({U32s({count}), U16s({level}), U32s({mask}), fields});
}

Bytes CharacterRun(uint32_t count, uint32_t mask, const Bytes& fields) { return Cat({U32s({count, mask}), fields}); }

Bytes StyleRuns(const std::vector<Bytes>& paragraphRuns, const std::vector<Bytes>& characterRuns) {
    Bytes b = Seq(paragraphRuns);
    Bytes c = Seq(characterRuns);
    b.insert(b.end(), c.begin(), c.end());
    return Atom(libpptparser::kRecordStyleTextPropAtom, b);
}

Bytes CString(uint16_t instance, const std::u16string& text) {
    return Atom(libpptparser::kRecordCString, Utf16(text), instance);
}

Bytes Deck::SlideRecord(size_t i) const {
    const Slide& s = slides[i];
    Bytes b = Seq({SlideAtom(0x80000000u, s.flags), Drawing(s.shapes, s.background), Scheme()});
    for (const Bytes& r : s.records) b.insert(b.end(), r.begin(), r.end());
    return Record(0xF, 0, libpptparser::kRecordSlide, b);
}

Bytes Deck::Stream(uint32_t& edit) const {
    // Document: size 720 x 540 points, fonts, default character and paragraph formats.
    Bytes docAtom = U32s({5760, 4320, 5760, 4320, 1, 2, 0, 0});
    Append16(docAtom, 1);
    Append16(docAtom, 0);
    Append32(docAtom, 0);
    Bytes fontList;
    for (const std::u16string& f : fonts) {
        Bytes entity = Utf16(f);
        entity.resize(64, 0);
        Append32(entity, 0);
        fontList = Cat({fontList, Atom(libpptparser::kRecordFontEntityAtom, entity)});
    }
    Bytes environment = Record(0xF, 0, libpptparser::kRecordEnvironment,
                               Cat({Record(0xF, 0, libpptparser::kRecordFontCollection, fontList),
                                    // default: font 0, size 18, colour scheme text
                                    Atom(4004, Cat({U32s({0x70000}), U16s({0, 18}), U32s({0x01000000})})),
                                    Atom(4005, Cat({U16s({0}), U32s({0})}))}));
    Bytes masterList = Record(0xF, 1, libpptparser::kRecordSlideListWithText, PersistAtom(2, 0x80000000u));
    Bytes slideList;
    for (size_t i = 0; i < slides.size(); ++i) {
        slideList = Cat({slideList, PersistAtom(static_cast<uint32_t>(3 + i), slides[i].id)});
        for (const Bytes& r : slides[i].outline) slideList.insert(slideList.end(), r.begin(), r.end());
    }
    Bytes docBody = Cat({Atom(libpptparser::kRecordDocumentAtom, docAtom, 1), environment, masterList,
                         Record(0xF, 0, libpptparser::kRecordSlideListWithText, slideList)});
    for (const Bytes& r : documentRecords) docBody.insert(docBody.end(), r.begin(), r.end());
    docBody = Cat({docBody, Atom(libpptparser::kRecordEndDocument, {})});
    Bytes stream = Record(0xF, 0, libpptparser::kRecordDocument, docBody);

    std::vector<uint32_t> offsets{0};
    offsets.push_back(static_cast<uint32_t>(stream.size()));
    Bytes master = Seq({SlideAtom(0, 0), Drawing(masterShapes, masterBackground), Scheme()});
    for (const Bytes& r : masterRecords) master.insert(master.end(), r.begin(), r.end());
    stream = Cat({stream, Record(0xF, 0, libpptparser::kRecordMainMaster, master)});
    for (size_t i = 0; i < slides.size(); ++i) {
        offsets.push_back(static_cast<uint32_t>(stream.size()));
        stream = Cat({stream, SlideRecord(i)});
    }
    const uint32_t dirAt = static_cast<uint32_t>(stream.size());
    Bytes dir = U32s({1u | (static_cast<uint32_t>(offsets.size()) << 20)});
    for (uint32_t o : offsets) Append32(dir, o);
    stream = Cat({stream, Atom(libpptparser::kRecordPersistDirectoryAtom, dir)});
    edit = static_cast<uint32_t>(stream.size());
    Bytes userEdit = U32s({256});
    Append16(userEdit, 0);
    userEdit.push_back(0);
    userEdit.push_back(3);
    userEdit = Cat({userEdit, U32s({0, dirAt, 1, static_cast<uint32_t>(offsets.size() + 1)}), U16s({1, 0})});
    return Cat({stream, Atom(libpptparser::kRecordUserEditAtom, userEdit)});
}

uint32_t AppendEdit(Bytes& stream, uint32_t previousEdit, uint32_t persistId, const Bytes& record) {
    const uint32_t at = static_cast<uint32_t>(stream.size());
    stream = Cat({stream, record});
    const uint32_t dirAt = static_cast<uint32_t>(stream.size());
    stream = Cat({stream, Atom(libpptparser::kRecordPersistDirectoryAtom, U32s({persistId | (1u << 20), at}))});
    const uint32_t edit = static_cast<uint32_t>(stream.size());
    Bytes userEdit = U32s({256});
    Append16(userEdit, 0);
    userEdit.push_back(0);
    userEdit.push_back(3);
    userEdit = Cat({userEdit, U32s({previousEdit, dirAt, 1, 100}), U16s({1, 0})});
    stream = Cat({stream, Atom(libpptparser::kRecordUserEditAtom, userEdit)});
    return edit;
}

Bytes Deck::SavedFile(const std::vector<std::pair<std::string, Bytes>>& more) const {
    uint32_t edit = 0;
    const Bytes stream = Stream(edit);
    const Bytes user = CurrentUser(edit);
    return File(stream, &user, more);
}

Bytes CurrentUser(uint32_t edit) {
    Bytes data = U32s({0x14, 0xE391C05F, edit});
    Append16(data, 0);
    Append16(data, 0x3F4);
    data.push_back(3);
    data.push_back(0);
    Append16(data, 0);
    return Atom(libpptparser::kRecordCurrentUserAtom, data);
}

Bytes File(const Bytes& stream, const Bytes* currentUser, const std::vector<std::pair<std::string, Bytes>>& more) {
    std::vector<testcfb::Stream> streams{{"PowerPoint Document", stream}};
    if (currentUser) streams.push_back({"Current User", *currentUser});
    for (const auto& [name, data] : more) streams.push_back({name, data});
    return testcfb::Build(streams);
}

}  // namespace testdeck
