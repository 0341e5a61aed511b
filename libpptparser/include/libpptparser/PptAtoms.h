#pragma once
// Atom records: each decodes its data in its constructor, reading only within its length;
// fields that the record is too short to hold stay 0.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "libpptparser/PptRecord.h"
#include "libpptparser/PptRecordVisitor.h"

namespace libpptparser {

class CPptDefaultAtom : public CPptAtom {
public:
    using CPptAtom::CPptAtom;
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
};

class CPptSlideAtom : public CPptAtom {
public:
    explicit CPptSlideAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetLayout() const { return m_layout; }
    uint32_t GetMasterId() const { return m_masterId; }
    uint32_t GetNotesId() const { return m_notesId; }
    uint16_t GetFlags() const { return m_flags; }

private:
    uint32_t m_layout;
    uint32_t m_masterId;
    uint32_t m_notesId;
    uint16_t m_flags;
};

class CPptSlidePersistAtom : public CPptAtom {
public:
    explicit CPptSlidePersistAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetPersistReference() const { return m_persistReference; }
    uint32_t GetFlags() const { return m_flags; }
    uint32_t GetTextCount() const { return m_textCount; }
    uint32_t GetSlideId() const { return m_slideId; }

private:
    uint32_t m_persistReference;
    uint32_t m_flags;
    uint32_t m_textCount;
    uint32_t m_slideId;
};

class CPptSoundCollAtom : public CPptAtom {
public:
    explicit CPptSoundCollAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetIdSeed() const { return m_idSeed; }

private:
    uint32_t m_idSeed;
};

class CPptTextHeaderAtom : public CPptAtom {
public:
    explicit CPptTextHeaderAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetTextType() const { return m_textType; }

private:
    uint32_t m_textType;
};

class CPptTextSpecInfoAtom : public CPptAtom {
public:
    explicit CPptTextSpecInfoAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetFirstValue() const { return m_firstValue; }

private:
    uint32_t m_firstValue;
};

class CPptSlideNumberMCAtom : public CPptAtom {
public:
    explicit CPptSlideNumberMCAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetPosition() const { return m_position; }

private:
    uint32_t m_position;
};

class CPptDateTimeMCAtom : public CPptAtom {
public:
    explicit CPptDateTimeMCAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetPosition() const { return m_position; }
    uint8_t GetIndex() const { return m_index; }

private:
    uint32_t m_position;
    uint8_t m_index;
};

class CPptEscherSpAtom : public CPptAtom {
public:
    explicit CPptEscherSpAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetShapeId() const { return m_shapeId; }
    uint32_t GetFlags() const { return m_flags; }

private:
    uint32_t m_shapeId;
    uint32_t m_flags;
};

// The anchor of a shape in master units (1/576 inch). The format stores it either as four
// 16-bit values (top, left, right, bottom) or, in 16 bytes or more, as four 32-bit values.
class CPptEscherClientAnchorAtom : public CPptAtom {
public:
    explicit CPptEscherClientAnchorAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    int32_t GetLeft() const { return m_left; }
    int32_t GetTop() const { return m_top; }
    int32_t GetBottom() const { return m_bottom; }
    int32_t GetRight() const { return m_right; }

private:
    int32_t m_left;
    int32_t m_top;
    int32_t m_bottom;
    int32_t m_right;
};

class CPptAnimationInfoAtom : public CPptAtom {
public:
    explicit CPptAnimationInfoAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetDimColor() const { return m_dimColor; }
    uint32_t GetFlags() const { return m_flags; }
    uint32_t GetSoundReference() const { return m_soundReference; }
    uint32_t GetDelay() const { return m_delay; }
    uint16_t GetOrderId() const { return m_orderId; }
    uint16_t GetSlideCount() const { return m_slideCount; }
    uint8_t GetBuildType() const { return m_buildType; }
    uint8_t GetEffect() const { return m_effect; }
    uint8_t GetEffectDirection() const { return m_effectDirection; }
    uint8_t GetAfterEffect() const { return m_afterEffect; }
    uint8_t GetSubEffect() const { return m_subEffect; }
    uint8_t GetOleVerb() const { return m_oleVerb; }

private:
    uint32_t m_dimColor;
    uint32_t m_flags;
    uint32_t m_soundReference;
    uint32_t m_delay;
    uint16_t m_orderId;
    uint16_t m_slideCount;
    uint8_t m_buildType;
    uint8_t m_effect;
    uint8_t m_effectDirection;
    uint8_t m_afterEffect;
    uint8_t m_subEffect;
    uint8_t m_oleVerb;
};

// Atoms of the animation time tree, kept as a row of values read at fixed offsets.
template <size_t N>
class CPptValueRowAtom : public CPptAtom {
public:
    static constexpr size_t kCount = N;
    CPptValueRowAtom(const CPptRecordDescriptor& descriptor, const size_t (&offsets)[N], const size_t (&widths)[N])
        : CPptAtom(descriptor) {
        const CPptByteView bytes = GetBytes();
        for (size_t i = 0; i < N; ++i) m_values[i] = widths[i] == 2 ? bytes.U16(offsets[i]) : bytes.U32(offsets[i]);
    }
    // Value i (0-based); 0 past the row.
    uint32_t GetValue(size_t i) const { return i < N ? m_values[i] : 0; }

private:
    uint32_t m_values[N] = {};
};

class CPptAnimNodeAtom : public CPptValueRowAtom<5> {
public:
    explicit CPptAnimNodeAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
};

class CPptAnimReferenceAtom : public CPptValueRowAtom<5> {
public:
    explicit CPptAnimReferenceAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
};

class CPptAnimateTargetAtom : public CPptValueRowAtom<4> {
public:
    explicit CPptAnimateTargetAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
};

class CPptAnimateSetAtom : public CPptValueRowAtom<2> {
public:
    explicit CPptAnimateSetAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
};

// u32 at 0, u32 at 4, u16 at 8, u16 at 12, u16 at 16.
class CPptAnimIterationAtom : public CPptValueRowAtom<5> {
public:
    explicit CPptAnimIterationAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
};

class CPptAnimAttributeValueAtom : public CPptAtom {
public:
    enum ValueType : uint32_t { kBool = 0, kInteger = 1, kFloat = 2, kString = 3 };

    explicit CPptAnimAttributeValueAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    uint32_t GetValueType() const { return m_valueType; }
    bool GetBool() const { return m_bool; }
    int32_t GetInteger() const { return m_integer; }
    float GetFloat() const { return m_float; }
    const std::wstring& GetString() const { return m_string; }

private:
    uint32_t m_valueType;
    bool m_bool = false;
    int32_t m_integer = 0;
    float m_float = 0.0f;
    std::wstring m_string;
};

class CPptEscherOPTAtom : public CPptAtom {
public:
    explicit CPptEscherOPTAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    // (property id without its two flag bits, value), in file order.
    const std::vector<std::pair<uint16_t, uint32_t>>& GetProperties() const { return m_properties; }
    // True with the value when the id is stored; the table is in ascending id order, so a larger
    // id met first ends the search.
    bool GetProperty(uint16_t id, uint32_t& value) const;

private:
    std::vector<std::pair<uint16_t, uint32_t>> m_properties;
};

class CPptFontEntityAtom : public CPptAtom {
public:
    explicit CPptFontEntityAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    const std::wstring& GetFaceName() const { return m_faceName; }
    uint8_t GetCharSet() const { return m_charSet; }
    uint8_t GetFlags() const { return m_flags; }
    uint8_t GetFontType() const { return m_fontType; }
    uint8_t GetPitchAndFamily() const { return m_pitchAndFamily; }

private:
    std::wstring m_faceName;
    uint8_t m_charSet;
    uint8_t m_flags;
    uint8_t m_fontType;
    uint8_t m_pitchAndFamily;
};

class CPptSoundDataAtom : public CPptAtom {
public:
    explicit CPptSoundDataAtom(const CPptRecordDescriptor& descriptor);
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    const std::vector<uint8_t>& GetData() const { return m_data; }

private:
    std::vector<uint8_t> m_data;
};

// Base of the two text atoms.
class CPptCommonString : public CPptAtom {
public:
    using CPptAtom::CPptAtom;
    void Accept(IPptRecordVisitor& visitor) override { visitor.Visit(*this); }
    // Characters (UTF-16 units or bytes); style runs count in these.
    virtual size_t GetLength() const = 0;
    virtual std::wstring GetText() const = 0;
    // The text in the ANSI code page.
    virtual std::string GetAnsiText() const;
};

// UTF-16 text (types 4000 and 4026). Each UTF-16 unit is kept as one character, so positions
// in the text are the positions the style runs count; surrogate pairs stay two units.
class CPptStringAtom : public CPptCommonString {
public:
    explicit CPptStringAtom(const CPptRecordDescriptor& descriptor);
    size_t GetLength() const override { return m_text.size(); }
    std::wstring GetText() const override { return m_text; }

private:
    std::wstring m_text;
};

// 8-bit text (type 4008): Latin-1, each byte zero-extended to its character.
class CPptByteStringAtom : public CPptCommonString {
public:
    explicit CPptByteStringAtom(const CPptRecordDescriptor& descriptor);
    size_t GetLength() const override { return m_bytes.size(); }
    std::wstring GetText() const override;
    std::string GetAnsiText() const override { return m_bytes; }

private:
    std::string m_bytes;
};

}  // namespace libpptparser
