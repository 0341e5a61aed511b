// Face lookup through fontconfig. Only faces with TrueType outlines are handed out: the movie
// compiler embeds glyf outlines, and the layout must measure the very font the movie shows.
#include "fonts/SystemFonts.h"

#include "fonts/symbols/SymbolFonts.h"

#include "FontText.h"
#include "base/encodings/TextEncoding.h"
#include "base/files/WholeFile.h"

#include <fontconfig/fontconfig.h>

#include <cwctype>
#include <map>
#include <mutex>
#include <tuple>

namespace fonts {
namespace {

struct Substitution {
    const wchar_t* name;
    const wchar_t* replacement;
};
const Substitution kSubstitutions[] = {
    {L"arial", L"Liberation Sans"},
    {L"times new roman", L"Liberation Serif"},
    {L"courier new", L"Liberation Mono"},
};

// Unicode fonts with the pictures of the symbol faces, best first (Debian: fonts-symbola,
// fonts-dejavu-core).
const wchar_t* const kSymbolDonors[] = {L"Symbola", L"DejaVu Sans"};

std::mutex g_lock;  // fontconfig's configuration and the caches below

// Our own configuration rather than the library's global one, so that it is released when the
// process ends and leak checkers stay quiet.
struct ConfigHolder {
    FcConfig* config = nullptr;
    bool tried = false;
    ~ConfigHolder() {
        if (config) FcConfigDestroy(config);
    }
    FcConfig* Get() {
        if (!tried) {
            tried = true;
            config = FcInitLoadConfigAndFonts();
        }
        return config;
    }
};
ConfigHolder g_config;
std::map<std::tuple<std::wstring, bool, bool>, std::shared_ptr<const FontFileData>> g_byRequest;
std::map<std::pair<std::string, int>, std::shared_ptr<const FontFileData>> g_byFile;

// Larger than any real font; such a file is not read whole into memory.
constexpr std::uint64_t kMaxFontFileBytes = 256u << 20;

// The standalone bytes of one face of a file, or null when it is unusable.
std::shared_ptr<const FontFileData> LoadFace(const std::string& path, int index) {
    auto key = std::make_pair(path, index);
    auto found = g_byFile.find(key);
    if (found != g_byFile.end()) return found->second;
    std::shared_ptr<FontFileData> face;
    std::vector<std::uint8_t> bytes;
    if (base::files::ReadWholeFile(path, bytes, kMaxFontFileBytes) == 0 && !bytes.empty()) {
        auto result = std::make_shared<FontFileData>();
        bool ok;
        if (IsFontCollection(bytes.data(), bytes.size()))
            ok = ExtractCollectionFace(bytes.data(), bytes.size(), std::uint32_t(index), result->bytes);
        else {
            ok = index == 0;
            result->bytes.swap(bytes);
        }
        bool outlines = false;
        if (ok && CheckSfnt(result->bytes.data(), result->bytes.size(), &outlines) && outlines) {
            result->sourcePath = path;
            result->faceIndex = index;
            face = result;
        }
    }
    g_byFile[key] = face;
    return face;
}

std::shared_ptr<const FontFileData> Match(const std::wstring& faceName, bool bold, bool italic) {
    FcConfig* config = g_config.Get();
    if (!config) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    std::string family = base::encodings::Utf8FromWide(SubstituteFaceName(faceName));
    if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    std::shared_ptr<const FontFileData> best;
    FcResult result = FcResultNoMatch;
    // Sorted best first; the first face with outlines wins (a CFF or bitmap face is skipped).
    FcFontSet* set = FcFontSort(config, pattern, FcFalse, nullptr, &result);
    for (int i = 0; set && i < set->nfont && !best; ++i) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch || !file) continue;
        FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &index);
        std::shared_ptr<const FontFileData> face = LoadFace(reinterpret_cast<const char*>(file), index & 0xFFFF);
        if (!face) continue;
        auto named = std::make_shared<FontFileData>(*face);
        FcChar8* familyName = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &familyName) == FcResultMatch && familyName)
            named->familyName = base::encodings::WideFromUtf8(reinterpret_cast<const char*>(familyName));
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(set->fonts[i], FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(set->fonts[i], FC_SLANT, 0, &slant);
        named->bold = weight >= FC_WEIGHT_DEMIBOLD;
        named->italic = slant != FC_SLANT_ROMAN;
        best = named;
    }
    if (set) FcFontSetDestroy(set);
    FcPatternDestroy(pattern);
    return best;
}

// The stand-in of a symbol face, one for all its styles; the donor is the first font with the
// pictures that the system has.
std::shared_ptr<const FontFileData> SymbolStandInLocked(const std::wstring& faceName) {
    static std::map<std::wstring, std::shared_ptr<const FontFileData>> made;
    const std::wstring key = LowerCase(TrimBlanks(faceName));
    auto found = made.find(key);
    if (found != made.end()) return found->second;
    std::shared_ptr<const FontFileData> standIn;
    for (const wchar_t* donorName : kSymbolDonors) {
        std::shared_ptr<const FontFileData> donor = Match(donorName, false, false);
        if (!donor || LowerCase(donor->familyName) != LowerCase(donorName)) continue;
        if ((standIn = symbols::MakeSymbolStandIn(faceName, *donor))) break;
    }
    made[key] = standIn;
    return standIn;
}

}  // namespace

std::wstring SubstituteFaceName(const std::wstring& faceName) {
    std::wstring lower = LowerCase(TrimBlanks(faceName));
    for (const Substitution& s : kSubstitutions)
        if (lower == s.name) return s.replacement;
    return TrimBlanks(faceName);
}

std::shared_ptr<const FontFileData> FindSystemFont(const std::wstring& faceName, bool bold, bool italic) {
    std::lock_guard<std::mutex> hold(g_lock);
    auto key = std::make_tuple(LowerCase(TrimBlanks(faceName)), bold, italic);
    auto found = g_byRequest.find(key);
    if (found != g_byRequest.end()) return found->second;
    std::shared_ptr<const FontFileData> face = Match(faceName, bold, italic);
    // A symbol face the system lacks (fontconfig answers with some text face instead) would show
    // its codes as letters: its stand-in shows the pictures.
    if (symbols::IsSymbolFace(faceName) && (!face || LowerCase(TrimBlanks(face->familyName)) != std::get<0>(key)))
        if (std::shared_ptr<const FontFileData> standIn = SymbolStandInLocked(faceName)) face = standIn;
    g_byRequest[key] = face;
    return face;
}

bool GetFontData(const std::wstring& faceName, bool bold, bool italic, std::vector<std::uint8_t>& out) {
    std::shared_ptr<const FontFileData> face = FindSystemFont(faceName, bold, italic);
    if (!face) {
        out.clear();
        return false;
    }
    out = face->bytes;
    return true;
}

}  // namespace fonts
