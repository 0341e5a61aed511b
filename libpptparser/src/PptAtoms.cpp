// Decoding of the atom records. Every read goes through CPptByteView, which gives 0 for a
// field the record is too short to hold.

#include "libpptparser/PptAtoms.h"

#include <algorithm>
#include <cstring>

#include "libpptparser/PptStrings.h"

namespace libpptparser {

CPptSlideAtom::CPptSlideAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    m_layout = b.U32(0);
    m_masterId = b.U32(12);
    m_notesId = b.U32(16);
    m_flags = b.U16(20);
}

CPptSlidePersistAtom::CPptSlidePersistAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    m_persistReference = b.U32(0);
    m_flags = b.U32(4);
    m_textCount = b.U32(8);
    m_slideId = b.U32(12);
}

CPptSoundCollAtom::CPptSoundCollAtom(const CPptRecordDescriptor& d) : CPptAtom(d), m_idSeed(GetBytes().U32(0)) {}

CPptTextHeaderAtom::CPptTextHeaderAtom(const CPptRecordDescriptor& d) : CPptAtom(d), m_textType(GetBytes().U32(0)) {}

CPptTextSpecInfoAtom::CPptTextSpecInfoAtom(const CPptRecordDescriptor& d)
    : CPptAtom(d), m_firstValue(GetBytes().U32(0)) {}

CPptSlideNumberMCAtom::CPptSlideNumberMCAtom(const CPptRecordDescriptor& d)
    : CPptAtom(d), m_position(GetBytes().U32(0)) {}

CPptDateTimeMCAtom::CPptDateTimeMCAtom(const CPptRecordDescriptor& d)
    : CPptAtom(d), m_position(GetBytes().U32(0)), m_index(GetBytes().U8(4)) {}

CPptEscherSpAtom::CPptEscherSpAtom(const CPptRecordDescriptor& d)
    : CPptAtom(d), m_shapeId(GetBytes().U32(0)), m_flags(GetBytes().U32(4)) {}

CPptEscherClientAnchorAtom::CPptEscherClientAnchorAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    if (b.size() >= 16) {
        m_top = b.I32(0);
        m_left = b.I32(4);
        m_right = b.I32(8);
        m_bottom = b.I32(12);
    } else {
        m_top = b.I16(0);
        m_left = b.I16(2);
        m_right = b.I16(4);
        m_bottom = b.I16(6);
    }
}

CPptAnimationInfoAtom::CPptAnimationInfoAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    m_dimColor = b.U32(0);
    m_flags = b.U32(4);
    m_soundReference = b.U32(8);
    m_delay = b.U32(12);
    m_orderId = b.U16(16);
    m_slideCount = b.U16(18);
    m_buildType = b.U8(20);
    m_effect = b.U8(21);
    m_effectDirection = b.U8(22);
    m_afterEffect = b.U8(23);
    m_subEffect = b.U8(24);
    m_oleVerb = b.U8(25);
}

namespace {
const size_t kFive32[5] = {0, 4, 8, 12, 16};
const size_t kFiveWidths32[5] = {4, 4, 4, 4, 4};
const size_t kFour32[4] = {0, 4, 8, 12};
const size_t kFourWidths32[4] = {4, 4, 4, 4};
const size_t kTwo32[2] = {0, 4};
const size_t kTwoWidths32[2] = {4, 4};
const size_t kIterationWidths[5] = {4, 4, 2, 2, 2};
}  // namespace

CPptAnimNodeAtom::CPptAnimNodeAtom(const CPptRecordDescriptor& d) : CPptValueRowAtom<5>(d, kFive32, kFiveWidths32) {}
CPptAnimReferenceAtom::CPptAnimReferenceAtom(const CPptRecordDescriptor& d)
    : CPptValueRowAtom<5>(d, kFive32, kFiveWidths32) {}
CPptAnimateTargetAtom::CPptAnimateTargetAtom(const CPptRecordDescriptor& d)
    : CPptValueRowAtom<4>(d, kFour32, kFourWidths32) {}
CPptAnimateSetAtom::CPptAnimateSetAtom(const CPptRecordDescriptor& d) : CPptValueRowAtom<2>(d, kTwo32, kTwoWidths32) {}
CPptAnimIterationAtom::CPptAnimIterationAtom(const CPptRecordDescriptor& d)
    : CPptValueRowAtom<5>(d, kFive32, kIterationWidths) {}

CPptAnimAttributeValueAtom::CPptAnimAttributeValueAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    m_valueType = b.U8(0);
    switch (m_valueType) {
    case kBool:
        m_bool = b.U8(1) != 0;
        break;
    case kInteger:
        m_integer = b.I32(1);
        break;
    case kFloat: {
        const uint32_t bits = b.U32(1);
        std::memcpy(&m_float, &bits, sizeof m_float);
        break;
    }
    case kString: {
        const size_t units = b.size() > 1 ? (b.size() - 1) / 2 : 0;
        m_string.resize(units);
        for (size_t i = 0; i < units; ++i) m_string[i] = static_cast<wchar_t>(b.U16(1 + 2 * i));
        break;
    }
    default:
        break;
    }
}

CPptEscherOPTAtom::CPptEscherOPTAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    const size_t count = std::min<size_t>(GetInstance(), b.size() / 6);
    m_properties.reserve(count);
    for (size_t i = 0; i < count; ++i)
        m_properties.emplace_back(static_cast<uint16_t>(b.U16(6 * i) & 0x3FFF), b.U32(6 * i + 2));
}

bool CPptEscherOPTAtom::GetProperty(uint16_t id, uint32_t& value) const {
    for (const auto& property : m_properties) {
        if (property.first == id) {
            value = property.second;
            return true;
        }
        if (property.first > id) return false;
    }
    return false;
}

CPptFontEntityAtom::CPptFontEntityAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    for (size_t i = 0; i < 32 && b.Has(2 * i, 2); ++i) {
        const uint16_t unit = b.U16(2 * i);
        if (unit == 0) break;
        m_faceName.push_back(static_cast<wchar_t>(unit));
    }
    m_charSet = b.U8(64);
    m_flags = b.U8(65);
    m_fontType = b.U8(66);
    m_pitchAndFamily = b.U8(67);
}

CPptSoundDataAtom::CPptSoundDataAtom(const CPptRecordDescriptor& d) : CPptAtom(d) {
    const CPptByteView b = GetBytes();
    if (b.size() != 0) m_data.assign(b.data(), b.data() + b.size());
}

std::string CPptCommonString::GetAnsiText() const { return WideToAnsi(GetText(), 0); }

CPptStringAtom::CPptStringAtom(const CPptRecordDescriptor& d) : CPptCommonString(d) {
    const CPptByteView b = GetBytes();
    m_text.resize(b.size() / 2);
    for (size_t i = 0; i < m_text.size(); ++i) m_text[i] = static_cast<wchar_t>(b.U16(2 * i));
}

CPptByteStringAtom::CPptByteStringAtom(const CPptRecordDescriptor& d) : CPptCommonString(d) {
    const CPptByteView b = GetBytes();
    if (b.size() != 0) m_bytes.assign(reinterpret_cast<const char*>(b.data()), b.size());
}

std::wstring CPptByteStringAtom::GetText() const {
    return Latin1ToWide(reinterpret_cast<const uint8_t*>(m_bytes.data()), m_bytes.size());
}

}  // namespace libpptparser
