// Walking the records of a Windows metafile: its headers, then one record at a time, every
// length checked against the bytes. What the records mean is left to the reader's caller.
#pragma once

#include "base/bytes/ByteView.h"

#include <cstddef>
#include <cstdint>

namespace base::metafile {

// The first four bytes of a placeable metafile.
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
// The function of the record that ends the metafile.
constexpr std::uint16_t kWmfEof = 0x0000;

struct WmfHeader {
    bool placeable = false;
    bool placeableChecksumOk = false;  // the placeable header's XOR of its first ten words
    std::int16_t boundsLeft = 0, boundsTop = 0, boundsRight = 0, boundsBottom = 0;
    std::uint16_t unitsPerInch = 0;
    std::uint16_t type = 0, version = 0;
    std::uint32_t sizeWords = 0;
    std::uint16_t numberOfObjects = 0;
};

struct WmfRecordView {
    std::size_t offset = 0;   // of the record in the file
    std::uint32_t words = 0;  // of the whole record, its size and function included
    std::uint16_t function = 0;
    bytes::ByteView params;  // the record's words after its size and function
};

enum class WmfStatus {
    kOk,
    kPlaceableCutShort,  // the placeable key, but not the 22 bytes of its header
    kHeaderCutShort,     // fewer bytes than the standard header's 18
    kNotMetafile,        // a standard header of another type, size or version
    kEnd,                // the bytes end where a record would begin
    kRecordCutShort,     // bytes left, but fewer than a record's size and function
    kBadRecordSize,      // a record of fewer than 3 words, or longer than the bytes left
};

class WmfRecordReader {
public:
    explicit WmfRecordReader(bytes::ByteView file) : m_file(file) {}

    // Reads the headers; the records follow them.
    WmfStatus ReadHeader(WmfHeader& out);
    // The next record. After kEnd, kRecordCutShort or kBadRecordSize there is none.
    WmfStatus Next(WmfRecordView& out);
    // Where the next record begins.
    std::size_t Position() const { return m_pos; }

private:
    bytes::ByteView m_file;
    std::size_t m_pos = 0;
};

}  // namespace base::metafile
