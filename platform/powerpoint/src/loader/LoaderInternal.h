#pragma once
// Shared state and record helpers of the presentation file loader.

#include "powerpoint/loader/PptLoader.h"

#include "libpptparser/PersistDirectory.h"
#include "libpptparser/PptRecord.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace PowerPoint {
namespace Loader {
namespace Detail {

using libpptparser::CPptByteView;
using libpptparser::CPptContainer;
using libpptparser::CPptRecord;
using RecordPtr = std::shared_ptr<CPptRecord>;
using ContainerPtr = std::shared_ptr<CPptContainer>;

// Record types the loader reads beyond the parser's own list.
enum : std::uint16_t {
    kDocumentAtom = 1001,
    kEndDocument = 1002,
    kSlideShowSlideInfoAtom = 1017,
    kMainMaster = 1016,
    kNotes = 1008,
    kExObjList = 1033,
    kPPDrawingGroup = 1035,
    kColorSchemeAtom = 2032,
    kList = 2000,
    kExObjRefAtom = 3009,
    kOEPlaceholderAtom = 3011,
    kTextMasterStyleAtom = 4003,
    kTextCFExceptionAtom = 4004,
    kTextPFExceptionAtom = 4005,
    kTextRulerAtom = 4006,
    kMasterTextPropAtom = 4002,
    kStyleTextProp9Atom = 4012,
    kExOleLink = 4046,
    kExOleEmbed = 4044,
    kExOleObjAtom = 4035,
    kExHyperlinkAtom = 4051,
    kExHyperlink = 4055,
    kHeadersFooters = 4057,
    kHeadersFootersAtom = 4058,
    kTxInteractiveInfoAtom = 4063,
    kExControl = 4078,
    kInteractiveInfo = 4082,
    kInteractiveInfoAtom = 4083,
    kUserEditAtom = 4085,
    kGenericDateMCAtom = 4088,
    kHeaderMCAtom = 4089,
    kFooterMCAtom = 4090,
    kRtfDateTimeMCAtom = 4117,
    kExAviMovie = 4102,
    kExMCIMovie = 4103,
    kExMediaAtom = 4100,
    kExMIDIAudio = 4109,
    kExCDAudio = 4110,
    kExWAVAudioEmbedded = 4111,
    kExWAVAudioLink = 4112,
    kExWAVAudioEmbeddedAtom = 4115,
    kProgStringTag = 5001,
    kPersistDirectoryAtom = 6002,
    kEscherDggContainer = 0xF000,
    kEscherBStoreContainer = 0xF001,
    kEscherBSE = 0xF007,
    kEscherChildAnchor = 0xF00F,
    kEscherSecondaryOPT = 0xF121,
    kEscherTertiaryOPT = 0xF122,
};

// ---- record lookups (direct children only) ----------------------------------------------------
RecordPtr FirstChild(const CPptContainer* c, std::uint16_t type);
RecordPtr FirstChild(const CPptContainer* c, std::uint16_t type, std::uint16_t instance);
ContainerPtr ChildContainer(const CPptContainer* c, std::uint16_t type);
ContainerPtr AsContainer(const RecordPtr& r);
std::vector<RecordPtr> Children(const CPptContainer* c, std::uint16_t type);
// The UTF-16 text of a CString or text-characters atom, or the Latin-1 text of a text-bytes atom.
std::wstring RecordText(const CPptRecord& r);
// Text of the first CString child of this instance; empty if none.
std::wstring CStringChild(const CPptContainer* c, std::uint16_t instance);

// ---- drawing properties ------------------------------------------------------------------------
struct OptProperty {
    std::uint16_t id = 0;
    bool blip = false;
    bool complex = false;
    std::uint32_t value = 0;
    CPptByteView complexData;  // for complex properties: `value` bytes after the table
};

// The shape's properties of the primary, secondary and tertiary tables; the first table that
// has an id wins.
class COptTable {
public:
    void Add(const CPptRecord& record);
    const OptProperty* Find(std::uint16_t id) const;
    bool Get(std::uint16_t id, std::uint32_t& value) const;
    std::uint32_t Value(std::uint16_t id, std::uint32_t fallback) const;
    // A boolean of a packed boolean property: `bit` is the value bit, its use bit 16 above.
    // Unset: `fallback`.
    bool Flag(std::uint16_t id, int bit, bool fallback) const;
    std::wstring String(std::uint16_t id) const;
    bool Empty() const { return m_props.empty(); }

private:
    std::vector<OptProperty> m_props;
};

// ---- text formats -------------------------------------------------------------------------------
struct TextPF {
    std::uint32_t mask = 0;
    std::uint16_t bulletFlags = 0;
    std::uint16_t bulletChar = 0;
    std::uint16_t bulletFont = 0;
    std::int16_t bulletSize = 0;
    std::uint32_t bulletColor = 0;
    std::uint16_t alignment = 0;
    std::int16_t lineSpacing = 0, spaceBefore = 0, spaceAfter = 0;
    std::uint16_t leftMargin = 0, indent = 0, defaultTabSize = 0;
    std::uint16_t fontAlign = 0, wrapFlags = 0, textDirection = 0;
    // From the extension records of later versions.
    bool hasNumbering = false, numbered = false;
    std::uint16_t numberScheme = 3;
    std::int16_t numberStart = 1;
};

struct TextCF {
    std::uint32_t mask = 0;
    std::uint16_t style = 0;
    std::uint16_t font = 0, farEastFont = 0, ansiFont = 0, symbolFont = 0;
    std::uint16_t size = 0;
    std::uint32_t color = 0;
    std::int16_t position = 0;
};

// Read an exception at `offset`; the offset behind it, or 0 when it runs past the data.
std::size_t ReadTextPF(const CPptByteView& b, std::size_t offset, TextPF& out);
std::size_t ReadTextCF(const CPptByteView& b, std::size_t offset, TextCF& out);
// Fills what `dst` lacks from `src`.
void Overlay(TextPF& dst, const TextPF& src);
void Overlay(TextCF& dst, const TextCF& src);

struct LevelStyle {
    bool present = false;
    TextPF pf;
    TextCF cf;
};
struct TextTypeStyle {
    bool present = false;
    LevelStyle levels[5];
};
constexpr int kTextTypes = 9;
// Reads a text master style atom into the style of its instance.
void ReadMasterStyle(const CPptRecord& atom, TextTypeStyle& out);

// ---- load state ---------------------------------------------------------------------------------
struct BlipData {
    std::vector<std::uint8_t> bytes;  // a PNG, JPEG, BMP, WMF or EMF file
    std::string kind;                 // "png", "jpeg", "bmp", "wmf", "emf", "pict", "tiff"
};

struct HyperlinkEntry {
    std::wstring friendlyName, target, location;
};

struct SoundEntry {
    std::wstring name, extension;
    std::vector<std::uint8_t> data;
};

struct MasterState {
    Host::CHostMaster* host = nullptr;
    std::uint32_t slideId = 0;
    bool titleMaster = false;
    MasterState* base = nullptr;  // a title master's main master
    TextTypeStyle styles[kTextTypes];
    ULONG scheme[8] = {0xFFFFFF, 0x000000, 0x808080, 0x000000, 0xBBE0E3, 0x998033, 0xFFFFFF, 0x00CC99};
    // Placeholder shapes by placeholder type: their properties and text formats are inherited.
    struct Placeholder {
        COptTable opt;
        int textType = -1;
    };
    std::map<int, Placeholder> placeholders;
};

// What a slide's shapes need while they are read.
struct SheetState {
    Host::CHostSlide* slide = nullptr;  // null for a master
    Host::CHostMaster* hostMaster = nullptr;
    MasterState* master = nullptr;  // the slide's master; for a master: itself
    const ULONG* scheme = nullptr;
    LONG slideNumber = 0;
    // The slide's outline texts (the records after its persist atom in the slide list).
    std::vector<RecordPtr> outline;
    std::vector<std::size_t> outlineHeaders;  // positions of the text headers in `outline`
    std::vector<Host::CHostShape*>* shapes = nullptr;
    Host::HeadersFootersData headersFooters;
    bool isMaster = false;
};

class CLoadContext {
public:
    CLoadContext(Host::CHostDocument* doc, LoadResult& result, const LoadOptions& options)
        : doc(doc), result(result), options(options), copyBudget(options.maxCopiedBytes) {}
    void Warn(const std::wstring& text);

    Host::CHostDocument* doc;
    LoadResult& result;
    const LoadOptions& options;

    // Where the latest save's objects are, shared with the parser so that both read the same slides.
    std::shared_ptr<const libpptparser::CPersistDirectory> directory;
    ContainerPtr document;
    ContainerPtr environment;

    float slideWidth = 720.0f, slideHeight = 540.0f;
    std::vector<std::wstring> fonts;
    TextPF defaultPF;
    TextCF defaultCF;
    TextTypeStyle documentStyles[kTextTypes];
    std::vector<BlipData> blips;  // by blip store position (1-based references)
    std::map<std::uint32_t, HyperlinkEntry> hyperlinks;
    std::map<std::uint32_t, SoundEntry> sounds;
    std::map<std::uint32_t, ContainerPtr> exObjects;
    std::vector<std::unique_ptr<MasterState>> masters;
    std::map<std::uint32_t, Host::CHostSlide*> slidesById;
    std::map<std::uint32_t, LONG> slideNumbersById;
    std::map<std::uint32_t, std::wstring> slideTitlesById;
    Host::HeadersFootersData documentHeadersFooters;
    std::uint32_t maxShapeId = 0;
    std::map<std::uint32_t, COptTable> masterShapes;  // by shape id
    // Pictures and sounds are copied into every shape that shows them; a file that names one
    // huge picture from many shapes must not multiply it without end.
    std::uint64_t copyBudget;
    bool CanCopy(std::size_t bytes);

    RecordPtr RecordAtPersist(std::uint32_t persistId) const;
    MasterState* FindMaster(std::uint32_t masterId) const;
};

// ---- the parts ----------------------------------------------------------------------------------
// Pictures of the drawing group's blip store, from the store itself or the "Pictures" stream.
void LoadBlips(CLoadContext& ctx, const std::vector<std::uint8_t>& picturesStream);
// Turns one blip record (0xF018-0xF117) into a picture file; false when it is not one.
bool DecodeBlip(const CPptRecord& blip, BlipData& out, std::wstring& problem);
bool DecodeBlipBytes(const std::uint8_t* data, std::size_t size, BlipData& out, std::wstring& problem);

// The shapes of a drawing (slide or master) into the host.
void LoadDrawing(CLoadContext& ctx, SheetState& sheet, const CPptContainer& sheetRecord);
// The background shape's fill.
// false when the sheet has no background shape.
bool ReadBackground(CLoadContext& ctx, SheetState& sheet, const CPptContainer& sheetRecord, Host::BackgroundData& out);

// A colour of a drawing property into host form.
Host::ColorData OptColor(std::uint32_t value, const ULONG* scheme, ULONG fallback);

// Text of one text box into the host.
struct TextSource {
    int textType = 4;
    std::wstring text;
    const CPptRecord* style = nullptr;      // style text property atom
    const CPptRecord* ruler = nullptr;      // text ruler atom
    const CPptRecord* style9 = nullptr;     // numbering extension
    const CPptRecord* levels = nullptr;     // master text levels (masters' own texts)
    std::vector<const CPptRecord*> extras;  // interactive info, fields, ...
};
void ResolveText(CLoadContext& ctx, SheetState& sheet, const TextSource& source,
                 const MasterState::Placeholder* inherited, Host::TextData& out);
// The load date (LoadOptions::fieldDate) in one of the file's date and time formats.
std::wstring DateText(const CLoadContext& ctx, int format);
Host::ActionData ReadInteractive(CLoadContext& ctx, const CPptContainer& interactiveInfo);

// Slide transition and the animation settings of the older model, and effects built from them.
void ReadTransition(const CPptContainer& slideRecord, Host::TransitionData& out);
void ReadAnimationInfo(CLoadContext& ctx, const CPptContainer& animationInfo, const ULONG* scheme,
                       Host::AnimationData& out);
void BuildEffects(CLoadContext& ctx, Host::CHostSlide& slide);
// The main sequence of the slide's own timeline; false when the slide holds none.
bool ReadTimeline(CLoadContext& ctx, const CPptContainer& slideRecord, Host::CHostSlide& slide);

}  // namespace Detail
}  // namespace Loader
}  // namespace PowerPoint
