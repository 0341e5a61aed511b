#pragma once
// The numbered-bullet styles and their three number forms, shared by the BulletFormat wrapper
// and the bullet record so both write a paragraph's number the same way.

#include "genswf/utils/Utils.h"

#include <algorithm>
#include <string>

namespace genswf {
namespace numbering {

// Letters of an alphabetic number repeat once per round of the alphabet; past this many the
// text would only grow, so longer runs are cut here (numbers up to 106496 are exact).
constexpr long kMaxAlphabeticRepeat = 4096;

// Every form writes the number, then ".", then ")", then puts "(" in front.
inline std::wstring Decorate(std::wstring number, bool parenLeft, bool parenRight, bool period) {
    if (period) number += L'.';
    if (parenRight) number += L')';
    if (parenLeft) number.insert(number.begin(), L'(');
    return number;
}

inline std::wstring FormatRomanNumber(long number, bool parenLeft, bool parenRight, bool period, bool lowerCase) {
    std::wstring text = Decorate(ToRomanNumeral(static_cast<int>(number)), parenLeft, parenRight, period);
    return lowerCase ? ToLowerCase(text) : text;
}

inline std::wstring FormatArabicNumber(long number, bool parenLeft, bool parenRight, bool period) {
    return Decorate(std::to_wstring(number), parenLeft, parenRight, period);
}

// 1 is A, 26 is Z, 27 is AA, 28 is BB. Numbers below 1 have no letters.
inline std::wstring FormatAlphabeticNumber(long number, bool parenLeft, bool parenRight, bool period, bool lowerCase) {
    std::wstring letters;
    if (number >= 1) {
        const long k = number - 1;
        const long repeat = std::min<long>(k / 26 + 1, kMaxAlphabeticRepeat);
        letters.assign(static_cast<std::size_t>(repeat), static_cast<wchar_t>((lowerCase ? L'a' : L'A') + k % 26));
    }
    return Decorate(letters, parenLeft, parenRight, period);
}

enum class Form { Alphabetic, Arabic, Roman };

struct NumberingScheme {
    Form form;
    bool parenLeft;
    bool parenRight;
    bool period;
    bool lowerCase;
};

constexpr int kSchemeCount = 30;

// By numbered-bullet style; styles 16 to 29 are the other scripts' schemes, written with
// western digits.
constexpr NumberingScheme kSchemes[kSchemeCount] = {
    {Form::Alphabetic, false, false, true, true},   // 0  a.
    {Form::Alphabetic, false, false, true, false},  // 1  A.
    {Form::Arabic, false, true, false, false},      // 2  1)
    {Form::Arabic, false, false, true, false},      // 3  1.
    {Form::Roman, true, true, false, true},         // 4  (i)
    {Form::Roman, false, true, false, true},        // 5  i)
    {Form::Roman, false, false, true, true},        // 6  i.
    {Form::Roman, false, false, true, false},       // 7  I.
    {Form::Alphabetic, true, true, false, true},    // 8  (a)
    {Form::Alphabetic, false, true, false, true},   // 9  a)
    {Form::Alphabetic, true, true, false, false},   // 10 (A)
    {Form::Alphabetic, false, true, false, false},  // 11 A)
    {Form::Arabic, true, true, false, false},       // 12 (1)
    {Form::Arabic, false, false, false, false},     // 13 1
    {Form::Roman, true, true, false, false},        // 14 (I)
    {Form::Roman, false, true, false, false},       // 15 I)
    {Form::Arabic, false, false, false, false},     // 16
    {Form::Arabic, false, false, true, false},      // 17
    {Form::Arabic, false, false, false, false},     // 18
    {Form::Arabic, false, false, false, false},     // 19
    {Form::Arabic, false, false, false, false},     // 20
    {Form::Arabic, false, false, false, false},     // 21
    {Form::Arabic, false, false, true, false},      // 22
    {Form::Arabic, false, false, false, false},     // 23
    {Form::Arabic, false, false, false, false},     // 24
    {Form::Arabic, false, false, false, false},     // 25
    {Form::Arabic, false, false, false, false},     // 26
    {Form::Arabic, false, false, true, false},      // 27
    {Form::Arabic, false, false, false, false},     // 28
    {Form::Arabic, false, false, true, false},      // 29
};

// The number in the style's scheme; empty for a style without one.
inline std::wstring FormatBulletNumber(long style, long number) {
    if (style < 0 || style >= kSchemeCount) return std::wstring();
    const NumberingScheme& s = kSchemes[style];
    switch (s.form) {
    case Form::Alphabetic:
        return FormatAlphabeticNumber(number, s.parenLeft, s.parenRight, s.period, s.lowerCase);
    case Form::Roman:
        return FormatRomanNumber(number, s.parenLeft, s.parenRight, s.period, s.lowerCase);
    case Form::Arabic:
        break;
    }
    return FormatArabicNumber(number, s.parenLeft, s.parenRight, s.period);
}

}  // namespace numbering
}  // namespace genswf
