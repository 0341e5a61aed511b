// The fonts of a text's characters: kept once per run, yet read and changed per character as a
// plain list would be.

#include "powerpoint/host/PowerPointHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace PowerPoint::Host;

namespace {

FontData Font(const wchar_t* name, float size) {
    FontData f;
    f.name = name;
    f.size = size;
    return f;
}

void ExpectSame(const std::vector<FontData>& want, const CharFontList& got, const std::string& step) {
    ASSERT_EQ(want.size(), got.size()) << step;
    std::size_t i = 0;
    for (const FontData& f : got) {
        EXPECT_TRUE(f == want[i]) << step << ": character " << i;
        EXPECT_TRUE(got[i] == want[i]) << step << ": character " << i;
        ++i;
    }
    for (std::size_t k = 1; k < want.size(); ++k)
        EXPECT_EQ(want[k] == want[k - 1], got.SameFont(k, k - 1)) << step << ": characters " << k - 1 << ", " << k;
}

}  // namespace

// Every edit leaves each character the font a plain per-character list gives it, edits that
// split, join and re-use runs included.
TEST(CharFontList, EditsAgreeWithAPlainList) {
    const FontData a = Font(L"Arial", 18), b = Font(L"Times New Roman", 12), c = Font(L"Arial", 24);
    std::vector<FontData> want;
    CharFontList got;
    struct Step {
        std::string name;
        std::function<void(std::vector<FontData>&)> plain;
        std::function<void(CharFontList&)> pooled;
    };
    const auto splice = [](std::size_t at, std::size_t remove, std::size_t insert, FontData f) {
        return Step{"splice " + std::to_string(at) + " -" + std::to_string(remove) + " +" + std::to_string(insert),
                    [=](std::vector<FontData>& v) {
                        v.erase(v.begin() + at, v.begin() + at + remove);
                        v.insert(v.begin() + at, insert, f);
                    },
                    [=](CharFontList& l) { l.Splice(at, remove, insert, f); }};
    };
    const auto bold = [](FontData& f) { f.bold = PowerPoint::msoTrue; };
    const std::vector<Step> steps = {
        {"assign", [&](auto& v) { v.assign(4, a); }, [&](auto& l) { l.assign(4, a); }},
        {"push_back", [&](auto& v) { v.push_back(b); }, [&](auto& l) { l.push_back(b); }},
        splice(5, 0, 3, b),  // joins the run before it
        splice(2, 0, 2, c),  // splits the first run
        splice(0, 3, 1, b),
        splice(3, 4, 0, a),  // removes a whole run
        {"change 1..4",
         [&](auto& v) {
             for (std::size_t i = 1; i < 4; ++i) bold(v[i]);
         },
         [&](auto& l) { l.ChangeRange(1, 4, bold); }},
        {"change past the end",
         [&](auto& v) {
             for (std::size_t i = 3; i < v.size(); ++i) v[i].italic = PowerPoint::msoTrue;
         },
         [&](auto& l) { l.ChangeRange(3, 100, [](FontData& f) { f.italic = PowerPoint::msoTrue; }); }},
        {"grow", [&](auto& v) { v.resize(9, c); }, [&](auto& l) { l.resize(9, c); }},
        {"shrink", [&](auto& v) { v.resize(7, c); }, [&](auto& l) { l.resize(7, c); }},
        {"every font",
         [&](auto& v) {
             for (FontData& f : v) f.size *= 0.5f;
         },
         [&](auto& l) { l.ForEachFont([](FontData& f) { f.size *= 0.5f; }); }},
        // Element access that hands out a font to change gives every character its own.
        {"one character", [&](auto& v) { v[2].underline = PowerPoint::msoTrue; },
         [&](auto& l) { l[2].underline = PowerPoint::msoTrue; }},
        splice(1, 2, 2, a),
        {"erase", [&](auto& v) { v.erase(v.begin() + 1, v.begin() + 3); },
         [&](auto& l) { l.erase(l.begin() + 1, l.begin() + 3); }},
        {"clear", [&](auto& v) { v.clear(); }, [&](auto& l) { l.clear(); }},
        {"push_back after clear", [&](auto& v) { v.push_back(c); }, [&](auto& l) { l.push_back(c); }},
    };
    for (const Step& step : steps) {
        step.plain(want);
        step.pooled(got);
        ExpectSame(want, got, step.name);
    }
}

// A copy shares the fonts until one of the two is changed; the change stays with the one made.
TEST(CharFontList, CopiesChangeApart) {
    CharFontList original;
    original.assign(3, Font(L"Arial", 18));
    original.Splice(3, 0, 2, Font(L"Arial", 30));

    CharFontList copy = original;
    EXPECT_EQ(&std::as_const(original)[0], &std::as_const(copy)[0]);

    copy.ChangeRange(0, 1, [](FontData& f) { f.size = 8; });
    copy.ForEachFont([](FontData& f) { f.name = L"Tahoma"; });
    CharFontList other = original;
    other[4].size = 12;

    EXPECT_EQ(L"Arial", original[0].name);
    EXPECT_EQ(18.0f, original[0].size);
    EXPECT_EQ(30.0f, original[4].size);
    EXPECT_EQ(8.0f, copy[0].size);
    EXPECT_EQ(18.0f, std::as_const(copy)[1].size);
    EXPECT_EQ(L"Tahoma", std::as_const(copy)[4].name);
    EXPECT_EQ(12.0f, std::as_const(other)[4].size);
    EXPECT_EQ(30.0f, std::as_const(other)[3].size);
}
