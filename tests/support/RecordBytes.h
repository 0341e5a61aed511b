#pragma once
// Little builders of record bytes for the record-stream tests.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "libpptparser/StreamParser.h"

namespace testrec {

using Bytes = std::vector<uint8_t>;

inline void Append16(Bytes& b, uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}

inline void Append32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A record: header (version, instance, type, length of `data`) then the data.
inline Bytes Record(uint16_t version, uint16_t instance, uint16_t type, const Bytes& data) {
    Bytes out;
    Append16(out, static_cast<uint16_t>((instance << 4) | (version & 0xF)));
    Append16(out, type);
    Append32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

inline Bytes Atom(uint16_t type, const Bytes& data, uint16_t instance = 0) { return Record(0, instance, type, data); }
inline Bytes Container(uint16_t type, std::initializer_list<Bytes> children, uint16_t instance = 0) {
    return Record(0xF, instance, type, Cat(children));
}

inline Bytes U16s(std::initializer_list<uint16_t> values) {
    Bytes out;
    for (uint16_t v : values) Append16(out, v);
    return out;
}

inline Bytes U32s(std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t v : values) Append32(out, v);
    return out;
}

inline Bytes Utf16(const std::u16string& text) {
    Bytes out;
    for (char16_t c : text) Append16(out, static_cast<uint16_t>(c));
    return out;
}

inline std::shared_ptr<libpptparser::CPptContainer> Tree(const Bytes& stream) {
    return libpptparser::CStreamParser::BuildRecordTree(std::make_shared<const Bytes>(stream));
}

}  // namespace testrec
