// The host document: builder, fault injection, call counts and the change log.

#include "HostObjects.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace PowerPoint {
namespace Host {

bool FontData::operator==(const FontData& o) const {
    return name == o.name && nameAscii == o.nameAscii && nameFarEast == o.nameFarEast && nameOther == o.nameOther &&
           nameComplexScript == o.nameComplexScript && size == o.size && baselineOffset == o.baselineOffset &&
           bold == o.bold && italic == o.italic && underline == o.underline && shadow == o.shadow &&
           emboss == o.emboss && subscript == o.subscript && superscript == o.superscript && color.rgb == o.color.rgb &&
           color.scheme == o.color.scheme;
}

// ---- Character fonts ---------------------------------------------------------------------------

bool CharFontList::SameFont(std::size_t i, std::size_t j) const {
    if (!m_store->perCharacter && m_store->index[i] == m_store->index[j]) return true;
    return m_store->At(i) == m_store->At(j);
}

void CharFontList::assign(std::size_t count, const FontData& font) {
    m_store.reset();
    if (count > 0) Splice(0, 0, count, font);
}

void CharFontList::Splice(std::size_t at, std::size_t removeCount, std::size_t insertCount, const FontData& font) {
    if (removeCount == 0 && insertCount == 0) return;
    Store& s = Own();
    if (s.perCharacter) {
        s.fonts.erase(s.fonts.begin() + at, s.fonts.begin() + at + removeCount);
        s.fonts.insert(s.fonts.begin() + at, insertCount, font);
        return;
    }
    s.index.erase(s.index.begin() + at, s.index.begin() + at + removeCount);
    if (insertCount == 0) return;
    // A neighbour's font is reused before the pool grows.
    std::uint32_t k;
    if (at > 0 && s.fonts[s.index[at - 1]] == font)
        k = s.index[at - 1];
    else if (at < s.index.size() && s.fonts[s.index[at]] == font)
        k = s.index[at];
    else
        k = Intern(s, font);
    s.index.insert(s.index.begin() + at, insertCount, k);
}

CharFontList::Store& CharFontList::Own() {
    if (!m_store)
        m_store = std::make_shared<Store>();
    else if (m_store.use_count() > 1)
        m_store = std::make_shared<Store>(*m_store);
    return *m_store;
}

std::vector<FontData>& CharFontList::PerCharacter() {
    Store& s = Own();
    if (!s.perCharacter) {
        std::vector<FontData> fonts;
        fonts.reserve(s.index.size());
        for (std::uint32_t k : s.index) fonts.push_back(s.fonts[k]);
        s.fonts = std::move(fonts);
        s.index = std::vector<std::uint32_t>();
        s.perCharacter = true;
    }
    return s.fonts;
}

std::uint32_t CharFontList::Intern(Store& s, FontData font) {
    if (s.fonts.empty() || !(s.fonts.back() == font)) s.fonts.push_back(std::move(font));
    return static_cast<std::uint32_t>(s.fonts.size() - 1);
}

// ---- Texts ------------------------------------------------------------------------------------

LONG TextData::ParagraphCount() const { return static_cast<LONG>(std::count(text.begin(), text.end(), L'\r')) + 1; }

void TextData::AddRun(const std::wstring& runText, const FontData& font, const ParagraphData& paragraph) {
    if (text.empty() && paragraphs.empty()) paragraphs.push_back(paragraph);
    for (wchar_t c : runText) {
        text.push_back(c);
        charFonts.push_back(font);
        if (c == L'\r') paragraphs.push_back(paragraph);
    }
    Normalize();
}

void TextData::Normalize() {
    FontData fill = charFonts.empty() ? FontData() : charFonts.back();
    charFonts.resize(text.size(), fill);
    std::size_t count = static_cast<std::size_t>(ParagraphCount());
    ParagraphData last = paragraphs.empty() ? ParagraphData() : paragraphs.back();
    paragraphs.resize(count, last);
    const LONG size = static_cast<LONG>(text.size());
    links.erase(
        std::remove_if(links.begin(), links.end(),
                       [size](const TextLinkData& l) { return l.start < 0 || l.length <= 0 || l.start >= size; }),
        links.end());
    for (TextLinkData& l : links) l.length = std::min(l.length, size - l.start);
    fields.erase(std::remove_if(fields.begin(), fields.end(),
                                [size](const TextFieldData& f) { return f.position < 0 || f.position >= size; }),
                 fields.end());
}

void TextData::ExpandFields() {
    std::vector<TextFieldData> order = fields;
    fields.clear();
    // Last first, so earlier positions stay valid; one value per position.
    std::sort(order.begin(), order.end(),
              [](const TextFieldData& a, const TextFieldData& b) { return a.position > b.position; });
    LONG last = -1;
    for (const TextFieldData& f : order) {
        const LONG pos = f.position;
        if (pos < 0 || pos >= static_cast<LONG>(text.size()) || pos == last || text[pos] == L'\r') continue;
        last = pos;
        const FontData font = std::as_const(charFonts)[static_cast<std::size_t>(pos)];
        text.replace(static_cast<std::size_t>(pos), 1, f.value);
        charFonts.Splice(static_cast<std::size_t>(pos), 1, f.value.size(), font);
        const LONG grow = static_cast<LONG>(f.value.size()) - 1;
        for (TextLinkData& l : links) {
            if (l.start > pos)
                l.start += grow;
            else if (l.start + l.length > pos)
                l.length += grow;
        }
    }
    Normalize();
}

std::wstring TagName(const std::wstring& name) {
    std::wstring upper = name;
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return upper;
}

// ---- Nodes ------------------------------------------------------------------------------------

bool CHostNode::IsDeleted() const {
    for (const CHostNode* n = this; n; n = n->m_owner)
        if (n->deleted) return true;
    return false;
}

bool CHostNode::IsOriginal() const {
    for (const CHostNode* n = this; n; n = n->m_owner)
        if (!n->original) return false;
    return true;
}

CHostShape::CHostShape(CHostDocument* doc, CHostNode* owner) : CHostNode(doc, owner) {}

CHostSlide* CHostShape::Slide() const { return dynamic_cast<CHostSlide*>(m_owner); }

std::wstring CHostShape::Describe() const {
    return L"shape '" + data.name + L"' (" + (m_owner ? m_owner->Describe() : std::wstring(L"nowhere")) + L")";
}

CComPtr<PowerPoint::Shape> CHostShape::Interface() { return CComPtr<PowerPoint::Shape>(ShapeObject(this)); }

CHostShape& CHostShape::SetText(const std::wstring& text, const FontData& font) {
    data.hasTextFrame = msoTrue;
    data.text.text.clear();
    data.text.charFonts.clear();
    data.text.paragraphs.clear();
    data.text.links.clear();
    data.text.AddRun(text, font);
    return *this;
}

CHostEffect::CHostEffect(CHostDocument* doc, CHostSlide* slide) : CHostNode(doc, slide) {}

std::wstring CHostEffect::Describe() const {
    return L"effect (" + (m_owner ? m_owner->Describe() : std::wstring()) + L")";
}

CHostMaster::CHostMaster(CHostDocument* doc) : CHostNode(doc, nullptr) {}

std::wstring CHostMaster::Describe() const { return L"master"; }

CComPtr<PowerPoint::_Master> CHostMaster::Interface() { return CComPtr<PowerPoint::_Master>(MasterObject(this)); }

CHostSlide::CHostSlide(CHostDocument* doc, CHostMaster* m) : CHostNode(doc, nullptr), master(m) {}

std::wstring CHostSlide::Describe() const { return L"slide " + std::to_wstring(slideId); }

CComPtr<PowerPoint::_Slide> CHostSlide::Interface() { return CComPtr<PowerPoint::_Slide>(SlideObject(this)); }

CHostShape* CHostSlide::AddShape(MsoShapeType type, const std::wstring& shapeName, float left, float top, float width,
                                 float height) {
    CHostShape* shape = m_doc->Make<CHostShape>(m_doc, this);
    shape->data.type = type;
    shape->data.name = shapeName;
    shape->data.id = m_doc->NewShapeId();
    shape->data.left = left;
    shape->data.top = top;
    shape->data.width = width;
    shape->data.height = height;
    if (type == msoTextBox || type == msoPlaceholder || type == msoAutoShape) shape->data.hasTextFrame = msoTrue;
    if (type == msoTextBox)
        shape->data.autoShapeType = msoShapeRectangle;
    else if (type != msoAutoShape)
        shape->data.autoShapeType = msoShapeNotPrimitive;
    shapes.push_back(shape);
    return shape;
}

CHostShape* CHostSlide::AddTextBox(const std::wstring& shapeName, float left, float top, float width, float height,
                                   const std::wstring& text) {
    CHostShape* shape = AddShape(msoTextBox, shapeName, left, top, width, height);
    shape->data.fill.visible = msoFalse;
    shape->data.line.visible = msoFalse;
    shape->SetText(text);
    return shape;
}

CHostEffect* CHostSlide::AddEffect(CHostShape* target, MsoAnimEffect type) {
    CHostEffect* effect = m_doc->Make<CHostEffect>(m_doc, this);
    effect->data.shape = target;
    effect->data.effectType = type;
    effects.push_back(effect);
    return effect;
}

CHostSequence* CHostSlide::AddInteractiveSequence(CHostShape* trigger) {
    CHostSequence* sequence = m_doc->Make<CHostSequence>(m_doc, this);
    sequence->trigger = trigger;
    interactiveSequences.push_back(sequence);
    return sequence;
}

CHostSequence::CHostSequence(CHostDocument* doc, CHostSlide* slide) : CHostNode(doc, slide) {}

std::wstring CHostSequence::Describe() const {
    return L"interactive sequence (" + (m_owner ? m_owner->Describe() : std::wstring()) + L")";
}

CHostEffect* CHostSequence::AddEffect(CHostShape* target, MsoAnimEffect type) {
    CHostEffect* effect = m_doc->Make<CHostEffect>(m_doc, static_cast<CHostSlide*>(m_owner));
    effect->data.shape = target;
    effect->data.effectType = type;
    effect->data.triggerType = msoAnimTriggerOnShapeClick;
    effect->sequence = this;
    effects.push_back(effect);
    return effect;
}

LONG CHostSlide::SlideIndex() const {
    const auto& slides = m_doc->Slides();
    auto it = std::find(slides.begin(), slides.end(), this);
    return it == slides.end() ? 0 : static_cast<LONG>(it - slides.begin()) + 1;
}

// ---- Document ---------------------------------------------------------------------------------

CHostDocument::CHostDocument() { m_master = Make<CHostMaster>(this); }

CHostDocument::~CHostDocument() {
    // Interfaces first: they only point into the state.
    m_cache.Clear();
    for (Object* object : m_objects) object->~Object();
    m_objects.clear();
    m_objectBlocks.clear();
    m_nodes.clear();
}

CHostDocumentRef CHostDocument::Create() { return CHostDocumentRef(new CHostDocument()); }

ULONG CHostDocument::AddRef() { return ++m_refs; }

ULONG CHostDocument::Release() {
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

CHostSlide* CHostDocument::AddSlide() {
    CHostSlide* slide = Make<CHostSlide>(this, m_master);
    slide->slideId = NewSlideId();
    slide->name = L"Slide" + std::to_wstring(slide->slideId);
    m_slides.push_back(slide);
    return slide;
}

namespace {

// Objects are laid out in blocks of this size (larger ones get a block of their own).
constexpr std::size_t kObjectBlockSize = 64 * 1024;

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    h = (h ^ v) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
}

}  // namespace

void* CHostDocument::ObjectRoom(std::size_t size) {
    constexpr std::size_t unit = sizeof(std::max_align_t);
    size = (size + unit - 1) / unit * unit;
    if (size > kObjectBlockSize) {
        // A block of its own; the current block keeps its room.
        m_objectBlocks.push_back(std::make_unique<std::max_align_t[]>(size / unit));
        return m_objectBlocks.back().get();
    }
    if (m_blockLeft < size) {
        m_objectBlocks.push_back(std::make_unique<std::max_align_t[]>(kObjectBlockSize / unit));
        m_blockFree = reinterpret_cast<unsigned char*>(m_objectBlocks.back().get());
        m_blockLeft = kObjectBlockSize;
    }
    void* room = m_blockFree;
    m_blockFree += size;
    m_blockLeft -= size;
    return room;
}

std::size_t CHostDocument::CacheSlot::Hash() const {
    std::uint64_t h = Mix(reinterpret_cast<std::uintptr_t>(key), reinterpret_cast<std::uintptr_t>(kind));
    h = Mix(h, static_cast<std::uint64_t>(a));
    return static_cast<std::size_t>(Mix(h, static_cast<std::uint64_t>(b)));
}

std::size_t CHostDocument::LiteralSlot::Hash() const {
    return static_cast<std::size_t>(
        Mix(reinterpret_cast<std::uintptr_t>(interfaceName), reinterpret_cast<std::uintptr_t>(member)));
}

CHostDocument::Object* CHostDocument::Find(const void* key, const void* kind, std::int64_t a, std::int64_t b) const {
    const CacheSlot* found = m_cache.Find(CacheSlot{key, kind, a, b, nullptr});
    return found ? found->object : nullptr;
}

void CHostDocument::Kept(Object* object, const void* key, const void* kind, std::int64_t a, std::int64_t b) {
    m_objects.push_back(object);
    if (!kind) return;
    // Recorded in both or in neither: the caller destroys an object Kept could not record, so
    // one left in the list would be destroyed a second time with the document.
    try {
        m_cache.Put(CacheSlot{key, kind, a, b, object});
    } catch (...) {
        m_objects.pop_back();
        throw;
    }
}

namespace {
bool MemberMatches(const std::string& pattern, const std::string& member) {
    if (pattern == "*" || pattern == member) return true;
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0)
        return member.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    return false;
}
}  // namespace

void CHostDocument::Fail(const std::string& member, HRESULT hr, const void* key, int times, int skip) {
    m_faults.push_back({member, hr, key, times, skip});
}

void CHostDocument::ClearFaults() { m_faults.clear(); }

int CHostDocument::Calls(const std::string& member, const void* key) const {
    auto named = m_memberNumbers.find(member);
    if (named == m_memberNumbers.end()) return 0;
    if (!key) return m_totalCalls[named->second];
    auto it = m_calls.find({key, named->second});
    return it == m_calls.end() ? 0 : it->second;
}

void CHostDocument::ResetCalls() {
    m_calls.clear();
    std::fill(m_totalCalls.begin(), m_totalCalls.end(), 0);
}

std::uint32_t CHostDocument::MemberNumber(const std::string& name) {
    auto it = m_memberNumbers.find(name);
    if (it != m_memberNumbers.end()) return it->second;
    const auto number = static_cast<std::uint32_t>(m_memberNames.size());
    m_memberNames.push_back(name);
    m_totalCalls.push_back(0);
    m_memberNumbers.emplace(name, number);
    return number;
}

std::uint32_t CHostDocument::MemberNumber(const char* interfaceName, const char* member) {
    if (const LiteralSlot* found = m_literalNumbers.Find(LiteralSlot{interfaceName, member, 0})) return found->number;
    const std::uint32_t number = MemberNumber(std::string(interfaceName) + "." + member);
    m_literalNumbers.Put(LiteralSlot{interfaceName, member, number});
    return number;
}

HRESULT CHostDocument::Enter(const CHostNode* node, const void* key, const char* member) {
    return Enter(node, key, MemberNumber(std::string(member)));
}

HRESULT CHostDocument::Enter(const CHostNode* node, const void* key, const char* interfaceName, const char* member) {
    return Enter(node, key, MemberNumber(interfaceName, member));
}

HRESULT CHostDocument::Enter(const CHostNode* node, const void* key, std::uint32_t number) {
    ++m_totalCalls[number];
    if (countCallsByObject) {
        ++m_calls[{key, number}];
        if (node && node != key) ++m_calls[{node, number}];
    }
    for (FaultRule& rule : m_faults) {
        if (!MemberMatches(rule.member, m_memberNames[number])) continue;
        if (rule.key && rule.key != key && rule.key != node) continue;
        if (rule.skip > 0) {
            --rule.skip;
            continue;
        }
        if (rule.times == 0) continue;
        if (rule.times > 0) --rule.times;
        return rule.hr;
    }
    if (node && node->IsDeleted()) return HOST_E_DELETED;
    return S_OK;
}

void CHostDocument::Written(const CHostNode* node, const char* member) {
    ++m_revision;
    if (!node)
        m_changes.push_back({L"presentation", member});
    else if (node->IsOriginal() && !node->IsDeleted())
        m_changes.push_back({node->Describe(), member});
}

}  // namespace Host
}  // namespace PowerPoint
