#pragma once
// Reading Windows metafiles back: the placeable header and the record list, bounded by the
// file's own lengths. The renderer draws metafile pictures from it; tests read our output.

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// Record functions the renderer writes and draws.
enum WmfFunction : std::uint16_t {
    WmfEof = 0x0000,
    WmfSetBkMode = 0x0102,
    WmfSetMapMode = 0x0103,
    WmfSetPolyFillMode = 0x0106,
    WmfSelectObject = 0x012D,
    WmfDeleteObject = 0x01F0,
    WmfSetWindowOrg = 0x020B,
    WmfSetWindowExt = 0x020C,
    WmfLineTo = 0x0213,
    WmfMoveTo = 0x0214,
    WmfCreatePenIndirect = 0x02FA,
    WmfCreateBrushIndirect = 0x02FC,
    WmfPolygon = 0x0324,
    WmfPolyline = 0x0325,
    WmfEllipse = 0x0418,
    WmfRectangle = 0x041B,
    WmfPolyPolygon = 0x0538,
    WmfStretchDib = 0x0F43,
};

struct WmfRecord {
    std::uint16_t function = 0;
    std::vector<std::uint16_t> params;  // the record's words after its size and function
    std::int16_t Param(size_t i) const { return i < params.size() ? static_cast<std::int16_t>(params[i]) : 0; }
};

struct WmfFile {
    bool placeable = false;
    std::int16_t boundsLeft = 0, boundsTop = 0, boundsRight = 0, boundsBottom = 0;
    std::uint16_t unitsPerInch = 0;
    std::uint16_t numberOfObjects = 0;
    std::uint32_t sizeWords = 0;  // from the standard header
    std::vector<WmfRecord> records;
};

// Parses the bytes; false with a message in `error` when they are not a well-formed metafile.
bool ReadWmf(const std::vector<std::uint8_t>& bytes, WmfFile& out, std::string* error = nullptr);

}  // namespace render
