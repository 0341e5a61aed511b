#pragma once
// A bitmap for metafile bitmap records: 2 x 2 pixels of 24 bits, stored bottom row first — red,
// green on top, blue, white below — as the little-endian words a record carries.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace bctest {

template <class Word>
std::vector<Word> QuadDibWords() {
    std::vector<std::uint8_t> b(40, 0);
    b[0] = 40;  // header size
    b[4] = 2;   // width
    b[8] = 2;   // height
    b[12] = 1;  // planes
    b[14] = 24;
    const std::uint8_t rows[] = {0xFF, 0, 0,    0xFF, 0xFF, 0xFF, 0, 0,   // blue, white, padding
                                 0,    0, 0xFF, 0,    0xFF, 0,    0, 0};  // red, green, padding
    b.insert(b.end(), std::begin(rows), std::end(rows));
    std::vector<Word> words;
    for (std::size_t i = 0; i < b.size(); i += 2) words.push_back(static_cast<Word>(b[i] | (b[i + 1] << 8)));
    return words;
}

// A record's parameters followed by the words of its bitmap.
template <class Word>
std::vector<Word> Join(std::vector<Word> head, const std::vector<Word>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

}  // namespace bctest
