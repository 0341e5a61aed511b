// The record walk, the factory, the atoms and the stream parser's refusals.

#include <gtest/gtest.h>

#include <functional>

#include "CfbBuilder.h"
#include "RecordBytes.h"
#include "WhatOf.h"
#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptContainers.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"

using namespace libpptparser;
using namespace testrec;

namespace {

template <class T>
std::shared_ptr<T> Only(const Bytes& atom) {
    const auto root = Tree(atom);
    EXPECT_EQ(root->GetChildCount(), 1u);
    auto typed = std::dynamic_pointer_cast<T>(root->GetChild(0));
    EXPECT_TRUE(typed) << "record made of the wrong class";
    return typed;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(RecordWalk, StructureOfTheTree) {
    EXPECT_EQ(Tree({})->GetChildCount(), 0u);
    EXPECT_EQ(Tree({})->GetType(), kRecordRoot);

    Bytes stream = Cat({
        Container(0x1234, {Atom(1, {1, 2, 3}), Atom(2, {})}),  // unknown container type: walked
        Record(0, 0, kRecordBinaryTagData, Atom(7, {9})),      // 5003 is a container at any version
        Atom(0x4444, {1, 2, 3, 4, 5}, 0x0ABC),                 // unknown atom: header kept, data skipped
        Atom(kRecordOutlineTextRefAtom, U32s({3})),
    });
    const size_t intact = stream.size();
    // A last record claiming more data than remains is dropped, and so is a stray partial header.
    Append16(stream, 0), Append16(stream, 77), Append32(stream, 100), stream.resize(stream.size() + 10);
    auto root = Tree(stream);
    ASSERT_EQ(root->GetChildCount(), 4u);
    stream.resize(intact + 5);
    EXPECT_EQ(Tree(stream)->GetChildCount(), 4u);

    const auto unknown = std::dynamic_pointer_cast<CPptDefaultContainer>(root->GetChild(0));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->GetChildCount(), 2u);
    EXPECT_EQ(unknown->GetChild(1)->GetOrdinal(), 1u);
    EXPECT_EQ(unknown->GetChild(1)->GetParent(), unknown.get());
    EXPECT_EQ(unknown->GetChild(5), nullptr);  // child lookups past the end give nothing

    const auto tagData = root->GetChild(1);
    EXPECT_TRUE(tagData->IsContainer());
    EXPECT_EQ(std::static_pointer_cast<CPptContainer>(tagData)->GetChildCount(), 1u);

    const auto atom = std::dynamic_pointer_cast<CPptDefaultAtom>(root->GetChild(2));
    ASSERT_TRUE(atom);
    EXPECT_EQ(atom->GetInstance(), 0x0ABC);
    EXPECT_EQ(atom->GetLength(), 5u);
    EXPECT_EQ(atom->GetBytes().U8(4), 5);
    EXPECT_EQ(atom->GetOffset(), unknown->GetLength() + 8 + tagData->GetLength() + 8);

    const auto outline = std::dynamic_pointer_cast<CPptOutlineTextRefAtom>(root->GetChild(3));
    ASSERT_TRUE(outline);
    EXPECT_TRUE(outline->IsContainer());
    EXPECT_EQ(outline->GetChildCount(), 0u);
    EXPECT_EQ(outline->GetIndex(), 3u);
    for (size_t i = 0; i < root->GetChildCount(); ++i) EXPECT_EQ(root->GetChild(i)->GetOrdinal(), i);

    EXPECT_EQ(root->GetChildren(0x4444, 0x0ABC).size(), 1u);
    EXPECT_EQ(root->GetChildren(0x4444, 0).size(), 0u);
    EXPECT_EQ(root->FindChildContainer(0x1234), unknown);
    EXPECT_EQ(root->FindChildContainer(0x4444), nullptr);  // an atom is not a container
}

TEST(RecordWalk, NestingIsCappedWithAClearError) {
    // `levels` containers, each holding the next, around one empty atom.
    auto nested = [](uint32_t levels, uint16_t version, uint16_t type) {
        Bytes b;
        for (uint32_t i = 0; i < levels; ++i) {
            Append16(b, version), Append16(b, type);
            Append32(b, (levels - 1 - i) * 8 + 8);
        }
        return Cat({b, Atom(1, {})});
    };
    // Deep but legal nesting is read whole.
    auto root = Tree(nested(kMaxRecordDepth, 0xF, 0x1000));
    size_t depth = 0;
    for (auto c = root; c && c->GetChildCount(); c = std::dynamic_pointer_cast<CPptContainer>(c->GetChild(0))) ++depth;
    EXPECT_EQ(depth, kMaxRecordDepth + 1);

    // Deeper than the cap, by any container class, is refused instead of exhausting the stack.
    for (uint16_t type : {uint16_t(0x1000), uint16_t(kRecordAnimGroup), uint16_t(kRecordSound)}) {
        const std::string message = bctest::WhatOf<CPptParserException>([&] { Tree(nested(100000, 0xF, type)); });
        EXPECT_TRUE(Contains(message, "nested more than")) << message;
        EXPECT_TRUE(Contains(message, " in file libpptparser/src/")) << message;
    }
    EXPECT_TRUE(
        Contains(bctest::WhatOf<CPptParserException>([&] { Tree(nested(100000, 0, kRecordOutlineTextRefAtom)); }),
                 "nested more than"));
    EXPECT_TRUE(Contains(bctest::WhatOf<CPptParserException>([&] { Tree(nested(100000, 0, kRecordBinaryTagData)); }),
                         "nested more than"));
}

// Every atom class over data that is too short: the fields it cannot hold read 0.
TEST(Atoms, ShortAtomsKeepDefaults) {
    for (uint16_t type : {kRecordSlideAtom,          kRecordSlidePersistAtom,   kRecordSoundCollAtom,
                          kRecordSoundData,          kRecordOutlineTextRefAtom, kRecordTextHeaderAtom,
                          kRecordTextCharsAtom,      kRecordStyleTextPropAtom,  kRecordTextBytesAtom,
                          kRecordTextSpecInfoAtom,   kRecordFontEntityAtom,     kRecordCString,
                          kRecordSlideNumberMCAtom,  kRecordAnimationInfoAtom,  kRecordDateTimeMCAtom,
                          kRecordAnimReferenceAtom,  kRecordEscherSp,           kRecordEscherOPT,
                          kRecordEscherClientAnchor, kRecordAnimNodeAtom,       kRecordAnimateTargetAtom,
                          kRecordAnimateSetAtom,     kRecordAnimIterationAtom,  kRecordAnimAttributeValueAtom}) {
        for (size_t length : {0, 1, 3, 7}) {
            const auto root = Tree(Atom(type, Bytes(length, 0xAB), 15));
            ASSERT_EQ(root->GetChildCount(), 1u) << type;
        }
    }

    const auto slide = Only<CPptSlideAtom>(Atom(kRecordSlideAtom, Cat({U32s({7, 0, 0, 0x11223344}), U16s({9})})));
    EXPECT_EQ(slide->GetLayout(), 7u);
    EXPECT_EQ(slide->GetMasterId(), 0x11223344u);
    EXPECT_EQ(slide->GetNotesId(), 0u);  // at 16, past an 18-byte atom's end
    EXPECT_EQ(slide->GetFlags(), 0u);

    const auto persist = Only<CPptSlidePersistAtom>(Atom(kRecordSlidePersistAtom, U32s({1, 2, 3})));
    EXPECT_EQ(persist->GetTextCount(), 3u);
    EXPECT_EQ(persist->GetSlideId(), 0u);

    const auto info = Only<CPptAnimationInfoAtom>(Atom(kRecordAnimationInfoAtom, Cat({U32s({1, 2, 3, 4}), U16s({5})})));
    EXPECT_EQ(info->GetDelay(), 4u);
    EXPECT_EQ(info->GetOrderId(), 5u);
    EXPECT_EQ(info->GetSlideCount(), 0u);
    EXPECT_EQ(info->GetOleVerb(), 0u);

    const auto iteration =
        Only<CPptAnimIterationAtom>(Atom(kRecordAnimIterationAtom, Cat({U32s({1, 2}), U16s({3, 0, 4})})));
    EXPECT_EQ(iteration->GetValue(2), 3u);
    EXPECT_EQ(iteration->GetValue(3), 4u);
    EXPECT_EQ(iteration->GetValue(4), 0u);
    EXPECT_EQ(iteration->GetValue(9), 0u);

    const auto date = Only<CPptDateTimeMCAtom>(Atom(kRecordDateTimeMCAtom, U32s({12})));
    EXPECT_EQ(date->GetPosition(), 12u);
    EXPECT_EQ(date->GetIndex(), 0u);
}

TEST(Atoms, ClientAnchorOfEightOrSixteenBytes) {
    // Eight bytes: top, left, right, bottom as signed 16-bit values.
    const auto small = Only<CPptEscherClientAnchorAtom>(Atom(kRecordEscherClientAnchor, U16s({10, 0xFFF6, 300, 400})));
    EXPECT_EQ(small->GetTop(), 10);
    EXPECT_EQ(small->GetLeft(), -10);
    EXPECT_EQ(small->GetRight(), 300);
    EXPECT_EQ(small->GetBottom(), 400);
    // Sixteen bytes: the same four as 32-bit values.
    const auto large =
        Only<CPptEscherClientAnchorAtom>(Atom(kRecordEscherClientAnchor, U32s({100000, 0xFFFFFF00, 200000, 300000})));
    EXPECT_EQ(large->GetTop(), 100000);
    EXPECT_EQ(large->GetLeft(), -256);
    EXPECT_EQ(large->GetRight(), 200000);
    EXPECT_EQ(large->GetBottom(), 300000);
}

TEST(Atoms, ShapePropertyTable) {
    // Instance 3 and 18 bytes: three pairs; the id word 0x4004 keeps id 4.
    const auto opt = Only<CPptEscherOPTAtom>(
        Atom(kRecordEscherOPT,
             Cat({U16s({0x4004}), U32s({7}), U16s({0x0089}), U32s({1}), U16s({0x0147}), U32s({5400})}), 3));
    ASSERT_EQ(opt->GetProperties().size(), 3u);
    EXPECT_EQ(opt->GetProperties()[0].first, 4u);
    uint32_t value = 0;
    EXPECT_TRUE(opt->GetProperty(4, value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(opt->GetProperty(0x147, value));
    EXPECT_EQ(value, 5400u);
    EXPECT_FALSE(opt->GetProperty(0x88, value));  // between two stored ids
    EXPECT_FALSE(opt->GetProperty(0x200, value));

    // An instance larger than the data holds: only whole pairs are read; the complex data after
    // the table is not.
    const auto clipped = Only<CPptEscherOPTAtom>(Atom(kRecordEscherOPT, Cat({U16s({1}), U32s({2}), U16s({3, 4})}), 10));
    EXPECT_EQ(clipped->GetProperties().size(), 1u);
}

TEST(Atoms, AttributeValues) {
    const auto text =
        Only<CPptAnimAttributeValueAtom>(Atom(kRecordAnimAttributeValueAtom, Cat({{3}, Utf16(u"ppt_x")})));
    EXPECT_EQ(text->GetLength(), 11u);
    EXPECT_EQ(text->GetString(), L"ppt_x");
    EXPECT_EQ(Only<CPptAnimAttributeValueAtom>(Atom(kRecordAnimAttributeValueAtom, {1, 5, 0, 0, 0}))->GetInteger(), 5);
    EXPECT_EQ(Only<CPptAnimAttributeValueAtom>(Atom(kRecordAnimAttributeValueAtom, {1, 0xFF, 0xFF, 0xFF, 0xFF}))
                  ->GetInteger(),
              -1);
    EXPECT_TRUE(Only<CPptAnimAttributeValueAtom>(Atom(kRecordAnimAttributeValueAtom, {0, 1}))->GetBool());
    EXPECT_FLOAT_EQ(
        Only<CPptAnimAttributeValueAtom>(Atom(kRecordAnimAttributeValueAtom, {2, 0, 0, 0xC0, 0x3F}))->GetFloat(), 1.5f);
    const auto unknown = Only<CPptAnimAttributeValueAtom>(Atom(kRecordAnimAttributeValueAtom, {9, 1, 2, 3, 4}));
    EXPECT_EQ(unknown->GetValueType(), 9u);
    EXPECT_EQ(unknown->GetInteger(), 0);
    EXPECT_TRUE(unknown->GetString().empty());
}

TEST(Atoms, TextAtoms) {
    // A face name filling all 32 units without a zero is 32 characters; the fields after it stay put.
    Bytes face;
    for (int i = 0; i < 32; ++i) Append16(face, 'A' + i % 26);
    face.insert(face.end(), {1, 2, 3, 4});
    const auto font = Only<CPptFontEntityAtom>(Atom(kRecordFontEntityAtom, face));
    EXPECT_EQ(font->GetFaceName().size(), 32u);
    EXPECT_EQ(font->GetCharSet(), 1);
    EXPECT_EQ(font->GetPitchAndFamily(), 4);
    EXPECT_EQ(
        Only<CPptFontEntityAtom>(Atom(kRecordFontEntityAtom, Cat({Utf16(u"Arial"), U16s({0, 'X'})})))->GetFaceName(),
        L"Arial");

    const auto empty = Only<CPptByteStringAtom>(Atom(kRecordTextBytesAtom, {}));
    EXPECT_EQ(empty->GetLength(), 0u);
    EXPECT_TRUE(empty->GetText().empty());
    EXPECT_TRUE(empty->GetAnsiText().empty());

    // 8-bit text is Latin-1: every byte is its own character, 0x80-0x9F included.
    const auto bytes = Only<CPptByteStringAtom>(Atom(kRecordTextBytesAtom, {'c', 'a', 'f', 0xE9, 0x80, 0x0D}));
    EXPECT_EQ(bytes->GetText(), std::wstring(L"caf\u00e9\u0080\r"));
    EXPECT_EQ(bytes->GetAnsiText(), std::string("caf\xE9\x80\r"));

    // UTF-16 text: an odd last byte is ignored; units are kept one for one.
    const auto chars = Only<CPptStringAtom>(Atom(kRecordTextCharsAtom, Cat({Utf16(u"\u20ACx\U0001F600"), {0x41}})));
    EXPECT_EQ(chars->GetLength(), 4u);
    EXPECT_EQ(chars->GetText()[0], L'\u20AC');
    EXPECT_EQ(chars->GetAnsiText(), std::string("\x80x??"));

    const auto sound = Only<CPptSoundDataAtom>(Atom(kRecordSoundData, {1, 2, 3}));
    EXPECT_EQ(sound->GetData(), (Bytes{1, 2, 3}));
}

TEST(Containers, SoundContainer) {
    auto sound = [](const std::u16string& id, bool withData) {
        Bytes children = Cat({Atom(kRecordCString, Utf16(u"chime"), 0), Atom(kRecordCString, Utf16(id), 2)});
        if (withData) children = Cat({children, Atom(kRecordSoundData, {7, 8})});
        return std::dynamic_pointer_cast<CPptSoundContainer>(Tree(Record(0xF, 0, kRecordSound, children))->GetChild(0));
    };
    const struct {
        std::u16string text;
        long id;
    } ids[] = {{u"0x1F", 31}, {u"#10", 16}, {u"12", 12}, {u"0x", 0}, {u"#", 0}, {u"12ab", 12}, {u"", 0}};
    for (const auto& c : ids) {
        const auto container = sound(c.text, true);
        ASSERT_TRUE(container);
        EXPECT_EQ(container->GetId(), c.id) << std::string(c.text.begin(), c.text.end());
    }
    const auto full = sound(u"1", true);
    EXPECT_EQ(full->GetName(), L"chime");
    EXPECT_EQ(full->GetSoundData(), (Bytes{7, 8}));

    const std::string noData = bctest::WhatOf<CPptParserException>([&] { sound(u"1", false)->GetSoundData(); });
    EXPECT_TRUE(
        Contains(noData, "Error: no SoundData records found in file libpptparser/src/PptSoundContainer.cpp at line "))
        << noData;
    const auto bare = std::dynamic_pointer_cast<CPptSoundContainer>(Tree(Container(kRecordSound, {}))->GetChild(0));
    EXPECT_TRUE(
        Contains(bctest::WhatOf<CPptParserException>([&] { bare->GetName(); }), "Error: no String records found"));
    EXPECT_TRUE(
        Contains(bctest::WhatOf<CPptParserException>([&] { bare->GetId(); }), "Error: no String records found"));
}

TEST(Containers, RootAnimGroupChecksTheNodeAtom) {
    const Bytes node0 = Atom(kRecordAnimNodeAtom, U32s({0, 0, 0, 0, 0}));
    const Bytes node1 = Atom(kRecordAnimNodeAtom, U32s({0, 1, 0, 0, 0}));
    const auto group = std::dynamic_pointer_cast<CPptAnimGroupContainer>(
        Tree(Container(kRecordAnimGroup,
                       {
                           Container(kRecordAnimGroup, {}),                               // no child at all
                           Container(kRecordAnimGroup, {Atom(0xF128, U32s({0, 0}))}),     // first child of another type
                           Container(kRecordAnimGroup, {Atom(kRecordAnimNodeAtom, {})}),  // a short node atom reads 0
                           Container(kRecordAnimGroup, {node1}),
                           Container(kRecordAnimGroup, {node0}),
                       }))
            ->GetChild(0));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->FindRootAnimGroup(), group->GetChild(2));

    const auto none = std::dynamic_pointer_cast<CPptAnimGroupContainer>(
        Tree(Container(kRecordAnimGroup, {Container(kRecordAnimGroup, {node1}), node0}))->GetChild(0));
    EXPECT_EQ(none->FindRootAnimGroup(), nullptr);
}

TEST(Strings, Helpers) {
    EXPECT_EQ(ParseInteger(L"0x1A"), 26);
    EXPECT_EQ(ParseInteger(L"#1A"), 26);
    EXPECT_EQ(ParseInteger(L"0x"), 0);
    EXPECT_EQ(ParseInteger(L"-12"), -12);
    EXPECT_EQ(IntegerToWide(-45), L"-45");
    EXPECT_EQ(MakeXmlSafe("a<b\"&>\n\x80z"), "a?b?????z");
    EXPECT_EQ(AnsiToWide("\x80\xE9", 0), L"\u20AC\u00E9");
    EXPECT_EQ(AnsiToWide("\x80", 28591), L"\u0080");
    EXPECT_EQ(AnsiToWide("x", 932), L"");
    EXPECT_EQ(WideToAnsi(L"\u20AC\u00E9\u4E2D", 0), "\x80\xE9?");
    EXPECT_EQ(WideToAnsi(L"", 0), "");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(L"a\u00E9\u4E2D\U0001F600")), L"a\u00E9\u4E2D\U0001F600");
}

// The stream parser over whole files: what it refuses and how it says so.
TEST(StreamParser, OpeningAndRefusals) {
    const Bytes document = Container(kRecordDocument, {Atom(1001, U32s({1, 2}))});
    Bytes currentUser = Cat({U16s({0, kRecordCurrentUserAtom}), U32s({20, 20, 0xE391C05F, 0, 0})});
    Bytes encryptedUser = currentUser;
    testcfb::PutU32(encryptedUser, 12, 0xF3D1C4DF);

    struct Case {
        const char* what;
        std::vector<testcfb::Stream> streams;
        const char* message;  // empty: parses
    };
    const std::vector<Case> cases = {
        {"plain", {{"PowerPoint Document", document}, {"Current User", currentUser}}, ""},
        {"no current user", {{"PowerPoint Document", document}}, ""},
        {"no document stream", {{"Current User", currentUser}}, "No \"PowerPoint Document\" stream"},
        {"encrypted user record", {{"PowerPoint Document", document}, {"Current User", encryptedUser}}, "is encrypted"},
        {"encrypted summary", {{"PowerPoint Document", document}, {"EncryptedSummary", {1}}}, "is encrypted"},
        {"encrypted package", {{"EncryptionInfo", {1}}, {"EncryptedPackage", {1}}}, "is encrypted"},
        {"PowerPoint 4.0", {{"PP40", {1, 2, 3}}}, "PowerPoint 4.0 presentation"},
        {"PowerPoint 95",
         {{"PowerPoint Document", document}, {"Header", {1}}, {"Current User", {3, 0, 0, 0, 'a', 'b', 'c'}}},
         "PowerPoint 95 presentation"},
    };
    for (const Case& c : cases) {
        CStreamParser parser(testcfb::WriteTemp(testcfb::Build(c.streams), "refusal.ppt"));
        const std::string message = bctest::WhatOf<CPptParserException>([&] { parser.Parse(); });
        if (*c.message == 0) {
            EXPECT_EQ(message, "(no exception)") << c.what;
            ASSERT_TRUE(parser.GetRoot()) << c.what;
            EXPECT_TRUE(parser.GetRoot()->FindChildContainer(kRecordDocument)) << c.what;
        } else {
            EXPECT_TRUE(Contains(message, c.message)) << c.what << ": " << message;
            EXPECT_FALSE(parser.GetRoot()) << c.what;
        }
    }

    EXPECT_EQ(bctest::WhatOf<CPptParserException>([] { CStreamParser("/nonexistent/x.ppt").Parse(); }),
              "Failed to open file");
    const std::string notCfb = bctest::WhatOf<CPptParserException>([] {
        CStreamParser(testcfb::WriteTemp({'P', 'K', 3, 4}, "zip.ppt")).Parse();
    });
    EXPECT_TRUE(Contains(notCfb, "Failed to open file: it is not a PowerPoint 97-2003 presentation")) << notCfb;

    Bytes damaged = testcfb::Build({{"PowerPoint Document", document}});
    testcfb::PutU16(damaged, 30, 31);
    const std::string shift =
        bctest::WhatOf<CPptParserException>([&] { CStreamParser(testcfb::WriteTemp(damaged, "shift.ppt")).Parse(); });
    EXPECT_TRUE(Contains(shift, "damaged (the block size shift 31 is not 9 or 12)")) << shift;

    // A document stream whose chain ends before its recorded size is refused, not read in part.
    testcfb::Layout layout;
    Bytes longDocument = Cat({document, Bytes(6000)});
    Bytes cut = testcfb::Build({{"Pictures", Bytes(9000)}, {"PowerPoint Document", longDocument}}, 9, &layout);
    cut.resize(layout.BlockOffset(layout.streamStarts[1]) + 1024);
    const std::string truncated =
        bctest::WhatOf<CPptParserException>([&] { CStreamParser(testcfb::WriteTemp(cut, "cut.ppt")).Parse(); });
    EXPECT_TRUE(Contains(truncated, "stream is truncated: 1024 of its")) << truncated;
}
