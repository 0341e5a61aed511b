#include "base/numbering/BulletNumber.h"

#include <algorithm>
#include <utility>

namespace base::numbering {

namespace {

// A paragraph never counts this far; past it the text would only grow.
constexpr long kLargestNumber = 100000;
constexpr long kMaxLetterRepeat = 4096;

enum class Form { Alphabetic, Arabic, Roman };

struct Scheme {
    Form form;
    bool parenLeft, parenRight, period, lowerCase;
};

// By style; 16 to 29 are the other scripts' schemes, written with western digits.
constexpr Scheme kSchemes[30] = {
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

std::wstring Roman(long number, bool lowerCase) {
    static const std::pair<long, const wchar_t*> kDigits[] = {
        {1000, L"M"}, {900, L"CM"}, {500, L"D"}, {400, L"CD"}, {100, L"C"}, {90, L"XC"}, {50, L"L"},
        {40, L"XL"},  {10, L"X"},   {9, L"IX"},  {5, L"V"},    {4, L"IV"},  {1, L"I"}};
    number = std::clamp(number, 0L, kLargestNumber);
    std::wstring text;
    for (const auto& digit : kDigits) {
        while (number >= digit.first) {
            text += digit.second;
            number -= digit.first;
        }
    }
    if (lowerCase) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

// 1 is A, 26 is Z, 27 is AA, 28 is BB.
std::wstring Alphabetic(long number, bool lowerCase) {
    if (number < 1) return std::wstring();
    const long k = number - 1;
    const long repeat = std::min(k / 26 + 1, kMaxLetterRepeat);
    return std::wstring(static_cast<std::size_t>(repeat), static_cast<wchar_t>((lowerCase ? L'a' : L'A') + k % 26));
}

}  // namespace

std::wstring FormatBulletNumber(long style, long number) {
    if (style < 0 || style >= 30) return std::wstring();
    const Scheme& s = kSchemes[style];
    std::wstring text;
    switch (s.form) {
    case Form::Alphabetic:
        text = Alphabetic(number, s.lowerCase);
        break;
    case Form::Roman:
        text = Roman(number, s.lowerCase);
        break;
    case Form::Arabic:
        text = std::to_wstring(number);
        break;
    }
    // The number, then ".", then ")", then "(" in front.
    if (s.period) text += L'.';
    if (s.parenRight) text += L')';
    if (s.parenLeft) text.insert(text.begin(), L'(');
    return text;
}

}  // namespace base::numbering
