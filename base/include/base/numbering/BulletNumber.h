#pragma once
// The text of a numbered bullet: the paragraph's number in one of the thirty numbering styles of
// the object model (a., A., 1), 1., (i), ...). The presentation host lays it out and the export
// writes it; both take it from here so that they never differ.

#include <string>

namespace base::numbering {

// Styles 0 to 29; any other style gives an empty text. Letters run A to Z, then AA to ZZ, and so
// on (numbers below 1 have none); Roman numerals repeat M for each thousand. Both are bounded:
// numbers past 100000 are written as 100000, and letters never repeat more than 4096 times.
std::wstring FormatBulletNumber(long style, long number);

}  // namespace base::numbering
