#include "base/metafile/WmfRecords.h"

#include <algorithm>

namespace base::metafile {

namespace {

constexpr std::size_t kPlaceableSize = 22, kHeaderSize = 18, kRecordHeaderSize = 6;

}  // namespace

WmfStatus WmfRecordReader::ReadHeader(WmfHeader& out) {
    out = WmfHeader();
    m_pos = 0;
    if (m_file.U32(0) == kPlaceableKey) {
        if (m_file.size() < kPlaceableSize) return WmfStatus::kPlaceableCutShort;
        out.placeable = true;
        out.boundsLeft = m_file.I16(6);
        out.boundsTop = m_file.I16(8);
        out.boundsRight = m_file.I16(10);
        out.boundsBottom = m_file.I16(12);
        out.unitsPerInch = m_file.U16(14);
        std::uint16_t sum = 0;
        for (std::size_t i = 0; i < 10; ++i) sum ^= m_file.U16(2 * i);
        out.placeableChecksumOk = sum == m_file.U16(20);
        m_pos = kPlaceableSize;
    }
    if (!m_file.Has(m_pos, kHeaderSize)) return WmfStatus::kHeaderCutShort;
    out.type = m_file.U16(m_pos);
    out.version = m_file.U16(m_pos + 4);
    const std::uint16_t headerWords = m_file.U16(m_pos + 2);
    if ((out.type != 1 && out.type != 2) || headerWords != kHeaderSize / 2 ||
        (out.version != 0x0100 && out.version != 0x0300))
        return WmfStatus::kNotMetafile;
    out.sizeWords = m_file.U32(m_pos + 6);
    out.numberOfObjects = m_file.U16(m_pos + 10);
    m_pos += kHeaderSize;
    return WmfStatus::kOk;
}

WmfStatus WmfRecordReader::Next(WmfRecordView& out) {
    out = WmfRecordView();
    const std::size_t left = m_file.size() - std::min(m_pos, m_file.size());
    if (left == 0) return WmfStatus::kEnd;
    if (left < kRecordHeaderSize) return WmfStatus::kRecordCutShort;
    const std::uint32_t words = m_file.U32(m_pos);
    if (words < 3 || words > left / 2) return WmfStatus::kBadRecordSize;
    out.offset = m_pos;
    out.words = words;
    out.function = m_file.U16(m_pos + 4);
    out.params = m_file.Sub(m_pos + kRecordHeaderSize, 2 * std::size_t(words - 3));
    m_pos += 2 * std::size_t(words);
    return WmfStatus::kOk;
}

}  // namespace base::metafile
