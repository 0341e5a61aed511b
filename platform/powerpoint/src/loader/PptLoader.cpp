// Entry points of the loader: refusal of unreadable files, the edit chain and persist directory,
// the document, its masters and its slides.

#include "LoaderInternal.h"

#include "base/files/WholeFile.h"
#include "compoundfile/CompoundFile.h"
#include "libpptparser/PptAtoms.h"
#include "libpptparser/PptParserException.h"
#include "libpptparser/PptStrings.h"
#include "libpptparser/StreamParser.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

namespace PowerPoint {
namespace Loader {

CPptLoadError::CPptLoadError(Kind kind, const std::wstring& message)
    : std::runtime_error(libpptparser::WideToUtf8(message)), m_kind(kind), m_message(message) {}

namespace Detail {

using namespace Host;

namespace {

// Far more shapes or slides than any presentation holds; ids beyond are not reserved.
constexpr std::uint32_t kMaxReservedId = 1000000;
std::wstring BaseName(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Folder(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"/\\");
    if (slash == std::wstring::npos) return std::wstring();
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

}  // namespace

void CLoadContext::Warn(const std::wstring& text) {
    // A damaged file can repeat one fault many times; the list stays short.
    if (result.warnings.size() < 200) result.warnings.push_back(text);
}

bool CLoadContext::CanCopy(std::size_t bytes) {
    if (bytes > copyBudget) {
        if (copyBudget != 0)
            Warn(L"pictures and sounds shown by many shapes exceed what is kept; further copies were left out");
        copyBudget = 0;
        return false;
    }
    copyBudget -= bytes;
    return true;
}

RecordPtr CLoadContext::RecordAtPersist(std::uint32_t persistId) const {
    return directory ? directory->GetRecord(persistId) : nullptr;
}

MasterState* CLoadContext::FindMaster(std::uint32_t masterId) const {
    for (const auto& m : masters)
        if (m->slideId == masterId) return m.get();
    return nullptr;
}

namespace {

void ReadTags(const CPptContainer* owner, std::vector<TagData>& tags) {
    ContainerPtr prog = ChildContainer(owner, libpptparser::kRecordProgTags);
    if (!prog) return;
    for (const RecordPtr& r : prog->GetChildren()) {
        ContainerPtr tag = AsContainer(r);
        if (!tag || r->GetType() != libpptparser::kRecordProgStringTag) continue;
        const std::wstring name = CStringChild(tag.get(), 0);
        if (name.empty()) continue;
        tags.push_back({TagName(name), CStringChild(tag.get(), 1)});
    }
}

void ReadScheme(const CPptContainer& sheet, ULONG* scheme) {
    RecordPtr atom = FirstChild(&sheet, libpptparser::kRecordColorSchemeAtom, 1);
    if (!atom) return;
    const CPptByteView b = atom->GetBytes();
    if (b.size() < 32) return;
    for (int i = 0; i < 8; ++i) scheme[i] = b.U32(static_cast<std::size_t>(i) * 4) & 0xFFFFFF;
}

// A document keeps the slides' settings in instance 3; a slide keeps its own in any instance.
bool ReadHeadersFooters(const CLoadContext& ctx, const CPptContainer* owner, int instance, HeadersFootersData& out) {
    RecordPtr hf = instance >= 0
                       ? FirstChild(owner, libpptparser::kRecordHeadersFooters, static_cast<std::uint16_t>(instance))
                       : FirstChild(owner, libpptparser::kRecordHeadersFooters);
    ContainerPtr c = AsContainer(hf);
    if (!c) return false;
    RecordPtr atom = FirstChild(c.get(), libpptparser::kRecordHeadersFootersAtom);
    if (!atom) return false;
    const std::uint16_t flags = atom->GetBytes().U16(2);
    out.dateAndTime.visible = (flags & 0x1) ? msoTrue : msoFalse;
    out.slideNumber.visible = (flags & 0x8) ? msoTrue : msoFalse;
    out.header.visible = (flags & 0x10) ? msoTrue : msoFalse;
    out.footer.visible = (flags & 0x20) ? msoTrue : msoFalse;
    if (flags & 0x4)
        out.dateAndTime.text = CStringChild(c.get(), 0);
    else if (flags & 0x2)  // the date of the day, in the atom's format
        out.dateAndTime.text = DateText(ctx, atom->GetBytes().I16(0));
    else
        out.dateAndTime.text.clear();
    out.header.text = CStringChild(c.get(), 1);
    out.footer.text = CStringChild(c.get(), 2);
    return true;
}

void ReadEnvironment(CLoadContext& ctx) {
    ContainerPtr env = ctx.environment;
    if (ContainerPtr fonts = ChildContainer(env.get(), libpptparser::kRecordFontCollection)) {
        for (const RecordPtr& r : fonts->GetChildren()) {
            if (r->GetType() != libpptparser::kRecordFontEntityAtom) continue;
            const CPptByteView b = r->GetBytes();
            std::wstring name;
            for (std::size_t i = 0; i < 64 && b.Has(i, 2); i += 2) {
                const wchar_t c = static_cast<wchar_t>(b.U16(i));
                if (c == 0) break;
                name.push_back(c);
            }
            ctx.fonts.push_back(name);
        }
    }
    if (RecordPtr cf = FirstChild(env.get(), libpptparser::kRecordTextCFExceptionAtom))
        ReadTextCF(cf->GetBytes(), 0, ctx.defaultCF);
    if (RecordPtr pf = FirstChild(env.get(), libpptparser::kRecordTextPFExceptionAtom))
        ReadTextPF(pf->GetBytes(), 2, ctx.defaultPF);
    for (const RecordPtr& r : Children(env.get(), libpptparser::kRecordTextMasterStyleAtom))
        if (r->GetInstance() < kTextTypes) ReadMasterStyle(*r, ctx.documentStyles[r->GetInstance()]);
}

void ReadExObjects(CLoadContext& ctx) {
    ContainerPtr list = ChildContainer(ctx.document.get(), libpptparser::kRecordExObjList);
    if (!list) return;
    for (const RecordPtr& r : list->GetChildren()) {
        ContainerPtr c = AsContainer(r);
        if (!c) continue;
        std::uint32_t id = 0;
        bool known = true;
        switch (r->GetType()) {
        case libpptparser::kRecordExHyperlink: {
            RecordPtr atom = FirstChild(c.get(), libpptparser::kRecordExHyperlinkAtom);
            if (!atom) {
                known = false;
                break;
            }
            id = atom->GetBytes().U32(0);
            ctx.hyperlinks[id] = {CStringChild(c.get(), 0), CStringChild(c.get(), 1), CStringChild(c.get(), 3)};
            break;
        }
        case libpptparser::kRecordExOleEmbed:
        case libpptparser::kRecordExOleLink:
        case libpptparser::kRecordExControl: {
            RecordPtr atom = FirstChild(c.get(), libpptparser::kRecordExOleObjAtom);
            known = atom != nullptr;
            if (atom) id = atom->GetBytes().U32(8);
            break;
        }
        default: {
            RecordPtr atom = FirstChild(c.get(), libpptparser::kRecordExMediaAtom);
            known = atom != nullptr;
            if (atom) id = atom->GetBytes().U32(0);
            break;
        }
        }
        if (known) ctx.exObjects[id] = c;
    }
}

void ReadSounds(CLoadContext& ctx) {
    ContainerPtr coll = ChildContainer(ctx.document.get(), libpptparser::kRecordSoundCollection);
    if (!coll) return;
    for (const RecordPtr& r : coll->GetChildren()) {
        ContainerPtr c = AsContainer(r);
        if (!c || r->GetType() != libpptparser::kRecordSound) continue;
        const std::wstring idText = CStringChild(c.get(), 2);
        if (idText.empty()) {
            ctx.Warn(L"a sound without an id was skipped");
            continue;
        }
        SoundEntry e;
        e.name = CStringChild(c.get(), 0);
        e.extension = CStringChild(c.get(), 1);
        if (RecordPtr data = FirstChild(c.get(), libpptparser::kRecordSoundData)) {
            const CPptByteView b = data->GetBytes();
            e.data.assign(b.data(), b.data() + b.size());
        }
        ctx.sounds[static_cast<std::uint32_t>(libpptparser::ParseInteger(idText))] = std::move(e);
    }
}

void ReadMasters(CLoadContext& ctx) {
    bool firstMain = true;
    std::vector<std::pair<MasterState*, ContainerPtr>> loaded;
    for (const libpptparser::CSlideListEntry& e : ctx.directory->GetSlideList(1)) {
        const ContainerPtr& rec = e.sheet;
        if (!rec) {
            ctx.Warn(L"master " + std::to_wstring(e.slideId) + L" is missing from the file");
            continue;
        }
        auto state = std::make_unique<MasterState>();
        state->slideId = e.slideId;
        state->titleMaster = rec->GetType() == libpptparser::kRecordSlide;
        if (!state->titleMaster && firstMain) {
            state->host = ctx.doc->Master();
            firstMain = false;
        } else {
            state->host = ctx.doc->Make<CHostMaster>(ctx.doc);
        }
        state->host->width = ctx.slideWidth;
        state->host->height = ctx.slideHeight;
        ReadScheme(*rec, state->scheme);
        std::copy(std::begin(state->scheme), std::end(state->scheme), state->host->colorScheme);
        for (const RecordPtr& r : Children(rec.get(), libpptparser::kRecordTextMasterStyleAtom))
            if (r->GetInstance() < kTextTypes) ReadMasterStyle(*r, state->styles[r->GetInstance()]);
        loaded.emplace_back(state.get(), rec);
        ctx.masters.push_back(std::move(state));
    }
    // A title master follows its main master's styles, and its background where it says so.
    std::vector<MasterState*> followBackground;
    for (auto& [state, rec] : loaded) {
        if (!state->titleMaster) continue;
        if (RecordPtr atom = FirstChild(rec.get(), libpptparser::kRecordSlideAtom)) {
            MasterState* base = ctx.FindMaster(atom->GetBytes().U32(12));
            if (base != state && base && !base->titleMaster) {
                state->base = base;
                if (atom->GetBytes().U16(20) & 0x4) followBackground.push_back(state);
            }
        }
    }
    // Shapes after all styles are known.
    for (auto& [state, rec] : loaded) {
        SheetState sheet;
        sheet.hostMaster = state->host;
        sheet.master = state;
        sheet.scheme = state->scheme;
        sheet.isMaster = true;
        sheet.shapes = &state->host->shapes;
        sheet.headersFooters = ctx.documentHeadersFooters;
        state->host->headersFooters = ctx.documentHeadersFooters;
        ReadHeadersFooters(ctx, rec.get(), -1, state->host->headersFooters);
        ReadTags(rec.get(), state->host->tags);
        ReadBackground(ctx, sheet, *rec, state->host->background);
        LoadDrawing(ctx, sheet, *rec);
    }
    for (MasterState* state : followBackground) state->host->background = state->base->host->background;
}

MasterState* DefaultMaster(CLoadContext& ctx) {
    for (const auto& m : ctx.masters)
        if (m->host == ctx.doc->Master()) return m.get();
    return nullptr;
}

void ReadSlides(CLoadContext& ctx) {
    LONG number = 1;
    if (RecordPtr atom = FirstChild(ctx.document.get(), libpptparser::kRecordDocumentAtom))
        number = std::max<LONG>(0, static_cast<std::int16_t>(atom->GetBytes().U16(32)));
    for (const libpptparser::CSlideListEntry& e : ctx.directory->GetSlideList(0)) {
        const ContainerPtr& rec = e.sheet;
        if (!rec) {
            ctx.Warn(L"slide " + std::to_wstring(e.slideId) + L" is missing from the file and was left out");
            continue;
        }
        MasterState* master = nullptr;
        std::uint16_t slideFlags = 0;
        if (RecordPtr atom = FirstChild(rec.get(), libpptparser::kRecordSlideAtom)) {
            master = ctx.FindMaster(atom->GetBytes().U32(12));
            slideFlags = atom->GetBytes().U16(20);
        } else {
            ctx.Warn(L"slide " + std::to_wstring(e.slideId) + L" has no slide atom");
        }
        if (!master) master = DefaultMaster(ctx);

        CHostSlide* slide = ctx.doc->AddSlide();
        if (e.persistAtom) {  // otherwise the slide keeps the new id it was given
            slide->slideId = static_cast<LONG>(e.slideId);
            slide->name = L"Slide" + std::to_wstring(slide->slideId);
        }
        if (master) slide->master = master->host;
        ctx.slidesById[static_cast<std::uint32_t>(slide->slideId)] = slide;

        SheetState sheet;
        sheet.slide = slide;
        sheet.master = master;
        sheet.slideNumber = number++;
        sheet.outline = e.outline;
        for (std::size_t k = 0; k < sheet.outline.size(); ++k)
            if (sheet.outline[k]->GetType() == libpptparser::kRecordTextHeaderAtom) sheet.outlineHeaders.push_back(k);
        sheet.shapes = &slide->shapes;
        // The slide's own scheme unless it follows its master's.
        if (master && (slideFlags & 0x2))
            std::copy(std::begin(master->scheme), std::end(master->scheme), slide->colorScheme);
        else if (master)
            std::copy(std::begin(master->scheme), std::end(master->scheme), slide->colorScheme);
        if (!(slideFlags & 0x2)) ReadScheme(*rec, slide->colorScheme);
        sheet.scheme = slide->colorScheme;

        slide->headersFooters = ctx.documentHeadersFooters;
        ReadHeadersFooters(ctx, rec.get(), -1, slide->headersFooters);
        sheet.headersFooters = slide->headersFooters;
        ReadTransition(*rec, slide->transition);
        ReadTags(rec.get(), slide->tags);

        // A slide that follows its master's background shows the master's; it keeps a copy, so
        // that it looks the same when it stops following.
        if (slideFlags & 0x4) {
            slide->followMasterBackground = msoTrue;
            if (master) slide->background = master->host->background;
        } else {
            slide->followMasterBackground = msoFalse;
            // A damaged sheet without its background shape keeps showing the master's.
            if (!ReadBackground(ctx, sheet, *rec, slide->background) && master)
                slide->background = master->host->background;
        }

        LoadDrawing(ctx, sheet, *rec);
        // The application builds a timeline from the older settings only when there is none.
        if (!ReadTimeline(ctx, *rec, *slide)) BuildEffects(ctx, *slide);
    }
}

std::vector<std::uint8_t> PlainCopy(const libpptparser::CStreamParser& parser) {
    std::vector<compoundfile::CCompoundFileStreamData> streams{{"PowerPoint Document", parser.GetStreamBytes()}};
    // The reader names the property-set streams without their leading control character.
    const std::pair<const char*, const char*> others[] = {
        {"Current User", "Current User"},
        {"Pictures", "Pictures"},
        {"SummaryInformation", "\x05SummaryInformation"},
        {"DocumentSummaryInformation", "\x05DocumentSummaryInformation"}};
    for (const auto& [found, written] : others) {
        compoundfile::CCompoundFileStream s(parser.GetStorage(), parser.GetStreamPath(found));
        if (!s.Failed()) streams.push_back({written, s.ReadAll()});
    }
    return compoundfile::WriteCompoundFile(streams);
}

LoadResult Load(std::vector<std::uint8_t> bytes, const std::wstring& fullPath, const LoadOptions& options) {
    const std::wstring fileName = BaseName(fullPath);
    LoadResult result;
    result.document = CHostDocument::Create();
    CHostDocument* doc = result.document.Get();
    doc->version = options.version;
    doc->countCallsByObject = false;
    doc->name = fileName;
    doc->path = Folder(fullPath);

    auto storage = std::make_unique<compoundfile::CCompoundFileStorage>(bytes);
    libpptparser::CStreamParser parser(std::move(storage));
    try {
        parser.Parse();
    } catch (const libpptparser::CPptParserException& e) {
        CPptLoadError::Kind kind = CPptLoadError::kDamaged;
        switch (e.GetKind()) {
        case libpptparser::CPptParserException::kEncrypted:
            kind = CPptLoadError::kEncrypted;
            break;
        case libpptparser::CPptParserException::kOlderFormat:
            kind = CPptLoadError::kOlderFormat;
            break;
        case libpptparser::CPptParserException::kNotPresentation:
            kind = CPptLoadError::kNotPresentation;
            break;
        // The bytes were read already; a file too short for its header is damaged.
        case libpptparser::CPptParserException::kCannotOpen:
        case libpptparser::CPptParserException::kDamaged:
            break;
        }
        throw CPptLoadError(kind, L"\"" + fileName + L"\" cannot be opened: " + e.GetMessage());
    }

    CLoadContext ctx(doc, result, options);
    ctx.directory = parser.GetPersistDirectory();

    const compoundfile::CCompoundFileStorage& store = parser.GetStorage();
    std::vector<std::uint8_t> pictures;
    {
        // A file saved for PowerPoint 95 as well keeps its pictures beside the presentation's stream.
        compoundfile::CCompoundFileStream p(store, parser.GetStreamPath("Pictures"));
        if (!p.Failed()) pictures = p.ReadAll();
    }

    for (const std::wstring& warning : ctx.directory->GetWarnings()) ctx.Warn(warning);
    if (ctx.directory->IsRecovered()) {
        result.usedEditChain = false;
        ctx.Warn(
            L"the file was recovered: its chain of edits is damaged, so its slides were taken from every "
            L"persist directory in stream order");
    }
    ctx.document = ctx.directory->GetDocument();
    if (!ctx.document)
        throw CPptLoadError(CPptLoadError::kDamaged,
                            L"\"" + fileName + L"\" cannot be opened: the presentation's document record is missing");

    if (RecordPtr atom = FirstChild(ctx.document.get(), libpptparser::kRecordDocumentAtom)) {
        const CPptByteView b = atom->GetBytes();
        const std::int32_t w = b.I32(0), h = b.I32(4);
        if (w > 0 && h > 0 && w < 576 * 200 && h < 576 * 200) {
            ctx.slideWidth = static_cast<float>(w / 8.0);
            ctx.slideHeight = static_cast<float>(h / 8.0);
        }
    }
    doc->Master()->width = ctx.slideWidth;
    doc->Master()->height = ctx.slideHeight;

    ctx.environment = ChildContainer(ctx.document.get(), libpptparser::kRecordEnvironment);
    if (!ctx.environment) ctx.Warn(L"the document has no environment; default fonts and styles are used");
    ReadEnvironment(ctx);
    ReadExObjects(ctx);
    ReadSounds(ctx);
    LoadBlips(ctx, pictures);
    ReadHeadersFooters(ctx, ctx.document.get(), 3, ctx.documentHeadersFooters);
    if (ContainerPtr list = ChildContainer(ctx.document.get(), libpptparser::kRecordList))
        ReadTags(list.get(), doc->tags);

    ReadMasters(ctx);
    if (ctx.masters.empty()) ctx.Warn(L"the file holds no master; slides use a default one");
    ReadSlides(ctx);

    // New slides and shapes must not take ids the file already uses.
    LONG maxSlideId = 0;
    for (CHostSlide* s : doc->Slides()) maxSlideId = std::max(maxSlideId, s->slideId);
    if (maxSlideId > 0 && static_cast<std::uint32_t>(maxSlideId) < kMaxReservedId)
        while (doc->NewSlideId() < maxSlideId) {}
    if (ctx.maxShapeId > 0 && ctx.maxShapeId < kMaxReservedId)
        while (static_cast<std::uint32_t>(doc->NewShapeId()) < ctx.maxShapeId) {}

    // A copy of a file saved for PowerPoint 95 as well is a plain 97-2003 file: the presentation's
    // own streams at the root, without the older format beside them.
    doc->fileBytes = parser.IsDualFormat() ? PlainCopy(parser) : std::move(bytes);
    doc->saved = msoTrue;
    return result;
}

}  // namespace
}  // namespace Detail

LoadResult LoadPresentation(const std::string& path, const LoadOptions& options) {
    // Presentation.Path and FullName name the file as a full path, as the application does.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(path), error);
    const std::wstring wide = libpptparser::Utf8ToWide(error ? path : full.string());
    // Records and pictures are found by 32-bit offsets, so a presentation file stays below 4 GiB;
    // past that, say a device that never ends, nothing is read for ever.
    constexpr std::uint64_t kMaxFileBytes = std::uint64_t(1) << 32;
    std::vector<std::uint8_t> bytes;
    if (base::files::ReadWholeFile(path, bytes, kMaxFileBytes) != 0)
        throw CPptLoadError(CPptLoadError::kCannotOpen, L"\"" + wide + L"\" cannot be opened: the file cannot be read");
    return Detail::Load(std::move(bytes), wide, options);
}

LoadResult LoadPresentationFromMemory(std::vector<std::uint8_t> bytes, const std::wstring& fileName,
                                      const LoadOptions& options) {
    return Detail::Load(std::move(bytes), fileName, options);
}

}  // namespace Loader
}  // namespace PowerPoint
