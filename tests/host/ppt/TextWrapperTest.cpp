// Text frame, text range and the format wrappers over the in-memory host: every value read once,
// a failed read asked again, the failure texts, sub-ranges kept per (start, length), 0-based
// positions, and every reference given back.

#include "TextDeck.h"
#include "genswf/ppt/PptBulletFormat.h"
#include "genswf/ppt/PptFont.h"
#include "genswf/ppt/PptParagraphFormat.h"
#include "genswf/ppt/PptRuler.h"
#include "genswf/ppt/PptTextFrame.h"
#include "genswf/ppt/PptTextRange.h"

#include <cmath>
#include <utility>
#include <vector>

using namespace genswf;
using namespace wrapperstest;

namespace {

// The deck with its frame wrapped, and the frame's whole text wrapped when first asked.
struct Wrapped {
    TextDeck deck;
    std::shared_ptr<CPptTextFrame> frame = CreatePptTextFrame(deck.frame);
    std::shared_ptr<CPptTextRange> text;
    std::shared_ptr<CPptTextRange> Text() {
        if (!text) {
            PowerPoint::TextRange* range = frame->GetTextRange();
            text = CreatePptTextRange(range);
            range->Release();
        }
        return text;
    }
    std::shared_ptr<CPptBulletFormat> Bullet() { return Text()->GetParagraphFormat()->GetBullet(); }
    std::shared_ptr<CPptRulerLevels> Levels() { return frame->GetRuler()->GetLevels(); }
};

struct ReadCase {
    const char* member;  // the host member the read calls
    std::function<void(Wrapped&)> read;
    const char* file;
    int line;
};

template <class T>
void Release(T* p) {
    if (p) p->Release();
}

std::vector<ReadCase> ReadCases() {
    return {
        {"TextFrame.get_Parent", [](Wrapped& w) { Release(w.frame->GetParentShape()); }, "PptTextFrame.cpp", 58},
        {"TextFrame.get_Orientation", [](Wrapped& w) { w.frame->GetOrientation(); }, "PptTextFrame.cpp", 50},
        {"TextFrame.get_HasText", [](Wrapped& w) { w.frame->GetHasText(); }, "PptTextFrame.cpp", 39},
        {"TextFrame.get_TextRange", [](Wrapped& w) { w.Text(); }, "PptTextFrame.cpp", 45},
        {"TextFrame.get_Ruler", [](Wrapped& w) { w.frame->GetRuler(); }, "PptTextFrame.cpp", 66},
        {"TextRange.get_Count", [](Wrapped& w) { w.Text()->GetCount(); }, "PptTextRange.cpp", 132},
        {"TextRange.get_Parent", [](Wrapped& w) { Release(w.Text()->GetParentTextFrame()); }, "PptTextRange.cpp", 145},
        {"TextRange.get_Start", [](Wrapped& w) { w.Text()->GetStart(); }, "PptTextRange.cpp", 118},
        {"TextRange.get_Length", [](Wrapped& w) { w.Text()->GetLength(); }, "PptTextRange.cpp", 127},
        {"TextRange.get_BoundLeft", [](Wrapped& w) { w.Text()->GetBoundLeft(); }, "PptTextRange.cpp", 154},
        {"TextRange.get_BoundTop", [](Wrapped& w) { w.Text()->GetBoundTop(); }, "PptTextRange.cpp", 159},
        {"TextRange.get_BoundWidth", [](Wrapped& w) { w.Text()->GetBoundWidth(); }, "PptTextRange.cpp", 164},
        {"TextRange.get_BoundHeight", [](Wrapped& w) { w.Text()->GetBoundHeight(); }, "PptTextRange.cpp", 169},
        {"TextRange.Paragraphs", [](Wrapped& w) { w.Text()->Paragraphs(1, 1); }, "PptTextRange.cpp", 85},
        {"TextRange.Words", [](Wrapped& w) { w.Text()->Words(0, 2); }, "PptTextRange.cpp", 106},
        {"TextRange.Characters", [](Wrapped& w) { w.Text()->Characters(0, 1); }, "PptTextRange.cpp", 63},
        {"TextRange.Lines", [](Wrapped& w) { w.Text()->Lines(-1, -1); }, "PptTextRange.cpp", 101},
        {"TextRange.Runs", [](Wrapped& w) { w.Text()->Runs(-1, -1); }, "PptTextRange.cpp", 111},
        {"TextRange.get_Text", [](Wrapped& w) { w.Text()->GetText(); }, "PptTextRange.cpp", 56},
        {"TextRange.get_Font", [](Wrapped& w) { w.Text()->GetFont(); }, "PptTextRange.cpp", 137},
        {"TextRange.get_ParagraphFormat", [](Wrapped& w) { w.Text()->GetParagraphFormat(); }, "PptTextRange.cpp", 174},
        {"TextRange.get_IndentLevel", [](Wrapped& w) { w.Text()->GetIndentLevel(); }, "PptTextRange.cpp", 179},
        {"Ruler.get_Levels", [](Wrapped& w) { w.Levels(); }, "PptRuler.cpp", 66},
        {"RulerLevels.get_Count", [](Wrapped& w) { w.Levels()->GetCount(); }, "PptRuler.cpp", 104},
        {"RulerLevels.Item", [](Wrapped& w) { w.Levels()->GetItem(4); }, "PptRuler.cpp", 89},
        {"RulerLevel.get_FirstMargin", [](Wrapped& w) { w.Levels()->GetItem(0)->GetFirstMargin(); }, "PptRuler.cpp",
         138},
        {"RulerLevel.get_LeftMargin", [](Wrapped& w) { w.Levels()->GetItem(0)->GetLeftMargin(); }, "PptRuler.cpp", 133},
        {"ParagraphFormat.get_BaseLineAlignment",
         [](Wrapped& w) { w.Text()->GetParagraphFormat()->GetBaseLineAlignment(); }, "PptParagraphFormat.cpp", 39},
        {"ParagraphFormat.get_Bullet", [](Wrapped& w) { w.Bullet(); }, "PptParagraphFormat.cpp", 44},
        {"BulletFormat.get_Visible", [](Wrapped& w) { w.Bullet()->GetVisible(); }, "PptBulletFormat.cpp", 48},
        {"BulletFormat.get_Character",
         [](Wrapped& w) {
             w.deck.shape->data.text.paragraphs[0].bullet.type = ppBulletUnnumbered;
             w.Bullet()->GetCharacter();
         },
         "PptBulletFormat.cpp", 77},
        {"BulletFormat.get_UseTextColor", [](Wrapped& w) { w.Bullet()->GetUseTextColor(); }, "PptBulletFormat.cpp", 53},
        {"BulletFormat.get_UseTextFont", [](Wrapped& w) { w.Bullet()->GetUseTextFont(); }, "PptBulletFormat.cpp", 58},
        {"BulletFormat.get_Font", [](Wrapped& w) { w.Bullet()->GetFont(); }, "PptBulletFormat.cpp", 63},
        {"BulletFormat.get_Type", [](Wrapped& w) { w.Bullet()->GetType(); }, "PptBulletFormat.cpp", 68},
        {"BulletFormat.get_Style", [](Wrapped& w) { w.Bullet()->GetStyle(); }, "PptBulletFormat.cpp", 226},
        {"BulletFormat.get_Number", [](Wrapped& w) { w.Bullet()->GetNumber(); }, "PptBulletFormat.cpp", 218},
        // The bullet text asks what it is made of and fails with the part that failed.
        {"BulletFormat.get_Number", [](Wrapped& w) { w.Bullet()->GetBulletText(); }, "PptBulletFormat.cpp", 218},
        {"BulletFormat.get_Style", [](Wrapped& w) { w.Bullet()->GetBulletText(); }, "PptBulletFormat.cpp", 226},
        {"BulletFormat.get_Type", [](Wrapped& w) { w.Bullet()->GetBulletText(); }, "PptBulletFormat.cpp", 68},
    };
}

TEST(TextWrappers, EachValueIsReadOnceAndAFailureIsRetried) {
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.member);
        Wrapped w;
        // The first call fails with the operation's own place; nothing is kept, so the next asks
        // again, and after one good read nothing more is asked.
        w.deck.doc->Fail(c.member, E_FAIL, nullptr, 1);
        EXPECT_EQ(PptMessage(c.file, c.line), bctest::PptFailureOf([&] { c.read(w); }));
        const int afterFailure = w.deck.doc->Calls(c.member);
        EXPECT_NO_THROW(c.read(w));
        EXPECT_EQ(afterFailure + 1, w.deck.doc->Calls(c.member));
        EXPECT_NO_THROW(c.read(w));
        EXPECT_EQ(afterFailure + 1, w.deck.doc->Calls(c.member)) << "kept after the first good read";
    }
}

TEST(TextWrappers, ValuesOfTheFrameAndItsText) {
    Wrapped w;
    w.deck.shape->data.text.orientation = msoTextOrientationVerticalFarEast;
    EXPECT_EQ(msoTrue, w.frame->GetHasText());
    EXPECT_EQ(msoTextOrientationVerticalFarEast, w.frame->GetOrientation());
    PowerPoint::Shape* parent = w.frame->GetParentShape();
    ASSERT_NE(nullptr, parent);
    EXPECT_EQ(w.deck.shape->Interface().Get(), parent);
    parent->Release();

    auto text = w.Text();
    EXPECT_EQ(L"One two three\rFour.", text->GetText());
    EXPECT_EQ(0, text->GetStart());
    EXPECT_EQ(19, text->GetLength());
    EXPECT_EQ(1, text->GetIndentLevel());
    PowerPoint::TextFrame* frame = text->GetParentTextFrame();
    EXPECT_EQ(w.deck.frame.Get(), frame);
    frame->Release();
    const float bounds[] = {text->GetBoundLeft(), text->GetBoundTop(), text->GetBoundWidth(), text->GetBoundHeight()};
    for (float b : bounds) EXPECT_TRUE(std::isfinite(b));
    EXPECT_GT(bounds[2], 0.0f);
    EXPECT_GT(bounds[3], 0.0f);

    // The second paragraph starts at the application's position 15, which is 14 here; its own
    // indent level is kept as the application counts it.
    auto second = text->Paragraphs(1, 1);
    EXPECT_EQ(14, second->GetStart());
    EXPECT_EQ(L"Four.", second->GetText());
    EXPECT_EQ(2, second->GetIndentLevel());

    // Values are what was read first, even after the text changes.
    w.deck.shape->data.text.text = L"Other";
    w.deck.shape->data.text.Normalize();
    EXPECT_EQ(L"One two three\rFour.", text->GetText());
    EXPECT_EQ(19, text->GetLength());

    // An empty frame has an empty text.
    Wrapped empty;
    empty.deck.shape->data.text = TextData();
    EXPECT_EQ(msoFalse, empty.frame->GetHasText());
    EXPECT_EQ(L"", empty.Text()->GetText());
}

struct SubRangeCase {
    const char* name;
    std::function<std::shared_ptr<CPptTextRange>(CPptTextRange&, LONG, LONG)> sub;
    const char* member;
    LONG start, length;  // as the caller passes them, 0-based
    std::wstring text;
    LONG rangeStart;  // 0-based
    LONG count;
};

TEST(TextWrappers, SubRangesCountFromZeroAndAreKeptPerStartAndLength) {
    const auto paragraphs = [](CPptTextRange& r, LONG s, LONG l) { return r.Paragraphs(s, l); };
    const auto words = [](CPptTextRange& r, LONG s, LONG l) { return r.Words(s, l); };
    const auto characters = [](CPptTextRange& r, LONG s, LONG l) { return r.Characters(s, l); };
    const auto lines = [](CPptTextRange& r, LONG s, LONG l) { return r.Lines(s, l); };
    const auto runs = [](CPptTextRange& r, LONG s, LONG l) { return r.Runs(s, l); };
    const SubRangeCase cases[] = {
        {"all paragraphs", paragraphs, "TextRange.Paragraphs", -1, -1, L"One two three\rFour.", 0, 2},
        {"all words", words, "TextRange.Words", -1, -1, L"One two three\rFour.", 0, 4},
        {"all runs", runs, "TextRange.Runs", -1, -1, L"One two three\rFour.", 0, 3},
        {"all lines", lines, "TextRange.Lines", -1, -1, L"One two three\rFour.", 0, 2},
        {"first character", characters, "TextRange.Characters", 0, 1, L"O", 0, 1},
        {"two characters", characters, "TextRange.Characters", 0, 2, L"On", 0, 2},
        {"second word", words, "TextRange.Words", 1, 1, L"two ", 4, 1},
        {"the bold run", runs, "TextRange.Runs", 1, 1, L" three\r", 7, 1},
        {"second line", lines, "TextRange.Lines", 1, 1, L"Four.", 14, 1},
        {"second paragraph", paragraphs, "TextRange.Paragraphs", 1, 1, L"Four.", 14, 1},
    };
    for (const SubRangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Wrapped w;
        auto text = w.Text();
        auto sub = c.sub(*text, c.start, c.length);
        ASSERT_NE(nullptr, sub);
        EXPECT_EQ(c.text, sub->GetText());
        EXPECT_EQ(c.rangeStart, sub->GetStart());
        EXPECT_EQ(c.count, sub->GetCount());
        EXPECT_EQ(1, w.deck.doc->Calls(c.member));
        EXPECT_EQ(sub, c.sub(*text, c.start, c.length)) << "the same pair gives the same wrapper";
        EXPECT_EQ(1, w.deck.doc->Calls(c.member)) << "and asks nothing";
        // Item i of a whole collection is asked for as (i, 1) on it: the last item ends the text.
        if (c.start == -1) {
            auto last = c.sub(*sub, c.count - 1, 1);
            EXPECT_EQ(19, last->GetStart() + last->GetLength());
        }
    }

    Wrapped w;
    auto text = w.Text();
    // Each kind keeps its own sub-ranges; pairs differ by length as well as by start.
    auto firstWord = text->Words(0, 1);
    auto firstLine = text->Lines(0, 1);
    EXPECT_NE(static_cast<void*>(firstWord.get()), static_cast<void*>(firstLine.get()));
    EXPECT_EQ(L"One ", firstWord->GetText());
    EXPECT_EQ(L"One two three\r", firstLine->GetText());
    EXPECT_NE(text->Characters(0, 1), text->Characters(0, 2));
    EXPECT_EQ(2, w.deck.doc->Calls("TextRange.Characters"));

    // A failing sub-range keeps nothing; the next call asks again.
    w.deck.doc->Fail("TextRange.Runs", E_INVALIDARG, nullptr, 1);
    EXPECT_EQ(PptMessage("PptTextRange.cpp", 111), bctest::PptFailureOf([&] { text->Runs(0, 1); }));
    auto run = text->Runs(0, 1);
    EXPECT_EQ(L"One two", run->GetText());
    EXPECT_EQ(2, w.deck.doc->Calls("TextRange.Runs"));

    // Sub-ranges outlive the range that made them.
    auto character = text->Characters(4, 1);
    w.text.reset();
    text.reset();
    EXPECT_EQ(L"t", character->GetText());
    EXPECT_EQ(4, character->GetStart());
}

TEST(TextWrappers, SubRangesAskedInAnyOrderAreEachMadeOnce) {
    Wrapped w;
    auto text = w.Text();
    // The four words asked out of order, then again in order: each (start, length) is asked of
    // the application once and gives the same wrapper afterwards.
    std::vector<std::shared_ptr<CPptTextRange>> words(4);
    for (LONG i : {3, 1, 2, 0}) words[static_cast<std::size_t>(i)] = text->Words(i, 1);
    for (LONG i = 0; i < 4; ++i) EXPECT_EQ(words[static_cast<std::size_t>(i)], text->Words(i, 1)) << i;
    EXPECT_EQ(4, w.deck.doc->Calls("TextRange.Words"));
    EXPECT_EQ(L"One ", words[0]->GetText());
    EXPECT_EQ(L"two ", words[1]->GetText());
    EXPECT_EQ(L"three\r", words[2]->GetText());
    EXPECT_EQ(L"Four.", words[3]->GetText());

    // The same start with another length is another sub-range, before and after the first.
    auto pair = text->Words(1, 2);
    EXPECT_NE(words[1], pair);
    EXPECT_EQ(L"two three\r", pair->GetText());
    auto all = text->Words(0, 4);
    EXPECT_EQ(pair, text->Words(1, 2));
    EXPECT_EQ(words[0], text->Words(0, 1));
    EXPECT_EQ(L"One two three\rFour.", all->GetText());
    EXPECT_EQ(6, w.deck.doc->Calls("TextRange.Words"));
}

TEST(TextWrappers, ChildrenAreMadeOnceAndShared) {
    Wrapped w;
    auto text = w.Text();
    EXPECT_EQ(text->GetFont(), text->GetFont());
    EXPECT_EQ(text->GetParagraphFormat(), text->GetParagraphFormat());
    EXPECT_EQ(text->GetParagraphFormat()->GetBullet(), text->GetParagraphFormat()->GetBullet());
    EXPECT_EQ(w.Bullet()->GetFont(), w.Bullet()->GetFont());
    EXPECT_EQ(w.frame->GetRuler(), w.frame->GetRuler());
    EXPECT_EQ(w.Levels(), w.Levels());
    EXPECT_EQ(w.Levels()->GetItem(1), w.Levels()->GetItem(1));
    EXPECT_EQ(1, w.deck.doc->Calls("TextRange.get_Font"));
    EXPECT_EQ(1, w.deck.doc->Calls("TextRange.get_ParagraphFormat"));
    EXPECT_EQ(1, w.deck.doc->Calls("ParagraphFormat.get_Bullet"));
    EXPECT_EQ(1, w.deck.doc->Calls("BulletFormat.get_Font"));
    EXPECT_EQ(1, w.deck.doc->Calls("TextFrame.get_Ruler"));
    EXPECT_EQ(1, w.deck.doc->Calls("Ruler.get_Levels"));
    EXPECT_EQ(1, w.deck.doc->Calls("RulerLevels.Item"));
    // Each font snapshot (the text's, the bullet's) is read whole once, whoever asks for it.
    EXPECT_EQ(1, w.deck.doc->Calls("Font.get_Name", &w.deck.shape->data.text));
    EXPECT_EQ(2, w.deck.doc->Calls("Font.get_Name"));
}

TEST(TextWrappers, SetAutoSizeWritesEveryTime) {
    Wrapped w;
    w.deck.shape->data.text.autoSize = ppAutoSizeShapeToFitText;
    w.frame->SetAutoSize(ppAutoSizeNone);
    EXPECT_EQ(ppAutoSizeNone, w.deck.shape->data.text.autoSize);
    w.deck.shape->data.text.autoSize = ppAutoSizeShapeToFitText;
    w.frame->SetAutoSize(ppAutoSizeNone);
    EXPECT_EQ(ppAutoSizeNone, w.deck.shape->data.text.autoSize);
    EXPECT_EQ(2, w.deck.doc->Calls("TextFrame.put_AutoSize"));
    // A value the application refuses is a failure of the write.
    EXPECT_EQ(PptMessage("PptTextFrame.cpp", 85), bctest::PptFailureOf([&] { w.frame->SetAutoSize(7); }));
}

TEST(TextWrappers, EveryReferenceIsGivenBack) {
    Wrapped w;
    const ULONG before = w.deck.References();
    {
        auto frame = CreatePptTextFrame(w.deck.frame);
        PowerPoint::TextRange* range = frame->GetTextRange();
        auto text = CreatePptTextRange(range);
        range->Release();
        Release(frame->GetParentShape());
        frame->GetRuler()->GetLevels()->GetItem(3)->GetLeftMargin();
        text->GetFont()->GetBaselineOffset();
        Release(text->GetParentTextFrame());
        auto bullet = text->GetParagraphFormat()->GetBullet();
        bullet->GetBulletText();
        bullet->GetFont();
        text->Paragraphs(-1, -1)->Paragraphs(1, 1)->Words(0, 1)->Characters(0, 1)->GetFont();
        text->Lines(0, 1)->Runs(-1, -1)->GetParagraphFormat()->GetBullet();
        EXPECT_GT(w.deck.References(), before);
    }
    EXPECT_EQ(before, w.deck.References());
}

TEST(TextWrappers, AWrapperOverNothingFailsEachCallInItsPlace) {
    auto frame = CreatePptTextFrame(nullptr);
    auto range = CreatePptTextRange(nullptr);
    ASSERT_NE(nullptr, frame);
    ASSERT_NE(nullptr, range);
    EXPECT_EQ(PptMessage("PptTextFrame.cpp", 45), bctest::PptFailureOf([&] { frame->GetTextRange(); }));
    EXPECT_EQ(PptMessage("PptTextFrame.cpp", 85), bctest::PptFailureOf([&] { frame->SetAutoSize(0); }));
    EXPECT_EQ(PptMessage("PptTextRange.cpp", 118), bctest::PptFailureOf([&] { range->GetStart(); }));
    EXPECT_EQ(PptMessage("PptTextRange.cpp", 63), bctest::PptFailureOf([&] { range->Characters(0, 1); }));
    EXPECT_EQ(PptMessage("PptRuler.cpp", 104),
              bctest::PptFailureOf([&] { CreatePptRulerLevels(nullptr)->GetItem(0); }));
    EXPECT_EQ(PptMessage("PptBulletFormat.cpp", 68),
              bctest::PptFailureOf([&] { CreatePptBulletFormat(nullptr)->GetBulletText(); }));
    // A font over nothing is an empty snapshot.
    auto font = CPptFont::Create(nullptr);
    EXPECT_EQ(L"", font->GetName());
    EXPECT_EQ(0.0f, font->GetBaselineOffset());
}

// A range that stands where the host cannot: its parent is no text frame, its text comes as a
// null string, and it tells what its runs and characters were asked with.
class CLoneRange : public PowerPoint::TextRange {
public:
    int parentCalls = 0;
    std::vector<std::pair<LONG, LONG>> subCalls;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, UuidOf<PowerPoint::TextRange>())) return E_NOINTERFACE;
        *ppv = static_cast<PowerPoint::TextRange*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override { return --m_refs; }
    ULONG Refs() const { return m_refs; }
    HRESULT get_Parent(PowerPoint::IDispatch** out) override {
        ++parentCalls;
        AddRef();  // a range, not a frame
        *out = this;
        return S_OK;
    }
    HRESULT get_Text(BSTR* out) override {
        *out = nullptr;
        return S_OK;
    }
    HRESULT get_Start(LONG* out) override {
        *out = 25;
        return S_OK;
    }
    HRESULT Characters(LONG start, LONG length, PowerPoint::TextRange** out) override {
        return Sub(start, length, out);
    }
    HRESULT Runs(LONG start, LONG length, PowerPoint::TextRange** out) override { return Sub(start, length, out); }
#define LONE_NOT_HERE(name, ...) \
    HRESULT name(__VA_ARGS__) override { return E_NOTIMPL; }
    LONE_NOT_HERE(get_Count, LONG*)
    LONE_NOT_HERE(get_Application, PowerPoint::_Application**)
    LONE_NOT_HERE(get_ActionSettings, PowerPoint::ActionSettings**)
    LONE_NOT_HERE(get_Length, LONG*)
    LONE_NOT_HERE(get_BoundLeft, float*)
    LONE_NOT_HERE(get_BoundTop, float*)
    LONE_NOT_HERE(get_BoundWidth, float*)
    LONE_NOT_HERE(get_BoundHeight, float*)
    LONE_NOT_HERE(Paragraphs, LONG, LONG, PowerPoint::TextRange**)
    LONE_NOT_HERE(Sentences, LONG, LONG, PowerPoint::TextRange**)
    LONE_NOT_HERE(Words, LONG, LONG, PowerPoint::TextRange**)
    LONE_NOT_HERE(Lines, LONG, LONG, PowerPoint::TextRange**)
    LONE_NOT_HERE(put_Text, BSTR)
    LONE_NOT_HERE(get_Font, PowerPoint::Font**)
    LONE_NOT_HERE(get_ParagraphFormat, PowerPoint::ParagraphFormat**)
    LONE_NOT_HERE(get_IndentLevel, LONG*)
    LONE_NOT_HERE(put_IndentLevel, LONG)
    LONE_NOT_HERE(Delete)
#undef LONE_NOT_HERE

private:
    HRESULT Sub(LONG start, LONG length, PowerPoint::TextRange** out) {
        subCalls.emplace_back(start, length);
        AddRef();
        *out = this;
        return S_OK;
    }
    ULONG m_refs = 1;
};

TEST(TextWrappers, AParentThatIsNoFrameAndANullText) {
    CLoneRange lone;
    {
        auto range = CreatePptTextRange(&lone);
        EXPECT_EQ(nullptr, range->GetParentTextFrame());
        EXPECT_EQ(nullptr, range->GetParentTextFrame());
        EXPECT_EQ(2, lone.parentCalls) << "a parent that is no frame is asked again";
        EXPECT_EQ(L"", range->GetText());
        EXPECT_EQ(24, range->GetStart());
        EXPECT_EQ(PptMessage("PptTextRange.cpp", 101), bctest::PptFailureOf([&] { range->Lines(0, 1); }));

        // Positions go out 1-based, lengths as they are; each pair is asked once.
        auto runs = range->Runs(-1, -1);
        EXPECT_EQ(runs, range->Runs(-1, -1));
        range->Characters(0, 1);
        range->Characters(0, 1);
        range->Characters(0, 2);
        range->Characters(6, -1);
        range->Characters(2147483647, 1);  // no overflow: a position the application refuses
        const std::vector<std::pair<LONG, LONG>> expected = {{0, -1}, {1, 1}, {1, 2}, {7, -1}, {-2147483647 - 1, 1}};
        EXPECT_EQ(expected, lone.subCalls);
    }
    EXPECT_EQ(1u, lone.Refs());
}

}  // namespace
