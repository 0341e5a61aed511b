// Record lookups, drawing property tables and text format exceptions.

#include "LoaderInternal.h"

#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptStrings.h"

namespace PowerPoint {
namespace Loader {
namespace Detail {

RecordPtr FirstChild(const CPptContainer* c, std::uint16_t type) {
    if (!c) return nullptr;
    for (const RecordPtr& r : c->GetChildren())
        if (r->GetType() == type) return r;
    return nullptr;
}

RecordPtr FirstChild(const CPptContainer* c, std::uint16_t type, std::uint16_t instance) {
    if (!c) return nullptr;
    for (const RecordPtr& r : c->GetChildren())
        if (r->GetType() == type && r->GetInstance() == instance) return r;
    return nullptr;
}

ContainerPtr AsContainer(const RecordPtr& r) {
    if (!r || !r->IsContainer()) return nullptr;
    return std::dynamic_pointer_cast<CPptContainer>(r);
}

ContainerPtr ChildContainer(const CPptContainer* c, std::uint16_t type) {
    if (!c) return nullptr;
    for (const RecordPtr& r : c->GetChildren())
        if (r->GetType() == type && r->IsContainer()) return AsContainer(r);
    return nullptr;
}

std::vector<RecordPtr> Children(const CPptContainer* c, std::uint16_t type) {
    std::vector<RecordPtr> out;
    if (c)
        for (const RecordPtr& r : c->GetChildren())
            if (r->GetType() == type) out.push_back(r);
    return out;
}

std::wstring RecordText(const CPptRecord& r) {
    const CPptByteView b = r.GetBytes();
    std::wstring text;
    if (r.GetType() == libpptparser::kRecordTextBytesAtom) {
        text = libpptparser::Latin1ToWide(b.data(), b.size());
    } else {
        text.reserve(b.size() / 2);
        for (std::size_t i = 0; i + 1 < b.size(); i += 2) text.push_back(static_cast<wchar_t>(b.U16(i)));
    }
    return text;
}

std::wstring CStringChild(const CPptContainer* c, std::uint16_t instance) {
    RecordPtr r = FirstChild(c, libpptparser::kRecordCString, instance);
    return r ? RecordText(*r) : std::wstring();
}

// ---- drawing properties -------------------------------------------------------------------------

void COptTable::Add(const CPptRecord& record) {
    const CPptByteView b = record.GetBytes();
    const std::size_t count = record.GetInstance();
    if (count * 6 > b.size()) return;  // a table longer than its record is not trusted at all
    std::size_t complexAt = count * 6;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t word = b.U16(i * 6);
        OptProperty p;
        p.id = word & 0x3FFF;
        p.blip = (word & 0x4000) != 0;
        p.complex = (word & 0x8000) != 0;
        p.value = b.U32(i * 6 + 2);
        if (p.complex) {
            // Complex data follows the table in property order; data that does not fit is left out.
            if (p.value <= b.size() - complexAt) {
                p.complexData = CPptByteView(b.data() + complexAt, p.value);
                complexAt += p.value;
            } else {
                complexAt = b.size();
            }
        }
        if (!Find(p.id)) m_props.push_back(p);
    }
}

const OptProperty* COptTable::Find(std::uint16_t id) const {
    for (const OptProperty& p : m_props)
        if (p.id == id) return &p;
    return nullptr;
}

bool COptTable::Get(std::uint16_t id, std::uint32_t& value) const {
    const OptProperty* p = Find(id);
    if (!p) return false;
    value = p->value;
    return true;
}

std::uint32_t COptTable::Value(std::uint16_t id, std::uint32_t fallback) const {
    std::uint32_t v = fallback;
    Get(id, v);
    return v;
}

bool COptTable::Flag(std::uint16_t id, int bit, bool fallback) const {
    std::uint32_t v = 0;
    if (!Get(id, v)) return fallback;
    if (!(v & (1u << (bit + 16)))) return fallback;
    return (v & (1u << bit)) != 0;
}

std::wstring COptTable::String(std::uint16_t id) const {
    const OptProperty* p = Find(id);
    std::wstring s;
    if (!p || !p->complex) return s;
    const CPptByteView& b = p->complexData;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(b.U16(i));
        if (c == 0) break;
        s.push_back(c);
    }
    return s;
}

// ---- text format exceptions ---------------------------------------------------------------------

namespace {

// Reads a field of `width` bytes when `present`; false when it runs past the data.
bool Field(const CPptByteView& b, std::size_t& at, bool present, std::size_t width, std::uint32_t& value) {
    if (!present) return true;
    if (!b.Has(at, width)) return false;
    value = width == 2 ? b.U16(at) : width == 4 ? b.U32(at) : b.U8(at);
    at += width;
    return true;
}

}  // namespace

std::size_t ReadTextPF(const CPptByteView& b, std::size_t offset, TextPF& out) {
    if (!b.Has(offset, 4)) return 0;
    const std::uint32_t m = b.U32(offset);
    std::size_t at = offset + 4;
    std::uint32_t v = 0;
    out.mask = m;
    if (!Field(b, at, (m & 0xF) != 0, 2, v)) return 0;
    out.bulletFlags = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x80, 2, v)) return 0;
    out.bulletChar = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x10, 2, v)) return 0;
    out.bulletFont = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x40, 2, v)) return 0;
    out.bulletSize = static_cast<std::int16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x20, 4, v)) return 0;
    out.bulletColor = v;
    v = 0;
    if (!Field(b, at, m & 0x800, 2, v)) return 0;
    out.alignment = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x1000, 2, v)) return 0;
    out.lineSpacing = static_cast<std::int16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x2000, 2, v)) return 0;
    out.spaceBefore = static_cast<std::int16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x4000, 2, v)) return 0;
    out.spaceAfter = static_cast<std::int16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x100, 2, v)) return 0;
    out.leftMargin = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x400, 2, v)) return 0;
    out.indent = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x8000, 2, v)) return 0;
    out.defaultTabSize = static_cast<std::uint16_t>(v);
    if (m & 0x100000) {
        if (!b.Has(at, 2)) return 0;
        const std::size_t tabs = b.U16(at);
        at += 2;
        if (!b.Has(at, tabs * 4)) return 0;
        at += tabs * 4;
    }
    v = 0;
    if (!Field(b, at, m & 0x10000, 2, v)) return 0;
    out.fontAlign = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, (m & 0xE0000) != 0, 2, v)) return 0;
    out.wrapFlags = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x200000, 2, v)) return 0;
    out.textDirection = static_cast<std::uint16_t>(v);
    return at;
}

std::size_t ReadTextCF(const CPptByteView& b, std::size_t offset, TextCF& out) {
    if (!b.Has(offset, 4)) return 0;
    const std::uint32_t m = b.U32(offset);
    std::size_t at = offset + 4;
    std::uint32_t v = 0;
    out.mask = m;
    if (!Field(b, at, (m & 0xFFFF) != 0, 2, v)) return 0;
    out.style = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x10000, 2, v)) return 0;
    out.font = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x200000, 2, v)) return 0;
    out.farEastFont = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x400000, 2, v)) return 0;
    out.ansiFont = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x800000, 2, v)) return 0;
    out.symbolFont = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x20000, 2, v)) return 0;
    out.size = static_cast<std::uint16_t>(v);
    v = 0;
    if (!Field(b, at, m & 0x40000, 4, v)) return 0;
    out.color = v;
    // A colour of index 0xFF is undefined: the text keeps the colour it inherits.
    if ((m & 0x40000) && (v >> 24) == 0xFF) out.mask &= ~0x40000u;
    v = 0;
    if (!Field(b, at, m & 0x80000, 2, v)) return 0;
    out.position = static_cast<std::int16_t>(v);
    if (!Field(b, at, m & 0x100000, 4, v)) return 0;
    if (!Field(b, at, m & 0x1000000, 2, v)) return 0;
    if (!Field(b, at, m & 0x2000000, 2, v)) return 0;
    if (!Field(b, at, m & 0x4000000, 4, v)) return 0;
    return at;
}

void Overlay(TextPF& dst, const TextPF& src) {
    const std::uint32_t add = src.mask & ~dst.mask;
    const std::uint16_t flagBits = static_cast<std::uint16_t>(add & 0xF);
    dst.bulletFlags = static_cast<std::uint16_t>((dst.bulletFlags & ~flagBits) | (src.bulletFlags & flagBits));
    if (add & 0x80) dst.bulletChar = src.bulletChar;
    if (add & 0x10) dst.bulletFont = src.bulletFont;
    if (add & 0x40) dst.bulletSize = src.bulletSize;
    if (add & 0x20) dst.bulletColor = src.bulletColor;
    if (add & 0x800) dst.alignment = src.alignment;
    if (add & 0x1000) dst.lineSpacing = src.lineSpacing;
    if (add & 0x2000) dst.spaceBefore = src.spaceBefore;
    if (add & 0x4000) dst.spaceAfter = src.spaceAfter;
    if (add & 0x100) dst.leftMargin = src.leftMargin;
    if (add & 0x400) dst.indent = src.indent;
    if (add & 0x8000) dst.defaultTabSize = src.defaultTabSize;
    if (add & 0x10000) dst.fontAlign = src.fontAlign;
    const std::uint16_t wrapBits = static_cast<std::uint16_t>((add >> 17) & 0x7);
    dst.wrapFlags = static_cast<std::uint16_t>((dst.wrapFlags & ~wrapBits) | (src.wrapFlags & wrapBits));
    if (add & 0x200000) dst.textDirection = src.textDirection;
    if (!dst.hasNumbering && src.hasNumbering) {
        dst.hasNumbering = true;
        dst.numbered = src.numbered;
        dst.numberScheme = src.numberScheme;
        dst.numberStart = src.numberStart;
    }
    dst.mask |= src.mask;
}

void Overlay(TextCF& dst, const TextCF& src) {
    const std::uint32_t add = src.mask & ~dst.mask;
    const std::uint16_t styleBits = static_cast<std::uint16_t>(add & 0xFFFF);
    dst.style = static_cast<std::uint16_t>((dst.style & ~styleBits) | (src.style & styleBits));
    if (add & 0x10000) dst.font = src.font;
    if (add & 0x200000) dst.farEastFont = src.farEastFont;
    if (add & 0x400000) dst.ansiFont = src.ansiFont;
    if (add & 0x800000) dst.symbolFont = src.symbolFont;
    if (add & 0x20000) dst.size = src.size;
    if (add & 0x40000) dst.color = src.color;
    if (add & 0x80000) dst.position = src.position;
    dst.mask |= src.mask;
}

void ReadMasterStyle(const CPptRecord& atom, TextTypeStyle& out) {
    const CPptByteView b = atom.GetBytes();
    const std::size_t levels = b.U16(0);
    // The centred and partial body types carry their level before each entry.
    const bool levelPrefix = atom.GetInstance() >= 5;
    std::size_t at = 2;
    for (std::size_t i = 0; i < levels && i < 5; ++i) {
        std::size_t level = i;
        if (levelPrefix) {
            if (!b.Has(at, 2)) return;
            level = b.U16(at);
            at += 2;
            if (level > 4) return;
        }
        LevelStyle ls;
        at = ReadTextPF(b, at, ls.pf);
        if (at == 0) return;
        at = ReadTextCF(b, at, ls.cf);
        if (at == 0) return;
        ls.present = true;
        out.levels[level] = ls;
        out.present = true;
    }
}

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
