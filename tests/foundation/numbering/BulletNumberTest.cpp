// Numbered bullets' texts in every numbering style, at the edges of each form.

#include "base/numbering/BulletNumber.h"

#include <gtest/gtest.h>

#include <string>

using base::numbering::FormatBulletNumber;

namespace {

TEST(BulletNumber, EveryStyleAndTheEdgesOfEachForm) {
    struct Case {
        long style, number;
        std::wstring text;
    };
    const Case cases[] = {
        // Every style with the number 3; 16 to 29 are other scripts' schemes in western digits.
        {0, 3, L"c."},
        {1, 3, L"C."},
        {2, 3, L"3)"},
        {3, 3, L"3."},
        {4, 3, L"(iii)"},
        {5, 3, L"iii)"},
        {6, 3, L"iii."},
        {7, 3, L"III."},
        {8, 3, L"(c)"},
        {9, 3, L"c)"},
        {10, 3, L"(C)"},
        {11, 3, L"C)"},
        {12, 3, L"(3)"},
        {13, 3, L"3"},
        {14, 3, L"(III)"},
        {15, 3, L"III)"},
        {16, 3, L"3"},
        {17, 3, L"3."},
        {18, 3, L"3"},
        {19, 3, L"3"},
        {20, 3, L"3"},
        {21, 3, L"3"},
        {22, 3, L"3."},
        {23, 3, L"3"},
        {24, 3, L"3"},
        {25, 3, L"3"},
        {26, 3, L"3"},
        {27, 3, L"3."},
        {28, 3, L"3"},
        {29, 3, L"3."},
        // Roman numerals: subtractive pairs, thousands as M, nothing for 0.
        {4, 4, L"(iv)"},
        {7, 1999, L"MCMXCIX."},
        {6, 3000, L"mmm."},
        {6, 4000, L"mmmm."},
        {14, 0, L"()"},
        {15, -7, L")"},
        // Letters: A to Z, then doubled, tripled; below 1 none (numbers start at 1).
        {1, 1, L"A."},
        {1, 26, L"Z."},
        {1, 27, L"AA."},
        {0, 28, L"bb."},
        {1, 53, L"AAA."},
        {9, 52, L"zz)"},
        {1, 0, L"."},
        {8, -3, L"()"},
        {11, -5, L")"},
        // Digits, negative and the largest number as they are.
        {12, 10, L"(10)"},
        {13, 10, L"10"},
        {3, -5, L"-5."},
        {2, 2147483647, L"2147483647)"},
        // Styles without a scheme.
        {30, 3, L""},
        {-1, 3, L""},
        {1000, 3, L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, FormatBulletNumber(c.style, c.number)) << "style " << c.style << ", number " << c.number;
    }
}

TEST(BulletNumber, HugeNumbersGiveBoundedText) {
    // Letters repeat at most 4096 times: exact up to 4096 rounds of the alphabet.
    EXPECT_EQ(std::wstring(4096, L'Z') + L'.', FormatBulletNumber(1, 26 * 4096));
    // (2^31 - 2) mod 26 is 22: W.
    EXPECT_EQ(std::wstring(4096, L'W') + L'.', FormatBulletNumber(1, 2147483647));
    // Roman numerals stop at 100000, a hundred M.
    EXPECT_EQ(std::wstring(100, L'M') + L'.', FormatBulletNumber(7, 100000));
    EXPECT_EQ(std::wstring(100, L'M') + L'.', FormatBulletNumber(7, 2147483647));
}

}  // namespace
